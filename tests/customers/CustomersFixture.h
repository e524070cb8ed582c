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

    // Orders ready to post of customer 100, numbered from the first number
    // on, each of 10 with an item row and a service row of 10 (their totals
    // agree), written in one transaction.
    void addReadyOrders(int firstJobNo, int count)
    {
        platform::Transaction many(SharedDatabase());
        for (int n = 0; n < count; ++n)
            exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Title, Status, TermsNo, TaxNo, DateShipped, "
                                "Cost, Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, Balance, "
                                "Commission, Creator, PostingNo, InvoicePrinted) VALUES (0, %1, 100, 'Cards', 3, 1, 0, "
                                "#3/1/2026#, 0, 10, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 1)")
                     .arg(firstJobNo + n));
        for (int ser : {0, 5})
            exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Price, Cost, Bleed) SELECT JobID, %1, 1, "
                                "0, 10, 0, 0 FROM Jobs WHERE JobNo >= %2 AND JobNo < %3")
                     .arg(ser)
                     .arg(firstJobNo)
                     .arg(firstJobNo + count));
        many.commit();
    }


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
