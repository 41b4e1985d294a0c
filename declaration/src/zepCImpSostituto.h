#pragma once
// The declarant row of an import of a month (ImportaSostituto of the
// private-sector and performing-arts imports): once per run, before the
// persons and outside their transactions, the declarant table of the
// working year (TAMM_AMMINISTRAZIONE, month 0) takes the sender's and the
// company's data from the employer's main site (the first row of the site
// collection the import received, statement QRY_SED):
//
//   CFMittente, CFAzienda          SSEDNOMCODICEFISC
//   RagSocMittente, RagSocAzienda  SSEDNOMLDESC in upper case, every
//                                  character other than A-Z a blank
//   CAP                            SCAPVALUE
//   SedeINPS                       the office of the site's province in the
//                                  code table "TSIN_SEDIINPS.cds"; when the
//                                  province has none, left as it was (empty
//                                  in a new row)
//   ISTAT                          SPACOCODATECO2007, else SPACOCODATECO,
//                                  else left as it was
//
// The table's row is edited (the other fields keep their values), or a row
// is inserted when the table is empty; it is saved for month 0 of the
// store's year.
//
// A failure (no site, a code table that cannot be read, a refused save)
// ends the run before any person: the declarant table in memory is closed
// with whatever it had not saved, so that nothing half-made is written
// later, and the error reaches the loop's caller, which shows it.
#include <QString>

class ITovDBCds;
class TUqQueryCollection;

namespace platform {
class DataSet;
}

class TZepImpSostituto {
public:
    static const QString TabellaSediInps; // "TSIN_SEDIINPS.cds"
    static const QString MsgSedeMancante; // no row in the site collection

    // What the step takes of its import (none owned).
    struct TContesto {
        ITovDBCds &Store;               // the working period's store
        platform::DataSet &Dichiarante; // the declarant table (cdsSostituto), open or closed
        TUqQueryCollection *Sedi;       // the employer's sites, the main one first
    };

    // `fileSediInps`: the INPS offices' code table (TabellaSediInps in the
    // program's code-table folder).
    TZepImpSostituto(const TContesto &contesto, const QString &fileSediInps);

    // The declarant step (above).
    void Importa();

    // The company name as the declaration carries it: upper case, every
    // character that is not a letter A-Z a blank; the length is kept.
    static QString RagioneSociale(const QString &nome);
    // The INPS office code ("Codice") of the province in the code table;
    // empty when the province is empty or not in the table. A table that
    // cannot be read raises the error naming the file.
    static QString SedeInps(const QString &fileTabella, const QString &provincia);

private:
    void Compila(platform::DataSet &dichiarante);

    TContesto m_contesto;
    QString m_fileSediInps;
};
