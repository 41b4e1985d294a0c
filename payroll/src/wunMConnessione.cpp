#include "wunMConnessione.h"

#include "WunUUtil.h"
#include "archive/ArchiveScripts.h"

#include "Exceptions.h"
#include "Services.h"
#include "SqlQuery.h"
#include "TovCReport.h"
#include "UqMessages.h"
#include "UqTransaction.h"
#include "tovCQueryText.h"

#include <QFileInfo>
#include <optional>

TdmwunConnessione *dmwunConnessione = nullptr;

const QString TdmwunConnessione::TitoloProdotto = QStringLiteral("Paghe e stipendi");
const QString TdmwunConnessione::StrutturaDipendenti = QStringLiteral("TEMD_DIPENDENTI");

// The texts are kept exactly as they always ran, blanks included.
const QStringList TdmwunConnessione::StatementiCorrezione = {
    QStringLiteral("UPDATE TVARR_VARRITENUTE VARR SET  VARR.FVARRIMPONIBILEDIP = 0, VARR.FVARRPERCIMPDIP = 0 WHERE "
                   "VARR.IRICEID IN (14,15) AND VARR.FVARRRITDIP = 0 AND VARR.FVARRIMPONIBILEDIP > 0 "),
    QStringLiteral("UPDATE TVARR_VARRITENUTE VARR SET  VARR.FVARRIMPONIBILEAMM = 0, VARR.FVARRPERCIMPAMM = 0 WHERE "
                   "VARR.IRICEID IN (14,15) AND VARR.FVARRRITAMM = 0 AND VARR.FVARRIMPONIBILEAMM > 0"),
    QStringLiteral("UPDATE TCDS_STRUTTURA CDS SET   CDS.SCDSFIELDMAP = "
                   "'saficognome=Cognome;safinome=Nome;saficodfiscale=CFLavoratore;safigruppoana=Matricola+Qualifica2',"
                   "   CDS.ICDSRIGO = (SELECT MAX(IFISRIGO) FROM TFIS_DATIFISCALI FIS WHERE FIS.ICDSID=CDS.ICDSID) "
                   "WHERE (ICDSID = 13)"),
    QStringLiteral("DELETE  FROM TAFI_ANAFISCALE A WHERE A.SAFICODFISCALE IS NULL AND A.SAFICOGNOME IS NULL AND "
                   "A.SAFINOME IS NULL AND A.SAFICODFISSOST IS NULL AND A.SAFIGRUPPOANA IS NULL "),
    QStringLiteral("UPDATE TCUFO_FONDICU SET ICUFOTIPOSCUOLA = 1 WHERE COALESCE(ICUFOTIPOSCUOLA,0)=0 "),
};

namespace {
std::optional<QString> s_catalogueSource; // unset: the build's own source
} // namespace

TdmwunConnessione::TdmwunConnessione(QObject *parent)
    : TdmUqConnection(parent), m_qquAppoggio(std::make_unique<platform::SqlQuery>(xqoMain()))
{
    setObjectName(QStringLiteral("dmwunConnessione"));
    CodAppl = QStringLiteral("WUN");
    DBVersion = QStringLiteral("6.97.26");
    BeforeConnect = [this] { xqoMainBeforeConnect(); };
    dmwunConnessione = this;
}

TdmwunConnessione::~TdmwunConnessione()
{
    m_qquAppoggio.reset();
    if (dmwunConnessione == this)
        dmwunConnessione = nullptr;
}

QString TdmwunConnessione::SorgenteCatalogo()
{
    return s_catalogueSource ? *s_catalogueSource : TTovQueryText::SourceFileName();
}

void TdmwunConnessione::SetSorgenteCatalogo(const QString &fileName)
{
    s_catalogueSource = fileName;
}

void TdmwunConnessione::RipristinaSorgenteCatalogo()
{
    s_catalogueSource.reset();
}

void TdmwunConnessione::DataModuleCreate()
{
    TdmUqConnection::DataModuleCreate();

    m_catalogoVerificato = false;
    TTovQueryText &catalogue = TovQueryText();
    const QString source = SorgenteCatalogo();
    if (!source.isEmpty() && QFileInfo::exists(source))
        catalogue.CompileQueries(source);
    catalogue.SetCheckCertificate(true);
    const QString compiled = TWunUtil::CercaPercorso(TWunUtil::CartellaEtc() + QStringLiteral("wun_QueryText.cds"));
    if (QFileInfo::exists(compiled))
        catalogue.LoadQueries(compiled);
}

void TdmwunConnessione::xqoMainBeforeConnect()
{
    if (!platform::Database::global())
        throw EUqError(QStringLiteral("Connessione al database non consentita"));
}

bool TdmwunConnessione::ApriDatabase()
{
    // The catalogue's certificate is checked once per load: a second open
    // of the run must not be refused because the check already used it.
    if (!m_catalogoVerificato) {
        if (!TovQueryText().CheckProgram(TitoloProdotto))
            return false;
        m_catalogoVerificato = true;
    }
    const bool connected = OpenConnection() && AggiornaArchivio();
    DopoConnessione();
    return connected;
}

bool TdmwunConnessione::AggiornaArchivio()
{
    try {
        payroll::ArchiveScripts::upgrade(xqoMain());
        return true;
    } catch (const std::exception &e) {
        CloseConnection();
        ShowOpenFailure(e);
        return false;
    }
}

void TdmwunConnessione::DopoConnessione()
{
    if (!Connected())
        return;
    platform::WaitCursor wait;
    CorreggiDati();
    ImportaReport(false);
}

bool TdmwunConnessione::StrutturaDipendentiDaCorreggere(platform::SqlQuery &query)
{
    query.close();
    query.setSql(QStringLiteral(
        "SELECT CDS.SCDSNOME, (SELECT MAX(FIS.IFISRIGO) FROM TFIS_DATIFISCALI FIS WHERE FIS.ICDSID = CDS.ICDSID) "
        "AS ULTIMO FROM TCDS_STRUTTURA CDS WHERE CDS.ICDSID = 13"));
    query.open();
    const bool fix =
        !query.eof()
        && query.value(QStringLiteral("SCDSNOME")).toString().compare(StrutturaDipendenti, Qt::CaseInsensitive) == 0
        && !query.value(QStringLiteral("ULTIMO")).isEmpty();
    query.close();
    return fix;
}

void TdmwunConnessione::CorreggiDati()
{
    platform::SqlQuery &q = qquAppoggio();
    q.close();
    TUqTransaction transaction(&xqoMain());
    const bool owned = transaction.StartOrJoin();
    try {
        for (qsizetype i = 0; i < StatementiCorrezione.size(); ++i) {
            // The third repair is meant for the employee table's layout and
            // sets its row counter from its stored rows: on any other layout
            // it would overwrite a field map that is not its own, and on a
            // layout without rows it would set the counter to null.
            if (i == 2 && !StrutturaDipendentiDaCorreggere(q))
                continue;
            q.setSql(StatementiCorrezione.at(i));
            q.execSQL();
        }
        if (owned)
            transaction.Commit();
    } catch (const platform::Exception &e) {
        // A refused commit has already dropped the transaction: only one
        // still standing is rolled back, so the reason is what gets reported.
        if (owned && transaction.InTransaction())
            transaction.Rollback();
        throw EUqError(QStringLiteral("Impossibile correggere i dati dell'archivio: nessuna correzione è stata "
                                      "applicata.\n%1")
                           .arg(e.message()));
    }
}

void TdmwunConnessione::ImportaReport(bool flag)
{
    const QString file = TWunUtil::CercaPercorso(TWunUtil::CartellaEtc() + QStringLiteral("wun_Report.xml"));
    TTovReport::ImportReports(qquAppoggio(), file, flag);
    RegistraRegistroCompensi();
}

void TdmwunConnessione::RegistraRegistroCompensi()
{
    platform::SqlQuery &q = qquAppoggio();
    q.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_YAPVRFO"), q, 0, QStringLiteral("EXECUTE"));
    q.bind(QStringLiteral("IYAPVRFOID"), 11006).bind(QStringLiteral("IYAPPID"), 11);
    q.execSQL();
    q.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_YRFO"), q, 0, QStringLiteral("EXECUTE"));
    q.bind(QStringLiteral("IYRFOID"), 11006)
        .bind(QStringLiteral("IYRFOID_P"), 11001)
        .bind(QStringLiteral("SYRFODESC"), QStringLiteral("Registro compensi"));
    q.execSQL();
}
