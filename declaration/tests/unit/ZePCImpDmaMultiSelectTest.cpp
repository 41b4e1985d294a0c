// The public-sector import on the demo archive of March 2024 with its
// public-sector persons (DemoArchivePublic.h): the rows of the month and
// their amounts against the archive's, the messages that end a person, the
// replace choices, a person failing after its rows were written, and the
// launcher's and wizard's rules.
#include "ZePCImpDmaMultiSelect.h"
#include "ZepCDmaImpContesto.h"
#include "ZepCDmaImpIscritto.h"
#include "ZepCDmaImpMese.h"
#include "ZepCDma.h"
#include "ZepUDmaUtil.h"
#include "ZepCWizDmaImp.h"
#include "zepCDmaImporta.h"

#include "DemoArchivePublic.h"
#include "ZepImportDemoSupport.h"
#include "tovUExceptions.h"
#include "wunUCalcoliAnno.h"

#include "Currency.h"
#include "Exceptions.h"

using platform::Currency;
using platform::DataSet;
using platform::Value;
using P = payroll::DemoArchivePublic;

namespace {

class DmaImport : public ::testing::Test {
protected:
    static void Demo(platform::Database &db)
    {
        payroll::DemoArchiveOptions o;
        o.persons = P::FirstPerson + P::Count;
        o.fromYear = 2023;
        o.fromMonth = 12;
        o.toYear = 2024;
        o.toMonth = 3;
        payroll::DemoArchive::fill(db, o);
    }
    DmaImport() : tdb(TempDatabase::Template{payroll::ArchiveScripts::all(), "DmaImport", Demo})
    {
        platform::Database::setGlobal(&tdb.db());
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        TTovDBCdsLayouts::Install(tdb.db(), TTovDBCdsLayouts::ReadFolder(CartellaLayoutDenunce()));
        store.SetConnection(&tdb.db());
        store.SetProgram("zep");
        store.SetYear(2024);
        store.SetMonth(3);
        wunAnnoFinanziario().LoadYear("2024");
        TWunCalcolaAnno::CreaPerAnno(2024);
        params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);
        launcher.SetStore(&store);
        launcher.SetCartellaParametri(cartella.path());
        launcher.PreparaParametri(2024, 3);
    }
    ~DmaImport() override
    {
        TWunCalcolaAnno::Rilascia();
        platform::Database::setGlobal(nullptr);
    }
    void Parametro(const char *campo, const Value &valore)
    {
        DataSet &p = launcher.cdsParametri;
        p.edit();
        p.setFieldValue(QLatin1String(campo), valore);
        p.post();
    }
    // A run over every candidate of the legal position.
    TwunFiscImpMultiSelect::Esito Importa(int tno, int modo = TwunFiscImpMultiSelect::SovrascriviSempre,
                                          TZepDmaImpMultiSelect *imp = nullptr)
    {
        Parametro("ITNOID", tno);
        TZepDmaImpMultiSelect proprio(store);
        if (!imp)
            imp = &proprio;
        imp->SetNotifica(&notifica);
        imp->Modo = modo;
        imp->Imposta(&launcher.cdsParametri, nullptr, {});
        if (!imp->Prepara())
            return {};
        info = imp->Info.Messages();
        const auto esito = imp->Importa();
        info = imp->Info.Messages();
        return esito;
    }
    Value Valore(const QString &sql)
    {
        platform::SqlQuery q(tdb.db());
        q.setSql(sql);
        q.open();
        return q.eof() ? Value::null() : q.value(0);
    }
    // The fiscal code and the compensation of 2024 of a demo person (from 0).
    QString Cf(int persona)
    {
        return Valore(QStringLiteral("SELECT ANA.SANACODFISCALE FROM TANA_ANAGRAFICHE ANA JOIN TANACAG_MATRICOLE "
                                     "C ON C.IANAID = ANA.IANAID WHERE C.SANACAGCODE = '%1'")
                          .arg(persona + 1))
            .toString();
    }
    int Acom(int persona)
    {
        return Valore(QStringLiteral("SELECT ACOM.IACOMID FROM TACOM_COMPENSI ACOM JOIN TANAPER_POSIZIONI P ON "
                                     "P.IANAPERID = ACOM.IANAPERID JOIN TANACAG_MATRICOLE C ON C.IANACAGID = "
                                     "P.IANACAGID WHERE C.SANACAGCODE = '%1' AND ACOM.IANFID = 55")
                          .arg(persona + 1))
            .toInt();
    }
    // The month's taxable (employee share) of a retention in the archive:
    // the salary registers' totals and the accessory pay (which carries
    // pension and credit only).
    Currency Imponibile(const QString &cf, int ritenuta, const char *colonna = "FVARRIMPONIBILEDIP")
    {
        const int accessori = ritenuta == 5 ? 0 : 2;
        const QString acom = QStringLiteral("(SELECT ACOM.IACOMID FROM TACOM_COMPENSI ACOM JOIN TANAPER_POSIZIONI P "
                                            "ON P.IANAPERID = ACOM.IANAPERID JOIN TANACAG_MATRICOLE C ON "
                                            "C.IANACAGID = P.IANACAGID JOIN TANA_ANAGRAFICHE A ON A.IANAID = C.IANAID "
                                            "WHERE A.SANACODFISCALE = '%1' AND ACOM.IANFID = 55)")
                                 .arg(cf);
        return Valore(QStringLiteral("SELECT COALESCE(SUM(V.%1), 0) FROM TVARR_VARRITENUTE V WHERE V.IRICEID = %2 "
                                     "AND ((V.IVACRID IS NULL AND V.IREGSID IN (SELECT R.IREGSID FROM "
                                     "TREGS_REGISTROSTIP R WHERE R.IMESID = 3 AND R.ICOTID = 1 AND R.IACOMID IN %3)) "
                                     "OR (V.ICOMRID IS NOT NULL AND V.IVARMID IN (SELECT M.IVARMID FROM "
                                     "TVARM_VARIAZIONI M WHERE M.IMESID = 3 AND M.ICOTID = %4 AND M.IACOMID IN %3)))")
                          .arg(QLatin1String(colonna))
                          .arg(ritenuta)
                          .arg(acom)
                          .arg(accessori))
            .toCurrency();
    }
    void Tabella(DataSet &ds, const QString &nome) { store.LoadPeriod(ds, nome, 2024, 3); }
    // The E0 rows of a person, or the sum of a field over them.
    Currency SommaE0(const QString &cf, const QString &campo)
    {
        DataSet e0;
        Tabella(e0, TZepDma::TabellaE0);
        Currency s;
        for (e0.first(); !e0.eof(); e0.next())
            if (e0.fieldByName("SE0CODFIS").asString() == cf)
                s += e0.fieldByName(campo).asCurrency();
        return s;
    }
    // The same over the E0 rows and the V1 rows of earlier periods.
    Currency SommaE0V1(const QString &cf, const QString &campo)
    {
        DataSet v1;
        Tabella(v1, TZepDma::TabellaV1);
        Currency s = SommaE0(cf, campo);
        for (v1.first(); !v1.eof(); v1.next())
            if (v1.fieldByName("SV1CODFIS").asString() == cf)
                s += v1.fieldByName(TDmaUtil::NomeCampo(campo, "V1")).asCurrency();
        return s;
    }
    int Righe(const QString &tabella, const QString &campo, const QString &cf)
    {
        DataSet ds;
        Tabella(ds, tabella);
        int n = 0;
        for (ds.first(); !ds.eof(); ds.next())
            n += ds.fieldByName(campo).asString() == cf ? 1 : 0;
        return n;
    }

    RecordingServicesScope services;
    TempDatabase tdb;
    TTovDBCds store;
    TdmWunParams params;
    QTemporaryDir cartella;
    TZepDmaImporta launcher;
    imptest::Notifica notifica;
    QStringList info;
};

// A person that fails the given way once its first row is written.
class Guasto : public TZepDmaImpMultiSelect {
public:
    using TZepDmaImpMultiSelect::TZepDmaImpMultiSelect;
    QString cf;
    void SalvaTabella(DataSet &ds) override
    {
        TZepDmaImpMultiSelect::SalvaTabella(ds);
        ZEP_ASSERT(CodiceFiscale() != cf, QStringLiteral("guasto di prova"));
    }
};

} // namespace

TEST_F(DmaImport, TheMonthOfThePermanentStaffMatchesTheArchive)
{
    const auto esito = Importa(1);
    ASSERT_GE(esito.importati, 4) << notifica.messaggi.join('\n').toStdString();
    EXPECT_EQ(esito.falliti, 0) << notifica.messaggi.join('\n').toStdString();
    // Only the fund rows of the person whose contributions end in the
    // month (DemoArchiveDma) ask for the reason.
    EXPECT_EQ(info.filter(" - ").join('\n').toStdString(),
              " - Impostare il motivo di sospensione (E1-10) o il tipo di cessazione (E1-11)");
    DataSet d0, e0;
    Tabella(d0, TZepDma::TabellaD0);
    Tabella(e0, TZepDma::TabellaE0);
    EXPECT_EQ(d0.recordCount(), esito.importati);
    for (d0.first(); !d0.eof(); d0.next()) {
        const QString cf = d0.fieldByName(TZepDma::CampoCodiceFiscale).asString();
        SCOPED_TRACE(cf.toStdString());
        EXPECT_EQ(d0.fieldByName("SD0AMESE").asString(), "03");
        EXPECT_EQ(SommaE0V1(cf, "VP_E0XXX032_IMPPENS"), Imponibile(cf, 2));
        EXPECT_EQ(SommaE0V1(cf, "VP_E0XXXA37_IMPTFR"), Imponibile(cf, 5, "FVARRIMPONIBILEAMM"));
        EXPECT_EQ(SommaE0V1(cf, "VP_E0XXX039_IMPCREDITO"), Imponibile(cf, 6));
    }
    for (e0.first(); !e0.eof(); e0.next()) {
        EXPECT_EQ(e0.fieldByName("VP_E0XXX044_UTILETFR").asCurrency(),
                  TTovCalcola::PercentualeArrotondata(2, e0.fieldByName("VP_E0XXXA37_IMPTFR").asCurrency(),
                                                      Currency::fromInt(125)));
        EXPECT_EQ(e0.fieldByName("IAFIID").asInteger() > 0, true);
    }
    // The persons made for the branches of the D0 and E0 rows.
    const QString accessori = Cf(P::FirstPerson + P::Accessori);
    ASSERT_TRUE(d0.locate(TZepDma::CampoCodiceFiscale, accessori));
    EXPECT_EQ(d0.fieldByName("AN_D0001011_TEL").asString(), "390612345");
    EXPECT_EQ(SommaE0(accessori, "VP_E0XXX034_CONECC"),
              TTovCalcola::PercentualeArrotondata(2, SommaE0(accessori, "VP_E0XXX032_IMPPENS"), Currency::fromInt(1)));
    EXPECT_GT(Imponibile(accessori, 2),
              Valore(QStringLiteral("SELECT SUM(V.FVARRIMPONIBILEDIP) FROM TVARR_VARRITENUTE V "
                                    "JOIN TREGS_REGISTROSTIP R ON R.IREGSID = V.IREGSID "
                                    "WHERE V.IVACRID IS NULL AND V.IRICEID = 2 AND R.IMESID = "
                                    "3 AND R.ICOTID = 1 AND R.IACOMID = %1")
                         .arg(Acom(P::FirstPerson + P::Accessori)))
                  .toCurrency())
        << "the accessory pay is in the month's row";
    ASSERT_TRUE(d0.locate(TZepDma::CampoCodiceFiscale, Cf(P::FirstPerson + P::NatoAllEstero)));
    EXPECT_FALSE(d0.fieldByName("6A_COMNAS").asString().isEmpty());
    EXPECT_EQ(d0.fieldByName("6A_COMNAS").asString(),
              Valore(QStringLiteral("SELECT S.SSTALDESC FROM TSTA_STATI S JOIN TANA_ANAGRAFICHE A ON "
                                    "A.IANASTANASCITA = S.ISTAID WHERE A.SANACODFISCALE = '%1'")
                         .arg(Cf(P::FirstPerson + P::NatoAllEstero)))
                  .toString());
    ASSERT_TRUE(e0.locate("SE0CODFIS", Cf(P::FirstPerson + P::PartTime)));
    EXPECT_EQ(e0.fieldByName("OrarioIntero").asInteger(), 36);
    EXPECT_GT(e0.fieldByName("N2_E0XXX059_ORARID").asInteger(), 0);
    EXPECT_LT(e0.fieldByName("VP_E0XXX043_RETRTFR").asCurrency(), e0.fieldByName("StipendioTabellare").asCurrency());
}

// Persons the import does not take, and the check-list line of a missing
// employer rate: each legal position of the demo's persons made for them.
TEST_F(DmaImport, PersonsEndedWithAMessageAndTheDefaultEmployerRate)
{
    struct Caso {
        int tno, persona;
        QString messaggio; // of the person ended; empty: imported
    };
    const QList<Caso> casi{{11, P::PosizioneDaVerificare, TZepDmaImpIscritto::MsgPosizioneGiuridica},
                           {2, P::SoloFondoPensione, TZepDmaImpIscritto::MsgNessunDatoRilevante},
                           {P::TnoSenzaAliquotaAmm, P::SenzaAliquotaAmm, {}}};
    for (const Caso &c : casi) {
        SCOPED_TRACE(c.tno);
        notifica.messaggi.clear();
        Importa(c.tno);
        const QString cf = Cf(P::FirstPerson + c.persona);
        const QString tutti = notifica.messaggi.join('\n');
        if (!c.messaggio.isEmpty()) {
            EXPECT_TRUE(tutti.contains(c.messaggio)) << tutti.toStdString();
        }
        EXPECT_EQ(Righe(TZepDma::TabellaD0, TZepDma::CampoCodiceFiscale, cf), c.messaggio.isEmpty() ? 1 : 0);
    }
    // No employer rate: the employer's share at 24.2 per cent, said so.
    const QString cf = Cf(P::FirstPerson + P::SenzaAliquotaAmm);
    const Currency imponibile = SommaE0(cf, "VP_E0XXX032_IMPPENS");
    ASSERT_GT(imponibile, Currency());
    EXPECT_EQ(SommaE0(cf, "VP_E0XXX033_CONPENS"),
              Imponibile(cf, 2, "FVARRRITDIP")
                  + TTovCalcola::PercentualeArrotondata(2, imponibile, TZepDmaImpContesto::AliquotaAmmPredefinita));
    EXPECT_TRUE(info.join('\n').contains(TZepDmaImpContesto::MsgAliquotaDefault)) << info.join('\n').toStdString();
}

TEST_F(DmaImport, ReplaceChoicesAndSentDeclarations)
{
    const int importati = Importa(1).importati;
    DataSet e0;
    Tabella(e0, TZepDma::TabellaE0);
    const int righe = e0.recordCount();
    ASSERT_GT(righe, 0);
    // "Non sovrascrivere", and "Chiedi conferma" answered No: nothing changes.
    for (int modo : {int(TwunFiscImpMultiSelect::NonSovrascrivere), int(TwunFiscImpMultiSelect::ChiediConferma)}) {
        const auto esito = Importa(1, modo);
        EXPECT_EQ(esito.saltati, importati);
        EXPECT_EQ(Righe(TZepDma::TabellaE0, "SE0AMESE", "03"), righe);
    }
    EXPECT_TRUE(notifica.domande.value(0).endsWith(TwunFiscImpMultiSelect::MsgGiaPresente));
    // A sent declaration: skipped under every choice, with a line in the check list.
    DataSet d0;
    Tabella(d0, TZepDma::TabellaD0);
    d0.first();
    const QString inviato = d0.fieldByName(TZepDma::CampoCodiceFiscale).asString();
    d0.edit();
    d0.setFieldValue(TZepDma::CampoStato, 2);
    d0.post();
    store.Save(d0, TZepDma::TabellaD0);
    const int righeInviato = Righe(TZepDma::TabellaE0, "SE0CODFIS", inviato);
    // "Aggiungi": the D0 rows kept, the month's rows added with new ORDINE values.
    const auto esito = Importa(1, TZepDmaImpMultiSelect::Aggiungi);
    EXPECT_EQ(esito.importati, importati - 1);
    EXPECT_TRUE(info.join('\n').contains(TZepDmaImpMultiSelect::MsgBloccato)) << info.join('\n').toStdString();
    EXPECT_EQ(Righe(TZepDma::TabellaD0, "SD0AMESE", "03"), importati);
    EXPECT_EQ(Righe(TZepDma::TabellaE0, "SE0CODFIS", inviato), righeInviato);
    Tabella(e0, TZepDma::TabellaE0);
    EXPECT_EQ(e0.recordCount(), 2 * righe - righeInviato);
    QSet<int> ordini;
    for (e0.first(); !e0.eof(); e0.next())
        ordini << e0.fieldByName("ORDINE").asInteger();
    EXPECT_EQ(ordini.size(), e0.recordCount());
}

// Three reruns with "Sovrascrivi sempre": each person keeps its one D0 row
// and registry row, which its section rows name, and the paying entities of
// its replaced rows go with them.
TEST_F(DmaImport, ThreeRerunsKeepOneRegistryRowAPerson)
{
    QStringList iscritti;
    for (int volta = 1; volta <= 3; ++volta) {
        SCOPED_TRACE(volta);
        const int importati = Importa(1).importati;
        ASSERT_GE(importati, 4);
        EXPECT_EQ(Valore("SELECT COUNT(*) FROM TAFI_ANAFISCALE AFI JOIN TCRF_CROFISCALE CRF ON CRF.ICRFID = "
                         "AFI.ICRFID WHERE CRF.ICRFANNO = 2024 AND CRF.ICRFMESE = 3")
                      .toInt(),
                  importati);
        DataSet d0, e0, versanti;
        Tabella(d0, TZepDma::TabellaD0);
        Tabella(e0, TZepDma::TabellaE0);
        Tabella(versanti, TZepDma::TabellaEvE0);
        EXPECT_EQ(versanti.recordCount(), 0);
        QStringList ids;
        for (d0.first(); !d0.eof(); d0.next())
            ids << d0.fieldByName(TZepDma::CampoIscritto).asString();
        ids.sort();
        if (volta == 1)
            iscritti = ids;
        EXPECT_EQ(ids.join(' ').toStdString(), iscritti.join(' ').toStdString());
        for (e0.first(); !e0.eof(); e0.next())
            EXPECT_TRUE(ids.contains(e0.fieldByName(TZepDma::CampoIscritto).asString()));
        // A paying entity typed on the first E0 row, for the next run to replace.
        e0.first();
        versanti.append();
        versanti.setFieldValue(TZepDma::CampoIscritto, e0.fieldValue(TZepDma::CampoIscritto));
        versanti.setFieldValue(TZepDma::CampoOrdine, e0.fieldValue(TZepDma::CampoOrdine));
        versanti.setFieldValue("SEVMESE", "03");
        versanti.post();
        store.Save(versanti, TZepDma::TabellaEvE0);
    }
}

// A fiscal code corrected in the payroll: the person's rows under the old
// code are its rows, which the replace choice applies to ("Chiedi conferma"
// naming both codes), and "Aggiungi" carries over to the new code.
TEST_F(DmaImport, AFiscalCodeCorrectedInThePayrollIsThePersonsRows)
{
    const int importati = Importa(1).importati;
    const QString vecchio = Cf(P::FirstPerson + P::Accessori);
    const int iscritto = Valore(QStringLiteral("SELECT AFI.IAFIID FROM TAFI_ANAFISCALE AFI WHERE "
                                               "AFI.SAFICODFISCALE = '%1'")
                                    .arg(vecchio))
                             .toInt();
    const int righe = Righe(TZepDma::TabellaE0, "SE0CODFIS", vecchio);
    ASSERT_GT(righe, 0);
    const QString nuovo = imptest::CorreggiCodiceFiscale(tdb.db(), vecchio);
    const auto codici = [&] {
        return QStringLiteral("%1 %2 / %3 %4")
            .arg(Righe(TZepDma::TabellaD0, TZepDma::CampoCodiceFiscale, vecchio))
            .arg(Righe(TZepDma::TabellaE0, "SE0CODFIS", vecchio))
            .arg(Righe(TZepDma::TabellaD0, TZepDma::CampoCodiceFiscale, nuovo))
            .arg(Righe(TZepDma::TabellaE0, "SE0CODFIS", nuovo))
            .toStdString();
    };
    EXPECT_EQ(Importa(1, TwunFiscImpMultiSelect::NonSovrascrivere).saltati, importati);
    EXPECT_EQ(codici(), QStringLiteral("1 %1 / 0 0").arg(righe).toStdString());

    notifica.risposte = QList<bool>(importati, true);
    EXPECT_EQ(Importa(1, TwunFiscImpMultiSelect::ChiediConferma).importati, importati);
    const QStringList domande = notifica.domande.filter(vecchio);
    ASSERT_EQ(domande.size(), 1);
    EXPECT_TRUE(domande.first().contains(nuovo)) << domande.first().toStdString();
    EXPECT_EQ(codici(), QStringLiteral("0 0 / 1 %1").arg(righe).toStdString());
    EXPECT_EQ(Righe(TZepDma::TabellaD0, "SD0AMESE", "03"), importati);
    EXPECT_EQ(
        Valore(QStringLiteral("SELECT AFI.SAFICODFISCALE FROM TAFI_ANAFISCALE AFI WHERE AFI.IAFIID = %1").arg(iscritto))
            .toString()
            .toStdString(),
        nuovo.toStdString());

    const QString terzo = imptest::CorreggiCodiceFiscale(tdb.db(), nuovo);
    Importa(1, TZepDmaImpMultiSelect::Aggiungi);
    EXPECT_EQ(Righe(TZepDma::TabellaD0, TZepDma::CampoCodiceFiscale, terzo), 1);
    EXPECT_EQ(Righe(TZepDma::TabellaE0, "SE0CODFIS", terzo), 2 * righe);
    EXPECT_EQ(Righe(TZepDma::TabellaE0, "SE0CODFIS", nuovo), 0);
}

// A person ended by a warning or an assertion after some of its rows were
// written leaves none of them, and the persons after it are whole.
TEST_F(DmaImport, APersonEndedAfterItsFirstRowsLeavesNothing)
{
    const QString partTime = Cf(P::FirstPerson + P::PartTime);
    const QString accessori = Cf(P::FirstPerson + P::Accessori);
    tdb.db().execute(QStringLiteral("UPDATE TACOM_COMPENSI SET IACOMOREPREVISTE = 0 WHERE IACOMID = %1")
                         .arg(Acom(P::FirstPerson + P::PartTime)));
    Guasto guasto(store);
    guasto.cf = accessori;
    const auto esito = Importa(1, TwunFiscImpMultiSelect::SovrascriviSempre, &guasto);
    EXPECT_EQ(esito.falliti, 2);
    const QString tutti = notifica.messaggi.join('\n');
    EXPECT_TRUE(tutti.contains(TZepDmaImpMese::MsgOrarioIntero)) << tutti.toStdString();
    EXPECT_TRUE(tutti.contains("guasto di prova")) << tutti.toStdString();
    EXPECT_TRUE(tutti.contains(TwunFiscImpMultiSelect::MsgControllareDati));
    for (const QString &cf : {partTime, accessori}) {
        EXPECT_EQ(Righe(TZepDma::TabellaD0, TZepDma::CampoCodiceFiscale, cf), 0);
        EXPECT_EQ(Righe(TZepDma::TabellaE0, "SE0CODFIS", cf), 0);
    }
    DataSet d0;
    Tabella(d0, TZepDma::TabellaD0);
    EXPECT_EQ(d0.recordCount(), esito.importati);
    for (d0.first(); !d0.eof(); d0.next())
        EXPECT_GT(Righe(TZepDma::TabellaE0, "SE0CODFIS", d0.fieldByName(TZepDma::CampoCodiceFiscale).asString()), 0);
}

// The start of service is the declaration's when it falls in the
// declaration's month of the declaration's year.
TEST_F(DmaImport, StartOfServiceInTheDeclarationMonthOnly)
{
    const QString cf = Cf(P::FirstPerson + P::NatoAllEstero);
    for (const auto &[inizio, atteso] :
         {std::pair{QDate(2024, 3, 5), QDate(2024, 3, 5)}, std::pair{QDate(2023, 3, 5), QDate()},
          std::pair{QDate(2024, 2, 5), QDate()}}) {
        SCOPED_TRACE(inizio.toString().toStdString());
        platform::SqlQuery q(tdb.db());
        q.setSql("UPDATE TACOM_COMPENSI SET DACOMINIRAPP = :D WHERE IACOMID = :A");
        q.bind("D", inizio).bind("A", Acom(P::FirstPerson + P::NatoAllEstero));
        q.execSQL();
        Importa(1);
        DataSet d0;
        Tabella(d0, TZepDma::TabellaD0);
        ASSERT_TRUE(d0.locate(TZepDma::CampoCodiceFiscale, cf));
        EXPECT_EQ(d0.fieldByName("DT_D0001014_DECGIU").asDate(), atteso);
    }
}

TEST_F(DmaImport, PayOfAnEarlierMonthAsV1Rows)
{
    Parametro("ImportaSuV1", true);
    Parametro("MESEV1", 2);
    const auto esito = Importa(1);
    ASSERT_GT(esito.importati, 0) << notifica.messaggi.join('\n').toStdString();
    DataSet v1;
    Tabella(v1, TZepDma::TabellaV1);
    ASSERT_GT(v1.recordCount(), 0);
    for (v1.first(); !v1.eof(); v1.next()) {
        EXPECT_EQ(v1.fieldByName("NP_V1XXX000_CAUSVAR").asString(), "5");
        EXPECT_EQ(v1.fieldByName("NP_V1XXX024_CODALI").asString(), "2");
        // February's pay, and for the person with pay of earlier periods
        // (DemoArchiveDma) also the rows of those periods.
        if (v1.fieldByName("SV1CODFIS").asString() != Cf(8))
            EXPECT_EQ(v1.fieldByName("DT_V1XXX001_DINIZIO").asDate().month(), 2);
        else
            EXPECT_LE(v1.fieldByName("DT_V1XXX001_DINIZIO").asDate(), QDate(2024, 2, 1));
    }
    EXPECT_EQ(Righe(TZepDma::TabellaE0, "SE0AMESE", "03"), 0);
}

// ---------------------------------------------------------------- launcher and wizard

TEST_F(DmaImport, ParametersDefaultsAndForcedValues)
{
    struct Caso {
        int mese;
        Value salvatoAnno; // ANNO_COMPENSI of the file (null: no file)
        Value meseV1;
    };
    for (const Caso &c : QList<Caso>{{3, Value::null(), 2}, {1, Value::null(), Value::null()}, {3, 2023, 12}}) {
        QFile::remove(launcher.FileParametri());
        if (!c.salvatoAnno.isNull()) {
            launcher.PreparaParametri(2024, c.mese);
            Parametro("ANNO_COMPENSI", c.salvatoAnno);
            Parametro("MESEV1", Value::null());
            Parametro("SOSTITUTO", true);
            TTovCds::SaveToFile(launcher.cdsParametri, launcher.FileParametri());
        }
        launcher.PreparaParametri(2024, c.mese);
        const DataSet &p = launcher.cdsParametri;
        EXPECT_EQ(p.fieldByName("ITNOID").asInteger(), 1);
        EXPECT_EQ(p.fieldByName("CAUSVAR").asInteger(), 5);
        EXPECT_FALSE(p.fieldByName("SOSTITUTO").asBoolean());
        EXPECT_EQ(p.fieldByName("IMESID").asInteger(), c.mese);
        EXPECT_EQ(p.fieldValue("MESEV1"), c.meseV1);
    }
}

// The year of an earlier-year V1 run is put back whatever happens; a later
// year is a message.
TEST_F(DmaImport, TheWorkingYearIsPutBackAfterAV1RunOfAnotherYear)
{
    launcher.SelezionaAnno = [](int anno) { wunAnnoFinanziario().LoadYear(QString::number(anno)); };
    struct Caso {
        int anno;
        bool importazioneGuasta;
        QString messaggio;
    };
    for (const Caso &c : QList<Caso>{{2023, false, {}}, {2023, true, "guasto"}, {2025, false, "successivo"}}) {
        SCOPED_TRACE(c.anno);
        int annoImportato = 0;
        launcher.EseguiWizard = [&](const QString &, DataSet &p, TUqQueryCollection &) {
            p.edit();
            p.setFieldValue("ImportaSuV1", true);
            p.setFieldValue("ANNO_COMPENSI", c.anno);
            p.setFieldValue("MESEV1", 11);
            p.post();
            return QStringLiteral("ok");
        };
        launcher.EseguiImportazione = [&](const QString &, DataSet &, TUqQueryCollection &) {
            annoImportato = wunAnnoFinanziario().Year();
            if (c.importazioneGuasta)
                throw EUqError("guasto");
        };
        QString messaggio;
        try {
            launcher.ImportaDma();
        } catch (const platform::Exception &e) {
            messaggio = e.message();
        }
        EXPECT_TRUE(c.messaggio.isEmpty() ? messaggio.isEmpty() : messaggio.contains(c.messaggio))
            << messaggio.toStdString();
        EXPECT_EQ(annoImportato, c.anno > 2024 ? 0 : c.anno);
        EXPECT_EQ(wunAnnoFinanziario().Year(), 2024);
    }
}

TEST_F(DmaImport, TheWizardsV1MonthsAndItsChecks)
{
    struct Caso {
        int mese;
        QString anno; // the V1 year chosen
        int mesiV1;
        QString rifiuto; // of the close with OK and V1 checked
    };
    for (const Caso &c : QList<Caso>{{1, "2024", 0, TZepWizDmaImp::MsgMeseObbligatorio},
                                     {3, "2024", 2, {}},
                                     {3, "2023", 12, {}},
                                     {3, {}, 12, TZepWizDmaImp::MsgAnnoObbligatorio}}) {
        SCOPED_TRACE(c.mese);
        launcher.PreparaParametri(2024, c.mese);
        TZepWizDmaImp wiz;
        wiz.Imposta(&launcher.cdsParametri, nullptr);
        wiz.AttivaPagina(TwunWizard::Pagina::MeseComp);
        EXPECT_EQ(wiz.Posizioni.value(wiz.PosizioneScelta).id, 1);
        int indice = -1;
        for (int i = 0; i < wiz.AnniV1.size(); ++i)
            if (wiz.AnniV1.at(i).text == c.anno)
                indice = i;
        wiz.ScegliAnnoV1(indice);
        EXPECT_EQ(wiz.MesiV1.size(), c.mesiV1);
        wiz.V1 = true;
        if (wiz.MeseV1Scelto < 0 && !wiz.MesiV1.isEmpty())
            wiz.MeseV1Scelto = 0;
        const int prima = services->messages().size();
        EXPECT_EQ(wiz.PuoChiudere(true), c.rifiuto.isEmpty());
        EXPECT_EQ(services->messageTexts().mid(prima).join('\n'), c.rifiuto);
        if (c.rifiuto.isEmpty()) {
            wiz.SalvaLiquidazioneCorrente();
            EXPECT_EQ(launcher.cdsParametri.fieldByName("ANNO_COMPENSI").asInteger(), c.anno.toInt());
            EXPECT_TRUE(launcher.cdsParametri.fieldByName("ImportaSuV1").asBoolean());
        }
    }
}

// Accessory pay of an earlier period goes to a V1 row of that period (its
// dates bound to the statement); the month's rows that the periods' rows
// overrun are said in the check list.
TEST_F(DmaImport, EarlierAccessoryPayAndNegativeRemainders)
{
    const int accessori = Acom(P::FirstPerson + P::Accessori);
    tdb.db().execute(QStringLiteral("UPDATE TVARM_VARIAZIONI SET DVARMDMADAL = '2024-01-01', DVARMDMAAL = "
                                    "'2024-01-31' WHERE ICOTID = 2 AND IMESID = 3 AND IACOMID = %1")
                         .arg(accessori));
    // A person of several pay periods whose register says less than its items.
    const int diviso = Valore("SELECT FIRST 1 R.IACOMID FROM TREGS_REGISTROSTIP R JOIN TACOM_COMPENSI A ON A.IACOMID = "
                              "R.IACOMID WHERE A.IDCTID = 2 AND A.ITNOID = 1 AND R.IMESID = 3 AND R.ICOTID = 1 AND "
                              "(SELECT COUNT(*) FROM TVAPE_PERIODI V WHERE V.IREGSID = R.IREGSID) > 1")
                           .toInt();
    ASSERT_GT(diviso, 0) << "the demo has no public-sector person with several periods: change the seed";
    tdb.db().execute(QStringLiteral("UPDATE TVARR_VARRITENUTE SET FVARRIMPONIBILEDIP = 1 WHERE IRICEID = 2 AND "
                                    "IVACRID IS NULL AND IREGSID IN (SELECT IREGSID FROM TREGS_REGISTROSTIP WHERE "
                                    "IMESID = 3 AND ICOTID = 1 AND IACOMID = %1)")
                         .arg(diviso));
    Importa(1);
    EXPECT_TRUE(info.join('\n').contains("residuo negativo")) << info.join('\n').toStdString();
    DataSet v1;
    Tabella(v1, TZepDma::TabellaV1);
    ASSERT_TRUE(v1.locate("SV1CODFIS", Cf(P::FirstPerson + P::Accessori)));
    EXPECT_EQ(v1.fieldByName("DT_V1XXX001_DINIZIO").asDate(), QDate(2024, 1, 1));
    EXPECT_EQ(v1.fieldByName("DT_V1XXX002_DFINE").asDate(), QDate(2024, 1, 31));
    EXPECT_GT(v1.fieldByName("VN_V1XXX032_IMPPENS").asCurrency(), Currency());
}
