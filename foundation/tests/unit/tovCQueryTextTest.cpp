#include "tovCQueryText.h"

#include "CaseName.h"
#include "DataSet.h"
#include "Exceptions.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "tovUExceptions.h"

#include <gtest/gtest.h>

using platform::FieldType;
using platform::Value;
using platform::ValueList;

namespace {

// A catalogue with the rows given, in this order.
void fill(TTovQueryText &catalogue, const QList<ValueList> &rows)
{
    const platform::FieldDefs defs{
        {QStringLiteral("Query"), FieldType::String, 60},
        {QStringLiteral("Tipo"), FieldType::String, 20},
        {QStringLiteral("Indice"), FieldType::Integer},
        {QStringLiteral("SQL"), FieldType::Memo},
    };
    catalogue.loadRecords(defs, rows);
}

ValueList row(const char *query, const char *kind, int index, const char *sql)
{
    return {QString::fromUtf8(query), QString::fromUtf8(kind), index, QString::fromUtf8(sql)};
}

QString assertionText(const std::function<void()> &f)
{
    try {
        f();
    } catch (const platform::EAssertionFailed &e) {
        return e.message();
    }
    return QStringLiteral("<no assertion>");
}

class QueryTextLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        fill(catalogue, {
                            row("QRY_ONE", "SELECT", 0, "SELECT 1 FROM RDB$DATABASE"),
                            row("QRY_ONE", "EXECUTE", 0, "SELECT :A, :B, :A FROM RDB$DATABASE"),
                            row("QRY_ONE", "EXECUTE", 1, "SELECT 11 FROM RDB$DATABASE"),
                            row("QRY_ONE", "SELECT", 0, "SELECT 'second' FROM RDB$DATABASE"),
                            row("QRY_EMPTY", "SELECT", 0, ""),
                            row("VER_FOUNDATION", "1.2.3", 0, ""),
                        });
    }
    TTovQueryText catalogue;
    platform::Database db; // never opened: assignments do not reach it
};

TEST_F(QueryTextLookup, AssignSqlUpperCasesTheNameOthersDoNot)
{
    platform::SqlQuery query(db);
    catalogue.AssignSQL(QStringLiteral("qry_one"), query, 0, QStringLiteral("SELECT"));
    EXPECT_EQ(query.sql(), QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
    EXPECT_EQ(catalogue.LastOperationName(), QStringLiteral("QRY_ONE"));

    EXPECT_EQ(assertionText([&] { catalogue.GetSQL(QStringLiteral("qry_one"), QStringLiteral("SELECT")); }),
              QStringLiteral("Query : qry_one"));
    platform::DataSet target;
    EXPECT_EQ(assertionText(
                  [&] { catalogue.AssignCommand(QStringLiteral("qry_one"), target, QStringLiteral("SELECT")); }),
              QStringLiteral("Query: qry_one"));
    EXPECT_TRUE(target.commandText().isEmpty());
}

TEST_F(QueryTextLookup, FirstRowInFileOrderWins)
{
    EXPECT_EQ(catalogue.GetSQL(QStringLiteral("QRY_ONE"), QStringLiteral("SELECT")),
              QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
    // GetSQL and AssignCommand ignore the index: the first row of the kind.
    EXPECT_EQ(catalogue.GetSQL(QStringLiteral("QRY_ONE"), QStringLiteral("EXECUTE")),
              QStringLiteral("SELECT :A, :B, :A FROM RDB$DATABASE"));
}

TEST_F(QueryTextLookup, LookupsFollowTheRowsTheirOrderAndFilter)
{
    const QString select = QStringLiteral("SELECT");
    EXPECT_EQ(catalogue.GetSQL(QStringLiteral("QRY_ONE"), select), QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
    // In the catalogue's current order, the first row of the name wins.
    catalogue.setIndexFieldNames(QStringLiteral("SQL"));
    EXPECT_EQ(catalogue.GetSQL(QStringLiteral("QRY_ONE"), select), QStringLiteral("SELECT 'second' FROM RDB$DATABASE"));
    catalogue.setIndexFieldNames(QString());
    catalogue.setFilter(QStringLiteral("Query = 'QRY_EMPTY'"));
    catalogue.setFiltered(true);
    EXPECT_EQ(assertionText([&] { catalogue.GetSQL(QStringLiteral("QRY_ONE"), select); }),
              QStringLiteral("Query : QRY_ONE"));
    catalogue.setFiltered(false);
    // Rows loaded again replace what was found before.
    fill(catalogue, {row("QRY_TWO", "SELECT", 0, "SELECT 2 FROM RDB$DATABASE")});
    EXPECT_EQ(catalogue.GetSQL(QStringLiteral("QRY_TWO"), select), QStringLiteral("SELECT 2 FROM RDB$DATABASE"));
    EXPECT_EQ(assertionText([&] { catalogue.GetSQL(QStringLiteral("QRY_ONE"), select); }),
              QStringLiteral("Query : QRY_ONE"));
}

TEST_F(QueryTextLookup, AssignSqlDefaultsToExecuteAndIndexZero)
{
    platform::SqlQuery query(db);
    catalogue.AssignSQL(QStringLiteral("QRY_ONE"), query);
    EXPECT_EQ(query.sql(), QStringLiteral("SELECT :A, :B, :A FROM RDB$DATABASE"));
    catalogue.AssignSQL(QStringLiteral("QRY_ONE"), query, 1, QString());
    EXPECT_EQ(query.sql(), QStringLiteral("SELECT 11 FROM RDB$DATABASE"));
    EXPECT_EQ(assertionText([&] { catalogue.AssignSQL(QStringLiteral("QRY_ONE"), query, 2); }),
              QStringLiteral("Query: QRY_ONE"));
    // A failed assignment leaves the query empty, never with the old text.
    EXPECT_TRUE(query.sql().isEmpty());
    EXPECT_EQ(query.params().count(), 0);
    // A condition the caller appends comes after the statement's text.
    catalogue.AssignSQL(QStringLiteral("QRY_ONE"), query, 0, {}, QStringLiteral(" WHERE :C = 1"));
    EXPECT_EQ(query.sql(), QStringLiteral("SELECT :A, :B, :A FROM RDB$DATABASE WHERE :C = 1"));
    EXPECT_EQ(query.params().count(), 3);
}

TEST_F(QueryTextLookup, AssignCommandAndGetSqlHaveNoDefaultKind)
{
    platform::DataSet target;
    EXPECT_EQ(assertionText([&] { catalogue.AssignCommand(QStringLiteral("QRY_ONE"), target, QString()); }),
              QStringLiteral("Query: QRY_ONE"));
    EXPECT_EQ(assertionText([&] { catalogue.GetSQL(QStringLiteral("QRY_ONE"), QString()); }),
              QStringLiteral("Query : QRY_ONE"));
}

TEST_F(QueryTextLookup, AssignCommandRebuildsTheParameters)
{
    platform::DataSet target;
    target.params().add(QStringLiteral("OLD")).setValue(5);
    catalogue.AssignCommand(QStringLiteral("QRY_ONE"), target, QStringLiteral("EXECUTE"));
    EXPECT_EQ(target.commandText(), QStringLiteral("SELECT :A, :B, :A FROM RDB$DATABASE"));
    ASSERT_EQ(target.params().count(), 2);
    EXPECT_EQ(target.params()[0].name(), QStringLiteral("A"));
    EXPECT_EQ(target.params()[1].name(), QStringLiteral("B"));
    EXPECT_EQ(target.params().findParam(QStringLiteral("OLD")), nullptr);
}

TEST_F(QueryTextLookup, EmptyStatementTextIsMissing)
{
    EXPECT_EQ(assertionText([&] { catalogue.GetSQL(QStringLiteral("QRY_EMPTY"), QStringLiteral("SELECT")); }),
              QStringLiteral("Query : QRY_EMPTY"));
    platform::DataSet target;
    EXPECT_EQ(assertionText(
                  [&] { catalogue.AssignCommand(QStringLiteral("QRY_EMPTY"), target, QStringLiteral("SELECT")); }),
              QStringLiteral("Query: QRY_EMPTY"));
}

TEST(QueryTextEmpty, AnUnloadedCatalogueFailsEveryLookupWithTheAssertion)
{
    TTovQueryText catalogue;
    EXPECT_EQ(assertionText([&] { catalogue.GetSQL(QStringLiteral("QRY_X"), QStringLiteral("SELECT")); }),
              QStringLiteral("Query : QRY_X"));
    platform::DataSet target;
    EXPECT_EQ(assertionText(
                  [&] { catalogue.AssignCommand(QStringLiteral("QRY_X"), target, QStringLiteral("SELECT")); }),
              QStringLiteral("Query: QRY_X"));
    EXPECT_EQ(catalogue.LastOperation(platform::EDatabaseError(QStringLiteral("x"))), QString());
}

TEST_F(QueryTextLookup, LastOperationNamesTheLastSuccessfulLookupForDatabaseErrorsOnly)
{
    const platform::EDatabaseError dbError(QStringLiteral("boom"));
    EXPECT_EQ(catalogue.LastOperation(dbError), QString()); // nothing handed out yet

    catalogue.GetSQL(QStringLiteral("QRY_ONE"), QStringLiteral("SELECT"));
    EXPECT_EQ(catalogue.LastOperation(dbError), QStringLiteral("\r\nUltima operazione DB: QRY_ONE"));
    EXPECT_EQ(catalogue.LastOperation(EUqError(QStringLiteral("x"))),
              QStringLiteral("\r\nUltima operazione DB: QRY_ONE"));

    // Warnings of the rules and programming errors carry no note.
    EXPECT_EQ(catalogue.LastOperation(ETovWarning(QStringLiteral("w"))), QString());
    EXPECT_EQ(catalogue.LastOperation(ETovCalcola(QStringLiteral("c"))), QString());
    EXPECT_EQ(catalogue.LastOperation(platform::EAssertionFailed(QStringLiteral("a"))), QString());

    // A failed lookup does not become the last operation.
    EXPECT_THROW(catalogue.GetSQL(QStringLiteral("QRY_NONE"), QStringLiteral("SELECT")), platform::EAssertionFailed);
    EXPECT_EQ(catalogue.LastOperation(dbError), QStringLiteral("\r\nUltima operazione DB: QRY_ONE"));
}

TEST_F(QueryTextLookup, LastOperationAfterARealDatabaseError)
{
    TempDatabase tdb;
    platform::SqlQuery good(tdb.db());
    catalogue.AssignSQL(QStringLiteral("QRY_ONE"), good, 1);
    good.open();
    EXPECT_EQ(good.value(0), Value(11));
    good.close();

    // A statement set by other means fails: the note still names the last
    // statement handed out by the catalogue.
    platform::SqlQuery bad(tdb.db());
    bad.setSql(QStringLiteral("SELECT * FROM NO_SUCH_TABLE"));
    try {
        bad.open();
        FAIL() << "the statement should fail";
    } catch (const platform::EDatabaseError &e) {
        EXPECT_EQ(catalogue.LastOperation(e), QStringLiteral("\r\nUltima operazione DB: QRY_ONE"));
    }
}

// ---- parameters and formatted statements -----------------------------------

TEST(QueryTextFormat, ParseParamsReplacesTheListAndDropsValues)
{
    platform::DataSet ds;
    ds.setCommandText(
        QStringLiteral("SELECT * FROM T WHERE A = :IANFID AND B = ':NOT' AND C = :IMESID OR D = :IANFID"));
    ds.params().add(QStringLiteral("IANFID")).setValue(55);
    TTovQueryText::ParseParams(ds);
    ASSERT_EQ(ds.params().count(), 2);
    EXPECT_EQ(ds.params()[0].name(), QStringLiteral("IANFID"));
    EXPECT_TRUE(ds.params()[0].isNull());
    EXPECT_EQ(ds.params()[1].name(), QStringLiteral("IMESID"));
}

TEST(QueryTextFormat, FormatSqlTakesProgramFragmentsOnly)
{
    platform::DataSet ds;
    ds.setCommandText(QStringLiteral("SELECT * FROM T WHERE X = :X%s AND Y IN (%s) AND Z = %d"));
    TTovQueryText::FormatSQL(ds, {QStringLiteral(" AND  W = :W"), QStringLiteral("11,15"), 3});
    EXPECT_EQ(ds.commandText(), QStringLiteral("SELECT * FROM T WHERE X = :X AND  W = :W AND Y IN (11,15) AND Z = 3"));
    ASSERT_EQ(ds.params().count(), 2);
    EXPECT_EQ(ds.params()[1].name(), QStringLiteral("W"));
}

TEST(QueryTextFormat, FormatSqlRefusesWhatCouldCarryUserText)
{
    const QString text = QStringLiteral("SELECT * FROM T WHERE %s");
    for (const Value &arg : {Value(QStringLiteral("NAME = 'x' OR 1=1")), Value(QStringLiteral("1=1; DROP TABLE T")),
                             Value(QStringLiteral("1=1 -- rest")), Value(QStringLiteral("A /* c */")),
                             Value(QStringLiteral("\"quoted\"")), Value(QDate(2024, 1, 1)), Value(1.5)}) {
        platform::DataSet ds;
        ds.setCommandText(text);
        EXPECT_THROW(TTovQueryText::FormatSQL(ds, {arg}), platform::EAssertionFailed) << qPrintable(arg.debugText());
        EXPECT_EQ(ds.commandText(), text);
    }
}

// ---- version comparison ---------------------------------------------------------

struct VersionCase {
    const char *version;
    const char *minimum;
    bool atLeast;
};

void PrintTo(const VersionCase &c, std::ostream *os)
{
    *os << c.version << " vs " << c.minimum;
}

class VersionAtLeast : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionAtLeast, ComparesTheFirstThreeParts)
{
    const VersionCase c = GetParam();
    EXPECT_EQ(TTovQueryText::VersionAtLeast(QString::fromLatin1(c.version), QString::fromLatin1(c.minimum)), c.atLeast)
        << c.version << " vs " << c.minimum;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionAtLeast,
    ::testing::Values(VersionCase{"22.0.8.0", "22.0.8", true}, // the fourth part is never compared
                      VersionCase{"22.0.8.0", "22.0.9", false},
                      VersionCase{"22.0.8.0", "21.9.99", true}, // decided by the first part
                      VersionCase{"22.1", "22.0.5", true},      // decided at part 2, before the missing part 3
                      VersionCase{"22.0", "22.0.5", false},     // part 3 missing
                      VersionCase{"22.0.5", "22.0", false},     // part 3 missing on the other side
                      VersionCase{"beta", "beta", true},        // identical texts, no conversion
                      VersionCase{"22.0.x", "22.0.x", true},
                      VersionCase{"22.0.x", "22.0.5", false}, // part 3 not a number
                      VersionCase{"22.0.10", "22.0.9", true}, // numbers, not texts
                      VersionCase{"9.0.0", "10.0.0", false},
                      VersionCase{"22.0.8.1", "22.0.8.9", true}, // parts after the third are ignored
                      VersionCase{"", "1.0.0", false}, VersionCase{"1.0.0", "", false}),
    CaseName());

// ---- version check without certificate -----------------------------------------

TovProgramInfo program(const char *fileName, const char *version)
{
    return {QString::fromLatin1(fileName), QString::fromLatin1(version), QStringLiteral("Zep UniEmens")};
}

TEST_F(QueryTextLookup, VersionRowIsVerPlusTheUpperCasedProgramFileName)
{
    // Certificate check off (the default): only the version is checked.
    EXPECT_EQ(catalogue.CheckProgramMessage(QStringLiteral("zepUni"), program("foundation", "1.2.3")), QString());
    EXPECT_EQ(catalogue.CheckProgramMessage(QStringLiteral("zepUni"), program("Foundation", "1.3")), QString());
    EXPECT_EQ(catalogue.CheckProgramMessage(QString(), program("foundation", "1.2.2")),
              QStringLiteral("AGGIORNARE IL PROGRAMMA \"Zep UniEmens\".\r\nVersione minima richiesta: 1.2.3."));
}

TEST_F(QueryTextLookup, MissingVersionRowFailsWithAnEmptyMinimum)
{
    EXPECT_EQ(catalogue.CheckProgramMessage(QStringLiteral("zepUni"), program("zepUni", "99.0.0")),
              QStringLiteral("AGGIORNARE IL PROGRAMMA \"Zep UniEmens\".\r\nVersione minima richiesta: ."));
}

TEST_F(QueryTextLookup, EarlierProgramShowsItsOwnVersionText)
{
    catalogue.SetVersionMessage(TovVersionMessage::Zep);
    EXPECT_EQ(catalogue.CheckProgramMessage(QString(), program("FOUNDATION", "1.2")),
              QStringLiteral(
                  "Versione query (1.2.3) non congruente col programma (1.2).\r\n\r\nAGGIORNARE IL PROGRAMMA."));
}

TEST_F(QueryTextLookup, CertificateCheckOnWithNothingLoadedFails)
{
    catalogue.SetCheckCertificate(true);
    EXPECT_EQ(catalogue.CheckProgramMessage(QString(), program("foundation", "1.2.3")),
              QStringLiteral("Certificato query non trovato od errato."));
    EXPECT_EQ(catalogue.CheckProgramMessage(QStringLiteral("zepUni"), program("foundation", "1.2.3")),
              QStringLiteral("Certificato query non trovato od errato. Aggiornare il programma \"zepUni\""));
}

} // namespace
