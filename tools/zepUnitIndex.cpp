// zepUnitIndex: the index of the units of the source tree, for newcomers
// (docs/UNITS.md): each unit (a header's name without ".h"), the file, the
// library it is compiled into and the classes it declares. The index is
// made from the tree itself, so that it cannot drift:
//
//   zepUnitIndex SOURCE_DIR            writes the index to the standard output
//   zepUnitIndex SOURCE_DIR --check F  exit status 1, saying so, when F is not
//                                      the index of the tree as it stands
//
// A unit's library follows from its folder (docs/ARCHITECTURE.md, "The
// library graph"); the classes are those declared at the start of a line
// ("class TTovDBCds {", "struct TCdsParameters : ..."), forward
// declarations left out. The document models' classes are generated at
// build time from their binding descriptions and are not listed.
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>

namespace {

// The library of a header, from its path under the source tree.
QString library(const QString &path)
{
    static const QList<std::pair<QString, QString>> folders = {
        {QStringLiteral("declaration/src/UniEmens/Model/"), QStringLiteral("zep_uniemens_model")},
        {QStringLiteral("declaration/src/Emens/Model/"), QStringLiteral("zep_emens_model")},
        {QStringLiteral("declaration/src/XmlBinding/"), QStringLiteral("zep_xml_binding")},
        {QStringLiteral("declaration/src/UniEmens/"), QStringLiteral("zep_uniemens")},
        {QStringLiteral("declaration/src/Emens/"), QStringLiteral("zep_emens")},
        {QStringLiteral("declaration/src/"), QStringLiteral("zep_declaration")},
        {QStringLiteral("declaration/demo/"), QStringLiteral("zep_declaration_demo")},
        {QStringLiteral("payroll/src/"), QStringLiteral("zep_payroll")},
        {QStringLiteral("payroll/demo/"), QStringLiteral("zep_demo_archive")},
        {QStringLiteral("foundation/src/"), QStringLiteral("zep_foundation")},
        {QStringLiteral("platform/src/"), QStringLiteral("zep_platform")},
    };
    for (const auto &[folder, name] : folders)
        if (path.startsWith(folder)) {
            const QString rest = path.mid(folder.size());
            if (rest.startsWith(QLatin1String("ui/")) || rest.contains(QLatin1String("/ui/")))
                return name + QStringLiteral("_ui");
            if (rest.startsWith(QLatin1String("print/")) || rest.contains(QLatin1String("/print/")))
                return name + QStringLiteral("_print");
            return name;
        }
    return QStringLiteral("(tool)");
}

QString index(const QString &root)
{
    static const QRegularExpression declaration(
        QStringLiteral("^(?:class|struct)\\s+(?:\\[\\[\\w+\\]\\]\\s+)?([A-Za-z_]\\w*)\\b(?![^\\n]*;\\s*$)"),
        QRegularExpression::MultilineOption);
    struct Unit {
        QString file, library;
        QStringList classes;
    };
    QMap<QString, Unit> units; // by lower-case name, so that the order ignores case
    for (const char *top :
         {"platform/src", "foundation/src", "payroll/src", "payroll/demo", "declaration/src", "declaration/demo"}) {
        QDirIterator it(QDir(root).filePath(QLatin1String(top)), {QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString relative = QDir(root).relativeFilePath(path);
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            Unit u;
            u.file = relative;
            u.library = library(relative);
            const QString text = QString::fromUtf8(f.readAll());
            for (auto m = declaration.globalMatch(text); m.hasNext();) {
                const QString name = m.next().captured(1);
                if (!u.classes.contains(name))
                    u.classes << name;
            }
            const QString unit = QFileInfo(path).completeBaseName();
            units.insert(unit.toLower() + QLatin1Char(' ') + relative, u);
        }
    }
    QString out;
    QTextStream s(&out);
    s << "# Units\n\n"
         "Every unit of the source tree: its file, the library it is compiled into and\n"
         "the classes it declares (docs/NAMING.md says how the names read). Made by\n"
         "`build/bin/zepUnitIndex .` from the tree; the test `UnitIndex` fails when it\n"
         "is out of date.\n\n"
         "| Unit | File | Library | Classes |\n"
         "|---|---|---|---|\n";
    for (const Unit &u : std::as_const(units)) {
        QStringList named;
        for (const QString &c : u.classes)
            named << QLatin1Char('`') + c + QLatin1Char('`');
        s << "| " << QFileInfo(u.file).completeBaseName() << " | " << u.file << " | " << u.library << " | "
          << named.join(QStringLiteral(", ")) << " |\n";
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args.at(2) == QLatin1String("--check"))) {
        std::fprintf(stderr, "uso: zepUnitIndex SOURCE_DIR [--check FILE]\n");
        return 2;
    }
    const QString made = index(args.at(1));
    if (args.size() == 2) {
        std::fputs(made.toUtf8().constData(), stdout);
        return 0;
    }
    QFile f(args.at(3));
    if (!f.open(QIODevice::ReadOnly) || QString::fromUtf8(f.readAll()) != made) {
        std::fprintf(stderr, "%s is not the index of the tree as it stands: run build/bin/zepUnitIndex %s > %s\n",
                     qPrintable(args.at(3)), qPrintable(args.at(1)), qPrintable(args.at(3)));
        return 1;
    }
    return 0;
}
