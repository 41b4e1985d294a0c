#pragma once
// The data of the company-parameter frames (TfrWunPacoBase and its layout
// TfrWunPacoDm10): the company parameters of the working financial year
// (TPACO_PARAMCOMP through QRY_PACO), a row made when the year has none, and
// the parameters module brought up to date after every save.
#include "DataSource.h"
#include "UqQueryCollection.h"

class TWunPaco {
public:
    TWunPaco();
    TWunPaco(const TWunPaco &) = delete;
    TWunPaco &operator=(const TWunPaco &) = delete;

    TUqQueryCollection xqcMain;
    platform::DataSource xdsMain;

    // Loads QRY_PACO (select, insert, update, delete) for the working year
    // and opens it; a year without parameters gets a new row in insert
    // (its id from the generator, the year and the year's project).
    void ApriDati();
    // Posts a pending edit (drops one that assigned no field) and writes the
    // changes; after a save the
    // parameters module follows the working year again. A refused change
    // raises with the database's message and keeps the rows.
    void Salva();
};
