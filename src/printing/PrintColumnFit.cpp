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
    WidestTexts widest(measure);
    for (const QString &text : texts)
        widest.Add(text);
    return widest.Widest();
}

namespace {

// A text is told first by the widths of its letters, each letter measured
// once: a whole text measures the same but for the kerning of its pairs, a
// little. Letters that join or combine (marks, scripts written right to
// left, those beyond) are not told so: such a text is measured whole.
constexpr char16_t kPlainBelow = 0x0300;
// The most different texts near the widest measured whole.
constexpr size_t kMeasured = 256;
// The most near texts kept while the texts are looked through.
constexpr size_t kKept = 4 * kMeasured;

} // namespace

PrintColumnFit::WidestTexts::WidestTexts(std::function<int(const QString &)> measure)
    : m_measure(std::move(measure)), m_letters(kPlainBelow, -1)
{
    m_inset = m_measure(QString());
}

void PrintColumnFit::WidestTexts::Add(const QString &text)
{
    if (text.isEmpty())
        return;
    std::int64_t width = m_inset;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u >= kPlainBelow) {
            if (!m_measured.contains(text)) {
                m_widestMeasured = std::max(m_widestMeasured, m_measure(text));
                if (m_measured.size() < qsizetype(kKept))
                    m_measured.insert(text);
            }
            return;
        }
        int &w = m_letters[u];
        if (w < 0) {
            w = std::max(0, m_measure(QString(ch)) - m_inset);
            m_widestLetter = std::max(m_widestLetter, w);
        }
        width += w;
    }
    const int told = int(std::min<std::int64_t>(width, 0x3FFFFFFF));
    m_widestTold = std::max(m_widestTold, told);
    // Near: within a twentieth of the widest told, and a letter or two.
    const int slack = std::max(m_widestTold / 20, 2 * m_widestLetter);
    if (told + slack < m_widestTold)
        return;
    // Once near texts were dropped, one no wider than the narrowest kept
    // would be dropped too.
    if (m_dropped && told <= m_keptFloor)
        return;
    m_near.emplace_back(told, text);
    if (m_near.size() >= 2 * kKept)
        prune();
}

void PrintColumnFit::WidestTexts::prune()
{
    const int slack = std::max(m_widestTold / 20, 2 * m_widestLetter);
    std::erase_if(m_near, [&](const std::pair<int, QString> &n) { return n.first + slack < m_widestTold; });
    // The widest told first, each different text once (a text is always
    // told alike).
    std::sort(m_near.begin(), m_near.end(),
              [](const auto &a, const auto &b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
    m_near.erase(std::unique(m_near.begin(), m_near.end(), [](const auto &a, const auto &b) { return a.second == b.second; }),
                 m_near.end());
    if (m_near.size() > kKept) {
        m_near.resize(kKept);
        m_dropped = true;
        m_keptFloor = m_near.back().first;
    }
}

int PrintColumnFit::WidestTexts::Widest()
{
    prune();
    int widest = m_widestMeasured;
    size_t measured = 0;
    for (const auto &n : m_near) {
        if (measured == kMeasured) {
            m_dropped = true;
            break;
        }
        widest = std::max(widest, m_measure(n.second));
        ++measured;
    }
    // Near texts left unmeasured count as wide as they are told.
    if (m_dropped)
        widest = std::max(widest, m_widestTold);
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
