#pragma once
// The Firebird client library's own object API (firebird/Interface.h, library
// libfbclient), in the few shapes the SQL layer needs: an attachment, its
// transactions, and statements prepared once and executed in whichever
// transaction of the attachment is current. Database, SqlQuery and
// DatabaseCreator are its only users; nothing of the engine's headers leaks
// out of FbClient.cpp.
//
// Failures raise EDatabaseError with the engine's own words (the lines of its
// status vector joined by " - ") and the cause its error codes tell
// (EDatabaseError::Cause).
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
#include <memory>

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IResultSet;
class IMessageMetadata;
} // namespace Firebird

namespace platform::fb {

// The text and the cause of an engine status vector (the error codes and
// arguments of IStatus::getErrors).
QString statusText(const intptr_t *errors);
EDatabaseError::Cause statusCause(const intptr_t *errors);

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
};

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
    bool attached() const { return m_attachment != nullptr; }

    // Runs one statement without parameters or result in `transaction`.
    void execute(Firebird::ITransaction *transaction, const QString &sql);

    // Integer items of the engine's database information (isc_info_*), in
    // the order asked; an item the engine does not give reads 0.
    QList<qint64> info(const QList<unsigned char> &items);

    Firebird::IAttachment *handle() const { return m_attachment; }

private:
    Firebird::IAttachment *m_attachment = nullptr;
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
    void rollback();
    bool active() const { return m_transaction != nullptr; }
    bool stuck() const { return m_stuck; }

    Firebird::ITransaction *handle() const { return m_transaction; }
    Attachment &attachment() const { return *m_attachment; }

private:
    Attachment *m_attachment;
    Firebird::ITransaction *m_transaction = nullptr;
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
    bool cursorOpen() const { return m_cursor != nullptr; }
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
    bool disposed() const { return m_statement == nullptr; }

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
    Firebird::IStatement *m_statement = nullptr;
    Firebird::IResultSet *m_cursor = nullptr;
    Firebird::IMessageMetadata *m_described = nullptr; // the engine's input description
    Firebird::IMessageMetadata *m_input = nullptr;     // ours, for the shapes below
    Firebird::IMessageMetadata *m_output = nullptr;
    Transaction *m_executedIn = nullptr; // while its row can be read
    QList<Shape> m_describedShapes;
    QList<Shape> m_shapes;
    QList<unsigned> m_inputOffsets, m_inputNullOffsets;
    QByteArray m_inputBuffer;
    QList<unsigned> m_outputOffsets, m_outputNullOffsets;
    QByteArray m_outputBuffer;
    QList<ColumnInfo> m_columns;
    int m_parameterCount = 0;
    bool m_hasCursor = false;
    bool m_ddl = false;
};

} // namespace platform::fb
