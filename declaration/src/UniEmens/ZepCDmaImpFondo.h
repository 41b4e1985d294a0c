#pragma once
// The supplementary pension fund rows (section E1, TE1_FONDIPENSIONE) of
// one person of the public-sector import (ZePCImpDmaMultiSelect.h), last
// among its pay rows: at most one row per item category of the fund's
// withholding rows of the month, 10001 (salary) and 10002 (special
// allowance), with the fund's data of the compensation.
#include "Currency.h"
#include "UqQueryCollection.h"

#include <QString>

class TZepDmaImpContesto;

namespace platform {
class DataSet;
}

class TZepDmaImpFondo {
public:
    static const QString
        MsgFondoPensione; // "Impossibile trovare le informazioni relative al fondo pensione dei dati retributivi ."
    // The two item categories of the fund rows.
    static constexpr int CategoriaStipendio = 10001;
    static constexpr int CategoriaIis = 10002;
    // The fund's retentions: its contribution, the worker's additional
    // contribution, the member's share.
    static constexpr int RICE_FONDO = 14;
    static constexpr int RICE_FONDO_AGGIUNTIVO = 15;
    static constexpr int RICE_FONDO_ISCRITTO = 16;

    // `e1`: the table of section E1 (not owned).
    TZepDmaImpFondo(TZepDmaImpContesto &contesto, platform::DataSet &e1);

    // The person's fund rows of the month, then one E1 row per category
    // that has any.
    void Importa();

private:
    void ImportaE1Categoria(int categoria);
    // Over the fund rows under their current filter, of `ritenuta` and,
    // when `tipoCompenso` is above 0, of that item: the sum of `campo`
    // (modo 'S') or its greatest value, never below 0 (modo 'M'). The
    // cursor is left on the first row.
    platform::Currency ValoreE1(char modo, const QString &campo, int ritenuta, int tipoCompenso = 0);

    TZepDmaImpContesto &m_contesto;
    platform::DataSet &m_e1;
    TUqQueryCollection m_varr; // QRY_DMA_FPC_VARR
};
