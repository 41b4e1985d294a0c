#include "PdfWindow.h"

#include "Exceptions.h"
#include "WindowGeometry.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPdfDocument>
#include <QPdfView>
#include <QVBoxLayout>

namespace platform {

namespace {

QString motivo(QPdfDocument::Error errore)
{
    switch (errore) {
    case QPdfDocument::Error::FileNotFound: return QStringLiteral("file non trovato");
    case QPdfDocument::Error::InvalidFileFormat: return QStringLiteral("il file non è un documento PDF leggibile");
    case QPdfDocument::Error::IncorrectPassword:
    case QPdfDocument::Error::UnsupportedSecurityScheme: return QStringLiteral("il documento è protetto");
    default: return QStringLiteral("documento illeggibile");
    }
}

// The window the document belongs to: the top of the active window's
// owners (the main window, not a dialog that closes before it).
QWidget *proprietario()
{
    QWidget *w = QApplication::activeWindow();
    while (w && w->parentWidget())
        w = w->parentWidget()->window();
    return w;
}

} // namespace

PdfWindow::PdfWindow(const QString &file, QWidget *owner) : QWidget(owner, Qt::Window), m_file(file)
{
    setObjectName(QStringLiteral("PdfWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QDir::toNativeSeparators(QFileInfo(file).fileName()));
    m_document = new QPdfDocument(this);
    m_view = new QPdfView(this);
    m_view->setPageMode(QPdfView::PageMode::MultiPage);
    m_view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    m_view->setDocument(m_document);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

PdfWindow *PdfWindow::open(const QString &file)
{
    const QString path = QFileInfo(file).absoluteFilePath();
    for (QWidget *t : QApplication::topLevelWidgets())
        if (auto *w = qobject_cast<PdfWindow *>(t); w && w->file() == path) {
            w->showNormal();
            w->raise();
            w->activateWindow();
            return w;
        }
    auto *w = new PdfWindow(path, proprietario());
    if (const QPdfDocument::Error errore = w->m_document->load(path); errore != QPdfDocument::Error::None) {
        delete w;
        throw EUqError(
            QStringLiteral("Impossibile aprire \"%1\": %2.").arg(QDir::toNativeSeparators(path), motivo(errore)));
    }
    // An A4 page at a readable width, the whole height the screen gives.
    fitToScreen(*w, QSize(900, 100000));
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

} // namespace platform
