// Entry point of every core test program (<library>/tests/unit): a
// QCoreApplication, and no widgets library linked.
#include "RecordingServices.h"

#include <QCoreApplication>
#include <memory>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // A test that forgets to install its own recorder must still never reach
    // the desktop: unscripted messages answer their default button.
    platform::Services::install(std::make_unique<RecordingServices>());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
