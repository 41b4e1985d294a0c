#include "Database.h"

#include "IniFile.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QFile>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <optional>

namespace platform {

namespace {

Database *g_global = nullptr;
QAtomicInt g_connectionCounter;

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

// "host:/path" or "host/port:/path": a colon after a host name of at least
// two characters, before any slash. A one-letter prefix is a drive letter.
bool splitRemote(const QString &database, QString *host, QString *path)
{
    static const QRegularExpression re(QStringLiteral("^([A-Za-z0-9_.\\-]{2,}(/[0-9A-Za-z_]+)?):(.+)$"));
    const auto m = re.match(database);
    if (!m.hasMatch())
        return false;
    if (host)
        *host = m.captured(1);
    if (path)
        *path = m.captured(3);
    return true;
}

QString driverMessage(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

} // namespace

// ---------------------------------------------------------------------------
// ConnectionSettings

ConnectionSettings ConnectionSettings::defaults()
{
    ConnectionSettings s;
    s.database = QDir::cleanPath(programFolder() + QStringLiteral("/../data/zep.fdb"));
    return s;
}

ConnectionSettings ConnectionSettings::load(const QString &fileName, const QString &folder)
{
    const QString unreadable = QStringLiteral(
                                   "File di configurazione della connessione non trovato o non leggibile: %1")
                                   .arg(QDir::toNativeSeparators(fileName));
    if (!QFileInfo(fileName).isFile())
        throw EDatabaseError(unreadable);
    std::optional<IniFile> ini;
    try {
        ini.emplace(fileName);
    } catch (const Exception &) {
        throw EDatabaseError(unreadable);
    }
    const QString section = QStringLiteral("Database");
    ConnectionSettings s = defaults();
    s.database = ini->value(section, QStringLiteral("Database")).value_or(s.database);
    s.user = ini->value(section, QStringLiteral("User")).value_or(s.user);
    s.password = ini->value(section, QStringLiteral("Password")).value_or(s.password);
    s.role = ini->value(section, QStringLiteral("Role")).value_or(s.role);
    s.charset = ini->value(section, QStringLiteral("CharSet")).value_or(s.charset);

    if (!s.isRemote() && !s.database.isEmpty()) {
        QString path = s.database;
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (QDir::isRelativePath(path))
            path = QDir(folder.isEmpty() ? programFolder() : folder).filePath(path);
        s.database = QDir::cleanPath(path);
    }
    return s;
}

// Sets the five keys in the file, keeping whatever else it holds.
void ConnectionSettings::save(const QString &fileName) const
{
    try {
        IniFile ini(fileName);
        const QString section = QStringLiteral("Database");
        ini.setValue(section, QStringLiteral("Database"), database);
        ini.setValue(section, QStringLiteral("User"), user);
        ini.setValue(section, QStringLiteral("Password"), password);
        ini.setValue(section, QStringLiteral("Role"), role);
        ini.setValue(section, QStringLiteral("CharSet"), charset);
        ini.save();
    } catch (const Exception &e) {
        throw EDatabaseError(e.message());
    }
}

bool ConnectionSettings::isRemote() const
{
    return splitRemote(database, nullptr, nullptr);
}

QString ConnectionSettings::filePath() const
{
    QString path;
    if (splitRemote(database, nullptr, &path))
        return path;
    return database;
}

// ---------------------------------------------------------------------------
// Database

Database::Database(ConnectionSettings settings)
    : m_settings(std::move(settings)),
      m_connectionName(QStringLiteral("zep-db-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1) + 1))
{
}

Database::~Database()
{
    try {
        close();
    } catch (...) {
        // A destructor must not throw; a failed rollback at close loses
        // nothing that a commit had not already kept.
    }
    if (g_global == this)
        g_global = nullptr;
    m_qdb = QSqlDatabase();
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
}

void Database::setSettings(const ConnectionSettings &settings)
{
    if (isOpen())
        throw EDatabaseError(QStringLiteral("Impossibile cambiare i parametri di una connessione aperta."));
    m_settings = settings;
}

QString Database::openErrorMessage(const ConnectionSettings &settings, const QString &driverText)
{
    const QString name = settings.isRemote() ? settings.database : QDir::toNativeSeparators(settings.database);
    const QString head = QStringLiteral("Impossibile aprire il database \"%1\": ").arg(name);
    const QString t = driverText.toLower();
    auto has = [&](const char *s) { return t.contains(QLatin1String(s)); };

    if (has("no such file") || has("file not found"))
        return head + QStringLiteral("il file non esiste.");
    if (has("already opened with engine instance") || has("\"lock\" operation") || has("database is in use")
        || has("lock time-out") || has("resource temporarily unavailable") || has("object in use"))
        return head + QStringLiteral("il file è in uso da un altro programma. Chiudere l'altro programma e riprovare.");
    if (has("not a valid database") || has("file size is less than expected") || has("unsupported on-disk structure")
        || has("wrong ods") || has("is a directory") || has("bad checksum") || has("database file appears corrupt"))
        return head + QStringLiteral("il file non è un database valido.");
    if (has("no permission") || has("permission denied"))
        return head + QStringLiteral("accesso al file non consentito (permessi insufficienti).");
    if (has("your user name and password are not defined") || has("login") || has("password"))
        return head + QStringLiteral("utente o password non validi.");
    if (has("unable to complete network request") || has("connection refused") || has("failed to establish"))
        return head + QStringLiteral("il server del database non risponde.");
    return head + QStringLiteral("\n") + driverText;
}

void Database::open()
{
    if (isOpen())
        return;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QIBASE")))
        throw EDatabaseError(QStringLiteral("Il driver del database Firebird (QIBASE) non è installato."));
    if (m_settings.database.isEmpty())
        throw EDatabaseError(QStringLiteral("Nessun database indicato nella configurazione della connessione."));
    if (!m_settings.isRemote()) {
        // The engine's own words for a missing file speak of an I/O error;
        // the user is better told plainly.
        QFileInfo info(m_settings.database);
        if (!info.exists())
            throw EDatabaseError(openErrorMessage(m_settings, QStringLiteral("No such file")));
    }

    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
                          ? QSqlDatabase::database(m_connectionName, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), m_connectionName);
    db.setDatabaseName(m_settings.database);
    db.setUserName(m_settings.user);
    db.setPassword(m_settings.password);
    QStringList options;
    if (!m_settings.charset.isEmpty())
        options << QStringLiteral("ISC_DPB_LC_CTYPE=%1").arg(m_settings.charset);
    if (!m_settings.role.isEmpty())
        options << QStringLiteral("ISC_DPB_SQL_ROLE_NAME=%1").arg(m_settings.role);
    db.setConnectOptions(options.join(QLatin1Char(';')));
    if (!db.open()) {
        const QString text = driverMessage(db.lastError());
        db.close();
        throw EDatabaseError(openErrorMessage(m_settings, text));
    }
    m_qdb = db;
    m_inTransaction = false;
    ++m_generation;
}

void Database::close()
{
    ++m_generation;
    m_qdb = QSqlDatabase();
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (db.isOpen()) {
        if (m_inTransaction) {
            m_inTransaction = false;
            db.rollback();
        }
        db.close();
    }
    m_inTransaction = false;
}

bool Database::isOpen() const
{
    return m_qdb.isValid() && m_qdb.isOpen();
}

void Database::ensureOpen(const char *operation) const
{
    if (!isOpen())
        throw EDatabaseError(QStringLiteral("Connessione al database non aperta (%1).").arg(QLatin1String(operation)));
}

void Database::startTransaction()
{
    ensureOpen("avvio transazione");
    if (m_inTransaction)
        throw EDatabaseError(QStringLiteral("Una transazione è già attiva sulla connessione."));
    QSqlDatabase db = qtDatabase();
    if (!db.transaction())
        throw EDatabaseError(
            QStringLiteral("Impossibile avviare la transazione: %1").arg(driverMessage(db.lastError())));
    m_inTransaction = true;
    ++m_generation;
}

void Database::commit()
{
    ensureOpen("commit");
    if (!m_inTransaction)
        throw EDatabaseError(QStringLiteral("Nessuna transazione attiva da confermare."));
    QSqlDatabase db = qtDatabase();
    ++m_generation;
    if (!db.commit()) {
        // The transaction is still there after a failed commit: roll it back
        // so the connection does not stay half in a transaction.
        const QString text = driverMessage(db.lastError());
        db.rollback();
        m_inTransaction = false;
        throw EDatabaseError(QStringLiteral("Impossibile confermare la transazione: %1").arg(text));
    }
    m_inTransaction = false;
}

void Database::rollback()
{
    ensureOpen("rollback");
    if (!m_inTransaction)
        throw EDatabaseError(QStringLiteral("Nessuna transazione attiva da annullare."));
    m_inTransaction = false;
    ++m_generation;
    QSqlDatabase db = qtDatabase();
    if (!db.rollback())
        throw EDatabaseError(
            QStringLiteral("Impossibile annullare la transazione: %1").arg(driverMessage(db.lastError())));
}

void Database::execute(const QString &sql)
{
    ensureOpen("esecuzione");
    QSqlQuery q(qtDatabase());
    if (!q.exec(sql)) {
        QString text = driverMessage(q.lastError());
        if (text.isEmpty())
            text = QStringLiteral("errore sconosciuto del driver");
        throw EDatabaseError(text + QStringLiteral("\n") + sql.trimmed());
    }
}

QSqlDatabase Database::qtDatabase() const
{
    return m_qdb.isValid() ? m_qdb : QSqlDatabase::database(m_connectionName, false);
}

Database *Database::global()
{
    return g_global;
}

void Database::setGlobal(Database *database)
{
    g_global = database;
}

Database &Database::requireGlobal()
{
    if (!g_global)
        throw EDatabaseError(QStringLiteral("Connessione al database non consentita"));
    return *g_global;
}

bool Database::isUpdateConflict(const QString &message)
{
    const QString m = message.toLower();
    return m.contains(QLatin1String("update conflicts")) || m.contains(QLatin1String("deadlock"))
           || m.contains(QLatin1String("lock conflict"));
}

} // namespace platform
