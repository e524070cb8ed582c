#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QRect>
#include <QtGui/QImage>

#include <cstdint>

class QPainter;

// A picture with three helpers: its packed device-independent form (header
// and pixel rows, as the clipboard and printers take it), printing it scaled
// on a printer, and capturing a rectangle of the screen into it.
class CXBitmap
{
public:
    CXBitmap() = default;
    explicit CXBitmap(const QImage &image) : m_image(image) {}

    const QImage &image() const { return m_image; }
    void setImage(const QImage &image) { m_image = image; }
    bool isEmpty() const { return m_image.isNull(); }

    // The packed form: the 40-byte information header, the colour table when
    // there is one, then the pixel rows. Empty when there is no picture.
    QByteArray DDBToDIB() const;

    // Prints the picture into `rect` of the printer's painter, at most at its
    // size on the screen and shrunk to fit the rect. A format above
    // 0x7FFFFFFF carries the source resolution (format - 0x7FFFFFFF dots per
    // inch) instead of alignment flags; otherwise bit 1 centres and bit 2
    // right-aligns the spare width, bit 4 centres and bit 8 bottom-aligns the
    // spare height. Returns the rectangle printed (empty when nothing).
    QRect PrintDIB(QPainter &printer, const QRect &rect, std::uint32_t format, int screenDpi = 0) const;

    // Takes a rectangle of the screen (global coordinates).
    bool CaptureScreen(const QRect &rect);

private:
    QImage m_image;
};
