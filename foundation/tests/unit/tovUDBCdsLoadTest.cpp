// The declaration-table store's loads on a real embedded archive: which
// layout serves a period, what a load gives back of each field type, periods
// never saved, whole-year loads, changing layouts, and what a load restores.
#include "tovUDBCdsTestSupport.h"

#include "Exceptions.h"

using namespace storetest;

namespace {

// A layout whose extra field tells which row of TCDS_STRUTTURA served a load.
TTovDBCdsLayout marked(const QString &mark, int year, int month)
{
    FieldDefs defs = plainFields();
    defs.append({mark, FieldType::String, 5});
    return makeLayout(QStringLiteral("TTST_PERIODI"), defs, year, month);
}

QString markOf(const DataSet &ds)
{
    return ds.fieldDefs().last().name;
}

} // namespace

TEST_F(StoreTest, LayoutAppliesFromItsFirstYearAndMonthComparedAsOnePair)
{
    install({marked(QStringLiteral("L2010M6"), 2010, 6), marked(QStringLiteral("L2013"), 2013, 0),
             marked(QStringLiteral("L2013M9"), 2013, 9)});
    DataSet ds;
    const auto layoutFor = [&](int year, int month) {
        store.LoadPeriod(ds, QStringLiteral("TTST_PERIODI"), year, month);
        return markOf(ds);
    };
    // June 2010 on: March 2012 is later although March is before June.
    EXPECT_EQ(layoutFor(2012, 3), QStringLiteral("L2010M6"));
    EXPECT_EQ(layoutFor(2010, 6), QStringLiteral("L2010M6"));
    EXPECT_EQ(layoutFor(2010, 12), QStringLiteral("L2010M6"));
    // The latest first period wins.
    EXPECT_EQ(layoutFor(2013, 1), QStringLiteral("L2013"));
    EXPECT_EQ(layoutFor(2013, 8), QStringLiteral("L2013"));
    EXPECT_EQ(layoutFor(2013, 9), QStringLiteral("L2013M9"));
    EXPECT_EQ(layoutFor(2014, 2), QStringLiteral("L2013M9"));
    // The year level (month 0) of 2013 is the layout from the start of 2013;
    // the whole year (month -1) takes the latest layout of the year.
    EXPECT_EQ(layoutFor(2013, 0), QStringLiteral("L2013"));
    EXPECT_EQ(layoutFor(2013, -1), QStringLiteral("L2013M9"));
    EXPECT_EQ(layoutFor(2010, -1), QStringLiteral("L2010M6"));
    // Before the first layout there is none.
    try {
        store.LoadPeriod(ds, QStringLiteral("TTST_PERIODI"), 2010, 5);
        FAIL() << "no layout applies to May 2010";
    } catch (const EUqError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Impossibile trovare il ClientDataSet (TTST_PERIODI)."));
    }
}

TEST_F(StoreTest, LayoutWithoutYearAndMonthServesEveryPeriodUntilADatedOneApplies)
{
    install({marked(QStringLiteral("SEMPRE"), 0, 0), marked(QStringLiteral("L2011"), 2011, 4)});
    // A row written with nulls by hand is the same as the installed 0/0 one.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCDS_STRUTTURA WHERE ICDSANNO IS NULL AND ICDSMESE IS NULL")),
              1);
    DataSet ds;
    store.LoadPeriod(ds, QStringLiteral("TTST_PERIODI"), 1999, 1);
    EXPECT_EQ(markOf(ds), QStringLiteral("SEMPRE"));
    store.LoadPeriod(ds, QStringLiteral("TTST_PERIODI"), 2011, 3);
    EXPECT_EQ(markOf(ds), QStringLiteral("SEMPRE"));
    store.LoadPeriod(ds, QStringLiteral("TTST_PERIODI"), 2011, 0);
    EXPECT_EQ(markOf(ds), QStringLiteral("SEMPRE"));
    store.LoadPeriod(ds, QStringLiteral("TTST_PERIODI"), 2011, 4);
    EXPECT_EQ(markOf(ds), QStringLiteral("L2011"));
    store.LoadPeriod(ds, QStringLiteral("TTST_PERIODI"), 2025, 12);
    EXPECT_EQ(markOf(ds), QStringLiteral("L2011"));
}

TEST_F(StoreTest, NamesAndProgramCompareWithoutRegardToCaseAndOtherProgramsAreApart)
{
    TTovDBCdsLayout other = makeLayout(QStringLiteral("TTST_PERIODI"), plainFields());
    other.program = QStringLiteral("ALTRO");
    install({marked(QStringLiteral("ZEP"), 0, 0), other});
    DataSet ds;
    store.LoadPeriod(ds, QStringLiteral("ttst_Periodi"), 2024, 3);
    EXPECT_EQ(markOf(ds), QStringLiteral("ZEP"));
    store.SetProgram(QStringLiteral("Altro"));
    store.LoadPeriod(ds, QStringLiteral("TTST_PERIODI"), 2024, 3);
    EXPECT_EQ(ds.fieldCount(), plainFields().size());
}

TEST_F(StoreTest, UnknownNameLeavesTheDatasetClosedAndEverythingRestored)
{
    install(makeLayout(QStringLiteral("TTST_SEMPLICE"), plainFields()));
    DataSet ds;
    store.Load(ds, QStringLiteral("TTST_SEMPLICE"));
    int scrolls = 0;
    ds.events().afterScroll = [&](DataSet &) { ++scrolls; };
    ds.setProviderName(QStringLiteral("Altro"));
    try {
        store.Load(ds, QStringLiteral("TTST_Inesistente"));
        FAIL() << "an unknown name must fail";
    } catch (const EUqError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Impossibile trovare il ClientDataSet (TTST_Inesistente)."));
    }
    EXPECT_FALSE(ds.isActive());
    EXPECT_FALSE(ds.controlsDisabled());
    ASSERT_TRUE(ds.events().afterScroll);
    EXPECT_EQ(services->waitCursorDepth(), 0);
    EXPECT_FALSE(services->waitFormVisible());
    EXPECT_EQ(scrolls, 0);
}

TEST_F(StoreTest, LoadShowsTheWaitFormAndRestoresEventsControlsAndCursor)
{
    install(makeLayout(QStringLiteral("TTST_SEMPLICE"), plainFields()));
    DataSet ds;
    store.Load(ds, QStringLiteral("TTST_SEMPLICE"));
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("A")}, {QStringLiteral("Numero"), 1}});
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("B")}, {QStringLiteral("Numero"), 2}});
    store.Save(ds, QStringLiteral("TTST_SEMPLICE"));

    int events = 0;
    ds.events().afterScroll = [&](DataSet &) { ++events; };
    ds.events().beforeInsert = [&](DataSet &) { ++events; };
    ds.events().afterOpen = [&](DataSet &) { ++events; };
    ds.events().onNewRecord = [&](DataSet &) { ++events; };
    int resets = 0;
    ds.addObserver([&](const platform::DataChange &c) { resets += c.kind == platform::DataChange::Reset; });
    services->clear();

    store.Load(ds, QStringLiteral("TTST_SEMPLICE"));
    EXPECT_EQ(events, 0) << "no event of the dataset fires during a load";
    EXPECT_EQ(resets, 1) << "observers see one reset when the controls are enabled again";
    EXPECT_TRUE(ds.events().afterScroll && ds.events().beforeInsert && ds.events().afterOpen
                && ds.events().onNewRecord);
    EXPECT_FALSE(ds.controlsDisabled());
    EXPECT_EQ(services->waitCursorPushes(), 1);
    EXPECT_EQ(services->waitCursorDepth(), 0);
    EXPECT_FALSE(services->waitFormVisible());
    EXPECT_EQ(services->waitFormTexts(), QStringList{QStringLiteral("Caricamento in corso...attendere.")});
    EXPECT_EQ(ds.providerName(), QStringLiteral("UtilProvider"));
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(ds.updateStatus(), platform::UpdateStatus::Unmodified);
}

TEST_F(StoreTest, DatabaseErrorOfALoadPropagatesAfterTheSameRestoring)
{
    install(makeLayout(QStringLiteral("TTST_SEMPLICE"), plainFields()));
    // A stored integer value that the layout now reads as a time.
    FieldDefs defs = plainFields();
    defs[2].type = FieldType::Time;
    DataSet ds;
    store.Load(ds, QStringLiteral("TTST_SEMPLICE"));
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("A")}});
    store.Save(ds, QStringLiteral("TTST_SEMPLICE"));
    tdb.db().execute(
        QStringLiteral("UPDATE TFIS_DATIFISCALI SET SFISFIELDNAME = 'Numero', SFISVALUE = 'non un orario'"));
    install(makeLayout(QStringLiteral("TTST_SEMPLICE"), defs));
    ds.events().afterScroll = [](DataSet &) {};
    EXPECT_THROW(store.Load(ds, QStringLiteral("TTST_SEMPLICE")), platform::EConvertError);
    EXPECT_TRUE(ds.events().afterScroll);
    EXPECT_FALSE(ds.controlsDisabled());
    EXPECT_EQ(services->waitCursorDepth(), 0);
    EXPECT_FALSE(services->waitFormVisible());

    // A broken connection: the driver's error, same restoring.
    store.LoadStructure(ds, QStringLiteral("TTST_SEMPLICE"), 2024, 3);
    tdb.db().close();
    EXPECT_THROW(store.Load(ds, QStringLiteral("TTST_SEMPLICE")), platform::EDatabaseError);
    EXPECT_FALSE(ds.controlsDisabled());
    EXPECT_EQ(services->waitCursorDepth(), 0);
    EXPECT_FALSE(services->waitFormVisible());
}

TEST_F(StoreTest, NeverSavedPeriodLoadsEmptyWithItsLayoutAndMakesNoHeader)
{
    install(makeLayout(QStringLiteral("TTST_PERSONE"), personFields(), 0, 0, PersonMap));
    DataSet ds;
    store.LoadPeriod(ds, QStringLiteral("TTST_PERSONE"), 2024, 7);
    EXPECT_TRUE(ds.isActive());
    EXPECT_TRUE(ds.isEmpty());
    EXPECT_EQ(ds.fieldNames(), (QStringList{"iFisRigo", "iAfiID", "Cognome", "Nome", "CFLavoratore", "Matricola",
                                            "Qualifica2", "Giorni", "Imponibile"}));
    EXPECT_EQ(ds.fieldByName(QStringLiteral("Cognome")).size(), 40);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCRF_CROFISCALE")), 0);

    // LoadStructure gives the empty layout alone and leaves the provider name.
    DataSet structure;
    structure.setProviderName(QStringLiteral("Altro"));
    store.LoadStructure(structure, QStringLiteral("TTST_PERSONE"), 2024, 7);
    EXPECT_EQ(structure.fieldNames(), ds.fieldNames());
    EXPECT_EQ(structure.providerName(), QStringLiteral("Altro"));
    EXPECT_EQ(services->waitCursorPushes(), 1) << "LoadStructure shows no wait cursor";
}

TEST_F(StoreTest, LayoutPropertiesAndOrderSurviveTheLoad)
{
    DataSet empty;
    empty.setFieldDefs(plainFields());
    empty.createDataSet();
    empty.fieldByName(QStringLiteral("Codice")).setDisplayLabel(QStringLiteral("Codice INPS"));
    empty.fieldByName(QStringLiteral("Numero")).setDisplayFormat(QStringLiteral("#,##0"));
    empty.fieldByName(QStringLiteral("iFisRigo")).setVisible(false);
    empty.fieldByName(QStringLiteral("Codice")).setReadOnly(true);
    empty.setIndexFieldNames(QStringLiteral("Codice"));
    TTovDBCdsLayout layout = makeLayout(QStringLiteral("TTST_SEMPLICE"), plainFields());
    layout.SetSchema(empty);
    install(layout);

    DataSet ds;
    store.Load(ds, QStringLiteral("TTST_SEMPLICE"));
    ds.fieldByName(QStringLiteral("Codice")).setReadOnly(false);
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("ZZ")}});
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("AA")}, {QStringLiteral("Numero"), 1234}});
    store.Save(ds, QStringLiteral("TTST_SEMPLICE"));

    DataSet again;
    store.Load(again, QStringLiteral("TTST_SEMPLICE"));
    EXPECT_EQ(again.fieldByName(QStringLiteral("Codice")).displayLabel(), QStringLiteral("Codice INPS"));
    EXPECT_TRUE(again.fieldByName(QStringLiteral("Codice")).isReadOnly());
    EXPECT_FALSE(again.fieldByName(QStringLiteral("iFisRigo")).isVisible());
    EXPECT_EQ(again.indexFieldNames(), QStringLiteral("Codice"));
    again.first();
    EXPECT_EQ(again.fieldValue(QStringLiteral("Codice")), Value(QStringLiteral("AA")));
    EXPECT_EQ(again.fieldByName(QStringLiteral("Numero")).displayText(), QStringLiteral("1.234"));
}

TEST_F(StoreTest, ValueRowsFollowTheFieldTypeAndEmptyValuesLeaveNone)
{
    const FieldDefs defs = {
        {QStringLiteral("iFisRigo"), FieldType::Integer}, {QStringLiteral("Testo"), FieldType::String, 30},
        {QStringLiteral("Intero"), FieldType::Integer},   {QStringLiteral("Virgola"), FieldType::Float},
        {QStringLiteral("Importo"), FieldType::Currency}, {QStringLiteral("Decimale"), FieldType::BCD, 2},
        {QStringLiteral("Data"), FieldType::Date},        {QStringLiteral("DataOra"), FieldType::DateTime},
        {QStringLiteral("Piccolo"), FieldType::SmallInt}, {QStringLiteral("Parola"), FieldType::Word},
        {QStringLiteral("Grande"), FieldType::LargeInt},  {QStringLiteral("Flag"), FieldType::Boolean},
        {QStringLiteral("Ora"), FieldType::Time},         {QStringLiteral("Nota"), FieldType::String, 250},
        {QStringLiteral("Dati"), FieldType::Blob}};
    install(makeLayout(QStringLiteral("TTST_TIPI"), defs));
    DataSet ds;
    store.Load(ds, QStringLiteral("TTST_TIPI"));
    const QByteArray bytes("\x00\x01\xfe\xff zeta", 10);
    add(ds, {{QStringLiteral("Testo"), QStringLiteral("Perché sì")},
             {QStringLiteral("Intero"), -42},
             {QStringLiteral("Virgola"), 0.1},
             {QStringLiteral("Importo"), platform::Currency::fromString(QStringLiteral("123456789.0123"))},
             {QStringLiteral("Decimale"), platform::Currency::fromString(QStringLiteral("-7.25"))},
             {QStringLiteral("Data"), QDate(2024, 2, 29)},
             {QStringLiteral("DataOra"), QDateTime(QDate(2024, 3, 5), QTime(14, 30, 15))},
             {QStringLiteral("Piccolo"), -300},
             {QStringLiteral("Parola"), 65535},
             {QStringLiteral("Grande"), qint64(9007199254740993LL)},
             {QStringLiteral("Flag"), false},
             {QStringLiteral("Ora"), QTime(8, 5, 9, 250)},
             {QStringLiteral("Nota"), QStringLiteral("riga uno\nriga due")},
             {QStringLiteral("Dati"), bytes}});
    // Empty text, zeros, the zero date and nulls: no row (the small numbers
    // are written as 0 all the same, and a false flag is a value).
    add(ds, {{QStringLiteral("Testo"), QString()},
             {QStringLiteral("Intero"), 0},
             {QStringLiteral("Virgola"), 0.0},
             {QStringLiteral("Importo"), platform::Currency()},
             {QStringLiteral("Data"), QDate(1899, 12, 30)},
             {QStringLiteral("Flag"), true}});
    store.Save(ds, QStringLiteral("TTST_TIPI"));

    const auto columnOf = [&](int row, const QString &field) {
        return scalar(
                   QStringLiteral("SELECT CASE WHEN SFISVALUE IS NOT NULL THEN 'S' WHEN IFISVALUE IS NOT NULL THEN 'I' "
                                  "WHEN FFISVALUE IS NOT NULL THEN 'F' WHEN DFISVALUE IS NOT NULL THEN 'D' END "
                                  "FROM TFIS_DATIFISCALI WHERE IFISRIGO = %1 AND SFISFIELDNAME = '%2'")
                       .arg(row)
                       .arg(field))
            .toString();
    };
    EXPECT_EQ(columnOf(1, "Testo"), "S");
    EXPECT_EQ(columnOf(1, "Intero"), "I");
    EXPECT_EQ(columnOf(1, "Virgola"), "F");
    EXPECT_EQ(columnOf(1, "Importo"), "F");
    EXPECT_EQ(columnOf(1, "Decimale"), "F");
    EXPECT_EQ(columnOf(1, "Data"), "D");
    EXPECT_EQ(columnOf(1, "DataOra"), "D");
    for (const char *other : {"Piccolo", "Parola", "Grande", "Flag", "Ora", "Nota", "Dati"})
        EXPECT_EQ(columnOf(1, other), "S") << other;
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI WHERE IFISRIGO = 1"), 14);
    // Second record: the small numbers as 0 and the flag; nothing else.
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI WHERE IFISRIGO = 2"), 4);
    EXPECT_EQ(scalar("SELECT SFISVALUE FROM TFIS_DATIFISCALI WHERE IFISRIGO = 2 AND SFISFIELDNAME = 'Grande'"),
              Value(QStringLiteral("0")));
    EXPECT_FALSE(scalar("SELECT SFISVALUE FROM TFIS_DATIFISCALI WHERE IFISRIGO = 2 AND SFISFIELDNAME = 'Flag'")
                     .toString()
                     .isEmpty());

    DataSet back;
    store.Load(back, QStringLiteral("TTST_TIPI"));
    ASSERT_EQ(back.recordCount(), 2);
    back.first();
    EXPECT_EQ(back.fieldValue("Testo"), Value(QStringLiteral("Perché sì")));
    EXPECT_EQ(back.fieldValue("Intero"), Value(-42));
    EXPECT_EQ(back.fieldValue("Virgola"), Value(0.1));
    EXPECT_EQ(back.fieldValue("Importo"), Value(platform::Currency::fromString(QStringLiteral("123456789.0123"))));
    EXPECT_EQ(back.fieldValue("Decimale"), Value(platform::Currency::fromString(QStringLiteral("-7.25"))));
    EXPECT_EQ(back.fieldValue("Data"), Value(QDate(2024, 2, 29)));
    // A date-time keeps its day only: it loads at midnight.
    EXPECT_EQ(back.fieldValue("DataOra"), Value(QDateTime(QDate(2024, 3, 5), QTime(0, 0))));
    EXPECT_EQ(back.fieldValue("Piccolo").toInt(), -300);
    EXPECT_EQ(back.fieldValue("Parola").toInt(), 65535);
    EXPECT_EQ(back.fieldValue("Grande"), Value(qint64(9007199254740993LL)));
    EXPECT_EQ(back.fieldValue("Flag"), Value(false));
    EXPECT_EQ(back.fieldValue("Ora"), Value(QTime(8, 5, 9, 250)));
    EXPECT_EQ(back.fieldValue("Nota"), Value(QStringLiteral("riga uno\nriga due")));
    EXPECT_EQ(back.fieldValue("Dati"), Value(bytes));
    back.next();
    for (const char *empty :
         {"Testo", "Intero", "Virgola", "Importo", "Decimale", "Data", "DataOra", "Ora", "Nota", "Dati"})
        EXPECT_TRUE(back.fieldByName(empty).isNull()) << empty;
    EXPECT_EQ(back.fieldValue("Piccolo").toInt(), 0);
    EXPECT_EQ(back.fieldValue("Flag"), Value(true));
}

TEST_F(StoreTest, RecordWithEveryFieldEmptyLeavesNoRowAndDoesNotLoadAgain)
{
    install(makeLayout(QStringLiteral("TTST_SEMPLICE"), plainFields()));
    DataSet ds;
    store.Load(ds, QStringLiteral("TTST_SEMPLICE"));
    add(ds, {{QStringLiteral("Codice"), QString()}, {QStringLiteral("Numero"), 0}});
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("X")}});
    store.Save(ds, QStringLiteral("TTST_SEMPLICE"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI"), 1);
    store.Load(ds, QStringLiteral("TTST_SEMPLICE"));
    EXPECT_EQ(ds.recordCount(), 1);
}

TEST_F(StoreTest, FieldsAddedToOrDroppedFromALayout)
{
    install(makeLayout(QStringLiteral("TTST_SEMPLICE"), plainFields()));
    DataSet ds;
    store.Load(ds, QStringLiteral("TTST_SEMPLICE"));
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("A")}, {QStringLiteral("Numero"), 7}});
    store.Save(ds, QStringLiteral("TTST_SEMPLICE"));

    // Numero dropped, Nuovo added: the same layout row, updated in place.
    install(makeLayout(QStringLiteral("TTST_SEMPLICE"), {{QStringLiteral("iFisRigo"), FieldType::Integer},
                                                         {QStringLiteral("Codice"), FieldType::String, 20},
                                                         {QStringLiteral("Nuovo"), FieldType::Date}}));
    store.Load(ds, QStringLiteral("TTST_SEMPLICE"));
    ASSERT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.fieldNames(), (QStringList{"iFisRigo", "Codice", "Nuovo"}));
    EXPECT_EQ(ds.fieldValue("Codice"), Value(QStringLiteral("A")));
    EXPECT_TRUE(ds.fieldByName("Nuovo").isNull());

    // Saving the record again rewrites it without the dropped field.
    ds.edit();
    ds.setFieldValue("Nuovo", QDate(2024, 3, 1));
    ds.post();
    store.Save(ds, QStringLiteral("TTST_SEMPLICE"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI WHERE SFISFIELDNAME = 'Numero'"), 0);
    store.Load(ds, QStringLiteral("TTST_SEMPLICE"));
    EXPECT_EQ(ds.fieldValue("Nuovo"), Value(QDate(2024, 3, 1)));
}

TEST_F(StoreTest, WholeYearLoadTakesEveryMonthAndTheYearLevel)
{
    install(makeLayout(QStringLiteral("TTST_SEMPLICE"), plainFields()));
    DataSet ds;
    for (int month : {0, 1, 2, 12}) {
        store.LoadPeriod(ds, QStringLiteral("TTST_SEMPLICE"), 2024, month);
        add(ds, {{QStringLiteral("Codice"), QStringLiteral("M%1").arg(month)}, {QStringLiteral("Numero"), month}});
        store.SavePeriod(ds, QStringLiteral("TTST_SEMPLICE"), 2024, month);
    }
    store.LoadPeriod(ds, QStringLiteral("TTST_SEMPLICE"), 2023, 1);
    add(ds, {{QStringLiteral("Codice"), QStringLiteral("ALTRO ANNO")}});
    store.SavePeriod(ds, QStringLiteral("TTST_SEMPLICE"), 2023, 1);

    store.LoadPeriod(ds, QStringLiteral("TTST_SEMPLICE"), 2024, -1);
    EXPECT_EQ(column(ds, "Codice"),
              (QList<Value>{QStringLiteral("M0"), QStringLiteral("M1"), QStringLiteral("M2"), QStringLiteral("M12")}));
    store.LoadPeriod(ds, QStringLiteral("TTST_SEMPLICE"), 2024, 0);
    EXPECT_EQ(column(ds, "Codice"), QList<Value>{QStringLiteral("M0")});
    store.LoadPeriod(ds, QStringLiteral("TTST_SEMPLICE"), 2024, 2);
    EXPECT_EQ(column(ds, "Codice"), QList<Value>{QStringLiteral("M2")});
    // Headers: one per saved period, the year level with a null month.
    EXPECT_EQ(count("SELECT COUNT(*) FROM TCRF_CROFISCALE"), 5);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TCRF_CROFISCALE WHERE ICRFANNO = 2024 AND ICRFMESE IS NULL"), 1);
}
