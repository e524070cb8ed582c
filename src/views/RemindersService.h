#pragma once

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <functional>

class CXRibbon;
class QWidget;

// The reminders list of a view or of one record. The list itself belongs to
// production; the views and record windows reach it through this slot, which
// the program's shell fills at start-up.
struct RemindersRequest
{
    qint32 viewId = 0;  // the area: its view's command id (30001 jobs, ...)
    qint32 refId = 0;   // the record of the area; 0 for the whole area
    QString caption;    // the view's name, or the record's caption
    int hue = 210;      // colour of the caller's ribbons
};

struct RemindersAnswer
{
    int result = 2;           // 1 when the user chose to open the selected reference
    qint32 selectedRef = 0;   // the reference of the selected reminder in the caller's area
    bool changed = false;     // a reminder was saved, re-stated or deleted
};

using RemindersOpener = std::function<RemindersAnswer(const RemindersRequest &request, QWidget *parent)>;
void SetRemindersOpener(RemindersOpener opener);

// Opens the reminders list; without an opener says that it is not available.
// Afterwards, when something changed, the ribbon's reminders item shows the
// new counts.
RemindersAnswer ShowReminders(const RemindersRequest &request, QWidget *parent, CXRibbon *ribbon);

// Shows on the ribbon's reminders item how many reminders of the area (or
// record) are due today or earlier and how many are still to do; with `open`
// the reminders list opens by itself when something is due and the
// workstation asked for that.
void UpdateReminderCounts(CXRibbon *ribbon, qint32 viewId, qint32 refId, bool open = false);
