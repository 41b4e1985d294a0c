// Build step: compiles the catalogue's XML source into the binary catalogue
// and its certificate, as the programs find them beside their folder.
//
//     zepCompileQueries <source.xml> <output folder>
//
// writes <output folder>/<name>.cds and <name>.unxc through
// TTovQueryText::CompileQueries, after checking the rows: every (Query,
// Tipo, Indice) once, statement names in upper case (AssignSQL upper-cases
// the name it is given), no statement without text. The outputs are
// replaced only when everything succeeded.
#include "TovUCdsUtil.h"
#include "TovUCert.h"
#include "tovCQueryText.h"

#include "Exceptions.h"
#include "Field.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

QStringList checkRows(TTovQueryText &catalogue)
{
    QStringList problems;
    QSet<QString> keys;
    for (const auto &field :
         {QStringLiteral("Query"), QStringLiteral("Tipo"), QStringLiteral("Indice"), QStringLiteral("SQL")})
        if (!catalogue.findField(field))
            problems << QStringLiteral("campo mancante: %1").arg(field);
    if (!problems.isEmpty())
        return problems;

    for (catalogue.first(); !catalogue.eof(); catalogue.next()) {
        const QString name = catalogue.fieldByName(QStringLiteral("Query")).asString();
        const QString kind = catalogue.fieldByName(QStringLiteral("Tipo")).asString();
        const int index = catalogue.fieldByName(QStringLiteral("Indice")).asInteger();
        const QString sql = catalogue.fieldByName(QStringLiteral("SQL")).asString();
        const QString key = QStringLiteral("%1 %2 %3").arg(name, kind).arg(index);
        if (keys.contains(key))
            problems << QStringLiteral("riga doppia: %1").arg(key);
        keys.insert(key);
        if (name != name.toUpper())
            problems << QStringLiteral("nome non maiuscolo: %1").arg(name);
        if (!name.startsWith(QStringLiteral("VER_")) && sql.trimmed().isEmpty())
            problems << QStringLiteral("istruzione vuota: %1").arg(key);
    }
    return problems;
}

int run(const QString &source, const QString &outputFolder)
{
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isFile())
        throw platform::Exception(QStringLiteral("Sorgente del catalogo non trovato: %1").arg(source));
    if (!QDir().mkpath(outputFolder))
        throw platform::Exception(QStringLiteral("Impossibile creare la cartella %1").arg(outputFolder));

    // CompileQueries writes beside its source and only over an existing,
    // writable target: work on a copy in a scratch folder of the output.
    QTemporaryDir work(QDir(outputFolder).filePath(QStringLiteral(".compile-XXXXXX")));
    if (!work.isValid())
        throw platform::Exception(QStringLiteral("Impossibile creare una cartella di lavoro in %1").arg(outputFolder));
    const QString base = sourceInfo.completeBaseName();
    const QString xml = work.filePath(base + QStringLiteral(".xml"));
    const QString cds = work.filePath(base + QStringLiteral(".cds"));
    const QString unxc = work.filePath(base + QStringLiteral(".unxc"));
    if (!QFile::copy(source, xml))
        throw platform::Exception(QStringLiteral("Impossibile copiare %1").arg(source));
    QFile target(cds);
    if (!target.open(QIODevice::WriteOnly))
        throw platform::Exception(QStringLiteral("Impossibile creare %1").arg(cds));
    target.close();

    TTovQueryText catalogue;
    catalogue.CompileQueries(xml);
    const QStringList problems = checkRows(catalogue);
    if (!problems.isEmpty())
        throw platform::Exception(source + QStringLiteral(":\n  ") + problems.join(QStringLiteral("\n  ")));

    // The compiled file must load back and match its certificate.
    TTovQueryText check;
    check.SetCheckCertificate(true);
    check.LoadQueries(cds);
    if (check.recordCount() != catalogue.recordCount()
        || TTovCert::ReadTextFile(unxc) != TTovCert::FileCertificate(cds) + QStringLiteral("\r\n"))
        throw platform::Exception(QStringLiteral("Il catalogo compilato non corrisponde al sorgente"));

    for (const QString &file : {cds, unxc}) {
        const QString dest = QDir(outputFolder).filePath(QFileInfo(file).fileName());
        if (std::rename(QFile::encodeName(file).constData(), QFile::encodeName(dest).constData()) != 0)
            throw platform::Exception(QStringLiteral("Impossibile scrivere %1").arg(dest));
    }
    std::printf("%s: %d righe -> %s\n", qPrintable(source), int(catalogue.recordCount()), qPrintable(outputFolder));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "uso: zepCompileQueries <sorgente.xml> <cartella di destinazione>\n");
        return 2;
    }
    try {
        return run(args[1], args[2]);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zepCompileQueries: %s\n", e.what());
        return 1;
    }
}
