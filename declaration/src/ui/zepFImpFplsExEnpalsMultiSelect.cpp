#include "zepFImpFplsExEnpalsMultiSelect.h"

#include "ZepUMainState.h"
#include "zepCImpSostituto.h"

#include "FormRegistry.h"
#include "Paths.h"

const QString TfmZepImpFplsExEnpalsMultiSelect::NomeClasse = QStringLiteral("TfmZepImpFplsExEnpalsMultiSelect");

namespace {
std::unique_ptr<TZepFiscImpMultiSelect> regole(QWidget *owner)
{
    IZepMainState &main = IZepMainState::Require(owner);
    auto logica = std::make_unique<TZepImpFplsExEnpalsMultiSelect>(main.Store());
    logica->FileSediInps = platform::findPath(main.CartellaBase(), main.Programma().CartellaRisorse +
                                                                       QStringLiteral("Tabelle/") +
                                                                       TZepImpSostituto::TabellaSediInps);
    return logica;
}
} // namespace

TfmZepImpFplsExEnpalsMultiSelect::TfmZepImpFplsExEnpalsMultiSelect(QWidget *owner)
    : TfmZepFiscImpMultiSelect(owner, regole(owner))
{
    setObjectName(NomeClasse);
}

void TfmZepImpFplsExEnpalsMultiSelect::RegisterClass()
{
    platform::FormRegistry::Register(
        NomeClasse, [](QWidget *owner) -> QWidget * { return new TfmZepImpFplsExEnpalsMultiSelect(owner); });
}

void TfmZepImpFplsExEnpalsMultiSelect::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
