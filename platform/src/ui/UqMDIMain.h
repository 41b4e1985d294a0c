#pragma once
// The framework's MDI main window: a QMainWindow over a QMdiArea, with a
// navigation-bar container on the left, the main menu (with the Help menu
// "&?"), an action list and a status bar of text panels. One main window is
// "the framework's main window" (MainWindow(), the last one created).
//
// Closing it closes every document window first, each asking its data;
// one that refuses keeps the main window open. FormShow() runs on the first
// show, FormActivate() on every activation: subclasses override them (and
// call these first).
#include <QList>
#include <QMainWindow>

class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class TfmUqChildDoc;
class TUqParamManager;

class TfmUqMDIMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmUqMDIMain(QWidget *parent = nullptr, int statusPanels = 2);
    ~TfmUqMDIMain() override;

    static TfmUqMDIMain *MainWindow();

    QMdiArea *mdiArea;
    QWidget *paNavigator;     // container of the navigation bar
    QDockWidget *dkNavigator; // its dock
    QMenu *mnHelp;            // "&?"
    QAction *acAid;           // "&Guida"
    QAction *acReportMan;     // report manager, hidden unless a program shows it
    QList<QAction *> alMain;  // the action list

    // The parameter manager of the program (not owned; may be nullptr).
    TUqParamManager *ParamManager = nullptr;

    // Puts a document window into a new sub-window and shows it, sized to
    // its content and at least nine tenths of the area (within the area).
    QMdiSubWindow *AddChild(TfmUqChildDoc *child);
    QList<TfmUqChildDoc *> Children() const;
    int MDIChildCount() const { return int(Children().size()); }
    // Closes every document window (each asks first); false when one stayed.
    bool CloseAllChildren();

    void SetStatusText(int panel, const QString &text);
    QString StatusText(int panel) const;

protected:
    virtual void FormShow();
    virtual void FormActivate();
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    QList<QLabel *> m_statusPanels;
    bool m_shown = false;
};
