#pragma once
// The rows of the month of one person of the public-sector import
// (ZePCImpDmaMultiSelect.h), in the run's current section (E0, or V1 when
// the pay is imported as a variation of an earlier month): one row per pay
// period of the month's registers with pension, credit or end-of-service
// pay, the basic monthly pay and its part-time share, the month's
// adjustment (Importa); the accessory pay by qualification and period
// (ImportaAccessori); and the completion and checks of the person's rows
// of each section (CompletaQuadri).
#include "ZepRDmaVape.h"

#include "Currency.h"
#include "DataSet.h"
#include "SqlQuery.h"
#include "Value.h"

#include <QString>

class TZepDmaImpContesto;

class TZepDmaImpMese {
public:
    // Messages, letter for letter.
    static const QString MsgOrarioIntero; // "L'orario intero nei dati professionali non è impostato."
    // The check-list line of a month row whose remainder is below zero.
    static const QString MsgResiduoNegativo;

    // `quadro`: the table of the current section; `v1`: that of section V1
    // (the same when the current section is V1). Neither is owned.
    TZepDmaImpMese(TZepDmaImpContesto &contesto, platform::DataSet &quadro, platform::DataSet &v1);

    // The person's rows of the pay periods of the month's registers (those
    // not marked with an earlier ex-DMA period), the month's adjustment;
    // the section table ends on the row of the month's totals when there is
    // one.
    void Importa();
    // Whether the last register read was a register of the month itself:
    // without the dates of an earlier ex-DMA period (DREGSDMADAL).
    bool RegistroDelMese() const { return m_dalRegistro.isEmpty(); }
    // The accessory pay of the month, grouped by qualification and period:
    // added to the month's last row, or to the V1 row of an earlier period.
    void ImportaAccessori();
    // The person's rows of the current section, and of section V1 when that
    // is the other one: management codes, deletion of empty rows, checks.
    void CompletaQuadri();
    // Whether a row completed declared the end of service (code "7").
    bool FineServizio() const { return m_fineServizio; }

private:
    bool PeriodoRilevante();
    void ImportaPeriodo();
    void ImportiPeriodo();
    void QuadraMese();
    void ImportiMese();
    void ApriAccessori(platform::DataSet &gruppi);
    void CompletaQuadro(platform::DataSet &dataSet, const QString &sezione);

    TZepDmaImpContesto &m_contesto;
    platform::DataSet &m_quadro;
    platform::DataSet &m_v1;
    // The pay-register grid the pay periods are computed with, for the run.
    TfrQuvVapeDma m_vape;
    platform::SqlQuery m_registri;  // QRY_DMA_REGS
    platform::SqlQuery m_ritenute;  // the withholding sums
    platform::SqlQuery m_accessori; // QRY_DMA_IMP_ACC
    // The rows of the pay periods written for the person, copied.
    platform::DataSet m_righePeriodi;
    // DREGSDMADAL and DREGSDMAAL of the last register of the month read.
    platform::Value m_dalRegistro;
    platform::Value m_alRegistro;
    bool m_fineServizio = false;
};
