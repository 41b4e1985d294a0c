// The main window of zepUni: its base folder, what its creation sets up,
// the archive opened on the first show (and the start refused when that
// fails), and the first activation: navigation bar, news marker and the
// working-period dialog, once.
#include "ZepFParam.h"
#include "ZepWorkingPeriodSupport.h"

#include "Database.h"
#include "ZepFMain.h"
#include "TerminationSignals.h"
#include "FormRegistry.h"
#include "ZepMAttivazioni.h"
#include "UqChildDoc.h"
#include "UqFChildDBDA.h"
#include "tovUDBCds.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolBox>

#include <csignal>

using namespace periodtest;

namespace {

class MainWindowTest : public WorkingPeriodTest {
protected:
    MainWindowTest()
    {
        platform::Database::setGlobal(&tdb.db());
        QDir().mkpath(root.filePath(QStringLiteral("bin")));
        dmZepAttivazioni = &registry;
    }
    ~MainWindowTest() override
    {
        dmZepAttivazioni = nullptr;
        platform::Database::setGlobal(nullptr);
    }

    QString base() const { return QFileInfo(root.path()).canonicalFilePath() + QLatin1Char('/'); }

    // A main window of a program in <root>/bin whose archive opens (or not).
    std::unique_ptr<TfmZepMain> makeMain(bool opens = true)
    {
        auto w = std::make_unique<TfmZepMain>(nullptr, root.filePath(QStringLiteral("bin")));
        w->ApriDatabase = [this, opens] {
            ++opened;
            return opens;
        };
        return w;
    }
    static void activate(QWidget &w)
    {
        QEvent e(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&w, &e);
    }
    // Answers the next "Parametri" with the year and month.
    void answerParametri(const QString &year, int monthIndex)
    {
        services->onNextDialog([year, monthIndex](QDialog &d) {
            auto &dialog = dynamic_cast<TfmZepParametri &>(d);
            dialog.deAnnoFin->setText(year);
            dialog.cbMesi->setCurrentIndex(monthIndex);
            dialog.buOk->click();
            return dialog.result();
        });
    }
    QStringList dialogsShown() const
    {
        QStringList out;
        for (const auto &d : services->dialogs())
            out << d.className + QLatin1Char(':') + d.title;
        return out;
    }

    QTemporaryDir root;
    TdmZepAttivazioni registry;
    int opened = 0;
};

} // namespace

TEST(MainWindowBaseFolder, IsTheFolderAboveTheProgramFolder)
{
    QTemporaryDir x;
    QDir().mkpath(x.filePath(QStringLiteral("bin")));
    const QString expected = QFileInfo(x.path()).canonicalFilePath() + QLatin1Char('/');
    EXPECT_EQ(TfmZepMain::CartellaBaseDa(x.filePath(QStringLiteral("bin"))), expected);
    EXPECT_EQ(TfmZepMain::CartellaBaseDa(x.filePath(QStringLiteral("bin/"))), expected);
    // A link to the program folder is resolved to the real place.
    ASSERT_TRUE(QFile::link(x.filePath(QStringLiteral("bin")), x.filePath(QStringLiteral("altro"))));
    EXPECT_EQ(TfmZepMain::CartellaBaseDa(x.filePath(QStringLiteral("altro"))), expected);
}

TEST_F(MainWindowTest, CreationSetsUpStoreFoldersActionsAndImages)
{
    auto w = makeMain();
    EXPECT_EQ(w->CartellaBase(), base());
    EXPECT_EQ(registry.CartellaBase(), base());
    EXPECT_EQ(registry.Store(), &w->Store());
    EXPECT_EQ(w->Store().Program(), QStringLiteral("zep"));
    EXPECT_EQ(dynamic_cast<TTovDBCds &>(w->Store()).Connection(), &tdb.db());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("zepUni - Denunce UniEmens"));
    EXPECT_EQ(IZepMainState::Current(), w.get());

    EXPECT_EQ(w->acIstruzioni->text(), QStringLiteral("Istruzioni EMens"));
    QStringList help;
    for (QAction *a : w->mnHelp->actions())
        help << a->text();
    EXPECT_TRUE(help.contains(QStringLiteral("Istruzioni uniEMens"))) << help.join(QLatin1Char(',')).toStdString();
    // The report manager stays hidden and disabled whatever sets it.
    w->acReportMan->setVisible(true);
    w->acReportMan->setEnabled(true);
    EXPECT_FALSE(w->acReportMan->isVisible());
    EXPECT_FALSE(w->acReportMan->isEnabled());

    ASSERT_EQ(w->imlNavigatore.Count(), 10);
    EXPECT_EQ(w->imlNavigatore.Name(0), QStringLiteral("DATIANAGRAFICI"));
    EXPECT_EQ(w->imlNavigatore.Name(9), QStringLiteral("INIZIOANNOFERIE"));
    EXPECT_EQ(w->imlNavigatore.ImageSize(), 48);
    EXPECT_FALSE(registry.Image(0).isNull());

    // Nothing is opened or asked before the window is shown.
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(services->dialogs().isEmpty());
    w.reset();
    EXPECT_EQ(IZepMainState::Current(), nullptr);
    EXPECT_EQ(registry.Store(), nullptr);
}

namespace {
// A data window that still reaches the main window's store while it is
// destroyed, as a data window saving on close does.
class StoreUserWindow : public TfmUqChildDoc {
public:
    StoreUserWindow(ITovDBCds *expected, bool *sawStore) : m_expected(expected), m_sawStore(sawStore) {}
    ~StoreUserWindow() override
    {
        IZepMainState *main = IZepMainState::Current();
        *m_sawStore = main && &main->Store() == m_expected && main->Store().Program() == QStringLiteral("zep");
    }

private:
    ITovDBCds *m_expected;
    bool *m_sawStore;
};
} // namespace

TEST_F(MainWindowTest, DocumentWindowsCloseWhileTheStoreStillStands)
{
    auto w = makeMain();
    bool sawStore = false;
    w->AddChild(new StoreUserWindow(&w->Store(), &sawStore));
    ASSERT_EQ(w->MDIChildCount(), 1);
    w.reset();
    EXPECT_TRUE(sawStore);
}

TEST_F(MainWindowTest, FirstActivationBuildsTheBarAndAsksTheWorkingPeriodOnce)
{
    auto w = makeMain();
    answerParametri(QStringLiteral("2010"), 2);
    w->show();
    EXPECT_EQ(opened, 1);
    activate(*w);

    EXPECT_TRUE(w->PrimaAttivazioneEseguita());
    EXPECT_EQ(dialogsShown(), QStringList{QStringLiteral("TfmZepParametri:Parametri")});
    ASSERT_NE(registry.Bar(), nullptr);
    EXPECT_EQ(registry.Bar()->parentWidget(), w->paNavigator);
    QStringList pages;
    for (int i = 0; i < registry.Bar()->count(); ++i)
        pages << registry.Bar()->itemText(i);
    EXPECT_EQ(pages,
              QStringList({QStringLiteral("Operazioni"), QStringLiteral("Stampe"), QStringLiteral("Strumenti")}));
    EXPECT_EQ(registry.Bar()->currentIndex(), 0);
    EXPECT_EQ(registry.xasNotizie->Folder, base() + QStringLiteral("USR/UniEmens/Res/"));
    EXPECT_EQ(registry.xasIstruzioni->Folder, base() + QStringLiteral("USR/UniEmens/Res/"));

    EXPECT_EQ(PeriodoDenuncia(), QStringLiteral("2010-03"));
    EXPECT_EQ(w->StatusText(0),
              QStringLiteral("Anno/Mese Denuncia: 2010/marzo    Circolare INPS n. 152 del 22/11/2004"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("zepUni - Denunce UniEmens (marzo 2010)"));
    EXPECT_EQ(w->Store().Year(), 2010);
    EXPECT_EQ(w->Store().Month(), 3);
    EXPECT_EQ(w->CartellaDatiAnno(), QStringLiteral("USR/UniEmensDati/UniEmens2010/"));
    EXPECT_TRUE(QFileInfo(base() + QStringLiteral("USR/UniEmensDati/UniEmens2010")).isDir());
    EXPECT_FALSE(w->DataModello().isEmpty());

    // Activated again (a child window closed, the user came back): nothing
    // is asked again and the bar is not rebuilt.
    QToolBox *bar = registry.Bar();
    activate(*w);
    activate(*w);
    EXPECT_EQ(services->dialogs().size(), 1);
    EXPECT_EQ(registry.Bar(), bar);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(services->messages().isEmpty()) << services->messageTexts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(MainWindowTest, NewsMarkerOpensTheNewsOnceAndWaits)
{
    const QString res = base() + QStringLiteral("USR/UniEmens/Res/");
    QDir().mkpath(res);
    {
        QFile marker(res + QStringLiteral("Check.txt"));
        ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    }
    auto w = makeMain();
    w->show();
    activate(*w);
    ASSERT_EQ(services->shellRequests().size(), 1);
    EXPECT_EQ(services->shellRequests().at(0).file, QStringLiteral("News.pdf"));
    EXPECT_EQ(services->shellRequests().at(0).folder, res);
    EXPECT_EQ(services->sleeps(), QList<int>{1000});
    EXPECT_FALSE(QFileInfo::exists(res + QStringLiteral("Check.txt")));
    EXPECT_EQ(dialogsShown(), QStringList{QStringLiteral("TfmZepParametri:Parametri")});

    // The next start finds no marker: no news, no wait.
    services->clear();
    auto second = makeMain();
    second->show();
    activate(*second);
    EXPECT_TRUE(services->shellRequests().isEmpty());
    EXPECT_TRUE(services->sleeps().isEmpty());
}

TEST_F(MainWindowTest, HelpActionsOpenNewsAndInstructions)
{
    auto w = makeMain();
    w->show();
    activate(*w);
    services->clear();
    w->acAid->trigger();
    w->acIstruzioni->trigger();
    ASSERT_EQ(services->shellRequests().size(), 2);
    EXPECT_EQ(services->shellRequests().at(0).file, QStringLiteral("News.pdf"));
    EXPECT_EQ(services->shellRequests().at(1).file, QStringLiteral("Istruzioni.pdf"));
}

TEST_F(MainWindowTest, ArchiveNotOpenedEndsTheStartWithAMessageAndAStatus)
{
    auto w = makeMain(false);
    w->show();
    EXPECT_EQ(w->ExitStatus(), 1);
    EXPECT_EQ(services->messageTexts(), QStringList{TfmZepMain::MsgDatabaseNonAperto});
    // No bar, no working period for a program that is ending.
    activate(*w);
    EXPECT_FALSE(w->PrimaAttivazioneEseguita());
    EXPECT_TRUE(services->dialogs().isEmpty());
    EXPECT_EQ(registry.Bar(), nullptr);
}

TEST_F(MainWindowTest, FailureWhileOpeningIsShownThenTheStartEnds)
{
    auto w = std::make_unique<TfmZepMain>(nullptr, root.filePath(QStringLiteral("bin")));
    w->ApriDatabase = []() -> bool { throw EUqError(QStringLiteral("Impossibile correggere i dati dell'archivio")); };
    w->show();
    EXPECT_EQ(w->ExitStatus(), 1);
    EXPECT_EQ(services->messageTexts(), QStringList({QStringLiteral("Impossibile correggere i dati dell'archivio"),
                                                     TfmZepMain::MsgDatabaseNonAperto}));
}

TEST_F(MainWindowTest, FirstActivationRunsOnceTheWindowIsUpWithoutAFocusEvent)
{
    // A bare X server has no window manager to activate the window: the
    // first activation still runs, from the message loop, and only once.
    auto w = makeMain();
    w->show();
    EXPECT_FALSE(w->PrimaAttivazioneEseguita());
    QCoreApplication::processEvents();
    EXPECT_TRUE(w->PrimaAttivazioneEseguita());
    ASSERT_NE(registry.Bar(), nullptr);
    activate(*w);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogsShown(), QStringList{QStringLiteral("TfmZepParametri:Parametri")});
}

TEST_F(MainWindowTest, CommandParametriOpensTheDialogOnTheMainWindow)
{
    TfmZepParametri::RegisterClass();
    auto w = makeMain();
    answerParametri(QStringLiteral("2012"), 8);
    w->show();
    activate(*w);
    EXPECT_EQ(PeriodoDenuncia(), QStringLiteral("2012-09"));

    // The command opens the dialog by its class name, owned by the main
    // window, and the period it takes shows in the window.
    answerParametri(QStringLiteral("2012"), 9);
    registry.xafParametri->Execute();
    EXPECT_EQ(dialogsShown(),
              QStringList({QStringLiteral("TfmZepParametri:Parametri"), QStringLiteral("TfmZepParametri:Parametri")}));
    EXPECT_EQ(PeriodoDenuncia(), QStringLiteral("2012-10"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("zepUni - Denunce UniEmens (ottobre 2012)"));
    EXPECT_EQ(w->StatusText(0),
              QStringLiteral("Anno/Mese Denuncia: 2012/ottobre    Circolare INPS n. 152 del 22/11/2004"));
    EXPECT_EQ(w->Store().Month(), 10);
    platform::FormRegistry::Unregister(QStringLiteral("TfmZepParametri"));
}

TEST_F(MainWindowTest, ASignalCancelsPendingEditsClosesTheArchiveAndEndsWithItsStatus)
{
    platform::DataSet ds;
    ds.addFieldDef(QStringLiteral("A"), platform::FieldType::String, 10);
    ds.createDataSet();
    ds.appendRecord({QStringLiteral("prima")});
    ds.mergeChangeLog();
    auto w = makeMain();
    w->show();
    auto *doc = new TfmUqChildDBDA;
    new platform::DataSource(doc, &ds);
    w->AddChild(doc);
    ds.edit();
    ds.fieldByName(QStringLiteral("A")).setAsString(QStringLiteral("dopo"));
    tdb.db().startTransaction();

    w->TerminaSuSegnale(SIGTERM);
    EXPECT_EQ(w->ExitStatus(), 143);
    EXPECT_EQ(ds.state(), platform::DataSetState::Browse);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("A")).asString(), QStringLiteral("prima"));
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_FALSE(tdb.db().isOpen()) << "closed, its transaction rolled back";
    EXPECT_TRUE(services->messages().isEmpty()) << "nothing is asked";
    w->TerminaSuSegnale(SIGINT);
    EXPECT_EQ(w->ExitStatus(), 143) << "once only";
}

TEST_F(MainWindowTest, ASignalDuringLongWorkLeavesTheArchiveToItAndClosesItAfter)
{
    auto w = makeMain();
    w->show();
    {
        // An import or a file in progress, running the message loop.
        const platform::LongOperation inCorso;
        w->TerminaSuSegnale(SIGTERM);
        EXPECT_EQ(w->ExitStatus(), 143);
        EXPECT_TRUE(tdb.db().isOpen()) << "the work ends at its own safe point, on an open archive";
    }
    w->ChiudiDopoSegnale();
    EXPECT_FALSE(tdb.db().isOpen());
}
