#include "ZepCDipendente.h"

#include "Field.h"
#include "ZepULayoutNomi.h"

using platform::DataSet;

const QString TZepDipendente::Tabella = layouts::TEMD_DIPENDENTI::Tabella;
const QString TZepDipendente::IndiceFrame = QStringLiteral("Cognome;Nome;CFLavoratore;Matricola;Qualifica2");
const QString TZepDipendente::IndiceFinestra = QStringLiteral("Cognome;Nome;Matricola");

void TZepDipendente::PrimaDelPost(DataSet &dataSet)
{
    TZepTabellaDenuncia::ControllaPersona(dataSet, layouts::TEMD_DIPENDENTI::CFLavoratore);
    TZepTabellaDenuncia::ControllaNucleoFamiliare(dataSet);
}

void TZepDipendente::NuovaRiga(DataSet &dataSet)
{
    dataSet.fieldByName(TZepTabellaDenuncia::CampoElimina).setAsString(QStringLiteral("N"));
    dataSet.fieldByName(layouts::TEMD_DIPENDENTI::RispettoMinimale).setAsString(QStringLiteral("0"));
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
        {layouts::TEMD_DIPENDENTI::Qualifica1, QStringLiteral("TQAS_QUALASSICUR.cds")},
        {layouts::TEMD_DIPENDENTI::Qualifica2, QStringLiteral("TQOR_QUALORARIO.cds")},
        {layouts::TEMD_DIPENDENTI::Qualifica3, QStringLiteral("TQCO_QUALCONTRAT.cds")},
        {layouts::TEMD_DIPENDENTI::TipoContribuzione, QStringLiteral("TTRP_TIPORAPPORT.cds")},
        {layouts::TEMD_DIPENDENTI::TipoAssunzione, QStringLiteral("TTAS_SSUNZIONE.cds")},
        {layouts::TEMD_DIPENDENTI::TipoCessazione, QStringLiteral("TTCE_CESSAZIONE.cds")},
        {layouts::TEMD_DIPENDENTI::TipoANF, QStringLiteral("TANF_ASSNUCFAM.cds")},
    };
    return ricerche;
}

const QList<TZepRicerca> &TZepDipendente::Ricerche()
{
    static const QList<TZepRicerca> ricerche = [] {
        QList<TZepRicerca> r = RicercheLavoratore();
        r += {{layouts::TEMD_DIPENDENTI::TipoLavoratore, QStringLiteral("TTIP_TIPORETRPAR.cds")},
              {layouts::TEMD_DIPENDENTI::TipoLavStat, QStringLiteral("TTLS_TIPOLAVSTAT.cds")},
              {layouts::TEMD_DIPENDENTI::EsoneroIVSCodiceCausale, QStringLiteral("TIAC_INFOAGGCAUSCONTR.cds")},
              {layouts::TEMD_DIPENDENTI::EsoneroIVS13CodiceCausale, QStringLiteral("TIAC_INFOAGGCAUSCONTR.cds")}};
        for (int i = 1; i <= 6; ++i)
            r.append({QStringLiteral("TipoCopertura_%1").arg(i), QStringLiteral("TTSE_TIPOSETTIMANA.cds")});
        return r;
    }();
    return ricerche;
}

const QList<TZepColonna> &TZepDipendente::Colonne()
{
    static const QList<TZepColonna> colonne = {
        {layouts::TEMD_DIPENDENTI::CFLavoratore, QStringLiteral("Codice fiscale")},
        {layouts::TEMD_DIPENDENTI::Cognome, QStringLiteral("Cognome")},
        {layouts::TEMD_DIPENDENTI::Nome, QStringLiteral("Nome")},
        {layouts::TEMD_DIPENDENTI::Matricola, QStringLiteral("Matricola INPS")},
        {layouts::TEMD_DIPENDENTI::Qualifica2, QStringLiteral("Intero/PT")},
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
