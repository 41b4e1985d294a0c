// "Importa" end to end on the demo archive of March 2024: the command runs
// the wizard "Importa dati per EMens" (the contribution type picked in the
// search window, the declarant and part time as full time unchecked) and
// the person choice, OK imports
// every candidate, and every employee of the month gets its rows in
// TEMD_DIPENDENTI with no error but the demo's person without a fiscal code.
#include "ZepFImpMultiSelect.h"
#include "ZepFWiz.h"
#include "ZepMAttivazioni.h"
#include "ZepULayouts.h"
#include "ZepWorkingPeriodSupport.h"

#include "archive/ArchiveScripts.h"
#include "archive/DemoArchive.h"

#include "FormRegistry.h"
#include "SqlQuery.h"
#include "TovFCdsSearch.h"
#include "UqMDIMain.h"
#include "UqParams.h"
#include "tovCQueryText.h"
#include "wunUCalcoliAnno.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace platform;

TEST(ZepImporta, TheCommandImportsEveryEmployeeOfTheDemoMonth)
{
    RecordingServicesScope services;
    TempDatabase tdb(TempDatabase::Scripts{payroll::ArchiveScripts::all()});
    payroll::DemoArchiveOptions o;
    o.persons = 60;
    o.fromYear = o.toYear = 2024;
    o.fromMonth = o.toMonth = 3;
    payroll::DemoArchive::fill(tdb.db(), o);
    Database::setGlobal(&tdb.db());
    TTovDBCdsLayouts::InstallFolders(tdb.db(), {CartellaLayoutDenunce()});
    TovQueryText().CompileQueries(TTovQueryText::SourceFileName());

    TTovDBCds store;
    store.SetConnection(&tdb.db());
    store.SetProgram("zep");
    store.SetYear(2024);
    store.SetMonth(3);
    periodtest::FakeMainState stato(store);
    IZepMainState::SetCurrent(&stato);
    const QString annoPrima = AnnoDenuncia, mesePrima = MeseDenuncia;
    SetPeriodoDenuncia("2024", "03");
    const QString tabelle = stato.path("USR/UniEmens/Res/Tabelle/");
    QDir().mkpath(tabelle);
    DataSet tipi;
    tipi.setFieldDefs({{"Codice", FieldType::String, 2}, {"Descrizione", FieldType::String, 250}});
    tipi.createDataSet();
    tipi.appendRecord({"00", "Ordinaria"});
    tipi.appendRecord({"71", "Senza ritenute a carico del dipendente"});
    TTovCds::SaveToFile(tipi, tabelle + "TTRP_TIPORAPPORT.cds");

    TUqParamManager parametri;
    parametri.SetParams("UQUP_DwgId", 1);
    TfmUqMDIMain main;
    main.ParamManager = &parametri;
    TdmZepAttivazioni registro;
    registro.SetStore(&store);
    registro.SetCartellaBase(stato.CartellaBase());
    registro.SetCartellaParametri(stato.path("usr/wun/"));
    TfmZepWiz::RegisterClass();
    TfmZepImpMultiSelect::RegisterClass();
    TfmTovRicerca::RegisterClass();

    // The wizard: the declarant left out, the contribution type "00" picked
    // in the search window; then OK on the person choice imports everyone.
    QString testoContribuzione;
    services->onNextDialog([&](QDialog &d) {
        auto &w = dynamic_cast<TfmZepWiz &>(d);
        EXPECT_EQ(w.windowTitle(), "Importa dati per EMens");
        EXPECT_EQ(w.ceContr->text(), "71: Senza ritenute a carico del dipendente");
        EXPECT_TRUE(w.chDichiarante->isChecked()) << "no declarant in 2024 yet";
        w.chDichiarante->click();
        w.chPtComeIntero->click();
        w.buContr->click();
        testoContribuzione = w.ceContr->text();
        return int(mrOk);
    });
    services->onNextDialog([](QDialog &d) {
        auto &r = dynamic_cast<TfmTovRicerca &>(d);
        EXPECT_TRUE(r.cdsSearch.locate("Codice", Value("00")));
        return int(mrOk);
    });
    QList<int> candidati;
    TwunFiscImpMultiSelect::Esito esito;
    services->onNextDialog([&](QDialog &d) {
        auto &f = dynamic_cast<TfmZepImpMultiSelect &>(d);
        DataSet &elenco = f.Logica().xqcMultiSelect;
        for (elenco.first(); !elenco.eof(); elenco.next())
            candidati << elenco.fieldValue("IACOMID").toInt();
        esito = f.buOkClick();
        return int(mrCancel);
    });
    registro.xafImport->Execute();
    EXPECT_EQ(testoContribuzione, "00: Ordinaria");

    // No error but the person without a fiscal code; the end said.
    QStringList errori;
    for (const MessageRequest &m : services->messages())
        if (m.type == MessageType::Error)
            errori << m.text;
    ASSERT_EQ(errori.size(), 1) << errori.join("\n").toStdString();
    EXPECT_TRUE(errori[0].startsWith(TwunFiscImpMultiSelect::MsgSenzaCodiceFiscale));
    EXPECT_EQ(services->messageTexts().last(), TwunFiscImpMultiSelect::MsgFineOperazione);
    EXPECT_EQ(esito.falliti, 0);
    EXPECT_EQ(esito.totale, candidati.size());

    // Every employee with a fiscal code has its rows; collaborators none.
    DataSet righe;
    store.Load(righe, TZepImpMultiSelect::TabellaDipendenti);
    QMap<QString, int> perTipo;
    for (righe.first(); !righe.eof(); righe.next())
        ++perTipo[righe.fieldByName("Qualifica2").asString() + "/" + righe.fieldByName("Matricola").asString()];
    int dipendenti = 0;
    for (int acom : candidati) {
        SqlQuery q(tdb.db());
        q.setSql("SELECT ANA.SANACODFISCALE, ACOM.ITNOID FROM TACOM_COMPENSI ACOM "
                 "JOIN TANAPER_POSIZIONI P ON P.IANAPERID = ACOM.IANAPERID "
                 "JOIN TANACAG_MATRICOLE M ON M.IANACAGID = P.IANACAGID "
                 "JOIN TANA_ANAGRAFICHE ANA ON ANA.IANAID = M.IANAID WHERE ACOM.IACOMID = :A");
        q.bind("A", acom);
        q.open();
        const QString cf = q.value(0).toString();
        const bool collaboratore = q.value(1).toInt() == 11;
        if (cf.isEmpty())
            continue;
        EXPECT_EQ(righe.locate("CFLavoratore", Value(cf)), !collaboratore) << acom;
        dipendenti += collaboratore ? 0 : 1;
    }
    int principali = 0;
    for (auto it = perTipo.cbegin(); it != perTipo.cend(); ++it)
        principali += it.key().endsWith("/1234567890") ? it.value() : 0;
    EXPECT_EQ(principali, dipendenti) << "one main row per employee";
    EXPECT_GT(perTipo.value("P/1234567890"), 0) << "part-time rows of their own";
    QStringList conteggi;
    for (auto it = perTipo.cbegin(); it != perTipo.cend(); ++it)
        conteggi << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    RecordProperty("righe", QStringLiteral("%1 candidati, %2 dipendenti; righe %3")
                                .arg(candidati.size())
                                .arg(dipendenti)
                                .arg(conteggi.join(", "))
                                .toStdString());

    TWunCalcolaAnno::Rilascia();
    for (const char *classe : {"TfmZepWiz", "TfmZepImpMultiSelect"})
        FormRegistry::Unregister(classe);
    TfmTovRicerca::UnregisterClass();
    IZepMainState::SetCurrent(nullptr);
    SetPeriodoDenuncia(annoPrima, mesePrima);
    Database::setGlobal(nullptr);
}
