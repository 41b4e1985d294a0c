#include "wunCVapeBase.h"

#include "WunUUtil.h"
#include "wunCInputOreMinuti.h"
#include "wunMParams.h"
#include "wunUCalcoliFond.h"

#include "Exceptions.h"
#include "Format.h"
#include "SearchStatement.h"
#include "SqlQuery.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"

#include <QRegularExpression>

using platform::DataSet;
using platform::DeltaRecord;
using platform::Field;
using platform::FieldType;
using platform::UpdateKind;
using platform::Value;

const QString TWunVapeBase::MsgValoreNonImpostato = QStringLiteral("Valore non impostato: %s");
const QString TWunVapeBase::MsgDateObbligatorie = QStringLiteral("Le date di inizio e fine periodo sono obbligatorie.");
const QString TWunVapeBase::MsgGiorniRidotti = QStringLiteral(
    "I giorni ridotti devono coincidere col numero dei giorni. Suddividere in periodi diversi.");
const QString TWunVapeBase::MsgTotaleGiorni = QStringLiteral(
    "Il totale dei giorni non è congruente con il numero di giorni da liquidare");
const QString TWunVapeBase::MsgGiorniInps = QStringLiteral("Il totale dei giorni validi INPS non può superare %d");
const QString TWunVapeBase::MsgSettimaneInps = QStringLiteral(
    "Il totale delle settimane valide INPS non può superare %d");
const QString TWunVapeBase::MsgDataFuoriMese = QStringLiteral("Data non compresa nei parametri della variazione");
const QString TWunVapeBase::MsgDataInizioFine = QStringLiteral("Data inizio superiore a quella di fine.");
const QString TWunVapeBase::MsgOrarioNonValido = QStringLiteral(
    "Orario non valido: \"%s\". Indicare le ore e i minuti come hh:mm.");

namespace {

const QString kDal = QStringLiteral("DVAPEDAL");
const QString kAl = QStringLiteral("DVAPEAL");

int intero(const DataSet &ds, const QString &campo)
{
    return ds.fieldByName(campo).asInteger();
}

// A value of the written row as an integer: its new value, else its old one;
// null counts 0.
int interoRiga(const DeltaRecord &riga, const QString &campo)
{
    const Value v = riga.value(campo);
    return v.isEmpty() ? 0 : v.toInt();
}

// The days or hours of a reduction to the whole number.
int giorniInteri(const Value &valore)
{
    return valore.isEmpty() ? 0 : int(TwunCalcola::Arrotonda(0, valore.toCurrency()).truncated());
}

// Every row of a search statement of the catalogue, for lookups.
void apriRicerca(TUqQueryCollection &collection, const QString &nome)
{
    if (collection.isActive())
        return;
    collection.SetSelectSQL(platform::fillSearchStatement(TovQueryText().GetSQL(nome, QStringLiteral("RICERCA"))));
    collection.Open();
}

struct Colonna {
    const char *campo;
    const char *titolo;
    int larghezza;
    enum Tipo { Testo, Data, Numero, Ore, Flag } tipo;
};

// The layout of the grid, in the order of its columns.
const Colonna kColonne[] = {
    {"SQARSDESC", "Qualifica", 18, Colonna::Testo},
    {"DVAPEDAL", "Dal", 12, Colonna::Data},
    {"DVAPEAL", "Al", 12, Colonna::Data},
    {"IVAPEGIORNI", "Giorni", 6, Colonna::Numero},
    {"IVAPEORESERVIZIO", "Ore", 6, Colonna::Ore},
    {"IVAPEOREECCEDENTI", "O.E.", 6, Colonna::Ore},
    {"IVAPEOREECCNC", "O.Sost.", 6, Colonna::Ore},
    {"LVAPECATTEDRA", "Catt.", 5, Colonna::Flag},
    {"IVAPEOREPREVISTE", "Den.", 4, Colonna::Numero},
    {"LVAPEPARTTIME", "P.T.", 4, Colonna::Flag},
    {"IVAPESETTINPS", "Sett.", 5, Colonna::Numero},
    {"IVAPEGIORNIINPS", "Giorni", 5, Colonna::Numero},
};

} // namespace

TWunVapeBase::TWunVapeBase(platform::Database *database)
    : TWunDBES(database), xqcColonne(database, QStringLiteral("xqcColonne")),
      xqcValori(database, QStringLiteral("xqcValori")), xqcTag(database, QStringLiteral("xqcTag")),
      xqcQar(database, QStringLiteral("xqcQar"))
{
    xqcMain.BeforeUpdateRecord = [this](DeltaRecord &riga, UpdateKind tipo, bool &applicato) {
        xqcMainBeforeUpdateRecord(riga, tipo, applicato);
    };
}

TWunVapeBase::~TWunVapeBase()
{
    xqcMain.BeforeUpdateRecord = nullptr;
}

QString TWunVapeBase::Suffisso(int n)
{
    return platform::format(QStringLiteral("%.2d"), n);
}

int TWunVapeBase::TipoCalcolo(const QString &suffisso) const
{
    const int n = suffisso.toInt();
    return n >= 1 && n <= m_riduzioni.size() ? m_riduzioni.at(n - 1).tipoCalcolo : 0;
}

QString TWunVapeBase::SiglaRiduzione() const
{
    return xqcColonne.fieldValue(QStringLiteral("STACOSIGLA")).toString();
}

QString TWunVapeBase::SuffissoColonna(int riduzione) const
{
    for (int n = 1; n <= m_riduzioni.size(); ++n)
        if (m_riduzioni.at(n - 1).id == riduzione)
            return Suffisso(n);
    return {};
}

void TWunVapeBase::CaricaColonne()
{
    xqcColonne.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_VAPE_TACO"), xqcColonne, QStringLiteral("EXECUTE"));
    xqcColonne.Open();
    m_riduzioni.clear();
    for (xqcColonne.first(); !xqcColonne.eof(); xqcColonne.next())
        m_riduzioni.append({intero(xqcColonne, QStringLiteral("ITACOID")), SiglaRiduzione(),
                            intero(xqcColonne, QStringLiteral("ITACOTIPOCALCOLO"))});
    xqcColonne.first();
}

QString TWunVapeBase::ColonneRiduzioni() const
{
    QString testo;
    for (int n = 1; n <= m_riduzioni.size(); ++n) {
        const QString nn = Suffisso(n);
        testo += QLatin1Char(',') + QString::number(m_riduzioni.at(n - 1).id) + QStringLiteral(" AS ITACOID") + nn
                 + QStringLiteral(",CAST(NULL AS INTEGER) AS IVARDID") + nn
                 + QStringLiteral(",CAST(0 As  NUMERIC(11,2)) As IVARDGIORNIORE") + nn;
    }
    return testo;
}

void TWunVapeBase::PreparaQueryPeriodi()
{
    xqcMain.close();
    TWunUtil::CaricaQueryCollection(QStringLiteral("QRY_VAPE"), xqcMain);
    xqcMain.TableName = QStringLiteral("TVAPE_PERIODI");
    CompletaQueryPeriodi(ColonneRiduzioni());
}

void TWunVapeBase::PreparaAggiornamento(platform::SqlQuery &aggiorna)
{
    for (const char *chiave : {"IREGSID", "IVARMID", "ICVCID"})
        aggiorna.setNull(QLatin1String(chiave), FieldType::Integer);
}

QDate TWunVapeBase::InizioMese() const
{
    return TTovDate::FirstDayOfMonth(int(wunAnnoFinanziario().Year()), Mese);
}

QDate TWunVapeBase::FineMese() const
{
    return TTovDate::LastDayOfMonth(int(wunAnnoFinanziario().Year()), Mese);
}

QDate TWunVapeBase::DataRiferimento() const
{
    return InizioMese();
}

// ================================================================ fetched rows

void TWunVapeBase::xqcMainAfterOpen(DataSet &)
{
    ImpostaFlagAggiornamento(xqcMain, platform::ProviderFlag::InUpdate);
    for (const QString &nome : {kDal, kAl}) {
        Field &data = xqcMain.fieldByName(nome);
        data.setOnValidate([this](const Field &campo, const Value &valore) { VerificaData(campo, valore); });
        data.setOnChange([this](Field &) { ContaGiorniPeriodo(); });
    }
    // The effective hours follow what they are made of, so that the part
    // time and the pay of an edited period never read those of before.
    for (const char *nome : {"IVAPEGIORNI", "IVAPEORESERVIZIO", "IVAPEOREECCNC", "IVAPEOREPREVISTE", "LVAPECATTEDRA"})
        xqcMain.fieldByName(QLatin1String(nome)).setOnChange([this](Field &) {
            TwunCalcolaFond::CalcolaOrarioEffettivo(xqcMain, false, false);
        });
    m_anzianita = TwunCalcolaFond::StoricoPeriodo(IdCompenso, Mese).Anzianita;
    if (!xqcMain.isEmpty()) {
        // The computed columns are the program's own filling: nothing to
        // check, nothing to write.
        Sospensione sospensione(*this);
        xqcValori.close();
        TovQueryText().AssignCommand(QStringLiteral("QRY_VAPE_VARD_VAL"), xqcValori, QStringLiteral("EXECUTE"));
        CompletaQueryValori();
        xqcValori.Open();
        struct Chiusura {
            DataSet &ds;
            ~Chiusura() { ds.close(); }
        } chiusura{xqcValori};
        for (xqcMain.first(); !xqcMain.eof(); xqcMain.next()) {
            xqcMain.edit();
            CompilaRiga(xqcMain);
            xqcMain.post();
        }
        xqcMain.mergeChangeLog();
        xqcMain.first();
    }
    ImpostaColonne();
}

void TWunVapeBase::CompilaRiga(DataSet &riga)
{
    ImpostaChiavi(riga);
    TwunCalcolaFond::CalcolaOrarioEffettivo(riga, false, false);
    const Value periodo = riga.fieldValue(QStringLiteral("IVAPEID"));
    for (int n = 1; n <= m_riduzioni.size(); ++n) {
        const QString nn = Suffisso(n);
        const Value tipo = riga.fieldValue(QStringLiteral("ITACOID") + nn);
        if (!xqcValori.locate(QStringLiteral("ITACOID;IVAPEID"), platform::ValueList{tipo, periodo}))
            continue;
        riga.setFieldValue(QStringLiteral("IVARDID") + nn, xqcValori.fieldValue(QStringLiteral("IVARDID")));
        riga.setFieldValue(QStringLiteral("IVARDGIORNIORE") + nn,
                           xqcValori.fieldValue(QStringLiteral("IVARDGIORNIORE")));
    }
}

void TWunVapeBase::ImpostaColonne()
{
    for (const auto &campo : xqcMain.fields())
        campo->setVisible(false);
    for (const Colonna &c : kColonne) {
        Field &campo = xqcMain.fieldByName(QLatin1String(c.campo));
        campo.setVisible(true);
        campo.setDisplayLabel(QString::fromUtf8(c.titolo));
        campo.setDisplayWidth(c.larghezza);
        switch (c.tipo) {
        case Colonna::Testo: break;
        case Colonna::Data:
            campo.setOnGetText([](const Field &f, bool) {
                return f.isNull() ? QString() : f.asDate().toString(QStringLiteral("dd/MM/yy"));
            });
            break;
        case Colonna::Numero: campo.setDisplayFormat(QStringLiteral("#")); break;
        case Colonna::Ore: campo.setOnGetText([](const Field &f, bool) { return TestoOre(f.asInteger()); }); break;
        case Colonna::Flag:
            campo.setOnGetText(&TWunDBES::TestoVuoto);
            campo.setAlignment(Qt::AlignCenter);
            break;
        }
    }
    for (int n = 1; n <= m_riduzioni.size(); ++n) {
        Field &campo = xqcMain.fieldByName(QStringLiteral("IVARDGIORNIORE") + Suffisso(n));
        campo.setVisible(true);
        campo.setDisplayLabel(m_riduzioni.at(n - 1).sigla);
        campo.setDisplayWidth(5);
        campo.setDisplayFormat(QStringLiteral("#"));
        campo.setOnGetText(&TWunDBES::TestoNumero);
    }
}

// ================================================================ the grid

bool TWunVapeBase::CampoOre(const Field &campo)
{
    const QString nome = campo.fieldName().toUpper();
    return nome == QLatin1String("IVAPEORESERVIZIO") || nome == QLatin1String("IVAPEOREECCEDENTI")
           || nome == QLatin1String("IVAPEOREECCNC");
}

bool TWunVapeBase::CampoFlag(const Field &campo)
{
    return campo.fieldName().startsWith(QLatin1Char('L'), Qt::CaseInsensitive);
}

QString TWunVapeBase::TestoOre(int minuti)
{
    if (minuti == 0)
        return {};
    QString testo = QStringLiteral("%1").arg(minuti / 60, 2, 10, QLatin1Char('0'));
    if (minuti % 60 != 0)
        testo += QStringLiteral(":%1").arg(minuti % 60, 2, 10, QLatin1Char('0'));
    return testo;
}

int TWunVapeBase::MinutiDaTesto(const QString &testo)
{
    if (testo.trimmed().isEmpty())
        return 0;
    if (testo.contains(QLatin1Char(':')))
        return TWunInputOreMinuti::Minuti(testo);
    static const QRegularExpression ore(QStringLiteral("^\\s*(\\d{1,3})\\s*$"));
    const QRegularExpressionMatch m = ore.match(testo);
    return m.hasMatch() ? m.captured(1).toInt() * 60 : -1;
}

void TWunVapeBase::ImpostaTestoOre(Field &campo, const QString &testo)
{
    const int minuti = MinutiDaTesto(testo);
    if (minuti < 0)
        throw ETovWarning(platform::format(MsgOrarioNonValido, testo));
    TTovUtil::EditDataSet(&campo);
    campo.setAsInteger(minuti);
}

void TWunVapeBase::ScriviCampo(Field &campo, const Value &valore)
{
    if (CampoOre(campo)) {
        ImpostaTestoOre(campo, valore.isEmpty() ? QString() : valore.toString());
        return;
    }
    TTovUtil::EditDataSet(&campo);
    campo.setValue(valore);
}

void TWunVapeBase::InvertiFlag(Field &campo)
{
    TTovUtil::EditDataSet(&campo);
    campo.setAsInteger(campo.asInteger() == 1 ? 0 : 1);
}

int TWunVapeBase::PartTimeInps() const
{
    ZEP_ASSERT(dmWunParams, QStringLiteral("Modulo dei parametri non creato"));
    const Value v = dmWunParams->CampoPaco(QStringLiteral("IPACOINPS_PT"));
    return v.isEmpty() ? 0 : v.toInt();
}

void TWunVapeBase::RicalcolaPartTime()
{
    if (!xqcMain.isEditing())
        return;
    const bool sottoPieno = PartTimeInps() == 1
                            && TwunCalcola::OrarioSottoPieno(xqcMain, QStringLiteral("VAPE"),
                                                             intero(xqcMain, QStringLiteral("IVAPEOREPREVISTE")));
    xqcMain.fieldByName(QStringLiteral("LVAPEPARTTIME")).setAsInteger(sottoPieno ? 1 : 0);
}

void TWunVapeBase::ImpostaAssenza(int tagId)
{
    TTovUtil::EditDataSet(&xqcMain);
    Field &tag = xqcMain.fieldByName(QStringLiteral("ITAGID"));
    Field &descrizione = xqcMain.fieldByName(QStringLiteral("STAGDESCRIZIONE"));
    if (tagId < 1) {
        tag.clear();
        descrizione.clear();
        return;
    }
    apriRicerca(xqcTag, QStringLiteral("QRY_TAG"));
    tag.setAsInteger(tagId);
    descrizione.setValue(xqcTag.lookup(QStringLiteral("ITAGID"), {Value(tagId)}, QStringLiteral("DESCRIZIONE")));
}

void TWunVapeBase::VerificaData(const Field &campo, const Value &valore) const
{
    if (SalvataggioSospeso() || valore.isEmpty())
        return;
    const QDate data = valore.toDate();
    const bool inizio = campo.fieldName().compare(kDal, Qt::CaseInsensitive) == 0;
    if ((inizio && data < InizioMese()) || (!inizio && data > FineMese()))
        throw ETovWarning(MsgDataFuoriMese);
    const Field &altro = xqcMain.fieldByName(inizio ? kAl : kDal);
    if (altro.isNull())
        return;
    if (inizio ? data > altro.asDate() : altro.asDate() > data)
        throw ETovWarning(MsgDataInizioFine);
}

void TWunVapeBase::ContaGiorniPeriodo()
{
    if (!ConteggioAutomatico)
        return;
    const QDate dal = xqcMain.fieldByName(kDal).asDate();
    const QDate al = xqcMain.fieldByName(kAl).asDate();
    if (!dal.isValid() || !al.isValid())
        return;
    const int giorni = TwunCalcolaFond::GiorniCommerciali(dal, al);
    xqcMain.fieldByName(QStringLiteral("IVAPEGIORNI")).setAsInteger(giorni);
    xqcMain.fieldByName(QStringLiteral("IVAPEGIORNIINPS")).setAsInteger(giorni);
    int domeniche = 0, altri = 0;
    TwunCalcolaFond::ContaGiorni(dal, al, DataRiferimento(), false, domeniche, altri);
    xqcMain.fieldByName(QStringLiteral("IVAPESETTINPS")).setAsInteger(domeniche);
}

// ================================================================ new rows

int TWunVapeBase::QualificaDellaPersona()
{
    apriRicerca(xqcQar, QStringLiteral("QRY_QAR"));
    if (!xqcQar.locate(QStringLiteral("IQARID"), Value(QualificaPersona)))
        throw platform::EAbort();
    return QualificaPersona;
}

QString TWunVapeBase::DescrizioneQualifica(int qualifica)
{
    apriRicerca(xqcQar, QStringLiteral("QRY_QAR"));
    return xqcQar.lookup(QStringLiteral("IQARID"), {Value(qualifica)}, QStringLiteral("SQARSDESC")).toString();
}

void TWunVapeBase::xqcMainBeforeInsert(DataSet &)
{
    m_haRighe = !xqcMain.isEmpty();
    m_finePrecedente = m_haRighe ? xqcMain.fieldByName(kAl).asDate() : QDate();
    const int qualifica = ModificaQualifica && OnSceltaQualifica ? OnSceltaQualifica(QualificaPersona)
                                                                 : QualificaDellaPersona();
    if (qualifica < 1)
        throw platform::EAbort();
    m_qualificaScelta = qualifica;
}

void TWunVapeBase::xqcMainNewRecord(DataSet &)
{
    xqcMain.fieldByName(QStringLiteral("IQARID")).setAsInteger(m_qualificaScelta);
    xqcMain.fieldByName(QStringLiteral("SQARSDESC")).setAsString(DescrizioneQualifica(m_qualificaScelta));
    xqcMain.fieldByName(QStringLiteral("IVAPEOREPREVISTE")).setAsInteger(OrePreviste);
    for (int n = 1; n <= m_riduzioni.size(); ++n)
        xqcMain.fieldByName(QStringLiteral("ITACOID") + Suffisso(n)).setAsInteger(m_riduzioni.at(n - 1).id);
    if (m_haRighe && m_finePrecedente.isValid() && FineMese() > m_finePrecedente)
        xqcMain.fieldByName(kDal).setAsDate(m_finePrecedente.addDays(1));
    TStoricoPeriodo storico;
    TwunCalcolaFond::CompletaPeriodoDaAsti(xqcMain, m_haRighe ? 0 : GiorniDaPagare, IdCompenso, Mese, &storico);
    if (!m_haRighe) {
        m_anzianita = storico.Anzianita;
        if (storico.MaternitaNomina)
            if (Field *maternita = TwunCalcolaFond::CampoGiorniRiduzione5(xqcMain))
                maternita->setAsInteger(GiorniDaPagare);
    }
    Field &servizio = xqcMain.fieldByName(QStringLiteral("IVAPEORESERVIZIO"));
    if (servizio.asInteger() == 0)
        servizio.setAsInteger(intero(xqcMain, QStringLiteral("IVAPEOREPREVISTE")) * 60);
}

// ================================================================ checks

void TWunVapeBase::xqcMainBeforePost(DataSet &)
{
    if (SalvataggioSospeso())
        return;
    for (const char *nome : {"IVAPEGIORNI", "IVAPEORESERVIZIO", "IVAPEOREPREVISTE"}) {
        const Field &campo = xqcMain.fieldByName(QLatin1String(nome));
        if (campo.asInteger() <= 0)
            throw ETovWarning(platform::format(MsgValoreNonImpostato, campo.displayLabel()));
    }
    if (xqcMain.fieldByName(kDal).isNull() || xqcMain.fieldByName(kAl).isNull())
        throw ETovWarning(MsgDateObbligatorie);
    const int giorni = intero(xqcMain, QStringLiteral("IVAPEGIORNI"));
    int somma = 0;
    int ultimoTipo = 0;
    for (int n = 1; n <= m_riduzioni.size(); ++n) {
        const int tipo = m_riduzioni.at(n - 1).tipoCalcolo;
        if (tipo == TIPO_CALCOLO_ORE)
            continue;
        const int ridotti = giorniInteri(xqcMain.fieldValue(QStringLiteral("IVARDGIORNIORE") + Suffisso(n)));
        if (ridotti <= 0)
            continue;
        if (ridotti != giorni)
            throw ETovWarning(MsgGiorniRidotti);
        somma += ridotti;
        ultimoTipo = tipo;
    }
    if (somma > 0 && somma != giorni)
        throw ETovWarning(MsgGiorniRidotti);
    if (somma > 0 && ultimoTipo == TIPO_CALCOLO_NON_PAGATI)
        ImpostaAssenza(TAG_ASSENZA_NON_RETRIBUITA);
}

void TWunVapeBase::ControllaTotali(int &giorni, int &giorniInps, int &settimaneInps) const
{
    giorni = giorniInps = settimaneInps = 0;
    const int iGiorni = xqcMain.fieldByName(QStringLiteral("IVAPEGIORNI")).index();
    const int iInps = xqcMain.fieldByName(QStringLiteral("IVAPEGIORNIINPS")).index();
    const int iSettimane = xqcMain.fieldByName(QStringLiteral("IVAPESETTINPS")).index();
    auto valore = [](const platform::ValueList &riga, int i) {
        const Value v = riga.value(i);
        return v.isEmpty() ? 0 : v.toInt();
    };
    for (const platform::ValueList &riga : xqcMain.records()) {
        giorni += valore(riga, iGiorni);
        giorniInps += valore(riga, iInps);
        settimaneInps += valore(riga, iSettimane);
    }
    const int d = GiorniDaPagare;
    if (giorni > d || (TotaliEsatti && giorni < d))
        throw ETovWarning(MsgTotaleGiorni);
    if (giorniInps > d)
        throw ETovWarning(platform::format(MsgGiorniInps, d));
    if (settimaneInps > MaxSettimaneInps)
        throw ETovWarning(platform::format(MsgSettimaneInps, MaxSettimaneInps));
    if (giorniInps > MaxGiorniInps)
        throw ETovWarning(platform::format(MsgGiorniInps, MaxGiorniInps));
}

// ================================================================ writing

void TWunVapeBase::xqcMainBeforeUpdateRecord(DeltaRecord &riga, UpdateKind tipo, bool &applicato)
{
    if (tipo == UpdateKind::Delete)
        return;
    int giorni = 0, giorniInps = 0, settimane = 0;
    ControllaTotali(giorni, giorniInps, settimane);
    const QStringList &istruzioni = tipo == UpdateKind::Insert ? xqcMain.InsertSQL : xqcMain.UpdateSQL;
    ZEP_ASSERT(istruzioni.size() >= 2,
               QStringLiteral("Query: QRY_VAPE senza le istruzioni del periodo e delle riduzioni"));
    platform::SqlQuery qquAggiorna(xqcMain.Connection());
    qquAggiorna.setSql(istruzioni.at(0));
    if (tipo == UpdateKind::Insert) {
        AssegnaIdInserimento(tipo, riga);
        qquAggiorna.bind(QStringLiteral("IQARID"), riga.value(QStringLiteral("IQARID")));
    }
    for (const char *nome : {"IVAPEGIORNI", "IVAPEORESERVIZIO", "IVAPEOREECCNC", "IVAPEOREPREVISTE", "LVAPECATTEDRA",
                             "LVAPEPARTTIME", "IVAPEGIORNIINPS", "IVAPESETTINPS", "IVAPEOREECCEDENTI"})
        qquAggiorna.bind(QLatin1String(nome), interoRiga(riga, QLatin1String(nome)));
    for (const QString &nome : {kDal, kAl}) {
        const Value data = riga.value(nome);
        if (data.isEmpty() || !data.toDate().isValid())
            qquAggiorna.setNull(nome, FieldType::Date);
        else
            qquAggiorna.bind(nome, data);
    }
    const int tag = interoRiga(riga, QStringLiteral("ITAGID"));
    if (tag < 1)
        qquAggiorna.setNull(QStringLiteral("ITAGID"), FieldType::Integer);
    else
        qquAggiorna.bind(QStringLiteral("ITAGID"), tag);
    const Value periodo = riga.value(QStringLiteral("IVAPEID"));
    qquAggiorna.bind(QStringLiteral("IVAPEID"), periodo);
    if (tipo == UpdateKind::Insert)
        PreparaAggiornamento(qquAggiorna);
    qquAggiorna.execSQL();

    platform::SqlQuery riduzione(xqcMain.Connection());
    for (int n = 1; n <= m_riduzioni.size(); ++n) {
        const QString nn = Suffisso(n);
        const Value id = riga.value(QStringLiteral("IVARDID") + nn);
        const int quantita = giorniInteri(riga.value(QStringLiteral("IVARDGIORNIORE") + nn));
        if (id.isEmpty()) {
            if (quantita <= 0)
                continue;
            const int nuovo = NuovoId(QStringLiteral("TVARD_RIDUZIONIVAR"));
            riga.setNewValue(QStringLiteral("IVARDID") + nn, Value(nuovo));
            riduzione.setSql(xqcMain.InsertSQL.at(1));
            riduzione.bind(QStringLiteral("IVARDID"), nuovo)
                .bind(QStringLiteral("IVAPEID"), periodo)
                .bind(QStringLiteral("ITACOID"), riga.value(QStringLiteral("ITACOID") + nn))
                .bind(QStringLiteral("IVARDGIORNIORE"), quantita);
        } else {
            riduzione.setSql(xqcMain.UpdateSQL.at(1));
            riduzione.bind(QStringLiteral("IVARDID"), id).bind(QStringLiteral("IVARDGIORNIORE"), quantita);
        }
        riduzione.execSQL();
    }
    applicato = true;
}
