#pragma once
// Named parameters of a command text (":IANFID"): a list of (name, data
// type, value) looked up without regard to case.
#include "Field.h"
#include "Value.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace platform {

class Param {
public:
    Param() = default;
    explicit Param(QString name, FieldType type = FieldType::String, Value value = {})
        : m_name(std::move(name)), m_type(type), m_value(std::move(value))
    {
    }

    const QString &name() const { return m_name; }
    FieldType dataType() const { return m_type; }
    void setDataType(FieldType type)
    {
        m_type = type;
        m_typeSet = true;
    }
    // Whether a data type was given (by the constructor's caller, by
    // setDataType, or by the first value assigned to a parameter parsed from
    // a command text).
    bool hasDataType() const { return m_typeSet; }

    const Value &value() const { return m_value; }
    // A parameter without a data type takes the type of the value
    // (Integer, LargeInt, Float, Currency, String, Date, DateTime, Time,
    // Boolean, Blob); Null keeps the type.
    void setValue(const Value &value);
    bool isNull() const { return m_value.isEmpty(); }
    void clear() { m_value = Value::null(); }

    // Platform-style accessors; Null reads as 0 / "".
    int asInteger() const;
    QString asString() const;
    void setAsInteger(int v) { setValue(Value(v)); }
    void setAsString(const QString &v) { setValue(Value(v)); }

    bool operator==(const Param &) const = default;

private:
    friend class Params;
    QString m_name;
    FieldType m_type = FieldType::String;
    bool m_typeSet = false;
    Value m_value;
};

class Params {
public:
    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.isEmpty(); }
    Param &operator[](int i) { return m_items[i]; }
    const Param &operator[](int i) const { return m_items[i]; }
    QList<Param>::iterator begin() { return m_items.begin(); }
    QList<Param>::iterator end() { return m_items.end(); }
    QList<Param>::const_iterator begin() const { return m_items.begin(); }
    QList<Param>::const_iterator end() const { return m_items.end(); }

    // nullptr when absent (case-insensitive).
    Param *findParam(const QString &name);
    const Param *findParam(const QString &name) const;
    // Raises EDataSetError "Parametro 'X' non trovato".
    Param &paramByName(const QString &name);
    const Param &paramByName(const QString &name) const;
    // Adds a parameter; an existing one of the same name is returned instead.
    Param &add(const QString &name, FieldType type = FieldType::String);
    // Adds a parameter whose type is not known yet.
    Param &addUntyped(const QString &name);
    // The same for a name the caller knows is not there yet (no search).
    Param &appendUntyped(const QString &name);
    void clear() { m_items.clear(); }

    // The parameter names of a command text, in order of first appearance,
    // each once: a colon followed by a letter or "_" and then letters,
    // digits and "_". Quoted literals ('...' and "...") and "::" are skipped.
    static QStringList parseNames(const QString &commandText);
    // A list of untyped, Null parameters named by the command text.
    static Params fromCommandText(const QString &commandText);

    bool operator==(const Params &) const = default;

private:
    static QStringList scanNames(const QString &commandText);
    QList<Param> m_items;
};

} // namespace platform
