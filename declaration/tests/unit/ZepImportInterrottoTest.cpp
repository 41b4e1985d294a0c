// The import asked to end by a termination signal while it goes through its
// persons: the person in progress is rolled back, the run stops there, and
// says why; the persons before it stay whole.
#include "ZepImportSupport.h"

#include "TerminationSignals.h"

#include <csignal>

using namespace importtest;

namespace {

// Sends SIGTERM to the process as the given person starts, as a session
// ending or a service manager would.
class SegnaleAllaPersona : public TwunNotificaServizi {
public:
    explicit SegnaleAllaPersona(int persona) : m_persona(persona) {}
    void Avanzamento(const QString &testo, int n, int totale) override
    {
        TwunNotificaServizi::Avanzamento(testo, n, totale);
        if (n == m_persona)
            std::raise(SIGTERM);
    }

private:
    int m_persona;
};

} // namespace

using ZepImportInterrotto = ImportTest;

TEST_F(ZepImportInterrotto, ASignalRollsBackThePersonInProgressAndEndsTheRunSayingWhy)
{
    platform::TerminationSignals segnali;
    segnali.Install();
    const Persona primo = persona("Primo", "PRMPRV80A01A944A", {inps(3, "2000")});
    const Persona secondo = persona("Secondo", "SCNPRV80A01A944A", {inps(3, "2100")});
    const Persona terzo = persona("Terzo", "TRZPRV80A01A944A", {inps(3, "2200")});
    SegnaleAllaPersona notifica(2);
    imp.SetNotifica(&notifica);
    const TwunFiscImpMultiSelect::Esito esito = importa(
        {scriviPersona(tdb.db(), primo), scriviPersona(tdb.db(), secondo), scriviPersona(tdb.db(), terzo)});

    EXPECT_TRUE(platform::TerminationSignals::Requested());
    EXPECT_TRUE(esito.interrotto);
    EXPECT_EQ(esito.importati, 1);
    EXPECT_EQ(dipendente(primo.codiceFiscale).size(), 1);
    EXPECT_TRUE(dipendente(secondo.codiceFiscale).isEmpty()) << "in progress when the signal came: rolled back";
    EXPECT_FALSE(imp.cdsImport.locate("CFLavoratore", secondo.codiceFiscale)) << "in memory too";
    EXPECT_TRUE(dipendente(terzo.codiceFiscale).isEmpty()) << "not started";
    const QStringList messaggi = services->messageTexts();
    ASSERT_FALSE(messaggi.isEmpty());
    EXPECT_TRUE(messaggi.join("\n").contains("Importazione interrotta: il programma è stato chiuso (SIGTERM)"))
        << messaggi.join("\n").toStdString();
    EXPECT_FALSE(tdb.db().inTransaction());
}
