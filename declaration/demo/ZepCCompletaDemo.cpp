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
#include "ZepULayoutNomi.h"

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

QString testo(const DataSet &ds, const QString &campo)
{
    return ds.fieldByName(campo).asString().trimmed();
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
        [](const DataSet &ds) {
            return testo(ds, layouts::TAMM_AMMINISTRAZIONE::CFPersonaMittente).isEmpty()
                   || testo(ds, layouts::TAMM_AMMINISTRAZIONE::SedeINPS).isEmpty();
        },
        [](DataSet &ds) {
            for (const auto &[campo, valore] :
                 {std::pair<QString, QString>{layouts::TAMM_AMMINISTRAZIONE::CFPersonaMittente, CFPersonaMittente()},
                  std::pair<QString, QString>{layouts::TAMM_AMMINISTRAZIONE::SedeINPS, SedeINPS}})
                if (testo(ds, campo).isEmpty())
                    ds.fieldByName(campo).setAsString(valore);
            TZepMittente::PrimaDelPost(ds);
        });
}

int TZepCompletaDemo::DichiaranteExDma()
{
    // The municipality of the work site: the employer's main site's, as the
    // import's declarant step writes it (Bologna in the demo).
    const QList<std::pair<QString, QString>> valori{{layouts::TAMM_AMMINISTRAZIONE::CodiceINPDAP, CodiceINPDAP},
                                                    {layouts::TAMM_AMMINISTRAZIONE::FormaGiuridica, FormaGiuridica},
                                                    {layouts::TAMM_AMMINISTRAZIONE::CodiceComune,
                                                     QStringLiteral("A944")},
                                                    {layouts::TAMM_AMMINISTRAZIONE::CAP, CAP},
                                                    {layouts::TAMM_AMMINISTRAZIONE::ISTAT, ISTAT}};
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
                    ds.fieldByName(campo).setAsString(valore);
            TZepMittente::PrimaDelPost(ds);
        });
}

int TZepCompletaDemo::Collaboratori()
{
    const QDate fineMese = DataGiornoMeseDenuncia(GiorniMeseDenuncia());
    return completaRighe(
        m_store, TZepCollaboratore::Tabella, false,
        [](const DataSet &ds) { return !ds.fieldByName(layouts::TEMC_COLLABORATORI::Al).asDate().isValid(); },
        [&](DataSet &ds) {
            ds.fieldByName(layouts::TEMC_COLLABORATORI::Al).setAsDate(fineMese);
            TZepCollaboratore::PrimaDelPost(ds);
        });
}

int TZepCompletaDemo::IscrittiFpls()
{
    // The payroll pays a whole month as 30 days, whatever the month's length.
    constexpr int GiorniMeseCommerciale = 30;
    const int giorniMese = GiorniMeseDenuncia();
    return completaRighe(
        m_store, TZepFplsExEnpals::Tabella, false,
        [](const DataSet &ds) {
            return ds.fieldByName(layouts::TEFE_FPLSEXENPALS::GiorniRetribuiti).asInteger() > 0
                   && testo(ds, layouts::TEFE_FPLSEXENPALS::GiorniLavorati).isEmpty();
        },
        [&](DataSet &ds) {
            int retribuiti = ds.fieldByName(layouts::TEFE_FPLSEXENPALS::GiorniRetribuiti).asInteger();
            if (retribuiti > giorniMese && retribuiti <= GiorniMeseCommerciale) {
                retribuiti = giorniMese;
                for (const QString &campo :
                     {layouts::TEFE_FPLSEXENPALS::GiorniRetribuiti, layouts::TEFE_FPLSEXENPALS::GiorniContribuiti})
                    ds.fieldByName(campo).setAsInteger(giorniMese);
            }
            if (retribuiti > giorniMese)
                throw EUqError(MsgGiorniRetribuiti
                                   .arg(testo(ds, layouts::TEMC_COLLABORATORI::Cognome),
                                        testo(ds, layouts::TEMC_COLLABORATORI::Nome))
                                   .arg(retribuiti)
                                   .arg(giorniMese));
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
