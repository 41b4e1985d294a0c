// The base calculator, the year rule objects and the performing-arts
// calculator on rows held in memory.
#include "tovUCalcoli.h"

#include "CaseName.h"
#include "DataSet.h"
#include "Database.h"
#include "Exceptions.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <utility>

using platform::Currency;
using platform::DataSet;
using platform::FieldType;
using platform::Value;

namespace {

Currency C(const char *text)
{
    return Currency::fromString(QString::fromLatin1(text));
}

// One record with the given columns: names starting with F are amounts,
// the others integers. Values given as text are amounts, others integers;
// a Null value leaves the field empty.
struct Col {
    const char *name;
    Value value;
};

void makeRow(DataSet &ds, std::initializer_list<Col> cols)
{
    for (const Col &c : cols) {
        const bool isAmount = c.name[0] == 'F';
        ds.addFieldDef(QLatin1String(c.name), isAmount ? FieldType::Currency : FieldType::Integer);
    }
    ds.createDataSet();
    ds.append();
    for (const Col &c : cols) {
        if (c.value.isNull())
            continue;
        ds.fieldByName(QLatin1String(c.name)).setValue(c.value);
    }
    ds.post();
}

Currency amountOf(const DataSet &ds, const char *field)
{
    return ds.fieldByName(QLatin1String(field)).asCurrency();
}

// Withholding rows with every column the calculator reads.
void withholdingDefs(DataSet &ds)
{
    for (const char *name :
         {"IRICEID", "IRICENUBRACODE", "ITVCOCODDIP", "ITVCOCODAMM", "ITVCOIDDIP", "IFPCID", "LVARRMINIMALEAPPL"})
        ds.addFieldDef(QLatin1String(name), FieldType::Integer);
    for (const char *name : {"FVARRIMPONIBILE", "FVARRIMPONIBILEDIP", "FVARRIMPONIBILEAMM", "FVARRALIQUOTADIP",
                             "FVARRALIQUOTAAMM", "FVARRRITDIP", "FVARRRITAMM", "FVARRPERCIMPDIP", "FVARRPERCIMPAMM"})
        ds.addFieldDef(QLatin1String(name), FieldType::Currency);
    ds.createDataSet();
}

void appendWithholding(DataSet &ds, int riceId, const char *taxable, const char *rateDip, const char *rateAmm)
{
    ds.append();
    for (const char *name : {"IRICENUBRACODE", "ITVCOCODDIP", "ITVCOCODAMM", "ITVCOIDDIP", "LVARRMINIMALEAPPL"})
        ds.setFieldValue(QLatin1String(name), 0);
    ds.setFieldValue(QStringLiteral("IRICEID"), riceId);
    for (const char *name : {"FVARRIMPONIBILE", "FVARRIMPONIBILEDIP", "FVARRIMPONIBILEAMM"})
        ds.setFieldValue(QLatin1String(name), C(taxable));
    ds.setFieldValue(QStringLiteral("FVARRALIQUOTADIP"), C(rateDip));
    ds.setFieldValue(QStringLiteral("FVARRALIQUOTAAMM"), C(rateAmm));
    ds.setFieldValue(QStringLiteral("FVARRRITDIP"), C("0"));
    ds.setFieldValue(QStringLiteral("FVARRRITAMM"), C("0"));
    ds.setFieldValue(QStringLiteral("FVARRPERCIMPDIP"), C("100"));
    ds.setFieldValue(QStringLiteral("FVARRPERCIMPAMM"), C("100"));
    ds.post();
}

void makeWithholding(DataSet &ds, int riceId, const char *taxable, const char *rateDip, const char *rateAmm)
{
    withholdingDefs(ds);
    appendWithholding(ds, riceId, taxable, rateDip, rateAmm);
}

void makeCompensation(DataSet &ds, int tnoId, int soggEnpals = 0)
{
    makeRow(ds, {{"IACOMID", 1},
                 {"IANFID", 55},
                 {"ITNOID", tnoId},
                 {"IACOMSOGGENPALS", soggEnpals},
                 {"IACOMREGIMEPOST95", 1},
                 {"FACOMADDIRPEFCOM", C("0.8")},
                 {"FACOMADDIRPEFPRO", C("0.5")},
                 {"FACOMADDIRPEFREG", C("1.73")}});
}

// Restores the base year rule after a test that selects a year.
struct YearRuleGuard {
    ~YearRuleGuard() { TTovCalcolaAnno::SelezionaAnno(2022); }
};

// ---- rounding ---------------------------------------------------------------

struct RoundCase {
    int decimals;
    const char *value;
    const char *expected;
};

void PrintTo(const RoundCase &c, std::ostream *os)
{
    *os << c.value << " at " << c.decimals;
}

class Arrotonda : public ::testing::TestWithParam<RoundCase> {};

TEST_P(Arrotonda, HalfAwayFromZeroOnTheFourDecimalValue)
{
    const RoundCase &c = GetParam();
    EXPECT_EQ(TTovCalcola::Arrotonda(c.decimals, C(c.value)), C(c.expected))
        << c.value << " at " << c.decimals << " decimals";
}

INSTANTIATE_TEST_SUITE_P(Cases, Arrotonda,
                         ::testing::Values(RoundCase{2, "0.445", "0.45"}, RoundCase{2, "-0.445", "-0.45"},
                                           RoundCase{2, "0.4449", "0.44"}, RoundCase{2, "0.455", "0.46"},
                                           RoundCase{2, "-0.4449", "-0.44"}, RoundCase{0, "2.5", "3"},
                                           RoundCase{0, "3.5", "4"}, RoundCase{0, "-2.5", "-3"},
                                           RoundCase{0, "2.4999", "2"}, RoundCase{1, "0.05", "0.1"},
                                           RoundCase{3, "1.0005", "1.001"}, RoundCase{4, "1.2345", "1.2345"},
                                           RoundCase{4, "-0.0001", "-0.0001"}, RoundCase{2, "0.005", "0.01"},
                                           RoundCase{2, "-0.005", "-0.01"}, RoundCase{2, "0.0049", "0"}),
                         CaseName());

TEST(ArrotondaLimits, DecimalsOutsideZeroToFourAreRefused)
{
    EXPECT_THROW(TTovCalcola::Arrotonda(5, C("1")), platform::EConvertError);
    EXPECT_THROW(TTovCalcola::Arrotonda(-1, C("1")), platform::EConvertError);
}

// ---- percentages ------------------------------------------------------------

TEST(Percentuale, HundredReturnsTheValueUntouched)
{
    for (const char *v : {"0.0001", "-12.3456", "999999999.9999", "0"}) {
        EXPECT_EQ(TTovCalcola::Percentuale(C(v), 100.0).raw(), C(v).raw());
        EXPECT_EQ(TTovCalcola::Percentuale(C(v), C("100")).raw(), C(v).raw());
    }
}

TEST(Percentuale, ExactAtFourDecimalsWithTiesAwayFromZero)
{
    // 1234.56 x 9.89 % = 122.097984
    EXPECT_EQ(TTovCalcola::Percentuale(C("1234.56"), 9.89), C("122.098"));
    // 0.0001 x 50 % = 0.00005: a tie at the fifth decimal goes up.
    EXPECT_EQ(TTovCalcola::Percentuale(C("0.0001"), 50.0), C("0.0001"));
    EXPECT_EQ(TTovCalcola::Percentuale(C("-0.0001"), 50.0), C("-0.0001"));
    EXPECT_EQ(TTovCalcola::Percentuale(C("0.0003"), 50.0), C("0.0002"));
    EXPECT_EQ(TTovCalcola::Percentuale(C("1000"), 22.5), C("225"));
    EXPECT_EQ(TTovCalcola::Percentuale(C("1000"), -10.0), C("-100"));
}

TEST(Percentuale, ADoubleRateIsTheDecimalItWasWrittenAs)
{
    // 0.29 is 0.28999999999999998 as a binary double: taken as 0.29, the
    // product 0.145 % of 50 is a tie and goes away from zero.
    EXPECT_EQ(TTovCalcola::Percentuale(C("50"), 0.29), C("0.145"));
    EXPECT_EQ(TTovCalcola::PercentualeArrotondata(2, C("50"), 0.29), C("0.15"));
    EXPECT_EQ(TTovCalcola::Percentuale(C("1234.56"), 9.89), TTovCalcola::Percentuale(C("1234.56"), C("9.89")));
    EXPECT_EQ(TTovCalcola::Percentuale(C("3"), 33.333), C("1"));
}

TEST(Percentuale, RoundedToCents)
{
    EXPECT_EQ(TTovCalcola::PercentualeArrotondata(2, C("1000"), 9.19), C("91.9"));
    EXPECT_EQ(TTovCalcola::PercentualeArrotondata(2, C("1234.57"), C("23.81")), C("293.95"));
    EXPECT_EQ(TTovCalcola::PercentualeArrotondata(0, C("10"), 25.0), C("3"));
}

TEST(DifferenzaPositiva, NeverBelowZero)
{
    EXPECT_EQ(TTovCalcola::DifferenzaPositiva(C("5"), C("7")), C("0"));
    EXPECT_EQ(TTovCalcola::DifferenzaPositiva(C("7"), C("5")), C("2"));
    EXPECT_EQ(TTovCalcola::DifferenzaPositiva(C("5"), C("5")), C("0"));
    EXPECT_EQ(TTovCalcola::DifferenzaPositiva(C("-1"), C("-3")), C("2"));
}

TEST(ArrotondaPerEccesso, TowardsPlusInfinity)
{
    EXPECT_EQ(TTovCalcola::ArrotondaPerEccesso(0, C("10.0001")), 11);
    EXPECT_EQ(TTovCalcola::ArrotondaPerEccesso(0, C("10")), 10);
    EXPECT_EQ(TTovCalcola::ArrotondaPerEccesso(0, C("0")), 0);
    EXPECT_EQ(TTovCalcola::ArrotondaPerEccesso(0, C("-10.5")), -10);
    EXPECT_EQ(TTovCalcola::ArrotondaPerEccesso(0, C("-0.9999")), 0);
    EXPECT_EQ(TTovCalcola::ArrotondaPerEccesso(2, C("1201")), 1300);
    EXPECT_EQ(TTovCalcola::ArrotondaPerEccesso(2, C("1200")), 1200);
    EXPECT_EQ(TTovCalcola::ArrotondaPerEccesso(1, C("-15")), -10);
    EXPECT_THROW(TTovCalcola::ArrotondaPerEccesso(-1, C("1")), platform::EAssertionFailed);
}

// ---- relationship types -----------------------------------------------------

TEST(RelationshipTypes, Sets)
{
    for (int t = 0; t <= 20; ++t) {
        const bool nonStip = t == 10 || t == 11 || t == 14 || t == 15;
        EXPECT_EQ(TTovCalcola::TnoNonStipendio(t), nonStip) << t;
        EXPECT_EQ(TTovCalcola::TnoNonScomputabile(t), nonStip && t != 11) << t;
        EXPECT_EQ(TTovCalcola::IdTnoRipartita(t), t == 11 || t == 15) << t;
    }
    DataSet comp;
    makeCompensation(comp, 15);
    EXPECT_TRUE(TTovCalcola::TnoRipartita(comp));
}

TEST(RelationshipTypes, SqlListsInTheirOrder)
{
    EXPECT_EQ(TTovCalcola::TnoRipartiteSql(), QStringLiteral("11,15"));
    EXPECT_EQ(TTovCalcola::TnoNonStipendioSql(), QStringLiteral("11,10,14,15"));
}

// ---- withholding applicability -----------------------------------------------

void makeRates(DataSet &rates, std::initializer_list<int> riceIds)
{
    rates.addFieldDef(QStringLiteral("IRICEID"), FieldType::Integer);
    rates.addFieldDef(QStringLiteral("FRICAALIQUOTADIP"), FieldType::Currency);
    rates.createDataSet();
    for (int id : riceIds)
        rates.appendRecord({Value(id), Value(Currency::fromInt(id))});
    rates.first();
}

TEST(RitenutaApplicabile, Retention18IsNeverApplicable)
{
    DataSet row, rates;
    makeWithholding(row, 18, "100", "1", "1");
    row.edit();
    row.setFieldValue(QStringLiteral("ITVCOCODDIP"), 3);
    row.setFieldValue(QStringLiteral("IFPCID"), 7);
    row.post();
    makeRates(rates, {18, 3});
    EXPECT_FALSE(TTovCalcola::RitenutaApplicabile(row, rates));
}

TEST(RitenutaApplicabile, ContributionKind3AndPensionFundsAlwaysApply)
{
    DataSet rates;
    makeRates(rates, {});
    {
        DataSet row;
        makeWithholding(row, 7, "100", "1", "1");
        row.edit();
        row.setFieldValue(QStringLiteral("ITVCOCODDIP"), 3);
        row.post();
        EXPECT_TRUE(TTovCalcola::RitenutaApplicabile(row, rates));
    }
    {
        DataSet row;
        makeWithholding(row, 7, "100", "1", "1");
        EXPECT_FALSE(TTovCalcola::RitenutaApplicabile(row, rates));
        EXPECT_FALSE(TTovCalcola::HaFondoPensione(row));
        row.edit();
        row.setFieldValue(QStringLiteral("IFPCID"), 4);
        row.post();
        EXPECT_TRUE(TTovCalcola::HaFondoPensione(row));
        EXPECT_TRUE(TTovCalcola::RitenutaApplicabile(row, rates));
    }
}

TEST(RitenutaApplicabile, PartTimeFallsBackToFullTimeRates)
{
    DataSet rates;
    makeRates(rates, {2, 3, 7});
    DataSet pt;
    makeWithholding(pt, 13, "100", "1", "1");
    EXPECT_TRUE(TTovCalcola::RitenutaApplicabile(pt, rates));
    // The rate set stands on the row found.
    EXPECT_EQ(rates.fieldByName(QStringLiteral("IRICEID")).asInteger(), 3);

    DataSet rates13;
    makeRates(rates13, {13});
    DataSet full;
    makeWithholding(full, 3, "100", "1", "1");
    EXPECT_FALSE(TTovCalcola::RitenutaApplicabile(full, rates13));

    DataSet other;
    makeWithholding(other, 7, "100", "1", "1");
    EXPECT_TRUE(TTovCalcola::RitenutaApplicabile(other, rates));
    EXPECT_EQ(rates.fieldByName(QStringLiteral("IRICEID")).asInteger(), 7);
}

TEST(TvcoSpeciale, EmployeeCode2OrAdministrationCode6)
{
    DataSet row;
    makeWithholding(row, 7, "100", "1", "1");
    EXPECT_FALSE(TTovCalcola::TvcoSpeciale(row));
    row.edit();
    row.setFieldValue(QStringLiteral("ITVCOCODDIP"), 2);
    EXPECT_TRUE(TTovCalcola::TvcoSpeciale(row));
    row.setFieldValue(QStringLiteral("ITVCOCODDIP"), 3);
    row.setFieldValue(QStringLiteral("ITVCOCODAMM"), 6);
    EXPECT_TRUE(TTovCalcola::TvcoSpeciale(row));
    row.setFieldValue(QStringLiteral("ITVCOCODAMM"), 5);
    EXPECT_FALSE(TTovCalcola::TvcoSpeciale(row));
    row.cancel();
}

// ---- reduced hours ------------------------------------------------------------

TEST(OrarioRidotto, ServiceMinutesAgainstFullHours)
{
    DataSet row;
    makeRow(row, {{"IASTIORESERVIZIO", 36 * 60}, {"LASTICATTEDRA", 0}});
    EXPECT_FALSE(TTovCalcola::OrarioRidotto(row, QStringLiteral("ASTI"), 36));
    EXPECT_TRUE(TTovCalcola::OrarioRidotto(row, QStringLiteral("ASTI"), 38));
    row.edit();
    row.setFieldValue(QStringLiteral("LASTICATTEDRA"), 1);
    row.post();
    // A full chair is never reduced.
    EXPECT_FALSE(TTovCalcola::OrarioRidotto(row, QStringLiteral("ASTI"), 38));

    // Without a chair flag, the flag counts as not set.
    DataSet noChair;
    makeRow(noChair, {{"IVAPEORESERVIZIO", 600}});
    EXPECT_TRUE(TTovCalcola::OrarioRidotto(noChair, QStringLiteral("VAPE"), 36));

    // The effective minutes, when present, win over the prefix's field.
    DataSet eff;
    makeRow(eff, {{"ORARIO_EFF", 36 * 60}, {"IASTIORESERVIZIO", 600}});
    EXPECT_FALSE(TTovCalcola::OrarioRidotto(eff, QStringLiteral("ASTI"), 36));

    DataSet missing;
    makeRow(missing, {{"LASTICATTEDRA", 0}});
    EXPECT_THROW(TTovCalcola::OrarioRidotto(missing, QStringLiteral("ASTI"), 36), platform::EDataSetError);
}

TEST(OrarioRidotto, AidCodes3And4AcceptMoreThanFullHours)
{
    DataSet row;
    makeRow(row, {{"IASTIORESERVIZIO", 40 * 60}});
    EXPECT_TRUE(TTovCalcola::OrarioRidottoAsti(row, QStringLiteral("ASTI"), 36, 1));
    EXPECT_FALSE(TTovCalcola::OrarioRidottoAsti(row, QStringLiteral("ASTI"), 36, 3));
    EXPECT_FALSE(TTovCalcola::OrarioRidottoAsti(row, QStringLiteral("ASTI"), 36, 4));
    EXPECT_TRUE(TTovCalcola::OrarioRidottoAsti(row, QStringLiteral("ASTI"), 41, 4));
    EXPECT_FALSE(TTovCalcola::OrarioRidottoAsti(row, QStringLiteral("ASTI"), 40, 1));
}

// ---- add-on rates --------------------------------------------------------------

TEST(AliquotaAddizionale, ByClassificationCode)
{
    DataSet comp;
    makeCompensation(comp, 1);
    const std::pair<int, const char *> cases[] = {{8, "0.8"}, {9, "0.5"}, {10, "1.73"}};
    for (const auto &[code, rate] : cases) {
        DataSet row;
        makeWithholding(row, 20, "100", "9", "4");
        row.edit();
        row.setFieldValue(QStringLiteral("IRICENUBRACODE"), code);
        row.setFieldValue(QStringLiteral("ITVCOIDDIP"), 5);
        TTovCalcola::AliquotaAddizionale(row, comp);
        EXPECT_EQ(amountOf(row, "FVARRALIQUOTADIP"), C(rate)) << code;
        EXPECT_EQ(amountOf(row, "FVARRALIQUOTAAMM"), C("0")) << code;
        row.post();
    }
    // Without an employee contribution kind, or another code, nothing changes.
    for (const auto &[kind, code] : {std::pair{0, 8}, std::pair{5, 7}}) {
        DataSet row;
        makeWithholding(row, 20, "100", "9", "4");
        row.edit();
        row.setFieldValue(QStringLiteral("IRICENUBRACODE"), code);
        row.setFieldValue(QStringLiteral("ITVCOIDDIP"), kind);
        TTovCalcola::AliquotaAddizionale(row, comp);
        EXPECT_EQ(amountOf(row, "FVARRALIQUOTADIP"), C("9"));
        EXPECT_EQ(amountOf(row, "FVARRALIQUOTAAMM"), C("4"));
        row.cancel();
    }
}

// ---- withholding computation -----------------------------------------------------

TEST(CalcolaRitenuta, PlainRowAndRunningCredit)
{
    DataSet comp;
    makeCompensation(comp, 1);
    DataSet row;
    makeWithholding(row, 3, "1000", "9.19", "23.81");
    row.edit();
    Currency credit = C("100");
    TTovCalcola::CalcolaRitenuta(row, comp, credit, true, C("0"));
    EXPECT_EQ(amountOf(row, "FVARRRITDIP"), C("91.9"));
    EXPECT_EQ(amountOf(row, "FVARRRITAMM"), C("238.1"));
    EXPECT_EQ(credit, C("8.1"));
    // A second withholding larger than the credit leaves it at 0.
    TTovCalcola::CalcolaRitenuta(row, comp, credit, true, C("0"));
    EXPECT_EQ(credit, C("0"));
    row.post();
}

TEST(CalcolaRitenuta, CreditOfNonDeductibleRelationshipsIsKept)
{
    for (int tno : {10, 14, 15}) {
        DataSet comp;
        makeCompensation(comp, tno);
        DataSet row;
        makeWithholding(row, 20, "1000", "10", "0");
        row.edit();
        Currency credit = C("500");
        TTovCalcola::CalcolaRitenuta(row, comp, credit, true, C("0"));
        EXPECT_EQ(amountOf(row, "FVARRRITDIP"), C("100"));
        EXPECT_EQ(credit, C("500")) << tno;
        row.cancel();
    }
    // Without ReduceCredit nothing changes either.
    DataSet comp;
    makeCompensation(comp, 1);
    DataSet row;
    makeWithholding(row, 20, "1000", "10", "0");
    row.edit();
    Currency credit = C("500");
    TTovCalcola::CalcolaRitenuta(row, comp, credit, false, C("0"));
    EXPECT_EQ(credit, C("500"));
    row.cancel();
}

// "FIELD=amount ..." as pairs.
QList<std::pair<QString, Currency>> amounts(const char *text)
{
    QList<std::pair<QString, Currency>> out;
    for (const QString &pair : QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out.append({pair.section(QLatin1Char('='), 0, 0), Currency::fromString(pair.section(QLatin1Char('='), 1))});
    return out;
}

// One withholding row calculated without credit: the relationship and its
// fund subjection, the row (retention, taxable, employee and administration
// rates, "FIELD=amount" set before), the Taxable argument, and the row's
// "FIELD=amount" after.
struct RowCase {
    const char *name;
    int tno;
    int soggEnpals;
    int riceId;
    const char *taxable;
    const char *rateDip;
    const char *rateAmm;
    const char *before;
    const char *taxableArg;
    const char *expected;
};

void PrintTo(const RowCase &c, std::ostream *os)
{
    *os << c.name;
}

class RowWithholding : public ::testing::TestWithParam<RowCase> {};

TEST_P(RowWithholding, TheRowsSidesAfterTheCalculation)
{
    const RowCase &c = GetParam();
    ASSERT_EQ(TovCalcolaEnpals(), nullptr) << "no performing-arts calculator installed";
    DataSet comp;
    makeCompensation(comp, c.tno, c.soggEnpals);
    DataSet row;
    makeWithholding(row, c.riceId, c.taxable, c.rateDip, c.rateAmm);
    row.edit();
    for (const auto &[field, amount] : amounts(c.before))
        row.setFieldValue(field, amount);
    Currency credit;
    TTovCalcola::CalcolaRitenuta(row, comp, credit, false, C(c.taxableArg));
    for (const auto &[field, amount] : amounts(c.expected))
        EXPECT_EQ(row.fieldByName(field).asCurrency().toString().toStdString(), amount.toString().toStdString())
            << field.toStdString();
    row.post();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RowWithholding,
    ::testing::Values(
        RowCase{"AZeroSideLosesItsTaxableAndShare", 1, 0, 3, "1000", "0", "23.81", "", "0",
                "FVARRRITDIP=0 FVARRIMPONIBILEDIP=0 FVARRPERCIMPDIP=0 FVARRIMPONIBILEAMM=1000 FVARRPERCIMPAMM=100"},
        // Split rows, one third employee and two thirds administration, at
        // the administration's rate. Collaborator (11): the row's own taxable.
        RowCase{"SplitCollaboratorOnTheRowsTaxable", 11, 0, 3, "1000", "5", "33.72", "", "2000",
                "FVARRALIQUOTADIP=33.72 FVARRIMPONIBILEDIP=1000 FVARRIMPONIBILEAMM=1000 FVARRRITDIP=112.4 "
                "FVARRRITAMM=224.8 FVARRPERCIMPDIP=33.333 FVARRPERCIMPAMM=66.666"},
        // 1234.57 x 33.72 % = 416.297004 -> 416.2970; cents 416.30 / 3 =
        // 138.7667 -> 138.77; the administration keeps four decimals.
        RowCase{"SplitAdministrationKeepsFourDecimals", 11, 0, 3, "1234.57", "5", "33.72", "", "0",
                "FVARRALIQUOTADIP=33.72 FVARRIMPONIBILEDIP=1234.57 FVARRIMPONIBILEAMM=1234.57 FVARRRITDIP=138.77 "
                "FVARRRITAMM=277.527 FVARRPERCIMPDIP=33.333 FVARRPERCIMPAMM=66.666"},
        // Type 15: the Taxable argument.
        RowCase{"SplitType15OnTheTaxableArgument", 15, 0, 3, "1000", "5", "33.72", "", "2000",
                "FVARRALIQUOTADIP=33.72 FVARRIMPONIBILEDIP=2000 FVARRIMPONIBILEAMM=2000 FVARRRITDIP=224.8 "
                "FVARRRITAMM=449.6 FVARRPERCIMPDIP=33.333 FVARRPERCIMPAMM=66.666"},
        // Retention 4: a 1 % surcharge on the row's own taxable.
        // 1000 x 10 % = 100; x 101 % = 101; 101 / 3 = 33.6667 -> 33.67.
        RowCase{"SplitRetention4WithItsSurcharge", 15, 0, 4, "1000", "5", "10", "", "2000",
                "FVARRALIQUOTADIP=10 FVARRIMPONIBILEDIP=1000 FVARRIMPONIBILEAMM=1000 FVARRRITDIP=33.67 "
                "FVARRRITAMM=67.33 FVARRPERCIMPDIP=33.333 FVARRPERCIMPAMM=66.666"},
        // Taxable and withholding kept; the administration side had no
        // withholding and is cleared.
        RowCase{"SplitRowWithAdministrationRateZero", 11, 0, 3, "1000", "5", "0",
                "FVARRRITDIP=7 FVARRIMPONIBILEDIP=800", "0",
                "FVARRALIQUOTADIP=0 FVARRIMPONIBILEDIP=800 FVARRRITDIP=7 FVARRIMPONIBILEAMM=0 FVARRPERCIMPAMM=0"},
        RowCase{"SplitRelationshipOnOtherRetentionsIsPlain", 11, 0, 13, "1000", "9.19", "23.81", "", "0",
                "FVARRRITDIP=91.9 FVARRRITAMM=238.1 FVARRPERCIMPDIP=100"},
        RowCase{"PerformingArtsRowWithoutCalculatorKeepsItsPercentage", 1, 2, 17, "1000", "9.19", "23.81", "", "0",
                "FVARRRITDIP=91.9 FVARRRITAMM=238.1"}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- taxable by kind -------------------------------------------------------------

TEST(ImpostaImponibile, KindSelectsTheRetention)
{
    const std::pair<int, int> cases[] = {{4, 12}, {3, 11}, {1, 7}, {2, 7}};
    for (const auto &[kind, riceId] : cases) {
        DataSet rows;
        withholdingDefs(rows);
        for (int id : {7, 11, 12})
            appendWithholding(rows, id, "0", "0", "0");
        TTovCalcola::ImpostaImponibile(rows, kind, C("321.5"));
        EXPECT_EQ(rows.state(), platform::DataSetState::Browse);
        for (rows.first(); !rows.eof(); rows.next()) {
            const bool target = rows.fieldByName(QStringLiteral("IRICEID")).asInteger() == riceId;
            EXPECT_EQ(amountOf(rows, "FVARRIMPONIBILE"), target ? C("321.5") : C("0")) << kind;
            EXPECT_EQ(amountOf(rows, "FVARRIMPONIBILEDIP"), target ? C("321.5") : C("0")) << kind;
        }
    }
}

TEST(ImpostaImponibile, OtherKindsAndMissingRowsDoNothing)
{
    DataSet rows;
    makeWithholding(rows, 7, "5", "0", "0");
    TTovCalcola::ImpostaImponibile(rows, 5, C("321.5"));
    TTovCalcola::ImpostaImponibile(rows, 4, C("321.5")); // no row 12
    EXPECT_EQ(amountOf(rows, "FVARRIMPONIBILE"), C("5"));
    EXPECT_EQ(amountOf(rows, "FVARRIMPONIBILEDIP"), C("5"));
    EXPECT_EQ(rows.state(), platform::DataSetState::Browse);
}

// ---- contract amounts ----------------------------------------------------------------

// CCNL rows (FCCNAPERC, IQARID, ICOMRID, FCCNLIMPORTO); the cursor ends on
// the first row.
void makeCcnl(DataSet &ccnl, std::initializer_list<std::tuple<const char *, int, int, const char *>> rows)
{
    ccnl.addFieldDef(QStringLiteral("FCCNAPERC"), FieldType::Currency);
    ccnl.addFieldDef(QStringLiteral("IQARID"), FieldType::Integer);
    ccnl.addFieldDef(QStringLiteral("ICOMRID"), FieldType::Integer);
    ccnl.addFieldDef(QStringLiteral("FCCNLIMPORTO"), FieldType::Currency);
    ccnl.createDataSet();
    for (const auto &[perc, qar, comr, importo] : rows)
        ccnl.appendRecord({Value(C(perc)), Value(qar), Value(comr), Value(C(importo))});
    ccnl.first();
}

TEST(ImportoCcnl, PercentOfTheMonthlySumOfTheBaseItems)
{
    YearRuleGuard guard;
    TTovCalcolaAnno::SelezionaAnno(2022);
    DataSet ccnl;
    // 1000.00 / 12 = 83.3333 -> 83.33; 37.5 % = 31.24875 -> 31.25.
    makeCcnl(ccnl, {{"37.5", 1, 10001, "600"}, {"0", 1, 10002, "400"}, {"0", 2, 10001, "9000"}});
    EXPECT_EQ(TTovCalcola::ImportoCcnl(ccnl, 1, false, 10049), C("31.25"));
    ccnl.first();
    EXPECT_EQ(TTovCalcola::ImportoCcnl(ccnl, 1, true, 10049), C("375"));
    // The percentage is the current record's, even when it is another
    // qualification's row.
    ccnl.last();
    EXPECT_EQ(TTovCalcola::ImportoCcnl(ccnl, 1, false, 10049), C("0"));
}

TEST(ImportoCcnl, MissingItemsAddNothing)
{
    DataSet ccnl;
    makeCcnl(ccnl, {{"100", 3, 10001, "1200"}});
    EXPECT_EQ(TTovCalcola::ImportoCcnl(ccnl, 3, false, 10049), C("100"));
    ccnl.first();
    EXPECT_EQ(TTovCalcola::ImportoCcnl(ccnl, 4, false, 10049), C("0"));
}

TEST(ImportoCcnl, Item10071AdjustedByTheYear)
{
    YearRuleGuard guard;
    DataSet ccnl;
    makeCcnl(ccnl, {{"100", 1, 10001, "1000"}, {"100", 1, 10002, "200"}});
    const std::pair<int, const char *> cases[] = {
        {2010, "100"}, {2022, "100"}, {2023, "100"}, {2024, "670"}, {2030, "670"}};
    for (const auto &[year, expected] : cases) {
        TTovCalcolaAnno::SelezionaAnno(year);
        ccnl.first();
        EXPECT_EQ(TTovCalcola::ImportoCcnl10071(ccnl, 1, false), C(expected)) << year;
        ccnl.first();
        EXPECT_EQ(TTovCalcola::ImportoCcnl10071(ccnl, 1, true), C(expected) * 12) << year;
        // Other items are never adjusted.
        ccnl.first();
        EXPECT_EQ(TTovCalcola::ImportoCcnl(ccnl, 1, false, 10049), C("100")) << year;
    }
}

TEST(QuotaCcnl, ZeroSumOrPercentGivesZero)
{
    EXPECT_EQ(TTovCalcola::QuotaCcnl(C("0"), C("50"), 10071, true), C("0"));
    EXPECT_EQ(TTovCalcola::QuotaCcnl(C("1200"), C("0"), 10071, true), C("0"));
}

// ---- year rule objects ----------------------------------------------------------

TEST(SelezionaAnno, ClassByYear)
{
    YearRuleGuard guard;
    // The rule object is there whatever has been selected.
    EXPECT_EQ(TovCalcolaAnno().EsoneriIvs(1, 1, 1, 53, 1), nullptr);

    TTovCalcolaAnno::SelezionaAnno(2022);
    EXPECT_EQ(dynamic_cast<TTovCalcolaAnno2023 *>(&TovCalcolaAnno()), nullptr);
    EXPECT_EQ(TovCalcolaAnno().Anno(), 0);

    TTovCalcolaAnno::SelezionaAnno(2023);
    auto *y2023 = dynamic_cast<TTovCalcolaAnno2023 *>(&TovCalcolaAnno());
    ASSERT_NE(y2023, nullptr);
    EXPECT_EQ(dynamic_cast<TTovCalcolaAnno2024 *>(y2023), nullptr);
    EXPECT_EQ(TovCalcolaAnno().Anno(), 2023);

    for (int year : {2024, 2025, 2031}) {
        TTovCalcolaAnno::SelezionaAnno(year);
        EXPECT_NE(dynamic_cast<TTovCalcolaAnno2024 *>(&TovCalcolaAnno()), nullptr) << year;
        EXPECT_EQ(TovCalcolaAnno().Anno(), year);
    }
}

TEST(AdeguaImportoCcnl, Times6Point7In2024)
{
    TTovCalcolaAnno base;
    TTovCalcolaAnno2023 y2023;
    TTovCalcolaAnno2024 y2024;
    const std::pair<const char *, const char *> cases[] = {
        {"100", "670"}, {"0.01", "0.07"}, {"33.33", "223.31"}, {"0.0075", "0.05"}, {"-1.5", "-10.05"}};
    for (const auto &[in, out] : cases) {
        Currency a = C(in), b = C(in), c = C(in);
        base.AdeguaImportoCcnl(a);
        y2023.AdeguaImportoCcnl(b);
        y2024.AdeguaImportoCcnl(c);
        EXPECT_EQ(a, C(in));
        EXPECT_EQ(b, C(in));
        EXPECT_EQ(c, C(out)) << in;
    }
}

TEST(AliquoteEnpals, FixedRates)
{
    double agg = 0, dip = 0, amm = 0;
    TTovCalcolaAnno::AliquoteEnpals(agg, dip, amm);
    EXPECT_EQ(agg, 1.0);
    EXPECT_EQ(dip, 2.5);
    EXPECT_EQ(amm, 2.5);
}

// ---- exemption split by year --------------------------------------------------------

void makeExemptionRow(DataSet &ds, const char *madri, const char *ritOi, const char *ritPt)
{
    for (const char *name : {"ESONERO_MADRI", "ESONERO", "IMPINPSOI", "RITINPSOI", "IMPINPSPT", "RITINPSPT",
                             "ESONERO_INPSOI", "ESONERO_INPSPT", "TAGLIO_STIP"})
        ds.addFieldDef(QLatin1String(name), FieldType::Currency);
    ds.createDataSet();
    ds.append();
    ds.setFieldValue(QStringLiteral("ESONERO_MADRI"), C(madri));
    ds.setFieldValue(QStringLiteral("ESONERO"), C(madri));
    ds.setFieldValue(QStringLiteral("IMPINPSOI"), C("1000"));
    ds.setFieldValue(QStringLiteral("RITINPSOI"), C(ritOi));
    ds.setFieldValue(QStringLiteral("IMPINPSPT"), C("800"));
    ds.setFieldValue(QStringLiteral("RITINPSPT"), C(ritPt));
    ds.setFieldValue(QStringLiteral("ESONERO_INPSOI"), C("0"));
    ds.setFieldValue(QStringLiteral("ESONERO_INPSPT"), C("0"));
}

TEST(EsoneroMadri, OnlyFrom2024)
{
    DataSet row;
    makeExemptionRow(row, "150", "100", "80");
    EXPECT_EQ(TTovCalcolaAnno2023().EsoneroMadri(row), C("0"));
    EXPECT_EQ(TTovCalcolaAnno2024().EsoneroMadri(row), C("150"));
    DataSet without;
    makeRow(without, {{"IREGSID", 1}});
    EXPECT_EQ(TTovCalcolaAnno2024().EsoneroMadri(without), C("0"));
}

TEST(RipartisciEsoneroInps2024, MothersExemptionOnFullTimeFirst)
{
    TTovCalcolaAnno2024 rule;
    {
        DataSet row;
        makeExemptionRow(row, "150", "100", "80");
        rule.RipartisciEsoneroInps(row, 0);
        EXPECT_EQ(amountOf(row, "ESONERO_INPSOI"), C("100"));
        EXPECT_EQ(amountOf(row, "ESONERO_INPSPT"), C("50"));
    }
    {
        DataSet row;
        makeExemptionRow(row, "60", "100", "80");
        rule.RipartisciEsoneroInps(row, 0);
        EXPECT_EQ(amountOf(row, "ESONERO_INPSOI"), C("60"));
        EXPECT_EQ(amountOf(row, "ESONERO_INPSPT"), C("0"));
    }
    {
        // Exactly the full-time withholding: nothing left for part time.
        DataSet row;
        makeExemptionRow(row, "100", "100", "0");
        rule.RipartisciEsoneroInps(row, 0);
        EXPECT_EQ(amountOf(row, "ESONERO_INPSOI"), C("100"));
        EXPECT_EQ(amountOf(row, "ESONERO_INPSPT"), C("0"));
    }
    {
        // The rest may equal the part-time withholding.
        DataSet row;
        makeExemptionRow(row, "130", "100", "30");
        rule.RipartisciEsoneroInps(row, 0);
        EXPECT_EQ(amountOf(row, "ESONERO_INPSPT"), C("30"));
    }
}

TEST(RipartisciEsoneroInps2024, RestAbovePartTimeWithholdingIsRefused)
{
    TTovCalcolaAnno2024 rule;
    DataSet row;
    makeExemptionRow(row, "150", "100", "30");
    try {
        rule.RipartisciEsoneroInps(row, 0);
        FAIL() << "no exception";
    } catch (const ETovCalcola &e) {
        EXPECT_EQ(e.message(), QStringLiteral("L'esonero non può superare la ritenuta"));
    }
}

// ---- performing-arts calculator on memory rows --------------------------------------

TEST(TTovCalcolaEnpalsClass, CategoryRatesAndFundSubjection)
{
    double dip = 0, amm = 0;
    EXPECT_TRUE(TTovCalcolaEnpals::AliquoteCategoria(2, dip, amm));
    EXPECT_EQ(dip, 9.89);
    EXPECT_EQ(amm, 25.81);
    dip = amm = -1;
    EXPECT_FALSE(TTovCalcolaEnpals::AliquoteCategoria(1, dip, amm));
    EXPECT_FALSE(TTovCalcolaEnpals::AliquoteCategoria(3, dip, amm));
    EXPECT_EQ(dip, -1);

    DataSet comp;
    makeCompensation(comp, 15, 2);
    EXPECT_EQ(TTovCalcolaEnpals::SoggettoEnpals(comp), 2);
}

TEST(TTovCalcolaEnpalsClass, TaxableFromContribution)
{
    EXPECT_EQ(TTovCalcolaEnpals::ImponibileDaContributo(C("98.9"), 9.89), C("1000"));
    EXPECT_EQ(TTovCalcolaEnpals::ImponibileDaContributo(C("98.9"), C("9.89")), C("1000"));
    EXPECT_EQ(TTovCalcolaEnpals::ImponibileDaContributo(C("5"), 1.0), C("500"));
    // 10 / 3 x 100 = 333.3333 -> 333.33
    EXPECT_EQ(TTovCalcolaEnpals::ImponibileDaContributo(C("10"), 3.0), C("333.33"));
    // 0.01 / 8 x 100 = 0.125 -> 0.13 (exact tie away from zero)
    EXPECT_EQ(TTovCalcolaEnpals::ImponibileDaContributo(C("0.01"), 8.0), C("0.13"));
    EXPECT_THROW(TTovCalcolaEnpals::ImponibileDaContributo(C("10"), 0.0), ETovCalcola);
    EXPECT_THROW(TTovCalcolaEnpals::ImponibileDaContributo(C("10"), C("0")), ETovCalcola);
}

TEST(TTovCalcolaEnpalsClass, ClearingASide)
{
    DataSet row;
    makeWithholding(row, 17, "1000", "9.19", "23.81");
    row.edit();
    row.setFieldValue(QStringLiteral("FVARRRITDIP"), C("91.9"));
    row.setFieldValue(QStringLiteral("FVARRRITAMM"), C("238.1"));
    TTovCalcolaEnpals::AzzeraDipendente(row);
    EXPECT_EQ(amountOf(row, "FVARRRITDIP"), C("0"));
    EXPECT_EQ(amountOf(row, "FVARRIMPONIBILEDIP"), C("0"));
    EXPECT_EQ(amountOf(row, "FVARRALIQUOTADIP"), C("0"));
    EXPECT_EQ(amountOf(row, "FVARRRITAMM"), C("238.1"));
    TTovCalcolaEnpals::AzzeraAmministrazione(row);
    EXPECT_EQ(amountOf(row, "FVARRRITAMM"), C("0"));
    EXPECT_EQ(amountOf(row, "FVARRIMPONIBILEAMM"), C("0"));
    EXPECT_EQ(amountOf(row, "FVARRALIQUOTAAMM"), C("0"));
    row.post();
}

// The fund's detail record and the person's pay items of the month.
struct EnpalsMemory {
    DataSet detail;
    DataSet items;
    platform::Database db; // never opened: relationship 14 runs no statement

    explicit EnpalsMemory(std::initializer_list<std::pair<int, const char *>> voci)
    {
        for (const char *name : {"FENPVCONTRIBUTODIP", "FENPVCONTRIBUTOAMM", "FENPVIMPONIBILEBASE",
                                 "FENPVIMPECCMASSSPET", "FENPVCONTRECCMASSSPETDIP", "FENPVCONTRECCMASSSPETAMM",
                                 "FENPVIMPONIBILECTRAGG", "FENPVCONTRIBAGGCORRENTE"})
            detail.addFieldDef(QLatin1String(name), FieldType::Currency);
        detail.createDataSet();
        detail.append();
        for (const auto &field : detail.fields())
            field->setAsCurrency(Currency());
        detail.post();
        items.addFieldDef(QStringLiteral("ICOMRID"), FieldType::Integer);
        items.addFieldDef(QStringLiteral("FVACRLORDO"), FieldType::Currency);
        items.createDataSet();
        for (const auto &[comr, lordo] : voci)
            items.appendRecord({Value(comr), Value(C(lordo))});
    }
    Currency operator[](const char *field) const { return amountOf(detail, field); }
};

TEST(EnpalsCalcola, NotSubjectOrOtherRelationship)
{
    EnpalsMemory m({{41, "98.9"}});
    TTovCalcolaEnpals calc(m.detail, m.items, m.db, 20);
    DataSet row;
    makeWithholding(row, 17, "1000", "9.89", "23.81");
    row.edit();
    row.setFieldValue(QStringLiteral("FVARRRITDIP"), C("98.9"));

    DataSet notSubject;
    makeCompensation(notSubject, 14, 0);
    calc.Calcola(row, notSubject);
    EXPECT_EQ(amountOf(row, "FVARRRITDIP"), C("98.9"));

    DataSet employee;
    makeCompensation(employee, 1, 2);
    try {
        calc.Calcola(row, employee);
        FAIL() << "no exception";
    } catch (const ETovCalcola &e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Solo i lavoratori autonomi possono essere assoggettati alla ritenuta ex ENPALS"));
    }
    // Without fund withholding the relationship is left alone.
    row.setFieldValue(QStringLiteral("FVARRRITDIP"), C("0"));
    EXPECT_NO_THROW(calc.Calcola(row, employee));
    row.cancel();
}

TEST(EnpalsCalcola, Relationship14WithoutContributionItemClearsTheRow)
{
    EnpalsMemory m({{41, "0"}, {69, "5"}});
    TTovCalcolaEnpals calc(m.detail, m.items, m.db, 20);
    DataSet comp;
    makeCompensation(comp, 14, 2);
    DataSet row;
    makeWithholding(row, 17, "1000", "9.89", "23.81");
    row.edit();
    row.setFieldValue(QStringLiteral("FVARRRITDIP"), C("98.9"));
    row.setFieldValue(QStringLiteral("FVARRRITAMM"), C("238.1"));
    calc.Calcola(row, comp);
    for (const char *f : {"FVARRRITDIP", "FVARRIMPONIBILEDIP", "FVARRALIQUOTADIP", "FVARRRITAMM", "FVARRIMPONIBILEAMM",
                          "FVARRALIQUOTAAMM"})
        EXPECT_EQ(amountOf(row, f), C("0")) << f;
    EXPECT_EQ(m.detail.state(), platform::DataSetState::Browse);
    EXPECT_EQ(m["FENPVCONTRIBAGGCORRENTE"], C("0"));
    row.cancel();
}

struct ToleranceCase {
    const char *rowTaxable;
    const char *expTaxable;
    const char *expRitAmm;
};

void PrintTo(const ToleranceCase &c, std::ostream *os)
{
    *os << "row taxable " << c.rowTaxable;
}

class EnpalsTolerance : public ::testing::TestWithParam<ToleranceCase> {};

TEST_P(EnpalsTolerance, TaxableFromContributionReplacesTheRowsBeyondHalfAEuro)
{
    const ToleranceCase &c = GetParam();
    EnpalsMemory m({{41, "98.9"}});
    TTovCalcolaEnpals calc(m.detail, m.items, m.db, 20);
    DataSet comp;
    makeCompensation(comp, 14, 2);
    DataSet row;
    makeWithholding(row, 17, c.rowTaxable, "9.89", "23.81");
    row.edit();
    row.setFieldValue(QStringLiteral("FVARRRITAMM"), C("111.11"));
    calc.Calcola(row, comp);
    EXPECT_EQ(amountOf(row, "FVARRIMPONIBILEAMM"), C(c.expTaxable));
    EXPECT_EQ(amountOf(row, "FVARRRITAMM"), C(c.expRitAmm));
    EXPECT_EQ(m["FENPVCONTRIBUTODIP"], C("98.9"));
    EXPECT_EQ(m["FENPVIMPONIBILEBASE"], C(c.expTaxable));
    EXPECT_EQ(m["FENPVCONTRIBUTOAMM"], C(c.expRitAmm));
    // The employee side is carried by the detail record only.
    EXPECT_EQ(amountOf(row, "FVARRRITDIP"), C("0"));
    EXPECT_EQ(amountOf(row, "FVARRIMPONIBILEDIP"), C("0"));
    EXPECT_EQ(amountOf(row, "FVARRALIQUOTADIP"), C("0"));
    EXPECT_EQ(m.detail.state(), platform::DataSetState::Edit);
    row.post();
}

INSTANTIATE_TEST_SUITE_P(Cases, EnpalsTolerance,
                         ::testing::Values(ToleranceCase{"1000.4", "1000.4", "111.11"},
                                           ToleranceCase{"1000.5", "1000.5", "111.11"},
                                           ToleranceCase{"999.5", "999.5", "111.11"},
                                           ToleranceCase{"1000.51", "1000", "238.1"},
                                           ToleranceCase{"999.49", "1000", "238.1"}),
                         CaseName());

TEST(EnpalsCalcola, Relationship14AdditionalAndSolidarityItems)
{
    EnpalsMemory m({{70, "0"}, {41, "98.9"}, {69, "5"}, {70, "12.5"}});
    TTovCalcolaEnpals calc(m.detail, m.items, m.db, 20);
    DataSet comp;
    makeCompensation(comp, 14, 2);
    DataSet row;
    makeWithholding(row, 17, "1000", "9.89", "23.81");
    row.edit();
    row.setFieldValue(QStringLiteral("FVARRRITAMM"), C("238.1"));
    calc.Calcola(row, comp);
    EXPECT_EQ(m["FENPVCONTRIBAGGCORRENTE"], C("5"));
    EXPECT_EQ(m["FENPVIMPONIBILECTRAGG"], C("500"));
    EXPECT_EQ(m["FENPVCONTRECCMASSSPETDIP"], C("12.5"));
    EXPECT_EQ(m["FENPVCONTRECCMASSSPETAMM"], C("12.5"));
    EXPECT_EQ(m["FENPVIMPECCMASSSPET"], C("500"));
    EXPECT_EQ(m["FENPVCONTRIBUTOAMM"], C("238.1"));
    EXPECT_EQ(amountOf(row, "FVARRRITAMM"), C("250.6"));
    row.post();
}

TEST(EnpalsCalcola, Relationship14WithEmployeeRateZeroStops)
{
    EnpalsMemory m({{41, "98.9"}});
    TTovCalcolaEnpals calc(m.detail, m.items, m.db, 20);
    DataSet comp;
    makeCompensation(comp, 14, 2);
    DataSet row;
    makeWithholding(row, 17, "1000", "0", "23.81");
    row.edit();
    EXPECT_THROW(calc.Calcola(row, comp), ETovCalcola);
    row.cancel();
}

TEST(EnpalsCalcola, InstalledCalculatorTakesRetention17Rows)
{
    EnpalsMemory m({{41, "98.9"}});
    {
        TTovCalcolaEnpals calc(m.detail, m.items, m.db, 20);
        SetTovCalcolaEnpals(&calc);
        DataSet comp;
        makeCompensation(comp, 14, 2);
        DataSet row;
        makeWithholding(row, 17, "1000", "9.89", "23.81");
        row.edit();
        Currency credit = C("1000");
        TTovCalcola::CalcolaRitenuta(row, comp, credit, true, C("0"));
        // The fund moved the employee's contribution to the detail record;
        // the zeroed employee side leaves the credit whole (14 is not
        // deductible anyway) and loses its share.
        EXPECT_EQ(m["FENPVCONTRIBUTODIP"], C("98.9"));
        EXPECT_EQ(amountOf(row, "FVARRRITDIP"), C("0"));
        EXPECT_EQ(amountOf(row, "FVARRPERCIMPDIP"), C("0"));
        EXPECT_EQ(amountOf(row, "FVARRRITAMM"), C("238.1"));
        EXPECT_EQ(credit, C("1000"));
        row.post();
    }
    // A calculator that goes away uninstalls itself.
    EXPECT_EQ(TovCalcolaEnpals(), nullptr);
}

} // namespace
