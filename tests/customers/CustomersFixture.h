#pragma once

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/CCusSet.h"
#include "data/DatabaseOpening.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/db/Database.h"
#include "support/ShopTest.h"
#include "views/CDlg0.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>

#include <functional>
#include <memory>
#include <ostream>

// A new shop database in the test's folder as the shared database, an
// application object, and helpers to drive dialogs, run the sqlite3 CLI on
// the same file and save pictures under build/tests/customers.
class CustomersTest : public ShopTest
{
protected:
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

    int cliCount(const QString &sql) const { return sqlite(sql).toInt(); }


    static int press(CDlg0 &dialog, int id)
    {
        dialog.SendCommand(id);
        return dialog.result();
    }

    static void snapshot(QWidget &widget, const QString &name)
    {
        SaveSnapshot(widget, QStringLiteral("customers"), name);
    }

};
