#include "ControlsFixture.h"

#include "controls/ControlMessages.h"
#include "controls/CXRibbon.h"
#include "controls/DrawTextFormat.h"
#include "platform/Settings.h"

#include <QtCore/QEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>

namespace {

// Records the colour of the blinking item after every timer tick.
class BlinkProbe : public CXRibbon
{
public:
    unsigned watched = 0;
    QList<int> colours;

protected:
    void timerEvent(QTimerEvent *event) override
    {
        CXRibbon::timerEvent(event);
        for (int i = 0; i < GetItemCount(); ++i)
            if (itemAt(i).id == watched)
                colours.append(itemAt(i).colour);
    }
};

int indexOf(CXRibbon &bar, unsigned id)
{
    for (int i = 0; i < bar.GetItemCount(); ++i)
        if (bar.itemAt(i).id == id)
            return i;
    return -1;
}

} // namespace

class CXRibbonTest : public ControlsTest
{
protected:
    // A horizontal bar 500 x 40 with buttons 100, 101, 102 and Close.
    void makeBar(CXRibbon &bar, unsigned id = 1901)
    {
        placeholder(id, QRect(0, 0, 500, 40));
        ASSERT_TRUE(bar.Create(host.get(), id, 210, 1, 131, 8, 0, 0, 0, 0, 30));
        bar.AddButton(100, QStringLiteral("New"), 0, 131, 187, QStringLiteral("Add a record"));
        bar.AddButton(101, QStringLiteral("Edit"), 0, 131, 169, QStringLiteral("Edit\nThe selected record"));
        bar.AddButton(102, QStringLiteral("Delete"), 0, 131, 200);
        bar.AddCloseButton();
    }
    static QPoint centre(CXRibbon &bar, unsigned id) { return bar.itemRect(id).center(); }
};

TEST_F(CXRibbonTest, OneItemBarTakesEverySetterWhateverTheId)
{
    placeholder(1902, QRect(0, 0, 200, 30), QStringLiteral("Job Details"));
    CXRibbon title;
    ASSERT_TRUE(title.CreateWithText(host.get(), 1902, 120, 131, 14, 0, 0, 0, 0, 24));
    ASSERT_EQ(title.GetItemCount(), 1);
    EXPECT_EQ(title.itemAt(0).caption, QStringLiteral("Job Details"));
    EXPECT_EQ(title.itemAt(0).id, 1902u);
    title.SetItemText(555, QStringLiteral("Renamed"));
    title.SetItemState(777, 3);
    title.SetItemColor(9, 21);
    EXPECT_EQ(title.itemAt(0).caption, QStringLiteral("Renamed"));
    EXPECT_EQ(title.itemAt(0).state, 3);
    EXPECT_EQ(title.itemAt(0).colour, 21);
    title.SetTitle(QStringLiteral("Title Again"));
    EXPECT_EQ(title.GetItemText(1), QStringLiteral("Title Again"));
}

TEST_F(CXRibbonTest, EnablingLeavesCloseHelpLabelsAndOtherStatesAlone)
{
    placeholder(1901, QRect(0, 0, 600, 60));
    CXRibbon bar;
    ASSERT_TRUE(bar.Create(host.get(), 1901, 210, 1, 131, 8, 0, 0, 0, 0, 30));
    bar.AddLabel(30671, QStringLiteral("Help"), 0, 24);
    bar.AddButton(100, QStringLiteral("New"), 0, 131, 187);
    bar.AddButton(101, QStringLiteral("Checked"), 2, 131, 169);
    bar.AddButton(102, QStringLiteral("Plain"), 4, 131, 200);
    bar.AddItem(30418, QString(), 0, 131, 219, 2, 2085, 0, 0, 40, 0, 0, QStringLiteral("Brief Help"));
    bar.AddCloseButton();

    bar.EnableAllItems(false);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 100)).state, 3);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 101)).state, 2);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 102)).state, 4);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 30418)).state, 0);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 2)).state, 0);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 30671)).state, 0);

    bar.EnableItem(2, false);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 2)).state, 0);
    bar.EnableAllItems(true);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 100)).state, 0);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 101)).state, 2);
}

TEST_F(CXRibbonTest, EnableAtIndexNeverCopiesAnotherItemOverIt)
{
    CXRibbon bar;
    makeBar(bar);
    // The record is left holding item 102; enabling by index 0 must work on item 100.
    ASSERT_EQ(bar.FindItem(102), 2);
    bar.EnableItemAt(0, false);
    EXPECT_EQ(bar.itemAt(0).id, 100u);
    EXPECT_EQ(bar.itemAt(0).caption, QStringLiteral("New"));
    EXPECT_EQ(bar.itemAt(0).state, 3);
    EXPECT_EQ(bar.itemAt(2).state, 0);
    bar.FindItem(102);
    bar.EnableFirstItem(true);
    EXPECT_EQ(bar.itemAt(0).id, 100u);
    EXPECT_EQ(bar.itemAt(0).state, 0);
}

TEST_F(CXRibbonTest, ClickSendsTheCommandOnlyWhenReleasedOnThePressedItem)
{
    CXRibbon bar;
    makeBar(bar);
    QSignalSpy commands(&bar, &CXRibbon::commandTriggered);
    QSignalSpy hovers(&bar, &CXRibbon::hoverChanged);

    hover(&bar, centre(bar, 101));
    EXPECT_EQ(bar.hotId(), 101u);
    ASSERT_EQ(hovers.count(), 1);
    EXPECT_EQ(hovers.at(0).at(0).toInt(), 101);
    EXPECT_EQ(bar.tipText(), QStringLiteral("Edit"));
    EXPECT_EQ(bar.tipTitle(), QStringLiteral("The selected record"));

    QTest::mousePress(&bar, Qt::LeftButton, {}, centre(bar, 100));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, centre(bar, 102));
    EXPECT_EQ(commands.count(), 0);
    EXPECT_EQ(bar.pressedId(), 0u);

    QTest::mouseClick(&bar, Qt::LeftButton, {}, centre(bar, 102));
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 102);
}

TEST_F(CXRibbonTest, SelectedDisabledAndHiddenItemsAreNeverHot)
{
    CXRibbon bar;
    makeBar(bar);
    QSignalSpy commands(&bar, &CXRibbon::commandTriggered);
    const QPoint where = centre(bar, 101);
    for (std::uint8_t state : {std::uint8_t(2), std::uint8_t(3)}) {
        bar.SetItemState(101, state);
        hover(&bar, where);
        EXPECT_EQ(bar.hotId(), 0u) << int(state);
        QTest::mouseClick(&bar, Qt::LeftButton, {}, where);
    }
    EXPECT_EQ(commands.count(), 0);
    // A hidden item leaves its place to the items after it: the mouse
    // there finds one of them, never the hidden one.
    bar.SetItemState(101, 5);
    hover(&bar, where);
    EXPECT_EQ(bar.hotId(), 102u);
    EXPECT_TRUE(bar.itemRect(101).isEmpty());

    bar.SetItemState(101, 0);
    bar.SetBusy(true);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, centre(bar, 101));
    QTest::mouseClick(&bar, Qt::LeftButton, {}, centre(bar, 2));
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 2); // only Close reacts while busy
}

// A tip is split at its first line feed: what follows is the title, shown
// above the text and keeping its own lines (a contact card: name, then its
// phone lines).
TEST_F(CXRibbonTest, TipsShowTheirTitleAboveTheTextLineByLine)
{
    CXRibbon bar;
    makeBar(bar);
    hover(&bar, centre(bar, 100));
    EXPECT_EQ(bar.toolTip(), QStringLiteral("Add a record"));
    hover(&bar, centre(bar, 101));
    EXPECT_EQ(bar.toolTip(), QStringLiteral("<b>The selected record</b><br>Edit"));
    bar.SetItemTip(102, QStringLiteral("Hugo <Patel>\nPh1: 555-0110\nFax: 555-0111"));
    hover(&bar, centre(bar, 102));
    EXPECT_EQ(bar.toolTip(), QStringLiteral("<b>Ph1: 555-0110<br>Fax: 555-0111</b><br>Hugo &lt;Patel&gt;"));
    bar.SetItemTip(102, QStringLiteral("Save & Close"));
    hover(&bar, centre(bar, 100));
    hover(&bar, centre(bar, 102));
    EXPECT_EQ(bar.toolTip(), QStringLiteral("Save & Close"));
    hover(&bar, QPoint(499, 39));
    EXPECT_EQ(bar.toolTip(), QString());
}

TEST_F(CXRibbonTest, HiddenItemIsNotDrawn)
{
    CXRibbon bar;
    makeBar(bar);
    bar.SetItemColor(101, 21); // dark red face makes the item easy to find
    const QRect rect = bar.itemRect(101);
    const QColor red = rgb(GetStyleCaptionColor(21));
    EXPECT_TRUE(same(bar.renderImage().pixelColor(rect.left() + 2, rect.top() + 2), red));
    bar.SetItemState(101, 5);
    EXPECT_FALSE(same(bar.renderImage().pixelColor(rect.left() + 2, rect.top() + 2), red));
}

TEST_F(CXRibbonTest, CaptionsWithLineBreaksWrapAndLabelsFitTheirText)
{
    CXRibbon bar;
    makeBar(bar);
    bar.AddItem(200, QStringLiteral("Two\nLines"), 0, 131, 12, 2, 2084, 0, 0, 80);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 200)).format, 2128u);
    bar.AddItem(201, QStringLiteral("One line"), 0, 131, 12, 2, 2084, 0, 0, -1);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 201)).format, 2084u);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 201)).rect.width(), bar.MeasureText(QStringLiteral("One line"), 2) + 36);
    bar.AddItem(202, QString(), 0, 131, 12, 2, 2085, 0, 0, 0);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 202)).rect.width(), 27);

    bar.AddLabel(30001, QStringLiteral("Jobs"), 0, 10);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 30001)).rect.width(), bar.MeasureText(QStringLiteral("Jobs"), 2) + 24);
    bar.AddLabel(30002, QStringLiteral("Services"), 0, 300);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 30002)).rect.width(), 300);
    EXPECT_EQ(bar.itemAt(indexOf(bar, 30002)).label, 1);
}

TEST_F(CXRibbonTest, SpreadLayoutGivesTheRemainderToTheLastButton)
{
    placeholder(1903, QRect(0, 0, 500, 40));
    CXRibbon bar;
    ASSERT_TRUE(bar.Create(host.get(), 1903, 210, 1, 131, 8, 0, 0, 0, 0, 30));
    bar.AddButton(1, QStringLiteral("A"), 0, 131, 1);
    bar.AddButton(2, QStringLiteral("B"), 0, 131, 2);
    bar.AddButton(3, QStringLiteral("C"), 0, 131, 3);
    bar.RecalcLayout(250);
    EXPECT_EQ(bar.itemAt(0).rect.width(), 166);
    EXPECT_EQ(bar.itemAt(1).rect.width(), 166);
    EXPECT_EQ(bar.itemAt(2).rect.width(), 168);

    // A command id as mode gives that item all the spare width.
    placeholder(1904, QRect(0, 50, 500, 40));
    CXRibbon second;
    ASSERT_TRUE(second.Create(host.get(), 1904, 210, 1, 131, 8, 0, 0, 0, 0, 30));
    second.AddButton(1, QStringLiteral("A"), 0, 131, 1);
    second.AddButton(2, QStringLiteral("B"), 0, 131, 2);
    second.RecalcLayout(2);
    EXPECT_EQ(second.itemAt(0).rect.width(), 70);
    EXPECT_EQ(second.itemAt(1).rect.width(), 430);
}

TEST_F(CXRibbonTest, BlinkToggles7TimesThenRestoresAndAPressStopsIt)
{
    placeholder(1905, QRect(0, 0, 500, 40));
    BlinkProbe bar;
    ASSERT_TRUE(bar.Create(host.get(), 1905, 210, 1, 131, 8, 0, 0, 0, 0, 30));
    bar.AddItem(8900, QStringLiteral("Reminders"), 0, 132, 84, 2, 2084, 6, 0, 120);
    bar.AddButton(100, QStringLiteral("New"), 0, 131, 187);
    bar.watched = 8900;
    bar.BlinkItem(8900, true, 5, 7);
    EXPECT_TRUE(bar.isBlinking(8900));
    QTRY_VERIFY_WITH_TIMEOUT(!bar.isBlinking(8900), 3000);
    ASSERT_EQ(bar.colours.size(), 8);
    EXPECT_EQ(bar.colours.mid(0, 7), (QList<int>{25, 24, 25, 24, 25, 24, 25}));
    EXPECT_EQ(bar.colours.last(), 6); // the base colour again

    bar.colours.clear();
    bar.BlinkItem(8900, true, 1000, 7);
    QTest::mousePress(&bar, Qt::LeftButton, {}, bar.itemRect(8900).center());
    EXPECT_FALSE(bar.isBlinking(8900));
    EXPECT_EQ(bar.itemAt(0).colour, 6);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, bar.itemRect(8900).center());
}

TEST_F(CXRibbonTest, ReminderCountsSetTextImageBlinkAndOpening)
{
    placeholder(1906, QRect(0, 0, 600, 40));
    CXRibbon bar;
    ASSERT_TRUE(bar.Create(host.get(), 1906, 210, 4, 132, 8, 0, 4, 0, 0, 30));
    bar.AddButton(100, QStringLiteral("New"), 0, 131, 187);
    bar.AddItem(8900, QString(), 0, 132, 84, 2, 2084, 0, 0, 180);
    QSignalSpy commands(&bar, &CXRibbon::commandTriggered);

    bar.SetReminderCounts(0, 0, true);
    EXPECT_EQ(bar.GetItemTip(8900), QStringLiteral("Click here to add a task or reminder"));
    EXPECT_EQ(bar.itemAt(1).imageIndex, 84);
    EXPECT_FALSE(bar.isBlinking(8900));

    bar.SetReminderCounts(2, 2, false);
    EXPECT_EQ(bar.GetItemTip(8900), QStringLiteral("Reminders: 2 Today"));

    bar.SetReminderCounts(2, 5, true);
    EXPECT_EQ(bar.GetItemTip(8900), QStringLiteral("Reminders: 2 Today + 3 Later"));
    EXPECT_EQ(bar.itemAt(1).imageIndex, 83);
    EXPECT_TRUE(bar.isBlinking(8900));
    EXPECT_EQ(commands.count(), 0); // "Reminder Option" is off

    platform::Settings::writeInt(QStringLiteral("Settings"), QStringLiteral("Reminder Option"), 1);
    bar.SetReminderCounts(1, 1, true);
    // The list opens once the owner is done with what it was doing.
    EXPECT_EQ(commands.count(), 0);
    QApplication::processEvents();
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 8900);
    bar.BlinkItem(8900, false);
}

TEST_F(CXRibbonTest, ItemMenuFromItsListSendsTheChosenEntry)
{
    CXRibbon bar;
    makeBar(bar);
    bar.AddItem(300, QStringLiteral("Sort"), 0, 131, 12, 2, 2084, 0, 0, 80, 31000, 0,
                QStringLiteral("By Name,-,By Date,"));
    int stateDuringMenu = -1;
    QStringList entries;
    CXRibbon::SetMenuRunner([&](QMenu &menu, const QPoint &) {
        stateDuringMenu = bar.itemAt(indexOf(bar, 300)).state;
        for (QAction *action : menu.actions())
            entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return menu.actions().last()->data().toInt();
    });
    QSignalSpy commands(&bar, &CXRibbon::commandTriggered);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, centre(bar, 300));
    CXRibbon::SetMenuRunner(nullptr);
    EXPECT_EQ(stateDuringMenu, 1);
    EXPECT_EQ(entries, (QStringList{QStringLiteral("By Name"), QStringLiteral("-"), QStringLiteral("By Date")}));
    EXPECT_EQ(bar.itemAt(indexOf(bar, 300)).state, 0);
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 31002);
}

TEST_F(CXRibbonTest, WhatANarrowBarCannotShowIsBehindTheOverflowButton)
{
    CXRibbon bar;
    makeBar(bar); // New, Edit, Delete, Close: 70 pixels each
    bar.AddItem(300, QStringLiteral("Sort"), 0, 131, 12, 2, 2084, 0, 0, 80, 31000, 0,
                QStringLiteral("By Name,-,By Date,"));
    bar.AddButton(103, QString(), 3, 131, 3, QStringLiteral("Print\nThe list"));
    EXPECT_FALSE(bar.overflowRect().isValid());
    EXPECT_TRUE(bar.overflowIds().isEmpty());

    // 200 pixels: the overflow button takes the last 24, so New and Edit
    // (0-140) stay and Delete (140-210) and all after it go behind it.
    bar.resize(200, 40);
    EXPECT_EQ(bar.overflowRect().left(), 176);
    EXPECT_EQ(bar.overflowIds(), (QList<unsigned>{102, 2, 300, 103}));
    EXPECT_TRUE(bar.itemRect(101).isValid());
    EXPECT_TRUE(bar.itemRect(102).isNull());

    QStringList entries;
    QStringList sortEntries;
    QList<bool> enabled;
    CXRibbon::SetMenuRunner([&](QMenu &menu, const QPoint &) {
        for (QAction *action : menu.actions()) {
            entries << action->text();
            enabled << action->isEnabled();
            if (action->menu())
                for (QAction *sub : action->menu()->actions())
                    sortEntries << (sub->isSeparator() ? QStringLiteral("-") : sub->text());
        }
        return 2;
    });
    QSignalSpy commands(&bar, &CXRibbon::commandTriggered);
    hover(&bar, bar.overflowRect().center());
    EXPECT_EQ(bar.tipText(), QStringLiteral("More Commands"));
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.overflowRect().center());
    CXRibbon::SetMenuRunner(nullptr);
    // Captions name the entries, the tip's first line an item without one;
    // a disabled item stays disabled there.
    EXPECT_EQ(entries, (QStringList{QStringLiteral("Delete"), QStringLiteral("Close"), QStringLiteral("Sort"),
                                    QStringLiteral("Print")}));
    EXPECT_EQ(enabled, (QList<bool>{true, true, true, false}));
    EXPECT_EQ(sortEntries, (QStringList{QStringLiteral("By Name"), QStringLiteral("-"), QStringLiteral("By Date")}));
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 2);

    // Wide enough again: no overflow button, every item in its place.
    bar.resize(500, 40);
    EXPECT_FALSE(bar.overflowRect().isValid());
    EXPECT_EQ(bar.itemRect(103), QRect(360, 5, 70, 30));

    // A hidden command leaves no gap: with Edit hidden the others close up,
    // and at 380 pixels all of them fit.
    bar.SetItemState(102, struct_RIB_ITEM::Hidden);
    bar.resize(380, 40);
    EXPECT_FALSE(bar.overflowRect().isValid());
    EXPECT_EQ(bar.itemRect(103), QRect(290, 5, 70, 30));
}

TEST_F(CXRibbonTest, RadioGroupsMarkTheSelectedItem)
{
    CXRibbon bar;
    makeBar(bar);
    bar.CheckRadioItem(100, 102, 101, 2, true);
    EXPECT_EQ(bar.itemAt(0).state, 0);
    EXPECT_EQ(bar.itemAt(1).state, 2);
    EXPECT_EQ(bar.itemAt(2).state, 0);
    EXPECT_EQ(bar.itemAt(1).font, 3);
    EXPECT_EQ(bar.itemAt(0).font, 2);
    EXPECT_EQ(bar.itemAt(3).state, 0); // Close lies outside the range
    bar.CheckRadioItem(100, 102, 0, 3, false);
    EXPECT_EQ(bar.itemAt(0).state, 3);
    EXPECT_EQ(bar.itemAt(2).state, 3);
}

TEST_F(CXRibbonTest, RemovingKeepsLabelsAndTheKeptButton)
{
    CXRibbon bar;
    makeBar(bar);
    bar.AddLabel(30001, QStringLiteral("Jobs"), 0, 60);
    bar.RemoveItem(101);
    EXPECT_EQ(bar.FindItem(101), -1);
    EXPECT_EQ(bar.GetItemCount(), 4);
    bar.RemoveItems(2);
    ASSERT_EQ(bar.GetItemCount(), 2);
    EXPECT_EQ(bar.itemAt(0).id, 2u);
    EXPECT_EQ(bar.itemAt(1).id, 30001u);
    EXPECT_EQ(bar.GetItemId(1), 0u); // labels answer 0
    QString text;
    EXPECT_EQ(bar.LookupItemText(2, text), 0);
    EXPECT_EQ(text, QStringLiteral("Close"));
    EXPECT_EQ(bar.LookupItemText(999, text), -1);
    EXPECT_TRUE(text.isEmpty());
}

TEST_F(CXRibbonTest, StockGroupsCarryTheirIdsImagesAndStates)
{
    placeholder(1907, QRect(0, 0, 700, 40));
    CXRibbon bar;
    ASSERT_TRUE(bar.Create(host.get(), 1907, 210, 1, 131, 8, 0, 0, 0, 0, 30));
    bar.AddPrintButton();
    bar.AddNavigationGroup();
    bar.AddChartTypeGroup(1);
    ASSERT_EQ(bar.GetItemCount(), 11);
    EXPECT_EQ(bar.itemAt(0).id, 30330u);
    EXPECT_EQ(bar.itemAt(1).id, 3000u); // inserted after Print, counting up
    EXPECT_EQ(bar.itemAt(5).id, 3004u);
    EXPECT_EQ(bar.itemAt(1).state, 3);
    EXPECT_EQ(bar.itemAt(3).imageIndex, 203);
    EXPECT_EQ(bar.itemAt(3).text2, QStringLiteral("Column Chart"));
    EXPECT_EQ(bar.itemAt(6).id, 30101u);
    EXPECT_EQ(bar.itemAt(7).id, 59648u);
    EXPECT_EQ(bar.itemAt(7).image, 0);
    EXPECT_EQ(bar.itemAt(7).imageIndex, 5);
    EXPECT_EQ(bar.itemAt(10).id, 59649u);
    EXPECT_EQ(bar.itemAt(10).border, 2);
    EXPECT_EQ(bar.GetBarHeight(), 24 + bar.itemHeight() + 3);
}

TEST_F(CXRibbonTest, PlacingAgainKeepsEveryItemWhereItWas)
{
    // A bar with a gap between its buttons: every paint and hit test places
    // the items again, and each time they must land in the same place.
    placeholder(1908, QRect(0, 0, 600, 40));
    CXRibbon bar;
    ASSERT_TRUE(bar.Create(host.get(), 1908, 210, 1, 131, 8, 32, 3, 0, 0, 30));
    bar.AddItem(100, QStringLiteral("New"), 0, 131, 187, 2, 2084, 7, 2, 80);
    bar.AddSpacer(20, 5);
    bar.AddItem(101, QStringLiteral("Save"), 0, 131, 223, 2, 2084, 7, 2, 80);
    bar.AddItem(2, QStringLiteral("Close"), 0, 131, 224, 2, 2084, 7, 2, 80);
    for (int mode : {255, 251, 101}) {
        bar.RecalcLayout(mode);
        const QRect first = bar.itemRect(101);
        const QRect close = bar.itemRect(2);
        for (int i = 0; i < 5; ++i) {
            bar.repaint();
            bar.RecalcLayout(0);
        }
        EXPECT_EQ(bar.itemRect(101), first) << mode;
        EXPECT_EQ(bar.itemRect(2), close) << mode;
        EXPECT_EQ(first.width(), mode == 255 ? 77 : first.width()) << mode;
    }
}

TEST_F(CXRibbonTest, LayoutStaysPutThroughHoversPaintsAndClicks)
{
    // A bar with labels, a gap and a spread layout: every paint and hit test
    // used to narrow the buttons by the gap until clicks hit the wrong item.
    placeholder(1905, QRect(0, 0, 640, 70));
    CXRibbon bar;
    ASSERT_TRUE(bar.Create(host.get(), 1905, 210, 1, 131, 8, 0, 4, 2, 0, 36));
    bar.AddLabel(30280, QStringLiteral("Main Menu"), 0, 0, QString());
    bar.AddLabel(30671, QStringLiteral("Help"), 0, 0, QString());
    const unsigned ids[] = {100, 101, 102, 103};
    for (unsigned id : ids)
        bar.AddButton(id, QStringLiteral("Item %1").arg(id), 0, 131, 187, QString());
    bar.AddCloseButton();
    bar.RecalcLayout(250);
    QList<QRect> first;
    for (unsigned id : {100u, 101u, 102u, 103u, 2u, 30280u, 30671u})
        first << bar.itemRect(id);
    QList<int> stored;
    for (int i = 0; i < bar.GetItemCount(); ++i)
        stored << bar.itemAt(i).rect.width();

    QSignalSpy commands(&bar, &CXRibbon::commandTriggered);
    for (int cycle = 0; cycle < 100; ++cycle) {
        const unsigned id = ids[cycle % 4];
        hover(&bar, centre(bar, id));
        bar.repaint();
        bar.grab();
        hover(&bar, QPoint(1, 1));
    }
    QList<QRect> after;
    for (unsigned id : {100u, 101u, 102u, 103u, 2u, 30280u, 30671u})
        after << bar.itemRect(id);
    EXPECT_EQ(after, first);
    for (int i = 0; i < bar.GetItemCount(); ++i)
        EXPECT_EQ(bar.itemAt(i).rect.width(), stored[i]) << i;
    // Each button still answers its own command where it is drawn.
    for (unsigned id : ids)
        QTest::mouseClick(&bar, Qt::LeftButton, {}, centre(bar, id));
    ASSERT_EQ(commands.count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(commands.at(i).at(0).toUInt(), ids[i]);
}
