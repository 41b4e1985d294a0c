#include "ZepCWiz.h"

#include "TovUCdsUtil.h"
#include "tovCQueryText.h"
#include "tovUUtil.h"
#include "wunCPaco.h"

#include "Exceptions.h"
#include "Field.h"

using platform::DataSet;
using platform::Value;

const QString TZepWiz::Titolo = QStringLiteral("Importa dati per EMens");
const QString TZepWiz::TestoOk = QStringLiteral("Importa");
const QString TZepWiz::Percorso = QStringLiteral("1");
const QString TZepWiz::TabellaTipiContribuzione = QStringLiteral("TTRP_TIPORAPPORT.cds");
const QStringList TZepWiz::VociGiorni{QStringLiteral("Giorni liquidati"), QStringLiteral("Giorni INPS")};

namespace {
bool booleano(const platform::Field &f)
{
    return !f.isNull() && f.asBoolean();
}
} // namespace

TZepWiz::TZepWiz(platform::Database *connessione, TWunParametri *liquidazione) : TwunWizard(connessione, liquidazione)
{
    Caption = Titolo;
}

platform::Field &TZepWiz::Parametro(const QString &nome) const
{
    ZEP_ASSERT(Parametri(), QStringLiteral("Parametri dell'importazione non impostati"));
    return Parametri()->fieldByName(nome);
}

void TZepWiz::AttivaPagina(Pagina pagina)
{
    // The window shows its page once before Execute hands it the
    // parameters: the page is filled when they are there.
    if (pagina == Pagina::MeseComp && Parametri())
        MostraPagina();
}

void TZepWiz::MostraPagina()
{
    Dichiarante = booleano(Parametro(QStringLiteral("SOSTITUTO")));
    Giorni = booleano(Parametro(QStringLiteral("GIORNIINPS"))) ? 1 : 0;
    Comune = Parametro(QStringLiteral("ComuneLavoro")).asString();
    TestoContribuzione = DescrizioneContribuzione(FileTipiContribuzione,
                                                  Parametro(QStringLiteral("TipoContribuzione")).asString());
    if (Mesi.isEmpty())
        Mesi = platform::loadEnumeration(qquAppoggio.database(), TovQueryText().GetSQL(QStringLiteral("QRY_MES_COMBO"),
                                                                                       QStringLiteral("EXECUTE")));
    const int mese = Parametro(QStringLiteral("IMESID")).asInteger();
    IndiceMese = -1;
    for (int i = 0; i < Mesi.size(); ++i)
        if (Mesi.at(i).id == mese)
            IndiceMese = i;
    PtComeIntero = booleano(Parametro(QStringLiteral("PT_COME_INTERO")));
    VarRetributive = Denuncia != TZepDenuncia::UniEmens && booleano(Parametro(QStringLiteral("VarRetributive")));
    if (m_azienda) {
        m_azienda->ApriDati();
        TTovUtil::EditDataSet(&m_azienda->xqcMain);
    }
}

QString TZepWiz::DescrizioneContribuzione(const QString &fileTabella, const QString &codice)
{
    DataSet tabella;
    TTovCds::LoadFromFile(tabella, fileTabella);
    if (!tabella.locate(QStringLiteral("Codice"), Value(codice)))
        return QString();
    const QString descrizione = tabella.fieldByName(QStringLiteral("Descrizione")).asString();
    return descrizione.isEmpty() ? QString() : codice + QStringLiteral(": ") + descrizione;
}

void TZepWiz::ScegliContribuzione(const QString &codice, const QString &descrizione)
{
    TTovUtil::EditDataSet(Parametri());
    Parametro(QStringLiteral("TipoContribuzione")).setAsString(codice);
    TestoContribuzione = codice + QStringLiteral(": ") + descrizione;
}

void TZepWiz::Annulla()
{
    if (m_azienda && m_azienda->xqcMain.isEditing())
        m_azienda->xqcMain.cancel();
}

void TZepWiz::SalvaLiquidazioneCorrente()
{
    TTovUtil::EditDataSet(Parametri());
    Parametro(QStringLiteral("SOSTITUTO")).setAsBoolean(Dichiarante);
    Parametro(QStringLiteral("GIORNIINPS")).setAsBoolean(Giorni == 1);
    Parametro(QStringLiteral("ComuneLavoro")).setAsString(Comune);
    Parametro(QStringLiteral("PT_COME_INTERO")).setAsBoolean(PtComeIntero);
    Parametro(QStringLiteral("VarRetributive")).setAsBoolean(VarRetributive);
    if (!m_azienda)
        return;
    if (m_azienda->xqcMain.isEditing())
        m_azienda->Salva();
    const QString principale = m_azienda->xqcMain.fieldByName(QStringLiteral("SPACOMATRAZIENDA")).asString();
    const QString accessori = m_azienda->xqcMain.fieldByName(QStringLiteral("SPACOMATRAZACC")).asString();
    Parametro(QStringLiteral("MatricolaINPS")).setAsString(principale);
    Parametro(QStringLiteral("MatricolaINPSAcc")).setAsString(accessori.trimmed().isEmpty() ? principale : accessori);
}
