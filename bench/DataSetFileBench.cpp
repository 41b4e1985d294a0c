// Saving and loading a 10,000-row, 80-field dataset in both file forms:
// to and from a blob (the bytes only), to and from a file in a temporary
// folder, and the reading alone (bytes to content, without the dataset).
// The fields are a declaration table's mix: mostly texts and amounts, some
// integers, dates and flags, one memo and one blob; about one value in ten
// is null.
//
//     build-*/bench/bench_DataSetFileBench --benchmark_filter=DataSetFile
#include "DataSet.h"
#include "DataSetFile.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <memory>

using namespace platform;

namespace {

constexpr int Rows = 10000;
constexpr int Fields = 80;

FieldType typeOf(int f)
{
    // 32 texts, 20 amounts, 8 integers, 8 dates, 4 flags, 2 large integers,
    // 2 floats, 1 date-time, 1 small integer, 1 memo, 1 blob.
    static const FieldType pattern[] = {
        FieldType::String,   FieldType::Currency, FieldType::String, FieldType::Integer,  FieldType::String,
        FieldType::Currency, FieldType::Date,     FieldType::String, FieldType::Currency, FieldType::Boolean,
    };
    switch (f) {
    case 70: return FieldType::LargeInt;
    case 71: return FieldType::LargeInt;
    case 72: return FieldType::Float;
    case 73: return FieldType::Float;
    case 74: return FieldType::DateTime;
    case 75: return FieldType::SmallInt;
    case 76: return FieldType::Memo;
    case 77: return FieldType::Blob;
    default: return pattern[f % 10];
    }
}

Value valueOf(FieldType t, int row, int f)
{
    if ((row * 7 + f * 13) % 10 == 0)
        return Value::null();
    switch (t) {
    case FieldType::String: return Value(QStringLiteral("Testo %1-%2 àè").arg(row).arg(f));
    case FieldType::Currency: return Value(Currency::fromRaw(qint64(row) * 12345 + f));
    case FieldType::Integer: return Value(row * 3 + f);
    case FieldType::Date: return Value(QDate(2020, 1, 1).addDays(row % 2000));
    case FieldType::Boolean: return Value(row % 2 == 0);
    case FieldType::LargeInt: return Value(qint64(row) << 33);
    case FieldType::Float: return Value(row / 7.0);
    case FieldType::DateTime: return Value(QDateTime(QDate(2024, 1, 1), QTime(8, 0)).addSecs(row));
    case FieldType::SmallInt: return Value(row % 30000);
    case FieldType::Memo: return Value(QStringLiteral("Nota della riga %1\nseconda riga").arg(row));
    case FieldType::Blob: return Value(QByteArray(16, char(row)));
    default: return Value::null();
    }
}

const DataSet &bigDataSet()
{
    static std::unique_ptr<DataSet> ds = [] {
        auto d = std::make_unique<DataSet>(QStringLiteral("TEMD_DIPENDENTI"));
        FieldDefs defs;
        for (int f = 0; f < Fields; ++f) {
            const FieldType t = typeOf(f);
            defs.append({QStringLiteral("Campo%1").arg(f), t, t == FieldType::String ? 40 : 0});
        }
        d->setFieldDefs(defs);
        d->createDataSet();
        d->disableControls();
        for (int r = 0; r < Rows; ++r) {
            ValueList row;
            row.reserve(Fields);
            for (int f = 0; f < Fields; ++f)
                row.append(valueOf(defs[f].type, r, f));
            d->appendRecord(row);
        }
        d->enableControls();
        d->mergeChangeLog();
        return d;
    }();
    return *ds;
}

DataSet &source()
{
    return const_cast<DataSet &>(bigDataSet());
}

const QByteArray &blobOf(DataSetFileFormat form)
{
    static const QByteArray binary = DataSetFile::saveToBlob(source(), DataSetFileFormat::Binary);
    static const QByteArray xml = DataSetFile::saveToBlob(source(), DataSetFileFormat::Xml);
    return form == DataSetFileFormat::Xml ? xml : binary;
}

void BM_DataSetFile_SaveBlob(benchmark::State &state, DataSetFileFormat form)
{
    DataSet &ds = source();
    qint64 bytes = 0;
    for (auto _ : state) {
        QByteArray b = DataSetFile::saveToBlob(ds, form);
        bytes = b.size();
        benchmark::DoNotOptimize(b.constData());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["file_MB"] = double(bytes) / 1e6;
}

void BM_DataSetFile_LoadBlob(benchmark::State &state, DataSetFileFormat form)
{
    const QByteArray &blob = blobOf(form);
    DataSet target;
    for (auto _ : state) {
        DataSetFile::loadFromBlob(target, blob, QStringLiteral("bench"));
        benchmark::DoNotOptimize(target.recordCount());
    }
    state.SetBytesProcessed(state.iterations() * blob.size());
    if (target.recordCount() != Rows)
        state.SkipWithError("wrong row count");
}

void BM_DataSetFile_DecodeOnly(benchmark::State &state, DataSetFileFormat form)
{
    const QByteArray &blob = blobOf(form);
    for (auto _ : state) {
        DataSetContent c = DataSetFile::decode(blob, QStringLiteral("bench"), form);
        benchmark::DoNotOptimize(c.rows.size());
    }
    state.SetBytesProcessed(state.iterations() * blob.size());
}

void BM_DataSetFile_SaveFile(benchmark::State &state, DataSetFileFormat form)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TEMD_DIPENDENTI.cds"));
    DataSet &ds = source();
    for (auto _ : state)
        DataSetFile::saveToFile(ds, path, form);
    state.SetBytesProcessed(state.iterations() * blobOf(form).size());
}

void BM_DataSetFile_LoadFile(benchmark::State &state, DataSetFileFormat form)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TEMD_DIPENDENTI.cds"));
    DataSetFile::saveToFile(source(), path, form);
    DataSet target;
    for (auto _ : state) {
        DataSetFile::loadFromFile(target, path);
        benchmark::DoNotOptimize(target.recordCount());
    }
    state.SetBytesProcessed(state.iterations() * blobOf(form).size());
}

} // namespace

BENCHMARK_CAPTURE(BM_DataSetFile_SaveBlob, binary, DataSetFileFormat::Binary)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DataSetFile_SaveBlob, xml, DataSetFileFormat::Xml)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DataSetFile_LoadBlob, binary, DataSetFileFormat::Binary)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DataSetFile_LoadBlob, xml, DataSetFileFormat::Xml)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DataSetFile_DecodeOnly, binary, DataSetFileFormat::Binary)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DataSetFile_DecodeOnly, xml, DataSetFileFormat::Xml)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DataSetFile_SaveFile, binary, DataSetFileFormat::Binary)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DataSetFile_SaveFile, xml, DataSetFileFormat::Xml)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DataSetFile_LoadFile, binary, DataSetFileFormat::Binary)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DataSetFile_LoadFile, xml, DataSetFileFormat::Xml)->Unit(benchmark::kMillisecond);
