// "Importa" end to end on the demo archive of March 2024: the wizard (the
// contribution type picked in the search window, the declarant and part
// time as full time unchecked), then OK on the person choice; every
// employee of the month gets its rows, with weeks and day codes, with no
// error but the demo's person without a fiscal code and the demo's mother
// whose relief (item 10077) the declaration does not handle.
#include "ZepFImpMultiSelect.h"
#include "ZepFWiz.h"
#include "ZepImportSupport.h"
#include "ZepMAttivazioni.h"
#include "ZepWorkingPeriodSupport.h"

#include "TovFCdsSearch.h"
#include "TovUCdsUtil.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QToolButton>

using namespace platform;

class ZepImporta : public importtest::ImportTest {
protected:
    ZepImporta() : ImportTest(60), stato(store)
    {
        IZepMainState::SetCurrent(&stato);
        QDir().mkpath(stato.path("USR/UniEmens/Res/Tabelle"));
        DataSet tipi;
        tipi.setFieldDefs({{"Codice", FieldType::String, 2}, {"Descrizione", FieldType::String, 250}});
        tipi.createDataSet();
        tipi.appendRecord({"00", "Ordinaria"});
        tipi.appendRecord({"71", "Senza ritenute"});
        TTovCds::SaveToFile(tipi, stato.path("USR/UniEmens/Res/Tabelle/TTRP_TIPORAPPORT.cds"));
        registro.SetStore(&store);
        registro.SetCartellaBase(stato.CartellaBase());
        registro.SetCartellaParametri(stato.path("usr/wun/"));
        TfmZepWiz::RegisterClass();
        TfmZepImpMultiSelect::RegisterClass();
        TfmTovRicerca::RegisterClass();
    }
    ~ZepImporta() override
    {
        TfmZepWiz::UnregisterClass();
        TfmZepImpMultiSelect::UnregisterClass();
        TfmTovRicerca::UnregisterClass();
        IZepMainState::SetCurrent(nullptr);
    }

    periodtest::FakeMainState stato;
    TdmZepAttivazioni registro;
};

TEST_F(ZepImporta, TheCommandImportsEveryEmployeeOfTheDemoMonth)
{
    services->onNextDialog([](QDialog &d) {
        auto &w = dynamic_cast<TfmZepWiz &>(d);
        EXPECT_EQ(w.windowTitle(), "Importa dati per EMens");
        EXPECT_EQ(w.ceContr->text(), "71: Senza ritenute");
        w.chDichiarante->click();
        w.chPtComeIntero->click();
        w.buContr->click();
        EXPECT_EQ(w.ceContr->text(), "00: Ordinaria");
        return int(mrOk);
    });
    services->onNextDialog([](QDialog &d) {
        EXPECT_TRUE(dynamic_cast<TfmTovRicerca &>(d).cdsSearch.locate("Codice", Value("00")));
        return int(mrOk);
    });
    QList<int> candidati;
    TwunFiscImpMultiSelect::Esito esito;
    services->onNextDialog([&](QDialog &d) {
        auto &f = dynamic_cast<TfmZepImpMultiSelect &>(d);
        for (f.Logica().xqcMultiSelect.first(); !f.Logica().xqcMultiSelect.eof(); f.Logica().xqcMultiSelect.next())
            candidati << f.Logica().xqcMultiSelect.fieldValue("IACOMID").toInt();
        esito = f.buOkClick();
        return int(mrCancel);
    });
    registro.xafImport->Execute();

    QStringList errori;
    for (const MessageRequest &m : services->messages())
        if (m.type == MessageType::Error)
            errori << m.text;
    ASSERT_EQ(errori.size(), 2) << errori.join("\n").toStdString();
    EXPECT_TRUE(errori[0].endsWith(QStringLiteral("Esonero IVS madri non gestito."))) << errori[0].toStdString();
    EXPECT_TRUE(errori[1].startsWith(TwunFiscImpMultiSelect::MsgSenzaCodiceFiscale));
    // The end names the two paid persons left out of the month, and why.
    const QString senza = errori[1].mid(TwunFiscImpMultiSelect::MsgSenzaCodiceFiscale.size());
    const QString madre =
        errori[0].section(QStringLiteral("\r\n"), 0, 0).mid(TwunFiscImpMultiSelect::MsgControllareDati.size());
    const QString fine = services->messageTexts().last();
    EXPECT_TRUE(fine.startsWith(TwunFiscImpMultiSelect::MsgFineOperazione + "\r\n")) << fine.toStdString();
    EXPECT_TRUE(fine.contains(" - " + madre + ": Esonero IVS madri non gestito.")) << fine.toStdString();
    EXPECT_TRUE(fine.contains(" - " + senza + ": senza codice fiscale")) << fine.toStdString();
    EXPECT_EQ(esito.totale, candidati.size());
    EXPECT_EQ(esito.falliti, 1);
    EXPECT_EQ(esito.esclusi, 1);

    // Every employee with a fiscal code has one row on the main company
    // number, collaborators none.
    DataSet righe;
    store.Load(righe, TZepImpMultiSelect::TabellaDipendenti);
    QMap<QString, int> perTipo;
    for (righe.first(); !righe.eof(); righe.next())
        ++perTipo[righe.fieldByName("Qualifica2").asString() + "/" + righe.fieldByName("Matricola").asString()];
    int dipendenti = 0;
    SqlQuery q(tdb.db());
    for (int acom : candidati) {
        q.setSql(
            "SELECT ANA.SANACODFISCALE, ACOM.ITNOID, ACOM.LACOMDISESONEROIVS FROM TACOM_COMPENSI ACOM "
            "JOIN TANAPER_POSIZIONI P ON P.IANAPERID = ACOM.IANAPERID JOIN TANACAG_MATRICOLE M ON "
            "M.IANACAGID = P.IANACAGID JOIN TANA_ANAGRAFICHE ANA ON ANA.IANAID = M.IANAID WHERE ACOM.IACOMID = :A");
        q.bind("A", acom);
        q.open();
        const QString cf = q.value(0).toString();
        const bool collaboratore = q.value(1).toInt() == 11;
        if (q.value(2).toInt() == 2) {
            EXPECT_FALSE(righe.locate("CFLavoratore", Value(cf))) << "the mother's rows are rolled back";
            continue;
        }
        if (!cf.isEmpty()) {
            EXPECT_EQ(righe.locate("CFLavoratore", Value(cf)), !collaboratore) << acom;
        }
        dipendenti += !cf.isEmpty() && !collaboratore;
    }
    // Part time is "P", or "V"/"M" by its vertical part-time rows.
    const int partTime = perTipo.value("P/1234567890") + perTipo.value("V/1234567890") + perTipo.value("M/1234567890");
    EXPECT_EQ(perTipo.value("F/1234567890") + partTime, dipendenti);
    EXPECT_GT(partTime, 0);

    // Every row of the main number has the month's weeks (9 to 14 in March
    // 2024), a week touched by its periods, its day codes and its days or
    // hours.
    for (righe.first(); !righe.eof(); righe.next()) {
        if (righe.fieldByName("Matricola").asString() != "1234567890")
            continue;
        const std::string cf = righe.fieldByName("CFLavoratore").asString().toStdString();
        EXPECT_EQ(righe.fieldByName("IdSettimana_1").asInteger(), 9) << cf;
        EXPECT_EQ(righe.fieldByName("IdSettimana_6").asInteger(), 14) << cf;
        EXPECT_EQ(righe.fieldByName("SettFinoA_6").asDate(), QDate(2024, 3, 31)) << cf;
        bool coperta = false;
        for (int i = 1; i <= 6; ++i)
            coperta = coperta || righe.fieldByName(QStringLiteral("TipoCopertura_%1").arg(i)).asString() == "X";
        EXPECT_TRUE(coperta) << cf;
        EXPECT_EQ(righe.fieldByName("GIORNI").asString().size(), 31) << cf;
        EXPECT_GT(righe.fieldByName("GiorniRetribuiti").asInteger(), 0) << cf;
        if (righe.fieldByName("Qualifica2").asString() == "F") {
            EXPECT_GT(righe.fieldByName("GiorniContribuiti").asInteger(), 0) << cf;
        } else {
            EXPECT_GT(righe.fieldByName("OreContribuite").asInteger(), 0) << cf;
        }
    }
}
