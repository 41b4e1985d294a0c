// zepDemoDeclaration ended from outside at moments the test does not
// choose: killed (SIGKILL) at random moments of an import, asked to end
// (SIGTERM) during an import and while the file is written, and running out
// of disk. Every person must come out whole or absent, the archive must
// validate (after the next open, which mends what a killed run left), no
// file may be half written, and every end must say why.
#include "ZepDemoDeclarationSupport.h"

#include "DatabaseCreator.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <csignal>

using namespace demotest;

namespace {

constexpr int Persone = 60;
const QString Periodo = QStringLiteral("2024-03");

QRandomGenerator &caso()
{
    static QRandomGenerator g(quint32(QDateTime::currentMSecsSinceEpoch()));
    return g;
}

// The program run for a while, then sent `segnale`, at a moment drawn
// between `da` and `a` milliseconds after its start; its end.
struct Interrotto {
    Esito esito;
    int dopo = 0; // the moment drawn, for the test's messages
};

Interrotto interrompi(const QString &programma, const QStringList &argomenti, int segnale, int da, int a,
                      const QProcessEnvironment &ambiente = QProcessEnvironment::systemEnvironment())
{
    Interrotto r;
    r.dopo = da + int(caso().bounded(quint32(qMax(1, a - da))));
    QProcess p;
    p.setProcessEnvironment(ambiente);
    p.start(programma, argomenti);
    if (!p.waitForStarted(30'000)) {
        r.esito.errori = p.errorString();
        return r;
    }
    if (!p.waitForFinished(r.dopo))
        ::kill(pid_t(p.processId()), segnale);
    if (p.state() != QProcess::NotRunning && !p.waitForFinished(120'000)) {
        p.kill();
        p.waitForFinished();
        r.esito.errori = QStringLiteral("non è terminato dopo il segnale");
        return r;
    }
    r.esito.ucciso = p.exitStatus() == QProcess::CrashExit;
    r.esito.codice = r.esito.ucciso ? -1 : p.exitCode();
    r.esito.uscita = QString::fromUtf8(p.readAllStandardOutput());
    r.esito.errori = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QStringList argomentiImport(const QString &archivio)
{
    return {QStringLiteral("--archive"), archivio, QStringLiteral("--period"), Periodo};
}

// The validation of an archive after it was opened once (the open mends
// what a killed run left); empty when clean. Orphan pages are left apart:
// those a crash took past the last page in use show only once a later run
// has used a page beyond them (docs/ARCHIVE.md).
QString validazioneDopoApertura(const QString &archivio)
{
    {
        Tabelle aperto(archivio, 2024, 3);
    }
    platform::ConnectionSettings s;
    s.database = archivio;
    platform::ValidationReport r = platform::DatabaseCreator::validate(s);
    r.warnings[platform::ValidationReport::Pages] = 0;
    return r.text();
}

// Each person of `dopo` has the rows a whole import gives it.
void personeIntereOAssenti(const QMap<QString, QStringList> &dopo, const QMap<QString, QStringList> &intere)
{
    for (auto it = dopo.cbegin(); it != dopo.cend(); ++it)
        EXPECT_EQ(it.value(), intere.value(it.key())) << it.key().toStdString() << " is not whole";
}

class Interruzioni : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(inst.CreaArchivio(Persone, Periodo, Periodo), QString());
        QFile::copy(inst.Archivio(), intatto());
        // The rows of a whole import, and how long one takes.
        QElapsedTimer t;
        t.start();
        const Esito intero = inst.Dichiara(inst.Archivio(), Periodo, QString());
        durata = int(t.elapsed());
        ASSERT_TRUE(intero.codice == 0 || intero.codice == 1) << intero.errori.toStdString();
        intere = Tabelle(inst.Archivio(), 2024, 3).RighePerPersona();
        ASSERT_GE(intere.size(), Persone / 2);
    }
    QString intatto() const { return inst.path(QStringLiteral("data/intatto.fdb")); }
    // A fresh copy of the archive as it was before any import.
    QString copia(const QString &nome) const
    {
        const QString f = inst.path(QStringLiteral("data/") + nome);
        QFile::remove(f);
        QFile::remove(f + QStringLiteral(".aperto"));
        QFile::copy(intatto(), f);
        return f;
    }

    Installazione inst;
    QMap<QString, QStringList> intere;
    int durata = 0;
};

} // namespace

TEST_F(Interruzioni, KilledAtRandomMomentsOfAnImportEveryPersonIsWholeOrAbsentAndTheArchiveValidates)
{
    for (int volta = 0; volta < 5; ++volta) {
        const QString archivio = copia(QStringLiteral("uccisa.fdb"));
        const Interrotto r = interrompi(inst.programma(), argomentiImport(archivio), SIGKILL, 150, qMax(300, durata),
                                        {});
        SCOPED_TRACE(QStringLiteral("killed %1 ms after the start").arg(r.dopo).toStdString());
        personeIntereOAssenti(Tabelle(archivio, 2024, 3).RighePerPersona(), intere);
        EXPECT_EQ(validazioneDopoApertura(archivio), QString());
        // The next run completes on it.
        const Esito ripreso = inst.Dichiara(archivio, Periodo, QString());
        EXPECT_TRUE(ripreso.codice == 0 || ripreso.codice == 1) << ripreso.errori.toStdString();
        EXPECT_EQ(Tabelle(archivio, 2024, 3).RighePerPersona(), intere);
    }
}

TEST_F(Interruzioni, SigtermDuringTheImportRollsBackThePersonInProgressAndEndsWithItsStatus)
{
    int interrotti = 0;
    for (int volta = 0; volta < 4 && interrotti < 2; ++volta) {
        const QString archivio = copia(QStringLiteral("terminata.fdb"));
        const Interrotto r = interrompi(inst.programma(), argomentiImport(archivio), SIGTERM, 150,
                                        qMax(300, durata * 3 / 4), QProcessEnvironment::systemEnvironment());
        SCOPED_TRACE(QStringLiteral("SIGTERM %1 ms after the start").arg(r.dopo).toStdString());
        if (r.esito.ucciso) {
            // A signal that comes before the program has put its handler in
            // place (a slow start) ends it the system's way: the archive
            // must still hold every person whole or not at all.
            personeIntereOAssenti(Tabelle(archivio, 2024, 3).RighePerPersona(), intere);
            EXPECT_EQ(validazioneDopoApertura(archivio), QString());
            continue;
        }
        if (r.esito.codice != 128 + SIGTERM) {
            // The run was over before the signal came.
            EXPECT_TRUE(r.esito.codice == 0 || r.esito.codice == 1) << r.esito.errori.toStdString();
            continue;
        }
        ++interrotti;
        EXPECT_TRUE(r.esito.errori.contains(QLatin1String("Interrotto da SIGTERM"))) << r.esito.errori.toStdString();
        personeIntereOAssenti(Tabelle(archivio, 2024, 3).RighePerPersona(), intere);
        EXPECT_EQ(validazioneDopoApertura(archivio), QString());
    }
    EXPECT_GE(interrotti, 1) << "no signal came during an import";
}

TEST_F(Interruzioni, SigtermWhileTheFileIsWrittenLeavesNoHalfFile)
{
    const QString cartella = inst.path(QStringLiteral("uscita"));
    const QString file = cartella + QStringLiteral("/uniEMens2024-03.Xml");
    const QStringList argomenti{QStringLiteral("--archive"),  inst.Archivio(),
                                QStringLiteral("--period"),   Periodo,
                                QStringLiteral("--output"),   file,
                                QStringLiteral("--solo-file")};
    QElapsedTimer t;
    t.start();
    const Esito intero = esegui(inst.programma(), argomenti);
    const int tempo = int(t.elapsed());
    ASSERT_EQ(intero.codice, 0) << intero.errori.toStdString();
    QFile letto(file);
    ASSERT_TRUE(letto.open(QIODevice::ReadOnly));
    const QByteArray completo = letto.readAll();
    letto.close();

    for (int volta = 0; volta < 4; ++volta) {
        QDir(cartella).removeRecursively();
        const Interrotto r = interrompi(inst.programma(), argomenti, SIGTERM, tempo / 3, tempo + 50);
        SCOPED_TRACE(QStringLiteral("SIGTERM %1 ms after the start").arg(r.dopo).toStdString());
        // Ended by itself, or by the signal; a signal that comes as the
        // process exits, its work done, or while it still opens the archive
        // (the engine's own handler in place, on a slow start) ends it the
        // system's way.
        const bool finito = r.esito.uscita.contains(QLatin1String("Totale"));
        const bool inApertura = !r.esito.uscita.contains(QLatin1String("Archivio: "));
        ASSERT_TRUE(r.esito.codice == 0 || r.esito.codice == 128 + SIGTERM
                    || (r.esito.ucciso && (finito || inApertura)))
            << "status " << r.esito.codice << (r.esito.ucciso ? " (crashed)" : "") << "\n"
            << r.esito.uscita.toStdString() << r.esito.errori.toStdString();
        // The file is whole or not there, and nothing else is left beside it.
        const QStringList lasciati = QDir(cartella).entryList(QDir::Files | QDir::Hidden);
        if (lasciati.isEmpty()) {
            if (r.esito.ucciso)
                continue;
            EXPECT_EQ(r.esito.codice, 128 + SIGTERM);
            EXPECT_TRUE(r.esito.errori.contains(QStringLiteral("Il file non è stato scritto"))
                        || r.esito.errori.contains(QLatin1String("Interrotto da SIGTERM")))
                << r.esito.errori.toStdString();
            continue;
        }
        ASSERT_EQ(lasciati, QStringList{QFileInfo(file).fileName()});
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll().size(), completo.size()) << "a whole file, or none";
    }
}

// The archive on a disk that fills up while months are imported one after
// the other: the run that meets it ends at once naming the cause, not a
// person; the archive validates; once there is room the next run completes.
TEST(DiscoPieno, AFullDiskEndsTheImportWithTheCauseAndTheNextRunWithRoomCompletes)
{
    Installazione inst;
    ASSERT_EQ(inst.CreaArchivio(Persone, QStringLiteral("2024-01"), QStringLiteral("2024-12")), QString());
    const QFileInfo dimensione(inst.Archivio());
    // A small file system of the test's own when the system lets it make
    // one, else the failure injected into the engine's writes.
    const QString montaggio = inst.path(QStringLiteral("disco"));
    QDir().mkpath(montaggio);
    QProcess mount;
    mount.start(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                 QStringLiteral("size=%1").arg(dimensione.size() + 512 * 1024), QStringLiteral("tmpfs"), montaggio});
    const bool montato = mount.waitForFinished(30'000) && mount.exitStatus() == QProcess::NormalExit
                         && mount.exitCode() == 0;
    const auto smonta = qScopeGuard([&] {
        if (montato)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), montaggio});
    });
    const QString archivio = montaggio + QStringLiteral("/pieno.fdb");
    ASSERT_TRUE(QFile::copy(inst.Archivio(), archivio));
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    QFile riempi(montaggio + QStringLiteral("/riempimento"));
    if (montato) {
        // Filled but for a few pages.
        ASSERT_TRUE(riempi.open(QIODevice::WriteOnly));
        const QByteArray blocco(4096, 'x');
        while (riempi.write(blocco) == blocco.size() && riempi.flush()) {
        }
        riempi.close();
    } else {
        ambiente.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(ZEP_TEST_DISCO_PIENO));
        ambiente.insert(QStringLiteral("ZEP_DISCO_PIENO_FILE"), archivio);
        ambiente.insert(QStringLiteral("ZEP_DISCO_PIENO_LIMITE"), QString::number(dimensione.size()));
        ambiente.insert(QStringLiteral("ASAN_OPTIONS"),
                        ambiente.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
    }
    SCOPED_TRACE(montato ? "on a small file system" : "with the engine's writes failing");

    QString pieno;
    int mese = 1;
    for (; mese <= 12 && pieno.isEmpty(); ++mese) {
        const QString periodo = QStringLiteral("2024-%1").arg(mese, 2, 10, QLatin1Char('0'));
        const Esito e = inst.Dichiara(archivio, periodo, QString(), ambiente);
        if (e.errori.contains(QLatin1String("Spazio su disco esaurito")))
            pieno = e.errori;
        else
            ASSERT_TRUE(e.codice == 0 || e.codice == 1) << periodo.toStdString() << e.errori.toStdString();
    }
    ASSERT_FALSE(pieno.isEmpty()) << "the disk never filled up";
    EXPECT_TRUE(pieno.contains(QStringLiteral("L'importazione è stata interrotta."))) << pieno.toStdString();
    const QString dopoMessaggio = pieno.mid(pieno.indexOf(QLatin1String("Spazio su disco esaurito")));
    EXPECT_FALSE(dopoMessaggio.left(400).contains(QLatin1String("Controllare i dati del dipendente")))
        << "not a person's error: " << pieno.toStdString();

    const int meseFallito = mese - 1;
    if (montato) {
        // The file of the month, on the same full disk: refused saying so,
        // first with the archive there, then with the archive elsewhere and
        // only the file there; nothing is left on the disk.
        const QString altrove = inst.path(QStringLiteral("data/altrove.fdb"));
        ASSERT_TRUE(QFile::copy(archivio, altrove));
        for (const QString &a : {archivio, altrove}) {
            SCOPED_TRACE(a.toStdString());
            const QString file = montaggio + QStringLiteral("/uniEMens.Xml");
            const Esito f = esegui(inst.programma(),
                                   {QStringLiteral("--archive"), a, QStringLiteral("--period"),
                                    QStringLiteral("2024-%1").arg(meseFallito, 2, 10, QLatin1Char('0')),
                                    QStringLiteral("--output"), file, QStringLiteral("--solo-file")});
            EXPECT_EQ(f.codice, 1) << f.errori.toStdString();
            EXPECT_TRUE(f.errori.contains(QStringLiteral("spazio su disco esaurito"), Qt::CaseInsensitive))
                << f.errori.toStdString();
            EXPECT_EQ(QDir(montaggio).entryList(QDir::Files),
                      (QStringList{QStringLiteral("pieno.fdb"), QStringLiteral("riempimento")}));
        }
    }
    riempi.remove();
    {
        platform::ConnectionSettings s;
        s.database = archivio;
        Tabelle(archivio, 2024, meseFallito);
        EXPECT_EQ(platform::DatabaseCreator::validate(s).text(), QString());
    }
    const QString periodo = QStringLiteral("2024-%1").arg(meseFallito, 2, 10, QLatin1Char('0'));
    const Esito ripreso = inst.Dichiara(archivio, periodo, QString());
    EXPECT_TRUE(ripreso.codice == 0 || ripreso.codice == 1) << ripreso.errori.toStdString();
    EXPECT_FALSE(ripreso.errori.contains(QLatin1String("Spazio su disco esaurito"))) << ripreso.errori.toStdString();
}
