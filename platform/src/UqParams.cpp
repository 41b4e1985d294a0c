#include "UqParams.h"

#include "Exceptions.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

using platform::Value;
using platform::ValueType;

namespace {
TUqParamManager::ProgramManagerSource &programManagerSource()
{
    static TUqParamManager::ProgramManagerSource source;
    return source;
}
} // namespace

TUqParamManager::TUqParamManager(QObject *parent)
    : QObject(parent)
{
}

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
    if (kind == QLatin1String("Integer")) return Value(t.toInt());
    if (kind == QLatin1String("LargeInt")) return Value(t.toInt64());
    if (kind == QLatin1String("Float")) return Value(t.toDouble());
    if (kind == QLatin1String("Currency")) return Value(t.toCurrency());
    if (kind == QLatin1String("Date")) return Value(t.toDate());
    if (kind == QLatin1String("DateTime")) return Value(t.toDateTime());
    if (kind == QLatin1String("Time")) return Value(t.toTime());
    if (kind == QLatin1String("Boolean")) return Value(t.toBool());
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
    QFile f(fileName);
    if (!f.exists())
        return;
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw EUqError(QStringLiteral("Impossibile leggere il file dei parametri %1: %2")
                           .arg(QDir::toNativeSeparators(fileName), f.errorString()));
    QString group;
    int lineNo = 0;
    for (const QString &raw : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const auto eq = line.indexOf(QLatin1Char('='));
        const auto colon = line.indexOf(QLatin1Char(':'), eq + 1);
        if (eq <= 0 || colon < 0)
            throw EUqError(QStringLiteral("File dei parametri %1 non valido alla riga %2.")
                               .arg(QDir::toNativeSeparators(fileName))
                               .arg(lineNo));
        try {
            SetParams(line.left(eq).trimmed(), fromKind(line.mid(eq + 1, colon - eq - 1), line.mid(colon + 1)), group);
        } catch (const platform::Exception &e) {
            throw EUqError(QStringLiteral("File dei parametri %1 non valido alla riga %2: %3")
                               .arg(QDir::toNativeSeparators(fileName))
                               .arg(lineNo)
                               .arg(e.message()));
        }
    }
}

void TUqParamManager::SaveToFile(const QString &fileName) const
{
    QMap<QString, QStringList> byGroup;
    for (const Entry &e : m_params)
        byGroup[e.group] << QStringLiteral("%1=%2:%3").arg(e.name, kindName(e.value.type()), textOf(e.value));
    QString text;
    for (auto it = byGroup.cbegin(); it != byGroup.cend(); ++it)
        text += QStringLiteral("[%1]\n").arg(it.key()) + it.value().join(QLatin1Char('\n')) + QStringLiteral("\n");
    // Written aside and moved into place: a failed write keeps the old file.
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text) || f.write(text.toUtf8()) < 0 || !f.commit())
        throw EUqError(QStringLiteral("Impossibile scrivere il file dei parametri %1: %2")
                           .arg(QDir::toNativeSeparators(fileName), f.errorString()));
}

TdmUquParams::TdmUquParams(QObject *parent)
    : QObject(parent), xpmUquParams(new TUqParamManager(this))
{
    xpmUquParams->setObjectName(QStringLiteral("xpmUquParams"));
}
