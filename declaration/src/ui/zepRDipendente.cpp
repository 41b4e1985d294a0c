#include "zepRDipendente.h"

#include "ZepUUtil.h"
#include "zepRMese.h"

#include "DBControls.h"
#include "ZepULayoutNomi.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using platform::DataSet;
using platform::DBEdit;

TfrZepDipendente::TfrZepDipendente(QWidget *parent) : TfrZepDatiDenuncia(parent)
{
    setObjectName(QStringLiteral("frZepDipendente"));
    TZepDettaglio &d = *Dettaglio;
    auto *page = new QVBoxLayout(paDettaglio);

    // The person, the position and the contract; hiring and termination.
    QGridLayout *ga = TZepDettaglio::Riquadro(page, paDettaglio);
    d.Lavoratore(ga);
    d.Testo(ga, 3, 2, QStringLiteral("Statistiche lavoratore"), layouts::TEMD_DIPENDENTI::TipoLavStat);
    d.Testo(ga, 3, 4, QStringLiteral("Unità Operativa"), layouts::TEMD_DIPENDENTI::UnitaOperativa);
    d.AssunzioneCessazione(page, paDettaglio, gbAssunzione, gbCessazione);

    // Pay, days and hours; the weeks beside them.
    auto *mezzo = new QHBoxLayout;
    page->addLayout(mezzo);
    QGridLayout *gi = TZepDettaglio::Riquadro(mezzo, paDettaglio);
    QWidget *importi = gi->parentWidget();
    d.Testo(gi, 0, 0, QStringLiteral("Imponibile"), layouts::TEMD_DIPENDENTI::Imponibile);
    d.Testo(gi, 1, 0, QStringLiteral("Contributo"), layouts::TEMD_DIPENDENTI::Contributo);
    d.Testo(gi, 2, 0, QStringLiteral("Retribuzione teorica"), layouts::TEMD_DIPENDENTI::RetribTeorica);
    d.Testo(gi, 3, 0, QStringLiteral("Giorni retribuiti"), layouts::TEMD_DIPENDENTI::GiorniRetribuiti);
    d.Testo(gi, 4, 0, QStringLiteral("Giorni contribuiti"), layouts::TEMD_DIPENDENTI::GiorniContribuiti);
    d.Testo(gi, 5, 0, QStringLiteral("Ore contribuite"), layouts::TEMD_DIPENDENTI::OreContribuite);
    d.Testo(gi, 6, 0, QStringLiteral("Settimane utili"), layouts::TEMD_DIPENDENTI::SettimaneUtili);
    d.Testo(gi, 0, 2, QStringLiteral("Orario contrattuale\n(in centesimi: 18h=1800)"),
            layouts::TEMD_DIPENDENTI::OrarioContrattuale);
    d.Testo(gi, 1, 2, QStringLiteral("Percentuale part-time\n(in centesimi: 50%=5000)"),
            layouts::TEMD_DIPENDENTI::PercPartTime);
    d.Testo(gi, 2, 2, QStringLiteral("Numero mensilità\n(in millesimi: 13=13000)"),
            layouts::TEMD_DIPENDENTI::NumMensilita);
    d.Testo(gi, 3, 2, QStringLiteral("Tipo nucleo familiare"), layouts::TEMD_DIPENDENTI::TipoANF);
    d.Testo(gi, 4, 2, QStringLiteral("Componenti ANF"), layouts::TEMD_DIPENDENTI::NumANF);
    d.Testo(gi, 5, 2, QStringLiteral("Classe ANF"), layouts::TEMD_DIPENDENTI::ClasseANF);
    gi->addWidget(TZepDettaglio::Etichetta(QStringLiteral("Regime contributivo (dopo 1995)"), importi), 6, 2);
    cbRegimePost95 = d.Scelte(layouts::TEMD_DIPENDENTI::RegimePost95, TZepDipendente::RegimePost95(), importi);
    gi->addWidget(cbRegimePost95, 6, 3);

    QGridLayout *gs = nullptr;
    gbSettimane = TZepDettaglio::Gruppo(QStringLiteral(" Settimane "), mezzo, paDettaglio, gs);
    gbSettimane->setObjectName(QStringLiteral("gbSettimane"));
    gs->addWidget(TZepDettaglio::Etichetta(QStringLiteral("Prog."), gbSettimane), 0, 0);
    gs->addWidget(TZepDettaglio::Etichetta(QStringLiteral("Ultimo giorno"), gbSettimane), 0, 1);
    gs->addWidget(TZepDettaglio::Etichetta(QStringLiteral("Contribuz."), gbSettimane), 0, 2);
    for (int i = 1; i <= 6; ++i) {
        gs->addWidget(d.Casella(QStringLiteral("IdSettimana_%1").arg(i), gbSettimane), i, 0);
        DBEdit *fino = d.Casella(QStringLiteral("SettFinoA_%1").arg(i), gbSettimane);
        fino->SetAlwaysReadOnly(true);
        gs->addWidget(fino, i, 1);
        gs->addWidget(d.Casella(QStringLiteral("TipoCopertura_%1").arg(i), gbSettimane), i, 2);
    }

    rgRispettoMinimale = d.Opzioni(QStringLiteral(" Rispetto Minimale "), layouts::TEMD_DIPENDENTI::RispettoMinimale,
                                   TZepDipendente::RispettoMinimale(), paDettaglio);
    page->addWidget(rgRispettoMinimale);

    frMese = new TfrZepMese(paDettaglio);
    page->addWidget(frMese);
    gbElimina = d.GruppoElimina(paDettaglio, chElimina);
    page->addWidget(gbElimina);

    // The 2022 bonus and the IVS exemptions.
    auto *speciali = new QHBoxLayout;
    page->addLayout(speciali);
    QGridLayout *gb = nullptr;
    // Titled by the month when shown; the title names its boxes in messages.
    gbBonus = TZepDettaglio::Gruppo(QStringLiteral(" Bonus 2022 "), speciali, paDettaglio, gb);
    gbBonus->setObjectName(QStringLiteral("gbBonus"));
    d.Testo(gb, 0, 0, QStringLiteral("Importo"), layouts::TEMD_DIPENDENTI::BonusUTImporto);
    edBonusUTMese = d.Testo(gb, 1, 0, QStringLiteral("Mese"), layouts::TEMD_DIPENDENTI::BonusUTMese);
    edBonusUTBaseRif = d.Testo(gb, 2, 0, QStringLiteral("Riferimento base"), layouts::TEMD_DIPENDENTI::BonusUTBaseRif);
    lbBonusUTBaseRif = qobject_cast<QLabel *>(gb->itemAtPosition(2, 0)->widget());
    const auto gruppoEsonero = [&](const QString &titolo, const QString &suffisso) {
        QGridLayout *g = nullptr;
        QGroupBox *group = TZepDettaglio::Gruppo(titolo, speciali, paDettaglio, g);
        d.Testo(g, 0, 0, QStringLiteral("Importo"), QStringLiteral("EsoneroIVS%1Importo").arg(suffisso));
        d.Testo(g, 1, 0, QStringLiteral("Causale"), QStringLiteral("EsoneroIVS%1CodiceCausale").arg(suffisso));
        d.Testo(g, 2, 0, QStringLiteral("Riferimento base"), QStringLiteral("EsoneroIVS%1BaseRif").arg(suffisso));
        return group;
    };
    gbEsoneroIVS = gruppoEsonero(QStringLiteral(" Esonero IVS stipendio "), QString());
    gbEsoneroIVS13 = gruppoEsonero(QStringLiteral(" Esonero IVS 13ma"), QStringLiteral("13"));
    page->addStretch(1);

    d.Ricerche(TZepDipendente::Ricerche());
    d.ColoraRigheEliminate();
    gbBonus->hide();
}

void TfrZepDipendente::Prepara()
{
    TfrZepDatiDenuncia::Prepara();
    cdsMain.setIndexFieldNames(TZepDipendente::IndiceFrame);
    // Before 2011 the grid is hidden, the Elimina group takes its place, and
    // the stored day codes are left as they are.
    m_griglia = DenunciaDal2011();
    if (m_griglia)
        frMese->Inizializza(&cdsMain);
    frMese->setVisible(m_griglia);
    dsMainDataChange();
}

void TfrZepDipendente::cdsMainBeforePost(DataSet &dataSet)
{
    TfrZepDatiDenuncia::cdsMainBeforePost(dataSet);
    TZepDipendente::PrimaDelPost(dataSet);
}

void TfrZepDipendente::cdsMainNewRecord(DataSet &dataSet)
{
    TZepDipendente::NuovaRiga(dataSet);
}

void TfrZepDipendente::dsMainDataChange()
{
    gbBonus->hide();
    const TZepDipendente::GruppoBonus bonus = TZepDipendente::Bonus(AnnoDenuncia, MeseDenuncia);
    if (!bonus.visibile)
        return;
    gbBonus->setTitle(bonus.titolo);
    edBonusUTMese->SetAlwaysReadOnly(!bonus.meseModificabile);
    lbBonusUTBaseRif->setVisible(bonus.riferimentoVisibile);
    edBonusUTBaseRif->setVisible(bonus.riferimentoVisibile);
    gbBonus->show();
}
