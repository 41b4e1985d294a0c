// The family allowance: table codes, corrections, and the computation on the
// demo archive's allowance tables (a master per July-June, tables T11, T12
// and T13; the master of July 2021 - June 2022 is the one with the increase
// per child).
#include "CalcoliTestSupport.h"
#include "RecordingServices.h"
#include "wunUCalcNucleoFam.h"
#include "wunUCalcoliAnno.h"

#include "SqlQuery.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"

using calcolitest::euro;
using platform::Currency;

TEST(WunCalcNucleoFam, TableCodeBySpouseCode)
{
    struct Caso {
        int coniuge, coniugeDis, altriMagDis, altriMinDis, altriMin, figliMagDis, figliMinDis, figliMin;
        const char *codice;
    };
    const Caso casi[] = {
        {0, 0, 0, 0, 0, 0, 0, 1, "T13"},  {0, 0, 0, 0, 1, 0, 0, 0, "T13"},  {0, 0, 0, 0, 0, 0, 1, 1, "T16"},
        {0, 0, 1, 0, 0, 0, 0, 0, "T19"},  {0, 0, 0, 0, 0, 0, 0, 0, ""},     {1, 0, 0, 0, 0, 0, 0, 2, "T12"},
        {1, 0, 0, 0, 0, 1, 0, 0, "T15"},  {1, 0, 0, 1, 0, 0, 0, 0, "T20B"}, {1, 0, 0, 0, 1, 0, 0, 0, "T21B"},
        {1, 1, 0, 0, 1, 0, 0, 0, "T21D"}, {1, 1, 0, 0, 0, 0, 0, 0, ""},     {2, 0, 0, 0, 0, 0, 0, 1, "T11"},
        {2, 1, 0, 0, 0, 0, 0, 1, "T14"},  {2, 0, 1, 0, 0, 0, 0, 0, "T20A"}, {2, 0, 0, 0, 0, 0, 0, 0, "T21A"},
        {2, 1, 0, 0, 0, 0, 0, 0, "T21C"}, {3, 0, 0, 0, 0, 0, 0, 1, ""},
    };
    for (const Caso &c : casi)
        EXPECT_EQ(TwunCalcNucleoFam::CodiceTabella(c.coniuge, c.coniugeDis, c.altriMagDis, c.altriMinDis, c.altriMin,
                                                   c.figliMagDis, c.figliMinDis, c.figliMin),
                  QLatin1String(c.codice))
            << c.coniuge << c.coniugeDis << c.altriMagDis << c.altriMinDis << c.altriMin << c.figliMagDis
            << c.figliMinDis << c.figliMin;
    EXPECT_EQ(TwunCalcNucleoFam::ColonnaNucleo(14), 12);
    EXPECT_EQ(TwunCalcNucleoFam::ColonnaNucleo(5), 5);
}

TEST(WunCalcNucleoFam, CorrectionsForLargeHouseholdsAndOtherMembers)
{
    struct Caso {
        const char *tabella;
        int nucleo, altri, figli;
        const char *atteso;
    };
    const Caso casi[] = {
        {"T11", 13, 0, 5, "1205.00"},  // 1000 x 1.15 + 13 x 55 - 660
        {"T12", 5, 2, 1, "935.41"},    // - 10.42 - 54.17
        {"T11", 5, 2, 3, "891.66"},    // - 2 x 54.17
        {"T14", 14, 0, 5, "1275.00"},  // 1000 x 1.15 + 2 x 62.50
        {"T15", 5, 3, 1, "867.34"},    // - 11.00 - 2 x 60.83
        {"T14", 5, 1, 2, "939.17"},    // - 60.83
        {"T13", 13, 0, 5, "1167.95"},  // 1000 x 1.1 + 67.95
        {"T13", 12, 0, 5, "1000.00"},  // 12 is not above 12
        {"T21A", 14, 3, 0, "1000.00"}, // no correction for the table
        {"T11", 5, 0, 1, "1000.00"},   // no other member
    };
    for (const Caso &c : casi)
        EXPECT_EQ(TwunCalcNucleoFam::CorreggiImporto(QLatin1String(c.tabella), c.nucleo, c.altri, c.figli,
                                                     euro("1000")),
                  euro(c.atteso))
            << c.tabella << " " << c.nucleo;
}

class WunCalcNucleoFamSuArchivio : public calcolitest::DemoCalcoli {
protected:
    void SetUp() override
    {
        DemoCalcoli::SetUp();
        m_acom = scalar("SELECT FIRST 1 ACOM.IACOMID FROM TACOM_COMPENSI ACOM WHERE NOT EXISTS (SELECT 1 FROM "
                        "TAAF_ANAASSNUCFAM AAF WHERE AAF.IACOMID = ACOM.IACOMID) ORDER BY ACOM.IACOMID")
                     .toInt();
        ASSERT_GT(m_acom, 0);
    }
    void TearDown() override
    {
        esegui(QStringLiteral("DELETE FROM TAAF_ANAASSNUCFAM WHERE IACOMID = %1").arg(m_acom));
        payrolltest::loadCatalogueSource();
        DemoCalcoli::TearDown();
    }
    static void esegui(const QString &sql)
    {
        platform::SqlQuery q(db());
        q.setSql(sql);
        q.execSQL();
    }
    // The household of the test's compensation.
    void nucleo(int usato, int coniuge, int figliMinori, int altriMinori, const char *reddito)
    {
        esegui(QStringLiteral("DELETE FROM TAAF_ANAASSNUCFAM WHERE IACOMID = %1").arg(m_acom));
        esegui(
            QStringLiteral("INSERT INTO TAAF_ANAASSNUCFAM (IAAFID, IACOMID, LAAFUSEASSNUC, IAAFNRCON, IAAFNRFIGLMIN, "
                           "IAAFNRALTRIMIN, FAAFREDDITO) VALUES (NEXT VALUE FOR GEN_TAAF_ANAASSNUCFAM, %1, %2, %3, "
                           "%4, %5, %6)")
                .arg(m_acom)
                .arg(usato)
                .arg(coniuge)
                .arg(figliMinori)
                .arg(altriMinori)
                .arg(QLatin1String(reddito)));
    }
    static int master(const char *inizio)
    {
        return scalar(QStringLiteral("SELECT IAFMID FROM TAFM_ASSFAMMASTER WHERE DAFMSTART = '%1'")
                          .arg(QLatin1String(inizio)))
            .toInt();
    }
    static Currency tabella(int master, const char *codice, int colonna, const char *reddito)
    {
        return scalar(QStringLiteral("SELECT FCOMPNUCLEO%1 FROM TAFT_ASSFAMTABLE WHERE IAFMID = %2 AND STABNAME = "
                                     "'%3' AND FREDFAMFROM <= %4 AND FREDFAMTO >= %4")
                          .arg(colonna)
                          .arg(master)
                          .arg(QLatin1String(codice))
                          .arg(QLatin1String(reddito)))
            .toCurrency();
    }
    // The catalogue's text of a statement replaced (the catalogue source is
    // loaded again at the end of the test).
    static void rompi(const char *nome, const char *sql)
    {
        TTovQueryText &catalogo = TovQueryText();
        catalogo.setReadOnly(false);
        ASSERT_TRUE(catalogo.locate(QStringLiteral("Query;Tipo"), {platform::Value(QLatin1String(nome)),
                                                                   platform::Value(QStringLiteral("EXECUTE"))}));
        catalogo.edit();
        catalogo.fieldByName(QStringLiteral("SQL")).setAsString(QLatin1String(sql));
        catalogo.post();
    }
    int m_acom = 0;
};

TEST_F(WunCalcNucleoFamSuArchivio, MasterInForceFallsBackAYearAtATime)
{
    EXPECT_EQ(TwunCalcNucleoFam::TabellaMaster(2024, 3), master("2023-07-01"));
    EXPECT_EQ(TwunCalcNucleoFam::TabellaMaster(2024, 9), master("2024-07-01"));
    EXPECT_EQ(TwunCalcNucleoFam::TabellaMaster(2027, 3), master("2025-07-01")) << "March 2026 of the year before";
    EXPECT_EQ(TwunCalcNucleoFam::TabellaMaster(2009, 3), -1) << "no table before July 2009";
    EXPECT_EQ(TwunCalcNucleoFam::TabellaMaster(2005, 3), -1);
}

TEST_F(WunCalcNucleoFamSuArchivio, AllowanceOfAHousehold)
{
    TwunCalcNucleoFam::TRisultato r;
    // 2024: two parents and two minor children; from 2023 the children no
    // longer count (the single allowance): table T21A, which the demo does
    // not hold, so no amount.
    nucleo(1, 2, 2, 0, "20000");
    TwunCalcNucleoFam::CalcolaAssegno(2024, 3, r, m_acom);
    EXPECT_EQ(r.nucleo, 2);
    EXPECT_EQ(r.tabella, "T21A");
    EXPECT_EQ(r.importo, Currency());

    // September 2021: master 13, size 2 + 3 children, three children get
    // 55.00 each with the note.
    TWunCalcolaAnno::CreaPerAnno(2021);
    ASSERT_EQ(master("2021-07-01"), TwunCalcNucleoFam::MasterMaggiorazione2021);
    nucleo(1, 2, 3, 0, "20000");
    TwunCalcNucleoFam::CalcolaAssegno(2021, 9, r, m_acom);
    EXPECT_EQ(r.master, 13);
    EXPECT_EQ(r.tabella, "T11");
    EXPECT_EQ(r.nucleo, 5);
    EXPECT_EQ(r.classe, 2) << "the second income band";
    EXPECT_EQ(r.importo, (tabella(13, "T11", 5, "20000") + euro("165")).rounded(2));
    EXPECT_EQ(r.nota, "3 Figli. E' stata applicata una maggiorazione di 55,00 euro per ogni figlio");

    // One child and one other minor: 37.50 and the correction for the other.
    nucleo(1, 2, 1, 1, "20000");
    TwunCalcNucleoFam::CalcolaAssegno(2021, 9, r, m_acom);
    EXPECT_EQ(r.importo, (tabella(13, "T11", 4, "20000") - euro("10.42") + euro("37.50")).rounded(2));
    EXPECT_EQ(r.nota, "1 Figli. E' stata applicata una maggiorazione di 37,50 euro per ogni figlio");

    // March 2021: the master of 2020/21, no increase and no note.
    TwunCalcNucleoFam::CalcolaAssegno(2021, 3, r, m_acom);
    EXPECT_EQ(r.master, master("2020-07-01"));
    EXPECT_EQ(r.importo, tabella(r.master, "T11", 4, "20000") - euro("10.42"));
    EXPECT_TRUE(r.nota.isEmpty());

    // A household not in use gives nothing.
    nucleo(0, 2, 3, 0, "20000");
    TwunCalcNucleoFam::CalcolaAssegno(2021, 9, r, m_acom);
    EXPECT_EQ(r.nucleo, 0);
    EXPECT_EQ(r.importo, Currency());
}

TEST_F(WunCalcNucleoFamSuArchivio, AnErrorOfTheAmountStageLeavesNoAllowance)
{
    TWunCalcolaAnno::CreaPerAnno(2021);
    nucleo(1, 2, 3, 0, "20000");
    rompi("QRY_ANF_IMPORTO", "SELECT X%d FROM RDB$DATABASE");
    RecordingServicesScope services;
    TwunCalcNucleoFam::TRisultato r;
    TwunCalcNucleoFam::CalcolaAssegno(2021, 9, r, m_acom);
    EXPECT_EQ(r.importo, Currency());
    EXPECT_TRUE(r.tabella.isEmpty());
    EXPECT_EQ(r.nucleo, 5);
    ASSERT_EQ(services->messageTexts().size(), 1);
    EXPECT_TRUE(services->messageTexts().front().startsWith(
        QStringLiteral("Errore in fase di calcolo assegno nucleo familiare:\r\r\nERROR PROCEDURE GET_IMPORTO: ")));

    // The household's read error is raised.
    rompi("QRY_ANF_NUCLEO", "SELECT X FROM RDB$DATABASE");
    try {
        TwunCalcNucleoFam::LeggiNucleo(m_acom);
        ADD_FAILURE() << "no error";
    } catch (const ETovCalcola &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral(
            "Errore in fase di calcolo assegno nucleo familiare:\r\r\nERROR PROCEDURE Get_All_fieldValue : ")));
    }
}
