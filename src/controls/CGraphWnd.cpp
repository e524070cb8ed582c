#include "controls/CGraphWnd.h"

#include "app/base/Appearance.h"
#include "app/base/MoneyText.h"
#include "controls/CXGridCtrl.h"
#include "controls/DlgItem.h"

#include <QtGui/QPainter>
#include <QtGui/QPolygon>

#include <algorithm>

namespace {

QColor qc(ColorRef c) { return ColorRefToQColor(c); }

constexpr int kSysColorButtonShadow = 16;
constexpr int kSysColorLight3d = 22;

} // namespace

// --- marker ------------------------------------------------------------------------

CGraphWnd::CMarker::CMarker(const CMarker &other) { *this = other; }

CGraphWnd::CMarker &CGraphWnd::CMarker::operator=(const CMarker &other)
{
    if (this == &other)
        return *this;
    m_pPen = other.m_pPen ? std::make_unique<QPen>(*other.m_pPen) : nullptr;
    m_pBrush = other.m_pBrush ? std::make_unique<QBrush>(*other.m_pBrush) : nullptr;
    m_Position = other.m_Position;
    m_nSize = other.m_nSize;
    m_Colour = other.m_Colour;
    m_nShape = other.m_nShape;
    m_bFilled = other.m_bFilled;
    return *this;
}

CGraphWnd::CMarker::~CMarker() = default;

void CGraphWnd::CMarker::SetStyle(int size, ColorRef colour, int shape, int fillMode)
{
    m_nSize = size;
    m_Colour = colour;
    if (shape == Circle || shape == Square || shape == Triangle || shape == Diamond)
        m_nShape = shape;
    if (!m_pPen)
        m_pPen = std::make_unique<QPen>();
    if (!m_pBrush)
        m_pBrush = std::make_unique<QBrush>(Qt::NoBrush); // no colour yet
    if (fillMode == 1) {
        m_bFilled = true;
        *m_pBrush = QBrush(qc(colour));
    } else if (fillMode == 2) {
        m_bFilled = false;
        *m_pBrush = QBrush(Qt::white);
    }
    *m_pPen = QPen(qc(colour), 1);
    m_Position = QPoint(0, 0);
}

void CGraphWnd::CMarker::Draw(QPainter &painter) const
{
    const QBrush previous = painter.brush();
    if (m_pPen)
        painter.setPen(*m_pPen);
    // A brush never given a colour leaves the painter's own.
    if (m_pBrush && m_pBrush->style() != Qt::NoBrush)
        painter.setBrush(*m_pBrush);
    const int x = m_Position.x();
    const int y = m_Position.y();
    const int s = m_nSize;
    switch (m_nShape) {
    case Circle: painter.drawEllipse(QRect(QPoint(x - s, y - s), QPoint(x + s, y + s))); break;
    case Square: painter.drawRect(QRect(QPoint(x - s, y - s), QPoint(x + s, y + s))); break;
    case Triangle: {
        const QPoint points[] = {{x, y - s}, {x - s, y + s}, {x + s, y + s}};
        painter.drawPolygon(points, 3);
        break;
    }
    case Diamond: {
        const QPoint points[] = {{x, y - s}, {x + s, y}, {x, y + s}, {x - s, y}};
        painter.drawPolygon(points, 4);
        break;
    }
    default: break;
    }
    painter.setBrush(previous);
}

// --- graph model ---------------------------------------------------------------------

void CGraphWnd::CGraph::LoadFromGrid(const CXGridCtrl *grid)
{
    if (!grid)
        return;
    m_Series.resize(2);
    const int rows = grid->GetRowCount();
    for (CSeries &series : m_Series) {
        series.x.assign(size_t(rows), 0);
        series.y.assign(size_t(rows), 0);
    }
    for (int r = 0; r < rows; ++r) {
        const std::int32_t x = grid->GetCellValue(r, 0);
        m_Series[0].x[size_t(r)] = x;
        m_Series[0].y[size_t(r)] = grid->GetCellValue(r, 1);
        m_Series[1].x[size_t(r)] = x;
        m_Series[1].y[size_t(r)] = grid->GetCellValue(r, 2);
    }
    if (!m_Series[0].marker.hasBrush())
        m_Series[0].marker.SetStyle(4, MakeColorRef(192, 16, 16), CMarker::Circle, 1);
    if (!m_Series[1].marker.hasBrush())
        m_Series[1].marker.SetStyle(4, MakeColorRef(21, 66, 139), CMarker::Triangle, 0);
}

std::int64_t CGraphWnd::CGraph::GetMaxY() const
{
    if (m_Series.empty() || m_Series[0].y.empty())
        return 0;
    std::int64_t most = m_Series[0].y[0];
    for (const CSeries &series : m_Series)
        for (std::int64_t y : series.y)
            most = std::max(most, y);
    return most;
}

std::int32_t CGraphWnd::CGraph::GetMaxX() const
{
    if (m_Series.empty() || m_Series[0].x.empty())
        return 0;
    std::int32_t most = m_Series[0].x[0];
    for (const CSeries &series : m_Series)
        for (std::int32_t x : series.x)
            most = std::max(most, x);
    return most;
}

std::int64_t CGraphWnd::CGraph::TopY() const
{
    return (GetMaxY() / 50000 + 1) * 50000;
}

bool CGraphWnd::CGraph::SetScales(const QRect &plot)
{
    m_fScaleX = 0.0f;
    m_fScaleY = 0.0f;
    if (m_Series.empty() || m_Series[0].x.empty())
        return false;
    const std::int64_t top = TopY();
    const std::int32_t maxX = GetMaxX();
    if (top <= 0 || maxX <= 0 || plot.width() <= 0 || plot.height() <= 0)
        return false;
    m_fScaleY = float(plot.height()) / float(top);
    m_fScaleX = float(plot.width()) / float(maxX);
    return true;
}

QPoint CGraphWnd::CGraph::PointAt(std::int32_t x, std::int64_t y) const
{
    return QPoint(m_rcPlot.left() + int(float(x) * m_fScaleX), m_rcPlot.bottom() - int(float(y) * m_fScaleY));
}

void CGraphWnd::CGraph::DrawSeries(QPainter &painter, const QRect &plot)
{
    m_rcPlot = plot;
    if (!SetScales(plot))
        return;
    for (CSeries &series : m_Series) {
        const size_t n = std::min(series.x.size(), series.y.size());
        if (n == 0 || series.x[0] == 0 || series.y[0] == 0)
            continue;
        QPoint current = PointAt(series.x[0], series.y[0]);
        series.marker.m_Position = current;
        series.marker.Draw(painter);
        for (size_t i = 1; i < n; ++i) {
            if (series.x[i] == 0 || series.y[i] == 0)
                continue;
            const QPoint next = PointAt(series.x[i], series.y[i]);
            painter.drawLine(current, next); // in the pen the last marker left
            current = next;
            series.marker.m_Position = current;
            series.marker.Draw(painter);
        }
    }
}

// --- window ------------------------------------------------------------------------------

CGraphWnd::CGraphWnd(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setFocusPolicy(Qt::TabFocus);
}

CGraphWnd::~CGraphWnd() = default;

bool CGraphWnd::Create(QWidget *parent, unsigned id, const QRect &rect, CXGridCtrl *grid)
{
    if (!parent)
        return false;
    m_pGrid = grid;
    setParent(parent);
    setGeometry(rect);
    SetDlgCtrlID(this, id);
    hide();
    return true;
}

void CGraphWnd::Reload()
{
    m_Graph.LoadFromGrid(m_pGrid);
    update();
}

void CGraphWnd::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setBackgroundMode(Qt::TransparentMode);
    const QRect client = rect();
    p.fillRect(client, Qt::white);
    const QColor shadow = qc(GetSystemColor(kSysColorButtonShadow));
    p.setPen(shadow);
    p.setBrush(Qt::NoBrush);
    p.drawRect(client.adjusted(0, 0, -1, -1));
    // The painter's brush is white, as a fresh drawing context's is: markers
    // without a fill colour of their own take it.
    p.setBrush(Qt::white);

    const std::int64_t top = m_Graph.TopY();
    const std::int32_t maxX = m_Graph.GetMaxX();
    if (m_Graph.m_Series.empty() || m_Graph.m_Series[0].x.empty() || maxX <= 0 || top <= 0)
        return;

    std::int64_t yStep = std::int64_t(double(top) / 10000.0 + 0.99) * 1000;
    std::int64_t xStep = maxX / 10;
    if (yStep == 0)
        yStep = 1000;
    if (xStep == 0)
        xStep = 1000;

    const QFont &font = Appearance::instance().GetFont(1);
    p.setFont(font);
    const QFontMetrics metrics(font);
    const QString widest = QStringLiteral("$%1").arg(top / yStep * yStep / 100);
    const int w = metrics.horizontalAdvance(widest);
    const int h = metrics.height();
    QRect plot = client.adjusted(w + 4, h, -h, -(h + 6));
    if (plot.width() <= 2 || plot.height() <= 2)
        return;
    p.setPen(shadow);
    p.drawRect(plot.adjusted(0, 0, -1, -1));
    plot.adjust(1, 1, -1, -1);
    if (!m_Graph.SetScales(plot))
        return;

    const QPen gridPen(qc(GetSystemColor(kSysColorLight3d)), 1);
    const QColor textColour = qc(GetSystemColor(SysColorWindowText));
    for (int k = 2;; k += 2) {
        const int x = plot.left() + int(float(k * xStep) * m_Graph.m_fScaleX);
        if (x > plot.right())
            break;
        p.setPen(gridPen);
        p.drawLine(x, plot.top(), x, plot.bottom());
        const QString label = QString::number(k * xStep);
        const int lw = metrics.horizontalAdvance(label);
        p.setPen(textColour);
        p.drawText(QRect(x - lw / 2, plot.bottom() + 2, lw + 1, h), Qt::AlignLeft | Qt::AlignTop, label);
    }
    for (int j = 1;; ++j) {
        const int y = plot.bottom() - int(float(j * yStep) * m_Graph.m_fScaleY);
        if (y < plot.top())
            break;
        p.setPen(gridPen);
        p.drawLine(plot.left(), y, plot.right(), y);
        const QString label = QLatin1Char('$') + GroupThousands(QString::number(j * yStep / 100));
        p.setPen(textColour);
        p.drawText(QRect(12, y - 6, metrics.horizontalAdvance(label) + 1, h), Qt::AlignLeft | Qt::AlignTop, label);
    }

    if (m_pGrid && m_Graph.m_Series.size() >= 2) {
        CMarker &price = m_Graph.m_Series[0].marker;
        CMarker &target = m_Graph.m_Series[1].marker;
        price.m_Position = QPoint(6, plot.bottom() - 4);
        price.Draw(p);
        p.setPen(textColour);
        p.drawText(QPoint(12, plot.bottom() - 10 + metrics.ascent()), QStringLiteral("Price"));
        target.m_Position = QPoint(6, plot.bottom() + 8);
        target.Draw(p);
        p.setPen(textColour);
        p.drawText(QPoint(12, plot.bottom() + 2 + metrics.ascent()), QStringLiteral("Target"));
    }
    m_Graph.DrawSeries(p, plot);
}
