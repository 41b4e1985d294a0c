#pragma once
// The performing-arts import window: the declaration program's import dialog
// over the rules of TZepImpFplsExEnpalsMultiSelect
// (zepCImpFplsExEnpalsMultiSelect.h), on the store of the main window and
// the program's code tables. The command "Importa iscritti FPLS" opens it by
// class name after the wizard.
#include "zepFFiscImpMultiSelect.h"

#include "zepCImpFplsExEnpalsMultiSelect.h"

class TfmZepImpFplsExEnpalsMultiSelect : public TfmZepFiscImpMultiSelect {
    Q_OBJECT
public:
    static const QString NomeClasse; // "TfmZepImpFplsExEnpalsMultiSelect"

    explicit TfmZepImpFplsExEnpalsMultiSelect(QWidget *owner = nullptr);

    TZepImpFplsExEnpalsMultiSelect &Logica() const
    {
        return static_cast<TZepImpFplsExEnpalsMultiSelect &>(TfmZepFiscImpMultiSelect::Logica());
    }

    static void RegisterClass();
    static void UnregisterClass();
};
