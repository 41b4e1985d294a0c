#pragma once
// The framework's editable query dataset: an in-memory dataset filled by a
// SELECT (its command text, with its parameters) and written back through
// lists of INSERT, UPDATE and DELETE statements that apply its change log.
//
//     TUqQueryCollection xqc(&db);
//     xqc.SetSelectSQL("SELECT * FROM TSED_SEDI WHERE IDWGID = :IDWGID");
//     xqc.params().paramByName("IDWGID").setValue(7);
//     xqc.Open();
//     ... edit, insert, delete ...
//     xqc.ApplyUpdates();
//
// Applying: every pending change, in the order the records were first
// changed, runs the statements of its kind in list order. A statement's
// parameters are bound by name:
//   :NAME      the field NAME of the record: its new value, else its old one
//              (a deleted record: the old value);
//   :OLD_NAME  the old value of the field NAME (the value the row had when
//              it was read: the key of an UPDATE or DELETE whose key may be
//              edited);
//   otherwise  the collection's parameter of that name (IANFID, ...).
// A name that is none of these raises EDatabaseError. Nulls are bound
// typed by the field's type. BeforeUpdateRecord may write a record by
// itself and report it applied (its statements are then skipped), and may
// give fields new values (DeltaRecord::setNewValue: a new id) that are
// written back into the records when the apply succeeds.
//
// The apply runs in the connection's transaction when one is active (the
// caller commits or rolls back); otherwise in one of its own, committed at
// the end or rolled back at the first error. On success the change log is
// merged and AfterExec runs. At the first error the dataset keeps all its
// pending changes; OnReconcileError, when set, is told the record, the kind
// and the database's message and ApplyUpdates returns 1; without a handler
// the error is raised as EDatabaseError.
#include "DataSet.h"
#include "Database.h"

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <functional>

class TUqQueryCollection : public platform::DataSet {
public:
    // On `database`, or on the global connection when none is given.
    explicit TUqQueryCollection(platform::Database *database = nullptr, const QString &name = {});

    platform::Database &Connection() const;
    void SetConnection(platform::Database *database) { m_db = database; }

    // Sets the SELECT (the command text) and rebuilds the parameters from
    // it; values of parameters whose name stays are kept.
    void SetSelectSQL(const QString &sql);
    const QString &SelectSQL() const { return commandText(); }
    QStringList InsertSQL;
    QStringList UpdateSQL;
    QStringList DeleteSQL;

    // The table whose generator gives new ids (NewId).
    QString TableName;
    qint64 NewId() const;

    // Rows fetched per packet in the framework; all rows are always read at
    // once here, the value is kept for callers that set it.
    int PacketRecords = -1;

    // Runs the SELECT and loads its rows (structure from the result, no
    // change log), firing beforeOpen and afterOpen.
    void Open();
    // Runs the SELECT again, keeping the cursor on the same row number.
    void Requery();

    // See above. Returns the number of errors (0 or 1).
    int ApplyUpdates();

    // Hooks.
    std::function<void(platform::DeltaRecord &record, platform::UpdateKind kind, bool &applied)> BeforeUpdateRecord;
    std::function<void(const platform::DeltaRecord &record, platform::UpdateKind kind, const QString &message)>
        OnReconcileError;
    std::function<void(TUqQueryCollection &collection)> AfterExec;

    // Runs one statement for a record, parameters bound as above (for
    // BeforeUpdateRecord handlers that write by hand).
    void ExecuteFor(const QString &sql, const platform::DeltaRecord &record) const;

private:
    platform::Database *m_db;
};

// Windows hand their query collections to the programs as properties.
Q_DECLARE_METATYPE(TUqQueryCollection *)
