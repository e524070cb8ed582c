#pragma once

#include "support/TestEnvironment.h"

#include "app/base/CZqApp.h"
#include "platform/Value.h"

#include <QtCore/QDate>
#include <QtCore/QString>

#include <memory>

// The shop the production tests start from: a new database in the test's
// folder opened as the shared database, the clock fixed at 10:00 on
// Wednesday 06/12/2024, a customer (100) and the operators Carla (3) and
// Ben (5). A derived fixture adds its rows, then loads the application
// object with its caches.
class ProductionShopTest : public TavrelTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The application object with the stored-query reader, the service and
    // department caches, the menus and the view settings.
    void loadApplication();

    void exec(const QString &sql);
    platform::Value scalar(const QString &sql);
    // The sqlite3 program's rows of a query on the database file ("|" between
    // cells, "\n" between rows), or the whole .dump with ".dump".
    QString sqliteRows(const QString &sql);
    // While each message box is up another workstation writes with no wait
    // at all (customer 100's row rewritten as it is): it must succeed, the
    // file free while the box is on screen. Counts the boxes so met, until
    // the test ends or stopWritingWhileBoxesShow.
    void writeAtOnceWhileBoxesShow(int &writes);
    static void stopWritingWhileBoxesShow();

    static QDate today() { return QDate(2024, 6, 12); }

    std::unique_ptr<CZqApp> app;

private:
    QString m_path;
    QString m_dataFolder;
};
