#include "ZepRCollaboratore.h"

#include "DBControls.h"
#include "ZepULayoutNomi.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

using platform::DataSet;

TfrZepCollaboratore::TfrZepCollaboratore(QWidget *parent) : TfrZepDatiDenuncia(parent)
{
    setObjectName(QStringLiteral("frZepCollaboratore"));
    TZepDettaglio &d = *Dettaglio;
    auto *page = new QVBoxLayout(paDettaglio);
    QGridLayout *g = TZepDettaglio::Riquadro(page, paDettaglio);
    d.Testo(g, 0, 0, QStringLiteral("Codice Fiscale"), layouts::TEMC_COLLABORATORI::CFCollaboratore);
    d.Testo(g, 1, 0, QStringLiteral("Cognome"), layouts::TEMC_COLLABORATORI::Cognome);
    d.Testo(g, 1, 2, QStringLiteral("Nome"), layouts::TEMC_COLLABORATORI::Nome);
    d.Testo(g, 2, 0, QStringLiteral("Tipo rapporto"), layouts::TEMC_COLLABORATORI::TipoRapporto);
    d.Testo(g, 2, 2, QStringLiteral("Codice attività"), layouts::TEMC_COLLABORATORI::CodiceAttivita);
    d.Testo(g, 3, 0, QStringLiteral("Imponibile"), layouts::TEMC_COLLABORATORI::Imponibile);
    d.Testo(g, 3, 2, QStringLiteral("Aliquota (x 100)"), layouts::TEMC_COLLABORATORI::Aliquota);
    d.Testo(g, 4, 0, QStringLiteral("Altre assicurazioni"), layouts::TEMC_COLLABORATORI::AltraAss);
    d.Testo(g, 5, 0, QStringLiteral("Dal"), layouts::TEMC_COLLABORATORI::Dal);
    d.Testo(g, 5, 2, QStringLiteral("Al"), layouts::TEMC_COLLABORATORI::Al);
    d.Testo(g, 6, 0, QStringLiteral("Importo agevolazione"), layouts::TEMC_COLLABORATORI::ImpAgevolazione);
    d.Testo(g, 6, 2, QStringLiteral("Tipo agevolazione"), layouts::TEMC_COLLABORATORI::TipoAgevolazione);
    lbAgevolazione = TZepDettaglio::Etichetta(TZepCollaboratore::SuggerimentoAgevolazione, g->parentWidget());
    lbAgevolazione->setObjectName(QStringLiteral("lbAgevolazione"));
    g->addWidget(lbAgevolazione, 6, 4);
    d.Testo(g, 7, 0, QStringLiteral("Comune di lavoro"), layouts::TEMC_COLLABORATORI::CodiceComune);
    d.Testo(g, 8, 0, QStringLiteral("Codice calamità"), layouts::TEMC_COLLABORATORI::CodCalamita);
    d.Testo(g, 8, 2, QStringLiteral("Codice certificazione"), layouts::TEMC_COLLABORATORI::CodCertificazione);

    gbElimina = d.GruppoElimina(paDettaglio, chElimina);
    page->addWidget(gbElimina);
    page->addStretch(1);

    d.Ricerche(TZepCollaboratore::Ricerche());
    d.ColoraRigheEliminate();
}

void TfrZepCollaboratore::Prepara()
{
    TfrZepDatiDenuncia::Prepara();
    cdsMain.setIndexFieldNames(TZepCollaboratore::IndiceFrame);
}

void TfrZepCollaboratore::cdsMainBeforePost(DataSet &dataSet)
{
    TfrZepDatiDenuncia::cdsMainBeforePost(dataSet);
    TZepCollaboratore::PrimaDelPost(dataSet);
}

void TfrZepCollaboratore::cdsMainNewRecord(DataSet &dataSet)
{
    TZepCollaboratore::NuovaRiga(dataSet);
}
