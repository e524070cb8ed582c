#include "app/base/IconGlyphs.h"

#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPolygonF>

#include <array>
#include <cmath>

namespace {

// Every glyph is drawn in a 100 x 100 box; the painter is scaled to the icon.
constexpr int kList131Count = 340;
constexpr int kList132Count = 340;
constexpr int kList133Count = 340;

// The twelve colours of folders, forms and categories, in folder order.
const std::array<QColor, 12> &familyColours()
{
    static const std::array<QColor, 12> colours = {
        QColor(0x3C, 0xA0, 0x3C), QColor(0xD8, 0xB0, 0x20), QColor(0xD0, 0x38, 0x30),
        QColor(0x90, 0x90, 0x90), QColor(0x20, 0xA0, 0xA0), QColor(0xC0, 0x40, 0xB0),
        QColor(0x30, 0x70, 0xD0), QColor(0x78, 0x50, 0xC0), QColor(0x9A, 0x6A, 0x3A),
        QColor(0xF0, 0x80, 0x20), QColor(0x5A, 0x70, 0x88), QColor(0xF0, 0xC8, 0x50),
    };
    return colours;
}

QColor familyColour(int n) { return familyColours()[size_t(((n % 12) + 12) % 12)]; }

QPen outline(const QColor &c, double w = 5.0)
{
    QPen pen(c, w);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void fillShape(QPainter &p, const QPainterPath &path, const QColor &fill, double w = 5.0)
{
    p.setPen(outline(fill.darker(170), w));
    QLinearGradient g(0, 0, 0, 100);
    g.setColorAt(0, fill.lighter(135));
    g.setColorAt(1, fill);
    p.setBrush(g);
    p.drawPath(path);
}

QPainterPath roundRect(double x, double y, double w, double h, double r)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), r, r);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

void folder(QPainter &p, const QColor &c, bool open)
{
    QPainterPath back = polygon({{6, 22}, {38, 22}, {46, 30}, {94, 30}, {94, 84}, {6, 84}});
    fillShape(p, back, c.darker(115));
    if (open) {
        QPainterPath flap = polygon({{20, 44}, {99, 44}, {84, 84}, {6, 84}});
        fillShape(p, flap, c.lighter(115));
    } else {
        QPainterPath front = roundRect(6, 38, 88, 46, 3);
        fillShape(p, front, c);
    }
}

void page(QPainter &p, const QColor &c, bool selected)
{
    QPainterPath sheet = polygon({{20, 8}, {64, 8}, {82, 26}, {82, 92}, {20, 92}});
    fillShape(p, sheet, QColor(0xFA, 0xFA, 0xFA), 5);
    p.setPen(outline(QColor(0x80, 0x80, 0x80), 4));
    p.drawLine(QPointF(64, 8), QPointF(64, 26));
    p.drawLine(QPointF(64, 26), QPointF(82, 26));
    // Coloured band telling the family apart.
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(QRectF(28, 36, 46, 14));
    p.setPen(outline(QColor(0x90, 0x90, 0x90), 4));
    p.drawLine(QPointF(30, 62), QPointF(72, 62));
    p.drawLine(QPointF(30, 76), QPointF(64, 76));
    if (selected) {
        p.setPen(outline(QColor(0x20, 0x60, 0xD0), 7));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(12, 4, 76, 92), 8, 8);
    }
}

void check(QPainter &p, const QColor &c, double x, double y, double s, double w = 10)
{
    p.setPen(outline(c, w));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(x, y + s * 0.5);
    path.lineTo(x + s * 0.35, y + s * 0.85);
    path.lineTo(x + s, y + s * 0.1);
    p.drawPath(path);
}

void disc(QPainter &p, const QColor &c, double cx, double cy, double r)
{
    p.setPen(outline(c.darker(160), 4));
    QRadialGradient g(cx - r / 3, cy - r / 3, r * 1.4);
    g.setColorAt(0, c.lighter(160));
    g.setColorAt(1, c);
    p.setBrush(g);
    p.drawEllipse(QPointF(cx, cy), r, r);
}

void text(QPainter &p, const QRectF &r, const QString &s, const QColor &c, double size, bool bold = true)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(int(size));
    f.setBold(bold);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, s);
}

// Twelve category pictures (paper, press, digital, ink, bindery, cutting,
// folding, design, labour, outside work, shipping, other).
void categoryPicture(QPainter &p, int n)
{
    const QColor c = familyColour(n);
    switch (n % 12) {
    case 0: // paper: a stack of sheets
        for (int i = 2; i >= 0; --i)
            fillShape(p, polygon({{18.0 + i * 6, 20.0 + i * 10}, {74.0 + i * 6, 20.0 + i * 10},
                                  {74.0 + i * 6, 62.0 + i * 10}, {18.0 + i * 6, 62.0 + i * 10}}),
                      i == 0 ? QColor(0xFA, 0xFA, 0xFA) : c.lighter(150), 4);
        break;
    case 1: // press: two rollers
        fillShape(p, roundRect(10, 14, 80, 32, 16), c);
        fillShape(p, roundRect(10, 54, 80, 32, 16), c.darker(120));
        break;
    case 2: // digital: a screen
        fillShape(p, roundRect(8, 12, 84, 58, 6), QColor(0x30, 0x30, 0x40));
        p.setPen(Qt::NoPen);
        p.setBrush(c.lighter(130));
        p.drawRect(QRectF(16, 20, 68, 42));
        fillShape(p, roundRect(34, 74, 32, 14, 3), QColor(0x80, 0x80, 0x80));
        break;
    case 3: { // ink: a drop
        QPainterPath drop;
        drop.moveTo(50, 6);
        drop.cubicTo(62, 30, 82, 48, 82, 64);
        drop.cubicTo(82, 84, 66, 94, 50, 94);
        drop.cubicTo(34, 94, 18, 84, 18, 64);
        drop.cubicTo(18, 48, 38, 30, 50, 6);
        fillShape(p, drop, c);
        break;
    }
    case 4: // bindery: a book
        fillShape(p, roundRect(16, 8, 68, 84, 4), c);
        p.setPen(outline(c.lighter(170), 6));
        p.drawLine(QPointF(28, 10), QPointF(28, 90));
        break;
    case 5: // cutting: a blade over a sheet
        fillShape(p, roundRect(10, 46, 80, 44, 2), QColor(0xFA, 0xFA, 0xFA), 4);
        fillShape(p, polygon({{10, 8}, {90, 30}, {90, 40}, {10, 40}}), c);
        break;
    case 6: // folding: a folded sheet
        fillShape(p, polygon({{10, 20}, {50, 10}, {50, 90}, {10, 80}}), QColor(0xFA, 0xFA, 0xFA), 4);
        fillShape(p, polygon({{50, 10}, {90, 20}, {90, 80}, {50, 90}}), c, 4);
        break;
    case 7: // design: a pencil
        fillShape(p, polygon({{70, 8}, {92, 30}, {34, 88}, {10, 92}, {14, 66}}), c);
        p.setPen(outline(c.darker(200), 5));
        p.drawLine(QPointF(14, 66), QPointF(34, 88));
        break;
    case 8: // labour: a person
        disc(p, c, 50, 28, 18);
        fillShape(p, roundRect(18, 52, 64, 42, 18), c);
        break;
    case 9: // outside work: a truck
        fillShape(p, roundRect(6, 26, 56, 46, 3), c);
        fillShape(p, polygon({{62, 40}, {82, 40}, {94, 56}, {94, 72}, {62, 72}}), c.darker(115));
        disc(p, QColor(0x40, 0x40, 0x40), 26, 78, 10);
        disc(p, QColor(0x40, 0x40, 0x40), 76, 78, 10);
        break;
    case 10: // shipping: a box
        fillShape(p, polygon({{10, 30}, {50, 14}, {90, 30}, {90, 76}, {50, 92}, {10, 76}}), c);
        p.setPen(outline(c.darker(170), 4));
        p.drawLine(QPointF(10, 30), QPointF(50, 46));
        p.drawLine(QPointF(90, 30), QPointF(50, 46));
        p.drawLine(QPointF(50, 46), QPointF(50, 92));
        break;
    default: { // other: a star
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double a = -M_PI / 2 + i * M_PI / 5;
            const double r = (i % 2) ? 20 : 44;
            star << QPointF(50 + r * std::cos(a), 54 + r * std::sin(a));
        }
        QPainterPath path;
        path.addPolygon(star);
        path.closeSubpath();
        fillShape(p, path, c);
        break;
    }
    }
}

// A small state mark in the lower right corner: 0 none (to do), 1 working,
// 2 paused, 3 finished.
void stateMark(QPainter &p, int state)
{
    if (state == 0)
        return;
    const QColor colours[] = {QColor(), QColor(0x20, 0xB0, 0x20), QColor(0xF0, 0xB0, 0x10),
                              QColor(0x30, 0x60, 0xE0)};
    disc(p, colours[state], 72, 72, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    if (state == 1) {
        p.drawPolygon(QPolygonF({QPointF(64, 60), QPointF(86, 72), QPointF(64, 84)}));
    } else if (state == 2) {
        p.drawRect(QRectF(62, 61, 7, 22));
        p.drawRect(QRectF(75, 61, 7, 22));
    } else {
        check(p, Qt::white, 60, 62, 24, 7);
    }
}

void calendar(QPainter &p, const QString &label, const QColor &c)
{
    fillShape(p, roundRect(10, 14, 80, 78, 8), QColor(0xFA, 0xFA, 0xFA), 5);
    QPainterPath top = roundRect(10, 14, 80, 24, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(top);
    p.drawRect(QRectF(10, 28, 80, 10));
    p.setPen(outline(QColor(0x50, 0x50, 0x50), 6));
    p.drawLine(QPointF(30, 6), QPointF(30, 22));
    p.drawLine(QPointF(70, 6), QPointF(70, 22));
    if (!label.isEmpty())
        text(p, QRectF(10, 38, 80, 54), label, QColor(0x30, 0x30, 0x30), 40);
}

void clockFace(QPainter &p, const QColor &c)
{
    disc(p, QColor(0xFA, 0xFA, 0xFA), 50, 50, 42);
    p.setPen(outline(c, 7));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(50, 50), 42, 42);
    p.setPen(outline(QColor(0x30, 0x30, 0x30), 7));
    p.drawLine(QPointF(50, 50), QPointF(50, 22));
    p.drawLine(QPointF(50, 50), QPointF(70, 60));
}

void padlock(QPainter &p, bool open, const QString &label)
{
    p.setPen(outline(QColor(0x70, 0x70, 0x78), 10));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    if (open) {
        shackle.moveTo(30, 46);
        shackle.lineTo(30, 28);
        shackle.arcTo(QRectF(30, 8, 40, 40), 180, -180);
        shackle.lineTo(70, 20);
    } else {
        shackle.moveTo(30, 46);
        shackle.lineTo(30, 30);
        shackle.arcTo(QRectF(30, 10, 40, 40), 180, -180);
        shackle.lineTo(70, 46);
    }
    p.drawPath(shackle);
    fillShape(p, roundRect(16, 44, 68, 50, 8), open ? QColor(0x40, 0xB0, 0x40) : QColor(0xE0, 0xA0, 0x20));
    if (!label.isEmpty())
        text(p, QRectF(16, 44, 68, 50), label, Qt::white, 38);
}

void magnifier(QPainter &p)
{
    p.setPen(outline(QColor(0x40, 0x40, 0x50), 12));
    p.drawLine(QPointF(60, 60), QPointF(90, 90));
    disc(p, QColor(0xB0, 0xD8, 0xF8), 40, 40, 30);
}

void printer(QPainter &p)
{
    fillShape(p, polygon({{26, 8}, {74, 8}, {74, 40}, {26, 40}}), QColor(0xFA, 0xFA, 0xFA), 4);
    fillShape(p, roundRect(6, 34, 88, 40, 8), QColor(0x70, 0x78, 0x88));
    fillShape(p, polygon({{24, 62}, {76, 62}, {76, 94}, {24, 94}}), QColor(0xFA, 0xFA, 0xFA), 4);
    p.setPen(outline(QColor(0x90, 0x90, 0x90), 4));
    p.drawLine(QPointF(32, 74), QPointF(68, 74));
    p.drawLine(QPointF(32, 84), QPointF(60, 84));
    disc(p, QColor(0x40, 0xD0, 0x40), 82, 46, 4);
}

void closeDoor(QPainter &p)
{
    fillShape(p, roundRect(18, 6, 54, 88, 3), QColor(0x9A, 0x6A, 0x3A));
    disc(p, QColor(0xF0, 0xD0, 0x40), 60, 52, 5);
    p.setPen(outline(QColor(0xD0, 0x30, 0x30), 10));
    p.drawLine(QPointF(62, 50), QPointF(94, 50));
    p.setBrush(QColor(0xD0, 0x30, 0x30));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(84, 36), QPointF(99, 50), QPointF(84, 64)}));
}

void bell(QPainter &p, bool ringing)
{
    QPainterPath body;
    body.moveTo(50, 10);
    body.cubicTo(74, 10, 78, 34, 78, 52);
    body.lineTo(88, 74);
    body.lineTo(12, 74);
    body.lineTo(22, 52);
    body.cubicTo(22, 34, 26, 10, 50, 10);
    fillShape(p, body, ringing ? QColor(0xF0, 0xB0, 0x10) : QColor(0xC8, 0xC8, 0xC8));
    disc(p, ringing ? QColor(0xF0, 0xB0, 0x10) : QColor(0xC8, 0xC8, 0xC8), 50, 84, 9);
    if (ringing) {
        p.setPen(outline(QColor(0xD0, 0x30, 0x30), 6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2, 14, 20, 40), 100 * 16, 120 * 16);
        p.drawArc(QRectF(78, 14, 20, 40), -40 * 16, 120 * 16);
    }
}

void person(QPainter &p, const QColor &c)
{
    disc(p, QColor(0xF0, 0xC8, 0xA0), 50, 30, 20);
    QPainterPath body;
    body.moveTo(12, 96);
    body.cubicTo(12, 62, 30, 54, 50, 54);
    body.cubicTo(70, 54, 88, 62, 88, 96);
    body.closeSubpath();
    fillShape(p, body, c);
}

void group(QPainter &p)
{
    const struct { double x, y; QColor c; } people[] = {
        {0, 4, QColor(0x30, 0x70, 0xD0)}, {38, 4, QColor(0x3C, 0xA0, 0x3C)}, {19, 36, QColor(0xD0, 0x38, 0x30)}};
    for (const auto &who : people) {
        p.save();
        p.translate(who.x, who.y);
        p.scale(0.62, 0.62);
        person(p, who.c);
        p.restore();
    }
}

void gridTable(QPainter &p, bool empty)
{
    fillShape(p, roundRect(8, 14, 84, 72, 3), QColor(0xFA, 0xFA, 0xFA), 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x70, 0xD0));
    p.drawRect(QRectF(10, 16, 80, 16));
    p.setPen(outline(QColor(0x90, 0x90, 0x90), 3));
    for (int y = 50; y < 86; y += 18)
        p.drawLine(QPointF(10, y), QPointF(90, y));
    p.drawLine(QPointF(38, 32), QPointF(38, 84));
    p.drawLine(QPointF(64, 32), QPointF(64, 84));
    if (empty) {
        p.setPen(outline(QColor(0xD0, 0x30, 0x30), 5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(50, 58), 18, 18);
        p.drawLine(QPointF(38, 70), QPointF(62, 46));
    }
}

void chart(QPainter &p, int kind)
{
    p.setPen(outline(QColor(0x50, 0x50, 0x50), 5));
    if (kind != 4) {
        p.drawLine(QPointF(10, 8), QPointF(10, 90));
        p.drawLine(QPointF(10, 90), QPointF(94, 90));
    }
    switch (kind) {
    case 1: // bars (horizontal)
        fillShape(p, roundRect(12, 14, 60, 16, 2), QColor(0x30, 0x70, 0xD0), 3);
        fillShape(p, roundRect(12, 38, 80, 16, 2), QColor(0x3C, 0xA0, 0x3C), 3);
        fillShape(p, roundRect(12, 62, 40, 16, 2), QColor(0xF0, 0x80, 0x20), 3);
        break;
    case 2: // columns
        fillShape(p, roundRect(18, 40, 18, 48, 2), QColor(0x30, 0x70, 0xD0), 3);
        fillShape(p, roundRect(44, 14, 18, 74, 2), QColor(0x3C, 0xA0, 0x3C), 3);
        fillShape(p, roundRect(70, 56, 18, 32, 2), QColor(0xF0, 0x80, 0x20), 3);
        break;
    case 3: { // line
        p.setPen(outline(QColor(0xD0, 0x38, 0x30), 8));
        QPainterPath line;
        line.moveTo(14, 76);
        line.lineTo(38, 46);
        line.lineTo(60, 60);
        line.lineTo(90, 16);
        p.setBrush(Qt::NoBrush);
        p.drawPath(line);
        break;
    }
    case 4: // pie
        p.setPen(outline(QColor(0x40, 0x40, 0x40), 4));
        p.setBrush(QColor(0x30, 0x70, 0xD0));
        p.drawPie(QRectF(8, 8, 84, 84), 90 * 16, 200 * 16);
        p.setBrush(QColor(0x3C, 0xA0, 0x3C));
        p.drawPie(QRectF(8, 8, 84, 84), 290 * 16, 100 * 16);
        p.setBrush(QColor(0xF0, 0x80, 0x20));
        p.drawPie(QRectF(14, 4, 84, 84), 30 * 16, 60 * 16);
        break;
    default:
        break;
    }
}

void radio(QPainter &p, bool on)
{
    p.setPen(outline(QColor(0x50, 0x60, 0x78), 6));
    QRadialGradient g(40, 40, 50);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(0xDC, 0xE4, 0xEE));
    p.setBrush(g);
    p.drawEllipse(QPointF(50, 50), 34, 34);
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x20, 0x60, 0xC0));
        p.drawEllipse(QPointF(50, 50), 16, 16);
    }
}

void checkBox(QPainter &p, bool on, const QColor &mark)
{
    p.setPen(outline(QColor(0x50, 0x60, 0x78), 6));
    QLinearGradient g(0, 16, 0, 84);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(0xDC, 0xE4, 0xEE));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(16, 16, 68, 68), 6, 6);
    if (on)
        check(p, mark, 26, 26, 48, 11);
}

void header(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC0, 0x10, 0x10));
    p.drawPolygon(QPolygonF({QPointF(22, 20), QPointF(78, 50), QPointF(22, 80)}));
}

void plusMinusBox(QPainter &p, bool plus)
{
    fillShape(p, roundRect(18, 18, 64, 64, 6), QColor(0xFA, 0xFA, 0xFA), 5);
    p.setPen(outline(QColor(0x30, 0x50, 0x90), 9));
    p.drawLine(QPointF(32, 50), QPointF(68, 50));
    if (plus)
        p.drawLine(QPointF(50, 32), QPointF(50, 68));
}

void symbolBadge(QPainter &p, const QString &symbol, const QColor &c)
{
    disc(p, c, 50, 50, 40);
    text(p, QRectF(0, 0, 100, 100), symbol, Qt::white, 60);
}

void pencil(QPainter &p)
{
    fillShape(p, polygon({{70, 8}, {92, 30}, {34, 88}, {10, 92}, {14, 66}}), QColor(0xF0, 0xC0, 0x30));
    fillShape(p, polygon({{14, 66}, {34, 88}, {10, 92}}), QColor(0xF0, 0xD8, 0xB0), 3);
}

void paperclip(QPainter &p)
{
    p.setPen(outline(QColor(0x60, 0x60, 0x70), 7));
    p.setBrush(Qt::NoBrush);
    QPainterPath clip;
    clip.moveTo(62, 30);
    clip.lineTo(62, 74);
    clip.arcTo(QRectF(34, 60, 28, 28), 0, -180);
    clip.lineTo(34, 20);
    clip.arcTo(QRectF(34, 6, 38, 28), 180, -180);
    clip.lineTo(72, 70);
    p.drawPath(clip);
}

void note(QPainter &p)
{
    fillShape(p, polygon({{12, 10}, {88, 10}, {88, 66}, {66, 90}, {12, 90}}), QColor(0xFF, 0xF0, 0x80));
    p.setPen(outline(QColor(0xA0, 0x90, 0x40), 4));
    p.drawLine(QPointF(24, 30), QPointF(76, 30));
    p.drawLine(QPointF(24, 46), QPointF(76, 46));
    p.drawLine(QPointF(24, 62), QPointF(60, 62));
}

void eye(QPainter &p, bool closed)
{
    QPainterPath lid;
    lid.moveTo(6, 50);
    lid.quadTo(50, 6, 94, 50);
    lid.quadTo(50, 94, 6, 50);
    fillShape(p, lid, QColor(0xFA, 0xFA, 0xFA), 5);
    disc(p, QColor(0x30, 0x70, 0xD0), 50, 50, 16);
    if (closed) {
        p.setPen(outline(QColor(0xD0, 0x30, 0x30), 8));
        p.drawLine(QPointF(14, 86), QPointF(86, 14));
    }
}

void arrowRight(QPainter &p, const QColor &c)
{
    fillShape(p, polygon({{8, 36}, {52, 36}, {52, 14}, {92, 50}, {52, 86}, {52, 64}, {8, 64}}), c);
}

void exportBox(QPainter &p)
{
    fillShape(p, roundRect(8, 30, 56, 62, 4), QColor(0xFA, 0xFA, 0xFA), 5);
    p.save();
    p.translate(30, -10);
    p.scale(0.7, 0.7);
    arrowRight(p, QColor(0x3C, 0xA0, 0x3C));
    p.restore();
}

void hourglass(QPainter &p)
{
    fillShape(p, polygon({{20, 8}, {80, 8}, {54, 50}, {80, 92}, {20, 92}, {46, 50}}), QColor(0xE8, 0xD8, 0xA0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC0, 0x90, 0x30));
    p.drawPolygon(QPolygonF({QPointF(30, 88), QPointF(70, 88), QPointF(50, 64)}));
}

void gear(QPainter &p, const QColor &c)
{
    QPainterPath path;
    for (int i = 0; i < 16; ++i) {
        const double a = i * M_PI / 8;
        const double r = (i % 2) ? 34 : 44;
        const QPointF pt(50 + r * std::cos(a), 50 + r * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    path.addEllipse(QPointF(50, 50), 14, 14);
    path.setFillRule(Qt::OddEvenFill);
    fillShape(p, path, c);
}

void factory(QPainter &p)
{
    fillShape(p, polygon({{6, 92}, {6, 44}, {30, 58}, {30, 44}, {54, 58}, {54, 44}, {78, 58}, {78, 12},
                          {94, 12}, {94, 92}}),
              QColor(0x9A, 0x6A, 0x3A));
}

void warning(QPainter &p)
{
    fillShape(p, polygon({{50, 6}, {96, 90}, {4, 90}}), QColor(0xF0, 0xC0, 0x10));
    text(p, QRectF(0, 26, 100, 66), QStringLiteral("!"), QColor(0x30, 0x30, 0x30), 56);
}

void pointer(QPainter &p)
{
    arrowRight(p, QColor(0xD0, 0x38, 0x30));
}

void sun(QPainter &p)
{
    p.setPen(outline(QColor(0xF0, 0xA0, 0x10), 7));
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        p.drawLine(QPointF(50 + 30 * std::cos(a), 50 + 30 * std::sin(a)),
                   QPointF(50 + 46 * std::cos(a), 50 + 46 * std::sin(a)));
    }
    disc(p, QColor(0xF8, 0xC8, 0x20), 50, 50, 24);
}

void scissors(QPainter &p)
{
    p.setPen(outline(QColor(0x60, 0x60, 0x70), 7));
    p.drawLine(QPointF(30, 64), QPointF(84, 10));
    p.drawLine(QPointF(70, 64), QPointF(16, 10));
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(QColor(0xD0, 0x38, 0x30), 8));
    p.drawEllipse(QPointF(24, 76), 14, 14);
    p.drawEllipse(QPointF(76, 76), 14, 14);
}

void productBox(QPainter &p)
{
    categoryPicture(p, 10);
}

// A plain badge for pictures without a drawing of their own: a coloured
// square with a simple white mark, different for neighbouring indexes.
void badge(QPainter &p, int index)
{
    const QColor c = QColor::fromHsv((index * 47) % 360, 150, 200);
    fillShape(p, roundRect(10, 10, 80, 80, 16), c);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    switch (index % 6) {
    case 0:
        p.drawEllipse(QPointF(50, 50), 18, 18);
        break;
    case 1:
        p.drawRect(QRectF(34, 34, 32, 32));
        break;
    case 2:
        p.drawPolygon(QPolygonF({QPointF(50, 28), QPointF(72, 68), QPointF(28, 68)}));
        break;
    case 3:
        p.drawPolygon(QPolygonF({QPointF(50, 26), QPointF(74, 50), QPointF(50, 74), QPointF(26, 50)}));
        break;
    case 4:
        p.drawRect(QRectF(26, 42, 48, 16));
        break;
    default:
        p.drawRect(QRectF(42, 26, 16, 48));
        p.drawRect(QRectF(26, 42, 48, 16));
        break;
    }
}

void funnel(QPainter &p)
{
    fillShape(p, polygon({{8, 12}, {92, 12}, {58, 52}, {58, 88}, {42, 80}, {42, 52}}), QColor(0x30, 0x70, 0xD0));
}

void clipboard(QPainter &p)
{
    fillShape(p, roundRect(14, 12, 72, 84, 6), QColor(0xB0, 0x80, 0x50));
    fillShape(p, roundRect(24, 24, 52, 62, 2), QColor(0xFA, 0xFA, 0xFA), 4);
    fillShape(p, roundRect(34, 4, 32, 16, 4), QColor(0x90, 0x90, 0x98));
}

void redCross(QPainter &p)
{
    p.setPen(outline(QColor(0xD0, 0x30, 0x30), 18));
    p.drawLine(QPointF(20, 20), QPointF(80, 80));
    p.drawLine(QPointF(80, 20), QPointF(20, 80));
}

void newPage(QPainter &p)
{
    page(p, QColor(0x3C, 0xA0, 0x3C), false);
    disc(p, QColor(0x3C, 0xB0, 0x3C), 74, 74, 22);
    p.setPen(outline(Qt::white, 8));
    p.drawLine(QPointF(62, 74), QPointF(86, 74));
    p.drawLine(QPointF(74, 62), QPointF(74, 86));
}

const QColor kInk[] = {QColor(0x00, 0xA8, 0xE8), QColor(0xE0, 0x20, 0x90), QColor(0xF8, 0xE0, 0x10),
                       QColor(0x20, 0x20, 0x20), QColor(0xF0, 0x80, 0x20)};

void drawSmall(QPainter &p, int index)
{
    if (index < 12)
        return folder(p, familyColour(index), false);
    if (index < 24)
        return folder(p, familyColour(index - 12), true);
    if (index < 36)
        return page(p, familyColour(index - 24), false);
    if (index < 48)
        return page(p, familyColour(index - 36), true);
    if (index < 96) {
        categoryPicture(p, (index - 48) % 12);
        stateMark(p, (index - 48) / 12);
        return;
    }
    switch (index) {
    case 96: clockFace(p, QColor(0x20, 0xB0, 0x20)); return stateMark(p, 1);
    case 97: clockFace(p, QColor(0xF0, 0xB0, 0x10)); return stateMark(p, 2);
    case 98: clockFace(p, QColor(0x30, 0x60, 0xE0)); return stateMark(p, 3);
    case 99: note(p); return stateMark(p, 1);
    case 100: note(p); return stateMark(p, 2);
    case 101: note(p); return stateMark(p, 3);
    case 102: categoryPicture(p, 10); return stateMark(p, 3);
    case 103: return categoryPicture(p, 9);
    case 104: categoryPicture(p, 10); return stateMark(p, 2);
    case 117: return disc(p, QColor(0x30, 0xC0, 0x30), 50, 50, 30);
    case 118: return disc(p, QColor(0xF0, 0xB0, 0x10), 50, 50, 30);
    case 128: return calendar(p, QString(), QColor(0xD0, 0x38, 0x30));
    case 129: return calendar(p, QStringLiteral("1"), QColor(0xD0, 0x38, 0x30));
    case 130: case 131: case 132: case 133: case 134: case 135: case 136: {
        static const char *days = "SMTWTFS";
        return calendar(p, QString(QChar(days[index - 130])),
                        index == 130 || index == 136 ? QColor(0x90, 0x90, 0x90) : QColor(0x30, 0x70, 0xD0));
    }
    case 137: return calendar(p, QStringLiteral("+"), QColor(0x3C, 0xA0, 0x3C));
    case 138: return calendar(p, QStringLiteral("?"), QColor(0x90, 0x90, 0x90));
    case 140: return calendar(p, QString(), QColor(0x30, 0x70, 0xD0));
    case 141: categoryPicture(p, 11); return stateMark(p, 2);
    case 142: return hourglass(p);
    case 143: return eye(p, false);
    case 144: return gear(p, QColor(0x30, 0x70, 0xD0));
    case 145: return check(p, QColor(0x20, 0xA0, 0x20), 12, 14, 76, 16);
    case 146: return clockFace(p, QColor(0x20, 0xB0, 0x20));
    case 148: return factory(p);
    case 149: return person(p, QColor(0x30, 0x70, 0xD0));
    case 158: return checkBox(p, true, QColor(0x20, 0x60, 0xC0));
    case 169: return pencil(p);
    case 171: return gear(p, QColor(0x70, 0x78, 0x88));
    case 178: return funnel(p);
    case 187: return newPage(p);
    case 193: return clipboard(p);
    case 200: return redCross(p);
    case 224: return closeDoor(p);
    case 173: return sun(p);
    case 185: return;
    case 186: return paperclip(p);
    case 188: return magnifier(p);
    case 190: return printer(p);
    case 194: return exportBox(p);
    case 195: return page(p, QColor(0x90, 0x90, 0x90), false);
    case 197: return note(p);
    case 199: return scissors(p);
    case 201: return gridTable(p, false);
    case 202: return chart(p, 1);
    case 203: return chart(p, 2);
    case 204: return chart(p, 3);
    case 205: return chart(p, 4);
    case 207: return padlock(p, true, QString());
    case 208: return padlock(p, false, QStringLiteral("1"));
    case 209: return padlock(p, false, QStringLiteral("2"));
    case 211: return pointer(p);
    case 212: return check(p, QColor(0x30, 0x60, 0xE0), 12, 14, 76, 16);
    case 213: return radio(p, false);
    case 214: return radio(p, true);
    case 215: return checkBox(p, false, QColor());
    case 216: return checkBox(p, true, QColor(0x20, 0x60, 0xC0));
    case 217: return checkBox(p, true, QColor(0x20, 0xA0, 0x20));
    case 219: return symbolBadge(p, QStringLiteral("?"), QColor(0x30, 0x70, 0xD0));
    case 221: return plusMinusBox(p, true);
    case 222: return plusMinusBox(p, false);
    case 223: return check(p, QColor(0x20, 0xA0, 0x20), 12, 14, 76, 16);
    case 228: return paperclip(p);
    case 232: return warning(p);
    case 233: return symbolBadge(p, QStringLiteral("!"), QColor(0xD0, 0x38, 0x30));
    case 234: return symbolBadge(p, QStringLiteral("="), QColor(0x90, 0x90, 0x90));
    case 235: return symbolBadge(p, QStringLiteral("+"), QColor(0x3C, 0xA0, 0x3C));
    case 236: return symbolBadge(p, QStringLiteral("-"), QColor(0xD0, 0x38, 0x30));
    case 237: return symbolBadge(p, QString(QChar(0x03A3)), QColor(0x30, 0x70, 0xD0));
    case 239: case 240: case 241: case 242: case 243: {
        p.save();
        categoryPicture(p, 3);
        p.restore();
        p.setPen(outline(kInk[index - 239].darker(150), 5));
        p.setBrush(kInk[index - 239]);
        p.drawEllipse(QPointF(50, 66), 22, 22);
        return;
    }
    case 251: return clockFace(p, QColor(0x90, 0x90, 0x90));
    case 252: return printer(p);
    case 253: return header(p);
    case 254: return disc(p, QColor(0xB0, 0xB0, 0xB0), 50, 50, 22);
    case 255: return;
    case 333: return eye(p, true);
    case 334: return warning(p);
    case 336: return eye(p, false);
    case 337: return header(p);
    case 339: return eye(p, false);
    default: return badge(p, index);
    }
}

void drawButton(QPainter &p, int index)
{
    switch (index) {
    case 3: return printer(p);
    case 6: return closeDoor(p);
    case 42: return note(p);
    case 43: return padlock(p, true, QString());
    case 44: return padlock(p, false, QString());
    case 81: return calendar(p, QString(), QColor(0x30, 0x70, 0xD0));
    case 83: return bell(p, true);
    case 84: return bell(p, false);
    case 91: case 92: case 93: case 94: case 95:
        return padlock(p, false, QString::number(index - 90));
    default:
        if (index < 12)
            return folder(p, familyColour(index), false);
        return badge(p, index);
    }
}

void drawLarge(QPainter &p, int index)
{
    if (index == 0)
        return group(p);
    if (index == 1)
        return person(p, QColor(0x90, 0x90, 0x90));
    if (index < 12)
        return person(p, familyColour(index - 2));
    switch (index) {
    case 13: return gridTable(p, true);
    case 14: return gridTable(p, false);
    case 22: return productBox(p);
    case 23: return categoryPicture(p, 0);
    case 24: return categoryPicture(p, 1);
    default: return badge(p, index);
    }
}

} // namespace

int IconGlyphCount(int listId)
{
    switch (listId) {
    case 131: return kList131Count;
    case 132: return kList132Count;
    case 133: return kList133Count;
    default: return 0;
    }
}

void DrawIconGlyph(QPainter &painter, const QRectF &box, int listId, int index)
{
    if (index < 0 || index >= IconGlyphCount(listId) || box.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.translate(box.topLeft());
    painter.scale(box.width() / 100.0, box.height() / 100.0);
    if (listId == 131)
        drawSmall(painter, index);
    else if (listId == 132)
        drawButton(painter, index);
    else
        drawLarge(painter, index);
    painter.restore();
}
