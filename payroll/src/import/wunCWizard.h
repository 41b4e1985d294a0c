#pragma once
// The rules of the import wizard base TfmwunWizard (wunFWizard): the small
// wizards that precede an import edit the import parameters and answer a
// caption for the dialog that follows. This class knows the current
// liquidation of the payroll (month, liquidation id and group kept in
// "WunPar.ini" by WunParametri()), the kind of compensation and the group;
// the window mirrors its state in its controls and calls it on every click
// and page change. The current liquidation is written only when the wizard
// ends with OK (SalvaLiquidazioneCorrente).
//
// Pages: the kind of compensation (tsTipoCompenso), the subclass's own page
// (tsMeseComp) and the group (tsGruppo).
#include "DataSet.h"
#include "SqlQuery.h"

#include <QSet>
#include <QString>
#include <QStringList>

class TUqQueryCollection;
class TWunParametri;

namespace platform {
class Database;
} // namespace platform

// The month-and-liquidation frame a wizard's own page may hold.
class TwunMeseCompenso {
public:
    virtual ~TwunMeseCompenso();
    virtual int MeseId() const = 0;
    virtual int CompensoId() const = 0;
    // The liquidation chosen (with its SCOTLDESC); closed when none.
    virtual const platform::DataSet &Compenso() const = 0;
    // The kind of compensation (ICOTFONDAMENTALE) it offers.
    virtual void ImpostaFondamentale(int fondamentale) = 0;
    // Shows the current liquidation and reads its data again.
    virtual void ImpostaLiquidazione(int compensoId, int meseId) = 0;
};

class TwunWizard {
public:
    enum class Pagina { TipoCompenso, MeseComp, Gruppo };

    static const QString Titolo; // "Wizard"
    static const QStringList
        VociTipoCompenso; // "Compensi fondamentali", "Compensi accessori", "Compensi ai collaboratori"
    static const QString DidascaliaCorrente;    // "Liquidazione Corrente"
    static const QString MsgGruppoNonImpostato; // "Gruppo non impostato."
    static const QString MsgErroreLettura;      // "Errore nella lettura della liquidazione corrente:"

    // The checked kind (0, 1, 2; -1 none) as ICOTFONDAMENTALE: 1, 3, 2.
    static int FondamentaleDaTipo(int tipo);
    // ICOTFONDAMENTALE of a liquidation as the kind: 1 -> 0, 3 -> 1, else 2.
    static int TipoDaFondamentale(int fondamentale);

    // Statements on `connessione`, or on the global connection; the current
    // liquidation in `liquidazione` (none: WunParametri()).
    explicit TwunWizard(platform::Database *connessione = nullptr, TWunParametri *liquidazione = nullptr);
    virtual ~TwunWizard();
    TwunWizard(const TwunWizard &) = delete;
    TwunWizard &operator=(const TwunWizard &) = delete;

    // ---- what Execute hands over (not owned) ----
    void Imposta(platform::DataSet *parametri, TUqQueryCollection *collezione);
    platform::DataSet *Parametri() const { return m_parametri; }
    TUqQueryCollection *Collezione() const { return m_collezione; }
    // The subclass's frame, and whether it shows a group control.
    void SetFrame(TwunMeseCompenso *frame) { m_frame = frame; }
    TwunMeseCompenso *Frame() const { return m_frame; }
    void SetControlloGruppo(bool presente) { m_controlloGruppo = presente; }
    bool ControlloGruppo() const { return m_controlloGruppo; }

    // ---- the state the window shows ----
    int TipoCompenso = 0;              // the checked radio (rbTipoCompenso0 at design)
    bool TipoCompensoAbilitato = true; // gbTipoCompenso
    bool CompensoCorrente = false;     // chCompensoCorrente
    QString DidascaliaCompensoCorrente = DidascaliaCorrente;
    bool LiquidazioneCorrenteVisibile = false;                    // gbLIqCorrente
    QString TestoMeseGruppo = QStringLiteral("Mese di - Gruppo"); // lbMeseGruppo
    QString Caption = Titolo;

    // ---- the wizard's steps ----
    // Execute before showing: Inizializza; then, when the parameters'
    // INAIL_LUL is true, the collaborators' kind checked and the kinds
    // disabled, otherwise the kind written into ICOTFONDAMENTALE.
    void Inizia();
    // A kind chosen (rbTipoCompenso0Click): ICOTFONDAMENTALE written;
    // unless it comes from the current-liquidation box, that box cleared.
    void ScegliTipo(int tipo, bool daCompensoCorrente = false);
    // The current-liquidation box (chCompensoCorrenteClick): when checked,
    // the kind of the current liquidation is checked.
    void ScegliCompensoCorrente(bool spuntato);
    // The caption of the current liquidation of the allowed kinds ({2}
    // when INAIL_LUL is true): when there is one, the box takes it, the
    // month and group text is made and the group box shown. A failure
    // shows the warning "Errore nella lettura della liquidazione
    // corrente:\r\n" + message; the wizard stays usable.
    void LeggiLiquidazioneCorrente();
    // QRY_REGS_GRUPPO_MAX for the frame's liquidation and month in the
    // working year: its value, 1 when 0 (or without a frame).
    int GruppoMassimo();
    // The group page shown (tsGruppoShow): ImpostaGruppo(GruppoMassimo()).
    void MostraGruppo();
    // Leaving a page (pcMainChanging): from tsMeseComp with a frame the
    // caption becomes caption + ": " + the box's caption + " di " + the
    // month (current liquidation), else DidascaliaLiquidazione.
    void LasciaPagina(Pagina da);
    // text + ": " + SCOTLDESC + " di " + the frame's month, when the frame's
    // liquidation is open; the text alone otherwise.
    QString DidascaliaLiquidazione(const QString &testo);
    // The month's name (QRY_MES), empty when unknown.
    QString TestoMese(int meseId);
    // The closing with OK: with a group control and Gruppo() 0 the warning
    // "Gruppo non impostato." and false (the window keeps itself open). A
    // wizard with checks of its own runs this first.
    virtual bool PuoChiudere(bool ok);
    // The end with OK: SalvaLiquidazioneCorrente, then the caption.
    QString Conferma();

    // ---- virtual operations, in order ----
    // Prepares the page being shown, after the buttons were updated.
    virtual void AttivaPagina(Pagina pagina);
    // The chosen group; base 1.
    virtual int Gruppo();
    // Shows a group; base nothing.
    virtual void ImpostaGruppo(int gruppo);
    // On OK: IMESID and ICOTID from the frame, IREGSGRUPPO = Gruppo() when
    // the parameters have it; with both a frame and that field the current
    // liquidation (month, id, group) is written to "WunPar.ini".
    virtual void SalvaLiquidazioneCorrente();
    // Called by Execute before showing; base nothing.
    virtual void Inizializza();
    // The kinds the current liquidation may be of; base {1, 2, 3}.
    virtual QSet<int> TipiCompensoAmmessi();

protected:
    platform::SqlQuery qquAppoggio;

private:
    bool InailLul() const;
    void ScriviFondamentale();

    TWunParametri &m_liquidazione;
    platform::DataSet *m_parametri = nullptr;
    TUqQueryCollection *m_collezione = nullptr;
    TwunMeseCompenso *m_frame = nullptr;
    bool m_controlloGruppo = false;
    QString m_captionBase = Titolo; // the caption before any page was left
};
