#pragma once

#include <QtCore/QRectF>

class QPainter;

// The program's own pictures of the shared image lists, drawn as simple vector
// glyphs so they stay sharp at the three list sizes (18, 32 and 64 pixels).
// List 131 holds the small pictures of trees, grids, lists and ribbons, list 132
// the button pictures, list 133 the large pictures (people, products, empty
// tables). An index without a picture of its own gets a plain coloured badge,
// so every index a caller may use draws something recognisable.

// Number of images in each list; indexes from 0 to the count - 1 are valid.
int IconGlyphCount(int listId);

// Draws picture `index` of list `listId` (131, 132 or 133) filling `box`.
// Nothing is drawn for an index outside the list.
void DrawIconGlyph(QPainter &painter, const QRectF &box, int listId, int index);
