#pragma once
// What the public-sector import leaves to the user before "Crea file
// telematico", completed for a demo or benchmark archive as TZepCompletaDemo
// completes the other tables (zepDemoDeclaration --ex-dma --completa-demo):
//
//   "Quadro E1"  the kind of cessation of every pension-fund row whose
//                contributions stop on a date with neither the suspension
//                reason nor the cessation kind (the import takes the date
//                from the payroll's fund membership, which holds no code,
//                and the file refuses the date alone). The demo's
//                memberships are suspended only before the months its
//                archive holds, so a date in the month is a cessation: the
//                demo's own, made-up kind below.
//
// Rows that already hold their values are left as they are.
#include <QString>

class ITovDBCds;

class TZepCompletaDemoDma {
public:
    static const QString TipoCessazioneE1; // "1" (the real list is not shipped)

    // The store positioned on the working period (not owned).
    explicit TZepCompletaDemoDma(ITovDBCds &store);

    // How many rows it completed.
    int CessazioniE1();

private:
    ITovDBCds &m_store;
};
