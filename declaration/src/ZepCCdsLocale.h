#pragma once
// The declaration-table store of the earlier program's local-file form: one
// dataset file per table in the year data folder ("TEMD_DIPENDENTI.CDS",
// "TEMC_COLLABORATORI.CDS", "TAMM_AMMINISTRAZIONE.CDS", made by
// TZepParametri::CreaCartellaAnno). The row files hold every month of the
// year, a row's month being its "AnnoMeseDenuncia"; the windows, the import
// and the file writer see one month of them.
//
// Saving a month rewrites the file with the other months' rows as the file
// holds them and the month's rows as the dataset holds them, so no other
// month is lost. The file is written by TTovCds::SaveToFile: a process
// killed at any moment leaves the old or the new file (or its ".BAK"),
// never part of one.
//
// A file write is no part of the archive's transaction, so the saves of a
// unit (ITovDBCds: one person of an import) are kept aside and written when
// the unit is whole (CommitUnit): a process killed between two rows of a
// person leaves none of them in the file. A unit dropped after that has
// the files it wrote put back as they were before it.
//
// The units of a run write a file whole once; after that a unit's save of
// the same dataset appends only the rows it changed to the file's journal
// ("TEMD_DIPENDENTI.GIO" beside "TEMD_DIPENDENTI.CDS", one change a save,
// on disk when the save returns), so that a person costs what its rows
// cost however many persons the month already holds, and EndUnits writes
// the file whole again and removes the journal. A load reads the file with
// its journal, so a run killed before its end leaves every unit committed
// whole in the table and the file readable; a change cut short by the kill
// is not read, nor a journal left beside a file written whole since.
#include "tovUDBCds.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <map>
#include <optional>

class TZepCdsLocale : public ITovDBCds {
public:
    // The base folder (full path) and the year data folder relative to it
    // without the year ("USR/ZEPDati/ZEP").
    TZepCdsLocale(QString cartellaBase, QString prefissoCartellaAnno);

    const QString &Program() const override { return m_program; }
    void SetYear(int year) override { m_year = year; }
    void SetMonth(int month) override { m_month = month; }
    int Year() const override { return m_year; }
    int Month() const override { return m_month; }

    // The file of a table in the year's folder (found whatever the case of
    // its letters; ".CDS" added).
    QString FileTabella(const QString &name, int year) const;
    // The journal beside a table's file.
    static QString FileGiornale(const QString &fileTabella);

    // A table whose rows carry "AnnoMeseDenuncia" loads the rows of the
    // period for a month 1 to 12, every row for month 0 or -1; a missing
    // file is refused naming it.
    void LoadPeriod(platform::DataSet &dataSet, const QString &name, int year, int month) override;
    void LoadStructure(platform::DataSet &dataSet, const QString &name, int year, int month) override;
    // In a unit the save is kept aside (the dataset as it is at CommitUnit
    // is written, once per table and period).
    void SavePeriod(platform::DataSet &dataSet, const QString &name, int year, int month,
                    TCdsSaveFailure onFailure = TCdsSaveFailure::DiscardChanges) override;

    void BeginUnit() override;
    void CommitUnit() override;
    void DropUnit() override;
    void EndUnits() override;

private:
    // A save kept aside for the unit's end.
    struct Rinviato {
        platform::DataSet *dataSet;
        QString name;
        int year, month;
        TCdsSaveFailure onFailure;
    };
    // Where a file and its journal stood on disk after the store wrote them
    // (another writer changes it).
    struct Disco {
        qint64 dimensione = -1, modificato = 0, giornale = -1;
        quint64 inode = 0;
        bool operator==(const Disco &) const = default;
    };
    // A file the run's units write, as the store last wrote it: its other
    // months' rows, the month's rows (in the file's fields) and the records
    // of the dataset they were written from.
    struct Tabella {
        platform::FieldDefs campi;
        QList<platform::ValueList> altre;
        QString periodo;
        QList<platform::ValueList> mese;
        const platform::DataSet *dataSet = nullptr;
        platform::FieldDefs campiDataSet;
        QList<platform::Bookmark> segni; // its records in order
        QList<int> posizioni;            // per field of the file, the dataset's value (-1 none)
        QByteArray impronta;             // the file the journal is made on
        qint64 giornale = 0;             // the journal's size
        Disco disco;
    };
    // What a drop of the unit puts back: a file the unit's end wrote whole
    // (its rows before) or whose journal it added to (the table before).
    struct Precedente {
        QString file;
        platform::FieldDefs campi;
        QList<platform::ValueList> righe;
        std::optional<Tabella> tabella;
    };

    static QString Periodo(const platform::DataSet &file, int year, int month);
    static Disco StatoDisco(const QString &file);
    // The row of a record in the file's fields.
    static platform::ValueList RigaFile(const platform::DataSet &dataSet, const platform::Bookmark &record,
                                        const QList<int> &posizioni);
    void CaricaFile(platform::DataSet &file, const QString &name, int year) const;
    void Scrivi(platform::DataSet &dataSet, const QString &name, int year, int month, TCdsSaveFailure onFailure);
    // The file written whole: the other months as the file holds them, the
    // month's rows as the dataset holds them.
    void ScriviIntero(platform::DataSet &dataSet, const QString &name, const QString &file, int year, int month);
    // The dataset's changes since the store last wrote it appended to the
    // journal; false, with nothing written, when its table is not known so.
    bool ScriviModifiche(platform::DataSet &dataSet, const QString &file, int year, int month);
    bool HaPrecedente(const QString &file) const;
    void Consolida(const QString &file, const Tabella &tabella);

    QString m_program = QStringLiteral("zep");
    QString m_base;
    QString m_prefisso;
    int m_year = 0;
    int m_month = 0;
    bool m_inUnit = false;
    bool m_scriveUnita = false;           // CommitUnit writing the unit's saves
    bool m_scritturaFallita = false;      // a file could not be written since EndUnits
    QList<Rinviato> m_rinviati;           // the unit's saves not written yet
    QList<Precedente> m_precedenti;       // the files the unit's end wrote, as before
    std::map<QString, Tabella> m_tabelle; // by file
};
