#pragma once
// Helpers of the declaration tables' tests: a real embedded archive with the
// program's layouts installed (the whole archive when the states table is
// needed), a store on a working period, and a main-window state over the
// build tree, whose USR/UniEmens/Res/Tabelle holds the compiled code tables.
#include "ZepWorkingPeriodSupport.h"

#include "ZepULayouts.h"
#include "archive/ArchiveScripts.h"

namespace dentest {

using platform::DataSet;
using platform::Value;

// The build tree these tests were built in, ending with "/".
inline QString cartellaBuild()
{
    return QDir(QStringLiteral(ZEP_TEST_BUILD_DIR)).absolutePath() + QLatin1Char('/');
}

class DatiDenunciaTest : public ::testing::Test {
protected:
    explicit DatiDenunciaTest(bool archivioCompleto = false)
        : tdb(TempDatabase::Scripts{archivioCompleto
                                        ? payroll::ArchiveScripts::all()
                                        : payroll::ArchiveScripts::series(payroll::ArchiveScripts::FoundationSeries)}),
          main(store, cartellaBuild())
    {
        store.SetConnection(&tdb.db());
        store.SetProgram(QStringLiteral("zep"));
        TTovDBCdsLayouts::Install(tdb.db(), TTovDBCdsLayouts::ReadFolder(CartellaLayoutDenunce()));
        m_anno = AnnoDenuncia;
        m_mese = MeseDenuncia;
        Periodo(QStringLiteral("2024"), QStringLiteral("03"));
        IZepMainState::SetCurrent(&main);
    }
    ~DatiDenunciaTest() override
    {
        IZepMainState::SetCurrent(nullptr);
        SetPeriodoDenuncia(m_anno, m_mese);
    }

    // The working period, as the dialog "Parametri" sets it.
    void Periodo(const QString &anno, const QString &mese)
    {
        SetPeriodoDenuncia(anno, mese);
        store.SetYear(anno.toInt());
        store.SetMonth(mese.toInt());
    }

    // Appends a row with the values by field name to the table of the
    // working period, through the store.
    void Aggiungi(const QString &tabella, const QList<QPair<QString, Value>> &valori)
    {
        DataSet ds;
        store.Load(ds, tabella);
        ds.append();
        for (const auto &[campo, valore] : valori)
            ds.fieldByName(campo).setValue(valore);
        ds.post();
        store.Save(ds, tabella);
    }
    // A field of every row of the table of the working period, in the
    // order of the values of `ordine`.
    QStringList Colonna(const QString &tabella, const QString &campo,
                        const QString &ordine = QStringLiteral("iFisRigo"))
    {
        DataSet ds;
        store.Load(ds, tabella);
        ds.setIndexFieldNames(ordine);
        QStringList out;
        for (ds.first(); !ds.eof(); ds.next())
            out << ds.fieldByName(campo).asString();
        return out;
    }

    TempDatabase tdb;
    RecordingServicesScope services;
    TTovDBCds store;
    periodtest::FakeMainState main;

private:
    QString m_anno;
    QString m_mese;
};

} // namespace dentest
