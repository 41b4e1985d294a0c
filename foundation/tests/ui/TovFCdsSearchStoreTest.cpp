// The search window on a table of the declaration-table store (a real
// embedded archive).
#include "TovFCdsSearch.h"
#include "tovUDBCdsTestSupport.h"

#include "DataSetModel.h"
#include "Field.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace storetest;

namespace {

class SearchStoreTest : public StoreTest {
protected:
    void SetUp() override
    {
        install(makeLayout(QStringLiteral("TQAS_STORE"), plainFields()));
        DataSet ds;
        store.Load(ds, QStringLiteral("TQAS_STORE"));
        add(ds, {{QStringLiteral("Codice"), QStringLiteral("B2")}, {QStringLiteral("Numero"), 2}});
        add(ds, {{QStringLiteral("Codice"), QStringLiteral("A1")}, {QStringLiteral("Numero"), 1}});
        add(ds, {{QStringLiteral("Codice"), QStringLiteral("C3")}, {QStringLiteral("Numero"), 3}});
        store.Save(ds, QStringLiteral("TQAS_STORE"));
    }
};

} // namespace

TEST_F(SearchStoreTest, StoredTableOfTheCurrentPeriodWithoutItsRowNumber)
{
    TfmTovRicerca search;
    DataSet target;
    target.addFieldDef(QStringLiteral("CODICE"), FieldType::String, 20);
    target.createDataSet();
    target.appendRecord({Value(QStringLiteral("A1"))});
    services->onNextDialog([](QDialog &d) {
        auto &s = static_cast<TfmTovRicerca &>(d);
        EXPECT_EQ(s.grModel->columnOf(QStringLiteral("iFisRigo")), -1);
        EXPECT_EQ(s.grModel->fieldAt(0)->fieldName(), "Codice");
        EXPECT_EQ(s.laCampo->text(), "Codice");
        EXPECT_EQ(s.cdsSearch.recordCount(), 3);
        EXPECT_EQ(s.cdsSearch.fieldValue(QStringLiteral("Codice")).toString(), "A1") << "the field's text";
        s.edValue->clear();
        QTest::keyClicks(s.edValue, QStringLiteral("C"));
        s.buOk->click();
        return s.result();
    });
    search.SearchField(target.fieldByName(QStringLiteral("CODICE")), QStringLiteral("TQAS_STORE"), &store);
    EXPECT_EQ(target.fieldValue(QStringLiteral("CODICE")).toString(), "C3");
}

TEST_F(SearchStoreTest, AnotherMonthHasNoRowsAndAnUnknownTableIsRaised)
{
    TfmTovRicerca search;
    store.SetMonth(4);
    services->onNextDialog([](QDialog &d) {
        auto &s = static_cast<TfmTovRicerca &>(d);
        EXPECT_EQ(s.cdsSearch.recordCount(), 0);
        s.buOk->click();
        return s.result();
    });
    EXPECT_TRUE(search.SearchValue(QStringLiteral("TQAS_STORE"), nullptr, &store).isNull());
    const int shown = services->dialogs().size();
    EXPECT_ANY_THROW(search.SearchValue(QStringLiteral("TNESSUNA"), nullptr, &store));
    EXPECT_EQ(services->dialogs().size(), shown) << "nothing is shown";
}
