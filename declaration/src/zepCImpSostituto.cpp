#include "zepCImpSostituto.h"

#include "ZepCParametri.h"

#include "Exceptions.h"
#include "Field.h"
#include "TovUCdsUtil.h"
#include "UqQueryCollection.h"
#include "tovUDBCds.h"

using platform::DataSet;
using platform::Value;

const QString TZepImpSostituto::TabellaSediInps = QStringLiteral("TSIN_SEDIINPS.cds");
const QString TZepImpSostituto::MsgSedeMancante = QStringLiteral(
    "Sede del datore di lavoro non trovata: impossibile importare i dati dell'amministrazione o ente "
    "dichiarante.");

TZepImpSostituto::TZepImpSostituto(const TContesto &contesto, const QString &fileSediInps)
    : m_contesto(contesto), m_fileSediInps(fileSediInps)
{
}

QString TZepImpSostituto::RagioneSociale(const QString &nome)
{
    // Character by character: a letter whose upper case is more than one
    // letter ("ß") would otherwise make the text longer.
    QString testo(nome.size(), QLatin1Char(' '));
    for (qsizetype i = 0; i < nome.size(); ++i) {
        const QChar c = nome.at(i).toUpper();
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            testo[i] = c;
    }
    return testo;
}

QString TZepImpSostituto::SedeInps(const QString &fileTabella, const QString &provincia)
{
    if (provincia.trimmed().isEmpty())
        return QString();
    DataSet sedi;
    TTovCds::LoadFromFile(sedi, fileTabella);
    if (!sedi.locate(QStringLiteral("PROVINCIA"), Value(provincia.trimmed())))
        return QString();
    return sedi.fieldByName(QStringLiteral("Codice")).asString();
}

void TZepImpSostituto::Importa()
{
    DataSet &dichiarante = m_contesto.Dichiarante;
    ITovDBCds &store = m_contesto.Store;
    try {
        // The year's row (month 0); a table already open keeps what the
        // dialog wrote into it.
        if (!dichiarante.isActive())
            store.LoadPeriod(dichiarante, TZepParametri::TabellaDichiarante, store.Year(), 0);
        Compila(dichiarante);
        store.SavePeriod(dichiarante, TZepParametri::TabellaDichiarante, store.Year(), 0);
    } catch (...) {
        if (dichiarante.isEditing())
            dichiarante.cancel();
        dichiarante.close();
        throw;
    }
}

void TZepImpSostituto::Compila(DataSet &dichiarante)
{
    TUqQueryCollection *sedi = m_contesto.Sedi;
    if (!sedi || !sedi->isActive() || sedi->isEmpty())
        throw EUqError(MsgSedeMancante);
    sedi->first();
    auto sede = [sedi](const char *campo) { return sedi->fieldByName(QLatin1String(campo)).asString(); };

    if (dichiarante.isEmpty()) {
        dichiarante.append();
    } else {
        dichiarante.first();
        dichiarante.edit();
    }
    auto imposta = [&dichiarante](const char *campo, const QString &valore) {
        dichiarante.fieldByName(QLatin1String(campo)).setAsString(valore);
    };
    imposta("CFMittente", sede("SSEDNOMCODICEFISC"));
    imposta("CFAzienda", sede("SSEDNOMCODICEFISC"));
    const QString ragioneSociale = RagioneSociale(sede("SSEDNOMLDESC"));
    imposta("RagSocMittente", ragioneSociale);
    imposta("RagSocAzienda", ragioneSociale);
    imposta("CAP", sede("SCAPVALUE"));
    // An office the table does not know for the province leaves the one the
    // row holds (typed by the user in "Dichiarante"): writing the empty
    // lookup over it would lose it at every import. A new row stays empty.
    if (const QString sedeInps = SedeInps(m_fileSediInps, sede("SPROSIGLA")); !sedeInps.isEmpty())
        imposta("SedeINPS", sedeInps);
    if (!sede("SPACOCODATECO2007").isEmpty())
        imposta("ISTAT", sede("SPACOCODATECO2007"));
    else if (!sede("SPACOCODATECO").isEmpty())
        imposta("ISTAT", sede("SPACOCODATECO"));
    dichiarante.post();
}
