#include "zepRMittente.h"

#include "DBControls.h"
#include "Exceptions.h"
#include "ZepULayoutNomi.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

using platform::DataSet;

TfrZepMittente::TfrZepMittente(QWidget *parent) : TfrZepDatiDenuncia(parent)
{
    setObjectName(QStringLiteral("frZepMittente"));
    // A single form: the detail page alone, no tab captions.
    pcMain->setCurrentWidget(tsDetail);
    pcMain->setTabVisible(pcMain->indexOf(tsGrid), false);
    pcMain->tabBar()->hide();

    TZepDettaglio &d = *Dettaglio;
    auto *page = new QVBoxLayout(paDettaglio);
    QGridLayout *g = TZepDettaglio::Riquadro(page, paDettaglio);
    d.Testo(g, 0, 0, QStringLiteral("Codice fiscale del soggetto (persona fisica) abilitato alla trasmissione"),
            layouts::TAMM_AMMINISTRAZIONE::CFPersonaMittente);
    d.Testo(g, 1, 0, QStringLiteral("Codice fiscale mittente"), layouts::TAMM_AMMINISTRAZIONE::CFMittente);
    d.Testo(g, 2, 0, QStringLiteral("Ragione sociale mittente"), layouts::TAMM_AMMINISTRAZIONE::RagSocMittente);
    d.Testo(g, 3, 0, QStringLiteral("Sede INPS"), layouts::TAMM_AMMINISTRAZIONE::SedeINPS);
    d.Testo(g, 4, 0, QStringLiteral("Codice fiscale amministrazione"), layouts::TAMM_AMMINISTRAZIONE::CFAzienda);
    d.Testo(g, 5, 0, QStringLiteral("Denominazione amministrazione"), layouts::TAMM_AMMINISTRAZIONE::RagSocAzienda);

    QGridLayout *gl = nullptr;
    gbSedeLavoro = TZepDettaglio::Gruppo(QStringLiteral(" Altri dati sede di lavoro "), page, paDettaglio, gl);
    gbSedeLavoro->setObjectName(QStringLiteral("gbSedeLavoro"));
    d.Testo(gl, 0, 0, QStringLiteral("Codice COP"), layouts::TAMM_AMMINISTRAZIONE::CodiceComune);
    d.Testo(gl, 0, 2, QStringLiteral("Comune"), layouts::TAMM_AMMINISTRAZIONE::Comune);
    d.Testo(gl, 0, 4, QStringLiteral("Provincia"), layouts::TAMM_AMMINISTRAZIONE::Provincia);
    d.Testo(gl, 1, 0, QStringLiteral("Forma giuridica"), layouts::TAMM_AMMINISTRAZIONE::FormaGiuridica);
    edCodiceINPDAP = d.Testo(gl, 1, 2, QStringLiteral("Codice INPDAP"), layouts::TAMM_AMMINISTRAZIONE::CodiceINPDAP);
    d.Testo(gl, 2, 0, QStringLiteral("CAP"), layouts::TAMM_AMMINISTRAZIONE::CAP);
    d.Testo(gl, 2, 2, QStringLiteral("Codice ISTAT/Ateco"), layouts::TAMM_AMMINISTRAZIONE::ISTAT);

    QGridLayout *gs = nullptr;
    gbSedeServizio = TZepDettaglio::Gruppo(QStringLiteral(" Sede di servizio"), page, paDettaglio, gs);
    gbSedeServizio->setObjectName(QStringLiteral("gbSedeServizio"));
    d.Testo(gs, 0, 0, QStringLiteral("Codice INPDAP"), layouts::TAMM_AMMINISTRAZIONE::SS_CodiceINPDAP);
    d.Testo(gs, 1, 0, QStringLiteral("Codice fiscale sede"), layouts::TAMM_AMMINISTRAZIONE::SS_CFAzienda);
    d.Testo(gs, 2, 0, QStringLiteral("Denominazione sede"), layouts::TAMM_AMMINISTRAZIONE::SS_RagSocAzienda);

    QGridLayout *ge = nullptr;
    gbEnte = TZepDettaglio::Gruppo(QStringLiteral(" Ente di appartenenza"), page, paDettaglio, ge);
    gbEnte->setObjectName(QStringLiteral("gbEnte"));
    d.Testo(ge, 0, 0, QStringLiteral("Forma giuridica"), layouts::TAMM_AMMINISTRAZIONE::EA_FormaGiuridica);
    d.Testo(ge, 0, 2, QStringLiteral("Codice INPDAP"), layouts::TAMM_AMMINISTRAZIONE::EA_CodiceINPDAP);
    d.Testo(ge, 1, 0, QStringLiteral("Codice ISTAT/Ateco"), layouts::TAMM_AMMINISTRAZIONE::EA_ISTAT);
    d.Testo(ge, 2, 0, QStringLiteral("Codice fiscale ente"), layouts::TAMM_AMMINISTRAZIONE::EA_CFAzienda);
    d.Testo(ge, 3, 0, QStringLiteral("Denominazione ente"), layouts::TAMM_AMMINISTRAZIONE::EA_RagSocAzienda);
    page->addStretch(1);

    d.Ricerche(TZepMittente::Ricerche());
    gbSedeServizio->hide();
    gbEnte->hide();
    connect(edCodiceINPDAP, &QLineEdit::textChanged, this, &TfrZepMittente::edCodiceINPDAPChange);
    cdsMain.events().beforeInsert = [this](DataSet &ds) { cdsMainBeforeInsert(ds); };
}

void TfrZepMittente::edCodiceINPDAPChange(const QString &text)
{
    const bool visibili = TZepMittente::GruppiPubblicaAmministrazione(text);
    gbEnte->setVisible(visibili);
    gbSedeServizio->setVisible(visibili);
    repaint();
}

void TfrZepMittente::cdsMainBeforeInsert(DataSet &dataSet)
{
    if (!TZepMittente::InserimentoAmmesso(dataSet))
        throw platform::EAbort();
}

void TfrZepMittente::cdsMainBeforePost(DataSet &dataSet)
{
    TfrZepDatiDenuncia::cdsMainBeforePost(dataSet);
    TZepMittente::PrimaDelPost(dataSet);
}

void TfrZepMittente::cdsMainBeforeDelete(DataSet &)
{
    throw platform::EAbort();
}

void TfrZepMittente::cdsMainAfterDelete(DataSet &) {}
