#include "app/base/Appearance.h"
#include "app/base/Colours.h"
#include "app/base/IconGlyphs.h"
#include "app/base/ImageList.h"
#include "platform/Settings.h"
#include "support/TestEnvironment.h"

#include <QtGui/QFontInfo>
#include <QtGui/QPainter>

namespace {

const QString kView = QStringLiteral("View Settings");

int paintedPixels(const QPixmap &pixmap)
{
    const QImage image = pixmap.toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}

} // namespace

class AppearanceTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        m_intensity = GetColorIntensity();
        appearance().LoadViewSettings();
    }
    void TearDown() override
    {
        appearance().LoadViewSettings(); // back to the defaults of an empty store
        SetColorIntensity(m_intensity);  // the colour functions' own state as it was
        TavrelTest::TearDown();
    }
    static Appearance &appearance() { return Appearance::instance(); }

private:
    std::uint8_t m_intensity = 0;
};

TEST_F(AppearanceTest, FillStyleOutOfRangeFallsBackToTen)
{
    platform::Settings::writeInt(kView, QStringLiteral("Fill"), 30);
    EXPECT_EQ(appearance().LoadFillStyle(), 10);
    EXPECT_TRUE(appearance().isDarkFillStyle());
    appearance().SetFillStyle(26);
    EXPECT_EQ(platform::Settings::readInt(kView, QStringLiteral("Fill")), 10);
    appearance().SetFillStyle(24);
    EXPECT_EQ(appearance().fillStyle(), 24);
    EXPECT_FALSE(appearance().isDarkFillStyle());
    EXPECT_FALSE(appearance().isFillStyle6To13());
    appearance().SetFillStyle(7);
    EXPECT_TRUE(appearance().isFillStyle6To13());
    EXPECT_EQ(appearance().LoadFillStyle(), 7);
}

TEST_F(AppearanceTest, FontSizeIsClampedAndItsDefaultFollowsTheFace)
{
    EXPECT_EQ(Appearance::DefaultFontName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(appearance().fontSize(), 85);
    platform::Settings::writeInt(kView, QStringLiteral("FontSize"), 200);
    EXPECT_EQ(appearance().LoadFontSize(), 120);
    platform::Settings::writeInt(kView, QStringLiteral("FontSize"), 10);
    EXPECT_EQ(appearance().LoadFontSize(), 70);
    platform::Settings::remove(kView, QStringLiteral("FontSize"));
    appearance().SetFontName(QStringLiteral("Segoe UI"));
    appearance().CreateFonts();
    EXPECT_EQ(appearance().fontSize(), 90);
    appearance().SetFontName(QString());
    EXPECT_FALSE(platform::Settings::contains(kView, QStringLiteral("FontName")));
    EXPECT_EQ(appearance().LoadFontName(), QStringLiteral("Tahoma"));
}

TEST_F(AppearanceTest, FontsByIndexWithInstalledFaces)
{
    const QFont &two = appearance().GetFont(2);
    EXPECT_EQ(&appearance().GetFont(10), &two);
    EXPECT_EQ(&appearance().GetFont(-1), &two);
    EXPECT_EQ(two.family(), QStringLiteral("DejaVu Sans"));
    EXPECT_DOUBLE_EQ(two.pointSizeF(), 8.5);
    EXPECT_TRUE(appearance().GetFont(3).bold());
    EXPECT_DOUBLE_EQ(appearance().GetFont(6).pointSizeF(), 13.5);
    const QFont &five = appearance().GetFont(5);
    EXPECT_EQ(five.family(), QStringLiteral("Liberation Sans"));
    EXPECT_TRUE(five.bold());
    const QFont &eight = appearance().GetFont(8);
    EXPECT_EQ(QFontInfo(eight).family(), QStringLiteral("Liberation Serif"));
    EXPECT_TRUE(eight.italic());
    EXPECT_EQ(QFontInfo(appearance().GetFont(9)).family(), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(Appearance::CreatePointFont(QStringLiteral("Courier New Bold Italic"), 100).family(),
              QStringLiteral("Liberation Mono"));

    // A new size rebuilds fonts 2 and 3 only.
    const double fourBefore = appearance().GetFont(4).pointSizeF();
    appearance().SetFontSize(100);
    EXPECT_DOUBLE_EQ(appearance().GetFont(2).pointSizeF(), 10.0);
    EXPECT_DOUBLE_EQ(appearance().GetFont(3).pointSizeF(), 10.0);
    EXPECT_DOUBLE_EQ(appearance().GetFont(4).pointSizeF(), fourBefore);
    appearance().SetFontSize(300);
    EXPECT_EQ(appearance().fontSize(), 120);
}

TEST_F(AppearanceTest, ViewNamesTipsAndHues)
{
    EXPECT_EQ(Appearance::GetViewName(30004), QStringLiteral("A/R"));
    EXPECT_TRUE(Appearance::GetViewName(29999).isEmpty());
    EXPECT_EQ(Appearance::GetViewTip(30007), QStringLiteral("Schedule Orders and Update Progress (Ctrl+Shift+U)"));
    platform::Settings::writeInt(kView, QStringLiteral("Jobs"), 45);
    EXPECT_EQ(appearance().GetViewHue(30001, false), 120);
    EXPECT_EQ(appearance().GetViewHue(30001, true), 45);
    EXPECT_EQ(appearance().GetViewHue(30005, true), 360);
    EXPECT_EQ(appearance().GetViewHue(12345, true), 210);
    appearance().setViewHueFlag(false);
    EXPECT_EQ(appearance().GetViewHue(30001, true), 120);
    appearance().setViewHueFlag(true);
    appearance().SaveViewSetting(30003, 15);
    EXPECT_EQ(platform::Settings::readInt(kView, QStringLiteral("Customers")), 15);
    EXPECT_EQ(Appearance::GetColorHue(14), 360);
    EXPECT_EQ(Appearance::GetColorHue(-1), 210);
    EXPECT_EQ(Appearance::GetColorHue(9), 30);
}

TEST_F(AppearanceTest, ListBackgroundAndIntensityReachTheColours)
{
    EXPECT_EQ(appearance().GetListManagerBackColor(0x123456), 0x123456u);
    appearance().SetListManagerStyle(1);
    EXPECT_EQ(appearance().GetListManagerBackColor(0x123456), 0xFAFAFAu);
    appearance().SetListManagerStyle(2);
    EXPECT_EQ(appearance().GetListManagerBackColor(0x123456), 0xFFFFFFu);
    EXPECT_EQ(appearance().LoadListManagerStyle(), 2);

    EXPECT_EQ(GetColorIntensity(), 120);
    const ColorRef normal = GetHueShade(210, 3);
    appearance().SetColorIntensity(50);
    EXPECT_EQ(GetColorIntensity(), 50);
    EXPECT_NE(GetHueShade(210, 3), normal); // schemes follow the new intensity
    EXPECT_EQ(platform::Settings::readInt(kView, QStringLiteral("Intensity")), 50);
    appearance().SetColorIntensity(120);
}

TEST_F(AppearanceTest, ThreeImageListsOfTheirSizesWithEveryPictureDrawn)
{
    EXPECT_EQ(appearance().GetImageList(130), nullptr);
    EXPECT_EQ(appearance().GetImageList(134), nullptr);
    const int sizes[] = {18, 32, 64};
    for (unsigned id = 131; id <= 133; ++id) {
        const ImageList *list = appearance().GetImageList(id);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->iconSize(), QSize(sizes[id - 131], sizes[id - 131]));
        for (int i = 0; i < list->imageCount(); ++i) {
            const bool empty = id == 131 && (i == 185 || i == 255); // "none" pictures
            EXPECT_EQ(paintedPixels(list->pixmap(i)) == 0, empty) << id << " image " << i;
        }
        EXPECT_TRUE(list->pixmap(list->imageCount()).isNull());
        EXPECT_TRUE(list->pixmap(-1).isNull());
    }
    // Open and closed folders differ, and a pale picture is lighter.
    const ImageList *small = appearance().GetImageList(131);
    EXPECT_NE(small->pixmap(3).toImage(), small->pixmap(15).toImage());
    QImage plain(18, 18, QImage::Format_ARGB32);
    QImage pale(18, 18, QImage::Format_ARGB32);
    plain.fill(Qt::white);
    pale.fill(Qt::white);
    {
        QPainter a(&plain);
        QPainter b(&pale);
        EXPECT_TRUE(small->draw(a, 200, QPoint(0, 0), false));
        EXPECT_TRUE(small->draw(b, 200, QPoint(0, 0), true));
        EXPECT_FALSE(small->draw(a, 999, QPoint(0, 0), false));
    }
    qint64 plainSum = 0, paleSum = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x) {
            plainSum += qGray(plain.pixel(x, y));
            paleSum += qGray(pale.pixel(x, y));
        }
    EXPECT_GT(paleSum, plainSum);
}
