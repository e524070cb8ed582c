#include "controls/CXRibbon.h"

#include "app/base/Appearance.h"
#include "app/base/ImageList.h"
#include "app/base/Menus.h"
#include "controls/ControlMessages.h"
#include "controls/DrawTextFormat.h"
#include "platform/Settings.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QMenu>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionFocusRect>
#include <QtWidgets/QToolTip>

#include <algorithm>

namespace {

constexpr unsigned kCloseId = 2;
constexpr unsigned kBriefHelpId = 30418;
constexpr unsigned kRemindersId = 8900;
// The button that holds the items a narrow bar cannot show; no command has
// this number.
constexpr unsigned kOverflowId = 0xFFFFFFFFu;
constexpr int kOverflowWidth = 24;
constexpr ColorRef kPressedTop = 0x99FFFF;
constexpr ColorRef kPressedBottom = 0x3196F9;
constexpr ColorRef kHotFrame = 0xA6E1FF;
constexpr ColorRef kHotText = 0x422F16;
constexpr ColorRef kDisabledText = 0xC0C0C0;

CXRibbon::MenuResolver &menuResolver()
{
    static CXRibbon::MenuResolver resolver;
    return resolver;
}

CXRibbon::MenuRunner &menuRunner()
{
    static CXRibbon::MenuRunner runner = [](QMenu &menu, const QPoint &pos) {
        QAction *chosen = menu.exec(pos);
        return chosen ? chosen->data().toInt() : 0;
    };
    return runner;
}

bool isButton(const struct_RIB_ITEM &item) { return item.label == 0; }

// A button of a horizontal bar takes its width in the row unless it is a
// hidden command (a hidden spacer is still a gap).
bool takesRoom(const struct_RIB_ITEM &item)
{
    return isButton(item) && !(item.id != 0 && item.state == struct_RIB_ITEM::Hidden);
}

} // namespace

CXRibbon::CXRibbon(QWidget *parent) : CXWnd(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

CXRibbon::~CXRibbon() = default;

void CXRibbon::SetMenuResolver(MenuResolver resolver)
{
    menuResolver() = std::move(resolver);
}

void CXRibbon::SetMenuRunner(MenuRunner runner)
{
    if (runner)
        menuRunner() = std::move(runner);
    else
        menuRunner() = [](QMenu &menu, const QPoint &pos) {
            QAction *chosen = menu.exec(pos);
            return chosen ? chosen->data().toInt() : 0;
        };
}

// --- creation --------------------------------------------------------------

bool CXRibbon::Create(QWidget *parent, unsigned id, int hue, std::uint8_t barStyle, unsigned imageList,
                      std::uint8_t backStyle, std::uint8_t borderStyle, int gap, int margin, int leftStart,
                      int itemHeight, bool vertical)
{
    if (!CreateFromDlgItem(parent, id))
        return false;
    m_barStyle = barStyle;
    m_fontSize = Appearance::instance().fontSize();
    m_imageList = imageList;
    m_backStyle = backStyle;
    m_borderStyle = borderStyle;
    m_gap = gap;
    m_margin = margin;
    m_leftStart = leftStart;
    SetColorScheme(hue);
    m_vertical = vertical;
    computeMetrics(itemHeight);
    m_hasTips = true;
    return true;
}

bool CXRibbon::CreateWithText(QWidget *parent, unsigned id, int hue, unsigned imageList, std::uint8_t backStyle,
                              std::uint8_t borderStyle, int gap, int margin, int leftStart, int itemHeight)
{
    if (!Create(parent, id, hue, 1, imageList, backStyle, borderStyle, gap, margin, leftStart, itemHeight))
        return false;
    AddItem(id, windowTitle(), 0, 0, 255, 2, 2085, 0, 0, m_cx);
    return true;
}

void CXRibbon::computeMetrics(int itemHeight)
{
    updateClientRect();
    m_cx = m_client.width();
    m_cy = m_client.height();
    if (m_cx > 0 && double(m_cy) / double(m_cx) > 1.5)
        m_vertical = true;
    if (const ImageList *list = Appearance::instance().GetImageList(m_imageList)) {
        m_iconWidth = list->iconSize().width();
        m_iconHeight = list->iconSize().height();
    } else {
        m_iconWidth = m_iconHeight = 18;
    }
    if (m_vertical) {
        m_itemHeight = m_iconHeight + m_margin;
        return;
    }
    switch (m_barStyle) {
    case 0: m_itemHeight = m_iconHeight + 30; break;
    case 3: m_itemHeight = itemHeight ? itemHeight : m_cy; break;
    case 4: m_itemHeight = m_cy - 2 * m_margin; break;
    default:
        m_itemHeight = (itemHeight < m_iconHeight || itemHeight > m_cy) ? m_cy : itemHeight;
        break;
    }
}

void CXRibbon::SetImage(std::uint8_t imageIndex, int image)
{
    m_item.image = image;
    m_item.imageIndex = imageIndex;
    update();
}

// --- items -----------------------------------------------------------------

void CXRibbon::storeRecord(int index)
{
    if (index >= 0 && index < m_items.size())
        m_items[index] = m_item;
}

int CXRibbon::FindItem(unsigned id)
{
    // A bar with one item holds it in the record already: any id finds it.
    if (m_items.size() == 1)
        return 0;
    if (id == 0)
        return -1;
    for (int i = 0; i < m_items.size(); ++i) {
        m_item = m_items[i];
        if (m_item.id == id)
            return i;
    }
    return -1;
}

unsigned CXRibbon::GetItemId(int index)
{
    if (index < 0 || index >= m_items.size())
        return 0;
    m_item = m_items[index];
    return m_item.label ? 0 : m_item.id;
}

int CXRibbon::GetBarHeight() const
{
    return m_labelHeight + m_itemHeight + 2 * m_margin + 3;
}

void CXRibbon::AddItem(unsigned id, const QString &caption, std::uint8_t state, int image,
                       std::uint8_t imageIndex, std::uint8_t font, std::uint32_t format, std::uint8_t colour,
                       std::uint8_t border, int width, std::uint32_t menuId, std::uint8_t subMenu,
                       const QString &tip, int insertAt)
{
    if (caption.contains(QLatin1Char('\n')) && format == 2084)
        format = 2128;
    struct_RIB_ITEM item;
    item.label = 0;
    item.id = id;
    item.state = state;
    item.image = image;
    item.imageIndex = imageIndex;
    item.font = font;
    item.format = format;
    item.colour = colour;
    item.baseColour = colour;
    item.border = border;
    item.menuId = menuId;
    item.subMenu = subMenu;
    item.caption = caption;
    item.text2 = tip;
    int w;
    int h;
    if (!m_vertical) {
        if (width < 0)
            w = MeasureText(caption, font) + 2 * m_iconWidth;
        else if (width == 0)
            w = m_iconWidth / 2 + m_iconWidth;
        else
            w = width;
        // With the caption under the image, or alone, a button is never
        // narrower than its caption, so captions are cut only when the bar
        // itself is short.
        if ((m_barStyle == 0 || m_barStyle == 3) && width > 0 && id != 0 && !caption.isEmpty())
            w = std::max(w, MeasureText(caption, font) + 2 * m_gap + 8);
        // A one-line caption beside its picture (a plain bar's tools) gets
        // the room of both, whatever the font size.
        if (m_barStyle == 1 && width > 0 && id != 0 && !caption.isEmpty() && (format & DT_SINGLELINE) &&
            format != 2129 && image != 0 && imageIndex != 255) {
            int picture = m_iconWidth;
            if (const ImageList *list = Appearance::instance().GetImageList(unsigned(image)))
                picture = list->iconSize().width();
            else if (image == 134 || image == 135)
                picture = 64;
            w = std::max(w, MeasureText(caption, font) + picture + 2 * 3 + 2 + m_gap + (menuId ? 12 : 0));
        }
        h = m_itemHeight;
    } else {
        w = m_cx - 6;
        h = ((id != 0 && width != 70) || id == 0) ? width : m_itemHeight;
    }
    item.rect = QRect(0, 0, w, h);
    item.textWidth = caption.isEmpty() ? 0 : MeasureText(caption, font);
    m_item = item;
    if (insertAt >= 0 && insertAt < m_items.size()) {
        m_items.insert(insertAt, item);
        RecalcLayout(0);
    } else {
        m_items.append(item);
    }
    update();
}

void CXRibbon::AddButton(unsigned id, const QString &caption, std::uint8_t state, int image,
                         std::uint8_t imageIndex, const QString &tip)
{
    AddItem(id, caption, state, image, imageIndex, 2, 2084, 0, 0, 70, 0, 0, tip);
}

void CXRibbon::AddLabel(unsigned id, const QString &text, std::uint8_t state, int width, const QString &tip)
{
    struct_RIB_ITEM item;
    item.label = 1;
    item.id = id;
    item.state = state;
    item.image = 0;
    item.imageIndex = 255;
    item.font = 2;
    item.format = 2085;
    item.colour = 0;
    item.baseColour = 0;
    item.border = 2;
    item.caption = text;
    item.text2 = tip;
    const int needed = MeasureText(text, 2) + 24;
    item.rect = QRect(0, 0, width > needed ? width : needed, m_labelHeight - 2);
    item.textWidth = MeasureText(text, 2);
    m_item = item;
    m_items.append(item);
    update();
}

void CXRibbon::AddSpacer(int width, std::uint8_t border)
{
    AddItem(0, QString(), struct_RIB_ITEM::Hidden, 0, 255, 2, 2084, 0, border, width);
}

void CXRibbon::AddChartTypeGroup(int insertAt)
{
    static const char *names[] = {"Table", "Bar Chart", "Column Chart", "Line Chart", "Pie Chart"};
    for (int i = 0; i < 5; ++i)
        AddItem(3000 + unsigned(i), QString(), struct_RIB_ITEM::Disabled, 131, std::uint8_t(201 + i), 2, 2085, 0,
                0, 24, 0, 0, QString::fromLatin1(names[i]), insertAt < 0 ? -1 : insertAt + i);
}

void CXRibbon::AddNavigationGroup(int insertAt)
{
    struct Entry { unsigned id; const char *tip; int image; std::uint8_t index; };
    static const Entry entries[] = {
        {30101, "Find", 131, 188}, {59648, "First", 0, 5}, {59651, "Previous", 0, 1},
        {59650, "Next", 0, 2},     {59649, "Last", 0, 6},
    };
    int i = 0;
    for (const Entry &e : entries) {
        AddItem(e.id, QString(), 0, e.image, e.index, 2, 2085, 0, 2, 24, 0, 0, QString::fromLatin1(e.tip),
                insertAt < 0 ? -1 : insertAt + i);
        ++i;
    }
}

void CXRibbon::AddCloseButton(int insertAt)
{
    AddItem(kCloseId, QStringLiteral("Close"), 0, 132, 6, 2, 2084, 0, 1, 70, 0, 0, QString(), insertAt);
}

void CXRibbon::AddPrintButton(int insertAt)
{
    AddItem(30330, QStringLiteral("Print"), 0, 132, 3, 2, 2084, 0, 0, 70, 0, 0, QString(), insertAt);
}

void CXRibbon::RemoveItem(unsigned id)
{
    const int index = FindItem(id);
    if (index < 0)
        return;
    BlinkItem(m_items[index].id, false);
    m_items.removeAt(index);
    RecalcLayout(0);
    update();
}

void CXRibbon::RemoveItems(unsigned keepId)
{
    for (int i = int(m_items.size()) - 1; i >= 0; --i) {
        if (isButton(m_items[i]) && m_items[i].id != keepId) {
            if (m_blinkTimers.contains(m_items[i].id))
                BlinkItem(m_items[i].id, false);
            m_items.removeAt(i);
        }
    }
    update();
}

// --- setters and getters ---------------------------------------------------

void CXRibbon::SetItemText(unsigned id, const QString &text)
{
    const int index = FindItem(id);
    if (index < 0)
        return;
    m_item = m_items[index];
    if (m_item.caption == text)
        return;
    m_item.caption = text;
    m_item.textWidth = text.isEmpty() ? 0 : MeasureText(text, m_item.font);
    storeRecord(index);
    update();
}

void CXRibbon::SetItemTip(unsigned id, const QString &tip)
{
    const int index = FindItem(id);
    if (index < 0)
        return;
    m_item = m_items[index];
    m_item.text2 = tip;
    storeRecord(index);
    if (m_items[index].id == m_hotId)
        updateTip();
    update();
}

void CXRibbon::SetItemState(unsigned id, std::uint8_t state)
{
    const int index = FindItem(id);
    if (index < 0)
        return;
    m_item = m_items[index];
    if (m_item.state == state)
        return;
    const bool shownChanged =
        m_item.id != 0 && (m_item.state == struct_RIB_ITEM::Hidden) != (state == struct_RIB_ITEM::Hidden);
    m_item.state = state;
    storeRecord(index);
    if (m_hotId == m_item.id && state != 0 && state != 1)
        m_hotId = 0;
    // A command shown or hidden gives its room to the bar's stretching item
    // or takes it back.
    if (shownChanged)
        RecalcLayout(0);
    update();
}

void CXRibbon::SetItemImage(unsigned id, int image, std::uint8_t imageIndex)
{
    const int index = FindItem(id);
    if (index < 0)
        return;
    m_item = m_items[index];
    if (image != -1)
        m_item.image = image;
    m_item.imageIndex = imageIndex;
    storeRecord(index);
    update();
}

void CXRibbon::SetItemImageFlag(unsigned id, std::uint8_t imageIndex)
{
    const int index = FindItem(id);
    if (index < 0)
        return;
    m_item = m_items[index];
    m_item.imageIndex = imageIndex;
    storeRecord(index);
    update();
}

void CXRibbon::SetItemColor(unsigned id, std::uint8_t colour)
{
    if (id == 0) {
        m_backStyle = colour;
        update();
        return;
    }
    const int index = FindItem(id);
    if (index < 0)
        return;
    m_item = m_items[index];
    m_item.colour = colour;
    m_item.baseColour = colour;
    storeRecord(index);
    update();
}

void CXRibbon::SetItemFormat(unsigned id, std::uint32_t format)
{
    const int index = FindItem(id);
    if (index < 0)
        return;
    m_item = m_items[index];
    m_item.format = format;
    storeRecord(index);
    update();
}

void CXRibbon::SetItemStyle(unsigned id, std::uint8_t font)
{
    const int index = FindItem(id);
    if (index < 0)
        return;
    m_item = m_items[index];
    m_item.font = font;
    if (m_item.textWidth > 0)
        m_item.textWidth = MeasureText(m_item.caption, font);
    storeRecord(index);
    update();
}

void CXRibbon::SetItemLayout(unsigned id, std::uint32_t menuId, std::uint8_t subMenu)
{
    const int index = FindItem(id);
    if (index < 0)
        return;
    m_item = m_items[index];
    m_item.menuId = menuId;
    m_item.subMenu = subMenu;
    m_item.format = menuId ? 2084 : 2085;
    m_item.state = 0;
    storeRecord(index);
    update();
}

QString CXRibbon::GetItemText(unsigned id)
{
    const int index = FindItem(id);
    return index < 0 ? QString() : m_items[index].caption;
}

QString CXRibbon::GetItemTip(unsigned id)
{
    const int index = FindItem(id);
    return index < 0 ? QString() : m_items[index].text2;
}

int CXRibbon::LookupItemText(unsigned id, QString &out)
{
    const int index = FindItem(id);
    out = index < 0 ? QString() : m_items[index].caption;
    return index;
}

// --- enabling ----------------------------------------------------------------

void CXRibbon::EnableItemAt(int index, bool enable)
{
    if (index < 0 || index >= m_items.size())
        return;
    // The record always takes the item at that index first, so that a record
    // left holding another item is never written over this one.
    m_item = m_items[index];
    if (!isButton(m_item) || m_item.id == kCloseId || m_item.id == kBriefHelpId)
        return;
    if (m_item.state != (enable ? struct_RIB_ITEM::Disabled : struct_RIB_ITEM::Normal))
        return;
    m_item.state = enable ? struct_RIB_ITEM::Normal : struct_RIB_ITEM::Disabled;
    storeRecord(index);
    if (!enable && m_hotId == m_item.id)
        m_hotId = 0;
    update();
}

void CXRibbon::EnableItem(unsigned id, bool enable)
{
    const int index = FindItem(id);
    if (index >= 0)
        EnableItemAt(index, enable);
}

void CXRibbon::EnableFirstItem(bool enable)
{
    EnableItemAt(0, enable);
}

void CXRibbon::EnableAllItems(bool enable)
{
    const std::uint8_t from = enable ? struct_RIB_ITEM::Disabled : struct_RIB_ITEM::Normal;
    const std::uint8_t to = enable ? struct_RIB_ITEM::Normal : struct_RIB_ITEM::Disabled;
    for (struct_RIB_ITEM &item : m_items) {
        if (!isButton(item) || item.id == kCloseId || item.id == kBriefHelpId)
            continue;
        if (item.state == from)
            item.state = to;
    }
    if (!enable)
        m_hotId = 0;
    update();
}

void CXRibbon::CheckRadioItem(unsigned firstId, unsigned lastId, unsigned selectedId, std::uint8_t state,
                              bool mark)
{
    for (int i = 0; i < m_items.size(); ++i) {
        struct_RIB_ITEM &item = m_items[i];
        if (item.id < firstId || item.id > lastId)
            continue;
        const bool selected = selectedId == 0 || item.id == selectedId;
        item.state = selected ? state : std::uint8_t(0);
        if (mark)
            item.font = (item.id == selectedId) ? 3 : 2;
        m_item = item;
    }
    update();
}

void CXRibbon::SetBusy(bool busy)
{
    m_busy = busy;
    update();
}

// --- layout ------------------------------------------------------------------

bool CXRibbon::hasLabels() const
{
    return std::any_of(m_items.begin(), m_items.end(), [](const struct_RIB_ITEM &i) { return i.label != 0; });
}

int CXRibbon::buttonCount() const
{
    return int(std::count_if(m_items.begin(), m_items.end(),
                             [](const struct_RIB_ITEM &i) { return i.label == 0 && i.id != 0; }));
}

void CXRibbon::SetBarStyle(std::uint8_t style)
{
    m_barStyle = style;
    if (style == 0)
        m_itemHeight = m_iconHeight + 30;
    else if (style == 2)
        m_itemHeight = 36;
    else if (style == 3)
        m_itemHeight = 24;
    int nextLeft = -1;
    for (struct_RIB_ITEM &item : m_items) {
        if (!isButton(item) || item.id == 0)
            continue;
        item.rect.setHeight(m_itemHeight);
        item.border = style == 2 ? 0 : 2;
        int minimum = style == 2 ? 44 : 64;
        if ((style == 0 || style == 3) && !item.caption.isEmpty())
            minimum = std::max(minimum, MeasureText(item.caption, item.font) + 2 * m_gap + 8);
        if (item.rect.width() < minimum) {
            if (nextLeft < 0)
                nextLeft = item.rect.left();
            item.rect = QRect(nextLeft, item.rect.top(), minimum, item.rect.height());
            nextLeft += minimum + m_gap;
        }
    }
    update();
}

bool CXRibbon::refitToFont()
{
    const int size = Appearance::instance().fontSize();
    if (size == m_fontSize)
        return false;
    m_fontSize = size;
    bool changed = false;
    for (struct_RIB_ITEM &item : m_items) {
        if (item.caption.isEmpty() || item.textWidth <= 0 || (m_vertical && !item.label))
            continue;
        // Only growing: an item's width may rest on more than its caption
        // (a fixed width), which a smaller font does not shrink.
        const int now = MeasureText(item.caption, item.font);
        if (now > item.textWidth) {
            item.rect.setWidth(item.rect.width() + now - item.textWidth);
            item.textWidth = now;
            changed = true;
        }
    }
    return changed;
}

void CXRibbon::RecalcLayout(int mode)
{
    refitToFont();
    updateClientRect();
    const int clientWidth = m_client.width();
    if (mode != 0)
        m_layoutMode = mode;
    if (m_layoutMode == 255 || m_items.isEmpty())
        return;
    int total = 0;
    int shown = 0; // without the hidden commands, which take no room
    int buttons = 0;
    int spacers = 0;
    for (const struct_RIB_ITEM &item : m_items) {
        if (!isButton(item))
            continue;
        total += item.rect.width();
        if (takesRoom(item))
            shown += item.rect.width();
        if (item.id != 0)
            ++buttons;
        else
            spacers += item.rect.width();
    }
    if (total <= 0)
        return;
    int available = clientWidth;
    if (m_barStyle == 4)
        available -= 2 * m_gap;
    if (hasLabels())
        available -= 20;
    if (m_barStyle == 4 && m_client.height() != m_cy) {
        m_itemHeight = m_client.height() - 2 * m_margin;
        for (struct_RIB_ITEM &item : m_items)
            item.rect.setHeight(m_itemHeight);
    }
    m_cx = clientWidth;
    m_cy = m_client.height();
    if (m_layoutMode < 250 || m_layoutMode > 255) {
        for (struct_RIB_ITEM &item : m_items) {
            if (isButton(item) && item.id == unsigned(m_layoutMode)) {
                const int width = std::max(0, item.rect.width() + (available - shown));
                if (item.rect.left() == 0)
                    item.rect.moveLeft(m_leftStart);
                item.rect.setWidth(width);
                break;
            }
        }
        update();
        return;
    }
    if (buttons == 0)
        return;
    const int share = available - spacers;
    if (m_layoutMode == 251) {
        const int present = total - spacers;
        int given = 0;
        int seen = 0;
        for (struct_RIB_ITEM &item : m_items) {
            if (!isButton(item) || item.id == 0)
                continue;
            ++seen;
            const int width = seen == buttons ? share - given
                                              : int(qint64(share) * item.rect.width() / std::max(1, present));
            item.rect.setWidth(width);
            given += width;
        }
    } else {
        const int each = share / buttons;
        int seen = 0;
        for (struct_RIB_ITEM &item : m_items) {
            if (!isButton(item) || item.id == 0)
                continue;
            ++seen;
            item.rect.setWidth(seen == buttons ? share - each * (buttons - 1) : each);
        }
    }
    update();
}

void CXRibbon::resizeEvent(QResizeEvent *event)
{
    CXWnd::resizeEvent(event);
    if (isCreated())
        RecalcLayout(0);
}

QList<struct_RIB_ITEM> CXRibbon::placedItems(QRect *overflow) const
{
    if (overflow)
        *overflow = QRect();
    // The items keep the sizes that adding, the bar style and the layout
    // gave them; placing works on a copy, so drawing and hit testing never
    // change an item and the layout is a function of the items and the size.
    QList<struct_RIB_ITEM> items = m_items;
    const int w = std::max(0, width() - scrollBarWidth());
    const int h = height();
    const bool labels = hasLabels();

    // Labels run along the top strip; the help label sits at the right end.
    int labelX = (m_leftStart > 1 ? m_leftStart : std::max(m_margin, 6));
    for (struct_RIB_ITEM &item : items) {
        if (isButton(item))
            continue;
        const int width = item.rect.width();
        if (item.id == 30671)
            item.rect = QRect(w - 6 - width, 2, width, m_labelHeight - 2);
        else {
            item.rect = QRect(labelX, 2, width, m_labelHeight - 2);
            labelX += width;
        }
    }

    if (m_vertical) {
        int y = m_margin;
        for (struct_RIB_ITEM &item : items) {
            if (!isButton(item))
                continue;
            item.rect = QRect(3, y, item.rect.width(), item.rect.height());
            y += item.rect.height() + m_gap;
        }
        // OK, Close and the item 30444 sit at the bottom of a tall bar.
        int bottomRun = 0;
        for (const struct_RIB_ITEM &item : items)
            if (isButton(item) && (item.id == 30444 || item.id == 1 || item.id == 2))
                bottomRun += item.rect.height() + m_gap;
        int yBottom = h - m_margin - bottomRun + m_gap;
        for (struct_RIB_ITEM &item : items) {
            if (!isButton(item) || !(item.id == 30444 || item.id == 1 || item.id == 2))
                continue;
            if (item.rect.top() < yBottom)
                item.rect.moveTop(yBottom);
            yBottom = item.rect.bottom() + 1 + m_gap;
        }
        return items;
    }

    int total = 0;
    for (const struct_RIB_ITEM &item : items)
        if (takesRoom(item))
            total += item.rect.width();
    int top;
    if (labels) {
        const int area = h - m_labelHeight;
        top = m_labelHeight + std::max(m_margin, (area - m_itemHeight) / 2);
    } else {
        top = m_margin == 0 ? (h - m_itemHeight) / 2 : m_margin;
    }
    int x = m_leftStart == 1 ? std::max(0, (w - total) / 2) : m_leftStart;
    if (labels)
        x = std::max(x, 8);
    if (m_barStyle == 4)
        x = std::max(x, m_gap);
    for (struct_RIB_ITEM &item : items) {
        if (!isButton(item))
            continue;
        // A hidden command leaves no gap: the buttons after it close up.
        if (!takesRoom(item)) {
            item.rect = QRect(x, top, 0, item.rect.height());
            continue;
        }
        const int width = item.rect.width();
        item.rect = QRect(x, top, std::max(0, width - m_gap), item.rect.height());
        x += width;
    }
    // A bar too narrow for its buttons shows those that fit and puts the
    // rest behind an overflow button at its right end, so every command
    // stays within reach.
    bool overflows = false;
    for (const struct_RIB_ITEM &item : items)
        if (isButton(item) && item.id != 0 && item.state != struct_RIB_ITEM::Hidden && item.rect.right() + 1 > w)
            overflows = true;
    if (overflows) {
        const int limit = w - kOverflowWidth;
        bool behind = false;
        for (struct_RIB_ITEM &item : items) {
            if (!isButton(item))
                continue;
            behind = behind || item.rect.right() + 1 > limit;
            if (behind)
                item.rect = QRect();
        }
        if (overflow)
            *overflow = QRect(limit, top, kOverflowWidth - std::min(m_gap, 4), m_itemHeight);
        return items;
    }
    // The reminders items move to the right end when there is room for them.
    const int free = w - m_margin - x;
    if (free > 10) {
        bool moving = false;
        for (struct_RIB_ITEM &item : items) {
            if (!isButton(item))
                continue;
            if (item.id == 30520 || item.id == kRemindersId)
                moving = true;
            if (moving)
                item.rect.translate(free, 0);
        }
    }
    return items;
}

QRect CXRibbon::overflowRect() const
{
    QRect overflow;
    placedItems(&overflow);
    return overflow;
}

QList<unsigned> CXRibbon::overflowIds() const
{
    QRect overflow;
    const QList<struct_RIB_ITEM> items = placedItems(&overflow);
    QList<unsigned> ids;
    if (!overflow.isValid())
        return ids;
    for (const struct_RIB_ITEM &item : items)
        if (isButton(item) && item.id != 0 && item.state != struct_RIB_ITEM::Hidden && item.rect.isNull())
            ids << item.id;
    return ids;
}

QRect CXRibbon::itemRect(unsigned id) const
{
    const QList<struct_RIB_ITEM> items = placedItems();
    for (const struct_RIB_ITEM &item : items)
        if (item.id == id)
            return item.rect;
    return QRect();
}

// --- painting ------------------------------------------------------------------

void CXRibbon::Draw()
{
    if (refitToFont())
        RecalcLayout(0);
    QRect overflow;
    const QList<struct_RIB_ITEM> items = placedItems(&overflow);
    FillBackground(m_client, m_barStyle == 4 || !hasLabels() ? m_backStyle : std::uint8_t(0));
    if (hasLabels())
        drawLabelStrip(items);
    for (const struct_RIB_ITEM &item : items) {
        if (!isButton(item))
            continue;
        if (item.id == 0) {
            if (m_vertical && item.border)
                DrawSeparator(item.rect, 5, 4, pen(3));
            continue;
        }
        if (item.state == struct_RIB_ITEM::Hidden || item.rect.isNull())
            continue;
        if (item.rect.right() + 1 > m_client.width() + m_gap)
            continue;
        const std::uint8_t state = (m_busy && item.id != kCloseId) ? std::uint8_t(struct_RIB_ITEM::Disabled)
                                                                     : item.state;
        if (m_barStyle == 4)
            drawPanel(item, state);
        else
            drawItem(item, state);
    }
    if (overflow.isValid()) {
        struct_RIB_ITEM more;
        more.id = kOverflowId;
        more.caption = QStringLiteral("\u00BB");
        more.state = m_overflowOpen ? std::uint8_t(struct_RIB_ITEM::MenuOpen) : std::uint8_t(struct_RIB_ITEM::Normal);
        more.font = 2;
        more.format = 2085;
        more.border = m_barStyle == 2 ? 0 : 2;
        more.image = 0;
        more.imageIndex = 255;
        more.rect = overflow;
        if (m_barStyle == 4) {
            const std::uint8_t barStyle = m_barStyle;
            m_barStyle = 1; // drawn as a button, not as a panel
            drawItem(more, more.state);
            m_barStyle = barStyle;
        } else {
            drawItem(more, more.state);
        }
    }
    if (buttonCount() == 1 && hasFocus()) {
        for (const struct_RIB_ITEM &item : items) {
            if (isButton(item) && item.id != 0) {
                QStyleOptionFocusRect option;
                option.initFrom(this);
                option.rect = item.rect.adjusted(3, 3, -3, -3);
                style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, dc(), this);
                break;
            }
        }
    }
    DrawBorder(m_client, m_borderStyle, m_backStyle);
}

void CXRibbon::drawLabelStrip(const QList<struct_RIB_ITEM> &items)
{
    const int w = m_client.width();
    const int h = m_client.height();
    FillSolid(QRect(0, 0, w, m_labelHeight), m_colors[6]);
    const ColorRef lower = Appearance::instance().isDarkFillStyle() ? m_colors[3] : m_colors[2];
    GradientFill(QRect(0, m_labelHeight, w, h - m_labelHeight), m_colors[6], lower, true);
    const int faceBottom = buttonCount() > 1 ? h - 3 : h - 6;
    const QRect face(6, m_labelHeight, std::max(0, w - 14), std::max(0, faceBottom - m_labelHeight));
    if (face.height() > 4) {
        // A three-step shadow, then the face itself.
        for (int step = 3; step >= 1; --step) {
            dc()->save();
            dc()->setRenderHint(QPainter::Antialiasing, true);
            dc()->setPen(pen(2 + step));
            dc()->setBrush(Qt::NoBrush);
            dc()->drawRoundedRect(QRectF(face.translated(step, step)).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
            dc()->restore();
        }
        dc()->save();
        dc()->setRenderHint(QPainter::Antialiasing, true);
        QLinearGradient gradient(face.topLeft(), face.bottomLeft());
        gradient.setColorAt(0, ColorRefToQColor(m_colors[1]));
        gradient.setColorAt(1, ColorRefToQColor(m_colors[2]));
        dc()->setPen(pen(3));
        dc()->setBrush(gradient);
        dc()->drawRoundedRect(QRectF(face).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        dc()->restore();
    }
    for (const struct_RIB_ITEM &item : items) {
        if (isButton(item) || item.state == struct_RIB_ITEM::Hidden)
            continue;
        QRect rect = item.rect;
        const bool pressed = (m_pressedId == item.id && m_hotId == item.id) || item.state == 1;
        ColorRef textColour = m_colors[5];
        if (item.state == struct_RIB_ITEM::Selected) {
            DrawRoundBox(rect, pen(3), m_colors[0], m_colors[1]);
        } else if (pressed) {
            const QRect r = rect.translated(1, 1);
            GradientFill(r, m_colors[0], m_colors[1], true);
            DrawBorder(r, 1, 0);
        } else if (m_hotId == item.id) {
            DrawFrameBox(rect);
            textColour = kHotText;
        }
        if (item.state == struct_RIB_ITEM::Disabled)
            textColour = kDisabledText;
        if (item.menuId)
            DrawArrow(rect, 4, DT_RIGHT, true);
        else if (item.image && item.imageIndex != 255) {
            QRect imageArea = rect.adjusted(3, 0, 0, 0);
            QSize size(m_iconWidth, m_iconHeight);
            if (const ImageList *list = Appearance::instance().GetImageList(unsigned(item.image)))
                size = list->iconSize();
            const QRect placed = AlignRect(imageArea, size, item.caption.isEmpty() ? 5 : 4);
            DrawImage(imageArea, item.image, item.imageIndex, item.caption.isEmpty() ? 5 : 4, item.state);
            if (!item.caption.isEmpty())
                rect.setLeft(placed.right() + 1);
        }
        DrawText(rect, item.caption, item.format, textColour, item.font, 3);
    }
}

void CXRibbon::drawItem(const struct_RIB_ITEM &item, std::uint8_t state)
{
    QRect rect = item.rect;
    const std::uint8_t back = item.colour ? item.colour : m_backStyle;
    ColorRef textColour = IsDarkStyleColor(back) ? m_colors[0] : m_colors[5];
    const bool pressed = (m_pressedId == item.id && m_hotId == item.id && state != struct_RIB_ITEM::Disabled) ||
                         state == struct_RIB_ITEM::MenuOpen;
    const bool hot = !pressed && m_hotId == item.id && state != struct_RIB_ITEM::Disabled;
    if (pressed) {
        rect.translate(1, 1);
        GradientFill(rect, kPressedTop, kPressedBottom, true);
        const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
        FillSolid(QRect(l, t, r - l + 1, 1), kPressedBottom);
        FillSolid(QRect(l, t, 1, b - t + 1), kPressedBottom);
        FillSolid(QRect(l, b, r - l + 1, 1), kHotFrame);
        FillSolid(QRect(r, t, 1, b - t + 1), kHotFrame);
        textColour = kHotText;
    } else if (hot) {
        DrawFrameBox(rect);
        textColour = kHotText;
    } else {
        switch (state) {
        case struct_RIB_ITEM::Selected:
            if (item.format & DT_CENTER) {
                DrawRoundBox(rect, pen(3), m_colors[0], m_colors[1]);
                textColour = m_colors[5];
            } else {
                FillBackground(rect, 14);
                DrawBorder(rect, 1, 14);
                textColour = m_colors[0];
            }
            break;
        case struct_RIB_ITEM::Disabled:
            FillBackground(rect, back);
            DrawBorder(rect, item.border, back);
            textColour = kDisabledText;
            break;
        default:
            FillBackground(rect, back);
            DrawBorder(rect, item.border, back);
            break;
        }
    }
    const bool dark = !IsDarkStyleColor(back) || pressed || hot;

    if (m_barStyle == 0) {
        const int band = m_iconHeight >= 33 ? 25 : 22;
        QRect bandRect(rect.left(), rect.bottom() + 1 - band, rect.width(), band);
        QRect imageArea(rect.left(), rect.top(), rect.width(), rect.height() - band);
        if (item.image && item.imageIndex != 255)
            DrawImage(imageArea, item.image, item.imageIndex, DT_CENTER | DT_VCENTER, state);
        if (!m_vertical) {
            const ColorRef bandColour = state == struct_RIB_ITEM::Selected ? kPressedBottom
                                        : state == struct_RIB_ITEM::Disabled ? m_colors[2]
                                                                             : m_colors[3];
            FillSolid(bandRect, bandColour);
            textColour = 0xFFFFFF;
        }
        DrawText(bandRect, item.caption, 2085, textColour, item.font, 0);
        return;
    }

    QRect textRect = rect;
    if (item.menuId) {
        DrawArrow(textRect, m_vertical ? 2 : (item.imageIndex == 8 ? 8 : 4), DT_RIGHT, dark);
    }
    // "Text only" buttons leave their images out: the caption has the room.
    const bool textOnly = m_barStyle == 3 && isButton(item) && item.id != 0 && !item.caption.isEmpty();
    if (item.image && item.imageIndex != 255 && !textOnly) {
        QSize size(m_iconWidth, m_iconHeight);
        if (const ImageList *list = Appearance::instance().GetImageList(unsigned(item.image)))
            size = list->iconSize();
        else if (item.image == 134 || item.image == 135)
            size = QSize(64, 64); // employee photos and product pictures are drawn in a 64-pixel box
        if (item.caption.isEmpty()) {
            DrawImage(textRect, item.image, item.imageIndex, DT_CENTER | DT_VCENTER, state);
        } else if (item.format == 2129) {
            QRect imageArea(textRect.left(), textRect.top() + 2, textRect.width(), size.height());
            DrawImage(imageArea, item.image, item.imageIndex, DT_CENTER, state);
            textRect.setTop(imageArea.bottom() + 1);
        } else if (item.format & DT_RIGHT) {
            const QRect placed = AlignRect(textRect, size, DT_RIGHT | DT_VCENTER);
            DrawImage(textRect, item.image, item.imageIndex, DT_RIGHT | DT_VCENTER, state);
            textRect.setRight(placed.left() - 1);
        } else {
            const QRect placed = AlignRect(textRect, size, DT_VCENTER);
            DrawImage(textRect, item.image, item.imageIndex, DT_VCENTER, state);
            textRect.setLeft(placed.right() + 1);
        }
    } else if (item.image == 0 && item.imageIndex >= 1 && item.imageIndex <= 12) {
        DrawArrow(textRect, item.imageIndex, item.caption.isEmpty() ? DT_CENTER : DT_LEFT, dark);
    }
    DrawText(textRect, item.caption, item.format, textColour, item.font, 3);
}

void CXRibbon::drawPanel(const struct_RIB_ITEM &item, std::uint8_t state)
{
    QRect rect = item.rect;
    const std::uint32_t format = (item.format & DT_RIGHT) ? 2130 : (item.format & DT_CENTER) ? 2129 : 2128;
    if (state == struct_RIB_ITEM::Disabled || state == struct_RIB_ITEM::Plain)
        GradientFill(rect, m_colors[0], m_colors[1], true);
    else
        FillSolid(rect, m_colors[0]);
    QRect textRect = rect;
    if (item.border) {
        DrawBorder(rect, item.border, m_backStyle);
        textRect.adjust(1, 1, -1, 0);
    }
    if (!item.caption.isEmpty()) {
        struct_RIB_ITEM band = item;
        band.rect = QRect(textRect.left(), textRect.top(), textRect.width(), 20);
        band.border = 0;
        drawItem(band, state);
        textRect.setTop(band.rect.bottom() + 1);
    }
    const std::uint8_t font = Appearance::instance().fontSize() >= 90 ? 1 : 2;
    const QString separator = QStringLiteral(" \u00B7 ");
    const int cut = item.text2.indexOf(separator);
    // Lines the panel cannot hold in its font are drawn smaller, not lost.
    const QFont &normal = Appearance::instance().GetFont(font);
    if (format != 2128 && cut >= 0) {
        const QString left = item.text2.left(cut);
        const QString right = item.text2.mid(cut + separator.size());
        QFont fitted = FittingFont(normal, textRect, left, 3);
        const QFont forRight = FittingFont(normal, textRect, right, 3);
        if (forRight.pointSizeF() < fitted.pointSizeF())
            fitted = forRight;
        DrawTextInFont(textRect, left, 2128, 0x000000, fitted, 3);
        DrawTextInFont(textRect, right, 2130, 0x000000, fitted, 3);
    } else {
        DrawTextInFont(textRect, item.text2, format, 0x000000, FittingFont(normal, textRect, item.text2, 3), 3);
    }
}

// --- mouse ---------------------------------------------------------------------

bool CXRibbon::overOverflow(const QPoint &pos) const
{
    return overflowRect().contains(pos);
}

unsigned CXRibbon::ItemIdAt(const QPoint &pos) const
{
    const int index = hitTest(pos);
    return index < 0 ? 0u : placedItems().at(index).id;
}

int CXRibbon::hitTest(const QPoint &pos) const
{
    const QList<struct_RIB_ITEM> items = placedItems();
    for (int i = 0; i < items.size(); ++i) {
        const struct_RIB_ITEM &item = items[i];
        if (item.id == 0 || (item.state != 0 && item.state != 1))
            continue;
        if (m_busy && item.id != kCloseId)
            continue;
        if (item.rect.contains(pos))
            return i;
    }
    return -1;
}

void CXRibbon::updateTip()
{
    QToolTip::hideText();
    m_tipTitle.clear();
    m_tipText.clear();
    if (m_hotId == kOverflowId) {
        m_tipText = QStringLiteral("More Commands");
    } else if (m_hotId != 0) {
        for (const struct_RIB_ITEM &item : m_items) {
            if (item.id != m_hotId)
                continue;
            QString text = item.text2;
            if (m_barStyle == 2 && isButton(item))
                text = item.caption + QLatin1Char(' ') + item.text2;
            const int cut = text.indexOf(QLatin1Char('\n'));
            if (cut >= 0) {
                m_tipTitle = text.mid(cut + 1);
                m_tipText = text.left(cut);
            } else {
                m_tipText = text;
            }
            break;
        }
    }
    if (!m_hasTips)
        return;
    // The title keeps its own lines (a contact card's phone lines, say).
    const auto lines = [](const QString &text) {
        return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    };
    const QString title = m_tipTitle.trimmed();
    if (title.isEmpty())
        setToolTip(m_tipText); // plain text, shown as it is ("Save & Close")
    else
        setToolTip(QStringLiteral("<b>%1</b><br>%2").arg(lines(title), lines(m_tipText)));
}

void CXRibbon::setHot(unsigned id, const QPoint &pos)
{
    if (id == m_hotId)
        return;
    m_hotId = id;
    updateTip();
    setCursor(id ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (id != 0 && id != kOverflowId)
        emit hoverChanged(int(id), mapToGlobal(pos));
    update();
}

void CXRibbon::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressedId != 0)
        return;
    if (!(event->buttons() & Qt::LeftButton))
        m_tracking = true;
    const int index = hitTest(event->position().toPoint());
    const unsigned id = index >= 0                                          ? m_items[index].id
                       : !m_busy && overOverflow(event->position().toPoint()) ? kOverflowId
                                                                              : 0;
    setHot(id, event->position().toPoint());
}

void CXRibbon::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    const int index = hitTest(event->position().toPoint());
    if (index < 0 && !(overOverflow(event->position().toPoint()) && !m_busy))
        return;
    const unsigned id = index >= 0 ? m_items[index].id : kOverflowId;
    setHot(id, event->position().toPoint());
    if (m_pressedId != id)
        m_pressedId = id;
    if (m_blinkTimers.contains(id))
        BlinkItem(id, false);
    update();
}

void CXRibbon::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = hitTest(event->position().toPoint());
    const unsigned pressed = m_pressedId;
    if (pressed == kOverflowId && overOverflow(event->position().toPoint())) {
        onLeave();
        openOverflowMenu();
        return;
    }
    if (index >= 0 && pressed != 0 && m_items[index].id == pressed) {
        if (m_items[index].menuId)
            openMenu(index);
        else
            emit commandTriggered(int(pressed));
    }
    onLeave();
}

void CXRibbon::leaveEvent(QEvent *event)
{
    CXWnd::leaveEvent(event);
    onLeave();
}

void CXRibbon::onLeave()
{
    m_pressedId = 0;
    m_tracking = false;
    if (m_hotId != 0) {
        m_hotId = 0;
        updateTip();
        setCursor(Qt::ArrowCursor);
        update();
    } else {
        updateTip();
    }
}

bool CXRibbon::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && !m_hasTips)
        return true;
    return CXWnd::event(event);
}

void CXRibbon::openMenu(int index)
{
    const unsigned id = m_items[index].id;
    m_item = m_items[index];
    m_item.state = struct_RIB_ITEM::MenuOpen;
    storeRecord(index);
    repaint();

    const struct_RIB_ITEM item = placedItems()[index];
    QMenu menu(this);
    fillItemMenu(menu, item);
    QPoint at;
    if (item.menuId < 179) {
        if (m_vertical)
            at = QPoint(item.rect.right() + 1, item.rect.top());
        else if (item.rect.height() < 65)
            at = QPoint(item.rect.left(), item.rect.bottom() + 1);
        else
            at = QPoint(item.rect.left(), item.rect.top() + 24);
    } else {
        at = QPoint(item.rect.left(), item.rect.bottom() + 1);
    }
    int chosen = 0;
    if (!menu.isEmpty())
        chosen = menuRunner()(menu, mapToGlobal(at));

    const int after = FindItem(id);
    if (after >= 0) {
        m_item = m_items[after];
        m_item.state = struct_RIB_ITEM::Normal;
        storeRecord(after);
    }
    update();
    if (chosen != 0)
        emit commandTriggered(chosen);
}

void CXRibbon::fillItemMenu(QMenu &menu, const struct_RIB_ITEM &item)
{
    if (item.menuId < 179) {
        emit ownerMessage(MSG_MENU_INIT, qintptr(item.menuId), qintptr(item.subMenu));
        if (menuResolver())
            menuResolver()(menu, item.menuId, item.subMenu);
        // The window that owns the bar may enable, check or remove entries.
        for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
            if (auto *owner = dynamic_cast<PopupMenuOwner *>(w)) {
                owner->OnInitPopupMenu(&menu, item.subMenu);
                break;
            }
        }
        return;
    }
    // The item's second text lists the entries; each entry's command is the
    // menu id plus its position in the list.
    const QStringList entries = item.text2.split(QLatin1Char(','));
    for (int i = 0; i + 1 < entries.size(); ++i) {
        if (entries[i] == QLatin1String("-")) {
            menu.addSeparator();
            continue;
        }
        QAction *action = menu.addAction(entries[i]);
        action->setData(int(item.menuId) + i);
    }
}

void CXRibbon::openOverflowMenu()
{
    // One entry per item behind the button, named by its caption or else
    // its tip; an item with a menu brings that menu along as a sub-menu.
    QMenu menu(this);
    for (unsigned id : overflowIds()) {
        const struct_RIB_ITEM &item = m_items[FindItem(id)];
        QString text = item.caption;
        if (text.trimmed().isEmpty())
            text = item.text2.section(QLatin1Char('\n'), 0, 0);
        if (text.trimmed().isEmpty())
            continue;
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        const bool usable = (item.state == struct_RIB_ITEM::Normal || item.state == struct_RIB_ITEM::MenuOpen) &&
                            (!m_busy || item.id == kCloseId);
        if (item.menuId) {
            QMenu *sub = menu.addMenu(text);
            fillItemMenu(*sub, item);
            sub->setEnabled(usable && !sub->isEmpty());
            continue;
        }
        QAction *action = menu.addAction(text);
        action->setData(int(item.id));
        action->setEnabled(usable);
    }
    const QRect button = overflowRect();
    m_overflowOpen = true;
    repaint();
    const int chosen = menu.isEmpty() ? 0 : menuRunner()(menu, mapToGlobal(QPoint(button.left(), button.bottom() + 1)));
    m_overflowOpen = false;
    update();
    if (chosen != 0)
        emit commandTriggered(chosen);
}

// --- blinking and reminders ----------------------------------------------------

void CXRibbon::BlinkItem(unsigned id, bool start, int interval, int count)
{
    if (start) {
        if (m_blinkTimers.contains(id))
            killTimer(m_blinkTimers.take(id));
        m_blinkCount = count;
        m_blinkTimers.insert(id, startTimer(interval));
    } else {
        if (m_blinkTimers.contains(id))
            killTimer(m_blinkTimers.take(id));
        const int index = FindItem(id);
        if (index >= 0) {
            m_item = m_items[index];
            m_item.colour = m_item.baseColour;
            storeRecord(index);
            update();
        }
    }
    m_blinkTicks = 0;
}

void CXRibbon::timerEvent(QTimerEvent *event)
{
    auto timer = std::find(m_blinkTimers.cbegin(), m_blinkTimers.cend(), event->timerId());
    if (timer == m_blinkTimers.cend()) {
        CXWnd::timerEvent(event);
        return;
    }
    const unsigned id = timer.key();
    const int index = FindItem(id);
    if (index < 0) {
        killTimer(m_blinkTimers.take(id));
        return;
    }
    ++m_blinkTicks;
    if (m_blinkTicks <= m_blinkCount) {
        m_item = m_items[index];
        m_item.colour = m_item.colour == 25 ? 24 : 25;
        storeRecord(index);
        update();
    } else {
        BlinkItem(id, false);
    }
}

void CXRibbon::SetReminderCounts(int due, int total, bool open)
{
    int index = -1;
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i].id == kRemindersId)
            index = i;
    if (index < 0)
        return;
    QString text;
    if (total == 0)
        text = QStringLiteral("Click here to add a task or reminder");
    else if (total == due)
        text = QStringLiteral("Reminders: %1 Today").arg(due);
    else
        text = QStringLiteral("Reminders: %1 Today + %2 Later").arg(due).arg(total - due);
    m_item = m_items[index];
    m_item.text2 = text;
    m_item.imageIndex = due > 0 ? 83 : 84;
    storeRecord(index);
    BlinkItem(kRemindersId, due > 0, 500, 7);
    update();
    // The list opens once the owner has finished what it is doing (a view
    // that is still being set up, for one).
    if (open && due > 0 &&
        platform::Settings::readInt(QStringLiteral("Settings"), QStringLiteral("Reminder Option"), 0) > 0)
        QMetaObject::invokeMethod(this, [this] { emit commandTriggered(int(kRemindersId)); }, Qt::QueuedConnection);
}
