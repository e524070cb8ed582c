#include "controls/CXBitmap.h"

#include <QtCore/QBuffer>
#include <QtGui/QGuiApplication>
#include <QtGui/QImageWriter>
#include <QtGui/QPaintDevice>
#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtGui/QScreen>

#include <algorithm>

QByteArray CXBitmap::DDBToDIB() const
{
    if (m_image.isNull())
        return QByteArray();
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(m_image))
        return QByteArray();
    // A bitmap file is a 14-byte file header followed by the packed form.
    constexpr int kFileHeader = 14;
    if (file.size() <= kFileHeader)
        return QByteArray();
    return file.mid(kFileHeader);
}

QRect CXBitmap::PrintDIB(QPainter &printer, const QRect &rect, std::uint32_t format, int screenDpi) const
{
    if (m_image.isNull() || !printer.device())
        return QRect();
    if (screenDpi <= 0) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        screenDpi = screen ? int(screen->logicalDotsPerInchX()) : 96;
    }
    if (format > 0x7FFFFFFFu) {
        screenDpi = int(format - 0x7FFFFFFFu);
        format = 2080;
    }
    const int printerDpi = printer.device()->logicalDpiX();
    const double fit = std::min(double(rect.width()) / m_image.width(), double(rect.height()) / m_image.height());
    const double natural = double(printerDpi) / double(std::max(1, screenDpi));
    const double scale = std::min(fit, natural);
    const int w = int(m_image.width() * scale);
    const int h = int(m_image.height() * scale);
    int x = rect.left();
    int y = rect.top();
    const int spareW = rect.width() - w;
    const int spareH = rect.height() - h;
    if (format & 1)
        x += spareW / 2;
    else if (format & 2)
        x += spareW;
    if (format & 4)
        y += spareH / 2;
    else if (format & 8)
        y += spareH;
    const QRect target(x, y, w, h);
    printer.drawImage(target, m_image);
    return target;
}

bool CXBitmap::CaptureScreen(const QRect &rect)
{
    QScreen *screen = QGuiApplication::screenAt(rect.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    const QRect local = rect.translated(-screen->geometry().topLeft());
    const QPixmap shot = screen->grabWindow(0, local.x(), local.y(), local.width(), local.height());
    if (shot.isNull())
        return false;
    m_image = shot.toImage();
    return true;
}
