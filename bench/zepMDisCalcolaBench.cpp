// The day codes of a month as the employee import computes them, for every
// employee of a demo archive of February 2024 (10 and 1,000 persons): one
// calendar module per person, its pay periods opened by id, its part-time
// rows, the month's codes.
//
//   DayCodes   TdmZePDisCalcola per person (what the import runs)
//   Floor      the same six statements per person with bare queries, rows
//              read and dropped, the period ids bound as parameters as the
//              module binds them: what the database costs without the
//              module's work
//
//     build/bench/bench_zepMDisCalcolaBench
#include "zepMDisCalcola.h"

#include "archive/ArchiveScripts.h"
#include "DemoArchive.h"

#include "DataSet.h"
#include "Database.h"
#include "DatabaseCreator.h"
#include "SqlQuery.h"
#include "ZepUUtil.h"
#include "tovCQueryText.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <map>
#include <memory>

using namespace platform;

namespace {

struct Candidate {
    int acom, anaCag;
    QString periods;
};

struct BenchArchive {
    std::unique_ptr<QTemporaryDir> lock;
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    QList<Candidate> candidates;

    explicit BenchArchive(int persons)
    {
        if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) {
            lock = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/zep-bench-lock-XXXXXX");
            qputenv("FIREBIRD_LOCK", QFile::encodeName(lock->path()));
        }
        ConnectionSettings s;
        s.database = dir.filePath(QStringLiteral("archive.fdb"));
        DatabaseCreator::createDatabaseFile(s);
        DatabaseCreator::setForcedWrites(s, false);
        db = std::make_unique<Database>(s);
        db->open();
        DatabaseCreator(payroll::ArchiveScripts::all()).upgrade(*db);
        payroll::DemoArchiveOptions o;
        o.persons = persons;
        o.fromYear = o.toYear = 2024;
        o.fromMonth = o.toMonth = 2;
        payroll::DemoArchive::fill(*db, o);
        SqlQuery q(*db);
        q.setSql("SELECT REGS.IACOMID, ANAPER.IANACAGID, LIST(VAPE.IVAPEID) FROM TVAPE_PERIODI VAPE "
                 "JOIN TREGS_REGISTROSTIP REGS ON REGS.IREGSID = VAPE.IREGSID "
                 "JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = REGS.IACOMID "
                 "JOIN TANAPER_POSIZIONI ANAPER ON ANAPER.IANAPERID = ACOM.IANAPERID "
                 "WHERE REGS.IMESID = 2 GROUP BY 1, 2 ORDER BY 1");
        for (q.open(); !q.eof(); q.next())
            candidates.append({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString()});
    }
};

BenchArchive &archive(int persons)
{
    static int argc = 1;
    static char name[] = "bench";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static std::map<int, std::unique_ptr<BenchArchive>> archives;
    auto &a = archives[persons];
    if (!a) {
        a = std::make_unique<BenchArchive>(persons);
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
    }
    Database::setGlobal(a->db.get());
    SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("02"));
    return *a;
}

void BM_DayCodes(benchmark::State &state)
{
    BenchArchive &a = archive(int(state.range(0)));
    const QDate first(2024, 2, 1), last(2024, 2, 29);
    for (auto _ : state) {
        for (const Candidate &c : a.candidates) {
            DataSet row;
            row.setFieldDefs({{"IACOMID", FieldType::Integer}, {"IANACAGID", FieldType::Integer}});
            row.createDataSet();
            row.appendRecord({Value(c.acom), Value(c.anaCag)});
            TdmZePDisCalcola calendar;
            calendar.SetAnno(2024);
            calendar.ImpostaDataSet(&row, nullptr, nullptr);
            calendar.SetPeriodi(c.periods);
            calendar.ApriPeriodi();
            calendar.ApriPTVerticale(c.anaCag, last, first);
            const QString codes = calendar.CalcolaGiorni();
            if (codes.size() != 29)
                state.SkipWithError("wrong length");
            benchmark::DoNotOptimize(calendar.TipoPartTime());
        }
    }
    state.counters["persons"] = double(a.candidates.size());
}

void BM_DayCodesFloor(benchmark::State &state)
{
    BenchArchive &a = archive(int(state.range(0)));
    const QDate jan1(2024, 1, 1), dec31(2024, 12, 31), first(2024, 2, 1), last(2024, 2, 29);
    auto drain = [&](const QString &name, const QString &kind, const QString &suffix,
                     const QList<std::pair<QString, Value>> &params) {
        SqlQuery q(*a.db);
        q.setSql(TovQueryText().GetSQL(name, kind) + suffix);
        for (const auto &[p, v] : params)
            q.bind(p, v);
        int rows = 0;
        for (q.open(); !q.eof(); q.next())
            ++rows;
        benchmark::DoNotOptimize(rows);
    };
    for (auto _ : state) {
        for (const Candidate &c : a.candidates) {
            // The period ids bound as the module binds them: their number
            // filled up to a power of two with the last id.
            const QStringList ids = c.periods.split(QLatin1Char(','));
            qsizetype places = 1;
            while (places < ids.size())
                places *= 2;
            QStringList placeholders;
            QList<std::pair<QString, Value>> params{{"IACOMID", c.acom}, {"COMPRESE_OE", 0}};
            for (qsizetype i = 0; i < places; ++i) {
                placeholders << ":IVAPEID_" + QString::number(i + 1);
                params.append({"IVAPEID_" + QString::number(i + 1),
                               Value(ids.at(qMin(i, ids.size() - 1)).trimmed().toLongLong())});
            }
            drain("QRY_DIS_PERIODI", "EXECUTE", " AND VAPE.IVAPEID IN (" + placeholders.join(", ") + ")", params);
            drain("QRY_DIS_PERIODI_ASS", "SELECT", {}, {{"IACOMID", c.acom}, {"TACO_SCIOP_HH", 7}});
            drain("QRY_EMENS_PT_VERT", "SELECT", {}, {{"IANACAGID", c.anaCag}, {"DINIZIO", first}, {"DFINE", last}});
            drain("QRY_DIS_FESTE", "EXECUTE", {}, {{"DINIZIO", jan1}, {"DFINE", dec31}, {"TIPO", 2}});
            drain("QRY_DIS_ASS_PER", "SELECT", {}, {{"IANACAGID", c.anaCag}, {"DINIZIO", jan1}, {"DFINE", dec31}});
            drain("QRY_DIS_FERIE", "SELECT", {}, {{"IANACAGID", c.anaCag}, {"DINIZIO", jan1}, {"DFINE", dec31}});
        }
    }
    state.counters["persons"] = double(a.candidates.size());
}

} // namespace

BENCHMARK(BM_DayCodes)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_DayCodesFloor)
    ->Arg(10)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
