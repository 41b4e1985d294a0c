#pragma once
// The import wizard base "Wizard" (OK "Applica"): the small wizards that
// precede an import edit the import parameters and answer a caption for the
// dialog that follows. Three pages without tabs: the kind of compensation
// with the current liquidation (tsTipoCompenso), the subclass's own page
// (tsMeseComp) and the group (tsGruppo). The rules are TwunWizard's
// (wunCWizard.h): the window shows its state and calls it on every click,
// page change and close.
//
// A wizard of the programs derives from this class, gives the constructor
// its own rules (a TwunWizard subclass, whose Caption is the window's title
// and the caption Execute answers), fills its page and sets its path;
// Execute opens it by class name.
#include "UqWizard.h"

#include "import/wunCWizard.h"

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class TUqQueryCollection;

class TfmwunWizard : public TfmUqWizard {
    Q_OBJECT
public:
    // `logica`: the wizard's rules (none: TwunWizard's own).
    explicit TfmwunWizard(QWidget *owner = nullptr, std::unique_ptr<TwunWizard> logica = {});
    ~TfmwunWizard() override;

    TwunWizard &Logica() const { return *m_logica; }

    QWidget *tsTipoCompenso;
    QGroupBox *gbTipoCompenso;
    QRadioButton *rbTipoCompenso0; // "Compensi fondamentali"
    QRadioButton *rbTipoCompenso1; // "Compensi accessori"
    QRadioButton *rbTipoCompenso2; // "Compensi ai collaboratori"
    QGroupBox *gbLIqCorrente;      // hidden until a current liquidation is found
    QLabel *lbMeseGruppo;
    QLabel *laTitolo;
    QCheckBox *chCompensoCorrente; // "Liquidazione Corrente"
    QWidget *tsMeseComp;
    QWidget *tsGruppo;

    // The wizard of the class (registered by name) on the parameters and
    // the collection: its rules' Inizia, then modal; with OK
    // SalvaLiquidazioneCorrente and the caption, otherwise the empty text.
    // The wizard is freed in every case; an unknown class raises EUqError.
    static QString Execute(const QString &classe, platform::DataSet &parametri, TUqQueryCollection *collezione);

    // The controls take the rules' state.
    void MostraStato();

protected:
    bool PageChanging(QWidget *from, QWidget *to) override;
    void PageChanged(QWidget *page) override;
    bool CanClose(int result) override;

private:
    TwunWizard::Pagina PaginaDi(QWidget *page) const;

    std::unique_ptr<TwunWizard> m_logica;
    bool m_mostrando = false;
};
