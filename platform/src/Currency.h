#pragma once
// Fixed-point money: a 64-bit integer scaled by 10^4. Every amount of a
// declaration passes through this type; nothing is computed through double.
#include <QString>
#include <compare>
#include <cstdint>

namespace platform {

class Currency {
public:
    static constexpr int64_t Scale = 10000;

    constexpr Currency() = default;

    static constexpr Currency fromRaw(int64_t raw)
    {
        Currency c;
        c.m_raw = raw;
        return c;
    }
    // Whole units (euros). Raises EOverflowError outside the range.
    static Currency fromInt(int64_t units);
    // Rounded at the fourth decimal, half away from zero. NaN, infinities and
    // values outside the range raise EOverflowError.
    static Currency fromDouble(double value);
    // Text with "." or "," as the decimal point, optional sign, at most four
    // decimals (more are rounded half away from zero). Raises EConvertError.
    static Currency fromString(const QString &text);

    constexpr int64_t raw() const { return m_raw; }
    double toDouble() const { return double(m_raw) / Scale; }
    // Whole units, truncated toward zero.
    int64_t truncated() const { return m_raw / Scale; }

    // Shortest text: "12.5", "-0.01", "0"; "." whatever the locale.
    QString toString() const;
    // Fixed number of decimals (0 to 4), rounded half away from zero first.
    QString toString(int decimals) const;

    // Rounded to `decimals` (0 to 4) half away from zero, on the scaled integer.
    Currency rounded(int decimals) const;
    // Rounded up (away from zero) to `decimals` when anything lies beyond them.
    Currency roundedUp(int decimals) const;

    Currency operator-() const;
    Currency operator+(Currency other) const;
    Currency operator-(Currency other) const;
    Currency &operator+=(Currency other) { return *this = *this + other; }
    Currency &operator-=(Currency other) { return *this = *this - other; }
    Currency operator*(int64_t factor) const;
    // Product of two amounts (or an amount and a rate), rounded at the
    // fourth decimal half away from zero.
    Currency operator*(Currency other) const;
    // Quotient rounded at the fourth decimal half away from zero; a zero
    // divisor raises EOverflowError.
    Currency operator/(int64_t divisor) const;
    Currency operator/(Currency divisor) const;
    // this * percent / 100, rounded at the fourth decimal.
    Currency percent(Currency percent) const;

    constexpr bool isZero() const { return m_raw == 0; }
    constexpr auto operator<=>(const Currency &) const = default;

private:
    int64_t m_raw = 0;
};

// num / den to the nearest integer, ties away from zero: the system's one
// rounding rule, for callers that work on exact fractions wider than an
// amount (rates, products). A zero divisor raises EOverflowError.
__int128 roundedQuotient(__int128 num, __int128 den);

} // namespace platform
