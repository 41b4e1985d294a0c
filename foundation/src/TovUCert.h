#pragma once
// One-line text files and certificates: the certificate of the named-SQL
// catalogue is a keyed transform of the catalogue file, kept beside it in a
// file with the extension ".unxc".
#include <QString>

class TTovCert {
public:
    // Key of the certificate transform; the compile step and the check use
    // the same one.
    static inline const QString Key = QStringLiteral("ToRiVeLaMo");

    // The file's lines, each ended by CR LF (a last line without a line
    // break gets one), read as UTF-8; the empty text when the file does not
    // exist. A file that exists and cannot be read raises platform::Exception.
    static QString ReadTextFile(const QString &fileName);
    // Writes the text as the lines of a text file, each ended by CR LF,
    // replacing the file only once the whole content is written. Raises
    // platform::Exception naming the file on failure.
    static void WriteTextFile(const QString &text, const QString &fileName);
    // The certificate of a text: one line of 32 letters.
    static QString TextCertificate(const QString &text);
    // The certificate of a file's content read as lines, each ended by CR LF.
    // Bytes are taken one for one (Latin-1), so a binary file is covered
    // whole. A missing or unreadable file raises platform::Exception.
    static QString FileCertificate(const QString &fileName);
};
