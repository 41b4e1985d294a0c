#include "TerminationSignals.h"

#include "Database.h"
#include "TempDatabase.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <csignal>

using platform::TerminationSignals;

namespace {

void (*handlerOf(int signalNumber))(int)
{
    struct sigaction now {};
    sigaction(signalNumber, nullptr, &now);
    return now.sa_handler;
}

// Lets the message loop run until the signals came (bounded).
QList<int> receivedBy(TerminationSignals &watcher, int expected)
{
    QList<int> got;
    const auto c = QObject::connect(&watcher, &TerminationSignals::received, [&got](int s) { got << s; });
    for (int i = 0; i < 100 && got.size() < expected; ++i)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QObject::disconnect(c);
    return got;
}

TEST(TerminationSignals, ASignalReachesTheMessageLoopAndInstallPutsOursBackOverAnother)
{
    const auto before = handlerOf(SIGTERM);
    {
        TerminationSignals watcher;
        EXPECT_FALSE(watcher.Installed());
        watcher.Install();
        EXPECT_TRUE(watcher.Installed());

        // The Firebird client's engine puts in handlers of its own when it
        // is loaded: ours go back over them.
        TempDatabase db;
        watcher.Install();
        EXPECT_TRUE(watcher.Installed());
        signal(SIGINT, SIG_IGN);
        EXPECT_FALSE(watcher.Installed());
        watcher.Install();
        EXPECT_TRUE(watcher.Installed());

        ASSERT_EQ(raise(SIGINT), 0);
        EXPECT_EQ(receivedBy(watcher, 1), QList<int>{SIGINT});
        EXPECT_EQ(TerminationSignals::ExitStatus(SIGINT), 130);
    }
    EXPECT_EQ(handlerOf(SIGTERM), before) << "the handlers that were there are put back";
}

TEST(TerminationSignalsDeathTest, ASecondSignalEndsTheProcessAtOnce)
{
    EXPECT_EXIT(
        {
            TerminationSignals watcher;
            watcher.Install();
            raise(SIGTERM);
            raise(SIGTERM);
        },
        testing::ExitedWithCode(143), "");
}

} // namespace
