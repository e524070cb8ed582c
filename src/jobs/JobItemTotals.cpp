#include "jobs/JobItemTotals.h"

#include "data/CXDaoSet.h"
#include "data/CJobSet.h"
#include "platform/db/DbException.h"

bool IsMoneyAmount(Money value)
{
    return value.units() > 1 || value.units() < -1;
}

std::vector<JobItemRow> ReadJobItemRows(platform::Database *database, qint32 jobId)
{
    std::vector<JobItemRow> rows;
    CXDaoSet set(database);
    try {
        set.Open(CXDaoSet::dbOpenSnapshot,
                 QStringLiteral("SELECT ItemNo, SubNo, SerNo, Cost, Price FROM Items WHERE JobID = %1 ORDER BY ItemNo, "
                                "SubNo, SerNo")
                     .arg(jobId));
        for (; set.IsOpen() && !set.IsEmptySet() && !set.IsEOF(); set.MoveNext())
            rows.push_back({set.GetFieldValue(0).toInt(), set.GetFieldValue(1).toInt(), set.GetFieldValue(2).toInt(),
                            set.GetFieldValue(3).toMoney(), set.GetFieldValue(4).toMoney()});
    } catch (const platform::DbException &) {
        rows.clear();
    }
    return rows;
}

JobItemSums SumJobItems(const std::vector<JobItemRow> &rows, bool creditInvoice)
{
    JobItemSums sums;
    if (rows.empty())
        sums.allPriced = false;
    int group = -1;
    // An item without a price (0) and without services to price it leaves
    // the job not priced (never "No Charge").
    bool itemWithoutServices = false;
    for (int i = 0; i < int(rows.size()); ++i) {
        const JobItemRow &row = rows[size_t(i)];
        if (row.serNo == 0) {
            if (itemWithoutServices)
                sums.allPriced = false;
            itemWithoutServices = row.price.isZero();
            // A plain item or the main item of a new group ends the group
            // before it; a sub-item's price counts in its group.
            if (row.subNo == 0 || row.subNo == 1)
                group = -1;
            if (row.subNo == 1) {
                sums.groups.push_back({i, Money()});
                group = int(sums.groups.size()) - 1;
            }
            if (row.subNo != 0 && group >= 0 && IsMoneyAmount(row.price))
                sums.groups[size_t(group)].sum += row.price;
            continue;
        }
        if (i > 0 && rows[size_t(i - 1)].serNo == 0 && rows[size_t(i - 1)].itemNo == row.itemNo &&
            rows[size_t(i - 1)].subNo == row.subNo)
            itemWithoutServices = false;
        if (IsMoneyAmount(row.cost))
            sums.cost += row.cost;
        if (row.price.isZero())
            sums.allPriced = false;
        else if (IsMoneyAmount(row.price))
            sums.subtotal += row.price;
    }
    if (itemWithoutServices)
        sums.allPriced = false;
    if (!sums.allPriced)
        sums.subtotal = Money();
    else if (sums.subtotal.isZero())
        sums.subtotal = creditInvoice ? -Money::noChargeMarker() : Money::noChargeMarker();
    return sums;
}

bool ApplyJobItemSums(CJobSet &job, const JobItemSums &sums, bool forceTotals)
{
    // A credit or a credited invoice is posted money: its stored Cost,
    // Subtotal and totals stay as they are.
    if (job.IsCreditOrCredited())
        return false;
    const Money oldCost = job.m_Cost;
    const Money oldSubtotal = job.m_Subtotal;
    job.m_Cost = sums.cost;
    job.m_Subtotal = sums.subtotal;
    if (job.m_Subtotal != oldSubtotal || forceTotals) {
        if (oldSubtotal.isZero() || oldSubtotal == Money::noChargeMarker()) {
            job.LoadCustomerDiscount();
            job.LoadSalesRepCommission();
        }
        job.CalcDiscount();
        job.CalcCommission();
        job.CalcSubtotal();
        job.RecalcTotals(true);
    }
    return job.m_Subtotal != oldSubtotal || job.m_Cost != oldCost;
}
