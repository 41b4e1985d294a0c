// The E-Mens file of a month written from the declaration tables of a year
// folder and read back against the E-Mens element tree, in both forms of
// the earlier program; its refusals, log lines and person choice; the rows
// checked before anything is written, each program on its own store (zepdb
// a real embedded archive, zep a year folder's files).
#include "Emens/ZepCFile.h"
#include "ZepCCdsLocale.h"
#include "ZepCKax.h"
#include "ZepCTabellaDenuncia.h"
#include "ZepFileSupport.h"
#include "ZepDocumentoSupport.h"
#include "ZepUUtil.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"
#include "RecordingServices.h"
#include "TovUCdsUtil.h"

#include <QDate>
#include <QDir>
#include <QDomDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::DataSet;
using platform::Value;

namespace {

class Registro : public IZepLogFile {
public:
    QStringList righe;
    void Log(const QString &riga) override { righe << riga; }
};

class EmensFileTest : public ::testing::TestWithParam<bool> {
protected:
    EmensFileTest()
    {
        SetPeriodoDenuncia("2006", "10");
        store.SetYear(2006);
        store.SetMonth(10);
        QDir().mkpath(anno);
        DataSet amm;
        Vuota(amm, "TAMM_AMMINISTRAZIONE");
        amm.append();
        for (const auto &[campo, valore] :
             QList<QPair<const char *, const char *>>{{"CFPersonaMittente", "RSSMRA80A01H501U"},
                                                      {"RagSocMittente", "Studio Rossi"},
                                                      {"CFMittente", "01234567890"},
                                                      {"SedeINPS", "1300"},
                                                      {"CFAzienda", "09876543210"},
                                                      {"RagSocAzienda", "Demo S.p.A."},
                                                      {"CAP", "40100"},
                                                      {"ISTAT", "62010"}})
            amm.setFieldValue(QLatin1String(campo), QString::fromLatin1(valore));
        amm.post();
        TTovCds::SaveToFile(amm, anno + TZepKax::FileDichiarante);

        DataSet dip;
        Vuota(dip, "TEMD_DIPENDENTI");
        Dipendente(dip, "2000000000", "BNCLRA85C41F205P", "BIANCHI", "F", {});
        Dipendente(dip, "1000000000", "VRDLGU70B02F205V", "VERDI", "F", "S");
        Dipendente(dip, "1000000000", "VRDLGU70B02F205V", "VERDI", "P", {});
        Dipendente(dip, "1000000000", "VRDLGU70B02F205V", "VERDI", "F", {}, "2005-10"); // another month
        TTovCds::SaveToFile(dip, anno + TZepKax::FileDipendenti);

        DataSet coll;
        Vuota(coll, "TEMC_COLLABORATORI");
        coll.append();
        coll.setFieldValue("AnnoMeseDenuncia", "2006-10");
        coll.setFieldValue("CFCollaboratore", "NREGPP60D04L219J");
        coll.setFieldValue("Cognome", "NERI");
        coll.setFieldValue("Nome", "GIUSEPPE");
        coll.setFieldValue("TipoRapporto", "1C");
        coll.setFieldValue("Imponibile", platform::Currency::fromInt(1000));
        coll.setFieldValue("Aliquota", 1800);
        coll.setFieldValue("Dal", QDate(2006, 1, 1));
        coll.setFieldValue("Al", QDate(2006, 12, 31));
        coll.post();
        TTovCds::SaveToFile(coll, anno + TZepKax::FileCollaboratori);
    }
    ~EmensFileTest() override { SetPeriodoDenuncia(m_anno, m_mese); }

    // The empty table as the program lays it out.
    static void Vuota(DataSet &ds, const QString &tabella)
    {
        TTovCds::LoadFromFile(ds, QStringLiteral(":/layouts/zep/%1.xml").arg(tabella));
    }
    void Dipendente(DataSet &ds, const char *matricola, const char *cf, const char *cognome, const char *qualifica2,
                    const QString &elimina, const char *periodo = "2006-10")
    {
        ds.append();
        ds.setFieldValue("AnnoMeseDenuncia", periodo);
        ds.setFieldValue("Matricola", matricola);
        ds.setFieldValue("CFLavoratore", cf);
        ds.setFieldValue("Cognome", cognome);
        ds.setFieldValue("Nome", "ANNA");
        ds.setFieldValue("Elimina", elimina.isEmpty() ? QStringLiteral("N") : elimina);
        ds.setFieldValue("Qualifica1", "2");
        ds.setFieldValue("Qualifica2", qualifica2);
        ds.setFieldValue("Qualifica3", "D");
        ds.setFieldValue("TipoContribuzione", "00");
        ds.setFieldValue("CodiceContratto", "EP");
        ds.setFieldValue("TipoLavoratore", "0");
        ds.setFieldValue("NumMensilita", 13000);
        ds.setFieldValue("OrarioContrattuale", 4000);
        ds.setFieldValue("Imponibile", platform::Currency::fromString("1500.50"));
        ds.setFieldValue("RetribTeorica", platform::Currency::fromInt(1600));
        ds.setFieldValue("Anno", 2005);
        ds.setFieldValue("MeseDal", 3);
        ds.setFieldValue("AumentoImponibile", platform::Currency::fromInt(qualifica2[0] == 'P' ? 120 : 0));
        ds.setFieldValue("IdSettimana_1", 40);
        ds.setFieldValue("TipoCopertura_1", "X");
        ds.setFieldValue("IdSettimana_2", 41);
        ds.setFieldValue("TipoCopertura_2", "Y");
        ds.setFieldValue("GiorniRetribuiti", 26);
        ds.post();
    }

    QDomDocument Scrivi(emens::TZepFile &file)
    {
        file.CaricaTabelle();
        file.NomeFile = dir.filePath("EMens2006-10.Xml");
        file.GeneraDenunceRetributiveMensili();
        QFile f(file.NomeFile);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QDomDocument dom;
        EXPECT_TRUE(dom.setContent(&f));
        return dom;
    }

    RecordingServicesScope services;
    QTemporaryDir dir;
    QString base = dir.path() + QLatin1Char('/');
    QString anno = base + QStringLiteral("USR/ZEPDati/ZEP2006/");
    TZepCdsLocale store{base, QStringLiteral("USR/ZEPDati/ZEP")};
    Registro registro;

private:
    QString m_anno = AnnoDenuncia, m_mese = MeseDenuncia;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Forme, EmensFileTest, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "zep" : "zepdb"; });

TEST_P(EmensFileTest, TheMonthIsWrittenByCompanyNumberWithinTheElementTree)
{
    const bool locale = GetParam();
    emens::TZepFile file(store, locale, &registro);
    const QDomDocument dom = Scrivi(file);
    const QDomElement root = dom.documentElement();
    ASSERT_EQ(root.tagName(), "DenunceRetributiveMensili");
    documentotest::controllaAlbero(root, documentotest::modelloEMens().rootClass, documentotest::modelloEMens());
    const QDomElement azienda = root.firstChildElement("Azienda");
    EXPECT_EQ(azienda.firstChildElement("AnnoMeseDenuncia").text(), "2006-10");
    EXPECT_TRUE(azienda.nextSiblingElement("Azienda").isNull());

    // 1000000000 before 2000000000; the other month's row is not there.
    QStringList posizioni;
    for (QDomElement l = azienda.firstChildElement("ListaDenunceIndividuali"); !l.isNull();
         l = l.nextSiblingElement("ListaDenunceIndividuali"))
        posizioni << l.firstChildElement("Matricola").text() + ":"
                         + QString::number(l.elementsByTagName("DenunciaIndividuale").count());
    EXPECT_EQ(posizioni, QStringList({"1000000000:2", "2000000000:1"}));

    const QDomNodeList denunce = root.elementsByTagName("DenunciaIndividuale");
    const QDomElement eliminata = denunce.at(0).toElement();
    EXPECT_EQ(eliminata.attribute("Elimina"), "S");
    EXPECT_FALSE(denunce.at(1).toElement().hasAttribute("Elimina"));
    const QDomElement dati = eliminata.firstChildElement("DatiRetributivi");
    EXPECT_EQ(dati.firstChildElement("Imponibile").text(), "1501"); // 1500.50 half away from zero
    EXPECT_TRUE(dati.firstChildElement("TipoLavoratore").isNull());
    EXPECT_EQ(dati.elementsByTagName("Settimana").count(), 1); // only the "X" slot
    EXPECT_TRUE(dati.firstChildElement("VarRetributive").isNull());
    const QDomElement variazione =
        denunce.at(1).toElement().firstChildElement("DatiRetributivi").firstChildElement("VarRetributive");
    EXPECT_EQ(variazione.attribute("Anno"), "2005");
    EXPECT_EQ(variazione.firstChildElement("MeseDal").text(), "3");
    EXPECT_TRUE(variazione.firstChildElement("MeseAl").isNull());
    EXPECT_EQ(variazione.firstChildElement("AumentoImponibile").text(), "120");

    // The four leaves of the database form only.
    for (const char *foglia : {"OrarioContrattuale", "NumMensilita", "RetribTeorica"})
        EXPECT_EQ(root.elementsByTagName(foglia).count(), locale ? 0 : 3) << foglia;
    EXPECT_EQ(root.elementsByTagName("PercPartTime").count(), 0);

    const QDomElement collaboratore = root.elementsByTagName("Collaboratore").at(0).toElement();
    EXPECT_EQ(collaboratore.firstChildElement("Dal").text(), "2006-01-01");
    EXPECT_EQ(collaboratore.firstChildElement("Aliquota").text(), "1800");
    EXPECT_TRUE(collaboratore.firstChildElement("CodiceAttivita").isNull());

    EXPECT_EQ(registro.righe.mid(0, 6),
              QStringList({"Creazione file in corso ...", "Imposta dati mittente", "", "Dati dipendenti: inizio", "",
                           "-- Matricola INPS 1000000000: inizio ..."}));
    EXPECT_TRUE(registro.righe.contains("********* ELIMINATO  VRDLGU70B02F205V VERDI ANNA F*********"));
    EXPECT_TRUE(registro.righe.contains("---- Collaboratore NREGPP60D04L219J NERI GIUSEPPE 1C 1800"));
    EXPECT_EQ(registro.righe.last(), "Dati collaboratori: fine");
}

TEST_P(EmensFileTest, RefusalsNameTheFieldAndThePerson)
{
    const auto errore = [&](const std::function<void(DataSet & amm, DataSet & dip, DataSet & coll)> &cambia) {
        DataSet amm, dip, coll;
        store.LoadPeriod(amm, "TAMM_AMMINISTRAZIONE", 2006, 0);
        store.Load(dip, "TEMD_DIPENDENTI");
        store.Load(coll, "TEMC_COLLABORATORI");
        amm.first();
        dip.first();
        coll.first();
        cambia(amm, dip, coll);
        store.SavePeriod(amm, "TAMM_AMMINISTRAZIONE", 2006, 0);
        store.Save(dip, "TEMD_DIPENDENTI");
        store.Save(coll, "TEMC_COLLABORATORI");
        emens::TZepFile file(store, GetParam());
        file.CaricaTabelle();
        const bool scritto = file.CreaFile([&](const QString &, const QString &nome) { return dir.filePath(nome); });
        EXPECT_FALSE(scritto);
        return (services->messages().isEmpty() ? QString() : services->messages().last().text).toStdString();
    };
    const QString errore0 = "Errore nella generazione del file, operazione non conclusasi con successo\n\n";
    EXPECT_EQ(errore([](DataSet &a, DataSet &, DataSet &) {
                  a.edit();
                  a.setFieldValue("RagSocMittente", "   ");
                  a.post();
              }),
              (errore0 + "\n***  Campo non impostato: Ragione sociale mittente").toStdString());
    EXPECT_EQ(errore([](DataSet &a, DataSet &, DataSet &c) {
                  a.edit();
                  a.setFieldValue("RagSocMittente", "Studio");
                  a.post();
                  c.edit();
                  c.setFieldValue("Al", Value::null());
                  c.post();
              }),
              (errore0 + "NERI GIUSEPPE - CF: NREGPP60D04L219J\n***  Campo non impostato: Al").toStdString());
    // Rows that came from elsewhere are held to the forms the windows
    // ask for, before anything is written.
    EXPECT_EQ(errore([](DataSet &a, DataSet &, DataSet &) {
                  a.edit();
                  a.setFieldValue("CAP", "ABCDE");
                  a.post();
              }),
              (errore0 + "Dichiarante\n***  Campo \"CAP\": \"ABCDE\" non è un CAP: servono 5 cifre").toStdString());
    EXPECT_EQ(errore([](DataSet &a, DataSet &, DataSet &c) {
                  a.edit();
                  a.setFieldValue("CAP", "40100");
                  a.post();
                  c.edit();
                  c.setFieldValue("Al", QDate(2006, 12, 31));
                  c.setFieldValue("Aliquota", 12000);
                  c.post();
              }),
              (errore0
               + "NERI GIUSEPPE - CF: NREGPP60D04L219J\n***  Campo \"Aliquota\": 12000 non è una percentuale in "
                 "centesimi: da 0 a 10000 (50% = 5000)")
                  .toStdString());
}

TEST_P(EmensFileTest, TheChoiceKeepsExactlyTheRowsSelected)
{
    emens::TZepFile file(store, GetParam(), &registro);
    file.CaricaTabelle();
    file.PreparaPrenota();
    // Only the part-time row of VERDI: the full-time ones go, although they
    // share the person and company number.
    QList<platform::Bookmark> scelti;
    for (file.cdsPrenota.first(); !file.cdsPrenota.eof(); file.cdsPrenota.next())
        if (file.cdsPrenota.fieldValue("Qualifica2").toString() == "P")
            scelti << file.cdsPrenota.bookmark();
    ASSERT_EQ(scelti.size(), 1);
    file.EliminaNonSelezionati(scelti);
    EXPECT_EQ(file.cdsDip.recordCount(), 1);
    EXPECT_EQ(file.cdsDip.fieldValue("Qualifica2").toString(), "P");
    EXPECT_TRUE(file.cdsColl.isEmpty());
    // The stored tables keep every row.
    file.CaricaTabelle();
    EXPECT_EQ(file.cdsDip.recordCount(), 3);
}

namespace {

using filetest::con;
using filetest::Riga;

// The month's rows on the store of each program: zepdb's archive (2008-12)
// or zep's year folder (2006-12).
class EmensControlliTest : public dentest::DatiDenunciaTest, public ::testing::WithParamInterface<bool> {
protected:
    EmensControlliTest()
    {
        const bool locale = GetParam();
        Periodo(locale ? QStringLiteral("2006") : QStringLiteral("2008"), QStringLiteral("12"));
        m_locale.SetYear(store.Year());
        m_locale.SetMonth(12);
        QDir().mkpath(m_cartella.path() + QStringLiteral("/USR/ZEPDati/ZEP2006"));
        for (const char *tabella : {"TAMM_AMMINISTRAZIONE", "TEMD_DIPENDENTI", "TEMC_COLLABORATORI"}) {
            DataSet vuota;
            TTovCds::LoadFromFile(vuota, QStringLiteral(":/layouts/zep/%1.xml").arg(QLatin1String(tabella)));
            TTovCds::SaveToFile(vuota, m_locale.FileTabella(QLatin1String(tabella), 2006));
        }
    }

    ITovDBCds &Archivio() { return GetParam() ? static_cast<ITovDBCds &>(m_locale) : store; }

    // The table of the month (the declarant: of the year) holding `righe`
    // only.
    void Tabella(const QString &nome, const QList<Riga> &righe, bool annuale = false)
    {
        DataSet ds;
        Archivio().LoadPeriod(ds, nome, store.Year(), annuale ? 0 : 12);
        while (!ds.isEmpty())
            ds.deleteRecord();
        for (const Riga &riga : righe) {
            ds.append();
            if (!annuale)
                ds.setFieldValue(QStringLiteral("AnnoMeseDenuncia"), PeriodoDenuncia());
            for (const auto &[campo, valore] : riga)
                ds.fieldByName(campo).setValue(valore);
            ds.post();
        }
        Archivio().SavePeriod(ds, nome, store.Year(), annuale ? 0 : 12);
    }

    QTemporaryDir m_cartella;
    TZepCdsLocale m_locale{m_cartella.path() + QLatin1Char('/'), QStringLiteral("USR/ZEPDati/ZEP")};
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Programmi, EmensControlliTest, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "zep" : "zepdb"; });

// Rows that came from elsewhere than the windows are checked as the
// UniEmens file checks them, before anything is written: the refusal names
// the field and the person whose row holds the fault, not the last one
// written, and no file is made.
TEST_P(EmensControlliTest, EveryRowIsCheckedBeforeAnythingIsWritten)
{
    const Riga dichiarante{{"CFPersonaMittente", "RSSMRA80A01H501U"},
                           {"RagSocMittente", "Studio Rossi"},
                           {"CFMittente", "01234567890"},
                           {"SedeINPS", "1300"},
                           {"CFAzienda", "09876543210"},
                           {"RagSocAzienda", "Demo S.p.A."},
                           {"CAP", "40100"},
                           {"ISTAT", "62010"}};
    const auto dipendente = [](const char *cf, const char *cognome) {
        return Riga{{"Matricola", "1000000000"},
                    {"CFLavoratore", cf},
                    {"Cognome", cognome},
                    {"Nome", "ANNA"},
                    {"Elimina", "N"},
                    {"Qualifica1", "2"},
                    {"Qualifica2", "F"},
                    {"Qualifica3", "D"},
                    {"TipoContribuzione", "00"},
                    {"CodiceComune", "H501"},
                    {"CodiceContratto", "EP"},
                    {"TipoLavoratore", "0"},
                    {"Imponibile", platform::Currency::fromInt(1500)},
                    {"GiorniRetribuiti", 26}};
    };
    const Riga collaboratore{{"CFCollaboratore", "NREGPP60D04L219J"},
                             {"Cognome", "NERI"},
                             {"Nome", "GIUSEPPE"},
                             {"TipoRapporto", "1C"},
                             {"Imponibile", platform::Currency::fromInt(1000)},
                             {"Aliquota", 1800},
                             {"Dal", QDate(2006, 1, 1)},
                             {"Al", QDate(2006, 12, 31)}};
    const QString bianchi = QStringLiteral("BNCLRA85C41F205P");
    const auto campo = [](const char *nome) { return QStringLiteral("Campo \"%1\": ").arg(QLatin1String(nome)); };
    const auto codice = [&](const char *nome, const QString &valore) {
        return campo(nome) + TZepTabellaDenuncia::MsgCodiceFiscaleNonValido.arg(valore);
    };
    const auto carattere = [&](const char *nome, const QString &c, const char *codice) {
        return campo(nome) + TZepTabellaDenuncia::MsgCarattereNonAmmesso.arg(c, QLatin1String(codice));
    };
    struct Caso {
        const char *nome;
        Riga amm, bianchi, verdi, neri; // over the rows above
        QString persona, messaggio;     // empty: the file is written
    };
    const QList<Caso> casi{
        {"in regola", {}, {}, {}, {}, {}, {}},
        {"codice di 15 caratteri",
         {},
         {},
         {{"CFLavoratore", "VRDLGU70B02F205"}},
         {},
         QStringLiteral("VERDI ANNA - CF: VRDLGU70B02F205"),
         codice("CFLavoratore", QStringLiteral("VRDLGU70B02F205"))},
        {"codice senza il carattere di controllo esatto",
         {},
         {{"CFLavoratore", "BNCLRA85C41F205Z"}},
         {},
         {},
         QStringLiteral("BIANCHI ANNA - CF: BNCLRA85C41F205Z"),
         codice("CFLavoratore", QStringLiteral("BNCLRA85C41F205Z"))},
        {"codice mancante",
         {},
         {},
         {{"CFLavoratore", " "}},
         {},
         QStringLiteral("VERDI ANNA - CF:  "),
         QStringLiteral("Campo non impostato: CFLavoratore")},
        {"codice con un carattere fuori dall'insieme",
         {},
         {},
         {},
         {{"CFCollaboratore", "NREGPP60D04L21\u00D8J"}},
         QStringLiteral("NERI GIUSEPPE - CF: NREGPP60D04L21\u00D8J"),
         carattere("CFCollaboratore", QStringLiteral("\u00D8"), "U+00D8")},
        {"lettere straniere",
         {},
         {{"Cognome", "\u00C7ELIK \u00D8STBY"}},
         {},
         {},
         QStringLiteral("\u00C7ELIK \u00D8STBY ANNA - CF: ") + bianchi,
         carattere("Cognome", QStringLiteral("\u00C7"), "U+00C7")},
        {"tabulazione",
         {},
         {{"Nome", "AN\tNA"}},
         {},
         {},
         QStringLiteral("BIANCHI AN\tNA - CF: ") + bianchi,
         carattere("Nome", QStringLiteral("\t"), "U+0009")},
        // In the first person written, with others after it.
        {"carattere di controllo",
         {},
         {{"CodiceComune", "H5\u000701"}},
         {},
         {},
         QStringLiteral("BIANCHI ANNA - CF: ") + bianchi,
         carattere("CodiceComune", QStringLiteral("\u0007"), "U+0007")},
        {"dichiarante",
         {{"CFMittente", "0123456789"}},
         {},
         {},
         {},
         QStringLiteral("Dichiarante"),
         codice("CFMittente", QStringLiteral("0123456789"))},
    };
    for (const Caso &c : casi) {
        SCOPED_TRACE(c.nome);
        Tabella(QStringLiteral("TAMM_AMMINISTRAZIONE"), {con(dichiarante, c.amm)}, true);
        Tabella(QStringLiteral("TEMD_DIPENDENTI"), {con(dipendente("BNCLRA85C41F205P", "BIANCHI"), c.bianchi),
                                                    con(dipendente("VRDLGU70B02F205V", "VERDI"), c.verdi)});
        Tabella(QStringLiteral("TEMC_COLLABORATORI"), {con(collaboratore, c.neri)});
        Registro registro;
        emens::TZepFile file(Archivio(), GetParam(), &registro);
        file.CaricaTabelle();
        QTemporaryDir uscita;
        const bool scritto = file.CreaFile([&](const QString &, const QString &nome) { return uscita.filePath(nome); });
        EXPECT_EQ(scritto, c.messaggio.isEmpty());
        EXPECT_EQ(QFile::exists(uscita.filePath(emens::TZepFile::NomeFileDefault())), scritto);
        if (scritto)
            continue;
        EXPECT_EQ(services->messages().last().text.toStdString(),
                  emens::TZepFile::TestoErrore(c.persona, c.messaggio).toStdString());
        EXPECT_FALSE(registro.righe.contains(QStringLiteral("Creazione file in corso ..."))) << "document begun";
    }
}
