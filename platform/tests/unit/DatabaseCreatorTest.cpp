// Creating and upgrading an archive from numbered scripts, and opening
// databases that cannot be opened.
#include "DatabaseCreator.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace platform;

namespace {

DdlScript script(const QString &series, int number, const QString &text)
{
    return DdlScript{series, number, QString("%1_test.sql").arg(number, 3, 10, QChar('0')), text};
}

const DdlScript k001 =
    script("payroll", 1,
           "-- first tables\n"
           "CREATE TABLE TANA_ANAGRAFICHE (IANAID INTEGER NOT NULL PRIMARY KEY, SANACOGNOME VARCHAR(40));\n"
           "CREATE SEQUENCE GEN_TANA_ANAGRAFICHE;\n"
           "COMMIT;\n");
const DdlScript k002 = script("payroll", 2,
                              "INSERT INTO TANA_ANAGRAFICHE VALUES (1, 'Rossi; Mario');\n"
                              "SET TERM ^ ;\n"
                              "CREATE PROCEDURE P_CONTA RETURNS (N INTEGER) AS\n"
                              "BEGIN\n"
                              "  SELECT COUNT(*) FROM TANA_ANAGRAFICHE INTO :N;\n"
                              "  SUSPEND;\n"
                              "END^\n"
                              "SET TERM ; ^\n"
                              "/* trailing comment; with a semicolon */\n");
const DdlScript k003 = script("payroll", 3, "ALTER TABLE TANA_ANAGRAFICHE ADD SANANOME VARCHAR(40);\n");

bool tableExists(Database &db, const QString &table)
{
    SqlQuery q(db);
    q.setSql("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = :T");
    q.bind("T", table);
    q.open();
    return q.value(0).toInt() > 0;
}

QString openError(const ConnectionSettings &s)
{
    Database db(s);
    try {
        db.open();
    } catch (const EDatabaseError &e) {
        EXPECT_FALSE(db.isOpen());
        return e.message();
    }
    return QString();
}

} // namespace

TEST(DatabaseScripts, StatementsSplitAtTerminatorsOutsideQuotesAndComments)
{
    const QStringList st = DatabaseCreator::splitStatements(k002.text);
    ASSERT_EQ(st.size(), 2);
    EXPECT_EQ(st.at(0), "INSERT INTO TANA_ANAGRAFICHE VALUES (1, 'Rossi; Mario')");
    EXPECT_TRUE(st.at(1).startsWith("CREATE PROCEDURE P_CONTA"));
    EXPECT_TRUE(st.at(1).contains("INTO :N;\n  SUSPEND;\nEND"));
    EXPECT_EQ(DatabaseCreator::splitStatements("SET SQL DIALECT 3;\nSET NAMES UTF8;\nCOMMIT WORK;\n-- only\n"),
              QStringList());
}

TEST(DatabaseScripts, FolderScriptsAreOrderedByNumberAndDuplicatesRefused)
{
    QTemporaryDir dir;
    auto write = [&](const QString &name, const QByteArray &text) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("010_later.sql", "SELECT 1 FROM RDB$DATABASE;");
    write("002_first.SQL", "SELECT 2 FROM RDB$DATABASE;");
    write("readme.txt", "not a script");
    write("notes.sql", "no number");
    const auto scripts = DatabaseCreator::scriptsFromFolder(dir.path(), "foundation");
    ASSERT_EQ(scripts.size(), 2);
    EXPECT_EQ(scripts.at(0).number, 2);
    EXPECT_EQ(scripts.at(0).name, "002_first.SQL");
    EXPECT_EQ(scripts.at(1).number, 10);
    EXPECT_EQ(scripts.at(1).series, "foundation");
    write("10_again.sql", "SELECT 3 FROM RDB$DATABASE;");
    EXPECT_THROW(DatabaseCreator::scriptsFromFolder(dir.path(), "foundation"), EDatabaseError);
    EXPECT_TRUE(DatabaseCreator::scriptsFromFolder(dir.filePath("missing"), "x").isEmpty());
}

TEST(DatabaseCreation, CreatesFromScriptsThenUpgradesInPlaceRecordingWhatRan)
{
    TempDatabase::ensureLockFolder();
    QTemporaryDir dir;
    ConnectionSettings s;
    s.database = dir.filePath("archivio/zep.fdb"); // the folder is made too

    {
        Database db(s);
        const QStringList ran = DatabaseCreator({k001, k002}).createOrUpgrade(db);
        EXPECT_EQ(ran, (QStringList{"001_test.sql", "002_test.sql"}));
        ASSERT_TRUE(db.isOpen());
        SqlQuery q(db);
        q.setSql("SELECT N FROM P_CONTA");
        q.open();
        EXPECT_EQ(q.value(0), Value(1));
        // Data entered with the older program.
        db.execute("INSERT INTO TANA_ANAGRAFICHE VALUES (2, 'Bianchi')");
    }
    ASSERT_TRUE(QFile::exists(s.database));

    Database db(s);
    const QStringList ran = DatabaseCreator({k001, k002, k003}).createOrUpgrade(db);
    EXPECT_EQ(ran, QStringList{"003_test.sql"});
    SqlQuery q(db);
    q.setSql("SELECT COUNT(*), MAX(SANANOME) FROM TANA_ANAGRAFICHE");
    q.open();
    EXPECT_EQ(q.value(0).toInt(), 2) << "the upgrade keeps the archive's rows";
    EXPECT_TRUE(q.value(1).isNull()) << "the new column is there";

    const auto applied = DatabaseCreator::appliedScripts(db);
    ASSERT_EQ(applied.size(), 3);
    EXPECT_EQ(applied.at(2).number, 3);
    EXPECT_EQ(applied.at(2).name, "003_test.sql");
    EXPECT_TRUE(applied.at(2).appliedAt.isValid());

    // Running again does nothing.
    EXPECT_TRUE(DatabaseCreator({k001, k002, k003}).upgrade(db).isEmpty());
}

TEST(DatabaseCreation, SeriesRunInTheOrderGivenAndNumberWithin)
{
    TempDatabase tdb;
    const DdlScript f1 = script("foundation", 1, "CREATE TABLE TANF_ANNIFINANZ (IANFID INTEGER NOT NULL PRIMARY KEY);");
    const DdlScript p1 = script("payroll", 1,
                                "CREATE TABLE TPACO (IPACOID INTEGER NOT NULL PRIMARY KEY, "
                                "IANFID INTEGER REFERENCES TANF_ANNIFINANZ (IANFID));");
    DatabaseCreator creator;
    creator.addScripts({f1});
    creator.addScripts({p1});
    creator.upgrade(tdb.db());
    EXPECT_TRUE(tableExists(tdb.db(), "TPACO"));
    EXPECT_EQ(creator.latestNumber("payroll"), 1);
    EXPECT_EQ(creator.latestNumber("other"), 0);
    EXPECT_THROW(creator.addScripts({script("payroll", 1, "SELECT 1 FROM RDB$DATABASE;")}), EDatabaseError);
}

TEST(DatabaseCreation, IndexesMadeOnEmptyTablesGetTheSelectivityOfTheirRows)
{
    TempDatabase tdb;
    tdb.db().execute("CREATE TABLE TPROVA (IPROVAID INTEGER NOT NULL, IMESE INTEGER)");
    tdb.db().execute("CREATE INDEX IDX_PROVA_MESE ON TPROVA (IMESE)");
    for (int i = 0; i < 12; ++i)
        tdb.db().execute(QStringLiteral("INSERT INTO TPROVA VALUES (%1, %2)").arg(i).arg(i % 2));
    const auto selettivita = [&] {
        SqlQuery q(tdb.db());
        q.setSql("SELECT RDB$STATISTICS FROM RDB$INDICES WHERE RDB$INDEX_NAME = 'IDX_PROVA_MESE'");
        q.open();
        return q.value(0).toDouble();
    };
    EXPECT_EQ(selettivita(), 0.0) << "the figure of the empty table";
    DatabaseCreator::updateIndexStatistics(tdb.db());
    EXPECT_DOUBLE_EQ(selettivita(), 0.5) << "two distinct months";
}

TEST(DatabaseCreation, AnArchiveNewerThanTheProgramIsRefusedBeforeAnythingRuns)
{
    TempDatabase tdb(TempDatabase::Scripts{{k001, k002, k003}});
    // An older program that also brings a script of another series.
    const DdlScript other = script("foundation", 1, "CREATE TABLE TNEW (A INTEGER);");
    DatabaseCreator older({other, k001, k002});
    try {
        older.upgrade(tdb.db());
        FAIL() << "a newer archive must be refused";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.message().contains("versione più recente del programma")) << e.what();
        EXPECT_TRUE(e.message().contains("Installare la versione aggiornata")) << e.what();
    }
    EXPECT_FALSE(tableExists(tdb.db(), "TNEW")) << "nothing ran";
    // A series the program does not know is left alone.
    EXPECT_NO_THROW(DatabaseCreator({script("declaration", 1, "CREATE TABLE TX (A INTEGER);")}).upgrade(tdb.db()));
}

TEST(DatabaseCreation, AFailingScriptNamesScriptAndStatementAndIsNotRecorded)
{
    TempDatabase tdb(TempDatabase::Scripts{{k001}});
    const DdlScript bad = script("payroll", 2,
                                 "CREATE TABLE TOK (A INTEGER);\nCREATE TABLE TANA_ANAGRAFICHE (X INTEGER);\n");
    try {
        DatabaseCreator({k001, bad}).upgrade(tdb.db());
        FAIL() << "must raise";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.message().contains("002_test.sql")) << e.what();
        EXPECT_TRUE(e.message().contains("istruzione 2")) << e.what();
    }
    const auto applied = DatabaseCreator::appliedScripts(tdb.db());
    ASSERT_EQ(applied.size(), 1);
    EXPECT_EQ(applied.at(0).number, 1);
}

TEST(DatabaseCreation, AnExistingFileIsNeverOverwritten)
{
    TempDatabase tdb;
    EXPECT_THROW(DatabaseCreator::createDatabaseFile(tdb.settings()), EDatabaseError);
    EXPECT_NO_THROW(DatabaseCreator().upgrade(tdb.db()));
}

TEST(DatabaseCreation, ForcedWritesAreSwitchedOnTheFileAndReadBackByTheEngine)
{
    TempDatabase tdb;
    tdb.db().close();
    auto forcedWrites = [&]() {
        platform::Database db(tdb.settings());
        db.open();
        platform::SqlQuery q(db);
        q.setSql(QStringLiteral("SELECT MON$FORCED_WRITES FROM MON$DATABASE"));
        q.open();
        return q.value(0).toInt();
    };
    // Test databases start with forced writes off (TempDatabase): on, then
    // off again, so each call is seen to change the file.
    platform::DatabaseCreator::setForcedWrites(tdb.settings(), true);
    EXPECT_EQ(forcedWrites(), 1);
    platform::DatabaseCreator::setForcedWrites(tdb.settings(), false);
    EXPECT_EQ(forcedWrites(), 0);

    platform::ConnectionSettings missing = tdb.settings();
    missing.database = tdb.folder() + QStringLiteral("/nessuno.fdb");
    try {
        platform::DatabaseCreator::setForcedWrites(missing, false);
        FAIL() << "a missing file must raise";
    } catch (const platform::EDatabaseError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nessuno.fdb"))) << e.message().toStdString();
    }
}

TEST(DatabaseOpen, AMissingFileGivesAClearItalianMessage)
{
    TempDatabase::ensureLockFolder();
    QTemporaryDir dir;
    ConnectionSettings s;
    s.database = dir.filePath("manca.fdb");
    const QString msg = openError(s);
    EXPECT_TRUE(msg.startsWith("Impossibile aprire il database")) << msg.toStdString();
    EXPECT_TRUE(msg.contains("manca.fdb")) << msg.toStdString();
    EXPECT_TRUE(msg.contains("il file non esiste")) << msg.toStdString();
}

TEST(DatabaseOpen, AFileThatIsNotADatabaseGivesAClearItalianMessage)
{
    TempDatabase::ensureLockFolder();
    QTemporaryDir dir;
    for (const QByteArray &content : {QByteArray("just a few bytes"), QByteArray(200000, '\x5a')}) {
        QFile f(dir.filePath("testo.fdb"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        ConnectionSettings s;
        s.database = f.fileName();
        const QString msg = openError(s);
        EXPECT_TRUE(msg.contains("il file non è un database valido")) << msg.toStdString();
    }
}

TEST(DatabaseOpen, AFileHeldByAnotherProcessGivesAClearItalianMessage)
{
    const QString isql = QStandardPaths::findExecutable("isql-fb");
    if (isql.isEmpty())
        GTEST_SKIP() << "isql-fb (firebird3.0-utils) is not installed";
    TempDatabase::ensureLockFolder();
    QTemporaryDir dir;
    ConnectionSettings s;
    s.database = dir.filePath("occupato.fdb");
    DatabaseCreator::createDatabaseFile(s);

    // Another program keeps the archive open with its own embedded engine.
    QProcess other;
    other.setProgram(isql);
    other.setArguments({"-q", "-user", "SYSDBA", s.database});
    other.start();
    ASSERT_TRUE(other.waitForStarted(10000));
    other.write("SELECT 'CONNESSO' FROM RDB$DATABASE;\n");
    QByteArray seen;
    while (!seen.contains("CONNESSO") && other.waitForReadyRead(10000))
        seen += other.readAllStandardOutput();
    ASSERT_TRUE(seen.contains("CONNESSO")) << seen.constData() << other.readAllStandardError().constData();

    const QString msg = openError(s);
    other.write("QUIT;\n");
    other.closeWriteChannel();
    other.waitForFinished(10000);

    EXPECT_TRUE(msg.contains("in uso da un altro programma")) << msg.toStdString();

    // Once the other program is gone the archive opens.
    Database db(s);
    EXPECT_NO_THROW(db.open());
}

TEST(DatabaseOpen, ConnectionFileGivesTheSettingsWithRelativePathsFromTheProgramFolder)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("connessione.ini");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("; archivio\n[database]\ndatabase = ..\\data\\zep.fdb\nUser=UTENTE\nRole=R1\n");
    }
    const auto s = ConnectionSettings::load(file, dir.filePath("bin"));
    EXPECT_EQ(s.database, QDir::cleanPath(dir.filePath("data/zep.fdb")));
    EXPECT_EQ(s.user, "UTENTE");
    EXPECT_EQ(s.role, "R1");
    EXPECT_EQ(s.charset, "UTF8");
    EXPECT_FALSE(s.isRemote());

    ConnectionSettings remote;
    remote.database = "server/3051:/srv/db/zep.fdb";
    remote.save(file);
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("; archivio\n[database]\ndatabase =server/3051:/srv/db/zep.fdb\nUser=SYSDBA\n"
                                          "Role=\nPassword=\nCharSet=UTF8\n"))
        << "the keys are set where they stand, the rest kept";
    const auto r = ConnectionSettings::load(file);
    EXPECT_TRUE(r.isRemote());
    EXPECT_EQ(r.database, "server/3051:/srv/db/zep.fdb");
    EXPECT_EQ(r.filePath(), "/srv/db/zep.fdb");

    EXPECT_THROW(ConnectionSettings::load(dir.filePath("manca.ini")), EDatabaseError);
}

// A connection file decides which archive an office works on: one that
// cannot be read whole is refused, naming the file, and nothing is opened.
TEST(DatabaseOpen, ADamagedConnectionFileIsRefusedNamingTheFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("Database.ini");
    const QByteArray buono = "[Database]\nDatabase=..\\data\\zep.fdb\nUser=SYSDBA\nCharSet=UTF8\n";
    QByteArray casuale(512, '\0');
    for (int i = 0; i < casuale.size(); ++i)
        casuale[i] = char((i * 7919 + 13) % 256);
    struct Caso {
        const char *nome;
        QByteArray contenuto;
        const char *motivo;
    };
    const Caso casi[] = {
        {"random bytes", casuale, "non è testo"},
        {"cut inside the section name", buono.left(5), "riga 1 non leggibile"},
        {"cut inside a key", buono.left(buono.indexOf("User") + 3), "riga 3 non leggibile"},
        {"cut before the archive", buono.left(buono.indexOf("Database=")), "manca la sezione [Database]"},
        {"cut inside the character set", buono.left(buono.size() - 3), "set di caratteri \"UT\" sconosciuto"},
        {"unknown character set", "[Database]\nDatabase=a.fdb\nCharSet=KLINGON\n", "\"KLINGON\" sconosciuto"},
        {"unknown key", "[Database]\nDatabase=a.fdb\nPasswrd=x\n", "chiave \"Passwrd\" sconosciuta"},
        {"no archive named", "[Database]\nUser=SYSDBA\n", "manca la sezione [Database]"},
        {"another section only", "[Altro]\nDatabase=a.fdb\n", "manca la sezione [Database]"},
        {"a control character", "[Database]\nDatabase=a\x01.fdb\n", "carattere di controllo"},
    };
    for (const Caso &c : casi) {
        SCOPED_TRACE(c.nome);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.contenuto);
        f.close();
        try {
            ConnectionSettings::load(file, dir.filePath("bin"));
            ADD_FAILURE() << "accepted";
        } catch (const EDatabaseError &e) {
            EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(file))) << e.what();
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.motivo))) << e.what();
        }
    }
    // The whole file, comments and other sections beside it, is read.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("; ufficio\n[Altro]\nX=1\n" + buono + "Role=\nPassword=\n");
    f.close();
    EXPECT_EQ(ConnectionSettings::load(file, dir.filePath("bin")).database,
              QDir::cleanPath(dir.filePath("data/zep.fdb")));
}
