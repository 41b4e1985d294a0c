// The checks of the check-result dialog, without a window.
#include "TovCInfoChecker.h"

#include "TovInfoTestSupport.h"
#include "DataSet.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(TovInfoChecker, SectionTitleGoesBeforeEveryMessage)
{
    TTovInfoChecker c;
    c.AddMessage(QStringLiteral("primo"));
    c.SetSectionTitle(QStringLiteral("Dipendente 12"));
    c.AddMessage(QStringLiteral("a"));
    c.AddMessage(QStringLiteral("b"));
    EXPECT_EQ(c.Messages(), (QStringList{"primo", "******** Dipendente 12", "a", "******** Dipendente 12", "b"}));
    c.Clear();
    EXPECT_TRUE(c.Messages().isEmpty());
    EXPECT_TRUE(c.SectionTitle().isEmpty());
    c.AddMessage(QStringLiteral("c"));
    EXPECT_EQ(c.Messages(), QStringList{"c"});
}

TEST(TovInfoChecker, FieldLabelIgnoresCaseAndIsEmptyWhenMissing)
{
    TTovInfoChecker c;
    c.SetFieldLabels(kLabels);
    EXPECT_EQ(c.FieldLabel(QStringLiteral("nome")), "Cognome e nome");
    EXPECT_EQ(c.FieldLabel(QStringLiteral("NUMERO")), "Matricola");
    EXPECT_EQ(c.FieldLabel(QStringLiteral("ALTRO")), "");
}

TEST(TovInfoChecker, FirstLabelOfANameWinsAndPairsWithoutEqualsAreSkipped)
{
    TTovInfoChecker c;
    c.SetFieldLabels({QStringLiteral("NOME"), QStringLiteral("nome=Primo"), QStringLiteral("NOME=Secondo")});
    EXPECT_EQ(c.FieldLabel(QStringLiteral("Nome")), "Primo");
    c.SetFieldLabels({});
    EXPECT_EQ(c.FieldLabel(QStringLiteral("Nome")), "");
}

TEST(TovInfoChecker, NumbersAmountsAndDatesHaveAValuePastZero)
{
    const struct {
        FieldType type;
        Value value;
        bool has;
    } cases[] = {
        {FieldType::LargeInt, Value(qint64(1) << 40), true},
        {FieldType::LargeInt, Value(qint64(0)), false},
        {FieldType::Currency, Value(Currency::fromRaw(1)), true},
        {FieldType::Currency, Value(Currency()), false},
        {FieldType::Currency, Value::null(), false},
        {FieldType::Integer, Value::null(), false},
        {FieldType::Date, Value(QDate(1899, 12, 31)), true},
        {FieldType::Date, Value(QDate(1899, 12, 30)), false},
        {FieldType::Date, Value(QDate(1801, 1, 1)), false},
        {FieldType::DateTime, Value(QDateTime(QDate(1899, 12, 30), QTime(0, 0, 1))), true},
        {FieldType::DateTime, Value(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), false},
        {FieldType::DateTime, Value(QDateTime(QDate(1899, 12, 29), QTime(23, 59))), false},
        {FieldType::DateTime, Value(QDateTime(QDate(2024, 3, 31), QTime(2, 30))), true},
        {FieldType::DateTime, Value::null(), false},
    };
    for (const auto &k : cases) {
        DataSet ds;
        ds.addFieldDef(QStringLiteral("X"), k.type);
        ds.createDataSet();
        ds.append();
        ds.setFieldValue(QStringLiteral("X"), k.value);
        ds.post();
        EXPECT_EQ(TTovInfoChecker::FieldHasValue(ds.fieldByName(QStringLiteral("X"))), k.has)
            << fieldTypeName(k.type).toStdString() << " " << k.value.toString().toStdString();
    }
}

TEST(TovInfoChecker, MissingMandatoryValuesAreListedInFieldOrder)
{
    DataSet ds;
    makeRecord(ds, QString(), 0, QDate(), 0.0);
    TTovInfoChecker c;
    c.SetFieldLabels(kLabels);
    EXPECT_FALSE(c.CheckDataSets({&ds}));
    EXPECT_EQ(c.Messages(),
              (QStringList{" - Dato obbligatorio mancante: Cognome e nome", " - Dato obbligatorio mancante: Matricola",
                           " - Dato obbligatorio mancante: Data di nascita",
                           " - Dato obbligatorio mancante: Imponibile"}));
}

TEST(TovInfoChecker, ValuesByType)
{
    DataSet full;
    makeRecord(full, QStringLiteral(" "), 7, QDate(2024, 1, 31), 0.5);
    TTovInfoChecker c;
    c.SetFieldLabels(kLabels);
    // A blank text is a value; 0.5 is not zero.
    EXPECT_TRUE(c.CheckDataSets({&full}));
    EXPECT_TRUE(c.Messages().isEmpty());

    // The zero date counts as empty; a negative number is a value.
    DataSet zero;
    makeRecord(zero, QStringLiteral("Rossi"), -3, QDate(1899, 12, 30), 1.0);
    EXPECT_FALSE(c.CheckDataSets({&zero}));
    EXPECT_EQ(c.Messages(), QStringList{" - Dato obbligatorio mancante: Data di nascita"});
}

TEST(TovInfoChecker, TwoDataSetsAndTheExtraRule)
{
    DataSet a, b;
    makeRecord(a, QStringLiteral("Rossi"), 0, QDate(), 0.0);
    makeRecord(b, QString(), 500, QDate(), 0.0);
    TTovInfoChecker c;
    c.SetFieldLabels({QStringLiteral("NOME=Nome")});
    QStringList asked;
    const bool ok = c.CheckDataSets({&a, &b}, [&](const QString &name, DataSet &ds) {
        asked << ds.name() + name;
        return name == QLatin1String("NUMERO") && ds.fieldByName(name).asInteger() > 100 ? QStringLiteral("troppo")
                                                                                         : QString();
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(c.Messages(), (QStringList{" - Dato obbligatorio mancante: Nome", "troppo"}));
    // A mandatory field that is missing is not given to the rule.
    EXPECT_EQ(asked, (QStringList{"NOME", "NUMERO", "DATA", "IMPORTO", "NUMERO", "DATA", "IMPORTO"}));
}
