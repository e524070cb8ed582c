#pragma once

#include <QtCore/QSize>
#include <QtCore/QStringList>

class QWidget;

// The texts of a window that do not fit their places as the window shows
// them: one line per cut text, naming the widget, the text and the room it
// has against the room it needs. Painted texts of the program's own controls
// (ribbons, strips, grids) are measured as they are drawn; labels, buttons,
// check boxes, group titles, list headers and cells, edit hints and tabs are
// measured against their widgets; every list, tree and grid cell in view is
// measured against its column (a tip that repeats the text does not make a
// cut cell readable); a widget reaching past its parent's edge counts as cut
// too. Hidden widgets and the parts of a scrolled area out of view are left
// out.
QStringList CutTexts(QWidget *window);

// The room a window has on the smallest screen the program asks for: 1024 x
// 768 less the window's title bar and borders.
QSize SmallestScreenRoom();

// The window's size against that room: one line when it is wider or taller
// (part of it would be off the screen), else empty.
QString OversizeWindow(const QWidget *window);
