#pragma once
// What the picture tools share (zepScreenshots of the foundation's windows,
// wunScreenshots of the import windows): the output folder, letting the
// window system paint, saving a picture, a dialog's picture under a title
// bar drawn by the style, and desktop services that show each modal dialog,
// hand it to a hook and close it with the hook's result.
#include "DesktopServices.h"
#include "Exceptions.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTest>

#include <cstdio>
#include <functional>
#include <memory>

namespace screenshots {

inline QString g_output;

inline void settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(20);
    }
}

inline void save(const QImage &image, const QString &name)
{
    const QString file = QDir(g_output).filePath(name);
    if (!image.save(file, "PNG"))
        throw platform::Exception(QStringLiteral("Impossibile salvare %1").arg(file));
    std::printf("%s (%dx%d)\n", qPrintable(file), image.width(), image.height());
}

// The window's picture under a title bar drawn by the style with the
// window's caption.
inline QImage withTitleBar(QWidget &window)
{
    const QPixmap body = window.grab();
    QStyleOptionTitleBar option;
    option.initFrom(&window);
    option.text = window.windowTitle();
    option.icon = QApplication::windowIcon();
    option.titleBarState = Qt::WindowActive;
    option.titleBarFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    option.subControls = QStyle::SC_TitleBarLabel | QStyle::SC_TitleBarCloseButton | QStyle::SC_TitleBarSysMenu;
    option.state |= QStyle::State_Active;
    const int height = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &window) + 4;
    option.rect = QRect(0, 0, body.width(), height);

    QImage image(body.width(), body.height() + height, QImage::Format_ARGB32);
    image.fill(window.palette().color(QPalette::Window));
    QPainter painter(&image);
    window.style()->drawComplexControl(QStyle::CC_TitleBar, &option, &painter, &window);
    painter.drawPixmap(0, height, body);
    return image;
}

// Desktop services whose modal dialogs are shown, pictured by a hook and
// closed with the hook's result instead of waiting for the user.
class PictureServices : public platform::DesktopServices {
public:
    std::function<int(QDialog &)> onDialog;

    int execDialog(QDialog &dialog) override
    {
        dialog.show();
        settle();
        const int result = onDialog ? onDialog(dialog) : int(QDialog::Rejected);
        dialog.hide();
        return result;
    }
};

// The tools' main: the application in the Fusion style, the output folder
// (the first argument, default build/screenshots), the picture services;
// then `body`. 1, with the reason on the standard error, when anything
// fails.
inline int run(int argc, char **argv, const char *tool, const std::function<void(PictureServices &)> &body)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    g_output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/screenshots");
    if (!QDir().mkpath(g_output)) {
        std::fprintf(stderr, "%s: cannot create %s\n", tool, qPrintable(g_output));
        return 1;
    }
    auto owned = std::make_unique<PictureServices>();
    PictureServices &services = *owned;
    platform::Services::install(std::move(owned));
    try {
        body(services);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", tool, e.what());
        return 1;
    }
    return 0;
}

} // namespace screenshots
