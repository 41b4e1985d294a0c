// "Importa iscritti FPLS" from the command registry to the declaration
// tables, on the demo archive of March 2024: the wizard's page, the
// contribution type picked from the code table and confirmed, the import
// window run with OK, the declarant and the worker's row stored.
#include "ZepMAttivazioni.h"
#include "zepFImpFplsExEnpalsMultiSelect.h"
#include "zepFWizFplsExEnpals.h"
#include "zepCImpSostituto.h"

#include "ZepImportDemoSupport.h"
#include "ZepWorkingPeriodSupport.h"

#include "FormRegistry.h"
#include "TovFCdsSearch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using namespace imptest;

namespace {

class FplsDalComando : public ImportTest {
protected:
    FplsDalComando()
        : main(store)
    {
        IZepMainState::SetCurrent(&main);
        const QString tabelle = main.path("USR/UniEmens/Res/Tabelle/");
        QDir().mkpath(tabelle);
        QFile::copy(fileSediInps, tabelle + TZepImpSostituto::TabellaSediInps);
        DataSet t;
        t.setFieldDefs({{"Codice", FieldType::String, 2}, {"Descrizione", FieldType::String, 250}});
        t.createDataSet();
        t.appendRecord({"00", "Nessuno"});
        t.appendRecord({"71", "Tipo settantuno"});
        TTovCds::SaveToFile(t, tabelle + TZepWizFplsExEnpals::TabellaContribuzione);

        registry.SetStore(&store);
        registry.SetCartellaBase(main.CartellaBase());
        registry.SetCartellaParametri(main.path("usr/wun/"));
        TfmZepWizFplsExEnpals::RegisterClass();
        TfmZepImpFplsExEnpalsMultiSelect::RegisterClass();
        TfmTovRicerca::RegisterClass();
    }
    ~FplsDalComando() override
    {
        TfmZepWizFplsExEnpals::UnregisterClass();
        TfmZepImpFplsExEnpalsMultiSelect::UnregisterClass();
        TfmTovRicerca::UnregisterClass();
        IZepMainState::SetCurrent(nullptr);
    }

    periodtest::FakeMainState main;
    TdmZepAttivazioni registry;
};

} // namespace

TEST_F(FplsDalComando, TheWizardThenTheImportWindowWriteTheDeclarantAndTheWorkersRow)
{
    // The wizard: the page as the parameters give it; the company number
    // typed, the contribution type picked and confirmed.
    services->onNextDialog([](QDialog &d) {
        auto &w = dynamic_cast<TfmZepWizFplsExEnpals &>(d);
        EXPECT_EQ(w.windowTitle(), "Importa dati per UniEMens iscritti Fpls (Ex Enpals)");
        EXPECT_EQ(w.ActivePageName(), "tsMeseComp");
        EXPECT_EQ(w.Path(), QStringList{"tsMeseComp"});
        EXPECT_FALSE(w.cbMesi->isEnabled());
        EXPECT_EQ(w.cbMesi->currentIndex(), 2);
        EXPECT_TRUE(w.chDichiarante->isChecked()) << "no declarant in 2024 yet";
        EXPECT_EQ(w.ceContr->text(), "");
        QTest::keyClicks(w.EdMatAzienda, "7654321098");
        w.buContr->click();
        EXPECT_EQ(w.ceContr->text(), "71: Tipo settantuno");
        w.accept();
        return w.result();
    });
    services->onNextDialog([](QDialog &d) {
        auto &ricerca = dynamic_cast<TfmTovRicerca &>(d);
        EXPECT_TRUE(ricerca.cdsSearch.locate("Codice", Value("71")));
        return int(mrOk);
    });
    services->replyToMessages({platform::Yes});
    // The import window: OK imports the selection (everyone), Cancel closes.
    services->onNextDialog([](QDialog &d) {
        auto &imp = dynamic_cast<TfmZepImpFplsExEnpalsMultiSelect &>(d);
        EXPECT_EQ(imp.buOkClick().importati, 1);
        return int(mrCancel);
    });
    registry.xafImportFplsExEnpals->Execute();

    EXPECT_EQ(services->messageTexts(),
              QStringList({TZepWizFplsExEnpals::MsgConfermaContribuzione, "Fine operazione"}));
    DataSet ds;
    Archiviata(ds, TZepParametri::TabellaDichiarante);
    ASSERT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.fieldByName("SedeINPS").asString(), "1300");
    Archiviata(ds, TZepImpFplsExEnpalsMultiSelect::Tabella);
    ASSERT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.fieldByName("Matricola").asString(), "7654321098");
    EXPECT_EQ(ds.fieldByName("TipoContribuzione").asString(), "71");
    EXPECT_EQ(ds.fieldByName("CodiceComune").asString(), sedi.fieldValue("SSRPCCODCATA").toString());
}
