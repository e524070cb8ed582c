#pragma once

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/DatabaseOpening.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/db/Database.h"
#include "support/TestEnvironment.h"

#include <QtCore/QProcess>
#include <QtWidgets/QApplication>

#include <memory>
#include <ostream>

// Texts shown as texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// A new shop database in the test's folder as the shared database, and an
// application object with the view settings loaded; the data folder is put
// back afterwards. For the test programs of the layers that have a shop
// (this header uses the data layer and the application object).
class ShopTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        m_dataFolder = DataFolder();
        m_path = tempPath(QStringLiteral("TavrelData.mdb"));
        makeShopFile(m_path);
        SharedDatabase().open(m_path);
        app = std::make_unique<CZqApp>();
        Appearance::instance().LoadViewSettings();
    }
    void TearDown() override
    {
        QApplication::processEvents();
        app.reset();
        if (SharedDatabase().isOpen())
            SharedDatabase().close();
        SetDataFolder(m_dataFolder);
        TavrelTest::TearDown();
    }

    // Writes the shop's file before it is opened: a new shop.
    virtual void makeShopFile(const QString &path) { CreateShopDatabase(path); }

    void exec(const QString &sql) { SharedDatabase().execute(sql); }
    // The rows of a statement as the sqlite3 program prints them on the same
    // file ("|" between fields, one line per row), trimmed.
    QString sqlite(const QString &sql) const
    {
        QProcess process;
        process.start(QStringLiteral("sqlite3"), {m_path, sql});
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    std::unique_ptr<CZqApp> app;
    QString m_path;

private:
    QString m_dataFolder;
};
