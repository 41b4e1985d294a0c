#include "TerminationSignals.h"

#include "Exceptions.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int Signals[] = {SIGTERM, SIGINT};

// What the handler may touch: plain values, set before it is installed.
volatile std::sig_atomic_t g_writeEnd = -1;
std::atomic<int> g_count{0};
std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);
int g_longOperations = 0;

struct sigaction g_previous[std::size(Signals)];

extern "C" void onTerminationSignal(int signalNumber)
{
    if (g_count.fetch_add(1) > 0)
        ::_exit(TerminationSignals::ExitStatus(signalNumber));
    g_signal = signalNumber;
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a signal for the loop: this one adds nothing.
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd, &byte, 1);
    errno = saved;
}

[[noreturn]] void refused(const char *what)
{
    throw EUqError(QStringLiteral("Impossibile gestire i segnali di chiusura del programma (%1): %2")
                       .arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno))));
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    ZEP_ASSERT(g_writeEnd == -1, "TerminationSignals: un solo oggetto per programma");
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        refused("pipe");
    g_count = 0;
    g_signal = 0;
    g_writeEnd = m_pipe[1];
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
}

TerminationSignals::~TerminationSignals()
{
    g_signal = 0;
    if (m_saved)
        for (std::size_t i = 0; i < std::size(Signals); ++i)
            ::sigaction(Signals[i], &g_previous[i], nullptr);
    g_writeEnd = -1;
    delete m_notifier;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void TerminationSignals::Install()
{
    struct sigaction ours {};
    ours.sa_handler = onTerminationSignal;
    sigemptyset(&ours.sa_mask);
    ours.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(Signals); ++i)
        if (::sigaction(Signals[i], &ours, m_saved ? nullptr : &g_previous[i]) != 0)
            refused("sigaction");
    m_saved = true;
}

bool TerminationSignals::Installed() const
{
    for (int s : Signals) {
        struct sigaction now {};
        if (::sigaction(s, nullptr, &now) != 0 || (now.sa_flags & SA_SIGINFO) || now.sa_handler != onTerminationSignal)
            return false;
    }
    return true;
}

bool TerminationSignals::Requested()
{
    return g_signal.load() != 0;
}

int TerminationSignals::RequestedSignal()
{
    return g_signal.load();
}

QString TerminationSignals::SignalName(int signalNumber)
{
    switch (signalNumber) {
    case SIGTERM: return QStringLiteral("SIGTERM");
    case SIGINT: return QStringLiteral("SIGINT");
    default: return QStringLiteral("segnale %1").arg(signalNumber);
    }
}

LongOperation::LongOperation()
{
    ++g_longOperations;
}

LongOperation::~LongOperation()
{
    --g_longOperations;
}

bool LongOperation::Running()
{
    return g_longOperations > 0;
}

void TerminationSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(m_pipe[0], &byte, 1) == 1)
        emit received(int(byte));
}

} // namespace platform
