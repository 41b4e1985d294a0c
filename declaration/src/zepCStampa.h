#pragma once
// What a print shows, without any display: the pages' heading (the print's
// title, the office and the period) and, in order, the blocks of the print,
// each a heading, label-value pairs, tables with their totals and lines of
// fixed-width text (the employees' day strips). The prints' builders fill it
// from the declaration tables; the renderer (zepUStampa, Qt Gui) lays it out
// on A4 pages, which a block never straddles unless it is taller than a page.
#include "Currency.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace platform {
class DataSet;
struct Bookmark;
} // namespace platform

struct TZepStampaTabella {
    // A heading over the table; empty: none.
    QString titolo;
    QStringList colonne;
    // The columns aligned to the right (amounts and counts), by index.
    QList<int> destra;
    QList<QStringList> righe;
    // The totals line; empty: none.
    QStringList totali;
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
    QList<TZepStampaBlocco> blocchi;

    // Every text of the print, in order (the tests read a print through it).
    QString Testo() const;
};

// "1.234,56": an amount rounded to cents, the thousands grouped.
QString ZepImporto(const platform::Currency &importo);
// A field's text for a print: amounts as ZepImporto, dates "dd/MM/yyyy",
// the rest as text; empty for null.
QString ZepTestoCampo(const platform::DataSet &ds, const QString &campo);
// The field's amount; zero for null.
platform::Currency ZepImportoCampo(const platform::DataSet &ds, const QString &campo);

// Appends to `destinazione` the current row of `origine`, each field of
// `destinazione` from the field of the same name (left empty without one).
void ZepAccodaRiga(const platform::DataSet &origine, platform::DataSet &destinazione);
// Appends to `destinazione` the rows of `origine` a print was asked for:
// the rows `scelte` in the order given, every row when none is chosen. The
// current row of `origine` stays where it was.
void ZepAccodaScelte(platform::DataSet &origine, const QList<platform::Bookmark> &scelte,
                     platform::DataSet &destinazione);
