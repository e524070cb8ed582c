#pragma once

class CXRibbon;
class QString;
class QTreeWidget;
class QWidget;

// How many pixels wider the dialog's top ribbon must be for its title item
// (30281, without a picture) to show `title` whole in the application font
// `font`; 0 when it fits. Never more than the screen beside the dialog
// holds.
int TitleShortfall(const CXRibbon &ribbon, const QString &title, int font, const QWidget *dialog);

// How many pixels wider the tree must be for its widest entry (with its
// indent, picture and margins, collapsed or not) to read whole beside a
// vertical scroll bar; 0 when every entry fits.
int TreeTextShortfall(const QTreeWidget &tree);
