#pragma once

#include "platform/Value.h"

#include <QtCore/QString>

class TableDefinition;

namespace platform {
class Database;
}

// The progress window of a long run of schema steps: each step advances it
// by one with a text, and once the user has stopped it the steps do nothing.
class SchemaProgress
{
public:
    virtual ~SchemaProgress() = default;
    // Starts a phase: the title (a "%s" in it takes the total, grouped in
    // thousands), whether the bar and the Stop button show, and the count
    // line. A window that only steps may leave it as it is.
    virtual void start(int total, const QString &title, bool showBar, bool cancellable, const QString &line)
    {
        Q_UNUSED(total);
        Q_UNUSED(title);
        Q_UNUSED(showBar);
        Q_UNUSED(cancellable);
        Q_UNUSED(line);
    }
    // Sets the bar's range without moving it.
    virtual void setRange(int position, int total)
    {
        Q_UNUSED(position);
        Q_UNUSED(total);
    }
    virtual bool isRunning() const = 0;
    // One step; false once the user has stopped the run.
    virtual bool step(const QString &text) = 0;
    // Shows a message line without advancing.
    virtual void setMessage(const QString &text) = 0;
};

// The schema operations: they open the file and change and probe the shop
// database's structure. Most report a database failure into the run log
// rather than in a message box, so that a run of many steps goes on after a
// failed step and reports once at its end. The operations that take no
// database work on the shared database.

// The initial value that leaves a new field without a value in existing rows.
inline constexpr long kNoInitialValue = 2147483647;
// Field attributes as the engine numbers them.
inline constexpr long kFieldUpdatable = 32;
inline constexpr long kFieldAutoIncrement = 16;

// (Re)opens the database on a file; a failure is shown with "Cannot open
// database:\n" and the path, and its engine number is put in *failure when
// asked. True when the database is open.
bool OpenDatabaseFile(platform::Database *database, const QString &path, bool exclusive, int *failure = nullptr);

// Adds a field at a position (at the end when the position is negative). On
// an existing table a number field that is not a date gets the initial value
// in every row unless it is kNoInitialValue; texts, memos and dates stay Null.
// With a progress window: nothing happens once it was stopped, else it steps
// with the field name. A failure is logged ("Add Field " + name); false then.
bool DbCreateField(TableDefinition *td, const QString &name, platform::FieldType type, long size,
                   SchemaProgress *progress, long attributes, long initialValue, int position);

// The primary key on one field, named after it. A failure is shown; false then.
bool DbCreateIndex(TableDefinition *td, const QString &field);

// Moves a field to a 0-based position; a failure is logged ("SetFieldPosition ").
void DbSetFieldPosition(TableDefinition *td, const QString &field, int position);

// Deletes a field. When an index keeps it, the index named after the field is
// deleted and the field deleted again (a second failure is not caught here).
// Other failures are logged ("Field Name: " + field); false then.
bool DbDeleteField(TableDefinition *td, const QString &field);

bool DbFieldExists(TableDefinition *td, const QString &field);

// Gives a text field a new size, keeping every value exactly ("" stays "",
// Null stays Null), then moves it to the position when that is 0 or more; a
// negative position keeps it where it stands. Failures are not caught here.
void DbResizeTextField(TableDefinition *td, const QString &field, long newSize, int position);

// Adds the byte fields "Type" and "Sort" of a code table at their positions
// (a negative position adds none); Sort then takes the sort expression when
// one is given. Returns how many fields were added.
int DbAddCodeTableFields(TableDefinition *td, const QString &table, int typePosition, int sortPosition,
                         const QString &sortExpression);

// Deletes one index of a table of the shared database; any failure is dropped.
bool DbDeleteIndex(const QString &table, const QString &index);

// True when the table exists. Otherwise a message "?" shows the table name
// followed by " does not exist.", another non-empty message is shown as it
// is, and an empty one shows nothing.
bool DbTableExists(platform::Database *database, const QString &table, const QString &message);
bool DbQueryExists(platform::Database *database, const QString &query);

// Deletes the table when it exists; failures are not caught here.
void DbDeleteTable(platform::Database *database, const QString &table);

// Deletes every row of the table; a failure is shown.
void DbDeleteAll(platform::Database *database, const QString &table);

// "INSERT INTO table VALUES (values)" on the shared database; the caller
// writes the values in the engine's syntax. Failures are not caught here.
void DbInsertRow(const QString &table, const QString &values);

// "UPDATE table SET assignments" with "WHERE condition" when there is one, on
// the shared database, all rows or none. With a stopped progress window
// nothing runs; otherwise it steps with the step text. Failures are not
// caught here.
void DbUpdate(const QString &table, const QString &assignments, const QString &condition,
              SchemaProgress *progress = nullptr, const QString &stepText = QString());
void DbUpdateFieldValue(const QString &table, const QString &field, long value, const QString &condition,
                        SchemaProgress *progress = nullptr, const QString &stepText = QString());

// Copies the row whose key field holds the source key into a new row with the
// new key; without a source row only the key is set. A row that already has
// the new key is left alone. Failures are logged with the table name.
void DbCopyRowToKey(const QString &table, const QString &keyField, long sourceKey,
                    const platform::Value &newKey);

// Closes the working definition, shows table + " " + text and returns whether
// the run goes on (false once the user stopped it).
bool ShowUpgradeStep(const QString &table, TableDefinition *td, SchemaProgress *progress,
                     const QString &text);
