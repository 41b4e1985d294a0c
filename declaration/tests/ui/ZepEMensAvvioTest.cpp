// The start of the earlier program in its two forms, zepdb (database) and zep
// (local files), on an installation of its own: the modules and windows of
// its creation order, its commands, and a start on a real archive whose
// working-period dialog refuses the other programs' years letter for letter
// and then prepares the year folder of the year taken.
#include "ZepInstallazioneSupport.h"
#include "ZepWorkingPeriodSupport.h"

#include "Emens/ui/ZepEMensAvvio.h"
#include "FormRegistry.h"
#include "ZepCCdsLocale.h"
#include "ZepCKax.h"
#include "ZepFMain.h"
#include "ZepFDatiDenuncia.h"
#include "ZepFParam.h"
#include "ZepRDatiDenuncia.h"
#include "ZepMAttivazioni.h"
#include "archive/ArchiveScripts.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

using namespace periodtest;
using Forma = TZepEMensAvvio::Forma;

void PrintTo(Forma forma, std::ostream *os)
{
    *os << (forma == Forma::Database ? "zepdb" : "zep");
}

namespace {

struct Caso {
    Forma forma;
    QString titolo;
    QStringList creati;
    QString annoRifiutato, messaggio, anno;
};

Caso casoDi(Forma forma)
{
    const QStringList comuni{QStringLiteral("TdmwunConnessione"), QStringLiteral("TdmWunParams"),
                             QStringLiteral("TdmZepAttivazioni"), QStringLiteral("TfmZepMain"),
                             QStringLiteral("TfmZepReport"),      QStringLiteral("TfmZepKax"),
                             QStringLiteral("TfmTovRicerca")};
    if (forma == Forma::Database)
        return {forma,
                QStringLiteral("zepdb - Denunce E-Mens"),
                comuni + QStringList{QStringLiteral("TdmWunOreEccedenti")},
                QStringLiteral("2010"),
                QStringLiteral("Per gestire i dati degli anni finanziari successivi al 2009 utilizzare il programma "
                               "\"zepUni - Denunce UniEmens\"."),
                QStringLiteral("2008")};
    return {forma,
            QStringLiteral("zep - Denunce E-Mens 2005-2007"),
            comuni,
            QStringLiteral("2008"),
            QStringLiteral("Per gestire i dati degli anni finanziari successivi al 2007 utilizzare il programma "
                           "\"zepdb - Denunce E-Mens\"."),
            QStringLiteral("2006")};
}

class EMensAvvioTest : public ::testing::TestWithParam<Forma> {
protected:
    EMensAvvioTest() : inst(*services), caso(casoDi(GetParam()))
    {
        TZepEMensAvvio::Registra();
        // The empty tables of the local-file form, as the build makes them.
        const QString iniziale = inst.root() + QStringLiteral("/USR/ZEP/DbIniziale/");
        QDir().mkpath(iniziale);
        for (const QString &f : {TZepKax::FileDipendenti, TZepKax::FileCollaboratori, TZepKax::FileDichiarante})
            QFile::copy(QStringLiteral(ZEP_TEST_BUILD_DIR) + QStringLiteral("/USR/ZEP/DbIniziale/") + f, iniziale + f);
    }
    ~EMensAvvioTest() override
    {
        TZepEMensAvvio::AnnullaRegistrazioni();
        SetPeriodoDenuncia(m_anno, m_mese);
    }

    RecordingServicesScope services;
    Installation inst;
    Caso caso;

private:
    QString m_anno = AnnoDenuncia, m_mese = MeseDenuncia;
};

QStringList comandi(const TUqApgPage *pagina)
{
    QStringList out;
    for (const TUqAttivazione *c : dmZepAttivazioni->VisibleCommands(pagina))
        out << c->Caption;
    return out;
}

} // namespace

TEST_P(EMensAvvioTest, CreatesItsModulesAndCommandsAndNothingOfTheCurrentProgram)
{
    inst.useArchive(inst.archive());
    TZepEMensAvvio avvio(caso.forma);
    avvio.Crea(inst.bin());
    EXPECT_EQ(avvio.Creati(), caso.creati);
    ASSERT_EQ(IZepMainState::Current(), avvio.MainWindow());
    TfmZepMain *principale = avvio.MainWindow();
    EXPECT_EQ(principale->windowTitle(), caso.titolo);
    EXPECT_EQ(dmZepAttivazioni->Store(), &principale->Store());
    const bool locale = caso.forma == Forma::FileLocali;
    EXPECT_EQ(dynamic_cast<TZepCdsLocale *>(&principale->Store()) != nullptr, locale);
    EXPECT_EQ(bool(TZepKax::Dialogo), locale) << "the alignment window is shown by the local-file form only";
    EXPECT_TRUE(platform::FormRegistry::IsRegistered(QStringLiteral("TfmZepFile")));
    EXPECT_FALSE(platform::FormRegistry::IsRegistered(QStringLiteral("TfmZepDmaIscritto")));

    EXPECT_EQ(comandi(dmZepAttivazioni->xpgEMens),
              (QStringList{"Importa", "Dipendenti", "Collaboratori/Altri", "Dichiarante", "File telematico"}));
    EXPECT_EQ(comandi(dmZepAttivazioni->xpgStampe), (QStringList{"Denuncia", "Dipendenti", "Collaboratori"}));
    EXPECT_EQ(comandi(dmZepAttivazioni->xpgStrumenti), QStringList{"Parametri"});
    EXPECT_TRUE(dmZepAttivazioni->xafFile->Modal);
    dmZepAttivazioni->ImpostaCartelleComandiShell();
    EXPECT_EQ(dmZepAttivazioni->xasNotizie->Folder, inst.base() + QStringLiteral("USR/ZEP/Res/"));
}

TEST_P(EMensAvvioTest, TheWorkingPeriodRefusesTheOtherProgramsYearsThenPreparesTheYearFolder)
{
    {
        TempDatabase archive(TempDatabase::Scripts{payroll::ArchiveScripts::all()});
        QFile::copy(archive.filePath(), inst.archive());
    }
    inst.useArchive(inst.archive());
    TZepEMensAvvio avvio(caso.forma);
    avvio.Crea(inst.bin());
    services->onNextDialog([this](QDialog &d) {
        auto &dialog = dynamic_cast<TfmZepParametri &>(d);
        dialog.deAnnoFin->setText(caso.annoRifiutato);
        dialog.buOk->click();
        EXPECT_EQ(dialog.result(), 0) << "the dialog stays open";
        dialog.deAnnoFin->setText(caso.anno);
        dialog.cbMesi->setCurrentIndex(2);
        dialog.buOk->click();
        return dialog.result();
    });
    ASSERT_EQ(avvio.Mostra(), 0) << services->messageTexts().join(QLatin1Char('\n')).toStdString();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(avvio.MainWindow(), &activate);

    ASSERT_EQ(services->messages().size(), 1) << services->messageTexts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(services->messages().at(0).text, caso.messaggio);
    EXPECT_EQ(PeriodoDenuncia(), caso.anno + QStringLiteral("-03"));
    EXPECT_EQ(avvio.MainWindow()->windowTitle(), caso.titolo + QStringLiteral(" (marzo ") + caso.anno + ')');
    EXPECT_TRUE(QFileInfo(inst.base() + QStringLiteral("USR/ZEP/Res/TEAM_ANNOMESE.cds")).isFile());
    const QString anno = inst.base() + QStringLiteral("USR/ZEPDati/ZEP") + caso.anno + '/';
    EXPECT_TRUE(QFileInfo(anno).isDir());
    if (caso.forma == Forma::FileLocali) {
        // The year's tables are files of the folder, made from the empty ones.
        for (const QString &f : {TZepKax::FileDipendenti, TZepKax::FileCollaboratori, TZepKax::FileDichiarante})
            EXPECT_TRUE(QFileInfo(anno + f).isFile()) << f.toStdString();
        // The window "Dipendenti" shows the working month of the year file.
        DataSet file;
        TTovCds::LoadFromFile(file, anno + TZepKax::FileDipendenti);
        EXPECT_TRUE(file.isEmpty());
        for (const char *mese : {"2006-03", "2006-04"}) {
            file.append();
            file.setFieldValue(QStringLiteral("AnnoMeseDenuncia"), QString::fromLatin1(mese));
            file.setFieldValue(QStringLiteral("CFLavoratore"), QStringLiteral("RSSMRA80A01H501U"));
            file.post();
        }
        TTovCds::SaveToFile(file, anno + TZepKax::FileDipendenti);
        dmZepAttivazioni->xafDipendenti->Execute();
        ASSERT_EQ(avvio.MainWindow()->mdiArea->subWindowList().size(), 1);
        auto *finestra = dynamic_cast<TfmZepDatiDenuncia *>(avvio.MainWindow()->mdiArea->subWindowList()[0]->widget());
        ASSERT_NE(finestra, nullptr);
        EXPECT_EQ(finestra->Frame()->cdsMain.recordCount(), 1);
        EXPECT_EQ(finestra->Frame()->cdsMain.fieldByName(QStringLiteral("AnnoMeseDenuncia")).asString(),
                  QStringLiteral("2006-03"));
    }
}

INSTANTIATE_TEST_SUITE_P(Forme, EMensAvvioTest, ::testing::Values(Forma::Database, Forma::FileLocali),
                         [](const auto &info) {
                             return info.param == Forma::Database ? std::string("zepdb") : std::string("zep");
                         });
