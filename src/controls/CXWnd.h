#pragma once

#include "app/base/Colours.h"
#include "controls/struct_RIB_ITEM.h"

#include <QtCore/QRect>
#include <QtGui/QBrush>
#include <QtGui/QPen>
#include <QtWidgets/QWidget>

#include <array>
#include <cstdint>

class QPainter;
class QScrollBar;

// The window base of the program's own controls. It replaces a placeholder
// control of a dialog, keeps a colour scheme of seven colours made from one
// hue, paints every frame through the virtual Draw into the window's
// off-screen buffer, and offers the drawing helpers all derived controls use.
// A plain CXWnd draws itself as a panel from its own item record: background,
// optional image, one- or two-line caption and border.
//
// Owners hear from the control through signals: commandTriggered for a
// command id, ownerMessage for the numbered control messages.
class CXWnd : public QWidget
{
    Q_OBJECT

public:
    explicit CXWnd(QWidget *parent = nullptr);
    ~CXWnd() override;

    // Stores the image and index in the item record; repaints when created.
    virtual void SetImage(std::uint8_t imageIndex, int image);
    // Paints the whole client area through the drawing painter.
    virtual void Draw();

    bool CreateFromDlgItem(QWidget *parent, unsigned id);
    bool CreateFromItem(QWidget *parent, unsigned id, int hue, std::uint8_t colour, std::uint8_t border,
                        std::uint8_t font, std::uint32_t textFormat, const QString &text);
    bool isCreated() const { return m_created; }

    void SetColorScheme(int hue);
    int colorSchemeHue() const { return m_hue; }
    ColorRef color(int index) const { return m_colors[size_t(index)]; }

    void SetText(const QString &caption);
    void SetTexts(const QString &caption, const QString &second);
    void SetStyles(std::uint8_t colour, std::uint8_t border, std::uint8_t font, std::uint32_t textFormat);
    void SetFontIndex(std::uint8_t font);
    const struct_RIB_ITEM &item() const { return m_item; }

    int MeasureText(const QString &text, std::uint8_t font) const;

    void SetVertScrollRange(int pageCount, int visible);
    // Shared handler of the vertical scroll bar for grids: moves *top by the
    // code and returns true when it changed.
    bool ScrollVert(int code, int pos, int *top);
    bool isVertScrollShown() const;
    QScrollBar *verticalScrollBar() const { return m_vscroll; }
    // Content wider than the control scrolls sideways: a horizontal scroll
    // bar along the bottom shows while the content's width is more than the
    // room beside the vertical bar; the content is drawn moved left by
    // horzScrollOffset(). 0 takes the bar away.
    void SetHorzScrollRange(int contentWidth);
    bool isHorzScrollShown() const;
    int horzScrollOffset() const { return m_scrollX; }
    // Scrolls sideways so that the content's columns left..right show
    // (as much of them as the room holds, their left edge first).
    void EnsureHorzVisible(int left, int right);
    QScrollBar *horizontalScrollBar() const { return m_hscroll; }

    unsigned controlId() const { return m_id; }
    QWidget *owner() const { return m_owner; }
    QRect clientRect() const { return m_client; }

    // Renders the control as shown into an image (print the window as shown).
    QImage renderImage();

    // --- drawing helpers; valid only while Draw runs -------------------------
    void FillBackground(const QRect &rect, std::uint8_t style);
    void GradientFill(const QRect &rect, ColorRef from, ColorRef to, bool vertical);
    void DrawBorder(const QRect &rect, std::uint8_t border, std::uint8_t colour);
    int DrawText(const QRect &rect, const QString &text, std::uint32_t format, ColorRef colour,
                 std::uint8_t font, int indent);
    // The same for a plain text in a font of the caller's (a panel's text
    // made smaller to fit).
    int DrawTextInFont(const QRect &rect, const QString &text, std::uint32_t format, ColorRef colour,
                       const QFont &font, int indent);
    // The largest of the font and its smaller sizes, down to 7 points, in
    // which the text wrapped to the rect's width fits its height.
    static QFont FittingFont(const QFont &font, const QRect &rect, const QString &text, int indent);
    bool DrawImage(const QRect &rect, int image, std::uint8_t index, std::uint32_t format, std::uint8_t state);
    bool DrawImageFile(const QRect &rect, const QString &path, std::uint32_t format, int cx, int cy);
    // The glyph box is taken from `rect`: its left edge moves right past it, or
    // its right edge left when right-aligned; a centred glyph keeps the rect.
    void DrawArrow(QRect &rect, std::uint8_t style, std::uint32_t format, bool dark);
    void DrawSeparator(const QRect &rect, int style, int inset, const QPen &pen);
    static QRect AlignRect(const QRect &rect, const QSize &size, std::uint32_t format);
    void DrawFrameBox(const QRect &rect);
    void DrawRoundBox(const QRect &rect, const QPen &pen, ColorRef from, ColorRef to);
    void FillSolid(const QRect &rect, ColorRef colour);
    static void OffsetPoints(QPoint *points, int count, int dx, int dy);

    // Border values that cover the top or bottom edge of an item.
    static bool BorderCoversTop(std::uint8_t border);
    static bool BorderCoversBottom(std::uint8_t border);

signals:
    void commandTriggered(int id);
    void ownerMessage(int message, qintptr wParam, qintptr lParam);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // A vertical scroll message; derived grids override it.
    virtual void OnVScroll(int code, int pos);

    // Sends a control message to the owner now, or after the current event
    // (a posted message).
    void sendToOwner(int message, qintptr wParam, qintptr lParam);
    void postToOwner(int message, qintptr wParam, qintptr lParam);
    void postCommand(int id);

    QPainter *dc() const { return m_dc; }
    const QPen &pen(int i) const { return m_pens[size_t(i)]; }
    const QBrush &brush(int i) const { return m_brushes[size_t(i)]; }
    int scrollBarWidth() const;
    int scrollBarHeight() const;
    // The content moved sideways; derived controls move what they place
    // over it (editors).
    virtual void OnHScroll() {}
    void updateClientRect();
    // The face colour of the embossed caption (font 7): legible on the fills.
    ColorRef EmbossTopColour() const;
    // Geometry of the placeholder taken over by CreateFromDlgItem.
    QRect placeholderRect() const { return m_placeholderRect; }
    bool takePlaceholder(QWidget *parent, unsigned id, QString *text, QRect *rect);
    void markCreated(QWidget *parent, unsigned id);

    struct_RIB_ITEM m_item;
    QRect m_client;
    unsigned m_id = 0;
    int m_hue = -1;
    std::array<ColorRef, 7> m_colors{};
    std::array<QPen, 6> m_pens;
    std::array<QBrush, 6> m_brushes;
    QPainter *m_dc = nullptr;
    QWidget *m_owner = nullptr;

private:
    void onScrollAction(int action);
    void placeScrollBars();

    bool m_created = false;
    QScrollBar *m_vscroll = nullptr;
    QScrollBar *m_hscroll = nullptr;
    int m_contentWidth = 0;
    int m_scrollX = 0;
    int m_scrollMax = 0;
    int m_scrollPage = 0;
    QRect m_placeholderRect;
};
