#include "Field.h"
#include "DataSet.h"
#include "DataSetInternal.h"
#include "Exceptions.h"
#include "TextCache.h"

#include <cmath>
#include <limits>

namespace platform {

namespace {

struct TypeName {
    FieldType type;
    const char *name;
};

constexpr TypeName kTypeNames[] = {
    {FieldType::String, "String"}, {FieldType::Integer, "Integer"},   {FieldType::SmallInt, "SmallInt"},
    {FieldType::Word, "Word"},     {FieldType::LargeInt, "LargeInt"}, {FieldType::Boolean, "Boolean"},
    {FieldType::Float, "Float"},   {FieldType::Currency, "Currency"}, {FieldType::BCD, "BCD"},
    {FieldType::Date, "Date"},     {FieldType::DateTime, "DateTime"}, {FieldType::Time, "Time"},
    {FieldType::Memo, "Memo"},     {FieldType::Blob, "Blob"},
};

QString quoted(const QString &name)
{
    return QLatin1Char('\'') + name + QLatin1Char('\'');
}

} // namespace

QString fieldMessage(const Field &field, const QString &problem)
{
    return fieldMessage(field.displayLabel(), problem);
}

QString fieldMessage(const QString &label, const QString &problem)
{
    return QStringLiteral("Campo \"%1\": %2").arg(label, problem);
}

QString fieldTypeName(FieldType type)
{
    for (const auto &t : kTypeNames)
        if (t.type == type)
            return QString::fromLatin1(t.name);
    return QString();
}

bool fieldTypeFromName(const QString &name, FieldType *type)
{
    for (const auto &t : kTypeNames)
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0) {
            if (type)
                *type = t.type;
            return true;
        }
    return false;
}

bool isNumericFieldType(FieldType type)
{
    switch (type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::Word:
    case FieldType::LargeInt:
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD: return true;
    default: return false;
    }
}

bool isTextFieldType(FieldType type)
{
    return type == FieldType::String || type == FieldType::Memo;
}

// ---------------------------------------------------------------------------
// Conversions and comparisons shared by the dataset sources

namespace dataset_detail {

Value convertValue(const FieldDef &def, const Value &value, Misfit misfit)
{
    if (value.isEmpty())
        return Value::null();
    switch (def.type) {
    case FieldType::String:
    case FieldType::Memo: {
        QString s = value.toString();
        if (def.type == FieldType::String && def.size > 0 && s.size() > def.size) {
            if (misfit == Misfit::Refuse)
                throw EDataSetError(QStringLiteral("Testo di %1 caratteri nel campo %2 di %3")
                                        .arg(s.size())
                                        .arg(quoted(def.name))
                                        .arg(def.size));
            s.truncate(def.size);
        }
        return Value(s);
    }
    case FieldType::Integer: return Value(value.toInt());
    case FieldType::SmallInt:
    case FieldType::Word: {
        const qint64 v = value.toInt64();
        const qint64 lo = def.type == FieldType::SmallInt ? -32768 : 0;
        const qint64 hi = def.type == FieldType::SmallInt ? 32767 : 65535;
        if (v < lo || v > hi)
            throw EDataSetError(
                QStringLiteral("Valore %1 fuori intervallo per il campo %2").arg(v).arg(quoted(def.name)));
        return Value(int(v));
    }
    case FieldType::LargeInt: return Value(value.toInt64());
    case FieldType::Boolean: return Value(value.toBool());
    case FieldType::Float: return Value(value.toDouble());
    case FieldType::Currency: return Value(value.toCurrency());
    case FieldType::BCD: {
        const Currency c = value.toCurrency();
        if (def.size < 0 || def.size >= 4)
            return Value(c);
        const Currency kept = c.rounded(def.size);
        if (kept != c && misfit == Misfit::Refuse)
            throw EDataSetError(QStringLiteral("Importo %1 con più di %2 decimali nel campo %3")
                                    .arg(c.toString())
                                    .arg(def.size)
                                    .arg(quoted(def.name)));
        return Value(kept);
    }
    case FieldType::Date: return Value(value.toDate()); // an invalid date is Null
    case FieldType::DateTime: return Value(value.toDateTime());
    case FieldType::Time: return Value(value.toTime());
    case FieldType::Blob: return Value(value.toBytes());
    }
    return Value::null();
}

bool keptAsIs(const FieldDef &def, const Value &value)
{
    switch (value.type()) {
    case ValueType::Null: return true;
    case ValueType::Integer: return def.type == FieldType::Integer;
    case ValueType::LargeInt: return def.type == FieldType::LargeInt;
    case ValueType::Currency: return def.type == FieldType::Currency;
    case ValueType::Float: return def.type == FieldType::Float;
    case ValueType::Boolean: return def.type == FieldType::Boolean;
    case ValueType::Date: return def.type == FieldType::Date && value.toDate().isValid();
    case ValueType::Text: {
        const QString *text = value.textIf();
        return (def.type == FieldType::String || def.type == FieldType::Memo) && text && !text->isEmpty()
               && (def.type == FieldType::Memo || def.size <= 0 || text->size() <= def.size);
    }
    default: return false;
    }
}

Value recordValue(const FieldDef &def, const Value &value, Misfit misfit)
{
    if (value.type() == ValueType::Text && value.toString().isEmpty() && def.type != FieldType::Blob)
        return Value::null();
    const Value v = convertValue(def, value, misfit);
    if (isTextFieldType(def.type) && v.type() == ValueType::Text && v.toString().isEmpty())
        return Value::null();
    return v;
}

namespace {

enum class NumKind { Int, Cur, Dbl };

bool numericKind(const Value &v, NumKind *kind)
{
    switch (v.type()) {
    case ValueType::Integer:
    case ValueType::LargeInt: *kind = NumKind::Int; return true;
    case ValueType::Currency: *kind = NumKind::Cur; return true;
    case ValueType::Float: *kind = NumKind::Dbl; return true;
    default: return false;
    }
}

template <typename T>
int cmp3(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareNumbers(const Value &a, NumKind ka, const Value &b, NumKind kb)
{
    if (ka == NumKind::Dbl || kb == NumKind::Dbl)
        return cmp3(a.toDouble(), b.toDouble());
    if (ka == NumKind::Cur || kb == NumKind::Cur) {
        // An integer beyond the Currency range still orders correctly.
        if (ka == NumKind::Int && (a.toInt64() > 900000000000000LL || a.toInt64() < -900000000000000LL))
            return a.toInt64() < 0 ? -1 : 1;
        if (kb == NumKind::Int && (b.toInt64() > 900000000000000LL || b.toInt64() < -900000000000000LL))
            return b.toInt64() < 0 ? 1 : -1;
        return cmp3(a.toCurrency().raw(), b.toCurrency().raw());
    }
    return cmp3(a.toInt64(), b.toInt64());
}

bool isTemporal(ValueType t)
{
    return t == ValueType::Date || t == ValueType::DateTime || t == ValueType::Time;
}

// Two dates or dates with times in order. Two dates compare as dates: made
// into local date-times, each comparison would ask the C library for the
// time zone (a file system call), and a dataset sorted by a date field does
// that for every pair it compares.
int compareTemporal(const Value &a, const Value &b)
{
    if (a.type() == ValueType::Date && b.type() == ValueType::Date)
        return cmp3(a.toDate(), b.toDate());
    return cmp3(a.toDateTime(), b.toDateTime());
}

} // namespace

int compareForOrder(const Value &a, const Value &b)
{
    const bool an = a.isEmpty(), bn = b.isEmpty();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    NumKind ka = NumKind::Int, kb = NumKind::Int;
    if (numericKind(a, &ka) && numericKind(b, &kb))
        return compareNumbers(a, ka, b, kb);
    const ValueType ta = a.type(), tb = b.type();
    if (ta == ValueType::Text && tb == ValueType::Text) {
        const QString sa = a.toString(), sb = b.toString();
        const int ci = sa.compare(sb, Qt::CaseInsensitive);
        if (ci != 0)
            return ci < 0 ? -1 : 1;
        const int cs = sa.compare(sb, Qt::CaseSensitive);
        return cs < 0 ? -1 : (cs > 0 ? 1 : 0);
    }
    if (ta == ValueType::Time && tb == ValueType::Time)
        return cmp3(a.toTime(), b.toTime());
    if (isTemporal(ta) && isTemporal(tb))
        return compareTemporal(a, b);
    if (ta == ValueType::Boolean && tb == ValueType::Boolean)
        return cmp3(a.toBool(), b.toBool());
    if (ta == ValueType::Bytes && tb == ValueType::Bytes)
        return cmp3(a.toBytes(), b.toBytes());
    // Values of one field share a type; anything else orders by its text.
    return cmp3(a.toString(), b.toString());
}

std::optional<int> compareMixed(const Value &a, const Value &b)
{
    if (a.isEmpty() || b.isEmpty())
        return std::nullopt;
    const ValueType ta = a.type(), tb = b.type();
    NumKind ka = NumKind::Int, kb = NumKind::Int;
    const bool na = numericKind(a, &ka), nb = numericKind(b, &kb);
    try {
        if (na && nb)
            return compareNumbers(a, ka, b, kb);
        if (na && tb == ValueType::Text) {
            const Value bn = ka == NumKind::Cur ? Value(b.toCurrency()) : Value(b.toDouble());
            NumKind kbn = NumKind::Dbl;
            numericKind(bn, &kbn);
            return compareNumbers(a, ka, bn, kbn);
        }
        if (ta == ValueType::Text && nb) {
            const Value an = kb == NumKind::Cur ? Value(a.toCurrency()) : Value(a.toDouble());
            NumKind kan = NumKind::Dbl;
            numericKind(an, &kan);
            return compareNumbers(an, kan, b, kb);
        }
        if (ta == ValueType::Time || tb == ValueType::Time) {
            if ((ta == ValueType::Time || ta == ValueType::Text) && (tb == ValueType::Time || tb == ValueType::Text))
                return cmp3(a.toTime(), b.toTime());
            return std::nullopt;
        }
        if (isTemporal(ta) || isTemporal(tb)) {
            if ((isTemporal(ta) || ta == ValueType::Text) && (isTemporal(tb) || tb == ValueType::Text))
                return compareTemporal(a, b);
            return std::nullopt;
        }
        if (ta == ValueType::Boolean || tb == ValueType::Boolean)
            return cmp3(a.toBool(), b.toBool());
        if (ta == ValueType::Bytes || tb == ValueType::Bytes)
            return cmp3(a.toBytes(), b.toBytes());
    } catch (const EConvertError &) {
        // A text that is not a number or a date: compare as texts below.
    } catch (const EOverflowError &) {
        return std::nullopt;
    }
    const int c = a.toString().compare(b.toString(), Qt::CaseSensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

QStringList splitFieldNames(const QString &names)
{
    // The searches and indexes of the programs name their fields with the
    // same few texts over and over (a look-up for every day of a person's
    // month).
    return madeOncePerText(names, [](const QString &text) {
        QStringList out;
        for (const QString &part : text.split(QLatin1Char(';'))) {
            const QString t = part.trimmed();
            if (!t.isEmpty())
                out << t;
        }
        return out;
    });
}

} // namespace dataset_detail

// ---------------------------------------------------------------------------
// Numeric formats

namespace {

struct NumberPattern {
    QString prefix, suffix;
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
    bool thousands = false;
    bool hasPlaceholder = false;
};

QStringList splitSections(const QString &format)
{
    QStringList sections;
    QString cur;
    QChar quote;
    for (const QChar c : format) {
        if (!quote.isNull()) {
            cur += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            cur += c;
        } else if (c == QLatin1Char(';')) {
            sections << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    sections << cur;
    return sections;
}

NumberPattern parsePattern(const QString &section)
{
    NumberPattern p;
    bool inNumber = false, afterNumber = false, afterPoint = false;
    QChar quote;
    for (const QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                (inNumber || afterNumber ? p.suffix : p.prefix) += c;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            if (inNumber) {
                inNumber = false;
                afterNumber = true;
            }
            continue;
        }
        const bool placeholder = c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.')
                                 || c == QLatin1Char(',');
        if (placeholder && !afterNumber) {
            inNumber = true;
            p.hasPlaceholder = true;
            if (c == QLatin1Char('.')) {
                afterPoint = true;
            } else if (c == QLatin1Char(',')) {
                if (!afterPoint)
                    p.thousands = true;
            } else if (afterPoint) {
                ++p.maxDec;
                if (c == QLatin1Char('0'))
                    p.minDec = p.maxDec;
            } else if (c == QLatin1Char('0')) {
                ++p.minInt;
            }
            continue;
        }
        if (inNumber) {
            inNumber = false;
            afterNumber = true;
        }
        (afterNumber ? p.suffix : p.prefix) += c;
    }
    return p;
}

// Digits of |value| rounded half away from zero to `decimals`: integer part
// and fraction (exactly `decimals` digits).
void roundedDigits(const Value &number, int decimals, QString *intPart, QString *fraction, bool *negative)
{
    QString text;
    if (number.type() != ValueType::Float && decimals <= 4) {
        const Currency c = number.toCurrency().rounded(decimals);
        text = c.toString(decimals);
    } else {
        const double v = number.toDouble();
        // Half away from zero on the decimal text, not on the binary value.
        const double scaled = std::round(std::abs(v) * std::pow(10.0, decimals));
        text = QString::number(scaled / std::pow(10.0, decimals), 'f', decimals);
        if (v < 0)
            text.prepend(QLatin1Char('-'));
    }
    *negative = text.startsWith(QLatin1Char('-'));
    if (*negative)
        text.remove(0, 1);
    const int dot = text.indexOf(QLatin1Char('.'));
    *intPart = dot < 0 ? text : text.left(dot);
    *fraction = dot < 0 ? QString() : text.mid(dot + 1);
    if (*negative && intPart->count(QLatin1Char('0')) == intPart->size()
        && fraction->count(QLatin1Char('0')) == fraction->size())
        *negative = false; // -0,00 shows as 0,00
}

} // namespace

QString formatNumber(const QString &format, const Value &number)
{
    if (number.isEmpty())
        return QString();
    const QStringList sections = splitSections(format);
    bool negative = false;
    QString intPart, fraction;
    NumberPattern p = parsePattern(sections.value(0));
    roundedDigits(number, p.maxDec, &intPart, &fraction, &negative);
    const bool isZero = intPart.count(QLatin1Char('0')) == intPart.size()
                        && fraction.count(QLatin1Char('0')) == fraction.size();
    bool sign = negative;
    if (isZero && sections.size() >= 3 && !sections[2].isEmpty()) {
        p = parsePattern(sections[2]);
        roundedDigits(Value(0), p.maxDec, &intPart, &fraction, &negative);
        sign = false;
    } else if (negative && sections.size() >= 2 && !sections[1].isEmpty()) {
        p = parsePattern(sections[1]);
        roundedDigits(number, p.maxDec, &intPart, &fraction, &negative);
        sign = false;
    }
    if (!p.hasPlaceholder)
        return p.prefix + p.suffix;
    // Trailing optional decimals.
    while (fraction.size() > p.minDec && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    // Integer digits: no leading zeros beyond the forced ones.
    while (intPart.size() > 1 && intPart.startsWith(QLatin1Char('0')))
        intPart.remove(0, 1);
    if (intPart == QLatin1String("0") && p.minInt == 0)
        intPart.clear();
    while (intPart.size() < p.minInt)
        intPart.prepend(QLatin1Char('0'));
    if (p.thousands && intPart.size() > 3) {
        QString grouped;
        const int n = int(intPart.size());
        for (int i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                grouped += QLatin1Char('.');
            grouped += intPart[i];
        }
        intPart = grouped;
    }
    QString out = p.prefix;
    if (sign)
        out += QLatin1Char('-');
    out += intPart;
    if (!fraction.isEmpty())
        out += QLatin1Char(',') + fraction;
    if (intPart.isEmpty() && fraction.isEmpty())
        out += QLatin1Char('0');
    return out + p.suffix;
}

// ---------------------------------------------------------------------------
// Field

Qt::Alignment Field::alignment() const
{
    if (m_alignment)
        return m_alignment;
    return isNumeric() ? Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter)
                       : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int Field::displayWidth() const
{
    if (m_displayWidth > 0)
        return m_displayWidth;
    switch (m_def.type) {
    case FieldType::String: return m_def.size > 0 ? qMin(m_def.size, 40) : 20;
    case FieldType::Memo:
    case FieldType::Blob: return 20;
    case FieldType::Boolean: return 5;
    case FieldType::Date: return 10;
    case FieldType::DateTime: return 19;
    case FieldType::Time: return 8;
    case FieldType::SmallInt:
    case FieldType::Word: return 6;
    case FieldType::Integer: return 10;
    default: return 15;
    }
}

Value Field::value() const
{
    return m_dataSet->readField(m_index);
}

void Field::setValue(const Value &value)
{
    m_dataSet->writeField(m_index, value);
}

QString Field::asString() const
{
    const Value &v = m_dataSet->readFieldRef(m_index);
    return v.isEmpty() ? QString() : v.toString();
}

int Field::asInteger() const
{
    const Value &v = m_dataSet->readFieldRef(m_index);
    return v.isEmpty() ? 0 : v.toInt();
}

qint64 Field::asLargeInt() const
{
    const Value &v = m_dataSet->readFieldRef(m_index);
    return v.isEmpty() ? 0 : v.toInt64();
}

double Field::asFloat() const
{
    const Value &v = m_dataSet->readFieldRef(m_index);
    return v.isEmpty() ? 0.0 : v.toDouble();
}

Currency Field::asCurrency() const
{
    const Value &v = m_dataSet->readFieldRef(m_index);
    return v.isEmpty() ? Currency() : v.toCurrency();
}

bool Field::asBoolean() const
{
    const Value &v = m_dataSet->readFieldRef(m_index);
    return v.isEmpty() ? false : v.toBool();
}

QDate Field::asDate() const
{
    const Value &v = m_dataSet->readFieldRef(m_index);
    return v.isEmpty() ? QDate() : v.toDate();
}

QDateTime Field::asDateTime() const
{
    const Value &v = m_dataSet->readFieldRef(m_index);
    return v.isEmpty() ? QDateTime() : v.toDateTime();
}

QTime Field::asTime() const
{
    const Value &v = m_dataSet->readFieldRef(m_index);
    return v.isEmpty() ? QTime() : v.toTime();
}

QByteArray Field::asBytes() const
{
    const Value &v = m_dataSet->readFieldRef(m_index);
    return v.isEmpty() ? QByteArray() : v.toBytes();
}

namespace {

QString plainText(const Field &field, const Value &v)
{
    if (v.isEmpty())
        return QString();
    QString s = v.toString();
    switch (field.dataType()) {
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD: s.replace(QLatin1Char('.'), QLatin1Char(',')); break;
    default: break;
    }
    return s;
}

} // namespace

QString Field::displayText() const
{
    if (m_onGetText)
        return m_onGetText(*this, true);
    const Value &v = m_dataSet->readFieldRef(m_index);
    if (isNumeric() && !m_displayFormat.isEmpty())
        return formatNumber(m_displayFormat, v);
    return plainText(*this, v);
}

QString Field::editText() const
{
    if (m_onGetText)
        return m_onGetText(*this, false);
    const Value &v = m_dataSet->readFieldRef(m_index);
    if (isNumeric()) {
        const QString &f = m_editFormat.isEmpty() ? m_displayFormat : m_editFormat;
        if (!f.isEmpty())
            return formatNumber(f, v);
    }
    return plainText(*this, v);
}

Value Field::oldValue() const
{
    return m_dataSet->oldFieldValue(m_index);
}

Value Field::newValue() const
{
    return m_dataSet->newFieldValue(m_index);
}

} // namespace platform
