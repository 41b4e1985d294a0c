#include "ZepCCdsLocale.h"

#include "Exceptions.h"
#include "Field.h"
#include "Paths.h"
#include "TovUCdsUtil.h"
#include "ZepCTabellaDenuncia.h"

#include <QDir>
#include <utility>

using platform::DataSet;
using platform::ValueList;

TZepCdsLocale::TZepCdsLocale(QString cartellaBase, QString prefissoCartellaAnno)
    : m_base(std::move(cartellaBase)), m_prefisso(std::move(prefissoCartellaAnno))
{
}

QString TZepCdsLocale::FileTabella(const QString &name, int year) const
{
    return platform::findPath(m_base,
                              m_prefisso + QString::number(year) + QLatin1Char('/') + name + QStringLiteral(".CDS"));
}

QString TZepCdsLocale::Periodo(const DataSet &file, int year, int month)
{
    if (month < 1 || !file.findField(TZepTabellaDenuncia::CampoPeriodo))
        return {};
    return QStringLiteral("%1-%2").arg(year).arg(month, 2, 10, QLatin1Char('0'));
}

void TZepCdsLocale::CaricaFile(DataSet &file, const QString &name, int year) const
{
    const QString percorso = FileTabella(name, year);
    if (!TTovCds::FileExists(percorso))
        throw EUqError(QStringLiteral("Impossibile trovare il file della tabella %1: %2")
                           .arg(name, QDir::toNativeSeparators(percorso)));
    TTovCds::LoadFromFile(file, percorso);
}

void TZepCdsLocale::LoadPeriod(DataSet &dataSet, const QString &name, int year, int month)
{
    DataSet file;
    CaricaFile(file, name, year);
    const QString periodo = Periodo(file, year, month);
    QList<ValueList> righe = file.records();
    if (!periodo.isEmpty()) {
        const int campo = file.fieldByName(TZepTabellaDenuncia::CampoPeriodo).index();
        righe.removeIf(
            [&](const ValueList &r) { return r.value(campo).isEmpty() || r.value(campo).toString() != periodo; });
    }
    dataSet.loadRecords(file.fieldDefs(), std::move(righe));
}

void TZepCdsLocale::LoadStructure(DataSet &dataSet, const QString &name, int year, int)
{
    DataSet file;
    CaricaFile(file, name, year);
    dataSet.loadRecords(file.fieldDefs(), QList<ValueList>());
}

void TZepCdsLocale::SavePeriod(DataSet &dataSet, const QString &name, int year, int month, TCdsSaveFailure onFailure)
{
    dataSet.checkBrowseMode();
    try {
        DataSet file;
        CaricaFile(file, name, year);
        const QString periodo = Periodo(file, year, month);
        QList<ValueList> righe;
        if (!periodo.isEmpty()) {
            // The other months as the file holds them.
            const int campo = file.fieldByName(TZepTabellaDenuncia::CampoPeriodo).index();
            for (ValueList &r : file.records())
                if (r.value(campo).isEmpty() || r.value(campo).toString() != periodo)
                    righe.append(std::move(r));
        }
        // The dataset's rows in the file's order of fields, by name.
        QList<int> posizioni;
        for (const auto &def : file.fieldDefs()) {
            const platform::Field *f = dataSet.findField(def.name);
            posizioni.append(f ? f->index() : -1);
        }
        for (const ValueList &r : dataSet.records()) {
            ValueList riga;
            for (int p : posizioni)
                riga.append(p < 0 ? platform::Value::null() : r.value(p));
            righe.append(std::move(riga));
        }
        DataSet nuovo;
        nuovo.loadRecords(file.fieldDefs(), std::move(righe));
        TTovCds::SaveToFile(nuovo, FileTabella(name, year));
    } catch (...) {
        if (onFailure == TCdsSaveFailure::DiscardChanges)
            dataSet.cancelUpdates();
        throw;
    }
    dataSet.mergeChangeLog();
}
