#pragma once

#include "platform/Value.h"

#include <QtCore/QString>

struct sqlite3_context;
struct sqlite3_value;

// Reading the arguments of the Jet functions registered with SQLite, and
// giving their errors, the same way in every function.
namespace platform::jet {

// Ends the function with Jet's error of this number (its text may name arg).
void resultError(sqlite3_context *ctx, int number, const QString &arg = QString());
// True when any of the arguments is Null.
bool anyNull(int argc, sqlite3_value **argv);
// An argument's text as SQLite holds it.
QString storedText(sqlite3_value *v);
// An argument as a value of its storage class (Null, whole number, double, text).
Value valueOf(sqlite3_value *v);
// A number read from an argument; text must read as a number, else the
// function ends with the type-mismatch error and false comes back.
bool numberArg(sqlite3_context *ctx, sqlite3_value *v, double &out);
// A date serial from an argument: a number, or text read as a date (month
// first) or as a number; else the type-mismatch error and false. A day
// outside 1/1/100 - 12/31/9999 is the numeric-overflow error and false.
bool serialArg(sqlite3_context *ctx, sqlite3_value *v, double &out);

} // namespace platform::jet
