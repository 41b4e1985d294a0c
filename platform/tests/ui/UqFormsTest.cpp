// The window bases on the offscreen platform: modal dialogs that never
// block, MDI documents that ask before closing, the frame's actions and the
// wizard's pages.
#include "DesktopServices.h"
#include "Exceptions.h"
#include "RecordingServices.h"
#include "TestPrinters.h"
#include "UqChildDoc.h"
#include "UqDialog.h"
#include "UqFrame.h"
#include "UqMDIMain.h"
#include "UqParams.h"
#include "UqWizard.h"
#include "WindowGeometry.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <QtTest/QTest>

using namespace platform;

namespace {

class CheckedDialog : public TfmUqDialog {
public:
    explicit CheckedDialog(QWidget *parent = nullptr) : TfmUqDialog(parent)
    {
        setWindowTitle("Parametri");
        edValue = new QLineEdit(paClient);
        ClientLayout()->addWidget(edValue);
        buYes = new QPushButton("Si");
        AddButton(buYes);
        SetModalResult(buYes, mrYes);
    }
    QLineEdit *edValue;
    QPushButton *buYes;
    int refusals = 0;

protected:
    bool CanClose(int result) override
    {
        if (result == mrOk && edValue->text().isEmpty()) {
            ++refusals;
            return false;
        }
        return true;
    }
};

class DataDoc : public TfmUqChildDoc {
public:
    bool pending = false;
    bool failPost = false;
    int posts = 0;
    int cancels = 0;
    bool DataChanged() override { return pending; }
    void PostData() override
    {
        ++posts;
        if (failPost)
            throw EUqWarning("Salvare prima di cambiare modello.");
        pending = false;
    }
    void CancelData() override
    {
        ++cancels;
        pending = false;
    }
};

class PathWizard : public TfmUqWizard {
public:
    explicit PathWizard(QWidget *parent = nullptr) : TfmUqWizard(parent)
    {
        for (const char *name : {"tsTipoCompenso", "tsMeseComp", "tsGruppo"})
            AddPage(new QLabel(name), name);
        AddPath("breve", {"tsTipoCompenso", "tsGruppo"});
    }
    bool refuseLeavingFirst = false;
    QStringList shown;

protected:
    bool PageChanging(QWidget *from, QWidget *) override
    {
        return !(refuseLeavingFirst && from->objectName() == "tsTipoCompenso");
    }
    void PageChanged(QWidget *page) override { shown << page->objectName(); }
};

} // namespace

TEST(UqDialog, ExecuteRunsTheDialogThroughTheServicesAndFreesIt)
{
    RecordingServicesScope services;
    QPointer<CheckedDialog> seen;
    services->onNextDialog([&](QDialog &d) {
        auto &dlg = static_cast<CheckedDialog &>(d);
        seen = &dlg;
        dlg.buOk->click(); // refused: the value is empty
        EXPECT_EQ(dlg.refusals, 1);
        dlg.edValue->setText("2024");
        dlg.buOk->click();
        return dlg.result();
    });
    const int result = TfmUqDialog::Execute<CheckedDialog>(nullptr, [](CheckedDialog &d) { d.edValue->clear(); });
    EXPECT_EQ(result, mrOk);
    EXPECT_TRUE(seen.isNull()) << "the dialog is freed after the run";
    ASSERT_EQ(services->dialogs().size(), 1);
    EXPECT_EQ(services->dialogs().at(0).title, "Parametri");

    // Unscripted: rejected without being shown.
    EXPECT_EQ(TfmUqDialog::Execute<CheckedDialog>(), QDialog::Rejected);
}

TEST(UqDialog, AModalDialogRunForRealIsClosedWithoutBlocking)
{
    // The real services: QDialog::exec with its own event loop, closed by a
    // timer the way a user would click.
    DesktopServices desktop;
    CheckedDialog dlg;
    QTimer::singleShot(0, &dlg, [&] { dlg.buYes->click(); });
    QTimer guard; // never needed, but a broken close must not hang the run
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &dlg, [&] { dlg.done(mrAbort); });
    guard.start(10000);
    EXPECT_EQ(desktop.execDialog(dlg), mrYes);
    EXPECT_FALSE(dlg.isVisible());

    QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(&dlg, Qt::Key_Escape); });
    EXPECT_EQ(desktop.execDialog(dlg), mrCancel) << "Escape (like the close button) gives Cancel";
    guard.stop();
}

TEST(UqMdi, AChildWithPendingDataAsksBeforeClosing)
{
    RecordingServicesScope services;
    TfmUqMDIMain main;
    main.show();
    EXPECT_EQ(TfmUqMDIMain::MainWindow(), &main);

    auto *doc = new DataDoc;
    doc->setWindowTitle("Dipendenti");
    QPointer<QMdiSubWindow> sub = main.AddChild(doc);
    QPointer<DataDoc> alive = doc;
    EXPECT_EQ(main.MDIChildCount(), 1);
    // It opens usable without maximizing: most of the area, within it.
    const QSize area = main.mdiArea->viewport()->size();
    EXPECT_GE(sub->width(), area.width() * 9 / 10);
    EXPECT_GE(sub->height(), area.height() * 9 / 10);
    EXPECT_LE(sub->width(), area.width());
    EXPECT_LE(sub->height(), area.height());

    // Pending data, and the user cancels.
    doc->pending = true;
    services->replyToMessages({Cancel});
    EXPECT_FALSE(sub->close());
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).text, TfmUqChildDoc::SaveQuestion);
    EXPECT_EQ(services->messages().at(0).buttons, Yes | No | Cancel);
    EXPECT_EQ(main.MDIChildCount(), 1) << "Cancel keeps the window";

    // Yes with a post that fails: the error is shown and the window stays.
    doc->failPost = true;
    services->replyToMessages({Yes});
    EXPECT_FALSE(sub->close());
    EXPECT_EQ(doc->posts, 1);
    EXPECT_EQ(services->messages().last().text, "Salvare prima di cambiare modello.");
    EXPECT_EQ(services->messages().last().type, MessageType::Warning);

    // No: the edits are cancelled and the window closes.
    services->replyToMessages({No});
    EXPECT_TRUE(sub->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(main.MDIChildCount(), 0);
}

TEST(UqMdi, ClosingTheMainWindowAsksEveryChildAndAnyRefusalKeepsItOpen)
{
    RecordingServicesScope services;
    TfmUqMDIMain main;
    main.show();
    auto *quiet = new DataDoc;
    auto *busy = new DataDoc;
    busy->pending = true;
    main.AddChild(quiet);
    main.AddChild(busy);
    services->replyToMessages({Cancel});
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.MDIChildCount(), 1) << "the child without pending data closed";

    services->replyToMessages({Yes});
    EXPECT_TRUE(main.close());
    EXPECT_EQ(main.MDIChildCount(), 0);
}

TEST(UqMdi, StatusPanelsAndFirstShowHook)
{
    struct Main : TfmUqMDIMain {
        int shows = 0;
        void FormShow() override { ++shows; }
    } main;
    main.SetStatusText(0, "Periodo: 2024-03");
    EXPECT_EQ(main.StatusText(0), "Periodo: 2024-03");
    EXPECT_EQ(main.StatusText(9), "");
    main.show();
    main.hide();
    main.show();
    EXPECT_EQ(main.shows, 1);
    EXPECT_FALSE(main.acReportMan->isVisible());
}

TEST(UqMdi, TheMainWindowsParameterManagerIsTheProgramsOne)
{
    TUqParamManager params;
    {
        TfmUqMDIMain main;
        EXPECT_EQ(TUqParamManager::ProgramManager(), nullptr);
        main.ParamManager = &params;
        EXPECT_EQ(TUqParamManager::ProgramManager(), &params);
    }
    EXPECT_EQ(TUqParamManager::ProgramManager(), nullptr) << "no main window, no program's parameters";
}

TEST(UqFrame, ActionsGoOnTheToolBarInOrderAndTheirShortcutsWorkInsideTheFrame)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *frame = new TfrUqBase(&window);
    layout->addWidget(frame);
    auto *edit = new QLineEdit(frame->paClient);
    frame->ClientLayout()->addWidget(edit);

    int posted = 0;
    const int image = frame->AddImage(QIcon());
    QAction *first = frame->AddAction("acFirst", "&Primo", "Primo elemento", QKeySequence(Qt::CTRL | Qt::Key_Home),
                                      image);
    frame->AddSeparator();
    QAction *post = frame->AddAction("acPost", "C&onferma", "Conferma modifiche",
                                     QKeySequence(Qt::CTRL | Qt::Key_Return));
    QObject::connect(post, &QAction::triggered, [&] { ++posted; });

    const QList<QAction *> bar = frame->xoaCustom->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar.at(0), first);
    EXPECT_TRUE(bar.at(1)->isSeparator());
    EXPECT_EQ(bar.at(2), post);
    EXPECT_EQ(frame->FindAction("acPost"), post);
    EXPECT_EQ(frame->FindAction("acNone"), nullptr);
    EXPECT_EQ(post->toolTip(), "Conferma modifiche");

    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(posted, 1);

    post->setShortcut(QKeySequence(Qt::Key_F9));
    frame->RefreshActionLists();
    QTest::keyClick(edit, Qt::Key_F9);
    EXPECT_EQ(posted, 2);
}

TEST(UqWizard, PagesFollowThePathAndTheButtonsFollowThePage)
{
    PathWizard wiz;
    EXPECT_EQ(wiz.ActivePageName(), "tsTipoCompenso");
    EXPECT_FALSE(wiz.buPrior->isEnabled());
    EXPECT_TRUE(wiz.buNext->isEnabled());
    EXPECT_FALSE(wiz.buOk->isEnabled());

    wiz.buNext->click();
    EXPECT_EQ(wiz.ActivePageName(), "tsMeseComp");
    wiz.buNext->click();
    EXPECT_EQ(wiz.ActivePageName(), "tsGruppo");
    EXPECT_FALSE(wiz.buNext->isEnabled());
    EXPECT_TRUE(wiz.buOk->isEnabled());
    EXPECT_FALSE(wiz.ChangePage(+1));

    wiz.SetPath("breve");
    EXPECT_EQ(wiz.ActivePageName(), "tsTipoCompenso");
    wiz.buNext->click();
    EXPECT_EQ(wiz.ActivePageName(), "tsGruppo") << "the short path skips the month page";
    wiz.buPrior->click();
    EXPECT_EQ(wiz.pcWizard->currentWidget(), wiz.Page("tsTipoCompenso"));

    wiz.refuseLeavingFirst = true;
    EXPECT_FALSE(wiz.ChangePage(+1));
    EXPECT_EQ(wiz.ActivePageName(), "tsTipoCompenso");
    EXPECT_EQ(wiz.shown, (QStringList{"tsTipoCompenso", "tsMeseComp", "tsGruppo", "tsTipoCompenso", "tsGruppo",
                                      "tsTipoCompenso"}));

    EXPECT_THROW(wiz.SetPath("nessuno"), EUqError);
    EXPECT_THROW(wiz.AddPath("rotto", {"tsNessuna"}), EUqError);
}

TEST(UqWizard, RunModallyTheWizardGivesOkOnlyFromTheLastPage)
{
    RecordingServicesScope services;
    services->onNextDialog([](QDialog &d) {
        auto &wiz = static_cast<PathWizard &>(d);
        wiz.buNext->click();
        wiz.buNext->click();
        wiz.buOk->click();
        return wiz.result();
    });
    EXPECT_EQ(TfmUqDialog::Execute<PathWizard>(), mrOk);
}

// A dialog opens wide enough for its title; one whose title fits keeps the
// size it was given.
TEST(UqDialog, OpensWideEnoughForItsTitle)
{
    TfmUqDialog lungo;
    lungo.setWindowTitle(QStringLiteral("Importa dati per UniEMens iscritti Fpls (Ex Enpals)"));
    TfmUqDialog corto;
    corto.setWindowTitle(QStringLiteral("Parametri"));
    corto.resize(300, 200);
    lungo.show();
    corto.show();
    EXPECT_GE(lungo.width(), platform::titleWidth(lungo));
    EXPECT_GT(platform::titleWidth(lungo), lungo.sizeHint().width()) << "the title is what widens it";
    EXPECT_EQ(corto.size(), QSize(300, 200));
}
