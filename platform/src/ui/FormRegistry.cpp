#include "FormRegistry.h"

#include "Exceptions.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QWidget>

namespace platform {

namespace {
struct Entry {
    QString name; // as registered
    FormRegistry::Factory factory;
};

QMutex &registryMutex()
{
    static QMutex mutex;
    return mutex;
}

QHash<QString, Entry> &registry()
{
    static QHash<QString, Entry> entries; // key: upper-cased class name
    return entries;
}
} // namespace

void FormRegistry::Register(const QString &className, Factory factory)
{
    ZEP_ASSERT(!className.trimmed().isEmpty(), "FormRegistry: nome di classe vuoto");
    ZEP_ASSERT(bool(factory), "FormRegistry: classe senza costruttore: " + className);
    QMutexLocker lock(&registryMutex());
    registry().insert(className.toUpper(), Entry{className, std::move(factory)});
}

void FormRegistry::Unregister(const QString &className)
{
    QMutexLocker lock(&registryMutex());
    registry().remove(className.toUpper());
}

bool FormRegistry::IsRegistered(const QString &className)
{
    QMutexLocker lock(&registryMutex());
    return registry().contains(className.toUpper());
}

QStringList FormRegistry::ClassNames()
{
    QMutexLocker lock(&registryMutex());
    QStringList names;
    for (const Entry &e : std::as_const(registry()))
        names << e.name;
    names.sort(Qt::CaseInsensitive);
    return names;
}

QWidget *FormRegistry::Create(const QString &className, QWidget *owner)
{
    Factory factory;
    {
        QMutexLocker lock(&registryMutex());
        auto it = registry().constFind(className.toUpper());
        if (it == registry().constEnd())
            throw EUqError(QStringLiteral("Classe di finestra non registrata: %1").arg(className));
        factory = it->factory;
    }
    // Created outside the lock: a window's constructor may look up others.
    QWidget *form = factory(owner);
    if (!form)
        throw EUqError(QStringLiteral("Impossibile creare la finestra %1").arg(className));
    return form;
}

} // namespace platform
