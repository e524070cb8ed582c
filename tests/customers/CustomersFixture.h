#pragma once

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/CCusSet.h"
#include "data/DatabaseOpening.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/db/Database.h"
#include "support/TestEnvironment.h"
#include "views/CDlg0.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>

#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// A new shop database in the test's folder as the shared database, an
// application object, and helpers to drive dialogs, run the sqlite3 CLI on
// the same file and save pictures under build/tests/customers.
class CustomersTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        m_dataFolder = DataFolder();
        m_path = tempPath(QStringLiteral("TavrelData.mdb"));
        CreateShopDatabase(m_path);
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

    void exec(const QString &sql) { SharedDatabase().execute(sql); }

    // A customer as the program makes one: every field set, none Null.
    void addCustomer(int cusNo, const QString &name)
    {
        CCusSet set;
        ASSERT_TRUE(set.SafeAddNew());
        set.InitNewCustomer();
        set.m_CusNo = cusNo;
        set.m_Name = name;
        set.m_CusStatus = 0;
        ASSERT_TRUE(set.SaveRecord(0));
        set.Close();
    }

    // The sqlite3 command-line tool's answer on the same file, trimmed.
    QString cli(const QString &sql) const
    {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {m_path, sql});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    int cliCount(const QString &sql) const { return cli(sql).toInt(); }


    static int press(CDlg0 &dialog, int id)
    {
        dialog.SendCommand(id);
        return dialog.result();
    }

    static void snapshot(QWidget &widget, const QString &name)
    {
        SaveSnapshot(widget, QStringLiteral("customers"), name);
    }

    std::unique_ptr<CZqApp> app;
    QString m_path;

private:
    QString m_dataFolder;
};
