#include "UqConnection.h"

#include "Services.h"
#include "UqMessages.h"

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
            if (QFileInfo::exists(file)) {
                settings = ConnectionSettings::load(file, mainFolder() + QStringLiteral("bin"));
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
        UqShowException(e);
        return false;
    }
}
