#include "PrintFixture.h"

#include "controls/DrawTextFormat.h"

#include <QtGui/QFontMetrics>

namespace {

// Runs one page of kind 154 whose renderer is the test's drawing.
class PrimitivesTest : public PrintTest
{
protected:
    void drawPage(RecordingDevice &device, std::function<void(CPrintForm &, QPainter &, PrintInfo &)> draw)
    {
        form->RegisterRenderer(154, 154, [draw](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
            draw(f, dc, info);
            row = f.m_nRecords;
        });
        form->ResetOptions();
        form->m_nKind = 154;
        form->m_nRecords = 1;
        form->m_form.ClearFields();
        form->m_form.m_FontSize = 100;
        print(device);
    }
    static const RecordingDevice::Text *find(const RecordingDevice &device, const QString &text)
    {
        for (const RecordingDevice::Text &t : device.texts())
            if (t.text == text)
                return &t;
        return nullptr;
    }
};

} // namespace

TEST_F(PrimitivesTest, CellsInsetTheirTextAndMoveRight)
{
    RecordingDevice device(600, 600, 5100, 6600, true);
    struct Result { int left = 0; int afterZero = 0; int afterCells = 0; int pad = 0; int moneyWidth = 0; };
    Result r;
    drawPage(device, [&r](CPrintForm &f, QPainter &dc, PrintInfo &) {
        PrintRect rect(1000, 2000, 5000, 2100);
        r.pad = f.m_nPad;
        EXPECT_EQ(f.DrawTextBox(dc, QStringLiteral("never"), rect, 0, 0x820, nullptr), 0);
        r.afterZero = rect.left;
        f.DrawTextBox(dc, QStringLiteral("Left"), rect, 1000, 0x820, &f.font(CPrint::FontBody));
        f.DrawMoneyBox(dc, Money::fromDouble(1234.5), rect, 1000, 0x822, nullptr);
        f.DrawTextBox(dc, QStringLiteral("Mid"), rect, 1000, 0x821, nullptr);
        r.afterCells = rect.left;
        r.moneyWidth = QFontMetrics(f.font(CPrint::FontBody), dc.device()).horizontalAdvance(QStringLiteral("1234.50"));
    });
    EXPECT_EQ(r.afterZero, 1000);   // a zero width leaves the rect as it was
    EXPECT_EQ(r.afterCells, 4000);
    EXPECT_EQ(find(device, QStringLiteral("never")), nullptr);
    ASSERT_NE(find(device, QStringLiteral("Left")), nullptr);
    EXPECT_EQ(find(device, QStringLiteral("Left"))->position.x(), 1000 + r.pad);
    // A right-aligned amount ends the pad short of its cell's right edge.
    ASSERT_NE(find(device, QStringLiteral("1234.50")), nullptr);
    EXPECT_NEAR(find(device, QStringLiteral("1234.50"))->position.x() + r.moneyWidth, 3000 - r.pad, 2);
}

// The columns of a picture's rows that hold any ink, as [first, last], or
// [-1, -1] for none.
static std::pair<int, int> inkColumns(const QImage &image, int top, int bottom)
{
    std::pair<int, int> ink(-1, -1);
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                ink.first = ink.first < 0 ? x : std::min(ink.first, x);
                ink.second = std::max(ink.second, x);
            }
    return ink;
}

static int lowestInkRow(const QImage &image)
{
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                return y;
    return -1;
}

TEST_F(PrimitivesTest, SingleLinesAreClippedToTheirRectOnlyWhenTooWide)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(60);
    struct Case
    {
        const char *name;
        QString text;
        unsigned format;
        QRect rect;
        int firstInk; // the ink's column range expected, or -1 for "beyond"
        int lastInk;
    };
    const QString wide = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");
    const Case cases[] = {
        {"fits", QStringLiteral("WW"), DT_SINGLELINE, QRect(100, 100, 800, 100), 100, 899},
        {"too wide, left", wide, DT_SINGLELINE, QRect(100, 100, 300, 100), 100, 399},
        {"too wide, right", wide, DT_SINGLELINE | DT_RIGHT, QRect(600, 100, 300, 100), 600, 899},
        {"too wide, centred", wide, DT_SINGLELINE | DT_CENTER | DT_VCENTER, QRect(600, 100, 300, 100), 600, 899},
        {"too wide, other letters", QString(20, QChar(0x0174)), DT_SINGLELINE, QRect(100, 100, 300, 100), 100, 399},
        {"too wide, not clipped", wide, DT_SINGLELINE | DT_NOCLIP, QRect(100, 100, 300, 100), 100, -1},
    };
    for (const Case &c : cases) {
        QImage image(1200, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter dc(&image);
        dc.setFont(font);
        form->DrawText(dc, PrintRect(c.rect.left(), c.rect.top(), c.rect.right() + 1, c.rect.bottom() + 1), c.text, c.format);
        dc.end();
        const auto ink = inkColumns(image, 0, image.height());
        EXPECT_GE(ink.first, c.firstInk) << c.name;
        if (c.lastInk >= 0) {
            EXPECT_LE(ink.second, c.lastInk) << c.name;
            // Clipped text still fills its rect to near the edge it runs over.
            if (c.text == wide)
                EXPECT_GE(ink.second, c.lastInk - 60) << c.name;
        } else {
            EXPECT_GT(ink.second, c.rect.right() + 300) << c.name;
        }
    }

    // A rect lower than the line that the line fits across keeps it whole:
    // the descender below the rect shows.
    QImage image(1200, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter dc(&image);
    dc.setFont(font);
    form->DrawText(dc, PrintRect(100, 100, 1100, 130), QStringLiteral("gypsy"), DT_SINGLELINE);
    dc.end();
    EXPECT_GT(lowestInkRow(image), 130);
}

TEST_F(PrimitivesTest, BoxesFrameAndFillTheirBandsAsTheColoursSay)
{
    struct Case { std::uint32_t fill; bool filledBand; };
    for (const Case c : {Case{0xFFFFFF, false}, Case{0xC08040, true}}) {
        RecordingDevice device(600, 600, 5100, 6600, true);
        drawPage(device, [c](CPrintForm &f, QPainter &dc, PrintInfo &) {
            f.SetColors(c.fill, 0xFFFFFF);
            PrintRect rect(600, 3000, 5000, 3600);
            f.DrawBox(dc, QStringLiteral("Caption"), QStringLiteral("Body text"), rect, 2000, 1, 0x820, nullptr, 0);
            EXPECT_EQ(rect.left, 2600);
            EXPECT_EQ(rect.right, 4600);
            PrintRect note(600, 4000, 5000, 0);
            f.DrawCaptionBox(dc, QStringLiteral("Note"), QStringLiteral("Rush job"), note, 1, 0x810, nullptr, 0x99FFFF);
        });
        bool frame = false;
        bool band = false;
        bool yellow = false;
        for (const RecordingDevice::Shape &s : device.shapes()) {
            if (!s.filled && s.rect.left() == 600 && s.rect.top() == 3000 && s.rect.width() == 2000)
                frame = true;
            if (s.filled && s.rect.top() == 3000 && s.rect.left() == 600)
                band = true;
            if (s.filled && s.rect.top() > 4000 && s.rect.top() < 4300)
                yellow = true;
        }
        EXPECT_TRUE(frame) << c.fill;
        EXPECT_EQ(band, c.filledBand) << c.fill;
        EXPECT_TRUE(yellow);
        EXPECT_NE(find(device, QStringLiteral("Caption")), nullptr);
        EXPECT_NE(find(device, QStringLiteral("Body text")), nullptr);
    }
}

TEST_F(PrimitivesTest, DocumentFooterAndContinuedLineSitInTheBodyColumn)
{
    RecordingDevice device(600, 600, 5100, 6600, true);
    drawPage(device, [](CPrintForm &f, QPainter &dc, PrintInfo &info) {
        f.m_form.m_Footer = QStringLiteral("Thank you for your business");
        f.DrawContinuedLine(dc, 5000);
        f.DrawDocumentFooter(dc, info, 5200, 3);
    });
    EXPECT_NE(find(device, QStringLiteral("continued...")), nullptr);
    EXPECT_NE(find(device, QStringLiteral("Thank you for your business")), nullptr);
    ASSERT_NE(find(device, QStringLiteral("(print# 3)")), nullptr);
    EXPECT_GT(find(device, QStringLiteral("(print# 3)"))->position.y(), 5200);
}
