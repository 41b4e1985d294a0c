// zepCompileGuida: a document of the program ("Istruzioni.pdf", "News.pdf")
// made at build time from its Markdown source, with the pictures of the
// windows the source names, as a PDF of A4 pages:
//
//     zepCompileGuida OUTPUT.pdf SOURCE.md [PICTURES_FOLDER]
//
// The text is laid out by Qt's own document (QTextDocument, Markdown as
// GitHub writes it) and printed through QPdfWriter on the offscreen
// platform, so that no display is needed. Each picture "![caption](file)"
// is read from the pictures folder and shrunk to the width of the page
// when wider; a picture that cannot be read stops the build, naming it.
//
// Exit status: 0 written; 1 a source or picture could not be read, or the
// PDF not written; 2 wrong arguments.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QPdfWriter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextStream>

#include <algorithm>

namespace {

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

// The document's pictures loaded from `cartella` and made at most `larghezza`
// wide (in the document's units); false, after naming it, when one cannot
// be read.
bool caricaImmagini(QTextDocument &doc, const QString &cartella, qreal larghezza)
{
    struct Posto {
        int inizio, lunghezza;
        QTextImageFormat formato;
    };
    QList<Posto> posti;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (const QTextFragment f = it.fragment(); f.charFormat().isImageFormat())
                posti.append({f.position(), f.length(), f.charFormat().toImageFormat()});
    for (Posto &p : posti) {
        const QString file = cartella + QLatin1Char('/') + p.formato.name();
        const QImage immagine(file);
        if (immagine.isNull()) {
            err() << "zepCompileGuida: immagine illeggibile: " << file << Qt::endl;
            return false;
        }
        doc.addResource(QTextDocument::ImageResource, QUrl(p.formato.name()), immagine);
        const qreal scala = std::min<qreal>(1.0, larghezza / immagine.width());
        p.formato.setWidth(immagine.width() * scala);
        p.formato.setHeight(immagine.height() * scala);
        QTextCursor c(&doc);
        c.setPosition(p.inizio);
        c.setPosition(p.inizio + p.lunghezza, QTextCursor::KeepAnchor);
        c.setCharFormat(p.formato);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // Fonts and layout need a GUI application; no display is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList argomenti = app.arguments();
    if (argomenti.size() < 3 || argomenti.size() > 4) {
        err() << "Uso: zepCompileGuida USCITA.pdf SORGENTE.md [CARTELLA_IMMAGINI]" << Qt::endl;
        return 2;
    }
    const QString uscita = argomenti.at(1);
    QFile sorgente(argomenti.at(2));
    if (!sorgente.open(QIODevice::ReadOnly)) {
        err() << "zepCompileGuida: impossibile leggere " << sorgente.fileName() << ": " << sorgente.errorString()
              << Qt::endl;
        return 1;
    }
    const QString testo = QString::fromUtf8(sorgente.readAll());

    QPdfWriter pdf(uscita);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18),
                                  QPageLayout::Millimeter));
    pdf.setCreator(QStringLiteral("zepUni"));
    pdf.setTitle(testo.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('#')).trimmed());

    QTextDocument doc;
    QFont carattere(QStringLiteral("DejaVu Sans"));
    carattere.setPointSizeF(10);
    doc.setDefaultFont(carattere);
    doc.setMarkdown(testo, QTextDocument::MarkdownDialectGitHub);
    // The pages laid out at the screen's resolution (the offscreen one's)
    // over the printable area, then scaled to the PDF's.
    const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    const QRectF area = pdf.pageLayout().paintRect(QPageLayout::Inch);
    doc.setPageSize(QSizeF(area.width() * dpi, area.height() * dpi));
    const qreal larghezza = area.width() * dpi - 2 * doc.documentMargin();
    if (argomenti.size() == 4 && !caricaImmagini(doc, argomenti.at(3), larghezza))
        return 1;
    doc.print(&pdf);
    if (!QFileInfo(uscita).isFile() || QFileInfo(uscita).size() == 0) {
        err() << "zepCompileGuida: impossibile scrivere " << uscita << Qt::endl;
        return 1;
    }
    return 0;
}
