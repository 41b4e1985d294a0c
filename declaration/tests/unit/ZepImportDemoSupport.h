#pragma once
// Helpers of the import tests: a notifier that records what the loop shows
// and answers its questions from a script, and a real embedded payroll
// archive (the demo archive of March 2024) with the program's layouts of
// the declaration tables, a store on that period, the employer's site and
// an INPS offices' code table of the test's own.
#include "ZepCParametri.h"
#include "ZepULayouts.h"
#include "ZepUUtil.h"
#include "archive/ArchiveScripts.h"
#include "archive/DemoArchive.h"
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

// What the loop showed and asked, with scripted answers and a stop after a
// number of persons.
class Notifica : public IwunNotificaImport {
public:
    QStringList messaggi;
    QStringList domande;
    QList<bool> risposte;
    QStringList avanzamento;
    int stopDopo = -1;  // persons after which a stop is asked (-1 never)

    void Messaggio(const QString &testo, platform::MessageType, const QString & = {}) override { messaggi << testo; }
    bool Domanda(const QString &testo) override
    {
        domande << testo;
        return risposte.isEmpty() ? false : risposte.takeFirst();
    }
    void Avanzamento(const QString &testo, int, int) override { avanzamento << testo; }
    bool StopRichiesto() override { return stopDopo >= 0 && avanzamento.size() >= stopDopo; }
};

// The demo archive of March 2024 with ten persons (one of each kind), the
// program's layouts and the import's surroundings.
class ImportTest : public ::testing::Test {
protected:
    ImportTest()
        : tdb(TempDatabase::Scripts{payroll::ArchiveScripts::all()})
    {
        payroll::DemoArchiveOptions o;
        o.persons = payroll::DemoArchive::MinPersons;
        o.fromYear = o.toYear = 2024;
        o.fromMonth = o.toMonth = 3;
        payroll::DemoArchive::fill(tdb.db(), o);
        platform::Database::setGlobal(&tdb.db());
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        TTovDBCdsLayouts::Install(tdb.db(), TTovDBCdsLayouts::ReadFolder(CartellaLayoutDenunce()));
        store.SetConnection(&tdb.db());
        store.SetProgram(QStringLiteral("zep"));
        store.SetYear(2024);
        store.SetMonth(3);
        m_anno = AnnoDenuncia;
        m_mese = MeseDenuncia;
        SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("03"));
        wunAnnoFinanziario().LoadYear(QStringLiteral("2024"));
        params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);

        parametri.setFieldDefs({{QStringLiteral("IMESID"), FieldType::Integer},
                                {QStringLiteral("ICOTID"), FieldType::Integer},
                                {QStringLiteral("SOSTITUTO"), FieldType::Boolean},
                                {QStringLiteral("ComuneLavoro"), FieldType::String, 4},
                                {QStringLiteral("MatricolaInpsFpls"), FieldType::String, 10},
                                {QStringLiteral("TipoContribuzioneFpls"), FieldType::String, 2}});
        parametri.createDataSet();
        parametri.appendRecord({3, 3, false, QStringLiteral("A944"), QStringLiteral("7654321098"), QString()});

        TovQueryText().AssignCommand(QStringLiteral("QRY_SED"), sedi, QStringLiteral("EXECUTE"));
        sedi.params().paramByName(QStringLiteral("IDWGID")).setValue(1);
        sedi.Open();
        fileSediInps = QDir(cartella.path()).filePath(QStringLiteral("TSIN_SEDIINPS.cds"));
        ScriviSediInps({{QStringLiteral("1300"), QStringLiteral("BO")}, {QStringLiteral("7000"), QStringLiteral("RM")}});
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
        t.setFieldDefs({{QStringLiteral("Codice"), FieldType::String, 4},
                        {QStringLiteral("Descrizione"), FieldType::String, 250},
                        {QStringLiteral("PROVINCIA"), FieldType::String, 2}});
        t.createDataSet();
        for (const auto &[codice, provincia] : righe)
            t.appendRecord({codice, QStringLiteral("Sede di ") + provincia, provincia});
        TTovCds::SaveToFile(t, fileSediInps);
    }

    // The first column of the first row of a statement on the archive.
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
        if (tabella == TZepParametri::TabellaDichiarante)
            store.LoadPeriod(ds, tabella, 2024, 0);
        else
            store.Load(ds, tabella);
    }

    RecordingServicesScope services;
    TempDatabase tdb;
    TTovDBCds store;
    TdmWunParams params;
    DataSet parametri;
    TUqQueryCollection sedi;
    QTemporaryDir cartella;
    QString fileSediInps;
    Notifica notifica;

private:
    QString m_anno;
    QString m_mese;
};

} // namespace imptest
