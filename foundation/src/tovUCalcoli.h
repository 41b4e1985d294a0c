#pragma once
// The base calculator of withholding and contribution rows, the system's
// one rounding rule for amounts, the per-year rule object of the foundation
// (2023/2024 IVS contribution exemptions, contract amount adjustment) and
// the performing-arts fund (former ENPALS) calculator.
//
// Rows are the current records of open datasets, read and written by
// column name; a missing column raises the dataset's "Campo 'X' non
// trovato". Amounts are platform::Currency and every computation on them is
// exact on the scaled integer:
// - rounding to cents or units is Arrotonda: half away from zero on the
//   exact four-decimal value (0.445 -> 0.45, -0.445 -> -0.45);
// - every product, quotient and percentage is first taken to the nearest
//   1/10,000 with the same rule (a tie at the fifth decimal goes away from
//   zero), never through a binary double;
// - a rate given as a double stands for the short decimal it was written
//   as (9.89 is 989/100, not the nearest binary fraction).
#include "Currency.h"
#include "tovUExceptions.h"

#include <QString>
#include <memory>

namespace platform {
class DataSet;
class Database;
class SqlQuery;
} // namespace platform

class TTovCalcola {
public:
    using Currency = platform::Currency;

    // Retention ids (IRICEID) with a fixed meaning in the rules.
    static constexpr int RICE_COD_INPDAP = 2;
    static constexpr int RICE_COD_INPS_OI = 3;  // INPS full time
    static constexpr int RICE_COD_INPS_PT = 13; // INPS part time
    static constexpr int RICE_COD_ENPALS = 17;  // performing-arts fund
    static constexpr int RICE_COD_NON_APPLICABILE = 18;

    // Relationship types (ITNOID).
    static constexpr int TNO_10 = 10;
    static constexpr int TNO_COCOCO = 11;
    static constexpr int TNO_14 = 14;
    static constexpr int TNO_15 = 15;

    // Contract pay components.
    static constexpr int COMR_STIPENDIO = 10001;
    static constexpr int COMR_CCNL_2 = 10002;
    static constexpr int COMR_IVC = 10071;

    // ---- rounding and percentages ----
    // Value rounded to `decimals` (0 to 4) half away from zero; 4 returns the
    // value unchanged. Other decimals raise EConvertError.
    static Currency Arrotonda(int decimals, Currency value);
    // value x percent / 100 at four decimals; exactly the value when percent
    // is 100.
    static Currency Percentuale(Currency value, double percent);
    static Currency Percentuale(Currency value, Currency percent);
    static Currency PercentualeArrotondata(int decimals, Currency value, double percent);
    static Currency PercentualeArrotondata(int decimals, Currency value, Currency percent);
    // a - b, or 0 when that is negative.
    static Currency DifferenzaPositiva(Currency a, Currency b);
    // The value rounded towards plus infinity to a multiple of 10^digit
    // (digit 0: whole units), as an integer. Digits below 0 or above 18 are
    // a programming error.
    static qint64 ArrotondaPerEccesso(int digit, Currency value);

    // ---- relationship-type sets ----
    static bool TnoNonStipendio(int tnoId);                          // 10, 11, 14, 15
    static bool TnoNonScomputabile(int tnoId);                       // 10, 14, 15
    static bool IdTnoRipartita(int tnoId);                           // 11, 15
    static bool TnoRipartita(const platform::DataSet &compensation); // by its ITNOID
    // "11,15" and "11,10,14,15", for SQL IN lists.
    static QString TnoRipartiteSql();
    static QString TnoNonStipendioSql();

    // ---- withholding rows ----
    // False for IRICEID 18; true when ITVCOCODDIP is 3 or the row has a
    // pension fund; otherwise whether `rates` holds the row's IRICEID (for
    // 13, INPS part time, also 3): the rate set is left on the row found.
    static bool RitenutaApplicabile(const platform::DataSet &row, platform::DataSet &rates);
    // ITVCOCODDIP is 2 or ITVCOCODAMM is 6.
    static bool TvcoSpeciale(const platform::DataSet &row);
    // IFPCID is not null.
    static bool HaFondoPensione(const platform::DataSet &row);
    // The service minutes ("ORARIO_EFF" when the row has it, else
    // "I" + prefix + "ORESERVIZIO") differ from fullHours x 60 and the chair
    // flag "L" + prefix + "CATTEDRA" (absent: not set) is not 1.
    static bool OrarioRidotto(const platform::DataSet &row, const QString &prefix, int fullHours);
    // As OrarioRidotto; for aid codes 3 and 4 minutes of at least
    // fullHours x 60 are not reduced.
    static bool OrarioRidottoAsti(const platform::DataSet &row, const QString &prefix, int fullHours, int aidCode);
    // For rows with an employee contribution kind (ITVCOIDDIP not 0) of
    // classification 8, 9 or 10: the municipal, provincial or regional IRPEF
    // add-on rate of the compensation becomes the employee rate and the
    // administration rate is 0. The row must be in edit.
    static void AliquotaAddizionale(platform::DataSet &row, const platform::DataSet &compensation);
    // Computes a withholding row (already in edit) from its taxable amounts
    // and rates; split relationships (11, 15) on retentions 3 and 4 go
    // through RipartisciRitenuta; retention 17 is then handed to the
    // installed performing-arts calculator, if any. With reduceCredit the
    // employee withholding reduces `credit` (not below 0) unless the
    // relationship is in TnoNonScomputabile.
    static void CalcolaRitenuta(platform::DataSet &row, const platform::DataSet &compensation, Currency &credit,
                                bool reduceCredit, Currency taxable);
    // One third of the withholding to the employee, two thirds to the
    // administration, at the administration rate (plus `surcharge` per
    // cent of it). The row stays in edit.
    static void RipartisciRitenuta(platform::DataSet &row, int surcharge, Currency taxable);
    // Taxable kind 4 -> retention 12, 3 -> 11, 1 and 2 -> 7; other kinds
    // do nothing.
    static void ImpostaImponibile(platform::DataSet &rows, int kind, Currency amount);
    // Sets FVARRIMPONIBILE and FVARRIMPONIBILEDIP of the row of that
    // retention (none: nothing) and posts it.
    //
    // CalcolaRitenuta and ImpostaImponibile are the operations the payroll
    // calculators replace: a subclass declares its own of the same name,
    // and callers name the class whose rule they want.
    static void ImpostaImponibileRitenuta(platform::DataSet &rows, int riceId, Currency amount);

    // ---- CUD INPS totals ----
    // Column TOTALE of the catalogue statement (default
    // "QRY_CUD_INPS_IMP_ACC" / "QRY_CUD_INPS_IMP_FOND") with `extra`
    // appended to its text; parameters IACOMID, MESE_INIZIALE and
    // MESE_FINALE from the compensation row, IRICEID, and IVARMRIRPID or
    // ICOSID. A null total is 0.
    static Currency ImponibileInpsAccessori(int riceId, int rirpId, platform::SqlQuery &query,
                                            const platform::DataSet &compensation, const QString &extra,
                                            const QString &statement = {});
    static Currency ImponibileInpsFondamentali(int riceId, int cosId, platform::SqlQuery &query,
                                               const platform::DataSet &compensation, const QString &extra,
                                               const QString &statement = {});

    // ---- contract (CCNL) amounts ----
    // FCCNAPERC (of the current record) per cent of the monthly sum of the
    // FCCNLIMPORTO of items 10001 and 10002 of the qualification; item
    // 10071 adjusted by the year rule; x 12 when annual. The dataset's
    // cursor moves.
    static Currency ImportoCcnl(platform::DataSet &ccnl, int qarId, bool annual, int component);
    static Currency ImportoCcnl10071(platform::DataSet &ccnl, int qarId, bool annual);
    // The amount of ImportoCcnl from the annual sum and the percentage.
    static Currency QuotaCcnl(Currency sum, Currency percent, int component, bool annual);
};

// The foundation's per-year rule object. The current one is reached through
// TovCalcolaAnno(); it is a plain TTovCalcolaAnno (no exemptions, amounts
// unchanged) until SelezionaAnno picks the working year's class.
class TTovCalcolaAnno {
public:
    using Currency = platform::Currency;

    // Pay components of the exemptions.
    static constexpr int COMR_ESONERO_IVS_STIP = 10074;
    static constexpr int COMR_ESONERO_IVS_13 = 10075;
    static constexpr int COMR_ESONERO_IVS_MADRI = 10077;

    TTovCalcolaAnno() = default;
    virtual ~TTovCalcolaAnno();
    TTovCalcolaAnno(const TTovCalcolaAnno &) = delete;
    TTovCalcolaAnno &operator=(const TTovCalcolaAnno &) = delete;

    // The financial year the object was made for (0 for the base object).
    int Anno() const { return m_anno; }

    // The month's exemption dataset of the calculated register rows of
    // month, company (ICOTID), group and financial-year id of the employer
    // `dwgId`, read on the global connection; nullptr when no row has an
    // exemption (always, in the base class). The caller owns the dataset.
    virtual std::unique_ptr<platform::DataSet> EsoneriIvs(int month, int company, int group, int anfId,
                                                          int dwgId) const;
    // The same for the employer of the program's parameters ("UQUP_DwgId"
    // of the main window's parameter manager, TTovUtil::DwgId).
    std::unique_ptr<platform::DataSet> EsoneriIvs(int month, int company, int group, int anfId) const;
    // Adjusts a contract amount of item 10071 (base: unchanged).
    virtual void AdeguaImportoCcnl(Currency &amount) const;

    // Makes the rule object of the year current: the base class up to 2022,
    // TTovCalcolaAnno2023 for 2023, TTovCalcolaAnno2024 from 2024 on. The
    // previous object is freed: references to it become invalid.
    static void SelezionaAnno(int year);
    // Fixed rates of the performing-arts fund: additional contribution,
    // solidarity contribution of employee and administration (per cent).
    static void AliquoteEnpals(double &aggiuntivo, double &solidarietaDip, double &solidarietaAmm);

protected:
    int m_anno = 0;
};

// The current year rule object; never missing.
TTovCalcolaAnno &TovCalcolaAnno();

class TTovCalcolaAnno2023 : public TTovCalcolaAnno {
public:
    using TTovCalcolaAnno::EsoneriIvs;
    std::unique_ptr<platform::DataSet> EsoneriIvs(int month, int company, int group, int anfId,
                                                  int dwgId) const override;
    // Splits the exemption of the current row of the exemption dataset
    // between INPS full time and part time (ESONERO_INPSOI, ESONERO_INPSPT).
    virtual void RipartisciEsoneroInps(platform::DataSet &row, int regsId) const;
    // The mothers' exemption of a row that counts: none in 2023.
    virtual Currency EsoneroMadri(const platform::DataSet &row) const;

    // The SQL of the exemption dataset and of the thirteenth-month check.
    static QString EsoneriIvsSql();
    static QString RitenutaTredicesimaSql();

protected:
    // The 2023 split: the salary exemption on the side that does not carry
    // the thirteenth month, the rest on the other.
    void RipartisciEsoneroStipendio(platform::DataSet &row, int regsId) const;
};

class TTovCalcolaAnno2024 : public TTovCalcolaAnno2023 {
public:
    void AdeguaImportoCcnl(Currency &amount) const override;
    void RipartisciEsoneroInps(platform::DataSet &row, int regsId) const override;
    Currency EsoneroMadri(const platform::DataSet &row) const override;
};

// The performing-arts fund (retention 17) step of a withholding row. The
// object works on the fund's detail record, the person's pay-component rows
// of the month and the days worked it is given; its queries run on
// `database`. It is used for a row only while installed
// (SetTovCalcolaEnpals); with none installed a row of retention 17 keeps
// its plain percentage withholding.
class TTovCalcolaEnpals {
public:
    using Currency = platform::Currency;

    // Pay components read.
    static constexpr int COMR_CONTRIBUTO_14 = 41;
    static constexpr int COMR_CONTRIBUTO_AGGIUNTIVO = 69;
    static constexpr int COMR_CONTRIBUTO_SOLIDARIETA = 70;

    // The datasets and the database must outlive the object.
    TTovCalcolaEnpals(platform::DataSet &dettaglio, platform::DataSet &voci, platform::Database &database,
                      int giorniLavorati);
    ~TTovCalcolaEnpals();
    TTovCalcolaEnpals(const TTovCalcolaEnpals &) = delete;
    TTovCalcolaEnpals &operator=(const TTovCalcolaEnpals &) = delete;

    int GiorniLavorati() const { return m_giorni; }
    void SetGiorniLavorati(int giorni) { m_giorni = giorni; }

    // IACOMSOGGENPALS of the compensation: 0 not subject, else the category.
    static int SoggettoEnpals(const platform::DataSet &compensation);
    // 9.89 and 25.81 for category 2 (true); false otherwise.
    static bool AliquoteCategoria(int categoria, double &aliquotaDip, double &aliquotaAmm);
    // Arrotonda(2, contribution / rate x 100); a rate of 0 raises ETovCalcola.
    static Currency ImponibileDaContributo(Currency contributo, Currency aliquota);
    static Currency ImponibileDaContributo(Currency contributo, double aliquota);
    static void AzzeraDipendente(platform::DataSet &row);
    static void AzzeraAmministrazione(platform::DataSet &row);

    // The fund's part of a withholding row (in edit): relationship 15 with
    // the ceiling, 14 from the contribution items; any other relationship
    // may carry no fund withholding.
    void Calcola(platform::DataSet &row, const platform::DataSet &compensation);
    // The daily minimum taxable (FRICAMINIMALE of "QRY_RICA_MIN_ENPALS");
    // 0 when the year has no rate row for the relationship.
    Currency MinimaleEnpals(const platform::DataSet &compensation);
    // Raises the administration taxable to the minimum of the days worked
    // (at most 26); sets LVARRMINIMALEAPPL; true when applied.
    bool ApplicaMinimale(platform::DataSet &row, const platform::DataSet &compensation);

private:
    void CalcolaDaVoci(platform::DataSet &row);
    void CalcolaConMassimale(platform::DataSet &row, const platform::DataSet &compensation);
    void RicalcolaContributi(platform::DataSet &row);
    // The gross of the first pay-component row of that item whose gross is
    // above 0 (`positive`) or not 0; false when there is none.
    bool LordoVoce(int comrId, bool positive, Currency &lordo);

    platform::DataSet &m_dettaglio;
    platform::DataSet &m_voci;
    std::unique_ptr<platform::SqlQuery> m_query;
    int m_giorni;
};

// The installed performing-arts calculator (nullptr: none). Not owned.
TTovCalcolaEnpals *TovCalcolaEnpals();
void SetTovCalcolaEnpals(TTovCalcolaEnpals *calculator);
