#include "TovRBase.h"
#include "UqFChildDBDA.h"

#include "DataSet.h"
#include "DataSetModel.h"
#include "Exceptions.h"
#include "RecordingServices.h"

#include <QAction>
#include <QLineEdit>
#include <QApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace platform;

namespace {

void fill(TfrTovBase &frame, int rows)
{
    DataSet &ds = frame.cdsMain;
    ds.addFieldDef(QStringLiteral("ID"), FieldType::Integer);
    ds.addFieldDef(QStringLiteral("NOME"), FieldType::String, 20, true);
    ds.createDataSet();
    // Loading by code opens the guard.
    frame.SetPostAllowed(true);
    for (int i = 1; i <= rows; ++i)
        ds.appendRecord({Value(i), Value(QStringLiteral("R%1").arg(i))});
    frame.SetPostAllowed(false);
    ds.first();
}

} // namespace

TEST(TfrTovBase, ActionsPagesAndShortcuts)
{
    RecordingServicesScope services;
    TfrTovBase frame;
    struct Row {
        QAction *action;
        const char *name, *caption, *hint;
        QKeySequence key;
    };
    const Row rows[] = {
        {frame.acFirst, "acFirst", "&Primo", "Primo elemento", QKeySequence(Qt::CTRL | Qt::Key_Home)},
        {frame.acPrior, "acPrior", "Pre&cedente", "Elemento precedente", QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {frame.acNext, "acNext", "&Successivo", "Elemento successivo", QKeySequence(Qt::CTRL | Qt::Key_Down)},
        {frame.acLast, "acLast", "&Ultimo", "Ultimo elemento", QKeySequence(Qt::CTRL | Qt::Key_End)},
        {frame.acInsert, "acInsert", "&Inserisci", "Nuovo elemento", QKeySequence(Qt::CTRL | Qt::Key_Insert)},
        {frame.acDelete, "acDelete", "C&ancella", "Cancella elemento", QKeySequence(Qt::CTRL | Qt::Key_Delete)},
        {frame.acEdit, "acEdit", "&Modifica", "Modifica elemento", QKeySequence(Qt::Key_F2)},
        {frame.acPost, "acPost", "C&onferma", "Conferma modifiche", QKeySequence(Qt::CTRL | Qt::Key_Return)},
        {frame.acCancel, "acCancel", "A&nnulla", "Annulla modifiche ", QKeySequence(Qt::CTRL | Qt::Key_Z)},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(frame.FindAction(QLatin1String(r.name)), r.action);
        EXPECT_EQ(r.action->text(), QLatin1String(r.caption));
        EXPECT_EQ(r.action->toolTip(), QString::fromUtf8(r.hint));
        EXPECT_EQ(r.action->shortcut(), r.key);
    }
    EXPECT_EQ(frame.pcMain->tabText(0), "Griglia");
    EXPECT_EQ(frame.pcMain->tabText(1), "Dettaglio");
    EXPECT_EQ(frame.pcMain->currentWidget(), frame.tsGrid);
    EXPECT_TRUE(frame.AutoDetail());
    EXPECT_FALSE(frame.PostAllowed());
}

TEST(TfrTovBase, PositionTexts)
{
    RecordingServicesScope services;
    TfrTovBase frame;
    fill(frame, 0);
    QLineEdit edit;
    frame.ShowRecordPosition(&edit);
    EXPECT_EQ(edit.text(), "0 di 0");
    EXPECT_THROW(frame.cdsMain.appendRecord({Value(1), Value(QStringLiteral("a"))}), EAbort);
    frame.cdsMain.cancel();
    frame.SetPostAllowed(true);
    frame.cdsMain.appendRecord({Value(1), Value(QStringLiteral("a"))});
    frame.cdsMain.appendRecord({Value(2), Value(QStringLiteral("b"))});
    frame.SetPostAllowed(false);
    frame.cdsMain.last();
    EXPECT_EQ(TfrTovBase::RecordPositionText(frame.cdsMain), "2 di 2");
    frame.cdsMain.first();
    EXPECT_EQ(TfrTovBase::RecordPositionText(frame.cdsMain), "1 di 2");
    frame.acInsert->trigger();
    frame.ShowRecordPosition(&edit);
    EXPECT_EQ(edit.text(), "Ins.");
}

// The moves are offered only where there is another record to go to: a
// single record offers no "Successivo" that shows it again.
TEST(TfrTovBase, MovesAreOfferedOnlyTowardsAnotherRecord)
{
    RecordingServicesScope services;
    const auto offerti = [](const TfrTovBase &f) {
        return QList<bool>{f.acFirst->isEnabled(), f.acPrior->isEnabled(), f.acNext->isEnabled(),
                           f.acLast->isEnabled()};
    };
    TfrTovBase uno;
    fill(uno, 1);
    EXPECT_EQ(offerti(uno), QList<bool>({false, false, false, false}));
    uno.acNext->trigger();
    uno.acLast->trigger();
    EXPECT_EQ(offerti(uno), QList<bool>({false, false, false, false}));
    TfrTovBase due;
    fill(due, 2);
    EXPECT_EQ(offerti(due), QList<bool>({false, false, true, true}));
    due.acNext->trigger();
    EXPECT_EQ(offerti(due), QList<bool>({true, true, false, false}));
}

TEST(TfrTovBase, MovingWhileEditingIsRefusedAndTheEditStays)
{
    RecordingServicesScope services;
    TfrTovBase frame;
    fill(frame, 3);
    frame.acEdit->trigger();
    ASSERT_EQ(frame.cdsMain.state(), DataSetState::Edit);
    frame.cdsMain.setFieldValue(QStringLiteral("NOME"), Value(QStringLiteral("nuovo")));
    frame.acNext->trigger();
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).text, "Salvare prima di cambiare modello.");
    EXPECT_EQ(services->messages().at(0).caption, "");
    EXPECT_EQ(services->messages().at(0).buttons, Ok);
    EXPECT_EQ(frame.cdsMain.state(), DataSetState::Edit);
    EXPECT_EQ(frame.cdsMain.recNo(), 1);
    // A direct post by code is refused the same way and reaches the caller.
    EXPECT_THROW(frame.cdsMain.post(), EAbort);
    EXPECT_EQ(services->messages().size(), 2);

    // The confirm action posts and closes the guard again.
    frame.acPost->trigger();
    EXPECT_EQ(frame.cdsMain.state(), DataSetState::Browse);
    EXPECT_EQ(frame.cdsMain.fieldValue(QStringLiteral("NOME")).toString(), "nuovo");
    EXPECT_FALSE(frame.PostAllowed());
    EXPECT_EQ(services->messages().size(), 2);

    // Code that opens the guard itself may post.
    frame.cdsMain.edit();
    frame.SetPostAllowed(true);
    EXPECT_NO_THROW(frame.cdsMain.next());
    frame.SetPostAllowed(false);
    EXPECT_EQ(frame.cdsMain.recNo(), 2);
}

TEST(TfrTovBase, FailingPostClosesTheGuard)
{
    RecordingServicesScope services;
    TfrTovBase frame;
    fill(frame, 1);
    frame.acInsertExecute();
    frame.cdsMain.setFieldValue(QStringLiteral("ID"), Value(9)); // NOME is required and empty
    EXPECT_ANY_THROW(frame.acPostExecute());
    EXPECT_FALSE(frame.PostAllowed());
    EXPECT_EQ(frame.cdsMain.state(), DataSetState::Insert);
    // Through the action the error goes to the user.
    frame.acPost->trigger();
    EXPECT_EQ(services->messages().size(), 1);
    EXPECT_FALSE(frame.PostAllowed());
}

TEST(TfrTovBase, InsertAppendsAtTheEndAndShowsTheDetailPage)
{
    RecordingServicesScope services;
    TfrTovBase frame;
    fill(frame, 3);
    frame.cdsMain.setRecNo(2);
    frame.acInsert->trigger();
    EXPECT_EQ(frame.pcMain->currentWidget(), frame.tsDetail);
    frame.cdsMain.setFieldValue(QStringLiteral("ID"), Value(4));
    frame.cdsMain.setFieldValue(QStringLiteral("NOME"), Value(QStringLiteral("R4")));
    frame.acPost->trigger();
    frame.cdsMain.last();
    EXPECT_EQ(frame.cdsMain.fieldValue(QStringLiteral("ID")).toInt(), 4);
    EXPECT_EQ(frame.cdsMain.recordCount(), 4);

    // Without the automatic switch the page stays.
    frame.pcMain->setCurrentWidget(frame.tsGrid);
    frame.SetAutoDetail(false);
    frame.acEdit->trigger();
    EXPECT_EQ(frame.pcMain->currentWidget(), frame.tsGrid);
    frame.acCancel->trigger();
    EXPECT_EQ(frame.cdsMain.state(), DataSetState::Browse);
}

TEST(TfrTovBase, NumericTextHidesZero)
{
    RecordingServicesScope services;
    DataSet ds;
    ds.addFieldDef(QStringLiteral("N"), FieldType::Integer);
    ds.addFieldDef(QStringLiteral("F"), FieldType::Float);
    ds.createDataSet();
    ds.appendRecord({Value(0), Value(1234.5)});
    Field &n = ds.fieldByName(QStringLiteral("N"));
    Field &f = ds.fieldByName(QStringLiteral("F"));
    n.setOnGetText(&TfrTovBase::NumericFieldGetText);
    f.setOnGetText(&TfrTovBase::NumericFieldGetText);
    EXPECT_EQ(n.displayText(), "");
    EXPECT_EQ(n.editText(), "");
    EXPECT_EQ(f.displayText(), "1234,5");
    f.setDisplayFormat(QStringLiteral("#,##0.00"));
    f.setEditFormat(QStringLiteral("0.00"));
    EXPECT_EQ(f.displayText(), "1.234,50");
    EXPECT_EQ(f.editText(), "1234,50");
    ds.edit();
    n.setValue(Value(-2));
    EXPECT_EQ(n.displayText(), "-2");
    ds.cancel();
}

TEST(TfrTovBase, TheFrameSourceIsFoundByTheDataWindow)
{
    RecordingServicesScope services;
    TfmUqChildDBDA window;
    auto *frame = new TfrTovBase(&window);
    fill(*frame, 2);
    frame->cdsMain.edit();
    ASSERT_TRUE(window.DataChanged());
    EXPECT_THROW(window.PostData(), EAbort) << "the guard refuses when not opened";
    frame->SetPostAllowed(true);
    window.PostData();
    frame->SetPostAllowed(false);
    EXPECT_FALSE(window.DataChanged());
}

namespace {

QList<QKeySequence> shortcutsOf(const TfrTovBase &frame)
{
    return {frame.acFirst->shortcut(), frame.acPrior->shortcut(),  frame.acNext->shortcut(),
            frame.acLast->shortcut(),  frame.acInsert->shortcut(), frame.acDelete->shortcut(),
            frame.acEdit->shortcut(),  frame.acPost->shortcut(),   frame.acCancel->shortcut()};
}

// Shows the frame as an active window so that its shortcuts answer keys.
void showActive(QWidget &frame)
{
    frame.resize(500, 400);
    frame.show();
    QApplication::setActiveWindow(&frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
}

// Counts the layout requests a widget receives.
class LayoutRequests : public QObject {
public:
    explicit LayoutRequests(QWidget *w) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::LayoutRequest)
            ++count;
        return false;
    }
};

} // namespace

TEST(TfrTovBase, ShortcutsOnlyWhileTheControlBarIsShown)
{
    RecordingServicesScope services;
    TfrTovBase frame;
    EXPECT_TRUE(frame.ShortcutsAssigned());
    const QList<QKeySequence> keys = shortcutsOf(frame);
    EXPECT_EQ(keys.at(6), QKeySequence(Qt::Key_F2));

    frame.orFrame->hide();
    EXPECT_FALSE(frame.ShortcutsAssigned());
    for (const QKeySequence &key : shortcutsOf(frame))
        EXPECT_TRUE(key.isEmpty());
    // The actions stay, only the keys go.
    EXPECT_EQ(frame.FindAction("acPost"), frame.acPost);

    frame.orFrame->show();
    EXPECT_TRUE(frame.ShortcutsAssigned());
    EXPECT_EQ(shortcutsOf(frame), keys);
}

TEST(TfrTovBase, KeysEditAndPostWhileTheBarIsShownOnly)
{
    RecordingServicesScope services;
    TfrTovBase frame;
    fill(frame, 2);
    showActive(frame);
    frame.grFrame->setFocus();

    // F2 without Ctrl starts editing; Ctrl+Enter posts through the guard.
    QTest::keyClick(frame.grFrame, Qt::Key_F2);
    ASSERT_EQ(frame.cdsMain.state(), DataSetState::Edit);
    frame.cdsMain.setFieldValue("NOME", Value(QStringLiteral("tastiera")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(frame.cdsMain.state(), DataSetState::Browse);
    EXPECT_EQ(frame.cdsMain.fieldValue("NOME").toString(), "tastiera");
    EXPECT_TRUE(services->messages().isEmpty());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(frame.cdsMain.recNo(), 2);

    frame.orFrame->hide();
    frame.grFrame->setFocus();
    QTest::keyClick(frame.grFrame, Qt::Key_F2);
    EXPECT_EQ(frame.cdsMain.state(), DataSetState::Browse);
}

TEST(TfrTovBase, TheFramesKeysWinOverATextBoxOfTheDetailPage)
{
    RecordingServicesScope services;
    TfrTovBase frame;
    fill(frame, 3);
    auto *edit = new QLineEdit(frame.tsDetail);
    showActive(frame);
    frame.cdsMain.first();
    frame.acEdit->trigger();
    ASSERT_EQ(frame.cdsMain.state(), DataSetState::Edit);
    edit->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), edit);

    // Ctrl+Z cancels the record's edit instead of undoing the text box.
    QTest::keyClicks(edit, QStringLiteral("abc"));
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(frame.cdsMain.state(), DataSetState::Browse);

    // Ctrl+End moves to the last record instead of the end of the text.
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(frame.cdsMain.recNo(), 3);

    // With the action disabled (nothing being edited) the box keeps its
    // own Ctrl+Z.
    edit->setText(QString());
    QTest::keyClicks(edit, QStringLiteral("xy"));
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QString());
    EXPECT_EQ(frame.cdsMain.state(), DataSetState::Browse);
}

TEST(TfrTovBase, ActionsFollowTheStateAndThePosition)
{
    RecordingServicesScope services;
    TfrTovBase frame;
    auto enabled = [&] {
        QString flags;
        for (QAction *a : {frame.acFirst, frame.acPrior, frame.acNext, frame.acLast, frame.acInsert, frame.acDelete,
                           frame.acEdit, frame.acPost, frame.acCancel})
            flags += a->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return flags;
    };
    //                         F P N L I D E O C
    EXPECT_EQ(enabled(), QString("000000000")) << "closed dataset";
    fill(frame, 0);
    EXPECT_EQ(enabled(), QString("000010000")) << "empty: only insert";
    frame.SetPostAllowed(true);
    frame.cdsMain.appendRecord({Value(1), Value(QStringLiteral("a"))});
    frame.cdsMain.appendRecord({Value(2), Value(QStringLiteral("b"))});
    frame.cdsMain.appendRecord({Value(3), Value(QStringLiteral("c"))});
    frame.SetPostAllowed(false);
    frame.acFirst->trigger();
    EXPECT_EQ(enabled(), QString("001111100")) << "at the first record";
    frame.acNext->trigger();
    EXPECT_EQ(enabled(), QString("111111100")) << "in the middle";
    frame.acLast->trigger();
    EXPECT_EQ(enabled(), QString("110011100")) << "at the last record";
    frame.acEdit->trigger();
    EXPECT_EQ(enabled(), QString("110011011")) << "editing";
    frame.acCancel->trigger();
    frame.acInsert->trigger();
    EXPECT_EQ(enabled().mid(6), QString("011")) << "inserting";
    frame.acCancel->trigger();

    frame.cdsMain.setReadOnly(true);
    frame.acFirst->trigger();
    EXPECT_EQ(enabled(), QString("001100000")) << "read-only: moves only";
}

TEST(TfrTovBase, ShowingTheDetailPageLaysOutPageControlsThatFillTheirParent)
{
    RecordingServicesScope services;
    TfrTovBase frame;
    // A page control of a subclass on the detail page, smaller than its
    // parent, is left alone.
    auto *inner = new QTabWidget(frame.tsDetail);
    inner->addTab(new QWidget, "Dati");
    inner->setGeometry(0, 0, 50, 20);
    frame.resize(500, 400);
    frame.show();
    QCoreApplication::processEvents();
    QTabBar *bar = frame.pcMain->tabBar();
    const int minimum = bar->minimumHeight();
    const int height = bar->height();

    // Switching pages lays them out by itself: settle on the detail page,
    // then count what the detail-shown handler alone asks for.
    frame.pcMain->setCurrentWidget(frame.tsDetail);
    QCoreApplication::processEvents();

    LayoutRequests outer(frame.pcMain);
    LayoutRequests small(inner);
    frame.tsDetailShow();
    QCoreApplication::processEvents();
    EXPECT_GE(outer.count, 1);
    EXPECT_EQ(small.count, 0);
    // The nudge leaves the tab height as it was.
    EXPECT_EQ(bar->minimumHeight(), minimum);
    EXPECT_EQ(bar->height(), height);
}

TEST(TfrTovBase, TheGridShowsTheRecordTheFrameIsOn)
{
    RecordingServicesScope services;
    TfrTovBase frame;
    fill(frame, 3);
    showActive(frame);
    auto gridRow = [&] { return frame.grFrame->currentIndex().row(); };

    // The actions move the grid with the dataset.
    frame.acLast->trigger();
    EXPECT_EQ(gridRow(), 2);
    frame.acFirst->trigger();
    EXPECT_EQ(gridRow(), 0);
    // Also when the rows are laid out again (a new order).
    frame.acLast->trigger();
    frame.cdsMain.setIndexFieldNames(QStringLiteral("ID"));
    EXPECT_EQ(gridRow(), 2);
    frame.acFirst->trigger();

    // A row clicked while editing is refused: the grid goes back to the
    // record being edited, so that what is shown is what the actions act on.
    frame.acEdit->trigger();
    frame.pcMain->setCurrentWidget(frame.tsGrid);
    frame.grFrame->setCurrentIndex(frame.grModel->index(2, 0));
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(frame.cdsMain.state(), DataSetState::Edit);
    EXPECT_EQ(frame.cdsMain.recNo(), 1);
    EXPECT_EQ(gridRow(), 0);
    frame.acCancel->trigger();
    frame.acDelete->trigger();
    EXPECT_EQ(frame.cdsMain.recordCount(), 2);
    frame.cdsMain.first();
    EXPECT_EQ(frame.cdsMain.fieldValue(QStringLiteral("ID")).toInt(), 2);
}

TEST(TfrTovBase, CtrlWithTheKeypadsEnterPostsToo)
{
    RecordingServicesScope services;
    TfrTovBase frame;
    fill(frame, 2);
    showActive(frame);
    frame.grFrame->setFocus();
    frame.acEdit->trigger();
    frame.cdsMain.setFieldValue("NOME", Value(QStringLiteral("tastierino")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(frame.cdsMain.state(), DataSetState::Browse);
    EXPECT_EQ(frame.cdsMain.fieldValue("NOME").toString(), "tastierino");
    EXPECT_TRUE(services->messages().isEmpty());
    // It goes and comes back with the bar, like the main key.
    frame.orFrame->hide();
    EXPECT_TRUE(frame.acPost->shortcuts().isEmpty());
    frame.orFrame->show();
    EXPECT_EQ(frame.acPost->shortcuts().size(), 2);
}
