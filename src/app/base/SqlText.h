#pragma once

#include <QtCore/QString>

#include <cstdint>

// Small pieces of Jet SQL text that callers keep as plain texts: a WHERE
// filter grown one condition at a time, an ORDER BY list, quoted values, the
// date literal format, the quick-note pick list, and the layout directives of
// query column aliases.

// An empty condition changes nothing; otherwise " WHERE " (empty filter) or
// " and " and the condition are appended. Conditions are taken as they are.
void AppendWhere(QString &filter, const QString &condition);
// " ORDER BY " (empty order) or ", " and the field; an empty field changes
// nothing.
void AppendOrderBy(QString &order, const QString &field);

// Lays a statement out for reading: `separator` is put before every "FROM ",
// "WHERE ", "GROUP BY ", "ORDER BY " and "UNION SELECT " (upper case only).
QString JoinFromWhere(const QString &statement, const QString &separator);

// The one way a user's or a stored row's text goes into a statement (and into
// a delimited export line): between double quotes, or between single quotes
// when the text holds a double quote. The chosen quote is doubled inside the
// text, so no text can end the literal early and extend the statement; a text
// without that quote is returned between quotes unchanged.
QString QuoteText(const QString &text);

// "#%m/%d/%Y#" for SQL (always month/day/year, whatever the locale), else the
// display date "%m/%d/%Y"; formats for DateTime::format.
QString FormatSqlDate(bool sql);

// The canned note texts of one kind, and of one service category when
// `category` is not 0.
QString GetQuickNotesSql(std::uint8_t type, std::int32_t category);

// Reads the width directive of a column alias: "_w_" and a number
// ("Customer_w_30": name "Customer", width 30), or "|" marks (width = position
// of the first "|" when it is not the first character; every "|" is removed).
// Without a directive the width is 0.
void ParseColumnWidth(QString &name, std::int32_t &width);

// DAO field type numbers read by ApplyColumnTypeSuffix.
enum ColumnFieldType : std::int16_t {
    ColumnTypeByte = 2,
    ColumnTypeLong = 4,
    ColumnTypeCurrency = 5,
    ColumnTypeDate = 8,
    ColumnTypeText = 10,
    ColumnTypeTime = 22,
};

// A text column whose name ends in "_B", "_L", "_C", "_D" or "_T" is shown as a
// byte, long, currency, date or time: the suffix is cut and the type set. Any
// other letter after the "_" cuts the suffix and keeps the text type.
void ApplyColumnTypeSuffix(QString &name, std::int16_t &type);
