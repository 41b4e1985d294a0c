// zepDemoDeclaration killed (SIGKILL) at random moments of every import
// ("Importa", "Importa iscritti FPLS" and "Importa (ex Dma)" of zepUni, the
// earlier program's import on the archive (zepdb) and on the year folder's
// files (zep)) and of the writing of the UniEmens and E-Mens files, and
// before a random page write of the archive (a crash between two pages of
// a change, which a moment seldom hits). Every second kill, at random,
// falls on a run that found the archive left open by a crash before it
// (so that it mended the archive at its open, as a rerun after a crash
// does), and on the archive imports every second one, at random, on a
// month imported before, which the run replaces. After each kill every person is whole or absent, once the next
// open has mended the archive the validation finds no error and no warning
// but orphan pages (counted apart), the output file is the old one or the whole new one and
// nothing else is left beside it, and the rerun completes with every
// person whole.
//
// The moments are drawn, from the moment the program has set its working
// period to its end (an import's kills in each import in turn), from a
// seed printed with the test's name; set ZEP_TEST_SEME to it to replay a
// failure. ZEP_TEST_UCCISIONI sets the kills of each road (6); each road
// prints its figures.
#include "ZepCCdsLocale.h"
#include "ZepCDma.h"
#include "ZepDemoDeclarationSupport.h"

#include "DatabaseCreator.h"
#include "TovUCdsUtil.h"

#include <QDateTime>
#include <QDirIterator>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <csignal>
#include <optional>
#include <iostream>

using namespace demotest;

namespace {

constexpr int Persone = 32; // the public-sector persons among them

int uccisioni()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("ZEP_TEST_UCCISIONI", &ok);
    return ok && n > 0 ? n : 6;
}

struct Strada {
    const char *nome;
    const char *programma;
    int anno, mese;
    const char *opzioni; // of the import, blank-separated
    bool file;           // killed while the file is written, else in the imports
};

void PrintTo(const Strada &s, std::ostream *os)
{
    *os << s.nome;
}

quint32 seme()
{
    bool ok = false;
    const quint32 dato = qEnvironmentVariable("ZEP_TEST_SEME").toUInt(&ok);
    return ok ? dato : quint32(QDateTime::currentMSecsSinceEpoch());
}

// Each person's rows of each import, keyed "table:fiscal code", every value
// joined but the store's own numbering; a public-sector person's D0 and E0
// rows under one key.
using Righe = QMap<QString, QStringList>;

class UccisioniTest : public ::testing::TestWithParam<Strada> {
protected:
    void SetUp() override
    {
        const Strada &s = GetParam();
        m_locale = QLatin1String(s.programma) == QLatin1String("zep");
        m_periodo = QStringLiteral("%1-%2").arg(s.anno).arg(s.mese, 2, 10, QLatin1Char('0'));
        m_seme = seme();
        m_caso.seed(m_seme);
        std::cout << "ZEP_TEST_SEME=" << m_seme << " replays " << s.nome << std::endl;
        ASSERT_EQ(inst.CreaArchivio(Persone, m_periodo, m_periodo, !isEMens()), QString());
        QFile::copy(inst.Archivio(), intatto());
    }

    bool isEMens() const { return QLatin1String(GetParam().programma) != QLatin1String("zepUni"); }
    QString intatto() const { return inst.path(QStringLiteral("data/intatto.fdb")); }
    QString importato() const { return inst.path(QStringLiteral("data/importato.fdb")); }

    QStringList argomenti(const QStringList &altre) const
    {
        QStringList a{QStringLiteral("--programma"), QLatin1String(GetParam().programma),
                      QStringLiteral("--archive"),   inst.Archivio(),
                      QStringLiteral("--period"),    m_periodo};
        return a + altre;
    }
    QStringList opzioniImport() const
    {
        return QString::fromLatin1(GetParam().opzioni).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }

    // The archive (and the year folder of zep) as before any import.
    // The archive as before any import, or with the month imported whole
    // (`importato`: the kill then falls on a rerun that replaces every
    // person).
    void Ripristina(bool importato = false)
    {
        QFile::remove(inst.Archivio());
        ASSERT_TRUE(QFile::copy(importato ? this->importato() : intatto(), inst.Archivio()));
        QDir(inst.path(QStringLiteral("USR/ZEPDati"))).removeRecursively();
    }

    Righe Leggi()
    {
        const Strada &s = GetParam();
        std::unique_ptr<Tabelle> archivio;
        TZepCdsLocale cartella(inst.path(QString()), QStringLiteral("USR/ZEPDati/ZEP"));
        cartella.SetYear(s.anno);
        cartella.SetMonth(s.mese);
        if (!m_locale)
            archivio = std::make_unique<Tabelle>(inst.Archivio(), s.anno, s.mese);
        QList<std::pair<QString, QString>> tabelle{{QStringLiteral("TEMD_DIPENDENTI"), QStringLiteral("CFLavoratore")},
                                                   {QStringLiteral("TEMC_COLLABORATORI"),
                                                    QStringLiteral("CFCollaboratore")}};
        if (!isEMens())
            tabelle += {{QStringLiteral("TEFE_FPLSEXENPALS"), QStringLiteral("CFLavoratore")},
                        {TZepDma::TabellaD0, TZepDma::CampoCodiceFiscale},
                        {TZepDma::TabellaE0, QStringLiteral("SE0CODFIS")}};
        Righe out;
        for (const auto &[tabella, campoCf] : tabelle) {
            if (m_locale && !QFileInfo::exists(cartella.FileTabella(tabella, s.anno))
                && !QFileInfo::exists(TTovCds::BackupName(cartella.FileTabella(tabella, s.anno))))
                continue; // the year folder not made yet
            platform::DataSet ds;
            if (m_locale)
                cartella.Load(ds, tabella);
            else
                archivio->Carica(ds, tabella);
            const QString gruppo = tabella == TZepDma::TabellaE0 ? TZepDma::TabellaD0 : tabella;
            for (ds.first(); !ds.eof(); ds.next()) {
                QStringList valori;
                for (const auto &campo : ds.fields()) {
                    const QString n = campo->fieldName().toUpper();
                    if (n != QLatin1String("IFISRIGO") && n != QLatin1String("IAFIID") && n != QLatin1String("ORDINE"))
                        valori << campo->asString();
                }
                out[gruppo + QLatin1Char(':') + ds.fieldByName(campoCf).asString()] << valori.join(QLatin1Char('|'));
            }
        }
        for (QStringList &r : out)
            r.sort();
        return out;
    }

    // The archive's validation after the next open, which mends what a
    // killed run left; empty when clean. Orphan pages are counted apart:
    // those a crash took past the archive's last used page show only once
    // a later run has used a page beyond them (docs/ARCHIVE.md).
    QString Validazione()
    {
        {
            Tabelle aperto(inst.Archivio(), GetParam().anno, GetParam().mese);
        }
        platform::ConnectionSettings s;
        s.database = inst.Archivio();
        platform::ValidationReport r = platform::DatabaseCreator::validate(s);
        m_cifre.orfane += r.warnings[platform::ValidationReport::Pages] > 0;
        r.warnings[platform::ValidationReport::Pages] = 0;
        ++m_cifre.validazioni;
        m_cifre.pulite += r.clean();
        return r.text();
    }

    // One kill: `dopo` ms after the working period is set, or right before
    // the `scrittura`-th page write of the archive; on an archive a crash
    // had left open (its marker beside it) when `aperto`, on the month
    // imported before when `sostituisce`.
    struct Colpo {
        std::optional<int> dopo;
        int scrittura = 0;
        bool aperto = false;
        bool sostituisce = false;
        std::string descrizione() const
        {
            return (dopo ? QStringLiteral("%1 ms dopo il periodo").arg(*dopo)
                         : QStringLiteral("alla scrittura %1 dell'archivio").arg(scrittura))
                       .toStdString()
                   + (aperto ? ", archivio lasciato aperto" : "") + (sostituisce ? ", mese già importato" : "");
        }
    };

    // The `volta`-th kill: every second one at a page write (when the run
    // writes the archive), the others at a moment of each step in turn
    // (`passi`: from and to, ms after the working period is set).
    Colpo Scegli(int volta, const QList<std::pair<int, int>> &passi, int scritture)
    {
        Colpo c;
        c.aperto = m_caso.bounded(2) == 1;
        c.sostituisce = !m_locale && !GetParam().file && m_caso.bounded(2) == 1;
        m_cifre.sulImportato += c.sostituisce;
        if (volta % 2 == 1 && scritture > 0) {
            c.scrittura = 1 + int(m_caso.bounded(quint32(scritture)));
            ++m_cifre.aScrittura;
        } else {
            const auto [da, a] = passi.at((volta / 2) % passi.size());
            c.dopo = Istante(da, a);
            ++m_cifre.aIstante;
        }
        m_cifre.lasciatoAperto += c.aperto;
        return c;
    }

    // The archive as a crash before the kill leaves it, when the kill says
    // so: its marker beside it.
    void Prepara(const Colpo &c) const
    {
        QFile marcatore(inst.Archivio() + QStringLiteral(".aperto"));
        if (c.aperto && marcatore.open(QIODevice::WriteOnly))
            marcatore.close();
    }

    // The steps of a whole run, from its lines "Passo  Persone  Secondi"
    // after "Parametri": each from and to, in ms after the working period
    // is set; the whole run when it printed none.
    static QList<std::pair<int, int>> Passi(const Esito &intero, int durata)
    {
        static const QRegularExpression riga(QStringLiteral("^(?:Importa|File)[^\\n]*?\\s+(?:\\d+|-)\\s+(\\d+\\.\\d+)"),
                                             QRegularExpression::MultilineOption);
        QList<std::pair<int, int>> passi;
        int da = 0;
        for (auto it = riga.globalMatch(intero.uscita); it.hasNext();) {
            const int ms = int(it.next().captured(1).toDouble() * 1000);
            passi << std::pair{da, da + qMax(ms, 1)};
            da += ms;
        }
        if (passi.isEmpty())
            passi << std::pair{0, durata};
        return passi;
    }

    // The program started; killed as `colpo` says, unless it ended first.
    // Without `colpo`, run to its end, its page writes of the archive
    // counted into `scritture`: the ms from the moment the working period
    // is set to the end.
    int Uccidi(const QStringList &a, const std::optional<Colpo> &colpo, Esito *esito = nullptr,
               int *scritture = nullptr)
    {
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        const QString conta = inst.path(QStringLiteral("scritture.txt"));
        if (scritture || (colpo && colpo->scrittura > 0)) {
            ambiente.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(ZEP_TEST_UCCISIONE_SCRITTURA));
            ambiente.insert(QStringLiteral("ZEP_UCCISIONE_FILE"), inst.Archivio());
            ambiente.insert(QStringLiteral("ZEP_UCCISIONE_SCRITTURA"), QString::number(colpo ? colpo->scrittura : 0));
            ambiente.insert(QStringLiteral("ZEP_UCCISIONE_CONTA"), conta);
            ambiente.insert(QStringLiteral("ASAN_OPTIONS"), ambiente.value(QStringLiteral("ASAN_OPTIONS"))
                                                                + QStringLiteral(":verify_asan_link_order=0"));
        }
        const int dopo = colpo ? colpo->dopo.value_or(-1) : -1;
        QProcess p;
        p.setProcessEnvironment(ambiente);
        p.start(inst.programma(), a);
        if (!p.waitForStarted(30'000))
            return -1;
        QByteArray uscita;
        while (!uscita.contains("\nParametri") && p.state() != QProcess::NotRunning)
            if (p.waitForReadyRead(20))
                uscita += p.readAllStandardOutput();
        QElapsedTimer t;
        t.start();
        if (dopo >= 0 && !p.waitForFinished(dopo))
            ::kill(pid_t(p.processId()), SIGKILL);
        p.waitForFinished(600'000);
        const int resto = int(t.elapsed());
        if (esito) {
            esito->ucciso = p.exitStatus() == QProcess::CrashExit;
            esito->codice = esito->ucciso ? -1 : p.exitCode();
            esito->uscita = QString::fromUtf8(uscita + p.readAllStandardOutput());
            esito->errori = QString::fromUtf8(p.readAllStandardError());
        }
        m_cifre.uccisioni += colpo && p.exitStatus() == QProcess::CrashExit;
        if (scritture) {
            QFile f(conta);
            *scritture = f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : 0;
        }
        return resto;
    }

    int Istante(int da, int a) { return da + int(m_caso.bounded(quint32(qMax(1, a - da)))); }

    // Each person present is whole.
    void IntereOAssenti(const Righe &dopo, const Righe &intere)
    {
        for (auto it = dopo.cbegin(); it != dopo.cend(); ++it)
            EXPECT_EQ(it.value(), intere.value(it.key())) << it.key().toStdString() << " is not whole";
        m_cifre.persone += int(dopo.size());
    }

    // A rerun after a kill: it completes (an import may leave out the
    // demo's person without a fiscal code, status 1), and every person is
    // whole.
    void Ripresa(const QStringList &a, const Righe &intere)
    {
        const Esito ripreso = esegui(inst.programma(), a);
        EXPECT_TRUE(ripreso.codice == 0 || (ripreso.codice == 1 && !GetParam().file)) << ripreso.errori.toStdString();
        ++m_cifre.riprese;
        const Righe dopo = Leggi();
        EXPECT_EQ(dopo, intere);
        m_cifre.persone += int(dopo.size());
        NessunTemporaneo();
    }

    void TearDown() override
    {
        std::cout << GetParam().nome << ": uccisioni " << m_cifre.uccisioni << " (a un istante " << m_cifre.aIstante
                  << ", a una scrittura " << m_cifre.aScrittura << "; su archivio lasciato aperto "
                  << m_cifre.lasciatoAperto << ", sul mese già importato " << m_cifre.sulImportato << "), riprese "
                  << m_cifre.riprese << ", persone controllate " << m_cifre.persone << ", validazioni pulite "
                  << m_cifre.pulite << " di " << m_cifre.validazioni << " (con pagine orfane " << m_cifre.orfane << ")"
                  << std::endl;
    }

    // No temporary file of a save (a parameter file, a year folder's table)
    // is left in the installation once a run has completed.
    void NessunTemporaneo() const
    {
        QStringList lasciati;
        QDirIterator it(inst.path(QString()), {QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            lasciati << it.next();
        EXPECT_EQ(lasciati, QStringList());
    }

    Installazione inst;
    bool m_locale = false;
    QString m_periodo;
    quint32 m_seme = 0;
    QRandomGenerator m_caso;
    struct {
        int uccisioni = 0, aIstante = 0, aScrittura = 0, lasciatoAperto = 0, riprese = 0, persone = 0, validazioni = 0,
            pulite = 0, orfane = 0, sulImportato = 0;
    } m_cifre;
};

bool esitoImport(const Esito &e)
{
    return e.codice == 0 || e.codice == 1; // 1: the demo's person without fiscal code
}

} // namespace

TEST_P(UccisioniTest, KilledAtRandomMomentsEveryPersonIsWholeOrAbsentAndNoFileIsHalf)
{
    const Strada &s = GetParam();
    Esito intero;
    int scritture = 0;
    const int durataImport = Uccidi(argomenti(opzioniImport()), std::nullopt, &intero, &scritture);
    ASSERT_TRUE(esitoImport(intero)) << intero.uscita.toStdString() << intero.errori.toStdString();
    if (!s.file) {
        const Righe intere = Leggi();
        ASSERT_GE(intere.size(), Persone / 2);
        QFile::remove(importato());
        ASSERT_TRUE(QFile::copy(inst.Archivio(), importato()));
        const QList<std::pair<int, int>> passi = Passi(intero, durataImport);
        for (int volta = 0; volta < uccisioni(); ++volta) {
            const Colpo colpo = Scegli(volta, passi, scritture);
            Ripristina(colpo.sostituisce);
            SCOPED_TRACE(QStringLiteral("seme %1, ").arg(m_seme).toStdString() + colpo.descrizione());
            Prepara(colpo);
            Uccidi(argomenti(opzioniImport()), colpo);
            const Righe dopoUccisione = Leggi();
            std::cout << "ucciso " << colpo.descrizione() << ": " << dopoUccisione.size() << " di " << intere.size()
                      << " persone" << std::endl;
            IntereOAssenti(dopoUccisione, intere);
            if (colpo.sostituisce) {
                EXPECT_EQ(dopoUccisione.keys(), intere.keys()) << "a person the run was replacing is gone";
            }
            EXPECT_EQ(Validazione(), QString());
            Ripresa(argomenti(opzioniImport()), intere);
        }
        return;
    }

    // The file of the rows imported: once whole, then killed while another
    // replaces it, or while it is written where there was none.
    const QString cartella = inst.path(QStringLiteral("uscita"));
    const QString file = cartella + QStringLiteral("/denuncia.Xml");
    const QStringList soloFile = opzioniImport()
                                 + QStringList{QStringLiteral("--output"), file, QStringLiteral("--solo-file")};
    Esito primo;
    const int durataFile = Uccidi(argomenti(soloFile), std::nullopt, &primo, &scritture);
    ASSERT_EQ(primo.codice, 0) << primo.uscita.toStdString() << primo.errori.toStdString();
    QFile letto(file);
    ASSERT_TRUE(letto.open(QIODevice::ReadOnly));
    const QByteArray completo = letto.readAll();
    letto.close();
    ASSERT_TRUE(QDomDocument().setContent(completo));
    const Righe intere = Leggi();
    const QByteArray vecchio = completo + "<!-- il file di prima -->\n";

    for (int volta = 0; volta < uccisioni(); ++volta) {
        const bool sostituisce = volta % 2 == 0;
        QDir(cartella).removeRecursively();
        QDir().mkpath(cartella);
        if (sostituisce) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(vecchio);
        }
        const Colpo colpo = Scegli(volta, {{0, durataFile + 20}}, scritture);
        SCOPED_TRACE(QStringLiteral("seme %1, ").arg(m_seme).toStdString() + colpo.descrizione()
                     + (sostituisce ? ", sul file di prima" : ""));
        Prepara(colpo);
        Uccidi(argomenti(soloFile), colpo);
        const QStringList lasciati = QDir(cartella).entryList(QDir::Files | QDir::Hidden);
        if (!lasciati.isEmpty()) {
            EXPECT_EQ(lasciati, QStringList{QFileInfo(file).fileName()}) << "nothing beside the file";
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray dopoUccisione = f.readAll();
            if (dopoUccisione != vecchio) {
                EXPECT_EQ(dopoUccisione.size(), completo.size()) << "the old file or the whole new one";
                EXPECT_TRUE(QDomDocument().setContent(dopoUccisione));
            }
        } else {
            EXPECT_FALSE(sostituisce) << "the old file was lost";
        }
        const Righe dopoUccisione = Leggi();
        IntereOAssenti(dopoUccisione, intere);
        EXPECT_EQ(dopoUccisione.keys(), intere.keys());
        EXPECT_EQ(Validazione(), QString());
        Ripresa(argomenti(soloFile), intere);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll().size(), completo.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Strade, UccisioniTest,
                         ::testing::Values(Strada{"ImportaFplsEdExDma", "zepUni", 2024, 3, "--iscritti-fpls --ex-dma",
                                                  false},
                                           Strada{"ImportaZepdb", "zepdb", 2008, 5, "", false},
                                           Strada{"ImportaZep", "zep", 2006, 10, "", false},
                                           Strada{"FileUniEmens", "zepUni", 2024, 3, "--ex-dma --completa-demo", true},
                                           Strada{"FileEMensZepdb", "zepdb", 2008, 5, "--completa-demo", true},
                                           Strada{"FileEMensZep", "zep", 2006, 10, "--completa-demo", true}),
                         [](const auto &info) { return std::string(info.param.nome); });
