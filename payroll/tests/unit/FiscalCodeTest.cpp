#include "archive/FiscalCode.h"

#include "Exceptions.h"

#include <gtest/gtest.h>

using payroll::FiscalCode;

TEST(FiscalCode, ControlCharacterOfKnownCodes)
{
    // Codes whose control character is published with them.
    EXPECT_EQ(FiscalCode::controlCharacter("RSSMRA85T10A562"), QChar('S'));
    EXPECT_TRUE(FiscalCode::isValid("RSSMRA85T10A562S"));
    EXPECT_FALSE(FiscalCode::isValid("RSSMRA85T10A562T"));
}

// Letters L to V stand for digits in the positions of digits only, and the
// control character is that of the code as it is written.
TEST(FiscalCode, LettersInPlaceOfDigits)
{
    const struct {
        const char *code;
        bool valid;
    } cases[] = {
        {"RSSMRA85T10A56NH", true},  // the last digit of the place
        {"RSSMRAURTMLARSNL", true},  // every digit
        {"RSSMRA85T10A56NS", false}, // the control character of the digits' form
        {"RSSMRA8AT10A562S", false}, // A stands for no digit
        {"RSSMRA85N10A562S", false}, // and N for a digit, not for a month
    };
    for (const auto &c : cases)
        EXPECT_EQ(FiscalCode::isValid(QString::fromLatin1(c.code)), c.valid) << c.code;
    EXPECT_TRUE(FiscalCode::isNumeric("01234567890"));
    for (const char *code : {"0123456789", "012345678901", "0123456789A", "RSSMRA85T10A562S"})
        EXPECT_FALSE(FiscalCode::isNumeric(QString::fromLatin1(code))) << code;
}

TEST(FiscalCode, NameAndSurnameParts)
{
    EXPECT_EQ(FiscalCode::surnamePart("Rossi"), "RSS");
    EXPECT_EQ(FiscalCode::surnamePart("Fo"), "FOX");
    EXPECT_EQ(FiscalCode::surnamePart("De Luca"), "DLC");
    EXPECT_EQ(FiscalCode::surnamePart("D'Alò"), "DLA");
    EXPECT_EQ(FiscalCode::namePart("Mario"), "MRA");
    // Four or more consonants: first, third and fourth.
    EXPECT_EQ(FiscalCode::namePart("Gianfranco"), "GFR");
    EXPECT_EQ(FiscalCode::namePart("Ugo"), "GUO");
    EXPECT_EQ(FiscalCode::namePart("Ida"), "DIA");
}

TEST(FiscalCode, BuildsDateAndPlace)
{
    const QString man = FiscalCode::build("Rossi", "Mario", QDate(1985, 12, 10), FiscalCode::Sex::Male, "A562");
    EXPECT_EQ(man, "RSSMRA85T10A562S");
    const QString woman = FiscalCode::build("Bianchi", "Anna", QDate(1990, 2, 5), FiscalCode::Sex::Female, "H501");
    EXPECT_EQ(woman.left(15), "BNCNNA90B45H501");
    EXPECT_TRUE(FiscalCode::isValid(woman));
    // Born abroad: the country's code in place of the municipality.
    EXPECT_TRUE(
        FiscalCode::isValid(FiscalCode::build("Popescu", "Ion", QDate(1979, 7, 31), FiscalCode::Sex::Male, "Z129")));
}

TEST(FiscalCode, RefusesWhatIsNotACode)
{
    EXPECT_THROW(FiscalCode::build("Rossi", "Mario", QDate(), FiscalCode::Sex::Male, "H501"), platform::EConvertError);
    EXPECT_THROW(FiscalCode::build("Rossi", "Mario", QDate(1980, 1, 1), FiscalCode::Sex::Male, "ROMA"),
                 platform::EConvertError);
    EXPECT_THROW(FiscalCode::controlCharacter("RSSMRA85T10"), platform::EConvertError);
    EXPECT_FALSE(FiscalCode::isValid(""));
    EXPECT_FALSE(FiscalCode::isValid("rssmra85t10a562s"));
    EXPECT_FALSE(FiscalCode::isValid("RSSMRA85Z10A562S")); // Z is no month
}
