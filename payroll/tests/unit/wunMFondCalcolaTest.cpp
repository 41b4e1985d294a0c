// The fund calculation module: withholding rows of a liquidation's pay
// items, the periods of a variation, the holidays and excess hours due at
// the end of a relationship, and the contract-vacancy amounts.
#include "CalcoliTestSupport.h"
#include "wunMIVC.h"
#include "wunMParams.h"
#include "WunUUtil.h"
#include "wunUCalcoliAnno.h"

#include "Exceptions.h"
#include "SqlQuery.h"
#include "UqQueryCollection.h"

#include <gtest/gtest.h>

using namespace calcolitest;
using platform::Currency;
using platform::DataSet;
using platform::FieldType;
using platform::Value;

namespace {

const QStringList kPeriodo{"IVAPEID",          "IQARID",     "IMESID",        "IVAPEGIORNI", "IVAPEOREPREVISTE",
                           "IVAPEORESERVIZIO", "ORARIO_EFF", "LVAPECATTEDRA", "ANZIANITA",   "DVAPEDAL",
                           "DVAPEAL",          "FERIEDAL",   "FERIEAL"};

// A closing period of November 2024 (or of the month given) of 30 days.
platform::ValueList periodo(int id, int previste, int minuti, int mese = 11)
{
    const QDate dal(2024, mese, 1), al = dal.addMonths(1).addDays(-1);
    return {id, 6, mese, 30, previste, minuti, Currency::fromInt(minuti), 0, 0, dal, al, dal, al};
}

std::unique_ptr<DataSet> variazione(int mese = 12, int cot = 1, int varm = 0, int acom = 0)
{
    return riga({"IVARMID", "IACOMID", "IMESID", "ICOTID", "ICOSID", "IVARMGIORNI", "IVARMRIRPID", "LVARMPARTTIME",
                 "DVARMDAL", "DVARMAL"},
                {varm, acom, mese, cot, 10001, 30, 1, 0, QDate(2024, mese, 1),
                 QDate(2024, mese, 1).addMonths(1).addDays(-1)});
}

std::unique_ptr<DataSet> compenso(int tno = 1, int ferie = 0, int acom = 0, int anacag = 0)
{
    return riga({"IACOMID", "ITNOID", "IANACAGID", "IACOMDENFERIE", "IACOMSCAINPDAP", "IACOMSOGGENPALS",
                 "LACOMDISESONEROIVS", "ISEXID"},
                {acom, tno, anacag, ferie, 0, 0, 0, 1});
}

// Contract amounts of qualification 6: 24,000.00 + 6,000.00 a year, 100.00
// and 50.00 a month: 31,800.00 a year.
void importiCcnl(DataSet &ccnl)
{
    ccnl.assignData(
        *tabella({"IQARID", "ICOMRID", "FCCNLIMPORTO", "FCCNAPERC"}, {{6, 10001, euro("24000"), euro("0")},
                                                                      {6, 10002, euro("6000"), euro("0")},
                                                                      {6, 10053, euro("100"), euro("0")},
                                                                      {6, 10055, euro("50"), euro("0")},
                                                                      {7, 10001, euro("99999"), euro("0")}}));
}

} // namespace

TEST(FondCalcola, ItemsDaysAndTheLegalPositionItRefuses)
{
    // Items without gross have withholding rows only when their kind asks.
    EXPECT_TRUE(TdmWunFondCalcola::VoceSenzaLordoAmmessa(10004));
    EXPECT_FALSE(TdmWunFondCalcola::VoceSenzaLordoAmmessa(10003));
    TdmWunFondCalcola modulo;
    try {
        TdmWunFondCalcola::VerificaPosizioneGiuridica(*compenso(16));
        FAIL();
    } catch (const ETovCalcola &e) {
        EXPECT_EQ(e.message(), "Posizione giuridica non abilitata per lo stipendio.");
    }

    // Days on reduced hours count in proportion.
    auto p = tabella(kPeriodo, {periodo(1, 36, 36 * 60), periodo(2, 36, 18 * 60), periodo(3, 0, 0)});
    EXPECT_EQ(modulo.GiorniPeriodo(*p), euro("30"));
    p->next();
    EXPECT_EQ(modulo.GiorniPeriodo(*p), euro("15"));
    p->next();
    EXPECT_EQ(modulo.GiorniPeriodo(*p), euro("30")) << "no contract hours: unchanged";

    // Holidays accrued: 0 holidays a year count as 30.
    struct Caso {
        const char *giorni;
        int annue;
        const char *attese;
    };
    for (const Caso &c : {Caso{"360", 0, "30"}, Caso{"360", 26, "26"}, Caso{"100", 30, "8.33"}, Caso{"45", 0, "3.75"}})
        EXPECT_EQ(modulo.ImportoFerie(euro(c.giorni), *compenso(1, c.annue)), euro(c.attese)) << c.giorni;
}

TEST(FondCalcola, HolidayDaysOfAClosingPeriod)
{
    TdmWunFondCalcola modulo;
    modulo.xqcTaco.assignData(*tabella({"ITACOID", "ITRIDIDFERIE", "FTACOPERCSTIPENDIO"},
                                       {{1, 0, euro("100")}, {3, 1, euro("0")}, {4, 3, euro("30")}}));
    auto p = tabella(kPeriodo, {periodo(7, 36, 2160)});
    auto riduzioni = [&](const QList<platform::ValueList> &righe) {
        modulo.cdsVardChiusura.assignData(*tabella({"IVAPEID", "ITACOID", "IVARDGIORNIORE"}, righe));
    };
    struct Caso {
        QList<platform::ValueList> riduzioni;
        QDate limite;
        const char *giorni;
    };
    const Caso casi[] = {
        {{}, QDate(), "30"},
        {{}, QDate(2024, 11, 1), "0"},   // from the cutoff date on nothing accrues
        {{}, QDate(2024, 11, 11), "10"}, // the days before it
        {{}, QDate(2024, 12, 1), "30"},
        {{{7, 3, 5}}, QDate(), "25"},  // unpaid leave: none on its days
        {{{7, 4, 10}}, QDate(), "23"}, // paid at 30 per cent: 70 per cent of its days lost
        {{{7, 1, 10}}, QDate(), "30"}, // sickness: holidays accrue
        {{{8, 3, 5}}, QDate(), "30"},  // another period's
    };
    for (const Caso &c : casi) {
        riduzioni(c.riduzioni);
        EXPECT_EQ(modulo.GiorniFeriePeriodo(*p, *variazione(), c.limite), euro(c.giorni))
            << c.limite.toString().toStdString();
    }
    riduzioni({{7, 3, 5}, {7, 1, 2}});
    try {
        modulo.GiorniFeriePeriodo(*p, *variazione(), QDate());
        FAIL();
    } catch (const ETovCalcola &e) {
        EXPECT_EQ(e.message(), "Assenze duplicate nel periodo dal 01/11/2024 al 30/11/2024.");
    }
}

TEST(FondCalcola, HolidayValueOfTheQualificationsYearlyPay)
{
    TdmWunFondCalcola modulo;
    importiCcnl(modulo.xqcCCNLInt);
    modulo.cdsVapeChiusura.assignData(*tabella(kPeriodo, {periodo(1, 36, 2160)}));
    struct Caso {
        __int128 num, den;
        const char *giorni, *valore;
    };
    for (const Caso &c : {Caso{1, 1, "12", "1060"}, Caso{1, 2, "12", "530"}, Caso{2, 3, "10", "588.89"},
                          Caso{3, 4, "6", "397.5"}, Caso{1, 1, "0", "0"}, Caso{0, 1, "12", "0"}})
        EXPECT_EQ(modulo.ValoreFerie(TRapporto{c.num, c.den}, euro(c.giorni)), euro(c.valore)) << c.valore;
}

// ---------------------------------------------------------------------------
// On the demo archive

namespace {

class FondSuArchivio : public DemoCalcoli {
protected:
    void SetUp() override
    {
        DemoCalcoli::SetUp();
        params = std::make_unique<TdmWunParams>();
        params->DataModuleCreate();
        params->CambiaAnno(55);
    }
    void TearDown() override
    {
        params.reset();
        DemoCalcoli::TearDown();
    }
    std::unique_ptr<TdmWunParams> params;
    TdmWunFondCalcola modulo;
};

} // namespace

TEST_F(FondSuArchivio, HolidaysDueAtTheEndOfARelationship)
{
    // November full time, December half time, 36 holidays a year: 60 days
    // give 6.00 holidays at three quarters of the hours.
    importiCcnl(modulo.xqcCCNLInt);
    modulo.cdsVapeChiusura.assignData(*tabella(kPeriodo, {periodo(1, 36, 2160), periodo(2, 36, 1080, 12)}));
    modulo.cdsVardChiusura.assignData(*tabella({"IVAPEID", "ITACOID", "IVARDGIORNIORE"}, {}));
    Currency valore, giorni;
    modulo.CalcolaPeriodiChiusura(*variazione(), Currency(), false, valore, giorni, 12, *compenso(1, 36));
    EXPECT_EQ(giorni, euro("6"));
    EXPECT_EQ(valore, euro("397.5"));

    // The dialog shows what is due and taken and may change the days;
    // cancelled, the proposal stands.
    QList<Currency> mostrati;
    bool conferma = true;
    TdmWunFondCalcola::OnFerie = [&](Currency &g, const QString &, const QDate &limite, Currency godute) {
        mostrati << g << godute;
        EXPECT_FALSE(limite.isValid());
        g = euro("4");
        return conferma;
    };
    modulo.CalcolaPeriodiChiusura(*variazione(), Currency(), true, valore, giorni, 12, *compenso(1, 36));
    EXPECT_EQ(mostrati, (QList<Currency>{euro("6"), Currency()}));
    EXPECT_EQ(giorni, euro("4"));
    EXPECT_EQ(valore, euro("265"));
    conferma = false;
    modulo.CalcolaPeriodiChiusura(*variazione(), Currency(), true, valore, giorni, 12, *compenso(1, 36));
    EXPECT_EQ(giorni, euro("6"));
    TdmWunFondCalcola::OnFerie = nullptr;

    // A period with holidays and no contract hours is refused before any
    // division.
    modulo.cdsVapeChiusura.assignData(*tabella(kPeriodo, {periodo(1, 36, 2160), periodo(2, 0, 1080, 12)}));
    try {
        modulo.CalcolaPeriodiChiusura(*variazione(), Currency(), false, valore, giorni, 12, *compenso(1, 36));
        FAIL();
    } catch (const ETovCalcola &e) {
        EXPECT_TRUE(e.message().startsWith(TdmWunFondCalcola::MsgOrariRiduzioni + "\r\n\r\n"))
            << e.message().toStdString();
    }

    // From the archive: the public-sector person's periods of November and
    // December, at the contract tables in force.
    auto demo = leggi(
        "SELECT FIRST 1 ACOM.IACOMID, ACOM.IANAPERID FROM TACOM_COMPENSI ACOM WHERE ACOM.IDCTID = 2 "
        "AND ACOM.IANFID = 55 AND (SELECT COUNT(*) FROM TVARM_VARIAZIONI V WHERE V.IACOMID = ACOM.IACOMID "
        "AND V.ICOTID = 1) = 2 ORDER BY ACOM.IACOMID");
    ASSERT_FALSE(demo->eof());
    const int acom = demo->fieldByName("IACOMID").asInteger();
    TdmWunFondCalcola chiusura;
    WunCCNL().TabellaCCNLMese(12);
    chiusura.ApriPeriodiChiusura(*variazione(12, 1, 0, acom), *compenso(1, 0, acom), 10);
    const QString periodi = QStringLiteral("FROM TVAPE_PERIODI VAPE JOIN TVARM_VARIAZIONI VARM ON VARM.IVARMID = "
                                           "VAPE.IVARMID WHERE VARM.IACOMID = %1 AND VARM.ICOTID = 1")
                                .arg(acom);
    ASSERT_EQ(chiusura.cdsVapeChiusura.recordCount(), scalar("SELECT COUNT(*) " + periodi).toInt());
    for (chiusura.cdsVapeChiusura.first(); !chiusura.cdsVapeChiusura.eof(); chiusura.cdsVapeChiusura.next())
        EXPECT_EQ(chiusura.cdsVapeChiusura.fieldByName("ORARIO_EFF").asCurrency(),
                  Currency::fromInt(chiusura.cdsVapeChiusura.fieldByName("IVAPEORESERVIZIO").asInteger()));
    chiusura.CalcolaPeriodiChiusura(*variazione(12, 1, 0, acom), Currency(), false, valore, giorni, 12,
                                    *compenso(1, 0, acom));
    const int giorniPeriodi = scalar("SELECT SUM(VAPE.IVAPEGIORNI) " + periodi).toInt();
    EXPECT_EQ(giorni, TwunCalcola::Centesimi(Currency::fromInt(giorniPeriodi * 30), 360)) << "30 holidays a year";
    EXPECT_TRUE(chiusura.QueryVociCCNL().isActive());
    EXPECT_GT(valore, Currency());

    // The register's INPS position is the company's.
    auto posizione = std::make_unique<DataSet>();
    posizione->addFieldDef("SREGSPOSINPS", FieldType::String, 10);
    posizione->createDataSet();
    posizione->append();
    modulo.ImpostaPosizioneInps(*posizione);
    EXPECT_EQ(posizione->fieldByName("SREGSPOSINPS").asString(), "1234567890");
}

TEST_F(FondSuArchivio, HolidaysTakenInTheRunOfMonthsUpToTheClosing)
{
    auto persona = leggi(
        "SELECT FIRST 1 ACOM.IACOMID, ANAPER.IANACAGID FROM TACOM_COMPENSI ACOM JOIN "
        "TANAPER_POSIZIONI ANAPER ON ANAPER.IANAPERID = ACOM.IANAPERID WHERE ACOM.IANFID = 55 AND "
        "(SELECT COUNT(DISTINCT R.IMESID) FROM TREGS_REGISTROSTIP R WHERE R.IACOMID = ACOM.IACOMID AND R.ICOSID = 10001 "
        "AND R.IMESID IN (11, 12)) = 2 ORDER BY ACOM.IACOMID");
    ASSERT_FALSE(persona->eof());
    const int acom = persona->fieldByName("IACOMID").asInteger();
    const int anacag = persona->fieldByName("IANACAGID").asInteger();
    // Six days from 29 October (three of them in the run), three in December.
    db().execute(
        QStringLiteral("INSERT INTO TFEP_FERIE (IFEPID, IANACAGID, DFEPDATAINIZIO, DFEPDATAFINE, IFEPDAYFERIE) "
                       "VALUES (990001, %1, '2024-10-29', '2024-11-03', 6)")
            .arg(anacag));
    db().execute(
        QStringLiteral("INSERT INTO TFEP_FERIE (IFEPID, IANACAGID, DFEPDATAINIZIO, DFEPDATAFINE, IFEPDAYFERIE) "
                       "VALUES (990002, %1, '2024-12-20', '2024-12-22', 3)")
            .arg(anacag));
    EXPECT_EQ(modulo.StoricoFerie(*compenso(1, 0, acom, anacag), *variazione(12), 1), euro("6"));
    EXPECT_EQ(modulo.StoricoFerie(*compenso(1, 0, acom, anacag), *variazione(12), 12), Currency())
        << "from December nothing was taken";
}

TEST_F(FondSuArchivio, ExcessHoursPaidSinceThePreviousClosing)
{
    auto registro = leggi(
        "SELECT FIRST 1 REGS.IREGSID, REGS.IACOMID FROM TREGS_REGISTROSTIP REGS WHERE REGS.IMESID = 11 "
        "AND REGS.ICOTID = 1 ORDER BY REGS.IREGSID");
    const int acom = registro->fieldByName("IACOMID").asInteger();
    db().execute(QStringLiteral("INSERT INTO TVACR_VARCOMPRIGHE (IVACRID, IREGSID, ICOMRID, FVACRLORDO) VALUES "
                                "(990001, %1, 10004, 120)")
                     .arg(registro->fieldByName("IREGSID").asInteger()));
    const Currency prima =
        scalar(
            QStringLiteral(
                "SELECT COALESCE(SUM(VACR.FVACRLORDO), 0) FROM TVACR_VARCOMPRIGHE VACR JOIN TREGS_REGISTROSTIP REGS ON "
                "REGS.IREGSID = VACR.IREGSID WHERE REGS.IACOMID = %1 AND REGS.IMESID < 12 AND REGS.ICOTID = 1 AND "
                "VACR.IVARMID IS NULL AND VACR.ICOMRID IN (10004, 10025)")
                .arg(acom))
            .toCurrency();
    ASSERT_GE(prima, euro("120"));
    // This liquidation's own excess hours count whatever its items' filter.
    auto voci = tabella({"ICOMRID", "FVACRLORDO"}, {{10001, euro("2000")}, {10004, euro("60")}, {10025, euro("36")}});
    voci->setFilter("ICOMRID = 10001");
    voci->setFiltered(true);
    EXPECT_EQ(modulo.ImportoChiusuraOreEccedenti(*variazione(12, 1, 0, acom), *voci, 0),
              TwunCalcola::Arrotonda(2, (prima + euro("96")) / 12));
    EXPECT_TRUE(voci->filtered());
    EXPECT_EQ(voci->recordCount(), 1);
    EXPECT_EQ(modulo.ImportoChiusuraOreEccedenti(*variazione(12, 1, 0, acom), *voci, 11), euro("8"))
        << "after a closing in November only December's";
}

TEST_F(FondSuArchivio, WithholdingRowsOfThePayItemsAndTheYearsExemption)
{
    // A salary kind of its own: INPS on salary and overtime, income tax on
    // the exemption items.
    db().execute("INSERT INTO TCOT_TIPICOMPENSO (ICOTID, SCOTLDESC, ICOTFONDAMENTALE) VALUES (91, 'Prova', 1)");
    int id = 990000;
    for (const auto &[voce, rice] :
         {std::pair{10001, 3}, std::pair{10001, 13}, std::pair{10004, 3}, std::pair{10074, 7}, std::pair{10075, 7}})
        db().execute(QStringLiteral("INSERT INTO TCOGR_GRUPPICONTR (ICOGRID, IANFID, ICOTID, ITNOID, ICOMRID, IRICEID) "
                                    "VALUES (%1, 55, 91, 1, %2, %3)")
                         .arg(++id)
                         .arg(voce)
                         .arg(rice));
    auto vociDi = [] {
        return tabella({"IVACRID", "ICOMRID", "ICOMRGRUPPO", "FVACRLORDO", "FVACRLORDOINTERO", "FVACRPERCESONEROIVS"},
                       {{1, 10001, 1, euro("2000"), euro("2000"), Value::null()},
                        {2, 10003, 1, euro("0"), euro("0"), Value::null()},
                        {3, 10004, 2, euro("0"), euro("0"), Value::null()},
                        {4, 10074, 6, euro("0"), euro("0"), Value::null()},
                        {5, 10075, 6, euro("0"), euro("0"), Value::null()}});
    };
    auto calcola = [&](bool tutte) {
        auto voci = vociDi();
        modulo.CalcolaRitenute(*variazione(11, 91), *voci, tutte, *compenso());
        QMap<int, int> righe;
        Currency inps;
        DataSet &r = modulo.cdsVarrTutte;
        for (r.first(); !r.eof(); r.next()) {
            ++righe[r.fieldByName("ICOMRID").asInteger()];
            if (r.fieldByName("ICOMRID").asInteger() == 10001
                && r.fieldByName("FVARRRITDIP").asCurrency() > Currency()) {
                EXPECT_EQ(r.fieldByName("IRICEID").asInteger(), 3) << "full time: INPS full time only";
                EXPECT_EQ(r.fieldByName("FVARRIMPONIBILEDIP").asCurrency(), euro("2000"));
                EXPECT_EQ(r.fieldByName("FVARRALIQUOTADIP").asCurrency(), euro("9.19"));
                inps += r.fieldByName("FVARRRITDIP").asCurrency();
            }
            EXPECT_EQ(r.fieldByName("ICOMRGRUPPO").asInteger(),
                      voci->lookup("ICOMRID", {r.fieldValue("ICOMRID")}, "ICOMRGRUPPO").toInt());
        }
        EXPECT_EQ(inps, euro("183.8"));
        return std::pair{righe, voci->lookup("ICOMRID", {Value(10074)}, "FVACRLORDO").toCurrency()};
    };
    // An item without gross has rows only when its kind asks for them;
    // 2,000.00 a month in 2024 take the 6 per cent exemption.
    const auto [righe, esonero] = calcola(false);
    EXPECT_EQ(righe.keys(), (QList<int>{10001, 10004, 10074, 10075}));
    EXPECT_EQ(righe.value(10004), righe.value(10001)) << "one row per retention of the template";
    EXPECT_EQ(esonero, euro("120"));
    const auto [tutte, senzaEsonero] = calcola(true);
    EXPECT_EQ(tutte.keys(), (QList<int>{10001, 10003, 10004, 10074, 10075}));
    EXPECT_EQ(senzaEsonero, Currency()) << "with every row the exemption waits";
    EXPECT_THROW(modulo.CalcolaRitenute(*variazione(11, 91), *vociDi(), false, *compenso(16)), ETovCalcola);

    // A pay item's saved rows are read, changed, added to and deleted
    // through the same statement.
    const int vacr = scalar("SELECT MIN(VACR.IVACRID) FROM TVACR_VARCOMPRIGHE VACR WHERE VACR.ICOMRID = 10001 AND "
                            "EXISTS (SELECT 1 FROM TVARR_VARRITENUTE V WHERE V.IVACRID = VACR.IVACRID)")
                         .toInt();
    const QString salvate = QStringLiteral("SELECT COUNT(*) FROM TVARR_VARRITENUTE WHERE IVACRID = %1").arg(vacr);
    const int prima = scalar(salvate).toInt();
    TUqQueryCollection salvato;
    TWunUtil::CaricaQueryCollection("QRY_VACR_VARR_FOND", salvato);
    salvato.params().paramByName("IVACRID").setValue(vacr);
    salvato.Open();
    ASSERT_EQ(salvato.recordCount(), prima) << "only its own rows";
    const int varr = salvato.fieldByName("IVARRID").asInteger();
    salvato.edit();
    salvato.fieldByName("FVARRRITDIP").setAsCurrency(euro("1.23"));
    salvato.post();
    salvato.append();
    salvato.fieldByName("IVACRID").setAsInteger(vacr);
    salvato.fieldByName("IRICEID").setAsInteger(13);
    salvato.fieldByName("FVARRIMPONIBILE").setAsCurrency(euro("10"));
    salvato.post();
    ASSERT_EQ(salvato.ApplyUpdates(), 0);
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT FVARRRITDIP FROM TVARR_VARRITENUTE WHERE IVARRID = %1").arg(varr)).toCurrency(),
        euro("1.23"));
    EXPECT_EQ(scalar(salvate).toInt(), prima + 1);
    salvato.first();
    salvato.deleteRecord();
    ASSERT_EQ(salvato.ApplyUpdates(), 0);
    EXPECT_EQ(scalar(salvate).toInt(), prima);

    // A union fee weighs the gross of its items less their employee
    // withholdings.
    auto voci = tabella({"ICOMRID", "FVACRLORDO"}, {{10001, euro("2000")}, {10002, euro("500")}, {10004, euro("80")}});
    auto ritenute = tabella({"ICOMRID", "FVARRRITDIP"},
                            {{10001, euro("183.8")}, {10001, euro("20")}, {10002, euro("45.95")}, {10004, euro("7")}});
    for (const auto &[sindacale, atteso] : {std::pair{1, "2250.25"}, std::pair{0, "2500"}}) {
        Currency totale;
        modulo.CalcolaRitenuteVarie(*voci, *ritenute, totale, *riga({"IRITVID", "LRITVSINDACALE"}, {1, sindacale}));
        EXPECT_EQ(totale, euro(atteso));
    }
}

TEST_F(FondSuArchivio, PeriodsOfAVariationAndANewOneFromTheContractHistory)
{
    // A public-sector variation of December: its period, effective hours computed.
    auto demo = leggi("SELECT FIRST 1 VARM.IVARMID, VARM.IACOMID, VAPE.IVAPEORESERVIZIO FROM TVARM_VARIAZIONI VARM "
                      "JOIN TVAPE_PERIODI VAPE ON VAPE.IVARMID = VARM.IVARMID JOIN TACOM_COMPENSI ACOM ON "
                      "ACOM.IACOMID = VARM.IACOMID WHERE VARM.IMESID = 12 AND ACOM.IDCTID = 2 AND (SELECT COUNT(*) "
                      "FROM TVAPE_PERIODI P WHERE P.IVARMID = VARM.IVARMID) = 1 ORDER BY VARM.IVARMID");
    ASSERT_FALSE(demo->eof());
    const int acom = demo->fieldByName("IACOMID").asInteger();
    auto qualifica = leggi(QStringLiteral("SELECT ASTI.IQARID, ACOM.IACOMOREPREVISTE, 1 AS LASTIMATSCOPNOMINA FROM "
                                          "TASTI_STORICO ASTI JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = ASTI.IACOMID "
                                          "WHERE ASTI.IACOMID = %1 AND ASTI.IMESID = 12")
                               .arg(acom));
    modulo.CalcolaPerGiorni(*variazione(12, 1, demo->fieldByName("IVARMID").asInteger(), acom), *qualifica);
    ASSERT_EQ(modulo.xqcVape.recordCount(), 1);
    EXPECT_EQ(modulo.xqcVape.fieldByName("ORARIO_EFF").asCurrency(),
              Currency::fromInt(demo->fieldByName("IVAPEORESERVIZIO").asInteger()));
    EXPECT_EQ(modulo.xqcVape.changeCount(), 0) << "computed columns only";

    // A variation with days and no period: one from the contract history,
    // with the maternity leave of the appointment over its days.
    db().execute(QStringLiteral("INSERT INTO TVARM_VARIAZIONI (IVARMID, IACOMID, IANFID, IMESID, ICOTID, ICOSID, "
                                "IVARMGIORNI) VALUES (990001, %1, 55, 12, 2, 10001, 20)")
                     .arg(acom));
    modulo.ChiudiPeriodoVariazione(*variazione(12, 2, 990001, acom), *qualifica, 20);
    ASSERT_EQ(modulo.xqcVape.recordCount(), 1);
    EXPECT_EQ(modulo.xqcVape.fieldByName("IVAPEGIORNI").asInteger(), 20);
    EXPECT_EQ(modulo.xqcVape.fieldByName("IQARID").asInteger(), qualifica->fieldByName("IQARID").asInteger());
    EXPECT_EQ(modulo.xqcVape.fieldByName("IVAPEOREPREVISTE").asInteger(),
              qualifica->fieldByName("IACOMOREPREVISTE").asInteger());
    ASSERT_EQ(modulo.xqcVard.recordCount(), 1);
    EXPECT_EQ(modulo.xqcVard.fieldByName("ITACOID").asInteger(), 5);
    EXPECT_EQ(modulo.xqcVard.fieldByName("IVARDGIORNIORE").asInteger(), 20);
}

TEST_F(FondSuArchivio, ContractVacancyAndOtherContractAmountsOfAMonth)
{
    TdmWunIvc ivc;
    EXPECT_EQ(dmWunIvc, &ivc);
    auto storico = [](int minuti) {
        return riga({"MES_IMESID", "IASTIANZIANITA", "IASTIORESERVIZIO", "LASTICATTEDRA"}, {12, 0, minuti, 0});
    };
    platform::SqlQuery q(db());
    const Currency pieno = ivc.ImportoIvc(*storico(2160), q, 7, 10071, 6, 36);
    ASSERT_GT(pieno, Currency());
    EXPECT_EQ(ivc.ImportoIvc(*storico(1080), q, 7, 10071, 6, 36), TwunCalcola::Arrotonda(2, pieno / 2));
    EXPECT_EQ(ivc.ImportoIvc(*storico(2160), q, 7, 10071, 6, 0), Currency()) << "no contract hours";
    // Other items from the second table.
    EXPECT_EQ(ivc.ImportoIvc(*storico(2160), q, 7, 10016, 6, 36),
              scalar("SELECT CCNL.FCCNLIMPORTO FROM TCCNL_IMPORTI CCNL JOIN TCCNV_TABELLECCNV CCNV ON CCNV.ICCNVID = "
                     "CCNL.ICCNVID WHERE CCNL.IQARID = 7 AND CCNL.ICOMRID = 10016 AND CCNV.DCCNVDAL = '2024-01-01'")
                  .toCurrency());
    EXPECT_EQ(ivc.ImportoIvc(*storico(2160), q, 7, 10099, 6, 36), Currency());

    modulo.ApriUnaTantum();
    EXPECT_EQ(modulo.xqcUnaTantum.recordCount(),
              scalar("SELECT COUNT(*) FROM TCOMR_RIGHECOMP WHERE ICOMRGRUPPO = 5").toInt());
    EXPECT_TRUE(modulo.xqcUnaTantum.locate("ICOMRID", Value(10072)));
}
