// The rules of the wizard "Importa dati per EMens" on the demo archive:
// the page from the import parameters, OK writing them back with the
// company numbers of the company parameters, and Cancel writing nothing.
#include "ZepCWiz.h"

#include "ZepUUtil.h"
#include "archive/ArchiveScripts.h"
#include "archive/DemoArchive.h"
#include "WunUUtil.h"
#include "wunCPaco.h"
#include "wunMParams.h"

#include "DataSet.h"
#include "RecordingServices.h"
#include "TempDatabase.h"
#include "TovUCdsUtil.h"
#include "tovCQueryText.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

class ZepWiz : public ::testing::Test {
protected:
    ZepWiz()
        : tdb(TempDatabase::Scripts{payroll::ArchiveScripts::all()})
    {
        payroll::DemoArchiveOptions o;
        o.persons = payroll::DemoArchive::MinPersons;
        o.fromYear = o.toYear = 2024;
        o.fromMonth = o.toMonth = 3;
        payroll::DemoArchive::fill(tdb.db(), o);
        Database::setGlobal(&tdb.db());
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        wunAnnoFinanziario().LoadYear("2024");
        params.DataModuleCreate();
        params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);

        DataSet tipi;
        tipi.setFieldDefs({{"Codice", FieldType::String, 2}, {"Descrizione", FieldType::String, 250}});
        tipi.createDataSet();
        tipi.appendRecord({"00", "Ordinaria"});
        tipi.appendRecord({"71", "Senza ritenute"});
        wiz.FileTipiContribuzione = cartella.filePath("TTRP_TIPORAPPORT.cds");
        TTovCds::SaveToFile(tipi, wiz.FileTipiContribuzione);

        parametri.setFieldDefs({{"IMESID", FieldType::Integer},
                                {"ICOTFONDAMENTALE", FieldType::Integer},
                                {"SOSTITUTO", FieldType::Boolean},
                                {"GIORNIINPS", FieldType::Boolean},
                                {"MatricolaINPS", FieldType::String, 10},
                                {"MatricolaINPSAcc", FieldType::String, 10},
                                {"ComuneLavoro", FieldType::String, 4},
                                {"PT_COME_INTERO", FieldType::Boolean},
                                {"TipoContribuzione", FieldType::String, 31},
                                {"VarRetributive", FieldType::Boolean}});
        parametri.createDataSet();
        parametri.appendRecord({3, Value::null(), true, true, Value::null(), Value::null(), "H501", false, "71", true});
        wiz.Imposta(&parametri, nullptr);
        wiz.SetAzienda(&azienda);
    }
    ~ZepWiz() override { Database::setGlobal(nullptr); }

    QStringList matricole()
    {
        SqlQuery q(tdb.db());
        q.setSql("SELECT SPACOMATRAZIENDA, SPACOMATRAZACC FROM TPACO_PARAMCOMP WHERE IANFID = 55");
        q.open();
        QStringList out;
        for (; !q.eof(); q.next())
            out << q.value(0).toString() + "/" + q.value(1).toString();
        return out;
    }
    QString parametro(const char *nome) const { return parametri.fieldByName(nome).asString(); }

    RecordingServicesScope services;
    TempDatabase tdb;
    TdmWunParams params;
    QTemporaryDir cartella;
    DataSet parametri;
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
    EXPECT_EQ(wiz.Comune, "H501");
    EXPECT_EQ(wiz.TestoContribuzione, "71: Senza ritenute");
    EXPECT_FALSE(wiz.PtComeIntero);
    EXPECT_FALSE(wiz.VarRetributive) << "never carried over";
    ASSERT_EQ(wiz.Mesi.size(), 12);
    EXPECT_EQ(wiz.Mesi.value(wiz.IndiceMese).text, "Marzo");
    EXPECT_TRUE(azienda.xqcMain.isEditing()) << "the company row is ready for the user";

    // The user's changes; the accessory number left blank.
    wiz.Dichiarante = false;
    wiz.Giorni = 0;
    wiz.Comune = "A944";
    wiz.PtComeIntero = true;
    wiz.ScegliContribuzione("00", "Ordinaria");
    EXPECT_EQ(wiz.TestoContribuzione, "00: Ordinaria");
    azienda.xqcMain.fieldByName("SPACOMATRAZIENDA").setAsString("7777777777");
    azienda.xqcMain.fieldByName("SPACOMATRAZACC").setAsString("");
    EXPECT_EQ(wiz.Conferma(), "Importa dati per EMens");

    EXPECT_FALSE(parametri.fieldByName("SOSTITUTO").asBoolean());
    EXPECT_FALSE(parametri.fieldByName("GIORNIINPS").asBoolean());
    EXPECT_TRUE(parametri.fieldByName("PT_COME_INTERO").asBoolean());
    EXPECT_FALSE(parametri.fieldByName("VarRetributive").asBoolean());
    EXPECT_EQ(parametro("ComuneLavoro"), "A944");
    EXPECT_EQ(parametro("TipoContribuzione"), "00");
    EXPECT_EQ(parametro("MatricolaINPS"), "7777777777");
    EXPECT_EQ(parametro("MatricolaINPSAcc"), "7777777777") << "a blank accessory number is the main one";
    EXPECT_EQ(parametri.fieldByName("ICOTFONDAMENTALE").asInteger(), 1);
    EXPECT_EQ(matricole(), QStringList{"7777777777/"});
}

TEST_F(ZepWiz, AnUnknownContributionTypeShowsNothingAndIsKept)
{
    parametri.edit();
    parametri.fieldByName("TipoContribuzione").setAsString("99");
    parametri.post();
    wiz.MostraPagina();
    EXPECT_EQ(wiz.TestoContribuzione, "");
    wiz.Conferma();
    EXPECT_EQ(parametro("TipoContribuzione"), "99");
    EXPECT_EQ(parametro("MatricolaINPSAcc"), "1234567891");
}

TEST_F(ZepWiz, CancelDropsTheCompanyRowsEditAndWritesNothing)
{
    wiz.MostraPagina();
    azienda.xqcMain.fieldByName("SPACOMATRAZIENDA").setAsString("5555555555");
    wiz.Annulla();
    EXPECT_FALSE(azienda.xqcMain.isEditing());
    EXPECT_EQ(azienda.xqcMain.fieldByName("SPACOMATRAZIENDA").asString(), "1234567890");
    azienda.Salva();  // whatever saves the data afterwards finds nothing pending
    EXPECT_EQ(matricole(), QStringList{"1234567890/1234567891"});

    // A year without company parameters: the new row is dropped too.
    tdb.db().execute("DELETE FROM TPACO_PARAMCOMP WHERE IANFID = 55");
    wiz.MostraPagina();
    EXPECT_EQ(azienda.xqcMain.state(), DataSetState::Insert);
    wiz.Annulla();
    azienda.Salva();
    EXPECT_TRUE(matricole().isEmpty());
}
