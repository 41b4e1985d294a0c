// "Importa (ex Dma)" through its windows, on the demo archive of March
// 2024: the wizard "Importa dati per DMA" as it opens, then the import
// window with its four replace choices.
#include "ZePFImpDmaMultiSelect.h"
#include "ZepCDma.h"
#include "ZepFWizDmaImp.h"
#include "zepMDmaImporta.h"

#include "ZepImportDemoSupport.h"
#include "ZepWorkingPeriodSupport.h"
#include "wunUCalcoliAnno.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

using namespace imptest;

TEST_F(ImportTest, ImportaExDmaRunsTheWizardThenTheImportWindow)
{
    periodtest::FakeMainState main(store);
    IZepMainState::SetCurrent(&main);
    TfmZepWizDmaImp::RegisterClass();
    TfmZepDmaImpMultiSelect::RegisterClass();
    TdmZepDmaImporta dma;
    dma.SetCartellaParametri(main.path("usr/wun/"));
    // The fixture's parameters module is not started: the year without it.
    dma.SelezionaAnno = [](int anno) {
        wunAnnoFinanziario().LoadYear(QString::number(anno));
        TWunCalcolaAnno::CreaPerAnno(anno);
    };
    services->onNextDialog([](QDialog &d) {
        auto &w = dynamic_cast<TfmZepWizDmaImp &>(d);
        EXPECT_EQ(w.windowTitle(), TZepWizDmaImp::Titolo);
        EXPECT_EQ(w.buOk->text(), "Importa");
        EXPECT_EQ(w.cbPosGiu->currentText(), "Tempo indeterminato");
        EXPECT_FALSE(w.cbMesi->isEnabled());
        EXPECT_EQ(w.cbMesi->currentIndex(), 2);
        EXPECT_FALSE(w.chV1->isChecked());
        EXPECT_FALSE(w.cbAnniV1->isEnabled());
        w.chV1->setChecked(true);
        EXPECT_TRUE(w.cbMesiV1->isEnabled());
        EXPECT_EQ(w.cbMesiV1->count(), 2) << "January and February of the declaration's year";
        w.chV1->setChecked(false);
        w.accept();
        return w.result();
    });
    services->onNextDialog([](QDialog &d) {
        auto &w = dynamic_cast<TfmZepDmaImpMultiSelect &>(d);
        EXPECT_EQ(w.bgSovraScrivi->buttons().size(), 4);
        EXPECT_EQ(w.bgSovraScrivi->button(TZepDmaImpMultiSelect::Aggiungi)->text(), "Aggiungi");
        EXPECT_FALSE(w.cbForzaBloccati->isVisible());
        w.bgSovraScrivi->button(TZepDmaImpMultiSelect::Aggiungi)->click();
        EXPECT_EQ(w.Logica().Modo, TZepDmaImpMultiSelect::Aggiungi);
        EXPECT_GE(w.buOkClick().importati, 1);
        return int(mrCancel);
    });
    dma.ImportaDma();
    TfmZepWizDmaImp::UnregisterClass();
    TfmZepDmaImpMultiSelect::UnregisterClass();
    IZepMainState::SetCurrent(nullptr);
    TWunCalcolaAnno::Rilascia();
    EXPECT_TRUE(QFile::exists(main.path("usr/wun/") + TZepDmaImporta::NomeFileParametri));
    DataSet d0;
    Archiviata(d0, TZepDma::TabellaD0);
    EXPECT_GE(d0.recordCount(), 1);
}
