// The imports measured beside the private-sector one (ZepImportBench.cpp),
// each for 100 and 1,000 demo persons (zep's also for 3,000), each person
// in a transaction of its own, forced writes off (the work of the program
// and of the embedded engine, without the disk's wait at every commit):
//
//   - "Importa iscritti FPLS" of March 2024 (TZepImpFplsExEnpalsMultiSelect:
//     the performing-arts workers' rows written into TEFE_FPLSEXENPALS by the
//     declaration-table store), on a demo archive of that month;
//   - the E-Mens "Importa" of zepdb, March 2008 (TZepImpMultiSelect, the
//     E-Mens rows into the archive's store), and of zep, October 2006 (the
//     same import into the year folder's local files, TZepCdsLocale), on a
//     demo archive of 2005-2009.
//
// The floor of each is what the engine does for the same import: every call
// the import made of the engine (transactions, preparations, executions with
// their parameters, fetches, commits), recorded once and replayed straight
// through the client library on a fresh copy of the archive (RawReplay.h).
// For zep the rows go into local files, which the floor does not write.
//
// The counter "per_persona" is the wall time of one candidate; "esecuzioni",
// "letture" and "conferme" are the executions, fetches and commits a
// candidate, "preparazioni" the statements prepared in the measured part.
//
//     build/bench/bench_ZepImportiBench --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true
#include "ZepCCdsLocale.h"
#include "ZepCImpMultiSelect.h"
#include "ZepCParametri.h"
#include "ZepULayouts.h"
#include "ZepUUtil.h"
#include "zepCImpFplsExEnpalsMultiSelect.h"
#include "zepCImpSostituto.h"
#include "DemoArchive.h"
#include "WunUUtil.h"
#include "wunMParams.h"
#include "wunUCalcoliAnno.h"

#include "Database.h"
#include "DatabaseCreator.h"
#include "DataSet.h"
#include "TovUCdsUtil.h"
#include "UqQueryCollection.h"
#include "tovCQueryText.h"
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include "ConteggioImport.h"
#include "RawReplay.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>

using namespace platform;
using bench::Conteggio;

namespace {

enum Tipo { Fpls = 0, EMensDb = 1, EMensLocale = 2 };

// The demo archives of March 2024 and of 2005-2009, made once per size.
QString archivioDemo(bool anniPrecedenti, int persone)
{
    static QTemporaryDir cartella;
    static std::map<std::pair<bool, int>, QString> fatti;
    QString &file = fatti[{anniPrecedenti, persone}];
    if (file.isEmpty()) {
        payroll::DemoArchiveOptions o;
        o.output = cartella.filePath(QStringLiteral("demo-%1-%2.fdb").arg(anniPrecedenti).arg(persone));
        o.persons = persone;
        o.fromYear = anniPrecedenti ? 2005 : 2024;
        o.toYear = anniPrecedenti ? 2009 : 2024;
        o.fromMonth = anniPrecedenti ? 1 : 3;
        o.toMonth = anniPrecedenti ? 12 : 3;
        payroll::DemoArchive::create(o);
        ConnectionSettings s;
        s.database = o.output;
        DatabaseCreator::setForcedWrites(s, false);
        Database db(s);
        db.open();
        TTovDBCdsLayouts::InstallFolders(db, {CartellaLayoutDenunce()});
        db.close();
        file = o.output;
    }
    return file;
}

// The one connection of the program, on the working copy of the case run.
Database &connessione()
{
    static Database db;
    return db;
}

// One import and its archive: a fresh working copy for every run, the
// period set, the import's parameters as its wizard leaves them.
struct Caso {
    Tipo tipo;
    int anno, mese;
    QTemporaryDir cartella;
    QString base = cartella.path() + QLatin1Char('/');
    ConnectionSettings lavoro;
    QString originale;
    DataSet parametri;
    QString fileSediInps = base + TZepImpSostituto::TabellaSediInps;
    rawfb::Recording registrazione;
    size_t inizioMisura = 0, fineMisura = 0;
    int candidati = 0;

    Caso(Tipo t, int persone)
        : tipo(t), anno(t == Fpls      ? 2024
                        : t == EMensDb ? 2008
                                       : 2006),
          mese(t == EMensLocale ? 10 : 3)
    {
        originale = archivioDemo(t != Fpls, persone);
        lavoro.database = base + QStringLiteral("lavoro.fdb");
        if (tipo == Fpls) {
            parametri.setFieldDefs({{"IMESID", FieldType::Integer},
                                    {"ICOTID", FieldType::Integer},
                                    {"SOSTITUTO", FieldType::Boolean},
                                    {"ComuneLavoro", FieldType::String, 4},
                                    {"MatricolaInpsFpls", FieldType::String, 10},
                                    {"TipoContribuzioneFpls", FieldType::String, 2}});
            parametri.createDataSet();
            parametri.appendRecord({mese, 3, false, "A944", "7654321098", QString()});
        } else {
            parametri.setFieldDefs({{"IMESID", FieldType::Integer},
                                    {"SOSTITUTO", FieldType::Boolean},
                                    {"GIORNIINPS", FieldType::Boolean},
                                    {"MatricolaINPS", FieldType::String, 10},
                                    {"MatricolaINPSAcc", FieldType::String, 10},
                                    {"ComuneLavoro", FieldType::String, 4},
                                    {"PT_COME_INTERO", FieldType::Boolean},
                                    {"TipoContribuzione", FieldType::String, 31},
                                    {"VarRetributive", FieldType::Boolean}});
            parametri.createDataSet();
            parametri.appendRecord({mese, false, false, "1234567890", "1234567890", "A944", false, "00", false});
        }
        DataSet uffici;
        uffici.loadRecords({{"Codice", FieldType::String, 4}, {"PROVINCIA", FieldType::String, 2}},
                           {{"1300", "BO"}, {"7000", "RM"}});
        TTovCds::SaveToFile(uffici, fileSediInps);

        // A first import fills the program's own caches; the second is
        // recorded.
        Riapri();
        Importa();
        Riapri();
        registrazione.start();
        try {
            candidati = Importa(true);
        } catch (...) {
            registrazione.stop();
            throw;
        }
        registrazione.stop();
        connessione().close();
    }

    // The working copy made anew from the archive as made, closed; for zep
    // the year folder with its empty tables, as its preparation makes it.
    void Copia()
    {
        connessione().close();
        QFile::remove(lavoro.database);
        if (!QFile::copy(originale, lavoro.database))
            throw std::runtime_error("the archive cannot be copied");
        if (tipo != EMensLocale)
            return;
        const QString cartellaAnno = base + QStringLiteral("USR/ZEPDati/ZEP%1/").arg(anno);
        QDir(cartellaAnno).removeRecursively();
        QDir().mkpath(cartellaAnno);
        for (const TTovDBCdsLayout &l : TTovDBCdsLayouts::ReadFolder(CartellaLayoutDenunce())) {
            QFile file(cartellaAnno + l.name + QStringLiteral(".CDS"));
            if (!file.open(QIODevice::WriteOnly) || file.write(l.schema) != l.schema.size())
                throw std::runtime_error("the year folder cannot be made");
        }
    }
    // The connection on a new working copy, the working period this case's.
    void Riapri()
    {
        Copia();
        Database &db = connessione();
        db.setSettings(lavoro);
        db.open();
        Database::setGlobal(&db);
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        const QString a = QString::number(anno);
        SetPeriodoDenuncia(a, QStringLiteral("%1").arg(mese, 2, 10, QLatin1Char('0')));
        wunAnnoFinanziario().LoadYear(a);
        TWunCalcolaAnno::Rilascia();
        TWunCalcolaAnno::CreaPerAnno(anno);
        static TdmWunParams params;
        params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);
    }

    std::unique_ptr<ITovDBCds> NuovoStore()
    {
        std::unique_ptr<ITovDBCds> store;
        if (tipo == EMensLocale) {
            store = std::make_unique<TZepCdsLocale>(base, TZepParametri::ProgrammaEMensLocale().PrefissoCartellaAnno);
        } else {
            auto archivio = std::make_unique<TTovDBCds>();
            archivio->SetConnection(&connessione());
            archivio->SetProgram(QStringLiteral("zep"));
            store = std::move(archivio);
        }
        store->SetYear(anno);
        store->SetMonth(mese);
        return store;
    }

    // One import of the month on the open copy, the part a benchmark
    // measures (the candidates' choice and the loop) timed on `state` when
    // given, its bounds in the recording noted when `registra`. Returns the
    // candidates; a failure raises.
    int Importa(bool registra = false, benchmark::State *state = nullptr)
    {
        auto store = NuovoStore();
        Conteggio conteggio;
        std::unique_ptr<TZepFiscImpMultiSelect> imp;
        if (tipo == Fpls)
            imp = std::make_unique<TZepImpFplsExEnpalsMultiSelect>(*store, &connessione());
        else
            imp = std::make_unique<TZepImpMultiSelect>(*store,
                                                       tipo == EMensDb ? TZepDenuncia::EMens
                                                                       : TZepDenuncia::EMensLocale,
                                                       &connessione());
        TUqQueryCollection sedi;
        TovQueryText().AssignCommand(QStringLiteral("QRY_SED"), sedi, QStringLiteral("EXECUTE"));
        sedi.params().paramByName(QStringLiteral("IDWGID")).setValue(1);
        sedi.Open();
        imp->FileSediInps = fileSediInps;
        imp->SetNotifica(&conteggio);
        imp->Sovrascrittura = TwunFiscImpMultiSelect::SovrascriviSempre;
        imp->Imposta(&parametri, &sedi, {});
        if (registra)
            inizioMisura = registrazione.mark();
        if (state)
            state->ResumeTiming();
        if (!imp->Prepara())
            throw std::runtime_error("the import did not start");
        const TwunFiscImpMultiSelect::Esito esito = imp->Importa();
        if (state)
            state->PauseTiming();
        if (registra)
            fineMisura = registrazione.mark();
        if (state)
            state->counters["righe"] = imp->cdsImport.recordCount();
        if (conteggio.errori != 0 || esito.falliti != conteggio.madri)
            throw std::runtime_error(conteggio.primo.toStdString());
        if (esito.totale == 0)
            throw std::runtime_error("no candidate in the month");
        return esito.totale;
    }
};

Caso &caso(const benchmark::State &state)
{
    static std::map<std::pair<int, int>, std::unique_ptr<Caso>> fatti;
    // The firebird driver and the program folders want an application.
    static int argc = 1;
    static char nome[] = "bench";
    static char *argv[] = {nome, nullptr};
    static QCoreApplication app(argc, argv);
    const std::pair<int, int> chiave{int(state.range(0)), int(state.range(1))};
    std::unique_ptr<Caso> &c = fatti[chiave];
    if (!c) {
        c = std::make_unique<Caso>(Tipo(chiave.first), chiave.second);
        // Closed at exit before the SQL module's own statics, made with the
        // first connection, go.
        static const int chiusura = std::atexit([] {
            connessione().close();
            fatti.clear();
        });
        Q_UNUSED(chiusura);
    }
    return *c;
}

void PerPersona(benchmark::State &state, const Caso &c)
{
    bench::ContaPerPersona(state, c.registrazione, c.inizioMisura, c.fineMisura, c.candidati);
}

void BM_Importa(benchmark::State &state)
{
    Caso *c = nullptr;
    try {
        c = &caso(state);
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        try {
            c->Riapri();
            if (c->Importa(false, &state) != c->candidati)
                throw std::runtime_error("the candidates differ from the recorded import's");
        } catch (const std::exception &e) {
            state.SkipWithError(e.what());
            break;
        }
        state.ResumeTiming();
    }
    PerPersona(state, *c);
}

void BM_Importa_Pavimento(benchmark::State &state)
{
    Caso *c = nullptr;
    try {
        c = &caso(state);
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        c->Copia();
        try {
            rawfb::Raw raw(c->lavoro.database);
            rawfb::Replay replay(raw, c->registrazione);
            replay.run(0, c->inizioMisura);
            state.ResumeTiming();
            replay.run(c->inizioMisura, c->fineMisura);
            state.PauseTiming();
            replay.run(c->fineMisura, c->registrazione.events.size());
        } catch (const std::exception &e) {
            state.SkipWithError(e.what());
            break;
        }
        state.ResumeTiming();
    }
    PerPersona(state, *c);
}

} // namespace

void Argomenti(benchmark::internal::Benchmark *b)
{
    for (int tipo : {Fpls, EMensDb})
        for (int persone : {100, 1000})
            b->Args({tipo, persone});
    // zep's saves, into files of the whole year, are measured to 3,000
    // persons: a person's save must cost the same at every size.
    for (int persone : {100, 1000, 3000})
        b->Args({EMensLocale, persone});
    b->ArgNames({"tipo", "persone"})->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
}

BENCHMARK(BM_Importa)->Apply(Argomenti);
BENCHMARK(BM_Importa_Pavimento)->Apply(Argomenti);
