#pragma once
// The declaration program's import dialog base: the payroll library's
// per-person import window over the declaration import base's rules
// (TZepFiscImpMultiSelect, zepCFiscImpMultiSelect.h: tables in the store of
// the working period, citizenship and pension regime). The private-sector
// and performing-arts imports derive their windows from it, hand their
// rules to the constructor and are run by TfmwunFiscImpMultiSelect::Execute
// with their class name. The rules get the INPS offices' code table of the
// program's main window for their declarant step.
#include "import/ui/WunFFiscImpMultiSelect.h"

#include "zepCFiscImpMultiSelect.h"

class TfmZepFiscImpMultiSelect : public TfmwunFiscImpMultiSelect {
    Q_OBJECT
public:
    TfmZepFiscImpMultiSelect(QWidget *owner, std::unique_ptr<TZepFiscImpMultiSelect> logica);

    TZepFiscImpMultiSelect &Logica() const
    {
        return static_cast<TZepFiscImpMultiSelect &>(TfmwunFiscImpMultiSelect::Logica());
    }
};
