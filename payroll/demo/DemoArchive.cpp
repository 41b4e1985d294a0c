#include "DemoArchive.h"

#include "DemoArchiveAnniPrecedenti.h"
#include "DemoArchiveCalcoli.h"
#include "DemoArchiveCalendar.h"
#include "DemoArchiveCollaboratori.h"
#include "DemoArchiveDma.h"
#include "DemoArchiveEsoneri.h"
#include "DemoArchiveFamily.h"
#include "DemoArchivePeople.h"
#include "DemoArchivePublic.h"
#include "DemoArchiveWriter.h"

#include "archive/ArchiveScripts.h"
#include "archive/FiscalCode.h"

#include "Currency.h"
#include "DatabaseCreator.h"
#include "Exceptions.h"
#include "SqlQuery.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <vector>

namespace payroll {

namespace {

using platform::Currency;

// ---------------------------------------------------------------- random
// SplitMix64: small, fast and the same on every platform and compiler (the
// standard library's distributions are not), so a seed always gives the
// same archive.
class Rng {
public:
    explicit Rng(quint64 seed) : m_state(seed) {}
    static Rng of(quint64 seed, quint64 a, quint64 b = 0, quint64 c = 0)
    {
        Rng r(seed ^ 0x9E3779B97F4A7C15ULL);
        r.m_state ^= r.next() + a * 0xD1B54A32D192ED03ULL;
        r.m_state ^= r.next() + b * 0xAEF17502108EF2D9ULL;
        r.m_state ^= r.next() + c * 0x8CB92BA72F3D8DD7ULL;
        return r;
    }
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Inclusive range.
    int range(int lo, int hi) { return lo + int(next() % quint64(hi - lo + 1)); }
    bool chance(int percent) { return range(1, 100) <= percent; }
    template <class T, size_t N>
    const T &pick(const std::array<T, N> &a)
    {
        return a[size_t(range(0, int(N) - 1))];
    }

private:
    quint64 m_state;
};

// ---------------------------------------------------------------- writing
using platform::Value;
const Value &Default = DemoArchiveWriter::Default;

Value textOrNull(const QString &s)
{
    return s.isEmpty() ? Value::null() : Value(s);
}

int yearId(int year)
{
    return year - 1969;
}
QDate monthStart(int year, int month)
{
    return QDate(year, month, 1);
}
QDate monthEnd(int year, int month)
{
    return QDate(year, month, 1).addMonths(1).addDays(-1);
}

// Week of the year, weeks running Sunday to Saturday, week 1 holding 1 January.
int weekOfYear(QDate d)
{
    const QDate jan1(d.year(), 1, 1);
    const int offset = jan1.dayOfWeek() % 7; // Sunday 0 ... Saturday 6
    return (jan1.daysTo(d) + offset) / 7 + 1;
}

// ---------------------------------------------------------------- codes
// Pay items.
enum Item {
    Stipendio = 10001,
    Iis = 10002,
    Straordinario = 10004,
    Anf = 10006,
    Tredicesima = 10013,
    Perequativo = 10049,
    Funzione = 10053,
    Professionale = 10055,
    Produttivita = 10070,
    Ivc = 10071,
    CompensoCollaborazione = 11001
};
// Retentions.
enum Retention {
    Inpdap = 2,
    InpsPieno = 3,
    Tfr = 5,
    FondoCredito = 6,
    Irpef = 7,
    IrpefSeparata = 11,
    InpsPartTime = 13,
    FondoPensione = 14,
    Enpals = 17
};
// Relationship types.
enum Tno { Indeterminato = 1, Determinato = 2, Apprendista = 3, Collaboratore = 11, Spettacolo = 15 };
// Liquidation kinds.
enum Cot { CotStipendio = 1, CotAccessori = 2, CotCollaborazioni = 3 };

struct Qualification {
    int id;
    const char *shortText;
    const char *text;
    int annual10001; // 2010 yearly amounts, in euros
    int annual10002;
    bool publicSector;
};
const std::array<Qualification, 7> kQualifications{{
    {1, "IMPIEGATO", "Impiegato amministrativo", 21000, 2400, false},
    {2, "OPERAIO", "Operaio tecnico di palcoscenico", 18500, 2200, false},
    {3, "QUADRO", "Quadro", 32000, 3000, false},
    {4, "APPRENDISTA", "Apprendista", 16000, 1800, false},
    {5, "ARTISTA", "Artista dello spettacolo", 26000, 0, false},
    {6, "DOCENTE", "Docente", 24000, 6500, true},
    {7, "COLL.AMM.", "Collaboratore amministrativo", 19500, 6000, true},
}};

// A rate or an amount written as in the tables ("26.72"), taken exactly.
Currency pct(const char *text)
{
    return Currency::fromString(QString::fromLatin1(text));
}
Currency pct(int whole)
{
    return Currency::fromInt(whole);
}

// Contract amounts of a year: 1.5 % a year above 2010, rounded to cents.
Currency annualAmount(int amount2010, int year)
{
    Currency c = Currency::fromInt(amount2010);
    if (year < DemoArchive::FirstYear)
        return DemoArchiveAnniPrecedenti::annualAmount(c, year);
    for (int y = DemoArchive::FirstYear; y < year; ++y)
        c = (c + c.percent(pct("1.5"))).rounded(2);
    return c;
}

struct Place {
    const char *name;
    const char *province;
    const char *provinceName;
    const char *cadastral;
    const char *postcode;
};
const std::array<Place, 12> kPlaces{{
    {"BOLOGNA", "BO", "Bologna", "A944", "40121"},
    {"ROMA", "RM", "Roma", "H501", "00184"},
    {"MILANO", "MI", "Milano", "F205", "20121"},
    {"NAPOLI", "NA", "Napoli", "F839", "80133"},
    {"TORINO", "TO", "Torino", "L219", "10121"},
    {"FIRENZE", "FI", "Firenze", "D612", "50122"},
    {"PALERMO", "PA", "Palermo", "G273", "90133"},
    {"BARI", "BA", "Bari", "A662", "70122"},
    {"GENOVA", "GE", "Genova", "D969", "16121"},
    {"VENEZIA", "VE", "Venezia", "L736", "30124"},
    {"MODENA", "MO", "Modena", "F257", "41121"},
    {"PADOVA", "PD", "Padova", "G224", "35122"},
}};

struct Country {
    const char *name;
    const char *istat;
    const char *cadastral; // for the fiscal code of a person born there
};
const std::array<Country, 8> kCountries{{
    {"ITALIA", "000", ""},
    {"ALBANIA", "201", "Z100"},
    {"FRANCIA", "215", "Z110"},
    {"GERMANIA", "216", "Z112"},
    {"ROMANIA", "235", "Z129"},
    {"UCRAINA", "243", "Z138"},
    {"CINA", "314", "Z210"},
    {"MAROCCO", "436", "Z330"},
}};

const std::array<const char *, 40> kSurnames{{
    "Rossi",      "Russo",  "Ferrari",  "Esposito", "Bianchi",  "Romano",    "Colombo",  "Ricci",
    "Marino",     "Greco",  "Bruno",    "Gallo",    "Conti",    "De Luca",   "Mancini",  "Costa",
    "Giordano",   "Rizzo",  "Lombardi", "Moretti",  "Barbieri", "Fontana",   "Santoro",  "Mariani",
    "Rinaldi",    "Caruso", "Ferrara",  "Galli",    "Martini",  "Leone",     "Longo",    "Gentile",
    "Martinelli", "Vitale", "Lombardo", "Serra",    "Coppola",  "De Santis", "D'Angelo", "Marchetti",
}};
const std::array<const char *, 24> kMaleNames{{
    "Marco",      "Giuseppe", "Luca",  "Giovanni",   "Roberto", "Andrea",   "Francesco", "Antonio",
    "Alessandro", "Stefano",  "Paolo", "Davide",     "Matteo",  "Simone",   "Lorenzo",   "Nicola",
    "Fabio",      "Michele",  "Ugo",   "Gianfranco", "Niccolò", "Emanuele", "Riccardo",  "Pietro",
}};
const std::array<const char *, 24> kFemaleNames{{
    "Giulia",  "Francesca", "Chiara",   "Sara",   "Anna",     "Laura",   "Valentina",    "Elena",
    "Alessia", "Martina",   "Federica", "Silvia", "Paola",    "Roberta", "Ilaria",       "Simona",
    "Elisa",   "Marta",     "Ida",      "Lucia",  "Beatrice", "Noemi",   "Maria Grazia", "Irene",
}};
const std::array<const char *, 12> kStreets{{
    "Via Roma",
    "Via Garibaldi",
    "Via Mazzini",
    "Corso Italia",
    "Via Verdi",
    "Via Dante",
    "Via Marconi",
    "Piazza della Repubblica",
    "Via Cavour",
    "Via Matteotti",
    "Viale Europa",
    "Via XX Settembre",
}};

const char *const kMonthNames[12] = {"Gennaio", "Febbraio", "Marzo",     "Aprile",  "Maggio",   "Giugno",
                                     "Luglio",  "Agosto",   "Settembre", "Ottobre", "Novembre", "Dicembre"};

// Partita IVA style check digit of a 10-digit number.
QString withCheckDigit(const QString &tenDigits)
{
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        int d = tenDigits[i].digitValue();
        if (i % 2 == 1) {
            d *= 2;
            if (d > 9)
                d -= 9;
        }
        sum += d;
    }
    return tenDigits + QString::number((10 - sum % 10) % 10);
}

QDate easterSunday(int year)
{
    const int a = year % 19, b = year / 100, c = year % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31, day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

// Yearly contribution rates (employee, administration) of a retention for
// a relationship type, or false when the pair has none.
struct Rates {
    Currency dip;
    Currency amm;
    Currency minimum;
};

// The collaborators' rate of the separate INPS scheme, by year.
Currency collaboratorRate(int year)
{
    if (year < DemoArchive::FirstYear)
        return DemoArchiveAnniPrecedenti::collaboratorRate(year);
    if (year <= 2010)
        return pct("26.72");
    if (year <= 2013)
        return pct("27.72");
    if (year == 2014)
        return pct("28.72");
    if (year == 2015)
        return pct("30.72");
    if (year == 2016)
        return pct("31.72");
    if (year == 2017)
        return pct("32.72");
    if (year <= 2021)
        return pct("33.72");
    return pct("35.03");
}

// The daily INPS minimum taxable of a year (rounded steps).
Currency inpsMinimum(int year)
{
    return (pct("44.63") + pct("0.84") * (year - 2010)).rounded(2);
}

bool ratesFor(int year, int tno, int rice, Rates &out)
{
    out = Rates{};
    const bool employee = tno >= 1 && tno <= 8;
    switch (rice) {
    case InpsPieno:
    case InpsPartTime:
        if (employee) {
            out.dip = tno == Apprendista ? pct("5.84") : pct("9.19");
            out.amm = tno == Apprendista ? pct("11.61") : pct("23.81");
            out.minimum = inpsMinimum(year);
            return true;
        }
        if (tno == Collaboratore && rice == InpsPieno) {
            out.amm = collaboratorRate(year);
            return true;
        }
        return false;
    case Inpdap:
        if (tno == DemoArchivePublic::TnoSenzaAliquotaAmm) {
            out.dip = pct("8.80");
            return true;
        }
        if (!employee)
            return false;
        out.dip = pct("8.80");
        out.amm = pct("24.20");
        return true;
    case Tfr:
        if (!employee)
            return false;
        out.amm = pct("7.10");
        return true;
    case FondoCredito:
        if (!employee)
            return false;
        out.dip = pct("0.35");
        return true;
    case FondoPensione:
        if (!employee)
            return false;
        out.dip = pct(1);
        out.amm = pct(1);
        return true;
    case Irpef:
    case IrpefSeparata: out.dip = pct(23); return true;
    case Enpals:
        if (tno != Spettacolo)
            return false;
        out.dip = pct("9.19");
        out.amm = pct("23.81");
        out.minimum = (pct("47.68") + pct("0.9") * (year - 2010)).rounded(2);
        return true;
    default: return false;
    }
}

// ---------------------------------------------------------------- persons
enum class Kind {
    FullTime,
    PartTimeHorizontal,
    PartTimeVertical,
    Apprentice,
    Hired,
    Terminated,
    Collaborator,
    Performer,
    Public,
    PublicFixedTerm
};

struct Person {
    int index = 0;
    Kind kind = Kind::FullTime;
    QString surname, name;
    bool female = false;
    QDate birth;
    int birthPlace = -1; // index in kPlaces, -1 when born abroad
    int country = 0;     // index in kCountries (citizenship)
    QString fiscalCode;  // empty: missing
    int residence = 0;   // index in kPlaces
    QString street;
    QDate start, end; // the relationship; end invalid when open
    int qualification = 1;
    int tno = Indeterminato;
    bool publicSector = false;
    int weeklyHours = 40;
    int serviceMinutes = 2400; // a week
    bool partTime = false;
    int timeKind = 1; // TTOS_TIPIORARIO
    bool fundAdherent = false;
    int seniority = 0; // contract seniority class
    Currency collaboratorMonthly;
    bool engaged = false;             // performing arts: paid for the engagements of a month only
    bool accessoryEveryMonth = false; // a productivity prize every month, not now and then
    int scaInpdap = 1;                // IACOMSCAINPDAP of a public-sector person
    QString phone;                    // empty: a drawn mobile number
    bool onlyPensionFund = false;     // public sector: no pension, end-of-service or credit retention
    // Household of the family allowance: adults (applicant, spouse) and children.
    bool household = false;
    int adults = 0, children = 0;
    Currency householdIncome;
    // Keys.
    int anaId = 0, anaCagId = 0, anaPerId = 0;
    QHash<int, int> compensation; // year -> IACOMID
};

int cotOf(const Person &p)
{
    return p.kind == Kind::Collaborator ? CotCollaborazioni : CotStipendio;
}
int cosOf(const Person &p)
{
    return p.kind == Kind::Collaborator ? 11000 : 10001;
}

// The retentions that weigh on a subject pay item of the person (besides
// income tax).
QList<int> socialRetentions(const Person &p)
{
    if (p.kind == Kind::Collaborator)
        return {InpsPieno};
    if (p.kind == Kind::Performer)
        return {Enpals};
    if (p.publicSector && p.onlyPensionFund)
        return {FondoPensione};
    if (p.publicSector) {
        QList<int> r{Inpdap, Tfr, FondoCredito};
        if (p.fundAdherent)
            r << FondoPensione;
        return r;
    }
    return {p.partTime ? InpsPartTime : InpsPieno};
}

bool inService(const Person &p, QDate from, QDate to)
{
    return p.start <= to && (!p.end.isValid() || p.end >= from);
}

// What makes each of the public-sector persons of DemoArchivePublic.h what
// it is for (the others are left as drawn).
void publicSectorPerson(Person &p, int index)
{
    using P = DemoArchivePublic;
    switch (index - P::FirstPerson) {
    case P::PartTime:
        p.partTime = true;
        p.timeKind = 3;
        break;
    case P::Accessori:
        p.accessoryEveryMonth = true;
        p.scaInpdap = 2;
        p.phone = QString::fromLatin1(P::Telefono);
        break;
    case P::NatoAllEstero:
        p.country = 1;
        p.birthPlace = -1;
        p.fiscalCode = FiscalCode::build(p.surname, p.name, p.birth,
                                         p.female ? FiscalCode::Sex::Female : FiscalCode::Sex::Male,
                                         QString::fromLatin1(kCountries[1].cadastral));
        break;
    case P::PosizioneDaVerificare: p.tno = Collaboratore; break;
    case P::SoloFondoPensione:
        p.onlyPensionFund = true;
        p.fundAdherent = true;
        p.tno = Determinato;
        break;
    case P::SenzaAliquotaAmm: p.tno = P::TnoSenzaAliquotaAmm; break;
    default: break;
    }
}

// ---------------------------------------------------------------- the archive
class Filler {
public:
    Filler(platform::Database &db, const DemoArchiveOptions &options)
        : m_w(db), m_db(db), m_o(options), m_firstYear(DemoArchiveAnniPrecedenti::firstYear(options)),
          m_lastYear(std::max(DemoArchive::LastYear, options.toYear))
    {
    }

    DemoArchiveSummary run()
    {
        writeReference();
        for (int year = m_firstYear; year <= m_lastYear; ++year)
            writeYear(year);
        writeEmployer();
        makePersons();
        for (Person &p : m_persons)
            writePerson(p);
        int months = 0;
        for (int y = m_o.fromYear, m = m_o.fromMonth; y < m_o.toYear || (y == m_o.toYear && m <= m_o.toMonth);) {
            for (Person &p : m_persons)
                writeMonth(p, y, m);
            ++months;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
        DemoArchiveCalcoli::fill(m_w);
        DemoArchiveCalendar::fill(m_w);
        DemoArchiveCollaboratori::fill(m_db);
        moveGenerators();
        DemoArchiveSummary s;
        s.persons = int(m_persons.size());
        s.months = months;
        DemoArchiveEsoneri::fill(m_w);
        DemoArchiveFamily::fill(m_w);
        DemoArchiveDma::fill(m_w);
        s.rowsByTable = m_w.counts();
        for (qint64 n : s.rowsByTable)
            s.rows += n;
        return s;
    }

private:
    void writeReference();
    void writeYear(int year);
    void writeFamilyAllowanceTables(int firstYear);
    void writeEmployer();
    void makePersons();
    void writePerson(Person &p);
    void writeCompensation(Person &p, int year);
    void writeMonth(Person &p, int year, int month);
    void moveGenerators();

    Currency allowance(const Person &p, int year, int month) const;

    DemoArchiveWriter m_w;
    platform::Database &m_db;
    DemoArchiveOptions m_o;
    int m_firstYear; // the first financial year
    int m_lastYear;  // the last financial year
    std::vector<Person> m_persons;
    QHash<int, int> m_placeId;   // kPlaces index -> ICOMID (and ISRPCID, ICAPID, IPROID alike)
    QHash<int, int> m_countryId; // kCountries index -> ISTAID
    // Contract tables by year: yearly amounts of 10001 and 10002 by qualification.
    QHash<int, int> m_ccntOfYear;
    // Family-allowance amounts: (master, table, band) rows for the lookup.
    struct AllowanceRow {
        int master;
        QString table;
        Currency from, to;
        std::array<Currency, 12> amounts;
    };
    std::vector<AllowanceRow> m_allowance;
    struct Master {
        int id;
        QDate start, end;
    };
    std::vector<Master> m_masters;
};

void Filler::writeReference()
{
    for (int m = 1; m <= 12; ++m)
        m_w.row("TMES_MESI", {m, QString::fromUtf8(kMonthNames[m - 1]), QString::fromUtf8(kMonthNames[m - 1]).left(3)});
    m_w.row("TSEX_SESSI", {1, "M", "Maschio"});
    m_w.row("TSEX_SESSI", {2, "F", "Femmina"});
    for (size_t i = 0; i < kCountries.size(); ++i) {
        const int id = int(m_w.nextId("TSTA_STATI"));
        m_countryId[int(i)] = id;
        m_w.row("TSTA_STATI", {id, kCountries[i].istat, kCountries[i].name});
    }
    for (size_t i = 0; i < kPlaces.size(); ++i) {
        const int id = int(i) + 1; // one province, municipality, code and postcode per place
        m_placeId[int(i)] = id;
        m_w.row("TPRO_PROVINCE", {id, kPlaces[i].province, kPlaces[i].provinceName});
        m_w.row("TCOM_COMUNI", {id, kPlaces[i].name, id});
        m_w.row("TSRPC_CODCATASTALI", {id, id, kPlaces[i].cadastral});
        m_w.row("TCAP_CAP", {id, id, kPlaces[i].postcode});
    }
    m_w.row("TLOC_TIPIINDIRIZZO", {1, "Domicilio"});
    m_w.row("TLOC_TIPIINDIRIZZO", {2, "Residenza"});

    const QList<std::pair<int, const char *>> tnos{{1, "Tempo indeterminato"},
                                                   {2, "Tempo determinato"},
                                                   {3, "Apprendista"},
                                                   {4, "Stagionale"},
                                                   {5, "Lavoratore intermittente"},
                                                   {6, "Contratto di inserimento"},
                                                   {7, "Lavoratore in somministrazione"},
                                                   {8, "Supplente annuale"},
                                                   {10, "Estraneo"},
                                                   {11, "Collaboratore coordinato e continuativo"},
                                                   {14, "Lavoratore autonomo"},
                                                   {15, "Lavoratore dello spettacolo"},
                                                   {16, "Personale di ruolo"},
                                                   {17, "Borsista"}};
    for (const auto &[id, text] : tnos)
        m_w.row("TTNO_TIPIRAPPORTO", {id, id, text});
    for (const Qualification &q : kQualifications)
        m_w.row("TQAR_QUALIFICHE", {q.id, q.id, q.shortText, q.text});
    m_w.row("TCAL_CATEGORIE", {1, 1, "Personale amministrativo"});
    m_w.row("TCAL_CATEGORIE", {2, 2, "Personale artistico e tecnico"});
    m_w.row("TCAL_CATEGORIE", {3, 3, "Personale docente"});
    m_w.row("TSTAB_STATIRAPPORTO", {1, "In servizio"});
    m_w.row("TSTAB_STATIRAPPORTO", {2, "Cessato"});
    m_w.row("TDCT_TIPICONTRATTO", {1, "Contratto privato"});
    m_w.row("TDCT_TIPICONTRATTO", {2, "Contratto pubblico"});
    m_w.row("TTOS_TIPIORARIO", {1, "Tempo pieno"});
    m_w.row("TTOS_TIPIORARIO", {2, "Part-time verticale"});
    m_w.row("TTOS_TIPIORARIO", {3, "Part-time orizzontale"});
    m_w.row("TCOAT_CODATTIVITA", {1, "1", "Amministratore di società"});
    m_w.row("TCOAT_CODATTIVITA", {3, "3", "Sindaco di società"});
    m_w.row("TCOAT_CODATTIVITA", {13, "13", "Collaborazione coordinata e continuativa"});
    m_w.row("TCOT_TIPICOMPENSO", {CotStipendio, "Stipendio", 1});
    m_w.row("TCOT_TIPICOMPENSO", {CotAccessori, "Compensi accessori", 0});
    m_w.row("TCOT_TIPICOMPENSO", {CotCollaborazioni, "Compensi a collaboratori", 1});
    m_w.row("TCOS_CATEGORIECOMP", {10001, "Stipendio"});
    m_w.row("TCOS_CATEGORIECOMP", {10002, "Indennità integrativa speciale"});
    m_w.row("TCOS_CATEGORIECOMP", {11000, "Collaborazioni"});

    struct ItemDef {
        int id, userCode;
        const char *text;
        int cos, group, kind;
        bool subject;
    };
    const QList<ItemDef> items{
        {Stipendio, 1, "Stipendio tabellare", 10001, 1, 1, true},
        {Iis, 2, "Indennità integrativa speciale", 10002, 1, 1, true},
        {10003, 3, "Retribuzione individuale di anzianità", 10001, 1, 0, true},
        {Straordinario, 4, "Lavoro straordinario", 10001, 2, 2, true},
        {10005, 5, "Indennità di turno", 10001, 2, 0, true},
        {Anf, 6, "Assegno per il nucleo familiare", 0, 4, 0, false},
        {10007, 7, "Indennità di rischio", 10001, 2, 0, true},
        {10008, 8, "Arretrati IIS", 10002, 2, 0, true},
        {10009, 9, "Conguaglio IIS", 10002, 2, 0, true},
        {Tredicesima, 13, "Tredicesima mensilità", 10001, 3, 0, true},
        {10016, 16, "Indennità di amministrazione", 10001, 1, 8, true},
        {10018, 18, "Indennità di posizione", 10001, 1, 8, true},
        {10025, 25, "Ore eccedenti", 10001, 2, 2, true},
        {Perequativo, 49, "Elemento perequativo", 10001, 1, 7, true},
        {Funzione, 53, "Indennità di funzione", 10001, 1, 7, true},
        {Professionale, 55, "Retribuzione professionale", 10001, 1, 7, true},
        {10056, 56, "Elemento aggiuntivo", 10001, 1, 0, true},
        {10069, 69, "Trattamento integrativo", 0, 5, 0, false},
        {Produttivita, 70, "Premio di produttività", 10001, 2, 0, true},
        {Ivc, 71, "Indennità di vacanza contrattuale", 10001, 1, 7, true},
        {10072, 72, "Bonus 200 euro", 0, 5, 0, false},
        {10073, 73, "Bonus 150 euro", 0, 5, 0, false},
        {10074, 420, "Esonero IVS su stipendio", 0, 6, 0, true},
        {10075, 421, "Esonero IVS su tredicesima", 0, 6, 0, true},
        {10077, 422, "Decontribuzione madri lavoratrici", 0, 6, 0, true},
        {10078, 78, "Somma taglio cuneo fiscale", 0, 7, 0, false},
        {CompensoCollaborazione, 101, "Compenso di collaborazione", 11000, 1, 0, true},
        {11069, 169, "Trattamento integrativo collaboratori", 0, 5, 0, false},
    };
    for (const ItemDef &i : items)
        m_w.row("TCOMR_RIGHECOMP", {i.id, i.userCode, i.text, i.cos ? Value(i.cos) : Value::null(), i.group,
                                    i.kind ? Value(i.kind) : Value::null(), i.subject ? 1 : 0, 0});

    m_w.row("TTVCO_TIPICONTRIB", {1, 1, "Ordinario dipendente"});
    m_w.row("TTVCO_TIPICONTRIB", {2, 2, "Speciale dipendente"});
    m_w.row("TTVCO_TIPICONTRIB", {3, 3, "Fondo pensione dipendente"});
    m_w.row("TTVCO_TIPICONTRIB", {5, 5, "Ordinario amministrazione"});
    m_w.row("TTVCO_TIPICONTRIB", {6, 6, "Speciale amministrazione"});
    struct RetDef {
        int id;
        const char *text;
        bool fundamental;
        int tvcoDip, tvcoAmm;
    };
    const QList<RetDef> retentions{
        {Inpdap, "Ex INPDAP - trattamento pensionistico", true, 2, 6},
        {InpsPieno, "INPS tempo pieno", true, 2, 6},
        {4, "INPS aggiuntivo", false, 2, 6},
        {Tfr, "Ex INPDAP - trattamento di fine rapporto", true, 0, 6},
        {FondoCredito, "Fondo credito", true, 2, 0},
        {Irpef, "IRPEF", false, 1, 0},
        {8, "Addizionale comunale IRPEF", false, 1, 0},
        {9, "Addizionale provinciale IRPEF", false, 1, 0},
        {10, "Addizionale regionale IRPEF", false, 1, 0},
        {IrpefSeparata, "IRPEF a tassazione separata", false, 1, 0},
        {12, "IRPEF ad aliquota media", false, 1, 0},
        {InpsPartTime, "INPS part-time", true, 2, 6},
        {FondoPensione, "Fondo pensione complementare", true, 3, 6},
        {15, "Fondo pensione - contributo aggiuntivo", true, 3, 6},
        {16, "Fondo pensione - quota iscritto", true, 3, 0},
        {Enpals, "Fondo pensione lavoratori dello spettacolo (ex ENPALS)", true, 2, 6},
        {18, "Ritenuta non applicabile", false, 0, 0},
    };
    for (const RetDef &r : retentions)
        m_w.row("TRICE_RITENUTE",
                {r.id, r.id, r.text, 2, 0, r.fundamental ? 1 : 0, r.tvcoDip ? Value(r.tvcoDip) : Value::null(),
                 r.tvcoAmm ? Value(r.tvcoAmm) : Value::null()});

    struct RedDef {
        int id;
        const char *abbr, *text;
        int calc;
        int paid; // percent
        int holidays;
    };
    const QList<RedDef> reductions{
        {1, "MAL", "Malattia", 3, 100, 0},
        {2, "INF", "Infortunio", 3, 100, 0},
        {3, "ASP", "Aspettativa non retribuita", 1, 0, 1},
        {4, "CON", "Congedo parentale", 3, 30, 3},
        {5, "MAT", "Maternità obbligatoria", 3, 100, 0},
        {7, "SCI", "Sciopero orario", 2, 0, 0},
    };
    for (const RedDef &r : reductions)
        m_w.row("TTACO_TIPIRIDUZIONE", {r.id, r.abbr, r.text, r.calc, pct(r.paid), r.holidays});
    m_w.row("TTACOCOMR_RIDUZIONIVOCI", {1, 3, Ivc, 0});
    m_w.row("TTACORICE_RIDUZIONIRIT", {1, 4, InpsPieno, pct(70), pct(70)});
    m_w.row("TTACORICE_RIDUZIONIRIT", {2, 4, Inpdap, pct(70), pct(70)});
    const QList<std::tuple<int, const char *, const char *, const char *>> absences{{1, "MA", "MA", "Malattia"},
                                                                                    {2, "IN", "IN", "Infortunio"},
                                                                                    {5, "MT", "MA", "Maternità"},
                                                                                    {14, "AS", "AS",
                                                                                     "Assenza non retribuita"},
                                                                                    {20, "FE", "", "Ferie"}};
    for (const auto &[id, code, dayCode, text] : absences)
        m_w.row("TTAG_TIPIASSENZA", {id, code, textOrNull(dayCode), text});

    m_w.row("TRITV_RITENUTEVARIE", {1, "Quote sindacali", 1});
    m_w.row("TRIVA_VOCIRITVARIE", {1, 1, Stipendio});
    m_w.row("TRIVA_VOCIRITVARIE", {2, 1, Iis});
    m_w.row("TOEPA_REGOLEORE", {1, "Straordinario diurno", 1, 156, pct("1.15"), 1});
    m_w.row("TOETB_ORECCVOCI", {1, Straordinario, 1, Value::null(), Value::null()});
    m_w.row("TTIM_TIPICONTO", {200001, "Costi del personale"});
    m_w.row("TTIM_TIPICONTO", {500001, "Debiti verso enti previdenziali"});
    m_w.row("TCUFO_FONDICU", {1, "Fondo d'istituto", 1});
    m_w.row("TFPC_FONDIPENSIONE",
            {1, "ESP", "Fondo Espero", QDate(2004, 1, 1), pct(100), pct(1), pct(1), pct("0.5"), pct("0.25")});
    m_w.row("TYAPP_APPLICAZIONI", {11, "WUN", "Paghe"});
    m_w.row("TYRFO_CARTELLE", {11001, Value::null(), "Stampe paghe"});

    // School years from the one that ends in the first financial year to the
    // one that starts in the last.
    for (int y = m_firstYear - 1; y <= m_lastYear; ++y)
        m_w.row("TANS_ANNISCOLAST", {int(m_w.nextId("TANS_ANNISCOLAST")), QDate(y, 9, 1), QDate(y + 1, 8, 31)});
    // Family-allowance tables valid July to June, from the first year's.
    writeFamilyAllowanceTables(m_firstYear - 1);
}

void Filler::writeFamilyAllowanceTables(int firstYear)
{
    // Tables "T11" (both parents), "T12" (one parent) and "T13" (children
    // only): income bands of 12,000.00, amounts growing with the household
    // and falling with the income; 1.5 % more every year.
    const QStringList tables{"T11", "T12", "T13"};
    for (int y = firstYear; y <= m_lastYear; ++y) {
        const int master = int(m_w.nextId("TAFM_ASSFAMMASTER"));
        const QDate start(y, 7, 1), end(y + 1, 6, 30);
        m_masters.push_back(Master{master, start, end});
        m_w.row("TAFM_ASSFAMMASTER", {master, start, end, QStringLiteral("Tabelle ANF %1/%2").arg(y).arg(y + 1)});
        const Currency growth = annualAmount(10000, y) / 10000;
        for (int t = 0; t < tables.size(); ++t) {
            for (int band = 0; band < 8; ++band) {
                AllowanceRow r;
                r.master = master;
                r.table = tables[t];
                r.from = Currency::fromInt(band * 12000) + (band ? Currency::fromRaw(100) : Currency());
                r.to = band == 7 ? Currency::fromInt(999999) : Currency::fromInt((band + 1) * 12000);
                for (int size = 1; size <= 12; ++size) {
                    const int base = std::max(0, (size - 1) * 95 - t * 20) * (8 - band) / 8;
                    r.amounts[size - 1] = (Currency::fromInt(base) * growth).rounded(2);
                }
                m_w.row("TAFT_ASSFAMTABLE",
                        {int(m_w.nextId("TAFT_ASSFAMTABLE")), master, r.table, r.from, r.to, r.amounts[0], r.amounts[1],
                         r.amounts[2], r.amounts[3], r.amounts[4], r.amounts[5], r.amounts[6], r.amounts[7],
                         r.amounts[8], r.amounts[9], r.amounts[10], r.amounts[11]});
                m_allowance.push_back(r);
            }
        }
    }
}

void Filler::writeYear(int year)
{
    const int anf = yearId(year);
    m_w.row("TANF_ANNIFINANZ", {anf, QDate(year, 1, 1), QDate(year, 12, 31)});

    // Contribution rates of every retention and relationship type.
    const QList<int> tnos{1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 14, 15, 16, 17};
    const QList<int> rices{Inpdap,        InpsPieno,    Tfr,           FondoCredito, Irpef,
                           IrpefSeparata, InpsPartTime, FondoPensione, Enpals};
    for (int tno : tnos) {
        for (int rice : rices) {
            Rates r;
            if (ratesFor(year, tno, rice, r))
                m_w.row("TRICA_ALIQUOTE", {int(m_w.nextId("TRICA_ALIQUOTE")), anf, rice, tno, r.dip, r.amm, r.minimum});
        }
    }
    // Contribution groups: the retentions each pay item bears.
    struct Group {
        int cot;
        QList<int> tnos;
        QList<int> items;
        QList<int> rices;
    };
    const QList<Group> groups{
        {CotStipendio,
         {1, 2, 3},
         {Stipendio, Iis, Straordinario, Tredicesima, Perequativo, Ivc},
         {Inpdap, InpsPieno, Tfr, FondoCredito, Irpef, InpsPartTime, FondoPensione}},
        {CotAccessori, {1, 2, 3}, {Produttivita}, {InpsPieno, InpsPartTime, IrpefSeparata}},
        {CotCollaborazioni, {Collaboratore}, {CompensoCollaborazione}, {InpsPieno, Irpef}},
        {CotStipendio, {Spettacolo}, {Stipendio, Tredicesima}, {Enpals, Irpef}},
    };
    for (const Group &g : groups)
        for (int tno : g.tnos)
            for (int item : g.items)
                for (int rice : g.rices)
                    m_w.row("TCOGR_GRUPPICONTR",
                            {int(m_w.nextId("TCOGR_GRUPPICONTR")), anf, g.cot, tno, item, rice, pct(100), pct(100)});

    // Holidays.
    const QList<std::tuple<int, int, const char *>> fixed{{1, 1, "Capodanno"},
                                                          {1, 6, "Epifania"},
                                                          {4, 25, "Festa della Liberazione"},
                                                          {5, 1, "Festa del lavoro"},
                                                          {6, 2, "Festa della Repubblica"},
                                                          {8, 15, "Ferragosto"},
                                                          {11, 1, "Ognissanti"},
                                                          {12, 8, "Immacolata Concezione"},
                                                          {12, 25, "Natale"},
                                                          {12, 26, "Santo Stefano"}};
    QList<std::pair<QDate, QString>> holidays;
    for (const auto &[m, d, text] : fixed)
        holidays.append({QDate(year, m, d), QString::fromUtf8(text)});
    holidays.append({easterSunday(year).addDays(1), QStringLiteral("Lunedì dell'Angelo")});
    std::sort(holidays.begin(), holidays.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[date, text] : holidays)
        m_w.row("TFES_FESTIVITA", {int(m_w.nextId("TFES_FESTIVITA")), date, 6, text});
    // The patron saint of the employer's town, on the calendar of private contracts only.
    m_w.row("TFES_FESTIVITA", {int(m_w.nextId("TFES_FESTIVITA")), QDate(year, 10, 4), 2, "San Petronio"});

    // Performing-arts fund: yearly ceiling and threshold, and a daily band.
    const Currency growth = annualAmount(10000, year) / 10000;
    m_w.row("TENPM_MASSIMALI",
            {int(m_w.nextId("TENPM_MASSIMALI")), anf, 1, Currency(), (Currency::fromInt(46123) * growth).rounded(0),
             (Currency::fromInt(100324) * growth).rounded(0)});
    m_w.row("TENPM_MASSIMALI",
            {int(m_w.nextId("TENPM_MASSIMALI")), anf, 2, Currency(), (Currency::fromInt(148) * growth).rounded(2),
             (Currency::fromInt(321) * growth).rounded(2)});

    // Chart of accounts: brought in from 2019 on.
    if (year >= 2019) {
        m_w.row("TNAF_PIANOCONTI", {int(m_w.nextId("TNAF_PIANOCONTI")), anf, 200001, "B.9.a", "Salari e stipendi"});
        m_w.row("TNAF_PIANOCONTI",
                {int(m_w.nextId("TNAF_PIANOCONTI")), anf, 500001, "D.13", "Debiti verso istituti di previdenza"});
    }

    // Income-tax deduction brackets.
    auto bracket = [&](const char *table, int code, int from, int to, int amount, int minDet = 0, int minInd = 0) {
        const QString t = QString::fromLatin1(table);
        const Value id = int(m_w.nextId(t));
        if (t == QStringLiteral("TTDLA_DETRLAVORO"))
            m_w.row(t, {id, anf, code, Currency::fromInt(from), Currency::fromInt(to), Currency::fromInt(amount),
                        Currency::fromInt(minDet), Currency::fromInt(minInd)});
        else
            m_w.row(t, {id, anf, code, Currency::fromInt(from), Currency::fromInt(to), Currency::fromInt(amount)});
    };
    // The published brackets of each year (docs/ARCHIVE.md).
    if (year < 2014) {
        bracket("TTDLA_DETRLAVORO", 1, 0, 8000, 1840, 1380, 690);
        bracket("TTDLA_DETRLAVORO", 2, 8000, 15000, 1338);
        bracket("TTDLA_DETRLAVORO", 3, 15000, 55000, 1338);
    } else if (year < 2022) {
        bracket("TTDLA_DETRLAVORO", 1, 0, 8000, 1880, 1380, 690);
        bracket("TTDLA_DETRLAVORO", 2, 8000, 28000, 978);
        bracket("TTDLA_DETRLAVORO", 3, 28000, 55000, 978);
    } else {
        bracket("TTDLA_DETRLAVORO", 1, 0, 15000, year >= 2024 ? 1955 : 1880, 1380, 690);
        bracket("TTDLA_DETRLAVORO", 2, 15000, 28000, 1910);
        bracket("TTDLA_DETRLAVORO", 3, 28000, 50000, 1910);
        bracket("TTDLA_DETRLAVORO", -1, 25000, 35000, 65);
    }
    if (year >= 2020 && year <= 2021) {
        // Half the yearly amount in 2020, from July.
        const int additional = year == 2020 ? 480 : 960;
        bracket("TTDLA_DETRLAVORO", -1, 28000, 35000, additional);
        bracket("TTDLA_DETRLAVORO", -2, 35000, 40000, additional);
    }
    bracket("TTDCO_DETRCONIUGE", 1, 0, 15000, 800);
    bracket("TTDCO_DETRCONIUGE", 2, 15000, 40000, 690);
    bracket("TTDCO_DETRCONIUGE", 3, 40000, 80000, 690);
    bracket("TTDCO_DETRCONIUGE", -1, 29000, 29200, 10);
    bracket("TTDCO_DETRCONIUGE", -2, 29200, 34700, 20);
    bracket("TTDCO_DETRCONIUGE", -3, 34700, 35000, 30);
    bracket("TTDCO_DETRCONIUGE", -4, 35000, 35100, 20);
    bracket("TTDCO_DETRCONIUGE", -5, 35100, 35200, 10);
    bracket("TTDCA_DETRCANONE", 1, 0, 15494, 300);
    bracket("TTDCA_DETRCANONE", 1, 15494, 30987, 150);
    if (year >= 2025) {
        bracket("TTDCU_CUNEOFISCALE", 1, 20000, 32000, 1000);
        bracket("TTDCU_CUNEOFISCALE", 2, 32000, 40000, 1000);
    }
    // Per child 800, under three +100, disabled +220 up to 2012; 950, +270,
    // +400 from 2013.
    const bool dal2013 = year >= 2013;
    m_w.row("TTDFA_DETRFAMILIARI", {int(m_w.nextId("TTDFA_DETRFAMILIARI")), anf, Currency::fromInt(dal2013 ? 950 : 800),
                                    Currency::fromInt(dal2013 ? 270 : 100), Currency::fromInt(dal2013 ? 400 : 220),
                                    Currency::fromInt(200), Currency::fromInt(750), Currency::fromInt(1200),
                                    Currency::fromInt(95000), Currency::fromInt(15000), Currency::fromInt(80000)});

    // Contract tables: one of each kind a year, with its seniority classes.
    const int ccnt = int(m_w.nextId("TCCNT_TABELLECCNL"));
    m_ccntOfYear[year] = ccnt;
    m_w.row("TCCNT_TABELLECCNL",
            {ccnt, QStringLiteral("Tabelle CCNL %1").arg(year), QDate(year, 1, 1), QDate(year, 12, 31)});
    const int ccnv = int(m_w.nextId("TCCNV_TABELLECCNV"));
    m_w.row("TCCNV_TABELLECCNV",
            {ccnv, QStringLiteral("Voci contrattuali %1").arg(year), QDate(year, 1, 1), QDate(year, 12, 31)});
    for (int cls = 0; cls <= 4; ++cls)
        m_w.row("TCCNA_ANZIANITA", {int(m_w.nextId("TCCNA_ANZIANITA")), ccnt, cls, pct(100 + 2 * cls)});
    for (const Qualification &q : kQualifications) {
        auto amount = [&](int table, bool second, int item, Currency value) {
            m_w.row("TCCNL_IMPORTI", {int(m_w.nextId("TCCNL_IMPORTI")), second ? Value::null() : Value(table),
                                      second ? Value(table) : Value::null(), q.id, item, value});
        };
        amount(ccnt, false, Stipendio, annualAmount(q.annual10001, year));
        amount(ccnt, false, Iis, annualAmount(q.annual10002, year));
        amount(ccnt, false, Ivc, annualAmount(12, year));
        if (q.publicSector) {
            amount(ccnt, false, Perequativo, annualAmount(20, year));
            amount(ccnt, false, Funzione, annualAmount(q.id == 6 ? 0 : 60, year));
            amount(ccnt, false, Professionale, annualAmount(q.id == 6 ? 150 : 0, year));
            amount(ccnv, true, 10016, annualAmount(q.id == 7 ? 50 : 0, year));
        }
    }
}

void Filler::writeEmployer()
{
    const QString fiscal = withCheckDigit(QStringLiteral("8001234567"));
    m_w.row("TDWG_DATORI", {1, "FONDAZIONE TEATRO COMUNALE DI VALLEVERDE", fiscal, "04512"});
    m_w.row("TSED_SEDI", {1, 1, "FONDAZIONE TEATRO COMUNALE DI VALLEVERDE", fiscal, "Largo Respighi 1",
                          m_placeId.value(0), m_placeId.value(0), 1});
    for (int year = m_firstYear; year <= m_lastYear; ++year) {
        const int id = year < DemoArchive::FirstYear ? DemoArchiveAnniPrecedenti::employerYearId(year)
                                                     : year - DemoArchive::FirstYear + 1;
        m_w.row("TDWGANF_DATORIANNO", {id, 1, yearId(year), QStringLiteral("Esercizio %1").arg(year)});
        m_w.row("TPACO_PARAMCOMP",
                {id, yearId(year), id, "1234567890", "1234567891", "900400",
                 year >= 2008 ? Value("90.04.00") : Value::null(), 1, year >= 2019 ? 1 : 0, Value::null()});
    }
}

// ---------------------------------------------------------------- persons
void Filler::makePersons()
{
    const QDate rangeStart = monthStart(m_o.fromYear, m_o.fromMonth);
    const QDate rangeEnd = monthEnd(m_o.toYear, m_o.toMonth);
    const int rangeMonths = (m_o.toYear - m_o.fromYear) * 12 + m_o.toMonth - m_o.fromMonth + 1;
    // The first ten persons are one of each kind; the others follow weights.
    const std::array<Kind, 10> first{Kind::FullTime, Kind::PartTimeHorizontal, Kind::PartTimeVertical, Kind::Apprentice,
                                     Kind::Hired,    Kind::Terminated,         Kind::Collaborator,     Kind::Performer,
                                     Kind::Public,   Kind::PublicFixedTerm};
    const std::array<std::pair<Kind, int>, 10> weights{{{Kind::FullTime, 40},
                                                        {Kind::PartTimeHorizontal, 10},
                                                        {Kind::PartTimeVertical, 5},
                                                        {Kind::Apprentice, 5},
                                                        {Kind::Hired, 8},
                                                        {Kind::Terminated, 6},
                                                        {Kind::Collaborator, 8},
                                                        {Kind::Performer, 7},
                                                        {Kind::Public, 8},
                                                        {Kind::PublicFixedTerm, 3}}};
    // The person without a fiscal code: an eleventh full-time employee, or
    // the first one when there are only ten.
    const int withoutCode = m_o.persons > 10 ? 10 : 0;
    // Persons 13 to 16 (DemoArchivePeople.h): a second collaborator, a
    // performing-arts worker with engagement periods, an employee with
    // accessory pay every month, one hired and terminated in a month.
    const std::array<Kind, 4> later{Kind::Collaborator, Kind::Performer, Kind::FullTime, Kind::Hired};
    const int publicFirst = DemoArchivePublic::FirstPerson;
    const int publicEnd = publicFirst + DemoArchivePublic::Count;

    m_persons.resize(size_t(m_o.persons));
    for (int i = 0; i < m_o.persons; ++i) {
        Person &p = m_persons[size_t(i)];
        Rng r = Rng::of(m_o.seed, quint64(i) + 1);
        p.index = i;
        if (i < 10) {
            p.kind = first[size_t(i)];
        } else if (i == withoutCode) {
            p.kind = Kind::FullTime;
        } else if (i >= DemoArchivePeople::FirstPerson && i < DemoArchivePeople::FirstPerson + int(later.size())) {
            p.kind = later[size_t(i - DemoArchivePeople::FirstPerson)];
        } else if (i >= publicFirst && i < publicEnd) {
            p.kind = Kind::Public;
        } else if (m_o.publicSector) {
            p.kind = Kind::Public;
        } else {
            int x = r.range(1, 100);
            for (const auto &[kind, w] : weights) {
                p.kind = kind;
                if ((x -= w) <= 0)
                    break;
            }
        }
        p.female = r.chance(50);
        p.surname = QString::fromUtf8(r.pick(kSurnames));
        p.name = QString::fromUtf8(p.female ? r.pick(kFemaleNames) : r.pick(kMaleNames));
        // Born 1958-1980 (apprentices and new hires younger); the
        // relationship starts from 2000, at twenty or later.
        p.birth = QDate(1958, 1, 1).addDays(r.range(0, 22 * 365));
        if (p.kind == Kind::Apprentice)
            p.birth = rangeStart.addYears(-r.range(18, 26)).addDays(-r.range(0, 360));
        else if (p.kind == Kind::Hired || p.kind == Kind::PublicFixedTerm)
            p.birth = rangeStart.addYears(-r.range(22, 45)).addDays(-r.range(0, 360));
        p.country = r.chance(90) ? 0 : r.range(1, int(kCountries.size()) - 1);
        p.birthPlace = p.country == 0 ? r.range(0, int(kPlaces.size()) - 1) : -1;
        p.residence = r.chance(70) ? 0 : r.range(0, int(kPlaces.size()) - 1);
        p.street = QStringLiteral("%1 %2").arg(QString::fromUtf8(r.pick(kStreets))).arg(r.range(1, 180));
        const QString place = p.birthPlace >= 0 ? QString::fromLatin1(kPlaces[size_t(p.birthPlace)].cadastral)
                                                : QString::fromLatin1(kCountries[size_t(p.country)].cadastral);
        if (i != withoutCode)
            p.fiscalCode = FiscalCode::build(p.surname, p.name, p.birth,
                                             p.female ? FiscalCode::Sex::Female : FiscalCode::Sex::Male, place);

        // The relationship.
        const QDate longAgo = DemoArchiveAnniPrecedenti::relationshipStart(QDate(2000, 1, 1).addDays(r.range(0, 3600)),
                                                                           p.birth, rangeStart);
        auto dayInRange = [&](int firstDay, int lastDay) {
            const QDate m = rangeStart.addMonths(r.range(0, rangeMonths - 1));
            return QDate(m.year(), m.month(), r.range(firstDay, lastDay));
        };
        p.start = longAgo;
        p.qualification = r.chance(70) ? 1 : (r.chance(70) ? 2 : 3);
        p.seniority = r.range(0, 4);
        switch (p.kind) {
        case Kind::FullTime: break;
        case Kind::PartTimeHorizontal:
            p.partTime = true;
            p.timeKind = 3;
            break;
        case Kind::PartTimeVertical:
            p.partTime = true;
            p.timeKind = 2;
            break;
        case Kind::Apprentice:
            p.tno = Apprendista;
            p.qualification = 4;
            p.seniority = 0;
            p.start = rangeStart.addMonths(-r.range(1, 20)).addDays(r.range(0, 20));
            p.end = p.start.addYears(3).addDays(-1);
            break;
        case Kind::Hired:
            p.tno = Determinato;
            p.start = dayInRange(2, 25);
            p.end = p.start.addMonths(r.range(6, 18)).addDays(-1);
            break;
        case Kind::Terminated: p.end = dayInRange(3, 27); break;
        case Kind::Collaborator:
            p.tno = Collaboratore;
            p.qualification = 1;
            p.collaboratorMonthly = Currency::fromInt(r.range(80, 250) * 10);
            break;
        case Kind::Performer:
            p.tno = Spettacolo;
            p.qualification = 5;
            break;
        case Kind::Public:
            p.publicSector = true;
            p.qualification = r.chance(50) ? 6 : 7;
            p.fundAdherent = r.chance(40) || i == 8;
            break;
        case Kind::PublicFixedTerm:
            p.publicSector = true;
            p.tno = Determinato;
            p.qualification = 6;
            p.start = dayInRange(1, 15);
            p.end = p.start.addMonths(r.range(3, 9)).addDays(-1);
            break;
        }
        switch (i - DemoArchivePeople::FirstPerson) {
        case 1: p.engaged = true; break;
        case 2: p.accessoryEveryMonth = true; break;
        case 3:
            p.start = QDate(m_o.toYear, m_o.toMonth, 5);
            p.end = QDate(m_o.toYear, m_o.toMonth, 20);
            break;
        default: break;
        }
        publicSectorPerson(p, i);
        if (p.start > rangeEnd) // keep everyone on the payroll for at least one month of the range
            p.start = rangeStart;
        p.weeklyHours = p.publicSector ? 36 : 40;
        const int full = p.weeklyHours * 60;
        p.serviceMinutes = p.partTime ? full * r.range(50, 75) / 100 : full;
        // Household for the family allowance.
        if (p.kind != Kind::Collaborator && p.kind != Kind::Performer && (i < 2 || r.chance(35))) {
            p.household = true;
            p.adults = r.chance(75) ? 2 : 1;
            p.children = r.range(1, 3);
            p.householdIncome = Currency::fromInt(r.range(12, 70) * 1000);
        }
    }
}

void Filler::writePerson(Person &p)
{
    Rng r = Rng::of(m_o.seed, quint64(p.index) + 1, 7);
    p.anaId = int(m_w.nextId("TANA_ANAGRAFICHE"));
    m_w.row("TANA_ANAGRAFICHE",
            {p.anaId, p.surname.toUpper(), p.name.toUpper(), textOrNull(p.fiscalCode), p.birth, p.female ? 2 : 1,
             p.birthPlace >= 0 ? Value(m_placeId.value(p.birthPlace)) : Value::null(),
             p.birthPlace >= 0 ? Value::null() : Value(m_countryId.value(p.country))});
    m_w.row("TANACITT", {int(m_w.nextId("TANACITT")), p.anaId, m_countryId.value(p.country)});
    m_w.row("TABT_ABITAZIONI", {int(m_w.nextId("TABT_ABITAZIONI")), p.anaId, 2, p.street, m_placeId.value(p.residence),
                                m_placeId.value(p.residence)});
    m_w.row("TTEL_TELEFONI", {int(m_w.nextId("TTEL_TELEFONI")), p.anaId,
                              p.phone.isEmpty() ? QStringLiteral("3%1").arg(r.range(100000000, 999999999)) : p.phone});
    if (r.chance(60))
        m_w.row("TEML_EMAIL", {int(m_w.nextId("TEML_EMAIL")), p.anaId,
                               QStringLiteral("%1.%2%3@example.it")
                                   .arg(p.name.toLower().remove(QLatin1Char(' ')),
                                        p.surname.toLower().remove(QLatin1Char(' ')).remove(QLatin1Char('\'')))
                                   .arg(p.index + 1)});
    p.anaCagId = int(m_w.nextId("TANACAG_MATRICOLE"));
    m_w.row("TANACAG_MATRICOLE", {p.anaCagId, p.anaId, 1, QString::number(p.index + 1)});
    p.anaPerId = int(m_w.nextId("TANAPER_POSIZIONI"));
    const int category = p.kind == Kind::Performer ? 2 : (p.qualification == 6 ? 3 : 1);
    const bool ended = p.end.isValid() && p.end < monthEnd(m_o.toYear, m_o.toMonth);
    m_w.row("TANAPER_POSIZIONI", {p.anaPerId, p.anaCagId, category, ended ? 2 : 1});

    if (p.timeKind != 1) {
        // Vertical: full days Monday to Wednesday (and Thursday morning when
        // the hours ask for it); horizontal: the same hours every weekday.
        std::array<int, 7> days{};
        if (p.timeKind == 2) {
            int left = p.serviceMinutes;
            for (int d = 0; d < 5 && left > 0; ++d) {
                days[size_t(d)] = std::min(left, 480);
                left -= days[size_t(d)];
            }
        } else {
            for (int d = 0; d < 5; ++d)
                days[size_t(d)] = p.serviceMinutes / 5;
        }
        m_w.row("TSER_PARTTIME", {int(m_w.nextId("TSER_PARTTIME")), p.anaCagId, p.timeKind, p.start,
                                  p.end.isValid() ? p.end : QDate(2099, 12, 31), days[0], days[1], days[2], days[3],
                                  days[4], days[5], days[6]});
    }
    // A summer holiday every year of the range, and now and then a sickness.
    for (int y = m_o.fromYear; y <= m_o.toYear; ++y) {
        const QDate from(y, 8, r.range(1, 14));
        const int days = r.range(5, 12);
        if (p.kind != Kind::Collaborator && inService(p, from, from.addDays(days - 1)))
            m_w.row("TFEP_FERIE", {int(m_w.nextId("TFEP_FERIE")), p.anaCagId, from, from.addDays(days - 1), days});
    }
}

void Filler::writeCompensation(Person &p, int year)
{
    const int acom = int(m_w.nextId("TACOM_COMPENSI"));
    p.compensation[year] = acom;
    const Qualification &q = kQualifications[size_t(p.qualification - 1)];
    const QString classification = p.publicSector ? QStringLiteral("0101%1").arg(q.id == 6 ? "D00001" : "C00002")
                                                  : QString();
    // A collaboration's compensation of the year runs over its pay rows of
    // that year within the range: the period the declaration gives it.
    QDate start = p.start, end = p.end;
    if (p.kind == Kind::Collaborator) {
        const QDate first = year == m_o.fromYear ? monthStart(year, m_o.fromMonth) : QDate(year, 1, 1);
        const QDate last = year == m_o.toYear ? monthEnd(year, m_o.toMonth) : QDate(year, 12, 31);
        start = std::max(p.start, first);
        end = p.end.isValid() ? std::min(p.end, last) : last;
    }
    m_w.row("TACOM_COMPENSI", {acom,
                               p.anaPerId,
                               yearId(year),
                               p.tno,
                               p.qualification,
                               cosOf(p),
                               p.publicSector ? 2 : 1,
                               p.kind == Kind::Collaborator ? Value(13) : Value::null(),
                               start,
                               end,
                               textOrNull(classification),
                               p.weeklyHours,
                               p.kind == Kind::Collaborator ? 12 : (p.publicSector ? 13 : 14),
                               p.kind == Kind::Collaborator ? 365 : 0,
                               0,
                               p.publicSector ? p.scaInpdap : 0,
                               p.kind == Kind::Performer ? 1 : 0,
                               p.birth.year() >= 1976 ? 1 : 0,
                               Default,
                               Default,
                               pct("0.8"),
                               Currency(),
                               pct("1.23"),
                               Default,
                               pct(25),
                               Default,
                               p.kind == Kind::Collaborator ? collaboratorRate(year) : Currency(),
                               pct("0.4")});
    if (p.kind == Kind::Performer)
        m_w.row("TENPA_ENPALS", {int(m_w.nextId("TENPA_ENPALS")), acom, 12, "CPUB", "1", "D", "010"});
    if (p.fundAdherent)
        m_w.row("TAFP_ADESIONIFONDO",
                {int(m_w.nextId("TAFP_ADESIONIFONDO")), acom, 1, std::max(p.start, QDate(2010, 3, 1)), p.start});
    if (p.household)
        m_w.row("TAAF_ANAASSNUCFAM", {int(m_w.nextId("TAAF_ANAASSNUCFAM")), acom, 1, p.adults, Default, p.children,
                                      Default, Default, Default, Default, Default, p.householdIncome});
    m_w.row("TADET_DETRAZIONI", {int(m_w.nextId("TADET_DETRAZIONI")), acom, Default, Default, Default, 1,
                                 p.adults == 2 ? 1 : 0, Default, Default, p.household ? p.children : 0});
}

// ---------------------------------------------------------------- the months
Currency Filler::allowance(const Person &p, int year, int month) const
{
    const QDate day = monthStart(year, month);
    const QString table = p.adults >= 2 ? QStringLiteral("T11") : QStringLiteral("T12");
    const int size = std::min(12, p.adults + p.children);
    for (const Master &m : m_masters) {
        if (m.start > day || m.end < day)
            continue;
        for (const AllowanceRow &r : m_allowance) {
            if (r.master != m.id || r.table != table || r.from > p.householdIncome || r.to < p.householdIncome)
                continue;
            Currency amount = r.amounts[size_t(size - 1)];
            // The tables of 2021/22 carry a rise for every child.
            if (m.id == 13)
                amount += (p.children > 2 ? pct(55) : pct("37.5")) * p.children;
            return amount.rounded(2);
        }
    }
    return Currency();
}

struct Totals {
    Currency taxable, taxableDip, taxableAmm, dip, amm, rateDip, rateAmm, shareDip, shareAmm;
};

void Filler::writeMonth(Person &p, int year, int month)
{
    const QDate ms = monthStart(year, month), me = monthEnd(year, month);
    if (!inService(p, ms, me))
        return;
    QDate from = std::max(p.start, ms);
    QDate to = p.end.isValid() ? std::min(p.end, me) : me;
    // The pay periods of the month: the days in service, or the engagements
    // of a performer engaged for periods (paid for their calendar days).
    const QList<std::pair<QDate, QDate>> periods = p.engaged ? DemoArchivePeople::engagements(from, to)
                                                             : QList<std::pair<QDate, QDate>>{{from, to}};
    if (periods.isEmpty())
        return;
    if (!p.compensation.contains(year))
        writeCompensation(p, year);
    const int acom = p.compensation.value(year);
    const int anf = yearId(year);
    Rng r = Rng::of(m_o.seed, quint64(p.index) + 1, quint64(year * 100 + month));
    int days = 30; // commercial days
    if (p.engaged) {
        from = periods.front().first;
        to = periods.back().second;
        days = 0;
        for (const auto &[a, b] : periods)
            days += int(a.daysTo(b)) + 1;
    } else if (from != ms || to != me) {
        days = to == me ? std::max(1, 30 - from.day() + 1) : std::min(30, to.day() - from.day() + 1);
    }
    const Qualification &q = kQualifications[size_t(p.qualification - 1)];
    const int full = p.weeklyHours * 60;
    const int cot = cotOf(p);
    const bool collaborator = p.kind == Kind::Collaborator;

    // Contract history of the month and the monthly amounts it gives.
    const Currency monthly1 = (annualAmount(q.annual10001, year).percent(pct(100 + 2 * p.seniority)) / 12).rounded(2);
    const Currency monthly2 = (annualAmount(q.annual10002, year) / 12).rounded(2);
    auto share = [&](Currency monthly, int d) { // part-time and days share of a monthly amount
        return ((monthly * qint64(p.serviceMinutes) * qint64(d)) / (qint64(full) * 30)).rounded(2);
    };
    if (!collaborator) {
        const int asti = int(m_w.nextId("TASTI_STORICO"));
        m_w.row("TASTI_STORICO", {asti, acom, month, p.qualification, p.seniority, p.serviceMinutes, Default, Default,
                                  p.partTime ? 1 : 0});
        m_w.row("TASTR_STORICOIMPORTI",
                {int(m_w.nextId("TASTR_STORICOIMPORTI")), asti, Stipendio, share(monthly1, 30)});
        if (!monthly2.isZero())
            m_w.row("TASTR_STORICOIMPORTI", {int(m_w.nextId("TASTR_STORICOIMPORTI")), asti, Iis, share(monthly2, 30)});
    }

    // Pay items of the month.
    struct ItemRow {
        int item;
        Currency gross;
        bool subject;
    };
    std::vector<ItemRow> items;
    if (collaborator) {
        items.push_back({CompensoCollaborazione, ((p.collaboratorMonthly * qint64(days)) / 30).rounded(2), true});
    } else {
        items.push_back({Stipendio, share(monthly1, days), true});
        if (!monthly2.isZero())
            items.push_back({Iis, share(monthly2, days), true});
        if (p.publicSector) {
            items.push_back({Perequativo, ((annualAmount(20, year) * qint64(days)) / 30).rounded(2), true});
            if (q.id == 6)
                items.push_back({Professionale, ((annualAmount(150, year) * qint64(days)) / 30).rounded(2), true});
        }
        if (!p.publicSector && !p.partTime && p.kind != Kind::Performer && p.kind != Kind::Apprentice && r.chance(25)) {
            const Currency hourly = (monthly1 / 156).percent(pct(115)).rounded(2);
            items.push_back({Straordinario, (hourly * qint64(r.range(2, 12))).rounded(2), true});
        }
        if (month == 12) {
            int served = 0;
            for (int m = 1; m <= 12; ++m)
                served += inService(p, monthStart(year, m), monthEnd(year, m)) ? 1 : 0;
            const Currency thirteenth =
                (((monthly1 + monthly2) * qint64(p.serviceMinutes) * qint64(served)) / (qint64(full) * 12)).rounded(2);
            items.push_back({Tredicesima, thirteenth, true});
        }
        if (p.household && (year < 2022 || (year == 2022 && month < 3))) {
            const Currency a = allowance(p, year, month);
            if (!a.isZero())
                items.push_back({Anf, a, false});
        }
    }
    Currency total;
    for (const ItemRow &i : items)
        total += i.gross;

    // Register and liquidation of the month.
    const int regs = int(m_w.nextId("TREGS_REGISTROSTIP"));
    m_w.row("TREGS_REGISTROSTIP", {regs,          acom,  anf,          month,
                                   cot,           1,     p.tno,        p.qualification,
                                   cosOf(p),      1,     days,         p.serviceMinutes,
                                   p.weeklyHours, from,  to,           Default,
                                   Default,       total, "1234567890", 1});
    const int varm = int(m_w.nextId("TVARM_VARIAZIONI"));
    m_w.row("TVARM_VARIAZIONI",
            {varm, acom, anf, month, cot, cosOf(p), 1, days, from, to, Default, Default, p.partTime ? 1 : 0});

    // Pay period, with a sickness now and then.
    for (const auto &[pFrom, pTo] : periods) {
        if (collaborator)
            break;
        const int periodDays = p.engaged ? int(pFrom.daysTo(pTo)) + 1 : days;
        int inpsDays = periodDays;
        if (p.timeKind == 2) { // vertical part time: the days actually worked
            inpsDays = 0;
            for (QDate d = pFrom; d <= pTo; d = d.addDays(1))
                inpsDays += (d.dayOfWeek() <= 3) ? 1 : 0;
        }
        const int vape = int(m_w.nextId("TVAPE_PERIODI"));
        m_w.row("TVAPE_PERIODI", {vape, regs, varm, Default, p.qualification, Default, pFrom, pTo, periodDays, inpsDays,
                                  weekOfYear(pTo) - weekOfYear(pFrom) + 1, p.serviceMinutes, p.weeklyHours, Default,
                                  Default, Default, p.partTime ? 1 : 0});
        if (!p.engaged && r.chance(8)) {
            const int sick = std::min(r.range(1, 5), int(pFrom.daysTo(pTo)) + 1);
            const QDate s = pFrom.addDays(r.range(0, int(pFrom.daysTo(pTo)) - sick + 1));
            m_w.row("TASP_ASSENZE", {int(m_w.nextId("TASP_ASSENZE")), p.anaCagId, 1, s, s.addDays(sick - 1)});
            m_w.row("TVARD_RIDUZIONIVAR", {int(m_w.nextId("TVARD_RIDUZIONIVAR")), vape, 1, sick});
        }
    }

    // Items and withholdings of a register (or of a liquidation when
    // `register` is 0), with the register's totals by retention.
    auto writeItems = [&](int registerId, int liquidationId, const std::vector<ItemRow> &rows, int tax, bool totals) {
        QMap<int, Totals> sums;
        for (const ItemRow &i : rows) {
            const int vacr = int(m_w.nextId("TVACR_VARCOMPRIGHE"));
            m_w.row("TVACR_VARCOMPRIGHE",
                    {vacr, registerId ? Value(registerId) : Value::null(),
                     liquidationId ? Value(liquidationId) : Value::null(), i.item, i.item % 1000, i.gross, i.gross,
                     i.subject ? i.gross : Currency(), Default, Default, i.subject ? 1 : 0});
            if (!i.subject)
                continue;
            Currency socialDip;
            QList<int> rices = socialRetentions(p);
            rices << tax;
            for (int rice : rices) {
                Rates rt;
                ratesFor(year, p.tno, rice, rt);
                Currency taxable = i.gross;
                if (rice == Irpef || rice == IrpefSeparata)
                    taxable = i.gross - socialDip;
                Totals v;
                v.taxable = v.taxableDip = v.taxableAmm = taxable;
                if (rice == Inpdap && rt.amm.isZero())
                    v.taxableAmm = Currency(); // no employer share where the rate table has none
                if (collaborator && rice == InpsPieno) {
                    // Split one third employee, two thirds administration.
                    v.rateDip = v.rateAmm = rt.amm;
                    const Currency whole = taxable.percent(rt.amm);
                    v.dip = (whole.rounded(2) / 3).rounded(2);
                    v.amm = whole - v.dip;
                    v.shareDip = pct("33.333");
                    v.shareAmm = pct("66.666");
                } else {
                    v.rateDip = rt.dip;
                    v.rateAmm = rt.amm;
                    v.dip = taxable.percent(rt.dip).rounded(2);
                    v.amm = taxable.percent(rt.amm).rounded(2);
                    v.shareDip = v.shareAmm = pct(100);
                }
                if (rice != Irpef && rice != IrpefSeparata)
                    socialDip += v.dip;
                const int varr = int(m_w.nextId("TVARR_VARRITENUTE"));
                m_w.row("TVARR_VARRITENUTE",
                        {varr, registerId ? Value(registerId) : Value::null(),
                         liquidationId ? Value(liquidationId) : Value::null(), vacr, i.item, rice, Value::null(),
                         Value::null(), rice == FondoPensione ? Value(1) : Value::null(), v.taxable, v.taxableDip,
                         v.taxableAmm, v.rateDip, v.rateAmm, v.shareDip, v.shareAmm, v.dip, v.amm});
                if (rice == Enpals)
                    m_w.row("TENPV_ENPALSVARR", {int(m_w.nextId("TENPV_ENPALSVARR")), varr, v.dip, v.amm, v.taxable});
                Totals &t = sums[rice];
                t.taxable += v.taxable;
                t.taxableDip += v.taxableDip;
                t.taxableAmm += v.taxableAmm;
                t.dip += v.dip;
                t.amm += v.amm;
                t.rateDip = v.rateDip;
                t.rateAmm = v.rateAmm;
                t.shareDip = v.shareDip;
                t.shareAmm = v.shareAmm;
            }
        }
        if (!totals)
            return;
        for (auto it = sums.cbegin(); it != sums.cend(); ++it) {
            const Totals &t = it.value();
            m_w.row("TVARR_VARRITENUTE", {int(m_w.nextId("TVARR_VARRITENUTE")), registerId, Value::null(),
                                          Value::null(), Value::null(), it.key(), Value::null(), Value::null(),
                                          it.key() == FondoPensione ? Value(1) : Value::null(), t.taxable, t.taxableDip,
                                          t.taxableAmm, t.rateDip, t.rateAmm, t.shareDip, t.shareAmm, t.dip, t.amm});
        }
    };
    writeItems(regs, 0, items, Irpef, true);

    // INPS days and hours of the register.
    const int social = socialRetentions(p).first();
    m_w.row("TVAIN_GIORNIINPS",
            {int(m_w.nextId("TVAIN_GIORNIINPS")), regs, social, (days * 26 + 15) / 30,
             ((Currency::fromInt(p.serviceMinutes) * qint64(days) * 52) / (60 * 30 * 12)).rounded(2)});

    // Now and then a productivity prize, liquidated apart and taxed separately.
    const bool privateEmployee = !p.publicSector && !collaborator && p.kind != Kind::Performer
                                 && p.kind != Kind::Apprentice;
    if ((privateEmployee && (p.accessoryEveryMonth || r.chance(12))) || (p.publicSector && p.accessoryEveryMonth)) {
        const std::vector<ItemRow> prize{{Produttivita, Currency::fromInt(r.range(10, 80) * 5), true}};
        const int regsPrize = int(m_w.nextId("TREGS_REGISTROSTIP"));
        m_w.row("TREGS_REGISTROSTIP", {regsPrize,
                                       acom,
                                       anf,
                                       month,
                                       CotAccessori,
                                       1,
                                       p.tno,
                                       p.qualification,
                                       10001,
                                       1,
                                       0,
                                       p.serviceMinutes,
                                       p.weeklyHours,
                                       from,
                                       to,
                                       Default,
                                       Default,
                                       prize.front().gross,
                                       "1234567891",
                                       1});
        const int varmPrize = int(m_w.nextId("TVARM_VARIAZIONI"));
        m_w.row("TVARM_VARIAZIONI", {varmPrize, acom, anf, month, CotAccessori, 10001, 3, 0, from, to, Default, Default,
                                     p.partTime ? 1 : 0});
        writeItems(regsPrize, 0, prize, IrpefSeparata, true);
        writeItems(0, varmPrize, prize, IrpefSeparata, false);
    }
}

void Filler::moveGenerators()
{
    // Set after the rows: the generators continue past the keys given here.
    for (auto it = m_w.lastIds().cbegin(); it != m_w.lastIds().cend(); ++it) {
        try {
            m_db.execute(QStringLiteral("SET GENERATOR GEN_%1 TO %2").arg(it.key()).arg(it.value()));
        } catch (const platform::EDatabaseError &e) {
            throw platform::EDatabaseError(
                QStringLiteral("Archivio dimostrativo, generatore della tabella %1: %2").arg(it.key(), e.message()),
                e.cause());
        }
    }
}

} // namespace

// ---------------------------------------------------------------- public
void DemoArchive::parsePeriod(const QString &text, int &year, int &month)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{4})-(\\d{2})$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch() || m.captured(2).toInt() < 1 || m.captured(2).toInt() > 12)
        throw platform::EConvertError(QStringLiteral("Periodo non valido: \"%1\" (atteso AAAA-MM)").arg(text));
    year = m.captured(1).toInt();
    month = m.captured(2).toInt();
}

void DemoArchive::lastTwelveMonths(DemoArchiveOptions &o, const QDate &today)
{
    const QDate first = QDate(today.year(), today.month(), 1).addMonths(-11);
    o.fromYear = first.year();
    o.fromMonth = first.month();
    o.toYear = today.year();
    o.toMonth = today.month();
}

void DemoArchive::validate(const DemoArchiveOptions &o)
{
    if (o.persons < MinPersons || o.persons > MaxPersons)
        throw platform::EConvertError(QStringLiteral("Numero di persone non valido: %1 (da %2 a %3)")
                                          .arg(o.persons)
                                          .arg(MinPersons)
                                          .arg(MaxPersons));
    const int primo = DemoArchiveAnniPrecedenti::EarliestYear;
    auto valid = [primo](int y, int m) { return y >= primo && y <= MaxYear && m >= 1 && m <= 12; };
    if (!valid(o.fromYear, o.fromMonth) || !valid(o.toYear, o.toMonth))
        throw platform::EConvertError(
            QStringLiteral("I mesi devono essere compresi tra %1-01 e %2-12").arg(primo).arg(MaxYear));
    if (o.fromYear * 12 + o.fromMonth > o.toYear * 12 + o.toMonth)
        throw platform::EConvertError(QStringLiteral("Il mese iniziale segue quello finale"));
}

DemoArchiveSummary DemoArchive::fill(platform::Database &database, const DemoArchiveOptions &options)
{
    validate(options);
    database.startTransaction();
    DemoArchiveSummary summary;
    try {
        Filler filler(database, options);
        summary = filler.run();
        database.commit();
    } catch (...) {
        database.rollback();
        throw;
    }
    return summary;
}

DemoArchiveSummary DemoArchive::create(const DemoArchiveOptions &options)
{
    validate(options);
    if (options.output.isEmpty())
        throw platform::EConvertError(QStringLiteral("Indicare il file dell'archivio da creare"));
    platform::ConnectionSettings settings;
    settings.database = options.output;
    platform::DatabaseCreator::createDatabaseFile(settings);
    DemoArchiveSummary summary;
    try {
        platform::DatabaseCreator::setForcedWrites(settings, false);
        {
            platform::Database db(settings);
            db.open();
            platform::DatabaseCreator(ArchiveScripts::all()).upgrade(db);
            summary = fill(db, options);
            // Made on empty tables, the indexes would keep the figures of
            // empty tables: every import would read whole months.
            platform::DatabaseCreator::updateIndexStatistics(db);
            db.close();
        }
        platform::DatabaseCreator::setForcedWrites(settings, true);
    } catch (...) {
        // A half-made archive would be taken for a good one by whoever
        // creates it only when it is missing.
        if (!settings.isRemote())
            QFile::remove(settings.database);
        throw;
    }
    return summary;
}

} // namespace payroll
