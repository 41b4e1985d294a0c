// "Importa iscritti FPLS" from the command registry to the declaration
// tables, on the demo archive of March 2024.
#include "ZepCWiz.h"
#include "ZepMAttivazioni.h"
#include "zepCImpSostituto.h"
#include "ZepCFplsExEnpals.h"
#include "zepFImpFplsExEnpalsMultiSelect.h"
#include "zepFWizFplsExEnpals.h"

#include "ZepImportDemoSupport.h"
#include "ZepWorkingPeriodSupport.h"

#include "TovFCdsSearch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using namespace imptest;

TEST_F(ImportTest, ImportaIscrittiFplsRunsTheWizardThenTheImportWindow)
{
    periodtest::FakeMainState main(store);
    IZepMainState::SetCurrent(&main);
    const QString tabelle = main.path("USR/UniEmens/Res/Tabelle/");
    QDir().mkpath(tabelle);
    QFile::copy(fileSediInps, tabelle + TZepImpSostituto::TabellaSediInps);
    DataSet t;
    t.setFieldDefs({{"Codice", FieldType::String, 2}, {"Descrizione", FieldType::String, 250}});
    t.createDataSet();
    t.appendRecord({"71", "Tipo settantuno"});
    TTovCds::SaveToFile(t, tabelle + TZepWiz::TabellaTipiContribuzione);
    TdmZepAttivazioni registry;
    registry.SetStore(&store);
    registry.SetCartellaBase(main.CartellaBase());
    registry.SetCartellaParametri(main.path("usr/wun/"));
    TfmZepWizFplsExEnpals::RegisterClass();
    TfmZepImpFplsExEnpalsMultiSelect::RegisterClass();
    TfmTovRicerca::RegisterClass();

    // The wizard: the company number typed, the contribution type picked
    // from the code table and confirmed.
    services->onNextDialog([](QDialog &d) {
        auto &w = dynamic_cast<TfmZepWizFplsExEnpals &>(d);
        EXPECT_EQ(w.Path(), QStringList{"tsMeseComp"});
        EXPECT_EQ(w.cbMesi->currentIndex(), 2);
        EXPECT_TRUE(w.chDichiarante->isChecked()) << "no declarant in 2024 yet";
        QTest::keyClicks(w.EdMatAzienda, "7654321098");
        w.buContr->click();
        EXPECT_EQ(w.ceContr->text(), "71: Tipo settantuno");
        w.accept();
        return w.result();
    });
    services->onNextDialog([](QDialog &d) {
        EXPECT_TRUE(dynamic_cast<TfmTovRicerca &>(d).cdsSearch.locate("Codice", Value("71")));
        return int(mrOk);
    });
    services->replyToMessages({platform::Yes});
    // The import window: OK imports everyone, Cancel closes.
    services->onNextDialog([](QDialog &d) {
        EXPECT_EQ(dynamic_cast<TfmZepImpFplsExEnpalsMultiSelect &>(d).buOkClick().importati, 1);
        return int(mrCancel);
    });
    registry.xafImportFplsExEnpals->Execute();

    TfmZepWizFplsExEnpals::UnregisterClass();
    TfmZepImpFplsExEnpalsMultiSelect::UnregisterClass();
    TfmTovRicerca::UnregisterClass();
    IZepMainState::SetCurrent(nullptr);
    EXPECT_EQ(services->messageTexts(),
              QStringList({TZepWizFplsExEnpals::MsgConfermaContribuzione, "Fine operazione"}));
    DataSet ds;
    Archiviata(ds, TZepParametri::TabellaDichiarante);
    EXPECT_EQ(ds.fieldByName("SedeINPS").asString(), "1300");
    Archiviata(ds, TZepFplsExEnpals::Tabella);
    ASSERT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.fieldByName("Matricola").asString() + "/" + ds.fieldByName("TipoContribuzione").asString(),
              "7654321098/71");
}
