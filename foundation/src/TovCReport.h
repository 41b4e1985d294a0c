#pragma once
// Registration of the report layouts: the layouts shipped with a program
// version ("wun_Report.xml" in "..\etc\wun\" beside the program, a dataset
// file in XML form with the layouts as blobs) are written into the
// archive's report table each time the archive is opened, so that they are
// there before any print runs.
//
// Every record goes through the catalogue statement "QRY_YRPT", whose text
// takes one format argument: "=" when the flag is set (a layout of the same
// version is written again), empty otherwise (only newer versions replace
// the stored ones).
#include "DataSet.h"

#include <QString>

namespace platform {
class SqlQuery;
}

class TTovReport : public platform::DataSet {
public:
    TTovReport();

    // Runs Import on a temporary instance.
    static void ImportReports(platform::SqlQuery &query, const QString &fileName, bool flag);
    // Nothing happens when the file does not exist. Otherwise loads it,
    // prepares "QRY_YRPT" on `query` and writes every record; the dataset is
    // closed again at the end, also on error. Errors reach the caller.
    void Import(platform::SqlQuery &query, const QString &fileName, bool flag);
    // Sets the statement's parameters from the current record and runs it.
    void WriteReport(platform::SqlQuery &query);

    // "..\etc\wun\wun_Report.xml" from the program's folder, as a full path.
    static QString ReportFileName();
};
