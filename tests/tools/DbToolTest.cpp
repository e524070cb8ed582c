#include "support/TestEnvironment.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>

namespace {

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun dbtool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(TAVREL_DBTOOL), args);
    ToolRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class DbTool : public TavrelTest
{
};

TEST_F(DbTool, CreatesAShopDatabaseOnceAndRunsJetStatements)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    ToolRun r = dbtool({QStringLiteral("create"), db});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(db));
    EXPECT_NE(dbtool({QStringLiteral("create"), db}).exitCode, 0); // never overwrites a shop's file

    r = dbtool({QStringLiteral("sql"), db,
                QStringLiteral("SELECT CusNo, Name FROM Customers WHERE Name LIKE \"walk*\" ORDER BY CusNo")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("CusNo\tName\n31\tWalk-in Customer ***\n"));

    r = dbtool({QStringLiteral("sql"), db, QStringLiteral("UPDATE Customers SET Name = 'O''Brien' WHERE CusNo = 10")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = dbtool({QStringLiteral("sql"), db, QStringLiteral("SELECT Name & '!' AS Shout FROM Customers WHERE CusNo = 10")});
    EXPECT_EQ(r.out, QStringLiteral("Shout\nO'Brien!\n"));

    r = dbtool({QStringLiteral("sql"), db, QStringLiteral("SELECT 1 AS One"), QStringLiteral("--translate")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_FALSE(r.out.trimmed().isEmpty());
}

TEST_F(DbTool, FailuresPrintTheEngineErrorAndExitNonZero)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    ASSERT_EQ(dbtool({QStringLiteral("create"), db}).exitCode, 0);
    ToolRun r = dbtool({QStringLiteral("sql"), db, QStringLiteral("SELECT * FROM NoSuchTable")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Error 3078: "))) << r.err.toStdString();

    r = dbtool({QStringLiteral("sql"), db, QStringLiteral("DELETE * FROM Options; DELETE * FROM Customers")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Error 3142: "))) << r.err.toStdString();
    r = dbtool({QStringLiteral("sql"), db, QStringLiteral("SELECT Count(*) AS N FROM Customers")});
    EXPECT_EQ(r.out, QStringLiteral("N\n3\n")); // the refused second statement never ran
}

TEST_F(DbTool, SampleShopFollowsTheProgramsMoneyRules)
{
    const QString db = tempPath(QStringLiteral("Sample.mdb"));
    ToolRun r = dbtool({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("300")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString(); // nothing asked, nothing reported

    // Every type of job is there.
    r = dbtool({QStringLiteral("sql"), db, QStringLiteral("SELECT Count(*) AS N FROM (SELECT DISTINCT JobType FROM Jobs)")});
    EXPECT_EQ(r.out, QStringLiteral("N\n4\n"));
    // A job's subtotal is the sum of its item prices and of its service prices.
    r = dbtool({QStringLiteral("sql"), db,
                QStringLiteral("SELECT Count(*) AS Bad FROM Jobs WHERE Subtotal <> "
                               "(SELECT Sum(Price) FROM Items WHERE Items.JobID = Jobs.JobID AND SerNo = 0) "
                               "OR Subtotal <> (SELECT Sum(Price) FROM Items WHERE Items.JobID = Jobs.JobID AND SerNo > 0)")});
    EXPECT_EQ(r.out, QStringLiteral("Bad\n0\n"));
    // The balance is the total plus payments, and taxes were charged.
    r = dbtool({QStringLiteral("sql"), db,
                QStringLiteral("SELECT Count(*) AS Bad FROM Jobs WHERE Balance <> Subtotal + Discount + Shipping + Postage + Tax + Latefee + Paid + Writeoff")});
    EXPECT_EQ(r.out, QStringLiteral("Bad\n0\n"));
    r = dbtool({QStringLiteral("sql"), db, QStringLiteral("SELECT Count(*) AS Taxed FROM Jobs WHERE Tax > 0")});
    EXPECT_NE(r.out, QStringLiteral("Taxed\n0\n"));
    // Payments are applied to posted invoices in full.
    r = dbtool({QStringLiteral("sql"), db,
                QStringLiteral("SELECT Count(*) AS Bad FROM Payments WHERE Amount <> (SELECT Sum(Amount) FROM PayApplied WHERE PayApplied.PayNo = Payments.PayNo)")});
    EXPECT_EQ(r.out, QStringLiteral("Bad\n0\n"));
    EXPECT_NE(dbtool({QStringLiteral("sample"), db}).exitCode, 0);
}

TEST_F(DbTool, SampleShopPricesItsItemsSensibly)
{
    const QString db = tempPath(QStringLiteral("Sample.mdb"));
    ASSERT_EQ(dbtool({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("50")}).exitCode, 0);
    QString all;
    for (int jobNo = 1001; jobNo <= 1015; ++jobNo) {
        const ToolRun r = dbtool({QStringLiteral("price"), db, QString::number(jobNo), QStringLiteral("1")});
        ASSERT_EQ(r.exitCode, 0) << jobNo << r.err.toStdString();
        all += r.out;
        // The item's figures: a cost, and a price above it but not absurdly so.
        const QStringList lines = r.out.split(QLatin1Char('\n'));
        double cost = -1, price = -1;
        for (const QString &line : lines) {
            if (line.startsWith(QStringLiteral("New Cost\t")))
                cost = line.section(QLatin1Char('\t'), 1).toDouble();
            if (line.startsWith(QStringLiteral("New Price\t")))
                price = line.section(QLatin1Char('\t'), 1).toDouble();
        }
        SCOPED_TRACE(r.out.toStdString());
        EXPECT_GT(cost, 0);
        EXPECT_GE(price, cost);
        EXPECT_LT(price, 5 * cost);
        EXPECT_LT(price, 10000);
    }
    // Papers, presses, digital printers and price tables explain themselves.
    for (const char *heading : {"PAPER QUANTITY:\n   Parent", "\n\n\nSETUP TIME:\tFrom Setup Table",
                                "\n\nRUN SPEED: \t", "\n\nPRICE TABLE \t", "Cell Price x Qty \t= "})
        EXPECT_TRUE(all.contains(QString::fromLatin1(heading))) << heading;
}

TEST_F(DbTool, PriceDetailExplainsEachServiceQuantity)
{
    const QString db = tempPath(QStringLiteral("Sample.mdb"));
    ASSERT_EQ(dbtool({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("20")}).exitCode, 0);
    QString all;
    for (int jobNo = 1001; jobNo <= 1006; ++jobNo) {
        const ToolRun r = dbtool({QStringLiteral("price"), db, QString::number(jobNo), QStringLiteral("1"),
                                  QStringLiteral("--detail")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        // Every service row opens with its quantity's derivation.
        EXPECT_EQ(r.out.count(QStringLiteral("\n=== Service ")), r.out.count(QStringLiteral("\nEqual to \t\t")))
            << r.out.toStdString();
        all += r.out;
    }
    for (const char *part : {"\nDivide by\t\t", "\nMultiply by\t", "\nRound to \t\t", "SERVICE QTY\t",
                             "Colors/Pass\t", "\nSERVICE TIME\t", "   Setup\t\t"})
        EXPECT_TRUE(all.contains(QString::fromLatin1(part))) << part;
    EXPECT_NE(dbtool({QStringLiteral("price"), db, QStringLiteral("1001"), QStringLiteral("1"),
                      QStringLiteral("--details")})
                  .exitCode,
              0);
}

TEST_F(DbTool, InventoryPrintsTheRowsOfAModeUnderTheGridsColumns)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    ASSERT_EQ(dbtool({QStringLiteral("create"), db}).exitCode, 0);
    for (const char *sql :
         {"INSERT INTO ServiceCategories (CatNo, DepNo, CatName, SortNo) VALUES (101, 2, 'Bond', 1)",
          "INSERT INTO Vendors ([No], Type, Name, Sort) VALUES (1, 0, 'Paper Co', 1)",
          "INSERT INTO Services (SerNo, CatNo, SortNo, Name, Size, SerStatus, VendorNo, OptInv, MinLevel, ReOrder, "
          "InStock, OnOrder, RunCost1, Unit, SKU) VALUES (10, 101, 1, '20# Bond', '8.5 x 11', 0, 1, 1, 500, 500, 300, "
          "0, 1234, 2, 'B20')",
          "INSERT INTO Jobs (JobID, JobType, JobNo, Title, Status, CusNo, Creator) VALUES (7, 0, 1001, 'Letterhead', 0, "
          "31, 0)",
          "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Status, Vendor, ActualQty, Tag2) VALUES (7, 1, 0, 0, 5, 0, "
          "0, 0)",
          "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Status, Vendor, ActualQty, Tag2) VALUES (7, 1, 0, 10, 1, 0, "
          "1200, 0)"}) {
        const ToolRun r = dbtool({QStringLiteral("sql"), db, QString::fromLatin1(sql)});
        ASSERT_EQ(r.exitCode, 0) << sql << r.err.toStdString();
    }
    const QString header = QStringLiteral("Service\tSize\tVendor\tSKU\tMinimum Level\tReam Quantity\tIn Stock\tOn Order\t"
                                          "Item\tNeed\t%1\tStatus\tUnit Cost\tPer\tExtended\tSerNo\n");
    ToolRun r = dbtool({QStringLiteral("inventory"), db, QStringLiteral("order")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, header.arg(QStringLiteral("Order")) +
                         QStringLiteral("Bond: 20# Bond\t8.5 x 11\tPaper Co\tB20\t500\t500\t300\t0\t1\t1200\t1500\tx\t"
                                        "12.34\tM\t18.51\t10\n"));
    r = dbtool({QStringLiteral("inventory"), db, QStringLiteral("setup")});
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("\t300\t0\t0\t0\t0\tIn-Stock\t12.34\tM\t3.70\t10\n"))) << r.out.toStdString();
    r = dbtool({QStringLiteral("inventory"), db, QStringLiteral("check"), QStringLiteral("--job"), QStringLiteral("1001")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\t1200\t1500\tx\t"))) << r.out.toStdString();
    r = dbtool({QStringLiteral("inventory"), db, QStringLiteral("sideways")});
    EXPECT_EQ(r.exitCode, 2);
}
