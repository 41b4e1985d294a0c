#pragma once
// The contract-vacancy allowance (IVC) and the other contract amounts of a
// month of the contract history: the amount of an item for a person's
// qualification in the contract tables in force that month, scaled to the
// person's hours. The program makes the one module at start-up (dmWunIvc);
// the year rules ask it for the December 2023 one-off sum.
#include "wunMFondCalcola.h"

class TdmWunIvc : public TdmWunFondCalcola {
public:
    // Sets the global dmWunIvc (one module a run).
    explicit TdmWunIvc(QObject *parent = nullptr);
    ~TdmWunIvc() override;

    // The amount of `voce` for the qualification in the month of the
    // contract-history row `asti` (MES_IMESID, IASTIANZIANITA,
    // IASTIORESERVIZIO, LASTICATTEDRA): the tables in force that month
    // are made current (WunCCNL); items 10049 and 10071 come from the
    // first contract table and its seniority class (QRY_CCNL_COMR, 0 when
    // the table lacks the item), the others from the second table
    // (QRY_CCNV_HELP). 0 without contract hours; with reduced hours (`tipo`
    // the item's aid code) the amount x service minutes / contract
    // minutes, rounded to cents. `query` is a work query of the caller's.
    Currency ImportoIvc(const DataSet &asti, platform::SqlQuery &query, int qualifica, int voce, int tipo,
                        int oreContratto);
};

// The one module of the run (nullptr before it is created and after it is
// destroyed).
extern TdmWunIvc *dmWunIvc;
