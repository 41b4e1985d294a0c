// The start of zepUni on an installation of its own: the modules and
// windows created in their order, a start refused when the archive is
// missing (message, non-zero status, nothing created), and a start on a
// real archive that reaches the working-period dialog.
#include "ZepFParam.h"
#include "ZepInstallazioneSupport.h"
#include "ZepWorkingPeriodSupport.h"

#include "DataSetFile.h"
#include "FormRegistry.h"
#include "TovUCert.h"
#include "WunFDaPagare66.h"
#include "WunMOreEccedenti.h"
#include "WunUUtil.h"
#include "ZepFMain.h"
#include "ZepMAttivazioni.h"
#include "ZepUniAvvio.h"
#include "archive/ArchiveScripts.h"
#include "tovCQueryText.h"
#include "wunMConnessione.h"
#include "wunMIVC.h"
#include "wunMParams.h"
#include "wunUCalcoliFond.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QFile>
#include <QFileInfo>
#include <QToolBox>
#include <QTranslator>

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
        ASSERT_EQ(fmZepMain, avvio.MainWindow());
        // The store stands on the connection module's connection.
        EXPECT_EQ(dynamic_cast<TTovDBCds &>(fmZepMain->Store()).Connection(), &dmwunConnessione->xqoMain());
        EXPECT_EQ(dmZepAttivazioni->Store(), &fmZepMain->Store());
        EXPECT_EQ(fmZepMain->CartellaBase(), inst.base());
        EXPECT_EQ(TZepUniAvvio::TitoloApplicazione(), QStringLiteral("zepUni - Denunce UniEmens"));
        EXPECT_EQ(fmZepMain->windowTitle(), TZepUniAvvio::TitoloApplicazione());
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
    EXPECT_EQ(fmZepMain, nullptr);
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
