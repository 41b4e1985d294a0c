#include "zepCFiscImpMultiSelect.h"

#include "ZepCCdsLocale.h"
#include "ZepCParametri.h"
#include "zepCImpSostituto.h"
#include "tovCQueryText.h"
#include "tovUDBCds.h"

#include "Exceptions.h"

#include <QScopeGuard>

#include <utility>

using platform::DataSet;
using platform::Value;

TZepFiscImpMultiSelect::TZepFiscImpMultiSelect(ITovDBCds &store, platform::Database *connessione)
    : TwunFiscImpMultiSelect(connessione), m_store(store)
{
}

bool TZepFiscImpMultiSelect::StoreLocale() const
{
    return dynamic_cast<const TZepCdsLocale *>(&m_store) != nullptr;
}

bool TZepFiscImpMultiSelect::EDichiarante(const QString &tabella)
{
    return tabella.compare(TZepParametri::TabellaDichiarante, Qt::CaseInsensitive) == 0;
}

void TZepFiscImpMultiSelect::CaricaTabella(const QString &tabella, DataSet *dataSet)
{
    if (!dataSet) {
        dataSet = &cdsImport;
        m_nomeTabella = tabella;
    }
    if (dataSet->isActive())
        return;
    if (EDichiarante(tabella))
        m_store.LoadPeriod(*dataSet, tabella, m_store.Year(), 0);
    else
        m_store.Load(*dataSet, tabella);
}

QString TZepFiscImpMultiSelect::Cittadinanza()
{
    qquAppoggio.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_ANA_CITTADINANZA"), qquAppoggio);
    qquAppoggio.bind(QStringLiteral("IANAID"), xqcMultiSelect.fieldValue(QStringLiteral("IANAID")));
    qquAppoggio.open();
    const QString codice = qquAppoggio.eof() ? QString() : qquAppoggio.value(0).toString();
    qquAppoggio.close();
    return codice;
}

int TZepFiscImpMultiSelect::RegimePost95()
{
    qquAppoggio.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_ACOM_REGIMEPOST95"), qquAppoggio);
    qquAppoggio.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
    qquAppoggio.open();
    const Value regime = qquAppoggio.eof() ? Value::null() : qquAppoggio.value(0);
    qquAppoggio.close();
    return regime.isNull() ? -1 : regime.toInt();
}

void TZepFiscImpMultiSelect::SalvaTabella(DataSet &dataSet)
{
    ZEP_ASSERT(!m_nomeTabella.isEmpty(), QStringLiteral("SalvaTabella: tabella non caricata con CaricaTabella"));
    if (RinviaSalvataggio(dataSet))
        return;
    if (EDichiarante(m_nomeTabella))
        m_store.SavePeriod(dataSet, m_nomeTabella, m_store.Year(), 0);
    else
        m_store.Save(dataSet, m_nomeTabella);
}

bool TZepFiscImpMultiSelect::RinviaSalvataggio(DataSet &dataSet)
{
    if (m_scriviOra || !StoreLocale() || !PersonaInCorso())
        return false;
    if (!m_rinviati.contains(&dataSet))
        m_rinviati.append(&dataSet);
    return true;
}

void TZepFiscImpMultiSelect::PrimaDelCommit()
{
    const QList<DataSet *> tabelle = std::exchange(m_rinviati, {});
    m_scriviOra = true;
    const auto fine = qScopeGuard([this] { m_scriviOra = false; });
    for (DataSet *tabella : tabelle)
        SalvaTabella(*tabella);
}

void TZepFiscImpMultiSelect::TabellaRipristinata(DataSet &dataSet)
{
    // The local files are no part of the person's transaction: the rows a
    // failed person had saved are still in them until the table, put back,
    // is written again. Saves still deferred are dropped with the person.
    m_rinviati.clear();
    if (StoreLocale() && dataSet.isActive()) {
        m_scriviOra = true;
        const auto fine = qScopeGuard([this] { m_scriviOra = false; });
        SalvaTabella(dataSet);
    }
}

void TZepFiscImpMultiSelect::ImportaSostituto()
{
    TZepImpSostituto(*this, FileSediInps).Importa();
}
