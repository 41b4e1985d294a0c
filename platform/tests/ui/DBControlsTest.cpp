// The data-aware controls: what they show as the dataset moves, how a
// user's change puts the dataset into edit and writes the field, the text a
// numeric box accepts, read-only datasets, and the values of check boxes,
// option groups and lists.
#include "DBControls.h"
#include "DataSet.h"
#include "DataSource.h"
#include "Exceptions.h"
#include "RecordingServices.h"

#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

namespace {

struct Dati {
    DataSet ds;
    DataSource source{nullptr, &ds};
    Dati()
    {
        ds.setFieldDefs({{"Nome", FieldType::String, 5},
                         {"Numero", FieldType::Integer},
                         {"Importo", FieldType::Currency},
                         {"Dal", FieldType::Date},
                         {"Elimina", FieldType::String, 1}});
        ds.createDataSet();
        ds.appendRecord(
            {Value("UNO"), Value(1), Value(Currency::fromString("10.5")), Value(QDate(2024, 3, 1)), Value("N")});
        ds.appendRecord({Value("DUE"), Value(2), Value(), Value(), Value("S")});
        ds.first();
    }
};

} // namespace

TEST(DBControls, BoxesFollowTheRecordAndWriteWhatTheUserTypes)
{
    RecordingServicesScope services;
    Dati d;
    DBEdit nome, numero, importo, dal;
    for (auto [edit, field] : {std::pair{&nome, "Nome"}, {&numero, "Numero"}, {&importo, "Importo"}, {&dal, "Dal"}}) {
        edit->SetDataSource(&d.source);
        edit->SetDataField(field);
    }
    nome.SetUpperCase(true);
    EXPECT_EQ(nome.text(), "UNO");
    EXPECT_EQ(importo.text(), "10,5");
    EXPECT_EQ(dal.text(), "01/03/2024");
    EXPECT_EQ(nome.maxLength(), 5);
    d.ds.next();
    EXPECT_EQ(nome.text(), "DUE");
    EXPECT_EQ(importo.text(), "");

    // The first change puts the dataset into edit; letters become capitals.
    QTest::keyClicks(&nome, "x");
    EXPECT_EQ(d.ds.state(), DataSetState::Edit);
    EXPECT_EQ(d.ds.fieldValue("Nome").toString(), "DUEX");
    // A numeric box takes digits and one decimal point ("," or "."), nothing else.
    importo.setFocus();
    QTest::keyClicks(&importo, "12a,3.4");
    EXPECT_EQ(importo.text(), "12,34");
    EXPECT_EQ(d.ds.fieldValue("Importo").toCurrency(), Currency::fromString("12.34"));
    numero.selectAll();
    QTest::keyClick(&numero, Qt::Key_Delete);
    EXPECT_TRUE(d.ds.fieldByName("Numero").isNull());
    // A date is written once it is one; left unfinished, it is refused.
    QTest::keyClicks(&dal, "15/03/2024");
    EXPECT_EQ(d.ds.fieldValue("Dal").toDate(), QDate(2024, 3, 15));
    dal.selectAll();
    QTest::keyClicks(&dal, "31/02");
    emit dal.editingFinished();
    EXPECT_EQ(services->messages().size(), 1);
    EXPECT_EQ(dal.text(), "15/03/2024") << "the box shows the field again";
    d.ds.cancel();
    EXPECT_EQ(nome.text(), "DUE");

    // A read-only dataset: the boxes are read-only and nothing is written.
    d.ds.setReadOnly(true);
    d.ds.first();
    EXPECT_TRUE(nome.isReadOnly());
    nome.SetAlwaysReadOnly(false);
    EXPECT_TRUE(nome.isReadOnly());
    d.ds.setReadOnly(false);
    d.ds.next();
    d.ds.prior();
    EXPECT_FALSE(nome.isReadOnly());
    nome.SetAlwaysReadOnly(true);
    EXPECT_TRUE(nome.isReadOnly());
}

TEST(DBControls, CheckBoxesOptionsAndListsWriteTheirValues)
{
    RecordingServicesScope services;
    Dati d;
    DBCheckBox elimina("Elimina");
    elimina.ValueChecked = "S";
    elimina.ValueUnchecked = "N";
    elimina.SetDataSource(&d.source);
    elimina.SetDataField("Elimina");
    DBRadioGroup opzioni("Scelta");
    opzioni.AddItem("No", "N");
    opzioni.AddItem("Sì", "S");
    opzioni.SetDataSource(&d.source);
    opzioni.SetDataField("Elimina");
    DBComboBox lista({"", "N", "S"});
    lista.SetDataSource(&d.source);
    lista.SetDataField("Elimina");

    EXPECT_FALSE(elimina.isChecked());
    EXPECT_EQ(opzioni.ItemIndex(), 0);
    EXPECT_EQ(lista.currentText(), "N");
    d.ds.next();
    EXPECT_TRUE(elimina.isChecked());
    EXPECT_EQ(opzioni.ItemIndex(), 1);

    elimina.click();
    EXPECT_EQ(d.ds.state(), DataSetState::Edit);
    EXPECT_EQ(d.ds.fieldValue("Elimina").toString(), "N");
    EXPECT_EQ(opzioni.ItemIndex(), 0) << "the other controls follow";
    opzioni.findChildren<QRadioButton *>().at(1)->click();
    EXPECT_EQ(d.ds.fieldValue("Elimina").toString(), "S");
    EXPECT_TRUE(elimina.isChecked());
    lista.setCurrentIndex(0);
    emit lista.activated(0);
    EXPECT_TRUE(d.ds.fieldByName("Elimina").isNull());
    EXPECT_EQ(opzioni.ItemIndex(), -1);

    // A refused edit is shown and the control shows the field again.
    d.ds.cancel();
    d.ds.events().beforeEdit = [](DataSet &) { throw EUqError("bloccato"); };
    elimina.click();
    EXPECT_EQ(services->messageTexts(), QStringList{"bloccato"});
    EXPECT_TRUE(elimina.isChecked());
    EXPECT_EQ(d.ds.state(), DataSetState::Browse);
}
