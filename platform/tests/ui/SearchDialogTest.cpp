#include "DataSetModel.h"
#include "Field.h"
#include "RecordingServices.h"
#include "SearchDialog.h"
#include "TempDatabase.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class SearchDialogDb : public ::testing::Test {
protected:
    TempDatabase tdb{{"CREATE TABLE TTAG_TIPI (ITAGID INTEGER NOT NULL PRIMARY KEY, CODICE VARCHAR(10), "
                      "DESCRIZIONE VARCHAR(40), NOTE VARCHAR(80))",
                      "INSERT INTO TTAG_TIPI VALUES (1, 'MAL', 'Malattia', 'con certificato')",
                      "INSERT INTO TTAG_TIPI VALUES (2, 'FER', 'Ferie', NULL)",
                      "INSERT INTO TTAG_TIPI VALUES (3, 'MAT', 'Maternita', NULL)",
                      "INSERT INTO TTAG_TIPI VALUES (4, 'ROL', 'Riduzione orario', NULL)"}};

    void setUpDialog(SearchDialog &dlg)
    {
        dlg.SetConnection(&tdb.db());
        dlg.SetSQL("SELECT CODICE, DESCRIZIONE, NOTE, ITAGID FROM TTAG_TIPI");
        dlg.KeyField = "ITAGID";
        SearchColumn &code = dlg.Column(0);
        code.Caption = "Codice";
        code.Width = 100;
        code.Indexed = true;
        SearchColumn &desc = dlg.Column(1);
        desc.Caption = "Descrizione";
        desc.Indexed = true;
    }

    static QStringList titles(SearchDialog &dlg)
    {
        QStringList result;
        auto *model = dlg.grSearch->model();
        for (int c = 0; c < model->columnCount(); ++c)
            result << model->headerData(c, Qt::Horizontal).toString();
        return result;
    }
};

} // namespace

TEST_F(SearchDialogDb, ShowsOnlyTheListedColumnsWithTheirCaptionsSortedOnTheFirst)
{
    SearchDialog dlg;
    setUpDialog(dlg);
    dlg.Open();
    EXPECT_EQ(titles(dlg), QStringList({"Codice", "Descrizione"}));
    EXPECT_EQ(dlg.grSearch->columnWidth(0), 100);
    EXPECT_EQ(dlg.SearchField(), "CODICE");
    EXPECT_EQ(dlg.laCampo->text(), "Codice");
    EXPECT_EQ(dlg.Data().fieldValue("CODICE").toString(), "FER");
}

TEST_F(SearchDialogDb, ColumnsWithoutFieldNamesTakeTheStatementsColumnsByPosition)
{
    SearchDialog dlg;
    setUpDialog(dlg);
    dlg.Column(3).Visible = false; // ITAGID by position, kept hidden
    dlg.Open();
    // Growing the list to the fourth column made the third a plain one.
    EXPECT_EQ(titles(dlg), QStringList({"Codice", "Descrizione", "NOTE"}));
    dlg.Column(2).Caption = "Note";
    dlg.Open();
    EXPECT_EQ(titles(dlg), QStringList({"Codice", "Descrizione", "Note"}));
}

TEST_F(SearchDialogDb, TypingFindsByPrefixWithoutRegardToCaseAndAMissStays)
{
    SearchDialog dlg;
    setUpDialog(dlg);
    dlg.Open();
    QTest::keyClicks(dlg.edValue, "ma");
    EXPECT_EQ(dlg.Data().fieldValue("CODICE").toString(), "MAL");
    QTest::keyClicks(dlg.edValue, "t");
    EXPECT_EQ(dlg.Data().fieldValue("CODICE").toString(), "MAT");
    QTest::keyClicks(dlg.edValue, "x");
    EXPECT_EQ(dlg.Data().fieldValue("CODICE").toString(), "MAT");
    EXPECT_EQ(dlg.CurrentKey().toInt(), 3);
}

TEST_F(SearchDialogDb, TitleClickChoosesOnlyIndexedColumns)
{
    SearchDialog dlg;
    setUpDialog(dlg);
    dlg.Column(2).Caption = "Note";
    dlg.Open();
    QTest::keyClicks(dlg.edValue, "r");
    emit dlg.grSearch->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(dlg.SearchField(), "DESCRIZIONE");
    EXPECT_EQ(dlg.laCampo->text(), "Descrizione");
    EXPECT_TRUE(dlg.edValue->text().isEmpty());
    QTest::keyClicks(dlg.edValue, "rid");
    EXPECT_EQ(dlg.Data().fieldValue("CODICE").toString(), "ROL");
    EXPECT_FALSE(dlg.SetSearchColumn(2)); // "Note" is not indexed
    EXPECT_EQ(dlg.SearchField(), "DESCRIZIONE");
}

TEST_F(SearchDialogDb, ArrowKeysInTheEditMoveTheCursor)
{
    SearchDialog dlg;
    setUpDialog(dlg);
    dlg.resize(585, 371);
    dlg.show();
    dlg.Open();
    QTest::keyClick(dlg.edValue, Qt::Key_Down);
    EXPECT_EQ(dlg.Data().fieldValue("CODICE").toString(), "MAL");
    // The grid shows more than four rows: a page goes to the last one.
    QTest::keyClick(dlg.edValue, Qt::Key_PageDown);
    EXPECT_EQ(dlg.Data().recNo(), 4);
    QTest::keyClick(dlg.edValue, Qt::Key_Up);
    EXPECT_EQ(dlg.Data().recNo(), 3);
    QTest::keyClick(dlg.edValue, Qt::Key_PageUp);
    EXPECT_EQ(dlg.Data().recNo(), 1);
}

TEST_F(SearchDialogDb, ExecuteReturnsTheKeyOfTheChosenRowOrNullWhenCancelled)
{
    RecordingServicesScope services;
    SearchDialog dlg;
    setUpDialog(dlg);
    services->onNextDialog([](QDialog &d) {
        auto &search = static_cast<SearchDialog &>(d);
        QTest::keyClicks(search.edValue, "rol");
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(dlg.Execute().toInt(), 4);
    // Unscripted: rejected.
    EXPECT_TRUE(dlg.Execute().isNull());
}

TEST_F(SearchDialogDb, WithoutColumnsEveryColumnIsShownAndTheFirstIsReturned)
{
    RecordingServicesScope services;
    SearchDialog dlg;
    dlg.SetConnection(&tdb.db());
    dlg.SetSQL("SELECT ITAGID, CODICE FROM TTAG_TIPI");
    services->onNextDialog([](QDialog &d) {
        QTest::keyClicks(static_cast<SearchDialog &>(d).edValue, "3");
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(dlg.Execute().toInt(), 3);
    EXPECT_EQ(titles(dlg), QStringList({"ITAGID", "CODICE"}));
    // Text that is no number finds nothing in a numeric column.
    EXPECT_FALSE(dlg.Search("x"));
}

TEST_F(SearchDialogDb, AFailingStatementRaisesBeforeAnythingIsShown)
{
    RecordingServicesScope services;
    SearchDialog dlg;
    dlg.SetConnection(&tdb.db());
    dlg.SetSQL("SELECT NOTHING FROM NOWHERE");
    EXPECT_THROW(dlg.Execute(), EDatabaseError);
    EXPECT_TRUE(services->dialogs().isEmpty());
}

TEST_F(SearchDialogDb, ARowReachedWithTheGridsKeysIsTheOneChosen)
{
    SearchDialog dlg;
    setUpDialog(dlg);
    dlg.resize(585, 371);
    dlg.show();
    dlg.Open(); // FER, MAL, MAT, ROL
    dlg.grSearch->setFocus();
    QTest::keyClick(dlg.grSearch, Qt::Key_Down);
    QTest::keyClick(dlg.grSearch, Qt::Key_Down);
    EXPECT_EQ(dlg.grSearch->currentIndex().row(), 2);
    EXPECT_EQ(dlg.Data().fieldValue("CODICE").toString(), "MAT");
    EXPECT_EQ(dlg.CurrentKey().toInt(), 3) << "Enter then returns the row shown";
}

TEST_F(SearchDialogDb, SearchTextsGetEveryRowAndOpenOnTheGivenKey)
{
    SearchDialog dlg;
    setUpDialog(dlg);
    dlg.SetSQL("SELECT CODICE, DESCRIZIONE, NOTE, ITAGID FROM TTAG_TIPI WHERE ##WHERE## ORDER BY ##ORDERBY##");
    dlg.InitialKey = 3;
    dlg.Open();
    EXPECT_EQ(dlg.Data().recordCount(), 4);
    EXPECT_EQ(dlg.CurrentKey().toInt(), 3);
    // A key no row has: the first row.
    dlg.InitialKey = 99;
    dlg.Open();
    EXPECT_EQ(dlg.Data().recNo(), 1);
}
