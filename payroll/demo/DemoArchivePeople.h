#pragma once
// The demo archive's persons 13 to 16 (made with the others in
// DemoArchive.cpp when the archive has that many; the first twelve stay as
// they were), so that every kind of person the declaration's imports handle
// has someone to show on:
// - a second collaborator, so that the archive has one collaborator with a
//   relief and one without;
// - a performing-arts worker engaged for periods: each month two
//   engagements, days 3 to 12 and 17 to 26, each a pay period of its own,
//   the month paid for their days (engagements());
// - a full-time employee with accessory pay (a productivity prize, on the
//   second INPS company number) every month;
// - a fixed-term employee hired on the 5th of the range's last month and
//   terminated on the 20th.
#include <QDate>
#include <QList>
#include <utility>

namespace payroll {

class DemoArchivePeople {
public:
    static constexpr int FirstPerson = 12; // index of the first of the persons above

    // The engagements of the performer with periods in the days [from, to]
    // of a month he is in service; empty when none falls in them.
    static QList<std::pair<QDate, QDate>> engagements(const QDate &from, const QDate &to);
};

} // namespace payroll
