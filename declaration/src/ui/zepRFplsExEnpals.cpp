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

TfrZepFplsExEnpals::TfrZepFplsExEnpals(QWidget *parent)
    : TfrZepDatiDenuncia(parent)
{
    setObjectName(QStringLiteral("frZepFplsExEnpals"));
    TZepDettaglio &d = *Dettaglio;
    auto *page = new QVBoxLayout(paDettaglio);

    auto *box = new QWidget(paDettaglio);
    page->addWidget(box);
    auto *g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);
    d.Testo(g, 0, 0, QStringLiteral("Codice Fiscale"), QStringLiteral("CFLavoratore"));
    d.Testo(g, 0, 2, QStringLiteral("Cognome"), QStringLiteral("Cognome"));
    d.Testo(g, 0, 4, QStringLiteral("Nome"), QStringLiteral("Nome"));
    d.Testo(g, 1, 0, QStringLiteral("Matricola INPS"), QStringLiteral("Matricola"));
    d.Qualifica(g, 1, 2);
    d.Testo(g, 1, 4, QStringLiteral("Tipo contribuzione"), QStringLiteral("TipoContribuzione"));
    d.Testo(g, 2, 0, QStringLiteral("Comune di lavoro"), QStringLiteral("CodiceComune"));
    d.Testo(g, 2, 2, QStringLiteral("Codice contratto"), QStringLiteral("CodiceContratto"));
    d.Testo(g, 2, 4, QStringLiteral("Tipo lavoratore"), QStringLiteral("TipoLavoratore"));
    d.RicercaCittadinanza(d.Testo(g, 3, 0, QStringLiteral("Cittadinanza"), QStringLiteral("Cittadinanza")));
    d.Testo(g, 3, 2, QStringLiteral("Tipo rapporto lavoro"), QStringLiteral("TipoRapportoLav"));
    d.Testo(g, 3, 4, QStringLiteral("Codice qualifica"), QStringLiteral("CodiceQualifica"));
    d.Testo(g, 4, 0, QStringLiteral("Unità Operativa"), QStringLiteral("UnitaOperativa"));
    g->addWidget(TZepDettaglio::Etichetta(QStringLiteral("Regime contributivo (dopo 1995)"), box), 4, 2);
    cbRegimePost95 = d.Scelte(QStringLiteral("RegimePost95"), TZepDipendente::RegimePost95(), box);
    g->addWidget(cbRegimePost95, 4, 3);

    auto *periodo = new QHBoxLayout;
    page->addLayout(periodo);
    gbAssunzione = d.TipoGiorno(QStringLiteral(" Assunzione "), QStringLiteral("TipoAssunzione"),
                                QStringLiteral("GiornoAssunzione"), paDettaglio);
    gbCessazione = d.TipoGiorno(QStringLiteral(" Cessazione "), QStringLiteral("TipoCessazione"),
                                QStringLiteral("GiornoCessazione"), paDettaglio);
    periodo->addWidget(gbAssunzione);
    periodo->addWidget(gbCessazione);

    auto *importi = new QHBoxLayout;
    page->addLayout(importi);
    auto *boxImporti = new QWidget(paDettaglio);
    auto *gi = new QGridLayout(boxImporti);
    gi->setContentsMargins(0, 0, 0, 0);
    d.Testo(gi, 0, 0, QStringLiteral("Imponibile"), QStringLiteral("Imponibile"));
    d.Testo(gi, 1, 0, QStringLiteral("Contributo"), QStringLiteral("Contributo"));
    d.Testo(gi, 2, 0, QStringLiteral("Retribuzione ordinaria"), QStringLiteral("RetribTeorica"));
    d.Testo(gi, 3, 0, QStringLiteral("Giorni retribuiti"), QStringLiteral("GiorniRetribuiti"));
    d.Testo(gi, 4, 0, QStringLiteral("Giorni contribuiti"), QStringLiteral("GiorniContribuiti"));
    d.Testo(gi, 5, 0, QStringLiteral("Contributo solidarietà"), QStringLiteral("ContrSolidarietaSpet"));
    importi->addWidget(boxImporti);
    const auto gruppoImporti = [&](const QString &titolo, const QString &imponibile, const QString &contributo) {
        auto *group = new QGroupBox(titolo, paDettaglio);
        auto *gg = new QGridLayout(group);
        d.Testo(gg, 0, 0, QStringLiteral("Imponibile"), imponibile);
        d.Testo(gg, 1, 0, QStringLiteral("Contributo"), contributo);
        importi->addWidget(group);
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
    gbNucleo = new QGroupBox(paDettaglio);
    gbNucleo->setObjectName(QStringLiteral("gbNucleo"));
    auto *gn = new QGridLayout(gbNucleo);
    d.Testo(gn, 0, 0, QStringLiteral("Tipo nucleo familiare"), QStringLiteral("TipoANF"));
    d.Testo(gn, 1, 0, QStringLiteral("Componenti ANF"), QStringLiteral("NumANF"));
    d.Testo(gn, 2, 0, QStringLiteral("Classe ANF"), QStringLiteral("ClasseANF"));
    sotto->addWidget(gbNucleo);

    frMese = new TfrZepMeseFplsExEnpals(paDettaglio);
    page->addWidget(frMese);
    gbElimina = d.GruppoElimina(paDettaglio, chElimina);
    page->addWidget(gbElimina);
    page->addStretch(1);

    d.Ricerche(TZepFplsExEnpals::Ricerche());
    d.ColoraRigheEliminate();

    m_observer = cdsMain.addObserver([this](const platform::DataChange &change) {
        if (change.kind != platform::DataChange::Destroyed
            && (change.kind != platform::DataChange::RecordChanged || !change.field))
            dsMainDataChange();
    });
}

TfrZepFplsExEnpals::~TfrZepFplsExEnpals()
{
    cdsMain.removeObserver(m_observer);
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
        const TZepMeseFplsExEnpals::Testi testi =
            frMese->GetGiorni(dataSet.fieldByName(QStringLiteral("GiorniRetribuiti")).asInteger());
        dataSet.fieldByName(TZepMeseFplsExEnpals::CampoLavorati).setAsString(testi.lavorati);
        dataSet.fieldByName(TZepMeseFplsExEnpals::CampoCopertura).setAsString(testi.copertura);
    }
    TZepDipendente::PrimaDelPost(dataSet);
}

void TfrZepFplsExEnpals::cdsMainNewRecord(DataSet &dataSet)
{
    TZepDipendente::NuovaRiga(dataSet);
}
