#include "controls/CPieChartCtrl.h"

#include "app/base/Appearance.h"
#include "controls/DrawTextFormat.h"

#include <QtGui/QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

QColor qc(ColorRef c) { return ColorRefToQColor(c); }

} // namespace

CPieChartCtrl::CPieChartCtrl(QWidget *parent) : QWidget(parent)
{
    setCursor(Qt::CrossCursor);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

CPieChartCtrl::~CPieChartCtrl()
{
    RemoveAll();
}

void CPieChartCtrl::RemoveAll()
{
    m_Pieces.clear();
    m_rcPie = QRect();
}

void CPieChartCtrl::AddPiece(const QString &label, Money amount, ColorRef colour)
{
    auto piece = std::make_unique<CPieChartPiece>();
    piece->colour = colour;
    piece->label = label;
    piece->amount = amount;
    m_Pieces.push_back(std::move(piece));
}

void CPieChartCtrl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_rcPie = QRect(); // the next paint lays the pie out for the new size
}

void CPieChartCtrl::LayoutPie()
{
    constexpr int margin = 30;
    const int side = std::min(width(), height()) - 2 * margin;
    m_rcPie = side > 0 ? QRect(margin, margin / 4, side, side) : QRect();
}

QPoint CPieChartCtrl::GetEdgePoint(int angle, bool inner) const
{
    while (angle < 0)
        angle += 360;
    while (angle >= 360)
        angle -= 360;
    double radius = m_rcPie.height() / 2;
    if (inner)
        radius *= 0.8;
    const double rad = angle * M_PI / 180.0;
    const QPoint centre(m_rcPie.left() + m_rcPie.width() / 2, m_rcPie.top() + m_rcPie.height() / 2);
    return QPoint(centre.x() + int(std::sin(rad) * radius), centre.y() - int(std::cos(rad) * radius));
}

void CPieChartCtrl::RecalcPieces()
{
    std::int64_t total = 0;
    for (const auto &piece : m_Pieces)
        total += piece->amount.units();
    std::int64_t running = 0;
    for (const auto &piece : m_Pieces) {
        const std::int64_t amount = piece->amount.units();
        running += amount;
        if (total == 0) {
            // Nothing to share: no piece has a wedge.
            piece->percentText = QStringLiteral("0%");
            piece->endAngle = 0;
            piece->endPoint = GetEdgePoint(0, false);
            piece->labelPoint = GetEdgePoint(0, true);
            continue;
        }
        const double share = double(amount) / double(total);
        char text[32];
        std::snprintf(text, sizeof text, "%.0f%%", share * 100.0);
        piece->percentText = QString::fromLatin1(text);
        const int end = int(double(running) / double(total) * 360.0);
        piece->endAngle = end;
        piece->endPoint = GetEdgePoint(end, false);
        const int middle = int(double(running - amount / 2) / double(total) * 360.0);
        piece->labelPoint = GetEdgePoint(middle, true);
    }
    update();
}

void CPieChartCtrl::paintEvent(QPaintEvent *)
{
    if (m_rcPie.isEmpty()) {
        LayoutPie();
        if (!m_rcPie.isEmpty())
            RecalcPieces();
    }
    QPainter p(this);
    p.setBackgroundMode(Qt::TransparentMode);
    p.fillRect(rect(), Qt::white);
    p.setPen(qc(MakeColorRef(192, 192, 192)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_rcPie.isEmpty())
        return;

    p.setRenderHint(QPainter::Antialiasing, true);
    const QPen black(Qt::black, 2);
    const QPoint centre(m_rcPie.left() + m_rcPie.width() / 2, m_rcPie.top() + m_rcPie.height() / 2);
    QPoint previous(centre.x(), m_rcPie.top());
    int previousAngle = 0;
    const QFont &legendFont = Appearance::instance().GetFont(2);
    const int h = QFontMetrics(legendFont).height();
    for (size_t i = 0; i < m_Pieces.size(); ++i) {
        const CPieChartPiece &piece = *m_Pieces[i];
        if (piece.percentText == QStringLiteral("0%"))
            continue;
        const int endAngle = piece.endAngle;
        p.setPen(Qt::NoPen);
        p.setBrush(qc(piece.colour));
        if (endAngle - previousAngle >= 360)
            p.drawEllipse(m_rcPie); // one piece all round
        else if (endAngle > previousAngle)
            p.drawPie(m_rcPie, (90 - previousAngle) * 16, -(endAngle - previousAngle) * 16);
        p.setPen(black);
        if (piece.endPoint != previous) {
            p.drawLine(previous, centre);
            p.drawLine(centre, piece.endPoint);
        }
        if (!piece.label.isEmpty()) {
            const QRect swatch(10, m_rcPie.bottom() + int(i) * h + h / 2, h, h);
            p.fillRect(swatch, qc(piece.colour));
            p.setPen(QColor(128, 128, 128));
            p.drawLine(swatch.topLeft(), swatch.topRight());
            p.drawLine(swatch.topLeft(), swatch.bottomLeft());
            p.setPen(Qt::white);
            p.drawLine(swatch.bottomLeft(), swatch.bottomRight());
            p.drawLine(swatch.topRight(), swatch.bottomRight());
            p.setFont(legendFont);
            p.setPen(qc(GetSystemColor(SysColorWindowText)));
            const QRect text(swatch.right() + 1 + h / 2, swatch.top(), width() - swatch.right() - h / 2 - 2, h);
            DrawFormattedText(p, text, piece.percentText + QLatin1Char('\t') + piece.label,
                              DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        }
        if (m_bShowLabels) {
            p.setFont(legendFont);
            p.setPen(qc(piece.textColour));
            const QRect box(piece.labelPoint.x(), piece.labelPoint.y() - h / 2, 100, 100);
            DrawFormattedText(p, box, piece.label + QLatin1Char('\n') + piece.percentText,
                              DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
        }
        previous = piece.endPoint;
        previousAngle = endAngle;
    }
    p.setPen(black);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(m_rcPie);
}
