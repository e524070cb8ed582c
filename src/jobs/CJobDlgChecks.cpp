// The job window's missing-data check: what the shop requires of an order or
// quote and is not there yet, offered as a list whose ticked entries run as
// the window's commands one after another.
#include "jobs/CJobDlg.h"

#include "data/CJobSet.h"
#include "data/OptionsAndLookups.h"
#include "jobs/MissingJobData.h"
#include "platform/Prompt.h"
#include "views/CDlgOptions.h"

#include <QtCore/QMetaObject>
#include <QtCore/QPointer>

namespace {

constexpr int kRequiredDataOption = 44308;
constexpr int kChoiceMode = 11;

} // namespace

void CJobDlg::CheckMissingData()
{
    CJobSet &job = *m_pJob;
    const bool opening = m_bFirstCheckPending;
    if (isPreview() || job.m_JobType > CJobSet::Quote)
        return;
    const qint32 bits = GetOptionValue(kRequiredDataOption + job.m_JobType, 0);
    QString shipBy;
    job.GetViaDueName(shipBy);
    if (shipBy.isEmpty())
        shipBy = QStringLiteral("?"); // no such shipping method
    const QList<MissingDataEntry> entries = FindMissingJobData(job, m_nItems, bits, shipBy);
    int counted = 0;
    for (const MissingDataEntry &e : entries)
        counted += e.counted ? 1 : 0;
    m_bFirstCheckPending = false;
    // Opening a job says nothing unless something that counts is missing.
    if (opening && counted == 0)
        return;
    if (entries.isEmpty()) {
        platform::Prompt::messageBox(QStringLiteral("No missing data. All 'required' data has been entered."));
        return;
    }
    CDlgOptions choices(QStringLiteral("What would you like to do next?"),
                        QStringLiteral("Tavrel will help you walk-through the checked items."), kChoiceMode, this);
    choices.AddCheckGroup(QStringLiteral("Check the data you want to complete:"), kChoiceMode);
    for (const MissingDataEntry &e : entries)
        choices.AddEntry(e.command, e.text, e.ticked ? 1 : 0);
    if (choices.DoModal() != IDOK_RESULT)
        return;
    // The ticked commands run from the event loop once the choice has closed,
    // one after another as if the user had chosen them in turn: each waits
    // until the window the one before it opened has been closed. Queued one by
    // one they would all open at once, the later ones inside the first one's
    // modal loop and stacked on top of it.
    QList<int> commands;
    for (int i = 0; i < choices.GetEntryCount(); ++i) {
        const CListItem &entry = choices.entry(i);
        if (entry.m_value != 0 && entry.number(1) != 0)
            commands.append(entry.m_value);
    }
    if (commands.isEmpty())
        return;
    QPointer<CJobDlg> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, commands] {
            for (int command : commands) {
                if (!self || !self->isVisible())
                    return; // the window was closed by one of them
                self->SendCommand(command);
            }
        },
        Qt::QueuedConnection);
}
