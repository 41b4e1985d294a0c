#include "ZepCDenunciaAziendale.h"

#include "Currency.h"
#include "Exceptions.h"
#include "Field.h"
#include "ZepULayoutNomi.h"

#include <QHash>

using platform::Currency;
using platform::DataSet;
using platform::Field;

const QString TZepDenunciaAziendale::Tabella = layouts::TEMA_DENAZIENDALE::Tabella;
const QString TZepDenunciaAziendale::Indice = layouts::TEMA_DENAZIENDALE::Matricola;
const QString TZepDenunciaAziendale::MsgMatricolaObbligatoria = QStringLiteral("Matricola obbligatoria");

namespace {

struct Totali {
    int lavoratori = 0;
    qint64 forza = 0; // in UnitaForzaAziendale
    Currency debito;
    Currency credito;
};

// An amount field of the table, when it has it.
Currency importo(const Field *field)
{
    return field ? field->asCurrency() : Currency();
}

// Adds the persons of one table to the totals by company number, in the
// order the numbers first appear.
void accumula(DataSet &persone, QStringList &matricole, QHash<QString, Totali> &totali)
{
    const Field &matricola = persone.fieldByName(layouts::TEMD_DIPENDENTI::Matricola);
    const Field *elimina = persone.findField(TZepTabellaDenuncia::CampoElimina);
    const Field &contributo = persone.fieldByName(layouts::TEMD_DIPENDENTI::Contributo);
    const Field *contribAgg = persone.findField(layouts::TEFE_FPLSEXENPALS::ContribAggCorrente);
    const Field *eccMass = contribAgg ? &persone.fieldByName(layouts::TEFE_FPLSEXENPALS::ContrEccMassSpet) : nullptr;
    const Field *solidarieta = contribAgg ? &persone.fieldByName(layouts::TEFE_FPLSEXENPALS::ContrSolidarietaSpet)
                                          : nullptr;
    const Field *bonus = persone.findField(layouts::TEMD_DIPENDENTI::BonusUTImporto);
    const Field *esonero = persone.findField(layouts::TEMD_DIPENDENTI::EsoneroIVSImporto);
    const Field *esonero13 = persone.findField(layouts::TEMD_DIPENDENTI::EsoneroIVS13Importo);
    const Field *partTime = persone.findField(layouts::TEMD_DIPENDENTI::PercPartTime);
    for (persone.first(); !persone.eof(); persone.next()) {
        const QString m = matricola.asString();
        if (m.isEmpty())
            throw EUqError(TZepDenunciaAziendale::MsgMatricolaObbligatoria);
        auto it = totali.find(m);
        if (it == totali.end()) {
            matricole << m;
            it = totali.insert(m, Totali());
        }
        if (elimina && elimina->asString() == QStringLiteral("S"))
            continue;
        Totali &t = it.value();
        ++t.lavoratori;
        t.debito += contributo.asCurrency() + importo(contribAgg) + importo(eccMass) + importo(solidarieta);
        t.credito += importo(bonus) + importo(esonero) + importo(esonero13);
        const int percentuale = partTime ? partTime->asInteger() : 0;
        t.forza += percentuale > 0 ? percentuale : TZepDenunciaAziendale::UnitaForzaAziendale;
    }
}

int euroInteri(Currency importo)
{
    return int(importo.rounded(0).truncated());
}

} // namespace

void TZepDenunciaAziendale::PrimaDelPost(DataSet &dataSet)
{
    if (dataSet.state() == platform::DataSetState::Insert
        && dataSet.fieldByName(layouts::TEMA_DENAZIENDALE::Matricola).asString().isEmpty())
        throw EUqError(MsgMatricolaObbligatoria);
}

void TZepDenunciaAziendale::Ricalcola(DataSet &dipendenti, DataSet &fpls, DataSet &aziendale)
{
    QStringList matricole;
    QHash<QString, Totali> totali;
    accumula(dipendenti, matricole, totali);
    accumula(fpls, matricole, totali);

    aziendale.first();
    while (!aziendale.isEmpty())
        aziendale.deleteRecord();
    for (const QString &m : std::as_const(matricole)) {
        const Totali &t = totali.value(m);
        aziendale.append();
        aziendale.fieldByName(layouts::TEMA_DENAZIENDALE::Matricola).setAsString(m);
        aziendale.fieldByName(layouts::TEMA_DENAZIENDALE::TrattQuotaLav).setAsString(QStringLiteral("S"));
        aziendale.fieldByName(layouts::TEMA_DENAZIENDALE::NumLavoratori).setAsInteger(t.lavoratori);
        // The shares are summed whole, then rounded up to whole workers.
        aziendale.fieldByName(layouts::TEMA_DENAZIENDALE::ForzaAziendale)
            .setAsInteger(int((t.forza + UnitaForzaAziendale - 1) / UnitaForzaAziendale));
        aziendale.fieldByName(layouts::TEMA_DENAZIENDALE::NumDenIndiv).setAsInteger(t.lavoratori);
        aziendale.fieldByName(layouts::TEMA_DENAZIENDALE::TotaleADebito).setAsInteger(euroInteri(t.debito));
        aziendale.fieldByName(layouts::TEMA_DENAZIENDALE::TotaleACredito).setAsInteger(euroInteri(t.credito));
        aziendale.post();
    }
    aziendale.first();
}

const QList<TZepColonna> &TZepDenunciaAziendale::Colonne()
{
    static const QList<TZepColonna> colonne = {
        {layouts::TEMA_DENAZIENDALE::Matricola, QStringLiteral("Matricola")},
        {layouts::TEMA_DENAZIENDALE::TrattQuotaLav, QStringLiteral("Trattenute contributive")},
        {layouts::TEMA_DENAZIENDALE::NumLavoratori, QStringLiteral("Numero lavoratori")},
        {layouts::TEMA_DENAZIENDALE::ForzaAziendale, QStringLiteral("Forza aziendale")},
        {layouts::TEMA_DENAZIENDALE::NumDenIndiv, QStringLiteral("Numero denunce individuali")},
        {layouts::TEMA_DENAZIENDALE::TotaleADebito, QStringLiteral("Totale delle contribuzioni")},
        {layouts::TEMA_DENAZIENDALE::TotaleACredito, QStringLiteral("Totale dei conguagli")},
    };
    return colonne;
}

const QList<TZepColonna> &TZepDenunciaAziendale::ColonneFile()
{
    static const QList<TZepColonna> colonne = [] {
        QList<TZepColonna> c = Colonne();
        c[5].titolo = QStringLiteral("Totale contribuzioni");
        c[6].titolo = QStringLiteral("Totale conguagli");
        return c;
    }();
    return colonne;
}
