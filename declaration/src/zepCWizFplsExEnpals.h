#pragma once
// The rules of the wizard "Importa dati per UniEMens iscritti Fpls (Ex
// Enpals)" (TfmZepWizFplsExEnpals, zepFWizFplsExEnpals) that the command
// "Importa iscritti FPLS" shows before the performing-arts import. One page
// (tsMeseComp): the month (shown, not chosen), the municipality of work,
// the contribution type picked from the code table "TTRP_TIPORAPPORT.cds",
// the company's FPLS number and whether the declarant is imported too.
//
// The page takes the import parameters when shown (MostraPagina); OK
// writes them back (SalvaLiquidazioneCorrente). A contribution type chosen
// must be confirmed when closing with OK: in the standard cases it is left
// empty.
#include "import/wunCWizard.h"

#include "Enumeration.h"

#include <QString>

class TZepWizFplsExEnpals : public TwunWizard {
public:
    static const QString Titolo;                   // "Importa dati per UniEMens iscritti Fpls (Ex Enpals)"
    static const QString MsgConfermaContribuzione; // "ATTENZIONE: il tipo di contribuzione nei casi standard ..."

    explicit TZepWizFplsExEnpals(platform::Database *connessione = nullptr);

    // The contribution types' code table (TZepWiz::TabellaTipiContribuzione
    // among the program's code tables).
    QString FileContribuzione;

    // ---- what the page shows and the user edits ----
    bool Dichiarante = false; // chDichiarante
    QString Comune;           // edComune
    QString Matricola;        // EdMatAzienda
    QString Contribuzione;    // ceContr: "code: description", or empty; the code is what precedes ":"
    platform::EnumItems Mesi; // cbMesi (disabled)
    int MeseScelto = -1;      // index in Mesi of the month IMESID

    // tsMeseCompShow: the controls from the parameters. The contribution
    // type shows "code: description" only when the code table describes
    // it; the month list is read once (QRY_MES_COMBO).
    void MostraPagina();
    // ceContrButtonClick after a pick: the type's code and description.
    void ScegliContribuzione(const QString &codice, const QString &descrizione);

    // ---- overrides ----
    void AttivaPagina(Pagina pagina) override;
    // SOSTITUTO, ComuneLavoro, MatricolaINPSFpls and the type chosen
    // (cleared when the field was emptied).
    void SalvaLiquidazioneCorrente() override;
    // With OK and a contribution type: the Yes/No warning, closing on Yes.
    bool PuoChiudere(bool ok) override;
};
