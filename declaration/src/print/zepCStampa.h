#pragma once
// What a print shows, without any display: the pages' heading (the print's
// title, the office, the period and the day it was printed) and, in order, the blocks of the print,
// each a heading, label-value pairs, tables with their totals and lines of
// fixed-width text (the employees' day strips). The prints' builders fill it
// from the declaration tables; the renderer (zepUStampa, Qt Gui) lays it out
// on A4 pages, which a block never straddles unless it is taller than a page.
#include "Currency.h"

#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace platform {
class DataSet;
struct Bookmark;
} // namespace platform
enum class TZepDenuncia;

struct TZepStampaTabella {
    // A heading over the table; empty: none.
    QString titolo;
    QStringList colonne;
    // The columns aligned to the right (amounts and counts), by index.
    QList<int> destra;
    QList<QStringList> righe;
    // The totals line; empty: none.
    QStringList totali;
    // The table's text size in points, for a table of many columns whose
    // words would not fit at the print's size; 0: the print's size.
    qreal punti = 0;
};

struct TZepStampaBlocco {
    QString titolo;
    QList<QPair<QString, QString>> campi;
    QList<TZepStampaTabella> tabelle;
    QStringList righeFisse;
    // The block starts a new page.
    bool nuovaPagina = false;
};

struct TZepStampa {
    QString titolo;
    QString ufficio;
    QString periodo;
    // The day it is printed, on every page's heading.
    QDate data = QDate::currentDate();
    // The program that prints it, named as the PDF's creator.
    QString programma = QCoreApplication::applicationName();
    QList<TZepStampaBlocco> blocchi;

    // "Stampato il 11/12/2026", beside the office on every page.
    QString Stampato() const;
    // Every text of the print, in order (the tests read a print through it).
    QString Testo() const;
};

// The prints show each kind of figure in one form: amounts as ZepImporto
// (whole euros too: "49.838,00"), rates as ZepAliquota, days and counts as
// integers ("28"). In a column with a total, a row without the figure shows
// its zero as the total would ("0,00", "0"), never an empty cell.

// "1.234,56": an amount rounded to cents, the thousands grouped.
QString ZepImporto(const platform::Currency &importo);
// "35,03 %": a rate in percent, to two decimals.
QString ZepAliquota(const platform::Currency &percentuale);
// The rate of a field as ZepAliquota: an integer field holds it in
// hundredths ("3503", as the files declare a collaborator's rate or a part
// time), a decimal one in percent; empty for null.
QString ZepAliquotaCampo(const platform::DataSet &ds, const QString &campo);
// A field's text for a print: amounts as ZepImporto, dates "dd/MM/yyyy",
// the rest as text; empty for null.
QString ZepTestoCampo(const platform::DataSet &ds, const QString &campo);
// The same as ZepTestoCampo and ZepAliquotaCampo, empty when `ds` has no
// such field (a print's section over tables of other layouts).
QString ZepTestoSeCampo(const platform::DataSet &ds, const QString &campo);
QString ZepAliquotaSeCampo(const platform::DataSet &ds, const QString &campo);
// The field's amount; zero for null.
platform::Currency ZepImportoCampo(const platform::DataSet &ds, const QString &campo);
// The same for a print of the declaration `denuncia`: a figure as the
// declaration declares it, that of the E-Mens file in whole euros
// (TZepCreaFile::InteroDichiarato), that of UniEmens as the row holds it.
QString ZepTestoDichiarato(const platform::DataSet &ds, const QString &campo, TZepDenuncia denuncia);
platform::Currency ZepImportoDichiarato(const platform::DataSet &ds, const QString &campo, TZepDenuncia denuncia);

// Appends to `destinazione` the current row of `origine`, each field of
// `destinazione` from the field of the same name (left empty without one).
void ZepAccodaRiga(const platform::DataSet &origine, platform::DataSet &destinazione);
// Appends to `destinazione` the rows of `origine` a print was asked for:
// the rows `scelte` in the order given, every row when none is chosen. The
// current row of `origine` stays where it was.
void ZepAccodaScelte(platform::DataSet &origine, const QList<platform::Bookmark> &scelte,
                     platform::DataSet &destinazione);
