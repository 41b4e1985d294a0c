#pragma once
// Italian fiscal codes ("codice fiscale"): building a natural person's from
// the person's data and checking the control character, and the numeric
// form of eleven digits. The demo archive uses them so that every person it
// makes carries a well-formed code; the declaration programs, to refuse a
// code INPS would reject.
#include <QDate>
#include <QString>

namespace payroll {

class FiscalCode {
public:
    enum class Sex { Male, Female };

    // The 16-character code: three letters of the surname, three of the
    // name, year, month letter, day (plus 40 for women), the municipality's
    // cadastral code ("H501", or "Z" + three digits for a foreign country)
    // and the control character. Letters outside A-Z (accents, apostrophes,
    // blanks) are dropped after upper-casing; accented vowels count as their
    // plain vowel. A missing name part is padded with "X". An invalid birth
    // date or a cadastral code that is not one letter and three digits
    // raises EConvertError.
    static QString build(const QString &surname, const QString &name, QDate birthDate, Sex sex,
                         const QString &cadastralCode);

    // The control character of the first 15 characters of a code.
    // EConvertError when they are not 15 letters and digits.
    static QChar controlCharacter(const QString &first15);

    // True for a 16-character code of the right shape whose last character
    // is the control character of the other fifteen. Upper case only; in
    // the positions of digits the letters L to V that stand for them when
    // two persons would share a code are allowed.
    static bool isValid(const QString &code);
    // True for eleven digits: the code of a company, or the provisional code
    // a person is given until the personal one is issued.
    static bool isNumeric(const QString &code);

    // The surname and name parts alone (three letters each).
    static QString surnamePart(const QString &surname);
    static QString namePart(const QString &name);
};

} // namespace payroll
