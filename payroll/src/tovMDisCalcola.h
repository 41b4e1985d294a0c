#pragma once
// The day-by-day calendar of one person's pay periods: for a date, whether
// it is a holiday (Sunday or a day of the holiday calendar of the period's
// contract kind), an absence, a leave day or a rest day of vertical part
// time; and the person's pay periods completed with their calendar days
// (LAVORATI), their absence days (ASSENZE) and whether they are maternity
// (MATERNITA).
//
// How the pay periods are chosen is the subclass's (PreparaPeriodi); the
// declaration program's TdmZePDisCalcola chooses them by id and builds the
// month's day codes from the answers here.
//
//     TdmZePDisCalcola calendario;              // on the global connection
//     calendario.SetAnno(2024);
//     calendario.ImpostaDataSet(&candidati, nullptr, nullptr);
//     calendario.SetPeriodi("812,813");
//     calendario.ApriPeriodi();
//
// The periods, absences, leave and holidays are read through the named
// statements QRY_DIS_PERIODI (the subclass's), QRY_DIS_PERIODI_ASS,
// QRY_DIS_ASS_PER, QRY_DIS_FERIE and QRY_DIS_FESTE. The holiday calendar,
// the absences and the leave of a person are read once and kept while the
// person, the year and (for the calendar) its kind stay the same.
#include "DataSet.h"
#include "UqQueryCollection.h"

#include <QDate>
#include <QString>

namespace platform {
class Database;
} // namespace platform

class TdmTovDisCalcola {
public:
    // Reduction kinds: maternity makes a period paid whatever its days are;
    // a strike counted in hours is left out of the absence days (its
    // quantities are hours).
    static constexpr int TacoMaternita = 5;
    static constexpr int TacoScioperoOre = 7;
    // Working-time kind of vertical part time.
    static constexpr int TosVerticale = 2;

    // On `database`, or on the global connection when none is given.
    explicit TdmTovDisCalcola(platform::Database *database = nullptr);
    virtual ~TdmTovDisCalcola();
    TdmTovDisCalcola(const TdmTovDisCalcola &) = delete;
    TdmTovDisCalcola &operator=(const TdmTovDisCalcola &) = delete;

    // The calendar year the dates belong to (holidays, absences and leave
    // are read from 1 January to 31 December of it).
    void SetAnno(int anno) { m_anno = anno; }
    int Anno() const { return m_anno; }

    // The person (the current row of `principale`: IACOMID, IANACAGID),
    // its compensation record (DACOMINIRAPP, DACOMFINERAPP) and the extra
    // dataset of the amounts (ICALID). Not owned; any may be null until an
    // operation needs it (an assertion then).
    virtual void ImpostaDataSet(platform::DataSet *principale, platform::DataSet *compenso, platform::DataSet *extra);

    // Opens the pay periods: unfiltered, chosen by PreparaPeriodi, each
    // completed by CompletaPeriodi, in the order of their ids (the order
    // they were entered: the first period that reaches a day decides it).
    void ApriPeriodi();

    // The holiday calendar of a contract kind: kind 1 reads the holidays
    // of calendar 2, every other kind those of calendar 4.
    virtual void ApriCalendario(int tipoCalendario);
    virtual QDate DataInizioRapporto() const;
    virtual QDate DataFineRapporto() const;
    virtual int TipoCalendario() const { return 4; }
    // Run when the pay periods open (see the .cpp for the steps).
    virtual void CompletaPeriodi();
    virtual void PreparaPeriodi() = 0;
    // A rest day of vertical part time in the current pay period: its
    // working-time kind is 2, the date is not a Sunday and the period's
    // minutes of that weekday (GIORNO1 Monday .. GIORNO7 Sunday) are 0.
    virtual bool GiornoNonLavorato(const QDate &data);
    // The field of the person's compensation id in the main dataset.
    virtual QString CampoIdCompenso() const { return QStringLiteral("IACOMID"); }
    // The main dataset becomes the persons of the year and employer group
    // (QRY_DIS_IMP), restricted to the extra dataset's category ICALID
    // when that is above 0.
    virtual void ApriImporti();
    // Sunday, or a day of the holiday calendar of the period's contract
    // kind (IDCTID).
    virtual bool GiornoFestivo(const platform::DataSet &periodo, const QDate &data);

    // Whether the date falls in an absence of the person: the first absence
    // period that covers it gives its day code (STAGCODASSDIS, empty when
    // the absence kind has none).
    bool InAssenza(const QDate &data, QString &codice);
    // Whether the date falls in a leave period of the person.
    bool InFerie(const QDate &data);
    // Whether the current pay period is wholly coded: it has an absence
    // code (STAGCOD) or as many absence days as calendar days. The code is
    // its STAGCODASSDIS.
    bool PeriodoCodificato(QString &codice) const;

    platform::Database &Connection() const;
    platform::DataSet &Principale() const;

    TUqQueryCollection xqcPeriodi;    // the person's pay periods
    TUqQueryCollection xqcAssenzePer; // the person's absence periods of the year
    TUqQueryCollection xqcFerie;      // the person's leave periods of the year
    TUqQueryCollection xqcAss;        // absence days by pay period (while completing)
    platform::DataSet cdsCalendario;  // holidays of one calendar of the year (DCALFESTIVO)

protected:
    // Run when the absence periods have been read; nothing here.
    virtual void DoAssenzePerAfterOpen() {}

private:
    // The periods' fields as the statement gives them, none required, and
    // LAVORATI, ASSENZE, MATERNITA (0) after them.
    static void AggiungiCampiCalcolati(platform::DataSet &periodi);
    // What an open table was read for: the person's key and the year (or
    // the calendar's type and the year); unset until read.
    struct ChiaveLettura {
        platform::Value persona;
        int anno = 0;
        int tipo = 0;
        bool letta = false;
        bool operator==(const ChiaveLettura &) const = default;
    };
    // Reads the person's periods of the year into `periodi` unless they
    // were read for the same person and year.
    void ApriPeriodiPersona(TUqQueryCollection &periodi, ChiaveLettura &chiave);

    platform::Database *m_db;
    platform::DataSet *m_principale = nullptr;
    platform::DataSet *m_compenso = nullptr;
    platform::DataSet *m_extra = nullptr;
    int m_anno = 0;
    ChiaveLettura m_chiaveCalendario; // year and TIPO of cdsCalendario
    ChiaveLettura m_chiaveAssenze;    // IANACAGID and year of xqcAssenzePer
    ChiaveLettura m_chiaveFerie;      // the same for xqcFerie
};
