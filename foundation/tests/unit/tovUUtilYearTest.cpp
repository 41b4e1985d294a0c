// Year records on a real embedded database built from the foundation's
// scripts, and the dataset helpers of the utility unit.
#include "tovUUtil.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "SqlQuery.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

using platform::FieldType;
using platform::Value;

namespace {

class FakeParams : public ITovParams {
public:
    QHash<QString, Value> values;
    Value GetParams(const QString &name) const override
    {
        return values.contains(name) ? values.value(name) : Value::null();
    }
};

class YearRecords : public ::testing::Test {
protected:
    YearRecords() : tdb(TempDatabase::Scripts{TempDatabase::projectScripts(QStringLiteral("foundation"))})
    {
        platform::Database::setGlobal(&tdb.db());
        tdb.db().execute(QStringLiteral(
            "INSERT INTO TANF_ANNIFINANZ (IANFID, DANFNUBRAINIZIO, DANFNUBRAFINE) VALUES (55, '2024-01-01', '2024-12-31')"));
        tdb.db().execute(QStringLiteral(
            "INSERT INTO TANF_ANNIFINANZ (IANFID, DANFNUBRAINIZIO, DANFNUBRAFINE) VALUES (41, '2010-01-01', '2010-12-31')"));
        tdb.db().execute(QStringLiteral(
            "INSERT INTO TANS_ANNISCOLAST (IANSID, DANSNUBRAINIZIO, DANSNUBRAFINE) VALUES (3, '2023-09-01', '2024-08-31')"));
    }
    TempDatabase tdb;
    FakeParams params;
};

TEST_F(YearRecords, FinancialYearLoadsByIdWithItsDatesAsMonthDayYear)
{
    TtovAnnoFinanziario year;
    year.Load(55);
    EXPECT_EQ(year.Id(), 55);
    EXPECT_EQ(year.Year(), 2024);
    EXPECT_EQ(year.StartDate().date(), QDate(2024, 1, 1));
    EXPECT_EQ(year.EndDate().date(), QDate(2024, 12, 31));
    EXPECT_EQ(year.StartDateText(), QStringLiteral("01/01/2024"));
    EXPECT_EQ(year.EndDateText(), QStringLiteral("12/31/2024"));
    EXPECT_EQ(year.YearText(), QStringLiteral("2024"));
}

TEST_F(YearRecords, LoadYearTakesTheYearOrTheIdAsText)
{
    TtovAnnoFinanziario year;
    year.LoadYear(QStringLiteral("2010"));
    EXPECT_EQ(year.Id(), 41);
    EXPECT_EQ(year.YearText(), QStringLiteral("2010"));
    year.LoadYear(QStringLiteral("55"));
    EXPECT_EQ(year.Year(), 2024);
    EXPECT_THROW(year.LoadYear(QStringLiteral("duemila")), platform::EConvertError);
    EXPECT_EQ(year.Year(), 2024);
}

TEST_F(YearRecords, DefaultIdComesFromTheParametersModule)
{
    TtovAnnoFinanziario year;
    EXPECT_THROW(year.Load(), platform::EAssertionFailed); // no parameters module
    year.SetParams(&params);
    EXPECT_THROW(year.Load(), platform::EConvertError); // parameter not set
    params.values.insert(QStringLiteral("UQUP_AnfId"), 41);
    year.Load();
    EXPECT_EQ(year.Id(), 41);
    EXPECT_EQ(year.Year(), 2010);
}

TEST_F(YearRecords, AYearWithoutItsRowIsAnErrorNamingTheIdNotAZeroDate)
{
    TtovAnnoFinanziario year;
    year.Load(55);
    try {
        year.Load(56);
        FAIL() << "a missing year must raise";
    } catch (const EUqError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("56"))) << qPrintable(e.message());
        EXPECT_TRUE(e.message().contains(QStringLiteral("TANF_ANNIFINANZ"))) << qPrintable(e.message());
    }
    // The record still holds the year it had.
    EXPECT_EQ(year.Id(), 55);
    EXPECT_EQ(year.Year(), 2024);
    EXPECT_EQ(year.EndDateText(), QStringLiteral("12/31/2024"));
}

TEST_F(YearRecords, SchoolYearDefaultIdIsTheParameterTextOrZero)
{
    TtovAnnoScolastico school;
    school.SetParams(&params);
    params.values.insert(QStringLiteral("UQUP_AnsId"), QStringLiteral("3"));
    school.Load();
    EXPECT_EQ(school.Id(), 3);
    EXPECT_EQ(school.Year(), 2023);
    EXPECT_EQ(school.StartDateText(), QStringLiteral("09/01/2023"));
    EXPECT_EQ(school.EndDateText(), QStringLiteral("08/31/2024"));

    // Null or not a number: id 0, which has no row.
    for (const Value &v : {Value::null(), Value(QStringLiteral("tre"))}) {
        params.values.insert(QStringLiteral("UQUP_AnsId"), v);
        try {
            school.Load();
            FAIL() << "id 0 has no row";
        } catch (const EUqError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("id 0"))) << qPrintable(e.message());
            EXPECT_TRUE(e.message().contains(QStringLiteral("TANS_ANNISCOLAST"))) << qPrintable(e.message());
        }
    }
    EXPECT_EQ(school.Id(), 3);
}

TEST_F(YearRecords, TheTableKeepsIdsAndYearsTogether)
{
    // 2025 must have the id 56; any other id is refused by the table.
    EXPECT_THROW(
        tdb.db().execute(QStringLiteral(
            "INSERT INTO TANF_ANNIFINANZ (IANFID, DANFNUBRAINIZIO, DANFNUBRAFINE) VALUES (57, '2025-01-01', '2025-12-31')")),
        platform::EDatabaseError);
    tdb.db().execute(QStringLiteral(
        "INSERT INTO TANF_ANNIFINANZ (IANFID, DANFNUBRAINIZIO, DANFNUBRAFINE) VALUES (56, '2025-01-01', '2025-12-31')"));
    TtovAnnoFinanziario year;
    year.LoadYear(QStringLiteral("2025"));
    EXPECT_EQ(year.Id(), TtovAnnoFinanziario::YearToId(2025));
}

TEST_F(YearRecords, NewIdGivesDistinctIdsFromTheTablesGenerator)
{
    const int a = TTovUtil::NewId(QStringLiteral("TANS_ANNISCOLAST"));
    const int b = TTovUtil::NewId(QStringLiteral("TANS_ANNISCOLAST"));
    EXPECT_GT(a, 0);
    EXPECT_GT(b, a);
    EXPECT_THROW(TTovUtil::NewId(QStringLiteral("TNONE_NESSUNA")), platform::EDatabaseError);
}

// ---- dataset helpers ------------------------------------------------------------

class FieldValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds.addFieldDef(QStringLiteral("N"), FieldType::Integer);
        ds.addFieldDef(QStringLiteral("S"), FieldType::String, 20);
        ds.addFieldDef(QStringLiteral("D"), FieldType::Date);
        ds.addFieldDef(QStringLiteral("F"), FieldType::Currency);
        ds.createDataSet();
        ds.appendRecord({Value::null(), Value::null(), Value::null(), Value::null()});
        ds.appendRecord(
            {7, QStringLiteral("x"), QDate(2024, 5, 1), platform::Currency::fromString(QStringLiteral("1.5"))});
        ds.first();
    }
    platform::DataSet ds;
};

TEST_F(FieldValues, NullFieldsGiveTheirTypesEmptyValue)
{
    EXPECT_EQ(TTovDataSet::FieldValue(ds.findField(QStringLiteral("N"))), Value(0));
    EXPECT_EQ(TTovDataSet::FieldValue(ds.findField(QStringLiteral("F"))), Value(0));
    EXPECT_EQ(TTovDataSet::FieldValue(ds.findField(QStringLiteral("S"))), Value(QString()));
    EXPECT_TRUE(TTovDataSet::FieldValue(ds.findField(QStringLiteral("D"))).isUnassigned());
    EXPECT_TRUE(TTovDataSet::FieldValueDef(ds.findField(QStringLiteral("D")), Value::null()).isNull());
    EXPECT_EQ(TTovDataSet::FieldValueDef(ds.findField(QStringLiteral("N")), 9), Value(9));
    EXPECT_EQ(TTovDataSet::FieldValueDef(nullptr, 4), Value(4));
    EXPECT_TRUE(TTovDataSet::FieldValue(nullptr).isUnassigned());
    EXPECT_EQ(TTovUtil::FieldValueDef(ds.findField(QStringLiteral("S")), QStringLiteral("d")),
              Value(QStringLiteral("d")));
}

TEST_F(FieldValues, SetValuesWinOverTheDefault)
{
    ds.next();
    EXPECT_EQ(TTovDataSet::FieldValueDef(ds.findField(QStringLiteral("N")), 9), Value(7));
    EXPECT_EQ(TTovUtil::FieldValue(ds.findField(QStringLiteral("D"))), Value(QDate(2024, 5, 1)));
    // A value being edited counts.
    ds.edit();
    ds.setFieldValue(QStringLiteral("N"), 8);
    EXPECT_EQ(TTovDataSet::FieldValue(ds.findField(QStringLiteral("N"))), Value(8));
    ds.cancel();
}

TEST_F(FieldValues, HasValue)
{
    EXPECT_FALSE(TTovDataSet::HasValue(Value()));
    EXPECT_FALSE(TTovDataSet::HasValue(Value::null()));
    EXPECT_TRUE(TTovDataSet::HasValue(Value(0)));
    EXPECT_TRUE(TTovDataSet::HasValue(Value(QString())));
}

TEST_F(FieldValues, EditDataSetOnlyFromBrowse)
{
    EXPECT_TRUE(TTovUtil::EditDataSet(ds.findField(QStringLiteral("N"))));
    EXPECT_EQ(ds.state(), platform::DataSetState::Edit);
    EXPECT_FALSE(TTovUtil::EditDataSet(&ds));
    ds.cancel();
    EXPECT_TRUE(TTovUtil::EditDataSet(&ds));
    ds.cancel();
    ds.close();
    EXPECT_FALSE(TTovUtil::EditDataSet(&ds));
    EXPECT_FALSE(TTovUtil::EditDataSet(static_cast<platform::DataSet *>(nullptr)));
    EXPECT_FALSE(TTovUtil::EditDataSet(static_cast<platform::Field *>(nullptr)));
}

} // namespace
