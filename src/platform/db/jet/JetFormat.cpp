#include "platform/db/jet/JetFormat.h"

#include "platform/db/jet/JetDates.h"
#include "platform/db/jet/JetValueText.h"

#include <QtCore/QHash>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace platform::jet {
namespace {

const char *const kMonthNames[] = {"January", "February", "March", "April", "May", "June", "July",
                                   "August", "September", "October", "November", "December"};
const char *const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

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
    bool minute = false;   // an "m" or "mm" that stands for minutes
    QByteArray literal8;   // the literal in UTF-8
};

QList<DateToken> tokenizeDatePattern(const QString &pattern, bool &twelveHour)
{
    QList<DateToken> out;
    twelveHour = false;
    auto addLiteral = [&out](const QString &s) {
        if (!out.isEmpty() && out.back().token.isEmpty())
            out.back().literal += s;
        else
            out.append(DateToken{QString(), s, true, false, QByteArray()});
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
            DateToken t{QStringLiteral("ampm"), QString(), pattern[i].isUpper(), false, QByteArray()};
            out.append(t);
            twelveHour = true;
            i += 5;
            continue;
        }
        if (pattern.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            DateToken t{QStringLiteral("ap"), QString(), pattern[i].isUpper(), false, QByteArray()};
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
            out.append(DateToken{pattern.mid(i, j - i).toLower(), QString(), true, false, QByteArray()});
            i = j;
            continue;
        }
        addLiteral(QString(c));
        ++i;
    }
    return out;
}

// "m" and "mm" mean minutes right after an hour or right before seconds.
void resolveMinutes(QList<DateToken> &tokens)
{
    for (qsizetype k = 0; k < tokens.size(); ++k) {
        DateToken &t = tokens[k];
        if (t.token.isEmpty() || t.token[0] != QLatin1Char('m') || t.token.size() > 2)
            continue;
        for (qsizetype b = k - 1; b >= 0; --b) {
            if (tokens[b].token.isEmpty())
                continue;
            t.minute = tokens[b].token[0] == QLatin1Char('h');
            break;
        }
        for (qsizetype f = k + 1; !t.minute && f < tokens.size(); ++f) {
            if (tokens[f].token.isEmpty())
                continue;
            t.minute = tokens[f].token[0] == QLatin1Char('s');
            break;
        }
    }
}

void appendNumber(QString &out, int n, int width)
{
    char buffer[16];
    int length = 0;
    unsigned v = unsigned(n < 0 ? -n : n);
    do {
        buffer[length++] = char('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (length < width)
        buffer[length++] = '0';
    if (n < 0)
        out += QLatin1Char('-');
    while (length > 0)
        out += QLatin1Char(buffer[--length]);
}

QString formatDateTokens(double serial, const QList<DateToken> &tokens, bool twelveHour)
{
    const DateParts p = dateParts(serial);
    QString out;
    out.reserve(32);
    for (const DateToken &t : tokens) {
        if (t.token.isEmpty()) {
            out += t.literal;
            continue;
        }
        const QString &tok = t.token;
        const qsizetype n = tok.size();
        switch (tok[0].unicode()) {
        case 'm':
            if (n <= 2)
                appendNumber(out, t.minute ? p.minute : p.month, int(n));
            else
                out += n == 3 ? QString::fromLatin1(kMonthNames[p.month - 1]).left(3) : QString::fromLatin1(kMonthNames[p.month - 1]);
            break;
        case 'd':
            switch (n) {
            case 1:
            case 2: appendNumber(out, p.day, int(n)); break;
            case 3: out += QString::fromLatin1(kDayNames[p.dayOfWeek - 1]).left(3); break;
            case 4: out += QString::fromLatin1(kDayNames[p.dayOfWeek - 1]); break;
            case 6:
                out += QString::fromLatin1(kDayNames[p.dayOfWeek - 1]) + QStringLiteral(", ")
                    + QString::fromLatin1(kMonthNames[p.month - 1]) + QLatin1Char(' ');
                appendNumber(out, p.day, 1);
                out += QStringLiteral(", ");
                appendNumber(out, p.year, 4);
                break;
            default:
                appendNumber(out, p.month, 1);
                out += QLatin1Char('/');
                appendNumber(out, p.day, 1);
                out += QLatin1Char('/');
                appendNumber(out, p.year, 4);
                break;
            }
            break;
        case 'y':
            if (n == 1)
                appendNumber(out, p.dayOfYear, 1);
            else if (n == 2)
                appendNumber(out, p.year % 100, 2);
            else
                appendNumber(out, p.year, 4);
            break;
        case 'c':
            out += dateText(serial);
            break;
        case 't':
            if (n >= 5) {
                appendNumber(out, p.hour % 12 == 0 ? 12 : p.hour % 12, 1);
                out += QLatin1Char(':');
                appendNumber(out, p.minute, 2);
                out += QLatin1Char(':');
                appendNumber(out, p.second, 2);
                out += p.hour < 12 ? QLatin1String(" AM") : QLatin1String(" PM");
            } else {
                out += tok;
            }
            break;
        case 'q':
            appendNumber(out, (p.month - 1) / 3 + 1, 1);
            break;
        case 'w':
            appendNumber(out, n == 1 ? p.dayOfWeek : weekOfYear(p), 1);
            break;
        case 'h': {
            int h = p.hour;
            if (twelveHour)
                h = h % 12 == 0 ? 12 : h % 12;
            appendNumber(out, h, n == 1 ? 1 : 2);
            break;
        }
        case 'n':
            appendNumber(out, p.minute, n == 1 ? 1 : 2);
            break;
        case 's':
            appendNumber(out, p.second, n == 1 ? 1 : 2);
            break;
        default:
            if (tok == QLatin1String("ampm")) {
                const QLatin1String s = p.hour < 12 ? QLatin1String("AM") : QLatin1String("PM");
                out += t.upperCaseAmPm ? QString(s) : QString(s).toLower();
            } else if (tok == QLatin1String("ap")) {
                const QLatin1String s = p.hour < 12 ? QLatin1String("A") : QLatin1String("P");
                out += t.upperCaseAmPm ? QString(s) : QString(s).toLower();
            }
            break;
        }
    }
    return out;
}

QString formatDate(double serial, const QString &pattern)
{
    bool twelveHour = false;
    QList<DateToken> tokens = tokenizeDatePattern(pattern, twelveHour);
    resolveMinutes(tokens);
    return formatDateTokens(serial, tokens, twelveHour);
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

// The decimal digits a number holds: those of the shortest text that reads
// back as the same double (2 is "2", never 2.0000000000000020), so nothing
// past them is invented; a Currency value is its four exact decimals. The
// value is |number| = 0.digits x 10^point; no digits for 0.
struct Decimal
{
    std::string digits;
    int point = 0;

    static Decimal of(double value, bool currency)
    {
        Decimal d;
        value = std::fabs(value);
        if (value == 0 || !std::isfinite(value))
            return d;
        char buffer[64];
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
        const std::string_view text(buffer, size_t(written.ptr - buffer));
        const size_t e = text.find('e');
        for (size_t i = 0; i < e; ++i) {
            if (text[i] != '.')
                d.digits += text[i];
        }
        int exponent = 0;
        std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
        d.point = exponent + 1;
        d.trim();
        if (currency)
            d.roundAt(d.point + 4);
        return d;
    }

    // Times 10^n: the point moves, no digit changes.
    void shift(int n)
    {
        if (!digits.empty())
            point += n;
    }

    // Keeps the first `keep` digits, the rest rounded half away from zero.
    void roundAt(int keep)
    {
        if (keep < 0) {
            digits.clear();
            return;
        }
        if (size_t(keep) >= digits.size())
            return;
        const bool up = digits[size_t(keep)] >= '5';
        digits.resize(size_t(keep));
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[size_t(i)] == '9')
                digits[size_t(i--)] = '0';
            if (i >= 0) {
                ++digits[size_t(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++point;
            }
        }
        trim();
    }

    void trim()
    {
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
        size_t lead = 0;
        while (lead < digits.size() && digits[lead] == '0')
            ++lead;
        digits.erase(0, lead);
        point -= int(lead);
        if (digits.empty())
            point = 0;
    }

    // The whole part's digits ("" for none) and `decimals` fraction digits,
    // rounded half away from zero.
    void split(int decimals, QString &whole, QString &fraction) const
    {
        Decimal r = *this;
        r.roundAt(r.point + decimals);
        whole.clear();
        fraction.clear();
        const int n = int(r.digits.size());
        for (int i = 0; i < r.point; ++i)
            whole += QLatin1Char(i < n ? r.digits[size_t(i)] : '0');
        for (int i = r.point; i < r.point + decimals; ++i)
            fraction += QLatin1Char(i >= 0 && i < n ? r.digits[size_t(i)] : '0');
    }
};

QString formatNumberSection(double value, const QString &section, bool withSign, bool currency)
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
    // The digits the value holds, moved by a percent sign or a thousands
    // scale without any arithmetic that could add some.
    Decimal digits = Decimal::of(value, currency);
    if (percent)
        digits.shift(2);
    digits.shift(-3 * std::min(scale, 10));
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
        // The mantissa's placeholders take the leading digits; the exponent
        // says where the point stood.
        const int mantissaDigits = std::max(1, wholePlaceholders);
        if (!digits.digits.empty()) {
            digits.roundAt(mantissaDigits + decimals);
            exponent = digits.point - mantissaDigits;
            digits.point = mantissaDigits;
        }
        minWhole = std::max(minWhole, 1);
    }
    digits.split(decimals, whole, fraction);
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

QString formatNumber(double value, const QString &pattern, bool currency = false)
{
    const QStringList sections = numberSections(pattern);
    auto section = [currency](const QString &sec, double v, bool withSign) {
        return hasDigitPlaceholder(sec) ? formatNumberSection(v, sec, withSign, currency) : literalSection(sec);
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
    // A text past the largest number ("1e999") is formatted as the text.
    if (isTextType(value.type())) {
        const auto number = parseNumber(value.toString());
        return number && std::isfinite(*number) ? number : std::nullopt;
    }
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

// A pattern read once: which named format or kind of pattern it is, its
// sections and, for dates, its tokens.
struct FormatPlan
{
    enum Kind { General, YesNo, TrueFalse, OnOff, GeneralDate, Text, Date, Number, Literal };
    Kind kind = General;
    QString pattern;            // the pattern a named format stands for
    QStringList sections;
    QList<DateToken> tokens;    // Date
    bool twelveHour = false;
    bool numbersOnly = false;   // Date: every token a number (no names, no AM/PM)
};

namespace {

using PreparedPattern = FormatPlan;

// Statements format row after row with the same pattern, so the readings are
// kept (per thread, a few hundred).
std::shared_ptr<const PreparedPattern> preparePattern(const QString &rawPattern)
{
    thread_local QHash<QString, std::shared_ptr<const PreparedPattern>> cache;
    const auto found = cache.constFind(rawPattern);
    if (found != cache.constEnd())
        return found.value();
    auto p = std::make_shared<PreparedPattern>();
    const QString named = rawPattern.trimmed().toLower();
    static const QHash<QString, QString> namedPatterns = {
        {QStringLiteral("short time"), QStringLiteral("hh:nn")},
        {QStringLiteral("medium time"), QStringLiteral("hh:nn AM/PM")},
        {QStringLiteral("long time"), QStringLiteral("h:nn:ss AM/PM")},
        {QStringLiteral("short date"), QStringLiteral("m/d/yyyy")},
        {QStringLiteral("medium date"), QStringLiteral("dd-mmm-yy")},
        {QStringLiteral("long date"), QStringLiteral("dddd, mmmm d, yyyy")},
        {QStringLiteral("fixed"), QStringLiteral("0.00")},
        {QStringLiteral("standard"), QStringLiteral("#,##0.00")},
        {QStringLiteral("percent"), QStringLiteral("0.00%")},
        {QStringLiteral("scientific"), QStringLiteral("0.00E+00")},
        {QStringLiteral("currency"), QStringLiteral("$#,##0.00;($#,##0.00)")},
    };
    p->pattern = namedPatterns.value(named, rawPattern);
    if (named.isEmpty() || named == QLatin1String("general number"))
        p->kind = PreparedPattern::General;
    else if (named == QLatin1String("yes/no"))
        p->kind = PreparedPattern::YesNo;
    else if (named == QLatin1String("true/false"))
        p->kind = PreparedPattern::TrueFalse;
    else if (named == QLatin1String("on/off"))
        p->kind = PreparedPattern::OnOff;
    else if (named == QLatin1String("general date"))
        p->kind = PreparedPattern::GeneralDate;
    else {
        p->sections = numberSections(p->pattern);
        if (isTextPattern(p->sections[0])) {
            p->kind = PreparedPattern::Text;
        } else {
            switch (patternKind(p->pattern)) {
            case PatternKind::Date:
                p->kind = PreparedPattern::Date;
                p->tokens = tokenizeDatePattern(p->pattern, p->twelveHour);
                resolveMinutes(p->tokens);
                p->numbersOnly = true;
                for (DateToken &t : p->tokens) {
                    t.literal8 = t.literal.toUtf8();
                    if (t.token.isEmpty())
                        continue;
                    const char c = char(t.token[0].unicode());
                    const qsizetype n = t.token.size();
                    p->numbersOnly = p->numbersOnly
                        && ((c == 'm' && n <= 2) || (c == 'd' && n <= 2) || c == 'y' || c == 'q' || c == 'w' || c == 'h'
                            || c == 'n' || c == 's');
                }
                break;
            case PatternKind::Number: p->kind = PreparedPattern::Number; break;
            case PatternKind::Literal: p->kind = PreparedPattern::Literal; break;
            }
        }
    }
    if (cache.size() >= 256)
        cache.clear();
    cache.insert(rawPattern, p);
    return p;
}

QString formatNonNull(const Value &value, FieldType type, const PreparedPattern &p)
{
    switch (p.kind) {
    case PreparedPattern::General:
        return valueText(value, type, BooleanText::Word);
    case PreparedPattern::YesNo:
    case PreparedPattern::TrueFalse:
    case PreparedPattern::OnOff: {
        const auto number = numberOf(value, type);
        if (!number)
            return value.toString();
        const bool on = *number != 0;
        if (p.kind == PreparedPattern::YesNo)
            return on ? QStringLiteral("Yes") : QStringLiteral("No");
        if (p.kind == PreparedPattern::TrueFalse)
            return on ? QStringLiteral("True") : QStringLiteral("False");
        return on ? QStringLiteral("On") : QStringLiteral("Off");
    }
    case PreparedPattern::GeneralDate: {
        if (auto s = serialOf(value, type))
            return dateText(*s);
        return value.toString();
    }
    case PreparedPattern::Text: {
        const QString text = valueText(value, type, BooleanText::Word);
        if (text.isEmpty() && p.sections.size() >= 2)
            return literalSection(p.sections[1]);
        return formatText(text, p.sections[0]);
    }
    case PreparedPattern::Date: {
        const auto serial = serialOf(value, type);
        if (!serial)
            return value.toString();
        return formatDateTokens(*serial, p.tokens, p.twelveHour);
    }
    case PreparedPattern::Number: {
        const auto number = numberOf(value, type);
        if (!number)
            return value.toString();
        return formatNumber(*number, p.pattern, type == FieldType::Currency);
    }
    case PreparedPattern::Literal:
        break;
    }
    // No placeholders: the pattern's own text for a number, the value otherwise.
    if (!isTextType(value.type()) || parseNumber(value.toString())) {
        const auto number = numberOf(value, type);
        if (number && !p.pattern.isEmpty())
            return formatNumber(*number, p.pattern, type == FieldType::Currency);
    }
    return valueText(value, type, BooleanText::Word);
}

} // namespace

QString formatValue(const Value &value, FieldType type, const QString &rawPattern)
{
    return formatValue(value, type, *preparePattern(rawPattern));
}

std::shared_ptr<const FormatPlan> prepareFormat(const QString &pattern)
{
    return preparePattern(pattern);
}

namespace {

void appendNumber8(std::string &out, int n, int width)
{
    char buffer[16];
    int length = 0;
    unsigned v = unsigned(n < 0 ? -n : n);
    do {
        buffer[length++] = char('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (length < width)
        buffer[length++] = '0';
    if (n < 0)
        out += '-';
    while (length > 0)
        out += buffer[--length];
}

} // namespace

bool formatDateUtf8(double serial, const FormatPlan &plan, std::string &out)
{
    // Names, general dates and long times take the full way.
    if (plan.kind != FormatPlan::Date || !plan.numbersOnly)
        return false;
    const DateParts p = dateParts(serial);
    for (const DateToken &t : plan.tokens) {
        if (t.token.isEmpty()) {
            out.append(t.literal8.constData(), size_t(t.literal8.size()));
            continue;
        }
        const int n = int(t.token.size());
        switch (t.token[0].unicode()) {
        case 'm': appendNumber8(out, t.minute ? p.minute : p.month, n); break;
        case 'd': appendNumber8(out, p.day, n); break;
        case 'y': appendNumber8(out, n == 1 ? p.dayOfYear : n == 2 ? p.year % 100 : p.year, n == 1 ? 1 : n == 2 ? 2 : 4); break;
        case 'q': appendNumber8(out, (p.month - 1) / 3 + 1, 1); break;
        case 'w': appendNumber8(out, n == 1 ? p.dayOfWeek : weekOfYear(p), 1); break;
        case 'h': {
            int h = p.hour;
            if (plan.twelveHour)
                h = h % 12 == 0 ? 12 : h % 12;
            appendNumber8(out, h, n == 1 ? 1 : 2);
            break;
        }
        case 'n': appendNumber8(out, p.minute, n == 1 ? 1 : 2); break;
        default: appendNumber8(out, p.second, n == 1 ? 1 : 2); break;
        }
    }
    return true;
}

std::optional<double> formattedSerial(const Value &value, FieldType type, const FormatPlan &plan)
{
    if (value.isNull())
        return std::nullopt;
    if (plan.kind == PreparedPattern::Date || plan.kind == PreparedPattern::GeneralDate)
        return serialOf(value, type);
    if (plan.kind == PreparedPattern::General && type == FieldType::Date && !isTextType(value.type()))
        return value.toDouble();
    return std::nullopt;
}

QString formatValue(const Value &value, FieldType type, const FormatPlan &plan)
{
    const FormatPlan *p = &plan;
    if (value.isNull()) {
        // The Null section: the fourth of a number pattern, the second of a text pattern.
        if (p->kind == PreparedPattern::General || p->sections.isEmpty())
            return QString();
        if (p->kind == PreparedPattern::Text && p->sections.size() >= 2)
            return literalSection(p->sections[1]);
        if (p->sections.size() >= 4)
            return literalSection(p->sections[3]);
        return QString();
    }
    // A value always gives a text, if only an empty one (a null text would read as Null).
    const QString text = formatNonNull(value, type, *p);
    return text.isNull() ? QStringLiteral("") : text;
}

namespace {

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
