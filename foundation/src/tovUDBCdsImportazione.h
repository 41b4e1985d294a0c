#pragma once
// The import of a period of the declaration tables, held by one workstation
// at a time.
//
// An import reads a table of the month once and then decides, person by
// person, on what it read: two workstations importing the same month at
// once would each find the month without the other's persons and add them
// all again. So an import takes its period first and keeps it to its end;
// a second workstation finds it taken, is told who holds it, and waits (or
// gives up) and then reads the tables with the first one's persons in them.
//
// The period is the row of TIMP_IMPORTAZIONI (foundation/sql/006_period_imports.sql)
// of the program, year and month (0: the year level, where the declarant
// is kept), locked by a transaction of a connection of its own for as long
// as it is held (renewed between persons, Rinnova). The engine frees the lock when that transaction ends, or
// when the program or its connection dies: a workstation that was killed
// or lost the network never keeps a month. The row also records who holds
// it (the workstation, its user and program, since when), committed as the
// lock is taken, for the others' message.
//
//     TTovDBCdsImportazione mese(db, "zep", 2026, 12);
//     if (!mese.Attendi(avviso, fermare))   // avviso: "Un'altra postazione sta importando ..."
//         return;                          // given up: nothing was imported
//     ...                                  // the import; the destructor gives the period back
//
// Within one connection the period is taken again at once: a program that
// holds the month for a whole run (the import, the completion, the file)
// runs its imports inside it.
#include "Database.h"

#include <QString>
#include <functional>
#include <memory>

class TTovDBCdsImportazione {
public:
    // How long one attempt waits for a period another workstation holds.
    static constexpr int AttesaSecondi = 1;
    // How often a holder renews its lock (Rinnova), and how long a refused
    // workstation lets pass before it tries again: shorter than the wait of
    // an attempt, and longer than a renewal takes.
    static constexpr int RinnovoMs = 500;
    static constexpr int RitentaMs = 200;

    // The period of `programma` (compared in lower case), `anno` and
    // `mese` (1 to 12, 0 the year level) of the archive of `archivio`,
    // whose settings the period's own connection takes. Not taken yet.
    TTovDBCdsImportazione(platform::Database &archivio, const QString &programma, int anno, int mese);
    // Gives the period back.
    ~TTovDBCdsImportazione();
    TTovDBCdsImportazione(const TTovDBCdsImportazione &) = delete;
    TTovDBCdsImportazione &operator=(const TTovDBCdsImportazione &) = delete;

    // One attempt, waiting at most AttesaSecondi while another workstation
    // holds the period: true when it is this one's. Failures of the archive
    // raise EDatabaseError.
    bool Prendi();
    bool Presa() const { return m_stato != nullptr; }
    // Takes the period, waiting as long as another workstation holds it:
    // `avviso` is told once, with MsgAltraPostazione(), when the first
    // attempt finds it taken; `fermare` is asked before each new attempt
    // (about once a second) and true gives up. True once taken.
    bool Attendi(const std::function<void(const QString &)> &avviso, const std::function<bool()> &fermare);
    // Gives the period back (the record of who held it emptied); harmless
    // when not held.
    void Rilascia();
    // Called between two persons: a lock held for long keeps the engine
    // from clearing the row versions every workstation writes meanwhile
    // (an import of 10,000 persons took twice as long), so once RinnovoMs
    // have passed the lock's transaction is ended and the row locked again
    // at once. False when the period was not held, or another workstation
    // took it in that instant (then this one must stop importing, its
    // persons whole: MsgPerso()).
    bool Rinnova();
    QString MsgPerso() const;

    // The period in words: "il mese 12/2026", "l'anno 2026".
    QString Periodo() const;
    // Who holds the period, as the archive records it ("ufficio-2 (utente
    // rossi, zepUni, processo 4711), dalle 10:32 del 11/12/2026"); empty
    // when it records nobody.
    QString Titolare();
    // "Un'altra postazione sta importando il mese 12/2026 in questo
    // archivio: <Titolare> ..." and what happens next.
    QString MsgAltraPostazione();
    // What is said to a workstation that gave up waiting.
    QString MsgNonEseguita() const;
    // This workstation as the others are told of it: the machine's name,
    // the user, the program and its process.
    static QString Postazione();

private:
    struct Stato;
    QString Chiave() const;
    QString Messaggio(const QString &titolare) const;
    void ApriConnessione();

    platform::Database &m_archivio;
    QString m_programma;
    int m_anno;
    int m_mese;
    // The connection that holds the period (and reads who holds it), kept
    // while waiting; the state shared by the holders of one connection.
    std::unique_ptr<platform::Database> m_connessione;
    std::unique_ptr<platform::Database> m_testimone; // of the period's baton (Stato)
    std::shared_ptr<Stato> m_stato;
};
