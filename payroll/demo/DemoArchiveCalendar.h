#pragma once
// The demo archive's days away from work beyond sickness and holidays, so
// that the day codes of a month have something to show: for some employees
// one pay period of the range is split and marked.
//
// - Maternity: every other woman (in enrolment order) with a whole-month
//   period: from day 11 to the end of the month a period of its own with
//   the absence kind "Maternità", a maternity reduction of all its days and
//   a maternity absence.
// - Strike: of the other employees with a whole-month period, every third
//   from the second: one working day from the 15th on (not a holiday) is a
//   period of its own with the absence kind "Sciopero" (id 21, added here);
//   every third from the third: a strike of 3 hours (reduction kind 7) in
//   the period, which leaves its days worked.
// The period chosen is the person's latest whole-month period without
// reductions; amounts are not touched (maternity is paid in full, and the
// strikes are small enough to leave the month's pay as it stands).
#include "DemoArchiveWriter.h"

namespace payroll {

class DemoArchiveCalendar {
public:
    static constexpr int TagMaternita = 5;
    static constexpr int TagSciopero = 21;
    static constexpr int TacoMaternita = 5;
    static constexpr int TacoScioperoOre = 7;

    // Adds the above to the pay of an archive being filled (in the
    // writer's transaction, with the writer's keys).
    static void fill(DemoArchiveWriter &writer);
};

} // namespace payroll
