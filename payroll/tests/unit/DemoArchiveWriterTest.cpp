// The demo archive's writer: the columns of the archive's scripts in their
// order, the scripts' defaults for the columns a row leaves out, amounts
// stored exactly, and failures that name their table.
#include "ArchiveTestSupport.h"
#include "DemoArchiveWriter.h"
#include "archive/ArchiveScripts.h"

#include "Exceptions.h"
#include "SqlQuery.h"

#include <gtest/gtest.h>

using namespace archivetest;
using payroll::DemoArchiveWriter;
using platform::Currency;
using platform::Value;

TEST(DemoArchiveWriter, TakesEachTablesColumnsInTheOrderOfItsScript)
{
    auto tdb = archiveDatabase(payroll::ArchiveScripts::all());
    DemoArchiveWriter writer(tdb->db());
    const auto tables = tablesFromScripts(payroll::ArchiveScripts::series(payroll::ArchiveScripts::PayrollSeries));
    ASSERT_GT(tables.size(), 50);
    for (const TableDef &t : tables) {
        QStringList names;
        for (const ColumnDef &c : t.columns)
            names << c.name;
        EXPECT_EQ(writer.columns(t.name), names) << t.name.toStdString();
    }
}

TEST(DemoArchiveWriter, LeavesTheColumnsNotGivenToTheirDefaultsAndStoresAmountsExactly)
{
    auto tdb = archiveDatabase(payroll::ArchiveScripts::all());
    tdb->db().startTransaction();
    DemoArchiveWriter writer(tdb->db());
    // Beyond a double's digits: a round trip through one would change it.
    const Currency amount = Currency::fromString(QStringLiteral("12345678901234.5678"));
    // TOEPA_REGOLEORE: IOEPAID, SOEPALDESC, IOEPANUM (default 1), IOEPADEN
    // (default 1), FOEPAMAGG (default 0), LOEPACOMPRENDIIIS (default 0).
    writer.row(QStringLiteral("TOEPA_REGOLEORE"), {1, "Regola", 5, DemoArchiveWriter::Default, amount});
    writer.row(QStringLiteral("TOEPA_REGOLEORE"), {2, Value::null(), DemoArchiveWriter::Default, 7});
    EXPECT_EQ(writer.counts().value(QStringLiteral("TOEPA_REGOLEORE")), 2);

    platform::SqlQuery q(tdb->db());
    q.setSql(QStringLiteral("SELECT SOEPALDESC, IOEPANUM, IOEPADEN, FOEPAMAGG, LOEPACOMPRENDIIIS "
                            "FROM TOEPA_REGOLEORE ORDER BY IOEPAID"));
    q.open();
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("Regola"));
    EXPECT_EQ(q.value(1).toInt(), 5);
    EXPECT_EQ(q.value(2).toInt(), 1);
    EXPECT_EQ(q.value(3).toCurrency(), amount);
    EXPECT_EQ(q.value(4).toInt(), 0);
    q.next();
    EXPECT_TRUE(q.value(0).isNull()) << "a Null given stays Null";
    EXPECT_EQ(q.value(1).toInt(), 1);
    EXPECT_EQ(q.value(2).toInt(), 7);
    EXPECT_EQ(q.value(3).toCurrency(), Currency());
    q.close();
    tdb->db().rollback();
}

TEST(DemoArchiveWriter, RefusesRowsItCannotWrite)
{
    auto tdb = archiveDatabase(payroll::ArchiveScripts::all());
    tdb->db().startTransaction();
    DemoArchiveWriter writer(tdb->db());
    EXPECT_THROW(writer.row(QStringLiteral("TSEX_SESSI"), {1, "M", "Maschio", 4}), platform::EAssertionFailed);
    EXPECT_THROW(writer.row(QStringLiteral("TNESSUNA_TABELLA"), {1}), platform::EAssertionFailed);
    try {
        writer.row(QStringLiteral("TCOM_COMUNI"), {1, "BOLOGNA", 99}); // no such province
        FAIL() << "a row against a foreign key was written";
    } catch (const platform::EDatabaseError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("tabella TCOM_COMUNI"))) << e.message().toStdString();
    }
    EXPECT_EQ(writer.counts().value(QStringLiteral("TCOM_COMUNI")), 0);
    tdb->db().rollback();
}
