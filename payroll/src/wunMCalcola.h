#pragma once
// The base of the modules that compute a month's liquidation beyond the
// fundamental pay: the hooks a liquidation's computation asks of the kind of
// employee it is run for (days present, the relationship types it leaves
// out, the various withholdings, the INPS company number of the register).
// TdmWunFondCalcola (wunMFondCalcola) is the public-sector module.
#include "Currency.h"

#include <QObject>
#include <QString>

namespace platform {
class DataSet;
} // namespace platform

class TdmWunCalcola : public QObject {
public:
    using Currency = platform::Currency;
    using DataSet = platform::DataSet;

    explicit TdmWunCalcola(QObject *parent = nullptr);
    ~TdmWunCalcola() override;

    // ---- the hooks, in their order ----
    // The variation has days (IVARMGIORNI above 0).
    virtual bool GiorniPresenti(const DataSet &variazione);
    // The condition on the registers (alias REGS) that leaves out the
    // relationship types the module does not compute.
    virtual void FiltroTipiRapporto(QString &testo) = 0;
    // The various withholdings of a withholding type (`tipoRitenuta`: its
    // row) on the liquidation's items: `totale` grows by what they weigh
    // on. The base module has none.
    virtual void CalcolaRitenuteVarie(DataSet &voci, DataSet &ritenute, Currency &totale, const DataSet &tipoRitenuta);
    // The variation has no days (IVARMGIORNI 0).
    virtual bool SenzaGiorni(const DataSet &variazione);
    // SREGSPOSINPS of the register row: the company's INPS number
    // SPACOMATRAZIENDA of the working year's company parameters.
    virtual void ImpostaPosizioneInps(DataSet &registro);
};
