#include "ArchiveTestSupport.h"

#include "SearchStatement.h"
#include "WunCDBES.h"

#include "DataSetFile.h"
#include "Format.h"
#include "SqlQuery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <stdexcept>

namespace archivetest {

QString sourcePath(const QString &relative)
{
    const QString root = QStringLiteral(ZEP_TEST_SOURCE_DIR);
    return QDir(root).filePath(relative);
}

QString readText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(("cannot read " + path).toStdString());
    return QString::fromUtf8(f.readAll());
}

namespace {

// Statements of the catalogue source, in the platform's XML dataset form.
QList<NamedStatement> sourceStatements()
{
    const QString path = sourcePath(QStringLiteral("etc/wun/wun_QueryText.xml"));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(("cannot read " + path).toStdString());
    const platform::DataSetContent content = platform::DataSetFile::decode(f.readAll(), path,
                                                                           platform::DataSetFileFormat::Xml);
    int query = -1, kind = -1, index = -1, sql = -1;
    for (int i = 0; i < content.fieldDefs.size(); ++i) {
        const QString n = content.fieldDefs[i].name.toUpper();
        if (n == QStringLiteral("QUERY"))
            query = i;
        if (n == QStringLiteral("TIPO"))
            kind = i;
        if (n == QStringLiteral("INDICE"))
            index = i;
        if (n == QStringLiteral("SQL"))
            sql = i;
    }
    if (query < 0 || kind < 0 || index < 0 || sql < 0)
        throw std::runtime_error("the catalogue source lacks Query, Tipo, Indice or SQL");
    QList<NamedStatement> out;
    for (const platform::ValueList &row : content.rows) {
        const QString name = row.value(query).toString();
        if (name.startsWith(QStringLiteral("VER_"))) // minimum program versions
            continue;
        out.append(
            NamedStatement{name, row.value(kind).toString(), row.value(index).toInt(), row.value(sql).toString()});
    }
    return out;
}

} // namespace

QList<NamedStatement> catalogueStatements()
{
    return sourceStatements();
}

namespace {

QString collapse(QString text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.replace(blanks, QStringLiteral(" ")).trimmed();
}

} // namespace

QList<TableDef> tablesFromScripts(const QList<platform::DdlScript> &scripts)
{
    static const QRegularExpression table(QStringLiteral("CREATE TABLE (\\w+) \\((.*?)\\n\\);"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression pk(QStringLiteral("^CONSTRAINT \\w+ PRIMARY KEY \\((\\w+)\\)$"));
    static const QRegularExpression fk(
        QStringLiteral("^CONSTRAINT \\w+ FOREIGN KEY \\((\\w+)\\) REFERENCES (\\w+) \\(\\w+\\)( ON DELETE CASCADE)?$"));
    static const QRegularExpression column(QStringLiteral("^(\\w+) (.+)$"));
    static const QRegularExpression sequence(QStringLiteral("CREATE SEQUENCE (\\w+);"));
    QList<TableDef> out;
    QMap<QString, QString> generators;
    for (const platform::DdlScript &s : scripts) {
        auto seqs = sequence.globalMatch(s.text);
        while (seqs.hasNext()) {
            const QString g = seqs.next().captured(1);
            generators[g.mid(4)] = g;
        }
        auto it = table.globalMatch(s.text);
        while (it.hasNext()) {
            const auto m = it.next();
            TableDef t{m.captured(1), s.name, QString(), {}};
            QMap<QString, QString> keys;
            for (QString line : m.captured(2).split(QLatin1Char('\n'))) {
                line = collapse(line);
                if (line.endsWith(QLatin1Char(',')))
                    line.chop(1);
                if (line.isEmpty() || line.startsWith(QStringLiteral("--")))
                    continue;
                if (const auto p = pk.match(line); p.hasMatch()) {
                    keys[p.captured(1)] = QStringLiteral("PK");
                } else if (const auto f = fk.match(line); f.hasMatch()) {
                    keys[f.captured(1)] = QStringLiteral("FK ") + f.captured(2)
                                          + (f.captured(3).isEmpty() ? QString() : QStringLiteral(" (cascade)"));
                } else if (line.startsWith(QStringLiteral("CONSTRAINT "))) {
                    continue;
                } else if (const auto c = column.match(line); c.hasMatch()) {
                    t.columns.append(ColumnDef{c.captured(1), c.captured(2), QString()});
                }
            }
            for (ColumnDef &c : t.columns)
                c.key = keys.value(c.name);
            out.append(t);
        }
        // Columns a later script adds to a table of an earlier one, with
        // their foreign keys.
        static const QRegularExpression aggiunta(
            QStringLiteral("ALTER TABLE (\\w+) ADD (?!CONSTRAINT )(\\w+) ([^;]+);"));
        static const QRegularExpression chiave(QStringLiteral(
            "ALTER TABLE (\\w+) ADD CONSTRAINT \\w+ FOREIGN KEY \\((\\w+)\\) REFERENCES (\\w+) \\(\\w+\\);"));
        const auto tabella = [&out](const QString &nome) -> TableDef * {
            for (TableDef &t : out)
                if (t.name == nome)
                    return &t;
            return nullptr;
        };
        for (auto a = aggiunta.globalMatch(s.text); a.hasNext();) {
            const auto m = a.next();
            if (TableDef *t = tabella(m.captured(1)))
                t->columns.append(ColumnDef{m.captured(2), collapse(m.captured(3)), QString()});
        }
        for (auto k = chiave.globalMatch(s.text); k.hasNext();) {
            const auto m = k.next();
            if (TableDef *t = tabella(m.captured(1)))
                for (ColumnDef &c : t->columns)
                    if (c.name == m.captured(2))
                        c.key = QStringLiteral("FK ") + m.captured(3);
        }
    }
    for (TableDef &t : out)
        t.generator = generators.value(t.name);
    return out;
}

QList<TableDef> tablesFromDocument(const QString &markdown)
{
    static const QRegularExpression heading(QStringLiteral("^### (T\\w+)$"));
    static const QRegularExpression info(QStringLiteral("script `([^`]+)`, key `\\w+` from generator `(\\w+)`"));
    static const QRegularExpression row(QStringLiteral("^\\| `(\\w+)` \\| ([^|]+) \\| ([^|]*) \\|"));
    QList<TableDef> out;
    for (const QString &line : markdown.split(QLatin1Char('\n'))) {
        if (const auto h = heading.match(line); h.hasMatch()) {
            out.append(TableDef{h.captured(1), QString(), QString(), {}});
            continue;
        }
        if (!out.isEmpty() && line.startsWith(QStringLiteral("## ")))
            break; // the tables section is over
        if (out.isEmpty())
            continue;
        if (const auto i = info.match(line); i.hasMatch() && out.last().script.isEmpty()) {
            out.last().script = i.captured(1);
            out.last().generator = i.captured(2);
        } else if (const auto r = row.match(line); r.hasMatch()) {
            out.last().columns.append(ColumnDef{r.captured(1), collapse(r.captured(2)), collapse(r.captured(3))});
        }
    }
    return out;
}

QMap<QString, QString> documentedStatementParameters(const QString &markdown)
{
    static const QRegularExpression row(QStringLiteral("^\\| `(QRY_\\w+)` \\| [^|]* \\| ([^|]*) \\|"));
    QMap<QString, QString> out;
    for (const QString &line : markdown.split(QLatin1Char('\n'))) {
        if (const auto r = row.match(line); r.hasMatch())
            out[r.captured(1)] = r.captured(2);
    }
    return out;
}

std::unique_ptr<TempDatabase> archiveDatabase(const QList<platform::DdlScript> &scripts)
{
    return std::make_unique<TempDatabase>(TempDatabase::Scripts{scripts});
}

QStringList tableNames(platform::Database &db)
{
    platform::SqlQuery q(db);
    q.setSql(QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) AS N FROM RDB$RELATIONS "
                            "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1"));
    QStringList out;
    for (q.open(); !q.eof(); q.next())
        out << q.value(0).toString();
    return out;
}

QStringList sequenceNames(platform::Database &db)
{
    platform::SqlQuery q(db);
    q.setSql(QStringLiteral("SELECT TRIM(RDB$GENERATOR_NAME) AS N FROM RDB$GENERATORS "
                            "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1"));
    QStringList out;
    for (q.open(); !q.eof(); q.next())
        out << q.value(0).toString();
    return out;
}

QString prepareError(platform::Database &db, const QString &sql)
{
    platform::SqlQuery q(db);
    try {
        q.setSql(sql);
        q.prepare();
    } catch (const platform::EDatabaseError &e) {
        return e.message();
    }
    return QString();
}

QStringList formattedForPrepare(const NamedStatement &statement)
{
    QString text = statement.sql;
    // Quoted placeholders are dates written by the caller as 'mm/dd/yyyy'.
    text.replace(QStringLiteral("'%s'"), QStringLiteral("'12/31/2024'"));
    text.replace(QStringLiteral("%d"), QStringLiteral("0"));
    QStringList variants;
    // Statements whose arguments are names or lists the text cannot do
    // without: the arguments their callers pass.
    static const QMap<QString, QStringList> argomenti{
        {QStringLiteral("QRY_VACR_CORM_INS"), {QStringLiteral("0"), QStringLiteral("NULL")}},
        {QStringLiteral("QRY_VAPE_VARD_SUM"), {QStringLiteral("IREGSID"), QStringLiteral("8")}},
        {QStringLiteral("QRY_CUD_ASSENZE"), {QStringLiteral("8")}},
        {QStringLiteral("QRY_VARM_VARR"), {QStringLiteral("RICE.LRICEFONDAMENTALI=1")}},
        {QStringLiteral("QRY_VAPE_VARD_VAL"), {QStringLiteral("VAPE.IVARMID=:IVARMID")}},
        {QStringLiteral("QRY_EMENS_VACR"), {QStringLiteral("ICOMRID IN (10001, 10002)")}},
        {QStringLiteral("QRY_EMENS_COLL"), {QStringLiteral("11,15")}},
        {QStringLiteral("QRY_EMENS_SOMME_INPS"), {QStringLiteral("11,10,14,15")}},
        {QStringLiteral("QRY_ANF_IMPORTO"), {QStringLiteral("12")}},
        // The pay-period grid on a pay register, with one reduction kind.
        {QStringLiteral("QRY_VAPE"),
         {QStringLiteral(",1 AS ITACOID01,CAST(NULL AS INTEGER) AS IVARDID01,CAST(0 As  NUMERIC(11,2)) As "
                         "IVARDGIORNIORE01"),
          QStringLiteral("TREGS_REGISTROSTIP REGS ON REGS.IREGSID=VAPE.IREGSID"),
          QStringLiteral("REGS.IREGSID=:IREGSID")}},
        {QStringLiteral("QRY_DMA_VACR"), {QStringLiteral("10001,10002,10021,10034,10049,10053,10055,10071,10056")}},
        {QStringLiteral("QRY_DMA_VACR_VARR"),
         {QStringLiteral("10001,10002,10021,10034,10049,10053,10055,10071,10056")}},
        {QStringLiteral("QRY_DMA_REGS_VARR"),
         {QStringLiteral("10001,10002,10021,10034,10049,10053,10055,10071,10056")}},
    };
    if (statement.kind == QStringLiteral("RICERCA")) {
        // A search text as the search form fills it, and as a frame's
        // search cuts it.
        variants << platform::fillSearchStatement(statement.sql)
                 << platform::fillSearchStatement(TWunDBES::TestoCerca(statement.sql));
    } else if (argomenti.contains(statement.name) && statement.sql.contains(QStringLiteral("%s"))) {
        platform::ValueList args;
        for (const QString &a : argomenti.value(statement.name))
            args.append(platform::Value(a));
        variants << platform::format(statement.sql, args);
    } else if (statement.name == QStringLiteral("QRY_VAPE_GIORNI")) {
        // The owner's alias and table, then the condition on it.
        for (const auto &[alias, tabella] :
             {std::pair{"REGS", "TREGS_REGISTROSTIP"}, std::pair{"VARM", "TVARM_VARIAZIONI"}})
            variants << platform::format(QString(statement.sql)
                                             .replace(QStringLiteral("%ALIAS%"), QLatin1String(alias))
                                             .replace(QStringLiteral("%TABELLA%"), QLatin1String(tabella)),
                                         {platform::Value(QStringLiteral("%1.I%1ID=0").arg(QLatin1String(alias)))});
    } else if (statement.name == QStringLiteral("QRY_YRPT")) {
        // The one argument is "=" (rewrite the same version) or empty.
        variants << QString(text).replace(QStringLiteral("%s"), QStringLiteral("="))
                 << QString(text).replace(QStringLiteral("%s"), QString());
    } else {
        variants << text.replace(QStringLiteral("%s"), QString());
    }
    for (QString &v : variants) {
        v.replace(QStringLiteral("%%"), QStringLiteral("%"));
        // A condition fragment is appended by its caller to a statement on
        // the pay register.
        if (v.trimmed().startsWith(QStringLiteral("AND ")))
            v = QStringLiteral("SELECT COUNT(*) FROM TREGS_REGISTROSTIP REGS WHERE 1 = 1") + v;
    }
    return variants;
}

} // namespace archivetest
