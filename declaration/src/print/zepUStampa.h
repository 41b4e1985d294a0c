#pragma once
// A print (TZepStampa) laid out on A4 pages and painted on a paged device:
// the printer, the print preview's pages or a PDF file. Every page carries
// the print's title, the office's name, the period and the day it was
// printed at the top and its number ("Pagina 2 di 7") at the bottom; a
// block starts on a new page when it asks to or when it does not fit in
// what is left of the page, and only a
// block taller than a whole page runs on over the next ones: between its
// lines and table rows (a row is cut only when taller than a page), each
// page repeating the headings of the table it goes on with. Words stay
// whole: a table too wide for the page is set smaller. The PDF's text has
// no ligatures, so that it is copied and searched as printed.
#include <QString>

class QPagedPaintDevice;
struct TZepStampa;

class TZepStampaRender {
public:
    // Paints the print on the device as it is set up (page size, margins);
    // the number of pages. EUqError when the device cannot be painted on.
    static int Disegna(const TZepStampa &stampa, QPagedPaintDevice &device);
    // The print as an A4 PDF file (replaced when it exists); the number of
    // pages. EUqError naming the file when it cannot be written.
    static int Pdf(const TZepStampa &stampa, const QString &fileName);
};
