#pragma once
// Services for tests: every message, dialog, wait cursor, wait form, pause
// and shell request is recorded; messages and dialogs are answered from
// scripted replies; nothing ever blocks or reaches the desktop.
//
//     RecordingServicesScope services;               // installs, and restores at the end
//     services->replyToMessages({platform::No});     // the next message answers No
//     services->onNextDialog([](QDialog &d) { ...; return QDialog::Accepted; });
//     runTheCode();
//     EXPECT_EQ(services->messages().at(0).text, "Confermi ...");
//
// Unscripted messages answer their default button (the first of their
// buttons when none is marked default); unscripted dialogs are rejected
// without being shown. mainFolder() is a temporary folder of the scope
// unless set.
//
// The recorder links no widgets: a window test program (support/ui) installs
// the runner that answers dialogs from the script; in a core test program a
// dialog cannot be run.
#include "Services.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class RecordingServices : public platform::Services {
public:
    struct DialogRun {
        QString className;
        QString title;
        int result = 0;
    };

    // ---- scripting ----
    void replyToMessages(const QList<platform::MessageButton> &replies) { m_replies += replies; }
    void onNextDialog(std::function<int(QDialog &)> handler) { m_dialogHandlers << std::move(handler); }

    // ---- what happened ----
    const QList<platform::MessageRequest> &messages() const { return m_messages; }
    QStringList messageTexts() const;
    const QList<DialogRun> &dialogs() const { return m_dialogs; }
    int waitCursorDepth() const { return m_cursorDepth; }
    int waitCursorPushes() const { return m_cursorPushes; }
    bool waitFormVisible() const { return m_waitFormVisible; }
    const QStringList &waitFormTexts() const { return m_waitFormTexts; }
    const QList<platform::ShellRequest> &shellRequests() const { return m_shell; }
    const QList<int> &sleeps() const { return m_sleeps; }
    void clear();

    // ---- the dialog runner's side ----
    using DialogRunner = int (*)(RecordingServices &services, QDialog &dialog);
    static void setDialogRunner(DialogRunner runner);
    // The next scripted dialog handler; empty when none is left.
    std::function<int(QDialog &)> takeDialogHandler();
    void recordDialog(const DialogRun &run) { m_dialogs << run; }

    // ---- Services ----
    platform::MessageButton showMessage(const platform::MessageRequest &request) override;
    int execDialog(QDialog &dialog) override;
    void pushWaitCursor(platform::WaitCursorShape shape) override;
    void popWaitCursor() override;
    void showWaitForm(const QString &caption, const QString &text) override;
    void hideWaitForm() override;
    void processEvents() override {}
    void sleep(int milliseconds) override { m_sleeps << milliseconds; }
    void openDocument(const platform::ShellRequest &request) override { m_shell << request; }

private:
    QList<platform::MessageButton> m_replies;
    QList<std::function<int(QDialog &)>> m_dialogHandlers;
    QList<platform::MessageRequest> m_messages;
    QList<DialogRun> m_dialogs;
    int m_cursorDepth = 0;
    int m_cursorPushes = 0;
    bool m_waitFormVisible = false;
    QStringList m_waitFormTexts;
    QList<platform::ShellRequest> m_shell;
    QList<int> m_sleeps;
};

// Installs a RecordingServices for the scope's lifetime and puts the
// previous services back afterwards.
class RecordingServicesScope {
public:
    RecordingServicesScope();
    ~RecordingServicesScope();
    RecordingServicesScope(const RecordingServicesScope &) = delete;
    RecordingServicesScope &operator=(const RecordingServicesScope &) = delete;

    RecordingServices *operator->() const { return m_services; }
    RecordingServices &operator*() const { return *m_services; }

private:
    QTemporaryDir m_folder;
    RecordingServices *m_services;
    std::unique_ptr<platform::Services> m_previous;
};
