#include "controls/CXWnd.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/ImageList.h"
#include "controls/ControlMessages.h"
#include "controls/DlgItem.h"
#include "controls/DrawTextFormat.h"
#include "data/SharedDatabase.h"
#include "platform/PlacedFile.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QPointer>
#include <QtGui/QImageReader>

#include <algorithm>
#include <cmath>
#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPixmap>
#include <QtWidgets/QLayout>
#include <QtWidgets/QScrollBar>

#include <algorithm>

namespace {

QColor qc(ColorRef c) { return ColorRefToQColor(c); }

constexpr int kScrollBarWidth = 17;

} // namespace

CXWnd::CXWnd(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setAutoFillBackground(false);
    // The scheme is empty until SetColorScheme; pens and brushes start black.
    for (size_t i = 0; i < m_pens.size(); ++i) {
        m_pens[i] = QPen(Qt::black, 1);
        m_brushes[i] = QBrush(Qt::black);
    }
}

CXWnd::~CXWnd() = default;

// --- creation ------------------------------------------------------------

bool CXWnd::takePlaceholder(QWidget *parent, unsigned id, QString *text, QRect *rect)
{
    QWidget *placeholder = GetDlgItem(parent, id);
    if (!placeholder)
        return false;
    if (text)
        *text = GetControlText(placeholder);
    // The window takes the placeholder's place among its siblings.
    QWidget *container = placeholder->parentWidget();
    const QRect geometry = placeholder->geometry();
    setParent(container ? container : parent);
    if (container && container->layout())
        container->layout()->replaceWidget(placeholder, this);
    m_placeholderRect = geometry;
    if (rect)
        *rect = geometry;
    // The placeholder gives up its id at once, so the id now finds this window.
    SetDlgCtrlID(placeholder, 0);
    placeholder->hide();
    placeholder->deleteLater();
    return true;
}

void CXWnd::markCreated(QWidget *parent, unsigned id)
{
    m_id = id;
    m_owner = parent;
    SetDlgCtrlID(this, id);
    m_created = true;
    show();
}

bool CXWnd::CreateFromDlgItem(QWidget *parent, unsigned id)
{
    QString text;
    QRect rect;
    if (!takePlaceholder(parent, id, &text, &rect))
        return false;
    setWindowTitle(text);
    setGeometry(rect);
    markCreated(parent, id);
    return true;
}

bool CXWnd::CreateFromItem(QWidget *parent, unsigned id, int hue, std::uint8_t colour, std::uint8_t border,
                           std::uint8_t font, std::uint32_t textFormat, const QString &text)
{
    if (!CreateFromDlgItem(parent, id))
        return false;
    m_item.caption = text.isEmpty() ? windowTitle() : text;
    SetColorScheme(hue);
    SetStyles(colour, border, font, textFormat);
    return true;
}

// --- scheme and texts ----------------------------------------------------

void CXWnd::SetColorScheme(int hue)
{
    if (hue < 0)
        return;
    m_hue = hue;
    m_colors[0] = 0xFFFFFF;
    for (int level = 1; level <= 5; ++level)
        m_colors[size_t(level)] = GetHueShade(hue, level);
    m_colors[6] = GetHueShade(hue, 0);
    for (size_t i = 0; i < 6; ++i) {
        m_pens[i] = QPen(qc(m_colors[i]), 1);
        m_brushes[i] = QBrush(qc(m_colors[i]));
    }
    if (m_created)
        update();
}

void CXWnd::SetImage(std::uint8_t imageIndex, int image)
{
    m_item.image = image;
    m_item.imageIndex = imageIndex;
    if (m_created)
        update();
}

void CXWnd::SetText(const QString &caption)
{
    m_item.caption = caption;
    if (m_created)
        update();
}

void CXWnd::SetTexts(const QString &caption, const QString &second)
{
    m_item.caption = caption;
    m_item.text2 = second;
    if (m_created)
        update();
}

void CXWnd::SetStyles(std::uint8_t colour, std::uint8_t border, std::uint8_t font, std::uint32_t textFormat)
{
    m_item.colour = colour;
    m_item.baseColour = colour;
    m_item.border = border;
    m_item.font = font;
    m_item.format = textFormat;
}

void CXWnd::SetFontIndex(std::uint8_t font)
{
    m_item.font = font;
}

int CXWnd::MeasureText(const QString &text, std::uint8_t font) const
{
    return QFontMetrics(Appearance::instance().GetFont(font)).horizontalAdvance(text);
}

// --- scrolling -----------------------------------------------------------

int CXWnd::scrollBarWidth() const
{
    return isVertScrollShown() ? kScrollBarWidth : 0;
}

bool CXWnd::isVertScrollShown() const
{
    return m_vscroll && !m_vscroll->isHidden();
}

int CXWnd::scrollBarHeight() const
{
    return isHorzScrollShown() ? kScrollBarWidth : 0;
}

bool CXWnd::isHorzScrollShown() const
{
    return m_hscroll && !m_hscroll->isHidden();
}

void CXWnd::placeScrollBars()
{
    const int below = scrollBarHeight();
    if (m_vscroll)
        m_vscroll->setGeometry(width() - kScrollBarWidth, 0, kScrollBarWidth, std::max(0, height() - below));
    if (m_hscroll)
        m_hscroll->setGeometry(0, height() - kScrollBarWidth, std::max(0, width() - scrollBarWidth()),
                               kScrollBarWidth);
}

void CXWnd::SetHorzScrollRange(int contentWidth)
{
    m_contentWidth = std::max(0, contentWidth);
    const int room = std::max(0, width() - scrollBarWidth());
    const int drawn = m_client.height();
    if (m_contentWidth > room) {
        if (!m_hscroll) {
            m_hscroll = new QScrollBar(Qt::Horizontal, this);
            m_hscroll->setFocusPolicy(Qt::NoFocus);
            connect(m_hscroll, &QScrollBar::valueChanged, this, [this](int value) {
                if (value == m_scrollX)
                    return;
                m_scrollX = value;
                OnHScroll();
                update();
            });
        }
        m_hscroll->setRange(0, m_contentWidth - room);
        m_hscroll->setPageStep(std::max(1, room));
        m_hscroll->setSingleStep(20);
        m_scrollX = std::clamp(m_scrollX, 0, m_contentWidth - room);
        m_hscroll->setValue(m_scrollX);
        m_hscroll->show();
    } else {
        if (m_hscroll)
            m_hscroll->hide();
        m_scrollX = 0;
    }
    placeScrollBars();
    updateClientRect();
    if (m_client.height() != drawn)
        update();
}

void CXWnd::EnsureHorzVisible(int left, int right)
{
    if (!isHorzScrollShown())
        return;
    const int room = m_client.width();
    int next = m_scrollX;
    if (right - next > room)
        next = right - room;
    if (left < next)
        next = left;
    m_hscroll->setValue(std::clamp(next, 0, m_hscroll->maximum()));
}

void CXWnd::SetVertScrollRange(int pageCount, int visible)
{
    // A scroll bar that comes or goes changes the room of what was just
    // drawn: it is drawn again in the room left.
    const QSize drawn = m_client.size();
    if (pageCount > visible) {
        if (!m_vscroll) {
            m_vscroll = new QScrollBar(Qt::Vertical, this);
            m_vscroll->setFocusPolicy(Qt::NoFocus);
            connect(m_vscroll, &QScrollBar::actionTriggered, this, &CXWnd::onScrollAction);
        }
        m_scrollMax = pageCount - 1;
        m_scrollPage = visible;
        m_vscroll->setRange(0, m_scrollMax - m_scrollPage + 1);
        m_vscroll->setPageStep(m_scrollPage);
        m_vscroll->setSingleStep(1);
        m_vscroll->show();
    } else if (m_vscroll) {
        m_vscroll->hide();
    }
    placeScrollBars();
    // The room beside the vertical bar is what scrolls sideways.
    if (m_hscroll && m_contentWidth > 0)
        SetHorzScrollRange(m_contentWidth);
    updateClientRect();
    if (m_client.size() != drawn)
        update();
}

void CXWnd::onScrollAction(int action)
{
    int code = -1;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    default: return;
    }
    const int previous = m_vscroll->value();
    const int pos = m_vscroll->sliderPosition();
    // The handler decides the position; the bar shows what it decided.
    m_vscroll->setSliderPosition(previous);
    OnVScroll(code, pos);
}

void CXWnd::OnVScroll(int code, int pos)
{
    Q_UNUSED(code);
    Q_UNUSED(pos);
}

bool CXWnd::ScrollVert(int code, int pos, int *top)
{
    if (!top)
        return false;
    const int limit = std::max(0, m_scrollMax - m_scrollPage + 1);
    const int page = m_scrollMax - limit + 1;
    int next = *top;
    switch (code) {
    case SB_LINEUP: next -= 1; break;
    case SB_LINEDOWN: next += 1; break;
    case SB_PAGEUP: next -= page; break;
    case SB_PAGEDOWN: next += page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: next = pos; break;
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: next = limit; break;
    default: return false;
    }
    next = std::clamp(next, 0, limit);
    if (next == *top)
        return false;
    *top = next;
    if (m_vscroll)
        m_vscroll->setValue(next);
    update();
    return true;
}

// --- messages --------------------------------------------------------------

void CXWnd::sendToOwner(int message, qintptr wParam, qintptr lParam)
{
    emit ownerMessage(message, wParam, lParam);
}

void CXWnd::postToOwner(int message, qintptr wParam, qintptr lParam)
{
    QMetaObject::invokeMethod(
        this, [this, message, wParam, lParam] { emit ownerMessage(message, wParam, lParam); },
        Qt::QueuedConnection);
}

void CXWnd::postCommand(int id)
{
    QMetaObject::invokeMethod(this, [this, id] { emit commandTriggered(id); }, Qt::QueuedConnection);
}

// --- painting --------------------------------------------------------------

void CXWnd::updateClientRect()
{
    m_client = QRect(0, 0, std::max(0, width() - scrollBarWidth()), std::max(0, height() - scrollBarHeight()));
}

void CXWnd::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeScrollBars();
    updateClientRect();
    if (m_hscroll && m_contentWidth > 0)
        SetHorzScrollRange(m_contentWidth);
}

void CXWnd::paintEvent(QPaintEvent *)
{
    updateClientRect();
    // A window 2 pixels wide or high is a 1-pixel separator line.
    if (m_client.width() == 2)
        m_client.setWidth(1);
    else if (m_client.height() == 2)
        m_client.setHeight(1);
    QPainter painter(this);
    painter.setFont(Appearance::instance().GetFont(2));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.setClipRect(m_client);
    m_dc = &painter;
    Draw();
    m_dc = nullptr;
}

namespace {

// Relative luminance of an sRGB colour, 0 black .. 1 white.
double luminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

ColorRef CXWnd::EmbossTopColour() const
{
    // The embossed caption stands on the scheme's light fills (colours 0 and
    // 1); its face takes colour 2 when that reads well there, else the first
    // darker scheme colour that does.
    const QColor fillA = qc(m_colors[0]);
    const QColor fillB = qc(m_colors[1]);
    for (int i : {2, 3, 4, 5}) {
        const QColor face = qc(m_colors[i]);
        if (std::min(contrast(face, fillA), contrast(face, fillB)) >= 3.0)
            return m_colors[i];
    }
    return 0x000000;
}

QImage CXWnd::renderImage()
{
    QImage image(size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    render(&image);
    return image;
}

void CXWnd::Draw()
{
    QRect work = m_client;
    m_item.rect = work;
    FillBackground(work, m_item.colour);
    const ColorRef textColour = IsDarkStyleColor(m_item.colour) ? m_colors[0] : m_colors[5];
    QRect textArea = work;
    if (m_item.image != 0 && m_item.imageIndex != 255) {
        QRect imageArea = work.adjusted(4, 0, -4, 0);
        QSize imageSize(imageArea.height(), imageArea.height());
        if (const ImageList *list = Appearance::instance().GetImageList(unsigned(m_item.image)))
            imageSize = list->iconSize();
        else if (m_item.image == 134 || m_item.image == 135)
            imageSize = QSize(64, 64);
        if (DrawImage(imageArea, m_item.image, m_item.imageIndex, m_item.format, m_item.state)) {
            const QRect placed = AlignRect(imageArea, imageSize, m_item.format);
            if (m_item.format & DT_RIGHT)
                textArea.setRight(placed.left() - 1);
            else
                textArea.setLeft(placed.right() + 1);
        }
    }
    const std::uint8_t font = m_item.font < 3 ? 2 : m_item.font;
    if (m_item.text2.isEmpty()) {
        DrawText(textArea, m_item.caption, m_item.format, textColour, font, 3);
    } else {
        QRect captionArea(textArea.left(), m_item.rect.top(), textArea.width(), 22);
        if (m_item.border)
            captionArea.adjust(3, 3, -3, 3);
        DrawText(captionArea, m_item.caption, 2084, 0x000000, std::max<std::uint8_t>(m_item.font, 2), 3);
        DrawBorder(captionArea, 32, m_item.colour);
        QRect secondArea = textArea;
        secondArea.setTop(captionArea.bottom() + 1 + 2);
        if (m_item.border)
            secondArea.adjust(3, 0, -3, -3);
        DrawText(secondArea, m_item.text2, 2128, 0x000000, 2, 3);
    }
    DrawBorder(m_item.rect, m_item.border, m_item.colour);
}

// --- drawing helpers -------------------------------------------------------

void CXWnd::FillSolid(const QRect &rect, ColorRef colour)
{
    if (m_dc && rect.isValid())
        m_dc->fillRect(rect, qc(colour));
}

void CXWnd::GradientFill(const QRect &rect, ColorRef from, ColorRef to, bool vertical)
{
    if (!m_dc || !rect.isValid())
        return;
    QLinearGradient gradient(rect.topLeft(), vertical ? QPointF(rect.left(), rect.bottom() + 1)
                                                      : QPointF(rect.right() + 1, rect.top()));
    gradient.setColorAt(0, qc(from));
    gradient.setColorAt(1, qc(to));
    m_dc->fillRect(rect, gradient);
}

void CXWnd::FillBackground(const QRect &rect, std::uint8_t style)
{
    const auto &c = m_colors;
    switch (style) {
    case 1: FillSolid(rect, 0xFFFFFF); break;
    case 2: FillSolid(rect, 0xFAFAFA); break;
    case 3: FillSolid(rect, GetSystemColor(SysColorButtonFace)); break;
    case 4: FillSolid(rect, c[1]); break;
    case 5: FillSolid(rect, c[2]); break;
    case 6: GradientFill(rect, c[0], c[2], true); break;
    case 7: GradientFill(rect, c[2], c[0], true); break;
    case 8: GradientFill(rect, c[0], c[2], false); break;
    case 9:
        if (rect.width() <= rect.height())
            GradientFill(rect, c[0], c[1], true);
        else
            GradientFill(rect, c[2], c[0], false);
        break;
    case 10: GradientFill(rect, c[3], c[4], true); break;
    case 11: GradientFill(rect, c[4], c[3], true); break;
    case 12: GradientFill(rect, c[2], c[4], false); break;
    case 13: GradientFill(rect, c[4], c[2], false); break;
    case 14: FillSolid(rect, c[3]); break;
    case 15: FillSolid(rect, c[4]); break;
    case 16: FillSolid(rect, c[5]); break;
    case 17: {
        QRect top = rect;
        top.setHeight(rect.height() / 2);
        QRect bottom = rect;
        bottom.setTop(top.bottom() + 1);
        GradientFill(top, c[2], c[4], true);
        FillSolid(bottom, c[5]);
        break;
    }
    case 18: {
        QRect left = rect;
        left.setWidth(rect.width() / 2);
        QRect right = rect;
        right.setLeft(left.right() + 1);
        GradientFill(left, c[4], c[3], false);
        GradientFill(right, c[3], c[4], false);
        break;
    }
    case 19: case 20: case 21: case 22: case 23: case 24: case 25:
        FillSolid(rect, GetStyleCaptionColor(style));
        break;
    default:
        break;
    }
}

bool CXWnd::BorderCoversTop(std::uint8_t border)
{
    return (border >= 1 && border <= 16) || (border > 16 && (border & 16));
}

bool CXWnd::BorderCoversBottom(std::uint8_t border)
{
    return (border >= 1 && border <= 15) || border == 32 || (border > 16 && (border & 32));
}

void CXWnd::DrawBorder(const QRect &r, std::uint8_t border, std::uint8_t colour)
{
    if (!m_dc || border == 0 || !r.isValid())
        return;
    const auto &c = m_colors;
    ColorRef light = c[1];
    ColorRef dark = c[3];
    switch (colour) {
    case 4: light = c[0]; dark = c[3]; break;
    case 10: case 11: case 12: case 13: case 15: case 17: case 18: case 19: case 21: case 22: case 24: case 25:
        light = c[3]; dark = c[5]; break;
    case 14: light = c[2]; dark = c[4]; break;
    case 16: case 20: light = c[4]; dark = 0x000000; break;
    default: break;
    }
    const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    auto hline = [this](int x1, int x2, int y, ColorRef col) { m_dc->fillRect(QRect(x1, y, x2 - x1 + 1, 1), qc(col)); };
    auto vline = [this](int x, int y1, int y2, ColorRef col) { m_dc->fillRect(QRect(x, y1, 1, y2 - y1 + 1), qc(col)); };
    auto frame = [&](ColorRef topLeft, ColorRef bottomRight) {
        hline(l, rt, t, topLeft);
        vline(l, t, b, topLeft);
        hline(l, rt, b, bottomRight);
        vline(rt, t, b, bottomRight);
    };
    switch (border) {
    case 1: frame(dark, dark); break;
    case 2: frame(light, dark); break;
    case 3: frame(dark, light); break;
    case 4: {
        const int cut = r.height() / 5;
        vline(l, t + cut, b - cut, light);
        vline(rt, t + cut, b - cut, dark);
        break;
    }
    case 5: case 11: case 12: case 13: case 14: case 15: break;
    case 6: frame(c[2], c[2]); break;
    case 7: frame(c[2], c[3]); break;
    case 8: frame(c[3], c[3]); break;
    case 9: frame(c[4], c[4]); break;
    case 10: frame(c[3], c[4]); break;
    case 16: hline(l, rt, t, IsDarkStyleColor(colour) ? c[5] : c[3]); break;
    default:
        if (border & 16)
            hline(l, rt, t, light);
        if (border & 64)
            vline(l, t, b, light);
        if (border & 32)
            hline(l, rt, b, dark);
        if (border & 128)
            vline(rt, t, b, dark);
        break;
    }
}

namespace {
// The room of a text drawn with an indent from the side it is set on, a
// wrapped one a few pixels below the top.
QRect indentedRect(QRect rect, std::uint32_t format, int indent, int wrappedTop)
{
    if (format & DT_RIGHT)
        rect.setRight(rect.right() - indent);
    else if (!(format & DT_CENTER))
        rect.setLeft(rect.left() + indent);
    if (format & DT_WORDBREAK)
        rect.setTop(rect.top() + wrappedTop);
    return rect;
}
} // namespace

int CXWnd::DrawTextInFont(const QRect &rectIn, const QString &text, std::uint32_t format, ColorRef colour,
                          const QFont &font, int indent)
{
    if (!m_dc || text.isEmpty())
        return 0;
    const QRect rect = indentedRect(rectIn, format, indent, 1);
    m_dc->save();
    m_dc->setFont(font);
    m_dc->setPen(qc(colour));
    const int height = DrawFormattedText(*m_dc, rect, text, format | DT_WORD_ELLIPSIS | DT_WRAP_WHEN_LONG);
    m_dc->restore();
    return height;
}

QFont CXWnd::FittingFont(const QFont &font, const QRect &rect, const QString &text, int indent)
{
    QFont fitted = font;
    const QRect room = rect.adjusted(indent, 1, 0, 0);
    QPixmap scratch(1, 1);
    for (;;) {
        QPainter measure(&scratch);
        measure.setFont(fitted);
        const int height = DrawFormattedText(measure, room, text, 2128 | DT_CALCRECT);
        if (height <= room.height() || fitted.pointSizeF() <= 7.0)
            return fitted;
        fitted.setPointSizeF(std::max(7.0, fitted.pointSizeF() - 0.5));
    }
}

int CXWnd::DrawText(const QRect &rectIn, const QString &text, std::uint32_t format, ColorRef colour,
                    std::uint8_t font, int indent)
{
    if (!m_dc || text.isEmpty())
        return 0;
    QRect rect = indentedRect(rectIn, format, indent, font > 2 ? 2 : 1);
    Appearance &appearance = Appearance::instance();
    m_dc->save();
    m_dc->setFont(appearance.GetFont(font));
    int height = 0;
    if (font == 7) {
        // Embossed: a dark pass in place, a white one up-left, a mid one between.
        m_dc->setPen(qc(m_colors[4]));
        DrawFormattedText(*m_dc, rect, text, format);
        m_dc->setPen(Qt::white);
        height = DrawFormattedText(*m_dc, rect.translated(-2, -2), text, format) - 2;
        m_dc->setPen(qc(EmbossTopColour()));
        DrawFormattedText(*m_dc, rect.translated(-1, -1), text, format);
    } else if (format & DT_TWO_PART) {
        const int cut = text.indexOf(QLatin1Char('\n'));
        const QString first = cut < 0 ? text : text.left(cut);
        const QString rest = cut < 0 ? QString() : text.mid(cut + 1);
        m_dc->setPen(qc(colour));
        height = DrawFormattedText(*m_dc, rect, first, 2080);
        rect.setTop(rect.top() + height);
        if (!rest.isEmpty()) {
            m_dc->setFont(appearance.GetFont(2));
            height += DrawFormattedText(*m_dc, rect, rest, 2128);
        }
    } else {
        m_dc->setPen(qc(colour));
        height = DrawFormattedText(*m_dc, rect, text, format | DT_WORD_ELLIPSIS | DT_WRAP_WHEN_LONG);
    }
    m_dc->restore();
    return height;
}

QRect CXWnd::AlignRect(const QRect &rect, const QSize &size, std::uint32_t format)
{
    int x;
    if (format & DT_CENTER)
        x = rect.left() + (rect.width() - size.width()) / 2;
    else if (format & DT_RIGHT)
        x = rect.right() + 1 - 3 - size.width();
    else
        x = rect.left() + std::clamp(rect.width() - size.width(), 0, 3);
    int y;
    if (format & DT_VCENTER)
        y = rect.top() + (rect.height() - size.height()) / 2;
    else if (format & DT_BOTTOM)
        y = rect.bottom() + 1 - size.height();
    else
        y = rect.top();
    return QRect(QPoint(x, y), size);
}

bool CXWnd::DrawImage(const QRect &rectIn, int image, std::uint8_t index, std::uint32_t format, std::uint8_t state)
{
    if (!m_dc || index == 255)
        return false;
    Appearance &appearance = Appearance::instance();
    if (image >= 131 && image <= 133) {
        const ImageList *list = appearance.GetImageList(unsigned(image));
        QRect rect = rectIn;
        if (image == 133)
            rect.setBottom(rect.bottom() + 1);
        const QRect box = AlignRect(rect, list->iconSize(), format);
        return list->draw(*m_dc, index, box.topLeft(), state == struct_RIB_ITEM::Disabled);
    }
    if (image == 134 || image == 135) {
        const QString sub = image == 134 ? QStringLiteral("Photos") : QStringLiteral("Products");
        // Employee photos and product pictures live beside the database.
        const QString path = QDir(DataFolder()).filePath(sub + QLatin1Char('/') + QString::number(index) +
                                                             QStringLiteral(".bmp"));
        if (DrawImageFile(rectIn, path, format, 64, 64))
            return true;
        const int fallback = image == 134 ? CZqApp::GetEmployeeIcon(quint8(index), 133) : 22;
        return DrawImage(rectIn, 133, std::uint8_t(fallback), format, state);
    }
    if (image == 0)
        return false;
    // A bitmap of the program's resources, in a square as high as the rect.
    QPixmap bitmap(QStringLiteral(":/bitmaps/%1").arg(image));
    if (bitmap.isNull())
        return false;
    const QRect box = AlignRect(rectIn, QSize(rectIn.height(), rectIn.height()), format);
    m_dc->drawPixmap(box, bitmap);
    return true;
}

bool CXWnd::DrawImageFile(const QRect &rect, const QString &path, std::uint32_t format, int cx, int cy)
{
    if (!m_dc)
        return false;
    // The picture is a file somebody put in a shared folder: read through the
    // checks, so that a pipe or a device under its name is passed over at
    // once and a file larger than any picture is not read.
    constexpr qint64 kMaxPicture = 64 * 1024 * 1024;
    QByteArray bytes;
    QString refusal;
    if (!platform::PlacedFile::Read(path, kMaxPicture, bytes, refusal))
        return false;
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    const QImage picture = reader.read();
    if (picture.isNull())
        return false;
    // The box the picture must fit: the given size, or a square inside the rect.
    QSize box;
    if (cx <= 0 || cy <= 0) {
        const int side = std::min(rect.width(), rect.height()) - 3;
        box = QSize(side, side);
    } else {
        double factor = std::min(double(rect.width() - 3) / cx, double(rect.height() - 3) / cy);
        if (factor > 1.0)
            factor = 1.0;
        box = QSize(int(cx * factor), int(cy * factor));
    }
    if (box.width() <= 0 || box.height() <= 0)
        return false;
    QSize shown = picture.size();
    if (shown.width() > box.width() || shown.height() > box.height())
        shown = shown.scaled(box, Qt::KeepAspectRatio); // shrunk, never enlarged
    const QRect place = AlignRect(rect, shown, format);
    m_dc->drawImage(place, picture);
    return true;
}

void CXWnd::DrawArrow(QRect &rect, std::uint8_t style, std::uint32_t format, bool dark)
{
    int gw = 5, gh = 10;
    const int thick = 1;
    switch (style) {
    case 1: case 2: case 5: case 6: gw = 5; gh = 10; break;
    case 3: case 7: case 8: gw = 10; gh = 5; break;
    case 4: gw = 8; gh = 4; break;
    case 9: case 10: gw = 3; gh = 6; break;
    case 11: case 12: gw = 6; gh = 3; break;
    default: return;
    }
    const int boxWidth = 2 * gw + 4 * thick;
    QRect box = rect;
    if (format & DT_RIGHT) {
        box.setLeft(rect.right() + 1 - boxWidth);
        rect.setRight(box.left() - 1);
    } else if (!(format & DT_CENTER)) {
        box.setWidth(boxWidth);
        rect.setLeft(box.right() + 1);
    }
    if (!m_dc)
        return;
    const int x = box.left() + (box.width() - gw) / 2;
    const int y = box.top() + (box.height() - gh) / 2;
    const QBrush &fill = dark ? m_brushes[4] : m_brushes[0];
    const QPen &line = dark ? m_pens[4] : m_pens[1];

    auto triangle = [&](int dir, int ox, int oy) {
        QPolygon poly;
        const int l = ox, t = oy, r = ox + gw, b = oy + gh;
        switch (dir) {
        case 1: poly << QPoint(r, t) << QPoint(r, b) << QPoint(l, t + gh / 2); break;
        case 2: poly << QPoint(l, t) << QPoint(l, b) << QPoint(r, t + gh / 2); break;
        case 3: poly << QPoint(l, b) << QPoint(r, b) << QPoint(l + gw / 2, t); break;
        default: poly << QPoint(l, t) << QPoint(r, t) << QPoint(l + gw / 2, b); break;
        }
        QPainterPath path;
        path.addPolygon(QPolygonF(poly));
        path.closeSubpath();
        path.setFillRule(Qt::WindingFill);
        m_dc->fillPath(path, fill);
    };
    auto lineAt = [&](int x1, int y1, int x2, int y2) {
        m_dc->save();
        m_dc->setPen(line);
        m_dc->drawLine(x1, y1, x2, y2);
        m_dc->restore();
    };

    m_dc->save();
    m_dc->setRenderHint(QPainter::Antialiasing, false);
    switch (style) {
    case 1: case 2: case 3: case 4: triangle(style, x, y); break;
    case 5:
        triangle(1, x, y);
        lineAt(x - 3, y, x - 3, y + gh);
        break;
    case 6:
        triangle(2, x, y);
        lineAt(x + gw + 2, y, x + gw + 2, y + gh);
        break;
    case 7:
        triangle(3, x, y);
        lineAt(x, y + gh + 2, x + gw, y + gh + 2);
        break;
    case 8:
        triangle(4, x, y);
        lineAt(x, y - 2, x + gw, y - 2);
        break;
    case 9: case 10: case 11: case 12: {
        const int offsets[] = {-2, -1, 2, 3};
        m_dc->setPen(line);
        for (int off : offsets) {
            QPolygon poly;
            if (style == 9)
                poly << QPoint(x + off + gw, y) << QPoint(x + off, y + gh / 2) << QPoint(x + off + gw, y + gh);
            else if (style == 10)
                poly << QPoint(x + off, y) << QPoint(x + off + gw, y + gh / 2) << QPoint(x + off, y + gh);
            else if (style == 11)
                poly << QPoint(x, y + off + gh) << QPoint(x + gw / 2, y + off) << QPoint(x + gw, y + off + gh);
            else
                poly << QPoint(x, y + off) << QPoint(x + gw / 2, y + off + gh) << QPoint(x + gw, y + off);
            m_dc->drawPolyline(poly);
        }
        break;
    }
    default: break;
    }
    m_dc->restore();
}

void CXWnd::DrawSeparator(const QRect &r, int style, int inset, const QPen &pen)
{
    if (!m_dc)
        return;
    m_dc->save();
    m_dc->setPen(pen);
    m_dc->setRenderHint(QPainter::Antialiasing, false);
    switch (style) {
    case 4: {
        const int x = r.left() + r.width() / 2;
        m_dc->drawLine(x, r.top() + inset, x, r.bottom() - inset);
        break;
    }
    case 5: {
        const int y = r.top() + r.height() / 2;
        m_dc->drawLine(r.left() + inset, y, r.right() - inset, y);
        break;
    }
    case 16: m_dc->drawLine(r.left() + inset, r.top(), r.right() - inset, r.top()); break;
    case 32: m_dc->drawLine(r.left() + inset, r.bottom(), r.right() - inset, r.bottom()); break;
    case 64: m_dc->drawLine(r.left() + 1, r.top() + inset, r.left() + 1, r.bottom() - inset); break;
    case 128: m_dc->drawLine(r.right(), r.top() + inset, r.right(), r.bottom() - inset); break;
    default: break;
    }
    m_dc->restore();
}

void CXWnd::DrawFrameBox(const QRect &rect)
{
    if (!m_dc)
        return;
    m_dc->save();
    m_dc->setRenderHint(QPainter::Antialiasing, false);
    m_dc->setPen(m_pens[3]);
    m_dc->setBrush(m_brushes[1]);
    m_dc->drawRect(rect.adjusted(0, 0, -1, -1));
    m_dc->restore();
    GradientFill(rect.adjusted(2, 2, -2, -2), m_colors[6], 0xA6E1FF, true);
}

void CXWnd::DrawRoundBox(const QRect &rectIn, const QPen &pen, ColorRef from, ColorRef to)
{
    if (!m_dc)
        return;
    const QRect rect = rectIn.adjusted(0, 0, 0, 2);
    m_dc->save();
    m_dc->setRenderHint(QPainter::Antialiasing, true);
    m_dc->setPen(pen);
    m_dc->setBrush(Qt::white);
    m_dc->drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
    m_dc->restore();
    GradientFill(rect.adjusted(1, 2, -1, -2), from, to, true);
}

void CXWnd::OffsetPoints(QPoint *points, int count, int dx, int dy)
{
    for (int i = 0; i < count; ++i)
        points[i] += QPoint(dx, dy);
}
