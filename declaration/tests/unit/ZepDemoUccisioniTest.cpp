// zepDemoDeclaration killed (SIGKILL) at random moments of the roads the
// private-sector import of zepUni does not take: "Importa iscritti FPLS"
// and "Importa (ex Dma)", the earlier program's import on the archive
// (zepdb) and on the year folder's files (zep), and the writing of the
// UniEmens and E-Mens files. After each kill every person is whole or
// absent, the archive validates, the output file is the old one or the
// whole new one and nothing else is left beside it, and a rerun completes.
//
// The moments are drawn, from the moment the program has set its working
// period to its end, from a seed printed with the test's name; set
// ZEP_TEST_SEME to it to replay a failure.
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
constexpr int Uccisioni = 3;

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
    void Ripristina()
    {
        QFile::remove(inst.Archivio());
        ASSERT_TRUE(QFile::copy(intatto(), inst.Archivio()));
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

    // The archive's validation after the next open, which sweeps what a
    // killed run left; empty when clean.
    QString Validazione()
    {
        {
            Tabelle aperto(inst.Archivio(), GetParam().anno, GetParam().mese);
        }
        platform::ConnectionSettings s;
        s.database = inst.Archivio();
        return platform::DatabaseCreator::validate(s).text();
    }

    // The program started; `dopo` ms after its working period is set (the
    // archive open, the imports or the file about to begin) it is killed,
    // unless it ended first. Without `dopo`, run to its end: the ms from
    // that moment to the end.
    int Uccidi(const QStringList &a, std::optional<int> dopo, Esito *esito = nullptr)
    {
        QProcess p;
        p.start(inst.programma(), a);
        if (!p.waitForStarted(30'000))
            return -1;
        QByteArray uscita;
        while (!uscita.contains("\nParametri") && p.state() != QProcess::NotRunning)
            if (p.waitForReadyRead(20))
                uscita += p.readAllStandardOutput();
        QElapsedTimer t;
        t.start();
        if (dopo && !p.waitForFinished(*dopo))
            ::kill(pid_t(p.processId()), SIGKILL);
        p.waitForFinished(600'000);
        const int resto = int(t.elapsed());
        if (esito) {
            esito->ucciso = p.exitStatus() == QProcess::CrashExit;
            esito->codice = esito->ucciso ? -1 : p.exitCode();
            esito->uscita = QString::fromUtf8(uscita + p.readAllStandardOutput());
            esito->errori = QString::fromUtf8(p.readAllStandardError());
        }
        return resto;
    }

    int Istante(int da, int a) { return da + int(m_caso.bounded(quint32(qMax(1, a - da)))); }

    // Each person present is whole.
    static void IntereOAssenti(const Righe &dopo, const Righe &intere)
    {
        for (auto it = dopo.cbegin(); it != dopo.cend(); ++it)
            EXPECT_EQ(it.value(), intere.value(it.key())) << it.key().toStdString() << " is not whole";
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
    const int durataImport = Uccidi(argomenti(opzioniImport()), std::nullopt, &intero);
    ASSERT_TRUE(esitoImport(intero)) << intero.uscita.toStdString() << intero.errori.toStdString();
    if (!s.file) {
        const Righe intere = Leggi();
        ASSERT_GE(intere.size(), Persone / 2);
        for (int volta = 0; volta < Uccisioni; ++volta) {
            Ripristina();
            const int dopo = Istante(0, durataImport);
            SCOPED_TRACE(QStringLiteral("seme %1, ucciso %2 ms dopo il periodo").arg(m_seme).arg(dopo).toStdString());
            Uccidi(argomenti(opzioniImport()), dopo);
            const Righe dopoUccisione = Leggi();
            std::cout << "ucciso " << dopo << " ms dopo il periodo: " << dopoUccisione.size() << " di " << intere.size()
                      << " persone" << std::endl;
            IntereOAssenti(dopoUccisione, intere);
            EXPECT_EQ(Validazione(), QString());
            const Esito ripreso = esegui(inst.programma(), argomenti(opzioniImport()));
            EXPECT_TRUE(esitoImport(ripreso)) << ripreso.errori.toStdString();
            EXPECT_EQ(Leggi(), intere);
            NessunTemporaneo();
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
    const int durataFile = Uccidi(argomenti(soloFile), std::nullopt, &primo);
    ASSERT_EQ(primo.codice, 0) << primo.uscita.toStdString() << primo.errori.toStdString();
    QFile letto(file);
    ASSERT_TRUE(letto.open(QIODevice::ReadOnly));
    const QByteArray completo = letto.readAll();
    letto.close();
    ASSERT_TRUE(QDomDocument().setContent(completo));
    const Righe intere = Leggi();
    const QByteArray vecchio = completo + "<!-- il file di prima -->\n";

    for (int volta = 0; volta < Uccisioni; ++volta) {
        const bool sostituisce = volta % 2 == 0;
        QDir(cartella).removeRecursively();
        QDir().mkpath(cartella);
        if (sostituisce) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(vecchio);
        }
        const int dopo = Istante(0, durataFile + 20);
        SCOPED_TRACE(QStringLiteral("seme %1, ucciso %2 ms dopo il periodo%3")
                         .arg(m_seme)
                         .arg(dopo)
                         .arg(sostituisce ? QStringLiteral(", sul file di prima") : QString())
                         .toStdString());
        Uccidi(argomenti(soloFile), dopo);
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
        IntereOAssenti(Leggi(), intere);
        EXPECT_EQ(Leggi().keys(), intere.keys());
        EXPECT_EQ(Validazione(), QString());
        const Esito ripreso = esegui(inst.programma(), argomenti(soloFile));
        EXPECT_EQ(ripreso.codice, 0) << ripreso.errori.toStdString();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll().size(), completo.size());
        NessunTemporaneo();
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
