#include "WunFCalendario.h"

#include "DataSetModel.h"
#include "Field.h"
#include "Services.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TfmWunCalendario::TfmWunCalendario(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("fmWunCalendario"));
    auto *layout = new QVBoxLayout(this);
    caCalendario = new QCalendarWidget(this);
    caCalendario->setObjectName(QStringLiteral("caCalendario"));
    layout->addWidget(caCalendario);
    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch(1);
    buOk = new QPushButton(QStringLiteral("OK"), this);
    buOk->setDefault(true);
    buAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    pulsanti->addWidget(buOk);
    pulsanti->addWidget(buAnnulla);
    layout->addLayout(pulsanti);
    connect(buOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(buAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(caCalendario, &QCalendarWidget::activated, this, [this] { DoppioClic(); });
    connect(caCalendario, &QCalendarWidget::currentPageChanged, this, [this] { m_regole.Registra(Orologio()); });
    auto orologio = std::make_shared<QElapsedTimer>();
    orologio->start();
    Orologio = [orologio] { return orologio->elapsed(); };
}

void TfmWunCalendario::showEvent(QShowEvent *event)
{
    m_regole.Registra(Orologio());
    QDialog::showEvent(event);
}

void TfmWunCalendario::DoppioClic()
{
    if (m_regole.DoppioClicValido(Orologio()))
        accept();
}

int TfmWunCalendario::Esegui(platform::Field &campo, const QDate &predefinita, const QPoint &angoloGriglia,
                             const QRect &schermo)
{
    caCalendario->setSelectedDate(TWunCalendario::DataIniziale(&campo, predefinita, QDate::currentDate()));
    adjustSize();
    move(TWunCalendario::Posizione(angoloGriglia, size(), schermo));
    // The navigation to the opening month counts as the first month change.
    m_regole.Registra(Orologio());
    const int esito = platform::Services::instance().execDialog(*this);
    if (esito == QDialog::Accepted)
        TWunCalendario::Applica(campo, caCalendario->selectedDate());
    return esito;
}

int TfmWunCalendario::Execute(QAbstractItemView &griglia, const QDate &predefinita)
{
    const auto *modello = qobject_cast<const platform::DataSetModel *>(griglia.model());
    platform::Field *campo = modello ? modello->fieldAt(griglia.currentIndex().column()) : nullptr;
    if (!campo)
        return QDialog::Rejected;
    TfmWunCalendario dialogo;
    const QRect schermo = griglia.screen() ? griglia.screen()->availableGeometry() : QRect();
    return dialogo.Esegui(*campo, predefinita, griglia.mapToGlobal(QPoint(0, 0)), schermo);
}
