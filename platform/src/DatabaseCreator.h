#pragma once
// Creating and upgrading the archive from the project's numbered DDL
// scripts, without a server.
//
// Scripts come in series ("foundation", "payroll"), each a folder of files
// named "NNN_what.sql" (NNN a number; the numbers order the scripts of a
// series). Script text is what isql takes: statements end with ";", and
// "SET TERM ^ ;" ... "SET TERM ; ^" brackets procedures and triggers;
// comments and quoted text are respected; COMMIT and the other isql SET
// commands are skipped (every statement is committed on its own, because
// Firebird does not let a transaction use a table it created).
//
// upgrade() runs, series after series in the order the scripts were given
// and by number within a series, every script the archive has not run
// yet, and records each in the table TSCR_SCRIPTDDL (series, number, file
// name, time) as soon as it has run. An archive that has run a script with
// a number beyond the newest this program knows (in a series it knows) was
// upgraded by a newer program: it is refused before anything runs, with a
// message that says so. Series the program does not know are left alone.
#include "Database.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace platform {

struct DdlScript {
    QString series;
    int number = 0;
    QString name; // file name, for messages and the record
    QString text;
};

struct AppliedScript {
    QString series;
    int number = 0;
    QString name;
    QDateTime appliedAt;
};

// What the engine's validation of a database found: the errors and the
// warnings of each kind of structure, as Firebird's own gfix -validate counts
// them (the details go to the engine's log, firebird.log). Orphan pages, a
// pointer page whose record of a data page disagrees with the page, an
// index page out of step with its neighbours are warnings; a record version
// an index has no entry for, a broken record chain are errors.
struct ValidationReport {
    enum Kind {
        Pages,
        Records,
        BlobPages,
        DataPages,
        IndexPages,
        PointerPages,
        TransactionPages,
        PageInventory,
        Kinds
    };
    int errors[Kinds] = {};
    int warnings[Kinds] = {};
    bool clean() const { return !hasErrors() && !hasWarnings(); }
    bool hasErrors() const;
    bool hasWarnings() const;
    // "errori nelle pagine indice: 2; avvisi nelle pagine puntatori: 1" of
    // the kinds with any; empty when clean.
    QString text() const;
};

// What the open of an archive that a program had not closed found and did
// (DatabaseCreator::repairAfterUncleanClose).
struct UncleanCloseRepair {
    ValidationReport found;     // before anything was mended
    QStringList rebuiltIndexes; // the indexes found inconsistent, rebuilt
    ValidationReport remaining; // once done: clean, unless the archive is damaged in another way
};

class DatabaseCreator {
public:
    static const QString HistoryTable; // "TSCR_SCRIPTDDL"

    // The scripts "NNN_*.sql" of a folder (extension in any case), ordered
    // by number. Two scripts with one number, or an unreadable file, raise
    // EDatabaseError; other files are ignored; a missing folder gives none.
    static QList<DdlScript> scriptsFromFolder(const QString &folder, const QString &series);

    explicit DatabaseCreator(QList<DdlScript> scripts = {});
    void addScripts(const QList<DdlScript> &scripts);
    const QList<DdlScript> &scripts() const { return m_scripts; }
    // The newest number this program knows in a series (0 when none).
    int latestNumber(const QString &series) const;

    // Creates an empty database (UTF8, dialect 3) through the Firebird
    // client library: a local file with the embedded engine, or
    // "host:/path" on a server. An existing local file is refused;
    // missing folders are made.
    static void createDatabaseFile(const ConnectionSettings &settings, int pageSize = 8192);

    // The write mode of a database file. With forced writes on (the default
    // of a new database) every commit waits for the disk; an archive made in
    // one go (the demo archive, a test's archive) is made far faster with
    // them off, and has them turned on again when it is ready. Attaches for a
    // moment; raises EDatabaseError with the engine's message when it cannot.
    static void setForcedWrites(const ConnectionSettings &settings, bool on);

    // Validates every page, record and index of the database, repairing
    // nothing (Firebird's gfix -validate -full -no_update). Needs the
    // database to itself: EDatabaseError when another connection holds it.
    static ValidationReport validate(const ConnectionSettings &settings);
    // Garbage-collects the whole database (Firebird's gfix -sweep): the
    // record versions of transactions that will never commit (those a
    // program killed in the middle left behind) are removed with their
    // index entries, and the oldest transaction of interest moves past
    // them: from then on every transaction before it reads as committed.
    // Attaches for the time it takes.
    static void sweep(const ConnectionSettings &settings);

    // The indexes of the database's own tables that the engine's check of
    // tables and indexes finds at fault (an error or a warning of the index),
    // each named once.
    static QStringList faultyIndexes(const ConnectionSettings &settings);

    // Mends what a program that ended without closing a local archive
    // (killed, the machine stopped) left in it. Needs the archive to
    // itself (EDatabaseError otherwise), and runs, in this order:
    //  1. the validation that mends: the pointer pages' flags are set from
    //     their data pages. A pointer page tells the sweep which data pages
    //     it may skip ("swept"); a crash can leave one saying so of a page
    //     that holds record versions of a transaction it cut off, and the
    //     sweep would then leave those versions and move the oldest
    //     transaction of interest past them: they would read as committed;
    //  2. the sweep: those versions go, with their index entries;
    //  3. the validation that mends, again: the pages the crash left
    //     orphaned are freed (validation frees none while it still finds
    //     the versions of step 2);
    //  4. every index the engine's check finds inconsistent is rebuilt
    //     (ALTER INDEX ... ACTIVE, which rebuilds an active index, the
    //     primary key's too);
    //  5. the validation that only reads: what remains.
    static UncleanCloseRepair repairAfterUncleanClose(const ConnectionSettings &settings);

    // Recomputes how selective every index of the database's own tables is.
    // The engine measures it when an index is made and then only when asked:
    // an archive whose indexes were made on empty tables and then filled in
    // one go (the demo archive) keeps the figures of empty tables, and the
    // optimizer then reads through a whole month to find one person's rows.
    static void updateIndexStatistics(Database &database);

    // Creates the database file when it does not exist yet, opens
    // `database` (left open) and upgrades it. Returns the names of the
    // scripts run.
    QStringList createOrUpgrade(Database &database) const;
    // See above; `database` must be open and not in a transaction. Returns
    // the names of the scripts run. A failing statement raises
    // EDatabaseError naming the script, the statement and the driver's
    // message; the scripts run before it stay recorded.
    QStringList upgrade(Database &database) const;
    // The refusal alone: EDatabaseError when the archive is newer than the
    // program.
    void checkNotNewer(Database &database) const;

    // What the archive has run, by series and number; empty when it has no
    // record table.
    static QList<AppliedScript> appliedScripts(Database &database);

    // The statements of a script text, without terminators.
    static QStringList splitStatements(const QString &script);

private:
    QList<DdlScript> m_scripts;
};

} // namespace platform
