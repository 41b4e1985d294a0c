#include "ZepCKax.h"

#include "Exceptions.h"
#include "Field.h"
#include "Paths.h"
#include "TovUCdsUtil.h"
#include "ZepULayoutNomi.h"

#include <QFile>
#include <QSaveFile>
#include <utility>

const QString TZepKax::FileDipendenti = layouts::TEMD_DIPENDENTI::Tabella + QStringLiteral(".CDS");
const QString TZepKax::FileCollaboratori = layouts::TEMC_COLLABORATORI::Tabella + QStringLiteral(".CDS");
const QString TZepKax::FileDichiarante = layouts::TAMM_AMMINISTRAZIONE::Tabella + QStringLiteral(".CDS");

std::function<void(bool)> TZepKax::Dialogo;

TZepKax::TZepKax(QString cartellaAnno, QString cartellaIniziale)
    : cdsOld(QStringLiteral("cdsOld")), cdsNew(QStringLiteral("cdsNew")), m_cartellaAnno(std::move(cartellaAnno)),
      m_cartellaIniziale(std::move(cartellaIniziale))
{
}

void TZepKax::AllineaTabelleLocali()
{
    AggiornaStrutturaCds(FileDipendenti, QStringLiteral("ELIMINA"), 0);
    AggiornaStrutturaCds(FileCollaboratori, layouts::TEMC_COLLABORATORI::CodiceComune, 0);
}

bool TZepKax::AggiornaStrutturaCds(const QString &file, const QString &campo, int dimensione)
{
    struct Chiusura {
        TZepKax &kax;
        bool mostrato = false;
        ~Chiusura()
        {
            kax.cdsOld.close();
            kax.cdsNew.close();
            if (mostrato && Dialogo)
                Dialogo(false);
        }
    } chiusura{*this};

    const QString percorso = platform::findPath(m_cartellaAnno, file);
    TTovCds::LoadFromFile(cdsOld, percorso);
    if (const platform::Field *f = cdsOld.findField(campo); f && (dimensione == 0 || f->size() == dimensione))
        return false;

    if (Dialogo) {
        Dialogo(true);
        chiusura.mostrato = true;
    }
    TTovCds::LoadFromFile(cdsNew, platform::findPath(m_cartellaIniziale, file));
    const bool elimina = campo.compare(QLatin1String("ELIMINA"), Qt::CaseInsensitive) == 0;
    for (cdsOld.first(); !cdsOld.eof(); cdsOld.next()) {
        cdsNew.append();
        for (const auto &f : cdsOld.fields())
            cdsNew.fieldByName(f->fieldName()).setValue(f->value());
        if (elimina)
            cdsNew.fieldByName(campo).setAsString(QStringLiteral("N"));
        cdsNew.post();
    }
    // The file of the earlier version stays beside the new one.
    QFile vecchio(percorso);
    if (!vecchio.open(QIODevice::ReadOnly))
        throw EUqError(QStringLiteral("Impossibile leggere il file %1: %2").arg(percorso, vecchio.errorString()));
    const QByteArray contenuto = vecchio.readAll();
    vecchio.close();
    TTovCds::SaveToFile(cdsNew, percorso);
    QSaveFile copia(TTovCds::BackupName(percorso));
    if (!copia.open(QIODevice::WriteOnly) || copia.write(contenuto) != contenuto.size()
        || !platform::commitSaveFile(copia))
        throw EUqError(QStringLiteral("Impossibile conservare la copia %1: %2")
                           .arg(TTovCds::BackupName(percorso), copia.errorString()));
    return true;
}
