#include "ZepFMittente.h"

#include "zepRMittente.h"

#include "FormRegistry.h"
#include "ZepCParametri.h"

namespace {
const QString NomeClasse = QStringLiteral("TfmZepMittente");
}

TfmZepMittente::TfmZepMittente(QWidget *owner) : TfmZepDatiDenuncia(owner, TZepParametri::TabellaDichiarante, true)
{
    setObjectName(QStringLiteral("fmZepMittente"));
    setWindowTitle(QStringLiteral("Dichiarante"));
    frMittente = new TfrZepMittente(this);
    SetFrame(frMittente);
}

void TfmZepMittente::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse, [](QWidget *owner) -> QWidget * { return new TfmZepMittente(owner); });
}

void TfmZepMittente::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
