#include "wunMFpcCalcola.h"

#include "WunUUtil.h"

#include "DataSet.h"
#include "SqlQuery.h"
#include "tovCQueryText.h"

using platform::Currency;
using platform::DataSet;
using platform::SqlQuery;

TdmWunFpcCalcola::TdmWunFpcCalcola(QObject *parent) : QObject(parent) {}

TdmWunFpcCalcola::~TdmWunFpcCalcola() = default;

SqlQuery &TdmWunFpcCalcola::qquAfp()
{
    if (!m_qquAfp)
        m_qquAfp = std::make_unique<SqlQuery>();
    return *m_qquAfp;
}

namespace {

// A date column of the row, else of the variation; invalid when neither
// has a value.
QDate dataDi(const DataSet &riga, const DataSet &variazione, const char *campo)
{
    for (const DataSet *ds : {&riga, &variazione}) {
        if (const platform::Field *f = ds->findField(QLatin1String(campo)); f && !f->isNull())
            return f->asDate();
    }
    return QDate();
}

} // namespace

QDate TdmWunFpcCalcola::DataRiferimento(const DataSet &riga, const DataSet &variazione)
{
    for (const char *campo : {"DVAPEDAL", "DVACRRIFDAL", "DVARMDMADAL", "DVARMDAL"}) {
        const QDate data = dataDi(riga, variazione, campo);
        if (data.isValid())
            return data;
    }
    const int anno = TtovAnnoFinanziario::IdToYear(variazione.fieldByName(QStringLiteral("IANFID")).asInteger());
    return TTovDate::FirstDayOfMonth(anno, variazione.fieldByName(QStringLiteral("IMESID")).asInteger());
}

void TdmWunFpcCalcola::ApriPerCompenso(int acomId)
{
    SqlQuery &q = qquAfp();
    q.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_AFP_ACOM"), q);
    q.bind(QStringLiteral("IACOMID"), acomId);
    q.open();
    m_acomId = acomId;
}

void TdmWunFpcCalcola::ApriAdesione(const DataSet &compenso, const DataSet &variazione, const DataSet &riga)
{
    const QDate data = DataRiferimento(riga, variazione);
    if (!data.isValid()) {
        qquAfp().close();
        m_acomId = 0;
        return;
    }
    if (data.year() < int(wunAnnoFinanziario().Year()) && compenso.findField(QStringLiteral("IANAPERID"))) {
        if (!m_qquAppoggio)
            m_qquAppoggio = std::make_unique<SqlQuery>();
        const int precedente = TWunUtil::CompensoDaAnagraficaAnno(
            *m_qquAppoggio, compenso.fieldByName(QStringLiteral("IANAPERID")).asInteger(), data.year());
        if (precedente > 0) {
            ApriPerCompenso(precedente);
            if (!qquAfp().eof())
                return;
        }
    }
    const platform::Field *acom = riga.findField(QStringLiteral("IACOMID"));
    const int acomId = (acom ? acom : &compenso.fieldByName(QStringLiteral("IACOMID")))->asInteger();
    if (!qquAfp().isActive() || acomId != m_acomId)
        ApriPerCompenso(acomId);
}

QDate TdmWunFpcCalcola::Data(const char *campo)
{
    const platform::Value v = qquAfp().value(QLatin1String(campo));
    return v.isEmpty() ? QDate() : v.toDate();
}

Currency TdmWunFpcCalcola::Importo(const char *campo)
{
    const platform::Value v = qquAfp().value(QLatin1String(campo));
    return v.isEmpty() ? Currency() : v.toCurrency();
}

QDate TdmWunFpcCalcola::DataEfficacia()
{
    if (!qquAfp().isActive() || qquAfp().eof())
        return QDate();
    const QDate adesione = Data("DAFPADESIONE");
    if (!adesione.isValid())
        return QDate();
    if (adesione < QDate(2008, 4, 1))
        return Data("DAFPINIZIORAPP");
    const QDate dueMesiDopo = adesione.addMonths(2);
    return TTovDate::LastDayOfMonth(dueMesiDopo.year(), dueMesiDopo.month()).addDays(1);
}

bool TdmWunFpcCalcola::AdesioneAttiva(const QDate &data)
{
    const QDate efficacia = DataEfficacia();
    if (!efficacia.isValid() || efficacia > data)
        return false;
    QDate fine = Data("DAFPCESSAZIONE");
    if (!fine.isValid())
        fine = Data("DAFPSOSPENSIONE");
    const QDate riattivazione = Data("DAFPRIATTIVAZIONE");
    if (fine.isValid() && riattivazione.isValid() && fine < riattivazione && data > riattivazione)
        fine = QDate();
    return !fine.isValid() || data < fine;
}

bool TdmWunFpcCalcola::FondoApplicabile(const DataSet &riga, const DataSet *compenso, const DataSet *variazione)
{
    if (!compenso || !variazione)
        return false;
    ApriAdesione(*compenso, *variazione, riga);
    return AdesioneAttiva(DataRiferimento(riga, *variazione));
}

bool TdmWunFpcCalcola::AnnoMaggiorazione(const DataSet &variazione, const DataSet &riga, int &anno)
{
    anno = 0;
    const QDate adesione = Data("DAFPADESIONE");
    const QDate inizioFondo = Data("DFPCINIZIO");
    const QDate efficacia = DataEfficacia();
    if (!adesione.isValid() || !inizioFondo.isValid() || !efficacia.isValid())
        return false;
    const int differenza = adesione.year() - inizioFondo.year();
    const QDate riferimento = DataRiferimento(riga, variazione);
    const QDate fineMese = TTovDate::LastDayOfMonth(riferimento.year(), riferimento.month());
    if ((differenza == 0 || differenza == 1) && fineMese < efficacia.addYears(1)) {
        anno = differenza + 1;
        return true;
    }
    return false;
}

void TdmWunFpcCalcola::ImpostaAliquote(DataSet &ritenuta, const DataSet *compenso, const DataSet *variazione)
{
    if (!compenso || !variazione || !qquAfp().isActive() || qquAfp().eof())
        return;
    if (ritenuta.fieldByName(QStringLiteral("FVARRIMPONIBILEDIP")).asCurrency() <= Currency())
        return;
    const bool dipendente = ritenuta.fieldByName(QStringLiteral("ITVCOIDDIP")).asInteger() > 0;
    if (ritenuta.fieldByName(QStringLiteral("IRICENUBRACODE")).asInteger() == 14) {
        if (dipendente)
            ritenuta.fieldByName(QStringLiteral("FVARRALIQUOTADIP")).setAsCurrency(Importo("FFPCFISSADIP"));
        if (ritenuta.fieldByName(QStringLiteral("ITVCOIDAMM")).asInteger() > 0) {
            Currency amministrazione = Importo("FFPCFISSAAMM");
            int anno = 0;
            if (AnnoMaggiorazione(*variazione, ritenuta, anno))
                amministrazione += qquAfp().value(QStringLiteral("FFPCMAGGAMM%1").arg(anno)).toCurrency();
            ritenuta.fieldByName(QStringLiteral("FVARRALIQUOTAAMM")).setAsCurrency(amministrazione);
        }
    } else if (dipendente) {
        ritenuta.fieldByName(QStringLiteral("FVARRALIQUOTADIP")).setAsCurrency(Importo("FAFPPERCVAR"));
    }
}
