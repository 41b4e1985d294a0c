#include "UqAttivazioni.h"

#include "Exceptions.h"
#include "FormRegistry.h"
#include "Services.h"
#include "UqChildDoc.h"
#include "UqMDIMain.h"
#include "UqMessages.h"

#include <QAction>
#include <QDialog>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

using platform::FormRegistry;
using platform::Services;

// ---------------------------------------------------------------- TUqApgPage

TUqApgPage::TUqApgPage(TdmUqAttivazioni *owner, const QString &name) : QObject(owner)
{
    setObjectName(name);
}

TdmUqAttivazioni *TUqApgPage::Registry() const
{
    return qobject_cast<TdmUqAttivazioni *>(parent());
}

// ------------------------------------------------------------ TUqAttivazione

TUqAttivazione::TUqAttivazione(TdmUqAttivazioni *owner, const QString &name)
    : QObject(owner), m_action(new QAction(this))
{
    setObjectName(name);
    m_action->setObjectName(name);
    // A choice of the user: a failure is shown, never lost in the event loop.
    connect(m_action, &QAction::triggered, this, [this] {
        try {
            Execute();
        } catch (const std::exception &error) {
            UqShowException(error);
        }
    });
}

TUqAttivazione::~TUqAttivazione() = default;

void TUqAttivazione::Execute()
{
    bool goOn = true;
    if (OnBeforeExecute)
        OnBeforeExecute(this, goOn);
    if (goOn)
        DoExecute();
    if (OnAfterExecute)
        OnAfterExecute(this);
}

QAction *TUqAttivazione::Action() const
{
    return m_action;
}

void TUqAttivazione::SyncAction()
{
    m_action->setText(Caption);
    m_action->setToolTip(Hint.isEmpty() ? Caption : Hint);
    m_action->setStatusTip(Hint);
    if (TdmUqAttivazioni *registry = Registry())
        m_action->setIcon(registry->Image(ImageIndex));
    m_action->setVisible(Visible);
    m_action->setEnabled(Enabled);
}

TdmUqAttivazioni *TUqAttivazione::Registry() const
{
    return qobject_cast<TdmUqAttivazioni *>(parent());
}

// ---------------------------------------------------------------- TUqAttForm

TUqAttForm::TUqAttForm(TdmUqAttivazioni *owner, const QString &name) : TUqAttivazione(owner, name) {}

QWidget *TUqAttForm::Instance() const
{
    return m_instance.data();
}

void TUqAttForm::DoExecute()
{
    if (FormClass.isEmpty())
        return;
    TdmUqAttivazioni *registry = Registry();
    if (!FormRegistry::IsRegistered(FormClass)) {
        if (registry)
            registry->FormClassUnavailable(this);
        else
            throw EUqError(QStringLiteral("Classe di finestra non registrata: %1").arg(FormClass));
        return;
    }
    TfmUqMDIMain *mainWindow = registry ? registry->MainWindow() : TfmUqMDIMain::MainWindow();

    if (Modal) {
        std::unique_ptr<QWidget> form(FormRegistry::Create(FormClass, mainWindow));
        auto *dialog = qobject_cast<QDialog *>(form.get());
        if (!dialog)
            throw EUqError(
                QStringLiteral("La finestra %1 non può essere aperta come finestra di dialogo").arg(FormClass));
        if (OnInitializedForm)
            OnInitializedForm(this, dialog);
        Services::instance().execDialog(*dialog);
        return;
    }

    // One instance per command: running it again brings the open one forward.
    if (QWidget *open = m_instance.data()) {
        auto *doc = qobject_cast<TfmUqChildDoc *>(open);
        QMdiSubWindow *sub = doc ? doc->SubWindow() : nullptr;
        if (sub && sub->mdiArea()) {
            if (sub->isMinimized())
                sub->showNormal();
            sub->mdiArea()->setActiveSubWindow(sub);
        } else {
            open->show();
            open->raise();
            open->activateWindow();
        }
        return;
    }

    std::unique_ptr<QWidget> form(FormRegistry::Create(FormClass, mainWindow));
    if (OnInitializedForm)
        OnInitializedForm(this, form.get());
    QWidget *shown = form.get();
    if (auto *doc = qobject_cast<TfmUqChildDoc *>(shown); doc && mainWindow) {
        form.release();
        m_instance = doc;
        mainWindow->AddChild(doc);
    } else {
        // No main window to hold it (or not a document window): a window of
        // its own, freed when closed.
        form.release();
        shown->setParent(mainWindow, Qt::Window);
        shown->setAttribute(Qt::WA_DeleteOnClose);
        m_instance = shown;
        shown->show();
    }
}

// --------------------------------------------------------------- TUqAttShell

TUqAttShell::TUqAttShell(TdmUqAttivazioni *owner, const QString &name) : TUqAttivazione(owner, name) {}

void TUqAttShell::DoExecute()
{
    platform::ShellRequest request;
    request.file = FileName;
    request.parameters = Parameters;
    request.folder = Folder;
    request.wait = Wait;
    Services::instance().openDocument(request);
}

// ---------------------------------------------------------- TdmUqAttivazioni

TdmUqAttivazioni::TdmUqAttivazioni(QObject *parent) : QObject(parent) {}

TdmUqAttivazioni::~TdmUqAttivazioni()
{
    ClearBuilt();
}

QList<TUqApgPage *> TdmUqAttivazioni::Pages() const
{
    return findChildren<TUqApgPage *>(QString(), Qt::FindDirectChildrenOnly);
}

QList<TUqAttivazione *> TdmUqAttivazioni::Commands() const
{
    return findChildren<TUqAttivazione *>(QString(), Qt::FindDirectChildrenOnly);
}

TUqAttivazione *TdmUqAttivazioni::Command(const QString &name) const
{
    for (TUqAttivazione *command : Commands())
        if (command->objectName() == name)
            return command;
    return nullptr;
}

TUqApgPage *TdmUqAttivazioni::Page(const QString &name) const
{
    for (TUqApgPage *page : Pages())
        if (page->objectName() == name)
            return page;
    return nullptr;
}

TUqApgPage *TdmUqAttivazioni::AddPage(const QString &name, const QString &caption, int order, bool inMenu)
{
    ZEP_ASSERT(!Page(name), "Pagina già dichiarata: " + name);
    auto *page = new TUqApgPage(this, name);
    page->Caption = caption;
    page->Order = order;
    page->InMenu = inMenu;
    return page;
}

template <class T>
T *TdmUqAttivazioni::Declare(const QString &name, TUqApgPage *page, int order, const QString &caption, int imageIndex)
{
    ZEP_ASSERT(!Command(name), "Comando già dichiarato: " + name);
    auto *command = new T(this, name);
    command->Page = page;
    command->Order = order;
    command->Caption = caption;
    command->ImageIndex = imageIndex;
    return command;
}

TUqAttForm *TdmUqAttivazioni::AddForm(const QString &name, TUqApgPage *page, int order, const QString &caption,
                                      const QString &formClass, bool modal, int imageIndex)
{
    auto *command = Declare<TUqAttForm>(name, page, order, caption, imageIndex);
    command->FormClass = formClass;
    command->Modal = modal;
    command->SyncAction();
    return command;
}

TUqAttShell *TdmUqAttivazioni::AddShell(const QString &name, TUqApgPage *page, int order, const QString &caption,
                                        const QString &fileName, int imageIndex)
{
    auto *command = Declare<TUqAttShell>(name, page, order, caption, imageIndex);
    command->FileName = fileName;
    command->SyncAction();
    return command;
}

void TdmUqAttivazioni::SetImages(const QList<QIcon> &images)
{
    m_images = images;
    for (TUqAttivazione *command : Commands())
        command->SyncAction();
}

QIcon TdmUqAttivazioni::Image(int index) const
{
    return index >= 0 && index < m_images.size() ? m_images.at(index) : QIcon();
}

void TdmUqAttivazioni::SetContainer(QWidget *container)
{
    m_container = container;
}

QWidget *TdmUqAttivazioni::Container() const
{
    return m_container.data();
}

QList<TUqApgPage *> TdmUqAttivazioni::SortedPages() const
{
    QList<TUqApgPage *> pages = Pages();
    std::stable_sort(pages.begin(), pages.end(),
                     [](const TUqApgPage *a, const TUqApgPage *b) { return a->Order < b->Order; });
    return pages;
}

QList<TUqAttivazione *> TdmUqAttivazioni::VisibleCommands(const TUqApgPage *page) const
{
    QList<TUqAttivazione *> commands;
    if (!page)
        return commands;
    for (TUqAttivazione *command : Commands())
        if (command->Page == page && command->Visible)
            commands << command;
    std::stable_sort(commands.begin(), commands.end(),
                     [](const TUqAttivazione *a, const TUqAttivazione *b) { return a->Order < b->Order; });
    return commands;
}

void TdmUqAttivazioni::ClearBuilt()
{
    for (const QPointer<QMenu> &menu : std::as_const(m_menus))
        delete menu.data();
    m_menus.clear();
    delete m_bar.data();
    m_bar = nullptr;
}

void TdmUqAttivazioni::Build(TfmUqMDIMain *mainWindow)
{
    ClearBuilt();
    m_mainWindow = mainWindow;
    for (TUqAttivazione *command : Commands())
        command->SyncAction();

    QWidget *container = m_container ? m_container.data() : (mainWindow ? mainWindow->paNavigator : nullptr);
    const QList<TUqApgPage *> pages = SortedPages();

    if (container) {
        auto *bar = new QToolBox(container);
        bar->setObjectName(QStringLiteral("UqNavigationBar"));
        if (!container->layout()) {
            auto *layout = new QVBoxLayout(container);
            layout->setContentsMargins(0, 0, 0, 0);
        }
        container->layout()->addWidget(bar);
        for (TUqApgPage *page : pages) {
            auto *pageWidget = new QWidget(bar);
            pageWidget->setObjectName(page->objectName());
            auto *layout = new QVBoxLayout(pageWidget);
            for (TUqAttivazione *command : VisibleCommands(page)) {
                auto *button = new QToolButton(pageWidget);
                button->setObjectName(QStringLiteral("bu") + command->objectName());
                button->setDefaultAction(command->Action());
                button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
                button->setAutoRaise(true);
                button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
                layout->addWidget(button);
            }
            layout->addStretch(1);
            bar->addItem(pageWidget, page->Caption);
        }
        bar->show();
        m_bar = bar;
    }

    if (mainWindow) {
        QMenuBar *menuBar = mainWindow->menuBar();
        QAction *before = mainWindow->mnHelp ? mainWindow->mnHelp->menuAction() : nullptr;
        for (TUqApgPage *page : pages) {
            if (!page->InMenu)
                continue;
            auto *menu = new QMenu(page->Caption, mainWindow);
            menu->setObjectName(QStringLiteral("mn") + page->objectName());
            for (TUqAttivazione *command : VisibleCommands(page))
                menu->addAction(command->Action());
            if (before)
                menuBar->insertMenu(before, menu);
            else
                menuBar->addMenu(menu);
            m_menus << menu;
        }
    }
}

QToolBox *TdmUqAttivazioni::Bar() const
{
    return m_bar.data();
}

QList<QMenu *> TdmUqAttivazioni::Menus() const
{
    QList<QMenu *> menus;
    for (const QPointer<QMenu> &menu : m_menus)
        if (menu)
            menus << menu.data();
    return menus;
}

void TdmUqAttivazioni::SetActivePage(int index)
{
    if (m_bar && index >= 0 && index < m_bar->count())
        m_bar->setCurrentIndex(index);
}

TfmUqMDIMain *TdmUqAttivazioni::MainWindow() const
{
    return m_mainWindow ? m_mainWindow.data() : TfmUqMDIMain::MainWindow();
}

bool TdmUqAttivazioni::HasChildWindows() const
{
    TfmUqMDIMain *mainWindow = MainWindow();
    return mainWindow && !mainWindow->mdiArea->subWindowList().isEmpty();
}

void TdmUqAttivazioni::FormClassUnavailable(TUqAttForm *command)
{
    throw EUqError(QStringLiteral("Classe di finestra non registrata: %1").arg(command->FormClass));
}
