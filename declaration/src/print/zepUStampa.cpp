#include "zepUStampa.h"

#include "Exceptions.h"
#include "zepCStampa.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <memory>
#include <vector>

namespace {

const QString Carattere = QStringLiteral("DejaVu Sans");
const QString CarattereFisso = QStringLiteral("DejaVu Sans Mono");

QString html(const QString &testo)
{
    return testo.toHtmlEscaped();
}

QString tabella(const TZepStampaTabella &t)
{
    QString out;
    if (!t.titolo.isEmpty())
        out += QStringLiteral("<p style=\"font-size:8pt; font-weight:bold; margin-top:4px; margin-bottom:1px\">%1</p>")
                   .arg(html(t.titolo));
    out += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\" "
                          "style=\"border-color:#808080; border-style:solid\">");
    auto riga = [&](const QStringList &celle, const QString &stile) {
        out += QStringLiteral("<tr>");
        for (int i = 0; i < celle.size(); ++i)
            out += QStringLiteral("<td%1 style=\"%2\">%3</td>")
                       .arg(t.destra.contains(i) ? QStringLiteral(" align=\"right\"") : QString(), stile,
                            html(celle.at(i)));
        out += QStringLiteral("</tr>");
    };
    riga(t.colonne, QStringLiteral("font-weight:bold; background-color:#e0e0e0"));
    for (const QStringList &r : t.righe)
        riga(r, QString());
    if (!t.totali.isEmpty())
        riga(t.totali, QStringLiteral("font-weight:bold"));
    return out + QStringLiteral("</table>");
}

QString blocco(const TZepStampaBlocco &b)
{
    QString out;
    if (!b.titolo.isEmpty())
        out +=
            QStringLiteral("<p style=\"font-size:10pt; font-weight:bold; margin-top:6px\">%1</p>").arg(html(b.titolo));
    if (!b.campi.isEmpty()) {
        out += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\" width=\"100%\">");
        for (int i = 0; i < b.campi.size(); i += 2) {
            out += QStringLiteral("<tr>");
            for (int j = i; j < i + 2; ++j) {
                if (j < b.campi.size())
                    out += QStringLiteral("<td width=\"20%\" style=\"color:#404040\">%1</td><td width=\"30%\">%2</td>")
                               .arg(html(b.campi.at(j).first), html(b.campi.at(j).second));
                else
                    out += QStringLiteral("<td></td><td></td>");
            }
            out += QStringLiteral("</tr>");
        }
        out += QStringLiteral("</table>");
    }
    for (const TZepStampaTabella &t : b.tabelle)
        out += tabella(t);
    if (!b.righeFisse.isEmpty())
        out += QStringLiteral("<pre style=\"font-family:'%1'; font-size:6.5pt; margin-top:3px\">%2</pre>")
                   .arg(CarattereFisso, html(b.righeFisse.join(QLatin1Char('\n'))));
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

} // namespace

int TZepStampaRender::Disegna(const TZepStampa &stampa, QPagedPaintDevice &device)
{
    QPainter p;
    if (!p.begin(&device))
        throw EUqError(QStringLiteral("Impossibile avviare la stampa"));
    const qreal dpi = device.logicalDpiY();
    const qreal mm = dpi / 25.4;
    const QRectF pagina(0, 0, device.width(), device.height());
    QFont testa(Carattere);
    testa.setPointSizeF(9);
    QFont testaTitolo = testa;
    testaTitolo.setBold(true);
    testaTitolo.setPointSizeF(11);
    const qreal altezzaTesta = 14 * mm;
    const qreal altezzaPiede = 8 * mm;
    const QRectF corpo(0, altezzaTesta, pagina.width(), pagina.height() - altezzaTesta - altezzaPiede);

    // The blocks laid out at the page's width, then placed on the pages.
    std::vector<std::unique_ptr<QTextDocument>> documenti;
    std::vector<Posto> posti;
    int pag = 0;
    qreal y = 0;
    QFont base(Carattere);
    base.setPointSizeF(8);
    for (const TZepStampaBlocco &b : stampa.blocchi) {
        auto doc = std::make_unique<QTextDocument>();
        doc->documentLayout()->setPaintDevice(&device);
        doc->setDefaultFont(base);
        doc->setDocumentMargin(0);
        doc->setHtml(blocco(b));
        doc->setTextWidth(corpo.width());
        const qreal h = doc->size().height() + 2 * mm;
        if (y > 0 && (b.nuovaPagina || y + h > corpo.height())) {
            ++pag;
            y = 0;
        }
        for (qreal inizio = 0; inizio < h;) {
            const qreal parte = std::min(h - inizio, corpo.height() - y);
            posti.push_back({int(documenti.size()), pag, y, inizio, parte});
            inizio += parte;
            y += parte;
            if (inizio < h) {
                ++pag;
                y = 0;
            }
        }
        documenti.push_back(std::move(doc));
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
        p.drawText(QRectF(0, 6 * mm, pagina.width(), 5 * mm), Qt::AlignLeft | Qt::AlignVCenter, stampa.ufficio);
        p.drawLine(QPointF(0, 12 * mm), QPointF(pagina.width(), 12 * mm));
        p.drawText(QRectF(0, pagina.height() - 6 * mm, pagina.width(), 6 * mm), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Pagina %1 di %2").arg(n + 1).arg(pagine));
        for (; prossimo < posti.size() && posti[prossimo].pagina == n; ++prossimo) {
            const Posto &posto = posti[prossimo];
            p.save();
            p.translate(0, corpo.top() + posto.y - posto.inizio);
            const QRectF taglio(0, posto.inizio, corpo.width(), posto.altezza);
            p.setClipRect(taglio);
            QAbstractTextDocumentLayout::PaintContext ctx;
            ctx.clip = taglio;
            documenti[posto.documento]->documentLayout()->draw(&p, ctx);
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
    pdf.setCreator(QStringLiteral("zepUni"));
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
