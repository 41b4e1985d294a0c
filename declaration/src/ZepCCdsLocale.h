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
#include "tovUDBCds.h"

#include <QString>

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

    // A table whose rows carry "AnnoMeseDenuncia" loads the rows of the
    // period for a month 1 to 12, every row for month 0 or -1; a missing
    // file is refused naming it.
    void LoadPeriod(platform::DataSet &dataSet, const QString &name, int year, int month) override;
    void LoadStructure(platform::DataSet &dataSet, const QString &name, int year, int month) override;
    void SavePeriod(platform::DataSet &dataSet, const QString &name, int year, int month,
                    TCdsSaveFailure onFailure = TCdsSaveFailure::DiscardChanges) override;

private:
    // The period's text "AAAA-MM", empty when the whole file is meant.
    static QString Periodo(const platform::DataSet &file, int year, int month);
    void CaricaFile(platform::DataSet &file, const QString &name, int year) const;

    QString m_program = QStringLiteral("zep");
    QString m_base;
    QString m_prefisso;
    int m_year = 0;
    int m_month = 0;
};
