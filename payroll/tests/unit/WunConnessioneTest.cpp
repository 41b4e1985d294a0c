// The payroll connection module: the catalogue at creation, the start-up
// order of the two modules, the refused starts (certificate, version,
// missing archive, archive held by another program, newer archive), the
// upgrade of an older archive, the repairs and the report registration.
#include "ArchiveTestSupport.h"
#include "PayrollTestSupport.h"
#include "RecordingServices.h"
#include "WunUUtil.h"
#include "archive/ArchiveScripts.h"
#include "wunMConnessione.h"
#include "wunMParams.h"

#include "DataSet.h"
#include "DataSetFile.h"
#include "DatabaseCreator.h"
#include "Exceptions.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "tovCQueryText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using platform::Value;
using payrolltest::TempInstallation;

namespace {

// The connection module as the program makes it, on the given archive.
std::unique_ptr<TdmwunConnessione> connectionOn(const platform::ConnectionSettings &settings)
{
    auto conn = std::make_unique<TdmwunConnessione>();
    conn->SetSettings(settings);
    conn->DataModuleCreate();
    return conn;
}

platform::ConnectionSettings settingsOf(const QString &file)
{
    platform::ConnectionSettings s;
    s.database = file;
    return s;
}

} // namespace

class WunConnessione : public ::testing::Test {
protected:
    void SetUp() override { TdmwunConnessione::SetSorgenteCatalogo(QString()); }
    void TearDown() override
    {
        TdmwunConnessione::RipristinaSorgenteCatalogo();
        payrolltest::loadCatalogueSource();
    }
    RecordingServicesScope services;
};

TEST_F(WunConnessione, CreationLoadsTheCatalogueOfTheEtcFolder)
{
    TempInstallation inst;
    TovQueryText().close();
    TdmwunConnessione conn;
    EXPECT_EQ(dmwunConnessione, &conn);
    EXPECT_EQ(conn.CodAppl, "WUN");
    EXPECT_EQ(conn.DBVersion, "6.97.26");
    conn.DataModuleCreate();
    EXPECT_EQ(platform::Database::global(), &conn.xqoMain());
    EXPECT_TRUE(TovQueryText().CheckCertificate());
    EXPECT_TRUE(TovQueryText().GetSQL("QRY_SED", "EXECUTE").contains("TSED_SEDI"));
}

TEST_F(WunConnessione, AMissingCatalogueIsNotReportedAtCreation)
{
    TempInstallation inst;
    QFile::remove(inst.catalogue());
    TovQueryText().close();
    TdmwunConnessione conn;
    conn.DataModuleCreate();
    EXPECT_TRUE(services->messages().isEmpty());
    EXPECT_THROW(TovQueryText().GetSQL("QRY_SED", "EXECUTE"), platform::EAssertionFailed);
}

TEST_F(WunConnessione, OnADevelopersMachineTheSourceIsCompiledAtCreation)
{
    TempInstallation inst;
    // The source beside a compiled catalogue, as in the developer's tree.
    QDir().mkpath(inst.root() + "/src");
    const QString source = inst.root() + "/src/wun_QueryText.xml";
    ASSERT_TRUE(QFile::copy(archivetest::sourcePath("etc/wun/wun_QueryText.xml"), source));
    QFile stale(inst.root() + "/src/wun_QueryText.cds");
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    TdmwunConnessione::SetSorgenteCatalogo(source);

    TdmwunConnessione conn;
    conn.DataModuleCreate();
    platform::DataSet compiled;
    platform::DataSetFile::loadFromFile(compiled, inst.root() + "/src/wun_QueryText.cds",
                                        platform::DataSetFileFormat::Binary);
    EXPECT_TRUE(compiled.locate("Query", Value("QRY_SED")));
    EXPECT_TRUE(QFileInfo::exists(inst.root() + "/src/wun_QueryText.unxc"));
    // The etc folder's catalogue is what the run uses: it has the program's version row.
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUpper();
    EXPECT_TRUE(TovQueryText().locate("Query", Value("VER_" + program)));
}

TEST_F(WunConnessione, TheParametersModuleNeedsTheConnectionModuleFirst)
{
    TempInstallation inst;
    ASSERT_EQ(platform::Database::global(), nullptr);
    {
        TdmWunParams params;
        try {
            params.DataModuleCreate();
            FAIL() << "created without a connection";
        } catch (const platform::EDatabaseError &e) {
            EXPECT_EQ(e.message(), "Connessione al database non consentita");
        }
    }
    auto tdb = payrolltest::demoArchive();
    auto conn = connectionOn(tdb->settings());
    TdmWunParams params;
    params.DataModuleCreate();
    EXPECT_EQ(dmWunParams, &params);
    EXPECT_TRUE(params.ShowAggregate());
    EXPECT_TRUE(params.OnlyAggregate());
    EXPECT_EQ(params.xpmUquParams->ApplCodeList, (QStringList{"WUN=1.0", "VEK=1.0", "UQ=1.0"}));
    EXPECT_EQ(params.qquPaco().sql(), TovQueryText().GetSQL("QRY_PACO_ANF", "SELECT"));
    EXPECT_FALSE(params.qquPaco().isActive()) << "opened on first use only";
    EXPECT_EQ(&params.qquPaco().database(), &conn->xqoMain());

    ASSERT_TRUE(conn->ApriDatabase());
    EXPECT_TRUE(services->messages().isEmpty()) << services->messageTexts().join("\n").toStdString();
    params.CambiaAnno(55);
    EXPECT_EQ(params.CampoPaco("SPACOMATRAZIENDA").toString(), "1234567890");

    conn.reset();
    EXPECT_EQ(dmwunConnessione, nullptr);
    EXPECT_EQ(platform::Database::global(), nullptr);
}

TEST_F(WunConnessione, NoGlobalConnectionStopsTheConnect)
{
    TempInstallation inst;
    auto tdb = payrolltest::demoArchive();
    auto conn = connectionOn(tdb->settings());
    platform::Database::setGlobal(nullptr);
    EXPECT_FALSE(conn->ApriDatabase());
    EXPECT_FALSE(conn->Connected());
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).text, "Connessione al database non consentita");
}

TEST_F(WunConnessione, AWrongCertificateRefusesTheStartBeforeConnecting)
{
    TempInstallation inst;
    inst.spoilCertificate();
    auto tdb = payrolltest::demoArchive();
    tdb->db().execute("INSERT INTO TCUFO_FONDICU (ICUFOID, SCUFOLDESC) VALUES (90, 'Fondo senza tipo')");
    auto conn = connectionOn(tdb->settings());
    EXPECT_FALSE(conn->ApriDatabase());
    EXPECT_FALSE(conn->Connected());
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).type, platform::MessageType::Error);
    EXPECT_EQ(services->messages().at(0).text,
              "Certificato query non trovato od errato. Aggiornare il programma \"Paghe e stipendi\"");
    EXPECT_TRUE(payrolltest::scalar(tdb->db(), "SELECT ICUFOTIPOSCUOLA FROM TCUFO_FONDICU WHERE ICUFOID = 90").isNull())
        << "no repair ran";
}

TEST_F(WunConnessione, ACatalogueForANewerProgramRefusesTheStart)
{
    TempInstallation inst(QStringLiteral("9.0.0"));
    auto tdb = payrolltest::demoArchive();
    auto conn = connectionOn(tdb->settings());
    EXPECT_FALSE(conn->ApriDatabase());
    EXPECT_FALSE(conn->Connected());
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_TRUE(services->messages().at(0).text.contains("Versione minima richiesta: 9.0.0."))
        << services->messages().at(0).text.toStdString();
}

TEST_F(WunConnessione, AMissingArchiveIsRefusedAndNeverCreated)
{
    TempInstallation inst;
    const QString file = inst.root() + "/data/zep.fdb";
    auto conn = connectionOn(settingsOf(file));
    EXPECT_FALSE(conn->ApriDatabase());
    EXPECT_FALSE(conn->Connected());
    EXPECT_FALSE(QFileInfo::exists(file));
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).text, QString("Impossibile aprire il database \"%1\": il file non esiste.")
                                                   .arg(QDir::toNativeSeparators(file)));
}

TEST_F(WunConnessione, AnArchiveHeldByAnotherProgramIsRefused)
{
    // Another process of the embedded engine holds the file: the engine
    // refuses a second process (Firebird 3 embedded opens a file for one
    // process at a time).
    const QString isql = QStandardPaths::findExecutable("isql-fb");
    if (isql.isEmpty())
        GTEST_SKIP() << "isql-fb (firebird3.0-utils) is needed to hold the archive from another process";
    TempInstallation inst;
    QString file;
    {
        auto tdb = payrolltest::demoArchive();
        file = inst.root() + "/data/zep.fdb";
        tdb->db().close();
        ASSERT_TRUE(QFile::copy(tdb->filePath(), file));
    }
    QProcess holder;
    holder.setProcessChannelMode(QProcess::MergedChannels);
    holder.start(isql, {"-q", "-user", "SYSDBA", file});
    ASSERT_TRUE(holder.waitForStarted());
    holder.write("SELECT 'HELD' FROM RDB$DATABASE;\n");
    QByteArray out;
    while (!out.contains("HELD") && holder.waitForReadyRead(10000))
        out += holder.readAll();
    ASSERT_TRUE(out.contains("HELD")) << out.toStdString();

    auto conn = connectionOn(settingsOf(file));
    EXPECT_FALSE(conn->ApriDatabase());
    EXPECT_FALSE(conn->Connected());
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).text,
              QString("Impossibile aprire il database \"%1\": il file è in uso da un altro programma. Chiudere l'altro "
                      "programma e riprovare.")
                  .arg(QDir::toNativeSeparators(file)));

    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(10000));
    services->clear();
    EXPECT_TRUE(conn->ApriDatabase()) << services->messageTexts().join("\n").toStdString();
}

// The installation's connection file as an office may leave it. Whatever it
// names, an archive is there at the default place (<main folder>/data/
// zep.fdb): a file that is refused must not open it.
struct FileConnessione {
    const char *nome;
    const char *testo; // %1: the archive; none: a link to a file that is not there
    bool apre;
    QStringList detto; // in the message
};

void PrintTo(const FileConnessione &c, std::ostream *os)
{
    *os << c.nome;
}

class WunFileConnessione : public WunConnessione, public ::testing::WithParamInterface<FileConnessione> {};

TEST_P(WunFileConnessione, IsFollowedWholeOrRefusedNamingIt)
{
    const FileConnessione &c = GetParam();
    TempInstallation inst;
    const QString archivio = services->mainFolder() + "data/zep.fdb";
    {
        auto tdb = payrolltest::demoArchive();
        tdb->db().close();
        ASSERT_TRUE(QDir().mkpath(services->mainFolder() + "data"));
        ASSERT_TRUE(QFile::copy(tdb->filePath(), archivio));
    }
    const QString file = TdmwunConnessione::DefaultConnectionFile();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
    if (c.testo) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(c.testo).replace("%1", archivio.toUtf8())); // bytes: a mark is kept
    } else {
        ASSERT_TRUE(QFile::link(QFileInfo(file).absolutePath() + "/altrove.ini", file));
    }

    TdmwunConnessione conn;
    conn.DataModuleCreate();
    EXPECT_EQ(conn.ApriDatabase(), c.apre);
    EXPECT_EQ(conn.Connected(), c.apre);
    if (c.apre) {
        EXPECT_TRUE(services->messages().isEmpty()) << services->messageTexts().join("\n").toStdString();
        return;
    }
    ASSERT_EQ(services->messages().size(), 1);
    const QString detto = services->messages().at(0).text;
    for (const QString &parte : c.detto + QStringList{QDir::toNativeSeparators(file)})
        EXPECT_TRUE(detto.contains(parte)) << parte.toStdString() << " not in: " << detto.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Casi, WunFileConnessione,
    ::testing::Values(
        FileConnessione{"LinkToAMissingFile", nullptr, false, {"collegamento", "altrove.ini", "che non esiste"}},
        FileConnessione{"ByteOrderMark", "\xEF\xBB\xBF[Database]\r\nDatabase=%1\r\n", true, {}},
        FileConnessione{"TwoDatabaseSections",
                        "[Database]\nDatabase=%1\n\n[Database]\nDatabase=/altro/zep.fdb\n",
                        false,
                        {"la sezione [Database] compare due volte (righe 1 e 4)"}},
        FileConnessione{"AKeyTwice",
                        "[Database]\nDatabase=%1\nUser=SYSDBA\nuser=ALTRO\n",
                        false,
                        {"la chiave \"user\" compare due volte"}},
        FileConnessione{"AUserWithoutRights",
                        "[Database]\nDatabase=%1\nUser=NESSUNO\n",
                        false,
                        {"L'utente \"NESSUNO\" indicato nel file di configurazione della connessione",
                         "non ha i permessi per usare l'archivio", "User= e Password="}}),
    [](const ::testing::TestParamInfo<FileConnessione> &i) { return std::string(i.param.nome); });

TEST_F(WunConnessione, AnOlderArchiveIsUpgradedAndANewerOneRefused)
{
    TempInstallation inst;
    auto scripts = payroll::ArchiveScripts::all();
    const platform::DdlScript last = scripts.takeLast();
    auto tdb = archivetest::archiveDatabase(scripts);
    auto conn = connectionOn(tdb->settings());
    ASSERT_TRUE(conn->ApriDatabase()) << services->messageTexts().join("\n").toStdString();
    bool ran = false;
    for (const auto &a : platform::DatabaseCreator::appliedScripts(conn->xqoMain()))
        ran = ran || (a.series == last.series && a.number == last.number);
    EXPECT_TRUE(ran) << last.name.toStdString() << " was not run";
    EXPECT_EQ(payrolltest::scalar(conn->xqoMain(), "SELECT COUNT(*) FROM TYRFO_CARTELLE WHERE IYRFOID = 11006").toInt(),
              1);

    conn->CloseConnection();
    tdb->db().execute(QString("INSERT INTO %1 (SSCRSERIE, ISCRNUMERO, SSCRNOME, DSCRESEGUITO) VALUES ('payroll', 999, "
                              "'999_futuro.sql', CURRENT_TIMESTAMP)")
                          .arg(platform::DatabaseCreator::HistoryTable));
    services->clear();
    EXPECT_FALSE(conn->ApriDatabase());
    EXPECT_FALSE(conn->Connected());
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_TRUE(services->messages().at(0).text.contains("999")) << services->messages().at(0).text.toStdString();
}

// ---------------------------------------------------------------------------
// The repairs and the report registration on a demo archive

class WunConnessioneRepairs : public WunConnessione {
protected:
    void SetUp() override
    {
        WunConnessione::SetUp();
        inst = std::make_unique<TempInstallation>();
        tdb = payrolltest::demoArchive();
        platform::Database &db = tdb->db();
        for (int rice : {14, 15})
            db.execute(QString("UPDATE OR INSERT INTO TRICE_RITENUTE (IRICEID, IRICENUBRACODE, SRICELDESC) VALUES "
                               "(%1, %1, 'Ritenuta %1') MATCHING (IRICEID)")
                           .arg(rice));
        const int regs = scalar("SELECT FIRST 1 IREGSID FROM TREGS_REGISTROSTIP ORDER BY IREGSID").toInt();
        // Withholding rows: 9001 and 9002 lose their taxable, the others keep it.
        const char *rows[] = {
            "(9001, %1, 14, 100, 33, 0, 200, 66, 5)", // employee part without withholding
            "(9002, %1, 15, 0, 0, 0, 300, 50, 0)",    // employer part without withholding
            "(9003, %1, 14, 100, 33, 7, 200, 66, 5)", // withheld on both sides
            "(9004, %1, 3, 100, 33, 0, 200, 66, 0)",  // another retention
        };
        for (const char *r : rows)
            db.execute(
                QString("INSERT INTO TVARR_VARRITENUTE (IVARRID, IREGSID, IRICEID, FVARRIMPONIBILEDIP, "
                        "FVARRPERCIMPDIP, FVARRRITDIP, FVARRIMPONIBILEAMM, FVARRPERCIMPAMM, FVARRRITAMM) VALUES ")
                + QString(r).arg(regs));
        // Registry rows: the first has nothing and goes; each other has one column.
        db.execute(
            "INSERT INTO TCRF_CROFISCALE (ICRFID, ICRFANNO, ICRFMESE, SCRFPROGRAMMA) VALUES (900, 2024, 11, 'zep')");
        db.execute("INSERT INTO TAFI_ANAFISCALE (IAFIID, ICRFID) VALUES (9100, 900)");
        const char *cols[] = {"SAFICODFISCALE", "SAFICOGNOME", "SAFINOME", "SAFICODFISSOST", "SAFIGRUPPOANA"};
        for (int i = 0; i < 5; ++i)
            db.execute(QString("INSERT INTO TAFI_ANAFISCALE (IAFIID, ICRFID, %1) VALUES (%2, 900, 'X')")
                           .arg(cols[i])
                           .arg(9101 + i));
        db.execute("INSERT INTO TAFI_ANAFISCALE (IAFIID, ICRFID, SAFICOGNOME) VALUES (9106, 900, '')");
        // Funds: no school type, type 0, type 2.
        db.execute(
            "INSERT INTO TCUFO_FONDICU (ICUFOID, SCUFOLDESC, ICUFOTIPOSCUOLA) VALUES (9201, 'Senza tipo', NULL)");
        db.execute("INSERT INTO TCUFO_FONDICU (ICUFOID, SCUFOLDESC, ICUFOTIPOSCUOLA) VALUES (9202, 'Tipo zero', 0)");
        db.execute("INSERT INTO TCUFO_FONDICU (ICUFOID, SCUFOLDESC, ICUFOTIPOSCUOLA) VALUES (9203, 'Tipo due', 2)");
    }
    void TearDown() override
    {
        conn.reset();
        tdb.reset();
        inst.reset();
        WunConnessione::TearDown();
    }

    Value scalar(const QString &sql) { return payrolltest::scalar(tdb->db(), sql); }
    QString withholding(int id)
    {
        platform::SqlQuery q(tdb->db());
        q.setSql(QString("SELECT FVARRIMPONIBILEDIP, FVARRPERCIMPDIP, FVARRIMPONIBILEAMM, FVARRPERCIMPAMM FROM "
                         "TVARR_VARRITENUTE WHERE IVARRID = %1")
                     .arg(id));
        q.open();
        return QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()}
            .join(" ");
    }
    QString state()
    {
        QStringList s;
        for (int id : {9001, 9002, 9003, 9004})
            s << withholding(id);
        s << scalar(
                 "SELECT LIST(IAFIID, ',') FROM (SELECT IAFIID FROM TAFI_ANAFISCALE WHERE IAFIID >= 9100 ORDER BY IAFIID)")
                 .toString();
        s << scalar("SELECT LIST(COALESCE(ICUFOTIPOSCUOLA, -1), ',') FROM (SELECT ICUFOTIPOSCUOLA FROM TCUFO_FONDICU "
                    "WHERE ICUFOID >= 9201 ORDER BY ICUFOID)")
                 .toString();
        return s.join(" | ");
    }
    void addLayout(int id, const QString &name, int rows)
    {
        tdb->db().execute(
            QString("INSERT INTO TCDS_STRUTTURA (ICDSID, SCDSPROGRAMMA, SCDSNOME, ICDSRIGO, SCDSFIELDMAP) "
                    "VALUES (%1, 'zep', '%2', 2, 'saficognome=Cognome')")
                .arg(id)
                .arg(name));
        for (int r = 1; r <= rows; ++r)
            tdb->db().execute(
                QString("INSERT INTO TFIS_DATIFISCALI (ICDSID, ICRFID, IFISRIGO, SFISFIELDNAME, SFISVALUE) "
                        "VALUES (%1, 900, %2, 'Cognome', 'ROSSI')")
                    .arg(id)
                    .arg(r * 3));
    }
    QString layout(int id)
    {
        platform::SqlQuery q(tdb->db());
        q.setSql(QString("SELECT ICDSRIGO, SCDSFIELDMAP FROM TCDS_STRUTTURA WHERE ICDSID = %1").arg(id));
        q.open();
        return q.value(0).toString() + " " + q.value(1).toString();
    }

    std::unique_ptr<TempInstallation> inst;
    std::unique_ptr<TempDatabase> tdb;
    std::unique_ptr<TdmwunConnessione> conn;
};

TEST_F(WunConnessioneRepairs, TheOpenRepairsKnownDefectsAndRepeatingIsHarmless)
{
    const QString before = state();
    EXPECT_EQ(before, "100 33 200 66 | 0 0 300 50 | 100 33 200 66 | 100 33 200 66 | "
                      "9100,9101,9102,9103,9104,9105,9106 | -1,0,2");
    conn = connectionOn(tdb->settings());
    ASSERT_TRUE(conn->ApriDatabase()) << services->messageTexts().join("\n").toStdString();
    const QString expected = "0 0 200 66 | 0 0 0 0 | 100 33 200 66 | 100 33 200 66 | "
                             "9101,9102,9103,9104,9105,9106 | 1,1,2";
    EXPECT_EQ(state(), expected);
    EXPECT_EQ(services->waitCursorPushes(), 1);
    EXPECT_EQ(services->waitCursorDepth(), 0);

    conn->CloseConnection();
    ASSERT_TRUE(conn->ApriDatabase());
    EXPECT_EQ(state(), expected);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TYRFO_CARTELLE WHERE IYRFOID = 11006 AND IYRFOID_P = 11001 AND "
                     "SYRFODESC = 'Registro compensi'")
                  .toInt(),
              1);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TYAPVRFO_APPCARTELLE WHERE IYAPVRFOID = 11006 AND IYAPPID = 11").toInt(), 1);
    EXPECT_TRUE(services->messages().isEmpty());
}

TEST_F(WunConnessioneRepairs, TheReportLayoutsOfTheEtcFolderAreRegistered)
{
    // A layout file of one report, as a program version ships it.
    platform::DataSet shipped;
    shipped.addFieldDef("IYRPTID", platform::FieldType::Integer, 0, true);
    shipped.addFieldDef("IYRFOID", platform::FieldType::Integer);
    shipped.addFieldDef("SYRPTDESC", platform::FieldType::String, 120);
    shipped.addFieldDef("IYRPTVERSION", platform::FieldType::Integer);
    shipped.addFieldDef("SYRPTNOTE", platform::FieldType::String, 500);
    shipped.addFieldDef("BYRPTREPORT", platform::FieldType::Blob);
    shipped.addFieldDef("BYRPTVAR", platform::FieldType::Blob);
    shipped.createDataSet();
    shipped.appendRecord(
        {900, 11006, "Registro compensi mensile", 3, "prova", QByteArray("layout"), QByteArray("var")});
    shipped.mergeChangeLog();
    platform::DataSetFile::saveToFile(shipped, inst->etc() + "/wun_Report.xml", platform::DataSetFileFormat::Xml);

    conn = connectionOn(tdb->settings());
    ASSERT_TRUE(conn->ApriDatabase()) << services->messageTexts().join("\n").toStdString();
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TYRPT_REPORT").toInt(), 1);
    EXPECT_EQ(scalar("SELECT SYRPTDESC FROM TYRPT_REPORT WHERE IYRPTID = 900 AND IYRPTVERSION = 3").toString(),
              "Registro compensi mensile");
    conn->CloseConnection();
    ASSERT_TRUE(conn->ApriDatabase());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TYRPT_REPORT").toInt(), 1) << "registered once";

    // Without the file only the report group is made sure of.
    QFile::remove(inst->etc() + "/wun_Report.xml");
    tdb->db().execute("DELETE FROM TYRPT_REPORT");
    tdb->db().execute("DELETE FROM TYAPVRFO_APPCARTELLE");
    conn->ImportaReport(false);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TYRPT_REPORT").toInt(), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TYAPVRFO_APPCARTELLE WHERE IYAPVRFOID = 11006").toInt(), 1);
}

TEST_F(WunConnessioneRepairs, AFailingRepairLeavesNothingChangedAndSaysSo)
{
    tdb->db().execute("CREATE EXCEPTION E_NO_FONDI 'fondi bloccati'");
    tdb->db().execute("CREATE TRIGGER T_NO_FONDI FOR TCUFO_FONDICU BEFORE UPDATE AS BEGIN EXCEPTION E_NO_FONDI; END");
    const QString before = state();
    conn = connectionOn(tdb->settings());
    try {
        conn->ApriDatabase();
        FAIL() << "the failing repair was not reported";
    } catch (const EUqError &e) {
        EXPECT_TRUE(e.message().startsWith("Impossibile correggere i dati dell'archivio: nessuna correzione è stata "
                                           "applicata.\n"))
            << e.what();
        EXPECT_TRUE(e.message().contains("fondi bloccati")) << e.what();
    }
    EXPECT_FALSE(conn->xqoMain().inTransaction());
    EXPECT_EQ(services->waitCursorDepth(), 0) << "the cursor is restored";
    EXPECT_EQ(state(), before) << "the first four repairs were rolled back too";
}

TEST_F(WunConnessioneRepairs, ARefusedCommitOfTheRepairsIsReportedWithItsReason)
{
    // The archive refuses to commit once the fund without a school type has
    // got one: every repair ran, the commit fails.
    tdb->db().execute("CREATE EXCEPTION E_NO_COMMIT 'commit rifiutato'");
    tdb->db().execute("CREATE TRIGGER T_NO_COMMIT ACTIVE ON TRANSACTION COMMIT AS BEGIN "
                      "IF (EXISTS(SELECT 1 FROM TCUFO_FONDICU WHERE ICUFOID = 9201 AND ICUFOTIPOSCUOLA = 1)) THEN "
                      "EXCEPTION E_NO_COMMIT; END");
    const QString before = state();
    conn = connectionOn(tdb->settings());
    try {
        conn->ApriDatabase();
        FAIL() << "the refused commit was not reported";
    } catch (const EUqError &e) {
        EXPECT_TRUE(e.message().startsWith("Impossibile correggere i dati dell'archivio: nessuna correzione è stata "
                                           "applicata.\n"))
            << e.what();
        EXPECT_TRUE(e.message().contains("commit rifiutato")) << e.what();
    } catch (const std::exception &e) {
        FAIL() << "reported as: " << e.what();
    }
    EXPECT_FALSE(conn->xqoMain().inTransaction());
    EXPECT_EQ(services->waitCursorDepth(), 0);
    EXPECT_EQ(state(), before);
}

TEST_F(WunConnessioneRepairs, TheEmployeeLayoutIsRepairedOnlyWhenItIsLayout13AndHasRows)
{
    for (int id = 1; id <= 12; ++id)
        addLayout(id, QString("T%1").arg(id), 0);
    addLayout(13, "temd_dipendenti", 4);
    conn = connectionOn(tdb->settings());
    ASSERT_TRUE(conn->ApriDatabase()) << services->messageTexts().join("\n").toStdString();
    EXPECT_EQ(layout(13),
              "12 saficognome=Cognome;safinome=Nome;saficodfiscale=CFLavoratore;safigruppoana=Matricola+Qualifica2");
    EXPECT_EQ(layout(12), "2 saficognome=Cognome");

    // Layout 13 of another table keeps its field map and counter.
    conn->CloseConnection();
    tdb->db().execute("UPDATE TCDS_STRUTTURA SET SCDSNOME = 'TEMC_COLLABORATORI', ICDSRIGO = 20, "
                      "SCDSFIELDMAP = 'saficognome=Cognome' WHERE ICDSID = 13");
    ASSERT_TRUE(conn->ApriDatabase());
    EXPECT_EQ(layout(13), "20 saficognome=Cognome");

    // The employee layout without stored rows: the counter would become
    // null, which the archive refuses; the open goes on without it.
    conn->CloseConnection();
    tdb->db().execute("DELETE FROM TFIS_DATIFISCALI WHERE ICDSID = 13");
    tdb->db().execute("UPDATE TCDS_STRUTTURA SET SCDSNOME = 'TEMD_DIPENDENTI' WHERE ICDSID = 13");
    ASSERT_TRUE(conn->ApriDatabase()) << services->messageTexts().join("\n").toStdString();
    EXPECT_EQ(layout(13), "20 saficognome=Cognome");
}

TEST_F(WunConnessioneRepairs, TheFixedTextsAreTheOnesAlwaysRun)
{
    ASSERT_EQ(TdmwunConnessione::StatementiCorrezione.size(), 5);
    EXPECT_EQ(TdmwunConnessione::StatementiCorrezione.at(2),
              "UPDATE TCDS_STRUTTURA CDS SET   CDS.SCDSFIELDMAP = 'saficognome=Cognome;safinome=Nome;"
              "saficodfiscale=CFLavoratore;safigruppoana=Matricola+Qualifica2',   CDS.ICDSRIGO = (SELECT MAX(IFISRIGO) "
              "FROM TFIS_DATIFISCALI FIS WHERE FIS.ICDSID=CDS.ICDSID) WHERE (ICDSID = 13)");
    EXPECT_EQ(TdmwunConnessione::StatementiCorrezione.at(3),
              "DELETE  FROM TAFI_ANAFISCALE A WHERE A.SAFICODFISCALE IS NULL AND A.SAFICOGNOME IS NULL AND "
              "A.SAFINOME IS NULL AND A.SAFICODFISSOST IS NULL AND A.SAFIGRUPPOANA IS NULL ");
    for (const QString &sql : TdmwunConnessione::StatementiCorrezione)
        EXPECT_EQ(archivetest::prepareError(tdb->db(), sql), QString()) << sql.toStdString();
}

TEST_F(WunConnessioneRepairs, AFailedConnectRunsNoRepair)
{
    conn = connectionOn(settingsOf(inst->root() + "/data/altro.fdb"));
    EXPECT_FALSE(conn->ApriDatabase());
    EXPECT_EQ(services->waitCursorPushes(), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TAFI_ANAFISCALE WHERE IAFIID = 9100").toInt(), 1);
}
