#include "TovFCdsSearch.h"

#include <QCoreApplication>

#include "DataSetModel.h"
#include "Field.h"
#include "FormRegistry.h"
#include "TovUCdsUtil.h"
#include "tovUDBCds.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>

using platform::DataSet;
using platform::Field;
using platform::Value;

// ---- TTovSearchCursor ----

bool TTovSearchCursor::Search(const QString &text)
{
    const QString column = IndexField();
    if (text.isEmpty() || column.isEmpty() || !m_ds.isActive())
        return false;
    const Field &field = m_ds.fieldByName(column);
    if (platform::isNumericFieldType(field.dataType())) {
        // Typed text that is no number is simply a miss.
        bool ok = false;
        QString number = text.trimmed();
        number.replace(QLatin1Char(','), QLatin1Char('.'));
        const double v = number.toDouble(&ok);
        if (!ok)
            return false;
        Value key = v == qint64(v) ? Value(qint64(v)) : Value(v);
        try {
            return m_ds.locate(column, key);
        } catch (const platform::EConvertError &) {
            return false;
        }
    }
    return m_ds.locate(column, Value(text), platform::LocateOption::PartialKey);
}

bool TTovSearchCursor::HandleKey(int key, Qt::KeyboardModifiers modifiers, int &column, int columnCount, int pageRows)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Right:
        if (column < columnCount - 1)
            ++column;
        return true;
    case Qt::Key_Left:
        if (columnCount > 0 && column > 0)
            --column;
        return true;
    case Qt::Key_Up:
        if (!m_ds.bof())
            m_ds.prior();
        return true;
    case Qt::Key_Down:
        if (!m_ds.eof())
            m_ds.next();
        return true;
    case Qt::Key_PageUp:
        if (!m_ds.bof())
            m_ds.moveBy(-qMax(1, pageRows));
        return true;
    case Qt::Key_PageDown:
        if (!m_ds.eof())
            m_ds.moveBy(qMax(1, pageRows));
        return true;
    case Qt::Key_Home:
        if (!ctrl)
            return false;
        if (!m_ds.bof())
            m_ds.first();
        return true;
    case Qt::Key_End:
        if (!ctrl)
            return false;
        if (!m_ds.eof())
            m_ds.last();
        return true;
    default: return false;
    }
}

// ---- TfmTovRicerca ----

TfmTovRicerca::TfmTovRicerca(QWidget *parent)
    : TfmUqDialog(parent), cdsSearch(QStringLiteral("cdsSearch")), m_cursor(cdsSearch)
{
    setObjectName(QStringLiteral("fmTovRicerca"));
    setWindowTitle(QStringLiteral("Finestra di ricerca"));
    resize(585, 371);

    grSearch = new QTableView(paClient);
    grSearch->setObjectName(QStringLiteral("grSearch"));
    grSearch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grSearch->setSelectionBehavior(QAbstractItemView::SelectRows);
    grSearch->setSelectionMode(QAbstractItemView::SingleSelection);
    // The last column (a description) takes the room left, instead of
    // showing its texts cut in a narrow column beside an empty area.
    grSearch->horizontalHeader()->setStretchLastSection(true);
    grModel = new platform::DataSetModel(&cdsSearch, grSearch);
    grSearch->setModel(grModel);
    ClientLayout()->addWidget(grSearch, 1);

    auto *row = new QHBoxLayout;
    laCerca = new QLabel(QStringLiteral("Cerca per "), paClient);
    laCampo = new QLabel(paClient);
    laCampo->setObjectName(QStringLiteral("laCampo"));
    QFont bold = laCampo->font();
    bold.setBold(true);
    laCampo->setFont(bold);
    edValue = new QLineEdit(paClient);
    edValue->setObjectName(QStringLiteral("edValue"));
    row->addWidget(laCerca);
    row->addWidget(laCampo);
    row->addWidget(edValue, 1);
    ClientLayout()->addLayout(row);

    connect(edValue, &QLineEdit::textChanged, this, [this] { edValueChange(); });
    edValue->installEventFilter(this);
    connect(grSearch->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) { SetSearchColumn(c); });
    connect(grSearch, &QTableView::doubleClicked, this, [this] { done(mrOk); });
    connect(grSearch->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &i) {
        if (i.isValid() && i.row() != grModel->currentRow())
            grModel->setCurrentRow(i.row());
    });
    // The grid follows the dataset's cursor.
    cdsSearch.addObserver([this](const platform::DataChange &change) {
        if (change.kind == platform::DataChange::Destroyed)
            return;
        const int r = cdsSearch.isActive() && !cdsSearch.isEmpty() ? cdsSearch.recNo() - 1 : -1;
        if (r >= 0 && grSearch->currentIndex().row() != r)
            grSearch->setCurrentIndex(grModel->index(r, qMax(0, grSearch->currentIndex().column())));
    });
}

TfmTovRicerca::~TfmTovRicerca() = default;

void TfmTovRicerca::cdsSearchAfterOpen()
{
    m_ignoreChange = true;
    edValue->clear();
    m_ignoreChange = false;
    // The grid's first column: the first shown field (a stored table's row
    // number is hidden and is never the search column).
    grModel->reload();
    if (Field *first = grModel->fieldAt(0)) {
        m_cursor.SetIndexField(first->fieldName());
        laCampo->setText(first->displayLabel());
    }
    if (m_field)
        edValue->setText(m_field->asString());
}

void TfmTovRicerca::edValueChange()
{
    if (!m_ignoreChange)
        m_cursor.Search(edValue->text());
}

void TfmTovRicerca::SetSearchColumn(int column)
{
    Field *field = grModel->fieldAt(column);
    if (!field)
        return;
    m_cursor.SetIndexField(field->fieldName());
    laCampo->setText(field->displayLabel());
    m_ignoreChange = true;
    edValue->clear();
    m_ignoreChange = false;
}

int TfmTovRicerca::VisibleRows() const
{
    const int rowHeight = qMax(1, grSearch->verticalHeader()->defaultSectionSize());
    return qMax(1, grSearch->viewport()->height() / rowHeight);
}

bool TfmTovRicerca::eventFilter(QObject *watched, QEvent *event)
{
    // With no table open (the window shown outside a search) there is no
    // row to move to: the keys are the edit's.
    if (watched == edValue && event->type() == QEvent::KeyPress && cdsSearch.isActive()) {
        auto *key = static_cast<QKeyEvent *>(event);
        int column = qMax(0, grSearch->currentIndex().column());
        if (m_cursor.HandleKey(key->key(), key->modifiers(), column, grModel->columnCount(), VisibleRows())) {
            const int r = cdsSearch.isEmpty() ? -1 : cdsSearch.recNo() - 1;
            if (r >= 0)
                grSearch->setCurrentIndex(grModel->index(r, column));
            return true;
        }
    }
    return TfmUqDialog::eventFilter(watched, event);
}

void TfmTovRicerca::RegisterClass()
{
    platform::FormRegistry::Register(QStringLiteral("TfmTovRicerca"),
                                     [](QWidget *owner) -> QWidget * { return new TfmTovRicerca(owner); });
}

void TfmTovRicerca::UnregisterClass()
{
    platform::FormRegistry::Unregister(QStringLiteral("TfmTovRicerca"));
}

Value TfmTovRicerca::SearchValue(const QString &name, Field *field, ITovDBCds *store)
{
    Value value = Value::null();
    m_field = field;
    cdsSearch.close();
    cdsSearch.setIndexFieldNames(QString());
    if (store) {
        store->Load(cdsSearch, name);
        if (Field *rowNo = cdsSearch.findField(QStringLiteral("IFISRIGO")))
            rowNo->setVisible(false);
    } else {
        TTovCds::LoadFromFile(cdsSearch, name);
    }
    cdsSearch.first();
    cdsSearchAfterOpen();
    m_field = nullptr;
    edValue->setFocus();
    if (ShowModal() == mrOk && cdsSearch.isActive() && !cdsSearch.isEmpty()) {
        Field *result = nullptr;
        for (const auto &f : cdsSearch.fields())
            if (f->isVisible()) {
                result = f.get();
                break;
            }
        value = (result ? result : cdsSearch.field(0))->value();
    }
    return value;
}

void TfmTovRicerca::SearchField(Field &field, const QString &name, ITovDBCds *store)
{
    DataSet *owner = field.dataSet();
    if (!owner || !owner->canModify())
        return;
    if (owner->state() == platform::DataSetState::Browse)
        owner->edit();
    const Value value = SearchValue(name, &field, store);
    cdsSearch.close();
    if (!value.isEmpty())
        field.setValue(value);
}

Value TfmTovRicerca::LookupValue(const QString &fileName, const platform::ValueList &keyValues,
                                 const QString &keyFields, const QString &resultField)
{
    cdsSearch.close();
    cdsSearch.setIndexFieldNames(QString());
    TTovCds::LoadFromFile(cdsSearch, fileName);
    if (!cdsSearch.locate(keyFields, keyValues))
        return Value();
    return cdsSearch.fieldValue(resultField);
}

DataSet *TfmTovRicerca::SearchRecord(const QString &fileName)
{
    const Value value = SearchValue(fileName, nullptr);
    if (value.isEmpty()) {
        cdsSearch.close();
        return nullptr;
    }
    return &cdsSearch;
}

TfmTovRicerca *fmTovRicerca()
{
    static QPointer<TfmTovRicerca> instance;
    if (!instance) {
        instance = new TfmTovRicerca;
        // A window with no owner: freed when the program's message loop
        // ends, while the application still stands.
        if (auto *app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, instance.data(), [] { delete instance.data(); });
    }
    return instance;
}
