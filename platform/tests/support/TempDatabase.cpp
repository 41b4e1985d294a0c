#include "TempDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <stdexcept>


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
    create();
    platform::DatabaseCreator(scripts.scripts).upgrade(*m_db);
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
