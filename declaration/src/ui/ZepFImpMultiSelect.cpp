#include "ZepFImpMultiSelect.h"

#include "FormRegistry.h"
#include "ZepUMainState.h"

TfmZepImpMultiSelect::TfmZepImpMultiSelect(QWidget *owner)
    : TfmZepFiscImpMultiSelect(owner,
                               std::make_unique<TZepImpMultiSelect>(IZepMainState::Require(owner).Store(),
                                                                    IZepMainState::Require(owner).Programma().Denuncia))
{
    setObjectName(QStringLiteral("fmZepImpMultiSelect"));
}

void TfmZepImpMultiSelect::RegisterClass()
{
    platform::FormRegistry::Register(QStringLiteral("TfmZepImpMultiSelect"),
                                     [](QWidget *owner) -> QWidget * { return new TfmZepImpMultiSelect(owner); });
}

void TfmZepImpMultiSelect::UnregisterClass()
{
    platform::FormRegistry::Unregister(QStringLiteral("TfmZepImpMultiSelect"));
}
