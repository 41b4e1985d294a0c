#include "ZepCCdsLocale.h"

#include "DataSetFile.h"
#include "Exceptions.h"
#include "Field.h"
#include "Paths.h"
#include "TovUCdsUtil.h"
#include "ZepCTabellaDenuncia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::Bookmark;
using platform::DataSet;
using platform::DataSetContent;
using platform::DataSetFile;
using platform::FieldDefs;
using platform::UpdateKind;
using platform::Value;
using platform::ValueList;

// ---------------------------------------------------------------- the journal

// The journal of a year folder's table file: the changes of the saves made
// since the file was last written whole, one after another, in
// "<TABELLA>.GIO" beside it.
//
// The journal names the file it was begun on (its size and the checksum
// that closes it): a journal left beside a file written whole since (the
// process killed before removing it) is no longer that file's and is not
// applied. A change is on disk when Aggiungi returns; one cut short by a
// kill (or damaged) ends the journal there, so the change before it is the
// last applied.
//
//   header  "ZEPGIO\r\n", i64 size of the file, u32 its closing checksum
//   change  u32 length of the body, u32 CRC-32 of the body, body: i32 first
//           row, i32 rows taken out, then the rows put in as a dataset's
//           binary form (their fields by name)
//
// Integers are little-endian.

namespace {

struct Giornale {
    // One change of the file's rows: from row `Posizione` (0 the first),
    // `Tolte` rows taken out and `Righe` (of `Campi`) put in their place.
    struct TModifica {
        int Posizione = 0;
        int Tolte = 0;
        platform::FieldDefs Campi;
        QList<platform::ValueList> Righe;
    };

    // "TEMD_DIPENDENTI.CDS" -> "TEMD_DIPENDENTI.GIO".
    static QString NomeFile(const QString &fileTabella);
    // What the journal names a file by: its size and closing checksum;
    // empty when the file cannot be read.
    static QByteArray Impronta(const QString &fileTabella);

    // The journal's changes applied to `righe`, the rows of the file of
    // `campi` (read as the journal expects: its rows put in by field name,
    // a field the file lacks left out, one it has and they lack null).
    // Nothing when there is no journal or it is another file's.
    static void Applica(const QString &fileTabella, const platform::FieldDefs &campi,
                        QList<platform::ValueList> &righe);

    // Appends a change to the journal of the file named by `impronta`,
    // begun when it is not there (or `dimensione` is 0), after the first
    // `dimensione` bytes of it otherwise (what a change cut short left after
    // them goes). Answers the journal's size; a failure raises EWriteError
    // naming the journal and leaves its first `dimensione` bytes as they
    // were.
    static qint64 Aggiungi(const QString &fileTabella, const QByteArray &impronta, qint64 dimensione,
                           const TModifica &modifica);
    // The journal cut back to its first `dimensione` bytes (0: removed, or
    // emptied where it cannot be); EWriteError when it cannot be.
    static void Tronca(const QString &fileTabella, qint64 dimensione);
    // The journal removed once the file has been written whole. One that
    // cannot be removed is left: it names the file as it was, so it is
    // never applied to this one, and the next journal replaces it.
    static void Rimuovi(const QString &fileTabella);
};


constexpr char Magic[8] = {'Z', 'E', 'P', 'G', 'I', 'O', '\r', '\n'};
constexpr qsizetype ImprontaSize = 12; // i64 size, u32 checksum
constexpr qsizetype HeaderSize = 8 + ImprontaSize;
constexpr qsizetype TestaModifica = 8; // u32 length, u32 CRC-32
constexpr qsizetype CorpoMinimo = 8;   // i32 first row, i32 rows taken out

template <typename T>
void metti(QByteArray &out, T valore)
{
    const T le = qToLittleEndian(valore);
    out.append(reinterpret_cast<const char *>(&le), sizeof le);
}

// Kept out of line: inlined into a reader of a QByteArray, GCC's bounds
// check takes the empty array's one byte for the buffer and stops the
// sanitizer build on a read the caller has already checked.
template <typename T>
[[gnu::noinline]] T leggi(const char *dati)
{
    return qFromLittleEndian<T>(dati);
}

[[noreturn]] void scritturaFallita(const QString &fileTabella, const QString &giornale, const QString &perche)
{
    // The user knows the table's file; the journal is part of it.
    throw platform::EWriteError(QStringLiteral("Impossibile salvare il file di dataset '%1': %2")
                                    .arg(fileTabella, platform::writeFailureReason(giornale, perche)));
}

QString erroreSistema()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The new journal's name is on disk too, not only in the folder's cache.
void sincronizzaCartella(const QString &file)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// The rows of a change read back in the file's fields, by name.
QList<ValueList> righeNelFile(const DataSetContent &modifica, const FieldDefs &campi)
{
    if (modifica.fieldDefs == campi)
        return modifica.rows;
    QList<int> posizioni;
    posizioni.reserve(campi.size());
    for (const auto &campo : campi) {
        int trovato = -1;
        for (int i = 0; i < modifica.fieldDefs.size() && trovato < 0; ++i)
            if (modifica.fieldDefs.at(i).name.compare(campo.name, Qt::CaseInsensitive) == 0)
                trovato = i;
        posizioni.append(trovato);
    }
    QList<ValueList> righe;
    righe.reserve(modifica.rows.size());
    for (const ValueList &r : modifica.rows) {
        ValueList riga;
        riga.reserve(posizioni.size());
        for (int p : std::as_const(posizioni))
            riga.append(p < 0 ? Value::null() : r.value(p));
        righe.append(std::move(riga));
    }
    return righe;
}

// ---- the journal of a table file ----

QString Giornale::NomeFile(const QString &fileTabella)
{
    return TTovCds::ChangeFileExt(fileTabella, QStringLiteral(".GIO"));
}

QByteArray Giornale::Impronta(const QString &fileTabella)
{
    QFile file(fileTabella);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 4 || !file.seek(file.size() - 4))
        return {};
    const QByteArray chiusura = file.read(4);
    if (chiusura.size() != 4)
        return {};
    QByteArray impronta;
    metti<qint64>(impronta, file.size());
    return impronta + chiusura;
}

void Giornale::Applica(const QString &fileTabella, const FieldDefs &campi, QList<ValueList> &righe)
{
    QFile giornale(NomeFile(fileTabella));
    if (!giornale.exists() || !giornale.open(QIODevice::ReadOnly))
        return;
    const QByteArray tutto = giornale.readAll();
    const QByteArray impronta = Impronta(fileTabella);
    if (tutto.size() < HeaderSize || impronta.isEmpty() || std::memcmp(tutto.constData(), Magic, sizeof Magic) != 0
        || tutto.mid(sizeof Magic, ImprontaSize) != impronta)
        return; // another file's, or cut short before its first change
    for (qsizetype at = HeaderSize; at + TestaModifica <= tutto.size();) {
        const quint32 lunghezza = leggi<quint32>(tutto.constData() + at);
        const quint32 crc = leggi<quint32>(tutto.constData() + at + 4);
        if (lunghezza < CorpoMinimo || qsizetype(lunghezza) > tutto.size() - at - TestaModifica)
            return; // cut short by a kill
        const char *corpo = tutto.constData() + at + TestaModifica;
        if (DataSetFile::checksum(corpo, lunghezza) != crc)
            return;
        const qint32 posizione = leggi<qint32>(corpo);
        const qint32 tolte = leggi<qint32>(corpo + 4);
        if (posizione < 0 || tolte < 0 || posizione > righe.size() || tolte > righe.size() - posizione)
            return;
        const DataSetContent modifica = DataSetFile::decode(QByteArray(corpo + CorpoMinimo, lunghezza - CorpoMinimo),
                                                            giornale.fileName(), platform::DataSetFileFormat::Binary);
        righe.remove(posizione, tolte);
        const QList<ValueList> nuove = righeNelFile(modifica, campi);
        for (qsizetype i = 0; i < nuove.size(); ++i)
            righe.insert(posizione + i, nuove.at(i));
        at += TestaModifica + lunghezza;
    }
}

qint64 Giornale::Aggiungi(const QString &fileTabella, const QByteArray &impronta, qint64 dimensione,
                          const TModifica &modifica)
{
    DataSetContent contenuto;
    contenuto.fieldDefs = modifica.Campi;
    contenuto.properties = QList<platform::FieldProperties>(modifica.Campi.size());
    contenuto.rows = modifica.Righe;
    QByteArray corpo;
    metti<qint32>(corpo, modifica.Posizione);
    metti<qint32>(corpo, modifica.Tolte);
    corpo += DataSetFile::encode(contenuto, platform::DataSetFileFormat::Binary);
    QByteArray dati;
    const bool nuovo = dimensione <= 0;
    if (nuovo) {
        dati.append(Magic, sizeof Magic);
        dati += impronta;
    }
    metti<quint32>(dati, quint32(corpo.size()));
    metti<quint32>(dati, DataSetFile::checksum(corpo.constData(), corpo.size()));
    dati += corpo;

    const QString nome = NomeFile(fileTabella);
    QFile giornale(nome);
    if (!giornale.open(nuovo ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::ReadWrite))
        scritturaFallita(fileTabella, nome, giornale.errorString());
    const qint64 inizio = nuovo ? 0 : dimensione;
    // A change cut short after the journal's first `dimensione` bytes goes
    // first; a failed write is cut away again.
    const auto annulla = [&](const QString &perche) {
        if (giornale.isOpen()) {
            giornale.resize(inizio);
            giornale.close();
        }
        if (nuovo)
            QFile::remove(nome);
        scritturaFallita(fileTabella, nome, perche);
    };
    if (!nuovo && (giornale.size() < dimensione || !giornale.resize(dimensione) || !giornale.seek(dimensione)))
        annulla(giornale.errorString());
    if (giornale.write(dati) != dati.size() || !giornale.flush())
        annulla(platform::writeError(giornale));
    if (::fdatasync(giornale.handle()) != 0)
        annulla(erroreSistema());
    giornale.close();
    if (nuovo)
        sincronizzaCartella(nome);
    return inizio + dati.size();
}

void Giornale::Tronca(const QString &fileTabella, qint64 dimensione)
{
    const QString nome = NomeFile(fileTabella);
    QFile giornale(nome);
    if (dimensione <= 0 && (!giornale.exists() || giornale.remove()))
        return;
    // A journal shorter than its header is no journal.
    if (!giornale.open(QIODevice::ReadWrite) || !giornale.resize(qMax<qint64>(dimensione, 0)))
        scritturaFallita(fileTabella, nome, giornale.errorString());
    if (::fdatasync(giornale.handle()) != 0)
        scritturaFallita(fileTabella, nome, erroreSistema());
}

void Giornale::Rimuovi(const QString &fileTabella)
{
    QFile::remove(NomeFile(fileTabella));
}

} // namespace

// ---------------------------------------------------------------- the store

QString TZepCdsLocale::FileGiornale(const QString &fileTabella)
{
    return Giornale::NomeFile(fileTabella);
}

TZepCdsLocale::TZepCdsLocale(QString cartellaBase, QString prefissoCartellaAnno)
    : m_base(std::move(cartellaBase)), m_prefisso(std::move(prefissoCartellaAnno))
{
}

QString TZepCdsLocale::FileTabella(const QString &name, int year) const
{
    return platform::findPath(m_base,
                              m_prefisso + QString::number(year) + QLatin1Char('/') + name + QStringLiteral(".CDS"));
}

// The period's text "AAAA-MM", empty when the whole file is meant.
QString TZepCdsLocale::Periodo(const DataSet &file, int year, int month)
{
    if (month < 1 || !file.findField(TZepTabellaDenuncia::CampoPeriodo))
        return {};
    return QStringLiteral("%1-%2").arg(year).arg(month, 2, 10, QLatin1Char('0'));
}

TZepCdsLocale::Disco TZepCdsLocale::StatoDisco(const QString &file)
{
    Disco d;
    struct stat s {};
    if (::stat(QFile::encodeName(file).constData(), &s) == 0) {
        d.dimensione = s.st_size;
        d.modificato = qint64(s.st_mtim.tv_sec) * 1'000'000'000 + s.st_mtim.tv_nsec;
        d.inode = s.st_ino;
    }
    if (::stat(QFile::encodeName(Giornale::NomeFile(file)).constData(), &s) == 0)
        d.giornale = s.st_size;
    return d;
}

void TZepCdsLocale::CaricaFile(DataSet &file, const QString &name, int year) const
{
    const QString percorso = FileTabella(name, year);
    if (!TTovCds::FileExists(percorso))
        throw EUqError(QStringLiteral("Impossibile trovare il file della tabella %1: %2")
                           .arg(name, QDir::toNativeSeparators(percorso)));
    TTovCds::LoadFromFile(file, percorso);
    if (QFile::exists(Giornale::NomeFile(percorso))) {
        QList<ValueList> righe = file.records();
        Giornale::Applica(percorso, file.fieldDefs(), righe);
        file.loadRecords(file.fieldDefs(), std::move(righe));
    }
}

void TZepCdsLocale::LoadPeriod(DataSet &dataSet, const QString &name, int year, int month)
{
    DataSet file;
    CaricaFile(file, name, year);
    const QString periodo = Periodo(file, year, month);
    QList<ValueList> righe = file.records();
    if (!periodo.isEmpty()) {
        const int campo = file.fieldByName(TZepTabellaDenuncia::CampoPeriodo).index();
        righe.removeIf(
            [&](const ValueList &r) { return r.value(campo).isEmpty() || r.value(campo).toString() != periodo; });
    }
    dataSet.loadRecords(file.fieldDefs(), std::move(righe));
    // Its records are new: the next save of it writes the file whole.
    std::erase_if(m_tabelle, [&](const auto &t) { return t.second.dataSet == &dataSet; });
}

void TZepCdsLocale::LoadStructure(DataSet &dataSet, const QString &name, int year, int)
{
    DataSet file;
    CaricaFile(file, name, year);
    dataSet.loadRecords(file.fieldDefs(), QList<ValueList>());
    std::erase_if(m_tabelle, [&](const auto &t) { return t.second.dataSet == &dataSet; });
}

void TZepCdsLocale::SavePeriod(DataSet &dataSet, const QString &name, int year, int month, TCdsSaveFailure onFailure)
{
    dataSet.checkBrowseMode();
    if (!m_inUnit) {
        Scrivi(dataSet, name, year, month, onFailure);
        return;
    }
    for (const Rinviato &r : std::as_const(m_rinviati))
        if (r.dataSet == &dataSet && r.name == name && r.year == year && r.month == month)
            return;
    m_rinviati.append({&dataSet, name, year, month, onFailure});
}

void TZepCdsLocale::BeginUnit()
{
    m_inUnit = true;
    m_rinviati.clear();
    m_precedenti.clear();
}

void TZepCdsLocale::CommitUnit()
{
    m_inUnit = false;
    m_scriveUnita = true;
    const auto fine = qScopeGuard([this] { m_scriveUnita = false; });
    for (const Rinviato &r : std::exchange(m_rinviati, {}))
        Scrivi(*r.dataSet, r.name, r.year, r.month, r.onFailure);
}

void TZepCdsLocale::DropUnit()
{
    m_inUnit = false;
    m_rinviati.clear();
    while (!m_precedenti.isEmpty()) {
        Precedente p = m_precedenti.takeLast();
        try {
            if (p.tabella) {
                Giornale::Tronca(p.file, p.tabella->giornale);
                m_tabelle[p.file] = std::move(*p.tabella);
                continue;
            }
            m_tabelle.erase(p.file);
            DataSet vecchio;
            vecchio.loadRecords(p.campi, std::move(p.righe));
            TTovCds::SaveToFile(vecchio, p.file);
            Giornale::Rimuovi(p.file);
        } catch (const platform::EWriteError &) {
            // The file holds what it holds: the next save reads it whole.
            m_tabelle.erase(p.file);
            m_precedenti.clear();
            m_scritturaFallita = true;
            throw;
        }
    }
}

void TZepCdsLocale::EndUnits()
{
    m_inUnit = false;
    m_rinviati.clear();
    m_precedenti.clear();
    // Each file with a journal written whole; one another writer changed
    // meanwhile is that writer's. After a write that failed (a full disk)
    // writing whole files would only fail again: the journals stay, read
    // with their files, and the next save writes the file whole.
    const bool scrivi = !std::exchange(m_scritturaFallita, false);
    while (!m_tabelle.empty()) {
        const auto t = m_tabelle.extract(m_tabelle.begin());
        if (scrivi && t.mapped().giornale > 0 && StatoDisco(t.key()) == t.mapped().disco)
            Consolida(t.key(), t.mapped());
    }
}

void TZepCdsLocale::Consolida(const QString &file, const Tabella &tabella)
{
    DataSet nuovo;
    nuovo.loadRecords(tabella.campi, tabella.altre + tabella.mese);
    TTovCds::SaveToFile(nuovo, file);
    Giornale::Rimuovi(file);
}

bool TZepCdsLocale::HaPrecedente(const QString &file) const
{
    return std::any_of(m_precedenti.cbegin(), m_precedenti.cend(), [&](const Precedente &p) { return p.file == file; });
}

void TZepCdsLocale::Scrivi(DataSet &dataSet, const QString &name, int year, int month, TCdsSaveFailure onFailure)
{
    dataSet.checkBrowseMode();
    try {
        const QString percorso = FileTabella(name, year);
        if (!m_scriveUnita || !ScriviModifiche(dataSet, percorso, year, month))
            ScriviIntero(dataSet, name, percorso, year, month);
    } catch (const platform::EWriteError &) {
        m_scritturaFallita = true;
        if (onFailure == TCdsSaveFailure::DiscardChanges)
            dataSet.cancelUpdates();
        throw;
    } catch (...) {
        if (onFailure == TCdsSaveFailure::DiscardChanges)
            dataSet.cancelUpdates();
        throw;
    }
    dataSet.mergeChangeLog();
}

ValueList TZepCdsLocale::RigaFile(const DataSet &dataSet, const Bookmark &record, const QList<int> &posizioni)
{
    ValueList riga;
    riga.reserve(posizioni.size());
    for (int p : posizioni)
        riga.append(p < 0 ? Value::null() : dataSet.rowValue(record, p));
    return riga;
}

void TZepCdsLocale::ScriviIntero(DataSet &dataSet, const QString &name, const QString &percorso, int year, int month)
{
    DataSet file;
    CaricaFile(file, name, year);
    const QString periodo = Periodo(file, year, month);
    QList<ValueList> altre;
    if (!periodo.isEmpty()) {
        // The other months as the file holds them.
        const int campo = file.fieldByName(TZepTabellaDenuncia::CampoPeriodo).index();
        for (ValueList &r : file.records())
            if (r.value(campo).isEmpty() || r.value(campo).toString() != periodo)
                altre.append(std::move(r));
    }
    // The dataset's rows in the file's order of fields, by name.
    QList<int> posizioni;
    for (const auto &def : file.fieldDefs()) {
        const platform::Field *f = dataSet.findField(def.name);
        posizioni.append(f ? f->index() : -1);
    }
    QList<ValueList> mese;
    for (const ValueList &r : dataSet.records()) {
        ValueList riga;
        riga.reserve(posizioni.size());
        for (int p : std::as_const(posizioni))
            riga.append(p < 0 ? Value::null() : r.value(p));
        mese.append(std::move(riga));
    }
    std::optional<Precedente> precedente;
    if (m_scriveUnita && !HaPrecedente(percorso))
        precedente = Precedente{percorso, file.fieldDefs(), file.records(), std::nullopt};
    DataSet nuovo;
    nuovo.loadRecords(file.fieldDefs(), altre + mese);
    TTovCds::SaveToFile(nuovo, percorso);
    m_tabelle.erase(percorso);
    // A journal left beside the file is another file's now.
    Giornale::Rimuovi(percorso);
    if (precedente)
        m_precedenti.append(std::move(*precedente));

    // The month of a unit's dataset kept, for its next save to write only
    // what it changes, when its records' order is the one written (no
    // index, no filter) and every change of them is logged. A dataset
    // field that is not a data field takes the records' value of its
    // position, as the rows above do, so such a dataset is left out.
    const bool soloDati = std::none_of(dataSet.fields().cbegin(), dataSet.fields().cend(),
                                       [](const auto &f) { return f->isCalculated(); });
    if (!m_scriveUnita || periodo.isEmpty() || !soloDati || !dataSet.indexFieldNames().isEmpty() || dataSet.filtered()
        || !dataSet.logChanges())
        return;
    Tabella t;
    t.campi = file.fieldDefs();
    t.altre = std::move(altre);
    t.periodo = periodo;
    t.mese = std::move(mese);
    t.dataSet = &dataSet;
    t.campiDataSet = dataSet.fieldDefs();
    t.segni = dataSet.rowBookmarks();
    t.posizioni = std::move(posizioni);
    t.impronta = Giornale::Impronta(percorso);
    t.disco = StatoDisco(percorso);
    if (!t.impronta.isEmpty() && t.segni.size() == t.mese.size())
        m_tabelle.emplace(percorso, std::move(t));
}

bool TZepCdsLocale::ScriviModifiche(DataSet &dataSet, const QString &percorso, int year, int month)
{
    const auto trovata = m_tabelle.find(percorso);
    if (trovata == m_tabelle.end())
        return false;
    Tabella &t = trovata->second;
    if (t.dataSet != &dataSet || t.periodo != QStringLiteral("%1-%2").arg(year).arg(month, 2, 10, QLatin1Char('0'))
        || dataSet.fieldDefs() != t.campiDataSet || !dataSet.indexFieldNames().isEmpty() || dataSet.filtered()
        || !dataSet.logChanges() || StatoDisco(percorso) != t.disco)
        return false;

    // The records now and then, the changes between (few: one person's).
    const QList<Bookmark> ora = dataSet.rowBookmarks();
    const QList<Bookmark> &prima = t.segni;
    std::vector<quint64> nuovi, cambiati, tolti;
    for (const platform::DeltaRecord &d : dataSet.delta())
        (d.kind() == UpdateKind::Insert   ? nuovi
         : d.kind() == UpdateKind::Modify ? cambiati
                                          : tolti)
            .push_back(d.bookmark().id);
    const auto tra = [](const std::vector<quint64> &v, const Bookmark &b) {
        return std::find(v.cbegin(), v.cend(), b.id) != v.cend();
    };
    const qsizetype n = ora.size(), m = prima.size();
    // The rows before and after the changed ones are the same records,
    // unchanged, at the same places.
    qsizetype inizio = 0;
    while (inizio < n && inizio < m && ora.at(inizio) == prima.at(inizio) && !tra(cambiati, ora.at(inizio)))
        ++inizio;
    qsizetype coda = 0;
    while (coda < n - inizio && coda < m - inizio && ora.at(n - 1 - coda) == prima.at(m - 1 - coda)
           && !tra(cambiati, ora.at(n - 1 - coda)))
        ++coda;
    // Between them, the records kept are those written but the deleted,
    // in the same order; anything else is not the dataset written.
    qsizetype j = inizio;
    for (qsizetype i = inizio; i < n - coda; ++i) {
        if (tra(nuovi, ora.at(i)))
            continue;
        while (j < m - coda && tra(tolti, prima.at(j)))
            ++j;
        if (j >= m - coda || !(prima.at(j) == ora.at(i)))
            return false;
        ++j;
    }
    while (j < m - coda && tra(tolti, prima.at(j)))
        ++j;
    if (j != m - coda)
        return false;
    // The rows around the change still hold what was written.
    if ((inizio > 0 && RigaFile(dataSet, ora.at(inizio - 1), t.posizioni) != t.mese.at(inizio - 1))
        || (coda > 0 && RigaFile(dataSet, ora.at(n - coda), t.posizioni) != t.mese.at(m - coda)))
        return false;
    if (inizio == n && n == m)
        return true; // nothing changed

    Giornale::TModifica modifica;
    modifica.Posizione = int(t.altre.size() + inizio);
    modifica.Tolte = int(m - inizio - coda);
    modifica.Campi = t.campi;
    for (qsizetype i = inizio; i < n - coda; ++i)
        modifica.Righe.append(RigaFile(dataSet, ora.at(i), t.posizioni));
    std::optional<Precedente> precedente;
    if (!HaPrecedente(percorso))
        precedente = Precedente{percorso, {}, {}, t};
    const qint64 giornale = Giornale::Aggiungi(percorso, t.impronta, t.giornale, modifica);
    t.giornale = giornale;
    t.disco.giornale = giornale;
    t.mese.remove(inizio, modifica.Tolte);
    for (qsizetype i = 0; i < modifica.Righe.size(); ++i)
        t.mese.insert(inizio + i, modifica.Righe.at(i));
    t.segni = ora;
    if (precedente)
        m_precedenti.append(std::move(*precedente));
    return true;
}
