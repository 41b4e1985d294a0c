// The main road end to end, as a user takes it, through zepDemoDeclaration
// on a demo archive of 50 persons: a month of 2024 and one of 2022 imported
// and written, each file read back against the declaration tables the import
// left; the months of the 2022 bonuses with every kind of person and
// nothing typed; an import killed in the middle of a person and run again;
// the tool's refusals of wrong options.
#include "ZepCCompletaDemo.h"
#include "ZepDemoDeclarationSupport.h"

#include "DatabaseCreator.h"
#include "ZepDocumentoSupport.h"

#include <QDomDocument>
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
// every element where the binding puts it, the totals the sums of the rows.
void controllaFile(const QString &archivio, int anno, int mese, const QString &file)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    const QByteArray xml = f.readAll();
    documentotest::controllaDocumento(xml);
    QDomDocument dom;
    ASSERT_TRUE(dom.setContent(xml));

    QStringList righe, collaboratori;
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

    righe.sort();
    denunce.sort();
    collaboratori.sort();
    nelFile.sort();
    EXPECT_EQ(denunce, righe);
    EXPECT_EQ(posizioni, matricole);
    EXPECT_EQ(nelFile, collaboratori);
}

} // namespace

TEST(ZepDemoDeclaration, AMonthOf2024AndOneOf2022AreImportedAndWrittenWhole)
{
    Installazione inst;
    const QString archivio = inst.Archivio();
    ASSERT_EQ(inst.CreaArchivio(50, QStringLiteral("2022-11"), QStringLiteral("2024-03")), QString());
    for (const auto &[anno, mese] : {std::pair{2024, 3}, std::pair{2022, 11}}) {
        const QString periodo = QStringLiteral("%1-%2").arg(anno).arg(mese, 2, 10, QLatin1Char('0'));
        SCOPED_TRACE(periodo.toStdString());
        const QString file = inst.path(QStringLiteral("out/uniEMens%1.xml").arg(periodo));
        const Esito e = inst.Dichiara(archivio, periodo, QString());
        // The demo's mother of 2024 is refused: the declaration does not
        // handle her relief ("Esonero IVS madri non gestito.").
        ASSERT_EQ(e.codice, anno == 2024 ? 1 : 0) << e.uscita.toStdString() << e.errori.toStdString();
        const Esito f = esegui(inst.programma(),
                               {QStringLiteral("--archive"), archivio, QStringLiteral("--period"), periodo,
                                QStringLiteral("--output"), file, QStringLiteral("--solo-file")});
        ASSERT_EQ(f.codice, 0) << f.uscita.toStdString() << f.errori.toStdString();
        // A refused person ends the run after "Importa": no later step, no file.
        const bool rifiutata = anno == 2024;
        for (const auto &[passo, atteso] : {std::pair{"Parametri", true}, std::pair{"Importa ", true},
                                            std::pair{"Importa iscritti FPLS", !rifiutata}})
            EXPECT_EQ(e.uscita.contains(QLatin1String(passo)), atteso) << passo << "\n" << e.uscita.toStdString();
        if (rifiutata) {
            EXPECT_TRUE(e.errori.contains(QLatin1String("file telematico non creato"))) << e.errori.toStdString();
        }
        for (const char *passo : {"File telematico", "Totale"})
            EXPECT_TRUE(f.uscita.contains(QLatin1String(passo))) << passo << "\n" << f.uscita.toStdString();
        controllaFile(archivio, anno, mese, file);
    }
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
    // Once opened again (which sweeps what the killed run left), the
    // engine's own validation finds nothing to repair.
    platform::ConnectionSettings s;
    s.database = archivio;
    EXPECT_EQ(platform::DatabaseCreator::validate(s).text(), QString());
    EXPECT_FALSE(dopoArresto.contains(fermato)) << fermato.toStdString() << " kept rows of its rolled back import";
    EXPECT_GE(dopoArresto.size(), 2) << "the persons before the stop are kept";

    // Run again: it opens and completes; who was there before is unchanged.
    const Esito ripreso = inst.Dichiara(archivio, QStringLiteral("2024-03"), file);
    ASSERT_EQ(ripreso.codice, 1) << ripreso.uscita.toStdString() << ripreso.errori.toStdString();
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
