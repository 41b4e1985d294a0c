#include "RecordingDialogs.h"

#include <QDialog>

int runRecordedDialog(RecordingServices &services, QDialog &dialog)
{
    RecordingServices::DialogRun run;
    run.className = QString::fromLatin1(dialog.metaObject()->className());
    run.title = dialog.windowTitle();
    if (auto handler = services.takeDialogHandler()) {
        run.result = handler(dialog);
        dialog.setResult(run.result);
    } else {
        dialog.reject();
        run.result = QDialog::Rejected;
    }
    services.recordDialog(run);
    return run.result;
}
