#pragma once
// What the demo archive adds so that the public-sector (ex DMA) import
// meets pay of earlier periods and pension-fund contributions, for the
// first public-sector person with a pension fund (the ninth), every month
// of the range it is paid in:
// - a salary register of the month marked with the previous month as its
//   earlier ex-DMA period (DREGSDMADAL, DREGSDMAAL): arrears of the
//   special allowance (item 10008, category 10002) and, with its own
//   reference period two months back, its adjustment (item 10009);
// - on the register of the month, two items with earlier reference periods
//   (DVACRRIFDAL, DVACRRIFAL): 10005 of the previous month and 10007 of the
//   month before it;
// - an accessory liquidation (kind 2) of the previous month's ex-DMA
//   period (DVARMDMADAL, DVARMDMAAL): overtime, 10004;
// - on the salary item of the month's register, the fund's other two
//   retentions: 15 (the worker's additional contribution) and 16 (the
//   member's share);
// - the adhesion of the range's last year suspended on the 10th of the
//   month before the range and ended on the 20th of the range's last month.
// Each item bears the pension, end-of-service, credit and fund retentions
// and income tax, its register's totals and gross grow by it.
#include "DemoArchiveWriter.h"

namespace payroll {

class DemoArchiveDma {
public:
    // Amounts of the rows above.
    static const platform::Currency Arretrati;          // 10008 on the earlier-period register
    static const platform::Currency Conguaglio;         // 10009 on it, three months back
    static const platform::Currency TurnoPrecedente;    // 10005 on the month's register, two months back
    static const platform::Currency RischioPrecedente;  // 10007 on it, three months back
    static const platform::Currency Straordinario;      // 10004 of the accessory liquidation
    static const platform::Currency AliquotaAggiuntiva; // retention 15, the worker's rate
    static const platform::Currency AliquotaIscritto;   // retention 16, the worker's rate

    // Adds the above to an archive being filled (in the writer's
    // transaction, once the generators are past the keys given).
    static void fill(DemoArchiveWriter &writer);
};

} // namespace payroll
