// The SQL layer on a real embedded Firebird database: named parameters,
// typed nulls, result columns, value kinds and money.
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

const QStringList kAllTypes = {"CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, SM SMALLINT, I INTEGER, BI BIGINT, "
                               "F DOUBLE PRECISION, M NUMERIC(18,4), S VARCHAR(40), C CHAR(5), D DATE, TS TIMESTAMP, "
                               "TM TIME, BO BOOLEAN, B BLOB SUB_TYPE 0, MEMO BLOB SUB_TYPE TEXT)"};

int countRows(Database &db, const QString &where = QString())
{
    SqlQuery q(db);
    q.setSql("SELECT COUNT(*) FROM T" + (where.isEmpty() ? QString() : " WHERE " + where));
    q.open();
    return q.value(0).toInt();
}

} // namespace

TEST(SqlStatement, SplitsAtPlaceholdersAndLeavesQuotesAndCommentsAlone)
{
    const auto st = SqlStatement::parse("SELECT ':NOT1', \"A:B\" FROM T -- :NOT2\n"
                                        "WHERE A = :X /* :NOT3 */ AND B = :y_1 OR C = :X AND D = 'it''s :NOT4'");
    EXPECT_EQ(st.names, (QStringList{"X", "y_1", "X"}));
    EXPECT_EQ(st.uniqueNames(), (QStringList{"X", "y_1"}));
    EXPECT_EQ(st.positional(), "SELECT ':NOT1', \"A:B\" FROM T -- :NOT2\n"
                               "WHERE A = ? /* :NOT3 */ AND B = ? OR C = ? AND D = 'it''s :NOT4'");
}

TEST(SqlStatement, NamesDifferingOnlyInCaseAreOneParameter)
{
    const auto st = SqlStatement::parse("SELECT * FROM T WHERE A = :Anno OR B = :ANNO");
    EXPECT_EQ(st.uniqueNames(), QStringList{"Anno"});
    EXPECT_EQ(st.names.size(), 2);
}

TEST(SqlStatement, AnExecuteBlockTakesPlaceholdersOnlyInItsParameterList)
{
    const auto st = SqlStatement::parse("execute block ( A INTEGER = :A , S VARCHAR(10) = :S ) AS BEGIN "
                                        "INSERT INTO T (ID, S) VALUES (:A, :S || ':X'); END");
    EXPECT_TRUE(st.declaredTypes);
    EXPECT_EQ(st.names, (QStringList{"A", "S"}));
    EXPECT_EQ(st.positional(), "execute block ( A INTEGER = ? , S VARCHAR(10) = ? ) AS BEGIN "
                               "INSERT INTO T (ID, S) VALUES (:A, :S || ':X'); END");
    const auto bare = SqlStatement::parse("EXECUTE BLOCK AS BEGIN INSERT INTO T (ID) VALUES (:X); END");
    EXPECT_TRUE(bare.names.isEmpty());
    EXPECT_FALSE(SqlStatement::parse("SELECT :A FROM T").declaredTypes);
}

class SqlQueryDb : public ::testing::Test {
protected:
    TempDatabase tdb{kAllTypes};
    Database &db = tdb.db();
};

TEST_F(SqlQueryDb, RepeatedParameterBindsEveryPlace)
{
    SqlQuery ins(db);
    ins.setSql("INSERT INTO T (ID, I, BI) VALUES (:ID, :V, :V * 10)");
    EXPECT_EQ(ins.params().count(), 2);
    ins.bind("ID", 1).bind("v", 7);
    EXPECT_EQ(ins.execSQL(), 1);

    SqlQuery q(db);
    q.setSql("SELECT I, BI FROM T WHERE ID = :ID AND (I = :ID * 7 OR I = -:ID)");
    q.bind("id", 1);
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.value("I"), Value(7));
    EXPECT_EQ(q.value("BI"), Value(qint64(70)));
}

TEST_F(SqlQueryDb, QuotesCommentsAndColonsInValuesAndLiterals)
{
    SqlQuery ins(db);
    ins.setSql("INSERT INTO T (ID, S) VALUES (:ID, :S) -- a comment with :NOTAPARAM");
    EXPECT_EQ(ins.params().count(), 2);
    ins.bind("ID", 1).bind("S", "O'Brien -- :X /* y */");
    ins.execSQL();

    SqlQuery q(db);
    q.setSql("SELECT S, 'a:b' AS LIT FROM T WHERE S = :S");
    q.bind("S", "O'Brien -- :X /* y */");
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.value("S").toString(), "O'Brien -- :X /* y */");
    EXPECT_EQ(q.value("LIT").toString(), "a:b");
}

TEST_F(SqlQueryDb, TextParameterIsComparedWholeAgainstShortLiterals)
{
    // An empty-text test on a parameter: the driver would describe the
    // parameter as the literal's type and compare a cut value.
    db.execute("INSERT INTO T (ID, S) VALUES (1, 'GRUPPO')");
    SqlQuery q(db);
    q.setSql("SELECT COUNT(*) FROM T WHERE (COALESCE(S, '') = :G OR :G = '')");
    q.bind("G", "ALTRO");
    q.open();
    EXPECT_EQ(q.value(0).toInt(), 0);
    q.bind("G", "");
    q.open();
    EXPECT_EQ(q.value(0).toInt(), 1);
    q.bind("G", "GRUPPO");
    q.open();
    EXPECT_EQ(q.value(0).toInt(), 1);
}

TEST_F(SqlQueryDb, TypedNullsOfEveryTypeAndUnassignedParameters)
{
    SqlQuery ins(db);
    ins.setSql("INSERT INTO T (ID, SM, I, BI, F, M, S, C, D, TS, TM, BO, B, MEMO) "
               "VALUES (:ID, :SM, :I, :BI, :F, :M, :S, :C, :D, :TS, :TM, :BO, :B, :MEMO)");
    ins.bind("ID", 1)
        .setNull("SM", FieldType::SmallInt)
        .setNull("I", FieldType::Integer)
        .setNull("BI", FieldType::LargeInt)
        .setNull("F", FieldType::Float)
        .setNull("M", FieldType::Currency)
        .setNull("S", FieldType::String)
        .setNull("C", FieldType::String)
        .setNull("D", FieldType::Date)
        .setNull("TS", FieldType::DateTime)
        .setNull("TM", FieldType::Time)
        .setNull("BO", FieldType::Boolean)
        .setNull("B", FieldType::Blob)
        .setNull("MEMO", FieldType::Memo);
    ins.execSQL();
    // A second row with nothing assigned but the key: Null too.
    ins.setSql(ins.sql());
    ins.bind("ID", 2);
    ins.execSQL();

    SqlQuery q(db);
    q.setSql("SELECT * FROM T ORDER BY ID");
    int rows = 0;
    for (q.open(); !q.eof(); q.next()) {
        ++rows;
        for (int c = 1; c < q.fieldCount(); ++c)
            EXPECT_TRUE(q.value(c).isNull()) << q.columns().at(c).name.toStdString() << " row " << rows;
    }
    EXPECT_EQ(rows, 2);
    // A typed null in a comparison matches nothing, as SQL wants.
    SqlQuery w(db);
    w.setSql("SELECT COUNT(*) FROM T WHERE D = :D OR D IS NULL");
    w.setNull("D", FieldType::Date);
    w.open();
    EXPECT_EQ(w.value(0).toInt(), 2);
    w.setSql("SELECT COUNT(*) FROM T WHERE D = :D");
    w.setNull("D", FieldType::Date);
    w.open();
    EXPECT_EQ(w.value(0).toInt(), 0);
}

TEST_F(SqlQueryDb, EveryValueKindRoundTrips)
{
    const QDateTime ts(QDate(2024, 2, 29), QTime(23, 59, 58));
    const QByteArray bytes("\x00\x01\xff\x7f", 4);
    SqlQuery ins(db);
    ins.setSql("INSERT INTO T (ID, SM, I, BI, F, M, S, C, D, TS, TM, BO, B, MEMO) "
               "VALUES (:ID, :SM, :I, :BI, :F, :M, :S, :C, :D, :TS, :TM, :BO, :B, :MEMO)");
    ins.bind("ID", 1)
        .bind("SM", -3)
        .bind("I", 2147483647)
        .bind("BI", qint64(1) << 40)
        .bind("F", 1.25)
        .bind("M", Currency::fromString("-1234.5678"))
        .bind("S", "àèìòù €")
        .bind("C", "ab")
        .bind("D", QDate(2024, 2, 29))
        .bind("TS", ts)
        .bind("TM", QTime(13, 14, 15))
        .bind("BO", true)
        .bind("B", bytes)
        .bind("MEMO", QString(3000, QLatin1Char('x')));
    ins.execSQL();

    SqlQuery q(db);
    q.setSql("select * from t");
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.value("sm"), Value(-3));
    EXPECT_EQ(q.value("i").type(), ValueType::Integer);
    EXPECT_EQ(q.value("bi"), Value(qint64(1) << 40));
    EXPECT_EQ(q.value("bi").type(), ValueType::LargeInt);
    EXPECT_EQ(q.value("f").type(), ValueType::Float);
    EXPECT_EQ(q.value("m").type(), ValueType::Currency);
    EXPECT_EQ(q.value("m").toCurrency(), Currency::fromString("-1234.5678"));
    EXPECT_EQ(q.value("s").toString(), "àèìòù €");
    EXPECT_EQ(q.value("c").toString(), "ab") << "CHAR values lose their padding";
    EXPECT_EQ(q.value("d"), Value(QDate(2024, 2, 29)));
    EXPECT_EQ(q.value("ts").toDateTime(), ts);
    EXPECT_EQ(q.value("tm"), Value(QTime(13, 14, 15)));
    EXPECT_EQ(q.value("bo"), Value(true));
    EXPECT_EQ(q.value("b").toBytes(), bytes);
    EXPECT_EQ(q.value("memo").type(), ValueType::Text);
    EXPECT_EQ(q.value("memo").toString().size(), 3000);

    const auto &cols = q.columns();
    EXPECT_EQ(cols.at(q.fieldIndex("SM")).type, FieldType::SmallInt);
    EXPECT_EQ(cols.at(q.fieldIndex("M")).type, FieldType::Currency);
    EXPECT_EQ(cols.at(q.fieldIndex("S")).type, FieldType::String);
    EXPECT_EQ(cols.at(q.fieldIndex("S")).size, 40);
    EXPECT_EQ(cols.at(q.fieldIndex("MEMO")).type, FieldType::Memo);
    EXPECT_EQ(cols.at(q.fieldIndex("B")).type, FieldType::Blob);
    EXPECT_TRUE(cols.at(q.fieldIndex("ID")).required);
    q.next();
    EXPECT_TRUE(q.eof());
}

TEST_F(SqlQueryDb, ResultColumnsAreFoundWithoutRegardToCaseAndRepeatedNamesGetASuffix)
{
    db.execute("INSERT INTO T (ID, I) VALUES (1, 5)");
    SqlQuery q(db);
    q.setSql("SELECT t.ID, t.I AS Valore, t2.ID FROM T t JOIN T t2 ON t2.ID = t.ID");
    q.open();
    EXPECT_EQ(q.fieldIndex("valore"), 1);
    EXPECT_EQ(q.value("VALORE"), Value(5));
    EXPECT_EQ(q.columns().at(2).name, "ID_1");
    EXPECT_EQ(q.fieldIndex("nessuna"), -1);
    try {
        q.value("nessuna");
        FAIL() << "an unknown column must raise";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(e.message(), "Campo 'nessuna' non trovato");
    }
}

TEST_F(SqlQueryDb, FailingStatementRaisesTheDriverMessage)
{
    SqlQuery q(db);
    q.setSql("SELECT NOPE FROM T");
    try {
        q.open();
        FAIL() << "must raise";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.message().contains("Column unknown")) << e.what();
        EXPECT_TRUE(e.message().contains("NOPE")) << e.what();
    }
    // A statement that prepares but fails at execution.
    db.execute("INSERT INTO T (ID) VALUES (1)");
    SqlQuery dup(db);
    dup.setSql("INSERT INTO T (ID) VALUES (:ID)");
    dup.bind("ID", 1);
    try {
        dup.execSQL();
        FAIL() << "a duplicate key must raise";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.message().contains("PRIMARY", Qt::CaseInsensitive)) << e.what();
    }
    EXPECT_EQ(countRows(db), 1);
    // An unknown parameter name is refused before anything runs.
    EXPECT_THROW(dup.bind("NOPE", 1), EDataSetError);
}

TEST_F(SqlQueryDb, MoneyIsExactToTheFourthDecimalOverManyValues)
{
    QList<Currency> amounts = {Currency::fromString("99.99"),     Currency::fromString("0.01"),
                               Currency::fromString("1234.5678"), Currency::fromString("-0.0001"),
                               Currency::fromString("-99.99"),    Currency::fromString("99999999.9999"),
                               Currency::fromString("0.1"),       Currency::fromString("0.3")};
    // A sweep of cents and of odd fourth decimals.
    for (int cents = 0; cents < 3000; cents += 7)
        amounts << Currency::fromRaw(qint64(cents) * 100 + 1000000);
    for (qint64 raw = -5000; raw <= 5000; raw += 37)
        amounts << Currency::fromRaw(raw * 10007);

    db.startTransaction();
    SqlQuery ins(db);
    ins.setSql("INSERT INTO T (ID, M) VALUES (:ID, :M)");
    Currency total;
    for (int i = 0; i < amounts.size(); ++i) {
        ins.bind("ID", i).bind("M", amounts.at(i));
        ins.execSQL();
        total += amounts.at(i);
    }
    db.commit();

    SqlQuery q(db);
    q.setSql("SELECT ID, M FROM T ORDER BY ID");
    int n = 0;
    for (q.open(); !q.eof(); q.next(), ++n) {
        const int id = q.value("ID").toInt();
        ASSERT_EQ(q.value("M").toCurrency(), amounts.at(id)) << "row " << id;
    }
    EXPECT_EQ(n, amounts.size());

    q.setSql("SELECT SUM(M) FROM T");
    q.open();
    EXPECT_EQ(q.value(0).type(), ValueType::Currency);
    EXPECT_EQ(q.value(0).toCurrency(), total);
}

TEST_F(SqlQueryDb, AProcedureReturningOneRowIsReadAfterExecSQL)
{
    db.execute("CREATE PROCEDURE P_DOPPIO (X INTEGER) RETURNS (Y INTEGER) AS BEGIN Y = X * 2; END");
    SqlQuery q(db);
    q.setSql("EXECUTE PROCEDURE P_DOPPIO(:X)");
    q.bind("X", 21);
    q.execSQL();
    EXPECT_EQ(q.value("Y"), Value(42));
    db.execute("CREATE PROCEDURE P_RIGHE (X INTEGER) RETURNS (Y INTEGER) AS "
               "BEGIN Y = X; SUSPEND; Y = X + 1; SUSPEND; END");
    q.setSql("SELECT Y FROM P_RIGHE(:X)");
    q.bind("X", 4);
    q.open();
    EXPECT_EQ(q.value(0), Value(4));
    q.next();
    EXPECT_EQ(q.value(0), Value(5));
    q.next();
    EXPECT_TRUE(q.eof());
}

TEST_F(SqlQueryDb, AnExecuteBlockRunsWithItsDeclaredTypesAndFetchesNothing)
{
    SqlQuery q(db);
    q.setSql("EXECUTE BLOCK (ID INTEGER = :ID, S VARCHAR(40) = :S) AS BEGIN "
             "IF (S IS NOT NULL) THEN INSERT INTO T (ID, S) VALUES (:ID, :S); END");
    // Texts of every length in one prepared statement, and a null that
    // writes nothing.
    q.bind("ID", 1).bind("S", QString(40, QLatin1Char('x')));
    q.execSQL();
    q.bind("ID", 2).bind("S", "y");
    q.execSQL();
    q.bind("ID", 3).setNull("S", FieldType::String);
    q.execSQL();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(countRows(db), 2);
    EXPECT_EQ(countRows(db, "S = '" + QString(40, QLatin1Char('x')) + "'"), 1);
    // Longer than declared: refused by the engine, not cut.
    q.bind("ID", 4).bind("S", QString(41, QLatin1Char('z')));
    EXPECT_THROW(q.execSQL(), EDatabaseError);
    EXPECT_EQ(countRows(db), 2);
}

TEST_F(SqlQueryDb, PreparedStatementIsReusedAcrossExecutions)
{
    SqlQuery ins(db);
    ins.setSql("INSERT INTO T (ID, S) VALUES (:ID, :S)");
    for (int i = 0; i < 50; ++i) {
        ins.bind("ID", i).bind("S", QString("riga %1").arg(i));
        ins.execSQL();
    }
    EXPECT_EQ(countRows(db), 50);
    EXPECT_EQ(countRows(db, "S = 'riga 49'"), 1);
}

TEST_F(SqlQueryDb, TheSameTextGivenAgainKeepsNoValueOfTheParameters)
{
    SqlQuery ins(db);
    ins.setSql("INSERT INTO T (ID, S) VALUES (:ID, :S)");
    ins.bind("ID", 1).bind("S", "uno");
    ins.execSQL();
    // In a transaction the statement is kept across the same text given
    // again; its parameters start unassigned each time.
    db.startTransaction();
    SqlQuery q(db);
    for (int giro = 0; giro < 2; ++giro) {
        q.setSql("SELECT COUNT(*) FROM T WHERE ID = :ID");
        q.bind("ID", 1);
        q.open();
        EXPECT_EQ(q.value(0).toInt(), 1) << giro;
        q.setSql("SELECT COUNT(*) FROM T WHERE ID = :ID");
        q.open();
        EXPECT_EQ(q.value(0).toInt(), 0) << "an unassigned parameter is Null";
        q.setSql("SELECT COUNT(*) FROM T WHERE S = :ID");
        q.bind("ID", "uno");
        q.open();
        EXPECT_EQ(q.value(0).toInt(), 1) << "another text, another statement";
    }
    db.commit();
}

TEST_F(SqlQueryDb, ASelectRunAgainOutsideATransactionSeesLaterCommitsAndHoldsNoTransaction)
{
    SqlQuery count(db);
    count.setSql("SELECT COUNT(*) FROM T WHERE ID >= :FROM_ID");
    count.bind("FROM_ID", 0);
    count.open();
    EXPECT_EQ(count.value(0).toInt(), 0);

    // Another connection commits a row while the query object lives on.
    Database other(tdb.settings());
    other.open();
    SqlQuery ins(other);
    ins.setSql("INSERT INTO T (ID, S) VALUES (1, 'nuova')");
    ins.execSQL();

    count.open(); // the same statement, run again
    EXPECT_EQ(count.value(0).toInt(), 1);
    count.close();

    // Nothing of the first connection is left open: the other connection
    // sees no active transaction of it.
    SqlQuery active(other);
    active.setSql("SELECT COUNT(*) FROM MON$TRANSACTIONS T JOIN MON$ATTACHMENTS A "
                  "ON A.MON$ATTACHMENT_ID = T.MON$ATTACHMENT_ID "
                  "WHERE A.MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND T.MON$STATE = 1");
    active.open();
    EXPECT_EQ(active.value(0).toInt(), 0);

    // Inside a transaction the statement keeps its snapshot of that
    // transaction and is reused.
    db.startTransaction();
    count.open();
    EXPECT_EQ(count.value(0).toInt(), 1);
    count.close();
    count.open();
    EXPECT_EQ(count.value(0).toInt(), 1);
    db.commit();
}

TEST_F(SqlQueryDb, TheIdlePoolFreesTheStatementsIdleLongestAndKeepsTheRecentOnes)
{
    auto run = [&](int i) {
        SqlQuery q(db);
        q.setSql(QString("SELECT %1 FROM RDB$DATABASE").arg(i));
        q.open();
    };
    // More texts run once than the pool holds, one of them run again before
    // the pool is full.
    const int runs = Database::MaxIdleStatements + 100;
    for (int i = 0; i < runs; ++i) {
        run(i);
        if (i == Database::MaxIdleStatements - 10)
            run(-1);
    }
    SqlQuery mon(db);
    mon.setSql("SELECT MON$SQL_TEXT FROM MON$STATEMENTS WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION");
    QStringList kept;
    for (mon.open(); !mon.eof(); mon.next())
        if (const QString text = mon.value(0).toString(); text.endsWith("FROM RDB$DATABASE"))
            kept << text;
    EXPECT_EQ(kept.size(), Database::MaxIdleStatements);
    EXPECT_TRUE(kept.contains("SELECT -1 FROM RDB$DATABASE"));
    EXPECT_TRUE(kept.contains(QString("SELECT %1 FROM RDB$DATABASE").arg(runs - 1)));
    EXPECT_FALSE(kept.contains("SELECT 100 FROM RDB$DATABASE")) << "the oldest are freed";
    EXPECT_TRUE(kept.contains("SELECT 101 FROM RDB$DATABASE"));
}
