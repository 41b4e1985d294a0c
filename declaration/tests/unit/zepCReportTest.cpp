// The prints' data without a display: the declaration print's day strips,
// sections and totals, and the print dialogs' choice list, selection and
// month filter, over tables kept in a real archive.
#include "ZepDatiDenunciaSupport.h"

#include "Field.h"
#include "TovUCdsUtil.h"
#include "ZepCReportPubblico.h"
#include "zepCRepBase.h"
#include "zepCReport.h"

#include <QTemporaryDir>

using namespace dentest;
using platform::Currency;
using platform::FieldType;

namespace {

Value euro(const char *testo)
{
    return Value(Currency::fromString(QString::fromLatin1(testo)));
}

// The block of the print with the title, or nullptr.
const TZepStampaBlocco *blocco(const TZepStampa &s, const QString &titolo)
{
    for (const TZepStampaBlocco &b : s.blocchi)
        if (b.titolo == titolo)
            return &b;
    return nullptr;
}

QString campo(const TZepStampaBlocco &b, const QString &etichetta)
{
    for (const auto &[e, v] : b.campi)
        if (e == etichetta)
            return v;
    return QStringLiteral("<assente>");
}

} // namespace

TEST(ZepReportStrisce, DayHeaderAndDayCodesOfTheMonth)
{
    struct Caso {
        QString giorni;
        int giorniMese;
        QString cal, lav;
    };
    const QString cal28 = [] {
        QString s = QStringLiteral("|");
        for (int g = 1; g <= 28; ++g)
            s += QStringLiteral("%1 |").arg(g, 2);
        return s;
    }();
    const QList<Caso> casi{
        // 28 days: 28 cells each; the codes past the month are cut.
        {QStringLiteral("SSSSSNN").repeated(5), 28, cal28,
         QStringLiteral("|") + QStringLiteral(" S | S | S | S | S | N | N |").repeated(4)},
        // A day beyond the codes reads 'N'; a blank stays blank.
        {QStringLiteral("S S"), 31, cal28 + QStringLiteral("29 |30 |31 |"),
         QStringLiteral("| S |   | S |") + QStringLiteral(" N |").repeated(28)},
        // No codes: both strips empty.
        {QString(), 30, QString(), QString()},
    };
    for (const Caso &c : casi) {
        SCOPED_TRACE(c.giorni.toStdString());
        EXPECT_EQ(TZepReport::GiorniCal(c.giorni, c.giorniMese), c.cal);
        EXPECT_EQ(TZepReport::GiorniLav(c.giorni, c.giorniMese), c.lav);
        if (!c.cal.isEmpty()) {
            EXPECT_EQ(TZepReport::GiorniLav(c.giorni, c.giorniMese).count(QLatin1Char('|')), c.giorniMese + 1);
        }
    }
    EXPECT_EQ(TZepReport::DescrMese(QStringLiteral("01")), QStringLiteral("gennaio"));
    EXPECT_EQ(TZepReport::DescrMese(QStringLiteral("12")), QStringLiteral("dicembre"));
    EXPECT_EQ(TZepReport::DescrMese(QStringLiteral("00")), QString());
}

class ZepStampe : public DatiDenunciaTest {
protected:
    void Dipendente(const char *cf, const char *cognome, const char *matricola, const char *imponibile,
                    const char *contributo, const QString &giorni = {})
    {
        Aggiungi(QStringLiteral("TEMD_DIPENDENTI"),
                 {{QStringLiteral("CFLavoratore"), Value(QString::fromLatin1(cf))},
                  {QStringLiteral("Cognome"), Value(QString::fromLatin1(cognome))},
                  {QStringLiteral("Nome"), Value(QStringLiteral("ANNA"))},
                  {QStringLiteral("Matricola"), Value(QString::fromLatin1(matricola))},
                  {QStringLiteral("Imponibile"), euro(imponibile)},
                  {QStringLiteral("Contributo"), euro(contributo)},
                  {QStringLiteral("GiorniRetribuiti"), Value(20)},
                  {QStringLiteral("GIORNI"), Value(giorni)},
                  {QStringLiteral("AnnoMeseDenuncia"), Value(PeriodoDenuncia())}});
    }
    void Collaboratore(const char *cf, const char *cognome, const char *imponibile)
    {
        Aggiungi(QStringLiteral("TEMC_COLLABORATORI"),
                 {{QStringLiteral("CFCollaboratore"), Value(QString::fromLatin1(cf))},
                  {QStringLiteral("Cognome"), Value(QString::fromLatin1(cognome))},
                  {QStringLiteral("Nome"), Value(QStringLiteral("LUCA"))},
                  {QStringLiteral("Imponibile"), euro(imponibile)},
                  {QStringLiteral("AnnoMeseDenuncia"), Value(PeriodoDenuncia())}});
    }
    // The working-period file of the print, as "Parametri" writes it.
    QString FilePeriodo(const char *anno, const char *mese)
    {
        DataSet ds;
        ds.setFieldDefs({{QStringLiteral("SEAMANNOFIN"), FieldType::String, 4},
                         {QStringLiteral("SEAMMESE"), FieldType::String, 2}});
        ds.createDataSet();
        ds.appendRecord({QString::fromLatin1(anno), QString::fromLatin1(mese)});
        const QString file = m_dir.filePath(QStringLiteral("TEAM_ANNOMESE.cds"));
        TTovCds::SaveToFile(ds, file);
        return file;
    }
    QTemporaryDir m_dir;
};

TEST_F(ZepStampe, TheDeclarationPrintsEachPersonWithItsOwnRowsAndTheSumsAsTotals)
{
    Periodo(QStringLiteral("2024"), QStringLiteral("02")); // 29 days
    Dipendente("BBBBBB00A01H501B", "BIANCHI", "M2", "1000.10", "100.01", QStringLiteral("SN"));
    Dipendente("AAAAAA00A01H501A", "ALBERTI", "M1", "2000.20", "200.02", QStringLiteral("NS"));
    Dipendente("CCCCCC00A01H501C", "CONTI", "M1", "0.35", "0.04");
    Collaboratore("DDDDDD00A01H501D", "D'ANGELO", "500.50");
    Collaboratore("EEEEEE00A01H501E", "ESPOSITO", "1500.00");
    // A performing-arts worker: declared under M1 beside its employees.
    Aggiungi(QStringLiteral("TEFE_FPLSEXENPALS"),
             {{QStringLiteral("CFLavoratore"), Value(QStringLiteral("FFFFFF00A01H501F"))},
              {QStringLiteral("Cognome"), Value(QStringLiteral("FERRI"))},
              {QStringLiteral("Nome"), Value(QStringLiteral("IDA"))},
              {QStringLiteral("Matricola"), Value(QStringLiteral("M1"))},
              {QStringLiteral("Imponibile"), euro("4514.73")},
              {QStringLiteral("Contributo"), euro("1489.85")},
              {QStringLiteral("GiorniRetribuiti"), Value(20)},
              {QStringLiteral("RetribTeorica"), euro("4514.73")},
              {QStringLiteral("AnnoMeseDenuncia"), Value(PeriodoDenuncia())}});

    TZepReport report(store, TZepDenuncia::UniEmens);
    report.Carica(FilePeriodo("2024", "02"));
    const TZepStampa s = report.Stampa();
    EXPECT_EQ(s.periodo, QStringLiteral("febbraio 2024"));

    // Company number M1 first, its persons by fiscal code, each with its own
    // strips (CONTI has no day codes: none).
    QStringList titoli;
    for (const TZepStampaBlocco &b : s.blocchi)
        titoli << b.titolo;
    const int m1 = titoli.indexOf(QStringLiteral("Dipendenti - matricola INPS M1"));
    ASSERT_GE(m1, 0);
    EXPECT_EQ(titoli.mid(m1, 7),
              QStringList(
                  {QStringLiteral("Dipendenti - matricola INPS M1"), QStringLiteral("ALBERTI ANNA - AAAAAA00A01H501A"),
                   QStringLiteral("CONTI ANNA - CCCCCC00A01H501C"), QStringLiteral("Iscritti FPLS - matricola INPS M1"),
                   QStringLiteral("FERRI IDA - FFFFFF00A01H501F"), QStringLiteral("Totali matricola M1"),
                   QStringLiteral("Dipendenti - matricola INPS M2")}));
    const TZepStampaBlocco *alberti = blocco(s, QStringLiteral("ALBERTI ANNA - AAAAAA00A01H501A"));
    ASSERT_TRUE(alberti);
    ASSERT_EQ(alberti->righeFisse.size(), 2);
    EXPECT_TRUE(alberti->righeFisse.at(1).startsWith(QStringLiteral("| N | S | N |")));
    EXPECT_EQ(alberti->righeFisse.at(0).count(QLatin1Char('|')), 30);
    EXPECT_EQ(alberti->tabelle.at(0).righe,
              QList<QStringList>({{QStringLiteral("2.000,20"), QStringLiteral("200,02"), QStringLiteral("20"),
                                   QString(), QString(), QString()}}));
    EXPECT_TRUE(blocco(s, QStringLiteral("CONTI ANNA - CCCCCC00A01H501C"))->righeFisse.isEmpty());

    const TZepStampaBlocco *totM1 = blocco(s, QStringLiteral("Totali matricola M1"));
    const TZepStampaBlocco *ferri = blocco(s, QStringLiteral("FERRI IDA - FFFFFF00A01H501F"));
    ASSERT_TRUE(ferri);
    // As the file declares them: an empty type as "00", the theoretical pay
    // in whole euros.
    EXPECT_EQ(campo(*ferri, QStringLiteral("Tipo contribuzione:")), QStringLiteral("00"));
    EXPECT_EQ(campo(*ferri, QStringLiteral("Retribuzione teorica:")), QStringLiteral("4.515,00"));
    EXPECT_EQ(ferri->tabelle.at(0).righe.at(0).mid(0, 3),
              QStringList({QStringLiteral("4.514,73"), QStringLiteral("1.489,85"), QStringLiteral("20")}));
    EXPECT_EQ(campo(*totM1, QStringLiteral("Lavoratori:")), QStringLiteral("3"));
    EXPECT_EQ(campo(*totM1, QStringLiteral("Imponibile:")), QStringLiteral("6.515,28"));
    EXPECT_EQ(campo(*totM1, QStringLiteral("Contributo:")), QStringLiteral("1.689,91"));
    const TZepStampaBlocco *tot = blocco(s, QStringLiteral("Totale dipendenti"));
    EXPECT_EQ(campo(*tot, QStringLiteral("Lavoratori:")), QStringLiteral("4"));
    EXPECT_EQ(campo(*tot, QStringLiteral("Imponibile:")), QStringLiteral("7.515,38"));

    const TZepStampaTabella &coll = blocco(s, QStringLiteral("Collaboratori"))->tabelle.at(0);
    ASSERT_EQ(coll.righe.size(), 2);
    EXPECT_EQ(coll.righe.at(0).at(1), QStringLiteral("D'ANGELO LUCA"));
    EXPECT_EQ(coll.totali.at(7), QStringLiteral("2.000,50"));
    report.Chiudi();
}

TEST_F(ZepStampe, ThePrintDialogsListEachPersonOnceAndPrintTheChosenOnesByMonth)
{
    Periodo(QStringLiteral("2024"), QStringLiteral("01"));
    Dipendente("AAAAAA00A01H501A", "O'BRIEN", "M1", "100", "10");
    Dipendente("BBBBBB00A01H501B", "BIANCHI", "M1", "200", "20");
    Collaboratore("DDDDDD00A01H501D", "D'ANGELO", "300");
    Periodo(QStringLiteral("2024"), QStringLiteral("03"));
    Dipendente("AAAAAA00A01H501A", "O'BRIEN", "M2", "400", "40");
    Dipendente("BBBBBB00A01H501B", "BIANCHI", "M1", "500", "50");
    Collaboratore("DDDDDD00A01H501D", "D'ANGELO", "600");
    Collaboratore("DDDDDD00A01H501D", "D'ANGELO", "700"); // a second relationship

    TzepRepDip dip(store, TZepDenuncia::UniEmens);
    dip.Carica();
    // One row per fiscal code and company number, by surname.
    QStringList scelta;
    for (dip.cdsScelta.first(); !dip.cdsScelta.eof(); dip.cdsScelta.next())
        scelta << dip.cdsScelta.fieldByName(QStringLiteral("Cognome")).asString() + QLatin1Char('/')
                      + dip.cdsScelta.fieldByName(QStringLiteral("Matricola")).asString();
    EXPECT_EQ(scelta,
              QStringList({QStringLiteral("BIANCHI/M1"), QStringLiteral("O'BRIEN/M1"), QStringLiteral("O'BRIEN/M2")}));
    QStringList matricole;
    for (dip.cdsMatricole.first(); !dip.cdsMatricole.eof(); dip.cdsMatricole.next())
        matricole << dip.cdsMatricole.fieldByName(QStringLiteral("Matricola")).asString();
    EXPECT_EQ(matricole, QStringList({QStringLiteral("M1"), QStringLiteral("M2")}));

    struct Caso {
        int mese;
        bool soloObrien;   // the choice: O'BRIEN under M2 alone, else none (everyone)
        QStringList righe; // "title: period amount" of every person's row
        QStringList totali;
    };
    const QList<Caso> casi{
        {0,
         false,
         {QStringLiteral("BIANCHI ANNA - BBBBBB00A01H501B: 2024-01 200,00"),
          QStringLiteral("BIANCHI ANNA - BBBBBB00A01H501B: 2024-03 500,00"),
          QStringLiteral("O'BRIEN ANNA - AAAAAA00A01H501A: 2024-01 100,00"),
          QStringLiteral("O'BRIEN ANNA - AAAAAA00A01H501A: 2024-03 400,00")},
         {QStringLiteral("700,00"), QStringLiteral("100,00"), QStringLiteral("400,00")}},
        {3,
         false,
         {QStringLiteral("BIANCHI ANNA - BBBBBB00A01H501B: 2024-03 500,00"),
          QStringLiteral("O'BRIEN ANNA - AAAAAA00A01H501A: 2024-03 400,00")},
         // O'BRIEN under M1 has no row in March: not printed.
         {QStringLiteral("500,00"), QStringLiteral("400,00")}},
        {0, true, {QStringLiteral("O'BRIEN ANNA - AAAAAA00A01H501A: 2024-03 400,00")}, {QStringLiteral("400,00")}},
    };
    for (const Caso &c : casi) {
        SCOPED_TRACE(c.mese);
        QList<platform::Bookmark> scelti;
        if (c.soloObrien) {
            ASSERT_TRUE(dip.cdsScelta.locate(QStringLiteral("Cognome;Matricola"),
                                             {QStringLiteral("O'BRIEN"), QStringLiteral("M2")}));
            scelti << dip.cdsScelta.bookmark();
        }
        dip.Mese = c.mese;
        dip.Scegli(scelti);
        const TZepStampa s = dip.Stampa();
        QStringList righe, totali;
        for (const TZepStampaBlocco &b : s.blocchi)
            for (const TZepStampaTabella &t : b.tabelle) {
                for (const QStringList &r : t.righe)
                    righe << b.titolo + QStringLiteral(": ") + r.at(0) + QLatin1Char(' ') + r.at(5);
                totali << t.totali.at(5);
            }
        righe.sort();
        EXPECT_EQ(righe, c.righe);
        EXPECT_EQ(totali, c.totali);
    }

    // A collaborator with several relationships is listed once; every row
    // of the month is printed.
    TzepRepColl coll(store, TZepDenuncia::UniEmens);
    coll.Carica();
    EXPECT_EQ(coll.cdsScelta.recordCount(), 1);
    coll.Mese = 3;
    coll.Scegli({});
    const TZepStampa s = coll.Stampa();
    const TZepStampaBlocco *b = blocco(s, QStringLiteral("D'ANGELO LUCA - DDDDDD00A01H501D"));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->tabelle.at(0).righe.size(), 2);
    EXPECT_EQ(b->tabelle.at(0).totali.at(6), QStringLiteral("1.300,00"));
    EXPECT_EQ(s.periodo, QStringLiteral("marzo 2024"));
}

// The earlier programs' reduced declaration and lists over the same tables:
// the declarant, employees and collaborators only, the E-Mens figures, no
// day strips, no contribution, no company declaration, no public sector.
TEST_F(ZepStampe, TheEarlierProgramsPrintTheReducedDeclarationOfTheirEMensRows)
{
    Periodo(QStringLiteral("2008"), QStringLiteral("05"));
    Dipendente("AAAAAA00A01H501A", "ALBERTI", "M1", "2000.00", "200.00", QStringLiteral("SSSSS"));
    Aggiungi(QStringLiteral("TEMD_DIPENDENTI"),
             {{QStringLiteral("CFLavoratore"), Value(QStringLiteral("BBBBBB00A01H501B"))},
              {QStringLiteral("Cognome"), Value(QStringLiteral("BIANCHI"))},
              {QStringLiteral("Matricola"), Value(QStringLiteral("M1"))},
              {QStringLiteral("Imponibile"), euro("1000.00")},
              {QStringLiteral("Anno"), Value(2007)},
              {QStringLiteral("MeseDal"), Value(1)},
              {QStringLiteral("MeseAl"), Value(12)},
              {QStringLiteral("AumentoImponibile"), euro("300.00")},
              {QStringLiteral("AnnoMeseDenuncia"), Value(PeriodoDenuncia())}});
    Collaboratore("DDDDDD00A01H501D", "D'ANGELO", "500.00");
    {
        DataSet dichiarante;
        store.LoadPeriod(dichiarante, QStringLiteral("TAMM_AMMINISTRAZIONE"), 2008, 0);
        dichiarante.append();
        dichiarante.fieldByName(QStringLiteral("RagSocMittente")).setValue(Value(QStringLiteral("STUDIO")));
        dichiarante.fieldByName(QStringLiteral("Provincia")).setValue(Value(QStringLiteral("RM")));
        dichiarante.post();
        store.SavePeriod(dichiarante, QStringLiteral("TAMM_AMMINISTRAZIONE"), 2008, 0);
    }
    // Rows of the current program's other tables, which the reduced form
    // never reads.
    Aggiungi(QStringLiteral("TEMA_DENAZIENDALE"), {{QStringLiteral("Matricola"), Value(QStringLiteral("M1"))}});
    Aggiungi(QStringLiteral("TD0_ANAG"), {{QStringLiteral("IAFIID"), Value(7)},
                                          {QStringLiteral("AN_D0001002_COGNOME"), Value(QStringLiteral("VERDI"))}});

    struct Caso {
        TZepDenuncia denuncia;
        QString titolo;
        bool strisce, contributo, pubblico;
    };
    for (const Caso &c : {Caso{TZepDenuncia::UniEmens, TZepReport::TitoloStampa, true, true, true},
                          Caso{TZepDenuncia::EMens, TZepReport::TitoloStampaEMens, false, false, false},
                          Caso{TZepDenuncia::EMensLocale, TZepReport::TitoloStampaEMens, false, false, false}}) {
        SCOPED_TRACE(c.titolo.toStdString());
        // The current program's own section is left out of the reduced form.
        TZepReport report(store, c.denuncia, std::make_unique<TZepReportPubblico>());
        report.Carica(FilePeriodo("2008", "05"));
        const TZepStampa s = report.Stampa();
        report.Chiudi();
        EXPECT_EQ(s.titolo, c.titolo);
        EXPECT_EQ(s.periodo, QStringLiteral("maggio 2008"));
        const TZepStampaBlocco *alberti = blocco(s, QStringLiteral("ALBERTI ANNA - AAAAAA00A01H501A"));
        ASSERT_TRUE(alberti);
        EXPECT_EQ(alberti->righeFisse.isEmpty(), !c.strisce);
        EXPECT_EQ(alberti->tabelle.at(0).colonne.contains(QStringLiteral("Contributo")), c.contributo);
        const TZepStampaBlocco *tot = blocco(s, QStringLiteral("Totale dipendenti"));
        ASSERT_TRUE(tot);
        EXPECT_EQ(campo(*tot, QStringLiteral("Imponibile:")), QStringLiteral("3.000,00"));
        EXPECT_EQ(campo(*tot, QStringLiteral("Contributo:")),
                  c.contributo ? QStringLiteral("200,00") : QStringLiteral("<assente>"));
        EXPECT_EQ(blocco(s, QStringLiteral("Denuncia aziendale")) != nullptr, c.pubblico);
        EXPECT_EQ(blocco(s, QStringLiteral("Iscritti ex DMA (INPDAP)")) != nullptr, c.pubblico);
        EXPECT_EQ(campo(*blocco(s, QStringLiteral("Dichiarante")), QStringLiteral("Provincia:"))
                      == QStringLiteral("<assente>"),
                  !c.pubblico);
        ASSERT_TRUE(blocco(s, QStringLiteral("Collaboratori")));
        EXPECT_EQ(blocco(s, QStringLiteral("Collaboratori"))->tabelle.at(0).totali.at(7), QStringLiteral("500,00"));
        // The E-Mens pay variations of the earlier year, under the row.
        const TZepStampaBlocco *bianchi = blocco(s, QStringLiteral("BIANCHI - BBBBBB00A01H501B"));
        ASSERT_TRUE(bianchi);
        // Without paid days the file declares 0: the print shows it too.
        EXPECT_EQ(bianchi->tabelle.at(0).righe.at(0).at(c.contributo ? 2 : 1), QStringLiteral("0"));
        if (c.denuncia == TZepDenuncia::UniEmens) {
            EXPECT_EQ(bianchi->tabelle.size(), 1);
        } else {
            ASSERT_EQ(bianchi->tabelle.size(), 2);
            EXPECT_EQ(bianchi->tabelle.at(1).righe,
                      QList<QStringList>({{QStringLiteral("2007"), QStringLiteral("1"), QStringLiteral("12"),
                                           QStringLiteral("300,00"), QString()}}));
        }

        // The list of "Dipendenti": the variations in place of the
        // contribution, summed.
        TzepRepDip dip(store, c.denuncia);
        dip.Carica();
        dip.Scegli({});
        const TZepStampa elenco = dip.Stampa();
        const TZepStampaBlocco *persona = blocco(elenco, QStringLiteral("BIANCHI - BBBBBB00A01H501B"));
        ASSERT_TRUE(persona);
        const TZepStampaTabella &righe = persona->tabelle.at(0);
        EXPECT_EQ(righe.totali.mid(5), c.contributo ? QStringList({QStringLiteral("1.000,00"), QStringLiteral("0,00")})
                                                    : QStringList({QStringLiteral("1.000,00"), QStringLiteral("300,00"),
                                                                   QStringLiteral("0,00")}));
    }
}
