#pragma once
// The private-sector import's tests: the demo archive of March 2024 with the
// declaration tables' layouts, the store of that month, the import's rules
// and parameters, a contract qualification of the tests' own (9: a month is
// 2,000.00 salary and 100.00 second base item) and persons made for each
// case (compensation, history, the month's register with its periods, items
// and INPS withholdings, and a prize liquidated apart).
#include "ZepCImpMultiSelect.h"
#include "ZepULayouts.h"
#include "ZepUUtil.h"
#include "archive/ArchiveScripts.h"
#include "DemoArchive.h"
#include "WunUUtil.h"
#include "wunMParams.h"
#include "wunUCalcoliAnno.h"

#include "DataSet.h"
#include "RecordingServices.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "tovCQueryText.h"
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include <QDate>
#include <QMap>
#include <gtest/gtest.h>

namespace importtest {

using platform::Currency;
using platform::Value;

inline Currency euro(const char *testo)
{
    return Currency::fromString(QLatin1String(testo));
}

// A row with a fresh key from its table's generator; answers the key.
inline int inserisci(platform::Database &db, const QString &tabella, const QString &chiave,
                     const QMap<QString, Value> &valori)
{
    platform::SqlQuery q(db);
    q.setSql(QStringLiteral("SELECT NEXT VALUE FOR GEN_%1 FROM RDB$DATABASE").arg(tabella));
    q.open();
    const int id = q.value(0).toInt();
    QStringList colonne{chiave};
    for (auto it = valori.cbegin(); it != valori.cend(); ++it)
        colonne << it.key();
    q.setSql(QStringLiteral("INSERT INTO %1 (%2) VALUES (:%3)")
                 .arg(tabella, colonne.join(QStringLiteral(", ")), colonne.join(QStringLiteral(", :"))));
    q.bind(chiave, id);
    for (auto it = valori.cbegin(); it != valori.cend(); ++it)
        q.bind(it.key(), it.value());
    q.execSQL();
    return id;
}

struct Periodo {
    QDate dal{2024, 3, 1}, al{2024, 3, 31}; // invalid: no date
    int giorni = 30;
    int servizio = 2400; // minutes a week of 40 contract hours
    bool partTime = false;
};

// A withholding row: INPS retention, taxable, employee and employer share.
struct Ritenuta {
    int ricerca = 3;
    Currency imponibile, dipendente, amministrazione;
};

// 9.19 and 23.81 per cent of the amount, to the cent.
inline Ritenuta inps(int ricerca, const char *imponibile)
{
    const Currency i = euro(imponibile);
    return {ricerca, i, i.percent(euro("9.19")).rounded(2), i.percent(euro("23.81")).rounded(2)};
}

struct Persona {
    QString cognome, codiceFiscale;
    QDate inizio{2015, 1, 1}, fine;
    int servizioStorico = 2400;
    int regimePost95 = 1;
    QDate registroDal{2024, 3, 1};
    QList<Periodo> periodi{Periodo{}};
    QList<Ritenuta> stipendio, iis; // items 10001 and 10002
    Currency storico10001;          // the history's monthly salary
    Ritenuta premio;                // prize of kind 3, when its taxable is not 0
};

// A person with the salary withholdings given and the defaults above.
inline Persona persona(const QString &cognome, const QString &codice, QList<Ritenuta> stipendio)
{
    Persona p;
    p.cognome = cognome;
    p.codiceFiscale = codice;
    p.stipendio = stipendio;
    return p;
}

// Writes the person (named Cognome "Prova"); answers its compensation id.
inline int scriviPersona(platform::Database &db, const Persona &p)
{
    const int ana = inserisci(db, "TANA_ANAGRAFICHE", "IANAID",
                              {{"SANACOGNOME", p.cognome}, {"SANANOME", "Prova"}, {"SANACODFISCALE", p.codiceFiscale}});
    db.execute(QStringLiteral("INSERT INTO TANACITT (IANACITTID, IANAID, ISTAID) SELECT NEXT VALUE FOR GEN_TANACITT, "
                              "%1, ISTAID FROM TSTA_STATI WHERE SSTAISTAT = '235'")
                   .arg(ana));
    const int cag = inserisci(db, "TANACAG_MATRICOLE", "IANACAGID", {{"IANAID", ana}, {"IDWGID", 1}});
    const int per = inserisci(db, "TANAPER_POSIZIONI", "IANAPERID", {{"IANACAGID", cag}, {"ICALID", 1}});
    const int acom = inserisci(db, "TACOM_COMPENSI", "IACOMID",
                               {{"IANAPERID", per},
                                {"IANFID", 55},
                                {"ITNOID", 1},
                                {"IQARID", 9},
                                {"IDCTID", 1},
                                {"DACOMINIRAPP", p.inizio},
                                {"DACOMFINERAPP", p.fine},
                                {"IACOMOREPREVISTE", 40},
                                {"IACOMREGIMEPOST95", p.regimePost95}});
    const int asti =
        inserisci(db, "TASTI_STORICO", "IASTIID",
                  {{"IACOMID", acom}, {"IMESID", 3}, {"IQARID", 9}, {"IASTIORESERVIZIO", p.servizioStorico}});
    inserisci(db, "TASTR_STORICOIMPORTI", "IASTRID",
              {{"IASTIID", asti}, {"ICOMRID", 10001}, {"FASTRIMPORTO", p.storico10001}});
    auto registro = [&](int cot) {
        return inserisci(db, "TREGS_REGISTROSTIP", "IREGSID",
                         {{"IACOMID", acom},
                          {"IANFID", 55},
                          {"IMESID", 3},
                          {"ICOTID", cot},
                          {"IDWGID", 1},
                          {"ITNOID", 1},
                          {"DREGSDAL", p.registroDal},
                          {"DREGSAL", QDate(2024, 3, 31)},
                          {"LREGSCALCOLATA", 1}});
    };
    auto ritenuta = [&](const QString &padre, int id, int voce, const Ritenuta &r) {
        inserisci(db, "TVARR_VARRITENUTE", "IVARRID",
                  {{padre, id},
                   {"ICOMRID", voce},
                   {"IRICEID", r.ricerca},
                   {"FVARRIMPONIBILEAMM", r.imponibile},
                   {"FVARRPERCIMPAMM", euro("100")},
                   {"FVARRRITDIP", r.dipendente},
                   {"FVARRRITAMM", r.amministrazione}});
    };
    const int regs = registro(1);
    for (const Periodo &v : p.periodi)
        inserisci(db, "TVAPE_PERIODI", "IVAPEID",
                  {{"IREGSID", regs},
                   {"IQARID", 9},
                   {"DVAPEDAL", v.dal},
                   {"DVAPEAL", v.al},
                   {"IVAPEGIORNI", v.giorni},
                   {"IVAPEORESERVIZIO", v.servizio},
                   {"IVAPEOREPREVISTE", 40},
                   {"LVAPEPARTTIME", v.partTime ? 1 : 0}});
    for (const auto &[voce, righe] : {std::pair{10001, p.stipendio}, std::pair{10002, p.iis}}) {
        Currency lordo;
        for (const Ritenuta &r : righe)
            lordo += r.imponibile;
        inserisci(db, "TVACR_VARCOMPRIGHE", "IVACRID",
                  {{"IREGSID", regs}, {"ICOMRID", voce}, {"FVACRLORDO", lordo}, {"FVACRLORDOINTERO", lordo}});
        for (const Ritenuta &r : righe)
            ritenuta("IREGSID", regs, voce, r);
    }
    if (!p.premio.imponibile.isZero()) {
        registro(2);
        ritenuta("IVARMID",
                 inserisci(db, "TVARM_VARIAZIONI", "IVARMID",
                           {{"IACOMID", acom}, {"IANFID", 55}, {"IMESID", 3}, {"ICOTID", 2}, {"IVARMRIRPID", 3}}),
                 10070, p.premio);
    }
    return acom;
}

class ImportTest : public ::testing::Test {
protected:
    static TempDatabase::Template Demo(int persone, int anno, int mese)
    {
        return {payroll::ArchiveScripts::all(), QStringLiteral("ImportTest %1 %2-%3").arg(persone).arg(anno).arg(mese),
                [=](platform::Database &db) {
                    payroll::DemoArchiveOptions o;
                    o.persons = persone;
                    o.fromYear = o.toYear = anno;
                    o.fromMonth = o.toMonth = mese;
                    payroll::DemoArchive::fill(db, o);
                }};
    }
    // The demo's month (March 2024 unless given) with `persone` persons.
    explicit ImportTest(int persone = payroll::DemoArchive::MinPersons, int anno = 2024, int mese = 3)
        : tdb(Demo(persone, anno, mese))
    {
        platform::Database::setGlobal(&tdb.db());
        TTovDBCdsLayouts::InstallFolders(tdb.db(), {CartellaLayoutDenunce()});
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        tdb.db().execute("INSERT INTO TQAR_QUALIFICHE (IQARID, IQARNUBRACODE, SQARSDESC) VALUES (9, 9, 'PROVA')");
        tdb.db().execute("INSERT INTO TCCNL_IMPORTI (ICCNLID, ICCNTID, IQARID, ICOMRID, FCCNLIMPORTO) "
                         "SELECT NEXT VALUE FOR GEN_TCCNL_IMPORTI, CCNT.ICCNTID, 9, V.ICOMRID, V.IMPORTO "
                         "FROM TCCNT_TABELLECCNL CCNT CROSS JOIN (SELECT 10001 AS ICOMRID, 24000 AS IMPORTO "
                         "FROM RDB$DATABASE UNION ALL SELECT 10002, 1200 FROM RDB$DATABASE) V "
                         "WHERE CCNT.DCCNTDAL = '2024-01-01'");
        store.SetConnection(&tdb.db());
        store.SetProgram(QStringLiteral("zep"));
        store.SetYear(anno);
        store.SetMonth(mese);
        SetPeriodoDenuncia(QString::number(anno), QStringLiteral("%1").arg(mese, 2, 10, QLatin1Char('0')));
        wunAnnoFinanziario().LoadYear(QString::number(anno));
        TWunCalcolaAnno::CreaPerAnno(anno);
        params.DataModuleCreate();
        params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);

        parametri.setFieldDefs({{"IMESID", platform::FieldType::Integer},
                                {"ICOTFONDAMENTALE", platform::FieldType::Integer},
                                {"SOSTITUTO", platform::FieldType::Boolean},
                                {"GIORNIINPS", platform::FieldType::Boolean},
                                {"MatricolaINPS", platform::FieldType::String, 10},
                                {"MatricolaINPSAcc", platform::FieldType::String, 10},
                                {"ComuneLavoro", platform::FieldType::String, 4},
                                {"PT_COME_INTERO", platform::FieldType::Boolean},
                                {"TipoContribuzione", platform::FieldType::String, 31},
                                {"VarRetributive", platform::FieldType::Boolean}});
        parametri.createDataSet();
        parametri.appendRecord(
            {mese, Value::null(), false, false, "1234567890", "1234567890", "A944", false, "00", false});
        imp.Imposta(&parametri, nullptr, {});
        imp.Sovrascrittura = TwunFiscImpMultiSelect::SovrascriviSempre;
    }
    ~ImportTest() override
    {
        TWunCalcolaAnno::Rilascia();
        SetPeriodoDenuncia(m_anno, m_mese);
        platform::Database::setGlobal(nullptr);
    }

    void parametro(const QString &nome, const Value &valore)
    {
        parametri.edit();
        parametri.fieldByName(nome).setValue(valore);
        parametri.post();
    }

    // Imports the persons of these compensations, in this order.
    TwunFiscImpMultiSelect::Esito importa(const QList<int> &compensi)
    {
        EXPECT_TRUE(imp.Prepara());
        QList<platform::Bookmark> scelti;
        for (int acom : compensi) {
            EXPECT_TRUE(imp.xqcMultiSelect.locate(QStringLiteral("IACOMID"), Value(acom))) << acom;
            scelti << imp.xqcMultiSelect.bookmark();
        }
        return imp.Importa(scelti);
    }

    // The stored rows of the table whose field holds the value, in order.
    using Riga = QMap<QString, Value>;
    QList<Riga> righe(const QString &tabella, const QString &campo, const QString &valore)
    {
        platform::DataSet ds;
        store.Load(ds, tabella);
        QList<Riga> out;
        for (ds.first(); !ds.eof(); ds.next()) {
            if (ds.fieldByName(campo).asString() != valore)
                continue;
            Riga r;
            for (const auto &f : ds.fields())
                r.insert(f->fieldName(), f->value());
            out << r;
        }
        return out;
    }
    QList<Riga> dipendente(const QString &codiceFiscale)
    {
        return righe(TZepImpMultiSelect::TabellaDipendenti, QStringLiteral("CFLavoratore"), codiceFiscale);
    }

    QString m_anno = AnnoDenuncia, m_mese = MeseDenuncia;
    RecordingServicesScope services;
    TempDatabase tdb;
    TTovDBCds store;
    TdmWunParams params;
    platform::DataSet parametri;
    TZepImpMultiSelect imp{store, &tdb.db()};
};

} // namespace importtest
