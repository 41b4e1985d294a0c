#include "ZepCTabellaDenuncia.h"

#include "ZepUMainState.h"
#include "ZepUUtil.h"

#include "Exceptions.h"
#include "Field.h"
#include "Paths.h"
#include "UqMessages.h"
#include "tovUDBCds.h"

using platform::DataSet;
using platform::Field;

const QString TZepTabellaDenuncia::MsgCodiceFiscale = QStringLiteral("Codice fiscale obbligatorio");
const QString TZepTabellaDenuncia::MsgNucleoFamiliare = QStringLiteral(
    "I campi del nucleo familiare devono essere tutti presenti o tutti assenti");
const QString TZepTabellaDenuncia::MsgConfermaCancellazione = QStringLiteral(
    "Confermi la cancellazione del modello corrente?");
const QString TZepTabellaDenuncia::MsgChiudereSenzaSalvare = QStringLiteral(
    "Le modifiche non salvate nell'archivio andranno perse. Chiudere comunque la finestra?");
const QString TZepTabellaDenuncia::CampoElimina = QStringLiteral("Elimina");
const QString TZepTabellaDenuncia::CampoPeriodo = QStringLiteral("AnnoMeseDenuncia");
const QString TZepTabellaDenuncia::CartellaTabelle = QStringLiteral("Tabelle/");

TZepTabellaDenuncia::TZepTabellaDenuncia(TTovDBCds &store, const QString &nome, bool annuale)
    : m_store(store), m_nome(nome), m_annuale(annuale)
{
}

void TZepTabellaDenuncia::Carica(DataSet &dataSet)
{
    m_store.LoadPeriod(dataSet, m_nome, m_store.Year(), m_annuale ? 0 : m_store.Month());
}

void TZepTabellaDenuncia::Salva(DataSet &dataSet)
{
    m_store.SavePeriod(dataSet, m_nome, m_store.Year(), m_annuale ? 0 : m_store.Month(), TCdsSaveFailure::KeepChanges);
}

bool TZepTabellaDenuncia::SalvaPrimaDiChiudere(DataSet &dataSet)
{
    if (!dataSet.isActive() || dataSet.changeCount() == 0)
        return true;
    try {
        Salva(dataSet);
        return true;
    } catch (const std::exception &e) {
        UqShowException(e);
    }
    return UqAskYesNo(MsgChiudereSenzaSalvare, false);
}

void TZepTabellaDenuncia::ConfermaCancellazione()
{
    if (UqMessageBox(MsgConfermaCancellazione, QString(), platform::Yes | platform::No, platform::MessageType::Warning)
        != platform::Yes)
        throw platform::EAbort();
}

void TZepTabellaDenuncia::ControllaPersona(DataSet &dataSet, const QString &campoCodiceFiscale)
{
    if (dataSet.fieldByName(campoCodiceFiscale).asString().trimmed().isEmpty())
        throw EUqError(MsgCodiceFiscale);
    if (dataSet.state() == platform::DataSetState::Insert)
        dataSet.fieldByName(CampoPeriodo).setAsString(PeriodoDenuncia());
}

void TZepTabellaDenuncia::ControllaNucleoFamiliare(const DataSet &dataSet)
{
    const bool tipo = !dataSet.fieldByName(QStringLiteral("TipoANF")).asString().isEmpty();
    const bool numero = dataSet.fieldByName(QStringLiteral("NumANF")).asInteger() != 0;
    const bool classe = dataSet.fieldByName(QStringLiteral("ClasseANF")).asInteger() != 0;
    if ((tipo || numero || classe) && !(tipo && numero && classe))
        throw EUqError(MsgNucleoFamiliare);
}

bool TZepTabellaDenuncia::DaEliminare(const DataSet &dataSet, const platform::Bookmark &bookmark)
{
    const Field *elimina = dataSet.findField(CampoElimina);
    return elimina && dataSet.rowValue(bookmark, elimina->index()).toString() == QStringLiteral("S");
}

QString TZepTabellaDenuncia::FileTabella(IZepMainState &main, const QString &tabella)
{
    return platform::findPath(main.CartellaBase(), main.Programma().CartellaRisorse + CartellaTabelle + tabella);
}

void TZepTabellaDenuncia::ImpostaColonne(DataSet &dataSet, const QList<TZepColonna> &colonne)
{
    for (const auto &field : dataSet.fields())
        field->setVisible(false);
    for (const TZepColonna &colonna : colonne) {
        Field &field = dataSet.fieldByName(colonna.campo);
        field.setVisible(true);
        field.setDisplayLabel(colonna.titolo);
    }
}
