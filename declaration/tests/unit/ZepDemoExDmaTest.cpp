// zepDemoDeclaration --ex-dma run as a program on demo archives with the
// public-sector persons: a month of 2024 and one of 2013, every legal
// position with candidates imported, written to the file and read back, the
// public-sector import killed in a person, then run again, and the year's CUD
// summary of two months read back against the rows.
#include "DemoArchivePublic.h"
#include "ZepCDmaImpIscritto.h"
#include "import/WunCFiscImpMultiSelect.h"
#include "ZepCDma.h"
#include "ZepCRiepilogoDatiCUD.h"
#include "ZepDemoDeclarationSupport.h"
#include "ZepDocumentoSupport.h"

#include "Currency.h"
#include "DatabaseCreator.h"
#include "SqlQuery.h"

#include <QDomDocument>

using namespace demotest;
using platform::Currency;

namespace {

constexpr int Persone = payroll::DemoArchivePublic::FirstPerson + payroll::DemoArchivePublic::Count;

QList<QDomElement> figli(const QDomElement &e, const QString &nome)
{
    QList<QDomElement> out;
    for (QDomElement c = e.firstChildElement(nome); !c.isNull(); c = c.nextSiblingElement(nome))
        out << c;
    return out;
}

// Every public-sector row of the store by fiscal code: its D0 row's and its
// E0 rows' values joined, the store's own numbering left out.
QMap<QString, QStringList> righeDma(Tabelle &t)
{
    QMap<QString, QStringList> out;
    for (const auto &[tabella, campoCf] : {std::pair{TZepDma::TabellaD0, TZepDma::CampoCodiceFiscale},
                                           std::pair{TZepDma::TabellaE0, QStringLiteral("SE0CODFIS")}}) {
        platform::DataSet ds;
        t.Carica(ds, tabella);
        for (ds.first(); !ds.eof(); ds.next()) {
            QStringList valori;
            for (const auto &campo : ds.fields())
                if (campo->fieldName().compare(QStringLiteral("IFISRIGO"), Qt::CaseInsensitive) != 0
                    && campo->fieldName().compare(QStringLiteral("IAFIID"), Qt::CaseInsensitive) != 0
                    && campo->fieldName() != TZepDma::CampoOrdine)
                    valori << campo->asString();
            out[ds.fieldByName(campoCf).asString()] << valori.join(QLatin1Char('|'));
        }
    }
    for (QStringList &r : out)
        r.sort();
    return out;
}

// The archive's pension taxable of the month on the public salary
// registers and accessory pay of every legal position but 11 (the demo's
// person of that position is refused).
Currency imponibileArchivio(const QString &archivio, int anno, int mese)
{
    platform::ConnectionSettings s;
    s.database = archivio;
    platform::Database db(s);
    db.open();
    platform::SqlQuery q(db);
    q.setSql(QStringLiteral(
        "SELECT COALESCE(SUM(V.FVARRIMPONIBILEDIP), 0) FROM TVARR_VARRITENUTE V WHERE V.IRICEID = 2 AND "
        "((V.IVACRID IS NULL AND V.IREGSID IN (SELECT R.IREGSID FROM TREGS_REGISTROSTIP R JOIN TACOM_COMPENSI A ON "
        "A.IACOMID = R.IACOMID WHERE A.IDCTID = 2 AND A.ITNOID <> 11 AND R.IANFID = :ANF AND R.IMESID = :MESE AND "
        "R.ICOTID = 1)) OR (V.ICOMRID IS NOT NULL AND V.IVARMID IN (SELECT M.IVARMID FROM TVARM_VARIAZIONI M JOIN "
        "TACOM_COMPENSI A ON A.IACOMID = M.IACOMID WHERE A.IDCTID = 2 AND A.ITNOID <> 11 AND M.IANFID = :ANF AND "
        "M.IMESID = :MESE AND M.ICOTID = 2)))"));
    q.bind(QStringLiteral("ANF"), anno - 1969).bind(QStringLiteral("MESE"), mese);
    q.open();
    const Currency totale = q.value(0).toCurrency();
    q.close();
    db.close();
    return totale;
}

Currency somma(const QDomElement &e, const QString &percorso)
{
    Currency s;
    const QDomNodeList nodi = e.elementsByTagName(percorso);
    for (int i = 0; i < nodi.count(); ++i)
        s += Currency::fromString(nodi.at(i).toElement().text());
    return s;
}

} // namespace

TEST(ZepDemoExDma, AMonthOf2024AndOneOf2013WriteThePublicSectorPositions)
{
    for (const auto &[anno, mese] : {std::pair{2013, 5}, std::pair{2024, 3}}) {
        const QString periodo = QStringLiteral("%1-%2").arg(anno).arg(mese, 2, 10, QLatin1Char('0'));
        SCOPED_TRACE(periodo.toStdString());
        Installazione inst;
        const QString archivio = inst.Archivio();
        ASSERT_EQ(inst.CreaArchivio(Persone, periodo, periodo), QString());
        const QString file = inst.path(QStringLiteral("out/uniEMens%1.xml").arg(periodo));
        const QStringList exDma{QStringLiteral("--ex-dma"), QStringLiteral("--completa-demo")};
        const Esito e = inst.Dichiara(archivio, periodo, file, QProcessEnvironment::systemEnvironment(), exDma);
        // Each legal position with candidates is run; the import refuses the
        // demo's persons of positions 11 and 2 (nothing relevant), named with
        // the reason and left out of the file (in 2024 the demo's mother is
        // refused by "Importa" too); the file of the others is written, and
        // again from the rows imported with --solo-file.
        for (const char *atteso : {"posizioni giuridiche: 1 (", ", 2 (", ", 11 (1)", ", 16 (1)"})
            EXPECT_TRUE(e.uscita.contains(QLatin1String(atteso))) << atteso << "\n" << e.uscita.toStdString();
        EXPECT_EQ(e.uscita.count(QStringLiteral(": ") + TZepDmaImpIscritto::MsgPosizioneGiuridica), 1)
            << e.uscita.toStdString();
        EXPECT_EQ(e.uscita.count(QStringLiteral(": ") + TZepDmaImpIscritto::MsgNessunDatoRilevante), 1)
            << e.uscita.toStdString();
        ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
        EXPECT_TRUE(e.errori.contains(QLatin1String("persone rifiutate per i loro dati"))) << e.errori.toStdString();
        ASSERT_TRUE(QFile::exists(file));
        const Esito solo = inst.Dichiara(archivio, periodo, file, QProcessEnvironment::systemEnvironment(),
                                         exDma + QStringList{QStringLiteral("--solo-file")});
        ASSERT_EQ(solo.codice, 0) << solo.uscita.toStdString() << solo.errori.toStdString();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray xml = f.readAll();
        documentotest::controllaDocumento(xml);
        QDomDocument dom;
        ASSERT_TRUE(dom.setContent(xml));
        const QDomElement lista = dom.documentElement()
                                      .firstChildElement(QStringLiteral("Azienda"))
                                      .firstChildElement(QStringLiteral("ListaPosPA"));
        ASSERT_FALSE(lista.isNull());
        QStringList nelFile;
        for (const QDomElement &pos : figli(lista, QStringLiteral("PosPA")))
            for (const QDomElement &d0 : figli(pos, QStringLiteral("D0_DenunciaIndividuale"))) {
                nelFile << d0.firstChildElement(QStringLiteral("CFLavoratore")).text();
                EXPECT_FALSE(figli(d0, QStringLiteral("E0_PeriodoNelMese")).isEmpty()) << nelFile.last().toStdString();
            }
        QStringList inArchivio;
        {
            Tabelle t(archivio, anno, mese);
            platform::DataSet d0;
            t.Carica(d0, TZepDma::TabellaD0);
            for (d0.first(); !d0.eof(); d0.next())
                inArchivio << d0.fieldByName(TZepDma::CampoCodiceFiscale).asString();
        }
        nelFile.sort();
        inArchivio.sort();
        EXPECT_GE(inArchivio.size(), 4);
        EXPECT_EQ(nelFile, inArchivio);
        // The management blocks add up to the archive's pension taxable.
        Currency pensione;
        const QDomNodeList gestioni = lista.elementsByTagName(QStringLiteral("GestPensionistica"));
        EXPECT_GT(gestioni.count(), 0);
        for (int i = 0; i < gestioni.count(); ++i)
            pensione += Currency::fromString(
                gestioni.at(i).toElement().firstChildElement(QStringLiteral("Imponibile")).text());
        EXPECT_EQ(pensione, imponibileArchivio(archivio, anno, mese));
        EXPECT_GT(somma(lista, QStringLiteral("ImponibileTFR")), Currency());
    }
}

TEST(ZepDemoExDma, KilledInAPublicSectorPersonThenRunAgain)
{
    Installazione inst;
    const QString archivio = inst.Archivio();
    const QString periodo = QStringLiteral("2013-05");
    ASSERT_EQ(inst.CreaArchivio(Persone, periodo, periodo), QString());
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("ZEP_ARRESTO_PERSONA_DMA"), QStringLiteral("3"));
    const Esito ucciso = inst.Dichiara(archivio, periodo, QString(), ambiente, {QStringLiteral("--ex-dma")});
    ASSERT_TRUE(ucciso.ucciso) << ucciso.uscita.toStdString() << ucciso.errori.toStdString();
    const QString prefisso = QStringLiteral("Arresto simulato: ");
    const int da = ucciso.errori.indexOf(prefisso);
    ASSERT_GE(da, 0) << ucciso.errori.toStdString();
    const QString fermato = ucciso.errori.mid(da + prefisso.size()).section(QLatin1Char('\n'), 0, 0).trimmed();
    QMap<QString, QStringList> dopoArresto;
    {
        Tabelle t(archivio, 2013, 5);
        dopoArresto = righeDma(t);
    }
    platform::ConnectionSettings s;
    s.database = archivio;
    EXPECT_EQ(platform::DatabaseCreator::validate(s).text(), QString());
    EXPECT_FALSE(dopoArresto.contains(fermato)) << fermato.toStdString() << " kept rows of its rolled back import";
    EXPECT_EQ(dopoArresto.size(), 2) << "the persons before the stop are kept";

    const Esito ripreso = inst.Dichiara(archivio, periodo, QString(), QProcessEnvironment::systemEnvironment(),
                                        {QStringLiteral("--ex-dma")});
    // Only the demo's person without a fiscal code and the two persons the
    // public-sector import refuses are left out.
    ASSERT_EQ(ripreso.codice, 0) << ripreso.uscita.toStdString() << ripreso.errori.toStdString();
    EXPECT_EQ(ripreso.uscita.count(QStringLiteral("  non importato: ")), 3) << ripreso.uscita.toStdString();
    for (const QString &motivo :
         {TwunFiscImpMultiSelect::MotivoSenzaCodiceFiscale, TZepDmaImpIscritto::MsgPosizioneGiuridica,
          TZepDmaImpIscritto::MsgNessunDatoRilevante})
        EXPECT_EQ(ripreso.uscita.count(QStringLiteral(": ") + motivo), 1) << motivo.toStdString();
    QMap<QString, QStringList> completo;
    {
        Tabelle t(archivio, 2013, 5);
        completo = righeDma(t);
    }
    EXPECT_TRUE(completo.contains(fermato));
    // Replaced by the rerun ("Sovrascrivi sempre"), each person as it was.
    for (auto it = dopoArresto.cbegin(); it != dopoArresto.cend(); ++it)
        EXPECT_EQ(it.value(), completo.value(it.key())) << it.key().toStdString();
}

TEST(ZepDemoExDma, TheCudSummaryPrintsTheYearsFiguresOfTheRowsTfrAsWellAsTfs)
{
    // Two months imported as the public-sector import writes them, then the
    // year's summary of every person (--stampa-cud) read back.
    Installazione inst;
    const QString archivio = inst.Archivio();
    ASSERT_EQ(inst.CreaArchivio(Persone, QStringLiteral("2013-02"), QStringLiteral("2013-03")), QString());
    const QString pdf = inst.path(QStringLiteral("out/cud.pdf"));
    for (const char *periodo : {"2013-02", "2013-03"}) {
        QStringList opzioni{QStringLiteral("--ex-dma")};
        if (QLatin1String(periodo) == QLatin1String("2013-03"))
            opzioni << QStringLiteral("--stampa-cud") << pdf;
        const Esito e = inst.Dichiara(archivio, QLatin1String(periodo), QString(),
                                      QProcessEnvironment::systemEnvironment(), opzioni);
        ASSERT_EQ(e.codice, 0) << e.uscita.toStdString() << e.errori.toStdString();
    }
    const QStringList pagine = paginePdf(pdf);
    ASSERT_FALSE(pagine.isEmpty());

    // Each person's yearly totals of a section: the sums of its rows whose
    // period ends in that year, in the columns' order (the theoretical TFR
    // pay, a monthly rate, has none).
    const QStringList importi{QStringLiteral("XXX032_IMPPENS"),    QStringLiteral("XXX033_CONPENS"),
                              QStringLiteral("XXX035_IMPTFS"),     QStringLiteral("XXX036_CONTFS"),
                              QStringLiteral("XXXA37_IMPTFR"),     QStringLiteral("XXXA38_CONTFR"),
                              QStringLiteral("XXX039_IMPCREDITO"), QStringLiteral("XXX040_CONCREDITO")};
    QMap<QString, QList<Currency>> somme;
    int righe = 0;
    Currency tfr;
    Tabelle t(archivio, 2013, 3);
    for (const auto &[tabella, q, v] :
         {std::tuple{TZepDma::TabellaE0, "E0", "VP_"}, std::tuple{TZepDma::TabellaV1, "V1", "VN_"}}) {
        platform::DataSet ds;
        t.Store().LoadPeriod(ds, tabella, 2013, -1);
        const QString sez = QLatin1String(q);
        for (ds.first(); !ds.eof(); ds.next(), ++righe) {
            const QString chiave = ds.fieldByName(QStringLiteral("S%1CODFIS").arg(sez)).asString().trimmed().toUpper()
                                   + QLatin1Char(' ')
                                   + QString::number(
                                       ds.fieldByName(QStringLiteral("DT_%1XXX002_DFINE").arg(sez)).asDate().year())
                                   + QStringLiteral(" Quadro ") + sez;
            QList<Currency> &s = somme[chiave];
            s.resize(importi.size());
            for (int i = 0; i < importi.size(); ++i)
                s[i] += ZepImportoCampo(ds, QLatin1String(v) + sez + importi.at(i));
            tfr += ZepImportoCampo(ds, QLatin1String(v) + sez + QStringLiteral("XXXA37_IMPTFR"));
        }
    }
    EXPECT_GT(tfr, Currency()) << "the demo's persons are in the TFR scheme";
    QMap<QString, QStringList> attesi;
    for (auto it = somme.cbegin(); it != somme.cend(); ++it)
        for (const Currency &c : it.value())
            attesi[it.key()] << ZepImporto(c);

    // The printed totals, by person and year ("COGNOME NOME - CF - Anno di
    // riferimento 2013") and section ("Quadro E0"); every row's dates whole.
    static const QRegularExpression blocco(QStringLiteral("^\\S.* - ([A-Z0-9]{16}) - Anno di riferimento (\\d{4})$"));
    static const QRegularExpression data(QStringLiteral("\\b\\d{2}/\\d{2}/\\d{4}\\b"));
    QMap<QString, QStringList> stampati;
    QString cf, annoCorrente, quadro;
    static const QRegularExpression stampato(QStringLiteral("Stampato il \\d{2}/\\d{2}/\\d{4}"));
    int date = 0;
    for (const QString &riga : pagine.join(QLatin1Char('\n')).split(QLatin1Char('\n'))) {
        // The day printed, on each page's heading, is not a row's date.
        const QString r = QString(riga).remove(stampato).trimmed();
        if (const auto m = blocco.match(r); m.hasMatch()) {
            cf = m.captured(1);
            annoCorrente = m.captured(2);
        } else if (r == QLatin1String("Quadro E0") || r == QLatin1String("Quadro V1"))
            quadro = r;
        else if (r.startsWith(QLatin1String("Totale ")))
            stampati[cf + QLatin1Char(' ') + annoCorrente + QLatin1Char(' ') + quadro] = importiStampati(r);
        for (auto it = data.globalMatch(r); it.hasNext(); it.next())
            ++date;
    }
    EXPECT_EQ(stampati, attesi);
    EXPECT_EQ(date, 2 * righe);

    // No word of the print broken across the lines of its cell: each word of
    // each heading and cell whole among the page's words.
    TZepRiepilogoDatiCUD cud(t.Store());
    cud.CaricaPersone();
    cud.Scegli({});
    cud.CaricaSezioni();
    const QStringList rotte = paroleRotte(cud.Stampa(), pagine);
    EXPECT_TRUE(rotte.isEmpty()) << rotte.join(QLatin1Char(' ')).toStdString();
}
