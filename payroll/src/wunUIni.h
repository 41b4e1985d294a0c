#pragma once
// A plain INI file read and written the way the programs' settings files
// were always treated: section and key names are found whatever the case of
// their letters, and a write changes only the one line it must (or adds
// it), keeping every other line of the file as it stands: other sections
// and keys, comments, blank lines, the spelling of names, the line ends and
// the bytes of text in any encoding.
//
//     [LIQ_CORRENTE2024]
//     GRUPPO=1
//     ; a comment
//     ID=3
//
// Lines are "[section]", "key=value" (blanks around the key and the value
// are not part of them) and comments starting with ';' or '#'. When a
// section or a key appears twice, the first one counts (for reading and
// writing alike). Keys before the first section belong to no section and
// are never found.
#include <QString>
#include <optional>

class TWunIniFile {
public:
    explicit TWunIniFile(QString fileName) : m_fileName(std::move(fileName)) {}
    const QString &FileName() const { return m_fileName; }

    // The value of the key, or nothing when the file, the section or the
    // key is missing (or the file cannot be read).
    std::optional<QString> Read(const QString &section, const QString &key) const;
    // The value as an integer: `defaultValue` when missing or not a number.
    int ReadInteger(const QString &section, const QString &key, int defaultValue = 0) const;

    // Writes the value: replaces the key's value where it stands, or adds
    // the key at the end of the section, or adds the section at the end of
    // the file; creates the file when missing (not its folder). The file is
    // replaced in one step (a failed write leaves the old file whole).
    // EUqError naming the file when it cannot be read or written.
    void Write(const QString &section, const QString &key, const QString &value) const;
    void WriteInteger(const QString &section, const QString &key, int value) const;

private:
    QString m_fileName;
};
