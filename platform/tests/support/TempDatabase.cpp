#include "TempDatabase.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <stdexcept>

namespace {

// The templates of this build of the test program: a folder named by the
// program file's path, time and size. The folders of its earlier builds go
// when the first test of a new build makes its own.
QString templateFolder()
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    QCryptographicHash stamp(QCryptographicHash::Sha1);
    stamp.addData(QFile::encodeName(program.absoluteFilePath()) + '\0'
                  + QByteArray::number(program.lastModified().toMSecsSinceEpoch()) + '\0'
                  + QByteArray::number(program.size()));
    const QDir root(QStringLiteral(ZEP_TEST_BUILD_DIR "/Testing/Templates"));
    const QString prefix = program.fileName() + QLatin1Char('-');
    const QString own = prefix + QString::fromLatin1(stamp.result().toHex().left(16));
    if (!root.exists(own)) {
        for (const QString &earlier : root.entryList({prefix + QLatin1Char('*')}, QDir::Dirs))
            if (earlier != own)
                QDir(root.filePath(earlier)).removeRecursively();
        if (!root.mkpath(own))
            throw std::runtime_error("cannot create the folder of the template databases");
    }
    return root.filePath(own);
}

// Builds the template in a file of this process's own, then renames it into
// place: another process sees the whole file or none.
void buildTemplate(const QString &file, const TempDatabase::Template &made)
{
    const QString part = file + QStringLiteral(".%1.part").arg(QCoreApplication::applicationPid());
    platform::ConnectionSettings settings;
    settings.database = part;
    QFile::remove(part);
    try {
        platform::DatabaseCreator::createDatabaseFile(settings);
        platform::DatabaseCreator::setForcedWrites(settings, false);
        platform::Database db(settings);
        db.open();
        platform::DatabaseCreator(made.scripts).upgrade(db);
        if (made.fill)
            made.fill(db);
        db.close();
    } catch (...) {
        QFile::remove(part);
        throw;
    }
    if (!QFile::rename(part, file)) {
        QFile::remove(part);
        throw std::runtime_error("cannot put the template database in place: " + file.toStdString());
    }
}

} // namespace

void TempDatabase::ensureLockFolder()
{
    if (!qEnvironmentVariableIsEmpty("FIREBIRD_LOCK"))
        return;
    // One folder for the whole process: the engine reads the variable once.
    static QTemporaryDir lockDir(QDir::tempPath() + QStringLiteral("/zep-fblock-XXXXXX"));
    if (!lockDir.isValid())
        throw std::runtime_error("cannot create a Firebird lock folder");
    qputenv("FIREBIRD_LOCK", QFile::encodeName(lockDir.path()));
}

TempDatabase::TempDatabase(const QStringList &statements)
{
    create();
    for (const QString &s : statements)
        m_db->execute(s);
}

TempDatabase::TempDatabase(const Scripts &scripts)
{
    copyOf(Template{scripts.scripts, {}, {}});
}

TempDatabase::TempDatabase(const Template &made)
{
    copyOf(made);
}

TempDatabase::~TempDatabase()
{
    if (platform::Database::global() == m_db.get())
        platform::Database::setGlobal(nullptr);
    m_db.reset();
}

void TempDatabase::create()
{
    ensureLockFolder();
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder for the test database");
    m_filePath = m_dir.filePath(QStringLiteral("test.fdb"));
    platform::DatabaseCreator::createDatabaseFile(settings());
    // A test database need not survive a power cut; without forced writes
    // building a schema takes a fraction of the time.
    platform::DatabaseCreator::setForcedWrites(settings(), false);
    m_db = std::make_unique<platform::Database>(settings());
    m_db->open();
}

void TempDatabase::copyOf(const Template &made)
{
    ensureLockFolder();
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder for the test database");
    QCryptographicHash key(QCryptographicHash::Sha1);
    for (const platform::DdlScript &s : made.scripts)
        key.addData(s.series.toUtf8() + '\0' + QByteArray::number(s.number) + '\0' + s.name.toUtf8() + '\0'
                    + s.text.toUtf8() + '\0');
    key.addData(made.name.toUtf8());
    const QString file = QDir(templateFolder()).filePath(QString::fromLatin1(key.result().toHex()) + ".fdb");
    if (!QFileInfo::exists(file)) {
        QLockFile lock(file + QStringLiteral(".lock"));
        lock.setStaleLockTime(0); // a long build is no stale lock: only a dead holder's is
        if (!lock.lock())
            throw std::runtime_error("cannot lock the template database " + file.toStdString());
        if (!QFileInfo::exists(file))
            buildTemplate(file, made);
    }
    m_filePath = m_dir.filePath(QStringLiteral("test.fdb"));
    if (!QFile::copy(file, m_filePath))
        throw std::runtime_error("cannot copy the template database " + file.toStdString());
    QFile::setPermissions(m_filePath, QFile::ReadOwner | QFile::WriteOwner);
    m_db = std::make_unique<platform::Database>(settings());
    m_db->open();
}

platform::ConnectionSettings TempDatabase::settings() const
{
    platform::ConnectionSettings s;
    s.database = m_filePath;
    return s;
}

QList<platform::DdlScript> TempDatabase::projectScripts(const QString &library)
{
    const QString root = QStringLiteral(ZEP_TEST_SOURCE_DIR);
    return platform::DatabaseCreator::scriptsFromFolder(QDir(root).filePath(library + QStringLiteral("/sql")), library);
}
