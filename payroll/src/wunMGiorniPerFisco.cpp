#include "wunMGiorniPerFisco.h"

#include "tovCQueryText.h"
#include "tovUUtil.h"

#include "Format.h"
#include "SqlQuery.h"

#include <QBitArray>
#include <memory>

const QString TdmwunGiorniPerFisco::AliasLiquidazione = QStringLiteral("VARM");

TdmwunGiorniPerFisco &TdmwunGiorniPerFisco::Istanza()
{
    // Made at the first use, kept until the program ends.
    static const std::unique_ptr<TdmwunGiorniPerFisco> istanza(new TdmwunGiorniPerFisco);
    return *istanza;
}

void TdmwunGiorniPerFisco::Imposta(const QString &alias, const QString &condizione)
{
    TdmwunGiorniPerFisco &i = Istanza();
    i.m_alias = alias;
    i.m_condizione = condizione;
}

QString TdmwunGiorniPerFisco::Tabella(const QString &alias)
{
    return alias == AliasLiquidazione ? QStringLiteral("TVARM_VARIAZIONI") : QStringLiteral("TREGS_REGISTROSTIP");
}

int TdmwunGiorniPerFisco::GiorniDaPeriodi(int mese, int anno)
{
    const TdmwunGiorniPerFisco &i = Istanza();
    QString testo = TovQueryText().GetSQL(QStringLiteral("QRY_VAPE_GIORNI"), QStringLiteral("EXECUTE"));
    testo.replace(QStringLiteral("%ALIAS%"), i.m_alias, Qt::CaseSensitive);
    testo.replace(QStringLiteral("%TABELLA%"), Tabella(i.m_alias), Qt::CaseSensitive);
    platform::SqlQuery query;
    query.setSql(platform::format(testo, i.m_condizione));
    query.open();
    if (query.eof())
        return -1;

    const QDate inizio = TTovDate::FirstDayOfMonth(anno, mese);
    const QDate fine = TTovDate::LastDayOfMonth(anno, mese);
    QBitArray coperti(fine.day() + 1);
    for (; !query.eof(); query.next()) {
        const platform::Value dal = query.value(QStringLiteral("DVAPEDAL"));
        const platform::Value al = query.value(QStringLiteral("DVAPEAL"));
        if (dal.isEmpty() || al.isEmpty())
            return -1;
        const QDate da = std::max(dal.toDate(), inizio);
        const QDate a = std::min(al.toDate(), fine);
        for (QDate d = da; d <= a; d = d.addDays(1))
            coperti.setBit(d.day());
    }
    return int(coperti.count(true));
}

int TdmwunGiorniPerFisco::GiorniFiscali(int giorni, int mese, int anno)
{
    if (giorni != 30 || TTovDate::LastDayOfMonth(anno, mese).day() == 30)
        return giorni;
    const int periodi = GiorniDaPeriodi(mese, anno);
    return periodi == -1 ? TTovDate::LastDayOfMonth(anno, mese).day() : periodi;
}
