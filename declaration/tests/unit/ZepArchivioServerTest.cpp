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

#include "ZepCDma.h"

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

namespace {

// How the two workstations of a trial work on the same month, with the same
// persons, started at the same moment.
struct StessoMese {
    const char *nome;
    QStringList opzioni; // beyond archive, period and file
    bool file;           // each writes the month's file
    bool uccisa;         // the first is killed inside the third person of its "Importa"
    int prove;
    bool incontro; // one is told, in some trial, that the other holds the month (runs long enough)
};

const StessoMese StessiMesi[] = {
    // Each import of each workstation takes the month in turn.
    {"ImportsOnly", {QStringLiteral("--iscritti-fpls"), QStringLiteral("--ex-dma")}, false, false, 12, false},
    // Each run holds the month from its first import to its file.
    {"ImportsCompletionAndFile",
     {QStringLiteral("--iscritti-fpls"), QStringLiteral("--ex-dma"), QStringLiteral("--completa-demo")},
     true,
     false,
     12,
     true},
    // The holder dies: the other is not kept waiting.
    {"TheFirstKilledInItsImport",
     {QStringLiteral("--iscritti-fpls"), QStringLiteral("--ex-dma"), QStringLiteral("--completa-demo")},
     true,
     true,
     4,
     false},
};

void PrintTo(const StessoMese &caso, std::ostream *os)
{
    *os << caso.nome;
}

class ZepArchivioServerSameMonth : public ::testing::TestWithParam<StessoMese> {};

} // namespace

// Two workstations importing the same month of the same persons at the same
// moment, with every import the demo tool runs ("Importa", "Importa iscritti
// FPLS", "Importa (ex Dma)"; then the completion and the file), again and
// again on a fresh copy of the archive: every person once in every table,
// each run successful (unless killed), each file as the lone run's.
TEST_P(ZepArchivioServerSameMonth, EveryPersonIsImportedOnceAndEachFileIsTheLoneRuns)
{
    const StessoMese &caso = GetParam();
    Server server;
    const QString perche = server.Avvia();
    if (!perche.isEmpty())
        GTEST_SKIP() << "No Firebird server could be started here: " << perche.toStdString();

    const QString periodo = QStringLiteral("2026-12");
    // The persons' tables of every import first.
    const QStringList tabelle{QStringLiteral("TEMD_DIPENDENTI"),
                              QStringLiteral("TEMC_COLLABORATORI"),
                              QStringLiteral("TEFE_FPLSEXENPALS"),
                              TZepDma::TabellaD0,
                              TZepDma::TabellaE0,
                              TZepDma::TabellaE1,
                              TZepDma::TabellaV1,
                              QStringLiteral("TEMA_DENAZIENDALE"),
                              TZepParametri::TabellaDichiarante};
    const auto righe = [&](Tabelle &&t) {
        QMap<QString, std::string> r;
        for (const QString &tabella : tabelle)
            r[tabella] = t.Righe(tabella).join(QLatin1Char('\n')).toStdString();
        return r;
    };
    const auto leggi = [](const QString &file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const auto argomenti = [&](const QString &archivio, const QString &file) {
        QStringList a{QStringLiteral("--archive"), archivio, QStringLiteral("--period"), periodo};
        if (caso.file)
            a << QStringLiteral("--output") << file;
        return a + caso.opzioni;
    };

    // The archive as made (30 persons: every kind, the public-sector ones
    // among them), and the lone run of the month on a copy of it.
    Installazione inst;
    ASSERT_EQ(inst.CreaArchivio(30, periodo, periodo), QString());
    const QString solo = inst.path(QStringLiteral("data/solo.fdb"));
    ASSERT_TRUE(QFile::copy(inst.Archivio(), solo));
    const Esito lone = esegui(inst.programma(), argomenti(solo, inst.path(QStringLiteral("out/solo.xml"))));
    ASSERT_EQ(lone.codice, 0) << lone.uscita.toStdString() << lone.errori.toStdString();
    const QMap<QString, std::string> attese = righe(Tabelle(solo, 2026, 12));
    for (const QString &tabella : tabelle.mid(0, 4))
        ASSERT_FALSE(attese.value(tabella).empty()) << tabella.toStdString();
    const QByteArray fileAtteso = leggi(inst.path(QStringLiteral("out/solo.xml")));
    ASSERT_EQ(fileAtteso.isEmpty(), !caso.file);

    platform::ConnectionSettings s;
    s.database = server.Remoto(QStringLiteral("archivio.fdb"));
    s.password = Password;
    Installazione altra;
    for (const Installazione *i : {&inst, &altra})
        s.save(i->path(QStringLiteral("etc/wun/Database.ini")));

    // Enough trials to catch a fault seen in 4 of 11 (missed 4 times in a
    // thousand).
    int incontri = 0; // trials in which one workstation was told who held the month, and waited
    for (int prova = 1; prova <= caso.prove; ++prova) {
        SCOPED_TRACE(prova);
        const QString nome = QStringLiteral("archivio-%1.fdb").arg(prova);
        ASSERT_TRUE(QFile::copy(inst.Archivio(), server.path(nome)));
        s.database = server.Remoto(nome);
        const Esito primo = esegui(inst.programma(),
                                   {QStringLiteral("--archive"), s.database, QStringLiteral("--period"), periodo,
                                    QStringLiteral("--solo-periodo")});
        ASSERT_EQ(primo.codice, 0) << primo.uscita.toStdString() << primo.errori.toStdString();
        QProcess postazioni[2];
        QString file[2];
        for (int i = 0; i < 2; ++i) {
            const Installazione &postazione = i == 0 ? inst : altra;
            file[i] = postazione.path(QStringLiteral("out/prova-%1.xml").arg(prova));
            QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
            if (i == 0 && caso.uccisa)
                ambiente.insert(QStringLiteral("ZEP_ARRESTO_PERSONA"), QStringLiteral("3"));
            postazioni[i].setProcessEnvironment(ambiente);
            postazioni[i].start(postazione.programma(), argomenti(s.database, file[i]));
        }
        bool atteso = false;
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(postazioni[i].waitForFinished(600'000));
            const QByteArray uscita = postazioni[i].readAllStandardOutput() + postazioni[i].readAllStandardError();
            atteso = atteso
                     || uscita.contains("Un'altra postazione sta importando il mese 12/2026 in questo archivio: "
                                        "postazione ");
            if (i == 0 && caso.uccisa) {
                EXPECT_EQ(postazioni[i].exitStatus(), QProcess::CrashExit) << uscita.constData();
                continue;
            }
            EXPECT_EQ(postazioni[i].exitStatus(), QProcess::NormalExit) << uscita.constData();
            EXPECT_EQ(postazioni[i].exitCode(), 0) << uscita.constData();
            EXPECT_EQ(leggi(file[i]), fileAtteso) << "workstation " << i + 1 << "\n" << uscita.constData();
        }
        incontri += atteso;
        const QMap<QString, std::string> trovate = righe(Tabelle(s, 2026, 12));
        for (const QString &tabella : tabelle)
            EXPECT_EQ(trovate.value(tabella), attese.value(tabella)) << tabella.toStdString();
        if (HasFailure())
            break;
    }
    if (caso.incontro) {
        EXPECT_GT(incontri, 0) << "no workstation was ever told the other held the month";
    }
}

INSTANTIATE_TEST_SUITE_P(Postazioni, ZepArchivioServerSameMonth, ::testing::ValuesIn(StessiMesi),
                         [](const ::testing::TestParamInfo<StessoMese> &info) { return info.param.nome; });
