// The rest of an imported employee row: week slots, covered days and
// exemption causes as rules, then weeks, days, part-time hours, useful
// weeks, the minimum and the exemption on persons made for each case
// (ZepImportSupport.h, March 2024).
#include "ZepFileSupport.h"
#include "ZepImportSupport.h"
#include "tovUUtil.h"

using namespace importtest;
using platform::DataSet;

namespace {

QDate d(int m, int g)
{
    return QDate(2024, m, g);
}

} // namespace

TEST(ZepImpDipendentiDati, WeekSlotsOfAMonth)
{
    struct Caso {
        const char *nome;
        int anno, mese;
        QList<std::pair<QDate, QDate>> periodi;
        QList<int> id;
        QList<int> finoA; // day of the month
        QString coperte;  // one X or . per slot
    };
    const QList<Caso> casi{
        {"March 2024", 2024, 3, {{d(3, 1), d(3, 31)}}, {9, 10, 11, 12, 13, 14}, {2, 9, 16, 23, 30, 31}, "XXXXXX"},
        {"a period in part",
         2024,
         3,
         {{d(3, 11), d(3, 20)}},
         {9, 10, 11, 12, 13, 14},
         {2, 9, 16, 23, 30, 31},
         "..XX.."},
        {"from February, taken within March",
         2024,
         3,
         {{d(2, 20), d(3, 5)}},
         {9, 10, 11, 12, 13, 14},
         {2, 9, 16, 23, 30, 31},
         "XX...."},
        {"June 2024 begins on a Saturday",
         2024,
         6,
         {{d(6, 1), d(6, 1)}},
         {22, 23, 24, 25, 26, 27},
         {1, 8, 15, 22, 29, 30},
         "X....."},
        {"April 2024 has five weeks", 2024, 4, {}, {14, 15, 16, 17, 18}, {6, 13, 20, 27, 30}, "....."},
        {"February 2026 has four",
         2026,
         2,
         {{QDate(2026, 2, 1), QDate(2026, 2, 28)}},
         {6, 7, 8, 9},
         {7, 14, 21, 28},
         "XXXX"},
    };
    for (const Caso &c : casi) {
        const QList<TZepImpMultiSelect::TSettimana> s = TZepImpMultiSelect::Settimane(c.anno, c.mese, c.periodi);
        QList<int> id, finoA;
        QString coperte;
        for (const auto &w : s) {
            id << w.id;
            finoA << w.finoA.day();
            coperte += w.coperta ? QLatin1Char('X') : QLatin1Char('.');
        }
        EXPECT_EQ(id, c.id) << c.nome;
        EXPECT_EQ(finoA, c.finoA) << c.nome;
        EXPECT_EQ(coperte, c.coperte) << c.nome;
    }
    EXPECT_EQ(TZepImpMultiSelect::GiorniCoperti(2024, 3,
                                                {{d(2, 20), d(3, 10)}, {d(3, 5), d(3, 12)}, {d(3, 31), d(4, 3)}}),
              13);
}

TEST(ZepImpDipendentiDati, ExemptionCauseAndAllowanceTableCode)
{
    EXPECT_EQ(TZepImpMultiSelect::TipoAnf(QStringLiteral("T20A")), "20A");
    EXPECT_EQ(TZepImpMultiSelect::TipoAnf(QStringLiteral("T11")), "11");
    EXPECT_EQ(TZepImpMultiSelect::CausaleEsonero(10074, euro("3")), "L098");
    EXPECT_EQ(TZepImpMultiSelect::CausaleEsonero(10074, euro("7")), "L098");
    EXPECT_EQ(TZepImpMultiSelect::CausaleEsonero(10074, euro("2")), "L094");
    EXPECT_EQ(TZepImpMultiSelect::CausaleEsonero(10075, euro("7")), "L100");
    EXPECT_EQ(TZepImpMultiSelect::CausaleEsonero(10075, euro("0.8")), "L095");
}

namespace {

class ZepImpDipendentiDatiSuArchivio : public ImportTest {
protected:
    // The person's salary register.
    int registro(int acom)
    {
        platform::SqlQuery q(tdb.db());
        q.setSql(QStringLiteral("SELECT FIRST 1 IREGSID FROM TREGS_REGISTROSTIP WHERE IACOMID = %1 AND ICOTID = 1")
                     .arg(acom));
        q.open();
        return q.value(0).toInt();
    }
    // The INPS days and hours of a retention on the person's register.
    void giorniInps(int acom, int ricerca, int giorni, const char *ore)
    {
        const int regs = registro(acom);
        inserisci(tdb.db(), "TVAIN_GIORNIINPS", "IVAINID",
                  {{"IREGSID", regs}, {"IRICEID", ricerca}, {"IVAINGIORNI", giorni}, {"FVAINORE", euro(ore)}});
    }
    void esonero(int acom, int voce, const char *importo, const char *percentuale)
    {
        const int regs = registro(acom);
        inserisci(tdb.db(), "TVACR_VARCOMPRIGHE", "IVACRID",
                  {{"IREGSID", regs},
                   {"ICOMRID", voce},
                   {"FVACRLORDO", euro(importo)},
                   {"FVACRPERCESONEROIVS", euro(percentuale)}});
    }
};

} // namespace

TEST_F(ZepImpDipendentiDatiSuArchivio, WeeksDaysHoursAndExemptionOfTheRows)
{
    // Full time from the 11th, 18 INPS days, the salary and 13th-month
    // exemptions (30.00 at 3 % is a 13th-month base of 1,000.00).
    Persona pieno = persona("Settimane", "STTPRV80A01A944A", {inps(3, "2000")});
    pieno.inizio = d(3, 11);
    pieno.periodi = {Periodo{d(3, 11), d(3, 31), 20}};
    // Part time without a part-time period: its hours and no useful weeks.
    Persona orePt = persona("Orept", "RPTPRV80A01A944A", {inps(13, "600")});
    orePt.periodi = {Periodo{d(3, 1), d(3, 31), 30}};
    // Part time with 52.5 INPS hours over 40 contract hours.
    Persona pt = persona("Parziale", "PRZPRV80A01A944A", {inps(13, "1500")});
    // 26 INPS days for 100.00: below the minimum.
    Persona basso = persona("Basso", "BSSPRV80A01A944A", {inps(3, "100")});
    pt.periodi = {Periodo{d(3, 1), d(3, 31), 31, 1200, true}};
    pt.servizioStorico = 1200;
    const int acomPieno = scriviPersona(tdb.db(), pieno);
    const int acomOre = scriviPersona(tdb.db(), orePt);
    const int acomPt = scriviPersona(tdb.db(), pt);
    const int acomBasso = scriviPersona(tdb.db(), basso);
    giorniInps(acomBasso, 3, 26, "0");
    giorniInps(acomPieno, 3, 18, "0");
    giorniInps(acomOre, 13, 0, "20");
    giorniInps(acomPt, 13, 0, "52.5");
    esonero(acomPieno, 10074, "40.00", "2");
    esonero(acomPieno, 10075, "30.00", "3");
    EXPECT_EQ(importa({acomPieno, acomOre, acomPt, acomBasso}).importati, 4);

    const Riga f = dipendente(pieno.codiceFiscale).value(0);
    EXPECT_EQ(f.value("IdSettimana_1"), Value(9));
    EXPECT_EQ(f.value("IdSettimana_6"), Value(14));
    EXPECT_EQ(f.value("SettFinoA_2"), Value(d(3, 9)));
    EXPECT_TRUE(f.value("TipoCopertura_2").isNull()) << "before the hire";
    EXPECT_EQ(f.value("TipoCopertura_3"), Value("X"));
    EXPECT_EQ(f.value("TipoCopertura_6"), Value("X"));
    EXPECT_EQ(f.value("GiorniContribuiti"), Value(18));
    EXPECT_EQ(f.value("GiorniRetribuiti"), Value(21)) << "the days the periods cover";
    EXPECT_EQ(f.value("GIORNI").toString().size(), 31);
    EXPECT_TRUE(f.value("GIORNI").toString().startsWith(QStringLiteral("          S"))) << "in service from the 11th";
    EXPECT_EQ(f.value("EsoneroIVSCodiceCausale"), Value("L094"));
    EXPECT_EQ(f.value("EsoneroIVSImporto"), Value(euro("40")));
    EXPECT_EQ(f.value("EsoneroIVS13CodiceCausale"), Value("L100"));
    EXPECT_EQ(f.value("EsoneroIVS13Importo"), Value(euro("30")));
    EXPECT_EQ(f.value("EsoneroIVS13BaseRif"), Value(euro("1000")));
    EXPECT_EQ(f.value("EsoneroIVSBaseRif"), Value(euro("1000"))) << "2,000.00 less the 13th month's base";
    EXPECT_EQ(f.value("RispettoMinimale"), Value("0"));

    const Riga o = dipendente(orePt.codiceFiscale).value(0);
    EXPECT_EQ(o.value("OreContribuite"), Value(2000));
    EXPECT_TRUE(o.value("SettimaneUtili").isNull());
    const QStringList messaggi = services->messageTexts();
    EXPECT_TRUE(messaggi.contains(
        QStringLiteral("Impossibile calcolare le settimane utili per OREPT PROVA.\r\nControllare \"Orari/Riduzioni\" "
                       "nella pagina \"Altri dati\" dello storico:\r\ndeve esistere almeno un periodo part-time e il "
                       "campo \"Den.\" deve essere impostato .")))
        << messaggi.join(QLatin1Char('|')).toStdString();

    const Riga p = dipendente(pt.codiceFiscale).value(0);
    EXPECT_EQ(p.value("OreContribuite"), Value(5250));
    EXPECT_EQ(p.value("SettimaneUtili"), Value(131)) << "5,250 / 40, halves to even";
    EXPECT_EQ(p.value("Qualifica2"), Value("P")) << "no vertical part-time row";
    EXPECT_EQ(p.value("RispettoMinimale"), Value("0"));
    EXPECT_EQ(dipendente(basso.codiceFiscale).value(0).value("RispettoMinimale"), Value("S"));
}

TEST_F(ZepImpDipendentiDatiSuArchivio, ExemptionRowsThatAbortThePerson)
{
    Persona madri = persona("Madri", "MDRPRV80A01A944A", {inps(3, "2000")});
    Persona diverse = persona("Diverse", "DVRPRV80A01A944A", {inps(3, "2000")});
    const int acomMadri = scriviPersona(tdb.db(), madri);
    const int acomDiverse = scriviPersona(tdb.db(), diverse);
    esonero(acomMadri, 10077, "40.00", "100");
    esonero(acomDiverse, 10074, "40.00", "2");
    esonero(acomDiverse, 10074, "20.00", "3");
    const auto esito = importa({acomMadri, acomDiverse});
    EXPECT_EQ(esito.falliti, 2);
    const QString testi = services->messageTexts().join(QLatin1Char('|'));
    EXPECT_TRUE(testi.contains(QStringLiteral("Esonero IVS madri non gestito."))) << testi.toStdString();
    EXPECT_TRUE(testi.contains(QStringLiteral("Percentuali diversi di taglio IVS non gestito.")))
        << testi.toStdString();
    EXPECT_TRUE(dipendente(madri.codiceFiscale).isEmpty());
    EXPECT_TRUE(dipendente(diverse.codiceFiscale).isEmpty());
}

// ---------------------------------------------------------------------------
// "Importa" on the demo archive of July and November 2022: every employee
// row has its weeks and days, and the employees given the one-off bonus
// carry it.

namespace {

template <int Mese>
class ZepImpDemo2022 : public ImportTest {
protected:
    ZepImpDemo2022() : ImportTest(40, 2022, Mese) {}

    void ImportaEVerifica(int voce, int meseBonus)
    {
        const TwunFiscImpMultiSelect::Esito esito = importa({});
        EXPECT_EQ(esito.falliti, 0) << services->messageTexts().join(QLatin1Char('|')).toStdString();
        DataSet righe;
        store.Load(righe, TZepImpMultiSelect::TabellaDipendenti);
        ASSERT_GT(righe.recordCount(), 0);
        const QDate fine = TTovDate::LastDayOfMonth(2022, Mese);
        for (righe.first(); !righe.eof(); righe.next()) {
            if (righe.fieldByName("Matricola").asString() != "1234567890")
                continue;
            const std::string cf = righe.fieldByName("CFLavoratore").asString().toStdString();
            EXPECT_EQ(righe.fieldByName("IdSettimana_1").asInteger(), TTovDate::WeekOfYear(QDate(2022, Mese, 1))) << cf;
            EXPECT_FALSE(righe.fieldByName("SettFinoA_1").isNull()) << cf;
            EXPECT_EQ(righe.fieldByName("GIORNI").asString().size(), fine.day()) << cf;
            EXPECT_GT(righe.fieldByName("GiorniRetribuiti").asInteger(), 0) << cf;
        }

        // The employees of the import with the bonus item of the month.
        platform::SqlQuery q(tdb.db());
        q.setSql(QStringLiteral("SELECT DISTINCT ANA.SANACODFISCALE, REGS.IACOMID FROM TREGS_REGISTROSTIP REGS "
                                "JOIN TVACR_VARCOMPRIGHE VACR ON VACR.IREGSID = REGS.IREGSID AND VACR.ICOMRID = %1 "
                                "JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = REGS.IACOMID JOIN TANAPER_POSIZIONI P ON "
                                "P.IANAPERID = ACOM.IANAPERID JOIN TANACAG_MATRICOLE M ON M.IANACAGID = P.IANACAGID "
                                "JOIN TANA_ANAGRAFICHE ANA ON ANA.IANAID = M.IANAID WHERE REGS.IMESID = %2 AND "
                                "ANA.SANACODFISCALE IS NOT NULL AND EXISTS (SELECT 1 FROM TVARR_VARRITENUTE VARR "
                                "WHERE VARR.IREGSID = REGS.IREGSID AND VARR.IRICEID IN (3, 13))")
                     .arg(voce)
                     .arg(Mese));
        int conBonus = 0;
        for (q.open(); !q.eof(); q.next()) {
            const QString cf = q.value(0).toString();
            ASSERT_TRUE(righe.locate("CFLavoratore", Value(cf))) << cf.toStdString();
            EXPECT_EQ(righe.fieldByName("BonusUTImporto").asCurrency(), euro(voce == 10072 ? "200" : "150"));
            EXPECT_EQ(righe.fieldByName("BonusUTMese").asInteger(), meseBonus);
            if (voce == 10073) {
                EXPECT_EQ(righe.fieldByName("BonusUTBaseRif").asCurrency(),
                          TWunCalcolaAnno2022::ImponibileBonus150(q.value(1).toInt(), 0));
            }
            ++conBonus;
        }
        EXPECT_GT(conBonus, 0);
    }
};

} // namespace

using ZepImpDemoLuglio2022 = ZepImpDemo2022<7>;
using ZepImpDemoNovembre2022 = ZepImpDemo2022<11>;

TEST_F(ZepImpDemoLuglio2022, TheRowsCarryWeeksDaysAndThe200Euros)
{
    ImportaEVerifica(10072, 7);
}

TEST_F(ZepImpDemoNovembre2022, TheRowsCarryWeeksDaysAndThe150EurosWithTheirBase)
{
    ImportaEVerifica(10073, 11);

    // The month's file holds the weeks, the days and the bonus cause.
    periodtest::FakeMainState stato(store, dentest::cartellaBuild());
    struct Corrente {
        explicit Corrente(IZepMainState *s) { IZepMainState::SetCurrent(s); }
        ~Corrente() { IZepMainState::SetCurrent(nullptr); }
    } corrente(&stato);
    platform::DataSet dichiarante;
    store.LoadPeriod(dichiarante, TZepParametri::TabellaDichiarante, 2022, 0);
    dichiarante.append();
    for (const auto &[campo, valore] : filetest::dichiarante())
        dichiarante.fieldByName(campo).setValue(valore);
    dichiarante.post();
    store.SavePeriod(dichiarante, TZepParametri::TabellaDichiarante, 2022, 0);
    // The employees' file: the month's collaborators are not this test's.
    platform::DataSet collaboratori;
    store.Load(collaboratori, TZepImpMultiSelect::TabellaCollaboratori);
    while (!collaboratori.isEmpty())
        collaboratori.deleteRecord();
    store.Save(collaboratori, TZepImpMultiSelect::TabellaCollaboratori);
    QTemporaryDir cartella;
    platform::DataSet aziendale;
    filetest::Registro registro;
    TZepFile file(store, aziendale, &registro);
    file.CFSoftwarehouse = QStringLiteral("09876543210");
    file.NomeFile = cartella.filePath(QStringLiteral("uniEMens2022-11.Xml"));
    file.CaricaTabelle();
    file.RicalcolaDenunciaAziendale();
    file.CaricaTabelle();
    file.GeneraDenunceMensili();
    QFile scritto(file.NomeFile);
    ASSERT_TRUE(scritto.open(QIODevice::ReadOnly)) << registro.righe.join(QLatin1Char('\n')).toStdString();
    const QByteArray xml = scritto.readAll();
    EXPECT_TRUE(xml.contains("<Settimana>"));
    EXPECT_TRUE(xml.contains("<TipoCopertura>X</TipoCopertura>"));
    EXPECT_TRUE(xml.contains("<Giorno "));
    EXPECT_TRUE(xml.contains("<CodiceCausale>L033</CodiceCausale>"));
}
