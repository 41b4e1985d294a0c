// The renderer's pages read back from the PDF with poppler's pdftotext: a
// table wider than the page, even with its lines broken between words only,
// loses none of its text; a table longer than a page goes on over the next
// ones with its headings on each, no row cut.
#include "zepCStampa.h"
#include "zepUStampa.h"

#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The characters of a text but its blanks, sorted.
QString caratteri(const QString &testo)
{
    QString out;
    for (const QChar c : testo.normalized(QString::NormalizationForm_KC))
        if (!c.isSpace())
            out += c;
    std::sort(out.begin(), out.end());
    return out;
}

// The text of the PDF's pages, ligatures read as their letters.
QStringList pagine(const QString &pdf, int n)
{
    QStringList out;
    for (int p = 1; p <= n; ++p) {
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"),
                        {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(p), QStringLiteral("-l"),
                         QString::number(p), pdf, QStringLiteral("-")});
        EXPECT_TRUE(pdftotext.waitForFinished(60000));
        out << QString::fromUtf8(pdftotext.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    }
    return out;
}

} // namespace

TEST(ZepStampaRender, ATableWiderThanThePageLosesNoneOfItsText)
{
    TZepStampa stampa;
    stampa.titolo = QStringLiteral("Prova");
    TZepStampaBlocco b;
    TZepStampaTabella t;
    for (int i = 0; i < 16; ++i) {
        t.colonne << QStringLiteral("Colonna%1").arg(QChar(u'A' + i));
        t.destra << i;
    }
    t.righe << QStringList(16, QStringLiteral("123.456.789,00"));
    b.tabelle << t;
    stampa.blocchi << b;
    QTemporaryDir cartella;
    const QString pdf = cartella.filePath(QStringLiteral("larga.pdf"));
    ASSERT_EQ(TZepStampaRender::Pdf(stampa, pdf), 1);
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    ASSERT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
    EXPECT_EQ(caratteri(QString::fromUtf8(pdftotext.readAllStandardOutput())),
              caratteri(stampa.Testo() + QStringLiteral("Pagina 1 di 1")));
}

TEST(ZepStampaRender, ATableOverSeveralPagesRepeatsItsHeadingsOnEachAndCutsNoRow)
{
    // Every third row runs over several lines of its last cell.
    TZepStampa stampa;
    stampa.titolo = QStringLiteral("Prova");
    TZepStampaBlocco b;
    b.titolo = QStringLiteral("Collaboratori");
    TZepStampaTabella t;
    t.colonne = QStringList{QStringLiteral("Codice fiscale"), QStringLiteral("Imp. TFS/TFR"), QStringLiteral("Note")};
    t.destra = {1};
    const int righe = 150;
    for (int r = 0; r < righe; ++r) {
        QStringList note;
        for (int i = 0; r % 3 == 0 && i < 40; ++i)
            note << QStringLiteral("n%1x%2").arg(r).arg(i);
        t.righe << QStringList{QStringLiteral("r%1").arg(r), QStringLiteral("1.234,56"), note.join(' ')};
    }
    t.totali = QStringList{QStringLiteral("Totale"), QStringLiteral("185.184,00"), QString()};
    b.tabelle << t;
    stampa.blocchi << b;
    QTemporaryDir cartella;
    const QString pdf = cartella.filePath(QStringLiteral("lunga.pdf"));
    const int n = TZepStampaRender::Pdf(stampa, pdf);
    ASSERT_GE(n, 3);

    // Each page its headings above its first row; each row, with every
    // line of it, on one page only.
    static const QRegularExpression parola(QStringLiteral("\\b(?:r|n)(\\d+)\\b|\\bn(\\d+)x\\d+\\b"));
    QMap<int, QSet<int>> paginaDellaRiga;
    const QStringList testi = pagine(pdf, n);
    for (int p = 0; p < n; ++p) {
        const QString &testo = testi.at(p);
        const qsizetype intestazioni = testo.indexOf(QStringLiteral("Codice fiscale"));
        const qsizetype prima = testo.indexOf(QRegularExpression(QStringLiteral("\\br\\d+\\b")));
        EXPECT_GE(intestazioni, 0) << "page " << p + 1;
        if (prima >= 0) {
            EXPECT_LT(intestazioni, prima) << "page " << p + 1;
        }
        EXPECT_TRUE(testo.contains(QStringLiteral("Imp. TFS/TFR"))) << "page " << p + 1;
        for (auto it = parola.globalMatch(testo); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            paginaDellaRiga[(m.captured(1).isEmpty() ? m.captured(2) : m.captured(1)).toInt()] << p;
        }
    }
    ASSERT_EQ(paginaDellaRiga.size(), righe);
    for (auto it = paginaDellaRiga.cbegin(); it != paginaDellaRiga.cend(); ++it)
        EXPECT_EQ(it.value().size(), 1) << "row r" << it.key() << " over pages " << it.value().size();
    for (int r = 0; r < righe; r += 3)
        EXPECT_EQ(testi.join(QLatin1Char('\n')).count(QStringLiteral("n%1x").arg(r)), 40) << r;
    EXPECT_TRUE(testi.last().contains(QStringLiteral("185.184,00")));
}
