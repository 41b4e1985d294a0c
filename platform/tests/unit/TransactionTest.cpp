// Transactions and the id generator on a real embedded Firebird database.
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "TestPrinters.h"
#include "UqTransaction.h"

#include <gtest/gtest.h>

#include <QSet>
#include <stdexcept>

using namespace platform;

namespace {

class TransactionDb : public ::testing::Test {
protected:
    TempDatabase tdb{{"CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, S VARCHAR(20))", "CREATE SEQUENCE GEN_T",
                      "CREATE SEQUENCE GEN_TAFI_ANAFISCALE"}};
    Database &db = tdb.db();

    void insert(int id)
    {
        SqlQuery q(db);
        q.setSql("INSERT INTO T (ID) VALUES (:ID)");
        q.bind("ID", id);
        q.execSQL();
    }

    // Counted on a second connection: what other programs see.
    int committedRows()
    {
        Database other(tdb.settings());
        other.open();
        SqlQuery q(other);
        q.setSql("SELECT COUNT(*) FROM T");
        q.open();
        return q.value(0).toInt();
    }
};

} // namespace

TEST_F(TransactionDb, CommitKeepsAndRollbackDropsAndTheConnectionKnows)
{
    EXPECT_FALSE(db.inTransaction());
    {
        TUqTransaction t(&db);
        t.Start();
        EXPECT_TRUE(db.inTransaction());
        EXPECT_TRUE(t.InTransaction());
        insert(1);
        EXPECT_EQ(committedRows(), 0) << "not visible before the commit";
        t.Commit();
        EXPECT_FALSE(db.inTransaction());
    }
    EXPECT_EQ(committedRows(), 1);

    TUqTransaction t(&db);
    t.Start();
    insert(2);
    t.Rollback();
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(committedRows(), 1);
}

TEST_F(TransactionDb, LeavingWithoutCommitRollsBackAlsoOnAnException)
{
    try {
        TUqTransaction t(&db);
        t.Start();
        insert(1);
        insert(2);
        throw std::runtime_error("import failed");
    } catch (const std::runtime_error &) {
    }
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(committedRows(), 0);

    // A failing statement inside the transaction: the caller's exception
    // unwinds and the earlier insert goes with it.
    try {
        TUqTransaction t(&db);
        t.Start();
        insert(3);
        insert(3);
        t.Commit();
        FAIL() << "duplicate key must raise";
    } catch (const EDatabaseError &) {
    }
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(committedRows(), 0);
}

TEST_F(TransactionDb, NestedStartIsRefusedAndJoiningLeavesTheDecisionToTheOwner)
{
    TUqTransaction outer(&db);
    outer.Start();
    insert(1);
    {
        TUqTransaction inner(&db);
        EXPECT_THROW(inner.Start(), EDatabaseError);
        EXPECT_TRUE(db.inTransaction()) << "the refused start leaves the outer transaction alone";
    }
    EXPECT_TRUE(db.inTransaction()) << "the refused inner object rolled nothing back";
    {
        TUqTransaction joined(&db);
        EXPECT_FALSE(joined.StartOrJoin());
        EXPECT_TRUE(joined.Joined());
        insert(2);
        joined.Commit(); // the owner decides
        EXPECT_TRUE(db.inTransaction());
    }
    {
        TUqTransaction joined(&db);
        joined.StartOrJoin();
        insert(3);
        // Leaving a joined transaction without commit rolls nothing back.
    }
    EXPECT_TRUE(db.inTransaction());
    EXPECT_EQ(committedRows(), 0);
    outer.Rollback();
    EXPECT_EQ(committedRows(), 0) << "the owner's rollback takes the joined work with it";

    TUqTransaction own(&db);
    EXPECT_TRUE(own.StartOrJoin());
    insert(4);
    own.Commit();
    EXPECT_EQ(committedRows(), 1);
}

TEST_F(TransactionDb, MisuseIsReportedNotIgnored)
{
    TUqTransaction t(&db);
    EXPECT_THROW(t.Commit(), EDatabaseError);
    EXPECT_THROW(t.Rollback(), EDatabaseError);
    EXPECT_THROW(db.commit(), EDatabaseError);
    t.Start();
    EXPECT_THROW(t.Start(), EDatabaseError);
    t.Commit();
}

TEST_F(TransactionDb, TheGlobalConnectionIsUsedWhenNoneIsGiven)
{
    Database::setGlobal(nullptr);
    try {
        TUqTransaction t;
        FAIL() << "no global connection must raise";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(e.message(), "Connessione al database non consentita");
    }
    Database::setGlobal(&db);
    TUqTransaction t;
    t.Start();
    EXPECT_TRUE(db.inTransaction());
    t.Rollback();
    EXPECT_GT(GenerateID("T"), 0);
}

TEST_F(TransactionDb, GeneratedIdsAreUniquePerTableAndNeverReused)
{
    QSet<qint64> ids;
    qint64 last = 0;
    for (int i = 0; i < 500; ++i) {
        const qint64 id = GenerateID("T", &db);
        EXPECT_GT(id, last);
        last = id;
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 500);

    // Another table has its own generator.
    EXPECT_EQ(GenerateID("tafi_anafiscale", &db), 1);

    // An id given inside a rolled-back transaction is not given again.
    qint64 inside = 0;
    {
        TUqTransaction t(&db);
        t.Start();
        inside = GenerateID("T", &db);
    }
    EXPECT_GT(GenerateID("T", &db), inside);

    // A second connection sees the same sequence.
    Database other(tdb.settings());
    other.open();
    const qint64 second = GenerateID("T", &other);
    EXPECT_GT(second, inside + 1);

    // A block of ids at once: the first is returned, the rest are taken.
    EXPECT_EQ(GenerateID("T", &db, 5), second + 1);
    EXPECT_EQ(GenerateID("T", &db), second + 6);
    EXPECT_THROW(GenerateID("T", &db, 0), EDatabaseError);
}

TEST_F(TransactionDb, AMissingGeneratorNamesTheTable)
{
    try {
        GenerateID("TNOT_THERE", &db);
        FAIL() << "must raise";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.message().contains("TNOT_THERE")) << e.what();
        EXPECT_TRUE(e.message().contains("GEN_TNOT_THERE")) << e.what();
    }
    EXPECT_THROW(GenerateID("T; DROP TABLE T", &db), EDatabaseError);
    EXPECT_EQ(GeneratorName("tafi_anafiscale"), "GEN_TAFI_ANAFISCALE");
}

TEST_F(TransactionDb, AQueryKeptAcrossTransactionsRunsInWhicheverIsCurrent)
{
    // A scratch query lives as long as its module and runs inside and
    // outside the modules' transactions.
    SqlQuery scratch(db);
    scratch.setSql("INSERT INTO T (ID) VALUES (:ID)");
    scratch.bind("ID", 1).execSQL(); // autocommit
    {
        TUqTransaction t(&db);
        t.Start();
        scratch.bind("ID", 2).execSQL();
        t.Commit();
    }
    scratch.bind("ID", 3).execSQL(); // after the commit
    {
        TUqTransaction t(&db);
        t.Start();
        scratch.bind("ID", 4).execSQL();
        t.Rollback();
    }
    scratch.bind("ID", 5).execSQL();
    EXPECT_EQ(committedRows(), 4);

    SqlQuery count(db);
    count.setSql("SELECT COUNT(*) FROM T WHERE ID > :MINIMO");
    count.bind("MINIMO", 0).open();
    EXPECT_EQ(count.value(0).toInt(), 4);
    TUqTransaction t(&db);
    t.Start();
    scratch.bind("ID", 6).execSQL();
    count.bind("MINIMO", 0).open();
    EXPECT_EQ(count.value(0).toInt(), 5) << "the select sees the transaction's own insert";
    t.Rollback();
    count.open();
    EXPECT_EQ(count.value(0).toInt(), 4);
}
