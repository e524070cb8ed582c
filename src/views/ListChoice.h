#pragma once

class CView0;
class QString;
class QWidget;

// What a list view's commands over chosen rows say, and where its keys go.

// The keys go to the view: to its list when the list shows, else to the
// view itself (a view that is no list view takes them itself).
void FocusViewList(QWidget *view);

// Says that the list was read again as its caption names it and that the
// row (or rows) must be chosen anew.
void TellListReadAgain(const CView0 &view, const QString &rows);

// For Open: true, after telling the user, when the list shows rows and none
// is chosen (none current, none highlighted), or when the row chosen was one
// of another list than the caption's (the list is read again now).
bool RefusedWithNoRowChosen(CView0 &view);
