#pragma once

#include <QtCore/QHash>
#include <QtCore/QPoint>
#include <QtCore/QSize>
#include <QtGui/QPixmap>

class QPainter;

// One of the application's shared image lists (131: 18 pixels, 132: 32 pixels,
// 133: 64 pixels). Images are square, addressed by index, and drawn on demand
// from the program's own glyphs; each rendered image is kept for reuse.
class ImageList
{
public:
    ImageList(unsigned id, int size);

    unsigned id() const { return m_id; }
    QSize iconSize() const { return QSize(m_size, m_size); }
    int imageCount() const;

    // The image at its list size; a null pixmap for an index outside the list.
    QPixmap pixmap(int index) const;
    // The image at another size (trees and pictures scaled into a box).
    QPixmap pixmap(int index, int size) const;

    // Draws image `index` with its top-left corner at `at`; with `blend25` the
    // image is paled towards white, as disabled buttons show it. False for an
    // index outside the list.
    bool draw(QPainter &painter, int index, const QPoint &at, bool blend25 = false) const;

private:
    unsigned m_id;
    int m_size;
    mutable QHash<qint64, QPixmap> m_cache;
};
