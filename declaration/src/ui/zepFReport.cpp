#include "zepFReport.h"

#include "Services.h"
#include "UqMessages.h"
#include "WindowGeometry.h"
#include "ZepUMainState.h"
#include "zepCReport.h"
#include "zepUStampa.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>

std::function<void(const TZepStampa &, QWidget *)> TfmZepReport::Anteprima = &TfmZepReport::AnteprimaQt;

TfmZepReport::TfmZepReport(QWidget *owner) : QWidget(owner)
{
    setObjectName(QStringLiteral("fmZepReport"));
    setWindowTitle(QStringLiteral("Denuncia"));
    hide();
}

void TfmZepReport::Stampa()
{
    try {
        TZepStampa stampa;
        {
            platform::WaitCursor attesa;
            stampa = TZepReport::StampaDenuncia(IZepMainState::Require(this));
        }
        // Over the window the command was chosen in.
        Anteprima(stampa, parentWidget() ? parentWidget() : QApplication::activeWindow());
    } catch (const std::exception &e) {
        UqShowException(e);
    }
}

void TfmZepReport::AnteprimaQt(const TZepStampa &stampa, QWidget *owner)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 10, 12, 10),
                                      QPageLayout::Millimeter));
    printer.setDocName(stampa.titolo);
    printer.setCreator(stampa.programma);
    QPrintPreviewDialog anteprima(&printer, owner);
    anteprima.setWindowTitle(stampa.titolo + QStringLiteral(" - Anteprima di stampa"));
    // A page at a readable size, within the screen's available area.
    platform::fitToScreen(anteprima, QSize(900, 1000));
    QString errore;
    QObject::connect(&anteprima, &QPrintPreviewDialog::paintRequested, &anteprima, [&](QPrinter *p) {
        try {
            TZepStampaRender::Disegna(stampa, *p);
        } catch (const std::exception &e) {
            errore = QString::fromUtf8(e.what());
        }
    });
    anteprima.exec();
    if (!errore.isEmpty())
        UqShowError(errore);
}
