#include "CaseName.h"
#include "Exceptions.h"
#include "Value.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <type_traits>

using platform::Currency;
using platform::EConvertError;
using platform::EOverflowError;
using platform::Value;
using platform::ValueType;

namespace {

Currency cur(const char *text)
{
    return Currency::fromString(QString::fromLatin1(text));
}

// --- Unassigned and Null -------------------------------------------------

TEST(ValueEmpty, UnassignedConvertsToTheZeroOfEveryKind)
{
    const Value v;
    EXPECT_TRUE(v.isUnassigned());
    EXPECT_FALSE(v.isNull());
    EXPECT_TRUE(v.isEmpty());
    EXPECT_EQ(v.toInt(), 0);
    EXPECT_EQ(v.toInt64(), 0);
    EXPECT_EQ(v.toDouble(), 0.0);
    EXPECT_EQ(v.toCurrency(), Currency());
    EXPECT_EQ(v.toString(), QString());
    EXPECT_FALSE(v.toBool());
    EXPECT_FALSE(v.toDate().isValid());
    EXPECT_FALSE(v.toDateTime().isValid());
    EXPECT_FALSE(v.toTime().isValid());
    EXPECT_TRUE(v.toBytes().isEmpty());
}

TEST(ValueEmpty, NullIsEmptyTextButNotANumberDateOrBoolean)
{
    const Value v = Value::null();
    EXPECT_TRUE(v.isNull());
    EXPECT_FALSE(v.isUnassigned());
    EXPECT_TRUE(v.isEmpty());
    EXPECT_EQ(v.toString(), QString());
    EXPECT_TRUE(v.toBytes().isEmpty());
    const std::function<void()> raising[] = {
        [&] { v.toInt(); },  [&] { v.toInt64(); }, [&] { v.toDouble(); },   [&] { v.toCurrency(); },
        [&] { v.toBool(); }, [&] { v.toDate(); },  [&] { v.toDateTime(); }, [&] { v.toTime(); },
    };
    for (const auto &f : raising)
        EXPECT_THROW(f(), EConvertError);
    try {
        v.toInt();
    } catch (const EConvertError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nullo"))) << e.what();
    }
}

TEST(ValueEmpty, InvalidDatesAndTimesAreNull)
{
    EXPECT_TRUE(Value(QDate()).isNull());
    EXPECT_TRUE(Value(QDateTime()).isNull());
    EXPECT_TRUE(Value(QTime()).isNull());
    EXPECT_TRUE(Value(QDate(2021, 2, 30)).isNull());
}

TEST(ValueEmpty, NullAndUnassignedDifferFromEachOtherAndFromZeroAndEmptyText)
{
    EXPECT_EQ(Value(), Value());
    EXPECT_EQ(Value::null(), Value::null());
    EXPECT_NE(Value(), Value::null());
    EXPECT_NE(Value::null(), Value(0));
    EXPECT_NE(Value::null(), Value(""));
    EXPECT_NE(Value(), Value(""));
    EXPECT_NE(Value(), Value(0));
}

// --- Kinds of the constructors --------------------------------------------

TEST(ValueKind, EachConstructorGivesItsKind)
{
    EXPECT_EQ(Value(1).type(), ValueType::Integer);
    EXPECT_EQ(Value(qint64(1)).type(), ValueType::LargeInt);
    EXPECT_EQ(Value(1.0).type(), ValueType::Float);
    EXPECT_EQ(Value(1.0f).type(), ValueType::Float);
    EXPECT_EQ(Value(cur("1")).type(), ValueType::Currency);
    EXPECT_EQ(Value(QStringLiteral("a")).type(), ValueType::Text);
    EXPECT_EQ(Value("a").type(), ValueType::Text);
    EXPECT_EQ(Value(QDate(2020, 1, 1)).type(), ValueType::Date);
    EXPECT_EQ(Value(QDateTime(QDate(2020, 1, 1), QTime(1, 0))).type(), ValueType::DateTime);
    EXPECT_EQ(Value(QTime(1, 0)).type(), ValueType::Time);
    EXPECT_EQ(Value(true).type(), ValueType::Boolean);
    EXPECT_EQ(Value(QByteArray("x")).type(), ValueType::Bytes);
}

TEST(ValueKind, OtherIntegerTypesAreAccepted)
{
    // long, qsizetype and unsigned types must not be ambiguous and must keep
    // their value.
    EXPECT_EQ(Value(short(-7)).type(), ValueType::Integer);
    EXPECT_EQ(Value(short(-7)).toInt(), -7);
    EXPECT_EQ(Value(qsizetype(5)).toInt(), 5);
    EXPECT_EQ(Value(5L).type(), ValueType::LargeInt);
    EXPECT_EQ(Value(4000000000u).toInt64(), 4000000000LL);
    EXPECT_EQ(Value(quint64(1) << 62).toInt64(), qint64(1) << 62);
    EXPECT_THROW(Value(std::numeric_limits<quint64>::max()), EOverflowError);
    EXPECT_EQ(Value("é").toString(), QString::fromUtf8("é"));
}

// A pointer must not turn into a Boolean behind the caller's back; every
// integer type must pick one constructor without ambiguity.
static_assert(!std::is_constructible_v<Value, const QChar *>);
static_assert(!std::is_constructible_v<Value, int *>);
static_assert(std::is_constructible_v<Value, char *>);
static_assert(std::is_constructible_v<Value, long>);
static_assert(std::is_constructible_v<Value, unsigned long long>);
static_assert(std::is_constructible_v<Value, quint16>);
static_assert(std::is_constructible_v<Value, float>);

TEST(ValueKind, NumericKinds)
{
    for (const Value &v : {Value(1), Value(qint64(1)), Value(1.5), Value(cur("1"))})
        EXPECT_TRUE(v.isNumeric()) << v.debugText().toStdString();
    for (const Value &v : {Value(), Value::null(), Value("1"), Value(true), Value(QDate(2020, 1, 1))})
        EXPECT_FALSE(v.isNumeric()) << v.debugText().toStdString();
}

// --- Text to numbers ------------------------------------------------------

struct IntCase {
    const char *text;
    qint64 expected;
};

void PrintTo(const IntCase &c, std::ostream *os)
{
    *os << c.text;
}

class ValueTextToInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(ValueTextToInt, ParsesAndRoundsHalfAwayFromZero)
{
    const IntCase c = GetParam();
    EXPECT_EQ(Value(c.text).toInt64(), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Texts, ValueTextToInt,
                         ::testing::Values(IntCase{"12", 12}, IntCase{"-3", -3}, IntCase{"+4", 4}, IntCase{" 7 ", 7},
                                           IntCase{"007", 7}, IntCase{"12.50", 13}, IntCase{"12,49", 12},
                                           IntCase{"-2.5", -3}, IntCase{"2.5", 3}, IntCase{"0.4999999999999999999", 0},
                                           IntCase{"1e3", 1000}, IntCase{"-0", 0},
                                           IntCase{"9223372036854775807", std::numeric_limits<qint64>::max()},
                                           IntCase{"-9223372036854775808", std::numeric_limits<qint64>::min()}),
                         CaseName());

class ValueBadNumberText : public ::testing::TestWithParam<const char *> {};

TEST_P(ValueBadNumberText, RaisesNamingTheText)
{
    const Value v(GetParam());
    for (const auto &f : {std::function<void()>([&] { v.toInt(); }), std::function<void()>([&] { v.toDouble(); })}) {
        try {
            f();
            ADD_FAILURE() << "no error for '" << GetParam() << "'";
        } catch (const EConvertError &e) {
            EXPECT_TRUE(e.message().contains(QLatin1Char('\'') + QString::fromUtf8(GetParam()) + QLatin1Char('\'')))
                << e.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ValueBadNumberText,
                         ::testing::Values("", "   ", "abc", "12a", "1.2.3", "1,2,3", "--1", "+", ".", "1e", "0x10",
                                           "nan", "inf", "1 000", "12.50 €"),
                         CaseName());

TEST(ValueTextToNumber, ErrorMessageIsItalian)
{
    try {
        Value("abc").toInt();
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Impossibile convertire 'abc' in numero intero"));
    }
}

TEST(ValueTextToNumber, FloatsReadExactlyWithPointOrComma)
{
    EXPECT_EQ(Value("12.50").toDouble(), 12.5);
    EXPECT_EQ(Value("12,50").toDouble(), 12.5);
    EXPECT_EQ(Value("0.1").toDouble(), 0.1);
    EXPECT_EQ(Value("-3").toDouble(), -3.0);
    EXPECT_EQ(Value("1e-5").toDouble(), 1e-5);
    EXPECT_EQ(Value("1.7976931348623157e308").toDouble(), std::numeric_limits<double>::max());
    EXPECT_EQ(Value("1e-400").toDouble(), 0.0);
    EXPECT_THROW(Value("1e400").toDouble(), EOverflowError);
}

TEST(ValueTextToNumber, CurrencyNeverPassesThroughDouble)
{
    // 0.1 + 0.2 style noise would show in the last digits if it did.
    EXPECT_EQ(Value("1234567890123.4567").toCurrency().raw(), 12345678901234567LL);
    EXPECT_EQ(Value("12,50").toCurrency(), cur("12.5"));
    EXPECT_EQ(Value("0.44445").toCurrency(), cur("0.4445"));
    EXPECT_THROW(Value("dodici").toCurrency(), EConvertError);
    EXPECT_EQ(Value(0.1).toCurrency().raw(), 1000);
    EXPECT_EQ(Value(7).toCurrency().raw(), 70000);
    EXPECT_EQ(Value(qint64(-7)).toCurrency().raw(), -70000);
    EXPECT_EQ(Value(true).toCurrency().raw(), 10000);
    EXPECT_THROW(Value(std::numeric_limits<qint64>::max()).toCurrency(), EOverflowError);
}

// --- Numbers between kinds ------------------------------------------------

struct RoundCase {
    double in;
    qint64 expected;
};

void PrintTo(const RoundCase &c, std::ostream *os)
{
    *os << c.in;
}

class ValueFloatToInt : public ::testing::TestWithParam<RoundCase> {};

TEST_P(ValueFloatToInt, RoundsHalfAwayFromZero)
{
    const RoundCase c = GetParam();
    EXPECT_EQ(Value(c.in).toInt64(), c.expected) << c.in;
    EXPECT_EQ(Value(c.in).toInt(), int(c.expected)) << c.in;
}

INSTANTIATE_TEST_SUITE_P(Ties, ValueFloatToInt,
                         ::testing::Values(RoundCase{2.5, 3}, RoundCase{-2.5, -3}, RoundCase{0.5, 1},
                                           RoundCase{-0.5, -1}, RoundCase{1.5, 2}, RoundCase{2.4999999, 2},
                                           RoundCase{-2.4999999, -2}, RoundCase{3.0, 3},
                                           RoundCase{0.49999999999999994, 0}, RoundCase{-0.0, 0}),
                         CaseName());

TEST(ValueNumbers, CurrencyToIntRoundsHalfAwayFromZero)
{
    EXPECT_EQ(Value(cur("2.5")).toInt(), 3);
    EXPECT_EQ(Value(cur("-2.5")).toInt(), -3);
    EXPECT_EQ(Value(cur("2.4999")).toInt(), 2);
    EXPECT_EQ(Value(cur("-1.5")).toInt64(), -2);
    EXPECT_EQ(Value(cur("2.5")).toDouble(), 2.5);
}

TEST(ValueNumbers, OutOfRangeRaisesOverflow)
{
    const qint64 big = qint64(std::numeric_limits<int>::max()) + 1;
    EXPECT_THROW(Value(big).toInt(), EOverflowError);
    EXPECT_THROW(Value(-big - 1).toInt(), EOverflowError);
    EXPECT_EQ(Value(-big).toInt(), std::numeric_limits<int>::min());
    EXPECT_THROW(Value("2147483648").toInt(), EOverflowError);
    EXPECT_EQ(Value("2147483647").toInt(), std::numeric_limits<int>::max());
    EXPECT_THROW(Value("9223372036854775808").toInt64(), EOverflowError);
    EXPECT_THROW(Value("99999999999999999999999").toInt64(), EOverflowError);
    EXPECT_THROW(Value(2147483647.5).toInt(), EOverflowError);
    EXPECT_EQ(Value(2147483647.4).toInt(), std::numeric_limits<int>::max());
    EXPECT_THROW(Value(9223372036854775808.0).toInt64(), EOverflowError);
    EXPECT_EQ(Value(-9223372036854775808.0).toInt64(), std::numeric_limits<qint64>::min());
    EXPECT_THROW(Value(std::nan("")).toInt64(), EOverflowError);
    EXPECT_THROW(Value(INFINITY).toInt(), EOverflowError);
    EXPECT_THROW(Value(cur("2147483648")).toInt(), EOverflowError);
}

TEST(ValueNumbers, BooleansAndNumbers)
{
    EXPECT_EQ(Value(true).toInt(), 1);
    EXPECT_EQ(Value(false).toInt64(), 0);
    EXPECT_EQ(Value(true).toDouble(), 1.0);
    EXPECT_TRUE(Value(-1).toBool());
    EXPECT_FALSE(Value(0).toBool());
    EXPECT_TRUE(Value(qint64(1) << 40).toBool());
    EXPECT_TRUE(Value(0.001).toBool());
    EXPECT_FALSE(Value(0.0).toBool());
    EXPECT_TRUE(Value(cur("0.0001")).toBool());
    EXPECT_FALSE(Value(Currency()).toBool());
}

TEST(ValueNumbers, DatesAndBytesAreNotNumbers)
{
    const Value date(QDate(2020, 1, 1));
    EXPECT_THROW(date.toInt(), EConvertError);
    EXPECT_THROW(date.toDouble(), EConvertError);
    EXPECT_THROW(date.toCurrency(), EConvertError);
    EXPECT_THROW(date.toBool(), EConvertError);
    EXPECT_THROW(Value(QTime(1, 0)).toInt64(), EConvertError);
    EXPECT_THROW(Value(QByteArray("12")).toInt(), EConvertError);
    EXPECT_THROW(Value(QByteArray("1")).toBool(), EConvertError);
}

// --- Text form ------------------------------------------------------------

struct TextCase {
    Value value;
    const char *text;
};

void PrintTo(const TextCase &c, std::ostream *os)
{
    *os << c.value.debugText().toStdString();
}

class ValueToText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ValueToText, GivesThePlatformForm)
{
    EXPECT_EQ(GetParam().value.toString(), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ValueToText,
    ::testing::Values(
        TextCase{Value(-12), "-12"}, TextCase{Value(std::numeric_limits<qint64>::min()), "-9223372036854775808"},
        TextCase{Value(0.1), "0.1"}, TextCase{Value(0.1 + 0.2), "0.30000000000000004"},
        TextCase{Value(1.0 / 3), "0.3333333333333333"}, TextCase{Value(2.0), "2"}, TextCase{Value(-1234.5), "-1234.5"},
        TextCase{Value(100.0), "100"}, TextCase{Value(1e15), "1000000000000000"}, TextCase{Value(1e16), "1e+16"},
        TextCase{Value(1.5e-5), "0.000015"}, TextCase{Value(1e-6), "1e-6"}, TextCase{Value(-0.0), "0"},
        TextCase{Value(cur("12.5")), "12.5"}, TextCase{Value(cur("-0.0001")), "-0.0001"},
        TextCase{Value(QDate(2021, 3, 5)), "05/03/2021"},
        TextCase{Value(QDateTime(QDate(2021, 3, 5), QTime(0, 0))), "05/03/2021"},
        TextCase{Value(QDateTime(QDate(2021, 3, 5), QTime(7, 8, 9))), "05/03/2021 07:08:09"},
        TextCase{Value(QDateTime(QDate(2021, 3, 5), QTime(0, 0, 0, 1))), "05/03/2021 00:00:00"},
        TextCase{Value(QTime(7, 8, 9)), "07:08:09"}, TextCase{Value(true), "True"}, TextCase{Value(false), "False"},
        TextCase{Value(QByteArray("caf\xc3\xa9")), "café"}, TextCase{Value(), ""}, TextCase{Value::null(), ""}),
    CaseName());

TEST(ValueToText, FloatTextReadsBackToTheSameFloat)
{
    for (double d : {0.1, 1.0 / 3, 2.0 / 3, 1e-7, 123456.789, -9.87654321e-3, 1e300, 5e-324,
                     std::numeric_limits<double>::max(), 4503599627370497.0}) {
        const QString text = Value(d).toString();
        EXPECT_FALSE(text.contains(QLatin1Char(','))) << text.toStdString();
        EXPECT_EQ(Value(text).toDouble(), d) << text.toStdString();
    }
}

TEST(ValueToText, DoesNotDependOnTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QString f = Value(1234.5).toString();
    const QString c = Value(cur("1234.5")).toString();
    const QString d = Value(QDate(2021, 12, 1)).toString();
    QLocale::setDefault(saved);
    EXPECT_EQ(f, QStringLiteral("1234.5"));
    EXPECT_EQ(c, QStringLiteral("1234.5"));
    EXPECT_EQ(d, QStringLiteral("01/12/2021"));
}

// --- Text to dates and booleans ---------------------------------------------

TEST(ValueTextToDate, AcceptsItalianAndIsoForms)
{
    const QDate d(2021, 3, 5);
    EXPECT_EQ(Value("05/03/2021").toDate(), d);
    EXPECT_EQ(Value("5/3/2021").toDate(), d);
    EXPECT_EQ(Value("2021-03-05").toDate(), d);
    EXPECT_EQ(Value("2021-03-05T07:08:09").toDate(), d);
    EXPECT_EQ(Value("05/03/2021 07:08").toDate(), d);
    EXPECT_EQ(Value("29/02/2020").toDate(), QDate(2020, 2, 29));

    EXPECT_EQ(Value("05/03/2021").toDateTime(), QDateTime(d, QTime(0, 0)));
    EXPECT_EQ(Value("05/03/2021 07:08:09").toDateTime(), QDateTime(d, QTime(7, 8, 9)));
    EXPECT_EQ(Value("2021-03-05T07:08:09").toDateTime(), QDateTime(d, QTime(7, 8, 9)));
    EXPECT_EQ(Value("2021-03-05 07:08:09.5").toDateTime(), QDateTime(d, QTime(7, 8, 9, 500)));
    EXPECT_EQ(Value("2021-03-05").toDateTime(), QDateTime(d, QTime(0, 0)));
}

class ValueBadDateText : public ::testing::TestWithParam<const char *> {};

TEST_P(ValueBadDateText, RaisesNamingTheText)
{
    const Value v(GetParam());
    try {
        v.toDate();
        ADD_FAILURE() << "no error for '" << GetParam() << "'";
    } catch (const EConvertError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("'%1'").arg(QString::fromUtf8(GetParam())))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("in data"))) << e.what();
    }
    EXPECT_THROW(v.toDateTime(), EConvertError);
}

INSTANTIATE_TEST_SUITE_P(Texts, ValueBadDateText,
                         ::testing::Values("", "abc", "31/02/2021", "29/02/2021", "05/13/2021", "2021-3-5", "05/03/21",
                                           "05-03-2021", "2021-03-05T25:00:00", "05/03/2021 07:61", "2021/03/05",
                                           "05/03/2021x", "12:00"),
                         CaseName());

TEST(ValueTextToTime, AcceptsHoursMinutesAndOptionalSeconds)
{
    EXPECT_EQ(Value("07:08").toTime(), QTime(7, 8));
    EXPECT_EQ(Value("7:08:09").toTime(), QTime(7, 8, 9));
    EXPECT_EQ(Value("23:59:59").toTime(), QTime(23, 59, 59));
    EXPECT_EQ(Value("05/03/2021 07:08:09").toTime(), QTime(7, 8, 9));
    EXPECT_THROW(Value("24:00").toTime(), EConvertError);
    EXPECT_THROW(Value("7.08").toTime(), EConvertError);
    EXPECT_THROW(Value("07:8").toTime(), EConvertError);
    EXPECT_THROW(Value("").toTime(), EConvertError);
}

TEST(ValueDates, DateAndDateTimeConvertIntoEachOther)
{
    const QDate d(2021, 3, 5);
    EXPECT_EQ(Value(d).toDateTime(), QDateTime(d, QTime(0, 0)));
    EXPECT_EQ(Value(QDateTime(d, QTime(13, 1))).toDate(), d);
    EXPECT_EQ(Value(QDateTime(d, QTime(13, 1))).toTime(), QTime(13, 1));
    EXPECT_EQ(Value(d).toTime(), QTime(0, 0));
    EXPECT_EQ(Value(QTime(1, 2)).toTime(), QTime(1, 2));
    EXPECT_THROW(Value(QTime(1, 2)).toDate(), EConvertError);
    EXPECT_THROW(Value(QTime(1, 2)).toDateTime(), EConvertError);
    EXPECT_THROW(Value(12).toDate(), EConvertError);
    EXPECT_THROW(Value(true).toDateTime(), EConvertError);
    // The text form reads back to the same value.
    const QDateTime dt(d, QTime(23, 59, 58));
    EXPECT_EQ(Value(Value(dt).toString()).toDateTime(), dt);
    EXPECT_EQ(Value(Value(d).toString()).toDate(), d);
}

TEST(ValueTextToBool, AcceptsTrueFalseOneZeroInAnyCase)
{
    for (const char *t : {"True", "true", "TRUE", "tRuE", "1", " 1 "})
        EXPECT_TRUE(Value(t).toBool()) << t;
    for (const char *t : {"False", "false", "FALSE", "0"})
        EXPECT_FALSE(Value(t).toBool()) << t;
    for (const char *t : {"", "yes", "2", "-1", "T", "vero", "1.0"}) {
        try {
            Value(t).toBool();
            ADD_FAILURE() << t;
        } catch (const EConvertError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("'%1'").arg(QLatin1String(t)))) << e.what();
        }
    }
}

TEST(ValueBytes, TextAndBytesConvertAsUtf8)
{
    EXPECT_EQ(Value(QString::fromUtf8("è")).toBytes(), QByteArray("\xc3\xa8"));
    EXPECT_EQ(Value(QByteArray("\x00\x01", 2)).toBytes(), QByteArray("\x00\x01", 2));
    EXPECT_THROW(Value(12).toBytes(), EConvertError);
    EXPECT_THROW(Value(QDate(2020, 1, 1)).toBytes(), EConvertError);
}

// --- Equality -------------------------------------------------------------

struct EqCase {
    Value a;
    Value b;
    bool equal;
};

void PrintTo(const EqCase &c, std::ostream *os)
{
    *os << c.a.debugText().toStdString() << " vs " << c.b.debugText().toStdString();
}

class ValueEquality : public ::testing::TestWithParam<EqCase> {};

TEST_P(ValueEquality, ComparesNumbersByValueAndOtherKindsStrictly)
{
    const EqCase c = GetParam();
    EXPECT_EQ(c.a == c.b, c.equal) << c.a.debugText().toStdString() << " vs " << c.b.debugText().toStdString();
    EXPECT_EQ(c.b == c.a, c.equal) << "not symmetric";
    EXPECT_EQ(c.a != c.b, !c.equal);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, ValueEquality,
    ::testing::Values(EqCase{Value(2), Value(qint64(2)), true}, EqCase{Value(2), Value(2.0), true},
                      EqCase{Value(2), Value(Currency::fromInt(2)), true},
                      EqCase{Value(qint64(2)), Value(cur("2.0000")), true}, EqCase{Value(2.5), Value(cur("2.5")), true},
                      EqCase{Value(0.1), Value(cur("0.1")), true}, EqCase{Value(-0.1), Value(cur("-0.1")), true},
                      EqCase{Value(0.0), Value(Currency()), true}, EqCase{Value(0.10001), Value(cur("0.1")), false},
                      EqCase{Value(0.00001), Value(Currency()), false}, EqCase{Value(2), Value(2.5), false},
                      EqCase{Value(2), Value(cur("2.0001")), false},
                      EqCase{Value(qint64(1) << 53 | 1), Value(double(qint64(1) << 53)), false},
                      EqCase{Value(std::numeric_limits<qint64>::max()), Value(9223372036854775808.0), false},
                      EqCase{Value(qint64(1) << 40), Value(cur("1099511627776")), true},
                      EqCase{Value(1e30), Value(Currency::fromRaw(std::numeric_limits<int64_t>::max())), false},
                      EqCase{Value(3), Value(qint64(4)), false}, EqCase{Value(2), Value("2"), false},
                      EqCase{Value(true), Value(1), false}, EqCase{Value("abc"), Value("abc"), true},
                      EqCase{Value("abc"), Value("ABC"), false},
                      EqCase{Value(QDate(2020, 1, 1)), Value(QDate(2020, 1, 1)), true},
                      EqCase{Value(QDate(2020, 1, 1)), Value(QDate(2020, 1, 2)), false},
                      EqCase{Value(QTime(1, 2)), Value(QTime(1, 2)), true},
                      EqCase{Value(QByteArray("a")), Value(QByteArray("a")), true},
                      EqCase{Value(QByteArray("a")), Value("a"), false}, EqCase{Value::null(), Value(), false}),
    CaseName());

// --- QVariant ---------------------------------------------------------------

class ValueQVariant : public ::testing::TestWithParam<Value> {};

TEST_P(ValueQVariant, RoundTripKeepsKindAndValue)
{
    const Value v = GetParam();
    const Value back = Value::fromQVariant(v.toQVariant());
    EXPECT_EQ(back.type(), v.type()) << v.debugText().toStdString();
    EXPECT_EQ(back, v);
    EXPECT_EQ(back.debugText(), v.debugText());
}

INSTANTIATE_TEST_SUITE_P(EveryKind, ValueQVariant,
                         ::testing::Values(Value(), Value::null(), Value(-5), Value(std::numeric_limits<qint64>::min()),
                                           Value(0.1), Value(cur("-1234.5678")),
                                           Value(Currency::fromRaw(std::numeric_limits<int64_t>::max())), Value(""),
                                           Value("testo è"), Value(QDate(2021, 3, 5)),
                                           Value(QDateTime(QDate(2021, 3, 5), QTime(7, 8, 9, 10))),
                                           Value(QTime(7, 8, 9)), Value(false), Value(QByteArray("\x00\xff", 2)),
                                           Value(QByteArray())),
                         CaseName());

TEST(ValueQVariantForeign, UnassignedIsInvalidAndNullIsAValidNullVariant)
{
    EXPECT_FALSE(Value().toQVariant().isValid());
    const QVariant n = Value::null().toQVariant();
    EXPECT_TRUE(n.isValid());
    EXPECT_TRUE(n.isNull());
}

TEST(ValueQVariantForeign, TypedNullsOfTheDriversAreNull)
{
    EXPECT_TRUE(Value::fromQVariant(QVariant(QMetaType::fromType<QString>())).isNull());
    EXPECT_TRUE(Value::fromQVariant(QVariant(QMetaType::fromType<int>())).isNull());
    EXPECT_TRUE(Value::fromQVariant(QVariant(QMetaType::fromType<QDate>())).isNull());
    // An empty string is a value, not Null.
    EXPECT_EQ(Value::fromQVariant(QVariant(QString())).type(), ValueType::Text);
}

TEST(ValueQVariantForeign, OtherTypesMapToTheNearestKind)
{
    EXPECT_EQ(Value::fromQVariant(QVariant::fromValue(short(-3))), Value(-3));
    EXPECT_EQ(Value::fromQVariant(QVariant::fromValue(short(-3))).type(), ValueType::Integer);
    EXPECT_EQ(Value::fromQVariant(QVariant(4000000000u)).toInt64(), 4000000000LL);
    EXPECT_EQ(Value::fromQVariant(QVariant::fromValue(quint64(1) << 62)).toInt64(), qint64(1) << 62);
    EXPECT_THROW(Value::fromQVariant(QVariant::fromValue(std::numeric_limits<quint64>::max())), EOverflowError);
    EXPECT_EQ(Value::fromQVariant(QVariant(1.5f)), Value(1.5));
    EXPECT_EQ(Value::fromQVariant(QVariant(QChar(u'x'))), Value("x"));
    EXPECT_THROW(Value::fromQVariant(QVariant(QStringList{QStringLiteral("a")})), EConvertError);
}

TEST(ValueQVariantForeign, CurrencyVariantConvertsToTextForTheViews)
{
    const QVariant v = Value(cur("1234.5")).toQVariant();
    EXPECT_EQ(v.metaType(), QMetaType::fromType<Currency>());
    EXPECT_EQ(v.value<Currency>(), cur("1234.5"));
    EXPECT_EQ(v.toString(), QStringLiteral("1234.5"));
    EXPECT_EQ(v.toDouble(), 1234.5);
}

TEST(ValueDebug, NamesKindAndValue)
{
    EXPECT_EQ(Value(12).debugText(), QStringLiteral("Integer(12)"));
    EXPECT_EQ(Value::null().debugText(), QStringLiteral("Null"));
    EXPECT_EQ(Value().debugText(), QStringLiteral("Unassigned"));
    EXPECT_EQ(Value("abc").debugText(), QStringLiteral("Text(abc)"));
    EXPECT_EQ(Value(cur("1.5")).debugText(), QStringLiteral("Currency(1.5)"));
    EXPECT_EQ(Value(QByteArray("\x01\xab", 2)).debugText(), QStringLiteral("Bytes(01ab)"));
}

} // namespace
