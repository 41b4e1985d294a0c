// The import command flow on a real embedded payroll archive (the demo
// archive of one month): the import parameters read from "TEMENSPAR.XML",
// their defaults and forced values, the employer's site, the declarant
// check, and the file written only when the wizard ends with OK.
#include "ZepMAttivazioni.h"
#include "ZepStoreSupport.h"

#include "archive/ArchiveScripts.h"
#include "DemoArchive.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"
#include "RecordingServices.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "TovUCdsUtil.h"
#include "UqMDIMain.h"
#include "UqParamDialog.h"
#include "UqParams.h"
#include "wunMParams.h"
#include "WunUUtil.h"
#include "wunUCalcoliAnno.h"
#include "ZepUUtil.h"
#include "tovCQueryText.h"
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

using namespace platform;

namespace {

const QString Declarant = QStringLiteral("TAMM_AMMINISTRAZIONE");

TTovDBCdsLayout declarantLayout()
{
    return layoutDiProva(Declarant, {{"iFisRigo", FieldType::Integer}, {"CFMittente", FieldType::String, 16}});
}

QByteArray fileDigest(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

using Values = QMap<QString, Value>;

Values valuesOf(const DataSet &ds)
{
    Values out;
    for (const auto &f : ds.fields())
        out.insert(f->fieldName(), f->value());
    return out;
}

class ZepImport : public ::testing::Test {
protected:
    static void Demo(Database &db)
    {
        payroll::DemoArchiveOptions o;
        o.persons = payroll::DemoArchive::MinPersons;
        o.fromYear = o.toYear = 2024;
        o.fromMonth = o.toMonth = 3;
        payroll::DemoArchive::fill(db, o);
    }
    ZepImport() : tdb(TempDatabase::Template{payroll::ArchiveScripts::all(), "ZepImport", Demo})
    {
        Database::setGlobal(&tdb.db());
        TTovDBCdsLayouts::Install(tdb.db(), {declarantLayout()});
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());

        store.SetConnection(&tdb.db());
        store.SetProgram("zep");
        store.SetYear(2024);
        store.SetMonth(3);

        {
            SqlQuery q(tdb.db());
            q.setSql("SELECT FIRST 1 SED.IDWGID, SRPC.SSRPCCODCATA FROM TSED_SEDI SED "
                     "LEFT JOIN TSRPC_CODCATASTALI SRPC ON SRPC.ICOMID = SED.ICOMID "
                     "ORDER BY SED.LSEDPRINCIPALE DESC, SED.ISEDID");
            q.open();
            dwgId = q.value(0).toInt();
            siteCode = q.value(1).toString();
        }
        params.SetParams("UQUP_DwgId", dwgId);
        main.ParamManager = &params;

        SetPeriodoDenuncia("2024", "03");
        registry.SetStore(&store);
        registry.SetCartellaBase(folder.path());
        registry.SetCartellaParametri(folder.path() + "/usr/wun/");
        registry.EseguiWizard = [this](const QString &cls, DataSet &parametri, TUqQueryCollection &sedi) {
            wizardClasses << cls;
            EXPECT_TRUE(sedi.isActive());
            seen = valuesOf(parametri);
            if (userEdit)
                userEdit(parametri);
            return wizardCaption;
        };
        registry.EseguiImportazione = [this](const QString &cls, DataSet &parametri, TUqQueryCollection &) {
            importClasses << cls;
            EXPECT_TRUE(parametri.isActive());
        };
    }
    ~ZepImport() override
    {
        SetPeriodoDenuncia(m_anno, m_mese);
        Database::setGlobal(nullptr);
    }

    QString parameterFile() const { return folder.path() + "/usr/wun/TEMENSPAR.XML"; }

    // Writes a parameter file of an older layout: a few of the fields, in
    // another case, and one field the program no longer has.
    void writeOldFile(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        DataSet old;
        old.setFieldDefs({{"icalid", FieldType::Integer},
                          {"IMESID", FieldType::Integer},
                          {"SOSTITUTO", FieldType::Boolean},
                          {"GIORNIINPS", FieldType::Boolean},
                          {"MATRICOLAINPS", FieldType::String, 10},
                          {"comunelavoro", FieldType::String, 4},
                          {"TipoContribuzione", FieldType::String, 31},
                          {"Obsoleto", FieldType::String, 5}});
        old.createDataSet();
        old.appendRecord({5, 7, true, true, "1234567890", "H501", "10", "x"});
        TTovCds::SaveToFile(old, path);
    }

    void saveDeclarant(int year, int month, const QString &cf)
    {
        DataSet ds;
        store.LoadPeriod(ds, Declarant, year, month);
        ds.append();
        ds.fieldByName("CFMittente").setValue(cf);
        ds.post();
        store.SavePeriod(ds, Declarant, year, month);
    }

    RecordingServicesScope services;
    TempDatabase tdb;
    QTemporaryDir folder;
    TTovDBCds store;
    TUqParamManager params;
    TfmUqMDIMain main;
    TdmZepAttivazioni registry;
    int dwgId = 0;
    QString siteCode;

    QString wizardCaption;
    std::function<void(DataSet &)> userEdit;
    QStringList wizardClasses;
    QStringList importClasses;
    Values seen;

private:
    QString m_anno = AnnoDenuncia;
    QString m_mese = MeseDenuncia;
};

} // namespace

TEST_F(ZepImport, FirstRunStartsFromTheDefaultsTheMonthTheDeclarantCheckAndTheMainSite)
{
    ASSERT_GT(dwgId, 0);
    ASSERT_EQ(siteCode.size(), 4);
    registry.xafImport->Execute();

    EXPECT_EQ(wizardClasses, QStringList({"TfmZepWiz"}));
    EXPECT_TRUE(seen.value("GIORNIINPS").type() == ValueType::Boolean && !seen.value("GIORNIINPS").toBool());
    EXPECT_TRUE(seen.value("PT_COME_INTERO").toBool());
    EXPECT_EQ(seen.value("TipoContribuzione").toString(), "71");
    EXPECT_TRUE(seen.value("VarRetributive").type() == ValueType::Boolean && !seen.value("VarRetributive").toBool());
    EXPECT_EQ(seen.value("IMESID").toInt(), 3);
    EXPECT_TRUE(seen.value("SOSTITUTO").toBool()); // no declarant in 2024
    EXPECT_EQ(seen.value("ComuneLavoro").toString(), siteCode);
    // The rest starts empty, the FPLS defaults included.
    for (const char *name : {"ICALID", "ICOTFONDAMENTALE", "MatricolaINPS", "MatricolaINPSAcc", "MatricolaInpsFpls",
                             "TipoContribuzioneFpls", "ContrLavLibProf"})
        EXPECT_TRUE(seen.value(name).isNull()) << name;

    // Cancelled: no file, no import, everything closed.
    EXPECT_FALSE(QFile::exists(parameterFile()));
    EXPECT_TRUE(importClasses.isEmpty());
    EXPECT_FALSE(registry.cdsParametri.isActive());
    EXPECT_FALSE(registry.xqcSos.isActive());
    // The working year was loaded and its rule object made, the
    // foundation's following.
    EXPECT_EQ(wunAnnoFinanziario().Year(), 2024);
    EXPECT_NE(dynamic_cast<TWunCalcolaAnno2024 *>(&WunCalcolaAnno()), nullptr);
    EXPECT_EQ(TovCalcolaAnno().Anno(), 2024);
}

TEST_F(ZepImport, OkSavesTheParametersWithExactlyTheFieldsOfTheTableThenRunsTheImport)
{
    wizardCaption = "Importa";
    userEdit = [](DataSet &p) {
        p.edit();
        p.fieldByName("MatricolaINPS").setValue("9876543210");
        p.fieldByName("ICALID").setValue(12);
        // left in edit: the registry posts it before saving
    };
    registry.ImportaDipendenti();
    EXPECT_EQ(importClasses, QStringList({"TfmZepImpMultiSelect"}));
    ASSERT_TRUE(QFile::exists(parameterFile()));
    EXPECT_FALSE(QFile::exists(TTovCds::BackupName(parameterFile())));

    DataSet saved;
    TTovCds::LoadFromFile(saved, parameterFile());
    EXPECT_EQ(saved.fieldDefs(), TdmZepAttivazioni::CampiParametri());
    QStringList names;
    for (const auto &f : saved.fields())
        names << QStringLiteral("%1:%2").arg(f->fieldName()).arg(f->size());
    EXPECT_EQ(names, QStringList({"ICALID:0", "IMESID:0", "ICOTFONDAMENTALE:0", "SOSTITUTO:0", "GIORNIINPS:0",
                                  "MatricolaINPS:10", "MatricolaINPSAcc:10", "ComuneLavoro:4", "PT_COME_INTERO:0",
                                  "TipoContribuzione:31", "VarRetributive:0", "MatricolaInpsFpls:10",
                                  "TipoContribuzioneFpls:2", "ContrLavLibProf:0"}));
    ASSERT_EQ(saved.recordCount(), 1);
    saved.first();
    EXPECT_EQ(saved.fieldValue("MatricolaINPS").toString(), "9876543210");
    EXPECT_EQ(saved.fieldValue("ICALID").toInt(), 12);
    EXPECT_EQ(saved.fieldValue("IMESID").toInt(), 3);
    EXPECT_EQ(saved.fieldValue("TipoContribuzione").toString(), "71");
    EXPECT_EQ(saved.fieldValue("ComuneLavoro").toString(), siteCode);
    EXPECT_FALSE(registry.cdsParametri.isActive());
}

TEST_F(ZepImport, AnOlderFileLoadsByNameWhateverTheCaseNewFieldsTakeDefaultsAndForcedValuesWin)
{
    writeOldFile(folder.path() + "/usr/wun/temenspar.xml");
    saveDeclarant(2024, 0, "01234567890");
    registry.ImportaDipendenti();

    EXPECT_EQ(seen.value("ICALID").toInt(), 5);
    EXPECT_EQ(seen.value("MatricolaINPS").toString(), "1234567890");
    EXPECT_EQ(seen.value("ComuneLavoro").toString(), "H501");    // kept: not replaced by the site
    EXPECT_EQ(seen.value("TipoContribuzione").toString(), "10"); // a stored value is no default
    EXPECT_TRUE(seen.value("GIORNIINPS").toBool());
    // Fields the file lacks take their defaults.
    EXPECT_TRUE(seen.value("PT_COME_INTERO").toBool());
    EXPECT_FALSE(seen.value("VarRetributive").toBool());
    EXPECT_TRUE(seen.value("MatricolaINPSAcc").isNull());
    // Forced: the working month and the declarant check, whatever the file says.
    EXPECT_EQ(seen.value("IMESID").toInt(), 3);
    EXPECT_FALSE(seen.value("SOSTITUTO").toBool());
    EXPECT_FALSE(seen.contains("Obsoleto"));
}

TEST_F(ZepImport, CancellingTheWizardLeavesTheFileAsItWas)
{
    const QString file = folder.path() + "/usr/wun/TEMENSPAR.XML";
    writeOldFile(file);
    const QByteArray before = fileDigest(file);
    userEdit = [](DataSet &p) {
        p.edit();
        p.fieldByName("MatricolaINPS").setValue("0000000000");
        p.post();
    };
    wizardCaption.clear();
    registry.xafImport->Execute();
    EXPECT_EQ(fileDigest(file), before);
    EXPECT_FALSE(QFile::exists(TTovCds::BackupName(file)));
    EXPECT_TRUE(importClasses.isEmpty());

    // The same file with OK is rewritten, in the program's own layout.
    wizardCaption = "Importa";
    registry.xafImport->Execute();
    EXPECT_NE(fileDigest(file), before);
    DataSet saved;
    TTovCds::LoadFromFile(saved, file);
    EXPECT_EQ(saved.fieldDefs(), TdmZepAttivazioni::CampiParametri());
    EXPECT_EQ(saved.fieldValue("MatricolaINPS").toString(), "0000000000");
}

TEST_F(ZepImport, PerformingArtsImportHasItsOwnDefaultsAndTakesTheInpsNumberWhenItHasNone)
{
    writeOldFile(parameterFile());
    wizardCaption = "Importa";
    registry.xafImportFplsExEnpals->Execute();

    EXPECT_EQ(wizardClasses, QStringList({"TfmZepWizFplsExEnpals"}));
    EXPECT_EQ(importClasses, QStringList({"TfmZepImpFplsExEnpalsMultiSelect"}));
    EXPECT_EQ(seen.value("MatricolaInpsFpls").toString(), "1234567890");
    EXPECT_EQ(seen.value("TipoContribuzioneFpls").toString(), ""); // empty text (the field keeps it as no value)
    EXPECT_TRUE(seen.value("ContrLavLibProf").toBool());
    // The employee import's defaults are not applied here.
    EXPECT_TRUE(seen.value("PT_COME_INTERO").isNull());
    EXPECT_TRUE(seen.value("VarRetributive").isNull());

    // The shared file keeps what the employee import had stored.
    DataSet saved;
    TTovCds::LoadFromFile(saved, parameterFile());
    EXPECT_EQ(saved.fieldValue("TipoContribuzione").toString(), "10");
    EXPECT_EQ(saved.fieldValue("MatricolaInpsFpls").toString(), "1234567890");

    // A number of its own is kept.
    userEdit = [](DataSet &p) {
        p.edit();
        p.fieldByName("MatricolaInpsFpls").setValue("5555555555");
        p.post();
    };
    registry.ImportaFplsExEnpals();
    userEdit = nullptr;
    registry.ImportaFplsExEnpals();
    EXPECT_EQ(seen.value("MatricolaInpsFpls").toString(), "5555555555");
}

TEST_F(ZepImport, SostitutoIsTrueExactlyWhenTheYearsDeclarantTableIsEmpty)
{
    EXPECT_TRUE(registry.SostitutoDaAmministrazione());
    saveDeclarant(2023, 0, "11111111111"); // another year
    saveDeclarant(2024, 3, "22222222222"); // a month, not the year level
    EXPECT_TRUE(registry.SostitutoDaAmministrazione());
    EXPECT_FALSE(registry.cdsTmp.isActive());
    saveDeclarant(2024, 0, "33333333333");
    EXPECT_FALSE(registry.SostitutoDaAmministrazione());
    store.SetYear(2023);
    EXPECT_FALSE(registry.SostitutoDaAmministrazione());
    store.SetYear(2025);
    EXPECT_TRUE(registry.SostitutoDaAmministrazione());
}

TEST_F(ZepImport, AFailingWizardLeavesTheFileAloneAndTheDatasetsClosed)
{
    writeOldFile(parameterFile());
    const QByteArray before = fileDigest(parameterFile());
    registry.EseguiWizard = [](const QString &, DataSet &, TUqQueryCollection &) -> QString {
        throw EUqError("Errore nella procedura guidata");
    };
    EXPECT_THROW(registry.ImportaDipendenti(), EUqError);
    EXPECT_EQ(fileDigest(parameterFile()), before);
    EXPECT_FALSE(registry.cdsParametri.isActive());
    EXPECT_FALSE(registry.xqcSos.isActive());

    // Chosen from the bar, the failure is shown.
    registry.xafImport->Action()->trigger();
    EXPECT_EQ(services->messageTexts(), QStringList({"Errore nella procedura guidata"}));
}

TEST_F(ZepImport, WithoutAWizardTheImportSaysItIsNotAvailableAndSavesNothing)
{
    TdmZepAttivazioni fresh;
    fresh.SetStore(&store);
    fresh.SetCartellaParametri(folder.path() + "/usr/wun/");
    fresh.xafImport->Execute();
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_TRUE(services->messages().at(0).text.contains("non è ancora disponibile"));
    EXPECT_FALSE(QFile::exists(parameterFile()));
}

TEST_F(ZepImport, TheEmployerGroupIsChosenInTheParameterDialogWhenTheArchiveHasSeveralAndThenKept)
{
    TdmWunParams modulo;
    TUqParamManager &pm = *modulo.xpmUquParams;
    tdb.db().execute("INSERT INTO TDWG_DATORI (IDWGID, SDWGRAGSOC, SDWGCODFISCALE) VALUES (2, 'AAA SECONDO DATORE', "
                     "'00000000002')");
    // Cancelled: nothing imported, nothing set.
    services->onNextDialog([](QDialog &d) {
        static_cast<TfmUqDialog &>(d).buCancel->click();
        return d.result();
    });
    registry.ImportaDipendenti();
    EXPECT_TRUE(wizardClasses.isEmpty());
    EXPECT_FALSE(pm.HasParam("UQUP_DwgId"));

    QStringList voci;
    services->onNextDialog([&](QDialog &d) {
        auto &dialogo = static_cast<TfmUqParamValue &>(d);
        for (int i = 0; i < dialogo.cbValore->count(); ++i)
            voci << dialogo.cbValore->itemText(i);
        dialogo.cbValore->setCurrentIndex(dialogo.cbValore->findData(qint64(dwgId)));
        dialogo.buOk->click();
        return d.result();
    });
    registry.ImportaDipendenti();
    EXPECT_EQ(voci.size(), 2);
    EXPECT_EQ(voci.first(), "AAA SECONDO DATORE");
    EXPECT_EQ(pm.GetParamsInt("UQUP_DwgId"), dwgId);
    EXPECT_EQ(wizardClasses, QStringList({"TfmZepWiz"}));
    EXPECT_EQ(seen.value("ComuneLavoro").toString(), siteCode) << "the sites of the group chosen";

    // Kept: the next import asks nothing.
    registry.ImportaDipendenti();
    EXPECT_EQ(wizardClasses.size(), 2);
    EXPECT_EQ(services->dialogs().size(), 2);
}
