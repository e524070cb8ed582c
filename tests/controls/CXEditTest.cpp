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

TEST_F(CXEditTest, MoneyFieldKeepsWhatIsTypedOrRefusesItNamingTheField)
{
    CXEdit edit(host.get());
    edit.show();
    edit.SetFieldName(QStringLiteral("Price"));
    edit.SetType(QStringLiteral("2"), 8);
    EXPECT_EQ(edit.kind(), CXEdit::FixedPoint);
    EXPECT_EQ(edit.scale(), 100);
    edit.SetText(QStringLiteral(" 1,234.5 "));
    EXPECT_EQ(edit.GetValue(), 123450);
    EXPECT_EQ(edit.text(), QStringLiteral("1234.50"));
    // More decimals than the field keeps: refused, the old value kept (not cut to 12.34).
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(edit.SetText(QStringLiteral(" 12.345 ")));
    EXPECT_EQ(edit.GetValue(), 123450);
    EXPECT_EQ(edit.text(), QStringLiteral("1234.50"));
    EXPECT_EQ(prompts().texts(),
              QStringList{QStringLiteral("Price: Please enter a number with at most 2 decimals.")});
    EXPECT_TRUE(edit.SetText(QStringLiteral("12.340")));
    EXPECT_EQ(edit.GetValue(), 1234);

    // Every key shows as typed, letters too, without a beep; the whole text
    // is then refused (not read as the 1.5 of its digits).
    edit.clear();
    edit.setFocus();
    QTest::keyClicks(&edit, QStringLiteral("1a.5x"));
    EXPECT_EQ(edit.text(), QStringLiteral("1a.5x"));
    EXPECT_EQ(beeps(prompts()), 0);
    prompts().clear();
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(edit.SetText(edit.text()));
    EXPECT_EQ(edit.GetValue(), 1234);
    EXPECT_EQ(edit.text(), QStringLiteral("12.34"));
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Price: Please enter a number.")});
    edit.SetType(QStringLiteral("$"), 8);
    edit.SetText(QStringLiteral("-3.5"));
    EXPECT_EQ(edit.GetValue(), -350);
    prompts().clear();
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(edit.SetText(QStringLiteral("3.5.1")));
    EXPECT_EQ(edit.GetValue(), -350);
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Price: Please enter a currency.")});
    edit.SetValue(0);
    EXPECT_TRUE(edit.text().isEmpty());

    // Each refusal says what the field takes: an amount in brackets is no
    // number of a four-decimal field, a sign none of a count from 0.
    const struct
    {
        const char *type;
        int percentKind;
        bool notNegative;
        const char *typed;
        const char *message;
    } refusals[] = {
        {"4", 8, false, "(5.00)", "Price: Please enter a number."},
        {"4", 8, false, "5.00001", "Price: Please enter a number with at most 4 decimals."},
        {"4", 8, true, "-5", "Price: Please enter a number of 0 or more."},
        {"%3d", 6, false, "-5", "Price: Please enter a number of 0 or more."},
        {"%3d", 6, false, "256", "Price: Please enter a number from 0 to 255."},
        {"%7d", 7, true, "-1", "Price: Please enter a number of 0 or more."},
        {":", 5, false, "1e3", "Price: Please enter a time from 0:00 to 416:40."},
    };
    for (const auto &r : refusals) {
        SCOPED_TRACE(r.typed);
        edit.SetType(QString::fromLatin1(r.type), r.percentKind);
        if (r.notNegative)
            edit.SetNotNegative();
        prompts().clear();
        prompts().answer(platform::IDOK);
        EXPECT_FALSE(edit.SetText(QString::fromLatin1(r.typed)));
        EXPECT_EQ(prompts().texts(), QStringList{QString::fromLatin1(r.message)});
    }
}

// Typed values and what a field of each kind keeps of them: the value, or
// "refused" (the old value, 7, stays and the message names the field).
struct TypedCase
{
    const char *type;
    int percentKind;
    const char *typed;
    bool reads;
    int kept;
};

void PrintTo(const TypedCase &c, std::ostream *os)
{
    *os << c.type << " \"" << c.typed << '"';
}

class CXEditTypedTest : public ControlsTest, public ::testing::WithParamInterface<TypedCase>
{
};

TEST_P(CXEditTypedTest, KeepsTheWholeTextOrRefusesIt)
{
    const TypedCase &c = GetParam();
    CXEdit edit(host.get());
    edit.show();
    edit.SetFieldName(QStringLiteral("Qty"));
    edit.SetType(QString::fromLatin1(c.type), c.percentKind);
    edit.SetValue(7);
    const QString shownBefore = edit.text();
    // Typed key by key over the value: every key shows as typed, none is
    // dropped or beeped at.
    edit.setFocus();
    edit.selectAll();
    QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
    if (!*c.typed)
        QTest::keyClick(&edit, Qt::Key_Delete); // the field emptied
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.typed));
    EXPECT_TRUE(prompts().shown().isEmpty());
    prompts().answer(platform::IDOK);
    const bool kept = edit.SetText(edit.text());
    if (!c.reads) {
        EXPECT_FALSE(kept);
        EXPECT_EQ(edit.GetValue(), 7);
        EXPECT_EQ(edit.text(), shownBefore); // the value shown before the typing is back
        ASSERT_EQ(prompts().texts().size(), 1);
        EXPECT_TRUE(prompts().texts().first().startsWith(QStringLiteral("Qty: "))) << prompts().texts().first().toStdString();
    } else {
        EXPECT_TRUE(kept);
        EXPECT_EQ(edit.GetValue(), c.kept);
        EXPECT_TRUE(prompts().texts().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, CXEditTypedTest, ::testing::Values(
    // whole numbers: thousands grouped, an exponent that leaves a whole number
    TypedCase{"%d", 7, "1,000", true, 1000}, TypedCase{"%d", 7, "1e3", true, 1000}, TypedCase{"%d", 7, "12abc", false, 0},
    TypedCase{"%d", 7, "1,00", false, 0}, TypedCase{"%d", 7, "1.5", false, 0}, TypedCase{"%d", 7, "-1,250", true, -1250},
    TypedCase{"%d", 7, "2147483647", true, 2147483647}, TypedCase{"%d", 7, "2147483648", false, 0},
    TypedCase{"%d", 7, "", true, 0},
    // limits of the digits
    TypedCase{"%2", 6, "99", true, 99}, TypedCase{"%2", 6, "100", false, 0}, TypedCase{"%3", 7, "-999", true, -999},
    TypedCase{"%3", 7, "1000", false, 0},
    // fixed point
    TypedCase{"4", 8, "214748.3647", true, 2147483647}, TypedCase{"4", 8, "99999999", false, 0},
    TypedCase{"4", 8, "-214748.3649", false, 0}, TypedCase{"1", 8, "2.50", true, 25}, TypedCase{"1", 8, "2.55", false, 0},
    // times: h:mm with minutes below 60, or hours
    TypedCase{":", 5, "1:30", true, 90}, TypedCase{":", 5, "2", true, 120}, TypedCase{":", 5, "1:60", false, 0},
    TypedCase{":", 5, "1:5", false, 0}, TypedCase{":", 5, "1:30pm", false, 0}, TypedCase{":", 5, "25:00", true, 1500},
    // what a filter of keys used to make of a text: "2.5" is no whole
    // number (not 25), "1e3" a thousand (not 13), "(5.00)" no amount (not
    // 5.00), "-5" no count of a column that is never negative (not 5)
    TypedCase{"%8d", 7, "2.5", false, 0}, TypedCase{"%7d", 7, "1e3", true, 1000}, TypedCase{"%8d", 7, "-5", true, -5},
    TypedCase{"%3d", 6, "-5", false, 0}, TypedCase{"%3d", 6, "2.5", false, 0}, TypedCase{"%3d", 6, "1e2", true, 100},
    TypedCase{"$", 8, "(5.00)", false, 0}, TypedCase{"$", 8, "1e3", true, 100000}, TypedCase{"$", 8, "-5", true, -500},
    TypedCase{"$", 8, "12.345", false, 0}, TypedCase{"4", 8, "1e3", true, 10000000}, TypedCase{"4", 8, "(5.00)", false, 0},
    TypedCase{"2", 8, "5.001", false, 0}, TypedCase{":", 5, "1e3", false, 0}, TypedCase{":", 5, "-5", false, 0},
    TypedCase{":", 5, "2.5", false, 0}));

// A money field made wide holds, past 32 bits, any amount the program takes:
// up to 100,000,000,000 either way (a price of
// 99999999 with four decimals is 999999990000 ten-thousandths); one unit past
// it, and a whole number beyond 32 bits, is refused and the old value (7)
// stays.
TEST_F(CXEditTest, AWideMoneyFieldHoldsAnyAmountOfTheCurrency)
{
    struct Case
    {
        const char *type;
        const char *typed;
        qint64 value; // 7: refused
    };
    const Case cases[] = {
        {"4", "214748.3648", 2147483648LL},
        {"4", "99999999", 999999990000LL},
        {"4", "100000000000.0000", 1000000000000000LL},
        {"4", "-100,000,000,000", -1000000000000000LL},
        {"4", "100000000000.0001", 7},
        {"4", "-100000000000.0001", 7},
        {"4", "99999999999999.9999", 7},
        {"4", "-0099999999999999.9999", 7},
        {"4", "922337203685477.5807", 7},
        {"4", "100000000000000", 7},
        {"4", "922337203685477.5808", 7},
        {"4", "-922337203685477.5808", 7},
        {"4", "99999999999999999999", 7},
        {"$", "21474836.48", 2147483648LL},
        {"$", "100,000,000,000.00", 10000000000000LL},
        {"$", "100000000000.01", 7},
        {"$", "922337203685477.58", 7},
        {"$", "922337203685477.59", 7},
        {"$", "-0.05", -5},
        {"%d", "2147483648", 7},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.typed);
        CXEdit edit;
        edit.SetFieldName(QStringLiteral("Price"));
        edit.SetType(QString::fromLatin1(c.type), c.type[0] == '%' ? 7 : 8);
        if (c.type[0] != '%')
            edit.SetWide();
        edit.SetValue(7);
        prompts().clear();
        prompts().answer(platform::IDOK);
        edit.SetText(QString::fromLatin1(c.typed));
        EXPECT_EQ(edit.GetValue(), c.value);
        EXPECT_EQ(edit.refused(), c.value == 7);
        EXPECT_EQ(prompts().texts().size(), c.value == 7 ? 1 : 0);
        while (prompts().pendingAnswers() > 0)
            prompts().takeAnswer(platform::PromptRecord());
    }
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
    // Its range is that of a duration: from no time at all.
    EXPECT_EQ(edit.minimum(), 0);
    EXPECT_EQ(edit.FormatNumber(edit.minimum()), QStringLiteral("0:00"));
    // Past its largest time the refusal gives the range of times it holds.
    edit.SetFieldName(QStringLiteral("Actual Time"));
    edit.SetValue(90);
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(edit.SetText(QStringLiteral("416:41")));
    EXPECT_EQ(edit.GetValue(), 90);
    EXPECT_EQ(prompts().texts(),
              QStringList{QStringLiteral("Actual Time: Please enter a time from 0:00 to 416:40.")});
    EXPECT_TRUE(edit.SetText(QStringLiteral("416:40")));
    EXPECT_EQ(edit.GetValue(), 25000);
}

// A typed column given a range keeps a value within it and refuses one
// outside naming the column: a tax rate of four decimals from 0 to 100 %.
TEST_F(CXEditTest, ARangeGivenRefusesWhatLiesOutsideIt)
{
    const struct
    {
        const char *typed;
        qint64 value; // 7: refused
    } rows[] = {{"100", 1000000}, {"0", 0}, {"8.25", 82500}, {"100.0001", 7}, {"101", 7}, {"-5", 7},
                {"-0.0001", 7}, {"1e3", 7}, {"1e1", 100000}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.typed);
        CXEdit edit;
        edit.SetFieldName(QStringLiteral("Rate (%)"));
        edit.SetType(QStringLiteral("4"), 8);
        edit.SetRange(0, 1000000);
        edit.SetValue(7);
        prompts().clear();
        prompts().answer(platform::IDOK);
        edit.SetText(QString::fromLatin1(row.typed));
        EXPECT_EQ(edit.GetValue(), row.value);
        EXPECT_EQ(prompts().texts(),
                  row.value == 7
                      ? QStringList{QStringLiteral("Rate (%): Please enter a number from 0.0000 to 100.0000.")}
                      : QStringList());
        while (prompts().pendingAnswers() > 0)
            prompts().takeAnswer(platform::PromptRecord());
    }
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
