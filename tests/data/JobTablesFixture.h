#pragma once

#include "support/TestEnvironment.h"

#include "platform/Money.h"
#include "platform/Value.h"
#include "platform/db/Database.h"

#include <QtCore/QString>

// A real shop database (the full schema and default rows) in the test's
// folder, opened as the program's shared database, with today fixed at
// 06/15/2024 and helpers that put jobs, items and services into it.
class JobTablesTest : public TavrelTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    platform::Database &db();
    QString databasePath() const { return m_path; }
    void exec(const QString &jetSql);
    // The first field of the first row (Null when there is none).
    platform::Value scalar(const QString &jetSql);
    int count(const QString &table, const QString &where);

    // A job row; returns its JobID. `columns` and `values` are Jet SQL
    // column list and value list pieces appended to the basic ones.
    qint32 addJob(int jobType, qint32 jobNo, const QString &columns = QString(), const QString &values = QString());
    // An item (serNo 0) or service row; returns its ItemID.
    qint32 addItem(qint32 jobId, qint32 serNo, int itemNo, const QString &columns = QString(),
                   const QString &values = QString());
    void addService(qint32 serNo, qint32 catNo, const QString &name, const QString &columns = QString(),
                    const QString &values = QString());
    static Money money(const char *text) { return Money::fromText(QString::fromLatin1(text)); }

private:
    QString m_path;
};
