// The performing-arts (FPLS) import on the demo archive of March 2024,
// whose performing-arts worker is paid under the fund's retention 17.
#include "zepCImpFplsExEnpalsMultiSelect.h"
#include "ZepCFplsExEnpals.h"

#include "ZepImportDemoSupport.h"

#include <QFile>

using namespace imptest;
using platform::Currency;

namespace {

class FplsImport : public ImportTest {
protected:
    FplsImport()
    {
        imp.SetNotifica(&notifica);
        imp.Imposta(&parametri, &sedi, {});
        imp.FileSediInps = fileSediInps;
        imp.Sovrascrittura = TwunFiscImpMultiSelect::SovrascriviSempre;
        acom = Valore("SELECT IACOMID FROM TENPA_ENPALS JOIN TACOM_COMPENSI USING (IACOMID) WHERE IANFID = 55").toInt();
        // The fund's rows of the worker's pay items of March.
        fondo = QStringLiteral("SELECT V.IVARRID FROM TVARR_VARRITENUTE V JOIN TREGS_REGISTROSTIP R ON R.IREGSID = "
                               "V.IREGSID WHERE R.IACOMID = %1 AND V.IRICEID = 17 AND V.IVACRID IS NOT NULL")
                    .arg(acom);
    }
    // The stored rows of the period, the dataset on the first.
    int Righe(DataSet &ds)
    {
        Archiviata(ds, TZepFplsExEnpals::Tabella);
        ds.first();
        return ds.recordCount();
    }
    Currency Somma(const char *colonna)
    {
        return Valore(QStringLiteral("SELECT SUM(%1) FROM TVARR_VARRITENUTE WHERE IVARRID IN (%2)")
                          .arg(QLatin1String(colonna), fondo))
            .toCurrency();
    }
    void Aggiorna(const QString &tabella, const QString &assegnazioni, bool tutte = true)
    {
        tdb.db().execute(
            QStringLiteral("UPDATE %1 SET %2 WHERE IVARRID IN (%3)")
                .arg(tabella, assegnazioni, tutte ? fondo : "SELECT MIN(F.IVARRID) FROM (" + fondo + ") F"));
    }
    static Currency Importo(const DataSet &ds, const char *campo) { return ds.fieldByName(campo).asCurrency(); }

    TZepImpFplsExEnpalsMultiSelect imp{store, &tdb.db()};
    int acom = 0;
    QString fondo;
};

} // namespace

TEST_F(FplsImport, TheFundsWorkerGetsOneRowWithTheFundsAmountsAndContractData)
{
    ASSERT_TRUE(imp.Prepara());
    ASSERT_EQ(imp.xqcMultiSelect.recordCount(), 1) << "only the fund's workers are candidates";
    EXPECT_EQ(imp.Importa().importati, 1);
    EXPECT_EQ(notifica.messaggi, QStringList{"Fine operazione"});
    DataSet r;
    ASSERT_EQ(Righe(r), 1);
    EXPECT_GT(Somma("FVARRIMPONIBILE"), Currency());
    EXPECT_EQ(Importo(r, "Imponibile"), Somma("FVARRIMPONIBILE"));
    EXPECT_EQ(Importo(r, "RetribTeorica"), Somma("FVARRIMPONIBILE"));
    EXPECT_EQ(Importo(r, "Contributo"), Somma("FVARRRITDIP") + Somma("FVARRRITAMM"));
    const QList<QPair<const char *, QString>> testi{
        {"AnnoMeseDenuncia", "2024-03"},
        {"Matricola", "7654321098"},
        {"Qualifica1", "S"},
        {"Qualifica2", "F"},
        {"Qualifica3", "D"},
        {"CodiceComune", "A944"},
        {"RispettoMinimale", "0"},
        {"CodiceContratto", "CPUB"},
        {"TipoLavoratore", "1"},
        {"TipoRapportoLav", "D"},
        {"CodiceQualifica", "010"},
        {"GiorniRetribuiti", "30"},
        {"Cognome", imp.xqcMultiSelect.fieldValue("SANACOGNOME").toString().toUpper()}};
    for (const auto &[campo, atteso] : testi)
        EXPECT_EQ(r.fieldByName(campo).asString(), atteso) << campo;
}

TEST_F(FplsImport, TheMinimumIsCheckedOnlyWithoutAdditionalContributionOrPayAboveTheCeiling)
{
    struct Caso {
        int minimale;          // LVARRMINIMALEAPPL of the fund's rows
        const char *dettaglio; // the first fund row's detail
        const char *rispetto;
        Currency ctrAgg, eccedenza, solidarieta;
    };
    const QList<Caso> casi{{1, "FENPVIMPONIBILECTRAGG = 0", "S", {}, {}, {}},
                           {0, "FENPVIMPONIBILECTRAGG = 0", "0", {}, {}, {}},
                           {1, "FENPVIMPONIBILECTRAGG = 100", "0", Currency::fromInt(100), {}, {}},
                           {1,
                            "FENPVIMPONIBILECTRAGG = 0, FENPVIMPECCMASSSPET = 500, FENPVCONTRECCMASSSPETDIP = 2.5, "
                            "FENPVCONTRECCMASSSPETAMM = 7.25",
                            "0",
                            {},
                            Currency::fromInt(500),
                            Currency::fromString("9.75")}};
    ASSERT_TRUE(imp.Prepara());
    for (const Caso &c : casi) {
        SCOPED_TRACE(c.dettaglio);
        Aggiorna("TVARR_VARRITENUTE", QStringLiteral("LVARRMINIMALEAPPL = %1").arg(c.minimale));
        Aggiorna("TENPV_ENPALSVARR", QLatin1String(c.dettaglio), false);
        imp.Importa();
        DataSet r;
        ASSERT_EQ(Righe(r), 1);
        EXPECT_EQ(r.fieldByName("RispettoMinimale").asString(), c.rispetto);
        EXPECT_EQ(Importo(r, "ImponibileCtrAgg"), c.ctrAgg);
        EXPECT_EQ(Importo(r, "ImpEccMassSpet"), c.eccedenza);
        EXPECT_EQ(Importo(r, "ContrSolidarietaSpet"), c.solidarieta);
        EXPECT_EQ(Importo(r, "ContrEccMassSpet"), Currency());
        EXPECT_EQ(Importo(r, "RetribTeorica"), Somma("FVARRIMPONIBILE") + c.eccedenza);
    }
}

TEST_F(FplsImport, AReimportReplacesTheRowNeverAddsToItAndAProfessionalsOwnContributionCounts)
{
    ASSERT_TRUE(imp.Prepara());
    imp.Importa();
    DataSet r;
    Righe(r);
    const Currency prima = Importo(r, "Imponibile");
    // The pay changed: replaced, one row; not replaced when told so.
    Aggiorna("TVARR_VARRITENUTE", "FVARRIMPONIBILE = FVARRIMPONIBILE + 100", false);
    imp.Importa();
    imp.Sovrascrittura = TwunFiscImpMultiSelect::ChiediConferma;
    notifica.risposte = {false};
    Aggiorna("TVARR_VARRITENUTE", "FVARRIMPONIBILE = FVARRIMPONIBILE + 100", false);
    imp.Importa();
    ASSERT_EQ(Righe(r), 1);
    EXPECT_EQ(Importo(r, "Imponibile"), prima + Currency::fromInt(100));

    // A professional bearing no withholding: the amount withheld for his
    // own contribution is added to the company's.
    const QString registro = "SELECT IREGSID FROM TVARR_VARRITENUTE WHERE IVARRID IN (" + fondo + ")";
    Aggiorna("TVARR_VARRITENUTE", "FVARRRITDIP = 0");
    tdb.db().execute("INSERT INTO TCOMR_RIGHECOMP (ICOMRID, ICOMRUSERCODE, SCOMRLDESC, ICOMRGRUPPO) "
                     "VALUES (41, 41, 'Contributo del professionista', 1)");
    tdb.db().execute("INSERT INTO TVACR_VARCOMPRIGHE (IVACRID, IREGSID, ICOMRID, FVACRLORDO) SELECT FIRST 1 990001, "
                     "IREGSID, 41, 123.45 FROM TVARR_VARRITENUTE WHERE IVARRID IN ("
                     + fondo + ")");
    tdb.db().execute("UPDATE TREGS_REGISTROSTIP SET ITNOID = 14 WHERE IREGSID IN (" + registro + ")");
    notifica.risposte = {true};
    imp.Importa();
    ASSERT_EQ(Righe(r), 1);
    EXPECT_EQ(Importo(r, "Contributo"), Somma("FVARRRITAMM") + Currency::fromString("123.45"));

    // No fund taxable left: the replaced row is not made again.
    Aggiorna("TVARR_VARRITENUTE", "FVARRIMPONIBILE = 0");
    notifica.risposte = {true};
    imp.Importa();
    EXPECT_EQ(Righe(r), 0);
}

TEST_F(FplsImport, AFailingDeclarantEndsTheRunBeforeAnyPersonAndKeepsNothingOfItself)
{
    Parametro("SOSTITUTO", true);
    ASSERT_TRUE(imp.Prepara());
    QFile::remove(fileSediInps);
    EXPECT_THROW(imp.Importa(), std::exception);
    DataSet ds;
    EXPECT_EQ(Righe(ds), 0);
    Archiviata(ds, TZepParametri::TabellaDichiarante);
    EXPECT_TRUE(ds.isEmpty());
    EXPECT_FALSE(imp.cdsSostituto.isActive()) << "read again by the next run";

    ScriviSediInps({{"1300", "BO"}});
    EXPECT_EQ(imp.Importa().importati, 1);
    Archiviata(ds, TZepParametri::TabellaDichiarante);
    EXPECT_EQ(ds.recordCount(), 1);
}
