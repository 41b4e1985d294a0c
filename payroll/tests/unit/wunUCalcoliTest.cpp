// The payroll calculation helpers: amounts for hours and minutes, number of
// payments, the rates of a withholding row by national code, the contract
// tables in force and the pay-item rows of a liquidation.
#include "CalcoliTestSupport.h"
#include "wunUCalcoli.h"
#include "wunUCalcoliAnno.h"
#include "wunUCalcoliFond.h"

#include "Exceptions.h"
#include "Params.h"
#include "SqlQuery.h"

#include <gtest/gtest.h>

using namespace calcolitest;
using platform::Currency;
using platform::Value;

TEST(WunCalcola, HoursAndMinutesAndTiesToEven)
{
    struct Caso {
        int minuti;
        const char *orario, *atteso;
    };
    for (const Caso &c : {Caso{120, "10", "20"}, Caso{90, "10", "15"}, Caso{0, "10", "0"}, Caso{61, "12.34", "12.5457"},
                          // odd minutes: minutes x amount / 60 to the nearest 1/10,000, ties to even
                          Caso{1, "0.003", "0"}, Caso{3, "0.003", "0.0002"}})
        EXPECT_EQ(TwunCalcola::ImportoOreMinuti(c.minuti, euro(c.orario)), euro(c.atteso))
            << c.minuti << " " << c.orario;

    EXPECT_EQ(TwunCalcola::Centesimi(euro("2.675")), euro("2.68"));
    EXPECT_EQ(TwunCalcola::Centesimi(euro("2.665")), euro("2.66"));
    EXPECT_EQ(TwunCalcola::Centesimi(euro("-2.665")), euro("-2.66"));
    EXPECT_EQ(TwunCalcola::Centesimi(Currency::fromInt(1000), 60), euro("16.67"));
    EXPECT_EQ(TwunCalcola::ArrotondaPari(0, euro("2.5")), euro("2"));
    EXPECT_EQ(TwunCalcola::ArrotondaPari(0, euro("3.5")), euro("4"));
}

TEST(WunCalcola, NumberOfPaymentsOfAContract)
{
    struct Caso {
        int durata, paghe, giorni, atteso;
    };
    for (const Caso &c :
         {Caso{200, 13, 0, 7}, Caso{0, 13, 0, 1}, Caso{400, 12, 0, 12}, Caso{365, 0, 0, 1}, Caso{200, 13, 180, 6}})
        EXPECT_EQ(TwunCalcola::NumeroPaghe(*riga({"IACOMDURATARAPP", "IACOMNUMPAGHE"}, {c.durata, c.paghe}), c.giorni),
                  c.atteso)
            << c.durata << " days, " << c.paghe << " payments";
    try {
        TwunCalcola::NumeroPaghe(*riga({"IACOMDURATARAPP"}, {200}));
        FAIL() << "a compensation without its payments";
    } catch (const ETovCalcola &e) {
        EXPECT_EQ(e.message(), "Numero di paghe non specificato");
    }
}

TEST(WunCalcola, RowTests)
{
    for (auto [rice, partTime, applica] :
         {std::tuple{3, false, true}, std::tuple{3, true, false}, std::tuple{13, true, true},
          std::tuple{13, false, false}, std::tuple{7, true, true}})
        EXPECT_EQ(TwunCalcola::RitenutaInpsApplicabile(*riga({"IRICEID"}, {rice}), partTime), applica) << rice;

    EXPECT_EQ(TwunCalcola::VoceRapporto(*riga({"ITNOID"}, {11})), 11069);
    EXPECT_EQ(TwunCalcola::VoceRapporto(*riga({"ITNOID", "ICOSID"}, {1, 11000})), 10069) << "ITNOID decides";
    EXPECT_EQ(TwunCalcola::VoceRapporto(*riga({"ICOSID"}, {11000})), 11069);
    EXPECT_EQ(TwunCalcola::VoceRapporto(*riga({"ICOSID"}, {10001})), 10069);
    // A row with neither column stops the person, not the program.
    EXPECT_THROW(TwunCalcola::VoceRapporto(*riga({"IACOMID"}, {1})), platform::EAssertionFailed);

    EXPECT_TRUE(TwunCalcola::VoceParticolare(*riga({"ICOMRID"}, {10021})));
    EXPECT_FALSE(TwunCalcola::VoceParticolare(*riga({"ICOMRID"}, {10001})));
    EXPECT_EQ(TwunCalcola::NomeChiave("VARM"), "IVARMID");
    // The liquidation's own dates, null included, go to the register's.
    platform::Params parametri;
    parametri.add("DREGSDMADAL");
    parametri.add("DREGSDMAAL").setValue(QDate(2020, 1, 1));
    TwunCalcola().ImpostaPeriodoDma(*riga({"DVARMDMADAL", "DVARMDMAAL"}, {QDate(2024, 3, 1), Value::null()}),
                                    parametri);
    EXPECT_EQ(parametri.paramByName("DREGSDMADAL").value().toDate(), QDate(2024, 3, 1));
    EXPECT_TRUE(parametri.paramByName("DREGSDMAAL").isNull());
    EXPECT_EQ(parametri.paramByName("DREGSDMAAL").dataType(), platform::FieldType::Date);

    EXPECT_TRUE(TwunCalcola::OrarioSottoPieno(*riga({"IVAPEORESERVIZIO"}, {1200}), "VAPE", 36));
    EXPECT_FALSE(TwunCalcola::OrarioSottoPieno(*riga({"IVAPEORESERVIZIO"}, {2400}), "VAPE", 36));
}

// The rates a withholding row gets by its national code.
TEST(WunCalcola, RatesByNationalCode)
{
    TWunCalcolaAnno::CreaPerAnno(2022);
    const QStringList colonneRitenuta{"IRICEID",    "IRICENUBRACODE",   "ITVCOIDDIP",
                                      "ITVCOIDAMM", "ITVCOCODDIP",      "ITVCOCODAMM",
                                      "IFPCID",     "FVARRALIQUOTADIP", "FVARRALIQUOTAAMM"};
    auto aliquote = tabella({"IRICEID", "FRICAALIQUOTADIP", "FRICAALIQUOTAAMM", "FRICAMINIMALE"},
                            {{2, euro("8.8"), euro("24.2"), Value()},
                             {2, euro("9"), euro("25"), Value()},
                             {3, euro("9.19"), euro("23.81"), Value()},
                             {7, euro("23"), euro("0"), Value()},
                             {8, euro("0"), euro("0"), Value()},
                             {11, euro("23"), euro("0"), Value()},
                             {12, euro("23"), euro("0"), Value()},
                             {17, euro("9.19"), euro("23.81"), Value()}});
    struct Caso {
        const char *nome;
        int rice, codice, tno, scala, rirp, enpals;
        const char *dip, *amm;
    };
    const Caso casi[] = {
        {"INPS of an employee", 3, 3, 1, 0, 1, 0, "9.19", "23.81"},
        {"INPS of a collaborator: the year's contribution rate", 3, 3, 11, 0, 1, 0, "-1", "33.72"},
        {"INPDAP first scale (0 counts as 1)", 2, 2, 1, 0, 1, 0, "8.8", "24.2"},
        {"INPDAP second scale", 2, 2, 1, 2, 1, 0, "9", "25"},
        {"municipal IRPEF add-on", 8, 8, 1, 0, 1, 0, "0.8", "0"},
        {"separate taxation: the maximum rate", 11, 11, 1, 0, 1, 0, "43", "-1"},
        {"separate taxation with IRPEF kind 4: untouched", 11, 11, 1, 0, 4, 0, "-1", "-1"},
        {"average rate", 12, 12, 1, 0, 1, 0, "27.5", "-1"},
        {"average rate with IRPEF kind 3: untouched", 12, 12, 1, 0, 3, 0, "-1", "-1"},
        {"performing arts, category 2", 17, 17, 15, 0, 1, 2, "9.89", "25.81"},
        {"performing arts, not subject", 17, 17, 15, 0, 1, 0, "0", "0"},
        {"retention 18 never applies", 18, 3, 1, 0, 1, 0, "-1", "-1"},
        {"a retention the year has no rate for", 5, 3, 1, 0, 1, 0, "-1", "-1"},
    };
    for (const Caso &c : casi) {
        auto ritenuta = riga(colonneRitenuta, {c.rice, c.codice, 1, 5, 1, 5, Value::null(), euro("-1"), euro("-1")});
        auto compenso = riga({"ITNOID", "IACOMSCAINPDAP", "FACOMALIQUOTAMAX", "FACOMALIQUOTAMED", "FACOMADDIRPEFCOM",
                              "FACOMADDIRPEFPRO", "FACOMADDIRPEFREG", "FACOMINPS", "FACOMIRAP", "FACOMINAIL",
                              "IACOMSOGGENPALS", "LACOMINPSAGG"},
                             {c.tno, c.scala, euro("43"), euro("27.5"), euro("0.8"), euro("0"), euro("0"),
                              euro("33.72"), euro("0"), euro("0"), c.enpals, 0});
        auto variazione = riga({"IMESID", "IVARMRIRPID"}, {7, c.rirp});
        aliquote->first();
        ritenuta->edit();
        TwunCalcola().ImpostaAliquote(*ritenuta, *aliquote, *variazione, *compenso);
        EXPECT_EQ(ritenuta->fieldByName("FVARRALIQUOTADIP").asCurrency(), euro(c.dip)) << c.nome;
        EXPECT_EQ(ritenuta->fieldByName("FVARRALIQUOTAAMM").asCurrency(), euro(c.amm)) << c.nome;
    }
    TWunCalcolaAnno::Rilascia();
}

// ImpostaAliquoteTutte runs the rule of the object's class: the
// fundamental-pay calculator gives a pension-fund row the fund's rates
// only (none without the fund module), the base calculator the rate row's.
TEST(WunCalcola, AllRowsTakeTheRuleOfTheObjectsClass)
{
    auto aliquote = tabella({"IRICEID", "FRICAALIQUOTADIP", "FRICAALIQUOTAAMM"}, {{14, euro("1"), euro("1.5")}});
    auto compenso = riga({"ITNOID", "IACOMSCAINPDAP"}, {1, 0});
    auto variazione = riga({"IMESID", "IVARMRIRPID"}, {3, 1});
    const QStringList colonne{"IRICEID",     "IRICENUBRACODE", "ITVCOIDDIP",       "ITVCOIDAMM",      "ITVCOCODDIP",
                              "ITVCOCODAMM", "IFPCID",         "FVARRALIQUOTADIP", "FVARRALIQUOTAAMM"};
    auto righe = tabella(colonne, {{14, 14, 3, 6, 2, 6, 1, euro("0"), euro("0")}});
    TwunCalcola().ImpostaAliquoteTutte(*righe, *aliquote, *variazione, *compenso);
    EXPECT_EQ(righe->fieldByName("FVARRALIQUOTAAMM").asCurrency(), euro("1.5"));
    auto fondo = tabella(colonne, {{14, 14, 3, 6, 2, 6, 1, euro("0"), euro("0")}});
    TwunCalcolaFond().ImpostaAliquoteTutte(*fondo, *aliquote, *variazione, *compenso);
    EXPECT_EQ(fondo->fieldByName("FVARRALIQUOTAAMM").asCurrency(), Currency());
}

// ---------------------------------------------------------------------------
// On the demo archive

using WunCalcolaSuArchivio = DemoCalcoli;

TEST_F(WunCalcolaSuArchivio, ContractTablesAtADateAndForced)
{
    const int ccnl2024 = scalar("SELECT ICCNTID FROM TCCNT_TABELLECCNL WHERE DCCNTDAL = '2024-01-01'").toInt();
    const int ccnv2024 = scalar("SELECT ICCNVID FROM TCCNV_TABELLECCNV WHERE DCCNVDAL = '2024-01-01'").toInt();
    const int ccnl2025 = scalar("SELECT ICCNTID FROM TCCNT_TABELLECCNL WHERE DCCNTDAL = '2025-01-01'").toInt();
    ASSERT_GT(ccnl2024, 0);
    TWunCCNL ccnl;
    EXPECT_EQ(ccnl.TabellaCCNLAllaData(QDate(2024, 11, 15)), ccnl2024);
    EXPECT_EQ(ccnl.TabellaCCNV(), ccnv2024);
    EXPECT_EQ(ccnl.TabellaCCNLMese(1, 2025), ccnl2025);
    EXPECT_EQ(ccnl.TabellaCCNLMese(12), ccnl2024) << "year 0: the working year";
    EXPECT_EQ(ccnl.TabellaCCNLAllaData(QDate(2009, 6, 1)), 0) << "no table in force";

    // A forced table wins and has no second table until the force ends.
    ccnl.ImpostaTabella(ccnl2025);
    EXPECT_EQ(ccnl.TabellaCCNLAllaData(QDate(2024, 3, 1)), ccnl2025);
    EXPECT_EQ(ccnl.TabellaCCNV(), 0);
    EXPECT_EQ(ccnl.TabellaCCNVMese(3, 2024), 0);
    ccnl.ImpostaTabella(0);
    EXPECT_EQ(ccnl.TabellaCCNLAllaData(QDate(2024, 3, 1)), ccnl2024);
    EXPECT_EQ(ccnl.TabellaCCNV(), ccnv2024);
}

TEST_F(WunCalcolaSuArchivio, ItemRowsOfALiquidationAreInsertedThenUpdated)
{
    auto variazione = leggi("SELECT FIRST 1 VARM.IVARMID, VARM.ICOSID, VARM.ICOTID FROM TVARM_VARIAZIONI VARM "
                            "WHERE VARM.IMESID = 12 AND VARM.ICOTID = 1 AND NOT EXISTS (SELECT 1 FROM "
                            "TVACR_VARCOMPRIGHE V WHERE V.IVARMID = VARM.IVARMID) ORDER BY VARM.IVARMID");
    ASSERT_FALSE(variazione->eof());
    const int varm = variazione->fieldByName("IVARMID").asInteger();
    platform::SqlQuery q(db());
    TwunCalcola::AggiornaOInserisciVoce(q, *variazione, euro("-1"), euro("1234.56"), 0, 10001);
    const QString righe = QStringLiteral("SELECT COUNT(*) FROM TVACR_VARCOMPRIGHE WHERE IVARMID = %1").arg(varm);
    // The salary's items of the year's contribution groups, groups 1, 2 and 6 in 2024.
    EXPECT_EQ(scalar(righe).toInt(),
              scalar("SELECT COUNT(DISTINCT COGR.ICOMRID) FROM TCOGR_GRUPPICONTR COGR JOIN TCOMR_RIGHECOMP COMR "
                     "ON COMR.ICOMRID = COGR.ICOMRID WHERE COGR.IANFID = 55 AND COGR.ICOTID = 1 AND "
                     "COMR.ICOMRGRUPPO IN (1, 2, 6)")
                  .toInt());
    auto voce = leggi(QStringLiteral("SELECT FVACRLORDO, FVACRLORDOINTERO, FVACRPERCESONEROIVS FROM TVACR_VARCOMPRIGHE "
                                     "WHERE IVARMID = %1 AND ICOMRID = 10001")
                          .arg(varm));
    EXPECT_EQ(voce->fieldByName("FVACRLORDO").asCurrency(), euro("1234.56"));
    EXPECT_EQ(voce->fieldByName("FVACRLORDOINTERO").asCurrency(), euro("1234.56"));
    EXPECT_TRUE(voce->fieldByName("FVACRPERCESONEROIVS").isNull());
    const int prima = scalar(righe).toInt();
    TwunCalcola::AggiornaOInserisciVoce(q, *variazione, euro("7"), euro("99"), 0, 10002);
    EXPECT_EQ(scalar(righe).toInt(), prima) << "an existing row is only updated";
    EXPECT_EQ(scalar(QStringLiteral("SELECT FVACRPERCESONEROIVS FROM TVACR_VARCOMPRIGHE WHERE IVARMID = %1 "
                                    "AND ICOMRID = 10002")
                         .arg(varm))
                  .toCurrency(),
              euro("7"));

    // In memory: a missing item is taken from the pay-item master.
    auto memoria = tabella({"ICOMRID", "IVACRUSERCODE", "FVACRLORDO", "FVACRLORDOINTERO", "FVACRPERCESONEROIVS",
                            "LVACRASSOGGETTATO", "LCOMRTRATTENUTA"},
                           {});
    TwunCalcola::ImpostaLordoVoceConPerc(q, *riga({"ITNOID"}, {1}), euro("7"), euro("50"), 10074, *memoria);
    ASSERT_EQ(memoria->recordCount(), 1);
    EXPECT_EQ(memoria->fieldByName("IVACRUSERCODE").asInteger(), 420);
    EXPECT_EQ(memoria->fieldByName("LVACRASSOGGETTATO").asInteger(), 1);
    EXPECT_EQ(memoria->fieldByName("FVACRPERCESONEROIVS").asCurrency(), euro("7"));
    TwunCalcola::ImpostaLordoVoceConPerc(q, *riga({"ITNOID"}, {1}), euro("-1"), euro("60"), 10074, *memoria);
    ASSERT_EQ(memoria->recordCount(), 1) << "an existing row is changed";
    EXPECT_EQ(memoria->fieldByName("FVACRLORDOINTERO").asCurrency(), euro("60"));
    EXPECT_TRUE(memoria->fieldByName("FVACRPERCESONEROIVS").isNull()) << "no rate: null";
    EXPECT_THROW(TwunCalcola::InserisciVoce(q, 99999, euro("1"), euro("0"), *memoria), ETovCalcola);
}

TEST_F(WunCalcolaSuArchivio, PaymentsMadeAndAbsenceDays)
{
    // The collaborator's November payment counts in December.
    auto compenso = leggi("SELECT FIRST 1 ACOM.IACOMID, ACOM.ITNOID, 11 AS MESE_INIZIALE, 12 AS MESE_FINALE "
                          "FROM TACOM_COMPENSI ACOM WHERE ACOM.ITNOID = 11 AND ACOM.IANFID = 55");
    ASSERT_FALSE(compenso->eof());
    platform::SqlQuery q(db());
    EXPECT_EQ(TwunCalcola::PaghePagate(q, *compenso, *riga({"IMESID", "ICOTID"}, {12, 3})), 1);
    EXPECT_EQ(TwunCalcola::PaghePagate(q, *compenso, *riga({"IMESID", "ICOTID"}, {11, 3})), 0);

    auto assenza = leggi("SELECT FIRST 1 VAPE.IREGSID, REGS.IACOMID, VARD.IVARDGIORNIORE FROM TVARD_RIDUZIONIVAR VARD "
                         "JOIN TVAPE_PERIODI VAPE ON VAPE.IVAPEID = VARD.IVAPEID JOIN TREGS_REGISTROSTIP REGS "
                         "ON REGS.IREGSID = VAPE.IREGSID WHERE VARD.ITACOID = 1");
    if (assenza->eof())
        GTEST_SKIP() << "no sickness in this demo";
    const int giorni = assenza->fieldByName("IVARDGIORNIORE").asInteger();
    EXPECT_EQ(TwunCalcola::GiorniAssenza(q, "IREGSID", "1", assenza->fieldByName("IREGSID").asInteger()), giorni);
    EXPECT_EQ(TwunCalcola::GiorniAssenza(q, "IREGSID", "3,4", assenza->fieldByName("IREGSID").asInteger()), 0);
    auto cud = riga({"IACOMID", "MESE_INIZIALE", "MESE_FINALE"}, {assenza->fieldByName("IACOMID").value(), 1, 12});
    EXPECT_GE(TwunCalcola::AssenzeCud(q, *cud, "1", QString()), giorni);
    EXPECT_EQ(TwunCalcola::AssenzeCud(q, *cud, "1", " AND REGS.IMESID > 12"), 0) << "the condition is appended";
}
