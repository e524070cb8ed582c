#include "platform/db/jet/JetBuiltins.h"

#include "platform/Clock.h"
#include "platform/db/jet/JetArgs.h"
#include "platform/db/jet/JetCollation.h"
#include "platform/db/jet/JetDates.h"
#include "platform/db/jet/JetErrors.h"
#include "platform/db/jet/JetFormat.h"
#include "platform/db/jet/JetValueText.h"

#include <sqlite3.h>

#include <QtCore/QDateTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

// Each registered function treats Null as Jet does: a Null argument gives Null
// (the conversions and text functions included, where VBA would stop), the
// Is... tests give False. Text where a number is needed must read as one
// (3464); an argument outside a function's domain (Sqr(-1), Chr(300),
// MonthName(13)) is 5, "Invalid procedure call or argument."; a result
// outside a type's range 3349. Text comparisons (InStr, InStrRev, Replace,
// StrComp) ignore case unless their compare argument is 0 (binary), as the
// desktop database compares text in its queries.
namespace platform::jet {
namespace {

bool isNull(sqlite3_value *v)
{
    return sqlite3_value_type(v) == SQLITE_NULL;
}

QString textOf(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return numberText(sqlite3_value_double(v), FieldType::Double);
    default: return storedText(v);
    }
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

void resultNumber(sqlite3_context *ctx, double x)
{
    if (!std::isfinite(x)) {
        resultError(ctx, ErrNumericOverflow);
        return;
    }
    sqlite3_result_double(ctx, x);
}

// A whole number (rounded, ties to even) within the 32-bit range.
bool wholeNumber(sqlite3_context *ctx, sqlite3_value *v, qint64 &out)
{
    double x = 0;
    if (!numberArg(ctx, v, x))
        return false;
    const double r = roundHalfEven(x);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) {
        resultError(ctx, ErrNumericOverflow);
        return false;
    }
    out = qint64(r);
    return true;
}

// An optional whole-number argument: its value, or def when absent.
bool optionalWhole(sqlite3_context *ctx, int argc, sqlite3_value **argv, int index, qint64 def, qint64 &out)
{
    out = def;
    if (index >= argc || isNull(argv[index]))
        return true;
    return wholeNumber(ctx, argv[index], out);
}

// A date serial: a number within Jet's dates (1/1/100 to 12/31/9999), or
// text read as a date (month first).
bool serial(sqlite3_context *ctx, sqlite3_value *v, double &out)
{
    return serialArg(ctx, v, out);
}

FieldType typeCode(int argc, sqlite3_value **argv)
{
    return FieldType(sqlite3_value_int(argv[argc - 1]));
}

// ------------------------------------------------------------------ numbers

using MathFn = double (*)(double);

template<MathFn Fn, int Domain>
void mathFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double x = 0;
    if (!numberArg(ctx, argv[0], x))
        return;
    // Domain 1: x >= 0 (Sqr); 2: x > 0 (Log).
    if ((Domain == 1 && x < 0) || (Domain == 2 && x <= 0)) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    resultNumber(ctx, Fn(x));
}

double sqrtOf(double x) { return std::sqrt(x); }
double expOf(double x) { return std::exp(x); }
double logOf(double x) { return std::log(x); }
double sinOf(double x) { return std::sin(x); }
double cosOf(double x) { return std::cos(x); }
double tanOf(double x) { return std::tan(x); }
double atnOf(double x) { return std::atan(x); }

void jetAbs(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL: sqlite3_result_null(ctx); return;
    case SQLITE_INTEGER: {
        const sqlite3_int64 n = sqlite3_value_int64(argv[0]);
        if (n == std::numeric_limits<sqlite3_int64>::min())
            resultError(ctx, ErrNumericOverflow);
        else
            sqlite3_result_int64(ctx, n < 0 ? -n : n);
        return;
    }
    default: {
        double x = 0;
        if (numberArg(ctx, argv[0], x))
            sqlite3_result_double(ctx, std::fabs(x));
    }
    }
}

void jetSgn(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double x = 0;
    if (numberArg(ctx, argv[0], x))
        sqlite3_result_int(ctx, x > 0 ? 1 : x < 0 ? -1 : 0);
}

void jetRound(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 digits = 0;
    if (!optionalWhole(ctx, argc, argv, 1, 0, digits))
        return;
    if (digits < 0 || digits > 22) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    double x = 0;
    if (numberArg(ctx, argv[0], x))
        resultNumber(ctx, roundDecimal(x, int(digits)));
}

// Rnd: the generator of the desktop database's expression service, a
// 24-bit linear congruential sequence. Rnd(0) repeats the last number; a
// negative argument restarts the sequence from that number.
struct RandomState
{
    quint32 seed = 327680;
};

RandomState &randomState()
{
    static thread_local RandomState state;
    return state;
}

void jetRnd(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    RandomState &state = randomState();
    double x = 1;
    if (argc > 0) {
        if (isNull(argv[0])) {
            sqlite3_result_null(ctx);
            return;
        }
        if (!numberArg(ctx, argv[0], x))
            return;
    }
    if (x < 0) {
        const float f = float(x);
        quint32 bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        state.seed = ((bits & 0xFFFFFFu) + (bits >> 24)) & 0xFFFFFFu;
    }
    if (x != 0)
        state.seed = quint32((quint64(state.seed) * 1140671485u + 12820163u) & 0xFFFFFFu);
    sqlite3_result_double(ctx, double(float(double(state.seed) / 16777216.0)));
}

// ------------------------------------------------------------------ conversions

void jetCBool(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        const QString s = textOf(argv[0]).trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
            sqlite3_result_int(ctx, -1);
            return;
        }
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            sqlite3_result_int(ctx, 0);
            return;
        }
    }
    double x = 0;
    if (numberArg(ctx, argv[0], x))
        sqlite3_result_int(ctx, x != 0 ? -1 : 0);
}

void jetCDate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double d = 0;
    if (serial(ctx, argv[0], d))
        sqlite3_result_double(ctx, d);
}

void jetVal(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_double(ctx, valOf(textOf(argv[0])));
}

// Str: the number's text with a leading blank when it is not negative.
void jetStr(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const FieldType type = typeCode(argc, argv);
    if (type == FieldType::Date || isTextType(type) || sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        if (type == FieldType::Date) {
            resultText(ctx, valueText(valueOf(argv[0]), type));
            return;
        }
        const auto n = parseNumber(textOf(argv[0]));
        if (!n) {
            resultError(ctx, ErrTypeMismatch);
            return;
        }
        resultText(ctx, (*n >= 0 ? QStringLiteral(" ") : QString()) + numberText(*n, FieldType::Double));
        return;
    }
    double x = 0;
    if (!numberArg(ctx, argv[0], x))
        return;
    const QString text = type == FieldType::Boolean ? (x != 0 ? QStringLiteral("True") : QStringLiteral("False"))
                                                   : valueText(valueOf(argv[0]), type);
    resultText(ctx, (x >= 0 && type != FieldType::Boolean ? QStringLiteral(" ") : QString()) + text);
}

template<int Radix>
void jetRadix(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double x = 0;
    if (!numberArg(ctx, argv[0], x))
        return;
    const auto text = radixText(roundHalfEven(x), Radix);
    if (!text) {
        resultError(ctx, ErrNumericOverflow);
        return;
    }
    resultText(ctx, *text);
}

// Windows-1252 codes 128-159 and their characters (Asc and Chr).
const char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int ansiCode(char32_t c)
{
    if (c < 128 || (c >= 160 && c <= 255))
        return int(c);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c)
            return 128 + i;
    }
    return '?';
}

template<bool Wide>
void jetAsc(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = textOf(argv[0]);
    if (s.isEmpty()) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    if (Wide) {
        sqlite3_result_int(ctx, qint16(s[0].unicode()));
        return;
    }
    const char32_t c = s[0].isHighSurrogate() && s.size() > 1 ? QChar::surrogateToUcs4(s[0], s[1]) : s[0].unicode();
    sqlite3_result_int(ctx, ansiCode(c));
}

template<bool Wide>
void jetChr(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 code = 0;
    if (!wholeNumber(ctx, argv[0], code))
        return;
    char16_t unit = 0;
    if (Wide) {
        if (code < -32768 || code > 65535) {
            resultError(ctx, ErrInvalidCall);
            return;
        }
        unit = char16_t(code < 0 ? code + 65536 : code);
    } else {
        if (code < 0 || code > 255) {
            resultError(ctx, ErrInvalidCall);
            return;
        }
        unit = code >= 128 && code < 160 ? kCp1252High[code - 128] : char16_t(code);
    }
    resultText(ctx, QString(QChar(unit)));
}

// ------------------------------------------------------------------ text

// Text comparison: case-insensitive (1, the default) or binary (0).
bool binaryCompare(sqlite3_context *ctx, int argc, sqlite3_value **argv, int index, bool &binary)
{
    qint64 mode = 1;
    if (!optionalWhole(ctx, argc, argv, index, 1, mode))
        return false;
    if (mode < -1 || mode > 2) {
        resultError(ctx, ErrInvalidCall);
        return false;
    }
    binary = mode == 0;
    return true;
}

std::u32string pointsOf(const QString &s, bool fold)
{
    return fold ? foldedCodePoints(s) : s.toStdU32String();
}

// InStr(start, s, t, compare) with all four arguments.
void jetInStr4(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(3, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 start = 1;
    bool binary = false;
    if (!wholeNumber(ctx, argv[0], start) || !binaryCompare(ctx, argc, argv, 3, binary))
        return;
    if (start < 1) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    const std::u32string hay = pointsOf(textOf(argv[1]), !binary);
    const std::u32string needle = pointsOf(textOf(argv[2]), !binary);
    if (size_t(start) > hay.size() + (needle.empty() ? 1 : 0)) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const size_t at = hay.find(needle, size_t(start - 1));
    sqlite3_result_int64(ctx, at == std::u32string::npos ? 0 : sqlite3_int64(at + 1));
}

// InStrRev(s, t[, start[, compare]]): the last match ending at or before start (-1: the end).
void jetInStrRev(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 start = -1;
    bool binary = false;
    if (!optionalWhole(ctx, argc, argv, 2, -1, start) || !binaryCompare(ctx, argc, argv, 3, binary))
        return;
    if (start == 0 || start < -1) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    const std::u32string hay = pointsOf(textOf(argv[0]), !binary);
    const std::u32string needle = pointsOf(textOf(argv[1]), !binary);
    if (start == -1)
        start = qint64(hay.size());
    if (start > qint64(hay.size())) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    if (needle.empty()) {
        sqlite3_result_int64(ctx, start);
        return;
    }
    if (qint64(needle.size()) > start) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const size_t at = hay.rfind(needle, size_t(start) - needle.size());
    sqlite3_result_int64(ctx, at == std::u32string::npos ? 0 : sqlite3_int64(at + 1));
}

template<int Kind>
void jetCase(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = textOf(argv[0]);
    resultText(ctx, Kind == 0 ? s.toLower() : s.toUpper());
}

// Trim, LTrim, RTrim remove blanks (spaces) only.
template<bool Left, bool Right>
void jetTrim(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = textOf(argv[0]);
    qsizetype from = 0;
    qsizetype to = s.size();
    while (Left && from < to && s[from] == QLatin1Char(' '))
        ++from;
    while (Right && to > from && s[to - 1] == QLatin1Char(' '))
        --to;
    resultText(ctx, s.mid(from, to - from));
}

constexpr qint64 kMaxText = 65535;

void jetSpace(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 n = 0;
    if (!wholeNumber(ctx, argv[0], n))
        return;
    if (n < 0 || n > kMaxText) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    resultText(ctx, QString(qsizetype(n), QLatin1Char(' ')));
}

// String(n, c): c a character code or a text whose first character repeats.
void jetString(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (anyNull(2, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 n = 0;
    if (!wholeNumber(ctx, argv[0], n))
        return;
    if (n < 0 || n > kMaxText) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    QChar c;
    if (sqlite3_value_type(argv[1]) == SQLITE_TEXT) {
        const QString s = textOf(argv[1]);
        if (s.isEmpty()) {
            resultError(ctx, ErrInvalidCall);
            return;
        }
        c = s[0];
    } else {
        qint64 code = 0;
        if (!wholeNumber(ctx, argv[1], code))
            return;
        code %= 256;
        if (code < 0)
            code += 256;
        c = code >= 128 && code < 160 ? QChar(kCp1252High[code - 128]) : QChar(char16_t(code));
    }
    resultText(ctx, QString(qsizetype(n), c));
}

// Replace(s, find, with[, start[, count[, compare]]]): the text from start on
// with up to count matches (-1: all) replaced.
void jetReplace(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 start = 1;
    qint64 count = -1;
    bool binary = false;
    if (!optionalWhole(ctx, argc, argv, 3, 1, start) || !optionalWhole(ctx, argc, argv, 4, -1, count)
        || !binaryCompare(ctx, argc, argv, 5, binary))
        return;
    if (start < 1 || count < -1) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    const QString s = textOf(argv[0]);
    const QString find = textOf(argv[1]);
    const QString with = textOf(argv[2]);
    if (start > s.size()) {
        resultText(ctx, QString());
        return;
    }
    const QString tail = s.mid(start - 1);
    if (find.isEmpty() || count == 0) {
        resultText(ctx, tail);
        return;
    }
    const Qt::CaseSensitivity cs = binary ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QString out;
    qsizetype from = 0;
    qint64 done = 0;
    while (count < 0 || done < count) {
        const qsizetype at = tail.indexOf(find, from, cs);
        if (at < 0)
            break;
        out += tail.mid(from, at - from);
        out += with;
        from = at + find.size();
        ++done;
    }
    out += tail.mid(from);
    resultText(ctx, out);
}

void jetStrComp(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(2, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    bool binary = false;
    if (!binaryCompare(ctx, argc, argv, 2, binary))
        return;
    const std::u32string a = pointsOf(textOf(argv[0]), !binary);
    const std::u32string b = pointsOf(textOf(argv[1]), !binary);
    const int c = a.compare(b);
    sqlite3_result_int(ctx, c < 0 ? -1 : c > 0 ? 1 : 0);
}

// StrConv(s, conversion): 1 upper case, 2 lower case, 3 proper case (the
// first letter of every word upper, the rest lower).
void jetStrConv(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (anyNull(2, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 mode = 0;
    if (!wholeNumber(ctx, argv[1], mode))
        return;
    const QString s = textOf(argv[0]);
    switch (mode) {
    case 1: resultText(ctx, s.toUpper()); return;
    case 2: resultText(ctx, s.toLower()); return;
    case 3: {
        QString out = s.toLower();
        bool wordStart = true;
        for (qsizetype i = 0; i < out.size(); ++i) {
            const QChar c = out[i];
            const bool separator = c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
                || c == QLatin1Char('\r') || c == QLatin1Char('\f') || c == QLatin1Char('\v') || c.unicode() == 0;
            if (wordStart && !separator)
                out[i] = c.toUpper();
            wordStart = separator;
        }
        resultText(ctx, out);
        return;
    }
    default: resultError(ctx, ErrInvalidCall); return;
    }
}

void jetStrReverse(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    std::u32string points = textOf(argv[0]).toStdU32String();
    std::reverse(points.begin(), points.end());
    resultText(ctx, QString::fromStdU32String(points));
}

// ------------------------------------------------------------------ dates

void jetNow(sqlite3_context *ctx, int, sqlite3_value **)
{
    const QDateTime now = Clock::now();
    const QDate d = now.date();
    const QTime t = now.time();
    const auto s = dateSerial(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
    sqlite3_result_double(ctx, s ? *s : 0.0);
}

void jetTime(sqlite3_context *ctx, int, sqlite3_value **)
{
    const QTime t = Clock::now().time();
    sqlite3_result_double(ctx, (t.hour() * 3600 + t.minute() * 60 + t.second()) / 86400.0);
}

template<int Part>
void jetDatePiece(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double d = 0;
    if (!serial(ctx, argv[0], d))
        return;
    const DateParts p = dateParts(d);
    const int values[] = {p.day, p.month, p.hour, p.minute, p.second};
    sqlite3_result_int(ctx, values[Part]);
}

// An optional code argument from 0 to its highest; 0 and a missing one mean 1.
bool codeArg(sqlite3_context *ctx, int argc, sqlite3_value **argv, int index, int highest, int &out)
{
    qint64 v = 1;
    if (!optionalWhole(ctx, argc, argv, index, 1, v))
        return false;
    if (v < 0 || v > highest) {
        resultError(ctx, ErrInvalidCall);
        return false;
    }
    out = v == 0 ? 1 : int(v);
    return true;
}

// The first day of the week (1 Sunday ... 7 Saturday) and the first week of
// the year (1 the week of January 1 ... 3 the first full week).
bool firstDayArg(sqlite3_context *ctx, int argc, sqlite3_value **argv, int index, int &out)
{
    return codeArg(ctx, argc, argv, index, 7, out);
}

bool firstWeekArg(sqlite3_context *ctx, int argc, sqlite3_value **argv, int index, int &out)
{
    return codeArg(ctx, argc, argv, index, 3, out);
}

void jetWeekday(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double d = 0;
    int firstDay = 1;
    if (!serial(ctx, argv[0], d) || !firstDayArg(ctx, argc, argv, 1, firstDay))
        return;
    sqlite3_result_int(ctx, weekdayOf(dayNumber(d), firstDay));
}

const char *const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char *const kMonthNames[] = {"January", "February", "March", "April", "May", "June", "July",
                                   "August", "September", "October", "November", "December"};

bool abbreviateArg(sqlite3_context *ctx, int argc, sqlite3_value **argv, int index, bool &out)
{
    double v = 0;
    out = false;
    if (index >= argc || isNull(argv[index]))
        return true;
    if (!numberArg(ctx, argv[index], v))
        return false;
    out = v != 0;
    return true;
}

// WeekdayName(n[, abbreviate[, firstday]]): n counts from firstday (Sunday).
void jetWeekdayName(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 n = 0;
    bool abbreviate = false;
    int firstDay = 1;
    if (!wholeNumber(ctx, argv[0], n) || !abbreviateArg(ctx, argc, argv, 1, abbreviate)
        || !firstDayArg(ctx, argc, argv, 2, firstDay))
        return;
    if (n < 1 || n > 7) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    const QString name = QString::fromLatin1(kDayNames[(n - 1 + firstDay - 1) % 7]);
    resultText(ctx, abbreviate ? name.left(3) : name);
}

void jetMonthName(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 n = 0;
    bool abbreviate = false;
    if (!wholeNumber(ctx, argv[0], n) || !abbreviateArg(ctx, argc, argv, 1, abbreviate))
        return;
    if (n < 1 || n > 12) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    const QString name = QString::fromLatin1(kMonthNames[n - 1]);
    resultText(ctx, abbreviate ? name.left(3) : name);
}

// An interval argument ('d', 'yyyy', ...) read without a heap copy when it is
// a short ASCII text, as it is row after row.
QStringView intervalOf(sqlite3_value *v, char16_t (&buffer)[8], QString &heap)
{
    if (sqlite3_value_type(v) == SQLITE_TEXT) {
        const unsigned char *p = sqlite3_value_text(v);
        const int n = sqlite3_value_bytes(v);
        bool ascii = n <= 8;
        for (int i = 0; ascii && i < n; ++i) {
            ascii = p[i] < 128;
            buffer[i] = char16_t(p[i]);
        }
        if (ascii)
            return QStringView(buffer, n);
    }
    heap = textOf(v);
    return heap;
}

void jetDatePart(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(2, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    double d = 0;
    int firstDay = 1;
    int firstWeek = 1;
    if (!serial(ctx, argv[1], d) || !firstDayArg(ctx, argc, argv, 2, firstDay) || !firstWeekArg(ctx, argc, argv, 3, firstWeek))
        return;
    char16_t buffer[8];
    QString heap;
    const auto r = datePart(intervalOf(argv[0], buffer, heap), d, firstDay, firstWeek);
    if (!r) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    sqlite3_result_int(ctx, *r);
}

void jetDateDiff(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(3, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    double a = 0;
    double b = 0;
    int firstDay = 1;
    int firstWeek = 1;
    if (!serial(ctx, argv[1], a) || !serial(ctx, argv[2], b) || !firstDayArg(ctx, argc, argv, 3, firstDay)
        || !firstWeekArg(ctx, argc, argv, 4, firstWeek))
        return;
    char16_t buffer[8];
    QString heap;
    const auto r = dateDiff(intervalOf(argv[0], buffer, heap), a, b, firstDay);
    if (!r) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    sqlite3_result_int64(ctx, *r);
}

// DateSerial and TimeSerial: three numbers carried into one date serial.
template <auto carry>
void jetSerialOfThree(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (anyNull(3, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    double a = 0, b = 0, c = 0;
    if (!numberArg(ctx, argv[0], a) || !numberArg(ctx, argv[1], b) || !numberArg(ctx, argv[2], c))
        return;
    const auto r = carry(a, b, c);
    if (!r) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    sqlite3_result_double(ctx, *r);
}

void jetDateSerial(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    jetSerialOfThree<dateSerialCarry>(ctx, argc, argv);
}

void jetTimeSerial(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    jetSerialOfThree<timeSerialCarry>(ctx, argc, argv);
}

void jetTimeValue(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double d = 0;
    if (!serial(ctx, argv[0], d))
        return;
    const DateParts p = dateParts(d);
    sqlite3_result_double(ctx, (p.hour * 3600 + p.minute * 60 + p.second) / 86400.0);
}

// IsDate: a Date value, or text that reads as a date.
void jetIsDate(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    if (typeCode(argc, argv) == FieldType::Date) {
        sqlite3_result_int(ctx, -1);
        return;
    }
    const bool date = sqlite3_value_type(argv[0]) == SQLITE_TEXT && parseDateText(textOf(argv[0])).has_value();
    sqlite3_result_int(ctx, date ? -1 : 0);
}

// IsNumeric: a number or Yes/No, or text that reads as a number.
void jetIsNumeric(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const FieldType type = typeCode(argc, argv);
    bool numeric = false;
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        const QString s = textOf(argv[0]).trimmed();
        numeric = parseNumber(s).has_value()
            || (s.size() > 2 && s[0] == QLatin1Char('&') && (s[1].toUpper() == QLatin1Char('H') || s[1].toUpper() == QLatin1Char('O'))
                && valOf(s) != 0);
    } else {
        numeric = type != FieldType::Date;
    }
    sqlite3_result_int(ctx, numeric ? -1 : 0);
}

// Choose's index: rounded, ties to even; Null when not a number in range.
void jetIndex(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double x = 0;
    if (!numberArg(ctx, argv[0], x))
        return;
    const double r = roundHalfEven(x);
    if (r >= 1 && r <= 1000)
        sqlite3_result_int(ctx, int(r));
    else
        sqlite3_result_null(ctx);
}

// ------------------------------------------------------------------ formatting

template<NumberStyle Style>
void jetFormatStyle(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double x = 0;
    qint64 digits = -1, lead = -2, parens = -2, group = -2;
    if (!numberArg(ctx, argv[0], x) || !optionalWhole(ctx, argc, argv, 1, -1, digits)
        || !optionalWhole(ctx, argc, argv, 2, -2, lead) || !optionalWhole(ctx, argc, argv, 3, -2, parens)
        || !optionalWhole(ctx, argc, argv, 4, -2, group))
        return;
    if (digits < -1 || digits > 99) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    if (!std::isfinite(x)) {
        resultError(ctx, ErrNumericOverflow);
        return;
    }
    resultText(ctx, formatNumberStyle(x, Style, int(digits), int(lead), int(parens), int(group)));
}

void jetFormatDateTime(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double d = 0;
    qint64 named = 0;
    if (!serial(ctx, argv[0], d) || !optionalWhole(ctx, argc, argv, 1, 0, named))
        return;
    const QString text = formatDateTimeNamed(d, int(named));
    if (text.isNull()) {
        resultError(ctx, ErrInvalidCall);
        return;
    }
    resultText(ctx, text);
}

// ------------------------------------------------------------------ aggregates

// Running mean and sum of squared deviations (Welford), exact enough for
// the sample (StDev, Var) and population (StDevP, VarP) forms.
struct Spread
{
    sqlite3_int64 count;
    double mean;
    double squares;
};

void spreadStep(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return;
    auto *acc = static_cast<Spread *>(sqlite3_aggregate_context(ctx, sizeof(Spread)));
    if (!acc)
        return;
    double x = 0;
    if (!numberArg(ctx, argv[0], x))
        return;
    acc->count += 1;
    const double delta = x - acc->mean;
    acc->mean += delta / double(acc->count);
    acc->squares += delta * (x - acc->mean);
}

template<bool Population, bool Root>
void spreadFinal(sqlite3_context *ctx)
{
    auto *acc = static_cast<Spread *>(sqlite3_aggregate_context(ctx, 0));
    const sqlite3_int64 n = acc ? acc->count : 0;
    if (n < (Population ? 1 : 2)) {
        sqlite3_result_null(ctx);
        return;
    }
    const double variance = std::max(0.0, acc->squares / double(Population ? n : n - 1));
    sqlite3_result_double(ctx, Root ? std::sqrt(variance) : variance);
}

// ------------------------------------------------------------------ the table

using F = FieldType;
using R = ResultRule;

const BuiltinFunction kBuiltins[] = {
    // numbers
    {"abs", 1, 1, "jet_abs", R::FirstNumeric, F::Double, 0, false},
    {"sgn", 1, 1, "jet_sgn", R::Fixed, F::Integer, 0, false},
    {"round", 1, 2, "jet_round", R::FirstNumeric, F::Double, 0, false},
    {"sqr", 1, 1, "jet_sqr", R::Fixed, F::Double, 0, false},
    {"exp", 1, 1, "jet_exp", R::Fixed, F::Double, 0, false},
    {"log", 1, 1, "jet_log", R::Fixed, F::Double, 0, false},
    {"sin", 1, 1, "jet_sin", R::Fixed, F::Double, 0, false},
    {"cos", 1, 1, "jet_cos", R::Fixed, F::Double, 0, false},
    {"tan", 1, 1, "jet_tan", R::Fixed, F::Double, 0, false},
    {"atn", 1, 1, "jet_atn", R::Fixed, F::Double, 0, false},
    {"rnd", 0, 1, "jet_rnd", R::Fixed, F::Single, 0, false},
    // conversions
    {"cbool", 1, 1, "jet_cbool", R::Fixed, F::Boolean, 0, false},
    {"cdate", 1, 1, "jet_cdate", R::Fixed, F::Date, 0, false},
    {"cvdate", 1, 1, "jet_cdate", R::Fixed, F::Date, 0, false},
    {"val", 1, 1, "jet_val", R::Fixed, F::Double, 1, false},
    {"str", 1, 1, "jet_str", R::Fixed, F::Text, 0, true},
    {"hex", 1, 1, "jet_hex", R::Fixed, F::Text, 0, false},
    {"oct", 1, 1, "jet_oct", R::Fixed, F::Text, 0, false},
    {"asc", 1, 1, "jet_asc", R::Fixed, F::Integer, 1, false},
    {"ascw", 1, 1, "jet_ascw", R::Fixed, F::Integer, 1, false},
    {"chr", 1, 1, "jet_chr", R::Fixed, F::Text, 0, false},
    {"chrw", 1, 1, "jet_chrw", R::Fixed, F::Text, 0, false},
    // text
    {"instrrev", 2, 4, "jet_instrrev", R::Fixed, F::Long, 3, false},
    {"lcase", 1, 1, "jet_lcase", R::Fixed, F::Text, 1, false},
    {"ucase", 1, 1, "jet_ucase", R::Fixed, F::Text, 1, false},
    {"ltrim", 1, 1, "jet_ltrim", R::Fixed, F::Text, 1, false},
    {"rtrim", 1, 1, "jet_rtrim", R::Fixed, F::Text, 1, false},
    {"trim", 1, 1, "jet_trim", R::Fixed, F::Text, 1, false},
    {"space", 1, 1, "jet_space", R::Fixed, F::Text, 0, false},
    {"string", 2, 2, "jet_string", R::Fixed, F::Text, 0, false},
    {"replace", 3, 6, "jet_replace", R::Fixed, F::Text, 7, false},
    {"strcomp", 2, 3, "jet_strcomp", R::Fixed, F::Integer, 3, false},
    {"strconv", 2, 3, "jet_strconv", R::Fixed, F::Text, 1, false},
    {"strreverse", 1, 1, "jet_strreverse", R::Fixed, F::Text, 1, false},
    // dates and times
    {"now", 0, 0, "jet_now", R::Fixed, F::Date, 0, false},
    {"time", 0, 0, "jet_time", R::Fixed, F::Date, 0, false},
    {"day", 1, 1, "jet_day", R::Fixed, F::Integer, 0, false},
    {"month", 1, 1, "jet_month", R::Fixed, F::Integer, 0, false},
    {"hour", 1, 1, "jet_hour", R::Fixed, F::Integer, 0, false},
    {"minute", 1, 1, "jet_minute", R::Fixed, F::Integer, 0, false},
    {"second", 1, 1, "jet_second", R::Fixed, F::Integer, 0, false},
    {"weekday", 1, 2, "jet_weekday", R::Fixed, F::Integer, 0, false},
    {"weekdayname", 1, 3, "jet_weekdayname", R::Fixed, F::Text, 0, false},
    {"monthname", 1, 2, "jet_monthname", R::Fixed, F::Text, 0, false},
    {"datepart", 2, 4, "jet_datepart", R::Fixed, F::Integer, 1, false},
    {"datediff", 3, 5, "jet_datediff", R::Fixed, F::Long, 1, false},
    {"dateserial", 3, 3, "jet_dateserial", R::Fixed, F::Date, 0, false},
    {"timeserial", 3, 3, "jet_timeserial", R::Fixed, F::Date, 0, false},
    {"timevalue", 1, 1, "jet_timevalue", R::Fixed, F::Date, 0, false},
    {"isdate", 1, 1, "jet_isdate", R::Fixed, F::Boolean, 0, true},
    {"isnumeric", 1, 1, "jet_isnumeric", R::Fixed, F::Boolean, 0, true},
    // formatting
    {"formatnumber", 1, 5, "jet_formatnumber", R::Fixed, F::Text, 0, false},
    {"formatcurrency", 1, 5, "jet_formatcurrency", R::Fixed, F::Text, 0, false},
    {"formatpercent", 1, 5, "jet_formatpercent", R::Fixed, F::Text, 0, false},
    {"formatdatetime", 1, 2, "jet_formatdatetime", R::Fixed, F::Text, 0, false},
    {"cvar", 1, 1, "", R::FirstArg, F::Empty, 0, false},
};

} // namespace

const BuiltinFunction *findBuiltin(const QString &name)
{
    const QString lower = name.toLower();
    for (const BuiltinFunction &f : kBuiltins) {
        if (lower == QLatin1String(f.name))
            return &f;
    }
    return nullptr;
}

void registerBuiltinFunctions(sqlite3 *db)
{
    struct Scalar
    {
        const char *name;
        void (*fn)(sqlite3_context *, int, sqlite3_value **);
        bool deterministic;
    };
    static const Scalar scalars[] = {
        {"jet_abs", jetAbs, true},
        {"jet_sgn", jetSgn, true},
        {"jet_round", jetRound, true},
        {"jet_sqr", mathFunction<sqrtOf, 1>, true},
        {"jet_exp", mathFunction<expOf, 0>, true},
        {"jet_log", mathFunction<logOf, 2>, true},
        {"jet_sin", mathFunction<sinOf, 0>, true},
        {"jet_cos", mathFunction<cosOf, 0>, true},
        {"jet_tan", mathFunction<tanOf, 0>, true},
        {"jet_atn", mathFunction<atnOf, 0>, true},
        {"jet_rnd", jetRnd, false},
        {"jet_cbool", jetCBool, true},
        {"jet_cdate", jetCDate, true},
        {"jet_val", jetVal, true},
        {"jet_str", jetStr, true},
        {"jet_hex", jetRadix<16>, true},
        {"jet_oct", jetRadix<8>, true},
        {"jet_asc", jetAsc<false>, true},
        {"jet_ascw", jetAsc<true>, true},
        {"jet_chr", jetChr<false>, true},
        {"jet_chrw", jetChr<true>, true},
        {"jet_instr4", jetInStr4, true},
        {"jet_instrrev", jetInStrRev, true},
        {"jet_lcase", jetCase<0>, true},
        {"jet_ucase", jetCase<1>, true},
        {"jet_ltrim", jetTrim<true, false>, true},
        {"jet_rtrim", jetTrim<false, true>, true},
        {"jet_trim", jetTrim<true, true>, true},
        {"jet_space", jetSpace, true},
        {"jet_string", jetString, true},
        {"jet_replace", jetReplace, true},
        {"jet_strcomp", jetStrComp, true},
        {"jet_strconv", jetStrConv, true},
        {"jet_strreverse", jetStrReverse, true},
        {"jet_now", jetNow, false},
        {"jet_time", jetTime, false},
        {"jet_day", jetDatePiece<0>, true},
        {"jet_month", jetDatePiece<1>, true},
        {"jet_hour", jetDatePiece<2>, true},
        {"jet_minute", jetDatePiece<3>, true},
        {"jet_second", jetDatePiece<4>, true},
        {"jet_weekday", jetWeekday, true},
        {"jet_weekdayname", jetWeekdayName, true},
        {"jet_monthname", jetMonthName, true},
        {"jet_datepart", jetDatePart, true},
        {"jet_datediff", jetDateDiff, true},
        {"jet_dateserial", jetDateSerial, true},
        {"jet_timeserial", jetTimeSerial, true},
        {"jet_timevalue", jetTimeValue, true},
        {"jet_isdate", jetIsDate, true},
        {"jet_isnumeric", jetIsNumeric, true},
        {"jet_index", jetIndex, true},
        {"jet_formatnumber", jetFormatStyle<NumberStyle::Number>, true},
        {"jet_formatcurrency", jetFormatStyle<NumberStyle::Currency>, true},
        {"jet_formatpercent", jetFormatStyle<NumberStyle::Percent>, true},
        {"jet_formatdatetime", jetFormatDateTime, true},
    };
    for (const Scalar &s : scalars) {
        const int flags = SQLITE_UTF8 | (s.deterministic ? SQLITE_DETERMINISTIC : 0);
        sqlite3_create_function_v2(db, s.name, -1, flags, nullptr, s.fn, nullptr, nullptr, nullptr);
    }
    struct Aggregate
    {
        const char *name;
        void (*final)(sqlite3_context *);
    };
    static const Aggregate aggregates[] = {
        {"jet_stdev", spreadFinal<false, true>},
        {"jet_stdevp", spreadFinal<true, true>},
        {"jet_var", spreadFinal<false, false>},
        {"jet_varp", spreadFinal<true, false>},
    };
    for (const Aggregate &a : aggregates)
        sqlite3_create_function_v2(db, a.name, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr, spreadStep, a.final,
                                   nullptr);
}

} // namespace platform::jet
