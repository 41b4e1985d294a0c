#include "ZepCImpMultiSelect.h"
#include "zepMDisCalcola.h"

#include "WunUUtil.h"
#include "ZepCTabellaDenuncia.h"
#include "ZepULayoutNomi.h"
#include "ZepUUtil.h"
#include "tovCQueryText.h"
#include "tovUCalcoli.h"
#include "tovUDBCds.h"

#include "Exceptions.h"
#include "Field.h"

using platform::DataSet;
using platform::Value;

const QString TZepImpMultiSelect::TabellaDipendenti = layouts::TEMD_DIPENDENTI::Tabella;
const QString TZepImpMultiSelect::TabellaCollaboratori = layouts::TEMC_COLLABORATORI::Tabella;
const QString TZepImpMultiSelect::MsgOrariRiduzioni = QStringLiteral(
    "Controllare \"Orari/Riduzioni\" nella pagina \"Altri dati\" dello storico");
const QString TZepImpMultiSelect::MsgTipoContribuzione = QStringLiteral(
    "Il tipo contribuzione non è compatibile con le ritenute a carico dipendente.");
const QString TZepImpMultiSelect::TipoContribuzioneSenzaRitenute = QStringLiteral("71");
const QList<int> TZepImpMultiSelect::VociRetribuzioneTeorica{10001, 10002, 10003, 10004, 10025, 10016,
                                                             10018, 10049, 10053, 10055, 10071, 10070};
const QList<int> TZepImpMultiSelect::VociRetribuzioneTeoricaEMens{10001, 10002, 10004, 10016, 10018, 10049, 10053};
const QString TZepImpMultiSelect::MsgTempoIndeterminato = QStringLiteral(
    "Non abilitato per il personale a tempo indeterminato.");
const QString TZepImpMultiSelect::MsgTipoContribuzioneScelto = QStringLiteral(
    "La causa è il tipo contribuzione \"%1\" scelto in \"%2\": per il personale a tempo indeterminato "
    "sceglierne un altro con \"...\" (\"00\" per i dipendenti ordinari) e ripetere \"Importa\".");
const QString TZepImpMultiSelect::CodiceContrattoEMens = QStringLiteral("EP");

namespace {
// Relationship types the declaration leaves out: external persons and
// self-employed professionals.
constexpr int TnoEstranei = 10;
constexpr int TnoLiberiProfessionisti = 14;
} // namespace

QString TZepImpMultiSelect::CondizioneVociTeoriche(TZepDenuncia denuncia)
{
    QStringList voci;
    for (int voce : denuncia == TZepDenuncia::UniEmens ? VociRetribuzioneTeorica : VociRetribuzioneTeoricaEMens)
        voci << QString::number(voce);
    return QStringLiteral("ICOMRID IN (%1)").arg(voci.join(QStringLiteral(", ")));
}

TZepImpMultiSelect::TZepImpMultiSelect(ITovDBCds &store, platform::Database *connessione)
    : TZepImpMultiSelect(store, TZepDenuncia::UniEmens, connessione)
{
}

TZepImpMultiSelect::TZepImpMultiSelect(ITovDBCds &store, TZepDenuncia denuncia, platform::Database *connessione)
    : TZepFiscImpMultiSelect(store, connessione), cdsColl(QStringLiteral("cdsColl")),
      xqcAppoggio(&Connessione(), QStringLiteral("xqcAppoggio")), xqcVape(&Connessione(), QStringLiteral("xqcVape")),
      xqcvacr(&Connessione(), QStringLiteral("xqcvacr")), xqcCCNL(&Connessione(), QStringLiteral("xqcCCNL")),
      cdsCompenso(QStringLiteral("cdsCompenso")), m_denuncia(denuncia)
{
    Collaboratori.Denuncia = denuncia;
    cdsColl.events().afterPost = [this](DataSet &ds) { SalvaTabella(ds); };
    cdsColl.events().afterDelete = [this](DataSet &ds) { SalvaTabella(ds); };
    cdsImport.events().beforePost = [this](DataSet &) { cdsImportBeforePost(); };
}

TZepImpMultiSelect::~TZepImpMultiSelect() = default;

platform::SqlQuery &TZepImpMultiSelect::Istruzione(const QString &nome)
{
    std::unique_ptr<platform::SqlQuery> &query = m_istruzioni[nome];
    if (!query)
        query = std::make_unique<platform::SqlQuery>(Connessione());
    return *query;
}

// ---------------------------------------------------------------- parameters

const platform::Field &TZepImpMultiSelect::Parametro(const QString &nome) const
{
    ZEP_ASSERT(Parametri(), QStringLiteral("Parametri dell'importazione non impostati"));
    return Parametri()->fieldByName(nome);
}

bool TZepImpMultiSelect::PtComeIntero() const
{
    const platform::Field &f = Parametro(QStringLiteral("PT_COME_INTERO"));
    return !f.isNull() && f.asBoolean();
}

QString TZepImpMultiSelect::MatricolaInps() const
{
    return Parametro(QStringLiteral("MatricolaINPS")).asString();
}

QString TZepImpMultiSelect::MatricolaInpsAccessori() const
{
    const QString accessori = Parametro(QStringLiteral("MatricolaINPSAcc")).asString();
    return accessori.trimmed().isEmpty() ? MatricolaInps() : accessori;
}

QString TZepImpMultiSelect::TipoContribuzione() const
{
    return Parametro(QStringLiteral("TipoContribuzione")).asString();
}

QString TZepImpMultiSelect::ComuneLavoro() const
{
    return Parametro(QStringLiteral("ComuneLavoro")).asString();
}

bool TZepImpMultiSelect::VarRetributive() const
{
    ZEP_ASSERT(Parametri(), QStringLiteral("Parametri dell'importazione non impostati"));
    const platform::Field *f = Parametri()->findField(QStringLiteral("VarRetributive"));
    return f && !f->isNull() && f->asBoolean();
}

// ---------------------------------------------------------------- overrides

void TZepImpMultiSelect::SalvaTabella(DataSet &dataSet)
{
    if (&dataSet == &cdsImport)
        TZepFiscImpMultiSelect::SalvaTabella(dataSet);
    else if (&dataSet == &cdsColl)
        Store().Save(cdsColl, TabellaCollaboratori);
}

QList<DataSet *> TZepImpMultiSelect::TabelleInMemoria()
{
    return {&cdsImport, &cdsColl};
}

void TZepImpMultiSelect::PrimaDiImportare()
{
    TZepFiscImpMultiSelect::PrimaDiImportare();
    CaricaTabella(TabellaDipendenti);
    CaricaTabella(TabellaCollaboratori, &cdsColl);
}

void TZepImpMultiSelect::PreparaElenco()
{
    xqcMultiSelect.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_EMENS_IMP"), xqcMultiSelect, QStringLiteral("EXECUTE"));
    platform::Params &p = xqcMultiSelect.params();
    p.paramByName(QStringLiteral("IANFID")).setValue(wunAnnoFinanziario().Id());
    p.paramByName(QStringLiteral("IMESID")).setValue(Mese());
    p.paramByName(QStringLiteral("IDWGID")).setValue(TWunUtil::DwgIdCorrente());
    p.paramByName(QStringLiteral("RICE_COD_INPS_OI")).setValue(TTovCalcola::RICE_COD_INPS_OI);
    p.paramByName(QStringLiteral("RICE_COD_INPS_PT")).setValue(TTovCalcola::RICE_COD_INPS_PT);
    p.paramByName(QStringLiteral("TNO_ESTRANEI")).setValue(TnoEstranei);
    p.paramByName(QStringLiteral("TNO_LIB_PROF")).setValue(TnoLiberiProfessionisti);
    ApriElenco();
}

void TZepImpMultiSelect::ApriCompenso()
{
    TZepFiscImpMultiSelect::ApriCompenso();
    // The calculators take the compensation as a dataset row.
    platform::ValueList riga;
    if (!qquAcom.eof())
        for (int i = 0; i < qquAcom.fieldCount(); ++i)
            riga << qquAcom.value(i);
    cdsCompenso.loadRecords(qquAcom.fieldDefs(),
                            riga.isEmpty() ? QList<platform::ValueList>{} : QList<platform::ValueList>{riga});
}

QString TZepImpMultiSelect::CodiceFiscale() const
{
    return qquAcom.value(QStringLiteral("SANACODFISCALE")).toString().trimmed();
}

void TZepImpMultiSelect::ImportaRiga()
{
    CaricaTabella(TabellaDipendenti);
    CaricaTabella(TabellaCollaboratori, &cdsColl);
    const QString codiceFiscale = CodiceFiscale();
    if (!CodiceFiscalePresente(codiceFiscale))
        return;
    const QStringList altriCodici = AltriCodiciPersona(codiceFiscale);
    if (PersonaPresente(codiceFiscale) || !altriCodici.isEmpty()) {
        if (!SostituireDati(altriCodici, codiceFiscale))
            return;
        CancellaPersona(codiceFiscale);
    }
    ImportaDipendente();
    Collaboratori.Importa();
}

// ---------------------------------------------------------------- replace choice

bool TZepImpMultiSelect::PersonaPresente(const QString &codiceFiscale) const
{
    const platform::ValueList chiave{Value(codiceFiscale), Value(PeriodoDenuncia())};
    return !cdsImport
                .lookup(QStringLiteral("CFLavoratore;AnnoMeseDenuncia"), chiave, layouts::TEMD_DIPENDENTI::CFLavoratore)
                .isNull()
           || !cdsColl
                   .lookup(QStringLiteral("CFCollaboratore;AnnoMeseDenuncia"), chiave,
                           layouts::TEMC_COLLABORATORI::CFCollaboratore)
                   .isNull();
}

QStringList TZepImpMultiSelect::AltriCodiciPersona(const QString &codiceFiscale) const
{
    const Value periodo(PeriodoDenuncia());
    QStringList codici = AltriCodici(cdsImport, layouts::TEMD_DIPENDENTI::CFLavoratore,
                                     TZepTabellaDenuncia::CampoPeriodo, periodo, codiceFiscale);
    for (const QString &codice : AltriCodici(cdsColl, layouts::TEMC_COLLABORATORI::CFCollaboratore,
                                             TZepTabellaDenuncia::CampoPeriodo, periodo, codiceFiscale))
        if (!codici.contains(codice))
            codici << codice;
    return codici;
}

void TZepImpMultiSelect::CancellaPersona(const QString &codiceFiscale)
{
    const platform::ValueList chiave{Value(codiceFiscale), Value(PeriodoDenuncia())};
    CancellaRighe(cdsImport, QStringLiteral("CFLavoratore;AnnoMeseDenuncia"), chiave);
    CancellaRighe(cdsColl, QStringLiteral("CFCollaboratore;AnnoMeseDenuncia"), chiave);
    // The rows of the same payroll person under a fiscal code it no longer
    // has (corrected in the payroll since) are that person's too.
    const Value persona = PersonaPaghe();
    if (persona.isEmpty())
        return;
    const platform::ValueList diPersona{persona, Value(PeriodoDenuncia())};
    for (DataSet *tabella : {&cdsImport, &cdsColl})
        if (tabella->findField(CampoPersona))
            CancellaRighe(*tabella, CampoPersona + QStringLiteral(";AnnoMeseDenuncia"), diPersona);
}
