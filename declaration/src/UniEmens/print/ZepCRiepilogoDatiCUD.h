#pragma once
// The rules of "Stampa riepilogativa dati del CUD" (ZepFRiepilogoDatiCUD.h),
// without any display: the public-sector persons of the working year (one
// row per fiscal code, the registry data of its earliest month), the persons
// to print (those chosen, or every one), the reference years (the calendar
// years in which the E0 and V1 section periods end) and the print: per
// person and reference year, the E0 and V1 rows of that person whose period
// ends in that year, with their totals; a person without such rows is not
// printed.
//
// Rows are copied field by field by name, and a section row belongs to a
// person when its fiscal code equals the person's (case aside): comparisons
// of fields, no filter text built from the data.
#include "DataSet.h"
#include "zepCStampa.h"

#include <QList>

class ITovDBCds;

class TZepRiepilogoDatiCUD {
public:
    static const QString Titolo; // "Stampa riepilogativa dati del CUD"

    explicit TZepRiepilogoDatiCUD(ITovDBCds &store);

    // The person list from the persons of every month of the store's year.
    void CaricaPersone();
    // The same from the rows given (every month's TD0_ANAG rows) into a list
    // of the structure given.
    void CreaElenco(platform::DataSet &anagrafiche, const platform::FieldDefs &struttura);
    // The persons to print: the chosen rows of the list, every row when none
    // is chosen; ordered by surname.
    void Scegli(const QList<platform::Bookmark> &scelti);
    // Loads the declarant and the E0 and V1 rows of every month of the year,
    // and builds the reference years.
    void CaricaSezioni();
    // The reference years from the E0 and V1 rows loaded.
    void CreaAnni();
    // The print of the persons to print.
    TZepStampa Stampa();

    // Whether a section row (E0 or V1: `sezione`) belongs to the current
    // person to print and reference year.
    bool RigaVisibile(const platform::DataSet &righe, const QString &sezione) const;

    platform::DataSet cdsElenco;     // one row per fiscal code
    platform::DataSet cdsDaStampare; // the persons to print
    platform::DataSet cdsAnni;       // ANNO_RIFERIMENTO
    platform::DataSet cdsDichiarante;
    platform::DataSet cdsE0;
    platform::DataSet cdsV1;

private:
    TZepStampaTabella Tabella(platform::DataSet &righe, const QString &sezione);
    ITovDBCds &m_store;
};
