#include "UqConnection.h"

#include "Services.h"
#include "UqMessages.h"

#include <QDir>
#include <QFileInfo>

using namespace platform;

TdmUqConnection::TdmUqConnection(QObject *parent) : QObject(parent), m_db(std::make_unique<Database>()) {}

TdmUqConnection::~TdmUqConnection()
{
    if (Database::global() == m_db.get())
        Database::setGlobal(nullptr);
}

QString TdmUqConnection::DefaultConnectionFile()
{
    return mainFolder() + QStringLiteral("etc/wun/Database.ini");
}

void TdmUqConnection::DataModuleCreate()
{
    Database::setGlobal(m_db.get());
}

bool TdmUqConnection::OpenConnection()
{
    try {
        if (BeforeConnect)
            BeforeConnect();
        if (m_db->isOpen())
            return true;
        ConnectionSettings settings;
        if (m_settings) {
            settings = *m_settings;
        } else {
            const QString file = m_connectionFile.isEmpty() ? DefaultConnectionFile() : m_connectionFile;
            m_settingsFile.clear();
            if (ConnectionSettings::isPresent(file)) {
                settings = ConnectionSettings::load(file, mainFolder() + QStringLiteral("bin"));
                m_settingsFile = file;
            } else {
                settings = ConnectionSettings();
                settings.database = mainFolder() + QStringLiteral("data/zep.fdb");
            }
        }
        m_db->setSettings(settings);
        if (m_schema) {
            m_schema->createOrUpgrade(*m_db);
        } else {
            m_db->open();
        }
        return true;
    } catch (const std::exception &e) {
        m_db->close();
        ShowOpenFailure(e);
        return false;
    }
}

void TdmUqConnection::ShowOpenFailure(const std::exception &error) const
{
    const QString engine = QString::fromUtf8(error.what());
    // The engine's words when the login is accepted but the user was
    // granted nothing on the archive's tables.
    if (!engine.contains(QLatin1String("no permission for"), Qt::CaseInsensitive)) {
        UqShowException(error);
        return;
    }
    const ConnectionSettings &s = m_db->settings();
    const QString archive = s.isRemote() ? s.database : QDir::toNativeSeparators(s.database);
    const bool file = !m_settingsFile.isEmpty();
    const QString who = file ? QStringLiteral(" indicato nel file di configurazione della connessione %1")
                                   .arg(QDir::toNativeSeparators(m_settingsFile))
                             : QString();
    UqShowError(
        QStringLiteral("L'utente \"%1\"%2 non ha i permessi per usare l'archivio \"%3\". Indicare %4un "
                       "utente abilitato o chiedere all'amministratore del database di concedergli i "
                       "permessi.\n\n%5")
            .arg(s.user, who, archive, file ? QStringLiteral("nel file (User= e Password=) ") : QString(), engine));
}
