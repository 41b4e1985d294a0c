#pragma once
// A PDF document shown in a window of the program (Qt's PDF module), so
// that the program's own documents open where no desktop viewer is
// installed. DesktopServices opens every ".pdf" this way.
#include <QString>
#include <QWidget>

class QPdfDocument;
class QPdfView;

namespace platform {

class PdfWindow : public QWidget {
    Q_OBJECT
public:
    // Shows the document `file` in a window owned by the program's main
    // window (it closes with it), or raises the window that shows it
    // already. A file that cannot be read raises EUqError naming it.
    static PdfWindow *open(const QString &file);

    const QString &file() const { return m_file; }
    QPdfDocument *document() const { return m_document; }
    QPdfView *view() const { return m_view; }

private:
    PdfWindow(const QString &file, QWidget *owner);

    QString m_file;
    QPdfDocument *m_document;
    QPdfView *m_view;
};

} // namespace platform
