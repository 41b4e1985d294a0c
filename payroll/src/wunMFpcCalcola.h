#pragma once
// The supplementary pension-fund rules of a withholding row: whether the
// person's adhesion to the fund is in force at the row's reference date,
// and the fund's rates (fixed employee and employer rates with the
// employer's surcharge of the first two years, or the person's own
// variable rate). The programs of this system make no such module; the
// fundamental-pay calculator uses one when it is given
// (TwunCalcolaFond::ModuloFondoPensione).
#include "Currency.h"

#include <QDate>
#include <QObject>
#include <memory>

namespace platform {
class DataSet;
class SqlQuery;
} // namespace platform

class TdmWunFpcCalcola : public QObject {
public:
    using DataSet = platform::DataSet;

    explicit TdmWunFpcCalcola(QObject *parent = nullptr);
    ~TdmWunFpcCalcola() override;

    // The adhesion (QRY_AFP_ACOM: the person's latest adhesion with its
    // fund), on the global connection; closed until ApriAdesione.
    platform::SqlQuery &qquAfp();

    // The first date among the row's period start DVAPEDAL, its reference
    // start DVACRRIFDAL, the variation's DVARMDMADAL and DVARMDAL (each
    // looked up in the row, then in the variation); with none, the first
    // day of the variation's month in the year of its IANFID.
    static QDate DataRiferimento(const DataSet &riga, const DataSet &variazione);
    // Opens the adhesion in force for the row: for a reference date of an
    // earlier year, the adhesion of the person's compensation of that year
    // when it has one; otherwise that of the row's IACOMID (reopened only
    // when it changes). No reference date closes it.
    void ApriAdesione(const DataSet &compenso, const DataSet &variazione, const DataSet &riga);
    // From when the adhesion counts: nothing without an adhesion date; the
    // start of the relationship for an adhesion before 1 April 2008;
    // otherwise the first day of the third month after the adhesion's.
    QDate DataEfficacia();
    // The adhesion counts at the date and has not ended before it (an end
    // followed by a reactivation the date is after no longer counts).
    bool AdesioneAttiva(const QDate &data);
    bool FondoApplicabile(const DataSet &riga, const DataSet *compenso, const DataSet *variazione);
    // The year of the employer's surcharge (1 or 2) when the reference month
    // ends within a year of the effective date and the adhesion came in the
    // fund's first or second year; 0 and false otherwise.
    bool AnnoMaggiorazione(const DataSet &variazione, const DataSet &riga, int &anno);
    // The fund's rates into a withholding row (in edit) with a positive
    // employee taxable: national code 14 the fund's fixed rates (with the
    // surcharge), any other the person's variable rate.
    void ImpostaAliquote(DataSet &ritenuta, const DataSet *compenso, const DataSet *variazione);

private:
    void ApriPerCompenso(int acomId);
    platform::Currency Importo(const char *campo);
    QDate Data(const char *campo);

    std::unique_ptr<platform::SqlQuery> m_qquAfp;
    std::unique_ptr<platform::SqlQuery> m_qquAppoggio;
    int m_acomId = 0;
};
