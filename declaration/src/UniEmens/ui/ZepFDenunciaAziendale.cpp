#include "ZepFDenunciaAziendale.h"

#include "ZepRDenunciaAzieldale.h"

#include "Exceptions.h"
#include "FormRegistry.h"

namespace {
const QString NomeClasse = QStringLiteral("TfmzepDenunciaAziendale");
}

TfmzepDenunciaAziendale::TfmzepDenunciaAziendale(QWidget *owner)
    : TfmZepDatiDenuncia(owner, TZepDenunciaAziendale::Tabella)
{
    setObjectName(QStringLiteral("fmzepDenunciaAziendale"));
    setWindowTitle(QStringLiteral("Denuncia Aziendale"));
    frZepDenunciaAziendale1 = new TfrZepDenunciaAziendale(this);
    SetFrame(frZepDenunciaAziendale1);
}

void TfmzepDenunciaAziendale::FormShow()
{
    TfmZepDatiDenuncia::FormShow();
    platform::DataSet &ds = frZepDenunciaAziendale1->cdsMain;
    ds.setIndexFieldNames(TZepDenunciaAziendale::Indice);
    ds.setReadOnly(true);
    ds.first();
}

void TfmzepDenunciaAziendale::PostData()
{
    throw platform::EAbort();
}

void TfmzepDenunciaAziendale::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse,
                                     [](QWidget *owner) -> QWidget * { return new TfmzepDenunciaAziendale(owner); });
}

void TfmzepDenunciaAziendale::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
