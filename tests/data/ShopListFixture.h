#pragma once

#include "support/TestEnvironment.h"

#include "app/base/CZqApp.h"
#include "platform/db/Database.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

// A small shop as of Wednesday 16 March 2011: four customers, orders in
// every state, quotes, a template, posted invoices paid and unpaid, payments
// of every group, a credit, quick sales, two postings and the audit trail.
void FillShop(platform::Database &db);

// Opens the statement as a snapshot and counts its rows; a failure throws
// the engine's DbException.
int CountRows(platform::Database &db, const QString &jetSql);
// Every row of a statement, fields joined by "|" (Null as "<null>").
QStringList ReadRows(platform::Database &db, const QString &jetSql);
// The sqlite3 command line on a file: one line per row, "|" between fields.
QStringList SqliteRows(const QString &path, const QString &sqliteSql);

// A new shop database (with its default rows) on 16 March 2011, with an
// application object for the workstation's default CSR.
class ShopListTest : public TavrelTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    void fillShop() { FillShop(db); }
    int rowCount(const QString &jetSql) { return CountRows(db, jetSql); }
    QStringList rows(const QString &jetSql) { return ReadRows(db, jetSql); }
    QStringList sqliteRows(const QString &sqliteSql) { return SqliteRows(path, sqliteSql); }

    QString path;
    platform::Database db;
    std::unique_ptr<CZqApp> app;
};
