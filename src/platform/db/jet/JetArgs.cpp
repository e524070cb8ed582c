#include "platform/db/jet/JetArgs.h"

#include "platform/db/jet/JetDates.h"
#include "platform/db/jet/JetErrors.h"
#include "platform/db/jet/JetValueText.h"

#include <sqlite3.h>

namespace platform::jet {

void resultError(sqlite3_context *ctx, int number, const QString &arg)
{
    const QByteArray msg = jetFunctionError(number, arg);
    sqlite3_result_error(ctx, msg.constData(), int(msg.size()));
}

bool anyNull(int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    }
    return false;
}

QString storedText(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return QString::fromUtf8(p, sqlite3_value_bytes(v));
}

Value valueOf(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return Value(std::int64_t(sqlite3_value_int64(v)));
    case SQLITE_FLOAT: return Value(sqlite3_value_double(v));
    case SQLITE_NULL: return Value();
    default: return Value(storedText(v));
    }
}

bool numberArg(sqlite3_context *ctx, sqlite3_value *v, double &out)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: out = double(sqlite3_value_int64(v)); return true;
    case SQLITE_FLOAT: out = sqlite3_value_double(v); return true;
    default: {
        const auto n = parseNumber(storedText(v));
        if (!n) {
            resultError(ctx, ErrTypeMismatch);
            return false;
        }
        out = *n;
        return true;
    }
    }
}

namespace {

// A day number outside 1/1/100 - 12/31/9999 is no date: every date function
// refuses it with the one error.
bool inDates(sqlite3_context *ctx, double serial)
{
    if (isDateSerial(serial))
        return true;
    resultError(ctx, ErrNumericOverflow);
    return false;
}

} // namespace

bool serialArg(sqlite3_context *ctx, sqlite3_value *v, double &out)
{
    if (sqlite3_value_type(v) == SQLITE_TEXT) {
        const QString s = storedText(v);
        if (const auto d = parseDateText(s)) {
            out = *d;
            return true;
        }
        if (const auto n = parseNumber(s)) {
            out = *n;
            return inDates(ctx, out);
        }
        resultError(ctx, ErrTypeMismatch);
        return false;
    }
    return numberArg(ctx, v, out) && inDates(ctx, out);
}

} // namespace platform::jet
