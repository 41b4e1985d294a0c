#include "tovMDisCalcola.h"

#include "WunUUtil.h"

#include "Database.h"
#include "Exceptions.h"
#include "Field.h"
#include "Format.h"
#include "SqlQuery.h"
#include "tovCQueryText.h"
#include "tovUUtil.h"

#include <QHash>

using platform::DataSet;
using platform::Value;

namespace {

const QString Lavorati = QStringLiteral("LAVORATI");
const QString Assenze = QStringLiteral("ASSENZE");
const QString Maternita = QStringLiteral("MATERNITA");

QDate primoGennaio(int anno)
{
    return QDate(anno, 1, 1);
}
QDate trentunoDicembre(int anno)
{
    return QDate(anno, 12, 31);
}

// The date of a field; invalid for Null.
QDate dataCampo(const DataSet &ds, const QString &campo)
{
    return ds.fieldByName(campo).asDate();
}

// Whether the date lies in one of the periods (start and end fields), the
// first such period made current.
bool inPeriodo(DataSet &periodi, const QString &inizio, const QString &fine, const QDate &giorno)
{
    for (periodi.first(); !periodi.eof(); periodi.next()) {
        if (dataCampo(periodi, inizio) <= giorno && giorno <= dataCampo(periodi, fine))
            return true;
    }
    return false;
}

} // namespace

TdmTovDisCalcola::TdmTovDisCalcola(platform::Database *database)
    : xqcPeriodi(database, QStringLiteral("xqcPeriodi")), xqcAssenzePer(database, QStringLiteral("xqcAssenzePer")),
      xqcFerie(database, QStringLiteral("xqcFerie")), xqcAss(database, QStringLiteral("xqcAss")),
      cdsCalendario(QStringLiteral("cdsCalendario")), m_db(database)
{
    TWunUtil::CaricaQueryCollection(QStringLiteral("QRY_DIS_ASS_PER"), xqcAssenzePer);
    TWunUtil::CaricaQueryCollection(QStringLiteral("QRY_DIS_FERIE"), xqcFerie);
    cdsCalendario.setReadOnly(true);
    xqcAssenzePer.events().afterOpen = [this](DataSet &) { DoAssenzePerAfterOpen(); };
    xqcPeriodi.events().afterOpen = [this](DataSet &periodi) {
        AggiungiCampiCalcolati(periodi);
        CompletaPeriodi();
    };
}

TdmTovDisCalcola::~TdmTovDisCalcola() = default;

platform::Database &TdmTovDisCalcola::Connection() const
{
    return m_db ? *m_db : platform::Database::requireGlobal();
}

void TdmTovDisCalcola::ImpostaDataSet(DataSet *principale, DataSet *compenso, DataSet *extra)
{
    m_principale = principale;
    m_compenso = compenso;
    m_extra = extra;
}

DataSet &TdmTovDisCalcola::Principale() const
{
    ZEP_ASSERT(m_principale, QStringLiteral("Calendario dei giorni: dataset principale non impostato"));
    return *m_principale;
}

void TdmTovDisCalcola::ApriPeriodi()
{
    xqcPeriodi.close();
    xqcPeriodi.setFiltered(false);
    PreparaPeriodi();
    xqcPeriodi.Open();
    xqcPeriodi.setIndexFieldNames(QStringLiteral("IVAPEID"));
    xqcPeriodi.first();
}

void TdmTovDisCalcola::AggiungiCampiCalcolati(DataSet &periodi)
{
    platform::FieldDefs defs = periodi.fieldDefs();
    for (platform::FieldDef &def : defs)
        def.required = false; // a column of an outer join is required in its table, not here
    int aggiunti = 0;
    for (const QString &nome : {Lavorati, Assenze, Maternita}) {
        if (!periodi.findField(nome)) {
            defs.append({nome, platform::FieldType::Integer});
            ++aggiunti;
        }
    }
    QList<platform::ValueList> righe = periodi.records();
    for (platform::ValueList &riga : righe)
        for (int i = 0; i < aggiunti; ++i)
            riga.append(Value(0));
    periodi.loadRecords(defs, righe);
}

// When the pay periods open:
// 1. the absence days of the person's periods (reductions other than the
//    strike in hours) are read by period, in the order they were entered;
// 2. each period without a start (end) date takes its register's when the
//    register has no other period among these;
// 3. a period with both dates gets their calendar days in IVAPEGIORNI;
//    LAVORATI is IVAPEGIORNI, ASSENZE the sum of its absence days and
//    MATERNITA 1 when its first reduction is maternity.
// The changes stay in memory (no change log: nothing is ever written back).
void TdmTovDisCalcola::CompletaPeriodi()
{
    xqcAss.close();
    TWunUtil::CaricaQueryCollection(QStringLiteral("QRY_DIS_PERIODI_ASS"), xqcAss);
    xqcAss.params()
        .paramByName(QStringLiteral("IACOMID"))
        .setValue(Principale().fieldByName(CampoIdCompenso()).value());
    xqcAss.params().paramByName(QStringLiteral("TACO_SCIOP_HH")).setValue(Value(TacoScioperoOre));
    xqcAss.Open();
    struct AssenzePeriodo {
        int giorni = 0;
        bool maternita = false;
    };
    QHash<int, AssenzePeriodo> assenze;
    for (xqcAss.first(); !xqcAss.eof(); xqcAss.next()) {
        const int periodo = xqcAss.fieldByName(QStringLiteral("IVAPEID")).asInteger();
        const bool primo = !assenze.contains(periodo);
        AssenzePeriodo &a = assenze[periodo];
        a.giorni += xqcAss.fieldByName(Assenze).asInteger();
        if (primo)
            a.maternita = xqcAss.fieldByName(QStringLiteral("ITACOID")).asInteger() == TacoMaternita;
    }
    xqcAss.close();

    DataSet &p = xqcPeriodi;
    QHash<int, int> periodiDelRegistro;
    for (p.first(); !p.eof(); p.next())
        ++periodiDelRegistro[p.fieldByName(QStringLiteral("IREGSID")).asInteger()];

    const bool log = p.logChanges();
    p.setLogChanges(false);
    p.disableControls();
    try {
        for (p.first(); !p.eof(); p.next()) {
            p.edit();
            const bool unico = periodiDelRegistro.value(p.fieldByName(QStringLiteral("IREGSID")).asInteger()) == 1;
            platform::Field &dal = p.fieldByName(QStringLiteral("DVAPEDAL"));
            platform::Field &al = p.fieldByName(QStringLiteral("DVAPEAL"));
            if (dal.isNull() && unico)
                dal.setValue(p.fieldValue(QStringLiteral("DREGSDAL")));
            if (al.isNull() && unico)
                al.setValue(p.fieldValue(QStringLiteral("DREGSAL")));
            platform::Field &giorni = p.fieldByName(QStringLiteral("IVAPEGIORNI"));
            if (!dal.isNull() && !al.isNull())
                giorni.setAsInteger(int(dal.asDate().daysTo(al.asDate())) + 1);
            p.fieldByName(Lavorati).setAsInteger(giorni.asInteger());
            const auto a = assenze.constFind(p.fieldByName(QStringLiteral("IVAPEID")).asInteger());
            if (a != assenze.cend()) {
                p.fieldByName(Assenze).setAsInteger(a->giorni);
                p.fieldByName(Maternita).setAsInteger(a->maternita ? 1 : 0);
            }
            p.post();
        }
    } catch (...) {
        p.cancel();
        p.enableControls();
        p.setLogChanges(log);
        throw;
    }
    p.enableControls();
    p.setLogChanges(log);
    p.first();
}

void TdmTovDisCalcola::ApriCalendario(int tipoCalendario)
{
    const int tipo = tipoCalendario == 1 ? 2 : 4;
    const ChiaveLettura chiave{{}, m_anno, tipo, true};
    if (cdsCalendario.isActive() && chiave == m_chiaveCalendario)
        return;
    m_chiaveCalendario = {};
    platform::SqlQuery qquCalendario(Connection());
    TovQueryText().AssignSQL(QStringLiteral("QRY_DIS_FESTE"), qquCalendario);
    qquCalendario.bind(QStringLiteral("DINIZIO"), primoGennaio(m_anno))
        .bind(QStringLiteral("DFINE"), trentunoDicembre(m_anno))
        .bind(QStringLiteral("TIPO"), tipo);
    qquCalendario.open();
    qquCalendario.fetchInto(cdsCalendario);
    m_chiaveCalendario = chiave;
}

bool TdmTovDisCalcola::GiornoFestivo(const DataSet &periodo, const QDate &data)
{
    if (data.dayOfWeek() == Qt::Sunday)
        return true;
    ApriCalendario(periodo.fieldByName(QStringLiteral("IDCTID")).asInteger());
    return !cdsCalendario.lookup(QStringLiteral("DCALFESTIVO"), {Value(data)}, QStringLiteral("DCALFESTIVO")).isEmpty();
}

bool TdmTovDisCalcola::GiornoNonLavorato(const QDate &data)
{
    const DataSet &p = xqcPeriodi;
    return p.fieldByName(QStringLiteral("ITOSID")).asInteger() == TosVerticale && data.dayOfWeek() != Qt::Sunday
           && p.fieldByName(QStringLiteral("GIORNO%1").arg(data.dayOfWeek())).asInteger() == 0;
}

void TdmTovDisCalcola::ApriPeriodiPersona(TUqQueryCollection &periodi, ChiaveLettura &chiave)
{
    const Value persona = Principale().fieldByName(QStringLiteral("IANACAGID")).value();
    const ChiaveLettura nuova{persona.isEmpty() ? Value() : persona, m_anno, 0, true};
    if (periodi.isActive() && chiave == nuova)
        return;
    chiave = {};
    periodi.close();
    periodi.params().paramByName(QStringLiteral("DINIZIO")).setValue(primoGennaio(m_anno));
    periodi.params().paramByName(QStringLiteral("DFINE")).setValue(trentunoDicembre(m_anno));
    periodi.params().paramByName(QStringLiteral("IANACAGID")).setValue(persona);
    periodi.Open();
    chiave = nuova;
}

bool TdmTovDisCalcola::InAssenza(const QDate &data, QString &codice)
{
    ApriPeriodiPersona(xqcAssenzePer, m_chiaveAssenze);
    const bool trovata = inPeriodo(xqcAssenzePer, QStringLiteral("DASPDATAINIZIO"), QStringLiteral("DASPDATAFINE"),
                                   data);
    codice = trovata ? xqcAssenzePer.fieldByName(QStringLiteral("STAGCODASSDIS")).asString() : QString();
    return trovata;
}

bool TdmTovDisCalcola::InFerie(const QDate &data)
{
    ApriPeriodiPersona(xqcFerie, m_chiaveFerie);
    return inPeriodo(xqcFerie, QStringLiteral("DFEPDATAINIZIO"), QStringLiteral("DFEPDATAFINE"), data);
}

bool TdmTovDisCalcola::PeriodoCodificato(QString &codice) const
{
    const DataSet &p = xqcPeriodi;
    const bool codificato = !p.fieldByName(QStringLiteral("STAGCOD")).isNull()
                            || p.fieldByName(Assenze).asInteger() == p.fieldByName(Lavorati).asInteger();
    codice = codificato ? p.fieldByName(QStringLiteral("STAGCODASSDIS")).asString() : QString();
    return codificato;
}

QDate TdmTovDisCalcola::DataInizioRapporto() const
{
    ZEP_ASSERT(m_compenso, QStringLiteral("Calendario dei giorni: dataset del compenso non impostato"));
    return dataCampo(*m_compenso, QStringLiteral("DACOMINIRAPP"));
}

QDate TdmTovDisCalcola::DataFineRapporto() const
{
    ZEP_ASSERT(m_compenso, QStringLiteral("Calendario dei giorni: dataset del compenso non impostato"));
    return dataCampo(*m_compenso, QStringLiteral("DACOMFINERAPP"));
}

void TdmTovDisCalcola::ApriImporti()
{
    DataSet &principale = Principale();
    const int categoria = m_extra ? m_extra->fieldByName(QStringLiteral("ICALID")).asInteger() : 0;
    principale.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_DIS_IMP"), principale, QStringLiteral("SELECT"));
    const QString filtro = categoria > 0 ? platform::format(QStringLiteral(" AND (ANAPER.ICALID=%d)"), categoria)
                                         : QString();
    TTovQueryText::FormatSQL(principale, {Value(filtro)});
    principale.params().paramByName(QStringLiteral("IANFID")).setValue(TtovAnnoFinanziario::YearToId(m_anno));
    principale.params().paramByName(QStringLiteral("IDWGID")).setValue(TWunUtil::DwgIdCorrente());
    platform::SqlQuery::openDataSet(Connection(), principale);
}
