#pragma once
// The private-sector import's dialog: the person choice of the month with
// the replace choice, over the rules of TZepImpMultiSelect
// (ZepCImpMultiSelect.h), which write the employee and collaborator rows of
// the working period into the main window's declaration-table store. The
// "Importa" command runs it by class name after the wizard.
#include "zepFFiscImpMultiSelect.h"

#include "ZepCImpMultiSelect.h"

class TfmZepImpMultiSelect : public TfmZepFiscImpMultiSelect {
    Q_OBJECT
public:
    // The store is that of the owner's main window (or the current one).
    explicit TfmZepImpMultiSelect(QWidget *owner = nullptr);

    TZepImpMultiSelect &Logica() const { return static_cast<TZepImpMultiSelect &>(TfmZepFiscImpMultiSelect::Logica()); }

    // Registers the class by name (the "Importa" command opens it so).
    static void RegisterClass();
    static void UnregisterClass();
};
