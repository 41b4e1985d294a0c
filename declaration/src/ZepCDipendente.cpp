#include "ZepCDipendente.h"

#include "Field.h"

using platform::DataSet;

const QString TZepDipendente::Tabella = QStringLiteral("TEMD_DIPENDENTI");
const QString TZepDipendente::IndiceFrame = QStringLiteral("Cognome;Nome;CFLavoratore;Matricola;Qualifica2");
const QString TZepDipendente::IndiceFinestra = QStringLiteral("Cognome;Nome;Matricola");

void TZepDipendente::PrimaDelPost(DataSet &dataSet)
{
    TZepTabellaDenuncia::ControllaPersona(dataSet, QStringLiteral("CFLavoratore"));
    TZepTabellaDenuncia::ControllaNucleoFamiliare(dataSet);
}

void TZepDipendente::NuovaRiga(DataSet &dataSet)
{
    dataSet.fieldByName(TZepTabellaDenuncia::CampoElimina).setAsString(QStringLiteral("N"));
    dataSet.fieldByName(QStringLiteral("RispettoMinimale")).setAsString(QStringLiteral("0"));
}

TZepDipendente::GruppoBonus TZepDipendente::Bonus(const QString &anno, const QString &mese)
{
    GruppoBonus gruppo;
    if (anno != QStringLiteral("2022"))
        return gruppo;
    if (mese == QStringLiteral("07")) {
        gruppo.visibile = true;
        gruppo.titolo = QStringLiteral(" Bonus art. 31, DL 50 17/5/2022 ");
        gruppo.meseModificabile = true;
    } else if (mese == QStringLiteral("11") || mese == QStringLiteral("12")) {
        gruppo.visibile = true;
        gruppo.titolo = QStringLiteral(" Bonus art. 18, DL 144 23/9/2022 ");
        gruppo.riferimentoVisibile = true;
    }
    return gruppo;
}

const QList<TZepRicerca> &TZepDipendente::RicercheLavoratore()
{
    static const QList<TZepRicerca> ricerche = {
        {QStringLiteral("Qualifica1"), QStringLiteral("TQAS_QUALASSICUR.cds")},
        {QStringLiteral("Qualifica2"), QStringLiteral("TQOR_QUALORARIO.cds")},
        {QStringLiteral("Qualifica3"), QStringLiteral("TQCO_QUALCONTRAT.cds")},
        {QStringLiteral("TipoContribuzione"), QStringLiteral("TTRP_TIPORAPPORT.cds")},
        {QStringLiteral("TipoAssunzione"), QStringLiteral("TTAS_SSUNZIONE.cds")},
        {QStringLiteral("TipoCessazione"), QStringLiteral("TTCE_CESSAZIONE.cds")},
        {QStringLiteral("TipoANF"), QStringLiteral("TANF_ASSNUCFAM.cds")},
    };
    return ricerche;
}

const QList<TZepRicerca> &TZepDipendente::Ricerche()
{
    static const QList<TZepRicerca> ricerche = [] {
        QList<TZepRicerca> r = RicercheLavoratore();
        r += {{QStringLiteral("TipoLavoratore"), QStringLiteral("TTIP_TIPORETRPAR.cds")},
              {QStringLiteral("TipoLavStat"), QStringLiteral("TTLS_TIPOLAVSTAT.cds")},
              {QStringLiteral("EsoneroIVSCodiceCausale"), QStringLiteral("TIAC_INFOAGGCAUSCONTR.cds")},
              {QStringLiteral("EsoneroIVS13CodiceCausale"), QStringLiteral("TIAC_INFOAGGCAUSCONTR.cds")}};
        for (int i = 1; i <= 6; ++i)
            r.append({QStringLiteral("TipoCopertura_%1").arg(i), QStringLiteral("TTSE_TIPOSETTIMANA.cds")});
        return r;
    }();
    return ricerche;
}

const QList<TZepColonna> &TZepDipendente::Colonne()
{
    static const QList<TZepColonna> colonne = {
        {QStringLiteral("CFLavoratore"), QStringLiteral("Codice fiscale")},
        {QStringLiteral("Cognome"), QStringLiteral("Cognome")},
        {QStringLiteral("Nome"), QStringLiteral("Nome")},
        {QStringLiteral("Matricola"), QStringLiteral("Matricola INPS")},
        {QStringLiteral("Qualifica2"), QStringLiteral("Intero/PT")},
    };
    return colonne;
}

const QList<QPair<QString, QString>> &TZepDipendente::RispettoMinimale()
{
    static const QList<QPair<QString, QString>> voci = {
        {QStringLiteral("Imponibile superiore al minimale"), QStringLiteral("0")},
        {QStringLiteral("Imponibile inferiore al minimale che non deve essere adeguato"), QStringLiteral("N")},
        {QStringLiteral("Imponibile inferiore al minimale che deve essere adeguato"), QStringLiteral("S")},
    };
    return voci;
}

const QStringList &TZepDipendente::RegimePost95()
{
    static const QStringList voci = {QString(), QStringLiteral("Sì"), QStringLiteral("No")};
    return voci;
}
