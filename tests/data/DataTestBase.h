#pragma once

#include "support/TestEnvironment.h"

#include "platform/Value.h"
#include "platform/db/Database.h"

#include <QtCore/QString>

#include <initializer_list>

// A shop database of a few small tables in the test's folder, opened as the
// program's shared database.
class DataTest : public TavrelTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    platform::Database &db();
    QString databasePath() const { return m_path; }
    void exec(const QString &jetSql) { db().execute(jetSql); }
    // The first field of the first row of a statement (Null when none).
    platform::Value scalar(const QString &jetSql);

private:
    QString m_path;
};
