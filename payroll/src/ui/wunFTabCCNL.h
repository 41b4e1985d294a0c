#pragma once
// The dialog "Scelta tabella CCNL da utilizzare nei calcoli": keep the
// automatic choice of the CCNL table (by the date of the pay) or force one
// (see TWunTabCCNL).
#include "UqDialog.h"

#include "Enumeration.h"

class QComboBox;
class QLabel;

class TfmWunTabCCNL : public TfmUqDialog {
    Q_OBJECT
public:
    explicit TfmWunTabCCNL(QWidget *owner = nullptr);

    QLabel *laTabelle;
    QComboBox *cbTabelle; // "Tabella CCNL": each item's data is the table id

    // The table to use, starting from the one forced in WunCCNL(): shown
    // only when `forza` or a table is forced already (otherwise the forced
    // id, normally 0, at once); OK answers the chosen item's id (0:
    // "Scelta automatica"), Cancel the forced id. `tabelle` are the items
    // to offer (none: the archive's tables).
    static int Execute(bool forza, const platform::EnumItems &tabelle = {});
};
