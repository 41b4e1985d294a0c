#include "UqMDIMain.h"

#include "UqChildDoc.h"
#include "UqParams.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {
TfmUqMDIMain *g_mainWindow = nullptr;
}

TfmUqMDIMain::TfmUqMDIMain(QWidget *parent, int statusPanels) : QMainWindow(parent)
{
    g_mainWindow = this;
    // Code without windows asks the program's parameters through this.
    TUqParamManager::SetProgramManagerSource([] {
        const TfmUqMDIMain *main = TfmUqMDIMain::MainWindow();
        return main ? main->ParamManager : nullptr;
    });
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea);

    dkNavigator = new QDockWidget(this);
    dkNavigator->setObjectName(QStringLiteral("dkNavigator"));
    dkNavigator->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dkNavigator->setTitleBarWidget(new QWidget(dkNavigator));
    paNavigator = new QWidget(dkNavigator);
    paNavigator->setObjectName(QStringLiteral("paNavigator"));
    paNavigator->setLayout(new QVBoxLayout);
    paNavigator->layout()->setContentsMargins(0, 0, 0, 0);
    dkNavigator->setWidget(paNavigator);
    addDockWidget(Qt::LeftDockWidgetArea, dkNavigator);

    mnHelp = menuBar()->addMenu(QStringLiteral("&?"));
    mnHelp->setObjectName(QStringLiteral("mnHelp"));
    acAid = new QAction(QStringLiteral("&Guida"), this);
    acAid->setObjectName(QStringLiteral("acAid"));
    acAid->setShortcut(QKeySequence(Qt::Key_F1));
    mnHelp->addAction(acAid);
    acReportMan = new QAction(QStringLiteral("Gestione stampe"), this);
    acReportMan->setObjectName(QStringLiteral("acReportMan"));
    acReportMan->setVisible(false);
    alMain << acAid << acReportMan;

    for (int i = 0; i < qMax(1, statusPanels); ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("stPanel%1").arg(i));
        statusBar()->addWidget(label, i == 0 ? 0 : 1);
        m_statusPanels << label;
    }
}

TfmUqMDIMain::~TfmUqMDIMain()
{
    if (g_mainWindow == this)
        g_mainWindow = nullptr;
}

TfmUqMDIMain *TfmUqMDIMain::MainWindow()
{
    return g_mainWindow;
}

QMdiSubWindow *TfmUqMDIMain::AddChild(TfmUqChildDoc *child)
{
    QMdiSubWindow *sub = mdiArea->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(child->windowTitle());
    // As large as its content asks and at least most of the area, so that
    // it is usable without maximizing; never larger than the area.
    const QSize area = mdiArea->viewport()->size();
    if (!area.isEmpty())
        sub->resize(sub->sizeHint().expandedTo(area * 0.9).boundedTo(area));
    child->show();
    sub->show();
    return sub;
}

QList<TfmUqChildDoc *> TfmUqMDIMain::Children() const
{
    QList<TfmUqChildDoc *> out;
    for (QMdiSubWindow *sub : mdiArea->subWindowList())
        if (auto *doc = qobject_cast<TfmUqChildDoc *>(sub->widget()))
            out << doc;
    return out;
}

bool TfmUqMDIMain::CloseAllChildren()
{
    for (QMdiSubWindow *sub : mdiArea->subWindowList())
        if (!sub->close())
            return false;
    return true;
}

void TfmUqMDIMain::SetStatusText(int panel, const QString &text)
{
    if (panel >= 0 && panel < m_statusPanels.size())
        m_statusPanels.at(panel)->setText(text);
}

QString TfmUqMDIMain::StatusText(int panel) const
{
    return panel >= 0 && panel < m_statusPanels.size() ? m_statusPanels.at(panel)->text() : QString();
}

void TfmUqMDIMain::FormShow() {}

void TfmUqMDIMain::FormActivate() {}

void TfmUqMDIMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfmUqMDIMain::closeEvent(QCloseEvent *event)
{
    if (CloseAllChildren())
        event->accept();
    else
        event->ignore();
}

bool TfmUqMDIMain::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return handled;
}
