#pragma once
// The rules of the person choice "Scelta dipendenti" (the window
// TfmwunAnaMultiSelect of wunFAnaMultiSelect stands on them): the candidate
// list, the person codes shown in its "Codice" column, the order of each
// grid column, the three filter lists and the filter they make. The window
// shows the list in its grid and calls these; the per-person import loop
// (WunCFiscImpMultiSelect.h) derives from this class.
//
// Candidate columns relied on: CODICE (integer, filled here from
// SANACAGCODE), SANACAGCODE, SANACOGNOMENOME, IACOMID or IANAID, the
// category columns ICALNUBRACODE, ITNONUBRACODE, IQARNUBRACODE and, for the
// in-service filter, ISTABID.
#include "Enumeration.h"
#include "UqQueryCollection.h"

#include <QList>
#include <QPair>
#include <QString>

namespace platform {
class Database;
} // namespace platform

class TwunAnaMultiSelect {
public:
    static const QString Titolo; // "Scelta dipendenti"
    static const QString Tutte;  // "(Tutte)", the filter item that filters nothing

    // A column of the candidate grid.
    struct Colonna {
        QString campo;
        QString titolo;
        int larghezza = 0;
    };
    // "Codice" (CODICE, 43), "Dipendente" (SANACOGNOMENOME, 290), "Cat."
    // (ICALNUBRACODE, 30), "P.g." (ITNONUBRACODE, 30), "Qual."
    // (IQARNUBRACODE, 30).
    static const QList<Colonna> &Colonne();

    // A filter list: the candidate column it filters, its label and the
    // statement of its (text, id) items.
    struct Filtro {
        QString campo;
        QString etichetta;
        QString statement;
    };
    // "Categoria" (ICALNUBRACODE, QRY_CAL_FILTRO), "Pos.Giur."
    // (ITNONUBRACODE, QRY_TNO_FILTRO), "Qualifica" (IQARNUBRACODE,
    // QRY_QAR_FILTRO).
    static const QList<Filtro> &Filtri();

    // On `connessione`, or on the global connection (the payroll one).
    explicit TwunAnaMultiSelect(platform::Database *connessione = nullptr);
    virtual ~TwunAnaMultiSelect();
    TwunAnaMultiSelect(const TwunAnaMultiSelect &) = delete;
    TwunAnaMultiSelect &operator=(const TwunAnaMultiSelect &) = delete;

    platform::Database &Connessione() const { return *m_connessione; }

    // The candidates; every row is read at once.
    TUqQueryCollection xqcMultiSelect;

    // Opens the candidate list on the statement it holds: every field's
    // required flag is cleared (the codes are written into the rows), the
    // list is indexed on SANACOGNOMENOME and ImpostaCodici runs.
    void ApriElenco();

    // The order a click on a column's title gives: CODICE, SANACOGNOMENOME,
    // a category column followed by SANACOGNOMENOME; any other column its
    // own field.
    static QString OrdineColonna(const QString &campo);

    // The items of a filter list: "(Tutte)" with id 0, then the
    // statement's pairs in its order.
    platform::EnumItems VociFiltro(const QString &statement) const;

    // The filter of the lists' chosen ids (by candidate column, 0 for
    // "(Tutte)") and of the in-service box: "FIELD=id" for each id that is
    // not 0, "ISTABID=1" in service, joined by " AND ", then CompletaFiltro.
    // The list is filtered by the text, or unfiltered when it is empty, with
    // its controls disabled; the text is returned. The window clears its
    // selection, so the count shows every row of the new filter.
    QString ApplicaFiltro(const QList<QPair<QString, qint64>> &scelte, bool inServizio);

    // The search typed in the grid: in the CODICE column the value is
    // located exactly (a person code is a number, not a text to complete)
    // and true is answered; in any other column false (the grid's own
    // search runs).
    bool CercaValore(const QString &campo, const QString &testo);

    // ---- virtual operations, in order ----
    // Fills CODICE from SANACAGCODE (a positive integer; anything else
    // leaves it empty) and indexes the list on IACOMID, or IANAID when it
    // has no IACOMID.
    virtual void ImpostaCodici(platform::DataSet &dataSet);
    // Adds conditions of a subclass to the filter text; base: none.
    virtual void CompletaFiltro(QString &filtro);

private:
    platform::Database *m_connessione;
};
