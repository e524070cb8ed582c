#pragma once

#include "controls/CXRowSource.h"

#include <QtCore/QString>

#include <memory>

namespace platform {
class Database;
class DbException;
class Recordset;
}

// A database recordset read as a row source. It either reads a recordset that
// its caller opened and keeps, or opens and owns a snapshot on a statement.
class CXRecordsetSource final : public CXRowSource
{
public:
    // Reads the caller's open recordset; statement is the text it was opened
    // on, when the caller knows it (it gives the WHERE condition).
    explicit CXRecordsetSource(platform::Recordset &recordset, const QString &statement = QString());
    ~CXRecordsetSource() override;

    // Opens a snapshot on the statement; with firstRows, one that reads that
    // many rows at once and the rest as they are asked for (readMore). A
    // database failure is shown to the user ("Could not run query:") and
    // gives null.
    static std::unique_ptr<CXRecordsetSource> openSnapshot(platform::Database &db, const QString &sql,
                                                           int firstRows = -1);

    // Tells the user that a query could not be opened, as every failed open is told.
    static void reportOpenFailure(const platform::DbException &e, const QString &source);
    // Takes over a snapshot that is already open.
    static std::unique_ptr<CXRecordsetSource> adopt(std::unique_ptr<platform::Recordset> recordset,
                                                    const QString &statement);

    platform::Recordset &recordset() const { return *m_rs; }

    bool isOpen() const override;
    int fieldCount() const override;
    QString fieldName(int field) const override;
    platform::FieldType fieldType(int field) const override;
    int fieldSize(int field) const override;
    bool fieldIsComputed(int field) const override;
    bool isEmpty() const override;
    long countRecords() override;
    void moveFirst() override;
    void moveNext() override;
    bool isEOF() const override;
    platform::Value value(int field) const override;
    QString whereText() const override;
    QString statement() const override { return m_statement; }
    bool holdsRecords() const override { return m_holds; }
    long heldCount() const override;
    platform::Value valueAt(long record, int field) override;
    bool isReading() const override;
    bool readMore(int records) override;
    bool waitForRows(int ms) override;
    void stopReading() override;

    // The WHERE condition of a statement: the text after " WHERE " up to the
    // statement's GROUP BY, HAVING, ORDER BY or UNION, "#" removed.
    static QString whereOf(const QString &statement);

private:
    CXRecordsetSource(std::unique_ptr<platform::Recordset> owned, const QString &statement);

    std::unique_ptr<platform::Recordset> m_owned;
    platform::Recordset *m_rs = nullptr;
    QString m_statement;
    bool m_holds = false; // an own snapshot: read at any place
};
