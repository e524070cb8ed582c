#pragma once

#include "support/TestEnvironment.h"

#include "app/base/CZqApp.h"
#include "app/base/SharedDatabaseHolder.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

// A real shop database opened as the program's shared database, an
// application object reading it through the data layer, and a password entry
// dialog that answers from a script and records what it was shown.
class AppObjectTest : public TavrelTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    void exec(const QString &jetSql);
    // A row of a table from column and value lists of Jet SQL.
    void insert(const QString &table, const QString &columns, const QString &values);

    // What the entry dialog showed each time it was run.
    struct Shown
    {
        QString value;
        int kind = 0;
        QString window;
        QString ribbon;
        QString strip;
    };
    // The texts the user "types", one per run; kCancel cancels the dialog.
    QStringList typed;
    QList<Shown> asked;
    static const QString kCancel;

    SharedDatabaseHolder holder;
    std::unique_ptr<CZqApp> app;
};
