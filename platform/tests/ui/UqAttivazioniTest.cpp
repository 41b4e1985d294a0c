// The command registry on the offscreen platform: the bar and menus built
// from pages and commands, the execute sequence with its cancel flag, form
// commands (one MDI instance per command, modal dialogs run through the
// services and freed), shell commands and failures shown to the user.
#include "Exceptions.h"
#include "FormRegistry.h"
#include "RecordingServices.h"
#include "TestPrinters.h"
#include "UqAttivazioni.h"
#include "UqChildDoc.h"
#include "UqMDIMain.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QToolBox>
#include <QToolButton>

using namespace platform;

namespace {

class CountedDoc : public TfmUqChildDoc {
public:
    explicit CountedDoc(QWidget *parent = nullptr) : TfmUqChildDoc(parent)
    {
        ++created;
        setWindowTitle(QStringLiteral("Dipendenti"));
    }
    ~CountedDoc() override { ++destroyed; }
    static inline int created = 0;
    static inline int destroyed = 0;
};

class CountedDialog : public QDialog {
public:
    explicit CountedDialog(QWidget *parent = nullptr) : QDialog(parent)
    {
        ++created;
        setWindowTitle(QStringLiteral("Parametri"));
    }
    ~CountedDialog() override { ++destroyed; }
    static inline int created = 0;
    static inline int destroyed = 0;
};

class PlainWidget : public QWidget {
public:
    explicit PlainWidget(QWidget *parent = nullptr) : QWidget(parent) {}
};

// A registry declared as a program declares its own.
class SampleRegistry : public TdmUqAttivazioni {
public:
    SampleRegistry()
    {
        pgB = AddPage("pgB", "Stampe", 10);
        pgA = AddPage("pgA", "Operazioni", 0);
        pgC = AddPage("pgC", "Nascosta", 20, false);
        // Declared out of order; the two of order 30 keep their declaration order.
        AddForm("xafTerzo", pgA, 30, "Terzo", {});
        AddForm("xafPrimo", pgA, 10, "Primo", {});
        AddForm("xafQuarto", pgA, 30, "Quarto", {});
        auto *hidden = AddForm("xafNascosto", pgA, 20, "Nascosto", {});
        hidden->Visible = false;
        AddForm("xafStampa", pgB, 10, "Stampa", {});
        AddForm("xafStrumento", pgC, 10, "Strumento", {});
        AddShell("xasSenzaPagina", nullptr, 50, "Notizie", "News.pdf");
    }
    void FormClassUnavailable(TUqAttForm *command) override
    {
        unavailable << command->objectName();
        if (raiseUnavailable)
            TdmUqAttivazioni::FormClassUnavailable(command);
    }
    TUqApgPage *pgA, *pgB, *pgC;
    QStringList unavailable;
    bool raiseUnavailable = false;
};

QStringList buttonTexts(QWidget *page)
{
    QStringList out;
    for (QToolButton *b : page->findChildren<QToolButton *>())
        out << b->text();
    return out;
}

QStringList actionTexts(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << a->text();
    return out;
}

QStringList menuBarTitles(QMenuBar *bar)
{
    QStringList out;
    for (QAction *a : bar->actions())
        out << a->text();
    return out;
}

} // namespace

TEST(UqAttivazioni, BarHasOneHeaderPerPageByOrderWithTheVisibleCommandsByOrder)
{
    RecordingServicesScope services;
    TfmUqMDIMain main;
    SampleRegistry registry;
    EXPECT_EQ(registry.Bar(), nullptr);
    registry.SetContainer(main.paNavigator);
    registry.Build(&main);

    QToolBox *bar = registry.Bar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->parentWidget(), main.paNavigator);
    ASSERT_EQ(bar->count(), 3);
    EXPECT_EQ(bar->itemText(0), "Operazioni");
    EXPECT_EQ(bar->itemText(1), "Stampe");
    EXPECT_EQ(bar->itemText(2), "Nascosta");
    // Hidden commands and commands without a page are left out; equal orders
    // keep their declaration order.
    EXPECT_EQ(buttonTexts(bar->widget(0)), QStringList({"Primo", "Terzo", "Quarto"}));
    EXPECT_EQ(buttonTexts(bar->widget(1)), QStringList({"Stampa"}));

    // A menu per page in the menu, before the Help menu; none for pgC.
    EXPECT_EQ(menuBarTitles(main.menuBar()), QStringList({"Operazioni", "Stampe", "&?"}));
    ASSERT_EQ(registry.Menus().size(), 2);
    EXPECT_EQ(actionTexts(registry.Menus().at(0)), QStringList({"Primo", "Terzo", "Quarto"}));

    // The button and the menu item share the command's action.
    auto *button = bar->widget(0)->findChild<QToolButton *>("buxafPrimo");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->defaultAction(), registry.Command("xafPrimo")->Action());
    EXPECT_EQ(registry.Menus().at(0)->actions().at(0), registry.Command("xafPrimo")->Action());

    registry.SetActivePage(1);
    EXPECT_EQ(bar->currentIndex(), 1);
    registry.SetActivePage(7); // outside: nothing changes
    EXPECT_EQ(bar->currentIndex(), 1);
}

TEST(UqAttivazioni, BuildingAgainReplacesTheBarAndMenusWithTheCurrentDeclarations)
{
    RecordingServicesScope services;
    TfmUqMDIMain main;
    SampleRegistry registry;
    registry.Build(&main); // no container given: the main window's navigator
    QPointer<QToolBox> first = registry.Bar();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->parentWidget(), main.paNavigator);

    registry.Command("xafNascosto")->Visible = true;
    registry.Command("xafPrimo")->Caption = "Primo!";
    registry.Build(&main);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(main.paNavigator->findChildren<QToolBox *>().size(), 1);
    EXPECT_EQ(menuBarTitles(main.menuBar()), QStringList({"Operazioni", "Stampe", "&?"}));
    EXPECT_EQ(buttonTexts(registry.Bar()->widget(0)), QStringList({"Primo!", "Nascosto", "Terzo", "Quarto"}));
}

TEST(UqAttivazioni, CommandsAreFoundByNameAndKeepTheirDeclarationOrder)
{
    SampleRegistry registry;
    QStringList names;
    for (TUqAttivazione *c : registry.Commands())
        names << c->objectName();
    EXPECT_EQ(names, QStringList({"xafTerzo", "xafPrimo", "xafQuarto", "xafNascosto", "xafStampa", "xafStrumento",
                                  "xasSenzaPagina"}));
    EXPECT_EQ(registry.Pages().size(), 3);
    EXPECT_EQ(registry.Command("xafStampa")->Page, registry.pgB);
    EXPECT_EQ(registry.Command("nessuno"), nullptr);
    EXPECT_THROW(registry.AddForm("xafPrimo", registry.pgA, 1, "Doppio", {}), EAssertionFailed);
}

TEST(UqAttivazioni, BeforeExecuteCanCancelTheWorkAndAfterExecuteRunsEitherWay)
{
    RecordingServicesScope services;
    SampleRegistry registry;
    auto *shell = static_cast<TUqAttShell *>(registry.Command("xasSenzaPagina"));
    QStringList steps;
    bool cancel = true;
    shell->OnBeforeExecute = [&](TUqAttivazione *sender, bool &goOn) {
        EXPECT_EQ(sender, shell);
        EXPECT_TRUE(goOn);
        steps << "before";
        goOn = !cancel;
    };
    shell->OnAfterExecute = [&](TUqAttivazione *) { steps << "after"; };

    shell->Execute();
    EXPECT_EQ(steps, QStringList({"before", "after"}));
    EXPECT_TRUE(services->shellRequests().isEmpty());

    cancel = false;
    steps.clear();
    shell->Execute();
    EXPECT_EQ(steps, QStringList({"before", "after"}));
    EXPECT_EQ(services->shellRequests().size(), 1);
}

TEST(UqAttivazioni, ShellCommandOpensItsDocumentThroughTheServices)
{
    RecordingServicesScope services;
    SampleRegistry registry;
    auto *shell = static_cast<TUqAttShell *>(registry.Command("xasSenzaPagina"));
    shell->Folder = "/opt/zep/USR/UniEmens/Res/";
    shell->Parameters = "\"a b\"";
    shell->Wait = true;
    // Hidden and disabled: the user cannot choose it, the program still runs it.
    shell->Visible = false;
    shell->Enabled = false;
    shell->SyncAction();
    shell->Action()->trigger();
    EXPECT_TRUE(services->shellRequests().isEmpty());
    shell->Execute();
    ASSERT_EQ(services->shellRequests().size(), 1);
    const ShellRequest r = services->shellRequests().at(0);
    EXPECT_EQ(r.file, "News.pdf");
    EXPECT_EQ(r.folder, "/opt/zep/USR/UniEmens/Res/");
    EXPECT_EQ(r.parameters, "\"a b\"");
    EXPECT_TRUE(r.wait);
}

TEST(UqAttivazioni, AFailureOfACommandChosenByTheUserIsShownAndAFailureOfExecuteIsRaised)
{
    RecordingServicesScope services;
    SampleRegistry registry;
    TUqAttivazione *command = registry.Command("xafPrimo");
    command->OnBeforeExecute = [](TUqAttivazione *, bool &) { throw EUqWarning("Operazione non consentita"); };
    EXPECT_THROW(command->Execute(), EUqWarning);
    EXPECT_TRUE(services->messages().isEmpty());

    command->Action()->trigger();
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).text, "Operazione non consentita");
    EXPECT_EQ(services->messages().at(0).type, MessageType::Warning);
}

TEST(UqAttivazioni, NonModalFormCommandKeepsOneInstanceAndBringsItForward)
{
    RecordingServicesScope services;
    ScopedFormClass<CountedDoc> docClass("TfmProvaDoc");
    TfmUqMDIMain main;
    main.show();
    SampleRegistry registry;
    registry.Build(&main);
    auto *form = static_cast<TUqAttForm *>(registry.Command("xafPrimo"));
    form->FormClass = "TfmProvaDoc";
    QStringList initialized;
    form->OnInitializedForm = [&](TUqAttForm *sender, QWidget *w) {
        EXPECT_EQ(sender, form);
        EXPECT_FALSE(w->isVisible()); // before it is shown
        initialized << w->windowTitle();
    };
    auto *other = static_cast<TUqAttForm *>(registry.Command("xafStampa"));
    other->FormClass = "TfmProvaDoc";
    CountedDoc::created = CountedDoc::destroyed = 0;

    EXPECT_FALSE(registry.HasChildWindows());
    EXPECT_EQ(form->Instance(), nullptr);
    form->Execute();
    QPointer<QWidget> first = form->Instance();
    ASSERT_TRUE(first);
    EXPECT_EQ(CountedDoc::created, 1);
    EXPECT_EQ(main.mdiArea->subWindowList().size(), 1);
    EXPECT_TRUE(registry.HasChildWindows());
    EXPECT_EQ(initialized, QStringList({"Dipendenti"}));

    other->Execute(); // another command, another instance
    EXPECT_EQ(CountedDoc::created, 2);
    ASSERT_NE(main.mdiArea->currentSubWindow(), nullptr);
    EXPECT_EQ(main.mdiArea->currentSubWindow()->widget(), other->Instance());

    form->Execute(); // the same command again: the open window comes forward
    EXPECT_EQ(CountedDoc::created, 2);
    EXPECT_EQ(form->Instance(), first.data());
    EXPECT_EQ(main.mdiArea->currentSubWindow()->widget(), first.data());
    EXPECT_EQ(initialized.size(), 1);

    // Closed, it is freed; the next run makes a new one.
    static_cast<TfmUqChildDoc *>(first.data())->SubWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(form->Instance(), nullptr);
    form->Execute();
    EXPECT_EQ(CountedDoc::created, 3);
    EXPECT_NE(form->Instance(), nullptr);
}

TEST(UqAttivazioni, ModalFormCommandRunsTheDialogThroughTheServicesAndFreesIt)
{
    RecordingServicesScope services;
    ScopedFormClass<CountedDialog> dialogClass("TfmProvaDialogo");
    TfmUqMDIMain main;
    SampleRegistry registry;
    registry.Build(&main);
    auto *form = static_cast<TUqAttForm *>(registry.Command("xafStampa"));
    form->FormClass = "TfmProvaDialogo";
    form->Modal = true;
    QPointer<QWidget> seen;
    int runs = 0;
    form->OnInitializedForm = [&](TUqAttForm *, QWidget *w) {
        seen = w;
        EXPECT_EQ(w->parentWidget(), &main);
        EXPECT_EQ(services->dialogs().size(), runs++); // before it runs
    };
    services->onNextDialog([](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), "Parametri");
        return int(QDialog::Accepted);
    });
    CountedDialog::created = CountedDialog::destroyed = 0;

    form->Execute();
    ASSERT_EQ(services->dialogs().size(), 1);
    EXPECT_EQ(services->dialogs().at(0).result, QDialog::Accepted);
    EXPECT_EQ(CountedDialog::created, 1);
    EXPECT_EQ(CountedDialog::destroyed, 1);
    EXPECT_TRUE(seen.isNull());
    EXPECT_EQ(form->Instance(), nullptr);
    EXPECT_FALSE(registry.HasChildWindows());

    form->Execute(); // modal: a new dialog every time
    EXPECT_EQ(CountedDialog::created, 2);
    EXPECT_EQ(services->dialogs().size(), 2);
}

TEST(UqAttivazioni, ModalCommandOnAWindowThatIsNoDialogIsRefusedAndFreed)
{
    RecordingServicesScope services;
    ScopedFormClass<CountedDoc> docClass("TfmProvaDoc");
    TfmUqMDIMain main;
    SampleRegistry registry;
    auto *form = static_cast<TUqAttForm *>(registry.Command("xafStampa"));
    form->FormClass = "TfmProvaDoc";
    form->Modal = true;
    CountedDoc::created = CountedDoc::destroyed = 0;
    try {
        form->Execute();
        FAIL() << "no error";
    } catch (const EUqError &e) {
        EXPECT_TRUE(e.message().contains("TfmProvaDoc"));
    }
    EXPECT_EQ(CountedDoc::created, 1);
    EXPECT_EQ(CountedDoc::destroyed, 1);
    EXPECT_TRUE(services->dialogs().isEmpty());
}

TEST(UqAttivazioni, UnregisteredWindowClassGoesToTheRegistrysHandler)
{
    RecordingServicesScope services;
    TfmUqMDIMain main;
    SampleRegistry registry;
    auto *form = static_cast<TUqAttForm *>(registry.Command("xafPrimo"));
    form->FormClass = "TfmNonRegistrata";
    form->Execute();
    EXPECT_EQ(registry.unavailable, QStringList({"xafPrimo"}));
    EXPECT_EQ(form->Instance(), nullptr);

    registry.raiseUnavailable = true; // the base handler raises, naming the class
    try {
        form->Execute();
        FAIL() << "no error";
    } catch (const EUqError &e) {
        EXPECT_TRUE(e.message().contains("TfmNonRegistrata"));
    }
    // A form command without a class opens nothing and asks nothing.
    registry.unavailable.clear();
    static_cast<TUqAttForm *>(registry.Command("xafTerzo"))->Execute();
    EXPECT_TRUE(registry.unavailable.isEmpty());
    EXPECT_TRUE(main.mdiArea->subWindowList().isEmpty());
}

TEST(UqAttivazioni, NonModalWindowThatIsNoDocumentGetsAWindowOfItsOwn)
{
    RecordingServicesScope services;
    ScopedFormClass<PlainWidget> plainClass("TfmProvaSemplice");
    TfmUqMDIMain main;
    SampleRegistry registry;
    auto *form = static_cast<TUqAttForm *>(registry.Command("xafPrimo"));
    form->FormClass = "TfmProvaSemplice";
    form->Execute();
    QPointer<QWidget> w = form->Instance();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isWindow());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(main.mdiArea->subWindowList().isEmpty());
    form->Execute();
    EXPECT_EQ(form->Instance(), w.data());
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
}

TEST(UqAttivazioni, ActionFollowsTheCommandsFieldsAndImages)
{
    SampleRegistry registry;
    TUqAttivazione *command = registry.Command("xafPrimo");
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    registry.SetImages({QIcon(), QIcon(pixmap)});
    command->ImageIndex = 1;
    command->Hint = "Apre la finestra";
    command->Enabled = false;
    command->SyncAction();
    EXPECT_EQ(command->Action()->text(), "Primo");
    EXPECT_EQ(command->Action()->toolTip(), "Apre la finestra");
    EXPECT_FALSE(command->Action()->icon().isNull());
    EXPECT_FALSE(command->Action()->isEnabled());
    command->ImageIndex = 5; // outside the list: no icon
    command->SyncAction();
    EXPECT_TRUE(command->Action()->icon().isNull());
}
