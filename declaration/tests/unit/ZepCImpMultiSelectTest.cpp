// The private-sector import's employee rows on a real embedded archive, with
// persons made for each case (ZepImportSupport.h): the row of each
// working-time kind field by field, hire and termination, contract hours
// and part-time share, theoretical pay, accessory pay on the main or on its
// own company number, part time counted as full time, a failing person
// rolled back alone, and the replace choice over both tables.
#include "ZepImportSupport.h"

#include "Exceptions.h"

using namespace importtest;
using platform::DataSet;

namespace {

Persona persona(const QString &cognome, const QString &codice)
{
    Persona p;
    p.cognome = cognome;
    p.nome = QStringLiteral("Prova");
    p.codiceFiscale = codice;
    return p;
}

Periodo periodo(QDate dal, QDate al, int giorni, int servizio = 2400, bool partTime = false)
{
    return Periodo{dal, al, giorni, servizio, 40, partTime};
}

// The sum of the withholdings of the rows.
Currency contributo(const QList<Ritenuta> &righe)
{
    Currency c;
    for (const Ritenuta &r : righe)
        c += r.dipendente + r.amministrazione;
    return c;
}

// A part-time person of 1,200 minutes out of 40 hours over 31 days, with a
// prize of 200.00.
Persona parziale()
{
    Persona p = persona(QStringLiteral("Parziale"), QStringLiteral("PRZPRV80A01A944A"));
    p.periodi = {periodo({2024, 3, 1}, {2024, 3, 31}, 31, 1200, true)};
    p.servizioStorico = 1200;
    p.stipendio = {inps(13, "1000")};
    p.iis = {inps(13, "50")};
    p.premio = inps(13, "200");
    p.storico10001 = euro("1000.50");
    return p;
}

} // namespace

class ZepImpDipendenti : public ImportTest {};

TEST_F(ZepImpDipendenti, EmployeeRowsOfTheMonthFieldByField)
{
    Persona pieno = persona(QStringLiteral("Pieno"), QStringLiteral("PNIPRV80A01A944A"));
    pieno.stipendio = {inps(3, "2000")};
    pieno.iis = {inps(3, "100")};
    pieno.regimePost95 = 0;
    Persona assunto = persona(QStringLiteral("Assunto"), QStringLiteral("SSNPRV80A01A944A"));
    assunto.inizio = {2024, 3, 11};
    assunto.periodi = {periodo({2024, 3, 11}, {2024, 3, 31}, 20)};
    assunto.stipendio = {inps(3, "1333.33")};
    Persona cessato = persona(QStringLiteral("Cessato"), QStringLiteral("CSSPRV80A01A944A"));
    cessato.fine = {2024, 3, 15};
    cessato.periodi = {periodo({2024, 3, 1}, {2024, 3, 15}, 15)};
    cessato.stipendio = {inps(3, "1000")};
    Persona zero = persona(QStringLiteral("Zero"), QStringLiteral("ZREPRV80A01A944A"));
    zero.stipendio = {inps(3, "0")};
    Persona misto = persona(QStringLiteral("Misto"), QStringLiteral("MSTPRV80A01A944A"));
    misto.periodi = {periodo({2024, 3, 1}, {2024, 3, 15}, 15), periodo({2024, 3, 16}, {2024, 3, 31}, 16, 1200, true)};
    misto.stipendio = {inps(3, "1000"), inps(13, "500")};
    // A period without dates, the only one of its register, takes the
    // register's: from the 5th.
    Persona senzaDate = persona(QStringLiteral("Senzadate"), QStringLiteral("SNZPRV80A01A944A"));
    senzaDate.registroDal = {2024, 3, 5};
    senzaDate.periodi = {Periodo{}};
    senzaDate.stipendio = {inps(3, "1500")};
    const Persona pt = parziale();

    QList<int> compensi;
    for (const Persona &p : {pieno, assunto, cessato, zero, misto, senzaDate, pt})
        compensi << scriviPersona(tdb.db(), p);
    const TwunFiscImpMultiSelect::Esito esito = importa(compensi);
    EXPECT_EQ(esito.importati, 7);
    EXPECT_EQ(esito.falliti, 0);
    EXPECT_EQ(services->messageTexts(), QStringList{TwunFiscImpMultiSelect::MsgFineOperazione});

    // Full time: every default, the amounts, the contract hours of the
    // periods and the theoretical pay of the contract (2,000.00 + 100.00).
    const QList<Riga> f = dipendente(pieno.codiceFiscale);
    ASSERT_EQ(f.size(), 1);
    const QMap<QString, Value> attesi{
        {"AnnoMeseDenuncia", "2024-03"}, {"Matricola", "1234567890"}, {"Elimina", "N"}, {"Cognome", "PIENO"},
        {"Nome", "PROVA"}, {"Cittadinanza", "235"}, {"Qualifica1", "2"}, {"Qualifica2", "F"}, {"Qualifica3", "D"},
        {"TipoContribuzione", "00"}, {"CodiceComune", "A944"}, {"CodiceContratto", "CPUB"}, {"RegimePost95", "No"},
        {"TipoLavoratore", "0"}, {"NumMensilita", 13000}, {"RispettoMinimale", "0"}, {"Imponibile", euro("2100")},
        {"Contributo", contributo(pieno.stipendio + pieno.iis)}, {"OrarioContrattuale", 4000},
        {"RetribTeorica", euro("2100")}};
    for (auto it = attesi.cbegin(); it != attesi.cend(); ++it)
        EXPECT_EQ(f[0].value(it.key()), it.value()) << it.key().toStdString();
    for (const char *vuoto : {"PercPartTime", "GiornoAssunzione", "TipoAssunzione", "GiornoCessazione", "TipoCessazione"})
        EXPECT_TRUE(f[0].value(vuoto).isNull()) << vuoto;

    // Hired on the 11th; terminated on the 15th; a period dated by its
    // register from the 5th.
    const Riga a = dipendente(assunto.codiceFiscale).value(0);
    EXPECT_EQ(a.value("GiornoAssunzione"), Value(11));
    EXPECT_EQ(a.value("TipoAssunzione"), Value("1"));
    EXPECT_TRUE(a.value("GiornoCessazione").isNull());
    const Riga c = dipendente(cessato.codiceFiscale).value(0);
    EXPECT_TRUE(c.value("GiornoAssunzione").isNull());
    EXPECT_EQ(c.value("GiornoCessazione"), Value(15));
    EXPECT_EQ(c.value("TipoCessazione"), Value("1C"));
    EXPECT_EQ(c.value("RetribTeorica"), Value(euro("1050"))) << "half the month";
    EXPECT_EQ(dipendente(senzaDate.codiceFiscale).value(0).value("GiornoAssunzione"), Value(5));

    // No taxable, no row.
    EXPECT_TRUE(dipendente(zero.codiceFiscale).isEmpty());

    // Both kinds in the month: a row each, the part-time one over its own
    // periods.
    const QList<Riga> m = dipendente(misto.codiceFiscale);
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[0].value("Qualifica2"), Value("F"));
    EXPECT_EQ(m[0].value("Imponibile"), Value(euro("1000")));
    EXPECT_EQ(m[1].value("Qualifica2"), Value("P"));
    EXPECT_EQ(m[1].value("Imponibile"), Value(euro("500")));
    EXPECT_EQ(m[1].value("GiornoAssunzione"), Value(16));
    EXPECT_EQ(m[1].value("PercPartTime"), Value(5000));

    // Part time: 31 days of 40 hours with 1,200 minutes; the prize on the
    // same company number lands in the row.
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

TEST_F(ZepImpDipendenti, AccessoryPayOnItsOwnCompanyNumberMakesARowWithTheDefaultsOfTheHistory)
{
    const Persona pt = parziale();
    Persona pieno = persona(QStringLiteral("Pieno"), QStringLiteral("PNIPRV80A01A944A"));
    pieno.stipendio = {inps(3, "2000")};
    pieno.premio = inps(3, "300");
    pieno.storico10001 = euro("1999.49");
    parametro("MatricolaINPSAcc", "9999999999");
    importa({scriviPersona(tdb.db(), pt), scriviPersona(tdb.db(), pieno)});

    const QList<Riga> p = dipendente(pt.codiceFiscale);
    ASSERT_EQ(p.size(), 2);
    EXPECT_EQ(p[0].value("Matricola"), Value("1234567890"));
    EXPECT_EQ(p[0].value("Imponibile"), Value(euro("1050")));
    // No periods on that number: contract hours and part-time share of the
    // compensation and its history, theoretical pay of the history's salary.
    EXPECT_EQ(p[1].value("Matricola"), Value("9999999999"));
    EXPECT_EQ(p[1].value("Qualifica2"), Value("P"));
    EXPECT_EQ(p[1].value("Imponibile"), Value(euro("200")));
    EXPECT_EQ(p[1].value("Contributo"), Value(pt.premio.dipendente + pt.premio.amministrazione));
    EXPECT_EQ(p[1].value("OrarioContrattuale"), Value(4000));
    EXPECT_EQ(p[1].value("PercPartTime"), Value(5000));
    EXPECT_EQ(p[1].value("RetribTeorica"), Value(euro("1001")));
    EXPECT_EQ(p[1].value("CFLavoratore"), Value(pt.codiceFiscale));

    const QList<Riga> f = dipendente(pieno.codiceFiscale);
    ASSERT_EQ(f.size(), 2);
    EXPECT_EQ(f[1].value("Qualifica2"), Value("F"));
    EXPECT_EQ(f[1].value("Imponibile"), Value(euro("300")));
    EXPECT_TRUE(f[1].value("PercPartTime").isNull());
    EXPECT_EQ(f[1].value("RetribTeorica"), Value(euro("1999")));
}

TEST_F(ZepImpDipendenti, PartTimeCountedAsFullTimeMakesOneFullTimeRowWithEveryAmount)
{
    const Persona pt = parziale();
    parametro("PT_COME_INTERO", true);
    importa({scriviPersona(tdb.db(), pt)});

    const QList<Riga> p = dipendente(pt.codiceFiscale);
    ASSERT_EQ(p.size(), 1);
    EXPECT_EQ(p[0].value("Qualifica2"), Value("F"));
    EXPECT_EQ(p[0].value("Imponibile"), Value(euro("1250")));
    EXPECT_EQ(p[0].value("OrarioContrattuale"), Value(4000));
    EXPECT_TRUE(p[0].value("PercPartTime").isNull());
    EXPECT_EQ(p[0].value("RetribTeorica"), Value(euro("1085")));
}

TEST_F(ZepImpDipendenti, AFailingPersonIsRolledBackAndReportedTheOthersStay)
{
    // Contribution type "71": a person whose accessory pay carries an
    // employee withholding fails after its main row was written; a history
    // with two periods of one register, one without dates, fails before.
    parametro("TipoContribuzione", "71");
    auto senzaRitenute = [](const QString &cognome, const QString &codice) {
        Persona p = persona(cognome, codice);
        p.stipendio = {Ritenuta{3, euro("2000"), Currency(), euro("476.20")}};
        return p;
    };
    const Persona primo = senzaRitenute(QStringLiteral("Primo"), QStringLiteral("PRMPRV80A01A944A"));
    Persona premio = senzaRitenute(QStringLiteral("Premio"), QStringLiteral("PRMPRV80A01A944B"));
    premio.premio = inps(3, "200");
    Persona storico = senzaRitenute(QStringLiteral("Storico"), QStringLiteral("STRPRV80A01A944A"));
    storico.periodi = {Periodo{}, periodo({2024, 3, 16}, {2024, 3, 31}, 15)};
    const Persona ultimo = senzaRitenute(QStringLiteral("Ultimo"), QStringLiteral("LTMPRV80A01A944A"));

    const TwunFiscImpMultiSelect::Esito esito = importa({scriviPersona(tdb.db(), primo), scriviPersona(tdb.db(), premio),
                                                         scriviPersona(tdb.db(), storico), scriviPersona(tdb.db(), ultimo)});
    EXPECT_EQ(esito.importati, 2);
    EXPECT_EQ(esito.falliti, 2);
    const QStringList messaggi = services->messageTexts();
    ASSERT_EQ(messaggi.size(), 3);
    EXPECT_TRUE(messaggi[0].startsWith("Controllare i dati del dipendente:Premio Prova\r\n\r\n" +
                                       TZepImpMultiSelect::MsgTipoContribuzione))
        << messaggi[0].toStdString();
    EXPECT_TRUE(messaggi[1].startsWith("Controllare i dati del dipendente:Storico Prova\r\n\r\n" +
                                       TZepImpMultiSelect::MsgOrariRiduzioni))
        << messaggi[1].toStdString();

    EXPECT_EQ(dipendente(primo.codiceFiscale).size(), 1);
    EXPECT_EQ(dipendente(ultimo.codiceFiscale).size(), 1);
    EXPECT_TRUE(dipendente(premio.codiceFiscale).isEmpty()) << "its written row is rolled back";
    EXPECT_TRUE(dipendente(storico.codiceFiscale).isEmpty());
    // The table in memory is what the archive holds.
    EXPECT_FALSE(imp.cdsImport.locate("CFLavoratore", premio.codiceFiscale));
    DataSet archiviata;
    store.Load(archiviata, TZepImpMultiSelect::TabellaDipendenti);
    EXPECT_EQ(imp.cdsImport.recordCount(), archiviata.recordCount());
}

TEST_F(ZepImpDipendenti, ReplaceChoiceKeepsOrReplacesThePersonsRowsInBothTables)
{
    Persona pieno = persona(QStringLiteral("Pieno"), QStringLiteral("PNIPRV80A01A944A"));
    pieno.stipendio = {inps(3, "2000")};
    const int acom = scriviPersona(tdb.db(), pieno);
    importa({acom});
    // The user changed the row, and the person is a collaborator too.
    ASSERT_TRUE(imp.cdsImport.locate("CFLavoratore", pieno.codiceFiscale));
    imp.cdsImport.edit();
    imp.cdsImport.fieldByName("Imponibile").setAsCurrency(euro("1"));
    imp.cdsImport.post();
    imp.cdsColl.append();
    imp.cdsColl.fieldByName("CFCollaboratore").setAsString(pieno.codiceFiscale);
    imp.cdsColl.fieldByName("AnnoMeseDenuncia").setAsString("2024-03");
    imp.cdsColl.post();
    auto collaboratore = [&] {
        return righe(TZepImpMultiSelect::TabellaCollaboratori, "CFCollaboratore", pieno.codiceFiscale).size();
    };

    imp.Sovrascrittura = TwunFiscImpMultiSelect::NonSovrascrivere;
    EXPECT_EQ(importa({acom}).saltati, 1);
    ASSERT_EQ(dipendente(pieno.codiceFiscale).size(), 1);
    EXPECT_EQ(dipendente(pieno.codiceFiscale)[0].value("Imponibile"), Value(euro("1")));
    EXPECT_EQ(collaboratore(), 1);

    imp.Sovrascrittura = TwunFiscImpMultiSelect::SovrascriviSempre;
    EXPECT_EQ(importa({acom}).importati, 1);
    ASSERT_EQ(dipendente(pieno.codiceFiscale).size(), 1);
    EXPECT_EQ(dipendente(pieno.codiceFiscale)[0].value("Imponibile"), Value(euro("2000")));
    EXPECT_EQ(collaboratore(), 0);
}

TEST(ZepImpMultiSelect, TheAccessoryRowIsThePartTimeRowWhateverItsKind)
{
    DataSet righe;
    righe.setFieldDefs({{"CFLavoratore", platform::FieldType::String, 16},
                        {"AnnoMeseDenuncia", platform::FieldType::String, 7},
                        {"Qualifica2", platform::FieldType::String, 1},
                        {"Matricola", platform::FieldType::String, 10}});
    righe.createDataSet();
    righe.appendRecord({"CF", "2024-03", "F", "1"});
    righe.appendRecord({"CF", "2024-03", "V", "1"});
    righe.appendRecord({"CF", "2024-03", "M", "2"});
    struct Caso {
        int codice;
        const char *matricola;
        const char *trovata;  // nullptr: none
    };
    for (const Caso &c : {Caso{3, "1", "F"}, Caso{13, "1", "V"}, Caso{13, "2", "M"}, Caso{3, "2", nullptr},
                          Caso{13, "3", nullptr}}) {
        righe.first();
        const bool trovata = TZepImpMultiSelect::TrovaRiga(righe, "CF", "2024-03", c.codice, c.matricola);
        EXPECT_EQ(trovata, c.trovata != nullptr) << c.codice << " " << c.matricola;
        if (trovata)
            EXPECT_EQ(righe.fieldByName("Qualifica2").asString(), c.trovata);
    }
    // The contract code: "CPUB" from February 2022.
    EXPECT_EQ(TZepImpMultiSelect::CodiceContratto(2022, 1), "EP");
    EXPECT_EQ(TZepImpMultiSelect::CodiceContratto(2022, 2), "CPUB");
    EXPECT_EQ(TZepImpMultiSelect::CodiceContratto(2021, 12), "EP");
    EXPECT_EQ(TZepImpMultiSelect::CodiceContratto(2023, 1), "CPUB");
}
