#include "DemoArchiveItems.h"

#include "Exceptions.h"

namespace payroll {

using platform::Value;

DemoArchiveItems::DemoArchiveItems(DemoArchiveWriter &writer)
    : m_writer(writer), m_item(writer.database()), m_gross(writer.database())
{
    m_item.setSql(
        QStringLiteral("SELECT ICOMRUSERCODE, LCOMRASSOGGETTATO FROM TCOMR_RIGHECOMP WHERE ICOMRID = :ICOMRID"));
    m_gross.setSql(QStringLiteral("UPDATE TREGS_REGISTROSTIP SET FREGSTOTALELORDO = FREGSTOTALELORDO + :IMPORTO "
                                  "WHERE IREGSID = :IREGSID"));
}

void DemoArchiveItems::add(int registerId, int item, platform::Currency amount, const Value &exemptionPercent)
{
    auto it = m_items.find(item);
    if (it == m_items.end()) {
        m_item.bind(QStringLiteral("ICOMRID"), item);
        m_item.open();
        ZEP_ASSERT(!m_item.eof(), QStringLiteral("Voce assente dall'archivio dimostrativo: %1").arg(item));
        it = m_items.insert(item, {m_item.value(0), m_item.value(1)});
        m_item.close();
    }
    const Value &Default = DemoArchiveWriter::Default;
    m_writer.row(QStringLiteral("TVACR_VARCOMPRIGHE"),
                 {m_writer.generatedId(QStringLiteral("TVACR_VARCOMPRIGHE")), registerId, Default, item, it->userCode,
                  amount, amount, platform::Currency(), exemptionPercent, Default, it->subject});
    m_gross.bind(QStringLiteral("IMPORTO"), amount).bind(QStringLiteral("IREGSID"), registerId);
    m_gross.execSQL();
}

} // namespace payroll
