#pragma once

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// A job's type (column JobType of table Jobs): 0 order, 1 quote, 2 template,
// 3 history, 4 and 5 an order or quote from the web portal. Every list,
// dialog, document and chart takes the same name, image and colour for it.

void GetJobTypeName(QString &out, int type);
// Index of the type's image among the job-type images of the small image list.
int GetJobTypeImage(int type);
// The same image in the second set of job-type images (24 further on).
int GetJobTypeImageAlt(int type);
// Colour hue in degrees (0-360).
int GetJobTypeHue(int type);
// The JobType of a job; 0 (Order) for a job that does not exist.
quint8 GetJobType(qint32 jobId);

// The kind of a service category for the schedule: 2 paper (101-199),
// 0 press (201-299), 1 any other.
int GetCategoryKind(qint32 catNo);
