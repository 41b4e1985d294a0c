#include "Format.h"
#include "Exceptions.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace platform {

namespace {

using i128 = __int128;
using u128 = unsigned __int128;

// Width, precision and index above this are taken for a broken directive
// rather than a request for megabytes of padding.
constexpr int MaxNumber = 4096;

// An exact decimal number: value = 0.d1d2d3... * 10^point. `digits` has no
// leading or trailing zeros; it is empty for zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    int point = 0;

    bool isZero() const { return digits.empty(); }

    void normalize()
    {
        std::size_t lead = 0;
        while (lead < digits.size() && digits[lead] == '0')
            ++lead;
        digits.erase(0, lead);
        point -= int(lead);
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
        if (digits.empty())
            point = 0;
    }

    // Keeps the first `keep` digits, rounding half away from zero: the
    // digits are exact, so a first dropped digit of 5 or more means at least
    // half a unit.
    void roundTo(int keep)
    {
        if (keep >= int(digits.size()))
            return;
        if (keep < 0) {
            digits.clear();
            point = 0;
            return;
        }
        const bool up = digits[keep] >= '5';
        digits.resize(keep);
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[i] == '9')
                digits[i--] = '0';
            if (i < 0) {
                digits.insert(digits.begin(), '1');
                ++point;
            } else {
                ++digits[i];
            }
        }
        normalize();
    }

    char digitAt(int index) const { return index >= 0 && index < int(digits.size()) ? digits[index] : '0'; }
};

Decimal fromUnsigned(u128 magnitude, bool negative, int scale)
{
    Decimal d;
    d.negative = negative;
    while (magnitude > 0) {
        d.digits.insert(d.digits.begin(), char('0' + int(magnitude % 10)));
        magnitude /= 10;
    }
    d.point = int(d.digits.size()) - scale;
    d.normalize();
    return d;
}

Decimal fromInteger(qint64 v)
{
    const bool negative = v < 0;
    return fromUnsigned(negative ? u128(-i128(v)) : u128(v), negative, 0);
}

// The amount's own decimal digits: no double anywhere.
Decimal fromCurrency(Currency c)
{
    const int64_t raw = c.raw();
    const bool negative = raw < 0;
    return fromUnsigned(negative ? u128(-i128(raw)) : u128(raw), negative, 4);
}

// The exact binary value of a finite double, written out in decimal.
Decimal fromDouble(double v)
{
    // A double has at most 767 significant decimal digits.
    char buf[1024];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 800);
    Decimal d;
    const char *p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p != '.')
            d.digits += *p;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), res.ptr, exponent);
    d.point = exponent + 1;
    d.normalize();
    return d;
}

QString latin1(const std::string &s)
{
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

// "1234.50"; with `group`, "1.234,50" (thousands "." and decimal ",").
QString fixedText(Decimal d, int decimals, bool group)
{
    d.roundTo(d.point + decimals);
    std::string intPart;
    for (int i = 0; i < d.point; ++i)
        intPart += d.digitAt(i);
    if (intPart.empty())
        intPart = "0";
    if (group) {
        for (int i = int(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(std::size_t(i), 1, '.');
    }
    std::string out = (d.negative && !d.isZero()) ? "-" : "";
    out += intPart;
    if (decimals > 0) {
        out += group ? ',' : '.';
        for (int i = 0; i < decimals; ++i)
            out += d.digitAt(d.point + i);
    }
    return latin1(out);
}

std::string exponentText(int exponent)
{
    std::string e = std::to_string(std::abs(exponent));
    if (e.size() < 3)
        e.insert(0, 3 - e.size(), '0');
    return std::string(exponent < 0 ? "E-" : "E+") + e;
}

// "-d.ddd...E+ddd" with `precision` significant digits.
QString scientificText(Decimal d, int precision)
{
    d.roundTo(precision);
    std::string out = (d.negative && !d.isZero()) ? "-" : "";
    out += d.digitAt(0);
    if (precision > 1) {
        out += '.';
        for (int i = 1; i < precision; ++i)
            out += d.digitAt(i);
    }
    out += exponentText(d.isZero() ? 0 : d.point - 1);
    return latin1(out);
}

// Shortest of fixed and scientific at `precision` significant digits.
QString generalText(Decimal d, int precision)
{
    d.roundTo(precision);
    if (d.isZero())
        return QStringLiteral("0");
    std::string out = d.negative ? "-" : "";
    if (d.point > precision || d.point < -4) {
        out += d.digits[0];
        if (d.digits.size() > 1)
            out += '.' + d.digits.substr(1);
        out += exponentText(d.point - 1);
    } else if (d.point <= 0) {
        out += "0." + std::string(std::size_t(-d.point), '0') + d.digits;
    } else {
        for (int i = 0; i < d.point; ++i)
            out += d.digitAt(i);
        if (int(d.digits.size()) > d.point)
            out += '.' + d.digits.substr(std::size_t(d.point));
    }
    return latin1(out);
}

class Formatter {
public:
    Formatter(const QString &pattern, const ValueList &args) : m_pattern(pattern), m_args(args) {}

    QString run()
    {
        QString out;
        out.reserve(m_pattern.size() + 16 * m_args.size());
        qsizetype i = 0;
        const qsizetype n = m_pattern.size();
        while (i < n) {
            const qsizetype next = m_pattern.indexOf(QLatin1Char('%'), i);
            if (next < 0) {
                out += QStringView(m_pattern).mid(i);
                break;
            }
            out += QStringView(m_pattern).mid(i, next - i);
            m_pos = next + 1;
            if (m_pos < n && m_pattern[m_pos] == QLatin1Char('%')) {
                out += QLatin1Char('%');
                i = m_pos + 1;
                continue;
            }
            out += directive();
            i = m_pos;
        }
        return out;
    }

private:
    [[noreturn]] void invalid() const
    {
        throw EConvertError(QStringLiteral("Formato '%1' non valido o incompatibile con l'argomento").arg(m_pattern));
    }

    const Value &nextArg()
    {
        if (m_argIndex < 0 || m_argIndex >= m_args.size())
            throw EConvertError(QStringLiteral("Nessun argomento per il formato '%1'").arg(m_pattern));
        return m_args[m_argIndex++];
    }

    static bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

    QChar peek() const { return m_pos < m_pattern.size() ? m_pattern[m_pos] : QChar(); }

    // Digits or "*" (the value taken from the next argument, an integer);
    // nullopt when neither stands here.
    std::optional<int> number()
    {
        if (peek() == QLatin1Char('*')) {
            ++m_pos;
            const Value &a = nextArg();
            if (a.type() != ValueType::Integer && a.type() != ValueType::LargeInt)
                invalid();
            const qint64 v = a.toInt64();
            if (v < 0 || v > MaxNumber)
                invalid();
            return int(v);
        }
        if (!isDigit(peek()))
            return std::nullopt;
        int v = 0;
        while (isDigit(peek())) {
            v = v * 10 + peek().digitValue();
            if (v > MaxNumber)
                invalid();
            ++m_pos;
        }
        return v;
    }

    // "%" [index ":"] ["-"] [width] ["." precision] type, from just after
    // the "%".
    QString directive()
    {
        bool left = false;
        // The first number is the index when a ":" follows, else the width.
        std::optional<int> width = number();
        if (width && peek() == QLatin1Char(':')) {
            ++m_pos;
            m_argIndex = *width;
            width.reset();
        }
        if (!width && peek() == QLatin1Char('-')) {
            left = true;
            ++m_pos;
        }
        if (!width)
            width = number();
        std::optional<int> precision;
        if (peek() == QLatin1Char('.')) {
            ++m_pos;
            precision = number().value_or(0);
        }
        if (m_pos >= m_pattern.size())
            invalid();
        const char type = char(peek().toLower().unicode());
        ++m_pos;
        QString text = convert(type, precision);
        const int w = width.value_or(0);
        if (text.size() < w) {
            const QString pad(w - text.size(), QLatin1Char(' '));
            text = left ? text + pad : pad + text;
        }
        return text;
    }

    QString convert(char type, std::optional<int> precision)
    {
        switch (type) {
        case 'd':
        case 'u':
        case 'x':
        case 'p':
        case 's':
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': break;
        default: invalid();
        }
        const Value &arg = nextArg();
        const ValueType t = arg.type();
        const bool integer = t == ValueType::Integer || t == ValueType::LargeInt;
        switch (type) {
        case 's': {
            if (t != ValueType::Text)
                invalid();
            const QString s = arg.toString();
            return precision && *precision < s.size() ? s.left(*precision) : s;
        }
        case 'd':
        case 'u': {
            if (!integer)
                invalid();
            const qint64 v = arg.toInt64();
            if (type == 'u' && v < 0)
                invalid();
            const bool negative = v < 0;
            QString digits = QString::number(negative ? quint64(-(v + 1)) + 1 : quint64(v));
            if (precision && digits.size() < *precision)
                digits = digits.rightJustified(*precision, QLatin1Char('0'));
            return negative ? QLatin1Char('-') + digits : digits;
        }
        case 'x':
        case 'p': {
            if (!integer)
                invalid();
            // Negative values in two's complement of their own width, as
            // the hexadecimal of a 32- or 64-bit integer.
            const quint64 bits = t == ValueType::Integer && type == 'x' ? quint64(quint32(arg.toInt()))
                                                                        : quint64(arg.toInt64());
            QString hex = QString::number(bits, 16).toUpper();
            const int minDigits = type == 'p' ? 16 : precision.value_or(0);
            if (hex.size() < minDigits)
                hex = hex.rightJustified(minDigits, QLatin1Char('0'));
            return hex;
        }
        default: break;
        }
        // e, f, g, n, m
        Decimal d;
        if (integer) {
            d = fromInteger(arg.toInt64());
        } else if (t == ValueType::Currency) {
            d = fromCurrency(arg.toCurrency());
        } else if (t == ValueType::Float) {
            const double v = arg.toDouble();
            if (std::isnan(v))
                return QStringLiteral("NAN");
            if (std::isinf(v))
                return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
            d = fromDouble(v);
        } else {
            invalid();
        }
        switch (type) {
        case 'e': return scientificText(d, std::max(1, precision.value_or(15)));
        case 'g': return generalText(d, std::max(1, precision.value_or(15)));
        case 'f': return fixedText(d, precision.value_or(2), false);
        case 'n': return fixedText(d, precision.value_or(2), true);
        default: return fixedText(d, precision.value_or(2), true) + QStringLiteral(" €");
        }
    }

    const QString &m_pattern;
    const ValueList &m_args;
    qsizetype m_pos = 0;
    qsizetype m_argIndex = 0;
};

} // namespace

QString format(const QString &pattern, const ValueList &args)
{
    return Formatter(pattern, args).run();
}

} // namespace platform
