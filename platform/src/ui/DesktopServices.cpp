#include "DesktopServices.h"

#include "PdfWindow.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace platform {

// ---------------------------------------------------------------------------
// DesktopServices

struct DesktopServices::Impl {
    int cursorDepth = 0;
    std::unique_ptr<QDialog> waitForm;
    QLabel *waitLabel = nullptr;
};

DesktopServices::DesktopServices() : d(std::make_unique<Impl>()) {}

DesktopServices::~DesktopServices() = default;

MessageButton DesktopServices::showMessage(const MessageRequest &request)
{
    // The program is ending on a signal: no one is there to answer, and a
    // box would keep it from ending. The message goes to the standard error
    // output, answered as a box closed without a choice.
    if (TerminationSignals::Requested())
        return CoreServices::showMessage(request);
    QMessageBox box;
    box.setWindowTitle(request.caption);
    box.setText(request.text);
    switch (request.type) {
    case MessageType::Plain: box.setIcon(QMessageBox::NoIcon); break;
    case MessageType::Information: box.setIcon(QMessageBox::Information); break;
    case MessageType::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageType::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageType::Question: box.setIcon(QMessageBox::Question); break;
    }
    struct Choice {
        MessageButton button;
        QMessageBox::StandardButton standard;
        const char *text;
    };
    static const Choice choices[] = {
        {Yes, QMessageBox::Yes, "S\u00ec"},
        {No, QMessageBox::No, "No"},
        {Ok, QMessageBox::Ok, "OK"},
        {Cancel, QMessageBox::Cancel, "Annulla"},
        {Abort, QMessageBox::Abort, "Interrompi"},
        {Retry, QMessageBox::Retry, "Riprova"},
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
    return closedBoxAnswer(buttons);
}

int DesktopServices::execDialog(QDialog &dialog)
{
    if (TerminationSignals::Requested())
        return QDialog::Rejected;
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

void DesktopServices::openDocument(const ShellRequest &request)
{
    QString file = QDir::fromNativeSeparators(request.file);
    const QString folder = QDir::fromNativeSeparators(request.folder);
    if (QDir::isRelativePath(file) && !folder.isEmpty())
        file = QDir(folder).filePath(file);
    const QFileInfo info(file);
    // The program's documents are its own PDFs: shown here, they need no
    // viewer on the machine. A missing file is refused as by the shell.
    if (!info.isFile() || info.suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0
        || !qobject_cast<QApplication *>(QCoreApplication::instance())) {
        CoreServices::openDocument(request);
        return;
    }
    PdfWindow *window = PdfWindow::open(info.absoluteFilePath());
    if (request.wait) {
        QEventLoop loop;
        QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

} // namespace platform
