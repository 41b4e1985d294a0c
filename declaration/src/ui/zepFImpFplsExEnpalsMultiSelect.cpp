#include "zepFImpFplsExEnpalsMultiSelect.h"

#include "ZepUMainState.h"

#include "FormRegistry.h"

const QString TfmZepImpFplsExEnpalsMultiSelect::NomeClasse = QStringLiteral("TfmZepImpFplsExEnpalsMultiSelect");

TfmZepImpFplsExEnpalsMultiSelect::TfmZepImpFplsExEnpalsMultiSelect(QWidget *owner)
    : TfmZepFiscImpMultiSelect(owner,
                               std::make_unique<TZepImpFplsExEnpalsMultiSelect>(IZepMainState::Require(owner).Store()))
{
    setObjectName(NomeClasse);
}

void TfmZepImpFplsExEnpalsMultiSelect::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse, [](QWidget *owner) -> QWidget * {
        return new TfmZepImpFplsExEnpalsMultiSelect(owner);
    });
}

void TfmZepImpFplsExEnpalsMultiSelect::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
