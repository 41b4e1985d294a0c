#pragma once
// The payroll library's calculation helpers and the contract pay tables in
// force.
//
// TwunCalcola extends the foundation calculator with the payroll's rounding
// entry point, amounts for hours and minutes, the number of payments of a
// contract, the rates of a withholding row, the maintenance of a
// liquidation's pay-item rows and the absence counts. Everything is a class
// operation except ImpostaAliquote and ImpostaPeriodoDma, which a subclass
// replaces: they are called on an object of the class whose rule is wanted
// (the object holds nothing; TwunCalcola() or TwunCalcolaFond() will do).
//
// TWunCCNL holds the ids of the contract pay table (CCNL) and of the second
// contract table (CCNV) in force at a date, or of a table forced by the
// user; its one instance is WunCCNL().
//
// Amounts are platform::Currency; rates are per cent held as Currency (four
// decimals), so that they compare exactly. Rows are the current records of
// open datasets, read and written by column name.
#include "tovUCalcoli.h"

#include <QDate>
#include <QString>

class TUqQueryCollection;

namespace platform {
class DataSet;
class Value;
class Params;
class SqlQuery;
} // namespace platform

class TwunCalcola : public TTovCalcola {
public:
    using Currency = platform::Currency;

    // Pay items with a fixed meaning in the rules.
    static constexpr int COMR_RAPPORTO = 10069;               // item of a compensation
    static constexpr int COMR_RAPPORTO_COLLABORATORE = 11069; // the same for a collaborator
    static constexpr int COMR_STIPENDIO_RID = 10021;          // salary on maternity days
    static constexpr int COMR_CCNL_2_RID = 10034;             // second base item on maternity days
    // Liquidation kinds (ICOSID).
    static constexpr int COS_STIPENDIO = 10001;
    static constexpr int COS_IIS = 10002;
    static constexpr int COS_COLLABORAZIONE = 11000;
    // Relationship type of a collaborator.
    static constexpr int TNO_COLLABORATORE = 11;
    // Income-tax retention.
    static constexpr int RICE_COD_IRPEF = 7;

    TwunCalcola() = default;
    virtual ~TwunCalcola();

    // ---- rounding and amounts ----
    // The foundation's rule: half away from zero at `decimali` (0 to 4).
    static Currency Arrotonda(int decimali, Currency importo);
    // The amount of a count of minutes at an hourly amount: whole hours x
    // the amount, or, with odd minutes, minutes x amount / 60; the product
    // to the nearest 1/10,000, ties to even.
    static Currency ImportoOreMinuti(int minutiTotali, Currency importoOrario);
    // valore / divisore to two decimals, ties to even. The divisor must not
    // be 0 (a programming error).
    static Currency Centesimi(Currency valore, qint64 divisore = 1);
    // valore / divisore to `decimali` decimals (0 to 4), ties to even.
    static Currency ArrotondaPari(int decimali, Currency valore, qint64 divisore = 1);
    // valore x numeratore / denominatore at four decimals (half away from
    // zero), computed exactly. A zero denominator raises ETovCalcola with
    // `mancante`, the text that names what is missing.
    static Currency Proporzione(Currency valore, Currency numeratore, Currency denominatore, const QString &mancante);
    static Currency Proporzione(Currency valore, qint64 numeratore, qint64 denominatore, const QString &mancante);

    // IACOMDURATARAPP, at most 365.
    static int DurataRapporto(const platform::DataSet &compenso);
    // giorni (0: DurataRapporto) x IACOMNUMPAGHE / 365 to the nearest
    // integer (ties to even), at least 1. A compensation row that cannot be
    // read raises ETovCalcola "Numero di paghe non specificato".
    static int NumeroPaghe(const platform::DataSet &compenso, int giorni = 0);
    static const QString MsgNumeroPaghe; // "Numero di paghe non specificato"

    // ---- tests ----
    // Retentions other than 3 and 13 always apply; 13 (INPS part time) only
    // with part time, 3 (INPS full time) only without.
    static bool RitenutaInpsApplicabile(const platform::DataSet &ritenuta, bool partTime);
    // ICOMRID is 10021 or 10034.
    static bool VoceParticolare(const platform::DataSet &riga);
    // OrarioRidotto holds and "I" + prefisso + "ORESERVIZIO" is below
    // orePiene x 60.
    static bool OrarioSottoPieno(const platform::DataSet &riga, const QString &prefisso, int orePiene);
    // "I" + codice + "ID".
    static QString NomeChiave(const QString &codice);
    // 11069 for a collaborator's row (ITNOID 11, or without ITNOID an ICOSID
    // of 11000), otherwise 10069. A row with neither column is a programming
    // error.
    static int VoceRapporto(const platform::DataSet &riga);

    // ---- statements ----
    // QRY_ASTR_MESE (the person's monthly amounts) with IACOMID, ICOSID and
    // IMESID, opened.
    static void ApriAstrMese(platform::SqlQuery &query, int acomId, int cosId, int mesId);
    static void ApriAstrMese(TUqQueryCollection &collection, int acomId, int cosId, int mesId);
    // Filter "ICOMRID=" + voce, on.
    static void FiltraVoce(platform::DataSet &dataSet, int voce);
    // QRY_REGS_COLL_PAGATE_NO66: the collaboration payments already made
    // (column PAGATE) before the variation's month.
    static int PaghePagate(platform::SqlQuery &query, const platform::DataSet &compenso,
                           const platform::DataSet &variazione);
    // QRY_VAPE_VARD_SUM formatted with the key column of the period's owner
    // and the reduction kinds: the reduction days of the owner `id`.
    static int GiorniAssenza(platform::SqlQuery &query, const QString &campoChiave, const QString &tipi, int id);
    // QRY_CUD_ASSENZE formatted with the reduction kinds, `condizione`
    // appended: the reduction days of IACOMID from MESE_INIZIALE to
    // MESE_FINALE of the compensation row.
    static int AssenzeCud(platform::SqlQuery &query, const platform::DataSet &compenso, const QString &tipi,
                          const QString &condizione);

    // ---- days for tax purposes (TdmwunGiorniPerFisco) ----
    // The tax days of one row of the owner `alias` ("REGS" a register,
    // "VARM" a liquidation) whose id is `id`, for its commercial `giorni`
    // in month `mese` of the working year.
    static int GiorniFiscaliRiga(const QString &alias, int id, int mese, int giorni);
    // GiorniFiscaliRiga less the reduction days of kind 8 of the row (never
    // below 0).
    static int GiorniFiscaliNetti(platform::SqlQuery &query, const QString &alias, int mese, int giorni, int id);
    // The net tax days of the month's salary registers of the compensation
    // (QRY_DMA_REGS), on the query's connection.
    static int GiorniDmaMese(platform::SqlQuery &query, const platform::DataSet &compenso, int mese);
    // The tax days of the registers of IACOMID from MESE_INIZIALE to
    // MESE_FINALE of the current row of `compenso` (QRY_CUD_GIORNI, with
    // `condizione` on REGS appended to their choice) less their reduction
    // days of kind 8; within 0 and 365.
    static int GiorniCud(platform::SqlQuery &query, const platform::DataSet &compenso, const QString &condizione);
    // The reduction kind whose days are no tax days.
    static constexpr int TacoNonFiscale = 8;

    // ---- the rates of a withholding row ----
    // DREGSDMADAL and DREGSDMAAL take DVARMDMADAL and DVARMDMAAL of the
    // variation (null included).
    virtual void ImpostaPeriodoDma(const platform::DataSet &variazione, platform::Params &parametri) const;
    // Sets the rates of a withholding row (in edit) that applies for the
    // rate set `aliquote`, by its national code IRICENUBRACODE: split
    // relationships on 1, 3, 13 take the year rule's contribution rate, 2
    // the rate row of the INPDAP scale, 8-10 the IRPEF add-ons, 11 and 12
    // the compensation's maximum or average rate, 17 the performing-arts
    // rates; any other the rate row's.
    virtual void ImpostaAliquote(platform::DataSet &ritenuta, platform::DataSet &aliquote,
                                 const platform::DataSet &variazione, const platform::DataSet &compenso) const;
    // Every row: edit, ImpostaAliquote of this object's class, post.
    void ImpostaAliquoteTutte(platform::DataSet &ritenute, platform::DataSet &aliquote,
                              const platform::DataSet &variazione, const platform::DataSet &compenso) const;

protected:
    // The rate row of the compensation's INPDAP scale (IACOMSCAINPDAP, 0
    // counting as 1): that many rows on from the row the rate set stands
    // on, or the retention's first row when that one is another retention.
    static void PosizionaScalaInpdap(const platform::DataSet &ritenuta, platform::DataSet &aliquote,
                                     const platform::DataSet &compenso);
    // Employee and administration rates of the rate row, for the sides the
    // row has a contribution kind for.
    static void AliquoteDaRiga(platform::DataSet &ritenuta, const platform::DataSet &aliquote);

public:
    // ---- the pay-item rows of a liquidation ----
    // QRY_VACR_CORM_INS (an insert from the pay items, formatted with the
    // variation id), restricted by kind and ICOSID to the item groups of
    // the liquidation, for ICOTID and the working year. A negative
    // `aliquota` is a null FVACRPERCESONEROIVS; `dal` invalid: no dates.
    static void InserisciVociLiquidazione(int tipo, int varmId, Currency aliquota, const QDate &al, const QDate &dal,
                                          platform::SqlQuery &query, int cosId, int cotId);
    // QRY_VACR_COMR_UPD: the item's gross (and whole gross) of the
    // variation; the rate when above 0, else null. Answers the rows changed.
    static int AggiornaVoceLiquidazione(platform::SqlQuery &query, int varmId, int voce, Currency importo,
                                        Currency aliquota);
    // The update; when no row changed, the items are inserted and the
    // update is made again.
    static void AggiornaOInserisciVoce(platform::SqlQuery &query, const platform::DataSet &variazione,
                                       Currency aliquota, Currency importo, int tipo, int voce);
    // AggiornaOInserisciVoce of the relationship's item (rate -1, kind 4).
    static void AggiornaLordoVoceRapporto(platform::SqlQuery &query, const platform::DataSet &variazione,
                                          Currency importo);
    // In memory: the row of the item in `righe` gets the gross, the whole
    // gross and the rate (null when not above 0); a missing row is
    // inserted (InserisciVoce).
    static void ImpostaLordoVoceConPerc(platform::SqlQuery &query, const platform::DataSet &compenso, Currency aliquota,
                                        Currency importo, int voce, platform::DataSet &righe);
    // ImpostaLordoVoceConPerc of the relationship's item, rate -1.
    static void ImpostaLordoVoce(platform::SqlQuery &query, const platform::DataSet &compenso, Currency importo,
                                 platform::DataSet &righe);
    // Appends the item's row to `righe` from the pay-item master (QRY_COMR).
    static void InserisciVoce(platform::SqlQuery &query, int voce, Currency importo, Currency aliquota,
                              platform::DataSet &righe);
};

// The contract tables in force. The lookups run on the global connection.
class TWunCCNL {
public:
    // The CCNL table of a date: the forced one when set; else the one found
    // last when the date lies in the same month; else QRY_CCNL_TAB_CORRENTE
    // (0 when none). The CCNV table is then looked up for the date too.
    int TabellaCCNLAllaData(const QDate &data);
    // QRY_CCNV_TAB_CORRENTE: the CCNV table of the date (0 when none, and
    // always 0 while a CCNL table is forced).
    int TabellaCCNVAllaData(const QDate &data);
    // The same for the first day of the month (anno 0: the working year).
    int TabellaCCNLMese(int mese, int anno = 0);
    int TabellaCCNVMese(int mese, int anno = 0);
    int TabellaCCNL() const { return m_ccnl; }
    // The table forced by the user (0: the table in force at the date).
    int TabellaForzata() const { return m_forzata; }
    int TabellaCCNV() const { return m_ccnv; }
    // Forces the CCNL table (the current one with it); 0 returns to the
    // table in force at the date.
    void ImpostaTabella(int id);
    // The contract amounts of the current tables for a seniority class
    // (QRY_CCNL_COMR: IQARID, ICOMRID, FCCNLIMPORTO, ICOMRAIUTOID and the
    // class's FCCNAPERC on every row) into `importi`.
    void ImportiCorrenti(platform::SqlQuery &query, const platform::Value &anzianita, platform::DataSet &importi) const;

private:
    static QDate PrimoDelMese(int mese, int anno);

    int m_ccnv = 0;
    int m_ccnl = 0;
    int m_forzata = 0;
    int m_annoCache = 0;
    int m_meseCache = 0;
};

// The one holder of the contract tables, made at its first use and freed at
// the end of the program.
TWunCCNL &WunCCNL();
