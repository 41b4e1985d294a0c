// The collaborator and declarant writers of the private-sector import on the
// demo archive of March 2024, whose collaborator has activity code 13 and
// the INPS rows of the separate management.
#include "zepCImpCollaboratori.h"
#include "zepCImpSostituto.h"
#include "ZepCCollaboratore.h"

#include "ZepImportDemoSupport.h"
#include "zepCFiscImpMultiSelect.h"

#include "Exceptions.h"

using namespace imptest;
using platform::Currency;

namespace {

// What the private-sector import does with the writers: the declarant
// before the persons, a person's collaborator rows in its transaction.
class ImportazioneCollaboratori : public TZepFiscImpMultiSelect {
public:
    using TZepFiscImpMultiSelect::TZepFiscImpMultiSelect;
    DataSet cdsColl;
    QString fileSediInps;

    void ImportaSostituto() override { TZepImpSostituto({Store(), cdsSostituto, Sedi()}, fileSediInps).Importa(); }
    void ImportaRiga() override
    {
        CaricaTabella(TZepCollaboratore::Tabella, &cdsColl);
        cdsColl.events().afterPost = [this](DataSet &ds) { Store().Save(ds, TZepCollaboratore::Tabella); };
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
    }
    // The writer on the collaborator outside the loop: the rows it added,
    // the table on the last.
    int Scrivi()
    {
        if (!imp.cdsColl.isActive()) {
            EXPECT_TRUE(imp.Prepara());
            EXPECT_TRUE(imp.xqcMultiSelect.locate("IACOMID", Value(acom)));
            imp.CaricaTabella(TZepCollaboratore::Tabella, &imp.cdsColl);
        }
        imp.ApriAnagrafica();
        const int prima = imp.cdsColl.recordCount();
        TZepImpCollaboratori(imp, imp.cdsColl).Importa();
        imp.cdsColl.last();
        return imp.cdsColl.recordCount() - prima;
    }
    QString Campo(const char *campo) const { return imp.cdsColl.fieldByName(campo).asString(); }
    // The collaborator's INPS total of March.
    void Totale(const QString &assegnazioni)
    {
        Esegui(QStringLiteral("UPDATE TVARR_VARRITENUTE SET %1 WHERE IRICEID = 3 AND IVACRID IS NULL AND "
                              "IREGSID IN (SELECT IREGSID FROM TREGS_REGISTROSTIP WHERE IACOMID = :ACOM)")
                   .arg(assegnazioni));
    }
    // A statement on the collaborator: :ACOM and :COAT stand for its
    // compensation and activity code.
    void Esegui(QString sql)
    {
        tdb.db().execute(sql.replace(":ACOM", QString::number(acom)).replace(":COAT", QString::number(coat)));
    }

    ImportazioneCollaboratori imp{store, &tdb.db()};
    int acom = 0;
    int coat = 0;
};

} // namespace

TEST_F(Collaboratori, EveryActivityCodeGivesItsRelationshipTypeAndActivity)
{
    const QList<std::tuple<const char *, int, const char *, const char *>> casi{
        {"1", 11, "01", ""},    {"3", 11, "02", ""},    {"4", 11, "03", ""},     {"5", 11, "05", ""},
        {"27", 11, "04", ""},   {"28", 11, "07", ""},   {"1", 15, "01", ""},     {"28", 15, "07", ""},
        {"13", 15, "09", ""},   {"99", 15, "09", ""},   {"6", 11, "11", "09"},   {"25", 11, "11", "09"},
        {"7", 11, "11", "10"},  {"8", 11, "11", "11"},  {"9", 11, "11", "12"},   {"10", 11, "11", "13"},
        {"11", 11, "11", "03"}, {"12", 11, "11", "04"}, {"013", 11, "11", "05"}, {"14", 11, "11", "06"},
        {"15", 11, "11", "01"}, {"16", 11, "11", "02"}, {"18", 11, "11", "02"},  {"20", 11, "11", "14"},
        {"21", 11, "11", "15"}, {"22", 11, "11", "16"}, {"23", 11, "11", "08"},  {"24", 11, "11", "07"},
        {"2", 11, "11", "17"},  {"17", 11, "11", "17"}, {"19", 11, "11", "17"},  {"99", 11, "11", "17"}};
    for (const auto &[codice, tno, tipo, attivita] : casi) {
        SCOPED_TRACE(std::string(codice) + " / " + std::to_string(tno));
        Esegui(QStringLiteral("UPDATE TCOAT_CODATTIVITA SET SCOATCODICE = '%1' WHERE ICOATID = :COAT")
                   .arg(QLatin1String(codice)));
        Esegui(QStringLiteral("UPDATE TREGS_REGISTROSTIP SET ITNOID = %1 WHERE IACOMID = :ACOM").arg(tno));
        ASSERT_EQ(Scrivi(), 1);
        EXPECT_EQ(Campo("TipoRapporto"), tipo);
        EXPECT_EQ(Campo("CodiceAttivita"), attivita);
    }
    // Not a collaboration: no row.
    Esegui("UPDATE TREGS_REGISTROSTIP SET ITNOID = 1 WHERE IACOMID = :ACOM");
    EXPECT_EQ(Scrivi(), 0);
}

TEST_F(Collaboratori, WithoutTheCollaboratorsWithholdingTheRowCarriesARelief)
{
    ASSERT_EQ(Scrivi(), 1);
    EXPECT_EQ(Campo("CodiceAttivita"), "05");
    EXPECT_TRUE(imp.cdsColl.fieldByName("ImpAgevolazione").isNull());
    EXPECT_EQ(Campo("TipoAgevolazione"), "");
    EXPECT_EQ(Campo("AnnoMeseDenuncia") + Campo("Elimina") + Campo("CodiceComune"), "2024-03NA944");
    EXPECT_EQ(imp.cdsColl.fieldByName("Dal").asDate(),
              Valore(QStringLiteral("SELECT DACOMINIRAPP FROM TACOM_COMPENSI WHERE IACOMID = %1").arg(acom)).toDate());
    // The whole contribution on the company: the due amount is the rate on
    // the taxable to cents, the relief a third of it in whole euros.
    for (const auto &[imponibile, aliquota, agevolazione] :
         QList<std::tuple<const char *, const char *, int>>{{"1000", "33.72", 112}, {"1000", "34.65", 116}}) {
        Totale(QStringLiteral("FVARRIMPONIBILE = %1, FVARRALIQUOTAAMM = %2, FVARRRITDIP = 0")
                   .arg(QLatin1String(imponibile), QLatin1String(aliquota)));
        ASSERT_EQ(Scrivi(), 1);
        EXPECT_EQ(Campo("TipoRapporto") + "/" + Campo("CodiceAttivita") + "/" + Campo("TipoAgevolazione"), "11/19/04");
        EXPECT_EQ(imp.cdsColl.fieldByName("ImpAgevolazione").asCurrency(), Currency::fromInt(agevolazione));
    }
}

TEST_F(Collaboratori, TaxableInWholeEurosRateInHundredthsHalvesToEvenTheOtherCoverAsThreeDigits)
{
    const QList<std::tuple<int, const char *, const char *, int, int, const char *>> casi{
        {5, "1234.50", "33.725", 1235, 3372, "005"},
        {0, "1234.49", "33.735", 1234, 3374, ""},
        {12, "99.5", "24", 100, 2400, "012"},
        {5, "100", "0", 100, 0, ""}};
    for (const auto &[copass, imponibile, aliquota, euro, centesimi, altraAss] : casi) {
        SCOPED_TRACE(imponibile);
        Esegui(QStringLiteral("UPDATE TACOM_COMPENSI SET IACOMCOPASS = %1 WHERE IACOMID = :ACOM").arg(copass));
        Totale(QStringLiteral("FVARRIMPONIBILE = %1, FVARRALIQUOTAAMM = %2")
                   .arg(QLatin1String(imponibile), QLatin1String(aliquota)));
        ASSERT_EQ(Scrivi(), 1);
        EXPECT_EQ(imp.cdsColl.fieldByName("Imponibile").asCurrency(), Currency::fromInt(euro));
        EXPECT_EQ(imp.cdsColl.fieldByName("Aliquota").asInteger(), centesimi);
        EXPECT_EQ(Campo("AltraAss"), altraAss);
    }
}

TEST_F(Collaboratori, AMissingActivityCodeRollsThePersonBackWithItsMessage)
{
    for (const char *codice : {"'AB'", "'0'"}) {
        Esegui(QStringLiteral("UPDATE TCOAT_CODATTIVITA SET SCOATCODICE = %1 WHERE ICOATID = :COAT")
                   .arg(QLatin1String(codice)));
        notifica.messaggi.clear();
        ASSERT_TRUE(imp.Prepara());
        EXPECT_EQ(imp.Importa().falliti, 1);
        ASSERT_EQ(notifica.messaggi.size(), 2);
        EXPECT_TRUE(notifica.messaggi.first().startsWith("Controllare i dati del dipendente:"));
        EXPECT_TRUE(notifica.messaggi.first().contains(TZepImpCollaboratori::MsgCodiceAttivita));
        DataSet ds;
        Archiviata(ds, TZepCollaboratore::Tabella);
        EXPECT_TRUE(ds.isEmpty());
    }
}

TEST_F(Collaboratori, TheDeclarantTakesTheMainSitesDataBeforeThePersons)
{
    EXPECT_EQ(TZepImpSostituto::RagioneSociale("Società Èlite 2 - Straße"), "SOCIET   LITE     STRA E");
    Parametro("SOSTITUTO", true);
    tdb.db().execute("UPDATE TSED_SEDI SET SSEDNOMLDESC = 'ACME S.R.L. & C.'");
    sedi.Requery();
    // A declarant already there keeps what the import does not write.
    DataSet d;
    Archiviata(d, TZepParametri::TabellaDichiarante);
    d.append();
    d.setFieldValue("CodiceINPDAP", "INPDAP1");
    d.post();
    store.SavePeriod(d, TZepParametri::TabellaDichiarante, 2024, 0);
    ASSERT_TRUE(imp.Prepara());
    EXPECT_EQ(imp.Importa().importati, 1);

    Archiviata(d, TZepParametri::TabellaDichiarante);
    ASSERT_EQ(d.recordCount(), 1);
    const QString cf = sedi.fieldValue("SSEDNOMCODICEFISC").toString();
    for (const auto &[campo, atteso] :
         QList<QPair<const char *, QString>>{{"CFMittente", cf},
                                             {"CFAzienda", cf},
                                             {"RagSocMittente", "ACME S R L    C "},
                                             {"RagSocAzienda", "ACME S R L    C "},
                                             {"CAP", sedi.fieldValue("SCAPVALUE").toString()},
                                             {"SedeINPS", "1300"},
                                             {"ISTAT", sedi.fieldValue("SPACOCODATECO2007").toString()},
                                             {"CodiceINPDAP", "INPDAP1"}})
        EXPECT_EQ(d.fieldByName(campo).asString(), atteso) << campo;
    Archiviata(d, TZepCollaboratore::Tabella);
    EXPECT_EQ(d.recordCount(), 1);

    // A province the offices' table lacks: the office the row holds stays
    // (the user's, a second import must not blank it), a new row gets none.
    // Without an ATECO 2007 code the older one.
    ScriviSediInps({{"7000", "RM"}});
    tdb.db().execute("UPDATE TPACO_PARAMCOMP SET SPACOCODATECO2007 = '', SPACOCODATECO = '900400'");
    sedi.Requery();
    imp.Importa();
    Archiviata(d, TZepParametri::TabellaDichiarante);
    EXPECT_EQ(d.fieldByName("SedeINPS").asString(), "1300");
    EXPECT_EQ(d.fieldByName("ISTAT").asString(), "900400");
    d.deleteRecord();
    store.SavePeriod(d, TZepParametri::TabellaDichiarante, 2024, 0);
    imp.cdsSostituto.close(); // read again, as a new run does
    imp.Importa();
    Archiviata(d, TZepParametri::TabellaDichiarante);
    ASSERT_EQ(d.recordCount(), 1);
    EXPECT_EQ(d.fieldByName("SedeINPS").asString(), "");
    EXPECT_EQ(d.fieldByName("CAP").asString(), sedi.fieldValue("SCAPVALUE").toString());

    // Without a site the run ends before any person.
    sedi.close();
    sedi.params().paramByName("IDWGID").setValue(999);
    sedi.Open();
    tdb.db().execute("DELETE FROM TFIS_DATIFISCALI");
    try {
        imp.Importa();
        ADD_FAILURE() << "the run went on";
    } catch (const EUqError &e) {
        EXPECT_EQ(e.message(), TZepImpSostituto::MsgSedeMancante);
    }
    Archiviata(d, TZepCollaboratore::Tabella);
    EXPECT_TRUE(d.isEmpty());
}
