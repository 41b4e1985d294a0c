#include "zepMDmaImporta.h"

#include "ZepUMainState.h"

#include "import/ui/WunFFiscImpMultiSelect.h"
#include "import/ui/wunFWizard.h"
#include "wunFTabCCNL.h"

TdmZepDmaImporta::TdmZepDmaImporta()
{
    EseguiWizard = [](const QString &classe, platform::DataSet &parametri, TUqQueryCollection &sedi) {
        return TfmwunWizard::Execute(classe, parametri, &sedi);
    };
    ScegliTabellaCCNL = [] { return TfmWunTabCCNL::Execute(false); };
    EseguiImportazione = [](const QString &classe, platform::DataSet &parametri, TUqQueryCollection &sedi) {
        TfmwunFiscImpMultiSelect::Execute(classe, &parametri, &sedi);
    };
}

void TdmZepDmaImporta::ImportaDma()
{
    SetStore(&IZepMainState::Require(nullptr).Store());
    TZepDmaImporta::ImportaDma();
}
