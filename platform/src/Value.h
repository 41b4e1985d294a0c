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
#include <variant>

namespace platform {

enum class ValueType {
    Unassigned, Null, Integer, LargeInt, Float, Currency, Text, Date, DateTime, Time, Boolean, Bytes
};

class Value {
public:
    Value() = default;                  // Unassigned
    static Value null();
    Value(int v);
    Value(qint64 v);
    Value(double v);
    Value(Currency v);
    Value(const QString &v);
    Value(const char *v);               // UTF-8 text
    Value(QDate v);                     // an invalid QDate is Null
    Value(const QDateTime &v);          // an invalid QDateTime is Null
    Value(QTime v);                     // an invalid QTime is Null
    Value(bool v);
    Value(const QByteArray &v);

    ValueType type() const;
    bool isUnassigned() const { return type() == ValueType::Unassigned; }
    bool isNull() const { return type() == ValueType::Null; }
    // Null or Unassigned: "no value" for the checks of the programs.
    bool isEmpty() const { return isNull() || isUnassigned(); }
    bool isNumeric() const;

    // Conversions as the platform makes them:
    // - Unassigned converts to 0, "", false, an invalid date;
    // - Null raises EConvertError for numbers, booleans and dates, and gives
    //   "" as text;
    // - text converts to numbers ("12", "-3", "12.50", "12,50"), dates
    //   ("dd/MM/yyyy" or "yyyy-MM-dd"), times ("hh:mm[:ss]") and booleans
    //   ("True"/"False", "1"/"0", any case); anything else raises
    //   EConvertError naming the text;
    // - integers and floats out of range for the target raise EOverflowError;
    //   a float converted to an integer is rounded half away from zero;
    // - a date converts to a date-time at midnight and back; a date or
    //   date-time converts to text as "dd/MM/yyyy" ("dd/MM/yyyy hh:mm:ss"
    //   when the time is not midnight), a time as "hh:mm:ss", a boolean as
    //   "True"/"False", a float in its shortest form with "." as point, a
    //   Currency through Currency::toString().
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
    // equals Null, Unassigned equals Unassigned.
    bool operator==(const Value &other) const;
    bool operator!=(const Value &other) const { return !(*this == other); }

    // For the Qt views and the SQL layer.
    QVariant toQVariant() const;
    static Value fromQVariant(const QVariant &v);

    // For messages and test output: "Integer(12)", "Null", "Text(abc)".
    QString debugText() const;

private:
    struct NullTag { bool operator==(const NullTag &) const = default; };
    std::variant<std::monostate, NullTag, int, qint64, double, Currency, QString, QDate,
                 QDateTime, QTime, bool, QByteArray>
        m_v;
};

using ValueList = QList<Value>;

} // namespace platform
