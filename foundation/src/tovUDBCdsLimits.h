#pragma once
// What the declaration-table store's columns can hold, checked before a
// layout is installed and before a save writes anything, so that a value
// the archive would cut, change or refuse with an engine error is refused
// with a message naming the table, the record and the field:
//
// - a text with a lone UTF-16 surrogate (the driver would store "?" in its
//   place);
// - a value row's text longer than SFISVALUE, VARCHAR(250): texts, and the
//   other types written as text (blobs in base64);
// - a text for a registry column longer than that column (surname, name and
//   group key 60 characters, fiscal codes 20).
//
// Lengths count characters as the engine does: a surrogate pair is one.
#include "DataSet.h"

#include <QList>
#include <QString>

struct TCdsParameters;

class TTovDBCdsLimits {
public:
    // The characters of TFIS_DATIFISCALI.SFISVALUE.
    static constexpr int ValueWidth = 250;
    // The characters of a registry column of TAFI_ANAFISCALE (upper case);
    // 0 for another name.
    static int RegistryWidth(const QString &column);

    // Why a field of a layout could hold a value the value rows cannot: a
    // Memo, a String without a size or longer than ValueWidth. Empty when
    // the field fits.
    static QString LayoutRefusal(const platform::Field &field);

    // Raises EUqError for the first pending insert or modification of the
    // dataset with a text the store could not write as it is (see the top
    // of this file), naming the table `name`, the record (its row number,
    // or its place among the new ones) and the field. `params` tells the
    // fields that go to the registry.
    static void CheckPendingValues(const platform::DataSet &dataSet, const QList<platform::DeltaRecord> &delta,
                                   const QString &name, const TCdsParameters &params);
};
