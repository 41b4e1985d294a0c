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
// platform::ConnectionSettings for its keys); without it (nothing at its
// name: a link to a missing file is refused, not taken for no file) the
// defaults open the embedded archive <main folder>/data/zep.fdb. With a schema given
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
    // Settings given directly take precedence over any file; `fromFile`
    // names the connection file they were read from, for the messages.
    void SetSettings(const platform::ConnectionSettings &settings, const QString &fromFile = {})
    {
        m_settings = settings;
        m_settingsFile = fromFile;
    }
    void SetSchema(const platform::DatabaseCreator &schema) { m_schema = schema; }

    // Connects (before-connect check, settings, open, creation or upgrade
    // with a schema). True when connected; on failure the error is shown
    // through the message service, the connection stays closed and the
    // answer is false.
    bool OpenConnection();
    bool Connected() const { return m_db->isOpen(); }
    void CloseConnection() { m_db->close(); }

protected:
    // Shows a failure of the open, or of the first statements a subclass
    // runs on the archive right after it (its upgrade): a user without
    // rights on the archive is told so, naming the user and the connection
    // file that names it; the engine's text follows.
    void ShowOpenFailure(const std::exception &error) const;

private:
    std::unique_ptr<platform::Database> m_db;
    QString m_connectionFile;
    QString m_settingsFile; // the file the settings in use were read from
    std::optional<platform::ConnectionSettings> m_settings;
    std::optional<platform::DatabaseCreator> m_schema;
};
