#pragma once
// The rules of the calendar picker (TfmWunCalendario): the date it opens
// on, where it stands against the grid, which double clicks choose a day,
// and how the chosen date reaches the grid's field.
#include <QDate>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace platform {
class Field;
} // namespace platform

class TWunCalendario {
public:
    // A double click closer than this to the last month change (or to the
    // showing) belongs to the month navigation.
    static constexpr qint64 IntervalloDoppioClic = 500;

    // The field's date, else the default date, else today.
    static QDate DataIniziale(const platform::Field *campo, const QDate &predefinita, const QDate &oggi);
    // 20 pixels below the grid's top-left corner (screen coordinates) and 2
    // to its left when the screen allows; above the corner, by the form's
    // height and 20 pixels, when it would pass the bottom of the screen.
    static QPoint Posizione(const QPoint &angoloGriglia, const QSize &form, const QRect &schermo);
    // Puts the field's dataset in edit unless it is editing already, and
    // writes the date.
    static void Applica(platform::Field &campo, const QDate &data);

    // The times (milliseconds of a steady clock) of the showing and of
    // every month change.
    void Registra(qint64 adesso) { m_ultimo = adesso; }
    // Whether a double click at that time chooses the day.
    bool DoppioClicValido(qint64 adesso) const { return adesso - m_ultimo >= IntervalloDoppioClic; }

private:
    qint64 m_ultimo = 0;
};
