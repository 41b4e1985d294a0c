#include "archive/ArchiveScripts.h"

#include "tovUDBCdsLayouts.h"

#include <QDir>

namespace payroll {

const QString ArchiveScripts::FoundationSeries = QStringLiteral("foundation");
const QString ArchiveScripts::PayrollSeries = QStringLiteral("payroll");

QList<platform::DdlScript> ArchiveScripts::series(const QString &name)
{
    // The resources are linked in from the library's object files; the
    // folder is empty when a series has no script yet.
    return platform::DatabaseCreator::scriptsFromFolder(QStringLiteral(":/archive/") + name, name);
}

QList<platform::DdlScript> ArchiveScripts::all()
{
    return series(FoundationSeries) + series(PayrollSeries);
}

QStringList ArchiveScripts::createOrUpgrade(platform::Database &database)
{
    const QStringList ran = platform::DatabaseCreator(all()).createOrUpgrade(database);
    // The declaration tables' layouts follow the program's layout files on
    // every creation or upgrade, so a new field needs no schema change.
    TTovDBCdsLayouts::InstallRegistered(database);
    return ran;
}

QStringList ArchiveScripts::upgrade(platform::Database &database)
{
    const QStringList ran = platform::DatabaseCreator(all()).upgrade(database);
    TTovDBCdsLayouts::InstallRegistered(database);
    return ran;
}

} // namespace payroll
