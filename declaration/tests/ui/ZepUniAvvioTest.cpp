// The start of zepUni on an installation of its own: the modules and
// windows created in their order, a start refused when the archive is
// missing (message, non-zero status, nothing created), and a start on a
// real archive that reaches the working-period dialog.
#include "ZepFParam.h"
#include "ZepInstallazioneSupport.h"
#include "ZepWorkingPeriodSupport.h"

#include "DataSetFile.h"
#include "Emens/ui/ZepEMensAvvio.h"
#include "FormRegistry.h"
#include "TovUCert.h"
#include "WunFDaPagare66.h"
#include "WunMOreEccedenti.h"
#include "WunUUtil.h"
#include "ZepFMain.h"
#include "ZepMAttivazioni.h"
#include "ZepCReportPubblico.h"
#include "ZepULayouts.h"
#include "ZepUniAvvio.h"
#include "archive/ArchiveScripts.h"
#include "tovCQueryText.h"
#include "tovUDBCdsLayouts.h"
#include "wunMConnessione.h"
#include "wunMFondCalcola.h"
#include "wunMIVC.h"
#include "wunMParams.h"
#include "wunUCalcoliFond.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QTimer>
#include <QToolBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <sys/stat.h>

using namespace periodtest;

namespace {

class StartTest : public ::testing::Test {
protected:
    StartTest() : inst(*services)
    {
        m_anno = AnnoDenuncia;
        m_mese = MeseDenuncia;
        TZepUniAvvio::Registra();
    }
    ~StartTest() override
    {
        TZepUniAvvio::AnnullaRegistrazioni();
        SetPeriodoDenuncia(m_anno, m_mese);
    }

    RecordingServicesScope services;
    Installation inst;

private:
    QString m_anno;
    QString m_mese;
};

const QStringList Order{QStringLiteral("TdmwunConnessione"), QStringLiteral("TdmWunParams"),
                        QStringLiteral("TdmZepAttivazioni"), QStringLiteral("TfmZepMain"),
                        QStringLiteral("TfmZepReport"),      QStringLiteral("TfmZepKax"),
                        QStringLiteral("TfmTovRicerca"),     QStringLiteral("TdmWunOreEccedenti"),
                        QStringLiteral("TdmZepDmaImporta"),  QStringLiteral("TfmZepDmaInfo"),
                        QStringLiteral("TfmWunDaPagare66"),  QStringLiteral("TdmWunIvc")};

} // namespace

TEST_F(StartTest, MissingArchiveRefusesTheStartWithItsReasonAndAStatus)
{
    inst.useArchive(inst.archive());
    {
        TZepUniAvvio avvio;
        avvio.Crea(inst.bin());
        EXPECT_EQ(avvio.Creati(), Order);
        ASSERT_NE(dmwunConnessione, nullptr);
        EXPECT_NE(dmWunParams, nullptr);
        EXPECT_NE(dmZepAttivazioni, nullptr);
        EXPECT_NE(dmWunOreEccedenti, nullptr);
        EXPECT_NE(fmWunDaPagare66, nullptr);
        EXPECT_NE(dmWunIvc, nullptr);
        EXPECT_TRUE(TwunCalcolaFond::OnOreNonCattedra) << "the calculation shows its hours through the dialog";
        EXPECT_TRUE(TdmWunFondCalcola::OnFerie) << "the holidays due are asked through the dialog";
        EXPECT_TRUE(TWunDaPagare66::OnConferma) << "the bonus payments are confirmed through the dialog";
        ASSERT_EQ(IZepMainState::Current(), avvio.MainWindow());
        TfmZepMain *principale = avvio.MainWindow();
        // The store stands on the connection module's connection.
        EXPECT_EQ(dynamic_cast<TTovDBCds &>(principale->Store()).Connection(), &dmwunConnessione->xqoMain());
        EXPECT_EQ(dmZepAttivazioni->Store(), &principale->Store());
        EXPECT_EQ(principale->CartellaBase(), inst.base());
        EXPECT_EQ(TZepUniAvvio::TitoloApplicazione(), QStringLiteral("zepUni - Denunce UniEmens"));
        EXPECT_EQ(principale->windowTitle(), TZepUniAvvio::TitoloApplicazione());
        EXPECT_TRUE(platform::FormRegistry::IsRegistered(QStringLiteral("TfmZepParametri")));
        EXPECT_TRUE(platform::FormRegistry::IsRegistered(QStringLiteral("TfmTovRicerca")));
        EXPECT_TRUE(services->messages().isEmpty());

        EXPECT_EQ(avvio.Mostra(), 1);
        ASSERT_EQ(services->messages().size(), 2) << services->messageTexts().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(services->messages().at(0).text,
                  QStringLiteral("Impossibile aprire il database \"%1\": il file non esiste.")
                      .arg(QDir::toNativeSeparators(inst.archive())));
        EXPECT_EQ(services->messages().at(1).text, TfmZepMain::MsgDatabaseNonAperto);
        EXPECT_FALSE(QFileInfo::exists(inst.archive()));
        EXPECT_TRUE(services->dialogs().isEmpty());
    }
    // Everything the start made is gone with it.
    EXPECT_EQ(dmwunConnessione, nullptr);
    EXPECT_EQ(dmWunParams, nullptr);
    EXPECT_EQ(dmZepAttivazioni, nullptr);
    EXPECT_EQ(IZepMainState::Current(), nullptr);
    EXPECT_EQ(dmWunIvc, nullptr);
}

TEST_F(StartTest, StartOnAnArchiveOpensItAndAsksTheWorkingPeriod)
{
    {
        // An archive made before the program's layouts were registered:
        // opening it installs them.
        TempDatabase archive(TempDatabase::Scripts{payroll::ArchiveScripts::all()});
        QFile::copy(archive.filePath(), inst.archive());
    }
    inst.useArchive(inst.archive());
    TZepUniAvvio avvio;
    avvio.Crea(inst.bin());
    services->onNextDialog([](QDialog &d) {
        auto &dialog = dynamic_cast<TfmZepParametri &>(d);
        dialog.deAnnoFin->setText(QStringLiteral("2024"));
        dialog.cbMesi->setCurrentIndex(10);
        dialog.buOk->click();
        return dialog.result();
    });
    ASSERT_EQ(avvio.Mostra(), 0) << services->messageTexts().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(dmwunConnessione->Connected());
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(avvio.MainWindow(), &activate);

    EXPECT_TRUE(services->messages().isEmpty()) << services->messageTexts().join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(services->dialogs().size(), 1);
    EXPECT_EQ(services->dialogs().at(0).title, QStringLiteral("Parametri"));
    ASSERT_NE(dmZepAttivazioni->Bar(), nullptr);
    EXPECT_EQ(dmZepAttivazioni->Bar()->count(), 3);
    EXPECT_EQ(PeriodoDenuncia(), QStringLiteral("2024-11"));
    EXPECT_EQ(avvio.MainWindow()->windowTitle(), QStringLiteral("zepUni - Denunce UniEmens (novembre 2024)"));
    EXPECT_TRUE(QFileInfo(inst.base() + QStringLiteral("USR/UniEmens/Res/TEAM_ANNOMESE.cds")).isFile());
    EXPECT_TRUE(QFileInfo(inst.base() + QStringLiteral("USR/UniEmensDati/UniEmens2024")).isDir());
    // Its declaration print carries the public-sector persons.
    const TZepProgramma &programma = avvio.MainWindow()->Programma();
    ASSERT_TRUE(programma.SezioneDenuncia);
    EXPECT_TRUE(dynamic_cast<TZepReportPubblico *>(programma.SezioneDenuncia().get()));
    // The declarant table the year folder needed came with the program.
    DataSet declarant;
    avvio.MainWindow()->Store().LoadPeriod(declarant, TZepParametri::TabellaDichiarante, 2024, 0);
    EXPECT_TRUE(declarant.findField(QStringLiteral("CFMittente")));

    // The parameters module's values are kept in the user's area: a choice
    // is written at once, for the next run.
    ASSERT_NE(dmWunParams, nullptr);
    EXPECT_EQ(avvio.MainWindow()->lkMain.ParamManager(), dmWunParams->xpmUquParams);
    dmWunParams->xpmUquParams->SetParams(QStringLiteral("UQUP_DwgId"), 4, QStringLiteral("UQUC_Params"));
    TUqParamManager kept;
    kept.LoadFromFile(avvio.MainWindow()->lkMain.FileName());
    EXPECT_EQ(kept.GetParamsInt(QStringLiteral("UQUP_DwgId")), 4);
}

namespace {
struct Tabella {
    const char *programma;
    const TZepRegistrazioni &(*tabella)();
    bool bonusIrpef;
};
void PrintTo(const Tabella &t, std::ostream *os)
{
    *os << t.programma;
}
class RegistrazioniTest : public ::testing::TestWithParam<Tabella> {};
} // namespace

// Each program's table, read backward at the end, undoes all it registered
// at start-up, as the registries themselves tell: no window class, layout
// folder or payroll dialog hook is left behind.
TEST_P(RegistrazioniTest, TheEndUndoesEveryRegistrationOfTheStart)
{
    const QStringList classi = platform::FormRegistry::ClassNames();
    const QStringList cartelle = TTovDBCdsLayouts::RegisteredFolders();
    const TZepRegistrazioni &tabella = GetParam().tabella();
    tabella.Registra();
    EXPECT_TRUE(platform::FormRegistry::IsRegistered(QStringLiteral("TfmZepParametri")));
    EXPECT_TRUE(platform::FormRegistry::IsRegistered(QStringLiteral("TfmZepFile")));
    EXPECT_TRUE(TTovDBCdsLayouts::RegisteredFolders().contains(CartellaLayoutDenunce()));
    EXPECT_TRUE(TwunCalcolaFond::OnOreNonCattedra);
    EXPECT_TRUE(TdmWunFondCalcola::OnFerie);
    EXPECT_EQ(bool(TWunDaPagare66::OnConferma), GetParam().bonusIrpef);

    tabella.Annulla();
    const auto testo = [](const QStringList &l) { return l.join(QLatin1Char(',')).toStdString(); };
    EXPECT_EQ(testo(platform::FormRegistry::ClassNames()), testo(classi));
    EXPECT_EQ(testo(TTovDBCdsLayouts::RegisteredFolders()), testo(cartelle));
    EXPECT_FALSE(TwunCalcolaFond::OnOreNonCattedra);
    EXPECT_FALSE(TdmWunFondCalcola::OnFerie);
    EXPECT_FALSE(TWunDaPagare66::OnConferma);
}

INSTANTIATE_TEST_SUITE_P(Programmi, RegistrazioniTest,
                         ::testing::Values(Tabella{"zepUni", &TZepUniAvvio::Registrazioni, true},
                                           Tabella{"zepdb_zep", &TZepEMensAvvio::Registrazioni, false}),
                         [](const auto &info) { return std::string(info.param.programma); });

// Qt's own windows speak Italian once the program has loaded Qt's
// translations (the setup installs them).
TEST(ZepUniAvvioTraduzioni, QtsOwnTextsAreItalian)
{
    ASSERT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    ASSERT_TRUE(TZepUniAvvio::CaricaTraduzioni(*QCoreApplication::instance()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annulla"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Cerca in:"));
    qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator *>());
}

namespace {
// Installed before the others, a translator is asked last: only for the
// texts no other one knows.
class TestiMancanti : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *contesto, const char *testo, const char *, int) const override
    {
        // (The layout direction is a setting asked of every translation.)
        if (testo && *testo && qstrcmp(testo, "QT_LAYOUT_DIRECTION") != 0)
            testi << QStringLiteral("%1: %2").arg(QLatin1String(contesto), QLatin1String(testo));
        return QString();
    }
    mutable QStringList testi;
};
} // namespace

// Qt's print dialog, its properties and the file dialog leave no English
// text where Qt's translation lacks one: the program ships the rest.
TEST(ZepUniAvvioTraduzioni, QtsPrintAndFileDialogsLeaveNoEnglishText)
{
    TestiMancanti mancanti;
    QCoreApplication::installTranslator(&mancanti);
    ASSERT_TRUE(TZepUniAvvio::CaricaTraduzioni(*QCoreApplication::instance()));
    {
        QPrinter printer;
        QPrintDialog stampa(&printer);
        auto *proprieta = stampa.findChild<QPushButton *>(QStringLiteral("properties"));
        ASSERT_NE(proprieta, nullptr);
        // The properties dialog runs modally: closed as soon as it shows.
        QTimer::singleShot(0, [] {
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
        proprieta->click();
        // A folder of every kind of entry a clerk's folder may hold: a file,
        // a folder, a link and a named pipe (the dialog names each kind).
        QTemporaryDir cartella;
        ASSERT_TRUE(cartella.isValid());
        QFile(cartella.filePath(QStringLiteral("denuncia.xml"))).open(QIODevice::WriteOnly);
        QDir(cartella.path()).mkdir(QStringLiteral("Denunce"));
        QFile::link(cartella.filePath(QStringLiteral("denuncia.xml")),
                    cartella.filePath(QStringLiteral("collegamento")));
        ASSERT_EQ(::mkfifo(QFile::encodeName(cartella.filePath(QStringLiteral("coda"))).constData(), 0600), 0);
        QFileDialog file(nullptr, {}, cartella.path());
        file.setOption(QFileDialog::DontUseNativeDialog);
        file.setFilter(file.filter() | QDir::System);
        file.show();
        // The folder is read in the background: every entry's kind asked
        // once all are listed.
        auto *modello = file.findChild<QFileSystemModel *>();
        ASSERT_NE(modello, nullptr);
        const QModelIndex radice = modello->index(cartella.path());
        ASSERT_TRUE(QTest::qWaitFor([&] { return modello->rowCount(radice) == 4; }, 10000));
        for (int r = 0; r < 4; ++r)
            modello->data(modello->index(r, 2, radice));
        QCoreApplication::processEvents();
    }
    QCoreApplication::removeTranslator(&mancanti);
    mancanti.testi.removeDuplicates();
    qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator *>());
    EXPECT_EQ(mancanti.testi.join(QLatin1Char('\n')).toStdString(), "");
}
