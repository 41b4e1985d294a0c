#pragma once
// The public-sector persons of zepUni's declaration print ("Iscritti ex DMA
// (INPDAP)", after the company declaration: TZepReport's section of the
// program's own): the persons of the month (TD0_ANAG) by surname and name,
// each with its own sections, the E0 periods by start date, each followed
// by its paying entities, the V1 periods by start date with theirs, and the
// pension funds (E1); a person without any shows "Quadri del mese:
// nessuno".
//
// A section row belongs to its person by the person row's registry id
// (IAFIID), a paying entity to its section row by ORDINE as well, found
// through the index the file writer uses (TZepIndiceIscritti); so a person
// without a registry id shows no section, never the unlinked rows of
// another.
#include "DataSet.h"
#include "ZepCIndiceIscritti.h"
#include "zepCReport.h"

struct TZepProgramma;

class TZepReportPubblico : public IZepSezioneDenuncia {
public:
    // Gives the program's declaration print this section.
    static void Installa(TZepProgramma &programma);

    // Loads the persons, the sections and the paying entities of the
    // store's period, and indexes them.
    void Carica(ITovDBCds &store) override;
    void Blocchi(TZepStampa &stampa) override;
    void Chiudi() override;

    platform::DataSet cdsIscritti; // TD0_ANAG, by surname and name
    platform::DataSet cdsE0;       // by start date
    platform::DataSet cdsEvE0;
    platform::DataSet cdsV1; // by start date
    platform::DataSet cdsEvV1;
    platform::DataSet cdsE1;

private:
    // The block of the current person of cdsIscritti.
    TZepStampaBlocco Persona();
    // The person's periods of `quadro` (E0 or V1: `q`) and their paying
    // entities `enti`, as tables of `b`.
    void Periodi(TZepStampaBlocco &b, int iscritto, platform::DataSet &quadro, platform::DataSet &enti,
                 const QString &q);

    TZepIndiceIscritti m_indice;
};
