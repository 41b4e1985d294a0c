#pragma once
// The demo payroll archive: one employer with its INPS company numbers and
// the sender's data, the financial years 2010 to 2025 (from the range's
// first year when earlier, DemoArchiveAnniPrecedenti.h; to the range's last
// year when later) with their months, the reference tables the pay
// rules read (retentions, relationship types, pay items, contribution rates
// and groups by year, contract pay tables, holiday calendar,
// family-allowance tables, deduction brackets ...) and, for every month of
// a chosen range, a chosen number of persons with their pay: full-time and
// part-time (horizontal and vertical) employees, hires and terminations
// within a month, an apprentice, a collaborator, a performing-arts worker,
// public-sector persons and one person without a fiscal code; sickness,
// holidays, and for some employees a maternity or a strike
// (DemoArchiveCalendar.h); persons 13 to 16 of the kinds of
// DemoArchivePeople.h (a second collaborator, a performing-arts worker with
// engagement periods, accessory pay every month, hired and terminated in one
// month), and for the ninth person pay of earlier ex-DMA periods and every
// pension-fund retention (DemoArchiveDma.h).
//
// Everything is reproducible from the seed: the same options give the same
// rows, and a person's data do not depend on the month range asked for.
// The programs' README command, the tests and the benchmarks use it.
#include "Database.h"

#include <QDate>
#include <QMap>
#include <QString>

namespace payroll {

struct DemoArchiveOptions {
    QString output; // database: a file path, or "host:/path" on a server
    int persons = 50;
    quint64 seed = 1;
    // The months with pay. The tool asks for the twelve months up to the
    // current one (lastTwelveMonths); callers that want the same rows every
    // day give the months themselves.
    int fromYear = 2025;
    int fromMonth = 1;
    int toYear = 2025;
    int toMonth = 12;
    // The persons not fixed by their place (DemoArchivePeople.h,
    // DemoArchivePublic.h, the first ten) are all public-sector permanent
    // staff instead of being drawn by kind: an archive whose month has many
    // persons for the public-sector import. The fixed persons stay as they
    // are, so 17 of the persons are not public-sector permanent staff.
    bool publicSector = false;
};

struct DemoArchiveSummary {
    int persons = 0;
    int months = 0;
    qint64 rows = 0;
    QMap<QString, qint64> rowsByTable;
};

class DemoArchive {
public:
    static constexpr int MinPersons = 10;
    static constexpr int MaxPersons = 10000;
    static constexpr int FirstYear = 2010;
    // The financial years run from FirstYear (or the range's first year when
    // it is earlier, DemoArchiveAnniPrecedenti::EarliestYear at the
    // earliest) to LastYear, or to the range's last year when it is later
    // (at most MaxYear).
    static constexpr int LastYear = 2025;
    static constexpr int MaxYear = 2099;

    // Refuses options out of range (EConvertError with the reason).
    static void validate(const DemoArchiveOptions &options);

    // Creates the database (an existing file is refused), runs the
    // archive's scripts and fills it. Forced writes are off while it is
    // made and on again when it is done.
    static DemoArchiveSummary create(const DemoArchiveOptions &options);

    // Fills an open archive that has the schema and no rows, in one
    // transaction (rolled back on error).
    static DemoArchiveSummary fill(platform::Database &database, const DemoArchiveOptions &options);

    // The range of the twelve months up to the month of `today`, so that
    // the period the declaration program proposes at its first start (the
    // current year's January) and the current month have pay.
    static void lastTwelveMonths(DemoArchiveOptions &options, const QDate &today);

    // "YYYY-MM" into year and month (EConvertError when it is not one).
    static void parsePeriod(const QString &text, int &year, int &month);
};

} // namespace payroll
