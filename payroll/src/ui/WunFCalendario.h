#pragma once
// The calendar picker of a grid's date field: a month calendar under the
// grid's corner, opened on the field's date; a double click chooses the
// day, unless it comes within half a second of the showing or of a month
// change (the clicks of the month navigation). OK writes the date into the
// field; "Annulla" leaves it.
#include "WunCCalendario.h"

#include <QDialog>
#include <functional>

class QAbstractItemView;
class QCalendarWidget;
class QPushButton;

namespace platform {
class Field;
} // namespace platform

class TfmWunCalendario : public QDialog {
    Q_OBJECT
public:
    explicit TfmWunCalendario(QWidget *owner = nullptr);

    QCalendarWidget *caCalendario;
    QPushButton *buOk;
    QPushButton *buAnnulla;
    // Milliseconds of a steady clock (tests give their own).
    std::function<qint64()> Orologio;

    // The field of the grid's current column (a grid over a dataset); a
    // column without a field does nothing (mrCancel).
    static int Execute(QAbstractItemView &griglia, const QDate &predefinita);
    // Runs on the field, placed by the grid's corner on the screen.
    int Esegui(platform::Field &campo, const QDate &predefinita, const QPoint &angoloGriglia, const QRect &schermo);
    // A double click on the calendar's day.
    void DoppioClic();

protected:
    void showEvent(QShowEvent *event) override;

private:
    TWunCalendario m_regole;
};
