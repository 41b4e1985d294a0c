#include "RecordingServices.h"

#include "Exceptions.h"

using namespace platform;

QStringList RecordingServices::messageTexts() const
{
    QStringList out;
    for (const MessageRequest &m : m_messages)
        out << m.text;
    return out;
}

void RecordingServices::clear()
{
    m_replies.clear();
    m_dialogHandlers.clear();
    m_messages.clear();
    m_dialogs.clear();
    m_cursorPushes = 0;
    m_waitFormTexts.clear();
    m_shell.clear();
    m_sleeps.clear();
}

MessageButton RecordingServices::showMessage(const MessageRequest &request)
{
    m_messages << request;
    if (!m_replies.isEmpty())
        return m_replies.takeFirst();
    if (request.defaultButton != NoButton)
        return request.defaultButton;
    const MessageButtons buttons = request.buttons ? request.buttons : Ok;
    for (MessageButton b : {Yes, No, Ok, Cancel, Abort, Retry, Ignore})
        if (buttons & b)
            return b;
    return Ok;
}

namespace {
RecordingServices::DialogRunner g_dialogRunner = nullptr;
}

void RecordingServices::setDialogRunner(DialogRunner runner)
{
    g_dialogRunner = runner;
}

std::function<int(QDialog &)> RecordingServices::takeDialogHandler()
{
    return m_dialogHandlers.isEmpty() ? std::function<int(QDialog &)>() : m_dialogHandlers.takeFirst();
}

int RecordingServices::execDialog(QDialog &dialog)
{
    if (!g_dialogRunner)
        throw EUqError(QStringLiteral("Finestra di dialogo in un test senza finestre."));
    return g_dialogRunner(*this, dialog);
}

void RecordingServices::pushWaitCursor(WaitCursorShape)
{
    ++m_cursorDepth;
    ++m_cursorPushes;
}

void RecordingServices::popWaitCursor()
{
    if (m_cursorDepth > 0)
        --m_cursorDepth;
}

void RecordingServices::showWaitForm(const QString &caption, const QString &text)
{
    Q_UNUSED(caption);
    m_waitFormVisible = true;
    m_waitFormTexts << text;
}

void RecordingServices::hideWaitForm()
{
    m_waitFormVisible = false;
}

RecordingServicesScope::RecordingServicesScope()
{
    auto services = std::make_unique<RecordingServices>();
    m_services = services.get();
    m_services->setMainFolder(m_folder.path());
    m_services->setProgramVersion(QStringLiteral("1.0.0"));
    m_previous = Services::install(std::move(services));
}

RecordingServicesScope::~RecordingServicesScope()
{
    Services::install(std::move(m_previous));
}
