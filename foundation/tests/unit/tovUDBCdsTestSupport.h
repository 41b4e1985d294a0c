#pragma once
// A real embedded archive made by the foundation's scripts, a declaration
// store on it (program "zep", March 2024) and small layouts of the tests' own.
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include "DataSet.h"
#include "RecordingServices.h"
#include "SqlQuery.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

namespace storetest {

using platform::DataSet;
using platform::FieldDef;
using platform::FieldDefs;
using platform::FieldType;
using platform::Value;

// The field map of the person tables of the tests.
inline const QString PersonMap = QStringLiteral(
    "saficognome=Cognome;safinome=Nome;saficodfiscale=CFLavoratore;safigruppoana=Matricola+Qualifica2");

// A table of persons: row number, registry id, the mapped fields and a few
// values of its own.
inline FieldDefs personFields()
{
    return {
        {QStringLiteral("iFisRigo"), FieldType::Integer},        {QStringLiteral("iAfiID"), FieldType::Integer},
        {QStringLiteral("Cognome"), FieldType::String, 40},      {QStringLiteral("Nome"), FieldType::String, 40},
        {QStringLiteral("CFLavoratore"), FieldType::String, 16}, {QStringLiteral("Matricola"), FieldType::String, 10},
        {QStringLiteral("Qualifica2"), FieldType::String, 5},    {QStringLiteral("Giorni"), FieldType::Integer},
        {QStringLiteral("Imponibile"), FieldType::Currency}};
}

// A table without registry: row number and values.
inline FieldDefs plainFields()
{
    return {{QStringLiteral("iFisRigo"), FieldType::Integer},
            {QStringLiteral("Codice"), FieldType::String, 20},
            {QStringLiteral("Numero"), FieldType::Integer}};
}

inline TTovDBCdsLayout makeLayout(const QString &name, const FieldDefs &defs, int year = 0, int month = 0,
                                  const QString &fieldMap = {}, bool owner = false, bool readOnly = false)
{
    DataSet empty;
    empty.setFieldDefs(defs);
    empty.createDataSet();
    TTovDBCdsLayout layout;
    layout.program = QStringLiteral("zep");
    layout.name = name;
    layout.year = year;
    layout.month = month;
    layout.fieldMap = fieldMap;
    layout.registryOwner = owner;
    layout.fieldMapReadOnly = readOnly;
    layout.source = QStringLiteral("test");
    layout.SetSchema(empty);
    return layout;
}

class StoreTest : public ::testing::Test {
protected:
    StoreTest() : tdb(TempDatabase::Scripts{TempDatabase::projectScripts(QStringLiteral("foundation"))})
    {
        store.SetConnection(&tdb.db());
        store.SetProgram(QStringLiteral("zep"));
        store.SetYear(2024);
        store.SetMonth(3);
    }

    void install(const QList<TTovDBCdsLayout> &layouts) { TTovDBCdsLayouts::Install(tdb.db(), layouts); }
    void install(const TTovDBCdsLayout &layout) { install(QList<TTovDBCdsLayout>{layout}); }

    Value scalar(const QString &sql)
    {
        platform::SqlQuery q(tdb.db());
        q.setSql(sql);
        q.open();
        return q.eof() ? Value() : q.value(0);
    }
    int count(const QString &sql) { return scalar(sql).toInt(); }
    int counter(const QString &name)
    {
        return count(QStringLiteral("SELECT MAX(ICDSRIGO) FROM TCDS_STRUTTURA WHERE SCDSNOME = '%1'").arg(name));
    }

    // Appends a record with the values by field name and posts it.
    static void add(DataSet &ds, const QList<QPair<QString, Value>> &values)
    {
        ds.append();
        for (const auto &[name, value] : values)
            ds.fieldByName(name).setValue(value);
        ds.post();
    }
    static void addPerson(DataSet &ds, const QString &surname, const QString &code, const QString &matricola = {},
                          const QString &qualifica = {})
    {
        add(ds, {{QStringLiteral("Cognome"), surname},
                 {QStringLiteral("Nome"), QStringLiteral("N") + surname},
                 {QStringLiteral("CFLavoratore"), code},
                 {QStringLiteral("Matricola"), matricola},
                 {QStringLiteral("Qualifica2"), qualifica},
                 {QStringLiteral("Giorni"), 26}});
    }
    // The values of one field in the dataset's natural order.
    static QList<Value> column(DataSet &ds, const QString &name)
    {
        QList<Value> out;
        const int i = ds.fieldByName(name).index();
        for (const auto &r : ds.records())
            out << r.at(i);
        return out;
    }
    static bool locate(DataSet &ds, const QString &field, const Value &value) { return ds.locate(field, value); }

    TempDatabase tdb;
    RecordingServicesScope services;
    TTovDBCds store;
};

} // namespace storetest
