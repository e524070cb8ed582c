#pragma once

class QWidget;

// Dialog controls keep the ids the program stores and tests, as the integer
// property "controlId". Ids 1401 to 1409 are list boxes, every other id that
// is filled with a list is a combo box.

void SetControlId(QWidget *control, int id);
// The dialog's descendant with that id, or nullptr.
QWidget *FindDialogControl(QWidget *dialog, int id);
bool IsListBoxId(int id);
