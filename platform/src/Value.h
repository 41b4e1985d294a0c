#pragma once
// The platform's variant: the value of a field, a parameter or a query
// column. Unassigned (never set) and Null (set to nothing) are distinct.
#include "Currency.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>
#include <QVariant>
#include <concepts>
#include <type_traits>
#include <variant>

namespace platform {

enum class ValueType {
    Unassigned,
    Null,
    Integer,
    LargeInt,
    Float,
    Currency,
    Text,
    Date,
    DateTime,
    Time,
    Boolean,
    Bytes
};

class Value {
public:
    Value() = default; // Unassigned
    static Value null();
    Value(int v);
    Value(qint64 v);
    Value(double v);
    Value(Currency v);
    Value(const QString &v);
    Value(QString &&v) noexcept;
    Value(const char *v);         // UTF-8 text
    Value(const void *) = delete; // no pointer silently becomes a Boolean
    Value(QDate v);               // an invalid QDate is Null
    Value(const QDateTime &v);    // an invalid QDateTime is Null
    Value(QTime v);               // an invalid QTime is Null
    Value(bool v);
    Value(const QByteArray &v);
    // Any other integer type (long, qsizetype, unsigned, short, ...): the
    // types narrower than int give an Integer, the others a LargeInt; an
    // unsigned value beyond qint64 raises EOverflowError. Character types
    // are left out on purpose.
    template <std::integral T>
    requires(
        !std::same_as<
            T,
            bool> && !std::same_as<T, int> && !std::same_as<T, qint64> && !std::same_as<T, char> && !std::same_as<T, signed char> && !std::same_as<T, unsigned char> && !std::same_as<T, wchar_t> && !std::same_as<T, char8_t> && !std::same_as<T, char16_t> && !std::same_as<T, char32_t>)
        Value(T v)
    {
        if constexpr (sizeof(T) < sizeof(int))
            m_v = int(v);
        else if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(qint64))
            m_v = fromUnsigned(quint64(v)).m_v;
        else
            m_v = qint64(v);
    }

    ValueType type() const { return ValueType(m_v.index()); }
    bool isUnassigned() const { return type() == ValueType::Unassigned; }
    bool isNull() const { return type() == ValueType::Null; }
    // Null or Unassigned: "no value" for the checks of the programs.
    bool isEmpty() const { return isNull() || isUnassigned(); }
    // The text a Text value holds, without a copy; nullptr for any other.
    const QString *textIf() const { return std::get_if<QString>(&m_v); }
    bool isNumeric() const;

    // Conversions as the platform makes them:
    // - Unassigned converts to 0, "", false, an invalid date, empty bytes;
    // - Null raises EConvertError for numbers, booleans and dates, and gives
    //   "" as text and empty bytes;
    // - text converts to numbers ("12", "-3", "12.50", "12,50", "1e3"; to an
    //   integer rounded half away from zero on its digits), dates
    //   ("dd/MM/yyyy" or "yyyy-MM-dd"), times ("hh:mm[:ss]") and booleans
    //   ("True"/"False", "1"/"0", any case); anything else raises
    //   EConvertError naming the text;
    // - integers and floats out of range for the target raise EOverflowError;
    //   a float converted to an integer is rounded half away from zero;
    // - a date converts to a date-time at midnight and back; a date or
    //   date-time converts to text as "dd/MM/yyyy" ("dd/MM/yyyy hh:mm:ss"
    //   when the time is not midnight), a time as "hh:mm:ss", a boolean as
    //   "True"/"False", a float in its shortest form with "." as point
    //   ("0.1", "1234.5"; "1e+16" and "1e-6" outside 0.00001 to 10^16), a
    //   Currency through Currency::toString();
    // - text accepts a date-time as "dd/MM/yyyy hh:mm[:ss]" or
    //   "yyyy-MM-ddThh:mm:ss" (a space in place of the "T" too); a date-time
    //   gives its date part to toDate() and its time part to toTime(), a date
    //   gives midnight to toTime(); a time does not convert to a date or a
    //   date-time;
    // - an integer, float or Currency converts to a boolean as "not zero", a
    //   boolean to the numbers 1 and 0;
    // - a Currency converts to an integer rounded half away from zero, to a
    //   double through Currency::toDouble(); an integer or float converts to
    //   Currency through Currency::fromInt/fromDouble, text through
    //   Currency::fromString (never through a double);
    // - text and bytes convert into each other as UTF-8; no other kind
    //   converts to bytes, and dates, times and bytes do not convert to
    //   numbers or booleans (EConvertError).
    int toInt() const;
    qint64 toInt64() const;
    double toDouble() const;
    Currency toCurrency() const;
    QString toString() const;
    QDate toDate() const;
    QDateTime toDateTime() const;
    QTime toTime() const;
    bool toBool() const;
    QByteArray toBytes() const;

    // Same kind and same value; numbers of different kinds compare by value
    // (Integer 2 == Currency 2.0000), text compares case-sensitively, Null
    // equals Null, Unassigned equals Unassigned. Integers and floats compare
    // exactly; a float equals a Currency when its shortest decimal form is
    // that amount (Float 0.1 == Currency 0.1000). No other kinds mix: Date
    // and DateTime, Text "2" and Integer 2, Boolean and numbers all differ.
    bool operator==(const Value &other) const;
    bool operator!=(const Value &other) const { return !(*this == other); }

    // For the Qt views and the SQL layer. Unassigned is an invalid QVariant,
    // Null a valid null one (std::nullptr_t); a Currency travels as the
    // metatype platform::Currency (with converters to QString and double
    // registered, so QVariant::toString() works on it). fromQVariant gives
    // back the same kind for every value toQVariant makes; any null QVariant
    // (a typed null of the SQL drivers included) is Null; unsigned and
    // narrower integer types are taken as Integer or LargeInt, float as
    // Float, QChar as Text; other types raise EConvertError.
    QVariant toQVariant() const;
    static Value fromQVariant(const QVariant &v);

    // For messages and test output: "Integer(12)", "Null", "Text(abc)".
    QString debugText() const;

private:
    static Value fromUnsigned(quint64 v);

    struct NullTag {
        bool operator==(const NullTag &) const = default;
    };
    std::variant<std::monostate, NullTag, int, qint64, double, Currency, QString, QDate, QDateTime, QTime, bool,
                 QByteArray>
        m_v;
};

using ValueList = QList<Value>;

} // namespace platform

Q_DECLARE_METATYPE(platform::Currency)
