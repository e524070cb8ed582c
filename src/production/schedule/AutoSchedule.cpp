#include "production/schedule/AutoSchedule.h"

#include "data/CItemSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"

#include <algorithm>

namespace {

constexpr qint32 kProofCategory = 7;
constexpr qint32 kAfterProofCategory = 6;

bool isPaperCategory(qint32 catNo)
{
    return catNo >= 101 && catNo <= 199;
}

bool isPrintingCategory(qint32 catNo)
{
    return catNo >= 201 && catNo <= 399;
}

bool isItemRow(const AutoScheduleRow &row)
{
    return row.key != 0 && row.serNo == 0;
}

// The item's proof service: the first proofing row among the item's own
// rows, looked for from the row right below the item's row (a proof is
// often the item's first service). Rows of the next item (and the total row
// that ends this one) are never taken.
int findProofRow(const QList<AutoScheduleRow> &rows, int itemRow)
{
    for (int r = itemRow + 1; r < rows.size(); ++r) {
        const AutoScheduleRow &row = rows[r];
        if (row.key == 0 || isItemRow(row))
            return -1;
        if (row.catNo == kProofCategory)
            return r;
    }
    return -1;
}

} // namespace

int DaysToNextWorkday(const QDate &date, bool saturdayWorkday, bool sundayWorkday)
{
    if (!date.isValid())
        return 0;
    if (date.dayOfWeek() == Qt::Sunday && !sundayWorkday)
        return 1;
    if (date.dayOfWeek() == Qt::Saturday && !saturdayWorkday)
        return sundayWorkday ? 1 : 2;
    return 0;
}

AutoSchedulePlan PlanAutoSchedule(const AutoScheduleInput &input)
{
    AutoSchedulePlan plan;
    if (!input.dateIn.isValid())
        plan.missingDate = QStringLiteral("In");
    else if (!input.dateDue.isValid())
        plan.missingDate = QStringLiteral("Due");
    else if (input.dateDue < input.dateIn)
        plan.missingDate = QStringLiteral("Due = DateIn or later");
    else if (input.dateDue < input.today)
        plan.missingDate = QStringLiteral("Due = Today or later");
    else if (input.dateIn.daysTo(input.today) > kLastScheduleDay - 1)
        // A day is one byte counted from DateIn: today would have no day.
        plan.missingDate = QStringLiteral("In = Today - %1 days or later").arg(kLastScheduleDay - 1);
    if (!plan.missingDate.isEmpty())
        return plan;

    const qint64 maxOffset = input.dateIn.daysTo(input.dateDue);
    const qint64 minOffset = input.dateIn.daysTo(input.today);
    const qint64 proofOffset =
        input.dateProof.isValid() && input.dateProof >= input.dateIn ? input.dateIn.daysTo(input.dateProof) : 0;

    qint32 previousDepartment = 0;
    qint64 offset = 0;
    int proofRow = -1;
    qint64 proofDay = 0;
    for (int r = 0; r < input.rows.size(); ++r) {
        const AutoScheduleRow &row = input.rows[r];
        if (row.key == 0)
            continue;
        if (row.serNo == 0) {
            previousDepartment = 0;
            offset = 0;
            proofDay = proofOffset;
            proofRow = findProofRow(input.rows, r);
            if (proofRow >= 0 && input.rows[proofRow].days2 != 0)
                proofDay = input.rows[proofRow].days2 - 1;
            continue;
        }
        if (row.status == 0)
            continue; // done: left alone, and its department does not count
        const qint32 department = input.departments.value(row.catNo, 0);
        if (proofDay == 0) {
            if (department != previousDepartment)
                ++offset;
        } else if (row.catNo == kProofCategory) {
            offset = proofDay;
        } else if (row.catNo == kAfterProofCategory) {
            offset = proofDay + 1;
        } else if (isPaperCategory(row.catNo)) {
            offset = proofDay;
        } else if (isPrintingCategory(row.catNo)) {
            offset = proofDay + 1;
        } else {
            if (department != previousDepartment)
                ++offset;
            // Work before the proof is done by the proof day.
            if (proofRow >= 0 && r <= proofRow && offset > proofDay)
                offset = proofDay;
        }
        offset = std::min(offset, maxOffset);
        offset = std::max(offset, minOffset);
        offset += DaysToNextWorkday(input.dateIn.addDays(offset), input.saturdayWorkday, input.sundayWorkday);
        offset = std::max<qint64>(offset, 0);
        offset = std::min(offset, maxOffset);
        // A day is one byte: 0 means done and 255 no day, so an order that
        // runs longer than 254 days has its later work on day 254.
        offset = std::clamp<qint64>(offset, 0, kLastScheduleDay - 1);

        const quint8 day = quint8(offset + 1);
        plan.days.insert(r, day);
        if (day != row.status)
            plan.changes.append({r, row.key, day});
        previousDepartment = department;
    }
    return plan;
}

QString AutoScheduleDateQuestion(const QString &missingDate)
{
    return QStringLiteral("To Auto-Schedule, you must set Date ") + missingDate
           + QStringLiteral(".\n\nDo you want to set date(s)?");
}

QString AutoScheduleReport(int count)
{
    return QStringLiteral("Scheduled %1 Service(s).").arg(count);
}

ScheduleWriteResult WriteScheduledDays(const QList<AutoScheduleChange> &changes)
{
    ScheduleWriteResult result;
    if (changes.isEmpty())
        return result;
    // A failure is shown once the unit has rolled back.
    DeferredDaoErrors deferred;
    try {
        platform::Transaction unit(SharedDatabase());
        CItemSet item;
        for (const AutoScheduleChange &change : changes) {
            const int errorsBefore = DaoErrorCount();
            if (item.SetServiceStatus(change.day, 0, change.key) != 0) {
                ++result.written;
                continue;
            }
            if (DaoErrorCount() != errorsBefore) {
                result.failed = true;
                result.written = 0;
                return result; // the unit rolls back
            }
        }
        unit.commit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Items"));
        result.failed = true;
        result.written = 0;
    }
    return result;
}
