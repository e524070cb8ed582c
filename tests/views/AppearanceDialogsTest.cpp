#include "DialogsFixture.h"

#include "controls/CXTreeOptCtrl.h"
#include "platform/Settings.h"
#include "views/CColorListBox.h"
#include "views/CViewColor.h"
#include "views/CViewOptions.h"

#include <QtTest/QTest>
#include <QtWidgets/QFontDialog>

#include <utility>

namespace {

using Sent = QList<std::pair<int, int>>;

// Records the appearance messages a dialog sends its owner.
template <class D>
void listen(D &dialog, Sent &sent)
{
    QObject::connect(&dialog, &D::viewMessage, [&sent](int message, qintptr setting, qintptr value) {
        EXPECT_EQ(message, 30249);
        sent.append({int(setting), int(value)});
    });
}

// Clicks an option as the user does: the first click selects it.
void clickOption(CXTreeOptCtrl &tree, unsigned id)
{
    HTREEITEM item = tree.FindOption(id);
    ASSERT_NE(item, nullptr);
    tree.scrollToItem(item);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, tree.visualItemRect(item).center());
    QApplication::processEvents();
}

QList<unsigned> checkedOptions(CXTreeOptCtrl &tree)
{
    QList<unsigned> ids;
    for (unsigned group = 1; group <= 5; ++group)
        for (unsigned value = 0; value <= 180; ++value)
            if (tree.FindOption(group * 1000 + value) && tree.IsOptionChecked(group * 1000 + value))
                ids << group * 1000 + value;
    return ids;
}

} // namespace

TEST_F(DialogsTest, AppearanceOptionsSendEveryChoiceToTheOwner)
{
    Appearance &look = Appearance::instance();
    look.SetButtonStyle(3);
    look.SetColorIntensity(140);
    look.SetFontName(QStringLiteral("Arial"));
    Sent sent;
    CViewOptions dlg(30001, nullptr);
    listen(dlg, sent);
    onDialog<CViewOptions>([&](CViewOptions &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Customize Appearance (for this computer only)"));
        EXPECT_EQ(checkedOptions(*d.tree()), QList<unsigned>({1003, 2010, 3000, 4140, 5000 + unsigned(look.fontSize())}));
        EXPECT_EQ(d.tree()->topLevelItem(1)->text(0), QStringLiteral("Background of Other Buttons "));
        snapshot(d, QStringLiteral("appearance-options"));
        clickOption(*d.tree(), 2006);
        clickOption(*d.tree(), 4180);
        EXPECT_EQ(sent, Sent({{2, 6}, {4, 180}}));
        sent.clear();

        // The defaults are all sent, also those already in force; the face
        // goes back to the system's.
        d.SendCommand(1001);
        EXPECT_EQ(sent, Sent({{1, 0}, {2, 10}, {3, 0}, {4, 120}, {5, 90}}));
        EXPECT_FALSE(platform::Settings::contains(QStringLiteral("View Settings"), QStringLiteral("FontName")));
        EXPECT_EQ(look.fontName(), Appearance::DefaultFontName());
        // Nothing applied them (the owner does): the tree shows what holds.
        EXPECT_TRUE(d.tree()->IsOptionChecked(1003));
        sent.clear();

        onDialog<QFontDialog>([](QFontDialog &f) {
            QFont font = f.currentFont();
            font.setPointSize(11);
            f.setCurrentFont(font);
            f.accept();
            return int(QDialog::Accepted);
        });
        d.SendCommand(30510);
        EXPECT_EQ(sent, Sent({{5, 110}}));
        EXPECT_FALSE(look.fontName().isEmpty());
        EXPECT_EQ(platform::Settings::readString(QStringLiteral("View Settings"), QStringLiteral("FontName")),
                  look.fontName());
        return press(d, 2);
    });
    EXPECT_EQ(dlg.DoModal(), 2);
}

TEST_F(DialogsTest, WindowColourOffersThirtySixHuesAndSendsTheChosenOne)
{
    Appearance::instance().SaveViewSetting(30001, 150);
    Sent sent;
    CViewOptions options(30001, nullptr);
    listen(options, sent);
    onDialog<CViewOptions>([&](CViewOptions &o) {
        onDialog<CViewColor>([&](CViewColor &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Color of Jobs window"));
            CColorListBox *list = d.list();
            EXPECT_EQ(list->count(), 36);
            EXPECT_EQ(list->item(0)->text(), QStringLiteral("10"));
            EXPECT_EQ(CColorListBox::HueOf(list->item(35)), 360);
            EXPECT_EQ(list->currentRow(), 14); // hue 150, selected without a message
            EXPECT_TRUE(sent.isEmpty());
            snapshot(d, QStringLiteral("window-colour"));
            list->setCurrentRow(2);
            d.SendCommand(1001);
            EXPECT_EQ(d.m_nColorScheme, 30);
            return press(d, 2);
        });
        o.SendCommand(1002);
        return press(o, 2);
    });
    options.DoModal();
    EXPECT_EQ(sent, Sent({{0, 30}, {0, 0}}));

    // A hue between the steps selects nothing.
    CViewColor odd(30003, 125, nullptr);
    onDialog<CViewColor>([](CViewColor &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Color of Customers window"));
        EXPECT_TRUE(d.list()->selectedItems().isEmpty());
        return press(d, 2);
    });
    odd.DoModal();
}
