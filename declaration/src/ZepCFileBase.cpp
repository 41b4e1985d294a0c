#include "ZepCFileBase.h"

#include "ZepUControlliFile.h"
#include "ZepULayoutNomi.h"

const QString TZepFileBase::MsgNessunDato = QStringLiteral("Nessun dato presente.");
const QString &TZepFileBase::MsgCampoNonImpostato = TZepControlliFile::MsgCampoNonImpostato;
const QString TZepFileBase::MsgMatricolaNonImpostata = QStringLiteral("Matricola INPS Azienda non impostata");
const QString &TZepFileBase::MsgDichiarante = TZepControlliFile::MsgDichiarante;
const QString &TZepFileBase::MsgAnnullata = TZepCreaFile::MsgAnnullata;
const QString &TZepFileBase::MsgTerminata = TZepCreaFile::MsgTerminata;
const QString &TZepFileBase::MsgErrore = TZepCreaFile::MsgErrore;
const QString &TZepFileBase::MsgSovrascrivere = TZepCreaFile::MsgSovrascrivere;
const QString &TZepFileBase::FileConfigurazione = TZepCreaFile::FileConfigurazione;
const QString &TZepFileBase::SezioneConfigurazione = TZepCreaFile::SezioneConfigurazione;

namespace {
const QString Eliminato = QStringLiteral("********* ELIMINATO  ");
const QString FineEliminato = QStringLiteral("*********");
} // namespace

TZepFileBase::TZepFileBase(ITovDBCds &store, IZepLogFile *log)
    : cdsAmm(QStringLiteral("cdsAmm")), cdsDip(QStringLiteral("cdsDip")), cdsColl(QStringLiteral("cdsColl")),
      cdsPrenota(QStringLiteral("cdsPrenota")), CFSoftwarehouse(CFSoftwarehouseConfigurato()), m_store(store),
      m_log(log)
{
}

TZepFileBase::~TZepFileBase() = default;

void TZepFileBase::CreaPrenota(const platform::FieldDefs &altre)
{
    cdsPrenota.setFieldDefs(platform::FieldDefs{{QStringLiteral("Tipo"), platform::FieldType::String, 1},
                                                {QStringLiteral("CF"), platform::FieldType::String, 31},
                                                {layouts::TEMD_DIPENDENTI::Cognome, platform::FieldType::String, 30},
                                                {layouts::TEMD_DIPENDENTI::Nome, platform::FieldType::String, 20},
                                                {layouts::TEMD_DIPENDENTI::Matricola, platform::FieldType::String, 31},
                                                {layouts::TEMD_DIPENDENTI::Qualifica2, platform::FieldType::String, 31}}
                            + altre);
    cdsPrenota.createDataSet();
    cdsPrenota.setIndexFieldNames(QStringLiteral("Tipo;Cognome;Nome"));
}

void TZepFileBase::log(const QString &riga)
{
    if (m_log)
        m_log->Log(riga);
}

void TZepFileBase::LogPersona(const QString &tipo, const QString &riga, bool eliminato)
{
    log(eliminato ? Eliminato + riga + FineEliminato : tipo + riga);
}

const QString &TZepFileBase::CampoObbligatorio(const QString &valore, const QString &etichetta)
{
    return TZepControlliFile::CampoObbligatorio(valore, etichetta);
}

QString TZepFileBase::CFSoftwarehouseConfigurato()
{
    return TZepCreaFile::CFSoftwarehouseConfigurato();
}

QString TZepFileBase::TestoErrore(const QString &persona, const QString &messaggio)
{
    return TZepCreaFile::TestoErrore(persona, messaggio);
}

QString TZepFileBase::TestoErrore(const QString &persona, const std::exception &errore)
{
    return TZepCreaFile::TestoErrore(persona, errore);
}

bool TZepFileBase::CreaFile(const SceltaFile &scegli)
{
    m_personaCorrente.clear();
    return TZepCreaFile::Esegui(
        CartellaFile(), NomeFileProposto(), scegli,
        [this](const QString &file) {
            NomeFile = file;
            Genera();
        },
        [this] { return m_personaCorrente; }, m_log);
}
