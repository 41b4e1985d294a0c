// The calculator's parts that read the payroll archive: the 2023/2024
// exemption dataset, the CUD INPS totals and the performing-arts ceilings
// and minimum, on a real embedded archive made from the project's scripts.
#include "tovUCalcoli.h"

#include "DataSet.h"
#include "Database.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "UqParams.h"
#include "tovCQueryText.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <ostream>
#include <string>

using platform::Currency;
using platform::DataSet;
using platform::FieldType;
using platform::Value;
using platform::ValueList;

namespace {

Currency C(const char *text)
{
    return Currency::fromString(QString::fromLatin1(text));
}

Currency amountOf(const DataSet &ds, const char *field)
{
    return ds.fieldByName(QLatin1String(field)).asCurrency();
}

QString sourceRoot()
{
    const QString root = QStringLiteral(ZEP_TEST_SOURCE_DIR);
    return root;
}

// The statements this unit takes from the catalogue.
const QStringList kStatements{QStringLiteral("QRY_CUD_INPS_IMP_ACC"),
                              QStringLiteral("QRY_CUD_INPS_IMP_FOND"),
                              QStringLiteral("QRY_ENPA"),
                              QStringLiteral("QRY_ENPM_ANNUALE"),
                              QStringLiteral("QRY_ENPM_GIORNO"),
                              QStringLiteral("QRY_RICA_MIN_ENPALS")};

// Statements of the payroll archive's staging file ("@@ NAME KIND INDEX"
// headers), for those the catalogue source does not hold yet.
QList<ValueList> stagedStatements(const QStringList &names)
{
    QList<ValueList> rows;
    QFile file(QDir(sourceRoot()).filePath(QStringLiteral("payroll/sql/catalogue-staging.txt")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return rows;
    QTextStream in(&file);
    QStringList header;
    QString text;
    auto flush = [&] {
        if (header.size() == 4 && names.contains(header[1]))
            rows.append({header[1], header[2], header[3].toInt(), text.trimmed()});
        text.clear();
    };
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(QLatin1String("@@ "))) {
            flush();
            header = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        } else if (!header.isEmpty()) {
            text += line + QLatin1Char('\n');
        }
    }
    flush();
    return rows;
}

// Fills the run's catalogue from the catalogue source (compiled in a
// scratch folder, so the tree is not written), adding from the staging
// file the statements of this unit that the source does not have yet.
void loadCatalogue()
{
    TTovQueryText &catalogue = TovQueryText();
    QList<ValueList> rows;
    platform::FieldDefs defs{{QStringLiteral("Query"), FieldType::String, 60},
                             {QStringLiteral("Tipo"), FieldType::String, 20},
                             {QStringLiteral("Indice"), FieldType::Integer},
                             {QStringLiteral("SQL"), FieldType::Memo}};
    const QString source = QDir(sourceRoot()).filePath(QStringLiteral("etc/wun/wun_QueryText.xml"));
    QStringList present;
    if (QFileInfo::exists(source)) {
        QTemporaryDir scratch;
        const QString copy = scratch.filePath(QStringLiteral("wun_QueryText.xml"));
        QFile::copy(source, copy);
        catalogue.CompileQueries(copy);
        rows = catalogue.records();
        defs = catalogue.fieldDefs();
        for (const ValueList &r : rows)
            present << r.value(0).toString();
    }
    QStringList missing;
    for (const QString &name : kStatements)
        if (!present.contains(name))
            missing << name;
    rows += stagedStatements(missing);
    catalogue.loadRecords(defs, rows);
}

// ---- the archive ---------------------------------------------------------------

constexpr int kAnf2023 = 54;
constexpr int kAnf2024 = 55;
constexpr int kMonth = 3;
constexpr int kCompany = 1; // ICOTID
constexpr int kGroup = 1;
constexpr int kDwg = 1;
constexpr int kComrTredicesima = 10013;

// The archive's scripts and reference rows are made once; every test
// works on its own copy of that file, in a folder of its own.
class Archive : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_template = new TempDatabase(TempDatabase::Scripts{TempDatabase::projectScripts(QStringLiteral("foundation"))
                                                            + TempDatabase::projectScripts(QStringLiteral("payroll"))});
        platform::Database &db = s_template->db();
        auto run = [&](const QString &sql) { db.execute(sql); };
        run(QStringLiteral("INSERT INTO TANF_ANNIFINANZ (IANFID, DANFNUBRAINIZIO, DANFNUBRAFINE)"
                           " VALUES (54, '2023-01-01', '2023-12-31')"));
        run(QStringLiteral("INSERT INTO TANF_ANNIFINANZ (IANFID, DANFNUBRAINIZIO, DANFNUBRAFINE)"
                           " VALUES (55, '2024-01-01', '2024-12-31')"));
        for (int m = 1; m <= 12; ++m)
            run(QStringLiteral("INSERT INTO TMES_MESI (IMESID, SMESLDESC) VALUES (%1, 'Mese %1')").arg(m));
        run(QStringLiteral(
            "INSERT INTO TDWG_DATORI (IDWGID, SDWGRAGSOC, SDWGCODFISCALE) VALUES (1, 'Ente', '80000000000')"));
        run(QStringLiteral(
            "INSERT INTO TDWG_DATORI (IDWGID, SDWGRAGSOC, SDWGCODFISCALE) VALUES (2, 'Altro', '80000000001')"));
        run(QStringLiteral(
            "INSERT INTO TCOT_TIPICOMPENSO (ICOTID, SCOTLDESC, ICOTFONDAMENTALE) VALUES (1, 'Stipendi', 1)"));
        for (int tno : {1, 10, 14, 15})
            run(QStringLiteral("INSERT INTO TTNO_TIPIRAPPORTO (ITNOID, ITNONUBRACODE, STNOLDESC)"
                               " VALUES (%1, %1, 'Rapporto %1')")
                    .arg(tno));
        for (int cos : {10001, 10002})
            run(QStringLiteral("INSERT INTO TCOS_CATEGORIECOMP (ICOSID, SCOSLDESC) VALUES (%1, 'Cat %1')").arg(cos));
        const std::tuple<int, const char *, int> items[] = {{10001, "10001", 1}, {10002, "10002", 1},
                                                            {10074, "NULL", 6},  {10075, "NULL", 6},
                                                            {10077, "NULL", 6},  {kComrTredicesima, "10001", 3},
                                                            {41, "NULL", 1},     {69, "NULL", 1},
                                                            {70, "NULL", 1}};
        for (const auto &[id, cos, group] : items)
            run(QStringLiteral("INSERT INTO TCOMR_RIGHECOMP (ICOMRID, ICOMRUSERCODE, SCOMRLDESC, ICOSID, ICOMRGRUPPO)"
                               " VALUES (%1, %1, 'Voce %1', %2, %3)")
                    .arg(id)
                    .arg(QLatin1String(cos))
                    .arg(group));
        for (int rice : {2, 3, 13, 17})
            run(QStringLiteral("INSERT INTO TRICE_RITENUTE (IRICEID, IRICENUBRACODE, SRICELDESC)"
                               " VALUES (%1, %1, 'Ritenuta %1')")
                    .arg(rice));
        db.close();
    }

    static void TearDownTestSuite()
    {
        delete s_template;
        s_template = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString file = m_dir.filePath(QStringLiteral("archive.fdb"));
        ASSERT_TRUE(QFile::copy(s_template->filePath(), file));
        QFile(file).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        platform::ConnectionSettings settings;
        settings.database = file;
        m_db = std::make_unique<platform::Database>(settings);
        m_db->open();
        platform::Database::setGlobal(m_db.get());
        loadCatalogue();
    }

    void TearDown() override
    {
        SetTovCalcolaEnpals(nullptr);
        TovQueryText().loadRecords(TovQueryText().fieldDefs(), {});
        platform::Database::setGlobal(nullptr);
        m_db.reset();
    }

    platform::Database &db() { return *m_db; }
    void exec(const QString &sql) { m_db->execute(sql); }
    void exec(const char *sql) { exec(QString::fromUtf8(sql)); }

    // A person with a compensation record of the year (IACOMID = id).
    void person(int id, int anfId, int tno, const QString &extraColumns = {}, const QString &extraValues = {})
    {
        exec(QStringLiteral("INSERT INTO TANA_ANAGRAFICHE (IANAID, SANACOGNOME, SANANOME) VALUES (%1, 'Rossi', 'P%1')")
                 .arg(id));
        exec(QStringLiteral("INSERT INTO TANACAG_MATRICOLE (IANACAGID, IANAID, IDWGID) VALUES (%1, %1, 1)").arg(id));
        exec(QStringLiteral("INSERT INTO TANAPER_POSIZIONI (IANAPERID, IANACAGID) VALUES (%1, %1)").arg(id));
        exec(QStringLiteral("INSERT INTO TACOM_COMPENSI (IACOMID, IANAPERID, IANFID, ITNOID%4)"
                            " VALUES (%1, %1, %2, %3%5)")
                 .arg(id)
                 .arg(anfId)
                 .arg(tno)
                 .arg(extraColumns.isEmpty() ? QString() : QStringLiteral(", ") + extraColumns,
                      extraValues.isEmpty() ? QString() : QStringLiteral(", ") + extraValues));
    }

    // A register row of the person (IREGSID = id).
    void registerRow(int regsId, int acomId, int anfId, int month = kMonth, int calcolata = 1, int daAltri = 0,
                     int group = kGroup, int dwg = kDwg, int tno = 1)
    {
        exec(QStringLiteral(
                 "INSERT INTO TREGS_REGISTROSTIP (IREGSID, IACOMID, IANFID, IMESID, ICOTID, IDWGID, ITNOID,"
                 " IREGSGRUPPO, LREGSCALCOLATA, LREGSLIQDAALTRI) VALUES (%1, %2, %3, %4, %5, %6, %7, %8, %9, %10)")
                 .arg(regsId)
                 .arg(acomId)
                 .arg(anfId)
                 .arg(month)
                 .arg(kCompany)
                 .arg(dwg)
                 .arg(tno)
                 .arg(group)
                 .arg(calcolata)
                 .arg(daAltri));
    }

    // A pay-item row of the register (no liquidation).
    void item(int regsId, int comrId, const char *lordo, const char *perc = "NULL")
    {
        exec(
            QStringLiteral("INSERT INTO TVACR_VARCOMPRIGHE (IVACRID, IREGSID, ICOMRID, FVACRLORDO, FVACRPERCESONEROIVS)"
                           " VALUES (NEXT VALUE FOR GEN_TVACR_VARCOMPRIGHE, %1, %2, %3, %4)")
                .arg(regsId)
                .arg(comrId)
                .arg(QLatin1String(lordo), QLatin1String(perc)));
    }

    // A withholding row of the register: without pay item, the register's
    // total of the retention.
    void withholding(int regsId, int riceId, const char *impDip, const char *ritDip, const char *comrId = "NULL",
                     const char *impAmm = "0", const char *percAmm = "0")
    {
        exec(QStringLiteral("INSERT INTO TVARR_VARRITENUTE (IVARRID, IREGSID, ICOMRID, IRICEID, FVARRIMPONIBILE,"
                            " FVARRIMPONIBILEDIP, FVARRRITDIP, FVARRIMPONIBILEAMM, FVARRPERCIMPAMM)"
                            " VALUES (NEXT VALUE FOR GEN_TVARR_VARRITENUTE, %1, %2, %3, %4, %4, %5, %6, %7)")
                 .arg(regsId)
                 .arg(QLatin1String(comrId))
                 .arg(riceId)
                 .arg(QLatin1String(impDip), QLatin1String(ritDip), QLatin1String(impAmm), QLatin1String(percAmm)));
    }

    // A liquidation of the person's month with one withholding row on a pay
    // item (the thirteenth month by default).
    void liquidation(int varmId, int acomId, int anfId, int riceId, const char *imponibile,
                     int comrId = kComrTredicesima, int rirpId = 1, int month = kMonth, const char *impAmm = "0",
                     const char *percAmm = "0")
    {
        exec(QStringLiteral("INSERT INTO TVARM_VARIAZIONI (IVARMID, IACOMID, IANFID, IMESID, ICOTID, IVARMRIRPID)"
                            " VALUES (%1, %2, %3, %4, %5, %6)")
                 .arg(varmId)
                 .arg(acomId)
                 .arg(anfId)
                 .arg(month)
                 .arg(kCompany)
                 .arg(rirpId));
        exec(QStringLiteral("INSERT INTO TVARR_VARRITENUTE (IVARRID, IVARMID, ICOMRID, IRICEID, FVARRIMPONIBILE,"
                            " FVARRIMPONIBILEAMM, FVARRPERCIMPAMM)"
                            " VALUES (NEXT VALUE FOR GEN_TVARR_VARRITENUTE, %1, %2, %3, %4, %5, %6)")
                 .arg(varmId)
                 .arg(comrId)
                 .arg(riceId)
                 .arg(QLatin1String(imponibile), QLatin1String(impAmm), QLatin1String(percAmm)));
    }

    static TempDatabase *s_template;
    QTemporaryDir m_dir;
    std::unique_ptr<platform::Database> m_db;
};

TempDatabase *Archive::s_template = nullptr;

// The exemption dataset's row of a register id; fails the test when absent.
bool locateRegister(DataSet &ds, int regsId)
{
    return ds.locate(QStringLiteral("IREGSID"), Value(regsId));
}

// ---- exemptions ------------------------------------------------------------------

TEST_F(Archive, ExemptionsOfAMonthWithoutExemptionItemsAreNone)
{
    person(1, kAnf2024, 1);
    registerRow(1, 1, kAnf2024);
    item(1, 10001, "2000");
    withholding(1, 3, "2000", "183.8");
    EXPECT_EQ(TTovCalcolaAnno2024().EsoneriIvs(kMonth, kCompany, kGroup, kAnf2024, kDwg), nullptr);
    EXPECT_EQ(TTovCalcolaAnno2023().EsoneriIvs(kMonth, kCompany, kGroup, kAnf2024, kDwg), nullptr);
    // The base rule never reads the archive.
    EXPECT_EQ(TTovCalcolaAnno().EsoneriIvs(kMonth, kCompany, kGroup, kAnf2024, kDwg), nullptr);
}

TEST_F(Archive, ExemptionsGoToTheSchemeThatCarriesTheWithholding)
{
    // 1: INPS full time only; 2: INPDAP and INPS; 3: INPS part time only.
    for (int id : {1, 2, 3}) {
        person(id, kAnf2024, 1);
        registerRow(id, id, kAnf2024);
        item(id, 10074, "30", "7");
        item(id, 10075, "10");
    }
    withholding(1, 3, "1000", "91.9");
    withholding(1, 13, "500", "0"); // no withholding: not counted as part time
    withholding(2, 2, "1200", "105");
    withholding(2, 3, "1000", "91.9");
    withholding(3, 13, "800", "73.52");
    // Rows that never count: another month, not calculated, liquidated by
    // others, another group, another employer.
    person(9, kAnf2024, 1);
    registerRow(90, 9, kAnf2024, kMonth + 1);
    registerRow(91, 9, kAnf2024, kMonth, 0);
    registerRow(92, 9, kAnf2024, kMonth, 1, 1);
    registerRow(93, 9, kAnf2024, kMonth, 1, 0, kGroup + 1);
    registerRow(94, 9, kAnf2024, kMonth, 1, 0, kGroup, 2);
    for (int regs : {90, 91, 92, 93, 94}) {
        item(regs, 10074, "30", "7");
        withholding(regs, 3, "1000", "91.9");
    }

    auto ds = TTovCalcolaAnno2024().EsoneriIvs(kMonth, kCompany, kGroup, kAnf2024, kDwg);
    ASSERT_NE(ds, nullptr);
    EXPECT_EQ(ds->recordCount(), 3);
    ds->first();
    EXPECT_EQ(ds->fieldByName(QStringLiteral("IREGSID")).asInteger(), 1);

    ASSERT_TRUE(locateRegister(*ds, 1));
    EXPECT_EQ(amountOf(*ds, "ESONERO_STIP"), C("30"));
    EXPECT_EQ(amountOf(*ds, "ESONERO_13"), C("10"));
    EXPECT_EQ(amountOf(*ds, "TAGLIO_STIP"), C("7"));
    EXPECT_EQ(amountOf(*ds, "ESONERO"), C("40"));
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPSOI"), C("40"));
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPSPT"), C("0"));
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPDAP"), C("0"));
    EXPECT_EQ(amountOf(*ds, "RITINPSOI"), C("91.9"));
    EXPECT_EQ(amountOf(*ds, "IMPINPSPT"), C("0"));

    ASSERT_TRUE(locateRegister(*ds, 2));
    EXPECT_EQ(amountOf(*ds, "IMPINPDAP"), C("1200"));
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPDAP"), C("40"));
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPSOI"), C("0"));

    ASSERT_TRUE(locateRegister(*ds, 3));
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPSPT"), C("40"));
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPSOI"), C("0"));
    // The dataset is the caller's, with nothing pending to apply.
    EXPECT_EQ(ds->state(), platform::DataSetState::Browse);
}

TEST_F(Archive, MothersExemptionCountsFrom2024)
{
    person(1, kAnf2024, 1);
    registerRow(1, 1, kAnf2024);
    item(1, 10077, "150");
    withholding(1, 3, "1000", "100");
    withholding(1, 13, "800", "80");

    auto ds2024 = TTovCalcolaAnno2024().EsoneriIvs(kMonth, kCompany, kGroup, kAnf2024, kDwg);
    ASSERT_NE(ds2024, nullptr);
    EXPECT_EQ(amountOf(*ds2024, "ESONERO"), C("150"));
    EXPECT_EQ(amountOf(*ds2024, "ESONERO_INPSOI"), C("100"));
    EXPECT_EQ(amountOf(*ds2024, "ESONERO_INPSPT"), C("50"));

    // In 2023 the row is listed, but nothing is exempted.
    auto ds2023 = TTovCalcolaAnno2023().EsoneriIvs(kMonth, kCompany, kGroup, kAnf2024, kDwg);
    ASSERT_NE(ds2023, nullptr);
    EXPECT_EQ(ds2023->recordCount(), 1);
    for (const char *f : {"ESONERO", "ESONERO_INPDAP", "ESONERO_INPSOI", "ESONERO_INPSPT"})
        EXPECT_EQ(amountOf(*ds2023, f), C("0")) << f;
}

TEST_F(Archive, MothersExemptionAbovePartTimeWithholdingStopsTheMonth)
{
    person(1, kAnf2024, 1);
    registerRow(1, 1, kAnf2024);
    item(1, 10077, "150");
    withholding(1, 3, "1000", "100");
    withholding(1, 13, "800", "30");
    try {
        TTovCalcolaAnno2024().EsoneriIvs(kMonth, kCompany, kGroup, kAnf2024, kDwg);
        FAIL() << "no exception";
    } catch (const ETovCalcola &e) {
        EXPECT_EQ(e.message(), QStringLiteral("L'esonero non può superare la ritenuta"));
    }
}

TEST_F(Archive, SalaryExemptionOnTheSideWithoutTheThirteenthMonth)
{
    // Thirteenth month on full time: 7 % of the part-time taxable (800) is
    // the salary exemption on part time, the rest of 90 goes to full time.
    person(1, kAnf2023, 1);
    registerRow(1, 1, kAnf2023);
    item(1, 10074, "70", "7");
    item(1, 10075, "20");
    withholding(1, 3, "1000", "91.9");
    withholding(1, 13, "800", "73.52");
    liquidation(11, 1, kAnf2023, 3, "500");
    // Thirteenth month on part time (or none): the salary exemption on
    // full time. 7 % of 1234.57 = 86.4199 -> 86.42.
    person(2, kAnf2023, 1);
    registerRow(2, 2, kAnf2023);
    item(2, 10074, "70", "7");
    item(2, 10075, "20");
    withholding(2, 3, "1234.57", "113.46");
    withholding(2, 13, "800", "73.52");
    liquidation(12, 2, kAnf2023, 13, "500");
    // A thirteenth-month row without taxable does not count.
    liquidation(13, 2, kAnf2023, 3, "0");

    TTovCalcolaAnno2023 rule;
    auto ds = rule.EsoneriIvs(kMonth, kCompany, kGroup, kAnf2023, kDwg);
    ASSERT_NE(ds, nullptr);
    ASSERT_TRUE(locateRegister(*ds, 1));
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPSPT"), C("56"));
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPSOI"), C("34"));
    ASSERT_TRUE(locateRegister(*ds, 2));
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPSOI"), C("86.42"));
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPSPT"), C("3.58"));

    // 2024 without mothers' exemption splits the same way.
    auto ds2024 = TTovCalcolaAnno2024().EsoneriIvs(kMonth, kCompany, kGroup, kAnf2023, kDwg);
    ASSERT_NE(ds2024, nullptr);
    ASSERT_TRUE(locateRegister(*ds2024, 1));
    EXPECT_EQ(amountOf(*ds2024, "ESONERO_INPSPT"), C("56"));
}

TEST_F(Archive, ThirteenthMonthOnBothInpsSchemesStopsTheMonth)
{
    person(1, kAnf2023, 1);
    registerRow(1, 1, kAnf2023);
    item(1, 10074, "70", "7");
    withholding(1, 3, "1000", "91.9");
    withholding(1, 13, "800", "73.52");
    liquidation(11, 1, kAnf2023, 3, "500");
    liquidation(12, 1, kAnf2023, 13, "300");
    try {
        TTovCalcolaAnno2023().EsoneriIvs(kMonth, kCompany, kGroup, kAnf2023, kDwg);
        FAIL() << "no exception";
    } catch (const ETovCalcola &e) {
        EXPECT_EQ(e.message(), QStringLiteral("La tredicesima non può essere associata contemporaneamente ad "
                                              "INPS tempo pieno e part-time."));
    }
}

TEST_F(Archive, NegativeSalaryExemptionStopsTheMonth)
{
    person(1, kAnf2023, 1);
    registerRow(1, 1, kAnf2023);
    item(1, 10074, "70", "-5");
    withholding(1, 3, "1000", "91.9");
    withholding(1, 13, "800", "73.52");
    try {
        TTovCalcolaAnno2023().EsoneriIvs(kMonth, kCompany, kGroup, kAnf2023, kDwg);
        FAIL() << "no exception";
    } catch (const ETovCalcola &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Esonero stipendio su INPSOI negativo"));
    }
}

TEST_F(Archive, SelectedYearRuleReadsTheArchive)
{
    person(1, kAnf2024, 1);
    registerRow(1, 1, kAnf2024);
    item(1, 10077, "20");
    withholding(1, 3, "1000", "91.9");
    TTovCalcolaAnno::SelezionaAnno(2024);
    auto ds = TovCalcolaAnno().EsoneriIvs(kMonth, kCompany, kGroup, kAnf2024, kDwg);
    TTovCalcolaAnno::SelezionaAnno(2022);
    ASSERT_NE(ds, nullptr);
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPSOI"), C("20"));
    EXPECT_EQ(TovCalcolaAnno().EsoneriIvs(kMonth, kCompany, kGroup, kAnf2024, kDwg), nullptr);
}

TEST_F(Archive, EmployerFromTheProgramsParameters)
{
    person(1, kAnf2024, 1);
    registerRow(1, 1, kAnf2024, kMonth, 1, 0, kGroup, 2);
    item(1, 10074, "25", "7");
    withholding(1, 3, "1000", "91.9");
    TTovCalcolaAnno2024 rule;
    // Without the program's parameters there is no employer to ask for.
    EXPECT_THROW(rule.EsoneriIvs(kMonth, kCompany, kGroup, kAnf2024), platform::EAssertionFailed);
    TUqParamManager params;
    // The program's parameters, as its main window gives them.
    TUqParamManager::SetProgramManagerSource([&params] { return &params; });
    struct Reset {
        ~Reset() { TUqParamManager::SetProgramManagerSource({}); }
    } reset;
    params.SetParams(QStringLiteral("UQUP_DwgId"), kDwg);
    EXPECT_EQ(rule.EsoneriIvs(kMonth, kCompany, kGroup, kAnf2024), nullptr);
    params.SetParams(QStringLiteral("UQUP_DwgId"), 2);
    auto ds = rule.EsoneriIvs(kMonth, kCompany, kGroup, kAnf2024);
    ASSERT_NE(ds, nullptr);
    EXPECT_EQ(amountOf(*ds, "ESONERO_INPSOI"), C("25"));
}

// ---- CUD INPS totals ------------------------------------------------------------

// The candidate row of the CUD: person and months.
void candidate(DataSet &ds, int acomId, int from, int to)
{
    ds.addFieldDef(QStringLiteral("IACOMID"), FieldType::Integer);
    ds.addFieldDef(QStringLiteral("MESE_INIZIALE"), FieldType::Integer);
    ds.addFieldDef(QStringLiteral("MESE_FINALE"), FieldType::Integer);
    ds.createDataSet();
    ds.appendRecord({acomId, from, to});
}

TEST_F(Archive, CudTotalsOfFundamentalItems)
{
    person(1, kAnf2024, 1);
    for (int m : {1, 2, 3}) {
        registerRow(m, 1, kAnf2024, m);
        withholding(m, 3, "1000", "91.9", "10001", "1000", "100");
        withholding(m, 3, "200", "18.38", "10002", "200", "100");
        withholding(m, 13, "50", "4.6", "10001", "50", "100");
    }
    registerRow(4, 1, kAnf2024, 4, 0); // not calculated
    withholding(4, 3, "999", "1", "10001", "999", "100");

    DataSet cand;
    candidate(cand, 1, 1, 2);
    platform::SqlQuery query(db());
    EXPECT_EQ(TTovCalcola::ImponibileInpsFondamentali(3, 10001, query, cand, {}), C("2000"));
    EXPECT_EQ(TTovCalcola::ImponibileInpsFondamentali(3, 10002, query, cand, {}), C("400"));
    EXPECT_EQ(TovQueryText().LastOperationName(), QStringLiteral("QRY_CUD_INPS_IMP_FOND"));
    DataSet all;
    candidate(all, 1, 1, 12);
    EXPECT_EQ(TTovCalcola::ImponibileInpsFondamentali(3, 10001, query, all, {}), C("3000"));
    EXPECT_EQ(TTovCalcola::ImponibileInpsFondamentali(13, 10001, query, all, {}), C("150"));
    // The extra condition is appended to the statement.
    EXPECT_EQ(TTovCalcola::ImponibileInpsFondamentali(3, 10001, query, all, QStringLiteral(" AND REGS.IMESID <> 2")),
              C("2000"));
    // No row: 0.
    DataSet nobody;
    candidate(nobody, 77, 1, 12);
    EXPECT_EQ(TTovCalcola::ImponibileInpsFondamentali(3, 10001, query, nobody, {}), C("0"));
    EXPECT_FALSE(query.isActive());
}

TEST_F(Archive, CudTotalsOfAccessoryLiquidationsWithoutNonSalaryRelationships)
{
    person(1, kAnf2024, 1);
    registerRow(1, 1, kAnf2024, 1);
    liquidation(11, 1, kAnf2024, 3, "300", 10001, 3, 1, "300", "100");
    registerRow(2, 1, kAnf2024, 2, 1, 0, kGroup, kDwg, 14);
    liquidation(12, 1, kAnf2024, 3, "100", 10001, 3, 2, "100", "100");
    registerRow(3, 1, kAnf2024, 3);
    liquidation(13, 1, kAnf2024, 3, "50", 10001, 4, 3, "50", "100");

    DataSet cand;
    candidate(cand, 1, 1, 12);
    platform::SqlQuery query(db());
    EXPECT_EQ(TTovCalcola::ImponibileInpsAccessori(3, 3, query, cand, {}), C("400"));
    EXPECT_EQ(TTovCalcola::ImponibileInpsAccessori(3, 4, query, cand, {}), C("50"));
    const QString notSalary = QStringLiteral(" AND NOT REGS.ITNOID IN (%1)").arg(TTovCalcola::TnoNonStipendioSql());
    EXPECT_EQ(TTovCalcola::ImponibileInpsAccessori(3, 3, query, cand, notSalary), C("300"));
    // A statement of another name is taken when given.
    EXPECT_EQ(TTovCalcola::ImponibileInpsAccessori(3, 3, query, cand, {}, QStringLiteral("QRY_CUD_INPS_IMP_ACC")),
              C("400"));
    EXPECT_THROW(TTovCalcola::ImponibileInpsAccessori(3, 3, query, cand, {}, QStringLiteral("QRY_NON_ESISTE")),
                 platform::EAssertionFailed);
}

// ---- performing-arts fund ---------------------------------------------------------

// The fund's detail record, the pay items, the calculator installed.
struct EnpalsSetup {
    DataSet detail;
    DataSet items;
    std::unique_ptr<TTovCalcolaEnpals> calc;

    EnpalsSetup(platform::Database &db, int days)
    {
        for (const char *name : {"FENPVCONTRIBUTODIP", "FENPVCONTRIBUTOAMM", "FENPVIMPONIBILEBASE",
                                 "FENPVIMPECCMASSSPET", "FENPVCONTRECCMASSSPETDIP", "FENPVCONTRECCMASSSPETAMM",
                                 "FENPVIMPONIBILECTRAGG", "FENPVCONTRIBAGGCORRENTE"})
            detail.addFieldDef(QLatin1String(name), FieldType::Currency);
        detail.createDataSet();
        detail.append();
        for (const auto &field : detail.fields())
            field->setAsCurrency(Currency());
        detail.post();
        items.addFieldDef(QStringLiteral("ICOMRID"), FieldType::Integer);
        items.addFieldDef(QStringLiteral("FVACRLORDO"), FieldType::Currency);
        items.createDataSet();
        calc = std::make_unique<TTovCalcolaEnpals>(detail, items, db, days);
        SetTovCalcolaEnpals(calc.get());
    }
    Currency operator[](const char *field) const { return amountOf(detail, field); }
};

// The compensation row and the withholding row, read from the archive.
void readRows(platform::Database &db, int acomId, DataSet &comp, DataSet &row)
{
    platform::SqlQuery q(db);
    q.setSql(QStringLiteral("SELECT IACOMID, IANFID, ITNOID, IACOMSOGGENPALS, IACOMREGIMEPOST95"
                            " FROM TACOM_COMPENSI WHERE IACOMID=:IACOMID"));
    q.bind(QStringLiteral("IACOMID"), acomId);
    q.open();
    q.fetchInto(comp);
    q.setSql(QStringLiteral("SELECT VARR.*, 0 AS ITVCOCODDIP, 0 AS ITVCOCODAMM FROM TVARR_VARRITENUTE VARR"
                            " INNER JOIN TREGS_REGISTROSTIP REGS ON REGS.IREGSID=VARR.IREGSID"
                            " WHERE REGS.IACOMID=:IACOMID AND VARR.IRICEID=17"));
    q.bind(QStringLiteral("IACOMID"), acomId);
    q.open();
    q.fetchInto(row);
    ASSERT_EQ(row.recordCount(), 1);
}

class Enpals : public Archive {
protected:
    void SetUp() override
    {
        Archive::SetUp();
        if (HasFatalFailure())
            return;
        // Yearly: threshold 50000, ceiling 110000; daily bands from 0 and
        // from 250 of daily taxable.
        exec("INSERT INTO TENPM_MASSIMALI (IENPMID, IANFID, IENPMTIPO, FENPMIMPONIBILEDA, FENPMCONTRAGGDA,"
             " FENPMMASSIMALE) VALUES (1, 55, 1, 0, 50000, 110000)");
        exec("INSERT INTO TENPM_MASSIMALI (IENPMID, IANFID, IENPMTIPO, FENPMIMPONIBILEDA, FENPMCONTRAGGDA,"
             " FENPMMASSIMALE) VALUES (2, 55, 2, 0, 150, 300)");
        exec("INSERT INTO TENPM_MASSIMALI (IENPMID, IANFID, IENPMTIPO, FENPMIMPONIBILEDA, FENPMCONTRAGGDA,"
             " FENPMMASSIMALE) VALUES (3, 55, 2, 250, 160, 320)");
        exec("INSERT INTO TRICA_ALIQUOTE (IRICAID, IANFID, IRICEID, ITNOID, FRICAALIQUOTADIP, FRICAALIQUOTAAMM,"
             " FRICAMINIMALE) VALUES (1, 55, 17, 15, 9.19, 23.81, 50)");
    }

    // A performing-arts worker of type 15 with one register row whose fund
    // withholding row has the taxable given.
    void worker(int id, int post95, const char *taxable, int payments = 12, int anfId = kAnf2024)
    {
        person(id, anfId, 15, QStringLiteral("IACOMSOGGENPALS, IACOMREGIMEPOST95"),
               QStringLiteral("2, %1").arg(post95));
        if (payments >= 0)
            exec(QStringLiteral("INSERT INTO TENPA_ENPALS (IENPAID, IACOMID, IENPANUMRETRIBUZIONI) VALUES (%1, %1, %2)")
                     .arg(id)
                     .arg(payments));
        registerRow(id, id, anfId, kMonth, 1, 0, kGroup, kDwg, 15);
        exec(QStringLiteral("INSERT INTO TVARR_VARRITENUTE (IVARRID, IREGSID, IRICEID, FVARRIMPONIBILE,"
                            " FVARRIMPONIBILEDIP, FVARRIMPONIBILEAMM, FVARRALIQUOTADIP, FVARRALIQUOTAAMM,"
                            " FVARRPERCIMPDIP, FVARRPERCIMPAMM)"
                            " VALUES (%1, %1, 17, %2, %2, %2, 9.19, 23.81, 100, 100)")
                 .arg(id)
                 .arg(QLatin1String(taxable)));
    }

    // Runs the base calculator on the worker's fund row.
    void calculate(int id, DataSet &row)
    {
        DataSet comp;
        readRows(db(), id, comp, row);
        row.edit();
        Currency credit;
        TTovCalcola::CalcolaRitenuta(row, comp, credit, false, Currency());
    }
};

// A worker's period against the yearly ceilings (post95 1) or the daily
// ones (0): "FIELD=amount" of the fund's detail record (FENPV...) and of the
// withholding row after the calculation.
struct CeilingCase {
    const char *name;
    int post95;
    const char *taxable;
    int days;
    const char *expected;
};

void PrintTo(const CeilingCase &c, std::ostream *os)
{
    *os << c.name;
}

class EnpalsCeilings : public Enpals, public ::testing::WithParamInterface<CeilingCase> {};

TEST_P(EnpalsCeilings, TheTaxableOfThePeriodAgainstTheCeilings)
{
    const CeilingCase &c = GetParam();
    worker(20, c.post95, c.taxable);
    EnpalsSetup s(db(), c.days);
    DataSet row;
    calculate(20, row);
    for (const QString &pair : QString::fromLatin1(c.expected).split(QLatin1Char(' '))) {
        const QString field = pair.section(QLatin1Char('='), 0, 0);
        const Currency got =
            (field.startsWith(QLatin1String("FENPV")) ? s.detail : row).fieldByName(field).asCurrency();
        EXPECT_EQ(got.toString().toStdString(),
                  Currency::fromString(pair.section(QLatin1Char('='), 1)).toString().toStdString())
            << field.toStdString();
    }
    // The ceiling step ran: its detail record is left for the caller to post.
    EXPECT_EQ(s.detail.state(), platform::DataSetState::Edit);
    row.post();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnpalsCeilings,
    ::testing::Values(
        // Per pay period: threshold 50000 / 12 = 4166.67, ceiling 9166.67;
        // the additional contribution is the employee's alone.
        CeilingCase{"YearlyCeilingCapsTheTaxableAndChargesTheExcess", 1, "12000", 20,
                    "FENPVIMPONIBILEBASE=9166.67 FENPVIMPECCMASSSPET=2833.33 FVARRIMPONIBILEDIP=9166.67 "
                    "FVARRIMPONIBILEAMM=9166.67 FENPVIMPONIBILECTRAGG=5000 FENPVCONTRIBAGGCORRENTE=50 "
                    "FENPVCONTRIBUTODIP=842.42 FENPVCONTRIBUTOAMM=2182.58 FENPVCONTRECCMASSSPETDIP=70.83 "
                    "FENPVCONTRECCMASSSPETAMM=70.83 FVARRRITDIP=963.25 FVARRRITAMM=2253.41 LVARRMINIMALEAPPL=0"},
        CeilingCase{"BelowTheCeilingOnlyTheAdditionalContribution", 1, "6000", 20,
                    "FENPVIMPONIBILEBASE=6000 FENPVIMPECCMASSSPET=0 FENPVIMPONIBILECTRAGG=1833.33 "
                    "FENPVCONTRIBAGGCORRENTE=18.33 FENPVCONTRIBUTODIP=551.4 FVARRIMPONIBILEAMM=6000 "
                    "FVARRRITDIP=569.73 FVARRRITAMM=1428.6"},
        CeilingCase{"BelowTheThresholdNothingChanges", 1, "3000", 20,
                    "FENPVIMPONIBILEBASE=3000 FENPVIMPONIBILECTRAGG=0 FENPVCONTRIBUTODIP=0 FVARRRITDIP=275.7 "
                    "FVARRRITAMM=714.3"},
        // Daily 200: band from 0, threshold 150, ceiling 300.
        CeilingCase{"DailyRegimeWithinTheDailyCeiling", 0, "4000", 20,
                    "FENPVIMPONIBILEBASE=4000 FENPVIMPECCMASSSPET=0 FENPVIMPONIBILECTRAGG=1000 FVARRRITDIP=377.6"},
        // Daily 400: band from 250, threshold 160, ceiling 320.
        CeilingCase{"DailyRegimeAboveTheDailyCeiling", 0, "8000", 20,
                    "FENPVIMPONIBILEBASE=6400 FENPVIMPECCMASSSPET=1600 FVARRIMPONIBILEDIP=6400 "
                    "FVARRIMPONIBILEAMM=6400 FENPVIMPONIBILECTRAGG=3200 FENPVCONTRIBAGGCORRENTE=32 "
                    "FVARRRITDIP=660.16 FVARRRITAMM=1563.84"},
        CeilingCase{"DailyRegimeWithoutDaysWorkedStops", 0, "4000", 0,
                    "FENPVIMPONIBILEBASE=0 FVARRRITDIP=367.6 LVARRMINIMALEAPPL=0"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Enpals, NoPaymentsOfTheYearStopsWithoutDividing)
{
    worker(20, 1, "12000", 0);
    worker(21, 1, "12000", -1); // no fund record at all
    for (int id : {20, 21}) {
        EnpalsSetup s(db(), 20);
        DataSet row;
        calculate(id, row);
        EXPECT_EQ(s["FENPVIMPONIBILEBASE"], C("0")) << id;
        EXPECT_EQ(amountOf(row, "FVARRIMPONIBILEAMM"), C("12000")) << id;
        EXPECT_EQ(amountOf(row, "FVARRRITDIP"), C("1102.8")) << id;
        row.post();
    }
}

TEST_F(Enpals, MinimumOfTheDaysWorkedCappedAt26)
{
    worker(20, 1, "500");
    EnpalsSetup s(db(), 30);
    DataSet row;
    calculate(20, row);
    // 26 x 50 = 1300; the administration pays the employee rate on the
    // difference: 500 x 23.81 % = 119.05, plus 800 x 9.19 % = 73.52.
    EXPECT_EQ(amountOf(row, "FVARRIMPONIBILEAMM"), C("1300"));
    EXPECT_EQ(amountOf(row, "FVARRIMPONIBILEDIP"), C("500"));
    EXPECT_EQ(amountOf(row, "FVARRRITAMM"), C("192.57"));
    EXPECT_EQ(amountOf(row, "FVARRRITDIP"), C("45.95"));
    EXPECT_EQ(row.fieldByName(QStringLiteral("LVARRMINIMALEAPPL")).asInteger(), 1);
    // The ceiling step does not run after the minimum.
    EXPECT_EQ(s.detail.state(), platform::DataSetState::Browse);

    // The daily minimum of the worker's year and relationship; none for a
    // relationship without a rate row.
    DataSet comp, again;
    readRows(db(), 20, comp, again);
    EXPECT_EQ(s.calc->MinimaleEnpals(comp), C("50"));
    DataSet other;
    other.addFieldDef(QStringLiteral("ITNOID"), FieldType::Integer);
    other.addFieldDef(QStringLiteral("IANFID"), FieldType::Integer);
    other.createDataSet();
    other.appendRecord({14, kAnf2024});
    EXPECT_EQ(s.calc->MinimaleEnpals(other), C("0"));
    row.post();
}

TEST_F(Enpals, YearWithoutCeilingsStopsTheCalculation)
{
    worker(20, 1, "12000", 12, kAnf2023);
    worker(21, 0, "4000", 12, kAnf2023);
    const std::pair<int, const char *> cases[] = {{20, "Massimale ex ENPALS annuale non trovato per l'anno 2023"},
                                                  {21, "Massimale ex ENPALS giornaliero non trovato per l'anno 2023"}};
    for (const auto &[id, message] : cases) {
        EnpalsSetup s(db(), 20);
        DataSet row;
        try {
            calculate(id, row);
            ADD_FAILURE() << "no exception for " << id;
        } catch (const ETovCalcola &e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(message));
        }
        row.cancel();
    }
}

} // namespace
