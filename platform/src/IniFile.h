#pragma once
// The INI files of the installation (the connection file, the parameter
// manager's areas, the payroll settings "WunPar.ini", "Aggiornamenti.ini",
// "UniEmens.ini"),
// read and written the way the programs' settings files were always
// treated:
//
//     ; a comment
//     [LIQ_CORRENTE2024]
//     GRUPPO=1
//     ID=3
//
// - A line is "[section]", "key=value", a comment (its first non-blank
//   character is ';' or '#'), or blank. Any other line is ignored. A ';'
//   after a value is part of the value: there are no comments at the end
//   of a line.
// - Blanks around a section name, a key and a value are not part of them,
//   nor is a byte-order mark at the start of the file.
// - Section and key names are found whatever the case of their letters.
//   When a section or a key appears twice, the first one counts (for
//   reading and writing alike); keys before the first section belong to no
//   section and are never found ("[]" is the section with the empty name).
// - A write changes only the one line it must (or adds it) and keeps every
//   other line as it stands: other sections and keys, comments, blank
//   lines, the spelling of names, the line ends and the bytes of text in
//   any encoding. Names and values are read and written as UTF-8.
// - A write refuses what could not be read back or would add lines: a
//   section or key with blanks around it or a line break in it, an empty
//   key, a key with "=" in it or starting with ';', '#' or '[', a value
//   with a line break or with blanks around it.
//
// An IniFile is the file's content at the time it was read: reading again
// (another IniFile) sees what others wrote since.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace platform {

class IniFile {
public:
    // Reads the file; a missing file is an empty one. EUqError naming the
    // file when it exists and cannot be read.
    explicit IniFile(QString fileName);
    // An empty content for the file, which is not read: save() writes only
    // what is set.
    static IniFile blank(QString fileName);

    const QString &fileName() const { return m_fileName; }

    // The value of the key; nothing when the section or the key is missing.
    std::optional<QString> value(const QString &section, const QString &key) const;
    // The value as an integer: `defaultValue` when missing or not a number.
    int intValue(const QString &section, const QString &key, int defaultValue = 0) const;

    // Every "key=value" line in file order, with its section and its line
    // number (from 1); twins included.
    struct Entry {
        QString section;
        QString key;
        QString value;
        int line = 0;
    };
    QList<Entry> entries() const;

    // Sets the value in the content read: replaces the key's value where
    // it stands, or adds the key at the end of its section, or adds the
    // section at the end of the file. EUqError with the reason for a name
    // or a value that could not be read back (see above).
    void setValue(const QString &section, const QString &key, const QString &value);
    void setIntValue(const QString &section, const QString &key, int value);

    // Writes the content to the file, replaced in one step (a failed write
    // leaves the old file whole); creates the file when missing, not its
    // folder. EUqError naming the file when it cannot be written.
    void save() const;

    // Reads the file, sets one value and saves it.
    static void write(const QString &fileName, const QString &section, const QString &key, const QString &value);

private:
    IniFile() = default;
    struct Place {
        qsizetype section = -1;       // line of the section header
        qsizetype lastInSection = -1; // last non-blank line of the section (the header when none)
        qsizetype key = -1;           // line of the key
    };
    Place find(const QString &section, const QString &key) const;

    QString m_fileName;
    QList<QByteArray> m_lines; // each with its own end ("\n", "\r\n", none for a last line without one)
};

} // namespace platform
