#pragma once
// The wizard "Importa dati per UniEMens iscritti Fpls (Ex Enpals)" that the
// command "Importa iscritti FPLS" shows before the performing-arts import:
// one page (path "1", tsMeseComp) with the month, the municipality of work,
// the contribution type, the company's FPLS number and the declarant box.
// The rules are TZepWizFplsExEnpals's (zepCWizFplsExEnpals.h); the window
// mirrors them and offers the code table's search for the contribution type.
#include "import/ui/wunFWizard.h"

#include "zepCWizFplsExEnpals.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

class TfmZepWizFplsExEnpals : public TfmwunWizard {
    Q_OBJECT
public:
    static const QString NomeClasse; // "TfmZepWizFplsExEnpals"

    explicit TfmZepWizFplsExEnpals(QWidget *owner = nullptr);

    TZepWizFplsExEnpals &Logica() const { return static_cast<TZepWizFplsExEnpals &>(TfmwunWizard::Logica()); }

    QComboBox *cbMesi;        // "Mese" (disabled)
    QLineEdit *edComune;      // "Codice comune di lavoro"
    QLineEdit *ceContr;       // "Tipo contribuzione"
    QToolButton *buContr;     // its pick button
    QLineEdit *EdMatAzienda;  // "Matricola azienda"
    QCheckBox *chDichiarante; // "Importa dati amministrazione o ente dichiarante"

    // The user picks a contribution type from the code table.
    void ceContrButtonClick();
    // The controls take the rules' page.
    void MostraPagina();

    static void RegisterClass();
    static void UnregisterClass();

protected:
    void PageChanged(QWidget *page) override;
};
