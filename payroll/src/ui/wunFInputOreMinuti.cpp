#include "wunFInputOreMinuti.h"

#include "wunCInputOreMinuti.h"

#include <QLineEdit>

TfmWunInputOreMinuti::TfmWunInputOreMinuti(QWidget *owner) : TfmUqDialog(owner)
{
    setObjectName(QStringLiteral("fmWunInputOreMinuti"));
    setWindowTitle(TWunInputOreMinuti::Titolo);
    mdOre = new QLineEdit(paClient);
    mdOre->setObjectName(QStringLiteral("mdOre"));
    mdOre->setInputMask(TWunInputOreMinuti::Maschera);
    mdOre->setMaxLength(5);
    ClientLayout()->addWidget(mdOre);
}

int TfmWunInputOreMinuti::Execute(platform::Field &campo)
{
    TfmWunInputOreMinuti dialogo;
    dialogo.mdOre->setText(TWunInputOreMinuti::TestoIniziale(campo));
    const int esito = dialogo.ShowModal();
    if (esito == mrOk)
        TWunInputOreMinuti::Applica(campo, dialogo.mdOre->text());
    return esito;
}
