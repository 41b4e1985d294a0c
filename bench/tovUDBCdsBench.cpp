// The declaration-table store on an embedded Firebird archive made by the
// foundation's scripts: a table of 10,000 persons with 80 fields (the row
// number, the registry id, five fields mapped to the person registry, the
// rest texts, integers, amounts and dates, every one filled), stored as about
// 750,000 value rows.
//
//   Load            loading the whole table of a month
//   SaveOneEdited   saving after editing one field of one record of it (the
//                   record's value rows are deleted and written again, its
//                   registry row updated; nothing else is touched)
//   SaveNew         saving 10,000 new records into an empty month (registry
//                   rows made, row numbers reserved, value rows written)
//
//     build-*/bench/bench_tovUDBCdsBench --benchmark_filter=Store
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include "DataSet.h"
#include "Database.h"
#include "DatabaseCreator.h"
#include "SqlQuery.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

using namespace platform;

namespace {

constexpr int Records = 10000;
constexpr int Fields = 80;
const QString Table = QStringLiteral("TBEN_DIPENDENTI");
const QString FieldMap = QStringLiteral(
    "saficognome=Cognome;safinome=Nome;saficodfiscale=CFLavoratore;safigruppoana=Matricola+Qualifica2");

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
        // The month the loads read: December 2023, filled once.
        DataSet ds;
        store.LoadPeriod(ds, Table, 2023, 12);
        fill(ds, Records, 0);
        store.SavePeriod(ds, Table, 2023, 12);
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

void BM_StoreLoad(benchmark::State &state)
{
    BenchArchive &a = archive();
    DataSet ds;
    for (auto _ : state) {
        a.store.LoadPeriod(ds, Table, 2023, 12);
        if (ds.recordCount() != Records)
            state.SkipWithError("wrong record count");
    }
    state.counters["records"] = ds.recordCount();
    state.counters["value_rows"] = a.count(QStringLiteral("SELECT COUNT(*) FROM TFIS_DATIFISCALI fis "
                                                          "JOIN TCRF_CROFISCALE crf ON crf.ICRFID = fis.ICRFID "
                                                          "WHERE crf.ICRFANNO = 2023 AND crf.ICRFMESE = 12"));
}
BENCHMARK(BM_StoreLoad)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_StoreSaveOneEdited(benchmark::State &state)
{
    BenchArchive &a = archive();
    DataSet ds;
    a.store.LoadPeriod(ds, Table, 2023, 12);
    const int rowsBefore = a.count(QStringLiteral("SELECT COUNT(*) FROM TFIS_DATIFISCALI"));
    int n = 0;
    for (auto _ : state) {
        ds.setRecNo(1 + (n * 997) % Records);
        ds.edit();
        ds.fieldByName(QStringLiteral("Intero9")).setValue(100000 + n++);
        ds.post();
        a.store.SavePeriod(ds, Table, 2023, 12);
    }
    if (a.count(QStringLiteral("SELECT COUNT(*) FROM TFIS_DATIFISCALI")) != rowsBefore)
        state.SkipWithError("the save changed the number of value rows");
}
BENCHMARK(BM_StoreSaveOneEdited)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_StoreSaveNew(benchmark::State &state)
{
    BenchArchive &a = archive();
    for (auto _ : state) {
        state.PauseTiming();
        const int month = a.nextMonth++;
        DataSet ds;
        a.store.LoadPeriod(ds, Table, 2024, month);
        fill(ds, Records, month);
        state.ResumeTiming();
        a.store.SavePeriod(ds, Table, 2024, month);
    }
}
BENCHMARK(BM_StoreSaveNew)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
