// The rules of the declaration tables' windows without a display: the checks
// and defaults of a row, the delete question, the 2022 bonus group, the
// public-administration groups of the declarant, the performing-arts day
// grid, the code tables the lookups name, and the tables kept in a real
// archive (a failing save, persons shared by two tables).
#include "ZepDatiDenunciaSupport.h"

#include "ZepCCollaboratore.h"
#include "ZepCDipendente.h"
#include "ZepCFplsExEnpals.h"
#include "ZepCMeseFplsExEnpals.h"
#include "ZepCMittente.h"

#include "DataSetFile.h"
#include "Exceptions.h"
#include "Field.h"

#include <QFileInfo>

using namespace dentest;
using platform::FieldType;

namespace {

// A person row as the employee and performing-arts tables hold it.
void personFields(DataSet &ds)
{
    ds.setFieldDefs({{QStringLiteral("CFLavoratore"), FieldType::String, 16},
                     {QStringLiteral("CFCollaboratore"), FieldType::String, 16},
                     {QStringLiteral("TipoANF"), FieldType::String, 4},
                     {QStringLiteral("NumANF"), FieldType::Integer},
                     {QStringLiteral("ClasseANF"), FieldType::Integer},
                     {QStringLiteral("Elimina"), FieldType::String, 1},
                     {QStringLiteral("RispettoMinimale"), FieldType::String, 1},
                     {QStringLiteral("AnnoMeseDenuncia"), FieldType::String, 7}});
    ds.createDataSet();
}

QString refusal(const std::function<void()> &check)
{
    try {
        check();
    } catch (const EUqError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

TEST(ZepRigaDenuncia, ChecksBeforeThePostOfAnEmployeeOrAPerformingArtsWorker)
{
    const QString cf = TZepTabellaDenuncia::MsgCodiceFiscale;
    const QString anf = TZepTabellaDenuncia::MsgNucleoFamiliare;
    struct Case {
        bool insert;
        const char *codiceFiscale, *tipo;
        int numero, classe;
        QString expected;
    } cases[] = {
        {true, "", "", 0, 0, cf},
        {false, "", "", 0, 0, cf}, // an edit must not blank the registry's key
        {false, "  ", "", 0, 0, cf},
        {true, "RSSMRA80A01H501U", "", 0, 0, {}},
        {true, "RSSMRA80A01H501U", "11", 3, 2, {}},
        {false, "RSSMRA80A01H501U", "11", 0, 2, anf},
        {false, "RSSMRA80A01H501U", "11", 3, 0, anf},
        {false, "RSSMRA80A01H501U", "", 3, 2, anf},
        {false, "RSSMRA80A01H501U", "", 0, 1, anf},
    };
    SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("03"));
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 '%2' %3/%4/%5")
                         .arg(c.insert)
                         .arg(c.codiceFiscale, c.tipo)
                         .arg(c.numero)
                         .arg(c.classe)
                         .toStdString());
        DataSet ds;
        personFields(ds);
        if (!c.insert) {
            ds.appendRecord({Value(QStringLiteral("XXXXXX")), Value(), Value(), Value(0), Value(0), Value(), Value(),
                             Value(QStringLiteral("2023-12"))});
            ds.edit();
        } else {
            ds.append();
        }
        ds.setFieldValue(QStringLiteral("CFLavoratore"), QString::fromLatin1(c.codiceFiscale));
        ds.setFieldValue(QStringLiteral("TipoANF"), QString::fromLatin1(c.tipo));
        ds.setFieldValue(QStringLiteral("NumANF"), c.numero);
        ds.setFieldValue(QStringLiteral("ClasseANF"), c.classe);
        EXPECT_EQ(refusal([&] { TZepDipendente::PrimaDelPost(ds); }), c.expected);
        if (c.expected.isEmpty()) {
            EXPECT_EQ(ds.fieldValue(QStringLiteral("AnnoMeseDenuncia")).toString(),
                      c.insert ? QStringLiteral("2024-03") : QStringLiteral("2023-12"))
                << "the period is set on insert only";
        }
    }

    // The collaborator: the fiscal code only, no family unit.
    DataSet ds;
    personFields(ds);
    ds.append();
    ds.setFieldValue(QStringLiteral("TipoANF"), QStringLiteral("11"));
    EXPECT_EQ(refusal([&] { TZepCollaboratore::PrimaDelPost(ds); }), cf);
    ds.setFieldValue(QStringLiteral("CFCollaboratore"), QStringLiteral("RSSMRA80A01H501U"));
    EXPECT_EQ(refusal([&] { TZepCollaboratore::PrimaDelPost(ds); }), QString());
    EXPECT_EQ(ds.fieldValue(QStringLiteral("AnnoMeseDenuncia")).toString(), QStringLiteral("2024-03"));
}

// What the declaration cannot carry is refused before the post, naming the
// field: a fiscal code neither of a person (its control character right,
// letters for digits where the form allows them) nor of 11 digits, and a
// character of no INPS flow in any text of the row, the declarant's too.
TEST(ZepRigaDenuncia, FiscalCodesAndCharactersTheDeclarationCannotCarry)
{
    const auto codice = [](const char *cf) {
        return QStringLiteral("Campo \"CFLavoratore\": ")
               + TZepTabellaDenuncia::MsgCodiceFiscaleNonValido.arg(QString::fromLatin1(cf));
    };
    const auto carattere = [](const QString &c, const char *codice) {
        return QStringLiteral("Campo \"Cognome\": ")
               + TZepTabellaDenuncia::MsgCarattereNonAmmesso.arg(c, QString::fromLatin1(codice));
    };
    const struct {
        const char *cf;
        QString cognome, expected;
    } cases[] = {
        {"RSSMRA80A01H501U", QStringLiteral("D'ANGELO-NICOLÒ È (S.R.L.) & C."), {}},
        {"RSSMRA85T10A56NH", QStringLiteral("ROSSI"), {}}, // N in place of a 2
        {"01234567890", QStringLiteral("ROSSI"), {}},
        {"RSSMRA80A01H501", QStringLiteral("ROSSI"), codice("RSSMRA80A01H501")},
        {"RSSMRA80A01H501X", QStringLiteral("ROSSI"), codice("RSSMRA80A01H501X")},
        {"rssmra80a01h501u", QStringLiteral("ROSSI"), codice("rssmra80a01h501u")},
        {"0123456789", QStringLiteral("ROSSI"), codice("0123456789")},
        {"RSSMRA80A01H501U", QStringLiteral("ROSSI 😀"), carattere(QStringLiteral("😀"), "U+1F600")},
        {"RSSMRA80A01H501U", QStringLiteral("D’ANGELO"), carattere(QStringLiteral("’"), "U+2019")},
        {"RSSMRA80A01H501U", QStringLiteral("ROSSI\tBIANCHI"), carattere(QStringLiteral("\t"), "U+0009")},
        {"RSSMRA80A01H501U", QStringLiteral("ŁUKASZ"), carattere(QStringLiteral("Ł"), "U+0141")},
    };
    SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("03"));
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromLatin1(c.cf).toStdString() + " " + c.cognome.toStdString());
        DataSet ds;
        ds.setFieldDefs({{QStringLiteral("CFLavoratore"), FieldType::String, 16},
                         {QStringLiteral("Cognome"), FieldType::String, 60},
                         {QStringLiteral("AnnoMeseDenuncia"), FieldType::String, 7}});
        ds.createDataSet();
        ds.append();
        ds.setFieldValue(QStringLiteral("CFLavoratore"), QString::fromLatin1(c.cf));
        ds.setFieldValue(QStringLiteral("Cognome"), c.cognome);
        EXPECT_EQ(refusal([&] { TZepTabellaDenuncia::ControllaPersona(ds, QStringLiteral("CFLavoratore")); }),
                  c.expected);
    }

    // The declarant: its codes may be empty, not wrong.
    DataSet amm;
    amm.setFieldDefs({{QStringLiteral("CFPersonaMittente"), FieldType::String, 16},
                      {QStringLiteral("CFMittente"), FieldType::String, 16},
                      {QStringLiteral("CFAzienda"), FieldType::String, 16},
                      {QStringLiteral("SS_CFAzienda"), FieldType::String, 16},
                      {QStringLiteral("EA_CFAzienda"), FieldType::String, 16}});
    amm.createDataSet();
    amm.append();
    EXPECT_EQ(refusal([&] { TZepMittente::PrimaDelPost(amm); }), QString());
    amm.setFieldValue(QStringLiteral("CFMittente"), QStringLiteral("0123456789X"));
    EXPECT_EQ(refusal([&] { TZepMittente::PrimaDelPost(amm); }),
              QStringLiteral("Campo \"CFMittente\": ")
                  + TZepTabellaDenuncia::MsgCodiceFiscaleNonValido.arg(QStringLiteral("0123456789X")));
}

TEST(ZepRigaDenuncia, NewRowsAndTheDeleteQuestion)
{
    DataSet ds;
    personFields(ds);
    ds.append();
    TZepDipendente::NuovaRiga(ds);
    EXPECT_EQ(ds.fieldValue(QStringLiteral("Elimina")).toString(), QStringLiteral("N"));
    EXPECT_EQ(ds.fieldValue(QStringLiteral("RispettoMinimale")).toString(), QStringLiteral("0"));
    ds.cancel();
    ds.append();
    TZepCollaboratore::NuovaRiga(ds);
    EXPECT_EQ(ds.fieldValue(QStringLiteral("Elimina")).toString(), QStringLiteral("N"));
    EXPECT_TRUE(ds.fieldByName(QStringLiteral("RispettoMinimale")).isNull());

    RecordingServicesScope services;
    services->replyToMessages({platform::Yes, platform::No, platform::Cancel});
    EXPECT_NO_THROW(TZepTabellaDenuncia::ConfermaCancellazione());
    EXPECT_THROW(TZepTabellaDenuncia::ConfermaCancellazione(), platform::EAbort);
    EXPECT_THROW(TZepTabellaDenuncia::ConfermaCancellazione(), platform::EAbort);
    const platform::MessageRequest &asked = services->messages().at(0);
    EXPECT_EQ(asked.text, QStringLiteral("Confermi la cancellazione del modello corrente?"));
    EXPECT_EQ(asked.type, platform::MessageType::Warning);
    EXPECT_EQ(asked.buttons, platform::Yes | platform::No);
}

TEST(ZepRigaDenuncia, TheBonusGroupOf2022ByMonth)
{
    const QString luglio = QStringLiteral(" Bonus art. 31, DL 50 17/5/2022 ");
    const QString autunno = QStringLiteral(" Bonus art. 18, DL 144 23/9/2022 ");
    struct Case {
        const char *anno, *mese;
        bool visibile;
        QString titolo;
        bool mese_, riferimento;
    } cases[] = {
        {"2022", "07", true, luglio, true, false},  {"2022", "11", true, autunno, false, true},
        {"2022", "12", true, autunno, false, true}, {"2022", "06", false, {}, false, false},
        {"2022", "10", false, {}, false, false},    {"2023", "07", false, {}, false, false},
        {"2021", "11", false, {}, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.anno) + "-" + c.mese);
        const TZepDipendente::GruppoBonus g = TZepDipendente::Bonus(QString::fromLatin1(c.anno),
                                                                    QString::fromLatin1(c.mese));
        EXPECT_EQ(g.visibile, c.visibile);
        EXPECT_EQ(g.titolo, c.titolo);
        EXPECT_EQ(g.meseModificabile, c.mese_);
        EXPECT_EQ(g.riferimentoVisibile, c.riferimento);
    }
}

TEST(ZepRigaDenuncia, TheDeclarantsPublicAdministrationGroupsAndInsertPolicy)
{
    const QList<QPair<const char *, bool>> cases = {
        {"", false},
        {"0", false},
        {"0000", false},
        {"abc", false},
        {"12A", false},
        {"1", true},
        {"00123", true},
        {" 42 ", true},
        {"-5", true},
        {"123456789012345678", true},
        {"000000000000000000", false},
    };
    for (const auto &[codice, visibili] : cases)
        EXPECT_EQ(TZepMittente::GruppiPubblicaAmministrazione(QString::fromLatin1(codice)), visibili) << codice;

    DataSet ds;
    personFields(ds);
    EXPECT_TRUE(TZepMittente::InserimentoAmmesso(ds));
    ds.appendRecord({Value(QStringLiteral("X"))});
    EXPECT_FALSE(TZepMittente::InserimentoAmmesso(ds));
}

TEST(ZepMeseFplsExEnpals, KeysOfTheTwoRows)
{
    using Riga = TZepMeseFplsExEnpals::Riga;
    const auto key = [](Riga riga, char c) {
        const auto r = TZepMeseFplsExEnpals::Carattere(riga, QLatin1Char(c));
        return r ? (r->isEmpty() ? QStringLiteral("_") : *r) : QStringLiteral("!");
    };
    QString lavorato, copertura;
    for (char c : QByteArray(" sSnNxX0129a."))
        lavorato += key(Riga::Lavorato, c), copertura += key(Riga::Copertura, c);
    EXPECT_EQ(lavorato, QStringLiteral("_SS!!!!!!!!!!"));
    EXPECT_EQ(copertura, QStringLiteral("_!!!!XX012!!!"));
}

TEST(ZepMeseFplsExEnpals, LoadingAndWritingBackTheDays)
{
    // Day n takes the n-th character, trimmed; short texts leave days empty.
    EXPECT_EQ(TZepMeseFplsExEnpals::Giorni(QStringLiteral("S S"), 5), (QStringList{"S", "", "S", "", ""}));
    EXPECT_EQ(TZepMeseFplsExEnpals::Giorni(QStringLiteral("XXXXX"), 3), (QStringList{"X", "X", "X"}));

    const auto giorni = [](const QString &testo) {
        QStringList out;
        for (QChar c : testo)
            out << QString(c).trimmed();
        return out;
    };
    // Ten days worked, ten covered, ten paid.
    const QString dieci = QStringLiteral("SSSSS  SSSSS");
    const QString coperti = QStringLiteral("XXXX1  2XXX0");
    const auto testi = TZepMeseFplsExEnpals::Componi(giorni(dieci), giorni(coperti), 10);
    EXPECT_EQ(testi.lavorati, dieci);
    EXPECT_EQ(testi.copertura, coperti);
    EXPECT_EQ(refusal([&] { TZepMeseFplsExEnpals::Componi(giorni(dieci), giorni(coperti), 9); }),
              TZepMeseFplsExEnpals::MsgGiorniRetribuiti);
    // Only the totals are compared: a code on a day not worked still counts.
    EXPECT_NO_THROW(TZepMeseFplsExEnpals::Componi(giorni(QStringLiteral("SS ")), giorni(QStringLiteral(" XX")), 2));
    EXPECT_EQ(refusal([&] {
                  TZepMeseFplsExEnpals::Componi(giorni(QStringLiteral("SS ")), giorni(QStringLiteral("X  ")), 2);
              }),
              TZepMeseFplsExEnpals::MsgGiorniCoperti);
    EXPECT_EQ(TZepMeseFplsExEnpals::Componi(giorni(QStringLiteral("   ")), giorni(QStringLiteral("   ")), 0).lavorati,
              QStringLiteral("   "));
}

TEST(ZepTabelleCodici, EveryLookupNamesACompiledTableWhoseFirstVisibleColumnIsTheCode)
{
    QList<TZepRicerca> ricerche = TZepDipendente::Ricerche() + TZepCollaboratore::Ricerche() + TZepMittente::Ricerche()
                                  + TZepFplsExEnpals::Ricerche();
    QSet<QString> tabelle;
    for (const TZepRicerca &r : ricerche)
        tabelle.insert(r.tabella);
    EXPECT_EQ(tabelle.size(), 23);
    for (const QString &tabella : tabelle) {
        SCOPED_TRACE(tabella.toStdString());
        const QString file = cartellaBuild() + QStringLiteral("USR/UniEmens/Res/Tabelle/") + tabella;
        ASSERT_TRUE(QFileInfo::exists(file));
        DataSet ds;
        platform::DataSetFile::loadFromFile(ds, file);
        const platform::Field *first = nullptr;
        for (const auto &f : ds.fields())
            if (f->isVisible() && !first)
                first = f.get();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->fieldName(), QStringLiteral("Codice"));
        EXPECT_NE(ds.findField(QStringLiteral("DESCRIZIONE")), nullptr) << "the import wizards read it by that name";
    }
    // The import takes the INPS office of the employer's province.
    DataSet sedi;
    platform::DataSetFile::loadFromFile(sedi,
                                        cartellaBuild() + QStringLiteral("USR/UniEmens/Res/Tabelle/TSIN_SEDIINPS.cds"));
    EXPECT_NE(sedi.findField(QStringLiteral("PROVINCIA")), nullptr);
}

// ---- the tables in a real archive ----

using ZepTabellaDenunciaArchivio = DatiDenunciaTest;

TEST_F(ZepTabellaDenunciaArchivio, AFailedSaveShowsTheArchivesReasonAndKeepsTheRowsForTheNextSave)
{
    TZepTabellaDenuncia tabella(store, TZepDipendente::Tabella);
    DataSet ds;
    tabella.Carica(ds);
    ds.append();
    ds.setFieldValue(QStringLiteral("CFLavoratore"), QStringLiteral("RSSMRA80A01H501U"));
    ds.setFieldValue(QStringLiteral("Cognome"), QStringLiteral("ROSSI"));
    ds.setFieldValue(QStringLiteral("CodiceContratto"), QStringLiteral("KO"));
    ds.post();
    tdb.db().execute(
        QStringLiteral("ALTER TABLE TFIS_DATIFISCALI ADD CONSTRAINT CK_TEST_KO CHECK (SFISVALUE <> 'KO')"));
    try {
        tabella.Salva(ds);
        FAIL() << "the archive refuses the row";
    } catch (const platform::EDatabaseError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("CK_TEST_KO"))) << e.message().toStdString();
    }
    EXPECT_EQ(ds.changeCount(), 1) << "nothing is taken as saved";
    EXPECT_TRUE(Colonna(TZepDipendente::Tabella, QStringLiteral("Cognome")).isEmpty());

    tdb.db().execute(QStringLiteral("ALTER TABLE TFIS_DATIFISCALI DROP CONSTRAINT CK_TEST_KO"));
    tabella.Salva(ds);
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(Colonna(TZepDipendente::Tabella, QStringLiteral("Cognome")), QStringList{QStringLiteral("ROSSI")});
}

TEST_F(ZepTabellaDenunciaArchivio, DeletingAnEmployeeKeepsTheNameOfTheSamePersonAsACollaborator)
{
    const QString cf = QStringLiteral("RSSMRA80A01H501U");
    Aggiungi(TZepDipendente::Tabella, {{QStringLiteral("CFLavoratore"), cf},
                                       {QStringLiteral("Cognome"), QStringLiteral("ROSSI")},
                                       {QStringLiteral("Nome"), QStringLiteral("MARIO")},
                                       {QStringLiteral("Matricola"), QStringLiteral("1234567890")},
                                       {QStringLiteral("Qualifica2"), QStringLiteral("F")}});
    Aggiungi(TZepCollaboratore::Tabella, {{QStringLiteral("CFCollaboratore"), cf},
                                          {QStringLiteral("Cognome"), QStringLiteral("ROSSI")},
                                          {QStringLiteral("Nome"), QStringLiteral("MARIO")},
                                          {QStringLiteral("TipoRapporto"), QStringLiteral("11")}});

    TZepTabellaDenuncia dipendenti(store, TZepDipendente::Tabella);
    DataSet ds;
    dipendenti.Carica(ds);
    ASSERT_EQ(ds.recordCount(), 1);
    ds.deleteRecord();
    dipendenti.Salva(ds);

    EXPECT_TRUE(Colonna(TZepDipendente::Tabella, QStringLiteral("Cognome")).isEmpty());
    EXPECT_EQ(Colonna(TZepCollaboratore::Tabella, QStringLiteral("Cognome")), QStringList{QStringLiteral("ROSSI")});
    EXPECT_EQ(Colonna(TZepCollaboratore::Tabella, QStringLiteral("Nome")), QStringList{QStringLiteral("MARIO")});
    EXPECT_EQ(Colonna(TZepCollaboratore::Tabella, QStringLiteral("CFCollaboratore")), QStringList{cf});
}

TEST_F(ZepTabellaDenunciaArchivio, TheDeclarantIsKeptForTheYear)
{
    TZepTabellaDenuncia dichiarante(store, TZepParametri::TabellaDichiarante, true);
    DataSet ds;
    dichiarante.Carica(ds);
    ds.append();
    ds.setFieldValue(QStringLiteral("CFMittente"), QStringLiteral("01234567890"));
    ds.post();
    dichiarante.Salva(ds);
    for (const char *mese : {"01", "03", "12"}) {
        Periodo(QStringLiteral("2024"), QString::fromLatin1(mese));
        DataSet again;
        dichiarante.Carica(again);
        ASSERT_EQ(again.recordCount(), 1) << mese;
        EXPECT_EQ(again.fieldValue(QStringLiteral("CFMittente")).toString(), QStringLiteral("01234567890"));
    }
    Periodo(QStringLiteral("2025"), QStringLiteral("03"));
    DataSet other;
    dichiarante.Carica(other);
    EXPECT_TRUE(other.isEmpty());
}
