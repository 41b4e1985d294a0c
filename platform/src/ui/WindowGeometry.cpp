#include "WindowGeometry.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace platform {

namespace {

// The window system's frame is not known before the window is shown: room
// for a title bar and thin borders.
constexpr int FrameWidth = 16;
constexpr int FrameHeight = 40;
// The title bar's icon and buttons, and the room around the title.
constexpr int TitleBarExtras = 160;

} // namespace

void fitToScreen(QWidget &window, const QSize &wanted)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window.resize(wanted);
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize room(std::max(1, area.width() - FrameWidth), std::max(1, area.height() - FrameHeight));
    const QSize size = wanted.boundedTo(room).expandedTo(window.minimumSize().boundedTo(room));
    window.resize(size);
    // The frame's top left corner: the frame is centred with the window.
    window.move(area.left() + (area.width() - size.width() - FrameWidth) / 2,
                area.top() + (area.height() - size.height() - FrameHeight) / 2);
}

int titleWidth(const QWidget &window)
{
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + TitleBarExtras;
}

void fitTitle(QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    int wanted = titleWidth(window);
    if (screen)
        wanted = std::min(wanted, screen->availableGeometry().width() - FrameWidth);
    if (window.width() < wanted)
        window.resize(wanted, window.height());
}

} // namespace platform
