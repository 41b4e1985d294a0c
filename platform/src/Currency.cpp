#include "Currency.h"
#include "Exceptions.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace platform {

namespace {

using i128 = __int128;

int64_t checked(i128 v)
{
    if (v > std::numeric_limits<int64_t>::max() || v < std::numeric_limits<int64_t>::min())
        throw EOverflowError(QStringLiteral("Valore fuori dai limiti dell'importo"));
    return int64_t(v);
}

i128 divRound(i128 num, i128 den)
{
    return roundedQuotient(num, den);
}

constexpr int64_t pow10(int n)
{
    int64_t p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

void checkDecimals(int decimals)
{
    if (decimals < 0 || decimals > 4)
        throw EConvertError(QStringLiteral("Numero di decimali non valido: %1").arg(decimals));
}

} // namespace

Currency Currency::fromInt(int64_t units)
{
    return fromRaw(checked(i128(units) * Scale));
}

Currency Currency::fromDouble(double value)
{
    if (!std::isfinite(value))
        throw EOverflowError(QStringLiteral("Valore non numerico per un importo"));
    // A double read from the database or typed by a user stands for a short
    // decimal (99.99 arrives as 99.98999...). Take its 15 significant digits,
    // which a double always carries exactly, then round at the fourth decimal.
    // (std::to_chars gives the digits printf's "%.14e" gives, several times
    // faster: a large table of amounts converts each of them.)
    char buf[64];
    *std::to_chars(buf, buf + sizeof buf - 1, std::fabs(value), std::chars_format::scientific, 14).ptr = '\0';
    // buf: d.dddddddddddddde[+-]XX
    i128 digits = 0;
    const char *p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits = digits * 10 + (*p - '0');
    const int exponent = std::atoi(p + 1);
    // value = digits * 10^(exponent - 14); raw = value * 10^4
    const int shift = exponent - 10;
    i128 raw;
    if (shift >= 0) {
        if (shift > 18)
            throw EOverflowError(QStringLiteral("Valore fuori dai limiti dell'importo"));
        raw = digits;
        for (int i = 0; i < shift; ++i) {
            raw *= 10;
            if (raw > i128(std::numeric_limits<int64_t>::max()))
                throw EOverflowError(QStringLiteral("Valore fuori dai limiti dell'importo"));
        }
    } else if (-shift > 30) {
        raw = 0;
    } else {
        i128 div = 1;
        for (int i = 0; i < -shift; ++i)
            div *= 10;
        raw = divRound(digits, div);
    }
    return fromRaw(checked(value < 0 ? -raw : raw));
}

Currency Currency::fromString(const QString &input)
{
    const QString text = input.trimmed();
    auto bad = [&]() { return EConvertError(QStringLiteral("'%1' non è un importo valido").arg(input)); };
    if (text.isEmpty())
        throw bad();
    int i = 0;
    bool negative = false;
    if (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+')) {
        negative = text[0] == QLatin1Char('-');
        ++i;
    }
    i128 intPart = 0;
    int intDigits = 0;
    for (; i < text.size() && text[i].isDigit(); ++i) {
        intPart = intPart * 10 + text[i].digitValue();
        if (intPart > i128(std::numeric_limits<int64_t>::max()))
            throw EOverflowError(QStringLiteral("Valore fuori dai limiti dell'importo"));
        ++intDigits;
    }
    i128 frac = 0; // the first five decimals, as an integer
    int fracDigits = 0;
    if (i < text.size() && (text[i] == QLatin1Char('.') || text[i] == QLatin1Char(','))) {
        ++i;
        for (; i < text.size() && text[i].isDigit(); ++i) {
            if (fracDigits < 5) {
                frac = frac * 10 + text[i].digitValue();
                ++fracDigits;
            }
        }
    }
    if (i != text.size() || (intDigits == 0 && fracDigits == 0))
        throw bad();
    for (int k = fracDigits; k < 5; ++k)
        frac *= 10;
    // Half away from zero at the fourth decimal: the magnitude is rounded up
    // when the fifth decimal is 5 or more, whatever follows it.
    i128 raw = intPart * Scale + frac / 10 + (frac % 10 >= 5 ? 1 : 0);
    return fromRaw(checked(negative ? -raw : raw));
}

QString Currency::toString() const
{
    QString s = toString(4);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

QString Currency::toString(int decimals) const
{
    checkDecimals(decimals);
    // Rounded wide: the largest amounts round beyond the 64-bit range
    // (922337203685477.5807 to no decimals) and must still print.
    const int64_t step = pow10(4 - decimals);
    const i128 r = divRound(m_raw, step) * step;
    const bool negative = r < 0;
    const unsigned __int128 a = negative ? -r : r;
    const uint64_t units = uint64_t(a / Scale);
    const uint64_t frac = uint64_t(a % Scale) / uint64_t(step);
    QString s = QString::number(units);
    if (decimals > 0)
        s += QLatin1Char('.') + QString::number(frac).rightJustified(decimals, QLatin1Char('0'));
    if (negative && r != 0)
        s.prepend(QLatin1Char('-'));
    return s;
}

Currency Currency::rounded(int decimals) const
{
    checkDecimals(decimals);
    const int64_t step = pow10(4 - decimals);
    return fromRaw(checked(divRound(m_raw, step) * step));
}

Currency Currency::roundedUp(int decimals) const
{
    checkDecimals(decimals);
    const int64_t step = pow10(4 - decimals);
    i128 q = m_raw / step;
    if (m_raw % step != 0)
        q += (m_raw < 0) ? -1 : 1;
    return fromRaw(checked(q * step));
}

Currency Currency::operator-() const
{
    return fromRaw(checked(-i128(m_raw)));
}
Currency Currency::operator+(Currency o) const
{
    return fromRaw(checked(i128(m_raw) + o.m_raw));
}
Currency Currency::operator-(Currency o) const
{
    return fromRaw(checked(i128(m_raw) - o.m_raw));
}
Currency Currency::operator*(int64_t f) const
{
    return fromRaw(checked(i128(m_raw) * f));
}
Currency Currency::operator*(Currency o) const
{
    return fromRaw(checked(divRound(i128(m_raw) * o.m_raw, Scale)));
}
Currency Currency::operator/(int64_t d) const
{
    return fromRaw(checked(divRound(m_raw, d)));
}
Currency Currency::operator/(Currency d) const
{
    return fromRaw(checked(divRound(i128(m_raw) * Scale, d.m_raw)));
}
Currency Currency::percent(Currency p) const
{
    return fromRaw(checked(divRound(i128(m_raw) * p.m_raw, i128(Scale) * 100)));
}

__int128 roundedQuotient(__int128 num, __int128 den)
{
    if (den == 0)
        throw EOverflowError(QStringLiteral("Divisione per zero"));
    if (den < 0) {
        num = -num;
        den = -den;
    }
    i128 q = num / den;
    i128 r = num % den;
    if (r < 0)
        r = -r;
    if (2 * r >= den)
        q += (num < 0) ? -1 : 1;
    return q;
}

} // namespace platform
