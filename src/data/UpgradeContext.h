#pragma once

#include "data/TableDefinition.h"
#include "platform/Value.h"

#include <QtCore/QString>

#include <functional>

class SchemaProgress;

namespace platform {
class Database;
}

// One run of the schema upgrade: the database held exclusively, the working
// table definition, the progress window and the version the file had, with
// the helpers the steps are written in.
//
// Every step is one unit of work: when anything in it fails, everything the
// step changed is rolled back and the failure is logged once (with the
// step's table as context), so the file stays as it was before the step and
// the next run, which tests the file again, does the whole step. A step
// stopped from the progress window is rolled back the same way.
//
// The helpers throw on failure: platform::DbException for an engine error
// that still has to be logged, StepAbandoned for one that the schema
// operation has logged already or for a stop.
class UpgradeContext
{
public:
    struct StepAbandoned
    {
    };

    UpgradeContext(platform::Database &db, SchemaProgress *progress, const QString &storedVersion);

    platform::Database &db() { return *m_db; }
    SchemaProgress *progress() { return m_progress; }
    TableDefinition &td() { return m_td; }

    // The stored version text read as an integer ("2005.3" gives 2005; an
    // empty or unreadable text 0).
    int storedVersionNumber() const;

    // Shows table + " " + text and runs the work as one unit. False once the
    // user has stopped the run (the work then does not run, or is undone).
    bool runStep(const QString &table, const QString &text, const std::function<void()> &work);

    // A new phase of the progress window inside a step (a title with its own
    // count), and back to the run's own title afterwards.
    void startPhase(int total, const QString &title, const QString &message);
    void endPhase();
    void setMessage(const QString &text);

    bool tableExists(const QString &table);
    // Opens the working definition on the table (3265 when it is missing).
    void open(const QString &table);
    int fieldCount(const QString &table);
    // False for a missing table as for a missing field.
    bool hasField(const QString &table, const QString &field);

    // Creates the table in the current layout with its key and the rows it
    // comes with.
    void createTable(const QString &table);
    // On the open table. Numbers start at the initial value in existing rows
    // (0 unless named); with progress the window steps with the field's name.
    void addField(const QString &name, platform::FieldType type, int size = 0, long initialValue = 0,
                  int position = -1, bool withProgress = false);
    void resizeText(const QString &field, int size, int position = -1);
    void deleteField(const QString &field);

    // Statements on the shared database; with progress each is one step of
    // the window with the step text.
    void update(const QString &table, const QString &assignments, const QString &condition = QString(),
                bool withProgress = false, const QString &stepText = QString());
    void updateValue(const QString &table, const QString &field, long value, const QString &condition);
    void insert(const QString &table, const QString &values);
    void execute(const QString &statement);
    void setRowFields(const QString &select, const platform::Value &value1,
                      const platform::Value &value2 = platform::Value());
    bool rowExists(const QString &select);

private:
    void requireRunning() const;

    platform::Database *m_db;
    SchemaProgress *m_progress;
    QString m_storedVersion;
    TableDefinition m_td;
};
