#pragma once
// What the data-entry windows of the declaration tables (employees,
// collaborators, declarant, performing-arts workers) share, without any
// display: the whole table of the working period loaded into the frame's
// dataset and written back after every post and every delete, the checks
// and defaults of a person row, the delete question, the rows marked for
// deletion, the code-table lookups and the grid columns.
//
// Saving keeps the dataset's pending changes when the archive refuses them:
// the archive's reason reaches the user, the rows stay unsaved in the
// window and the next save (after the next post or delete) tries them again.
#include "DataSet.h"

#include <QList>
#include <QString>

class IZepMainState;
class ITovDBCds;

// A lookup of a detail-page field: the code table offered by the search
// window (a file of the program's "Tabelle" folder).
struct TZepRicerca {
    QString campo;
    QString tabella; // "TQAS_QUALASSICUR.cds"
};

// A column of the grid page: the field and its title.
struct TZepColonna {
    QString campo;
    QString titolo;
};

class TZepTabellaDenuncia {
public:
    static const QString MsgCodiceFiscale;         // "Codice fiscale obbligatorio"
    static const QString MsgNucleoFamiliare;       // "I campi del nucleo familiare devono essere ..."
    static const QString MsgConfermaCancellazione; // "Confermi la cancellazione del modello corrente?"
    // Asked when a window closes with rows the archive has refused.
    static const QString MsgChiudereSenzaSalvare; // "Le modifiche non salvate ..."
    static const QString CampoElimina;            // "Elimina"
    static const QString CampoPeriodo;            // "AnnoMeseDenuncia"
    static const QString CartellaTabelle;         // "Tabelle/", in the program's resource folder

    // A table of the working period; `annuale`: the year level (month 0 of
    // the store's year), as the declarant is kept.
    TZepTabellaDenuncia(ITovDBCds &store, const QString &nome, bool annuale = false);

    const QString &Nome() const { return m_nome; }
    ITovDBCds &Store() const { return m_store; }

    // Replaces the dataset's layout and rows by the stored table of the
    // store's period.
    void Carica(platform::DataSet &dataSet);
    // Writes the dataset's pending changes as the table of the store's
    // period. A failure raises the archive's reason and leaves the changes
    // pending in the dataset.
    void Salva(platform::DataSet &dataSet);
    // Before the window closes: rows left unsaved by a failed save are
    // written; when the archive refuses them again, its reason is shown and
    // the user chooses whether to close and lose them (No, the default,
    // keeps the window open). True when the window may close.
    bool SalvaPrimaDiChiudere(platform::DataSet &dataSet);

    // The delete question (warning, Yes and No): any answer but Yes stops
    // the delete silently (EAbort).
    static void ConfermaCancellazione();

    // Before the post of a person row: the fiscal code in `campoCodiceFiscale`
    // is required whenever the row is posted (it keys the person registry:
    // an edit must not blank it) and must be a valid one; every text of the
    // row must be one the declaration can carry (ControllaRiga); a new row
    // gets the working period.
    static void ControllaPersona(platform::DataSet &dataSet, const QString &campoCodiceFiscale);

    // What INPS's flows can carry, so that a row the file would have to
    // carry as INPS refuses it is refused here, naming the field
    // (platform::fieldMessage), instead of being written and reported as
    // done:
    // - the characters: letters, digits, blanks, the usual punctuation
    //   (every printable ASCII character) and the Italian accented letters;
    //   no emoji, no control character, no typographic quote;
    static bool CarattereAmmesso(char32_t carattere);
    // the first character of the text that is not (a surrogate pair is one
    // character), empty when there is none;
    static QString CarattereNonAmmesso(const QString &testo);
    // - a fiscal code: the 16 characters of a person's (its control
    //   character right; letters standing for digits where the form allows
    //   them), or the 11 digits of a company's or of a provisional one;
    static bool CodiceFiscaleValido(const QString &codice);
    // - the current record: every text field of characters the declaration
    //   can carry, each field of `codiciFiscali` empty or a valid code, every
    //   field of a fixed form (CAP, province, codes, years, months, periods,
    //   percentages: TZepFormeCampi) of that form. EUqError names the first
    //   field that is not.
    static void ControllaRiga(const platform::DataSet &dataSet, const QStringList &codiciFiscali);
    static const QString MsgCarattereNonAmmesso;    // "il carattere \"%1\" (%2) non può ..."
    static const QString MsgCodiceFiscaleNonValido; // "\"%1\" non è un codice fiscale valido ..."
    // The family-unit fields TipoANF, NumANF and ClasseANF are all given or
    // all absent (empty, 0, 0); otherwise EUqError MsgNucleoFamiliare.
    static void ControllaNucleoFamiliare(const platform::DataSet &dataSet);

    // Whether the row of `bookmark` is marked for deletion ("S").
    static bool DaEliminare(const platform::DataSet &dataSet, const platform::Bookmark &bookmark);

    // The code table's file in the program's "Tabelle" folder (an existing
    // file is found whatever the case of its letters).
    static QString FileTabella(IZepMainState &main, const QString &tabella);

    // Shows only the grid's columns, with their titles.
    static void ImpostaColonne(platform::DataSet &dataSet, const QList<TZepColonna> &colonne);

private:
    ITovDBCds &m_store;
    QString m_nome;
    bool m_annuale;
};
