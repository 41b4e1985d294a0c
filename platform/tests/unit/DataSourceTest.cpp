#include "DataSet.h"
#include "DataSource.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(DataSource, PendingPostAndCancelActOnTheDataSet)
{
    DataSet ds;
    ds.addFieldDef("ID", FieldType::Integer);
    ds.createDataSet();
    ds.appendRecord({Value(1)});
    DataSource source(nullptr, &ds);
    EXPECT_FALSE(source.Pending());
    ds.edit();
    ds.setFieldValue("ID", Value(2));
    EXPECT_TRUE(source.Pending());
    source.Cancel();
    EXPECT_FALSE(source.Pending());
    EXPECT_EQ(ds.fieldValue("ID").toInt(), 1);
    ds.append();
    ds.setFieldValue("ID", Value(3));
    EXPECT_TRUE(source.Pending());
    source.Post();
    EXPECT_FALSE(source.Pending());
    EXPECT_EQ(ds.recordCount(), 2);
}

TEST(DataSource, WithoutADataSetNothingIsPendingAndNothingHappens)
{
    DataSource source;
    EXPECT_EQ(source.dataSet(), nullptr);
    EXPECT_FALSE(source.Pending());
    EXPECT_NO_THROW(source.Post());
    EXPECT_NO_THROW(source.Cancel());
}
