// The stored form of the declaration tables is the archive's: value and
// registry rows written by the earlier releases of the store, one INSERT per
// value, must load as they always did, and what the store writes today must
// be those same rows.
#include "tovUDBCdsTestSupport.h"

#include "UqTransaction.h"

#include <QSet>

using namespace storetest;

namespace {

const QString Tabella = QStringLiteral("TTST_FORMATO");

FieldDefs formatFields()
{
    FieldDefs defs = personFields();
    defs.append({QStringLiteral("Assunto"), FieldType::Date});
    defs.append({QStringLiteral("Ora"), FieldType::Time});
    return defs;
}

// One stored value row: record, registry id (0: null), field, value column
// letter, value, month of its header.
struct Row {
    int rigo;
    int afi;
    const char *field;
    char column;
    Value value;
    int month;
};

// Rows as the earlier store wrote them, rows of different records mixed the
// way later rewrites leave them. Record 2 is in April, between March's row
// numbers; record 3 holds only the marker of a person kept in the registry;
// record 4 points at a registry row that was deleted since and keeps a value
// of a field the layout no longer has.
const QList<Row> &earlierRows()
{
    static const QList<Row> rows = {
        {4, 99, "Giorni", 'i', 5, 3},
        {1, 1, "Giorni", 'i', 26, 3},
        {1, 1, "Imponibile", 'f', 1234.5678, 3},
        {2, 1, "Giorni", 'i', 10, 4},
        {1, 1, "Matricola", 's', QStringLiteral("M1"), 3},
        {4, 99, "Vecchio", 's', QStringLiteral("tolto"), 3},
        {1, 1, "Qualifica2", 's', QStringLiteral("Q"), 3},
        {3, 2, "iFisRigo", 'i', 3, 3},
        {1, 1, "Assunto", 'd', QDate(2020, 1, 15), 3},
        {1, 1, "Ora", 's', QStringLiteral("08:30:00.250"), 3},
    };
    return rows;
}

} // namespace

class StoreFormatTest : public StoreTest {
protected:
    StoreFormatTest()
    {
        install(makeLayout(Tabella, formatFields(), 0, 0, PersonMap));
        // The earlier statements, as they were run (registry ids 1 and 2 from
        // the generator of a new archive).
        const int march = header(3), april = header(4);
        EXPECT_EQ(GenerateID(QStringLiteral("TAFI_ANAFISCALE"), &tdb.db()), 1);
        EXPECT_EQ(GenerateID(QStringLiteral("TAFI_ANAFISCALE"), &tdb.db()), 2);
        exec(QStringLiteral("INSERT INTO TAFI_ANAFISCALE ( IAFIID , ICRFID ) VALUES ( 1 , %1 )").arg(march));
        exec(QStringLiteral("UPDATE tafi_anafiscale afi SET  SAFICOGNOME = 'ROSSI' , SAFINOME = 'MARIO' , "
                            "SAFICODFISCALE = 'RSSMRA80A01H501U' , SAFIGRUPPOANA = 'M1Q'  WHERE afi.iafiid = 1"));
        exec(QStringLiteral("INSERT INTO TAFI_ANAFISCALE ( IAFIID , ICRFID ) VALUES ( 2 , %1 )").arg(march));
        exec(QStringLiteral("UPDATE tafi_anafiscale afi SET  SAFICOGNOME = 'BIANCHI' , "
                            "SAFICODFISCALE = 'BNCLGU80A01H501U'  WHERE afi.iafiid = 2"));
        const int cds = count(QStringLiteral("SELECT ICDSID FROM TCDS_STRUTTURA WHERE SCDSNOME = '%1'").arg(Tabella));
        for (const Row &r : earlierRows()) {
            platform::SqlQuery q(tdb.db());
            q.setSql(QStringLiteral("INSERT INTO TFIS_DATIFISCALI ( ICDSID, ICRFID, IAFIID, IFISRIGO, SFISFIELDNAME, "
                                    "%1FISVALUE ) VALUES ( :ICDSID, :ICRFID, :IAFIID, :IFISRIGO, :SFISFIELDNAME, :V )")
                         .arg(QLatin1Char(r.column)));
            q.bind("ICDSID", cds).bind("ICRFID", r.month == 3 ? march : april).bind("IFISRIGO", r.rigo);
            q.bind("SFISFIELDNAME", QString::fromLatin1(r.field)).bind("V", r.value);
            if (r.afi)
                q.bind("IAFIID", r.afi);
            else
                q.setNull("IAFIID", FieldType::Integer);
            q.execSQL();
        }
        exec(QStringLiteral("UPDATE TCDS_STRUTTURA SET ICDSRIGO = 4 WHERE ICDSID = %1").arg(cds));
    }

    int header(int month)
    {
        return count(QStringLiteral("SELECT icrfid FROM ptov_getcrofiscale('zep', 2024, %1)").arg(month));
    }
    void exec(const QString &sql) { tdb.db().execute(sql); }

    // The rows of a record as (field, column, value) texts, and their
    // registry id.
    QSet<QString> rowsOf(int rigo)
    {
        QSet<QString> out;
        platform::SqlQuery q(tdb.db());
        q.setSql(QStringLiteral("SELECT SFISFIELDNAME, SFISVALUE, IFISVALUE, FFISVALUE, DFISVALUE FROM "
                                "TFIS_DATIFISCALI WHERE IFISRIGO = :R"));
        q.bind("R", rigo);
        for (q.open(); !q.eof(); q.next())
            for (int c = 1; c <= 4; ++c)
                if (!q.value(c).isEmpty())
                    out << q.value(0).toString() + QLatin1Char('=') + QLatin1Char("sifd"[c - 1])
                               + q.value(c).toString();
        return out;
    }
    // The transaction that wrote each row of a record, by field.
    QHash<QString, int> versionsOf(int rigo)
    {
        QHash<QString, int> out;
        platform::SqlQuery q(tdb.db());
        q.setSql(QStringLiteral("SELECT SFISFIELDNAME, RDB$RECORD_VERSION FROM TFIS_DATIFISCALI WHERE IFISRIGO = :R"));
        q.bind("R", rigo);
        for (q.open(); !q.eof(); q.next())
            out.insert(q.value(0).toString(), q.value(1).toInt());
        return out;
    }
};

TEST_F(StoreFormatTest, RowsOfTheEarlierStoreLoadAsTheyAlwaysDid)
{
    DataSet ds;
    store.LoadPeriod(ds, Tabella, 2024, 3);
    ASSERT_EQ(column(ds, "iFisRigo"), (QList<Value>{1, 3, 4}));
    const auto expect = [&](int rigo, const QList<QPair<QString, Value>> &values) {
        ASSERT_TRUE(locate(ds, QStringLiteral("iFisRigo"), rigo));
        for (const auto &f : ds.fields()) {
            Value want = Value::null();
            for (const auto &[name, value] : values)
                if (name == f->fieldName())
                    want = value;
            EXPECT_EQ(f->value(), want) << "record " << rigo << ", " << f->fieldName().toStdString();
        }
    };
    expect(1, {{"iFisRigo", 1},
               {"iAfiID", 1},
               {"Cognome", QStringLiteral("ROSSI")},
               {"Nome", QStringLiteral("MARIO")},
               {"CFLavoratore", QStringLiteral("RSSMRA80A01H501U")},
               {"Matricola", QStringLiteral("M1")},
               {"Qualifica2", QStringLiteral("Q")},
               {"Giorni", 26},
               {"Imponibile", platform::Currency::fromString(QStringLiteral("1234.5678"))},
               {"Assunto", QDate(2020, 1, 15)},
               {"Ora", QTime(8, 30, 0, 250)}});
    expect(3, {{"iFisRigo", 3},
               {"iAfiID", 2},
               {"Cognome", QStringLiteral("BIANCHI")},
               {"CFLavoratore", QStringLiteral("BNCLGU80A01H501U")}});
    expect(4, {{"iFisRigo", 4}, {"iAfiID", 0}, {"Giorni", 5}});
    EXPECT_EQ(ds.changeCount(), 0);

    store.LoadPeriod(ds, Tabella, 2024, 4);
    EXPECT_EQ(column(ds, "iFisRigo"), QList<Value>{2});
    EXPECT_EQ(column(ds, "Cognome"), QList<Value>{QStringLiteral("ROSSI")});
    // The whole year: every record by row number, whichever month holds it;
    // inside a caller's transaction, which the load leaves open.
    TUqTransaction caller(&tdb.db());
    caller.Start();
    store.LoadPeriod(ds, Tabella, 2024, -1);
    EXPECT_TRUE(tdb.db().inTransaction());
    EXPECT_EQ(column(ds, "iFisRigo"), (QList<Value>{1, 2, 3, 4}));
    EXPECT_EQ(column(ds, "Giorni"), (QList<Value>{26, 10, Value::null(), 5}));
}

TEST_F(StoreFormatTest, TodaysSavesWriteTheSameRows)
{
    // The March records copied as new records of May: the same rows, but
    // for the field the layout dropped.
    DataSet march, may;
    store.LoadPeriod(march, Tabella, 2024, 3);
    store.LoadPeriod(may, Tabella, 2024, 5);
    for (const auto &values : march.records()) {
        may.append();
        for (int i = 2; i < may.fieldCount(); ++i)
            may.field(i)->setValue(values[i]);
        may.post();
    }
    store.SavePeriod(may, Tabella, 2024, 5);
    EXPECT_EQ(column(may, "iFisRigo"), (QList<Value>{5, 6, 7}));
    EXPECT_EQ(rowsOf(5), rowsOf(1));
    // The marker of a person kept in the registry holds its row number.
    EXPECT_EQ(rowsOf(3), QSet<QString>{QStringLiteral("iFisRigo=i3")});
    EXPECT_EQ(rowsOf(6), QSet<QString>{QStringLiteral("iFisRigo=i6")});
    QSet<QString> withoutDropped = rowsOf(4);
    EXPECT_TRUE(withoutDropped.remove(QStringLiteral("Vecchio=stolto")));
    EXPECT_EQ(rowsOf(7), withoutDropped);
    ASSERT_TRUE(locate(may, QStringLiteral("iFisRigo"), 5));
    EXPECT_EQ(scalar(QStringLiteral("SELECT SAFICOGNOME || '|' || SAFINOME || '|' || SAFICODFISCALE || '|' || "
                                    "SAFIGRUPPOANA FROM TAFI_ANAFISCALE WHERE IAFIID = %1")
                         .arg(may.fieldValue("iAfiID").toInt())),
              Value(QStringLiteral("ROSSI|MARIO|RSSMRA80A01H501U|M1Q")));

    // An edit rewrites the one row that changed, and the first row by name
    // that locks the record, leaving the others as they are; the record's
    // rows are those of a rewrite all the same.
    const QHash<QString, int> before = versionsOf(1);
    ASSERT_TRUE(locate(march, QStringLiteral("iFisRigo"), 1));
    march.edit();
    march.setFieldValue("Giorni", 27);
    march.post();
    store.SavePeriod(march, Tabella, 2024, 3);
    const QHash<QString, int> after = versionsOf(1);
    ASSERT_EQ(after.keys(), before.keys());
    QStringList rewritten;
    for (auto v = after.cbegin(); v != after.cend(); ++v)
        if (v.value() != before.value(v.key()))
            rewritten << v.key();
    rewritten.sort();
    EXPECT_EQ(rewritten, (QStringList{"Assunto", "Giorni"}));
    QSet<QString> expected = rowsOf(5);
    expected.remove(QStringLiteral("Giorni=i26"));
    expected.insert(QStringLiteral("Giorni=i27"));
    EXPECT_EQ(rowsOf(1), expected);
}
