// zepDemoArchive: creates a demo payroll archive (an embedded Firebird file,
// or a database on a server given as "host:/path") with one employer, the
// financial years from 2010 (from the range's first year when it starts
// earlier, 2005 at the earliest) and, for every month of a range, the pay of
// a number of persons. The range is by default the twelve months up to the
// current one (--to alone: the twelve months up to it), so that the period
// the declaration program proposes at its first start has pay. The same
// options always give the same archive.
//
// With --public-sector the persons drawn by kind are all public-sector
// permanent staff (an archive to measure the public-sector import on).
//
//   zepDemoArchive --output FILE [--persons N] [--seed S] [--from YYYY-MM] [--to YYYY-MM] [--public-sector]
#include "DemoArchive.h"

#include "Exceptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTextStream>

#include <exception>

namespace {

QString period(int year, int month)
{
    return QStringLiteral("%1-%2").arg(year).arg(month, 2, 10, QLatin1Char('0'));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zepDemoArchive"));
    QTextStream out(stdout), err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Crea un archivio paghe dimostrativo."));
    parser.addHelpOption();
    const QCommandLineOption output(QStringLiteral("output"), QStringLiteral("Archivio da creare (non deve esistere)."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption persons(QStringLiteral("persons"), QStringLiteral("Numero di persone (da 10 a 10000)."),
                                     QStringLiteral("N"), QStringLiteral("50"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seme dei dati generati."),
                                  QStringLiteral("S"), QStringLiteral("1"));
    const QCommandLineOption from(QStringLiteral("from"),
                                  QStringLiteral(
                                      "Primo mese con le paghe (predefinito: undici mesi prima dell'ultimo)."),
                                  QStringLiteral("YYYY-MM"));
    const QCommandLineOption to(QStringLiteral("to"),
                                QStringLiteral("Ultimo mese con le paghe (predefinito: il mese corrente)."),
                                QStringLiteral("YYYY-MM"));
    const QCommandLineOption publicSector(
        QStringLiteral("public-sector"),
        QStringLiteral("Tutte le persone non fisse sono dipendenti pubblici di ruolo (posizione giuridica 1)."));
    parser.addOptions({output, persons, seed, from, to, publicSector});
    parser.process(app);

    try {
        payroll::DemoArchiveOptions o;
        o.output = parser.value(output);
        o.publicSector = parser.isSet(publicSector);
        bool ok = false;
        o.persons = parser.value(persons).toInt(&ok);
        if (!ok)
            throw platform::EConvertError(
                QStringLiteral("Numero di persone non valido: %1").arg(parser.value(persons)));
        o.seed = parser.value(seed).toULongLong(&ok);
        if (!ok)
            throw platform::EConvertError(QStringLiteral("Seme non valido: %1").arg(parser.value(seed)));
        QDate last = QDate::currentDate();
        if (parser.isSet(to)) {
            int year = 0, month = 0;
            payroll::DemoArchive::parsePeriod(parser.value(to), year, month);
            last = QDate(year, month, 1);
        }
        payroll::DemoArchive::lastTwelveMonths(o, last);
        if (parser.isSet(from))
            payroll::DemoArchive::parsePeriod(parser.value(from), o.fromYear, o.fromMonth);
        if (o.output.isEmpty()) {
            err << "Indicare il file dell'archivio con --output FILE\n";
            return 2;
        }
        QElapsedTimer timer;
        timer.start();
        const payroll::DemoArchiveSummary s = payroll::DemoArchive::create(o);
        out << QStringLiteral("Archivio dimostrativo creato: %1\n%2 persone, %3 %4 (da %5 a %6), %7 righe in %8 s\n")
                   .arg(o.output)
                   .arg(s.persons)
                   .arg(s.months)
                   .arg(s.months == 1 ? QStringLiteral("mese") : QStringLiteral("mesi"))
                   .arg(period(o.fromYear, o.fromMonth), period(o.toYear, o.toMonth))
                   .arg(s.rows)
                   .arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1);
        return 0;
    } catch (const platform::Exception &e) {
        err << e.message() << '\n';
    } catch (const std::exception &e) {
        err << e.what() << '\n';
    }
    return 1;
}
