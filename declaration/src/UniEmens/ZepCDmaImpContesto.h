#pragma once
// What the sections of the public-sector import (ZePCImpDmaMultiSelect.h)
// are given instead of the whole import: the payroll connection, the run's
// parameters and sections, the person being imported (its row of the
// candidate list, its compensation, its residence and its D0 row) and the
// run's check list; and the rules the pay sections E0 and V1 share: the
// contribution rates of the person's legal position, the basic monthly
// pay, the month's withholding sums of a retention and a new section row.
//
// Section fields are named in their E0 form and mapped to the row's section
// by TDmaUtil::NomeCampo: Campo(quadro, "VP_E0XXX032_IMPPENS") is
// "VN_V1XXX032_IMPPENS" in a V1 row.
#include "UqQueryCollection.h"

#include "Currency.h"
#include "Value.h"

#include <QList>
#include <QString>
#include <utility>

class TTovInfoChecker;

namespace platform {
class DataSet;
class Database;
class SqlQuery;
} // namespace platform

class TZepDmaImpContesto {
public:
    // Retentions (IRICEID) and codes the statements are run with.
    static constexpr int RICE_INPDAP = 2;       // pension
    static constexpr int RICE_OP = 5;           // end-of-service (TFR)
    static constexpr int RICE_FC = 6;           // credit
    static constexpr int COS_STIPENDIO = 10001; // the basic-pay compensation
    // The employer pension rate where the rate table has none, and the
    // check-list line that says it was used.
    static const platform::Currency AliquotaAmmPredefinita; // 24.2
    static const QString MsgAliquotaDefault;

    // None is owned. `parametri`: the import's parameters; `candidato`: the
    // candidate list, on the person's row; `compenso` and `residenza`: the
    // person's QRY_CED_ACOM and QRY_ANAABT; `iscritto`: TD0_ANAG, on the
    // person's row once it is written; `info`: the run's check list.
    TZepDmaImpContesto(platform::Database &connessione, const platform::DataSet &parametri,
                       const platform::DataSet &candidato, const platform::SqlQuery &compenso,
                       const platform::SqlQuery &residenza, const platform::DataSet &iscritto, TTovInfoChecker &info);

    platform::Database &Connessione() const { return m_connessione; }
    const platform::DataSet &Parametri() const { return m_parametri; }
    const platform::DataSet &Iscritto() const { return m_iscritto; }
    TTovInfoChecker &Info() const { return m_info; }

    // ---- the run ----
    // "E0", or "V1" when the pay is imported as a variation of an earlier
    // month (ImportaSuV1); the other section is the other of the two.
    const QString &SezioneCorrente() const { return m_sezioneCorrente; }
    const QString &SezioneAltra() const { return m_sezioneAltra; }
    // The declaration month as two digits, and the declaration year
    // (ANNO_DENUNCIA).
    QString MeseDenuncia() const;
    int AnnoDenuncia() const;
    // The year of the pay imported (that of wunAnnoFinanziario: the working
    // year, or the earlier one of a V1 import of an earlier year).
    static int AnnoPaga();

    // ---- the person being imported ----
    // The candidate list, on the person's row.
    const platform::DataSet &Elenco() const { return m_candidato; }
    // A field of the candidate's row, of its compensation and of its
    // residence (null when it has none).
    platform::Value Candidato(const QString &campo) const;
    platform::Value Compenso(const QString &campo) const;
    platform::Value Residenza(const QString &campo) const;
    // The candidate's month of pay (MESE_FINALE), the month every pay
    // statement is run with.
    int MesePaga() const;
    // The legal-position filter " AND REGS.ITNOID IN (%s)" with the
    // candidate's ITNOID.
    QString FiltroPosizione() const;
    // The fiscal code of the candidate's compensation.
    QString CodiceFiscale() const;

    // ---- rates ----
    // The rates of the candidate's legal position in the pay's year; 0 for
    // a missing retention.
    platform::Currency AliquotaDip(int ritenuta);
    platform::Currency AliquotaAmm(int ritenuta);
    // The employer pension rate: that of retention 2, or the default when
    // the table has none (a check-list line says so).
    platform::Currency AliquotaAmmPensione();
    // The additional contribution applies (IACOMSCAINPDAP above 1).
    bool ContributoAggiuntivo() const;

    // ---- pay ----
    // The basic monthly pay of a qualification in a year and month: the
    // compensation's history for its own qualification, else the contract
    // tables (StipendioDaCCNL).
    platform::Currency CalcolaStipendioTabellare(int anno, int mese, int qualifica);
    static platform::Currency StipendioDaCCNL(platform::Database &connessione, int anno, int mese, int qualifica);
    // `query` on QRY_DMA_PREVID_RIT_FOND for a retention of the month, with
    // `condizione` appended before the fundamental and legal-position
    // conditions; true when it has a row. `parametri`: the values of the
    // parameters `condizione` names.
    using TParametri = QList<std::pair<QString, platform::Value>>;
    bool RitenuteMese(platform::SqlQuery &query, int ritenuta, const QString &condizione,
                      const TParametri &parametri = {}) const;

    // ---- section rows ----
    // A new row of `dataSet` for `sezione` (left in insert state) from `dal`
    // to `al`, the person's and the declaration's of the D0 row.
    void NuovaRiga(platform::DataSet &dataSet, const QString &sezione, const platform::Value &dal,
                   const platform::Value &al) const;
    // The name of the E0 field `campoE0` in `sezione`; an amount of a
    // section row by its E0 name.
    static QString Campo(const QString &sezione, const QString &campoE0);
    static platform::Currency Importo(const platform::DataSet &dataSet, const QString &sezione, const QString &campoE0);
    static void ImpostaImporto(platform::DataSet &dataSet, const QString &sezione, const QString &campoE0,
                               platform::Currency valore);
    // The current row of `dataSet` appended to `copia` (made with the
    // dataset's field definitions when closed).
    static void CopiaRiga(const platform::DataSet &dataSet, platform::DataSet &copia);
    // Filters `dataSet` to the person's rows of the declaration month;
    // answers whether it has any. TogliFiltro removes the filter and the
    // order they were seen in.
    bool FiltraPersona(platform::DataSet &dataSet, const QString &sezione) const;
    static void TogliFiltro(platform::DataSet &dataSet);
    // The same for a caller that moves the cursor next (a search): the
    // cursor is left on the first record, not on the first one in the
    // order removed, and the section is not sorted to find that one.
    static void TogliFiltroPerCercare(platform::DataSet &dataSet);

private:
    void ApriAliquote();

    platform::Database &m_connessione;
    const platform::DataSet &m_parametri;
    const platform::DataSet &m_candidato;
    const platform::SqlQuery &m_compenso;
    const platform::SqlQuery &m_residenza;
    const platform::DataSet &m_iscritto;
    TTovInfoChecker &m_info;
    QString m_sezioneCorrente;
    QString m_sezioneAltra;
    TUqQueryCollection m_aliquote; // QRY_RICA_CALC
    TUqQueryCollection m_appoggio;
    int m_aliquoteTno = -1;
    int m_aliquoteAnno = -1;
};
