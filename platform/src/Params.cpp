#include "Params.h"

#include "Exceptions.h"
#include "SameName.h"
#include "TextCache.h"

namespace platform {

namespace {

FieldType typeOfValue(const Value &v, FieldType fallback)
{
    switch (v.type()) {
    case ValueType::Integer: return FieldType::Integer;
    case ValueType::LargeInt: return FieldType::LargeInt;
    case ValueType::Float: return FieldType::Float;
    case ValueType::Currency: return FieldType::Currency;
    case ValueType::Text: return FieldType::String;
    case ValueType::Date: return FieldType::Date;
    case ValueType::DateTime: return FieldType::DateTime;
    case ValueType::Time: return FieldType::Time;
    case ValueType::Boolean: return FieldType::Boolean;
    case ValueType::Bytes: return FieldType::Blob;
    case ValueType::Null:
    case ValueType::Unassigned: return fallback;
    }
    return fallback;
}

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}
bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

void Param::setValue(const Value &value)
{
    if (!m_typeSet && !value.isEmpty()) {
        m_type = typeOfValue(value, m_type);
        m_typeSet = true;
    }
    m_value = value.isUnassigned() ? Value::null() : value;
}

int Param::asInteger() const
{
    return m_value.isEmpty() ? 0 : m_value.toInt();
}

QString Param::asString() const
{
    return m_value.isEmpty() ? QString() : m_value.toString();
}

Param *Params::findParam(const QString &name)
{
    for (Param &p : m_items)
        if (sameName(p.m_name, name))
            return &p;
    return nullptr;
}

const Param *Params::findParam(const QString &name) const
{
    return const_cast<Params *>(this)->findParam(name);
}

Param &Params::paramByName(const QString &name)
{
    if (Param *p = findParam(name))
        return *p;
    throw EDataSetError(QStringLiteral("Parametro '%1' non trovato").arg(name));
}

const Param &Params::paramByName(const QString &name) const
{
    return const_cast<Params *>(this)->paramByName(name);
}

Param &Params::add(const QString &name, FieldType type)
{
    if (Param *p = findParam(name))
        return *p;
    Param p(name, type);
    p.m_typeSet = true;
    p.m_value = Value::null();
    m_items.append(p);
    return m_items.last();
}

Param &Params::addUntyped(const QString &name)
{
    if (Param *p = findParam(name))
        return *p;
    return appendUntyped(name);
}

Param &Params::appendUntyped(const QString &name)
{
    Param p(name);
    p.m_value = Value::null();
    m_items.append(p);
    return m_items.last();
}

QStringList Params::parseNames(const QString &text)
{
    // A dataset's command is given again for every person of an import.
    return madeOncePerText(text, [](const QString &t) { return scanNames(t); });
}

QStringList Params::scanNames(const QString &text)
{
    QStringList names;
    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Skip the literal; a doubled quote stays inside it.
            ++i;
            while (i < n) {
                if (text[i] == c) {
                    if (i + 1 < n && text[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            continue;
        }
        if (c != QLatin1Char(':'))
            continue;
        if (i + 1 < n && text[i + 1] == QLatin1Char(':')) {
            ++i;
            continue;
        }
        if (i + 1 < n && isNameStart(text[i + 1])) {
            int j = i + 1;
            while (j < n && isNameChar(text[j]))
                ++j;
            const QString name = text.mid(i + 1, j - i - 1);
            bool seen = false;
            for (const QString &s : names)
                if (s.compare(name, Qt::CaseInsensitive) == 0)
                    seen = true;
            if (!seen)
                names << name;
            i = j - 1;
        }
    }
    return names;
}

Params Params::fromCommandText(const QString &commandText)
{
    Params params;
    for (const QString &name : parseNames(commandText))
        params.addUntyped(name);
    return params;
}

} // namespace platform
