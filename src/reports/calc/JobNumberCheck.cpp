#include "reports/calc/JobNumberCheck.h"

#include "controls/CXTable.h"
#include "data/DaoError.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/CReportRun.h"
#include "reports/calc/ReportReading.h"

namespace {

constexpr std::int32_t kCreditedCreator = 98; // 'b'

} // namespace

JobNumberCheck CheckJobNumbers(const QList<JobNumberRecord> &records)
{
    JobNumberCheck check;
    std::int32_t previous = 0;
    bool first = true;
    for (const JobNumberRecord &rec : records) {
        const std::int32_t j = rec.jobNo;
        if (first) {
            check.first = j;
            previous = j - 1;
            first = false;
        }
        // Differences in 64 bits: numbers near the ends of the range cannot wrap.
        const std::int64_t gap = std::int64_t(j) - previous;
        if (rec.creator == kCreditedCreator) {
            // A credit invoice takes the next number of its own; the gap in
            // front of it is not examined.
            ++check.credited;
            check.findings.append({j, QStringLiteral("Credited Job")});
        } else if (gap == 0) {
            ++check.duplicates;
            check.findings.append({j, QStringLiteral("Duplicate!")});
        } else if (gap > 1) {
            check.missing += gap - 1;
            const std::int32_t from = previous + 1;
            check.findings.append({from, gap > 2 ? QStringLiteral("- Missing %1 Jobs   %2 through %3")
                                                       .arg(gap - 1)
                                                       .arg(from)
                                                       .arg(j - 1)
                                                 : QStringLiteral("- Missing")});
        }
        previous = j;
        check.last = j;
    }
    return check;
}

bool ReportJobNumberCheck(CReportRun &run)
{
    CXTable &t = run.table();
    t.SetSize(0, 2);
    t.SetColumnName(0, QStringLiteral("Job No"), 10, 4);
    t.SetColumnName(1, QStringLiteral("Status"), 90, 10);

    QList<JobNumberRecord> records;
    try {
        platform::Recordset set(run.database());
        set.open(platform::Recordset::Type::Snapshot,
                 QStringLiteral("SELECT Jobs.JobNo AS [Job Number], Jobs.Creator AS [Creator] FROM Jobs WHERE ((Jobs.JobType=0 "
                                "Or Jobs.JobType=3) AND (Jobs.JobNo > 0)) ORDER BY Jobs.JobNo"));
        for (; !set.isEOF(); set.moveNext())
            records.append({set.value(0).toInt(), set.value(1).toInt()});
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot read the job numbers"));
        return true;
    }

    const JobNumberCheck check = CheckJobNumbers(records);
    for (const JobNumberFinding &f : check.findings) {
        const int r = t.AddRow(0);
        t.SetCellLong(r, 0, f.jobNo);
        t.SetCellText(r, 1, f.status);
    }
    run.setSubtitle(QStringLiteral("Job Number Range: %1 through %2").arg(check.first).arg(check.last));
    // The counts close the list; they are not findings of their own.
    t.SetCellTextGrow(QStringLiteral("Total"), 1, 1, 3);
    t.SetCellTextGrow(QStringLiteral("Missing: ") + QString::number(check.missing), 1, 1, CXTable::RowSpecial);
    t.SetCellTextGrow(QStringLiteral("Duplicate: ") + QString::number(check.duplicates), 1, 1, CXTable::RowSpecial);
    t.SetCellTextGrow(QStringLiteral("Credited: ") + QString::number(check.credited), 1, 1, CXTable::RowSpecial);
    return true;
}
