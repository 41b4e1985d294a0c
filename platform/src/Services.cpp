#include "Services.h"

#include "Exceptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <QThread>

namespace platform {

namespace {

std::unique_ptr<Services> &installed()
{
    static std::unique_ptr<Services> services;
    return services;
}

QString withSlash(QString folder)
{
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

// ---------------------------------------------------------------------------
// Services

Services::~Services() = default;

Services &Services::instance()
{
    auto &s = installed();
    if (!s)
        s = std::make_unique<CoreServices>();
    return *s;
}

std::unique_ptr<Services> Services::install(std::unique_ptr<Services> services)
{
    auto &s = installed();
    std::unique_ptr<Services> previous = std::move(s);
    s = std::move(services);
    return previous;
}

QString Services::mainFolder() const
{
    if (!m_mainFolder.isEmpty())
        return m_mainFolder;
    QDir dir(QCoreApplication::applicationDirPath());
    if (dir.dirName().compare(QLatin1String("bin"), Qt::CaseInsensitive) == 0)
        dir.cdUp();
    return withSlash(dir.absolutePath());
}

void Services::setMainFolder(const QString &folder)
{
    m_mainFolder = folder.isEmpty() ? QString() : withSlash(folder);
}

QString Services::programVersion() const
{
    if (!m_programVersion.isEmpty())
        return m_programVersion;
    return QCoreApplication::applicationVersion();
}

void Services::setProgramVersion(const QString &version)
{
    m_programVersion = version;
}

// ---------------------------------------------------------------------------
// CoreServices

MessageButton CoreServices::showMessage(const MessageRequest &request)
{
    QTextStream err(stderr);
    if (request.caption.isEmpty())
        err << request.text << Qt::endl;
    else
        err << request.caption << ": " << request.text << Qt::endl;
    return closedBoxAnswer(request.buttons);
}

int CoreServices::execDialog(QDialog &)
{
    throw EUqError(QStringLiteral("Questo programma non ha finestre: impossibile mostrare una finestra di dialogo."));
}

void CoreServices::pushWaitCursor(WaitCursorShape) {}

void CoreServices::popWaitCursor() {}

void CoreServices::showWaitForm(const QString &, const QString &) {}

void CoreServices::hideWaitForm() {}

void CoreServices::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CoreServices::sleep(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(ulong(milliseconds));
}

void CoreServices::openDocument(const ShellRequest &request)
{
    QString file = QDir::fromNativeSeparators(request.file);
    const QString folder = QDir::fromNativeSeparators(request.folder);
    if (QDir::isRelativePath(file) && !folder.isEmpty())
        file = QDir(folder).filePath(file);
    const QFileInfo info(file);
    if (!info.exists())
        throw EUqError(
            QStringLiteral("Impossibile aprire \"%1\": file non trovato.").arg(QDir::toNativeSeparators(file)));
    const QString workDir = folder.isEmpty() ? info.absolutePath() : folder;

    QString program;
    QStringList arguments;
    if (info.isFile() && info.isExecutable()) {
        program = info.absoluteFilePath();
        arguments = QProcess::splitCommand(request.parameters);
    } else {
        program = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (program.isEmpty())
            throw EUqError(
                QStringLiteral("Impossibile aprire \"%1\": nessun programma per aprire i documenti (xdg-open).")
                    .arg(QDir::toNativeSeparators(file)));
        arguments << info.absoluteFilePath();
    }

    if (request.wait) {
        QProcess p;
        p.setWorkingDirectory(workDir);
        p.start(program, arguments);
        if (!p.waitForStarted())
            throw EUqError(
                QStringLiteral("Impossibile avviare \"%1\": %2").arg(QDir::toNativeSeparators(file), p.errorString()));
        p.waitForFinished(-1);
    } else if (!QProcess::startDetached(program, arguments, workDir)) {
        throw EUqError(QStringLiteral("Impossibile avviare \"%1\".").arg(QDir::toNativeSeparators(file)));
    }
}

// ---------------------------------------------------------------------------
// helpers

MessageButton closedBoxAnswer(MessageButtons buttons)
{
    if (buttons & Cancel)
        return Cancel;
    if (buttons & No)
        return No;
    return Ok;
}

WaitCursor::WaitCursor(WaitCursorShape shape)
{
    Services::instance().pushWaitCursor(shape);
}

WaitCursor::~WaitCursor()
{
    Services::instance().popWaitCursor();
}

WaitForm::WaitForm(const QString &caption, const QString &text) : m_caption(caption)
{
    Services::instance().showWaitForm(caption, text);
}

WaitForm::~WaitForm()
{
    Services::instance().hideWaitForm();
}

void WaitForm::setText(const QString &text)
{
    Services::instance().showWaitForm(m_caption, text);
}

MessageButton showMessage(const QString &text, const QString &caption, MessageType type, MessageButtons buttons,
                          MessageButton defaultButton)
{
    MessageRequest r;
    r.text = text;
    r.caption = caption;
    r.type = type;
    r.buttons = buttons;
    r.defaultButton = defaultButton;
    return Services::instance().showMessage(r);
}

QString mainFolder()
{
    return Services::instance().mainFolder();
}

QString programVersion()
{
    return Services::instance().programVersion();
}

} // namespace platform
