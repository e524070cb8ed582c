#include "platform/db/jet/JetFormat.h"

#include "platform/db/jet/JetDates.h"
#include "platform/db/jet/JetValueText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace platform::jet {
namespace {

const char *const kMonthNames[] = {"January", "February", "March", "April", "May", "June", "July",
                                   "August", "September", "October", "November", "December"};
const char *const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

QString two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

bool isDateLetter(QChar c)
{
    switch (c.toLower().unicode()) {
    case 'd': case 'm': case 'y': case 'h': case 'n': case 's': case 'q': case 'w': case 'c': case 't':
        return true;
    default:
        return false;
    }
}

// One piece of a date pattern: a token (letters) or literal text.
struct DateToken
{
    QString token;   // lower-case letters, "ampm" or "ap"; empty for a literal
    QString literal;
    bool upperCaseAmPm = true;
};

QList<DateToken> tokenizeDatePattern(const QString &pattern, bool &twelveHour)
{
    QList<DateToken> out;
    twelveHour = false;
    auto addLiteral = [&out](const QString &s) {
        if (!out.isEmpty() && out.back().token.isEmpty())
            out.back().literal += s;
        else
            out.append(DateToken{QString(), s});
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = pattern.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close;
            addLiteral(pattern.mid(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        if (c == QLatin1Char('\\')) {
            if (i + 1 < pattern.size())
                addLiteral(QString(pattern[i + 1]));
            i += 2;
            continue;
        }
        if (pattern.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            DateToken t{QStringLiteral("ampm"), QString(), pattern[i].isUpper()};
            out.append(t);
            twelveHour = true;
            i += 5;
            continue;
        }
        if (pattern.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            DateToken t{QStringLiteral("ap"), QString(), pattern[i].isUpper()};
            out.append(t);
            twelveHour = true;
            i += 3;
            continue;
        }
        if (isDateLetter(c)) {
            const QChar lower = c.toLower();
            qsizetype j = i;
            while (j < pattern.size() && pattern[j].toLower() == lower)
                ++j;
            out.append(DateToken{pattern.mid(i, j - i).toLower(), QString()});
            i = j;
            continue;
        }
        addLiteral(QString(c));
        ++i;
    }
    return out;
}

QString formatDate(double serial, const QString &pattern)
{
    const DateParts p = dateParts(serial);
    bool twelveHour = false;
    const QList<DateToken> tokens = tokenizeDatePattern(pattern, twelveHour);
    QString out;
    for (qsizetype k = 0; k < tokens.size(); ++k) {
        const DateToken &t = tokens[k];
        if (t.token.isEmpty()) {
            out += t.literal;
            continue;
        }
        const QString &tok = t.token;
        const QChar letter = tok[0];
        if (letter == QLatin1Char('m') && tok.size() <= 2) {
            // Minutes right after an hour or right before seconds; otherwise the month.
            bool minute = false;
            for (qsizetype b = k - 1; b >= 0; --b) {
                if (tokens[b].token.isEmpty())
                    continue;
                minute = tokens[b].token[0] == QLatin1Char('h');
                break;
            }
            for (qsizetype f = k + 1; !minute && f < tokens.size(); ++f) {
                if (tokens[f].token.isEmpty())
                    continue;
                minute = tokens[f].token[0] == QLatin1Char('s');
                break;
            }
            if (minute)
                out += tok.size() == 1 ? QString::number(p.minute) : two(p.minute);
            else
                out += tok.size() == 1 ? QString::number(p.month) : two(p.month);
            continue;
        }
        if (letter == QLatin1Char('m')) {
            const QString name = QString::fromLatin1(kMonthNames[p.month - 1]);
            out += tok.size() == 3 ? name.left(3) : name;
            continue;
        }
        if (letter == QLatin1Char('d')) {
            switch (tok.size()) {
            case 1: out += QString::number(p.day); break;
            case 2: out += two(p.day); break;
            case 3: out += QString::fromLatin1(kDayNames[p.dayOfWeek - 1]).left(3); break;
            case 4: out += QString::fromLatin1(kDayNames[p.dayOfWeek - 1]); break;
            case 6:
                out += QStringLiteral("%1, %2 %3, %4").arg(QString::fromLatin1(kDayNames[p.dayOfWeek - 1]),
                                                           QString::fromLatin1(kMonthNames[p.month - 1]))
                           .arg(p.day).arg(p.year, 4, 10, QLatin1Char('0'));
                break;
            default:
                out += QStringLiteral("%1/%2/%3").arg(p.month).arg(p.day).arg(p.year, 4, 10, QLatin1Char('0'));
                break;
            }
            continue;
        }
        if (letter == QLatin1Char('y')) {
            if (tok.size() == 1)
                out += QString::number(p.dayOfYear);
            else if (tok.size() == 2)
                out += two(p.year % 100);
            else
                out += QStringLiteral("%1").arg(p.year, 4, 10, QLatin1Char('0'));
            continue;
        }
        if (letter == QLatin1Char('c')) {
            out += dateText(serial);
            continue;
        }
        if (letter == QLatin1Char('t')) {
            if (tok.size() >= 5) {
                const int h12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
                out += QStringLiteral("%1:%2:%3 %4").arg(h12).arg(two(p.minute), two(p.second),
                                                           p.hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
            } else {
                out += tok;
            }
            continue;
        }
        if (letter == QLatin1Char('q')) {
            out += QString::number((p.month - 1) / 3 + 1);
            continue;
        }
        if (letter == QLatin1Char('w')) {
            out += tok.size() == 1 ? QString::number(p.dayOfWeek) : QString::number(weekOfYear(p));
            continue;
        }
        if (letter == QLatin1Char('h')) {
            int h = p.hour;
            if (twelveHour)
                h = h % 12 == 0 ? 12 : h % 12;
            out += tok.size() == 1 ? QString::number(h) : two(h);
            continue;
        }
        if (letter == QLatin1Char('n')) {
            out += tok.size() == 1 ? QString::number(p.minute) : two(p.minute);
            continue;
        }
        if (letter == QLatin1Char('s')) {
            out += tok.size() == 1 ? QString::number(p.second) : two(p.second);
            continue;
        }
        if (tok == QLatin1String("ampm")) {
            const QString s = p.hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            out += t.upperCaseAmPm ? s : s.toLower();
            continue;
        }
        if (tok == QLatin1String("ap")) {
            const QString s = p.hour < 12 ? QStringLiteral("A") : QStringLiteral("P");
            out += t.upperCaseAmPm ? s : s.toLower();
            continue;
        }
    }
    return out;
}

// Splits a number pattern into its ;-sections (quotes respected).
QStringList numberSections(const QString &pattern)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            current += c;
            current += pattern[++i];
            continue;
        }
        if (c == QLatin1Char(';') && !quoted) {
            sections.append(current);
            current.clear();
            continue;
        }
        current += c;
    }
    sections.append(current);
    return sections;
}

// Digits of |value| rounded half away from zero to the given decimals.
void decimalDigits(double value, int decimals, QString &whole, QString &fraction)
{
    char buffer[400];
    const double scaled = std::fabs(value) * std::pow(10.0, decimals);
    // A relative nudge so that decimal halves written in binary round away from zero.
    const double rounded = std::floor(scaled + 0.5 + scaled * 1e-15);
    std::snprintf(buffer, sizeof buffer, "%.0f", rounded);
    QString digits = QString::fromLatin1(buffer);
    while (digits.size() <= decimals)
        digits.prepend(QLatin1Char('0'));
    whole = digits.left(digits.size() - decimals);
    fraction = digits.right(decimals);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole == QLatin1String("0"))
        whole.clear();
}

QString formatNumberSection(double value, const QString &section, bool withSign)
{
    // Read the section: literal pieces, digit placeholders and commas, split
    // at the decimal point and at an E+/E- exponent.
    struct Piece { enum Kind { Literal, Digit, Comma } kind; QChar ch; QString literal; };
    QList<Piece> intPart;
    QList<Piece> fracPart;
    QList<Piece> expPart;
    int stage = 0;   // 0 integer part, 1 fraction, 2 exponent
    bool point = false;
    bool percent = false;
    bool scientific = false;
    bool exponentPlus = false;
    bool exponentUpper = true;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        QList<Piece> &part = stage == 0 ? intPart : stage == 1 ? fracPart : expPart;
        if (c == QLatin1Char('"')) {
            const qsizetype close = section.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? section.size() : close;
            part.append(Piece{Piece::Literal, QChar(), section.mid(i + 1, end - i - 1)});
            i = end;
        } else if (c == QLatin1Char('\\') && i + 1 < section.size()) {
            part.append(Piece{Piece::Literal, QChar(), QString(section[++i])});
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            part.append(Piece{Piece::Digit, c, QString()});
        } else if (c == QLatin1Char('.') && stage == 0) {
            stage = 1;
            point = true;
        } else if (c == QLatin1Char(',') && stage == 0) {
            part.append(Piece{Piece::Comma, c, QString()});
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && stage < 2 && i + 1 < section.size()
                   && (section[i + 1] == QLatin1Char('+') || section[i + 1] == QLatin1Char('-'))) {
            scientific = true;
            exponentUpper = c == QLatin1Char('E');
            exponentPlus = section[i + 1] == QLatin1Char('+');
            stage = 2;
            ++i;
        } else {
            if (c == QLatin1Char('%'))
                percent = true;
            part.append(Piece{Piece::Literal, QChar(), QString(c)});
        }
    }
    // A comma between digit placeholders groups thousands; one with no digit
    // placeholder after it in the integer part divides by a thousand.
    bool grouping = false;
    int scale = 0;
    for (qsizetype k = 0; k < intPart.size(); ++k) {
        if (intPart[k].kind != Piece::Comma)
            continue;
        bool before = false;
        bool after = false;
        for (qsizetype j = 0; j < intPart.size(); ++j) {
            if (intPart[j].kind == Piece::Digit)
                (j < k ? before : after) = true;
        }
        if (before && after)
            grouping = true;
        else if (!after)
            ++scale;
    }
    intPart.erase(std::remove_if(intPart.begin(), intPart.end(), [](const Piece &p) { return p.kind == Piece::Comma; }),
                  intPart.end());
    if (percent)
        value *= 100.0;
    for (int k = 0; k < scale && k < 10; ++k)
        value /= 1000.0;
    int decimals = 0;
    int minDecimals = 0;
    for (const Piece &p : fracPart) {
        if (p.kind == Piece::Digit) {
            ++decimals;
            if (p.ch == QLatin1Char('0'))
                minDecimals = decimals;
        }
    }
    int minWhole = 0;
    int wholePlaceholders = 0;
    bool seenZero = false;
    for (const Piece &p : intPart) {
        if (p.kind != Piece::Digit)
            continue;
        ++wholePlaceholders;
        if (p.ch == QLatin1Char('0'))
            seenZero = true;
        if (seenZero)
            ++minWhole;
    }
    QString whole;
    QString fraction;
    int exponent = 0;
    if (scientific) {
        const int mantissaDigits = std::max(1, wholePlaceholders);
        double mantissa = value;
        if (value != 0 && std::isfinite(value)) {
            exponent = int(std::floor(std::log10(std::fabs(value)))) - (mantissaDigits - 1);
            mantissa = value / std::pow(10.0, exponent);
            decimalDigits(mantissa, decimals, whole, fraction);
            if (whole.size() > mantissaDigits) {
                ++exponent;
                mantissa = value / std::pow(10.0, exponent);
            }
        }
        value = mantissa;
        minWhole = std::max(minWhole, 1);
    }
    decimalDigits(value, decimals, whole, fraction);
    while (fraction.size() > minDecimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    while (whole.size() < minWhole)
        whole.prepend(QLatin1Char('0'));
    if (grouping) {
        for (qsizetype pos = whole.size() - 3; pos > 0; pos -= 3)
            whole.insert(pos, QLatin1Char(','));
    }
    bool nonZero = false;
    for (const QChar c : whole + fraction)
        nonZero = nonZero || (c.isDigit() && c != QLatin1Char('0'));
    const bool negative = withSign && value < 0 && nonZero;
    QString out;
    if (negative)
        out += QLatin1Char('-');
    // Integer part: the first placeholder takes every extra leading digit.
    qsizetype digitIndex = whole.size();
    QStringList filled(intPart.size());
    int remainingPlaceholders = wholePlaceholders;
    for (qsizetype k = intPart.size() - 1; k >= 0; --k) {
        const Piece &p = intPart[k];
        if (p.kind != Piece::Digit) {
            filled[k] = p.literal;
            continue;
        }
        --remainingPlaceholders;
        if (grouping || remainingPlaceholders == 0) {
            filled[k] = whole.left(digitIndex);
            digitIndex = 0;
            if (grouping) {
                // The grouped digits stand at the first placeholder; the others stay empty.
                for (qsizetype r = k - 1; r >= 0; --r)
                    filled[r] = intPart[r].kind == Piece::Digit ? QString() : intPart[r].literal;
                break;
            }
        } else if (digitIndex > 0) {
            filled[k] = whole.mid(digitIndex - 1, 1);
            --digitIndex;
        }
    }
    if (wholePlaceholders == 0 && !whole.isEmpty() && !scientific)
        out += whole;
    out += filled.join(QString());
    if (point) {
        out += QLatin1Char('.');
        qsizetype f = 0;
        for (const Piece &p : fracPart) {
            if (p.kind == Piece::Digit) {
                if (f < fraction.size())
                    out += fraction[f];
                ++f;
            } else {
                out += p.literal;
            }
        }
    }
    if (scientific) {
        out += exponentUpper ? QLatin1Char('E') : QLatin1Char('e');
        if (exponent < 0)
            out += QLatin1Char('-');
        else if (exponentPlus)
            out += QLatin1Char('+');
        int minExp = 0;
        for (const Piece &p : expPart)
            minExp += p.kind == Piece::Digit && p.ch == QLatin1Char('0') ? 1 : 0;
        QString digits = QString::number(std::abs(exponent));
        while (digits.size() < minExp)
            digits.prepend(QLatin1Char('0'));
        out += digits;
        for (const Piece &p : expPart) {
            if (p.kind == Piece::Literal)
                out += p.literal;
        }
    }
    return out;
}

// The text of a section that has no placeholders (a zero or Null section
// such as "\N\i\l" or "\"none\"").
QString literalSection(const QString &section)
{
    QString out;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = section.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? section.size() : close;
            out += section.mid(i + 1, end - i - 1);
            i = end;
        } else if (c == QLatin1Char('\\') && i + 1 < section.size()) {
            out += section[++i];
        } else {
            out += c;
        }
    }
    return out;
}

bool hasDigitPlaceholder(const QString &section)
{
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = section.indexOf(QLatin1Char('"'), i + 1);
            i = close < 0 ? section.size() : close;
        } else if (c == QLatin1Char('\\')) {
            ++i;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            return true;
        }
    }
    return false;
}

QString formatNumber(double value, const QString &pattern)
{
    const QStringList sections = numberSections(pattern);
    auto section = [](const QString &sec, double v, bool withSign) {
        return hasDigitPlaceholder(sec) ? formatNumberSection(v, sec, withSign) : literalSection(sec);
    };
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return section(sections[1], -value, false);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return section(sections[2], value, false);
    return section(sections[0], value, true);
}

// A text pattern: @ a character or a blank, & a character or nothing,
// < lower case, > upper case, ! fills the placeholders from the left.
QString formatText(const QString &text, const QString &section)
{
    struct Piece { bool placeholder; QChar ch; QString literal; };
    QList<Piece> pieces;
    bool lower = false;
    bool upper = false;
    bool leftToRight = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = section.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? section.size() : close;
            pieces.append(Piece{false, QChar(), section.mid(i + 1, end - i - 1)});
            i = end;
        } else if (c == QLatin1Char('\\') && i + 1 < section.size()) {
            pieces.append(Piece{false, QChar(), QString(section[++i])});
        } else if (c == QLatin1Char('@') || c == QLatin1Char('&')) {
            pieces.append(Piece{true, c, QString()});
        } else if (c == QLatin1Char('<')) {
            lower = true;
            upper = false;
        } else if (c == QLatin1Char('>')) {
            upper = true;
            lower = false;
        } else if (c == QLatin1Char('!')) {
            leftToRight = true;
        } else {
            pieces.append(Piece{false, QChar(), QString(c)});
        }
    }
    QString s = lower ? text.toLower() : upper ? text.toUpper() : text;
    int placeholders = 0;
    for (const Piece &p : pieces)
        placeholders += p.placeholder ? 1 : 0;
    if (placeholders == 0) {
        QString out;
        for (const Piece &p : pieces)
            out += p.literal;
        return out + s;
    }
    QStringList filled(pieces.size());
    if (leftToRight) {
        qsizetype next = 0;
        int seen = 0;
        for (qsizetype k = 0; k < pieces.size(); ++k) {
            const Piece &p = pieces[k];
            if (!p.placeholder) {
                filled[k] = p.literal;
                continue;
            }
            ++seen;
            if (seen == placeholders && next < s.size()) {
                filled[k] = s.mid(next);
                next = s.size();
            } else if (next < s.size()) {
                filled[k] = s.mid(next++, 1);
            } else {
                filled[k] = p.ch == QLatin1Char('@') ? QStringLiteral(" ") : QString();
            }
        }
    } else {
        qsizetype next = s.size();
        int seen = 0;
        for (qsizetype k = pieces.size() - 1; k >= 0; --k) {
            const Piece &p = pieces[k];
            if (!p.placeholder) {
                filled[k] = p.literal;
                continue;
            }
            ++seen;
            if (seen == placeholders && next > 0) {
                filled[k] = s.left(next);
                next = 0;
            } else if (next > 0) {
                filled[k] = s.mid(--next, 1);
            } else {
                filled[k] = p.ch == QLatin1Char('@') ? QStringLiteral(" ") : QString();
            }
        }
    }
    return filled.join(QString());
}

bool isTextPattern(const QString &pattern)
{
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = pattern.indexOf(QLatin1Char('"'), i + 1);
            i = close < 0 ? pattern.size() : close;
        } else if (c == QLatin1Char('\\')) {
            ++i;
        } else if (c == QLatin1Char('@') || c == QLatin1Char('&') || c == QLatin1Char('<') || c == QLatin1Char('>')
                   || c == QLatin1Char('!')) {
            return true;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            return false;
        }
    }
    return false;
}

enum class PatternKind { Date, Number, Literal };

PatternKind patternKind(const QString &pattern)
{
    bool number = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = pattern.indexOf(QLatin1Char('"'), i + 1);
            i = close < 0 ? pattern.size() : close;
            continue;
        }
        if (c == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (isDateLetter(c) || c == QLatin1Char('/') || c == QLatin1Char(':'))
            return PatternKind::Date;
        if (c == QLatin1Char('0') || c == QLatin1Char('#'))
            number = true;
    }
    return number ? PatternKind::Number : PatternKind::Literal;
}

std::optional<double> numberOf(const Value &value, FieldType type)
{
    if (isTextType(value.type()))
        return parseNumber(value.toString());
    return value.toDouble();
}

std::optional<double> serialOf(const Value &value, FieldType type)
{
    if (isTextType(value.type())) {
        if (auto d = parseDateText(value.toString()))
            return d;
        return parseNumber(value.toString());
    }
    return value.toDouble();
}

} // namespace

namespace {

QString formatNonNull(const Value &value, FieldType type, const QString &rawPattern);

} // namespace

QString formatValue(const Value &value, FieldType type, const QString &rawPattern)
{
    const QString named = rawPattern.trimmed().toLower();
    if (value.isNull()) {
        // The Null section: the fourth of a number pattern, the second of a text pattern.
        if (named.isEmpty())
            return QString();
        const QStringList sections = numberSections(rawPattern);
        if (isTextPattern(sections[0]) && sections.size() >= 2)
            return literalSection(sections[1]);
        if (sections.size() >= 4)
            return literalSection(sections[3]);
        return QString();
    }
    // A value always gives a text, if only an empty one (a null text would read as Null).
    const QString text = formatNonNull(value, type, rawPattern);
    return text.isNull() ? QStringLiteral("") : text;
}

namespace {

QString formatNonNull(const Value &value, FieldType type, const QString &rawPattern)
{
    const QString named = rawPattern.trimmed().toLower();
    if (named.isEmpty() || named == QLatin1String("general number"))
        return valueText(value, type, BooleanText::Word);
    if (named == QLatin1String("yes/no") || named == QLatin1String("true/false") || named == QLatin1String("on/off")) {
        const auto number = numberOf(value, type);
        if (!number)
            return value.toString();
        const bool on = *number != 0;
        if (named == QLatin1String("yes/no"))
            return on ? QStringLiteral("Yes") : QStringLiteral("No");
        if (named == QLatin1String("true/false"))
            return on ? QStringLiteral("True") : QStringLiteral("False");
        return on ? QStringLiteral("On") : QStringLiteral("Off");
    }
    QString pattern = rawPattern;
    if (named == QLatin1String("short time"))
        pattern = QStringLiteral("hh:nn");
    else if (named == QLatin1String("medium time"))
        pattern = QStringLiteral("hh:nn AM/PM");
    else if (named == QLatin1String("long time"))
        pattern = QStringLiteral("h:nn:ss AM/PM");
    else if (named == QLatin1String("short date"))
        pattern = QStringLiteral("m/d/yyyy");
    else if (named == QLatin1String("medium date"))
        pattern = QStringLiteral("dd-mmm-yy");
    else if (named == QLatin1String("long date"))
        pattern = QStringLiteral("dddd, mmmm d, yyyy");
    else if (named == QLatin1String("general date")) {
        if (auto s = serialOf(value, type))
            return dateText(*s);
        return value.toString();
    } else if (named == QLatin1String("fixed"))
        pattern = QStringLiteral("0.00");
    else if (named == QLatin1String("standard"))
        pattern = QStringLiteral("#,##0.00");
    else if (named == QLatin1String("percent"))
        pattern = QStringLiteral("0.00%");
    else if (named == QLatin1String("scientific"))
        pattern = QStringLiteral("0.00E+00");
    else if (named == QLatin1String("currency"))
        pattern = QStringLiteral("$#,##0.00;($#,##0.00)");

    const QStringList sections = numberSections(pattern);
    if (isTextPattern(sections[0])) {
        const QString text = valueText(value, type, BooleanText::Word);
        if (text.isEmpty() && sections.size() >= 2)
            return literalSection(sections[1]);
        return formatText(text, sections[0]);
    }
    switch (patternKind(pattern)) {
    case PatternKind::Date: {
        const auto serial = serialOf(value, type);
        if (!serial)
            return value.toString();
        return formatDate(*serial, pattern);
    }
    case PatternKind::Number: {
        const auto number = numberOf(value, type);
        if (!number)
            return value.toString();
        return formatNumber(*number, pattern);
    }
    case PatternKind::Literal:
        break;
    }
    // No placeholders: the pattern's own text for a number, the value otherwise.
    if (!isTextType(value.type()) || parseNumber(value.toString())) {
        const auto number = numberOf(value, type);
        if (number && !pattern.isEmpty())
            return formatNumber(*number, pattern);
    }
    return valueText(value, type, BooleanText::Word);
}

} // namespace

QString formatNumberStyle(double value, NumberStyle style, int digits, int leadingZero, int parentheses, int grouping)
{
    if (digits < 0)
        digits = 2;
    digits = std::min(digits, 99);
    const bool lead = leadingZero != 0;
    const bool parens = parentheses == -2 ? style == NumberStyle::Currency : parentheses != 0;
    const bool group = grouping != 0;
    QString number = group ? (lead ? QStringLiteral("#,##0") : QStringLiteral("#,###"))
                           : (lead ? QStringLiteral("0") : QStringLiteral("#"));
    if (digits > 0)
        number += QLatin1Char('.') + QString(digits, QLatin1Char('0'));
    if (style == NumberStyle::Percent)
        number += QLatin1Char('%');
    if (style == NumberStyle::Currency)
        number.prepend(QLatin1String("\\$"));
    const QString negative = parens ? QLatin1Char('(') + number + QLatin1Char(')') : QLatin1Char('-') + number;
    QString text = formatNumber(value, number + QLatin1Char(';') + negative);
    // A negative amount that rounds to zero shows without its sign.
    if (value < 0) {
        bool nonZero = false;
        for (const QChar c : text)
            nonZero = nonZero || (c.isDigit() && c != QLatin1Char('0'));
        if (!nonZero)
            text = formatNumber(0.0, number);
    }
    return text;
}

QString formatDateTimeNamed(double serial, int namedFormat)
{
    switch (namedFormat) {
    case 0: return dateText(serial);
    case 1: return formatDate(serial, QStringLiteral("dddd, mmmm d, yyyy"));
    case 2: return formatDate(serial, QStringLiteral("m/d/yyyy"));
    case 3: return formatDate(serial, QStringLiteral("h:nn:ss AM/PM"));
    case 4: return formatDate(serial, QStringLiteral("hh:nn"));
    default: return QString();
    }
}

} // namespace platform::jet
