#include "ZepRDmaBase.h"

#include "DBControls.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

TfrQuvBase::TfrQuvBase(QWidget *parent) : TfrZepDatiDenuncia(parent) {}

QVBoxLayout *TfrQuvBase::Pagina(QTabWidget *pagine, const QString &titolo, const QString &nome)
{
    auto *area = new QScrollArea;
    area->setObjectName(nome);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto *contenuto = new QWidget;
    area->setWidget(contenuto);
    pagine->addTab(area, titolo);
    return new QVBoxLayout(contenuto);
}

void TfrQuvBase::Titolo(QVBoxLayout *colonna, const QString &testo)
{
    auto *label = new QLabel(testo);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    colonna->addWidget(label);
}

void TfrQuvBase::Campi(QVBoxLayout *colonna, const QList<TQuvCampo> &campi, const QString &titolo, int perRiga)
{
    QGridLayout *grid = nullptr;
    if (titolo.isEmpty())
        grid = TZepDettaglio::Riquadro(colonna, colonna->parentWidget());
    else
        TZepDettaglio::Gruppo(titolo, colonna, colonna->parentWidget(), grid);
    for (int i = 0; i < campi.size(); ++i)
        Dettaglio->Testo(grid, i / perRiga, (i % perRiga) * 2, campi[i].first, campi[i].second);
    grid->setColumnStretch(perRiga * 2, 1);
}

void TfrQuvBase::AbilitaEdit(platform::DBEdit *edit, bool abilitato)
{
    edit->SetAlwaysReadOnly(!abilitato);
    edit->setFocusPolicy(abilitato ? Qt::StrongFocus : Qt::NoFocus);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, QApplication::palette().color(abilitato ? QPalette::Base : QPalette::Button));
    edit->setPalette(palette);
}
