#include "estimating/CutLayout.h"

#include "app/base/Appearance.h"
#include "app/base/QuantityText.h"

#include <QtGui/QBrush>
#include <QtGui/QFont>
#include <QtGui/QPagedPaintDevice>
#include <QtGui/QPainter>
#include <QtGui/QPen>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Positions advance by repeated addition of 32-bit floats, so a piece
// whose far edge lands within this of the sheet's edge still fits.
constexpr float kTolerance = 0.0001f;

int toPixels(double value)
{
    return int(std::trunc(value));
}

// A pixel edge of a placed piece: edges after the first start one pixel
// earlier, so neighbouring outlines share their line.
int leadingEdge(float position, double scale)
{
    return toPixels(double(position) * scale) - (position > 0 ? 1 : 0);
}

// The integer at the start of a text (blanks and a sign allowed); 0 when
// there is none.
int leadingInt(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('-') || t[end] == QLatin1Char('+')))
        ++end;
    while (end < t.size() && t[end].isDigit())
        ++end;
    return t.left(end).toInt();
}

// The decimal number at the start of a text; 0 when there is none.
double leadingDouble(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('-') || t[end] == QLatin1Char('+')))
        ++end;
    while (end < t.size() && (t[end].isDigit() || t[end] == QLatin1Char('.')))
        ++end;
    return t.left(end).toDouble();
}

} // namespace

void CutLayout::Reset()
{
    m_sheetWidth = m_sheetHeight = 0;
    m_pieceWidth = m_pieceHeight = 0;
    m_nPieces = 0;
    m_nCuts = 0;
    m_bCapped = false;
    m_bGripTop = m_bGripLeft = false;
    m_rects.clear();
}

bool CutLayout::CalcLayout(QString &sheet, QString &piece, int options, float trim)
{
    Reset();
    float W = 0, H = 0, w = 0, h = 0;
    ParseSize(sheet, W, H);
    ParseSize(piece, w, h);
    // A negative side is no size at all: the placement below only works
    // forward.
    W = std::max(W, 0.0f);
    H = std::max(H, 0.0f);
    w = std::max(w, 0.0f);
    h = std::max(h, 0.0f);
    if (W == 0 || H == 0 || w == 0 || h == 0)
        return false;
    sheet = FormatSize(W, H);
    piece = FormatSize(w, h);

    // Turn a piece that does not fit; one that fits in neither orientation
    // is the whole sheet.
    if (w > W || h > H)
        std::swap(w, h);
    if (w > W || h > H) {
        w = W;
        h = H;
        piece = FormatSize(w, h);
    }
    m_sheetWidth = W;
    m_sheetHeight = H;
    m_pieceWidth = w;
    m_pieceHeight = h;

    // Drawing scale: room above for the width label and at the right for
    // the height label.
    const int areaLeft = m_area.left();
    const int areaTop = m_area.top() + 15;
    const int areaWidth = m_area.width() - 32;
    const int areaHeight = m_area.height() - 15;
    const double scale = std::max(0.0, std::min(double(areaWidth) / W, double(areaHeight) / H));
    m_rects.push_back({areaLeft, areaTop, areaLeft + toPixels(double(W) * scale), areaTop + toPixels(double(H) * scale)});

    float gapX = (options & TrimInsideVertical) ? trim : 0.0f;
    float gapY = (options & TrimInsideHorizontal) ? trim : 0.0f;
    gapX = std::max(gapX, 0.0f);
    gapY = std::max(gapY, 0.0f);
    const bool multi = options & MultiplePieces;
    float y = 0;
    float rowBottom = h;
    float columnStart = 0;
    float usedRight = 0;
    float usedBottom = 0;
    float x = 0;

    for (int pass = 1; pass <= 2; ++pass) {
        int rows = 0;
        int placed = 0;
        while (rowBottom <= H + kTolerance && placed < kMaxPiecesPerPass) {
            x = columnStart;
            float xRight = x + w;
            const int pixelTop = leadingEdge(y, scale);
            const int pixelBottom = toPixels(double(rowBottom) * scale);
            ++rows;
            int columns = 0;
            while (xRight <= W + kTolerance && placed < kMaxPiecesPerPass) {
                ++m_nPieces;
                ++placed;
                ++columns;
                m_rects.push_back({leadingEdge(x, scale), pixelTop, toPixels(double(xRight) * scale), pixelBottom});
                usedRight = std::max(usedRight, xRight);
                usedBottom = std::max(usedBottom, rowBottom);
                // The first row of a pass counts the cuts across: one after
                // each piece that does not end on the sheet's edge, and the
                // second cut of a gutter when another piece follows it.
                if (rows == 1 && xRight < W) {
                    ++m_nCuts;
                    if (gapX > 0 && xRight + gapX + w <= W)
                        ++m_nCuts;
                }
                x = x + w + gapX;
                xRight = x + w;
            }
            if (placed >= kMaxPiecesPerPass && xRight <= W + kTolerance)
                m_bCapped = true;
            // Cuts down: under a row that does not end on the sheet's edge,
            // one per strip, or one stroke for all strips with multi-cut.
            if (rowBottom < H) {
                const bool anotherRow = rowBottom + gapY + h <= H;
                m_nCuts += (!multi && anotherRow) ? columns : 1;
                if (gapY > 0 && anotherRow)
                    m_nCuts += multi ? 1 : columns;
            }
            y = y + h + gapY;
            rowBottom = y + h;
        }
        // Stopped by the bound while another row would still fit.
        if (placed >= kMaxPiecesPerPass && rowBottom <= H + kTolerance)
            m_bCapped = true;
        if (pass == 2 || !(options & MixedGrain) || m_nPieces == 0)
            break;

        // The second pass turns the piece and fills what is left: the
        // strip to the right of the block, else the band below it.
        x -= gapX;
        y -= gapY;
        std::swap(gapX, gapY);
        x += gapX;
        y += gapY;
        std::swap(w, h);
        if (h < H && x + w <= W) {
            columnStart = x;
            y = 0;
            rowBottom = h;
        } else if (w < W && y + h <= H) {
            rowBottom = y + h;
        } else {
            break;
        }
    }

    if (m_nPieces > 0 && (options & (CenterHorizontal | CenterVertical))) {
        const float across = (options & CenterHorizontal) ? std::max(0.0f, (W - usedRight) / 2) : 0.0f;
        const float down = (options & CenterVertical) ? std::max(0.0f, (H - usedBottom) / 2) : 0.0f;
        const int dx = toPixels(double(across) * scale + 0.49);
        const int dy = toPixels(double(down) * scale + 0.49);
        for (std::size_t i = 1; i < m_rects.size(); ++i) {
            m_rects[i].left += dx;
            m_rects[i].right += dx;
            m_rects[i].top += dy;
            m_rects[i].bottom += dy;
        }
        if (across > 0)
            ++m_nCuts;
        if (down > 0)
            ++m_nCuts;
    }
    return true;
}

QRect CutLayout::DrawLayout(QPainter &painter, int xOffset, int yOffset, int screenDpiX, int screenDpiY) const
{
    if (m_rects.empty())
        return QRect();
    QPaintDevice *device = painter.device();
    // Paper and PDF pages are paged devices; screens and images are not.
    const bool printer = dynamic_cast<QPagedPaintDevice *>(device) != nullptr;
    const int printerDpiX = printer ? device->logicalDpiX() : screenDpiX;
    const int printerDpiY = printer ? device->logicalDpiY() : screenDpiY;
    const auto mapX = [&](int v) -> int {
        return printer ? int((qint64(v) * printerDpiX) / std::max(1, screenDpiX)) : v;
    };
    const auto mapY = [&](int v) -> int {
        return printer ? int((qint64(v) * printerDpiY) / std::max(1, screenDpiY)) : v;
    };
    int offsetX = xOffset;
    const int offsetY = yOffset;
    const Box &sheetBox = m_rects.front();
    if (printer && xOffset < 0)
        offsetX = -((mapX(sheetBox.right) + xOffset) / 2);
    const auto toDevice = [&](const Box &b) {
        // A box's outline lies inside it: its far edges on the last pixel
        // before right and bottom.
        if (!printer)
            return QRect(QPoint(b.left, b.top), QPoint(b.right - 2, b.bottom - 2));
        return QRect(QPoint(mapX(b.left) + offsetX, mapY(b.top) + offsetY),
                     QPoint(mapX(b.right) + offsetX - 2, mapY(b.bottom) + offsetY - 2));
    };

    painter.save();
    QFont font = printer ? QFont(QStringLiteral("DejaVu Sans"), 9) : Appearance::instance().GetFont(2);
    painter.setFont(font);
    const QPen black(Qt::black, printer ? 2 : 1);
    const QPen red(QColor(239, 0, 0), printer ? 4 : 1);

    // The sheet with its width above and its height at the right.
    const QRect sheetRect = toDevice(sheetBox);
    painter.setPen(black);
    painter.setBrush(QColor(239, 239, 239));
    painter.drawRect(sheetRect);
    const Box labelBox{sheetBox.left, sheetBox.top - 15, sheetBox.right + 32, sheetBox.bottom};
    const QRect labels = toDevice(labelBox);
    painter.drawText(QRect(labels.left(), labels.top(), labels.width(), sheetRect.top() - labels.top()),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                     QString::asprintf("%g", double(m_sheetWidth)));
    painter.drawText(QRect(sheetRect.right() + 1, sheetRect.top(), labels.right() - sheetRect.right(), sheetRect.height()),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::asprintf("%g", double(m_sheetHeight)));

    // The pieces, relative to the sheet's corner; the first carries the
    // piece's sides.
    painter.setPen(red);
    painter.setBrush(Qt::white);
    for (std::size_t i = 1; i < m_rects.size(); ++i) {
        const Box &p = m_rects[i];
        const Box moved{p.left + sheetBox.left, p.top + sheetBox.top, p.right + sheetBox.left, p.bottom + sheetBox.top};
        const QRect r = toDevice(moved);
        painter.drawRect(r);
        if (i == 1) {
            const Box inner{moved.left + 4, moved.top + 2, moved.right - 4, moved.bottom - 2};
            const QRect t = toDevice(inner);
            painter.setPen(black);
            painter.drawText(t, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                             QString::asprintf("%g", double(m_pieceWidth)));
            painter.drawText(t, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                             QString::asprintf("%g", double(m_pieceHeight)));
            painter.setPen(red);
        }
    }

    // The gripper margins, hatched.
    painter.setPen(black);
    QBrush hatch(QColor(192, 192, 192), Qt::DiagCrossPattern);
    if (printer)
        hatch.setTransform(QTransform::fromScale(printerDpiX / double(std::max(1, screenDpiX)),
                                                 printerDpiY / double(std::max(1, screenDpiY))));
    painter.setBrush(hatch);
    if (m_bGripTop)
        painter.drawRect(toDevice({sheetBox.left, sheetBox.top, sheetBox.right, sheetBox.top + 8}));
    if (m_bGripLeft)
        painter.drawRect(toDevice({sheetBox.left, sheetBox.top, sheetBox.left + 8, sheetBox.bottom}));
    painter.restore();
    return sheetRect;
}

float ParseFraction(const QString &text)
{
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        const int below = leadingInt(text.mid(slash + 1));
        if (below > 0)
            return float(double(leadingInt(text.left(slash))) / below);
    }
    return float(leadingDouble(text));
}
