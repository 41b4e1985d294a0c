// The prints of a demo month as the user gets them: zepDemoDeclaration
// prints the declaration and the two lists into PDF files through the
// prints' own code, and poppler's tools read them back.
#include "ZepDemoDeclarationSupport.h"

#include "zepCStampa.h"

#include <QRegularExpression>

using namespace demotest;

namespace {

// The text of one page (from 1) as laid out, ligatures read as their
// letters.
QString pagina(const QString &pdf, int n)
{
    const Esito e = esegui(QStringLiteral("pdftotext"),
                           {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(n), QStringLiteral("-l"),
                            QString::number(n), pdf, QStringLiteral("-")});
    EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
    return e.uscita.normalized(QString::NormalizationForm_KC);
}

int pagine(const QString &pdf)
{
    const Esito e = esegui(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(e.uscita);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

TEST(ZepStampaPdf, TheDemoMonthsDeclarationAndListsPrintEveryPersonWithItsFiguresOnItsPage)
{
    Installazione inst;
    const QString archivio = inst.Archivio();
    ASSERT_EQ(inst.CreaArchivio(40, QStringLiteral("2022-11"), QStringLiteral("2022-11")), QString());
    const QString periodo = QStringLiteral("2022-11");
    const Esito importa = inst.Dichiara(archivio, periodo, QString());
    ASSERT_EQ(importa.codice, 0) << importa.uscita.toStdString() << importa.errori.toStdString();
    const QString denuncia = inst.path(QStringLiteral("out/denuncia.pdf"));
    const QString dipendenti = inst.path(QStringLiteral("out/dipendenti.pdf"));
    const QString collaboratori = inst.path(QStringLiteral("out/collaboratori.pdf"));
    const Esito e = esegui(inst.programma(), {QStringLiteral("--archive"), archivio, QStringLiteral("--period"),
                                              periodo, QStringLiteral("--solo-file"), QStringLiteral("--stampa-pdf"),
                                              denuncia, QStringLiteral("--stampa-dipendenti"), dipendenti,
                                              QStringLiteral("--stampa-collaboratori"), collaboratori});
    ASSERT_EQ(e.codice, 0) << e.uscita.toStdString() << e.errori.toStdString();

    // The page count the run reports is the file's.
    const int n = pagine(denuncia);
    EXPECT_TRUE(e.uscita.contains(QRegularExpression(QStringLiteral("Stampa Denuncia\\s+%1 pagine").arg(n))))
        << e.uscita.toStdString();
    QStringList testi;
    for (int p = 1; p <= n; ++p)
        testi << pagina(denuncia, p);
    EXPECT_TRUE(testi.first().contains(QStringLiteral("Dichiarante")));
    for (int p = 0; p < n; ++p) {
        EXPECT_TRUE(testi.at(p).contains(QStringLiteral("novembre 2022"))) << p + 1;
        EXPECT_TRUE(testi.at(p).contains(QStringLiteral("Pagina %1 di %2").arg(p + 1).arg(n))) << p + 1;
    }

    // Every employee on one page with its name, fiscal code and figures;
    // the month's total is the sum of the rows.
    platform::DataSet righe;
    Tabelle(archivio, 2022, 11).Carica(righe, QStringLiteral("TEMD_DIPENDENTI"));
    ASSERT_GT(righe.recordCount(), 10);
    platform::Currency totale;
    for (righe.first(); !righe.eof(); righe.next()) {
        const QString cf = righe.fieldByName(QStringLiteral("CFLavoratore")).asString();
        const QString titolo = righe.fieldByName(QStringLiteral("Cognome")).asString().trimmed() + QLatin1Char(' ')
                               + righe.fieldByName(QStringLiteral("Nome")).asString().trimmed() + QStringLiteral(" - ")
                               + cf;
        // A person with two rows (two company numbers) is printed twice:
        // one of its blocks carries this row's figures, on one page.
        const QString imponibile = ZepTestoCampo(righe, QStringLiteral("Imponibile"));
        const QString contributo = ZepTestoCampo(righe, QStringLiteral("Contributo"));
        bool trovato = false;
        for (const QString &t : testi)
            for (qsizetype i = t.indexOf(titolo); i >= 0 && !trovato; i = t.indexOf(titolo, i + 1)) {
                const QString blocco = t.mid(i + titolo.size()).section(QStringLiteral(" - "), 0, 0);
                trovato = blocco.contains(imponibile) && blocco.contains(contributo);
            }
        EXPECT_TRUE(trovato) << titolo.toStdString() << " " << imponibile.toStdString();
        totale = totale + ZepImportoCampo(righe, QStringLiteral("Imponibile"));
    }
    const QString ultime = testi.join(QLatin1Char('\n'));
    const QString dopoTotale = ultime.mid(ultime.indexOf(QStringLiteral("Totale dipendenti")));
    EXPECT_TRUE(dopoTotale.contains(ZepImporto(totale))) << ZepImporto(totale).toStdString();

    // The lists: every employee and collaborator of the month.
    const QString elenco = pagina(dipendenti, 1);
    EXPECT_TRUE(elenco.contains(QStringLiteral("novembre 2022")));
    platform::DataSet coll;
    Tabelle(archivio, 2022, 11).Carica(coll, QStringLiteral("TEMC_COLLABORATORI"));
    QString tuttiColl;
    for (int p = 1; p <= pagine(collaboratori); ++p)
        tuttiColl += pagina(collaboratori, p);
    for (coll.first(); !coll.eof(); coll.next())
        EXPECT_TRUE(tuttiColl.contains(coll.fieldByName(QStringLiteral("CFCollaboratore")).asString()));
    QString tuttiDip;
    for (int p = 1; p <= pagine(dipendenti); ++p)
        tuttiDip += pagina(dipendenti, p);
    for (righe.first(); !righe.eof(); righe.next())
        EXPECT_TRUE(tuttiDip.contains(righe.fieldByName(QStringLiteral("CFLavoratore")).asString()));
}
