#pragma once
// Data-aware controls: a control tied to one field of the current record of
// a data source's dataset, as the data-entry windows lay them out on their
// detail pages.
//
//     auto *ed = new platform::DBEdit(page);
//     ed->SetDataSource(frame->dsMain);
//     ed->SetDataField("Cognome");
//     ed->SetUpperCase(true);
//
// Every control shows the field of the record the dataset is on, and
// follows the dataset (cursor moves, edits, loads). A change made by the
// user puts the dataset into edit first when it is browsing (an empty
// dataset starts an insert, as the dataset's edit() does) and writes the
// field at once; posting is the window's. A dataset that cannot be
// modified, or a read-only field, makes the control read-only. An error of
// the dataset (an event that refuses the edit, a value that does not
// convert) is shown through the message service and the control shows the
// field again; a silent abort is not shown.
#include "Value.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>

class QAction;
class QButtonGroup;

namespace platform {

class DataSet;
class DataSource;
class Field;

// The link of one control to one field (not a widget: each control holds
// one).
class FieldLink {
public:
    explicit FieldLink(std::function<void()> refresh);
    ~FieldLink();
    FieldLink(const FieldLink &) = delete;
    FieldLink &operator=(const FieldLink &) = delete;

    // Binding the link (source or field) refreshes its control.
    void SetDataSource(DataSource *source);
    DataSource *Source() const { return m_source; }
    void SetFieldName(const QString &name);
    const QString &FieldName() const { return m_fieldName; }
    // The field of an open dataset, else nullptr.
    Field *TheField() const;
    // The field may be written by the user now or after an edit().
    bool CanModify() const;
    // Puts the dataset into edit when it is browsing, then writes the value.
    // The control is not refreshed by the change it makes itself.
    void Write(const Value &value);
    // Runs a change of the user: errors are shown (a silent abort is not)
    // and the control refreshed; true when the change went through.
    bool UserChange(const std::function<void()> &change);

private:
    void Attach(DataSet *dataSet);
    void Detach();

    std::function<void()> m_refresh;
    DataSource *m_source = nullptr;
    DataSet *m_dataSet = nullptr;
    int m_observer = 0;
    QString m_fieldName;
    bool m_writing = false;
};

// The value of the text a user typed into a box over `field` (empty text:
// Null). What cannot be one raises EConvertError naming the field, so that
// nothing is dropped, cut or rounded without a word: letters in a number, a
// number with more decimals than the field keeps, a text longer than the
// field, a date that does not exist ("31/02/2026" is refused, never moved
// to another day). DBEdit and the grids' editors take what is typed so.
Value typedValue(const Field &field, const QString &text);

// A text box over a field. The value is written as the user types; a text
// that is not (yet) a value of the field is kept in the box and refused when
// the box is left, with a message naming the field (its display label), and
// the box shows the field again. Nothing typed or pasted is dropped, cut or
// rounded without a word: a text longer than a String field, letters in a
// number or more decimals than the field keeps ("1.234,50" is not a number:
// no thousands separator; "," or "." as decimal point), a date that does not
// exist ("dd/mm/yyyy") are refused.
class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBEdit(QWidget *parent = nullptr);

    void SetDataSource(DataSource *source) { m_link.SetDataSource(source); }
    void SetDataField(const QString &fieldName) { m_link.SetFieldName(fieldName); }
    const QString &DataField() const { return m_link.FieldName(); }
    Field *TheField() const { return m_link.TheField(); }
    // Letters typed become upper case.
    void SetUpperCase(bool on) { m_upperCase = on; }
    // Read-only whatever the dataset allows.
    void SetAlwaysReadOnly(bool on);
    // An ellipsis button at the right end of the box; clicking it emits
    // ButtonClick.
    void SetButtonVisible(bool visible);
    QAction *Button() const { return m_button; }

    // Shows the field of the current record again.
    void Refresh();

signals:
    void ButtonClick();

protected:
    // The box shows the field's display text, and its edit text while it
    // has the focus.
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void Edited(const QString &text);
    void Finished();
    bool WriteText(const QString &text, bool report);

    FieldLink m_link;
    QAction *m_button = nullptr;
    bool m_upperCase = false;
    bool m_alwaysReadOnly = false;
    bool m_pending = false;          // typed text not written yet
    std::optional<Value> m_original; // the field's value when the user began typing in the box
};

// A check box over a text field: checked writes ValueChecked, unchecked
// ValueUnchecked; any other value shows unchecked.
class DBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DBCheckBox(const QString &caption, QWidget *parent = nullptr);

    QString ValueChecked = QStringLiteral("True");
    QString ValueUnchecked = QStringLiteral("False");

    void SetDataSource(DataSource *source) { m_link.SetDataSource(source); }
    void SetDataField(const QString &fieldName) { m_link.SetFieldName(fieldName); }
    void Refresh();

protected:
    void nextCheckState() override;

private:
    FieldLink m_link;
};

// A group of option buttons over a text field, one value per button; a
// value no button has leaves every button clear.
class DBRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit DBRadioGroup(const QString &caption, QWidget *parent = nullptr);

    void AddItem(const QString &caption, const QString &value);
    int ItemCount() const { return int(m_values.size()); }
    QString ItemCaption(int index) const;
    // The index of the button checked, -1 for none.
    int ItemIndex() const;
    void SetDataSource(DataSource *source) { m_link.SetDataSource(source); }
    void SetDataField(const QString &fieldName) { m_link.SetFieldName(fieldName); }
    void Refresh();

private:
    FieldLink m_link;
    QButtonGroup *m_buttons;
    QStringList m_values;
};

// A drop-down list of texts over a text field: the item chosen is the value.
class DBComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBComboBox(const QStringList &items, QWidget *parent = nullptr);

    void SetDataSource(DataSource *source) { m_link.SetDataSource(source); }
    void SetDataField(const QString &fieldName) { m_link.SetFieldName(fieldName); }
    void Refresh();

private:
    FieldLink m_link;
};

} // namespace platform
