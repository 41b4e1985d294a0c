#pragma once
// The company and year parameters module, created second at start-up
// (global dmWunParams, owned by the program). Its parameter manager holds
// the program's current parameters ("UQUP_AnfId" the financial-year id,
// "UQUP_DwgId" the employer group); qquPaco exposes the company-parameter
// row of the working financial year; its check-value handler vets the
// financial year the user picks, starting the chart-of-accounts update tool
// of 2019 when a year from 2019 on needs it.
//
// The update tool is a setting of ours (no such tool ships
// with the program): the key "Programma" of the section [PianoConti2019] in
// "Aggiornamenti.ini" of the etc folder (TWunUtil::CartellaEtc()), empty by
// default; a relative path is taken from the main folder. It is started
// through the desktop service with one argument, the database name in
// double quotes, and waited for. Whether the year is then accepted is
// decided by the account check that follows it, whatever the tool did.
#include "Enumeration.h"
#include "UqParams.h"
#include "Value.h"
#include "tovUUtil.h"

#include <QString>
#include <functional>
#include <memory>

namespace platform {
class SqlQuery;
} // namespace platform

class TdmWunParams : public TdmUquParams, public ITovParams {
    Q_OBJECT
public:
    static const QString ParamsGroup;         // "UQUC_Params"
    static const QString AnfIdParam;          // "UQUP_AnfId"
    static const QString DwgIdParam;          // "UQUP_DwgId"
    static const QString UltimoAnno;          // "2025": the last financial year the program knows
    static const QString PrimoAnnoPianoConti; // "2019"
    static const int AnnoIdPianoConti = 50;   // the id of 2019, the update marker's year
    static const int ContoAmministrazione = 500001;
    static const int ContoPianoConti2019 = 200001;

    // Sets the global dmWunParams (one module a run).
    explicit TdmWunParams(QObject *parent = nullptr);
    ~TdmWunParams() override;

    // Aggregate display on and restricted to aggregates; qquPaco and
    // qquAppoggio on the global connection (EDatabaseError "Connessione al
    // database non consentita" without one); QRY_PACO_ANF into qquPaco, not
    // opened.
    void DataModuleCreate();

    platform::SqlQuery &qquPaco() const;
    platform::SqlQuery &qquAppoggio() const;

    // The field of the working year's company parameters (read by qquPaco
    // on first use); Null when the year has no row.
    platform::Value CampoPaco(const QString &name);
    // qquPaco follows the year id; its IDWGANFID becomes the project id of
    // WunProgetto() (0 when the year has no row).
    void CambiaAnno(int annoId);
    // QRY_NAF_CONTI_TEST: whether an account of the type exists.
    bool ContoPresente(int tipoConto);
    // True when the chart of accounts of 2019 is there or not needed: the
    // company parameter LPACOAFAM is 1, or account type 500001 or 200001
    // exists (in this order). Otherwise starts the update tool and answers
    // whether account type 200001 exists afterwards.
    bool VerificaPianoConti();
    // The handler of the parameter manager's value check (installed at
    // construction): only for parameters of the group "UQUC_Params". The
    // editor `sender` is a QComboBox; no item chosen is refused; for
    // "UQUP_AnfId" a year after "2025" is refused, and a year from "2019" on
    // whose update of 2019 is not done needs VerificaPianoConti.
    void xpmUquParamsCheckValue(QObject *sender, const QString &param, bool &valid);

    // Where the update tool's command is set, and the command ("" when
    // unset): see above.
    static QString FileImpostazioni();
    static QString ComandoPianoConti2019();

    // The employer group every import works on: "UQUP_DwgId" must have a
    // value. A group already set that the archive still holds is kept; else
    // the archive's only group is taken, or, when it holds several, the one
    // `scegli` picks among their (name, id) pairs (QRY_DWG_ELENCO), given the
    // group set before (0 none); it answers 0 when the user picked none.
    // The group taken is set in the parameter manager (whose values the
    // main window keeps between runs). Answers the group, 0 when none was
    // picked. An archive without employer groups raises EUqWarning.
    using SceltaGruppo = std::function<qint64(const platform::EnumItems &gruppi, qint64 attuale)>;
    int GruppoPerImportazione(const SceltaGruppo &scegli);
    static const QString MsgNessunDatore; // "Nessun datore di lavoro nell'archivio: impossibile importare."

    // ITovParams: the parameter manager's value (Null when unset).
    platform::Value GetParams(const QString &name) const override;

private:
    void AvviaPianoConti2019();
    // Reads the year's row with qquPaco into memory and closes it.
    void LeggiPaco();

    std::unique_ptr<platform::SqlQuery> m_qquPaco;
    bool m_pacoLetto = false;
    platform::ValueList m_paco; // empty: the year has no row
    std::unique_ptr<platform::SqlQuery> m_qquAppoggio;
};

// The one parameters module of the run (nullptr before it is created and
// after it is destroyed).
extern TdmWunParams *dmWunParams;
