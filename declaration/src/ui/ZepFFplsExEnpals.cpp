#include "ZepFFplsExEnpals.h"

#include "zepRFplsExEnpals.h"

#include "FormRegistry.h"

namespace {
const QString NomeClasse = QStringLiteral("TfmZepFFplsExEnpals");
}

TfmZepFFplsExEnpals::TfmZepFFplsExEnpals(QWidget *owner) : TfmZepDatiDenuncia(owner, TZepFplsExEnpals::Tabella)
{
    setObjectName(QStringLiteral("fmZepFFplsExEnpals"));
    setWindowTitle(QStringLiteral("Iscritti Fpls ExEnpals"));
    frFplsExEnpals = new TfrZepFplsExEnpals(this);
    SetFrame(frFplsExEnpals);
}

void TfmZepFFplsExEnpals::FormShow()
{
    TfmZepDatiDenuncia::FormShow();
    frFplsExEnpals->cdsMain.setIndexFieldNames(TZepDipendente::IndiceFinestra);
    frFplsExEnpals->cdsMain.first();
}

void TfmZepFFplsExEnpals::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse,
                                     [](QWidget *owner) -> QWidget * { return new TfmZepFFplsExEnpals(owner); });
}

void TfmZepFFplsExEnpals::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
