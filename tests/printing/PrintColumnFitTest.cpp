// The one rule by which printed tables share the page's width, worked by hand.

#include "printing/PrintColumnFit.h"

#include <gtest/gtest.h>

namespace {

struct FitCase
{
    const char *what;
    int room;
    int minText;
    std::vector<PrintColumnFit::Column> columns; // base, need, word need, whole, full need, word minimum
    std::vector<int> widths;
    double scale;
    bool wraps;
};

} // namespace

TEST(PrintColumnFitTest, ColumnsShareThePageWidthByTheirNeeds)
{
    const FitCase cases[] = {
        // Screen widths 300 and 500 on 4800 units: six times as wide each.
        {"the layout's proportions", 4800, 60, {{300, 100, 100, false}, {500, 200, 200, false}}, {1800, 3000}, 1.0,
         false},
        // Asked 100 each; the first needs 160: it lacks 60, the others have
        // 80 and 50 over their needs (130): they give 80 x 60 / 130 = 36.9
        // and 50 x 60 / 130 = 23.1, whole pixels 36 and 23; the last giver
        // takes the pixel the rounding left: 160, 64, 76.
        {"a short column", 300, 60, {{100, 160, 160, true}, {100, 20, 20, false}, {100, 50, 50, true}},
         {160, 64, 76}, 1.0, false},
        // The titles on one line need 400 of 300; at their words 200: the
        // room goes by the layout, 150 each.
        {"titles wrap at their words", 300, 60, {{1, 200, 100, false}, {1, 200, 100, false}}, {150, 150}, 1.0,
         false},
        // Exactly the room: nothing shrinks.
        {"a table as wide as the page", 300, 60, {{1, 100, 100, true}, {1, 200, 200, false}}, {100, 200}, 1.0,
         false},
        // 600 in 480: drawn at 0.8, each need times 0.8.
        {"smaller", 480, 60, {{1, 300, 300, true}, {1, 100, 100, true}, {1, 200, 200, false}}, {240, 80, 160}, 0.8,
         false},
        // 800 in 420 would be 0.525, below the floor of 0.7: the numbers stay
        // whole at 0.7 (140 and 70), the text column takes its minimum
        // 60 x 0.7 = 42 and the 168 left: 210, its texts wrapped.
        {"numbers whole, texts wrapped", 420, 60,
         {{1, 200, 200, true}, {1, 100, 100, true}, {1, 500, 500, false}}, {140, 70, 210}, 0.7, true},
        // The numbers alone (700) and the text's minimum (100) are 800 at
        // full size; at the floor 560, more than 400: drawn at 0.5.
        {"below the floor rather than a number cut", 400, 100,
         {{1, 400, 400, true}, {1, 300, 300, true}, {1, 200, 200, false}}, {200, 150, 50}, 0.5, true},
        // A long text (250 whole, 100 limited) stays on one line while the
        // page has room: asked 200 each, the text lacks 50, the number gives
        // its 150 over 50: 250, 150.
        {"a long text whole", 400, 60, {{1, 100, 100, false, 250}, {1, 50, 50, true}}, {250, 150}, 1.0, false},
        // Whole it would take 300 of 250: limited, the room goes by the layout.
        {"a long text limited", 250, 60, {{1, 100, 100, false, 250}, {1, 50, 50, true}}, {125, 125}, 1.0, false},
        // 1000 in 420, below the floor: the number whole at 0.7 (140); the
        // first text's widest word (190) is its minimum, the second's 60:
        // 133 and 42, and the 105 left go by what each wants over its
        // minimum (10 and 540): 1 and 103; the last text column takes the
        // pixel the rounding left. The word (133 at 0.7) stays whole.
        {"a word never broken", 420, 60,
         {{1, 200, 200, true}, {1, 200, 200, false, 0, 190}, {1, 600, 600, false}}, {140, 134, 146}, 0.7, true},
        // A hidden column takes nothing.
        {"a hidden column", 200, 60, {{0, 100, 100, false}, {1, 50, 50, true}}, {0, 200}, 1.0, false},
    };
    for (const FitCase &c : cases) {
        const PrintColumnFit::Result r = PrintColumnFit::Fit(c.columns, c.room, c.minText);
        EXPECT_EQ(r.widths, c.widths) << c.what;
        EXPECT_NEAR(r.scale, c.scale, 1e-9) << c.what;
        EXPECT_EQ(r.wraps, c.wraps) << c.what;
    }
}

TEST(PrintColumnFitTest, TheWidestOfManyLongTextsIsMeasuredEvenWhenShorterByLetters)
{
    // A "W" five units wide, every other letter two.
    const auto measure = [](const QString &text) {
        int width = 0;
        for (QChar ch : text)
            width += ch == QLatin1Char('W') ? 5 : 2;
        return width;
    };
    std::vector<QString> dates;
    for (int day = 1; day <= 28; ++day)
        for (int month = 1; month <= 12; ++month)
            dates.push_back(QStringLiteral("%1/%2/2010").arg(month, 2, 10, QLatin1Char('0')).arg(day, 2, 10, QLatin1Char('0')));
    // 336 dates of 10 letters: 20 each.
    EXPECT_EQ(PrintColumnFit::WidestText(dates, measure), 20);
    // One day name among them, a letter shorter: 5 + 8 * 2 = 21.
    dates.push_back(QStringLiteral("Wednesday"));
    EXPECT_EQ(PrintColumnFit::WidestText(dates, measure), 21);
    // Many copies of the same date and the day name at the end.
    std::vector<QString> copies(500, QStringLiteral("06/23/2008"));
    copies.push_back(QStringLiteral("Wednesday"));
    EXPECT_EQ(PrintColumnFit::WidestText(copies, measure), 21);
    EXPECT_EQ(PrintColumnFit::WidestText({}, measure), 0);
}

TEST(PrintColumnFitTest, NumbersAmountsPercentagesDatesAndTimesAreNumberTexts)
{
    for (const char *text : {"2,111.84", "-2,005.52", "12/08/2024", "14.25%", "1:30", "999+%", "(12.00)", "0", "1001-2"})
        EXPECT_TRUE(PrintColumnFit::IsNumberText(QString::fromLatin1(text))) << text;
    for (const char *text : {"", "Total", "State 6%", "Plates", "-", "n/a"})
        EXPECT_FALSE(PrintColumnFit::IsNumberText(QString::fromLatin1(text))) << text;
}

TEST(PrintColumnFitTest, TitlesBreakAtTheirBlanksElseInsideACamelCaseWord)
{
    // Ten units a letter.
    const auto measure = [](const QString &text) { return int(text.size()) * 10; };
    struct Case
    {
        const char *title;
        int width;
        const char *lines;
    };
    const Case cases[] = {
        {"QSaleSubtotal", 80, "QSale\nSubtotal"},
        {"QSaleSubtotal", 130, "QSaleSubtotal"},
        {"Net Sale Amount", 80, "Net Sale\nAmount"},
        {"Cost QSaleSubtotal", 100, "Cost QSale\nSubtotal"},
        {"Tax\nName", 100, "Tax\nName"},
        {"ARBalance", 50, "ARBalance"}, // nowhere to break
    };
    for (const Case &c : cases)
        EXPECT_EQ(PrintColumnFit::WrapTitle(QString::fromLatin1(c.title), c.width, measure), QString::fromLatin1(c.lines))
            << c.title;
    EXPECT_EQ(PrintColumnFit::WidestWord(QStringLiteral("QSaleSubtotal"), measure), 80);
    EXPECT_EQ(PrintColumnFit::WidestWord(QStringLiteral("Net Sale Amount"), measure), 60);
}
