// The collaborator and declarant writers of the private-sector import on a
// real embedded archive (the demo archive of March 2024, whose collaborator
// has activity code 13 and the INPS rows of the separate management):
// the activity codes row by row, the relief, the other cover, the rounding
// of taxable and rate, a missing activity code, and the declarant from the
// employer's site.
#include "zepCImpCollaboratori.h"
#include "zepCImpSostituto.h"

#include "ZepImportDemoSupport.h"
#include "zepCFiscImpMultiSelect.h"

#include "Exceptions.h"

using namespace imptest;
using platform::Currency;

namespace {

// An import writing what the private-sector import writes of a
// collaborator: the declarant before the persons, each person's
// collaborator rows in its transaction.
class ImportazioneCollaboratori : public TZepFiscImpMultiSelect {
public:
    ImportazioneCollaboratori(TTovDBCds &store, platform::Database *db)
        : TZepFiscImpMultiSelect(store, db)
        , cdsColl(QStringLiteral("cdsColl"))
    {
        cdsColl.events().afterPost = [this](DataSet &ds) { Store().Save(ds, TZepImpCollaboratori::Tabella); };
        cdsColl.events().afterDelete = cdsColl.events().afterPost;
    }

    DataSet cdsColl;
    QString fileSediInps;

    void ImportaSostituto() override { TZepImpSostituto(*this, fileSediInps).Importa(); }
    void ImportaRiga() override
    {
        CaricaTabella(TZepImpCollaboratori::Tabella, &cdsColl);
        TZepImpCollaboratori(*this, cdsColl).Importa();
    }
    QList<DataSet *> TabelleInMemoria() override { return {&cdsImport, &cdsColl}; }
};

class Collaboratori : public ImportTest {
protected:
    Collaboratori()
    {
        imp.SetNotifica(&notifica);
        imp.Imposta(&parametri, &sedi, {});
        imp.fileSediInps = fileSediInps;
        acom = Valore("SELECT IACOMID FROM TACOM_COMPENSI WHERE ITNOID = 11 AND IANFID = 55").toInt();
        coat = Valore(QStringLiteral("SELECT ICOATID FROM TACOM_COMPENSI WHERE IACOMID = %1").arg(acom)).toInt();
        totaleInps = QStringLiteral("SELECT VARR.IVARRID FROM TVARR_VARRITENUTE VARR JOIN TREGS_REGISTROSTIP REGS ON "
                                    "REGS.IREGSID = VARR.IREGSID WHERE REGS.IACOMID = %1 AND REGS.IMESID = 3 AND "
                                    "VARR.IRICEID = 3 AND VARR.IVACRID IS NULL AND VARR.IVARMID IS NULL")
                         .arg(acom);
    }

    // The writer on the collaborator, outside the loop: the rows it adds.
    int Scrivi()
    {
        if (!imp.xqcMultiSelect.isActive()) {
            EXPECT_TRUE(imp.Prepara());
            EXPECT_TRUE(imp.xqcMultiSelect.locate("IACOMID", Value(acom)));
            imp.CaricaTabella(TZepImpCollaboratori::Tabella, &imp.cdsColl);
        }
        imp.ApriAnagrafica();
        const int prima = imp.cdsColl.recordCount();
        TZepImpCollaboratori(imp, imp.cdsColl).Importa();
        imp.cdsColl.last();
        return imp.cdsColl.recordCount() - prima;
    }
    QString Campo(const char *campo) const { return imp.cdsColl.fieldByName(campo).asString(); }
    void Totale(const QString &assegnazioni)
    {
        tdb.db().execute(QStringLiteral("UPDATE TVARR_VARRITENUTE SET %1 WHERE IVARRID IN (%2)").arg(assegnazioni, totaleInps));
    }
    void Compenso(const QString &assegnazioni)
    {
        tdb.db().execute(QStringLiteral("UPDATE TACOM_COMPENSI SET %1 WHERE IACOMID = %2").arg(assegnazioni).arg(acom));
    }
    void Sede(const QString &assegnazioni)
    {
        tdb.db().execute(QStringLiteral("UPDATE TSED_SEDI SET %1").arg(assegnazioni));
        sedi.close();
        sedi.Open();
    }

    ImportazioneCollaboratori imp{store, &tdb.db()};
    int acom = 0;
    int coat = 0;
    QString totaleInps;
};

} // namespace

TEST_F(Collaboratori, EveryActivityCodeGivesItsRelationshipTypeAndActivity)
{
    struct Caso {
        const char *codice;
        int tno;
        const char *tipo;
        const char *attivita;
    };
    const QList<Caso> casi{
        {"1", 11, "01", ""},   {"3", 11, "02", ""},   {"4", 11, "03", ""},   {"5", 11, "05", ""},
        {"27", 11, "04", ""},  {"28", 11, "07", ""},  {"1", 15, "01", ""},   {"28", 15, "07", ""},
        {"13", 15, "09", ""},  {"99", 15, "09", ""},  {"6", 11, "11", "09"}, {"25", 11, "11", "09"},
        {"7", 11, "11", "10"}, {"8", 11, "11", "11"}, {"9", 11, "11", "12"}, {"10", 11, "11", "13"},
        {"11", 11, "11", "03"}, {"12", 11, "11", "04"}, {"013", 11, "11", "05"}, {"14", 11, "11", "06"},
        {"15", 11, "11", "01"}, {"16", 11, "11", "02"}, {"18", 11, "11", "02"}, {"20", 11, "11", "14"},
        {"21", 11, "11", "15"}, {"22", 11, "11", "16"}, {"23", 11, "11", "08"}, {"24", 11, "11", "07"},
        {"2", 11, "11", "17"},  {"17", 11, "11", "17"}, {"19", 11, "11", "17"}, {"26", 11, "11", "17"},
        {"99", 11, "11", "17"}};
    ASSERT_GT(coat, 0);
    for (const Caso &c : casi) {
        SCOPED_TRACE(QStringLiteral("%1 / %2").arg(QLatin1String(c.codice)).arg(c.tno).toStdString());
        tdb.db().execute(QStringLiteral("UPDATE TCOAT_CODATTIVITA SET SCOATCODICE = '%1' WHERE ICOATID = %2")
                             .arg(QLatin1String(c.codice))
                             .arg(coat));
        tdb.db().execute(
            QStringLiteral("UPDATE TREGS_REGISTROSTIP SET ITNOID = %1 WHERE IACOMID = %2").arg(c.tno).arg(acom));
        ASSERT_EQ(Scrivi(), 1);
        EXPECT_EQ(Campo("TipoRapporto"), c.tipo);
        EXPECT_EQ(Campo("CodiceAttivita"), c.attivita);
    }
    // Only the collaborations' relationship types give rows.
    tdb.db().execute(QStringLiteral("UPDATE TREGS_REGISTROSTIP SET ITNOID = 1 WHERE IACOMID = %1").arg(acom));
    EXPECT_EQ(Scrivi(), 0);
    EXPECT_EQ(TZepImpCollaboratori::Codici(13, 11), (TZepImpCollaboratori::TCodici{"11", "05"}));
}

TEST_F(Collaboratori, WithoutTheCollaboratorsWithholdingTheRowCarriesARelief)
{
    ASSERT_EQ(Scrivi(), 1);
    EXPECT_EQ(Campo("TipoRapporto"), "11");
    EXPECT_EQ(Campo("CodiceAttivita"), "05");
    EXPECT_TRUE(imp.cdsColl.fieldByName("ImpAgevolazione").isNull());
    EXPECT_EQ(Campo("TipoAgevolazione"), "");
    EXPECT_EQ(imp.cdsColl.fieldByName("Dal").asDate(),
              Valore(QStringLiteral("SELECT DACOMINIRAPP FROM TACOM_COMPENSI WHERE IACOMID = %1").arg(acom)).toDate());
    EXPECT_EQ(Campo("AnnoMeseDenuncia"), "2024-03");
    EXPECT_EQ(Campo("Elimina"), "N");
    EXPECT_EQ(Campo("CodiceComune"), "A944");
    EXPECT_EQ(Campo("Cognome"), imp.xqcMultiSelect.fieldValue("SANACOGNOME").toString());

    // The whole contribution on the company: the due amount is the rate on
    // the taxable to cents, the relief a third of it in whole euros.
    struct Caso {
        const char *imponibile;
        const char *aliquota;
        int agevolazione;
    };
    for (const Caso &c : QList<Caso>{{"1000", "33.72", 112}, {"1000", "34.65", 116}, {"1000.01", "33.72", 112}}) {
        SCOPED_TRACE(c.aliquota);
        Totale(QStringLiteral("FVARRIMPONIBILE = %1, FVARRALIQUOTAAMM = %2, FVARRRITDIP = 0, FVARRRITAMM = 1")
                   .arg(QLatin1String(c.imponibile), QLatin1String(c.aliquota)));
        ASSERT_EQ(Scrivi(), 1);
        EXPECT_EQ(Campo("TipoRapporto"), "11");
        EXPECT_EQ(Campo("CodiceAttivita"), "19");
        EXPECT_EQ(imp.cdsColl.fieldByName("ImpAgevolazione").asCurrency(), Currency::fromInt(c.agevolazione));
        EXPECT_EQ(Campo("TipoAgevolazione"), "04");
    }
}

TEST_F(Collaboratori, TaxableInWholeEurosRateInHundredthsHalvesToEvenAndTheOtherCoverAsThreeDigits)
{
    struct Caso {
        int copass;
        const char *imponibile;
        const char *aliquota;
        int euro;
        int centesimiAliquota;
        const char *altraAss;
    };
    const QList<Caso> casi{{5, "1234.50", "33.725", 1235, 3372, "005"},
                           {0, "1234.49", "33.735", 1234, 3374, ""},
                           {12, "99.5", "24", 100, 2400, "012"},
                           {5, "100", "0", 100, 0, ""}};
    for (const Caso &c : casi) {
        SCOPED_TRACE(c.imponibile);
        Compenso(QStringLiteral("IACOMCOPASS = %1").arg(c.copass));
        Totale(QStringLiteral("FVARRIMPONIBILE = %1, FVARRALIQUOTAAMM = %2")
                   .arg(QLatin1String(c.imponibile), QLatin1String(c.aliquota)));
        ASSERT_EQ(Scrivi(), 1);
        EXPECT_EQ(imp.cdsColl.fieldByName("Imponibile").asCurrency(), Currency::fromInt(c.euro));
        EXPECT_EQ(imp.cdsColl.fieldByName("Aliquota").asInteger(), c.centesimiAliquota);
        EXPECT_EQ(Campo("AltraAss"), c.altraAss);
    }
}

TEST_F(Collaboratori, AMissingActivityCodeRollsThePersonBackWithItsMessage)
{
    for (const QString &codice : {QStringLiteral("NULL"), QStringLiteral("'AB'"), QStringLiteral("'0'")}) {
        SCOPED_TRACE(codice.toStdString());
        tdb.db().execute(QStringLiteral("UPDATE TCOAT_CODATTIVITA SET SCOATCODICE = 'X' WHERE ICOATID = %1").arg(coat));
        if (codice == "NULL")
            Compenso("ICOATID = NULL");
        else
            tdb.db().execute(
                QStringLiteral("UPDATE TCOAT_CODATTIVITA SET SCOATCODICE = %1 WHERE ICOATID = %2").arg(codice).arg(coat));
        notifica.messaggi.clear();
        ASSERT_TRUE(imp.Prepara());
        const TwunFiscImpMultiSelect::Esito esito = imp.Importa();
        EXPECT_EQ(esito.falliti, 1);
        ASSERT_EQ(notifica.messaggi.size(), 2);
        EXPECT_TRUE(notifica.messaggi.first().startsWith("Controllare i dati del dipendente:"));
        EXPECT_TRUE(notifica.messaggi.first().contains(TZepImpCollaboratori::MsgCodiceAttivita));
        DataSet ds;
        Archiviata(ds, TZepImpCollaboratori::Tabella);
        EXPECT_TRUE(ds.isEmpty());
        EXPECT_TRUE(!imp.cdsColl.isActive() || imp.cdsColl.isEmpty()) << "put back as before the person";
        Compenso(QStringLiteral("ICOATID = %1").arg(coat));
    }
}

TEST_F(Collaboratori, TheCompanyNameKeepsItsLengthWithOnlyCapitalLettersAndBlanks)
{
    const QList<QPair<QString, QString>> casi{{"ACME S.R.L. & C.", "ACME S R L    C "},
                                              {"Società Èlite 2000", "SOCIET   LITE     "},
                                              {"Straße", "STRA E"},
                                              {"", ""}};
    for (const auto &[nome, atteso] : casi) {
        EXPECT_EQ(TZepImpSostituto::RagioneSociale(nome), atteso);
        EXPECT_EQ(TZepImpSostituto::RagioneSociale(nome).size(), nome.size());
    }
}

TEST_F(Collaboratori, TheDeclarantTakesTheMainSitesDataOnceBeforeThePersons)
{
    Parametro("SOSTITUTO", true);
    sedi.first();
    const QString provincia = sedi.fieldValue("SPROSIGLA").toString();
    ScriviSediInps({{"1300", provincia}});
    Sede("SSEDNOMLDESC = 'ACME S.R.L. & C.'");
    // A declarant already there keeps what the import does not write.
    {
        DataSet ds;
        Archiviata(ds, TZepParametri::TabellaDichiarante);
        ds.append();
        ds.setFieldValue("CodiceINPDAP", "INPDAP1");
        ds.setFieldValue("ISTAT", "00.00.00");
        ds.post();
        store.SavePeriod(ds, TZepParametri::TabellaDichiarante, 2024, 0);
    }
    ASSERT_TRUE(imp.Prepara());
    EXPECT_EQ(imp.Importa().importati, 1);

    DataSet d;
    Archiviata(d, TZepParametri::TabellaDichiarante);
    ASSERT_EQ(d.recordCount(), 1);
    const QString cf = sedi.fieldValue("SSEDNOMCODICEFISC").toString();
    EXPECT_FALSE(cf.isEmpty());
    EXPECT_EQ(d.fieldByName("CFMittente").asString(), cf);
    EXPECT_EQ(d.fieldByName("CFAzienda").asString(), cf);
    EXPECT_EQ(d.fieldByName("RagSocMittente").asString(), "ACME S R L    C ");
    EXPECT_EQ(d.fieldByName("RagSocAzienda").asString(), "ACME S R L    C ");
    EXPECT_EQ(d.fieldByName("CAP").asString(), sedi.fieldValue("SCAPVALUE").toString());
    EXPECT_EQ(d.fieldByName("SedeINPS").asString(), "1300");
    EXPECT_EQ(d.fieldByName("ISTAT").asString(), sedi.fieldValue("SPACOCODATECO2007").toString());
    EXPECT_EQ(d.fieldByName("CodiceINPDAP").asString(), "INPDAP1");
    DataSet coll;
    Archiviata(coll, TZepImpCollaboratori::Tabella);
    EXPECT_EQ(coll.recordCount(), 1);

    // A province the offices' table lacks leaves the office empty; without
    // the ATECO 2007 code the older one, without either the code stays.
    struct Caso {
        const char *ateco2007;
        const char *ateco;
        const char *istat;
    };
    ScriviSediInps({{"7000", "RM"}});
    for (const Caso &c : QList<Caso>{{"", "900400", "900400"}, {"", "", "900400"}}) {
        tdb.db().execute(QStringLiteral("UPDATE TPACO_PARAMCOMP SET SPACOCODATECO2007 = '%1', SPACOCODATECO = '%2'")
                             .arg(QLatin1String(c.ateco2007), QLatin1String(c.ateco)));
        Sede("SSEDNOMLDESC = SSEDNOMLDESC");
        imp.Sovrascrittura = TwunFiscImpMultiSelect::NonSovrascrivere;
        imp.Importa();
        Archiviata(d, TZepParametri::TabellaDichiarante);
        ASSERT_EQ(d.recordCount(), 1);
        EXPECT_EQ(d.fieldByName("SedeINPS").asString(), "");
        EXPECT_EQ(d.fieldByName("ISTAT").asString(), c.istat);
    }
}

TEST_F(Collaboratori, WithoutTheEmployersSiteTheRunEndsBeforeAnyPerson)
{
    Parametro("SOSTITUTO", true);
    sedi.close();
    sedi.params().paramByName("IDWGID").setValue(999);
    sedi.Open();
    ASSERT_TRUE(imp.Prepara());
    try {
        imp.Importa();
        ADD_FAILURE() << "the run went on";
    } catch (const EUqError &e) {
        EXPECT_EQ(e.message(), TZepImpSostituto::MsgSedeMancante);
    }
    DataSet ds;
    Archiviata(ds, TZepImpCollaboratori::Tabella);
    EXPECT_TRUE(ds.isEmpty());
    Archiviata(ds, TZepParametri::TabellaDichiarante);
    EXPECT_TRUE(ds.isEmpty());
}
