#include "wunFTabCCNL.h"

#include "wunCTabCCNL.h"
#include "wunUCalcoli.h"

#include "Database.h"
#include "EnumerationCombo.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

TfmWunTabCCNL::TfmWunTabCCNL(QWidget *owner) : TfmUqDialog(owner)
{
    setObjectName(QStringLiteral("fmWunTabCCNL"));
    setWindowTitle(TWunTabCCNL::Titolo);
    auto *modulo = new QFormLayout;
    laTabelle = new QLabel(TWunTabCCNL::EtichettaTabelle, paClient);
    cbTabelle = new QComboBox(paClient);
    cbTabelle->setObjectName(QStringLiteral("cbTabelle"));
    cbTabelle->setMinimumWidth(300);
    modulo->addRow(laTabelle, cbTabelle);
    ClientLayout()->addLayout(modulo);
}

int TfmWunTabCCNL::Execute(bool forza, const platform::EnumItems &tabelle)
{
    int scelta = WunCCNL().TabellaForzata();
    if (!TWunTabCCNL::DaMostrare(forza, scelta))
        return scelta;
    TfmWunTabCCNL dialogo;
    const platform::EnumItems elenco = TWunTabCCNL::Elenco(tabelle, platform::Database::requireGlobal());
    platform::fillComboBox(*dialogo.cbTabelle, elenco);
    dialogo.cbTabelle->setCurrentIndex(TWunTabCCNL::Indice(elenco, scelta));
    dialogo.cbTabelle->setMaxVisibleItems(qMax(1, int(elenco.size())));
    if (dialogo.ShowModal() == mrOk)
        scelta = int(platform::comboBoxId(*dialogo.cbTabelle));
    return scelta;
}
