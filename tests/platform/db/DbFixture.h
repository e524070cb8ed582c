#pragma once

#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "support/TestEnvironment.h"

// A fresh database file in the test's folder, open shared, with a small
// table of jobs: JobID AutoNumber, JobNo Long, Name Text(20), Note Memo,
// Price Currency, DateIn Date, Rush Yes/No.
class DbTest : public TavrelTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString dbPath() const { return tempPath(QStringLiteral("TavrelData.mdb")); }
    void makeJobsTable();
    void addJob(int jobNo, const QString &name, double price);
    platform::Value scalar(const QString &sqliteSql);
    // A table "Padding" of random rows that makes the file at least this many
    // pages long.
    void padFile(int pages);

    platform::Database db;
};
