#include "UqParams.h"

#include "Exceptions.h"
#include "IniFile.h"

#include <QDir>

using platform::Value;
using platform::ValueType;

namespace {
TUqParamManager::ProgramManagerSource &programManagerSource()
{
    static TUqParamManager::ProgramManagerSource source;
    return source;
}
} // namespace

TUqParamManager::TUqParamManager(QObject *parent) : QObject(parent) {}

TUqParamManager *TUqParamManager::ProgramManager()
{
    const ProgramManagerSource &source = programManagerSource();
    return source ? source() : nullptr;
}

void TUqParamManager::SetProgramManagerSource(ProgramManagerSource source)
{
    programManagerSource() = std::move(source);
}

Value TUqParamManager::GetParams(const QString &name) const
{
    const auto it = m_params.constFind(name.toUpper());
    return it == m_params.constEnd() ? Value::null() : it->value;
}

int TUqParamManager::GetParamsInt(const QString &name, int defaultValue) const
{
    const Value v = GetParams(name);
    return v.isEmpty() ? defaultValue : v.toInt();
}

void TUqParamManager::SetParams(const QString &name, const Value &value, const QString &group)
{
    const QString key = name.toUpper();
    if (value.isEmpty()) {
        if (m_params.remove(key))
            emit ParamChanged(name);
        return;
    }
    Entry &e = m_params[key];
    e.name = name;
    if (!group.isEmpty())
        e.group = group;
    e.value = value;
    emit ParamChanged(name);
}

bool TUqParamManager::HasParam(const QString &name) const
{
    return m_params.contains(name.toUpper());
}

QString TUqParamManager::Group(const QString &name) const
{
    return m_params.value(name.toUpper()).group;
}

QStringList TUqParamManager::ParamNames() const
{
    QStringList out;
    for (const Entry &e : m_params)
        out << e.name;
    return out;
}

void TUqParamManager::Clear()
{
    m_params.clear();
}

bool TUqParamManager::CheckValue(QObject *sender, const QString &param) const
{
    bool valid = true;
    if (OnCheckValue)
        OnCheckValue(sender, param, valid);
    return valid;
}

namespace {

QString kindName(ValueType t)
{
    switch (t) {
    case ValueType::Integer: return QStringLiteral("Integer");
    case ValueType::LargeInt: return QStringLiteral("LargeInt");
    case ValueType::Float: return QStringLiteral("Float");
    case ValueType::Currency: return QStringLiteral("Currency");
    case ValueType::Date: return QStringLiteral("Date");
    case ValueType::DateTime: return QStringLiteral("DateTime");
    case ValueType::Time: return QStringLiteral("Time");
    case ValueType::Boolean: return QStringLiteral("Boolean");
    default: return QStringLiteral("Text");
    }
}

Value fromKind(const QString &kind, const QString &text)
{
    const Value t(text);
    if (kind == QLatin1String("Integer"))
        return Value(t.toInt());
    if (kind == QLatin1String("LargeInt"))
        return Value(t.toInt64());
    if (kind == QLatin1String("Float"))
        return Value(t.toDouble());
    if (kind == QLatin1String("Currency"))
        return Value(t.toCurrency());
    if (kind == QLatin1String("Date"))
        return Value(t.toDate());
    if (kind == QLatin1String("DateTime"))
        return Value(t.toDateTime());
    if (kind == QLatin1String("Time"))
        return Value(t.toTime());
    if (kind == QLatin1String("Boolean"))
        return Value(t.toBool());
    return t;
}

QString textOf(const Value &v)
{
    switch (v.type()) {
    case ValueType::Date: return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case ValueType::DateTime: return v.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    default: return v.toString();
    }
}

} // namespace

void TUqParamManager::LoadFromFile(const QString &fileName)
{
    const platform::IniFile ini(fileName);
    for (const platform::IniFile::Entry &e : ini.entries()) {
        const auto colon = e.value.indexOf(QLatin1Char(':'));
        const auto bad = [&](const QString &why) {
            return EUqError(QStringLiteral("File dei parametri %1 non valido alla riga %2%3")
                                .arg(QDir::toNativeSeparators(fileName))
                                .arg(e.line)
                                .arg(why));
        };
        if (colon < 0)
            throw bad(QStringLiteral("."));
        try {
            SetParams(e.key, fromKind(e.value.left(colon), e.value.mid(colon + 1)), e.section);
        } catch (const platform::Exception &x) {
            throw bad(QStringLiteral(": ") + x.message());
        }
    }
}

void TUqParamManager::SaveToFile(const QString &fileName) const
{
    // One section per group, in the order of the groups' names.
    QMap<QString, QList<const Entry *>> byGroup;
    for (const Entry &e : m_params)
        byGroup[e.group] << &e;
    platform::IniFile ini = platform::IniFile::blank(fileName);
    for (auto it = byGroup.cbegin(); it != byGroup.cend(); ++it)
        for (const Entry *e : it.value())
            ini.setValue(it.key(), e->name, kindName(e->value.type()) + QLatin1Char(':') + textOf(e->value));
    ini.save();
}

TdmUquParams::TdmUquParams(QObject *parent) : QObject(parent), xpmUquParams(new TUqParamManager(this))
{
    xpmUquParams->setObjectName(QStringLiteral("xpmUquParams"));
}
