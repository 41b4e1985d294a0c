#pragma once
// The framework's connection module base: owns the program's connection
// (xqoMain), reads its settings from the connection file, makes it the
// global connection and opens it on request.
//
//     class TdmwunConnessione : public TdmUqConnection { ... };
//     conn.DataModuleCreate();            // settings read, global connection set
//     if (!conn.OpenConnection()) ...     // false: the user was told why
//
// The connection file is <main folder>/etc/wun/Database.ini (see
// platform::ConnectionSettings for its keys); without it the defaults open
// the embedded archive <main folder>/data/zep.fdb. With a schema given
// (SetSchema), OpenConnection creates a missing local archive and upgrades
// an older one before it reports success; a newer archive is refused.
#include "Database.h"
#include "DatabaseCreator.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class TdmUqConnection : public QObject {
    Q_OBJECT
public:
    explicit TdmUqConnection(QObject *parent = nullptr);
    ~TdmUqConnection() override;

    // The connection component.
    platform::Database &xqoMain() { return *m_db; }

    // Application code and the database version the program expects.
    QString CodAppl;
    QString DBVersion;
    // Runs before every connect; an exception it raises stops the connect
    // (OpenConnection then shows it and answers false).
    std::function<void()> BeforeConnect;

    // The framework's creation: reads the settings (the connection file, or
    // the defaults) and makes xqoMain the global connection. Subclasses
    // call it first from their own creation.
    virtual void DataModuleCreate();

    // Where the settings come from; by default the file named above.
    static QString DefaultConnectionFile();
    void SetConnectionFile(const QString &fileName) { m_connectionFile = fileName; }
    // Settings given directly take precedence over any file.
    void SetSettings(const platform::ConnectionSettings &settings) { m_settings = settings; }
    void SetSchema(const platform::DatabaseCreator &schema) { m_schema = schema; }

    // Connects (before-connect check, settings, open, creation or upgrade
    // with a schema). True when connected; on failure the error is shown
    // through the message service, the connection stays closed and the
    // answer is false.
    bool OpenConnection();
    bool Connected() const { return m_db->isOpen(); }
    void CloseConnection() { m_db->close(); }

private:
    std::unique_ptr<platform::Database> m_db;
    QString m_connectionFile;
    std::optional<platform::ConnectionSettings> m_settings;
    std::optional<platform::DatabaseCreator> m_schema;
};
