// The public-sector import's rows of earlier periods (V1) and of the pension
// fund (E1), on the demo archive of March 2024: its ninth person has a
// register of February's ex-DMA period, items of earlier reference periods
// and every fund retention (DemoArchiveDma.h).
#include "ZepImportDemoSupport.h"

#include "CaseName.h"
#include "DemoArchiveDma.h"
#include "ZePCImpDmaMultiSelect.h"
#include "ZepCDmaImpContesto.h"
#include "ZepCDma.h"
#include "ZepUDmaUtil.h"
#include "wunUCalcoliAnno.h"

using namespace imptest;
using platform::Currency;

namespace {

using TRiga = QMap<QString, QString>;

Currency euro(const char *testo)
{
    return Currency::fromString(QString::fromLatin1(testo));
}

class ZepImpDmaPrecedenti : public ImportTest {
protected:
    ZepImpDmaPrecedenti()
    {
        dma.setFieldDefs({{"IMESID", FieldType::Integer},
                          {"ITNOID", FieldType::Integer},
                          {"SOSTITUTO", FieldType::Boolean},
                          {"ImportaSuV1", FieldType::Boolean},
                          {"MESEV1", FieldType::Integer},
                          {"CAUSVAR", FieldType::Integer},
                          {"ANNO_DENUNCIA", FieldType::Integer}});
        dma.createDataSet();
        TWunCalcolaAnno::CreaPerAnno(2024);
        dma.appendRecord({3, 1, false, false, Value::null(), 5, 2024});
        const QString persona =
            "FROM TACOM_COMPENSI ACOM JOIN TANAPER_POSIZIONI P ON P.IANAPERID = ACOM.IANAPERID "
            "JOIN TANACAG_MATRICOLE M ON M.IANACAGID = P.IANACAGID JOIN TANA_ANAGRAFICHE ANA ON ANA.IANAID = "
            "M.IANAID WHERE ACOM.SACOMINQUADRAMENTO IS NOT NULL AND EXISTS (SELECT 1 FROM TAFP_ADESIONIFONDO A "
            "WHERE A.IACOMID = ACOM.IACOMID) ORDER BY ACOM.IANAPERID";
        compenso = Valore("SELECT FIRST 1 ACOM.IACOMID " + persona).toInt();
        codiceFiscale = Valore("SELECT FIRST 1 ANA.SANACODFISCALE " + persona).toString();
    }

    // A sum over the person's withholding rows of the month.
    Currency Somma(const QString &campo, const QString &condizione)
    {
        const Value v = Valore(QStringLiteral("SELECT SUM(VARR.%1) FROM TVARR_VARRITENUTE VARR JOIN "
                                              "TREGS_REGISTROSTIP REGS ON REGS.IREGSID = VARR.IREGSID "
                                              "LEFT JOIN TCOMR_RIGHECOMP COMR ON COMR.ICOMRID = VARR.ICOMRID "
                                              "WHERE REGS.IACOMID = %2 AND REGS.IMESID = 3 AND %3")
                                   .arg(campo)
                                   .arg(compenso)
                                   .arg(condizione));
        return v.isEmpty() ? Currency() : v.toCurrency();
    }

    // Imports the month's candidates, each replaced.
    TwunFiscImpMultiSelect::Esito Importa()
    {
        TZepDmaImpMultiSelect imp(store, &tdb.db());
        imp.Imposta(&dma, &sedi, QString());
        imp.SetNotifica(&notifica);
        imp.Sovrascrittura = TwunFiscImpMultiSelect::SovrascriviSempre;
        imp.Modo = TwunFiscImpMultiSelect::SovrascriviSempre;
        EXPECT_TRUE(imp.Prepara());
        return imp.Importa();
    }
    // The stored rows of the person in a section table, by start date.
    QList<TRiga> Righe(const QString &tabella, const QString &sezione)
    {
        DataSet ds;
        Archiviata(ds, tabella);
        QList<TRiga> righe;
        const QString inizio = sezione == "E1" ? QStringLiteral("DT_E1XXX004_DINIZIO")
                                               : TDmaUtil::NomeCampo("DT_E0XXX001_DINIZIO", sezione);
        for (ds.first(); !ds.eof(); ds.next()) {
            if (ds.fieldValue(TDmaUtil::CampoSezione(sezione, "CODFIS")).toString() != codiceFiscale)
                continue;
            TRiga riga;
            for (const QString &campo : ds.fieldNames()) {
                const Value v = ds.fieldValue(campo);
                riga[campo] = v.type() == platform::ValueType::Date ? v.toDate().toString(Qt::ISODate) : v.toString();
            }
            righe << riga;
        }
        std::stable_sort(righe.begin(), righe.end(),
                         [&](const TRiga &a, const TRiga &b) { return a[inizio] < b[inizio]; });
        return righe;
    }
    static Currency Importo(const TRiga &riga, const QString &campo)
    {
        const QString testo = riga.value(campo);
        return testo.isEmpty() ? Currency() : Currency::fromString(testo);
    }

    ~ZepImpDmaPrecedenti() override { TWunCalcolaAnno::Rilascia(); }

    DataSet dma;
    int compenso = 0;
    QString codiceFiscale;
};

} // namespace

TEST_F(ZepImpDmaPrecedenti, EarlierPeriodsGetV1RowsTakenOutOfTheRowsTheyWerePaidWith)
{
    ASSERT_GT(Importa().importati, 0);
    const QList<TRiga> v1 = Righe(TZepDma::TabellaV1, "V1");
    // December: 10007 of the month's register and 10009 of February's, one
    // row for the period (each taken out of the row of its register);
    // January: 10005; February: the register of the earlier period (its
    // arrears, its overtime, less the December item).
    struct Atteso {
        const char *dal, *al, *impPens, *conPens, *impCredito, *conCredito, *impTfr, *utileTfr, *conTfr;
    };
    const QList<Atteso> attesi{
        {"2023-12-01", "2023-12-31", "55", "18.15", "55", "0.20", "55", "68.75", "3.91"},
        {"2024-01-01", "2024-01-31", "40", "13.20", "40", "0.14", "40", "50", "2.84"},
        {"2024-02-01", "2024-02-29", "180", "59.40", "180", "0.63", "120", "150", "8.52"},
    };
    ASSERT_EQ(v1.size(), attesi.size());
    QList<QStringList> trovati, previsti;
    for (int i = 0; i < v1.size(); ++i) {
        const TRiga &r = v1[i];
        trovati << QStringList{r["DT_V1XXX001_DINIZIO"],
                               r["DT_V1XXX002_DFINE"],
                               Importo(r, "VN_V1XXX032_IMPPENS").toString(),
                               Importo(r, "VN_V1XXX033_CONPENS").toString(),
                               Importo(r, "VN_V1XXX039_IMPCREDITO").toString(),
                               Importo(r, "VN_V1XXX040_CONCREDITO").toString(),
                               Importo(r, "VN_V1XXXA37_IMPTFR").toString(),
                               Importo(r, "VN_V1XXX044_UTILETFR").toString(),
                               Importo(r, "VN_V1XXXA38_CONTFR").toString(),
                               r["NP_V1XXX000_CAUSVAR"],
                               r["NP_V1XXX024_CODALI"]};
        const Atteso &a = attesi[i];
        previsti << QStringList{a.dal, a.al};
        for (const char *importo : {a.impPens, a.conPens, a.impCredito, a.conCredito, a.impTfr, a.utileTfr, a.conTfr})
            previsti.last() << euro(importo).toString();
        previsti.last() << "5"
                        << "2";
    }
    std::sort(trovati.begin(), trovati.end());
    std::sort(previsti.begin(), previsti.end());
    const auto testo = [](const QList<QStringList> &righe) {
        QStringList t;
        for (const QStringList &r : righe)
            t << r.join(' ');
        return t.join('\n').toStdString();
    };
    EXPECT_EQ(testo(trovati), testo(previsti));

    // The month's E0 rows give up both earlier reference periods; with the
    // V1 rows they declare the month's pension taxable once.
    Currency e0, tutti;
    for (const TRiga &r : Righe(TZepDma::TabellaE0, "E0"))
        e0 += Importo(r, "VP_E0XXX032_IMPPENS");
    const Currency delMese = Somma("FVARRIMPONIBILEDIP",
                                   "VARR.IRICEID = 2 AND VARR.IVACRID IS NULL AND REGS.DREGSDMADAL IS NULL "
                                   "AND REGS.ICOTID = 1");
    EXPECT_EQ(e0, delMese - payroll::DemoArchiveDma::TurnoPrecedente - payroll::DemoArchiveDma::RischioPrecedente);
    for (const TRiga &r : v1)
        tutti += Importo(r, "VN_V1XXX032_IMPPENS");
    EXPECT_EQ(e0 + tutti, Somma("FVARRIMPONIBILEDIP", "VARR.IRICEID = 2 AND VARR.IVACRID IS NULL"));
}

TEST_F(ZepImpDmaPrecedenti, FundRowsByCategoryWithTheirDatesRatesAndSums)
{
    ASSERT_GT(Importa().importati, 0);
    const QList<TRiga> e1 = Righe(TZepDma::TabellaE1, "E1");
    ASSERT_EQ(e1.size(), 2);
    const QString adesione =
        Valore(QStringLiteral("SELECT DAFPADESIONE FROM TAFP_ADESIONIFONDO WHERE IACOMID = %1").arg(compenso))
            .toDate()
            .toString(Qt::ISODate);
    // Category 10002 is dated by February's ex-DMA period and its
    // contributions end on the suspension of the 10th; category 10001 by
    // the month's registers, where the suspension falls outside and the
    // cessation of the 20th inside.
    struct Atteso {
        int categoria;
        const char *dal, *al, *fineContribuzioni, *percLavoratore;
        QList<int> tipi;
    };
    const QList<Atteso> attesi{{10002, "2024-02-01", "2024-02-29", "2024-02-10", "1", {10002, 10008, 10009}},
                               {10001, "2024-03-01", "2024-03-31", "2024-03-20", "1.5", {10001, 10005, 10007}}};
    for (int i = 0; i < attesi.size(); ++i) {
        const Atteso &a = attesi[i];
        const TRiga &r = e1[i];
        SCOPED_TRACE(a.categoria);
        const QString categoria = QStringLiteral("COMR.ICOSID = %1 AND VARR.IRICEID = ").arg(a.categoria);
        QStringList tipi;
        for (int t : a.tipi)
            tipi << QString::number(t);
        EXPECT_EQ(r["DT_E1XXX004_DINIZIO"].toStdString(), a.dal);
        EXPECT_EQ(r["DT_E1XXX005_DFINE"].toStdString(), a.al);
        EXPECT_EQ(r["DT_E1XXX009_DFINE_CONTRIBUZIONI"].toStdString(), a.fineContribuzioni);
        EXPECT_EQ(r["DT_E1XXX003_DSOTTOSCR"].toStdString(), adesione.toStdString());
        EXPECT_EQ(r["NP_E1XXX001_COD_FONDO"].toStdString(), "ESP");
        EXPECT_EQ(Importo(r, "PC_E1XXX006_PERC_LAVORATORE"), euro(a.percLavoratore));
        EXPECT_EQ(Importo(r, "PC_E1XXX007_PERC_CARICO_DATORE"), euro("1"));
        EXPECT_EQ(Importo(r, "PC_E1XXX008_PERC_TFR"), euro("100"));
        EXPECT_EQ(r["CB_E1XXX013_CONGUAGLIO_FISCALE"].toStdString(), "0");
        EXPECT_EQ(Importo(r, "VP_E1XXX012_TOT_RETRIBUZIONE"),
                  Somma("FVARRIMPONIBILE", categoria + "14 AND VARR.ICOMRID IN (" + tipi.join(',') + ")"));
        EXPECT_EQ(Importo(r, "VP_E1XXX014_CONT_LAVORATORE"), Somma("FVARRRITDIP", categoria + "14"));
        EXPECT_EQ(Importo(r, "VP_E1XXX015_CONT_DATORE"), Somma("FVARRRITAMM", categoria + "14"));
        EXPECT_EQ(Importo(r, "VP_E1XXX016_CONT_AGG_LAVORATORE"), Somma("FVARRRITDIP", categoria + "15"));
        EXPECT_EQ(Importo(r, "VP_E1XXX018_QUOTA_FPC_ISCRITTO"), Somma("FVARRRITDIP", categoria + "16"));
    }
    EXPECT_GT(Importo(e1[1], "VP_E1XXX016_CONT_AGG_LAVORATORE"), Currency());
}

// A change to the person's data, and the message that ends the person.
class ZepImpDmaPersonaFallita : public ZepImpDmaPrecedenti,
                                public ::testing::WithParamInterface<std::pair<const char *, const char *>> {};

TEST_P(ZepImpDmaPersonaFallita, EndsWithItsMessageAndLeavesNoRow)
{
    tdb.db().execute(QString::fromLatin1(GetParam().first).arg(compenso));
    const TwunFiscImpMultiSelect::Esito esito = Importa();
    EXPECT_EQ(esito.falliti, 1);
    const QStringList errori = notifica.messaggi.filter(TwunFiscImpMultiSelect::MsgControllareDati);
    ASSERT_EQ(errori.size(), 1);
    EXPECT_TRUE(errori.first().endsWith(QString::fromUtf8(GetParam().second))) << errori.first().toStdString();
    for (const auto &[tabella, sezione] : QList<std::pair<QString, QString>>{{TZepDma::TabellaE0, "E0"},
                                                                             {TZepDma::TabellaV1, "V1"},
                                                                             {TZepDma::TabellaE1, "E1"}})
        EXPECT_TRUE(Righe(tabella, sezione).isEmpty()) << tabella.toStdString();
}

// Without the fund's data; with an earlier period that ends before it
// starts (an assertion: it ends the person, never the run).
INSTANTIATE_TEST_SUITE_P(
    Casi, ZepImpDmaPersonaFallita,
    ::testing::Values(
        std::pair{"DELETE FROM TAFP_ADESIONIFONDO WHERE IACOMID = %1",
                  "Impossibile trovare le informazioni relative al fondo pensione dei dati retributivi ."},
        std::pair{"UPDATE TREGS_REGISTROSTIP SET DREGSDMADAL = '2024-02-29', DREGSDMAAL = '2024-02-01' "
                  "WHERE IACOMID = %1 AND DREGSDMADAL IS NOT NULL",
                  "Periodo precedente non valido: dal 29/02/2024 al 01/02/2024"}),
    [](const auto &info) { return CaseName::name(info.index, info.param.second); });

TEST_F(ZepImpDmaPrecedenti, ARegisterOfAnEarlierYearTakesThatYearsContractPay)
{
    // February's register moved to December 2023; the person's monthly
    // amounts of December are those of 2024's compensation, never of 2023.
    tdb.db().execute(QStringLiteral("UPDATE TREGS_REGISTROSTIP SET DREGSDMADAL = '2023-12-01', DREGSDMAAL = "
                                    "'2023-12-31' WHERE IACOMID = %1 AND DREGSDMADAL IS NOT NULL")
                         .arg(compenso));
    tdb.db().execute(QStringLiteral("INSERT INTO TASTI_STORICO (IASTIID, IACOMID, IMESID, IQARID) SELECT "
                                    "GEN_ID(GEN_TASTI_STORICO, 1), IACOMID, 12, IQARID FROM TACOM_COMPENSI "
                                    "WHERE IACOMID = %1")
                         .arg(compenso));
    tdb.db().execute(QStringLiteral("INSERT INTO TASTR_STORICOIMPORTI (IASTRID, IASTIID, ICOMRID, FASTRIMPORTO) "
                                    "SELECT GEN_ID(GEN_TASTR_STORICOIMPORTI, 1), IASTIID, 10001, 9999 FROM "
                                    "TASTI_STORICO WHERE IACOMID = %1 AND IMESID = 12")
                         .arg(compenso));
    const int qualifica =
        Valore(QStringLiteral("SELECT IQARID FROM TACOM_COMPENSI WHERE IACOMID = %1").arg(compenso)).toInt();
    ASSERT_GT(Importa().importati, 0);
    QStringList stipendi;
    for (const TRiga &r : Righe(TZepDma::TabellaV1, "V1"))
        if (r["DT_V1XXX001_DINIZIO"].startsWith("2023") && !r["StipendioTabellare"].isEmpty())
            stipendi << r["DT_V1XXX001_DINIZIO"] + " " + Importo(r, "StipendioTabellare").toString();
    const Currency del2023 = TZepDmaImpContesto::StipendioDaCCNL(tdb.db(), 2023, 12, qualifica);
    EXPECT_GT(del2023, Currency());
    EXPECT_EQ(stipendi.join(',').toStdString(), ("2023-12-01 " + del2023.toString()).toStdString());
}

TEST_F(ZepImpDmaPrecedenti, TheSpecialAllowancesFundRowOfTheMonthAloneIsDatedByItsRegisters)
{
    // Without the register of an earlier period, no fund row of category
    // 10002 has an ex-DMA period: the row takes its registers' own dates
    // rather than none.
    tdb.db().execute(QStringLiteral("DELETE FROM TVARR_VARRITENUTE WHERE IREGSID IN (SELECT IREGSID FROM "
                                    "TREGS_REGISTROSTIP WHERE IACOMID = %1 AND DREGSDMADAL IS NOT NULL)")
                         .arg(compenso));
    tdb.db().execute(QStringLiteral("DELETE FROM TVACR_VARCOMPRIGHE WHERE IREGSID IN (SELECT IREGSID FROM "
                                    "TREGS_REGISTROSTIP WHERE IACOMID = %1 AND DREGSDMADAL IS NOT NULL)")
                         .arg(compenso));
    tdb.db().execute(
        QStringLiteral("DELETE FROM TREGS_REGISTROSTIP WHERE IACOMID = %1 AND DREGSDMADAL IS NOT NULL").arg(compenso));
    ASSERT_GT(Importa().importati, 0);
    QStringList periodi;
    for (const TRiga &r : Righe(TZepDma::TabellaE1, "E1"))
        periodi << r["DT_E1XXX004_DINIZIO"] + " " + r["DT_E1XXX005_DFINE"];
    EXPECT_EQ(periodi.join(',').toStdString(), "2024-03-01 2024-03-31,2024-03-01 2024-03-31");
}
