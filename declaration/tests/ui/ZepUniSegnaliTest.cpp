// zepUni run as a program, on an installation of its own like the one the
// README's run command makes (a demo archive, the code tables, the working
// period set), ended by SIGTERM or SIGINT at random moments after it is up
// (in the dialog "Parametri" that opens at the start, or before it): it must
// end by itself, quickly, with the signal's status, and leave the archive
// whole (the engine's own validation finds nothing). The end of an import
// or of a file being written on a signal is tested without windows
// (ZepDemoInterruzioniTest, ZepImportInterrottoTest).
#include "ZepUniAvvio.h"

#include "DatabaseCreator.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

QString buildDir()
{
    return QStringLiteral(ZEP_TEST_BUILD_DIR);
}

// Runs a tool of the build to its end; its output when it fails.
QString run(const QString &program, const QStringList &arguments, int &exitCode)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(300'000)) {
        p.kill();
        p.waitForFinished();
        exitCode = -1;
        return QStringLiteral("%1 did not finish").arg(program);
    }
    exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAll());
}

// An installation like the build tree, in a folder of its own: the program
// (a hard link, so that it takes this folder as its own), the compiled
// catalogue and a demo archive of ten persons.
class Installation {
public:
    Installation() : m_root(buildDir() + QStringLiteral("/zepUni-segnali-XXXXXX"))
    {
        for (const char *f : {"bin", "etc/wun", "data", "USR/UniEmens/Res/Tabelle"})
            QDir().mkpath(path(QLatin1String(f)));
        for (const char *p : {"zepUni", "zepDemoDeclaration"}) {
            const QString program = buildDir() + QStringLiteral("/bin/") + QLatin1String(p);
            const QString here = path(QStringLiteral("bin/")) + QLatin1String(p);
            if (::link(QFile::encodeName(program).constData(), QFile::encodeName(here).constData()) != 0)
                QFile::copy(program, here);
        }
        const QDir tabelle(buildDir() + QStringLiteral("/USR/UniEmens/Res/Tabelle"));
        for (const QString &f : tabelle.entryList(QDir::Files))
            QFile::copy(tabelle.filePath(f), path(QStringLiteral("USR/UniEmens/Res/Tabelle/")) + f);
        for (const char *f : {"wun_QueryText.cds", "wun_QueryText.unxc", "wun_Report.xml"})
            QFile::copy(buildDir() + QStringLiteral("/etc/wun/") + QLatin1String(f),
                        path(QStringLiteral("etc/wun/")) + QLatin1String(f));
        int code = 0;
        m_errors = run(buildDir() + QStringLiteral("/bin/zepDemoArchive"),
                       {QStringLiteral("--output"), archive(), QStringLiteral("--persons"), QStringLiteral("10")},
                       code);
        if (code != 0)
            return;
        // The working period, as the run command sets it before the first
        // start.
        m_errors = run(path(QStringLiteral("bin/zepDemoDeclaration")),
                       {QStringLiteral("--archive"), archive(), QStringLiteral("--period"),
                        QDate::currentDate().toString(QStringLiteral("yyyy-MM")), QStringLiteral("--solo-periodo")},
                       code);
        if (code == 0)
            m_errors.clear();
    }

    QString path(const QString &relative) const { return m_root.path() + QLatin1Char('/') + relative; }
    QString program() const { return path(QStringLiteral("bin/zepUni")); }
    QString archive() const { return path(QStringLiteral("data/zep.fdb")); }
    // What went wrong while making it; empty when it stands.
    const QString &errors() const { return m_errors; }

private:
    QTemporaryDir m_root;
    QString m_errors;
};

TEST(ZepUniSegnali, SigtermAndSigintEndTheProgramAndLeaveTheArchiveWhole)
{
    Installation inst;
    ASSERT_TRUE(inst.errors().isEmpty()) << qPrintable(inst.errors());
    ASSERT_TRUE(QFileInfo(inst.program()).isExecutable());

    QRandomGenerator caso(quint32(QDateTime::currentMSecsSinceEpoch()));
    for (const int segnale : {SIGTERM, SIGINT, SIGTERM, SIGINT, SIGTERM}) {
        const int dopo = int(caso.bounded(3000u));
        SCOPED_TRACE(QStringLiteral("signal %1, %2 ms after the ready line").arg(segnale).arg(dopo).toStdString());
        QProcess zepUni;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        zepUni.setProcessEnvironment(env);
        zepUni.start(inst.program(), {});
        ASSERT_TRUE(zepUni.waitForStarted(30'000)) << qPrintable(zepUni.errorString());

        // Up: the archive open and the signals ours (a bounded wait, generous
        // for the sanitizers' build).
        QByteArray out;
        while (!out.contains(TZepUniAvvio::ReadyLine) && zepUni.state() == QProcess::Running
               && zepUni.waitForReadyRead(120'000))
            out += zepUni.readAllStandardOutput();
        ASSERT_TRUE(out.contains(TZepUniAvvio::ReadyLine))
            << out.constData() << zepUni.readAllStandardError().constData();

        zepUni.waitForFinished(dopo);
        ASSERT_EQ(zepUni.state(), QProcess::Running) << zepUni.readAllStandardError().constData();
        ASSERT_EQ(::kill(pid_t(zepUni.processId()), segnale), 0);
        const bool finito = zepUni.waitForFinished(5'000);
        if (!finito) {
            zepUni.kill();
            zepUni.waitForFinished();
        }
        ASSERT_TRUE(finito) << "still running five seconds after the signal";
        EXPECT_EQ(zepUni.exitStatus(), QProcess::NormalExit) << "ended by the signal, not by itself";
        EXPECT_EQ(zepUni.exitCode(), 128 + segnale) << zepUni.readAllStandardError().constData();

        platform::ConnectionSettings archivio;
        archivio.database = inst.archive();
        EXPECT_EQ(platform::DatabaseCreator::validate(archivio).text(), QString());
        EXPECT_FALSE(QFile::exists(inst.archive() + QStringLiteral(".aperto"))) << "closed, not abandoned";
    }
}

} // namespace
