#include "DataSetModel.h"

#include <QHash>

namespace platform {

DataSetModel::DataSetModel(DataSet *dataSet, QObject *parent) : QAbstractTableModel(parent)
{
    setDataSet(dataSet);
}

DataSetModel::~DataSetModel()
{
    if (m_dataSet)
        m_dataSet->removeObserver(m_observer);
}

void DataSetModel::setDataSet(DataSet *dataSet)
{
    if (m_dataSet == dataSet)
        return;
    if (m_dataSet)
        m_dataSet->removeObserver(m_observer);
    m_dataSet = dataSet;
    m_observer = 0;
    if (m_dataSet)
        m_observer = m_dataSet->addObserver([this](const DataChange &c) { onChange(c); });
    reload();
}

void DataSetModel::reload()
{
    beginResetModel();
    m_columns.clear();
    m_rows.clear();
    if (m_dataSet) {
        for (int i = 0; i < m_dataSet->fieldCount(); ++i)
            if (m_dataSet->field(i)->isVisible())
                m_columns.append(i);
        m_rows = m_dataSet->rowBookmarks();
    }
    endResetModel();
    updateCurrent();
}

Field *DataSetModel::fieldAt(int column) const
{
    if (!m_dataSet || column < 0 || column >= m_columns.size())
        return nullptr;
    return m_dataSet->field(m_columns[column]);
}

int DataSetModel::columnOf(const QString &fieldName) const
{
    if (!m_dataSet)
        return -1;
    const Field *f = m_dataSet->findField(fieldName);
    return f ? int(m_columns.indexOf(f->index())) : -1;
}

Bookmark DataSetModel::bookmarkAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row] : Bookmark{};
}

void DataSetModel::setCurrentRow(int row)
{
    if (!m_dataSet || row < 0 || row >= m_rows.size() || row == m_currentRow)
        return;
    const Bookmark b = m_rows[row];
    if (m_dataSet->bookmark() == b)
        return;
    m_dataSet->gotoBookmark(b);
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!m_dataSet || !index.isValid() || index.row() >= m_rows.size() || index.column() >= m_columns.size())
        return QVariant();
    const int field = m_columns[index.column()];
    const Bookmark row = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole: return m_dataSet->rowDisplayText(row, field);
    case Qt::EditRole: {
        const Field &f = *m_dataSet->field(field);
        const Value v = m_dataSet->rowValue(row, field);
        if (f.isNumeric() && !f.editFormat().isEmpty() && !v.isEmpty())
            return formatNumber(f.editFormat(), v);
        return v.toQVariant();
    }
    case ValueRole: return m_dataSet->rowValue(row, field).toQVariant();
    case Qt::TextAlignmentRole: return QVariant::fromValue(m_dataSet->field(field)->alignment());
    default: return QVariant();
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
        const Field *f = fieldAt(section);
        return f ? QVariant(f->displayLabel()) : QVariant();
    }
    return section + 1;
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const Field *field = fieldAt(index.column());
    if (m_dataSet && m_dataSet->canModify() && field && !field->isReadOnly() && !field->isCalculated())
        f |= Qt::ItemIsEditable;
    return f;
}

bool DataSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    Field *field = fieldAt(index.column());
    const Bookmark row = bookmarkAt(index.row());
    const bool rowIsCurrent = m_dataSet->isEditing() ? index.row() == m_currentRow : m_dataSet->bookmark() == row;
    if (!rowIsCurrent)
        m_dataSet->gotoBookmark(row);
    if (!m_dataSet->isEditing())
        m_dataSet->edit();
    field->setValue(Value::fromQVariant(value));
    return true;
}

void DataSetModel::onChange(const DataChange &change)
{
    switch (change.kind) {
    case DataChange::Reset: reload(); return;
    case DataChange::Destroyed:
        m_dataSet = nullptr;
        m_observer = 0;
        reload();
        return;
    case DataChange::CursorMoved: sync(false); return;
    case DataChange::RecordChanged:
    case DataChange::StateChanged:
    case DataChange::RowsChanged: sync(true); return;
    }
}

// Brings the rows in line with the dataset with the smallest signal that
// describes the difference: one row inserted or removed, rows moved, or
// values changed.
void DataSetModel::sync(bool valuesChanged)
{
    if (!m_dataSet)
        return;
    const QList<Bookmark> now = m_dataSet->rowBookmarks();
    const int oldSize = int(m_rows.size());
    const int newSize = int(now.size());
    if (now == m_rows) {
        if (valuesChanged && newSize > 0 && !m_columns.isEmpty())
            emit dataChanged(index(0, 0), index(newSize - 1, int(m_columns.size()) - 1));
    } else if (newSize == oldSize + 1 || newSize == oldSize - 1) {
        // One row in or out: the first difference is its place, and the
        // rest must match once it is skipped.
        const bool added = newSize > oldSize;
        const QList<Bookmark> &longer = added ? now : m_rows;
        const QList<Bookmark> &shorter = added ? m_rows : now;
        int at = 0;
        while (at < shorter.size() && shorter[at] == longer[at])
            ++at;
        bool single = true;
        for (int i = at; i < shorter.size(); ++i)
            if (!(shorter[i] == longer[i + 1])) {
                single = false;
                break;
            }
        if (!single) {
            reload();
            return;
        }
        if (added) {
            beginInsertRows(QModelIndex(), at, at);
            m_rows = now;
            endInsertRows();
        } else {
            beginRemoveRows(QModelIndex(), at, at);
            m_rows = now;
            endRemoveRows();
        }
        if (valuesChanged && newSize > 0 && !m_columns.isEmpty())
            emit dataChanged(index(0, 0), index(newSize - 1, int(m_columns.size()) - 1));
    } else if (newSize == oldSize) {
        QHash<quint64, int> newRow;
        for (int i = 0; i < newSize; ++i)
            newRow.insert(now[i].id, i);
        bool sameSet = true;
        for (const Bookmark &b : std::as_const(m_rows))
            if (!newRow.contains(b.id)) {
                sameSet = false;
                break;
            }
        if (!sameSet) {
            reload();
            return;
        }
        // Same records in another order.
        emit layoutAboutToBeChanged();
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &i : before)
            after.append(index(newRow.value(m_rows[i.row()].id), i.column()));
        m_rows = now;
        changePersistentIndexList(before, after);
        emit layoutChanged();
        if (valuesChanged && newSize > 0 && !m_columns.isEmpty())
            emit dataChanged(index(0, 0), index(newSize - 1, int(m_columns.size()) - 1));
    } else {
        reload();
        return;
    }
    updateCurrent();
}

void DataSetModel::updateCurrent()
{
    const int row = m_dataSet ? m_dataSet->currentRow() : -1;
    const DataSetState state = m_dataSet ? m_dataSet->state() : DataSetState::Inactive;
    if (row != m_currentRow) {
        m_currentRow = row;
        emit currentRowChanged(row);
    }
    if (state != m_state) {
        m_state = state;
        emit stateChanged(state);
    }
}

} // namespace platform
