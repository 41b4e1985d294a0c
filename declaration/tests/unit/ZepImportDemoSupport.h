#pragma once
// Helpers of the import tests: a notifier that records what the loop shows
// and answers from a script, and the demo archive of March 2024 (ten
// persons, one of each kind) with the program's layouts, a store on that
// period, import parameters, the employer's sites and an INPS offices' code
// table of the test's own.
#include "ZepCParametri.h"
#include "ZepULayouts.h"
#include "ZepUUtil.h"
#include "archive/ArchiveScripts.h"
#include "archive/FiscalCode.h"
#include "DemoArchive.h"
#include "import/WunCFiscImpMultiSelect.h"
#include "WunUUtil.h"
#include "wunMParams.h"

#include "DataSet.h"
#include "Field.h"
#include "RecordingServices.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "TovUCdsUtil.h"
#include "UqQueryCollection.h"
#include "tovCQueryText.h"
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

namespace imptest {

using platform::DataSet;
using platform::FieldType;
using platform::Value;

class Notifica : public IwunNotificaImport {
public:
    QStringList messaggi;
    QStringList domande;
    QList<bool> risposte;
    QStringList avanzamento;
    int stopDopo = -1; // persons after which a stop is asked (-1 never)

    void Messaggio(const QString &testo, platform::MessageType, const QString & = {}) override { messaggi << testo; }
    bool Domanda(const QString &testo) override
    {
        domande << testo;
        return risposte.isEmpty() ? false : risposte.takeFirst();
    }
    void Avanzamento(const QString &testo, int, int) override { avanzamento << testo; }
    bool StopRichiesto() override { return stopDopo >= 0 && avanzamento.size() >= stopDopo; }
};

// The payroll's registry row of the person with the fiscal code given
// corrected to another valid code (its fifteenth character changed), as an
// office corrects a code typed wrong; answers the new code.
inline QString CorreggiCodiceFiscale(platform::Database &db, const QString &vecchio)
{
    QString nuovo = vecchio.left(15);
    nuovo[14] = nuovo.at(14) == QLatin1Char('1') ? QLatin1Char('2') : QLatin1Char('1');
    nuovo += payroll::FiscalCode::controlCharacter(nuovo);
    platform::SqlQuery q(db);
    q.setSql(QStringLiteral("UPDATE TANA_ANAGRAFICHE SET SANACODFISCALE = :N WHERE SANACODFISCALE = :V"));
    q.bind(QStringLiteral("N"), nuovo).bind(QStringLiteral("V"), vecchio);
    q.execSQL();
    return nuovo;
}

class ImportTest : public ::testing::Test {
protected:
    static void Demo(platform::Database &db)
    {
        payroll::DemoArchiveOptions o;
        o.persons = payroll::DemoArchive::MinPersons;
        o.fromYear = o.toYear = 2024;
        o.fromMonth = o.toMonth = 3;
        payroll::DemoArchive::fill(db, o);
    }
    ImportTest() : tdb(TempDatabase::Template{payroll::ArchiveScripts::all(), "ImportTest", Demo})
    {
        platform::Database::setGlobal(&tdb.db());
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        TTovDBCdsLayouts::Install(tdb.db(), TTovDBCdsLayouts::ReadFolder(CartellaLayoutDenunce()));
        store.SetConnection(&tdb.db());
        store.SetProgram("zep");
        store.SetYear(2024);
        store.SetMonth(3);
        SetPeriodoDenuncia("2024", "03");
        wunAnnoFinanziario().LoadYear("2024");
        params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);
        parametri.setFieldDefs({{"IMESID", FieldType::Integer},
                                {"ICOTID", FieldType::Integer},
                                {"SOSTITUTO", FieldType::Boolean},
                                {"ComuneLavoro", FieldType::String, 4},
                                {"MatricolaInpsFpls", FieldType::String, 10},
                                {"TipoContribuzioneFpls", FieldType::String, 2}});
        parametri.createDataSet();
        parametri.appendRecord({3, 3, false, "A944", "7654321098", QString()});
        TovQueryText().AssignCommand("QRY_SED", sedi, "EXECUTE");
        sedi.params().paramByName("IDWGID").setValue(1);
        sedi.Open();
        ScriviSediInps({{"1300", "BO"}, {"7000", "RM"}});
    }
    ~ImportTest() override
    {
        SetPeriodoDenuncia(m_anno, m_mese);
        platform::Database::setGlobal(nullptr);
    }

    void Parametro(const QString &campo, const Value &valore)
    {
        parametri.edit();
        parametri.setFieldValue(campo, valore);
        parametri.post();
    }
    // The INPS offices' table: (code, province) rows.
    void ScriviSediInps(const QList<QPair<QString, QString>> &righe)
    {
        DataSet t;
        t.setFieldDefs({{"Codice", FieldType::String, 4}, {"PROVINCIA", FieldType::String, 2}});
        t.createDataSet();
        for (const auto &[codice, provincia] : righe)
            t.appendRecord({codice, provincia});
        TTovCds::SaveToFile(t, fileSediInps);
    }
    // The first column of the first row of a statement (Null when none).
    Value Valore(const QString &sql)
    {
        platform::SqlQuery q(tdb.db());
        q.setSql(sql);
        q.open();
        return q.eof() ? Value::null() : q.value(0);
    }
    // The stored table of the period (the declarant: month 0 of the year).
    void Archiviata(DataSet &ds, const QString &tabella)
    {
        store.LoadPeriod(ds, tabella, 2024, tabella == TZepParametri::TabellaDichiarante ? 0 : 3);
    }

    RecordingServicesScope services;
    TempDatabase tdb;
    TTovDBCds store;
    TdmWunParams params;
    DataSet parametri;
    TUqQueryCollection sedi;
    QTemporaryDir cartella;
    QString fileSediInps = QDir(cartella.path()).filePath("TSIN_SEDIINPS.cds");
    Notifica notifica;

private:
    QString m_anno = AnnoDenuncia;
    QString m_mese = MeseDenuncia;
};

} // namespace imptest
