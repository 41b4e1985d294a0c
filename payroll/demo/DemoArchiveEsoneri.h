#pragma once
// What the demo archive adds for the contribution exemptions, the mothers'
// relief and the tax-wedge cut of 2023-2025, on the salary registers of
// those years that the range holds:
// - 2023 and 2024: the IVS exemption of the salary (item 10074) and, in
//   December 2023, of the thirteenth month (item 10075), at the year's
//   percentage of the month's pension taxable;
// - 2024: one mother (the first woman with a permanent private contract
//   paid that year) takes the mothers' relief instead (LACOMDISESONEROIVS
//   2, item 10077: her whole pension contribution, at most 250.00 a month);
// - 2025 and later: the tax-wedge sum (item 10078) of the employees whose
//   yearly income is at most 20,000.00.
// The items go into the register's pay items, its gross grows by them; they
// belong to the salary's contribution groups of their years.
#include "DemoArchiveWriter.h"

namespace payroll {

class DemoArchiveEsoneri {
public:
    // Adds the above to an archive being filled (in the writer's
    // transaction, once the other rows are written and the generators moved
    // past them: the new items take their keys from the generator).
    static void fill(DemoArchiveWriter &writer);
};

} // namespace payroll
