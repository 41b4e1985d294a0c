// The XML form of a dataset file (docs/DATASET_FILES.md):
//
//   <DataSet version="1" indexFieldNames="Query;Indice">
//     <Fields>
//       <Field name="Query" type="String" size="40" required="true"/>
//       <Field name="SQL" type="Memo"/>
//     </Fields>
//     <Rows>
//       <Row><Query>QRY_A</Query><SQL>select 1
//   from RDB$DATABASE</SQL></Row>          values named by their field
//       <Row><V>QRY_B</V><V null="true"/></Row>   or one <V> per field, in order
//     </Rows>
//   </DataSet>
//
// Values are text in a fixed form whatever the locale: integers, "true" /
// "false", floats in their shortest round-trip form, amounts as exact
// decimals with ".", dates "yyyy-MM-dd", times "hh:mm:ss[.zzz]", date-times
// "yyyy-MM-ddThh:mm:ss[.zzz][Z|+hh:mm]", blobs in base64.
#include "DataSetFileInternal.h"
#include "Exceptions.h"

#include <QHash>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace platform::dataset_file_detail {

namespace {

const QString RootTag = QStringLiteral("DataSet");
const QString FieldsTag = QStringLiteral("Fields");
const QString FieldTag = QStringLiteral("Field");
const QString RowsTag = QStringLiteral("Rows");
const QString RowTag = QStringLiteral("Row");
const QString ValueTag = QStringLiteral("V");
constexpr int Version = 1;

// ---- value texts ----------------------------------------------------------

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

QString dateText(QDate d)
{
    const int y = d.year();
    return (y < 0 ? QStringLiteral("-") : QString()) + QStringLiteral("%1").arg(qAbs(y), 4, 10, QLatin1Char('0'))
           + QLatin1Char('-') + twoDigits(d.month()) + QLatin1Char('-') + twoDigits(d.day());
}

QString timeText(QTime t)
{
    QString s = twoDigits(t.hour()) + QLatin1Char(':') + twoDigits(t.minute()) + QLatin1Char(':')
                + twoDigits(t.second());
    if (t.msec() != 0)
        s += QStringLiteral(".%1").arg(t.msec(), 3, 10, QLatin1Char('0'));
    return s;
}

QString offsetText(int seconds)
{
    const int a = qAbs(seconds);
    QString s = (seconds < 0 ? QStringLiteral("-") : QStringLiteral("+")) + twoDigits(a / 3600) + QLatin1Char(':')
                + twoDigits(a / 60 % 60);
    if (a % 60 != 0)
        s += QLatin1Char(':') + twoDigits(a % 60);
    return s;
}

QString dateTimeText(const QDateTime &dt)
{
    QString s = dateText(dt.date()) + QLatin1Char('T') + timeText(dt.time());
    switch (dt.timeSpec()) {
    case Qt::LocalTime: break;
    case Qt::UTC: s += QLatin1Char('Z'); break;
    case Qt::OffsetFromUTC:
    case Qt::TimeZone: s += offsetText(dt.offsetFromUtc()); break;
    }
    return s;
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// `count` ASCII digits at `at`.
bool digits(QStringView s, qsizetype at, qsizetype count, int *value)
{
    if (at + count > s.size())
        return false;
    int v = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        if (!isDigit(s[i]))
            return false;
        v = v * 10 + (s[i].unicode() - '0');
    }
    *value = v;
    return true;
}

// A date at the start of `s`; `*used` is its length.
bool parseDatePart(QStringView s, QDate *date, qsizetype *used)
{
    qsizetype i = 0;
    const bool negative = !s.isEmpty() && s[0] == QLatin1Char('-');
    if (negative)
        ++i;
    const qsizetype yearStart = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    const qsizetype yearDigits = i - yearStart;
    if (yearDigits < 4 || yearDigits > 10)
        return false;
    qint64 year = 0;
    for (qsizetype k = yearStart; k < i; ++k)
        year = year * 10 + (s[k].unicode() - '0');
    if (year > std::numeric_limits<int>::max())
        return false;
    int month = 0, day = 0;
    if (i >= s.size() || s[i] != QLatin1Char('-') || !digits(s, i + 1, 2, &month))
        return false;
    i += 3;
    if (i >= s.size() || s[i] != QLatin1Char('-') || !digits(s, i + 1, 2, &day))
        return false;
    i += 3;
    *date = QDate(int(negative ? -year : year), month, day);
    *used = i;
    return date->isValid();
}

bool parseTimePart(QStringView s, QTime *time, qsizetype *used)
{
    int h = 0, m = 0, sec = 0, ms = 0;
    if (!digits(s, 0, 2, &h) || s.size() < 5 || s[2] != QLatin1Char(':') || !digits(s, 3, 2, &m))
        return false;
    qsizetype i = 5;
    if (i < s.size() && s[i] == QLatin1Char(':')) {
        if (!digits(s, i + 1, 2, &sec))
            return false;
        i += 3;
        if (i < s.size() && s[i] == QLatin1Char('.')) {
            ++i;
            int scale = 100;
            const qsizetype start = i;
            while (i < s.size() && isDigit(s[i]) && i - start < 3) {
                ms += (s[i].unicode() - '0') * scale;
                scale /= 10;
                ++i;
            }
            if (i == start)
                return false;
        }
    }
    *time = QTime(h, m, sec, ms);
    *used = i;
    return time->isValid();
}

bool parseDate(QStringView s, QDate *date)
{
    qsizetype used = 0;
    return parseDatePart(s, date, &used) && used == s.size();
}

bool parseTime(QStringView s, QTime *time)
{
    qsizetype used = 0;
    return parseTimePart(s, time, &used) && used == s.size();
}

bool parseDateTime(QStringView s, QDateTime *dt)
{
    QDate d;
    QTime t;
    qsizetype used = 0;
    if (!parseDatePart(s, &d, &used))
        return false;
    if (used == s.size()) { // a date alone is midnight
        *dt = QDateTime(d, QTime(0, 0));
        return dt->isValid();
    }
    if (s[used] != QLatin1Char('T') && s[used] != QLatin1Char(' '))
        return false;
    s = s.sliced(used + 1);
    if (!parseTimePart(s, &t, &used))
        return false;
    s = s.sliced(used);
    if (s.isEmpty()) {
        *dt = QDateTime(d, t, Qt::LocalTime);
    } else if (s == QLatin1String("Z")) {
        *dt = QDateTime(d, t, Qt::UTC);
    } else {
        if (s[0] != QLatin1Char('+') && s[0] != QLatin1Char('-'))
            return false;
        int h = 0, m = 0, sec = 0;
        if (!digits(s, 1, 2, &h) || s.size() < 6 || s[3] != QLatin1Char(':') || !digits(s, 4, 2, &m))
            return false;
        if (s.size() == 9) {
            if (s[6] != QLatin1Char(':') || !digits(s, 7, 2, &sec))
                return false;
        } else if (s.size() != 6) {
            return false;
        }
        if (h > 24 || m > 59 || sec > 59)
            return false;
        const int offset = (h * 3600 + m * 60 + sec) * (s[0] == QLatin1Char('-') ? -1 : 1);
        *dt = QDateTime(d, t, Qt::OffsetFromUTC, offset);
    }
    return dt->isValid();
}

bool parseInteger(QStringView s, qint64 lo, qint64 hi, qint64 *value)
{
    if (s.isEmpty() || s.size() > 20)
        return false;
    for (qsizetype i = 0; i < s.size(); ++i)
        if (!isDigit(s[i]) && !(i == 0 && s[i] == QLatin1Char('-') && s.size() > 1))
            return false;
    bool ok = false;
    const qint64 v = s.toLongLong(&ok);
    if (!ok || v < lo || v > hi)
        return false;
    *value = v;
    return true;
}

bool parseBoolean(QStringView s, bool *value)
{
    if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || s == QLatin1String("1"))
        *value = true;
    else if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || s == QLatin1String("0"))
        *value = false;
    else
        return false;
    return true;
}

bool parseBase64(QStringView s, QByteArray *out)
{
    QByteArray ascii;
    ascii.reserve(s.size());
    for (QChar c : s) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            continue;
        if (c.unicode() >= 0x80)
            return false;
        ascii.append(char(c.unicode()));
    }
    auto res = QByteArray::fromBase64Encoding(ascii, QByteArray::AbortOnBase64DecodingErrors);
    if (!res)
        return false;
    *out = std::move(*res);
    return true;
}

// Whether a text can stand as XML character data (a carriage return is
// written as a character reference and counts as fine).
bool xmlSafe(const QString &s)
{
    const QChar *p = s.constData();
    const QChar *end = p + s.size();
    for (; p != end; ++p) {
        const char16_t c = p->unicode();
        if (c >= 0x20 && c < 0xD800)
            continue;
        if (c < 0x20) {
            if (c == '\t' || c == '\n' || c == '\r')
                continue;
            return false;
        }
        if (QChar::isHighSurrogate(c)) {
            if (p + 1 == end || !p[1].isLowSurrogate())
                return false;
            ++p;
            continue;
        }
        if (QChar::isLowSurrogate(c) || c == 0xFFFE || c == 0xFFFF)
            return false;
    }
    return true;
}

// ---- writing ----------------------------------------------------------------

bool isXmlName(const QString &name)
{
    if (name.isEmpty() || name == ValueTag || name.startsWith(QLatin1String("xml"), Qt::CaseInsensitive))
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        const bool letter = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                            || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('_');
        if (letter || (i > 0 && (isDigit(c) || c == QLatin1Char('-') || c == QLatin1Char('.'))))
            continue;
        return false;
    }
    return true;
}

void writeText(QXmlStreamWriter &w, const QString &s)
{
    if (!xmlSafe(s)) {
        w.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
        w.writeCharacters(QString::fromLatin1(s.toUtf8().toBase64()));
        return;
    }
    // A carriage return in character data would be read back as a line
    // feed: it travels as a character reference.
    qsizetype from = 0;
    for (qsizetype cr; (cr = s.indexOf(QLatin1Char('\r'), from)) >= 0; from = cr + 1) {
        if (cr > from)
            w.writeCharacters(s.mid(from, cr - from));
        w.writeEntityReference(QStringLiteral("#13"));
    }
    if (from < s.size())
        w.writeCharacters(from == 0 ? s : s.mid(from));
}

void writeValue(QXmlStreamWriter &w, const QString &tag, const FieldDef &def, const Value &v)
{
    w.writeStartElement(tag);
    switch (def.type) {
    case FieldType::String:
    case FieldType::Memo: writeText(w, v.toString()); break;
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::Word:
    case FieldType::LargeInt: w.writeCharacters(QString::number(v.toInt64())); break;
    case FieldType::Boolean: w.writeCharacters(v.toBool() ? QStringLiteral("true") : QStringLiteral("false")); break;
    case FieldType::Float: w.writeCharacters(floatText(v.toDouble())); break;
    case FieldType::Currency:
    case FieldType::BCD: w.writeCharacters(currencyText(v.toCurrency())); break;
    case FieldType::Date: w.writeCharacters(dateText(v.toDate())); break;
    case FieldType::DateTime: w.writeCharacters(dateTimeText(v.toDateTime())); break;
    case FieldType::Time: w.writeCharacters(timeText(v.toTime())); break;
    case FieldType::Blob: w.writeCharacters(QString::fromLatin1(v.toBytes().toBase64())); break;
    }
    w.writeEndElement();
}

// ---- reading ----------------------------------------------------------------

class XmlReader {
public:
    explicit XmlReader(const QByteArray &bytes) : r(bytes) {}

    DataSetContent read();

private:
    [[noreturn]] void error(const QString &detail) { fail(detail, r.lineNumber()); }
    void checkXml()
    {
        if (r.hasError())
            error(QStringLiteral("XML non valido: %1").arg(r.errorString()));
    }
    // The next child element of the current one; false at its end. Text
    // other than blanks, and a DTD, are faults.
    bool nextChild();
    void readRoot();
    void readFields();
    void readRows();
    void readRow();
    void readField();
    // The text of the current element (whose attributes were read) as a
    // value of field `f`.
    Value readValueElement(int f);
    Value parseValue(int f, QStringView text, bool base64);
    int fieldIndex(QStringView name, const char *what);
    bool flag(QStringView value, QStringView attribute);

    QXmlStreamReader r;
    DataSetContent c;
    QHash<QString, int> m_names; // lower-case name -> field
    int m_predicted = 0;
};

bool XmlReader::nextChild()
{
    for (;;) {
        const QXmlStreamReader::TokenType t = r.readNext();
        switch (t) {
        case QXmlStreamReader::StartElement: return true;
        case QXmlStreamReader::EndElement: return false;
        case QXmlStreamReader::Characters:
            if (!r.isWhitespace())
                error(
                    QStringLiteral("testo %1 fuori da un valore").arg(quoted(r.text().trimmed().left(40).toString())));
            break;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction: break;
        case QXmlStreamReader::DTD: error(QStringLiteral("dichiarazione DTD non ammessa"));
        case QXmlStreamReader::EntityReference: error(QStringLiteral("entità %1 non dichiarata").arg(r.name()));
        case QXmlStreamReader::Invalid: checkXml(); error(QStringLiteral("XML non valido"));
        case QXmlStreamReader::EndDocument: error(QStringLiteral("fine del documento inattesa"));
        default: break;
        }
    }
}

DataSetContent XmlReader::read()
{
    // Prolog: declaration, comments, processing instructions, then the root.
    for (;;) {
        const QXmlStreamReader::TokenType t = r.readNext();
        if (t == QXmlStreamReader::StartElement)
            break;
        if (t == QXmlStreamReader::Invalid) {
            checkXml();
            error(QStringLiteral("XML non valido"));
        }
        if (t == QXmlStreamReader::DTD)
            error(QStringLiteral("dichiarazione DTD non ammessa"));
        if (t == QXmlStreamReader::EndDocument)
            error(QStringLiteral("nessun elemento <%1>").arg(RootTag));
    }
    if (r.name() != RootTag)
        error(QStringLiteral("elemento radice <%1> invece di <%2>: non è un file di dataset").arg(r.name(), RootTag));
    readRoot();
    // Nothing but comments and blanks after the root.
    for (;;) {
        const QXmlStreamReader::TokenType t = r.readNext();
        if (t == QXmlStreamReader::EndDocument)
            break;
        if (t == QXmlStreamReader::Invalid) {
            checkXml();
            error(QStringLiteral("XML non valido"));
        }
        if (t == QXmlStreamReader::StartElement)
            error(QStringLiteral("elemento <%1> dopo la fine del dataset").arg(r.name()));
    }
    checkXml();
    return std::move(c);
}

void XmlReader::readRoot()
{
    const QXmlStreamAttributes attrs = r.attributes();
    for (const QXmlStreamAttribute &a : std::as_const(attrs)) {
        if (a.name() == QLatin1String("version")) {
            qint64 v = 0;
            if (!parseInteger(a.value().trimmed(), 1, std::numeric_limits<int>::max(), &v))
                error(QStringLiteral("versione %1 non valida").arg(a.value()));
            if (v > Version)
                error(QStringLiteral("versione %1 del formato non supportata (attesa %2)").arg(v).arg(Version));
        } else if (a.name() == QLatin1String("indexFieldNames")) {
            c.indexFieldNames = a.value().toString();
        } else {
            error(QStringLiteral("attributo %1 sconosciuto in <%2>").arg(a.name(), RootTag));
        }
    }
    bool fields = false, rows = false;
    while (nextChild()) {
        if (r.name() == FieldsTag && !fields) {
            readFields();
            fields = true;
        } else if (r.name() == RowsTag && fields && !rows) {
            readRows();
            rows = true;
        } else if (r.name() == RowsTag && !fields) {
            error(QStringLiteral("<%1> prima di <%2>").arg(RowsTag, FieldsTag));
        } else {
            error(QStringLiteral("elemento <%1> inatteso in <%2>").arg(r.name(), RootTag));
        }
    }
    if (!fields)
        error(QStringLiteral("manca l'elemento <%1>").arg(FieldsTag));
}

bool XmlReader::flag(QStringView value, QStringView attribute)
{
    bool b = false;
    if (!parseBoolean(value.trimmed(), &b))
        error(QStringLiteral("valore %1 non valido per l'attributo %2").arg(quoted(value.toString()), attribute));
    return b;
}

void XmlReader::readFields()
{
    const QXmlStreamAttributes attrs = r.attributes();
    for (const QXmlStreamAttribute &a : std::as_const(attrs))
        error(QStringLiteral("attributo %1 sconosciuto in <%2>").arg(a.name(), FieldsTag));
    while (nextChild()) {
        if (r.name() != FieldTag)
            error(QStringLiteral("elemento <%1> inatteso in <%2>").arg(r.name(), FieldsTag));
        readField();
    }
    for (int i = 0; i < c.fieldDefs.size(); ++i) {
        const QString key = c.fieldDefs[i].name.trimmed().toLower();
        if (m_names.contains(key))
            error(QStringLiteral("campo %1 duplicato").arg(quoted(c.fieldDefs[i].name)));
        m_names.insert(key, i);
    }
}

void XmlReader::readField()
{
    FieldDef def;
    FieldProperties p;
    bool hasName = false, hasType = false;
    const QXmlStreamAttributes attrs = r.attributes();
    for (const QXmlStreamAttribute &a : std::as_const(attrs)) {
        const QStringView n = a.name();
        if (n == QLatin1String("name")) {
            def.name = a.value().toString();
            hasName = true;
        } else if (n == QLatin1String("type")) {
            if (!fieldTypeFromName(a.value().trimmed().toString(), &def.type))
                error(QStringLiteral("tipo di campo %1 sconosciuto").arg(quoted(a.value().toString())));
            hasType = true;
        } else if (n == QLatin1String("size")) {
            qint64 v = 0;
            if (!parseInteger(a.value().trimmed(), 0, std::numeric_limits<int>::max(), &v))
                error(QStringLiteral("dimensione %1 non valida").arg(quoted(a.value().toString())));
            def.size = int(v);
        } else if (n == QLatin1String("required")) {
            def.required = flag(a.value(), n);
        } else if (n == QLatin1String("label")) {
            p.displayLabel = a.value().toString();
        } else if (n == QLatin1String("visible")) {
            p.visible = flag(a.value(), n);
        } else if (n == QLatin1String("readOnly")) {
            p.readOnly = flag(a.value(), n);
        } else if (n == QLatin1String("displayFormat")) {
            p.displayFormat = a.value().toString();
        } else if (n == QLatin1String("editFormat")) {
            p.editFormat = a.value().toString();
        } else {
            error(QStringLiteral("attributo %1 sconosciuto in <%2>").arg(n, FieldTag));
        }
    }
    if (!hasName || def.name.trimmed().isEmpty())
        error(QStringLiteral("campo senza nome"));
    if (!hasType)
        error(QStringLiteral("campo %1 senza tipo").arg(quoted(def.name)));
    if (nextChild())
        error(QStringLiteral("elemento <%1> inatteso in <%2>").arg(r.name(), FieldTag));
    c.fieldDefs.append(def);
    c.properties.append(p);
}

void XmlReader::readRows()
{
    const QXmlStreamAttributes attrs = r.attributes();
    for (const QXmlStreamAttribute &a : std::as_const(attrs))
        error(QStringLiteral("attributo %1 sconosciuto in <%2>").arg(a.name(), RowsTag));
    while (nextChild()) {
        if (r.name() != RowTag)
            error(QStringLiteral("elemento <%1> inatteso in <%2>").arg(r.name(), RowsTag));
        readRow();
    }
}

int XmlReader::fieldIndex(QStringView name, const char *what)
{
    // Rows usually name their fields in order: try the next one first.
    if (m_predicted < c.fieldDefs.size() && name == c.fieldDefs[m_predicted].name)
        return m_predicted++;
    const int i = m_names.value(name.trimmed().toString().toLower(), -1);
    if (i < 0)
        error(QStringLiteral("%1 %2: campo sconosciuto").arg(QLatin1String(what), quoted(name.toString())));
    m_predicted = i + 1;
    return i;
}

void XmlReader::readRow()
{
    const int nf = int(c.fieldDefs.size());
    ValueList row(nf, Value::null());
    QList<bool> given(nf, false);
    const qsizetype rowNumber = c.rows.size() + 1;
    auto give = [&](int f, Value v) {
        if (given[f])
            error(QStringLiteral("record %1: campo %2 dato due volte").arg(rowNumber).arg(quoted(c.fieldDefs[f].name)));
        given[f] = true;
        row[f] = std::move(v);
    };
    bool named = false;
    int positional = 0;
    m_predicted = 0;
    const QXmlStreamAttributes attrs = r.attributes();
    for (const QXmlStreamAttribute &a : std::as_const(attrs)) {
        const int f = fieldIndex(a.name(), "attributo");
        give(f, parseValue(f, a.value(), false));
        named = true;
    }
    while (nextChild()) {
        if (r.name() == ValueTag) {
            if (named)
                error(QStringLiteral("record %1: valori per posizione e per nome insieme").arg(rowNumber));
            if (positional >= nf)
                error(QStringLiteral("record %1: più valori che campi (%2)").arg(rowNumber).arg(nf));
            give(positional, readValueElement(positional));
            ++positional;
        } else {
            if (positional > 0)
                error(QStringLiteral("record %1: valori per posizione e per nome insieme").arg(rowNumber));
            const int f = fieldIndex(r.name(), "elemento");
            give(f, readValueElement(f));
            named = true;
        }
    }
    if (positional > 0 && positional != nf)
        error(QStringLiteral("record %1: %2 valori, campi: %3").arg(rowNumber).arg(positional).arg(nf));
    c.rows.append(std::move(row));
}

Value XmlReader::readValueElement(int f)
{
    bool isNull = false, base64 = false;
    const QXmlStreamAttributes attrs = r.attributes();
    for (const QXmlStreamAttribute &a : std::as_const(attrs)) {
        if (a.name() == QLatin1String("null")) {
            isNull = flag(a.value(), a.name());
        } else if (a.name() == QLatin1String("encoding")) {
            if (a.value() != QLatin1String("base64"))
                error(QStringLiteral("codifica %1 sconosciuta").arg(quoted(a.value().toString())));
            base64 = true;
        } else {
            error(QStringLiteral("attributo %1 sconosciuto nel valore del campo %2")
                      .arg(a.name(), quoted(c.fieldDefs[f].name)));
        }
    }
    // Character data, CDATA sections and character references; an element
    // inside a value is a fault.
    QString text;
    for (;;) {
        const QXmlStreamReader::TokenType t = r.readNext();
        if (t == QXmlStreamReader::Characters)
            text += r.text();
        else if (t == QXmlStreamReader::EndElement)
            break;
        else if (t == QXmlStreamReader::StartElement)
            error(QStringLiteral("elemento <%1> dentro il valore del campo %2")
                      .arg(r.name(), quoted(c.fieldDefs[f].name)));
        else if (t == QXmlStreamReader::EntityReference)
            error(QStringLiteral("entità %1 non dichiarata").arg(r.name()));
        else if (t == QXmlStreamReader::Invalid || t == QXmlStreamReader::EndDocument) {
            checkXml();
            error(QStringLiteral("XML non valido"));
        }
    }
    if (isNull) {
        if (!text.trimmed().isEmpty())
            error(QStringLiteral("valore nullo con un testo nel campo %1").arg(quoted(c.fieldDefs[f].name)));
        return Value::null();
    }
    return parseValue(f, text, base64);
}

Value XmlReader::parseValue(int f, QStringView text, bool base64)
{
    const FieldDef &def = c.fieldDefs[f];
    auto bad = [&]() {
        error(QStringLiteral("valore %1 non valido per il campo %2 (%3)")
                  .arg(quoted(text.left(80).toString()), quoted(def.name), fieldTypeName(def.type)));
    };
    const QStringView t = text.trimmed();
    switch (def.type) {
    case FieldType::String:
    case FieldType::Memo: {
        QString s;
        if (base64) {
            QByteArray utf8;
            if (!parseBase64(text, &utf8))
                bad();
            QStringDecoder dec(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
            s = dec.decode(utf8);
            if (dec.hasError())
                bad();
        } else {
            s = text.toString();
        }
        if (def.type == FieldType::String && def.size > 0 && s.size() > def.size)
            error(QStringLiteral("record %1: testo di %2 caratteri nel campo %3 di %4")
                      .arg(c.rows.size() + 1)
                      .arg(s.size())
                      .arg(quoted(def.name))
                      .arg(def.size));
        return Value(s);
    }
    case FieldType::Blob: {
        QByteArray b;
        if (!parseBase64(text, &b))
            bad();
        return Value(b);
    }
    default: break;
    }
    if (base64)
        error(QStringLiteral("codifica base64 per il campo %1 di tipo %2")
                  .arg(quoted(def.name), fieldTypeName(def.type)));
    switch (def.type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::Word:
    case FieldType::LargeInt: {
        qint64 lo = std::numeric_limits<qint64>::min(), hi = std::numeric_limits<qint64>::max();
        if (def.type == FieldType::Integer) {
            lo = std::numeric_limits<qint32>::min();
            hi = std::numeric_limits<qint32>::max();
        } else if (def.type == FieldType::SmallInt) {
            lo = -32768;
            hi = 32767;
        } else if (def.type == FieldType::Word) {
            lo = 0;
            hi = 65535;
        }
        qint64 v = 0;
        if (!parseInteger(t, lo, hi, &v))
            bad();
        return def.type == FieldType::LargeInt ? Value(v) : Value(int(v));
    }
    case FieldType::Boolean: {
        bool b = false;
        if (!parseBoolean(t, &b))
            bad();
        return Value(b);
    }
    case FieldType::Float: {
        double d = 0;
        if (!parseFloat(t, &d))
            bad();
        return Value(d);
    }
    case FieldType::Currency:
    case FieldType::BCD: {
        Currency v;
        if (!parseCurrency(t, &v))
            bad();
        return Value(v);
    }
    case FieldType::Date: {
        QDate d;
        if (!parseDate(t, &d))
            bad();
        return Value(d);
    }
    case FieldType::DateTime: {
        QDateTime dt;
        if (!parseDateTime(t, &dt))
            bad();
        return Value(dt);
    }
    case FieldType::Time: {
        QTime tm;
        if (!parseTime(t, &tm))
            bad();
        return Value(tm);
    }
    default: break;
    }
    bad();
    return Value::null();
}

} // namespace

QByteArray encodeXml(const DataSetContent &c)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    w.writeStartElement(RootTag);
    w.writeAttribute(QStringLiteral("version"), QString::number(Version));
    if (!c.indexFieldNames.isEmpty())
        w.writeAttribute(QStringLiteral("indexFieldNames"), c.indexFieldNames);

    w.writeStartElement(FieldsTag);
    bool named = true;
    for (qsizetype i = 0; i < c.fieldDefs.size(); ++i) {
        const FieldDef &def = c.fieldDefs[i];
        const FieldProperties &p = c.properties[i];
        named = named && isXmlName(def.name);
        w.writeEmptyElement(FieldTag);
        w.writeAttribute(QStringLiteral("name"), def.name);
        w.writeAttribute(QStringLiteral("type"), fieldTypeName(def.type));
        if (def.size != 0)
            w.writeAttribute(QStringLiteral("size"), QString::number(def.size));
        if (def.required)
            w.writeAttribute(QStringLiteral("required"), QStringLiteral("true"));
        if (!p.displayLabel.isEmpty())
            w.writeAttribute(QStringLiteral("label"), p.displayLabel);
        if (!p.visible)
            w.writeAttribute(QStringLiteral("visible"), QStringLiteral("false"));
        if (p.readOnly)
            w.writeAttribute(QStringLiteral("readOnly"), QStringLiteral("true"));
        if (!p.displayFormat.isEmpty())
            w.writeAttribute(QStringLiteral("displayFormat"), p.displayFormat);
        if (!p.editFormat.isEmpty())
            w.writeAttribute(QStringLiteral("editFormat"), p.editFormat);
    }
    w.writeEndElement();

    // Rows name their fields when every name can be an element name (nulls
    // are then left out); otherwise they give one <V> per field in order.
    w.writeStartElement(RowsTag);
    for (const ValueList &row : c.rows) {
        w.writeStartElement(RowTag);
        for (qsizetype f = 0; f < c.fieldDefs.size(); ++f) {
            const FieldDef &def = c.fieldDefs[f];
            const Value v = fileValue(def, row[f]);
            if (!v.isNull()) {
                writeValue(w, named ? def.name : ValueTag, def, v);
            } else if (!named) {
                w.writeEmptyElement(ValueTag);
                w.writeAttribute(QStringLiteral("null"), QStringLiteral("true"));
            }
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    if (w.hasError())
        throw EDataSetError(
            QStringLiteral("Dataset non scrivibile in XML: un nome o un formato contiene caratteri non ammessi"));
    return out;
}

DataSetContent decodeXml(const QByteArray &bytes)
{
    XmlReader reader(bytes);
    return reader.read();
}

} // namespace platform::dataset_file_detail
