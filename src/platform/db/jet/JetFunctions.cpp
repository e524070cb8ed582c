#include "platform/db/jet/JetTranslator.h"

#include "platform/db/StoredMoney.h"
#include "platform/Clock.h"
#include "platform/Money.h"
#include "platform/db/DbException.h"
#include "platform/db/jet/JetBuiltins.h"
#include "platform/db/jet/JetCollation.h"
#include "platform/db/jet/JetDates.h"
#include "platform/db/jet/JetArgs.h"
#include "platform/db/jet/JetErrors.h"
#include "platform/db/jet/JetFormat.h"
#include "platform/db/jet/JetLikePattern.h"
#include "platform/db/jet/JetValueText.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <string>

// The functions, aggregates and collation the translated statements call.
// Each one treats Null as Jet does and reports Jet's errors as "JET nnnn: text".
namespace platform::jet {
namespace {

FieldType typeArg(sqlite3_value *v)
{
    return FieldType(sqlite3_value_int(v));
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    if (s.isNull()) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

void resultValue(sqlite3_context *ctx, const Value &v)
{
    if (v.isNull()) {
        sqlite3_result_null(ctx);
        return;
    }
    switch (v.type()) {
    case FieldType::Boolean: sqlite3_result_int(ctx, v.toBool() ? -1 : 0); break;
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long: sqlite3_result_int64(ctx, v.toInt64()); break;
    case FieldType::Currency: sqlite3_result_double(ctx, storedReal(v.toMoney())); break;
    case FieldType::Single:
    case FieldType::Double: sqlite3_result_double(ctx, v.toDouble()); break;
    case FieldType::Date: sqlite3_result_double(ctx, v.toDateTime().toOle()); break;
    default: resultText(ctx, v.toString()); break;
    }
}

// An amount as a count of ten-thousandths, exactly: an integer is whole
// currency units, a REAL a stored amount (Money::fromStoredReal), a text a
// number. False when the result is already given: 3349 beyond the currency
// range, 3464 for text that is no number.
bool unitsArg(sqlite3_context *ctx, sqlite3_value *v, __int128 &units)
{
    if (sqlite3_value_type(v) == SQLITE_INTEGER) {
        units = __int128(sqlite3_value_int64(v)) * Money::kUnitsPerWhole;
        return true;
    }
    if (sqlite3_value_type(v) == SQLITE_TEXT) {
        const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)));
        // A plain decimal beyond the range is refused, not taken as the end.
        if (const std::optional<Money> exact = moneyFromDecimalText(text); exact && !exact->isValid()) {
            resultError(ctx, ErrNumericOverflow);
            return false;
        }
        const Money m = Money::fromText(text);
        if (m.isValid()) {
            units = m.units();
            return true;
        }
    }
    double x = 0;
    if (!numberArg(ctx, v, x))
        return false;
    const Money m = moneyFromStoredReal(x);
    if (!m.isValid()) {
        resultError(ctx, ErrNumericOverflow);
        return false;
    }
    units = m.units();
    return true;
}

bool inCurrencyRange(__int128 units)
{
    return units >= std::numeric_limits<std::int64_t>::min() && units <= std::numeric_limits<std::int64_t>::max();
}

// An amount as SQL carries it: its count of ten-thousandths over 10,000, as
// stored; 3349 when it leaves the currency range.
void resultUnits(sqlite3_context *ctx, __int128 units)
{
    if (!inCurrencyRange(units)) {
        resultError(ctx, ErrNumericOverflow);
        return;
    }
    sqlite3_result_double(ctx, storedReal(Money::fromUnits(std::int64_t(units))));
}

// Currency additions and subtractions, a chain at a time:
// jet_madd(a, s2, b, s3, c ...) is a + s2*b + s3*c ... with each sign 1 or
// -1. Exact in ten-thousandths; every step stays in the currency range or
// the statement stops with 3349, as it would with Jet.
void jetMoneyAdd(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    __int128 total = 0;
    if (!unitsArg(ctx, argv[0], total))
        return;
    for (int i = 1; i + 1 < argc; i += 2) {
        __int128 term = 0;
        if (!unitsArg(ctx, argv[i + 1], term))
            return;
        total += sqlite3_value_int(argv[i]) < 0 ? -term : term;
        if (!inCurrencyRange(total)) {
            resultError(ctx, ErrNumericOverflow);
            return;
        }
    }
    resultUnits(ctx, total);
}

// Date additions and subtractions, a chain at a time:
// jet_dadd(a, s2, b, s3, c ...) is a + s2*b + s3*c ... in the order written,
// with each sign 1 or -1. Every step stays within the dates, 1/1/100 to
// 12/31/9999, or the statement stops with 3349, as it would with Jet. Whole
// numbers throughout give a whole number, as SQLite's own sum would.
void jetDateChain(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    bool whole = sqlite3_value_numeric_type(argv[0]) == SQLITE_INTEGER;
    double total = sqlite3_value_double(argv[0]);
    for (int i = 1; i + 1 < argc; i += 2) {
        whole = whole && sqlite3_value_numeric_type(argv[i + 1]) == SQLITE_INTEGER;
        const double term = sqlite3_value_double(argv[i + 1]);
        total = sqlite3_value_int(argv[i]) < 0 ? total - term : total + term;
        if (!std::isfinite(total) || !isDateSerial(total)) {
            resultError(ctx, ErrNumericOverflow);
            return;
        }
    }
    if (whole)
        sqlite3_result_int64(ctx, sqlite3_int64(total));
    else
        sqlite3_result_double(ctx, total);
}

// n / d (d above 0) to the nearest whole number, ties to the even one.
__int128 quotientHalfEven(__int128 n, __int128 d)
{
    __int128 q = n / d;
    const __int128 r = n % d;
    const __int128 twice = 2 * (r < 0 ? -r : r);
    if (twice > d || (twice == d && q % 2 != 0))
        q += n < 0 ? -1 : 1;
    return q;
}

// A Currency product: the two amounts multiplied exactly and rounded to
// ten-thousandths, ties to even; 3349 beyond the range.
void jetMoneyMultiply(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (anyNull(2, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    __int128 a = 0;
    __int128 b = 0;
    if (!unitsArg(ctx, argv[0], a) || !unitsArg(ctx, argv[1], b))
        return;
    resultUnits(ctx, quotientHalfEven(a * b, Money::kUnitsPerWhole));
}

// The one argument as a number; false when the result is already given:
// Null for Null, or the error of text that is no number.
bool oneNumber(sqlite3_context *ctx, sqlite3_value *v, double &x)
{
    if (sqlite3_value_type(v) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return false;
    }
    return numberArg(ctx, v, x);
}

// The same for a date serial.
bool oneSerial(sqlite3_context *ctx, sqlite3_value *v, double &d)
{
    if (sqlite3_value_type(v) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return false;
    }
    return serialArg(ctx, v, d);
}

// The first two arguments as numbers; false when the result is already given
// (Null when either is Null, else the error of text that is no number).
bool twoNumbers(sqlite3_context *ctx, sqlite3_value **argv, double &a, double &b)
{
    if (anyNull(2, argv)) {
        sqlite3_result_null(ctx);
        return false;
    }
    return numberArg(ctx, argv[0], a) && numberArg(ctx, argv[1], b);
}

// The text of an untyped value: integers plain, reals as Double.
void appendText(std::string &out, sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        out += std::to_string(sqlite3_value_int64(v));
        break;
    case SQLITE_FLOAT:
        out += numberText(sqlite3_value_double(v), FieldType::Double).toStdString();
        break;
    default:
        out.append(reinterpret_cast<const char *>(sqlite3_value_text(v)), size_t(sqlite3_value_bytes(v)));
        break;
    }
}

void jetCat(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    std::string out;
    bool any = false;
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            continue;
        any = true;
        appendText(out, argv[i]);
    }
    if (!any) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_text(ctx, out.data(), int(out.size()), SQLITE_TRANSIENT);
}

void jetText(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    if (t == SQLITE_TEXT || t == SQLITE_BLOB) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    const BooleanText booleans = argc > 2 && sqlite3_value_int(argv[2]) ? BooleanText::Word : BooleanText::Number;
    resultText(ctx, valueText(valueOf(argv[0]), typeArg(argv[1]), booleans));
}

void jetAdd(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (anyNull(2, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const int ta = sqlite3_value_type(argv[0]);
    const int tb = sqlite3_value_type(argv[1]);
    if (ta == SQLITE_TEXT && tb == SQLITE_TEXT) {
        std::string out;
        appendText(out, argv[0]);
        appendText(out, argv[1]);
        sqlite3_result_text(ctx, out.data(), int(out.size()), SQLITE_TRANSIENT);
        return;
    }
    double a = 0;
    double b = 0;
    if (!numberArg(ctx, argv[0], a) || !numberArg(ctx, argv[1], b))
        return;
    const double sum = a + b;
    if (sum == std::floor(sum) && std::fabs(sum) < 9.0e15 && a == std::floor(a) && b == std::floor(b))
        sqlite3_result_int64(ctx, sqlite3_int64(sum));
    else
        sqlite3_result_double(ctx, sum);
}

void jetIntegerDivide(sqlite3_context *ctx, int, sqlite3_value **argv, bool remainder)
{
    double a = 0;
    double b = 0;
    if (!twoNumbers(ctx, argv, a, b))
        return;
    const double ra = roundHalfEven(a);
    const double rb = roundHalfEven(b);
    if (rb == 0 || std::fabs(ra) > 9.2e18 || std::fabs(rb) > 9.2e18) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto ia = sqlite3_int64(ra);
    const auto ib = sqlite3_int64(rb);
    sqlite3_result_int64(ctx, remainder ? ia % ib : ia / ib);
}

void jetIdiv(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    jetIntegerDivide(ctx, argc, argv, false);
}

void jetMod(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    jetIntegerDivide(ctx, argc, argv, true);
}

void jetPow(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double a = 0;
    double b = 0;
    if (!twoNumbers(ctx, argv, a, b))
        return;
    const double r = std::pow(a, b);
    if (std::isnan(r)) {
        // A negative number to a power that is no whole number.
        resultError(ctx, ErrInvalidCall);
    } else if (!std::isfinite(r)) {
        // Zero to a negative power divides by zero, which gives Null as x / 0
        // does; anything else is a result beyond the numbers.
        if (a == 0)
            sqlite3_result_null(ctx);
        else
            resultError(ctx, ErrNumericOverflow);
    } else {
        sqlite3_result_double(ctx, r);
    }
}

// jet_finite(x): x as it is, unless arithmetic took it past the largest
// number (3349, as Jet stops the statement).
void jetFinite(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_FLOAT && !std::isfinite(sqlite3_value_double(argv[0]))) {
        resultError(ctx, ErrNumericOverflow);
        return;
    }
    sqlite3_result_value(ctx, argv[0]);
}

// jet_indate(d): the result of date arithmetic as it is, unless it left the
// dates, 1/1/100 to 12/31/9999 (3349).
void jetInDate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_FLOAT || type == SQLITE_INTEGER) {
        const double d = sqlite3_value_double(argv[0]);
        if (!std::isfinite(d) || !isDateSerial(d)) {
            resultError(ctx, ErrNumericOverflow);
            return;
        }
    }
    sqlite3_result_value(ctx, argv[0]);
}

void deletePattern(void *p)
{
    delete static_cast<JetLikePattern *>(p);
}

void jetLike(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (anyNull(2, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    auto *pattern = static_cast<JetLikePattern *>(sqlite3_get_auxdata(ctx, 1));
    if (!pattern) {
        std::string p;
        appendText(p, argv[1]);
        pattern = new JetLikePattern(JetLikePattern::fromUtf8(p.data(), int(p.size())));
        sqlite3_set_auxdata(ctx, 1, pattern, deletePattern);
        // SQLite may drop the pattern at once; fetch it again to use the kept copy.
        pattern = static_cast<JetLikePattern *>(sqlite3_get_auxdata(ctx, 1));
        if (!pattern) {
            const JetLikePattern local = JetLikePattern::fromUtf8(p.data(), int(p.size()));
            std::string s;
            appendText(s, argv[0]);
            sqlite3_result_int(ctx, local.matchesUtf8(s.data(), int(s.size())) ? 1 : 0);
            return;
        }
    }
    std::string s;
    appendText(s, argv[0]);
    sqlite3_result_int(ctx, pattern->matchesUtf8(s.data(), int(s.size())) ? 1 : 0);
}

void deletePlan(void *p)
{
    delete static_cast<std::shared_ptr<const FormatPlan> *>(p);
}

void jetFormat(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    // A Null value gives the pattern's Null section, or Null. The pattern is
    // read once per statement when it is a constant.
    auto *kept = static_cast<std::shared_ptr<const FormatPlan> *>(sqlite3_get_auxdata(ctx, 1));
    std::shared_ptr<const FormatPlan> local;
    if (!kept) {
        const QString pattern = sqlite3_value_type(argv[1]) == SQLITE_NULL ? QString() : storedText(argv[1]);
        local = prepareFormat(pattern);
        sqlite3_set_auxdata(ctx, 1, new std::shared_ptr<const FormatPlan>(local), deletePlan);
    }
    const FormatPlan &plan = kept ? **kept : *local;
    const int storage = sqlite3_value_type(argv[0]);
    // A number past the largest there is has no digits to show: the
    // statement stops as it does wherever arithmetic gets there.
    if (storage == SQLITE_FLOAT && !std::isfinite(sqlite3_value_double(argv[0]))) {
        resultError(ctx, ErrNumericOverflow);
        return;
    }
    // A day number outside the dates is no date to format.
    if (storage == SQLITE_FLOAT || storage == SQLITE_INTEGER) {
        const auto serial = formattedSerial(valueOf(argv[0]), typeArg(argv[2]), plan);
        if (serial && !isDateSerial(*serial)) {
            resultError(ctx, ErrNumericOverflow);
            return;
        }
    }
    if ((storage == SQLITE_FLOAT || storage == SQLITE_INTEGER) && typeArg(argv[2]) == FieldType::Date) {
        const double serial = sqlite3_value_double(argv[0]);
        std::string text;
        if (serial > -657435.0 && serial < 2958466.0 && formatDateUtf8(serial, plan, text)) {
            sqlite3_result_text(ctx, text.data(), int(text.size()), SQLITE_TRANSIENT);
            return;
        }
    }
    resultText(ctx, formatValue(valueOf(argv[0]), typeArg(argv[2]), plan));
}

void jetDate(sqlite3_context *ctx, int, sqlite3_value **)
{
    const QDate today = Clock::today();
    const auto serial = dateSerial(today.year(), today.month(), today.day());
    sqlite3_result_double(ctx, serial ? *serial : 0.0);
}

void jetDateAdd(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (anyNull(3, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    double n = 0;
    double d = 0;
    if (!numberArg(ctx, argv[1], n) || !serialArg(ctx, argv[2], d))
        return;
    const auto r = dateAdd(storedText(argv[0]), n, d);
    if (!r) {
        // An unknown interval, or a result before 1/1/100 or after 12/31/9999.
        resultError(ctx, ErrInvalidCall);
        return;
    }
    sqlite3_result_double(ctx, *r);
}

void jetDateValue(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double d = 0;
    if (!oneSerial(ctx, argv[0], d))
        return;
    sqlite3_result_double(ctx, dateValue(d));
}

void jetYear(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double d = 0;
    if (!oneSerial(ctx, argv[0], d))
        return;
    sqlite3_result_int(ctx, dateParts(d).year);
}

void jetRound(sqlite3_context *ctx, sqlite3_value *v, double (*fn)(double))
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: sqlite3_result_null(ctx); return;
    case SQLITE_INTEGER: sqlite3_result_value(ctx, v); return;
    default: {
        double x = 0;
        if (!numberArg(ctx, v, x))
            return;
        sqlite3_result_double(ctx, fn(x));
    }
    }
}

void jetInt(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    jetRound(ctx, argv[0], [](double x) { return std::floor(x); });
}

void jetFix(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    jetRound(ctx, argv[0], [](double x) { return std::trunc(x); });
}

void jetToInteger(sqlite3_context *ctx, sqlite3_value *v, double lo, double hi)
{
    double x = 0;
    if (!oneNumber(ctx, v, x))
        return;
    const double r = roundHalfEven(x);
    if (!(r >= lo && r <= hi)) {
        resultError(ctx, ErrNumericOverflow);
        return;
    }
    sqlite3_result_int64(ctx, sqlite3_int64(r));
}

void jetCLng(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    jetToInteger(ctx, argv[0], -2147483648.0, 2147483647.0);
}

void jetCInt(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    jetToInteger(ctx, argv[0], -32768.0, 32767.0);
}

void jetCByte(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    jetToInteger(ctx, argv[0], 0.0, 255.0);
}

void jetCCur(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    // A text is read exactly, so both ends of the range can be written.
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        __int128 units = 0;
        if (unitsArg(ctx, argv[0], units))
            resultUnits(ctx, units);
        return;
    }
    double x = 0;
    if (!oneNumber(ctx, argv[0], x))
        return;
    // The currency range is that of a 64-bit count of ten-thousandths.
    const Money m = moneyFromStoredReal(x, true);
    if (!m.isValid()) {
        resultError(ctx, ErrNumericOverflow);
        return;
    }
    resultUnits(ctx, m.units());
}

void jetCDbl(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double x = 0;
    if (oneNumber(ctx, argv[0], x))
        sqlite3_result_double(ctx, x);
}

void jetCSng(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double x = 0;
    if (oneNumber(ctx, argv[0], x))
        sqlite3_result_double(ctx, double(float(x)));
}

std::u32string foldedArg(sqlite3_value *v)
{
    std::string s;
    appendText(s, v);
    return foldedCodePoints(s.data(), int(s.size()));
}

void jetInStr(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 start = 1;
    int first = 0;
    if (argc == 3) {
        double s = 1;
        if (!numberArg(ctx, argv[0], s))
            return;
        start = qint64(roundHalfEven(s));
        if (start < 1)
            start = 1;
        first = 1;
    }
    const std::u32string hay = foldedArg(argv[first]);
    const std::u32string needle = foldedArg(argv[first + 1]);
    if (size_t(start) > hay.size() + 1) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const size_t at = hay.find(needle, size_t(start - 1));
    sqlite3_result_int64(ctx, at == std::u32string::npos ? 0 : sqlite3_int64(at + 1));
}

void jetRight(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (anyNull(2, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    double n = 0;
    if (!numberArg(ctx, argv[1], n))
        return;
    std::string s;
    appendText(s, argv[0]);
    const std::u32string points = decodeUtf8(s.data(), int(s.size()));
    const qint64 count = std::max<qint64>(0, qint64(roundHalfEven(n)));
    if (size_t(count) >= points.size()) {
        sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
        return;
    }
    resultText(ctx, fromCodePoints(points.substr(points.size() - size_t(count))));
}

void jetStore(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    try {
        resultValue(ctx, storeAs(valueOf(argv[0]), typeArg(argv[1]), sqlite3_value_int(argv[2])));
    } catch (const DbException &e) {
        resultError(ctx, e.number());
    }
}

// ---------------------------------------------------------------- aggregates

struct MoneySum
{
    sqlite3_int64 units; // not wider: the context SQLite hands out is only 8-byte aligned
    sqlite3_int64 count;
    bool overflowed;
};

// Sum and Avg of amounts: exact in ten-thousandths; a running total that
// leaves the currency range makes the result 3349.
void moneyStep(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    auto *acc = static_cast<MoneySum *>(sqlite3_aggregate_context(ctx, sizeof(MoneySum)));
    if (!acc)
        return;
    __int128 units = 0;
    if (!unitsArg(ctx, argv[0], units))
        return;
    sqlite3_int64 total = 0;
    if (!inCurrencyRange(units) || __builtin_add_overflow(acc->units, sqlite3_int64(units), &total))
        acc->overflowed = true;
    acc->units = total;
    acc->count += 1;
}

void moneySumFinal(sqlite3_context *ctx)
{
    auto *acc = static_cast<MoneySum *>(sqlite3_aggregate_context(ctx, 0));
    if (!acc || acc->count == 0) {
        sqlite3_result_null(ctx);
        return;
    }
    if (acc->overflowed) {
        resultError(ctx, ErrNumericOverflow);
        return;
    }
    resultUnits(ctx, acc->units);
}

void moneyAvgFinal(sqlite3_context *ctx)
{
    auto *acc = static_cast<MoneySum *>(sqlite3_aggregate_context(ctx, 0));
    if (!acc || acc->count == 0) {
        sqlite3_result_null(ctx);
        return;
    }
    if (acc->overflowed) {
        resultError(ctx, ErrNumericOverflow);
        return;
    }
    // The quotient in ten-thousandths, ties to even.
    resultUnits(ctx, quotientHalfEven(acc->units, acc->count));
}

struct Kept
{
    sqlite3_value *value;
    bool seen;
};

template<bool Last>
void keptStep(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc > 1 && !sqlite3_value_int(argv[1]))
        return;
    auto *acc = static_cast<Kept *>(sqlite3_aggregate_context(ctx, sizeof(Kept)));
    if (!acc)
        return;
    if (acc->seen && !Last)
        return;
    if (acc->value)
        sqlite3_value_free(acc->value);
    acc->value = sqlite3_value_dup(argv[0]);
    acc->seen = true;
}

void keptFinal(sqlite3_context *ctx)
{
    auto *acc = static_cast<Kept *>(sqlite3_aggregate_context(ctx, 0));
    if (!acc || !acc->value) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_value(ctx, acc->value);
    sqlite3_value_free(acc->value);
    acc->value = nullptr;
}

int collateJetText(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    return compareText(static_cast<const char *>(a), lengthA, static_cast<const char *>(b), lengthB);
}

} // namespace

void registerFunctions(sqlite3 *db)
{
    struct Scalar
    {
        const char *name;
        int args;
        void (*fn)(sqlite3_context *, int, sqlite3_value **);
        bool deterministic;
    };
    static const Scalar scalars[] = {
        {"jet_cat", -1, jetCat, true},
        {"jet_text", 2, jetText, true},
        {"jet_text", 3, jetText, true},
        {"jet_add", 2, jetAdd, true},
        {"jet_madd", -1, jetMoneyAdd, true},
        {"jet_dadd", -1, jetDateChain, true},
        {"jet_mmul", 2, jetMoneyMultiply, true},
        {"jet_idiv", 2, jetIdiv, true},
        {"jet_mod", 2, jetMod, true},
        {"jet_pow", 2, jetPow, true},
        {"jet_finite", 1, jetFinite, true},
        {"jet_indate", 1, jetInDate, true},
        {"jet_like", 2, jetLike, true},
        {"jet_format", 3, jetFormat, true},
        {"jet_date", 0, jetDate, false},
        {"jet_dateadd", 3, jetDateAdd, true},
        {"jet_datevalue", 1, jetDateValue, true},
        {"jet_year", 1, jetYear, true},
        {"jet_int", 1, jetInt, true},
        {"jet_fix", 1, jetFix, true},
        {"jet_clng", 1, jetCLng, true},
        {"jet_cint", 1, jetCInt, true},
        {"jet_cbyte", 1, jetCByte, true},
        {"jet_ccur", 1, jetCCur, true},
        {"jet_cdbl", 1, jetCDbl, true},
        {"jet_csng", 1, jetCSng, true},
        {"jet_instr", 2, jetInStr, true},
        {"jet_instr", 3, jetInStr, true},
        {"jet_right", 2, jetRight, true},
        {"jet_store", 3, jetStore, true},
    };
    for (const Scalar &s : scalars) {
        const int flags = SQLITE_UTF8 | (s.deterministic ? SQLITE_DETERMINISTIC : 0);
        sqlite3_create_function_v2(db, s.name, s.args, flags, nullptr, s.fn, nullptr, nullptr, nullptr);
    }
    sqlite3_create_function_v2(db, "jet_msum", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr, moneyStep,
                               moneySumFinal, nullptr);
    sqlite3_create_function_v2(db, "jet_mavg", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr, moneyStep,
                               moneyAvgFinal, nullptr);
    for (int args = 1; args <= 2; ++args) {
        sqlite3_create_function_v2(db, "jet_first", args, SQLITE_UTF8, nullptr, nullptr, keptStep<false>, keptFinal, nullptr);
        sqlite3_create_function_v2(db, "jet_last", args, SQLITE_UTF8, nullptr, nullptr, keptStep<true>, keptFinal, nullptr);
    }
    registerBuiltinFunctions(db);
    sqlite3_create_collation_v2(db, "JETTEXT", SQLITE_UTF8, nullptr, collateJetText, nullptr);
}

} // namespace platform::jet
