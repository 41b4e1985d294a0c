#include "zepFFiscImpMultiSelect.h"

TfmZepFiscImpMultiSelect::TfmZepFiscImpMultiSelect(QWidget *owner, std::unique_ptr<TZepFiscImpMultiSelect> logica)
    : TfmwunFiscImpMultiSelect(owner, std::move(logica))
{
}
