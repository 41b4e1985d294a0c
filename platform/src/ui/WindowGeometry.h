#pragma once
// Where a top-level window opens: inside the available area of its screen
// (the screen less the panels), so that no part of it is out of reach.
#include <QSize>

class QWidget;

namespace platform {

// Gives `window` the size `wanted`, made smaller where the available area
// of its screen (the primary screen when it has none yet) is smaller, with
// room left for the window system's frame, and centres it in that area.
void fitToScreen(QWidget &window, const QSize &wanted);

// Widens `window`, within the available width of its screen, so that the
// window system's title bar has room for the whole title beside its
// buttons (the title bar's font is taken as the application's, bold).
void fitTitle(QWidget &window);
// The width that fitTitle gives the window at least.
int titleWidth(const QWidget &window);

} // namespace platform
