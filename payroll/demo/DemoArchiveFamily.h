#pragma once
// What the demo archive adds for the one-off bonuses of 2022, on the
// salary registers of that year that the range holds: every employee with a
// salary register in July asks for the 200 euros (LACOMBONUS2002022) and
// gets item 10072 of 200.00 on it; every employee with one in November asks
// for the 150 euros (LACOMBONUS1502022) and gets item 10073 of 150.00 when
// the November taxable of the bonus (whole euros) is above 0 and at most
// 1,538.00. The register's gross grows by the item.
//
// The family-allowance tables (a master per July-June from 2009/10 to the
// archive's last year, tables T11, T12 and T13) are written with the
// reference data.
#include "DemoArchiveWriter.h"

namespace payroll {

class DemoArchiveFamily {
public:
    // Adds the above to an archive being filled (in the writer's
    // transaction, once the generators are past the rows written).
    static void fill(DemoArchiveWriter &writer);
};

} // namespace payroll
