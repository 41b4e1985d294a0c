#include "ZepCCompletaDemo.h"

#include "ZepCCollaboratore.h"
#include "ZepCDipendente.h"
#include "ZepCFplsExEnpals.h"
#include "ZepCMeseFplsExEnpals.h"
#include "ZepCMittente.h"
#include "ZepCParametri.h"
#include "ZepUUtil.h"

#include "archive/FiscalCode.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"

using platform::DataSet;

const QString TZepCompletaDemo::SedeINPS = QStringLiteral("9999");
const QString TZepCompletaDemo::CodiceINPDAP = QStringLiteral("12345");
const QString TZepCompletaDemo::FormaGiuridica = QStringLiteral("2.4.30");
const QString TZepCompletaDemo::CAP = QStringLiteral("40121");
const QString TZepCompletaDemo::ISTAT = QStringLiteral("037006");
const QString TZepCompletaDemo::MsgNessunDichiarante = QStringLiteral(
    "Nessun dichiarante per l'anno %1: eseguire prima \"Importa\" con \"Importa dati amministrazione o ente "
    "dichiarante\".");
const QString TZepCompletaDemo::MsgGiorniRetribuiti = QStringLiteral(
    "%1 %2: %3 giorni retribuiti, ma il mese ne ha %4.");

namespace {

// The rows of a table that `manca` finds incomplete, each edited by
// `completa` (which ends with the window's check before a post) and
// posted; the table saved as its window saves it when any was.
template <class Manca, class Completa>
int completaRighe(ITovDBCds &store, const QString &tabella, bool annuale, Manca manca, Completa completa)
{
    TZepTabellaDenuncia t(store, tabella, annuale);
    DataSet ds;
    t.Carica(ds);
    int completate = 0;
    for (ds.first(); !ds.eof(); ds.next()) {
        if (!manca(ds))
            continue;
        ds.edit();
        completa(ds);
        ds.post();
        ++completate;
    }
    if (completate > 0)
        t.Salva(ds);
    return completate;
}

QString testo(const DataSet &ds, const char *campo)
{
    return ds.fieldByName(QLatin1String(campo)).asString().trimmed();
}

} // namespace

TZepCompletaDemo::TZepCompletaDemo(ITovDBCds &store) : m_store(store) {}

QString TZepCompletaDemo::CFPersonaMittente()
{
    return payroll::FiscalCode::build(QStringLiteral("Rossi"), QStringLiteral("Mario"), QDate(1960, 1, 1),
                                      payroll::FiscalCode::Sex::Male, QStringLiteral("A944"));
}

int TZepCompletaDemo::Dichiarante()
{
    {
        DataSet ds;
        TZepTabellaDenuncia(m_store, TZepParametri::TabellaDichiarante, true).Carica(ds);
        if (ds.isEmpty())
            throw EUqError(MsgNessunDichiarante.arg(AnnoDenuncia));
    }
    return completaRighe(
        m_store, TZepParametri::TabellaDichiarante, true,
        [](const DataSet &ds) { return testo(ds, "CFPersonaMittente").isEmpty() || testo(ds, "SedeINPS").isEmpty(); },
        [](DataSet &ds) {
            for (const auto &[campo, valore] :
                 {std::pair{"CFPersonaMittente", CFPersonaMittente()}, std::pair{"SedeINPS", SedeINPS}})
                if (testo(ds, campo).isEmpty())
                    ds.fieldByName(QLatin1String(campo)).setAsString(valore);
            TZepMittente::PrimaDelPost(ds);
        });
}

int TZepCompletaDemo::DichiaranteExDma()
{
    // The municipality of the work site: the employer's main site's, as the
    // import's declarant step writes it (Bologna in the demo).
    const QList<std::pair<const char *, QString>> valori{{"CodiceINPDAP", CodiceINPDAP},
                                                         {"FormaGiuridica", FormaGiuridica},
                                                         {"CodiceComune", QStringLiteral("A944")},
                                                         {"CAP", CAP},
                                                         {"ISTAT", ISTAT}};
    return completaRighe(
        m_store, TZepParametri::TabellaDichiarante, true,
        [&](const DataSet &ds) {
            for (const auto &[campo, valore] : valori)
                if (testo(ds, campo).isEmpty())
                    return true;
            return false;
        },
        [&](DataSet &ds) {
            for (const auto &[campo, valore] : valori)
                if (testo(ds, campo).isEmpty())
                    ds.fieldByName(QLatin1String(campo)).setAsString(valore);
            TZepMittente::PrimaDelPost(ds);
        });
}

int TZepCompletaDemo::Collaboratori()
{
    const QDate fineMese = DataGiornoMeseDenuncia(GiorniMeseDenuncia());
    return completaRighe(
        m_store, TZepCollaboratore::Tabella, false,
        [](const DataSet &ds) { return !ds.fieldByName(QStringLiteral("Al")).asDate().isValid(); },
        [&](DataSet &ds) {
            ds.fieldByName(QStringLiteral("Al")).setAsDate(fineMese);
            TZepCollaboratore::PrimaDelPost(ds);
        });
}

int TZepCompletaDemo::IscrittiFpls()
{
    const int giorniMese = GiorniMeseDenuncia();
    return completaRighe(
        m_store, TZepFplsExEnpals::Tabella, false,
        [](const DataSet &ds) {
            return ds.fieldByName(QStringLiteral("GiorniRetribuiti")).asInteger() > 0
                   && testo(ds, "GiorniLavorati").isEmpty();
        },
        [&](DataSet &ds) {
            const int retribuiti = ds.fieldByName(QStringLiteral("GiorniRetribuiti")).asInteger();
            if (retribuiti > giorniMese)
                throw EUqError(
                    MsgGiorniRetribuiti.arg(testo(ds, "Cognome"), testo(ds, "Nome")).arg(retribuiti).arg(giorniMese));
            QStringList lavorati, copertura;
            for (int giorno = 1; giorno <= giorniMese; ++giorno) {
                lavorati << (giorno <= retribuiti ? QStringLiteral("S") : QString());
                copertura << (giorno <= retribuiti ? QStringLiteral("X") : QString());
            }
            const TZepMeseFplsExEnpals::Testi testi = TZepMeseFplsExEnpals::Componi(lavorati, copertura, retribuiti);
            ds.fieldByName(TZepMeseFplsExEnpals::CampoLavorati).setAsString(testi.lavorati);
            ds.fieldByName(TZepMeseFplsExEnpals::CampoCopertura).setAsString(testi.copertura);
            TZepDipendente::PrimaDelPost(ds);
        });
}
