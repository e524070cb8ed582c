#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>

namespace {

class ExportTool : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        db = tempPath(QStringLiteral("TavrelData.mdb"));
        ASSERT_EQ(RunDbTool({QStringLiteral("create"), db}).exitCode, 0);
        for (const char *sql : {
                 "INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, Tax) VALUES (100, 'Acme, Inc.', '1 "
                 "Main', 'Springfield', 'IL', '62701', 1)",
                 "INSERT INTO PostingJournal (PostingNo, PostingDate, Paid, QSaleSubtotal, QSaleTax) VALUES (7, "
                 "#11/30/2026#, 0, 0, 0)",
                 "INSERT INTO Jobs (JobID, JobType, JobNo, Title, CusNo, TaxNo, PostingNo, DateShipped, DatePayDue, "
                 "Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, Balance) VALUES (1, 3, 1001, "
                 "'Cards', 100, 0, 7, #11/25/2026#, #12/25/2026#, 30, 0, 0, 0, 0, 0, 0, 0, 30)",
                 "INSERT INTO Items (ItemID, JobID, SerNo, ItemNo, SubNo, Description, Price, ChargeQty) VALUES (1, 1, "
                 "0, 1, 0, 'Cards', 30, 500)",
             })
            ASSERT_EQ(RunDbTool({QStringLiteral("sql"), db, QString::fromLatin1(sql)}).exitCode, 0) << sql;
    }
    QString db;
};

TEST_F(ExportTool, WritesEachKindAndReportsAFullDisk)
{
    struct Case
    {
        QStringList args;
        QByteArray starts;
    };
    const QString out = tempPath(QStringLiteral("out"));
    const Case cases[] = {
        {{QStringLiteral("invoice-csv"), QStringLiteral("7"), QStringLiteral("--accounts"), QStringLiteral("4,1,2")},
         "CUST#,NAME,"},
        {{QStringLiteral("iif-sales"), QStringLiteral("7")}, "!TRNS\tTRNSTYPE\tDATE\tACCNT\tAMOUNT"},
        {{QStringLiteral("iif-invoices"), QStringLiteral("7")}, "!TRNS\tTRNSTYPE\tDATE\tACCNT\tNAME"},
        {{QStringLiteral("iif-customers"), QStringLiteral("SELECT Customers.CusNo FROM Customers WHERE Customers.CusNo = 100")},
         "!CUST\tNAME"},
        {{QStringLiteral("address-list"), QStringLiteral("5"), QStringLiteral("100")}, "Name\tAddress"},
    };
    for (const Case &c : cases) {
        ToolRun r = RunDbTool(QStringList{QStringLiteral("export"), db} + c.args + QStringList{out});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().startsWith(c.starts)) << c.args.first().toStdString();

        r = RunDbTool(QStringList{QStringLiteral("export"), db} + c.args + QStringList{QStringLiteral("/dev/full")});
        EXPECT_EQ(r.exitCode, 1) << c.args.first().toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Cannot write: /dev/full: No space left on device"))) << r.err.toStdString();
    }

    const QString folder = tempPath(QStringLiteral("labels"));
    QDir().mkpath(folder);
    ToolRun r = RunDbTool({QStringLiteral("export"), db, QStringLiteral("shipping-labels"),
                        QStringLiteral("1:Cards:95:10:10:0"), folder});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("10\n"));

    const QString rtfTemplate = tempPath(QStringLiteral("Quote.rtf"));
    {
        QFile t(rtfTemplate);
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write("{\\rtf1 <PrintTitle> <JobNo> <Description><MyFooter>}");
    }
    const QString document = tempPath(QStringLiteral("doc.rtf"));
    r = RunDbTool({QStringLiteral("export"), db, QStringLiteral("rtf"), QStringLiteral("1"), rtfTemplate, document});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile d(document);
    ASSERT_TRUE(d.open(QIODevice::ReadOnly));
    EXPECT_TRUE(d.readAll().startsWith("{\\rtf1 Copy of Invoice 1001 Cards")) ;
}

} // namespace
