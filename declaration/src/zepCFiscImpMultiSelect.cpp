#include "zepCFiscImpMultiSelect.h"

#include "ZepCParametri.h"
#include "zepCImpSostituto.h"
#include "tovCQueryText.h"
#include "tovUDBCds.h"
#include "tovUDBCdsImportazione.h"

#include "Exceptions.h"

using platform::DataSet;
using platform::Value;

TZepFiscImpMultiSelect::TZepFiscImpMultiSelect(ITovDBCds &store, platform::Database *connessione)
    : TwunFiscImpMultiSelect(connessione), m_store(store)
{
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
    if (EDichiarante(m_nomeTabella))
        m_store.SavePeriod(dataSet, m_nomeTabella, m_store.Year(), 0);
    else
        m_store.Save(dataSet, m_nomeTabella);
}

void TZepFiscImpMultiSelect::ApriAnagrafica()
{
    if (PersonaInCorso())
        m_store.BeginUnit();
    TwunFiscImpMultiSelect::ApriAnagrafica();
}

void TZepFiscImpMultiSelect::PrimaDelCommit()
{
    m_store.CommitUnit();
}

void TZepFiscImpMultiSelect::TabellaRipristinata(DataSet &)
{
    // The person's rows are gone from the store, whatever it is, once its
    // unit is dropped; the tables in memory were put back by the loop.
    m_store.DropUnit();
}

void TZepFiscImpMultiSelect::FineOperazione()
{
    m_store.EndUnits();
    TwunFiscImpMultiSelect::FineOperazione();
}

void TZepFiscImpMultiSelect::ImportaSostituto()
{
    TZepImpSostituto({m_store, cdsSostituto, Sedi()}, FileSediInps).Importa();
}

std::unique_ptr<TTovDBCdsImportazione> TZepFiscImpMultiSelect::ImportazionePeriodo()
{
    return m_store.Importazione(m_store.Year(), m_store.Month());
}

std::unique_ptr<TTovDBCdsImportazione> TZepFiscImpMultiSelect::ImportazioneDichiarante()
{
    return m_store.Importazione(m_store.Year(), 0);
}
