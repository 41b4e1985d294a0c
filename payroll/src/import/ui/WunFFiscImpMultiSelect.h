#pragma once
// The base dialog of every import from the payroll archive: the person
// choice with the replace choice (rgSovraScrivi), a progress label naming
// the person being imported with "n di N", and a stop button checked
// between persons. OK runs the loop of TwunFiscImpMultiSelect
// (WunCFiscImpMultiSelect.h) and closes the dialog once the run reached its
// end; a run the user stopped leaves it open, to choose and import again.
// Cancel closes it without importing.
//
// An import derives its rules from TwunFiscImpMultiSelect (or the declaration
// program's TZepFiscImpMultiSelect), its window from this class (handing the
// rules to the constructor), registers the window by class name and is run
// by Execute.
#include "import/ui/wunFAnaMultiSelect.h"

#include "import/WunCFiscImpMultiSelect.h"

#include <memory>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;

class TfmwunFiscImpMultiSelect : public TfmwunAnaMultiSelect, public IwunNotificaImport {
    Q_OBJECT
public:
    TfmwunFiscImpMultiSelect(QWidget *owner, std::unique_ptr<TwunFiscImpMultiSelect> logica);
    ~TfmwunFiscImpMultiSelect() override;

    TwunFiscImpMultiSelect &Logica() const { return m_import; }

    QGroupBox *rgSovraScrivi; // "Sovrascrivi sempre", "Non sovrascrivere", "Chiedi conferma"
    QButtonGroup *bgSovraScrivi;
    QPushButton *buStop; // "Interrompi", enabled while the loop runs

    // The window of the class (registered by name) on the import
    // parameters, the site collection and the text: the rules' Prepara
    // (an empty list says "Nessuna dato da importare!" and nothing is
    // shown), then the dialog, modal. Freed in every case; an unknown class
    // raises EUqError.
    static void Execute(const QString &classe, platform::DataSet *parametri, TUqQueryCollection *sedi,
                        const QString &testo = {});

    // OK: the loop over the selection (every row when none), the replace
    // choice taken from the radio group.
    TwunFiscImpMultiSelect::Esito buOkClick();

    // ---- IwunNotificaImport ----
    void Messaggio(const QString &testo, platform::MessageType tipo, const QString &titolo = {}) override;
    bool Domanda(const QString &testo) override;
    void Avanzamento(const QString &testo, int n, int totale) override;
    bool StopRichiesto() override;

protected:
    void showEvent(QShowEvent *event) override;
    // Not while the loop runs (the window's close button included).
    bool CanClose(int result) override;

private:
    TwunFiscImpMultiSelect &m_import;
    bool m_stop = false;
    bool m_inCorso = false;
};
