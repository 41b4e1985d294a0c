#pragma once
// What the import benchmarks tell the per-person import loop: its messages
// counted, its questions answered yes, never a stop.
#include "import/WunCFiscImpMultiSelect.h"

#include "RawReplay.h"

#include <benchmark/benchmark.h>

#include <QString>

namespace bench {

// Counts the errors the loop reports, but the demo's person without a
// fiscal code and the demo's mother of 2024, whose relief the declaration
// refuses (counted apart); never stops.
class Conteggio : public IwunNotificaImport {
public:
    int errori = 0;
    int madri = 0;
    QString primo;
    void Messaggio(const QString &testo, platform::MessageType tipo, const QString & = {}) override
    {
        if (tipo != platform::MessageType::Error || testo.startsWith(TwunFiscImpMultiSelect::MsgSenzaCodiceFiscale))
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

// What a measured import cost the engine, in the recorded events from
// `inizio` to `fine`.
struct Conti {
    qint64 esecuzioni = 0, letture = 0, preparazioni = 0, conferme = 0;
};
inline Conti Conta(const rawfb::Recording &registrazione, size_t inizio, size_t fine)
{
    Conti c;
    for (size_t i = inizio; i < fine; ++i) {
        const rawfb::Recording::Event &e = registrazione.events[i];
        c.esecuzioni += e.kind == rawfb::Recording::Kind::Execute;
        c.letture += e.kind == rawfb::Recording::Kind::Fetch;
        c.preparazioni += e.kind == rawfb::Recording::Kind::Prepare;
        c.conferme += e.kind == rawfb::Recording::Kind::End && e.flag;
    }
    return c;
}

// The same counts told by the layer as they happen, nothing kept: an import
// measured under it costs what it costs without an observer (a recording
// shares each parameter message, so the layer copies the message before it
// writes the next), and its counts show that a recorded import of the same
// copy asked the engine the same.
class Tally : public platform::SqlTrace {
public:
    Conti conti;
    void started(const void *, bool, bool, int) override {}
    void ended(const void *, bool committed) override { conti.conferme += committed; }
    void prepared(const void *, const void *, const QString &) override { ++conti.preparazioni; }
    void freed(const void *) override {}
    void executed(const void *, const void *, bool, const QList<platform::SqlTraceField> &, const QByteArray &) override
    {
        ++conti.esecuzioni;
    }
    void fetched(const void *, bool) override { ++conti.letture; }
    void cursorClosed(const void *) override {}
    void blobRead(const void *, int) override {}
    void executedImmediate(const void *, const QString &) override {}
};

// The counters of a measured import: executions, fetches and commits a
// person, statements prepared in all; and the wall time a person.
inline void ContaPerPersona(benchmark::State &state, const Conti &c, int candidati)
{
    const double n = qMax(1, candidati);
    state.counters["candidati"] = candidati;
    state.counters["esecuzioni"] = double(c.esecuzioni) / n;
    state.counters["letture"] = double(c.letture) / n;
    state.counters["preparazioni"] = double(c.preparazioni);
    state.counters["conferme"] = double(c.conferme) / n;
    state.counters["per_persona"] = benchmark::Counter(candidati, benchmark::Counter::kIsIterationInvariantRate
                                                                      | benchmark::Counter::kInvert);
}

inline void ContaPerPersona(benchmark::State &state, const rawfb::Recording &registrazione, size_t inizio, size_t fine,
                            int candidati)
{
    ContaPerPersona(state, Conta(registrazione, inizio, fine), candidati);
}

} // namespace bench
