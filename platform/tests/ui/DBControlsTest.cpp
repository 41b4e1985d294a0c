// The data-aware controls: what they show as the dataset moves, how a
// user's change puts the dataset into edit and writes the field, the text a
// box refuses (naming the field), read-only datasets, and the values of check boxes,
// option groups and lists.
#include "DBControls.h"
#include "DataSet.h"
#include "DataSource.h"
#include "Exceptions.h"
#include "RecordingServices.h"

#include <QRadioButton>
#include <QVBoxLayout>
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
    d.ds.next();
    EXPECT_EQ(nome.text(), "DUE");
    EXPECT_EQ(importo.text(), "");

    // The first change puts the dataset into edit; letters become capitals.
    nome.end(false);
    QTest::keyClicks(&nome, "x");
    EXPECT_EQ(d.ds.state(), DataSetState::Edit);
    EXPECT_EQ(d.ds.fieldValue("Nome").toString(), "DUEX");
    // Numbers: digits and one decimal point ("," or "."); dates as days.
    QTest::keyClicks(&importo, "12,34");
    EXPECT_EQ(d.ds.fieldValue("Importo").toCurrency(), Currency::fromString("12.34"));
    numero.selectAll();
    QTest::keyClick(&numero, Qt::Key_Delete);
    EXPECT_TRUE(d.ds.fieldByName("Numero").isNull());
    QTest::keyClicks(&dal, "15/03/2024");
    EXPECT_EQ(d.ds.fieldValue("Dal").toDate(), QDate(2024, 3, 15));

    // What cannot be a value stays in the box as typed, and leaving the box
    // refuses it naming the field and puts the field back: nothing is
    // dropped, cut or rounded without a word.
    const struct {
        DBEdit *edit;
        const char *typed;
        QString message;
    } refused[] = {
        {&importo, "12a,5x",
         QStringLiteral("Campo \"Importo\": \"12a,5x\" non è un numero (cifre e, per i decimali, una virgola)")},
        {&importo, "1,23456", QStringLiteral("Campo \"Importo\": \"1,23456\" ha più di 4 decimali")},
        {&numero, "12,5", QStringLiteral("Campo \"Numero\": \"12,5\" non è un numero intero")},
        {&dal, "31/02/2024", QStringLiteral("Campo \"Dal\": \"31/02/2024\" non è una data valida (gg/mm/aaaa)")},
        {&nome, "DUEXYZ", QStringLiteral("Campo \"Nome\": il testo ha 6 caratteri, il campo ne contiene al massimo 5")},
    };
    for (const auto &r : refused) {
        SCOPED_TRACE(r.typed);
        const Value before = d.ds.fieldValue(r.edit->DataField());
        const QString shown = r.edit->text();
        r.edit->selectAll();
        QTest::keyClicks(r.edit, r.typed);
        EXPECT_EQ(r.edit->text(), QString::fromUtf8(r.typed));
        emit r.edit->editingFinished();
        EXPECT_EQ(d.ds.fieldValue(r.edit->DataField()), before) << "not what the typing made on the way";
        ASSERT_FALSE(services->messages().isEmpty());
        EXPECT_EQ(services->messages().last().text, r.message);
        EXPECT_EQ(r.edit->text(), shown) << "the box shows the field again";
    }
    // A pasted text longer than the field is not cut either.
    nome.selectAll();
    nome.insert(QString(300, QLatin1Char('A')));
    emit nome.textEdited(nome.text());
    emit nome.editingFinished();
    EXPECT_EQ(services->messages().last().text,
              QStringLiteral("Campo \"Nome\": il testo ha 300 caratteri, il campo ne contiene al massimo 5"));
    EXPECT_EQ(d.ds.fieldValue("Nome").toString(), "DUEX");
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

// An amount reads as in the grids (the display format) in every box, and
// as it is typed (the edit format) while the user works in the box.
TEST(DBControls, AmountsShowTheDisplayFormatOutsideTheBoxBeingEdited)
{
    RecordingServicesScope services;
    Dati d;
    Field &importo = d.ds.fieldByName("Importo");
    importo.setDisplayFormat("#,##0.00");
    importo.setEditFormat("0.00");
    d.ds.edit();
    importo.setAsCurrency(Currency::fromString("3764.66"));
    d.ds.post();
    QWidget finestra;
    auto *layout = new QVBoxLayout(&finestra);
    auto *box = new DBEdit(&finestra);
    auto *altro = new DBEdit(&finestra);
    for (DBEdit *e : {box, altro}) {
        e->SetDataSource(&d.source);
        layout->addWidget(e);
    }
    box->SetDataField("Importo");
    altro->SetDataField("Nome");
    finestra.show();
    finestra.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&finestra));
    altro->setFocus();
    EXPECT_EQ(box->text(), "3.764,66");
    box->setFocus();
    EXPECT_EQ(box->text(), "3764,66");
    box->selectAll();
    QTest::keyClicks(box, "5418,54");
    altro->setFocus();
    EXPECT_EQ(d.ds.fieldValue("Importo").toCurrency(), Currency::fromString("5418.54"));
    EXPECT_EQ(box->text(), "5.418,54");
}
