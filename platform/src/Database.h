#pragma once
// The connection to the payroll archive: Firebird 3 through the client
// library's own API (FbClient.h). A database name that is a plain path opens
// the file with the embedded engine (no server process);
// "host:/path/file.fdb" or "host/port:/path/file.fdb" reaches a Firebird
// server with the same code.
//
// The connection holds at most one transaction of its own, started,
// committed and rolled back only through this class (or TUqTransaction).
// Without it every statement runs in a short read-committed transaction of
// its own, committed when its result is closed. Statements are prepared once
// per connection and kept (SqlQuery), whatever transaction they run in.
//
// A transaction waits for a row another connection holds at most
// lockTimeout() seconds (0: not at all), then fails as an update conflict. A commit that
// fails leaves no transaction behind: the transaction is rolled back, and
// when even that fails the connection is closed, so that the engine frees
// what it held.
//
// A local archive that a program had open when it ended without closing it
// (killed, the machine stopped) is mended at the next open, before anyone
// works on it (DatabaseCreator::repairAfterUncleanClose): the record
// versions of its transactions, void, are removed with their index entries,
// what the crash left out of step is set right, and an archive that is
// still found damaged is refused.
//
// Failures raise EDatabaseError with an Italian message for the user and the
// cause the engine gives (EDatabaseError::Cause); a database that cannot be
// opened (missing file, file held by another program, not a database, no
// permission) says so in plain words.
#include "Exceptions.h"

#include <QHash>
#include <QString>
#include <list>
#include <memory>
#include <vector>

namespace platform {

namespace fb {
class Attachment;
class Transaction;
} // namespace fb
namespace detail {
struct PreparedStatement;
} // namespace detail

// Where the archive is and how to log in. Read from a connection file of
// our own (an INI file, IniFile.h):
//
//     [Database]
//     Database=..\data\zep.fdb
//     User=SYSDBA
//     Password=
//     Role=
//     CharSet=UTF8
//
// "Database" names the archive: a path, or "host:/path", or
// "host/port:/path"; a relative local path is taken from the program
// folder, with "\" read as "/". The other keys are optional (the defaults
// below). A connection file decides which archive an office works on, so
// one that cannot be read whole is refused rather than half followed: a link
// to a file that is not there, text that is not UTF-8 (a byte-order mark at
// its start is allowed), a line that is neither a section, a "key=value", a
// comment nor blank, no [Database] section or no archive named in it, two
// [Database] sections or a key given twice in it, a key of that section this
// program does not know, or a character set other than those below.
struct ConnectionSettings {
    QString database;
    QString user = QStringLiteral("SYSDBA");
    QString password;
    QString role;
    QString charset = QStringLiteral("UTF8");

    // The character sets a connection may use: the archive's texts are
    // UTF-8 ("UTF8", "UNICODE_FSS"), or reach the program as stored
    // ("NONE").
    static const QStringList KnownCharsets;

    // The archive of an installation laid out like the build tree:
    // <program folder>/../data/zep.fdb, embedded, SYSDBA, UTF8.
    static ConnectionSettings defaults();
    // Reads the file; optional keys missing from it keep their defaults. A
    // missing, unreadable or damaged file (see above) raises EDatabaseError
    // naming the file and what is wrong. `programFolder` resolves a relative
    // path (empty: the running program's folder).
    static ConnectionSettings load(const QString &fileName, const QString &programFolder = {});
    // Whether anything is at the file's name: a file, a folder, or a link,
    // even one to nothing. Only where nothing is do the programs take the
    // defaults; whatever is there is read, or refused by load.
    static bool isPresent(const QString &fileName);
    // Sets the keys in the file (made when missing), keeping what else it
    // holds; EDatabaseError when it cannot be written or a value could not
    // be read back.
    void save(const QString &fileName) const;

    // True for "host:/path" and "host/port:/path".
    bool isRemote() const;
    // The file path of a local database, or the path part after "host:".
    QString filePath() const;

    bool operator==(const ConnectionSettings &) const = default;
};

class Database {
public:
    // How long a transaction waits for a row another connection holds
    // before it fails as an update conflict.
    static constexpr int DefaultLockTimeoutSeconds = 30;
    // Idle prepared statements a connection keeps at most; past it the one
    // idle longest is freed, so a workload that runs a few texts over and
    // over keeps them however many others it runs once.
    static constexpr int MaxIdleStatements = 400;

    explicit Database(ConnectionSettings settings = {});
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    const ConnectionSettings &settings() const { return m_settings; }
    // Only while closed (EDatabaseError otherwise).
    void setSettings(const ConnectionSettings &settings);

    // Opens the connection. Raises EDatabaseError with a message that says
    // why in Italian; the connection stays closed then.
    void open();
    // Closes every result and statement, rolls back a transaction left
    // active, then detaches. Harmless when closed. When the engine refuses
    // to detach, the connection is cut all the same (the engine rolls back
    // what it still held) and the refusal raised.
    void close();
    bool isOpen() const;

    // ---- transactions ----
    bool inTransaction() const;
    // Raises EDatabaseError when one is active already ("nested" use is
    // refused: TUqTransaction::StartOrJoin joins instead).
    void startTransaction();
    // On failure nothing of the transaction stays active (see above) and
    // the failure is raised: "Impossibile confermare la transazione: ...".
    void commit();
    // Makes what the transaction wrote visible to the other connections and
    // goes on in it: its snapshot, and the rows it locks afterwards, stay.
    void commitRetaining();
    void rollback();

    int lockTimeout() const { return m_lockTimeout; }
    // For the transactions started afterwards; 0: a row held by another
    // connection fails at once.
    void setLockTimeout(int seconds);

    // Runs one statement without parameters or result (DDL, fixed repairs),
    // in the connection's transaction or committed on its own.
    void execute(const QString &sql);

    // The framework's global connection: the one every module uses unless
    // it is given another. Not owned; nullptr until a connection module sets
    // it.
    static Database *global();
    static void setGlobal(Database *database);
    // The global connection, or EDatabaseError "Connessione al database non
    // consentita" when none is set.
    static Database &requireGlobal();

    // The user's message for a failed open, from the engine's error text.
    static QString openErrorMessage(const ConnectionSettings &settings, const QString &engineText);

    // For an error of the archive itself (EDatabaseError::archiveFailure()):
    // what the user is told, the cause first (disk full, connection lost,
    // damaged archive, other I/O error), then the engine's words.
    static QString archiveFailureMessage(const EDatabaseError &error);

    // Whether an error's message is the engine's refusal of a write to a row
    // that another connection changed and committed (or holds) meanwhile:
    // "update conflicts", "deadlock", "lock conflict", "lock time-out". The
    // transaction that met it is rolled back and may be run again from its
    // start.
    static bool isUpdateConflict(const QString &message);

private:
    friend class SqlQuery;
    using Prepared = detail::PreparedStatement;

    void ensureOpen(const char *operation) const;
    // The engine's connection, with the user's message when it fails.
    void attach();
    // The marker "<archive>.aperto" beside a local archive: written when the
    // process first opens it (mending an archive whose marker a program
    // that did not close it left), removed when it closes it last.
    void markOpen();
    void markClosed();
    // The statements' side of a transaction's end: results read in it close.
    void endingTransaction(const fb::Transaction &transaction);
    // After a failure that left the engine holding a transaction we cannot
    // end: the connection is cut.
    void abandon();

    // ---- for SqlQuery ----
    // A statement of this text prepared on the connection, for one user at
    // a time: an idle one when there is, or prepared now.
    std::shared_ptr<Prepared> acquire(const QString &sql);
    // Gives it back for the next user of the same text (or drops it).
    void release(std::shared_ptr<Prepared> statement);
    // The connection's transaction, or nullptr.
    fb::Transaction *transaction() const { return m_transaction.get(); }
    // A short read-committed transaction for a statement run outside the
    // connection's.
    std::unique_ptr<fb::Transaction> startOwnTransaction();
    // Prepared statements kept idle, for a DDL statement about to change
    // what they describe.
    void dropIdleStatements();

    ConnectionSettings m_settings;
    std::unique_ptr<fb::Attachment> m_attachment;
    std::unique_ptr<fb::Transaction> m_transaction;
    int m_lockTimeout = DefaultLockTimeoutSeconds;
    // Every statement prepared on the connection (weakly: its users own
    // it), and those idle: in the order they were given back (the most
    // recent first) and, by text, where they stand in it (the most recent
    // last).
    using IdleList = std::list<std::shared_ptr<Prepared>>;
    std::vector<std::weak_ptr<Prepared>> m_prepared;
    IdleList m_idleOrder;
    QHash<QString, std::vector<IdleList::iterator>> m_idle;
    // Expires with the object: a query that outlives its connection (at a
    // program's end) then leaves it alone.
    std::shared_ptr<void> m_lifetime = std::make_shared<int>(0);
};

} // namespace platform
