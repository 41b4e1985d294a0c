// The fundamental pay of a month: effective hours, period amounts from the
// contract tables, reductions, items by qualification, the withholding rows'
// taxables, the excess-hours rate and the pension-fund rules; and the pay of
// every demo person of a month computed without error.
#include "CalcoliTestSupport.h"
#include "WunMOreEccedenti.h"
#include "WunUUtil.h"
#include "wunMFpcCalcola.h"
#include "wunUCalcoliAnno.h"
#include "wunUCalcoliFond.h"

#include "Exceptions.h"
#include "SqlQuery.h"
#include "UqQueryCollection.h"
#include "tovCQueryText.h"

#include <gtest/gtest.h>

using namespace calcolitest;
using platform::Currency;
using platform::DataSet;
using platform::Value;
using platform::ValueList;

namespace {

const QStringList kColonnePeriodo{"IQARID",          "IVAPEGIORNI",       "IVAPEOREPREVISTE", "IVAPEORESERVIZIO",
                                  "IVAPEOREECCNC",   "IVAPEOREECCEDENTI", "LVAPECATTEDRA",    "LVAPEPARTTIME",
                                  "ORARIO_EFF",      "COEFF_ORESERV",     "OREECCNC_EFF",     "ITACOID01",
                                  "IVARDGIORNIORE01"};

// A period of qualification 1: days, service minutes of 36 contract hours,
// and a reduction.
ValueList periodo(int giorni, int servizio = 2160, int riduzione = 0, int giorniRiduzione = 0, int qualifica = 1)
{
    return {qualifica,  giorni,     36,        servizio,       0, 0, 0, 0, Currency::fromInt(servizio),
            Currency(), Currency(), riduzione, giorniRiduzione};
}

const QStringList kColonneVoci{"ICOMRID",    "ICOMRGRUPPO",      "ICOMRAIUTOID",
                               "FVACRLORDO", "FVACRLORDOINTERO", "LVACRASSOGGETTATO"};

ValueList voce(int id, int gruppo, int aiuto, const char *lordoIntero = "0")
{
    return {id, gruppo, aiuto, Currency(), euro(lordoIntero), 1};
}

// The contract amounts of qualification 1: a yearly salary of 24,000.00 and
// second item of 2,400.00, monthly function allowance 60.00, contract
// vacancy at 0.5 per cent of the monthly base.
std::unique_ptr<DataSet> ccnl()
{
    return tabella({"ICOMRID", "IQARID", "FCCNLIMPORTO", "ICOMRAIUTOID", "FCCNAPERC"},
                   {{10001, 1, euro("24000"), 1, euro("0.5")},
                    {10002, 1, euro("2400"), 1, euro("0.5")},
                    {10053, 1, euro("60"), 7, euro("0.5")},
                    {10071, 1, euro("12"), 7, euro("0.5")},
                    {10053, 2, euro("90"), 7, euro("0.5")}});
}

// Reduction kinds: sickness paid in full, parental leave paid at 30 per
// cent, unpaid leave (kind 1), strike by the hour (kind 2), maternity.
std::unique_ptr<DataSet> riduzioni()
{
    return tabella(
        {"ITACOID", "ITACOTIPOCALCOLO", "FTACOPERCSTIPENDIO"},
        {{1, 3, euro("100")}, {3, 1, euro("0")}, {4, 3, euro("30")}, {5, 3, euro("100")}, {7, 2, euro("0")}});
}

const QStringList kColonneRitenute{"ICOMRID",
                                   "IRICEID",
                                   "ITVCOCODDIP",
                                   "ITVCOCODAMM",
                                   "FVARRIMPONIBILE",
                                   "FVARRIMPONIBILEDIP",
                                   "FVARRIMPONIBILEAMM",
                                   "FVARRPERCIMPDIP",
                                   "FVARRPERCIMPAMM",
                                   "FVARRALIQUOTADIP",
                                   "FVARRALIQUOTAAMM",
                                   "FVARRRITDIP",
                                   "FVARRRITAMM",
                                   "LVARRIMPFISSATI",
                                   "IFPCID"};

ValueList ritenuta(int voce, int rice, int codDip = 2, int codAmm = 6, const char *aliqDip = "0",
                   const char *aliqAmm = "0")
{
    return {voce,        rice,          codDip,        codAmm,     Currency(), Currency(), Currency(),   euro("100"),
            euro("100"), euro(aliqDip), euro(aliqAmm), Currency(), Currency(), 0,          Value::null()};
}

struct Tabelle {
    std::unique_ptr<DataSet> importi = ccnl();
    std::unique_ptr<DataSet> tipi = riduzioni();
    std::unique_ptr<DataSet> perVoce = tabella({"ITACOID", "ICOMRID", "LTACOCOMRAPPLICATA"},
                                               {{4, 10071, 0}, {1, 10053, Value::null()}});
    std::unique_ptr<DataSet> perRitenuta = tabella({"ITACOID", "IRICEID", "FTACORICEDECIMPDIP", "FTACORICEDECIMPAMM"},
                                                   {{4, 3, euro("70"), euro("70")}});
    std::unique_ptr<DataSet> mensili = tabella({"ICOMRID", "FASTRIMPORTO"}, {{10016, euro("150")}});
    TwunCalcolaFond::TTabelle t{importi.get(), mensili.get(), tipi.get(), perVoce.get(), perRitenuta.get()};
};

Currency importoPeriodo(const ValueList &p, const ValueList &v, const DataSet *compenso = nullptr)
{
    Tabelle tab;
    return TwunCalcolaFond::ImportoPeriodo(*tabella(kColonnePeriodo, {p}), *tabella(kColonneVoci, {v}), compenso,
                                           tab.t);
}

} // namespace

TEST(WunCalcolaFond, EffectiveHoursOfAPeriod)
{
    // Without substitute minutes the effective minutes are the service minutes.
    auto p = tabella(kColonnePeriodo, {periodo(30, 1080)});
    p->edit();
    TwunCalcolaFond::CalcolaOrarioEffettivo(*p, false, false);
    EXPECT_EQ(p->fieldByName("ORARIO_EFF").asCurrency(), Currency::fromInt(1080));
    EXPECT_EQ(p->fieldByName("COEFF_ORESERV").asCurrency(), Currency());

    struct Caso {
        int servizio, previste, cattedra, sostituzione;
        bool arrotonda;
        const char *coefficiente, *eccedenti, *effettivo;
    };
    for (const Caso &c :
         {// a chair of 18 hours with 2 substitute hours: 2 hours beyond the chair
          Caso{1080, 18, 1, 120, false, "80", "2", "1080"},
          // 10 hours of 18 and 2 substitute hours: 45.33 yearly hours over 30 days
          Caso{600, 18, 0, 120, false, "45.33", "0", "627.6462"}, Caso{600, 18, 0, 120, true, "45.33", "0", "628"}}) {
        ValueList r = periodo(30, c.servizio);
        r[2] = c.previste;
        r[4] = c.sostituzione;
        r[6] = c.cattedra;
        auto q = tabella(kColonnePeriodo, {r});
        TWunOreNonCattedra mostrato;
        TwunCalcolaFond::OnOreNonCattedra = [&](const TWunOreNonCattedra &v) { mostrato = v; };
        q->edit();
        TwunCalcolaFond::CalcolaOrarioEffettivo(*q, true, c.arrotonda);
        TwunCalcolaFond::OnOreNonCattedra = nullptr;
        EXPECT_EQ(q->fieldByName("COEFF_ORESERV").asCurrency(), euro(c.coefficiente)) << c.servizio;
        EXPECT_EQ(q->fieldByName("OREECCNC_EFF").asCurrency(), euro(c.eccedenti)) << c.servizio;
        EXPECT_EQ(q->fieldByName("ORARIO_EFF").asCurrency(), euro(c.effettivo)) << c.servizio;
        EXPECT_EQ(mostrato.Totale, euro(c.coefficiente));
        EXPECT_EQ(mostrato.OrarioIntero, euro("78")) << "18 hours x 52 x 30 / 360";
        EXPECT_EQ(mostrato.OreSostituzione, euro("2"));
    }

    // A period without days cannot be brought back to weekly minutes.
    ValueList senzaGiorni = periodo(0, 600);
    senzaGiorni[9] = euro("45.33");
    try {
        TwunCalcolaFond::OrarioEffettivoDaCoefficiente(*tabella(kColonnePeriodo, {senzaGiorni}));
        FAIL();
    } catch (const ETovCalcola &e) {
        EXPECT_TRUE(e.message().contains("IVAPEGIORNI")) << e.message().toStdString();
    }
}

TEST(WunCalcolaFond, AmountOfAnItemInAPeriod)
{
    TWunCalcolaAnno::CreaPerAnno(2022);
    auto compenso = riga({"ITNOID", "LACOMANTICIPOIVC"}, {1, 0});
    auto anticipata = riga({"ITNOID", "LACOMANTICIPOIVC"}, {1, 1});
    struct Caso {
        const char *nome;
        ValueList periodo, voce;
        const DataSet *compenso;
        const char *atteso;
    };
    const Caso casi[] = {
        {"yearly salary, whole month", periodo(30), voce(10001, 1, 1), nullptr, "2000"},
        {"yearly salary, half a month", periodo(15), voce(10001, 1, 1), nullptr, "1000"},
        {"yearly salary, ten days", periodo(10), voce(10001, 1, 1), nullptr, "666.67"},
        {"yearly salary, half the hours", periodo(30, 1080), voce(10001, 1, 1), nullptr, "1000"},
        {"monthly contract row, whole month", periodo(30), voce(10053, 1, 7), nullptr, "60"},
        {"monthly contract row, half a month", periodo(15), voce(10053, 1, 7), nullptr, "30"},
        {"contract vacancy: 0.5 per cent of the monthly base", periodo(30), voce(10071, 1, 7), compenso.get(), "11"},
        {"contract vacancy without a compensation", periodo(30), voce(10071, 1, 7), nullptr, "0"},
        {"contract vacancy paid in advance", periodo(30), voce(10071, 1, 7), anticipata.get(), "0"},
        {"the person's monthly amount, by days", periodo(20), voce(10016, 1, 8), nullptr, "100"},
        {"the item's own whole gross, not scaled", periodo(15), voce(10018, 1, 8, "77.77"), nullptr, "77.77"},
        {"the year's additional contract amount (none in 2024)", periodo(30), voce(10056, 1, 0), nullptr, "0"},
    };
    for (const Caso &c : casi)
        EXPECT_EQ(importoPeriodo(c.periodo, c.voce, c.compenso), euro(c.atteso)) << c.nome;
    // The year's rules adjust the contract vacancy (2024: 6.7 times).
    TWunCalcolaAnno::CreaPerAnno(2024);
    EXPECT_EQ(importoPeriodo(periodo(30), voce(10071, 1, 7), compenso.get()), euro("73.7"));

    ValueList senzaOre = periodo(30, 1080);
    senzaOre[2] = 0;
    EXPECT_THROW(importoPeriodo(senzaOre, voce(10001, 1, 1)), ETovCalcola) << "reduced hours of no contract hours";
    TWunCalcolaAnno::Rilascia();
}

TEST(WunCalcolaFond, ReductionsAndTheirCoefficient)
{
    Tabelle tab;
    struct Caso {
        const char *nome;
        int riduzione, giorni, voce;
        const char *percentuale;
        __int128 num, den;
        int giorniTipo1;
    };
    const Caso casi[] = {
        {"no reduction", 0, 0, 10001, "1", 1, 1, 0},
        {"sickness paid in full", 1, 5, 10001, "100", 30, 30, 0},
        {"parental leave at 30 per cent", 4, 10, 10001, "30", 23, 30, 0},
        {"unpaid leave: days of kind 1", 3, 4, 10001, "0", 1, 1, 4},
        {"strike by the hour is not a day", 7, 3, 10001, "1", 1, 1, 0},
        {"a reduction the item does not bear", 4, 10, 10071, "1", 1, 1, 0},
    };
    for (const Caso &c : casi) {
        auto p = tabella(kColonnePeriodo, {periodo(30, 2160, c.riduzione, c.giorni)});
        auto righe = tabella(kColonneRitenute, {});
        int giorniTipo1 = -1;
        const TRapporto fattore = TwunCalcolaFond::CoefficienteRiduzioni(*p, c.voce, giorniTipo1, *righe, tab.t);
        EXPECT_TRUE(fattore == (TRapporto{c.num, c.den})) << c.nome;
        EXPECT_EQ(giorniTipo1, c.giorniTipo1) << c.nome;
        EXPECT_EQ(TwunCalcolaFond::PercentualeRiduzione(*p, c.voce, tab.t), euro(c.percentuale)) << c.nome;
    }
    EXPECT_EQ((TRapporto{23, 30}).Applica(euro("2000")), euro("1533.3333"));

    // The reduced days lower the employee and employer taxables of the rows
    // of the retentions the reduction names (part time read as full time).
    auto righe = tabella(kColonneRitenute, {ritenuta(10001, 13), ritenuta(10001, 7)});
    TwunCalcolaFond::AggiungiImponibile(*righe, euro("2000"));
    int giorniTipo1 = 0;
    TwunCalcolaFond::CoefficienteRiduzioni(*tabella(kColonnePeriodo, {periodo(30, 2160, 4, 10)}), 10001, giorniTipo1,
                                           *righe, tab.t);
    righe->first();
    // 2,000 x (100 - 30) x 70 / 100 x 10 / 30 / 100
    EXPECT_EQ(righe->fieldByName("FVARRIMPONIBILEDIP").asCurrency(), euro("1673.33"));
    EXPECT_EQ(righe->fieldByName("FVARRIMPONIBILEAMM").asCurrency(), euro("1673.33"));
    EXPECT_EQ(righe->fieldByName("FVARRIMPONIBILE").asCurrency(), euro("2000"));
    righe->next();
    EXPECT_EQ(righe->fieldByName("FVARRIMPONIBILEDIP").asCurrency(), euro("2000")) << "IRPEF is not reduced";

    // A reduction the table does not know stops the person with its id.
    try {
        TwunCalcolaFond::PercentualeRiduzione(*tabella(kColonnePeriodo, {periodo(30, 2160, 99, 2)}), 10001, tab.t);
        FAIL();
    } catch (const ETovCalcola &e) {
        EXPECT_TRUE(e.message().contains("99")) << e.message().toStdString();
    }
}

TEST(WunCalcolaFond, FundamentalItemsOfTheMonth)
{
    TWunCalcolaAnno::CreaPerAnno(2024);
    Tabelle tab;
    auto compenso = riga({"ITNOID", "LACOMANTICIPOIVC"}, {1, 0});
    auto calcola = [&](const QList<ValueList> &periodi, DataSet &voci, DataSet &righe) {
        auto p = tabella(kColonnePeriodo, periodi);
        Currency tipo1;
        TwunCalcolaFond::CalcolaVociFondamentali(*p, voci, compenso.get(), tipo1, righe, tab.t);
        return tipo1;
    };
    auto lordo = [](DataSet &voci, int id) {
        EXPECT_TRUE(voci.locate("ICOMRID", Value(id))) << id;
        return voci.fieldByName("FVACRLORDO").asCurrency();
    };
    // Two half months of the same qualification, parental leave in the second.
    auto voci = tabella(kColonneVoci, {voce(10001, 1, 1), voce(10053, 1, 7), voce(10020, 1, 1), voce(10004, 2, 2)});
    auto righe = tabella(kColonneRitenute,
                         {ritenuta(10001, 3, 2, 6, "9.19", "23.81"), ritenuta(10053, 3), ritenuta(10020, 3)});
    righe->setFilter("IRICEID=3");
    righe->setFiltered(true);
    calcola({periodo(15), periodo(15, 2160, 4, 5)}, *voci, *righe);
    // 1,000 + 1,000 x (15 - 5 + 1.5) / 15
    EXPECT_EQ(lordo(*voci, 10001), euro("1766.67"));
    EXPECT_EQ(voci->fieldByName("FVACRLORDOINTERO").asCurrency(), euro("2000"));
    // By qualification: half the month in full, half at the leave's 30 per cent.
    EXPECT_EQ(lordo(*voci, 10053), euro("39"));
    EXPECT_EQ(lordo(*voci, 10020), Currency()) << "not a fundamental item";
    EXPECT_EQ(righe->filter(), "IRICEID=3") << "the caller's filter is back";
    righe->setFiltered(false);
    ASSERT_TRUE(righe->locate("ICOMRID", Value(10001)));
    EXPECT_EQ(righe->fieldByName("FVARRIMPONIBILE").asCurrency(), euro("2000"));

    // Items by qualification get nothing over 15 days or fewer.
    auto corte = tabella(kColonneVoci, {voce(10053, 1, 7)});
    auto righeCorte = tabella(kColonneRitenute, {});
    calcola({periodo(15)}, *corte, *righeCorte);
    EXPECT_EQ(lordo(*corte, 10053), Currency());
    // Two qualifications share the month by days.
    calcola({periodo(20), periodo(10, 2160, 0, 0, 2)}, *corte, *righeCorte);
    EXPECT_EQ(lordo(*corte, 10053), euro("40") + euro("30"));

    // Maternity days move the salary to 10021 and the second item to 10034.
    auto maternita = tabella(kColonneVoci,
                             {voce(10001, 1, 1), voce(10002, 1, 1), voce(10021, 1, 1), voce(10034, 1, 1)});
    calcola({periodo(30, 2160, 5, 30)}, *maternita, *righeCorte);
    EXPECT_EQ(lordo(*maternita, 10001), Currency());
    EXPECT_EQ(lordo(*maternita, 10021), euro("2000"));
    EXPECT_EQ(lordo(*maternita, 10034), euro("200"));
    calcola({periodo(30)}, *maternita, *righeCorte);
    EXPECT_EQ(lordo(*maternita, 10001), euro("2000"));
    EXPECT_EQ(lordo(*maternita, 10021), Currency());

    // Unpaid leave days are totalled for the caller.
    auto aspettativa = tabella(kColonneVoci, {voce(10001, 1, 1)});
    EXPECT_EQ(calcola({periodo(30, 2160, 3, 6)}, *aspettativa, *righeCorte), euro("400"));

    // An error leaves the withholding rows as the caller had them.
    righe->setFilter("IRICEID=3");
    righe->setFiltered(true);
    EXPECT_THROW(calcola({periodo(30, 2160, 99, 1)}, *voci, *righe), ETovCalcola);
    EXPECT_TRUE(righe->filtered());
    EXPECT_EQ(righe->filter(), "IRICEID=3");

    auto teorica = tabella(kColonneVoci, {voce(10001, 1, 1), voce(10002, 1, 1), voce(10053, 1, 7), voce(10004, 2, 2)});
    EXPECT_EQ(TwunCalcolaFond::RetribuzioneTeorica(*tabella(kColonnePeriodo, {periodo(30)}), *teorica, compenso.get(),
                                                   tab.t),
              euro("2260"));
    TWunCalcolaAnno::Rilascia();
}

TEST(WunCalcolaFond, WithholdingRows)
{
    auto gruppi = tabella({"IRICEID", "FCOGRPERCIMPDIP", "FCOGRPERCIMPAMM"},
                          {{3, euro("100"), euro("100")}, {7, euro("100"), euro("0")}});
    auto righe = tabella(kColonneRitenute, {ritenuta(10001, 3), ritenuta(10001, 13), ritenuta(10001, 7, 1, 0),
                                            ritenuta(10001, 5), ritenuta(10001, 3)});
    righe->last();
    righe->edit();
    righe->fieldByName("LVARRIMPFISSATI").setAsInteger(1);
    righe->fieldByName("FVARRIMPONIBILEDIP").setAsCurrency(euro("10"));
    righe->post();
    TwunCalcolaFond::ApplicaGruppiContributivi(*righe, *gruppi, euro("2000"), false);
    const char *attesi[][3] = {{"2000", "2000", "2000"},
                               {"0", "0", "0"},       // part time row, full-time person
                               {"2000", "2000", "0"}, // IRPEF: no employer share
                               {"0", "0", "0"},       // no group: zeroed
                               {"2000", "10", "0"}};  // taxables fixed by hand
    int n = 0;
    for (righe->first(); !righe->eof(); righe->next(), ++n) {
        EXPECT_EQ(righe->fieldByName("FVARRIMPONIBILE").asCurrency(), euro(attesi[n][0])) << n;
        EXPECT_EQ(righe->fieldByName("FVARRIMPONIBILEDIP").asCurrency(), euro(attesi[n][1])) << n;
        EXPECT_EQ(righe->fieldByName("FVARRIMPONIBILEAMM").asCurrency(), euro(attesi[n][2])) << n;
    }

    // The special rows' withholdings are recomputed; the net less the
    // deduction goes to the target retention.
    auto contributi = tabella(kColonneRitenute, {ritenuta(10001, 3, 2, 6, "9.19", "23.81"), ritenuta(10001, 7, 1, 0)});
    TwunCalcolaFond::AzzeraImponibili(*contributi);
    TwunCalcolaFond::AggiungiImponibile(*contributi, euro("2000"));
    EXPECT_EQ(TwunCalcolaFond::RicalcolaRitenuteContributi(*contributi, 1, euro("100"), 7, euro("2000")), Currency());
    contributi->first();
    EXPECT_EQ(contributi->fieldByName("FVARRRITDIP").asCurrency(), euro("183.8"));
    EXPECT_EQ(contributi->fieldByName("FVARRRITAMM").asCurrency(), euro("476.2"));
    contributi->next();
    EXPECT_EQ(contributi->fieldByName("FVARRIMPONIBILEDIP").asCurrency(), euro("1716.2"));
    EXPECT_EQ(TwunCalcolaFond::RicalcolaRitenuteContributi(*contributi, 1, euro("2000"), 7, euro("2000")),
              euro("183.8"))
        << "the deduction not covered";
    EXPECT_EQ(contributi->fieldByName("FVARRIMPONIBILEDIP").asCurrency(), Currency());

    auto totali = tabella(kColonneRitenute, {ritenuta(0, 3)});
    TwunCalcolaFond::SommaImponibiliRitenute(*contributi, {10001}, true, *totali);
    EXPECT_EQ(totali->fieldByName("FVARRIMPONIBILEDIP").asCurrency(), euro("2000"));
    EXPECT_EQ(totali->fieldByName("FVARRALIQUOTAAMM").asCurrency(), euro("23.81"));
    EXPECT_THROW(TwunCalcolaFond::SommaImponibiliRitenute(*contributi, {10001}, true, *tabella(kColonneRitenute, {})),
                 ETovCalcola);

    auto decimali = tabella({"IRICEDECIMALIIMP", "FVARRIMPONIBILEDIP", "FVARRIMPONIBILEAMM"},
                            {{0, euro("1234.5"), euro("-3.5")}, {2, euro("1.005"), euro("1.005")}});
    TwunCalcolaFond::ArrotondaImponibili(*decimali);
    decimali->first();
    EXPECT_EQ(decimali->fieldByName("FVARRIMPONIBILEDIP").asCurrency(), euro("1235"));
    EXPECT_EQ(decimali->fieldByName("FVARRIMPONIBILEAMM").asCurrency(), euro("-3.5")) << "only positive taxables";
    decimali->next();
    EXPECT_EQ(decimali->fieldByName("FVARRIMPONIBILEDIP").asCurrency(), euro("1.005"));
}

TEST(WunCalcolaFond, DaysMinimumsAndItemsNotDue)
{
    EXPECT_EQ(TwunCalcolaFond::GiorniCommerciali(QDate(2024, 2, 1), QDate(2024, 2, 29)), 30);
    EXPECT_EQ(TwunCalcolaFond::GiorniCommerciali(QDate(2024, 3, 1), QDate(2024, 3, 31)), 30);
    EXPECT_EQ(TwunCalcolaFond::GiorniCommerciali(QDate(2024, 3, 1), QDate(2024, 3, 15)), 15);
    EXPECT_EQ(TwunCalcolaFond::GiorniCommerciali(QDate(2024, 1, 15), QDate(2024, 1, 31)), 17);
    int domeniche = 0, altri = 0;
    TwunCalcolaFond::ContaGiorni(QDate(2024, 3, 1), QDate(2024, 3, 31), QDate(2024, 1, 1), false, domeniche, altri);
    EXPECT_EQ(std::pair(domeniche, altri), std::pair(5, 26));
    TwunCalcolaFond::ContaGiorni(QDate(2024, 2, 1), QDate(2024, 2, 29), QDate(2024, 1, 1), false, domeniche, altri);
    EXPECT_EQ(std::pair(domeniche, altri), std::pair(5, 25)) << "one more Sunday";
    TwunCalcolaFond::ContaGiorni(QDate(2024, 2, 1), QDate(2024, 2, 29), QDate(2024, 3, 1), false, domeniche, altri);
    EXPECT_EQ(domeniche, 4);
    TwunCalcolaFond::ContaGiorni(QDate(2024, 2, 10), QDate(2024, 2, 29), QDate(2024, 3, 1), true, domeniche, altri);
    EXPECT_EQ(domeniche, 4);

    EXPECT_EQ(TwunCalcolaFond::MinimaleOrario(euro("20"), euro("50"), 36), euro("166.6"));
    EXPECT_EQ(TwunCalcolaFond::MinimaleGiornaliero(26, euro("50")), euro("1300"));
    EXPECT_THROW(TwunCalcolaFond::MinimaleOrario(euro("20"), euro("50"), 0), ETovCalcola);

    auto voci = tabella(kColonneVoci, {voce(1, 1, 3), voce(2, 1, 4), voce(3, 1, 1)});
    TwunCalcolaFond::EliminaVociNonSpettanti(*voci, *riga({"ITNOID", "IDCTID"}, {1, 1}));
    EXPECT_EQ(voci->recordCount(), 2) << "kind 3 only for public contracts";
    TwunCalcolaFond::EliminaVociNonSpettanti(*voci, *riga({"ITNOID", "IDCTID"}, {8, 1}));
    EXPECT_EQ(voci->recordCount(), 1) << "neither for relationship types from 8";
}

// ---------------------------------------------------------------------------
// On the demo archive

using WunCalcolaFondSuArchivio = DemoCalcoli;

TEST_F(WunCalcolaFondSuArchivio, ExcessHoursRateOfTheItemsRule)
{
    TdmWunOreEccedenti modulo;
    // Overtime: (base + IIS) / 156 x 1.15.
    EXPECT_EQ(modulo.TariffaOraria(10004, euro("200"), euro("2000")), euro("16.22"));
    EXPECT_EQ(modulo.TariffaOraria(0, Currency(), euro("2000")), euro("14.74")) << "the rule open, no IIS";
    EXPECT_EQ(modulo.TariffaOraria(10005, euro("200"), euro("2000")), Currency()) << "an item without a rule";
    modulo.ApriRegola(10004, QDate(2024, 11, 1));
    EXPECT_FALSE(modulo.xqcOetb.isEmpty());

    // The base: salary / 12 + the function allowance + the contract vacancy
    // of 2024 (2,000 + 60 + 73.70), IIS / 12 (200): 17.20 an hour.
    auto periodo = tabella({"IQARID", "IVAPEOREECCEDENTI", "OREECCNC_EFF"}, {{1, 90, Currency()}});
    auto importi = ccnl();
    EXPECT_EQ(TwunCalcolaFond::ImportoOreEccedenti(10004, *periodo, *importi), euro("25.8"));
    EXPECT_EQ(TwunCalcolaFond::ImportoOreEccedenti(10025, *periodo, *importi), Currency())
        << "no hours beyond the chair";
    // Hours beyond the chair: (2,133.70 + 200) / 78 = 29.92 an hour, from 2010.
    periodo->edit();
    periodo->fieldByName("OREECCNC_EFF").setAsCurrency(euro("2"));
    EXPECT_EQ(TwunCalcolaFond::ImportoOreEccedenti(10025, *periodo, *importi), euro("59.84"));
    modulo.ApriRegola(10025, QDate(2009, 12, 31));
    EXPECT_TRUE(modulo.xqcOetb.isEmpty()) << "not yet in force";

    db().execute("UPDATE TOEPA_REGOLEORE SET IOEPADEN = 0 WHERE IOEPAID = 1");
    try {
        modulo.TariffaOraria(10004, euro("200"), euro("2000"));
        ADD_FAILURE() << "a rule without denominator";
    } catch (const ETovCalcola &e) {
        EXPECT_TRUE(e.message().contains("IOEPADEN")) << e.message().toStdString();
    }
    db().execute("UPDATE TOEPA_REGOLEORE SET IOEPADEN = 156 WHERE IOEPAID = 1");
}

TEST_F(WunCalcolaFondSuArchivio, MinimumHistoryAndFundamentalWithholdings)
{
    platform::SqlQuery q(db());
    // The daily INPS minimum of an employee in 2024; none for a collaborator.
    EXPECT_EQ(TwunCalcolaFond::MinimaleInps(q, *riga({"ITNOID", "IANFID"}, {1, 55})), euro("56.39"));
    EXPECT_EQ(TwunCalcolaFond::MinimaleInps(q, *riga({"ITNOID", "IANFID"}, {11, 55})), Currency());

    auto storico = leggi("SELECT FIRST 1 ASTI.IACOMID, ASTI.IASTIORESERVIZIO, ASTI.IASTIANZIANITA FROM TASTI_STORICO "
                         "ASTI WHERE ASTI.IMESID = 11 AND ASTI.LASTIPARTTIME = 1");
    ASSERT_FALSE(storico->eof());
    auto periodo = tabella({"IVAPEGIORNI", "IVAPEORESERVIZIO", "LVAPECATTEDRA", "LVAPEPARTTIME", "IVAPEOREECCEDENTI",
                            "ANZIANITA"},
                           {{0, 0, 0, 0, 0, 0}});
    periodo->edit();
    TwunCalcolaFond::CompletaPeriodoDaAsti(*periodo, 17, storico->fieldByName("IACOMID").asInteger(), 11);
    EXPECT_EQ(periodo->fieldByName("IVAPEGIORNI").asInteger(), 17);
    EXPECT_EQ(periodo->fieldByName("IVAPEORESERVIZIO").asInteger(),
              storico->fieldByName("IASTIORESERVIZIO").asInteger());
    EXPECT_EQ(periodo->fieldByName("LVAPEPARTTIME").asInteger(), 1);
    EXPECT_EQ(periodo->fieldByName("ANZIANITA").asInteger(), storico->fieldByName("IASTIANZIANITA").asInteger());

    // A liquidation with an employee's social and IRPEF rows: the social
    // ones are its fundamental withholdings.
    auto liquidazione = leggi("SELECT FIRST 1 VARM.IVARMID, REGS.IREGSID FROM TVARM_VARIAZIONI VARM JOIN "
                              "TREGS_REGISTROSTIP REGS ON REGS.IACOMID = VARM.IACOMID AND REGS.IMESID = VARM.IMESID "
                              "AND REGS.ICOTID = VARM.ICOTID WHERE VARM.ICOTID = 1 AND REGS.ITNOID = 1 AND NOT EXISTS "
                              "(SELECT 1 FROM TVARR_VARRITENUTE V WHERE V.IVARMID = VARM.IVARMID)");
    ASSERT_FALSE(liquidazione->eof());
    const int varm = liquidazione->fieldByName("IVARMID").asInteger();
    db().execute(QStringLiteral("INSERT INTO TVARR_VARRITENUTE (IVARRID, IVARMID, IRICEID, FVARRIMPONIBILE) "
                                "SELECT NEXT VALUE FOR GEN_TVARR_VARRITENUTE, %1, VARR.IRICEID, VARR.FVARRIMPONIBILE "
                                "FROM TVARR_VARRITENUTE VARR WHERE VARR.IREGSID = %2 AND VARR.ICOMRID IS NULL")
                     .arg(varm)
                     .arg(liquidazione->fieldByName("IREGSID").asInteger()));
    TUqQueryCollection ritenute(&db());
    TwunCalcolaFond::ApriRitenuteFondamentali(ritenute, varm);
    QList<int> trovate;
    for (ritenute.first(); !ritenute.eof(); ritenute.next())
        trovate << ritenute.fieldByName("IRICEID").asInteger();
    EXPECT_FALSE(trovate.isEmpty());
    EXPECT_FALSE(trovate.contains(7)) << "IRPEF is no fundamental withholding";
    EXPECT_TRUE(trovate.contains(3) || trovate.contains(13) || trovate.contains(2));
    db().execute(QStringLiteral("DELETE FROM TVARR_VARRITENUTE WHERE IVARMID = %1").arg(varm));
}

TEST_F(WunCalcolaFondSuArchivio, PensionFundAdhesion)
{
    const int acom = scalar("SELECT FIRST 1 IACOMID FROM TACOM_COMPENSI WHERE IANFID = 55 AND NOT EXISTS (SELECT 1 "
                            "FROM TAFP_ADESIONIFONDO AFP WHERE AFP.IACOMID = TACOM_COMPENSI.IACOMID)")
                         .toInt();
    TdmWunFpcCalcola fondo;
    auto adesione = [&](const char *data, const char *inizio, const char *cessazione = nullptr,
                        const char *riattivazione = nullptr) {
        db().execute(QStringLiteral("DELETE FROM TAFP_ADESIONIFONDO WHERE IAFPID = 9999"));
        db().execute(QStringLiteral("INSERT INTO TAFP_ADESIONIFONDO (IAFPID, IACOMID, IFPCID, DAFPADESIONE, "
                                    "DAFPINIZIORAPP, DAFPCESSAZIONE, DAFPRIATTIVAZIONE, FAFPPERCVAR) VALUES "
                                    "(9999, %1, 1, '%2', '%3', %4, %5, 2)")
                         .arg(acom)
                         .arg(data, inizio, cessazione ? QStringLiteral("'%1'").arg(cessazione) : "NULL",
                              riattivazione ? QStringLiteral("'%1'").arg(riattivazione) : "NULL"));
        fondo.qquAfp().close();
    };
    auto compenso = riga({"IACOMID"}, {acom});
    auto variazione = [](const char *dal) {
        return riga({"IANFID", "IMESID", "DVARMDAL"}, {55, 7, QDate::fromString(dal, Qt::ISODate)});
    };
    auto ritenuta = riga({"IRICEID", "IRICENUBRACODE", "ITVCOIDDIP", "ITVCOIDAMM", "IFPCID", "FVARRIMPONIBILEDIP",
                          "FVARRALIQUOTADIP", "FVARRALIQUOTAAMM"},
                         {14, 14, 3, 6, 1, euro("100"), Currency(), Currency()});
    struct Caso {
        const char *adesione, *inizio, *efficacia;
    };
    for (const Caso &c :
         {Caso{"2008-03-31", "2005-01-10", "2005-01-10"}, Caso{"2008-04-01", "2005-01-10", "2008-07-01"},
          Caso{"2010-11-15", "2010-11-15", "2011-02-01"}}) {
        adesione(c.adesione, c.inizio);
        fondo.ApriAdesione(*compenso, *variazione("2024-07-01"), *ritenuta);
        EXPECT_EQ(fondo.DataEfficacia(), QDate::fromString(c.efficacia, Qt::ISODate)) << c.adesione;
    }
    adesione("2010-11-15", "2010-11-15", "2015-06-30", "2016-01-01");
    EXPECT_FALSE(fondo.FondoApplicabile(*ritenuta, compenso.get(), variazione("2011-01-01").get())) << "not yet";
    EXPECT_TRUE(fondo.FondoApplicabile(*ritenuta, compenso.get(), variazione("2012-01-01").get()));
    EXPECT_FALSE(fondo.FondoApplicabile(*ritenuta, compenso.get(), variazione("2015-09-01").get())) << "ended";
    EXPECT_TRUE(fondo.FondoApplicabile(*ritenuta, compenso.get(), variazione("2016-03-01").get())) << "reactivated";
    EXPECT_FALSE(fondo.FondoApplicabile(*ritenuta, nullptr, variazione("2016-03-01").get()));

    // In the fund's second year, within a year of the effective date, the
    // employer pays the second surcharge.
    adesione("2005-06-01", "2005-06-01");
    fondo.ApriAdesione(*compenso, *variazione("2005-07-01"), *ritenuta);
    ritenuta->edit();
    fondo.ImpostaAliquote(*ritenuta, compenso.get(), variazione("2005-07-01").get());
    EXPECT_EQ(ritenuta->fieldByName("FVARRALIQUOTADIP").asCurrency(), euro("1"));
    EXPECT_EQ(ritenuta->fieldByName("FVARRALIQUOTAAMM").asCurrency(), euro("1.25"));
    int anno = -1;
    EXPECT_FALSE(fondo.AnnoMaggiorazione(*variazione("2006-07-01"), *ritenuta, anno));
    EXPECT_EQ(anno, 0);

    // The calculator applies a fund row only through the module.
    auto periodo = riga({"LVAPEPARTTIME"}, {0});
    EXPECT_FALSE(TwunCalcolaFond::RitenutaDaApplicare(periodo.get(), *ritenuta, false, compenso.get(),
                                                      variazione("2005-07-01").get()));
    TwunCalcolaFond::ModuloFondoPensione = &fondo;
    EXPECT_TRUE(TwunCalcolaFond::RitenutaDaApplicare(periodo.get(), *ritenuta, false, compenso.get(),
                                                     variazione("2005-07-01").get()));
    TwunCalcolaFond::ModuloFondoPensione = nullptr;
    db().execute("DELETE FROM TAFP_ADESIONIFONDO WHERE IAFPID = 9999");
}

// The fundamental pay of every salaried demo person of November 2024, from
// the archive's periods, items, contract tables and monthly amounts.
TEST_F(WunCalcolaFondSuArchivio, FundamentalPayOfEveryDemoPersonOfAMonth)
{
    TdmWunOreEccedenti modulo;
    auto tipi = leggi("SELECT ITACOID, ITACOTIPOCALCOLO, FTACOPERCSTIPENDIO FROM TTACO_TIPIRIDUZIONE");
    auto perVoce = leggi("SELECT ITACOID, ICOMRID, LTACOCOMRAPPLICATA FROM TTACOCOMR_RIDUZIONIVOCI");
    auto perRitenuta = leggi(
        "SELECT ITACOID, IRICEID, FTACORICEDECIMPDIP, FTACORICEDECIMPAMM FROM TTACORICE_RIDUZIONIRIT");
    const int ccnlId = WunCCNL().TabellaCCNLAllaData(QDate(2024, 11, 1));
    const int ccnvId = WunCCNL().TabellaCCNV();
    ASSERT_GT(ccnlId, 0);

    auto registri = leggi("SELECT REGS.IREGSID, REGS.IACOMID, ASTI.IASTIANZIANITA, REGS.IREGSGIORNI, "
                          "REGS.IREGSORESERVIZIO, REGS.IREGSSUORE FROM TREGS_REGISTROSTIP REGS JOIN TASTI_STORICO ASTI "
                          "ON ASTI.IACOMID = REGS.IACOMID AND ASTI.IMESID = REGS.IMESID "
                          "WHERE REGS.IMESID = 11 AND REGS.ICOTID = 1 ORDER BY REGS.IREGSID");
    int persone = 0, confrontate = 0;
    for (registri->first(); !registri->eof(); registri->next()) {
        const int regs = registri->fieldByName("IREGSID").asInteger();
        const int acom = registri->fieldByName("IACOMID").asInteger();
        auto compenso = leggi(QStringLiteral("SELECT * FROM TACOM_COMPENSI WHERE IACOMID = %1").arg(acom));
        auto periodi = leggi(
            QStringLiteral(
                "SELECT VAPE.IVAPEID, VAPE.IQARID, VAPE.IVAPEGIORNI, VAPE.IVAPEOREPREVISTE, VAPE.IVAPEORESERVIZIO, "
                "VAPE.IVAPEOREECCNC, VAPE.IVAPEOREECCEDENTI, VAPE.LVAPECATTEDRA, VAPE.LVAPEPARTTIME, "
                "CAST(0 AS NUMERIC(18,4)) AS ORARIO_EFF, CAST(0 AS NUMERIC(18,4)) AS COEFF_ORESERV, "
                "CAST(0 AS NUMERIC(18,4)) AS OREECCNC_EFF, "
                "(SELECT FIRST 1 VARD.ITACOID FROM TVARD_RIDUZIONIVAR VARD WHERE VARD.IVAPEID = VAPE.IVAPEID) AS ITACOID01, "
                "(SELECT FIRST 1 VARD.IVARDGIORNIORE FROM TVARD_RIDUZIONIVAR VARD WHERE VARD.IVAPEID = VAPE.IVAPEID) "
                "AS IVARDGIORNIORE01 FROM TVAPE_PERIODI VAPE WHERE VAPE.IREGSID = %1")
                .arg(regs));
        auto voci = leggi(
            QStringLiteral(
                "SELECT VACR.ICOMRID, COMR.ICOMRGRUPPO, COMR.ICOMRAIUTOID, VACR.FVACRLORDO AS ARCHIVIO, "
                "VACR.FVACRLORDO, VACR.FVACRLORDOINTERO, VACR.LVACRASSOGGETTATO FROM TVACR_VARCOMPRIGHE VACR JOIN "
                "TCOMR_RIGHECOMP COMR ON COMR.ICOMRID = VACR.ICOMRID WHERE VACR.IREGSID = %1")
                .arg(regs));
        auto ritenute = leggi(
            QStringLiteral(
                "SELECT VARR.ICOMRID, VARR.IRICEID, VARR.FVARRIMPONIBILE, VARR.FVARRIMPONIBILEDIP, "
                "VARR.FVARRIMPONIBILEAMM FROM TVARR_VARRITENUTE VARR WHERE VARR.IREGSID = %1 AND VARR.ICOMRID IS NOT NULL")
                .arg(regs));
        platform::SqlQuery q(db());
        TovQueryText().AssignSQL("QRY_CCNL_COMR", q);
        q.bind("ICCNTID", ccnlId)
            .bind("ICCNVID", ccnvId)
            .bind("IASTIANZIANITA", registri->fieldByName("IASTIANZIANITA").value());
        q.open();
        DataSet importi;
        q.fetchInto(importi);
        TwunCalcola::ApriAstrMese(q, acom, 10001, 11);
        DataSet mensili;
        q.fetchInto(mensili);
        TwunCalcolaFond::TTabelle tabelle{&importi, &mensili, tipi.get(), perVoce.get(), perRitenuta.get()};

        for (periodi->first(); !periodi->eof(); periodi->next()) {
            periodi->edit();
            TwunCalcolaFond::CalcolaOrarioEffettivo(*periodi, false, true);
            periodi->post();
        }
        Currency tipo1;
        ASSERT_NO_THROW(
            TwunCalcolaFond::CalcolaVociFondamentali(*periodi, *voci, compenso.get(), tipo1, *ritenute, tabelle))
            << "register " << regs;
        ++persone;
        // A full month of full time, seniority class 0, no reduction: the
        // salary is the archive's.
        periodi->first();
        const bool pieno = periodi->fieldByName("IVAPEGIORNI").asInteger() == 30
                           && periodi->fieldByName("IVAPEORESERVIZIO").asInteger()
                                  == periodi->fieldByName("IVAPEOREPREVISTE").asInteger() * 60
                           && periodi->fieldByName("ITACOID01").isNull()
                           && registri->fieldByName("IASTIANZIANITA").asInteger() == 0;
        if (pieno && voci->locate("ICOMRID", Value(10001))) {
            EXPECT_EQ(voci->fieldByName("FVACRLORDO").asCurrency(), voci->fieldByName("ARCHIVIO").asCurrency())
                << "register " << regs;
            ++confrontate;
        }
    }
    EXPECT_EQ(persone, registri->recordCount());
    EXPECT_GT(persone, 5);
    EXPECT_GT(confrontate, 0) << "no full-time person of seniority 0 in this demo: change the seed";
    RecordProperty("persons", persone);
}
