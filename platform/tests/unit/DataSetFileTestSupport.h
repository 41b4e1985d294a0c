#pragma once
// Datasets and comparisons shared by the dataset file tests.
#include "DataSet.h"
#include "DataSetFile.h"
#include "Exceptions.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <cmath>
#include <cstring>
#include <limits>

namespace dsfile_test {

using namespace platform;

// Same kind and same value; floats compare by their bits (NaN, -0), date-times
// by instant and time spec.
inline bool sameValue(const Value &a, const Value &b)
{
    if (a.type() != b.type())
        return false;
    if (a.type() == ValueType::Float) {
        const double x = a.toDouble(), y = b.toDouble();
        return std::memcmp(&x, &y, sizeof x) == 0;
    }
    if (a.type() == ValueType::DateTime)
        return a.toDateTime() == b.toDateTime() && a.toDateTime().timeSpec() == b.toDateTime().timeSpec()
               && a.toDateTime().offsetFromUtc() == b.toDateTime().offsetFromUtc();
    return a == b;
}

inline ::testing::AssertionResult sameRows(const QList<ValueList> &a, const QList<ValueList> &b)
{
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "row count " << a.size() << " vs " << b.size();
    for (qsizetype r = 0; r < a.size(); ++r) {
        if (a[r].size() != b[r].size())
            return ::testing::AssertionFailure()
                   << "row " << r << ": " << a[r].size() << " vs " << b[r].size() << " values";
        for (qsizetype f = 0; f < a[r].size(); ++f)
            if (!sameValue(a[r][f], b[r][f]))
                return ::testing::AssertionFailure()
                       << "row " << r << " field " << f << ": " << a[r][f].debugText().toStdString() << " vs "
                       << b[r][f].debugText().toStdString();
    }
    return ::testing::AssertionSuccess();
}

// Every field type, with sizes where they matter.
inline FieldDefs everyTypeDefs()
{
    return {
        {QStringLiteral("Testo"), FieldType::String, 12, true},
        {QStringLiteral("Intero"), FieldType::Integer},
        {QStringLiteral("Piccolo"), FieldType::SmallInt},
        {QStringLiteral("Parola"), FieldType::Word},
        {QStringLiteral("Grande"), FieldType::LargeInt},
        {QStringLiteral("Flag"), FieldType::Boolean},
        {QStringLiteral("Reale"), FieldType::Float},
        {QStringLiteral("Importo"), FieldType::Currency},
        {QStringLiteral("Decimale"), FieldType::BCD, 2},
        {QStringLiteral("Giorno"), FieldType::Date},
        {QStringLiteral("Istante"), FieldType::DateTime},
        {QStringLiteral("Ora"), FieldType::Time},
        {QStringLiteral("Nota"), FieldType::Memo},
        {QStringLiteral("Dati"), FieldType::Blob},
    };
}

inline QByteArray allBytes()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b.append(char(i));
    return b;
}

// Rows in field order of everyTypeDefs(): extremes, nulls, non-ASCII text,
// blobs with zero bytes, multi-line memos. No NaN: these rows are compared
// with == in the damage tests (NaN has a test of its own).
inline QList<ValueList> everyTypeRows()
{
    const qint64 i64min = std::numeric_limits<qint64>::min();
    const qint64 i64max = std::numeric_limits<qint64>::max();
    return {
        {Value(QStringLiteral("àèìòù € 😀")), Value(std::numeric_limits<int>::min()), Value(-32768), Value(0),
         Value(i64min), Value(true), Value(-0.0), Value(Currency::fromRaw(i64min)),
         Value(Currency::fromRaw(-123456789012300)), Value(QDate(1, 1, 1)),
         Value(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59, 999))), Value(QTime(0, 0)),
         Value(QStringLiteral("riga 1\r\nriga 2\n\triga 3 <&> ]]>\r")), Value(QByteArray("\0a\0b\0", 5))},
        {Value(QStringLiteral("abc")), Value(std::numeric_limits<int>::max()), Value(32767), Value(65535),
         Value(i64max), Value(false), Value(std::numeric_limits<double>::denorm_min()),
         Value(Currency::fromRaw(i64max)), Value(Currency::fromRaw(100)), Value(QDate(9999, 12, 31)),
         Value(QDateTime(QDate(1900, 1, 1), QTime(0, 0, 0, 1), Qt::UTC)), Value(QTime(23, 59, 59, 999)),
         Value(QStringLiteral("x")), Value(allBytes())},
        // Nulls everywhere but the required text.
        {Value(QStringLiteral("nulli")), Value::null(), Value::null(), Value::null(), Value::null(), Value::null(),
         Value::null(), Value::null(), Value::null(), Value::null(), Value::null(), Value::null(), Value::null(),
         Value::null()},
        {Value(QStringLiteral("vuoti")), Value(0), Value(0), Value(0), Value(qint64(0)), Value(false),
         Value(std::numeric_limits<double>::max()), Value(Currency()), Value(Currency()), Value(QDate(2000, 1, 1)),
         Value(QDateTime(QDate(2010, 6, 1), QTime(12, 0), Qt::OffsetFromUTC, 5 * 3600 + 30 * 60)), Value(QTime(12, 30)),
         Value(QStringLiteral("\uFEFF"
                              "bom e\x01"
                              "controllo\x7f")),
         Value(QByteArray(""))},
    };
}

inline void fillEveryType(DataSet &ds)
{
    ds.setFieldDefs(everyTypeDefs());
    ds.createDataSet();
    for (const ValueList &row : everyTypeRows())
        ds.appendRecord(row);
}

// What a failed load must leave untouched.
struct Snapshot {
    FieldDefs defs;
    QList<ValueList> rows;
    QString index;
    DataSetState state;
    int recNo;
    int changeCount;
    QStringList labels;
    Value current;

    static Snapshot of(const DataSet &ds)
    {
        Snapshot s{ds.fieldDefs(),
                   ds.records(),
                   ds.indexFieldNames(),
                   ds.state(),
                   ds.isActive() ? ds.recNo() : 0,
                   ds.isActive() ? ds.changeCount() : 0,
                   {},
                   {}};
        for (const auto &f : ds.fields())
            s.labels << f->displayLabel();
        if (ds.isActive() && ds.fieldCount() > 0)
            s.current = ds.field(0)->value();
        return s;
    }
    bool operator==(const Snapshot &o) const
    {
        return defs == o.defs && sameRows(rows, o.rows) && index == o.index && state == o.state && recNo == o.recNo
               && changeCount == o.changeCount && labels == o.labels && sameValue(current, o.current);
    }
};

// A small dataset with a pending change and a current record that is not
// the first: what the damage tests try to spoil.
inline void fillTarget(DataSet &ds)
{
    ds.setFieldDefs({{QStringLiteral("Codice"), FieldType::Integer}, {QStringLiteral("Nome"), FieldType::String, 20}});
    ds.createDataSet();
    ds.appendRecord({Value(3), Value(QStringLiteral("tre"))});
    ds.appendRecord({Value(1), Value(QStringLiteral("uno"))});
    ds.field(1)->setDisplayLabel(QStringLiteral("Nome esteso"));
    ds.setIndexFieldNames(QStringLiteral("Codice"));
    ds.last();
}

// A small binary file: three fields, two rows.
inline QByteArray smallBinaryFile()
{
    DataSetContent c;
    c.fieldDefs = {{QStringLiteral("A"), FieldType::String, 5},
                   {QStringLiteral("B"), FieldType::Integer},
                   {QStringLiteral("C"), FieldType::Blob}};
    c.properties = {{}, {QStringLiteral("Bi"), false, true, QStringLiteral("0"), {}}, {}};
    c.indexFieldNames = QStringLiteral("B");
    c.rows = {{Value(QStringLiteral("é")), Value(7), Value(QByteArray("\0\1", 2))},
              {Value::null(), Value(-1), Value::null()}};
    return DataSetFile::encode(c, DataSetFileFormat::Binary);
}

inline QByteArray smallXmlFile()
{
    DataSetContent c;
    c.fieldDefs = {{QStringLiteral("A"), FieldType::String, 5}, {QStringLiteral("B"), FieldType::Integer}};
    c.properties = {{}, {}};
    c.rows = {{Value(QStringLiteral("é")), Value(7)}, {Value::null(), Value(-1)}};
    return DataSetFile::encode(c, DataSetFileFormat::Xml);
}

// Runs f, which must raise EDataSetError whose message names `name`.
template <typename F>
::testing::AssertionResult failsNaming(F &&f, const QString &name)
{
    try {
        f();
    } catch (const EDataSetError &e) {
        if (!e.message().contains(name))
            return ::testing::AssertionFailure() << "message does not name " << name.toStdString() << ": " << e.what();
        return ::testing::AssertionSuccess();
    } catch (const std::exception &e) {
        return ::testing::AssertionFailure() << "wrong exception: " << e.what();
    }
    return ::testing::AssertionFailure() << "no exception";
}

} // namespace dsfile_test
