#include "TovFCdsSearch.h"

#include "DataSet.h"
#include "DataSetFile.h"
#include "DataSetModel.h"
#include "Field.h"
#include "Exceptions.h"
#include "FormRegistry.h"
#include "RecordingServices.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// A code table: CODICE (integer), DESCR (text), in file order.
void makeTable(DataSet &ds)
{
    ds.addFieldDef(QStringLiteral("CODICE"), FieldType::Integer);
    ds.addFieldDef(QStringLiteral("DESCR"), FieldType::String, 40);
    ds.createDataSet();
    const QList<QPair<int, const char *>> rows{{3, "Rossi"}, {12, "Bianchi"}, {1, "Rosa"}, {120, "Verdi"}, {2, "ro"}};
    for (const auto &[code, text] : rows)
        ds.appendRecord({Value(code), Value(QString::fromLatin1(text))});
}

QString writeTable(const QTemporaryDir &dir)
{
    DataSet ds;
    makeTable(ds);
    const QString file = dir.filePath(QStringLiteral("TQAS_QUALASSICUR.cds"));
    DataSetFile::saveToFile(ds, file);
    return file;
}

int code(const DataSet &ds)
{
    return ds.fieldValue(QStringLiteral("CODICE")).toInt();
}

} // namespace

TEST(TovSearchCursor, NumericColumnIsExactTextColumnIsCaseSensitivePrefix)
{
    DataSet ds;
    makeTable(ds);
    TTovSearchCursor cursor(ds);
    cursor.SetIndexField(QStringLiteral("CODICE"));
    EXPECT_TRUE(cursor.Search(QStringLiteral("12")));
    EXPECT_EQ(code(ds), 12);
    EXPECT_FALSE(cursor.Search(QStringLiteral("99")));
    EXPECT_EQ(code(ds), 12) << "a miss leaves the cursor";
    EXPECT_FALSE(cursor.Search(QStringLiteral("1x")));
    EXPECT_EQ(code(ds), 12) << "text that is no number is a miss, not an error";

    cursor.SetIndexField(QStringLiteral("DESCR"));
    EXPECT_TRUE(cursor.Search(QStringLiteral("Ro")));
    EXPECT_EQ(code(ds), 1) << "first in the sort order: Rosa before Rossi";
    EXPECT_TRUE(cursor.Search(QStringLiteral("ro")));
    EXPECT_EQ(code(ds), 2) << "lower case matches only the lower-case row";
    EXPECT_FALSE(cursor.Search(QStringLiteral("rz")));
    EXPECT_EQ(code(ds), 2);
    EXPECT_FALSE(cursor.Search(QString()));
}

TEST(TovSearchCursor, Keys)
{
    DataSet ds;
    makeTable(ds);
    TTovSearchCursor cursor(ds);
    cursor.SetIndexField(QStringLiteral("CODICE")); // 1, 2, 3, 12, 120
    ds.first();
    int column = 0;
    EXPECT_TRUE(cursor.HandleKey(Qt::Key_Down, {}, column, 2, 2));
    EXPECT_EQ(code(ds), 2);
    EXPECT_TRUE(cursor.HandleKey(Qt::Key_PageDown, {}, column, 2, 2));
    EXPECT_EQ(code(ds), 12);
    EXPECT_TRUE(cursor.HandleKey(Qt::Key_Up, {}, column, 2, 2));
    EXPECT_EQ(code(ds), 3);
    EXPECT_TRUE(cursor.HandleKey(Qt::Key_End, Qt::ControlModifier, column, 2, 2));
    EXPECT_EQ(code(ds), 120);
    EXPECT_TRUE(cursor.HandleKey(Qt::Key_PageUp, {}, column, 2, 2));
    EXPECT_EQ(code(ds), 3);
    EXPECT_TRUE(cursor.HandleKey(Qt::Key_Home, Qt::ControlModifier, column, 2, 2));
    EXPECT_EQ(code(ds), 1);
    EXPECT_TRUE(cursor.HandleKey(Qt::Key_Right, {}, column, 2, 2));
    EXPECT_EQ(column, 1);
    EXPECT_TRUE(cursor.HandleKey(Qt::Key_Right, {}, column, 2, 2));
    EXPECT_EQ(column, 1) << "not past the last column";
    EXPECT_TRUE(cursor.HandleKey(Qt::Key_Left, {}, column, 2, 2));
    EXPECT_EQ(column, 0);
    // Keys of the edit.
    EXPECT_FALSE(cursor.HandleKey(Qt::Key_5, {}, column, 2, 2));
    EXPECT_FALSE(cursor.HandleKey(Qt::Key_A, {}, column, 2, 2));
    EXPECT_FALSE(cursor.HandleKey(Qt::Key_Home, {}, column, 2, 2));
    EXPECT_FALSE(cursor.HandleKey(Qt::Key_Backspace, {}, column, 2, 2));
    EXPECT_EQ(code(ds), 1);
}

TEST(TfmTovRicerca, SearchFieldWritesTheChosenCode)
{
    RecordingServicesScope services;
    QTemporaryDir dir;
    const QString file = writeTable(dir);
    DataSet target;
    target.addFieldDef(QStringLiteral("QUAL"), FieldType::Integer);
    target.createDataSet();
    target.appendRecord({Value(3)});
    TfmTovRicerca search;
    EXPECT_EQ(search.windowTitle(), "Finestra di ricerca");
    EXPECT_EQ(search.laCerca->text(), "Cerca per ");
    EXPECT_EQ(search.buCancel->text(), "Annulla");

    services->onNextDialog([](QDialog &d) {
        auto &s = static_cast<TfmTovRicerca &>(d);
        EXPECT_EQ(s.laCampo->text(), "CODICE");
        EXPECT_EQ(s.edValue->text(), "3") << "the field's text is put into the edit";
        EXPECT_EQ(s.cdsSearch.fieldValue(QStringLiteral("CODICE")).toInt(), 3);
        s.edValue->setText(QStringLiteral("12"));
        QTest::keyClick(s.edValue, Qt::Key_Down);
        s.buOk->click();
        return s.result();
    });
    search.SearchField(target.fieldByName(QStringLiteral("QUAL")), file);
    EXPECT_EQ(target.state(), DataSetState::Edit);
    EXPECT_EQ(target.fieldValue(QStringLiteral("QUAL")).toInt(), 120);
    EXPECT_FALSE(search.cdsSearch.isActive());

    // Cancelled: the field stays, the dataset stays in edit.
    target.cancel();
    search.SearchField(target.fieldByName(QStringLiteral("QUAL")), file);
    EXPECT_EQ(target.state(), DataSetState::Edit);
    EXPECT_EQ(target.fieldValue(QStringLiteral("QUAL")).toInt(), 3);
    target.cancel();

    // A read-only dataset is not searched.
    target.setReadOnly(true);
    search.SearchField(target.fieldByName(QStringLiteral("QUAL")), file);
    EXPECT_EQ(services->dialogs().size(), 2);
}

TEST(TfmTovRicerca, TitleClickChoosesTheSearchColumn)
{
    RecordingServicesScope services;
    QTemporaryDir dir;
    const QString file = writeTable(dir);
    TfmTovRicerca search;
    services->onNextDialog([](QDialog &d) {
        auto &s = static_cast<TfmTovRicerca &>(d);
        s.edValue->setText(QStringLiteral("1"));
        s.grSearch->horizontalHeader()->sectionClicked(1);
        EXPECT_EQ(s.laCampo->text(), "DESCR");
        EXPECT_EQ(s.edValue->text(), "");
        QTest::keyClicks(s.edValue, QStringLiteral("Bi"));
        s.buOk->click();
        return s.result();
    });
    DataSet *row = search.SearchRecord(file);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(code(*row), 12);
    EXPECT_EQ(row->fieldValue(QStringLiteral("DESCR")).toString(), "Bianchi");

    EXPECT_EQ(search.SearchRecord(file), nullptr) << "cancelled";
    EXPECT_FALSE(search.cdsSearch.isActive());
}

TEST(TfmTovRicerca, LookupAndErrors)
{
    RecordingServicesScope services;
    QTemporaryDir dir;
    const QString file = writeTable(dir);
    TfmTovRicerca search;
    EXPECT_EQ(search.LookupValue(file, {Value(12)}, QStringLiteral("CODICE"), QStringLiteral("DESCR")).toString(),
              "Bianchi");
    EXPECT_TRUE(search.LookupValue(file, {Value(7)}, QStringLiteral("CODICE"), QStringLiteral("DESCR")).isUnassigned());
    EXPECT_TRUE(search
                    .LookupValue(file, {Value(1), Value(QStringLiteral("Rosa"))}, QStringLiteral("CODICE;DESCR"),
                                 QStringLiteral("CODICE"))
                    .toInt()
                == 1);

    EXPECT_ANY_THROW(search.SearchRecord(dir.filePath(QStringLiteral("assente.cds"))));
    EXPECT_TRUE(services->dialogs().isEmpty()) << "nothing is shown when the table is missing";
}

TEST(TfmTovRicerca, DoubleClickActsAsOkAndOneInstanceServes)
{
    RecordingServicesScope services;
    QTemporaryDir dir;
    const QString file = writeTable(dir);
    TfmTovRicerca *search = fmTovRicerca();
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(fmTovRicerca(), search);
    services->onNextDialog([](QDialog &d) {
        auto &s = static_cast<TfmTovRicerca &>(d);
        s.edValue->setText(QStringLiteral("3"));
        s.grSearch->doubleClicked(s.grSearch->currentIndex());
        return s.result();
    });
    EXPECT_EQ(search->SearchValue(file, nullptr).toInt(), 3);
    delete search;
}

TEST(TfmTovRicerca, TheSingleWindowIsFreedWhenTheMessageLoopEnds)
{
    QPointer<TfmTovRicerca> search = fmTovRicerca();
    ASSERT_FALSE(search.isNull());
    // What QCoreApplication::exec does as it returns.
    ASSERT_TRUE(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection));
    EXPECT_TRUE(search.isNull());
    // A later use makes a new one.
    TfmTovRicerca *again = fmTovRicerca();
    ASSERT_NE(again, nullptr);
    delete again;
}

TEST(TfmTovRicerca, PageKeysMoveByTheRowsTheGridShows)
{
    RecordingServicesScope services;
    QTemporaryDir dir;
    DataSet table;
    table.addFieldDef(QStringLiteral("CODICE"), FieldType::Integer);
    table.addFieldDef(QStringLiteral("DESCR"), FieldType::String, 40);
    table.createDataSet();
    for (int i = 1; i <= 60; ++i)
        table.appendRecord({Value(i), Value(QStringLiteral("Voce %1").arg(i))});
    const QString file = dir.filePath(QStringLiteral("TLUNGA.cds"));
    DataSetFile::saveToFile(table, file);

    TfmTovRicerca search;
    services->onNextDialog([](QDialog &d) {
        auto &s = static_cast<TfmTovRicerca &>(d);
        s.show();
        QCoreApplication::processEvents();
        const int rowHeight = s.grSearch->rowHeight(0);
        const int viewport = s.grSearch->viewport()->height();
        QTest::keyClick(s.edValue, Qt::Key_PageDown);
        // The rows wholly shown: the page moved past them and no further.
        const int page = code(s.cdsSearch) - 1;
        EXPECT_GT(page, 1);
        EXPECT_LE(page * rowHeight, viewport);
        EXPECT_GT((page + 1) * rowHeight, viewport);
        QTest::keyClick(s.edValue, Qt::Key_PageDown);
        EXPECT_EQ(code(s.cdsSearch), 1 + 2 * page);
        QTest::keyClick(s.edValue, Qt::Key_PageUp);
        EXPECT_EQ(code(s.cdsSearch), 1 + page);
        EXPECT_EQ(s.grSearch->currentIndex().row(), page) << "the grid follows";
        // At the end a page down stays; at the beginning a page up stays.
        QTest::keyClick(s.edValue, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(s.edValue, Qt::Key_PageDown);
        EXPECT_EQ(code(s.cdsSearch), 60);
        QTest::keyClick(s.edValue, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(s.edValue, Qt::Key_PageUp);
        EXPECT_EQ(code(s.cdsSearch), 1);
        EXPECT_TRUE(s.edValue->text().isEmpty()) << "the keys do not reach the edit";
        s.hide();
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(search.SearchValue(file, nullptr).isNull());
}

TEST(TfmTovRicerca, TheWindowClassIsRegisteredByName)
{
    RecordingServicesScope services;
    TfmTovRicerca::RegisterClass();
    ASSERT_TRUE(FormRegistry::IsRegistered(QStringLiteral("TfmTovRicerca")));
    QWidget owner;
    QWidget *w = FormRegistry::Create(QStringLiteral("TfmTovRicerca"), &owner);
    ASSERT_NE(qobject_cast<TfmTovRicerca *>(w), nullptr);
    EXPECT_EQ(w->windowTitle(), "Finestra di ricerca");
    EXPECT_EQ(w->parent(), &owner);
    TfmTovRicerca::UnregisterClass();
    EXPECT_FALSE(FormRegistry::IsRegistered(QStringLiteral("TfmTovRicerca")));
}

TEST(TfmTovRicerca, KeysInAWindowWithNoTableDoNothing)
{
    RecordingServicesScope services;
    // Created by class name and shown before any search: no table is open.
    TfmTovRicerca search;
    for (int key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        EXPECT_NO_THROW(QCoreApplication::sendEvent(search.edValue, &press)) << key;
    }
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    EXPECT_NO_THROW(QCoreApplication::sendEvent(search.edValue, &end));
    EXPECT_FALSE(search.cdsSearch.isActive());
}
