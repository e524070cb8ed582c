#include "ControlsFixture.h"

#include "app/base/Colours.h"
#include "app/base/ImageList.h"
#include "controls/ControlMessages.h"
#include "controls/CXWnd.h"
#include "controls/DrawTextFormat.h"
#include "data/SharedDatabase.h"

#include <QtCore/QDir>
#include <QtGui/QPainter>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// A window whose drawing is given by the test.
class Probe : public CXWnd
{
public:
    std::function<void(Probe &)> paint;
    void Draw() override
    {
        if (paint)
            paint(*this);
        else
            CXWnd::Draw();
    }
};

QRect colourExtent(const QImage &image, const QColor &colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

using CXWndTest = ControlsTest;

TEST_F(CXWndTest, ReplacesPlaceholderKeepingPlaceAndText)
{
    placeholder(1902, QRect(10, 20, 200, 30), QStringLiteral("Customer"));
    Probe panel;
    EXPECT_FALSE(panel.CreateFromDlgItem(host.get(), 1999));
    EXPECT_FALSE(panel.isCreated());

    ASSERT_TRUE(panel.CreateFromItem(host.get(), 1902, 120, 6, 1, 3, 2085, QString()));
    EXPECT_EQ(panel.geometry(), QRect(10, 20, 200, 30));
    EXPECT_EQ(panel.controlId(), 1902u);
    EXPECT_EQ(panel.item().caption, QStringLiteral("Customer")); // empty text keeps the placeholder's
    EXPECT_EQ(GetDlgItem(host.get(), 1902), &panel);               // the id now finds the new window
    EXPECT_EQ(panel.item().colour, 6);
    EXPECT_EQ(panel.item().border, 1);
    EXPECT_EQ(panel.item().font, 3);

    placeholder(1903, QRect(10, 60, 200, 30), QStringLiteral("Old"));
    Probe second;
    ASSERT_TRUE(second.CreateFromItem(host.get(), 1903, 120, 6, 0, 2, 2084, QStringLiteral("New")));
    EXPECT_EQ(second.item().caption, QStringLiteral("New"));
}

TEST_F(CXWndTest, ColourSchemeComesFromTheHueAndIgnoresNegativeHues)
{
    Probe panel;
    panel.SetColorScheme(210);
    EXPECT_EQ(panel.color(0), 0xFFFFFFu);
    for (int level = 1; level <= 5; ++level)
        EXPECT_EQ(panel.color(level), GetHueShade(210, level));
    EXPECT_EQ(panel.color(6), GetHueShade(210, 0));
    panel.SetColorScheme(-1);
    EXPECT_EQ(panel.colorSchemeHue(), 210);
    EXPECT_EQ(panel.color(3), GetHueShade(210, 3));
}

TEST_F(CXWndTest, TwoPixelWindowPaintsAOnePixelLine)
{
    placeholder(10, QRect(0, 0, 2, 40));
    placeholder(11, QRect(10, 0, 40, 2));
    Probe vertical;
    Probe horizontal;
    ASSERT_TRUE(vertical.CreateFromItem(host.get(), 10, 30, 16, 0, 2, 2084, QStringLiteral(" ")));
    ASSERT_TRUE(horizontal.CreateFromItem(host.get(), 11, 30, 16, 0, 2, 2084, QStringLiteral(" ")));
    const QColor fill = rgb(vertical.color(5));
    const QImage v = vertical.renderImage();
    EXPECT_TRUE(same(v.pixelColor(0, 20), fill));
    EXPECT_FALSE(same(v.pixelColor(1, 20), fill));
    const QImage h = horizontal.renderImage();
    EXPECT_TRUE(same(h.pixelColor(20, 0), fill));
    EXPECT_FALSE(same(h.pixelColor(20, 1), fill));
}

TEST_F(CXWndTest, StyleNineTurnsFromVerticalToHorizontalWhenWide)
{
    placeholder(20, QRect(0, 0, 40, 100));
    placeholder(21, QRect(50, 0, 100, 40));
    Probe tall;
    Probe wide;
    ASSERT_TRUE(tall.CreateFromItem(host.get(), 20, 120, 9, 0, 2, 2084, QStringLiteral(" ")));
    ASSERT_TRUE(wide.CreateFromItem(host.get(), 21, 120, 9, 0, 2, 2084, QStringLiteral(" ")));
    const QImage t = tall.renderImage();
    // Tall: white at the top to shade 1 at the bottom; rows alike across.
    EXPECT_TRUE(same(t.pixelColor(2, 0), Qt::white, 3));
    EXPECT_TRUE(same(t.pixelColor(2, 99), rgb(tall.color(1)), 3));
    EXPECT_EQ(t.pixelColor(1, 50), t.pixelColor(38, 50));
    const QImage w = wide.renderImage();
    // Wide: shade 2 at the left to white at the right; columns alike down.
    EXPECT_TRUE(same(w.pixelColor(0, 20), rgb(wide.color(2)), 3));
    EXPECT_TRUE(same(w.pixelColor(99, 20), Qt::white, 3));
    EXPECT_EQ(w.pixelColor(50, 1), w.pixelColor(50, 38));
}

TEST_F(CXWndTest, SecondTextPutsCaptionInATopBandWithARule)
{
    placeholder(30, QRect(0, 0, 240, 90));
    Probe panel;
    ASSERT_TRUE(panel.CreateFromItem(host.get(), 30, 210, 1, 0, 2, 2084, QStringLiteral("Title")));
    panel.SetTexts(QStringLiteral("Title"), QStringLiteral("A longer second text that wraps under the caption band"));
    const QImage image = panel.renderImage();
    // The rule under the 22-pixel band is drawn in the dark border colour.
    EXPECT_TRUE(same(image.pixelColor(200, 21), rgb(panel.color(3))));
    EXPECT_TRUE(same(image.pixelColor(200, 10), Qt::white));
    // The second text is drawn below the band.
    bool inkBelow = false;
    for (int y = 24; y < 60 && !inkBelow; ++y)
        for (int x = 0; x < 240 && !inkBelow; ++x)
            inkBelow = image.pixelColor(x, y).lightness() < 100;
    EXPECT_TRUE(inkBelow);

    panel.SetTexts(QStringLiteral("Title"), QString());
    const QImage single = panel.renderImage();
    EXPECT_TRUE(same(single.pixelColor(200, 21), Qt::white));
}

TEST_F(CXWndTest, MissingPicturesFallBackToIcons)
{
    placeholder(40, QRect(0, 0, 80, 80));
    Probe panel;
    ASSERT_TRUE(panel.CreateFromDlgItem(host.get(), 40));
    panel.SetColorScheme(210);
    SetDataFolder(tempPath(QStringLiteral("db")));
    bool photoDrawn = false;
    panel.paint = [&](Probe &p) {
        p.FillSolid(p.clientRect(), 0xFFFFFF);
        photoDrawn = p.DrawImage(QRect(0, 0, 64, 64), 134, 5, 0, 0);
    };
    const QImage photo = panel.renderImage();
    EXPECT_TRUE(photoDrawn);
    // Employee 5 has icon (5 - 1) % 10 + 2 = 6 of the large list.
    QImage icon(64, 64, QImage::Format_ARGB32);
    icon.fill(Qt::white);
    {
        QPainter painter(&icon);
        Appearance::instance().GetImageList(133)->draw(painter, 6, QPoint(0, 0));
    }
    int differing = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            differing += photo.pixelColor(x, y) != icon.pixelColor(x, y);
    EXPECT_LT(differing, 40);

    bool productDrawn = false;
    panel.paint = [&](Probe &p) {
        p.FillSolid(p.clientRect(), 0xFFFFFF);
        productDrawn = p.DrawImage(QRect(0, 0, 64, 64), 135, 9, 0, 0);
    };
    const QImage product = panel.renderImage();
    EXPECT_TRUE(productDrawn);
    QImage box(64, 64, QImage::Format_ARGB32);
    box.fill(Qt::white);
    {
        QPainter painter(&box);
        Appearance::instance().GetImageList(133)->draw(painter, 22, QPoint(0, 0));
    }
    differing = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            differing += product.pixelColor(x, y) != box.pixelColor(x, y);
    EXPECT_LT(differing, 40);
}

TEST_F(CXWndTest, PicturesShrinkKeepingTheirShapeButNeverGrow)
{
    QDir().mkpath(tempPath(QStringLiteral("db/Photos")));
    QImage big(200, 100, QImage::Format_RGB32);
    big.fill(Qt::red);
    ASSERT_TRUE(big.save(tempPath(QStringLiteral("db/Photos/7.bmp")), "BMP"));
    QImage small(20, 10, QImage::Format_RGB32);
    small.fill(Qt::red);
    ASSERT_TRUE(small.save(tempPath(QStringLiteral("db/Photos/8.bmp")), "BMP"));
    SetDataFolder(tempPath(QStringLiteral("db")));

    placeholder(41, QRect(0, 0, 100, 100));
    Probe panel;
    ASSERT_TRUE(panel.CreateFromDlgItem(host.get(), 41));
    int photo = 7;
    panel.paint = [&](Probe &p) {
        p.FillSolid(p.clientRect(), 0xFFFFFF);
        p.DrawImage(QRect(0, 0, 70, 70), 134, std::uint8_t(photo), 0, 0);
    };
    QRect red = colourExtent(panel.renderImage(), QColor(Qt::red));
    EXPECT_EQ(red.width(), 64);
    EXPECT_EQ(red.height(), 32);
    photo = 8;
    red = colourExtent(panel.renderImage(), QColor(Qt::red));
    EXPECT_EQ(red.size(), QSize(20, 10));
}

TEST_F(CXWndTest, AlignRectPlacesBoxesByFormat)
{
    const QRect rect(10, 10, 100, 40);
    const QSize size(18, 18);
    EXPECT_EQ(CXWnd::AlignRect(rect, size, DT_CENTER | DT_VCENTER), QRect(51, 21, 18, 18));
    EXPECT_EQ(CXWnd::AlignRect(rect, size, DT_RIGHT), QRect(89, 10, 18, 18));
    EXPECT_EQ(CXWnd::AlignRect(rect, size, DT_BOTTOM), QRect(13, 32, 18, 18));
    // Never more than the spare room from the left.
    EXPECT_EQ(CXWnd::AlignRect(QRect(0, 0, 19, 18), size, 0).left(), 1);
}

TEST_F(CXWndTest, ArrowGlyphTakesItsBoxFromTheRect)
{
    placeholder(42, QRect(0, 0, 100, 30));
    Probe panel;
    ASSERT_TRUE(panel.CreateFromDlgItem(host.get(), 42));
    panel.SetColorScheme(210);
    QRect left(0, 0, 100, 30);
    QRect right(0, 0, 100, 30);
    QRect centred(0, 0, 100, 30);
    panel.paint = [&](Probe &p) {
        p.FillSolid(p.clientRect(), 0xFFFFFF);
        p.DrawArrow(left, 2, DT_LEFT, true);       // 5 wide: box 2 x 5 + 4
        p.DrawArrow(right, 4, DT_RIGHT, true);     // 8 wide: box 2 x 8 + 4
        p.DrawArrow(centred, 3, DT_CENTER, true);
    };
    const QImage image = panel.renderImage();
    EXPECT_EQ(left, QRect(14, 0, 86, 30));
    EXPECT_EQ(right, QRect(0, 0, 80, 30));
    EXPECT_EQ(centred, QRect(0, 0, 100, 30));
    // The right-pointing triangle is filled in the dark brush within its box.
    EXPECT_TRUE(colourExtent(image, rgb(panel.color(4))).intersects(QRect(0, 0, 14, 30)));
}

TEST_F(CXWndTest, VerticalScrollingClampsToTheLimit)
{
    placeholder(43, QRect(0, 0, 100, 200));
    Probe panel;
    ASSERT_TRUE(panel.CreateFromDlgItem(host.get(), 43));
    panel.SetVertScrollRange(30, 24);
    EXPECT_TRUE(panel.isVertScrollShown());
    EXPECT_EQ(panel.clientRect().width(), 100 - 17);
    int top = 0;
    EXPECT_TRUE(panel.ScrollVert(SB_LINEDOWN, 0, &top));
    EXPECT_EQ(top, 1);
    EXPECT_TRUE(panel.ScrollVert(SB_PAGEDOWN, 0, &top));
    EXPECT_EQ(top, 6); // page 24 clamps at the limit 30 - 24
    EXPECT_FALSE(panel.ScrollVert(SB_BOTTOM, 0, &top));
    EXPECT_TRUE(panel.ScrollVert(SB_THUMBTRACK, 3, &top));
    EXPECT_EQ(top, 3);
    EXPECT_TRUE(panel.ScrollVert(SB_TOP, 0, &top));
    EXPECT_EQ(top, 0);
    EXPECT_FALSE(panel.ScrollVert(SB_LINEUP, 0, &top));
    panel.SetVertScrollRange(10, 24);
    EXPECT_FALSE(panel.isVertScrollShown());
    EXPECT_EQ(panel.clientRect().width(), 100);
}

TEST_F(CXWndTest, BordersCoverEdgesByStyle)
{
    EXPECT_TRUE(CXWnd::BorderCoversTop(1));
    EXPECT_TRUE(CXWnd::BorderCoversTop(16));
    EXPECT_TRUE(CXWnd::BorderCoversTop(16 | 64 | 128));
    EXPECT_FALSE(CXWnd::BorderCoversTop(32));
    EXPECT_TRUE(CXWnd::BorderCoversBottom(15));
    EXPECT_TRUE(CXWnd::BorderCoversBottom(32));
    EXPECT_FALSE(CXWnd::BorderCoversBottom(16));
    EXPECT_TRUE(CXWnd::BorderCoversBottom(32 | 128));

    placeholder(44, QRect(0, 0, 50, 30));
    Probe panel;
    ASSERT_TRUE(panel.CreateFromItem(host.get(), 44, 210, 1, 2, 2, 2084, QStringLiteral(" ")));
    const QImage raised = panel.renderImage();
    EXPECT_TRUE(same(raised.pixelColor(10, 0), rgb(panel.color(1))));  // light top
    EXPECT_TRUE(same(raised.pixelColor(10, 29), rgb(panel.color(3)))); // dark bottom
    EXPECT_TRUE(same(raised.pixelColor(49, 10), rgb(panel.color(3))));
    panel.SetStyles(1, 3, 2, 2084);
    const QImage sunken = panel.renderImage();
    EXPECT_TRUE(same(sunken.pixelColor(10, 0), rgb(panel.color(3))));
    EXPECT_TRUE(same(sunken.pixelColor(10, 29), rgb(panel.color(1))));
}

TEST_F(CXWndTest, TwoPartTextDrawsBothPartsAndAddsTheirHeights)
{
    placeholder(45, QRect(0, 0, 200, 80));
    Probe panel;
    ASSERT_TRUE(panel.CreateFromDlgItem(host.get(), 45));
    panel.SetColorScheme(210);
    int twoPart = 0;
    int single = 0;
    int empty = -1;
    panel.paint = [&](Probe &p) {
        p.FillSolid(p.clientRect(), 0xFFFFFF);
        twoPart = p.DrawText(QRect(0, 0, 200, 80), QStringLiteral("Heading\nbody text"), DT_TWO_PART, 0, 4, 3);
        single = p.DrawText(QRect(0, 0, 200, 80), QStringLiteral("Heading"), 2084, 0, 4, 3);
        empty = p.DrawText(QRect(0, 0, 200, 80), QString(), 2084, 0, 2, 3);
    };
    panel.renderImage();
    EXPECT_GT(twoPart, single);
    EXPECT_EQ(empty, 0);
}

namespace {
// Gives the test the embossed face colour the window picks.
class EmbossProbe : public CXWnd
{
public:
    ColorRef face() const { return EmbossTopColour(); }
};

double relativeLuminance(ColorRef c)
{
    const QColor q = ColorRefToQColor(c);
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(q.redF()) + 0.7152 * channel(q.greenF()) + 0.0722 * channel(q.blueF());
}
} // namespace

TEST_F(CXWndTest, EmbossedCaptionReadsOnItsFillForEveryHue)
{
    for (int hue = 10; hue <= 360; hue += 10) {
        EmbossProbe w;
        w.SetColorScheme(hue);
        const double face = relativeLuminance(w.face());
        for (int fill : {0, 1}) {
            const double back = relativeLuminance(w.color(fill));
            const double ratio = (std::max(face, back) + 0.05) / (std::min(face, back) + 0.05);
            EXPECT_GE(ratio, 3.0) << "hue " << hue << " fill " << fill;
        }
    }
}
