#pragma once
// What the import benchmarks tell the per-person import loop: its messages
// counted, its questions answered yes, never a stop.
#include "import/WunCFiscImpMultiSelect.h"

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

} // namespace bench
