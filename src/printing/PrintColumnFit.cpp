#include "printing/PrintColumnFit.h"

#include <QtCore/QSet>

#include <QtCore/QRegularExpression>
#include <QtCore/QStringList>

#include <algorithm>
#include <cstdint>

namespace {

using Column = PrintColumnFit::Column;

// The columns take the room in the proportions of their layout; a column
// that is then narrower than its need takes what it lacks from the others'
// surplus over their needs, in proportion to that surplus. The last column
// that gave takes the pixels the rounding left.
std::vector<int> shareSpare(const std::vector<Column> &columns, const std::vector<int> &needs, int room)
{
    const size_t n = columns.size();
    std::int64_t sumBase = 0;
    for (size_t c = 0; c < n; ++c)
        if (columns[c].base > 0)
            sumBase += columns[c].base;
    std::vector<int> widths(n, 0);
    int given = 0;
    int last = -1;
    for (size_t c = 0; c < n; ++c) {
        if (columns[c].base <= 0)
            continue;
        widths[c] = int(std::int64_t(columns[c].base) * room / sumBase);
        given += widths[c];
        last = int(c);
    }
    widths[size_t(last)] += room - given;
    std::int64_t lack = 0;
    std::int64_t surplus = 0;
    for (size_t c = 0; c < n; ++c) {
        if (columns[c].base <= 0)
            continue;
        lack += std::max(0, needs[c] - widths[c]);
        surplus += std::max(0, widths[c] - needs[c]);
    }
    if (lack == 0 || surplus == 0)
        return widths;
    given = 0;
    last = -1;
    for (size_t c = 0; c < n; ++c) {
        if (columns[c].base <= 0)
            continue;
        if (widths[c] < needs[c]) {
            widths[c] = needs[c];
        } else {
            widths[c] -= int(std::int64_t(widths[c] - needs[c]) * lack / surplus);
            last = int(c);
        }
        given += widths[c];
    }
    if (last >= 0)
        widths[size_t(last)] += room - given;
    return widths;
}

// A width at a scale, in whole units (a product that is whole in decimals
// stays whole).
int scaledWidth(double width, double scale)
{
    return int(width * scale + 1e-6);
}

// Every shown column at the scale; the last shown one takes the rounding.
std::vector<int> scaled(const std::vector<Column> &columns, const std::vector<int> &needs, double scale, int room)
{
    std::vector<int> widths(columns.size(), 0);
    int given = 0;
    int last = -1;
    for (size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].base <= 0)
            continue;
        widths[c] = scaledWidth(needs[c], scale);
        given += widths[c];
        last = int(c);
    }
    if (last >= 0)
        widths[size_t(last)] += room - given;
    return widths;
}

} // namespace

PrintColumnFit::Result PrintColumnFit::Fit(const std::vector<Column> &columns, int room, int minText, double floor)
{
    Result result;
    const size_t n = columns.size();
    result.widths.assign(n, 0);
    std::vector<int> need(n, 0);
    std::vector<int> wordNeed(n, 0);
    std::int64_t sumNeed = 0;
    std::int64_t sumWord = 0;
    bool anyShown = false;
    for (size_t c = 0; c < n; ++c) {
        if (columns[c].base <= 0)
            continue;
        anyShown = true;
        // A column is never narrower than a few pixels, nor a title's word
        // wider than its title.
        need[c] = std::max({columns[c].need, columns[c].wordNeed, 1});
        wordNeed[c] = std::max(1, std::min(columns[c].wordNeed > 0 ? columns[c].wordNeed : need[c], need[c]));
        sumNeed += need[c];
        sumWord += wordNeed[c];
    }
    if (!anyShown || room <= 0)
        return result;
    // 1 and 2: the needs fit at full size, the long texts whole first.
    std::vector<int> fullNeed(n, 0);
    std::int64_t sumFull = 0;
    for (size_t c = 0; c < n; ++c) {
        if (columns[c].base <= 0)
            continue;
        fullNeed[c] = std::max(need[c], columns[c].fullNeed);
        sumFull += fullNeed[c];
    }
    if (sumFull <= room) {
        result.widths = shareSpare(columns, fullNeed, room);
        return result;
    }
    if (sumNeed <= room) {
        result.widths = shareSpare(columns, need, room);
        return result;
    }
    if (sumWord <= room) {
        result.widths = shareSpare(columns, wordNeed, room);
        return result;
    }
    // 3: smaller, down to the floor.
    const double shrink = double(room) / double(sumWord);
    if (shrink >= floor) {
        result.scale = shrink;
        result.widths = scaled(columns, wordNeed, shrink, room);
        return result;
    }
    // 4: numbers and dates whole at the floor, the texts wrapped in the rest.
    std::int64_t wholeNeed = 0;
    std::int64_t textMin = 0;
    std::int64_t textOver = 0;
    std::vector<int> minimum(n, 0);
    for (size_t c = 0; c < n; ++c) {
        if (columns[c].base <= 0)
            continue;
        if (columns[c].whole) {
            wholeNeed += wordNeed[c];
        } else {
            // The column keeps its widest word.
            minimum[c] = std::min(wordNeed[c], std::max({1, minText, columns[c].wordMin}));
            textMin += minimum[c];
        }
    }
    // The narrowest a text column is made: a few letters, or its title's
    // widest word (a title is never broken inside a word).
    const auto narrowest = [&](size_t c) {
        return std::min(wordNeed[c], std::max({1, minText, columns[c].titleWord}));
    };
    // Unless the widest words then take the table below the floor: those are
    // broken between letters instead, each column keeping of its word as much
    // as the page holds (the same width for all of them, the largest that
    // fits at the floor) and never less than its minimum. When the numbers
    // take the table below the floor even so, the words stay whole as well.
    const auto keeping = [&](std::int64_t cap) {
        std::int64_t sum = 0;
        for (size_t c = 0; c < n; ++c)
            if (columns[c].base > 0 && !columns[c].whole)
                sum += std::max<std::int64_t>(narrowest(c),
                                              std::min<std::int64_t>(minimum[c], cap));
        return sum;
    };
    if (double(wholeNeed + textMin) * floor > room && double(wholeNeed + keeping(0)) * floor <= room) {
        std::int64_t low = 0;
        std::int64_t high = 0;
        for (size_t c = 0; c < n; ++c)
            high = std::max<std::int64_t>(high, minimum[c]);
        while (low < high) {
            const std::int64_t cap = (low + high + 1) / 2;
            if (double(wholeNeed + keeping(cap)) * floor <= room)
                low = cap;
            else
                high = cap - 1;
        }
        textMin = keeping(low);
        for (size_t c = 0; c < n; ++c)
            if (columns[c].base > 0 && !columns[c].whole)
                minimum[c] = int(std::max<std::int64_t>(narrowest(c),
                                                        std::min<std::int64_t>(minimum[c], low)));
    } else if (double(wholeNeed + textMin) * floor > room && double(wholeNeed) * floor < room) {
        // Not even the texts at their narrowest fit beside the numbers at the
        // floor: the table is drawn only as much smaller as the numbers and
        // the narrowest texts take, the words broken all the same (a word
        // kept whole would take the whole table down to its width).
        textMin = keeping(0);
        for (size_t c = 0; c < n; ++c)
            if (columns[c].base > 0 && !columns[c].whole)
                minimum[c] = narrowest(c);
    }
    for (size_t c = 0; c < n; ++c)
        if (columns[c].base > 0 && !columns[c].whole)
            textOver += wordNeed[c] - minimum[c];
    result.wraps = true;
    double scale = floor;
    if (double(wholeNeed + textMin) * floor > room)
        scale = double(room) / double(wholeNeed + textMin);
    result.scale = scale;
    // What the text columns share above their minimums.
    const std::int64_t rest = std::max<std::int64_t>(0, room - scaledWidth(double(wholeNeed + textMin), scale));
    int given = 0;
    int last = -1;
    for (size_t c = 0; c < n; ++c) {
        if (columns[c].base <= 0)
            continue;
        if (columns[c].whole) {
            result.widths[c] = scaledWidth(wordNeed[c], scale);
        } else {
            const std::int64_t share = textOver > 0 ? rest * (wordNeed[c] - minimum[c]) / textOver : 0;
            result.widths[c] = scaledWidth(minimum[c], scale) + int(share);
            last = int(c);
        }
        given += result.widths[c];
    }
    if (last < 0)
        for (size_t c = 0; c < n; ++c)
            if (columns[c].base > 0)
                last = int(c);
    result.widths[size_t(last)] += room - given;
    return result;
}

bool PrintColumnFit::IsNumberText(const QString &text)
{
    bool digit = false;
    for (const QChar ch : text) {
        if (ch.isDigit()) {
            digit = true;
            continue;
        }
        switch (ch.unicode()) {
        case ',': case '.': case '-': case '+': case '%': case '/': case ':': case '$': case ' ': case '(': case ')':
            continue;
        default:
            return false;
        }
    }
    return digit;
}

int PrintColumnFit::WidestText(std::vector<QString> texts, const std::function<int(const QString &)> &measure)
{
    // A text is told first by the widths of its letters, each letter measured
    // once: a whole text measures the same but for the kerning of its pairs,
    // a little. Only the texts so told to be near the widest are measured
    // whole, each different one once and the widest-told first, at most
    // kMeasured of them: a list of millions of different texts is not
    // measured text by text. The widest is never less than the widest told.
    // Letters that join or combine (marks, scripts written right to left,
    // those beyond) are not told by their letters: such a text is measured.
    constexpr int kMeasured = 256;
    constexpr char16_t kPlainBelow = 0x0300;
    if (texts.empty())
        return 0;
    const int inset = measure(QString());
    std::vector<int> letter(kPlainBelow, -1);
    std::vector<int> told(texts.size(), -1);
    int widestTold = 0;
    int widest = 0;
    QSet<QString> measured;
    for (size_t t = 0; t < texts.size(); ++t) {
        const QString &text = texts[t];
        if (text.isEmpty())
            continue;
        std::int64_t width = inset;
        bool plain = true;
        for (const QChar ch : text) {
            const char16_t u = ch.unicode();
            if (u >= kPlainBelow) {
                plain = false;
                break;
            }
            int &w = letter[u];
            if (w < 0)
                w = std::max(0, measure(QString(ch)) - inset);
            width += w;
        }
        if (!plain) {
            if (!measured.contains(text)) {
                widest = std::max(widest, measure(text));
                measured.insert(text);
            }
            continue;
        }
        told[t] = int(std::min<std::int64_t>(width, 0x3FFFFFFF));
        widestTold = std::max(widestTold, told[t]);
    }
    if (widestTold == 0)
        return widest;
    // Near: within a twentieth, and at least a letter or two.
    int slack = widestTold / 20;
    for (const int w : letter)
        slack = std::max(slack, 2 * w);
    std::vector<size_t> near;
    for (size_t t = 0; t < texts.size(); ++t)
        if (told[t] >= 0 && told[t] + slack >= widestTold)
            near.push_back(t);
    const auto widerTold = [&told](size_t a, size_t b) { return told[a] > told[b]; };
    const size_t first = std::min<size_t>(near.size(), size_t(4 * kMeasured));
    std::partial_sort(near.begin(), near.begin() + std::ptrdiff_t(first), near.end(), widerTold);
    int done = 0;
    size_t k = 0;
    for (; k < first && done < kMeasured; ++k) {
        QString &text = texts[near[k]];
        if (measured.contains(text))
            continue;
        widest = std::max(widest, measure(text));
        measured.insert(std::move(text));
        ++done;
    }
    // Near texts left unmeasured count as wide as they are told.
    if (k < near.size())
        widest = std::max(widest, widestTold);
    return widest;
}

namespace {

// A word's camel-case parts: a capital after a small letter starts a part.
QStringList camelParts(const QString &word)
{
    QStringList parts;
    int start = 0;
    for (int i = 1; i < word.size(); ++i) {
        if (word[i].isUpper() && word[i - 1].isLower()) {
            parts << word.mid(start, i - start);
            start = i;
        }
    }
    parts << word.mid(start);
    return parts;
}

QStringList wordsOf(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.split(blanks, Qt::SkipEmptyParts);
}

} // namespace

int PrintColumnFit::WidestWord(const QString &text, const std::function<int(const QString &)> &measure)
{
    int widest = 0;
    for (const QString &word : wordsOf(text))
        for (const QString &part : camelParts(word))
            widest = std::max(widest, measure(part));
    return widest;
}

QString PrintColumnFit::WrapTitle(const QString &title, int width, const std::function<int(const QString &)> &measure)
{
    QStringList lines;
    for (const QString &given : title.split(QLatin1Char('\n'))) {
        QString line;
        const auto add = [&](const QString &piece, const QString &joint) {
            const QString longer = line.isEmpty() ? piece : line + joint + piece;
            if (line.isEmpty() || measure(longer) <= width) {
                line = longer;
            } else {
                lines << line;
                line = piece;
            }
        };
        for (const QString &word : wordsOf(given)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (measure(longer) <= width) {
                line = longer;
            } else if (measure(word) <= width || camelParts(word).size() == 1) {
                if (!line.isEmpty())
                    lines << line;
                line = word;
            } else {
                const QStringList parts = camelParts(word);
                add(parts.front(), QStringLiteral(" "));
                for (int i = 1; i < parts.size(); ++i)
                    add(parts[i], QString());
            }
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}
