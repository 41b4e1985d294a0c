#pragma once
// The DDL scripts that make a payroll archive: the foundation's series
// first, then the payroll archive's own (payroll/sql). Both are compiled
// into the program, so an archive can be created or brought up to date
// wherever the program runs.
#include "Database.h"
#include "DatabaseCreator.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace payroll {

class ArchiveScripts {
public:
    static const QString FoundationSeries; // "foundation"
    static const QString PayrollSeries;    // "payroll"

    // The scripts of one series, ordered by number.
    static QList<platform::DdlScript> series(const QString &name);
    // Every script of the archive: foundation, then payroll.
    static QList<platform::DdlScript> all();

    // Creates the database file when it is missing and runs the scripts it
    // has not run yet, then installs the declaration-table layouts of the
    // folders the program registered; `database` is left open. Returns the
    // scripts run.
    static QStringList createOrUpgrade(platform::Database &database);
    // The same for an open archive that already exists: the scripts it has
    // not run yet, then the layouts. Returns the scripts run.
    static QStringList upgrade(platform::Database &database);
};

} // namespace payroll
