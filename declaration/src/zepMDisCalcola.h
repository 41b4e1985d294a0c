#pragma once
// The day codes of one employee for the working month, as the employee
// import writes them into GIORNI, and the kind of the employee's part time.
//
//     TdmZePDisCalcola calendario;
//     calendario.SetAnno(2024);
//     calendario.ImpostaDataSet(&candidati, nullptr, nullptr);  // IACOMID, IANACAGID
//     calendario.SetPeriodi("812,813");                         // the month's pay periods
//     calendario.ApriPeriodi();
//     calendario.ApriPTVerticale(ianacagid, fine, inizio);
//     const QString giorni = calendario.CalcolaGiorni();       // "SSSSSNNSS..."
//
// The month is the working period (ZepUUtil.h). Each day of a pay period
// is classified by the first period that reaches it, in the order the
// periods were entered; days outside every period stay blank (not in
// service).
#include "tovMDisCalcola.h"

#include <QDate>
#include <QString>

class TdmZePDisCalcola : public TdmTovDisCalcola {
public:
    // Part-time kinds TipoPartTime answers.
    static constexpr int PartTimeNessuno = 0;   // no vertical row
    static constexpr int PartTimeVerticale = 2; // every row vertical
    static constexpr int PartTimeMisto = 3;     // some rows vertical

    explicit TdmZePDisCalcola(platform::Database *database = nullptr);

    // The pay-period ids IVAPEID the periods are chosen from, separated by
    // commas ("812,813").
    void SetPeriodi(const QString &ids) { m_periodi = ids; }
    const QString &Periodi() const { return m_periodi; }

    // The periods: QRY_DIS_PERIODI restricted to the ids, for the person's
    // IACOMID, without the periods of liquidations other than fundamental
    // pay. An id list that is not a list of numbers is a programming error
    // (assertion): it becomes part of the statement.
    void PreparaPeriodi() override;

    // The person's part-time rows that overlap the dates (QRY_EMENS_PT_VERT).
    void ApriPTVerticale(int anaCagId, const QDate &fine, const QDate &inizio);
    // A rest day of vertical part time: the part-time rows covering the
    // date are taken in order; a vertical row answers whether its minutes
    // of that weekday (GIORNO1 Monday .. GIORNO7 Sunday) are 0, any other
    // row answers no; the first "no" ends the search. No covering row: no.
    bool GiornoNonLavorato(const QDate &data) override;
    // PartTimeNessuno, PartTimeVerticale or PartTimeMisto by the rows of
    // ApriPTVerticale. The rows stay filtered on the vertical ones
    // afterwards.
    int TipoPartTime();

    // The day codes of the working month: for each pay period, each of its
    // days within the month still blank becomes
    //   'S' for maternity;
    //   'N' for a rest day of vertical part time, a Sunday or a holiday,
    //       an absence, a leave day, or a period wholly coded as absent;
    //   'S' otherwise.
    // A period without a start or end date raises ETovWarning "Controllare
    // "Orari/Riduzioni" nella pagina "Altri dati" dello storico (mese di
    // <month name>)"; a period reaching into another month marks only its
    // days of the working month.
    QString CalcolaGiorni();

    TUqQueryCollection xqcPTVert; // the person's part-time rows

private:
    QString m_periodi;
};
