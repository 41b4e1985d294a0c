#pragma once
// What the demo archive adds for the payroll calculations:
// - the excess-hours rule of item 10025 (teachers' hours beyond the chair):
//   the monthly salary with the special allowance over 78 hours (18 weekly
//   hours x 52 weeks / 12 months), in force from 2010;
// - the generators of the excess-hours rules and of the company parameters,
//   whose rows are keyed by hand, are moved past their keys, so that a row
//   the programs add (a year's company parameters made by their frame) gets
//   a free key.
#include "DemoArchiveWriter.h"

namespace payroll {

class DemoArchiveCalcoli {
public:
    static constexpr int VoceOreEccedenti = 10025;

    // Adds the above to an archive being filled (in the writer's
    // transaction).
    static void fill(DemoArchiveWriter &writer);
};

} // namespace payroll
