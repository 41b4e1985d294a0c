#include "wunUIni.h"

#include "Exceptions.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QSaveFile>

namespace {

// The file split into lines; each line keeps its own end ("\n", "\r\n" or
// none for a last line without one).
QList<QByteArray> splitLines(const QByteArray &data)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype nl = data.indexOf('\n', start);
        const qsizetype end = nl < 0 ? data.size() : nl + 1;
        lines << data.mid(start, end - start);
        start = end;
    }
    return lines;
}

QByteArray body(const QByteArray &line)
{
    QByteArray b = line;
    while (b.endsWith('\n') || b.endsWith('\r'))
        b.chop(1);
    return b;
}

bool isComment(const QByteArray &trimmed)
{
    return trimmed.startsWith(';') || trimmed.startsWith('#');
}

// The section name of a "[name]" line.
std::optional<QString> sectionOf(const QByteArray &line)
{
    const QByteArray t = body(line).trimmed();
    if (t.size() < 2 || !t.startsWith('[') || !t.endsWith(']'))
        return std::nullopt;
    return QString::fromUtf8(t.mid(1, t.size() - 2).trimmed());
}

// The key of a "key=value" line.
std::optional<QString> keyOf(const QByteArray &line)
{
    const QByteArray t = body(line).trimmed();
    if (t.isEmpty() || isComment(t) || t.startsWith('['))
        return std::nullopt;
    const qsizetype eq = t.indexOf('=');
    if (eq <= 0)
        return std::nullopt;
    return QString::fromUtf8(t.left(eq).trimmed());
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Place {
    qsizetype section = -1;     // line of the section header
    qsizetype lastInSection = -1;  // last non-blank line of the section (the header when none)
    qsizetype key = -1;         // line of the key
};

Place find(const QList<QByteArray> &lines, const QString &section, const QString &key)
{
    Place p;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto s = sectionOf(lines[i])) {
            if (inSection)
                break;  // the first matching section ends here
            if (sameName(*s, section)) {
                inSection = true;
                p.section = p.lastInSection = i;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!body(lines[i]).trimmed().isEmpty())
            p.lastInSection = i;
        if (p.key < 0) {
            const auto k = keyOf(lines[i]);
            if (k && sameName(*k, key))
                p.key = i;
        }
    }
    return p;
}

QByteArray lineEnd(const QList<QByteArray> &lines)
{
    for (const QByteArray &l : lines)
        if (l.endsWith("\r\n"))
            return QByteArrayLiteral("\r\n");
    return QByteArrayLiteral("\n");
}

} // namespace

std::optional<QString> TWunIniFile::Read(const QString &section, const QString &key) const
{
    QFile f(m_fileName);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> lines = splitLines(f.readAll());
    const Place p = find(lines, section, key);
    if (p.key < 0)
        return std::nullopt;
    const QByteArray t = body(lines[p.key]).trimmed();
    return QString::fromUtf8(t.mid(t.indexOf('=') + 1).trimmed());
}

int TWunIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    const auto text = Read(section, key);
    if (!text)
        return defaultValue;
    bool ok = false;
    const int v = text->toInt(&ok);
    return ok ? v : defaultValue;
}

void TWunIniFile::Write(const QString &section, const QString &key, const QString &value) const
{
    const QString shown = QDir::toNativeSeparators(m_fileName);
    QByteArray data;
    {
        QFile f(m_fileName);
        if (f.exists()) {
            if (!f.open(QIODevice::ReadOnly))
                throw EUqError(QStringLiteral("Impossibile leggere il file \"%1\": %2").arg(shown, f.errorString()));
            data = f.readAll();
        }
    }
    QList<QByteArray> lines = splitLines(data);
    const QByteArray eol = lineEnd(lines);
    const Place p = find(lines, section, key);

    if (p.key >= 0) {
        // Keep the key as it is spelled and the line's own end.
        const QByteArray old = lines[p.key];
        const QByteArray ending = old.mid(body(old).size());
        const QByteArray b = body(old);
        lines[p.key] = b.left(b.indexOf('=') + 1) + value.toUtf8() + ending;
    } else {
        const QByteArray entry = key.toUtf8() + '=' + value.toUtf8() + eol;
        if (p.section >= 0) {
            if (!lines[p.lastInSection].endsWith('\n'))
                lines[p.lastInSection] += eol;  // the file's last line had no end
            lines.insert(p.lastInSection + 1, entry);
        } else {
            if (!lines.isEmpty() && !lines.last().endsWith('\n'))
                lines.last() += eol;
            if (!lines.isEmpty() && !body(lines.last()).trimmed().isEmpty())
                lines << eol;
            lines << ('[' + section.toUtf8() + ']' + eol) << entry;
        }
    }

    QSaveFile out(m_fileName);
    if (!out.open(QIODevice::WriteOnly))
        throw EUqError(QStringLiteral("Impossibile scrivere il file \"%1\": %2").arg(shown, out.errorString()));
    for (const QByteArray &l : lines)
        out.write(l);
    if (!out.commit())
        throw EUqError(QStringLiteral("Impossibile scrivere il file \"%1\": %2").arg(shown, out.errorString()));
}

void TWunIniFile::WriteInteger(const QString &section, const QString &key, int value) const
{
    Write(section, key, QString::number(value));
}
