// zepUni run as a program, on an installation of its own with a demo
// archive, ended by SIGTERM or SIGINT: it must end by itself, quickly, with
// the signal's status, and leave the archive whole (the engine's own
// validation finds nothing).
#include "ZepUniAvvio.h"

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
        for (const char *f : {"bin", "etc/wun", "data"})
            QDir().mkpath(path(QLatin1String(f)));
        const QString program = buildDir() + QStringLiteral("/bin/zepUni");
        if (::link(QFile::encodeName(program).constData(), QFile::encodeName(this->program()).constData()) != 0)
            QFile::copy(program, this->program());
        for (const char *f : {"wun_QueryText.cds", "wun_QueryText.unxc", "wun_Report.xml"})
            QFile::copy(buildDir() + QStringLiteral("/etc/wun/") + QLatin1String(f),
                        path(QStringLiteral("etc/wun/")) + QLatin1String(f));
        int code = 0;
        m_errors = run(buildDir() + QStringLiteral("/bin/zepDemoArchive"),
                       {QStringLiteral("--output"), archive(), QStringLiteral("--persons"), QStringLiteral("10")},
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

    for (const int segnale : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(segnale);
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

        ASSERT_EQ(::kill(pid_t(zepUni.processId()), segnale), 0);
        const bool finito = zepUni.waitForFinished(5'000);
        if (!finito) {
            zepUni.kill();
            zepUni.waitForFinished();
        }
        ASSERT_TRUE(finito) << "still running five seconds after the signal";
        EXPECT_EQ(zepUni.exitStatus(), QProcess::NormalExit) << "ended by the signal, not by itself";
        EXPECT_EQ(zepUni.exitCode(), 128 + segnale) << zepUni.readAllStandardError().constData();

        int code = 0;
        const QString validation = run(QStringLiteral("gfix"),
                                       {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-n"),
                                        QStringLiteral("-user"), QStringLiteral("SYSDBA"), inst.archive()},
                                       code);
        EXPECT_EQ(code, 0) << qPrintable(validation);
        EXPECT_TRUE(validation.trimmed().isEmpty()) << qPrintable(validation);
    }
}

} // namespace
