// The performing-arts (FPLS) import on a real embedded archive (the demo
// archive of March 2024, whose performing-arts worker is paid under the
// fund's retention 17): the candidates, the row and its amounts, the
// minimum, the additional contribution and the ceiling, a professional's
// own contribution, a re-import, and the declarant before the persons.
#include "zepCImpFplsExEnpalsMultiSelect.h"

#include "ZepImportDemoSupport.h"
#include "zepCImpSostituto.h"

#include "Exceptions.h"

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
        acom = Valore("SELECT ACOM.IACOMID FROM TACOM_COMPENSI ACOM JOIN TENPA_ENPALS ENPA ON ENPA.IACOMID = "
                      "ACOM.IACOMID WHERE ACOM.IANFID = 55")
                   .toInt();
        // The fund's rows of the worker's register of March, pay items only.
        righeFondo = QStringLiteral("SELECT VARR.IVARRID FROM TVARR_VARRITENUTE VARR JOIN TREGS_REGISTROSTIP REGS ON "
                                    "REGS.IREGSID = VARR.IREGSID WHERE REGS.IACOMID = %1 AND REGS.IMESID = 3 AND "
                                    "VARR.IRICEID = 17 AND VARR.IVACRID IS NOT NULL")
                         .arg(acom);
    }

    // The stored row of the worker; false when there is none.
    bool Riga(DataSet &ds)
    {
        Archiviata(ds, TZepImpFplsExEnpalsMultiSelect::Tabella);
        return ds.locate("CFLavoratore", Valore(QStringLiteral("SELECT ANA.SANACODFISCALE FROM TACOM_COMPENSI ACOM "
                                                             "JOIN TANAPER_POSIZIONI P ON P.IANAPERID = ACOM.IANAPERID "
                                                             "JOIN TANACAG_MATRICOLE M ON M.IANACAGID = P.IANACAGID "
                                                             "JOIN TANA_ANAGRAFICHE ANA ON ANA.IANAID = M.IANAID "
                                                             "WHERE ACOM.IACOMID = %1")
                                                  .arg(acom)));
    }
    Currency Somma(const QString &colonna)
    {
        return Valore(QStringLiteral("SELECT SUM(%1) FROM TVARR_VARRITENUTE WHERE IVARRID IN (%2)").arg(colonna, righeFondo))
            .toCurrency();
    }
    Currency Importo(const DataSet &ds, const char *campo) { return ds.fieldByName(campo).asCurrency(); }
    // The first fund row's detail gets the values.
    void Dettaglio(const QString &assegnazioni)
    {
        tdb.db().execute(QStringLiteral("UPDATE TENPV_ENPALSVARR SET %1 WHERE IVARRID = (SELECT MIN(IVARRID) FROM "
                                        "TVARR_VARRITENUTE WHERE IVARRID IN (%2))")
                             .arg(assegnazioni, righeFondo));
    }

    TZepImpFplsExEnpalsMultiSelect imp{store, &tdb.db()};
    int acom = 0;
    QString righeFondo;
};

} // namespace

TEST_F(FplsImport, TheFundsWorkerGetsOneRowWithTheFundsAmountsAndTheContractData)
{
    ASSERT_GT(acom, 0);
    ASSERT_TRUE(imp.Prepara());
    ASSERT_EQ(imp.xqcMultiSelect.recordCount(), 1) << "only the fund's workers are candidates";
    EXPECT_EQ(imp.xqcMultiSelect.fieldValue("IACOMID").toInt(), acom);

    const TwunFiscImpMultiSelect::Esito esito = imp.Importa();
    EXPECT_EQ(esito.importati, 1);
    EXPECT_EQ(notifica.messaggi, QStringList{"Fine operazione"});
    DataSet r;
    ASSERT_TRUE(Riga(r));
    EXPECT_EQ(r.recordCount(), 1);
    const Currency imponibile = Somma("FVARRIMPONIBILE");
    EXPECT_GT(imponibile, Currency());
    EXPECT_EQ(Importo(r, "Imponibile"), imponibile);
    EXPECT_EQ(Importo(r, "Contributo"), Somma("FVARRRITDIP") + Somma("FVARRRITAMM"));
    EXPECT_EQ(Importo(r, "RetribTeorica"), imponibile);
    for (const char *zero : {"ImponibileCtrAgg", "ContribAggCorrente", "ImpEccMassSpet", "ContrEccMassSpet",
                             "ContrSolidarietaSpet"})
        EXPECT_EQ(Importo(r, zero), Currency()) << zero;
    const QList<QPair<const char *, QString>> testi{
        {"AnnoMeseDenuncia", "2024-03"}, {"Matricola", "7654321098"}, {"Elimina", "N"},
        {"Qualifica1", "S"},             {"Qualifica2", "F"},          {"Qualifica3", "D"},
        {"CodiceComune", "A944"},        {"RispettoMinimale", "0"},    {"TipoContribuzione", ""},
        {"CodiceContratto", "CPUB"},     {"TipoLavoratore", "1"},      {"TipoRapportoLav", "D"},
        {"CodiceQualifica", "010"}};
    for (const auto &[campo, atteso] : testi)
        EXPECT_EQ(r.fieldByName(campo).asString(), atteso) << campo;
    const QString cognome = imp.xqcMultiSelect.fieldValue("SANACOGNOME").toString();
    EXPECT_EQ(r.fieldByName("Cognome").asString(), cognome.toUpper());
    EXPECT_EQ(r.fieldByName("GiorniRetribuiti").asInteger(), 30);
    EXPECT_EQ(r.fieldByName("GiorniContribuiti").asInteger(), 30);
    EXPECT_EQ(r.fieldByName("RegimePost95").asString(),
              Valore(QStringLiteral("SELECT IACOMREGIMEPOST95 FROM TACOM_COMPENSI WHERE IACOMID = %1").arg(acom))
                      .toInt() == 1
                  ? "Sì"
                  : "No");
    EXPECT_FALSE(r.fieldByName("Cittadinanza").asString().isEmpty());
}

TEST_F(FplsImport, TheMinimumIsCheckedOnlyWithoutAdditionalContributionAndAboveTheCeilingAmounts)
{
    struct Caso {
        const char *nome;
        int minimale;               // LVARRMINIMALEAPPL of the fund rows
        const char *dettaglio;      // the first fund row's detail
        const char *rispetto;
        Currency ctrAgg, contribAgg, eccedenza, solidarieta;
    };
    const QList<Caso> casi{
        {"below the minimum", 1, "FENPVIMPONIBILECTRAGG = 0", "S", {}, {}, {}, {}},
        {"above the minimum", 0, "FENPVIMPONIBILECTRAGG = 0", "0", {}, {}, {}, {}},
        {"additional contribution", 1,
         "FENPVIMPONIBILECTRAGG = 100, FENPVCONTRIBAGGCORRENTE = 1, FENPVIMPECCMASSSPET = 0", "0",
         Currency::fromInt(100), Currency::fromInt(1), {}, {}},
        {"above the ceiling", 1,
         "FENPVIMPONIBILECTRAGG = 0, FENPVCONTRIBAGGCORRENTE = 0, FENPVIMPECCMASSSPET = 500, "
         "FENPVCONTRECCMASSSPETDIP = 2.5, FENPVCONTRECCMASSSPETAMM = 7.25",
         "0", {}, {}, Currency::fromInt(500), Currency::fromString("9.75")}};
    ASSERT_TRUE(imp.Prepara());
    for (const Caso &c : casi) {
        SCOPED_TRACE(c.nome);
        tdb.db().execute(QStringLiteral("UPDATE TVARR_VARRITENUTE SET LVARRMINIMALEAPPL = %1 WHERE IVARRID IN (%2)")
                             .arg(c.minimale)
                             .arg(righeFondo));
        Dettaglio(QString::fromLatin1(c.dettaglio));
        imp.Importa();
        DataSet r;
        ASSERT_TRUE(Riga(r));
        EXPECT_EQ(r.recordCount(), 1);
        EXPECT_EQ(r.fieldByName("RispettoMinimale").asString(), c.rispetto);
        EXPECT_EQ(Importo(r, "ImponibileCtrAgg"), c.ctrAgg);
        EXPECT_EQ(Importo(r, "ContribAggCorrente"), c.contribAgg);
        EXPECT_EQ(Importo(r, "ImpEccMassSpet"), c.eccedenza);
        EXPECT_EQ(Importo(r, "ContrSolidarietaSpet"), c.solidarieta);
        EXPECT_EQ(Importo(r, "ContrEccMassSpet"), Currency());
        EXPECT_EQ(Importo(r, "RetribTeorica"), Somma("FVARRIMPONIBILE") + c.eccedenza);
    }
}

TEST_F(FplsImport, AReimportReplacesTheRowAndNeverAddsToIt)
{
    ASSERT_TRUE(imp.Prepara());
    imp.Importa();
    DataSet r;
    ASSERT_TRUE(Riga(r));
    const Currency prima = Importo(r, "Imponibile");

    // The pay changed in the archive: "Sovrascrivi sempre" takes the new
    // amounts, with one row.
    const QString piuCento = QStringLiteral("UPDATE TVARR_VARRITENUTE SET FVARRIMPONIBILE = FVARRIMPONIBILE + 100 "
                                            "WHERE IVARRID = (SELECT MIN(IVARRID) FROM TVARR_VARRITENUTE WHERE "
                                            "IVARRID IN (%1))")
                                 .arg(righeFondo);
    tdb.db().execute(piuCento);
    imp.Importa();
    ASSERT_TRUE(Riga(r));
    EXPECT_EQ(r.recordCount(), 1);
    EXPECT_EQ(Importo(r, "Imponibile"), prima + Currency::fromInt(100));

    // Not replaced: "Non sovrascrivere", and "Chiedi conferma" answered No.
    tdb.db().execute(piuCento);
    imp.Sovrascrittura = TwunFiscImpMultiSelect::NonSovrascrivere;
    imp.Importa();
    imp.Sovrascrittura = TwunFiscImpMultiSelect::ChiediConferma;
    notifica.risposte = {false};
    imp.Importa();
    EXPECT_EQ(notifica.domande.size(), 1);
    ASSERT_TRUE(Riga(r));
    EXPECT_EQ(Importo(r, "Imponibile"), prima + Currency::fromInt(100));

    // Without fund taxable in the month the replaced row is not made again.
    tdb.db().execute(QStringLiteral("UPDATE TVARR_VARRITENUTE SET FVARRIMPONIBILE = 0 WHERE IVARRID IN (%1)").arg(righeFondo));
    notifica.risposte = {true};
    imp.Importa();
    EXPECT_FALSE(Riga(r));
    EXPECT_TRUE(imp.cdsImport.isEmpty());
}

TEST_F(FplsImport, AProfessionalsOwnContributionIsTheContributionWhenTheWorkerBoreNone)
{
    const int regs = Valore(QStringLiteral("SELECT IREGSID FROM TREGS_REGISTROSTIP WHERE IACOMID = %1 AND IMESID = 3 "
                                           "AND ICOTID = 1")
                                .arg(acom))
                         .toInt();
    tdb.db().execute(QStringLiteral("UPDATE TVARR_VARRITENUTE SET FVARRRITDIP = 0 WHERE IVARRID IN (%1)").arg(righeFondo));
    tdb.db().execute("INSERT INTO TCOMR_RIGHECOMP (ICOMRID, ICOMRUSERCODE, SCOMRLDESC, ICOMRGRUPPO) "
                     "VALUES (41, 41, 'Contributo previdenziale a carico del professionista', 1)");
    tdb.db().execute(QStringLiteral("INSERT INTO TVACR_VARCOMPRIGHE (IVACRID, IREGSID, ICOMRID, FVACRLORDO) "
                                    "VALUES (990001, %1, 41, 123.45)")
                         .arg(regs));
    const Currency amministrazione = Somma("FVARRRITAMM");

    // Not a professional: the administration's share only.
    ASSERT_TRUE(imp.Prepara());
    imp.Importa();
    DataSet r;
    ASSERT_TRUE(Riga(r));
    EXPECT_EQ(Importo(r, "Contributo"), amministrazione);

    tdb.db().execute(QStringLiteral("UPDATE TREGS_REGISTROSTIP SET ITNOID = 14 WHERE IREGSID = %1").arg(regs));
    imp.Importa();
    ASSERT_TRUE(Riga(r));
    EXPECT_EQ(Importo(r, "Contributo"), amministrazione + Currency::fromString("123.45"));
}

TEST_F(FplsImport, TheDeclarantComesFirstAndItsFailureEndsTheRunBeforeAnyPerson)
{
    Parametro("SOSTITUTO", true);
    ASSERT_TRUE(imp.Prepara());
    // The offices' table cannot be read: nothing is imported, nothing of the
    // declarant is kept, the error reaches the caller (the window shows it).
    QFile::remove(fileSediInps);
    EXPECT_THROW(imp.Importa(), std::exception);
    DataSet ds;
    Archiviata(ds, TZepParametri::TabellaDichiarante);
    EXPECT_TRUE(ds.isEmpty());
    Archiviata(ds, TZepImpFplsExEnpalsMultiSelect::Tabella);
    EXPECT_TRUE(ds.isEmpty());
    EXPECT_FALSE(imp.cdsSostituto.isActive());
    EXPECT_FALSE(tdb.db().inTransaction());

    ScriviSediInps({{"1300", "BO"}});
    notifica.messaggi.clear();
    EXPECT_EQ(imp.Importa().importati, 1);
    Archiviata(ds, TZepParametri::TabellaDichiarante);
    ASSERT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.fieldByName("CFAzienda").asString(),
              Valore("SELECT SSEDNOMCODICEFISC FROM TSED_SEDI WHERE LSEDPRINCIPALE = 1").toString());
    EXPECT_EQ(notifica.messaggi, QStringList{"Fine operazione"});
}
