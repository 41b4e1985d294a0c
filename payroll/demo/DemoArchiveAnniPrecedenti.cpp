#include "DemoArchiveAnniPrecedenti.h"

#include "Exceptions.h"

#include <algorithm>

namespace payroll {

using platform::Currency;

namespace {

// `primo`: the earliest year asked for (the family-allowance tables start
// the year before the first financial year).
void checkYear(int year, int primo = DemoArchiveAnniPrecedenti::EarliestYear)
{
    if (year < primo || year >= DemoArchive::FirstYear)
        throw platform::EConvertError(
            QStringLiteral("Anno %1 non compreso tra %2 e %3").arg(year).arg(primo).arg(DemoArchive::FirstYear - 1));
}

} // namespace

int DemoArchiveAnniPrecedenti::firstYear(const DemoArchiveOptions &options)
{
    return std::min(DemoArchive::FirstYear, options.fromYear);
}

Currency DemoArchiveAnniPrecedenti::annualAmount(Currency amount2010, int year)
{
    checkYear(year, EarliestYear - 1);
    // 2009 as 2010: the tables of the school year 2009/10 have always had
    // the amounts of 2010.
    Currency c = amount2010;
    for (int y = DemoArchive::FirstYear - 1; y > year; --y)
        c = (c * 1000 / 1015).rounded(2);
    return c;
}

Currency DemoArchiveAnniPrecedenti::collaboratorRate(int year)
{
    checkYear(year);
    static const char *const rates[] = {"18.00", "18.20", "23.72", "24.72", "25.72"};
    return Currency::fromString(QLatin1String(rates[year - EarliestYear]));
}

QDate DemoArchiveAnniPrecedenti::relationshipStart(const QDate &start, const QDate &birth, const QDate &rangeStart)
{
    if (start < rangeStart)
        return start;
    return std::max(birth.addYears(20), rangeStart.addDays(-QDate(2000, 1, 1).daysTo(start)));
}

int DemoArchiveAnniPrecedenti::employerYearId(int year)
{
    checkYear(year);
    return DemoArchive::MaxYear - DemoArchive::FirstYear + 1 + (DemoArchive::FirstYear - year);
}

} // namespace payroll
