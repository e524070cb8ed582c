#pragma once

#include "platform/Value.h"

#include <QtCore/QString>

// The records a table or a list is filled from: an open query's fields and its
// rows, read forward from the first. The database's recordsets are adapted to
// it (CXRecordsetSource); anything else that yields rows can be loaded the same
// way.
class CXRowSource
{
public:
    virtual ~CXRowSource() = default;

    virtual bool isOpen() const = 0;
    virtual int fieldCount() const = 0;
    virtual QString fieldName(int field) const = 0;
    virtual platform::FieldType fieldType(int field) const = 0;
    // The declared size of a text field (0 for memo and for numbers).
    virtual int fieldSize(int field) const = 0;
    // The field is worked out by the query (a count, a maximum, an
    // expression), not a table's column as stored.
    virtual bool fieldIsComputed(int /*field*/) const { return false; }

    // True when it is not open or holds no record.
    virtual bool isEmpty() const = 0;
    // The exact number of records; the first record is current afterwards.
    virtual long countRecords() = 0;
    virtual void moveFirst() = 0;
    virtual void moveNext() = 0;
    virtual bool isEOF() const = 0;
    virtual platform::Value value(int field) const = 0;

    // A source that holds its records can be read at any place (0 the first),
    // so a list reads its cells from it as they are shown and keeps no copy.
    virtual bool holdsRecords() const { return false; }
    // The records it holds now.
    virtual long heldCount() const { return 0; }
    virtual platform::Value valueAt(long /*record*/, int /*field*/) { return {}; }
    // A source that holds its records may show its first ones before the
    // rest are read (countRecords counts them all): readMore reads up to
    // records more (heldCount grows) and answers true while some remain. A
    // failure of the reading throws, here or at the next call.
    virtual bool isReading() const { return false; }
    virtual bool readMore(int /*records*/) { return false; }
    // A source read beside the window gives its records as they come:
    // waitForRows waits up to ms milliseconds for more (or the end), and
    // stopReading ends the reading where it is, keeping what was read.
    virtual bool waitForRows(int /*ms*/) { return true; }
    virtual void stopReading() {}

    // The condition of the statement's WHERE clause, with the "#" date marks
    // removed; empty when it has none.
    virtual QString whereText() const = 0;
    // The statement it was opened on (empty when it was a table).
    virtual QString statement() const = 0;

    // The text a field value shows in a table cell or a list row
    // (VariantToText, with a quick way for dates).
    static QString ValueText(const platform::Value &value);
};
