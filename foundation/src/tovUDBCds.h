#pragma once
// The declaration-table store: keeps any dataset of a declaration in the
// payroll archive as typed rows, keyed by program, year, month, dataset name
// and row number, in four generic tables (foundation/sql/002_declaration_store.sql):
//
//   TCDS_STRUTTURA    the stored layouts: the empty dataset, the field map to
//                     the person registry, the registry flags, the row counter
//   TCRF_CROFISCALE   the period headers (program, year, month; month null is
//                     the year level), made by the procedure PTOV_GETCROFISCALE
//   TFIS_DATIFISCALI  one row per non-empty field value of a record
//   TAFI_ANAFISCALE   the person registry
//
// Layouts come from the layout description files (tovUDBCdsLayouts.h), so a
// new declaration table or a new field needs no schema change.
//
// One store exists per run of a database program: the main window creates it
// on the global connection with the program code "zep" (zepUni and zepdb
// share their tables), the working-period dialog sets its year and month, and
// the data-entry windows, the imports and the file generator load and save
// their tables through it.
//
// A dataset kept by the store has an integer field "iFisRigo" (the record's
// row number; required for saving) and, when its records belong to registry
// persons, an integer field "iAfiID". A loaded dataset holds the stored
// records as unchanged records and carries the provider name "UtilProvider",
// which Save requires.
//
// Transactions. Save runs in the caller's transaction when the connection is
// in one (the imports' one transaction per person) and then neither commits
// nor rolls back; otherwise it runs in a transaction of its own, committed
// when the whole save succeeded. A successful save merges the dataset's change
// log. So when a caller rolls back its own transaction around a save that
// succeeded, the dataset in memory is STALE: it holds as saved what the
// database no longer has (new row numbers and registry ids included). Reload
// the dataset after such a rollback before saving it again.
//
// A failing save (no layout, a statement error, a record that cannot be
// written) rolls back its own transaction, discards the dataset's pending
// changes, so the dataset is back at its last saved state (unless the caller
// asks to keep them: TCdsSaveFailure), and raises the error; the row counter
// is unchanged in the database. Two cases are refused
// before the save begins, with nothing changed: an edit in progress that
// cannot be posted (it stays in edit) and a dataset the store did not load.
// A text the columns would cut or change (tovUDBCdsLimits.h) is refused
// before anything is written, as a failing save.
//
// Single-threaded: one store serves the user-interface thread. Two program
// instances saving the same layout at once get distinct row numbers: a save
// reserves the numbers it needs by raising the layout's counter in its own
// transaction (the counter row stays locked until that transaction ends).
#include "DataSet.h"
#include "Value.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <exception>
#include <memory>

namespace platform {
class Database;
class SqlQuery;
} // namespace platform
class TTovDBCdsImportazione;
class TUqTransaction;

// One entry of a field map: a registry column and what fills it, a dataset
// field or several joined by "+" (a composite).
struct TCdsFieldMapEntry {
    QString column; // the registry column, upper-cased ("SAFICOGNOME")
    QString value;  // the text after "=", as stored ("Matricola+Qualifica2")
    bool isComposite() const { return value.contains(QLatin1Char('+')); }
    // The field names of the value ("Matricola", "Qualifica2").
    QStringList parts() const;
};

// The storage parameters of a layout, read from its TCDS_STRUTTURA row.
struct TCdsParameters {
    int CdsId = 0;                    // ICDSID
    int Rigo = 0;                     // ICDSRIGO, the row counter
    bool Anagrafica = false;          // LCDSANAGRAFICA = 1: the dataset owns its registry rows
    bool FMapReadOnly = false;        // LCDSFMAPREADONLY = 1: the registry is never updated from it
    QStringList FieldMap;             // the entries of SCDSFIELDMAP ("saficognome=Cognome", ...)
    QList<TCdsFieldMapEntry> Entries; // the same, parsed

    // The registry columns a field map may name: the person columns of
    // TAFI_ANAFISCALE.
    static const QStringList RegistryColumns;

    // Splits a stored field map at ";" (blank entries skipped) and parses
    // each entry. An entry without "=", with an empty side, or naming a
    // column that is not a person column of the registry raises EUqError
    // naming the dataset and the entry: column names reach the statements'
    // text, so nothing else is let through.
    void SetFieldMap(const QString &text, const QString &dataSetName);
    // The entry of a registry column (compared without regard to case), or
    // nullptr.
    const TCdsFieldMapEntry *EntryOf(const QString &column) const;
    // Whether the field is never written as value rows: "iAfiID", "iFisRigo",
    // and a field whose name is the whole value or the column of an entry.
    bool IsRegistryField(const QString &fieldName) const;
};

// What a failing save does with the dataset's pending changes: discard them
// (the dataset is back at its last saved state) or keep them pending, so
// that a later save tries them again (the data-entry windows).
enum class TCdsSaveFailure { DiscardChanges, KeepChanges };

// What the programs need of a declaration-table store: the working period,
// and the load and save of a period's table. The store in the payroll
// archive (TTovDBCds) is one; a program that keeps its tables in local files
// of its own has another. Rules and windows take this.
class ITovDBCds {
public:
    virtual ~ITovDBCds();

    // The program whose tables these are ("zep": zepUni and zepdb share
    // theirs).
    virtual const QString &Program() const = 0;
    // The current period: a calendar year (2024) and a month 1 to 12, 0 for
    // the year level.
    virtual void SetYear(int year) = 0;
    virtual void SetMonth(int month) = 0;
    virtual int Year() const = 0;
    virtual int Month() const = 0;

    // LoadPeriod for the current year and month.
    void Load(platform::DataSet &dataSet, const QString &name) { LoadPeriod(dataSet, name, Year(), Month()); }
    // Replaces the dataset's layout and content by the stored ones of the
    // period (month 0 the year level, month -1 every month of the year); a
    // period never saved loads empty. An unknown name raises "Impossibile
    // trovare il ClientDataSet (%s)." and leaves the dataset closed.
    virtual void LoadPeriod(platform::DataSet &dataSet, const QString &name, int year, int month) = 0;
    // Loads only the empty layout of the table for the period.
    virtual void LoadStructure(platform::DataSet &dataSet, const QString &name, int year, int month) = 0;

    // SavePeriod for the current year and month.
    void Save(platform::DataSet &dataSet, const QString &name,
              TCdsSaveFailure onFailure = TCdsSaveFailure::DiscardChanges)
    {
        SavePeriod(dataSet, name, Year(), Month(), onFailure);
    }
    // Writes every pending change of the dataset as the period's; a failure
    // leaves the stored table as it was and raises the error.
    virtual void SavePeriod(platform::DataSet &dataSet, const QString &name, int year, int month,
                            TCdsSaveFailure onFailure = TCdsSaveFailure::DiscardChanges) = 0;

    // The import of the period's tables, held by one workstation at a time
    // (tovUDBCdsImportazione.h), not taken yet; none (the default) where no
    // other workstation writes them.
    virtual std::unique_ptr<TTovDBCdsImportazione> Importazione(int year, int month);

    // ---- units of writes ----
    // The saves of a unit (one person of an import: its rows in every table
    // it writes) are kept or dropped together, in step with the caller's
    // transaction on the archive, whatever the store keeps its tables in:
    //
    //   BeginUnit()   the unit begins, its transaction started
    //   SavePeriod()  its saves, of any table, any number of times
    //   CommitUnit()  the unit is whole, right before the caller commits;
    //                 a failure raises, and the caller then drops the unit
    //   DropUnit()    the unit failed, before or after CommitUnit (the
    //                 caller's own commit failing): the stored tables are
    //                 as before BeginUnit once the caller has rolled back
    //                 (again: nothing). The caller's datasets are its own
    //                 to put back.
    //   EndUnits()    the run of units is over: what the store kept aside
    //                 for them is in its tables for every reader
    //
    // A save outside a unit is written at once, as described above; the
    // next BeginUnit ends a committed unit for good.
    virtual void BeginUnit() = 0;
    virtual void CommitUnit() = 0;
    virtual void DropUnit() = 0;
    virtual void EndUnits() = 0;
};

class TTovDBCds : public ITovDBCds {
public:
    // The record's row number and the registry id of its person (see the top
    // of this file).
    static inline const QString FieldRigo = QStringLiteral("iFisRigo");
    static inline const QString FieldAfi = QStringLiteral("iAfiID");

    TTovDBCds();
    ~TTovDBCds() override;
    TTovDBCds(const TTovDBCds &) = delete;
    TTovDBCds &operator=(const TTovDBCds &) = delete;

    // The connection every statement runs on (not owned).
    // The statements kept from the last save go with the old connection.
    void SetConnection(platform::Database *connection);
    platform::Database *Connection() const { return m_connection; }
    void SetProgram(const QString &program) { m_program = program; }
    const QString &Program() const override { return m_program; }
    void SetYear(int year) override { m_year = year; }
    void SetMonth(int month) override { m_month = month; }
    int Year() const override { return m_year; }
    int Month() const override { return m_month; }
    // The period of the program on the store's connection.
    std::unique_ptr<TTovDBCdsImportazione> Importazione(int year, int month) override;

    // A unit's saves run in the caller's transaction (see the top of this
    // file): its commit and its rollback are the unit's, so nothing is kept
    // aside.
    void BeginUnit() override {}
    void CommitUnit() override {}
    void DropUnit() override {}
    void EndUnits() override {}

    // zepdb reports a failing save as "Dati modificati da un altro utente. ("
    // CR LF message ")"; the other programs report the error as it is.
    void SetReportSaveErrorAsConcurrentChange(bool on) { m_concurrentChangeText = on; }

    // The period's layout is the latest whose first (year, month) is not
    // after the period, and no header is made by a load. While loading, the
    // dataset's controls are disabled, its events cleared, the SQL-wait
    // cursor and the wait form shown; all of that is put back on every
    // path, errors included.
    void LoadPeriod(platform::DataSet &dataSet, const QString &name, int year, int month) override;
    void LoadStructure(platform::DataSet &dataSet, const QString &name, int year, int month) override;

    // Month 0 files the records under the year level. New records get their
    // row numbers and registry ids in "iFisRigo" and "iAfiID". See the top
    // of this file for transactions and failures; `onFailure` KeepChanges
    // leaves the pending changes of a failing save in the dataset instead of
    // discarding them.
    void SavePeriod(platform::DataSet &dataSet, const QString &name, int year, int month,
                    TCdsSaveFailure onFailure = TCdsSaveFailure::DiscardChanges) override;

    // How many times a save retries the reservation of its row numbers after
    // an update conflict with another program's save (own transaction only).
    static constexpr int ReservationAttempts = 20;
    // How many reservations this store had to try again so far (for the
    // tests and the logs: it tells that two saves met).
    int ReservationRetries() const { return m_reservationRetries; }

private:
    struct SaveStatements;

    // Finds the layout of the name for the period and fills the parameters;
    // with a dataset, loads the empty layout into it.
    void ReadStructure(platform::DataSet *dataSet, const QString &name, TCdsParameters &params, int year, int month);
    // Builds the stored records of the layout under the period headers
    // into the dataset (nothing when there are none).
    void FillDataSet(platform::DataSet &dataSet, const QList<int> &headers, const TCdsParameters &params);

    // The update hook: called for each pending change of the dataset.
    void ProviderBeforeUpdateRecord(platform::DeltaRecord &delta);
    // The update-error path: rolls back the own transaction, records the
    // error.
    void ProviderUpdateError(const QString &message);
    // `stored`: a modified record, whose stored rows are replaced.
    void WriteRecord(platform::DeltaRecord &delta, int rowNumber, bool stored);
    int FindRegistry(const QString &fiscalCode, const QString &groupKey);
    // A new registry id from the save's reserved block, reserving the next
    // block when it is used up.
    int NextRegistryId();
    // Updates the registry row from the record, or inserts it with the
    // record's person when `newRowHeader` (its period header) is given.
    void WriteRegistry(platform::DeltaRecord &delta, int registryId, int newRowHeader);
    // `linked`: the record names a registry row it did not make (given to
    // it, found or stored), so it is kept even when that is all it holds.
    void WriteValues(platform::DeltaRecord &delta, int rowNumber, int registryId, int headerId, bool stored,
                     bool linked);
    // Brings a stored record's rows to `values` (by the fields written as
    // value rows; unassigned: no row) row by row when few differ; false,
    // with nothing written, when more than a few do.
    bool RewriteChangedRows(int rowNumber, const platform::ValueList &values, bool marker, int headerId,
                            const platform::Value &registryId);
    void InsertValue(int column, const QString &fieldName, const platform::Value &value, int rowNumber, int headerId,
                     const platform::Value &registryId);
    // Deletes every value row of a record.
    void DeleteValues(int rowNumber);

    int PeriodHeader();
    // Raises the layout's row counter by `count` in the save's transaction
    // and returns the first number reserved.
    int ReserveRowNumbers(int count);
    QString CompositeValue(const platform::DeltaRecord &delta, const TCdsFieldMapEntry &entry) const;

    // ---- the save in progress ----
    TCdsParameters m_params;
    int m_saveYear = 0;
    int m_saveMonth = 0;
    TUqTransaction *m_transaction = nullptr; // the own transaction, when there is one
    bool m_updateError = false;
    QString m_errorMessage;
    int m_nextRow = 0;            // the next reserved row number
    int m_lastRow = 0;            // the last reserved row number
    int m_headerId = 0;           // the period header, once asked for
    int m_nextRegistryId = 0;     // the next reserved registry id (0: none reserved)
    int m_lastRegistryId = 0;     // the last reserved registry id
    int m_registryCandidates = 0; // records still to write that may need a registry row
    int m_registryBlock = 0;      // the size of the next block of registry ids
    static constexpr int FirstRegistryBlock = 16;
    static constexpr int LastRegistryBlock = 4096;
    std::unique_ptr<SaveStatements> m_statements;

    // ---- the store ----
    int m_year = 0;
    QString m_program;
    platform::Database *m_connection = nullptr;
    int m_month = 0;
    bool m_showWait = true;
    bool m_concurrentChangeText = false;
    int m_reservationRetries = 0;
};
