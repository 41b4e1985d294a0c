#pragma once
// The payroll library's multi-select dialog: the framework's one with the
// count of the rows the import will take ("Prenotati: " + the rows
// selected, or every row of the list when none is), kept up to date as the
// selection and the list change; the hourglass while it opens.
#include "UqMultiSelect.h"

class TfmwunMultiSelect : public TfmUqMultiSelect {
    Q_OBJECT
public:
    explicit TfmwunMultiSelect(QWidget *owner = nullptr);

    // "Prenotati: " + the count.
    void AggiornaConteggio();

protected:
    void showEvent(QShowEvent *event) override;
};
