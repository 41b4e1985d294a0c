#pragma once
// The payroll library's small shared services: TWunUtil (named-statement
// wrappers, a few lookups, the program's etc and usr folders), the project
// of the working year (TWunProgetto), the working financial year
// (TwunAnnoFinanziario) and the settings of the current liquidation kept per
// financial year in "WunPar.ini" (TWunParametri).
//
// The library's four singletons live in one holder made at the first use of
// any of them, in this order: wunAnnoFinanziario(), wunAnnoScolastico(),
// WunProgetto(), WunParametri(); they are freed at the end of the program
// and never replaced.
#include "tovUUtil.h"
#include "Value.h"

#include <QSet>
#include <QString>

class TUqQueryCollection;
class TdmWunParams;

namespace platform {
class DataSet;
class SqlQuery;
} // namespace platform

class TWunUtil : public TTovUtil {
public:
    // QRY_NAF_EFFETTUATO for the year id: true when its TOTALE is above 0.
    // The query is closed afterwards.
    static bool AggiornamentoEffettuato(platform::SqlQuery &query, int annoId);
    // CompensoDaAnagrafica with the id of a calendar year (2024 -> 55).
    static int CompensoDaAnagraficaAnno(platform::SqlQuery &query, int anagraficaId, int anno);
    // QRY_ACOM_FROM_ANAPER (IANAPERID, IANFID): the person's compensation id
    // IACOMID of the year, 0 when there is none. The query is closed
    // afterwards.
    static int CompensoDaAnagrafica(platform::SqlQuery &query, int anagraficaId, int annoId);
    // The collection's command text becomes Format(text, arguments) and its
    // parameters are rebuilt from it (the arguments are program-made
    // fragments: see TTovQueryText::FormatSQL).
    static void FormattaQuery(platform::DataSet &collection, const platform::ValueList &args);
    // The text of a named statement (an assertion when the catalogue lacks it).
    static QString TestoQuery(const QString &name, const QString &kind);
    // SELECT, INSERT, UPDATE and DELETE texts of a named statement.
    static void CaricaQueryCollection(const QString &name, TUqQueryCollection &collection);
    // The employer group: parameter "UQUP_DwgId" of the parameter manager of
    // dmWunParams (of the main window when no parameters module exists).
    // EConvertError when it is not set.
    static int DwgIdCorrente();
    // Gives the query the named statement's text (kind "EXECUTE" when none
    // is given); the query is not opened.
    static void ApriQuery(const QString &name, platform::SqlQuery &query, int index = 0,
                          const QString &kind = QStringLiteral("EXECUTE"));
    // Gives the dataset the named statement as command text.
    static void CaricaQuery(const QString &name, platform::DataSet &dataSet, const QString &kind);
    // Closes, sets the integer parameter and reopens the collection, unless
    // not forced and the collection already stands on that value.
    static void AggiornaSePerParametro(TUqQueryCollection &collection, const QString &name, int value, bool force);
    // Every collection fetches all its rows at once (PacketRecords -1).
    static void TuttiIRecord(const QList<TUqQueryCollection *> &collections);
    // The decimal text of the integer the text holds ("007" -> "7", " 12 "
    // -> "12", "-3" -> "-3"); the empty text when it holds no 32-bit
    // integer.
    static QString NormalizzaNumero(const QString &text);

    // "..\etc\wun\" and "..\usr\wun\" from the program's folder, as full
    // paths ending in "/". Each folder of the path that exists is found
    // whatever the case of its letters ("usr" or "USR").
    static QString CartellaEtc();
    static QString CartellaUsr();
    // The program's folder the two above start from: the running program's
    // own folder unless set (tests put the program in a folder of theirs).
    static QString CartellaProgramma();
    static void SetCartellaProgramma(const QString &folder);
    // The path with every part that exists on disk spelled as it stands
    // there, whatever the case of the letters given; parts from the first
    // that does not exist on are kept as given. "\" is read as "/".
    static QString CercaPercorso(const QString &path);

    // QRY_MES: the month's name (SMESLDESC), empty when the month has none.
    static QString DescrizioneMese(int meseId, platform::SqlQuery &query);
    // Opens QRY_COT_COS for the liquidation id (columns SCOTLDESC,
    // ICOTFONDAMENTALE); the query stays open on its row (eof() when the id
    // is unknown).
    static void ApriCompenso(int compensoId, platform::SqlQuery &query);
    // For every row whose SANACAGCODE holds an integer above 0, CODICE
    // becomes that integer (edit and post per row). The dataset is indexed
    // on IACOMID when it has that field, else on IANAID, and keeps that index.
    static void CodiceDaCodiceAnagrafico(platform::DataSet &dataSet);
};

// The project of the working financial year: IDWGANFID of its company
// parameters (0 or less: none).
class TWunProgetto {
public:
    void SetId(int id) { m_id = id; }
    int Id() const { return m_id; }
    // The condition on the pay registers that restricts them to the
    // project: with a project, QRY_VPRO_CONTA of the kind formatted with its
    // id; without, QRY_VPRO_COMP formatted with the working year's end and
    // start dates ("mm/dd/yyyy", end first).
    void Filtro(const QString &kind, QString &text) const;
    QString FiltroEsegui() const;

private:
    int m_id = 0;
};

// The working financial year. Its load binds the parameters module
// dmWunParams first when none is bound, so the default id comes from the
// program's parameters.
class TwunAnnoFinanziario : public TtovAnnoFinanziario {
public:
    void Load(int id = 0) override;
};

// A parameters module that goes away unbinds itself from the library's
// year records (they outlive it).
void wunScollegaParametri(const ITovParams *params);

// The settings of the current liquidation, one section per financial year
// in "WunPar.ini": "LIQ_CORRENTE" + the working year ("LIQ_CORRENTE2024")
// with the integer keys "GRUPPO", "ID" and "MESE". Sections and keys are
// found whatever the case of their letters; what else the file holds
// (other sections, keys, comments, the spelling of names) is kept when a
// value is written. The file is read at every call: a change made by one
// window is seen at once by the others. Reads never fail (a missing file,
// section, key or a value that is not a number gives 0).
class TWunParametri {
public:
    static const QString NomeFile; // "WunPar.ini"

    // The file in `cartella` (TWunUtil::CartellaUsr() when empty), the
    // sections by the year of `anno` (wunAnnoFinanziario() when null). A
    // missing folder is created with its parents.
    explicit TWunParametri(const QString &cartella = {}, const TtovAnnoFinanziario *anno = nullptr);

    const QString &FileName() const { return m_fileName; }
    // "LIQ_CORRENTE" + the working year; empty while no year is loaded.
    QString Sezione() const;

    int Gruppo() const;
    int Id() const;
    int Mese() const;
    // Write the key of the working year's section (the file is created by
    // the first write). EUqError naming the file when it cannot be written;
    // an assertion when no working year is loaded.
    void SetGruppo(int value);
    void SetId(int value);
    void SetMese(int value);

    // ICOTFONDAMENTALE of the current liquidation (set by
    // DescrizioneLiquidazione).
    int Fondamentale = 0;

    // The caption of the current liquidation, or the empty text when there
    // is none: no liquidation or a month outside 1-12 in the file, an
    // unknown liquidation, a kind above 7 or not in `tipiAmmessi`, or (with
    // `gruppoRichiesto`) no pay register of the group in that month of the
    // working year.
    QString DescrizioneLiquidazione(platform::SqlQuery &query, bool gruppoRichiesto, const QSet<int> &tipiAmmessi);

private:
    int readKey(const QString &key) const;
    void writeKey(const QString &key, int value);
    const TtovAnnoFinanziario &anno() const;

    QString m_fileName;
    const TtovAnnoFinanziario *m_anno;
};

// The library's singletons (see above).
TwunAnnoFinanziario &wunAnnoFinanziario();
TtovAnnoScolastico &wunAnnoScolastico();
TWunProgetto &WunProgetto();
TWunParametri &WunParametri();
