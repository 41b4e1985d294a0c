#pragma once
// The rules of the dialog "Scelta tabella CCNL da utilizzare nei calcoli"
// (TfmWunTabCCNL): whether it is shown, which tables it offers and which it
// starts on. The id 0 stands for "Scelta automatica": the table in force at
// the date of the pay (TWunCCNL).
#include "Enumeration.h"

#include <QString>

class TWunTabCCNL {
public:
    static const QString Titolo;           // "Scelta tabella CCNL da utilizzare nei calcoli"
    static const QString EtichettaTabelle; // "Tabella CCNL"
    static const QString SceltaAutomatica; // "Scelta automatica"

    // The dialog is shown when the caller forces it or a table is forced
    // already; otherwise the forced id (0) stands without asking.
    static bool DaMostrare(bool forza, int forzata);
    // The tables offered: the caller's when it gives any, else the archive's
    // (QRY_CCNL_TABELLE on the connection); "Scelta automatica" (0) first
    // unless an item has the id 0 already.
    static platform::EnumItems Elenco(const platform::EnumItems &tabelle, platform::Database &database);
    // The position of the id among the items; -1 when none has it.
    static int Indice(const platform::EnumItems &elenco, qint64 id);
};
