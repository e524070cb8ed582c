#include "app/base/ScheduleChecks.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "platform/Prompt.h"

#include <QtCore/QLocale>

#include <algorithm>

namespace {

constexpr int kLastDay = 254;

// Whole days from `from` to `to`, the fraction cut toward zero.
int wholeDays(const DateTime &to, const DateTime &from)
{
    return int(to.serial() - from.serial());
}

} // namespace

QString LocaleDateTimeText(const DateTime &value, bool dateOnly)
{
    const QLocale locale;
    QString text = locale.toString(value.date(), QLocale::ShortFormat);
    if (!dateOnly && value.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(value.time(), QLocale::ShortFormat);
    return text;
}

quint8 CheckCanSchedule(int scheduleCode, const DateTime &dateIn, const DateTime &dueDate, DateTime &serviceDate)
{
    using platform::Prompt;
    if (scheduleCode == 0 || scheduleCode == kUnscheduleCommand) {
        serviceDate = GetToday(0);
        return 0;
    }
    if (!dateIn.isValid()) {
        Prompt::messageBox(QStringLiteral("Sorry, you may not schedule if Order has no 'Date In'."));
        return kScheduleRefused;
    }
    serviceDate = GetToday(scheduleCode - kScheduleTodayCommand);
    int day = wholeDays(serviceDate, dateIn) + 1;
    QString reason;
    if (day < 1) {
        reason = QStringLiteral("earlier than\nJob Date Received: ") + LocaleDateTimeText(dateIn, false);
        day = 1;
    } else if (day <= kLastDay) {
        if (dueDate.isValid() && serviceDate > dueDate) {
            reason = QStringLiteral("later than\nJob Due Date: ") + LocaleDateTimeText(dueDate, false);
            // A due date before the date received still leaves day 1, never a
            // day number outside the schedule.
            day = std::clamp(wholeDays(dueDate, dateIn) + 1, 1, kLastDay);
        }
    } else {
        reason = QStringLiteral("254 days later than\nJob Date Received: ") + LocaleDateTimeText(dateIn, false);
        day = kLastDay;
    }
    if (!reason.isEmpty()) {
        serviceDate = dateIn.addDays(day - 1);
        const QString question = QStringLiteral("Sorry, you may not assign a Service Date ") + reason
            + QStringLiteral(".\n\nDo you want to set the Service Date to: ") + LocaleDateTimeText(serviceDate, true)
            + QLatin1Char('?');
        if (Prompt::messageBox(question, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
            return kScheduleRefused;
    }
    return quint8(day);
}

quint8 GetItemDeptColumn(qint32 jobId, quint8 itemNo, quint8 subNo)
{
    const CZqApp *app = ZqApp();
    if (!app)
        return kNoDepartmentColumn;
    const QString sql =
        QStringLiteral("SELECT ServiceDepartments.DepNo, Services.CatNo FROM (((Items INNER JOIN Jobs ON Items.JobID = "
                       "Jobs.JobID) INNER JOIN Services ON Items.SerNo = Services.SerNo) INNER JOIN ServiceCategories "
                       "ON Services.CatNo = ServiceCategories.CatNo) INNER JOIN ServiceDepartments ON "
                       "ServiceCategories.DepNo = ServiceDepartments.DepNo WHERE Items.JobID=%1 AND Items.ItemNo=%2 AND "
                       "Items.SubNo=%3 AND Items.SerNo>0 AND Items.Status>0 ORDER BY ServiceDepartments.SortNo, "
                       "ServiceCategories.SortNo")
            .arg(jobId)
            .arg(itemNo)
            .arg(subNo);
    const CZqApp::QueryResult result = app->ReadQuery(sql, 1);
    if (result.isEmpty())
        return kNoDepartmentColumn;
    const quint8 depNo = quint8(result.rows.first().value(0).toInt());
    return depNo != 0 ? quint8(depNo + 4) : kNoDepartmentColumn;
}
