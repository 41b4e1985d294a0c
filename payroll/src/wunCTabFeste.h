#pragma once
// The holiday list of the payroll archive (TFES_FESTIVITA), a year at a
// time, as the window "Elenco delle festività" edits it. The day-by-day
// calendar of a pay period reads it (QRY_DIS_FESTE): a holiday whose kind
// has the bit 2 counts for the calendar of contract type 1 (private), the
// bit 4 for every other contract type (public); Sunday is a holiday
// whatever the list says.
//
// The year's rows are the query collection xqcChiusure (date order); its
// changes are written by Salva after every row has been checked, in one
// transaction: a fault found by the checks or by the archive writes
// nothing and leaves every change pending, so that it can be put right.
#include "UqQueryCollection.h"

#include <QDate>
#include <QString>

class TWunTabFeste {
public:
    static const QString Titolo;              // "Elenco delle festività"
    static const QString MsgDataObbligatoria; // "Data della festività obbligatoria."
    static const QString MsgDataFuoriAnno;    // "La festività del %1 non è dell'anno %2."
    static const QString MsgDataDoppia;       // "Il %1 è già nell'elenco delle festività."
    static const QString MsgTipoErrato;       // "Indicare i contratti a cui si applica la festività del %1."
    static const QString MsgAnnoErrato;       // "Anno non valido: %1."
    static const QString MsgDescrizioneLunga; // "La descrizione ha %1 caratteri: al massimo %2."

    // The kinds of a holiday (IFESTIPO): the calendars it counts for.
    static constexpr int TipoPrivati = 2;
    static constexpr int TipoPubblici = 4;
    static constexpr int TipoTutti = TipoPrivati | TipoPubblici;

    // On `database` (the global connection when null); the statements of
    // the catalogue's "QRY_TAB_FESTE".
    explicit TWunTabFeste(platform::Database *database = nullptr);

    TUqQueryCollection xqcChiusure;

    // Reads the holidays of `anno` (1900 to 2999, else MsgAnnoErrato as
    // EUqError), dropping changes not saved.
    void Apri(int anno);
    int Anno() const { return m_anno; }

    // A record being edited or changes not written yet.
    bool Modificato() const;
    // Posts the record being edited, checks every row (the first fault as
    // ETovWarning, naming the date) and writes the changes; returns the
    // number of rows written.
    int Salva();
    // Drops the record being edited and every change not written.
    void Annulla();

    // The fault of a description typed for a holiday (longer than the
    // archive keeps), empty when none: the window refuses it as typed.
    QString ControllaDescrizione(const QString &testo) const;

    // The first fault of the rows, empty when none.
    QString Controlla();

private:
    void NuovaFestivita(platform::DataSet &dataSet);

    int m_anno = 0;
};
