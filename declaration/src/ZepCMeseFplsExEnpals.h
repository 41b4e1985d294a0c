#pragma once
// The rules of the performing-arts day grid (zepRMeseFplsExEnpals.h),
// without any display: two rows of one-character boxes per day of the
// working month, the days worked ("S" or blank) and the kind of coverage of
// each day ("X" fully paid, "1" not paid at all, "2" partly paid, "0" no
// coverage, blank none given), kept in GiorniLavorati and
// GiorniTipoCopertura, one character per day.
#include <QString>
#include <QStringList>
#include <optional>

class TZepMeseFplsExEnpals {
public:
    static const QString Intestazione;        // the header above the boxes
    static const QString MsgGiorniCoperti;    // "Giorni lavorati e coperti devono coincidere"
    static const QString MsgGiorniRetribuiti; // "La somma dei giorni lavorati deve coincidere con ..."
    static const QString CampoLavorati;       // "GiorniLavorati"
    static const QString CampoCopertura;      // "GiorniTipoCopertura"

    enum class Riga { Lavorato, Copertura };

    // What a typed character puts into a box of the row: its upper case when
    // the row accepts it, an empty text for a blank; nothing when the
    // character is refused (the box keeps its text).
    static std::optional<QString> Carattere(Riga riga, QChar tasto);

    // The boxes of `giorni` days from a stored text: day n takes the n-th
    // character, trimmed; a text shorter than the month leaves the other
    // days empty, a longer one is cut.
    static QStringList Giorni(const QString &testo, int giorni);

    // The two texts to store, built from the boxes (one per day, at most one
    // character each; an empty box is a blank). Only the totals are compared:
    // the days with a coverage code must be as many as the days worked
    // (MsgGiorniCoperti), and the days worked as many as the paid days
    // (MsgGiorniRetribuiti); either failure raises EUqError.
    struct Testi {
        QString lavorati;
        QString copertura;
    };
    static Testi Componi(const QStringList &lavorati, const QStringList &copertura, int giorniRetribuiti);
};
