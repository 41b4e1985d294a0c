#include "DataSetFile.h"
#include "DataSetFileInternal.h"
#include "DataSetInternal.h"
#include "Exceptions.h"
#include "Paths.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QSet>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace platform {

using namespace dataset_file_detail;

namespace dataset_file_detail {

void fail(const QString &detail, qint64 line)
{
    throw FormatError{detail, line};
}

QString contentFault(const DataSetContent &content)
{
    const FieldDefs &defs = content.fieldDefs;
    if (defs.isEmpty())
        return QStringLiteral("nessun campo");
    if (content.properties.size() != defs.size())
        return QStringLiteral("proprietà per %1 campi, campi: %2").arg(content.properties.size()).arg(defs.size());
    QSet<QString> names;
    for (const FieldDef &def : defs) {
        if (def.name.trimmed().isEmpty())
            return QStringLiteral("campo senza nome");
        if (def.kind != FieldKind::Data)
            return QStringLiteral("il campo %1 è calcolato").arg(quoted(def.name));
        const QString key = def.name.toLower();
        if (names.contains(key))
            return QStringLiteral("campo %1 duplicato").arg(quoted(def.name));
        names.insert(key);
        if (def.size < 0)
            return QStringLiteral("dimensione %1 non valida per il campo %2").arg(def.size).arg(quoted(def.name));
        if (def.type == FieldType::BCD && def.size > 4)
            return QStringLiteral("decimali %1 non validi per il campo %2").arg(def.size).arg(quoted(def.name));
    }
    for (const QString &n : dataset_detail::splitFieldNames(content.indexFieldNames))
        if (!names.contains(n.toLower()))
            return QStringLiteral("campo indice %1 non trovato").arg(quoted(n));
    for (qsizetype r = 0; r < content.rows.size(); ++r) {
        const ValueList &row = content.rows[r];
        if (row.size() != defs.size())
            return QStringLiteral("record %1: %2 valori, campi: %3").arg(r + 1).arg(row.size()).arg(defs.size());
        for (qsizetype f = 0; f < defs.size(); ++f) {
            const FieldDef &def = defs[f];
            if (def.type == FieldType::BCD && def.size < 4 && row[f].type() == ValueType::Currency) {
                // A BCD field keeps `size` decimals: more would be rounded
                // away silently by the load.
                static constexpr int64_t unit[] = {10000, 1000, 100, 10};
                if (row[f].toCurrency().raw() % unit[def.size] != 0)
                    return QStringLiteral("record %1: importo %2 con più di %3 decimali nel campo %4")
                        .arg(r + 1)
                        .arg(currencyText(row[f].toCurrency()))
                        .arg(def.size)
                        .arg(quoted(def.name));
            }
            if (def.type == FieldType::String && def.size > 0 && row[f].type() == ValueType::Text) {
                const qsizetype len = row[f].toString().size();
                if (len > def.size)
                    return QStringLiteral("record %1: testo di %2 caratteri nel campo %3 di %4")
                        .arg(r + 1)
                        .arg(len)
                        .arg(quoted(def.name))
                        .arg(def.size);
            }
        }
    }
    return {};
}

Value fileValue(const FieldDef &def, const Value &value)
{
    if (value.isEmpty())
        return Value::null();
    try {
        Value v = dataset_detail::convertValue(def, value, dataset_detail::Misfit::Refuse);
        // UTF-8 has no form for a lone surrogate: Qt would write "?" instead.
        if ((def.type == FieldType::String || def.type == FieldType::Memo) && !v.toString().isValidUtf16())
            throw EDataSetError(
                QStringLiteral("Testo con un surrogato UTF-16 isolato nel campo %1").arg(quoted(def.name)));
        return v;
    } catch (const EDataSetError &) {
        throw;
    } catch (const Exception &e) {
        throw EDataSetError(QStringLiteral("Valore %1 non valido per il campo %2 (%3): %4")
                                .arg(value.debugText(), quoted(def.name), fieldTypeName(def.type), e.message()));
    }
}

QString currencyText(Currency value)
{
    const int64_t raw = value.raw();
    // The magnitude as unsigned: -INT64_MIN does not fit an int64_t.
    const uint64_t mag = raw < 0 ? uint64_t(0) - uint64_t(raw) : uint64_t(raw);
    const uint64_t units = mag / Currency::Scale;
    uint64_t frac = mag % Currency::Scale;
    QString out;
    if (raw < 0)
        out += QLatin1Char('-');
    out += QString::number(units);
    if (frac != 0) {
        int digits = 4;
        while (frac % 10 == 0) {
            frac /= 10;
            --digits;
        }
        out += QLatin1Char('.');
        out += QStringLiteral("%1").arg(frac, digits, 10, QLatin1Char('0'));
    }
    return out;
}

bool parseCurrency(QStringView text, Currency *value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && text[i] == QLatin1Char('-')) {
        negative = true;
        ++i;
    }
    __int128 mag = 0;
    int intDigits = 0;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        mag = mag * 10 + (text[i].unicode() - '0');
        if (mag > (__int128(1) << 64))
            return false;
        ++intDigits;
    }
    if (intDigits == 0)
        return false;
    mag *= Currency::Scale;
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        int64_t scale = Currency::Scale / 10;
        int fracDigits = 0;
        for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
            if (++fracDigits > 4)
                return false;
            mag += (text[i].unicode() - '0') * scale;
            scale /= 10;
        }
        if (fracDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    const __int128 raw = negative ? -mag : mag;
    if (raw < std::numeric_limits<int64_t>::min() || raw > std::numeric_limits<int64_t>::max())
        return false;
    *value = Currency::fromRaw(int64_t(raw));
    return true;
}

QString floatText(double value)
{
    if (std::isnan(value))
        return std::signbit(value) ? QStringLiteral("-nan") : QStringLiteral("nan");
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, res.ptr - buf);
}

bool parseFloat(QStringView text, double *value)
{
    if (text.isEmpty() || text.size() > 64)
        return false;
    char buf[65];
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80)
            return false;
        buf[i] = char(c);
    }
    const char *end = buf + text.size();
    const char *begin = buf;
    // Only the forms floatText writes and plain decimal numbers: no hex,
    // no "nan(...)" payloads, no "infinity".
    for (const char *p = begin; p != end; ++p)
        if (*p == '(' || *p == 'x' || *p == 'X')
            return false;
    const auto res = std::from_chars(begin, end, *value, std::chars_format::general);
    return res.ec == std::errc() && res.ptr == end;
}

} // namespace dataset_file_detail

namespace {

QString blobName(const QString &sourceName)
{
    return sourceName.isEmpty() ? QStringLiteral("blob") : sourceName;
}

[[noreturn]] void raiseFormat(const QString &sourceName, const FormatError &e)
{
    QString where = e.line > 0 ? QStringLiteral(" (riga %1)").arg(e.line) : QString();
    throw EDataSetError(QStringLiteral("File di dataset %1 non valido%2: %3").arg(quoted(sourceName), where, e.detail));
}

bool indexFits(const QString &indexFieldNames, const FieldDefs &defs)
{
    QSet<QString> names;
    for (const FieldDef &d : defs)
        names.insert(d.name.trimmed().toLower());
    for (const QString &part : indexFieldNames.split(QLatin1Char(';'))) {
        const QString n = part.trimmed();
        if (!n.isEmpty() && !names.contains(n.toLower()))
            return false;
    }
    return true;
}

// Clears the notification events of a dataset for the length of a load and
// puts them back afterwards, whatever happens; the calculated-field and
// record-filter handlers stay, they belong to the records.
class QuietLoad {
public:
    explicit QuietLoad(DataSet &ds) : m_ds(ds), m_saved(ds.events())
    {
        DataSetEvents quiet;
        quiet.onCalcFields = m_saved.onCalcFields;
        quiet.onFilterRecord = m_saved.onFilterRecord;
        m_ds.events() = quiet;
        m_ds.disableControls();
    }
    ~QuietLoad()
    {
        m_ds.events() = m_saved;
        try {
            m_ds.enableControls();
        } catch (...) {
            // An observer failing on the final reset must not escape a
            // destructor; the dataset is consistent either way.
        }
    }
    QuietLoad(const QuietLoad &) = delete;
    QuietLoad &operator=(const QuietLoad &) = delete;

private:
    DataSet &m_ds;
    DataSetEvents m_saved;
};

} // namespace

DataSetContent DataSetFile::contentOf(DataSet &dataSet)
{
    if (dataSet.isEditing())
        dataSet.checkBrowseMode();
    DataSetContent c;
    for (const FieldDef &def : dataSet.fieldDefs()) {
        if (def.kind != FieldKind::Data)
            continue;
        FieldDef d = def;
        FieldProperties p;
        // The live field carries the properties set by code (and a required
        // flag changed after the definitions were made); fields rebuilt from
        // other definitions are not this definition's.
        const Field *f = dataSet.findField(def.name);
        if (f && f->fieldName() == def.name && f->dataType() == def.type && !f->isCalculated()) {
            d.required = f->isRequired();
            if (f->displayLabel() != f->fieldName())
                p.displayLabel = f->displayLabel();
            p.visible = f->isVisible();
            p.readOnly = f->isReadOnly();
            p.displayFormat = f->displayFormat();
            p.editFormat = f->editFormat();
        }
        c.fieldDefs.append(d);
        c.properties.append(p);
    }
    if (c.fieldDefs.isEmpty())
        throw EDataSetError(QStringLiteral("Nessuna definizione di campo"));
    c.indexFieldNames = dataSet.indexFieldNames();
    c.rows = dataSet.records();
    // records() has the data fields in field order; definitions made while
    // the dataset was closed are not its fields yet.
    for (const ValueList &row : std::as_const(c.rows))
        if (row.size() != c.fieldDefs.size())
            throw EDataSetError(QStringLiteral("Struttura del dataset %1 non aggiornata: aprirlo prima di salvarlo")
                                    .arg(quoted(dataSet.name())));
    return c;
}

void DataSetFile::loadContent(DataSet &dataSet, const DataSetContent &content)
{
    const QString fault = contentFault(content);
    if (!fault.isEmpty())
        throw EDataSetError(QStringLiteral("Contenuto del dataset non valido: %1").arg(fault));

    // Everything that can fail happens on a dataset of our own first: the
    // values against their fields, the order, the caller's filter on the new
    // structure. The target is touched only when all of it passed.
    DataSet staged(dataSet.name());
    try {
        // A file's values are never cut or rounded: what does not fit its
        // field is refused here, before the dataset's own conversion.
        for (const ValueList &row : content.rows)
            for (qsizetype f = 0; f < row.size(); ++f)
                fileValue(content.fieldDefs[f], row[f]);
        staged.loadRecords(content.fieldDefs, content.rows);
        for (qsizetype i = 0; i < content.fieldDefs.size(); ++i) {
            Field &f = *staged.field(int(i));
            const FieldProperties &p = content.properties[i];
            f.setDisplayLabel(p.displayLabel);
            f.setVisible(p.visible);
            f.setReadOnly(p.readOnly);
            f.setDisplayFormat(p.displayFormat);
            f.setEditFormat(p.editFormat);
        }
        staged.setIndexFieldNames(content.indexFieldNames);
        if (!dataSet.filter().trimmed().isEmpty())
            staged.setFilter(dataSet.filter());
    } catch (const EDataSetError &) {
        throw;
    } catch (const Exception &e) {
        // A value that does not convert to its field (EConvertError, EOverflowError).
        throw EDataSetError(e.message());
    }

    QuietLoad quiet(dataSet);
    if (dataSet.isEditing())
        dataSet.cancel();
    // assignData keeps the target's order, which must fit the new fields.
    if (!indexFits(dataSet.indexFieldNames(), content.fieldDefs))
        dataSet.setIndexFieldNames(QString());
    dataSet.assignData(staged);
    if (dataSet.indexFieldNames() != content.indexFieldNames) {
        dataSet.setIndexFieldNames(content.indexFieldNames);
        dataSet.first();
    }
}

QByteArray DataSetFile::encode(const DataSetContent &content, DataSetFileFormat format)
{
    const QString fault = contentFault(content);
    if (!fault.isEmpty())
        throw EDataSetError(QStringLiteral("Contenuto del dataset non valido: %1").arg(fault));
    return format == DataSetFileFormat::Xml ? encodeXml(content) : encodeBinary(content);
}

DataSetContent DataSetFile::decode(const QByteArray &bytes, const QString &sourceName, DataSetFileFormat format)
{
    const QString name = blobName(sourceName);
    try {
        if (bytes.isEmpty())
            fail(QStringLiteral("file vuoto"));
        if (format == DataSetFileFormat::Auto) {
            format = detectFormat(bytes);
            if (format == DataSetFileFormat::Auto)
                fail(QStringLiteral("formato sconosciuto (né binario né XML di dataset)"));
        }
        DataSetContent c = format == DataSetFileFormat::Xml ? decodeXml(bytes) : decodeBinary(bytes);
        const QString fault = contentFault(c);
        if (!fault.isEmpty())
            fail(fault);
        return c;
    } catch (const FormatError &e) {
        raiseFormat(name, e);
    }
}

DataSetFileFormat DataSetFile::detectFormat(const QByteArray &bytes)
{
    if (bytes.startsWith("\x89ZDS"))
        return DataSetFileFormat::Binary;
    QByteArrayView v(bytes);
    if (v.startsWith("\xEF\xBB\xBF"))
        v = v.sliced(3);
    else if (v.startsWith("\xFF\xFE") || v.startsWith("\xFE\xFF"))
        return DataSetFileFormat::Xml; // UTF-16 with its byte-order mark
    qsizetype i = 0;
    while (i < v.size() && (v[i] == ' ' || v[i] == '\t' || v[i] == '\r' || v[i] == '\n'))
        ++i;
    return i < v.size() && v[i] == '<' ? DataSetFileFormat::Xml : DataSetFileFormat::Auto;
}

quint32 DataSetFile::checksum(const char *data, qsizetype size)
{
    // Table-driven CRC-32, reflected polynomial 0xEDB88320, eight bytes a
    // step ("slicing by 8").
    static const auto tables = [] {
        std::array<std::array<quint32, 256>, 8> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (quint32 i = 0; i < 256; ++i)
            for (int s = 1; s < 8; ++s)
                t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
        return t;
    }();
    const auto *p = reinterpret_cast<const uchar *>(data);
    quint32 crc = 0xFFFFFFFFu;
    while (size >= 8) {
        const quint32 lo = crc ^ (quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
        crc = tables[7][lo & 0xFF] ^ tables[6][(lo >> 8) & 0xFF] ^ tables[5][(lo >> 16) & 0xFF] ^ tables[4][lo >> 24]
              ^ tables[3][p[4]] ^ tables[2][p[5]] ^ tables[1][p[6]] ^ tables[0][p[7]];
        p += 8;
        size -= 8;
    }
    while (size-- > 0)
        crc = tables[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// ---------------------------------------------------------------------------
// Datasets, blobs and files

QByteArray DataSetFile::saveToBlob(DataSet &dataSet, DataSetFileFormat format)
{
    return encode(contentOf(dataSet), format);
}

void DataSetFile::loadFromBlob(DataSet &dataSet, const QByteArray &blob, const QString &sourceName,
                               DataSetFileFormat format)
{
    const DataSetContent content = decode(blob, sourceName, format);
    try {
        loadContent(dataSet, content);
    } catch (const EDataSetError &e) {
        throw EDataSetError(
            QStringLiteral("Impossibile caricare il dataset da %1: %2").arg(quoted(blobName(sourceName)), e.message()));
    }
}

void DataSetFile::saveToFile(DataSet &dataSet, const QString &fileName, DataSetFileFormat format)
{
    const QByteArray bytes = saveToBlob(dataSet, format);
    auto failed = [&](const QString &why) {
        return EDataSetError(
            QStringLiteral("Impossibile salvare il file di dataset %1: %2").arg(quoted(fileName), why));
    };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw failed(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        throw failed(why);
    }
    if (!commitSaveFile(file))
        throw failed(file.errorString());
}

void DataSetFile::loadFromFile(DataSet &dataSet, const QString &fileName, DataSetFileFormat format)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EDataSetError(
            QStringLiteral("Impossibile aprire il file di dataset %1: %2").arg(quoted(fileName), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EDataSetError(
            QStringLiteral("Impossibile leggere il file di dataset %1: %2").arg(quoted(fileName), file.errorString()));
    const DataSetContent content = decode(bytes, fileName, format);
    try {
        loadContent(dataSet, content);
    } catch (const EDataSetError &e) {
        throw EDataSetError(
            QStringLiteral("Impossibile caricare il file di dataset %1: %2").arg(quoted(fileName), e.message()));
    }
}

} // namespace platform
