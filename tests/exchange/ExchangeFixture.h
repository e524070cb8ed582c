#pragma once

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/DatabaseOpening.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "exchange/export/CExport.h"
#include "platform/db/Database.h"
#include "support/ShopTest.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>

#include <memory>
#include <ostream>

// A shop database with one posting (number 7) holding a taxed invoice with a
// comma in its customer's name and title, an untaxed one, a credit, an invoice
// whose tax has no Taxes row, quick sales, a deposit and a payment; items of
// the departments "4000 Printing" and "Bindery".
class ExchangeTest : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        seed();
    }
    void seed()
    {
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Address, Address2, City, State, Zip, Country, BuyerNo, "
                            "PayerNo, Tax) VALUES (100, 'Acme, Inc.', '1 Main St', 'Suite \"B\"', 'Springfield', 'IL', "
                            "'62701', 'USA', 1001, 1002, 1)"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Address, Address2, City, State, Zip, Country, BuyerNo, "
                            "PayerNo, Tax) VALUES (101, 'Bob''s Print\tShop', '9 Elm', '', 'Dover', 'DE', '19901', "
                            "'USA', 0, 0, 0)"));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, Title, First, Last, Phone, Fax, Type, Email) VALUES "
                            "(1001, 100, 'Mr', 'Al', 'Buyer', '555-0101', '555-0109', 0, 'al@acme.test')"));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, Title, First, Last, Phone, Fax, Type, Email) VALUES "
                            "(1002, 100, 'Ms', 'Pat', 'Payer', '555-0102', '555-0108', 0, 'pat@acme.test')"));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, Title, First, Last, Phone, Fax, Type, Email) VALUES "
                            "(1003, 100, '', 'Hidden', 'One', '', '', 2, '')"));
        exec(QStringLiteral("INSERT INTO ShipTo (ShiptoNo, CusNo, Attention, Company, Address, Address2, City, State, "
                            "Zip, Country) VALUES (55, 100, 'Dock 4', 'Acme Warehouse', '77 Port Rd', '', 'Joliet', 'IL', "
                            "'60431', 'USA')"));
        exec(QStringLiteral("INSERT INTO Taxes ([No], Name, TaxPercent) VALUES (1, 'State, Sales', 72500)"));
        exec(QStringLiteral("DELETE FROM SalesDepartments"));
        exec(QStringLiteral("INSERT INTO SalesDepartments ([No], Name) VALUES (1, '4000 Printing')"));
        exec(QStringLiteral("INSERT INTO SalesDepartments ([No], Name) VALUES (2, 'Bindery')"));
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SaleDept) VALUES (500, 1, 'Offset Press', 1)"));
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SaleDept) VALUES (501, 1, 'Folding', 2)"));
        exec(QStringLiteral("INSERT INTO PostingJournal (PostingNo, PostingDate, Paid, QSaleSubtotal, QSaleTax) VALUES "
                            "(7, #11/30/2026#, 150, 40, 2.9)"));
        exec(QStringLiteral("INSERT INTO PostingJournal (PostingNo, PostingDate, Paid, QSaleSubtotal, QSaleTax) VALUES "
                            "(8, #12/1/2026#, 0, 10, 0)"));
        //            id    no    cus  title                      po          tax sub    disc  ship pos  tax    paid
        job(1, 1001, 100, "Letterhead, 2 colours", "PO \"17\"", 1, "200", "-5", "10", "0", "14.5", "100");
        job(2, 1002, 101, "Flyers", "", 0, "80", "0", "0", "3", "0", "0");
        job(3, 1003, 100, "Credit for 1001", "", 1, "-50", "0", "0", "0", "-3.63", "0");
        job(4, 1004, 100, "Cards", "", 9, "30", "0", "0", "0", "2", "0");
        item(1, 500, "150");
        item(1, 501, "50");
        item(2, 500, "80");
        item(3, 500, "-50");
        item(4, 501, "30");
        exec(QStringLiteral("INSERT INTO QuickSales (QSaleID, [Date], Subtotal, Tax, PostingNo) VALUES (1, #11/29/2026#, "
                            "40, 2.9, 7)"));
        exec(QStringLiteral("INSERT INTO QuickSales (QSaleID, [Date], Subtotal, Tax, PostingNo) VALUES (2, #12/1/2026#, "
                            "10, 0, 8)"));
        exec(QStringLiteral("INSERT INTO Payments (PayNo, [Date], Amount, CusNo, PayGroup, PostingNo) VALUES (1, "
                            "#11/29/2026#, 25, 100, 1, 7)"));
        exec(QStringLiteral("INSERT INTO Payments (PayNo, [Date], Amount, CusNo, PayGroup, PostingNo) VALUES (2, "
                            "#11/29/2026#, 100, 100, 2, 7)"));
    }

    void job(int id, int no, int cus, const char *title, const char *po, int taxNo, const char *sub, const char *disc,
             const char *ship, const char *post, const char *tax, const char *paid)
    {
        auto q = [](const char *t) { return QString::fromUtf8(t).replace(QLatin1Char('\''), QLatin1String("''")); };
        exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, Title, CusNo, PO, TaxNo, PostingNo, DateIn, "
                            "DateShipped, DatePayDue, Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, "
                            "Writeoff, Balance, ShiptoNo, BuyerNo, InvoiceNote) VALUES (%1, 3, %2, '%3', %4, '%5', %6, 7, "
                            "#11/20/2026#, #11/25/2026#, #12/25/2026#, %7, %8, %9, %10, %11, 0, %12, 0, 0, 0, 0, '')")
                 .arg(id)
                 .arg(no)
                 .arg(q(title))
                 .arg(cus)
                 .arg(q(po))
                 .arg(taxNo)
                 .arg(QString::fromLatin1(sub), QString::fromLatin1(disc), QString::fromLatin1(ship),
                      QString::fromLatin1(post), QString::fromLatin1(tax), QString::fromLatin1(paid)));
    }
    void item(int jobId, int serNo, const char *price)
    {
        ++m_item;
        exec(QStringLiteral("INSERT INTO Items (ItemID, JobID, SerNo, ItemNo, SubNo, Description, Price, ChargeQty) "
                            "VALUES (%1, %2, %3, 1, 0, 'row', %4, 1000)")
                 .arg(m_item)
                 .arg(jobId)
                 .arg(serNo)
                 .arg(QString::fromLatin1(price)));
    }

    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QString golden(const QString &name)
    {
        return QStringLiteral(TAVREL_TEST_DATA "/exchange/") + name;
    }
    // Compares a written file with its golden file byte for byte. With
    // TAVREL_UPDATE_GOLDEN set the golden file is written instead.
    void expectGolden(const QString &path, const QString &name)
    {
        const QByteArray got = readAll(path);
        if (qEnvironmentVariableIsSet("TAVREL_UPDATE_GOLDEN")) {
            QDir().mkpath(QStringLiteral(TAVREL_TEST_DATA "/exchange"));
            QFile f(golden(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(got);
            return;
        }
        EXPECT_EQ(got, readAll(golden(name))) << name.toStdString();
    }
    // Runs python3 with a script and arguments; the output, or a failure.
    static QString python(const QString &script, const QStringList &args, int *exitCode = nullptr)
    {
        QProcess p;
        p.start(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), script} + args);
        p.waitForFinished(60000);
        if (exitCode)
            *exitCode = p.exitCode();
        return QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
    }

    int m_item = 0;
};
