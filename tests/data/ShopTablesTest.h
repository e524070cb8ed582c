#pragma once

#include "support/TestEnvironment.h"

#include "platform/Value.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

// A new shop database (the real layout and default rows) in the test's
// folder, opened as the program's shared database, with the clock fixed at
// Monday 16 March 2026, 10:00.
class ShopTablesTest : public TavrelTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    void exec(const QString &jetSql);
    // The first field of the first row (Null when there is none).
    platform::Value scalar(const QString &jetSql);
    // Field 0 of every row, as text.
    QStringList column(const QString &jetSql);
    // The texts of the message boxes shown so far (beeps left out).
    QStringList messages();
    // Makes the engine refuse every statement of that kind on the table, as
    // a failing disk or a conflicting workstation would.
    void refuse(const QString &table, const QString &operation);
};
