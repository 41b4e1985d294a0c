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
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    Tabelle(const QString &archivio, int anno, int mese)
    {
        platform::ConnectionSettings s;
        s.database = archivio;
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
        for (ds.first(); !ds.eof(); ds.next()) {
            QStringList valori;
            for (const auto &campo : ds.fields())
                if (campo->fieldName() != QStringLiteral("iFisRigo") && campo->fieldName() != QStringLiteral("iAfiID"))
                    valori << campo->asString();
            out[ds.fieldByName(QStringLiteral("CFLavoratore")).asString()] << valori.join(QLatin1Char('|'));
        }
        for (QStringList &r : out)
            r.sort();
        return out;
    }

private:
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

// The declaration print read back against the employee rows of its month:
// every row in a block of its person ("COGNOME NOME - CODICE FISCALE", a
// person with two company numbers twice) with its taxable pay (and, with
// `contributo`, its contribution) on the block's page, and the month's
// taxable pay the sum of the rows after "Totale dipendenti".
inline void controllaDipendentiStampati(const QStringList &pagine, platform::DataSet &righe, bool contributo)
{
    platform::Currency totale;
    for (righe.first(); !righe.eof(); righe.next()) {
        const QString cf = righe.fieldByName(QStringLiteral("CFLavoratore")).asString();
        const QString titolo = (righe.fieldByName(QStringLiteral("Cognome")).asString().trimmed() + QLatin1Char(' ')
                                + righe.fieldByName(QStringLiteral("Nome")).asString().trimmed())
                                   .trimmed()
                               + QStringLiteral(" - ") + cf;
        const QString imponibile = ZepTestoCampo(righe, QStringLiteral("Imponibile"));
        const QString contr = contributo ? ZepTestoCampo(righe, QStringLiteral("Contributo")) : QString();
        bool trovato = false;
        for (const QString &t : pagine)
            for (qsizetype i = t.indexOf(titolo); i >= 0 && !trovato; i = t.indexOf(titolo, i + 1)) {
                const QString blocco = t.mid(i + titolo.size()).section(QStringLiteral(" - "), 0, 0);
                trovato = blocco.contains(imponibile) && blocco.contains(contr);
            }
        EXPECT_TRUE(trovato) << titolo.toStdString() << " " << imponibile.toStdString();
        totale = totale + ZepImportoCampo(righe, QStringLiteral("Imponibile"));
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
