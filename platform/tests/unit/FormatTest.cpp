#include "CaseName.h"
#include "Exceptions.h"
#include "Format.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using platform::Currency;
using platform::EConvertError;
using platform::format;
using platform::Value;
using platform::ValueList;

namespace {

Value cur(const char *text)
{
    return Value(Currency::fromString(QString::fromLatin1(text)));
}

struct FormatCase {
    const char *pattern;
    ValueList args;
    const char *expected;
};

void PrintTo(const FormatCase &c, std::ostream *os)
{
    *os << '"' << c.pattern << '"';
}

class FormatDirective : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatDirective, GivesTheExpectedText)
{
    const FormatCase &c = GetParam();
    EXPECT_EQ(format(QString::fromUtf8(c.pattern), c.args), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    TextAndIndexes, FormatDirective,
    ::testing::Values(
        FormatCase{"", {}, ""}, FormatCase{"senza direttive", {Value(1)}, "senza direttive"},
        FormatCase{"Esonero stipendio su %s negativo", {Value("Lordo")}, "Esonero stipendio su Lordo negativo"},
        FormatCase{"%s", {Value("")}, ""}, FormatCase{"%%", {}, "%"},
        FormatCase{"100%% di %d", {Value(5)}, "100% di 5"}, FormatCase{"%%d%%s", {}, "%d%s"},
        FormatCase{"%s%%", {Value("x")}, "x%"}, FormatCase{" %0:s = :%0:s ", {Value("SNOME")}, " SNOME = :SNOME "},
        FormatCase{"%1:s %0:s", {Value("a"), Value("b")}, "b a"},
        FormatCase{"%1:s %s", {Value("a"), Value("b"), Value("c")}, "b c"},
        FormatCase{"%s %0:s %s", {Value("a"), Value("b")}, "a a b"},
        FormatCase{"%s.%s=%d", {Value("VAPE"), Value("IVAPEID"), Value(17)}, "VAPE.IVAPEID=17"},
        FormatCase{"%-10s|", {Value("ab")}, "ab        |"}, FormatCase{"%10s|", {Value("ab")}, "        ab|"},
        FormatCase{"%1s", {Value("abc")}, "abc"}, FormatCase{"%.2s", {Value("abcdef")}, "ab"},
        FormatCase{"%5.2s|", {Value("abc")}, "   ab|"}, FormatCase{"%.9s", {Value("abc")}, "abc"},
        FormatCase{"%1:-4s|%0:4s", {Value("a"), Value("b")}, "b   |   a"},
        FormatCase{"%*s|", {Value(4), Value("ab")}, "  ab|"}, FormatCase{"%-*s|", {Value(4), Value("ab")}, "ab  |"},
        FormatCase{"%S", {Value("maiuscolo")}, "maiuscolo"}, FormatCase{"è %s", {Value("più")}, "è più"}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Integers, FormatDirective,
    ::testing::Values(
        FormatCase{"%d di %d", {Value(3), Value(10)}, "3 di 10"}, FormatCase{"%d", {Value(-42)}, "-42"},
        FormatCase{"%d", {Value(std::numeric_limits<qint64>::min())}, "-9223372036854775808"},
        FormatCase{"%d", {Value(std::numeric_limits<qint64>::max())}, "9223372036854775807"},
        FormatCase{"%5d|", {Value(42)}, "   42|"}, FormatCase{"%-5d|", {Value(42)}, "42   |"},
        FormatCase{"%05d", {Value(42)}, "   42"}, FormatCase{"%2d", {Value(12345)}, "12345"},
        FormatCase{"%.2d", {Value(7)}, "07"}, FormatCase{"%.2d", {Value(12)}, "12"},
        FormatCase{"%.3d", {Value(5)}, "005"}, FormatCase{"%.3d", {Value(-5)}, "-005"},
        FormatCase{"%6.3d|", {Value(-5)}, "  -005|"}, FormatCase{"%.0d", {Value(0)}, "0"},
        FormatCase{"%D", {Value(1)}, "1"}, FormatCase{"%u", {Value(7)}, "7"}, FormatCase{"%x", {Value(255)}, "FF"},
        FormatCase{"%X", {Value(255)}, "FF"}, FormatCase{"%.4x", {Value(255)}, "00FF"},
        FormatCase{"%x", {Value(-1)}, "FFFFFFFF"}, FormatCase{"%x", {Value(qint64(-1))}, "FFFFFFFFFFFFFFFF"},
        FormatCase{"%x", {Value(qint64(1) << 40)}, "10000000000"}, FormatCase{"%p", {Value(255)}, "00000000000000FF"},
        FormatCase{"%*d", {Value(5), Value(42)}, "   42"}, FormatCase{"%.*d", {Value(4), Value(42)}, "0042"}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Currency, FormatDirective,
    ::testing::Values(
        FormatCase{"%.2f", {cur("0.445")}, "0.45"}, FormatCase{"%.2f", {cur("-0.445")}, "-0.45"},
        FormatCase{"%.2f", {cur("0.4449")}, "0.44"}, FormatCase{"%.2f", {cur("0.005")}, "0.01"},
        FormatCase{"%.2f", {cur("-0.004")}, "0.00"}, FormatCase{"%.2f", {cur("9.995")}, "10.00"},
        FormatCase{"%f", {cur("1234.5")}, "1234.50"}, FormatCase{"%.0f", {cur("2.5")}, "3"},
        FormatCase{"%.0f", {cur("-2.5")}, "-3"}, FormatCase{"%.6f", {cur("1.2345")}, "1.234500"},
        FormatCase{"%.4f", {Value(Currency::fromRaw(std::numeric_limits<int64_t>::min()))}, "-922337203685477.5808"},
        FormatCase{"%.2f", {Value(Currency::fromRaw(std::numeric_limits<int64_t>::max()))}, "922337203685477.58"},
        FormatCase{"%10.2f|", {cur("-1.5")}, "     -1.50|"}, FormatCase{"%-8.1f|", {cur("1.25")}, "1.3     |"},
        FormatCase{"%n", {cur("1234567.891")}, "1.234.567,89"}, FormatCase{"%n", {cur("-1234.5")}, "-1.234,50"},
        FormatCase{"%n", {cur("999")}, "999,00"}, FormatCase{"%n", {cur("-0.001")}, "0,00"},
        FormatCase{"%.0n", {cur("1000")}, "1.000"}, FormatCase{"%.0n", {cur("999999.5")}, "1.000.000"},
        FormatCase{"%m", {cur("1234.5")}, "1.234,50 €"}, FormatCase{"%m", {cur("-0.125")}, "-0,13 €"},
        FormatCase{"%.3e", {cur("0.0015")}, "1.50E-003"}, FormatCase{"%g", {cur("2.5")}, "2.5"},
        FormatCase{"%g", {cur("0.0001")}, "0.0001"}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Floats, FormatDirective,
    ::testing::Values(FormatCase{"%.2f", {Value(2.5)}, "2.50"}, FormatCase{"%f", {Value(3.14159)}, "3.14"},
                      FormatCase{"%.2f", {Value(0.125)}, "0.13"}, // an exact binary tie: half away from zero
                      FormatCase{"%.2f", {Value(-0.125)}, "-0.13"},
                      FormatCase{"%.2f", {Value(2.675)}, "2.67"}, // the double is 2.67499999...
                      FormatCase{"%.0f", {Value(0.5)}, "1"}, FormatCase{"%.0f", {Value(-0.4)}, "0"},
                      FormatCase{"%.2f", {Value(1e20)}, "100000000000000000000.00"},
                      FormatCase{"%.3f", {Value(1e-10)}, "0.000"},
                      FormatCase{"%.1f", {Value(0.05)}, "0.1"}, // 0.05000000000000000277
                      FormatCase{"%.2f", {Value(3)}, "3.00"}, FormatCase{"%.2f", {Value(qint64(-3))}, "-3.00"},
                      FormatCase{"%.*f", {Value(1), Value(2.25)}, "2.3"},
                      FormatCase{"%f", {Value(std::nan(""))}, "NAN"}, FormatCase{"%5f", {Value(-INFINITY)}, " -INF"},
                      FormatCase{"%n", {Value(1234567.891)}, "1.234.567,89"},
                      FormatCase{"%e", {Value(1234.5)}, "1.23450000000000E+003"},
                      FormatCase{"%e", {Value(0.0)}, "0.00000000000000E+000"},
                      FormatCase{"%.1e", {Value(-96.0)}, "-1E+002"}, FormatCase{"%.2e", {Value(1e-300)}, "1.0E-300"},
                      FormatCase{"%g", {Value(0.1)}, "0.1"}, FormatCase{"%g", {Value(1.0 / 3)}, "0.333333333333333"},
                      FormatCase{"%g", {Value(123456.0)}, "123456"}, FormatCase{"%g", {Value(-1e20)}, "-1E+020"},
                      FormatCase{"%g", {Value(0.00001)}, "0.00001"}, FormatCase{"%g", {Value(0.000001)}, "1E-006"},
                      FormatCase{"%.3g", {Value(1234.5)}, "1.23E+003"}, FormatCase{"%.3g", {Value(999.6)}, "1E+003"},
                      FormatCase{"%g", {Value(0.0)}, "0"}, FormatCase{"%g", {Value(42)}, "42"}),
    CaseName());

TEST(FormatLocale, NeitherPointNorGroupingFollowTheDefaultLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString f = format(QStringLiteral("%.2f %n"), ValueList{Value(1234.5), Value(1234.5)});
    QLocale::setDefault(saved);
    EXPECT_EQ(f, QStringLiteral("1234.50 1.234,50"));
}

TEST(FormatVariadic, TakesPlainArguments)
{
    EXPECT_EQ(format(QStringLiteral("Mese di %s - Gruppo %d"), QStringLiteral("Gennaio"), 3),
              QStringLiteral("Mese di Gennaio - Gruppo 3"));
    const QList<int> list{1, 2, 3};
    EXPECT_EQ(format(QStringLiteral("%d di %d"), qsizetype(2), list.size()), QStringLiteral("2 di 3"));
    EXPECT_EQ(format(QStringLiteral("%s"), "testo"), QStringLiteral("testo"));
    EXPECT_EQ(format(QStringLiteral("nessuno")), QStringLiteral("nessuno"));
}

// --- Errors ---------------------------------------------------------------

struct ErrorCase {
    const char *pattern;
    ValueList args;
};

void PrintTo(const ErrorCase &c, std::ostream *os)
{
    *os << '"' << c.pattern << '"';
}

class FormatMissingArgument : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(FormatMissingArgument, RaisesWithTheFormatText)
{
    const ErrorCase &c = GetParam();
    const QString pattern = QString::fromUtf8(c.pattern);
    try {
        const QString out = format(pattern, c.args);
        ADD_FAILURE() << "gave " << out.toStdString();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Nessun argomento per il formato '%1'").arg(pattern));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatMissingArgument,
                         ::testing::Values(ErrorCase{"%s", {}}, ErrorCase{"%d di %d", {Value(1)}},
                                           ErrorCase{"%2:s", {Value("a"), Value("b")}},
                                           ErrorCase{"%1:s %s", {Value("a"), Value("b")}}, ErrorCase{"%*d", {Value(5)}},
                                           ErrorCase{"%%%s", {}}),
                         CaseName());

class FormatInvalid : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(FormatInvalid, RaisesWithTheFormatText)
{
    const ErrorCase &c = GetParam();
    const QString pattern = QString::fromUtf8(c.pattern);
    try {
        const QString out = format(pattern, c.args);
        ADD_FAILURE() << "gave " << out.toStdString();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Formato '%1' non valido o incompatibile con l'argomento").arg(pattern));
    }
}

INSTANTIATE_TEST_SUITE_P(
    WrongArgument, FormatInvalid,
    ::testing::Values(ErrorCase{"%d", {cur("1")}}, ErrorCase{"%d", {Value(1.0)}}, ErrorCase{"%d", {Value("12")}},
                      ErrorCase{"%d", {Value(true)}}, ErrorCase{"%d", {Value::null()}}, ErrorCase{"%d", {Value()}},
                      ErrorCase{"%u", {Value(-1)}}, ErrorCase{"%x", {Value(1.5)}}, ErrorCase{"%x", {cur("1")}},
                      ErrorCase{"%s", {Value(1)}}, ErrorCase{"%s", {Value::null()}},
                      ErrorCase{"%s", {Value(QDate(2020, 1, 1))}}, ErrorCase{"%s", {cur("1")}},
                      ErrorCase{"%f", {Value("1.5")}}, ErrorCase{"%f", {Value(true)}},
                      ErrorCase{"%.2f", {Value::null()}}, ErrorCase{"%n", {Value(QDate(2020, 1, 1))}},
                      ErrorCase{"%*d", {Value("5"), Value(1)}}, ErrorCase{"%*d", {Value(-5), Value(1)}},
                      ErrorCase{"%s %d", {Value("a"), Value("b")}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(BadDirective, FormatInvalid,
                         ::testing::Values(ErrorCase{"%", {Value(1)}}, ErrorCase{"abc%", {Value(1)}},
                                           ErrorCase{"%z", {Value(1)}}, ErrorCase{"%5", {Value(1)}},
                                           ErrorCase{"%-", {Value(1)}}, ErrorCase{"%.", {Value(1)}},
                                           ErrorCase{"%1:", {Value(1), Value(2)}}, ErrorCase{"%:d", {Value(1)}},
                                           ErrorCase{"% d", {Value(1)}}, ErrorCase{"%+d", {Value(1)}},
                                           ErrorCase{"%5-d", {Value(1)}}, ErrorCase{"%99999d", {Value(1)}},
                                           ErrorCase{"%.99999f", {Value(1.0)}}, ErrorCase{"%l", {Value(1)}}),
                         CaseName());

TEST(FormatErrors, DirectiveErrorComesBeforeTakingAnArgument)
{
    // "%z" must say the directive is wrong, not that an argument is missing.
    EXPECT_THROW(
        {
            try {
                format(QStringLiteral("%z"), ValueList{});
            } catch (const EConvertError &e) {
                EXPECT_TRUE(e.message().startsWith(QStringLiteral("Formato"))) << e.what();
                throw;
            }
        },
        EConvertError);
}

} // namespace
