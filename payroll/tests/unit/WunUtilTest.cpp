// The payroll utilities: numbers and folders, the settings file of the
// current liquidation, the lookups on a demo archive.
#include "PayrollTestSupport.h"
#include "WunUUtil.h"
#include "wunMParams.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "tovCQueryText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::Value;

namespace {

QByteArray readAll(const QString &file)
{
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    return f.readAll();
}

void writeAll(const QString &file, const QByteArray &data)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
    f.write(data);
}

} // namespace

TEST(WunUtilNumbers, NormalizzaNumeroGivesTheIntegerOrNothing)
{
    EXPECT_EQ(TWunUtil::NormalizzaNumero("007"), "7");
    EXPECT_EQ(TWunUtil::NormalizzaNumero("0"), "0");
    EXPECT_EQ(TWunUtil::NormalizzaNumero("-3"), "-3");
    EXPECT_EQ(TWunUtil::NormalizzaNumero(" 12 "), "12");
    EXPECT_EQ(TWunUtil::NormalizzaNumero("2147483647"), "2147483647");
    for (const char *bad : {"", " ", "abc", "12a", "1.5", "1 2", "0x1F", "2147483648", "99999999999"})
        EXPECT_EQ(TWunUtil::NormalizzaNumero(bad), QString()) << bad;
}

TEST(WunUtilNumbers, CodiceDaCodiceAnagraficoCopiesPositiveIntegerCodes)
{
    platform::DataSet ds;
    ds.addFieldDef("IANAID", platform::FieldType::Integer);
    ds.addFieldDef("IACOMID", platform::FieldType::Integer);
    ds.addFieldDef("SANACAGCODE", platform::FieldType::String, 20);
    ds.addFieldDef("CODICE", platform::FieldType::Integer);
    ds.createDataSet();
    ds.appendRecord({1, 30, "007", Value::null()});
    ds.appendRecord({2, 10, "abc", 99});
    ds.appendRecord({3, 20, "0", Value::null()});
    ds.appendRecord({4, 40, "-5", Value::null()});
    ds.appendRecord({5, 50, Value::null(), 5});
    ds.appendRecord({6, 5, " 123", Value::null()});

    TWunUtil::CodiceDaCodiceAnagrafico(ds);
    EXPECT_EQ(ds.indexFieldNames(), "IACOMID");
    QMap<int, Value> codes;
    QList<int> order;
    for (ds.first(); !ds.eof(); ds.next()) {
        codes[ds.fieldValue("IANAID").toInt()] = ds.fieldValue("CODICE");
        order << ds.fieldValue("IACOMID").toInt();
    }
    EXPECT_EQ(order, (QList<int>{5, 10, 20, 30, 40, 50}));
    EXPECT_EQ(codes[1], Value(7));
    EXPECT_EQ(codes[2], Value(99)) << "a code that is not a number leaves CODICE alone";
    EXPECT_TRUE(codes[3].isNull()) << "0 is not a code";
    EXPECT_TRUE(codes[4].isNull()) << "a negative number is not a code";
    EXPECT_EQ(codes[5], Value(5));
    EXPECT_EQ(codes[6], Value(123));
    EXPECT_EQ(ds.state(), platform::DataSetState::Browse);

    platform::DataSet noComp;
    noComp.addFieldDef("IANAID", platform::FieldType::Integer);
    noComp.addFieldDef("SANACAGCODE", platform::FieldType::String, 20);
    noComp.addFieldDef("CODICE", platform::FieldType::Integer);
    noComp.createDataSet();
    noComp.appendRecord({2, "12", Value::null()});
    noComp.appendRecord({1, "x", Value::null()});
    TWunUtil::CodiceDaCodiceAnagrafico(noComp);
    EXPECT_EQ(noComp.indexFieldNames(), "IANAID");
    noComp.first();
    EXPECT_TRUE(noComp.fieldValue("CODICE").isNull());
    noComp.next();
    EXPECT_EQ(noComp.fieldValue("CODICE"), Value(12));
}

TEST(WunUtilFolders, FoldersUnderTheProgramAreFoundWhateverTheirCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("bin")));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("ETC/Wun")));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("usr/WUN")));
    writeAll(dir.filePath("usr/WUN/wunpar.INI"), "x");

    TWunUtil::SetCartellaProgramma(dir.filePath("bin"));
    EXPECT_EQ(TWunUtil::CartellaEtc(), dir.filePath("ETC/Wun") + "/");
    EXPECT_EQ(TWunUtil::CartellaUsr(), dir.filePath("usr/WUN") + "/");
    EXPECT_EQ(TWunUtil::CercaPercorso(TWunUtil::CartellaUsr() + "WunPar.ini"), dir.filePath("usr/WUN/wunpar.INI"));
    // Windows-style separators; a missing part and what follows are kept as given.
    EXPECT_EQ(TWunUtil::CercaPercorso(QDir::toNativeSeparators(dir.path()) + "\\Usr\\wun\\Nuovo\\File.txt"),
              dir.filePath("usr/WUN/Nuovo/File.txt"));
    EXPECT_EQ(TWunUtil::CercaPercorso(dir.path() + "/etc/wun/"), dir.filePath("ETC/Wun") + "/");

    // Nothing there yet: the usual spelling.
    TWunUtil::SetCartellaProgramma(dir.filePath("altro/bin"));
    EXPECT_EQ(TWunUtil::CartellaUsr(), dir.filePath("altro/usr/wun") + "/");
    TWunUtil::SetCartellaProgramma(QString());
    EXPECT_EQ(TWunUtil::CartellaProgramma(), QCoreApplication::applicationDirPath());
}

// ---------------------------------------------------------------------------
// On a demo archive

class WunUtilOnDemo : public payrolltest::DemoArchiveSuite {
protected:
    QTemporaryDir dir;
};

TEST_F(WunUtilOnDemo, LiquidationSettingsArePerYear)
{
    TwunAnnoFinanziario year;
    year.Load(55);
    const QString folder = dir.filePath("usr/wun/nuova");
    TWunParametri settings(folder, &year);
    EXPECT_TRUE(QFileInfo(folder).isDir()) << "the folder is made with its parents";
    EXPECT_FALSE(QFileInfo::exists(settings.FileName())) << "the file waits for the first write";
    EXPECT_EQ(settings.Sezione(), "LIQ_CORRENTE2024");
    EXPECT_EQ(settings.Gruppo(), 0);

    settings.SetGruppo(2);
    settings.SetId(1);
    settings.SetMese(11);
    EXPECT_EQ(readAll(settings.FileName()), QByteArray("[LIQ_CORRENTE2024]\nGRUPPO=2\nID=1\nMESE=11\n"));
    EXPECT_EQ(settings.Gruppo(), 2);
    EXPECT_EQ(settings.Id(), 1);
    EXPECT_EQ(settings.Mese(), 11);

    year.Load(56);
    EXPECT_EQ(settings.Sezione(), "LIQ_CORRENTE2025");
    EXPECT_EQ(settings.Gruppo(), 0) << "settings of 2024 are not seen in 2025";
    EXPECT_EQ(settings.Id(), 0);
    settings.SetMese(3);
    year.Load(55);
    EXPECT_EQ(settings.Mese(), 11);

    // Another object on the same file sees every change at once.
    TWunParametri other(folder, &year);
    other.SetGruppo(7);
    EXPECT_EQ(settings.Gruppo(), 7);
}

TEST_F(WunUtilOnDemo, LiquidationSettingsWrittenInAnyCaseAreRead)
{
    TwunAnnoFinanziario year;
    year.Load(55);
    TWunParametri settings(dir.path(), &year);
    writeAll(dir.filePath("WunPar.ini"), "[Liq_Corrente2024]\r\ngruppo=4\r\nid=2\r\nMese=12\r\n");
    EXPECT_EQ(settings.Gruppo(), 4);
    EXPECT_EQ(settings.Id(), 2);
    EXPECT_EQ(settings.Mese(), 12);
    settings.SetId(1);
    EXPECT_EQ(readAll(dir.filePath("WunPar.ini")), QByteArray("[Liq_Corrente2024]\r\ngruppo=4\r\nid=1\r\nMese=12\r\n"));

    // An existing file of another spelling is the one used.
    QTemporaryDir other;
    writeAll(other.filePath("WUNPAR.INI"), "[LIQ_CORRENTE2024]\nGRUPPO=9\n");
    EXPECT_EQ(TWunParametri(other.path(), &year).Gruppo(), 9);
}

TEST_F(WunUtilOnDemo, NoWorkingYearReadsZeroAndRefusesWrites)
{
    TwunAnnoFinanziario year;
    TWunParametri settings(dir.path(), &year);
    writeAll(dir.filePath("WunPar.ini"), "[LIQ_CORRENTE]\nGRUPPO=3\n");
    EXPECT_EQ(settings.Sezione(), QString());
    EXPECT_EQ(settings.Gruppo(), 0);
    EXPECT_THROW(settings.SetGruppo(1), platform::EAssertionFailed);
}

TEST_F(WunUtilOnDemo, CurrentLiquidationCaption)
{
    TwunAnnoFinanziario year;
    year.Load(55);
    TWunParametri settings(dir.path(), &year);
    platform::SqlQuery q(db());
    const QSet<int> fundamental{1};

    EXPECT_EQ(settings.DescrizioneLiquidazione(q, true, fundamental), QString()) << "no settings file";

    settings.SetId(1);
    settings.SetGruppo(1);
    settings.SetMese(11);
    EXPECT_EQ(settings.DescrizioneLiquidazione(q, true, fundamental), "Stipendio");
    EXPECT_EQ(settings.Fondamentale, 1);
    EXPECT_FALSE(q.isActive());
    EXPECT_EQ(settings.DescrizioneLiquidazione(q, true, {0, 2, 3}), QString()) << "kind not allowed";

    for (int month : {0, 13, -1}) {
        settings.SetMese(month);
        EXPECT_EQ(settings.DescrizioneLiquidazione(q, false, fundamental), QString()) << month;
    }
    settings.SetMese(11);

    // No pay register of group 2 in November: refused only when the group is required.
    settings.SetGruppo(2);
    EXPECT_EQ(settings.DescrizioneLiquidazione(q, true, fundamental), QString());
    EXPECT_EQ(settings.DescrizioneLiquidazione(q, false, fundamental), "Stipendio");
    settings.SetGruppo(1);

    settings.SetId(0);
    EXPECT_EQ(settings.DescrizioneLiquidazione(q, false, fundamental), QString());
    settings.SetId(9999);
    EXPECT_EQ(settings.DescrizioneLiquidazione(q, false, fundamental), QString()) << "unknown liquidation";

    // A kind of 8 or more is never current, whatever set is passed.
    db().execute("INSERT INTO TCOT_TIPICOMPENSO (ICOTID, SCOTLDESC, ICOTFONDAMENTALE) VALUES (98, 'Speciale', 8)");
    settings.SetId(98);
    EXPECT_EQ(settings.DescrizioneLiquidazione(q, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}), QString());
    EXPECT_EQ(settings.Fondamentale, 8);
    db().execute("INSERT INTO TCOT_TIPICOMPENSO (ICOTID, SCOTLDESC, ICOTFONDAMENTALE) VALUES (97, 'Conguaglio', 7)");
    settings.SetId(97);
    EXPECT_EQ(settings.DescrizioneLiquidazione(q, false, {7}), "Conguaglio");
    EXPECT_EQ(settings.DescrizioneLiquidazione(q, true, {7}), QString()) << "no register of that liquidation";
}

TEST_F(WunUtilOnDemo, LookupsOfTheArchive)
{
    platform::SqlQuery q(db());
    EXPECT_EQ(TWunUtil::DescrizioneMese(12, q), "Dicembre");
    EXPECT_EQ(TWunUtil::DescrizioneMese(99, q), QString());

    TWunUtil::ApriCompenso(1, q);
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.value("SCOTLDESC").toString(), "Stipendio");
    q.close();

    EXPECT_TRUE(TWunUtil::AggiornamentoEffettuato(q, 50));
    EXPECT_FALSE(TWunUtil::AggiornamentoEffettuato(q, 40));
    EXPECT_FALSE(q.isActive());

    const int anaper =
        scalar("SELECT FIRST 1 IANAPERID FROM TACOM_COMPENSI WHERE IANFID = 55 ORDER BY IACOMID").toInt();
    const int acom =
        scalar(QString("SELECT IACOMID FROM TACOM_COMPENSI WHERE IANFID = 55 AND IANAPERID = %1").arg(anaper)).toInt();
    ASSERT_GT(acom, 0);
    EXPECT_EQ(TWunUtil::CompensoDaAnagrafica(q, anaper, 55), acom);
    EXPECT_EQ(TWunUtil::CompensoDaAnagraficaAnno(q, anaper, 2024), acom);
    EXPECT_EQ(TWunUtil::CompensoDaAnagraficaAnno(q, anaper, 2015), 0);

    EXPECT_TRUE(TWunUtil::TestoQuery("QRY_MES", "EXECUTE").contains("TMES_MESI"));
    EXPECT_THROW(TWunUtil::TestoQuery("QRY_NON_ESISTE", "EXECUTE"), platform::EAssertionFailed);
    TWunUtil::ApriQuery("QRY_PACO_ANF", q, 0, "SELECT");
    EXPECT_TRUE(q.params().findParam("IANFID") != nullptr);
}

TEST_F(WunUtilOnDemo, TheEmployersSitesMainSiteFirst)
{
    db().execute("INSERT INTO TSED_SEDI (ISEDID, IDWGID, SSEDNOMLDESC, SSEDNOMCODICEFISC, LSEDPRINCIPALE) "
                 "VALUES (50, 1, 'Magazzino', '00000000000', 0)");
    platform::SqlQuery q(db());
    TWunUtil::ApriQuery("QRY_SED", q);
    q.bind("IDWGID", 1);
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.value("LSEDPRINCIPALE").toInt(), 1);
    EXPECT_EQ(q.value("SSEDNOMLDESC").toString(), "FONDAZIONE TEATRO COMUNALE DI VALLEVERDE");
    EXPECT_EQ(q.value("SSRPCCODCATA").toString().size(), 4);
    EXPECT_FALSE(q.value("SCOMDESC").toString().isEmpty());
    EXPECT_EQ(q.value("SPROSIGLA").toString().size(), 2);
    EXPECT_EQ(q.value("SCAPVALUE").toString().size(), 5);
    // The ATECO codes of the group's latest year.
    EXPECT_EQ(q.value("SPACOCODATECO2007").toString(), "90.04.00");
    EXPECT_EQ(q.value("SPACOCODATECO").toString(), "900400");
    q.next();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.value("SSEDNOMLDESC").toString(), "Magazzino");
    EXPECT_TRUE(q.value("SSRPCCODCATA").isNull()) << "a site without a place still comes";
    q.next();
    EXPECT_TRUE(q.eof());

    q.bind("IDWGID", 2);
    q.open();
    EXPECT_TRUE(q.eof());
    db().execute("DELETE FROM TSED_SEDI WHERE ISEDID = 50");
}

TEST_F(WunUtilOnDemo, ProjectFilterOfTheWorkingYear)
{
    wunAnnoFinanziario().Load(55);
    TWunProgetto project;
    QString text;
    project.SetId(0);
    project.Filtro("SELECT", text);
    EXPECT_EQ(text, " AND REGS.DREGSDAL <= '12/31/2024' AND REGS.DREGSAL >= '01/01/2024'");
    project.SetId(15);
    EXPECT_EQ(project.FiltroEsegui(),
              " AND REGS.IDWGID IN (SELECT DWGANF.IDWGID FROM TDWGANF_DATORIANNO DWGANF WHERE DWGANF.IDWGANFID = 15)");
    const int all = scalar("SELECT COUNT(*) FROM TREGS_REGISTROSTIP REGS WHERE REGS.IANFID = 55").toInt();
    ASSERT_GT(all, 0);
    EXPECT_EQ(
        scalar("SELECT COUNT(*) FROM TREGS_REGISTROSTIP REGS WHERE REGS.IANFID = 55" + project.FiltroEsegui()).toInt(),
        all);
}

TEST_F(WunUtilOnDemo, TheWorkingYearTakesItsDefaultFromTheParametersModule)
{
    TwunAnnoFinanziario year;
    {
        TdmWunParams params;
        params.xpmUquParams->SetParams(TdmWunParams::AnfIdParam, 54, TdmWunParams::ParamsGroup);
        year.Load();
        EXPECT_EQ(year.YearText(), "2023");
        EXPECT_EQ(year.Params(), &params);
    }
    EXPECT_EQ(dmWunParams, nullptr);

    // The library's working year forgets a parameters module that is gone.
    {
        TdmWunParams params;
        params.xpmUquParams->SetParams(TdmWunParams::AnfIdParam, 56, TdmWunParams::ParamsGroup);
        wunAnnoFinanziario().SetParams(nullptr);
        wunAnnoFinanziario().Load();
        EXPECT_EQ(wunAnnoFinanziario().YearText(), "2025");
        EXPECT_EQ(wunAnnoFinanziario().Params(), &params);
    }
    EXPECT_EQ(wunAnnoFinanziario().Params(), nullptr);
}

TEST(WunUtilGroup, DwgIdCorrenteIsTheParameterOfTheParametersModule)
{
    TdmWunParams params;
    ASSERT_EQ(dmWunParams, &params);
    EXPECT_THROW(TWunUtil::DwgIdCorrente(), platform::EConvertError);
    params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 3, TdmWunParams::ParamsGroup);
    EXPECT_EQ(TWunUtil::DwgIdCorrente(), 3);
}

TEST(WunUtilSingletons, OneOfEachForTheRun)
{
    EXPECT_EQ(&wunAnnoFinanziario(), &wunAnnoFinanziario());
    EXPECT_EQ(&WunProgetto(), &WunProgetto());
    EXPECT_EQ(&WunParametri(), &WunParametri());
    EXPECT_EQ(&wunAnnoScolastico(), &wunAnnoScolastico());
    EXPECT_TRUE(WunParametri().FileName().endsWith("/usr/wun/WunPar.ini", Qt::CaseInsensitive))
        << WunParametri().FileName().toStdString();
}
