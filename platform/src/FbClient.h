#pragma once
// The Firebird client library's own object API (firebird/Interface.h, library
// libfbclient), in the few shapes the SQL layer needs: an attachment, its
// transactions, and statements prepared once and executed in whichever
// transaction of the attachment is current. Database, SqlQuery and
// DatabaseCreator are its only users; nothing of the engine's headers leaks
// out of FbClient.cpp.
//
// Failures raise EDatabaseError with what happened and what to do in Italian,
// then the engine's own words (the lines of its status vector joined by
// " - "), and the cause its error codes tell (EDatabaseError::Cause).
//
// Values travel as platform::Value. Parameters are sent in a message of our
// own layout, one field per placeholder in the type of its value (text as
// VARCHAR, Currency as a 64-bit integer with four decimals, ...), and the
// engine converts each into the type it described for the placeholder;
// results are read in the types the engine describes. No amount passes
// through a double: NUMERIC and DECIMAL columns of up to four decimals are
// read as scaled integers straight into Currency.
#include "Exceptions.h"
#include "Params.h"
#include "Value.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IResultSet;
class IMessageMetadata;
class IMetadataBuilder;
class IBlob;
} // namespace Firebird

namespace platform::fb {

// How an owner ends each kind of the engine's objects: the engine's own end
// (an attachment detached, a transaction rolled back, a statement freed, a
// cursor closed, a blob cancelled; metadata released); when the engine
// refuses it, the interface is released, which is all that is left of it,
// and the engine frees what it still holds. False when it had to be
// released. Never throws.
bool endObject(Firebird::IAttachment *attachment); // a refused detach abandons the connection
bool endObject(Firebird::ITransaction *transaction);
bool endObject(Firebird::IStatement *statement);
bool endObject(Firebird::IResultSet *cursor);
bool endObject(Firebird::IBlob *blob);
bool endObject(Firebird::IMessageMetadata *metadata);
bool endObject(Firebird::IMetadataBuilder *builder);

// One object of the engine, ended (endObject) when its owner lets it go, on
// every way out, an error's included.
template <class T>
class Owned {
public:
    Owned() = default;
    explicit Owned(T *object) : m_object(object) {}
    ~Owned() { end(); }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;

    T *get() const { return m_object; }
    T *operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // Ends the object held (if any) and holds `object`.
    void reset(T *object = nullptr)
    {
        end();
        m_object = object;
    }
    // Ends the object now; false when the engine refused and it was
    // released instead.
    bool end() { return !m_object || endObject(std::exchange(m_object, nullptr)); }
    // The engine has ended the object itself (a commit, a detach, a close
    // that succeeded): nothing of it is left to end.
    T *forget() { return std::exchange(m_object, nullptr); }
    // Given up without its end: released, the engine frees what it holds.
    void drop()
    {
        if (T *object = forget())
            object->release();
    }

private:
    T *m_object = nullptr;
};

// The text and the cause of an engine status vector (the error codes and
// arguments of IStatus::getErrors).
QString statusText(const intptr_t *errors);
EDatabaseError::Cause statusCause(const intptr_t *errors);
// What the user is told first of an engine error, in Italian: what happened
// and what to do; the engine's text follows it in the error's message.
QString statusExplanation(const intptr_t *errors, EDatabaseError::Cause cause, const QString &text);
// The same for an error of the archive itself, from the engine's text.
QString archiveExplanation(const QString &engineText);

// What to attach to and how.
struct AttachOptions {
    QString database; // a path, or "host:/path", "host/port:/path"
    QString user;
    QString password;
    QString role;
    QString charset;        // the connection's character set (empty: none)
    int forcedWrites = -1;  // 0 or 1 sets the database's write mode; -1 leaves it
    bool create = false;    // create the database instead of attaching
    int pageSize = 0;       // create only (0: the engine's default)
    QString defaultCharset; // create only: the database's default character set
    bool sweep = false;     // garbage-collect the whole database while attaching
    bool validate = false;  // check every page, record and index while attaching (nothing repaired)
    bool repair = false;    // with validate: mend what the check may mend (pointer-page bits, orphan pages)
};

// What to check through a service manager: "service_mgr" (the embedded
// engine's) or "host:service_mgr", and the database as that manager names
// it (the path on its host).
struct ServiceOptions {
    QString service;
    QString database;
    QString user;
    QString password;
};

// The engine's own check of every table and index of a database (its online
// validation, run through the service manager), as the lines it writes:
// "Relation 134 (NAME)", "Index 1 (NAME)", then the "Error: ..." and
// "Warning: ..." lines of what it found in that table or index. Reads
// only; other connections may be open.
QStringList checkTablesAndIndexes(const ServiceOptions &options);

class Attachment {
public:
    // Attaches (or creates); EDatabaseError with the engine's text on failure.
    explicit Attachment(const AttachOptions &options);
    // Detaches; when the engine refuses, the connection is abandoned (the
    // engine rolls back whatever it still holds). Never throws.
    ~Attachment();
    Attachment(const Attachment &) = delete;
    Attachment &operator=(const Attachment &) = delete;

    // Detaches; on failure the connection is abandoned all the same and the
    // failure raised. Afterwards the object holds nothing.
    void detach();
    // Ends the connection at once: the engine is asked to cut it (active
    // transactions are rolled back on its side), then it is released. Never
    // throws; for a connection whose transaction cannot be ended any other
    // way.
    void abandon();
    bool attached() const { return bool(m_attachment); }

    // Runs one statement without parameters or result in `transaction`.
    void execute(Firebird::ITransaction *transaction, const QString &sql);

    // Integer items of the engine's database information (isc_info_*), in
    // the order asked; an item the engine does not give reads 0.
    QList<qint64> info(const QList<unsigned char> &items);

    Firebird::IAttachment *handle() const { return m_attachment.get(); }

private:
    Owned<Firebird::IAttachment> m_attachment;
};

struct TransactionOptions {
    bool readCommitted = false; // else a snapshot (concurrency)
    bool readOnly = false;
    int lockTimeoutSeconds = 0; // a wait on a lock ends after this; 0: no wait at all
};

class Transaction {
public:
    Transaction(Attachment &attachment, const TransactionOptions &options);
    // Rolls back a transaction still active. Never throws.
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Commits. On failure the transaction is rolled back, so that nothing of
    // it stays active, and the commit's failure is raised; when even the
    // rollback fails, stuck() tells, and only ending the connection frees
    // what the engine still holds for it.
    void commit();
    // Commits what the transaction wrote and goes on in the same one, its
    // snapshot kept; on failure the transaction is left as it was and the
    // failure raised.
    void commitRetaining();
    void rollback();
    bool active() const { return bool(m_transaction); }
    bool stuck() const { return m_stuck; }

    Firebird::ITransaction *handle() const { return m_transaction.get(); }
    Attachment &attachment() const { return *m_attachment; }

private:
    Attachment *m_attachment;
    Owned<Firebird::ITransaction> m_transaction;
    bool m_stuck = false;
};

// A result column as the engine describes it.
struct ColumnInfo {
    QString alias;
    unsigned type = 0; // the engine's SQL type code without the null bit
    int subType = 0;
    int scale = 0;
    unsigned length = 0; // bytes
    unsigned charset = 0;
    bool nullable = true;
};

// Bytes a character takes at most in a character set of the engine.
int bytesPerCharacter(unsigned charset);

class Statement {
public:
    // Prepares `sql` on the attachment; `transaction` serves the engine's
    // look-ups while preparing (any active transaction of the attachment).
    Statement(Attachment &attachment, Transaction &transaction, const QString &sql);
    // Frees the statement (its cursor closed first). Never throws.
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    const QString &sql() const { return m_sql; }
    // The statement returns rows through a cursor (SELECT, a selectable
    // procedure, an EXECUTE BLOCK with SUSPEND).
    bool hasCursor() const { return m_hasCursor; }
    // A data-definition statement (CREATE, ALTER, DROP, ...).
    bool isDdl() const { return m_ddl; }
    int parameterCount() const { return m_parameterCount; }
    const QList<ColumnInfo> &columns() const { return m_columns; }

    // Binds one value to each placeholder, in order (a null or unassigned
    // value is sent as a null of the parameter's type) and executes in
    // `transaction`. A statement with a cursor opens it (rows come with
    // fetch()); one without leaves its output row, if any, to value().
    void execute(Transaction &transaction, const QList<const Param *> &parameters);
    // The next row of the cursor; false at its end (the cursor is closed).
    bool fetch();
    void closeCursor();
    bool cursorOpen() const { return bool(m_cursor); }
    // Rows inserted, updated or deleted by the last execution.
    qint64 affectedRows();

    // A column of the current row; a BLOB is read in the transaction of the
    // execution.
    Value value(int column) const;
    // The column's value is null.
    bool isNull(int column) const;

    // A transaction about to end: a cursor opened in it is closed, and the
    // current row is no longer readable.
    void transactionEnding(const Transaction &transaction);
    // Frees the engine's statement now (cursor closed); the object stays,
    // disposed, and refuses to run. Never throws.
    void dispose();
    bool disposed() const { return !m_statement; }

private:
    struct Shape {
        unsigned type = 0;
        int subType = 0;
        int scale = 0;
        unsigned length = 0;
        unsigned charset = 0;
        bool operator==(const Shape &) const = default;
    };
    struct Input;

    void buildInput(const QList<const Param *> &parameters);
    void writeInput(Transaction &transaction, const QList<const Param *> &parameters);

    Attachment *m_attachment;
    QString m_sql;
    Owned<Firebird::IStatement> m_statement;
    Owned<Firebird::IResultSet> m_cursor;
    Owned<Firebird::IMessageMetadata> m_described; // the engine's input description
    Owned<Firebird::IMessageMetadata> m_input;     // ours, for the shapes below
    Owned<Firebird::IMessageMetadata> m_output;
    Transaction *m_executedIn = nullptr; // while its row can be read
    QList<Shape> m_describedShapes;
    QList<Shape> m_shapes, m_nextShapes;
    QList<QByteArray> m_texts; // the texts and bytes of the parameters being bound
    QList<unsigned> m_inputOffsets, m_inputNullOffsets;
    QByteArray m_inputBuffer;
    QList<unsigned> m_outputOffsets, m_outputNullOffsets;
    QByteArray m_outputBuffer;
    QList<ColumnInfo> m_columns;
    int m_parameterCount = 0;
    bool m_hasCursor = false;
    bool m_ddl = false;
    bool m_singleInsert = false;
};

} // namespace platform::fb
