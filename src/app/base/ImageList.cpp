#include "app/base/ImageList.h"

#include "app/base/IconGlyphs.h"

#include <QtGui/QPainter>

ImageList::ImageList(unsigned id, int size) : m_id(id), m_size(size) {}

int ImageList::imageCount() const
{
    return IconGlyphCount(int(m_id));
}

QPixmap ImageList::pixmap(int index) const
{
    return pixmap(index, m_size);
}

QPixmap ImageList::pixmap(int index, int size) const
{
    if (index < 0 || index >= imageCount() || size <= 0)
        return QPixmap();
    const qint64 key = (qint64(size) << 32) | quint32(index);
    auto it = m_cache.constFind(key);
    if (it != m_cache.constEnd())
        return *it;
    QPixmap image(size, size);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        DrawIconGlyph(painter, QRectF(0, 0, size, size), int(m_id), index);
    }
    m_cache.insert(key, image);
    return image;
}

bool ImageList::draw(QPainter &painter, int index, const QPoint &at, bool blend25) const
{
    const QPixmap image = pixmap(index);
    if (image.isNull())
        return false;
    if (!blend25) {
        painter.drawPixmap(at, image);
        return true;
    }
    // Pale the picture: white laid over its own pixels only.
    QPixmap pale = image;
    {
        QPainter p(&pale);
        p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        p.fillRect(pale.rect(), QColor(255, 255, 255, 150));
    }
    painter.drawPixmap(at, pale);
    return true;
}
