#pragma once
// Rows for the payroll calculators' tests: a dataset from column names and
// values, typed by the archive's naming (I and L integers, F amounts, D
// dates, S text; the computed hours and minutes of a period are amounts).
#include "DataSet.h"
#include "PayrollTestSupport.h"
#include "Value.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace calcolitest {

// A dataset with the columns and rows given, on its first row.
std::unique_ptr<platform::DataSet> tabella(const QStringList &colonne, const QList<platform::ValueList> &righe);
// One row.
std::unique_ptr<platform::DataSet> riga(const QStringList &colonne, const platform::ValueList &valori);

platform::Currency euro(const char *testo);

// The demo archive's suite (payrolltest::DemoArchiveSuite) with 2024 the
// working year and its rule object.
class DemoCalcoli : public payrolltest::DemoArchiveSuite {
protected:
    void SetUp() override;
    void TearDown() override;

    // The rows of a statement of the test's own.
    static std::unique_ptr<platform::DataSet> leggi(const QString &sql);
};

} // namespace calcolitest
