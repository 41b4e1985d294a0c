#include "zepFRepDip.h"

#include "FormRegistry.h"
#include "ZepUMainState.h"
#include "zepCRepBase.h"

TfmzepRepDip::TfmzepRepDip(QWidget *owner)
    : TfmzepRepBase(owner,
                    std::make_unique<TzepRepDip>(IZepMainState::Require(owner).Store(),
                                                 IZepMainState::Require(owner).Programma().Denuncia),
                    QStringLiteral("Scelta dipendenti"))
{
    setObjectName(QStringLiteral("fmzepRepDip"));
}

void TfmzepRepDip::RegisterClass()
{
    platform::FormRegistry::Register(QStringLiteral("TfmzepRepDip"),
                                     [](QWidget *owner) -> QWidget * { return new TfmzepRepDip(owner); });
}

void TfmzepRepDip::UnregisterClass()
{
    platform::FormRegistry::Unregister(QStringLiteral("TfmzepRepDip"));
}
