#pragma once
// Field definitions and fields of the in-memory dataset (DataSet.h).
//
// A FieldDef describes one column (name, type, size, kind); a Field is the
// live handle that reads and writes that column of the dataset's current
// record. Fields belong to their dataset and live while it is open or
// closed with the same structure: they are rebuilt by createDataSet(),
// open() after a change of field definitions, and assignData().
#include "Value.h"

#include <QList>
#include <QString>
#include <Qt>
#include <functional>

namespace platform {

class DataSet;

enum class FieldType {
    String,   // text of at most `size` characters (0: no limit)
    Integer,  // 32-bit signed
    SmallInt, // 16-bit signed
    Word,     // 16-bit unsigned
    LargeInt, // 64-bit signed
    Boolean,
    Float,    // double
    Currency, // platform::Currency, four decimals
    BCD,      // platform::Currency; `size` is the number of decimals kept (0 to 4)
    Date,
    DateTime,
    Time,
    Memo, // text without limit
    Blob  // bytes
};

// "String", "Integer", ... as used in messages and dataset files.
QString fieldTypeName(FieldType type);
// The type of a name given by fieldTypeName(), compared without regard to
// case; false when the name is unknown.
bool fieldTypeFromName(const QString &name, FieldType *type);
// Integer, SmallInt, Word, LargeInt, Float, Currency, BCD.
bool isNumericFieldType(FieldType type);
// String and Memo.
bool isTextFieldType(FieldType type);

enum class FieldKind {
    Data,      // stored in the records, part of the change log and of files
    Calculated // computed by the dataset's onCalcFields event, never stored
};

// How a provider writes a field back (the framework field's ProviderFlags):
// InUpdate, the field is written by an update; InWhere, it takes part in
// the condition that finds the row; InKey, it is the row's key. A field
// starts with InUpdate and InWhere.
enum class ProviderFlag { InUpdate = 0x1, InWhere = 0x2, InKey = 0x4 };
Q_DECLARE_FLAGS(ProviderFlags, ProviderFlag)

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0;          // String: maximum length; BCD: decimals; else 0
    bool required = false; // a null value refuses the post
    FieldKind kind = FieldKind::Data;

    bool operator==(const FieldDef &) const = default;
};
using FieldDefs = QList<FieldDef>;

// Numeric text by a display or edit format of the platform: "0" a digit
// always shown, "#" a digit shown when significant, "," (anywhere before
// the point) thousands grouping, "." the decimal point; text in quotes and
// other characters are copied; a format of up to three sections separated
// by ";" gives positive, negative and zero forms. The output uses the
// Italian separators: "," as decimal point, "." between thousands.
// formatNumber("#,##0.00", 1234.5) == "1.234,50"; ("#.00", 0.5) == ",50".
// Values are rounded half away from zero to the decimals shown.
QString formatNumber(const QString &format, const Value &number);

class Field {
public:
    Field(const Field &) = delete;
    Field &operator=(const Field &) = delete;

    DataSet *dataSet() const { return m_dataSet; }
    const QString &fieldName() const { return m_def.name; }
    FieldType dataType() const { return m_def.type; }
    FieldKind kind() const { return m_def.kind; }
    bool isCalculated() const { return m_def.kind == FieldKind::Calculated; }
    int size() const { return m_def.size; }
    const FieldDef &def() const { return m_def; }
    // Position in DataSet::fields().
    int index() const { return m_index; }
    bool isNumeric() const { return isNumericFieldType(m_def.type); }

    // ---- properties for the windows ----
    // The caption of grid columns and messages; the field name when unset.
    QString displayLabel() const { return m_displayLabel.isEmpty() ? m_def.name : m_displayLabel; }
    void setDisplayLabel(const QString &label) { m_displayLabel = label; }
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }
    // A read-only field refuses setValue() (not the dataset's own loads).
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isRequired() const { return m_def.required; }
    void setRequired(bool required) { m_def.required = required; }
    // Formats for numeric fields (see formatNumber); empty: plain text.
    const QString &displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString &format) { m_displayFormat = format; }
    const QString &editFormat() const { return m_editFormat; }
    void setEditFormat(const QString &format) { m_editFormat = format; }
    // Right for numeric fields, left otherwise, unless set.
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    // Width of a grid column in characters; 0: the dataset's choice.
    int displayWidth() const;
    void setDisplayWidth(int chars) { m_displayWidth = chars; }
    ProviderFlags providerFlags() const { return m_providerFlags; }
    void setProviderFlags(ProviderFlags flags) { m_providerFlags = flags; }

    // Text hook of the windows ("empty text for 0"): called by displayText()
    // (display = true) and editText() (display = false) in place of the
    // format when set.
    using GetTextHandler = std::function<QString(const Field &field, bool display)>;
    void setOnGetText(GetTextHandler handler) { m_onGetText = std::move(handler); }
    const GetTextHandler &onGetText() const { return m_onGetText; }
    // Called after a value was assigned to the field in edit or insert state.
    using ChangeHandler = std::function<void(Field &field)>;
    void setOnChange(ChangeHandler handler) { m_onChange = std::move(handler); }
    const ChangeHandler &onChange() const { return m_onChange; }
    // Called with the value about to be assigned (converted to the field's
    // type), before the field takes it: an exception refuses the value and
    // the field keeps the one it had.
    using ValidateHandler = std::function<void(const Field &field, const Value &value)>;
    void setOnValidate(ValidateHandler handler) { m_onValidate = std::move(handler); }
    const ValidateHandler &onValidate() const { return m_onValidate; }

    // ---- value of the current record ----
    // Reading needs an open dataset with a current record (or a record being
    // edited or inserted); an empty dataset reads every field as Null.
    // Writing needs edit or insert state (calculated fields: the
    // onCalcFields event) and raises EDataSetError otherwise.
    //
    // Values are kept in the field's type: setValue() converts (Value's
    // conversions, their errors included); empty text is Null for every
    // type; a String longer than `size` is cut to `size`; SmallInt and Word
    // out of range raise EDataSetError; BCD keeps `size` decimals, rounded
    // half away from zero. Unassigned assigns Null.
    Value value() const;
    void setValue(const Value &value);
    bool isNull() const { return value().isEmpty(); }
    void clear() { setValue(Value::null()); }

    // Null reads as "", 0, 0, false, an invalid date: the platform's field
    // convention (unlike Value, whose conversions refuse Null).
    QString asString() const;
    int asInteger() const;
    qint64 asLargeInt() const;
    double asFloat() const;
    Currency asCurrency() const;
    bool asBoolean() const;
    QDate asDate() const;
    QDateTime asDateTime() const;
    QTime asTime() const;
    QByteArray asBytes() const;

    void setAsString(const QString &v) { setValue(Value(v)); }
    void setAsInteger(int v) { setValue(Value(v)); }
    void setAsLargeInt(qint64 v) { setValue(Value(v)); }
    void setAsFloat(double v) { setValue(Value(v)); }
    void setAsCurrency(Currency v) { setValue(Value(v)); }
    void setAsBoolean(bool v) { setValue(Value(v)); }
    void setAsDate(QDate v) { setValue(Value(v)); }
    void setAsDateTime(const QDateTime &v) { setValue(Value(v)); }
    void setAsTime(QTime v) { setValue(Value(v)); }
    void setAsBytes(const QByteArray &v) { setValue(Value(v)); }

    // Text for grids: the get-text hook, else the display format for
    // numeric fields, else asString() with "," as decimal point for Float,
    // Currency and BCD. Null gives "".
    QString displayText() const;
    // Text for editors: the get-text hook, else the edit format (the display
    // format when there is none), else as displayText().
    QString editText() const;

    // The record's value as it was after the last merge of the change log
    // (Null for a record inserted since); the value before the current edit
    // when the record has no pending change.
    Value oldValue() const;
    // The current value when it differs from oldValue() (or, in a record
    // inserted since the last merge, when it was assigned); Unassigned
    // otherwise. "New value, else old value" gives the field's value.
    Value newValue() const;

private:
    friend class DataSet;
    Field(DataSet *dataSet, const FieldDef &def, int index) : m_dataSet(dataSet), m_def(def), m_index(index) {}
    // As just made for the same definition (a dataset loaded again keeps
    // its field objects, their settings back to the defaults).
    void reset()
    {
        m_displayLabel.clear();
        m_visible = true;
        m_readOnly = false;
        m_displayFormat.clear();
        m_editFormat.clear();
        m_alignment = {};
        m_displayWidth = 0;
        m_providerFlags = ProviderFlags(ProviderFlag::InUpdate) | ProviderFlag::InWhere;
        m_onGetText = nullptr;
        m_onChange = nullptr;
        m_onValidate = nullptr;
    }

    DataSet *m_dataSet;
    FieldDef m_def;
    int m_index;
    QString m_displayLabel;
    bool m_visible = true;
    bool m_readOnly = false;
    QString m_displayFormat;
    QString m_editFormat;
    Qt::Alignment m_alignment;
    int m_displayWidth = 0;
    ProviderFlags m_providerFlags = ProviderFlags(ProviderFlag::InUpdate) | ProviderFlag::InWhere;
    GetTextHandler m_onGetText;
    ChangeHandler m_onChange;
    ValidateHandler m_onValidate;
};

// A message about a field's value that names the field as the user knows
// it: 'Campo "<display label>": ' + the problem; the second form for a box
// of a window that has no dataset field behind it, by its caption.
QString fieldMessage(const Field &field, const QString &problem);
QString fieldMessage(const QString &label, const QString &problem);

} // namespace platform

Q_DECLARE_OPERATORS_FOR_FLAGS(platform::ProviderFlags)
