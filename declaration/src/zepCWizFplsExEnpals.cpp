#include "zepCWizFplsExEnpals.h"

#include "ZepCWiz.h"

#include "DataSet.h"
#include "Field.h"
#include "UqMessages.h"
#include "WunUUtil.h"
#include "tovCQueryText.h"
#include "tovUUtil.h"

using platform::DataSet;

const QString TZepWizFplsExEnpals::Titolo = QStringLiteral("Importa dati per UniEMens iscritti Fpls (Ex Enpals)");
const QString TZepWizFplsExEnpals::MsgConfermaContribuzione = QStringLiteral(
    "ATTENZIONE: il tipo di contribuzione nei casi standard deve essere lasciato vuoto. Si conferma il tipo di "
    "contribuzione scelto ?");

namespace {
const QString CampoContribuzione = QStringLiteral("TipoContribuzioneFpls");
}

TZepWizFplsExEnpals::TZepWizFplsExEnpals(platform::Database *connessione) : TwunWizard(connessione)
{
    Caption = Titolo;
}

void TZepWizFplsExEnpals::AttivaPagina(Pagina pagina)
{
    TwunWizard::AttivaPagina(pagina);
    if (pagina == Pagina::MeseComp)
        MostraPagina();
}

void TZepWizFplsExEnpals::MostraPagina()
{
    const DataSet *p = Parametri();
    if (!p)
        return;
    auto testo = [p](const QString &campo) { return p->fieldByName(campo).asString(); };
    const platform::Field &sostituto = p->fieldByName(QStringLiteral("SOSTITUTO"));
    Dichiarante = !sostituto.isNull() && sostituto.asBoolean();
    Comune = testo(QStringLiteral("ComuneLavoro"));
    Matricola = testo(QStringLiteral("MatricolaINPSFpls"));

    const QString codice = testo(CampoContribuzione);
    Contribuzione.clear();
    if (!codice.isEmpty())
        Contribuzione = TZepWiz::DescrizioneContribuzione(FileContribuzione, codice);

    if (Mesi.isEmpty())
        Mesi = platform::loadEnumeration(qquAppoggio.database(), TWunUtil::TestoQuery(QStringLiteral("QRY_MES_COMBO"),
                                                                                      QStringLiteral("EXECUTE")));
    const qint64 mese = p->fieldByName(QStringLiteral("IMESID")).asInteger();
    MeseScelto = -1;
    for (int i = 0; i < Mesi.size(); ++i)
        if (Mesi.at(i).id == mese)
            MeseScelto = i;
}

void TZepWizFplsExEnpals::ScegliContribuzione(const QString &codice, const QString &descrizione)
{
    Contribuzione = codice + QStringLiteral(": ") + descrizione;
}

void TZepWizFplsExEnpals::SalvaLiquidazioneCorrente()
{
    TwunWizard::SalvaLiquidazioneCorrente();
    DataSet *p = Parametri();
    if (!p)
        return;
    TTovUtil::EditDataSet(p);
    p->fieldByName(QStringLiteral("SOSTITUTO")).setAsBoolean(Dichiarante);
    p->fieldByName(QStringLiteral("ComuneLavoro")).setAsString(Comune);
    p->fieldByName(QStringLiteral("MatricolaINPSFpls")).setAsString(Matricola);
    // The code is the field's text before ":", whether picked or typed.
    const QString codice = Contribuzione.section(QLatin1Char(':'), 0, 0).trimmed();
    if (codice.isEmpty())
        p->fieldByName(CampoContribuzione).clear();
    else
        p->fieldByName(CampoContribuzione).setAsString(codice);
}

bool TZepWizFplsExEnpals::PuoChiudere(bool ok)
{
    if (!TwunWizard::PuoChiudere(ok))
        return false;
    if (!ok || Contribuzione.isEmpty())
        return true;
    return UqMessageBox(MsgConfermaContribuzione, {}, platform::Yes | platform::No, platform::MessageType::Warning)
           == platform::Yes;
}
