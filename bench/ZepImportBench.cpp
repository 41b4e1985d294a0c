// The private-sector import of a month (TZepImpMultiSelect: every candidate
// of March 2024 of the demo archive, each in a transaction of its own, its
// employee rows written into TEMD_DIPENDENTI by the declaration-table
// store) for 100 and 1,000 demo persons, with the archive's forced writes
// (every commit waits for the disk) and without them (the work of the
// program and of the embedded engine alone). The archives hold twelve
// months of payroll, April 2023 to March 2024, as an office's archive
// does. Each repetition works on a fresh copy of the archive as made.
//
// The floor is what the engine does for the same import: every call the
// import made of the engine (transactions, preparations, executions with
// their parameters, fetches, commits), recorded once on a copy of the
// archive and replayed straight through the client library on a fresh copy
// (RawReplay.h).
//
// BM_ImportaMese measures the import in this process, after a first import
// has filled the program's own caches; BM_ImportaMese_NuovoProcesso starts
// this program again for each repetition (--processo), which runs the import
// as the first of its process without a recording (only counted), then
// records the same import on another fresh copy and replays the recording
// on a third, so that the import of a fresh process is measured beside the
// floor of its own calls.
//
// The public-sector import of the same month ("Importa (ex Dma)",
// TZepDmaImpMultiSelect: every candidate of legal position 1, "Sovrascrivi
// sempre", its D0 row and the E0 rows of its pay periods written into
// TD0_ANAG and TE0_RETR) is measured beside it, for 100 and 1,000
// candidates: on demo archives whose persons drawn by kind are all
// public-sector permanent staff (DemoArchiveOptions::publicSector), with its
// floor made the same way, in this process (BM_ImportaMeseExDma) and as the
// first import of a fresh one (BM_ImportaMeseExDma_NuovoProcesso,
// --processo-pubblico).
//
// The counter "per_persona" is the wall time of one person (the CPU column
// is the process's, the embedded engine included); "esecuzioni", "letture"
// and "conferme" are the executions, fetches and commits a person,
// "preparazioni" the statements prepared in the whole measured part. Those
// of a fresh process: "cpu_persona" its CPU time a person, "pavimento" and
// "pavimento_cpu" the floor's wall and CPU time a person, "rapporto" the
// import's wall time over the floor's.
//
//     build/bench/bench_ZepImportBench --benchmark_report_aggregates_only=true
#include "ZePCImpDmaMultiSelect.h"
#include "ZepCImpMultiSelect.h"
#include "zepCDmaImporta.h"
#include "ZepULayouts.h"
#include "ZepUUtil.h"
#include "DemoArchive.h"
#include "WunUUtil.h"
#include "wunMParams.h"
#include "wunUCalcoliAnno.h"

#include "Database.h"
#include "DatabaseCreator.h"
#include "DataSet.h"
#include "UqTransaction.h"
#include "tovCQueryText.h"
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include "ConteggioImport.h"
#include "RawReplay.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <stdexcept>
#include <tuple>

using namespace platform;
using bench::Conteggio;

namespace {

// The time of this process and of its CPU, in seconds.
struct Tempo {
    double parete = 0, cpu = 0;
    static Tempo ora()
    {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return {std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(),
                double(t.tv_sec) + double(t.tv_nsec) / 1e9};
    }
    Tempo operator-(const Tempo &prima) const { return {parete - prima.parete, cpu - prima.cpu}; }
};

// A demo archive of twelve months, made once per size, with the layouts
// and the catalogue; the working period March 2024. Every run works on a
// fresh copy of the archive as made, so that the import and its floor
// start from the same database each time.
struct Archivio {
    // The persons of a public-sector archive that are not candidates of the
    // public-sector import (the demo's fixed persons of other kinds).
    static constexpr int NonCandidatiPubblici = 17;

    QTemporaryDir cartella;
    bool pubblico = false;
    ConnectionSettings originale, lavoro;
    std::unique_ptr<Database> db;
    std::unique_ptr<TdmWunParams> params;
    // What the import asked of the engine, recorded on a copy of its own
    // after a first import has filled the program's own caches; the floor
    // replays it.
    rawfb::Recording registrazione;
    size_t inizioMisura = 0, fineMisura = 0;
    int candidati = 0;
    // The measured part of the last import, and when given what it asked
    // of the engine, counted as it happens (never with a recording).
    Tempo durata;
    bench::Tally *conta = nullptr;

    // `persone` persons, or for the public-sector import (`pubblico`) so
    // many candidates.
    Archivio(int persone, bool scrittureForzate, bool perPubblico) : pubblico(perPubblico)
    {
        payroll::DemoArchiveOptions o;
        o.output = cartella.filePath(QStringLiteral("demo.fdb"));
        o.persons = pubblico ? persone + NonCandidatiPubblici : persone;
        o.publicSector = pubblico;
        o.fromYear = 2023;
        o.fromMonth = 4;
        o.toYear = 2024;
        o.toMonth = 3;
        payroll::DemoArchive::create(o);
        originale.database = o.output;
        lavoro.database = cartella.filePath(QStringLiteral("lavoro.fdb"));
        DatabaseCreator::setForcedWrites(originale, scrittureForzate);
        db = std::make_unique<Database>(originale);
        db->open();
        TTovDBCdsLayouts::InstallFolders(*db, {CartellaLayoutDenunce()});
        PreparaProgramma();

        Riapri();
        Importa();
        Riapri();
        Registra();
        if (pubblico && candidati != persone)
            throw std::runtime_error("the public-sector archive does not hold the candidates asked for");
    }
    // A copy of an archive made before (a demo archive of the same months,
    // a public-sector one for `perPubblico`), for an import in a fresh
    // process: the layouts installed as the program installs them, the
    // program prepared, nothing imported.
    explicit Archivio(const QString &fatto, bool perPubblico = false) : pubblico(perPubblico)
    {
        originale.database = cartella.filePath(QStringLiteral("demo.fdb"));
        lavoro.database = cartella.filePath(QStringLiteral("lavoro.fdb"));
        if (!QFile::copy(fatto, originale.database))
            throw std::runtime_error("the archive cannot be copied");
        db = std::make_unique<Database>(originale);
        db->open();
        TTovDBCdsLayouts::InstallFolders(*db, {CartellaLayoutDenunce()});
        PreparaProgramma();
    }

    // What the program holds before an import: the catalogue, the working
    // period, its year's rules and the company parameters; closed after.
    void PreparaProgramma()
    {
        Database::setGlobal(db.get());
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("03"));
        wunAnnoFinanziario().LoadYear(QStringLiteral("2024"));
        TWunCalcolaAnno::CreaPerAnno(2024);
        params = std::make_unique<TdmWunParams>();
        params->xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);
        db->close();
    }
    // One import on the open copy, recorded.
    void Registra()
    {
        registrazione.start();
        try {
            candidati = Importa(true);
        } catch (...) {
            registrazione.stop();
            throw;
        }
        registrazione.stop();
    }
    // The recording's measured part replayed on a fresh copy; its time.
    Tempo Replica()
    {
        Copia();
        rawfb::Raw raw(lavoro.database);
        rawfb::Replay replay(raw, registrazione);
        replay.run(0, inizioMisura);
        const Tempo inizio = Tempo::ora();
        replay.run(inizioMisura, fineMisura);
        const Tempo misura = Tempo::ora() - inizio;
        replay.run(fineMisura, registrazione.events.size());
        return misura;
    }

    // The working copy made anew from the archive as made, closed.
    void Copia()
    {
        db->close();
        QFile::remove(lavoro.database);
        if (!QFile::copy(originale.database, lavoro.database))
            throw std::runtime_error("the archive cannot be copied");
    }
    // The connection on a new working copy.
    void Riapri()
    {
        Copia();
        db->setSettings(lavoro);
        db->open();
    }

    // The store of the working period (year 3000, March).
    std::unique_ptr<TTovDBCds> NuovoStore()
    {
        auto store = std::make_unique<TTovDBCds>();
        store->SetConnection(db.get());
        store->SetProgram(QStringLiteral("zep"));
        store->SetYear(3000);
        store->SetMonth(3);
        return store;
    }

    // One import of the month on the open copy (the private-sector one, or
    // the public-sector one on a public-sector archive), the part a
    // benchmark measures (the candidates' choice and the loop) timed on
    // `state` when given, and its bounds in the recording noted when
    // `registra`. Returns the candidates; a failure raises.
    int Importa(bool registra = false, benchmark::State *state = nullptr);
    int ImportaPrivato(bool registra, benchmark::State *state);
    int ImportaPubblico(bool registra, benchmark::State *state);
};

using Chiave = std::tuple<int, bool, bool>;
std::map<Chiave, std::unique_ptr<Archivio>> &archivi()
{
    static std::map<Chiave, std::unique_ptr<Archivio>> aperti;
    return aperti;
}

// The archive of a run's arguments: persons (candidates of a public-sector
// archive), and forced writes (1, the archive's own setting) or not (0: the
// engine's work without the disk's wait at every commit).
Archivio &archivio(const benchmark::State &state, bool pubblico = false)
{
    const Chiave chiave{int(state.range(0)), state.range(1) != 0, pubblico};
    // The firebird driver and the program folders want an application.
    static int argc = 1;
    static char nome[] = "bench";
    static char *argv[] = {nome, nullptr};
    static QCoreApplication app(argc, argv);
    if (!archivi().count(chiave)) {
        archivi().clear(); // one archive open at a time
        archivi()[chiave] = std::make_unique<Archivio>(std::get<0>(chiave), std::get<1>(chiave), pubblico);
        // Closed at exit before the SQL module's own statics, made with the
        // first connection, go.
        static const int chiusura = std::atexit([] { archivi().clear(); });
        Q_UNUSED(chiusura);
    }
    return *archivi()[chiave];
}

DataSet &parametri()
{
    static DataSet p;
    if (!p.isActive()) {
        p.setFieldDefs({{"IMESID", FieldType::Integer},
                        {"SOSTITUTO", FieldType::Boolean},
                        {"GIORNIINPS", FieldType::Boolean},
                        {"MatricolaINPS", FieldType::String, 10},
                        {"MatricolaINPSAcc", FieldType::String, 10},
                        {"ComuneLavoro", FieldType::String, 4},
                        {"PT_COME_INTERO", FieldType::Boolean},
                        {"TipoContribuzione", FieldType::String, 31}});
        p.createDataSet();
        p.appendRecord({3, false, false, "1234567890", "1234567891", "A944", false, "00"});
    }
    return p;
}

int Archivio::Importa(bool registra, benchmark::State *state)
{
    return pubblico ? ImportaPubblico(registra, state) : ImportaPrivato(registra, state);
}

int Archivio::ImportaPrivato(bool registra, benchmark::State *state)
{
    auto store = NuovoStore();
    Conteggio conteggio;
    TZepImpMultiSelect imp(*store, db.get());
    imp.SetNotifica(&conteggio);
    imp.Imposta(&parametri(), nullptr, {});
    if (registra)
        inizioMisura = registrazione.mark();
    if (state)
        state->ResumeTiming();
    if (conta)
        SqlTrace::setCurrent(conta);
    const Tempo inizio = Tempo::ora();
    imp.Prepara();
    const TwunFiscImpMultiSelect::Esito esito = imp.Importa();
    durata = Tempo::ora() - inizio;
    if (conta)
        SqlTrace::setCurrent(nullptr);
    if (state)
        state->PauseTiming();
    if (registra)
        fineMisura = registrazione.mark();
    if (state)
        state->counters["righe"] = imp.cdsImport.recordCount();
    if (conteggio.errori != 0 || esito.falliti != conteggio.madri)
        throw std::runtime_error(conteggio.primo.toStdString());
    return esito.totale;
}

DataSet &parametriDma()
{
    static DataSet p;
    if (!p.isActive()) {
        p.setFieldDefs(TZepDmaImporta::CampiParametri());
        p.createDataSet();
        p.append();
        for (const auto &[campo, valore] : {std::pair{"IMESID", Value(3)}, std::pair{"SOSTITUTO", Value(false)},
                                            std::pair{"ImportaSuV1", Value(false)}, std::pair{"CAUSVAR", Value(5)},
                                            std::pair{"ANNO_DENUNCIA", Value(2024)},
                                            std::pair{"ANNO_COMPENSI", Value(2024)}, std::pair{"ITNOID", Value(1)}})
            p.setFieldValue(QLatin1String(campo), valore);
        p.post();
    }
    return p;
}

int Archivio::ImportaPubblico(bool registra, benchmark::State *state)
{
    auto store = NuovoStore();
    Conteggio conteggio;
    TZepDmaImpMultiSelect imp(*store, db.get());
    imp.SetNotifica(&conteggio);
    imp.Imposta(&parametriDma(), nullptr, {});
    imp.Modo = TZepDmaImpMultiSelect::SovrascriviSempre;
    if (registra)
        inizioMisura = registrazione.mark();
    if (state)
        state->ResumeTiming();
    if (conta)
        SqlTrace::setCurrent(conta);
    const Tempo inizio = Tempo::ora();
    imp.Prepara();
    const TwunFiscImpMultiSelect::Esito esito = imp.Importa();
    durata = Tempo::ora() - inizio;
    if (conta)
        SqlTrace::setCurrent(nullptr);
    if (state)
        state->PauseTiming();
    if (registra)
        fineMisura = registrazione.mark();
    if (state)
        state->counters["righe"] = imp.cdsImport.recordCount();
    if (conteggio.errori != 0 || esito.falliti != 0)
        throw std::runtime_error(conteggio.primo.toStdString());
    return esito.totale;
}

void PerPersona(benchmark::State &state, const Archivio &a)
{
    bench::ContaPerPersona(state, a.registrazione, a.inizioMisura, a.fineMisura, a.candidati);
}

void Misura(benchmark::State &state, Archivio &a)
{
    for (auto _ : state) {
        state.PauseTiming();
        a.Riapri();
        try {
            if (a.Importa(false, &state) != a.candidati)
                throw std::runtime_error("the candidates differ from the recorded import's");
        } catch (const std::exception &e) {
            state.SkipWithError(e.what());
            break;
        }
        state.ResumeTiming();
    }
    PerPersona(state, a);
}

void Pavimento(benchmark::State &state, Archivio &a)
{
    for (auto _ : state) {
        state.PauseTiming();
        a.Copia();
        try {
            rawfb::Raw raw(a.lavoro.database);
            rawfb::Replay replay(raw, a.registrazione);
            replay.run(0, a.inizioMisura);
            state.ResumeTiming();
            replay.run(a.inizioMisura, a.fineMisura);
            state.PauseTiming();
            replay.run(a.fineMisura, a.registrazione.events.size());
        } catch (const std::exception &e) {
            state.SkipWithError(e.what());
            break;
        }
        state.ResumeTiming();
    }
    PerPersona(state, a);
}

// What the program started with --processo prints on its last line.
const char *const FormatoProcesso = "importa %lf %lf pavimento %lf %lf candidati %d esecuzioni %lld letture %lld "
                                    "preparazioni %lld conferme %lld";

// The process of BM_ImportaMese_NuovoProcesso (--processo ARCHIVE, a demo
// archive of April 2023 to March 2024, which is not written): the import
// on a fresh copy, the first of this process, then the same import recorded
// on another copy and the replay of its recording on a third; the times of
// the first and of the replay on the last line. The measured parts are
// ImportaContato (the first import) and rawfb::Replay::run, for a count of
// their instructions by callgrind's --toggle-collect. With
// --processo-pubblico on a public-sector archive of the same months
// (zepDemoArchive --public-sector), the same for "Importa (ex Dma)".
// The measured import of a fresh process, only counted: a function of its
// own, for callgrind's --toggle-collect='*ImportaContato*'.
[[gnu::noinline]] int ImportaContato(Archivio &a, bench::Tally &conta)
{
    a.conta = &conta;
    try {
        const int candidati = a.Importa();
        a.conta = nullptr;
        return candidati;
    } catch (...) {
        a.conta = nullptr;
        throw;
    }
}

int ImportaInNuovoProcesso(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    try {
        Archivio a{QString::fromLocal8Bit(argv[2]), QByteArray(argv[1]) == "--processo-pubblico"};
        // The measured import runs without the recording, which would cost
        // it a copy of every parameter message; a second import of a fresh
        // copy is recorded. It asks the engine the same but for what this
        // process reads once (the contract table in force) and for the
        // renewals of the period's lock, which come with the time passed:
        // a few statements and commits in thousands.
        bench::Tally conta;
        a.Riapri();
        const int candidati = ImportaContato(a, conta);
        const Tempo importa = a.durata;
        a.Riapri();
        a.Registra();
        const bench::Conti r = bench::Conta(a.registrazione, a.inizioMisura, a.fineMisura);
        const bench::Conti &c = conta.conti;
        // A renewal is one execution, one fetch and one commit: under a slow
        // run (valgrind) they are many more than 1 % of the commits.
        const auto vicini = [](qint64 x, qint64 y) { return qAbs(x - y) <= qMax<qint64>(4, qMax(x, y) / 100); };
        if (a.candidati != candidati || !vicini(r.esecuzioni, c.esecuzioni) || !vicini(r.letture, c.letture)
            || qAbs(r.conferme - c.conferme) > qAbs(r.esecuzioni - c.esecuzioni) + 4)
            throw std::runtime_error(QStringLiteral("the recorded import asked the engine other than the measured one: "
                                                    "%1/%2 executions, %3/%4 fetches, %5/%6 commits")
                                         .arg(r.esecuzioni)
                                         .arg(c.esecuzioni)
                                         .arg(r.letture)
                                         .arg(c.letture)
                                         .arg(r.conferme)
                                         .arg(c.conferme)
                                         .toStdString());
        const Tempo pavimento = a.Replica();
        std::printf(FormatoProcesso, importa.parete, importa.cpu, pavimento.parete, pavimento.cpu, candidati,
                    c.esecuzioni, c.letture, c.preparazioni, c.conferme);
        std::printf("\n");
        a.db->close();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

void NuovoProcesso(benchmark::State &state, const Archivio &a)
{
    const QString opzione = a.pubblico ? QStringLiteral("--processo-pubblico") : QStringLiteral("--processo");
    Tempo importa, pavimento;
    int candidati = 0;
    bench::Conti c;
    for (auto _ : state) {
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {opzione, a.originale.database});
        if (!p.waitForFinished(600000) || p.exitCode() != 0) {
            state.SkipWithError(QString::fromLocal8Bit(p.readAllStandardError()).toStdString().c_str());
            break;
        }
        const QByteArray riga = p.readAllStandardOutput().trimmed().split('\n').last();
        Tempo i, f;
        if (std::sscanf(riga.constData(), FormatoProcesso, &i.parete, &i.cpu, &f.parete, &f.cpu, &candidati,
                        &c.esecuzioni, &c.letture, &c.preparazioni, &c.conferme)
            != 9) {
            state.SkipWithError(riga.constData());
            break;
        }
        state.SetIterationTime(i.parete);
        importa.parete += i.parete;
        importa.cpu += i.cpu;
        pavimento.parete += f.parete;
        pavimento.cpu += f.cpu;
    }
    bench::ContaPerPersona(state, c, candidati);
    const double persone = double(qMax<qint64>(1, qint64(state.iterations()) * qMax(1, candidati)));
    state.counters["cpu_persona"] = importa.cpu / persone;
    state.counters["pavimento"] = pavimento.parete / persone;
    state.counters["pavimento_cpu"] = pavimento.cpu / persone;
    state.counters["rapporto"] = pavimento.parete > 0 ? importa.parete / pavimento.parete : 0;
}

void BM_ImportaMese(benchmark::State &state)
{
    Misura(state, archivio(state));
}

void BM_ImportaMese_Pavimento(benchmark::State &state)
{
    Pavimento(state, archivio(state));
}

void BM_ImportaMese_NuovoProcesso(benchmark::State &state)
{
    NuovoProcesso(state, archivio(state));
}

void BM_ImportaMeseExDma(benchmark::State &state)
{
    Misura(state, archivio(state, true));
}

void BM_ImportaMeseExDma_Pavimento(benchmark::State &state)
{
    Pavimento(state, archivio(state, true));
}

void BM_ImportaMeseExDma_NuovoProcesso(benchmark::State &state)
{
    NuovoProcesso(state, archivio(state, true));
}

} // namespace

void Dimensioni(benchmark::internal::Benchmark *b)
{
    for (int forzate : {1, 0})
        for (int persone : {100, 1000})
            b->Args({persone, forzate});
    b->ArgNames({"persone", "scritture_forzate"})->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
}

void Argomenti(benchmark::internal::Benchmark *b)
{
    Dimensioni(b);
    b->UseRealTime();
}

void ArgomentiProcesso(benchmark::internal::Benchmark *b)
{
    Dimensioni(b);
    b->UseManualTime();
}

BENCHMARK(BM_ImportaMese)->Apply(Argomenti);
BENCHMARK(BM_ImportaMese_Pavimento)->Apply(Argomenti);
BENCHMARK(BM_ImportaMese_NuovoProcesso)->Apply(ArgomentiProcesso);
BENCHMARK(BM_ImportaMeseExDma)->Apply(Argomenti);
BENCHMARK(BM_ImportaMeseExDma_Pavimento)->Apply(Argomenti);
BENCHMARK(BM_ImportaMeseExDma_NuovoProcesso)->Apply(ArgomentiProcesso);

int main(int argc, char **argv)
{
    if (argc == 3 && (QByteArray(argv[1]) == "--processo" || QByteArray(argv[1]) == "--processo-pubblico"))
        return ImportaInNuovoProcesso(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
