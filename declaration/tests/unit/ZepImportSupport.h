#pragma once
// The private-sector import's tests on a real embedded archive: the demo
// archive of March 2024 with the declaration tables' layouts, a contract
// qualification of the tests' own (9, yearly 24,000.00 salary and 1,200.00
// second base item, so a month is 2,000.00 + 100.00) and persons made for
// each case: their compensation, contract history, the month's register with
// its periods, items and INPS withholding rows, and an accessory prize
// liquidated apart.
#include "ZepCImpMultiSelect.h"
#include "ZepULayouts.h"
#include "ZepUUtil.h"
#include "archive/ArchiveScripts.h"
#include "archive/DemoArchive.h"
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

inline Currency euro(const char *testo) { return Currency::fromString(QLatin1String(testo)); }

constexpr int Anno = 2024;
constexpr int Mese = 3;
constexpr int AnnoId = Anno - 1969;
constexpr int QualificaProva = 9;

// A row into a table with a fresh key from its generator; answers the key.
inline int inserisci(platform::Database &db, const QString &tabella, const QString &chiave,
                     const QMap<QString, Value> &valori)
{
    platform::SqlQuery id(db);
    id.setSql(QStringLiteral("SELECT NEXT VALUE FOR GEN_%1 FROM RDB$DATABASE").arg(tabella));
    id.open();
    const int nuovo = id.value(0).toInt();
    QStringList colonne{chiave}, segnaposti{QStringLiteral(":") + chiave};
    for (auto it = valori.cbegin(); it != valori.cend(); ++it) {
        colonne << it.key();
        segnaposti << QStringLiteral(":") + it.key();
    }
    platform::SqlQuery q(db);
    q.setSql(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                 .arg(tabella, colonne.join(QStringLiteral(", ")), segnaposti.join(QStringLiteral(", "))));
    q.bind(chiave, nuovo);
    for (auto it = valori.cbegin(); it != valori.cend(); ++it)
        q.bind(it.key(), it.value());
    q.execSQL();
    return nuovo;
}

struct Periodo {
    QDate dal, al;  // invalid: the period has no date
    int giorni = 30;
    int servizio = 2400;  // minutes a week
    int previste = 40;    // contract hours a week
    bool partTime = false;
};

// A withholding row of an item: the INPS retention, the taxable and the
// two withholdings.
struct Ritenuta {
    int ricerca = 3;
    Currency imponibile, dipendente, amministrazione;
};

struct Persona {
    QString cognome, nome, codiceFiscale;
    int tno = 1;
    QDate inizio{2015, 1, 1}, fine;
    int oreContratto = 40;
    int servizioStorico = 2400;
    int regimePost95 = 1;
    QDate registroDal{2024, 3, 1}, registroAl{2024, 3, 31};
    QList<Periodo> periodi{Periodo{{2024, 3, 1}, {2024, 3, 31}}};
    QList<Ritenuta> stipendio;  // item 10001
    QList<Ritenuta> iis;        // item 10002
    Currency storico10001;      // the history's monthly salary
    Ritenuta premio;            // accessory prize of kind 3 (none when its taxable is 0)
};

// The usual withholdings of an employee on an amount: 9.19 and 23.81 per
// cent (rounded to cents), on retention 3 or 13.
inline Ritenuta inps(int ricerca, const char *imponibile)
{
    const Currency i = euro(imponibile);
    return {ricerca, i, i.percent(euro("9.19")).rounded(2), i.percent(euro("23.81")).rounded(2)};
}

// Writes the person; answers its compensation id.
inline int scriviPersona(platform::Database &db, const Persona &p)
{
    const int ana = inserisci(db, "TANA_ANAGRAFICHE", "IANAID",
                              {{"SANACOGNOME", p.cognome}, {"SANANOME", p.nome},
                               {"SANACODFISCALE", p.codiceFiscale.isEmpty() ? Value::null() : Value(p.codiceFiscale)}});
    platform::SqlQuery stato(db);
    stato.setSql("SELECT ISTAID FROM TSTA_STATI WHERE SSTAISTAT = '235'");
    stato.open();
    inserisci(db, "TANACITT", "IANACITTID", {{"IANAID", ana}, {"ISTAID", stato.value(0)}});
    const int cag = inserisci(db, "TANACAG_MATRICOLE", "IANACAGID",
                              {{"IANAID", ana}, {"IDWGID", 1}, {"SANACAGCODE", QString::number(ana)}});
    const int per = inserisci(db, "TANAPER_POSIZIONI", "IANAPERID", {{"IANACAGID", cag}, {"ICALID", 1}, {"ISTABID", 1}});
    const int acom = inserisci(db, "TACOM_COMPENSI", "IACOMID",
                               {{"IANAPERID", per}, {"IANFID", AnnoId}, {"ITNOID", p.tno}, {"IQARID", QualificaProva},
                                {"ICOSID", 10001}, {"IDCTID", 1}, {"DACOMINIRAPP", p.inizio}, {"DACOMFINERAPP", p.fine},
                                {"IACOMOREPREVISTE", p.oreContratto}, {"IACOMREGIMEPOST95", p.regimePost95}});
    const int asti = inserisci(db, "TASTI_STORICO", "IASTIID",
                               {{"IACOMID", acom}, {"IMESID", Mese}, {"IQARID", QualificaProva},
                                {"IASTIORESERVIZIO", p.servizioStorico}, {"LASTIPARTTIME", p.servizioStorico < 2400}});
    inserisci(db, "TASTR_STORICOIMPORTI", "IASTRID", {{"IASTIID", asti}, {"ICOMRID", 10001}, {"FASTRIMPORTO", p.storico10001}});

    auto registro = [&](int cot) {
        return inserisci(db, "TREGS_REGISTROSTIP", "IREGSID",
                         {{"IACOMID", acom}, {"IANFID", AnnoId}, {"IMESID", Mese}, {"ICOTID", cot}, {"IDWGID", 1},
                          {"ITNOID", p.tno}, {"IQARID", QualificaProva}, {"ICOSID", 10001},
                          {"DREGSDAL", p.registroDal}, {"DREGSAL", p.registroAl}, {"LREGSCALCOLATA", 1}});
    };
    auto ritenuta = [&](const QString &owner, int id, int voce, const Ritenuta &r) {
        inserisci(db, "TVARR_VARRITENUTE", "IVARRID",
                  {{owner, id}, {"ICOMRID", voce}, {"IRICEID", r.ricerca}, {"FVARRIMPONIBILE", r.imponibile},
                   {"FVARRIMPONIBILEAMM", r.imponibile}, {"FVARRPERCIMPAMM", euro("100")},
                   {"FVARRRITDIP", r.dipendente}, {"FVARRRITAMM", r.amministrazione}});
    };
    const int regs = registro(1);
    for (const Periodo &v : p.periodi)
        inserisci(db, "TVAPE_PERIODI", "IVAPEID",
                  {{"IREGSID", regs}, {"IQARID", QualificaProva}, {"DVAPEDAL", v.dal}, {"DVAPEAL", v.al},
                   {"IVAPEGIORNI", v.giorni}, {"IVAPEORESERVIZIO", v.servizio}, {"IVAPEOREPREVISTE", v.previste},
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
        const int varm = inserisci(db, "TVARM_VARIAZIONI", "IVARMID",
                                   {{"IACOMID", acom}, {"IANFID", AnnoId}, {"IMESID", Mese}, {"ICOTID", 2},
                                    {"ICOSID", 10001}, {"IVARMRIRPID", 3}});
        ritenuta("IVARMID", varm, 10070, p.premio);
    }
    return acom;
}

// The archive, the store of March 2024 and the import's rules with their
// parameters; the tests add their persons and run the import of a few.
class ImportTest : public ::testing::Test {
protected:
    ImportTest()
        : tdb(TempDatabase::Scripts{payroll::ArchiveScripts::all()})
    {
        payroll::DemoArchiveOptions o;
        o.persons = payroll::DemoArchive::MinPersons;
        o.fromYear = o.toYear = Anno;
        o.fromMonth = o.toMonth = Mese;
        payroll::DemoArchive::fill(tdb.db(), o);
        platform::Database::setGlobal(&tdb.db());
        TTovDBCdsLayouts::InstallFolders(tdb.db(), {CartellaLayoutDenunce()});
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        tdb.db().execute(QStringLiteral("INSERT INTO TQAR_QUALIFICHE (IQARID, IQARNUBRACODE, SQARSDESC) "
                                        "VALUES (%1, %1, 'PROVA')").arg(QualificaProva));
        for (const auto &[voce, importo] : {std::pair{10001, 24000}, std::pair{10002, 1200}})
            tdb.db().execute(QStringLiteral("INSERT INTO TCCNL_IMPORTI (ICCNLID, ICCNTID, IQARID, ICOMRID, FCCNLIMPORTO) "
                                            "SELECT NEXT VALUE FOR GEN_TCCNL_IMPORTI, CCNT.ICCNTID, %1, %2, %3 "
                                            "FROM TCCNT_TABELLECCNL CCNT WHERE CCNT.DCCNTDAL = '2024-01-01'")
                                 .arg(QualificaProva)
                                 .arg(voce)
                                 .arg(importo));
        store.SetConnection(&tdb.db());
        store.SetProgram(QStringLiteral("zep"));
        store.SetYear(Anno);
        store.SetMonth(Mese);
        m_anno = AnnoDenuncia;
        m_mese = MeseDenuncia;
        SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("03"));
        wunAnnoFinanziario().LoadYear(QStringLiteral("2024"));
        TWunCalcolaAnno::CreaPerAnno(Anno);
        params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);

        parametri.setFieldDefs({{"IMESID", platform::FieldType::Integer},
                                {"SOSTITUTO", platform::FieldType::Boolean},
                                {"GIORNIINPS", platform::FieldType::Boolean},
                                {"MatricolaINPS", platform::FieldType::String, 10},
                                {"MatricolaINPSAcc", platform::FieldType::String, 10},
                                {"ComuneLavoro", platform::FieldType::String, 4},
                                {"PT_COME_INTERO", platform::FieldType::Boolean},
                                {"TipoContribuzione", platform::FieldType::String, 31}});
        parametri.createDataSet();
        parametri.appendRecord({Mese, false, false, "1234567890", "1234567890", "A944", false, "00"});
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

    using Riga = QMap<QString, Value>;
    // The stored rows of a table for the period whose field `campo` holds
    // `valore`, in their order.
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

    RecordingServicesScope services;
    TempDatabase tdb;
    TTovDBCds store;
    TdmWunParams params;
    platform::DataSet parametri;
    TZepImpMultiSelect imp{store, &tdb.db()};

private:
    QString m_anno;
    QString m_mese;
};

} // namespace importtest
