#include "ZepCCompletaDemoDma.h"

#include "ZepCDma.h"
#include "ZepCDmaInfo.h"
#include "ZepCTabellaDenuncia.h"

#include "DataSet.h"
#include "Field.h"
#include "ZepULayoutNomi.h"

const QString TZepCompletaDemoDma::TipoCessazioneE1 = QStringLiteral("1");

TZepCompletaDemoDma::TZepCompletaDemoDma(ITovDBCds &store) : m_store(store) {}

int TZepCompletaDemoDma::CessazioniE1()
{
    TZepTabellaDenuncia tabella(m_store, TZepDma::TabellaE1);
    platform::DataSet e1;
    tabella.Carica(e1);
    int completate = 0;
    for (e1.first(); !e1.eof(); e1.next()) {
        if (!TZepDmaInfo::CessazioneSenzaMotivo(e1))
            continue;
        e1.edit();
        e1.fieldByName(layouts::TE1_FONDIPENSIONE::NP_E1XXX011_TIPO_CESSAZIONE).setAsString(TipoCessazioneE1);
        e1.post();
        ++completate;
    }
    // Saved as the window saves it, the whole table at once.
    if (completate > 0)
        tabella.Salva(e1);
    return completate;
}
