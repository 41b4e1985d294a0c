// The program's PDF documents in a window of its own (no viewer on the
// machine needed): shown whole within the screen, one window a document,
// a missing or unreadable file refused naming it.
#include "DesktopServices.h"
#include "Exceptions.h"
#include "PdfWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QScreen>
#include <QTemporaryDir>

using namespace platform;

namespace {

class PdfWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QPdfWriter writer(dir.filePath("Istruzioni.pdf"));
        QPainter painter(&writer);
        painter.drawText(100, 100, "Istruzioni uniEMens");
        writer.newPage();
        painter.drawText(100, 100, "Pagina 2");
    }
    void TearDown() override { qDeleteAll(finestre()); }

    static QList<PdfWindow *> finestre()
    {
        QList<PdfWindow *> out;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *p = qobject_cast<PdfWindow *>(w))
                out << p;
        return out;
    }
    QString errore(const ShellRequest &request)
    {
        try {
            desktop.openDocument(request);
        } catch (const EUqError &e) {
            return e.message();
        }
        return QString();
    }

    QTemporaryDir dir;
    DesktopServices desktop;
};

} // namespace

TEST_F(PdfWindowTest, APdfOpensWholeInAWindowOfItsOwnWithinTheScreenOnceADocument)
{
    desktop.openDocument({"Istruzioni.pdf", {}, dir.path(), false});
    ASSERT_EQ(finestre().size(), 1);
    PdfWindow *w = finestre().at(0);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Istruzioni.pdf");
    EXPECT_EQ(w->document()->status(), QPdfDocument::Status::Ready);
    EXPECT_EQ(w->document()->pageCount(), 2);
    const QRect area = w->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(w->geometry())) << w->geometry().height() << " > " << area.height();

    // Asked again, the same window comes to the front.
    desktop.openDocument({dir.filePath("Istruzioni.pdf"), {}, {}, false});
    EXPECT_EQ(finestre(), QList<PdfWindow *>({w}));
}

TEST_F(PdfWindowTest, AMissingOrUnreadableDocumentIsRefusedNamingIt)
{
    EXPECT_EQ(errore({"News.pdf", {}, dir.path(), false}),
              QStringLiteral("Impossibile aprire \"%1\": file non trovato.").arg(dir.filePath("News.pdf")));
    QFile danneggiato(dir.filePath("News.pdf"));
    ASSERT_TRUE(danneggiato.open(QIODevice::WriteOnly));
    danneggiato.write("non un PDF");
    danneggiato.close();
    EXPECT_EQ(errore({"News.pdf", {}, dir.path(), false}),
              QStringLiteral("Impossibile aprire \"%1\": il file non è un documento PDF leggibile.")
                  .arg(dir.filePath("News.pdf")));
    EXPECT_TRUE(finestre().isEmpty());
}
