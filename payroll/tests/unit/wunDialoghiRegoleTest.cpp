// The rules of the payroll's small dialogs ("Bonus Irpef", "Ferie", hours
// and minutes, the calendar) and of the company-parameter frames, without a
// display.
#include "CalcoliTestSupport.h"
#include "WunCCalendario.h"
#include "WunCDaPagare66.h"
#include "WunUUtil.h"
#include "wunCFerie.h"
#include "wunCInputOreMinuti.h"
#include "wunCPaco.h"
#include "wunMParams.h"

#include <gtest/gtest.h>

using namespace calcolitest;
using platform::Value;

TEST(WunDaPagare66, ShowsThePersonAndTakesOnlyAWholeNumberFromOne)
{
    EXPECT_EQ(TWunDaPagare66::Dipendente(
                  *riga({"SANACAGCODE", "SANACOGNOME", "SANANOME"}, {"007", "ROSSI", "MARIA GRAZIA"})),
              "7 - ROSSI MARIA GRAZIA");
    TWunDaPagare66 regole(4);
    for (const char *rifiutato : {"0", "-1", "abc", "", "1.5", "2 3"}) {
        EXPECT_FALSE(regole.Accetta(rifiutato)) << rifiutato;
        EXPECT_EQ(regole.Testo(), "4") << "the edit shows the value last stored";
    }
    EXPECT_TRUE(regole.Accetta(" 3 "));
    EXPECT_EQ(regole.Numero(), 3);
}

TEST(WunFerie, DaysToPayOutAndTheirRefusals)
{
    TWunFerie dopo(euro("10"), euro("12.5"), QDate(2024, 6, 30));
    EXPECT_EQ(dopo.TestoIniziale(), "0,00") << "never below 0";
    EXPECT_TRUE(dopo.SolaLettura()) << "nothing to pay out before a cutoff";
    EXPECT_EQ(dopo.EtichettaMaturate(), "Giorni ferie maturate (prima del 30/06/2024)");
    EXPECT_EQ(dopo.TestoMaturate(), "10,00");
    EXPECT_EQ(dopo.TestoGodute(), "12,50");

    TWunFerie senzaLimite(euro("10"), euro("12.5"));
    EXPECT_FALSE(senzaLimite.SolaLettura());
    EXPECT_EQ(senzaLimite.EtichettaMaturate(), "Giorni ferie maturate");

    TWunFerie regole(euro("20"), euro("12.5"), QDate(2024, 6, 30));
    EXPECT_FALSE(regole.SolaLettura());
    EXPECT_EQ(regole.Giorni(), euro("7.5"));
    EXPECT_FALSE(regole.Accetta("sette"));
    EXPECT_EQ(regole.Testo(), "7,50");
    EXPECT_TRUE(regole.Accetta("3,25"));
    EXPECT_EQ(regole.Giorni(), euro("3.25"));
    EXPECT_TRUE(regole.Accetta("0.5"));
    EXPECT_EQ(regole.Testo(), ",50");
}

TEST(WunInputOreMinuti, HoursAndMinutesIntoAFieldOfMinutes)
{
    auto ds = tabella({"IVAPEORESERVIZIO", "SORARIO"}, {{90, "07:12"}});
    platform::Field &minuti = ds->fieldByName("IVAPEORESERVIZIO");
    EXPECT_EQ(TWunInputOreMinuti::TestoIniziale(minuti), "01:30");
    EXPECT_TRUE(TWunInputOreMinuti::Applica(minuti, "36:15"));
    EXPECT_EQ(ds->state(), platform::DataSetState::Edit) << "the dataset is put in edit";
    EXPECT_EQ(minuti.asInteger(), 36 * 60 + 15);
    for (const char *sbagliato : {"__:__", "01:75", "1:2:3"}) {
        EXPECT_FALSE(TWunInputOreMinuti::Applica(minuti, sbagliato)) << sbagliato;
        EXPECT_TRUE(minuti.isNull()) << sbagliato;
        minuti.setAsInteger(1);
    }
    EXPECT_TRUE(TWunInputOreMinuti::Applica(ds->fieldByName("SORARIO"), "08:00"));
    EXPECT_EQ(ds->fieldByName("SORARIO").asString(), "08:00");
}

TEST(WunCalendario, StartDatePlaceAndDoubleClicks)
{
    const QDate oggi(2024, 11, 20);
    auto ds = tabella({"DVAPEDAL"}, {{Value::null()}});
    platform::Field &data = ds->fieldByName("DVAPEDAL");
    EXPECT_EQ(TWunCalendario::DataIniziale(&data, QDate(2024, 3, 1), oggi), QDate(2024, 3, 1));
    EXPECT_EQ(TWunCalendario::DataIniziale(&data, QDate(), oggi), oggi);
    TWunCalendario::Applica(data, QDate(2024, 5, 2));
    EXPECT_EQ(TWunCalendario::DataIniziale(&data, QDate(2024, 3, 1), oggi), QDate(2024, 5, 2));

    const QRect schermo(0, 0, 1280, 800);
    const QSize form(220, 200);
    EXPECT_EQ(TWunCalendario::Posizione(QPoint(100, 100), form, schermo), QPoint(98, 120));
    EXPECT_EQ(TWunCalendario::Posizione(QPoint(1, 100), form, schermo), QPoint(1, 120)) << "no room on the left";
    EXPECT_EQ(TWunCalendario::Posizione(QPoint(100, 700), form, schermo), QPoint(98, 500)) << "above the grid";

    TWunCalendario regole;
    regole.Registra(10000); // shown
    EXPECT_FALSE(regole.DoppioClicValido(10499));
    EXPECT_TRUE(regole.DoppioClicValido(10500));
    regole.Registra(11000); // month changed
    EXPECT_FALSE(regole.DoppioClicValido(11200));
}

using WunPacoSuArchivio = DemoCalcoli;

TEST_F(WunPacoSuArchivio, AYearWithoutParametersGetsItsRowAndTheParametersFollowTheSave)
{
    TdmWunParams parametri;
    parametri.DataModuleCreate();
    const int progetto = scalar("SELECT IDWGANFID FROM TDWGANF_DATORIANNO WHERE IANFID = 55").toInt();
    db().execute("DELETE FROM TPACO_PARAMCOMP WHERE IANFID = 55");
    WunProgetto().SetId(progetto);

    TWunPaco paco;
    paco.ApriDati();
    ASSERT_EQ(paco.xqcMain.state(), platform::DataSetState::Insert);
    EXPECT_EQ(paco.xqcMain.fieldByName("IANFID").asInteger(), 55);
    EXPECT_EQ(paco.xqcMain.fieldByName("IDWGANFID").asInteger(), progetto);
    paco.xqcMain.fieldByName("SPACOMATRAZIENDA").setAsString("7654321098");
    WunProgetto().SetId(-1);
    paco.Salva();
    EXPECT_EQ(scalar("SELECT SPACOMATRAZIENDA FROM TPACO_PARAMCOMP WHERE IANFID = 55").toString(), "7654321098");
    EXPECT_EQ(WunProgetto().Id(), progetto) << "the parameters module read the year again";

    TWunPaco esistente;
    esistente.ApriDati();
    EXPECT_EQ(esistente.xqcMain.state(), platform::DataSetState::Browse);
    EXPECT_EQ(esistente.xqcMain.fieldByName("SPACOMATRAZIENDA").asString(), "7654321098");
}
