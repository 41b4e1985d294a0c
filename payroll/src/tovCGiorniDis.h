#pragma once
// The day codes of one month for one person: one character per day, day 1
// first. 'S' the day is worked or paid, 'N' it is not worked, a blank the
// person is not in service that day. The employee import computes the text
// (TdmZePDisCalcola), the month grid edits it by hand and the file generator
// writes its non-blank days.
#include <QChar>
#include <QString>

inline constexpr QChar cGiornoVuoto = QLatin1Char(' ');
inline constexpr QChar cGiornoSi = QLatin1Char('S');
inline constexpr QChar cGiornoNo = QLatin1Char('N');

class TGiorniDis {
public:
    // `giorni` days, all blank (none when not above 0).
    explicit TGiorniDis(int giorni);

    int Giorni() const { return int(m_giorni.size()); }

    // The day (1-based) takes the text when it is exactly one of the three
    // codes, else a blank ("s" and "SS" give a blank); a day outside the
    // month is ignored.
    void SetGiorno(int giorno, const QString &testo);
    // The day's code; a day outside the month reads cGiornoNo.
    QChar GetGiorno(int giorno) const;

    // The whole text, one character per day.
    const QString &GetGiorni() const { return m_giorni; }
    // SetGiorno for each day the text has a character for: a shorter text
    // leaves the last days as they were, a longer one is cut to the month.
    void SetGiorni(const QString &testo);

    // Whether the text is one of the three codes.
    static bool CodiceValido(const QString &testo);

private:
    QString m_giorni;
};
