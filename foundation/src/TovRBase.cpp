#include "TovRBase.h"

#include "DataSetModel.h"
#include "Exceptions.h"
#include "Field.h"
#include "Format.h"
#include "UqMessages.h"

#include <QAbstractItemView>
#include <QAction>
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
using platform::FieldType;

const QString TfrTovBase::PostRefused = QStringLiteral("Salvare prima di cambiare modello.");

TfrTovBase::TfrTovBase(QWidget *parent)
    : TfrUqBase(parent)
    , cdsMain(QStringLiteral("cdsMain"))
{
    setObjectName(QStringLiteral("frTovBase"));
    dsMain = new TDataSource(this, &cdsMain);
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
    connect(grFrame->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() != grModel->currentRow())
                    RunAction([&] { grModel->setCurrentRow(current.row()); });
            });

    // Every shortcut but F2 carries Ctrl.
    acFirst = AddAction(QStringLiteral("acFirst"), QStringLiteral("&Primo"), QStringLiteral("Primo elemento"),
                        QKeySequence(Qt::CTRL | Qt::Key_Home), 0);
    acPrior = AddAction(QStringLiteral("acPrior"), QStringLiteral("Pre&cedente"), QStringLiteral("Elemento precedente"),
                        QKeySequence(Qt::CTRL | Qt::Key_Up), 1);
    acNext = AddAction(QStringLiteral("acNext"), QStringLiteral("&Successivo"), QStringLiteral("Elemento successivo"),
                       QKeySequence(Qt::CTRL | Qt::Key_Down), 2);
    acLast = AddAction(QStringLiteral("acLast"), QStringLiteral("&Ultimo"), QStringLiteral("Ultimo elemento"),
                       QKeySequence(Qt::CTRL | Qt::Key_End), 3);
    AddSeparator();
    acInsert = AddAction(QStringLiteral("acInsert"), QStringLiteral("&Inserisci"), QStringLiteral("Nuovo elemento"),
                         QKeySequence(Qt::CTRL | Qt::Key_Insert), 4);
    acDelete = AddAction(QStringLiteral("acDelete"), QStringLiteral("C&ancella"), QStringLiteral("Cancella elemento"),
                         QKeySequence(Qt::CTRL | Qt::Key_Delete), 5);
    acEdit = AddAction(QStringLiteral("acEdit"), QStringLiteral("&Modifica"), QStringLiteral("Modifica elemento"),
                       QKeySequence(Qt::Key_F2), 6);
    AddSeparator();
    acPost = AddAction(QStringLiteral("acPost"), QStringLiteral("C&onferma"), QStringLiteral("Conferma modifiche"),
                       QKeySequence(Qt::CTRL | Qt::Key_Return), 7);
    acCancel = AddAction(QStringLiteral("acCancel"), QStringLiteral("A&nnulla"), QStringLiteral("Annulla modifiche "),
                         QKeySequence(Qt::CTRL | Qt::Key_Z), 8);
    RefreshActionLists();

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
    const platform::Value v = field.value();
    if (field.isNull() || field.asFloat() == 0.0)
        return {};
    const QString format = display || field.editFormat().isEmpty() ? field.displayFormat() : field.editFormat();
    if (!format.isEmpty())
        return platform::formatNumber(format, v);
    QString text = field.asString();
    const FieldType t = field.dataType();
    if (t == FieldType::Float || t == FieldType::Currency || t == FieldType::BCD)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

void TfrTovBase::acPostExecute()
{
    struct CloseGuard {
        TfrTovBase &frame;
        ~CloseGuard() { frame.SetPostAllowed(false); }
    } closeGuard{*this};
    SetPostAllowed(true);
    if (DataSet *ds = dsMain->DataSet())
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
    if (DataSet *ds = dsMain->DataSet())
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
    // controls of a page shown for the first time take their places.
    for (QTabWidget *pages : findChildren<QTabWidget *>()) {
        QWidget *parent = pages->parentWidget();
        if (!parent || pages->height() < parent->contentsRect().height())
            continue;
        pages->tabBar()->updateGeometry();
        if (QLayout *layout = pages->layout())
            layout->invalidate();
        pages->updateGeometry();
    }
}

void TfrTovBase::UpdateActions()
{
    const bool active = cdsMain.isActive();
    const bool editing = cdsMain.isEditing();
    const bool empty = !active || cdsMain.isEmpty();
    acFirst->setEnabled(active && !empty && !cdsMain.bof());
    acPrior->setEnabled(active && !empty && !cdsMain.bof());
    acNext->setEnabled(active && !empty && !cdsMain.eof());
    acLast->setEnabled(active && !empty && !cdsMain.eof());
    acInsert->setEnabled(active);
    acDelete->setEnabled(active && !empty);
    acEdit->setEnabled(active && !editing);
    acPost->setEnabled(editing);
    acCancel->setEnabled(editing);
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
