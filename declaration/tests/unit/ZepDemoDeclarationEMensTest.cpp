// The earlier program's road end to end through zepDemoDeclaration
// --programma on a demo archive of 2005-2009: a month of 2008 (zepdb, the
// tables in the archive) and one of 2006 (zep, the tables in the year
// folder's files) imported, written and printed, each file read back against
// the element tree and the declaration tables the import left, and the
// earlier program's prints (the reduced declaration of the E-Mens month and
// the two lists) read back from their PDF files.
#include "ZepCCdsLocale.h"
#include "ZepDemoDeclarationSupport.h"
#include "ZepDocumentoSupport.h"
#include "ZepUUtil.h"
#include "zepCRepBase.h"
#include "zepCReport.h"

#include <QDate>
#include <QDomDocument>
#include <QRegularExpression>

using namespace demotest;
using platform::Currency;

namespace {

struct Programma {
    const char *nome;
    int anno, mese;
};

void PrintTo(const Programma &p, std::ostream *os)
{
    *os << p.nome << " " << p.anno << "-" << p.mese;
}

class EMensDemoTest : public ::testing::TestWithParam<Programma> {};

// "Matricola": the fiscal codes of its rows, as the table holds them and as
// the file writes them.
using PerMatricola = QMap<QString, QStringList>;

PerMatricola righe(platform::DataSet &ds, const QString &campoMatricola, const QString &campoCF)
{
    PerMatricola out;
    for (ds.first(); !ds.eof(); ds.next())
        out[campoMatricola.isEmpty() ? QString() : ds.fieldByName(campoMatricola).asString()]
            << ds.fieldByName(campoCF).asString();
    for (QStringList &l : out)
        l.sort();
    return out;
}


// What the E-Mens file declares, as its prints show it: each employee's
// amounts (taxable pay, theoretical pay, variations) by "COGNOME NOME - CF",
// those of the lists (no theoretical pay), the company numbers' and the
// month's totals, the collaborators' taxable pay and relief and their
// totals. Zeros are left out: the file declares none.
struct Dichiarato {
    QStringList titoli, titoliCollaboratori;
    QMap<QString, QStringList> persona, personaElenco;
    QMap<QString, qint64> totaleMatricola;
    qint64 totale = 0;
    QStringList collaboratori;
    qint64 totaleCollaboratori = 0, totaleAgevolazioni = 0;
};

QString testoFiglio(const QDomElement &e, const char *nome)
{
    return e.firstChildElement(QLatin1String(nome)).text();
}

Dichiarato dichiarato(const QDomElement &azienda)
{
    Dichiarato d;
    const auto aggiungi = [](QStringList &l, const QDomElement &e, const char *nome) {
        const QString v = testoFiglio(e, nome);
        if (!v.isEmpty() && v.toLongLong() != 0)
            l << ZepImporto(Currency::fromInt(v.toLongLong()));
    };
    for (QDomElement l = azienda.firstChildElement(QStringLiteral("ListaDenunceIndividuali")); !l.isNull();
         l = l.nextSiblingElement(QStringLiteral("ListaDenunceIndividuali"))) {
        qint64 &matricola = d.totaleMatricola[testoFiglio(l, "Matricola")];
        for (QDomElement i = l.firstChildElement(QStringLiteral("DenunciaIndividuale")); !i.isNull();
             i = i.nextSiblingElement(QStringLiteral("DenunciaIndividuale"))) {
            const QString titolo = testoFiglio(i, "Cognome") + QLatin1Char(' ') + testoFiglio(i, "Nome")
                                   + QStringLiteral(" - ") + testoFiglio(i, "CFLavoratore");
            d.titoli << titolo;
            const QDomElement dati = i.firstChildElement(QStringLiteral("DatiRetributivi"));
            const QDomElement var = dati.firstChildElement(QStringLiteral("VarRetributive"));
            QStringList importi;
            aggiungi(importi, dati, "Imponibile");
            aggiungi(importi, var, "AumentoImponibile");
            aggiungi(importi, var, "DiminuzioneImponibile");
            d.personaElenco[titolo] << importi;
            aggiungi(importi, dati, "RetribTeorica");
            d.persona[titolo] << importi;
            matricola += testoFiglio(dati, "Imponibile").toLongLong();
            d.totale += testoFiglio(dati, "Imponibile").toLongLong();
        }
    }
    for (QDomElement c = azienda.firstChildElement(QStringLiteral("ListaCollaboratori"))
                             .firstChildElement(QStringLiteral("Collaboratore"));
         !c.isNull(); c = c.nextSiblingElement(QStringLiteral("Collaboratore"))) {
        d.titoliCollaboratori << testoFiglio(c, "Cognome") + QLatin1Char(' ') + testoFiglio(c, "Nome")
                                     + QStringLiteral(" - ") + testoFiglio(c, "CFCollaboratore");
        const QDomElement agevolazione = c.firstChildElement(QStringLiteral("Agevolazione"));
        aggiungi(d.collaboratori, c, "Imponibile");
        aggiungi(d.collaboratori, agevolazione, "ImpAgevolazione");
        d.totaleCollaboratori += testoFiglio(c, "Imponibile").toLongLong();
        d.totaleAgevolazioni += testoFiglio(agevolazione, "ImpAgevolazione").toLongLong();
    }
    d.collaboratori.sort();
    for (auto *m : {&d.persona, &d.personaElenco})
        for (QStringList &l : *m)
            l.sort();
    return d;
}

// The amounts of a print's text but its zeros.
QStringList nonZero(const QString &testo)
{
    QStringList out = importiStampati(testo);
    out.removeAll(QStringLiteral("0,00"));
    return out;
}

// The amounts printed in the blocks of each person (by title), zeros left
// out, sorted.
QMap<QString, QStringList> importiPersone(const QMultiMap<QString, QString> &blocchi, const QStringList &titoli)
{
    QMap<QString, QStringList> out;
    for (const QString &t : titoli) {
        if (out.contains(t))
            continue;
        QStringList &l = out[t];
        for (const QString &b : blocchi.values(t))
            l << nonZero(b);
        l.sort();
    }
    return out;
}
} // namespace

TEST_P(EMensDemoTest, AMonthIsImportedAndWrittenOneDeclarationPerEmployeeRow)
{
    const Programma p = GetParam();
    const bool locale = QLatin1String(p.nome) == QLatin1String("zep");
    const QString periodo = QStringLiteral("%1-%2").arg(p.anno).arg(p.mese, 2, 10, QLatin1Char('0'));
    Installazione inst;
    ASSERT_EQ(inst.CreaArchivio(50, QStringLiteral("2005-01"), QStringLiteral("2009-12"), false), QString());
    const QString file = inst.path(QStringLiteral("out/EMens%1.Xml").arg(periodo));
    const QString denuncia = inst.path(QStringLiteral("out/denuncia.pdf"));
    const QString dipendenti = inst.path(QStringLiteral("out/dipendenti.pdf"));
    const QString pdfCollaboratori = inst.path(QStringLiteral("out/collaboratori.pdf"));
    const Esito e = inst.Dichiara(inst.Archivio(), periodo, file, QProcessEnvironment::systemEnvironment(),
                                  {QStringLiteral("--programma"), QLatin1String(p.nome),
                                   QStringLiteral("--completa-demo"), QStringLiteral("--stampa-pdf"), denuncia,
                                   QStringLiteral("--stampa-dipendenti"), dipendenti,
                                   QStringLiteral("--stampa-collaboratori"), pdfCollaboratori});
    ASSERT_EQ(e.codice, 0) << e.uscita.toStdString() << e.errori.toStdString();
    EXPECT_FALSE(e.uscita.contains(QLatin1String("Importa iscritti FPLS"))) << e.uscita.toStdString();

    // The tables the import left: the archive's, or the year folder's files.
    platform::DataSet dip, coll;
    std::unique_ptr<Tabelle> archivio;
    TZepCdsLocale cartella(inst.path(QString()), QStringLiteral("USR/ZEPDati/ZEP"));
    if (locale) {
        cartella.SetYear(p.anno);
        cartella.SetMonth(p.mese);
        cartella.Load(dip, QStringLiteral("TEMD_DIPENDENTI"));
        cartella.Load(coll, QStringLiteral("TEMC_COLLABORATORI"));
    } else {
        archivio = std::make_unique<Tabelle>(inst.Archivio(), p.anno, p.mese);
        archivio->Carica(dip, QStringLiteral("TEMD_DIPENDENTI"));
        archivio->Carica(coll, QStringLiteral("TEMC_COLLABORATORI"));
    }
    ASSERT_GT(dip.recordCount(), 10);
    ASSERT_GT(coll.recordCount(), 0);

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QDomDocument dom;
    ASSERT_TRUE(dom.setContent(&f));
    const QDomElement root = dom.documentElement();
    EXPECT_EQ(root.tagName(), QStringLiteral("DenunceRetributiveMensili"));
    documentotest::controllaAlbero(root, documentotest::modelloEMens().rootClass, documentotest::modelloEMens());
    const QDomElement azienda = root.firstChildElement(QStringLiteral("Azienda"));
    EXPECT_EQ(azienda.firstChildElement(QStringLiteral("AnnoMeseDenuncia")).text(), periodo);

    PerMatricola nelFile;
    for (QDomElement l = azienda.firstChildElement(QStringLiteral("ListaDenunceIndividuali")); !l.isNull();
         l = l.nextSiblingElement(QStringLiteral("ListaDenunceIndividuali"))) {
        QStringList &cf = nelFile[l.firstChildElement(QStringLiteral("Matricola")).text()];
        for (QDomElement d = l.firstChildElement(QStringLiteral("DenunciaIndividuale")); !d.isNull();
             d = d.nextSiblingElement(QStringLiteral("DenunciaIndividuale")))
            cf << d.firstChildElement(QStringLiteral("CFLavoratore")).text();
        cf.sort();
    }
    EXPECT_EQ(nelFile, righe(dip, QStringLiteral("Matricola"), QStringLiteral("CFLavoratore")));
    PerMatricola collaboratori;
    const QDomNodeList c = azienda.elementsByTagName(QStringLiteral("CFCollaboratore"));
    for (int i = 0; i < c.count(); ++i)
        collaboratori[QString()] << c.at(i).toElement().text();
    collaboratori[QString()].sort();
    EXPECT_EQ(collaboratori, righe(coll, QString(), QStringLiteral("CFCollaboratore")));

    // The position leaves of the database form only.
    for (const char *foglia : {"OrarioContrattuale", "PercPartTime", "NumMensilita", "RetribTeorica"}) {
        const int n = root.elementsByTagName(QLatin1String(foglia)).count();
        if (locale) {
            EXPECT_EQ(n, 0) << foglia;
        } else if (QLatin1String(foglia) == QLatin1String("RetribTeorica")) {
            EXPECT_EQ(n, dip.recordCount()) << foglia;
        }
    }

    // The reduced declaration and the lists read back against the file:
    // every amount printed in a person's block is one the file declares for
    // that person (in whole euros), and the totals are the sums of the
    // file's; no contribution, no day strip, no company declaration, no
    // public sector.
    const Dichiarato d = dichiarato(azienda);
    const QStringList pagine = paginePdf(denuncia);
    ASSERT_FALSE(pagine.isEmpty());
    const QString mese = TZepReport::DescrMese(QString::number(p.mese)) + QLatin1Char(' ') + QString::number(p.anno);
    // Each page says the day it was printed; the file names its program.
    const QString oggi = QStringLiteral("Stampato il ") + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    for (const QString &pagina : pagine) {
        EXPECT_TRUE(pagina.contains(TZepReport::TitoloStampaEMens));
        EXPECT_TRUE(pagina.contains(mese)) << mese.toStdString();
        EXPECT_TRUE(pagina.contains(oggi)) << pagina.left(400).toStdString();
    }
    const Esito info = esegui(QStringLiteral("pdfinfo"), {denuncia});
    EXPECT_TRUE(info.uscita.contains(QRegularExpression(QStringLiteral("^Creator:\\s+%1$").arg(QLatin1String(p.nome)),
                                                        QRegularExpression::MultilineOption)))
        << info.uscita.toStdString();
    EXPECT_TRUE(pagine.first().contains(QStringLiteral("Dichiarante")));
    const QStringList finiBlocchi{QStringLiteral("Totali matricola "), QStringLiteral("Totale dipendenti"),
                                  QStringLiteral("Collaboratori"), QStringLiteral("Dipendenti - matricola"),
                                  QStringLiteral("Matricola INPS ")};
    const QMultiMap<QString, QString> blocchi = blocchiStampati(pagine, d.titoli + finiBlocchi);
    EXPECT_EQ(importiPersone(blocchi, d.titoli), d.persona);
    QStringList totali;
    for (auto it = d.totaleMatricola.cbegin(); it != d.totaleMatricola.cend(); ++it)
        totali << it.key() + QLatin1Char(' ') + ZepImporto(Currency::fromInt(it.value()));
    QStringList stampati;
    for (const QString &b : blocchi.values(QStringLiteral("Totali matricola ")))
        stampati << b.section(QLatin1Char('\n'), 0, 0).trimmed() + QLatin1Char(' ') + importiStampati(b).join(' ');
    stampati.sort();
    EXPECT_EQ(stampati, totali);
    EXPECT_EQ(importiStampati(blocchi.value(QStringLiteral("Totale dipendenti"))),
              QStringList{ZepImporto(Currency::fromInt(d.totale))});
    // The rows, then the totals of taxable pay and relief.
    QStringList importiColl = importiStampati(blocchi.value(QStringLiteral("Collaboratori")));
    ASSERT_GE(importiColl.size(), 2);
    EXPECT_EQ(importiColl.mid(importiColl.size() - 2),
              QStringList({ZepImporto(Currency::fromInt(d.totaleCollaboratori)),
                           ZepImporto(Currency::fromInt(d.totaleAgevolazioni))}));
    importiColl = nonZero(importiColl.mid(0, importiColl.size() - 2).join(QLatin1Char(' ')));
    importiColl.sort();
    EXPECT_EQ(importiColl, d.collaboratori);
    const QString tutto = pagine.join(QLatin1Char('\n'));
    for (coll.first(); !coll.eof(); coll.next())
        EXPECT_TRUE(tutto.contains(coll.fieldByName(QStringLiteral("CFCollaboratore")).asString()));
    for (const char *assente : {"Contributo", "Denuncia aziendale", "Iscritti ex DMA", "| 1 | 2 |"})
        EXPECT_FALSE(tutto.contains(QLatin1String(assente))) << assente;

    // The lists of "Dipendenti" and "Collaboratori" of the month: each
    // person's row and total the file's figures, the E-Mens rows without a
    // contribution.
    const QStringList elenco = paginePdf(dipendenti);
    EXPECT_TRUE(elenco.join(QLatin1Char('\n')).contains(QStringLiteral("Aumento imp.")));
    EXPECT_FALSE(elenco.join(QLatin1Char('\n')).contains(QStringLiteral("Contributo")));
    QMap<QString, QStringList> rigaETotale;
    for (auto it = d.personaElenco.cbegin(); it != d.personaElenco.cend(); ++it)
        rigaETotale[it.key()] = QStringList(it.value() + it.value());
    for (QStringList &l : rigaETotale)
        l.sort();
    EXPECT_EQ(importiPersone(blocchiStampati(elenco, d.titoli + finiBlocchi), d.titoli), rigaETotale);
    const QStringList elencoColl = paginePdf(pdfCollaboratori);
    QStringList stampatiColl;
    for (const QString &b : blocchiStampati(elencoColl, d.titoliCollaboratori))
        stampatiColl << nonZero(b);
    stampatiColl.sort();
    QStringList dichiaratiColl = d.collaboratori + d.collaboratori;
    dichiaratiColl.sort();
    EXPECT_EQ(stampatiColl, dichiaratiColl);

    // Every word of the three prints whole among their pages' words; the
    // prints made again here, in the tool's working period.
    struct Periodo {
        const QString anno = AnnoDenuncia, mese = MeseDenuncia;
        explicit Periodo(const QString &periodo) { SetPeriodoDenuncia(periodo.left(4), periodo.right(2)); }
        ~Periodo() { SetPeriodoDenuncia(anno, mese); }
    } periodoDelloStrumento(periodo);
    ITovDBCds &store = locale ? static_cast<ITovDBCds &>(cartella) : archivio->Store();
    const TZepDenuncia forma = locale ? TZepDenuncia::EMensLocale : TZepDenuncia::EMens;
    TZepReport report(store, forma);
    report.Carica(inst.path(QStringLiteral("USR/ZEP/Res/TEAM_ANNOMESE.cds")));
    const TZepStampa stampaDenuncia = report.Stampa();
    report.Chiudi();
    TzepRepDip elencoDip(store, forma);
    TzepRepColl rep(store, forma);
    for (TzepRepBase *r : {static_cast<TzepRepBase *>(&elencoDip), static_cast<TzepRepBase *>(&rep)}) {
        r->Carica();
        r->Mese = p.mese;
        r->Scegli({});
    }
    for (const auto &[stampa, pagineStampa] : {std::pair{stampaDenuncia, pagine}, std::pair{elencoDip.Stampa(), elenco},
                                               std::pair{rep.Stampa(), elencoColl}})
        EXPECT_EQ(paroleRotte(stampa, pagineStampa), QStringList()) << stampa.titolo.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Programmi, EMensDemoTest,
                         ::testing::Values(Programma{"zepdb", 2008, 5}, Programma{"zep", 2006, 10}),
                         [](const auto &info) { return std::string(info.param.nome); });
