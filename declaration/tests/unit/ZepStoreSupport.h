#pragma once
// A layout of the declaration-table store for a test: program "zep", the
// table's name and the fields of its empty dataset.
#include "DataSet.h"
#include "tovUDBCdsLayouts.h"

inline TTovDBCdsLayout layoutDiProva(const QString &name, const platform::FieldDefs &fields)
{
    platform::DataSet empty;
    empty.setFieldDefs(fields);
    empty.createDataSet();
    TTovDBCdsLayout layout;
    layout.program = QStringLiteral("zep");
    layout.name = name;
    layout.source = QStringLiteral("test");
    layout.SetSchema(empty);
    return layout;
}
