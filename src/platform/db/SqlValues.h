#pragma once

#include "platform/Value.h"
#include "platform/db/TableDef.h"

#include <QtCore/QString>

struct sqlite3_stmt;

namespace platform::sqlvalues {

// A column's value as SQLite holds it: its storage class (SQLITE_INTEGER,
// SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL) and its content.
// Text and blob bytes stay where they are (the statement's row, or a page's
// buffer) and are only valid as long as that is.
struct Stored
{
    int storage = 5; // SQLITE_NULL
    std::int64_t integer = 0;
    double real = 0.0;
    const char *bytes = nullptr;
    int size = 0;
};
Stored stored(sqlite3_stmt *stmt, int column);

// A stored value in a field's Jet type, whatever storage class SQLite chose
// (a Currency 12.0 may be stored as the integer 12). Null keeps the type.
Value toValue(const Stored &s, FieldType type);
// What toValue(s, type) gives as a whole number (0 for Null), a text (empty
// for Null) and a date (DateTime::null() for Null), with no Value made when
// the stored value is plainly of the field's kind: for readers of many rows.
int toInt(const Stored &s, FieldType type);
QString toText(const Stored &s, FieldType type);
DateTime toDateTime(const Stored &s, FieldType type);
// True when toText gives the stored bytes read as UTF-8 as they are.
bool isPlainText(const Stored &s, FieldType type);

// A column's value in its Jet type.
Value read(sqlite3_stmt *stmt, int column, FieldType type);

// The value exactly as stored (integer, real, text, blob or Null), for the
// optimistic check that compares a row with what was read.
Value readStored(sqlite3_stmt *stmt, int column);

// Binds a value in the storage of its type: Yes/No as 0/-1, money as
// count/10000.0, dates as their serial, texts as text; Null as NULL.
void bind(sqlite3_stmt *stmt, int index, const Value &value);

// "name" with embedded quotes doubled.
QString quoteName(const QString &name);

// The declared type that keeps a field's Jet type in the file.
QString declaredType(const FieldDef &field);

// Reads a declared type back: its first word names the Jet type; Text
// carries its size in parentheses. Sizes of the other types are fixed.
struct DeclaredType { FieldType type = FieldType::Text; int size = 0; bool autoNumber = false; };
DeclaredType parseDeclaredType(const QString &declared);

// The fixed size of a type (Text: its length).
int fixedSize(FieldType type);

} // namespace platform::sqlvalues
