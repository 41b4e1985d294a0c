// The store's layouts as project files and their installation into
// TCDS_STRUTTURA when an archive is created or upgraded.
#include "tovUDBCdsTestSupport.h"

#include "DataSetFile.h"
#include "Exceptions.h"
#include "UqTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace storetest;

namespace {

QString sampleFolder()
{
    const QString root = QStringLiteral(ZEP_TEST_SOURCE_DIR);
    return QDir(root).filePath(QStringLiteral("foundation/testdata/layouts"));
}

void writeFile(const QString &path, const QByteArray &text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

const QByteArray ManifestHead =
    "<DataSet><Fields>"
    "<Field name=\"SCDSPROGRAMMA\" type=\"String\"/><Field name=\"SCDSNOME\" type=\"String\"/>"
    "<Field name=\"ICDSANNO\" type=\"Integer\"/><Field name=\"LCDSANAGRAFICA\" type=\"Integer\"/>"
    "<Field name=\"SCDSFIELDMAP\" type=\"String\"/><Field name=\"SCDSSCHEMA\" type=\"String\"/>"
    "</Fields><Rows>";

// Expects Check to refuse the layout with a message containing `why`.
void expectRefused(const TTovDBCdsLayout &layout, const QString &why)
{
    try {
        TTovDBCdsLayouts::Check(layout);
        ADD_FAILURE() << "accepted; expected: " << why.toStdString();
    } catch (const EUqError &e) {
        EXPECT_TRUE(e.message().contains(why)) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(layout.Key())) << e.message().toStdString();
    }
}

} // namespace

class StoreLayoutsTest : public StoreTest {
protected:
    int layoutRows() { return count(QStringLiteral("SELECT COUNT(*) FROM TCDS_STRUTTURA")); }
};

TEST_F(StoreLayoutsTest, FolderOfTheProjectIsInstalledAndServesItsPeriods)
{
    const QList<TTovDBCdsLayout> layouts = TTovDBCdsLayouts::ReadFolder(sampleFolder());
    ASSERT_EQ(layouts.size(), 3);
    EXPECT_EQ(layouts[1].Key(), QStringLiteral("zep/TTST_DIPENDENTI 2013/6"));
    EXPECT_TRUE(layouts[2].registryOwner);
    EXPECT_TRUE(layouts[2].source.endsWith(QStringLiteral("TCDS_STRUTTURA.xml, riga 3")));

    const auto result = TTovDBCdsLayouts::InstallFolders(tdb.db(), {sampleFolder()});
    EXPECT_EQ(result.inserted.size(), 3);
    EXPECT_EQ(layoutRows(), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TCDS_STRUTTURA WHERE SCDSNOME = 'TTST_AMMINISTRAZIONE' "
                    "AND ICDSANNO IS NULL AND ICDSMESE IS NULL AND LCDSANAGRAFICA = 1 AND ICDSRIGO = 0"),
              1);

    DataSet ds;
    store.LoadPeriod(ds, QStringLiteral("TTST_DIPENDENTI"), 2013, 5);
    EXPECT_FALSE(ds.findField(QStringLiteral("DataAssunzione")));
    EXPECT_EQ(ds.indexFieldNames(), QStringLiteral("Cognome;Nome"));
    EXPECT_EQ(ds.fieldByName(QStringLiteral("CFLavoratore")).displayLabel(), QStringLiteral("Codice fiscale"));
    store.LoadPeriod(ds, QStringLiteral("TTST_DIPENDENTI"), 2013, 6);
    EXPECT_TRUE(ds.findField(QStringLiteral("DataAssunzione")));
    add(ds, {{QStringLiteral("Cognome"), QStringLiteral("ROSSI")},
             {QStringLiteral("Matricola"), QStringLiteral("M1")},
             {QStringLiteral("Qualifica2"), QStringLiteral("I")},
             {QStringLiteral("DataAssunzione"), QDate(2013, 6, 3)}});
    store.SavePeriod(ds, QStringLiteral("TTST_DIPENDENTI"), 2013, 6);
    EXPECT_EQ(scalar("SELECT SAFIGRUPPOANA FROM TAFI_ANAFISCALE"), Value(QStringLiteral("M1I")));

    // Installing again, as a program that registered its folder does at
    // every upgrade, finds nothing to do.
    TTovDBCdsLayouts::RegisterFolder(sampleFolder());
    TTovDBCdsLayouts::RegisterFolder(sampleFolder());
    EXPECT_EQ(TTovDBCdsLayouts::RegisteredFolders(), QStringList{sampleFolder()});
    const auto again = TTovDBCdsLayouts::InstallRegistered(tdb.db());
    TTovDBCdsLayouts::UnregisterFolder(sampleFolder());
    EXPECT_TRUE(again.inserted.isEmpty());
    EXPECT_TRUE(again.updated.isEmpty());
    EXPECT_EQ(again.unchanged.size(), 3);
}

TEST_F(StoreLayoutsTest, ChangedLayoutIsUpdatedInPlaceKeepingIdCounterAndValues)
{
    install(makeLayout(QStringLiteral("TTST_SEMPLICE"), plainFields(), 2020, 1));
    const int id = count("SELECT ICDSID FROM TCDS_STRUTTURA");
    DataSet ds;
    store.Load(ds, QStringLiteral("TTST_SEMPLICE"));
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("A")}});
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("B")}});
    store.Save(ds, QStringLiteral("TTST_SEMPLICE"));

    FieldDefs defs = plainFields();
    defs.append({QStringLiteral("Nota"), FieldType::String, 80});
    const auto result = TTovDBCdsLayouts::Install(tdb.db(), {makeLayout(QStringLiteral("ttst_semplice"), defs, 2020, 1,
                                                                        {}, false, true)});
    EXPECT_EQ(result.updated, QStringList{QStringLiteral("zep/ttst_semplice 2020/1")});
    EXPECT_EQ(layoutRows(), 1);
    EXPECT_EQ(count("SELECT ICDSID FROM TCDS_STRUTTURA"), id);
    EXPECT_EQ(counter(QStringLiteral("TTST_SEMPLICE")), 2);
    EXPECT_EQ(count("SELECT LCDSFMAPREADONLY FROM TCDS_STRUTTURA"), 1);
    store.Load(ds, QStringLiteral("TTST_SEMPLICE"));
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_TRUE(ds.findField(QStringLiteral("Nota")));

    // A layout from a later period is a row of its own.
    install(makeLayout(QStringLiteral("TTST_SEMPLICE"), plainFields(), 2022, 1));
    EXPECT_EQ(layoutRows(), 2);
}

TEST_F(StoreLayoutsTest, LayoutsTheStoreCouldNotServeAreRefused)
{
    const TTovDBCdsLayout good = makeLayout(QStringLiteral("TTST_PERSONE"), personFields(), 2024, 1, PersonMap);
    EXPECT_NO_THROW(TTovDBCdsLayouts::Check(good));

    FieldDefs noRigo = personFields();
    noRigo.removeAt(0);
    expectRefused(makeLayout(QStringLiteral("TTST_A"), noRigo), QStringLiteral("iFisRigo"));
    FieldDefs textRigo = plainFields();
    textRigo[0].type = FieldType::String;
    expectRefused(makeLayout(QStringLiteral("TTST_A"), textRigo), QStringLiteral("iFisRigo"));
    expectRefused(makeLayout(QStringLiteral("TTST_A"), plainFields(), 0, 0, QStringLiteral("saficognome=Codice")),
                  QStringLiteral("iAfiID"));
    expectRefused(makeLayout(QStringLiteral("TTST_A"), plainFields(), 0, 0, {}, true), QStringLiteral("iAfiID"));
    expectRefused(makeLayout(QStringLiteral("TTST_A"), personFields(), 0, 0, QStringLiteral("sanacognome=Cognome")),
                  QStringLiteral("sanacognome=Cognome"));
    expectRefused(makeLayout(QStringLiteral("TTST_A"), personFields(), 0, 0,
                             QStringLiteral("safigruppoana=Matricola+Ruolo")),
                  QStringLiteral("Ruolo"));
    expectRefused(makeLayout(QStringLiteral("TTST_A"), plainFields(), 2024, 13), QStringLiteral("mese"));
    expectRefused(makeLayout(QStringLiteral("TTST_A"), plainFields(), -1, 0), QStringLiteral("anno"));
    expectRefused(makeLayout(QString(), plainFields()), QStringLiteral("obbligatori"));
    expectRefused(makeLayout(QStringLiteral("T").repeated(61), plainFields()), QStringLiteral("60"));
    FieldDefs longName = plainFields();
    longName.append({QStringLiteral("X").repeated(64), FieldType::Integer});
    expectRefused(makeLayout(QStringLiteral("TTST_A"), longName), QStringLiteral("63"));
    TTovDBCdsLayout withRecords = makeLayout(QStringLiteral("TTST_A"), plainFields());
    {
        DataSet full;
        full.setFieldDefs(plainFields());
        full.createDataSet();
        add(full, {{QStringLiteral("Codice"), QStringLiteral("X")}});
        withRecords.schema = platform::DataSetFile::saveToBlob(full);
    }
    expectRefused(withRecords, QStringLiteral("record"));
    TTovDBCdsLayout noSchema = makeLayout(QStringLiteral("TTST_A"), plainFields());
    noSchema.schema = "not a dataset";
    expectRefused(noSchema, QStringLiteral("non valida"));
}

TEST_F(StoreLayoutsTest, InstallationIsAllOrNone)
{
    const TTovDBCdsLayout first = makeLayout(QStringLiteral("TTST_UNO"), plainFields());
    FieldDefs noRigo = plainFields();
    noRigo.removeAt(0);
    EXPECT_THROW(TTovDBCdsLayouts::Install(tdb.db(), {first, makeLayout(QStringLiteral("TTST_DUE"), noRigo)}),
                 EUqError);
    EXPECT_EQ(layoutRows(), 0);
    // The same identity twice, letters in another case.
    try {
        TTovDBCdsLayouts::Install(tdb.db(), {first, makeLayout(QStringLiteral("ttst_uno"), plainFields())});
        FAIL() << "a layout described twice must be refused";
    } catch (const EUqError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("due volte"))) << e.message().toStdString();
    }
    EXPECT_EQ(layoutRows(), 0);
    // Inside a caller's transaction: the caller decides.
    {
        TUqTransaction upgrade(&tdb.db());
        upgrade.Start();
        TTovDBCdsLayouts::Install(tdb.db(), {first});
        EXPECT_TRUE(tdb.db().inTransaction());
        upgrade.Rollback();
    }
    EXPECT_EQ(layoutRows(), 0);
}

TEST_F(StoreLayoutsTest, FaultyFoldersNameTheFileAtFault)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto readError = [&]() -> QString {
        try {
            TTovDBCdsLayouts::ReadFolder(dir.path());
        } catch (const platform::Exception &e) {
            return e.message();
        }
        return {};
    };
    EXPECT_TRUE(readError().contains(QStringLiteral("TCDS_STRUTTURA.xml"))) << "no manifest";

    const QString manifest = dir.filePath(QStringLiteral("TCDS_STRUTTURA.xml"));
    writeFile(manifest,
              ManifestHead
                  + "<Row SCDSPROGRAMMA=\"zep\" SCDSNOME=\"TTST_A\" SCDSSCHEMA=\"manca.xml\"/></Rows></DataSet>");
    EXPECT_TRUE(readError().contains(QStringLiteral("manca.xml")));

    // A schema in the binary form is read too; a flag must be 0 or 1.
    DataSet empty;
    empty.setFieldDefs(plainFields());
    empty.createDataSet();
    platform::DataSetFile::saveToFile(empty, dir.filePath(QStringLiteral("a.cds")));
    writeFile(manifest,
              ManifestHead
                  + "<Row SCDSPROGRAMMA=\"zep\" SCDSNOME=\"TTST_A\" ICDSANNO=\"2024\" SCDSSCHEMA=\"a.cds\"/>"
                    "<Row SCDSPROGRAMMA=\"zep\" SCDSNOME=\"TTST_B\" LCDSANAGRAFICA=\"2\" SCDSSCHEMA=\"a.cds\"/>"
                    "</Rows></DataSet>");
    const QString flagError = readError();
    EXPECT_TRUE(flagError.contains(QStringLiteral("riga 2")) && flagError.contains(QStringLiteral("LCDSANAGRAFICA")))
        << flagError.toStdString();
    writeFile(manifest, ManifestHead
                            + "<Row SCDSPROGRAMMA=\"zep\" SCDSNOME=\"TTST_A\" ICDSANNO=\"2024\" SCDSSCHEMA=\"a.cds\"/>"
                              "</Rows></DataSet>");
    const auto layouts = TTovDBCdsLayouts::ReadFolder(dir.path());
    ASSERT_EQ(layouts.size(), 1);
    EXPECT_EQ(layouts[0].year, 2024);

    // A broken manifest: the dataset file's own error, naming it.
    writeFile(manifest, "<DataSet><Fields>");
    EXPECT_TRUE(readError().contains(QStringLiteral("TCDS_STRUTTURA.xml")));
    writeFile(manifest, "<DataSet><Fields><Field name=\"SCDSNOME\" type=\"String\"/></Fields></DataSet>");
    EXPECT_TRUE(readError().contains(QStringLiteral("SCDSPROGRAMMA")));
}
