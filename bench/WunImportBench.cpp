// What the per-person import loop adds to each person: the savepoint of an
// in-memory declaration table taken before the person (put back only when
// the person fails), for tables of 10, 1,000 and 10,000 rows of 80 fields;
// beside it the whole copy of the table the loop took before. The floor is
// the least any copy of the rows costs: one shared (reference-counted)
// value list per row copied into a vector, nothing else. The put-back, paid
// only by a failed person, runs into a table indexed as the employee window
// indexes it.
//
//     build/bench/bench_WunImportBench
#include "DataSet.h"

#include <benchmark/benchmark.h>

#include <QDate>

#include <map>
#include <vector>
#include <memory>

using namespace platform;

namespace {

constexpr int Fields = 80;

std::unique_ptr<DataSet> table(int rows)
{
    auto ds = std::make_unique<DataSet>(QStringLiteral("TEMD_DIPENDENTI"));
    FieldDefs defs;
    defs.append({QStringLiteral("iFisRigo"), FieldType::Integer});
    defs.append({QStringLiteral("CFLavoratore"), FieldType::String, 16});
    for (int f = 2; f < Fields; ++f) {
        const FieldType t = f % 3 == 0 ? FieldType::Currency : (f % 3 == 1 ? FieldType::String : FieldType::Integer);
        defs.append({QStringLiteral("Campo%1").arg(f), t, t == FieldType::String ? 40 : 0});
    }
    ds->setFieldDefs(defs);
    ds->createDataSet();
    ds->disableControls();
    for (int r = 0; r < rows; ++r) {
        ValueList row{r + 1, QStringLiteral("RSSMRA80A01H%1").arg(r, 4, 10, QLatin1Char('0'))};
        for (int f = 2; f < Fields; ++f)
            row << (f % 3 == 0   ? Value(Currency::fromRaw(qint64(r) * 1234 + f))
                    : f % 3 == 1 ? Value(QStringLiteral("Testo %1").arg(r))
                                 : Value(r + f));
        ds->appendRecord(row);
    }
    ds->mergeChangeLog();
    ds->enableControls();
    return ds;
}

DataSet &cached(int rows)
{
    static std::map<int, std::unique_ptr<DataSet>> tables;
    auto &t = tables[rows];
    if (!t)
        t = table(rows);
    return *t;
}

void BM_SavepointPerPersona(benchmark::State &state)
{
    DataSet &ds = cached(int(state.range(0)));
    for (auto _ : state) {
        DataSet::Savepoint sp = ds.savepoint();
        benchmark::DoNotOptimize(&sp);
    }
}

void BM_CopiaPerPersona(benchmark::State &state)
{
    DataSet &ds = cached(int(state.range(0)));
    for (auto _ : state) {
        DataSet copia;
        copia.assignData(ds);
        benchmark::DoNotOptimize(copia.recordCount());
    }
}

void BM_CopiaPerPersona_Pavimento(benchmark::State &state)
{
    const QList<ValueList> tutte = cached(int(state.range(0))).records();
    const std::vector<ValueList> righe(tutte.cbegin(), tutte.cend());
    for (auto _ : state) {
        std::vector<ValueList> copia = righe;
        benchmark::DoNotOptimize(copia.data());
    }
}

void BM_RipristinoDopoErrore(benchmark::State &state)
{
    DataSet &ds = cached(int(state.range(0)));
    DataSet tabella;
    tabella.assignData(ds);
    tabella.setIndexFieldNames(QStringLiteral("CFLavoratore"));
    const DataSet::Savepoint sp = tabella.savepoint();
    for (auto _ : state) {
        tabella.restore(sp);
        benchmark::DoNotOptimize(tabella.recordCount());
    }
}

} // namespace

BENCHMARK(BM_SavepointPerPersona)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopiaPerPersona)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopiaPerPersona_Pavimento)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RipristinoDopoErrore)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
