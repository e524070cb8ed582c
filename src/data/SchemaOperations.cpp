#include "app/base/WaitCursor.h"
#include "data/SchemaOperations.h"

#include "data/DaoError.h"
#include "data/DatabaseHelpers.h"
#include "data/SharedDatabase.h"
#include "data/ShopSchema.h"
#include "data/TableDefinition.h"
#include "data/TableRows.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbErrors.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>

namespace {

using platform::DbException;

// The definition must describe a table (open or being made).
void requireTable(const TableDefinition *td)
{
    if (!td || (!td->isOpen() && !td->isNew()))
        platform::dberr::raise(platform::dberr::ObjectInvalid);
}

} // namespace

bool OpenDatabaseFile(platform::Database *database, const QString &path, bool exclusive, int *failure)
{
    if (database->isOpen())
        database->close();
    if (failure)
        *failure = 0;
    try {
        database->open(path, exclusive, false);
    } catch (const DbException &e) {
        if (failure)
            *failure = e.number();
        ShowDaoError(e, QStringLiteral("Cannot open database:\n") + path);
    }
    return database->isOpen();
}

bool DbCreateField(TableDefinition *td, const QString &name, platform::FieldType type, long size,
                   SchemaProgress *progress, long attributes, long initialValue, int position)
{
    if (progress) {
        if (!progress->isRunning())
            return false;
        progress->step(name);
    }
    try {
        requireTable(td);
        platform::FieldDef field;
        field.name = name;
        field.type = type;
        field.size = type == platform::FieldType::Text ? int(size)
            : type == platform::FieldType::Memo       ? 0
                                                      : ShopSchema::byteSize(type);
        field.autoNumber = (attributes & kFieldAutoIncrement) != 0;
        if (td->isNew()) {
            td->addNewField(field, position);
            return true;
        }
        // Numbers start with the initial value in the rows already there;
        // texts, memos and dates start without a value.
        const bool fill = type != platform::FieldType::Text && type != platform::FieldType::Memo
            && type != platform::FieldType::Date && initialValue != kNoInitialValue;
        td->database().addField(td->name(), field, position < 0 ? -1 : position,
                                fill ? platform::Value(std::int64_t(initialValue), type) : platform::Value());
        td->refresh();
        return true;
    } catch (const DbException &e) {
        LogDaoError(e, QStringLiteral("Add Field ") + name);
        return false;
    }
}

bool DbCreateIndex(TableDefinition *td, const QString &field)
{
    try {
        requireTable(td);
        platform::IndexDef index;
        index.name = field;
        index.field = field;
        index.primary = true;
        index.unique = true;
        if (td->isNew()) {
            td->addNewIndex(index);
        } else {
            td->database().createIndex(td->name(), index);
            td->refresh();
        }
        return true;
    } catch (const DbException &e) {
        ShowDaoError(e, QString());
        return false;
    }
}

void DbSetFieldPosition(TableDefinition *td, const QString &field, int position)
{
    try {
        requireTable(td);
        td->database().moveField(td->name(), field, position);
        td->refresh();
    } catch (const DbException &e) {
        LogDaoError(e, QStringLiteral("SetFieldPosition ") + field);
    }
}

bool DbDeleteField(TableDefinition *td, const QString &field)
{
    try {
        requireTable(td);
        td->database().deleteField(td->name(), field);
        td->refresh();
        return true;
    } catch (const DbException &e) {
        if (e.number() != 3280) {
            LogDaoError(e, QStringLiteral("Field Name: ") + field);
            return false;
        }
    }
    // The field carries an index of its own name: drop it and try again.
    td->database().deleteIndex(td->name(), field);
    td->database().deleteField(td->name(), field);
    td->refresh();
    return true;
}

bool DbFieldExists(TableDefinition *td, const QString &field)
{
    return td && (td->isOpen() || td->isNew()) && td->hasField(field);
}

void DbResizeTextField(TableDefinition *td, const QString &field, long newSize, int position)
{
    requireTable(td);
    const QString table = td->name();
    td->database().resizeTextField(table, field, int(newSize));
    if (position >= 0)
        DbSetFieldPosition(td, field, position);
    td->close();
    td->open(table);
}

int DbAddCodeTableFields(TableDefinition *td, const QString &table, int typePosition, int sortPosition,
                         const QString &sortExpression)
{
    td->close();
    try {
        td->open(table);
    } catch (const DbException &e) {
        LogDaoError(e, table);
        return 0;
    }
    int added = 0;
    if (typePosition >= 0
        && DbCreateField(td, QStringLiteral("Type"), platform::FieldType::Byte, 1, nullptr, kFieldUpdatable, 0,
                         typePosition))
        ++added;
    if (sortPosition >= 0
        && DbCreateField(td, QStringLiteral("Sort"), platform::FieldType::Byte, 1, nullptr, kFieldUpdatable, 0,
                         sortPosition)) {
        ++added;
        if (!sortExpression.isEmpty())
            DbUpdate(table, QStringLiteral("Sort = ") + sortExpression, QString());
    }
    return added;
}

bool DbDeleteIndex(const QString &table, const QString &index)
{
    try {
        SharedDatabase().deleteIndex(table, index);
    } catch (const DbException &) {
    }
    return true;
}

bool DbTableExists(platform::Database *database, const QString &table, const QString &message)
{
    try {
        if (database->tableExists(table))
            return true;
    } catch (const DbException &) {
    }
    if (message == QLatin1String("?"))
        platform::Prompt::messageBox(table + QStringLiteral(" does not exist."));
    else if (!message.isEmpty())
        platform::Prompt::messageBox(message);
    return false;
}

bool DbQueryExists(platform::Database *database, const QString &query)
{
    try {
        return database->queryExists(query);
    } catch (const DbException &) {
        return false;
    }
}

void DbDeleteTable(platform::Database *database, const QString &table)
{
    if (DbTableExists(database, table, QString()))
        database->deleteTable(table);
}

void DbDeleteAll(platform::Database *database, const QString &table)
{
    const WaitCursor wait;
    try {
        database->execute(QStringLiteral("DELETE FROM %1").arg(table));
    } catch (const DbException &e) {
        ShowDaoError(e, QString());
    }
}

void DbInsertRow(const QString &table, const QString &values)
{
    SharedDatabase().execute(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, values));
}

void DbUpdate(const QString &table, const QString &assignments, const QString &condition,
              SchemaProgress *progress, const QString &stepText)
{
    if (progress) {
        if (!progress->isRunning())
            return;
        progress->step(stepText);
    }
    QString sql = QStringLiteral("UPDATE %1 SET %2 ").arg(table, assignments);
    if (!condition.isEmpty())
        sql += QStringLiteral("WHERE ") + condition;
    SharedDatabase().execute(sql);
}

void DbUpdateFieldValue(const QString &table, const QString &field, long value, const QString &condition,
                        SchemaProgress *progress, const QString &stepText)
{
    DbUpdate(table, field + QStringLiteral(" = ") + QString::number(value), condition, progress, stepText);
}

void DbCopyRowToKey(const QString &table, const QString &keyField, long sourceKey,
                    const platform::Value &newKey)
{
    try {
        platform::Database &db = SharedDatabase();
        const QString select = QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(table, BracketName(keyField));
        platform::Recordset target(db);
        target.open(platform::Recordset::Type::Dynaset, select, {newKey});
        if (!target.isEOF())
            return; // the row is there already: it is not overwritten
        platform::Recordset source(db);
        source.open(platform::Recordset::Type::Snapshot, select, {platform::Value(std::int64_t(sourceKey))});
        target.addNew();
        const int key = target.fieldIndex(keyField);
        target.setValue(key, newKey);
        if (!source.isEOF()) {
            for (int i = 0; i < target.fieldCount(); ++i) {
                if (i != key && !target.fieldIsAutoNumber(i))
                    target.setValue(i, source.value(target.fieldName(i)));
            }
        }
        target.update();
    } catch (const DbException &e) {
        LogDaoError(e, table);
    }
}

bool ShowUpgradeStep(const QString &table, TableDefinition *td, SchemaProgress *progress,
                     const QString &text)
{
    if (td)
        td->close();
    if (!progress)
        return true;
    progress->setMessage(table + QLatin1Char(' ') + text);
    return progress->isRunning();
}
