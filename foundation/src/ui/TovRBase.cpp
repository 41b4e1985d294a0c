#include "TovRBase.h"

#include "DataSetModel.h"
#include "Exceptions.h"
#include "Field.h"
#include "Format.h"
#include "UqMessages.h"
#include "tovUUtil.h"

#include <QAbstractItemView>
#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

using platform::DataSet;
using platform::DataSetState;
using platform::Field;

const QString TfrTovBase::PostRefused = QStringLiteral("Salvare prima di cambiare modello.");

TfrTovBase::TfrTovBase(QWidget *parent) : TfrUqBase(parent), cdsMain(QStringLiteral("cdsMain"))
{
    setObjectName(QStringLiteral("frTovBase"));
    dsMain = new platform::DataSource(this, &cdsMain);
    dsMain->setObjectName(QStringLiteral("dsMain"));

    pcMain = new QTabWidget(paClient);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    tsGrid = new QWidget;
    tsGrid->setObjectName(QStringLiteral("tsGrid"));
    tsDetail = new QWidget;
    tsDetail->setObjectName(QStringLiteral("tsDetail"));
    pcMain->addTab(tsGrid, QStringLiteral("Griglia"));
    pcMain->addTab(tsDetail, QStringLiteral("Dettaglio"));
    pcMain->setCurrentWidget(tsGrid);
    ClientLayout()->addWidget(pcMain);

    grFrame = new QTableView(tsGrid);
    grFrame->setObjectName(QStringLiteral("grFrame"));
    grFrame->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grFrame->setSelectionBehavior(QAbstractItemView::SelectRows);
    grFrame->setSelectionMode(QAbstractItemView::SingleSelection);
    grModel = new platform::DataSetModel(&cdsMain, grFrame);
    grFrame->setModel(grModel);
    auto *gridLayout = new QVBoxLayout(tsGrid);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(grFrame);
    // The grid shows the record the frame is on: a move of the dataset
    // moves the grid, and a row chosen in the grid that the dataset refuses
    // (the post guard while editing) puts the grid back on the record, so
    // that the actions never act on a record other than the one shown.
    connect(grFrame->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() != grModel->currentRow()) {
                    RunAction([&] { grModel->setCurrentRow(current.row()); });
                    SyncGrid();
                }
            });
    connect(grModel, &platform::DataSetModel::currentRowChanged, this, [this] { SyncGrid(); });
    connect(grModel, &QAbstractItemModel::modelReset, this, [this] { SyncGrid(); });

    acFirst = AddAction(QStringLiteral("acFirst"), QStringLiteral("&Primo"), QStringLiteral("Primo elemento"), {}, 0);
    acPrior = AddAction(QStringLiteral("acPrior"), QStringLiteral("Pre&cedente"), QStringLiteral("Elemento precedente"),
                        {}, 1);
    acNext = AddAction(QStringLiteral("acNext"), QStringLiteral("&Successivo"), QStringLiteral("Elemento successivo"),
                       {}, 2);
    acLast = AddAction(QStringLiteral("acLast"), QStringLiteral("&Ultimo"), QStringLiteral("Ultimo elemento"), {}, 3);
    AddSeparator();
    acInsert = AddAction(QStringLiteral("acInsert"), QStringLiteral("&Inserisci"), QStringLiteral("Nuovo elemento"), {},
                         4);
    acDelete = AddAction(QStringLiteral("acDelete"), QStringLiteral("C&ancella"), QStringLiteral("Cancella elemento"),
                         {}, 5);
    acEdit = AddAction(QStringLiteral("acEdit"), QStringLiteral("&Modifica"), QStringLiteral("Modifica elemento"), {},
                       6);
    AddSeparator();
    acPost = AddAction(QStringLiteral("acPost"), QStringLiteral("C&onferma"), QStringLiteral("Conferma modifiche"), {},
                       7);
    acCancel = AddAction(QStringLiteral("acCancel"), QStringLiteral("A&nnulla"), QStringLiteral("Annulla modifiche "),
                         {}, 8);

    // Every shortcut but F2 carries Ctrl. They belong to the action bar:
    // a frame whose control bar is hidden has neither the buttons nor the
    // keys, so that a frame placed inside another does not take the keys
    // of the outer one. The keypad's Enter confirms as the main one does.
    m_shortcuts = {
        {acFirst, {QKeySequence(Qt::CTRL | Qt::Key_Home)}},
        {acPrior, {QKeySequence(Qt::CTRL | Qt::Key_Up)}},
        {acNext, {QKeySequence(Qt::CTRL | Qt::Key_Down)}},
        {acLast, {QKeySequence(Qt::CTRL | Qt::Key_End)}},
        {acInsert, {QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {acDelete, {QKeySequence(Qt::CTRL | Qt::Key_Delete)}},
        {acEdit, {QKeySequence(Qt::Key_F2)}},
        {acPost, {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}},
        {acCancel, {QKeySequence(Qt::CTRL | Qt::Key_Z)}},
    };
    UpdateShortcuts();
    orFrame->installEventFilter(this);

    connect(acFirst, &QAction::triggered, this, [this] { RunAction([this] { cdsMain.first(); }); });
    connect(acPrior, &QAction::triggered, this, [this] { RunAction([this] { cdsMain.prior(); }); });
    connect(acNext, &QAction::triggered, this, [this] { RunAction([this] { cdsMain.next(); }); });
    connect(acLast, &QAction::triggered, this, [this] { RunAction([this] { cdsMain.last(); }); });
    connect(acInsert, &QAction::triggered, this, [this] { RunAction([this] { acInsertExecute(); }); });
    connect(acDelete, &QAction::triggered, this, [this] { RunAction([this] { cdsMain.deleteRecord(); }); });
    connect(acEdit, &QAction::triggered, this, [this] { RunAction([this] { cdsMain.edit(); }); });
    connect(acPost, &QAction::triggered, this, [this] { RunAction([this] { acPostExecute(); }); });
    connect(acCancel, &QAction::triggered, this, [this] { RunAction([this] { cdsMain.cancel(); }); });
    connect(pcMain, &QTabWidget::currentChanged, this, [this](int index) {
        if (pcMain->widget(index) == tsDetail)
            tsDetailShow();
    });

    cdsMain.events().beforePost = [this](DataSet &ds) { cdsMainBeforePost(ds); };
    m_observer = cdsMain.addObserver([this](const platform::DataChange &change) {
        if (change.kind == platform::DataChange::Destroyed)
            return;
        if (cdsMain.state() != m_lastState) {
            m_lastState = cdsMain.state();
            dsMainStateChange();
        }
        UpdateActions();
    });

    SetAutoDetail(true);
    UpdateActions();
}

TfrTovBase::~TfrTovBase()
{
    cdsMain.removeObserver(m_observer);
    cdsMain.events().beforePost = nullptr;
    // cdsMain goes before the grid: its last reset must not reach the frame.
    disconnect(grModel, nullptr, this, nullptr);
    disconnect(grFrame->selectionModel(), nullptr, this, nullptr);
}

QString TfrTovBase::RecordPositionText(const DataSet &dataSet)
{
    const int recNo = dataSet.recNo();
    if (recNo < 0)
        return QStringLiteral("Ins.");
    return platform::format(QStringLiteral("%d di %d"), dataSet.isEmpty() ? 0 : recNo, dataSet.recordCount());
}

void TfrTovBase::ShowRecordPosition(QLineEdit *edit) const
{
    edit->setText(RecordPositionText(cdsMain));
}

QString TfrTovBase::NumericFieldGetText(const Field &field, bool display)
{
    return TTovDataSet::NumericText(field, display);
}

void TfrTovBase::acPostExecute()
{
    struct CloseGuard {
        TfrTovBase &frame;
        ~CloseGuard() { frame.SetPostAllowed(false); }
    } closeGuard{*this};
    SetPostAllowed(true);
    if (DataSet *ds = dsMain->dataSet())
        ds->post();
}

void TfrTovBase::cdsMainBeforePost(DataSet &)
{
    if (m_postAllowed)
        return;
    UqMessageBox(PostRefused, QString(), platform::Ok);
    throw platform::EAbort();
}

void TfrTovBase::acInsertExecute()
{
    if (DataSet *ds = dsMain->dataSet())
        ds->append();
}

void TfrTovBase::dsMainStateChange()
{
    if (!m_autoDetail || !dsMain->Pending())
        return;
    const int index = pcMain->indexOf(tsDetail);
    if (index >= 0 && pcMain->isTabVisible(index))
        pcMain->setCurrentIndex(index);
}

void TfrTovBase::tsDetailShow()
{
    RefreshPageControls();
}

void TfrTovBase::RefreshPageControls()
{
    // A page control that fills its parent is laid out again, so that the
    // controls of a page shown for the first time take their places: its
    // tab height is made one higher and set back, which asks the page
    // control for a new layout of its tabs and pages.
    for (QTabWidget *pages : findChildren<QTabWidget *>()) {
        QWidget *parent = pages->parentWidget();
        if (!parent || pages->height() < parent->contentsRect().height())
            continue;
        QTabBar *bar = pages->tabBar();
        const int oldMinimum = bar->minimumHeight();
        bar->setMinimumHeight(bar->sizeHint().height() + 1);
        bar->setMinimumHeight(oldMinimum);
        bar->updateGeometry();
    }
}

void TfrTovBase::UpdateShortcuts()
{
    const bool assign = !orFrame->isHidden();
    if (assign == m_shortcutsAssigned)
        return;
    for (const auto &[action, keys] : std::as_const(m_shortcuts))
        action->setShortcuts(assign ? keys : QList<QKeySequence>());
    m_shortcutsAssigned = assign;
    RefreshActionLists();
}

bool TfrTovBase::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == orFrame && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        UpdateShortcuts();
    return TfrUqBase::eventFilter(watched, event);
}

void TfrTovBase::UpdateActions()
{
    UpdateDataSetActions({acFirst, acPrior, acNext, acLast, acInsert, acDelete, acEdit, acPost, acCancel}, cdsMain);
}

void TfrTovBase::SyncGrid()
{
    const int row = grModel->currentRow();
    const QModelIndex current = grFrame->currentIndex();
    if (row < 0 || current.row() == row)
        return;
    grFrame->setCurrentIndex(grModel->index(row, qMax(0, current.column())));
}

void TfrTovBase::RunAction(const std::function<void()> &work)
{
    try {
        work();
    } catch (const platform::EAbort &) {
        // Already told (the post guard), or a silent stop.
    } catch (const platform::Exception &e) {
        UqMessageBox(e.message(), QString(), platform::Ok);
    }
}
