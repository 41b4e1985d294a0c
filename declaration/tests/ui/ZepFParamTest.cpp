// The working-period dialog "Parametri": the years it refuses, what closing
// it sets (period, file, status panel, caption, store), what it shows when it
// opens, and the year data folder with the declarant carried over once.
#include "ZepFParam.h"
#include "ZepWorkingPeriodSupport.h"

#include "DataSetFile.h"
#include "Exceptions.h"
#include "FormRegistry.h"
#include "TovUCdsUtil.h"
#include "ZepFAnnoMese.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

using namespace periodtest;

TEST_F(WorkingPeriodTest, RefusedYearKeepsTheDialogOpenAndChangesNothing)
{
    TfmZepParametri dialog;
    // Letters are not a year, whatever the program.
    dialog.deAnnoFin->setText(QStringLiteral("ABCD"));
    dialog.buOk->click();
    dialog.deAnnoFin->setText(QStringLiteral("2009"));
    dialog.cbMesi->setCurrentIndex(4);
    dialog.buOk->click();
    // Escape and the window's close button are close requests too.
    dialog.reject();

    ASSERT_EQ(services->messages().size(), 3);
    EXPECT_EQ(services->messages().at(0).text,
              QStringLiteral("Campo \"Anno finanziario\": \"ABCD\" non è un anno: servono 4 cifre"));
    EXPECT_TRUE(services->messages().at(1).text.startsWith(
        QStringLiteral("Per gestire i dati degli anni finanziari precedenti al 2010")));
    EXPECT_EQ(services->messages().at(1).type, platform::MessageType::Error);
    EXPECT_EQ(dialog.result(), 0); // never closed
    EXPECT_TRUE(AnnoDenuncia.isEmpty());
    EXPECT_TRUE(MeseDenuncia.isEmpty());
    EXPECT_TRUE(main.testoStato.isEmpty());
    EXPECT_TRUE(main.titolo.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(main.path(QStringLiteral("USR/UniEmens/Res/TEAM_ANNOMESE.cds"))));
    EXPECT_FALSE(QFileInfo::exists(main.path(QStringLiteral("USR/UniEmensDati"))));
}

TEST_F(WorkingPeriodTest, March2010SetsPeriodFileStatusCaptionAndStore)
{
    TfmZepParametri dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Parametri"));
    EXPECT_FALSE(dialog.buCancel->isVisibleTo(&dialog));
    ASSERT_EQ(dialog.cbMesi->count(), 12);
    EXPECT_EQ(dialog.cbMesi->itemText(0), QStringLiteral("gennaio"));
    EXPECT_EQ(dialog.cbMesi->itemText(11), QStringLiteral("dicembre"));
    EXPECT_EQ(dialog.deAnnoFin->maxLength(), 4);

    dialog.deAnnoFin->setText(QStringLiteral("2010"));
    dialog.cbMesi->setCurrentIndex(2);
    dialog.dptData->setDate(QDate(2010, 4, 16));
    dialog.buOk->click();

    EXPECT_EQ(dialog.result(), int(mrOk));
    EXPECT_TRUE(services->messages().isEmpty()) << services->messageTexts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(AnnoDenuncia, QStringLiteral("2010"));
    EXPECT_EQ(MeseDenuncia, QStringLiteral("03"));
    EXPECT_EQ(PeriodoDenuncia(), QStringLiteral("2010-03"));
    EXPECT_EQ(main.testoStato, QStringLiteral("Anno/Mese Denuncia: 2010/marzo") + Circolare);
    EXPECT_EQ(main.titolo, QStringLiteral("zepUni - Denunce UniEmens (marzo 2010)"));
    EXPECT_EQ(main.dataModello, QStringLiteral("16/04/2010"));
    EXPECT_EQ(store.Year(), 2010);
    EXPECT_EQ(store.Month(), 3);
    EXPECT_EQ(periodFile(main), qMakePair(QStringLiteral("2010"), QStringLiteral("03")));
    EXPECT_EQ(main.cartellaDatiAnno, QStringLiteral("USR/UniEmensDati/UniEmens2010/"));
    EXPECT_TRUE(QFileInfo(main.path(QStringLiteral("USR/UniEmensDati/UniEmens2010"))).isDir());

    // The next opening shows the period and the model date just chosen.
    TfmZepParametri again;
    EXPECT_EQ(again.deAnnoFin->text(), QStringLiteral("2010"));
    EXPECT_EQ(again.cbMesi->currentText(), QStringLiteral("marzo"));
    EXPECT_EQ(again.dptData->date(), QDate(2010, 4, 16));
}

TEST_F(WorkingPeriodTest, DecemberAndEveryCloseRequestTakeThePeriod)
{
    TfmZepParametri dialog;
    dialog.deAnnoFin->setText(QStringLiteral("2024"));
    dialog.cbMesi->setCurrentIndex(11);
    dialog.reject(); // the dialog has no Cancel: closing takes the period too
    EXPECT_EQ(PeriodoDenuncia(), QStringLiteral("2024-12"));
    EXPECT_EQ(main.testoStato, QStringLiteral("Anno/Mese Denuncia: 2024/dicembre") + Circolare);
    EXPECT_EQ(main.titolo, QStringLiteral("zepUni - Denunce UniEmens (dicembre 2024)"));
    EXPECT_EQ(store.Month(), 12);
}

TEST_F(WorkingPeriodTest, DamagedPeriodFileIsReportedAndTheDefaultsShown)
{
    QDir().mkpath(main.path(QStringLiteral("USR/UniEmens/Res")));
    QFile f(main.path(QStringLiteral("USR/UniEmens/Res/TEAM_ANNOMESE.cds")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a dataset file");
    f.close();

    TfmZepParametri dialog;
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_TRUE(services->messages().at(0).text.contains(QStringLiteral("TEAM_ANNOMESE")))
        << services->messages().at(0).text.toStdString();
    EXPECT_EQ(dialog.deAnnoFin->text(), QString::number(QDate::currentDate().year()));
    EXPECT_EQ(dialog.cbMesi->currentIndex(), 0);

    // Closing writes a sound file again.
    dialog.deAnnoFin->setText(QStringLiteral("2012"));
    dialog.cbMesi->setCurrentIndex(9);
    dialog.buOk->click();
    EXPECT_EQ(periodFile(main), qMakePair(QStringLiteral("2012"), QStringLiteral("10")));
}

TEST_F(WorkingPeriodTest, DeclarantIsCarriedOverOnceOnTheFirstOpeningOfAYear)
{
    saveDeclarant(2023, QStringLiteral("01234567890"), QStringLiteral("Ditta Prova"));
    const QString oldRow = declarants(2023).value(0).section(QLatin1Char('|'), 2);

    TZepParametri logic(main);
    logic.Applica(QStringLiteral("2024"), 1, QString());
    QStringList rows = declarants(2024);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows.at(0).startsWith(QStringLiteral("01234567890|Ditta Prova|")));
    // The copy is a record of its own: the store numbered it anew.
    EXPECT_NE(rows.at(0).section(QLatin1Char('|'), 2), oldRow);
    EXPECT_TRUE(QFileInfo(main.path(QStringLiteral("USR/UniEmensDati/UniEmens2024"))).isDir());
    // The previous year is untouched.
    EXPECT_EQ(declarants(2023).size(), 1);

    // Opening the year again copies nothing, even after the previous year's
    // declarant changed.
    saveDeclarant(2023, QStringLiteral("99999999999"), QStringLiteral("Altra"));
    logic.Applica(QStringLiteral("2024"), 2, QString());
    EXPECT_EQ(declarants(2024), rows);
    // Another month of the same year too.
    TfmZepParametri dialog;
    dialog.deAnnoFin->setText(QStringLiteral("2024"));
    dialog.cbMesi->setCurrentIndex(5);
    dialog.buOk->click();
    EXPECT_EQ(declarants(2024), rows);
    EXPECT_TRUE(services->messages().isEmpty());
}

TEST_F(WorkingPeriodTest, FailureAfterTheYearIsAcceptedIsShownAndTheDialogCloses)
{
    // A store without the declarant layout cannot prepare the year folder.
    TempDatabase bare(TempDatabase::Scripts{TempDatabase::projectScripts(QStringLiteral("foundation"))});
    store.SetConnection(&bare.db());
    TfmZepParametri dialog;
    dialog.deAnnoFin->setText(QStringLiteral("2022"));
    dialog.cbMesi->setCurrentIndex(0);
    dialog.buOk->click();

    EXPECT_EQ(dialog.result(), int(mrOk));
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).text,
              QStringLiteral("Impossibile trovare il ClientDataSet (TAMM_AMMINISTRAZIONE)."));
    // The period is taken; the year folder is not made, so the next opening
    // of the year tries the declarant again.
    EXPECT_EQ(PeriodoDenuncia(), QStringLiteral("2022-01"));
    EXPECT_EQ(periodFile(main).first, QStringLiteral("2022"));
    EXPECT_FALSE(QFileInfo::exists(main.path(QStringLiteral("USR/UniEmensDati/UniEmens2022"))));
    store.SetConnection(&tdb.db());
}

TEST_F(WorkingPeriodTest, WhenThePeriodFileAndTheYearFolderBothFailBothAreTold)
{
    // The resource folder is a file: the period file cannot be written.
    QDir().mkpath(main.path(QStringLiteral("USR/UniEmens")));
    {
        QFile blocker(main.path(QStringLiteral("USR/UniEmens/Res")));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    // A store without the declarant layout cannot prepare the year folder.
    TempDatabase bare(TempDatabase::Scripts{TempDatabase::projectScripts(QStringLiteral("foundation"))});
    store.SetConnection(&bare.db());
    TfmZepParametri dialog;
    services->clear();
    dialog.deAnnoFin->setText(QStringLiteral("2022"));
    dialog.cbMesi->setCurrentIndex(4);
    dialog.buOk->click();

    EXPECT_EQ(dialog.result(), int(mrOk));
    EXPECT_EQ(PeriodoDenuncia(), QStringLiteral("2022-05"));
    const QString shown = services->messageTexts().join(QLatin1Char('\n'));
    EXPECT_TRUE(shown.contains(QStringLiteral("Impossibile creare la cartella"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Impossibile trovare il ClientDataSet (TAMM_AMMINISTRAZIONE).")))
        << shown.toStdString();
    store.SetConnection(&tdb.db());
}

TEST_F(WorkingPeriodTest, DialogIsOpenedByItsClassName)
{
    TfmZepParametri::RegisterClass();
    std::unique_ptr<QWidget> w(platform::FormRegistry::Create(QStringLiteral("TfmZepParametri")));
    EXPECT_NE(qobject_cast<TfmZepParametri *>(w.get()), nullptr);
    platform::FormRegistry::Unregister(QStringLiteral("TfmZepParametri"));
}

// ---------------------------------------------------------------------------

class YearMonthDialogTest : public ::testing::Test {
protected:
    RecordingServicesScope services;
};

TEST_F(YearMonthDialogTest, OkGivesTheChosenPeriodAfterTheYearCheck)
{
    QString shown;
    services->onNextDialog([&](QDialog &d) {
        auto &dialog = dynamic_cast<TfmZepAnnoMese &>(d);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Anno Mese erogazione"));
        shown = dialog.deAnnoFin->text() + QLatin1Char('/') + dialog.cbMesi->currentText();
        dialog.deAnnoFin->setText(QStringLiteral("0"));
        dialog.buOk->click(); // refused: stays open
        EXPECT_EQ(dialog.result(), 0);
        dialog.deAnnoFin->setText(QStringLiteral("abc"));
        dialog.buOk->click();
        EXPECT_EQ(dialog.result(), 0);
        dialog.deAnnoFin->setText(QStringLiteral("20")); // no year of four digits
        dialog.buOk->click();
        EXPECT_EQ(dialog.result(), 0);
        dialog.deAnnoFin->setText(QStringLiteral("2022"));
        dialog.cbMesi->setCurrentIndex(1);
        dialog.buOk->click();
        return dialog.result();
    });
    QString period = QStringLiteral("2023-07");
    EXPECT_TRUE(TfmZepAnnoMese::Execute(period));
    EXPECT_EQ(shown, QStringLiteral("2023/luglio"));
    EXPECT_EQ(period, QStringLiteral("2022-02"));
    EXPECT_EQ(services->messageTexts(), QStringList({QStringLiteral("Anno finanziario non corretto"),
                                                     QStringLiteral("Anno finanziario non corretto"),
                                                     QStringLiteral("Anno finanziario non corretto")}));
}

TEST_F(YearMonthDialogTest, CancelLeavesThePeriodWithoutChecking)
{
    services->onNextDialog([&](QDialog &d) {
        auto &dialog = dynamic_cast<TfmZepAnnoMese &>(d);
        dialog.deAnnoFin->setText(QString());
        dialog.buCancel->click();
        return dialog.result();
    });
    QString period = QStringLiteral("2023-07");
    EXPECT_FALSE(TfmZepAnnoMese::Execute(period));
    EXPECT_EQ(period, QStringLiteral("2023-07"));
    EXPECT_TRUE(services->messages().isEmpty());
}
