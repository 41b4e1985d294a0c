#include "ZepCWizDmaImp.h"

#include "DataSet.h"
#include "Field.h"
#include "Format.h"
#include "UqMessages.h"
#include "WunUUtil.h"
#include "tovUUtil.h"

using platform::DataSet;
using platform::EnumItems;
using platform::Value;

const QString TZepWizDmaImp::Titolo = QStringLiteral("Importa dati per DMA");
const QString TZepWizDmaImp::DidascaliaOk = QStringLiteral("Importa");
const QString TZepWizDmaImp::MsgMeseObbligatorio = QStringLiteral("Mese di riferimento compensi obbligatorio.");
const QString TZepWizDmaImp::MsgAnnoObbligatorio = QStringLiteral("Anno di riferimento compensi obbligatorio.");

namespace {
const QString Execute = QStringLiteral("EXECUTE");

int indiceDi(const EnumItems &voci, qint64 id)
{
    for (int i = 0; i < voci.size(); ++i)
        if (voci.at(i).id == id)
            return i;
    return -1;
}
} // namespace

TZepWizDmaImp::TZepWizDmaImp(platform::Database *connessione) : TwunWizard(connessione)
{
    Caption = Titolo;
}

int TZepWizDmaImp::Intero(const char *campo) const
{
    const DataSet *p = Parametri();
    return p ? p->fieldByName(QLatin1String(campo)).asInteger() : 0;
}

void TZepWizDmaImp::AttivaPagina(Pagina pagina)
{
    TwunWizard::AttivaPagina(pagina);
    if (pagina == Pagina::MeseComp)
        MostraPagina();
}

void TZepWizDmaImp::MostraPagina()
{
    const DataSet *p = Parametri();
    if (!p)
        return;
    Dichiarante = p->fieldByName(QStringLiteral("SOSTITUTO")).asBoolean();
    platform::Database &db = qquAppoggio.database();
    if (Posizioni.isEmpty()) {
        Posizioni = platform::loadEnumeration(db, TWunUtil::TestoQuery(QStringLiteral("QRY_TNO_STIP"), Execute));
        PosizioneScelta = indiceDi(Posizioni, Intero("ITNOID"));
    }
    if (Mesi.isEmpty()) {
        Mesi = platform::loadEnumeration(db, TWunUtil::TestoQuery(QStringLiteral("QRY_MES_COMBO"), Execute));
        MeseScelto = indiceDi(Mesi, Intero("IMESID"));
        V1 = p->fieldByName(QStringLiteral("ImportaSuV1")).asBoolean();
        AnniV1 = platform::loadEnumeration(db, platform::format(TWunUtil::TestoQuery(QStringLiteral("QRY_ANF_COMBO"),
                                                                                     Execute),
                                                                {Value(Intero("ANNO_DENUNCIA"))}));
        const QString anno = QString::number(Intero("ANNO_COMPENSI"));
        AnnoV1Scelto = -1;
        for (int i = 0; i < AnniV1.size(); ++i)
            if (AnniV1.at(i).text == anno)
                AnnoV1Scelto = i;
        AggiornaMesiV1();
    }
}

QString TZepWizDmaImp::TestoAnnoV1() const
{
    return AnnoV1Scelto >= 0 && AnnoV1Scelto < AnniV1.size() ? AnniV1.at(AnnoV1Scelto).text : QString();
}

void TZepWizDmaImp::ScegliAnnoV1(int indice)
{
    AnnoV1Scelto = indice;
    AggiornaMesiV1();
}

void TZepWizDmaImp::AggiornaMesiV1()
{
    const qint64 tenere = MeseV1Scelto >= 0 && MeseV1Scelto < MesiV1.size() ? MesiV1.at(MeseV1Scelto).id
                                                                            : qint64(Intero("MESEV1"));
    MesiV1.clear();
    MeseV1Scelto = -1;
    // The texts compared as texts: years have four digits.
    const QString annoDenuncia = QString::number(Intero("ANNO_DENUNCIA"));
    if (TestoAnnoV1() < annoDenuncia)
        MesiV1 = Mesi;
    else
        MesiV1 = Mesi.mid(0, std::max(0, Intero("IMESID") - 1));
    MeseV1Scelto = indiceDi(MesiV1, tenere);
}

bool TZepWizDmaImp::PuoChiudere(bool ok)
{
    if (ok && V1) {
        // An empty year would be read as year 0 by the import.
        if (TestoAnnoV1().isEmpty()) {
            UqMessageBox(MsgAnnoObbligatorio, {}, platform::Ok, platform::MessageType::Warning);
            return false;
        }
        if (MeseV1Scelto < 0) {
            UqMessageBox(MsgMeseObbligatorio, {}, platform::Ok, platform::MessageType::Warning);
            return false;
        }
    }
    return TwunWizard::PuoChiudere(ok);
}

void TZepWizDmaImp::SalvaLiquidazioneCorrente()
{
    DataSet *p = Parametri();
    if (!p)
        return;
    TTovUtil::EditDataSet(p);
    p->setFieldValue(QStringLiteral("ITNOID"), PosizioneScelta >= 0 && PosizioneScelta < Posizioni.size()
                                                   ? Value(Posizioni.at(PosizioneScelta).id)
                                                   : Value::null());
    p->setFieldValue(QStringLiteral("ImportaSuV1"), V1);
    if (V1) {
        p->setFieldValue(QStringLiteral("ANNO_COMPENSI"), TestoAnnoV1().toInt());
        p->setFieldValue(QStringLiteral("MESEV1"), MesiV1.at(MeseV1Scelto).id);
        p->setFieldValue(QStringLiteral("CAUSVAR"), 5);
    } else {
        p->setFieldValue(QStringLiteral("MESEV1"), Value::null());
    }
    p->setFieldValue(QStringLiteral("SOSTITUTO"), Dichiarante);
    p->setFieldValue(QStringLiteral("CFVERSANTE_SEZII"), QString());
    p->setFieldValue(QStringLiteral("DIP_SEZII"), false);
    p->setFieldValue(QStringLiteral("OE_FONDAMENTALI"), false);
    p->post();
}
