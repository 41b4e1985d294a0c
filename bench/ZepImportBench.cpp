// The private-sector import of a month (TZepImpMultiSelect: every candidate
// of March 2024 of the demo archive, each in a transaction of its own, its
// employee rows written into TEMD_DIPENDENTI by the declaration-table
// store) for 100 and 1,000 demo persons, with the archive's forced writes
// (every commit waits for the disk) and without them (the work of the
// program and of the embedded engine alone). Each repetition writes into a
// period of the store never used before, so every person is a new one.
//
// The floor is what the import cannot do without for the same persons: a
// transaction per person with one new record of the employee table saved
// by the store (the save of a row as the import makes it, with no reads of
// the payroll archive).
//
// The public-sector import of the same month ("Importa (ex Dma)",
// TZepDmaImpMultiSelect: every candidate of legal position 1, its D0 row and
// the E0 rows of its pay periods written into TD0_ANAG and TE0_RETR) is
// measured beside it on the same archives.
//
// The counter "per_persona" is the wall time of one person (the CPU column
// is the process's, the embedded engine included).
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

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <map>
#include <memory>

using namespace platform;

namespace {

// Counts the errors the loop reports, but the demo's person without a
// fiscal code and the demo's mother of 2024, whose relief the declaration
// refuses (counted apart); never stops.
class Conteggio : public IwunNotificaImport {
public:
    int errori = 0;
    int madri = 0;
    QString primo;
    void Messaggio(const QString &testo, MessageType tipo, const QString & = {}) override
    {
        if (tipo != MessageType::Error || testo.startsWith(TwunFiscImpMultiSelect::MsgSenzaCodiceFiscale))
            return;
        if (testo.endsWith(QStringLiteral("Esonero IVS madri non gestito."))) {
            ++madri;
            return;
        }
        if (errori++ == 0)
            primo = testo;
    }
    bool Domanda(const QString &) override { return true; }
    void Avanzamento(const QString &, int, int) override {}
    bool StopRichiesto() override { return false; }
};

// A demo archive of one month, made once per size, with the layouts and the
// catalogue; the working period March 2024.
struct Archivio {
    QTemporaryDir cartella;
    std::unique_ptr<Database> db;
    std::unique_ptr<TdmWunParams> params;
    int periodi = 0; // the store periods used so far

    Archivio(int persone, bool scrittureForzate)
    {
        payroll::DemoArchiveOptions o;
        o.output = cartella.filePath(QStringLiteral("demo.fdb"));
        o.persons = persone;
        o.fromYear = o.toYear = 2024;
        o.fromMonth = o.toMonth = 3;
        payroll::DemoArchive::create(o);
        ConnectionSettings s;
        s.database = o.output;
        DatabaseCreator::setForcedWrites(s, scrittureForzate);
        db = std::make_unique<Database>(s);
        db->open();
        Database::setGlobal(db.get());
        TTovDBCdsLayouts::InstallFolders(*db, {CartellaLayoutDenunce()});
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("03"));
        wunAnnoFinanziario().LoadYear(QStringLiteral("2024"));
        TWunCalcolaAnno::CreaPerAnno(2024);
        params = std::make_unique<TdmWunParams>();
        params->xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);
    }

    // A store on a period of its own (year 3000 on, month 3).
    std::unique_ptr<TTovDBCds> NuovoStore()
    {
        auto store = std::make_unique<TTovDBCds>();
        store->SetConnection(db.get());
        store->SetProgram(QStringLiteral("zep"));
        store->SetYear(3000 + periodi++);
        store->SetMonth(3);
        return store;
    }
};

std::map<std::pair<int, bool>, std::unique_ptr<Archivio>> &archivi()
{
    static std::map<std::pair<int, bool>, std::unique_ptr<Archivio>> aperti;
    return aperti;
}

// The archive of a run's arguments: persons, and forced writes (1, the
// archive's own setting) or not (0: the engine's work without the disk's
// wait at every commit).
Archivio &archivio(const benchmark::State &state)
{
    const std::pair<int, bool> chiave{int(state.range(0)), state.range(1) != 0};
    // The firebird driver and the program folders want an application.
    static int argc = 1;
    static char nome[] = "bench";
    static char *argv[] = {nome, nullptr};
    static QCoreApplication app(argc, argv);
    if (!archivi().count(chiave)) {
        archivi().clear(); // one archive open at a time
        archivi()[chiave] = std::make_unique<Archivio>(chiave.first, chiave.second);
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

// One import of the month per repetition, each on a store period of its
// own: `Import` on the parameters, every candidate; the demo's mother of 2024
// is the only person the private import may refuse.
template <class Import>
void importaMese(benchmark::State &state, DataSet &parametri, bool madriAmmesse)
{
    Archivio &a = archivio(state);
    int candidati = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto store = a.NuovoStore();
        Conteggio conteggio;
        Import imp(*store, a.db.get());
        imp.SetNotifica(&conteggio);
        imp.Imposta(&parametri, nullptr, {});
        state.ResumeTiming();
        imp.Prepara();
        const TwunFiscImpMultiSelect::Esito esito = imp.Importa();
        state.PauseTiming();
        candidati = esito.totale;
        state.counters["righe"] = imp.cdsImport.recordCount();
        if (conteggio.errori != 0 || esito.falliti != (madriAmmesse ? conteggio.madri : 0)) {
            state.SkipWithError(qPrintable(conteggio.primo));
            break;
        }
        state.ResumeTiming();
    }
    state.counters["candidati"] = candidati;
    state.counters["per_persona"] = benchmark::Counter(candidati, benchmark::Counter::kIsIterationInvariantRate
                                                                      | benchmark::Counter::kInvert);
}

void BM_ImportaMese(benchmark::State &state)
{
    importaMese<TZepImpMultiSelect>(state, parametri(), true);
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

void BM_ImportaMeseExDma(benchmark::State &state)
{
    importaMese<TZepDmaImpMultiSelect>(state, parametriDma(), false);
}

void BM_ImportaMese_Pavimento(benchmark::State &state)
{
    Archivio &a = archivio(state);
    TTovDBCds modello;
    modello.SetConnection(a.db.get());
    modello.SetProgram(QStringLiteral("zep"));
    // The candidates: as many new rows as the import writes.
    int candidati = 0;
    {
        auto store = a.NuovoStore();
        TZepImpMultiSelect imp(*store, a.db.get());
        imp.Imposta(&parametri(), nullptr, {});
        imp.Prepara();
        candidati = imp.xqcMultiSelect.recordCount();
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto store = a.NuovoStore();
        DataSet tabella;
        store->Load(tabella, TZepImpMultiSelect::TabellaDipendenti);
        state.ResumeTiming();
        for (int i = 0; i < candidati; ++i) {
            TUqTransaction t(a.db.get());
            t.Start();
            tabella.append();
            tabella.fieldByName(QStringLiteral("CFLavoratore"))
                .setAsString(QStringLiteral("CF%1").arg(i, 14, 10, QLatin1Char('0')));
            for (const char *campo : {"Cognome", "Nome", "Matricola", "Qualifica1", "Qualifica2", "Qualifica3",
                                      "Elimina", "TipoContribuzione", "CodiceComune", "CodiceContratto", "RegimePost95",
                                      "TipoLavoratore", "RispettoMinimale", "AnnoMeseDenuncia"})
                tabella.fieldByName(QLatin1String(campo)).setAsString(QStringLiteral("X"));
            for (const char *campo : {"OrarioContrattuale", "PercPartTime", "NumMensilita"})
                tabella.fieldByName(QLatin1String(campo)).setAsInteger(4000);
            for (const char *campo : {"Imponibile", "Contributo", "RetribTeorica"})
                tabella.fieldByName(QLatin1String(campo)).setAsCurrency(Currency::fromInt(2000 + i));
            tabella.post();
            store->Save(tabella, TZepImpMultiSelect::TabellaDipendenti);
            t.Commit();
        }
    }
    state.counters["candidati"] = candidati;
    state.counters["per_persona"] = benchmark::Counter(candidati, benchmark::Counter::kIsIterationInvariantRate
                                                                      | benchmark::Counter::kInvert);
}

} // namespace

void Argomenti(benchmark::internal::Benchmark *b)
{
    for (int forzate : {1, 0})
        for (int persone : {100, 1000})
            b->Args({persone, forzate});
    b->ArgNames({"persone", "scritture_forzate"})
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(3)
        ->UseRealTime();
}

BENCHMARK(BM_ImportaMese)->Apply(Argomenti);
BENCHMARK(BM_ImportaMese_Pavimento)->Apply(Argomenti);
BENCHMARK(BM_ImportaMeseExDma)->Apply(Argomenti);
