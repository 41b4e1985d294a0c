#pragma once
// SIGTERM and SIGINT turned into a Qt signal of the message loop, so that a
// program asked to end (by the session, a service manager or Ctrl+C) ends
// its own way: pending edits cancelled, the archive closed, a failure
// status.
//
// A signal handler may do almost nothing safely: ours writes the signal's
// number into a pipe, and a QSocketNotifier on the other end emits
// `received` from the message loop (the self-pipe pattern), where any code
// may run. A second signal ends the process at once (_exit with 128 + the
// signal's number): the user insisting, or a program stuck where the
// message loop never comes back.
//
// Libraries may install handlers of their own: the Firebird client does
// when its embedded engine is loaded, and on SIGTERM or SIGINT it shuts the
// engine down, leaving the program running on a closed archive. Install()
// again after such a library is loaded (after the first connection is
// opened) puts ours back; Installed() tells, from sigaction, whether ours
// are in place.
//
// The handler also records the signal (Requested()), so that work which
// does not return to the message loop for a while (an import going through
// its persons, a file being written) sees the request at its next safe
// point, ends there (the current person rolled back, no file written) and
// lets the program end. While such work runs (LongOperation), a program
// leaves the signal to it rather than closing the archive under it.
//
// One object a program, made after the application object.
#include <QObject>

class QSocketNotifier;

namespace platform {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    // Puts back the handlers that were there before the first Install().
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

    // Installs our handler for SIGTERM and SIGINT, over whatever handler is
    // there now. EUqError when the system refuses.
    void Install();
    // Our handler is the one in place for both signals.
    bool Installed() const;

    // The exit status of a program ended by the signal: 128 + its number,
    // as a shell reports it.
    static int ExitStatus(int signalNumber) { return 128 + signalNumber; }

    // A termination signal has come since the object was made (always false
    // without one), and which.
    static bool Requested();
    static int RequestedSignal();
    // The name of a signal for messages: "SIGTERM", "SIGINT".
    static QString SignalName(int signalNumber);

signals:
    // From the message loop, once per signal dealt with.
    void received(int signalNumber);

private:
    void readPipe();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
    bool m_saved = false;
};

// Work in progress that a termination signal must let finish at a safe
// point of its own (see above): one object for the work's duration.
class LongOperation {
public:
    LongOperation();
    ~LongOperation();
    LongOperation(const LongOperation &) = delete;
    LongOperation &operator=(const LongOperation &) = delete;

    // Some long operation is in progress.
    static bool Running();
};

} // namespace platform
