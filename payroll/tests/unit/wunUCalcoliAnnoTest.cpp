// The per-year rule object: the class of each year, its flags, amounts and
// rates, and the shared bracket and no-tax-area helpers.
#include "CalcoliTestSupport.h"
#include "wunUCalcoliAnno.h"

#include "Exceptions.h"
#include "SqlQuery.h"

#include <gtest/gtest.h>
#include <typeinfo>

using namespace calcolitest;
using platform::Currency;
using platform::Value;

namespace {

// The rule object of a year, freed at the end of the test.
struct Anno {
    explicit Anno(int anno) { TWunCalcolaAnno::CreaPerAnno(anno); }
    ~Anno() { TWunCalcolaAnno::Rilascia(); }
    TWunCalcolaAnno &operator*() const { return WunCalcolaAnno(); }
    TWunCalcolaAnno *operator->() const { return &WunCalcolaAnno(); }
    template <class T>
    T &come() const
    {
        return dynamic_cast<T &>(WunCalcolaAnno());
    }
};

} // namespace

TEST(WunCalcolaAnno, TheFactoryMakesTheClassOfTheYearAndOwnsIt)
{
    struct Caso {
        int anno;
        const std::type_info &classe;
        int annoFondazione; // the foundation's year rules follow (0: its base object)
    };
    const Caso casi[] = {
        {2003, typeid(TWunCalcolaAnno2004), 0},    {2004, typeid(TWunCalcolaAnno2004), 0},
        {2005, typeid(TWunCalcolaAnno2005), 0},    {2006, typeid(TWunCalcolaAnno2005), 0},
        {2007, typeid(TWunCalcolaAnno2007), 0},    {2008, typeid(TWunCalcolaAnno2008), 0},
        {2009, typeid(TWunCalcolaAnno2009), 0},    {2010, typeid(TWunCalcolaAnno2010), 0},
        {2013, typeid(TWunCalcolaAnno2010), 0},    {2014, typeid(TWunCalcolaAnno2014), 0},
        {2015, typeid(TWunCalcolaAnno2015), 0},    {2016, typeid(TWunCalcolaAnno2015), 0},
        {2017, typeid(TWunCalcolaAnno2017), 0},    {2018, typeid(TWunCalcolaAnno2018), 0},
        {2019, typeid(TWunCalcolaAnno2019), 0},    {2020, typeid(TWunCalcolaAnno2020), 0},
        {2021, typeid(TWunCalcolaAnno2021), 0},    {2022, typeid(TWunCalcolaAnno2022), 0},
        {2023, typeid(TWunCalcolaAnno2023), 2023}, {2024, typeid(TWunCalcolaAnno2024), 2024},
        {2025, typeid(TWunCalcolaAnno2025), 2025}, {2031, typeid(TWunCalcolaAnno2025), 2031},
    };
    for (const Caso &c : casi) {
        TWunCalcolaAnno::CreaPerAnno(c.anno);
        EXPECT_TRUE(typeid(WunCalcolaAnno()) == c.classe) << c.anno;
        EXPECT_EQ(TovCalcolaAnno().Anno(), c.annoFondazione) << c.anno;
    }
    // The previous object is freed when the next is made and at the end (the
    // sanitizer run sees any leak).
    TWunCalcolaAnno::Rilascia();
    EXPECT_FALSE(WunCalcolaAnnoPresente());
    EXPECT_THROW(WunCalcolaAnno(), platform::EAssertionFailed) << "no rule object before the year is set";
}

TEST(WunCalcolaAnno, FlagsAmountsAndNamesByYear)
{
    struct Caso {
        int anno;
        const char *regole; // 2004 2008 2009 2010 2014 2020 2023 2024 as 0/1
        bool detrazioni, deduzioni, esoneroIvs, cuneo, unaTantum;
        int meseBonus, giorniBonus;
        const char *inpsAggiuntiva, *frame, *form;
    };
    const Caso casi[] = {
        {2004, "10000000", true, true, false, false, false, 0, 0, "0", "TfrWunCongBase", "TfmwunTdfa"},
        {2005, "00000000", false, true, false, false, false, 0, 0, "0", "TfrWunCong2005", "TfmwunTdfa"},
        {2007, "00000000", true, false, false, false, false, 0, 0, "0", "TfrWunCong2007", "TfmwunTdfa2007"},
        {2008, "01000000", true, false, false, false, false, 0, 0, "0", "TfrWunCong2007", "TfmwunTdfa2007"},
        {2009, "01100000", true, false, false, false, false, 0, 0, "0", "TfrWunCong2009", "TfmwunTdfa2007"},
        {2012, "01010000", true, false, false, false, false, 0, 0, "0", "TfrWunCong2009", "TfmwunTdfa2007"},
        {2014, "01011000", true, false, false, false, false, 0, 0, "0", "TfrWunCong2014", "TfmwunTdfa2007"},
        {2016, "01011000", true, false, false, false, false, 0, 0, "0", "TfrWunCong2014", "TfmwunTdfa2007"},
        {2017, "01011000", true, false, false, false, false, 0, 0, "0.51", "TfrWunCong2014", "TfmwunTdfa2007"},
        {2018, "01011000", true, false, false, false, false, 0, 0, "0", "TfrWunCong2014", "TfmwunTdfa2007"},
        {2020, "01011100", true, false, false, false, false, 7, 184, "0", "TfrWunCong2020", "TfmwunTdfa2007"},
        {2021, "01011000", true, false, false, false, false, 7, 365, "0", "TfrWunCong2020", "TfmwunTdfa2007"},
        {2022, "01011000", true, false, false, false, true, 7, 365, "0", "TfrWunCong2020", "TfmwunTdfa2007"},
        {2023, "01011010", true, false, true, false, false, 7, 365, "0", "TfrWunCong2020", "TfmwunTdfa2007"},
        {2024, "01011011", true, false, true, false, false, 7, 365, "0", "TfrWunCong2020", "TfmwunTdfa2007"},
        {2025, "01011011", true, false, true, true, false, 7, 365, "0", "TfrWunCong2025", "TfmwunTdfa2007"},
    };
    for (const Caso &c : casi) {
        Anno a(c.anno);
        const bool regole[] = {a->Regole2004(), a->Regole2008(), a->Regole2009(), a->Regole2010(),
                               a->Regole2014(), a->Regole2020(), a->Regole2023(), a->Regole2024()};
        QString visto;
        for (bool r : regole)
            visto += r ? '1' : '0';
        EXPECT_EQ(visto, c.regole) << c.anno;
        EXPECT_EQ(a->RegimeDetrazioni(), c.detrazioni) << c.anno;
        EXPECT_EQ(a->RegimeDeduzioni(), c.deduzioni) << c.anno;
        EXPECT_EQ(a->EsoneroIvsAttivo(), c.esoneroIvs) << c.anno;
        EXPECT_EQ(a->TaglioCuneoAttivo(), c.cuneo) << c.anno;
        EXPECT_EQ(a->BonusUnaTantumAttivi(), c.unaTantum) << c.anno;
        EXPECT_EQ(a->MeseInizioBonus(), c.meseBonus) << c.anno;
        EXPECT_EQ(a->GiorniPeriodoBonus(), c.giorniBonus) << c.anno;
        EXPECT_EQ(a->AliquotaInpsAggiuntiva(), euro(c.inpsAggiuntiva)) << c.anno;
        EXPECT_EQ(a->NomeFrameConguaglio(), c.frame) << c.anno;
        EXPECT_EQ(a->NomeFormDetrazioniFamiliari(), c.form) << c.anno;
        EXPECT_TRUE(a->VoceAnnoAttiva()) << c.anno;
        EXPECT_EQ(a->CodiceTipoPredefinito(), 32) << c.anno;
        EXPECT_EQ(a->NomeQueryVersione("QRY_X"), c.anno >= 2017 ? "QRY_X_2017" : "QRY_X") << c.anno;
        QString filtro;
        a->FiltroGruppiVoci(filtro);
        EXPECT_EQ(filtro, c.anno == 2023 || c.anno == 2024 ? " AND COMR.ICOMRGRUPPO IN (1,2,6)"
                                                           : " AND COMR.ICOMRGRUPPO IN (1,2)")
            << c.anno;
        EXPECT_EQ(a->DetrazioneAggiuntivaLavDip(181), c.anno >= 2024 ? euro("37.19") : Currency()) << c.anno;
    }
}

TEST(WunCalcolaAnno, BonusAndIntegrativePaymentAmounts)
{
    struct Caso {
        int anno;
        const char *bonus, *piena, *massima;
        bool maggioEscluso;
    };
    for (const Caso &c : {Caso{2014, "640", "24000", "26000", true}, Caso{2015, "960", "24000", "26000", false},
                          Caso{2018, "960", "24600", "26600", false}, Caso{2025, "960", "24600", "26600", false}}) {
        Anno a(c.anno);
        auto &b = a.come<TWunCalcolaAnno2014>();
        EXPECT_EQ(b.ImportoBonusAnnuo(), euro(c.bonus)) << c.anno;
        EXPECT_EQ(b.SogliaPienaBonus(), euro(c.piena)) << c.anno;
        EXPECT_EQ(b.SogliaMassimaBonus(), euro(c.massima)) << c.anno;
        EXPECT_EQ(b.BonusNonSpettanteNelMese(*riga({"IMESID"}, {5})), c.maggioEscluso) << c.anno;
        EXPECT_FALSE(b.BonusNonSpettanteNelMese(*riga({"IMESID"}, {6}))) << c.anno;
    }
    struct Integrativo {
        int anno;
        const char *quota, *importo, *soglia, *sogliaReddito;
    };
    for (const Integrativo &c :
         {Integrativo{2020, "120", "600", "28000", nullptr}, Integrativo{2021, "240", "1200", "28000", "28000"},
          Integrativo{2022, "0", "1200", "0", "15000"}}) {
        Anno a(c.anno);
        auto &t = a.come<TWunCalcolaAnno2020>();
        EXPECT_EQ(t.QuotaUlterioreDetrazione(), euro(c.quota)) << c.anno;
        EXPECT_EQ(t.ImportoTrattamentoIntegrativo(), euro(c.importo)) << c.anno;
        EXPECT_EQ(t.SogliaTrattamentoIntegrativo(), euro(c.soglia)) << c.anno;
        if (c.sogliaReddito) {
            EXPECT_EQ(a.come<TWunCalcolaAnno2021>().SogliaRedditoTrattamento(), euro(c.sogliaReddito)) << c.anno;
        }
    }
    Anno a(2022);
    EXPECT_EQ(a.come<TWunCalcolaAnno2022>().SogliaPienaTrattamento(), euro("15000"));
    EXPECT_EQ(a.come<TWunCalcolaAnno2022>().SogliaMassimaTrattamento(), euro("28000"));
}

TEST(WunCalcolaAnno, ContributionRatesAndTheirYearlyAdjustments)
{
    auto collaboratore = [](const char *inps, int agg, int enpals = 0, int tno = 11) {
        return riga({"ITNOID", "FACOMIRAP", "FACOMINPS", "FACOMINAIL", "LACOMINPSAGG", "IACOMSOGGENPALS"},
                    {tno, euro("8.5"), euro(inps), euro("0.4"), agg, enpals});
    };
    for (int anno : {2004, 2010, 2017, 2022, 2025})
        EXPECT_EQ(Anno(anno)->AliquotaContributo(*collaboratore("32.72", 1), 2, 7), Currency()) << anno;
    {
        Anno a(2017);
        EXPECT_EQ(a->AliquotaContributo(*collaboratore("32.72", 1), 3, 7), euro("33.23"));
        EXPECT_EQ(a->AliquotaContributo(*collaboratore("32.72", 1), 3, 6), euro("32.72")) << "from July only";
        EXPECT_EQ(a->AliquotaContributo(*collaboratore("32.72", 0), 3, 7), euro("32.72")) << "only when asked";
        EXPECT_EQ(a->AliquotaContributo(*collaboratore("33.72", 1), 3, 7), euro("33.72")) << "only at 32.72";
        EXPECT_EQ(a->AliquotaContributo(*collaboratore("32.72", 1), 1, 7), euro("8.5"));
        EXPECT_EQ(a->AliquotaContributo(*collaboratore("32.72", 1), 4, 7), euro("0.4"));
        EXPECT_TRUE(a->AliquotaCollaboratoreSenzaDisColl(11, euro("32.72")));
        EXPECT_FALSE(a->AliquotaCollaboratoreSenzaDisColl(11, euro("33.72")));
        EXPECT_FALSE(a->AliquotaCollaboratoreSenzaDisColl(1, euro("32.72")));
        EXPECT_TRUE(a.come<TWunCalcolaAnno2017>().InpsAggiuntivaNelMese(7));
        EXPECT_FALSE(a.come<TWunCalcolaAnno2017>().InpsAggiuntivaNelMese(6));
    }
    EXPECT_EQ(Anno(2018)->AliquotaContributo(*collaboratore("32.72", 1), 3, 7), euro("32.72"));
    EXPECT_TRUE(Anno(2018).come<TWunCalcolaAnno2017>().InpsAggiuntivaNelMese(7));
    EXPECT_FALSE(Anno(2019).come<TWunCalcolaAnno2017>().InpsAggiuntivaNelMese(7));

    // A person of the former ENPALS fund cannot pay INPS, nor be a collaborator.
    Anno a(2024);
    try {
        a->AliquotaContributo(*collaboratore("9.19", 0, 2, 15), 3, 1);
        FAIL();
    } catch (const ETovWarning &e) {
        EXPECT_EQ(e.message(), "Non è possibile essere soggetti ad ex ENPALS ed INPS contemporaneamente");
    }
    try {
        a->AliquotaContributo(*collaboratore("0", 0, 2, 11), 3, 1);
        FAIL();
    } catch (const ETovWarning &e) {
        EXPECT_EQ(e.message(), "Non è possibile assoggettare ex ENPALS a collaboratori");
    }
    EXPECT_EQ(a->AliquotaContributo(*collaboratore("0", 0, 2, 15), 3, 1), Currency());

    struct Adeguamento {
        int anno, tno;
        const char *aliquota, *atteso;
    };
    for (const Adeguamento &c : {Adeguamento{2017, 11, "33.72", "33.72"}, Adeguamento{2018, 11, "33.72", "34.23"},
                                 Adeguamento{2021, 11, "33.72", "34.23"}, Adeguamento{2022, 11, "33.72", "35.03"},
                                 Adeguamento{2022, 1, "33.72", "33.72"}, Adeguamento{2022, 11, "34", "34"}})
        EXPECT_EQ(Anno(c.anno)->AdeguaAliquotaInps(c.tno, euro(c.aliquota)), euro(c.atteso)) << c.anno;
}

TEST(WunCalcolaAnno, PaymentsChildrenAndStatementNames)
{
    for (auto [anno, atteso] : {std::pair{2021, 10}, std::pair{2022, 12}, std::pair{2023, 10}})
        EXPECT_EQ(Anno(anno)->AdeguaNumeroMensilita(10), atteso) << anno;
    auto figli = [](int anno, int mese) {
        int a = 1, b = 2, c = 3;
        Anno(anno)->AdeguaFigliNucleo(mese, a, b, c);
        return a + b + c;
    };
    EXPECT_EQ(figli(2021, 6), 6);
    EXPECT_EQ(figli(2022, 2), 6);
    EXPECT_EQ(figli(2022, 3), 0) << "from March 2022 the single allowance";
    EXPECT_EQ(figli(2023, 1), 0);

    EXPECT_EQ(Anno(2018)->NomeQueryAnno("QRY_CNT_AMM"), "QRY_CNT_AMM");
    Anno a(2019);
    EXPECT_EQ(a->NomeQueryAnno("QRY_CNT_AMM"), "QRY_CNT_AMM_VER");
    try {
        a->NomeQueryAnno("QRY_ALTRA");
        FAIL();
    } catch (const ETovWarning &e) {
        EXPECT_EQ(e.message(), "Query non trovata:QRY_ALTRA");
    }
    EXPECT_EQ(Anno(2024)->DetrazioneAggiuntivaLavDip(365), euro("75"));
    EXPECT_EQ(Anno(2024)->DetrazioneAggiuntivaLavDip(0), Currency());
    EXPECT_TRUE(Anno(2023).come<TWunCalcolaAnno2023>().EsoneroTredicesima());
    EXPECT_FALSE(Anno(2024).come<TWunCalcolaAnno2023>().EsoneroTredicesima());
}

TEST(WunCalcolaAnno, InpsCheckBoxesOfTheBaseRule)
{
    struct Casella : IWunCasella {
        bool visibile = false, abilitata = false;
        int spuntata = -1;
        platform::DataSetState stato = platform::DataSetState::Browse;
        void Mostra(bool v) override { visibile = v; }
        void Abilita(bool a) override { abilitata = a; }
        void Imposta(bool s) override { spuntata = s ? 1 : 0; }
        platform::DataSetState StatoDati() const override { return stato; }
    };
    Anno a(2016);
    Casella prima, seconda;
    prima.visibile = prima.abilitata = true;
    a->MostraControlliInps(11, Value(7), prima, seconda);
    EXPECT_TRUE(seconda.visibile && seconda.abilitata);
    EXPECT_EQ(seconda.spuntata, 0) << "a collaborator is not ordinary salary";
    EXPECT_FALSE(prima.visibile || prima.abilitata);
    EXPECT_EQ(prima.spuntata, 0);
    a->MostraControlliInps(1, Value(7), prima, seconda);
    EXPECT_EQ(seconda.spuntata, 1);
    Casella inModifica;
    inModifica.stato = platform::DataSetState::Edit;
    a->MostraControlliInps(1, Value(7), prima, inModifica);
    EXPECT_EQ(inModifica.spuntata, -1) << "set only while its data is browsing";

    // 2017, code 14: the first box tells whether the additional rate runs in
    // the month (from July), the second is put away.
    Anno b(2017);
    for (const auto &[mese, spunta] : {std::pair{6, 0}, std::pair{7, 1}}) {
        Casella uno, due;
        due.visibile = due.abilitata = true;
        b->MostraControlliInps(14, Value(mese), uno, due);
        EXPECT_TRUE(uno.visibile && uno.abilitata) << mese;
        EXPECT_EQ(uno.spuntata, spunta) << mese;
        EXPECT_FALSE(due.visibile || due.abilitata) << mese;
        EXPECT_EQ(due.spuntata, 0) << mese;
    }
}

TEST(WunCalcolaAnno, BracketsCoefficientsAndNoTaxArea)
{
    auto scaglioni = tabella({"ITDLAUSERCODE", "FTDLASCAGLIONEDA", "FTDLASCAGLIONEA", "FTDLADETRAZIONE"},
                             {{3, euro("28000"), euro("50000"), euro("1910")},
                              {1, euro("0"), euro("15000"), euro("1880")},
                              {-1, euro("28000"), euro("35000"), euro("960")},
                              {2, euro("15000"), euro("28000"), euro("1910")}});
    struct Caso {
        const char *reddito;
        bool trovato;
        int codice;
    };
    for (const Caso &c : {Caso{"0", false, 0}, Caso{"10000", true, 1}, Caso{"28000", true, 2},
                          Caso{"28000.01", true, 3}, Caso{"50000", true, 3}, Caso{"50000.01", false, 0}}) {
        Currency detrazione = euro("1");
        const bool trovato = TWunCalcolaAnno::CercaScaglione(*scaglioni, "ITDLAUSERCODE > 0", detrazione,
                                                             "FTDLADETRAZIONE", "FTDLASCAGLIONE", euro(c.reddito));
        EXPECT_EQ(trovato, c.trovato) << c.reddito;
        if (c.trovato) {
            EXPECT_EQ(scaglioni->fieldByName("ITDLAUSERCODE").asInteger(), c.codice) << c.reddito;
            EXPECT_EQ(detrazione, euro("1") + scaglioni->fieldByName("FTDLADETRAZIONE").asCurrency()) << "added";
        } else {
            EXPECT_EQ(detrazione, euro("1")) << c.reddito;
        }
    }

    auto deduzioni = riga({"FTDEDIMPORTOFISSO", "FTDEDBASENOTAXAREA", "FTDEDAGGNOTAXAREA"},
                          {euro("26000"), euro("3000"), euro("4500")});
    auto persona = riga({"FACOMONERIDEDUC", "FACOMCREDITOIMP"}, {euro("1000"), euro("0")});
    const Currency coefficiente = TWunCalcolaAnno::CoefficienteDeduzione(*deduzioni, *persona, euro("3000"),
                                                                         euro("20000"));
    EXPECT_EQ(coefficiente, euro("0.3846")) << "10,000 / 26,000 cut, not rounded";
    EXPECT_EQ(TWunCalcolaAnno::ApplicaCoefficiente(euro("1000"), coefficiente), euro("384.6"));
    EXPECT_EQ(TWunCalcolaAnno::ApplicaCoefficiente(euro("1000"), euro("-0.1")), Currency());
    EXPECT_EQ(TWunCalcolaAnno::ApplicaCoefficiente(euro("1000"), euro("1.2")), euro("1000"));
    EXPECT_THROW(TWunCalcolaAnno::CoefficienteDeduzione(*riga({"FTDEDIMPORTOFISSO"}, {euro("0")}), *persona,
                                                        euro("3000"), euro("20000")),
                 ETovCalcola);

    Currency base;
    EXPECT_EQ(TWunCalcolaAnno::NoTaxArea(*deduzioni, 365, true, base), euro("7500"));
    EXPECT_EQ(base, euro("3000"));
    EXPECT_EQ(TWunCalcolaAnno::NoTaxArea(*deduzioni, 180, true, base), euro("3698.63"));
    EXPECT_EQ(base, euro("1479.45"));
    EXPECT_EQ(TWunCalcolaAnno::NoTaxArea(*deduzioni, 180, false, base), euro("5219.18"));
    EXPECT_EQ(base, euro("3000"));
}

TEST(WunCalcolaAnno, IncomeAndPaymentsOfAPerson)
{
    auto persona = [](int tno, int paghe, const char *reddito = "0", int durata = 0) {
        return riga({"ITNOID", "IACOMNUMPAGHE", "FACOMREDDITOCOMP", "IACOMDURATARAPP"},
                    {tno, paghe, euro(reddito), durata});
    };
    auto ritenute = tabella({"IRICEID", "FVARRIMPONIBILEDIP"}, {{3, euro("2000")}, {7, euro("1500")}});
    EXPECT_EQ(TWunCalcolaAnno::RedditoAnnuoPresunto(*persona(1, 12, "30000"), *ritenute), euro("30000"));
    EXPECT_EQ(TWunCalcolaAnno::RedditoAnnuoPresunto(*persona(1, 12), *ritenute), euro("19500")) << "12 counts as 13";
    EXPECT_EQ(TWunCalcolaAnno::RedditoAnnuoPresunto(*persona(11, 12), *ritenute), euro("18000"));
    EXPECT_EQ(TWunCalcolaAnno::RedditoAnnuoPresunto(*persona(1, 14), *ritenute), euro("21000"));
    EXPECT_THROW(TWunCalcolaAnno::RedditoAnnuoPresunto(*persona(1, 12), *tabella({"IRICEID", "FVARRIMPONIBILEDIP"},
                                                                                 {{3, euro("2000")}})),
                 ETovCalcola);
    EXPECT_EQ(TWunCalcolaAnno::NumeroMensilita(*persona(11, 13, "0", 200)), 7);
    EXPECT_EQ(TWunCalcolaAnno::NumeroMensilita(*persona(8, 0)), 9);
    EXPECT_EQ(TWunCalcolaAnno::NumeroMensilita(*persona(1, 0)), 12);
    EXPECT_EQ(TWunCalcolaAnno::NumeroMensilita(*persona(1, 14)), 14);
}

// ---------------------------------------------------------------------------
// On the demo archive

using WunCalcolaAnnoSuArchivio = DemoCalcoli;

TEST_F(WunCalcolaAnnoSuArchivio, BracketTablesAreReadForTheWorkingYear)
{
    auto &anno = dynamic_cast<TWunCalcolaAnno2007 &>(WunCalcolaAnno());
    TUqQueryCollection &lavoro = anno.TabellaLavoro();
    TWunCalcolaAnno::ApriTabella(lavoro, "QRY_TDLA");
    EXPECT_EQ(lavoro.recordCount(), scalar("SELECT COUNT(*) FROM TTDLA_DETRLAVORO WHERE IANFID = 55").toInt());
    Currency detrazione;
    ASSERT_TRUE(TWunCalcolaAnno::CercaScaglione(lavoro, "ITDLAUSERCODE > 0", detrazione, "FTDLADETRAZIONE",
                                                "FTDLASCAGLIONE", euro("20000")));
    EXPECT_EQ(detrazione, euro("1910"));
    TWunCalcolaAnno::ApriTabella(dynamic_cast<TWunCalcolaAnno2009 &>(anno).TabellaCanone(), "QRY_TDCA");
    anno.ChiudiTabelle();
    EXPECT_FALSE(lavoro.isActive());
    EXPECT_FALSE(dynamic_cast<TWunCalcolaAnno2009 &>(anno).TabellaCanone().isActive());
}

TEST_F(WunCalcolaAnnoSuArchivio, TheYearlyDeductionIsDividedOverThePayments)
{
    platform::SqlQuery q(db());
    auto persona = riga({"ITNOID", "IACOMNUMPAGHE"}, {1, 13});
    auto detrazioni = riga({"FADETIMPLAVDIP", "FADETIMPLAVAGG"}, {euro("1000"), euro("0")});
    WunCalcolaAnno().RipartisciDetrazioni(q, *detrazioni, 13, nullptr, *persona);
    EXPECT_EQ(detrazioni->fieldByName("FADETIMPLAVDIP").asCurrency(), euro("76.92"));
    try {
        WunCalcolaAnno().RipartisciDetrazioni(q, *detrazioni, 0, nullptr, *persona);
        FAIL();
    } catch (const ETovCalcola &e) {
        EXPECT_EQ(e.message(), "Numero di paghe non specificato");
    }
    EXPECT_EQ(detrazioni->fieldByName("FADETIMPLAVDIP").asCurrency(), euro("76.92")) << "unchanged";
}

TEST_F(WunCalcolaAnnoSuArchivio, PerformingArtsPersonAndItemsAlreadyLiquidated)
{
    platform::SqlQuery q(db());
    const int artista =
        scalar("SELECT FIRST 1 IACOMID FROM TACOM_COMPENSI WHERE IACOMSOGGENPALS > 0 AND IANFID = 55").toInt();
    const int impiegato =
        scalar("SELECT FIRST 1 IACOMID FROM TACOM_COMPENSI WHERE IACOMSOGGENPALS = 0 AND IANFID = 55").toInt();
    EXPECT_TRUE(WunCalcolaAnno().SoggettoEnpalsAnagrafica(q, artista));
    EXPECT_FALSE(WunCalcolaAnno().SoggettoEnpalsAnagrafica(q, impiegato));
    EXPECT_FALSE(Anno(2021)->SoggettoEnpalsAnagrafica(q, artista)) << "a rule of 2022 on";

    auto registro = leggi("SELECT FIRST 1 REGS.IACOMID, REGS.ICOTID, REGS.IMESID FROM TREGS_REGISTROSTIP REGS "
                          "WHERE REGS.ICOTID = 1 AND REGS.IMESID = 11 AND REGS.ICOSID = 10001");
    const int acom = registro->fieldByName("IACOMID").asInteger();
    Anno a(2024);
    EXPECT_TRUE(a->VoceGiaLiquidata(q, 10001, acom, 1, 11));
    EXPECT_FALSE(a->VoceGiaLiquidata(q, 10072, acom, 1, 11));
    EXPECT_FALSE(Anno(2008)->VoceGiaLiquidata(q, 10001, acom, 1, 11)) << "a rule of 2009 on";
}
