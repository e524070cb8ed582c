#pragma once

#include <QtCore/QtGlobal>

class QWidget;

// The print command of the jobs view and the job window for one job: checks
// the job's money, asks which document and how to print it, and prints (one
// document per selected row). The document choice of the caller (0 none, -1
// the job ticket, -2 the customer documents, -3 and -4 further
// preselections) preselects the list. Returns a command for the caller
// (30103 open the job to complete it, 30108 mail the attachment) or 0.
int PrintJobDocuments(int documentChoice, int branch, int entry, qint32 jobId, QWidget *list, QWidget *view);

// Puts the job document printing into the jobs' hooks.
void InstallJobDocumentPrinting();
