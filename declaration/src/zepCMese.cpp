#include "zepCMese.h"

#include "ZepUUtil.h"

#include "DataSet.h"
#include "Field.h"
#include "tovUUtil.h"
#include "ZepULayoutNomi.h"

#include <QLocale>
#include <Qt>

using platform::DataChange;

const QString TZepMese::Intestazione = QStringLiteral("Giorni (S=Lavorato; N=Non lavorato; vuoto=non in servizio)");
const QString TZepMese::CampoGiorni = layouts::TEMD_DIPENDENTI::GIORNI;

TZepMese::Tasto TZepMese::AzioneTasto(int tasto, const QString &testo, QChar &codice)
{
    switch (tasto) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete: codice = cGiornoVuoto; return Tasto::Codice;
    case Qt::Key_Left:
    case Qt::Key_Up: return Tasto::Precedente;
    case Qt::Key_Right:
    case Qt::Key_Down: return Tasto::Successivo;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return Tasto::Focus;
    default: break;
    }
    const QString maiuscolo = testo.toUpper();
    if (!TGiorniDis::CodiceValido(maiuscolo))
        return Tasto::Ignorato;
    codice = maiuscolo[0];
    return Tasto::Codice;
}

QChar TZepMese::LetteraGiorno(const QDate &data)
{
    static const QLocale italiano(QLocale::Italian, QLocale::Italy);
    return italiano.dayName(data.dayOfWeek(), QLocale::ShortFormat).at(0).toUpper();
}

TZepMese::TZepMese() = default;

TZepMese::~TZepMese()
{
    Scollega();
}

void TZepMese::Scollega()
{
    if (m_dataSet && m_osservatore >= 0)
        m_dataSet->removeObserver(m_osservatore);
    m_dataSet = nullptr;
    m_osservatore = -1;
}

void TZepMese::Inizializza(platform::DataSet *dataSet, const QString &campo)
{
    Scollega();
    m_primo = DataGiornoMeseDenuncia(1);
    m_giorni = TGiorniDis(GiorniMeseDenuncia());
    m_dataSet = dataSet;
    m_campo = campo;
    if (m_dataSet)
        m_osservatore = m_dataSet->addObserver([this](const DataChange &change) { Osserva(change); });
    CaricaDalCampo();
}

void TZepMese::Osserva(const DataChange &change)
{
    if (change.kind == DataChange::Destroyed) {
        m_dataSet = nullptr; // its observers go with it
        m_osservatore = -1;
        return;
    }
    if (m_scrivendo)
        return;
    if (change.kind == DataChange::RecordChanged && change.field
        && change.field->fieldName().compare(m_campo, Qt::CaseInsensitive) != 0)
        return;
    CaricaDalCampo();
}

void TZepMese::CaricaDalCampo()
{
    platform::Field *campo = m_dataSet && m_dataSet->isActive() ? m_dataSet->findField(m_campo) : nullptr;
    TGiorniDis giorni(m_giorni.Giorni());
    if (campo)
        giorni.SetGiorni(campo->asString());
    if (giorni.GetGiorni() == m_giorni.GetGiorni())
        return;
    m_giorni = giorni;
    Cambiati();
}

void TZepMese::SetGiorni(const QString &testo)
{
    TGiorniDis giorni(m_giorni.Giorni());
    giorni.SetGiorni(testo);
    m_giorni = giorni;
    Cambiati();
}

void TZepMese::Cambiati()
{
    if (OnCambio)
        OnCambio();
}

TZepMese::Tasto TZepMese::Premi(int giorno, int tasto, const QString &testo)
{
    QChar codice;
    const Tasto azione = AzioneTasto(tasto, testo, codice);
    if (azione != Tasto::Codice || giorno < 1 || giorno > Giorni())
        return azione;
    if (m_dataSet && !m_dataSet->canModify())
        return Tasto::Ignorato;
    m_scrivendo = true;
    try {
        TTovUtil::EditDataSet(m_dataSet);
        TGiorniDis giorni = m_giorni;
        giorni.SetGiorno(giorno, QString(codice));
        if (platform::Field *campo = m_dataSet ? m_dataSet->findField(m_campo) : nullptr)
            campo->setAsString(giorni.GetGiorni());
        m_giorni = giorni;
    } catch (...) {
        m_scrivendo = false;
        throw;
    }
    m_scrivendo = false;
    Cambiati();
    return azione;
}
