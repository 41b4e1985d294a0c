#pragma once
// The per-person import loop: the rules of TfmwunFiscImpMultiSelect
// (WunFFiscImpMultiSelect), the base of every import from the payroll
// archive into a declaration table. It lists the persons paid in the chosen
// month, takes the user's selection and imports them one at a time, each in
// a database transaction of its own, so that an error in one person's data
// rolls back that person only and the loop goes on with the next.
//
// What importing one person means is left to the subclass; the base fixes
// the order of the steps, the selection, the transaction, the error report
// and the progress. The window (or a test) drives it:
//
//     imp.Imposta(&parametri, &sedi, testo);     // what Execute receives
//     if (imp.Prepara())                         // PreparaElenco; false: "Nessuna dato da importare!"
//         imp.Importa(righeScelte);              // the loop (OK)
//
// and learns what to show through the notifier (IwunNotificaImport):
// messages, questions, the progress of the loop and the stop request.
//
// The virtual operations a derived import overrides, in the order the loop
// meets them (see each for its contract):
//
//   PrimaDiImportare     once when the loop starts, before anything else
//   ImportaSostituto     (abstract) the declarant: once, before the persons,
//                        only when the parameter SOSTITUTO is true, outside
//                        any per-person transaction; its errors end the run
//   AggiungiSelezionato  adds the current candidate's key to the key list
//   DopoSelezione        the key list before the loop; its errors end the run
//   TabelleInMemoria     the in-memory tables a person may change (below)
//   ApriAnagrafica       first step of each person, in its transaction:
//                        ApriCompenso, then the residence (QRY_ANAABT)
//   ApriCompenso         the compensation of the candidate (QRY_CED_ACOM)
//   CampoChiave          the candidate list's key field ("IACOMID")
//   ImportaRiga          (abstract) the person's rows of the declaration
//                        tables, in its transaction after ApriAnagrafica
//   SalvaTabella         writes a table (cdsImport after every post and
//                        delete); base: the table file NomeFileTabella
//   ErroreImportazione   after a failed person, before its message
//   TabellaRipristinata  each in-memory table put back after a failed person
//   FineOperazione       once after the loop; its errors end the run
//   Cognome, Nome, Mese  the candidate's surname and name, the month
//   PreparaElenco        fills and opens the candidate list (QRY_FISC_IMP)
//   ImportazionePeriodo  the period held for the run, waited for while
//                        another workstation imports it (base: none)
//   RileggiTabelle       the tables read again once the period is taken
//
// A failed person leaves no trace: its database writes are rolled back and
// every table of TabelleInMemoria is put back to what it was before that
// person (rows it had posted are gone, rows it had deleted are back), so
// nothing half-imported is saved with the next person.
#include "import/wunCAnaMultiSelect.h"

#include "DataSet.h"
#include "Services.h"
#include "SqlQuery.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <exception>
#include <memory>

class TTovDBCdsImportazione;
class TUqQueryCollection;

// What the loop has to show and ask. The window implements it with its
// progress label and stop button; TwunNotificaServizi goes through the
// platform's message services and never stops.
class IwunNotificaImport {
public:
    virtual ~IwunNotificaImport();
    // A message box with OK: text, kind (error, warning, information) and
    // caption (empty: the kind's own).
    virtual void Messaggio(const QString &testo, platform::MessageType tipo, const QString &titolo = {}) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool Domanda(const QString &testo) = 0;
    // The person about to be imported: "SANACOGNOMENOME (n di N)", n from 1.
    virtual void Avanzamento(const QString &testo, int n, int totale) = 0;
    // Asked between two persons: true ends the run after the person just
    // imported (or rolled back). A window lets its events run here.
    virtual bool StopRichiesto() = 0;
};

class TwunNotificaServizi : public IwunNotificaImport {
public:
    void Messaggio(const QString &testo, platform::MessageType tipo, const QString &titolo = {}) override;
    bool Domanda(const QString &testo) override;
    void Avanzamento(const QString &testo, int n, int totale) override;
    bool StopRichiesto() override;
};

class TwunFiscImpMultiSelect : public TwunAnaMultiSelect {
public:
    // The replace choice of the window (rgSovraScrivi), applied by the
    // subclasses when a person's rows are already in a table.
    enum TSovrascrivi { SovrascriviSempre = 0, NonSovrascrivere = 1, ChiediConferma = 2 };
    static const QStringList VociSovrascrivi; // "Sovrascrivi sempre", "Non sovrascrivere", "Chiedi conferma"

    static const QString MsgNessunDato;         // "Nessuna dato da importare!"
    static const QString MsgControllareDati;    // "Controllare i dati del dipendente:"
    static const QString MsgSenzaCodiceFiscale; // "ATTENZIONE!!! Dipendente senza codice fiscale : "
    static const QString MsgGiaPresente;    // "Dipendente già presente in archivio, si vogliono sostituire i dati?"
    static const QString MsgFineOperazione; // "Fine operazione"
    // The reason of a person left out for want of a fiscal code: "senza
    // codice fiscale".
    static const QString MotivoSenzaCodiceFiscale;
    // The field of a declaration table's row that names the payroll person
    // it came from (the candidate's "IANAID"); tables made before it
    // existed lack it, and their rows are found by fiscal code alone.
    static const QString CampoPersona;
    // The end of a run stopped by what is no person's fault: "L'importazione
    // è stata interrotta."
    static const QString MsgInterrotta;

    // What a run did.
    struct Esito {
        int totale = 0;          // keys of the selection
        int importati = 0;       // persons committed with their rows
        int saltati = 0;         // committed without rows: their rows there already, not replaced
        int esclusi = 0;         // paid, committed without rows all the same: no fiscal code
        int falliti = 0;         // rolled back with their message, or not found in the list
        bool interrotto = false; // stopped by the user, or a transaction could not start
        // "SURNAME NAME: reason" of each person of the run left out of the
        // month, excluded or failed, in the order met.
        QStringList nonImportati;
    };

    // The payroll connection (none: the global one).
    explicit TwunFiscImpMultiSelect(platform::Database *connessione = nullptr);
    ~TwunFiscImpMultiSelect() override;

    // ---- what the window holds ----
    // The declaration table being written; its posts and deletes call
    // SalvaTabella at once.
    platform::DataSet cdsImport;
    // The declarant's table.
    platform::DataSet cdsSostituto;
    // The person's residence, compensation, and scratch lookups.
    platform::SqlQuery qquAnaAbt;
    platform::SqlQuery qquAcom;
    platform::SqlQuery qquAppoggio;
    // The replace choice (rgSovraScrivi): "Chiedi conferma" when opened.
    TSovrascrivi Sovrascrittura = ChiediConferma;
    // The table file the base SalvaTabella writes (set by a subclass that
    // keeps the inherited operation).
    QString NomeFileTabella;

    // The notifier (not owned; none: TwunNotificaServizi).
    void SetNotifica(IwunNotificaImport *notifica) { m_notifica = notifica; }
    IwunNotificaImport &Notifica();

    // ---- Execute without the window ----
    // The import parameters (IMESID, ICOTID, SOSTITUTO), the site query
    // collection and the text Execute receives (not owned).
    void Imposta(platform::DataSet *parametri, TUqQueryCollection *sedi, const QString &testo);
    platform::DataSet *Parametri() const { return m_parametri; }
    TUqQueryCollection *Sedi() const { return m_sedi; }
    const QString &Testo() const { return m_testo; }
    // PreparaElenco; an empty list shows the warning "Nessuna dato da
    // importare!" and answers false.
    bool Prepara();

    // ---- the loop (OK) ----
    // `selezione`: the grid's selected rows in the order the user selected
    // them; empty: every candidate of the (filtered) list, first to last.
    // Under the hourglass: PrimaDiImportare, the declarant when SOSTITUTO,
    // the key list (AggiungiSelezionato, DopoSelezione), then for each key
    // the candidate is located, the progress shown and the person imported
    // in a transaction of its own; between two persons a stop request ends
    // the run (saying how many were imported); then FineOperazione. A key
    // the list no longer holds is reported and skipped; a transaction that
    // cannot start is reported and ends the run (the connection is in a
    // state no later person could use either).
    Esito Importa(const QList<platform::Bookmark> &selezione = {});

    // ---- helpers of the derived imports ----
    // The candidate's phone (QRY_ATEL) and e-mail (QRY_AEMAIL); empty when
    // none.
    QString Telefono();
    QString Email();
    // False, after the error message "ATTENZIONE!!! Dipendente senza codice
    // fiscale : " + surname and name, when the fiscal code is empty: the
    // person is committed without rows and counted among those not
    // imported (Esito::esclusi, Esito::nonImportati).
    bool CodiceFiscalePresente(const QString &codiceFiscale);
    // For a person whose rows are already in a table: true when they are to
    // be replaced ("Sovrascrivi sempre", or "Chiedi conferma" answered Yes
    // to surname + " " + name + " " + " :  " + "Dipendente già presente in
    // archivio, si vogliono sostituire i dati?"); false skips the person.
    // `altriCodici`: the fiscal codes under which the rows of the same
    // payroll person stand, when not `codiceFiscale` (a code corrected in
    // the payroll since): the question names them and the current one.
    bool SostituireDati(const QStringList &altriCodici = {}, const QString &codiceFiscale = {});
    // The candidate's payroll person (IANAID; null when the list lacks it).
    platform::Value PersonaPaghe() const;
    // The row of `dataSet` in insert or edit state marked as the candidate's
    // (CampoPersona), when the table has the field.
    void SegnaPersona(platform::DataSet &dataSet) const;
    // The fiscal codes other than `codiceFiscale` of the rows of `dataSet`
    // whose CampoPersona is the candidate's payroll person and whose
    // `campoPeriodo` holds `periodo` (the order met, each once).
    QStringList AltriCodici(const platform::DataSet &dataSet, const QString &campoCodice, const QString &campoPeriodo,
                            const platform::Value &periodo, const QString &codiceFiscale) const;
    // Deletes every row of the dataset whose key fields ("F1;F2") hold the
    // values; answers how many.
    static int CancellaRighe(platform::DataSet &dataSet, const QString &campi, const platform::ValueList &valori);
    // Counts the person being imported as skipped (committed without rows).
    void SegnaSaltato() { m_saltato = true; }
    // Counts the person being imported among those not imported (committed
    // without rows though paid), for `motivo`.
    void SegnaEscluso(const QString &motivo) { m_motivoEscluso = motivo; }
    // The persons of the last run left out of the month (Esito::nonImportati),
    // for FineOperazione.
    const QStringList &NonImportati() const { return m_nonImportati; }
    // "Fine operazione", followed by the persons of the run left out of the
    // month with their reasons when there are any.
    QString TestoFineOperazione() const;

    // "Controllare i dati del dipendente:" + surname + " " + name + CR LF CR
    // LF + the error's message + the last database operation.
    QString TestoErrore(const std::exception &errore) const;

    // ---- virtual operations (see the top of this file), in order ----
    virtual void PrimaDiImportare();
    virtual void ApriCompenso();
    virtual void ApriAnagrafica();
    virtual QString CampoChiave() const;
    virtual void ImportaSostituto() = 0;
    virtual void SalvaTabella(platform::DataSet &dataSet);
    virtual void ImportaRiga() = 0;
    virtual QString Cognome() const;
    virtual QString Nome() const;
    virtual int Mese() const;
    virtual void PreparaElenco();
    virtual void ErroreImportazione(const std::exception &errore);
    // Base: a warning with TestoFineOperazione.
    virtual void FineOperazione();
    virtual void DopoSelezione(QList<int> &chiavi);
    virtual void AggiungiSelezionato(QList<int> &chiavi);
    // The in-memory tables one person's import may change; a savepoint of
    // each is taken before the person and put back when the person fails.
    // Base: cdsImport. A subclass that writes more tables per person adds them.
    virtual QList<platform::DataSet *> TabelleInMemoria();
    // A table put back after a failed person. Base: when it is cdsImport
    // and a table file is named, the file is written again (a file write
    // is not undone by the rollback). A store-kept table needs nothing.
    virtual void TabellaRipristinata(platform::DataSet &dataSet);
    // Called once a person's rows are all made, right before the person's
    // commit; a failure there fails the person. Base: nothing.
    virtual void PrimaDelCommit();
    // Whether a person is being imported (between its start and its commit
    // or its failure).
    bool PersonaInCorso() const { return m_personaInCorso; }
    // The period of the declaration tables the run writes, held by one
    // workstation at a time (tovUDBCdsImportazione.h), and the year level of
    // the declarant the run's declarant step writes; none (the base): tables
    // no other workstation writes (files). The run takes the first before
    // anything else (renewing it between persons; taken from it meanwhile,
    // the run stops), the second for the declarant step; while another
    // workstation holds one it says so, then waits, showing it in the
    // progress, until the period is free or the user stops (nothing
    // imported then).
    virtual std::unique_ptr<TTovDBCdsImportazione> ImportazionePeriodo();
    virtual std::unique_ptr<TTovDBCdsImportazione> ImportazioneDichiarante();
    // Once the period is taken: the tables a run keeps in memory are
    // closed, so that they are read again with what another workstation
    // wrote meanwhile. Base: every table of TabelleInMemoria and the
    // declarant's.
    virtual void RileggiTabelle();

    // How many times a person is imported in all when another connection's
    // concurrent write refuses the person's (a conflict, or a duplicate of a
    // row written meanwhile): each time after a rollback and the tables put
    // back. The last refusal ends the run with its message, the person not
    // blamed, as a right the archive's user lacks does at once; the
    // person's own data (any other refusal) fails that person alone.
    static constexpr int TentativiConflitto = 10;

protected:
    enum class EsitoPersona { Importato, Saltato, Escluso, Fallito, NonAvviato };
    // One person: snapshot, transaction, ApriAnagrafica, ImportaRiga,
    // commit; on an error the rollback, the tables put back and the message;
    // on a concurrent write's refusal the same, then the person again.
    EsitoPersona ImportaPersona();
    // The period taken, or false after the user or a termination signal
    // gave up waiting for it (told so).
    bool AttendiPeriodo(TTovDBCdsImportazione &periodo);

private:
    struct Copia;
    std::vector<Copia> CopiaTabelle();
    void Ripristina(std::vector<Copia> &copie);
    // The list's row of each key (its index in the list's order), and the
    // move to a key's row through them, or by a search.
    QHash<int, int> RigheDelleChiavi() const;
    bool VaiAllaRiga(const QHash<int, int> &righe, int chiave);

    TwunNotificaServizi m_notificaServizi;
    IwunNotificaImport *m_notifica = nullptr;
    platform::DataSet *m_parametri = nullptr;
    TUqQueryCollection *m_sedi = nullptr;
    QString m_testo;
    bool m_saltato = false;
    QString m_motivoEscluso; // of the person in progress: excluded, or why it failed
    QStringList m_nonImportati;
    bool m_personaInCorso = false;
};
