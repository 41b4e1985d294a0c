// The Qt table model over a dataset: columns, rows in the dataset's order
// and filter, and the signals that keep views in step with the dataset.
#include "DataSetModelTestSupport.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace platform;

TEST_F(DataSetModelTest, VisibleFieldsAreColumnsWithTheirLabels)
{
    EXPECT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Nome"));
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
    EXPECT_EQ(model->columnOf("hidden"), -1);
    EXPECT_EQ(model->columnOf("amount"), 2);
    EXPECT_EQ(column(2), QStringList({"1.000,00", "2.000,00", "3.000,00"}));
    EXPECT_EQ(model->data(model->index(0, 2), DataSetModel::ValueRole).value<Currency>(), Currency::fromInt(1000));
    EXPECT_EQ(model->data(model->index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
}

TEST_F(DataSetModelTest, FollowsTheCursor)
{
    QSignalSpy spy(model.get(), &DataSetModel::currentRowChanged);
    EXPECT_EQ(model->currentRow(), 0);
    ds.last();
    EXPECT_EQ(model->currentRow(), 2);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0][0].toInt(), 2);
    model->setCurrentRow(1);
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 2);
    EXPECT_EQ(model->currentRow(), 1);
}

TEST_F(DataSetModelTest, InsertShowsARowAtItsPlaceAndCancelRemovesIt)
{
    QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model.get(), &QAbstractItemModel::rowsRemoved);
    ds.setRecNo(2);
    ds.insert();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 1);
    EXPECT_EQ(model->rowCount(), 4);
    EXPECT_EQ(model->currentRow(), 1);
    ds.fieldByName("NAME").setAsString("new");
    EXPECT_EQ(model->data(model->index(1, 1)).toString(), QStringLiteral("new"));
    ds.cancel();
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 1);
    EXPECT_EQ(column(1), QStringList({"A", "B", "C"}));
    EXPECT_EQ(model->currentRow(), 1);
}

TEST_F(DataSetModelTest, PostAndDeleteUpdateTheRows)
{
    ds.append();
    ds.fieldByName("ID").setAsInteger(4);
    ds.fieldByName("NAME").setAsString("D");
    ds.post();
    EXPECT_EQ(column(1), QStringList({"A", "B", "C", "D"}));
    EXPECT_EQ(model->currentRow(), 3);
    QSignalSpy removed(model.get(), &QAbstractItemModel::rowsRemoved);
    ds.first();
    ds.deleteRecord();
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 0);
    EXPECT_EQ(column(1), QStringList({"B", "C", "D"}));
}

TEST_F(DataSetModelTest, FilterAndDisabledControls)
{
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    ds.setFilter("ID >= 2");
    ds.setFiltered(true);
    EXPECT_EQ(column(0), QStringList({"2", "3"}));
    reset.clear();
    ds.disableControls();
    ds.setFiltered(false);
    ds.appendRecord({Value(9)});
    ds.first();
    EXPECT_EQ(model->rowCount(), 2); // waits while controls are disabled
    EXPECT_EQ(reset.count(), 0);
    ds.enableControls();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(column(0), QStringList({"1", "2", "3", "9"}));
    EXPECT_EQ(model->currentRow(), 0);
}

TEST_F(DataSetModelTest, SetDataEditsTheRecordThroughTheDataset)
{
    ASSERT_TRUE(model->flags(model->index(1, 1)) & Qt::ItemIsEditable);
    ASSERT_TRUE(model->setData(model->index(1, 1), QStringLiteral("bb")));
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 2);
    ASSERT_TRUE(model->setData(model->index(1, 2), QStringLiteral("12,5")));
    EXPECT_EQ(ds.fieldByName("AMOUNT").asCurrency(), Currency::fromString("12.5"));
    // Another row: the edit is posted first.
    ASSERT_TRUE(model->setData(model->index(2, 1), QStringLiteral("cc")));
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 3);
    ds.post();
    EXPECT_EQ(column(1), QStringList({"A", "bb", "cc"}));
    EXPECT_EQ(ds.changeCount(), 2);

    EXPECT_THROW(model->setData(model->index(0, 0), QStringLiteral("uno")), EConvertError);
    ds.cancel();
    ds.setReadOnly(true);
    EXPECT_FALSE(model->flags(model->index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->setData(model->index(0, 1), QStringLiteral("x")));
}

TEST_F(DataSetModelTest, CloseAndReopen)
{
    ds.close();
    EXPECT_EQ(model->rowCount(), 0);
    ds.open();
    EXPECT_EQ(model->rowCount(), 3);
    DataSet other;
    other.setFieldDefs({{"X", FieldType::String, 3}});
    other.createDataSet();
    other.appendRecord({Value("q")});
    ds.assignData(other);
    EXPECT_EQ(model->columnCount(), 1);
    EXPECT_EQ(column(0), QStringList({"q"}));
    model->setDataSet(nullptr);
    EXPECT_EQ(model->rowCount(), 0);
}

TEST(DataSetModelLifetime, ADestroyedDatasetDetachesItself)
{
    auto ds = std::make_unique<DataSet>();
    ds->setFieldDefs({{"X", FieldType::Integer}});
    ds->createDataSet();
    ds->appendRecord({Value(1)});
    DataSetModel model(ds.get());
    EXPECT_EQ(model.rowCount(), 1);
    ds.reset();
    EXPECT_EQ(model.dataSet(), nullptr);
    EXPECT_EQ(model.rowCount(), 0);
}
