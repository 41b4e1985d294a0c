// The earlier program's years and its local-file form: the year folder made
// from the initial files, the structure upgrade of older files, and the
// local store, whose month saves keep the other months and survive a
// failure or a kill in the middle.
#include "ZepCCdsLocale.h"
#include "ZepCKax.h"
#include "ZepCParametri.h"
#include "ZepUMainState.h"
#include "ZepUUtil.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"
#include "RecordingServices.h"
#include "TovUCdsUtil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <iostream>
#include <sys/wait.h>
#include <unistd.h>

using platform::DataSet;
using platform::FieldDefs;
using platform::FieldType;

namespace {

FieldDefs campiDipendenti(bool elimina)
{
    FieldDefs d{{"AnnoMeseDenuncia", FieldType::String, 7},
                {"CFLavoratore", FieldType::String, 16},
                {"Imponibile", FieldType::Integer}};
    if (elimina)
        d.append({"ELIMINA", FieldType::String, 1});
    return d;
}

void scrivi(const QString &file, const FieldDefs &defs, const QList<platform::ValueList> &righe = {})
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    DataSet ds;
    ds.loadRecords(defs, righe);
    TTovCds::SaveToFile(ds, file);
}

class Stato : public IZepMainState {
public:
    Stato(ITovDBCds &store, TZepProgramma p, QString base) : m_store(store), m_p(std::move(p)), m_base(std::move(base))
    {
    }
    const TZepProgramma &Programma() const override { return m_p; }
    QString CartellaBase() const override { return m_base; }
    QString DataModello() const override { return {}; }
    void SetDataModello(const QString &) override {}
    QString CartellaDatiAnno() const override { return m_cartella; }
    void SetCartellaDatiAnno(const QString &c) override { m_cartella = c; }
    ITovDBCds &Store() override { return m_store; }
    void SetTestoStato(const QString &) override {}
    void SetTitolo(const QString &t) override { titolo = t; }
    QString titolo;

private:
    ITovDBCds &m_store;
    TZepProgramma m_p;
    QString m_base, m_cartella;
};

class LocaleTest : public ::testing::Test {
protected:
    LocaleTest()
    {
        scrivi(iniziale + TZepKax::FileDipendenti, campiDipendenti(true));
        scrivi(iniziale + TZepKax::FileCollaboratori,
               {{"AnnoMeseDenuncia", FieldType::String, 7}, {"CodiceComune", FieldType::String, 4}});
        scrivi(iniziale + TZepKax::FileDichiarante, {{"CFMittente", FieldType::String, 16}});
    }
    ~LocaleTest() override { SetPeriodoDenuncia(m_anno, m_mese); }

    void Scegli(const QString &anno, int mese)
    {
        TZepParametri parametri(stato);
        parametri.Controlla(anno);
        parametri.Applica(anno, mese, QString());
    }
    QString Anno(int anno) const { return base + QStringLiteral("USR/ZEPDati/ZEP%1/").arg(anno); }

    RecordingServicesScope services;
    QTemporaryDir dir;
    QString base = dir.path() + QLatin1Char('/');
    QString iniziale = base + QStringLiteral("USR/ZEP/DbIniziale/");
    TZepCdsLocale store{base, QStringLiteral("USR/ZEPDati/ZEP")};
    Stato stato{store, TZepParametri::ProgrammaEMensLocale(), base};

private:
    QString m_anno = AnnoDenuncia, m_mese = MeseDenuncia;
};

} // namespace

TEST(EMensAnni, EachProgramRefusesTheYearsOfTheOthers)
{
    // The program to start, as it is started here: no Windows menu.
    const QString menu = QStringLiteral("Per gestire i dati degli anni finanziari precedenti al 2008 eseguire il "
                                        "programma da:\n\nbash scripts/run.sh zep   (il programma \"zep - Denunce "
                                        "E-Mens 2005-2007\")");
    const QString uni = QStringLiteral("Per gestire i dati degli anni finanziari successivi al 2009 utilizzare il "
                                       "programma \"zepUni - Denunce UniEmens\".");
    const QString db = QStringLiteral("Per gestire i dati degli anni finanziari successivi al 2007 utilizzare il "
                                      "programma \"zepdb - Denunce E-Mens\".");
    const QString locale = QStringLiteral("Anno finanziario deve essere compreso tra 2005 e 2007");
    const struct {
        TZepProgramma programma;
        int anno;
        QString errore;
    } casi[] = {
        {TZepParametri::ProgrammaEMens(), 2007, menu},         {TZepParametri::ProgrammaEMens(), 2008, {}},
        {TZepParametri::ProgrammaEMens(), 2009, {}},           {TZepParametri::ProgrammaEMens(), 2010, uni},
        {TZepParametri::ProgrammaEMensLocale(), 2004, locale}, {TZepParametri::ProgrammaEMensLocale(), 2005, {}},
        {TZepParametri::ProgrammaEMensLocale(), 2007, {}},     {TZepParametri::ProgrammaEMensLocale(), 2008, db},
        {TZepParametri::ProgrammaEMensLocale(), 2009, db},     {TZepParametri::ProgrammaEMensLocale(), 2010, uni}};
    for (const auto &c : casi) {
        SCOPED_TRACE(c.programma.Titolo.toStdString() + " " + std::to_string(c.anno));
        QString errore;
        try {
            c.programma.ControllaAnno(c.anno);
        } catch (const EUqError &e) {
            errore = e.message();
        }
        EXPECT_EQ(errore, c.errore);
    }
}

TEST_F(LocaleTest, TheFirstOpeningOfAYearMakesItsFolderWithThePreviousDeclarant)
{
    scrivi(Anno(2005) + TZepKax::FileDichiarante, {{"CFMittente", FieldType::String, 16}}, {{"01234567890"}});
    Scegli("2006", 3);
    EXPECT_EQ(stato.CartellaDatiAnno(), "USR/ZEPDati/ZEP2006/");
    DataSet dichiarante, dipendenti;
    store.LoadPeriod(dichiarante, "TAMM_AMMINISTRAZIONE", 2006, 0);
    ASSERT_EQ(dichiarante.recordCount(), 1);
    EXPECT_EQ(dichiarante.fieldValue("CFMittente").toString(), "01234567890");
    store.Load(dipendenti, "TEMD_DIPENDENTI");
    EXPECT_TRUE(dipendenti.isEmpty());

    // 2007 takes 2006's; a year without a previous folder the empty one.
    Scegli("2007", 1);
    store.LoadPeriod(dichiarante, "TAMM_AMMINISTRAZIONE", 2007, 0);
    EXPECT_EQ(dichiarante.recordCount(), 1);
    QDir(Anno(2005)).removeRecursively();
    Scegli("2005", 1);
    store.LoadPeriod(dichiarante, "TAMM_AMMINISTRAZIONE", 2005, 0);
    EXPECT_TRUE(dichiarante.isEmpty());
}

TEST_F(LocaleTest, AFailedCopyStopsTheFolderAndLeavesNothingHalfMade)
{
    QFile::remove(iniziale + TZepKax::FileCollaboratori);
    try {
        Scegli("2006", 3);
        FAIL() << "the year was prepared without its collaborator file";
    } catch (const EUqError &e) {
        EXPECT_TRUE(
            e.message().startsWith("Errore nella generazione del file, operazione non conclusasi con successo\n"));
        EXPECT_TRUE(e.message().contains(TZepKax::FileCollaboratori));
    }
    EXPECT_FALSE(QFileInfo::exists(Anno(2006)));
}

TEST_F(LocaleTest, AKillWhileTheYearFolderIsMadeLeavesItWholeOrAbsent)
{
    bool ok = false;
    quint32 seme = qEnvironmentVariable("ZEP_TEST_SEME").toUInt(&ok);
    if (!ok)
        seme = quint32(QDateTime::currentMSecsSinceEpoch());
    std::cout << "ZEP_TEST_SEME=" << seme << " replays the kills" << std::endl;
    QRandomGenerator caso(seme);
    const QStringList interi = QStringList{TZepKax::FileDichiarante, TZepKax::FileCollaboratori,
                                           TZepKax::FileDipendenti};
    for (int prova = 0; prova < 10; ++prova) {
        // The child makes the year's folder again and again, each time in an
        // installation of its own sharing the initial files, until killed.
        const QString prove = dir.filePath(QStringLiteral("prova%1/").arg(prova));
        const pid_t figlio = fork();
        ASSERT_GE(figlio, 0);
        if (figlio == 0) {
            for (int i = 0;; ++i) {
                const QString b = prove + QString::number(i) + QLatin1Char('/');
                QDir().mkpath(b + QStringLiteral("USR/ZEP"));
                QFile::link(base + QStringLiteral("USR/ZEP/DbIniziale"), b + QStringLiteral("USR/ZEP/DbIniziale"));
                TZepCdsLocale s(b, QStringLiteral("USR/ZEPDati/ZEP"));
                Stato st(s, TZepParametri::ProgrammaEMensLocale(), b);
                TZepParametri parametri(st);
                parametri.Controlla(QStringLiteral("2006"));
                parametri.Applica(QStringLiteral("2006"), 3, QString());
            }
        }
        const int dopo = 3000 + int(caso.bounded(60000));
        usleep(useconds_t(dopo));
        kill(figlio, SIGKILL);
        int status = 0;
        waitpid(figlio, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        SCOPED_TRACE(QStringLiteral("seme %1, ucciso dopo %2 µs").arg(seme).arg(dopo).toStdString());
        const QStringList installazioni = QDir(prove).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &i : installazioni) {
            const QString dati = prove + i + QStringLiteral("/USR/ZEPDati/");
            const QString anno = dati + QStringLiteral("ZEP2006");
            if (QFileInfo::exists(anno)) {
                EXPECT_EQ(QDir(anno).entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase), interi)
                    << i.toStdString() << ": a half year folder";
            }
        }
        // The installation the kill came in opens its year, and nothing of
        // the killed run is left beside the folder.
        if (installazioni.isEmpty())
            continue; // killed before it began one
        const QString ultima = prove + QString::number(installazioni.size() - 1) + QLatin1Char('/');
        QDir().mkpath(ultima + QStringLiteral("USR/ZEP"));
        QFile::link(base + QStringLiteral("USR/ZEP/DbIniziale"), ultima + QStringLiteral("USR/ZEP/DbIniziale"));
        TZepCdsLocale s(ultima, QStringLiteral("USR/ZEPDati/ZEP"));
        Stato st(s, TZepParametri::ProgrammaEMensLocale(), ultima);
        TZepParametri parametri(st);
        parametri.Controlla(QStringLiteral("2006"));
        parametri.Applica(QStringLiteral("2006"), 3, QString());
        DataSet dipendenti;
        s.LoadPeriod(dipendenti, QStringLiteral("TEMD_DIPENDENTI"), 2006, 3);
        EXPECT_EQ(QDir(ultima + QStringLiteral("USR/ZEPDati")).entryList({QStringLiteral("ZEP2006*")}, QDir::Dirs),
                  QStringList{QStringLiteral("ZEP2006")});
    }
}

TEST_F(LocaleTest, OlderFilesAreBroughtToTheCurrentStructureOnlyWhenAFieldIsMissing)
{
    Scegli("2006", 3);
    // A year folder of an earlier version: employees without ELIMINA.
    scrivi(Anno(2006) + TZepKax::FileDipendenti, campiDipendenti(false),
           {{"2006-01", "RSSMRA80A01H501U", 100}, {"2006-03", "VRDLGU70B02F205X", 200}});
    const QByteArray collaboratori = [&] {
        QFile f(Anno(2006) + TZepKax::FileCollaboratori);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    int mostrato = 0;
    TZepKax::Dialogo = [&](bool on) { mostrato += on ? 1 : 0; };
    Scegli("2006", 3);
    TZepKax::Dialogo = nullptr;
    EXPECT_EQ(mostrato, 1);

    DataSet tutti;
    store.LoadPeriod(tutti, "TEMD_DIPENDENTI", 2006, -1);
    ASSERT_EQ(tutti.recordCount(), 2);
    for (tutti.first(); !tutti.eof(); tutti.next())
        EXPECT_EQ(tutti.fieldValue("ELIMINA").toString(), "N");
    EXPECT_TRUE(QFileInfo::exists(TTovCds::BackupName(Anno(2006) + TZepKax::FileDipendenti)));
    QFile f(Anno(2006) + TZepKax::FileCollaboratori);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), collaboratori);

    // A field of the old file that the new structure lacks stops the
    // upgrade and leaves the file as it was.
    FieldDefs estranei = campiDipendenti(false);
    estranei.append({"Estraneo", FieldType::String, 3});
    scrivi(Anno(2006) + TZepKax::FileDipendenti, estranei, {{"2006-01", "RSSMRA80A01H501U", 100, "X"}});
    TZepKax kax(Anno(2006), iniziale);
    EXPECT_THROW(kax.AllineaTabelleLocali(), platform::Exception);
    DataSet vecchio;
    TTovCds::LoadFromFile(vecchio, Anno(2006) + TZepKax::FileDipendenti);
    EXPECT_TRUE(vecchio.findField("Estraneo"));
}

class LocaleSalvaTest : public LocaleTest {
protected:
    LocaleSalvaTest()
    {
        Scegli("2006", 3);
        for (int mese = 1; mese <= 12; ++mese) {
            DataSet ds;
            store.LoadPeriod(ds, "TEMD_DIPENDENTI", 2006, mese);
            for (int i = 0; i < 3; ++i)
                ds.appendRecord({QStringLiteral("2006-%1").arg(mese, 2, 10, QLatin1Char('0')),
                                 QStringLiteral("CF%1").arg(i), mese * 10 + i, "N"});
            store.SavePeriod(ds, "TEMD_DIPENDENTI", 2006, mese);
        }
    }
    // Every month of the file whole: three rows with its own amounts.
    void MesiInteri()
    {
        for (int mese = 1; mese <= 12; ++mese) {
            DataSet ds;
            store.LoadPeriod(ds, "TEMD_DIPENDENTI", 2006, mese);
            ASSERT_EQ(ds.recordCount(), 3) << mese;
            int somma = 0;
            for (ds.first(); !ds.eof(); ds.next())
                somma += ds.fieldValue("Imponibile").toInt();
            EXPECT_TRUE(somma == mese * 30 + 3 || somma == mese * 30 + 3 + 9000) << mese << " " << somma;
        }
    }
};

TEST_F(LocaleSalvaTest, SavingAMonthKeepsTheOtherMonths)
{
    DataSet marzo;
    store.Load(marzo, "TEMD_DIPENDENTI");
    ASSERT_EQ(marzo.recordCount(), 3);
    marzo.first();
    marzo.deleteRecord();
    marzo.appendRecord({"2006-03", "CF9", 3000 + 30, "N"});
    store.Save(marzo, "TEMD_DIPENDENTI");
    EXPECT_EQ(marzo.changeCount(), 0);
    DataSet tutti;
    store.LoadPeriod(tutti, "TEMD_DIPENDENTI", 2006, -1);
    EXPECT_EQ(tutti.recordCount(), 36);
    EXPECT_TRUE(tutti.locate("CFLavoratore", "CF9"));
    EXPECT_EQ(tutti.fieldValue("AnnoMeseDenuncia").toString(), "2006-03");
}

// A unit's rows reach the file only at its commit, those of a dataset the
// run's units wrote before through the journal; a drop after the commit
// puts the file back; the end of the units writes the file a whole save
// writes, and no journal is left.
TEST_F(LocaleSalvaTest, AUnitsRowsReachTheFileWholeAndTheEndLeavesTheFileAWholeSaveWrites)
{
    const QString file = Anno(2006) + TZepKax::FileDipendenti;
    const auto suDisco = [&] { // the months as a reader of the folder sees them
        TZepCdsLocale lettore{base, QStringLiteral("USR/ZEPDati/ZEP")};
        DataSet ds;
        lettore.LoadPeriod(ds, "TEMD_DIPENDENTI", 2006, -1);
        QStringList righe;
        for (ds.first(); !ds.eof(); ds.next())
            righe << ds.fieldValue("AnnoMeseDenuncia").toString() + ds.fieldValue("CFLavoratore").toString() + "="
                         + ds.fieldValue("Imponibile").toString();
        return righe;
    };
    DataSet marzo;
    store.Load(marzo, "TEMD_DIPENDENTI");
    const auto unita = [&](const std::function<void()> &righe) {
        store.BeginUnit();
        righe();
        store.Save(marzo, "TEMD_DIPENDENTI");
        const QStringList prima = suDisco();
        store.CommitUnit();
        EXPECT_NE(suDisco(), prima) << "kept aside until the commit";
        return prima;
    };
    unita([&] { marzo.appendRecord({"2006-03", "CF10", 1, "N"}); });
    EXPECT_FALSE(QFileInfo::exists(TZepCdsLocale::FileGiornale(file))) << "the first written whole";
    const QStringList dopoPrima = suDisco();

    // A second unit, dropped after its commit, as when the person's own
    // commit fails: the caller puts its dataset back.
    const DataSet::Savepoint punto = marzo.savepoint();
    unita([&] {
        marzo.appendRecord({"2006-03", "CF11", 2, "N"});
        marzo.first();
        marzo.edit();
        marzo.fieldByName("Imponibile").setAsInteger(4000);
        marzo.post();
    });
    EXPECT_TRUE(QFileInfo::exists(TZepCdsLocale::FileGiornale(file)));
    EXPECT_TRUE(suDisco().contains("2006-03CF11=2"));
    store.DropUnit();
    marzo.restore(punto);
    EXPECT_EQ(suDisco(), dopoPrima);

    unita([&] {
        marzo.last();
        marzo.deleteRecord();
        marzo.appendRecord({"2006-03", "CF12", 3, "N"});
    });
    const QStringList conGiornale = suDisco();
    EXPECT_EQ(conGiornale.size(), 37);
    EXPECT_TRUE(conGiornale.contains("2006-03CF12=3") && !conGiornale.contains("2006-03CF10=1"));
    store.EndUnits();
    EXPECT_FALSE(QFileInfo::exists(TZepCdsLocale::FileGiornale(file)));
    EXPECT_EQ(suDisco(), conGiornale);
    const auto leggi = [&] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray finito = leggi();
    store.Save(marzo, "TEMD_DIPENDENTI");
    EXPECT_EQ(leggi(), finito);
}

TEST_F(LocaleSalvaTest, ASaveStoppedAtAnyStepLeavesEveryMonthWhole)
{
    for (auto passo : {TTovCds::SaveStep::TemporaryWritten, TTovCds::SaveStep::BackupMade}) {
        DataSet marzo;
        store.Load(marzo, "TEMD_DIPENDENTI");
        marzo.first();
        marzo.edit();
        marzo.fieldByName("Imponibile").setAsInteger(marzo.fieldValue("Imponibile").toInt() + 1000);
        marzo.post();
        TTovCds::SaveStepHook = [passo](TTovCds::SaveStep s) {
            if (s == passo)
                throw std::runtime_error("interrotto");
        };
        EXPECT_THROW(store.Save(marzo, "TEMD_DIPENDENTI"), std::runtime_error);
        TTovCds::SaveStepHook = nullptr;
        // The failed save gave the month back as it was stored.
        EXPECT_EQ(marzo.changeCount(), 0);
        MesiInteri();
    }
}

// Saved whole each time, or each save a unit of an import (the first
// written whole, the next ones to the journal, every seventh the end of
// the units).
class LocaleUccisioneTest : public LocaleSalvaTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LocaleUccisioneTest, AKillWhileSavingLeavesAFileThatLoadsWithEveryMonthWhole)
{
    const bool unita = GetParam();
    const QString file = Anno(2006) + TZepKax::FileDipendenti;
    for (int prova = 0; prova < 5; ++prova) {
        const pid_t figlio = fork();
        ASSERT_GE(figlio, 0);
        if (figlio == 0) {
            // Saves March again and again, every row changed each time,
            // until it is killed.
            DataSet marzo;
            store.Load(marzo, "TEMD_DIPENDENTI");
            for (int i = 0;; ++i) {
                if (!unita)
                    store.Load(marzo, "TEMD_DIPENDENTI");
                else
                    store.BeginUnit();
                for (marzo.first(); !marzo.eof(); marzo.next()) {
                    marzo.edit();
                    const int v = marzo.fieldValue("Imponibile").toInt();
                    marzo.fieldByName("Imponibile").setAsInteger(v >= 3000 ? v - 3000 : v + 3000);
                    marzo.post();
                }
                store.Save(marzo, "TEMD_DIPENDENTI");
                if (unita) {
                    store.CommitUnit();
                    if (i % 7 == 6)
                        store.EndUnits();
                }
            }
        }
        usleep(20000 + prova * 7000);
        kill(figlio, SIGKILL);
        int status = 0;
        waitpid(figlio, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        ASSERT_TRUE(TTovCds::FileExists(file));
        MesiInteri();
    }
}

INSTANTIATE_TEST_SUITE_P(Salvataggi, LocaleUccisioneTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool> &i) {
                             return std::string(i.param ? "Unita" : "Interi");
                         });
