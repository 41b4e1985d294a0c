#include "RecordingServices.h"

#include <QMetaObject>

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

int RecordingServices::execDialog(QDialog &dialog)
{
    DialogRun run;
    run.className = QString::fromLatin1(dialog.metaObject()->className());
    run.title = dialog.windowTitle();
    if (m_dialogHandlers.isEmpty()) {
        dialog.reject();
        run.result = QDialog::Rejected;
    } else {
        auto handler = m_dialogHandlers.takeFirst();
        run.result = handler(dialog);
        dialog.setResult(run.result);
    }
    m_dialogs << run;
    return run.result;
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
