#include "DBControls.h"

#include "DataSet.h"
#include "DataSource.h"
#include "Exceptions.h"
#include "Field.h"
#include "UqMessages.h"

#include <QAction>
#include <QButtonGroup>
#include <QFocusEvent>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace platform {

// ---------------------------------------------------------------- FieldLink

FieldLink::FieldLink(std::function<void()> refresh) : m_refresh(std::move(refresh)) {}

FieldLink::~FieldLink()
{
    Detach();
}

void FieldLink::Attach(DataSet *dataSet)
{
    Detach();
    m_dataSet = dataSet;
    if (!m_dataSet)
        return;
    m_observer = m_dataSet->addObserver([this](const DataChange &change) {
        if (change.kind == DataChange::Destroyed) {
            // The owner of the control is going too: nothing to show.
            m_dataSet = nullptr;
            m_observer = 0;
            return;
        }
        if (!m_writing && m_refresh)
            m_refresh();
    });
}

void FieldLink::Detach()
{
    if (m_dataSet && m_observer)
        m_dataSet->removeObserver(m_observer);
    m_dataSet = nullptr;
    m_observer = 0;
}

void FieldLink::SetDataSource(DataSource *source)
{
    m_source = source;
    Attach(source ? source->dataSet() : nullptr);
    if (m_refresh)
        m_refresh();
}

void FieldLink::SetFieldName(const QString &name)
{
    m_fieldName = name;
    if (m_refresh)
        m_refresh();
}

Field *FieldLink::TheField() const
{
    if (!m_dataSet || !m_dataSet->isActive() || m_fieldName.isEmpty())
        return nullptr;
    return m_dataSet->findField(m_fieldName);
}

bool FieldLink::CanModify() const
{
    const Field *field = TheField();
    return field && m_dataSet->canModify() && !field->isReadOnly() && !field->isCalculated();
}

void FieldLink::Write(const Value &value)
{
    struct Guard {
        bool &flag;
        ~Guard() { flag = false; }
    } guard{m_writing};
    m_writing = true;
    if (!m_dataSet->isEditing())
        m_dataSet->edit();
    // The record to write: an insert started by edit() on an empty dataset
    // has new fields.
    if (Field *field = TheField())
        field->setValue(value);
}

bool FieldLink::UserChange(const std::function<void()> &change)
{
    try {
        if (!CanModify())
            throw EAbort();
        change();
        return true;
    } catch (const std::exception &e) {
        UqShowException(e);
    }
    if (m_refresh)
        m_refresh();
    return false;
}

// ------------------------------------------------------------------- DBEdit

namespace {

QIcon ellipsisIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    for (int x : {3, 8, 13})
        painter.drawEllipse(QPointF(x, 11), 1.3, 1.3);
    return QIcon(pixmap);
}

} // namespace

Value typedValue(const Field &field, const QString &text)
{
    if (text.isEmpty())
        return Value::null();
    const auto refuse = [&](const QString &problem) -> Value { throw EConvertError(fieldMessage(field, problem)); };
    switch (field.dataType()) {
    case FieldType::String:
        if (field.size() > 0 && text.size() > field.size())
            return refuse(QStringLiteral("il testo ha %1 caratteri, il campo ne contiene al massimo %2")
                              .arg(text.size())
                              .arg(field.size()));
        return Value(text);
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::Word:
    case FieldType::LargeInt: {
        static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
        if (!integer.match(text).hasMatch())
            return refuse(QStringLiteral("\"%1\" non è un numero intero").arg(text));
        return Value(text);
    }
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD: {
        static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)$"));
        const int decimals = field.dataType() == FieldType::BCD ? field.size() : 4;
        const qsizetype point = std::max(text.indexOf(QLatin1Char(',')), text.indexOf(QLatin1Char('.')));
        if (!number.match(text).hasMatch())
            return refuse(QStringLiteral("\"%1\" non è un numero (cifre e, per i decimali, una virgola)").arg(text));
        if (field.dataType() != FieldType::Float && point >= 0 && text.size() - point - 1 > decimals)
            return refuse(QStringLiteral("\"%1\" ha più di %2 decimali").arg(text).arg(decimals));
        return Value(QString(text).replace(QLatin1Char(','), QLatin1Char('.')));
    }
    case FieldType::Date: try { return Value(Value(text).toDate());
        } catch (const EConvertError &) {
            return refuse(QStringLiteral("\"%1\" non è una data valida (gg/mm/aaaa)").arg(text));
        }
    default: return Value(text);
    }
}

DBEdit::DBEdit(QWidget *parent) : QLineEdit(parent), m_link([this] { Refresh(); })
{
    connect(this, &QLineEdit::textEdited, this, &DBEdit::Edited);
    connect(this, &QLineEdit::editingFinished, this, &DBEdit::Finished);
}

void DBEdit::SetAlwaysReadOnly(bool on)
{
    m_alwaysReadOnly = on;
    Refresh();
}

void DBEdit::SetButtonVisible(bool visible)
{
    if (visible && !m_button) {
        m_button = addAction(ellipsisIcon(), QLineEdit::TrailingPosition);
        m_button->setObjectName(objectName() + QStringLiteral("Button"));
        m_button->setToolTip(QStringLiteral("Cerca"));
        connect(m_button, &QAction::triggered, this, &DBEdit::ButtonClick);
    }
    if (m_button)
        m_button->setVisible(visible);
}

void DBEdit::Refresh()
{
    m_pending = false;
    m_original.reset();
    const Field *field = m_link.TheField();
    setReadOnly(m_alwaysReadOnly || !m_link.CanModify());
    if (!field) {
        setText(QString());
        return;
    }
    // The value as the grids show it (the display format), and as it is
    // typed (the edit format) while the user works in the box.
    const QString text = hasFocus() && m_link.CanModify() ? field->editText() : field->displayText();
    if (text != this->text()) {
        setText(text);
        // A value longer than the box shows its beginning, not its end.
        if (!hasFocus())
            setCursorPosition(0);
    }
}

bool DBEdit::WriteText(const QString &text, bool report)
{
    const Field *field = m_link.TheField();
    if (!field)
        return false;
    try {
        m_link.Write(typedValue(*field, text));
        m_pending = false;
        return true;
    } catch (const EConvertError &) {
        // Not a value (yet): "-", "12/0", a letter typed by mistake. Kept in
        // the box until it is left, then refused with the reason.
        m_pending = true;
        if (report)
            throw;
    } catch (const EOverflowError &e) {
        m_pending = true;
        if (report)
            throw EOverflowError(fieldMessage(*field, e.message()));
    }
    return false;
}

void DBEdit::focusInEvent(QFocusEvent *event)
{
    if (!m_pending)
        Refresh();
    // Typing goes on at the end of the value (a click puts the cursor where
    // it points, the tab key selects the whole value).
    if (event->reason() != Qt::MouseFocusReason)
        end(false);
    QLineEdit::focusInEvent(event);
}

void DBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (!m_pending)
        Refresh();
}

void DBEdit::Edited(const QString &typed)
{
    QString text = typed;
    if (m_upperCase && text != text.toUpper()) {
        const int position = cursorPosition();
        text = text.toUpper();
        setText(text);
        setCursorPosition(position);
    }
    if (!m_original)
        if (const Field *field = m_link.TheField())
            m_original = field->value();
    m_link.UserChange([&] { WriteText(text, false); });
}

void DBEdit::Finished()
{
    const std::optional<Value> original = std::exchange(m_original, std::nullopt);
    if (!m_pending)
        return;
    if (m_link.UserChange([&] { WriteText(text(), true); }))
        return;
    // Refused: the field goes back to what it held before the user began
    // typing here, not to the last value the typing made on the way ("12"
    // of "12a,5x").
    if (original && m_link.TheField())
        m_link.UserChange([&] { m_link.Write(*original); });
    Refresh();
}

// --------------------------------------------------------------- DBCheckBox

DBCheckBox::DBCheckBox(const QString &caption, QWidget *parent)
    : QCheckBox(caption, parent), m_link([this] { Refresh(); })
{
}

void DBCheckBox::Refresh()
{
    const Field *field = m_link.TheField();
    setChecked(field && field->asString() == ValueChecked);
    setEnabled(m_link.CanModify());
}

void DBCheckBox::nextCheckState()
{
    const bool checked = !isChecked();
    if (m_link.UserChange([&] { m_link.Write(checked ? ValueChecked : ValueUnchecked); }))
        setChecked(checked);
}

// ------------------------------------------------------------- DBRadioGroup

DBRadioGroup::DBRadioGroup(const QString &caption, QWidget *parent)
    : QGroupBox(caption, parent), m_link([this] { Refresh(); }), m_buttons(new QButtonGroup(this))
{
    m_buttons->setExclusive(false);
    new QVBoxLayout(this);
    connect(m_buttons, &QButtonGroup::idClicked, this, [this](int index) {
        m_link.UserChange([&] { m_link.Write(m_values.at(index)); });
        Refresh();
    });
}

void DBRadioGroup::AddItem(const QString &caption, const QString &value)
{
    auto *button = new QRadioButton(caption, this);
    m_buttons->addButton(button, int(m_values.size()));
    m_values << value;
    layout()->addWidget(button);
    Refresh();
}

QString DBRadioGroup::ItemCaption(int index) const
{
    const QAbstractButton *button = m_buttons->button(index);
    return button ? button->text() : QString();
}

int DBRadioGroup::ItemIndex() const
{
    for (int i = 0; i < m_values.size(); ++i)
        if (m_buttons->button(i)->isChecked())
            return i;
    return -1;
}

void DBRadioGroup::Refresh()
{
    const Field *field = m_link.TheField();
    const int current = field ? int(m_values.indexOf(field->asString())) : -1;
    for (int i = 0; i < m_values.size(); ++i)
        m_buttons->button(i)->setChecked(i == current);
    setEnabled(m_link.CanModify());
}

// --------------------------------------------------------------- DBComboBox

DBComboBox::DBComboBox(const QStringList &items, QWidget *parent) : QComboBox(parent), m_link([this] { Refresh(); })
{
    addItems(items);
    connect(this, &QComboBox::activated, this, [this](int index) {
        m_link.UserChange([&] { m_link.Write(itemText(index)); });
        Refresh();
    });
}

void DBComboBox::Refresh()
{
    const Field *field = m_link.TheField();
    setCurrentIndex(field ? findText(field->asString()) : -1);
    setEnabled(m_link.CanModify());
}

} // namespace platform
