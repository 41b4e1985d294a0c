#pragma once
// The wizard "Importa dati per EMens" (OK "Importa") that the "Importa"
// command shows before the private-sector import: one page, tsMeseComp,
// along the path "1". Its rules are TZepWiz's (ZepCWiz.h): the controls
// show the rules' state and hand every change to them; OK writes the import
// parameters and the company numbers, Cancel drops the company row's edit.
#include "import/ui/wunFWizard.h"

#include "ZepCWiz.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QToolButton;
class TfrWunPacoDm10;

class TfmZepWiz : public TfmwunWizard {
    Q_OBJECT
public:
    explicit TfmZepWiz(QWidget *owner = nullptr);
    ~TfmZepWiz() override;

    TZepWiz &Logica() const { return static_cast<TZepWiz &>(TfmwunWizard::Logica()); }

    QComboBox *cbMesi;           // "Mese" (disabled)
    QLineEdit *edComune;         // "Codice comune di lavoro"
    QLineEdit *ceContr;          // "Tipo contribuzione" (read only, chosen with the button)
    QToolButton *buContr;        // the pick button of ceContr
    QCheckBox *chDichiarante;    // "Importa dati amministrazione o ente dichiarante"
    QGroupBox *rgGiorni;         // " Considera come retribuiti:  "
    QButtonGroup *bgGiorni;      // "Giorni liquidati" (0), "Giorni INPS" (1)
    QCheckBox *chPtComeIntero;   // "Considera part-time come intero"
    QCheckBox *chVarRetributive; // shown by the E-Mens programs only
    TfrWunPacoDm10 *frWunPacoEMens;

    // Registers the class by name (the "Importa" command opens it so).
    static void RegisterClass();
    static void UnregisterClass();

    // The page's controls take the rules' state.
    void MostraPagina();
    // The pick button: a row of the contribution types' table.
    void ceContrButtonClick();

protected:
    void PageChanged(QWidget *page) override;
    // Cancel drops the company row's edit before the wizard closes.
    bool CanClose(int result) override;

private:
    bool m_mostrando = false;
};
