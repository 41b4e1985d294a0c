#include "TovUCert.h"

#include "Exceptions.h"
#include "Krypto.h"
#include "Paths.h"

#include <QFile>
#include <QSaveFile>

namespace {

// The content as a list of lines joined again with CR LF after every line:
// CR LF, LF and a lone CR all end a line; an empty content has no line.
QString normaliseLines(const QString &content)
{
    QString out;
    out.reserve(content.size() + content.size() / 16 + 2);
    qsizetype i = 0;
    const qsizetype n = content.size();
    while (i < n) {
        qsizetype j = i;
        while (j < n && content[j] != QLatin1Char('\r') && content[j] != QLatin1Char('\n'))
            ++j;
        out += QStringView(content).mid(i, j - i);
        out += QLatin1String("\r\n");
        if (j < n && content[j] == QLatin1Char('\r') && j + 1 < n && content[j + 1] == QLatin1Char('\n'))
            j += 2;
        else if (j < n)
            ++j;
        i = j;
    }
    return out;
}

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Exception(
            QStringLiteral("Impossibile leggere il file \"%1\": %2").arg(fileName, file.errorString()));
    return file.readAll();
}

} // namespace

QString TTovCert::ReadTextFile(const QString &fileName)
{
    if (!QFile::exists(fileName))
        return QString();
    return normaliseLines(QString::fromUtf8(readAll(fileName)));
}

void TTovCert::WriteTextFile(const QString &text, const QString &fileName)
{
    QSaveFile file(fileName);
    const QByteArray bytes = normaliseLines(text).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !platform::commitSaveFile(file))
        throw platform::Exception(
            QStringLiteral("Impossibile scrivere il file \"%1\": %2").arg(fileName, file.errorString()));
}

QString TTovCert::TextCertificate(const QString &text)
{
    QString result;
    Krypto(text, Key, 32, result, QLatin1Char('Z'), QLatin1Char('A'));
    return result;
}

QString TTovCert::FileCertificate(const QString &fileName)
{
    return TextCertificate(normaliseLines(QString::fromLatin1(readAll(fileName))));
}
