#pragma once
// What the SQL layer asks of the engine, told as it happens to one observer
// of the process: the transactions started and ended, the statements
// prepared and freed, each execution with the message of its parameters as
// the layer lays it out, each fetch, cursor closed and BLOB read. A benchmark
// records a workload with it and replays the same calls straight through the
// client library, to measure the layer and its callers against what the
// engine alone costs for the same work. Without an observer nothing is told
// (one test of a pointer per call).
//
// The objects are named by opaque ids, valid from their start (prepare) to
// their end (free): an id may come back later for another object.
#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// One field of a parameter message, in the engine's terms (SQL type code
// without the null bit, subtype, scale, length in bytes, character set).
struct SqlTraceField {
    unsigned type = 0;
    int subType = 0;
    int scale = 0;
    unsigned length = 0;
    unsigned charset = 0;
    bool operator==(const SqlTraceField &) const = default;
};

class SqlTrace {
public:
    virtual ~SqlTrace() = default;

    virtual void started(const void *transaction, bool readCommitted, bool readOnly, int lockTimeoutSeconds) = 0;
    virtual void ended(const void *transaction, bool committed) = 0;
    // `transaction` served the preparation.
    virtual void prepared(const void *statement, const void *transaction, const QString &sql) = 0;
    virtual void freed(const void *statement) = 0;
    // `message` holds the parameters laid out as `fields` say (null flags
    // included); empty for a statement without parameters. A statement with
    // a cursor opened it.
    virtual void executed(const void *statement, const void *transaction, bool cursor,
                          const QList<SqlTraceField> &fields, const QByteArray &message) = 0;
    // A fetch of the cursor: a row, or its end.
    virtual void fetched(const void *statement, bool row) = 0;
    virtual void cursorClosed(const void *statement) = 0;
    // The BLOB of a column of the current row read whole.
    virtual void blobRead(const void *statement, int column) = 0;
    // A statement without parameters or result run once (not prepared).
    virtual void executedImmediate(const void *transaction, const QString &sql) = 0;

    static SqlTrace *current() { return s_current; }
    // Not owned; nullptr ends the telling.
    static void setCurrent(SqlTrace *trace) { s_current = trace; }

private:
    static inline SqlTrace *s_current = nullptr;
};

} // namespace platform
