#include "zepRFplsExEnpals.h"

#include "zepRMeseFplsExEnpals.h"

#include "ZepUUtil.h"

#include "DBControls.h"
#include "Field.h"
#include "ZepULayoutNomi.h"

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
    d.Testo(g, 3, 2, QStringLiteral("Tipo rapporto lavoro"), layouts::TEFE_FPLSEXENPALS::TipoRapportoLav);
    d.Testo(g, 3, 4, QStringLiteral("Codice qualifica"), layouts::TEFE_FPLSEXENPALS::CodiceQualifica);
    d.Testo(g, 4, 0, QStringLiteral("Unità Operativa"), layouts::TEFE_FPLSEXENPALS::UnitaOperativa);
    g->addWidget(TZepDettaglio::Etichetta(QStringLiteral("Regime contributivo (dopo 1995)"), g->parentWidget()), 4, 2);
    cbRegimePost95 = d.Scelte(layouts::TEFE_FPLSEXENPALS::RegimePost95, TZepDipendente::RegimePost95(),
                              g->parentWidget());
    g->addWidget(cbRegimePost95, 4, 3);
    d.AssunzioneCessazione(page, paDettaglio, gbAssunzione, gbCessazione);

    auto *importi = new QHBoxLayout;
    page->addLayout(importi);
    QGridLayout *gi = TZepDettaglio::Riquadro(importi, paDettaglio);
    d.Testo(gi, 0, 0, QStringLiteral("Imponibile"), layouts::TEFE_FPLSEXENPALS::Imponibile);
    d.Testo(gi, 1, 0, QStringLiteral("Contributo"), layouts::TEFE_FPLSEXENPALS::Contributo);
    d.Testo(gi, 2, 0, QStringLiteral("Retribuzione ordinaria"), layouts::TEFE_FPLSEXENPALS::RetribTeorica);
    d.Testo(gi, 3, 0, QStringLiteral("Giorni retribuiti"), layouts::TEFE_FPLSEXENPALS::GiorniRetribuiti);
    d.Testo(gi, 4, 0, QStringLiteral("Giorni contribuiti"), layouts::TEFE_FPLSEXENPALS::GiorniContribuiti);
    d.Testo(gi, 5, 0, QStringLiteral("Contributo solidarietà"), layouts::TEFE_FPLSEXENPALS::ContrSolidarietaSpet);
    const auto gruppoImporti = [&](const QString &titolo, const QString &imponibile, const QString &contributo) {
        QGridLayout *gg = nullptr;
        QGroupBox *group = TZepDettaglio::Gruppo(titolo, importi, paDettaglio, gg);
        d.Testo(gg, 0, 0, QStringLiteral("Imponibile"), imponibile);
        d.Testo(gg, 1, 0, QStringLiteral("Contributo"), contributo);
        return group;
    };
    gbContribAgg = gruppoImporti(QStringLiteral("Contribuzione aggiuntiva 1%"),
                                 layouts::TEFE_FPLSEXENPALS::ImponibileCtrAgg,
                                 layouts::TEFE_FPLSEXENPALS::ContribAggCorrente);
    gbEccMassimale = gruppoImporti(QStringLiteral("Eccedenza massimale"), layouts::TEFE_FPLSEXENPALS::ImpEccMassSpet,
                                   layouts::TEFE_FPLSEXENPALS::ContrEccMassSpet);

    auto *sotto = new QHBoxLayout;
    page->addLayout(sotto);
    rgRispettoMinimale = d.Opzioni(QStringLiteral(" Rispetto Minimale "), layouts::TEFE_FPLSEXENPALS::RispettoMinimale,
                                   TZepFplsExEnpals::RispettoMinimale(), paDettaglio);
    sotto->addWidget(rgRispettoMinimale);
    QGridLayout *gn = nullptr;
    gbNucleo = TZepDettaglio::Gruppo(QString(), sotto, paDettaglio, gn);
    gbNucleo->setObjectName(QStringLiteral("gbNucleo"));
    d.Testo(gn, 0, 0, QStringLiteral("Tipo nucleo familiare"), layouts::TEFE_FPLSEXENPALS::TipoANF);
    d.Testo(gn, 1, 0, QStringLiteral("Componenti ANF"), layouts::TEFE_FPLSEXENPALS::NumANF);
    d.Testo(gn, 2, 0, QStringLiteral("Classe ANF"), layouts::TEFE_FPLSEXENPALS::ClasseANF);

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
            dataSet.fieldByName(layouts::TEFE_FPLSEXENPALS::GiorniRetribuiti).asInteger());
        dataSet.fieldByName(TZepMeseFplsExEnpals::CampoLavorati).setAsString(testi.lavorati);
        dataSet.fieldByName(TZepMeseFplsExEnpals::CampoCopertura).setAsString(testi.copertura);
    }
    TZepDipendente::PrimaDelPost(dataSet);
}

void TfrZepFplsExEnpals::cdsMainNewRecord(DataSet &dataSet)
{
    TZepDipendente::NuovaRiga(dataSet);
}
