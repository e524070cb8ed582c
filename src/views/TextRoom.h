#pragma once

class CXRibbon;
class QString;
class QSize;
class QTreeWidget;
class QWidget;

// The largest client size a window of the program takes on its screen: the
// screen's free area less the window's title bar and borders (the smallest
// screen the program asks for, 1024 x 768, when the window has no screen
// yet). Wider content scrolls inside the window.
QSize WindowRoom(const QWidget *window);

// How many pixels wider the dialog's top ribbon must be for its title item
// (30281, without a picture) to show `title` whole in the application font
// `font`; 0 when it fits. Never more than the screen beside the dialog
// holds.
int TitleShortfall(const CXRibbon &ribbon, const QString &title, int font, const QWidget *dialog);

// How many pixels wider the tree must be for its widest entry (with its
// indent, picture and margins, collapsed or not) to read whole beside a
// vertical scroll bar; 0 when every entry fits.
int TreeTextShortfall(const QTreeWidget &tree);
