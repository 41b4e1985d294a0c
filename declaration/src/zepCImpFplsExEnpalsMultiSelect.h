#pragma once
// The rules of the performing-arts import TfmZepImpFplsExEnpalsMultiSelect
// (zepFImpFplsExEnpalsMultiSelect): one month of pay of the workers of the
// FPLS fund (the former ENPALS, retention 17) into the declaration table
// TEFE_FPLSEXENPALS of the working period, one row per person and month
// under the company's FPLS number. The per-person loop, its transaction and
// its error report are the declaration import base's; the declarant is
// TZepImpSostituto's.
//
// Candidates (PreparaElenco): QRY_EMENS_FPLS_EXENPALS_IMP, the persons of
// the employer with a fund withholding in the month, with their contract
// data (SENPACODICECONTRATTO, SENPATIPOLAVORATORE, SENPATIPORAPPLAV,
// SENPACODICEQUALIFICA) and month range (MESE_INIZIALE, MESE_FINALE).
//
// One person (ImportaRiga): without a fiscal code it is reported and
// skipped; a person already in the table for the period follows the replace
// choice, replacing deletes the person's rows of the period; then the
// amounts (SommeFpls) and the row (RigaFpls). A person without fund taxable
// in the month gets no row. A re-import sets the amounts of the row, never
// adds them to what it held.
#include "zepCFiscImpMultiSelect.h"

#include "Currency.h"
#include "SqlQuery.h"
#include "UqQueryCollection.h"

#include <QString>

class TZepImpFplsExEnpalsMultiSelect : public TZepFiscImpMultiSelect {
public:
    // Pay-item and relationship codes the amounts are read with.
    static constexpr int TNO_LIB_PROF = 14;      // self-employed professionals
    static constexpr int COMR_ACC_RIT_PREV = 41; // their own social-security contribution
    static constexpr int CO_ACCESSORI = 3;       // liquidations of accessory pay

    // The amounts of one person, four decimals.
    struct TSomme {
        platform::Currency Imponibile;
        platform::Currency Contributo;
        platform::Currency ImponibileCtrAgg;
        platform::Currency ContribAggCorrente;
        platform::Currency ImpEccMassSpet;
        platform::Currency ContrEccMassSpet; // always 0
        platform::Currency ContrSolidarietaSpet;
        bool SottoMinimale = false;
    };

    explicit TZepImpFplsExEnpalsMultiSelect(ITovDBCds &store, platform::Database *connessione = nullptr);

    platform::SqlQuery qquEMens;
    TUqQueryCollection xqcAppoggio;

    // The amounts of the current candidate.
    TSomme SommeFpls();
    // The person's row of the period under the FPLS number (edited, or
    // inserted), with the amounts set; none when the taxable is 0.
    void RigaFpls(const TSomme &somme);

    // ---- overrides ----
    void ImportaRiga() override;
    void PreparaElenco() override;

private:
    QString Matricola() const;
    QString Candidato(const char *campo) const;
    // Opens qquEMens on the statement with the candidate's compensation and
    // month range; true when it has a row.
    bool ApriSomma(const QString &statement, const QString &parametro = {}, int valore = 0);
};
