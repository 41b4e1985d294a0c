// The payroll archive's schema: made from nothing, brought up to date from
// an archive of an earlier script set, described by docs/ARCHIVE.md, and
// able to run every named statement and fixed statement the programs use.
#include "ArchiveTestSupport.h"
#include "archive/ArchiveScripts.h"
#include "tovUDBCdsLayouts.h"

#include "SqlQuery.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

using namespace archivetest;
using payroll::ArchiveScripts;

namespace {

QList<platform::DdlScript> scriptsUpTo(const QString &series, int lastNumber)
{
    QList<platform::DdlScript> out;
    for (const platform::DdlScript &s : ArchiveScripts::series(series))
        if (s.number <= lastNumber)
            out.append(s);
    return out;
}

int count(platform::Database &db, const QString &sql)
{
    platform::SqlQuery q(db);
    q.setSql(sql);
    q.open();
    return q.value(0).toInt();
}

} // namespace

TEST(ArchiveScripts, CompiledInScriptsAreTheSourceTreeScripts)
{
    for (const QString &series : {ArchiveScripts::FoundationSeries, ArchiveScripts::PayrollSeries}) {
        const auto embedded = ArchiveScripts::series(series);
        const auto source = platform::DatabaseCreator::scriptsFromFolder(sourcePath(series + "/sql"), series);
        ASSERT_EQ(embedded.size(), source.size()) << series.toStdString() << ": configure again to embed new scripts";
        for (int i = 0; i < embedded.size(); ++i) {
            EXPECT_EQ(embedded[i].name, source[i].name);
            EXPECT_EQ(embedded[i].text, source[i].text) << embedded[i].name.toStdString() << " changed: rebuild";
        }
    }
    EXPECT_FALSE(ArchiveScripts::series(ArchiveScripts::PayrollSeries).isEmpty());
}

TEST(ArchiveSchema, CreatedFromNothingHasEveryTableWithItsGenerator)
{
    auto fast = archiveDatabase({});
    TempDatabase &tdb = *fast;
    const QStringList run = platform::DatabaseCreator(ArchiveScripts::all()).upgrade(tdb.db());
    EXPECT_EQ(run.size(), ArchiveScripts::all().size());

    const QStringList tables = tableNames(tdb.db());
    const QStringList sequences = sequenceNames(tdb.db());
    const auto defs = tablesFromScripts(ArchiveScripts::series(ArchiveScripts::PayrollSeries));
    ASSERT_GT(defs.size(), 50);
    for (const TableDef &t : defs) {
        EXPECT_TRUE(tables.contains(t.name)) << t.name.toStdString();
        EXPECT_TRUE(sequences.contains("GEN_" + t.name)) << t.name.toStdString();
        EXPECT_LE(t.name.size(), 27) << t.name.toStdString() << ": its generator name would pass 31 characters";
        // The key is "I" + code + "ID" and comes first.
        const QString code = t.name.mid(1).section('_', 0, 0);
        ASSERT_FALSE(t.columns.isEmpty());
        EXPECT_EQ(t.columns.first().name, "I" + code + "ID") << t.name.toStdString();
        EXPECT_EQ(t.columns.first().key, QStringLiteral("PK")) << t.name.toStdString();
    }
    // The year tables come from the foundation's scripts, before ours.
    EXPECT_TRUE(tables.contains(QStringLiteral("TANF_ANNIFINANZ")));
    EXPECT_TRUE(tables.contains(QStringLiteral("TANS_ANNISCOLAST")));

    // A second run has nothing left to do.
    EXPECT_TRUE(platform::DatabaseCreator(ArchiveScripts::all()).upgrade(tdb.db()).isEmpty());
}

TEST(ArchiveSchema, EarlierArchiveIsUpgradedKeepingItsRows)
{
    QList<platform::DdlScript> earlier = ArchiveScripts::series(ArchiveScripts::FoundationSeries);
    earlier += scriptsUpTo(ArchiveScripts::PayrollSeries, 2);
    ASSERT_LT(earlier.size(), ArchiveScripts::all().size()) << "the upgrade needs later payroll scripts";
    auto tdb = archiveDatabase(earlier);
    platform::Database &db = tdb->db();
    EXPECT_FALSE(tableNames(db).contains(QStringLiteral("TREGS_REGISTROSTIP")));
    db.execute("INSERT INTO TANA_ANAGRAFICHE (IANAID, SANACOGNOME, SANANOME) VALUES (7, 'ROSSI', 'MARIA')");

    const QStringList run = platform::DatabaseCreator(ArchiveScripts::all()).upgrade(db);
    QStringList expected;
    for (const auto &s : ArchiveScripts::series(ArchiveScripts::PayrollSeries))
        if (s.number > 2)
            expected << s.name;
    EXPECT_EQ(run, expected);
    EXPECT_TRUE(tableNames(db).contains(QStringLiteral("TREGS_REGISTROSTIP")));
    EXPECT_TRUE(tableNames(db).contains(QStringLiteral("TYRPT_REPORT")));
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM TANA_ANAGRAFICHE WHERE IANAID = 7 AND SANANOME = 'MARIA'"), 1);

    // What the archive has run, by series.
    QSet<QString> applied;
    for (const auto &a : platform::DatabaseCreator::appliedScripts(db))
        applied.insert(a.series + "/" + a.name);
    for (const auto &s : ArchiveScripts::all())
        EXPECT_TRUE(applied.contains(s.series + "/" + s.name)) << s.name.toStdString();
}

TEST(ArchiveSchema, ForeignKeysRefuseOrphanPayRows)
{
    auto fast = archiveDatabase(ArchiveScripts::all());
    TempDatabase &tdb = *fast;
    // A withholding row of a register that does not exist.
    tdb.db().execute("INSERT INTO TRICE_RITENUTE (IRICEID, IRICENUBRACODE, SRICELDESC) VALUES (3, 3, 'INPS')");
    EXPECT_THROW(tdb.db().execute("INSERT INTO TVARR_VARRITENUTE (IVARRID, IREGSID, IRICEID) VALUES (1, 99, 3)"),
                 platform::EDatabaseError);
    // A pay row must belong to a register or a liquidation.
    EXPECT_THROW(tdb.db().execute("INSERT INTO TVARR_VARRITENUTE (IVARRID, IRICEID) VALUES (1, 3)"),
                 platform::EDatabaseError);
    // The month is 1 to 12.
    EXPECT_THROW(tdb.db().execute("INSERT INTO TMES_MESI (IMESID, SMESLDESC) VALUES (13, 'Tredicesima')"),
                 platform::EDatabaseError);
}

TEST(ArchiveDocument, DescribesExactlyTheTablesAndColumnsOfTheScripts)
{
    const auto fromDdl = tablesFromScripts(ArchiveScripts::series(ArchiveScripts::PayrollSeries));
    const auto fromDoc = tablesFromDocument(readText(sourcePath("docs/ARCHIVE.md")));
    QStringList ddlNames, docNames;
    for (const auto &t : fromDdl)
        ddlNames << t.name;
    for (const auto &t : fromDoc)
        docNames << t.name;
    ASSERT_EQ(docNames, ddlNames) << "docs/ARCHIVE.md lists other tables (or in another order) than payroll/sql";
    for (int i = 0; i < fromDdl.size(); ++i) {
        const TableDef &ddl = fromDdl[i];
        const TableDef &doc = fromDoc[i];
        const std::string table = ddl.name.toStdString();
        EXPECT_EQ(doc.script, ddl.script) << table;
        EXPECT_EQ(doc.generator, ddl.generator) << table;
        ASSERT_EQ(doc.columns.size(), ddl.columns.size()) << table;
        for (int c = 0; c < ddl.columns.size(); ++c) {
            EXPECT_EQ(doc.columns[c].name, ddl.columns[c].name) << table;
            EXPECT_EQ(doc.columns[c].type, ddl.columns[c].type) << table << "." << ddl.columns[c].name.toStdString();
            EXPECT_EQ(doc.columns[c].key, ddl.columns[c].key) << table << "." << ddl.columns[c].name.toStdString();
        }
    }
}

TEST(ArchiveDocument, StatementParametersAreTheDocumentedOnes)
{
    const auto documented = documentedStatementParameters(readText(sourcePath("docs/ARCHIVE.md")));
    ASSERT_GT(documented.size(), 100);
    static const QRegularExpression word(QStringLiteral("\\b\\w+\\b"));
    for (const NamedStatement &s : catalogueStatements()) {
        ASSERT_TRUE(documented.contains(s.name)) << s.name.toStdString() << " is not in docs/ARCHIVE.md";
        QSet<QString> words;
        auto it = word.globalMatch(documented.value(s.name));
        while (it.hasNext())
            words.insert(it.next().captured(0).toUpper());
        for (const QString &p : platform::SqlStatement::parse(s.sql).uniqueNames())
            EXPECT_TRUE(words.contains(p.toUpper()))
                << s.name.toStdString() << " takes :" << p.toStdString() << ", not documented";
    }
}

class ArchiveStatements : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_db = archiveDatabase(ArchiveScripts::all()).release(); }
    static void TearDownTestSuite()
    {
        delete s_db;
        s_db = nullptr;
    }
    static TempDatabase *s_db;
};
TempDatabase *ArchiveStatements::s_db = nullptr;

TEST_F(ArchiveStatements, EveryCatalogueStatementPrepares)
{
    const auto statements = catalogueStatements();
    ASSERT_FALSE(statements.isEmpty());
    static const QSet<QString> kinds{"SELECT", "EXECUTE", "INSERT", "UPDATE", "DELETE", "RICERCA"};
    QSet<QString> seen;
    for (const NamedStatement &s : statements) {
        EXPECT_TRUE(kinds.contains(s.kind)) << s.name.toStdString();
        const QString key = s.name + "/" + s.kind + "/" + QString::number(s.index);
        EXPECT_FALSE(seen.contains(key)) << "twice: " << key.toStdString();
        seen.insert(key);
        for (const QString &text : formattedForPrepare(s))
            EXPECT_EQ(prepareError(s_db->db(), text), QString()) << s.name.toStdString() << "\n" << text.toStdString();
    }
}

// Statements the programs build in code, on the archive's tables: they must
// keep running against the schema as it grows.
TEST_F(ArchiveStatements, FixedStatementsOfTheProgramsPrepare)
{
    const QStringList fixed{
        // repairs run at every open of the archive
        "UPDATE TVARR_VARRITENUTE VARR SET  VARR.FVARRIMPONIBILEDIP = 0, VARR.FVARRPERCIMPDIP = 0 WHERE "
        "VARR.IRICEID IN (14,15) AND VARR.FVARRRITDIP = 0 AND VARR.FVARRIMPONIBILEDIP > 0 ",
        "UPDATE TVARR_VARRITENUTE VARR SET  VARR.FVARRIMPONIBILEAMM = 0, VARR.FVARRPERCIMPAMM = 0 WHERE "
        "VARR.IRICEID IN (14,15) AND VARR.FVARRRITAMM = 0 AND VARR.FVARRIMPONIBILEAMM > 0",
        "UPDATE TCUFO_FONDICU SET ICUFOTIPOSCUOLA = 1 WHERE COALESCE(ICUFOTIPOSCUOLA,0)=0 ",
        // the thirteenth month's INPS retention (2023 exemption split)
        "SELECT DISTINCT VARR.IRICEID FROM TREGS_REGISTROSTIP REGS INNER JOIN TVARM_VARIAZIONI VARM ON "
        "VARM.IACOMID=REGS.IACOMID AND VARM.IMESID=REGS.IMESID AND VARM.ICOTID=REGS.ICOTID INNER JOIN "
        "TVARR_VARRITENUTE VARR ON VARR.IVARMID=VARM.IVARMID INNER JOIN TCOMR_RIGHECOMP COMR ON "
        "COMR.ICOMRID=VARR.ICOMRID WHERE REGS.IREGSID=:IREGSID AND VARR.FVARRIMPONIBILE > 0 AND "
        "COMR.ICOMRGRUPPO=3 AND VARR.IRICEID IN (:RICE_COD_INPS_OI,:RICE_COD_INPS_PT)",
        // the month's IVS exemptions of the calculated registers (2023, 2024)
        "SELECT REGS.IACOMID, REGS.IREGSID, "
        "COALESCE((SELECT VACR.FVACRLORDO FROM TVACR_VARCOMPRIGHE VACR WHERE VACR.IREGSID=REGS.IREGSID AND "
        "VACR.IVARMID IS NULL AND VACR.ICOMRID=:COMR_ESONERO_IVS_STIP), 0) AS ESONERO_STIP, "
        "COALESCE((SELECT VACR.FVACRLORDO FROM TVACR_VARCOMPRIGHE VACR WHERE VACR.IREGSID=REGS.IREGSID AND "
        "VACR.IVARMID IS NULL AND VACR.ICOMRID=:COMR_ESONERO_IVS_13), 0) AS ESONERO_13, "
        "COALESCE((SELECT VACR.FVACRLORDO FROM TVACR_VARCOMPRIGHE VACR WHERE VACR.IREGSID=REGS.IREGSID AND "
        "VACR.IVARMID IS NULL AND VACR.ICOMRID=:COMR_ESONERO_IVS_MADRI), 0) AS ESONERO_MADRI, "
        "CAST(0 AS NUMERIC(11,2)) AS ESONERO, "
        "(SELECT VACR.FVACRPERCESONEROIVS FROM TVACR_VARCOMPRIGHE VACR WHERE VACR.IREGSID=REGS.IREGSID AND "
        "VACR.IVARMID IS NULL AND VACR.ICOMRID=:COMR_ESONERO_IVS_STIP) AS TAGLIO_STIP, "
        "(SELECT VARR.FVARRIMPONIBILEDIP FROM TVARR_VARRITENUTE VARR WHERE VARR.IREGSID=REGS.IREGSID AND "
        "VARR.ICOMRID IS NULL AND VARR.IVARMID IS NULL AND NOT VARR.FVARRRITDIP = 0 AND "
        "VARR.IRICEID=:RICE_COD_INPDAP) AS IMPINPDAP, "
        "(SELECT VARR.FVARRRITDIP FROM TVARR_VARRITENUTE VARR WHERE VARR.IREGSID=REGS.IREGSID AND "
        "VARR.ICOMRID IS NULL AND VARR.IVARMID IS NULL AND VARR.IRICEID=:RICE_COD_INPS_OI) AS RITINPSOI, "
        "CAST(0 AS NUMERIC(11,2)) AS ESONERO_INPDAP "
        "FROM TREGS_REGISTROSTIP REGS WHERE REGS.IANFID=:IANFID AND REGS.IMESID=:IMESID AND "
        "REGS.ICOTID=:ICOTID AND REGS.IDWGID=:IDWGID AND REGS.LREGSCALCOLATA=1 AND REGS.LREGSLIQDAALTRI=0 "
        "AND REGS.IREGSGRUPPO=:IREGSGRUPPO",
        // the employee window's citizenship search
        "SELECT STA.SSTAISTAT, STA.SSTALDESC FROM TSTA_STATI STA WHERE STA.SSTAISTAT IS NOT NULL",
    };
    for (const QString &sql : fixed)
        EXPECT_EQ(prepareError(s_db->db(), sql), QString()) << sql.toStdString();
}

TEST(ArchiveSchema, CreationAndUpgradeInstallTheRegisteredLayouts)
{
    auto tdb = archiveDatabase(ArchiveScripts::series(ArchiveScripts::FoundationSeries));
    platform::Database &db = tdb->db();
    const QString folder = sourcePath(QStringLiteral("foundation/testdata/layouts"));
    const int expected = int(TTovDBCdsLayouts::ReadFolder(folder).size());
    ASSERT_GT(expected, 0);

    TTovDBCdsLayouts::RegisterFolder(folder);
    struct Unregister {
        QString folder;
        ~Unregister() { TTovDBCdsLayouts::UnregisterFolder(folder); }
    } unregister{folder};

    ArchiveScripts::createOrUpgrade(db);
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM TCDS_STRUTTURA"), expected);
    // A second run finds them unchanged and adds none.
    ArchiveScripts::createOrUpgrade(db);
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM TCDS_STRUTTURA"), expected);
}
