#include "UqMultiSelect.h"

#include "DataSetModel.h"
#include "Field.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

using platform::Bookmark;
using platform::DataSetModel;

TfmUqMultiSelect::TfmUqMultiSelect(QWidget *parent) : TfmUqDialog(parent)
{
    frAxMultiSel = new QFrame(paClient);
    frAxMultiSel->setObjectName(QStringLiteral("frAxMultiSel"));
    auto *layout = new QVBoxLayout(frAxMultiSel);
    layout->setContentsMargins(0, 0, 0, 0);

    paInfo = new QLabel(frAxMultiSel);
    paInfo->setObjectName(QStringLiteral("paInfo"));
    paInfo->setFrameShape(QFrame::Panel);
    paInfo->setFrameShadow(QFrame::Sunken);
    layout->addWidget(paInfo);

    grFrame = new QTableView(frAxMultiSel);
    grFrame->setObjectName(QStringLiteral("grFrame"));
    grFrame->setSelectionBehavior(QAbstractItemView::SelectRows);
    grFrame->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grFrame->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grFrame->verticalHeader()->hide();
    grFrame->verticalHeader()->setDefaultSectionSize(grFrame->fontMetrics().height() + 6);
    m_model = new DataSetModel(nullptr, this);
    grFrame->setModel(m_model);
    layout->addWidget(grFrame, 1);

    auto *search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("Cerca:"), frAxMultiSel));
    edCerca = new QLineEdit(frAxMultiSel);
    edCerca->setObjectName(QStringLiteral("edCerca"));
    search->addWidget(edCerca, 1);
    layout->addLayout(search);

    laProgress = new QLabel(frAxMultiSel);
    laProgress->setObjectName(QStringLiteral("laProgress"));
    layout->addWidget(laProgress);
    ClientLayout()->addWidget(frAxMultiSel, 1);

    connect(grFrame->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { TrackSelection(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { Reselect(); });
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] { Reselect(); });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] { emit SelectionChanged(); });
    // The dataset's cursor shows as the grid's current row; the selection
    // stays as the user made it.
    connect(m_model, &DataSetModel::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        const int column = qMax(0, grFrame->currentIndex().column());
        grFrame->selectionModel()->setCurrentIndex(m_model->index(row, column), QItemSelectionModel::NoUpdate);
        grFrame->scrollTo(m_model->index(row, column));
    });
    connect(grFrame->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &index) {
        if (index.isValid() && index.row() != m_model->currentRow())
            m_model->setCurrentRow(index.row());
    });
    connect(grFrame->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (const platform::Field *field = m_model->fieldAt(column))
            OrdinaPerColonna(field->fieldName());
    });
    connect(edCerca, &QLineEdit::textChanged, this, [this](const QString &text) { Cerca(text); });
}

TfmUqMultiSelect::~TfmUqMultiSelect() = default;

void TfmUqMultiSelect::SetDataSet(platform::DataSet *dataSet)
{
    m_dataSet = dataSet;
    m_selected.clear();
    m_model->setDataSet(dataSet);
    if (!m_columns.isEmpty())
        SetColumns(m_columns);
}

void TfmUqMultiSelect::SetColumns(const QList<Column> &columns)
{
    m_columns = columns;
    if (!m_dataSet || !m_dataSet->isActive())
        return;
    for (const auto &field : m_dataSet->fields())
        field->setVisible(false);
    for (const Column &c : columns) {
        if (platform::Field *field = m_dataSet->findField(c.field)) {
            field->setVisible(true);
            field->setDisplayLabel(c.title);
        }
    }
    m_model->reload();
    QHeaderView *header = grFrame->horizontalHeader();
    for (int i = 0; i < columns.size(); ++i) {
        const int logical = m_model->columnOf(columns.at(i).field);
        if (logical < 0)
            continue;
        header->moveSection(header->visualIndex(logical), i);
        // The width asked, or the title's when that is wider.
        if (columns.at(i).width > 0)
            header->resizeSection(logical, qMax(columns.at(i).width, header->sectionSizeHint(logical)));
    }
}

void TfmUqMultiSelect::ClearSelection()
{
    m_selected.clear();
    m_reselecting = true;
    grFrame->selectionModel()->clearSelection();
    m_reselecting = false;
    emit SelectionChanged();
}

void TfmUqMultiSelect::SelectRow(int row)
{
    grFrame->selectionModel()->select(m_model->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TfmUqMultiSelect::TrackSelection()
{
    if (m_reselecting)
        return;
    QSet<int> rows;
    for (const QModelIndex &index : grFrame->selectionModel()->selectedRows())
        rows.insert(index.row());
    // Rows that left the selection go; new ones come last, in grid order.
    QSet<quint64> kept;
    QList<Bookmark> selected;
    for (const Bookmark &b : m_selected) {
        for (int row : rows) {
            if (m_model->bookmarkAt(row) == b) {
                selected << b;
                kept.insert(b.id);
                break;
            }
        }
    }
    QList<int> added(rows.cbegin(), rows.cend());
    std::sort(added.begin(), added.end());
    for (int row : added) {
        const Bookmark b = m_model->bookmarkAt(row);
        if (b.isValid() && !kept.contains(b.id))
            selected << b;
    }
    m_selected = selected;
    emit SelectionChanged();
}

void TfmUqMultiSelect::Reselect()
{
    // After a new order (or rows gone) the grid's selection is made again
    // from the rows kept, in their order; rows no longer there drop out.
    QList<Bookmark> kept;
    QItemSelection selection;
    for (const Bookmark &b : m_selected) {
        for (int row = 0; row < m_model->rowCount(); ++row) {
            if (m_model->bookmarkAt(row) == b) {
                kept << b;
                selection.select(m_model->index(row, 0), m_model->index(row, m_model->columnCount() - 1));
                break;
            }
        }
    }
    m_selected = kept;
    m_reselecting = true;
    grFrame->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_reselecting = false;
    emit SelectionChanged();
}

void TfmUqMultiSelect::OrdinaPerColonna(const QString &field)
{
    if (!m_dataSet || !m_dataSet->isActive())
        return;
    m_dataSet->setIndexFieldNames(OrdineColonna ? OrdineColonna(field) : field);
}

QString TfmUqMultiSelect::CurrentField() const
{
    const QModelIndex current = grFrame->currentIndex();
    const platform::Field *field = m_model->fieldAt(current.isValid() ? current.column() : -1);
    if (!field && !m_columns.isEmpty())
        return m_columns.first().field;
    return field ? field->fieldName() : QString();
}

void TfmUqMultiSelect::Cerca(const QString &text)
{
    if (!m_dataSet || !m_dataSet->isActive() || text.isEmpty())
        return;
    const QString field = CurrentField();
    if (field.isEmpty())
        return;
    if (OnSearchValue && OnSearchValue(field, text))
        return;
    // The first row whose text begins with the typed one, found in the
    // grid's rows (the cursor does not walk the list).
    const int column = m_model->columnOf(field);
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->data(m_model->index(row, column)).toString().startsWith(text, Qt::CaseInsensitive)) {
            m_model->setCurrentRow(row);
            return;
        }
    }
}
