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
#include "zepCReport.h"

#include <QDomDocument>

using namespace demotest;

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

    // The reduced declaration: the E-Mens month's declarant, every employee
    // with its taxable pay and the month's total, the collaborators; no
    // contribution, no day strip, no company declaration, no public sector.
    const QStringList pagine = paginePdf(denuncia);
    ASSERT_FALSE(pagine.isEmpty());
    const QString mese = TZepReport::DescrMese(QString::number(p.mese)) + QLatin1Char(' ') + QString::number(p.anno);
    for (const QString &pagina : pagine) {
        EXPECT_TRUE(pagina.contains(TZepReport::TitoloStampaEMens));
        EXPECT_TRUE(pagina.contains(mese)) << mese.toStdString();
    }
    EXPECT_TRUE(pagine.first().contains(QStringLiteral("Dichiarante")));
    controllaDipendentiStampati(pagine, dip, false);
    const QString tutto = pagine.join(QLatin1Char('\n'));
    for (coll.first(); !coll.eof(); coll.next())
        EXPECT_TRUE(tutto.contains(coll.fieldByName(QStringLiteral("CFCollaboratore")).asString()));
    for (const char *assente : {"Contributo", "Denuncia aziendale", "Iscritti ex DMA", "| 1 | 2 |"})
        EXPECT_FALSE(tutto.contains(QLatin1String(assente))) << assente;

    // The lists of "Dipendenti" and "Collaboratori": every person of the
    // month, the E-Mens rows without a contribution.
    const QString elenco = paginePdf(dipendenti).join(QLatin1Char('\n'));
    EXPECT_TRUE(elenco.contains(QStringLiteral("Aumento imp.")));
    EXPECT_FALSE(elenco.contains(QStringLiteral("Contributo")));
    for (dip.first(); !dip.eof(); dip.next())
        EXPECT_TRUE(elenco.contains(dip.fieldByName(QStringLiteral("CFLavoratore")).asString()));
    const QString elencoColl = paginePdf(pdfCollaboratori).join(QLatin1Char('\n'));
    for (coll.first(); !coll.eof(); coll.next())
        EXPECT_TRUE(elencoColl.contains(coll.fieldByName(QStringLiteral("CFCollaboratore")).asString()));
}

INSTANTIATE_TEST_SUITE_P(Programmi, EMensDemoTest,
                         ::testing::Values(Programma{"zepdb", 2008, 5}, Programma{"zep", 2006, 10}),
                         [](const auto &info) { return std::string(info.param.nome); });
