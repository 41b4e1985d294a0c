// The start of each program on the demo installation that scripts/run.sh
// sets up (zepUni in build/, zepdb and zep in build/demo-zepdb and
// build/demo-zep): from the process started to the line the program writes
// once its main window is shown and the archive open ("...: archivio
// aperto, programma avviato"), on Qt's offscreen platform. The program is
// then ended with SIGTERM, as a user's logout would.
//
// The floor is this program started again with --pavimento ARCHIVE: a
// QApplication, a bare QMainWindow shown and the same archive opened through
// the SQL layer, then the same kind of line.
//
// Counters: "rss_mb" the peak resident memory of the started process up to
// its line (VmHWM), "cpu_ms" its user and system time up to then.
//
//     build/bench/bench_AvvioBench --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true
#include "Database.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>

#include <cstdio>
#include <stdexcept>
#include <unistd.h>

namespace {

const char *const RigaPavimento = "pavimento: archivio aperto, finestra mostrata";

QString cartellaBuild()
{
    const QByteArray build = qgetenv("ZEP_BUILD_DIR");
    return build.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/..")
                           : QString::fromLocal8Bit(build);
}

struct Programma {
    QString nome, eseguibile, archivio;
};

Programma programma(int i)
{
    const QString build = QDir::cleanPath(cartellaBuild()) + QLatin1Char('/');
    const QString nome = i == 0 ? QStringLiteral("zepUni") : i == 1 ? QStringLiteral("zepdb") : QStringLiteral("zep");
    const QString inst = i == 0 ? build : build + QStringLiteral("demo-") + nome + QLatin1Char('/');
    return {nome, inst + QStringLiteral("bin/") + nome, inst + QStringLiteral("data/zep.fdb")};
}

// A number of /proc/PID/status ("VmHWM:   1234 kB").
double statoKb(qint64 pid, const QByteArray &voce)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &riga : f.readAll().split('\n'))
        if (riga.startsWith(voce))
            return riga.mid(voce.size()).simplified().split(' ').value(0).toDouble();
    return 0;
}

// User and system time of the process, in milliseconds.
double cpuMs(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = f.readAll();
    // The fields after the command's name in brackets: state is the 3rd,
    // utime the 14th and stime the 15th.
    const QList<QByteArray> campi = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return (campi.value(11).toDouble() + campi.value(12).toDouble()) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

struct Misura {
    double secondi = 0, rssMb = 0, cpuMs = 0;
};

// Starts `eseguibile` in its folder, waits for the line starting with
// `pronto` and ends it.
Misura avvia(const QString &eseguibile, const QStringList &argomenti, const QByteArray &pronto)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QFileInfo(eseguibile).absolutePath());
    p.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer t;
    t.start();
    p.start(eseguibile, argomenti);
    if (!p.waitForStarted(30000))
        throw std::runtime_error(("not started: " + eseguibile).toStdString());
    QByteArray uscita;
    Misura m;
    while (!uscita.contains(pronto)) {
        if (!p.waitForReadyRead(120000)) {
            p.kill();
            p.waitForFinished();
            throw std::runtime_error(
                QStringLiteral("%1: no ready line (%2 %3)")
                    .arg(eseguibile, QString::fromLocal8Bit(uscita), QString::fromLocal8Bit(p.readAllStandardError()))
                    .toStdString());
        }
        uscita += p.readAllStandardOutput();
    }
    m.secondi = double(t.nsecsElapsed()) / 1e9;
    m.rssMb = statoKb(p.processId(), "VmHWM:") / 1024.0;
    m.cpuMs = cpuMs(p.processId());
    p.terminate();
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
    }
    return m;
}

void Conta(benchmark::State &state, double rss, double cpu, int n)
{
    state.counters["rss_mb"] = rss / qMax(1, n);
    state.counters["cpu_ms"] = cpu / qMax(1, n);
    state.SetLabel(programma(int(state.range(0))).nome.toStdString());
}

// Starts the executable with its arguments until it prints `riga`, once per
// iteration, and counts its memory and CPU.
void Avvii(benchmark::State &state, const QString &eseguibile, const QStringList &argomenti, const QByteArray &riga)
{
    double rss = 0, cpu = 0;
    int n = 0;
    for (auto _ : state) {
        try {
            const Misura m = avvia(eseguibile, argomenti, riga);
            state.SetIterationTime(m.secondi);
            rss += m.rssMb;
            cpu += m.cpuMs;
            ++n;
        } catch (const std::exception &e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    Conta(state, rss, cpu, n);
}

void BM_Avvio(benchmark::State &state)
{
    const Programma p = programma(int(state.range(0)));
    Avvii(state, p.eseguibile, {}, p.nome.toUtf8() + ": archivio aperto, programma avviato");
}

void BM_Avvio_Pavimento(benchmark::State &state)
{
    const Programma p = programma(int(state.range(0)));
    Avvii(state, QCoreApplication::applicationFilePath(), {QStringLiteral("--pavimento"), p.archivio}, RigaPavimento);
}

void Argomenti(benchmark::internal::Benchmark *b)
{
    b->ArgName("programma")->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
}

BENCHMARK(BM_Avvio)->Apply(Argomenti);
BENCHMARK(BM_Avvio_Pavimento)->Apply(Argomenti);

// The floor's process: the window shown, the archive opened, the line.
int Pavimento(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow finestra;
    finestra.resize(800, 600);
    finestra.show();
    platform::ConnectionSettings s = platform::ConnectionSettings::defaults();
    s.database = QString::fromLocal8Bit(argv[2]);
    platform::Database archivio(s);
    archivio.open();
    std::printf("%s\n", RigaPavimento);
    std::fflush(stdout);
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--pavimento")
        return Pavimento(argc, argv);
    // The processes are started through Qt's event dispatcher.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
