#include "DataSet.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// A dataset whose calculated field fails on demand.
struct FailingCalc {
    DataSet ds{QStringLiteral("T")};
    bool fail = false;

    FailingCalc()
    {
        ds.addFieldDef(QStringLiteral("A"), FieldType::Integer);
        ds.addFieldDef(QStringLiteral("C"), FieldType::Integer, 0, false, FieldKind::Calculated);
        ds.createDataSet();
        ds.events().onCalcFields = [this](DataSet &d) {
            if (fail)
                throw EDataSetError(QStringLiteral("calcolo fallito"));
            d.fieldByName(QStringLiteral("C")).setValue(d.fieldByName(QStringLiteral("A")).asInteger() * 2);
        };
        ds.appendRecord({1});
        ds.appendRecord({2});
    }

    QList<int> values()
    {
        QList<int> out;
        for (ds.first(); !ds.eof(); ds.next())
            out << ds.fieldByName(QStringLiteral("A")).asInteger();
        return out;
    }
};

TEST(DataSetReplace, AFailingCalcFieldsHandlerDuringLoadLeavesAUsableDataSet)
{
    FailingCalc t;
    t.fail = true;
    const FieldDefs defs = t.ds.fieldDefs();
    EXPECT_THROW(t.ds.loadRecords(defs, {{10}, {20}, {30}}), EDataSetError);
    // The records are the loaded ones and the cursor walks them safely.
    EXPECT_EQ(t.ds.recordCount(), 3);
    t.fail = false;
    EXPECT_EQ(t.values(), (QList<int>{10, 20, 30}));
}

TEST(DataSetReplace, AFailingCalcFieldsHandlerDuringAssignLeavesAUsableDataSet)
{
    FailingCalc source;
    FailingCalc target;
    target.fail = true;
    EXPECT_THROW(target.ds.assignData(source.ds), EDataSetError);
    EXPECT_EQ(target.ds.recordCount(), 2);
    target.fail = false;
    EXPECT_EQ(target.values(), (QList<int>{1, 2}));
}

// A reader's rows taken one by one: converted as any load converts them,
// every record found by its bookmark afterwards (inserted and deleted ones
// too), and a reader that fails or gives too many values leaves the records
// that were there.
TEST(DataSetReplace, RowsTakenOneByOneFromAReader)
{
    FailingCalc t;
    FieldDefs defs = t.ds.fieldDefs();
    defs.append(FieldDef{QStringLiteral("S"), FieldType::String, 3});
    auto reader = [](QList<ValueList> rows, int failAt = -1) {
        return [rows, failAt, next = 0](ValueList &row) mutable {
            if (next == failAt)
                throw EDataSetError(QStringLiteral("lettura fallita"));
            if (next >= rows.size())
                return false;
            row = rows[next++];
            return true;
        };
    };
    t.ds.loadRecordsFrom(defs, reader({{1, "abcd"}, {2, ""}, {3, "x"}}));
    EXPECT_EQ(t.values(), (QList<int>{1, 2, 3}));
    t.ds.first();
    EXPECT_EQ(t.ds.fieldValue(QStringLiteral("S")), Value("abc"));
    EXPECT_EQ(t.ds.fieldValue(QStringLiteral("C")), Value(2));
    t.ds.next();
    const Bookmark second = t.ds.bookmark();
    EXPECT_TRUE(t.ds.fieldByName(QStringLiteral("S")).isNull());
    t.ds.first();
    t.ds.deleteRecord();
    t.ds.appendRecord({4, "y"});
    const Bookmark appended = t.ds.bookmark();
    t.ds.gotoBookmark(second);
    EXPECT_EQ(t.ds.fieldValue(QStringLiteral("A")), Value(2));
    t.ds.gotoBookmark(appended);
    EXPECT_EQ(t.ds.fieldValue(QStringLiteral("C")), Value(8));

    const QList<int> before = t.values();
    EXPECT_THROW(t.ds.loadRecordsFrom(defs, reader({{5}, {6}}, 1)), EDataSetError);
    EXPECT_THROW(t.ds.loadRecordsFrom(defs, reader({{5, "a", 7}})), EDataSetError);
    EXPECT_EQ(t.values(), before);
    EXPECT_TRUE(t.ds.bookmarkValid(second));
}

} // namespace
