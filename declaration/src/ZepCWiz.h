#pragma once
// The rules of the wizard "Importa dati per EMens" (TfmZepWiz, ZepFWiz),
// which the "Importa" command shows before the private-sector import: one
// page (tsMeseComp) with the month of the working period, the municipality
// of work, the contribution type, the declarant check, the days counted as
// paid, part time as full time and the INPS company numbers of the company
// parameters. It reads its states from the import parameters when the page
// shows and writes them back when the wizard ends with OK; the registry
// then saves the parameters in "TEMENSPAR.XML".
//
// The company numbers are the company-parameter row of the working year
// (TWunPaco, the frame TfrWunPacoDm10's data): the page puts the row in
// edit, OK writes it, Cancel drops the edit so that nothing is written.
#include "import/wunCWizard.h"

#include "Enumeration.h"
#include "ZepUMainState.h"

#include <QString>
#include <QStringList>

class TWunPaco;

class TZepWiz : public TwunWizard {
public:
    static const QString Titolo;                   // "Importa dati per EMens"
    static const QString TestoOk;                  // "Importa"
    static const QString Percorso;                 // "1", the wizard's one path
    static const QString TabellaTipiContribuzione; // "TTRP_TIPORAPPORT.cds"
    static const QStringList VociGiorni;           // "Giorni liquidati", "Giorni INPS"

    explicit TZepWiz(platform::Database *connessione = nullptr, TWunParametri *liquidazione = nullptr);

    // The code table of the contribution types (a file of the program's
    // "Tabelle" folder) and the company parameters' data (not owned).
    QString FileTipiContribuzione;
    void SetAzienda(TWunPaco *azienda) { m_azienda = azienda; }
    TWunPaco *Azienda() const { return m_azienda; }

    // ---- the page's state ----
    platform::EnumItems Mesi;    // cbMesi (disabled): the months of QRY_MES_COMBO
    int IndiceMese = -1;         // the item of IMESID
    QString Comune;              // edComune
    QString TestoContribuzione;  // ceContr: code + ": " + description, empty when not in the table
    bool Dichiarante = false;    // chDichiarante
    int Giorni = 0;              // rgGiorni: 0 "Giorni liquidati", 1 "Giorni INPS"
    bool PtComeIntero = true;    // chPtComeIntero
    bool VarRetributive = false; // chVarRetributive (shown by the E-Mens programs only)
    // The program's declaration: the earlier program's E-Mens shows and keeps
    // VarRetributive; the current program's is always false.
    TZepDenuncia Denuncia = TZepDenuncia::UniEmens;

    // The page shown (tsMeseCompShow): the state from the parameters, the
    // month list loaded once, the company row opened (made when the year
    // has none) and put in edit.
    void MostraPagina();
    // The description of a contribution type in the code table: code + ": "
    // + Descrizione, or empty when the table has no such code (the
    // performing-arts wizard shows its type so too).
    static QString DescrizioneContribuzione(const QString &fileTabella, const QString &codice);
    // A type picked in the search window: TipoContribuzione and the text.
    void ScegliContribuzione(const QString &codice, const QString &descrizione);
    // Cancel: the company row's pending edit is dropped, nothing written.
    void Annulla();

    // ---- virtual operations ----
    void AttivaPagina(Pagina pagina) override;
    // OK: the page's states into the parameters, the company row written
    // when it is being edited, MatricolaINPS and MatricolaINPSAcc (the
    // main number when the accessory one is blank) from it.
    void SalvaLiquidazioneCorrente() override;

private:
    platform::Field &Parametro(const QString &nome) const;
    TWunPaco *m_azienda = nullptr;
};
