#pragma once
// The base of the record-editing frames: a grid page ("Griglia") and a
// detail page ("Dettaglio") over one dataset, the bar of dataset actions
// with fixed shortcuts, the switch to the detail page when editing starts,
// the record position text and the post guard: a record is posted only
// through the frame's confirm action, or by code that opens the guard
// itself (SetPostAllowed) such as the data window saving on close. Any
// other post (a cursor move while editing) shows "Salvare prima di cambiare
// modello." and leaves the record in edit.
#include "DataSet.h"
#include "DataSource.h"
#include "UqFrame.h"

#include <QKeySequence>
#include <QList>
#include <QPair>
#include <QString>

class QAction;
class QLineEdit;
class QTabWidget;
class QTableView;

namespace platform {
class DataSetModel;
class Field;
}

class TfrTovBase : public TfrUqBase {
    Q_OBJECT
public:
    static const QString PostRefused; // "Salvare prima di cambiare modello."

    explicit TfrTovBase(QWidget *parent = nullptr);
    ~TfrTovBase() override;

    platform::DataSet cdsMain;
    platform::DataSource *dsMain;
    QTabWidget *pcMain;
    QWidget *tsGrid;   // "Griglia"
    QWidget *tsDetail; // "Dettaglio", for the subclass's controls
    QTableView *grFrame;
    platform::DataSetModel *grModel;
    QAction *acFirst, *acPrior, *acNext, *acLast, *acInsert, *acDelete, *acEdit, *acPost, *acCancel;

    void SetPostAllowed(bool allowed) { m_postAllowed = allowed; }
    bool PostAllowed() const { return m_postAllowed; }
    void SetAutoDetail(bool on) { m_autoDetail = on; }
    bool AutoDetail() const { return m_autoDetail; }

    // "Ins." while inserting, else "<record> di <count>" ("0 di 0" when
    // empty).
    static QString RecordPositionText(const platform::DataSet &dataSet);
    void ShowRecordPosition(QLineEdit *edit) const;

    // Get-text hook for numeric fields: empty for 0 (and Null), else the
    // display or edit format.
    static QString NumericFieldGetText(const platform::Field &field, bool display);

    // Handlers (public so that subclasses and tests can run them).
    // Opens the guard, posts, closes the guard also when the post raises.
    void acPostExecute();
    // Refuses the post unless the guard is open (message, then a silent
    // abort). A subclass with its own checks calls this first.
    virtual void cdsMainBeforePost(platform::DataSet &dataSet);
    // Appends at the end (not at the cursor).
    void acInsertExecute();
    void dsMainStateChange();
    void tsDetailShow();
    void RefreshPageControls();
    // Enables the actions for the dataset's state and position.
    void UpdateActions();
    // The shortcuts of the actions are given only while the control bar
    // (orFrame) is shown: hiding the bar takes them away, showing it again
    // gives them back.
    void UpdateShortcuts();
    bool ShortcutsAssigned() const { return m_shortcutsAssigned; }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Runs an action's work: a silent abort is dropped, another error is
    // shown (an action has no caller to raise to).
    void RunAction(const std::function<void()> &work);
    // Puts the grid's current row on the dataset's record.
    void SyncGrid();

    // The keys of each action, given and taken together.
    QList<QPair<QAction *, QList<QKeySequence>>> m_shortcuts;
    bool m_shortcutsAssigned = false;
    bool m_postAllowed = false;
    bool m_autoDetail = false;
    int m_observer = 0;
    platform::DataSetState m_lastState = platform::DataSetState::Inactive;
};
