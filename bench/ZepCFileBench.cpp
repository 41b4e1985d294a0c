// The UniEmens file generator (TZepFile::GeneraDenunceMensili) over tables
// already in memory: 10,000 employee rows under five INPS company numbers
// and 1,000 collaborators, as the file window holds them after its pages
// (the company declaration recomputed, everybody chosen), and 1,000
// public-sector persons kept in the archive with their sections; each run
// reads the declarant and the public-sector sections from an embedded
// archive, fills the document and saves it.
// Beside it, the filling alone (the document not saved) and the same bytes
// written by a bare QXmlStreamWriter loop.
//
// Then the file window's whole run over the same month kept in the archive
// (saved once by the store): a new TZepFile loads the period's tables, lists
// the persons, recomputes and saves the company declaration and writes the
// file, each page timed on its own (counters load_s, prenota_s, ricalcolo_s,
// file_s); beside it the floor of the load, the store's rows of the period
// read by the raw driver.
//
//     build/bench/bench_ZepCFileBench
#include "BareXmlWriter.h"

#include "ZepCDenunciaAziendale.h"
#include "ZepCFile.h"
#include "ZepCParametri.h"
#include "ZepULayoutNomi.h"
#include "ZepULayouts.h"
#include "ZepUUtil.h"
#include "archive/ArchiveScripts.h"
#include "archive/FiscalCode.h"
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include "DataSet.h"
#include "Database.h"
#include "DatabaseCreator.h"
#include "Field.h"

#include "RawFirebird.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

using namespace platform;

namespace {

constexpr int Dipendenti = 10000;
constexpr int Collaboratori = 1000;
constexpr int Pubblici = 1000;

// The i-th of a run of well-formed fiscal codes (up to 28,000): `testa` is
// the surname, name and birth year ("RSSMRA80"), `mese` the month letter.
QString codiceFiscale(const char *testa, const char *mese, int i)
{
    const QString primi15 =
        QString::fromLatin1(testa) + QString::fromLatin1(mese)
        + QStringLiteral("%1H%2").arg(1 + i / 1000, 2, 10, QLatin1Char('0')).arg(i % 1000, 3, 10, QLatin1Char('0'));
    return primi15 + payroll::FiscalCode::controlCharacter(primi15);
}

void imposta(DataSet &ds, const QString &campo, const Value &valore)
{
    ds.fieldByName(campo).setValue(valore);
}

// An employee of March 2024: one in four part time, one in seven hired and
// one in eleven terminated in the month, one in three with the family
// allowance, one in five with an exemption; five weeks and 31 day codes.
void dipendente(DataSet &ds, int i)
{
    ds.append();
    imposta(ds, layouts::TEMD_DIPENDENTI::CFLavoratore, codiceFiscale("RSSMRA80", "A", i));
    imposta(ds, layouts::TEMD_DIPENDENTI::Cognome, QStringLiteral("ROSSI%1").arg(i));
    imposta(ds, layouts::TEMD_DIPENDENTI::Nome, QStringLiteral("MARIO"));
    imposta(ds, layouts::TEMD_DIPENDENTI::Matricola, QStringLiteral("12345678%1").arg(i % 5, 2, 10, QLatin1Char('0')));
    imposta(ds, layouts::TEMD_DIPENDENTI::Qualifica1, QStringLiteral("1"));
    imposta(ds, layouts::TEMD_DIPENDENTI::Qualifica2, i % 4 == 0 ? QStringLiteral("P") : QStringLiteral("F"));
    imposta(ds, layouts::TEMD_DIPENDENTI::Qualifica3, QStringLiteral("D"));
    imposta(ds, layouts::TEMD_DIPENDENTI::TipoContribuzione, QStringLiteral("00"));
    imposta(ds, layouts::TEMD_DIPENDENTI::CodiceComune, QStringLiteral("H501"));
    imposta(ds, layouts::TEMD_DIPENDENTI::CodiceContratto, QStringLiteral("011"));
    imposta(ds, layouts::TEMD_DIPENDENTI::TipoLavoratore, QStringLiteral("0"));
    imposta(ds, layouts::TEMD_DIPENDENTI::TipoLavStat, QStringLiteral("NM00"));
    imposta(ds, layouts::TEMD_DIPENDENTI::Imponibile, Currency::fromInt(1500 + i % 900));
    imposta(ds, layouts::TEMD_DIPENDENTI::Contributo, Currency::fromRaw((460 + i % 270) * Currency::Scale + 3500));
    imposta(ds, layouts::TEMD_DIPENDENTI::RetribTeorica, Currency::fromInt(1600 + i % 900));
    imposta(ds, layouts::TEMD_DIPENDENTI::GiorniRetribuiti, 26);
    imposta(ds, layouts::TEMD_DIPENDENTI::GiorniContribuiti, 26);
    imposta(ds, layouts::TEMD_DIPENDENTI::OreContribuite, 160);
    imposta(ds, layouts::TEMD_DIPENDENTI::SettimaneUtili, 4);
    imposta(ds, layouts::TEMD_DIPENDENTI::Cittadinanza, QStringLiteral("000"));
    imposta(ds, layouts::TEMD_DIPENDENTI::RegimePost95, QStringLiteral("S"));
    imposta(ds, layouts::TEMD_DIPENDENTI::RispettoMinimale, QStringLiteral("S"));
    imposta(ds, layouts::TEMD_DIPENDENTI::Elimina, QStringLiteral("N"));
    imposta(ds, layouts::TEMD_DIPENDENTI::OrarioContrattuale, 2400);
    imposta(ds, layouts::TEMD_DIPENDENTI::NumMensilita, 13);
    if (i % 4 == 0)
        imposta(ds, layouts::TEMD_DIPENDENTI::PercPartTime, 5000);
    for (int w = 1; w <= 5; ++w) {
        imposta(ds, QStringLiteral("IdSettimana_%1").arg(w), 9 + w);
        imposta(ds, QStringLiteral("TipoCopertura_%1").arg(w), QStringLiteral("X"));
    }
    imposta(ds, layouts::TEMD_DIPENDENTI::GIORNI, QStringLiteral("SSNNSSSSSNNSSSSSNNSSSSSNNSSSSSN"));
    if (i % 7 == 0) {
        imposta(ds, layouts::TEMD_DIPENDENTI::GiornoAssunzione, 1 + i % 28);
        imposta(ds, layouts::TEMD_DIPENDENTI::TipoAssunzione, QStringLiteral("1A"));
    }
    if (i % 11 == 0) {
        imposta(ds, layouts::TEMD_DIPENDENTI::GiornoCessazione, 1 + i % 28);
        imposta(ds, layouts::TEMD_DIPENDENTI::TipoCessazione, QStringLiteral("1A"));
    }
    if (i % 3 == 0) {
        imposta(ds, layouts::TEMD_DIPENDENTI::TipoANF, QStringLiteral("11"));
        imposta(ds, layouts::TEMD_DIPENDENTI::NumANF, 3);
        imposta(ds, layouts::TEMD_DIPENDENTI::ClasseANF, 4);
    }
    if (i % 5 == 0) {
        imposta(ds, layouts::TEMD_DIPENDENTI::EsoneroIVSImporto, Currency::fromInt(45));
        imposta(ds, layouts::TEMD_DIPENDENTI::EsoneroIVSCodiceCausale, QStringLiteral("L025"));
        imposta(ds, layouts::TEMD_DIPENDENTI::EsoneroIVSBaseRif, Currency::fromInt(1500));
    }
    ds.post();
}

void collaboratore(DataSet &ds, int i)
{
    ds.append();
    imposta(ds, layouts::TEMC_COLLABORATORI::CFCollaboratore, codiceFiscale("VRDLGU70", "B", i));
    imposta(ds, layouts::TEMC_COLLABORATORI::Cognome, QStringLiteral("VERDI%1").arg(i));
    imposta(ds, layouts::TEMC_COLLABORATORI::Nome, QStringLiteral("LUIGI"));
    imposta(ds, layouts::TEMC_COLLABORATORI::TipoRapporto, QStringLiteral("11"));
    imposta(ds, layouts::TEMC_COLLABORATORI::CodiceAttivita, QStringLiteral("17"));
    imposta(ds, layouts::TEMC_COLLABORATORI::Imponibile, Currency::fromInt(1200 + i % 500));
    imposta(ds, layouts::TEMC_COLLABORATORI::Aliquota, 3503);
    imposta(ds, layouts::TEMC_COLLABORATORI::Dal, QDate(2024, 1, 1));
    imposta(ds, layouts::TEMC_COLLABORATORI::Al, QDate(2024, 12, 31));
    imposta(ds, layouts::TEMC_COLLABORATORI::CodiceComune, QStringLiteral("H501"));
    imposta(ds, layouts::TEMC_COLLABORATORI::Elimina, QStringLiteral("N"));
    if (i % 2 == 0) {
        imposta(ds, layouts::TEMC_COLLABORATORI::ImpAgevolazione, Currency::fromInt(300));
        imposta(ds, layouts::TEMC_COLLABORATORI::TipoAgevolazione, QStringLiteral("04"));
    }
    ds.post();
}

// The public-sector persons of the month, kept in the archive as the
// public-sector import leaves them: one E0 period each, a second for one in
// two, a paying entity for one in four, a correction (V1) with its paying
// entity for one in five, a pension fund (E1) for one in three.
void pubblici(TTovDBCds &store)
{
    DataSet d0;
    store.Load(d0, layouts::TD0_ANAG::Tabella);
    for (int i = 0; i < Pubblici; ++i) {
        d0.append();
        imposta(d0, layouts::TD0_ANAG::CF_D0001001_CODFIS, codiceFiscale("VRDPLA70", "C", i));
        imposta(d0, layouts::TD0_ANAG::AN_D0001002_COGNOME, QStringLiteral("VERDI%1").arg(i));
        imposta(d0, layouts::TD0_ANAG::AN_D0001003_NOME, QStringLiteral("PAOLA"));
        imposta(d0, layouts::TD0_ANAG::SD0ANNOFIN, QStringLiteral("2024"));
        imposta(d0, layouts::TD0_ANAG::SD0AMESE, QStringLiteral("03"));
        imposta(d0, layouts::TD0_ANAG::CB_D0001016_SATFRFONDI, QStringLiteral("1"));
        imposta(d0, layouts::TD0_ANAG::NP_D0001015_FINESER, QStringLiteral("2"));
        imposta(d0, layouts::TD0_ANAG::ISTATO, 0);
        d0.post();
    }
    store.Save(d0, layouts::TD0_ANAG::Tabella);
    DataSet e0, evE0, v1, evV1, e1;
    store.Load(e0, layouts::TE0_RETR::Tabella);
    store.Load(evE0, layouts::TEV_ENTEVERSANTEE0::Tabella);
    store.Load(v1, layouts::TV1_RETR::Tabella);
    store.Load(evV1, layouts::TEV_ENTEVERSANTEV1::Tabella);
    store.Load(e1, layouts::TE1_FONDIPENSIONE::Tabella);
    int ordine = 0;
    const auto periodo = [&](int id, int dal, int al) {
        e0.append();
        imposta(e0, layouts::TE0_RETR::IAFIID, id);
        imposta(e0, layouts::TE0_RETR::ORDINE, ++ordine);
        imposta(e0, layouts::TE0_RETR::DT_E0XXX001_DINIZIO, QDate(2024, 3, dal));
        imposta(e0, layouts::TE0_RETR::DT_E0XXX002_DFINE, QDate(2024, 3, al));
        imposta(e0, layouts::TE0_RETR::NP_E0XXX003_PENS, QStringLiteral("1"));
        imposta(e0, layouts::TE0_RETR::NP_E0XXX004_PREV, QStringLiteral("7"));
        imposta(e0, layouts::TE0_RETR::NP_E0XXX011_IMPIEGO, QStringLiteral("2"));
        imposta(e0, layouts::TE0_RETR::NP_E0XXX015_GGUTILI, al - dal + 1);
        imposta(e0, layouts::TE0_RETR::AN_E0XXX007_COMPARTO, QStringLiteral("01"));
        imposta(e0, layouts::TE0_RETR::AN_E0XXX008_SOTTOCOM, QStringLiteral("02"));
        imposta(e0, layouts::TE0_RETR::AN_E0XXX009_QUALIFICA, QStringLiteral("012345"));
        imposta(e0, layouts::TE0_RETR::VP_E0XXX032_IMPPENS, Currency::fromInt(1800 + id % 700));
        imposta(e0, layouts::TE0_RETR::VP_E0XXX033_CONPENS, Currency::fromString(QStringLiteral("435.60")));
        imposta(e0, layouts::TE0_RETR::VP_E0XXX035_IMPTFS, Currency::fromInt(1700 + id % 700));
        imposta(e0, layouts::TE0_RETR::VP_E0XXX036_CONTFS, Currency::fromString(QStringLiteral("95.20")));
        imposta(e0, layouts::TE0_RETR::VP_E0XXX043_RETRTFR, Currency::fromInt(1900));
        imposta(e0, layouts::TE0_RETR::VP_E0XXX044_UTILETFR, Currency::fromInt(1850));
        imposta(e0, layouts::TE0_RETR::NumMensilita, 13);
        imposta(e0, layouts::TE0_RETR::StipendioTabellare, Currency::fromInt(1500));
        imposta(e0, layouts::TE0_RETR::RetribIndivAnzianita, Currency::fromInt(120));
        e0.post();
    };
    const auto ente = [](DataSet &ev, int id, int ord) {
        ev.append();
        imposta(ev, layouts::TEV_ENTEVERSANTEE0::IAFIID, id);
        imposta(ev, layouts::TEV_ENTEVERSANTEE0::ORDINE, ord);
        imposta(ev, layouts::TEV_ENTEVERSANTEE0::TipoContributo, QStringLiteral("1"));
        imposta(ev, layouts::TEV_ENTEVERSANTEE0::CFAzienda, QStringLiteral("80012345678"));
        imposta(ev, layouts::TEV_ENTEVERSANTEE0::PRGAZIENDA, QStringLiteral("00001"));
        imposta(ev, layouts::TEV_ENTEVERSANTEE0::Imponibile, Currency::fromInt(100));
        imposta(ev, layouts::TEV_ENTEVERSANTEE0::Contributo, Currency::fromString(QStringLiteral("24.20")));
        ev.post();
    };
    int i = 0;
    for (d0.first(); !d0.eof(); d0.next(), ++i) {
        const int id = d0.fieldByName(layouts::TD0_ANAG::IAFIID).asInteger();
        if (i % 2 == 0) {
            periodo(id, 1, 15);
            periodo(id, 16, 31);
        } else {
            periodo(id, 1, 31);
        }
        if (i % 4 == 0)
            ente(evE0, id, ordine);
        if (i % 5 == 0) {
            v1.append();
            imposta(v1, layouts::TV1_RETR::IAFIID, id);
            imposta(v1, layouts::TV1_RETR::ORDINE, ++ordine);
            imposta(v1, layouts::TV1_RETR::NP_V1XXX000_CAUSVAR, QStringLiteral("1"));
            imposta(v1, layouts::TV1_RETR::DT_V1XXX001_DINIZIO, QDate(2023, 11, 1));
            imposta(v1, layouts::TV1_RETR::DT_V1XXX002_DFINE, QDate(2023, 11, 30));
            imposta(v1, layouts::TV1_RETR::NP_V1XXX003_PENS, QStringLiteral("1"));
            imposta(v1, layouts::TV1_RETR::VN_V1XXX032_IMPPENS, Currency::fromInt(200));
            imposta(v1, layouts::TV1_RETR::VN_V1XXX033_CONPENS, Currency::fromString(QStringLiteral("48.40")));
            imposta(v1, layouts::TV1_RETR::StipendioTabellare, Currency::fromInt(0));
            v1.post();
            ente(evV1, id, ordine);
            evV1.edit();
            imposta(evV1, layouts::TEV_ENTEVERSANTEV1::Aliquota, QStringLiteral("A"));
            imposta(evV1, layouts::TEV_ENTEVERSANTEV1::AnnoMeseErogazione, QStringLiteral("2023-11"));
            evV1.post();
        }
        if (i % 3 == 0) {
            e1.append();
            imposta(e1, layouts::TE1_FONDIPENSIONE::IAFIID, id);
            imposta(e1, layouts::TE1_FONDIPENSIONE::NP_E1XXX001_COD_FONDO, QStringLiteral("2145"));
            imposta(e1, layouts::TE1_FONDIPENSIONE::DT_E1XXX003_DSOTTOSCR, QDate(2020, 1, 10));
            imposta(e1, layouts::TE1_FONDIPENSIONE::DT_E1XXX004_DINIZIO, QDate(2024, 3, 1));
            imposta(e1, layouts::TE1_FONDIPENSIONE::DT_E1XXX005_DFINE, QDate(2024, 3, 31));
            imposta(e1, layouts::TE1_FONDIPENSIONE::PC_E1XXX006_PERC_LAVORATORE, Currency::fromInt(1));
            imposta(e1, layouts::TE1_FONDIPENSIONE::VP_E1XXX014_CONT_LAVORATORE, Currency::fromInt(18));
            e1.post();
        }
    }
    store.Save(e0, layouts::TE0_RETR::Tabella);
    store.Save(evE0, layouts::TEV_ENTEVERSANTEE0::Tabella);
    store.Save(v1, layouts::TV1_RETR::Tabella);
    store.Save(evV1, layouts::TEV_ENTEVERSANTEV1::Tabella);
    store.Save(e1, layouts::TE1_FONDIPENSIONE::Tabella);
}

// The archive (the declarant of 2024, the public-sector persons), and the
// window's tables in memory.
struct Generatore {
    std::unique_ptr<QTemporaryDir> lock;
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    TTovDBCds store;
    DataSet aziendale;
    std::unique_ptr<TZepFile> file;

    // At exit the client library's per-thread statuses are gone before a
    // static is destroyed: the connection is left to the end of the process
    // rather than closed through them; the folder still goes.
    ~Generatore() { (void)db.release(); }

    Generatore()
    {
        if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) {
            lock = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/zep-bench-lock-XXXXXX");
            qputenv("FIREBIRD_LOCK", QFile::encodeName(lock->path()));
        }
        ConnectionSettings s;
        s.database = dir.filePath(QStringLiteral("archivio.fdb"));
        db = std::make_unique<Database>(s);
        DatabaseCreator(payroll::ArchiveScripts::series(payroll::ArchiveScripts::FoundationSeries))
            .createOrUpgrade(*db);
        TTovDBCdsLayouts::InstallFolders(*db, {CartellaLayoutDenunce()});
        store.SetConnection(db.get());
        store.SetProgram(QStringLiteral("zep"));
        store.SetYear(2024);
        store.SetMonth(3);
        SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("03"));

        DataSet dichiarante;
        store.LoadPeriod(dichiarante, TZepParametri::TabellaDichiarante, 2024, 0);
        dichiarante.append();
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::CFPersonaMittente, QStringLiteral("RSSMRA60A01H501Q"));
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::CFMittente, QStringLiteral("01234567890"));
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::RagSocMittente, QStringLiteral("STUDIO PAGHE ROSSI"));
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::SedeINPS, QStringLiteral("7000"));
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::CFAzienda, QStringLiteral("01234567890"));
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::RagSocAzienda, QStringLiteral("OFFICINE RIUNITE S.R.L."));
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::CAP, QStringLiteral("00100"));
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::ISTAT, QStringLiteral("25.62.00"));
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::CodiceINPDAP, QStringLiteral("123"));
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::FormaGiuridica, QStringLiteral("2.43"));
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::CodiceComune, QStringLiteral("H501"));
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::EA_CodiceINPDAP, QStringLiteral("77"));
        imposta(dichiarante, layouts::TAMM_AMMINISTRAZIONE::EA_RagSocAzienda, QStringLiteral("COMUNE DI ROMA"));
        dichiarante.post();
        store.SavePeriod(dichiarante, TZepParametri::TabellaDichiarante, 2024, 0);
        pubblici(store);

        file = std::make_unique<TZepFile>(store, aziendale);
        file->CFSoftwarehouse = QStringLiteral("09876543210");
        file->NomeFile = dir.filePath(QStringLiteral("uniEMens2024-03.Xml"));
        // The empty tables of the period, filled in memory.
        file->CaricaTabelle();
        DataSet &dip = file->cdsDip;
        dip.disableControls();
        for (int i = 0; i < Dipendenti; ++i)
            dipendente(dip, i);
        dip.enableControls();
        DataSet &coll = file->cdsColl;
        for (int i = 0; i < Collaboratori; ++i)
            collaboratore(coll, i);
        TZepDenunciaAziendale::Ricalcola(dip, file->cdsFplsExEnpals, aziendale);
    }
};

Generatore &generatore()
{
    static Generatore g;
    return g;
}

void BM_GeneraDenunceMensili(benchmark::State &state)
{
    Generatore &g = generatore();
    for (auto _ : state)
        g.file->GeneraDenunceMensili();
    const qint64 size = QFileInfo(g.file->NomeFile).size();
    state.SetItemsProcessed(state.iterations() * (Dipendenti + Collaboratori + Pubblici));
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["file_bytes"] = double(size);
}

// The document alone, without the save: what the filling costs.
void BM_CreaDocumento(benchmark::State &state)
{
    Generatore &g = generatore();
    for (auto _ : state)
        benchmark::DoNotOptimize(g.file->CreaDocumento());
    state.SetItemsProcessed(state.iterations() * (Dipendenti + Collaboratori + Pubblici));
}

void BM_BareWriterFloor(benchmark::State &state)
{
    Generatore &g = generatore();
    g.file->GeneraDenunceMensili();
    const QByteArray generated = benchxml::readAll(g.file->NomeFile);
    const std::vector<benchxml::Event> events = benchxml::record(generated);
    const QString path = g.dir.filePath(QStringLiteral("floor.xml"));
    for (auto _ : state) {
        if (!benchxml::replay(events, path)) {
            state.SkipWithError("cannot write the file");
            break;
        }
    }
    if (benchxml::readAll(path) != generated)
        state.SkipWithError("the bare writer did not produce the same bytes");
    state.SetBytesProcessed(state.iterations() * generated.size());
    state.counters["file_bytes"] = double(generated.size());
}

// The month saved in the archive, as the import and the windows leave it.
Generatore &archiviato()
{
    static Generatore &g = []() -> Generatore & {
        Generatore &g = generatore();
        g.store.Save(g.file->cdsDip, layouts::TEMD_DIPENDENTI::Tabella);
        g.store.Save(g.file->cdsColl, layouts::TEMC_COLLABORATORI::Tabella);
        return g;
    }();
    return g;
}

void BM_FinestraIntera(benchmark::State &state)
{
    Generatore &g = archiviato();
    double carica = 0, prenota = 0, ricalcolo = 0, genera = 0;
    QElapsedTimer t;
    for (auto _ : state) {
        DataSet aziendale;
        TZepFile file(g.store, aziendale);
        file.CFSoftwarehouse = g.file->CFSoftwarehouse;
        t.start();
        file.CaricaTabelle();
        carica += t.nsecsElapsed() / 1e9;
        t.start();
        file.PreparaPrenota();
        prenota += t.nsecsElapsed() / 1e9;
        t.start();
        file.RicalcolaDenunciaAziendale();
        ricalcolo += t.nsecsElapsed() / 1e9;
        t.start();
        file.Prenotazione = false;
        file.EliminaNonSelezionati({});
        file.NomeFile = g.dir.filePath(QStringLiteral("finestra.xml"));
        file.GeneraDenunceMensili();
        genera += t.nsecsElapsed() / 1e9;
        if (file.cdsDip.recordCount() != Dipendenti || file.cdsColl.recordCount() != Collaboratori
            || file.cdsDMA.recordCount() != Pubblici) {
            state.SkipWithError("the tables read back are not the ones saved");
            break;
        }
    }
    const double n = double(state.iterations());
    state.counters["load_s"] = carica / n;
    state.counters["prenota_s"] = prenota / n;
    state.counters["ricalcolo_s"] = ricalcolo / n;
    state.counters["file_s"] = genera / n;
    state.SetItemsProcessed(state.iterations() * (Dipendenti + Collaboratori + Pubblici));
}

// The floor of the load: every stored value of the period fetched by the
// client library's own API, converted to nothing.
void BM_CaricaRawDriverFloor(benchmark::State &state)
{
    Generatore &g = archiviato();
    rawfb::Raw raw(g.db->settings().database);
    qint64 righe = 0;
    for (auto _ : state) {
        Firebird::ITransaction *t = raw.start();
        rawfb::Raw::Statement st =
            raw.prepare(t, QStringLiteral("SELECT fis.iFisRigo, fis.iAfiID, fis.sFisFieldName, fis.sFisValue, "
                                          "fis.iFisValue, fis.fFisValue, fis.dFisValue FROM tfis_datifiscali fis"));
        righe = raw.select(t, st, [](const char *row) { benchmark::DoNotOptimize(row); });
        raw.free(st);
        raw.commit(t);
    }
    state.counters["rows"] = double(righe);
}

} // namespace

BENCHMARK(BM_FinestraIntera)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaricaRawDriverFloor)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeneraDenunceMensili)->MinTime(3.0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreaDocumento)->MinTime(3.0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareWriterFloor)->MinTime(3.0)->Unit(benchmark::kMillisecond);
