#include "ZepUMainState.h"

#include "Exceptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QObject>

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

IZepMainState &IZepMainState::Require(QObject *owner)
{
    // A widget's parent object is its parent widget.
    for (QObject *o = owner; o; o = o->parent())
        if (auto *state = dynamic_cast<IZepMainState *>(o))
            return *state;
    ZEP_ASSERT(g_current, QStringLiteral("Finestra principale del programma non disponibile"));
    return *g_current;
}

TZepStatoSenzaFinestra::TZepStatoSenzaFinestra(ITovDBCds &store, TZepProgramma programma)
    : m_store(store), m_programma(std::move(programma)), m_base(CartellaBaseProgramma())
{
}

QString TZepStatoSenzaFinestra::CartellaBaseProgramma()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/..")) + QLatin1Char('/');
}
