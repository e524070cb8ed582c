#pragma once

#include "platform/db/jet/JetTranslator.h"

#include <QtCore/QHash>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <optional>
#include <ostream>

// Readable failures for texts and text lists.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

struct sqlite3;

// An in-memory SQLite database with tables declared in the Jet types, the Jet
// functions registered, and a catalog the translator reads it through.
class JetTestDatabase : public platform::jet::SchemaCatalog
{
public:
    struct Col { QString name; platform::FieldType type; int size = 0; };

    JetTestDatabase();
    ~JetTestDatabase() override;

    void addTable(const QString &name, const QList<Col> &columns, const QStringList &uniqueColumns = {});
    void addSavedQuery(const QString &name, const QString &jetSql);
    // Runs native SQLite (test data); fails the test on error.
    void exec(const QString &sql);

    std::optional<QList<Column>> tableColumns(const QString &table) const override;
    std::optional<QString> savedQuery(const QString &name) const override;
    quint64 schemaGeneration() const override { return m_generation; }
    bool isUniqueColumn(const QString &table, const QString &column) const override;

    const platform::jet::JetTranslator &translator() const { return *m_translator; }

    // Translates and runs a statement; rows as "a|b|c" texts (Null as "<null>",
    // numbers as SQLite holds them, reals to 15 digits).
    QStringList rows(const QString &jetSql, const QList<platform::Value> &params = {});
    QStringList rowsOf(const platform::jet::Translation &t, const QList<platform::Value> &params = {});
    // Runs a crosstab in its two steps.
    QStringList crosstab(const QString &jetSql, QStringList *columnNames = nullptr);
    // Translates and runs an action statement; returns the rows changed.
    int execute(const QString &jetSql, const QList<platform::Value> &params = {});
    // The first column of the first row of native SQL.
    QString scalar(const QString &sqliteSql);
    // The error message SQLite gave for the last statement run, if it failed.
    QString lastError() const { return m_lastError; }

    sqlite3 *handle() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
    QHash<QString, QList<Column>> m_tables;
    QHash<QString, QString> m_tableNames;
    QHash<QString, QString> m_queries;
    QStringList m_unique;
    quint64 m_generation = 1;
    std::unique_ptr<platform::jet::JetTranslator> m_translator;
    QString m_lastError;
};
