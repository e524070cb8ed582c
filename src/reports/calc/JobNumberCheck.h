#pragma once

#include <QtCore/QList>
#include <QtCore/QString>

#include <cstdint>

class CReportRun;

// "Special Reports" / "Missing/Duplicate Jobs" (2602): walks the job numbers
// of orders and history jobs in ascending order and lists every gap, every
// repeated number and every credited job, with the counts at the end. The
// chosen period plays no part.
bool ReportJobNumberCheck(CReportRun &run);

// The walk itself, on job numbers in ascending order with their creator
// codes (98, the letter b, marks a credited job).
struct JobNumberFinding
{
    std::int32_t jobNo = 0;
    QString status;
};
struct JobNumberCheck
{
    QList<JobNumberFinding> findings;
    std::int64_t missing = 0;
    int duplicates = 0;
    int credited = 0;
    std::int32_t first = 0;
    std::int32_t last = 0;
};
struct JobNumberRecord
{
    std::int32_t jobNo = 0;
    std::int32_t creator = 0;
};
JobNumberCheck CheckJobNumbers(const QList<JobNumberRecord> &records);
