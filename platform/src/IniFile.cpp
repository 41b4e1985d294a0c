#include "IniFile.h"

#include "Exceptions.h"
#include "Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

namespace {

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

// The line without its end, without blanks around it and without the
// byte-order mark that some editors put at the start of a file.
QByteArray content(const QByteArray &line)
{
    qsizetype n = line.size();
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r'))
        --n;
    const qsizetype bom = line.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    return line.mid(bom, n - bom).trimmed();
}

bool isComment(const QByteArray &t)
{
    return t.startsWith(';') || t.startsWith('#');
}

std::optional<QString> sectionOf(const QByteArray &t)
{
    if (t.size() < 2 || !t.startsWith('[') || !t.endsWith(']'))
        return std::nullopt;
    return QString::fromUtf8(t.mid(1, t.size() - 2).trimmed());
}

// The position of the "=" of a "key=value" line, or -1.
qsizetype equalsOf(const QByteArray &t)
{
    if (t.isEmpty() || isComment(t) || t.startsWith('['))
        return -1;
    const qsizetype eq = t.indexOf('=');
    return eq > 0 ? eq : -1;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(const QString &s)
{
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

bool hasBlanksAround(const QString &s)
{
    return s.size() != s.trimmed().size();
}

// Why the name or value cannot be written; empty when it can.
QString refusal(const QString &section, const QString &key, const QString &value)
{
    if (hasLineBreak(section))
        return QStringLiteral("il nome della sezione \"%1\" contiene un a capo").arg(section);
    if (hasBlanksAround(section))
        return QStringLiteral("il nome della sezione \"%1\" inizia o finisce con uno spazio").arg(section);
    if (key.isEmpty())
        return QStringLiteral("chiave vuota nella sezione \"%1\"").arg(section);
    if (hasLineBreak(key))
        return QStringLiteral("la chiave \"%1\" contiene un a capo").arg(key);
    if (hasBlanksAround(key))
        return QStringLiteral("la chiave \"%1\" inizia o finisce con uno spazio").arg(key);
    if (key.contains(QLatin1Char('=')))
        return QStringLiteral("la chiave \"%1\" contiene il carattere \"=\"").arg(key);
    if (key.startsWith(QLatin1Char(';')) || key.startsWith(QLatin1Char('#')) || key.startsWith(QLatin1Char('[')))
        return QStringLiteral("la chiave \"%1\" inizia con \"%2\"").arg(key, key.left(1));
    if (hasLineBreak(value))
        return QStringLiteral("il valore della chiave \"%1\" contiene un a capo").arg(key);
    if (hasBlanksAround(value))
        return QStringLiteral("il valore della chiave \"%1\" inizia o finisce con uno spazio").arg(key);
    return {};
}

} // namespace

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName))
{
    const QFileInfo info(m_fileName);
    if (!info.exists())
        return;
    QFile f(m_fileName);
    if (!info.isFile() || !f.open(QIODevice::ReadOnly))
        throw EUqError(QStringLiteral("Impossibile leggere il file \"%1\": %2")
                           .arg(QDir::toNativeSeparators(m_fileName),
                                info.isFile() ? f.errorString() : QStringLiteral("non è un file")));
    m_lines = splitLines(f.readAll());
}

IniFile IniFile::blank(QString fileName)
{
    IniFile ini;
    ini.m_fileName = std::move(fileName);
    return ini;
}

IniFile::Place IniFile::find(const QString &section, const QString &key) const
{
    Place p;
    bool inSection = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QByteArray t = content(m_lines[i]);
        if (const auto s = sectionOf(t)) {
            if (inSection)
                break; // the first matching section ends here
            if (sameName(*s, section)) {
                inSection = true;
                p.section = p.lastInSection = i;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!t.isEmpty())
            p.lastInSection = i;
        const qsizetype eq = equalsOf(t);
        if (p.key < 0 && eq > 0 && sameName(QString::fromUtf8(t.left(eq).trimmed()), key))
            p.key = i;
    }
    return p;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const Place p = find(section, key);
    if (p.key < 0)
        return std::nullopt;
    const QByteArray t = content(m_lines[p.key]);
    return QString::fromUtf8(t.mid(t.indexOf('=') + 1).trimmed());
}

int IniFile::intValue(const QString &section, const QString &key, int defaultValue) const
{
    const auto text = value(section, key);
    if (!text)
        return defaultValue;
    bool ok = false;
    const int v = text->toInt(&ok);
    return ok ? v : defaultValue;
}

QList<IniFile::Entry> IniFile::entries() const
{
    QList<Entry> out;
    std::optional<QString> section;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QByteArray t = content(m_lines[i]);
        if (const auto s = sectionOf(t)) {
            section = s;
            continue;
        }
        const qsizetype eq = equalsOf(t);
        if (section && eq > 0)
            out << Entry{*section, QString::fromUtf8(t.left(eq).trimmed()), QString::fromUtf8(t.mid(eq + 1).trimmed()),
                         int(i + 1)};
    }
    return out;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString why = refusal(section, key, value);
    if (!why.isEmpty())
        throw EUqError(
            QStringLiteral("Impossibile scrivere nel file \"%1\": %2.").arg(QDir::toNativeSeparators(m_fileName), why));

    QByteArray eol = QByteArrayLiteral("\n");
    for (const QByteArray &l : std::as_const(m_lines))
        if (l.endsWith("\r\n")) {
            eol = QByteArrayLiteral("\r\n");
            break;
        }
    const Place p = find(section, key);
    if (p.key >= 0) {
        // Keep the key as it is spelled, the blanks before it and the
        // line's own end.
        QByteArray &line = m_lines[p.key];
        qsizetype end = line.size();
        while (end > 0 && (line[end - 1] == '\n' || line[end - 1] == '\r'))
            --end;
        line = line.left(line.indexOf('=') + 1) + value.toUtf8() + line.mid(end);
        return;
    }
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8() + eol;
    if (p.section >= 0) {
        if (!m_lines[p.lastInSection].endsWith('\n'))
            m_lines[p.lastInSection] += eol; // the file's last line had no end
        m_lines.insert(p.lastInSection + 1, entry);
        return;
    }
    if (!m_lines.isEmpty() && !m_lines.last().endsWith('\n'))
        m_lines.last() += eol;
    if (!m_lines.isEmpty() && !content(m_lines.last()).isEmpty())
        m_lines << eol;
    m_lines << ('[' + section.toUtf8() + ']' + eol) << entry;
}

void IniFile::setIntValue(const QString &section, const QString &key, int value)
{
    setValue(section, key, QString::number(value));
}

void IniFile::save() const
{
    QSaveFile out(m_fileName);
    bool ok = out.open(QIODevice::WriteOnly);
    for (qsizetype i = 0; ok && i < m_lines.size(); ++i)
        ok = out.write(m_lines[i]) == m_lines[i].size();
    if (!ok || !commitSaveFile(out))
        throw EUqError(QStringLiteral("Impossibile scrivere il file \"%1\": %2")
                           .arg(QDir::toNativeSeparators(m_fileName), out.errorString()));
}

void IniFile::write(const QString &fileName, const QString &section, const QString &key, const QString &value)
{
    IniFile ini(fileName);
    ini.setValue(section, key, value);
    ini.save();
}

} // namespace platform
