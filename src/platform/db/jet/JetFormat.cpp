#include "platform/db/jet/JetFormat.h"

#include "platform/db/jet/JetDates.h"
#include "platform/db/jet/JetValueText.h"

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
    case 'd': case 'm': case 'y': case 'h': case 'n': case 's': case 'q': case 'w':
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
    // Read the section: literal pieces and placeholders, split at the decimal point.
    struct Piece { bool placeholder; QChar ch; QString literal; };
    QList<Piece> intPart;
    QList<Piece> fracPart;
    bool point = false;
    bool percent = false;
    bool grouping = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        QList<Piece> &part = point ? fracPart : intPart;
        if (c == QLatin1Char('"')) {
            const qsizetype close = section.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? section.size() : close;
            part.append(Piece{false, QChar(), section.mid(i + 1, end - i - 1)});
            i = end;
        } else if (c == QLatin1Char('\\') && i + 1 < section.size()) {
            part.append(Piece{false, QChar(), QString(section[++i])});
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            part.append(Piece{true, c, QString()});
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else if (c == QLatin1Char(',') && !point) {
            grouping = true;
        } else {
            if (c == QLatin1Char('%'))
                percent = true;
            part.append(Piece{false, QChar(), QString(c)});
        }
    }
    if (percent)
        value *= 100.0;
    int decimals = 0;
    int minDecimals = 0;
    for (const Piece &p : fracPart) {
        if (p.placeholder) {
            ++decimals;
            if (p.ch == QLatin1Char('0'))
                minDecimals = decimals;
        }
    }
    int minWhole = 0;
    int wholePlaceholders = 0;
    bool seenZero = false;
    for (const Piece &p : intPart) {
        if (!p.placeholder)
            continue;
        ++wholePlaceholders;
        if (p.ch == QLatin1Char('0'))
            seenZero = true;
        if (seenZero)
            ++minWhole;
    }
    QString whole;
    QString fraction;
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
        if (!p.placeholder) {
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
                    filled[r] = intPart[r].placeholder ? QString() : intPart[r].literal;
                break;
            }
        } else if (digitIndex > 0) {
            filled[k] = whole.mid(digitIndex - 1, 1);
            --digitIndex;
        }
    }
    out += filled.join(QString());
    if (point) {
        out += QLatin1Char('.');
        qsizetype f = 0;
        for (const Piece &p : fracPart) {
            if (p.placeholder) {
                if (f < fraction.size())
                    out += fraction[f];
                ++f;
            } else {
                out += p.literal;
            }
        }
    }
    return out;
}

QString formatNumber(double value, const QString &pattern)
{
    const QStringList sections = numberSections(pattern);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return formatNumberSection(-value, sections[1], false);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return formatNumberSection(value, sections[2], false);
    return formatNumberSection(value, sections[0], true);
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

QString formatValue(const Value &value, FieldType type, const QString &rawPattern)
{
    if (value.isNull())
        return QString();
    const QString named = rawPattern.trimmed().toLower();
    if (named.isEmpty() || named == QLatin1String("general number"))
        return valueText(value, type, BooleanText::Word);
    QString pattern = rawPattern;
    if (named == QLatin1String("short time"))
        pattern = QStringLiteral("hh:nn");
    else if (named == QLatin1String("long time"))
        pattern = QStringLiteral("h:nn:ss AM/PM");
    else if (named == QLatin1String("short date"))
        pattern = QStringLiteral("m/d/yyyy");
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
    else if (named == QLatin1String("currency"))
        pattern = QStringLiteral("$#,##0.00;($#,##0.00)");

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
    return valueText(value, type, BooleanText::Word);
}

} // namespace platform::jet
