#pragma once
// zepDemoDeclaration run as a program on an installation of its own: the
// tool (a hard link, so that it takes the installation's folder as its own),
// the compiled catalogue and code tables of the build, and demo archives made
// by zepDemoArchive. Also the reading of a period's declaration tables once
// the tool has ended (an embedded archive is open in one process at a time)
// and of the prints it wrote into PDF files (poppler's tools).
#include "ZepCParametri.h"
#include "ZepFileSupport.h"
#include "ZepULayouts.h"
#include "QtPrinters.h"
#include "zepCStampa.h"

#include "DataSet.h"
#include "Field.h"
#include "Database.h"
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

namespace demotest {

inline QString buildDir()
{
    return QStringLiteral(ZEP_TEST_BUILD_DIR);
}

// A finished run of a program: status (-1 when it did not end normally, or
// not within ten minutes) and its output, standard error after standard
// output.
struct Esito {
    int codice = -1;
    bool ucciso = false; // ended by a signal
    QString uscita;
    QString errori;
};

inline Esito esegui(const QString &programma, const QStringList &argomenti,
                    const QProcessEnvironment &ambiente = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(ambiente);
    p.start(programma, argomenti);
    Esito e;
    if (!p.waitForFinished(600'000)) {
        p.kill();
        p.waitForFinished();
        e.errori = programma + QStringLiteral(" non è terminato");
        return e;
    }
    e.ucciso = p.exitStatus() == QProcess::CrashExit;
    e.codice = e.ucciso ? -1 : p.exitCode();
    e.uscita = QString::fromUtf8(p.readAllStandardOutput());
    e.errori = QString::fromUtf8(p.readAllStandardError());
    return e;
}

// The declaration tables of a period, read from an archive no other process
// holds.
class Tabelle {
public:
    Tabelle(const QString &archivio, int anno, int mese) : Tabelle(locale(archivio), anno, mese) {}
    // An archive reached with the user and password of `s` (one on a server).
    Tabelle(const platform::ConnectionSettings &s, int anno, int mese)
    {
        m_db = std::make_unique<platform::Database>(s);
        m_db->open();
        TTovDBCdsLayouts::InstallFolders(*m_db, {CartellaLayoutDenunce()});
        m_store.SetConnection(m_db.get());
        m_store.SetProgram(QStringLiteral("zep"));
        m_store.SetYear(anno);
        m_store.SetMonth(mese);
    }
    ~Tabelle() { m_db->close(); }

    void Carica(platform::DataSet &ds, const QString &tabella) { m_store.Load(ds, tabella); }
    // The store of the period (its year, its month).
    TTovDBCds &Store() { return m_store; }

    // The declarant of the year, as the window "Dichiarante" saves it: the
    // file needs one, and the month's import does not write it here.
    void ScriviDichiarante()
    {
        platform::DataSet ds;
        m_store.LoadPeriod(ds, TZepParametri::TabellaDichiarante, m_store.Year(), 0);
        ds.append();
        for (const auto &[campo, valore] : filetest::dichiarante())
            ds.fieldByName(campo).setValue(valore);
        ds.post();
        m_store.SavePeriod(ds, TZepParametri::TabellaDichiarante, m_store.Year(), 0);
    }

    // The employee rows by fiscal code, each as its values joined, the
    // store's own row number and registry id left out; sorted.
    QMap<QString, QStringList> RighePerPersona()
    {
        QMap<QString, QStringList> out;
        platform::DataSet ds;
        Carica(ds, QStringLiteral("TEMD_DIPENDENTI"));
        for (ds.first(); !ds.eof(); ds.next())
            out[ds.fieldByName(QStringLiteral("CFLavoratore")).asString()] << riga(ds);
        for (QStringList &r : out)
            r.sort();
        return out;
    }

    // Every row of a table of the period (the declarant's of the year), each
    // as its values joined, the store's own row number and registry id left
    // out; sorted.
    QStringList Righe(const QString &tabella)
    {
        platform::DataSet ds;
        if (tabella == TZepParametri::TabellaDichiarante)
            m_store.LoadPeriod(ds, tabella, m_store.Year(), 0);
        else
            Carica(ds, tabella);
        QStringList righe;
        for (ds.first(); !ds.eof(); ds.next())
            righe << riga(ds);
        righe.sort();
        return righe;
    }

private:
    // The current record's values joined, without the numbers the store and
    // the imports give (row number, registry id, the public-sector sections'
    // ORDINE), which follow the archive's history rather than the person.
    static QString riga(const platform::DataSet &ds)
    {
        static const QStringList numeri{QStringLiteral("iFisRigo"), QStringLiteral("iAfiID"), QStringLiteral("ORDINE")};
        QStringList valori;
        for (const auto &campo : ds.fields())
            if (!numeri.contains(campo->fieldName(), Qt::CaseInsensitive))
                valori << campo->asString();
        return valori.join(QLatin1Char('|'));
    }
    static platform::ConnectionSettings locale(const QString &archivio)
    {
        platform::ConnectionSettings s;
        s.database = archivio;
        return s;
    }

    std::unique_ptr<platform::Database> m_db;
    TTovDBCds m_store;
};

// The pages of a PDF file, each as laid out (pdftotext -layout), ligatures
// read as their letters; the number of pages is pdfinfo's.
inline QStringList paginePdf(const QString &pdf)
{
    const Esito info = esegui(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info.uscita);
    EXPECT_TRUE(m.hasMatch()) << pdf.toStdString() << " " << info.errori.toStdString();
    QStringList pagine;
    for (int n = 1; m.hasMatch() && n <= m.captured(1).toInt(); ++n) {
        const Esito e = esegui(QStringLiteral("pdftotext"),
                               {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(n),
                                QStringLiteral("-l"), QString::number(n), pdf, QStringLiteral("-")});
        EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
        pagine << e.uscita.normalized(QString::NormalizationForm_KC);
    }
    return pagine;
}

// The amounts of a print's text ("1.234,56", "-12,00"), in order; figures
// without cents (days) and rates ("35,03 %") are not amounts.
inline QStringList importiStampati(const QString &testo)
{
    static const QRegularExpression importo(
        QStringLiteral("(?<![\\d.,])-?\\d{1,3}(?:\\.\\d{3})*,\\d{2}(?![\\d,]| ?%)"));
    QStringList out;
    for (auto it = importo.globalMatch(testo); it.hasNext();)
        out << it.next().captured(0);
    return out;
}

// The words of a print (its titles, labels, values, headings, cells and
// totals) that its pages do not show whole: broken across the lines of a
// cell, or lost. Each word once, in order.
inline QStringList paroleRotte(const TZepStampa &stampa, const QStringList &pagine)
{
    const QStringList parole = pagine.join(QLatin1Char('\n')).split(QRegularExpression(QStringLiteral("\\s+")));
    const QSet<QString> stampate(parole.cbegin(), parole.cend());
    QStringList testi{stampa.titolo, stampa.ufficio, stampa.periodo};
    for (const TZepStampaBlocco &b : stampa.blocchi) {
        testi << b.titolo;
        for (const auto &[etichetta, valore] : b.campi)
            testi << etichetta << valore;
        for (const TZepStampaTabella &t : b.tabelle) {
            testi << t.titolo << t.colonne << t.totali;
            for (const QStringList &r : t.righe)
                testi << r;
        }
    }
    QStringList rotte;
    for (const QString &testo : testi)
        for (const QString &p : testo.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            if (!stampate.contains(p) && !rotte.contains(p))
                rotte << p;
    return rotte;
}

// A print's pages cut into blocks: each from a line that starts with one
// of `inizi` (after its blanks) to the next such line, by that start; the
// lines before the first are left out.
inline QMultiMap<QString, QString> blocchiStampati(const QStringList &pagine, const QStringList &inizi)
{
    QMultiMap<QString, QString> out;
    QString corrente, testo;
    const auto chiudi = [&] {
        if (!corrente.isEmpty())
            out.insert(corrente, testo);
    };
    for (const QString &riga : pagine.join(QLatin1Char('\n')).split(QLatin1Char('\n'))) {
        const QString r = riga.trimmed();
        const auto inizio = std::find_if(inizi.cbegin(), inizi.cend(),
                                         [&](const QString &i) { return r.startsWith(i); });
        if (inizio != inizi.cend()) {
            chiudi();
            corrente = *inizio;
            testo = r.mid(inizio->size());
        } else {
            testo += QLatin1Char('\n') + r;
        }
    }
    chiudi();
    return out;
}

// The declaration print read back against the employee and performing-arts
// rows of its month: every row in a block of its person ("COGNOME NOME -
// CODICE FISCALE", a person with two company numbers twice) with its taxable
// pay and its contribution on the block's page, and the month's taxable pay
// the sum of all the rows after "Totale dipendenti".
inline void controllaDipendentiStampati(const QStringList &pagine, std::initializer_list<platform::DataSet *> tabelle)
{
    platform::Currency totale;
    for (platform::DataSet *ds : tabelle) {
        platform::DataSet &righe = *ds;
        for (righe.first(); !righe.eof(); righe.next()) {
            const QString cf = righe.fieldByName(QStringLiteral("CFLavoratore")).asString();
            const QString titolo = (righe.fieldByName(QStringLiteral("Cognome")).asString().trimmed() + QLatin1Char(' ')
                                    + righe.fieldByName(QStringLiteral("Nome")).asString().trimmed())
                                       .trimmed()
                                   + QStringLiteral(" - ") + cf;
            const QString imponibile = ZepTestoCampo(righe, QStringLiteral("Imponibile"));
            const QString contr = ZepTestoCampo(righe, QStringLiteral("Contributo"));
            bool trovato = false;
            for (const QString &t : pagine)
                for (qsizetype i = t.indexOf(titolo); i >= 0 && !trovato; i = t.indexOf(titolo, i + 1)) {
                    const QString blocco = t.mid(i + titolo.size()).section(QStringLiteral(" - "), 0, 0);
                    trovato = blocco.contains(imponibile) && blocco.contains(contr);
                }
            EXPECT_TRUE(trovato) << titolo.toStdString() << " " << imponibile.toStdString();
            totale = totale + ZepImportoCampo(righe, QStringLiteral("Imponibile"));
        }
    }
    const QString tutto = pagine.join(QLatin1Char('\n'));
    const qsizetype i = tutto.indexOf(QStringLiteral("Totale dipendenti"));
    ASSERT_GE(i, 0);
    EXPECT_TRUE(tutto.mid(i).contains(ZepImporto(totale))) << ZepImporto(totale).toStdString();
}

class Installazione {
public:
    Installazione() : m_root(buildDir() + QStringLiteral("/zepDemoDeclaration-XXXXXX"))
    {
        for (const char *f : {"bin", "etc/wun", "data"})
            QDir().mkpath(path(QLatin1String(f)));
        const QString tool = buildDir() + QStringLiteral("/bin/zepDemoDeclaration");
        if (::link(QFile::encodeName(tool).constData(), QFile::encodeName(programma()).constData()) != 0)
            QFile::copy(tool, programma());
        for (const char *f : {"wun_QueryText.cds", "wun_QueryText.unxc", "wun_Report.xml"})
            QFile::copy(buildDir() + QStringLiteral("/etc/wun/") + QLatin1String(f),
                        path(QStringLiteral("etc/wun/")) + QLatin1String(f));
        // The code tables of both programs, and the earlier program's empty
        // tables of the local-file form.
        for (const char *c : {"USR/UniEmens/Res/Tabelle/", "USR/ZEP/Res/Tabelle/", "USR/ZEP/DbIniziale/"}) {
            const QString cartella = QLatin1String(c);
            QDir().mkpath(path(cartella));
            const QDir origine(buildDir() + QLatin1Char('/') + cartella);
            for (const QString &f : origine.entryList(QDir::Files))
                QFile::copy(origine.filePath(f), path(cartella) + f);
        }
    }

    QString path(const QString &relative) const { return m_root.path() + QLatin1Char('/') + relative; }
    QString programma() const { return path(QStringLiteral("bin/zepDemoDeclaration")); }

    // data/demo.fdb, a demo archive of the months from `da` to `a`
    // ("AAAA-MM"), with the declarant of each of their years (Tabelle)
    // unless told otherwise; the errors when it could not be made.
    QString CreaArchivio(int persone, const QString &da, const QString &a, bool dichiaranti = true) const
    {
        const Esito e = esegui(buildDir() + QStringLiteral("/bin/zepDemoArchive"),
                               {QStringLiteral("--output"), Archivio(), QStringLiteral("--persons"),
                                QString::number(persone), QStringLiteral("--from"), da, QStringLiteral("--to"), a});
        if (e.codice != 0)
            return e.uscita + e.errori;
        for (int anno = da.left(4).toInt(); dichiaranti && anno <= a.left(4).toInt(); ++anno)
            Tabelle(Archivio(), anno, 1).ScriviDichiarante();
        return QString();
    }
    QString Archivio() const { return path(QStringLiteral("data/demo.fdb")); }

    // The month declared into `file` with the options `altre`; no file:
    // imported only.
    Esito Dichiara(const QString &archivio, const QString &periodo, const QString &file,
                   const QProcessEnvironment &ambiente = QProcessEnvironment::systemEnvironment(),
                   const QStringList &altre = {}) const
    {
        QStringList argomenti{QStringLiteral("--archive"), archivio, QStringLiteral("--period"), periodo};
        if (!file.isEmpty())
            argomenti << QStringLiteral("--output") << file;
        return esegui(programma(), argomenti + altre, ambiente);
    }

private:
    QTemporaryDir m_root;
};

} // namespace demotest
