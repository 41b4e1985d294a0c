#include "Value.h"
#include "Exceptions.h"

#include <QMetaType>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <limits>
#include <mutex>
#include <optional>

namespace platform {

namespace {

using i128 = __int128;

// Index of each kind in the variant; kept in step with ValueType.
static_assert(int(ValueType::Bytes) == 11);

QString kindName(ValueType t)
{
    switch (t) {
    case ValueType::Unassigned: return QStringLiteral("Unassigned");
    case ValueType::Null: return QStringLiteral("Null");
    case ValueType::Integer: return QStringLiteral("Integer");
    case ValueType::LargeInt: return QStringLiteral("LargeInt");
    case ValueType::Float: return QStringLiteral("Float");
    case ValueType::Currency: return QStringLiteral("Currency");
    case ValueType::Text: return QStringLiteral("Text");
    case ValueType::Date: return QStringLiteral("Date");
    case ValueType::DateTime: return QStringLiteral("DateTime");
    case ValueType::Time: return QStringLiteral("Time");
    case ValueType::Boolean: return QStringLiteral("Boolean");
    case ValueType::Bytes: return QStringLiteral("Bytes");
    }
    return QString();
}

QString dateText(QDate d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}
QString timeText(QTime t)
{
    return t.toString(QStringLiteral("hh:mm:ss"));
}

QString dateTimeText(const QDateTime &dt)
{
    const QTime t = dt.time();
    if (t == QTime(0, 0))
        return dateText(dt.date());
    return dateText(dt.date()) + QLatin1Char(' ') + timeText(t);
}

// The shortest digits that read back as `v`, in scientific form:
// `digits` without point, value = 0.d1d2... * 10^(exp10 + 1) - that is,
// d1 stands at the power exp10.
struct ShortestDigits {
    bool negative = false;
    std::string digits;
    int exp10 = 0;
};

ShortestDigits shortestDigits(double v)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    std::string s(buf, res.ptr);
    ShortestDigits out;
    std::size_t i = 0;
    if (s[i] == '-') {
        out.negative = true;
        ++i;
    }
    for (; i < s.size() && s[i] != 'e'; ++i)
        if (s[i] != '.')
            out.digits += s[i];
    out.exp10 = std::atoi(s.c_str() + i + 1);
    return out;
}

QString floatText(double v)
{
    if (std::isnan(v))
        return QStringLiteral("NaN");
    if (std::isinf(v))
        return v < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
    if (v == 0)
        return QStringLiteral("0"); // -0 as well
    const ShortestDigits sd = shortestDigits(v);
    const int e = sd.exp10;
    const std::string &d = sd.digits;
    std::string out;
    if (e >= -5 && e < 16) {
        if (e >= 0) {
            out = d.substr(0, std::min<std::size_t>(d.size(), e + 1));
            if (int(d.size()) < e + 1)
                out.append(e + 1 - d.size(), '0');
            else if (int(d.size()) > e + 1)
                out += '.' + d.substr(e + 1);
        } else {
            out = "0." + std::string(-e - 1, '0') + d;
        }
    } else {
        out = d.substr(0, 1);
        if (d.size() > 1)
            out += '.' + d.substr(1);
        out += e < 0 ? "e-" : "e+";
        out += std::to_string(std::abs(e));
    }
    if (sd.negative)
        out.insert(out.begin(), '-');
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

QString bytesHex(const QByteArray &b)
{
    if (b.size() <= 32)
        return QString::fromLatin1(b.toHex());
    return QString::fromLatin1(b.left(32).toHex()) + QStringLiteral("...");
}

// Text that names the value in an error message.
QString describe(const Value &v)
{
    switch (v.type()) {
    case ValueType::Unassigned: return QStringLiteral("un valore non assegnato");
    case ValueType::Null: return QStringLiteral("un valore nullo");
    case ValueType::Integer:
    case ValueType::LargeInt:
    case ValueType::Float: return QStringLiteral("il numero %1").arg(v.toString());
    case ValueType::Currency: return QStringLiteral("l'importo %1").arg(v.toString());
    case ValueType::Text: return QStringLiteral("'%1'").arg(v.toString());
    case ValueType::Date: return QStringLiteral("la data %1").arg(v.toString());
    case ValueType::DateTime: return QStringLiteral("la data e ora %1").arg(v.toString());
    case ValueType::Time: return QStringLiteral("l'ora %1").arg(v.toString());
    case ValueType::Boolean: return QStringLiteral("il valore logico %1").arg(v.toString());
    case ValueType::Bytes: return QStringLiteral("un dato binario di %1 byte").arg(v.toBytes().size());
    }
    return QString();
}

[[noreturn]] void cannotConvert(const Value &v, const char *target)
{
    throw EConvertError(QStringLiteral("Impossibile convertire %1 in %2").arg(describe(v), QString::fromUtf8(target)));
}

[[noreturn]] void outOfRange(const QString &what, const char *target)
{
    throw EOverflowError(QStringLiteral("Il valore %1 è fuori dai limiti di %2").arg(what, QString::fromUtf8(target)));
}

// A number written as text: optional sign, digits, optional "." or ","
// with decimals, optional exponent. Digits are kept exact.
struct NumberText {
    bool negative = false;
    std::string digits; // integer and decimal digits, leading zeros removed
    int intDigits = 0;  // how many of `digits` stand before the point (may be <0 or >size)
    bool hasPointOrExponent = false;
};

std::optional<NumberText> parseNumber(const QString &input)
{
    const QString text = input.trimmed();
    NumberText n;
    qsizetype i = 0;
    const qsizetype size = text.size();
    if (i < size && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        n.negative = text[i] == QLatin1Char('-');
        ++i;
    }
    std::string digits;
    int intDigits = 0;
    bool any = false;
    for (; i < size && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        digits += char(text[i].unicode());
        ++intDigits;
        any = true;
    }
    if (i < size && (text[i] == QLatin1Char('.') || text[i] == QLatin1Char(','))) {
        n.hasPointOrExponent = true;
        ++i;
        for (; i < size && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
            digits += char(text[i].unicode());
            any = true;
        }
    }
    if (!any)
        return std::nullopt;
    if (i < size && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        n.hasPointOrExponent = true;
        ++i;
        bool expNegative = false;
        if (i < size && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
            expNegative = text[i] == QLatin1Char('-');
            ++i;
        }
        int exponent = 0;
        bool expAny = false;
        for (; i < size && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
            exponent = std::min(exponent * 10 + text[i].digitValue(), 100000);
            expAny = true;
        }
        if (!expAny)
            return std::nullopt;
        intDigits += expNegative ? -exponent : exponent;
    }
    if (i != size)
        return std::nullopt;
    std::size_t lead = 0;
    while (lead < digits.size() && digits[lead] == '0')
        ++lead;
    n.digits = digits.substr(lead);
    n.intDigits = intDigits - int(lead);
    return n;
}

// The number rounded to a whole number half away from zero; nullopt when
// it does not fit in 64 bits.
std::optional<qint64> roundedInteger(const NumberText &n)
{
    if (n.digits.empty() || n.intDigits < 0)
        return qint64(0);
    if (n.intDigits > 19)
        return std::nullopt;
    i128 v = 0;
    for (int k = 0; k < n.intDigits; ++k)
        v = v * 10 + (k < int(n.digits.size()) ? n.digits[k] - '0' : 0);
    if (n.intDigits < int(n.digits.size()) && n.digits[n.intDigits] >= '5')
        ++v;
    if (n.negative)
        v = -v;
    if (v > std::numeric_limits<qint64>::max() || v < std::numeric_limits<qint64>::min())
        return std::nullopt;
    return qint64(v);
}

qint64 textToInt64(const Value &self, const QString &text, const char *target)
{
    const auto n = parseNumber(text);
    if (!n)
        cannotConvert(self, target);
    const auto v = roundedInteger(*n);
    if (!v)
        outOfRange(QStringLiteral("'%1'").arg(text), "un numero intero");
    return *v;
}

double textToDouble(const Value &self, const QString &text)
{
    const auto n = parseNumber(text);
    if (!n)
        cannotConvert(self, "numero");
    if (n->digits.empty())
        return n->negative ? -0.0 : 0.0;
    // Feed the exact digits to the correctly rounding reader.
    std::string s = n->negative ? "-0." : "0.";
    s += n->digits;
    s += 'e';
    s += std::to_string(n->intDigits);
    double d = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), d);
    if (res.ec == std::errc::result_out_of_range) {
        if (n->intDigits > 0)
            outOfRange(QStringLiteral("'%1'").arg(text), "un numero in virgola mobile");
        return n->negative ? -0.0 : 0.0;
    }
    if (res.ec != std::errc() || res.ptr != s.data() + s.size())
        cannotConvert(self, "numero");
    return d;
}

qint64 doubleToInt64(double d, const char *target)
{
    const double r = std::round(d); // half away from zero
    // 2^63 is exact as a double; the range is [-2^63, 2^63).
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        outOfRange(floatText(d), target);
    return qint64(r);
}

qint64 currencyToInt64(Currency c)
{
    return c.rounded(0).truncated();
}

struct DateTimeText {
    QDate date;
    QTime time; // invalid when the text had no time
};

std::optional<QTime> parseTimePart(const QString &h, const QString &m, const QString &s, const QString &ms)
{
    const QTime t(h.toInt(), m.toInt(), s.isEmpty() ? 0 : s.toInt(),
                  ms.isEmpty() ? 0 : ms.leftJustified(3, QLatin1Char('0')).toInt());
    if (!t.isValid())
        return std::nullopt;
    return t;
}

std::optional<DateTimeText> parseDateTime(const QString &input)
{
    static const QRegularExpression italian(
        QStringLiteral(R"(^(\d{1,2})/(\d{1,2})/(\d{4})(?: +(\d{1,2}):(\d{2})(?::(\d{2})(?:\.(\d{1,3}))?)?)?$)"));
    static const QRegularExpression iso(
        QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})(?:[T ](\d{2}):(\d{2})(?::(\d{2})(?:\.(\d{1,3}))?)?)?$)"));
    const QString text = input.trimmed();
    DateTimeText out;
    QRegularExpressionMatch m = italian.match(text);
    if (m.hasMatch()) {
        out.date = QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    } else {
        m = iso.match(text);
        if (!m.hasMatch())
            return std::nullopt;
        out.date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    }
    if (!out.date.isValid())
        return std::nullopt;
    if (m.hasCaptured(4)) {
        const auto t = parseTimePart(m.captured(4), m.captured(5), m.captured(6), m.captured(7));
        if (!t)
            return std::nullopt;
        out.time = *t;
    }
    return out;
}

std::optional<QTime> parseTime(const QString &input)
{
    static const QRegularExpression re(QStringLiteral(R"(^(\d{1,2}):(\d{2})(?::(\d{2})(?:\.(\d{1,3}))?)?$)"));
    const QRegularExpressionMatch m = re.match(input.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    return parseTimePart(m.captured(1), m.captured(2), m.captured(3), m.captured(4));
}

// Integer and float compare exactly: a float equals an integer only when it
// is that whole number.
bool intEqualsDouble(qint64 i, double d)
{
    if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0) || std::trunc(d) != d)
        return false;
    return qint64(d) == i;
}

// A float equals a Currency when the float's shortest decimal form is the
// amount: Float 0.1 == Currency 0.1000, though 0.1 is not exact in binary.
bool currencyEqualsDouble(Currency c, double d)
{
    if (!std::isfinite(d))
        return false;
    if (d == 0)
        return c.isZero();
    const ShortestDigits sd = shortestDigits(d);
    // value = digits * 10^(exp10 - len + 1); raw = value * 10^4
    const int shift = sd.exp10 - int(sd.digits.size()) + 1 + 4;
    if (shift < 0 || sd.exp10 > 18)
        return false;
    i128 raw = 0;
    for (char ch : sd.digits)
        raw = raw * 10 + (ch - '0');
    for (int k = 0; k < shift; ++k)
        raw *= 10;
    if (sd.negative)
        raw = -raw;
    return raw == i128(c.raw());
}

void registerCurrencyMetaType()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QMetaType::registerConverter<Currency, QString>([](const Currency &c) { return c.toString(); });
        QMetaType::registerConverter<Currency, double>([](const Currency &c) { return c.toDouble(); });
    });
}

} // namespace

Value Value::null()
{
    Value v;
    v.m_v = NullTag{};
    return v;
}

Value Value::fromUnsigned(quint64 v)
{
    if (v > quint64(std::numeric_limits<qint64>::max()))
        outOfRange(QString::number(v), "un numero intero");
    return Value(qint64(v));
}

Value::Value(int v) : m_v(v) {}
Value::Value(qint64 v) : m_v(v) {}
Value::Value(double v) : m_v(v) {}
Value::Value(Currency v) : m_v(v) {}
Value::Value(const QString &v) : m_v(v) {}
Value::Value(QString &&v) noexcept : m_v(std::move(v)) {}
Value::Value(const char *v) : m_v(QString::fromUtf8(v)) {}
Value::Value(bool v) : m_v(v) {}
Value::Value(const QByteArray &v) : m_v(v) {}

Value::Value(QDate v)
{
    if (v.isValid())
        m_v = v;
    else
        m_v = NullTag{};
}

Value::Value(const QDateTime &v)
{
    if (v.isValid())
        m_v = v;
    else
        m_v = NullTag{};
}

Value::Value(QTime v)
{
    if (v.isValid())
        m_v = v;
    else
        m_v = NullTag{};
}

bool Value::isNumeric() const
{
    switch (type()) {
    case ValueType::Integer:
    case ValueType::LargeInt:
    case ValueType::Float:
    case ValueType::Currency: return true;
    default: return false;
    }
}

qint64 Value::toInt64() const
{
    switch (type()) {
    case ValueType::Unassigned: return 0;
    case ValueType::Integer: return std::get<int>(m_v);
    case ValueType::LargeInt: return std::get<qint64>(m_v);
    case ValueType::Float: return doubleToInt64(std::get<double>(m_v), "un numero intero");
    case ValueType::Currency: return currencyToInt64(std::get<Currency>(m_v));
    case ValueType::Text: return textToInt64(*this, std::get<QString>(m_v), "numero intero");
    case ValueType::Boolean: return std::get<bool>(m_v) ? 1 : 0;
    default: cannotConvert(*this, "numero intero");
    }
}

int Value::toInt() const
{
    if (type() == ValueType::Integer)
        return std::get<int>(m_v);
    const qint64 v = toInt64();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        outOfRange(toString(), "un numero intero a 32 bit");
    return int(v);
}

double Value::toDouble() const
{
    switch (type()) {
    case ValueType::Unassigned: return 0.0;
    case ValueType::Integer: return std::get<int>(m_v);
    case ValueType::LargeInt: return double(std::get<qint64>(m_v));
    case ValueType::Float: return std::get<double>(m_v);
    case ValueType::Currency: return std::get<Currency>(m_v).toDouble();
    case ValueType::Text: return textToDouble(*this, std::get<QString>(m_v));
    case ValueType::Boolean: return std::get<bool>(m_v) ? 1.0 : 0.0;
    default: cannotConvert(*this, "numero");
    }
}

Currency Value::toCurrency() const
{
    switch (type()) {
    case ValueType::Unassigned: return Currency();
    case ValueType::Integer: return Currency::fromInt(std::get<int>(m_v));
    case ValueType::LargeInt: return Currency::fromInt(std::get<qint64>(m_v));
    case ValueType::Float: return Currency::fromDouble(std::get<double>(m_v));
    case ValueType::Currency: return std::get<Currency>(m_v);
    case ValueType::Text: return Currency::fromString(std::get<QString>(m_v));
    case ValueType::Boolean: return Currency::fromInt(std::get<bool>(m_v) ? 1 : 0);
    default: cannotConvert(*this, "importo");
    }
}

QString Value::toString() const
{
    switch (type()) {
    case ValueType::Unassigned:
    case ValueType::Null: return QString();
    case ValueType::Integer: return QString::number(std::get<int>(m_v));
    case ValueType::LargeInt: return QString::number(std::get<qint64>(m_v));
    case ValueType::Float: return floatText(std::get<double>(m_v));
    case ValueType::Currency: return std::get<Currency>(m_v).toString();
    case ValueType::Text: return std::get<QString>(m_v);
    case ValueType::Date: return dateText(std::get<QDate>(m_v));
    case ValueType::DateTime: return dateTimeText(std::get<QDateTime>(m_v));
    case ValueType::Time: return timeText(std::get<QTime>(m_v));
    case ValueType::Boolean: return std::get<bool>(m_v) ? QStringLiteral("True") : QStringLiteral("False");
    case ValueType::Bytes: return QString::fromUtf8(std::get<QByteArray>(m_v));
    }
    return QString();
}

QDate Value::toDate() const
{
    switch (type()) {
    case ValueType::Unassigned: return QDate();
    case ValueType::Date: return std::get<QDate>(m_v);
    case ValueType::DateTime: return std::get<QDateTime>(m_v).date();
    case ValueType::Text:
        if (const auto dt = parseDateTime(std::get<QString>(m_v)))
            return dt->date;
        cannotConvert(*this, "data");
    default: cannotConvert(*this, "data");
    }
}

QDateTime Value::toDateTime() const
{
    switch (type()) {
    case ValueType::Unassigned: return QDateTime();
    case ValueType::Date: return QDateTime(std::get<QDate>(m_v), QTime(0, 0));
    case ValueType::DateTime: return std::get<QDateTime>(m_v);
    case ValueType::Text:
        if (const auto dt = parseDateTime(std::get<QString>(m_v)))
            return QDateTime(dt->date, dt->time.isValid() ? dt->time : QTime(0, 0));
        cannotConvert(*this, "data e ora");
    default: cannotConvert(*this, "data e ora");
    }
}

QTime Value::toTime() const
{
    switch (type()) {
    case ValueType::Unassigned: return QTime();
    case ValueType::Date: return QTime(0, 0);
    case ValueType::DateTime: return std::get<QDateTime>(m_v).time();
    case ValueType::Time: return std::get<QTime>(m_v);
    case ValueType::Text: {
        const QString &text = std::get<QString>(m_v);
        if (const auto t = parseTime(text))
            return *t;
        if (const auto dt = parseDateTime(text))
            return dt->time.isValid() ? dt->time : QTime(0, 0);
        cannotConvert(*this, "ora");
    }
    default: cannotConvert(*this, "ora");
    }
}

bool Value::toBool() const
{
    switch (type()) {
    case ValueType::Unassigned: return false;
    case ValueType::Integer: return std::get<int>(m_v) != 0;
    case ValueType::LargeInt: return std::get<qint64>(m_v) != 0;
    case ValueType::Float: return std::get<double>(m_v) != 0;
    case ValueType::Currency: return !std::get<Currency>(m_v).isZero();
    case ValueType::Boolean: return std::get<bool>(m_v);
    case ValueType::Text: {
        const QString text = std::get<QString>(m_v).trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1"))
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || text == QLatin1String("0"))
            return false;
        cannotConvert(*this, "valore logico");
    }
    default: cannotConvert(*this, "valore logico");
    }
}

QByteArray Value::toBytes() const
{
    switch (type()) {
    case ValueType::Unassigned:
    case ValueType::Null: return QByteArray();
    case ValueType::Text: return std::get<QString>(m_v).toUtf8();
    case ValueType::Bytes: return std::get<QByteArray>(m_v);
    default: cannotConvert(*this, "dati binari");
    }
}

bool Value::operator==(const Value &other) const
{
    if (isNumeric() && other.isNumeric() && type() != other.type()) {
        const Value *a = this;
        const Value *b = &other;
        // Order the pair so that `a` is the narrower kind.
        if (int(a->type()) > int(b->type()))
            std::swap(a, b);
        const ValueType ta = a->type();
        const ValueType tb = b->type();
        const qint64 ai = (ta == ValueType::Integer || ta == ValueType::LargeInt) ? a->toInt64() : 0;
        if (tb == ValueType::LargeInt) // a is Integer
            return ai == std::get<qint64>(b->m_v);
        if (tb == ValueType::Float) // a is Integer or LargeInt
            return intEqualsDouble(ai, std::get<double>(b->m_v));
        // tb is Currency
        const Currency c = std::get<Currency>(b->m_v);
        if (ta == ValueType::Float)
            return currencyEqualsDouble(c, std::get<double>(a->m_v));
        return i128(ai) * Currency::Scale == i128(c.raw());
    }
    return m_v == other.m_v;
}

QVariant Value::toQVariant() const
{
    switch (type()) {
    case ValueType::Unassigned: return QVariant();
    case ValueType::Null: return QVariant::fromValue(nullptr);
    case ValueType::Integer: return QVariant(std::get<int>(m_v));
    case ValueType::LargeInt: return QVariant(std::get<qint64>(m_v));
    case ValueType::Float: return QVariant(std::get<double>(m_v));
    case ValueType::Currency: registerCurrencyMetaType(); return QVariant::fromValue(std::get<Currency>(m_v));
    case ValueType::Text: return QVariant(std::get<QString>(m_v));
    case ValueType::Date: return QVariant(std::get<QDate>(m_v));
    case ValueType::DateTime: return QVariant(std::get<QDateTime>(m_v));
    case ValueType::Time: return QVariant(std::get<QTime>(m_v));
    case ValueType::Boolean: return QVariant(std::get<bool>(m_v));
    case ValueType::Bytes: return QVariant(std::get<QByteArray>(m_v));
    }
    return QVariant();
}

Value Value::fromQVariant(const QVariant &v)
{
    if (!v.isValid())
        return Value();
    if (v.isNull())
        return null();
    const QMetaType mt = v.metaType();
    if (mt == QMetaType::fromType<Currency>())
        return Value(v.value<Currency>());
    switch (mt.id()) {
    case QMetaType::Int: return Value(v.toInt());
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Char: return Value(v.toInt());
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::UInt: return Value(v.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong: return fromUnsigned(v.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float: return Value(v.toDouble());
    case QMetaType::QString: return Value(v.toString());
    case QMetaType::QChar: return Value(QString(v.toChar()));
    case QMetaType::QDate: return Value(v.toDate());
    case QMetaType::QDateTime: return Value(v.toDateTime());
    case QMetaType::QTime: return Value(v.toTime());
    case QMetaType::Bool: return Value(v.toBool());
    case QMetaType::QByteArray: return Value(v.toByteArray());
    default: break;
    }
    throw EConvertError(QStringLiteral("Impossibile convertire un QVariant di tipo '%1' in valore")
                            .arg(QString::fromLatin1(mt.name())));
}

QString Value::debugText() const
{
    switch (type()) {
    case ValueType::Unassigned:
    case ValueType::Null: return kindName(type());
    case ValueType::Bytes: return QStringLiteral("Bytes(%1)").arg(bytesHex(std::get<QByteArray>(m_v)));
    default: return QStringLiteral("%1(%2)").arg(kindName(type()), toString());
    }
}

} // namespace platform
