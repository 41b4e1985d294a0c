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

#include <QElapsedTimer>
#include <QFile>

#include <ibase.h>
#include <iberror.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
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
        {{isc_arg_gds, isc_unique_key_violation, isc_arg_end}, Cause::Statement},
        {{isc_arg_gds, isc_dsql_error, isc_arg_end}, Cause::Statement},
    };
    for (const auto &c : casi)
        EXPECT_EQ(fb::statusCause(c.vector.data()), c.cause) << c.vector.at(1);

    // A disk-full error's message says so, first.
    const EDatabaseError pieno("I/O error during \"write\" operation - No space left on device", Cause::Archive);
    EXPECT_TRUE(Database::archiveFailureMessage(pieno).startsWith("Spazio su disco esaurito"));
}

// A marker left beside the archive by a program that did not close it gets
// the archive swept at the next open; a clean close takes it away.
TEST(DatabaseOpen, AnArchiveLeftOpenIsSweptAtTheNextOpenAndTheMarkerGoesWithTheClose)
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
