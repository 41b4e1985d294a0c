#include "ZepCTabellaDenuncia.h"

#include "ZepCFormeCampi.h"
#include "ZepUMainState.h"
#include "ZepUUtil.h"

#include "archive/FiscalCode.h"

#include "Exceptions.h"
#include "Field.h"
#include "Paths.h"
#include "UqMessages.h"
#include "tovUDBCds.h"
#include "ZepULayoutNomi.h"

using platform::DataSet;
using platform::Field;

const QString TZepTabellaDenuncia::MsgCodiceFiscale = QStringLiteral("Codice fiscale obbligatorio");
const QString TZepTabellaDenuncia::MsgNucleoFamiliare = QStringLiteral(
    "I campi del nucleo familiare devono essere tutti presenti o tutti assenti");
const QString TZepTabellaDenuncia::MsgConfermaCancellazione = QStringLiteral(
    "Confermi la cancellazione del modello corrente?");
const QString TZepTabellaDenuncia::MsgChiudereSenzaSalvare = QStringLiteral(
    "Le modifiche non salvate nell'archivio andranno perse. Chiudere comunque la finestra?");
const QString TZepTabellaDenuncia::MsgCarattereNonAmmesso = QStringLiteral(
    "il carattere \"%1\" (%2) non può essere trasmesso nella denuncia: sono ammessi lettere, cifre, spazi, la "
    "punteggiatura comune e le lettere accentate italiane");
const QString TZepTabellaDenuncia::MsgCodiceFiscaleNonValido = QStringLiteral(
    "\"%1\" non è un codice fiscale valido: servono i 16 caratteri del codice di una persona, con il carattere "
    "di controllo esatto, oppure 11 cifre");
const QString TZepTabellaDenuncia::CampoElimina = layouts::TEMD_DIPENDENTI::Elimina;
const QString TZepTabellaDenuncia::CampoPeriodo = layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia;
const QString TZepTabellaDenuncia::CartellaTabelle = QStringLiteral("Tabelle/");

TZepTabellaDenuncia::TZepTabellaDenuncia(ITovDBCds &store, const QString &nome, bool annuale)
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
    ControllaRiga(dataSet, {campoCodiceFiscale});
    if (dataSet.state() == platform::DataSetState::Insert)
        dataSet.fieldByName(CampoPeriodo).setAsString(PeriodoDenuncia());
}

bool TZepTabellaDenuncia::CarattereAmmesso(char32_t c)
{
    static const std::u32string accentate = U"àèéìíîòóùúÀÈÉÌÍÎÒÓÙÚ";
    return (c >= 0x20 && c <= 0x7E) || accentate.find(c) != std::u32string::npos;
}

QString TZepTabellaDenuncia::CarattereNonAmmesso(const QString &testo)
{
    for (const char32_t c : QStringView(testo).toUcs4())
        if (!CarattereAmmesso(c))
            return QString::fromUcs4(&c, 1);
    return QString();
}

bool TZepTabellaDenuncia::CodiceFiscaleValido(const QString &codice)
{
    return payroll::FiscalCode::isValid(codice) || payroll::FiscalCode::isNumeric(codice);
}

void TZepTabellaDenuncia::ControllaRiga(const DataSet &dataSet, const QStringList &codiciFiscali)
{
    for (const auto &field : dataSet.fields()) {
        if (!platform::isTextFieldType(field->dataType()))
            continue;
        const QString carattere = CarattereNonAmmesso(field->asString());
        if (!carattere.isEmpty())
            throw EUqError(platform::fieldMessage(
                *field, MsgCarattereNonAmmesso.arg(
                            carattere,
                            QStringLiteral("U+")
                                + QString::number(carattere.toUcs4().value(0), 16).toUpper().rightJustified(4, u'0'))));
    }
    for (const QString &nome : codiciFiscali) {
        const Field &field = dataSet.fieldByName(nome);
        const QString codice = field.asString();
        if (!codice.isEmpty() && !CodiceFiscaleValido(codice))
            throw EUqError(platform::fieldMessage(field, MsgCodiceFiscaleNonValido.arg(codice)));
    }
    TZepFormeCampi::Controlla(dataSet);
}

void TZepTabellaDenuncia::ControllaNucleoFamiliare(const DataSet &dataSet)
{
    const bool tipo = !dataSet.fieldByName(layouts::TEMD_DIPENDENTI::TipoANF).asString().isEmpty();
    const bool numero = dataSet.fieldByName(layouts::TEMD_DIPENDENTI::NumANF).asInteger() != 0;
    const bool classe = dataSet.fieldByName(layouts::TEMD_DIPENDENTI::ClasseANF).asInteger() != 0;
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
