#pragma once
// The rules of the wizard "Importa dati per DMA" (TfmZepWizDmaImp,
// ui/ZepFWizDmaImp.h) that "Importa (ex Dma)" shows before the public-sector
// import. One page (tsMeseComp): the legal position whose people are
// imported, the declaration month (shown, not chosen), whether the declaring
// administration is imported too, and the V1 options: the pay imported as
// variations of an earlier month, with its year and month.
//
// The V1 months offered depend on the V1 year: every month for a year
// before the declaration's, only the months before the declaration month
// for the declaration's own year (none in January).
#include "import/wunCWizard.h"

#include "Enumeration.h"

#include <QString>

class TZepWizDmaImp : public TwunWizard {
public:
    static const QString Titolo;              // "Importa dati per DMA"
    static const QString DidascaliaOk;        // "Importa"
    static const QString MsgMeseObbligatorio; // "Mese di riferimento compensi obbligatorio."
    static const QString MsgAnnoObbligatorio; // "Anno di riferimento compensi obbligatorio."

    explicit TZepWizDmaImp(platform::Database *connessione = nullptr);

    // ---- what the page shows and the user edits ----
    platform::EnumItems Posizioni; // cbPosGiu: legal positions (QRY_TNO_STIP)
    int PosizioneScelta = -1;
    platform::EnumItems Mesi; // cbMesi (disabled): QRY_MES_COMBO
    int MeseScelto = -1;
    bool Dichiarante = false;   // chDichiarante
    bool V1 = false;            // chV1; cbAnniV1 and cbMesiV1 enabled while checked
    platform::EnumItems AnniV1; // cbAnniV1: years up to the declaration's (QRY_ANF_COMBO)
    int AnnoV1Scelto = -1;
    platform::EnumItems MesiV1; // cbMesiV1
    int MeseV1Scelto = -1;

    // tsMeseCompShow: the controls from the parameters; the lists are read
    // the first time.
    void MostraPagina();
    // cbAnniV1Change (and the page's showing): the V1 months for the V1
    // year, the month chosen kept when it is still offered.
    void AggiornaMesiV1();
    void ScegliAnnoV1(int indice);
    // The V1 year chosen, as text (empty when none).
    QString TestoAnnoV1() const;

    // ---- overrides ----
    void AttivaPagina(Pagina pagina) override;
    // The page into the parameters (not the current liquidation).
    void SalvaLiquidazioneCorrente() override;
    // With OK and V1 checked: a V1 year and month must be chosen (the
    // warning, and the wizard stays open); then the base's check.
    bool PuoChiudere(bool ok) override;

private:
    int Intero(const char *campo) const;
};
