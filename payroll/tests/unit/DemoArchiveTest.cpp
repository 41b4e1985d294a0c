// The demo archive: complete and consistent pay data, every kind of person
// the programs handle, well-formed fiscal codes, amounts that add up as the
// pay items say, and the same archive again for the same seed.
#include "ArchiveTestSupport.h"
#include "archive/ArchiveScripts.h"
#include "DemoArchive.h"
#include "archive/FiscalCode.h"

#include "SqlQuery.h"
#include "TempDatabase.h"
#include "UqTransaction.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

using namespace archivetest;
using payroll::DemoArchive;
using payroll::DemoArchiveOptions;
using platform::Currency;

namespace {

DemoArchiveOptions options(int persons, quint64 seed, int fromYear, int fromMonth, int toYear, int toMonth)
{
    DemoArchiveOptions o;
    o.persons = persons;
    o.seed = seed;
    o.fromYear = fromYear;
    o.fromMonth = fromMonth;
    o.toYear = toYear;
    o.toMonth = toMonth;
    return o;
}

std::unique_ptr<TempDatabase> demo(const DemoArchiveOptions &o)
{
    auto tdb = archiveDatabase(payroll::ArchiveScripts::all());
    DemoArchive::fill(tdb->db(), o);
    return tdb;
}

int count(platform::Database &db, const QString &sql)
{
    platform::SqlQuery q(db);
    q.setSql(sql);
    q.open();
    return q.value(0).toInt();
}

// Every row of the tables, in key order, as one digest.
QByteArray digest(platform::Database &db)
{
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (const QString &table : tableNames(db)) {
        if (table == QStringLiteral("TSCR_SCRIPTDDL")) // when the scripts ran
            continue;
        platform::SqlQuery q(db);
        q.setSql(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table));
        for (q.open(); !q.eof(); q.next())
            for (int c = 0; c < q.fieldCount(); ++c)
                h.addData((q.value(c).toString() + QLatin1Char('|')).toUtf8());
    }
    return h.result();
}

} // namespace

// Ten persons (one of each kind), from November 2021 to January 2022: a
// year's end with its thirteenth month, two financial years, and the family
// allowance of the tables of 2021/22.
class DemoArchiveData : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_db = demo(options(10, 7, 2021, 11, 2022, 1)).release(); }
    static void TearDownTestSuite()
    {
        delete s_db;
        s_db = nullptr;
    }
    static platform::Database &db() { return s_db->db(); }
    static TempDatabase *s_db;
};
TempDatabase *DemoArchiveData::s_db = nullptr;

TEST_F(DemoArchiveData, YearsMonthsAndEmployer)
{
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TANF_ANNIFINANZ WHERE IANFID BETWEEN 41 AND 56"), 16);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TANF_ANNIFINANZ"), 16);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TMES_MESI"), 12);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TDWG_DATORI"), 1);
    // Company parameters, project and contract tables in every year.
    EXPECT_EQ(count(db(), "SELECT COUNT(DISTINCT IANFID) FROM TPACO_PARAMCOMP WHERE SPACOMATRAZIENDA IS NOT NULL"), 16);
    EXPECT_EQ(count(db(), "SELECT COUNT(DISTINCT IANFID) FROM TDWGANF_DATORIANNO"), 16);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TCCNT_TABELLECCNL"), 16);
    EXPECT_EQ(count(db(), "SELECT COUNT(DISTINCT IANFID) FROM TRICA_ALIQUOTE"), 16);
    EXPECT_EQ(count(db(), "SELECT COUNT(DISTINCT EXTRACT(YEAR FROM DFESDATA)) FROM TFES_FESTIVITA"), 16);
    // The sender: main site with the employer's fiscal code, which passes its check.
    platform::SqlQuery q(db());
    q.setSql("SELECT SED.SSEDNOMCODICEFISC, SED.SSEDNOMLDESC FROM TSED_SEDI SED WHERE SED.LSEDPRINCIPALE = 1");
    q.open();
    ASSERT_FALSE(q.eof());
    const QString code = q.value(0).toString();
    ASSERT_EQ(code.size(), 11);
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        int d = code[i].digitValue() * (i % 2 ? 2 : 1);
        sum += d > 9 ? d - 9 : d;
    }
    EXPECT_EQ((10 - sum % 10) % 10, code[10].digitValue());
}

TEST_F(DemoArchiveData, FiscalCodesAreWellFormedButOneIsMissing)
{
    platform::SqlQuery q(db());
    q.setSql("SELECT SANACODFISCALE FROM TANA_ANAGRAFICHE");
    int missing = 0, persons = 0;
    for (q.open(); !q.eof(); q.next(), ++persons) {
        if (q.value(0).isNull()) {
            ++missing;
            continue;
        }
        EXPECT_TRUE(payroll::FiscalCode::isValid(q.value(0).toString())) << q.value(0).toString().toStdString();
    }
    EXPECT_EQ(persons, 10);
    EXPECT_EQ(missing, 1);
}

TEST_F(DemoArchiveData, EveryKindOfPersonIsThere)
{
    EXPECT_GT(count(db(), "SELECT COUNT(*) FROM TACOM_COMPENSI WHERE ITNOID = 3"), 0) << "apprentice";
    EXPECT_GT(count(db(), "SELECT COUNT(*) FROM TREGS_REGISTROSTIP WHERE ITNOID = 11 AND ICOSID = 11000"), 0)
        << "collaborator";
    EXPECT_GT(count(db(),
                    "SELECT COUNT(*) FROM TACOM_COMPENSI ACOM JOIN TENPA_ENPALS ENPA ON ENPA.IACOMID = ACOM.IACOMID "
                    "WHERE ACOM.IACOMSOGGENPALS > 0"),
              0)
        << "performing-arts worker";
    EXPECT_GT(count(db(), "SELECT COUNT(*) FROM TENPV_ENPALSVARR"), 0);
    EXPECT_GT(count(db(), "SELECT COUNT(*) FROM TREGS_REGISTROSTIP REGS JOIN TVARR_VARRITENUTE VARR ON "
                          "VARR.IREGSID = REGS.IREGSID WHERE VARR.IRICEID = 2"),
              0)
        << "public sector";
    EXPECT_EQ(count(db(), "SELECT COUNT(DISTINCT ACOM.IANAPERID) FROM TACOM_COMPENSI ACOM WHERE ACOM.IDCTID = 2"), 2);
    EXPECT_GT(count(db(), "SELECT COUNT(*) FROM TSER_PARTTIME WHERE ITOSID = 2"), 0) << "vertical part time";
    EXPECT_GT(count(db(), "SELECT COUNT(*) FROM TSER_PARTTIME WHERE ITOSID = 3"), 0) << "horizontal part time";
    EXPECT_GT(
        count(
            db(),
            "SELECT COUNT(*) FROM TVAPE_PERIODI WHERE LVAPEPARTTIME = 1 AND IVAPEORESERVIZIO < IVAPEOREPREVISTE * 60"),
        0);
    // Hired and terminated within a month: the period starts (ends) on the
    // relationship's first (last) day, which is not the month's.
    EXPECT_GT(
        count(db(),
              "SELECT COUNT(*) FROM TVAPE_PERIODI VAPE JOIN TREGS_REGISTROSTIP REGS ON REGS.IREGSID = VAPE.IREGSID "
              "JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = REGS.IACOMID "
              "WHERE VAPE.DVAPEDAL = ACOM.DACOMINIRAPP AND EXTRACT(DAY FROM VAPE.DVAPEDAL) > 1"),
        0);
    EXPECT_GT(
        count(db(),
              "SELECT COUNT(*) FROM TVAPE_PERIODI VAPE JOIN TREGS_REGISTROSTIP REGS ON REGS.IREGSID = VAPE.IREGSID "
              "JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = REGS.IACOMID "
              "WHERE VAPE.DVAPEAL = ACOM.DACOMFINERAPP AND VAPE.DVAPEAL < DATEADD(MONTH, 1, "
              "CAST(EXTRACT(YEAR FROM VAPE.DVAPEAL) || '-' || EXTRACT(MONTH FROM VAPE.DVAPEAL) || '-01' AS DATE)) - 1"),
        0);
    // The thirteenth month in December, the family allowance in the months of 2021/22.
    EXPECT_GT(count(db(), "SELECT COUNT(*) FROM TVACR_VARCOMPRIGHE VACR JOIN TREGS_REGISTROSTIP REGS ON "
                          "REGS.IREGSID = VACR.IREGSID WHERE VACR.ICOMRID = 10013 AND REGS.IMESID = 12"),
              0);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TVACR_VARCOMPRIGHE VACR JOIN TREGS_REGISTROSTIP REGS ON "
                          "REGS.IREGSID = VACR.IREGSID WHERE VACR.ICOMRID = 10013 AND REGS.IMESID <> 12"),
              0);
    EXPECT_GT(count(db(), "SELECT COUNT(*) FROM TVACR_VARCOMPRIGHE WHERE ICOMRID = 10006"), 0);
    // Every person is on the payroll in at least one month of the range.
    EXPECT_EQ(count(db(), "SELECT COUNT(DISTINCT ANA.IANAID) FROM TANA_ANAGRAFICHE ANA "
                          "JOIN TANACAG_MATRICOLE CAG ON CAG.IANAID = ANA.IANAID "
                          "JOIN TANAPER_POSIZIONI PER ON PER.IANACAGID = CAG.IANACAGID "
                          "JOIN TACOM_COMPENSI ACOM ON ACOM.IANAPERID = PER.IANAPERID "
                          "JOIN TREGS_REGISTROSTIP REGS ON REGS.IACOMID = ACOM.IACOMID"),
              10);
}

TEST_F(DemoArchiveData, PayRowsBelongToAPersonAndAMonthOfTheirYear)
{
    // A register's year is its compensation's year, its dates lie in its month.
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TREGS_REGISTROSTIP REGS JOIN TACOM_COMPENSI ACOM ON "
                          "ACOM.IACOMID = REGS.IACOMID WHERE ACOM.IANFID <> REGS.IANFID"),
              0);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TREGS_REGISTROSTIP REGS JOIN TANF_ANNIFINANZ ANF ON "
                          "ANF.IANFID = REGS.IANFID WHERE EXTRACT(MONTH FROM REGS.DREGSDAL) <> REGS.IMESID OR "
                          "EXTRACT(MONTH FROM REGS.DREGSAL) <> REGS.IMESID OR "
                          "EXTRACT(YEAR FROM REGS.DREGSDAL) <> EXTRACT(YEAR FROM ANF.DANFNUBRAINIZIO)"),
              0);
    // Months of the range only, and one salary register per person and month
    // (besides those of an earlier ex-DMA period).
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TREGS_REGISTROSTIP WHERE NOT ((IANFID = 52 AND IMESID IN (11, 12)) OR "
                          "(IANFID = 53 AND IMESID = 1))"),
              0);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM (SELECT IACOMID, IMESID FROM TREGS_REGISTROSTIP WHERE ICOTID IN (1, 3) "
                          "AND DREGSDMADAL IS NULL GROUP BY IACOMID, IMESID HAVING COUNT(*) > 1)"),
              0);
    // A liquidation for every register, and periods inside their register's dates.
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TREGS_REGISTROSTIP REGS WHERE NOT EXISTS (SELECT 1 FROM "
                          "TVARM_VARIAZIONI VARM WHERE VARM.IACOMID = REGS.IACOMID AND VARM.IMESID = REGS.IMESID "
                          "AND VARM.ICOTID = REGS.ICOTID)"),
              0);
    EXPECT_EQ(count(db(),
                    "SELECT COUNT(*) FROM TVAPE_PERIODI VAPE JOIN TREGS_REGISTROSTIP REGS ON "
                    "REGS.IREGSID = VAPE.IREGSID WHERE VAPE.DVAPEDAL < REGS.DREGSDAL OR VAPE.DVAPEAL > REGS.DREGSAL"),
              0);
    // Withholding rows of a pay item belong to the item's register or liquidation.
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TVARR_VARRITENUTE VARR JOIN TVACR_VARCOMPRIGHE VACR ON "
                          "VACR.IVACRID = VARR.IVACRID WHERE VARR.IREGSID IS DISTINCT FROM VACR.IREGSID OR "
                          "VARR.IVARMID IS DISTINCT FROM VACR.IVARMID OR VARR.ICOMRID <> VACR.ICOMRID"),
              0);
    // The generators go on past the keys written.
    const qint64 next = GenerateID(QStringLiteral("TREGS_REGISTROSTIP"), &db());
    EXPECT_GT(next, count(db(), "SELECT MAX(IREGSID) FROM TREGS_REGISTROSTIP"));
}

TEST_F(DemoArchiveData, AmountsAddUpAsThePayItemsSay)
{
    // The register's gross is the sum of its items.
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TREGS_REGISTROSTIP REGS WHERE REGS.FREGSTOTALELORDO <> "
                          "(SELECT COALESCE(SUM(VACR.FVACRLORDO), 0) FROM TVACR_VARCOMPRIGHE VACR "
                          "WHERE VACR.IREGSID = REGS.IREGSID AND VACR.IVARMID IS NULL)"),
              0);
    EXPECT_GT(count(db(), "SELECT COUNT(*) FROM TREGS_REGISTROSTIP"), 20);
    // A register's totals by retention are the sums of its item rows.
    EXPECT_EQ(count(db(),
                    "SELECT COUNT(*) FROM TVARR_VARRITENUTE T JOIN (SELECT V.IREGSID, V.IRICEID, "
                    "SUM(V.FVARRIMPONIBILE) AS IMP, SUM(V.FVARRIMPONIBILEDIP) AS IMPDIP, "
                    "SUM(V.FVARRIMPONIBILEAMM) AS IMPAMM, SUM(V.FVARRRITDIP) AS RITDIP, SUM(V.FVARRRITAMM) AS RITAMM "
                    "FROM TVARR_VARRITENUTE V WHERE V.IVARMID IS NULL AND V.ICOMRID IS NOT NULL "
                    "GROUP BY V.IREGSID, V.IRICEID) S ON S.IREGSID = T.IREGSID AND S.IRICEID = T.IRICEID "
                    "WHERE T.ICOMRID IS NULL AND (T.FVARRIMPONIBILE <> S.IMP OR T.FVARRIMPONIBILEDIP <> S.IMPDIP "
                    "OR T.FVARRIMPONIBILEAMM <> S.IMPAMM OR T.FVARRRITDIP <> S.RITDIP OR T.FVARRRITAMM <> S.RITAMM)"),
              0);
    // ... and there is one for every retention of its items.
    EXPECT_EQ(count(db(),
                    "SELECT COUNT(*) FROM (SELECT DISTINCT V.IREGSID, V.IRICEID FROM TVARR_VARRITENUTE V "
                    "WHERE V.IVARMID IS NULL AND V.ICOMRID IS NOT NULL) S WHERE NOT EXISTS (SELECT 1 FROM "
                    "TVARR_VARRITENUTE T WHERE T.IREGSID = S.IREGSID AND T.IRICEID = S.IRICEID AND T.ICOMRID IS NULL)"),
              0);
    EXPECT_GT(count(db(), "SELECT COUNT(*) FROM TVARR_VARRITENUTE WHERE ICOMRID IS NULL"), 0);
    // Social retentions are taken on the whole gross of a subject item;
    // income tax on the gross less the employee's social withholdings;
    // items not subject (family allowance) have no withholding.
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TVARR_VARRITENUTE VARR JOIN TVACR_VARCOMPRIGHE VACR ON "
                          "VACR.IVACRID = VARR.IVACRID WHERE VARR.IRICEID NOT IN (7, 11) AND "
                          "VARR.FVARRIMPONIBILE <> VACR.FVACRLORDO"),
              0);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TVARR_VARRITENUTE VARR JOIN TVACR_VARCOMPRIGHE VACR ON "
                          "VACR.IVACRID = VARR.IVACRID WHERE VARR.IRICEID IN (7, 11) AND VARR.FVARRIMPONIBILE <> "
                          "VACR.FVACRLORDO - (SELECT SUM(S.FVARRRITDIP) FROM TVARR_VARRITENUTE S WHERE "
                          "S.IVACRID = VACR.IVACRID AND S.IRICEID NOT IN (7, 11))"),
              0);
    EXPECT_EQ(count(db(), "SELECT COUNT(*) FROM TVARR_VARRITENUTE VARR JOIN TVACR_VARCOMPRIGHE VACR ON "
                          "VACR.IVACRID = VARR.IVACRID WHERE VACR.LVACRASSOGGETTATO = 0"),
              0);

    // Withholdings are the rates on the taxable, rounded to cents, half away
    // from zero; a collaborator's INPS is split one third, two thirds.
    platform::SqlQuery q(db());
    q.setSql("SELECT VARR.FVARRIMPONIBILE, VARR.FVARRALIQUOTADIP, VARR.FVARRALIQUOTAAMM, VARR.FVARRRITDIP, "
             "VARR.FVARRRITAMM, VARR.FVARRPERCIMPDIP FROM TVARR_VARRITENUTE VARR WHERE VARR.ICOMRID IS NOT NULL");
    int rows = 0, split = 0;
    for (q.open(); !q.eof(); q.next(), ++rows) {
        const Currency taxable = q.value(0).toCurrency(), rateDip = q.value(1).toCurrency();
        const Currency rateAmm = q.value(2).toCurrency(), dip = q.value(3).toCurrency(), amm = q.value(4).toCurrency();
        if (q.value(5).toCurrency() != Currency::fromInt(100)) {
            ++split;
            const Currency whole = taxable.percent(rateAmm);
            EXPECT_EQ(dip, (whole.rounded(2) / 3).rounded(2));
            EXPECT_EQ(dip + amm, whole);
        } else {
            EXPECT_EQ(dip, taxable.percent(rateDip).rounded(2));
            EXPECT_EQ(amm, taxable.percent(rateAmm).rounded(2));
        }
    }
    EXPECT_GT(rows, 50);
    EXPECT_GT(split, 0);
}

TEST_F(DemoArchiveData, FamilyAllowanceIsTheTablesAmount)
{
    // The allowance paid is the one the allowance tables give for the
    // household: master of the month, table by the household's adults, the
    // income band, the column of the household's size; the tables of
    // 2021/22 (master 13) add 37.50 a child (55.00 beyond two children).
    platform::SqlQuery q(db());
    q.setSql(
        "SELECT VACR.FVACRLORDO, REGS.IMESID, ANF.DANFNUBRAINIZIO, AAF.IAAFNRCON, AAF.IAAFNRFIGLMIN, AAF.FAAFREDDITO "
        "FROM TVACR_VARCOMPRIGHE VACR JOIN TREGS_REGISTROSTIP REGS ON REGS.IREGSID = VACR.IREGSID "
        "JOIN TANF_ANNIFINANZ ANF ON ANF.IANFID = REGS.IANFID "
        "JOIN TAAF_ANAASSNUCFAM AAF ON AAF.IACOMID = REGS.IACOMID WHERE VACR.ICOMRID = 10006");
    int paid = 0;
    for (q.open(); !q.eof(); q.next(), ++paid) {
        const QDate day(q.value(2).toDate().year(), q.value(1).toInt(), 1);
        const int adults = q.value(3).toInt(), children = q.value(4).toInt();
        platform::SqlQuery t(db());
        t.setSql(
            QStringLiteral(" Select aft.FCOMPNUCLEO%1 as reddito_val, afm.IAFMID from TAFM_ASSFAMMASTER afm inner join "
                           "TAFT_ASSFAMTABLE aft on aft.IAFMID = afm.IAFMID Where afm.DAFMSTART <= :DATARIF and "
                           "afm.DAFMEND >= :DATARIF and aft.STABNAME = :TABNAME and aft.FREDFAMFROM <= :REDDITO and "
                           "aft.FREDFAMTO >= :REDDITO ")
                .arg(adults + children));
        t.bind("DATARIF", day);
        t.bind("TABNAME", adults == 2 ? "T11" : "T12");
        t.bind("REDDITO", q.value(5));
        t.open();
        ASSERT_FALSE(t.eof());
        Currency expected = t.value(0).toCurrency();
        if (t.value(1).toInt() == 13)
            expected += (children > 2 ? Currency::fromInt(55) : Currency::fromDouble(37.5)) * children;
        EXPECT_EQ(q.value(0).toCurrency(), expected);
    }
    EXPECT_GT(paid, 0);
}

TEST(DemoArchive, SameSeedSameArchiveOtherSeedAnother)
{
    const auto o = options(12, 42, 2025, 1, 2025, 2);
    auto a = demo(o);
    auto b = demo(o);
    EXPECT_EQ(digest(a->db()), digest(b->db()));
    auto c = demo(options(12, 43, 2025, 1, 2025, 2));
    EXPECT_NE(digest(a->db()), digest(c->db()));
}

TEST(DemoArchive, PersonsAreTheSameWhateverTheMonthsAsked)
{
    auto shortRange = demo(options(10, 5, 2025, 6, 2025, 6));
    auto longRange = demo(options(10, 5, 2025, 1, 2025, 12));
    auto persons = [](platform::Database &db) {
        QStringList out;
        platform::SqlQuery q(db);
        q.setSql("SELECT SANACOGNOME, SANANOME FROM TANA_ANAGRAFICHE ORDER BY IANAID");
        for (q.open(); !q.eof(); q.next())
            out << q.value(0).toString() + " " + q.value(1).toString();
        return out.join(", ").toStdString();
    };
    EXPECT_EQ(persons(shortRange->db()), persons(longRange->db()));
    // A person hired within the range is on the payroll from the month of hiring.
    EXPECT_EQ(count(shortRange->db(), "SELECT COUNT(DISTINCT IACOMID) FROM TREGS_REGISTROSTIP"), 10);
}

// The public-sector archive: the persons drawn by kind are all permanent
// public staff with pay in the month, the fixed persons as in any archive.
TEST(DemoArchive, APublicSectorArchiveHasAllButSeventeenPersonsOfLegalPosition1)
{
    auto o = options(40, 1, 2024, 3, 2024, 3);
    auto usual = demo(o);
    o.publicSector = true;
    auto pubblico = demo(o);
    const QString permanentPublic =
        "SELECT COUNT(*) FROM TACOM_COMPENSI ACOM WHERE ACOM.ITNOID = 1 AND ACOM.IDCTID = 2 "
        "AND EXISTS (SELECT 1 FROM TREGS_REGISTROSTIP REGS WHERE REGS.IACOMID = ACOM.IACOMID)";
    EXPECT_EQ(count(pubblico->db(), permanentPublic), 40 - 17);
    EXPECT_LT(count(usual->db(), permanentPublic), 40 - 17);
    const auto firstTen = [](platform::Database &db) {
        QStringList codes;
        platform::SqlQuery q(db);
        q.setSql("SELECT FIRST 10 SANACODFISCALE FROM TANA_ANAGRAFICHE ORDER BY IANAID");
        for (q.open(); !q.eof(); q.next())
            codes << q.value(0).toString();
        return codes.join(' ').toStdString();
    };
    EXPECT_EQ(firstTen(usual->db()), firstTen(pubblico->db()));
}

TEST(DemoArchive, EverySecondCollaboratorBearsNoWithholdingAndTheAmountsStillAddUp)
{
    auto tdb = demo(options(50, 1, 2025, 3, 2025, 3));
    platform::Database &db = tdb->db();
    // Collaborators' INPS rows: with and without the collaborator's share.
    const QString inps = "FROM TVARR_VARRITENUTE VARR JOIN TREGS_REGISTROSTIP REGS ON REGS.IREGSID = VARR.IREGSID "
                         "WHERE REGS.ITNOID = 11 AND VARR.IRICEID = 3 AND VARR.ICOMRID IS NOT NULL";
    const int senza = count(db, "SELECT COUNT(DISTINCT REGS.IACOMID) " + inps + " AND VARR.FVARRRITDIP = 0");
    const int con = count(db, "SELECT COUNT(DISTINCT REGS.IACOMID) " + inps + " AND VARR.FVARRRITDIP > 0");
    EXPECT_GT(senza, 0);
    EXPECT_GE(con, senza);
    // Without the share: the company's rate on the taxable, income tax on
    // the whole gross, totals that are the sums of their items.
    platform::SqlQuery q(db);
    q.setSql("SELECT VARR.FVARRIMPONIBILE, VARR.FVARRALIQUOTAAMM, VARR.FVARRRITAMM, VARR.FVARRALIQUOTADIP " + inps
             + " AND VARR.FVARRRITDIP = 0");
    int righe = 0;
    for (q.open(); !q.eof(); q.next(), ++righe) {
        EXPECT_EQ(q.value(2).toCurrency(), q.value(0).toCurrency().percent(q.value(1).toCurrency()).rounded(2));
        EXPECT_EQ(q.value(3).toCurrency(), Currency());
    }
    EXPECT_EQ(righe, senza);
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM TVARR_VARRITENUTE VARR JOIN TVACR_VARCOMPRIGHE VACR ON VACR.IVACRID = "
                        "VARR.IVACRID WHERE VARR.IRICEID = 7 AND VARR.FVARRIMPONIBILE <> VACR.FVACRLORDO - "
                        "(SELECT SUM(S.FVARRRITDIP) FROM TVARR_VARRITENUTE S WHERE S.IVACRID = VACR.IVACRID AND "
                        "S.IRICEID <> 7)"),
              0);
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM TVARR_VARRITENUTE T WHERE T.ICOMRID IS NULL AND T.IVARMID IS NULL "
                        "AND T.IRICEID IN (3, 7) AND (T.FVARRRITDIP <> (SELECT SUM(V.FVARRRITDIP) FROM "
                        "TVARR_VARRITENUTE V WHERE V.IREGSID = T.IREGSID AND V.IRICEID = T.IRICEID AND V.ICOMRID IS "
                        "NOT NULL) OR T.FVARRRITAMM <> (SELECT SUM(V.FVARRRITAMM) FROM TVARR_VARRITENUTE V WHERE "
                        "V.IREGSID = T.IREGSID AND V.IRICEID = T.IRICEID AND V.ICOMRID IS NOT NULL) OR "
                        "T.FVARRIMPONIBILE <> (SELECT SUM(V.FVARRIMPONIBILE) FROM TVARR_VARRITENUTE V WHERE "
                        "V.IREGSID = T.IREGSID AND V.IRICEID = T.IRICEID AND V.ICOMRID IS NOT NULL))"),
              0);
}

TEST(DemoArchive, RefusesOptionsOutOfRange)
{
    EXPECT_THROW(DemoArchive::validate(options(9, 1, 2025, 1, 2025, 1)), platform::EConvertError);
    EXPECT_THROW(DemoArchive::validate(options(10001, 1, 2025, 1, 2025, 1)), platform::EConvertError);
    EXPECT_THROW(DemoArchive::validate(options(10, 1, 2004, 12, 2025, 1)), platform::EConvertError);
    EXPECT_NO_THROW(DemoArchive::validate(options(10, 1, 2005, 1, 2009, 12)));
    EXPECT_THROW(DemoArchive::validate(options(10, 1, 2025, 1, 2100, 1)), platform::EConvertError);
    EXPECT_THROW(DemoArchive::validate(options(10, 1, 2025, 3, 2025, 2)), platform::EConvertError);
    EXPECT_NO_THROW(DemoArchive::validate(options(10000, 1, 2010, 1, 2025, 12)));
    int y = 0, m = 0;
    DemoArchive::parsePeriod("2024-07", y, m);
    EXPECT_EQ(y, 2024);
    EXPECT_EQ(m, 7);
    EXPECT_THROW(DemoArchive::parsePeriod("2024-13", y, m), platform::EConvertError);
    EXPECT_THROW(DemoArchive::parsePeriod("07/2024", y, m), platform::EConvertError);
}

TEST(DemoArchive, ARangeBefore2010HasItsYearsWithTheirRatesAndKeepsTheKeysOfTheLaterOnes)
{
    auto early = demo(options(10, 1, 2006, 10, 2006, 10));
    auto later = demo(options(10, 1, 2010, 10, 2010, 10));
    platform::Database &db = early->db();
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM TANF_ANNIFINANZ WHERE IANFID BETWEEN 37 AND 56"), 20);
    for (const char *sql : {"SELECT COUNT(DISTINCT IANFID) FROM TRICA_ALIQUOTE WHERE IANFID < 41",
                            "SELECT COUNT(DISTINCT IANFID) FROM TPACO_PARAMCOMP WHERE IANFID < 41",
                            "SELECT COUNT(DISTINCT IANFID) FROM TDWGANF_DATORIANNO WHERE IANFID < 41",
                            "SELECT COUNT(*) FROM TCCNT_TABELLECCNL WHERE DCCNTDAL < '2010-01-01'"})
        EXPECT_EQ(count(db, sql), 4) << sql;
    // The separate scheme's rate of 2006, in hundredths; contract amounts
    // below those of 2009, which has those of 2010.
    EXPECT_EQ(count(db, "SELECT FRICAALIQUOTAAMM * 100 FROM TRICA_ALIQUOTE WHERE IANFID = 37 AND ITNOID = 11"), 1820);
    const char *stipendio = "SELECT FCCNLIMPORTO FROM TCCNL_IMPORTI L JOIN TCCNT_TABELLECCNL T ON T.ICCNTID = "
                            "L.ICCNTID WHERE L.IQARID = 1 AND L.ICOMRID = 10001 AND T.DCCNTDAL = '%1-01-01'";
    EXPECT_LT(count(db, QString::fromLatin1(stipendio).arg(2006)), count(db, QString::fromLatin1(stipendio).arg(2009)));
    EXPECT_EQ(count(db, QString::fromLatin1(stipendio).arg(2009)), count(db, QString::fromLatin1(stipendio).arg(2010)));
    // The employer's rows of 2010 on keep their keys; the month has pay.
    const char *chiavi = "SELECT SUM(IPACOID * IANFID) FROM TPACO_PARAMCOMP WHERE IANFID >= 41";
    EXPECT_EQ(count(db, chiavi), count(later->db(), chiavi));
    EXPECT_GT(count(db, "SELECT COUNT(*) FROM TREGS_REGISTROSTIP WHERE IANFID = 37 AND IMESID = 10"), 8);
}

TEST(DemoArchiveTool, CreatesTheArchiveOnceAndRefusesToOverwriteIt)
{
    const QString build = QStringLiteral(ZEP_TEST_BUILD_DIR);
    const QString tool = QDir(build).filePath("bin/zepDemoArchive");
    ASSERT_TRUE(QFileInfo::exists(tool)) << tool.toStdString();
    TempDatabase::ensureLockFolder();
    QTemporaryDir dir;
    const QString file = dir.filePath("data/zep_demo.fdb");
    QProcess p;
    p.start(tool, {"--output", file, "--persons", "10", "--from", "2025-02", "--to", "2025-02", "--seed", "3"});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains("10 persone, 1 mese"));
    ASSERT_TRUE(QFileInfo::exists(file));
    {
        platform::ConnectionSettings s;
        s.database = file;
        platform::Database db(s);
        db.open();
        EXPECT_EQ(count(db, "SELECT COUNT(*) FROM TANA_ANAGRAFICHE"), 10);
        EXPECT_EQ(count(db, "SELECT COUNT(DISTINCT IMESID) FROM TREGS_REGISTROSTIP"), 1);
    }
    // --to alone: the twelve months up to it.
    p.start(tool, {"--output", dir.filePath("year.fdb"), "--persons", "10", "--to", "2025-02"});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains("12 mesi (da 2024-03 a 2025-02)"));
    // A second run leaves the archive alone and says why.
    p.start(tool, {"--output", file, "--persons", "10"});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains("esiste"));
    // Bad options fail before anything is made.
    p.start(tool, {"--output", dir.filePath("other.fdb"), "--persons", "5"});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("other.fdb")));
}

// Sixteen persons (every kind the imports handle) from February 2022 to
// January 2026: the family allowance's last month, the exemptions of
// 2023-2024, the tax wedge from 2025 and a year past 2025.
TEST(DemoArchive, EveryKindOfPersonTheImportsHandleHasPay)
{
    auto tdb = demo(options(16, 1, 2022, 2, 2026, 1));
    platform::Database &db = tdb->db();
    const QString regs = "FROM TREGS_REGISTROSTIP REGS JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = REGS.IACOMID ";
    const QString item = "FROM TVACR_VARCOMPRIGHE VACR JOIN TREGS_REGISTROSTIP REGS ON REGS.IREGSID = VACR.IREGSID ";
    const struct {
        const char *kind;
        QString sql;
        int atLeast;
    } kinds[] = {
        {"full time", "SELECT COUNT(*) " + regs + "WHERE ACOM.ITNOID = 1 AND REGS.IREGSORESERVIZIO = 2400", 1},
        {"horizontal part time", "SELECT COUNT(*) FROM TSER_PARTTIME WHERE ITOSID = 3", 1},
        {"vertical part time", "SELECT COUNT(*) FROM TSER_PARTTIME WHERE ITOSID = 2", 1},
        {"hired in a month",
         "SELECT COUNT(*) " + regs + "WHERE REGS.DREGSDAL = ACOM.DACOMINIRAPP AND EXTRACT(DAY FROM REGS.DREGSDAL) > 1",
         2},
        {"terminated in a month",
         "SELECT COUNT(*) " + regs + "WHERE REGS.DREGSAL = ACOM.DACOMFINERAPP AND REGS.DREGSAL < "
             + "DATEADD(MONTH, 1, REGS.DREGSDAL - EXTRACT(DAY FROM REGS.DREGSDAL) + 1) - 1",
         2},
        {"hired and terminated in the range's last month",
         "SELECT COUNT(*) " + regs
             + "WHERE REGS.IANFID = 57 AND REGS.IMESID = 1 AND REGS.DREGSDAL = ACOM.DACOMINIRAPP "
               "AND REGS.DREGSAL = ACOM.DACOMFINERAPP AND REGS.IREGSGIORNI = 16",
         1},
        {"apprentice", "SELECT COUNT(*) " + regs + "WHERE ACOM.ITNOID = 3", 1},
        {"without a fiscal code",
         "SELECT COUNT(*) " + regs
             + "JOIN TANAPER_POSIZIONI PER ON PER.IANAPERID = ACOM.IANAPERID JOIN TANACAG_MATRICOLE CAG ON "
               "CAG.IANACAGID = PER.IANACAGID JOIN TANA_ANAGRAFICHE ANA ON ANA.IANAID = CAG.IANAID "
               "WHERE ANA.SANACODFISCALE IS NULL",
         1},
        {"two collaborators (one with a relief, one without)",
         "SELECT COUNT(DISTINCT ACOM.IANAPERID) " + regs + "WHERE ACOM.ITNOID = 11 AND REGS.ICOSID = 11000", 2},
        {"performing-arts worker with two engagements a month",
         "SELECT COUNT(*) " + regs
             + "WHERE ACOM.ITNOID = 15 AND REGS.IREGSGIORNI = 20 AND (SELECT COUNT(*) FROM TVAPE_PERIODI VAPE "
               "WHERE VAPE.IREGSID = REGS.IREGSID) = 2",
         48},
        {"family allowance", "SELECT COUNT(*) " + item + "WHERE VACR.ICOMRID = 10006 AND REGS.IANFID = 53", 1},
        {"exemption of 2023", "SELECT COUNT(*) " + item + "WHERE VACR.ICOMRID = 10074 AND REGS.IANFID = 54", 1},
        {"exemption of the thirteenth month of 2023",
         "SELECT COUNT(*) " + item + "WHERE VACR.ICOMRID = 10075 AND REGS.IANFID = 54 AND REGS.IMESID = 12", 1},
        {"exemption of 2024", "SELECT COUNT(*) " + item + "WHERE VACR.ICOMRID = 10074 AND REGS.IANFID = 55", 1},
        {"mothers' relief of 2024", "SELECT COUNT(*) " + item + "WHERE VACR.ICOMRID = 10077 AND REGS.IANFID = 55", 1},
        {"tax wedge of 2025", "SELECT COUNT(*) " + item + "WHERE VACR.ICOMRID = 10078 AND REGS.IANFID = 56", 1},
        {"tax wedge after 2025", "SELECT COUNT(*) " + item + "WHERE VACR.ICOMRID = 10078 AND REGS.IANFID = 57", 1},
        {"accessory pay under the second company number in every month",
         "SELECT COUNT(DISTINCT REGS.IANFID * 100 + REGS.IMESID) FROM TREGS_REGISTROSTIP REGS WHERE REGS.ICOTID = 2 "
         "AND REGS.SREGSPOSINPS = '1234567891'",
         48},
    };
    for (const auto &k : kinds)
        EXPECT_GE(count(db, k.sql), k.atLeast) << k.kind;

    // The financial years reach the range's last.
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM TANF_ANNIFINANZ"), 17);
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM TPACO_PARAMCOMP WHERE IANFID = 57"), 1);
}

TEST(DemoArchive, TheToolsRangeIsTheTwelveMonthsUpToToday)
{
    DemoArchiveOptions o;
    DemoArchive::lastTwelveMonths(o, QDate(2026, 12, 9));
    EXPECT_EQ(QList<int>({o.fromYear, o.fromMonth, o.toYear, o.toMonth}), QList<int>({2026, 1, 2026, 12}));
    DemoArchive::lastTwelveMonths(o, QDate(2027, 3, 31));
    EXPECT_EQ(QList<int>({o.fromYear, o.fromMonth, o.toYear, o.toMonth}), QList<int>({2026, 4, 2027, 3}));
    EXPECT_NO_THROW(DemoArchive::validate(o));
}
