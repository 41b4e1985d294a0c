#pragma once
// The financial years before 2010 that a demo archive holds when its range
// starts earlier (from 2005: the years of the earlier declaration program):
// the years, their months and the reference rows of every year (rates and
// minimums, contribution groups, holidays, contract tables, the employer's
// year and company parameters) are made as for the later years, with the
// figures of those years that differ:
// - the collaborators' rate of the separate INPS scheme, by year;
// - contract amounts 1.5 % a year below those of 2009 (which has the
//   amounts of 2010);
// - the employer's year rows keyed after those of every later year, so that
//   the keys of 2010 on are the same whatever the range;
// - the persons in service from long ago (2000 to 2009) are so from before
//   the range, as they are for a range from 2010.
#include "DemoArchive.h"

#include "Currency.h"

namespace payroll {

class DemoArchiveAnniPrecedenti {
public:
    // The earliest month a range may ask for: January of this year.
    static constexpr int EarliestYear = 2005;

    // The archive's first financial year: DemoArchive::FirstYear, or the
    // range's first year when it is earlier.
    static int firstYear(const DemoArchiveOptions &options);
    // A yearly contract amount of a year before 2010 (from 2004, the year of
    // the first family-allowance tables) from the one of 2010.
    static platform::Currency annualAmount(platform::Currency amount2010, int year);
    // The collaborators' separate-scheme rate of a year before 2010.
    static platform::Currency collaboratorRate(int year);
    // The start of a relationship begun long ago (`start`, 2000 to 2009):
    // itself when it comes before the range, else as long before the range
    // as it came after 2000, and not before the person is twenty.
    static QDate relationshipStart(const QDate &start, const QDate &birth, const QDate &rangeStart);
    // The key of the employer's year rows (TDWGANF_DATORIANNO,
    // TPACO_PARAMCOMP) of a year before 2010.
    static int employerYearId(int year);
};

} // namespace payroll
