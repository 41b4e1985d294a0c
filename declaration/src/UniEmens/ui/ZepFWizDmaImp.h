#pragma once
// The wizard "Importa dati per DMA" (OK button "Importa") that
// "Importa (ex Dma)" shows before the public-sector import: one page
// (path "1", tsMeseComp) with the legal position, the declaration month
// (disabled), the declarant box and the V1 options. The rules are
// TZepWizDmaImp's (ZepCWizDmaImp.h); the window mirrors them.
#include "import/ui/wunFWizard.h"

#include "ZepCWizDmaImp.h"

class QCheckBox;
class QComboBox;

class TfmZepWizDmaImp : public TfmwunWizard {
    Q_OBJECT
public:
    static const QString NomeClasse; // "TfmZepWizDmaImp"

    explicit TfmZepWizDmaImp(QWidget *owner = nullptr);

    TZepWizDmaImp &Logica() const { return static_cast<TZepWizDmaImp &>(TfmwunWizard::Logica()); }

    QComboBox *cbPosGiu;      // "Pos. giuridica"
    QComboBox *cbMesi;        // "Mese denuncia" (disabled)
    QCheckBox *chDichiarante; // "Importa dati dell'amministrazione dichiarante"
    QCheckBox *chV1;          // "Importa su modello V1 i compensi"
    QComboBox *cbAnniV1;      // "Anno"
    QComboBox *cbMesiV1;      // "Mese"

    // tsMeseCompShow: the controls take the rules' page.
    void tsMeseCompShow();

    static void RegisterClass();
    static void UnregisterClass();

protected:
    void PageChanged(QWidget *page) override;

private:
    void MostraMesiV1();
};
