#pragma once

#include <QtCore/QList>
#include <QtCore/QString>

#include <cstdint>

// One column of a setup grid: title, width in pixels, value type (1 text,
// 2 pick list, 6 byte, 7 long, 8 decimal), typed-edit format, editable flag
// and header alignment flags; field -1 keeps the binding by position, 255
// unbinds the column, another number binds it to that field.
struct SetupColumn
{
    QString title;
    int width = 0;
    int type = 1;
    QString format;
    bool editable = true;
    std::uint32_t align = 0;
    int field = -1;
    bool masked = false; // password cells
    // The values a typed column accepts, in its cells' units (maximum above
    // minimum); none given, the column's type says.
    qint64 minimum = 0;
    qint64 maximum = 0;
    bool money = false;       // amounts, read as every money field reads them ("$5,000")
    bool rate = false;        // a rate, typed with or without its "%"
    bool notNegative = false; // a break or a count: a negative number is refused
};

struct SetupCell
{
    int row = 0;
    int column = 0;
    QString text;
    int value = 0;
};

struct SetupPicks
{
    int column = 0;
    int firstValue = 0;
    QString list;
};

struct SetupGrid
{
    QList<SetupColumn> columns;
    int rows = 0;
    int visible = 0;
    QList<SetupCell> fixedTexts;   // put in before loading; stay and are saved
    QList<SetupCell> startValues;  // numbers replaced by the stored ones
    QList<int> readOnlyRows;
    QList<SetupCell> readOnlyCells;
    QList<SetupPicks> picks;
    int headerHeight = 0;
    bool highlightCurrentRow = false;
    // Each record goes into the row of its own key, so the fixed rows of the
    // special numbers only ever show and write the records of those numbers.
    bool rowsByKey = false;
    // The key of the first row when rows go by key (the waste table's grid
    // of levels starts at Row # 1).
    int keyBase = 0;
};

// The description of one entry of the settings view: which table, which rows,
// which columns, fixed rows and texts. Filled by DescribeSetupEntry.
struct SetupEntry
{
    int code = 0;
    QString table;
    QString filter;
    QString order;
    QString fieldList;
    QString note;
    QString hint = QStringLiteral("To Hide: Type ~ before text.");
    QString ribbonTitle;   // empty: the entry's name from the string table
    QString stripText;
    QString helpText;
    bool limit = true;
    int typeValue = 255;
    int keyStep = 100;
    int secondSkip = 0;
    bool deleteEmpty = false;
    QString stampLongField;
    int stampLong = 0;
    QString stampByteField; // written without a type filter
    int stampByte = 0;
    bool reloadProductTypes = false;
    bool reloadEmployees = false;
    bool askRestart = false;
    bool needsTopLevel = false; // the top-level password must be given first
    bool secondBeside = false;  // the second grid stands right of the first
    SetupGrid first;
    SetupGrid second;
};

// Fills the description of a setup code; false for a code that no table entry
// describes (settings rows and option entries are edited elsewhere). The
// argument is the service category of code 806.
bool DescribeSetupEntry(int code, int argument, SetupEntry &entry);

// The statement that loads an entry's table: filter, then the type condition,
// then the order.
QString SetupEntrySql(const SetupEntry &entry);

// The text of the caption strip: the strip text, then the note with the limit
// text and the hint, each separated by a blank.
QString SetupStripText(const SetupEntry &entry, const QString &ribbonTitle);
