// The program's command registry without an archive: its pages and commands
// as built into the bar and the menu, the guards with a data window open, the
// ex-DMA gate on both sides of October 2012, the news marker, the holiday
// window's hook and the functions that are not there yet.
#include "ZepMAttivazioni.h"

#include "Exceptions.h"
#include "FormRegistry.h"
#include "RecordingServices.h"
#include "UqChildDoc.h"
#include "UqMDIMain.h"
#include "ZepUUtil.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolBox>
#include <QToolButton>

using namespace platform;

namespace {

class FakeDoc : public TfmUqChildDoc {
public:
    explicit FakeDoc(QWidget *parent = nullptr) : TfmUqChildDoc(parent) { ++created; }
    static inline int created = 0;
};

class FakeDialog : public QDialog {
public:
    explicit FakeDialog(QWidget *parent = nullptr) : QDialog(parent) { setWindowTitle("Parametri"); }
};

// The holiday window as the registry sees it: a document window that gives
// its closures collection as the property "xqcChiusure".
class FakeFeste : public TfmUqChildDoc {
public:
    explicit FakeFeste(QWidget *parent = nullptr) : TfmUqChildDoc(parent)
    {
        xqcChiusure.setTag(7);
        xqcChiusure.PacketRecords = 25;
        setProperty("xqcChiusure", QVariant::fromValue(&xqcChiusure));
    }
    TUqQueryCollection xqcChiusure;
};

class ZepRegistry : public ::testing::Test {
protected:
    ZepRegistry()
    {
        SetPeriodoDenuncia("2024", "03");
        registry.SetCartellaBase(base.path());
        registry.SetCartellaParametri(base.path() + "/usr/wun");
        registry.SelezionaAnno = [this](const QString &anno) { anni << anno; };
        registry.ImportaDma = [this] { ++importazioniDma; };
        registry.EseguiWizard = [this](const QString &cls, DataSet &, TUqQueryCollection &) {
            wizards << cls;
            return QString();
        };
        main.show();
    }
    ~ZepRegistry() override { SetPeriodoDenuncia(m_anno, m_mese); }

    // A data window open in the main window.
    void openChild() { main.AddChild(new FakeDoc); }

    QStringList texts() const { return services->messageTexts(); }

    RecordingServicesScope services;
    QTemporaryDir base;
    TfmUqMDIMain main;
    TdmZepAttivazioni registry;
    QStringList anni;
    QStringList wizards;
    int importazioniDma = 0;

private:
    QString m_anno = AnnoDenuncia;
    QString m_mese = MeseDenuncia;
};

struct Declared {
    QString name;
    QString page; // caption; empty: none
    int order;
    QString caption;
    QString formClass; // "shell:<file>" for a shell command
    bool modal;
    int image;
    bool visible;
};

QStringList buttons(QWidget *page)
{
    QStringList out;
    for (QToolButton *b : page->findChildren<QToolButton *>())
        out << b->text();
    return out;
}

} // namespace

TEST_F(ZepRegistry, EveryCommandIsDeclaredWithItsPageOrderCaptionWindowModalityImageAndVisibility)
{
    const QList<Declared> expected = {
        {"xafImport", "Operazioni", 10, "Importa", "", false, 2, true},
        {"xafDipendenti", "Operazioni", 20, "Dipendenti", "TfmZepDipendente", false, 0, true},
        {"xafCollaboratori", "Operazioni", 30, "Collaboratori/Altri", "TfmZepCollaboratore", false, 7, true},
        {"xafDenunciaAziendale", "Operazioni", 30, "Denuncia Aziendale", "TfmzepDenunciaAziendale", false, 8, false},
        {"xafImportFplsExEnpals", "Operazioni", 35, "Importa iscritti FPLS", "", false, 2, true},
        {"xafFlplsExEnpals", "Operazioni", 40, "Iscritti FPLS ex Enpals", "TfmZepFFplsExEnpals", false, 0, true},
        {"xafExDmaImp", "Operazioni", 50, "Importa (ex Dma)", "", false, 2, true},
        {"xafExDma", "Operazioni", 55, "Iscritti (ex DMA)", "TfmZepDmaIscritto", false, 7, true},
        {"axfDatiDich", "Operazioni", 60, "Dichiarante", "TfmZepMittente", false, 3, true},
        {"xafFile", "Operazioni", 70, "File telematico", "TfmZepFile", true, 6, true},
        {"xafDenuncia", "Stampe", 10, "Denuncia", "", false, 1, true},
        {"xafStampaDip", "Stampe", 20, "Dipendenti", "TfmzepRepDip", true, 1, true},
        {"xafStampaColl", "Stampe", 30, "Collaboratori", "TfmzepRepColl", true, 1, true},
        {"xafRiepilogoDatiCUD", "Stampe", 100, "Riepilogo CUD", "TfmZepRiepilogoDatiCUD", true, 1, true},
        {"xafFeste", "Strumenti", 10, "Elenco delle festività", "TfmTabFeste", false, 9, true},
        {"xafParametri", "Strumenti", 20, "Parametri", "TfmZepParametri", true, 4, true},
        {"xasNotizie", "", 50, "Notizie", "shell:News.pdf", false, -1, false},
        {"xasIstruzioni", "", 50, "Istruzioni", "shell:Istruzioni.pdf", false, -1, false},
    };
    const QList<TUqAttivazione *> commands = registry.Commands();
    ASSERT_EQ(commands.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const Declared &e = expected.at(i);
        SCOPED_TRACE(e.name.toStdString());
        TUqAttivazione *c = commands.at(i);
        EXPECT_EQ(c->objectName(), e.name);
        EXPECT_EQ(c->Page ? c->Page->Caption : QString(), e.page);
        EXPECT_EQ(c->Order, e.order);
        EXPECT_EQ(c->Caption, e.caption);
        EXPECT_EQ(c->ImageIndex, e.image);
        EXPECT_EQ(c->Visible, e.visible);
        if (auto *f = qobject_cast<TUqAttForm *>(c)) {
            EXPECT_EQ(f->FormClass, e.formClass);
            EXPECT_EQ(f->Modal, e.modal);
            EXPECT_TRUE(f->Enabled);
        } else {
            auto *s = qobject_cast<TUqAttShell *>(c);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ("shell:" + s->FileName, e.formClass);
            EXPECT_FALSE(s->Wait);
            EXPECT_FALSE(s->Enabled);
        }
    }
    QStringList pages;
    for (TUqApgPage *p : registry.Pages())
        pages << QStringLiteral("%1:%2:%3").arg(p->objectName(), p->Caption).arg(p->Order);
    EXPECT_EQ(pages, QStringList({"xpgEMens:Operazioni:0", "xpgStampe:Stampe:10", "xpgStrumenti:Strumenti:20"}));
}

TEST_F(ZepRegistry, BarAndMenuShowThePagesAndTheirVisibleCommandsInOrder)
{
    registry.SetContainer(main.paNavigator);
    registry.Build(&main);
    registry.SetActivePage(0);
    QToolBox *bar = registry.Bar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->count(), 3);
    EXPECT_EQ(bar->itemText(0), "Operazioni");
    EXPECT_EQ(bar->itemText(1), "Stampe");
    EXPECT_EQ(bar->itemText(2), "Strumenti");
    EXPECT_EQ(bar->currentIndex(), 0);
    const QStringList operazioni = {"Importa",
                                    "Dipendenti",
                                    "Collaboratori/Altri",
                                    "Importa iscritti FPLS",
                                    "Iscritti FPLS ex Enpals",
                                    "Importa (ex Dma)",
                                    "Iscritti (ex DMA)",
                                    "Dichiarante",
                                    "File telematico"};
    const QStringList stampe = {"Denuncia", "Dipendenti", "Collaboratori", "Riepilogo CUD"};
    const QStringList strumenti = {"Elenco delle festività", "Parametri"};
    EXPECT_EQ(buttons(bar->widget(0)), operazioni);
    EXPECT_EQ(buttons(bar->widget(1)), stampe);
    EXPECT_EQ(buttons(bar->widget(2)), strumenti);

    QStringList titles;
    for (QAction *a : main.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"Operazioni", "Stampe", "Strumenti", "&?"}));
    QStringList items;
    for (QAction *a : registry.Menus().at(1)->actions())
        items << a->text();
    EXPECT_EQ(items, stampe);
}

TEST_F(ZepRegistry, ImportsAndParametersRefuseWhileADataWindowIsOpen)
{
    FormRegistry::Register("TfmZepParametri", [](QWidget *o) { return new FakeDialog(o); });
    openChild();
    SetPeriodoDenuncia("2012", "10");

    registry.xafImport->Execute();
    registry.xafImportFplsExEnpals->Execute();
    registry.xafParametri->Execute();
    registry.xafExDmaImp->Execute();

    ASSERT_EQ(services->messages().size(), 4);
    for (const MessageRequest &m : services->messages())
        EXPECT_EQ(m.text, "Chiudere tutte le finestre prima di eseguire l'operazione.");
    // A plain box for the imports and the parameters, a warning with OK for ex-DMA.
    EXPECT_EQ(services->messages().at(0).type, MessageType::Plain);
    EXPECT_EQ(services->messages().at(1).type, MessageType::Plain);
    EXPECT_EQ(services->messages().at(2).type, MessageType::Plain);
    EXPECT_EQ(services->messages().at(3).type, MessageType::Warning);
    EXPECT_EQ(services->messages().at(3).buttons, Ok);
    // Nothing else happened: no wizard, no dialog, no ex-DMA import.
    EXPECT_TRUE(wizards.isEmpty());
    EXPECT_TRUE(services->dialogs().isEmpty());
    EXPECT_EQ(importazioniDma, 0);
    EXPECT_FALSE(QFile::exists(registry.FileParametri()));
    EXPECT_EQ(main.mdiArea->subWindowList().size(), 1);
    FormRegistry::Unregister("TfmZepParametri");
}

TEST_F(ZepRegistry, WithoutDataWindowsParametersOpensItsDialogModally)
{
    FormRegistry::Register("TfmZepParametri", [](QWidget *o) { return new FakeDialog(o); });
    registry.xafParametri->Execute();
    ASSERT_EQ(services->dialogs().size(), 1);
    EXPECT_EQ(services->dialogs().at(0).title, "Parametri");
    EXPECT_TRUE(services->messages().isEmpty());
    FormRegistry::Unregister("TfmZepParametri");
}

TEST_F(ZepRegistry, ExDmaCommandsWarnAndDoNothingBeforeOctober2012)
{
    FormRegistry::Register("TfmZepDmaIscritto", [](QWidget *o) { return new FakeDoc(o); });
    FakeDoc::created = 0;
    SetPeriodoDenuncia("2012", "09");

    registry.xafExDma->Execute();
    registry.xafExDmaImp->Execute();

    EXPECT_EQ(texts(), QStringList({"La gestione ex DMA è attiva da ottobre 2012",
                                    "La gestione ex DMA è attiva da ottobre 2012"}));
    EXPECT_EQ(services->messages().at(0).type, MessageType::Warning);
    EXPECT_EQ(services->messages().at(0).buttons, Ok);
    EXPECT_EQ(FakeDoc::created, 0);
    EXPECT_EQ(importazioniDma, 0);
    EXPECT_TRUE(anni.isEmpty()); // no year selected either
    EXPECT_FALSE(registry.GestioneExDmaAttiva());
    FormRegistry::Unregister("TfmZepDmaIscritto");
}

TEST_F(ZepRegistry, ExDmaCommandsRunFromOctober2012)
{
    FormRegistry::Register("TfmZepDmaIscritto", [](QWidget *o) { return new FakeDoc(o); });
    FakeDoc::created = 0;
    SetPeriodoDenuncia("2012", "10");

    // The import first: the window that the other opens would stop it.
    registry.xafExDmaImp->Execute();
    registry.xafExDma->Execute();

    EXPECT_TRUE(services->messages().isEmpty()) << texts().join(" | ").toStdString();
    EXPECT_EQ(FakeDoc::created, 1);
    EXPECT_EQ(registry.xafExDma->Instance() != nullptr, true);
    EXPECT_EQ(importazioniDma, 1);
    EXPECT_EQ(anni, QStringList({"2012"}));
    // A later year is open as well (periods compare as text).
    SetPeriodoDenuncia("2013", "01");
    EXPECT_TRUE(registry.GestioneExDmaAttiva());
    FormRegistry::Unregister("TfmZepDmaIscritto");
}

TEST_F(ZepRegistry, ACommandWhoseWindowIsNotThereYetSaysSoAndOpensNothing)
{
    ASSERT_FALSE(FormRegistry::IsRegistered("TfmZepRiepilogoDatiCUD"));
    registry.xafRiepilogoDatiCUD->Execute();
    registry.xafFile->Execute();
    ASSERT_EQ(services->messages().size(), 2);
    EXPECT_EQ(services->messages().at(0).text, TdmZepAttivazioni::MsgNonDisponibile("Riepilogo CUD"));
    EXPECT_TRUE(services->messages().at(0).text.contains("non è ancora disponibile"));
    EXPECT_EQ(services->messages().at(1).text, TdmZepAttivazioni::MsgNonDisponibile("File telematico"));
    EXPECT_TRUE(main.mdiArea->subWindowList().isEmpty());
    EXPECT_TRUE(services->dialogs().isEmpty());

    // The declaration print and the ex-DMA import until they are plugged in.
    TdmZepAttivazioni bare;
    SetPeriodoDenuncia("2013", "05");
    bare.SelezionaAnno = [](const QString &) {};
    services->clear();
    bare.xafDenuncia->Execute();
    bare.xafExDmaImp->Execute();
    EXPECT_EQ(texts(), QStringList({TdmZepAttivazioni::MsgNonDisponibile("Denuncia"),
                                    TdmZepAttivazioni::MsgNonDisponibile("Importa (ex Dma)")}));
}

TEST_F(ZepRegistry, ChoosingACommandInTheBarRunsIt)
{
    registry.Build(&main);
    services->clear();
    auto *button = registry.Bar()->widget(0)->findChild<QToolButton *>("buxafFile");
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_EQ(texts(), QStringList({TdmZepAttivazioni::MsgNonDisponibile("File telematico")}));
}

TEST_F(ZepRegistry, NewsOpensItsDocumentInTheResourceFolderAndDeletesTheMarker)
{
    QDir(base.path()).mkpath("usr/UniEmens/res"); // any case of the letters
    const QString marker = base.path() + "/usr/UniEmens/res/check.TXT";
    {
        QFile f(marker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    registry.ImpostaCartelleComandiShell();
    EXPECT_EQ(registry.xasNotizie->Folder, base.path() + "/usr/UniEmens/res/");
    EXPECT_EQ(registry.xasIstruzioni->Folder, base.path() + "/usr/UniEmens/res/");

    registry.xasNotizie->Execute();
    ASSERT_EQ(services->shellRequests().size(), 1);
    EXPECT_EQ(services->shellRequests().at(0).file, "News.pdf");
    EXPECT_EQ(services->shellRequests().at(0).folder, base.path() + "/usr/UniEmens/res/");
    EXPECT_FALSE(services->shellRequests().at(0).wait);
    EXPECT_FALSE(QFile::exists(marker));
    registry.xasNotizie->Execute(); // no marker: nothing to delete, no error
    EXPECT_EQ(services->shellRequests().size(), 2);

    // Instructions leave a marker alone.
    {
        QFile f(marker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    registry.xasIstruzioni->Execute();
    EXPECT_EQ(services->shellRequests().at(2).file, "Istruzioni.pdf");
    EXPECT_TRUE(QFile::exists(marker));

    // A folder already given is kept.
    registry.xasIstruzioni->Folder = "/altrove/";
    registry.ImpostaCartelleComandiShell();
    EXPECT_EQ(registry.xasIstruzioni->Folder, "/altrove/");
}

TEST_F(ZepRegistry, HolidayWindowGetsItsClosuresCollectionClearedBeforeUse)
{
    FormRegistry::Register("TfmTabFeste", [](QWidget *o) { return new FakeFeste(o); });
    registry.xafFeste->Execute();
    auto *feste = dynamic_cast<FakeFeste *>(registry.xafFeste->Instance());
    ASSERT_NE(feste, nullptr);
    EXPECT_EQ(feste->xqcChiusure.tag(), 0);
    EXPECT_EQ(feste->xqcChiusure.PacketRecords, 0);

    // A holiday window without the collection is a programming error; the
    // window is not left open.
    FormRegistry::Register("TfmTabFeste", [](QWidget *o) { return new FakeDoc(o); });
    TdmZepAttivazioni other;
    EXPECT_THROW(other.xafFeste->Execute(), EAssertionFailed);
    EXPECT_EQ(other.xafFeste->Instance(), nullptr);
    FormRegistry::Unregister("TfmTabFeste");
}

TEST_F(ZepRegistry, DataWindowsOpenOncePerCommandAndADialogCommandRunsModally)
{
    FormRegistry::Register("TfmZepDipendente", [](QWidget *o) { return new FakeDoc(o); });
    FormRegistry::Register("TfmZepMittente", [](QWidget *o) { return new FakeDoc(o); });
    FormRegistry::Register("TfmZepFile", [](QWidget *o) { return new FakeDialog(o); });
    FakeDoc::created = 0;

    registry.xafDipendenti->Execute();
    registry.xafDipendenti->Execute();
    registry.axfDatiDich->Execute();
    EXPECT_EQ(FakeDoc::created, 2);
    EXPECT_EQ(main.mdiArea->subWindowList().size(), 2);
    EXPECT_NE(registry.xafDipendenti->Instance(), registry.axfDatiDich->Instance());

    registry.xafFile->Execute(); // modal: through the services, no MDI window
    ASSERT_EQ(services->dialogs().size(), 1);
    EXPECT_EQ(main.mdiArea->subWindowList().size(), 2);
    EXPECT_EQ(registry.xafFile->Instance(), nullptr);
    EXPECT_TRUE(services->messages().isEmpty());

    for (const char *name : {"TfmZepDipendente", "TfmZepMittente", "TfmZepFile"})
        FormRegistry::Unregister(name);
}
