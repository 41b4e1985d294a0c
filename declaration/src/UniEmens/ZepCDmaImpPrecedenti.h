#pragma once
// The pay of earlier periods of one person of the public-sector import
// (ZePCImpDmaMultiSelect.h), declared as V1 rows. Two sources: whole
// registers of the month marked with an earlier ex-DMA period, and single
// items whose reference period lies before the month. Each earlier period
// gets one V1 row, its amounts recomputed from its withholding rows; what
// the items of earlier reference periods declare in V1 is taken out of the
// row of the pay they came with, so that it is declared once.
//
// The items of one reference period can come with the registers of the
// month and with those of an earlier ex-DMA period alike (the demo's
// adjustment of three months back on the register of the month before,
// beside an item of the same month on the month's own register): each
// group is computed and taken out of its own row, and the amounts go into
// the one V1 row of that period, cause and person (RegistraRigaV1). Two V1
// elements of one period and cause would each stand for the whole period
// to INPS.
//
// The dates of the conditions travel as bound parameters, never in the
// statement's text.
#include "Currency.h"
#include "DataSet.h"
#include "SqlQuery.h"
#include "UqQueryCollection.h"
#include "Value.h"

#include <QDate>
#include <QList>
#include <QString>

class TZepDmaImpContesto;

class TZepDmaImpPrecedenti {
public:
    // `v1`: the table of section V1 (not owned).
    TZepDmaImpPrecedenti(TZepDmaImpContesto &contesto, platform::DataSet &v1);

    // A new person: no V1 row of an earlier period made for it yet.
    void Inizia();
    // The month's registers of an earlier ex-DMA period: one V1 row per
    // period, its amounts recomputed from the period's withholding rows,
    // then the items of earlier reference periods on those registers.
    void ImportaPeriodiPrecedenti();
    // The items of earlier reference periods paid with the registers of the
    // ex-DMA period [dal, al] (without dates: with the registers of the
    // month itself): one V1 row per reference period, their amounts taken
    // out of the current row of `dataSet` (the V1 table, or the current
    // section's), the row of the pay they came with.
    void ImportaVociPrecedenti(platform::DataSet &dataSet, const platform::Value &al = {},
                               const platform::Value &dal = {});

private:
    // The four sums of a retention's withholding rows.
    struct TSommeRitenuta {
        platform::Currency imponibileAmm, imponibileDip, ritenutaDip, ritenutaAmm;
    };
    // A new row of the V1 table (left in insert state).
    void NuovaRigaV1(const platform::Value &dal, const platform::Value &al);
    // Posts the earlier period's V1 row being made: into the person's V1
    // row of the same period and cause made before in this person's import
    // when there is one (amounts added, the rest kept where it has any), or
    // as a row of its own. The V1 table ends on the row posted.
    void RegistraRigaV1();
    // The amounts of a V1 row from the sums of retention `ritenuta`
    // (pension, credit or end of service).
    void CompilaImportiV1(int ritenuta, const TSommeRitenuta &somme);
    // The amounts of the V1 row of a register of the earlier period
    // [dal, al].
    void ImportiV1Precedente(const QDate &dal, const QDate &al);
    // The basic pay of a register of the earlier period ending on `al`.
    platform::Currency StipendioPeriodoPrecedente(const QDate &al, int qualifica);
    // The V1 row of the items of one reference period.
    void ImportaVocePrecedente(const QString &condizioneRegistri, const platform::Value &dalRegistro,
                               const platform::Value &alRegistro, const platform::Value &dal, const platform::Value &al,
                               int tipoCompenso);

    TZepDmaImpContesto &m_contesto;
    platform::DataSet &m_v1;
    platform::SqlQuery m_ritenute;     // the withholding sums
    platform::SqlQuery m_periodi;      // QRY_DMA_FOND_PREC
    platform::SqlQuery m_riferimenti;  // QRY_DMA_FOND_PREC_VOCI
    TUqQueryCollection m_varrPrec;     // the withholding rows rebuilt
    TUqQueryCollection m_vacrVarrPrec; // the items with their withholding rows
    platform::DataSet m_vacrPrec;      // their copy
    platform::DataSet m_righeGruppo;   // the V1 rows of the items of one register's group, copied
    QList<int> m_righeV1Precedenti;    // ORDINE of the person's V1 rows of earlier periods
};
