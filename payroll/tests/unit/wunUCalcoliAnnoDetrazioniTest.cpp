// The income-tax deductions from 2007: the bracket formulas of each regime,
// spouse, children and other dependants, large families, rent, the month's
// share and the adjustment. Expected figures are worked out by hand in the
// comments.
#include "CalcoliTestSupport.h"
#include "WunUUtil.h"
#include "wunUCalcoliAnno.h"

#include "SqlQuery.h"
#include "tovUExceptions.h"

#include <gtest/gtest.h>

using namespace calcolitest;
using platform::Currency;
using platform::DataSet;
using platform::FieldType;
using platform::Value;

namespace {

struct Anno {
    explicit Anno(int anno) { TWunCalcolaAnno::CreaPerAnno(anno); }
    ~Anno() { TWunCalcolaAnno::Rilascia(); }
    TWunCalcolaAnno2007 &operator*() const { return dynamic_cast<TWunCalcolaAnno2007 &>(WunCalcolaAnno()); }
    TWunCalcolaAnno2007 *operator->() const { return &**this; }
};

struct Scaglione {
    int codice, da, a, detrazione;
};

void carica(TUqQueryCollection &tabella, const char *prefisso, const QList<Scaglione> &scaglioni)
{
    const QString p = QLatin1String(prefisso);
    QList<platform::ValueList> righe;
    for (const Scaglione &s : scaglioni)
        righe.append({s.codice, Currency::fromInt(s.da), Currency::fromInt(s.a), Currency::fromInt(s.detrazione),
                      euro("690"), euro("1380")});
    tabella.loadRecords({{"I" + p + "USERCODE", FieldType::Integer},
                         {"F" + p + "SCAGLIONEDA", FieldType::BCD, 4},
                         {"F" + p + "SCAGLIONEA", FieldType::BCD, 4},
                         {"F" + p + "DETRAZIONE", FieldType::BCD, 4},
                         {"F" + p + "MININD", FieldType::BCD, 4},
                         {"F" + p + "MINDET", FieldType::BCD, 4}},
                        righe);
}

// The published employee brackets of each regime.
const QList<Scaglione> kLavoro2007{{1, 0, 8000, 1840}, {2, 8000, 15000, 1338}, {3, 15000, 55000, 1338}};
const QList<Scaglione> kLavoro2014{{1, 0, 8000, 1880}, {2, 8000, 28000, 978}, {3, 28000, 55000, 978}};
const QList<Scaglione> kLavoro2020{{1, 0, 8000, 1880},
                                   {2, 8000, 28000, 978},
                                   {3, 28000, 55000, 978},
                                   {-1, 28000, 35000, 480},
                                   {-2, 35000, 40000, 480}};
const QList<Scaglione> kLavoro2022{{1, 0, 15000, 1880},
                                   {2, 15000, 28000, 1910},
                                   {3, 28000, 50000, 1910},
                                   {-1, 25000, 35000, 65}};
const QList<Scaglione> kConiuge{
    {1, 0, 15000, 800}, {2, 15000, 40000, 690}, {3, 40000, 80000, 690}, {-1, 29000, 29200, 10}, {-2, 29200, 34700, 20}};

void caricaFamiliari(TUqQueryCollection &tabella)
{
    tabella.loadRecords({{"FTDFADETFIGLIO1", FieldType::BCD, 4},
                         {"FTDFADETFIGLIOMIN3", FieldType::BCD, 4},
                         {"FTDFADETHANDY1", FieldType::BCD, 4},
                         {"FTDFADETFIGLIO3", FieldType::BCD, 4},
                         {"FTDFADETALTRI", FieldType::BCD, 4},
                         {"FTDFADETFAMNUM", FieldType::BCD, 4},
                         {"FTDFASOGLIABASE", FieldType::BCD, 4},
                         {"FTDFASOGLIAINC", FieldType::BCD, 4},
                         {"FTDFASOGLIAALTRI", FieldType::BCD, 4}},
                        {{euro("950"), euro("270"), euro("400"), euro("200"), euro("750"), euro("1200"), euro("95000"),
                          euro("15000"), euro("80000")}});
}

std::unique_ptr<DataSet> figli(const QList<platform::ValueList> &righe)
{
    return tabella({"IADEFORDINE", "IMESDAL", "IMESAL", "FDEFPERC", "LADEFMIN3", "LADEFHANDYCAP"}, righe);
}

} // namespace

TEST(WunDetrazioni, EmployeeAndAdditionalDeductionByRegime)
{
    struct Caso {
        int anno;
        const QList<Scaglione> &tabella;
        const char *reddito, *lavoro, *ulteriore;
    };
    const Caso casi[] = {
        // 2007: 1,338 + 502 x 5,000 / 7,000 = 1,696.5714.
        {2007, kLavoro2007, "10000", "1696.5714", "0"},
        // 2014: 978 + 902 x 8,000 / 20,000 = 1,338.8000.
        {2014, kLavoro2014, "20000", "1338.8", "0"},
        // 28,000.00 is still in the code-2 bracket: 978 + 0; one cent more is
        // code 3: 978 x 26,999.99 / 27,000 = 977.99963.
        {2014, kLavoro2014, "28000", "978", "0"},
        {2014, kLavoro2014, "28000.01", "977.9996", "0"},
        {2014, kLavoro2014, "60000", "0", "0"}, // above every bracket
        // 2020 additional deduction: 480 + 120 x 5,000 / 7,000 = 565.7143
        // (code -1), 480 x 2,000 / 5,000 = 192 (code -2).
        // (Employee part, code 3: 978 x 25,000 / 27,000 = 905.5556 and 978 x
        // 17,000 / 27,000 = 615.7778.)
        {2020, kLavoro2020, "30000", "905.5556", "565.7143"},
        {2020, kLavoro2020, "38000", "615.7778", "192"},
        // 2021: the same brackets at 960 with the 240 share: 960 + 240 x
        // 5,000 / 7,000 = 1,131.4286.
        {2021, kLavoro2020, "30000", "905.5556", "1131.4286"},
        // 2022: 1,910 + 1,190 x 8,000 / 13,000 = 2,642.3077; code 3 1,910 x
        // 20,000 / 22,000 = 1,736.3636; the 65 of 25,000-35,000 as it is.
        {2022, kLavoro2022, "20000", "2642.3077", "0"},
        {2022, kLavoro2022, "30000", "1736.3636", "65"},
    };
    for (const Caso &c : casi) {
        Anno a(c.anno);
        QList<Scaglione> tabella = c.tabella;
        if (c.anno == 2021)
            for (Scaglione &s : tabella)
                if (s.codice < 0)
                    s.detrazione = 960;
        carica(a->TabellaLavoro(), "TDLA", tabella);
        auto detrazioni = riga({"LADETLAVDIP"}, {Value()});
        auto persona = riga({"IACOMBONUS66ECC"}, {0});
        const Currency reddito = euro(c.reddito);
        EXPECT_EQ(a->DetrazioneLavDip(*detrazioni, reddito), euro(c.lavoro)) << c.anno << " " << c.reddito;
        EXPECT_EQ(a->UlterioreDetrazione(*detrazioni, *persona, reddito, nullptr), euro(c.ulteriore))
            << c.anno << " " << c.reddito;
        // Not asked for: nothing.
        EXPECT_EQ(a->DetrazioneLavDip(*riga({"LADETLAVDIP"}, {0}), reddito), Currency()) << c.anno;
    }
    // 2020: the additional deduction waits for July in a monthly liquidation
    // and is never given to a person excluded from the bonus.
    Anno a(2020);
    carica(a->TabellaLavoro(), "TDLA", kLavoro2020);
    auto detrazioni = riga({"LADETLAVDIP"}, {1});
    auto persona = riga({"IACOMBONUS66ECC"}, {0});
    EXPECT_EQ(a->UlterioreDetrazione(*detrazioni, *persona, euro("30000"), riga({"IMESID"}, {6}).get()), Currency());
    EXPECT_EQ(a->UlterioreDetrazione(*detrazioni, *persona, euro("30000"), riga({"IMESID"}, {7}).get()),
              euro("565.7143"));
    EXPECT_EQ(a->UlterioreDetrazione(*detrazioni, *riga({"IACOMBONUS66ECC"}, {1}), euro("30000"), nullptr), Currency());
}

TEST(WunDetrazioni, SpouseOtherDependantsAndLargeFamilies)
{
    Anno a(2014);
    carica(a->TabellaConiuge(), "TDCO", kConiuge);
    caricaFamiliari(a->TabellaFamiliari());
    auto coniuge = [](int carico, int mancaGenitore) {
        return riga({"LADETCONCAR", "LADETMANCAGENITORE"}, {carico, mancaGenitore});
    };
    struct Caso {
        const char *reddito, *atteso;
    };
    for (const Caso &c : {
             Caso{"10000", "726.67"}, // 800 - 110 x 10,000 / 15,000 = 726.6667
             Caso{"20000", "690"},    // code 2 as it is
             Caso{"29100", "700"},    // 690 + the supplement of 29,000-29,200
             Caso{"34000", "710"},    // 690 + 20
             Caso{"60000", "345"},    // 690 x 20,000 / 40,000
             Caso{"80000.01", "0"},   // above every bracket
         })
        EXPECT_EQ(a->DetrazioneConiuge(*coniuge(1, 0), euro(c.reddito)), euro(c.atteso)) << c.reddito;
    EXPECT_EQ(a->DetrazioneConiuge(*coniuge(0, 1), euro("20000")), euro("690")) << "the other parent missing";
    EXPECT_EQ(a->DetrazioneConiuge(*coniuge(0, 0), euro("20000")), Currency());

    // Two other dependants at 50%, 40,000.00: coefficient 40,000 / 80,000 =
    // 0.5, 750 x 0.5 = 375, x 50% = 187.50, x 2 = 375.
    auto altri = riga({"IADETALTRI", "FADETPERCALTRI"}, {2, euro("50")});
    EXPECT_EQ(a->DetrazioneAltri(*altri, euro("40000")), euro("375"));
    EXPECT_EQ(a->DetrazioneAltri(*altri, euro("80000")), Currency()) << "coefficient 0";

    // Large families: four children at 100%: 1,200; three: nothing; 2022
    // a sixth, 200.
    auto famiglia = [](int figli) { return riga({"FADETPERCFAMNUM", "IADETFIGLI"}, {euro("100"), figli}); };
    EXPECT_EQ(dynamic_cast<TWunCalcolaAnno2009 &>(*a).DetrazioneFamiglieNumerose(*famiglia(4)), euro("1200"));
    EXPECT_EQ(dynamic_cast<TWunCalcolaAnno2009 &>(*a).DetrazioneFamiglieNumerose(*famiglia(3)), Currency());
    Anno b(2022);
    caricaFamiliari(b->TabellaFamiliari());
    EXPECT_EQ(dynamic_cast<TWunCalcolaAnno2009 &>(*b).DetrazioneFamiglieNumerose(*famiglia(4)), euro("200"));
}

TEST(WunDetrazioni, ChildrenFromTheirRows)
{
    Anno a(2014);
    caricaFamiliari(a->TabellaFamiliari());
    Currency primo;
    int numero = 0;
    // Two children all year, the second under three, 40,000.00: threshold
    // 95,000 + 15,000 = 110,000, coefficient 70,000 / 110,000 = 0.6364;
    // (950 + 950 + 270) x 0.6364 = 1,380.988; the first 950 x 0.6364 =
    // 604.58.
    auto due = figli({{1, 1, 12, euro("100"), 0, 0}, {2, 1, 12, euro("100"), 1, 0}});
    EXPECT_EQ(a->DetrazioneFigliRighe(*due, euro("40000"), true, 0, primo, numero), euro("1380.99"));
    EXPECT_EQ(primo, euro("604.58"));
    EXPECT_EQ(numero, 2);
    // One child at 50% for six months: 950 x 50% x 6 / 12 = 237.50; threshold
    // 95,000, coefficient 55,000 / 95,000 = 0.5789: 137.48875.
    auto meta = figli({{1, 7, 12, euro("50"), 0, 0}});
    EXPECT_EQ(a->DetrazioneFigliRighe(*meta, euro("40000"), true, 0, primo, numero), euro("137.49"));
    // In a month only the rows valid then count, without the months' scaling:
    // 475 x 0.5789 = 274.9775.
    EXPECT_EQ(a->DetrazioneFigliRighe(*meta, euro("40000"), false, 3, primo, numero), Currency());
    EXPECT_EQ(a->DetrazioneFigliRighe(*meta, euro("40000"), false, 9, primo, numero), euro("274.98"));
    EXPECT_EQ(meta->recordCount(), 1) << "the caller's filter is back";
    // A share of 0 counts for nothing, as the typed-share check accepts it.
    EXPECT_EQ(a->DetrazioneFigliRighe(*figli({{1, 1, 12, euro("0"), 0, 0}}), euro("40000"), true, 0, primo, numero),
              Currency());

    struct Errato {
        QList<platform::ValueList> righe;
        const char *messaggio;
    };
    const Errato errati[] = {
        {{{1, 1, 12, euro("30"), 0, 0}}, "Il figlio può essere a carico per intero o al 50%"},
        {{{1, 1, 12, euro("100"), 0, 0}, {3, 1, 12, euro("100"), 0, 0}}, "Manca il figlio numero 2."},
        {{{1, 1, 6, euro("50"), 0, 0}, {1, 6, 12, euro("50"), 0, 0}},
         "Figlio 1: Periodi validi per detrazioni sovrapposti"},
        {{{1, 8, 3, euro("100"), 0, 0}},
         "Figlio 1: Mese fine detrazioni deve essere superiore od uguale a quello di inizio"},
    };
    for (const Errato &e : errati) {
        try {
            a->DetrazioneFigliRighe(*figli(e.righe), euro("40000"), true, 0, primo, numero);
            ADD_FAILURE() << e.messaggio;
        } catch (const ETovCalcola &errore) {
            EXPECT_EQ(errore.message(), QString::fromUtf8(e.messaggio));
        }
    }
    for (const auto &[quota, valida] :
         {std::pair{"0", true}, {"50", true}, {"100", true}, {"30", false}, {"x", false}}) {
        bool ok = !valida;
        QString messaggio;
        a->ControllaFigli(Value(QString::fromLatin1(quota)), ok, messaggio);
        EXPECT_EQ(ok, valida) << quota;
        EXPECT_EQ(messaggio, valida ? QString() : QStringLiteral("Il figlio può essere a carico per intero o al 50%"));
    }
}

using WunDetrazioniSuArchivio = DemoCalcoli;

TEST_F(WunDetrazioniSuArchivio, TheAdjustmentsDeductionsFromTheYearsTables)
{
    // 2024 on the archive's tables: employee 1,910 + 1,190 x 8,000 / 13,000 =
    // 2,642.3077, a full year: 2,642.31 (no minimum above 15,000.00); spouse
    // 690 (15,000-40,000); rent 150 of 15,493.71-30,987.41, all year.
    platform::SqlQuery q(db());
    auto persona = riga({"ITNOID", "IACOMBONUS66ECC", "FACOMREDDITOCOMP"}, {1, 0, euro("0")});
    auto detrazioni = riga({"LADETLAVDIP", "LADETCONCAR", "LADETMANCAGENITORE", "IADETFIGLI", "IADETFIGLIMIN3",
                            "IADETFIGLIHANDYCAP", "LADETFIGLIO1HANDY", "FADETPERCFIGLI", "IADETALTRI", "FADETPERCALTRI",
                            "FADETPERCFAMNUM", "IADETTIPCANONE", "IADETGGCANONE", "FADETPERCCANONE", "FADETIMPLAVDIP",
                            "FADETIMPLAVAGG", "FADETIMPCONCAR", "FADETIMPFIGLICAR", "FADETIMPALTRICAR"},
                           {1, 1, 0, 0, 0, 0, 0, euro("100"), 0, euro("100"), euro("0"), 1, 365, euro("100"), euro("9"),
                            euro("9"), euro("9"), euro("9"), euro("9")});
    auto conguaglio = riga({"FCONGREDDITOCOMP", "FCONGGIORNI", "ICONGGIORNI_PART", "FCONGIMPLAVDIP", "FCONGIMPLAVAGG",
                            "FCONGDETFAMNUM", "FCONGDETCANONE", "ICONGGGCANONE"},
                           {euro("20000"), 365, 365, euro("0"), euro("0"), euro("0"), euro("0"), 0});
    auto ritenute = tabella({"IRICEID", "FVARRIMPONIBILEDIP"}, {});
    WunCalcolaAnno().CalcolaDetrazioni(*persona, *detrazioni, conguaglio.get(), *ritenute, nullptr, 12);
    EXPECT_EQ(detrazioni->fieldByName("FADETIMPLAVDIP").asCurrency(), euro("2642.31"));
    EXPECT_EQ(detrazioni->fieldByName("FADETIMPCONCAR").asCurrency(), euro("690"));
    EXPECT_EQ(detrazioni->fieldByName("FADETIMPFIGLICAR").asCurrency(), Currency());
    EXPECT_EQ(conguaglio->fieldByName("FCONGIMPLAVDIP").asCurrency(), euro("2642.31"));
    EXPECT_EQ(conguaglio->fieldByName("FCONGDETCANONE").asCurrency(), euro("150"));
    EXPECT_EQ(conguaglio->fieldByName("ICONGGGCANONE").asInteger(), 365);

    // A child row that cannot be taken stops the computation and leaves the
    // deduction row as it was.
    auto sbagliato = figli({{1, 1, 12, euro("30"), 0, 0}});
    EXPECT_THROW(WunCalcolaAnno().CalcolaDetrazioni(*persona, *detrazioni, conguaglio.get(), *ritenute, sbagliato.get(),
                                                    12),
                 ETovCalcola);
    EXPECT_EQ(detrazioni->state(), platform::DataSetState::Browse);
    EXPECT_EQ(detrazioni->fieldByName("FADETIMPCONCAR").asCurrency(), euro("690"));

    // At 4,000.00 for 60 days: 1,955 x 60 / 365 = 321.37, raised to the
    // permanent employee's minimum 690.
    conguaglio->edit();
    conguaglio->fieldByName("FCONGREDDITOCOMP").setAsCurrency(euro("4000"));
    conguaglio->fieldByName("FCONGGIORNI").setAsInteger(60);
    conguaglio->post();
    WunCalcolaAnno().CalcolaDetrazioni(*persona, *detrazioni, conguaglio.get(), *ritenute, nullptr, 12);
    EXPECT_EQ(conguaglio->fieldByName("FCONGIMPLAVDIP").asCurrency(), euro("690"));

    // The month's share of a yearly 1,000.00 with 240.00 additional for a
    // July of 31 days: 1,000 x 31 / 365 = 84.93 and 240 x 31 / 365 = 20.38.
    auto mese = riga({"IVARMID", "IMESID", "IVARMGIORNI"}, {0, 7, 31});
    auto quota = riga({"FADETIMPLAVDIP", "FADETIMPLAVAGG"}, {euro("1000"), euro("240")});
    WunCalcolaAnno().RipartisciDetrazioni(q, *quota, 13, mese.get(), *persona);
    EXPECT_EQ(quota->fieldByName("FADETIMPLAVDIP").asCurrency(), euro("105.31"));
}

TEST_F(WunDetrazioniSuArchivio, DeductionsFromIncomeOf2004To2006)
{
    // The 2005 figures: fixed amount 26,000, no-tax area 3,000 + 4,500,
    // spouse 3,200, child 2,900, under three 3,450, disabled 3,800, family
    // threshold 78,000.
    db().execute(QStringLiteral("INSERT INTO TTDED_DEDUZIONI (ITDEDID, IANFID, FTDEDIMPORTOFISSO, FTDEDBASENOTAXAREA, "
                                "FTDEDAGGNOTAXAREA, FTDEDCONIUGE, FTDEDFIGLIHC, FTDEDFIGLIMIN3, FTDEDFIGLIALTRI, "
                                "FTDEDSOGLIAFAM) VALUES (9001, %1, 26000, 3000, 4500, 3200, 3800, 3450, 2900, 78000)")
                     .arg(wunAnnoFinanziario().Id()));
    auto persona = riga({"ITNOID", "IACOMNUMPAGHE", "IACOMDURATARAPP", "FACOMREDDITOCOMP", "FACOMONERIDEDUC",
                         "FACOMCREDITOIMP", "LACOMDISABILTANTA", "LACOMDEDBASEPROP", "IACOMID"},
                        {1, 13, 0, euro("20000"), euro("0"), euro("0"), 0, 0, 900003});
    auto detrazioni = [] {
        return riga({"LADETCONCAR", "LADETMANCAGENITORE", "LADETFIGLIO1HANDY", "IADETFIGLI", "IADETFIGLIHANDYCAP",
                     "IADETFIGLIMIN3", "FADETPERCFIGLI", "IADETALTRI", "FADETPERCALTRI", "FADETDEDFAMILYTEO",
                     "FADETDEDFAMILY", "FADETIMPDEDUZIONE1"},
                    {1, 0, 0, 1, 0, 1, euro("100"), 0, euro("100"), euro("0"), euro("0"), euro("0")});
    };
    auto mese = riga({"IVARMID", "IMESID", "IVARMGIORNI", "ICOTID"}, {0, 3, 31, 1});

    // No-tax area: coefficient (26,000 + 7,500 - 20,000) / 26,000 = 0.5192
    // (cut), 7,500 x 0.5192 = 3,894, for 31 days 3,894 x 31 / 365 = 330.7233.
    TWunCalcolaAnno::CreaPerAnno(2004);
    auto d = detrazioni();
    WunCalcolaAnno().CalcolaDeduzioni(*persona, *d, mese.get());
    EXPECT_EQ(d->fieldByName("FADETIMPDEDUZIONE1").asCurrency(), euro("330.72"));

    // 2005 adds the family: spouse 3,200 + child under three 3,450 = 6,650,
    // coefficient (78,000 + 6,650 - 20,000) / 78,000 = 0.8288, 5,511.52.
    TWunCalcolaAnno::CreaPerAnno(2005);
    d = detrazioni();
    WunCalcolaAnno().CalcolaDeduzioni(*persona, *d, mese.get());
    EXPECT_EQ(d->fieldByName("FADETDEDFAMILY").asCurrency(), euro("5511.52"));
    EXPECT_EQ(d->fieldByName("FADETIMPDEDUZIONE1").asCurrency(), euro("5842.24"));
    // Without the other parent the one child (2,900) counts as a spouse
    // (3,200); a theoretical amount given is taken as it is.
    auto tded = leggi(QStringLiteral("SELECT * FROM TTDED_DEDUZIONI WHERE ITDEDID = 9001"));
    auto solo = riga({"LADETCONCAR", "LADETMANCAGENITORE", "LADETFIGLIO1HANDY", "IADETFIGLI", "IADETFIGLIHANDYCAP",
                      "IADETFIGLIMIN3", "FADETPERCFIGLI", "IADETALTRI", "FADETPERCALTRI", "FADETDEDFAMILYTEO"},
                     {0, 1, 0, 1, 0, 0, euro("100"), 0, euro("100"), euro("0")});
    EXPECT_EQ(WunCalcolaAnno().DetrazioneFamiliariTeorica(*solo, *tded), euro("3200"));
    solo->edit();
    solo->fieldByName("FADETDEDFAMILYTEO").setAsCurrency(euro("1000"));
    solo->post();
    EXPECT_EQ(WunCalcolaAnno().DetrazioneFamiliariTeorica(*solo, *tded), euro("1000"));

    // The adjustment of a full year: base 3,000 x 0.5192 = 1,557.60 and the
    // rest of 3,894.00; the family deduction of the year 5,511.52.
    auto conguaglio = riga({"FCONGGIORNI", "ICONGGIORNI_P", "FCONGIMPONIBILE", "FCONGIMPONIBILE_P", "FCONGIMPONIBILE_T",
                            "FCONGREDDITOCOMP", "FCONGONERIDEDUC", "FCONGCREDITOIMP", "FCONGIMPDEDUZIONE1",
                            "FCONGIMPDEDUZIONE2", "FCONGTAXFAMILY", "ICONGGIORNI_PART", "ICONGGIORNI_PART_P"},
                           {0, 334, euro("18000"), euro("2000"), euro("0"), euro("0"), euro("0"), euro("0"), euro("0"),
                            euro("0"), euro("0"), 0, 0});
    platform::SqlQuery q(db());
    auto ritenute = tabella({"IRICEID"}, {});
    d = detrazioni();
    WunCalcolaAnno().CalcolaConguaglio(*persona, *d, q, *mese, *conguaglio, *ritenute);
    // 31 days of this liquidation (no other register) + 334 before = 365.
    EXPECT_EQ(conguaglio->fieldByName("FCONGGIORNI").asInteger(), 365);
    EXPECT_EQ(conguaglio->fieldByName("FCONGREDDITOCOMP").asCurrency(), euro("20000"));
    EXPECT_EQ(conguaglio->fieldByName("FCONGIMPDEDUZIONE1").asCurrency(), euro("1557.6"));
    EXPECT_EQ(conguaglio->fieldByName("FCONGIMPDEDUZIONE2").asCurrency(), euro("2336.4"));
    EXPECT_EQ(conguaglio->fieldByName("FCONGTAXFAMILY").asCurrency(), euro("5511.52"));

    // 2020: a collaborator of the whole year has 184 days of the
    // integrative payment; 2021 all the year's days.
    auto collaboratore = riga({"ITNOID", "IACOMDURATARAPP", "FACOMREDDITOCOMP", "FACOMONERIDEDUC", "FACOMCREDITOIMP",
                               "DACOMINIRAPP", "DACOMFINERAPP"},
                              {11, 300, euro("0"), euro("0"), euro("0"), Value(QDate(2020, 1, 1)), Value()});
    for (const auto &[anno, parte] : {std::pair{2020, 184}, std::pair{2021, 300}}) {
        TWunCalcolaAnno::CreaPerAnno(anno);
        conguaglio->edit();
        conguaglio->fieldByName("ICONGGIORNI_P").setAsInteger(0);
        conguaglio->post();
        WunCalcolaAnno().CalcolaConguaglio(*collaboratore, *d, q, *mese, *conguaglio, *ritenute);
        EXPECT_EQ(conguaglio->fieldByName("FCONGGIORNI").asInteger(), 300) << anno;
        EXPECT_EQ(conguaglio->fieldByName("ICONGGIORNI_PART").asInteger(), parte) << anno;
    }
}

TEST_F(WunDetrazioniSuArchivio, TheCollaboratorsAdditionalRateIsRecoveredOnTheYearsEarlierPayments)
{
    // A March payment of 1,000.00 at 32.72: 327.20, a third 109.07 to the
    // collaborator, 218.13 to the employer. At 33.23 it is 332.30: 110.77
    // and 221.53, so 1.70 and 3.40 are recovered in August.
    const int acom = scalar(QStringLiteral("SELECT FIRST 1 IACOMID FROM TACOM_COMPENSI")).toInt();
    const int anf = scalar(QStringLiteral("SELECT IANFID FROM TACOM_COMPENSI WHERE IACOMID = %1").arg(acom)).toInt();
    const int cot = scalar(QStringLiteral("SELECT FIRST 1 ICOTID FROM TCOT_TIPICOMPENSO")).toInt();
    db().execute(QStringLiteral("INSERT INTO TREGS_REGISTROSTIP (IREGSID, IACOMID, IANFID, IMESID, ICOTID, IDWGID, "
                                "ITNOID, LREGSCALCOLATA) VALUES (990001, %1, %2, 3, %3, 1, 11, 1)")
                     .arg(acom)
                     .arg(anf)
                     .arg(cot));
    db().execute(QStringLiteral("INSERT INTO TVARR_VARRITENUTE (IVARRID, IREGSID, IRICEID, FVARRIMPONIBILEAMM, "
                                "FVARRALIQUOTAAMM, FVARRRITDIP, FVARRRITAMM) VALUES (990001, 990001, 3, 1000, 32.72, "
                                "109.07, 218.13)"));
    TWunCalcolaAnno::CreaPerAnno(2017);
    auto liquidazione = riga({"IMESID", "ICOTID", "LVARMRECUPEROINPS"}, {8, cot, 1});
    auto ritenuta = [] {
        return riga({"IRICEID", "FVARRRITDIP", "FVARRRITAMM", "FVARRRECUPERO"},
                    {3, euro("100"), euro("200"), euro("0")});
    };
    struct Caso {
        int cattedra, recupero;
        const char *dipendente, *datore, *totale;
    };
    for (const Caso &c :
         {Caso{0, 1, "101.7", "203.4", "5.1"}, Caso{1, 1, "100", "203.4", "3.4"}, Caso{0, 0, "100", "200", "0"}}) {
        auto persona = riga({"IACOMID", "ITNOID", "FACOMINPS", "LACOMINPSAGG", "LACOMCATTEDRA"},
                            {acom, 11, euro("32.72"), 1, c.cattedra});
        liquidazione->edit();
        liquidazione->fieldByName("LVARMRECUPEROINPS").setAsInteger(c.recupero);
        liquidazione->post();
        auto r = ritenuta();
        WunCalcolaAnno().RecuperaInpsCollaboratori(*liquidazione, *persona, *r);
        EXPECT_EQ(r->fieldByName("FVARRRITDIP").asCurrency(), euro(c.dipendente)) << c.cattedra << c.recupero;
        EXPECT_EQ(r->fieldByName("FVARRRITAMM").asCurrency(), euro(c.datore)) << c.cattedra << c.recupero;
        EXPECT_EQ(r->fieldByName("FVARRRECUPERO").asCurrency(), euro(c.totale)) << c.cattedra << c.recupero;
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT FVARRRITDIP FROM TVARR_VARRITENUTE WHERE IVARRID = 990001")).toCurrency(),
              euro("109.07"))
        << "the earlier payments are not saved";
}

TEST(WunDetrazioni, TheDeductionFormShowsWhatTheYearUses)
{
    QObject form;
    for (const char *nome :
         {"Label1", "xdlTdla", "Label2", "xdlTdco", "Label3", "xdlTdfa", "gbTotali", "gbCanone", "paFamNum"}) {
        auto *c = new QObject(&form);
        c->setObjectName(QLatin1String(nome));
        c->setProperty("visible", true);
        c->setProperty("enabled", false);
    }
    auto stato = [&](const char *nome, const char *proprieta) {
        return form.findChild<QObject *>(QLatin1String(nome))->property(proprieta).toBool();
    };
    Anno a(2009);
    a->ImpostaFormDetrazioni(&form, false);
    EXPECT_FALSE(stato("xdlTdla", "visible") || stato("Label3", "visible") || stato("gbTotali", "visible"));
    EXPECT_TRUE(stato("gbCanone", "enabled") && stato("paFamNum", "enabled"));
    a->ImpostaFormDetrazioni(&form, true);
    EXPECT_TRUE(stato("gbTotali", "visible"));
    QObject vuoto;
    EXPECT_THROW(a->ImpostaFormDetrazioni(&vuoto, true), platform::EAssertionFailed);
}
