// The binary form of a dataset file (docs/DATASET_FILES.md):
//
//   header   magic "\x89ZDS\r\n\x1A\n", u16 format version, u16 flags (0),
//            u32 length of the body
//   body     fields, index field names, records
//   trailer  u32 CRC-32 of header and body
//
// Integers are little-endian. Every length is checked against the bytes
// that remain before anything is allocated, so a damaged or hostile file
// ends in a FormatError, never in a crash or a huge allocation.
#include "DataSetFileInternal.h"
#include "Exceptions.h"

#include <QStringDecoder>
#include <QtEndian>

#include <cstring>

namespace platform::dataset_file_detail {

namespace {

constexpr char Magic[8] = {'\x89', 'Z', 'D', 'S', '\r', '\n', '\x1A', '\n'};
constexpr quint16 Version = 1;
constexpr qsizetype HeaderSize = 16;
constexpr qsizetype TrailerSize = 4;

enum FieldFlag : quint8 { Required = 0x1, Hidden = 0x2, ReadOnly = 0x4, AllFlags = 0x7 };
enum DateTimeSpec : quint8 { Local = 0, Utc = 1, Offset = 2 };

// Type codes of the file: fixed, whatever the order of FieldType.
quint8 typeCode(FieldType t)
{
    switch (t) {
    case FieldType::String: return 1;
    case FieldType::Integer: return 2;
    case FieldType::SmallInt: return 3;
    case FieldType::Word: return 4;
    case FieldType::LargeInt: return 5;
    case FieldType::Boolean: return 6;
    case FieldType::Float: return 7;
    case FieldType::Currency: return 8;
    case FieldType::BCD: return 9;
    case FieldType::Date: return 10;
    case FieldType::DateTime: return 11;
    case FieldType::Time: return 12;
    case FieldType::Memo: return 13;
    case FieldType::Blob: return 14;
    }
    return 0;
}

bool typeOfCode(quint8 code, FieldType *t)
{
    static const FieldType types[] = {
        FieldType::String,   FieldType::Integer, FieldType::SmallInt, FieldType::Word, FieldType::LargeInt,
        FieldType::Boolean,  FieldType::Float,   FieldType::Currency, FieldType::BCD,  FieldType::Date,
        FieldType::DateTime, FieldType::Time,    FieldType::Memo,     FieldType::Blob,
    };
    if (code < 1 || code > std::size(types))
        return false;
    *t = types[code - 1];
    return true;
}

class Writer {
public:
    explicit Writer(QByteArray &out) : m_out(out) {}

    template <typename T>
    void put(T v)
    {
        char buf[sizeof(T)];
        qToLittleEndian(v, buf);
        m_out.append(buf, sizeof(T));
    }
    void u8(quint8 v) { m_out.append(char(v)); }
    void bytes(const QByteArray &b)
    {
        put<quint32>(quint32(b.size()));
        m_out.append(b);
    }
    void text(const QString &s) { bytes(s.toUtf8()); }

private:
    QByteArray &m_out;
};

class Reader {
public:
    Reader(const char *begin, const char *end) : m_p(begin), m_end(end) {}

    qsizetype remaining() const { return m_end - m_p; }
    void need(qsizetype n, const char *what)
    {
        if (n < 0 || remaining() < n)
            fail(QStringLiteral("%1 oltre la fine dei dati").arg(QLatin1String(what)));
    }
    template <typename T>
    T get(const char *what)
    {
        need(sizeof(T), what);
        const T v = qFromLittleEndian<T>(m_p);
        m_p += sizeof(T);
        return v;
    }
    quint8 u8(const char *what) { return get<quint8>(what); }
    QByteArray bytes(const char *what)
    {
        const quint32 n = get<quint32>(what);
        need(qsizetype(n), what);
        QByteArray b(m_p, qsizetype(n));
        m_p += n;
        return b;
    }
    QString text(const char *what)
    {
        const quint32 n = get<quint32>(what);
        need(qsizetype(n), what);
        const char *s = m_p;
        m_p += n;
        bool ascii = true;
        for (quint32 i = 0; i < n && ascii; ++i)
            ascii = uchar(s[i]) < 0x80;
        if (ascii)
            return QString::fromLatin1(s, qsizetype(n));
        // A leading byte-order mark is text like any other character.
        QStringDecoder dec(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        QString out = dec.decode(QByteArrayView(s, qsizetype(n)));
        if (dec.hasError())
            fail(QStringLiteral("%1: testo UTF-8 non valido").arg(QLatin1String(what)));
        return out;
    }
    const char *pos() const { return m_p; }
    void skip(qsizetype n) { m_p += n; }

private:
    const char *m_p;
    const char *m_end;
};

void writeValue(Writer &w, const FieldDef &def, const Value &v)
{
    switch (def.type) {
    case FieldType::String:
    case FieldType::Memo: w.text(v.toString()); break;
    case FieldType::Integer: w.put<qint32>(v.toInt()); break;
    case FieldType::SmallInt: w.put<qint16>(qint16(v.toInt())); break;
    case FieldType::Word: w.put<quint16>(quint16(v.toInt())); break;
    case FieldType::LargeInt: w.put<qint64>(v.toInt64()); break;
    case FieldType::Boolean: w.u8(v.toBool() ? 1 : 0); break;
    case FieldType::Float: {
        const double d = v.toDouble();
        quint64 bits;
        std::memcpy(&bits, &d, sizeof bits);
        w.put<quint64>(bits);
        break;
    }
    case FieldType::Currency:
    case FieldType::BCD: w.put<qint64>(v.toCurrency().raw()); break;
    case FieldType::Date: w.put<qint64>(v.toDate().toJulianDay()); break;
    case FieldType::DateTime: {
        const QDateTime dt = v.toDateTime();
        w.put<qint64>(dt.date().toJulianDay());
        w.put<quint32>(quint32(dt.time().msecsSinceStartOfDay()));
        switch (dt.timeSpec()) {
        case Qt::LocalTime: w.u8(Local); break;
        case Qt::UTC: w.u8(Utc); break;
        case Qt::OffsetFromUTC:
        case Qt::TimeZone:
            w.u8(Offset);
            w.put<qint32>(dt.offsetFromUtc());
            break;
        }
        break;
    }
    case FieldType::Time: w.put<quint32>(quint32(v.toTime().msecsSinceStartOfDay())); break;
    case FieldType::Blob: w.bytes(v.toBytes()); break;
    }
}

QDate readDate(Reader &r)
{
    const qint64 jd = r.get<qint64>("data");
    const QDate d = QDate::fromJulianDay(jd);
    if (!d.isValid())
        fail(QStringLiteral("giorno giuliano %1 non valido").arg(jd));
    return d;
}

QTime readTime(Reader &r)
{
    const quint32 ms = r.get<quint32>("ora");
    if (ms >= 86400000u)
        fail(QStringLiteral("ora di %1 ms non valida").arg(ms));
    return QTime::fromMSecsSinceStartOfDay(int(ms));
}

Value readValue(Reader &r, const FieldDef &def)
{
    switch (def.type) {
    case FieldType::String:
    case FieldType::Memo: return Value(r.text("testo"));
    case FieldType::Integer: return Value(int(r.get<qint32>("intero")));
    case FieldType::SmallInt: return Value(int(r.get<qint16>("intero")));
    case FieldType::Word: return Value(int(r.get<quint16>("intero")));
    case FieldType::LargeInt: return Value(qint64(r.get<qint64>("intero")));
    case FieldType::Boolean: {
        const quint8 b = r.u8("booleano");
        if (b > 1)
            fail(QStringLiteral("booleano %1 non valido").arg(b));
        return Value(b == 1);
    }
    case FieldType::Float: {
        const quint64 bits = r.get<quint64>("numero");
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return Value(d);
    }
    case FieldType::Currency:
    case FieldType::BCD: return Value(Currency::fromRaw(r.get<qint64>("importo")));
    case FieldType::Date: return Value(readDate(r));
    case FieldType::DateTime: {
        const QDate d = readDate(r);
        const QTime t = readTime(r);
        const quint8 spec = r.u8("data e ora");
        QDateTime dt;
        if (spec == Local) {
            dt = QDateTime(d, t, Qt::LocalTime);
        } else if (spec == Utc) {
            dt = QDateTime(d, t, Qt::UTC);
        } else if (spec == Offset) {
            const qint32 offset = r.get<qint32>("fuso orario");
            if (offset < -24 * 3600 || offset > 24 * 3600)
                fail(QStringLiteral("scarto orario di %1 s non valido").arg(offset));
            dt = QDateTime(d, t, Qt::OffsetFromUTC, offset);
        } else {
            fail(QStringLiteral("tipo di data e ora %1 non valido").arg(spec));
        }
        if (!dt.isValid())
            fail(QStringLiteral("data e ora non valida"));
        return Value(dt);
    }
    case FieldType::Time: return Value(readTime(r));
    case FieldType::Blob: return Value(r.bytes("blob"));
    }
    return Value::null();
}

} // namespace

QByteArray encodeBinary(const DataSetContent &c)
{
    QByteArray out;
    out.reserve(HeaderSize + 64 * c.fieldDefs.size() + 16 * c.rows.size() * c.fieldDefs.size());
    out.append(Magic, sizeof Magic);
    Writer w(out);
    w.put<quint16>(Version);
    w.put<quint16>(0);
    w.put<quint32>(0); // body length, set below

    const qsizetype nf = c.fieldDefs.size();
    w.put<quint32>(quint32(nf));
    for (qsizetype i = 0; i < nf; ++i) {
        const FieldDef &def = c.fieldDefs[i];
        const FieldProperties &p = c.properties[i];
        w.text(def.name);
        w.u8(typeCode(def.type));
        w.put<qint32>(def.size);
        w.u8(quint8((def.required ? Required : 0) | (p.visible ? 0 : Hidden) | (p.readOnly ? ReadOnly : 0)));
        w.text(p.displayLabel);
        w.text(p.displayFormat);
        w.text(p.editFormat);
    }
    w.text(c.indexFieldNames);

    w.put<quint32>(quint32(c.rows.size()));
    const qsizetype maskBytes = (nf + 7) / 8;
    ValueList values(nf);
    for (const ValueList &row : c.rows) {
        const qsizetype maskAt = out.size();
        out.append(maskBytes, '\0');
        for (qsizetype f = 0; f < nf; ++f) {
            values[f] = fileValue(c.fieldDefs[f], row[f]);
            if (values[f].isNull())
                out[maskAt + f / 8] = char(uchar(out[maskAt + f / 8]) | (1u << (f % 8)));
        }
        for (qsizetype f = 0; f < nf; ++f)
            if (!values[f].isNull())
                writeValue(w, c.fieldDefs[f], values[f]);
    }

    const qsizetype body = out.size() - HeaderSize;
    if (body > qsizetype(std::numeric_limits<quint32>::max()))
        throw EDataSetError(QStringLiteral("Dataset troppo grande per un file (%1 byte)").arg(body));
    qToLittleEndian<quint32>(quint32(body), out.data() + 12);
    w.put<quint32>(DataSetFile::checksum(out.constData(), out.size()));
    return out;
}

DataSetContent decodeBinary(const QByteArray &bytes)
{
    const qsizetype size = bytes.size();
    const char *data = bytes.constData();
    if (std::memcmp(data, Magic, std::min<qsizetype>(size, sizeof Magic)) != 0)
        fail(QStringLiteral("non è un file di dataset binario"));
    if (size < HeaderSize + TrailerSize)
        fail(QStringLiteral("file troncato (%1 byte)").arg(size));
    const quint16 version = qFromLittleEndian<quint16>(data + 8);
    if (version != Version)
        fail(QStringLiteral("versione %1 del formato non supportata (attesa %2)").arg(version).arg(Version));
    const quint32 body = qFromLittleEndian<quint32>(data + 12);
    if (qint64(body) != qint64(size) - HeaderSize - TrailerSize)
        fail(qint64(body) > qint64(size) - HeaderSize - TrailerSize
                 ? QStringLiteral("file troncato (%1 byte, attesi %2)")
                       .arg(size)
                       .arg(qint64(body) + HeaderSize + TrailerSize)
                 : QStringLiteral("dati oltre la fine del dataset (%1 byte, attesi %2)")
                       .arg(size)
                       .arg(qint64(body) + HeaderSize + TrailerSize));
    const quint32 stored = qFromLittleEndian<quint32>(data + size - TrailerSize);
    if (stored != DataSetFile::checksum(data, size - TrailerSize))
        fail(QStringLiteral("checksum errato: file danneggiato"));
    if (qFromLittleEndian<quint16>(data + 10) != 0)
        fail(QStringLiteral("opzioni del formato non supportate"));

    Reader r(data + HeaderSize, data + size - TrailerSize);
    DataSetContent c;
    const quint32 nf = r.get<quint32>("numero dei campi");
    // A field takes at least 22 bytes: no count beyond what the data holds.
    if (nf == 0 || qint64(nf) > r.remaining() / 22)
        fail(QStringLiteral("numero dei campi %1 non valido").arg(nf));
    c.fieldDefs.reserve(nf);
    c.properties.reserve(nf);
    for (quint32 i = 0; i < nf; ++i) {
        FieldDef def;
        FieldProperties p;
        def.name = r.text("nome del campo");
        const quint8 code = r.u8("tipo del campo");
        if (!typeOfCode(code, &def.type))
            fail(QStringLiteral("tipo %1 del campo %2 sconosciuto").arg(code).arg(quoted(def.name)));
        def.size = r.get<qint32>("dimensione del campo");
        const quint8 flags = r.u8("opzioni del campo");
        if (flags & ~AllFlags)
            fail(QStringLiteral("opzioni %1 del campo %2 non valide").arg(flags).arg(quoted(def.name)));
        def.required = flags & Required;
        p.visible = !(flags & Hidden);
        p.readOnly = flags & ReadOnly;
        p.displayLabel = r.text("etichetta del campo");
        p.displayFormat = r.text("formato del campo");
        p.editFormat = r.text("formato del campo");
        c.fieldDefs.append(def);
        c.properties.append(p);
    }
    c.indexFieldNames = r.text("campi indice");

    const quint32 rows = r.get<quint32>("numero dei record");
    const qsizetype maskBytes = (qsizetype(nf) + 7) / 8;
    if (qint64(rows) > r.remaining() / maskBytes)
        fail(QStringLiteral("numero dei record %1 oltre la fine dei dati").arg(rows));
    c.rows.reserve(rows);
    const quint8 lastMask = quint8(nf % 8 == 0 ? 0xFF : (1u << (nf % 8)) - 1);
    for (quint32 row = 0; row < rows; ++row) {
        r.need(maskBytes, "record");
        const auto *mask = reinterpret_cast<const uchar *>(r.pos());
        if (mask[maskBytes - 1] & ~lastMask)
            fail(QStringLiteral("record %1: maschera dei nulli non valida").arg(row + 1));
        r.skip(maskBytes);
        ValueList values;
        values.reserve(nf);
        for (quint32 f = 0; f < nf; ++f)
            values.append((mask[f / 8] >> (f % 8)) & 1 ? Value::null() : readValue(r, c.fieldDefs[f]));
        c.rows.append(std::move(values));
    }
    if (r.remaining() != 0)
        fail(QStringLiteral("%1 byte in eccesso dopo i record").arg(r.remaining()));
    return c;
}

} // namespace platform::dataset_file_detail
