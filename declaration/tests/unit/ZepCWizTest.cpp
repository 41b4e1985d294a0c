// The rules of the wizard "Importa dati per EMens": the page from the
// import parameters, OK writing them back with the company numbers, Cancel
// writing nothing.
#include "ZepCWiz.h"
#include "ZepImportSupport.h"

#include "TovUCdsUtil.h"
#include "wunCPaco.h"

#include <QTemporaryDir>

using namespace importtest;

namespace {

class ZepWiz : public ImportTest {
protected:
    ZepWiz()
    {
        platform::DataSet tipi;
        tipi.setFieldDefs(
            {{"Codice", platform::FieldType::String, 2}, {"Descrizione", platform::FieldType::String, 250}});
        tipi.createDataSet();
        tipi.appendRecord({"00", "Ordinaria"});
        tipi.appendRecord({"71", "Senza ritenute"});
        wiz.FileTipiContribuzione = cartella.filePath("TTRP_TIPORAPPORT.cds");
        TTovCds::SaveToFile(tipi, wiz.FileTipiContribuzione);
        parametri.edit();
        parametri.fieldByName("SOSTITUTO").setAsBoolean(true);
        parametri.fieldByName("GIORNIINPS").setAsBoolean(true);
        parametri.fieldByName("TipoContribuzione").setAsString("71");
        parametri.fieldByName("VarRetributive").setAsBoolean(true);
        parametri.post();
        wiz.Imposta(&parametri, nullptr);
        wiz.SetAzienda(&azienda);
    }
    QString matricole()
    {
        platform::SqlQuery q(tdb.db());
        q.setSql("SELECT LIST(SPACOMATRAZIENDA || '/' || COALESCE(SPACOMATRAZACC, '')) FROM TPACO_PARAMCOMP "
                 "WHERE IANFID = 55");
        q.open();
        return q.value(0).toString();
    }
    QString parametro(const char *nome) const { return parametri.fieldByName(nome).asString(); }

    QTemporaryDir cartella;
    TWunPaco azienda;
    TZepWiz wiz{&tdb.db()};
};

} // namespace

TEST_F(ZepWiz, ThePageShowsTheParametersAndOkWritesThemBackWithTheCompanyNumbers)
{
    EXPECT_EQ(wiz.Caption, "Importa dati per EMens");
    wiz.Inizia();
    wiz.AttivaPagina(TwunWizard::Pagina::MeseComp);
    EXPECT_TRUE(wiz.Dichiarante);
    EXPECT_EQ(wiz.Giorni, 1);
    EXPECT_EQ(wiz.Comune, "A944");
    EXPECT_EQ(wiz.TestoContribuzione, "71: Senza ritenute");
    EXPECT_FALSE(wiz.PtComeIntero);
    EXPECT_FALSE(wiz.VarRetributive) << "never carried over";
    EXPECT_EQ(wiz.Mesi.value(wiz.IndiceMese).text, "Marzo");
    EXPECT_TRUE(azienda.xqcMain.isEditing()) << "the company row is ready for the user";

    // The user's changes, the accessory number left blank.
    wiz.Dichiarante = false;
    wiz.Giorni = 0;
    wiz.Comune = "H501";
    wiz.PtComeIntero = true;
    wiz.ScegliContribuzione("00", "Ordinaria");
    EXPECT_EQ(wiz.TestoContribuzione, "00: Ordinaria");
    azienda.xqcMain.fieldByName("SPACOMATRAZIENDA").setAsString("7777777777");
    azienda.xqcMain.fieldByName("SPACOMATRAZACC").setAsString("");
    EXPECT_EQ(wiz.Conferma(), "Importa dati per EMens");
    for (const auto &[nome, valore] : {std::pair{"ComuneLavoro", "H501"}, std::pair{"TipoContribuzione", "00"},
                                       std::pair{"MatricolaINPS", "7777777777"},
                                       std::pair{"MatricolaINPSAcc", "7777777777"}, std::pair{"ICOTFONDAMENTALE", "1"}})
        EXPECT_EQ(parametro(nome), valore) << nome;
    for (const auto &[nome, valore] : {std::pair{"SOSTITUTO", false}, std::pair{"GIORNIINPS", false},
                                       std::pair{"PT_COME_INTERO", true}, std::pair{"VarRetributive", false}})
        EXPECT_EQ(parametri.fieldByName(nome).asBoolean(), valore) << nome;
    EXPECT_EQ(matricole(), "7777777777/");

    // A type the table lacks: nothing shown, the code kept.
    parametri.edit();
    parametri.fieldByName("TipoContribuzione").setAsString("99");
    wiz.MostraPagina();
    EXPECT_EQ(wiz.TestoContribuzione, "");
    wiz.Conferma();
    EXPECT_EQ(parametro("TipoContribuzione"), "99");
}

TEST_F(ZepWiz, CancelDropsTheCompanyRowsEditAndWritesNothing)
{
    wiz.MostraPagina();
    azienda.xqcMain.fieldByName("SPACOMATRAZIENDA").setAsString("5555555555");
    wiz.Annulla();
    azienda.Salva(); // whatever saves the data afterwards finds nothing pending
    EXPECT_EQ(matricole(), "1234567890/1234567891");

    // A year without company parameters: the new row is dropped too.
    tdb.db().execute("DELETE FROM TPACO_PARAMCOMP WHERE IANFID = 55");
    wiz.MostraPagina();
    EXPECT_EQ(azienda.xqcMain.state(), platform::DataSetState::Insert);
    wiz.Annulla();
    azienda.Salva();
    EXPECT_EQ(matricole(), "");
}

TEST_F(ZepWiz, TheEMensProgramsShowAndKeepTheVariationsOfEarlierYears)
{
    for (const TZepDenuncia denuncia : {TZepDenuncia::EMens, TZepDenuncia::EMensLocale}) {
        wiz.Denuncia = denuncia;
        wiz.MostraPagina();
        EXPECT_TRUE(wiz.VarRetributive);
        wiz.VarRetributive = false;
        wiz.Conferma();
        EXPECT_FALSE(parametri.fieldByName("VarRetributive").asBoolean());
        parametri.edit();
        parametri.fieldByName("VarRetributive").setAsBoolean(true);
        parametri.post();
    }
}
