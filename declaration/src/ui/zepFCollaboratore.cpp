#include "zepFCollaboratore.h"

#include "ZepRCollaboratore.h"

#include "FormRegistry.h"

namespace {
const QString NomeClasse = QStringLiteral("TfmZepCollaboratore");
}

TfmZepCollaboratore::TfmZepCollaboratore(QWidget *owner) : TfmZepDatiDenuncia(owner, TZepCollaboratore::Tabella)
{
    setObjectName(QStringLiteral("fmZepCollaboratore"));
    setWindowTitle(QStringLiteral("Collaboratori"));
    frCollaboratore = new TfrZepCollaboratore(this);
    SetFrame(frCollaboratore);
}

void TfmZepCollaboratore::FormShow()
{
    TfmZepDatiDenuncia::FormShow();
    frCollaboratore->cdsMain.setIndexFieldNames(TZepCollaboratore::IndiceFinestra);
    // The first row in the new order, as the other lists open.
    frCollaboratore->cdsMain.first();
}

void TfmZepCollaboratore::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse,
                                     [](QWidget *owner) -> QWidget * { return new TfmZepCollaboratore(owner); });
}

void TfmZepCollaboratore::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
