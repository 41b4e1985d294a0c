// The earlier program's import of a month on the demo archive of its years
// (2005 to 2009), in both forms: zepdb (March 2008) into the archive's
// store, zep (October 2006) into the files of its year folder. The rows an
// E-Mens declaration carries, the variations of the previous year, the
// refusal of open-ended contracts under contribution type "71", the
// collaborators' codes of each form, a failed person leaving the tables as
// they were, and the E-Mens file written from what was imported.
#include "DemoArchiveAnniPrecedenti.h"
#include "Emens/ZepCFile.h"
#include "ZepCCdsLocale.h"
#include "ZepCCompletaDemo.h"
#include "ZepCImpMultiSelect.h"
#include "ZepImportDemoSupport.h"
#include "zepCImpSostituto.h"
#include "wunUCalcoliAnno.h"

#include <QDomDocument>
#include <QFile>

using platform::Currency;
using platform::DataSet;
using platform::FieldType;
using platform::Value;

namespace {

const QString Matricola = QStringLiteral("1234567890");
// From a row X with IACOMID to its compensation ACOM and person ANA.
const QString AllaPersona = QStringLiteral(
    " JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = X.IACOMID JOIN TANAPER_POSIZIONI P ON P.IANAPERID = ACOM.IANAPERID "
    "JOIN TANACAG_MATRICOLE M ON M.IANACAGID = P.IANACAGID JOIN TANA_ANAGRAFICHE ANA ON ANA.IANAID = M.IANAID ");

// `fallisce`: the fiscal code of a person whose first employee row is
// written and then refused, once, as a failing disk would refuse it.
class ImportaConGuasto : public TZepImpMultiSelect {
public:
    using TZepImpMultiSelect::TZepImpMultiSelect;
    QString fallisce;
    void SalvaTabella(DataSet &dataSet) override
    {
        TZepImpMultiSelect::SalvaTabella(dataSet);
        if (&dataSet == &cdsImport && !fallisce.isEmpty()
            && cdsImport.fieldByName(QStringLiteral("CFLavoratore")).asString() == fallisce) {
            fallisce.clear();
            throw EUqError(QStringLiteral("Scrittura rifiutata"));
        }
    }
};

struct Forma {
    TZepDenuncia denuncia;
    int anno, mese;
    const char *rapportoAttivita1; // TipoRapporto of activity code 1
    const char *altraAss16;        // AltraAss at a rate of 16 per cent
};

class EMensImport : public ::testing::TestWithParam<Forma> {
protected:
    static void Demo(platform::Database &db)
    {
        payroll::DemoArchiveOptions o;
        o.persons = 30;
        o.fromYear = payroll::DemoArchiveAnniPrecedenti::EarliestYear;
        o.fromMonth = 1;
        o.toYear = payroll::DemoArchive::FirstYear - 1;
        o.toMonth = 12;
        payroll::DemoArchive::fill(db, o);
    }
    EMensImport() : tdb(TempDatabase::Template{payroll::ArchiveScripts::all(), "EMensImport", Demo})
    {
        platform::Database::setGlobal(&tdb.db());
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        const QList<TTovDBCdsLayout> layouts = TTovDBCdsLayouts::ReadFolder(CartellaLayoutDenunce());
        if (locale) {
            // The year folder with the empty tables, as its preparation makes it.
            const QString anno = base + QStringLiteral("USR/ZEPDati/ZEP%1/").arg(f.anno);
            QDir().mkpath(anno);
            for (const TTovDBCdsLayout &l : layouts) {
                QFile file(anno + l.name + QStringLiteral(".CDS"));
                EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(l.schema) == l.schema.size());
            }
            store = std::make_unique<TZepCdsLocale>(base, QStringLiteral("USR/ZEPDati/ZEP"));
        } else {
            TTovDBCdsLayouts::Install(tdb.db(), layouts);
            auto db = std::make_unique<TTovDBCds>();
            db->SetConnection(&tdb.db());
            db->SetProgram(QStringLiteral("zep"));
            store = std::move(db);
        }
        store->SetYear(f.anno);
        store->SetMonth(f.mese);
        SetPeriodoDenuncia(QString::number(f.anno), QStringLiteral("%1").arg(f.mese, 2, 10, QLatin1Char('0')));
        wunAnnoFinanziario().LoadYear(QString::number(f.anno));
        TWunCalcolaAnno::CreaPerAnno(f.anno);
        params.DataModuleCreate();
        params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);
        parametri.setFieldDefs({{"IMESID", FieldType::Integer},
                                {"SOSTITUTO", FieldType::Boolean},
                                {"GIORNIINPS", FieldType::Boolean},
                                {"MatricolaINPS", FieldType::String, 10},
                                {"MatricolaINPSAcc", FieldType::String, 10},
                                {"ComuneLavoro", FieldType::String, 4},
                                {"PT_COME_INTERO", FieldType::Boolean},
                                {"TipoContribuzione", FieldType::String, 31},
                                {"VarRetributive", FieldType::Boolean}});
        parametri.createDataSet();
        parametri.appendRecord({f.mese, true, false, Matricola, Matricola, "A944", false, "00", false});
        TovQueryText().AssignCommand("QRY_SED", sedi, "EXECUTE");
        sedi.params().paramByName("IDWGID").setValue(1);
        sedi.Open();
        DataSet uffici;
        uffici.loadRecords({{"Codice", FieldType::String, 4}, {"PROVINCIA", FieldType::String, 2}},
                           {{"1300", sedi.fieldValue("SPROSIGLA")}});
        TTovCds::SaveToFile(uffici, fileSediInps);
        // Every prize of the month is pay of earlier years (kind 4).
        tdb.db().execute(QStringLiteral("UPDATE TVARM_VARIAZIONI SET IVARMRIRPID = 4 WHERE IMESID = %1").arg(f.mese));
    }
    ~EMensImport() override
    {
        TWunCalcolaAnno::Rilascia();
        SetPeriodoDenuncia(m_anno, m_mese);
        platform::Database::setGlobal(nullptr);
    }

    void Parametro(const QString &campo, const Value &valore)
    {
        parametri.edit();
        parametri.setFieldValue(campo, valore);
        parametri.post();
    }
    Value Valore(const QString &sql)
    {
        platform::SqlQuery q(tdb.db());
        q.setSql(sql);
        q.open();
        return q.value(0);
    }
    QString DellAnno() const { return QStringLiteral(" ACOM.IANFID = %1 ").arg(f.anno - 1969); }
    // The lowest fiscal code of a permanent employee (with accessory pay in
    // the month).
    QString PrimoDipendente(bool accessori = false)
    {
        return Valore("SELECT MIN(ANA.SANACODFISCALE) FROM TACOM_COMPENSI X" + AllaPersona + "WHERE" + DellAnno()
                      + "AND ACOM.ITNOID = 1"
                      + (accessori ? QStringLiteral(" AND EXISTS (SELECT 1 FROM TVARM_VARIAZIONI V WHERE V.IACOMID = "
                                                    "ACOM.IACOMID AND V.IMESID = %1)")
                                         .arg(f.mese)
                                   : QString()))
            .toString();
    }
    // Every candidate of the month, or only the one of compensation `solo`.
    TwunFiscImpMultiSelect::Esito Importa(const QString &fallisce = {}, int solo = 0)
    {
        ImportaConGuasto imp(*store, f.denuncia, &tdb.db());
        imp.fallisce = fallisce;
        imp.FileSediInps = fileSediInps;
        imp.SetNotifica(&notifica);
        imp.Sovrascrittura = TwunFiscImpMultiSelect::SovrascriviSempre;
        imp.Imposta(&parametri, &sedi, {});
        EXPECT_TRUE(imp.Prepara());
        QList<platform::Bookmark> scelti;
        if (solo) {
            EXPECT_TRUE(imp.xqcMultiSelect.locate(QStringLiteral("IACOMID"), Value(solo)));
            scelti << imp.xqcMultiSelect.bookmark();
        }
        return imp.Importa(scelti);
    }
    DataSet &Tabella(const QString &tabella)
    {
        store->LoadPeriod(tabella == TZepImpMultiSelect::TabellaDipendenti ? dip : coll, tabella, f.anno, f.mese);
        return tabella == TZepImpMultiSelect::TabellaDipendenti ? dip : coll;
    }
    // The month's INPS taxable (retention 3 full time, 13 part time) of the
    // person's item 10002 and accessory pay of kind 4.
    Currency Arretrati(const QString &codiceFiscale, const QString &qualifica2)
    {
        Currency totale;
        for (const char *da : {"TREGS_REGISTROSTIP X ON X.IREGSID = VARR.IREGSID AND VARR.ICOMRID = 10002",
                               "TVARM_VARIAZIONI X ON X.IVARMID = VARR.IVARMID AND X.IVARMRIRPID = 4"})
            totale += Valore(QStringLiteral("SELECT CAST(COALESCE(SUM(CAST(VARR.FVARRIMPONIBILEAMM * "
                                            "VARR.FVARRPERCIMPAMM / 100 AS NUMERIC(18,2))), 0) AS NUMERIC(18,4)) "
                                            "FROM TVARR_VARRITENUTE VARR JOIN %1")
                                 .arg(QLatin1String(da))
                             + AllaPersona + "WHERE" + DellAnno()
                             + QStringLiteral("AND ANA.SANACODFISCALE = '%1' AND VARR.IRICEID = %2 AND X.IMESID = %3")
                                   .arg(codiceFiscale)
                                   .arg(qualifica2 == QLatin1String("F") ? 3 : 13)
                                   .arg(f.mese))
                          .toCurrency();
        return totale;
    }

    const Forma f = GetParam();
    const bool locale = f.denuncia == TZepDenuncia::EMensLocale;
    RecordingServicesScope services;
    TempDatabase tdb;
    QTemporaryDir cartella;
    QString base = cartella.path() + QLatin1Char('/');
    QString fileSediInps = base + TZepImpSostituto::TabellaSediInps;
    std::unique_ptr<ITovDBCds> store;
    TdmWunParams params;
    DataSet parametri, dip, coll;
    TUqQueryCollection sedi;
    imptest::Notifica notifica;

private:
    QString m_anno = AnnoDenuncia, m_mese = MeseDenuncia;
};

} // namespace

TEST_P(EMensImport, TheMonthsRowsWithAndWithoutTheVariationsOfThePreviousYearAndTheFile)
{
    for (const bool varia : {false, true}) {
        SCOPED_TRACE(varia ? "VarRetributive" : "senza VarRetributive");
        Parametro("VarRetributive", varia);
        EXPECT_EQ(Importa().falliti, 0) << notifica.messaggi.join("\n").toStdString();
        Tabella(TZepImpMultiSelect::TabellaDipendenti);
        ASSERT_GT(dip.recordCount(), 5);
        bool partTime = false, aumento = false;
        for (dip.first(); !dip.eof(); dip.next()) {
            const QString cf = dip.fieldByName("CFLavoratore").asString();
            const QString qualifica2 = dip.fieldByName("Qualifica2").asString();
            SCOPED_TRACE(cf.toStdString() + " " + qualifica2.toStdString());
            EXPECT_EQ(dip.fieldByName("CodiceContratto").asString(), "EP");
            EXPECT_GT(dip.fieldByName("Imponibile").asCurrency(), Currency());
            EXPECT_GT(dip.fieldByName("GiorniRetribuiti").asInteger(), 0);
            for (const char *assente : {"Cittadinanza", "RegimePost95", "RispettoMinimale", "Contributo",
                                        "GiorniContribuiti", "OreContribuite", "GIORNI", "EsoneroIVSImporto"})
                EXPECT_TRUE(dip.fieldByName(assente).isNull()) << assente;
            // The position leaves of the database form only.
            for (const char *campo : {"OrarioContrattuale", "RetribTeorica"})
                EXPECT_EQ(dip.fieldByName(campo).isNull(), locale) << campo;
            const Currency arretrati = varia ? Arretrati(cf, qualifica2) : Currency();
            aumento = aumento || arretrati > Currency();
            EXPECT_EQ(dip.fieldByName("AumentoImponibile").asCurrency(), arretrati);
            EXPECT_EQ(dip.fieldByName("Anno").asInteger(), arretrati > Currency() ? f.anno - 1 : 0);
            if (qualifica2 == "P") {
                partTime = true;
                EXPECT_GT(dip.fieldByName("SettimaneUtili").asInteger(), 0);
                EXPECT_EQ(dip.fieldByName("PercPartTime").isNull(), locale);
            }
        }
        EXPECT_TRUE(partTime);
        EXPECT_EQ(aumento, varia);
    }
    // The E-Mens file of what was imported: one DenunciaIndividuale per
    // employee row, one Collaboratore per collaborator row.
    TZepCompletaDemo(*store).Dichiarante();
    emens::TZepFile file(*store, locale);
    file.CaricaTabelle();
    file.NomeFile = base + emens::TZepFile::NomeFileDefault();
    file.GeneraDenunceRetributiveMensili();
    QFile xml(file.NomeFile);
    QDomDocument doc;
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly) && doc.setContent(&xml));
    EXPECT_EQ(doc.elementsByTagName("DenunciaIndividuale").size(), file.cdsDip.recordCount());
    EXPECT_GT(doc.elementsByTagName("Collaboratore").size(), 0);
    EXPECT_EQ(doc.elementsByTagName("Collaboratore").size(), file.cdsColl.recordCount());
}

TEST_P(EMensImport, ContributionType71RefusesOpenEndedContractsWithATaxableOnly)
{
    // One employee without any INPS taxable passes without a row.
    const QString senza = PrimoDipendente();
    const QString suoi = "SELECT X.%1 FROM %2 X" + AllaPersona + "WHERE ANA.SANACODFISCALE = '" + senza + "'";
    tdb.db().execute("UPDATE TVARR_VARRITENUTE SET FVARRIMPONIBILEAMM = 0 WHERE IRICEID IN (3, 13) AND (IREGSID IN ("
                     + suoi.arg("IREGSID", "TREGS_REGISTROSTIP") + ") OR IVARMID IN ("
                     + suoi.arg("IVARMID", "TVARM_VARIAZIONI") + "))");
    Parametro("TipoContribuzione", "71");
    const TwunFiscImpMultiSelect::Esito esito = Importa();
    // Every other employee with a fiscal code has a contract of type 1 to 3.
    const int dipendenti =
        Valore("SELECT COUNT(DISTINCT X.IACOMID) FROM TREGS_REGISTROSTIP X JOIN TVARR_VARRITENUTE VARR ON "
               "VARR.IREGSID = X.IREGSID"
               + AllaPersona + "WHERE" + DellAnno()
               + QStringLiteral("AND X.IMESID = %1 AND ACOM.ITNOID BETWEEN 1 AND 4 AND VARR.IRICEID IN (3, 13) AND "
                                "VARR.FVARRIMPONIBILEAMM > 0 AND ANA.SANACODFISCALE > ''")
                     .arg(f.mese))
            .toInt();
    EXPECT_GT(dipendenti, 5);
    EXPECT_EQ(esito.falliti, dipendenti);
    // Each refusal names the type chosen in the wizard as its cause.
    const QString causa = QStringLiteral(
        " La causa è il tipo contribuzione \"71\" scelto in \"Importa dati per EMens\"");
    EXPECT_EQ(notifica.messaggi.filter(TwunFiscImpMultiSelect::MsgControllareDati)
                  .filter(TZepImpMultiSelect::MsgTempoIndeterminato + causa)
                  .size(),
              dipendenti);
    // and each is named again, with the reason, among those not imported.
    EXPECT_EQ(esito.nonImportati.filter(TZepImpMultiSelect::MsgTempoIndeterminato).size(), dipendenti);
    EXPECT_EQ(Tabella(TZepImpMultiSelect::TabellaDipendenti).recordCount(), 0);
    EXPECT_GT(Tabella(TZepImpMultiSelect::TabellaCollaboratori).recordCount(), 0);
}

TEST_P(EMensImport, TheCollaboratorsActivityCode1AndARateOf16PerCent)
{
    tdb.db().execute("UPDATE TACOM_COMPENSI SET ICOATID = 1 WHERE ITNOID = 11");
    tdb.db().execute("UPDATE TVARR_VARRITENUTE SET FVARRALIQUOTAAMM = 16 WHERE IRICEID = 3 AND IREGSID IN (SELECT "
                     "R.IREGSID FROM TREGS_REGISTROSTIP R WHERE R.ITNOID = 11)");
    Importa();
    Tabella(TZepImpMultiSelect::TabellaCollaboratori);
    ASSERT_GT(coll.recordCount(), 0);
    for (coll.first(); !coll.eof(); coll.next()) {
        EXPECT_EQ(coll.fieldByName("TipoRapporto").asString(), f.rapportoAttivita1);
        EXPECT_EQ(coll.fieldByName("AltraAss").asString(), f.altraAss16);
    }
}

TEST_P(EMensImport, APersonFailingAfterItsFirstRowLeavesTheTablesAsBeforeThePerson)
{
    // The person's rows with their taxable, and how many rows in all.
    auto righe = [this](const QString &codiceFiscale) {
        Tabella(TZepImpMultiSelect::TabellaDipendenti);
        QStringList persona;
        for (dip.first(); !dip.eof(); dip.next())
            if (dip.fieldByName("CFLavoratore").asString() == codiceFiscale)
                persona << dip.fieldByName("Qualifica2").asString() + " " + dip.fieldByName("Imponibile").asString();
        return std::pair{persona.join(", ").toStdString(), dip.recordCount()};
    };
    // The person's accessory pay is added to its row after the row's first
    // save, which fails: in the middle of the month's run (later persons
    // write the table again), and alone, replacing its rows of an earlier
    // run (nothing writes the table after it).
    const QString cf = PrimoDipendente(true);
    EXPECT_EQ(Importa(cf).falliti, 1);
    EXPECT_EQ(righe(cf).first, "");
    EXPECT_EQ(Importa().falliti, 0);
    const auto prima = righe(cf);
    ASSERT_NE(prima.first, "");
    const int compenso = Valore("SELECT MIN(X.IACOMID) FROM TACOM_COMPENSI X" + AllaPersona + "WHERE" + DellAnno()
                                + "AND ANA.SANACODFISCALE = '" + cf + "'")
                             .toInt();
    EXPECT_EQ(Importa(cf, compenso).falliti, 1);
    EXPECT_EQ(righe(cf), prima);
}

// A fiscal code corrected in the payroll: "Sovrascrivi sempre" replaces
// the person's rows under the old code, in the archive's store and in the
// year folder's files alike; the month keeps as many rows.
TEST_P(EMensImport, AFiscalCodeCorrectedInThePayrollReplacesThePersonsRows)
{
    EXPECT_EQ(Importa().falliti, 0) << notifica.messaggi.join("\n").toStdString();
    const int dipendenti = Tabella(TZepImpMultiSelect::TabellaDipendenti).recordCount();
    const int collaboratori = Tabella(TZepImpMultiSelect::TabellaCollaboratori).recordCount();
    for (const auto &[tabella, campo] : {std::pair{TZepImpMultiSelect::TabellaDipendenti, "CFLavoratore"},
                                         std::pair{TZepImpMultiSelect::TabellaCollaboratori, "CFCollaboratore"}}) {
        SCOPED_TRACE(campo);
        const auto suoi = [&](const QString &cf) {
            DataSet &ds = Tabella(tabella);
            int n = 0;
            for (ds.first(); !ds.eof(); ds.next())
                n += ds.fieldByName(campo).asString() == cf;
            return n;
        };
        DataSet &righe = Tabella(tabella);
        QString vecchio;
        for (righe.first(); !righe.eof() && vecchio.size() != 16; righe.next())
            vecchio = righe.fieldByName(campo).asString();
        ASSERT_EQ(vecchio.size(), 16);
        const int prima = suoi(vecchio);
        const QString nuovo = imptest::CorreggiCodiceFiscale(tdb.db(), vecchio);
        EXPECT_EQ(Importa().falliti, 0) << notifica.messaggi.join("\n").toStdString();
        EXPECT_EQ(suoi(vecchio), 0);
        EXPECT_EQ(suoi(nuovo), prima);
    }
    EXPECT_EQ(Tabella(TZepImpMultiSelect::TabellaDipendenti).recordCount(), dipendenti);
    EXPECT_EQ(Tabella(TZepImpMultiSelect::TabellaCollaboratori).recordCount(), collaboratori);
}

INSTANTIATE_TEST_SUITE_P(Forme, EMensImport,
                         ::testing::Values(Forma{TZepDenuncia::EMens, 2008, 3, "1C", ""},
                                           Forma{TZepDenuncia::EMensLocale, 2006, 10, "01", "002"}),
                         [](const auto &info) {
                             return std::string(info.param.denuncia == TZepDenuncia::EMens ? "zepdb" : "zep");
                         });
