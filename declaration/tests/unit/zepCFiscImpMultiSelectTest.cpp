// The per-person import loop under the declaration import base, on a real
// embedded payroll archive (the demo archive of March 2024) with the
// declaration tables kept by the store: the selection and its order, the
// replace choice, a person failing in the middle of a run, the stop between
// persons, the declarant, and the faults a run must report instead of
// passing over.
#include "zepCFiscImpMultiSelect.h"

#include "ZepCParametri.h"
#include "ZepImportDemoSupport.h"
#include "ZepStoreSupport.h"
#include "archive/ArchiveScripts.h"
#include "DemoArchive.h"
#include "WunUUtil.h"
#include "wunMParams.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "RecordingServices.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "tovCQueryText.h"
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <functional>

using namespace platform;

namespace {

const QString Dipendenti = QStringLiteral("TEMD_DIPENDENTI");


using imptest::Notifica;

// An import writing one employee row per person: its fiscal code and, in
// place of the surname, its compensation id marked with the run, so a
// replaced row tells itself apart.
class Importazione : public TZepFiscImpMultiSelect {
public:
    using TZepFiscImpMultiSelect::TZepFiscImpMultiSelect;

    QString corsa = "1";
    int fallisce = 0; // compensation whose import fails after posting its row
    QList<int> passi; // the compensations met, 0 for the declarant
    bool sostitutoInTransazione = false;
    std::function<void(QList<int> &)> dopoSelezione;

    void ImportaSostituto() override
    {
        passi << 0;
        sostitutoInTransazione = Connessione().inTransaction();
        CaricaTabella(TZepParametri::TabellaDichiarante, &cdsSostituto);
        cdsSostituto.append();
        cdsSostituto.setFieldValue("CFMittente", "01234567890");
        cdsSostituto.post();
        Store().SavePeriod(cdsSostituto, TZepParametri::TabellaDichiarante, Store().Year(), 0);
    }

    void ImportaRiga() override
    {
        const int acom = xqcMultiSelect.fieldValue("IACOMID").toInt();
        passi << acom;
        CaricaTabella(Dipendenti);
        const QString cf = qquAcom.value("SANACODFISCALE").toString();
        if (!CodiceFiscalePresente(cf))
            return;
        if (cdsImport.locate("CFLavoratore", cf)) {
            if (!SostituireDati())
                return;
            CancellaRighe(cdsImport, "CFLavoratore", {cf});
        }
        cdsImport.append();
        cdsImport.setFieldValue("CFLavoratore", cf);
        cdsImport.setFieldValue("Cognome", QString::number(acom) + "#" + corsa);
        cdsImport.post();
        if (acom == fallisce)
            throw EUqError("errore simulato");
    }

    void DopoSelezione(QList<int> &chiavi) override
    {
        if (dopoSelezione)
            dopoSelezione(chiavi);
    }
};

class ZepFiscImport : public ::testing::Test {
protected:
    static void Demo(Database &db)
    {
        payroll::DemoArchiveOptions o;
        o.persons = 12;
        o.fromYear = o.toYear = 2024;
        o.fromMonth = o.toMonth = 3;
        payroll::DemoArchive::fill(db, o);
    }
    ZepFiscImport() : tdb(TempDatabase::Template{payroll::ArchiveScripts::all(), "ZepFiscImport", Demo})
    {
        Database::setGlobal(&tdb.db());
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        TTovDBCdsLayouts::Install(tdb.db(), {layoutDiProva(Dipendenti, {{"iFisRigo", FieldType::Integer},
                                                                        {"CFLavoratore", FieldType::String, 16},
                                                                        {"Cognome", FieldType::String, 80}}),
                                             layoutDiProva(TZepParametri::TabellaDichiarante,
                                                           {{"iFisRigo", FieldType::Integer},
                                                            {"CFMittente", FieldType::String, 16}})});
        store.SetConnection(&tdb.db());
        store.SetProgram("zep");
        store.SetYear(2024);
        store.SetMonth(3);
        wunAnnoFinanziario().LoadYear("2024");
        params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);

        parametri.setFieldDefs(
            {{"IMESID", FieldType::Integer}, {"ICOTID", FieldType::Integer}, {"SOSTITUTO", FieldType::Boolean}});
        parametri.createDataSet();
        parametri.appendRecord({3, 1, false});
        imp.SetNotifica(&notifica);
        imp.Imposta(&parametri, nullptr, {});
    }
    ~ZepFiscImport() override { Database::setGlobal(nullptr); }

    // "CF Cognome#run" of every row of the stored table and of the table in
    // memory, in fiscal-code order.
    QStringList righe(DataSet &ds)
    {
        QStringList out;
        for (const ValueList &r : ds.records())
            out << r.at(ds.fieldByName("CFLavoratore").index()).toString() + " "
                       + r.at(ds.fieldByName("Cognome").index()).toString();
        out.sort();
        return out;
    }
    QStringList archiviate()
    {
        DataSet ds;
        store.Load(ds, Dipendenti);
        return righe(ds);
    }
    // The candidates' compensations in list order, those of persons with a
    // fiscal code only when asked.
    QList<int> elenco(bool soloConCodice = false)
    {
        QList<int> out;
        for (imp.xqcMultiSelect.first(); !imp.xqcMultiSelect.eof(); imp.xqcMultiSelect.next()) {
            const int acom = imp.xqcMultiSelect.fieldValue("IACOMID").toInt();
            SqlQuery q(tdb.db());
            q.setSql("SELECT A.SANACODFISCALE FROM TACOM_COMPENSI C "
                     "INNER JOIN TANAPER_POSIZIONI P ON P.IANAPERID = C.IANAPERID "
                     "INNER JOIN TANACAG_MATRICOLE M ON M.IANACAGID = P.IANACAGID "
                     "INNER JOIN TANA_ANAGRAFICHE A ON A.IANAID = M.IANAID WHERE C.IACOMID = :ACOM");
            q.bind("ACOM", acom);
            q.open();
            if (!soloConCodice || !q.value(0).isNull())
                out << acom;
        }
        return out;
    }

    RecordingServicesScope services;
    TempDatabase tdb;
    TTovDBCds store;
    TdmWunParams params;
    DataSet parametri;
    Notifica notifica;
    Importazione imp{store, &tdb.db()};
};

} // namespace

TEST_F(ZepFiscImport, NothingSelectedImportsEveryCandidateASelectionOnlyItsRowsInTheOrderChosen)
{
    ASSERT_TRUE(imp.Prepara());
    const QList<int> candidati = elenco();
    // Twelve persons, the collaborator paid under another liquidation kind.
    ASSERT_EQ(candidati.size(), 11);

    TwunFiscImpMultiSelect::Esito esito = imp.Importa();
    EXPECT_EQ(imp.passi, candidati);
    EXPECT_EQ(esito.totale, 11);
    // The eleventh person of the demo archive has no fiscal code: reported,
    // committed empty, and named among the persons not imported at the end.
    EXPECT_EQ(esito.importati, 10);
    EXPECT_EQ(esito.saltati, 0);
    EXPECT_EQ(esito.esclusi, 1);
    ASSERT_EQ(notifica.messaggi.size(), 2);
    EXPECT_TRUE(notifica.messaggi.at(0).startsWith(TwunFiscImpMultiSelect::MsgSenzaCodiceFiscale));
    const QString senza = notifica.messaggi.at(0).mid(TwunFiscImpMultiSelect::MsgSenzaCodiceFiscale.size());
    EXPECT_EQ(esito.nonImportati, QStringList{senza + ": senza codice fiscale"});
    EXPECT_EQ(notifica.messaggi.at(1).toStdString(),
              ("Fine operazione\r\n\r\nDipendenti retribuiti nel mese e non importati: 1\r\n - " + senza
               + ": senza codice fiscale")
                  .toStdString());
    EXPECT_EQ(archiviate().size(), 10);
    EXPECT_EQ(righe(imp.cdsImport), archiviate());
    imp.xqcMultiSelect.first();
    EXPECT_EQ(notifica.avanzamento.first(), imp.xqcMultiSelect.fieldValue("SANACOGNOMENOME").toString() + " (1 di 11)");

    // Three rows chosen, the last of the list first.
    imp.passi.clear();
    imp.Sovrascrittura = TwunFiscImpMultiSelect::SovrascriviSempre;
    QList<Bookmark> scelte;
    for (int riga : {11, 2, 5}) {
        imp.xqcMultiSelect.setRecNo(riga);
        scelte << imp.xqcMultiSelect.bookmark();
    }
    esito = imp.Importa(scelte);
    EXPECT_EQ(imp.passi, QList<int>({candidati.at(10), candidati.at(1), candidati.at(4)}));
    EXPECT_EQ(esito.totale, 3);
}

TEST_F(ZepFiscImport, TheReplaceChoiceInItsThreeModes)
{
    ASSERT_TRUE(imp.Prepara());
    ASSERT_TRUE(imp.xqcMultiSelect.locate("IACOMID", Value(elenco(true).first())));
    const QString nome = imp.xqcMultiSelect.fieldValue("SANACOGNOME").toString().trimmed() + " "
                         + imp.xqcMultiSelect.fieldValue("SANANOME").toString().trimmed();
    const QList<Bookmark> primo{imp.xqcMultiSelect.bookmark()};
    imp.Importa(primo);
    ASSERT_EQ(archiviate().size(), 1);
    ASSERT_TRUE(archiviate().first().endsWith("#1"));

    struct Caso {
        TwunFiscImpMultiSelect::TSovrascrivi modo;
        QList<bool> risposte;
        int domande;
        bool sostituito;
    };
    const QList<Caso> casi{{TwunFiscImpMultiSelect::NonSovrascrivere, {}, 0, false},
                           {TwunFiscImpMultiSelect::ChiediConferma, {false}, 1, false},
                           {TwunFiscImpMultiSelect::ChiediConferma, {true}, 1, true},
                           {TwunFiscImpMultiSelect::SovrascriviSempre, {}, 0, true}};
    int corsa = 1;
    for (const Caso &c : casi) {
        const QString prima = archiviate().first();
        imp.corsa = QString::number(++corsa);
        imp.Sovrascrittura = c.modo;
        notifica.domande.clear();
        notifica.risposte = c.risposte;
        const TwunFiscImpMultiSelect::Esito esito = imp.Importa(primo);
        SCOPED_TRACE(corsa);
        EXPECT_EQ(notifica.domande.size(), c.domande);
        if (c.domande) {
            EXPECT_EQ(notifica.domande.first(),
                      nome + "  :  Dipendente già presente in archivio, si vogliono sostituire i dati?");
        }
        ASSERT_EQ(archiviate().size(), 1);
        EXPECT_EQ(archiviate().first().endsWith("#" + imp.corsa), c.sostituito);
        if (!c.sostituito) {
            EXPECT_EQ(archiviate().first(), prima);
        }
        EXPECT_EQ(esito.importati, c.sostituito ? 1 : 0);
        EXPECT_EQ(righe(imp.cdsImport), archiviate());
    }
}

TEST_F(ZepFiscImport, APersonFailingInTheMiddleLeavesTheArchiveAndTheTablesInMemoryAsBeforeThatPerson)
{
    ASSERT_TRUE(imp.Prepara());
    const QList<int> conCodice = elenco(true);
    ASSERT_EQ(conCodice.size(), 10);
    // The first person of a run fails before the table was ever loaded: the
    // row it posted and saved is gone from the archive and from memory.
    imp.fallisce = conCodice.at(0);
    imp.Importa();
    const QStringList primaCorsa = archiviate();
    ASSERT_EQ(primaCorsa.size(), 9);
    EXPECT_EQ(righe(imp.cdsImport), primaCorsa);
    EXPECT_TRUE(primaCorsa.filter(QStringLiteral(" %1#").arg(conCodice.at(0))).isEmpty());

    // A second run replacing every row, failing at the fifth person after it
    // deleted its old row and posted the new one.
    const int fallito = conCodice.at(4);
    imp.fallisce = fallito;
    imp.corsa = "2";
    imp.Sovrascrittura = TwunFiscImpMultiSelect::SovrascriviSempre;
    notifica.messaggi.clear();
    const TwunFiscImpMultiSelect::Esito esito = imp.Importa();
    EXPECT_EQ(esito.falliti, 1);
    EXPECT_EQ(esito.importati, 9); // the first person now imported; the one without fiscal code skipped

    const QStringList dopo = archiviate();
    EXPECT_EQ(righe(imp.cdsImport), dopo);
    ASSERT_EQ(dopo.size(), 10);
    for (const QString &r : dopo) {
        const bool suo = r.contains(QStringLiteral(" %1#").arg(fallito));
        EXPECT_TRUE(r.endsWith(suo ? "#1" : "#2")) << r.toStdString();
    }
    // The message names the person, the error and the last statement.
    imp.xqcMultiSelect.locate("IACOMID", Value(fallito));
    const QString atteso = "Controllare i dati del dipendente:"
                           + imp.xqcMultiSelect.fieldValue("SANACOGNOME").toString().trimmed() + " "
                           + imp.xqcMultiSelect.fieldValue("SANANOME").toString().trimmed()
                           + "\r\n\r\nerrore simulato\r\nUltima operazione DB: ";
    ASSERT_EQ(notifica.messaggi.filter("Controllare i dati").size(), 1);
    EXPECT_TRUE(notifica.messaggi.filter("Controllare i dati").first().startsWith(atteso))
        << notifica.messaggi.join("|").toStdString();
    EXPECT_FALSE(tdb.db().inTransaction());
}

TEST_F(ZepFiscImport, AStopBetweenPersonsEndsAfterTheCurrentOneAndSaysHowManyWereImported)
{
    ASSERT_TRUE(imp.Prepara());
    notifica.stopDopo = 3;
    const TwunFiscImpMultiSelect::Esito esito = imp.Importa();
    EXPECT_TRUE(esito.interrotto);
    EXPECT_EQ(imp.passi.size(), 3);
    EXPECT_EQ(archiviate().size(), esito.importati);
    EXPECT_EQ(notifica.messaggi.mid(notifica.messaggi.size() - 2),
              QStringList({QStringLiteral("Importazione interrotta dall'utente.\r\nDipendenti importati: %1 su 11.")
                               .arg(esito.importati),
                           "Fine operazione"}));
    EXPECT_EQ(services->waitCursorDepth(), 0);
}

TEST_F(ZepFiscImport, TheDeclarantIsImportedOnceBeforeThePersonsOutsideTheirTransactions)
{
    ASSERT_TRUE(imp.Prepara());
    parametri.edit();
    parametri.setFieldValue("SOSTITUTO", true);
    parametri.post();
    imp.Importa();
    EXPECT_EQ(imp.passi.count(0), 1);
    EXPECT_EQ(imp.passi.first(), 0);
    EXPECT_FALSE(imp.sostitutoInTransazione);
    // Kept under month 0 of the year, whatever the working month.
    DataSet anno;
    store.LoadPeriod(anno, TZepParametri::TabellaDichiarante, 2024, 0);
    EXPECT_EQ(anno.recordCount(), 1);

    // Reopened in the same dialog it is not read again: the row in memory
    // stays even when the archive's is gone.
    tdb.db().execute("DELETE FROM TFIS_DATIFISCALI");
    imp.CaricaTabella(TZepParametri::TabellaDichiarante, &imp.cdsSostituto);
    EXPECT_EQ(imp.cdsSostituto.recordCount(), 1);

    imp.passi.clear();
    parametri.edit();
    parametri.setFieldValue("SOSTITUTO", false);
    parametri.post();
    imp.Importa();
    EXPECT_EQ(imp.passi.count(0), 0);
}

TEST_F(ZepFiscImport, AKeyNoLongerInTheListAndATransactionThatCannotStartAreReported)
{
    ASSERT_TRUE(imp.Prepara());
    imp.dopoSelezione = [](QList<int> &chiavi) { chiavi = {chiavi.at(0), 999999, chiavi.at(1)}; };
    TwunFiscImpMultiSelect::Esito esito = imp.Importa();
    EXPECT_EQ(esito.totale, 3);
    EXPECT_EQ(esito.falliti, 1);
    EXPECT_EQ(imp.passi.size(), 2);
    EXPECT_EQ(notifica.messaggi.filter("999999").size(), 1);

    // Someone left a transaction open on the connection: the first person
    // says so and the run ends, nothing written.
    imp.passi.clear();
    notifica.messaggi.clear();
    imp.dopoSelezione = [this](QList<int> &) { tdb.db().startTransaction(); };
    esito = imp.Importa();
    tdb.db().rollback();
    EXPECT_TRUE(esito.interrotto);
    EXPECT_TRUE(imp.passi.isEmpty());
    ASSERT_EQ(notifica.messaggi.size(), 2);
    EXPECT_TRUE(notifica.messaggi.at(0).startsWith("Impossibile avviare la transazione per il dipendente"));
    EXPECT_EQ(notifica.messaggi.at(1), "Fine operazione");
}

TEST_F(ZepFiscImport, AFailingDeclarantEndsTheRunWithTheCursorRestored)
{
    ASSERT_TRUE(imp.Prepara());
    parametri.edit();
    parametri.setFieldValue("SOSTITUTO", true);
    parametri.post();
    tdb.db().execute("DELETE FROM TCDS_STRUTTURA WHERE SCDSNOME = 'TAMM_AMMINISTRAZIONE'");
    EXPECT_THROW(imp.Importa(), std::exception);
    EXPECT_EQ(services->waitCursorDepth(), 0);
    EXPECT_TRUE(imp.passi == QList<int>({0})) << "no person after the declarant failed";
}

TEST_F(ZepFiscImport, CitizenshipIsTheLowestCodeOfAPersonWithSeveralAndTheRegimeMinusOneWithoutAValue)
{
    ASSERT_TRUE(imp.Prepara());
    imp.xqcMultiSelect.first();
    const int ana = imp.xqcMultiSelect.fieldValue("IANAID").toInt();
    const int acom = imp.xqcMultiSelect.fieldValue("IACOMID").toInt();
    tdb.db().execute(QStringLiteral("DELETE FROM TANACITT WHERE IANAID = %1").arg(ana));
    EXPECT_EQ(imp.Cittadinanza(), QString());
    // Added in the order that would win without an order: the later code first.
    tdb.db().execute("INSERT INTO TSTA_STATI (ISTAID, SSTAISTAT, SSTALDESC) VALUES (901, '999', 'ULTIMO')");
    tdb.db().execute("INSERT INTO TSTA_STATI (ISTAID, SSTAISTAT, SSTALDESC) VALUES (902, '001', 'PRIMO')");
    tdb.db().execute(
        QStringLiteral("INSERT INTO TANACITT (IANACITTID, IANAID, ISTAID) VALUES (9001, %1, 901)").arg(ana));
    tdb.db().execute(
        QStringLiteral("INSERT INTO TANACITT (IANACITTID, IANAID, ISTAID) VALUES (9002, %1, 902)").arg(ana));
    EXPECT_EQ(imp.Cittadinanza(), "001");

    tdb.db().execute(QStringLiteral("UPDATE TACOM_COMPENSI SET IACOMREGIMEPOST95 = NULL WHERE IACOMID = %1").arg(acom));
    EXPECT_EQ(imp.RegimePost95(), -1);
    tdb.db().execute(QStringLiteral("UPDATE TACOM_COMPENSI SET IACOMREGIMEPOST95 = 1 WHERE IACOMID = %1").arg(acom));
    EXPECT_EQ(imp.RegimePost95(), 1);
}
