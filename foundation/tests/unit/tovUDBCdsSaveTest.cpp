// The declaration-table store's saves on a real embedded archive: row
// numbers, rewrites, deletes, the person registry, periods, transactions and
// failures.
#include "tovUDBCdsTestSupport.h"

#include "Exceptions.h"
#include "UqTransaction.h"

using namespace storetest;

namespace {

const QString Persone = QStringLiteral("TTST_PERSONE");
const QString Semplice = QStringLiteral("TTST_SEMPLICE");

} // namespace

class StoreSaveTest : public StoreTest {
protected:
    StoreSaveTest()
    {
        install({makeLayout(Semplice, plainFields()), makeLayout(Persone, personFields(), 0, 0, PersonMap)});
    }
    int rowsOf(int rigo)
    {
        return count(QStringLiteral("SELECT COUNT(*) FROM TFIS_DATIFISCALI WHERE IFISRIGO = %1").arg(rigo));
    }
    Value stored(int rigo, const QString &field, const QString &column = QStringLiteral("SFISVALUE"))
    {
        return scalar(QStringLiteral("SELECT %1 FROM TFIS_DATIFISCALI WHERE IFISRIGO = %2 AND SFISFIELDNAME = '%3'")
                          .arg(column)
                          .arg(rigo)
                          .arg(field));
    }
    int registryRows() { return count(QStringLiteral("SELECT COUNT(*) FROM TAFI_ANAFISCALE")); }
};

TEST_F(StoreSaveTest, InsertsTakeTheNextRowNumbersOfTheLayoutAcrossPeriods)
{
    tdb.db().execute(QStringLiteral("UPDATE TCDS_STRUTTURA SET ICDSRIGO = 40 WHERE SCDSNOME = 'TTST_SEMPLICE'"));
    DataSet ds;
    store.Load(ds, Semplice);
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("A")}});
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("B")}});
    store.Save(ds, Semplice);
    EXPECT_EQ(column(ds, "iFisRigo"), (QList<Value>{41, 42}));
    EXPECT_EQ(counter(Semplice), 42);
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(counter(Persone), 0) << "each layout has its own counter";

    // Another period of the same layout goes on from there.
    DataSet april;
    store.LoadPeriod(april, Semplice, 2024, 4);
    add(april, {{QStringLiteral("Codice"), QStringLiteral("C")}});
    store.SavePeriod(april, Semplice, 2024, 4);
    EXPECT_EQ(column(april, "iFisRigo"), QList<Value>{43});
    EXPECT_EQ(counter(Semplice), 43);

    // A save without new records leaves the counter alone.
    ds.first();
    ds.edit();
    ds.setFieldValue("Numero", 5);
    ds.post();
    store.Save(ds, Semplice);
    EXPECT_EQ(counter(Semplice), 43);
    store.Save(ds, Semplice); // nothing pending
    EXPECT_EQ(counter(Semplice), 43);
}

TEST_F(StoreSaveTest, ModifyingOneFieldRewritesEveryValueRowOfTheRecord)
{
    DataSet ds;
    store.Load(ds, Semplice);
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("A")}, {QStringLiteral("Numero"), 1}});
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("B")}, {QStringLiteral("Numero"), 2}});
    store.Save(ds, Semplice);
    // Marks the stored rows so that a rewrite shows.
    tdb.db().execute(
        QStringLiteral("UPDATE TFIS_DATIFISCALI SET SFISVALUE = 'vecchio' WHERE SFISFIELDNAME = 'Codice'"));

    ASSERT_TRUE(locate(ds, "Codice", QStringLiteral("A")));
    ds.edit();
    ds.setFieldValue("Numero", 10);
    ds.post();
    store.Save(ds, Semplice);
    EXPECT_EQ(stored(1, "Codice"), Value(QStringLiteral("A"))) << "the unchanged field is written again";
    EXPECT_EQ(stored(1, "Numero", "IFISVALUE"), Value(10));
    EXPECT_EQ(rowsOf(1), 2);
    EXPECT_EQ(stored(2, "Codice"), Value(QStringLiteral("vecchio"))) << "the other record is not touched";

    // Emptying a field removes its row.
    ds.edit();
    ds.setFieldValue("Numero", 0);
    ds.post();
    store.Save(ds, Semplice);
    EXPECT_EQ(rowsOf(1), 1);
}

TEST_F(StoreSaveTest, DeleteRemovesTheValueRowsAndTheRegistryRowOnlyWhenTheDatasetOwnsIt)
{
    install(makeLayout(QStringLiteral("TTST_PROPRIE"), personFields(), 0, 0, PersonMap, true));
    DataSet shared, owned;
    store.Load(shared, Persone);
    store.Load(owned, QStringLiteral("TTST_PROPRIE"));
    addPerson(shared, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"));
    addPerson(owned, QStringLiteral("BIANCHI"), QStringLiteral("BNCLGU80A01H501U"));
    store.Save(shared, Persone);
    store.Save(owned, QStringLiteral("TTST_PROPRIE"));
    ASSERT_EQ(registryRows(), 2);
    const int sharedRegistry = shared.fieldValue("iAfiID").toInt();
    const int ownedRegistry = owned.fieldValue("iAfiID").toInt();

    shared.deleteRecord();
    owned.deleteRecord();
    store.Save(shared, Persone);
    store.Save(owned, QStringLiteral("TTST_PROPRIE"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI"), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TAFI_ANAFISCALE WHERE IAFIID = %1").arg(sharedRegistry)), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TAFI_ANAFISCALE WHERE IAFIID = %1").arg(ownedRegistry)), 0);
    store.Load(shared, Persone);
    EXPECT_TRUE(shared.isEmpty());
}

TEST_F(StoreSaveTest, RegistryHoldsTheMappedFieldsAndLoadsThemBack)
{
    DataSet ds;
    store.Load(ds, Persone);
    addPerson(ds, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"), QStringLiteral("M01"),
              QStringLiteral("Q1"));
    store.Save(ds, Persone);
    const int registry = ds.fieldValue("iAfiID").toInt();
    EXPECT_GT(registry, 0);
    platform::SqlQuery q(tdb.db());
    q.setSql(QStringLiteral("SELECT afi.*, crf.ICRFANNO, crf.ICRFMESE FROM TAFI_ANAFISCALE afi "
                            "JOIN TCRF_CROFISCALE crf ON crf.ICRFID = afi.ICRFID WHERE IAFIID = :ID"));
    q.bind("ID", registry);
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.value("SAFICOGNOME"), Value(QStringLiteral("ROSSI")));
    EXPECT_EQ(q.value("SAFINOME"), Value(QStringLiteral("NROSSI")));
    EXPECT_EQ(q.value("SAFICODFISCALE"), Value(QStringLiteral("RSSMRA80A01H501U")));
    EXPECT_EQ(q.value("SAFIGRUPPOANA"), Value(QStringLiteral("M01Q1")));
    EXPECT_EQ(q.value("ICRFANNO"), Value(2024));
    EXPECT_EQ(q.value("ICRFMESE"), Value(3));
    q.close();
    // Mapped fields are not value rows; Matricola and Qualifica2 are (only
    // the composite's whole text would name a field).
    QStringList names;
    q.setSql(QStringLiteral("SELECT SFISFIELDNAME, IAFIID FROM TFIS_DATIFISCALI ORDER BY SFISFIELDNAME"));
    for (q.open(); !q.eof(); q.next()) {
        names << q.value(0).toString();
        EXPECT_EQ(q.value(1), Value(registry));
    }
    EXPECT_EQ(names, (QStringList{"Giorni", "Matricola", "Qualifica2"}));

    DataSet back;
    store.Load(back, Persone);
    ASSERT_EQ(back.recordCount(), 1);
    EXPECT_EQ(back.fieldValue("Cognome"), Value(QStringLiteral("ROSSI")));
    EXPECT_EQ(back.fieldValue("CFLavoratore"), Value(QStringLiteral("RSSMRA80A01H501U")));
    EXPECT_EQ(back.fieldValue("iAfiID"), Value(registry));
    EXPECT_EQ(back.fieldValue("Matricola"), Value(QStringLiteral("M01")));

    // A changed surname goes to the registry row, which keeps its id.
    back.edit();
    back.setFieldValue("Cognome", QStringLiteral("ROSSI DE ROSSI"));
    back.post();
    store.Save(back, Persone);
    EXPECT_EQ(scalar(QStringLiteral("SELECT SAFICOGNOME FROM TAFI_ANAFISCALE WHERE IAFIID = %1").arg(registry)),
              Value(QStringLiteral("ROSSI DE ROSSI")));
    EXPECT_EQ(registryRows(), 1);
}

TEST_F(StoreSaveTest, DatasetsOfOnePeriodShareThePersonsRegistryRow)
{
    install(makeLayout(QStringLiteral("TTST_ALTRE"), personFields(), 0, 0, PersonMap));
    DataSet first, second;
    store.Load(first, Persone);
    addPerson(first, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"), QStringLiteral("M01"));
    store.Save(first, Persone);
    const Value rossi = first.fieldValue("iAfiID");

    store.Load(second, QStringLiteral("TTST_ALTRE"));
    // The same person, the fiscal code in other letters: found again.
    addPerson(second, QStringLiteral("ROSSI"), QStringLiteral("rssmra80a01h501u"), QStringLiteral("M01"));
    // The same code in another group: another row.
    addPerson(second, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"), QStringLiteral("M02"));
    store.Save(second, QStringLiteral("TTST_ALTRE"));
    EXPECT_EQ(column(second, "iAfiID").at(0), rossi);
    EXPECT_NE(column(second, "iAfiID").at(1), rossi);
    EXPECT_EQ(registryRows(), 2);

    // Another month does not see March's registry.
    DataSet april;
    store.LoadPeriod(april, QStringLiteral("TTST_ALTRE"), 2024, 4);
    addPerson(april, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"), QStringLiteral("M01"));
    store.SavePeriod(april, QStringLiteral("TTST_ALTRE"), 2024, 4);
    EXPECT_NE(april.fieldValue("iAfiID"), rossi);
    EXPECT_EQ(registryRows(), 3);
}

TEST_F(StoreSaveTest, PersonsWithoutAFiscalCodeNeverShareARegistryRow)
{
    DataSet ds;
    store.Load(ds, Persone);
    addPerson(ds, QStringLiteral("ROSSI"), QString());
    addPerson(ds, QStringLiteral("VERDI"), QString());
    addPerson(ds, QStringLiteral("NERI"), QStringLiteral("   "));
    store.Save(ds, Persone);
    const QList<Value> ids = column(ds, "iAfiID");
    EXPECT_NE(ids.at(0), ids.at(1));
    EXPECT_NE(ids.at(1), ids.at(2));
    EXPECT_EQ(registryRows(), 3);
    store.Load(ds, Persone);
    EXPECT_EQ(column(ds, "Cognome"),
              (QList<Value>{QStringLiteral("ROSSI"), QStringLiteral("VERDI"), QStringLiteral("NERI")}));
}

TEST_F(StoreSaveTest, DatasetThatOwnsItsRegistryRowsAlwaysMakesItsOwn)
{
    install(makeLayout(QStringLiteral("TTST_PROPRIE"), personFields(), 0, 0, PersonMap, true));
    DataSet shared, owned;
    store.Load(shared, Persone);
    addPerson(shared, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"));
    store.Save(shared, Persone);
    store.Load(owned, QStringLiteral("TTST_PROPRIE"));
    addPerson(owned, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"));
    store.Save(owned, QStringLiteral("TTST_PROPRIE"));
    EXPECT_NE(owned.fieldValue("iAfiID"), shared.fieldValue("iAfiID"));
    EXPECT_EQ(registryRows(), 2);
}

TEST_F(StoreSaveTest, ReadOnlyFieldMapGivesTheRegistryRowNoPersonColumns)
{
    install(makeLayout(QStringLiteral("TTST_LETTURA"), personFields(), 0, 0, PersonMap, false, true));
    DataSet ds;
    store.Load(ds, QStringLiteral("TTST_LETTURA"));
    addPerson(ds, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"), QStringLiteral("M01"));
    store.Save(ds, QStringLiteral("TTST_LETTURA"));
    const int registry = ds.fieldValue("iAfiID").toInt();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TAFI_ANAFISCALE WHERE IAFIID = %1 AND ICRFID IS NOT NULL "
                                   "AND SAFICOGNOME IS NULL AND SAFICODFISCALE IS NULL AND SAFIGRUPPOANA IS NULL")
                        .arg(registry)),
              1);
    // It reads the registry all the same: what another dataset wrote there.
    tdb.db().execute(QStringLiteral("UPDATE TAFI_ANAFISCALE SET SAFICOGNOME = 'DALL''ANAGRAFICA'"));
    store.Load(ds, QStringLiteral("TTST_LETTURA"));
    EXPECT_EQ(ds.fieldValue("Cognome"), Value(QStringLiteral("DALL'ANAGRAFICA")));
}

TEST_F(StoreSaveTest, CompositeRegistryColumnIsRewrittenOnEverySaveOfTheRecord)
{
    DataSet ds;
    store.Load(ds, Persone);
    addPerson(ds, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"), QStringLiteral("M01"),
              QStringLiteral("Q1"));
    add(ds, {{QStringLiteral("Cognome"), QStringLiteral("SENZA MATRICOLA")},
             {QStringLiteral("Qualifica2"), QStringLiteral("Q9")}});
    store.Save(ds, Persone);
    const int rossi = column(ds, "iAfiID").at(0).toInt();
    const int other = column(ds, "iAfiID").at(1).toInt();
    // A null part counts as empty text.
    EXPECT_EQ(scalar(QStringLiteral("SELECT SAFIGRUPPOANA FROM TAFI_ANAFISCALE WHERE IAFIID = %1").arg(other)),
              Value(QStringLiteral("Q9")));
    tdb.db().execute(QStringLiteral("UPDATE TAFI_ANAFISCALE SET SAFIGRUPPOANA = 'ALTERATO', SAFINOME = 'ALTERATO'"));

    ASSERT_TRUE(locate(ds, "Cognome", QStringLiteral("ROSSI")));
    ds.edit();
    ds.setFieldValue("Giorni", 20);
    ds.post();
    store.Save(ds, Persone);
    EXPECT_EQ(scalar(QStringLiteral("SELECT SAFIGRUPPOANA FROM TAFI_ANAFISCALE WHERE IAFIID = %1").arg(rossi)),
              Value(QStringLiteral("M01Q1")));
    // An unchanged single field is left as the registry has it.
    EXPECT_EQ(scalar(QStringLiteral("SELECT SAFINOME FROM TAFI_ANAFISCALE WHERE IAFIID = %1").arg(rossi)),
              Value(QStringLiteral("ALTERATO")));
    // The record not saved again is not touched.
    EXPECT_EQ(scalar(QStringLiteral("SELECT SAFIGRUPPOANA FROM TAFI_ANAFISCALE WHERE IAFIID = %1").arg(other)),
              Value(QStringLiteral("ALTERATO")));
}

TEST_F(StoreSaveTest, CompositeNamingAMissingFieldFailsTheSave)
{
    FieldDefs defs = personFields();
    defs.removeAt(6); // Qualifica2
    TTovDBCdsLayout layout = makeLayout(QStringLiteral("TTST_ROTTA"), defs, 0, 0,
                                        QStringLiteral("saficognome=Cognome"));
    install(layout);
    // Written by hand: the installer refuses such a map.
    tdb.db().execute(QStringLiteral("UPDATE TCDS_STRUTTURA SET SCDSFIELDMAP = 'saficognome=Cognome;"
                                    "safigruppoana=Matricola+Qualifica2' WHERE SCDSNOME = 'TTST_ROTTA'"));
    DataSet ds;
    store.Load(ds, QStringLiteral("TTST_ROTTA"));
    add(ds, {{QStringLiteral("Cognome"), QStringLiteral("ROSSI")}});
    EXPECT_THROW(store.Save(ds, QStringLiteral("TTST_ROTTA")), platform::EAssertionFailed);
    EXPECT_TRUE(ds.isEmpty());
    EXPECT_EQ(registryRows(), 0);
    EXPECT_EQ(counter(QStringLiteral("TTST_ROTTA")), 0);
}

TEST_F(StoreSaveTest, RecordWhoseOnlyValuesAreInTheRegistryLoadsAgain)
{
    DataSet ds;
    store.Load(ds, Persone);
    add(ds, {{QStringLiteral("Cognome"), QStringLiteral("SOLO ANAGRAFICA")}});
    add(ds, {{QStringLiteral("Giorni"), 0}}); // nothing at all: gone
    store.Save(ds, Persone);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI"), 1);
    store.Load(ds, Persone);
    ASSERT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.fieldValue("Cognome"), Value(QStringLiteral("SOLO ANAGRAFICA")));
    EXPECT_EQ(ds.fieldValue("iFisRigo"), Value(1));
    // Given a value of its own, it no longer needs the marker row.
    ds.edit();
    ds.setFieldValue("Giorni", 3);
    ds.post();
    store.Save(ds, Persone);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI WHERE SFISFIELDNAME = 'iFisRigo'"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI"), 1);
}

TEST_F(StoreSaveTest, FieldMapNamingAnythingButThePersonColumnsIsRefused)
{
    for (const QString &map :
         {QStringLiteral("saficognome=Cognome;iafiid=Giorni"), QStringLiteral("SAFICOGNOME = 1 WHERE 1=1; --=Cognome"),
          QStringLiteral("saficognome"), QStringLiteral("saficognome=Cognome;saficognome=Nome")}) {
        tdb.db().execute(QStringLiteral("UPDATE TCDS_STRUTTURA SET SCDSFIELDMAP = '%1' WHERE SCDSNOME = 'TTST_PERSONE'")
                             .arg(QString(map).replace("'", "''")));
        DataSet ds;
        try {
            store.Load(ds, Persone);
            FAIL() << "map accepted: " << map.toStdString();
        } catch (const EUqError &e) {
            EXPECT_TRUE(
                e.message().startsWith(QStringLiteral("Mappa dei campi del ClientDataSet (TTST_PERSONE) non valida")))
                << e.message().toStdString();
        }
    }
    // A save reads the map too, before writing anything.
    tdb.db().execute(QStringLiteral("UPDATE TCDS_STRUTTURA SET SCDSFIELDMAP = NULL WHERE SCDSNOME = 'TTST_PERSONE'"));
    DataSet ds;
    store.Load(ds, Persone);
    addPerson(ds, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"));
    tdb.db().execute(QStringLiteral("UPDATE TCDS_STRUTTURA SET SCDSFIELDMAP = 'saficognome=Cognome;icrfid=Giorni' "
                                    "WHERE SCDSNOME = 'TTST_PERSONE'"));
    EXPECT_THROW(store.Save(ds, Persone), EUqError);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TCRF_CROFISCALE"), 0);
}

TEST_F(StoreSaveTest, YearLevelSaveFilesRecordsUnderTheYearHeader)
{
    DataSet ds;
    store.LoadPeriod(ds, Semplice, 2024, 0);
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("ANNO")}});
    store.SetMonth(0);
    store.Save(ds, Semplice);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI fis JOIN TCRF_CROFISCALE crf ON crf.ICRFID = fis.ICRFID "
                    "WHERE crf.ICRFANNO = 2024 AND crf.ICRFMESE IS NULL AND crf.SCRFPROGRAMMA = 'zep'"),
              1);
    store.LoadPeriod(ds, Semplice, 2024, 0);
    EXPECT_EQ(ds.recordCount(), 1);
    store.LoadPeriod(ds, Semplice, 2024, 3);
    EXPECT_TRUE(ds.isEmpty());
    // Registry rows of the year level are found by year-level saves.
    DataSet a, b;
    install(makeLayout(QStringLiteral("TTST_ALTRE"), personFields(), 0, 0, PersonMap));
    store.LoadPeriod(a, Persone, 2024, 0);
    addPerson(a, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"));
    store.SavePeriod(a, Persone, 2024, 0);
    store.LoadPeriod(b, QStringLiteral("TTST_ALTRE"), 2024, 0);
    addPerson(b, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"));
    store.SavePeriod(b, QStringLiteral("TTST_ALTRE"), 2024, 0);
    EXPECT_EQ(a.fieldValue("iAfiID"), b.fieldValue("iAfiID"));
}

TEST_F(StoreSaveTest, RecordModifiedInASaveForAnotherPeriodMovesThere)
{
    DataSet ds;
    store.Load(ds, Semplice);
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("MARZO")}});
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("RESTA")}});
    store.Save(ds, Semplice);
    ASSERT_TRUE(locate(ds, "Codice", QStringLiteral("MARZO")));
    ds.edit();
    ds.setFieldValue("Codice", QStringLiteral("APRILE"));
    ds.post();
    store.SavePeriod(ds, Semplice, 2024, 4);
    DataSet check;
    store.LoadPeriod(check, Semplice, 2024, 4);
    EXPECT_EQ(column(check, "Codice"), QList<Value>{QStringLiteral("APRILE")});
    EXPECT_EQ(column(check, "iFisRigo"), QList<Value>{1});
    store.LoadPeriod(check, Semplice, 2024, 3);
    EXPECT_EQ(column(check, "Codice"), QList<Value>{QStringLiteral("RESTA")});
}

TEST_F(StoreSaveTest, FailingStatementLeavesCounterRowsAndDatasetAsBefore)
{
    DataSet ds;
    store.Load(ds, Semplice);
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("A")}, {QStringLiteral("Numero"), 1}});
    store.Save(ds, Semplice);
    ASSERT_EQ(counter(Semplice), 1);

    // Pending: a modification, a deletion-free insert that writes fine, and
    // an insert whose value the table refuses (longer than SFISVALUE).
    ds.first();
    ds.edit();
    ds.setFieldValue("Numero", 99);
    ds.post();
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("B")}});
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("C")}});
    tdb.db().execute(
        QStringLiteral("ALTER TABLE TFIS_DATIFISCALI ADD CONSTRAINT CK_TEST_NOC CHECK (SFISVALUE <> 'C')"));

    EXPECT_THROW(store.Save(ds, Semplice), platform::EDatabaseError);
    EXPECT_FALSE(tdb.db().inTransaction());
    EXPECT_EQ(counter(Semplice), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI"), 2);
    EXPECT_EQ(stored(1, "Numero", "IFISVALUE"), Value(1));
    // The dataset is back at its last saved state.
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.fieldValue("Numero"), Value(1));

    // zepdb words the same failure as a change by another user.
    store.SetReportSaveErrorAsConcurrentChange(true);
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("C")}});
    try {
        store.Save(ds, Semplice);
        FAIL() << "the save must fail";
    } catch (const EUqError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Dati modificati da un altro utente. (\r\n")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("CK_TEST_NOC")));
        EXPECT_TRUE(e.message().endsWith(QStringLiteral(")")));
    }
    EXPECT_EQ(counter(Semplice), 1);
    EXPECT_EQ(ds.recordCount(), 1);

    // An unknown name: the plain message, the dataset as saved.
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("D")}});
    try {
        store.Save(ds, QStringLiteral("TTST_NESSUNO"));
        FAIL() << "the save must fail";
    } catch (const EUqError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Impossibile trovare il ClientDataSet (TTST_NESSUNO)."));
    }
    EXPECT_FALSE(tdb.db().inTransaction());
    EXPECT_EQ(ds.recordCount(), 1);
}

TEST_F(StoreSaveTest, SaveInTheCallersTransactionLeavesCommitAndRollbackToTheCaller)
{
    DataSet ds;
    store.Load(ds, Persone);
    {
        TUqTransaction person(&tdb.db());
        person.Start();
        addPerson(ds, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"));
        store.Save(ds, Persone);
        EXPECT_TRUE(tdb.db().inTransaction()) << "the store does not commit the caller's transaction";
        EXPECT_EQ(ds.changeCount(), 0);
        person.Rollback();
    }
    // Rolled back: nothing stored, the counter as before; the dataset in
    // memory is stale and must be reloaded.
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI"), 0);
    EXPECT_EQ(registryRows(), 0);
    EXPECT_EQ(counter(Persone), 0);
    EXPECT_EQ(ds.recordCount(), 1);
    store.Load(ds, Persone);
    EXPECT_TRUE(ds.isEmpty());

    // A failure inside the caller's transaction: raised, the transaction left
    // to the caller, the dataset back at its last saved state.
    tdb.db().execute(
        QStringLiteral("ALTER TABLE TFIS_DATIFISCALI ADD CONSTRAINT CK_TEST_GIORNI CHECK (IFISVALUE <> 26)"));
    TUqTransaction person(&tdb.db());
    person.Start();
    addPerson(ds, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"));
    EXPECT_THROW(store.Save(ds, Persone), platform::EDatabaseError);
    EXPECT_TRUE(tdb.db().inTransaction());
    EXPECT_TRUE(ds.isEmpty());
    person.Rollback();
    EXPECT_EQ(registryRows(), 0);
}

TEST_F(StoreSaveTest, OnlyADatasetLoadedByTheStoreCanBeSaved)
{
    DataSet ds;
    ds.setFieldDefs(plainFields());
    ds.createDataSet();
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("A")}});
    EXPECT_THROW(store.Save(ds, Semplice), EUqError);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI"), 0);
    EXPECT_EQ(ds.changeCount(), 1) << "refused before the save began: nothing changed";

    // A layout without "iFisRigo" (written by hand: the installer refuses
    // it) cannot take new records.
    DataSet bare;
    bare.setFieldDefs({{QStringLiteral("Codice"), FieldType::String, 20}});
    bare.createDataSet();
    bare.setProviderName(QStringLiteral("UtilProvider"));
    add(bare, {{QStringLiteral("Codice"), QStringLiteral("A")}});
    EXPECT_THROW(store.Save(bare, Semplice), platform::EDataSetError);
    EXPECT_EQ(counter(Semplice), 0);
    EXPECT_TRUE(bare.isEmpty());
}

TEST_F(StoreSaveTest, AnEditInProgressIsPostedAndSaved)
{
    DataSet ds;
    store.Load(ds, Semplice);
    ds.append();
    ds.setFieldValue("Codice", QStringLiteral("IN CORSO"));
    store.Save(ds, Semplice);
    EXPECT_EQ(ds.state(), platform::DataSetState::Browse);
    EXPECT_EQ(stored(1, "Codice"), Value(QStringLiteral("IN CORSO")));

    // An edit that cannot be posted stops the save before it begins: the
    // record stays in edit, the other pending changes stay pending.
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("PENDENTE")}});
    ds.events().beforePost = [](DataSet &d) {
        if (d.fieldValue("Codice") == Value(QStringLiteral("RIFIUTATO")))
            throw EUqError(QStringLiteral("rifiutato"));
    };
    ds.append();
    ds.setFieldValue("Codice", QStringLiteral("RIFIUTATO"));
    EXPECT_THROW(store.Save(ds, Semplice), EUqError);
    EXPECT_EQ(ds.state(), platform::DataSetState::Insert);
    EXPECT_EQ(ds.changeCount(), 1);
    EXPECT_EQ(counter(Semplice), 1);
}

TEST_F(StoreSaveTest, WideRecordsAreWrittenInBlocksAndRewrittenWholeOnlyWhenManyRowsDiffer)
{
    // 70 value fields in turn text, integer, amount, date (three blocks),
    // one of them with a quote in its name.
    FieldDefs defs = {{QStringLiteral("iFisRigo"), FieldType::Integer}};
    for (int i = 0; i < 70; ++i) {
        const FieldType types[] = {FieldType::String, FieldType::Integer, FieldType::Currency, FieldType::Date};
        defs.append(
            {i == 5 ? QStringLiteral("L'importo") : QStringLiteral("C%1").arg(i), types[i % 4], i % 4 == 0 ? 250 : 0});
    }
    install(makeLayout(QStringLiteral("TTST_LARGA"), defs));
    const auto valueOf = [](int field, int seed) -> Value {
        switch (field % 4) {
        case 0: return QStringLiteral("testo %1 %2").arg(field).arg(seed);
        case 1: return field * 1000 + seed;
        case 2: return platform::Currency::fromRaw(qint64(field) * 12345 + seed);
        default: return QDate(2024, 1, 1).addDays(field + seed);
        }
    };
    const auto fillRecord = [&](DataSet &ds, int seed, int fields) {
        for (int i = 0; i < fields; ++i)
            ds.field(i + 1)->setValue(valueOf(i, seed));
    };
    const auto expectStored = [&](const QList<int> &seeds) {
        DataSet back;
        store.Load(back, QStringLiteral("TTST_LARGA"));
        ASSERT_EQ(back.recordCount(), seeds.size());
        for (int r = 0; r < seeds.size(); ++r) {
            back.setRecNo(r + 1);
            for (int i = 0; i < 70; ++i)
                ASSERT_EQ(back.field(i + 1)->value(), valueOf(i, seeds[r])) << "record " << r << ", field " << i;
        }
        EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI"), 70 * seeds.size());
    };
    const auto versions = [&](int rigo) {
        QList<Value> out;
        platform::SqlQuery q(tdb.db());
        q.setSql(QStringLiteral("SELECT RDB$RECORD_VERSION FROM TFIS_DATIFISCALI WHERE IFISRIGO = %1 "
                                "ORDER BY SFISFIELDNAME")
                     .arg(rigo));
        for (q.open(); !q.eof(); q.next())
            out << q.value(0);
        return out;
    };

    DataSet ds;
    store.Load(ds, QStringLiteral("TTST_LARGA"));
    for (int seed : {1, 2}) {
        ds.append();
        fillRecord(ds, seed, 70);
        ds.post();
    }
    store.Save(ds, QStringLiteral("TTST_LARGA"));
    expectStored({1, 2});

    // Up to 16 differing rows are written one by one, the rest left alone
    // (the first of them by name also locks the record); more, and the
    // record is written again whole. The other record is never touched.
    const QList<Value> first = versions(1), second = versions(2);
    ds.first();
    ds.edit();
    fillRecord(ds, 3, 16);
    ds.post();
    store.Save(ds, QStringLiteral("TTST_LARGA"));
    QList<Value> now = versions(1);
    int kept = 0;
    for (int i = 0; i < now.size(); ++i)
        kept += now[i] == first[i];
    EXPECT_EQ(kept, 70 - 16);
    ds.edit();
    fillRecord(ds, 3, 70);
    ds.post();
    store.Save(ds, QStringLiteral("TTST_LARGA"));
    now = versions(1);
    for (int i = 0; i < now.size(); ++i)
        EXPECT_NE(now[i], first[i]);
    EXPECT_EQ(versions(2), second);
    expectStored({3, 2});
}

TEST_F(StoreSaveTest, RegistryIdsAreTakenInBlocksAndOnlyForPersonsNotFound)
{
    DataSet ds;
    store.Load(ds, Persone);
    for (int i = 0; i < 40; ++i)
        addPerson(ds, QStringLiteral("P%1").arg(i), QStringLiteral("CF%1").arg(i, 14, 10, QLatin1Char('0')));
    store.Save(ds, Persone);
    const QList<Value> ids = column(ds, "iAfiID");
    for (int i = 0; i < ids.size(); ++i)
        EXPECT_EQ(ids[i], Value(1 + i));
    // The same persons in another table of the period: found, no id taken.
    install(makeLayout(QStringLiteral("TTST_ALTRE"), personFields(), 0, 0, PersonMap));
    DataSet other;
    store.Load(other, QStringLiteral("TTST_ALTRE"));
    for (int i = 0; i < 40; ++i)
        addPerson(other, QStringLiteral("P%1").arg(i), QStringLiteral("CF%1").arg(i, 14, 10, QLatin1Char('0')));
    addPerson(other, QStringLiteral("NUOVO"), QStringLiteral("NVONVO80A01H501U"));
    store.Save(other, QStringLiteral("TTST_ALTRE"));
    EXPECT_EQ(column(other, "iAfiID").mid(0, 40), ids);
    EXPECT_EQ(other.fieldValue("iAfiID"), Value(41));
    EXPECT_EQ(GenerateID(QStringLiteral("TAFI_ANAFISCALE"), &tdb.db()), 42);
}
