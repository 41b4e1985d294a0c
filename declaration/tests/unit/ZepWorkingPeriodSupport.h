#pragma once
// Helpers of the working-period and main-window tests: a real embedded
// archive with the declaration-table store's tables and a declarant layout
// of the tests, a main-window state over a temporary base folder, and the
// working-period texts put back after each test.
#include "ZepCParametri.h"
#include "ZepUMainState.h"
#include "ZepUUtil.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "RecordingServices.h"
#include "TempDatabase.h"
#include "TovUCdsUtil.h"
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include <QDir>
#include <QPair>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace periodtest {

using platform::DataSet;
using platform::FieldDefs;
using platform::FieldType;

// The declarant table as the tests lay it out: the store's row number
// first, then the declarant's own fields.
inline FieldDefs declarantFields()
{
    return {{QStringLiteral("iFisRigo"), FieldType::Integer},
            {QStringLiteral("CFMittente"), FieldType::String, 16},
            {QStringLiteral("RagSocMittente"), FieldType::String, 60},
            {QStringLiteral("CFSoftwarehouse"), FieldType::String, 16},
            {QStringLiteral("SedeINPS"), FieldType::String, 4}};
}

inline TTovDBCdsLayout declarantLayout()
{
    DataSet empty;
    empty.setFieldDefs(declarantFields());
    empty.createDataSet();
    TTovDBCdsLayout layout;
    layout.program = QStringLiteral("zep");
    layout.name = TZepParametri::TabellaDichiarante;
    layout.source = QStringLiteral("test");
    layout.SetSchema(empty);
    return layout;
}

// The main window as the shared windows see it, over a base folder of its own
// (or the one given, ending with "/").
class FakeMainState : public IZepMainState {
public:
    explicit FakeMainState(TTovDBCds &store, const QString &base = {})
        : m_store(store), m_programma(TZepParametri::ProgrammaUniEmens())
    {
        m_base = base.isEmpty() ? QDir(m_dir.path()).absolutePath() + QLatin1Char('/') : base;
    }

    const TZepProgramma &Programma() const override { return m_programma; }
    // Another program's windows (the earlier program's, for instance).
    void SetProgramma(const TZepProgramma &programma) { m_programma = programma; }
    QString CartellaBase() const override { return m_base; }
    QString DataModello() const override { return dataModello; }
    void SetDataModello(const QString &data) override { dataModello = data; }
    QString CartellaDatiAnno() const override { return cartellaDatiAnno; }
    void SetCartellaDatiAnno(const QString &c) override { cartellaDatiAnno = c; }
    TTovDBCds &Store() override { return m_store; }
    void SetTestoStato(const QString &t) override { testoStato = t; }
    void SetTitolo(const QString &t) override { titolo = t; }

    QString path(const QString &relative) const { return m_base + relative; }

    QString dataModello;
    QString cartellaDatiAnno;
    QString testoStato;
    QString titolo;

private:
    QTemporaryDir m_dir;
    QString m_base;
    TTovDBCds &m_store;
    TZepProgramma m_programma;
};

class WorkingPeriodTest : public ::testing::Test {
protected:
    WorkingPeriodTest()
        : tdb(TempDatabase::Scripts{TempDatabase::projectScripts(QStringLiteral("foundation"))}), main(store)
    {
        store.SetConnection(&tdb.db());
        store.SetProgram(QStringLiteral("zep"));
        TTovDBCdsLayouts::Install(tdb.db(), {declarantLayout()});
        m_anno = AnnoDenuncia;
        m_mese = MeseDenuncia;
        SetPeriodoDenuncia(QString(), QString());
        IZepMainState::SetCurrent(&main);
    }
    ~WorkingPeriodTest() override
    {
        IZepMainState::SetCurrent(nullptr);
        SetPeriodoDenuncia(m_anno, m_mese);
    }

    // Saves a declarant for the year (month 0).
    void saveDeclarant(int year, const QString &cf, const QString &name)
    {
        DataSet ds;
        store.LoadPeriod(ds, TZepParametri::TabellaDichiarante, year, 0);
        ds.append();
        ds.fieldByName(QStringLiteral("CFMittente")).setAsString(cf);
        ds.fieldByName(QStringLiteral("RagSocMittente")).setAsString(name);
        ds.fieldByName(QStringLiteral("SedeINPS")).setAsString(QStringLiteral("1200"));
        ds.post();
        store.SavePeriod(ds, TZepParametri::TabellaDichiarante, year, 0);
    }
    // The declarant rows of the year: "CF|name|row".
    QStringList declarants(int year)
    {
        DataSet ds;
        store.LoadPeriod(ds, TZepParametri::TabellaDichiarante, year, 0);
        QStringList out;
        for (ds.first(); !ds.eof(); ds.next())
            out << ds.fieldByName(QStringLiteral("CFMittente")).asString() + QLatin1Char('|')
                       + ds.fieldByName(QStringLiteral("RagSocMittente")).asString() + QLatin1Char('|')
                       + ds.fieldByName(QStringLiteral("iFisRigo")).asString();
        return out;
    }

    TempDatabase tdb;
    RecordingServicesScope services;
    TTovDBCds store;
    FakeMainState main;

private:
    QString m_anno;
    QString m_mese;
};

// ---- the working-period file and the year check ----

inline const QString Circolare = QStringLiteral("    Circolare INPS n. 152 del 22/11/2004");

// The period file of the base folder: (year, month) of its last record.
inline QPair<QString, QString> periodFile(const FakeMainState &main)
{
    DataSet ds;
    TTovCds::LoadFromFile(ds, main.path(QStringLiteral("USR/UniEmens/Res/TEAM_ANNOMESE.cds")));
    EXPECT_EQ(ds.recordCount(), 1);
    ds.last();
    return {ds.fieldByName(QStringLiteral("SEAMANNOFIN")).asString(),
            ds.fieldByName(QStringLiteral("SEAMMESE")).asString()};
}

inline void writePeriodFile(const FakeMainState &main, const QString &year, const QString &month)
{
    QDir().mkpath(main.path(QStringLiteral("USR/UniEmens/Res")));
    DataSet ds;
    ds.setFieldDefs(
        {{QStringLiteral("SEAMANNOFIN"), FieldType::String, 4}, {QStringLiteral("SEAMMESE"), FieldType::String, 2}});
    ds.createDataSet();
    ds.append();
    ds.fieldByName(QStringLiteral("SEAMANNOFIN")).setAsString(year);
    ds.fieldByName(QStringLiteral("SEAMMESE")).setAsString(month);
    ds.post();
    TTovCds::SaveToFile(ds, main.path(QStringLiteral("USR/UniEmens/Res/TEAM_ANNOMESE.cds")));
}

inline QString refusal(TZepParametri &logic, const QString &year)
{
    try {
        logic.Controlla(year);
    } catch (const EUqError &e) {
        return e.message();
    }
    return QString();
}

} // namespace periodtest
