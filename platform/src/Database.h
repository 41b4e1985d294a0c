#pragma once
// The connection to the payroll archive: Firebird 3 through Qt's "QIBASE"
// driver. A database name that is a plain path opens the file with the
// embedded engine (no server process); "host:/path/file.fdb" or
// "host/port:/path/file.fdb" reaches a Firebird server with the same code.
//
// The connection knows whether a transaction is active: start, commit and
// roll back only through this class (or TUqTransaction), never on the
// underlying QSqlDatabase, or inTransaction() goes wrong. Without an active
// transaction every statement commits on its own.
//
// Failures raise EDatabaseError with an Italian message for the user; a
// database that cannot be opened (missing file, file held by another
// program, not a database, no permission) says so in plain words.
#include "Exceptions.h"

#include <QSqlDatabase>
#include <QString>

namespace platform {

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
// Every key is optional (the defaults below). "Database" is a path, or
// "host:/path", or "host/port:/path"; a relative local path is taken from
// the program folder, with "\" read as "/".
struct ConnectionSettings {
    QString database;
    QString user = QStringLiteral("SYSDBA");
    QString password;
    QString role;
    QString charset = QStringLiteral("UTF8");

    // The archive of an installation laid out like the build tree:
    // <program folder>/../data/zep.fdb, embedded, SYSDBA, UTF8.
    static ConnectionSettings defaults();
    // Reads the file; keys missing from it keep their defaults. A missing or
    // unreadable file raises EDatabaseError. `programFolder` resolves a
    // relative path (empty: the running program's folder).
    static ConnectionSettings load(const QString &fileName, const QString &programFolder = {});
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
    // Rolls back a transaction left active, then closes. Harmless when closed.
    void close();
    bool isOpen() const;

    // ---- transactions ----
    bool inTransaction() const { return m_inTransaction; }
    // Raises EDatabaseError when one is active already ("nested" use is
    // refused: TUqTransaction::StartOrJoin joins instead).
    void startTransaction();
    void commit();
    void rollback();

    // Changes whenever a transaction starts or ends and at every open and
    // close: a prepared statement belongs to the transaction it was
    // prepared in, so SqlQuery prepares again when this moved on.
    quint64 transactionGeneration() const { return m_generation; }

    // Runs one statement without parameters or result (DDL, fixed repairs).
    void execute(const QString &sql);

    // The Qt connection, for the SQL layer and the benchmarks.
    QSqlDatabase qtDatabase() const;
    const QString &connectionName() const { return m_connectionName; }

    // The framework's global connection: the one every module uses unless
    // it is given another. Not owned; nullptr until a connection module sets
    // it.
    static Database *global();
    static void setGlobal(Database *database);
    // The global connection, or EDatabaseError "Connessione al database non
    // consentita" when none is set.
    static Database &requireGlobal();

    // The user's message for a failed open, from the driver's error text.
    static QString openErrorMessage(const ConnectionSettings &settings, const QString &driverText);

    // Whether an error's message is the engine's refusal of a write to a row
    // that another connection changed and committed (or holds) meanwhile:
    // "update conflicts", "deadlock", "lock conflict". The transaction that
    // met it is rolled back and may be run again from its start.
    static bool isUpdateConflict(const QString &message);

private:
    void ensureOpen(const char *operation) const;

    ConnectionSettings m_settings;
    QString m_connectionName;
    QSqlDatabase m_qdb; // the open connection (invalid while closed)
    bool m_inTransaction = false;
    quint64 m_generation = 0;
};

} // namespace platform
