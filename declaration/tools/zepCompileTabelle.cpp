// Build step: compiles the code tables' readable sources (the XML form of
// the dataset files) into the binary ".cds" files the programs load, as the
// catalogue is compiled.
//
//     zepCompileTabelle <output folder> <source.xml>...
//
// writes <output folder>/<name>.cds for each source, after checking it: a
// text field "Codice" is the first visible field (the search window writes
// the first visible column into the field it fills), and every row has a
// code of its own. Nothing is written when a source fails.
#include "DataSet.h"
#include "DataSetFile.h"
#include "Exceptions.h"
#include "Field.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cstdio>
#include <memory>
#include <vector>

using platform::DataSet;
using platform::DataSetFile;
using platform::Field;

namespace {

QStringList problemsOf(DataSet &table)
{
    QStringList problems;
    const Field *first = nullptr;
    for (const auto &f : table.fields())
        if (f->isVisible()) {
            first = f.get();
            break;
        }
    if (!first || first->fieldName() != QStringLiteral("Codice") || !platform::isTextFieldType(first->dataType()))
        return {QStringLiteral("il primo campo visibile deve essere il campo di testo \"Codice\"")};
    QSet<QString> codes;
    for (table.first(); !table.eof(); table.next()) {
        const QString code = first->asString();
        if (code.trimmed().isEmpty())
            problems << QStringLiteral("riga %1 senza codice").arg(table.recNo());
        else if (codes.contains(code))
            problems << QStringLiteral("codice ripetuto: %1").arg(code);
        codes.insert(code);
    }
    return problems;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "uso: zepCompileTabelle <cartella di destinazione> <sorgente.xml>...\n");
        return 2;
    }
    try {
        const QString output = args[1];
        if (!QDir().mkpath(output))
            throw platform::Exception(QStringLiteral("Impossibile creare la cartella %1").arg(output));
        std::vector<std::unique_ptr<DataSet>> tables;
        QStringList targets;
        for (const QString &source : args.mid(2)) {
            auto table = std::make_unique<DataSet>(QFileInfo(source).completeBaseName());
            DataSetFile::loadFromFile(*table, source, platform::DataSetFileFormat::Xml);
            const QStringList problems = problemsOf(*table);
            if (!problems.isEmpty())
                throw platform::Exception(source + QStringLiteral(":\n  ") + problems.join(QStringLiteral("\n  ")));
            targets << QDir(output).filePath(table->name() + QStringLiteral(".cds"));
            tables.push_back(std::move(table));
        }
        for (size_t i = 0; i < tables.size(); ++i)
            DataSetFile::saveToFile(*tables[i], targets[int(i)]);
        std::printf("%d tabelle -> %s\n", int(tables.size()), qPrintable(output));
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zepCompileTabelle: %s\n", e.what());
        return 1;
    }
}
