#include "zepFDipendente.h"

#include "zepRDipendente.h"

#include "FormRegistry.h"

namespace {
const QString NomeClasse = QStringLiteral("TfmZepDipendente");
}

TfmZepDipendente::TfmZepDipendente(QWidget *owner) : TfmZepDatiDenuncia(owner, TZepDipendente::Tabella)
{
    setObjectName(QStringLiteral("fmZepDipendente"));
    setWindowTitle(QStringLiteral("Dipendenti"));
    frDipendente = new TfrZepDipendente(this);
    SetFrame(frDipendente);
}

void TfmZepDipendente::FormShow()
{
    TfmZepDatiDenuncia::FormShow();
    frDipendente->cdsMain.setIndexFieldNames(TZepDipendente::IndiceFinestra);
    frDipendente->cdsMain.first();
}

void TfmZepDipendente::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse,
                                     [](QWidget *owner) -> QWidget * { return new TfmZepDipendente(owner); });
}

void TfmZepDipendente::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
