#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>

class QWidget;

// The time tracker's setup for all workstations: the options sheet (the two
// passwords, the working hours and what starting and finishing a job task
// does) and the editors of the time groups and office tasks.
namespace track {

// The fifteen option entries with their captions as the options sheet shows
// them (headings at 0, 3, 7 and 12).
QString TrackOptionCaption(int entry);

// The options sheet, after the level-1 password check: it shows the passwords
// (rows 221 and 222) and the options (settings row 221) as the file holds
// them when it opens; on OK what was changed there is written onto those rows
// as they are by then, and the options are loaded again. True when saved.
bool RunTrackOptions(int hue, QWidget *parent);

// The list editor of table TimeDepartments rows of one type (0 time groups,
// 2 office tasks), at most `limit` rows, new IDs from keyBase + 1. True when saved.
bool RunTimeDepartments(const QString &title, int type, int keyBase, int limit, int hue, QWidget *parent);

} // namespace track
