#include "customers/ReadyOrders.h"

#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"


namespace {

Money moneyOf(const platform::Value &v)
{
    return v.isNull() ? Money() : Money::fromUnits(v.toMoney().units());
}

} // namespace

ReadyOrders::ReadyOrders(platform::Database &db, bool forEditing)
    : m_db(db)
    , m_jobs(&db)
{
    if (!forEditing)
        m_jobs.m_nDefaultType = CXDaoSet::dbOpenSnapshot;
}

void ReadyOrders::Read(const QList<qint32> &jobIds)
{
    m_sums.clear();
    // The ids go in as values of a statement of a fixed shape, so that it is
    // translated and prepared once for every batch; the places a short batch
    // leaves over repeat its first id.
    const qsizetype places = jobIds.size() <= kPostingBatch ? kPostingBatch
        : jobIds.size() <= kBatch                          ? kBatch
                                                           : jobIds.size();
    QList<platform::Value> ids;
    ids.reserve(places);
    for (qint32 id : jobIds)
        ids << platform::Value(id);
    while (ids.size() < places)
        ids << platform::Value(jobIds.isEmpty() ? 0 : jobIds.first());
    const QString in = QStringLiteral("?, ").repeated(places - 1) + QStringLiteral("?");
    try {
        platform::Recordset items(m_db);
        items.open(platform::Recordset::Type::Snapshot,
                   QStringLiteral("SELECT Items.JobID, Items.SerNo, Items.Cost, Items.Price FROM Items WHERE "
                                  "Items.JobID IN (%1)")
                       .arg(in),
                   ids);
        for (; !items.isEOF(); items.moveNext())
            m_sums[items.value(0).toInt()].Add(!items.value(1).isNull() && items.value(1).toInt() != 0,
                                               moneyOf(items.value(2)), moneyOf(items.value(3)));
    } catch (const platform::DbException &) {
        // Items that cannot be read are compared as far as they were read.
    }
    m_jobs.m_strFilter = QStringLiteral("Jobs.JobID IN (%1)").arg(in);
    m_jobs.m_filterValues = ids;
    // Remarks are put on their rows by key, in any order.
    m_jobs.m_strSort = m_jobs.m_nDefaultType == CXDaoSet::dbOpenSnapshot ? QString() : QStringLiteral("Jobs.JobNo");
    m_jobs.RequeryOrOpen(false);
}

bool ReadyOrders::AtEnd()
{
    return !m_jobs.IsOpen() || m_jobs.IsEmptySet() || m_jobs.IsEOF();
}

void ReadyOrders::Next()
{
    m_jobs.MoveNext();
}

bool ReadyOrders::HasDiscrepancy(const QString &note)
{
    return m_jobs.CheckTotals(m_sums.value(m_jobs.m_JobID), note);
}

void ReadyOrders::Close()
{
    m_jobs.Close();
}
