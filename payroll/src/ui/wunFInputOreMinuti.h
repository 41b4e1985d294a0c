#pragma once
// The dialog "Inserire ore e minuti ...": a field of minutes edited as hours
// and minutes through a masked edit (see TWunInputOreMinuti).
#include "UqDialog.h"

class QLineEdit;

namespace platform {
class Field;
} // namespace platform

class TfmWunInputOreMinuti : public TfmUqDialog {
    Q_OBJECT
public:
    explicit TfmWunInputOreMinuti(QWidget *owner = nullptr);

    QLineEdit *mdOre; // "hh:mm", 5 characters

    // Starts on the field's text; OK writes it into the field.
    static int Execute(platform::Field &campo);
};
