// The earlier program's import of a month on the demo archive of its years
// (2005 to 2009): zepdb (March 2008) into the archive's store, zep (October
// 2006) into the files of its year folder; the rows an E-Mens declaration carries, the
// variations of the previous year, the refusal of open-ended contracts under
// contribution type "71", the collaborators' codes of each form, a failed
// person leaving nothing in the local files, and the E-Mens file written
// from what was imported.
#include "Emens/ZepCFile.h"
#include "ZepCCdsLocale.h"
#include "ZepCCompletaDemo.h"
#include "ZepCImpMultiSelect.h"
#include "ZepCParametri.h"
#include "DemoArchiveAnniPrecedenti.h"
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
            fallisce.clear(); // once
            throw EUqError(QStringLiteral("Scrittura rifiutata"));
        }
    }
};

class EMensImport : public ::testing::Test {
public:
    EMensImport(TZepDenuncia denuncia, int anno, int mese)
        : denuncia(denuncia), anno(anno), mese(mese), tdb(TempDatabase::Scripts{payroll::ArchiveScripts::all()})
    {
        payroll::DemoArchiveOptions o;
        o.persons = 30;
        // The earlier program's years, as its demo archive holds them.
        o.fromYear = payroll::DemoArchiveAnniPrecedenti::EarliestYear;
        o.fromMonth = 1;
        o.toYear = payroll::DemoArchive::FirstYear - 1;
        o.toMonth = 12;
        payroll::DemoArchive::fill(tdb.db(), o);
        platform::Database::setGlobal(&tdb.db());
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        const QList<TTovDBCdsLayout> layouts = TTovDBCdsLayouts::ReadFolder(CartellaLayoutDenunce());
        if (denuncia == TZepDenuncia::EMensLocale) {
            // The year folder with the empty tables, as its preparation makes it.
            const QString cartella = base + QStringLiteral("USR/ZEPDati/ZEP%1/").arg(anno);
            QDir().mkpath(cartella);
            for (const TTovDBCdsLayout &l : layouts) {
                QFile f(cartella + l.name + QStringLiteral(".CDS"));
                EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(l.schema) == l.schema.size());
            }
            store = std::make_unique<TZepCdsLocale>(base, QStringLiteral("USR/ZEPDati/ZEP"));
        } else {
            TTovDBCdsLayouts::Install(tdb.db(), layouts);
            auto db = std::make_unique<TTovDBCds>();
            db->SetConnection(&tdb.db());
            db->SetProgram(QStringLiteral("zep"));
            store = std::move(db);
        }
        store->SetYear(anno);
        store->SetMonth(mese);
        SetPeriodoDenuncia(QString::number(anno), QStringLiteral("%1").arg(mese, 2, 10, QLatin1Char('0')));
        wunAnnoFinanziario().LoadYear(QString::number(anno));
        TWunCalcolaAnno::CreaPerAnno(anno);
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
        parametri.appendRecord({mese, true, false, Matricola, Matricola, "A944", false, "00", false});
        TovQueryText().AssignCommand("QRY_SED", sedi, "EXECUTE");
        sedi.params().paramByName("IDWGID").setValue(1);
        sedi.Open();
        DataSet uffici;
        uffici.setFieldDefs({{"Codice", FieldType::String, 4}, {"PROVINCIA", FieldType::String, 2}});
        uffici.createDataSet();
        uffici.appendRecord({"1300", sedi.fieldValue("SPROSIGLA")});
        TTovCds::SaveToFile(uffici, fileSediInps);
        // Every prize of the month is pay of earlier years (kind 4).
        tdb.db().execute(QStringLiteral("UPDATE TVARM_VARIAZIONI SET IVARMRIRPID = 4 WHERE IMESID = %1").arg(mese));
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
    int Intero(const QString &sql)
    {
        platform::SqlQuery q(tdb.db());
        q.setSql(sql);
        q.open();
        return q.value(0).toInt();
    }
    // The lowest fiscal code of a permanent employee of the year (with
    // accessory pay in the month).
    QString PrimoDipendente(bool accessori = false)
    {
        platform::SqlQuery q(tdb.db());
        q.setSql(QStringLiteral("SELECT MIN(ANA.SANACODFISCALE) FROM TANA_ANAGRAFICHE ANA JOIN TANACAG_MATRICOLE M ON "
                                "M.IANAID = ANA.IANAID JOIN TANAPER_POSIZIONI P ON P.IANACAGID = M.IANACAGID JOIN "
                                "TACOM_COMPENSI ACOM ON ACOM.IANAPERID = P.IANAPERID WHERE ACOM.ITNOID = 1 AND "
                                "ACOM.IANFID = %1%2")
                     .arg(anno - 1969)
                     .arg(accessori ? QStringLiteral(" AND EXISTS (SELECT 1 FROM TVARM_VARIAZIONI X WHERE X.IACOMID = "
                                                     "ACOM.IACOMID AND X.IMESID = %1)")
                                          .arg(mese)
                                    : QString()));
        q.open();
        return q.value(0).toString();
    }
    // Every candidate of the month, or only the one of compensation `solo`.
    TwunFiscImpMultiSelect::Esito Importa(const QString &fallisce = {}, int solo = 0)
    {
        ImportaConGuasto imp(*store, denuncia, &tdb.db());
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
    void Tabella(DataSet &ds, const QString &tabella) { store->LoadPeriod(ds, tabella, anno, mese); }

    // The INPS taxable of the month (retention 3 full time, 13 part time)
    // of the person's item 10002 and of its accessory pay of kind 4.
    Currency Arretrati(const QString &codiceFiscale, const QString &qualifica2)
    {
        const int ricerca = qualifica2 == QLatin1String("F") ? 3 : 13;
        const QString persona = QStringLiteral("ACOM.IANFID = %1 AND ANA.SANACODFISCALE = '%2' AND VARR.IRICEID = %3")
                                    .arg(anno - 1969)
                                    .arg(codiceFiscale)
                                    .arg(ricerca);
        const QString da = QStringLiteral(" FROM TVARR_VARRITENUTE VARR JOIN %1 JOIN TACOM_COMPENSI ACOM ON "
                                          "ACOM.IACOMID = X.IACOMID JOIN TANAPER_POSIZIONI P ON P.IANAPERID = "
                                          "ACOM.IANAPERID JOIN TANACAG_MATRICOLE M ON M.IANACAGID = P.IANACAGID "
                                          "JOIN TANA_ANAGRAFICHE ANA ON ANA.IANAID = M.IANAID WHERE ");
        const QString somma = QStringLiteral(
            "SELECT CAST(COALESCE(SUM(CAST(VARR.FVARRIMPONIBILEAMM * VARR.FVARRPERCIMPAMM / 100 AS NUMERIC(18,2))), 0) "
            "AS NUMERIC(18,4))");
        platform::SqlQuery q(tdb.db());
        q.setSql(somma + da.arg("TREGS_REGISTROSTIP X ON X.IREGSID = VARR.IREGSID") + persona
                 + QStringLiteral(" AND VARR.ICOMRID = 10002 AND X.IMESID = %1").arg(mese));
        q.open();
        Currency totale = q.value(0).toCurrency();
        q.setSql(somma + da.arg("TVARM_VARIAZIONI X ON X.IVARMID = VARR.IVARMID") + persona
                 + QStringLiteral(" AND X.IVARMRIRPID = 4 AND X.IMESID = %1").arg(mese));
        q.open();
        return totale + q.value(0).toCurrency();
    }

    TZepDenuncia denuncia;
    int anno, mese;
    RecordingServicesScope services;
    TempDatabase tdb;
    QTemporaryDir cartella;
    QString base = cartella.path() + QLatin1Char('/');
    QString fileSediInps = base + TZepImpSostituto::TabellaSediInps;
    std::unique_ptr<ITovDBCds> store;
    TdmWunParams params;
    DataSet parametri;
    TUqQueryCollection sedi;
    imptest::Notifica notifica;

private:
    QString m_anno = AnnoDenuncia, m_mese = MeseDenuncia;
};

class EMensZepdb : public EMensImport {
protected:
    EMensZepdb() : EMensImport(TZepDenuncia::EMens, 2008, 3) {}
};

class EMensZep : public EMensImport {
protected:
    EMensZep() : EMensImport(TZepDenuncia::EMensLocale, 2006, 10) {}
};

// What both forms' employee rows carry, and what only zepdb's do.
void ControllaDipendenti(EMensImport &t, bool posizione)
{
    DataSet dip;
    t.Tabella(dip, TZepImpMultiSelect::TabellaDipendenti);
    ASSERT_GT(dip.recordCount(), 5);
    bool partTime = false, aumento = false;
    for (dip.first(); !dip.eof(); dip.next()) {
        const QString cf = dip.fieldByName("CFLavoratore").asString();
        const QString qualifica2 = dip.fieldByName("Qualifica2").asString();
        SCOPED_TRACE(cf.toStdString() + " " + qualifica2.toStdString());
        EXPECT_EQ(dip.fieldByName("CodiceContratto").asString(), "EP");
        EXPECT_EQ(dip.fieldByName("TipoLavoratore").asString(), "0");
        EXPECT_GT(dip.fieldByName("Imponibile").asCurrency(), Currency());
        EXPECT_GT(dip.fieldByName("GiorniRetribuiti").asInteger(), 0);
        for (const char *assente : {"Cittadinanza", "RegimePost95", "RispettoMinimale", "Contributo",
                                    "GiorniContribuiti", "OreContribuite", "GIORNI", "EsoneroIVSImporto"})
            EXPECT_TRUE(dip.fieldByName(assente).isNull()) << assente;
        for (const char *campo : {"OrarioContrattuale", "RetribTeorica"})
            EXPECT_EQ(!dip.fieldByName(campo).isNull(), posizione) << campo;
        // The variation of the previous year only when asked for.
        const Currency arretrati = t.Arretrati(cf, qualifica2);
        const bool varia = t.parametri.fieldByName("VarRetributive").asBoolean() && arretrati > Currency();
        aumento = aumento || varia;
        EXPECT_EQ(dip.fieldByName("AumentoImponibile").asCurrency(), varia ? arretrati : Currency());
        EXPECT_EQ(dip.fieldByName("Anno").isNull(), !varia);
        if (varia) {
            EXPECT_EQ(dip.fieldByName("Anno").asInteger(), t.anno - 1);
        }
        if (qualifica2 == "P") {
            partTime = true;
            EXPECT_GT(dip.fieldByName("SettimaneUtili").asInteger(), 0);
            EXPECT_EQ(!dip.fieldByName("PercPartTime").isNull(), posizione);
        }
    }
    EXPECT_TRUE(partTime);
    EXPECT_EQ(aumento, t.parametri.fieldByName("VarRetributive").asBoolean());
}

// The collaborator rows' relationship type and other cover.
QList<std::pair<QString, QString>> Collaboratori(EMensImport &t)
{
    DataSet coll;
    t.Tabella(coll, TZepImpMultiSelect::TabellaCollaboratori);
    QList<std::pair<QString, QString>> righe;
    for (coll.first(); !coll.eof(); coll.next())
        righe.append({coll.fieldByName("TipoRapporto").asString(), coll.fieldByName("AltraAss").asString()});
    return righe;
}

// The E-Mens file of what was imported: one DenunciaIndividuale per
// employee row, one Collaboratore per collaborator row.
void ScriviFile(EMensImport &t)
{
    TZepCompletaDemo(*t.store).Dichiarante();
    emens::TZepFile file(*t.store, t.denuncia == TZepDenuncia::EMensLocale);
    file.CaricaTabelle();
    file.NomeFile = t.base + emens::TZepFile::NomeFileDefault();
    file.GeneraDenunceRetributiveMensili();
    QFile f(file.NomeFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(&f));
    EXPECT_EQ(doc.elementsByTagName("DenunciaIndividuale").size(), file.cdsDip.recordCount());
    EXPECT_EQ(doc.elementsByTagName("Collaboratore").size(), file.cdsColl.recordCount());
    EXPECT_EQ(doc.elementsByTagName("RetribTeorica").isEmpty(), t.denuncia == TZepDenuncia::EMensLocale);
}

} // namespace

TEST_F(EMensZepdb, TheMonthsRowsWithAndWithoutTheVariationsOfThePreviousYearAndTheFile)
{
    for (const bool varia : {false, true}) {
        SCOPED_TRACE(varia ? "VarRetributive" : "senza VarRetributive");
        Parametro("VarRetributive", varia);
        const TwunFiscImpMultiSelect::Esito esito = Importa();
        EXPECT_EQ(esito.falliti, 0) << notifica.messaggi.join("\n").toStdString();
        ControllaDipendenti(*this, true);
    }
    ScriviFile(*this);
}

TEST_F(EMensZep, TheMonthsRowsInTheYearFolderWithoutPositionLeavesAndTheFile)
{
    Parametro("VarRetributive", true);
    const TwunFiscImpMultiSelect::Esito esito = Importa();
    EXPECT_EQ(esito.falliti, 0) << notifica.messaggi.join("\n").toStdString();
    ControllaDipendenti(*this, false);
    // The rows are in the year folder's file.
    DataSet file;
    TTovCds::LoadFromFile(file, base + QStringLiteral("USR/ZEPDati/ZEP2006/TEMD_DIPENDENTI.CDS"));
    DataSet dip;
    Tabella(dip, TZepImpMultiSelect::TabellaDipendenti);
    EXPECT_EQ(file.recordCount(), dip.recordCount());
    ScriviFile(*this);
}

TEST_F(EMensZepdb, ContributionType71RefusesOpenEndedContractsWithATaxableOnly)
{
    // One employee without any INPS taxable passes without a row.
    const QString cf = PrimoDipendente();
    const QString compensi = QStringLiteral(
        "SELECT ACOM.IACOMID FROM TACOM_COMPENSI ACOM JOIN TANAPER_POSIZIONI P ON P.IANAPERID = ACOM.IANAPERID JOIN "
        "TANACAG_MATRICOLE M ON M.IANACAGID = P.IANACAGID JOIN TANA_ANAGRAFICHE ANA ON ANA.IANAID = M.IANAID WHERE ");
    tdb.db().execute(QStringLiteral("UPDATE TVARR_VARRITENUTE SET FVARRIMPONIBILEAMM = 0 WHERE IRICEID IN (3, 13) AND "
                                    "(IREGSID IN (SELECT IREGSID FROM TREGS_REGISTROSTIP WHERE IACOMID IN (%1)) OR "
                                    "IVARMID IN (SELECT IVARMID FROM TVARM_VARIAZIONI WHERE IACOMID IN (%1)))")
                         .arg(compensi + QStringLiteral("ANA.SANACODFISCALE = '%1'").arg(cf)));
    Parametro("TipoContribuzione", "71");
    const TwunFiscImpMultiSelect::Esito esito = Importa();
    // Every other employee with a fiscal code has a contract of type 1 to 3.
    const int dipendenti = Intero(
        QStringLiteral("SELECT COUNT(DISTINCT R.IACOMID) FROM TREGS_REGISTROSTIP R JOIN TVARR_VARRITENUTE VARR ON "
                       "VARR.IREGSID = R.IREGSID WHERE R.IMESID = 3 AND VARR.IRICEID IN (3, 13) AND "
                       "VARR.FVARRIMPONIBILEAMM > 0 AND R.IACOMID IN (%1)")
            .arg(compensi
                 + QStringLiteral("ACOM.IANFID = 39 AND ACOM.ITNOID BETWEEN 1 AND 4 AND "
                                  "ANA.SANACODFISCALE > ''")));
    EXPECT_GT(dipendenti, 5);
    EXPECT_EQ(esito.falliti, dipendenti);
    EXPECT_EQ(notifica.messaggi.filter(TZepImpMultiSelect::MsgTempoIndeterminato).size(), dipendenti);
    DataSet dip;
    Tabella(dip, TZepImpMultiSelect::TabellaDipendenti);
    EXPECT_EQ(dip.recordCount(), 0);
    EXPECT_FALSE(Collaboratori(*this).isEmpty());
}

TEST_F(EMensZepdb, ActivityCode1IsRelationship1C)
{
    tdb.db().execute("UPDATE TACOM_COMPENSI SET ICOATID = 1 WHERE ITNOID = 11");
    Importa();
    const auto righe = Collaboratori(*this);
    ASSERT_FALSE(righe.isEmpty());
    for (const auto &[tipo, altraAss] : righe)
        EXPECT_EQ(tipo, "1C");
}

TEST_F(EMensZep, ActivityCode1IsRelationship01AndARateOf16PerCentIsAnotherCover)
{
    tdb.db().execute("UPDATE TACOM_COMPENSI SET ICOATID = 1 WHERE ITNOID = 11");
    Importa();
    for (const auto &[tipo, altraAss] : Collaboratori(*this)) {
        EXPECT_EQ(tipo, "01");
        EXPECT_EQ(altraAss, "");
    }
    tdb.db().execute("UPDATE TVARR_VARRITENUTE SET FVARRALIQUOTAAMM = 16 WHERE IRICEID = 3 AND IREGSID IN (SELECT "
                     "R.IREGSID FROM TREGS_REGISTROSTIP R WHERE R.ITNOID = 11)");
    Importa();
    const auto righe = Collaboratori(*this);
    ASSERT_FALSE(righe.isEmpty());
    for (const auto &[tipo, altraAss] : righe)
        EXPECT_EQ(altraAss, "002");
}

TEST_F(EMensZep, APersonFailingAfterItsFirstRowLeavesTheYearFolderAsBeforeThePerson)
{
    // The person's rows with their taxable, and how many rows in all.
    auto righe = [this](const QString &codiceFiscale) {
        DataSet dip;
        Tabella(dip, TZepImpMultiSelect::TabellaDipendenti);
        QStringList persona;
        for (dip.first(); !dip.eof(); dip.next())
            if (dip.fieldByName("CFLavoratore").asString() == codiceFiscale)
                persona << dip.fieldByName("Qualifica2").asString() + " " + dip.fieldByName("Imponibile").asString();
        return std::pair{persona.join(", ").toStdString(), dip.recordCount()};
    };
    // In the middle of the month's run (later persons rewrite the file) and
    // alone, replacing its rows of an earlier run (nothing rewrites it).
    // The person's accessory pay is added to its row after the row's first
    // save, which fails.
    const QString cf = PrimoDipendente(true);
    EXPECT_EQ(Importa(cf).falliti, 1);
    EXPECT_EQ(righe(cf).first, "");
    EXPECT_EQ(Importa().falliti, 0);
    const auto prima = righe(cf);
    ASSERT_NE(prima.first, "");
    const int compenso = Intero(QStringLiteral("SELECT MIN(ACOM.IACOMID) FROM TACOM_COMPENSI ACOM JOIN "
                                               "TANAPER_POSIZIONI P ON P.IANAPERID = ACOM.IANAPERID JOIN "
                                               "TANACAG_MATRICOLE M ON M.IANACAGID = P.IANACAGID JOIN TANA_ANAGRAFICHE "
                                               "ANA ON ANA.IANAID = M.IANAID WHERE ACOM.IANFID = 37 AND "
                                               "ANA.SANACODFISCALE = '%1'")
                                    .arg(cf));
    EXPECT_EQ(Importa(cf, compenso).falliti, 1);
    EXPECT_EQ(righe(cf), prima);
}
