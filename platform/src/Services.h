#pragma once
// The services the programs take from their surroundings: message boxes,
// modal dialogs, the wait cursor and the wait form, opening documents with
// the desktop, a pause, the program's main folder and version.
//
// One Services object is installed at start-up: a program with windows
// installs DesktopServices (ui/DesktopServices.h: message boxes, dialogs,
// the wait cursor and window); one without keeps CoreServices, the default.
// Tests install a recorder (platform/tests/support/RecordingServices.h)
// that answers scripted replies and never blocks. Code reaches them through
// Services::instance() and the helpers below (UqMessages.h for the
// framework's message boxes).
//
// This interface is core: it names QDialog only to pass one through, and
// only window code, which has the class, runs a dialog.
#include <QString>
#include <QStringList>
#include <memory>

class QDialog;

namespace platform {

enum class MessageType { Plain, Information, Warning, Error, Question };

enum MessageButton : int {
    NoButton = 0,
    Ok = 0x01,
    Cancel = 0x02,
    Yes = 0x04,
    No = 0x08,
    Abort = 0x10,
    Retry = 0x20,
    Ignore = 0x40
};
using MessageButtons = int;

struct MessageRequest {
    QString text;
    QString caption;
    MessageType type = MessageType::Plain;
    MessageButtons buttons = Ok;
    // The button that Enter chooses; NoButton: the first of the buttons.
    MessageButton defaultButton = NoButton;
};

// Opening a document with the desktop, or running a program.
struct ShellRequest {
    QString file;       // document or program; relative: taken from `folder`
    QString parameters; // command line arguments (quotes group words)
    QString folder;     // working folder; empty: the file's own folder
    bool wait = false;  // wait until the program ends
};

enum class WaitCursorShape { Hourglass, SqlWait };

class Services {
public:
    virtual ~Services();

    // The installed services; CoreServices when none was installed.
    static Services &instance();
    // Installs `services` and returns the previous ones (nullptr when the
    // default was in use), so a test can put them back.
    static std::unique_ptr<Services> install(std::unique_ptr<Services> services);

    // Shows a message and returns the button chosen; closing the box
    // without a choice gives Cancel (or No when there is no Cancel, or Ok
    // for an OK-only box).
    virtual MessageButton showMessage(const MessageRequest &request) = 0;
    // Runs a dialog modally and returns its result (QDialog::Accepted,
    // QDialog::Rejected or the code given to done()).
    virtual int execDialog(QDialog &dialog) = 0;

    // Wait cursor, nested: every push is undone by one pop (WaitCursor).
    virtual void pushWaitCursor(WaitCursorShape shape) = 0;
    virtual void popWaitCursor() = 0;

    // A small window with a caption and a line of text, shown until hidden
    // (WaitForm). Showing it again replaces the text.
    virtual void showWaitForm(const QString &caption, const QString &text) = 0;
    virtual void hideWaitForm() = 0;

    // Lets the window system paint (a long operation shows its progress).
    virtual void processEvents() = 0;
    // Waits (blocking the message loop, as the programs do after their news
    // action).
    virtual void sleep(int milliseconds) = 0;

    // Opens a document with the desktop's program for it (xdg-open), or
    // runs a program with its parameters. A missing file or a program that
    // cannot be started raises EUqError with the file's name.
    virtual void openDocument(const ShellRequest &request) = 0;

    // The installation folder: the folder above the program's own folder
    // when that is named "bin", else the program's folder; always ends with
    // "/". Resource paths are built on it ("USR/UniEmens/Res/").
    QString mainFolder() const;
    void setMainFolder(const QString &folder);
    // The program's version ("1.0.0"): the application's version unless set.
    QString programVersion() const;
    void setProgramVersion(const QString &version);

private:
    QString m_mainFolder;
    QString m_programVersion;
};

// The services of a program without windows: a message is written to the
// standard error output and answered as a box closed without a choice
// (Cancel, else No, else Ok), as no one can choose; a dialog cannot be
// run (EUqError); there is no wait cursor or wait window to show. Documents
// and programs are opened with QProcess and xdg-open. The window library's
// DesktopServices builds on these.
class CoreServices : public Services {
public:
    MessageButton showMessage(const MessageRequest &request) override;
    int execDialog(QDialog &dialog) override;
    void pushWaitCursor(WaitCursorShape shape) override;
    void popWaitCursor() override;
    void showWaitForm(const QString &caption, const QString &text) override;
    void hideWaitForm() override;
    void processEvents() override;
    void sleep(int milliseconds) override;
    void openDocument(const ShellRequest &request) override;
};

// The hourglass for the lifetime of the object (restored also when an
// exception leaves the scope).
class WaitCursor {
public:
    explicit WaitCursor(WaitCursorShape shape = WaitCursorShape::Hourglass);
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// The wait form for the lifetime of the object.
class WaitForm {
public:
    WaitForm(const QString &caption, const QString &text);
    ~WaitForm();
    WaitForm(const WaitForm &) = delete;
    WaitForm &operator=(const WaitForm &) = delete;
    void setText(const QString &text);

private:
    QString m_caption;
};

// Short forms over Services::instance().
MessageButton showMessage(const QString &text, const QString &caption = {}, MessageType type = MessageType::Plain,
                          MessageButtons buttons = Ok, MessageButton defaultButton = NoButton);
QString mainFolder();
QString programVersion();
// The answer of a message box closed without a choice: Cancel, else No
// (when there is no Cancel), else Ok.
MessageButton closedBoxAnswer(MessageButtons buttons);

} // namespace platform
