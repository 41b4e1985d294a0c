#include "wunMCalcola.h"

#include "wunMParams.h"
#include "wunUCampi.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "tovUUtil.h"

using platform::Currency;
using platform::DataSet;

TdmWunCalcola::TdmWunCalcola(QObject *parent) : QObject(parent) {}

TdmWunCalcola::~TdmWunCalcola() = default;

bool TdmWunCalcola::GiorniPresenti(const DataSet &variazione)
{
    return wuncampi::intero(variazione, "IVARMGIORNI") > 0;
}

void TdmWunCalcola::CalcolaRitenuteVarie(DataSet &, DataSet &, Currency &, const DataSet &) {}

bool TdmWunCalcola::SenzaGiorni(const DataSet &variazione)
{
    return wuncampi::intero(variazione, "IVARMGIORNI") == 0;
}

void TdmWunCalcola::ImpostaPosizioneInps(DataSet &registro)
{
    ZEP_ASSERT(dmWunParams, QStringLiteral("Modulo dei parametri non creato: posizione INPS del registro non "
                                           "impostabile"));
    const bool modifica = TTovUtil::EditDataSet(&registro);
    registro.fieldByName(QStringLiteral("SREGSPOSINPS"))
        .setValue(dmWunParams->CampoPaco(QStringLiteral("SPACOMATRAZIENDA")));
    if (modifica)
        registro.post();
}
