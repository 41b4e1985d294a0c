// The pay-period grid and the master-data frame on screen (offscreen): the
// flag columns drawn as images and swapped by a double click or the space
// bar, the hours typed in the grid, the qualification chosen in the search
// dialog, a delete the archive refuses, and the CCNL table dialog.
#include "CalcoliTestSupport.h"
#include "RecordingServices.h"
#include "VapeTestSupport.h"
#include "WunRDBES.h"
#include "wunCTabCCNL.h"
#include "wunFTabCCNL.h"
#include "wunRVapeBase.h"
#include "wunUCalcoli.h"

#include "DataSetModel.h"
#include "EnumerationCombo.h"
#include "SearchDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using platform::DataSet;
using platform::Value;

namespace {

class GrigliaPeriodi : public calcolitest::DemoCalcoli {
protected:
    void SetUp() override
    {
        DemoCalcoli::SetUp();
        const int registro = vapetest::RegistroDiNovembre(db());
        ASSERT_GT(registro, 0);
        auto periodi = std::make_unique<vapetest::PeriodiRegistro>();
        regole = periodi.get();
        frame = std::make_unique<TfrWunVapeBase>(std::move(periodi));
        frame->resize(1000, 300);
        frame->show();
        regole->Apri(registro);
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        frame.reset();
        DemoCalcoli::TearDown();
    }
    QModelIndex cella(const QString &campo) const { return frame->grModel->index(0, frame->grModel->columnOf(campo)); }
    // How many pixels of the cell have the colour of the confirm action's
    // image.
    int pixelImmagine(const QModelIndex &indice) const
    {
        QCoreApplication::processEvents();
        const QImage icona = frame->acPost->icon().pixmap(16, 16).toImage();
        const QRgb colore = icona.pixel(3, 8);
        const QImage cellaDisegnata = frame->grDati->viewport()
                                          ->grab(frame->grDati->visualRect(indice))
                                          .toImage()
                                          .convertToFormat(icona.format());
        int n = 0;
        for (int y = 0; y < cellaDisegnata.height(); ++y)
            for (int x = 0; x < cellaDisegnata.width(); ++x)
                n += cellaDisegnata.pixel(x, y) == colore ? 1 : 0;
        return n;
    }
    DataSet &p() { return regole->xqcMain; }

    RecordingServicesScope services;
    vapetest::PeriodiRegistro *regole = nullptr;
    std::unique_ptr<TfrWunVapeBase> frame;
};

} // namespace

TEST_F(GrigliaPeriodi, FlagColumnsAreImagesThatADoubleClickOrTheSpaceBarSwaps)
{
    const QModelIndex catt = cella("LVAPECATTEDRA");
    ASSERT_TRUE(catt.isValid());
    ASSERT_EQ(p().fieldValue("LVAPECATTEDRA").toInt(), 0);
    EXPECT_EQ(catt.data(Qt::DisplayRole).toString(), QString()) << "no text, an image";
    EXPECT_FALSE(frame->grModel->flags(catt) & Qt::ItemIsEditable);
    EXPECT_EQ(pixelImmagine(catt), 0);

    const QPoint centro = frame->grDati->visualRect(catt).center();
    QTest::mouseClick(frame->grDati->viewport(), Qt::LeftButton, {}, centro);
    QTest::mouseDClick(frame->grDati->viewport(), Qt::LeftButton, {}, centro);
    EXPECT_EQ(p().fieldValue("LVAPECATTEDRA").toInt(), 1);
    EXPECT_TRUE(p().isEditing());
    EXPECT_GT(pixelImmagine(catt), 20) << "the confirm action's image is drawn for 1";

    EXPECT_EQ(frame->grDati->editTriggers(), QAbstractItemView::NoEditTriggers) << "no editing in a flag column";
    frame->grDati->setCurrentIndex(catt);
    QTest::keyClick(frame->grDati, Qt::Key_Space);
    EXPECT_EQ(p().fieldValue("LVAPECATTEDRA").toInt(), 0);
    EXPECT_EQ(pixelImmagine(catt), 0);
    // Other keys do nothing there.
    QTest::keyClick(frame->grDati, Qt::Key_5);
    QTest::keyClick(frame->grDati, Qt::Key_Delete);
    EXPECT_EQ(p().fieldValue("LVAPECATTEDRA").toInt(), 0);
    EXPECT_TRUE(frame->grDati->findChildren<QLineEdit *>().isEmpty()) << "no editor opened";

    // Back on another column the grid edits again.
    frame->grDati->setCurrentIndex(cella("IVAPEGIORNI"));
    EXPECT_NE(frame->grDati->editTriggers(), QAbstractItemView::NoEditTriggers);
    p().cancel();
}

TEST_F(GrigliaPeriodi, HoursTypedInTheGridAreReadAsHoursAndMinutes)
{
    const QModelIndex ore = cella("IVAPEORESERVIZIO");
    EXPECT_EQ(ore.data(Qt::EditRole).toString(), "36") << "edited as its text";
    EXPECT_TRUE(frame->grModel->setData(ore, QString("7:30")));
    EXPECT_EQ(p().fieldValue("IVAPEORESERVIZIO").toInt(), 450);
    EXPECT_EQ(ore.data(Qt::DisplayRole).toString(), "07:30");
    EXPECT_FALSE(frame->grModel->setData(ore, QString("7.30")));
    EXPECT_EQ(p().fieldValue("IVAPEORESERVIZIO").toInt(), 450);
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().front().text, "Orario non valido: \"7.30\". Indicare le ore e i minuti come hh:mm.");
    p().cancel();
}

TEST_F(GrigliaPeriodi, ADateTypedInTheGridThatDoesNotExistIsRefusedNotMoved)
{
    const QModelIndex dal = cella("DVAPEDAL");
    const QDate prima = dal.data(Qt::EditRole).toDate();
    QAbstractItemDelegate *delegato = frame->grDati->itemDelegate();
    std::unique_ptr<QWidget> editor(delegato->createEditor(frame->grDati->viewport(), QStyleOptionViewItem(), dal));
    auto *testo = editor->findChild<QLineEdit *>();
    ASSERT_NE(testo, nullptr);
    delegato->setEditorData(editor.get(), dal);
    EXPECT_EQ(testo->text(), prima.toString("dd/MM/yyyy"));
    testo->setText(QStringLiteral("31/11/%1").arg(prima.year()));
    delegato->setModelData(editor.get(), frame->grModel, dal);
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_TRUE(services->messages().front().text.endsWith(
        QStringLiteral(": \"31/11/%1\" non è una data valida (gg/mm/aaaa)").arg(prima.year())))
        << services->messages().front().text.toStdString();
    EXPECT_EQ(p().fieldByName("DVAPEDAL").asDate(), prima);
    p().cancel();
}

TEST_F(GrigliaPeriodi, WithAbilitaModificaQualificaTheNewPeriodsQualificationIsSearched)
{
    frame->cbModificaQualifica->setChecked(true);
    const int altra = scalar(QStringLiteral("SELECT FIRST 1 IQARID FROM TQAR_QUALIFICHE WHERE IQARID <> %1 ORDER BY "
                                            "IQARID")
                                 .arg(regole->QualificaPersona))
                          .toInt();
    QString testo;
    int iniziale = 0;
    services->onNextDialog([&](QDialog &d) {
        auto &ricerca = dynamic_cast<platform::SearchDialog &>(d);
        testo = ricerca.SQL();
        iniziale = ricerca.CurrentKey().toInt();
        EXPECT_TRUE(ricerca.Data().locate("IQARID", altra));
        return int(QDialog::Accepted);
    });
    frame->acInsert->trigger();
    EXPECT_TRUE(testo.endsWith(" ORDER BY 1")) << testo.toStdString();
    EXPECT_FALSE(testo.contains("##"));
    EXPECT_EQ(iniziale, regole->QualificaPersona) << "opened on the person's qualification";
    EXPECT_EQ(p().state(), platform::DataSetState::Insert);
    EXPECT_EQ(p().fieldValue("IQARID").toInt(), altra);
    p().cancel();

    // A search cancelled inserts nothing.
    services->onNextDialog([](QDialog &) { return int(QDialog::Rejected); });
    frame->acInsert->trigger();
    EXPECT_FALSE(p().isEditing());
    EXPECT_TRUE(services->messages().isEmpty()) << "a silent abort";
}

namespace {

class FrameQualifiche : public payrolltest::DemoArchiveSuite {
protected:
    void SetUp() override
    {
        DemoArchiveSuite::SetUp();
        frame = std::make_unique<TfrWunDBES>(std::make_unique<TWunDBES>());
        TUqQueryCollection &q = frame->xqcMain;
        q.SetSelectSQL("SELECT IQARID, SQARSDESC FROM TQAR_QUALIFICHE ORDER BY IQARID");
        q.DeleteSQL = {"DELETE FROM TQAR_QUALIFICHE WHERE IQARID = :OLD_IQARID"};
        q.Open();
        frame->show();
    }
    void TearDown() override
    {
        frame.reset();
        DemoArchiveSuite::TearDown();
    }
    RecordingServicesScope services;
    std::unique_ptr<TfrWunDBES> frame;
};

} // namespace

TEST_F(FrameQualifiche, ADeleteTheArchiveRefusesIsShownAndUndone)
{
    DataSet &q = frame->xqcMain;
    ASSERT_TRUE(q.locate("IQARID", scalar("SELECT FIRST 1 IQARID FROM TVAPE_PERIODI").toInt()));
    const int righe = q.recordCount();
    services->replyToMessages({platform::Yes});
    frame->acDelete->trigger();
    ASSERT_EQ(services->messages().size(), 2) << "the confirmation, then the refusal";
    const platform::MessageRequest &rifiuto = services->messages().at(1);
    EXPECT_TRUE(
        rifiuto.text.startsWith("Impossibile eseguire la cancellazione in quanto esistono dati correlati:\r\n\r\n"))
        << rifiuto.text.toStdString();
    EXPECT_EQ(rifiuto.type, platform::MessageType::Error);
    EXPECT_EQ(q.recordCount(), righe);
    EXPECT_TRUE(frame->acDelete->isEnabled());

    // The frame's keys: Ctrl+End to the last row.
    QApplication::setActiveWindow(frame.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    frame->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(q.recNo(), righe);
}

TEST_F(FrameQualifiche, TheCcnlTableDialogOpensOnTheForcedTableAndHandsBackTheChoice)
{
    WunCCNL().ImpostaTabella(0);
    EXPECT_EQ(TfmWunTabCCNL::Execute(false), 0);
    EXPECT_TRUE(services->dialogs().isEmpty()) << "nothing forced, nothing asked";

    const int tabella = scalar("SELECT FIRST 1 ICCNTID FROM TCCNT_TABELLECCNL ORDER BY ICCNTID").toInt();
    WunCCNL().ImpostaTabella(tabella);
    services->onNextDialog([&](QDialog &d) {
        auto &dialogo = dynamic_cast<TfmWunTabCCNL &>(d);
        EXPECT_EQ(dialogo.windowTitle(), "Scelta tabella CCNL da utilizzare nei calcoli");
        EXPECT_EQ(platform::comboBoxId(*dialogo.cbTabelle), tabella) << "opened on the forced table";
        EXPECT_EQ(dialogo.cbTabelle->itemText(0), "Scelta automatica");
        EXPECT_EQ(dialogo.cbTabelle->maxVisibleItems(), dialogo.cbTabelle->count());
        dialogo.cbTabelle->setCurrentIndex(0);
        return int(mrOk);
    });
    EXPECT_EQ(TfmWunTabCCNL::Execute(false), 0) << "the automatic choice";
    services->onNextDialog([](QDialog &) { return int(mrCancel); });
    EXPECT_EQ(TfmWunTabCCNL::Execute(true), tabella) << "cancelled: the forced table stays";
    WunCCNL().ImpostaTabella(0);
}

TEST_F(GrigliaPeriodi, TheAbsenceKindIsChosenInItsSearchAndClearedByACancel)
{
    frame->MostraTipologiaAssenza(true);
    QStringList titoli;
    services->onNextDialog([&](QDialog &d) {
        auto &ricerca = dynamic_cast<platform::SearchDialog &>(d);
        for (int c = 0; c < ricerca.grSearch->model()->columnCount(); ++c)
            titoli << ricerca.grSearch->model()->headerData(c, Qt::Horizontal).toString();
        EXPECT_TRUE(ricerca.Data().locate("ITAGID", 20));
        return int(QDialog::Accepted);
    });
    frame->buTag->click();
    EXPECT_EQ(titoli, QStringList({"Codice", "Descrizione"}));
    EXPECT_TRUE(p().isEditing());
    EXPECT_EQ(p().fieldValue("ITAGID").toInt(), 20);
    EXPECT_EQ(p().fieldValue("STAGDESCRIZIONE").toString(), "Ferie");
    EXPECT_EQ(frame->dcTag->text(), "Ferie");

    services->onNextDialog([](QDialog &) { return int(QDialog::Rejected); });
    frame->buTag->click();
    EXPECT_TRUE(p().fieldValue("ITAGID").isNull());
    EXPECT_TRUE(p().fieldValue("STAGDESCRIZIONE").isNull());
    p().cancel();
}
