// The declaration print ("Denuncia") of 1,006 employees to PDF beside its
// floor, in one run.
//
// The print is built as TZepReport builds it from the declaration tables:
// the declarant, per INPS company number (two) a heading, each employee
// with its eight label-value pairs, its figures' table and its two day
// strips of November, the number's totals, the employees' total, the 100
// collaborators in one table of ten columns, the company declaration.
// TZepStampaRender lays it out on A4 pages and writes the PDF (300 dpi).
//
// The floor is a bare QPdfWriter with the same page and resolution, on
// which QPainter draws the same words at the same positions on the same
// number of pages, one drawText per word: the words and their boxes are
// read back beforehand from the print's own PDF (poppler's pdftotext
// -bbox), each drawn in DejaVu Sans at the size of its box. The words the
// floor's PDF reads back are checked equal to the print's, page by page.
//
// Run: build/bench/bench_StampaBench [--benchmark_repetitions=5]
#include "zepCReport.h"
#include "zepCStampa.h"
#include "zepUStampa.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int Dipendenti = 1006;
constexpr int Collaboratori = 100;
constexpr int GiorniMese = 30;

QString importo(qint64 centesimi)
{
    return ZepImporto(platform::Currency::fromRaw(centesimi * (platform::Currency::Scale / 100)));
}

// A fiscal code of 16 characters, different for each `n`.
QString codiceFiscale(int n)
{
    static const QString lettere = QStringLiteral("ABCDEFGHLMNPRSTVZ");
    QString cf;
    for (int i = 0, v = n * 7919 + 13; i < 6; ++i, v /= 17)
        cf += lettere.at(v % lettere.size());
    return cf + QStringLiteral("%1A%2H501%3").arg(60 + n % 40).arg(10 + n % 20).arg(QChar(u'A' + n % 26));
}

QString nome(int n)
{
    static const QStringList cognomi{QStringLiteral("BIANCHI"),  QStringLiteral("ROSSI"),   QStringLiteral("VERDI"),
                                     QStringLiteral("ESPOSITO"), QStringLiteral("COLOMBO"), QStringLiteral("RICCI"),
                                     QStringLiteral("MARINO"),   QStringLiteral("GRECO"),   QStringLiteral("BRUNO")};
    static const QStringList nomi{QStringLiteral("GIULIA"), QStringLiteral("GIUSEPPE"),   QStringLiteral("MARCO"),
                                  QStringLiteral("ANNA"),   QStringLiteral("ALESSANDRO"), QStringLiteral("FRANCESCA"),
                                  QStringLiteral("MATTEO"), QStringLiteral("EMANUELE"),   QStringLiteral("SARA")};
    return cognomi.at(n % cognomi.size()) + QLatin1Char(' ') + nomi.at((n / 9) % nomi.size());
}

TZepStampaBlocco dipendente(int n)
{
    TZepStampaBlocco b;
    b.titolo = nome(n) + QStringLiteral(" - ") + codiceFiscale(n);
    const qint64 imponibile = 120000 + (n * 3779) % 250000;
    b.campi << qMakePair(QStringLiteral("Qualifica:"), QStringLiteral("2FD"))
            << qMakePair(QStringLiteral("Tipo contribuzione:"), QStringLiteral("00"))
            << qMakePair(QStringLiteral("Comune:"), QStringLiteral("A944"))
            << qMakePair(QStringLiteral("Contratto:"), QStringLiteral("CPUB"))
            << qMakePair(QStringLiteral("Assunzione:"), QString())
            << qMakePair(QStringLiteral("Cessazione:"), QString()) << qMakePair(QStringLiteral("Part time:"), QString())
            << qMakePair(QStringLiteral("Retribuzione teorica:"), importo(imponibile - imponibile % 100));
    TZepStampaTabella t;
    t.colonne = QStringList{QStringLiteral("Imponibile"),         QStringLiteral("Contributo"),
                            QStringLiteral("Giorni retribuiti"),  QStringLiteral("Settimane utili"),
                            QStringLiteral("Giorni contribuiti"), QStringLiteral("Ore contribuite")};
    t.destra = {0, 1, 2, 3, 4, 5};
    t.righe << QStringList{importo(imponibile), importo(imponibile * 33 / 100), QString::number(GiorniMese),
                           QString(),           QStringLiteral("26"),           QString()};
    b.tabelle << t;
    QString cal = QStringLiteral("|"), lav = QStringLiteral("|");
    for (int g = 1; g <= GiorniMese; ++g) {
        cal += QStringLiteral("%1 |").arg(g, 2);
        lav += (g % 7 == 6 || (g * n) % 13 == 0) ? QStringLiteral(" N |") : QStringLiteral(" S |");
    }
    b.righeFisse << cal << lav;
    return b;
}

TZepStampaBlocco totali(const QString &titolo, int lavoratori)
{
    TZepStampaBlocco t;
    t.titolo = titolo;
    t.campi << qMakePair(QStringLiteral("Lavoratori:"), QString::number(lavoratori))
            << qMakePair(QStringLiteral("Imponibile:"), importo(lavoratori * 245678LL))
            << qMakePair(QStringLiteral("Contributo:"), importo(lavoratori * 81074LL));
    return t;
}

TZepStampa denuncia()
{
    TZepStampa s;
    s.titolo = QStringLiteral("Denuncia UniEmens");
    s.ufficio = QStringLiteral("FONDAZIONE TEATRO COMUNALE DI VALLEVERDE");
    s.periodo = QStringLiteral("novembre 2022");
    s.data = QDate(2022, 12, 11);
    s.programma = QStringLiteral("bench");
    TZepStampaBlocco dichiarante;
    dichiarante.titolo = QStringLiteral("Dichiarante");
    for (const char *campo :
         {"Ragione sociale mittente:", "C.F. mittente:", "C.F. persona mittente:", "Sede INPS:",
          "Ragione sociale azienda:", "C.F. azienda:", "Comune:", "Provincia:", "CAP:", "Codice ISTAT:"})
        dichiarante.campi << qMakePair(QString::fromLatin1(campo), QStringLiteral("VALORE DI PROVA"));
    s.blocchi << dichiarante;
    for (int m = 0; m < 2; ++m) {
        const QString matricola = QStringLiteral("700000000%1").arg(m + 1);
        TZepStampaBlocco testa;
        testa.titolo = QStringLiteral("Dipendenti - matricola INPS ") + matricola;
        testa.nuovaPagina = true;
        s.blocchi << testa;
        const int da = m * Dipendenti / 2, a = (m + 1) * Dipendenti / 2;
        for (int n = da; n < a; ++n)
            s.blocchi << dipendente(n);
        s.blocchi << totali(QStringLiteral("Totali matricola ") + matricola, a - da);
    }
    s.blocchi << totali(QStringLiteral("Totale dipendenti"), Dipendenti);
    TZepStampaBlocco coll;
    coll.titolo = QStringLiteral("Collaboratori");
    coll.nuovaPagina = true;
    TZepStampaTabella t = TZepReport::TabellaCollaboratori();
    for (int n = 0; n < Collaboratori; ++n)
        t.righe << QStringList{codiceFiscale(5000 + n),
                               nome(5000 + n),
                               QStringLiteral("1"),
                               QStringLiteral("02"),
                               QStringLiteral("01/11/2022"),
                               QStringLiteral("30/11/2022"),
                               ZepAliquota(platform::Currency::fromString(QStringLiteral("35.03"))),
                               importo(100000 + n * 1234),
                               importo(n % 5 == 0 ? 28800 : 0),
                               n % 5 == 0 ? QStringLiteral("04") : QString()};
    t.totali = QStringList{QStringLiteral("Totale"),
                           QStringLiteral("100 collaboratori"),
                           {},
                           {},
                           {},
                           {},
                           {},
                           importo(12345678),
                           importo(576000),
                           {}};
    coll.tabelle << t;
    s.blocchi << coll;
    TZepStampaBlocco aziendale;
    aziendale.titolo = QStringLiteral("Denuncia aziendale");
    TZepStampaTabella a;
    a.colonne = QStringList{QStringLiteral("Matricola"),       QStringLiteral("Lavoratori"),
                            QStringLiteral("Denunce ind."),    QStringLiteral("Forza aziendale"),
                            QStringLiteral("Totale a debito"), QStringLiteral("Totale a credito"),
                            QStringLiteral("Somma a credito")};
    a.destra = {1, 2, 3, 4, 5, 6};
    for (int m = 0; m < 2; ++m)
        a.righe << QStringList{QStringLiteral("700000000%1").arg(m + 1),
                               QStringLiteral("503"),
                               QStringLiteral("503"),
                               QStringLiteral("503"),
                               importo(40781200),
                               importo(0),
                               importo(0)};
    a.totali = QStringList{QStringLiteral("Totale"), {}, {}, {}, importo(81562400), importo(0), importo(0)};
    aziendale.tabelle << a;
    s.blocchi << aziendale;
    return s;
}

// A word of a page as pdftotext -bbox reads it: its text and box, in
// points from the page's top left corner.
struct Parola {
    QString testo;
    QRectF box;
};

std::vector<std::vector<Parola>> parole(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return {};
    std::vector<std::vector<Parola>> pagine;
    QXmlStreamReader xml(p.readAllStandardOutput());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            pagine.emplace_back();
        } else if (xml.name() == QLatin1String("word")) {
            const auto a = xml.attributes();
            const auto v = [&](const char *n) { return a.value(QLatin1String(n)).toDouble(); };
            const QRectF box(QPointF(v("xMin"), v("yMin")), QPointF(v("xMax"), v("yMax")));
            pagine.back().push_back({xml.readElementText(), box});
        }
    }
    return pagine;
}

// The words of each page, sorted: what two PDFs of the same content read
// back alike.
std::vector<QStringList> testi(const std::vector<std::vector<Parola>> &pagine)
{
    std::vector<QStringList> out;
    for (const auto &pagina : pagine) {
        QStringList p;
        for (const Parola &w : pagina)
            p << w.testo;
        p.sort();
        out.push_back(p);
    }
    return out;
}

// The floor's page: the same size, margins and resolution as the print's.
void imposta(QPdfWriter &pdf)
{
    pdf.setTitle(QStringLiteral("Denuncia UniEmens"));
    pdf.setCreator(QStringLiteral("bench"));
    pdf.setResolution(300);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 10, 12, 10),
                                  QPageLayout::Millimeter));
}

// DejaVu Sans: ascent 0.928, descent 0.236 of the size; pdftotext's box is
// both.
constexpr qreal Ascendente = 0.928, Discendente = 0.236;

// The floor's words, positioned in the device's pixels, with their fonts.
struct Disegno {
    std::vector<QFont> fonts;
    struct Voce {
        int font;
        QPointF base;
        QString testo;
    };
    std::vector<std::vector<Voce>> pagine;
};

Disegno disegno(const std::vector<std::vector<Parola>> &pagine)
{
    Disegno d;
    QHash<int, int> perCorpo; // the size in hundredths of a point: the font
    const qreal px = 300 / 72.0, sinistra = 12 / 25.4 * 72, alto = 10 / 25.4 * 72;
    for (const auto &pagina : pagine) {
        d.pagine.emplace_back();
        for (const Parola &w : pagina) {
            const qreal corpo = w.box.height() / (Ascendente + Discendente);
            const int chiave = qRound(corpo * 100);
            if (!perCorpo.contains(chiave)) {
                QFont f(QStringLiteral("DejaVu Sans"));
                f.setStyleStrategy(QFont::PreferNoShaping);
                f.setPointSizeF(chiave / 100.0);
                perCorpo.insert(chiave, int(d.fonts.size()));
                d.fonts.push_back(f);
            }
            const QPointF base((w.box.left() - sinistra) * px, (w.box.bottom() - Discendente * corpo - alto) * px);
            d.pagine.back().push_back({perCorpo.value(chiave), base, w.testo});
        }
    }
    return d;
}

void pavimento(const Disegno &d, const QString &file)
{
    QPdfWriter pdf(file);
    imposta(pdf);
    QPainter p(&pdf);
    for (std::size_t n = 0; n < d.pagine.size(); ++n) {
        if (n > 0)
            pdf.newPage();
        int font = -1;
        for (const Disegno::Voce &v : d.pagine[n]) {
            if (v.font != font)
                p.setFont(d.fonts[std::size_t(font = v.font)]);
            p.drawText(v.base, v.testo);
        }
    }
    p.end();
}

struct Preparato {
    QTemporaryDir cartella;
    TZepStampa stampa = denuncia();
    Disegno floor;
    QString errore;
    int pagine = 0, parole = 0;

    Preparato()
    {
        const QString pdf = cartella.filePath(QStringLiteral("denuncia.pdf"));
        pagine = TZepStampaRender::Pdf(stampa, pdf);
        const auto lette = ::parole(pdf);
        for (const auto &p : lette)
            parole += int(p.size());
        floor = disegno(lette);
        const QString pdfFloor = cartella.filePath(QStringLiteral("floor.pdf"));
        pavimento(floor, pdfFloor);
        if (int(lette.size()) != pagine)
            errore = QStringLiteral("pdftotext: pagine lette %1 su %2").arg(lette.size()).arg(pagine);
        else if (testi(::parole(pdfFloor)) != testi(lette))
            errore = QStringLiteral("il pavimento non rilegge le parole della stampa");
    }
};

Preparato &preparato()
{
    static Preparato p;
    return p;
}

void Contatori(benchmark::State &state, const Preparato &p)
{
    state.counters["pagine"] = p.pagine;
    state.counters["parole"] = p.parole;
}

// TZepStampaRender::Pdf: every block laid out, placed and painted.
void BM_StampaDenuncia(benchmark::State &state)
{
    Preparato &p = preparato();
    if (!p.errore.isEmpty()) {
        state.SkipWithError(p.errore.toUtf8().constData());
        return;
    }
    const QString file = p.cartella.filePath(QStringLiteral("misurata.pdf"));
    for (auto _ : state)
        benchmark::DoNotOptimize(TZepStampaRender::Pdf(p.stampa, file));
    Contatori(state, p);
}
BENCHMARK(BM_StampaDenuncia)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

// The floor: a bare QPdfWriter, the same words at the same positions.
void BM_PavimentoQPdfWriter(benchmark::State &state)
{
    Preparato &p = preparato();
    if (!p.errore.isEmpty()) {
        state.SkipWithError(p.errore.toUtf8().constData());
        return;
    }
    const QString file = p.cartella.filePath(QStringLiteral("pavimento.pdf"));
    for (auto _ : state)
        pavimento(p.floor, file);
    Contatori(state, p);
}
BENCHMARK(BM_PavimentoQPdfWriter)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    // Fonts and the PDF writer want a GUI application; no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
