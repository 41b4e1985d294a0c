#include "wunMIVC.h"

#include "wunUCampi.h"

#include "SqlQuery.h"
#include "tovCQueryText.h"

using platform::Currency;
using platform::DataSet;
using platform::SqlQuery;
using platform::Value;

using namespace wuncampi;

TdmWunIvc *dmWunIvc = nullptr;

TdmWunIvc::TdmWunIvc(QObject *parent) : TdmWunFondCalcola(parent)
{
    dmWunIvc = this;
}

TdmWunIvc::~TdmWunIvc()
{
    if (dmWunIvc == this)
        dmWunIvc = nullptr;
}

Currency TdmWunIvc::ImportoIvc(const DataSet &asti, SqlQuery &query, int qualifica, int voce, int tipo,
                               int oreContratto)
{
    if (oreContratto == 0)
        return Currency();
    const int mese = intero(asti, "MES_IMESID");
    TWunCCNL &tabelle = WunCCNL();
    tabelle.TabellaCCNVMese(mese);
    Currency valore;
    query.close();
    if (voce == TwunCalcolaFond::COMR_PEREQUATIVO || voce == TTovCalcola::COMR_IVC) {
        tabelle.TabellaCCNLMese(mese);
        DataSet ccnl;
        tabelle.ImportiCorrenti(query, asti.fieldValue(QStringLiteral("IASTIANZIANITA")), ccnl);
        if (ccnl.locate(QStringLiteral("IQARID;ICOMRID"), platform::ValueList{Value(qualifica), Value(voce)}))
            valore = TTovCalcola::ImportoCcnl(ccnl, qualifica, false, voce);
    } else {
        TovQueryText().AssignSQL(QStringLiteral("QRY_CCNV_HELP"), query);
        query.bind(QStringLiteral("IQARID"), qualifica)
            .bind(QStringLiteral("ICCNVID"), tabelle.TabellaCCNV())
            .bind(QStringLiteral("ICOMRID"), voce);
        query.open();
        if (!query.eof())
            valore = query.value(QStringLiteral("FCCNLIMPORTO")).toCurrency();
        query.close();
    }
    if (TTovCalcola::OrarioRidottoAsti(asti, QStringLiteral("ASTI"), oreContratto, tipo))
        valore = TwunCalcola::Arrotonda(2, TwunCalcola::Proporzione(valore, intero(asti, "IASTIORESERVIZIO"),
                                                                    qint64(oreContratto) * 60, QString()));
    return valore;
}
