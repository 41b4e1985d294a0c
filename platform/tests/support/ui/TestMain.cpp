// Entry point of every window test program (<library>/tests/ui): widgets
// need a QApplication, and tests must never reach a real display, so the
// offscreen platform is the default.
#include "RecordingDialogs.h"

#include <QApplication>
#include <memory>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A test that forgets to install its own recorder must still never meet
    // a real message box or the desktop: unscripted messages answer their
    // default button, dialogs are rejected without being shown.
    RecordingServices::setDialogRunner(&runRecordedDialog);
    platform::Services::install(std::make_unique<RecordingServices>());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
