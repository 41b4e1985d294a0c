#pragma once
// The launcher of "Importa (ex Dma)": the data module TdmZepDmaImporta, one
// instance made at start-up after the overtime module and living until the
// program ends (the command registry's ImportaDma runs it). It runs the flow of TZepDmaImporta
// (zepCDmaImporta.h) with the windows: the wizard "Importa dati per DMA",
// the CCNL pay-table choice and the person multi-select, on the store of
// the main window.
#include "zepCDmaImporta.h"

class TdmZepDmaImporta : public TZepDmaImporta {
public:
    TdmZepDmaImporta();

    // The command's step: the whole import on the main window's store.
    void ImportaDma();
};
