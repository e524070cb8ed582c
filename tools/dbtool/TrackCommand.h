#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// clock DB --now "MM/DD/YYYY HH:MM" EMPNO ACTION [ID]: one clock action of the
// time-tracking view for that operator at that moment (day, break, end, task
// ITEMID, office DEPID, pause/resume/finish TIMEID, scan ITEMID [--pending ID]);
// every question is answered Yes, every message printed as "PROMPT: " + text,
// then the Times rows the action added or changed.
int runClockCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// tracking DB CODE [--from D --to D] [--operator N] [--update | --close]: a
// list of the Close/Review mode (codes 9100-9105 and the reports 9201-9406),
// after updating the job services or closing the tasks of all its rows;
// prints the list's titles, then its cells tab-separated.
int runTrackingCommand(const QStringList &args, QTextStream &out, QTextStream &err);
