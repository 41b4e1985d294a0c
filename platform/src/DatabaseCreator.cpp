#include "DatabaseCreator.h"

#include "SqlQuery.h"

#include "FbClient.h"

#include <ibase.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace platform {

const QString DatabaseCreator::HistoryTable = QStringLiteral("TSCR_SCRIPTDDL");

namespace {

bool isBlank(const QString &statement)
{
    // Only blanks and comments.
    const QString &s = statement;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        if (s.at(i).isSpace()) {
            ++i;
        } else if (s.mid(i, 2) == QLatin1String("--")) {
            const int j = int(s.indexOf(QLatin1Char('\n'), i));
            i = j < 0 ? n : j;
        } else if (s.mid(i, 2) == QLatin1String("/*")) {
            const int j = int(s.indexOf(QLatin1String("*/"), i + 2));
            i = j < 0 ? n : j + 2;
        } else {
            return false;
        }
    }
    return true;
}

bool historyTableExists(Database &db)
{
    SqlQuery q(db);
    q.setSql(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = :NAME"));
    q.bind(QStringLiteral("NAME"), DatabaseCreator::HistoryTable);
    q.open();
    return q.value(0).toInt64() > 0;
}

QString displayName(const Database &db)
{
    const ConnectionSettings &s = db.settings();
    return s.isRemote() ? s.database : QDir::toNativeSeparators(s.database);
}

} // namespace

void DatabaseCreator::updateIndexStatistics(Database &database)
{
    QStringList indici;
    {
        SqlQuery q(database);
        q.setSql(QStringLiteral("SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"));
        q.open();
        for (; !q.eof(); q.next())
            indici << q.value(0).toString();
    }
    for (const QString &indice : std::as_const(indici))
        database.execute(QStringLiteral("SET STATISTICS INDEX \"%1\"")
                             .arg(QString(indice).replace(QLatin1Char('"'), QStringLiteral("\"\""))));
}

void DatabaseCreator::setForcedWrites(const ConnectionSettings &settings, bool on)
{
    const QString name = settings.isRemote() ? settings.database : QDir::toNativeSeparators(settings.database);
    fb::AttachOptions o;
    o.database = settings.database;
    o.user = settings.user;
    o.password = settings.password;
    o.forcedWrites = on ? 1 : 0;
    try {
        fb::Attachment attachment(o);
        attachment.detach();
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(
            QStringLiteral("Impossibile impostare la scrittura del database \"%1\":\n%2").arg(name, e.message()),
            e.cause());
    }
}

bool ValidationReport::hasErrors() const
{
    return std::any_of(std::begin(errors), std::end(errors), [](int n) { return n > 0; });
}

bool ValidationReport::hasWarnings() const
{
    return std::any_of(std::begin(warnings), std::end(warnings), [](int n) { return n > 0; });
}

QString ValidationReport::text() const
{
    static const char *const where[Kinds] = {"nelle pagine",
                                             "nei record",
                                             "nelle pagine blob",
                                             "nelle pagine dati",
                                             "nelle pagine indice",
                                             "nelle pagine puntatori",
                                             "nelle pagine transazioni",
                                             "nelle pagine di inventario"};
    QStringList parts;
    for (int k = 0; k < Kinds; ++k)
        if (errors[k] > 0)
            parts << QStringLiteral("errori %1: %2").arg(QLatin1String(where[k])).arg(errors[k]);
    for (int k = 0; k < Kinds; ++k)
        if (warnings[k] > 0)
            parts << QStringLiteral("avvisi %1: %2").arg(QLatin1String(where[k])).arg(warnings[k]);
    return parts.join(QStringLiteral("; "));
}

namespace {

fb::AttachOptions maintenanceOptions(const ConnectionSettings &settings)
{
    fb::AttachOptions o;
    o.database = settings.database;
    o.user = settings.user;
    o.password = settings.password;
    return o;
}

QString nameOf(const ConnectionSettings &settings)
{
    return settings.isRemote() ? settings.database : QDir::toNativeSeparators(settings.database);
}

// The validation, mending what it may (`mend`) or reading only.
ValidationReport validation(const ConnectionSettings &settings, bool mend)
{
    fb::AttachOptions o = maintenanceOptions(settings);
    o.validate = true;
    o.repair = mend;
    try {
        fb::Attachment attachment(o);
        const QList<qint64> n = attachment.info(
            {isc_info_page_errors, isc_info_record_errors, isc_info_bpage_errors, isc_info_dpage_errors,
             isc_info_ipage_errors, isc_info_ppage_errors, isc_info_tpage_errors, fb_info_pip_errors,
             fb_info_page_warns, fb_info_record_warns, fb_info_bpage_warns, fb_info_dpage_warns, fb_info_ipage_warns,
             fb_info_ppage_warns, fb_info_tpage_warns, fb_info_pip_warns});
        attachment.detach();
        ValidationReport r;
        for (int k = 0; k < ValidationReport::Kinds; ++k) {
            r.errors[k] = int(n.at(k));
            r.warnings[k] = int(n.at(ValidationReport::Kinds + k));
        }
        return r;
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(
            QStringLiteral("Impossibile verificare il database \"%1\":\n%2").arg(nameOf(settings), e.message()),
            e.cause());
    }
}

void rebuildIndex(const ConnectionSettings &settings, const QString &index)
{
    try {
        fb::Attachment attachment(maintenanceOptions(settings));
        {
            fb::Transaction transaction(attachment, {});
            attachment.execute(transaction.handle(),
                               QStringLiteral("ALTER INDEX \"%1\" ACTIVE")
                                   .arg(QString(index).replace(QLatin1Char('"'), QStringLiteral("\"\""))));
            transaction.commit();
        }
        attachment.detach();
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(QStringLiteral("Impossibile ricostruire l'indice %1 del database \"%2\":\n%3")
                                 .arg(index, nameOf(settings), e.message()),
                             e.cause());
    }
}

} // namespace

ValidationReport DatabaseCreator::validate(const ConnectionSettings &settings)
{
    return validation(settings, false);
}

void DatabaseCreator::sweep(const ConnectionSettings &settings)
{
    fb::AttachOptions o = maintenanceOptions(settings);
    o.sweep = true;
    try {
        fb::Attachment attachment(o);
        attachment.detach();
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(
            QStringLiteral("Impossibile ripulire il database \"%1\":\n%2").arg(nameOf(settings), e.message()),
            e.cause());
    }
}

QStringList DatabaseCreator::faultyIndexes(const ConnectionSettings &settings)
{
    fb::ServiceOptions o;
    o.service = QStringLiteral("service_mgr");
    o.database = settings.database;
    if (settings.isRemote()) {
        o.database = settings.filePath();
        o.service = settings.database.left(settings.database.size() - o.database.size() - 1)
                    + QStringLiteral(":service_mgr");
    }
    o.user = settings.user;
    o.password = settings.password;
    QStringList lines;
    try {
        lines = fb::checkTablesAndIndexes(o);
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(
            QStringLiteral("Impossibile verificare il database \"%1\":\n%2").arg(nameOf(settings), e.message()),
            e.cause());
    }
    // "Relation 134 (TFIS_DATIFISCALI)" opens a table, "Index 1
    // (PK_TFIS_DATIFISCALI)" names one of its indexes, and an "Error:" or
    // "Warning:" line speaks of an index by its number in the table.
    static const QRegularExpression relation(QStringLiteral("\\bRelation \\d+ \\(([^)]+)\\)\\s*$"));
    static const QRegularExpression index(QStringLiteral("\\bIndex (\\d+) \\(([^)]+)\\)\\s*$"));
    static const QRegularExpression fault(QStringLiteral("\\b(?:Error|Warning): .*\\bIndex (\\d+)\\b"));
    QHash<QString, QString> names;
    QStringList faulty;

    for (const QString &line : std::as_const(lines)) {
        if (relation.match(line).hasMatch()) {
            names.clear();
        } else if (const QRegularExpressionMatch m = index.match(line); m.hasMatch()) {
            names.insert(m.captured(1), m.captured(2).trimmed());
        } else if (const QRegularExpressionMatch f = fault.match(line); f.hasMatch()) {
            const QString name = names.value(f.captured(1));
            if (!name.isEmpty() && !faulty.contains(name))
                faulty << name;
        }
    }
    return faulty;
}

UncleanCloseRepair DatabaseCreator::repairAfterUncleanClose(const ConnectionSettings &settings)
{
    UncleanCloseRepair r;
    r.found = validation(settings, true);
    sweep(settings);
    const ValidationReport swept = validation(settings, true);
    if (swept.clean())
        return r;
    if (swept.errors[ValidationReport::IndexPages] + swept.warnings[ValidationReport::IndexPages]
            + swept.errors[ValidationReport::Records]
        > 0) {
        r.rebuiltIndexes = faultyIndexes(settings);
        for (const QString &index : std::as_const(r.rebuiltIndexes))
            rebuildIndex(settings, index);
    }
    r.remaining = validate(settings);
    return r;
}

QList<DdlScript> DatabaseCreator::scriptsFromFolder(const QString &folder, const QString &series)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)_.*\\.sql$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QList<DdlScript> scripts;
    QDir dir(folder);
    if (!dir.exists())
        return scripts;
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const auto m = pattern.match(file);
        if (!m.hasMatch())
            continue;
        QFile f(dir.filePath(file));
        if (!f.open(QIODevice::ReadOnly))
            throw EDatabaseError(QStringLiteral("Impossibile leggere lo script del database %1: %2")
                                     .arg(QDir::toNativeSeparators(f.fileName()), f.errorString()));
        DdlScript s;
        s.series = series;
        s.number = m.captured(1).toInt();
        s.name = file;
        s.text = QString::fromUtf8(f.readAll());
        for (const DdlScript &other : scripts)
            if (other.number == s.number)
                throw EDatabaseError(QStringLiteral("Due script del database con lo stesso numero %1: %2 e %3")
                                         .arg(s.number)
                                         .arg(other.name, s.name));
        scripts << s;
    }
    std::stable_sort(scripts.begin(), scripts.end(),
                     [](const DdlScript &a, const DdlScript &b) { return a.number < b.number; });
    return scripts;
}

DatabaseCreator::DatabaseCreator(QList<DdlScript> scripts)
{
    addScripts(scripts);
}

void DatabaseCreator::addScripts(const QList<DdlScript> &scripts)
{
    for (const DdlScript &s : scripts) {
        for (const DdlScript &o : std::as_const(m_scripts))
            if (o.series == s.series && o.number == s.number)
                throw EDatabaseError(
                    QStringLiteral("Due script del database con lo stesso numero %1 nella serie %2: %3 e %4")
                        .arg(s.number)
                        .arg(s.series, o.name, s.name));
        m_scripts << s;
    }
    // Series keep the order of their first script; numbers order each series.
    QStringList order;
    for (const DdlScript &s : std::as_const(m_scripts))
        if (!order.contains(s.series))
            order << s.series;
    std::stable_sort(m_scripts.begin(), m_scripts.end(), [&](const DdlScript &a, const DdlScript &b) {
        const auto ia = order.indexOf(a.series), ib = order.indexOf(b.series);
        return ia != ib ? ia < ib : a.number < b.number;
    });
}

int DatabaseCreator::latestNumber(const QString &series) const
{
    int latest = 0;
    for (const DdlScript &s : m_scripts)
        if (s.series == series)
            latest = qMax(latest, s.number);
    return latest;
}

void DatabaseCreator::createDatabaseFile(const ConnectionSettings &settings, int pageSize)
{
    const QString name = settings.isRemote() ? settings.database : QDir::toNativeSeparators(settings.database);
    if (settings.database.isEmpty())
        throw EDatabaseError(QStringLiteral("Nessun database indicato nella configurazione della connessione."));
    if (!settings.isRemote()) {
        const QFileInfo info(settings.database);
        if (info.exists())
            throw EDatabaseError(
                QStringLiteral("Impossibile creare il database \"%1\": il file esiste già.").arg(name));
        if (!QDir().mkpath(info.absolutePath()))
            throw EDatabaseError(
                QStringLiteral("Impossibile creare il database \"%1\": impossibile creare la cartella %2.")
                    .arg(name, QDir::toNativeSeparators(info.absolutePath())));
    }
    fb::AttachOptions o;
    o.database = settings.database;
    o.user = settings.user;
    o.password = settings.password;
    o.create = true;
    o.pageSize = pageSize;
    o.defaultCharset = settings.charset.isEmpty() ? QStringLiteral("UTF8") : settings.charset;
    std::unique_ptr<fb::Attachment> attachment;
    try {
        attachment = std::make_unique<fb::Attachment>(o);
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(QStringLiteral("Impossibile creare il database \"%1\":\n%2").arg(name, e.message()),
                             e.cause());
    }
    try {
        attachment->detach();
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(
            QStringLiteral("Impossibile chiudere il database appena creato \"%1\":\n%2").arg(name, e.message()),
            e.cause());
    }
}

QStringList DatabaseCreator::createOrUpgrade(Database &database) const
{
    const ConnectionSettings &settings = database.settings();
    if (!settings.isRemote() && !QFileInfo::exists(settings.database))
        createDatabaseFile(settings);
    database.open();
    return upgrade(database);
}

QList<AppliedScript> DatabaseCreator::appliedScripts(Database &database)
{
    QList<AppliedScript> out;
    if (!historyTableExists(database))
        return out;
    SqlQuery q(database);
    q.setSql(
        QStringLiteral("SELECT SSCRSERIE, ISCRNUMERO, SSCRNOME, DSCRESEGUITO FROM %1 ORDER BY SSCRSERIE, ISCRNUMERO")
            .arg(HistoryTable));
    for (q.open(); !q.eof(); q.next()) {
        AppliedScript a;
        a.series = q.value(0).toString();
        a.number = q.value(1).toInt();
        a.name = q.value(2).toString();
        a.appliedAt = q.value(3).isNull() ? QDateTime() : q.value(3).toDateTime();
        out << a;
    }
    return out;
}

void DatabaseCreator::checkNotNewer(Database &database) const
{
    for (const AppliedScript &a : appliedScripts(database)) {
        const int latest = latestNumber(a.series);
        bool known = false;
        for (const DdlScript &s : m_scripts)
            known = known || s.series == a.series;
        if (known && a.number > latest)
            throw EDatabaseError(
                QStringLiteral("L'archivio \"%1\" è stato aggiornato da una versione più recente del programma "
                               "(struttura \"%2\" alla versione %3, questo programma arriva alla %4).\n"
                               "Installare la versione aggiornata del programma per usare questo archivio.")
                    .arg(displayName(database), a.series)
                    .arg(a.number)
                    .arg(latest));
    }
}

QStringList DatabaseCreator::upgrade(Database &database) const
{
    if (!database.isOpen())
        throw EDatabaseError(QStringLiteral("Connessione al database non aperta."));
    if (database.inTransaction())
        throw EDatabaseError(QStringLiteral("Impossibile aggiornare il database durante una transazione."));
    checkNotNewer(database);

    if (!historyTableExists(database))
        database.execute(QStringLiteral("CREATE TABLE %1 ("
                                        "SSCRSERIE VARCHAR(40) NOT NULL, "
                                        "ISCRNUMERO INTEGER NOT NULL, "
                                        "SSCRNOME VARCHAR(200), "
                                        "DSCRESEGUITO TIMESTAMP, "
                                        "CONSTRAINT PK_%1 PRIMARY KEY (SSCRSERIE, ISCRNUMERO))")
                             .arg(HistoryTable));

    const QList<AppliedScript> applied = appliedScripts(database);
    auto done = [&](const DdlScript &s) {
        return std::any_of(applied.begin(), applied.end(),
                           [&](const AppliedScript &a) { return a.series == s.series && a.number == s.number; });
    };

    QStringList ran;
    for (const DdlScript &script : m_scripts) {
        if (done(script))
            continue;
        const QStringList statements = splitStatements(script.text);
        for (int i = 0; i < statements.size(); ++i) {
            try {
                database.execute(statements.at(i));
            } catch (const EDatabaseError &e) {
                throw EDatabaseError(
                    QStringLiteral("Aggiornamento del database interrotto: script %1, istruzione %2.\n%3")
                        .arg(script.name)
                        .arg(i + 1)
                        .arg(e.message()));
            }
        }
        SqlQuery record(database);
        record.setSql(QStringLiteral("INSERT INTO %1 (SSCRSERIE, ISCRNUMERO, SSCRNOME, DSCRESEGUITO) "
                                     "VALUES (:SERIE, :NUMERO, :NOME, :QUANDO)")
                          .arg(HistoryTable));
        record.bind(QStringLiteral("SERIE"), script.series)
            .bind(QStringLiteral("NUMERO"), script.number)
            .bind(QStringLiteral("NOME"), script.name)
            .bind(QStringLiteral("QUANDO"), QDateTime::currentDateTime());
        record.execSQL();
        ran << script.name;
    }
    return ran;
}

QStringList DatabaseCreator::splitStatements(const QString &script)
{
    QStringList out;
    QString terminator = QStringLiteral(";");
    QString current;
    const int n = int(script.size());
    int i = 0;

    auto finish = [&]() {
        const QString statement = current.trimmed();
        current.clear();
        if (statement.isEmpty() || isBlank(statement))
            return;
        // isql's own commands.
        static const QRegularExpression setTerm(
            QStringLiteral("^(?:(?:--[^\\n]*\\n)|(?:/\\*.*?\\*/)|\\s)*SET\\s+TERM\\s+(\\S+)\\s*$"),
            QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression isqlCommand(
            QStringLiteral(
                "^(?:(?:--[^\\n]*\\n)|(?:/\\*.*?\\*/)|\\s)*(SET\\s+(SQL\\s+DIALECT|NAMES|AUTODDL|ECHO|LIST|STATS|PLAN|TIME|WARNINGS|BAIL)\\b|COMMIT\\b|COMMIT\\s+WORK\\b)"),
            QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
        const auto term = setTerm.match(statement);
        if (term.hasMatch()) {
            terminator = term.captured(1);
            return;
        }
        if (isqlCommand.match(statement).hasMatch())
            return;
        out << statement;
    };

    while (i < n) {
        const QChar c = script.at(i);
        const int skipped = SqlStatement::skipQuotedOrComment(script, i);
        if (skipped >= 0) {
            current += QStringView(script).mid(i, skipped - i);
            i = skipped;
        } else if (QStringView(script).mid(i, terminator.size()) == terminator) {
            i += int(terminator.size());
            finish();
        } else {
            current += c;
            ++i;
        }
    }
    finish();
    return out;
}

} // namespace platform
