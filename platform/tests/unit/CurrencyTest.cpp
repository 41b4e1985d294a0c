#include "CaseName.h"
#include "Currency.h"
#include "Exceptions.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

using platform::Currency;

namespace {

Currency c(const char *text)
{
    return Currency::fromString(QString::fromLatin1(text));
}

struct RoundCase {
    const char *in;
    int decimals;
    const char *out;
};

void PrintTo(const RoundCase &rc, std::ostream *os)
{
    *os << rc.in << " at " << rc.decimals;
}

class CurrencyRounding : public ::testing::TestWithParam<RoundCase> {};

TEST_P(CurrencyRounding, HalfAwayFromZeroOnTheScaledInteger)
{
    const RoundCase rc = GetParam();
    EXPECT_EQ(c(rc.in).rounded(rc.decimals), c(rc.out)) << rc.in << " at " << rc.decimals;
}

INSTANTIATE_TEST_SUITE_P(Ties, CurrencyRounding,
                         ::testing::Values(RoundCase{"0.445", 2, "0.45"}, RoundCase{"-0.445", 2, "-0.45"},
                                           RoundCase{"0.4449", 2, "0.44"}, RoundCase{"0.455", 2, "0.46"},
                                           RoundCase{"2.5", 0, "3"}, RoundCase{"-2.5", 0, "-3"},
                                           RoundCase{"0.0049", 2, "0"}, RoundCase{"0.005", 2, "0.01"},
                                           RoundCase{"-0.005", 2, "-0.01"}, RoundCase{"1.2345", 4, "1.2345"}),
                         CaseName());

TEST(Currency, DoubleConversionRemovesBinaryNoise)
{
    EXPECT_EQ(Currency::fromDouble(99.99).raw(), 999900);
    EXPECT_EQ(Currency::fromDouble(0.01).raw(), 100);
    EXPECT_EQ(Currency::fromDouble(1234.5678).raw(), 12345678);
    EXPECT_EQ(Currency::fromDouble(-1234.56785).raw(), -12345679);
    EXPECT_EQ(Currency::fromDouble(1e-9).raw(), 0);
    EXPECT_THROW(Currency::fromDouble(1e300), platform::EOverflowError);
    // An amount of four decimals comes back from its double up to 15
    // digits in all (what the store keeps in a double column).
    for (qint64 raw = -999999999990000LL; raw <= 999999999990000LL; raw += 12345678901234LL / 7)
        for (qint64 step : {0LL, 1LL, 4999LL, 5000LL, 9999LL})
            ASSERT_EQ(Currency::fromDouble(double(raw + step) / 10000.0).raw(), raw + step);
}

TEST(Currency, TextUsesAPointWhateverTheLocale)
{
    EXPECT_EQ(c("1234,5").toString(2), QStringLiteral("1234.50"));
    EXPECT_EQ(c("-0.01").toString(), QStringLiteral("-0.01"));
    EXPECT_EQ(c("-0.00001").toString(), QStringLiteral("0"));
    EXPECT_THROW(c("12a"), platform::EConvertError);
    EXPECT_THROW(c(""), platform::EConvertError);
    EXPECT_THROW(c("."), platform::EConvertError);
}

TEST(Currency, LargestValuesOverflowInsteadOfWrapping)
{
    const Currency max = Currency::fromRaw(std::numeric_limits<int64_t>::max());
    EXPECT_THROW(max + Currency::fromRaw(1), platform::EOverflowError);
    EXPECT_THROW(-Currency::fromRaw(std::numeric_limits<int64_t>::min()), platform::EOverflowError);
    EXPECT_THROW(max * 2, platform::EOverflowError);
    EXPECT_THROW(c("1") / 0, platform::EOverflowError);
    // Products of two large amounts are computed wide before rounding.
    EXPECT_EQ(c("100000000") * c("3"), c("300000000"));
}

TEST(Currency, ExtremeAmountsPrintAtEveryNumberOfDecimals)
{
    const Currency max = Currency::fromRaw(std::numeric_limits<int64_t>::max());
    const Currency min = Currency::fromRaw(std::numeric_limits<int64_t>::min());
    EXPECT_EQ(max.toString(), QStringLiteral("922337203685477.5807"));
    EXPECT_EQ(min.toString(), QStringLiteral("-922337203685477.5808"));
    // Rounding these goes past the 64-bit range; the text must not.
    EXPECT_EQ(max.toString(0), QStringLiteral("922337203685478"));
    EXPECT_EQ(max.toString(3), QStringLiteral("922337203685477.581"));
    EXPECT_EQ(min.toString(2), QStringLiteral("-922337203685477.58"));
    EXPECT_EQ(min.toString(0), QStringLiteral("-922337203685478"));
    EXPECT_THROW(max.rounded(0), platform::EOverflowError);
    EXPECT_EQ(Currency::fromString(QStringLiteral("-922337203685477.5808")), min);
    EXPECT_THROW(Currency::fromString(QStringLiteral("922337203685477.5808")), platform::EOverflowError);
}

TEST(Currency, PercentAndDivisionRoundAtTheFourthDecimal)
{
    EXPECT_EQ(c("100").percent(c("9.19")), c("9.19"));
    EXPECT_EQ(c("0.01").percent(c("33.33")), c("0.0033"));
    EXPECT_EQ(c("1") / 3, c("0.3333"));
    EXPECT_EQ(c("2") / 3, c("0.6667"));
    EXPECT_EQ(c("-2") / 3, c("-0.6667"));
    EXPECT_EQ(c("10") / c("4"), c("2.5"));
}

} // namespace
