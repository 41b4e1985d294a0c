#include "tovCQueryText.h"

#include "DataSetFile.h"
#include "Exceptions.h"
#include "Format.h"
#include "SqlQuery.h"
#include "Services.h"
#include "TovUCdsUtil.h"
#include "TovUCert.h"
#include "UqMessages.h"
#include "UqQueryCollection.h"
#include "tovUExceptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QVariant>

using platform::DataSet;
using platform::Value;

namespace {
const QString FieldQuery = QStringLiteral("Query");
const QString FieldTipo = QStringLiteral("Tipo");
const QString FieldIndice = QStringLiteral("Indice");
const QString FieldSql = QStringLiteral("SQL");
const QString KindExecute = QStringLiteral("EXECUTE");
const QString CrLf = QStringLiteral("\r\n");
} // namespace

TTovQueryText::TTovQueryText() : DataSet(QStringLiteral("TovQueryText"))
{
    // The catalogue is read-only for the whole run.
    setReadOnly(true);
    // Any change but a move of the cursor makes the positions stale.
    m_observer = addObserver([this](const platform::DataChange &change) {
        if (change.kind != platform::DataChange::CursorMoved)
            m_positionsValid = false;
    });
}

TTovQueryText::~TTovQueryText()
{
    removeObserver(m_observer);
}

TTovQueryText &TovQueryText()
{
    static TTovQueryText catalogue;
    return catalogue;
}

// ---------------------------------------------------------------------------
// Loading

void TTovQueryText::LoadQueries(const QString &fileName)
{
    platform::DataSetFile::loadFromFile(*this, fileName, platform::DataSetFileFormat::Binary);
    if (m_checkCertificate) {
        m_certificate = TTovCert::FileCertificate(fileName);
        m_certificateFileName = TTovCds::ChangeFileExt(fileName, QStringLiteral(".unxc"));
    }
}

void TTovQueryText::CompileQueries(const QString &xmlFileName)
{
    platform::DataSetFile::loadFromFile(*this, xmlFileName, platform::DataSetFileFormat::Xml);

    const QString target = TTovCds::ChangeFileExt(xmlFileName, QStringLiteral(".cds"));
    const QFileInfo info(target);
    // A read-only target (no write permission for its owner) is a released
    // catalogue: it is never overwritten.
    if (!info.exists() || !(info.permissions() & QFileDevice::WriteOwner))
        return;

    platform::DataSetFile::saveToFile(*this, target, platform::DataSetFileFormat::Binary);
    TTovCert::WriteTextFile(TTovCert::FileCertificate(target),
                            TTovCds::ChangeFileExt(xmlFileName, QStringLiteral(".unxc")));
}

QString TTovQueryText::SourceFileName()
{
    return QStringLiteral(ZEP_QUERYTEXT_SOURCE);
}

QString TTovQueryText::CatalogueFileName()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../etc/wun/wun_QueryText.cds"));
}

// ---------------------------------------------------------------------------
// Lookups

namespace {

// A key's part as locate compares it: a null value apart from every text.
void textPart(const Value &v, QString &text, bool &null)
{
    null = v.isEmpty();
    text = null ? QString() : v.toString();
}

TTovQueryText::PositionKey positionKey(const Value &name, const Value &kind)
{
    TTovQueryText::PositionKey k;
    textPart(name, k.name, k.nameNull);
    textPart(kind, k.kind, k.kindNull);
    return k;
}

// The index is an integer field (see find), compared by value.
TTovQueryText::PositionKey positionKey(const Value &name, const Value &kind, const Value &index)
{
    TTovQueryText::PositionKey k = positionKey(name, kind);
    k.withIndex = true;
    k.indexNull = index.isEmpty();
    k.index = k.indexNull ? 0 : index.toInt();
    return k;
}

} // namespace

void TTovQueryText::buildPositions()
{
    m_positions.clear();
    const platform::Field *query = findField(FieldQuery);
    const platform::Field *tipo = findField(FieldTipo);
    const platform::Field *indice = findField(FieldIndice);
    const QList<platform::Bookmark> rows = rowBookmarks();
    auto first = [this](const PositionKey &key, int row) {
        if (!m_positions.contains(key))
            m_positions.insert(key, row);
    };
    for (int i = 0; i < rows.size(); ++i) {
        const Value name = rowValue(rows[i], query->index());
        const Value kind = rowValue(rows[i], tipo->index());
        first(positionKey(name, kind), i);
        if (indice)
            first(positionKey(name, kind, rowValue(rows[i], indice->index())), i);
    }
    m_positionsValid = true;
}

bool TTovQueryText::find(const QString &name, const QString &kind, const Value &index)
{
    if (!isActive() || !findField(FieldQuery) || !findField(FieldTipo))
        return false;
    const platform::Field *indice = findField(FieldIndice);
    if (!index.isUnassigned() && !indice)
        return false;
    // The catalogue is searched hundreds of times a person: by the
    // positions, when its fields are those of the catalogue (texts and an
    // integer index, compared as locate compares them) and its observers are
    // told of its changes; otherwise row by row.
    const bool indexed = !controlsDisabled() && findField(FieldQuery)->dataType() == platform::FieldType::String
                         && findField(FieldTipo)->dataType() == platform::FieldType::String
                         && (!indice || indice->dataType() == platform::FieldType::Integer)
                         && (index.isUnassigned() || index.type() == platform::ValueType::Integer);
    if (indexed) {
        checkBrowseMode();
        if (!m_positionsValid)
            buildPositions();
        const auto it = m_positions.constFind(index.isUnassigned() ? positionKey(Value(name), Value(kind))
                                                                   : positionKey(Value(name), Value(kind), index));
        if (it == m_positions.constEnd())
            return false;
        setRecNo(it.value() + 1);
        return true;
    }
    if (index.isUnassigned())
        return locate(FieldQuery + QLatin1Char(';') + FieldTipo, platform::ValueList{name, kind});
    return locate(FieldQuery + QLatin1Char(';') + FieldTipo + QLatin1Char(';') + FieldIndice,
                  platform::ValueList{name, kind, index});
}

bool TTovQueryText::findName(const QString &name)
{
    if (!isActive() || !findField(FieldQuery))
        return false;
    return locate(FieldQuery, Value(name));
}

QString TTovQueryText::currentSql() const
{
    const platform::Field *sql = findField(FieldSql);
    return sql ? sql->asString() : QString();
}

void TTovQueryText::checkAssigned(const QString &name, const QString &statement)
{
    ZEP_ASSERT(!statement.isEmpty(), QStringLiteral("Query: ") + name);
    m_lastOperation = name;
}

void TTovQueryText::AssignSQL(const QString &name, platform::SqlQuery &query, int index, const QString &kind,
                              const QString &appended)
{
    const QString upperName = name.toUpper();
    const QString effectiveKind = kind.isEmpty() ? KindExecute : kind;
    // The text is given once: the same text as before keeps the prepared
    // statement (a statement run for every row of a loop).
    const QString testo = find(upperName, effectiveKind, Value(index)) ? currentSql() : QString();
    query.setSql(testo.isEmpty() ? QString() : testo + appended);
    checkAssigned(upperName, query.sql());
}

void TTovQueryText::AssignCommand(const QString &name, DataSet &dataSet, const QString &kind)
{
    dataSet.setCommandText(QString());
    if (find(name, kind, Value())) {
        dataSet.setCommandText(currentSql());
        ParseParams(dataSet);
    }
    checkAssigned(name, dataSet.commandText());
}

QString TTovQueryText::GetSQL(const QString &name, const QString &kind)
{
    const QString sql = find(name, kind, Value()) ? currentSql() : QString();
    ZEP_ASSERT(!sql.isEmpty(), QStringLiteral("Query : ") + name);
    m_lastOperation = name;
    return sql;
}

// ---------------------------------------------------------------------------
// Parameters and formatted statements

void TTovQueryText::ParseParams(DataSet &dataSet)
{
    dataSet.params() = platform::Params::fromCommandText(dataSet.commandText());
}

void TTovQueryText::FormatSQL(DataSet &dataSet, const platform::ValueList &args)
{
    for (const Value &arg : args) {
        switch (arg.type()) {
        case platform::ValueType::Integer:
        case platform::ValueType::LargeInt: break;
        case platform::ValueType::Text: {
            const QString text = arg.toString();
            const bool unsafe = text.contains(QLatin1Char('\'')) || text.contains(QLatin1Char('"'))
                                || text.contains(QLatin1Char(';')) || text.contains(QLatin1String("--"))
                                || text.contains(QLatin1String("/*")) || text.contains(QLatin1String("*/"));
            ZEP_ASSERT(!unsafe, QStringLiteral("FormatSQL: frammento non ammesso: ") + text);
            break;
        }
        default:
            ZEP_ASSERT(false, QStringLiteral("FormatSQL: argomento non ammesso (%1), usare un parametro")
                                  .arg(arg.debugText()));
        }
    }
    dataSet.setCommandText(platform::format(dataSet.commandText(), args));
    ParseParams(dataSet);
}

QString TTovQueryText::LastOperation(const std::exception &error) const
{
    if (dynamic_cast<const ETovWarning *>(&error) || dynamic_cast<const platform::EAssertionFailed *>(&error)
        || m_lastOperation.isEmpty())
        return QString();
    return CrLf + QStringLiteral("Ultima operazione DB: ") + m_lastOperation;
}

// ---------------------------------------------------------------------------
// Certificate and version

QString TTovQueryText::CheckProgramMessage(const QString &title, const TovProgramInfo &program)
{
    // 1. Certificate: the kept certificate is used once.
    bool certificateOk = true;
    if (m_checkCertificate) {
        QString stored;
        try {
            stored = TTovCert::ReadTextFile(m_certificateFileName);
        } catch (const platform::Exception &) {
            stored.clear(); // an unreadable certificate file is a wrong one
        }
        certificateOk = stored == m_certificate + CrLf;
        m_certificate.clear();
    }
    if (!certificateOk) {
        QString message = QStringLiteral("Certificato query non trovato od errato.");
        if (!title.isEmpty())
            message += platform::format(QStringLiteral(" Aggiornare il programma \"%s\""), title);
        return message;
    }

    // 2. Minimum version from the row "VER_" + program file name.
    const QString row = QStringLiteral("VER_") + program.fileName.toUpper();
    QString minimum;
    bool versionOk = false;
    if (findName(row)) {
        const platform::Field *tipo = findField(FieldTipo);
        minimum = tipo ? tipo->asString() : QString();
        versionOk = VersionAtLeast(program.version, minimum);
    }
    if (versionOk)
        return QString();

    if (m_versionMessage == TovVersionMessage::Zep)
        return platform::format(QStringLiteral(
                                    "Versione query (%s) non congruente col programma (%s).%sAGGIORNARE IL PROGRAMMA."),
                                minimum, program.version, CrLf + CrLf);
    return platform::format(QStringLiteral("AGGIORNARE IL PROGRAMMA \"%s\".%sVersione minima richiesta: %s."),
                            program.applicationTitle, CrLf, minimum);
}

bool TTovQueryText::VersionAtLeast(const QString &version, const QString &minimum)
{
    if (version == minimum)
        return true;
    const QStringList v = version.split(QLatin1Char('.'));
    const QStringList m = minimum.split(QLatin1Char('.'));
    for (int part = 0; part < 3; ++part) {
        if (part >= v.size() || part >= m.size())
            return false;
        bool okV = false, okM = false;
        const int a = v[part].toInt(&okV);
        const int b = m[part].toInt(&okM);
        if (!okV || !okM)
            return false;
        if (a != b)
            return a > b;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Query collections and the running program's check

void TTovQueryText::AssignQueryCollection(const QString &name, TUqQueryCollection &collection)
{
    AssignCommand(name, collection, QStringLiteral("SELECT"));
    const struct {
        QString kind;
        QStringList *list;
    } lists[] = {
        {QStringLiteral("INSERT"), &collection.InsertSQL},
        {QStringLiteral("UPDATE"), &collection.UpdateSQL},
        {QStringLiteral("DELETE"), &collection.DeleteSQL},
    };
    for (const auto &l : lists) {
        l.list->clear();
        for (int index = 0; find(name, l.kind, Value(index)); ++index)
            l.list->append(currentSql());
    }
    checkAssigned(name, collection.commandText());
}

bool TTovQueryText::CheckProgram(const QString &title)
{
    TovProgramInfo program;
    program.fileName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    program.version = platform::programVersion();
    // The title a window program shows (the GUI application's display name,
    // which defaults to the application name), read as a property of the
    // application object: this module links no GUI library.
    const QCoreApplication *app = QCoreApplication::instance();
    const QVariant displayName = app ? app->property("applicationDisplayName") : QVariant();
    program.applicationTitle = displayName.isValid() ? displayName.toString() : QCoreApplication::applicationName();
    const QString message = CheckProgramMessage(title, program);
    if (message.isEmpty())
        return true;
    UqShowError(message);
    return false;
}
