// The INI files: names found whatever their case, writes that keep every
// other line, names and values that could not be read back refused.
#include "Exceptions.h"
#include "IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::IniFile;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath("WunPar.ini"); }

    void put(const QByteArray &data) const
    {
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(data);
    }
    QByteArray bytes() const
    {
        QFile f(file());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    void write(const QString &section, const QString &key, const QString &value) const
    {
        IniFile::write(file(), section, key, value);
    }
};

TEST_F(IniFileTest, SectionsAndKeysAreFoundWhateverTheirCase)
{
    put("; impostazioni\r\nX=0\r\n[liq_corrente2024]\r\n gruppo = 3 \r\nId=12\r\nriga senza uguale\r\n\r\n"
        "[LIQ_CORRENTE2025]\r\nMESE=4\r\n# MESE=5\r\nNota=a ; b\r\n");
    const IniFile ini(file());
    EXPECT_EQ(ini.intValue("LIQ_CORRENTE2024", "GRUPPO"), 3);
    EXPECT_EQ(ini.intValue("Liq_Corrente2024", "id"), 12);
    EXPECT_EQ(ini.intValue("LIQ_CORRENTE2024", "MESE", -1), -1) << "the key of another section is not seen";
    EXPECT_EQ(ini.intValue("liq_corrente2025", "mese"), 4);
    EXPECT_EQ(ini.value("LIQ_CORRENTE2025", "NOTA"), QString("a ; b")) << "no comments at the end of a line";
    EXPECT_FALSE(ini.value("LIQ_CORRENTE2023", "GRUPPO").has_value());
    EXPECT_FALSE(ini.value("", "X").has_value()) << "a key before the first section belongs to none";
    EXPECT_FALSE(IniFile(dir.filePath("manca.ini")).value("A", "B").has_value());

    QStringList seen;
    for (const IniFile::Entry &e : ini.entries())
        seen << QString("%1:%2=%3@%4").arg(e.section, e.key, e.value).arg(e.line);
    EXPECT_EQ(seen, QStringList({"liq_corrente2024:gruppo=3@4", "liq_corrente2024:Id=12@5", "LIQ_CORRENTE2025:MESE=4@9",
                                 "LIQ_CORRENTE2025:Nota=a ; b@11"}));
}

TEST_F(IniFileTest, AValueThatIsNoNumberReadsAsTheDefault)
{
    put("[S]\nA=abc\nB=\nC=7\n");
    const IniFile ini(file());
    EXPECT_EQ(ini.intValue("S", "A"), 0);
    EXPECT_EQ(ini.intValue("S", "B", 5), 5);
    EXPECT_EQ(ini.intValue("S", "C"), 7);
    EXPECT_EQ(ini.value("S", "B"), QString());

    // A key added to a last line without its end.
    put("[S]\nA=1");
    write("s", "B", "2");
    EXPECT_EQ(bytes(), QByteArray("[S]\nA=1\nB=2\n"));
}

TEST_F(IniFileTest, AWriteChangesOnlyItsLineAndKeepsTheRest)
{
    const QByteArray before = "; impostazioni\r\n[Altro]\r\nChiave=valore è\r\n\r\n[liq_corrente2024]\r\n"
                              "gruppo=3\r\n# nota\r\n  Id = 12\r\n\r\n[Fine]\r\nX=1";
    put(before);
    write("LIQ_CORRENTE2024", "ID", "15");
    QByteArray expected = before;
    expected.replace("Id = 12", "Id =15");
    EXPECT_EQ(bytes().toStdString(), expected.toStdString());

    // A new key goes at the end of its section, before the blank line.
    write("LIQ_CORRENTE2024", "MESE", "11");
    expected.replace("Id =15\r\n", "Id =15\r\nMESE=11\r\n");
    EXPECT_EQ(bytes().toStdString(), expected.toStdString());

    // A new section goes at the end of the file, after a blank line; the
    // file's last line gets its line end.
    write("LIQ_CORRENTE2025", "GRUPPO", "2");
    expected += "\r\n\r\n[LIQ_CORRENTE2025]\r\nGRUPPO=2\r\n";
    EXPECT_EQ(bytes().toStdString(), expected.toStdString());
    EXPECT_EQ(IniFile(file()).intValue("liq_corrente2025", "gruppo"), 2);
}

TEST_F(IniFileTest, AccentedNamesAndTwinsAndTheEmptySection)
{
    write(QStringLiteral("Società"), QStringLiteral("Attività"), QStringLiteral("sì"));
    write(QStringLiteral("SOCIETÀ"), QStringLiteral("ATTIVITÀ"), QStringLiteral("no"));
    EXPECT_EQ(IniFile(file()).value(QStringLiteral("società"), QStringLiteral("attività")), QStringLiteral("no"));
    EXPECT_EQ(bytes(), QString("[Società]\nAttività=no\n").toUtf8()) << "the second write found the first";

    put("[S]\nA=1\na=2\n[s]\nA=3\n");
    EXPECT_EQ(IniFile(file()).intValue("S", "A"), 1);
    write("s", "a", "9");
    EXPECT_EQ(bytes(), QByteArray("[S]\nA=9\na=2\n[s]\nA=3\n"));

    IniFile ini = IniFile::blank(file());
    ini.setValue("", "N", "x");
    ini.save();
    EXPECT_EQ(bytes(), QByteArray("[]\nN=x\n"));
    EXPECT_EQ(IniFile(file()).value("", "n"), QString("x"));
}

TEST_F(IniFileTest, WhatCouldNotBeReadBackIsRefusedAndTheFileKept)
{
    put("[S]\nA=1\n");
    const struct {
        const char *section, *key, *value, *reason;
    } cases[] = {
        {" S", "A", "1", "il nome della sezione \" S\" inizia o finisce con uno spazio"},
        {"S\t", "A", "1", "il nome della sezione \"S\t\" inizia o finisce con uno spazio"},
        {"S]\n[T", "A", "1", "il nome della sezione \"S]\n[T\" contiene un a capo"},
        {"S", " A", "1", "la chiave \" A\" inizia o finisce con uno spazio"},
        {"S", "A\r\nB", "1", "la chiave \"A\r\nB\" contiene un a capo"},
        {"S", "", "1", "chiave vuota nella sezione \"S\""},
        {"S", "A=B", "1", "la chiave \"A=B\" contiene il carattere \"=\""},
        {"S", ";A", "1", "la chiave \";A\" inizia con \";\""},
        {"S", "[A]", "1", "la chiave \"[A]\" inizia con \"[\""},
        {"S", "A", "1\n[T]\nB=2", "il valore della chiave \"A\" contiene un a capo"},
        {"S", "A", "1\r", "il valore della chiave \"A\" contiene un a capo"},
        {"S", "A", "1 ", "il valore della chiave \"A\" inizia o finisce con uno spazio"},
    };
    for (const auto &c : cases) {
        try {
            write(c.section, c.key, c.value);
            ADD_FAILURE() << "written: " << c.section << "/" << c.key << "/" << c.value;
        } catch (const EUqError &e) {
            EXPECT_EQ(e.message(), QString("Impossibile scrivere nel file \"%1\": %2.")
                                       .arg(QDir::toNativeSeparators(file()), QString::fromUtf8(c.reason)));
        }
    }
    EXPECT_EQ(bytes(), QByteArray("[S]\nA=1\n"));
    write("S", "A", "");
    EXPECT_EQ(bytes(), QByteArray("[S]\nA=\n")) << "an empty value is no refusal";
}

TEST_F(IniFileTest, AFileThatCannotBeReadOrWrittenIsNamed)
{
    write("LIQ_CORRENTE2024", "GRUPPO", "1");
    EXPECT_EQ(bytes(), QByteArray("[LIQ_CORRENTE2024]\nGRUPPO=1\n")) << "a missing file is created";

    const QString inMissingFolder = dir.filePath("manca/WunPar.ini");
    const QString aFolder = dir.filePath("cartella.ini");
    ASSERT_TRUE(QDir().mkpath(aFolder));
    for (const QString &name : {inMissingFolder, aFolder}) {
        try {
            IniFile::write(name, "S", "A", "1");
            ADD_FAILURE() << "written: " << name.toStdString();
        } catch (const EUqError &e) {
            EXPECT_TRUE(e.message().contains("\"" + QDir::toNativeSeparators(name) + "\"")) << e.what();
        }
    }
}

} // namespace
