#pragma once

#include "controls/CXWnd.h"

#include <QtCore/QHash>
#include <QtCore/QList>

#include <functional>

class QMenu;

// The command bar of every view and dialog: a row (or column) of buttons and
// labels drawn by the program. A click sends the item's command id to the
// owner (commandTriggered) or opens the item's popup menu; hovering shows the
// item's tip and tells the owner (hoverChanged); items can blink to draw
// attention. Every operation on an item first copies it into the embedded
// record of the window base, changes that copy and writes it back.
class CXRibbon : public CXWnd
{
    Q_OBJECT

public:
    explicit CXRibbon(QWidget *parent = nullptr);
    ~CXRibbon() override;

    bool Create(QWidget *parent, unsigned id, int hue, std::uint8_t barStyle, unsigned imageList,
                std::uint8_t backStyle, std::uint8_t borderStyle, int gap, int margin, int leftStart,
                int itemHeight, bool vertical = false);
    bool CreateWithText(QWidget *parent, unsigned id, int hue, unsigned imageList, std::uint8_t backStyle,
                        std::uint8_t borderStyle, int gap, int margin, int leftStart, int itemHeight);

    void SetImage(std::uint8_t imageIndex, int image) override;
    void Draw() override;

    // --- items ----------------------------------------------------------------
    void AddItem(unsigned id, const QString &caption, std::uint8_t state, int image, std::uint8_t imageIndex,
                 std::uint8_t font, std::uint32_t format, std::uint8_t colour, std::uint8_t border, int width,
                 std::uint32_t menuId = 0, std::uint8_t subMenu = 0, const QString &tip = QString(),
                 int insertAt = -1);
    void AddButton(unsigned id, const QString &caption, std::uint8_t state, int image, std::uint8_t imageIndex,
                   const QString &tip = QString());
    void AddLabel(unsigned id, const QString &text, std::uint8_t state, int width, const QString &tip = QString());
    void AddSpacer(int width, std::uint8_t border);
    void AddChartTypeGroup(int insertAt = -1);
    void AddNavigationGroup(int insertAt = -1);
    void AddCloseButton(int insertAt = -1);
    void AddPrintButton(int insertAt = -1);
    void RemoveItem(unsigned id);
    void RemoveItems(unsigned keepId);

    int FindItem(unsigned id);
    unsigned GetItemId(int index);
    // The id of the item that a click at the point would choose; 0 for none.
    unsigned ItemIdAt(const QPoint &pos) const;
    int GetItemCount() const { return int(m_items.size()); }
    int GetBarHeight() const;
    // The stored item at an index (for owners and tests; no copy into the record).
    const struct_RIB_ITEM &itemAt(int index) const { return m_items[index]; }

    void SetItemText(unsigned id, const QString &text);
    void SetItemTip(unsigned id, const QString &tip);
    void SetItemState(unsigned id, std::uint8_t state);
    void SetItemImage(unsigned id, int image, std::uint8_t imageIndex);
    void SetItemImageFlag(unsigned id, std::uint8_t imageIndex);
    void SetItemColor(unsigned id, std::uint8_t colour);
    void SetItemFormat(unsigned id, std::uint32_t format);
    void SetItemStyle(unsigned id, std::uint8_t font);
    void SetItemLayout(unsigned id, std::uint32_t menuId, std::uint8_t subMenu);
    void SetTitle(const QString &text) { SetItemText(0, text); }
    QString GetItemText(unsigned id);
    QString GetItemTip(unsigned id);
    int LookupItemText(unsigned id, QString &out);

    void EnableItemAt(int index, bool enable);
    void EnableItem(unsigned id, bool enable);
    void EnableFirstItem(bool enable);
    void EnableAllItems(bool enable);
    void CheckRadioItem(unsigned firstId, unsigned lastId, unsigned selectedId, std::uint8_t state, bool mark);

    void SetBarStyle(std::uint8_t style);
    void RecalcLayout(int mode);
    void BlinkItem(unsigned id, bool start, int interval = 500, int count = 7);
    bool isBlinking(unsigned id) const { return m_blinkTimers.contains(id); }
    // The reminders item (8900): shows the counts of tasks due today and of
    // all open tasks, blinks while something is due and, with `open`, asks
    // the owner to open the reminders when the "Reminder Option" setting is on.
    void SetReminderCounts(int due, int total, bool open);

    void SetBusy(bool busy);
    bool isBusy() const { return m_busy; }
    bool isVertical() const { return m_vertical; }
    std::uint8_t barStyle() const { return m_barStyle; }
    int itemHeight() const { return m_itemHeight; }
    unsigned hotId() const { return m_hotId; }
    unsigned pressedId() const { return m_pressedId; }
    QString tipTitle() const { return m_tipTitle; }
    QString tipText() const { return m_tipText; }
    // The item rectangles where the last layout put them (hit testing); an
    // empty rectangle for an item behind the overflow button.
    QRect itemRect(unsigned id) const;
    // A bar too narrow for its buttons shows the overflow button at its end
    // (an empty rectangle when all fit); it offers the items it hides as a menu.
    QRect overflowRect() const;
    QList<unsigned> overflowIds() const;

    // Menus of the program's resources (menu ids below 179) are filled by the
    // application; popups are run by the runner, which returns the chosen
    // command id or 0. Tests install a runner that picks an entry.
    using MenuResolver = std::function<void(QMenu &menu, unsigned menuId, int subMenu)>;
    using MenuRunner = std::function<int(QMenu &menu, const QPoint &screenPos)>;
    static void SetMenuResolver(MenuResolver resolver);
    static void SetMenuRunner(MenuRunner runner);

signals:
    void hoverChanged(int id, const QPoint &screenPos);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    bool event(QEvent *event) override;

private:
    void storeRecord(int index);
    void computeMetrics(int itemHeight);
    // After the workstation's font size grew, each item with a caption grows
    // by what its caption did (a smaller size leaves the widths); true when
    // one grew.
    bool refitToFont();
    // The items with their rectangles placed for the present size.
    QList<struct_RIB_ITEM> placedItems(QRect *overflow = nullptr) const;
    int hitTest(const QPoint &pos) const;
    bool overOverflow(const QPoint &pos) const;
    void setHot(unsigned id, const QPoint &pos);
    void updateTip();
    void onLeave();
    void openMenu(int index);
    void fillItemMenu(QMenu &menu, const struct_RIB_ITEM &item);
    void openOverflowMenu();
    void drawLabelStrip(const QList<struct_RIB_ITEM> &items);
    void drawItem(const struct_RIB_ITEM &item, std::uint8_t state);
    void drawPanel(const struct_RIB_ITEM &item, std::uint8_t state);
    bool hasLabels() const;
    int buttonCount() const;

    bool m_busy = false;
    bool m_vertical = false;
    int m_leftStart = 0;
    std::uint8_t m_backStyle = 0;
    std::uint8_t m_borderStyle = 0;
    std::uint8_t m_barStyle = 1;
    unsigned m_imageList = 0;
    int m_cx = 0;
    int m_cy = 0;
    int m_iconWidth = 18;
    int m_iconHeight = 18;
    int m_labelHeight = 24;
    int m_itemHeight = 0;
    int m_gap = 0;
    int m_margin = 0;
    unsigned m_hotId = 0;
    unsigned m_pressedId = 0;
    int m_layoutMode = 255;
    int m_fontSize = 0; // the workstation's font size the items were measured in
    int m_blinkTicks = 0;
    int m_blinkCount = 9;
    bool m_tracking = false;
    bool m_hasTips = false;
    bool m_overflowOpen = false;
    QString m_tipTitle;
    QString m_tipText;
    QList<struct_RIB_ITEM> m_items;
    QHash<unsigned, int> m_blinkTimers; // command id -> timer
};
