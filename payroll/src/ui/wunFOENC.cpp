#include "wunFOENC.h"

#include "Field.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

TfmwunOENC::TfmwunOENC(QWidget *owner) : TfmUqDialog(owner)
{
    setObjectName(QStringLiteral("fmwunOENC"));
    setWindowTitle(QStringLiteral("Ore eccedenti non cattedra"));
    auto *form = new QFormLayout;
    auto campo = [&](QLineEdit *&edit, const char *nome, const char *etichetta) {
        edit = new QLineEdit(paClient);
        edit->setObjectName(QLatin1String(nome));
        edit->setReadOnly(true);
        edit->setAlignment(Qt::AlignRight);
        form->addRow(QString::fromUtf8(etichetta), edit);
    };
    campo(edGiorni, "edGiorni", "Giorni");
    campo(edOre, "edOre", "Ore");
    campo(edSost, "edSost", "Ore sost.");
    campo(edIntero, "edIntero", "Orario intero");
    campo(edRapp, "edRapp", "Orario rapp.");
    campo(edTot, "edTot", "Totale");
    campo(EdOe, "EdOe", "Ore ecc.");
    ClientLayout()->addLayout(form);
    buCancel->hide(); // for information only
}

void TfmwunOENC::Mostra(const TWunOreNonCattedra &v)
{
    using platform::formatNumber;
    edGiorni->setText(QString::number(v.Giorni));
    edOre->setText(formatNumber(QStringLiteral("0"), v.Ore));
    edSost->setText(formatNumber(QStringLiteral("0"), v.OreSostituzione));
    edIntero->setText(formatNumber(QStringLiteral("0.00"), v.OrarioIntero));
    edRapp->setText(formatNumber(QStringLiteral("0.00"), v.OrarioRapporto));
    edTot->setText(formatNumber(QStringLiteral("0.00"), v.Totale));
    EdOe->setText(formatNumber(QStringLiteral("0.00"), v.OreEccedenti));
}

void TfmwunOENC::Execute(const TWunOreNonCattedra &valori)
{
    TfmwunOENC dialogo;
    dialogo.Mostra(valori);
    dialogo.ShowModal();
}

void TfmwunOENC::Installa()
{
    TwunCalcolaFond::OnOreNonCattedra = [](const TWunOreNonCattedra &valori) { Execute(valori); };
}

void TfmwunOENC::Disinstalla()
{
    TwunCalcolaFond::OnOreNonCattedra = nullptr;
}
