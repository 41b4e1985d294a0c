#include "SearchDialog.h"

#include "DataSetModel.h"
#include "Field.h"
#include "SearchStatement.h"
#include "Services.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace platform {

SearchDialog::SearchDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Ricerca"));
    resize(585, 371);

    auto *layout = new QVBoxLayout(this);
    grSearch = new QTableView(this);
    grSearch->setObjectName(QStringLiteral("grSearch"));
    grSearch->setSelectionBehavior(QAbstractItemView::SelectRows);
    grSearch->setSelectionMode(QAbstractItemView::SingleSelection);
    grSearch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grSearch->verticalHeader()->hide();
    m_model = new DataSetModel(&m_data, this);
    grSearch->setModel(m_model);
    layout->addWidget(grSearch, 1);

    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(QStringLiteral("Cerca per "), this));
    laCampo = new QLabel(this);
    laCampo->setObjectName(QStringLiteral("laCampo"));
    QFont bold = laCampo->font();
    bold.setBold(true);
    laCampo->setFont(bold);
    searchRow->addWidget(laCampo);
    edValue = new QLineEdit(this);
    edValue->setObjectName(QStringLiteral("edValue"));
    searchRow->addWidget(edValue, 1);
    layout->addLayout(searchRow);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(m_model, &DataSetModel::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            grSearch->selectRow(row);
    });
    // The row made current in the grid, by the mouse or by the grid's own
    // keys, is the dataset's row: the one OK returns.
    connect(grSearch->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &index) {
                if (index.isValid())
                    m_model->setCurrentRow(index.row());
            });
    connect(grSearch, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        m_model->setCurrentRow(index.row());
        accept();
    });
    connect(grSearch->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { SetSearchColumn(column); });
    connect(edValue, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_ignoreChange)
            Search(text);
    });
    edValue->installEventFilter(this);
    m_data.setReadOnly(true);
}

SearchDialog::~SearchDialog() = default;

SearchColumn &SearchDialog::Column(int index)
{
    while (Columns.size() <= index)
        Columns.append(SearchColumn{});
    return Columns[index];
}

QString SearchDialog::ColumnField(int index) const
{
    const SearchColumn &column = Columns.at(index);
    if (!column.FieldName.isEmpty()) {
        const Field *field = m_data.findField(column.FieldName);
        return field ? field->fieldName() : QString();
    }
    const Field *field = index < m_data.fieldCount() ? m_data.field(index) : nullptr;
    return field ? field->fieldName() : QString();
}

const SearchColumn *SearchDialog::ColumnOfField(const QString &fieldName) const
{
    for (int i = 0; i < Columns.size(); ++i)
        if (ColumnField(i).compare(fieldName, Qt::CaseInsensitive) == 0)
            return &Columns.at(i);
    return nullptr;
}

void SearchDialog::ApplyColumns()
{
    for (int i = 0; i < m_data.fieldCount(); ++i) {
        Field *field = m_data.field(i);
        const SearchColumn *column = ColumnOfField(field->fieldName());
        if (Columns.isEmpty()) {
            field->setVisible(true);
            continue;
        }
        field->setVisible(column && column->Visible);
        if (column && !column->Caption.isEmpty())
            field->setDisplayLabel(column->Caption);
    }
    m_model->reload();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const SearchColumn *column = ColumnOfField(m_model->fieldAt(c)->fieldName());
        if (column && column->Width > 0)
            grSearch->setColumnWidth(c, column->Width);
    }
}

void SearchDialog::Open()
{
    m_data.close();
    m_data.setIndexFieldNames(QString());
    m_searchField.clear();
    const QString text = m_data.SelectSQL();
    const QString filled = fillSearchStatement(text);
    if (filled != text)
        m_data.SetSelectSQL(filled);
    m_data.Open();
    ApplyColumns();
    m_ignoreChange = true;
    edValue->clear();
    m_ignoreChange = false;
    laCampo->clear();
    for (int c = 0; c < m_model->columnCount(); ++c)
        if (SetSearchColumn(c))
            break;
    m_data.first();
    if (!InitialKey.isEmpty()) {
        const Field *key = !KeyField.isEmpty() ? m_data.findField(KeyField) : m_model->fieldAt(0);
        if (key && !m_data.locate(key->fieldName(), InitialKey))
            m_data.first();
    }
}

bool SearchDialog::SetSearchColumn(int column)
{
    const Field *field = m_model->fieldAt(column);
    if (!field)
        return false;
    const SearchColumn *settings = ColumnOfField(field->fieldName());
    if (!Columns.isEmpty() && !(settings && settings->Indexed))
        return false;
    m_searchField = field->fieldName();
    m_data.setIndexFieldNames(m_searchField);
    laCampo->setText(field->displayLabel());
    m_ignoreChange = true;
    edValue->clear();
    m_ignoreChange = false;
    return true;
}

bool SearchDialog::Search(const QString &text)
{
    if (text.isEmpty() || m_searchField.isEmpty() || !m_data.isActive())
        return false;
    // A numeric column is searched for the number typed (text that is not
    // a number finds nothing); a text column by its beginning.
    if (m_data.fieldByName(m_searchField).isNumeric())
        return m_data.locate(m_searchField, Value(text));
    return m_data.locate(m_searchField, Value(text),
                         LocateOptions(LocateOption::CaseInsensitive) | LocateOption::PartialKey);
}

Value SearchDialog::CurrentKey() const
{
    if (!m_data.isActive() || m_data.isEmpty())
        return Value::null();
    if (!KeyField.isEmpty())
        return m_data.fieldValue(KeyField);
    const Field *field = m_model->fieldAt(0);
    return field ? field->value() : Value::null();
}

Value SearchDialog::Execute()
{
    Open();
    edValue->setFocus();
    if (Services::instance().execDialog(*this) != QDialog::Accepted)
        return Value::null();
    return CurrentKey();
}

int SearchDialog::VisibleRows() const
{
    const int rowHeight = qMax(1, grSearch->verticalHeader()->defaultSectionSize());
    return qMax(1, grSearch->viewport()->height() / rowHeight);
}

bool SearchDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edValue && event->type() == QEvent::KeyPress && m_data.isActive()) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up: m_data.prior(); return true;
        case Qt::Key_Down: m_data.next(); return true;
        case Qt::Key_PageUp: m_data.moveBy(-VisibleRows()); return true;
        case Qt::Key_PageDown: m_data.moveBy(VisibleRows()); return true;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace platform
