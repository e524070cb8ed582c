#include "ControlsFixture.h"

#include "controls/ControlMessages.h"
#include "controls/CXBitmap.h"
#include "controls/CXEdit.h"
#include "controls/CXStatic.h"
#include "platform/Clock.h"

#include <QtGui/QPainter>

namespace {

int beeps(const platform::TestResponder &responder)
{
    int count = 0;
    for (const platform::PromptRecord &r : responder.shown())
        count += r.kind == platform::PromptRecord::Kind::Beep;
    return count;
}

} // namespace

using CXEditTest = ControlsTest;

TEST_F(CXEditTest, MoneyFieldCutsExtraDecimalsAndRefusesLetters)
{
    CXEdit edit(host.get());
    edit.show();
    edit.SetType(QStringLiteral("2"), 8);
    EXPECT_EQ(edit.kind(), CXEdit::FixedPoint);
    EXPECT_EQ(edit.scale(), 100);
    edit.SetText(QStringLiteral(" 12.345 "));
    EXPECT_EQ(edit.GetValue(), 1234);
    EXPECT_EQ(edit.text(), QStringLiteral("12.34"));

    edit.clear();
    edit.setFocus();
    QTest::keyClicks(&edit, QStringLiteral("1a.5x"));
    EXPECT_EQ(edit.text(), QStringLiteral("1.5"));
    EXPECT_EQ(beeps(prompts()), 2);
    edit.SetType(QStringLiteral("$"), 8);
    EXPECT_TRUE(edit.acceptsChar(QLatin1Char('-'))); // money has no lower limit
    edit.SetText(QStringLiteral("-3.5"));
    EXPECT_EQ(edit.GetValue(), -350);
    edit.SetValue(0);
    EXPECT_TRUE(edit.text().isEmpty());
}

TEST_F(CXEditTest, WholeNumberLimitsFollowTheDigitCount)
{
    CXEdit edit;
    edit.SetType(QStringLiteral("%2"), 6);
    EXPECT_EQ(edit.kind(), CXEdit::Unsigned);
    EXPECT_EQ(edit.minimum(), 0);
    EXPECT_EQ(edit.maximum(), 99);
    EXPECT_FALSE(edit.acceptsChar(QLatin1Char('-')));
    edit.SetText(QStringLiteral("99"));
    EXPECT_EQ(edit.GetValue(), 99);
    edit.SetText(QStringLiteral("100"));
    EXPECT_EQ(edit.GetValue(), 0);
    EXPECT_TRUE(edit.text().isEmpty());
    EXPECT_EQ(beeps(prompts()), 1);

    edit.SetType(QStringLiteral("%1"), 6);
    EXPECT_EQ(edit.maximum(), 9);
    edit.SetType(QStringLiteral("%5"), 6);
    EXPECT_EQ(edit.maximum(), 255);

    edit.SetType(QStringLiteral("%3"), 7);
    EXPECT_EQ(edit.kind(), CXEdit::Signed);
    EXPECT_EQ(edit.minimum(), -999);
    EXPECT_EQ(edit.maximum(), 999);
    EXPECT_TRUE(edit.acceptsChar(QLatin1Char('-')));
    edit.SetText(QStringLiteral("-999"));
    EXPECT_EQ(edit.GetValue(), -999);
    edit.SetText(QStringLiteral("1000"));
    EXPECT_EQ(edit.GetValue(), 0);

    edit.SetType(QStringLiteral("%8d"), 7);
    edit.SetValue(42);
    EXPECT_EQ(edit.text(), QStringLiteral("42"));

    // A money field holds a 32-bit count of its units; made wide, any amount
    // the currency does, exactly (a price of 99999999 with four decimals is
    // 999999990000 ten-thousandths). Beyond either, and a whole number beyond
    // 32 bits, is refused like any value out of range.
    prompts().clear();
    struct Case
    {
        const char *type;
        bool wide;
        const char *typed;
        qint64 value; // 0: refused
        const char *shown;
    };
    const Case cases[] = {
        {"4", false, "214748.3647", 2147483647, "214748.3647"},
        {"4", false, "214748.3648", 0, ""},
        {"4", false, "99999999", 0, ""},
        {"4", false, "-214748.3649", 0, ""},
        {"4", true, "214748.3648", 2147483648LL, "214748.3648"},
        {"4", true, "99999999", 999999990000LL, "99999999.0000"},
        {"4", true, "922337203685477.5807", INT64_MAX, "922337203685477.5807"},
        {"4", true, "-922337203685477.5807", -INT64_MAX, "-922337203685477.5807"},
        {"4", true, "922337203685477.5808", 0, ""},
        {"4", true, "-922337203685477.5808", 0, ""},
        {"4", true, "99999999999999999999", 0, ""},
        {"$", true, "21474836.48", 2147483648LL, "21474836.48"},
        {"$", true, "922337203685477.58", 92233720368547758LL, "922337203685477.58"},
        {"$", true, "922337203685477.59", 0, ""},
        {"$", true, "-0.05", -5, "-0.05"},
        {"%d", true, "2147483648", 0, ""},
    };
    int refused = 0;
    for (const Case &c : cases) {
        edit.SetType(QString::fromLatin1(c.type), c.type[0] == '%' ? 7 : 8);
        if (c.wide)
            edit.SetWide();
        edit.SetText(QString::fromLatin1(c.typed));
        EXPECT_EQ(edit.GetValue(), c.value) << c.type << ' ' << c.typed;
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.shown)) << c.type << ' ' << c.typed;
        EXPECT_EQ(edit.refused(), c.value == 0) << c.type << ' ' << c.typed;
        refused += c.value == 0 ? 1 : 0;
    }
    EXPECT_EQ(beeps(prompts()), refused);
}

TEST_F(CXEditTest, TimeFieldHoldsMinutes)
{
    CXEdit edit;
    edit.SetType(QStringLiteral(":"), 5);
    EXPECT_EQ(edit.kind(), CXEdit::Time);
    edit.SetText(QStringLiteral("1:30"));
    EXPECT_EQ(edit.GetValue(), 90);
    EXPECT_EQ(edit.text(), QStringLiteral("1:30"));
    edit.SetText(QStringLiteral("2"));
    EXPECT_EQ(edit.GetValue(), 120);
    edit.SetValue(0);
    EXPECT_TRUE(edit.text().isEmpty());
    EXPECT_EQ(edit.FormatNumber(0), QStringLiteral("0:00"));
    EXPECT_TRUE(edit.acceptsChar(QLatin1Char(':')));
    EXPECT_FALSE(edit.acceptsChar(QLatin1Char('/')));
}

TEST_F(CXEditTest, EmptyDateFieldOffersTodayWithTheDaySelected)
{
    platform::Clock::setFixed(QDateTime(QDate(2026, 3, 7), QTime(9, 0)));
    auto *date = new CXEdit(host.get());
    auto *other = new CXEdit(host.get());
    date->SetType(QStringLiteral("/"), 4);
    date->show();
    other->show();
    other->setFocus();
    QApplication::processEvents();
    date->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(date->hasFocus());
    EXPECT_EQ(date->text(), QStringLiteral("03/07/26"));
    EXPECT_EQ(date->selectedText(), QStringLiteral("07"));

    // A date already typed is left alone when the field is entered again.
    date->setText(QStringLiteral("12/24/25"));
    other->setFocus();
    QApplication::processEvents();
    date->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(date->text(), QStringLiteral("12/24/25"));
    EXPECT_TRUE(date->acceptsChar(QLatin1Char('/')));
    EXPECT_FALSE(date->acceptsChar(QLatin1Char(':')));
}

TEST_F(CXEditTest, SpinStaysWithinItsRange)
{
    CXEdit edit;
    edit.setText(QStringLiteral("32766"));
    edit.Spin(SB_LINEUP);
    EXPECT_EQ(edit.text(), QStringLiteral("32767"));
    edit.Spin(SB_LINEUP);
    EXPECT_EQ(edit.text(), QStringLiteral("32767"));
    EXPECT_EQ(beeps(prompts()), 1);
    edit.setText(QStringLiteral("-32766"));
    edit.Spin(SB_LINEDOWN);
    EXPECT_EQ(edit.text(), QStringLiteral("-32766"));
    edit.setText(QStringLiteral("5"));
    edit.Spin(SB_LINEDOWN);
    EXPECT_EQ(edit.text(), QStringLiteral("4"));
}

TEST_F(CXEditTest, PlainFieldTakesAnyText)
{
    CXEdit edit(host.get());
    edit.show();
    edit.setFocus();
    QTest::keyClicks(&edit, QStringLiteral("Job #12-b"));
    EXPECT_EQ(edit.text(), QStringLiteral("Job #12-b"));
    EXPECT_EQ(beeps(prompts()), 0);
}

TEST_F(CXEditTest, ColouredStaticIsKnownByItsClass)
{
    CXStatic label(host.get());
    QLabel plain(host.get());
    EXPECT_TRUE(CXStatic::IsXStatic(&label));
    EXPECT_FALSE(CXStatic::IsXStatic(&plain));
    EXPECT_EQ(label.backColor(), GetSystemColor(SysColorButtonFace));
    label.SetColors(0x0000FF, 0xFFFFFF, true);
    EXPECT_EQ(label.palette().color(QPalette::Window), QColor(Qt::red));
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::white));
    label.SetTextColor(0x00FF00, false);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::green));
}

TEST_F(CXEditTest, PrintedBitmapKeepsItsScreenSizeUnlessTooBig)
{
    QImage picture(96, 48, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    CXBitmap bitmap(picture);
    // A page at 600 dots per inch.
    QImage page(2000, 2000, QImage::Format_RGB32);
    page.setDotsPerMeterX(int(600 / 0.0254 + 0.5));
    page.setDotsPerMeterY(int(600 / 0.0254 + 0.5));
    page.fill(Qt::white);
    QPainter painter(&page);
    const QRect natural = bitmap.PrintDIB(painter, QRect(0, 0, 2000, 2000), 0, 96);
    EXPECT_EQ(natural.size(), QSize(600, 300)); // one inch wide, as on the screen
    const QRect fitted = bitmap.PrintDIB(painter, QRect(0, 0, 300, 1000), 1 | 4, 96);
    EXPECT_EQ(fitted.size(), QSize(300, 150));
    EXPECT_EQ(fitted.topLeft(), QPoint(0, 425)); // centred in the spare height
    // A source resolution carried in the format.
    const QRect sharp = bitmap.PrintDIB(painter, QRect(0, 0, 2000, 2000), 0x7FFFFFFFu + 192, 96);
    EXPECT_EQ(sharp.size(), QSize(300, 150));
    painter.end();
    EXPECT_EQ(CXBitmap().PrintDIB(painter, QRect(0, 0, 10, 10), 0), QRect());

    const QByteArray dib = bitmap.DDBToDIB();
    ASSERT_GE(dib.size(), 40);
    const auto *header = reinterpret_cast<const unsigned char *>(dib.constData());
    EXPECT_EQ(header[0] | header[1] << 8, 40);
    EXPECT_EQ(header[4] | header[5] << 8, 96);
    EXPECT_EQ(header[8] | header[9] << 8, 48);
    EXPECT_TRUE(CXBitmap().DDBToDIB().isEmpty());
}
