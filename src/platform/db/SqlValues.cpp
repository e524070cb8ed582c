#include "platform/db/SqlValues.h"

#include "platform/db/DbErrors.h"
#include "platform/db/StoredMoney.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>

namespace platform::sqlvalues {

namespace {

constexpr int kDefaultTextSize = 255;

// The database keeps UTF-8: one conversion straight into a QString.
QString columnText(sqlite3_stmt *stmt, int column)
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(stmt, column));
}

std::int64_t asInteger(const Stored &s)
{
    return s.storage == SQLITE_FLOAT ? std::int64_t(s.real) : s.integer;
}

double asReal(const Stored &s)
{
    return s.storage == SQLITE_INTEGER ? double(s.integer) : s.real;
}

QString asText(const Stored &s)
{
    switch (s.storage) {
    case SQLITE_INTEGER: return QString::number(s.integer);
    case SQLITE_FLOAT: return QString::number(s.real, 'g', 15);
    default: return QString::fromUtf8(s.bytes, s.size);
    }
}

// A value of an integer type. A stored column always fits its type; an
// expression of the type (Long arithmetic, a Sum of Longs) may not, and then
// gives its true value as a Double, as the expression service widens an
// overflowing Long, rather than the low bits of it.
Value wholeNumber(const Stored &s, FieldType type, std::int64_t lo, std::int64_t hi)
{
    if (s.storage == SQLITE_INTEGER) {
        if (s.integer >= lo && s.integer <= hi)
            return Value(s.integer, type);
        return Value(double(s.integer), FieldType::Double);
    }
    const double r = s.real;
    if (r >= double(lo) && r <= double(hi))
        return Value(std::int64_t(r), type);
    return Value(r, FieldType::Double);
}

} // namespace

Stored stored(sqlite3_stmt *stmt, int column)
{
    // One call for the column, then the value's own (cheaper) accessors; the
    // connections run without SQLite's mutexes, each on one thread.
    sqlite3_value *v = sqlite3_column_value(stmt, column);
    Stored s;
    s.storage = sqlite3_value_type(v);
    switch (s.storage) {
    case SQLITE_INTEGER:
        s.integer = sqlite3_value_int64(v);
        break;
    case SQLITE_FLOAT:
        s.real = sqlite3_value_double(v);
        break;
    case SQLITE_TEXT:
        s.bytes = reinterpret_cast<const char *>(sqlite3_value_text(v));
        s.size = sqlite3_value_bytes(v);
        break;
    case SQLITE_BLOB:
        s.bytes = static_cast<const char *>(sqlite3_value_blob(v));
        s.size = sqlite3_value_bytes(v);
        break;
    default:
        break;
    }
    return s;
}

Value toValue(const Stored &s, FieldType type)
{
    if (s.storage == SQLITE_NULL)
        return Value::nullOf(type);
    const bool text = s.storage == SQLITE_TEXT || s.storage == SQLITE_BLOB;
    switch (type) {
    case FieldType::Boolean:
        return Value(text ? asText(s).trimmed().toDouble() != 0.0 : asReal(s) != 0.0);
    case FieldType::Byte:
        return wholeNumber(text ? Stored{SQLITE_FLOAT, 0, asText(s).trimmed().toDouble()} : s, FieldType::Byte, 0, 255);
    case FieldType::Integer:
        return wholeNumber(text ? Stored{SQLITE_FLOAT, 0, asText(s).trimmed().toDouble()} : s, FieldType::Integer, -32768,
                           32767);
    case FieldType::Long:
        return wholeNumber(text ? Stored{SQLITE_FLOAT, 0, asText(s).trimmed().toDouble()} : s, FieldType::Long,
                           -2147483648LL, 2147483647LL);
    case FieldType::Currency:
        if (s.storage == SQLITE_INTEGER)
            return Value(Money::fromWhole(s.integer));
        if (text) {
            const Money m = Money::fromText(asText(s));
            return m.isValid() ? Value(m) : Value::nullOf(type);
        }
        return Value(moneyFromStoredReal(s.real));
    case FieldType::Single:
        return Value(float(text ? asText(s).trimmed().toDouble() : asReal(s)));
    case FieldType::Double:
        return Value(text ? asText(s).trimmed().toDouble() : asReal(s));
    case FieldType::Date:
        if (text) {
            const DateTime d = DateTime::fromText(asText(s));
            return d.isValid() ? Value(d) : Value::nullOf(type);
        }
        return Value(DateTime(asReal(s)));
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::Guid:
        return Value(asText(s), type == FieldType::Guid ? FieldType::Text : type);
    case FieldType::Binary:
    case FieldType::LongBinary:
        return Value(s.storage == SQLITE_BLOB ? QString::fromLatin1(s.bytes, s.size) : asText(s), type);
    case FieldType::Empty:
        break;
    }
    switch (s.storage) {
    case SQLITE_INTEGER: return Value(s.integer, FieldType::Long);
    case SQLITE_FLOAT: return Value(s.real, FieldType::Double);
    case SQLITE_BLOB: return Value(QString::fromLatin1(s.bytes, s.size), FieldType::LongBinary);
    default: return Value(asText(s), FieldType::Text);
    }
}

int toInt(const Stored &s, FieldType type)
{
    if (s.storage == SQLITE_NULL)
        return 0;
    if (s.storage == SQLITE_INTEGER) {
        switch (type) {
        case FieldType::Byte: return std::uint8_t(s.integer);
        case FieldType::Integer: return std::int16_t(s.integer);
        case FieldType::Long: return std::int32_t(s.integer);
        default: break;
        }
    }
    return toValue(s, type).toInt();
}

QString toText(const Stored &s, FieldType type)
{
    if (s.storage == SQLITE_NULL)
        return QString();
    if (isPlainText(s, type))
        return QString::fromUtf8(s.bytes, s.size);
    return toValue(s, type).toString();
}

bool isPlainText(const Stored &s, FieldType type)
{
    return s.storage == SQLITE_TEXT
        && (type == FieldType::Text || type == FieldType::Memo || type == FieldType::Guid || type == FieldType::Empty);
}

DateTime toDateTime(const Stored &s, FieldType type)
{
    if (s.storage == SQLITE_NULL)
        return DateTime::null();
    if (type == FieldType::Date && (s.storage == SQLITE_INTEGER || s.storage == SQLITE_FLOAT))
        return DateTime(asReal(s));
    return toValue(s, type).toDateTime();
}

Value read(sqlite3_stmt *stmt, int column, FieldType type)
{
    return toValue(stored(stmt, column), type);
}

Value readStored(sqlite3_stmt *stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return Value(std::int64_t(sqlite3_column_int64(stmt, column)), FieldType::Long);
    case SQLITE_FLOAT:
        return Value(sqlite3_column_double(stmt, column), FieldType::Double);
    case SQLITE_TEXT:
        return Value(columnText(stmt, column), FieldType::Text);
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt, column));
        return Value(QString::fromLatin1(data, sqlite3_column_bytes(stmt, column)), FieldType::LongBinary);
    }
    default:
        return Value();
    }
}

void bind(sqlite3_stmt *stmt, int index, const Value &value)
{
    if (value.isNull()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (value.type()) {
    case FieldType::Boolean:
        sqlite3_bind_int64(stmt, index, value.toBool() ? -1 : 0);
        return;
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
        sqlite3_bind_int64(stmt, index, value.toInt64());
        return;
    case FieldType::Currency: {
        const Money m = value.toMoney();
        if (m.isNull())
            sqlite3_bind_null(stmt, index);
        else if (!m.isValid()) // an amount whose arithmetic left the currency range
            throw dberr::error(dberr::NumericOverflow);
        else
            sqlite3_bind_double(stmt, index, storedReal(m));
        return;
    }
    case FieldType::Single:
    case FieldType::Double:
        sqlite3_bind_double(stmt, index, value.toDouble());
        return;
    case FieldType::Date: {
        const DateTime d = value.toDateTime();
        if (!d.isValid())
            sqlite3_bind_null(stmt, index);
        else
            sqlite3_bind_double(stmt, index, d.toOle());
        return;
    }
    case FieldType::Binary:
    case FieldType::LongBinary: {
        const QByteArray bytes = value.toString().toLatin1();
        sqlite3_bind_blob(stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QString s = value.toString();
        sqlite3_bind_text16(stmt, index, s.utf16(), int(s.size() * 2), SQLITE_TRANSIENT);
        return;
    }
    }
}

QString quoteName(const QString &name)
{
    // Made in one piece: names are quoted for every column of every
    // statement a recordset writes or reads by key.
    if (!name.contains(QLatin1Char('"'))) {
        QString q(name.size() + 2, Qt::Uninitialized);
        QChar *out = q.data();
        out[0] = QLatin1Char('"');
        std::copy(name.cbegin(), name.cend(), out + 1);
        out[name.size() + 1] = QLatin1Char('"');
        return q;
    }
    QString q;
    q.reserve(name.size() * 2 + 2);
    q += QLatin1Char('"');
    for (const QChar c : name) {
        q += c;
        if (c == QLatin1Char('"'))
            q += c;
    }
    q += QLatin1Char('"');
    return q;
}

QString declaredType(const FieldDef &field)
{
    switch (field.type) {
    case FieldType::Boolean: return QStringLiteral("YESNO");
    case FieldType::Byte: return QStringLiteral("BYTE");
    case FieldType::Integer: return QStringLiteral("INTEGER");
    case FieldType::Long: return field.autoNumber ? QStringLiteral("COUNTER") : QStringLiteral("LONG");
    case FieldType::Currency: return QStringLiteral("CURRENCY");
    case FieldType::Single: return QStringLiteral("SINGLE");
    case FieldType::Double: return QStringLiteral("DOUBLE");
    case FieldType::Date: return QStringLiteral("DATETIME");
    case FieldType::Memo: return QStringLiteral("MEMO TEXT COLLATE JETTEXT");
    case FieldType::Binary: return QStringLiteral("BINARY BLOB");
    case FieldType::LongBinary: return QStringLiteral("LONGBINARY BLOB");
    case FieldType::Guid: return QStringLiteral("GUID TEXT");
    case FieldType::Text:
    case FieldType::Empty:
        break;
    }
    const int size = field.size > 0 ? field.size : kDefaultTextSize;
    return QStringLiteral("TEXT(%1) COLLATE JETTEXT").arg(size);
}

DeclaredType parseDeclaredType(const QString &declared)
{
    DeclaredType t;
    const QString d = declared.trimmed();
    int end = 0;
    while (end < d.size() && (d[end].isLetterOrNumber() || d[end] == QLatin1Char('_')))
        ++end;
    const QString word = d.left(end).toUpper();
    t.autoNumber = word == QLatin1String("COUNTER") || word == QLatin1String("AUTOINCREMENT");
    t.type = word == QLatin1String("MEMO") ? FieldType::Memo : fieldTypeFromName(word);
    if (word.isEmpty())
        t.type = FieldType::Text;
    if (t.type == FieldType::Text) {
        t.size = kDefaultTextSize;
        const int open = d.indexOf(QLatin1Char('('));
        const int close = d.indexOf(QLatin1Char(')'), open + 1);
        if (open > 0 && close > open) {
            bool ok = false;
            const int n = d.mid(open + 1, close - open - 1).trimmed().toInt(&ok);
            if (ok && n > 0)
                t.size = qMin(n, kDefaultTextSize);
        }
    } else {
        t.size = fixedSize(t.type);
    }
    return t;
}

int fixedSize(FieldType type)
{
    return type == FieldType::Text ? kDefaultTextSize : fieldTypeByteSize(type);
}

} // namespace platform::sqlvalues
