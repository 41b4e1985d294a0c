// The SQL layer's overhead over the Qt driver: inserting and reading back
// rows of a four-column table (integer key, text, NUMERIC(18,4) amount,
// date) on an embedded Firebird database, once through platform::SqlQuery
// (named parameters, Value conversions, Currency) and once straight through
// QSqlQuery with positional parameters. Each insert run fills a new table
// inside one transaction; the reads scan a table filled once.
//
//     build-*/bench/bench_SqlLayerBench --benchmark_filter=Sql
#include "DataSet.h"
#include "Database.h"
#include "DatabaseCreator.h"
#include "SqlQuery.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QSqlQuery>
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

void insertWithDriver(Database &db, const QString &table, int rows)
{
    QSqlDatabase qdb = db.qtDatabase();
    qdb.transaction();
    QSqlQuery q(qdb);
    if (!q.prepare("INSERT INTO " + table + " (ID, SNOME, FIMPORTO, DDATA) VALUES (?, ?, ?, ?)"))
        throw std::runtime_error("prepare failed");
    for (int i = 0; i < rows; ++i) {
        q.bindValue(0, i);
        q.bindValue(1, nameOf(i));
        q.bindValue(2, amountOf(i).toDouble());
        q.bindValue(3, dateOf(i));
        if (!q.exec())
            throw std::runtime_error("insert failed");
    }
    qdb.commit();
}

const QString &filledTable(int rows)
{
    BenchDatabase &b = bench();
    if (!b.filled.contains(rows)) {
        const QString table = b.newTable();
        insertWithDriver(*b.db, table, rows);
        b.filled.insert(rows, table);
    }
    return b.filled[rows];
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

void BM_SqlInsertDriver(benchmark::State &state)
{
    BenchDatabase &b = bench();
    const int rows = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        const QString table = b.newTable();
        state.ResumeTiming();
        insertWithDriver(*b.db, table, rows);
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
        q.setSql("SELECT ID, SNOME, FIMPORTO, DDATA FROM " + table);
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
        ds.setCommandText("SELECT ID, SNOME, FIMPORTO, DDATA FROM " + table);
        SqlQuery::openDataSet(*b.db, ds);
        if (ds.recordCount() != rows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(ds.recordCount());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_SqlReadDriver(benchmark::State &state)
{
    BenchDatabase &b = bench();
    const int rows = int(state.range(0));
    const QString table = filledTable(rows);
    for (auto _ : state) {
        QSqlQuery q(b.db->qtDatabase());
        q.setForwardOnly(true);
        q.exec("SELECT ID, SNOME, FIMPORTO, DDATA FROM " + table);
        qint64 sum = 0;
        int n = 0;
        while (q.next()) {
            ++n;
            sum += q.value(0).toInt();
            benchmark::DoNotOptimize(q.value(1).toString());
            sum += qint64(q.value(2).toDouble() * 10000.0 + 0.5);
            benchmark::DoNotOptimize(q.value(3).toDate());
        }
        if (n != rows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

} // namespace

BENCHMARK(BM_SqlInsertDriver)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlInsertLayer)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlReadDriver)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlReadLayer)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlReadIntoDataSet)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
