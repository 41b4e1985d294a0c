#include "zepUStampa.h"

#include "Exceptions.h"
#include "zepCStampa.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextOption>
#include <QTextTable>
#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

namespace {

const QString Carattere = QStringLiteral("DejaVu Sans");

// The print's size of a table's text, in points.
constexpr qreal PuntiTabella = 8;
// The smallest share of its size a table's text is set to, to make its
// columns fit the page.
constexpr qreal ScalaMinima = 0.6;
// A table's border and its cells' padding, and the padding of the
// label-value pairs (a table without border), in CSS pixels.
constexpr int BordoTabella = 1;
constexpr int SpazioCella = 2;
constexpr int SpazioCampi = 1;
// The widths of a label and of its value, in percent of the page.
constexpr int LarghezzaEtichetta = 20;
constexpr int LarghezzaValore = 30;
// The margin a paragraph has where the style sheet gives none, in CSS
// pixels (the HTML's).
constexpr qreal MargineParagrafo = 12;

// The style sheet's rules by class, each rule's declarations as an
// element's style attribute takes them ("font-weight:bold; color:#404040").
// Read once and written into each element's style, so that the thousands of
// documents of a print do not each parse a sheet.
QHash<QString, QString> leggiStili()
{
    QFile file(QStringLiteral(":/stampa/zepStampa.css"));
    ZEP_ASSERT(file.open(QIODevice::ReadOnly), "Foglio di stile delle stampe mancante");
    QString testo = QString::fromUtf8(file.readAll());
    testo.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
    QHash<QString, QString> stili;
    static const QRegularExpression regola(QStringLiteral("\\.([\\w-]+)\\s*\\{([^}]*)\\}"));
    for (auto it = regola.globalMatch(testo); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QStringList dichiarazioni;
        for (const QString &d : m.captured(2).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!d.trimmed().isEmpty())
                dichiarazioni << d.trimmed();
        stili.insert(m.captured(1), dichiarazioni.join(QStringLiteral("; ")));
    }
    return stili;
}

// The declarations of the class `classe` of the style sheet.
QString stile(const char *classe)
{
    static const QHash<QString, QString> stili = leggiStili();
    const auto it = stili.constFind(QLatin1String(classe));
    ZEP_ASSERT(it != stili.cend(),
               QStringLiteral("Stile \"%1\" mancante nel foglio delle stampe").arg(QLatin1String(classe)));
    return *it;
}

// The value of the declaration `nome` of the class `classe` ("10pt" for
// the "font-size" of "titolo-blocco"); empty without one.
QString proprieta(const char *classe, const char *nome)
{
    for (const QString &d : stile(classe).split(QLatin1Char(';'))) {
        const qsizetype due = d.indexOf(QLatin1Char(':'));
        if (due > 0 && QStringView(d).left(due).trimmed() == QLatin1String(nome))
            return d.mid(due + 1).trimmed();
    }
    return QString();
}

// A length of the class ("6px", "10pt") as its number; `senza` without one.
qreal lunghezza(const char *classe, const char *nome, qreal senza = 0)
{
    const QString v = proprieta(classe, nome);
    return v.isEmpty() ? senza : QStringView(v).chopped(2).toDouble();
}

// A colour of the class; invalid without one.
QColor colore(const char *classe, const char *nome)
{
    const QString v = proprieta(classe, nome);
    return v.isEmpty() ? QColor() : QColor(v);
}

// `f` in the class's family, size and weight.
QFont carattere(const char *classe, QFont f)
{
    QString famiglia = proprieta(classe, "font-family");
    famiglia.remove(QLatin1Char('\'')).remove(QLatin1Char('"'));
    if (!famiglia.isEmpty())
        f.setFamily(famiglia);
    if (const qreal punti = lunghezza(classe, "font-size"); punti > 0)
        f.setPointSizeF(punti);
    if (proprieta(classe, "font-weight") == QLatin1String("bold"))
        f.setBold(true);
    return f;
}

QString html(const QString &testo)
{
    return testo.toHtmlEscaped();
}

// A text whose words stay whole: lines may break at its blanks only, never
// after the '/' or '-' inside a word ("TFS/TFR", a date), which the line
// breaker would otherwise take as a place to break.
QString paroleIntere(QString testo)
{
    static const QRegularExpression dentroParola(QStringLiteral("([/-])(?=\\S)"));
    if (testo.contains(QLatin1Char('/')) || testo.contains(QLatin1Char('-')))
        testo.replace(dentroParola, QStringLiteral("\\1") + QChar(0x2060));
    return testo;
}

QString cella(const QString &testo)
{
    return paroleIntere(html(testo));
}

// `scala` sets the table's text smaller than its size, for a table whose
// columns would not fit the page.
QString tabella(const TZepStampaTabella &t, qreal scala)
{
    QString out;
    if (!t.titolo.isEmpty())
        out += QStringLiteral("<p style=\"%1\">%2</p>").arg(stile("titolo-tabella"), html(t.titolo));
    out += QStringLiteral("<table border=\"%1\" cellspacing=\"0\" cellpadding=\"%2\" width=\"100%\" style=\"%3\">")
               .arg(QString::number(BordoTabella), QString::number(SpazioCella), stile("tabella"));
    const QString dimensione =
        QStringLiteral("font-size:%1pt; ").arg((t.punti > 0 ? t.punti : PuntiTabella) * scala, 0, 'f', 2);
    auto riga = [&](const QStringList &celle, const QString &stileRiga) {
        out += QStringLiteral("<tr>");
        for (int i = 0; i < celle.size(); ++i)
            out += QStringLiteral("<td%1 style=\"%2%3\">%4</td>")
                       .arg(t.destra.contains(i) ? QStringLiteral(" align=\"right\"") : QString(), dimensione,
                            stileRiga, cella(celle.at(i)));
        out += QStringLiteral("</tr>");
    };
    // The headings as the table's header, which the pages it runs over
    // repeat.
    out += QStringLiteral("<thead>");
    riga(t.colonne, stile("intestazioni"));
    out += QStringLiteral("</thead>");
    for (const QStringList &r : t.righe)
        riga(r, QString());
    if (!t.totali.isEmpty())
        riga(t.totali, stile("totali"));
    return out + QStringLiteral("</table>");
}

// The block as HTML, for QTextDocument; `impagina` lays it out as the
// document lays this out.
QString blocco(const TZepStampaBlocco &b, qreal scala)
{
    QString out;
    if (!b.titolo.isEmpty())
        out += QStringLiteral("<p style=\"%1\">%2</p>").arg(stile("titolo-blocco"), html(b.titolo));
    if (!b.campi.isEmpty()) {
        out += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"%1\" width=\"100%\">").arg(SpazioCampi);
        for (int i = 0; i < b.campi.size(); i += 2) {
            out += QStringLiteral("<tr>");
            for (int j = i; j < i + 2; ++j) {
                if (j < b.campi.size())
                    out += QStringLiteral("<td width=\"%1%\" style=\"%2\">%3</td><td width=\"%4%\">%5</td>")
                               .arg(QString::number(LarghezzaEtichetta), stile("etichetta"), html(b.campi.at(j).first),
                                    QString::number(LarghezzaValore), html(b.campi.at(j).second));
                else
                    out += QStringLiteral("<td></td><td></td>");
            }
            out += QStringLiteral("</tr>");
        }
        out += QStringLiteral("</table>");
    }
    for (const TZepStampaTabella &t : b.tabelle)
        out += tabella(t, scala);
    if (!b.righeFisse.isEmpty())
        out += QStringLiteral("<pre style=\"%1\">%2</pre>")
                   .arg(stile("righe-fisse"), html(b.righeFisse.join(QLatin1Char('\n'))));
    return out;
}

// A block placed: its document from `inizio` (its own coordinates) on the
// page `pagina` at height `y` of the body.
struct Posto {
    int documento;
    int pagina;
    qreal y;
    qreal inizio;
    qreal altezza;
};

// A place where a block's document may go on to the next page: above a line
// of its paragraphs or between two rows of a table (never inside a row). A
// table with headings goes on below them again: they are the stretch from
// `testaDa` to `testaA` of the document (empty: none to repeat).
struct Taglio {
    qreal y;
    qreal testaDa = 0;
    qreal testaA = 0;
};

// The places where the document may go on to the next page, from the top.
std::vector<Taglio> tagli(const QTextDocument &doc)
{
    QAbstractTextDocumentLayout *layout = doc.documentLayout();
    const qreal scala = layout->paintDevice() ? layout->paintDevice()->logicalDpiY() / 96.0 : 1;
    std::vector<Taglio> out;
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (const auto *t = qobject_cast<const QTextTable *>(it.currentFrame())) {
            // Each row from the top of its cells' text to the bottom of the
            // tallest; rows meet halfway between.
            const int righe = t->rows();
            std::vector<qreal> alto(righe, std::numeric_limits<qreal>::max()), basso(righe, 0);
            for (int r = 0; r < righe; ++r)
                for (int c = 0; c < t->columns(); ++c) {
                    const QTextTableCell cella = t->cellAt(r, c);
                    alto[r] = std::min(alto[r], layout->blockBoundingRect(cella.firstCursorPosition().block()).top());
                    basso[r] = std::max(basso[r],
                                        layout->blockBoundingRect(cella.lastCursorPosition().block()).bottom());
                }
            const auto tra = [&](int r) { return (basso[r - 1] + alto[r]) / 2; };
            const int testa = t->format().headerRowCount();
            Taglio intestazioni{0};
            if (testa > 0 && righe > testa)
                intestazioni = {0, alto[0] - (alto[testa] - basso[testa - 1]) / 2 - t->format().border() * scala,
                                tra(testa)};
            // The headings stay with the first row at least.
            for (int r = testa > 0 ? testa + 1 : 1; r < righe; ++r)
                out.push_back({tra(r), intestazioni.testaDa, intestazioni.testaA});
        } else if (const QTextBlock blocco = it.currentBlock();
                   blocco.isValid() && blocco.layout() && !blocco.text().isEmpty()) {
            // (The empty paragraph after a table lies partly over it.)
            const QTextLayout &righe = *blocco.layout();
            for (int i = 0; i < righe.lineCount(); ++i)
                out.push_back({righe.position().y() + righe.lineAt(i).y()});
        }
    }
    std::sort(out.begin(), out.end(), [](const Taglio &a, const Taglio &b) { return a.y < b.y; });
    return out;
}


// The block laid out by the renderer itself, as QTextDocument lays out the
// block's HTML (the same fonts, lines, margins, column widths and row
// heights, in the text engine's 64ths of a pixel), without building a
// document: each text a QTextLayout shaped once, each table's borders and
// backgrounds rectangles.
struct Impaginato {
    struct Testo {
        std::unique_ptr<QTextLayout> layout;
        QColor colore;
    };
    struct Riquadro {
        QRectF rect;
        QColor colore;
    };
    std::vector<Testo> testi;
    std::vector<Riquadro> riquadri;
    std::vector<Taglio> tagli;
    qreal larghezza = 0;
    qreal altezza = 0;
};

// The text engine's fixed point, 64ths of a pixel, with its rounding to
// whole pixels, its products and quotients: the layout's sums come out as
// the document's to the 64th.
using Fx = qint64;
constexpr Fx FxMax = std::numeric_limits<int>::max() / 256;
Fx fx(qreal r)
{
    return Fx(r * 64);
}
qreal reale(Fx v)
{
    return v / 64.0;
}
Fx arrotonda(Fx v)
{
    return (v + 32) & -64;
}
Fx perEccesso(Fx v)
{
    return (v + 63) & -64;
}
Fx per(Fx a, Fx b)
{
    const bool neg = (a < 0) != (b < 0);
    const Fx r = (std::abs(a) * std::abs(b) + 0x20) >> 6;
    return neg ? -r : r;
}
Fx diviso(Fx a, Fx b)
{
    if (b == 0)
        return 0x7FFFFFFF;
    const bool neg = (a < 0) != (b < 0);
    const Fx r = ((std::abs(a) << 6) + (std::abs(b) >> 1)) / std::abs(b);
    return neg ? -r : r;
}

// A text as the HTML importer keeps it: runs of blanks one blank, none at
// the ends.
QString spazi(const QString &testo)
{
    QString out;
    out.reserve(testo.size());
    bool blank = false;
    for (const QChar c : testo) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
            blank = !out.isEmpty();
        } else {
            if (blank)
                out += QLatin1Char(' ');
            blank = false;
            out += c;
        }
    }
    return out;
}

// Lays a block's paragraphs and tables out one after the other, from the
// top, at the page's width.
class Impaginatore {
public:
    Impaginatore(const QPaintDevice &device, qreal larghezza, const QFont &base)
        : m_device(device), m_scala(device.logicalDpiY() / 96.0), m_larghezza(fx(larghezza)), m_base(base)
    {
    }

    struct Cella {
        QString testo = QString();
        QFont font = QFont();
        bool destra = false;
        QColor colore = Qt::black;
        // Invalid: none.
        QColor sfondo = QColor();
        // The column's width in percent of the table's; 0: as its texts need.
        qreal percento = 0;
    };

    // A paragraph with its margins in CSS pixels; `fisso` keeps its blanks
    // and never breaks its line.
    void Paragrafo(const QString &testo, const QFont &font, qreal sopra, qreal sotto, bool fisso = false)
    {
        if (m_dopoParagrafo)
            m_y += fx(std::max(sopra, m_sottoPrecedente) * m_scala);
        QTextLayout *tl = nuovo(testo, font, Qt::AlignLeft, fisso, Qt::black);
        const Fx inizio = m_y;
        m_y += linee(*tl, m_larghezza);
        tl->setPosition(QPointF(0, reale(inizio)));
        if (!testo.isEmpty())
            for (int i = 0; i < tl->lineCount(); ++i)
                m_out.tagli.push_back({reale(inizio) + tl->lineAt(i).y()});
        m_dopoParagrafo = true;
        m_sottoPrecedente = sotto;
    }

    // A table of the page's width; `bordo` and `spazio` (the cells' padding)
    // in CSS pixels; the first `testa` rows its headings.
    void Tabella(const std::vector<std::vector<Cella>> &righe, int testa, qreal bordo, qreal spazio,
                 const QColor &coloreBordo)
    {
        const int nr = int(righe.size());
        int nc = 0;
        for (const auto &r : righe)
            nc = std::max(nc, int(r.size()));
        if (nc == 0)
            return;
        const Fx b = arrotonda(fx(bordo * m_scala));
        const Fx pad = fx(spazio * m_scala);
        const Fx tabellaY = m_y;
        // The table's layouts, by cell, laid out first at the widest line.
        std::vector<QTextLayout *> celle(std::size_t(nr * nc));
        std::vector<Fx> minimi(nc, 1), massimi(nc, FxMax), larghezze(nc, 0);
        std::vector<qreal> percento(nc, 0);
        for (int r = 0; r < nr; ++r)
            for (int c = 0; c < nc; ++c) {
                static const Cella vuota;
                const Cella &cella = c < int(righe[r].size()) ? righe[r][c] : vuota;
                if (percento[c] == 0)
                    percento[c] = cella.percento;
                QTextLayout *tl = nuovo(cella.testo, c < int(righe[r].size()) ? cella.font : m_base,
                                        cella.destra ? Qt::AlignRight | Qt::AlignAbsolute : Qt::AlignLeft, false,
                                        cella.colore);
                celle[std::size_t(r * nc + c)] = tl;
                misura(*tl);
                minimi[c] = perEccesso(std::max(minimi[c], fx(tl->minimumWidth()) + 2 * pad));
                const Fx massimo = fx(tl->maximumWidth());
                if (massimo > 0) {
                    const Fx m = perEccesso(massimi[c] == FxMax ? massimo + 2 * pad
                                                                : std::max(massimi[c], massimo + 2 * pad));
                    massimi[c] = std::max(minimi[c], m);
                }
            }
        const Fx contenuto = fx(reale(m_larghezza)) - 2 * b;
        Fx resto = contenuto - nc * 2 * b;
        const Fx iniziale = resto;
        Fx percentuale = 0, minimoTotale = 0;
        int variabili = 0;
        for (int c = 0; c < nc; ++c) {
            if (percento[c] > 0) {
                percentuale += fx(percento[c]);
            } else {
                ++variabili;
                larghezze[c] = minimi[c];
                resto -= minimi[c];
            }
            minimoTotale += minimi[c];
        }
        {
            const Fx inPercentuale = per(iniziale, percentuale) / 100;
            Fx minimiRestanti = minimoTotale;
            for (int c = 0; c < nc; ++c) {
                minimiRestanti -= minimi[c];
                if (percento[c] > 0) {
                    const Fx w = diviso(per(inPercentuale, fx(percento[c])), percentuale);
                    larghezze[c] = w >= minimi[c] ? std::max(minimi[c], std::min(w, resto - minimiRestanti))
                                                  : minimi[c];
                    resto -= larghezze[c];
                }
            }
        }
        if (variabili > 0 && resto > 0) {
            std::vector<int> conMassimo;
            for (int c = 0; c < nc; ++c)
                if (percento[c] == 0 && massimi[c] != FxMax)
                    conMassimo.push_back(c);
            for (Fx ultimo = resto; resto > 0; ultimo = resto) {
                for (std::size_t k = 0; k < conMassimo.size(); ++k) {
                    const int c = conMassimo[k];
                    const Fx w = std::min(massimi[c] - larghezze[c], resto / Fx(conMassimo.size() - k));
                    larghezze[c] += w;
                    resto -= w;
                }
                if (resto == ultimo)
                    break;
            }
            if (resto > 0) {
                const Fx ciascuna = resto / variabili;
                for (int c = 0; c < nc; ++c)
                    if (percento[c] == 0)
                        larghezze[c] += ciascuna;
            }
        }
        Fx errore = 0;
        for (int c = 0; c < nc; ++c) {
            const Fx prima = larghezze[c];
            larghezze[c] = arrotonda(larghezze[c] - errore);
            errore = larghezze[c] - prima;
        }
        std::vector<Fx> colonna(nc);
        colonna[0] = 2 * b;
        for (int c = 1; c < nc; ++c)
            colonna[c] = colonna[c - 1] + larghezze[c - 1] + 2 * b;
        const Fx larghezzaTabella = b + colonna.back() + larghezze.back() + b;

        // The cells at their columns' widths, the rows as tall as their tallest.
        std::vector<Fx> riga(nr), altezze(nr, 0);
        std::vector<qreal> alto(nr, std::numeric_limits<qreal>::max()), basso(nr, 0);
        for (int r = 0; r < nr; ++r) {
            riga[r] = r == 0 ? 2 * b : riga[r - 1] + altezze[r - 1] + 2 * b;
            for (int c = 0; c < nc; ++c) {
                QTextLayout &tl = *celle[std::size_t(r * nc + c)];
                const Fx w = larghezze[c] - 2 * pad;
                const Fx h = linee(tl, w);
                altezze[r] = std::max(altezze[r], arrotonda(h + 2 * pad));
                tl.setPosition(QPointF(reale(colonna[c] + pad), reale(tabellaY + riga[r] + pad)));
                const QRectF rect = tl.boundingRect().translated(tl.position());
                alto[r] = std::min(alto[r], rect.top());
                basso[r] = std::max(basso[r], rect.bottom());
            }
        }
        // Backgrounds, then the cells' borders and the table's.
        for (int r = 0; r < nr; ++r)
            for (int c = 0; c < int(righe[r].size()); ++c)
                if (righe[r][c].sfondo.isValid())
                    m_out.riquadri.push_back(
                        {QRectF(reale(colonna[c]), reale(tabellaY + riga[r]), reale(larghezze[c]), reale(altezze[r])),
                         righe[r][c].sfondo});
        if (b > 0) {
            const auto cornice = [&](QRectF fuori, qreal s) {
                m_out.riquadri.push_back({QRectF(fuori.left(), fuori.top(), fuori.width(), s), coloreBordo});
                m_out.riquadri.push_back({QRectF(fuori.left(), fuori.bottom() - s, fuori.width(), s), coloreBordo});
                m_out.riquadri.push_back(
                    {QRectF(fuori.left(), fuori.top() + s, s, fuori.height() - 2 * s), coloreBordo});
                m_out.riquadri.push_back(
                    {QRectF(fuori.right() - s, fuori.top() + s, s, fuori.height() - 2 * s), coloreBordo});
            };
            const qreal s = reale(b);
            for (int r = 0; r < nr; ++r)
                for (int c = 0; c < nc; ++c)
                    cornice(QRectF(reale(colonna[c] - b), reale(tabellaY + riga[r] - b), reale(larghezze[c] + 2 * b),
                                   reale(altezze[r] + 2 * b)),
                            s);
            cornice(QRectF(0, reale(tabellaY), reale(larghezzaTabella), reale(riga.back() + altezze.back() + 2 * b)),
                    s);
        }
        // Where the table may go on to the next page: between rows.
        const auto tra = [&](int r) { return (basso[r - 1] + alto[r]) / 2; };
        const int t = std::min(testa, nr - 1);
        Taglio intestazioni{0};
        if (t > 0 && nr > t)
            intestazioni = {0, alto[0] - (alto[t] - basso[t - 1]) / 2 - bordo * m_scala, tra(t)};
        for (int r = t > 0 ? t + 1 : 1; r < nr; ++r)
            m_out.tagli.push_back({tra(r), intestazioni.testaDa, intestazioni.testaA});

        m_y = tabellaY + riga.back() + altezze.back() + 2 * b;
        m_largo = std::max(m_largo, larghezzaTabella);
        // The paragraph after the table takes the empty one the table ends
        // with when the table's last cell is empty, and goes on with no
        // margin; after a last cell with text, it follows that empty
        // paragraph (laid over the table) with its top margin.
        auto ultima = std::find_if(righe.crbegin(), righe.crend(), [](const auto &r) { return !r.empty(); });
        m_dopoParagrafo = ultima != righe.crend() && !ultima->back().testo.isEmpty();
        m_sottoPrecedente = 0;
    }

    Impaginato Fine()
    {
        m_out.altezza = reale(m_y);
        m_out.larghezza = reale(std::max(m_largo, m_larghezza));
        std::sort(m_out.tagli.begin(), m_out.tagli.end(), [](const Taglio &a, const Taglio &b) { return a.y < b.y; });
        return std::move(m_out);
    }

private:
    QTextLayout *nuovo(const QString &testo, const QFont &font, Qt::Alignment allineamento, bool fisso,
                       const QColor &colore)
    {
        auto tl = std::make_unique<QTextLayout>(testo, font, &m_device);
        QTextOption opzioni(allineamento);
        opzioni.setWrapMode(fisso ? QTextOption::ManualWrap : QTextOption::WordWrap);
        tl->setTextOption(opzioni);
        tl->setCacheEnabled(true);
        QTextLayout *out = tl.get();
        m_out.testi.push_back({std::move(tl), colore});
        return out;
    }

    // Lays the text out at the widest line, for its narrowest and widest
    // widths.
    static void misura(QTextLayout &tl)
    {
        tl.beginLayout();
        for (QTextLine line = tl.createLine(); line.isValid(); line = tl.createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(reale(FxMax));
        }
        tl.endLayout();
    }

    // Lays the text out in lines of `larghezza`; its height. A line wider
    // (a word longer than the line) keeps its width.
    Fx linee(QTextLayout &tl, Fx larghezza)
    {
        tl.beginLayout();
        Fx y = 0, fondo = 0;
        for (QTextLine line = tl.createLine(); line.isValid(); line = tl.createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(reale(larghezza));
            if (fx(line.naturalTextWidth()) > larghezza)
                line.setLineWidth(std::max(line.naturalTextWidth(), reale(larghezza)));
            line.setPosition(QPointF(0, reale(y)));
            fondo = y + fx(line.height());
            y += fx(qCeil(line.ascent() + line.descent() + line.leading()));
            m_largo = std::max(m_largo, fx(line.x() + line.naturalTextWidth()));
        }
        tl.endLayout();
        return std::max(y, fondo);
    }

    const QPaintDevice &m_device;
    const qreal m_scala;
    const Fx m_larghezza;
    const QFont m_base;
    Impaginato m_out;
    Fx m_y = 0;
    Fx m_largo = 0;
    bool m_dopoParagrafo = false;
    qreal m_sottoPrecedente = 0;
};

// The block laid out as its HTML would be (see `blocco`).
Impaginato impagina(const TZepStampaBlocco &b, qreal scala, const QPaintDevice &device, qreal larghezza,
                    const QFont &base)
{
    Impaginatore imp(device, larghezza, base);
    const auto paragrafo = [&](const QString &testo, const char *classe, qreal sopra, qreal sotto, bool fisso) {
        imp.Paragrafo(testo, carattere(classe, base),
                      sopra < 0 ? lunghezza(classe, "margin-top", MargineParagrafo) : sopra,
                      sotto < 0 ? lunghezza(classe, "margin-bottom", MargineParagrafo) : sotto, fisso);
    };
    if (!b.titolo.isEmpty())
        paragrafo(spazi(b.titolo), "titolo-blocco", -1, -1, false);
    if (!b.campi.isEmpty()) {
        const QFont etichetta = carattere("etichetta", base);
        const QColor coloreEtichetta = colore("etichetta", "color");
        std::vector<std::vector<Impaginatore::Cella>> righe;
        for (int i = 0; i < b.campi.size(); i += 2) {
            righe.emplace_back();
            for (int j = i; j < i + 2; ++j) {
                if (j < b.campi.size()) {
                    righe.back().push_back({.testo = spazi(b.campi.at(j).first),
                                            .font = etichetta,
                                            .colore = coloreEtichetta,
                                            .percento = LarghezzaEtichetta});
                    righe.back().push_back(
                        {.testo = spazi(b.campi.at(j).second), .font = base, .percento = LarghezzaValore});
                } else {
                    righe.back().push_back({.font = base});
                    righe.back().push_back({.font = base});
                }
            }
        }
        imp.Tabella(righe, 0, 0, SpazioCampi, QColor());
    }
    for (const TZepStampaTabella &t : b.tabelle) {
        if (!t.titolo.isEmpty())
            paragrafo(spazi(t.titolo), "titolo-tabella", -1, -1, false);
        QFont dimensione = base;
        // As the HTML gives it, to hundredths of a point.
        dimensione.setPointSizeF(QString::number((t.punti > 0 ? t.punti : PuntiTabella) * scala, 'f', 2).toDouble());
        std::vector<std::vector<Impaginatore::Cella>> righe;
        const auto riga = [&](const QStringList &celle, const char *classe) {
            const QFont font = classe ? carattere(classe, dimensione) : dimensione;
            const QColor sfondo = classe ? colore(classe, "background-color") : QColor();
            righe.emplace_back();
            for (int i = 0; i < celle.size(); ++i)
                righe.back().push_back({.testo = paroleIntere(spazi(celle.at(i))),
                                        .font = font,
                                        .destra = t.destra.contains(i),
                                        .sfondo = sfondo});
        };
        riga(t.colonne, "intestazioni");
        for (const QStringList &r : t.righe)
            riga(r, nullptr);
        if (!t.totali.isEmpty())
            riga(t.totali, "totali");
        imp.Tabella(righe, 1, BordoTabella, SpazioCella, colore("tabella", "border-color"));
    }
    // Each line its paragraph, the first with the class's top margin, the
    // last with the bottom one.
    QStringList righe;
    for (const QString &r : b.righeFisse)
        righe << r.split(QLatin1Char('\n'));
    for (int i = 0; i < righe.size(); ++i)
        paragrafo(righe.at(i), "righe-fisse", i == 0 ? -1 : 0, i == righe.size() - 1 ? -1 : 0, true);
    return imp.Fine();
}

// A block and its layout: by the renderer, or, for a table too wide for the
// page at its smallest size, by QTextDocument (whose lines break inside
// words then).
struct Disposto {
    Impaginato blocco;
    std::unique_ptr<QTextDocument> documento;
};

std::unique_ptr<QTextDocument> documentoStretto(const TZepStampaBlocco &b, qreal scala, QPaintDevice &device,
                                                qreal larghezza, const QFont &base)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(base);
    QTextOption testo = doc->defaultTextOption();
    testo.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc->setDefaultTextOption(testo);
    doc->setDocumentMargin(0);
    doc->setTextWidth(larghezza);
    // The layout made once the document is set up (each setting above
    // would lay the empty document out again), before its text.
    doc->documentLayout()->setPaintDevice(&device);
    doc->setHtml(blocco(b, scala));
    return doc;
}

// Paints what of the block lies inside `dentro` (the block's coordinates).
void dipingi(QPainter &p, const Impaginato &b, const QRectF &dentro)
{
    // The rectangles of a colour one after the other in one call.
    p.setPen(Qt::NoPen);
    std::vector<QRectF> insieme;
    QColor pennello;
    const auto riempi = [&] {
        if (!insieme.empty()) {
            p.setBrush(pennello);
            p.drawRects(insieme.data(), int(insieme.size()));
            insieme.clear();
        }
    };
    for (const Impaginato::Riquadro &r : b.riquadri) {
        if (r.rect.bottom() < dentro.top() || r.rect.top() > dentro.bottom())
            continue;
        if (r.colore != pennello)
            riempi();
        pennello = r.colore;
        insieme.push_back(r.rect);
    }
    riempi();
    QColor penna;
    for (const Impaginato::Testo &t : b.testi) {
        const QPointF pos = t.layout->position();
        for (int i = 0; i < t.layout->lineCount(); ++i) {
            const QTextLine line = t.layout->lineAt(i);
            const qreal alto = pos.y() + line.y();
            if (alto + line.height() < dentro.top() || alto > dentro.bottom())
                continue;
            if (t.colore != penna)
                p.setPen(penna = t.colore);
            line.draw(&p, pos);
        }
    }
}

} // namespace

int TZepStampaRender::Disegna(const TZepStampa &stampa, QPagedPaintDevice &device)
{
    QPainter p;
    if (!p.begin(&device))
        throw EUqError(QStringLiteral("Impossibile avviare la stampa"));
    const qreal dpi = device.logicalDpiY();
    const qreal mm = dpi / 25.4;
    const QRectF pagina(0, 0, device.width(), device.height());
    // Without ligatures: the PDF's text reads "fi" where the page shows it,
    // for copying and searching.
    QFont testa(Carattere);
    testa.setStyleStrategy(QFont::PreferNoShaping);
    testa.setPointSizeF(9);
    QFont testaTitolo = testa;
    testaTitolo.setBold(true);
    testaTitolo.setPointSizeF(11);
    const qreal altezzaTesta = 14 * mm;
    const qreal altezzaPiede = 8 * mm;
    const QRectF corpo(0, altezzaTesta, pagina.width(), pagina.height() - altezzaTesta - altezzaPiede);

    // The blocks laid out at the page's width, then placed on the pages.
    std::vector<Disposto> documenti;
    std::vector<Posto> posti;
    int pag = 0;
    qreal y = 0;
    QFont base = testa;
    base.setPointSizeF(8);
    for (const TZepStampaBlocco &b : stampa.blocchi) {
        const int documento = int(documenti.size());
        // A table whose words are wider together than the page is set
        // smaller until they fit; below the smallest size its lines break
        // inside words, rather than run past the page's edge and lose them.
        Disposto d;
        for (qreal scala = 1;; scala *= 0.9) {
            d.blocco = impagina(b, scala, device, corpo.width(), base);
            if (d.blocco.larghezza <= corpo.width() + mm)
                break;
            if (scala * 0.9 < ScalaMinima) {
                d.documento = documentoStretto(b, scala, device, corpo.width(), base);
                break;
            }
        }

        const qreal contenuto = d.documento ? d.documento->size().height() : d.blocco.altezza;
        const qreal h = contenuto + 2 * mm;
        if (y > 0 && (b.nuovaPagina || y + h > corpo.height())) {
            ++pag;
            y = 0;
        }
        // A block taller than a page goes on over the next ones between
        // rows and lines, each page repeating the headings of the table it
        // goes on with; only a row taller than a page is cut.
        const std::vector<Taglio> possibili = y + h <= corpo.height() ? std::vector<Taglio>{}
                                              : d.documento           ? tagli(*d.documento)
                                                                      : d.blocco.tagli;
        Taglio ripresa{0};
        for (qreal inizio = 0;;) {
            const qreal intestazioni = ripresa.testaA - ripresa.testaDa;
            if (intestazioni > 0 && intestazioni < corpo.height() / 2) {
                posti.push_back({documento, pag, y, ripresa.testaDa, intestazioni});
                y += intestazioni;
            }
            const qreal fine = inizio + corpo.height() - y;
            if (contenuto <= fine) {
                posti.push_back({documento, pag, y, inizio, h - inizio});
                y += h - inizio;
                break;
            }
            auto taglio = std::upper_bound(possibili.cbegin(), possibili.cend(), fine,
                                           [](qreal v, const Taglio &t) { return v < t.y; });
            ripresa = taglio != possibili.cbegin() && std::prev(taglio)->y > inizio + mm ? *std::prev(taglio)
                                                                                         : Taglio{fine};
            posti.push_back({documento, pag, y, inizio, ripresa.y - inizio});
            inizio = ripresa.y;
            ++pag;
            y = 0;
        }
        documenti.push_back(std::move(d));
    }
    const int pagine = pag + 1;

    std::size_t prossimo = 0;
    for (int n = 0; n < pagine; ++n) {
        if (n > 0 && !device.newPage())
            throw EUqError(QStringLiteral("Impossibile aggiungere la pagina %1 alla stampa").arg(n + 1));
        p.setPen(Qt::black);
        p.setFont(testaTitolo);
        const QRectF riga1(0, 0, pagina.width(), 6 * mm);
        p.drawText(riga1, Qt::AlignLeft | Qt::AlignVCenter, stampa.titolo);
        p.setFont(testa);
        p.drawText(riga1, Qt::AlignRight | Qt::AlignVCenter, stampa.periodo);
        const QRectF riga2(0, 6 * mm, pagina.width(), 5 * mm);
        p.drawText(riga2, Qt::AlignLeft | Qt::AlignVCenter, stampa.ufficio);
        p.drawText(riga2, Qt::AlignRight | Qt::AlignVCenter, stampa.Stampato());
        p.drawLine(QPointF(0, 12 * mm), QPointF(pagina.width(), 12 * mm));
        p.drawText(QRectF(0, pagina.height() - 6 * mm, pagina.width(), 6 * mm), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Pagina %1 di %2").arg(n + 1).arg(pagine));
        for (; prossimo < posti.size() && posti[prossimo].pagina == n; ++prossimo) {
            const Posto &posto = posti[prossimo];
            p.save();
            p.translate(0, corpo.top() + posto.y - posto.inizio);
            const QRectF taglio(0, posto.inizio, corpo.width(), posto.altezza);
            p.setClipRect(taglio);
            // Only what lies inside: not a line that merely touches the
            // stretch (the heading above repeated headings).
            const QRectF dentro = taglio.adjusted(0, 1, 0, -1);
            if (const Disposto &d = documenti[std::size_t(posto.documento)]; d.documento) {
                QAbstractTextDocumentLayout::PaintContext ctx;
                ctx.clip = dentro;
                d.documento->documentLayout()->draw(&p, ctx);
            } else {
                dipingi(p, d.blocco, dentro);
            }
            p.restore();
        }
    }
    if (!p.end())
        throw EUqError(QStringLiteral("Impossibile completare la stampa"));
    return pagine;
}

int TZepStampaRender::Pdf(const TZepStampa &stampa, const QString &fileName)
{
    const QString cartella = QFileInfo(fileName).absolutePath();
    if (!QDir().mkpath(cartella))
        throw EUqError(QStringLiteral("Impossibile creare la cartella \"%1\"").arg(QDir::toNativeSeparators(cartella)));
    QPdfWriter pdf(fileName);
    pdf.setTitle(stampa.titolo);
    pdf.setCreator(stampa.programma);
    pdf.setResolution(300);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 10, 12, 10),
                                  QPageLayout::Millimeter));
    try {
        return Disegna(stampa, pdf);
    } catch (const EUqError &e) {
        throw EUqError(QStringLiteral("Impossibile scrivere il file \"%1\": %2")
                           .arg(QDir::toNativeSeparators(fileName), e.message()));
    }
}
