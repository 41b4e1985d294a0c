#pragma once
// The layouts of the declaration-table store (tovUDBCds.h), as files of the
// project, and their installation into TCDS_STRUTTURA.
//
// A folder of layouts holds a manifest, "TCDS_STRUTTURA.xml", and one file per
// empty dataset. Both are dataset files of the platform (the readable XML
// form, docs/DATASET_FILES.md; the binary form is read too). Each row of the
// manifest is one row of TCDS_STRUTTURA:
//
//   SCDSPROGRAMMA     program code ("zep")                          required
//   SCDSNOME          dataset name ("TEMD_DIPENDENTI")              required
//   ICDSANNO          first year the layout applies to; empty: always
//   ICDSMESE          first month of that year (1-12); empty or 0: from the
//                     start of the year (for year-level tables, the year level)
//   LCDSANAGRAFICA    1: the dataset owns its registry rows (creates them,
//                     deletes them with its records)
//   LCDSFMAPREADONLY  1: the registry is never updated from the dataset
//   SCDSFIELDMAP      the field map: "saficognome=Cognome;safinome=Nome;
//                     saficodfiscale=CFLavoratore;safigruppoana=Matricola+Qualifica2"
//   SCDSSCHEMA        the file of the empty dataset, beside the manifest: its
//                     fields (name, type, size, display properties) and index
//                     field names; no records
//
// A layout is identified by program, name, year and month (letters in any
// case). Installing writes each layout of the files: a new one is inserted
// with a fresh id and a row counter of 0; one already there gets its empty
// dataset, flags and field map replaced when they changed, and keeps its id,
// its counter and every stored value. Layouts of the table that the files no
// longer describe are left alone (their values stay readable). So:
//
// - a new field: add it to the empty dataset's file; stored records load it
//   as null, and a dropped field's stored values are ignored;
// - a layout that changes from a period on (keeping the earlier periods as
//   they were): a new manifest row with that first year and month;
// - a new declaration table: a new row and its file.
//
// Each program registers its layout folders at start-up (RegisterFolder, a
// resource folder compiled into the program such as ":/layouts/zep"), and
// whoever creates or upgrades the archive runs InstallRegistered after the
// DDL scripts, so the table always matches the files.
#include "Database.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace platform {
class DataSet;
}

struct TTovDBCdsLayout {
    QString program;
    QString name;
    int year = 0;  // 0: from the beginning (stored as null)
    int month = 0; // 0: from the start of the year (stored as null)
    bool registryOwner = false;
    bool fieldMapReadOnly = false;
    QString fieldMap;
    QByteArray schema; // the empty dataset, binary dataset file
    QString source;    // where it was described, for messages

    // The empty dataset of `dataSet` (its fields and index; its records are
    // not taken).
    void SetSchema(platform::DataSet &dataSet);
    // "zep/TEMD_DIPENDENTI 2010/6"
    QString Key() const;
};

class TTovDBCdsLayouts {
public:
    static const QString ManifestName; // "TCDS_STRUTTURA.xml"

    // What an installation did, as TTovDBCdsLayout::Key() texts.
    struct Result {
        QStringList inserted;
        QStringList updated;
        QStringList unchanged;
    };

    // The layouts of a folder (a resource folder ":/..." too). A missing or
    // faulty manifest, a missing schema file or a layout that does not pass
    // Check raises EUqError (or the dataset file's EDataSetError) naming the
    // file.
    static QList<TTovDBCdsLayout> ReadFolder(const QString &folder);

    // Refuses, with EUqError naming the layout's source, a layout the store
    // could not serve: no program or name, names longer than the table's
    // columns, a month outside 0-12, a negative year, a field map that names
    // anything but the registry's person columns or fields the dataset lacks,
    // an empty dataset without the integer field "iFisRigo", or without the
    // integer field "iAfiID" when it has a field map or owns registry rows, a
    // field name longer than 63 characters, a field whose values could be longer
    // than the value rows hold (tovUDBCdsLimits.h), an empty dataset with records.
    static void Check(const TTovDBCdsLayout &layout);

    // Writes the layouts into TCDS_STRUTTURA (see the top of this file), all
    // or none: in a transaction of its own, or in the caller's when the
    // connection is in one. Every layout is checked first; two layouts with
    // one identity are refused.
    static Result Install(platform::Database &database, const QList<TTovDBCdsLayout> &layouts);
    // ReadFolder of each folder, then Install.
    static Result InstallFolders(platform::Database &database, const QStringList &folders);

    // The folders of the running program, in the order registered (a folder
    // registered twice counts once).
    static void RegisterFolder(const QString &folder);
    static void UnregisterFolder(const QString &folder);
    static QStringList RegisteredFolders();
    // InstallFolders of the registered folders (nothing to do without any).
    static Result InstallRegistered(platform::Database &database);
};
