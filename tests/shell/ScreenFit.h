#pragma once

#include <QtCore/QStringList>

class QWidget;

// The texts of a window that do not fit their places as the window shows
// them: one line per cut text, naming the widget, the text and the room it
// has against the room it needs. Painted texts of the program's own controls
// (ribbons, strips, grids) are measured as they are drawn; labels, buttons,
// check boxes, group titles, list headers and cells, edit hints and tabs are
// measured against their widgets; a widget reaching past its parent's edge
// counts as cut too. Hidden widgets, the parts of a scrolled area out of
// view, and cells whose whole text is their tip are left out.
QStringList CutTexts(QWidget *window);
