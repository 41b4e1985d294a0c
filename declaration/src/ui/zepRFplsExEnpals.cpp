#include "zepRFplsExEnpals.h"

#include "zepRMeseFplsExEnpals.h"

#include "ZepUUtil.h"

#include "DBControls.h"
#include "Field.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using platform::DataSet;

TfrZepFplsExEnpals::TfrZepFplsExEnpals(QWidget *parent) : TfrZepDatiDenuncia(parent)
{
    setObjectName(QStringLiteral("frZepFplsExEnpals"));
    TZepDettaglio &d = *Dettaglio;
    auto *page = new QVBoxLayout(paDettaglio);

    QGridLayout *g = TZepDettaglio::Riquadro(page, paDettaglio);
    d.Lavoratore(g);
    d.Testo(g, 3, 2, QStringLiteral("Tipo rapporto lavoro"), QStringLiteral("TipoRapportoLav"));
    d.Testo(g, 3, 4, QStringLiteral("Codice qualifica"), QStringLiteral("CodiceQualifica"));
    d.Testo(g, 4, 0, QStringLiteral("Unità Operativa"), QStringLiteral("UnitaOperativa"));
    g->addWidget(TZepDettaglio::Etichetta(QStringLiteral("Regime contributivo (dopo 1995)"), g->parentWidget()), 4, 2);
    cbRegimePost95 = d.Scelte(QStringLiteral("RegimePost95"), TZepDipendente::RegimePost95(), g->parentWidget());
    g->addWidget(cbRegimePost95, 4, 3);
    d.AssunzioneCessazione(page, paDettaglio, gbAssunzione, gbCessazione);

    auto *importi = new QHBoxLayout;
    page->addLayout(importi);
    QGridLayout *gi = TZepDettaglio::Riquadro(importi, paDettaglio);
    d.Testo(gi, 0, 0, QStringLiteral("Imponibile"), QStringLiteral("Imponibile"));
    d.Testo(gi, 1, 0, QStringLiteral("Contributo"), QStringLiteral("Contributo"));
    d.Testo(gi, 2, 0, QStringLiteral("Retribuzione ordinaria"), QStringLiteral("RetribTeorica"));
    d.Testo(gi, 3, 0, QStringLiteral("Giorni retribuiti"), QStringLiteral("GiorniRetribuiti"));
    d.Testo(gi, 4, 0, QStringLiteral("Giorni contribuiti"), QStringLiteral("GiorniContribuiti"));
    d.Testo(gi, 5, 0, QStringLiteral("Contributo solidarietà"), QStringLiteral("ContrSolidarietaSpet"));
    const auto gruppoImporti = [&](const QString &titolo, const QString &imponibile, const QString &contributo) {
        QGridLayout *gg = nullptr;
        QGroupBox *group = TZepDettaglio::Gruppo(titolo, importi, paDettaglio, gg);
        d.Testo(gg, 0, 0, QStringLiteral("Imponibile"), imponibile);
        d.Testo(gg, 1, 0, QStringLiteral("Contributo"), contributo);
        return group;
    };
    gbContribAgg = gruppoImporti(QStringLiteral("Contribuzione aggiuntiva 1%"), QStringLiteral("ImponibileCtrAgg"),
                                 QStringLiteral("ContribAggCorrente"));
    gbEccMassimale = gruppoImporti(QStringLiteral("Eccedenza massimale"), QStringLiteral("ImpEccMassSpet"),
                                   QStringLiteral("ContrEccMassSpet"));

    auto *sotto = new QHBoxLayout;
    page->addLayout(sotto);
    rgRispettoMinimale = d.Opzioni(QStringLiteral(" Rispetto Minimale "), QStringLiteral("RispettoMinimale"),
                                   TZepFplsExEnpals::RispettoMinimale(), paDettaglio);
    sotto->addWidget(rgRispettoMinimale);
    QGridLayout *gn = nullptr;
    gbNucleo = TZepDettaglio::Gruppo(QString(), sotto, paDettaglio, gn);
    gbNucleo->setObjectName(QStringLiteral("gbNucleo"));
    d.Testo(gn, 0, 0, QStringLiteral("Tipo nucleo familiare"), QStringLiteral("TipoANF"));
    d.Testo(gn, 1, 0, QStringLiteral("Componenti ANF"), QStringLiteral("NumANF"));
    d.Testo(gn, 2, 0, QStringLiteral("Classe ANF"), QStringLiteral("ClasseANF"));

    frMese = new TfrZepMeseFplsExEnpals(paDettaglio);
    page->addWidget(frMese);
    gbElimina = d.GruppoElimina(paDettaglio, chElimina);
    page->addWidget(gbElimina);
    page->addStretch(1);

    d.Ricerche(TZepFplsExEnpals::Ricerche());
    d.ColoraRigheEliminate();
}

void TfrZepFplsExEnpals::Prepara()
{
    TfrZepDatiDenuncia::Prepara();
    cdsMain.setIndexFieldNames(TZepDipendente::IndiceFrame);
    m_griglia = DenunciaDal2011();
    if (m_griglia)
        frMese->Prepara(cdsMain);
    frMese->setVisible(m_griglia);
    dsMainDataChange();
}

void TfrZepFplsExEnpals::dsMainDataChange()
{
    if (!m_griglia || !cdsMain.isActive())
        return;
    frMese->SetGiorni(cdsMain.fieldByName(TZepMeseFplsExEnpals::CampoLavorati).asString(),
                      cdsMain.fieldByName(TZepMeseFplsExEnpals::CampoCopertura).asString());
}

void TfrZepFplsExEnpals::cdsMainBeforePost(DataSet &dataSet)
{
    TfrZepDatiDenuncia::cdsMainBeforePost(dataSet);
    // Before 2011 the grid is not shown: its texts are left as stored.
    if (m_griglia) {
        const TZepMeseFplsExEnpals::Testi testi = frMese->GetGiorni(
            dataSet.fieldByName(QStringLiteral("GiorniRetribuiti")).asInteger());
        dataSet.fieldByName(TZepMeseFplsExEnpals::CampoLavorati).setAsString(testi.lavorati);
        dataSet.fieldByName(TZepMeseFplsExEnpals::CampoCopertura).setAsString(testi.copertura);
    }
    TZepDipendente::PrimaDelPost(dataSet);
}

void TfrZepFplsExEnpals::cdsMainNewRecord(DataSet &dataSet)
{
    TZepDipendente::NuovaRiga(dataSet);
}
