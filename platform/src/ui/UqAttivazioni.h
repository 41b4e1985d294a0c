#pragma once
// The framework's command registry: pages of the navigation bar (each also a
// menu of the main window) and the commands on them. A program derives its
// registry from TdmUqAttivazioni and declares its pages and commands in the
// constructor (AddPage, AddForm, AddShell), then hooks the guards and
// launchers it needs on the commands' before- and after-execute events.
//
// Build() turns the declarations into the bar (a QToolBox in the container
// given by SetContainer: one header per page, sorted by order, its visible
// commands as buttons sorted by order) and one menu per page in the menu,
// placed before the Help menu. A button and its menu item share the
// command's QAction; choosing it runs Execute(), and a failure is shown to
// the user as the framework shows exceptions (UqShowException).
//
// Commands:
//   TUqAttForm   opens a window by class name (platform::FormRegistry):
//                modal ones as a dialog run through Services::execDialog and
//                freed afterwards; the others as MDI document windows of the
//                main window, one instance per command (running it again
//                brings the open one forward).
//   TUqAttShell  opens a document through Services::openDocument.
//
// Execute() runs the before-execute event (which may clear goOn to cancel
// the command's own work), then, when goOn, the command's work, then the
// after-execute event. It runs whether or not the command is visible or
// enabled: those flags govern only what the user can choose (the main
// window runs hidden commands such as a news document directly).
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QToolBox;
class QWidget;
class TdmUqAttivazioni;
class TfmUqMDIMain;

// A page of the navigation bar and a menu of the main window.
class TUqApgPage : public QObject {
    Q_OBJECT
public:
    explicit TUqApgPage(TdmUqAttivazioni *owner, const QString &name = {});

    QString Caption;
    int Order = 0;
    bool InMenu = true;

    TdmUqAttivazioni *Registry() const;
};

// A command (objectName = its name, e.g. "xafImport").
class TUqAttivazione : public QObject {
    Q_OBJECT
public:
    using BeforeExecuteEvent = std::function<void(TUqAttivazione *, bool &goOn)>;
    using AfterExecuteEvent = std::function<void(TUqAttivazione *)>;

    explicit TUqAttivazione(TdmUqAttivazioni *owner, const QString &name = {});
    ~TUqAttivazione() override;

    QString Caption;
    QString Hint;
    TUqApgPage *Page = nullptr; // nullptr: in neither bar nor menu
    int Order = 0;
    int ImageIndex = -1; // index in the registry's images; -1 none
    bool Visible = true;
    bool Enabled = true;

    // goOn=false cancels the command's own work (the after-execute event
    // still runs).
    BeforeExecuteEvent OnBeforeExecute;
    AfterExecuteEvent OnAfterExecute;

    // Before-execute, then (if goOn) DoExecute(), then after-execute.
    // Exceptions reach the caller.
    void Execute();

    // The action the bar button and the menu item share; its text, tip,
    // icon, visibility and enabled state follow the fields at every
    // SyncAction() (Build() calls it for every command).
    QAction *Action() const;
    void SyncAction();

    TdmUqAttivazioni *Registry() const;

protected:
    // The command's own work.
    virtual void DoExecute() = 0;

private:
    QAction *m_action;
};

// Opens a window by class name through platform::FormRegistry.
class TUqAttForm : public TUqAttivazione {
    Q_OBJECT
public:
    using InitializedFormEvent = std::function<void(TUqAttForm *, QWidget *form)>;

    explicit TUqAttForm(TdmUqAttivazioni *owner, const QString &name = {});

    QString FormClass; // empty: the command opens nothing of its own
    bool Modal = false;
    // After the window is created, before it is shown.
    InitializedFormEvent OnInitializedForm;

    // The open non-modal instance (one per command), nullptr when none.
    QWidget *Instance() const;

protected:
    void DoExecute() override;

private:
    QPointer<QWidget> m_instance;
};

// Opens a document (or runs a program) through platform::Services.
class TUqAttShell : public TUqAttivazione {
    Q_OBJECT
public:
    explicit TUqAttShell(TdmUqAttivazioni *owner, const QString &name = {});

    QString FileName; // relative names are taken from Folder
    QString Folder;
    QString Parameters;
    bool Wait = false;

protected:
    void DoExecute() override;
};

// The registry: owns its pages and commands (declaration order is kept).
class TdmUqAttivazioni : public QObject {
    Q_OBJECT
public:
    explicit TdmUqAttivazioni(QObject *parent = nullptr);
    ~TdmUqAttivazioni() override;

    // In declaration order.
    QList<TUqApgPage *> Pages() const;
    QList<TUqAttivazione *> Commands() const;
    // By objectName (exact), nullptr when absent.
    TUqAttivazione *Command(const QString &name) const;
    TUqApgPage *Page(const QString &name) const;

    // Declaration helpers (the registry owns what they create).
    TUqApgPage *AddPage(const QString &name, const QString &caption, int order, bool inMenu = true);
    TUqAttForm *AddForm(const QString &name, TUqApgPage *page, int order, const QString &caption,
                        const QString &formClass, bool modal = false, int imageIndex = -1);
    TUqAttShell *AddShell(const QString &name, TUqApgPage *page, int order, const QString &caption,
                          const QString &fileName, int imageIndex = -1);

    // The images the commands' ImageIndex refers to (the bar's image list).
    void SetImages(const QList<QIcon> &images);
    QIcon Image(int index) const;

    // The navigation-bar container (TfmUqMDIMain::paNavigator).
    void SetContainer(QWidget *container);
    QWidget *Container() const;
    // Builds the bar in the container and one menu per page in the menu of
    // the main window (before its Help menu). Building again replaces both.
    void Build(TfmUqMDIMain *mainWindow);
    QToolBox *Bar() const;        // nullptr before Build
    QList<QMenu *> Menus() const; // the menus built, in page order
    void SetActivePage(int index);

    // The main window given to Build, else the framework's main window.
    TfmUqMDIMain *MainWindow() const;
    // Whether the main window holds any MDI document window.
    bool HasChildWindows() const;

    // Called by a form command whose window class is not registered (after
    // its before-execute let it go on). Base: raises EUqError naming the
    // class. A program may say instead that the function is not there yet.
    virtual void FormClassUnavailable(TUqAttForm *command);

    // Pages sorted by order (declaration order among equals), and the
    // visible commands of a page sorted the same way: what Build shows.
    QList<TUqApgPage *> SortedPages() const;
    QList<TUqAttivazione *> VisibleCommands(const TUqApgPage *page) const;

private:
    void ClearBuilt();
    // A new command of class T with what every command declares.
    template <class T>
    T *Declare(const QString &name, TUqApgPage *page, int order, const QString &caption, int imageIndex);

    QList<QIcon> m_images;
    QPointer<QWidget> m_container;
    QPointer<TfmUqMDIMain> m_mainWindow;
    QPointer<QToolBox> m_bar;
    QList<QPointer<QMenu>> m_menus;
};
