#include "production/ProductionInstall.h"

#include "jobs/JobHooks.h"
#include "production/reminders/CTodoList.h"
#include "production/schedule/CScheduleJob.h"
#include "views/RemindersService.h"

void InstallProduction(CZqApp &)
{
    GetJobHooks().scheduleJob = [](qint32 jobId, QWidget *parent) {
        return CScheduleJob::ScheduleOrder(jobId, 0, 0, parent);
    };
    SetRemindersOpener([](const RemindersRequest &request, QWidget *parent) {
        CTodoList list(0, request.viewId, request.refId, request.hue, parent);
        list.m_strCaption = request.caption;
        RemindersAnswer answer;
        answer.result = list.DoModal();
        answer.selectedRef = list.selectedRef();
        answer.changed = list.changed() != 0;
        return answer;
    });
}
