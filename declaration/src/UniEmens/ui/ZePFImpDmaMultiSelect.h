#pragma once
// The public-sector import window: the payroll library's per-person import
// dialog over the rules of TZepDmaImpMultiSelect (ZePCImpDmaMultiSelect.h),
// on the store of the main window. Its replace choice has a fourth column,
// "Aggiungi"; the check box "Forza l'importazione delle denunce inviate" is
// kept hidden. The check list gathered over a run is shown at the end in
// the public-sector check dialog. "Importa (ex Dma)" opens it by class name
// after the wizard.
#include "import/ui/WunFFiscImpMultiSelect.h"

#include "ZePCImpDmaMultiSelect.h"

class QCheckBox;

class TfmZepDmaImpMultiSelect : public TfmwunFiscImpMultiSelect {
    Q_OBJECT
public:
    static const QString NomeClasse; // "TfmZepDmaImpMultiSelect"

    explicit TfmZepDmaImpMultiSelect(QWidget *owner = nullptr);

    TZepDmaImpMultiSelect &Logica() const
    {
        return static_cast<TZepDmaImpMultiSelect &>(TfmwunFiscImpMultiSelect::Logica());
    }

    QCheckBox *cbForzaBloccati;

    static void RegisterClass();
    static void UnregisterClass();
};
