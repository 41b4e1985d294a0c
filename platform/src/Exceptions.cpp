#include "Exceptions.h"

namespace platform {

Exception::Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

void raiseAssertion(const QString &message, const char *file, int line)
{
    // The message stands as the caller wrote it: callers and users match on
    // it. Where it came from is kept for the log, not for the message.
    Q_UNUSED(file);
    Q_UNUSED(line);
    throw EAssertionFailed(message);
}

} // namespace platform
