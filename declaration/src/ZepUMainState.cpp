#include "ZepUMainState.h"

#include "Exceptions.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace {
IZepMainState *g_current = nullptr;
}

IZepMainState::~IZepMainState()
{
    if (g_current == this)
        g_current = nullptr;
}

IZepMainState *IZepMainState::Current()
{
    return g_current;
}

void IZepMainState::SetCurrent(IZepMainState *state)
{
    g_current = state;
}

IZepMainState &IZepMainState::Require(QWidget *owner)
{
    for (QWidget *w = owner; w; w = w->parentWidget())
        if (auto *state = dynamic_cast<IZepMainState *>(w))
            return *state;
    ZEP_ASSERT(g_current, QStringLiteral("Finestra principale del programma non disponibile"));
    return *g_current;
}

QString ZepPercorso(const QString &base, const QString &relative)
{
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool trailing = rel.endsWith(QLatin1Char('/'));
    QString path = base;
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = 0; i < parts.size(); ++i) {
        QString part = parts.at(i);
        const QDir dir(path.isEmpty() ? QStringLiteral(".") : path);
        if (!QFileInfo::exists(dir.filePath(part))) {
            const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            for (const QString &entry : entries)
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    part = entry;
                    break;
                }
        }
        path += part;
        if (i + 1 < parts.size() || trailing)
            path += QLatin1Char('/');
    }
    return path;
}
