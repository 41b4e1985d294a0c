#pragma once
// The rules of the payroll's browse-and-edit frames (TfrWunDBES): one query
// collection of the payroll archive, written to the archive after every post
// and every delete, with a readable refusal when the archive says no; the
// delete confirmation; the duplicate of a row; the search statement of a
// frame's search dialog; new ids; the text rules of numeric and image
// columns.
//
// Saving: a post or a delete applies the collection's changes at once. A
// change the archive refuses raises EUqError:
// - a delete: every pending change is cancelled (the row is back) and the
//   text is MessaggioDatiCorrelati(), two line breaks and the archive's
//   message;
// - an insert or a change: the row goes back into edit with its values and
//   the text is the archive's message; until the row is posted again (and
//   accepted) or cancelled, moving to another row raises it again.
//
// The collection's events are the object's: a subclass overrides the
// xqcMain... operations and calls the base first where it says so.
#include "DataSet.h"
#include "DataSource.h"
#include "UqQueryCollection.h"

#include <QString>

class TWunDBES {
public:
    // "Impossibile eseguire la cancellazione in quanto esistono dati correlati:"
    static const QString MsgDatiCorrelati;

    // On `database` (the global connection when none is given).
    explicit TWunDBES(platform::Database *database = nullptr);
    virtual ~TWunDBES();
    TWunDBES(const TWunDBES &) = delete;
    TWunDBES &operator=(const TWunDBES &) = delete;

    TUqQueryCollection xqcMain;
    platform::DataSource dsMain;

    // ---- the frame's virtual operations ----
    // Duplicated: a field shown that is written on update.
    virtual bool CampoDaDuplicare(const platform::Field &campo) const;
    // Posts a pending edit, then copies the current row's duplicable fields
    // into the next row (or, with DuplicaComeNuovo, into a new row), which
    // is left in edit. On the last row (and not as new) nothing happens.
    virtual void Duplica();
    virtual bool DuplicaComeNuovo() const { return false; }
    virtual QString MessaggioDatiCorrelati() const { return MsgDatiCorrelati; }
    // Reopens xqcMain with the integer parameter changed (unless not forced
    // and the collection already stands on that value).
    virtual void ApriPerParametro(const QString &nome, int valore, bool forza);
    virtual void ChiudiDati();

    // ---- searching ----
    // The text of a search statement for the search dialog: cut at its own
    // ORDER BY (the statement's, not one of a subquery or a quoted text),
    // then at "WHERE ##WHERE##", then " ORDER BY ##ORDERBY##" appended; the
    // dialog puts its condition and order there.
    static QString TestoCerca(const QString &testo);

    // ---- ids ----
    // The next id of the table's generator on xqcMain's connection.
    int NuovoId(const QString &tabella) const;
    // For an insert, the row's first field gets a new id of xqcMain's table
    // (TableName) as its new value; other kinds are left alone.
    void AssegnaIdInserimento(platform::UpdateKind tipo, platform::DeltaRecord &riga) const;
    // Every field of the dataset gets the flags and stops being required;
    // then the first field gets InUpdate and InWhere. Returns the first
    // field (nullptr for a dataset without fields).
    static platform::Field *ImpostaFlagAggiornamento(platform::DataSet &dataSet, platform::ProviderFlags flags);

    // ---- text rules of columns (Field::setOnGetText) ----
    // Empty for 0, else the value in the field's display format.
    static QString TestoNumero(const platform::Field &campo, bool display);
    // Always empty (columns drawn as images).
    static QString TestoVuoto(const platform::Field &campo, bool display);

    // ---- saving ----
    // The archive's message of the change last refused (empty: none).
    const QString &UltimoErrore() const { return m_errore; }
    platform::UpdateKind TipoErrore() const { return m_tipoErrore; }
    bool SalvataggioSospeso() const { return m_sospeso > 0; }
    // While a Sospensione lives, posts, deletes and cancels write nothing
    // and the period's checks of a subclass stay quiet (rows filled by the
    // program itself).
    class Sospensione {
    public:
        explicit Sospensione(TWunDBES &dbes) : m_dbes(dbes) { ++m_dbes.m_sospeso; }
        ~Sospensione() { --m_dbes.m_sospeso; }
        Sospensione(const Sospensione &) = delete;
        Sospensione &operator=(const Sospensione &) = delete;

    private:
        TWunDBES &m_dbes;
    };
    // Applies the collection's pending changes (see above).
    void Salva();

    // ---- the collection's events ----
    virtual void xqcMainAfterOpen(platform::DataSet &) {}
    virtual void xqcMainBeforeInsert(platform::DataSet &) {}
    virtual void xqcMainNewRecord(platform::DataSet &) {}
    virtual void xqcMainBeforePost(platform::DataSet &) {}
    // Saves.
    virtual void xqcMainAfterPost(platform::DataSet &dataSet);
    // The framework's delete confirmation (Yes and No, No the default);
    // anything but Yes aborts silently.
    virtual void xqcMainBeforeDelete(platform::DataSet &dataSet);
    // Saves.
    virtual void xqcMainAfterDelete(platform::DataSet &dataSet);
    // Drops the refusal kept and every pending change.
    virtual void xqcMainAfterCancel(platform::DataSet &dataSet);
    // Raises the refusal kept again.
    virtual void xqcMainBeforeScroll(platform::DataSet &dataSet);
    void xqcMainReconcileError(const platform::DeltaRecord &riga, platform::UpdateKind tipo, const QString &messaggio);

private:
    QString m_errore;
    platform::UpdateKind m_tipoErrore = platform::UpdateKind::Modify;
    platform::Bookmark m_rigaErrore;
    int m_sospeso = 0;
};
