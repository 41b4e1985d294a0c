// The named statements of the payroll archive, run on a demo archive: the
// rows and values their callers rely on.
#include "ArchiveTestSupport.h"
#include "archive/ArchiveScripts.h"
#include "DemoArchive.h"

#include "Format.h"
#include "SqlQuery.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

using namespace archivetest;
using platform::Currency;
using platform::Value;

namespace {

QString statement(const QString &name, const QString &kind = QStringLiteral("EXECUTE"))
{
    for (const NamedStatement &s : catalogueStatements())
        if (s.name == name && s.kind == kind && s.index == 0)
            return s.sql;
    ADD_FAILURE() << "no statement " << name.toStdString() << " " << kind.toStdString();
    return QString();
}

} // namespace

class ArchiveStatementsOnDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const auto demo = [](platform::Database &db) {
            payroll::DemoArchiveOptions o;
            o.persons = 12;
            o.seed = 11;
            o.fromYear = o.toYear = 2024;
            o.fromMonth = 10;
            o.toMonth = 12;
            payroll::DemoArchive::fill(db, o);
        };
        s_db = new TempDatabase(
            TempDatabase::Template{payroll::ArchiveScripts::all(), "ArchiveStatementsOnDemo", demo});
    }
    static void TearDownTestSuite()
    {
        delete s_db;
        s_db = nullptr;
    }
    static platform::Database &db() { return s_db->db(); }
    // Opens a statement with its parameters; the query stands on the first row.
    static std::unique_ptr<platform::SqlQuery> open(const QString &sql, const QList<std::pair<QString, Value>> &params)
    {
        auto q = std::make_unique<platform::SqlQuery>(db());
        q->setSql(sql);
        for (const auto &[name, value] : params)
            q->bind(name, value);
        q->open();
        return q;
    }
    static Value scalar(const QString &sql) { return open(sql, {})->value(0); }
    static TempDatabase *s_db;
};
TempDatabase *ArchiveStatementsOnDemo::s_db = nullptr;

TEST_F(ArchiveStatementsOnDemo, MonthsLiquidationKindsAndCompensations)
{
    EXPECT_EQ(open(statement("QRY_MES"), {{"IMESID", 3}})->value("SMESLDESC").toString(), "Marzo");
    auto cot = open(statement("QRY_COT_COS"), {{"ICOTID", 1}});
    EXPECT_EQ(cot->value("SCOTLDESC").toString(), "Stipendio");
    EXPECT_EQ(cot->value("ICOTFONDAMENTALE").toInt(), 1);

    const int anaper =
        scalar("SELECT FIRST 1 IANAPERID FROM TACOM_COMPENSI WHERE IANFID = 55 ORDER BY IACOMID").toInt();
    const int acom =
        scalar(QStringLiteral("SELECT IACOMID FROM TACOM_COMPENSI WHERE IANFID = 55 AND IANAPERID = %1").arg(anaper))
            .toInt();
    EXPECT_EQ(
        open(statement("QRY_ACOM_FROM_ANAPER"), {{"IANAPERID", anaper}, {"IANFID", 55}})->value("IACOMID").toInt(),
        acom);
    EXPECT_TRUE(open(statement("QRY_ACOM_FROM_ANAPER"), {{"IANAPERID", anaper}, {"IANFID", 40}})->eof());
}

TEST_F(ArchiveStatementsOnDemo, PayGroupTestAnswersZeroWhenTheGroupHasNoRegister)
{
    const QString sql = statement("QRY_REGS_GRUPPO_TEST");
    auto found = open(sql, {{"IANFID", 55}, {"IMESID", 11}, {"ICOTID", 1}, {"IREGSGRUPPO", 1}});
    ASSERT_FALSE(found->eof());
    EXPECT_EQ(found->value("IREGSGRUPPO").toInt(), 1);
    auto none = open(sql, {{"IANFID", 55}, {"IMESID", 11}, {"ICOTID", 1}, {"IREGSGRUPPO", 2}});
    ASSERT_FALSE(none->eof());
    EXPECT_EQ(none->value("IREGSGRUPPO").toInt(), 0);
    auto otherYear = open(sql, {{"IANFID", 54}, {"IMESID", 11}, {"ICOTID", 1}, {"IREGSGRUPPO", 1}});
    EXPECT_EQ(otherYear->value("IREGSGRUPPO").toInt(), 0);
}

TEST_F(ArchiveStatementsOnDemo, CompanyParametersAndChartOfAccounts)
{
    auto paco = open(statement("QRY_PACO_ANF", "SELECT"), {{"IANFID", 55}});
    ASSERT_FALSE(paco->eof());
    EXPECT_EQ(paco->value("SPACOMATRAZIENDA").toString(), "1234567890");
    EXPECT_EQ(paco->value("SPACOMATRAZACC").toString(), "1234567891");
    EXPECT_GT(paco->value("IDWGANFID").toInt(), 0);
    EXPECT_EQ(paco->value("IDWGID").toInt(), 1);
    EXPECT_EQ(paco->value("LPACOAFAM").toInt(), 1);
    paco->next();
    EXPECT_TRUE(paco->eof()) << "one row a year";

    EXPECT_GT(open(statement("QRY_NAF_EFFETTUATO"), {{"IANFID", 50}})->value("TOTALE").toInt(), 0);
    EXPECT_EQ(open(statement("QRY_NAF_EFFETTUATO"), {{"IANFID", 49}})->value("TOTALE").toInt(), 0);
    EXPECT_FALSE(open(statement("QRY_NAF_CONTI_TEST"), {{"ITIMID", 200001}})->eof());
    EXPECT_TRUE(open(statement("QRY_NAF_CONTI_TEST"), {{"ITIMID", 999}})->eof());
}

TEST_F(ArchiveStatementsOnDemo, ProjectFiltersRestrictTheRegisters)
{
    const QString base = QStringLiteral("SELECT COUNT(*) FROM TREGS_REGISTROSTIP REGS WHERE REGS.IANFID = 55");
    const int all = scalar(base).toInt();
    ASSERT_GT(all, 0);
    const int project = scalar("SELECT IDWGANFID FROM TDWGANF_DATORIANNO WHERE IANFID = 55").toInt();
    EXPECT_EQ(scalar(base + platform::format(statement("QRY_VPRO_CONTA"), project)).toInt(), all);
    EXPECT_EQ(scalar(base + platform::format(statement("QRY_VPRO_CONTA"), 9999)).toInt(), 0);
    // Without a project: the registers within the year's dates, end date first.
    EXPECT_EQ(scalar(base + platform::format(statement("QRY_VPRO_COMP"), QString("12/31/2024"), QString("01/01/2024")))
                  .toInt(),
              all);
    EXPECT_EQ(scalar(base + platform::format(statement("QRY_VPRO_COMP"), QString("12/31/2023"), QString("01/01/2023")))
                  .toInt(),
              0);
    EXPECT_EQ(statement("QRY_VPRO_CONTA", "SELECT"), statement("QRY_VPRO_CONTA"));
}

TEST_F(ArchiveStatementsOnDemo, InpsTaxablesOfFundamentalAndAccessoryPay)
{
    // A person with a productivity prize in the last quarter.
    auto prize = open("SELECT FIRST 1 REGS.IACOMID, REGS.IMESID FROM TREGS_REGISTROSTIP REGS WHERE REGS.ICOTID = 2 "
                      "ORDER BY REGS.IREGSID",
                      {});
    ASSERT_FALSE(prize->eof()) << "the demo has no prize in this range: change the seed";
    const int acom = prize->value(0).toInt();
    const int rice = scalar(QStringLiteral(
                                "SELECT FIRST 1 IRICEID FROM TVARR_VARRITENUTE VARR JOIN TREGS_REGISTROSTIP REGS "
                                "ON REGS.IREGSID = VARR.IREGSID WHERE REGS.IACOMID = %1 AND "
                                "VARR.IRICEID IN (3, 13)")
                                .arg(acom))
                         .toInt();
    const QList<std::pair<QString, Value>> range{{"IACOMID", acom},
                                                 {"IRICEID", rice},
                                                 {"MESE_INIZIALE", 10},
                                                 {"MESE_FINALE", 12}};

    // Fundamental pay: the INPS taxable of the salary items of category 10001.
    auto fond = range;
    fond.append({"ICOSID", 10001});
    const Currency expectedFond =
        scalar(
            QStringLiteral(
                "SELECT SUM(VARR.FVARRIMPONIBILEAMM) FROM TVARR_VARRITENUTE VARR JOIN TREGS_REGISTROSTIP REGS ON "
                "REGS.IREGSID = VARR.IREGSID JOIN TCOMR_RIGHECOMP COMR ON COMR.ICOMRID = VARR.ICOMRID WHERE REGS.IACOMID = %1 "
                "AND REGS.ICOTID = 1 AND VARR.IRICEID = %2 AND COMR.ICOSID = 10001")
                .arg(acom)
                .arg(rice))
            .toCurrency();
    EXPECT_GT(expectedFond, Currency());
    EXPECT_EQ(open(statement("QRY_CUD_INPS_IMP_FOND"), fond)->value("TOTALE").toCurrency(), expectedFond);
    // The prize is an item of category 10001 too, but of a liquidation kind
    // that is not fundamental: it is not counted. Callers append conditions.
    auto fondSalary = open(statement("QRY_CUD_INPS_IMP_FOND") + " AND REGS.ICOTID = 1", fond);
    EXPECT_EQ(fondSalary->value("TOTALE").toCurrency(), expectedFond);

    // Accessory pay: the prize's liquidation, taxed separately (kind 3).
    auto acc = range;
    acc.append({"IVARMRIRPID", 3});
    const Currency expectedAcc =
        scalar(
            QStringLiteral(
                "SELECT SUM(VACR.FVACRLORDO) FROM TVACR_VARCOMPRIGHE VACR JOIN TVARM_VARIAZIONI VARM ON VARM.IVARMID = VACR.IVARMID "
                "WHERE VARM.IACOMID = %1 AND VARM.IVARMRIRPID = 3")
                .arg(acom))
            .toCurrency();
    EXPECT_GT(expectedAcc, Currency());
    EXPECT_EQ(open(statement("QRY_CUD_INPS_IMP_ACC"), acc)->value("TOTALE").toCurrency(), expectedAcc);
    // Callers append conditions on the register.
    EXPECT_EQ(open(statement("QRY_CUD_INPS_IMP_ACC") + " AND NOT REGS.ITNOID IN (11,10,14,15)", acc)
                  ->value("TOTALE")
                  .toCurrency(),
              expectedAcc);
    acc[4] = {"IVARMRIRPID", 4};
    EXPECT_EQ(open(statement("QRY_CUD_INPS_IMP_ACC"), acc)->value("TOTALE").toCurrency(), Currency());
}

TEST_F(ArchiveStatementsOnDemo, PerformingArtsFundData)
{
    const int acom =
        scalar("SELECT FIRST 1 IACOMID FROM TACOM_COMPENSI WHERE IACOMSOGGENPALS > 0 AND IANFID = 55").toInt();
    ASSERT_GT(acom, 0);
    EXPECT_EQ(open(statement("QRY_ENPA", "SELECT"), {{"IACOMID", acom}})->value("IENPANUMRETRIBUZIONI").toInt(), 12);
    auto year = open(statement("QRY_ENPM_ANNUALE"), {{"IANFID", 55}});
    ASSERT_FALSE(year->eof());
    EXPECT_GT(year->value("FENPMMASSIMALE").toCurrency(), year->value("FENPMCONTRAGGDA").toCurrency());
    auto day = open(statement("QRY_ENPM_GIORNO"), {{"IANFID", 55}, {"IMPONIBILE", Currency::fromInt(150)}});
    ASSERT_FALSE(day->eof());
    EXPECT_LT(day->value("FENPMMASSIMALE").toCurrency(), Currency::fromInt(1000));
    auto minimum = open(statement("QRY_RICA_MIN_ENPALS"), {{"RICE_COD_ENPALS", 17}, {"ITNOID", 15}, {"IANFID", 55}});
    ASSERT_FALSE(minimum->eof());
    EXPECT_GT(minimum->value("FRICAMINIMALE").toCurrency(), Currency());
    EXPECT_TRUE(
        open(statement("QRY_RICA_MIN_ENPALS"), {{"RICE_COD_ENPALS", 17}, {"ITNOID", 1}, {"IANFID", 55}})->eof());
}

TEST_F(ArchiveStatementsOnDemo, ReportGroupsAreRegisteredOnceHoweverOftenTheArchiveOpens)
{
    // Registered again as they are, the rows are not written again: every
    // workstation registers them at each opening, and a write would collide
    // with another workstation's opening at the same time.
    const auto versioni = [&] {
        return scalar("SELECT (SELECT RDB$RECORD_VERSION FROM TYRFO_CARTELLE WHERE IYRFOID = 11006) || '/' || "
                      "(SELECT RDB$RECORD_VERSION FROM TYAPVRFO_APPCARTELLE WHERE IYAPVRFOID = 11006) "
                      "FROM RDB$DATABASE")
            .toString();
    };
    QString prima;
    for (int i = 0; i < 2; ++i) {
        platform::SqlQuery q(db());
        q.setSql(statement("QRY_YAPVRFO"));
        q.bind("IYAPVRFOID", 11006).bind("IYAPPID", 11);
        q.execSQL();
        q.setSql(statement("QRY_YRFO"));
        q.bind("IYRFOID", 11006).bind("IYRFOID_P", 11001).bind("SYRFODESC", "Registro compensi");
        q.execSQL();
        if (i == 0)
            prima = versioni();
    }
    EXPECT_EQ(versioni(), prima);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TYRFO_CARTELLE WHERE IYRFOID = 11006 AND IYRFOID_P = 11001 AND "
                     "SYRFODESC = 'Registro compensi'")
                  .toInt(),
              1);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TYAPVRFO_APPCARTELLE WHERE IYAPVRFOID = 11006 AND IYAPPID = 11").toInt(), 1);
}

TEST_F(ArchiveStatementsOnDemo, ReportLayoutsAreWrittenByVersion)
{
    auto write = [&](const QString &flag, int version, const QByteArray &layout) {
        platform::SqlQuery q(db());
        q.setSql(platform::format(statement("QRY_YRPT"), flag));
        q.bind("IYRFOID", 11006).bind("SYRPTDESC", "Registro compensi").bind("IYRPTVERSION", version);
        q.bind("SYRPTNOTE", Value::null()).bind("BYRPTREPORT", layout).bind("BYRPTVAR", QByteArray("v"));
        q.bind("IYRPTID", 700);
        q.execSQL();
    };
    auto stored = [&] {
        auto q = open("SELECT IYRPTVERSION, BYRPTREPORT FROM TYRPT_REPORT WHERE IYRPTID = 700", {});
        return std::make_pair(q->value(0).toInt(), q->value(1).toBytes());
    };
    write("", 3, QByteArray("layout 3\x00\x01", 10)); // a new report is written
    EXPECT_EQ(stored(), std::make_pair(3, QByteArray("layout 3\x00\x01", 10)));
    write("", 3, "other 3"); // the same version is kept ...
    EXPECT_EQ(stored().second, QByteArray("layout 3\x00\x01", 10));
    write("=", 3, "forced 3"); // ... unless the flag asks to rewrite it
    EXPECT_EQ(stored().second, QByteArray("forced 3"));
    write("", 4, "layout 4"); // a newer version replaces it
    EXPECT_EQ(stored(), std::make_pair(4, QByteArray("layout 4")));
    write("=", 2, "layout 2"); // an older one never does
    EXPECT_EQ(stored(), std::make_pair(4, QByteArray("layout 4")));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM TYRPT_REPORT WHERE IYRPTID = 700").toInt(), 1);
}
