#include "DataSet.h"

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

} // namespace
