// The employee rows of the private-sector import, with persons made for each
// case (ZepImportSupport.h).
#include "ZepImportSupport.h"

#include "tovUCalcoli.h"

using namespace importtest;
using platform::DataSet;

namespace {

Currency contributo(const QList<Ritenuta> &righe)
{
    Currency c;
    for (const Ritenuta &r : righe)
        c += r.dipendente + r.amministrazione;
    return c;
}

// 1,200 minutes out of 40 hours over 31 days, with a prize of 200.00.
Persona parziale()
{
    Persona p = persona("Parziale", "PRZPRV80A01A944A", {inps(13, "1000")});
    p.periodi = {Periodo{{2024, 3, 1}, {2024, 3, 31}, 31, 1200, true}};
    p.servizioStorico = 1200;
    p.iis = {inps(13, "50")};
    p.premio = inps(13, "200");
    p.storico10001 = euro("1000.50");
    return p;
}

} // namespace

using ZepImpDipendenti = ImportTest;

TEST_F(ZepImpDipendenti, EmployeeRowsOfTheMonthFieldByField)
{
    Persona pieno = persona("Pieno", "PNIPRV80A01A944A", {inps(3, "2000")});
    pieno.iis = {inps(3, "100")};
    pieno.regimePost95 = 0;
    Persona assunto = persona("Assunto", "SSNPRV80A01A944A", {inps(3, "1333.33")});
    assunto.inizio = {2024, 3, 11};
    assunto.periodi = {Periodo{{2024, 3, 11}, {2024, 3, 31}, 20}};
    Persona cessato = persona("Cessato", "CSSPRV80A01A944A", {inps(3, "1000")});
    cessato.fine = {2024, 3, 15};
    cessato.periodi = {Periodo{{2024, 3, 1}, {2024, 3, 15}, 15}};
    const Persona zero = persona("Zero", "ZREPRV80A01A944A", {inps(3, "0")});
    Persona misto = persona("Misto", "MSTPRV80A01A944A", {inps(3, "1000"), inps(13, "500")});
    misto.periodi = {Periodo{{2024, 3, 1}, {2024, 3, 15}, 15}, Periodo{{2024, 3, 16}, {2024, 3, 31}, 16, 1200, true}};
    // A period without dates, its register's only one, is dated by the
    // register: from the 5th.
    Persona senzaDate = persona("Senzadate", "SNZPRV80A01A944A", {inps(3, "1500")});
    senzaDate.registroDal = {2024, 3, 5};
    senzaDate.periodi = {Periodo{QDate(), QDate()}};
    const Persona pt = parziale();
    QList<int> compensi;
    for (const Persona &p : {pieno, assunto, cessato, zero, misto, senzaDate, pt})
        compensi << scriviPersona(tdb.db(), p);
    EXPECT_EQ(importa(compensi).importati, 7);
    EXPECT_EQ(services->messageTexts(), QStringList{TwunFiscImpMultiSelect::MsgFineOperazione});

    // Full time: the defaults, the amounts, the periods' contract hours, the
    // contract's theoretical pay (2,000.00 + 100.00); no hire, no end.
    const QList<Riga> f = dipendente(pieno.codiceFiscale);
    ASSERT_EQ(f.size(), 1);
    const Riga attesi{{"AnnoMeseDenuncia", "2024-03"},
                      {"Matricola", "1234567890"},
                      {"Elimina", "N"},
                      {"Cognome", "PIENO"},
                      {"Nome", "PROVA"},
                      {"Cittadinanza", "235"},
                      {"Qualifica1", "2"},
                      {"Qualifica2", "F"},
                      {"Qualifica3", "D"},
                      {"TipoContribuzione", "00"},
                      {"CodiceComune", "A944"},
                      {"CodiceContratto", "CPUB"},
                      {"RegimePost95", "No"},
                      {"TipoLavoratore", "0"},
                      {"NumMensilita", 13000},
                      {"RispettoMinimale", "0"},
                      {"Imponibile", euro("2100")},
                      {"Contributo", contributo(pieno.stipendio + pieno.iis)},
                      {"OrarioContrattuale", 4000},
                      {"RetribTeorica", euro("2100")},
                      {"PercPartTime", Value::null()},
                      {"GiornoAssunzione", Value::null()},
                      {"GiornoCessazione", Value::null()}};
    for (auto it = attesi.cbegin(); it != attesi.cend(); ++it)
        EXPECT_EQ(f[0].value(it.key()), it.value()) << it.key().toStdString();

    const Riga a = dipendente(assunto.codiceFiscale).value(0);
    EXPECT_EQ(a.value("GiornoAssunzione"), Value(11));
    EXPECT_EQ(a.value("TipoAssunzione"), Value("1"));
    EXPECT_TRUE(a.value("GiornoCessazione").isNull());
    const Riga c = dipendente(cessato.codiceFiscale).value(0);
    EXPECT_TRUE(c.value("GiornoAssunzione").isNull());
    EXPECT_EQ(c.value("GiornoCessazione"), Value(15));
    EXPECT_EQ(c.value("TipoCessazione"), Value("1C"));
    EXPECT_EQ(c.value("RetribTeorica"), Value(euro("1050"))) << "15 days of 30";
    EXPECT_EQ(dipendente(senzaDate.codiceFiscale).value(0).value("GiornoAssunzione"), Value(5));
    EXPECT_TRUE(dipendente(zero.codiceFiscale).isEmpty()) << "no taxable, no row";

    // Both kinds in the month: a row each, the part-time one over its periods.
    const QList<Riga> m = dipendente(misto.codiceFiscale);
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[0].value("Qualifica2"), Value("F"));
    EXPECT_EQ(m[0].value("Imponibile"), Value(euro("1000")));
    EXPECT_EQ(m[1].value("Qualifica2"), Value("P"));
    EXPECT_EQ(m[1].value("Imponibile"), Value(euro("500")));
    EXPECT_EQ(m[1].value("GiornoAssunzione"), Value(16));

    // Part time, 31 days of 40 hours with 1,200 minutes; the prize on the
    // main company number lands in the row.
    const QList<Riga> p = dipendente(pt.codiceFiscale);
    ASSERT_EQ(p.size(), 1);
    EXPECT_EQ(p[0].value("Qualifica2"), Value("P"));
    EXPECT_EQ(p[0].value("OrarioContrattuale"), Value(4000));
    EXPECT_EQ(p[0].value("PercPartTime"), Value(5000));
    EXPECT_EQ(p[0].value("Imponibile"), Value(euro("1250")));
    EXPECT_EQ(p[0].value("Contributo"), Value(contributo(pt.stipendio + pt.iis + QList<Ritenuta>{pt.premio})));
    // Half the hours over 31 commercial days: (1,000.00 + 50.00) x 31 / 30.
    EXPECT_EQ(p[0].value("RetribTeorica"), Value(euro("1085")));
}

TEST_F(ZepImpDipendenti, AccessoryPayOnItsOwnNumberOrCountedAsFullTime)
{
    const Persona pt = parziale();
    Persona pieno = persona("Pieno", "PNIPRV80A01A944A", {inps(3, "2000")});
    pieno.premio = inps(3, "300");
    pieno.storico10001 = euro("1999.49");
    const QList<int> compensi{scriviPersona(tdb.db(), pt), scriviPersona(tdb.db(), pieno)};
    parametro("MatricolaINPSAcc", "9999999999");
    importa(compensi);

    // A row of its own without periods: contract hours and part-time share
    // of the compensation and its history, theoretical pay of the history's
    // salary in whole euros.
    QList<Riga> p = dipendente(pt.codiceFiscale);
    ASSERT_EQ(p.size(), 2);
    EXPECT_EQ(p[0].value("Imponibile"), Value(euro("1050")));
    const Riga attesi{{"Matricola", "9999999999"},    {"Qualifica2", "P"},
                      {"Imponibile", euro("200")},    {"Contributo", pt.premio.dipendente + pt.premio.amministrazione},
                      {"OrarioContrattuale", 4000},   {"PercPartTime", 5000},
                      {"RetribTeorica", euro("1001")}};
    for (auto it = attesi.cbegin(); it != attesi.cend(); ++it)
        EXPECT_EQ(p[1].value(it.key()), it.value()) << it.key().toStdString();
    const QList<Riga> f = dipendente(pieno.codiceFiscale);
    ASSERT_EQ(f.size(), 2);
    EXPECT_EQ(f[1].value("Qualifica2"), Value("F"));
    EXPECT_TRUE(f[1].value("PercPartTime").isNull());
    EXPECT_EQ(f[1].value("RetribTeorica"), Value(euro("1999")));

    // Part time as full time: one full-time row with every amount.
    parametro("PT_COME_INTERO", true);
    parametro("MatricolaINPSAcc", "1234567890");
    importa({compensi[0]});
    p = dipendente(pt.codiceFiscale);
    ASSERT_EQ(p.size(), 1);
    EXPECT_EQ(p[0].value("Qualifica2"), Value("F"));
    EXPECT_EQ(p[0].value("Imponibile"), Value(euro("1250")));
    EXPECT_TRUE(p[0].value("PercPartTime").isNull());
}

TEST_F(ZepImpDipendenti, AFailingPersonIsRolledBackAndReportedTheOthersStay)
{
    // Type "71": a prize with an employee share fails after the person's
    // main row was written; two periods of one register, one undated, fail
    // before anything is written.
    parametro("TipoContribuzione", "71");
    const Ritenuta senzaQuotaDipendente{3, euro("2000"), Currency(), euro("476.20")};
    const Persona primo = persona("Primo", "PRMPRV80A01A944A", {senzaQuotaDipendente});
    Persona premio = persona("Premio", "PRMPRV80A01A944B", {senzaQuotaDipendente});
    premio.premio = inps(3, "200");
    Persona storico = persona("Storico", "STRPRV80A01A944A", {senzaQuotaDipendente});
    storico.periodi = {Periodo{QDate(), QDate()}, Periodo{}};
    const Persona ultimo = persona("Ultimo", "LTMPRV80A01A944A", {senzaQuotaDipendente});
    const TwunFiscImpMultiSelect::Esito esito = importa(
        {scriviPersona(tdb.db(), primo), scriviPersona(tdb.db(), premio), scriviPersona(tdb.db(), storico),
         scriviPersona(tdb.db(), ultimo)});
    EXPECT_EQ(esito.importati, 2);
    EXPECT_EQ(esito.falliti, 2);
    const QStringList messaggi = services->messageTexts();
    ASSERT_EQ(messaggi.size(), 3);
    EXPECT_TRUE(messaggi[0].startsWith("Controllare i dati del dipendente:Premio Prova\r\n\r\n"
                                       + TZepImpMultiSelect::MsgTipoContribuzione));
    EXPECT_TRUE(messaggi[1].startsWith("Controllare i dati del dipendente:Storico Prova\r\n\r\n"
                                       + TZepImpMultiSelect::MsgOrariRiduzioni));
    EXPECT_EQ(dipendente(primo.codiceFiscale).size(), 1);
    EXPECT_EQ(dipendente(ultimo.codiceFiscale).size(), 1);
    EXPECT_TRUE(dipendente(premio.codiceFiscale).isEmpty()) << "its written row is rolled back";
    EXPECT_FALSE(imp.cdsImport.locate("CFLavoratore", premio.codiceFiscale)) << "in memory too";
    EXPECT_TRUE(dipendente(storico.codiceFiscale).isEmpty());
}

TEST_F(ZepImpDipendenti, ReplaceChoiceKeepsOrReplacesThePersonsRowsInBothTables)
{
    const Persona pieno = persona("Pieno", "PNIPRV80A01A944A", {inps(3, "2000")});
    const int acom = scriviPersona(tdb.db(), pieno);
    importa({acom});
    // The user changed the row; the person is a collaborator too.
    ASSERT_TRUE(imp.cdsImport.locate("CFLavoratore", pieno.codiceFiscale));
    imp.cdsImport.edit();
    imp.cdsImport.fieldByName("Imponibile").setAsCurrency(euro("1"));
    imp.cdsImport.post();
    imp.cdsColl.appendRecord({Value(), Value(), pieno.codiceFiscale});
    imp.cdsColl.edit();
    imp.cdsColl.fieldByName("AnnoMeseDenuncia").setAsString("2024-03");
    imp.cdsColl.post();
    auto stato = [&] {
        const QList<Riga> d = dipendente(pieno.codiceFiscale);
        return QStringLiteral("%1 %2 %3")
            .arg(d.size())
            .arg(d.value(0).value("Imponibile").toString())
            .arg(righe(TZepImpMultiSelect::TabellaCollaboratori, "CFCollaboratore", pieno.codiceFiscale).size());
    };
    ASSERT_EQ(stato(), "1 1 1");

    imp.Sovrascrittura = TwunFiscImpMultiSelect::NonSovrascrivere;
    EXPECT_EQ(importa({acom}).saltati, 1);
    EXPECT_EQ(stato(), "1 1 1");
    imp.Sovrascrittura = TwunFiscImpMultiSelect::SovrascriviSempre;
    EXPECT_EQ(importa({acom}).importati, 1);
    EXPECT_EQ(stato(), "1 2000 0");
}

TEST(ZepImpMultiSelect, TheAccessoryRowIsThePersonsPartTimeRowWhateverItsKind)
{
    DataSet righe;
    righe.setFieldDefs({{"CFLavoratore", platform::FieldType::String, 16},
                        {"AnnoMeseDenuncia", platform::FieldType::String, 7},
                        {"Qualifica2", platform::FieldType::String, 1},
                        {"Matricola", platform::FieldType::String, 10}});
    righe.createDataSet();
    for (const char *tipo : {"F1", "V1", "M2"})
        righe.appendRecord({"CF", "2024-03", QString(QLatin1Char(tipo[0])), QString(QLatin1Char(tipo[1]))});
    // Retention, company number, the kind found ("" none).
    for (const auto &[codice, matricola, trovata] :
         {std::tuple{3, "1", "F"}, std::tuple{13, "1", "V"}, std::tuple{13, "2", "M"}, std::tuple{3, "2", ""},
          std::tuple{13, "3", ""}}) {
        righe.first();
        const bool esito = TZepImpMultiSelect::TrovaRiga(righe, "CF", "2024-03", codice, matricola);
        EXPECT_EQ(esito ? righe.fieldByName("Qualifica2").asString() : QString(), trovata) << codice << matricola;
    }
}

// The person's INPS sums read at once give, part by part, what the
// statement of each part gave on its own: the taxable of the catalogue's
// per-part statements and the withholdings summed the same way, for every
// compensation of a demo quarter, over one month and over three. Some
// liquidations are made accessory pay of tax kind 4, one of a relationship
// type that is not pay and one not calculated, so that every part and every
// condition has rows.
struct ParteInps {
    bool accessori;
    int codice, chiave;
};

class ZepImpSommeInps : public ::testing::TestWithParam<ParteInps> {
protected:
    static void SetUpTestSuite()
    {
        const auto demo = [](platform::Database &db) {
            payroll::DemoArchiveOptions o;
            o.persons = 60;
            o.seed = 11;
            o.fromYear = o.toYear = 2024;
            o.fromMonth = 10;
            o.toMonth = 12;
            payroll::DemoArchive::fill(db, o);
        };
        s_db = new TempDatabase(TempDatabase::Template{payroll::ArchiveScripts::all(), "ZepImpSommeInps", demo});
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        for (const char *modifica :
             {"UPDATE TVARM_VARIAZIONI SET IVARMRIRPID = 4 WHERE MOD(IVARMID, 3) = 0",
              "UPDATE TREGS_REGISTROSTIP SET ITNOID = 10 WHERE IREGSID = (SELECT MIN(REGS.IREGSID) FROM "
              "TREGS_REGISTROSTIP REGS JOIN TVARM_VARIAZIONI VARM ON VARM.IACOMID = REGS.IACOMID AND VARM.IMESID = "
              "REGS.IMESID AND VARM.ICOTID = REGS.ICOTID JOIN TVARR_VARRITENUTE VARR ON VARR.IVARMID = VARM.IVARMID "
              "AND VARR.ICOMRID IS NOT NULL AND VARR.IRICEID = 3 AND VARR.FVARRIMPONIBILEAMM > 0)",
              "UPDATE TREGS_REGISTROSTIP SET LREGSCALCOLATA = 0 WHERE IREGSID = (SELECT MAX(VARR.IREGSID) FROM "
              "TVARR_VARRITENUTE VARR WHERE VARR.IRICEID = 3 AND VARR.FVARRRITDIP > 0)"}) {
            platform::SqlQuery q(s_db->db());
            q.setSql(QLatin1String(modifica));
            q.execSQL();
        }
    }
    static void TearDownTestSuite()
    {
        delete s_db;
        s_db = nullptr;
    }
    static TempDatabase *s_db;
};
TempDatabase *ZepImpSommeInps::s_db = nullptr;

TEST_P(ZepImpSommeInps, EachPartEqualsItsOwnStatement)
{
    const ParteInps parte = GetParam();
    platform::Database &db = s_db->db();
    // The withholdings of one part as the per-part statements summed them.
    const QString ritenute =
        parte.accessori ? "SELECT SUM(VARR.FVARRRITDIP), SUM(VARR.FVARRRITAMM) FROM TREGS_REGISTROSTIP REGS "
                          "JOIN TVARM_VARIAZIONI VARM ON VARM.IACOMID = REGS.IACOMID AND VARM.IMESID = "
                          "REGS.IMESID AND VARM.ICOTID = REGS.ICOTID JOIN TVARR_VARRITENUTE VARR ON "
                          "VARR.IVARMID = VARM.IVARMID AND VARR.ICOMRID IS NOT NULL WHERE REGS.IACOMID = "
                          ":IACOMID AND REGS.IMESID BETWEEN :MESE_INIZIALE AND :MESE_FINALE AND "
                          "REGS.LREGSCALCOLATA = 1 AND VARR.IRICEID = :IRICEID AND VARM.IVARMRIRPID = :CHIAVE"
                        : "SELECT SUM(VARR.FVARRRITDIP), SUM(VARR.FVARRRITAMM) FROM TREGS_REGISTROSTIP REGS "
                          "JOIN TVARR_VARRITENUTE VARR ON VARR.IREGSID = REGS.IREGSID AND VARR.IVARMID IS NULL "
                          "JOIN TCOMR_RIGHECOMP COMR ON COMR.ICOMRID = VARR.ICOMRID JOIN TCOT_TIPICOMPENSO COT "
                          "ON COT.ICOTID = REGS.ICOTID WHERE REGS.IACOMID = :IACOMID AND REGS.IMESID BETWEEN "
                          ":MESE_INIZIALE AND :MESE_FINALE AND REGS.LREGSCALCOLATA = 1 AND "
                          "COT.ICOTFONDAMENTALE = 1 AND VARR.IRICEID = :IRICEID AND COMR.ICOSID = :CHIAVE";
    const QString nonPaga = QStringLiteral(" AND NOT REGS.ITNOID IN (%1)").arg(TTovCalcola::TnoNonStipendioSql());
    DataSet candidato;
    candidato.setFieldDefs({{"IACOMID", platform::FieldType::Integer},
                            {"MESE_INIZIALE", platform::FieldType::Integer},
                            {"MESE_FINALE", platform::FieldType::Integer}});
    candidato.createDataSet();
    platform::SqlQuery compensi(db), insieme(db), perParte(db), attese(db);
    compensi.setSql("SELECT IACOMID FROM TACOM_COMPENSI WHERE IANFID = 55 ORDER BY IACOMID");
    int conImporti = 0, confronti = 0;
    for (compensi.open(); !compensi.eof(); compensi.next()) {
        for (const auto &[dal, al] : {std::pair{11, 11}, std::pair{10, 12}}) {
            candidato.emptyDataSet();
            candidato.appendRecord({compensi.value(0), dal, al});
            const TZepImpMultiSelect::SommeInps somme = TZepImpMultiSelect::SommeInps::Leggi(insieme, candidato);
            const auto &importi = parte.accessori ? somme.Accessori(parte.codice, parte.chiave)
                                                  : somme.Fondamentali(parte.codice, parte.chiave);
            const Currency imponibile = parte.accessori
                                            ? TTovCalcola::ImponibileInpsAccessori(parte.codice, parte.chiave, perParte,
                                                                                   candidato, nonPaga)
                                            : TTovCalcola::ImponibileInpsFondamentali(parte.codice, parte.chiave,
                                                                                      perParte, candidato, {});
            attese.setSql(ritenute + (parte.accessori ? nonPaga : QString()));
            attese.bind("IACOMID", compensi.value(0))
                .bind("MESE_INIZIALE", dal)
                .bind("MESE_FINALE", al)
                .bind("IRICEID", parte.codice)
                .bind("CHIAVE", parte.chiave);
            attese.open();
            SCOPED_TRACE(QStringLiteral("IACOMID %1, months %2-%3")
                             .arg(compensi.value(0).toInt())
                             .arg(dal)
                             .arg(al)
                             .toStdString());
            EXPECT_EQ(importi.imponibile, imponibile);
            EXPECT_EQ(importi.dipendente, attese.value(0).isNull() ? Currency() : attese.value(0).toCurrency());
            EXPECT_EQ(importi.amministrazione, attese.value(1).isNull() ? Currency() : attese.value(1).toCurrency());
            attese.close();
            conImporti += !imponibile.isZero();
            ++confronti;
        }
    }
    EXPECT_GT(confronti, 100);
    EXPECT_GT(conImporti, 0) << "the demo has no rows of this part";
}

INSTANTIATE_TEST_SUITE_P(Parti, ZepImpSommeInps,
                         ::testing::Values(ParteInps{false, 3, 10001}, ParteInps{false, 3, 10002},
                                           ParteInps{false, 13, 10001}, ParteInps{false, 13, 10002},
                                           ParteInps{true, 3, 3}, ParteInps{true, 3, 4}, ParteInps{true, 13, 3},
                                           ParteInps{true, 13, 4}),
                         [](const ::testing::TestParamInfo<ParteInps> &info) {
                             return std::string(info.param.accessori ? "Accessori" : "Fondamentali") + "_"
                                    + std::to_string(info.param.codice) + "_" + std::to_string(info.param.chiave);
                         });
