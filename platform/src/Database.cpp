#include "Database.h"

#include "DatabaseCreator.h"
#include "FbClient.h"
#include "IniFile.h"
#include "SqlPrepared.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <optional>

namespace platform {

namespace {

Database *g_global = nullptr;

// The local archives this process has open, with the number of its
// connections to each: the marker beside an archive is written with the
// first and removed with the last.
QHash<QString, int> g_openArchives;

QString markerPath(const ConnectionSettings &settings)
{
    return settings.database + QStringLiteral(".aperto");
}

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

// A damaged connection file: refused with the file's name and the reason.
[[noreturn]] void damaged(const QString &fileName, const QString &reason)
{
    throw EDatabaseError(QStringLiteral("File di configurazione della connessione non valido: %1\n%2\n"
                                        "Nessun archivio è stato aperto: correggere o sostituire il file.")
                             .arg(QDir::toNativeSeparators(fileName), reason));
}

// Every line of the file is blank, a comment, a section or "key=value", in
// UTF-8 text without control characters, and the section [Database] comes
// once.
void checkWhole(const QString &fileName, const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        damaged(fileName, QStringLiteral("il contenuto non è testo (UTF-8)."));
    const QStringList lines = text.split(QLatin1Char('\n'));
    int database = 0; // the line of the section [Database]
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        for (const QChar c : std::as_const(line))
            if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
                damaged(fileName, QStringLiteral("riga %1: carattere di controllo non ammesso.").arg(i + 1));
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')))
            continue;
        if (t.startsWith(QLatin1Char('[')) ? !t.endsWith(QLatin1Char(']')) : !t.contains(QLatin1Char('=')))
            damaged(fileName, QStringLiteral("riga %1 non leggibile: \"%2\".").arg(i + 1).arg(t.left(60)));
        if (t.startsWith(QLatin1Char('['))
            && t.mid(1, t.size() - 2).trimmed().compare(QLatin1String("Database"), Qt::CaseInsensitive) == 0) {
            if (database > 0)
                damaged(fileName, QStringLiteral("la sezione [Database] compare due volte (righe %1 e %2): il file "
                                                 "deve indicare un solo archivio.")
                                      .arg(database)
                                      .arg(i + 1));
            database = i + 1;
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------
// ConnectionSettings

const QStringList ConnectionSettings::KnownCharsets = {QStringLiteral("UTF8"), QStringLiteral("UNICODE_FSS"),
                                                       QStringLiteral("NONE")};

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
    if (const QFileInfo link(fileName); link.isSymLink() && !link.exists())
        damaged(fileName, QStringLiteral("è un collegamento a \"%1\", che non esiste.")
                              .arg(QDir::toNativeSeparators(link.symLinkTarget())));
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        throw EDatabaseError(unreadable);
    checkWhole(fileName, file.readAll());
    file.close();
    std::optional<IniFile> ini;
    try {
        ini.emplace(fileName);
    } catch (const Exception &) {
        throw EDatabaseError(unreadable);
    }
    const QString section = QStringLiteral("Database");
    const QStringList keys = {QStringLiteral("Database"), QStringLiteral("User"), QStringLiteral("Password"),
                              QStringLiteral("Role"), QStringLiteral("CharSet")};
    bool hasSection = false;
    QHash<QString, int> seen; // each key's line
    for (const IniFile::Entry &e : ini->entries()) {
        if (e.section.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        hasSection = true;
        if (!keys.contains(e.key, Qt::CaseInsensitive))
            damaged(fileName, QStringLiteral("riga %1: chiave \"%2\" sconosciuta nella sezione [%3] (ammesse: %4).")
                                  .arg(e.line)
                                  .arg(e.key, section, keys.join(QStringLiteral(", "))));
        if (const int first = seen.value(e.key.toLower()); first > 0)
            damaged(fileName, QStringLiteral("la chiave \"%1\" compare due volte nella sezione [%2] (righe %3 e %4).")
                                  .arg(e.key, section)
                                  .arg(first)
                                  .arg(e.line));
        seen.insert(e.key.toLower(), e.line);
    }
    const std::optional<QString> database = ini->value(section, QStringLiteral("Database"));
    if (!hasSection || !database || database->isEmpty())
        damaged(fileName,
                QStringLiteral("manca la sezione [Database] con la chiave Database=, che indica l'archivio."));

    ConnectionSettings s = defaults();
    s.database = *database;
    s.user = ini->value(section, QStringLiteral("User")).value_or(s.user);
    s.password = ini->value(section, QStringLiteral("Password")).value_or(s.password);
    s.role = ini->value(section, QStringLiteral("Role")).value_or(s.role);
    s.charset = ini->value(section, QStringLiteral("CharSet")).value_or(s.charset);
    if (!s.charset.isEmpty() && !KnownCharsets.contains(s.charset, Qt::CaseInsensitive))
        damaged(fileName, QStringLiteral("set di caratteri \"%1\" sconosciuto (ammessi: %2).")
                              .arg(s.charset, KnownCharsets.join(QStringLiteral(", "))));

    if (!s.isRemote()) {
        QString path = s.database;
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (QDir::isRelativePath(path))
            path = QDir(folder.isEmpty() ? programFolder() : folder).filePath(path);
        s.database = QDir::cleanPath(path);
    }
    return s;
}

bool ConnectionSettings::isPresent(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.exists() || info.isSymLink();
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

Database::Database(ConnectionSettings settings) : m_settings(std::move(settings)) {}

Database::~Database()
{
    try {
        close();
    } catch (...) {
        // A destructor must not throw; close() has cut the connection all
        // the same, and a rollback at close loses nothing a commit kept.
    }
    if (g_global == this)
        g_global = nullptr;
}

void Database::setSettings(const ConnectionSettings &settings)
{
    if (isOpen())
        throw EDatabaseError(QStringLiteral("Impossibile cambiare i parametri di una connessione aperta."));
    m_settings = settings;
}

QString Database::openErrorMessage(const ConnectionSettings &settings, const QString &engineText)
{
    const QString name = settings.isRemote() ? settings.database : QDir::toNativeSeparators(settings.database);
    const QString head = QStringLiteral("Impossibile aprire il database \"%1\": ").arg(name);
    const QString t = engineText.toLower();
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
    return head + QStringLiteral("\n") + engineText;
}

void Database::open()
{
    if (isOpen())
        return;
    if (m_settings.database.isEmpty())
        throw EDatabaseError(QStringLiteral("Nessun database indicato nella configurazione della connessione."));
    if (!m_settings.isRemote()) {
        // The engine's own words for a missing file speak of an I/O error;
        // the user is better told plainly.
        QFileInfo info(m_settings.database);
        if (!info.exists())
            throw EDatabaseError(openErrorMessage(m_settings, QStringLiteral("No such file")));
    }
    attach();
    if (!m_settings.isRemote())
        markOpen();
}

void Database::attach()
{
    fb::AttachOptions o;
    o.database = m_settings.database;
    o.user = m_settings.user;
    o.password = m_settings.password;
    o.role = m_settings.role;
    o.charset = m_settings.charset;
    try {
        m_attachment = std::make_unique<fb::Attachment>(o);
    } catch (const EDatabaseError &e) {
        m_attachment.reset();
        throw EDatabaseError(openErrorMessage(m_settings, e.message()), e.cause());
    }
}

void Database::markOpen()
{
    const QString path = QDir::cleanPath(QFileInfo(m_settings.database).absoluteFilePath());
    int &connections = g_openArchives[path];
    if (connections++ > 0)
        return;
    // The marker of an archive that was not closed: the program that had
    // it open ended in the middle of its work (killed, or the machine
    // stopped). What its transactions wrote is void, but their record
    // versions stay in the file, and the engine's careful writes may have
    // left a pointer page, an index page or the page inventory out of step
    // with what was written after it: the archive is mended now, before
    // anyone works on it. The mending needs the archive to itself: the
    // connection just made (which told, if the file could not be opened,
    // why) makes way for it meanwhile.
    QFile marker(markerPath(m_settings));
    if (marker.exists()) {
        const QString name = QDir::toNativeSeparators(m_settings.database);
        UncleanCloseRepair repair;
        try {
            m_attachment->detach();
            m_attachment.reset();
            repair = DatabaseCreator::repairAfterUncleanClose(m_settings);
            if (!repair.remaining.hasErrors())
                attach();
        } catch (const EDatabaseError &e) {
            g_openArchives.remove(path);
            close();
            throw EDatabaseError(QStringLiteral("L'archivio \"%1\" non è stato chiuso dall'ultimo programma che lo "
                                                "ha usato, e non è stato possibile ripararlo:\n%2")
                                     .arg(name, e.message()),
                                 e.cause());
        }
        // Damage the mending cannot reach: working on would build on it.
        if (repair.remaining.hasErrors()) {
            g_openArchives.remove(path);
            throw EDatabaseError(
                QStringLiteral("L'archivio \"%1\" non è stato chiuso dall'ultimo programma che lo ha usato, e dopo "
                               "la riparazione la verifica vi trova ancora errori (%2).\n"
                               "Farne una copia e ripristinarlo in un nuovo file con gbak (copia di sicurezza e "
                               "ripristino): l'archivio non è stato aperto.")
                    .arg(name, repair.remaining.text()),
                EDatabaseError::Cause::Archive);
        }
    }
    // Beside the archive, so that a crash of this program is known at the
    // next open; a folder where it cannot be written (a read-only copy)
    // loses only that.
    if (marker.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        marker.write(QStringLiteral("Archivio aperto da %1 (processo %2) il %3.\n")
                         .arg(QCoreApplication::applicationName())
                         .arg(QCoreApplication::applicationPid())
                         .arg(QDateTime::currentDateTime().toString(Qt::ISODate))
                         .toUtf8());
        marker.close();
    }
}

void Database::markClosed()
{
    const QString path = QDir::cleanPath(QFileInfo(m_settings.database).absoluteFilePath());
    auto it = g_openArchives.find(path);
    if (it == g_openArchives.end())
        return;
    if (--it.value() > 0)
        return;
    g_openArchives.erase(it);
    QFile::remove(markerPath(m_settings));
}

void Database::close()
{
    if (!m_attachment)
        return;
    // Results and statements first, then the transaction: the engine
    // detaches only a connection that holds nothing.
    for (const std::weak_ptr<Prepared> &w : m_prepared)
        if (const std::shared_ptr<Prepared> p = w.lock())
            p->dispose();
    m_prepared.clear();
    dropIdleStatements();
    std::unique_ptr<fb::Transaction> transaction = std::move(m_transaction);
    bool stuck = false;
    if (transaction) {
        try {
            transaction->rollback();
        } catch (const EDatabaseError &) {
            stuck = true;
        }
        transaction.reset();
    }
    std::unique_ptr<fb::Attachment> attachment = std::move(m_attachment);
    if (stuck) {
        attachment->abandon();
        return;
    }
    attachment->detach();
    if (!m_settings.isRemote())
        markClosed();
}

bool Database::isOpen() const
{
    return m_attachment && m_attachment->attached();
}

bool Database::inTransaction() const
{
    return m_transaction && m_transaction->active();
}

void Database::ensureOpen(const char *operation) const
{
    if (!isOpen())
        throw EDatabaseError(QStringLiteral("Connessione al database non aperta (%1).").arg(QLatin1String(operation)));
}

void Database::setLockTimeout(int seconds)
{
    m_lockTimeout = qMax(0, seconds);
}

void Database::startTransaction()
{
    ensureOpen("avvio transazione");
    if (inTransaction())
        throw EDatabaseError(QStringLiteral("Una transazione è già attiva sulla connessione."));
    fb::TransactionOptions o;
    o.lockTimeoutSeconds = m_lockTimeout;
    try {
        m_transaction = std::make_unique<fb::Transaction>(*m_attachment, o);
    } catch (const EDatabaseError &e) {
        m_transaction.reset();
        throw EDatabaseError(QStringLiteral("Impossibile avviare la transazione: %1").arg(e.message()), e.cause());
    }
}

void Database::endingTransaction(const fb::Transaction &transaction)
{
    for (const std::weak_ptr<Prepared> &w : m_prepared)
        if (const std::shared_ptr<Prepared> p = w.lock())
            p->statement.transactionEnding(transaction);
}

void Database::abandon()
{
    for (const std::weak_ptr<Prepared> &w : m_prepared)
        if (const std::shared_ptr<Prepared> p = w.lock())
            p->dispose();
    m_prepared.clear();
    dropIdleStatements();
    m_transaction.reset();
    if (m_attachment)
        m_attachment->abandon();
    m_attachment.reset();
}

void Database::commit()
{
    ensureOpen("commit");
    if (!inTransaction())
        throw EDatabaseError(QStringLiteral("Nessuna transazione attiva da confermare."));
    std::unique_ptr<fb::Transaction> transaction = std::move(m_transaction);
    endingTransaction(*transaction);
    try {
        transaction->commit();
    } catch (const EDatabaseError &e) {
        // The commit's transaction is rolled back by now; one the engine
        // would not roll back is freed only with the connection.
        if (transaction->stuck())
            abandon();
        throw EDatabaseError(QStringLiteral("Impossibile confermare la transazione: %1").arg(e.message()), e.cause());
    }
}

void Database::commitRetaining()
{
    ensureOpen("commit");
    if (!inTransaction())
        throw EDatabaseError(QStringLiteral("Nessuna transazione attiva da confermare."));
    try {
        m_transaction->commitRetaining();
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(QStringLiteral("Impossibile confermare la transazione: %1").arg(e.message()), e.cause());
    }
}

void Database::rollback()
{
    ensureOpen("rollback");
    if (!inTransaction())
        throw EDatabaseError(QStringLiteral("Nessuna transazione attiva da annullare."));
    std::unique_ptr<fb::Transaction> transaction = std::move(m_transaction);
    endingTransaction(*transaction);
    try {
        transaction->rollback();
    } catch (const EDatabaseError &e) {
        abandon();
        throw EDatabaseError(QStringLiteral("Impossibile annullare la transazione: %1").arg(e.message()), e.cause());
    }
}

std::unique_ptr<fb::Transaction> Database::startOwnTransaction()
{
    ensureOpen("avvio transazione");
    fb::TransactionOptions o;
    o.readCommitted = true;
    o.lockTimeoutSeconds = m_lockTimeout;
    return std::make_unique<fb::Transaction>(*m_attachment, o);
}

void Database::execute(const QString &sql)
{
    ensureOpen("esecuzione");
    // A DDL statement cannot change what a prepared statement still
    // describes; the idle ones are simply prepared again when next needed.
    dropIdleStatements();
    try {
        if (m_transaction) {
            m_attachment->execute(m_transaction->handle(), sql);
        } else {
            std::unique_ptr<fb::Transaction> own = startOwnTransaction();
            m_attachment->execute(own->handle(), sql);
            own->commit();
        }
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(e.message() + QStringLiteral("\n") + sql.trimmed(), e.cause());
    }
}

std::shared_ptr<Database::Prepared> Database::acquire(const QString &sql)
{
    ensureOpen("preparazione");
    auto it = m_idle.find(sql);
    if (it != m_idle.end()) {
        const IdleList::iterator at = it->back();
        it->pop_back();
        if (it->empty())
            m_idle.erase(it);
        std::shared_ptr<Prepared> p = std::move(*at);
        m_idleOrder.erase(at);
        return p;
    }
    std::shared_ptr<Prepared> p;
    if (m_transaction) {
        p = std::make_shared<Prepared>(*m_attachment, *m_transaction, sql);
    } else {
        // The engine looks up what the statement names within a
        // transaction; a read-only one does for preparing.
        fb::TransactionOptions o;
        o.readCommitted = true;
        o.readOnly = true;
        fb::Transaction t(*m_attachment, o);
        p = std::make_shared<Prepared>(*m_attachment, t, sql);
        t.commit();
    }
    // Forget the statements gone since the last preparation now and then.
    if (m_prepared.size() >= 64 && m_prepared.size() % 64 == 0)
        std::erase_if(m_prepared, [](const std::weak_ptr<Prepared> &w) { return w.expired(); });
    m_prepared.push_back(p);
    return p;
}

void Database::release(std::shared_ptr<Prepared> statement)
{
    if (!statement || statement->statement.disposed() || !isOpen() || statement->statement.isDdl())
        return;
    statement->statement.closeCursor();
    if (statement->own)
        return;
    if (m_idleOrder.size() >= size_t(MaxIdleStatements)) {
        // The statement idle longest is the first of its text's.
        const auto oldest = m_idle.find(m_idleOrder.back()->statement.sql());
        oldest->erase(oldest->begin());
        if (oldest->empty())
            m_idle.erase(oldest);
        m_idleOrder.pop_back();
    }
    const QString &sql = statement->statement.sql();
    m_idleOrder.push_front(std::move(statement));
    m_idle[sql].push_back(m_idleOrder.begin());
}

void Database::dropIdleStatements()
{
    m_idle.clear();
    m_idleOrder.clear();
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

QString Database::archiveFailureMessage(const EDatabaseError &error)
{
    // The engine's errors carry the cause already, after any prefix of the
    // operation that met them: it is put first.
    const QString cause = fb::archiveExplanation(error.message());
    QString rest = error.message();
    rest.remove(cause + QStringLiteral("\n\n"));
    return cause + QStringLiteral("\n\n") + rest;
}

bool Database::isUpdateConflict(const QString &message)
{
    const QString m = message.toLower();
    return m.contains(QLatin1String("update conflicts")) || m.contains(QLatin1String("deadlock"))
           || m.contains(QLatin1String("lock conflict")) || m.contains(QLatin1String("lock time-out"));
}

} // namespace platform
