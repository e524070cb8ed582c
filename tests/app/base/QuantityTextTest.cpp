#include "app/base/QuantityText.h"

#include <gtest/gtest.h>

#include <climits>

TEST(Durations, MinutesToText)
{
    EXPECT_EQ(MinutesToText(5), "0:05");
    EXPECT_EQ(MinutesToText(60), "1:00");
    EXPECT_EQ(MinutesToText(-90), "-1:30");
    EXPECT_EQ(MinutesToText(-5), "-0:05");
    EXPECT_EQ(MinutesToText(INT_MIN), "-35791394:08");
    QString out;
    FormatMinutes(6000, out);
    EXPECT_EQ(out, "100:00");
}

struct DurationCase
{
    const char *text;
    int minutes;
};

void PrintTo(const DurationCase &c, std::ostream *os)
{
    *os << '"' << c.text << "\" = " << c.minutes << " min";
}


class ParseDurationTest : public ::testing::TestWithParam<DurationCase> {};

TEST_P(ParseDurationTest, ReadsHoursAndTwoMinuteCharacters)
{
    EXPECT_EQ(HoursMinutesToInt(QString::fromLatin1(GetParam().text)), GetParam().minutes);
}

INSTANTIATE_TEST_SUITE_P(Durations, ParseDurationTest, ::testing::Values(
    DurationCase{"1:30", 90}, DurationCase{"1:5", 110}, DurationCase{"1.5", 110},
    DurationCase{"2:", 120}, DurationCase{":45", 45}, DurationCase{"3", 180},
    DurationCase{"", 0}, DurationCase{"0:07", 7}, DurationCase{"abc", 0},
    DurationCase{"1:30pm", 90}, DurationCase{" 2:15", 135}));

TEST(NumbersOrMinutes, GroupedCountsAndDurations)
{
    EXPECT_EQ(FormatNumberOrMinutes(0, true, QStringLiteral("n/a")), "n/a");
    EXPECT_EQ(FormatNumberOrMinutes(1000, true, QString()), "1,000");
    EXPECT_EQ(FormatNumberOrMinutes(-1000, true, QString()), "-1,000");
    EXPECT_EQ(FormatNumberOrMinutes(-100, true, QString()), "-100");
    EXPECT_EQ(FormatNumberOrMinutes(-123456, true, QString()), "-123,456");
    EXPECT_EQ(FormatNumberOrMinutes(90, false, QString()), "1:30");

    EXPECT_EQ(FormatCountWithUnit(1, QStringLiteral("Box"), QStringLiteral("Boxes")), "1 Box");
    EXPECT_EQ(FormatCountWithUnit(0, QStringLiteral("Box"), QStringLiteral("Boxes")), "0 Boxes");
    EXPECT_EQ(FormatCountWithUnit(1250, QStringLiteral("Box"), QStringLiteral("Boxes")), "1,250 Boxes");
}

TEST(Sizes, FormatAndParse)
{
    EXPECT_EQ(FormatSize(8.5f, 11.0f), "8.5 x 11");
    EXPECT_EQ(FormatSize(0.0f, 0.0f), "");
    EXPECT_EQ(FormatSize(-1.0f, 5.0f), "5");
    EXPECT_EQ(FormatSize(12.25f, 0.0f), "12.25");

    // Parsed sizes shown as "w,h", so each case fits one line.
    const auto parsed = [](const char *text) {
        float w = -1, h = -1;
        ParseSize(QString::fromLatin1(text), w, h);
        return QString::asprintf("%g,%g", double(w), double(h));
    };
    EXPECT_EQ(parsed("8.5 X 11"), "8.5,11");
    EXPECT_EQ(parsed("12"), "12,0");
    EXPECT_EQ(parsed(" 5.5in x 8.5in"), "5.5,8.5");
    EXPECT_EQ(parsed("2X3x4"), "2,4"); // the lower-case "x" is looked for first
    EXPECT_EQ(parsed("abc x 1e1"), "0,10");
}

TEST(Calendar, DaysInMonth)
{
    EXPECT_EQ(GetDaysInMonth(2, 2100), 29); // every fourth year, no century rule
    EXPECT_EQ(GetDaysInMonth(2, 2011), 28);
    EXPECT_EQ(GetDaysInMonth(2, 2012), 29);
    EXPECT_EQ(GetDaysInMonth(4, 2011), 30);
    EXPECT_EQ(GetDaysInMonth(13, 2011), 30);
}

// The refusals of a count or an amount past the largest the program holds,
// worked by hand: an amount shows its cents rounded up as costs are, and a
// figure beyond 64 bits says only that it passes.
TEST(LargestFigures, RefusalsNameTheFigureAndTheBound)
{
    EXPECT_EQ(TooLargeCountText(QStringLiteral("Quantity")),
              QStringLiteral("\"Quantity\" cannot be more than 1,000,000,000, the largest count it holds."));
    EXPECT_TRUE(IsWithinLargestCount(1000000000));
    EXPECT_FALSE(IsWithinLargestCount(1000000001));
    EXPECT_FALSE(IsWithinLargestCount(-1000000001));
    const struct
    {
        std::int64_t value;
        bool amount;
        bool past;
        const char *text;
    } rows[] = {
        {1000000002, false, false, "the X would be 1,000,000,002, more than 1,000,000,000, the largest count the "
                                   "program holds."},
        {0, false, true, "the X would be more than 1,000,000,000, the largest count the program holds."},
        // 18,447 minutes at 100,000,000,000.00 an hour.
        {307450000000000000LL, true, false, "the X would be 30,745,000,000,000.00, more than 100,000,000,000.00, "
                                            "the largest amount the program holds."},
        // 61 minutes at the same rate: ...666.6666 rounds up to ...666.67.
        {1016666666666666LL, true, false, "the X would be 101,666,666,666.67, more than 100,000,000,000.00, the "
                                          "largest amount the program holds."},
        {1000000000000001LL, true, false, "the X would be 100,000,000,000.01, more than 100,000,000,000.00, the "
                                          "largest amount the program holds."},
        {0, true, true, "the X would be more than 100,000,000,000.00, the largest amount the program holds."},
        {-1000000000000100LL, true, false, "the X would be -100,000,000,000.01, less than -100,000,000,000.00, the "
                                           "largest amount the program holds."},
    };
    for (const auto &row : rows)
        EXPECT_EQ(PastLargestFigureText(QStringLiteral("X"), row.value, row.amount, row.past), QString::fromLatin1(row.text));
}
