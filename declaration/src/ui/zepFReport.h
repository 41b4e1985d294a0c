#pragma once
// The declaration print ("Denuncia", TZepReport in zepCReport.h): a form
// the program makes at start-up and keeps for the whole run; its print
// operation loads the working month's declaration, shows it in the print
// preview (zoom, page setup, print; a PDF through the printer dialog's
// "Print to file") and closes what it loaded.
//
// The preview is also the one the other prints show (Anteprima).
#include <QWidget>
#include <functional>

struct TZepStampa;

class TfmZepReport : public QWidget {
    Q_OBJECT
public:
    explicit TfmZepReport(QWidget *owner = nullptr);

    // The print operation (hourglass while loading); errors are shown.
    void Stampa();

    // Shows a print in the print preview of Qt, modally. Replaceable: the
    // tests look at what would be shown.
    static std::function<void(const TZepStampa &stampa, QWidget *owner)> Anteprima;
    static void AnteprimaQt(const TZepStampa &stampa, QWidget *owner);
};
