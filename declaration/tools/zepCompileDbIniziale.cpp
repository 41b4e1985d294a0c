// Build step: the empty declaration tables of the earlier program's
// local-file form, "USR/ZEP/DbIniziale/", made from the tables' layouts
// (declaration/layouts/zep, the XML form of the dataset files):
//
//     zepCompileDbIniziale <output folder> <layout.xml>...
//
// writes <output folder>/<NAME>.CDS for each layout, with no rows. A year
// folder is made from these files and older year files are rebuilt on them
// (TZepKax), so each must have the field that rebuild looks for: the row
// files "AnnoMeseDenuncia", the employees "ELIMINA", the collaborators
// "CodiceComune". Nothing is written when a layout fails.
#include "DataSet.h"
#include "DataSetFile.h"
#include "Exceptions.h"
#include "TovUCdsUtil.h"
#include "ZepCKax.h"
#include "ZepULayoutNomi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <memory>
#include <vector>

using platform::DataSet;

namespace {

QStringList campiRichiesti(const QString &file)
{
    if (file.compare(TZepKax::FileDipendenti, Qt::CaseInsensitive) == 0)
        return {layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia, QStringLiteral("ELIMINA")};
    if (file.compare(TZepKax::FileCollaboratori, Qt::CaseInsensitive) == 0)
        return {layouts::TEMC_COLLABORATORI::AnnoMeseDenuncia, layouts::TEMC_COLLABORATORI::CodiceComune};
    if (file.compare(TZepKax::FileDichiarante, Qt::CaseInsensitive) == 0)
        return {};
    throw platform::Exception(
        QStringLiteral("%1: non è una tabella dei file locali (%2, %3, %4)")
            .arg(file, TZepKax::FileDipendenti, TZepKax::FileCollaboratori, TZepKax::FileDichiarante));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "uso: zepCompileDbIniziale <cartella di destinazione> <tracciato.xml>...\n");
        return 2;
    }
    try {
        const QString output = args[1];
        std::vector<std::unique_ptr<DataSet>> tabelle;
        QStringList destinazioni;
        for (const QString &sorgente : args.mid(2)) {
            const QString file = QFileInfo(sorgente).completeBaseName().toUpper() + QStringLiteral(".CDS");
            auto tabella = std::make_unique<DataSet>(QFileInfo(sorgente).completeBaseName());
            platform::DataSetFile::loadFromFile(*tabella, sorgente, platform::DataSetFileFormat::Xml);
            for (const QString &campo : campiRichiesti(file))
                if (!tabella->findField(campo))
                    throw platform::Exception(QStringLiteral("%1: manca il campo \"%2\"").arg(sorgente, campo));
            if (!tabella->isEmpty())
                throw platform::Exception(QStringLiteral("%1: il tracciato ha delle righe").arg(sorgente));
            destinazioni << QDir(output).filePath(file);
            tabelle.push_back(std::move(tabella));
        }
        if (!QDir().mkpath(output))
            throw platform::Exception(QStringLiteral("Impossibile creare la cartella %1").arg(output));
        for (size_t i = 0; i < tabelle.size(); ++i)
            TTovCds::SaveToFile(*tabelle[i], destinazioni[int(i)]);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zepCompileDbIniziale: %s\n", e.what());
        return 1;
    }
    return 0;
}
