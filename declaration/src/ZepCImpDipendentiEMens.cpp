// The employee rows of the earlier program's E-Mens declaration: what an
// E-Mens row has besides its taxable, and the refusal of open-ended
// contracts under contribution type "71".
#include "ZepCImpMultiSelect.h"
#include "ZepCWiz.h"

#include "WunUUtil.h"
#include "tovUCalcoli.h"

#include "Exceptions.h"
#include "Field.h"
#include "ZepULayoutNomi.h"

using platform::Currency;

namespace {

// The relationship types of an open-ended contract.
bool tempoIndeterminato(int tnoId)
{
    return tnoId >= 1 && tnoId <= 4;
}

} // namespace

void TZepImpMultiSelect::ControllaTempoIndeterminato() const
{
    const QString tipo = TipoContribuzione().trimmed();
    if (tipo == TipoContribuzioneSenzaRitenute && tempoIndeterminato(qquAcom.value(QStringLiteral("ITNOID")).toInt()))
        throw EUqError(MsgTempoIndeterminato + QLatin1Char(' ')
                       + MsgTipoContribuzioneScelto.arg(tipo, TZepWiz::Titolo));
}

void TZepImpMultiSelect::AumentaImponibileAnnoPrecedente(Currency importo)
{
    if (importo <= Currency() || !VarRetributive())
        return;
    cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::Anno).setAsInteger(wunAnnoFinanziario().Year() - 1);
    platform::Field &aumento = cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::AumentoImponibile);
    aumento.setAsCurrency(aumento.asCurrency() + importo);
}

void TZepImpMultiSelect::CompletaRigaEMens(int codice, Currency iis)
{
    AumentaImponibileAnnoPrecedente(iis);
    CalcolaSettimane();
    CalcolaGiorni(codice);
    if (codice == TTovCalcola::RICE_COD_INPS_PT) {
        int giorni = 0;
        Currency ore;
        GiorniOreInps(codice, giorni, ore);
        CalcolaSettimaneUtili(ore);
    }
}
