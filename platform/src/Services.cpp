#include "Services.h"

#include "Exceptions.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QVBoxLayout>

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
        s = std::make_unique<DesktopServices>();
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
// DesktopServices

struct DesktopServices::Impl {
    int cursorDepth = 0;
    std::unique_ptr<QDialog> waitForm;
    QLabel *waitLabel = nullptr;
};

DesktopServices::DesktopServices()
    : d(std::make_unique<Impl>())
{
}

DesktopServices::~DesktopServices() = default;

MessageButton DesktopServices::showMessage(const MessageRequest &request)
{
    QMessageBox box;
    box.setWindowTitle(request.caption);
    box.setText(request.text);
    switch (request.type) {
    case MessageType::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageType::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageType::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageType::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageType::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    struct Choice {
        MessageButton button;
        QMessageBox::StandardButton standard;
        const char *text;
    };
    static const Choice choices[] = {
        {Yes, QMessageBox::Yes, "S\u00ec"},       {No, QMessageBox::No, "No"},
        {Ok, QMessageBox::Ok, "OK"},              {Cancel, QMessageBox::Cancel, "Annulla"},
        {Abort, QMessageBox::Abort, "Interrompi"}, {Retry, QMessageBox::Retry, "Riprova"},
        {Ignore, QMessageBox::Ignore, "Ignora"},
    };
    MessageButtons buttons = request.buttons ? request.buttons : Ok;
    QPushButton *first = nullptr;
    for (const Choice &c : choices) {
        if (!(buttons & c.button))
            continue;
        QPushButton *b = box.addButton(c.standard);
        b->setText(QString::fromUtf8(c.text));
        if (!first)
            first = b;
        if (request.defaultButton == c.button)
            box.setDefaultButton(b);
    }
    if (!box.defaultButton() && first)
        box.setDefaultButton(first);
    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    for (const Choice &c : choices)
        if (clicked && box.standardButton(clicked) == c.standard)
            return c.button;
    if (buttons & Cancel)
        return Cancel;
    if (buttons & No)
        return No;
    return Ok;
}

int DesktopServices::execDialog(QDialog &dialog)
{
    return dialog.exec();
}

void DesktopServices::pushWaitCursor(WaitCursorShape shape)
{
    ++d->cursorDepth;
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QApplication::setOverrideCursor(QCursor(shape == WaitCursorShape::SqlWait ? Qt::BusyCursor : Qt::WaitCursor));
}

void DesktopServices::popWaitCursor()
{
    if (d->cursorDepth == 0)
        return;
    --d->cursorDepth;
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QApplication::restoreOverrideCursor();
}

void DesktopServices::showWaitForm(const QString &caption, const QString &text)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    if (!d->waitForm) {
        d->waitForm = std::make_unique<QDialog>(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        auto *layout = new QVBoxLayout(d->waitForm.get());
        d->waitLabel = new QLabel(d->waitForm.get());
        d->waitLabel->setAlignment(Qt::AlignCenter);
        layout->addWidget(d->waitLabel);
        d->waitForm->resize(412, 72);
    }
    d->waitForm->setWindowTitle(caption);
    d->waitLabel->setText(text);
    d->waitForm->show();
    d->waitForm->raise();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void DesktopServices::hideWaitForm()
{
    if (d->waitForm)
        d->waitForm->hide();
}

void DesktopServices::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void DesktopServices::sleep(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(ulong(milliseconds));
}

void DesktopServices::openDocument(const ShellRequest &request)
{
    QString file = QDir::fromNativeSeparators(request.file);
    const QString folder = QDir::fromNativeSeparators(request.folder);
    if (QDir::isRelativePath(file) && !folder.isEmpty())
        file = QDir(folder).filePath(file);
    const QFileInfo info(file);
    if (!info.exists())
        throw EUqError(QStringLiteral("Impossibile aprire \"%1\": file non trovato.").arg(QDir::toNativeSeparators(file)));
    const QString workDir = folder.isEmpty() ? info.absolutePath() : folder;

    QString program;
    QStringList arguments;
    if (info.isFile() && info.isExecutable()) {
        program = info.absoluteFilePath();
        arguments = QProcess::splitCommand(request.parameters);
    } else {
        program = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (program.isEmpty())
            throw EUqError(QStringLiteral("Impossibile aprire \"%1\": nessun programma per aprire i documenti (xdg-open).")
                               .arg(QDir::toNativeSeparators(file)));
        arguments << info.absoluteFilePath();
    }

    if (request.wait) {
        QProcess p;
        p.setWorkingDirectory(workDir);
        p.start(program, arguments);
        if (!p.waitForStarted())
            throw EUqError(QStringLiteral("Impossibile avviare \"%1\": %2").arg(QDir::toNativeSeparators(file), p.errorString()));
        p.waitForFinished(-1);
    } else if (!QProcess::startDetached(program, arguments, workDir)) {
        throw EUqError(QStringLiteral("Impossibile avviare \"%1\".").arg(QDir::toNativeSeparators(file)));
    }
}

// ---------------------------------------------------------------------------
// helpers

WaitCursor::WaitCursor(WaitCursorShape shape)
{
    Services::instance().pushWaitCursor(shape);
}

WaitCursor::~WaitCursor()
{
    Services::instance().popWaitCursor();
}

WaitForm::WaitForm(const QString &caption, const QString &text)
    : m_caption(caption)
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
