// The dataset model under a real view: edits and reordering reach it, and
// persistent indexes follow their record.
#include "DataSetModelTestSupport.h"

#include <QSignalSpy>
#include <QTableView>
#include <gtest/gtest.h>

TEST_F(DataSetModelTest, EditedValuesAndReorderingReachTheView)
{
    ds.setIndexFieldNames("NAME");
    QTableView view;
    view.setModel(model.get());
    const QPersistentModelIndex keep(model->index(0, 0)); // record A
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy moved(model.get(), &QAbstractItemModel::layoutChanged);
    ds.first();
    ds.edit();
    ds.fieldByName("NAME").setAsString("Z");
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(model->data(model->index(0, 1)).toString(), QStringLiteral("Z"));
    ds.post();
    EXPECT_EQ(moved.count(), 1);
    EXPECT_EQ(column(1), QStringList({"B", "C", "Z"}));
    EXPECT_EQ(keep.row(), 2); // persistent indexes follow their record
    EXPECT_EQ(model->currentRow(), 2);
}
