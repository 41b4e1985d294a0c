#pragma once
// What the demo archive adds for the declaration of collaborators: every
// second collaborator (in the order of their personnel records) bears no
// withholding of the separate management, the company paying the whole
// contribution; the declaration's import gives such a collaborator its
// relief. The rows stay as the pay rules make them: the INPS rows carry the
// company's rate only (employee rate 0, both shares 100), the income tax
// is taken on the whole gross, and the registers' totals by retention are
// the sums of their item rows again.
#include "Database.h"

namespace payroll {

class DemoArchiveCollaboratori {
public:
    // Changes the rows of an archive being filled (in its transaction);
    // answers how many collaborators now bear no withholding.
    static int fill(platform::Database &database);
};

} // namespace payroll
