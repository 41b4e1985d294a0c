#include "ZepRCollaboratore.h"

#include "DBControls.h"

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
    d.Testo(g, 0, 0, QStringLiteral("Codice Fiscale"), QStringLiteral("CFCollaboratore"));
    d.Testo(g, 1, 0, QStringLiteral("Cognome"), QStringLiteral("Cognome"));
    d.Testo(g, 1, 2, QStringLiteral("Nome"), QStringLiteral("Nome"));
    d.Testo(g, 2, 0, QStringLiteral("Tipo rapporto"), QStringLiteral("TipoRapporto"));
    d.Testo(g, 2, 2, QStringLiteral("Codice attività"), QStringLiteral("CodiceAttivita"));
    d.Testo(g, 3, 0, QStringLiteral("Imponibile"), QStringLiteral("Imponibile"));
    d.Testo(g, 3, 2, QStringLiteral("Aliquota (x 100)"), QStringLiteral("Aliquota"));
    d.Testo(g, 4, 0, QStringLiteral("Altre assicurazioni"), QStringLiteral("AltraAss"));
    d.Testo(g, 5, 0, QStringLiteral("Dal"), QStringLiteral("Dal"));
    d.Testo(g, 5, 2, QStringLiteral("Al"), QStringLiteral("Al"));
    d.Testo(g, 6, 0, QStringLiteral("Importo agevolazione"), QStringLiteral("ImpAgevolazione"));
    d.Testo(g, 6, 2, QStringLiteral("Tipo agevolazione"), QStringLiteral("TipoAgevolazione"));
    lbAgevolazione = TZepDettaglio::Etichetta(TZepCollaboratore::SuggerimentoAgevolazione, g->parentWidget());
    lbAgevolazione->setObjectName(QStringLiteral("lbAgevolazione"));
    g->addWidget(lbAgevolazione, 6, 4);
    d.Testo(g, 7, 0, QStringLiteral("Comune di lavoro"), QStringLiteral("CodiceComune"));
    d.Testo(g, 8, 0, QStringLiteral("Codice calamità"), QStringLiteral("CodCalamita"));
    d.Testo(g, 8, 2, QStringLiteral("Codice certificazione"), QStringLiteral("CodCertificazione"));

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
