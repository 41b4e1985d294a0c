#pragma once
// The floor the SQL layer is measured against: the Firebird client
// library's object API called straight, on an attachment of its own to the
// benchmark's database. Statements prepared once, messages in the layout the
// engine describes, values written and read in place, nothing converted
// beyond what the caller does with the bytes.
#include <firebird/Interface.h>
#include <ibase.h>

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QString>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace rawfb {

class Raw {
public:
    explicit Raw(const QString &database)
        : m_master(Firebird::fb_get_master_interface()), m_status(m_master->getStatus())
    {
        try {
            Firebird::IXpbBuilder *dpb = m_master->getUtilInterface()->getXpbBuilder(&m_status,
                                                                                     Firebird::IXpbBuilder::DPB,
                                                                                     nullptr, 0);
            dpb->insertString(&m_status, isc_dpb_user_name, "SYSDBA");
            dpb->insertString(&m_status, isc_dpb_lc_ctype, "UTF8");
            Firebird::IProvider *provider = m_master->getDispatcher();
            m_attachment = provider->attachDatabase(&m_status, QFile::encodeName(database).constData(),
                                                    dpb->getBufferLength(&m_status), dpb->getBuffer(&m_status));
            provider->release();
            dpb->dispose();
        } catch (const Firebird::FbException &e) {
            fail(e);
        }
    }
    ~Raw()
    {
        try {
            m_attachment->detach(&m_status);
        } catch (const Firebird::FbException &) {
            m_attachment->release();
        }
        m_status.dispose();
    }
    Raw(const Raw &) = delete;
    Raw &operator=(const Raw &) = delete;

    Firebird::ITransaction *start()
    {
        try {
            return m_attachment->startTransaction(&m_status, 0, nullptr);
        } catch (const Firebird::FbException &e) {
            fail(e);
        }
    }
    // A transaction of the given kind, as the SQL layer starts them.
    Firebird::ITransaction *start(bool readCommitted, bool readOnly, int lockTimeoutSeconds)
    {
        try {
            Firebird::IXpbBuilder *tpb = m_master->getUtilInterface()->getXpbBuilder(&m_status,
                                                                                     Firebird::IXpbBuilder::TPB,
                                                                                     nullptr, 0);
            tpb->insertTag(&m_status, readOnly ? isc_tpb_read : isc_tpb_write);
            if (readCommitted) {
                tpb->insertTag(&m_status, isc_tpb_read_committed);
                tpb->insertTag(&m_status, isc_tpb_rec_version);
            } else {
                tpb->insertTag(&m_status, isc_tpb_concurrency);
            }
            if (lockTimeoutSeconds > 0) {
                tpb->insertTag(&m_status, isc_tpb_wait);
                tpb->insertInt(&m_status, isc_tpb_lock_timeout, lockTimeoutSeconds);
            } else {
                tpb->insertTag(&m_status, isc_tpb_nowait);
            }
            Firebird::ITransaction *t = m_attachment->startTransaction(&m_status, tpb->getBufferLength(&m_status),
                                                                       tpb->getBuffer(&m_status));
            tpb->dispose();
            return t;
        } catch (const Firebird::FbException &e) {
            fail(e);
        }
    }
    void commit(Firebird::ITransaction *t)
    {
        try {
            t->commit(&m_status);
        } catch (const Firebird::FbException &e) {
            fail(e);
        }
    }

    // A prepared statement with its messages as the engine describes them.
    struct Statement {
        Firebird::IStatement *statement = nullptr;
        Firebird::IMessageMetadata *in = nullptr;
        Firebird::IMessageMetadata *out = nullptr;
        std::vector<unsigned> inOffsets, outOffsets, outNulls;
        QByteArray inBuffer, outBuffer;
    };

    Statement prepare(Firebird::ITransaction *t, const QString &sql)
    {
        Statement s;
        try {
            const QByteArray text = sql.toUtf8();
            s.statement = m_attachment->prepare(&m_status, t, 0, text.constData(), SQL_DIALECT_V6,
                                                Firebird::IStatement::PREPARE_PREFETCH_METADATA);
            s.in = s.statement->getInputMetadata(&m_status);
            s.out = s.statement->getOutputMetadata(&m_status);
            for (unsigned i = 0; i < s.in->getCount(&m_status); ++i)
                s.inOffsets.push_back(s.in->getOffset(&m_status, i));
            for (unsigned i = 0; i < s.out->getCount(&m_status); ++i) {
                s.outOffsets.push_back(s.out->getOffset(&m_status, i));
                s.outNulls.push_back(s.out->getNullOffset(&m_status, i));
            }
            s.inBuffer = QByteArray(int(s.in->getMessageLength(&m_status)), '\0');
            s.outBuffer = QByteArray(int(s.out->getMessageLength(&m_status)), '\0');
        } catch (const Firebird::FbException &e) {
            fail(e);
        }
        return s;
    }
    void free(Statement &s)
    {
        s.in->release();
        s.out->release();
        s.statement->free(&m_status);
    }

    void execute(Firebird::ITransaction *t, Statement &s)
    {
        try {
            s.statement->execute(&m_status, t, s.in, s.inBuffer.data(), nullptr, nullptr);
        } catch (const Firebird::FbException &e) {
            fail(e);
        }
    }
    // Executes with a message of another layout: `metadata` describes
    // `buffer` (the output of a select of the same columns, say).
    void execute(Firebird::ITransaction *t, Statement &s, Firebird::IMessageMetadata *metadata, const char *buffer)
    {
        try {
            s.statement->execute(&m_status, t, metadata, const_cast<char *>(buffer), nullptr, nullptr);
        } catch (const Firebird::FbException &e) {
            fail(e);
        }
    }
    // Calls row() with the output buffer of each row; returns the rows.
    template <typename F>
    qint64 select(Firebird::ITransaction *t, Statement &s, F row)
    {
        qint64 n = 0;
        try {
            Firebird::IResultSet *rs = s.statement->openCursor(&m_status, t, s.in, s.inBuffer.data(), s.out, 0);
            while (rs->fetchNext(&m_status, s.outBuffer.data()) == Firebird::IStatus::RESULT_OK) {
                row(s.outBuffer.constData());
                ++n;
            }
            rs->close(&m_status);
        } catch (const Firebird::FbException &e) {
            fail(e);
        }
        return n;
    }

    // A cursor read one row at a time (a caller that pulls its rows):
    // open, then fetch into the statement's output buffer until false.
    Firebird::IResultSet *open(Firebird::ITransaction *t, Statement &s)
    {
        try {
            return s.statement->openCursor(&m_status, t, s.in, s.inBuffer.data(), s.out, 0);
        } catch (const Firebird::FbException &e) {
            fail(e);
        }
    }
    bool fetch(Firebird::IResultSet *rs, Statement &s)
    {
        try {
            if (rs->fetchNext(&m_status, s.outBuffer.data()) == Firebird::IStatus::RESULT_OK)
                return true;
            rs->close(&m_status);
            return false;
        } catch (const Firebird::FbException &e) {
            fail(e);
        }
    }

    // Writers of a value into a message field.
    static void putInt(Statement &s, int i, ISC_LONG v)
    {
        std::memcpy(s.inBuffer.data() + s.inOffsets[i], &v, sizeof v);
    }
    static void putInt64(Statement &s, int i, ISC_INT64 v)
    {
        std::memcpy(s.inBuffer.data() + s.inOffsets[i], &v, sizeof v);
    }
    static void putVarchar(Statement &s, int i, const QByteArray &v)
    {
        const auto n = static_cast<unsigned short>(v.size());
        char *p = s.inBuffer.data() + s.inOffsets[i];
        std::memcpy(p, &n, sizeof n);
        std::memcpy(p + sizeof n, v.constData(), size_t(v.size()));
    }
    static void putDate(Statement &s, int i, QDate d)
    {
        const ISC_DATE v = ISC_DATE(d.toJulianDay() - 2400001);
        std::memcpy(s.inBuffer.data() + s.inOffsets[i], &v, sizeof v);
    }

    Firebird::IMaster *master() const { return m_master; }
    Firebird::IAttachment *attachment() const { return m_attachment; }
    Firebird::ThrowStatusWrapper &status() { return m_status; }

    [[noreturn]] void fail(const Firebird::FbException &e)
    {
        char text[1024];
        m_master->getUtilInterface()->formatStatus(text, sizeof text, e.getStatus());
        throw std::runtime_error(text);
    }

private:
    Firebird::IMaster *m_master;
    Firebird::ThrowStatusWrapper m_status;
    Firebird::IAttachment *m_attachment = nullptr;
};

} // namespace rawfb
