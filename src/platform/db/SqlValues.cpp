#include "platform/db/SqlValues.h"

#include <sqlite3.h>

#include <cmath>

namespace platform::sqlvalues {

namespace {

constexpr int kDefaultTextSize = 255;

QString columnText(sqlite3_stmt *stmt, int column)
{
    const auto *data = static_cast<const char16_t *>(sqlite3_column_text16(stmt, column));
    const int bytes = sqlite3_column_bytes16(stmt, column);
    return QString::fromUtf16(data, bytes / 2);
}

} // namespace

Value read(sqlite3_stmt *stmt, int column, FieldType type)
{
    const int storage = sqlite3_column_type(stmt, column);
    if (storage == SQLITE_NULL)
        return Value::nullOf(type);
    switch (type) {
    case FieldType::Boolean:
        return Value(storage == SQLITE_FLOAT ? sqlite3_column_double(stmt, column) != 0.0
                                              : sqlite3_column_int64(stmt, column) != 0);
    case FieldType::Byte:
        return Value(std::int64_t(std::uint8_t(sqlite3_column_int64(stmt, column))), FieldType::Byte);
    case FieldType::Integer:
        return Value(std::int64_t(std::int16_t(sqlite3_column_int64(stmt, column))), FieldType::Integer);
    case FieldType::Long:
        return Value(std::int64_t(std::int32_t(sqlite3_column_int64(stmt, column))), FieldType::Long);
    case FieldType::Currency:
        if (storage == SQLITE_INTEGER)
            return Value(Money::fromWhole(sqlite3_column_int64(stmt, column)));
        return Value(Money::fromUnits(std::llround(sqlite3_column_double(stmt, column) * 10000.0)));
    case FieldType::Single:
        return Value(float(sqlite3_column_double(stmt, column)));
    case FieldType::Double:
        return Value(sqlite3_column_double(stmt, column));
    case FieldType::Date:
        if (storage == SQLITE_TEXT) {
            const DateTime d = DateTime::fromText(columnText(stmt, column));
            return d.isValid() ? Value(d) : Value::nullOf(type);
        }
        return Value(DateTime(sqlite3_column_double(stmt, column)));
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::Guid:
        return Value(columnText(stmt, column), type == FieldType::Guid ? FieldType::Text : type);
    case FieldType::Binary:
    case FieldType::LongBinary: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt, column));
        return Value(QString::fromLatin1(data, sqlite3_column_bytes(stmt, column)), type);
    }
    case FieldType::Empty:
        break;
    }
    return readStored(stmt, column);
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
        else
            sqlite3_bind_double(stmt, index, double(m.units()) / 10000.0);
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
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
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
    switch (type) {
    case FieldType::Boolean:
    case FieldType::Byte: return 1;
    case FieldType::Integer: return 2;
    case FieldType::Long:
    case FieldType::Single: return 4;
    case FieldType::Currency:
    case FieldType::Double:
    case FieldType::Date: return 8;
    case FieldType::Guid: return 16;
    case FieldType::Text: return kDefaultTextSize;
    default: return 0;
    }
}

} // namespace platform::sqlvalues
