#include "app/base/Codes.h"
#include "app/base/Colours.h"

#include <gtest/gtest.h>

namespace {

class ColoursTest : public ::testing::Test
{
protected:
    void TearDown() override { SetColorIntensity(0); }
};

} // namespace

TEST_F(ColoursTest, HueOfColourReferences)
{
    EXPECT_EQ(ColorToHue(0x0000FF), 0);
    EXPECT_EQ(ColorToHue(0x00FF00), 120);
    EXPECT_EQ(ColorToHue(0xFF0000), 240);
    EXPECT_EQ(ColorToHue(0x808080), 0);
    EXPECT_EQ(ColorToHue(0xFF00FF), 300);
    EXPECT_EQ(ColorToHue(0x00FFFF), 60);  // red wins the tie with green
    EXPECT_EQ(ColorToHue(0xFFFF00), 180); // green wins the tie with blue
}

TEST_F(ColoursTest, HsvToColour)
{
    EXPECT_EQ(HsvToColor(0, 1.0, 1.0, false), 0x0000FFu);
    EXPECT_EQ(HsvToColor(120, 1.0, 1.0, false), 0x00FF00u);
    EXPECT_EQ(HsvToColor(360, 1.0, 1.0, false), 0x0000FFu);
    EXPECT_EQ(HsvToColor(77, 0.0, 0.5, false), 0x7F7F7Fu);
    EXPECT_EQ(HsvToColor(0, 2.0, 3.0, false), 0x0000FFu); // held at 1.0
    EXPECT_EQ(HsvToColor(30, 1.0, 1.0, false), MakeColorRef(255, 127, 0));

    SetColorIntensity(50);
    EXPECT_EQ(HsvToColor(0, 0.8, 1.0, true), HsvToColor(0, 0.4, 1.0, false));
    EXPECT_EQ(HsvToColor(0, 0.8, 1.0, false), MakeColorRef(255, 50, 50)); // channels truncate
    EXPECT_EQ(GetHueShade(200, 3), HsvToColor(200, 0.2, 0.7, false));
}

TEST_F(ColoursTest, ShadesPaletteAndStyles)
{
    EXPECT_EQ(GetHueShade(0, 6), 0xFFFFFFu);
    EXPECT_EQ(GetHueShade(1, 0), 0xFFFFFFu);
    EXPECT_EQ(GetHueShade(189, 3), 0xC6A800u);
    EXPECT_EQ(GetHueShade(200, 1), HsvToColor(200, 0.04, 0.98, false));
    EXPECT_EQ(GetHueShade(200, 9), HsvToColor(200, 0.2, 1.0, false));

    EXPECT_EQ(GetSysColorEx(31), 0xD1FFFFu);
    EXPECT_EQ(GetSysColorEx(48), 0x8CFF8Cu);
    EXPECT_EQ(GetSysColorEx(45), GetSystemColor(30));
    EXPECT_EQ(GetSysColorEx(12), GetSystemColor(12));
    EXPECT_EQ(ColorRefToQColor(0x3196F9), QColor(0xF9, 0x96, 0x31));

    EXPECT_EQ(GetStyleCaptionColor(3), GetSystemColor(SysColorActiveCaption));
    EXPECT_FALSE(IsDarkStyleColor(24));
    EXPECT_TRUE(IsDarkStyleColor(25));
    EXPECT_FALSE(IsDarkStyleColor(9));
}

TEST(CodeRanges, CategoriesAndListImages)
{
    EXPECT_FALSE(IsPaperCategory(100));
    EXPECT_TRUE(IsPaperCategory(101) && IsPaperCategory(199));
    EXPECT_FALSE(IsPrintingCategory(300));
    EXPECT_TRUE(IsPaperCategoryNot113To116(112));
    EXPECT_FALSE(IsPaperCategoryNot113To116(115));

    EXPECT_FALSE(IsListImage84To95(97));
    EXPECT_TRUE(IsListImage84To95(98));
    EXPECT_FALSE(IsListImage60To71(72));
    EXPECT_TRUE(IsListImage60To71(99));
    EXPECT_TRUE(IsListImage139To145(96));
    EXPECT_FALSE(IsListImage139To145(146));
}

TEST(PrintedSides, InksSidesAndImages)
{
    EXPECT_EQ(GetInkCount(5), 5);
    EXPECT_EQ(GetInkCount(6), 1);
    EXPECT_EQ(GetInkCount(17), 12);
    EXPECT_EQ(GetTotalInkCount(5, 17), 17);

    EXPECT_EQ(GetHowSidesPrinted(0, 0), 0);
    EXPECT_EQ(GetHowSidesPrinted(0, 1), 1);
    EXPECT_EQ(GetHowSidesPrinted(1, 1), 2);
    EXPECT_EQ(GetHowSidesPrinted(0, 7), 3);
    EXPECT_EQ(GetHowSidesPrinted(1, 2), 4);
    EXPECT_EQ(GetHowSidesPrinted(6, 6), 5);
    EXPECT_EQ(GetHowSidesPrinted(2, 0), 3); // black with a colour counts as colour

    EXPECT_EQ(GetInkImageIndex(3), 241);
    EXPECT_EQ(GetInkImageIndex(4), 243);
    EXPECT_EQ(GetInkImageIndex(5), 243);
    EXPECT_EQ(GetInkImageIndex(8), 242);
    EXPECT_EQ(GetSidesImageIndex(0, 0), 239);
    EXPECT_EQ(GetSidesImageIndex(0, 1), 244);
    EXPECT_EQ(GetSidesImageIndex(6, 1), 245);
}
