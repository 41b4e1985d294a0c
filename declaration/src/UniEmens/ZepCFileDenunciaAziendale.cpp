// The company declaration of a contribution position.
#include "ZepCFileInterno.h"
#include "ZepULayoutNomi.h"

using namespace zepfile;

void TZepFile::ScriviDenunciaAziendale(IXMLPosContributiva posizione)
{
    const DataSet &az = cdsDenunciaAziendale;
    log(QString());
    log(QStringLiteral("Dati Denuncia Aziendale: inizio"));
    IXMLDenunciaAziendale denuncia = posizione.GetDenunciaAziendale();
    denuncia.SetTrattQuotaLav(az.fieldByName(layouts::TEMA_DENAZIENDALE::TrattQuotaLav).asString());
    denuncia.SetNumLavoratori(az.fieldByName(layouts::TEMA_DENAZIENDALE::NumLavoratori).asInteger());
    denuncia.SetForzaAziendale(az.fieldByName(layouts::TEMA_DENAZIENDALE::ForzaAziendale).asInteger());
    const Field &somma = az.fieldByName(layouts::TEMA_DENAZIENDALE::SommaACredito);
    const Currency sommaACredito = somma.asCurrency();
    if (!sommaACredito.isZero()) {
        log(QStringLiteral("-- Dati recupero su INPS: Causale L650, Somma ") + Importo(sommaACredito));
        IXMLAltrePartiteACredito credito = denuncia.GetAltrePartiteACredito().Add();
        credito.SetCausaleACredito(QStringLiteral("L650"));
        credito.SetSommaACredito(Importo(sommaACredito));
    }
    const int totaleACredito = az.fieldByName(layouts::TEMA_DENAZIENDALE::TotaleACredito).asInteger();
    IXMLDatiQuadraturaRetrContr quadratura = denuncia.GetDatiQuadraturaRetrContr();
    quadratura.SetNumDenIndiv(az.fieldByName(layouts::TEMA_DENAZIENDALE::NumDenIndiv).asInteger());
    quadratura.SetTotaleADebito(QString::number(az.fieldByName(layouts::TEMA_DENAZIENDALE::TotaleADebito).asInteger()));
    // The recovery counts in whole euros, rounded half away from zero.
    quadratura.SetTotaleACredito(QString::number(totaleACredito + sommaACredito.rounded(0).truncated()));
    if (totaleACredito != 0)
        log((MeseDenuncia == QStringLiteral("07")
                 ? QStringLiteral("-- Totale recupero  Bonus art. 31, DL 50 17/5/2022:")
                 : QStringLiteral("-- Totale recupero  Bonus art. 18, DL 144 23/9/2022:"))
            + Importo(Currency::fromInt(totaleACredito)));
    log(QStringLiteral("Dati Denuncia Aziendale: fine"));
}
