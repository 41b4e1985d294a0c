#pragma once
// The rules of the dialog "Inserire ore e minuti ..." (TfmWunInputOreMinuti):
// a field that holds whole minutes is edited as hours and minutes
// ("hh:mm"). The edit starts with the field's text; OK puts the field's
// dataset in edit and writes the minutes, or clears the field when the text
// is not hours and minutes.
#include <QString>

namespace platform {
class Field;
} // namespace platform

class TWunInputOreMinuti {
public:
    static const QString Titolo; // "Inserire ore e minuti ..."
    // The edit's mask: two digits, ":", two digits, blanks shown as "_".
    static const QString Maschera; // "99:99;_"

    // The field's display text; a field of minutes without a text of its
    // own shows them as "hh:mm".
    static QString TestoIniziale(const platform::Field &campo);
    // Minutes of "hh:mm" (minutes below 60); -1 when the text is not that.
    static int Minuti(const QString &testo);
    // Writes the text into the field (its dataset put in edit when
    // browsing): the minutes for a numeric field, the text itself for a
    // text field; a numeric field is cleared when the text is not hours and
    // minutes. False when it was cleared.
    static bool Applica(platform::Field &campo, const QString &testo);
};
