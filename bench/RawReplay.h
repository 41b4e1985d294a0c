#pragma once
// The floor of a workload run through the SQL layer: every call the layer
// made of the engine (platform::SqlTrace), recorded once, then replayed
// straight through the client library's object API on a copy of the same
// database: the same transactions started and ended in the same order, the
// same statements prepared, executed with the same parameter messages
// (byte for byte as the layer laid them out) and fetched as many times,
// the same cursors closed, the same BLOBs read. Nothing is converted and no
// value is looked at: what is left is the engine's own work and the
// client's calls.
#include "RawFirebird.h"
#include "SqlTrace.h"

#include <QHash>

#include <stdexcept>
#include <vector>

namespace rawfb {

class Recording : public platform::SqlTrace {
public:
    enum class Kind { Start, End, Prepare, Free, Execute, Fetch, CloseCursor, BlobRead, Immediate };
    struct Event {
        Kind kind = Kind::Start;
        int transaction = -1;
        int statement = -1;
        bool flag = false;  // Start: read committed; End: committed; Execute: cursor; Fetch: a row
        bool flag2 = false; // Start: read only
        int number = 0;     // Start: lock time-out; BlobRead: column
        int layout = -1;    // Execute: the layout of its message (-1: no parameters)
        QByteArray bytes;   // Execute: the parameter message
        QString sql;        // Prepare, Immediate
    };

    std::vector<Event> events;
    QList<QList<platform::SqlTraceField>> layouts;
    int transactions = 0, statements = 0; // ids handed out
    qint64 executions = 0, fetches = 0, commits = 0, preparations = 0;

    // Starts telling the layer's calls to this recording; until stop().
    // The room for a month's import is taken at once: the recording's own
    // growth is not part of what is measured beside the replay.
    void start()
    {
        events.reserve(size_t(1) << 20); // never shrinks a larger one
        platform::SqlTrace::setCurrent(this);
    }
    void stop() { platform::SqlTrace::setCurrent(nullptr); }
    // Where the part of the workload to measure begins.
    size_t mark() const { return events.size(); }

    void started(const void *t, bool readCommitted, bool readOnly, int lockTimeout) override
    {
        Event e;
        e.kind = Kind::Start;
        e.transaction = m_transactions[t] = transactions++;
        e.flag = readCommitted;
        e.flag2 = readOnly;
        e.number = lockTimeout;
        events.push_back(std::move(e));
    }
    void ended(const void *t, bool committed) override
    {
        Event e;
        e.kind = Kind::End;
        e.transaction = m_transactions.take(t);
        e.flag = committed;
        commits += committed;
        events.push_back(std::move(e));
    }
    void prepared(const void *s, const void *t, const QString &sql) override
    {
        Event e;
        e.kind = Kind::Prepare;
        e.statement = m_statements[s] = statements++;
        e.transaction = transactionOf(t);
        e.sql = sql;
        ++preparations;
        events.push_back(std::move(e));
    }
    void freed(const void *s) override
    {
        Event e;
        e.kind = Kind::Free;
        e.statement = m_statements.take(s);
        events.push_back(std::move(e));
    }
    void executed(const void *s, const void *t, bool cursor, const QList<platform::SqlTraceField> &fields,
                  const QByteArray &message) override
    {
        Event e;
        e.kind = Kind::Execute;
        e.statement = statementOf(s);
        e.transaction = transactionOf(t);
        e.flag = cursor;
        if (!fields.isEmpty()) {
            for (const platform::SqlTraceField &f : fields)
                if (f.type == SQL_BLOB)
                    throw std::runtime_error("a BLOB parameter cannot be replayed");
            e.layout = int(layouts.indexOf(fields));
            if (e.layout < 0) {
                e.layout = int(layouts.size());
                layouts.append(fields);
            }
            e.bytes = message;
        }
        ++executions;
        events.push_back(std::move(e));
    }
    void fetched(const void *s, bool row) override
    {
        Event e;
        e.kind = Kind::Fetch;
        e.statement = statementOf(s);
        e.flag = row;
        ++fetches;
        events.push_back(std::move(e));
    }
    void cursorClosed(const void *s) override
    {
        Event e;
        e.kind = Kind::CloseCursor;
        e.statement = statementOf(s);
        events.push_back(std::move(e));
    }
    void blobRead(const void *s, int column) override
    {
        Event e;
        e.kind = Kind::BlobRead;
        e.statement = statementOf(s);
        e.number = column;
        events.push_back(std::move(e));
    }
    void executedImmediate(const void *t, const QString &sql) override
    {
        Event e;
        e.kind = Kind::Immediate;
        e.transaction = transactionOf(t);
        e.sql = sql;
        events.push_back(std::move(e));
    }

private:
    int transactionOf(const void *t) const
    {
        const auto it = m_transactions.constFind(t);
        if (it == m_transactions.constEnd())
            throw std::runtime_error("a transaction started before the recording");
        return it.value();
    }
    int statementOf(const void *s) const
    {
        const auto it = m_statements.constFind(s);
        if (it == m_statements.constEnd())
            throw std::runtime_error("a statement prepared before the recording");
        return it.value();
    }

    QHash<const void *, int> m_transactions, m_statements;
};

// Replays a recording on an attachment of its own (a copy of the database
// the recording started from).
class Replay {
public:
    Replay(Raw &raw, const Recording &recording)
        : m_raw(raw), m_recording(recording), m_transactions(size_t(recording.transactions), nullptr),
          m_statements(size_t(recording.statements))
    {
        // The parameter messages' layouts are made before the replay, as
        // the layer makes each once per statement.
        Firebird::ThrowStatusWrapper &st = m_raw.status();
        try {
            for (const QList<platform::SqlTraceField> &fields : recording.layouts) {
                Firebird::IMetadataBuilder *b = m_raw.master()->getMetadataBuilder(&st, unsigned(fields.size()));
                for (unsigned i = 0; i < unsigned(fields.size()); ++i) {
                    const platform::SqlTraceField &f = fields.at(int(i));
                    b->setType(&st, i, f.type | 1u);
                    b->setSubType(&st, i, f.subType);
                    b->setLength(&st, i, f.length);
                    b->setScale(&st, i, f.scale);
                    b->setCharSet(&st, i, f.charset);
                }
                m_layouts.push_back(b->getMetadata(&st));
                b->release();
            }
        } catch (const Firebird::FbException &e) {
            m_raw.fail(e);
        }
    }
    ~Replay()
    {
        Firebird::CheckStatusWrapper st(m_raw.master()->getStatus());
        for (Statement &s : m_statements)
            drop(s, st);
        for (Firebird::ITransaction *t : m_transactions)
            if (t)
                t->rollback(&st);
        for (Firebird::IMessageMetadata *m : m_layouts)
            m->release();
        st.dispose();
    }
    Replay(const Replay &) = delete;
    Replay &operator=(const Replay &) = delete;

    // Replays the events [from, to).
    void run(size_t from, size_t to)
    {
        Firebird::ThrowStatusWrapper &st = m_raw.status();
        Firebird::IAttachment *att = m_raw.attachment();
        using Kind = Recording::Kind;
        try {
            for (size_t i = from; i < to; ++i) {
                const Recording::Event &e = m_recording.events[i];
                switch (e.kind) {
                case Kind::Start: m_transactions[size_t(e.transaction)] = m_raw.start(e.flag, e.flag2, e.number); break;
                case Kind::End: {
                    Firebird::ITransaction *&t = m_transactions[size_t(e.transaction)];
                    if (e.flag)
                        t->commit(&st);
                    else
                        t->rollback(&st);
                    t = nullptr;
                    break;
                }
                case Kind::Prepare: {
                    Statement &s = m_statements[size_t(e.statement)];
                    const QByteArray text = e.sql.toUtf8();
                    s.statement = att->prepare(&st, transaction(e.transaction), unsigned(text.size()), text.constData(),
                                               SQL_DIALECT_V6, Firebird::IStatement::PREPARE_PREFETCH_METADATA);
                    s.out = s.statement->getOutputMetadata(&st);
                    s.buffer.resize(int(s.out->getMessageLength(&st)));
                    if (s.out->getCount(&st) == 0) {
                        s.out->release();
                        s.out = nullptr;
                    }
                    break;
                }
                case Kind::Free: {
                    Statement &s = m_statements[size_t(e.statement)];
                    if (s.cursor)
                        s.cursor->close(&st);
                    s.cursor = nullptr;
                    if (s.out)
                        s.out->release();
                    s.out = nullptr;
                    s.statement->free(&st);
                    s.statement = nullptr;
                    break;
                }
                case Kind::Execute: {
                    Statement &s = m_statements[size_t(e.statement)];
                    Firebird::IMessageMetadata *in = e.layout >= 0 ? m_layouts[size_t(e.layout)] : nullptr;
                    void *message = in ? const_cast<char *>(e.bytes.constData()) : nullptr;
                    s.executedIn = transaction(e.transaction);
                    if (e.flag)
                        s.cursor = s.statement->openCursor(&st, s.executedIn, in, message, s.out, 0);
                    else
                        s.statement->execute(&st, s.executedIn, in, message, s.out, s.out ? s.buffer.data() : nullptr);
                    break;
                }
                case Kind::Fetch: {
                    Statement &s = m_statements[size_t(e.statement)];
                    const bool row = s.cursor->fetchNext(&st, s.buffer.data()) == Firebird::IStatus::RESULT_OK;
                    if (row != e.flag)
                        throw std::runtime_error("the replay fetched otherwise than the recording");
                    break;
                }
                case Kind::CloseCursor: {
                    Statement &s = m_statements[size_t(e.statement)];
                    s.cursor->close(&st);
                    s.cursor = nullptr;
                    break;
                }
                case Kind::BlobRead: readBlob(m_statements[size_t(e.statement)], e.number); break;
                case Kind::Immediate: {
                    const QByteArray text = e.sql.toUtf8();
                    att->execute(&st, transaction(e.transaction), unsigned(text.size()), text.constData(),
                                 SQL_DIALECT_V6, nullptr, nullptr, nullptr, nullptr);
                    break;
                }
                }
            }
        } catch (const Firebird::FbException &e) {
            m_raw.fail(e);
        }
    }

private:
    struct Statement {
        Firebird::IStatement *statement = nullptr;
        Firebird::IMessageMetadata *out = nullptr;
        Firebird::IResultSet *cursor = nullptr;
        Firebird::ITransaction *executedIn = nullptr;
        QByteArray buffer;
    };

    Firebird::ITransaction *transaction(int id) const
    {
        Firebird::ITransaction *t = m_transactions[size_t(id)];
        if (!t)
            throw std::runtime_error("the replay ran a statement in a transaction not active");
        return t;
    }

    void readBlob(Statement &s, int column)
    {
        Firebird::ThrowStatusWrapper &st = m_raw.status();
        ISC_QUAD id{};
        std::memcpy(&id, s.buffer.constData() + s.out->getOffset(&st, unsigned(column)), sizeof id);
        Firebird::IBlob *blob = m_raw.attachment()->openBlob(&st, s.executedIn, &id, 0, nullptr);
        char segment[32768];
        unsigned got = 0;
        for (;;) {
            const int r = blob->getSegment(&st, sizeof segment, segment, &got);
            if (r != Firebird::IStatus::RESULT_OK && r != Firebird::IStatus::RESULT_SEGMENT)
                break;
        }
        blob->close(&st);
    }

    static void drop(Statement &s, Firebird::CheckStatusWrapper &st)
    {
        if (s.cursor)
            s.cursor->close(&st);
        if (s.out)
            s.out->release();
        if (s.statement)
            s.statement->free(&st);
        s = Statement();
    }

    Raw &m_raw;
    const Recording &m_recording;
    std::vector<Firebird::ITransaction *> m_transactions;
    std::vector<Statement> m_statements;
    std::vector<Firebird::IMessageMetadata *> m_layouts;
};

} // namespace rawfb
