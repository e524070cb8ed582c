#pragma once

#include <QtCore/QString>

#include <functional>

class CXListCtrl;

// Exporting a record list to a file belongs to the exchange area above the
// views. The views and dialogs call through this one slot, which the shell
// fills at start-up; while it is empty they say that exporting is not
// available.
//
// Arguments: the calling view's command id (0 from a dialog), the shown
// list's branch and entry, the proposed file name, the list, whether every
// row goes without asking, and the format (1 tab, 2 comma, 3 and 4 the
// accounting files, which also offer every file type).
using ListExporter = std::function<void(int view, int branch, int entry, const QString &name, CXListCtrl *list,
                                        bool allRows, int format)>;

ListExporter &listExporter();

// A list as an XML document through a template whose name starts with the
// prefix (a view passes its name); the output name (a trailing blank adds
// today's date) and the document's heading.
using ListXmlExporter = std::function<void(const QString &prefix, const QString &name, const QString &heading)>;
ListXmlExporter &listXmlExporter();

// E-mail to the people behind a list's rows (exchange): the list, the view's
// id, the current row's key, the kind of template proposed ("Job", "Cus",
// "AR") and the document to attach (a PDF just printed, or empty).
using ListEmailer = std::function<void(CXListCtrl *list, int viewId, qint32 key, const QString &kind,
                                       const QString &attachment)>;
ListEmailer &listEmailer();
