#include "app/base/TextUtil.h"

#include "resources/Strings.h"

#include <climits>

namespace {

const QChar kMiddleDot(0x00B7);

bool isTrimmable(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r')
        || c == QLatin1Char('\n');
}

// Lower case one character at a time, so that positions in the copy are the
// positions in the original.
QString lowerKeepingPositions(const QString &text)
{
    QString lower(text);
    for (QChar &c : lower)
        c = c.toLower();
    return lower;
}

} // namespace

const QString &ListSeparator()
{
    static const QString separator(QStringLiteral(","));
    return separator;
}

QString GetResourceListItem(int id, int n)
{
    return GetCommaListItem(LoadResourceString(id), n);
}

QString GetCommaListItem(const QString &list, int n)
{
    if (list.isEmpty() || n < 0)
        return list;
    const QString &sep = ListSeparator();
    int counter = 0;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype next = list.indexOf(sep, pos);
        if (next < 0)
            return QString();
        if (!(next > pos && list.at(pos) == kMiddleDot)) {
            if (counter == n)
                return list.mid(pos, next - pos);
            ++counter;
        }
        pos = next + sep.size();
    }
}

void GetResourceListItemTo(int id, int n, QString &out)
{
    out = GetResourceListItem(id, n);
}

int SplitToArray(const QString &text, QStringList &array)
{
    array.clear();
    const QString &sep = ListSeparator();
    qsizetype pos = 0;
    for (;;) {
        const qsizetype next = text.indexOf(sep, pos);
        if (next < 0)
            break;
        array.append(text.mid(pos, next - pos));
        pos = next + sep.size();
    }
    return int(array.size());
}

void SplitAtKey(QString &text, QString &rest, const QString &key)
{
    const qsizetype pos = text.indexOf(key);
    if (pos < 0) {
        rest.clear();
        return;
    }
    rest = text.mid(pos + key.size());
    text.truncate(pos);
}

QString GetTextBetween(const QString &text, const QString &start, const QString &end)
{
    qsizetype s = text.indexOf(start);
    if (s < 0)
        return QString();
    s += start.size();
    const qsizetype e = text.indexOf(end, s);
    if (e <= s)
        return QString();
    return text.mid(s, e - s);
}

void RemoveDelimited(QString &text, const QString &start, const QString &end)
{
    for (;;) {
        const qsizetype s = text.indexOf(start);
        if (s < 0)
            return;
        const qsizetype e = text.indexOf(end, s + start.size());
        if (e <= s)
            return;
        text.remove(s, e + end.size() - s);
    }
}

QString ExtractBraced(QString &text, bool remove)
{
    const qsizetype open = text.indexOf(QLatin1Char('{'));
    const qsizetype close = text.indexOf(QLatin1Char('}'));
    const qsizetype s = open + 1;  // 0 without a "{"
    const qsizetype e = close - 1; // -2 without a "}"
    const qsizetype n = e - s + 1;
    if (n <= 0)
        return QString();
    const QString part = text.mid(s, n);
    if (remove)
        text = (open >= 0 ? text.left(open) : QString()) + text.mid(close + 1);
    return part;
}

void SplitCityStateZip(QString &line, QString &state, QString &postcode)
{
    SplitAtKey(line, state, ListSeparator());
    TrimText(state);
    SplitAtKey(state, postcode, QStringLiteral(" "));
}

void AppendText(QString &text, const QString &part, const QString &separator, const QString &prefix)
{
    if (part.isEmpty())
        return;
    if (!text.isEmpty())
        text += separator;
    text += prefix;
    text += part;
}

void TrimText(QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isTrimmable(text.at(first)))
        ++first;
    while (last > first && isTrimmable(text.at(last - 1)))
        --last;
    if (first > 0 || last < text.size())
        text = text.mid(first, last - first);
}

QString RemoveChars(const QString &text, const QString &chars)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (!chars.contains(c))
            result += c;
    }
    return result;
}

QString ToUpperText(const QString &text)
{
    return text.toUpper();
}

int FindNoCase(const QString &text, const QString &sought)
{
    return int(lowerKeepingPositions(text).indexOf(lowerKeepingPositions(sought)));
}

int ToInt(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text.at(i) == QLatin1Char(' ') || (text.at(i).unicode() >= 9 && text.at(i).unicode() <= 13)))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            break;
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (c - u'0');
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return int(value);
}

int AlnumToInt(const QString &text)
{
    for (const QChar c : text) {
        if (!c.isLetterOrNumber())
            return 0;
    }
    return ToInt(text);
}

std::int32_t IsBitSet(std::int32_t flags, int n)
{
    if (n < 1)
        n = 1;
    if (n > 32)
        return 0;
    const std::uint32_t bit = std::uint32_t(1) << (n - 1);
    return std::int32_t(std::uint32_t(flags) & bit);
}

void ToggleFlag(std::int32_t &flags, std::int32_t mask)
{
    if (flags & mask)
        flags &= ~mask;
    else
        flags |= mask;
}

void SetIfChanged(std::int32_t &field, std::int32_t value, int &changes)
{
    if (field != value) {
        field = value;
        ++changes;
    }
}

void SetByteIfChanged(std::uint8_t &field, std::uint8_t value, int &changes)
{
    if (field != value) {
        field = value;
        ++changes;
    }
}

void SetTextIfChanged(QString &field, const QString &value, int &changes)
{
    if (field != value) {
        field = value;
        ++changes;
    }
}
