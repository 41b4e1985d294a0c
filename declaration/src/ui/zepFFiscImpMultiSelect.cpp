#include "zepFFiscImpMultiSelect.h"

#include "ZepCTabellaDenuncia.h"
#include "ZepUMainState.h"
#include "zepCImpSostituto.h"

TfmZepFiscImpMultiSelect::TfmZepFiscImpMultiSelect(QWidget *owner, std::unique_ptr<TZepFiscImpMultiSelect> logica)
    : TfmwunFiscImpMultiSelect(owner, std::move(logica))
{
    Logica().FileSediInps = TZepTabellaDenuncia::FileTabella(IZepMainState::Require(owner),
                                                             TZepImpSostituto::TabellaSediInps);
}
