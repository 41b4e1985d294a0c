#include "archive/FiscalCode.h"

#include "Exceptions.h"

#include <QRegularExpression>

namespace payroll {

namespace {

// Upper-cased letters A-Z of a text, accented vowels read as plain ones.
QString lettersOf(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D).toUpper();
    QString out;
    for (QChar c : decomposed) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            out.append(c);
    }
    return out;
}

bool isVowel(QChar c)
{
    return QStringLiteral("AEIOU").contains(c);
}

void split(const QString &letters, QString &consonants, QString &vowels)
{
    for (QChar c : letters)
        (isVowel(c) ? vowels : consonants).append(c);
}

QString padded(QString part)
{
    while (part.size() < 3)
        part.append(QLatin1Char('X'));
    return part.left(3);
}

// Values of a character in an odd (1st, 3rd, ...) position.
int oddValue(QChar c)
{
    static const int table[26] = {1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                                  20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
    const int index = c.isDigit() ? c.digitValue() : c.unicode() - 'A';
    return table[index];
}

// Values of a character in an even position.
int evenValue(QChar c)
{
    return c.isDigit() ? c.digitValue() : c.unicode() - 'A';
}

// The personal form; where a digit stands, one of the letters L to V that
// the office puts in its place when two persons would share a code
// ("omocodia": L for 0, M for 1, ... V for 9) may stand instead.
const QRegularExpression &shape()
{
    static const QRegularExpression re(
        QStringLiteral("^[A-Z]{6}[0-9LMNPQRSTUV]{2}[ABCDEHLMPRST][0-9LMNPQRSTUV]{2}[A-Z][0-9LMNPQRSTUV]{3}[A-Z]$"));
    return re;
}

} // namespace

QString FiscalCode::surnamePart(const QString &surname)
{
    QString consonants, vowels;
    split(lettersOf(surname), consonants, vowels);
    return padded(consonants + vowels);
}

QString FiscalCode::namePart(const QString &name)
{
    QString consonants, vowels;
    split(lettersOf(name), consonants, vowels);
    if (consonants.size() >= 4)
        return QString(consonants[0]) + consonants[2] + consonants[3];
    return padded(consonants + vowels);
}

QChar FiscalCode::controlCharacter(const QString &first15)
{
    static const QRegularExpression re(QStringLiteral("^[A-Z0-9]{15}$"));
    if (!re.match(first15).hasMatch())
        throw platform::EConvertError(QStringLiteral("'%1' non è l'inizio di un codice fiscale").arg(first15));
    int sum = 0;
    for (int i = 0; i < 15; ++i)
        sum += (i % 2 == 0) ? oddValue(first15[i]) : evenValue(first15[i]);
    return QChar('A' + sum % 26);
}

QString FiscalCode::build(const QString &surname, const QString &name, QDate birthDate, Sex sex,
                          const QString &cadastralCode)
{
    if (!birthDate.isValid())
        throw platform::EConvertError(QStringLiteral("Data di nascita non valida"));
    static const QRegularExpression place(QStringLiteral("^[A-Z][0-9]{3}$"));
    if (!place.match(cadastralCode).hasMatch())
        throw platform::EConvertError(QStringLiteral("Codice catastale non valido: '%1'").arg(cadastralCode));
    static const char months[] = "ABCDEHLMPRST";
    const int day = birthDate.day() + (sex == Sex::Female ? 40 : 0);
    QString code = surnamePart(surname) + namePart(name)
                   + QStringLiteral("%1").arg(birthDate.year() % 100, 2, 10, QLatin1Char('0'))
                   + QLatin1Char(months[birthDate.month() - 1]) + QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0'))
                   + cadastralCode;
    return code + controlCharacter(code);
}

bool FiscalCode::isValid(const QString &code)
{
    if (!shape().match(code).hasMatch())
        return false;
    return controlCharacter(code.left(15)) == code[15];
}

bool FiscalCode::isNumeric(const QString &code)
{
    static const QRegularExpression re(QStringLiteral("^[0-9]{11}$"));
    return re.match(code).hasMatch();
}

} // namespace payroll
