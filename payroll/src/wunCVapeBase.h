#pragma once
// The rules of the pay-period grid (TfrWunVapeBase): the pay periods of one
// owner (a pay register, a liquidation) in one month, each a stretch of days
// with its qualification, hours, days and weeks valid for INPS, and the days
// or hours of each reduction kind (the paid absences).
//
// The reduction kinds are the archive's (QRY_VAPE_TACO): the kind in row n
// (from 1) gives the period three columns with the suffix nn ("01", "02",
// ...): ITACOIDnn its id, IVARDIDnn the id of the period's reduction row
// (null when it has none) and IVARDGIORNIOREnn its days or hours. A period
// is checked before it is posted and the totals of all periods before one is
// written; periods and reduction rows are written by the collection's own
// statements (QRY_VAPE: the first insert and update for the period, the
// second for TVARD_RIDUZIONIVAR; deletions by its delete, the reductions
// going with the period).
//
// Which owner the periods belong to is the subclass's: CompletaQueryPeriodi,
// CompletaQueryValori and ImpostaChiavi. The owner's compensation and month
// (IdCompenso, Mese) give the new periods their defaults from the contract
// history; GiorniDaPagare is the limit of the totals.
//
// Hours are whole minutes, shown "hh:mm" ("07:30"; "08" for whole hours,
// nothing for 0) and read back from that text, or from "h:mm" and "h"
// ("7:30" is 450 minutes); any other text is refused with
// MsgOrarioNonValido and the field keeps its value.
#include "WunCDBES.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <functional>

namespace platform {
class SqlQuery;
} // namespace platform

class TWunVapeBase : public TWunDBES {
public:
    static const QString MsgValoreNonImpostato; // "Valore non impostato: %s"
    static const QString MsgDateObbligatorie;   // "Le date di inizio e fine periodo sono obbligatorie."
    // "I giorni ridotti devono coincidere col numero dei giorni. Suddividere in periodi diversi."
    static const QString MsgGiorniRidotti;
    // "Il totale dei giorni non è congruente con il numero di giorni da liquidare"
    static const QString MsgTotaleGiorni;
    static const QString MsgGiorniInps;     // "Il totale dei giorni validi INPS non può superare %d"
    static const QString MsgSettimaneInps;  // "Il totale delle settimane valide INPS non può superare %d"
    static const QString MsgDataFuoriMese;  // "Data non compresa nei parametri della variazione"
    static const QString MsgDataInizioFine; // "Data inizio superiore a quella di fine."
    // "Orario non valido: \"%s\". Indicare le ore e i minuti come hh:mm."
    static const QString MsgOrarioNonValido;

    // The absence kind of a period whose days are all unpaid.
    static constexpr int TAG_ASSENZA_NON_RETRIBUITA = 14;
    static constexpr int MaxSettimaneInps = 5;
    static constexpr int MaxGiorniInps = 26;
    // The reduction kinds whose quantities are not days (hours).
    static constexpr int TIPO_CALCOLO_ORE = 2;
    // The reduction kinds whose days are not paid.
    static constexpr int TIPO_CALCOLO_NON_PAGATI = 1;

    explicit TWunVapeBase(platform::Database *database = nullptr);
    ~TWunVapeBase() override;

    TUqQueryCollection xqcColonne; // the reduction kinds (QRY_VAPE_TACO)
    TUqQueryCollection xqcValori;  // the periods' reduction rows (QRY_VAPE_VARD_VAL)
    TUqQueryCollection xqcTag;     // the absence kinds (QRY_TAG, every row)
    TUqQueryCollection xqcQar;     // the qualifications (QRY_QAR, every row)

    // ---- the owner and the month (set by the subclass) ----
    int IdCompenso = 0;     // IACOMID of the owner
    int Mese = 0;           // 1-12, of the working financial year
    int GiorniDaPagare = 0; // the limit of the totals
    int OrePreviste = 0;    // full-time hours of a new period
    int QualificaPersona = 0;
    // Periods are counted from their dates when both are set.
    bool ConteggioAutomatico = true;
    // The days must add up to the days to pay, not only stay within them.
    bool TotaliEsatti = true;
    // The qualification of a new period is chosen by the user (the frame's
    // "Abilita modifica qualifica"); otherwise the person's own is taken.
    bool ModificaQualifica = false;
    // The choice of the qualification of a new period, starting from the
    // person's (the frame's search dialog); answers the qualification id (0
    // or less: none). Without one, or while ModificaQualifica is off, the
    // person's own qualification is taken (a silent abort when the archive
    // lacks it).
    std::function<int(int iniziale)> OnSceltaQualifica;

    // The seniority class of the month's contract history, read when the
    // periods are loaded or the first period is made (0 before).
    int Anzianita() const { return m_anzianita; }

    // ---- the reduction columns ----
    int NumeroRiduzioni() const { return m_riduzioni.size(); }
    // "01", "02", ...
    static QString Suffisso(int n);
    // ITACOTIPOCALCOLO of the kind of a suffix (0 when unknown).
    int TipoCalcolo(const QString &suffisso) const;

    // ---- the virtual operations of the frame ----
    // STACOSIGLA of the reduction kind xqcColonne stands on.
    virtual QString SiglaRiduzione() const;
    // The totals of every period (a copy, whatever the collection's filter)
    // against the days to pay; answers the sums of the days, INPS days and
    // INPS weeks. Raises ETovWarning with the first total that fails.
    virtual void ControllaTotali(int &giorni, int &giorniInps, int &settimaneInps) const;
    // The computed columns of a fetched period (in edit): its owner's keys,
    // its effective hours and its reductions from xqcValori. The effective
    // hours are computed again whenever the days, hours or chair change.
    virtual void CompilaRiga(platform::DataSet &riga);
    // The owner's part of the period statement: formats it with the
    // reduction columns' select text (and the owner's join and condition).
    virtual void CompletaQueryPeriodi(const QString &colonne) = 0;
    // The owner's condition of xqcValori.
    virtual void CompletaQueryValori() = 0;
    // Writes the owner's key into a period row.
    virtual void ImpostaChiavi(platform::DataSet &riga) = 0;
    // Before a new period is written: the owners' keys IREGSID, IVARMID and
    // ICVCID of the insert are null integers; a subclass sets its own.
    virtual void PreparaAggiornamento(platform::SqlQuery &aggiorna);
    virtual QDate InizioMese() const;
    virtual QDate FineMese() const;
    virtual QDate DataRiferimento() const;
    // The fields shown, in their order, with titles, widths and texts (see
    // the .cpp); every other field hidden.
    virtual void ImpostaColonne();
    // The suffix of the reduction kind, empty when it has no columns.
    virtual QString SuffissoColonna(int riduzione) const;

    // Reopens xqcColonne: the reduction kinds.
    void CaricaColonne();
    // QRY_VAPE into xqcMain with the reduction columns (CompletaQueryPeriodi).
    void PreparaQueryPeriodi();
    // The select text of the reduction columns.
    QString ColonneRiduzioni() const;

    // ---- what the grid does ----
    // The hours columns and the flag columns (names beginning with "L").
    static bool CampoOre(const platform::Field &campo);
    static bool CampoFlag(const platform::Field &campo);
    // Writes a value typed in the grid: text into an hours column is read
    // as hours and minutes, anything else is assigned as it is. The row goes
    // into edit when browsing. A date is checked whoever assigns it (the
    // field's validation): DVAPEDAL before the month's first day or DVAPEAL
    // after its last raises MsgDataFuoriMese, a start after the end
    // MsgDataInizioFine; the field keeps its value.
    void ScriviCampo(platform::Field &campo, const platform::Value &valore);
    void ImpostaTestoOre(platform::Field &campo, const QString &testo);
    // 0 and 1 swapped (the row into edit when browsing).
    void InvertiFlag(platform::Field &campo);
    // While the row is edited: LVAPEPARTTIME 1 when the company counts
    // part time for INPS (IPACOINPS_PT 1) and the service is below full
    // time, else 0.
    void RicalcolaPartTime();
    // The absence kind of the current period: ITAGID and its description;
    // 0 or less clears both.
    void ImpostaAssenza(int tagId);

    // "hh:mm" of minutes (see above).
    static QString TestoOre(int minuti);
    // Minutes of the text; -1 when it is not hours and minutes.
    static int MinutiDaTesto(const QString &testo);
    // The company parameter IPACOINPS_PT of the working year.
    virtual int PartTimeInps() const;

    // ---- the collection's events ----
    void xqcMainAfterOpen(platform::DataSet &dataSet) override;
    void xqcMainBeforeInsert(platform::DataSet &dataSet) override;
    void xqcMainNewRecord(platform::DataSet &dataSet) override;
    void xqcMainBeforePost(platform::DataSet &dataSet) override;
    // Writes an inserted or changed period and its reductions (deletions
    // are left to the collection's delete statement).
    virtual void xqcMainBeforeUpdateRecord(platform::DeltaRecord &riga, platform::UpdateKind tipo, bool &applicato);

private:
    struct Riduzione {
        int id = 0;
        QString sigla;
        int tipoCalcolo = 0;
    };
    void ContaGiorniPeriodo();
    void VerificaData(const platform::Field &campo, const platform::Value &valore) const;
    QString DescrizioneQualifica(int qualifica);
    int QualificaDellaPersona();

    QList<Riduzione> m_riduzioni;
    int m_anzianita = 0;
    int m_qualificaScelta = 0;
    QDate m_finePrecedente;
    bool m_haRighe = false;
};
