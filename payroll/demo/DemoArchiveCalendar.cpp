#include "DemoArchiveCalendar.h"

#include "DemoArchiveSql.h"

#include "Exceptions.h"
#include "tovUUtil.h"

#include <QDate>
#include <QList>

namespace payroll {

namespace {

using platform::Value;

struct Period {
    int id = 0;
    int anaCagId = 0;
    bool female = false;
    QDate from, to;
    int days = 0; // commercial days (IVAPEGIORNI)
    // What a piece of the period keeps of it.
    Value registerId, changeId, qualification, serviceMinutes, expectedMinutes, partTime;
};

int weeks(QDate from, QDate to)
{
    return TTovDate::WeekOfYear(to) - TTovDate::WeekOfYear(from) + 1;
}

} // namespace

void DemoArchiveCalendar::fill(DemoArchiveWriter &writer)
{
    DemoArchiveSql sql(writer.database(), QStringLiteral("calendario"));
    auto nextId = [&](const char *table) { return int(writer.nextId(QLatin1String(table))); };
    writer.row(QStringLiteral("TTAG_TIPIASSENZA"), {TagSciopero, "SC", Value::null(), "Sciopero"});

    // Each employee's latest whole-month period without reductions.
    QList<Period> periods;
    DemoArchiveSql &q = sql.run(QStringLiteral(
        "SELECT VAPE.IVAPEID, ANAPER.IANACAGID, ANA.ISEXID, VAPE.DVAPEDAL, VAPE.DVAPEAL, VAPE.IVAPEGIORNI, "
        "VAPE.IREGSID, VAPE.IVARMID, VAPE.IQARID, VAPE.IVAPEORESERVIZIO, VAPE.IVAPEOREPREVISTE, VAPE.LVAPEPARTTIME "
        "FROM TVAPE_PERIODI VAPE "
        "JOIN TREGS_REGISTROSTIP REGS ON REGS.IREGSID = VAPE.IREGSID "
        "JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = REGS.IACOMID "
        "JOIN TANAPER_POSIZIONI ANAPER ON ANAPER.IANAPERID = ACOM.IANAPERID "
        "JOIN TANACAG_MATRICOLE ANACAG ON ANACAG.IANACAGID = ANAPER.IANACAGID "
        "JOIN TANA_ANAGRAFICHE ANA ON ANA.IANAID = ANACAG.IANAID "
        "WHERE EXTRACT(DAY FROM VAPE.DVAPEDAL) = 1 "
        "AND VAPE.DVAPEAL = DATEADD(-1 DAY TO DATEADD(1 MONTH TO VAPE.DVAPEDAL)) "
        "AND NOT EXISTS (SELECT 1 FROM TVARD_RIDUZIONIVAR VARD WHERE VARD.IVAPEID = VAPE.IVAPEID) "
        "ORDER BY ANAPER.IANACAGID, VAPE.DVAPEDAL DESC"));
    for (; !q.eof(); q.next()) {
        const int person = q.value(1).toInt();
        if (!periods.isEmpty() && periods.last().anaCagId == person)
            continue;
        periods.append({q.value(0).toInt(), person, q.value(2).toInt() == 2, q.value(3).toDate(), q.value(4).toDate(),
                        q.value(5).toInt(), q.value(6), q.value(7), q.value(8), q.value(9), q.value(10), q.value(11)});
    }

    // The period ends on `to` with `days`; a piece after it copies it.
    auto shorten = [&](const Period &p, QDate to, int days) {
        sql.run(QStringLiteral("UPDATE TVAPE_PERIODI SET DVAPEAL = ?, IVAPEGIORNI = ?, IVAPEGIORNIINPS = ?, "
                               "IVAPESETTINPS = ? WHERE IVAPEID = ?"),
                {to, days, days, weeks(p.from, to), p.id});
    };
    const Value &Default = DemoArchiveWriter::Default;
    auto piece = [&](const Period &p, QDate from, QDate to, int days, const Value &tag) {
        const int id = nextId("TVAPE_PERIODI");
        writer.row(QStringLiteral("TVAPE_PERIODI"),
                   {id, p.registerId, p.changeId, Default, p.qualification, tag, from, to, days, days, weeks(from, to),
                    p.serviceMinutes, p.expectedMinutes, Default, Default, Default, p.partTime});
        return id;
    };
    auto reduction = [&](int period, int kind, int quantity) {
        writer.row(QStringLiteral("TVARD_RIDUZIONIVAR"), {nextId("TVARD_RIDUZIONIVAR"), period, kind, quantity});
    };
    auto holiday = [&](QDate d) {
        DemoArchiveSql &h = sql.run(QStringLiteral("SELECT COUNT(*) FROM TFES_FESTIVITA WHERE DFESDATA = ?"), {d});
        return !h.eof() && h.value(0).toInt() > 0;
    };

    int women = 0;
    int others = 0;
    for (const Period &p : periods) {
        if (p.female && women++ % 2 == 0) {
            const QDate start = p.from.addDays(10);
            const int first = 10;
            shorten(p, start.addDays(-1), first);
            const int days = std::max(p.days - first, 1);
            reduction(piece(p, start, p.to, days, TagMaternita), TacoMaternita, int(start.daysTo(p.to)) + 1);
            writer.row(QStringLiteral("TASP_ASSENZE"), {nextId("TASP_ASSENZE"), p.anaCagId, TagMaternita, start, p.to});
            continue;
        }
        switch (others++ % 3) {
        case 1: {
            QDate day = p.from.addDays(14);
            while (day.dayOfWeek() > 5 || holiday(day))
                day = day.addDays(1);
            const int before = day.day() - 1;
            shorten(p, day.addDays(-1), before);
            piece(p, day, day, 1, TagSciopero);
            if (day < p.to)
                piece(p, day.addDays(1), p.to, std::max(p.days - before - 1, 1), Value::null());
            break;
        }
        case 2: reduction(p.id, TacoScioperoOre, 3); break;
        default: break;
        }
    }
}

} // namespace payroll
