#include "ZepFAnnoMese.h"

#include "Exceptions.h"
#include "UqMessages.h"
#include "ZepCFormeCampi.h"
#include "ZepFParam.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

TfmZepAnnoMese::TfmZepAnnoMese(QWidget *owner) : TfmUqDialog(owner)
{
    setObjectName(QStringLiteral("fmZepAnnoMese"));
    setWindowTitle(QStringLiteral("Anno Mese erogazione"));
    auto *form = new QFormLayout;
    CreaCampiAnnoMese(paClient, form, deAnnoFin, cbMesi);
    ClientLayout()->addLayout(form);
}

void TfmZepAnnoMese::SetPeriodo(const QString &periodo)
{
    deAnnoFin->setText(periodo.left(4));
    bool ok = false;
    const int mese = periodo.mid(5, 2).toInt(&ok);
    cbMesi->setCurrentIndex(ok && mese >= 1 && mese <= 12 ? mese - 1 : 0);
}

QString TfmZepAnnoMese::Periodo() const
{
    return QString::number(TZepParametri::AnnoDaTesto(deAnnoFin->text())) + QLatin1Char('-')
           + QString::asprintf("%.2d", qMax(0, cbMesi->currentIndex()) + 1);
}

bool TfmZepAnnoMese::Execute(QString &periodo)
{
    TfmZepAnnoMese dialog; // owned by the application: no parent window
    dialog.SetPeriodo(periodo);
    if (dialog.ShowModal() != mrOk)
        return false;
    periodo = dialog.Periodo();
    return true;
}

bool TfmZepAnnoMese::CanClose(int result)
{
    if (result != mrOk)
        return true;
    // Four digits: "20" or "0202" would make a period of no year.
    const QString anno = deAnnoFin->text().trimmed();
    if (anno.isEmpty() || !TZepFormeCampi::Problema({TZepFormeCampi::Forma::Anno}, anno).isEmpty()) {
        UqShowException(EUqError(QStringLiteral("Anno finanziario non corretto")));
        return false;
    }
    return true;
}
