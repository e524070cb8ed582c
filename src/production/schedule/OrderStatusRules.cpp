#include "production/schedule/OrderStatusRules.h"

#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <optional>

namespace {

QList<qint32> itemIds(qint32 jobId, const QString &condition)
{
    QList<qint32> ids;
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT ItemID FROM Items WHERE JobID = %1").arg(jobId) + condition
                + QStringLiteral(" ORDER BY ItemID"));
    for (; !rs.isEOF(); rs.moveNext())
        ids.append(qint32(rs.value(0).toInt()));
    return ids;
}

bool openOrder(CJobSet &job, qint32 jobId)
{
    job.m_strFilter = QStringLiteral("JobType = 0 and %1 = %2").arg(QStringLiteral("JobID")).arg(jobId);
    job.m_strSort.clear();
    return jobId > 0 && job.RequeryOrOpen(false) && !job.IsEOF();
}

} // namespace

int OrderStatusRules::CurrentStatus(qint32 jobId)
{
    CJobSet job;
    return openOrder(job, jobId) ? int(job.m_Status) : -1;
}

int OrderStatusRules::AutomaticStatus(qint32 jobId)
{
    if (CurrentStatus(jobId) < 0)
        return -1;
    return itemIds(jobId, QStringLiteral(" and SerNo > 0 and Status > 0")).isEmpty() ? kReadyToShip : 0;
}

OrderStatusRules::Result OrderStatusRules::SetOrderStatus(qint32 jobId, int status, QList<qint32> *finished)
{
    if (finished)
        finished->clear();
    if (status == kReadyToPost)
        return Unchanged;
    CJobSet job;
    if (!openOrder(job, jobId))
        return Unchanged;
    const int current = job.m_Status;
    if (current == kReadyToPost)
        return Unchanged;
    if (status == kAutomatic) {
        if (current == 1)
            return Unchanged;
        status = AutomaticStatus(jobId);
    }
    if (status < 0 || status == current)
        return Unchanged;

    // The order's status, its items' and its services' change together. With
    // the shop's inventory on, finishing a service may ask about its stock
    // (the Quantity Used window): then each row is its own write, so that no
    // question is asked while the database is held for writing, and the
    // services come first, the order's status last, so that a service left
    // open leaves the order as it was. Every row is read within its write.
    std::optional<platform::Transaction> unit;
    if (!CItemSet::GetInventoryRules().enabled)
        unit.emplace(SharedDatabase());
    QList<qint32> inUnit;
    try {
        if (status == kReadyToShip) {
            CItemSet item;
            for (qint32 id : itemIds(jobId, QStringLiteral(" and SerNo > 0 and Status > 0"))) {
                if (item.SetServiceStatus(0, 0, id) == 0)
                    return Failed;
                // Stored at once with the inventory, else with the unit.
                if (finished)
                    (unit ? inUnit : *finished).append(id);
            }
            for (qint32 id : itemIds(jobId, QStringLiteral(" and SerNo = 0"))) {
                if (!item.OpenByItemID(id))
                    return Failed;
                if (item.m_Status != kItemDone && item.SetServiceStatus(kItemDone, 0, 0) == 0)
                    return Failed;
            }
        }
        if (!openOrder(job, jobId) || !job.SafeEdit())
            return Failed;
        job.m_Status = quint8(status);
        if (!job.SafeUpdate())
            return Failed;
        if (unit) {
            unit->commit();
            if (finished)
                *finished = inUnit;
        }
    } catch (const platform::DbException &) {
        return Failed;
    }
    return Changed;
}
