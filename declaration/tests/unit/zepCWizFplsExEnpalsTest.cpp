// The rules of the performing-arts import's wizard on the demo archive.
#include "zepCWizFplsExEnpals.h"

#include "ZepImportDemoSupport.h"

using namespace imptest;

TEST_F(ImportTest, TheFplsWizardShowsTheParametersAndWritesThemOnOkAChosenTypeConfirmed)
{
    TZepWizFplsExEnpals wiz(&tdb.db());
    DataSet t;
    t.setFieldDefs({{"Codice", FieldType::String, 2}, {"Descrizione", FieldType::String, 250}});
    t.createDataSet();
    t.appendRecord({"71", "Tipo settantuno"});
    wiz.FileContribuzione = QDir(cartella.path()).filePath("TTRP_TIPORAPPORT.cds");
    TTovCds::SaveToFile(t, wiz.FileContribuzione);
    Parametro("SOSTITUTO", true);
    wiz.Imposta(&parametri, &sedi);
    wiz.Inizia();
    // The type shows only when the code table describes it.
    for (const auto &[codice, testo] :
         QList<QPair<QString, QString>>{{"", ""}, {"71", "71: Tipo settantuno"}, {"99", ""}}) {
        Parametro("TipoContribuzioneFpls", codice);
        wiz.AttivaPagina(TwunWizard::Pagina::MeseComp);
        EXPECT_EQ(wiz.Contribuzione, testo) << codice.toStdString();
    }
    EXPECT_EQ(wiz.Caption, "Importa dati per UniEMens iscritti Fpls (Ex Enpals)");
    EXPECT_TRUE(wiz.Dichiarante);
    EXPECT_EQ(wiz.Comune + wiz.Matricola, "A9447654321098");
    ASSERT_EQ(wiz.Mesi.size(), 12);
    EXPECT_EQ(wiz.Mesi.at(wiz.MeseScelto).id, 3);

    // A type chosen: No keeps the wizard open, Yes closes; Cancel never asks.
    wiz.Dichiarante = false;
    wiz.Comune = "H501";
    wiz.ScegliContribuzione("71", "Tipo settantuno");
    services->replyToMessages({platform::No, platform::Yes});
    EXPECT_FALSE(wiz.PuoChiudere(true));
    EXPECT_TRUE(wiz.PuoChiudere(true));
    EXPECT_TRUE(wiz.PuoChiudere(false));
    EXPECT_EQ(services->messageTexts(), QStringList(2, TZepWizFplsExEnpals::MsgConfermaContribuzione));
    EXPECT_EQ(wiz.Conferma(), TZepWizFplsExEnpals::Titolo);
    parametri.checkBrowseMode();
    EXPECT_FALSE(parametri.fieldByName("SOSTITUTO").asBoolean());
    EXPECT_EQ(parametri.fieldByName("ComuneLavoro").asString(), "H501");
    EXPECT_EQ(parametri.fieldByName("TipoContribuzioneFpls").asString(), "71");
    // A code typed in the field is the one saved.
    wiz.Contribuzione = "00";
    wiz.Conferma();
    parametri.checkBrowseMode();
    EXPECT_EQ(parametri.fieldByName("TipoContribuzioneFpls").asString(), "00");
    // The field emptied: nothing to confirm, the type cleared.
    wiz.Contribuzione.clear();
    EXPECT_TRUE(wiz.PuoChiudere(true));
    EXPECT_EQ(services->messages().size(), 2);
    wiz.Conferma();
    parametri.checkBrowseMode();
    EXPECT_TRUE(parametri.fieldByName("TipoContribuzioneFpls").isNull());
}
