#include "zepFFiscImpMultiSelect.h"

#include "ZepUMainState.h"
#include "zepCImpSostituto.h"

#include "Paths.h"

TfmZepFiscImpMultiSelect::TfmZepFiscImpMultiSelect(QWidget *owner, std::unique_ptr<TZepFiscImpMultiSelect> logica)
    : TfmwunFiscImpMultiSelect(owner, std::move(logica))
{
    IZepMainState &main = IZepMainState::Require(owner);
    Logica().FileSediInps =
        platform::findPath(main.CartellaBase(), main.Programma().CartellaRisorse + QStringLiteral("Tabelle/") +
                                                    TZepImpSostituto::TabellaSediInps);
}
