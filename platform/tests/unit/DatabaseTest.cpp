// The connection on the engine's own API: what a failed commit leaves, how
// long a transaction waits for a row another holds, statements prepared once
// and run in any transaction, amounts at their full size, and the engine's
// errors told apart by cause.
#include "Database.h"
#include "DatabaseCreator.h"
#include "FbClient.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <ibase.h>
#include <iberror.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <future>
#include <optional>

using namespace platform;

namespace {

int count(Database &db, const QString &sql)
{
    SqlQuery q(db);
    q.setSql(sql);
    q.open();
    return q.value(0).toInt();
}

// Transactions of other connections still active, seen from `db`.
int otherActiveTransactions(Database &db)
{
    return count(db, "SELECT COUNT(*) FROM MON$TRANSACTIONS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION "
                     "AND MON$STATE = 1");
}

class DatabaseDb : public ::testing::Test {
protected:
    TempDatabase tdb{{"CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, S VARCHAR(20), M NUMERIC(18,4))",
                      "INSERT INTO T (ID, S) VALUES (1, 'uno')"}};
    Database &db = tdb.db();
};

} // namespace

// A commit the engine refuses (here a commit trigger, as a full disk would)
// leaves no transaction behind: nothing of it is kept, no lock is held, and
// the connection goes on with a new one.
TEST_F(DatabaseDb, AFailedCommitLeavesNoTransactionAndTheNextOneWorks)
{
    db.execute("CREATE EXCEPTION E_RIFIUTO 'commit rifiutato'");
    db.execute("CREATE TRIGGER T_RIFIUTO ON TRANSACTION COMMIT AS BEGIN "
               "IF (EXISTS (SELECT 1 FROM T WHERE S = 'rifiuta')) THEN EXCEPTION E_RIFIUTO; END");
    db.startTransaction();
    SqlQuery upd(db);
    upd.setSql("UPDATE T SET S = :S WHERE ID = 1");
    upd.bind("S", "rifiuta").execSQL();
    try {
        db.commit();
        FAIL() << "the commit must fail";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.message().startsWith("Impossibile confermare la transazione: ")) << e.what();
        EXPECT_TRUE(e.message().contains("commit rifiutato")) << e.what();
    }
    EXPECT_FALSE(db.inTransaction());
    ASSERT_TRUE(db.isOpen());

    Database other(tdb.settings());
    other.open();
    other.setLockTimeout(1);
    EXPECT_EQ(otherActiveTransactions(other), 0) << "the refused transaction is gone from the engine";
    SqlQuery libera(other);
    libera.setSql("UPDATE T SET S = 'altro' WHERE ID = 1");
    EXPECT_EQ(libera.execSQL(), 1) << "its row lock is gone with it";
    EXPECT_EQ(count(other, "SELECT COUNT(*) FROM T WHERE S = 'rifiuta'"), 0) << "nothing of it is kept";

    db.startTransaction();
    upd.bind("S", "dopo").execSQL();
    db.commit();
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM T WHERE S = 'dopo'"), 1);
}

// Let go while still at work, the engine's objects end as their owners do:
// the transaction is rolled back (its change gone, no transaction left),
// the statement freed with its open cursor, the connection detached.
TEST_F(DatabaseDb, ObjectsLetGoAtWorkAreRolledBackFreedAndDetached)
{
    Database other(tdb.settings());
    other.open();
    const QString connessioni = "SELECT COUNT(*) FROM MON$ATTACHMENTS";
    const int prima = count(other, connessioni);
    {
        fb::AttachOptions o;
        o.database = tdb.settings().database;
        o.user = tdb.settings().user;
        o.password = tdb.settings().password;
        o.charset = tdb.settings().charset;
        fb::Attachment attachment(o);
        fb::Transaction transaction(attachment, {});
        attachment.execute(transaction.handle(), "UPDATE T SET S = 'lasciata' WHERE ID = 1");
        fb::Statement cursor(attachment, transaction, "SELECT S FROM T");
        cursor.execute(transaction, {});
        ASSERT_TRUE(cursor.fetch());
        ASSERT_EQ(count(other, connessioni), prima + 1);
    }
    EXPECT_EQ(count(other, connessioni), prima);
    EXPECT_EQ(otherActiveTransactions(other), 0);
    EXPECT_EQ(count(other, "SELECT COUNT(*) FROM T WHERE S = 'uno'"), 1) << "nothing of it is kept";
}

// A row another connection holds is waited for only so long; then the
// engine's refusal is an update conflict, which callers retry.
TEST_F(DatabaseDb, AWaitForARowAnotherConnectionHoldsIsBounded)
{
    Database other(tdb.settings());
    other.open();
    other.startTransaction();
    SqlQuery tiene(other);
    tiene.setSql("UPDATE T SET S = 'tenuta' WHERE ID = 1");
    tiene.execSQL();

    db.setLockTimeout(1);
    db.startTransaction();
    SqlQuery aspetta(db);
    aspetta.setSql("UPDATE T SET S = 'attesa' WHERE ID = 1");
    QElapsedTimer t;
    t.start();
    try {
        aspetta.execSQL();
        FAIL() << "the row is held";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(e.cause(), EDatabaseError::Cause::Conflict) << e.what();
        EXPECT_TRUE(Database::isUpdateConflict(e.message())) << e.what();
    }
    EXPECT_LT(t.elapsed(), 20'000) << "the wait ends";
    db.rollback();
    other.rollback();
}

// Prepared once on the connection: the same text run in two transactions,
// by two queries, is one statement of the engine.
TEST_F(DatabaseDb, AStatementPreparedInOneTransactionRunsInTheNext)
{
    const QString sql = "SELECT S FROM T WHERE ID = :ID";
    for (int giro = 0; giro < 3; ++giro) {
        db.startTransaction();
        SqlQuery q(db);
        q.setSql(sql);
        q.bind("ID", 1).open();
        EXPECT_EQ(q.value(0).toString(), "uno");
        q.close();
        db.commit();
    }
    Database other(tdb.settings());
    other.open();
    SqlQuery prepared(other);
    prepared.setSql("SELECT COUNT(*) FROM MON$STATEMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION "
                    "AND MON$SQL_TEXT = :TESTO");
    prepared.bind("TESTO", SqlStatement::parse(sql).positional()).open();
    EXPECT_EQ(prepared.value(0).toInt(), 1);
}

// NUMERIC(18,4) at its full size, read and written as the scaled integer the
// engine keeps, and summed without a double on the way.
TEST_F(DatabaseDb, AnAmountOf18DigitsAndFourDecimalsIsReadAndWrittenExactly)
{
    const Currency massimo = Currency::fromString("99999999999999.9999");
    const Currency negativo = Currency::fromString("-12345678901234.5679");
    SqlQuery ins(db);
    ins.setSql("INSERT INTO T (ID, M) VALUES (:ID, :M)");
    ins.bind("ID", 2).bind("M", massimo).execSQL();
    ins.bind("ID", 3).bind("M", negativo).execSQL();
    SqlQuery q(db);
    q.setSql("SELECT M FROM T WHERE ID = :ID");
    q.bind("ID", 2).open();
    EXPECT_EQ(q.value(0).toCurrency(), massimo);
    q.bind("ID", 3).open();
    EXPECT_EQ(q.value(0).toCurrency(), negativo);
    q.setSql("SELECT SUM(M) FROM T WHERE ID IN (2, 3)");
    q.open();
    EXPECT_EQ(q.value(0).toCurrency(), massimo + negativo);
    // A fifth decimal of a parameter is rounded half away from zero into
    // the column's four.
    SqlQuery arrotonda(db);
    arrotonda.setSql("SELECT CAST(:V AS NUMERIC(18,2)) FROM RDB$DATABASE");
    for (const auto &[valore, atteso] :
         {std::pair{"0.005", "0.01"}, std::pair{"-0.005", "-0.01"}, std::pair{"0.0049", "0"},
          std::pair{"1234567890123.455", "1234567890123.46"}}) {
        arrotonda.bind("V", Currency::fromString(valore)).open();
        EXPECT_EQ(arrotonda.value(0).toCurrency(), Currency::fromString(atteso)) << valore;
    }
}

// The engine retries a file-status call while errno says EINTR, without
// looking at the call's result: an EINTR left by a system call a signal
// interrupted must not make closing the archive spin for ever.
TEST_F(DatabaseDb, AStaleInterruptionInErrnoDoesNotHangTheClose)
{
    auto chiusura = std::async(std::launch::async, [this] {
        errno = EINTR;
        db.close();
    });
    if (chiusura.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        ADD_FAILURE() << "the close did not end";
        std::_Exit(1);
    }
    chiusura.get();
    EXPECT_FALSE(db.isOpen());
}

// The engine's error codes, told apart: the archive itself, a row another
// connection holds, or the statement and its data.
TEST(DatabaseErrors, TheCauseComesFromTheEnginesCodes)
{
    using Cause = EDatabaseError::Cause;
    const struct {
        std::vector<intptr_t> vector;
        Cause cause;
    } casi[] = {
        {{isc_arg_gds, isc_io_error, isc_arg_gds, isc_io_write_err, isc_arg_unix, ENOSPC, isc_arg_end}, Cause::Archive},
        {{isc_arg_gds, isc_lost_db_connection, isc_arg_end}, Cause::Archive},
        {{isc_arg_gds, isc_att_shutdown, isc_arg_end}, Cause::Archive},
        {{isc_arg_gds, isc_bug_check, isc_arg_end}, Cause::Archive},
        {{isc_arg_gds, isc_lock_conflict, isc_arg_gds, isc_update_conflict, isc_arg_end}, Cause::Conflict},
        {{isc_arg_gds, isc_deadlock, isc_arg_gds, isc_lock_timeout, isc_arg_end}, Cause::Conflict},
        {{isc_arg_gds, isc_unique_key_violation, isc_arg_end}, Cause::Duplicate},
        {{isc_arg_gds, isc_no_dup, isc_arg_end}, Cause::Duplicate},
        {{isc_arg_gds, isc_no_priv, isc_arg_end}, Cause::Permission},
        {{isc_arg_gds, isc_dsql_error, isc_arg_end}, Cause::Statement},
    };
    for (const auto &c : casi)
        EXPECT_EQ(fb::statusCause(c.vector.data()), c.cause) << c.vector.at(1);

    // A disk-full error's message says so, first, and once, also when the
    // engine's error carries it after the operation's own words.
    const QString motore = "I/O error during \"write\" operation - No space left on device";
    const EDatabaseError pieno(motore, Cause::Archive);
    EXPECT_TRUE(Database::archiveFailureMessage(pieno).startsWith("Spazio su disco esaurito"));
    const QString causa = fb::archiveExplanation(motore);
    const EDatabaseError confermando("Impossibile confermare la transazione: " + causa + "\n\n" + motore,
                                     Cause::Archive);
    EXPECT_EQ(Database::archiveFailureMessage(confermando),
              causa + "\n\nImpossibile confermare la transazione: " + motore);
}

namespace {

// An error of a real archive, made by `provoca` on a table T whose row 1 is
// there; what the user reads of it comes first, in Italian, and the
// engine's words follow.
struct ErroreDelMotore {
    const char *nome;
    std::function<void(TempDatabase &)> provoca;
    EDatabaseError::Cause causa;
    const char *italiano; // how the message begins
    const char *motore;   // words of the engine's text, after it
};

void esegui(Database &db, const QString &sql)
{
    SqlQuery q(db);
    q.setSql(sql);
    q.execSQL();
}

const ErroreDelMotore ErroriDelMotore[] = {
    {"ChiaveDuplicata", [](TempDatabase &t) { esegui(t.db(), "INSERT INTO T (ID) VALUES (1)"); },
     EDatabaseError::Cause::Duplicate, "Un dato che nell'archivio deve essere unico è già presente",
     "violation of PRIMARY or UNIQUE KEY constraint"},
    {"RigaTenutaDaUnAltraConnessione",
     [](TempDatabase &t) {
         Database altra(t.settings());
         altra.open();
         altra.startTransaction();
         esegui(altra, "UPDATE T SET S = 'tenuta' WHERE ID = 1");
         t.db().setLockTimeout(1);
         t.db().startTransaction();
         esegui(t.db(), "UPDATE T SET S = 'mia' WHERE ID = 1");
     },
     EDatabaseError::Cause::Conflict, "Un'altra postazione sta modificando, o ha appena modificato",
     "update conflicts with concurrent update"},
    {"PermessoNegato",
     [](TempDatabase &t) {
         ConnectionSettings impiegato = t.settings();
         impiegato.user = "IMPIEGATO";
         Database altra(impiegato);
         altra.open();
         esegui(altra, "UPDATE T SET S = 'x' WHERE ID = 1");
     },
     EDatabaseError::Cause::Permission, "L'utente con cui il programma accede all'archivio non ha i permessi",
     "no permission for"},
    {"TestoTroppoLungo",
     [](TempDatabase &t) { esegui(t.db(), "INSERT INTO T (ID, S) VALUES (2, 'ventuno caratteri e +')"); },
     EDatabaseError::Cause::Statement, "L'archivio non accetta un dato dell'operazione", "string right truncation"},
    {"DatoMancante", [](TempDatabase &t) { esegui(t.db(), "INSERT INTO T (S) VALUES ('senza chiave')"); },
     EDatabaseError::Cause::Statement, "L'archivio non accetta un dato dell'operazione", "validation error"},
    {"TabellaSconosciuta", [](TempDatabase &t) { esegui(t.db(), "DELETE FROM NESSUNA"); },
     EDatabaseError::Cause::Statement, "L'archivio ha rifiutato un'istruzione del programma", "Table unknown"},
};

class DatabaseEngineErrors : public DatabaseDb, public ::testing::WithParamInterface<ErroreDelMotore> {};

} // namespace

TEST_P(DatabaseEngineErrors, AreToldApartAndSaidInItalianBeforeTheEnginesWords)
{
    const ErroreDelMotore &caso = GetParam();
    try {
        caso.provoca(tdb);
        FAIL() << "no error";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(e.cause(), caso.causa) << e.what();
        EXPECT_TRUE(e.message().startsWith(QString::fromUtf8(caso.italiano))) << e.what();
        const qsizetype motore = e.message().indexOf(QLatin1String(caso.motore));
        EXPECT_GT(motore, e.message().indexOf("\n\n")) << e.what();
        EXPECT_GT(e.message().indexOf("\n\n"), 0) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Archivio, DatabaseEngineErrors, ::testing::ValuesIn(ErroriDelMotore),
                         [](const ::testing::TestParamInfo<ErroreDelMotore> &info) { return info.param.nome; });

// A marker left beside the archive by a program that did not close it gets
// the archive mended at the next open; a clean close takes it away.
TEST(DatabaseOpen, AnArchiveLeftOpenIsMendedAtTheNextOpenAndTheMarkerGoesWithTheClose)
{
    TempDatabase tdb({"CREATE TABLE T (ID INTEGER)"});
    const QString marker = tdb.filePath() + ".aperto";
    EXPECT_TRUE(QFile::exists(marker)) << "written while the archive is open";
    tdb.db().close();
    EXPECT_FALSE(QFile::exists(marker));

    QFile lasciato(marker);
    ASSERT_TRUE(lasciato.open(QIODevice::WriteOnly));
    lasciato.close();
    tdb.db().open();
    EXPECT_TRUE(QFile::exists(marker));
    tdb.db().close();
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_TRUE(DatabaseCreator::validate(tdb.settings()).clean());
}

namespace {

// The pages of a database file in Firebird 3's on-disk structure (ODS 12),
// for the faults a crash leaves that a test cannot make happen on time: the
// header page gives the page size (byte 16) and the structure's version
// (byte 18).
class FilePages {
public:
    explicit FilePages(const QString &file) : m_file(file)
    {
        if (!m_file.open(QIODevice::ReadWrite))
            return;
        const QByteArray header = m_file.read(20);
        m_size = quint8(header[16]) | quint8(header[17]) << 8;
        m_ods12 = (quint8(header[18]) | (quint8(header[19]) & 0x7f) << 8) == 12;
    }
    bool ods12() const { return m_ods12; }
    QByteArray read(quint32 page)
    {
        m_file.seek(qint64(page) * m_size);
        return m_file.read(m_size);
    }
    void write(quint32 page, const QByteArray &bytes)
    {
        m_file.seek(qint64(page) * m_size);
        m_file.write(bytes);
        m_file.flush();
    }
    quint32 count() const { return quint32(m_file.size() / m_size); }
    int size() const { return m_size; }

private:
    QFile m_file;
    int m_size = 0;
    bool m_ods12 = false;
};

quint32 word(const QByteArray &page, int at, int bytes = 4)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | quint8(page[at + i]);
    return v;
}

// The pointer page `page` says of every data page it lists that a sweep
// has nothing to do there: its flags, one byte a page after the page
// numbers (from byte 32, as many as fit with their flags), get "swept" (4).
void markSwept(FilePages &pages, quint32 page)
{
    QByteArray p = pages.read(page);
    const int entries = (pages.size() - 32) * 8 / 40;
    for (quint32 slot = 0; slot < word(p, 24, 2); ++slot)
        if (word(p, 32 + 4 * int(slot)) != 0)
            p[32 + 4 * entries + int(slot)] = char(p[32 + 4 * entries + int(slot)] | 4);
    pages.write(page, p);
}

const char *const KilledArchive = "ZEP_TEST_ARCHIVIO_UCCISO";

// This test program run again on the current test alone, with `archive` in
// ZEP_TEST_ARCHIVIO_UCCISO: the test's first lines then play the program
// that is killed. True when it was killed.
bool killedInAChild(const QString &archive)
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(KilledArchive), archive);
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
    return p.waitForFinished(120'000) && p.exitStatus() == QProcess::CrashExit;
}

} // namespace

// A killed program's transaction deleted half the rows; another
// connection's commit wrote the pages holding those deletes, and the crash
// left the table's pointer page saying the sweep has nothing to do on them
// (written before the deletes reached the pages). The next open mends the
// pointer page before it sweeps: the deletes stay void, every row is there,
// and the archive validates clean. A sweep that trusted the pointer page
// would leave the deletes in place and move the oldest transaction of
// interest past them: half the rows would be gone.
TEST(DatabaseOpen, TheRowsAKilledTransactionDeletedStayWhenAPointerPageCallsTheirPagesSwept)
{
    if (qEnvironmentVariableIsSet(KilledArchive)) {
        ConnectionSettings s;
        s.database = qEnvironmentVariable(KilledArchive);
        Database killed(s), other(s);
        killed.open();
        other.open();
        killed.startTransaction();
        killed.execute("DELETE FROM T WHERE MOD(ID, 2) = 0");
        other.startTransaction();
        other.execute("UPDATE T SET V = 'altra' WHERE MOD(ID, 2) = 1");
        other.commit();
        std::raise(SIGKILL);
    }
    TempDatabase tdb({"CREATE TABLE T (ID INTEGER NOT NULL, V VARCHAR(100))",
                      "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 400) DO BEGIN "
                      "INSERT INTO T VALUES (:I, RPAD('', 100, 'a')); I = I + 1; END END"});
    const int pointerPage = count(tdb.db(), "SELECT P.RDB$PAGE_NUMBER FROM RDB$PAGES P JOIN RDB$RELATIONS R ON "
                                            "R.RDB$RELATION_ID = P.RDB$RELATION_ID WHERE R.RDB$RELATION_NAME = 'T' "
                                            "AND P.RDB$PAGE_TYPE = 4");
    tdb.db().close();
    FilePages pages(tdb.filePath());
    if (!pages.ods12())
        GTEST_SKIP() << "the fault is written in the on-disk structure of Firebird 3";
    ASSERT_TRUE(killedInAChild(tdb.filePath()));
    ASSERT_TRUE(QFile::exists(tdb.filePath() + ".aperto")) << "the killed program left its marker";
    markSwept(pages, quint32(pointerPage));
    ASSERT_GT(DatabaseCreator::validate(tdb.settings()).warnings[ValidationReport::PointerPages], 0)
        << "the fault is in place";

    tdb.db().open();
    EXPECT_EQ(count(tdb.db(), "SELECT COUNT(*) FROM T"), 400) << "a delete of the killed transaction came back";
    EXPECT_EQ(count(tdb.db(), "SELECT COUNT(*) FROM T WHERE V = 'altra'"), 200) << "the other commit stands";
    tdb.db().close();
    EXPECT_EQ(DatabaseCreator::validate(tdb.settings()).text(), QString());
}

// A crash in the middle of a page split leaves a leaf page of an index
// pointing to the wrong left neighbour (validation: "Index 1 has
// inconsistent left sibling pointer"); the next open rebuilds the index, a
// primary key's too, and the archive validates clean.
TEST(DatabaseOpen, AnIndexACrashLeftInconsistentIsRebuiltAtTheNextOpen)
{
    TempDatabase tdb({"CREATE TABLE T (K VARCHAR(60) NOT NULL CONSTRAINT PK_T PRIMARY KEY)",
                      "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 600) DO BEGIN "
                      "INSERT INTO T VALUES (RPAD(:I, 60, 'k')); I = I + 1; END END"});
    const int relation = count(tdb.db(), "SELECT RDB$RELATION_ID FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'T'");
    tdb.db().close();
    FilePages pages(tdb.filePath());
    if (!pages.ods12())
        GTEST_SKIP() << "the fault is written in the on-disk structure of Firebird 3";
    // An index page: type 7, then right and left neighbour (bytes 16, 20),
    // table (28) and level (33, 0 for a leaf).
    bool injected = false;
    for (quint32 n = 1; n < pages.count() && !injected; ++n) {
        QByteArray p = pages.read(n);
        if (p[0] == 7 && word(p, 28, 2) == quint32(relation) && p[33] == 0 && word(p, 20) != 0) {
            for (int i = 0; i < 4; ++i)
                p[20 + i] = char(n >> (8 * i));
            pages.write(n, p);
            injected = true;
        }
    }
    ASSERT_TRUE(injected) << "the key's index has a leaf with a left neighbour";
    ASSERT_GT(DatabaseCreator::validate(tdb.settings()).warnings[ValidationReport::IndexPages], 0);
    QFile marker(tdb.filePath() + ".aperto");
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();

    tdb.db().open();
    EXPECT_EQ(count(tdb.db(), "SELECT COUNT(*) FROM T WHERE K STARTING WITH '5'"), 111);
    tdb.db().close();
    EXPECT_EQ(DatabaseCreator::validate(tdb.settings()).text(), QString());
}

// At the program's exit the thread's own objects go before its static ones:
// a connection a static object still holds then closes without the thread's
// engine status objects, and the program ends normally.
TEST(DatabaseDeathTest, AConnectionHeldByAStaticObjectClosesAtExit)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static std::optional<TempDatabase> held;
            held.emplace(QStringList{"CREATE TABLE T (ID INTEGER)"});
            if (count(held->db(), "SELECT COUNT(*) FROM T") == 0)
                std::exit(7);
            std::exit(1);
        },
        testing::ExitedWithCode(7), "");
}
