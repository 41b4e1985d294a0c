// zep (the earlier program's local-file form, zepDemoDeclaration --programma
// zep) on a full disk: its year folder without room, or with room for a few
// saves, while a month is imported; its output folder without room while
// the E-Mens file is written. A file that cannot be written is the
// installation's fault: the run ends at once naming the cause in Italian and
// no person, every person in the year folder is whole or absent, the other
// month is untouched, nothing is left half written, and once there is room
// the rerun completes. The full disk is the tests' preloaded module
// (ZEP_TEST_DISCO_PIENO) watching one folder.
#include "ZepCCdsLocale.h"
#include "ZepDemoDeclarationSupport.h"

#include <QDirIterator>

using namespace demotest;

namespace {

struct Caso {
    const char *nome;
    bool file;     // the file step, else the import
    double stanza; // the room left, in sizes of the employees' table file
};

void PrintTo(const Caso &c, std::ostream *os)
{
    *os << c.nome;
}

class CartellaPiena : public ::testing::TestWithParam<Caso> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(inst.CreaArchivio(30, QStringLiteral("2006-01"), QStringLiteral("2006-02"), false), QString());
        // January imported and its file written: the year folder is made
        // and holds a declarant.
        const Esito gennaio = Zep(QStringLiteral("2006-01"), {QStringLiteral("--output"), Uscita(QStringLiteral("ok")),
                                                              QStringLiteral("--completa-demo")});
        ASSERT_EQ(gennaio.codice, 0) << gennaio.uscita.toStdString() << gennaio.errori.toStdString();
        righeGennaio = Righe(1);
    }

    QString Anno() const { return inst.path(QStringLiteral("USR/ZEPDati/ZEP2006")); }
    QString Uscita(const QString &cartella) const
    {
        return inst.path(QStringLiteral("out/") + cartella + QStringLiteral("/EMens.Xml"));
    }

    Esito Zep(const QString &periodo, const QStringList &altre,
              const QProcessEnvironment &ambiente = QProcessEnvironment::systemEnvironment()) const
    {
        return inst.Dichiara(inst.Archivio(), periodo, QString(), ambiente,
                             QStringList{QStringLiteral("--programma"), QStringLiteral("zep")} + altre);
    }

    // The disk of `cartella` with `stanza` bytes of room.
    static QProcessEnvironment Piena(const QString &cartella, qint64 stanza)
    {
        QProcessEnvironment a = QProcessEnvironment::systemEnvironment();
        a.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(ZEP_TEST_DISCO_PIENO));
        a.insert(QStringLiteral("ZEP_DISCO_PIENO_FILE"), cartella);
        a.insert(QStringLiteral("ZEP_DISCO_PIENO_LIMITE"), QString::number(stanza));
        a.insert(QStringLiteral("ASAN_OPTIONS"),
                 a.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
        return a;
    }

    // The month's rows of the year folder by table and fiscal code.
    QMap<QString, QStringList> Righe(int mese) const
    {
        TZepCdsLocale cartella(inst.path(QString()), QStringLiteral("USR/ZEPDati/ZEP"));
        cartella.SetYear(2006);
        cartella.SetMonth(mese);
        QMap<QString, QStringList> out;
        for (const auto &[tabella, cf] :
             {std::pair{"TEMD_DIPENDENTI", "CFLavoratore"}, std::pair{"TEMC_COLLABORATORI", "CFCollaboratore"}}) {
            platform::DataSet ds;
            cartella.Load(ds, QLatin1String(tabella));
            for (ds.first(); !ds.eof(); ds.next()) {
                QStringList valori;
                for (const auto &campo : ds.fields())
                    valori << campo->asString();
                out[QLatin1String(tabella) + QLatin1Char(':') + ds.fieldByName(QLatin1String(cf)).asString()]
                    << valori.join(QLatin1Char('|'));
            }
        }
        for (QStringList &r : out)
            r.sort();
        return out;
    }

    QStringList Temporanei() const
    {
        QStringList lasciati;
        QDirIterator it(inst.path(QString()), {QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            lasciati << it.next();
        return lasciati;
    }

    // The end of a run on the full disk: the cause, in Italian, and no person.
    static void SoloLaCausa(const Esito &e)
    {
        EXPECT_EQ(e.codice, 1) << e.uscita.toStdString() << e.errori.toStdString();
        EXPECT_TRUE(e.errori.contains(QStringLiteral("spazio su disco esaurito"))) << e.errori.toStdString();
        for (const char *estraneo : {"Controllare i dati del dipendente", " - CF: ", "Unknown error", "No space left"})
            EXPECT_FALSE(e.errori.contains(QLatin1String(estraneo))) << estraneo << "\n" << e.errori.toStdString();
    }

    Installazione inst;
    QMap<QString, QStringList> righeGennaio;
};

} // namespace

TEST_P(CartellaPiena, TheRunEndsNamingTheCauseAndLosesNothing)
{
    const Caso &c = GetParam();
    const qint64 tabella = QFileInfo(Anno() + QStringLiteral("/TEMD_DIPENDENTI.CDS")).size();
    ASSERT_GT(tabella, 0);
    const qint64 stanza = qint64(c.stanza * double(tabella));
    if (c.file) {
        const QString cartella = QFileInfo(Uscita(QStringLiteral("piena"))).absolutePath();
        ASSERT_TRUE(QDir().mkpath(cartella));
        const Esito e = Zep(QStringLiteral("2006-01"),
                            {QStringLiteral("--output"), Uscita(QStringLiteral("piena")),
                             QStringLiteral("--solo-file")},
                            Piena(cartella, stanza));
        SoloLaCausa(e);
        EXPECT_TRUE(e.errori.contains(QStringLiteral("Errore nella generazione del file"))) << e.errori.toStdString();
        EXPECT_EQ(QDir(cartella).entryList(QDir::Files | QDir::Hidden), QStringList());
        EXPECT_EQ(Righe(1), righeGennaio);
        return;
    }

    // February as a run with room makes it, on a copy of the year folder.
    const QString copia = inst.path(QStringLiteral("copia"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), Anno(), copia}), 0);
    const Esito intero = Zep(QStringLiteral("2006-02"), {});
    ASSERT_EQ(intero.codice, 0) << intero.errori.toStdString();
    const QMap<QString, QStringList> febbraio = Righe(2);
    ASSERT_GE(febbraio.size(), 10);
    ASSERT_TRUE(QDir(Anno()).removeRecursively());
    ASSERT_TRUE(QDir().rename(copia, Anno()));

    const Esito e = Zep(QStringLiteral("2006-02"), {}, Piena(Anno(), stanza));
    SoloLaCausa(e);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("L'importazione è stata interrotta."))) << e.errori.toStdString();
    EXPECT_TRUE(e.errori.contains(QStringLiteral("TEMD_DIPENDENTI.CDS"))) << e.errori.toStdString();
    EXPECT_EQ(e.errori.count(QStringLiteral("spazio su disco esaurito")), 1)
        << "ended at the first: " << e.errori.toStdString();
    const QMap<QString, QStringList> dopo = Righe(2);
    EXPECT_LT(dopo.size(), febbraio.size());
    for (auto it = dopo.cbegin(); it != dopo.cend(); ++it)
        EXPECT_EQ(it.value(), febbraio.value(it.key())) << it.key().toStdString() << " is not whole";
    EXPECT_EQ(Righe(1), righeGennaio);
    EXPECT_EQ(Temporanei(), QStringList());

    // With room again the rerun completes.
    const Esito ripreso = Zep(QStringLiteral("2006-02"), {});
    EXPECT_EQ(ripreso.codice, 0) << ripreso.errori.toStdString();
    EXPECT_EQ(Righe(2), febbraio);
}

INSTANTIATE_TEST_SUITE_P(Zep, CartellaPiena,
                         ::testing::Values(Caso{"ImportNoRoom", false, 0}, Caso{"ImportRoomForAFewSaves", false, 3.5},
                                           Caso{"FileNoRoom", true, 0}),
                         [](const ::testing::TestParamInfo<Caso> &i) { return std::string(i.param.nome); });
