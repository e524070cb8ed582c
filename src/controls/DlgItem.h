#pragma once

#include <QtCore/QString>

class QWidget;

// Controls of a dialog are known by their control ids, as the program's
// dialogs number them. The id is kept on the widget; a dialog finds its
// controls (and the placeholders that the program's own controls replace)
// by it.
void SetDlgCtrlID(QWidget *widget, unsigned id);
// 0 for a widget without an id.
unsigned GetDlgCtrlID(const QWidget *widget);
// The descendant of `parent` with that id; null when there is none.
QWidget *GetDlgItem(const QWidget *parent, unsigned id);
// The text a control shows: a label's or button's text, an edit's text, a
// group box's title, otherwise the window title.
QString GetControlText(const QWidget *widget);
