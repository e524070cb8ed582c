#pragma once

#include <QtCore/QChar>
#include <QtCore/QString>

#include <cstdint>

// The layout that a query's column aliases carry. The query writer puts into
// the alias of a result column whether it is the grouping column, how wide it
// is, whether it is hidden, that text is to be read as money or a date, or
// that it is computed from other columns. Two readers apply these rules: the
// in-memory table and the record list; they share the width and type-suffix
// rules and differ in the rest.
//
// Markers (case-sensitive):
//   "_B" "_L" "_C" "_D" "_T" at the end of a text column: byte, long, money, date, time
//   "_w_" and a number, or "|" bars: the width
//   "_>_": everything up to it is dropped (table)
//   "__PARENT": the grouping column (table)
//   "_C" / "_R" inside a text column's name: centred / right-aligned (table)
//   "Time" "Qty" "Count" "Quantity" in a number column: minutes, count, count, quantity (table)
//   "HIDE_KEY": the row's record key (table); "HIDE": hidden (table); "_HIDE": hidden (list)
//   "/": header line break (table)
//   "}" and a tail: chart roles, the column flag and a computed column (table)
class CColumnAlias
{
public:
    // Field types of columns: the database's types, time (22) and the table's own.
    enum Type : int {
        TypeBoolean = 1,
        TypeByte = 2,
        TypeInteger = 3,
        TypeLong = 4,
        TypeCurrency = 5,
        TypeSingle = 6,
        TypeDouble = 7,
        TypeDate = 8,
        TypeText = 10,
        TypeMemo = 12,
        TypeTime = 22,
        TypeMinutes = 31,
        TypeCount = 32,
        TypeQuantity = 33,
    };

    // Drawing formats of a table column: single line, vertically centred, no prefix.
    static constexpr std::uint32_t kLeft = 2084;
    static constexpr std::uint32_t kCentre = 2085;
    static constexpr std::uint32_t kRight = 2086;

    // The type suffix and the width directive (ApplyColumnTypeSuffix and
    // ParseColumnWidth) on int types.
    static void ApplyTypeSuffix(QString &alias, int &type);
    // Returns 0 when no width is given.
    static int ParseWidth(QString &alias);

    // The table's width before naming, by the type the suffix rule leaves.
    static int InitialTableWidth(int type, int fieldSize);

    struct TableColumn
    {
        QString title;
        int width = 0;            // in characters
        int type = TypeText;
        std::uint32_t format = kLeft;
        bool parent = false;      // "__PARENT"
        bool key = false;         // exactly "HIDE_KEY" on a number column
        bool widthGiven = false;
    };
    // The table's naming of one column (not yet the "}" tail or the display rules).
    static TableColumn ForTable(int column, const QString &alias, int initialWidth, int type);

    struct ListColumn
    {
        QString title;
        int width = 0;            // in pixels
        int type = TypeText;
        int align = 0;            // 0 left, 1 right, 2 centre
        bool hidden = false;      // "_HIDE"
    };
    // The record list's reading of one field. digitWidth is the width of "9" in
    // the list's font; defaultTextWidth is used for text fields of size 0. The
    // first column's widening and the key column are the list's business.
    static ListColumn ForList(const QString &fieldName, int fieldType, int fieldSize, int digitWidth,
                              int defaultTextWidth);
    // The list's default pixel width for a type; 0 for types that have none.
    static int DefaultListWidth(int type, int digitWidth);

    // The "}" tail of a table column's title.
    struct Tail
    {
        QString title;            // the text before the first "}"
        QChar role;               // 't', 'p', 'c' or null
        bool flagged = false;     // "P"
        QChar op;                 // one of "~+-*/%", or null for no computation
        int a = 0;
        int b = 0;
    };
    static bool HasTail(const QString &title) { return title.contains(QLatin1Char('}')); }
    static Tail ParseTail(const QString &title);

    // Display rules of the table: "HIDE" anywhere hides the column; "/" breaks
    // the header into lines.
    static bool IsHiddenTitle(const QString &title) { return title.contains(QLatin1String("HIDE")); }
    static int HeaderLineCount(const QString &title) { return int(title.count(QLatin1Char('/'))) + 1; }
    static QString MultiLineHeader(const QString &title);

    // Reads the decimal number at the start of a text: leading blanks and a
    // sign are allowed; reading stops at the first character that cannot
    // continue a number (a thousands separator among them); no digits give 0.
    static double ReadNumber(const QString &text);
};
