#pragma once

#include "app/base/SharedDatabaseHolder.h"
#include "controls/CXRowSource.h"
#include "platform/db/Database.h"

#include <QtCore/QList>
#include <QtCore/QString>

#include <vector>

// Rows held in memory, read as a query's result.
class RowSourceStub : public CXRowSource
{
public:
    struct Field
    {
        QString name;
        platform::FieldType type = platform::FieldType::Text;
        int size = 0;
    };

    RowSourceStub(QList<Field> fields, std::vector<std::vector<platform::Value>> rows,
                  const QString &statement = QString())
        : m_fields(std::move(fields)), m_rows(std::move(rows)), m_statement(statement)
    {
    }

    bool isOpen() const override { return true; }
    int fieldCount() const override { return int(m_fields.size()); }
    QString fieldName(int f) const override { return m_fields.at(f).name; }
    platform::FieldType fieldType(int f) const override { return m_fields.at(f).type; }
    int fieldSize(int f) const override { return m_fields.at(f).size; }
    bool isEmpty() const override { return m_rows.empty(); }
    long countRecords() override
    {
        m_pos = 0;
        return long(m_rows.size());
    }
    void moveFirst() override { m_pos = 0; }
    void moveNext() override { ++m_pos; }
    bool isEOF() const override { return m_pos >= m_rows.size(); }
    platform::Value value(int f) const override { return m_rows.at(m_pos).at(size_t(f)); }
    QString whereText() const override { return QStringLiteral("Kind = 1"); }
    QString statement() const override { return m_statement; }

    size_t position() const { return m_pos; }

private:
    QList<Field> m_fields;
    std::vector<std::vector<platform::Value>> m_rows;
    QString m_statement;
    size_t m_pos = 0;
};

// A new shop-less database with one table of a name, a text, a money and a
// key column, opened as the shared database of the holder.
inline platform::Database &OpenThreeColumnTable(SharedDatabaseHolder &holder, const QString &path,
                                               const QString &table, const QString &name,
                                               const QString &amount, const QString &key)
{
    platform::Database &db = holder.database();
    platform::Database::create(path);
    db.open(path);
    platform::TableDef def;
    def.name = table;
    def.fields = {{name, platform::FieldType::Text, 30},
                  {amount, platform::FieldType::Currency, 8},
                  {key, platform::FieldType::Long, 4}};
    db.createTable(def);
    return db;
}
