#include "zepFRepColl.h"

#include "FormRegistry.h"
#include "ZepUMainState.h"
#include "zepCRepBase.h"

TfmzepRepColl::TfmzepRepColl(QWidget *owner)
    : TfmzepRepBase(owner,
                    std::make_unique<TzepRepColl>(IZepMainState::Require(owner).Store(),
                                                  IZepMainState::Require(owner).Programma().Denuncia),
                    QStringLiteral("Scelta collaboratori"))
{
    setObjectName(QStringLiteral("fmzepRepColl"));
}

void TfmzepRepColl::RegisterClass()
{
    platform::FormRegistry::Register(QStringLiteral("TfmzepRepColl"),
                                     [](QWidget *owner) -> QWidget * { return new TfmzepRepColl(owner); });
}

void TfmzepRepColl::UnregisterClass()
{
    platform::FormRegistry::Unregister(QStringLiteral("TfmzepRepColl"));
}
