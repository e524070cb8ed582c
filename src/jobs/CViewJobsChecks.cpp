// The jobs view's checks: the jobs whose cost or subtotal disagrees with
// their service rows, explained and fixed, and the summary of jobs by type
// with, under Ctrl, the check of item prices against service prices.
#include "jobs/CViewJobs.h"

#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "jobs/JobItemTotals.h"
#include "platform/Prompt.h"

#include <QtWidgets/QApplication>

#include <algorithm>

namespace {

constexpr std::uint8_t kQuietColour = 6;
const QString kFixNotice = QStringLiteral("Fix Discrepancies...");

} // namespace

void CViewJobs::OnListNow()
{
    ClearFilter();
    OnRefresh();
    if (m_listBar->GetItemText(30211).contains(QLatin1String("Discrepancies")))
        SetNoticeButton(QString(), kQuietColour);
    if (itemText() != QLatin1String("Discrepancies"))
        return;
    if (m_list->GetItemCount() == 0) {
        platform::Prompt::messageBox(QStringLiteral("None found."));
        return;
    }
    if (!m_strLastListSql.contains(QLatin1String("Items.Cost")))
        return;
    platform::Prompt::messageBox(QStringLiteral(
        "The jobs listed have discrepancies:\n - Job Cost is not equal to the sum of its Service Costs and/or\n - Job "
        "Subtotal is not equal to the sum of its Service Prices.\n\nCommon causes of discrepancies are the errors "
        "in:\n - Saving Data (usually on a network)\n\n - Pricing (rounding costs and/or prices, typically a few "
        "cents)\n - Converting Data (from Tavrel DOS or other estimating software)\nTo fix discrepancies:\n - Click OK "
        "now, then click 'Fix Discrepancies'.\n"));
    SetNoticeButton(kFixNotice, kQuietColour);
}

void CViewJobs::OnFixDiscrepancies()
{
    if (platform::Prompt::messageBox(
            QStringLiteral("The 'Fix Discrepancies' process will set the:\n\nJob Cost    \t = The sum of its service "
                           "costs\nJob Subtotal\t = The sum of its service prices\n\nDo you want to fix the "
                           "discrepancies now?"),
            QString(), platform::MB_YESNO) != platform::IDYES)
        return;
    std::vector<qint32> jobs;
    for (std::int64_t key : ListedKeys(false))
        jobs.push_back(qint32(key));
    // Each job gets the money the job window computes from the same rows:
    // cost and subtotal from its services (negative lines included), then
    // discount, commission, taxes and balance.
    int fixed = 0;
    for (qint32 jobId : jobs) {
        m_jobSet.m_strFilter = QStringLiteral("Jobs.JobID = %1").arg(jobId);
        m_jobSet.m_strSort.clear();
        if (!m_jobSet.RequeryOrOpen(true))
            continue;
        // Credit and credited invoices carry no amounts of their own.
        if (m_jobSet.IsCreditOrCredited())
            continue;
        const std::vector<JobItemRow> rows = ReadJobItemRows(m_jobSet.m_pDatabase, jobId);
        if (std::none_of(rows.begin(), rows.end(), [](const JobItemRow &row) { return row.serNo > 0; }))
            continue;
        JobItemSums sums = SumJobItems(rows, m_jobSet.IsCreditInvoice());
        // The fix writes the sum of the prices: services that are all No
        // Charge sum to nothing, not to the job window's No Charge marker.
        if (sums.subtotal == Money::noChargeMarker() || sums.subtotal == -Money::noChargeMarker())
            sums.subtotal = Money();
        ApplyJobItemSums(m_jobSet, sums, false);
        if (m_jobSet.SaveRecord(0))
            ++fixed;
    }
    FillList();
    platform::Prompt::messageBox(QStringLiteral("Fixed %1 of %2 jobs!").arg(fixed).arg(int(jobs.size())));
}

void CViewJobs::OnSummary()
{
    if (!(QApplication::keyboardModifiers() & Qt::ControlModifier)) {
        ShowSummary(QStringLiteral("Jobs"),
                    QStringLiteral("SELECT JobTypes.Name, Count(Jobs.JobNo) AS [Count] FROM Jobs INNER JOIN JobTypes ON "
                                   "Jobs.JobType = JobTypes.JobType GROUP BY JobTypes.Name, JobTypes.JobType ORDER BY "
                                   "JobTypes.JobType"));
        return;
    }
    CXDaoSet check;
    check.Open(CXDaoSet::dbOpenSnapshot,
               QStringLiteral("SELECT JobTypes.Name FROM (Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) INNER JOIN "
                              "JobTypes ON Jobs.JobType = JobTypes.JobType WHERE (((Jobs.Creator) Is Null Or "
                              "(Jobs.Creator)<98)) GROUP BY JobTypes.Name, JobTypes.JobType HAVING "
                              "(Sum(IIf(Items.SerNo=0 and (Items.Price>0.001 or Items.Price<-0.001),Items.Price,0))-"
                              "Sum(IIf(Items.SerNo>0 and (Items.Price>0.001 or Items.Price<-0.001),Items.Price,0))) "
                              "not between -0.001 and 0.001 ORDER BY "
                              "JobTypes.JobType"));
    if (!check.IsOpen() || check.IsEmptySet()) {
        platform::Prompt::messageBox(QStringLiteral("Item Prices are OK!"));
        return;
    }
    QString text = QStringLiteral("Following job types have discrepancies:\n\n");
    for (; !check.IsEOF(); check.MoveNext()) {
        QString name;
        check.GetFieldString(0, name);
        text += QStringLiteral("\t") + name + QStringLiteral("\n");
    }
    text += QStringLiteral("\nTo see the list of the Job/Items with discrepancies:\n\n1. Click 'Discrepancies' of job "
                           "type listed\n2. Select 'Item Price is not equal to sum of Service prices'");
    platform::Prompt::messageBox(text);
}
