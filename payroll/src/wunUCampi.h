#pragma once
// The payroll calculators read and write the columns of the current row by
// name; these are the three accesses they all make.
#include "Currency.h"
#include "DataSet.h"

namespace wuncampi {

inline int intero(const platform::DataSet &ds, const char *campo)
{
    return ds.fieldByName(QLatin1String(campo)).asInteger();
}

inline platform::Currency importo(const platform::DataSet &ds, const char *campo)
{
    return ds.fieldByName(QLatin1String(campo)).asCurrency();
}

inline void impostaImporto(platform::DataSet &ds, const char *campo, platform::Currency valore)
{
    ds.fieldByName(QLatin1String(campo)).setAsCurrency(valore);
}

} // namespace wuncampi
