#include "WunUUtil.h"

#include "Paths.h"

#include "wunMParams.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"
#include "Format.h"
#include "IniFile.h"
#include "SqlQuery.h"
#include "UqQueryCollection.h"
#include "tovCQueryText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using platform::Value;

namespace {

QString s_programFolder;

const QString Execute = QStringLiteral("EXECUTE");

QString folderUnderProgram(const QString &relative)
{
    QString folder = platform::findPath(TWunUtil::CartellaProgramma() + QLatin1Char('/') + relative);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

// ---------------------------------------------------------------------------
// TWunUtil

bool TWunUtil::AggiornamentoEffettuato(platform::SqlQuery &query, int annoId)
{
    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_NAF_EFFETTUATO"), query);
    query.bind(QStringLiteral("IANFID"), annoId);
    query.open();
    const bool done = !query.eof() && query.value(QStringLiteral("TOTALE")).toInt() > 0;
    query.close();
    return done;
}

int TWunUtil::CompensoDaAnagraficaAnno(platform::SqlQuery &query, int anagraficaId, int anno)
{
    return CompensoDaAnagrafica(query, anagraficaId, TtovAnnoFinanziario::YearToId(anno));
}

int TWunUtil::CompensoDaAnagrafica(platform::SqlQuery &query, int anagraficaId, int annoId)
{
    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_ACOM_FROM_ANAPER"), query);
    query.bind(QStringLiteral("IANAPERID"), anagraficaId).bind(QStringLiteral("IANFID"), annoId);
    query.open();
    int id = 0;
    if (!query.eof()) {
        const Value v = query.value(QStringLiteral("IACOMID"));
        id = v.isEmpty() ? 0 : v.toInt();
    }
    query.close();
    return id;
}

void TWunUtil::FormattaQuery(platform::DataSet &collection, const platform::ValueList &args)
{
    TTovQueryText::FormatSQL(collection, args);
}

QString TWunUtil::TestoQuery(const QString &name, const QString &kind)
{
    return TovQueryText().GetSQL(name, kind);
}

void TWunUtil::CaricaQueryCollection(const QString &name, TUqQueryCollection &collection)
{
    TovQueryText().AssignQueryCollection(name, collection);
}

int TWunUtil::DwgIdCorrente()
{
    return TTovUtil::DwgId(dmWunParams ? dmWunParams->xpmUquParams : nullptr);
}

void TWunUtil::ApriQuery(const QString &name, platform::SqlQuery &query, int index, const QString &kind)
{
    TovQueryText().AssignSQL(name, query, index, kind.isEmpty() ? Execute : kind);
}

void TWunUtil::CaricaQuery(const QString &name, platform::DataSet &dataSet, const QString &kind)
{
    TovQueryText().AssignCommand(name, dataSet, kind);
}

void TWunUtil::AggiornaSePerParametro(TUqQueryCollection &collection, const QString &name, int value, bool force)
{
    TTovDataSet::RefreshByParam(collection, name, force, value);
}

void TWunUtil::TuttiIRecord(const QList<TUqQueryCollection *> &collections)
{
    for (TUqQueryCollection *c : collections)
        if (c)
            c->PacketRecords = -1;
}

QString TWunUtil::NormalizzaNumero(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    return ok ? QString::number(n) : QString();
}

QString TWunUtil::CartellaEtc()
{
    return folderUnderProgram(QStringLiteral("../etc/wun"));
}

QString TWunUtil::CartellaUsr()
{
    return folderUnderProgram(QStringLiteral("../usr/wun"));
}

QString TWunUtil::CartellaProgramma()
{
    return s_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : s_programFolder;
}

void TWunUtil::SetCartellaProgramma(const QString &folder)
{
    QString f = folder;
    f.replace(QLatin1Char('\\'), QLatin1Char('/'));
    s_programFolder = f.isEmpty() ? QString() : QDir::cleanPath(f);
}

QString TWunUtil::CercaPercorso(const QString &path)
{
    return platform::findPath(path);
}

QString TWunUtil::DescrizioneMese(int meseId, platform::SqlQuery &query)
{
    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_MES"), query);
    query.bind(QStringLiteral("IMESID"), meseId);
    query.open();
    const QString name = query.eof() ? QString() : query.value(QStringLiteral("SMESLDESC")).toString();
    query.close();
    return name;
}

void TWunUtil::ApriCompenso(int compensoId, platform::SqlQuery &query)
{
    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_COT_COS"), query);
    query.bind(QStringLiteral("ICOTID"), compensoId);
    query.open();
}

void TWunUtil::CodiceDaCodiceAnagrafico(platform::DataSet &dataSet)
{
    dataSet.setIndexFieldNames(dataSet.findField(QStringLiteral("IACOMID")) ? QStringLiteral("IACOMID")
                                                                            : QStringLiteral("IANAID"));
    platform::Field &code = dataSet.fieldByName(QStringLiteral("SANACAGCODE"));
    platform::Field &target = dataSet.fieldByName(QStringLiteral("CODICE"));
    dataSet.disableControls();
    try {
        for (dataSet.first(); !dataSet.eof(); dataSet.next()) {
            const QString normal = code.isNull() ? QString() : NormalizzaNumero(code.asString());
            const int value = normal.isEmpty() ? 0 : normal.toInt();
            if (value > 0) {
                dataSet.edit();
                target.setValue(Value(value));
                dataSet.post();
            }
        }
    } catch (...) {
        dataSet.enableControls();
        throw;
    }
    dataSet.enableControls();
}

// ---------------------------------------------------------------------------
// TWunProgetto

void TWunProgetto::Filtro(const QString &kind, QString &text) const
{
    if (m_id > 0) {
        text = platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_VPRO_CONTA"), kind), m_id);
    } else {
        const TtovAnnoFinanziario &anno = wunAnnoFinanziario();
        text = platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_VPRO_COMP"), kind), anno.EndDateText(),
                                anno.StartDateText());
    }
}

QString TWunProgetto::FiltroEsegui() const
{
    QString text;
    Filtro(Execute, text);
    return text;
}

// ---------------------------------------------------------------------------
// TwunAnnoFinanziario

void TwunAnnoFinanziario::Load(int id)
{
    if (!Params() && dmWunParams)
        SetParams(dmWunParams);
    TtovAnnoFinanziario::Load(id);
}

// ---------------------------------------------------------------------------
// TWunParametri

const QString TWunParametri::NomeFile = QStringLiteral("WunPar.ini");

namespace {
const QString SectionPrefix = QStringLiteral("LIQ_CORRENTE");
const QString KeyGruppo = QStringLiteral("GRUPPO");
const QString KeyId = QStringLiteral("ID");
const QString KeyMese = QStringLiteral("MESE");
} // namespace

TWunParametri::TWunParametri(const QString &cartella, const TtovAnnoFinanziario *anno) : m_anno(anno)
{
    QString folder = cartella.isEmpty() ? TWunUtil::CartellaUsr() : TWunUtil::CercaPercorso(cartella);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    m_fileName = TWunUtil::CercaPercorso(folder + NomeFile);
    if (!QFileInfo::exists(m_fileName))
        QDir().mkpath(folder); // a folder that cannot be made shows up at the first write
}

const TtovAnnoFinanziario &TWunParametri::anno() const
{
    return m_anno ? *m_anno : wunAnnoFinanziario();
}

QString TWunParametri::Sezione() const
{
    const QString year = anno().YearText();
    return year.isEmpty() ? QString() : SectionPrefix + year;
}

int TWunParametri::readKey(const QString &key) const
{
    const QString section = Sezione();
    if (section.isEmpty())
        return 0;
    return platform::IniFile(m_fileName).intValue(section, key, 0);
}

void TWunParametri::writeKey(const QString &key, int value)
{
    const QString section = Sezione();
    ZEP_ASSERT(!section.isEmpty(), QStringLiteral("%1: anno finanziario di lavoro non caricato").arg(NomeFile));
    platform::IniFile::write(m_fileName, section, key, QString::number(value));
}

int TWunParametri::Gruppo() const
{
    return readKey(KeyGruppo);
}
int TWunParametri::Id() const
{
    return readKey(KeyId);
}
int TWunParametri::Mese() const
{
    return readKey(KeyMese);
}
void TWunParametri::SetGruppo(int value)
{
    writeKey(KeyGruppo, value);
}
void TWunParametri::SetId(int value)
{
    writeKey(KeyId, value);
}
void TWunParametri::SetMese(int value)
{
    writeKey(KeyMese, value);
}

QString TWunParametri::DescrizioneLiquidazione(platform::SqlQuery &query, bool gruppoRichiesto,
                                               const QSet<int> &tipiAmmessi)
{
    const int id = Id();
    const int mese = Mese();
    if (id < 1 || mese < 1 || mese > 12)
        return QString();

    TWunUtil::ApriCompenso(id, query);
    if (query.eof()) {
        // A liquidation the archive does not know is no current liquidation.
        query.close();
        Fondamentale = 0;
        return QString();
    }
    const QString caption = query.value(QStringLiteral("SCOTLDESC")).toString();
    const Value kind = query.value(QStringLiteral("ICOTFONDAMENTALE"));
    Fondamentale = kind.isEmpty() ? 0 : kind.toInt();
    query.close();
    if (Fondamentale < 0 || Fondamentale > 7 || !tipiAmmessi.contains(Fondamentale))
        return QString();

    const int gruppo = Gruppo();
    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_REGS_GRUPPO_TEST"), query);
    query.bind(QStringLiteral("IANFID"), anno().Id())
        .bind(QStringLiteral("IMESID"), mese)
        .bind(QStringLiteral("ICOTID"), id)
        .bind(QStringLiteral("IREGSGRUPPO"), gruppo);
    query.open();
    const Value found = query.eof() ? Value::null() : query.value(QStringLiteral("IREGSGRUPPO"));
    query.close();
    if (gruppoRichiesto && (found.isEmpty() || found.toInt() == 0))
        return QString();
    return caption;
}

// ---------------------------------------------------------------------------
// The singletons

namespace {

struct WunSingletons {
    TwunAnnoFinanziario annoFinanziario;
    TtovAnnoScolastico annoScolastico;
    TWunProgetto progetto;
    TWunParametri parametri{QString(), &annoFinanziario};
};

WunSingletons *s_made = nullptr;

WunSingletons &singletons()
{
    static WunSingletons s;
    s_made = &s;
    return s;
}

} // namespace

void wunScollegaParametri(const ITovParams *params)
{
    if (!s_made)
        return;
    if (s_made->annoFinanziario.Params() == params)
        s_made->annoFinanziario.SetParams(nullptr);
    if (s_made->annoScolastico.Params() == params)
        s_made->annoScolastico.SetParams(nullptr);
}

TwunAnnoFinanziario &wunAnnoFinanziario()
{
    return singletons().annoFinanziario;
}
TtovAnnoScolastico &wunAnnoScolastico()
{
    return singletons().annoScolastico;
}
TWunProgetto &WunProgetto()
{
    return singletons().progetto;
}
TWunParametri &WunParametri()
{
    return singletons().parametri;
}
