#pragma once
// The rules of the public-sector (ex DMA) enrolled-person window, without
// any display: the person row (section D0) with its lock, the pay sections
// E0 and V1 with their paying entities, the pension-fund section E1, and the
// current person that links new section rows to their D0 row.
//
// Every row of a section or paying-entity table names its person by the
// D0 row's registry id (IAFIID); a paying entity names its section row by
// ORDINE as well. So deleting a person deletes its section and paying-entity
// rows with it, and deleting a section row its paying entities: left
// behind, they would attach to whoever later gets the same id or ORDINE.
#include <QDate>
#include <QList>
#include <QString>

namespace platform {
class DataSet;
}

class TZepDma {
public:
    // The tables.
    static const QString TabellaD0;   // "TD0_ANAG"
    static const QString TabellaE0;   // "TE0_RETR"
    static const QString TabellaV1;   // "TV1_RETR"
    static const QString TabellaE1;   // "TE1_FONDIPENSIONE"
    static const QString TabellaEvE0; // "TEV_ENTEVERSANTEE0"
    static const QString TabellaEvV1; // "TEV_ENTEVERSANTEV1"

    // Fields.
    static const QString CampoIscritto;      // "IAFIID"
    static const QString CampoOrdine;        // "ORDINE"
    static const QString CampoStato;         // "ISTATO"
    static const QString CampoCodiceFiscale; // "CF_D0001001_CODFIS"
    static const QString CampoCognome;       // "AN_D0001002_COGNOME"
    static const QString CampoNome;          // "AN_D0001003_NOME"
    static const QString CampoContratto;     // "Contratto", computed
    static const QString IndiceIscritti;     // "AN_D0001002_COGNOME;AN_D0001003_NOME"

    // Messages, letter for letter.
    static const QString MsgSenzaAnagrafica;    // "Impossibile salvare il quadro %s senza i dati anagrafici."
    static const QString MsgTuttiICampi;        // "Tutti i campi devono essere impostati."
    static const QString MsgAnnoMeseErogazione; // "Anno e mese di erogazione non impostato correttamente (AAAA-MM)."
    static const QString MsgSalvarePrimaDiCambiarePagina; // "Salvare i dati prima di cambiare pagina."
    static const QString MsgCancellaStampato; // "IL MODELLO E' GIA STATO STAMPATO. Confermi la cancellazione?"
    static const QString MsgCancellaQuadro;   // "Confermi la cancellazione del quadro %s ?"
    static const QString MsgCancellaVersante; // "Confermi la cancellazione del versante ?"
    static const QString MsgSblocca;          // "Il modello è gia stato %s, si desidera modificarlo?"
    // A paying entity with no section row to belong to.
    static const QString MsgVersanteSenzaQuadro;

    // The current person: the IAFIID of the person row last shown or saved
    // in the window (0: none), with its fiscal code, which new section rows
    // repeat.
    static int IscrittoCorrente();
    static QString CodiceFiscaleCorrente();
    static void SetIscrittoCorrente(int iafiid, const QString &codiceFiscale = {});

    // ---- D0 ----
    // A new person row: the three flags "0".
    static void NuovoIscritto(platform::DataSet &d0);
    // Before the post of a person row (after the base frame's check): a
    // new row needs its fiscal code ("Codice fiscale obbligatorio") and
    // gets the working year and month; every row's code must be a valid one
    // and its texts of characters the file can carry
    // (TZepTabellaDenuncia::ControllaRiga).
    static void ControllaIscritto(platform::DataSet &d0);
    // The lock of the current person row: its ISTATO (0 open, 1 printed,
    // above 1 sent).
    static int Blocco(const platform::DataSet &d0);
    // The delete question for the current person row.
    static QString DomandaCancellazione(const platform::DataSet &d0);
    // The unlock question for a lock.
    static QString DomandaSblocco(int blocco);
    // The filter of a person's rows: "IAFIID=%d".
    static QString FiltroIscritto(int iafiid);
    // Deletes every row of the person from each dataset (filters and
    // order left as they were). Returns how many rows went per dataset.
    static QList<int> CancellaRigheIscritto(int iafiid, const QList<platform::DataSet *> &tabelle);

    // ---- sections ----
    // After a section table is loaded: the computed "Contratto" (E0 and
    // V1: sector followed by sub-sector) is added, and every decimal field
    // gets the formats "#.00" / "#,##0.00".
    static void PreparaQuadro(platform::DataSet &quadro, const QString &sezione);
    // Typing into "Contratto": the sector takes characters 1-2, the
    // sub-sector 3-4.
    static void ImpostaContratto(platform::DataSet &quadro, const QString &sezione, const QString &contratto);
    // The ORDINE of a new row: the next one over the whole table, whatever
    // the filter shows.
    static int ProssimoOrdine(const platform::DataSet &quadro);
    // Before the post of a section row, once the check dialog agreed: the
    // management codes (E0, V1), the current person required, and on
    // insert the person, year, month, fiscal code and ORDINE (E0, V1).
    static void ControllaQuadro(platform::DataSet &quadro, const QString &sezione, int ordine);
    // New E1 row: fund "2145", both check boxes "0".
    static void NuovoE1(platform::DataSet &e1);
    // The page "Motivo utilizzo" of V1 is meant for the variation cause 7
    // only (the text of its box, exactly "7").
    static bool MotivoUtilizzoAttivo(const QString &causale);

    // ---- paying entities ----
    // "IAFIID=%d AND ORDINE=%d".
    static QString FiltroVersanti(int iafiid, int ordine);
    // Before a paying entity is inserted: its section row must have an
    // ORDINE (EUqError MsgVersanteSenzaQuadro).
    static void ControllaNuovoVersante(int ordine);
    // Before the post of a paying entity (after the base frame's check).
    static void ControllaVersante(platform::DataSet &versanti, bool v1, int ordine);
    // The payment month offered when the cell holds no valid one: the V1
    // row's start date minus one month, or, without it, the working month
    // minus two, as "yyyy-mm".
    static QString AnnoMeseErogazionePredefinito(const QDate &inizioV1);
    // Deletes the paying entities of one section row.
    static int CancellaVersanti(platform::DataSet &versanti, int iafiid, int ordine);
};
