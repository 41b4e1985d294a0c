#include "ZepUMainState.h"

#include "Exceptions.h"

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
