// The payroll's small dialogs and the company-parameter frame: what they
// show, what they refuse (staying open), and what they hand back.
#include "CalcoliTestSupport.h"
#include "RecordingServices.h"
#include "WunFCalendario.h"
#include "WunFDaPagare66.h"
#include "wunFFerie.h"
#include "wunFInputOreMinuti.h"
#include "wunFOENC.h"
#include "wunRPacoDm10.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace calcolitest;

namespace {

class WunDialoghi : public ::testing::Test {
protected:
    RecordingServicesScope services;

    // Sets the text and presses OK: the dialog's result (0 while it stays open).
    static int okCon(TfmUqDialog &d, QLineEdit *edit, const QString &testo)
    {
        edit->setText(testo);
        d.buOk->click();
        return d.result();
    }
};

} // namespace

TEST_F(WunDialoghi, BonusIrpefRefusesWhatIsNotAWholeNumberFromOne)
{
    auto persona = riga({"SANACAGCODE", "SANACOGNOME", "SANANOME"}, {"0012", "ROSSI", "MARIA"});
    services->onNextDialog([](QDialog &d) {
        auto &dialogo = dynamic_cast<TfmWunDaPagare66 &>(d);
        EXPECT_EQ(dialogo.windowTitle(), "Bonus Irpef");
        EXPECT_EQ(dialogo.laDipendente->text(), "12 - ROSSI MARIA");
        EXPECT_EQ(dialogo.edLiq->text(), "6");
        for (const char *sbagliato : {"0", "-2", "abc", ""}) {
            EXPECT_EQ(okCon(dialogo, dialogo.edLiq, sbagliato), 0) << sbagliato;
            EXPECT_EQ(dialogo.edLiq->text(), "6") << "the value last stored is shown again";
        }
        return okCon(dialogo, dialogo.edLiq, "3");
    });
    TfmWunDaPagare66 avvio; // the start-up dialog is the one shown
    int numero = 6;
    EXPECT_EQ(TfmWunDaPagare66::Execute(*persona, numero), mrOk);
    EXPECT_EQ(numero, 3);
    ASSERT_EQ(services->messages().size(), 4);
    EXPECT_EQ(services->messages().front().text, "Valore errato");
    EXPECT_EQ(services->messages().front().type, platform::MessageType::Error);
    EXPECT_EQ(services->dialogs().size(), 1);

    services->onNextDialog([](QDialog &d) {
        auto &dialogo = dynamic_cast<TfmWunDaPagare66 &>(d);
        EXPECT_EQ(dialogo.edLiq->text(), "3");
        dialogo.edLiq->setText("9");
        dialogo.buCancel->click();
        return dialogo.result();
    });
    EXPECT_EQ(TfmWunDaPagare66::Execute(*persona, numero), mrCancel);
    EXPECT_EQ(numero, 3) << "cancelling keeps the proposed number";

    // Installed, the dialog is what the rules ask for the payments.
    TfmWunDaPagare66::Installa();
    services->onNextDialog([](QDialog &d) {
        auto &dialogo = dynamic_cast<TfmWunDaPagare66 &>(d);
        EXPECT_EQ(dialogo.edLiq->text(), "5");
        return okCon(dialogo, dialogo.edLiq, "2");
    });
    EXPECT_EQ(TWunDaPagare66::Conferma(*persona, 5), 2);
    TWunDaPagare66::OnConferma = nullptr;
}

TEST_F(WunDialoghi, FerieShowsTheDaysAndTakesOnlyANumber)
{
    services->onNextDialog([](QDialog &d) {
        auto &dialogo = dynamic_cast<TfmWunFerie &>(d);
        EXPECT_EQ(dialogo.windowTitle(), "Ferie");
        EXPECT_EQ(dialogo.laMaturate->text(), "Giorni ferie maturate (prima del 30/06/2024)");
        EXPECT_EQ(dialogo.laFerieMat->text(), "10,00");
        EXPECT_EQ(dialogo.laFerieGodute->text(), "12,50");
        EXPECT_EQ(dialogo.laSosp->text(), "Cessazione al 31/07/2024");
        EXPECT_EQ(dialogo.edFerie->text(), "0,00");
        EXPECT_TRUE(dialogo.edFerie->isReadOnly());
        dialogo.buOk->click();
        return dialogo.result();
    });
    platform::Currency giorni = euro("10");
    EXPECT_EQ(TfmWunFerie::Execute(giorni, "Cessazione al 31/07/2024", QDate(2024, 6, 30), euro("12.5")), mrOk);
    EXPECT_EQ(giorni, platform::Currency());

    services->onNextDialog([](QDialog &d) {
        auto &dialogo = dynamic_cast<TfmWunFerie &>(d);
        EXPECT_FALSE(dialogo.edFerie->isReadOnly());
        EXPECT_EQ(okCon(dialogo, dialogo.edFerie, "sette"), 0);
        EXPECT_EQ(dialogo.edFerie->text(), "7,50");
        return okCon(dialogo, dialogo.edFerie, "3,25");
    });
    giorni = euro("20");
    EXPECT_EQ(TfmWunFerie::Execute(giorni, QString(), QDate(), euro("12.5")), mrOk);
    EXPECT_EQ(giorni, euro("3.25"));
    EXPECT_EQ(services->messageTexts(), QStringList({"Valore errato"}));
}

TEST_F(WunDialoghi, HoursAndMinutesThroughTheMask)
{
    auto ds = tabella({"IVAPEORESERVIZIO"}, {{90}});
    services->onNextDialog([](QDialog &d) {
        auto &dialogo = dynamic_cast<TfmWunInputOreMinuti &>(d);
        EXPECT_EQ(dialogo.windowTitle(), "Inserire ore e minuti ...");
        EXPECT_EQ(dialogo.mdOre->text(), "01:30");
        dialogo.mdOre->selectAll();
        QTest::keyClicks(dialogo.mdOre, "x2a45"); // the mask takes digits only
        EXPECT_EQ(dialogo.mdOre->text(), "24:5");
        dialogo.mdOre->setText("02:45");
        dialogo.buOk->click();
        return dialogo.result();
    });
    EXPECT_EQ(TfmWunInputOreMinuti::Execute(ds->fieldByName("IVAPEORESERVIZIO")), mrOk);
    EXPECT_EQ(ds->fieldByName("IVAPEORESERVIZIO").asInteger(), 165);
}

TEST_F(WunDialoghi, CalendarIgnoresTheDoubleClicksOfTheMonthNavigation)
{
    auto ds = tabella({"DVAPEDAL"}, {{QDate(2024, 3, 15)}});
    TfmWunCalendario calendario;
    qint64 adesso = 5000;
    calendario.Orologio = [&] { return adesso; };
    services->onNextDialog([&](QDialog &d) {
        auto &dialogo = dynamic_cast<TfmWunCalendario &>(d);
        EXPECT_EQ(dialogo.caCalendario->selectedDate(), QDate(2024, 3, 15));
        dialogo.caCalendario->setSelectedDate(QDate(2024, 4, 2)); // a month change
        adesso += 499;
        dialogo.DoppioClic();
        EXPECT_EQ(dialogo.result(), 0) << "within 500 ms of the month change";
        adesso += 1;
        dialogo.DoppioClic();
        return dialogo.result();
    });
    const QRect schermo(0, 0, 1280, 800);
    EXPECT_EQ(calendario.Esegui(ds->fieldByName("DVAPEDAL"), QDate(), QPoint(300, 200), schermo), QDialog::Accepted);
    EXPECT_EQ(calendario.pos(), QPoint(298, 220));
    EXPECT_EQ(ds->state(), platform::DataSetState::Edit);
    EXPECT_EQ(ds->fieldByName("DVAPEDAL").asDate(), QDate(2024, 4, 2));
}

TEST_F(WunDialoghi, HoursBeyondTheChairAreShownForInformation)
{
    TWunOreNonCattedra v;
    v.Giorni = 30;
    v.Ore = euro("18");
    v.OreSostituzione = euro("2");
    v.OrarioIntero = euro("78");
    v.OrarioRapporto = euro("78");
    v.Totale = euro("80");
    v.OreEccedenti = euro("2");
    services->onNextDialog([](QDialog &d) {
        auto &dialogo = dynamic_cast<TfmwunOENC &>(d);
        EXPECT_EQ(dialogo.windowTitle(), "Ore eccedenti non cattedra");
        const QStringList testi{dialogo.edGiorni->text(), dialogo.edOre->text(),  dialogo.edSost->text(),
                                dialogo.edIntero->text(), dialogo.edRapp->text(), dialogo.edTot->text(),
                                dialogo.EdOe->text()};
        EXPECT_EQ(testi, QStringList({"30", "18", "2", "78,00", "78,00", "80,00", "2,00"}));
        EXPECT_TRUE(dialogo.edGiorni->isReadOnly());
        dialogo.buOk->click();
        return dialogo.result();
    });
    TfmwunOENC::Installa();
    TwunCalcolaFond::OnOreNonCattedra(v);
    TwunCalcolaFond::OnOreNonCattedra = nullptr;
    EXPECT_EQ(services->dialogs().size(), 1);
}

using WunPacoFrame = DemoCalcoli;

TEST_F(WunPacoFrame, TheCompanyNumbersOfTheYearAreShownAndWritten)
{
    TfrWunPacoDm10 frame;
    EXPECT_FALSE(frame.xdeMatAzienda->isEnabled()) << "nothing open yet";
    frame.ApriDati();
    EXPECT_EQ(frame.xdeMatAzienda->text(), "1234567890");
    EXPECT_EQ(frame.xdeMatAziendaAcc->text(), "1234567891");
    frame.xdeMatAziendaAcc->selectAll();
    QTest::keyClicks(frame.xdeMatAziendaAcc, "1234567899");
    EXPECT_EQ(frame.xqcMain.state(), platform::DataSetState::Edit);
    EXPECT_EQ(frame.xqcMain.fieldByName("SPACOMATRAZACC").asString(), "1234567899");
    EXPECT_TRUE(frame.xdsMain.Pending());
    frame.Salva();
    EXPECT_EQ(scalar("SELECT SPACOMATRAZACC FROM TPACO_PARAMCOMP WHERE IANFID = 55").toString(), "1234567899");
}
