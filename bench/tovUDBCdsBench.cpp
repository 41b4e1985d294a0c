// The declaration-table store on an embedded Firebird archive made by the
// foundation's scripts: a table of 10,000 persons with 80 fields (the row
// number, the registry id, five fields mapped to the person registry, the
// rest texts, integers, amounts and dates, every one filled), stored as
// 750,000 value rows. Each measure beside its floor, in turn, in one run:
//
//   Load              loading the whole table of a month (StoreLoad), and a
//                     bare select of the client library's own API (RawFirebird.h) reading the same value rows, what a
//                     load needs of them (row number, registry id, field name, the four value columns), from a table
//                     that holds just those rows, without index (FloorSelect)
//   SaveOneEdited     saving after editing one field of one record of the
//                     10,000 (StoreSaveOneEdited), and the same in a table of
//                     10 records (StoreSaveOneEditedSmall), with the bytes
//                     each writes
//   SaveNew           saving 10,000 new records into an empty month
//                     (StoreSaveNew: registry rows made, row numbers
//                     reserved, value rows written), and a bare prepared
//                     insert of the client's own API writing the same 750,000 value rows, one
//                     per execution, into a table of the value table's
//                     columns without key or index, in one transaction
//                     (FloorInsert)
//
// Every measure is timed by hand; at the end the program prints the median
// of each and the three ratios of the store to its floor.
//
//     build-rel/bench/bench_tovUDBCdsBench
//     build-rel/bench/bench_tovUDBCdsBench --benchmark_repetitions=2 --benchmark_enable_random_interleaving=true
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include "DataSet.h"
#include "Database.h"
#include "DatabaseCreator.h"
#include "RawFirebird.h"
#include "SqlQuery.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace platform;

namespace {

constexpr int Records = 10000;
constexpr int SmallRecords = 10;
constexpr int Fields = 80;
const QString Table = QStringLiteral("TBEN_DIPENDENTI");
const QString FieldMap = QStringLiteral(
    "saficognome=Cognome;safinome=Nome;saficodfiscale=CFLavoratore;safigruppoana=Matricola+Qualifica2");
// The value table's columns, for the floors' own tables.
const QString ValueColumns = QStringLiteral(
    "(ICDSID INTEGER NOT NULL, ICRFID INTEGER NOT NULL, IAFIID INTEGER, IFISRIGO INTEGER NOT NULL, "
    "SFISFIELDNAME VARCHAR(63) NOT NULL, SFISVALUE VARCHAR(250), IFISVALUE INTEGER, FFISVALUE DOUBLE PRECISION, "
    "DFISVALUE DATE)");
const QString ValueList9 = QStringLiteral(
    "ICDSID, ICRFID, IAFIID, IFISRIGO, SFISFIELDNAME, SFISVALUE, IFISVALUE, FFISVALUE, DFISVALUE");

// Seconds of every timed iteration, by benchmark.
std::map<std::string, std::vector<double>> &timings()
{
    static std::map<std::string, std::vector<double>> t;
    return t;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Runs and times `run`, keeping its seconds under `name`.
template <class F>
double timed(const char *name, F &&run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    timings()[name].push_back(s);
    return s;
}

// The same, as the benchmark's own time of the iteration.
template <class F>
void timed(benchmark::State &state, const char *name, F &&run)
{
    state.SetIterationTime(timed(name, std::forward<F>(run)));
}

// Bytes this process has had written to storage so far (Linux), for the
// pages a save writes.
double writtenBytes()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith("write_bytes:"))
            return line.mid(12).trimmed().toDouble();
    return 0;
}

// Resident memory (Linux): the current size and the peak since the last
// reset, in MB; 0 where /proc is not there.
double residentMB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

// Gives the heap's free memory back to the system, so that the resident
// size counts what is in use.
void returnFreeMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void resetPeakResident()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

FieldDefs benchFields()
{
    FieldDefs defs = {{QStringLiteral("iFisRigo"), FieldType::Integer},
                      {QStringLiteral("iAfiID"), FieldType::Integer},
                      {QStringLiteral("Cognome"), FieldType::String, 40},
                      {QStringLiteral("Nome"), FieldType::String, 40},
                      {QStringLiteral("CFLavoratore"), FieldType::String, 16},
                      {QStringLiteral("Matricola"), FieldType::String, 10},
                      {QStringLiteral("Qualifica2"), FieldType::String, 2}};
    // The rest in turn: text, integer, amount, date.
    for (int i = int(defs.size()); i < Fields; ++i) {
        switch (i % 4) {
        case 0: defs.append({QStringLiteral("Testo%1").arg(i), FieldType::String, 30}); break;
        case 1: defs.append({QStringLiteral("Intero%1").arg(i), FieldType::Integer}); break;
        case 2: defs.append({QStringLiteral("Importo%1").arg(i), FieldType::Currency}); break;
        default: defs.append({QStringLiteral("Data%1").arg(i), FieldType::Date}); break;
        }
    }
    return defs;
}

void fill(DataSet &ds, int records, int seed)
{
    ds.disableControls();
    for (int r = 0; r < records; ++r) {
        const int k = seed * Records + r;
        ds.append();
        ds.field(2)->setValue(QStringLiteral("COGNOME%1").arg(k));
        ds.field(3)->setValue(QStringLiteral("NOME%1").arg(k));
        ds.field(4)->setValue(QStringLiteral("CF%1").arg(k, 14, 10, QLatin1Char('0')));
        ds.field(5)->setValue(QStringLiteral("M%1").arg(k));
        ds.field(6)->setValue(QStringLiteral("Q"));
        for (int i = 7; i < Fields; ++i) {
            Field &f = *ds.field(i);
            switch (f.dataType()) {
            case FieldType::String: f.setValue(QStringLiteral("valore %1 del campo %2").arg(k).arg(i)); break;
            case FieldType::Integer: f.setValue(k % 1000 + i); break;
            case FieldType::Currency: f.setValue(Currency::fromRaw(qint64(k) * 7919 % 100000000 + i)); break;
            default: f.setValue(QDate(2024, 1, 1).addDays((k + i) % 365)); break;
            }
        }
        ds.post();
    }
    ds.enableControls();
}

struct BenchArchive {
    std::unique_ptr<QTemporaryDir> lock;
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    TTovDBCds store;
    int nextMonth = 1; // months used by SaveNew, one per run
    int edits = 0;     // edits of SaveOneEdited, so that every one changes a value
    std::unique_ptr<rawfb::Raw> raw;
    // December's value rows as the engine's messages, for the insert floor,
    // and the layout of those messages.
    std::vector<QByteArray> valueRows;
    Firebird::IMessageMetadata *valueLayout = nullptr;

    BenchArchive()
    {
        if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) {
            lock = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/zep-bench-lock-XXXXXX");
            qputenv("FIREBIRD_LOCK", QFile::encodeName(lock->path()));
        }
        ConnectionSettings s;
        s.database = dir.filePath(QStringLiteral("store.fdb"));
        db = std::make_unique<Database>(s);
        const QString scripts =
            QFileInfo(QStringLiteral(__FILE__)).absoluteDir().filePath(QStringLiteral("../foundation/sql"));
        DatabaseCreator(DatabaseCreator::scriptsFromFolder(scripts, QStringLiteral("foundation"))).createOrUpgrade(*db);

        DataSet empty;
        empty.setFieldDefs(benchFields());
        empty.createDataSet();
        TTovDBCdsLayout layout;
        layout.program = QStringLiteral("zep");
        layout.name = Table;
        layout.fieldMap = FieldMap;
        layout.source = QStringLiteral("bench");
        layout.SetSchema(empty);
        TTovDBCdsLayouts::Install(*db, {layout});

        store.SetConnection(db.get());
        store.SetProgram(QStringLiteral("zep"));
        // The month the loads read: December 2023, filled once; November
        // holds the small table.
        {
            DataSet ds;
            store.LoadPeriod(ds, Table, 2023, 12);
            fill(ds, Records, 0);
            store.SavePeriod(ds, Table, 2023, 12);
            store.LoadPeriod(ds, Table, 2023, 11);
            fill(ds, SmallRecords, 99);
            store.SavePeriod(ds, Table, 2023, 11);
        }

        // The floors' tables: December's value rows, once for reading and
        // in memory for the inserts.
        db->execute(QStringLiteral("CREATE TABLE TBEN_LETTURA ") + ValueColumns);
        db->execute(QStringLiteral("CREATE TABLE TBEN_SCRITTURA ") + ValueColumns);
        const QString december = QStringLiteral(
            "FROM TFIS_DATIFISCALI fis JOIN TCRF_CROFISCALE crf ON crf.ICRFID = fis.ICRFID "
            "WHERE crf.ICRFANNO = 2023 AND crf.ICRFMESE = 12");
        db->execute(QStringLiteral("INSERT INTO TBEN_LETTURA SELECT fis.")
                    + QString(ValueList9).replace(QStringLiteral(", "), QStringLiteral(", fis.")) + QLatin1Char(' ')
                    + december);
        raw = std::make_unique<rawfb::Raw>(s.database);
        Firebird::ITransaction *t = raw->start();
        rawfb::Raw::Statement st =
            raw->prepare(t, QStringLiteral("SELECT fis.")
                                + QString(ValueList9).replace(QStringLiteral(", "), QStringLiteral(", fis."))
                                + QLatin1Char(' ') + december + QStringLiteral(" ORDER BY fis.IFISRIGO"));
        raw->select(t, st, [&](const char *row) { valueRows.emplace_back(row, st.outBuffer.size()); });
        valueLayout = st.out;
        valueLayout->addRef();
        raw->free(st);
        raw->commit(t);
    }

    int count(const QString &sql)
    {
        SqlQuery q(*db);
        q.setSql(sql);
        q.open();
        return q.value(0).toInt();
    }
};

BenchArchive &archive()
{
    static int argc = 1;
    static char name[] = "bench";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static BenchArchive a;
    return a;
}

// Each benchmark measures the store and its floor in turn, one of each per
// iteration (which goes first alternates), so that both meet the same load
// of the machine; the benchmark's own time is the store's.

void BM_Load(benchmark::State &state)
{
    BenchArchive &a = archive();
    DataSet ds;
    // The memory of a load, once: what stays with the loaded table and the
    // peak while loading, above the process without it (the records held
    // once: the peak is little above the table).
    returnFreeMemory();
    const double before = residentMB("VmRSS:");
    resetPeakResident();
    a.store.LoadPeriod(ds, Table, 2023, 12);
    const double peak = residentMB("VmHWM:") - before;
    returnFreeMemory();
    const double table = residentMB("VmRSS:") - before;
    qint64 rows = 0;
    const auto floor = [&] {
        Firebird::ITransaction *t = a.raw->start();
        rawfb::Raw::Statement st =
            a.raw->prepare(t, QStringLiteral("SELECT IFISRIGO, IAFIID, SFISFIELDNAME, SFISVALUE, IFISVALUE, FFISVALUE, "
                                             "DFISVALUE FROM TBEN_LETTURA"));
        rows = a.raw->select(t, st, [](const char *row) { benchmark::DoNotOptimize(row); });
        a.raw->free(st);
        a.raw->commit(t);
    };
    int n = 0;
    for (auto _ : state) {
        if (n++ % 2)
            timed("FloorSelect", floor);
        timed(state, "StoreLoad", [&] { a.store.LoadPeriod(ds, Table, 2023, 12); });
        if (n % 2)
            timed("FloorSelect", floor);
        if (ds.recordCount() != Records || rows != ds.recordCount() * (Fields - 5))
            state.SkipWithError("wrong record or row count");
    }
    state.counters["table_MB"] = table;
    state.counters["peak_MB"] = peak;
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(6)->UseManualTime();

void BM_SaveOneEdited(benchmark::State &state)
{
    BenchArchive &a = archive();
    // The 10,000 records of December and the 10 of November.
    DataSet large, small;
    a.store.LoadPeriod(large, Table, 2023, 12);
    a.store.LoadPeriod(small, Table, 2023, 11);
    const int rowsBefore = a.count(QStringLiteral("SELECT COUNT(*) FROM TFIS_DATIFISCALI"));
    const auto editAndSave = [&](DataSet &ds, int month, const char *name) {
        const int edit = a.edits++;
        ds.setRecNo(1 + (edit * 997) % ds.recordCount());
        ds.edit();
        ds.fieldByName(QStringLiteral("Intero9")).setValue(100000 + edit);
        ds.post();
        if (ds.changeCount() != 1)
            state.SkipWithError("the edit changed nothing");
        const double written = writtenBytes();
        const double s = timed(name, [&] { a.store.SavePeriod(ds, Table, 2023, month); });
        timings()[std::string(name) + "_kB"].push_back((writtenBytes() - written) / 1024);
        return s;
    };
    int n = 0;
    for (auto _ : state) {
        if (n++ % 2)
            editAndSave(small, 11, "StoreSaveOneEditedSmall");
        state.SetIterationTime(editAndSave(large, 12, "StoreSaveOneEdited"));
        if (n % 2)
            editAndSave(small, 11, "StoreSaveOneEditedSmall");
    }
    state.counters["written_kB"] = median(timings()["StoreSaveOneEdited_kB"]);
    state.counters["written_kB_small"] = median(timings()["StoreSaveOneEditedSmall_kB"]);
    if (a.count(QStringLiteral("SELECT COUNT(*) FROM TFIS_DATIFISCALI")) != rowsBefore)
        state.SkipWithError("the saves changed the number of value rows");
}
BENCHMARK(BM_SaveOneEdited)->Unit(benchmark::kMillisecond)->Iterations(60)->UseManualTime();

void BM_SaveNew(benchmark::State &state)
{
    BenchArchive &a = archive();
    const auto floor = [&] {
        Firebird::ITransaction *t = a.raw->start();
        rawfb::Raw::Statement st = a.raw->prepare(t, QStringLiteral("INSERT INTO TBEN_SCRITTURA (") + ValueList9
                                                         + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const QByteArray &row : a.valueRows)
            a.raw->execute(t, st, a.valueLayout, row.constData());
        a.raw->free(st);
        a.raw->commit(t);
    };
    int n = 0;
    for (auto _ : state) {
        if (n++ % 2)
            timed("FloorInsert", floor);
        const int month = a.nextMonth++;
        DataSet ds;
        a.store.LoadPeriod(ds, Table, 2024, month);
        fill(ds, Records, month);
        timed(state, "StoreSaveNew", [&] { a.store.SavePeriod(ds, Table, 2024, month); });
        if (n % 2)
            timed("FloorInsert", floor);
    }
}
BENCHMARK(BM_SaveNew)->Unit(benchmark::kMillisecond)->Iterations(4)->UseManualTime();

void printRatios()
{
    std::printf("\nMedians of every timed iteration of this run:\n");
    for (const auto &[name, values] : timings()) {
        if (name.ends_with("_kB"))
            std::printf("  %-28s %10.1f kB written\n", name.c_str(), median(values));
        else
            std::printf("  %-28s %10.2f ms  (%zu times)\n", name.c_str(), median(values) * 1000, values.size());
    }
    // The ratio of the medians, and the median of the ratios of the pairs
    // measured one after the other.
    const auto ratio = [](const char *what, const char *store, const char *floor, double target) {
        const auto s = timings().find(store), f = timings().find(floor);
        if (s == timings().end() || f == timings().end())
            return;
        const double r = median(s->second) / median(f->second);
        std::vector<double> pairs;
        for (size_t i = 0; i < s->second.size() && i < f->second.size(); ++i)
            pairs.push_back(s->second[i] / f->second[i]);
        std::printf("  %-32s %5.2fx  (pairs: %5.2fx)  target %.1fx: %s\n", what, r, median(pairs), target,
                    r <= target ? "met" : "NOT MET");
    };
    std::printf("Ratios to the floors:\n");
    ratio("load / raw select", "StoreLoad", "FloorSelect", 1.5);
    ratio("save new / raw insert", "StoreSaveNew", "FloorInsert", 1.5);
    ratio("save one: 10,000 / 10 records", "StoreSaveOneEdited", "StoreSaveOneEditedSmall", 1.5);
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    printRatios();
    benchmark::Shutdown();
    return 0;
}
