// The one rule by which printed tables share the page's width, worked by hand.

#include "printing/PrintColumnFit.h"

#include <gtest/gtest.h>

namespace {

struct FitCase
{
    const char *what;
    int room;
    int minText;
    std::vector<PrintColumnFit::Column> columns; // base, need, word need, whole, full need, word minimum, title word
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
        // 100 in thirds: 33 each, the last takes the pixel left.
        {"the rounding's pixel to the last column", 100, 60, {{1, 10, 10, false}, {1, 10, 10, false}, {1, 10, 10, false}},
         {33, 33, 34}, 1.0, false},
        // The long text whole needs exactly the room: whole it is (250), the
        // number its 50.
        {"a long text whole in exactly the room", 300, 60, {{1, 100, 100, false, 250}, {1, 50, 50, true}}, {250, 50},
         1.0, false},
        // Whole texts 450 of 300; the titles on one line exactly 300: on one
        // line they are, 100 and 200 (at their words the second would have
        // needed only 150 and kept its 150 by the layout).
        {"titles on one line in exactly the room", 300, 60, {{1, 100, 100, false, 250}, {1, 200, 150, true}},
         {100, 200}, 1.0, false},
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
        // Whole titles need 600, their words 400, the room 320: drawn at
        // 320 / 400 = 0.8 by the word needs, 300 x 0.8 = 240 and 100 x 0.8 =
        // 80 (by the whole titles it would be 0.53, below the floor).
        {"smaller by the words' needs", 320, 60, {{1, 400, 300, true}, {1, 200, 100, false}}, {240, 80}, 0.8,
         false},
        // 490 of 700 is the floor itself, 0.7: drawn smaller, nothing wraps.
        {"smaller down to the floor", 490, 60, {{1, 300, 300, true}, {1, 400, 400, false}}, {210, 280}, 0.7, false},
        // 800 in 420 would be 0.525, below the floor of 0.7: the numbers stay
        // whole at 0.7 (140 and 70), the text column takes its minimum
        // 60 x 0.7 = 42 and the 168 left: 210, its texts wrapped.
        {"numbers whole, texts wrapped", 420, 60,
         {{1, 200, 200, true}, {1, 100, 100, true}, {1, 500, 500, false}}, {140, 70, 210}, 0.7, true},
        // At the floor a number of 90 is 63 (0.7 x 90 is a hair under 63 in
        // binary): the text keeps its minimum 42 and the 195 left, 237.
        {"a number whole at the floor", 300, 60, {{1, 90, 90, true}, {1, 500, 500, false}}, {63, 237}, 0.7, true},
        // A text column narrower than the minimum keeps its own need (40):
        // 600 + 60 + 40 = 700 at 0.7 is 490 of 500; the 10 left go to the
        // text with room to wrap into (400 over its 60), not the last.
        {"a narrow text keeps its need", 500, 60,
         {{1, 600, 600, true}, {1, 400, 400, false}, {1, 40, 40, false}}, {420, 52, 28}, 0.7, true},
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
        // A word of 1000 (200 letters without a blank) would take the table
        // to 430 / 1260 = 0.34. At the floor the page holds 430 / 0.7 =
        // 614.3: the number's 200 and the other text's 60 leave the word 354
        // (614 in all, 429.8 at 0.7). Drawn at the floor: 140, 354 x 0.7 =
        // 247.8 is 247, 42; the pixel the rounding left to the last text.
        {"a word broken rather than the table below the floor", 430, 60,
         {{1, 200, 200, true}, {1, 1000, 1000, false, 0, 1000}, {1, 600, 600, false}}, {140, 247, 43}, 0.7, true},
        // The same in 420: 600 at the floor is exactly the room, the word
        // keeps 340 (238 at 0.7), nothing left over.
        {"a broken word keeps exactly what the page holds", 420, 60,
         {{1, 200, 200, true}, {1, 1000, 1000, false, 0, 1000}, {1, 600, 600, false}}, {140, 238, 42}, 0.7, true},
        // Words of 1000, 500 and 100 in 428 (611.4 at the floor): the 100
        // stays whole, the two widest give up to one width, (611 - 100) / 2
        // = 255: 178.5 is 178 each, 70 and the 2 left to the last text.
        {"the widest words give up their width first", 428, 60,
         {{1, 1000, 1000, false, 0, 1000}, {1, 500, 500, false, 0, 500}, {1, 100, 100, false, 0, 100}},
         {178, 178, 72}, 0.7, true},
        // The number (500 x 0.7 = 350) fills the room alone: drawn below the
        // floor anyway, the word is not broken: 350 / 1500 = 0.2333, the
        // number 116.7 is 116, the word 1000 x 0.2333 = 233.3 and the pixel
        // the rounding left, 234.
        {"below the floor by the numbers, a word whole", 350, 60,
         {{1, 500, 500, true}, {1, 1000, 1000, false, 0, 1000}}, {116, 234}, 350.0 / 1500, true},
        // The number (400, 280 at the floor) leaves 20 beside it, less than
        // the two texts at their narrowest (60 each, 84 at the floor): the
        // table is drawn as small as 400 + 60 + 60 = 520 takes, 300 / 520,
        // the word broken all the same (not 300 / 1460 with it whole): the
        // number 230.8 is 230, each text 34.6 is 34, the 2 the rounding
        // left to the last.
        {"below the floor by the narrowest texts, a word broken", 300, 60,
         {{1, 400, 400, true}, {1, 1000, 1000, false, 0, 1000}, {1, 300, 300, false}}, {230, 34, 36},
         300.0 / 520, true},
        // The same with a title of a word of 100 over the last text: the
        // title's word stays whole, 400 + 60 + 100 = 560: 300 / 560, the
        // number 214.3 is 214, the word 32.1 is 32, the title's column 53.6
        // is 53 and the pixel left, 54.
        {"below the floor, a title's word whole", 300, 60,
         {{1, 400, 400, true}, {1, 1000, 1000, false, 0, 1000}, {1, 300, 300, false, 0, 100, 100}}, {214, 32, 54},
         300.0 / 560, true},
        // Thirteen columns: an e-mail address of one word (400), a name
        // that wraps (300, its widest word 100), six columns with no value at
        // all, each as wide as its heading's word (50, none broken), five
        // numbers of 100. 1500 in 910 would be 0.61, below the floor: at 0.7
        // the numbers take 500, the address its whole word 400, the name its
        // word 100 and the empty ones their titles' 300: 1300 x 0.7 is
        // exactly the room. Drawn at the floor: the address whole at 280,
        // the name 70, the empty ones 35, the numbers 70, nothing left over.
        {"an address whole beside empty columns at the floor", 910, 60,
         {{4, 400, 400, false, 0, 400}, {3, 300, 300, false, 0, 100}, {1, 50, 50, false, 0, 50, 50},
          {1, 50, 50, false, 0, 50, 50}, {1, 50, 50, false, 0, 50, 50}, {1, 50, 50, false, 0, 50, 50},
          {1, 50, 50, false, 0, 50, 50}, {1, 50, 50, false, 0, 50, 50}, {1, 100, 100, true}, {1, 100, 100, true},
          {1, 100, 100, true}, {1, 100, 100, true}, {1, 100, 100, true}},
         {280, 70, 35, 35, 35, 35, 35, 35, 70, 70, 70, 70, 70}, 0.7, true},
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

TEST(PrintColumnFitTest, TheWidestTextIsToldByItsLettersAndOnlyTheWidestToldAreMeasured)
{
    // A W is six times as wide as an i.
    const auto measure = [](const QString &text) {
        int width = 0;
        for (const QChar c : text)
            width += c == QLatin1Char('W') ? 30 : 5;
        return width;
    };
    struct Case
    {
        std::vector<QString> texts;
        int widest;
    };
    const Case cases[] = {
        // Two letters shorter and four times as wide.
        {{QStringLiteral("iiiiii"), QStringLiteral("WWWW")}, 120},
        // Three letters shorter: still measured.
        {{QStringLiteral("iiiiii"), QStringLiteral("WWW")}, 90},
        // Four letters shorter and still the widest: told by its letters.
        {{QStringLiteral("iiiiii"), QStringLiteral("WW")}, 60},
        // Ten letters shorter: 30 against 5 * 11 = 55.
        {{QStringLiteral("iiiiiiiiiii"), QStringLiteral("W")}, 55},
        {{QStringLiteral("WW"), QStringLiteral(""), QStringLiteral("iii")}, 60},
        {{}, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PrintColumnFit::WidestText(c.texts, measure), c.widest) << c.texts.size();

    // Many long texts: every different one within three letters of the longest
    // is measured, not only the first few.
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

    // Kerned pairs: a whole text measures less than its letters. The widest
    // is the widest measured whole, among those told near it.
    {
        int calls = 0;
        // Letters 10 each; "AV" kerned by 6 ("AVAV" 28, "ABCD" 40).
        const auto measure = [&calls](const QString &text) {
            ++calls;
            return int(text.size()) * 10 - 6 * int(text.count(QStringLiteral("AV")));
        };
        EXPECT_EQ(PrintColumnFit::WidestText({QStringLiteral("AVAV"), QStringLiteral("ABC")}, measure), 30);
        EXPECT_EQ(PrintColumnFit::WidestText({QStringLiteral("AVAVAVAVAVAVAVAVAVAV"), QStringLiteral("ABCDEFGHIJKLMNOPQR")}, measure), 180);
        // A million different texts of the same letters' width: the letters
        // are measured once each, and a few hundred of the texts whole, not a
        // million; the widest counts as wide as they are told (one of them
        // is kerned: 200 - 6).
        std::vector<QString> many;
        many.reserve(1000000);
        for (int n = 0; n < 1000000; ++n)
            many.push_back(QStringLiteral("Customer %1").arg(n, 11, 10, QLatin1Char('0')));
        many[777777] = QStringLiteral("AVstomer 00000777777");
        calls = 0;
        EXPECT_EQ(PrintColumnFit::WidestText(many, measure), 200);
        EXPECT_LE(calls, 1 + 12 + 16 + 256);
        // A text of joined letters is measured whole.
        calls = 0;
        const QString arabic = QString::fromUtf8("\u0645\u0631\u062d\u0628\u0627");
        EXPECT_EQ(PrintColumnFit::WidestText({QStringLiteral("ab"), arabic, arabic}, measure), 50);
    }
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
