#pragma once
// A Qt table model over a DataSet, for the grids: one column per visible
// field (caption: its display label), one row per visible record in the
// dataset's order and filter, plus the record being inserted at its place.
// The model follows the dataset through its observers: inserts, posts,
// deletes, reorders, cursor moves and state changes reach the views as the
// matching model signals; while the dataset's controls are disabled the
// model waits, and catches up with one reset when they are enabled again.
//
// A dataset destroyed before the model detaches itself (the model empties).
#include "DataSet.h"

#include <QAbstractTableModel>

namespace platform {

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The raw value of a cell as a QVariant (Value::toQVariant).
    static constexpr int ValueRole = Qt::UserRole + 1;

    explicit DataSetModel(DataSet *dataSet = nullptr, QObject *parent = nullptr);
    ~DataSetModel() override;

    DataSet *dataSet() const { return m_dataSet; }
    void setDataSet(DataSet *dataSet);

    // Reads the columns (visible fields) and rows again; call it after
    // changing field visibility or labels.
    void reload();

    // The field shown in a column; nullptr outside the columns.
    Field *fieldAt(int column) const;
    // The column of a field (name without regard to case); -1 when hidden
    // or absent.
    int columnOf(const QString &fieldName) const;
    Bookmark bookmarkAt(int row) const;
    // The row of the dataset's current record (-1 when none).
    int currentRow() const { return m_currentRow; }
    // Makes the record of a row current (posting an edit in progress first;
    // its errors reach the caller).
    void setCurrentRow(int row);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // DisplayRole: Field::displayText(); EditRole: the value (or the edit
    // text for numeric fields with an edit format); ValueRole: the value;
    // TextAlignmentRole: Field::alignment().
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Editable when the dataset can be modified and the field is neither
    // read-only nor calculated.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Makes the row current, puts the dataset into edit when browsing and
    // assigns the value (converted to the field's type). The record stays
    // in edit: posting is the caller's (or the next cursor move's). Dataset
    // errors (conversion, read-only, an aborting event) reach the caller.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void currentRowChanged(int row);
    // The dataset went to browse, edit or insert.
    void stateChanged(platform::DataSetState state);

private:
    void onChange(const DataChange &change);
    void sync(bool valuesChanged);
    void updateCurrent();

    DataSet *m_dataSet = nullptr;
    int m_observer = 0;
    QList<int> m_columns;   // field index of each column
    QList<Bookmark> m_rows; // record of each row
    int m_currentRow = -1;
    DataSetState m_state = DataSetState::Inactive;
};

} // namespace platform
