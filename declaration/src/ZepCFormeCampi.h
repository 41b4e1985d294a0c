#pragma once
// The fixed forms of the declaration tables' fields, without any display: a
// CAP of five digits, a province of two letters, a municipality's cadastral
// code, codes of a fixed number of digits, years, months, periods
// "AAAA-MM", percentages, the "0"/"1" flags and the sex. INPS refuses a
// file that carries a value of another form, so such a value is refused
// here, naming the field (platform::fieldMessage), before it is saved or
// written: in the windows before every post (TfrZepDatiDenuncia) and in
// the file step for the rows that came from elsewhere (an import, an older
// version, another workstation).
//
// An empty value (empty text or blanks, a number 0, null) always fits:
// whether a field must be given is checked where it is required.
#include <QString>

namespace platform {
class DataSet;
class Field;
}

class TZepFormeCampi {
public:
    enum class Forma {
        Nessuna,
        Cap,                  // five digits
        Provincia,            // two capital letters
        CodiceCatastale,      // a capital letter and three digits ("A944")
        Cifre,                // `cifre` digits
        Anno,                 // four digits, the first not 0
        Mese,                 // text: "01" to "12"; number: 1 to 12
        Periodo,              // "AAAA-MM"
        Percentuale,          // a number from 0 to 100
        PercentualeCentesimi, // a number from 0 to 10000 (hundredths: 50% = 5000)
        Flag,                 // "0" or "1"
        Sesso,                // "M" or "F"
    };
    struct Regola {
        Forma forma = Forma::Nessuna;
        int cifre = 0; // Cifre only
    };

    // The form of a field of the declaration tables, by its name (letters in
    // any case); Nessuna when it has none. A percentage is a form of numbers
    // only: a text field of the same name (the paying entity's "Aliquota"
    // code) has none.
    static Regola FormaDi(const QString &campo);
    // What does not fit in a text (for a number, its digits) of the form,
    // the problem as fieldMessage words it; empty when it fits (and for the
    // percentages, forms of numbers only).
    static QString Problema(const Regola &regola, const QString &testo);
    // The field's value of the current record against the field's form.
    static QString Problema(const platform::Field &campo);
    // Every field of the current record: EUqError naming the first whose
    // value does not fit its form.
    static void Controlla(const platform::DataSet &dataSet);
};
