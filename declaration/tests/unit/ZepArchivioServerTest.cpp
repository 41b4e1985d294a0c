// A shared office archive on a Firebird server: a server of its own started
// on 127.0.0.1 (its folder, port, user database and SYSDBA password), the
// demo archive put in its data folder, and two workstations importing
// different persons of one month into it at the same time, as two processes
// reading user and password from their connection file. Every person must
// come out as a lone import makes it, and no row number may be given twice.
//
// The server program is the one of the Debian package firebird3.0-server
// (/usr/sbin/firebird), or the one named by ZEP_FIREBIRD_SERVER; where there
// is none, or it cannot be started, the test is skipped and says why.
#include "ZepDemoDeclarationSupport.h"

#include "Database.h"

#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>

using namespace demotest;

namespace {

const QString Password = QStringLiteral("prova27");

// A Firebird server in a folder of its own, stopped with the object.
class Server {
public:
    // Empty when it listens; else why not.
    QString Avvia()
    {
        QString programma = qEnvironmentVariable("ZEP_FIREBIRD_SERVER");
        if (programma.isEmpty())
            programma = QStringLiteral("/usr/sbin/firebird");
        if (!QFileInfo(programma).isExecutable())
            return QStringLiteral("no Firebird server program (%1; install firebird3.0-server or set "
                                  "ZEP_FIREBIRD_SERVER)")
                .arg(programma);
        const QString sistema = QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0");
        if (!QFileInfo(sistema + QStringLiteral("/plugins")).isDir())
            return QStringLiteral("no Firebird plugins in %1").arg(sistema);
        {
            QTcpServer libera;
            if (!libera.listen(QHostAddress::LocalHost))
                return QStringLiteral("no free port on 127.0.0.1");
            m_porta = libera.serverPort();
        }
        QDir().mkpath(path(QStringLiteral("lock")));
        QDir().mkpath(path(QStringLiteral("data")));
        for (const char *f : {"firebird.msg", "intl", "plugins", "plugins.conf", "lib"})
            QFile::link(sistema + QLatin1Char('/') + QLatin1String(f), path(QLatin1String(f)));
        QFile conf(path(QStringLiteral("firebird.conf")));
        if (!conf.open(QIODevice::WriteOnly))
            return conf.errorString();
        conf.write(QStringLiteral("RemoteServicePort = %1\nRemoteBindAddress = 127.0.0.1\nSecurityDatabase = %2\n"
                                  "ServerMode = Super\nAuthServer = Srp\nUserManager = Srp\nIpcName = zep_%1\n")
                       .arg(m_porta)
                       .arg(path(QStringLiteral("security3.fdb")))
                       .toUtf8());
        conf.close();

        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("FIREBIRD"), m_cartella.path());
        ambiente.insert(QStringLiteral("FIREBIRD_LOCK"), path(QStringLiteral("lock")));
        // The server's users: SYSDBA with the password of the test.
        QFile init(path(QStringLiteral("init.sql")));
        init.open(QIODevice::WriteOnly);
        init.write(QStringLiteral("CREATE DATABASE '%1';\nCREATE USER SYSDBA PASSWORD '%2' USING PLUGIN Srp;\n"
                                  "COMMIT;\n")
                       .arg(path(QStringLiteral("security3.fdb")), Password)
                       .toUtf8());
        init.close();
        const Esito utenti = esegui(QStringLiteral("isql-fb"),
                                    {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                     QStringLiteral("-i"), init.fileName()},
                                    ambiente);
        if (utenti.codice != 0)
            return QStringLiteral("the server's user database could not be made: ") + utenti.uscita + utenti.errori;

        m_server.setProcessEnvironment(ambiente);
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(programma, {});
        if (!m_server.waitForStarted(30'000))
            return QStringLiteral("the server did not start: ") + m_server.errorString();
        // Up when it takes a connection (a bounded wait).
        for (int i = 0; i < 300 && m_server.state() == QProcess::Running; ++i) {
            QTcpSocket prova;
            prova.connectToHost(QHostAddress::LocalHost, m_porta);
            if (prova.waitForConnected(100))
                return QString();
            m_server.waitForFinished(100);
        }
        return QStringLiteral("the server does not listen: ") + QString::fromLocal8Bit(m_server.readAll());
    }

    ~Server()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.kill();
            m_server.waitForFinished();
        }
    }
    // Stopped: the archive is free for an embedded connection.
    void Ferma()
    {
        m_server.kill();
        m_server.waitForFinished();
    }

    QString path(const QString &relative) const { return m_cartella.path() + QLatin1Char('/') + relative; }
    // "127.0.0.1/port:" + the path of a file in the server's folder.
    QString Remoto(const QString &relative) const
    {
        return QStringLiteral("127.0.0.1/%1:%2").arg(m_porta).arg(path(relative));
    }

private:
    QTemporaryDir m_cartella;
    QProcess m_server;
    quint16 m_porta = 0;
};

} // namespace

TEST(ZepArchivioServer, TwoWorkstationsImportDifferentPersonsIntoOneArchiveAtOnce)
{
    Server server;
    const QString perche = server.Avvia();
    if (!perche.isEmpty())
        GTEST_SKIP() << "No Firebird server could be started here: " << perche.toStdString();

    // The office's archive, put in the server's folder before anyone opens
    // it there; a copy of it is the lone import's. March 2023: a month in
    // which the import refuses no demo person (from 2024 the demo mother's
    // relief is refused and ends the run).
    Installazione inst;
    ASSERT_EQ(inst.CreaArchivio(24, QStringLiteral("2023-03"), QStringLiteral("2023-03")), QString());
    const QString solo = inst.Archivio();
    ASSERT_TRUE(QFile::copy(solo, server.path(QStringLiteral("archivio.fdb"))));
    const Esito lone = inst.Dichiara(solo, QStringLiteral("2023-03"), QString());
    ASSERT_EQ(lone.codice, 0) << lone.uscita.toStdString() << lone.errori.toStdString();
    const QMap<QString, QStringList> attese = Tabelle(solo, 2023, 3).RighePerPersona();
    ASSERT_GE(attese.size(), 10);

    // Two workstations, each with its installation; each keeps user and
    // password in its connection file.
    platform::ConnectionSettings s;
    s.database = server.Remoto(QStringLiteral("archivio.fdb"));
    s.password = Password;
    Installazione altra;
    for (const Installazione *i : {&inst, &altra})
        s.save(i->path(QStringLiteral("etc/wun/Database.ini")));

    // The office at work: the archive opened once (its first opening brings
    // it up to date); then the candidates split in two runs of the list,
    // imported at once.
    const Esito primo = esegui(inst.programma(), {QStringLiteral("--archive"), s.database, QStringLiteral("--period"),
                                                  QStringLiteral("2023-03"), QStringLiteral("--solo-periodo")});
    ASSERT_EQ(primo.codice, 0) << primo.uscita.toStdString() << primo.errori.toStdString();
    const int meta = attese.size() / 2 + 1;
    QProcess postazioni[2];
    const QStringList persone{QStringLiteral("1-%1").arg(meta), QStringLiteral("%1-9999").arg(meta + 1)};
    for (int i = 0; i < 2; ++i)
        postazioni[i].start((i == 0 ? inst : altra).programma(),
                            {QStringLiteral("--archive"), s.database, QStringLiteral("--period"),
                             QStringLiteral("2023-03"), QStringLiteral("--persone"), persone[i]});
    for (QProcess &p : postazioni) {
        ASSERT_TRUE(p.waitForFinished(600'000));
        const QByteArray uscita = p.readAllStandardOutput() + p.readAllStandardError();
        EXPECT_EQ(p.exitCode(), 0) << uscita.constData();
        EXPECT_FALSE(uscita.contains(Password.toUtf8())) << "the password is never shown";
    }
    server.Ferma();

    // Every person as the lone import made it, every row number once.
    const QString condiviso = server.path(QStringLiteral("archivio.fdb"));
    Tabelle t(condiviso, 2023, 3);
    EXPECT_EQ(t.RighePerPersona(), attese);
    platform::DataSet righe;
    t.Carica(righe, QStringLiteral("TEMD_DIPENDENTI"));
    QSet<int> numeri;
    for (righe.first(); !righe.eof(); righe.next())
        numeri.insert(righe.fieldByName(QStringLiteral("iFisRigo")).asInteger());
    EXPECT_EQ(numeri.size(), righe.recordCount()) << "a row number given twice";
}
