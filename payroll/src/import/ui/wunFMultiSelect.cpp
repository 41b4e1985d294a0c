#include "import/ui/wunFMultiSelect.h"

#include "DataSet.h"
#include "Services.h"

#include <QLabel>

TfmwunMultiSelect::TfmwunMultiSelect(QWidget *owner) : TfmUqMultiSelect(owner)
{
    setWindowTitle(QString());
    connect(this, &TfmUqMultiSelect::SelectionChanged, this, &TfmwunMultiSelect::AggiornaConteggio);
}

void TfmwunMultiSelect::AggiornaConteggio()
{
    const int righe = DataSet() && DataSet()->isActive() ? DataSet()->recordCount() : 0;
    paInfo->setText(QStringLiteral("Prenotati: %1").arg(SelectedCount() > 0 ? SelectedCount() : righe));
}

void TfmwunMultiSelect::showEvent(QShowEvent *event)
{
    platform::WaitCursor cursore;
    TfmUqMultiSelect::showEvent(event);
    AggiornaConteggio();
}
