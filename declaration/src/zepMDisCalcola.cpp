#include "zepMDisCalcola.h"

#include "ZepUUtil.h"

#include "Exceptions.h"
#include "Field.h"
#include "Format.h"
#include "WunUUtil.h"
#include "tovCGiorniDis.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"

#include <QRegularExpression>

using platform::DataSet;
using platform::Value;

TdmZePDisCalcola::TdmZePDisCalcola(platform::Database *database)
    : TdmTovDisCalcola(database), xqcPTVert(database, QStringLiteral("xqcPTVert"))
{
}

void TdmZePDisCalcola::PreparaPeriodi()
{
    static const QRegularExpression numeri(QStringLiteral("^\\s*\\d+(\\s*,\\s*\\d+)*\\s*$"));
    ZEP_ASSERT(numeri.match(m_periodi).hasMatch(),
               QStringLiteral("Elenco dei periodi non valido: \"%1\"").arg(m_periodi));
    // The ids go in as parameters, so that the statement's text depends only
    // on how many there are and is prepared once per connection, not once
    // per person; the list is filled up to a power of two by repeating its
    // last id (the same condition), which keeps the texts few.
    const QStringList ids = m_periodi.split(QLatin1Char(','));
    qsizetype posti = 1;
    while (posti < ids.size())
        posti *= 2;
    QString elenco;
    for (qsizetype i = 0; i < posti; ++i)
        elenco += (i ? QStringLiteral(", :IVAPEID_") : QStringLiteral(":IVAPEID_")) + QString::number(i + 1);
    xqcPeriodi.SetSelectSQL(TWunUtil::TestoQuery(QStringLiteral("QRY_DIS_PERIODI"), QStringLiteral("EXECUTE"))
                            + QStringLiteral(" AND VAPE.IVAPEID IN (%1)").arg(elenco));
    for (qsizetype i = 0; i < posti; ++i)
        xqcPeriodi.params()
            .paramByName(QStringLiteral("IVAPEID_") + QString::number(i + 1))
            .setValue(Value(ids.at(qMin(i, ids.size() - 1)).trimmed().toLongLong()));
    xqcPeriodi.params()
        .paramByName(QStringLiteral("IACOMID"))
        .setValue(Principale().fieldByName(CampoIdCompenso()).value());
    xqcPeriodi.params().paramByName(QStringLiteral("COMPRESE_OE")).setValue(Value(0));
}

void TdmZePDisCalcola::ApriPTVerticale(int anaCagId, const QDate &fine, const QDate &inizio)
{
    xqcPTVert.close();
    xqcPTVert.setFiltered(false);
    TWunUtil::CaricaQueryCollection(QStringLiteral("QRY_EMENS_PT_VERT"), xqcPTVert);
    xqcPTVert.params().paramByName(QStringLiteral("IANACAGID")).setValue(anaCagId);
    xqcPTVert.params().paramByName(QStringLiteral("DINIZIO")).setValue(inizio);
    xqcPTVert.params().paramByName(QStringLiteral("DFINE")).setValue(fine);
    xqcPTVert.Open();
}

bool TdmZePDisCalcola::GiornoNonLavorato(const QDate &data)
{
    bool nonLavorato = false;
    DataSet &pt = xqcPTVert;
    for (pt.first(); !pt.eof(); pt.next()) {
        if (pt.fieldByName(QStringLiteral("DSERINIZIORETR")).asDate() > data
            || pt.fieldByName(QStringLiteral("DSERFINERETR")).asDate() < data)
            continue;
        nonLavorato = pt.fieldByName(QStringLiteral("ITOSID")).asInteger() == TosVerticale
                      && pt.fieldByName(QStringLiteral("GIORNO%1").arg(data.dayOfWeek())).asInteger() == 0;
        if (!nonLavorato)
            break;
    }
    return nonLavorato;
}

int TdmZePDisCalcola::TipoPartTime()
{
    DataSet &pt = xqcPTVert;
    pt.setFiltered(false);
    int righe = 0;
    int verticali = 0;
    for (pt.first(); !pt.eof(); pt.next()) {
        ++righe;
        if (pt.fieldByName(QStringLiteral("ITOSID")).asInteger() == TosVerticale)
            ++verticali;
    }
    pt.setFilter(QStringLiteral("ITOSID = %1").arg(TosVerticale));
    pt.setFiltered(true);
    if (verticali == 0)
        return PartTimeNessuno;
    return verticali == righe ? PartTimeVerticale : PartTimeMisto;
}

QString TdmZePDisCalcola::CalcolaGiorni()
{
    const int giorniMese = GiorniMeseDenuncia();
    const QDate primo = DataGiornoMeseDenuncia(1);
    const QDate ultimo = DataGiornoMeseDenuncia(giorniMese);
    TGiorniDis giorni(giorniMese);
    DataSet &p = xqcPeriodi;
    for (p.first(); !p.eof(); p.next()) {
        const QDate dal = p.fieldByName(QStringLiteral("DVAPEDAL")).asDate();
        const QDate al = p.fieldByName(QStringLiteral("DVAPEAL")).asDate();
        if (!dal.isValid() || !al.isValid())
            throw ETovWarning(platform::format(
                QStringLiteral(
                    "Controllare \"Orari/Riduzioni\" nella pagina \"Altri dati\" dello storico (mese di %s)"),
                p.fieldByName(QStringLiteral("SMESLDESC")).asString().toLower()));
        // Only the period's days within the working month: a period that
        // began in an earlier month (or ends in a later one) has its other
        // days in the other month's string.
        const QDate inizio = qMax(dal, primo);
        const QDate fine = qMin(al, ultimo);
        const bool maternita = p.fieldByName(QStringLiteral("MATERNITA")).asInteger() == 1;
        for (QDate data = inizio; data <= fine; data = data.addDays(1)) {
            if (giorni.GetGiorno(data.day()) != cGiornoVuoto)
                continue;
            QString codice;
            const bool lavorato = maternita
                                  || !(GiornoNonLavorato(data) || GiornoFestivo(p, data) || InAssenza(data, codice)
                                       || InFerie(data) || PeriodoCodificato(codice));
            giorni.SetGiorno(data.day(), QString(lavorato ? cGiornoSi : cGiornoNo));
        }
    }
    return giorni.GetGiorni();
}
