// The rules of the performing-arts import's wizard on the demo archive: the
// page taken from the import parameters, the contribution type shown only
// when the code table describes it, the parameters written on OK, and the
// confirmation a chosen contribution type asks for.
#include "zepCWizFplsExEnpals.h"

#include "ZepImportDemoSupport.h"

using namespace imptest;

namespace {

class WizardFpls : public ImportTest {
protected:
    WizardFpls()
    {
        DataSet t;
        t.setFieldDefs({{"Codice", FieldType::String, 2}, {"Descrizione", FieldType::String, 250}});
        t.createDataSet();
        t.appendRecord({"71", "Tipo settantuno"});
        t.appendRecord({"00", "Nessuno"});
        wiz.FileContribuzione = QDir(cartella.path()).filePath("TTRP_TIPORAPPORT.cds");
        TTovCds::SaveToFile(t, wiz.FileContribuzione);
        Parametro("SOSTITUTO", true);
        wiz.Imposta(&parametri, &sedi);
        wiz.Inizia();
    }

    TZepWizFplsExEnpals wiz{&tdb.db()};
};

} // namespace

TEST_F(WizardFpls, ThePageShowsTheParametersAndTheTypeOnlyWhenTheCodeTableDescribesIt)
{
    for (const auto &[codice, testo] : QList<QPair<QString, QString>>{{"", ""}, {"71", "71: Tipo settantuno"}, {"99", ""}}) {
        Parametro("TipoContribuzioneFpls", codice.isEmpty() ? Value::null() : Value(codice));
        wiz.AttivaPagina(TwunWizard::Pagina::MeseComp);
        EXPECT_EQ(wiz.Contribuzione, testo) << codice.toStdString();
    }
    EXPECT_EQ(wiz.Caption, "Importa dati per UniEMens iscritti Fpls (Ex Enpals)");
    EXPECT_TRUE(wiz.Dichiarante);
    EXPECT_EQ(wiz.Comune, "A944");
    EXPECT_EQ(wiz.Matricola, "7654321098");
    ASSERT_EQ(wiz.Mesi.size(), 12);
    ASSERT_EQ(wiz.MeseScelto, 2);
    EXPECT_EQ(wiz.Mesi.at(2).id, 3);
    EXPECT_EQ(wiz.Mesi.at(2).text, Valore("SELECT SMESLDESC FROM TMES_MESI WHERE IMESID = 3").toString());
}

TEST_F(WizardFpls, OkWritesThePageAndAChosenTypeMustBeConfirmed)
{
    wiz.AttivaPagina(TwunWizard::Pagina::MeseComp);
    wiz.Dichiarante = false;
    wiz.Comune = "H501";
    wiz.Matricola = "1112223334";
    wiz.ScegliContribuzione("00", "Nessuno");
    EXPECT_EQ(wiz.Contribuzione, "00: Nessuno");

    // A type chosen: Yes closes, No keeps the wizard open; Cancel never asks.
    services->replyToMessages({platform::No, platform::Yes});
    EXPECT_FALSE(wiz.PuoChiudere(true));
    EXPECT_TRUE(wiz.PuoChiudere(true));
    EXPECT_TRUE(wiz.PuoChiudere(false));
    ASSERT_EQ(services->messages().size(), 2);
    EXPECT_EQ(services->messages().first().text,
              "ATTENZIONE: il tipo di contribuzione nei casi standard deve essere lasciato vuoto. Si conferma il "
              "tipo di contribuzione scelto ?");

    EXPECT_EQ(wiz.Conferma(), TZepWizFplsExEnpals::Titolo);
    parametri.checkBrowseMode();
    EXPECT_FALSE(parametri.fieldByName("SOSTITUTO").asBoolean());
    EXPECT_EQ(parametri.fieldByName("ComuneLavoro").asString(), "H501");
    EXPECT_EQ(parametri.fieldByName("MatricolaInpsFpls").asString(), "1112223334");
    EXPECT_EQ(parametri.fieldByName("TipoContribuzioneFpls").asString(), "00");

    // The field emptied: nothing to confirm, the type cleared.
    wiz.Contribuzione.clear();
    services->clear();
    EXPECT_TRUE(wiz.PuoChiudere(true));
    EXPECT_TRUE(services->messages().isEmpty());
    wiz.Conferma();
    parametri.checkBrowseMode();
    EXPECT_TRUE(parametri.fieldByName("TipoContribuzioneFpls").isNull());
}
