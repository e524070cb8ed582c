#include "views/RemindersService.h"

#include "app/base/CZqApp.h"
#include "controls/CXRibbon.h"
#include "data/CTodoSet.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"

namespace {

RemindersOpener &opener()
{
    static RemindersOpener o;
    return o;
}

} // namespace

void SetRemindersOpener(RemindersOpener o)
{
    opener() = std::move(o);
}

RemindersAnswer ShowReminders(const RemindersRequest &request, QWidget *parent, CXRibbon *ribbon)
{
    if (!opener()) {
        platform::Prompt::messageBox(
            QStringLiteral("The reminders list is not yet available in this version of Tavrel."), QString(),
            platform::MB_OK | platform::MB_ICONINFORMATION);
        return {};
    }
    RemindersAnswer answer = opener()(request, parent);
    if (answer.changed)
        UpdateReminderCounts(ribbon, request.viewId, request.refId);
    return answer;
}

void UpdateReminderCounts(CXRibbon *ribbon, qint32 viewId, qint32 refId, bool open)
{
    if (!ribbon || !SharedDatabase().isOpen())
        return;
    CZqApp *app = ZqApp();
    const int choice = app ? app->GetSettingInt(QStringLiteral("Reminder Default"), 29831) : 29831;
    const bool allSections = app && refId == 0 && app->GetSettingInt(QStringLiteral("Reminder Section"), 0) == 1;
    const qint32 view = allSections ? 0 : viewId;
    try {
        // Due: the chosen list's reminders due today or earlier; the total
        // counts everyone's reminders still to do.
        CTodoSet todos;
        const int due = todos.OpenList(view, refId, choice, true);
        const int total = todos.OpenList(view, refId, CTodoSet::EveryonesToDo, false);
        ribbon->SetReminderCounts(due, total, open);
    } catch (const platform::DbException &) {
        // The counts stay as they were.
    }
}
