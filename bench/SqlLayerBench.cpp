// The SQL layer's overhead over the Firebird client library it calls:
// inserting and reading back rows of a four-column table (integer key,
// text, NUMERIC(18,4) amount, date) on an embedded Firebird database, once
// through platform::SqlQuery (named parameters, Value conversions, Currency)
// and once straight through the client's object API (RawFirebird.h: the
// engine's own message layout, values written and read in place). Each
// insert run fills a new table inside one transaction; the reads scan a
// table filled once; a read into a dataset against the same rows loaded
// into a dataset straight from the client API (what the layer adds) and
// kept in a vector of typed records (what the dataset's storage adds).
//
//     build-*/bench/bench_SqlLayerBench --benchmark_filter=Sql
#include "DataSet.h"
#include "Database.h"
#include "DatabaseCreator.h"
#include "RawFirebird.h"
#include "SqlQuery.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>
#include <stdexcept>

using namespace platform;

namespace {

struct BenchDatabase {
    std::unique_ptr<QTemporaryDir> lock;
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    std::unique_ptr<rawfb::Raw> raw;
    int tables = 0;
    QHash<int, QString> filled; // rows -> a table filled with that many rows

    BenchDatabase()
    {
        if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) {
            lock = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/zep-bench-lock-XXXXXX");
            qputenv("FIREBIRD_LOCK", QFile::encodeName(lock->path()));
        }
        ConnectionSettings s;
        s.database = dir.filePath("bench.fdb");
        DatabaseCreator::createDatabaseFile(s);
        db = std::make_unique<Database>(s);
        db->open();
        raw = std::make_unique<rawfb::Raw>(s.database);
    }

    QString newTable()
    {
        const QString name = QString("TBENCH_%1").arg(++tables);
        db->execute("CREATE TABLE " + name
                    + " (ID INTEGER NOT NULL PRIMARY KEY, SNOME VARCHAR(40), FIMPORTO NUMERIC(18,4), DDATA DATE)");
        return name;
    }
};

BenchDatabase &bench()
{
    static int argc = 1;
    static char name[] = "bench";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static BenchDatabase b;
    return b;
}

QString nameOf(int i)
{
    return QStringLiteral("Persona %1").arg(i);
}

Currency amountOf(int i)
{
    return Currency::fromRaw(qint64(i) * 7919 % 100000000);
}

QDate dateOf(int i)
{
    return QDate(2010, 1, 1).addDays(i % 5000);
}

void insertWithLayer(Database &db, const QString &table, int rows)
{
    db.startTransaction();
    SqlQuery q(db);
    q.setSql("INSERT INTO " + table + " (ID, SNOME, FIMPORTO, DDATA) VALUES (:ID, :SNOME, :FIMPORTO, :DDATA)");
    Param &id = q.paramByName("ID");
    Param &nome = q.paramByName("SNOME");
    Param &importo = q.paramByName("FIMPORTO");
    Param &data = q.paramByName("DDATA");
    for (int i = 0; i < rows; ++i) {
        id.setValue(i);
        nome.setValue(nameOf(i));
        importo.setValue(amountOf(i));
        data.setValue(dateOf(i));
        q.execSQL();
    }
    db.commit();
}

void insertRaw(rawfb::Raw &raw, const QString &table, int rows)
{
    Firebird::ITransaction *t = raw.start();
    rawfb::Raw::Statement st = raw.prepare(t, "INSERT INTO " + table
                                                  + " (ID, SNOME, FIMPORTO, DDATA) VALUES (?, ?, ?, ?)");
    for (int i = 0; i < rows; ++i) {
        rawfb::Raw::putInt(st, 0, i);
        rawfb::Raw::putVarchar(st, 1, nameOf(i).toUtf8());
        rawfb::Raw::putInt64(st, 2, amountOf(i).raw());
        rawfb::Raw::putDate(st, 3, dateOf(i));
        raw.execute(t, st);
    }
    raw.free(st);
    raw.commit(t);
}

const QString &filledTable(int rows)
{
    BenchDatabase &b = bench();
    if (!b.filled.contains(rows)) {
        const QString table = b.newTable();
        insertRaw(*b.raw, table, rows);
        b.filled.insert(rows, table);
    }
    return b.filled[rows];
}

// The four columns every read selects, and one row of them decoded from the
// client API's output message in place.
QString selectAll(const QString &table)
{
    return "SELECT ID, SNOME, FIMPORTO, DDATA FROM " + table;
}

struct RawRow {
    ISC_LONG id = 0;
    QString name;
    ISC_INT64 amount = 0;
    QDate date;
};

RawRow readRow(const rawfb::Raw::Statement &st, const char *row)
{
    RawRow r;
    std::memcpy(&r.id, row + st.outOffsets[0], sizeof r.id);
    unsigned short length = 0;
    std::memcpy(&length, row + st.outOffsets[1], sizeof length);
    r.name = QString::fromUtf8(row + st.outOffsets[1] + sizeof length, length);
    std::memcpy(&r.amount, row + st.outOffsets[2], sizeof r.amount);
    ISC_DATE date = 0;
    std::memcpy(&date, row + st.outOffsets[3], sizeof date);
    r.date = QDate::fromJulianDay(date + 2400001);
    return r;
}

void BM_SqlInsertLayer(benchmark::State &state)
{
    BenchDatabase &b = bench();
    const int rows = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        const QString table = b.newTable();
        state.ResumeTiming();
        insertWithLayer(*b.db, table, rows);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_SqlInsertRaw(benchmark::State &state)
{
    BenchDatabase &b = bench();
    const int rows = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        const QString table = b.newTable();
        state.ResumeTiming();
        insertRaw(*b.raw, table, rows);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_SqlReadLayer(benchmark::State &state)
{
    BenchDatabase &b = bench();
    const int rows = int(state.range(0));
    const QString table = filledTable(rows);
    for (auto _ : state) {
        SqlQuery q(*b.db);
        q.setSql(selectAll(table));
        qint64 sum = 0;
        int n = 0;
        for (q.open(); !q.eof(); q.next(), ++n) {
            sum += q.value(0).toInt();
            benchmark::DoNotOptimize(q.value(1).toString());
            sum += q.value(2).toCurrency().raw();
            benchmark::DoNotOptimize(q.value(3).toDate());
        }
        if (n != rows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_SqlReadIntoDataSet(benchmark::State &state)
{
    BenchDatabase &b = bench();
    const int rows = int(state.range(0));
    const QString table = filledTable(rows);
    for (auto _ : state) {
        DataSet ds;
        ds.setCommandText(selectAll(table));
        SqlQuery::openDataSet(*b.db, ds);
        if (ds.recordCount() != rows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(ds.recordCount());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_SqlReadRaw(benchmark::State &state)
{
    BenchDatabase &b = bench();
    const int rows = int(state.range(0));
    const QString table = filledTable(rows);
    for (auto _ : state) {
        Firebird::ITransaction *t = b.raw->start();
        rawfb::Raw::Statement st = b.raw->prepare(t, selectAll(table));
        qint64 sum = 0;
        const qint64 n = b.raw->select(t, st, [&](const char *row) {
            const RawRow r = readRow(st, row);
            sum += r.id + r.amount;
            benchmark::DoNotOptimize(r.name);
            benchmark::DoNotOptimize(r.date);
        });
        b.raw->free(st);
        b.raw->commit(t);
        if (n != rows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

// The floor of a read into a dataset: the same rows read in place and kept,
// each in a record of the four typed values.
void BM_SqlReadRawIntoVector(benchmark::State &state)
{
    BenchDatabase &b = bench();
    const int rows = int(state.range(0));
    const QString table = filledTable(rows);
    for (auto _ : state) {
        std::vector<RawRow> kept;
        Firebird::ITransaction *t = b.raw->start();
        rawfb::Raw::Statement st = b.raw->prepare(t, selectAll(table));
        b.raw->select(t, st, [&](const char *row) { kept.push_back(readRow(st, row)); });
        b.raw->free(st);
        b.raw->commit(t);
        if (qint64(kept.size()) != rows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(kept.data());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

// The floor of the SQL layer's part in a read into a dataset: the same rows
// read in place through the client API, each made into the four values the
// layer gives (the amount as the Currency it already is) and loaded into the
// same kind of dataset. The dataset's own storage is common to both; what
// the layer takes more is its own.
void BM_SqlReadRawIntoDataSet(benchmark::State &state)
{
    BenchDatabase &b = bench();
    const int rows = int(state.range(0));
    const QString table = filledTable(rows);
    const FieldDefs defs{{"ID", FieldType::Integer, 0, false},
                         {"SNOME", FieldType::String, 40, false},
                         {"FIMPORTO", FieldType::Currency, 0, false},
                         {"DDATA", FieldType::Date, 0, false}};
    for (auto _ : state) {
        DataSet ds;
        Firebird::ITransaction *t = b.raw->start();
        rawfb::Raw::Statement st = b.raw->prepare(t, selectAll(table));
        Firebird::IResultSet *rs = b.raw->open(t, st);
        ds.loadRecordsFrom(defs, [&](ValueList &row) {
            if (!b.raw->fetch(rs, st))
                return false;
            RawRow r = readRow(st, st.outBuffer.constData());
            row.reserve(4);
            row.emplace_back(int(r.id));
            row.emplace_back(std::move(r.name));
            row.emplace_back(Currency::fromRaw(r.amount));
            row.emplace_back(r.date);
            return true;
        });
        b.raw->free(st);
        b.raw->commit(t);
        if (ds.recordCount() != rows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(ds.recordCount());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

} // namespace

BENCHMARK(BM_SqlInsertRaw)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlInsertLayer)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlReadRaw)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlReadLayer)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlReadRawIntoVector)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlReadRawIntoDataSet)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlReadIntoDataSet)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
