#pragma once

#include <QtCore/QString>

class QWidget;

// Dialog controls carry their ids in the one property the data layer also
// uses (data/ControlIds.h), so a control set up by any layer is found by all.
void SetDlgCtrlID(QWidget *widget, unsigned id);
// 0 for a widget without an id.
unsigned GetDlgCtrlID(const QWidget *widget);
// The descendant of `parent` with that id; null when there is none.
QWidget *GetDlgItem(const QWidget *parent, unsigned id);
// The text a control shows: a label's or button's text, an edit's text, a
// group box's title, a combo box's current text, otherwise the window title.
QString GetControlText(const QWidget *widget);
