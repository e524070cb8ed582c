#pragma once

#include <QtCore/QSet>
#include <QtCore/QString>

#include <functional>
#include <utility>
#include <vector>

// How the columns of a printed table share the width of the page. Every
// table the print engine lays out (lists, reports, list parts, grids) is
// fitted by this one rule, so that nothing printed is cut, printed over its
// neighbour or leaves the page:
// 1. A column needs the width of its widest cell and of its title on one
//    line. When the needs fit, each column gets its need and the room left
//    goes to the columns whose layout asked for more than their need, in
//    proportion to that. When they do not, a long text counts only so wide
//    (it will wrap), and the same is tried again.
// 2. Otherwise the titles may wrap at their words (the need becomes the
//    widest cell or title word); when that fits, the same sharing.
// 3. Otherwise the whole table is drawn smaller, as much as it takes, down
//    to a legible floor.
// 4. At the floor, numbers and dates keep their whole width and the text
//    columns share what is left (each at least its minimum, and never
//    narrower than its widest word), their texts wrapping onto more lines
//    between their words. A word too wide for that (a long part number, a
//    text without blanks) does not take the table below the floor: the
//    widest words give up their width first, to one width for all of them,
//    and are broken between letters at a hyphen when printed. When the
//    numbers and dates with every text at its narrowest do not fit, the
//    table is drawn smaller than the floor, as much as they take, its words
//    broken all the same. Only when the numbers and dates alone fill the page
//    at the floor does no word break: a number is never cut, and then no
//    word is either.
class PrintColumnFit
{
public:
    struct Column
    {
        int base = 0;       // the width the column's layout asks; 0 hides it
        int need = 0;       // its widest cell (a long text limited), or its title on one line
        int wordNeed = 0;   // its widest cell, or its title's widest word
        bool whole = false; // numbers and dates: never wrapped nor cut
        int fullNeed = 0;   // its widest cell however long (0: as need)
        int wordMin = 0;    // texts: the widest word of its cells and title, kept whole while it fits at the floor
        int titleWord = 0;  // texts: its title's widest word, never broken
    };
    struct Result
    {
        std::vector<int> widths;
        double scale = 1.0; // the size the table is drawn at (1 = as set)
        bool wraps = false; // text cells may take more than one line
    };

    // The smallest size a table is drawn at while its texts can wrap instead.
    static constexpr double kLegibleFloor = 0.7;

    // Fits the columns into room device units. minText is the narrowest a
    // text column is made (at full size).
    static Result Fit(const std::vector<Column> &columns, int room, int minText, double floor = kLegibleFloor);

    // Whether a cell's text is a number, an amount, a percentage, a date or
    // a time (digits with their signs and separators only).
    static bool IsNumberText(const QString &text);
    // The widest of the texts as measured: each is told first by the widths
    // of its letters, and only those told to be near the widest are measured
    // whole, each different one once and no more than a few hundred (the
    // others near count as wide as they are told).
    static int WidestText(std::vector<QString> texts, const std::function<int(const QString &)> &measure);
    // The same over texts given one by one, holding no more of them than
    // the few near the widest so far: a column of millions of rows is
    // looked through without a copy of its texts.
    class WidestTexts
    {
    public:
        explicit WidestTexts(std::function<int(const QString &)> measure);
        void Add(const QString &text);
        // The widest of the texts given (0 for none).
        int Widest();

    private:
        // Drops the texts no longer near the widest told, and the narrowest
        // beyond the most that are kept.
        void prune();
        std::function<int(const QString &)> m_measure;
        int m_inset = 0;
        std::vector<int> m_letters; // each letter's width, -1 until measured
        int m_widestLetter = 0;
        int m_widestTold = 0;
        int m_widestMeasured = 0;
        bool m_dropped = false; // near texts were dropped unmeasured
        int m_keptFloor = 0;    // the narrowest told of those kept, once some were dropped
        std::vector<std::pair<int, QString>> m_near;
        QSet<QString> m_measured; // of the texts measured as they came
    };
    // The widest piece a title can be broken into: its words, and the parts
    // of a word written in camel case ("QSaleSubtotal": "QSale" and
    // "Subtotal").
    static int WidestWord(const QString &text, const std::function<int(const QString &)> &measure);
    // A title broken into lines no wider than the width where it can be (at
    // its blanks, else inside a camel-case word), its own line breaks kept.
    static QString WrapTitle(const QString &title, int width, const std::function<int(const QString &)> &measure);
};
