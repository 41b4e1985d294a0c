#include "FbClient.h"

#include "SqlTrace.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTime>

#include <firebird/Interface.h>
#include <ibase.h>
#include <iberror.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <limits>
#include <vector>

#include <pthread.h>

namespace platform::fb {

using Firebird::CheckStatusWrapper;
using Firebird::IMaster;
using Firebird::IMessageMetadata;
using Firebird::IStatus;
using Firebird::IUtil;
using Firebird::IXpbBuilder;

namespace {

IMaster *master()
{
    static IMaster *const m = Firebird::fb_get_master_interface();
    return m;
}

IUtil *util()
{
    static IUtil *const u = master()->getUtilInterface();
    return u;
}

// The engine's status objects of a thread, kept for its next calls: each
// call through the client library is itself a call into the engine, so a
// status made and disposed per call would double the calls of a statement.
//
// The main thread's pool is destroyed before the program's static objects,
// so a connection held by a static object still calls the engine after it:
// once the pool is gone, each call makes and disposes its own status.
thread_local bool t_statusPoolGone = false;

class StatusPool {
public:
    ~StatusPool()
    {
        t_statusPoolGone = true;
        for (IStatus *s : m_free)
            s->dispose();
        m_free.clear();
    }
    // The statuses given back are clean: one the engine wrote into is
    // cleared when given back, the others (nearly every call's) as they are.
    IStatus *take()
    {
        if (m_free.isEmpty())
            return master()->getStatus();
        return m_free.takeLast();
    }
    void give(IStatus *s) { m_free.append(s); }

private:
    QList<IStatus *> m_free;
};

thread_local StatusPool t_statuses;

IStatus *takeStatus()
{
    return t_statusPoolGone ? master()->getStatus() : t_statuses.take();
}

// `written`: the engine put errors or warnings into it.
void giveStatus(IStatus *s, bool written)
{
    if (t_statusPoolGone) {
        s->dispose();
        return;
    }
    if (written)
        s->init();
    t_statuses.give(s);
}

// One engine call's status: checked after the call, raised as
// EDatabaseError with the engine's text.
//
// Making one also clears errno. The engine retries an interrupted
// file-status call while errno says EINTR without looking at the call's own
// result, so an EINTR left in errno by any earlier system call of this
// thread that a signal interrupted (the message loop's poll, typically)
// makes it retry for ever: a program asked to end by SIGTERM would hang in
// the detach that closes its archive.
class Status {
public:
    Status() : m_status(takeStatus()), m_wrapper(m_status) { errno = 0; }
    ~Status() { giveStatus(m_status, m_wrapper.isDirty()); }
    Status(const Status &) = delete;
    Status &operator=(const Status &) = delete;

    CheckStatusWrapper *operator&() { return &m_wrapper; }
    bool failed() const { return (m_wrapper.getState() & IStatus::STATE_ERRORS) != 0; }
    EDatabaseError error(const QString &prefix = {}) const
    {
        const intptr_t *errors = m_wrapper.getErrors();
        QString text = statusText(errors);
        if (text.isEmpty())
            text = QStringLiteral("errore sconosciuto del database");
        const EDatabaseError::Cause cause = statusCause(errors);
        return EDatabaseError(prefix + statusExplanation(errors, cause, text) + QStringLiteral("\n\n") + text, cause);
    }
    void check(const QString &prefix = {}) const
    {
        if (failed())
            throw error(prefix);
    }

private:
    IStatus *m_status;
    CheckStatusWrapper m_wrapper;
};

// A parameter block (DPB, TPB) built through the engine's own builder.
class Block {
public:
    explicit Block(unsigned kind)
    {
        Status st;
        m_builder = util()->getXpbBuilder(&st, kind, nullptr, 0);
        st.check();
    }
    ~Block() { m_builder->dispose(); }
    Block(const Block &) = delete;
    Block &operator=(const Block &) = delete;

    void tag(unsigned char t)
    {
        Status st;
        m_builder->insertTag(&st, t);
        st.check();
    }
    void integer(unsigned char t, int value)
    {
        Status st;
        m_builder->insertInt(&st, t, value);
        st.check();
    }
    void text(unsigned char t, const QString &value)
    {
        Status st;
        m_builder->insertString(&st, t, value.toUtf8().constData());
        st.check();
    }
    unsigned length()
    {
        Status st;
        const unsigned n = m_builder->getBufferLength(&st);
        st.check();
        return n;
    }
    const unsigned char *buffer()
    {
        Status st;
        const unsigned char *b = m_builder->getBuffer(&st);
        st.check();
        return b;
    }

private:
    IXpbBuilder *m_builder = nullptr;
};

// The engine puts handlers of its own in place for SIGTERM and SIGINT at
// its first attachment: on the signal they shut the engine down and leave
// the program running without its archive. The program's own handling (its
// handlers, or the system's default) is kept: taken before an attachment,
// put back after it, the two signals held back meanwhile so that none
// reaches the engine's handler in between (one that came is delivered
// once the program's handlers are back).
class ProgramSignals {
public:
    ProgramSignals()
    {
        sigemptyset(&m_held);
        for (int s : Signals)
            sigaddset(&m_held, s);
        pthread_sigmask(SIG_BLOCK, &m_held, &m_mask);
        for (std::size_t i = 0; i < std::size(Signals); ++i)
            sigaction(Signals[i], nullptr, &m_before[i]);
    }
    ~ProgramSignals()
    {
        for (std::size_t i = 0; i < std::size(Signals); ++i)
            sigaction(Signals[i], &m_before[i], nullptr);
        pthread_sigmask(SIG_SETMASK, &m_mask, nullptr);
    }
    ProgramSignals(const ProgramSignals &) = delete;
    ProgramSignals &operator=(const ProgramSignals &) = delete;

private:
    static constexpr int Signals[] = {SIGTERM, SIGINT};
    struct sigaction m_before[std::size(Signals)]{};
    sigset_t m_held{}, m_mask{};
};

constexpr unsigned CharsetNone = 0, CharsetOctets = 1, CharsetUnicodeFss = 3, CharsetUtf8 = 4;

constexpr qint64 powersOfTen[] = {1,
                                  10,
                                  100,
                                  1000,
                                  10000,
                                  100000,
                                  1000000,
                                  10000000,
                                  100000000,
                                  1000000000,
                                  10000000000,
                                  100000000000,
                                  1000000000000,
                                  10000000000000,
                                  100000000000000,
                                  1000000000000000,
                                  10000000000000000,
                                  100000000000000000,
                                  1000000000000000000};

// Days of the engine's calendar (from 17 November 1858) to a Julian day.
constexpr qint64 EngineEpochJulianDay = 2400001;

ISC_DATE engineDate(QDate d)
{
    return ISC_DATE(d.toJulianDay() - EngineEpochJulianDay);
}

ISC_TIME engineTime(QTime t)
{
    return ISC_TIME(t.msecsSinceStartOfDay()) * (ISC_TIME_SECONDS_PRECISION / 1000);
}

QDate dateOf(ISC_DATE d)
{
    return QDate::fromJulianDay(qint64(d) + EngineEpochJulianDay);
}

QTime timeOf(ISC_TIME t)
{
    return QTime::fromMSecsSinceStartOfDay(int(t / (ISC_TIME_SECONDS_PRECISION / 1000)));
}

// The cut of a text kept in a message field: a VARCHAR of at least the
// engine's own length, rounded up so that a run of values of similar length
// keeps one layout.
unsigned varyingLength(unsigned described, qsizetype bytes)
{
    unsigned n = 32;
    while (n < bytes)
        n *= 2;
    return qMax(described, qMin(n, 32765u));
}

bool isText(unsigned type)
{
    return type == SQL_TEXT || type == SQL_VARYING;
}

} // namespace

// ---------------------------------------------------------------------------
// errors

QString statusText(const intptr_t *errors)
{
    QString text;
    if (!errors)
        return text;
    char buffer[1024];
    const ISC_STATUS *p = errors;
    while (fb_interpret(buffer, sizeof buffer, &p)) {
        if (!text.isEmpty())
            text += QStringLiteral(" - ");
        text += QString::fromUtf8(buffer);
    }
    return text;
}

EDatabaseError::Cause statusCause(const intptr_t *errors)
{
    auto cause = EDatabaseError::Cause::Statement;
    if (!errors)
        return cause;
    for (const intptr_t *p = errors; *p != isc_arg_end;) {
        const intptr_t tag = *p++;
        if (tag == isc_arg_gds) {
            switch (*p) {
            case isc_io_error:
            case isc_io_read_err:
            case isc_io_write_err:
            case isc_sys_request:
            case isc_network_error:
            case isc_net_read_err:
            case isc_net_write_err:
            case isc_lost_db_connection:
            case isc_conn_lost:
            case isc_shutdown:
            case isc_shutinprog:
            case isc_att_shutdown:
            case isc_bug_check:
            case isc_db_corrupt:
            case isc_badpage:
            case isc_bad_db_handle: return EDatabaseError::Cause::Archive;
            case isc_deadlock:
            case isc_lock_conflict:
            case isc_update_conflict:
            case isc_lock_timeout: cause = EDatabaseError::Cause::Conflict; break;
            case isc_unique_key_violation:
            case isc_no_dup:
                if (cause == EDatabaseError::Cause::Statement)
                    cause = EDatabaseError::Cause::Duplicate;
                break;
            case isc_no_priv:
                if (cause == EDatabaseError::Cause::Statement)
                    cause = EDatabaseError::Cause::Permission;
                break;
            default: break;
            }
            ++p;
        } else if (tag == isc_arg_cstring) {
            p += 2;
        } else {
            ++p;
        }
    }
    return cause;
}

namespace {

// Whether the engine refused a value the statement writes: a missing or
// invalid one, one too long or out of range, a reference to nothing.
bool refusesData(const intptr_t *errors)
{
    for (const intptr_t *p = errors; p && *p != isc_arg_end;) {
        const intptr_t tag = *p++;
        if (tag == isc_arg_gds) {
            switch (*p) {
            case isc_not_valid:
            case isc_not_valid_for:
            case isc_check_constraint:
            case isc_foreign_key:
            case isc_arith_except:
            case isc_string_truncation:
            case isc_convert_error:
            case isc_numeric_out_of_range:
            case isc_date_range_exceeded:
            case isc_malformed_string:
            case isc_transliteration_failed: return true;
            default: break;
            }
            ++p;
        } else if (tag == isc_arg_cstring) {
            p += 2;
        } else {
            ++p;
        }
    }
    return false;
}

} // namespace

QString archiveExplanation(const QString &engineText)
{
    const QString t = engineText.toLower();
    auto has = [&](const char *s) { return t.contains(QLatin1String(s)); };
    if (has("no space left on device") || has("disk full") || has("file too large"))
        return QStringLiteral("Spazio su disco esaurito: l'archivio non può essere scritto. Liberare spazio sul "
                              "disco che contiene l'archivio e ripetere l'operazione.");
    if (has("connection shutdown") || has("database shutdown") || has("connection lost") || has("network")
        || has("net read") || has("net write") || has("invalid database handle"))
        return QStringLiteral("La connessione all'archivio si è interrotta.");
    if (has("consistency check") || has("corrupt") || (has("page") && has("wrong")))
        return QStringLiteral("L'archivio risulta danneggiato: farlo verificare prima di continuare (vedere le "
                              "istruzioni dell'archivio).");
    return QStringLiteral("Errore di lettura o scrittura dell'archivio.");
}

QString statusExplanation(const intptr_t *errors, EDatabaseError::Cause cause, const QString &text)
{
    switch (cause) {
    case EDatabaseError::Cause::Archive: return archiveExplanation(text);
    case EDatabaseError::Cause::Conflict:
        return QStringLiteral("Un'altra postazione sta modificando, o ha appena modificato, gli stessi dati "
                              "dell'archivio: l'operazione non è stata eseguita. Ripeterla tra poco, quando l'altra "
                              "postazione avrà finito.");
    case EDatabaseError::Cause::Duplicate:
        return QStringLiteral("Un dato che nell'archivio deve essere unico è già presente: l'operazione non è stata "
                              "eseguita. Se un'altra postazione lo ha appena scritto, ripetere l'operazione; se "
                              "l'errore si ripete, controllare che il dato non sia già stato inserito.");
    case EDatabaseError::Cause::Permission:
        return QStringLiteral("L'utente con cui il programma accede all'archivio non ha i permessi per questa "
                              "operazione: l'operazione non è stata eseguita. Chiedere a chi amministra l'archivio di "
                              "concederli, o indicare nel file di connessione un utente che li abbia.");
    case EDatabaseError::Cause::Statement: break;
    }
    if (refusesData(errors))
        return QStringLiteral("L'archivio non accetta un dato dell'operazione (mancante, troppo lungo, fuori dai "
                              "limiti, non valido o riferito a dati che non ci sono): l'operazione non è stata "
                              "eseguita. Correggere il dato e ripetere.");
    return QStringLiteral("L'archivio ha rifiutato un'istruzione del programma: l'operazione non è stata eseguita. Se "
                          "l'errore si ripete, segnalarlo all'assistenza con il testo che segue.");
}

int bytesPerCharacter(unsigned charset)
{
    switch (charset) {
    case CharsetUtf8: return 4;
    case CharsetUnicodeFss: return 3;
    default: return 1;
    }
}

// ---------------------------------------------------------------------------
// owners

namespace {

// The engine's own end of `object` (`end(object, status)`); released when
// the engine refuses it.
template <class T, class End>
bool endOrRelease(T *object, End end)
{
    Status st;
    end(object, &st);
    if (!st.failed())
        return true;
    object->release();
    return false;
}

// Ends a connection at once: the engine is asked to cut it (active
// transactions are rolled back on its side), then it is detached.
void abandonConnection(Firebird::IAttachment *attachment)
{
    {
        Status st;
        attachment->cancelOperation(&st, fb_cancel_abort);
    }
    // Released without a detach, the engine frees what the connection still
    // holds, its transactions rolled back.
    endOrRelease(attachment, [](auto *a, auto *st) { a->detach(st); });
}

} // namespace

bool endObject(Firebird::IAttachment *attachment)
{
    Status st;
    attachment->detach(&st);
    if (!st.failed())
        return true;
    abandonConnection(attachment);
    return false;
}

bool endObject(Firebird::ITransaction *transaction)
{
    return endOrRelease(transaction, [](auto *t, auto *st) { t->rollback(st); });
}

bool endObject(Firebird::IStatement *statement)
{
    return endOrRelease(statement, [](auto *s, auto *st) { s->free(st); });
}

// A cursor whose transaction the engine has already ended cannot be closed:
// its interface is released, which is all that is left of it.
bool endObject(Firebird::IResultSet *cursor)
{
    return endOrRelease(cursor, [](auto *c, auto *st) { c->close(st); });
}

// A blob being written is dropped with what it holds; one being read is
// closed.
bool endObject(Firebird::IBlob *blob)
{
    return endOrRelease(blob, [](auto *b, auto *st) { b->cancel(st); });
}

bool endObject(Firebird::IMessageMetadata *metadata)
{
    metadata->release();
    return true;
}

bool endObject(Firebird::IMetadataBuilder *builder)
{
    builder->release();
    return true;
}

// ---------------------------------------------------------------------------
// Attachment

Attachment::Attachment(const AttachOptions &o)
{
    Block dpb(IXpbBuilder::DPB);
    dpb.text(isc_dpb_user_name, o.user);
    if (!o.password.isEmpty())
        dpb.text(isc_dpb_password, o.password);
    if (!o.role.isEmpty())
        dpb.text(isc_dpb_sql_role_name, o.role);
    if (!o.charset.isEmpty())
        dpb.text(isc_dpb_lc_ctype, o.charset);
    if (o.forcedWrites >= 0)
        dpb.integer(isc_dpb_force_write, o.forcedWrites);
    if (o.sweep)
        dpb.integer(isc_dpb_sweep, isc_dpb_records);
    if (o.validate)
        dpb.integer(isc_dpb_verify,
                    isc_dpb_pages | isc_dpb_records | isc_dpb_indices | (o.repair ? 0 : isc_dpb_no_update));
    if (o.create) {
        if (o.pageSize > 0)
            dpb.integer(isc_dpb_page_size, o.pageSize);
        if (!o.defaultCharset.isEmpty())
            dpb.text(isc_dpb_set_db_charset, o.defaultCharset);
        dpb.integer(isc_dpb_sql_dialect, SQL_DIALECT_V6);
    }
    const QByteArray name = QFile::encodeName(o.database);
    Firebird::IProvider *provider = master()->getDispatcher();
    Status st;
    Firebird::IAttachment *attached = nullptr;
    {
        const ProgramSignals programma;
        attached = o.create ? provider->createDatabase(&st, name.constData(), dpb.length(), dpb.buffer())
                            : provider->attachDatabase(&st, name.constData(), dpb.length(), dpb.buffer());
    }
    provider->release();
    st.check();
    m_attachment.reset(attached);
}

Attachment::~Attachment() = default;

void Attachment::detach()
{
    if (!m_attachment)
        return;
    Status st;
    m_attachment->detach(&st);
    if (!st.failed()) {
        m_attachment.forget();
        return;
    }
    const EDatabaseError error = st.error();
    abandon();
    throw error;
}

void Attachment::abandon()
{
    if (m_attachment)
        abandonConnection(m_attachment.forget());
}

void Attachment::execute(Firebird::ITransaction *transaction, const QString &sql)
{
    if (!m_attachment)
        throw EDatabaseError(QStringLiteral("Connessione al database non aperta."));
    const QByteArray text = sql.toUtf8();
    Status st;
    if (SqlTrace *trace = SqlTrace::current())
        trace->executedImmediate(transaction, sql);
    m_attachment->execute(&st, transaction, unsigned(text.size()), text.constData(), SQL_DIALECT_V6, nullptr, nullptr,
                          nullptr, nullptr);
    st.check();
}

QList<qint64> Attachment::info(const QList<unsigned char> &items)
{
    if (!m_attachment)
        throw EDatabaseError(QStringLiteral("Connessione al database non aperta."));
    QByteArray asked;
    for (unsigned char item : items)
        asked.append(char(item));
    asked.append(char(isc_info_end));
    unsigned char answer[1024] = {};
    Status st;
    m_attachment->getInfo(&st, unsigned(asked.size()), reinterpret_cast<const unsigned char *>(asked.constData()),
                          sizeof answer, answer);
    st.check();
    QList<qint64> values(items.size(), 0);
    for (const unsigned char *p = answer; p < answer + sizeof answer - 3 && *p != isc_info_end;) {
        const unsigned char item = *p++;
        const int length = p[0] | (p[1] << 8);
        p += 2;
        if (p + length > answer + sizeof answer)
            break;
        qint64 value = 0;
        for (int i = 0; i < length && i < 8; ++i)
            value |= qint64(p[i]) << (8 * i);
        p += length;
        const qsizetype at = items.indexOf(item);
        if (at >= 0)
            values[at] = value;
    }
    return values;
}

// ---------------------------------------------------------------------------
// The service manager

QStringList checkTablesAndIndexes(const ServiceOptions &o)
{
    const QByteArray service = o.service.toUtf8();
    Block attach(IXpbBuilder::SPB_ATTACH);
    attach.text(isc_spb_user_name, o.user);
    if (!o.password.isEmpty())
        attach.text(isc_spb_password, o.password);
    Block start(IXpbBuilder::SPB_START);
    start.tag(isc_action_svc_validate);
    start.text(isc_spb_dbname, o.database);

    Firebird::IProvider *provider = master()->getDispatcher();
    Firebird::IService *manager = nullptr;
    {
        Status st;
        {
            const ProgramSignals programma;
            manager = provider->attachServiceManager(&st, service.constData(), attach.length(), attach.buffer());
        }
        provider->release();
        st.check();
    }
    QStringList lines;
    try {
        Status st;
        manager->start(&st, start.length(), start.buffer());
        st.check();
        const unsigned char asked[] = {isc_info_svc_line};
        // A line is at most a few hundred bytes; the engine takes a buffer
        // of at most 64 kB less one.
        std::vector<unsigned char> answer(16 * 1024);
        for (;;) {
            Status q;
            manager->query(&q, 0, nullptr, sizeof asked, asked, unsigned(answer.size()), answer.data());
            q.check();
            if (answer[0] != isc_info_svc_line)
                break;
            const int length = answer[1] | (answer[2] << 8);
            if (length <= 0 || length > int(answer.size()) - 3)
                break;
            lines << QString::fromUtf8(reinterpret_cast<const char *>(answer.data()) + 3, length).trimmed();
        }
    } catch (...) {
        Status st;
        manager->detach(&st);
        throw;
    }
    // The check is complete; a manager that will not detach is released
    // by the engine with the connection's end.
    Status st;
    manager->detach(&st);
    return lines;
}

// ---------------------------------------------------------------------------
// Transaction

Transaction::Transaction(Attachment &attachment, const TransactionOptions &o) : m_attachment(&attachment)
{
    if (!attachment.attached())
        throw EDatabaseError(QStringLiteral("Connessione al database non aperta."));
    Block tpb(IXpbBuilder::TPB);
    tpb.tag(o.readOnly ? isc_tpb_read : isc_tpb_write);
    if (o.readCommitted) {
        tpb.tag(isc_tpb_read_committed);
        tpb.tag(isc_tpb_rec_version);
    } else {
        tpb.tag(isc_tpb_concurrency);
    }
    if (o.lockTimeoutSeconds > 0) {
        tpb.tag(isc_tpb_wait);
        tpb.integer(isc_tpb_lock_timeout, o.lockTimeoutSeconds);
    } else {
        tpb.tag(isc_tpb_nowait);
    }
    Status st;
    Firebird::ITransaction *started = attachment.handle()->startTransaction(&st, tpb.length(), tpb.buffer());
    st.check();
    m_transaction.reset(started);
    if (SqlTrace *trace = SqlTrace::current())
        trace->started(started, o.readCommitted, o.readOnly, o.lockTimeoutSeconds);
}

namespace {

void traceEnd(Firebird::ITransaction *transaction, bool committed)
{
    if (SqlTrace *trace = SqlTrace::current())
        trace->ended(transaction, committed);
}

} // namespace

Transaction::~Transaction()
{
    if (!m_transaction)
        return;
    traceEnd(m_transaction.get(), false);
    m_transaction.end();
}

void Transaction::commit()
{
    if (!m_transaction)
        throw EDatabaseError(QStringLiteral("Nessuna transazione attiva da confermare."));
    Status st;
    traceEnd(m_transaction.get(), true);
    m_transaction->commit(&st);
    if (!st.failed()) {
        m_transaction.forget();
        return;
    }
    const EDatabaseError error = st.error();
    // A commit that failed leaves the transaction active in the engine, its
    // locks held: it is rolled back here, whatever the caller does next.
    if (!m_transaction.end())
        m_stuck = true;
    throw error;
}

void Transaction::commitRetaining()
{
    if (!m_transaction)
        throw EDatabaseError(QStringLiteral("Nessuna transazione attiva da confermare."));
    Status st;
    m_transaction->commitRetaining(&st);
    st.check();
}

void Transaction::rollback()
{
    if (!m_transaction)
        throw EDatabaseError(QStringLiteral("Nessuna transazione attiva da annullare."));
    traceEnd(m_transaction.get(), false);
    Status st;
    m_transaction->rollback(&st);
    if (!st.failed()) {
        m_transaction.forget();
        return;
    }
    const EDatabaseError error = st.error();
    m_transaction.drop();
    m_stuck = true;
    throw error;
}

// ---------------------------------------------------------------------------
// Statement

Statement::Statement(Attachment &attachment, Transaction &transaction, const QString &sql)
    : m_attachment(&attachment), m_sql(sql)
{
    if (!attachment.attached() || !transaction.active())
        throw EDatabaseError(QStringLiteral("Connessione al database non aperta."));
    const QByteArray text = sql.toUtf8();
    Status st;
    Firebird::IStatement *prepared = attachment.handle()->prepare(&st, transaction.handle(), unsigned(text.size()),
                                                                  text.constData(), SQL_DIALECT_V6,
                                                                  Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    st.check();
    m_statement.reset(prepared);
    try {
        const unsigned type = m_statement->getType(&st);
        st.check();
        m_ddl = type == isc_info_sql_stmt_ddl;
        // An INSERT of a VALUES list (no SELECT in it) writes one row or
        // fails: its count needs no question to the engine after each run.
        static const QRegularExpression select(QStringLiteral("\\bSELECT\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
        m_singleInsert = type == isc_info_sql_stmt_insert && !select.match(sql).hasMatch();
        const unsigned flags = m_statement->getFlags(&st);
        st.check();
        m_hasCursor = (flags & Firebird::IStatement::FLAG_HAS_CURSOR) != 0;

        m_described.reset(m_statement->getInputMetadata(&st));
        st.check();
        m_parameterCount = int(m_described->getCount(&st));
        st.check();
        for (int i = 0; i < m_parameterCount; ++i) {
            Shape s;
            s.type = m_described->getType(&st, unsigned(i)) & ~1u;
            s.subType = m_described->getSubType(&st, unsigned(i));
            s.scale = m_described->getScale(&st, unsigned(i));
            s.length = m_described->getLength(&st, unsigned(i));
            s.charset = m_described->getCharSet(&st, unsigned(i));
            st.check();
            m_describedShapes << s;
        }

        m_output.reset(m_statement->getOutputMetadata(&st));
        st.check();
        const unsigned count = m_output->getCount(&st);
        st.check();
        for (unsigned i = 0; i < count; ++i) {
            ColumnInfo c;
            c.alias = QString::fromUtf8(m_output->getAlias(&st, i));
            c.type = m_output->getType(&st, i) & ~1u;
            c.subType = m_output->getSubType(&st, i);
            c.scale = m_output->getScale(&st, i);
            c.length = m_output->getLength(&st, i);
            c.charset = m_output->getCharSet(&st, i);
            c.nullable = m_output->isNullable(&st, i);
            m_outputOffsets << m_output->getOffset(&st, i);
            m_outputNullOffsets << m_output->getNullOffset(&st, i);
            st.check();
            m_columns << c;
        }
        const unsigned length = m_output->getMessageLength(&st);
        st.check();
        m_outputBuffer = QByteArray(int(length), '\0');
        if (count == 0)
            m_output.end();
    } catch (...) {
        dispose();
        throw;
    }
    if (SqlTrace *trace = SqlTrace::current())
        trace->prepared(this, transaction.handle(), sql);
}

Statement::~Statement()
{
    dispose();
}

void Statement::dispose()
{
    closeCursor();
    m_executedIn = nullptr;
    for (Owned<IMessageMetadata> *m : {&m_input, &m_described, &m_output})
        m->end();
    if (m_statement) {
        if (SqlTrace *trace = SqlTrace::current())
            trace->freed(this);
        m_statement.end();
    }
}

void Statement::transactionEnding(const Transaction &transaction)
{
    if (m_executedIn == &transaction) {
        closeCursor();
        m_executedIn = nullptr;
    }
}

void Statement::closeCursor()
{
    if (!m_cursor)
        return;
    if (SqlTrace *trace = SqlTrace::current())
        trace->cursorClosed(this);
    m_cursor.end();
}

namespace {

// The UTF-8 of `text` into `out`, in the buffer `out` kept from the
// parameter's last value: a statement run in a loop converts its texts
// without a new buffer each time.
void utf8Into(const QString &text, QByteArray &out)
{
    QStringEncoder utf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    out.resize(utf8.requiredSpace(text.size()));
    char *end = utf8.appendToBuffer(out.data(), text);
    out.truncate(end - out.constData());
}

} // namespace

void Statement::buildInput(const QList<const Param *> &parameters)
{
    QList<Shape> &shapes = m_nextShapes;
    shapes.clear();
    m_texts.resize(m_parameterCount);
    for (int i = 0; i < m_parameterCount; ++i) {
        const Shape &d = m_describedShapes.at(i);
        const Value &v = parameters.at(i)->value();
        Shape s;
        switch (v.type()) {
        case ValueType::Unassigned:
        case ValueType::Null: s = d; break;
        case ValueType::Integer:
            s.type = SQL_LONG;
            s.length = sizeof(ISC_LONG);
            break;
        case ValueType::LargeInt:
            s.type = SQL_INT64;
            s.length = sizeof(ISC_INT64);
            break;
        case ValueType::Float:
            s.type = SQL_DOUBLE;
            s.length = sizeof(double);
            break;
        case ValueType::Currency:
            s.type = SQL_INT64;
            s.scale = -4;
            s.length = sizeof(ISC_INT64);
            break;
        case ValueType::Text:
        case ValueType::Bytes:
            if (d.type == SQL_BLOB) {
                s = d;
                m_texts[i] = v.type() == ValueType::Bytes ? v.toBytes() : v.toString().toUtf8();
            } else {
                const bool bytes = v.type() == ValueType::Bytes;
                if (const QString *text = v.textIf())
                    utf8Into(*text, m_texts[i]);
                else
                    m_texts[i] = v.toBytes();
                const qsizetype size = m_texts[i].size();
                s.type = SQL_VARYING;
                s.length = varyingLength(isText(d.type) ? d.length : 0, size);
                s.charset = bytes ? CharsetOctets : (isText(d.type) ? d.charset : CharsetUtf8);
            }
            break;
        case ValueType::Date:
            s.type = SQL_TYPE_DATE;
            s.length = sizeof(ISC_DATE);
            break;
        case ValueType::DateTime:
            s.type = SQL_TIMESTAMP;
            s.length = sizeof(ISC_TIMESTAMP);
            break;
        case ValueType::Time:
            s.type = SQL_TYPE_TIME;
            s.length = sizeof(ISC_TIME);
            break;
        case ValueType::Boolean:
            s.type = SQL_BOOLEAN;
            s.length = 1;
            break;
        }
        shapes << s;
    }
    if (m_input && shapes == m_shapes)
        return;

    Status st;
    Owned<Firebird::IMetadataBuilder> builder(m_described->getBuilder(&st));
    st.check();
    for (int i = 0; i < m_parameterCount; ++i) {
        const Shape &s = shapes.at(i);
        const unsigned n = unsigned(i);
        builder->setType(&st, n, s.type | 1u);
        builder->setSubType(&st, n, s.subType);
        builder->setLength(&st, n, s.length);
        builder->setScale(&st, n, s.scale);
        builder->setCharSet(&st, n, s.charset);
        st.check();
    }
    IMessageMetadata *metadata = builder->getMetadata(&st);
    builder.end();
    st.check();
    m_input.reset(metadata);
    m_shapes = shapes;
    m_inputOffsets.clear();
    m_inputNullOffsets.clear();
    for (int i = 0; i < m_parameterCount; ++i) {
        m_inputOffsets << m_input->getOffset(&st, unsigned(i));
        m_inputNullOffsets << m_input->getNullOffset(&st, unsigned(i));
    }
    const unsigned length = m_input->getMessageLength(&st);
    st.check();
    m_inputBuffer = QByteArray(int(length), '\0');
}

void Statement::writeInput(Transaction &transaction, const QList<const Param *> &parameters)
{
    char *buffer = m_inputBuffer.data();
    for (int i = 0; i < m_parameterCount; ++i) {
        const Shape &s = m_shapes.at(i);
        const Value &v = parameters.at(i)->value();
        char *p = buffer + m_inputOffsets.at(i);
        auto *null = reinterpret_cast<short *>(buffer + m_inputNullOffsets.at(i));
        if (v.isNull() || v.type() == ValueType::Unassigned) {
            *null = -1;
            continue;
        }
        *null = 0;
        switch (s.type) {
        case SQL_LONG: {
            const ISC_LONG x = v.toInt();
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_INT64: {
            const ISC_INT64 x = v.type() == ValueType::Currency ? v.toCurrency().raw() : v.toInt64();
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_DOUBLE: {
            const double x = v.toDouble();
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_VARYING: {
            const QByteArray &bytes = m_texts.at(i);
            if (bytes.size() > qsizetype(s.length))
                throw EDatabaseError(
                    QStringLiteral("Testo troppo lungo per un parametro dell'istruzione SQL (%1 byte, al più %2).")
                        .arg(bytes.size())
                        .arg(s.length));
            const auto n = static_cast<unsigned short>(bytes.size());
            std::memcpy(p, &n, sizeof n);
            std::memcpy(p + sizeof n, bytes.constData(), size_t(bytes.size()));
            break;
        }
        case SQL_BLOB: {
            const QByteArray &bytes = m_texts.at(i);
            ISC_QUAD id{};
            Status st;
            Owned<Firebird::IBlob> blob(m_attachment->handle()->createBlob(&st, transaction.handle(), &id, 0, nullptr));
            st.check();
            constexpr qsizetype Segment = 32768;
            for (qsizetype at = 0; at < bytes.size() && !st.failed(); at += Segment)
                blob->putSegment(&st, unsigned(qMin(Segment, bytes.size() - at)), bytes.constData() + at);
            st.check();
            blob->close(&st);
            st.check();
            blob.forget();
            std::memcpy(p, &id, sizeof id);
            break;
        }
        case SQL_TYPE_DATE: {
            const ISC_DATE x = engineDate(v.toDate());
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_TIMESTAMP: {
            const QDateTime dt = v.toDateTime();
            ISC_TIMESTAMP x;
            x.timestamp_date = engineDate(dt.date());
            x.timestamp_time = engineTime(dt.time());
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_TYPE_TIME: {
            const ISC_TIME x = engineTime(v.toTime());
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case SQL_BOOLEAN: *reinterpret_cast<unsigned char *>(p) = v.toBool() ? 1 : 0; break;
        default: throw EDatabaseError(QStringLiteral("Tipo di parametro non gestito (%1).").arg(s.type));
        }
    }
}

void Statement::execute(Transaction &transaction, const QList<const Param *> &parameters)
{
    if (!m_statement)
        throw EDatabaseError(QStringLiteral("Istruzione SQL non più valida: la connessione è stata chiusa."));
    if (parameters.size() != m_parameterCount)
        throw EDatabaseError(QStringLiteral("Numero di parametri errato per l'istruzione SQL (%1 invece di %2).")
                                 .arg(parameters.size())
                                 .arg(m_parameterCount));
    closeCursor();
    m_executedIn = nullptr;
    IMessageMetadata *input = nullptr;
    void *inputBuffer = nullptr;
    if (m_parameterCount > 0) {
        buildInput(parameters);
        writeInput(transaction, parameters);
        input = m_input.get();
        inputBuffer = m_inputBuffer.data();
    }
    if (SqlTrace *trace = SqlTrace::current()) {
        QList<SqlTraceField> fields;
        fields.reserve(m_shapes.size());
        for (const Shape &s : std::as_const(m_shapes))
            fields.append({s.type, s.subType, s.scale, s.length, s.charset});
        trace->executed(this, transaction.handle(), m_hasCursor, input ? fields : QList<SqlTraceField>{},
                        input ? m_inputBuffer : QByteArray());
    }
    Status st;
    if (m_hasCursor) {
        Firebird::IResultSet *cursor = m_statement->openCursor(&st, transaction.handle(), input, inputBuffer,
                                                               m_output.get(), 0);
        st.check();
        m_cursor.reset(cursor);
    } else {
        m_statement->execute(&st, transaction.handle(), input, inputBuffer, m_output.get(),
                             m_output ? m_outputBuffer.data() : nullptr);
        st.check();
    }
    m_executedIn = &transaction;
}

bool Statement::fetch()
{
    if (!m_cursor)
        return false;
    Status st;
    const int result = m_cursor->fetchNext(&st, m_outputBuffer.data());
    st.check();
    if (SqlTrace *trace = SqlTrace::current())
        trace->fetched(this, result == IStatus::RESULT_OK);
    if (result == IStatus::RESULT_OK)
        return true;
    closeCursor();
    return false;
}

qint64 Statement::affectedRows()
{
    if (!m_statement)
        return -1;
    if (m_singleInsert)
        return 1;
    Status st;
    const ISC_UINT64 n = m_statement->getAffectedRecords(&st);
    if (st.failed())
        return -1;
    return qint64(n);
}

bool Statement::isNull(int column) const
{
    return *reinterpret_cast<const short *>(m_outputBuffer.constData() + m_outputNullOffsets.at(column)) != 0;
}

Value Statement::value(int column) const
{
    if (isNull(column))
        return Value::null();
    const ColumnInfo &c = m_columns.at(column);
    const char *p = m_outputBuffer.constData() + m_outputOffsets.at(column);
    auto scaled = [&](qint64 x) -> Value {
        if (c.scale == 0)
            return c.type == SQL_INT64 ? Value(qint64(x)) : Value(int(x));
        if (c.scale < 0 && c.scale >= -4) {
            const qint64 factor = powersOfTen[4 + c.scale];
            if (x > std::numeric_limits<qint64>::max() / factor || x < std::numeric_limits<qint64>::min() / factor)
                throw EDatabaseError(
                    QStringLiteral("Importo fuori dall'intervallo gestito nella colonna %1.").arg(c.alias));
            return Value(Currency::fromRaw(x * factor));
        }
        if (c.scale < 0)
            return Value(double(x) / double(powersOfTen[qMin(-c.scale, 18)]));
        return Value(double(x) * double(powersOfTen[qMin(c.scale, 18)]));
    };
    switch (c.type) {
    case SQL_TEXT: {
        qsizetype end = c.length;
        while (end > 0 && p[end - 1] == ' ')
            --end;
        return Value(QString::fromUtf8(p, end));
    }
    case SQL_VARYING: {
        unsigned short n = 0;
        std::memcpy(&n, p, sizeof n);
        return Value(QString::fromUtf8(p + sizeof n, n));
    }
    case SQL_SHORT: {
        short x = 0;
        std::memcpy(&x, p, sizeof x);
        return scaled(x);
    }
    case SQL_LONG: {
        ISC_LONG x = 0;
        std::memcpy(&x, p, sizeof x);
        return scaled(x);
    }
    case SQL_INT64: {
        ISC_INT64 x = 0;
        std::memcpy(&x, p, sizeof x);
        return scaled(x);
    }
    case SQL_FLOAT: {
        float x = 0;
        std::memcpy(&x, p, sizeof x);
        return Value(double(x));
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double x = 0;
        std::memcpy(&x, p, sizeof x);
        return Value(x);
    }
    case SQL_TYPE_DATE: {
        ISC_DATE x = 0;
        std::memcpy(&x, p, sizeof x);
        return Value(dateOf(x));
    }
    case SQL_TYPE_TIME: {
        ISC_TIME x = 0;
        std::memcpy(&x, p, sizeof x);
        return Value(timeOf(x));
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP x{};
        std::memcpy(&x, p, sizeof x);
        return Value(QDateTime(dateOf(x.timestamp_date), timeOf(x.timestamp_time)));
    }
    case SQL_BOOLEAN: return Value(*reinterpret_cast<const unsigned char *>(p) != 0);
    case SQL_NULL: return Value::null();
    case SQL_BLOB: {
        if (!m_executedIn || !m_executedIn->active())
            throw EDatabaseError(QStringLiteral("Nessuna riga corrente nel risultato della query."));
        ISC_QUAD id{};
        std::memcpy(&id, p, sizeof id);
        if (SqlTrace *trace = SqlTrace::current())
            trace->blobRead(this, column);
        Status st;
        Owned<Firebird::IBlob> blob(m_attachment->handle()->openBlob(&st, m_executedIn->handle(), &id, 0, nullptr));
        st.check();
        QByteArray bytes;
        char segment[32768];
        for (;;) {
            unsigned got = 0;
            const int r = blob->getSegment(&st, sizeof segment, segment, &got);
            if (st.failed() || (r != IStatus::RESULT_OK && r != IStatus::RESULT_SEGMENT))
                break;
            bytes.append(segment, got);
        }
        st.check();
        blob->close(&st);
        // A close the engine refused leaves the blob to its owner.
        if (!st.failed())
            blob.forget();
        if (c.subType == isc_blob_text)
            return Value(QString::fromUtf8(bytes));
        return Value(bytes);
    }
    default: break;
    }
    throw EDatabaseError(QStringLiteral("Tipo di colonna non gestito (%1) nella colonna %2.").arg(c.type).arg(c.alias));
}

} // namespace platform::fb
