// The main road end to end, as a user takes it, through zepDemoDeclaration
// on a demo archive of 50 persons: a month of 2024 with every import,
// written, read back against the declaration tables the imports left and
// printed (the declaration and the lists, read back from the PDF files);
// a month chosen after another, its lists without the persons of the other
// and no word of its four prints broken;
// the months of the 2022 bonuses with every kind of person and nothing
// typed; an import killed in the middle of a person and run again; the
// tool's refusals of wrong options.
#include "ZepCCompletaDemo.h"
#include "ZepCDma.h"
#include "ZepDemoDeclarationSupport.h"

#include "DatabaseCreator.h"
#include "ZepDocumentoSupport.h"

#include "ZepCReportPubblico.h"
#include "ZepCRiepilogoDatiCUD.h"
#include "ZepUUtil.h"
#include "zepCRepBase.h"
#include "zepCReport.h"

#include <QDomDocument>
#include <QRegularExpression>
#include <QSet>

using namespace demotest;

namespace {

// An amount of the file ("1234.50", "-0.01") in cents.
qint64 centesimi(const QString &testo)
{
    const bool negativo = testo.startsWith(QLatin1Char('-'));
    const QStringList parti = testo.mid(negativo ? 1 : 0).split(QLatin1Char('.'));
    const qint64 c = parti.value(0).toLongLong() * 100 + parti.value(1).leftJustified(2, QLatin1Char('0')).toLongLong();
    return negativo ? -c : c;
}

// Whole euros, half away from zero.
qint64 euro(qint64 centesimi)
{
    return centesimi >= 0 ? (centesimi + 50) / 100 : -((-centesimi + 50) / 100);
}

// The cents of every element `nome` under `e`.
qint64 somma(const QDomElement &e, const QString &nome)
{
    qint64 s = 0;
    const QDomNodeList n = e.elementsByTagName(nome);
    for (int i = 0; i < n.count(); ++i)
        s += centesimi(n.at(i).toElement().text());
    return s;
}

QList<QDomElement> figli(const QDomElement &e, const QString &nome)
{
    QList<QDomElement> out;
    for (QDomElement c = e.firstChildElement(nome); !c.isNull(); c = c.nextSiblingElement(nome))
        out << c;
    return out;
}

QString testo(const QDomElement &e, const QString &nome)
{
    return e.firstChildElement(nome).text();
}

// The file of a period checked against the tables the import left: one
// individual declaration per employee and performing-arts row under its
// company number, one company declaration per number, the collaborators,
// the public-sector persons each with its periods, every element where the
// binding puts it, the totals the sums of the rows.
void controllaFile(const QString &archivio, int anno, int mese, const QString &file)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    const QByteArray xml = f.readAll();
    documentotest::controllaDocumento(xml);
    QDomDocument dom;
    ASSERT_TRUE(dom.setContent(xml));

    QStringList righe, collaboratori, pubblici;
    QSet<QString> matricole;
    {
        Tabelle t(archivio, anno, mese);
        for (const char *tabella : {"TEMD_DIPENDENTI", "TEFE_FPLSEXENPALS"}) {
            platform::DataSet ds;
            t.Carica(ds, QLatin1String(tabella));
            for (ds.first(); !ds.eof(); ds.next()) {
                const QString m = ds.fieldByName(QStringLiteral("Matricola")).asString();
                righe << m + QLatin1Char('/') + ds.fieldByName(QStringLiteral("CFLavoratore")).asString();
                matricole << m;
            }
        }
        platform::DataSet coll;
        t.Carica(coll, QStringLiteral("TEMC_COLLABORATORI"));
        for (coll.first(); !coll.eof(); coll.next())
            collaboratori << coll.fieldByName(QStringLiteral("CFCollaboratore")).asString();
        platform::DataSet d0;
        t.Carica(d0, TZepDma::TabellaD0);
        for (d0.first(); !d0.eof(); d0.next())
            pubblici << d0.fieldByName(TZepDma::CampoCodiceFiscale).asString();
    }
    EXPECT_GT(righe.size(), 20) << "the demo month has employees";

    QStringList denunce, nelFile;
    QSet<QString> posizioni;
    const QDomElement azienda = dom.documentElement().firstChildElement(QStringLiteral("Azienda"));
    for (const QDomElement &pos : figli(azienda, QStringLiteral("PosContributiva"))) {
        const QString m = testo(pos, QStringLiteral("Matricola"));
        EXPECT_FALSE(posizioni.contains(m)) << "two positions " << m.toStdString();
        posizioni << m;
        const QList<QDomElement> individuali = figli(pos, QStringLiteral("DenunciaIndividuale"));
        qint64 debito = 0, credito = 0;
        int lavoratori = 0;
        for (const QDomElement &d : individuali) {
            denunce << m + QLatin1Char('/') + testo(d, QStringLiteral("CFLavoratore"));
            if (d.attribute(QStringLiteral("Elimina")) == QStringLiteral("S"))
                continue;
            ++lavoratori;
            for (const char *nome : {"Contributo", "ContribAggCorrente", "ContrEccMassSpet", "ContrSolidarietaSpet"})
                debito += somma(d, QLatin1String(nome));
            credito += somma(d, QStringLiteral("ImportoAnnoMeseRif"));
        }
        const QList<QDomElement> aziendali = figli(pos, QStringLiteral("DenunciaAziendale"));
        ASSERT_EQ(aziendali.size(), 1) << m.toStdString();
        const QDomElement az = aziendali.first();
        const QDomElement quadratura = az.firstChildElement(QStringLiteral("DatiQuadraturaRetrContr"));
        SCOPED_TRACE(m.toStdString());
        EXPECT_EQ(testo(az, QStringLiteral("NumLavoratori")).toInt(), lavoratori);
        EXPECT_EQ(testo(quadratura, QStringLiteral("NumDenIndiv")).toInt(), lavoratori);
        EXPECT_EQ(testo(quadratura, QStringLiteral("TotaleADebito")).toLongLong(), euro(debito));
        EXPECT_EQ(testo(quadratura, QStringLiteral("TotaleACredito")).toLongLong(),
                  euro(credito) + euro(somma(az, QStringLiteral("SommaACredito"))));
    }
    for (const QDomElement &c :
         figli(azienda.firstChildElement(QStringLiteral("ListaCollaboratori")), QStringLiteral("Collaboratore")))
        nelFile << testo(c, QStringLiteral("CFCollaboratore"));
    QStringList pubbliciNelFile;
    for (const QDomElement &pos :
         figli(azienda.firstChildElement(QStringLiteral("ListaPosPA")), QStringLiteral("PosPA")))
        for (const QDomElement &d0 : figli(pos, QStringLiteral("D0_DenunciaIndividuale"))) {
            pubbliciNelFile << testo(d0, QStringLiteral("CFLavoratore"));
            EXPECT_FALSE(figli(d0, QStringLiteral("E0_PeriodoNelMese")).isEmpty())
                << pubbliciNelFile.last().toStdString();
        }

    righe.sort();
    denunce.sort();
    collaboratori.sort();
    nelFile.sort();
    pubblici.sort();
    pubbliciNelFile.sort();
    EXPECT_EQ(denunce, righe);
    EXPECT_EQ(posizioni, matricole);
    EXPECT_EQ(nelFile, collaboratori);
    EXPECT_EQ(pubbliciNelFile, pubblici);
}

} // namespace

// A month of 2024 with every import: "Importa" refuses the demo's mother
// (the declaration does not handle her relief, "Esonero IVS madri non
// gestito."), named and left out of the file while the other imports take
// their persons all the same; the file of the rows imported is then written
// again and the month printed: the declaration (every employee with its figures,
// the collaborators, the public-sector persons) and the two lists.
TEST(ZepDemoDeclaration, AMonthOf2024WithEveryImportIsWrittenAndPrintedWhole)
{
    Installazione inst;
    const QString archivio = inst.Archivio();
    ASSERT_EQ(inst.CreaArchivio(50, QStringLiteral("2024-03"), QStringLiteral("2024-03")), QString());
    const QString periodo = QStringLiteral("2024-03");
    const QString file = inst.path(QStringLiteral("out/uniEMens%1.xml").arg(periodo));
    const QStringList tutte{QStringLiteral("--ex-dma"), QStringLiteral("--completa-demo")};
    const Esito e = inst.Dichiara(archivio, periodo, file, QProcessEnvironment::systemEnvironment(),
                                  tutte + QStringList{QStringLiteral("--iscritti-fpls")});
    ASSERT_EQ(e.codice, 0) << e.uscita.toStdString() << e.errori.toStdString();
    EXPECT_TRUE(e.errori.contains(QLatin1String("Esonero IVS madri non gestito."))) << e.errori.toStdString();
    EXPECT_TRUE(e.errori.contains(QLatin1String("persone rifiutate per i loro dati"))) << e.errori.toStdString();
    EXPECT_TRUE(QFile::exists(file));
    // Each import took persons of its own.
    for (const char *passo : {"Importa ", "Importa iscritti FPLS", "Importa (ex Dma)"})
        EXPECT_TRUE(e.uscita.contains(
            QRegularExpression(QRegularExpression::escape(QLatin1String(passo)) + QStringLiteral("\\s+[1-9]"))))
            << passo << "\n"
            << e.uscita.toStdString();

    const QString denuncia = inst.path(QStringLiteral("out/denuncia.pdf"));
    const QString dipendenti = inst.path(QStringLiteral("out/dipendenti.pdf"));
    const QString collaboratori = inst.path(QStringLiteral("out/collaboratori.pdf"));
    const Esito f = inst.Dichiara(archivio, periodo, file, QProcessEnvironment::systemEnvironment(),
                                  tutte
                                      + QStringList{QStringLiteral("--solo-file"), QStringLiteral("--stampa-pdf"),
                                                    denuncia, QStringLiteral("--stampa-dipendenti"), dipendenti,
                                                    QStringLiteral("--stampa-collaboratori"), collaboratori});
    ASSERT_EQ(f.codice, 0) << f.uscita.toStdString() << f.errori.toStdString();
    controllaFile(archivio, 2024, 3, file);

    platform::DataSet dip, fpls, coll, d0;
    {
        Tabelle t(archivio, 2024, 3);
        t.Carica(dip, QStringLiteral("TEMD_DIPENDENTI"));
        t.Carica(fpls, QStringLiteral("TEFE_FPLSEXENPALS"));
        t.Carica(coll, QStringLiteral("TEMC_COLLABORATORI"));
        t.Carica(d0, TZepDma::TabellaD0);
    }
    // Every kind of person of the month.
    EXPECT_GT(dip.recordCount(), 10);
    EXPECT_GT(fpls.recordCount(), 0);
    EXPECT_GT(coll.recordCount(), 0);
    EXPECT_GE(d0.recordCount(), 4);

    // The declaration: its pages as the run counts them, each with its
    // heading and number; every employee and performing-arts worker with its
    // figures and the month's total; the collaborators; the public-sector persons in their section.
    const QStringList pagine = paginePdf(denuncia);
    const int n = int(pagine.size());
    ASSERT_GT(n, 0);
    EXPECT_TRUE(f.uscita.contains(QRegularExpression(QStringLiteral("Stampa Denuncia\\s+%1 pagine").arg(n))))
        << f.uscita.toStdString();
    EXPECT_TRUE(pagine.first().contains(QStringLiteral("Dichiarante")));
    for (int p = 0; p < n; ++p) {
        EXPECT_TRUE(pagine.at(p).contains(TZepReport::TitoloStampa)) << p + 1;
        EXPECT_TRUE(pagine.at(p).contains(QStringLiteral("marzo 2024"))) << p + 1;
        EXPECT_TRUE(pagine.at(p).contains(QStringLiteral("Pagina %1 di %2").arg(p + 1).arg(n))) << p + 1;
    }
    controllaDipendentiStampati(pagine, {&dip, &fpls});
    const QString tutto = pagine.join(QLatin1Char('\n'));
    for (coll.first(); !coll.eof(); coll.next())
        EXPECT_TRUE(tutto.contains(coll.fieldByName(QStringLiteral("CFCollaboratore")).asString()));
    const QString pubblico = tutto.mid(tutto.indexOf(QStringLiteral("Iscritti ex DMA (INPDAP)")));
    for (d0.first(); !d0.eof(); d0.next())
        EXPECT_TRUE(pubblico.contains(QStringLiteral(" - ") + d0.fieldByName(TZepDma::CampoCodiceFiscale).asString()))
            << d0.fieldByName(TZepDma::CampoCodiceFiscale).asString().toStdString();

    // The lists: every employee and collaborator of the month.
    const QStringList elenco = paginePdf(dipendenti);
    ASSERT_FALSE(elenco.isEmpty());
    EXPECT_TRUE(elenco.first().contains(QStringLiteral("marzo 2024")));
    const QString tuttiDip = elenco.join(QLatin1Char('\n'));
    for (dip.first(); !dip.eof(); dip.next())
        EXPECT_TRUE(tuttiDip.contains(dip.fieldByName(QStringLiteral("CFLavoratore")).asString()));
    const QString tuttiColl = paginePdf(collaboratori).join(QLatin1Char('\n'));
    for (coll.first(); !coll.eof(); coll.next())
        EXPECT_TRUE(tuttiColl.contains(coll.fieldByName(QStringLiteral("CFCollaboratore")).asString()));
}

// February after January: the lists of the month ("Mese:" February) print
// the persons with rows in it only, each with its rows, not those of
// January alone; the collaborators' reliefs are in the declaration; no
// word, date or figure of the four prints (the declaration, the two lists,
// the CUD summary) is broken across lines or lost.
TEST(ZepDemoDeclaration, AChosenMonthListsOnlyItsPersonsAndNoPrintBreaksAWord)
{
    Installazione inst;
    const QString archivio = inst.Archivio();
    ASSERT_EQ(inst.CreaArchivio(50, QStringLiteral("2025-01"), QStringLiteral("2025-02")), QString());
    const QString denuncia = inst.path(QStringLiteral("out/denuncia.pdf"));
    const QString dipendenti = inst.path(QStringLiteral("out/dipendenti.pdf"));
    const QString collaboratori = inst.path(QStringLiteral("out/collaboratori.pdf"));
    const QString cud = inst.path(QStringLiteral("out/cud.pdf"));
    for (const QString &periodo : {QStringLiteral("2025-01"), QStringLiteral("2025-02")}) {
        QStringList opzioni{QStringLiteral("--ex-dma"), QStringLiteral("--completa-demo")};
        if (periodo.endsWith(QLatin1String("02")))
            opzioni << QStringLiteral("--stampa-pdf") << denuncia << QStringLiteral("--stampa-dipendenti") << dipendenti
                    << QStringLiteral("--stampa-collaboratori") << collaboratori << QStringLiteral("--stampa-cud")
                    << cud;
        const Esito e = inst.Dichiara(archivio, periodo, QString(), QProcessEnvironment::systemEnvironment(), opzioni);
        ASSERT_EQ(e.codice, 0) << e.uscita.toStdString() << e.errori.toStdString();
    }

    Tabelle t(archivio, 2025, 2);
    // "COGNOME NOME - CF" of the rows of the table of a month (-1: the year).
    const auto titoli = [&t](const QString &tabella, const QString &campoCF, int mese) {
        platform::DataSet ds;
        t.Store().LoadPeriod(ds, tabella, 2025, mese);
        QStringList out;
        for (ds.first(); !ds.eof(); ds.next())
            out << (ds.fieldByName(QStringLiteral("Cognome")).asString().trimmed() + QLatin1Char(' ')
                    + ds.fieldByName(QStringLiteral("Nome")).asString().trimmed())
                           .trimmed()
                       + QStringLiteral(" - ") + ds.fieldByName(campoCF).asString().trimmed();
        out.removeDuplicates();
        out.sort();
        return out;
    };
    static const QRegularExpression rigaDiFebbraio(QStringLiteral("^2025-02 "), QRegularExpression::MultilineOption);
    for (const auto &[tabella, campoCF, pdf] :
         {std::tuple{QStringLiteral("TEMD_DIPENDENTI"), QStringLiteral("CFLavoratore"), dipendenti},
          std::tuple{QStringLiteral("TEMC_COLLABORATORI"), QStringLiteral("CFCollaboratore"), collaboratori}}) {
        SCOPED_TRACE(tabella.toStdString());
        const QStringList mese = titoli(tabella, campoCF, 2), anno = titoli(tabella, campoCF, -1);
        if (tabella == QLatin1String("TEMD_DIPENDENTI")) {
            EXPECT_GT(anno.size(), mese.size()) << "employees of January only";
        }
        QStringList stampati;
        const QString matricola = QStringLiteral("Matricola INPS ");
        const QMultiMap<QString, QString> blocchi = blocchiStampati(paginePdf(pdf), anno + QStringList{matricola});
        for (auto it = blocchi.cbegin(); it != blocchi.cend(); ++it)
            if (it.key() != matricola) {
                stampati << it.key();
                EXPECT_TRUE(it.value().contains(rigaDiFebbraio)) << it.key().toStdString();
                EXPECT_FALSE(it.value().contains(QStringLiteral("2025-01"))) << it.key().toStdString();
            }
        stampati.removeDuplicates();
        stampati.sort();
        EXPECT_EQ(stampati, mese);
    }

    // The reliefs, with their type, on their collaborators' lines.
    const QStringList pagine = paginePdf(denuncia);
    const QStringList righe = pagine.join(QLatin1Char('\n')).split(QLatin1Char('\n'));
    platform::DataSet coll;
    t.Carica(coll, QStringLiteral("TEMC_COLLABORATORI"));
    int agevolazioni = 0;
    for (coll.first(); !coll.eof(); coll.next()) {
        const QString cf = coll.fieldByName(QStringLiteral("CFCollaboratore")).asString();
        const auto riga = std::find_if(righe.cbegin(), righe.cend(), [&](const QString &r) { return r.contains(cf); });
        ASSERT_NE(riga, righe.cend()) << cf.toStdString();
        const platform::Currency agevolazione = ZepImportoCampo(coll, QStringLiteral("ImpAgevolazione"));
        agevolazioni += agevolazione.isZero() ? 0 : 1;
        EXPECT_TRUE(riga->simplified().endsWith(
            agevolazione.isZero() ? QStringLiteral(" 0,00")
                                  : ZepImporto(agevolazione) + QLatin1Char(' ')
                                        + coll.fieldByName(QStringLiteral("TipoAgevolazione")).asString()))
            << riga->toStdString();
    }
    EXPECT_GT(agevolazioni, 0) << "the demo's collaborators with a relief";

    // Every word of each print whole among its pages' words; the prints
    // made again here, in the tool's working period.
    struct Periodo {
        const QString anno = AnnoDenuncia, mese = MeseDenuncia;
        Periodo() { SetPeriodoDenuncia(QStringLiteral("2025"), QStringLiteral("02")); }
        ~Periodo() { SetPeriodoDenuncia(anno, mese); }
    } periodoDelloStrumento;
    TZepReport report(t.Store(), TZepDenuncia::UniEmens, std::make_unique<TZepReportPubblico>());
    report.Carica(inst.path(QStringLiteral("USR/UniEmens/Res/TEAM_ANNOMESE.cds")));
    const TZepStampa stampaDenuncia = report.Stampa();
    report.Chiudi();
    TzepRepDip dip(t.Store(), TZepDenuncia::UniEmens);
    TzepRepColl rep(t.Store(), TZepDenuncia::UniEmens);
    for (TzepRepBase *r : {static_cast<TzepRepBase *>(&dip), static_cast<TzepRepBase *>(&rep)}) {
        r->Carica();
        r->Mese = 2;
        r->Scegli({});
    }
    TZepRiepilogoDatiCUD riepilogo(t.Store());
    riepilogo.CaricaPersone();
    riepilogo.Scegli({});
    riepilogo.CaricaSezioni();
    for (const auto &[stampa, pdf] : {std::pair{stampaDenuncia, denuncia}, std::pair{dip.Stampa(), dipendenti},
                                      std::pair{rep.Stampa(), collaboratori}, std::pair{riepilogo.Stampa(), cud}})
        EXPECT_EQ(paroleRotte(stampa, paginePdf(pdf)), QStringList()) << pdf.toStdString();
}

// The months of the 2022 bonuses with every kind of person, on an archive
// no declarant was typed into: the run completes what the imports leave to
// the user (the declarant's sender and office, the performing-arts
// workers' days) and writes the file, July's bonus (L031) without a base,
// November's (L033) with its base.
TEST(ZepDemoDeclaration, TheMonthsOfThe2022BonusesAreWrittenWithNothingTyped)
{
    Installazione inst;
    const QString archivio = inst.Archivio();
    ASSERT_EQ(inst.CreaArchivio(50, QStringLiteral("2022-07"), QStringLiteral("2022-11"), false), QString());
    for (const auto &[mese, causale] : {std::pair{7, "L031"}, std::pair{11, "L033"}}) {
        const QString periodo = QStringLiteral("2022-%1").arg(mese, 2, 10, QLatin1Char('0'));
        SCOPED_TRACE(periodo.toStdString());
        const QString file = inst.path(QStringLiteral("out/uniEMens%1.xml").arg(periodo));
        const Esito e = inst.Dichiara(archivio, periodo, file, QProcessEnvironment::systemEnvironment(),
                                      {QStringLiteral("--iscritti-fpls"), QStringLiteral("--completa-demo")});
        ASSERT_EQ(e.codice, 0) << e.uscita.toStdString() << e.errori.toStdString();
        EXPECT_TRUE(e.uscita.contains(QLatin1String("Completa demo"))) << e.uscita.toStdString();
        controllaFile(archivio, 2022, mese, file);

        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QDomDocument dom;
        ASSERT_TRUE(dom.setContent(f.readAll()));
        const QDomElement mittente = dom.documentElement().firstChildElement(QStringLiteral("DatiMittente"));
        EXPECT_EQ(testo(mittente, QStringLiteral("CFPersonaMittente")), TZepCompletaDemo::CFPersonaMittente());
        EXPECT_EQ(testo(mittente, QStringLiteral("SedeINPS")), TZepCompletaDemo::SedeINPS);
        const QDomNodeList cause = dom.elementsByTagName(QStringLiteral("InfoAggCausaliContrib"));
        ASSERT_GT(cause.count(), 0) << "the demo's bonuses";
        for (int i = 0; i < cause.count(); ++i) {
            const QDomElement c = cause.at(i).toElement();
            EXPECT_EQ(testo(c, QStringLiteral("CodiceCausale")), QLatin1String(causale));
            EXPECT_EQ(c.firstChildElement(QStringLiteral("BaseRif")).isNull(), mese == 7);
        }
        int giorniFpls = 0;
        const QDomNodeList denunce = dom.elementsByTagName(QStringLiteral("DenunciaIndividuale"));
        for (int i = 0; i < denunce.count(); ++i)
            if (testo(denunce.at(i).toElement(), QStringLiteral("Qualifica1")) == QStringLiteral("S"))
                giorniFpls += denunce.at(i).toElement().elementsByTagName(QStringLiteral("TipoCoperturaGiorn")).count();
        EXPECT_GT(giorniFpls, 0) << "the performing-arts workers' days, completed from their paid days";
        EXPECT_GT(dom.elementsByTagName(QStringLiteral("Collaboratore")).count(), 0);
    }
}

TEST(ZepDemoDeclaration, AnImportKilledInAPersonLeavesEveryPersonWholeOrAbsent)
{
    Installazione inst;
    const QString archivio = inst.Archivio();
    ASSERT_EQ(inst.CreaArchivio(12, QStringLiteral("2024-03"), QStringLiteral("2024-03")), QString());
    const QString file; // imported only

    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("ZEP_ARRESTO_PERSONA"), QStringLiteral("4"));
    const Esito ucciso = inst.Dichiara(archivio, QStringLiteral("2024-03"), file, ambiente);
    ASSERT_TRUE(ucciso.ucciso) << ucciso.uscita.toStdString() << ucciso.errori.toStdString();
    const QString prefisso = QStringLiteral("Arresto simulato: ");
    const int da = ucciso.errori.indexOf(prefisso);
    ASSERT_GE(da, 0) << ucciso.errori.toStdString();
    const QString fermato = ucciso.errori.mid(da + prefisso.size()).section(QLatin1Char('\n'), 0, 0).trimmed();

    const QMap<QString, QStringList> dopoArresto = Tabelle(archivio, 2024, 3).RighePerPersona();
    // Once opened again (which mends what the killed run left), the
    // engine's own validation finds nothing to repair.
    platform::ConnectionSettings s;
    s.database = archivio;
    EXPECT_EQ(platform::DatabaseCreator::validate(s).text(), QString());
    EXPECT_FALSE(dopoArresto.contains(fermato)) << fermato.toStdString() << " kept rows of its rolled back import";
    EXPECT_GE(dopoArresto.size(), 2) << "the persons before the stop are kept";

    // Run again: it opens and completes; who was there before is unchanged.
    const Esito ripreso = inst.Dichiara(archivio, QStringLiteral("2024-03"), file);
    ASSERT_EQ(ripreso.codice, 0) << ripreso.uscita.toStdString() << ripreso.errori.toStdString();
    const QMap<QString, QStringList> completo = Tabelle(archivio, 2024, 3).RighePerPersona();
    EXPECT_TRUE(completo.contains(fermato));
    for (auto it = dopoArresto.begin(); it != dopoArresto.end(); ++it)
        EXPECT_EQ(it.value(), completo.value(it.key())) << it.key().toStdString();
}

TEST(ZepDemoDeclaration, WrongOptionsAreRefusedInItalian)
{
    Installazione inst;
    const QString nessuno = inst.path(QStringLiteral("data/nessuno.fdb"));
    const QString file = inst.path(QStringLiteral("out/x.xml"));
    struct Caso {
        QStringList argomenti;
        int codice;
        const char *messaggio;
    };
    const Caso casi[] = {
        {{"--archive", nessuno, "--period", "2024-13", "--output", file}, 2, "Periodo non valido: \"2024-13\""},
        {{"--archive", nessuno, "--period", "2024-03", "--output", file}, 2, "Archivio paghe inesistente: "},
        {{"--period", "2024-03", "--output", file}, 2, "Indicare l'archivio paghe con --archive FILE"},
    };
    for (const Caso &c : casi) {
        const Esito e = esegui(inst.programma(), c.argomenti);
        EXPECT_EQ(e.codice, c.codice) << c.messaggio;
        EXPECT_TRUE(e.errori.contains(QString::fromUtf8(c.messaggio))) << e.errori.toStdString();
    }
    EXPECT_FALSE(QFile::exists(nessuno));
}
