// The income bonus of 2014-2020 and the integrative payment of 2020-2022:
// the amounts at the thresholds, days and years where the rules change.
// Expected figures are worked out by hand in the comments.
#include "CalcoliTestSupport.h"
#include "WunCDaPagare66.h"
#include "wunUCalcoliAnno.h"

#include "SqlQuery.h"
#include "tovUExceptions.h"

#include <gtest/gtest.h>

using namespace calcolitest;
using platform::Currency;
using platform::DataSet;
using platform::Value;

namespace {

struct Anno {
    explicit Anno(int anno) { TWunCalcolaAnno::CreaPerAnno(anno); }
    ~Anno() { TWunCalcolaAnno::Rilascia(); }
    template <class T>
    T &come() const
    {
        return dynamic_cast<T &>(WunCalcolaAnno());
    }
};

// An adjustment row: gross tax, employee and family deductions, income, days
// of the year and of the integrative payment's part.
std::unique_ptr<DataSet> conguaglio(const char *reddito, int giorni, int parte = 0, const char *imposta = "3000",
                                    const char *lavoro = "1000", const char *coniuge = "0")
{
    return riga({"FCONGRITLORDA", "FCONGIMPLAVDIP", "FCONGIMPCONCAR", "FCONGIMPFIGLICAR", "FCONGIMPALTRICAR",
                 "FCONGREDDITOCOMP", "FCONGGIORNI", "ICONGGIORNI_PART"},
                {euro(imposta), euro(lavoro), euro(coniuge), euro("0"), euro("0"), euro(reddito), giorni, parte});
}

std::unique_ptr<DataSet> persona(int tipo = 1, int escluso = 0, const char *reddito = "0")
{
    return riga({"IACOMID", "ITNOID", "IACOMBONUS66ECC", "IACOMNUMPAGHE", "IACOMDURATARAPP", "FACOMREDDITOCOMP",
                 "DACOMINIRAPP", "DACOMFINERAPP"},
                {900001, tipo, escluso, 12, 0, euro(reddito), Value(), Value()});
}

std::unique_ptr<DataSet> liquidazione(int mese, int giorni, int rirp = 1)
{
    return riga({"IVARMID", "IMESID", "IVARMGIORNI", "IVARMRIRPID", "ICOSID", "ICOTID"},
                {0, mese, giorni, rirp, 10001, 1});
}

std::unique_ptr<DataSet> ritenute(const char *irpef)
{
    return tabella({"IRICEID", "FVARRRITDIP", "FVARRIMPONIBILEDIP"},
                   {{3, euro("90"), euro("0")}, {7, euro(irpef), euro("0")}});
}

std::unique_ptr<DataSet> voci()
{
    return tabella({"ICOMRID", "IVACRUSERCODE", "FVACRLORDO", "FVACRLORDOINTERO", "FVACRPERCESONEROIVS",
                    "LCOMRTRATTENUTA", "LVACRASSOGGETTATO"},
                   {});
}

} // namespace

TEST(WunBonus, TheBonusFallsBetweenTheYearsThresholds)
{
    struct Caso {
        const char *importo, *piena, *massima, *reddito, *atteso;
    };
    const Caso casi[] = {
        {"960", "24000", "26000", "25000", "480"},      // (26,000 - 25,000) x 960 / 2,000
        {"960", "24000", "26000", "24000", "960"},      // full up to the first threshold
        {"960", "24000", "26000", "26000", "0"},        // nothing from the second
        {"640", "24000", "26000", "25500", "160"},      // 2014: 500 x 640 / 2,000
        {"960", "24600", "26600", "25600.5", "479.76"}, // 999.50 x 960 / 2,000
        // The band is the distance between the thresholds, not a constant:
        {"1000", "10000", "14000", "12000", "500"}, // 2,000 x 1,000 / 4,000
    };
    for (const Caso &c : casi)
        EXPECT_EQ(TWunCalcolaAnno2014::BonusDelReddito(euro(c.importo), euro(c.piena), euro(c.massima),
                                                       euro(c.reddito)),
                  euro(c.atteso))
            << c.reddito;
}

using WunBonusSuArchivio = DemoCalcoli;

TEST_F(WunBonusSuArchivio, TheAnnualAdjustmentsBonusAndIntegrativePayment)
{
    struct Caso {
        int anno;
        std::unique_ptr<DataSet> conguaglio, persona;
        const char *atteso;
    };
    Caso casi[] = {
        // 2015, 25,000.00 a full year: 480.00; for 182 days 480 x 182 / 365 = 239.342.
        {2015, conguaglio("25000", 365), persona(), "480"},
        {2015, conguaglio("25000", 182), persona(), "239.34"},
        {2015, conguaglio("25000", 365, 0, "1000", "1000"), persona(), "0"}, // no tax capacity
        {2015, conguaglio("25000", 365), persona(1, 1), "0"},                // excluded
        {2015, conguaglio("25000", 365), persona(9), "0"},                   // relationship not entitled
        {2015, conguaglio("20000", 365), persona(11), "960"},                // collaborator
        // 2020: 28,000.00 still gets the integrative payment (600 for the 184
        // days of July-December), 28,000.01 does not; the first-half bonus is
        // nothing from 26,600.00.
        {2020, conguaglio("28000", 365, 184), persona(), "600"},
        {2020, conguaglio("28000.01", 365, 184), persona(), "0"},
        // 25,600.00: half of 960 on the 2018 thresholds = 480 x 1,000 / 2,000
        // = 240, for 181 of the 182 days of January-June = 238.681; plus 600.
        {2020, conguaglio("25600", 365, 184), persona(), "838.68"},
        // Only the second half: 600 x 92 / 184 = 300.
        {2020, conguaglio("20000", 92, 92), persona(), "300"},
        // 2021: 1,200 for the year, 1,200 x 182 / 365 = 598.356.
        {2021, conguaglio("20000", 365), persona(), "1200"},
        {2021, conguaglio("20000", 182), persona(), "598.36"},
        {2021, conguaglio("28000.01", 365), persona(), "0"},
        // 2022: full up to 15,000.00; between 15,000.00 and 28,000.00 only
        // the deductions' excess over the tax: 2,000 - 1,500 - 800 = -300.
        {2022, conguaglio("15000", 365, 0, "2000", "1500"), persona(), "1200"},
        {2022, conguaglio("20000", 365, 0, "2000", "1500", "800"), persona(), "300"},
        {2022, conguaglio("20000", 365, 0, "2000", "1500"), persona(), "0"},            // tax above the deductions
        {2022, conguaglio("20000", 365, 0, "2000", "1500", "3000"), persona(), "1200"}, // at most 1,200
        {2022, conguaglio("28000.01", 365, 0, "2000", "1500", "800"), persona(), "0"},
        // 300 for half a year: 300 x 182 / 365 = 149.589.
        {2022, conguaglio("20000", 182, 0, "2000", "1500", "800"), persona(), "149.59"},
    };
    for (Caso &c : casi) {
        Anno a(c.anno);
        platform::SqlQuery q(db());
        auto detrazioni = riga({"FADETIMPLAVDIP"}, {euro("0")});
        auto liq = liquidazione(12, 30, 2);
        auto rit = ritenute("0");
        auto v = voci();
        EXPECT_EQ(WunCalcolaAnno().CalcolaBonusMese(q, *detrazioni, c.conguaglio.get(), *rit, *v, *liq, *c.persona),
                  euro(c.atteso))
            << c.anno << " " << c.conguaglio->fieldByName("FCONGREDDITOCOMP").asCurrency().toString().toStdString();
        EXPECT_EQ(v->recordCount(), 0) << "the adjustment writes no item";
        // Without its row an adjustment liquidation gives nothing.
        EXPECT_EQ(WunCalcolaAnno().CalcolaBonusMese(q, *detrazioni, nullptr, *rit, *v, *liq, *c.persona), Currency());
    }
}

TEST(WunBonus, CollaboratorsDaysAndPayments)
{
    auto collaboratore = [](const QDate &dal, const QDate &al, int durata) {
        return riga({"ITNOID", "IACOMNUMPAGHE", "IACOMDURATARAPP", "DACOMINIRAPP", "DACOMFINERAPP"},
                    {11, 6, durata, dal.isValid() ? Value(dal) : Value(), al.isValid() ? Value(al) : Value()});
    };
    Anno a(2020);
    auto &r = a.come<TWunCalcolaAnno2020>();
    EXPECT_EQ(r.GiorniTrattamentoIntegrativo(*collaboratore(QDate(2020, 3, 1), QDate(), 0)), 184); // 1 July-31 Dec
    EXPECT_EQ(r.GiorniTrattamentoIntegrativo(*collaboratore(QDate(2020, 9, 1), QDate(2020, 9, 30), 0)), 30);
    EXPECT_EQ(r.GiorniTrattamentoIntegrativo(*collaboratore(QDate(2020, 1, 1), QDate(2020, 6, 30), 0)), 0);
    Anno b(2021);
    EXPECT_EQ(b.come<TWunCalcolaAnno2021>().GiorniTrattamentoIntegrativo(*collaboratore({}, {}, 400)), 365);

    // The payments left: never below one; the user may change them.
    auto p = collaboratore({}, {}, 365);
    EXPECT_EQ(TWunCalcolaAnno2014::PagheCollaboratore(*p, 2), 4);
    EXPECT_EQ(TWunCalcolaAnno2014::PagheCollaboratore(*p, 8), 1);
    TWunDaPagare66::OnConferma = [](const DataSet &, int &numero) {
        EXPECT_EQ(numero, 4);
        numero = 3;
    };
    EXPECT_EQ(TWunCalcolaAnno2014::PagheCollaboratore(*p, 2), 3);
    TWunDaPagare66::OnConferma = nullptr;
    // A share over no days or payments is refused, not divided.
    EXPECT_EQ((TWunQuota{184, 4 * 184}).Applica(euro("240")), euro("60"));
    EXPECT_THROW((TWunQuota{31, 0}).Applica(euro("240")), ETovCalcola);
    auto senzaPaghe = riga({"ITNOID", "IACOMNUMPAGHE"}, {11, 0});
    try {
        TWunCalcolaAnno2014::PagheCollaboratore(*senzaPaghe, 0);
        FAIL();
    } catch (const ETovCalcola &e) {
        EXPECT_EQ(e.message(), "Numero di paghe non specificato");
    }
}

TEST_F(WunBonusSuArchivio, TheMonthsPaymentIsWrittenAsTheBonusItem)
{
    struct Caso {
        int anno, tipo, escluso, mese, giorni;
        const char *reddito, *irpef, *atteso;
        int voce; // the item written (0: none)
    };
    const Caso casi[] = {
        // July 2020, 31 days: 600 x 31 / 184 = 101.087.
        {2020, 1, 0, 7, 31, "28000", "300", "101.09", 10069},
        {2020, 1, 0, 7, 31, "28000.01", "300", "0", 0},
        {2020, 1, 1, 7, 31, "20000", "300", "0", 0}, // excluded
        {2020, 1, 0, 7, 31, "20000", "100", "0", 0}, // tax 100 less deduction 100
        // June 2020 still the bonus, 960 on the 2018 thresholds: at
        // 25,600.00 960 x 1,000 / 2,000 = 480, x 30 / 365 = 39.452.
        {2020, 1, 0, 6, 30, "25600", "300", "39.45", 10069},
        // 2015: 480.00 a year at 25,000.00, x 31 / 365 = 40.767.
        {2015, 1, 0, 3, 31, "25000", "300", "40.77", 10069},
        // 2014: nothing in May; June over the 214 days from 1 June: 640 x
        // 30 / 214 = 89.719.
        {2014, 1, 0, 5, 31, "20000", "300", "0", 0},
        {2014, 1, 0, 6, 30, "20000", "300", "89.72", 10069},
        // 2022: the month stops above 15,000.00 (settled in the adjustment);
        // 1,200 x 31 / 365 = 101.918.
        {2022, 1, 0, 7, 31, "15000", "300", "101.92", 10069},
        {2022, 1, 0, 7, 31, "15000.01", "300", "0", 0},
    };
    for (const Caso &c : casi) {
        TWunCalcolaAnno::CreaPerAnno(c.anno);
        platform::SqlQuery q(db());
        auto detrazioni = riga({"FADETIMPLAVDIP"}, {euro("100")});
        auto liq = liquidazione(c.mese, c.giorni);
        auto rit = ritenute(c.irpef);
        auto v = voci();
        auto p = persona(c.tipo, c.escluso, c.reddito);
        const Currency bonus = WunCalcolaAnno().CalcolaBonusMese(q, *detrazioni, nullptr, *rit, *v, *liq, *p);
        EXPECT_EQ(bonus, euro(c.atteso)) << c.anno << "-" << c.mese << " " << c.reddito;
        if (c.voce) {
            ASSERT_TRUE(v->locate("ICOMRID", Value(c.voce))) << c.anno << "-" << c.mese;
            EXPECT_EQ(v->fieldByName("FVACRLORDO").asCurrency(), bonus);
        } else {
            EXPECT_EQ(v->recordCount(), 0) << c.anno << "-" << c.mese;
        }
    }
}

TEST_F(WunBonusSuArchivio, ACollaboratorsPaymentIsSpreadOverTheContractsPayments)
{
    TWunCalcolaAnno::CreaPerAnno(2020);
    platform::SqlQuery q(db());
    auto p = riga({"IACOMID", "ITNOID", "IACOMBONUS66ECC", "IACOMNUMPAGHE", "IACOMDURATARAPP", "FACOMREDDITOCOMP",
                   "DACOMINIRAPP", "DACOMFINERAPP"},
                  {900002, 11, 0, 6, 184, euro("20000"), Value(QDate(2020, 7, 1)), Value(QDate(2020, 12, 31))});
    auto detrazioni = riga({"FADETIMPLAVDIP"}, {euro("0")});
    auto liq = riga({"IVARMID", "IMESID", "IVARMGIORNI", "IVARMRIRPID", "ICOSID", "ICOTID"}, {0, 8, 31, 1, 11000, 1});
    auto rit = ritenute("300");
    // 600 for the 184 days, over six payments (none made yet) = 100.00;
    // the user's four payments give 150.00.
    auto v = voci();
    EXPECT_EQ(WunCalcolaAnno().CalcolaBonusMese(q, *detrazioni, nullptr, *rit, *v, *liq, *p), euro("100"));
    ASSERT_TRUE(v->locate("ICOMRID", Value(11069)));
    TWunDaPagare66::OnConferma = [](const DataSet &, int &numero) { numero = 4; };
    auto w = voci();
    EXPECT_EQ(WunCalcolaAnno().CalcolaBonusMese(q, *detrazioni, nullptr, *rit, *w, *liq, *p), euro("150"));
    // The share of the additional deduction for the month: 184 days over
    // four payments of the 184-day period.
    EXPECT_EQ(dynamic_cast<TWunCalcolaAnno2020 &>(WunCalcolaAnno()).RateTrattamentoIntegrativo(q, *p, *liq),
              (TWunQuota{184, 4 * 184}));
    TWunDaPagare66::OnConferma = nullptr;
}
