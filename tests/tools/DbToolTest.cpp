#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include "platform/db/Database.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMap>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>

#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>

class DbTool : public TavrelTest
{
};

TEST_F(DbTool, CreatesAShopDatabaseOnceAndRunsJetStatements)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    ToolRun r = RunDbTool({QStringLiteral("create"), db});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(db));
    EXPECT_NE(RunDbTool({QStringLiteral("create"), db}).exitCode, 0); // never overwrites a shop's file

    r = RunDbTool({QStringLiteral("sql"), db,
                QStringLiteral("SELECT CusNo, Name FROM Customers WHERE Name LIKE \"walk*\" ORDER BY CusNo")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("CusNo\tName\n31\tWalk-in Customer ***\n"));

    r = RunDbTool({QStringLiteral("sql"), db, QStringLiteral("UPDATE Customers SET Name = 'O''Brien' WHERE CusNo = 10")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = RunDbTool({QStringLiteral("sql"), db, QStringLiteral("SELECT Name & '!' AS Shout FROM Customers WHERE CusNo = 10")});
    EXPECT_EQ(r.out, QStringLiteral("Shout\nO'Brien!\n"));

    r = RunDbTool({QStringLiteral("sql"), db, QStringLiteral("SELECT 1 AS One"), QStringLiteral("--translate")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_FALSE(r.out.trimmed().isEmpty());
}

TEST_F(DbTool, FailuresPrintTheEngineErrorAndExitNonZero)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("create"), db}).exitCode, 0);
    ToolRun r = RunDbTool({QStringLiteral("sql"), db, QStringLiteral("SELECT * FROM NoSuchTable")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Error 3078: "))) << r.err.toStdString();

    r = RunDbTool({QStringLiteral("sql"), db, QStringLiteral("DELETE * FROM Options; DELETE * FROM Customers")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Error 3142: "))) << r.err.toStdString();
    r = RunDbTool({QStringLiteral("sql"), db, QStringLiteral("SELECT Count(*) AS N FROM Customers")});
    EXPECT_EQ(r.out, QStringLiteral("N\n3\n")); // the refused second statement never ran
}

TEST_F(DbTool, SampleShopFollowsTheProgramsMoneyRules)
{
    const QString db = tempPath(QStringLiteral("Sample.mdb"));
    ToolRun r = RunDbTool({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("300")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString(); // nothing asked, nothing reported

    // Made under other names and put in place packed: nothing of the making
    // is left beside it, and the item rows fill their pages.
    const QFileInfo made(db);
    EXPECT_EQ(made.dir().entryList({QStringLiteral("*Sample.mdb*")}, QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Sample.mdb")});
    {
        sqlite3 *handle = nullptr;
        ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(db).constData(), &handle, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt *st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(handle, "SELECT (SELECT freelist_count FROM pragma_freelist_count), "
                                             "(SELECT 100 * sum(unused) / sum(pgsize) FROM dbstat WHERE name = 'Items')",
                                     -1, &st, nullptr),
                  SQLITE_OK)
            << sqlite3_errmsg(handle);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        EXPECT_EQ(sqlite3_column_int(st, 0), 0);
        EXPECT_LT(sqlite3_column_int(st, 1), 5); // priced row by row they left a seventh of it empty
        sqlite3_finalize(st);
        sqlite3_close(handle);
    }

    // Every type of job is there.
    r = RunDbTool({QStringLiteral("sql"), db, QStringLiteral("SELECT Count(*) AS N FROM (SELECT DISTINCT JobType FROM Jobs)")});
    EXPECT_EQ(r.out, QStringLiteral("N\n4\n"));
    // A job's subtotal is the sum of its item prices and of its service prices.
    r = RunDbTool({QStringLiteral("sql"), db,
                QStringLiteral("SELECT Count(*) AS Bad FROM Jobs WHERE Subtotal <> "
                               "(SELECT Sum(Price) FROM Items WHERE Items.JobID = Jobs.JobID AND SerNo = 0) "
                               "OR Subtotal <> (SELECT Sum(Price) FROM Items WHERE Items.JobID = Jobs.JobID AND SerNo > 0)")});
    EXPECT_EQ(r.out, QStringLiteral("Bad\n0\n"));
    // The balance is the total plus payments, and taxes were charged.
    r = RunDbTool({QStringLiteral("sql"), db,
                QStringLiteral("SELECT Count(*) AS Bad FROM Jobs WHERE Balance <> Subtotal + Discount + Shipping + Postage + Tax + Latefee + Paid + Writeoff")});
    EXPECT_EQ(r.out, QStringLiteral("Bad\n0\n"));
    r = RunDbTool({QStringLiteral("sql"), db, QStringLiteral("SELECT Count(*) AS Taxed FROM Jobs WHERE Tax > 0")});
    EXPECT_NE(r.out, QStringLiteral("Taxed\n0\n"));
    // Payments are applied to posted invoices in full.
    r = RunDbTool({QStringLiteral("sql"), db,
                QStringLiteral("SELECT Count(*) AS Bad FROM Payments WHERE Amount <> (SELECT Sum(Amount) FROM PayApplied WHERE PayApplied.PayNo = Payments.PayNo)")});
    EXPECT_EQ(r.out, QStringLiteral("Bad\n0\n"));
    // Someone can clock in (an operator), and only the stocks are kept in
    // inventory: finishing a press run asks nothing about paper.
    r = RunDbTool({QStringLiteral("sql"), db, QStringLiteral("SELECT Name FROM Employees WHERE Type = 0 AND EmpNo > 0")});
    EXPECT_EQ(r.out, QStringLiteral("Name\nJordan\n"));
    r = RunDbTool({QStringLiteral("sql"), db, QStringLiteral("SELECT Min(CatNo) AS Lo, Max(CatNo) AS Hi FROM Services WHERE OptInv <> 0")});
    EXPECT_EQ(r.out, QStringLiteral("Lo\tHi\n101\t113\n"));
    // Set up as the program's windows leave it: a paper category shows the
    // Paper department's picture (3 + 48), the difficulty tables have no
    // empty cell, and a service row has no text of its own (the schedule
    // names it by its category and service).
    r = RunDbTool({QStringLiteral("sql"), db, QStringLiteral("SELECT IconNo FROM ServiceCategories WHERE CatNo = 101")});
    EXPECT_EQ(r.out, QStringLiteral("IconNo\n51\n"));
    r = RunDbTool({QStringLiteral("sql"), db,
                   QStringLiteral("SELECT Count(*) AS N FROM ServiceDiffTables WHERE PapR5C4 Is Null OR JobR14C1 Is Null "
                                  "OR RunR9C2 Is Null")});
    EXPECT_EQ(r.out, QStringLiteral("N\n0\n"));
    r = RunDbTool({QStringLiteral("sql"), db,
                   QStringLiteral("SELECT Count(*) AS N FROM Items WHERE SerNo > 0 AND Description <> ''")});
    EXPECT_EQ(r.out, QStringLiteral("N\n0\n"));
    EXPECT_NE(RunDbTool({QStringLiteral("sample"), db}).exitCode, 0);
}

// The sample checks the rules the program applies before it finishes, and
// the same check finds a rule broken afterwards.
TEST_F(DbTool, SampleShopChecksItsOwnRules)
{
    const QString db = tempPath(QStringLiteral("Sample.mdb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("120")}).exitCode, 0);
    ToolRun r = RunDbTool({QStringLiteral("sample"), QStringLiteral("--check"), db});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("The shop keeps every rule of the sample.\n"));
    // The Ready-to-Post orders, posted invoices, counter services and
    // inventory the check asks for are there.
    r = RunDbTool({QStringLiteral("sql"), db,
                   QStringLiteral("SELECT Count(*) AS N FROM Jobs WHERE JobType = 0 AND Status = 3 AND InvoicePrinted > 0")});
    EXPECT_NE(r.out, QStringLiteral("N\n0\n"));
    EXPECT_TRUE(RunDbTool({QStringLiteral("inventory"), db, QStringLiteral("order")}).out.count(QLatin1Char('\n')) > 1);

    // An order whose invoice was never printed cannot stay Ready to Post, and
    // a service needs its sales department; a sales rep numbered among the
    // operators (4) is refused, one at 250 is not.
    RunDbTool({QStringLiteral("sql"), db,
               QStringLiteral("UPDATE Jobs SET InvoicePrinted = 0 WHERE JobType = 0 AND Status = 3")});
    RunDbTool({QStringLiteral("sql"), db,
               QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (4, 'Low', 2, 6)")});
    RunDbTool({QStringLiteral("sql"), db,
               QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (250, 'Top', 2, 7)")});
    RunDbTool({QStringLiteral("sql"), db, QStringLiteral("UPDATE Services SET SaleDept = 99 WHERE SerNo = 18")});
    // A tax off the tax rule by a cent, and a journal row whose taxable net
    // sale is not what posting writes for its invoices.
    RunDbTool({QStringLiteral("sql"), db,
               QStringLiteral("UPDATE Jobs SET Tax = Tax + 0.01 WHERE JobNo = (SELECT Min(JobNo) FROM Jobs WHERE JobType "
                              "= 3 AND TaxNo = 3 AND Tax > 0) AND JobType = 3")});
    RunDbTool({QStringLiteral("sql"), db,
               QStringLiteral("UPDATE PostingJournal SET TaxableNetSale = 0 WHERE PostingNo = (SELECT Min(PostingNo) "
                              "FROM PostingJournal WHERE TaxableNetSale > 0)")});
    r = RunDbTool({QStringLiteral("sample"), QStringLiteral("--check"), db});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("job whose taxes are not the tax rule's: "))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("posting journal row unlike what posting writes: ")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("TaxableNetSale)"))) << r.err.toStdString();

    // A category with another department's picture, an empty difficulty cell.
    RunDbTool({QStringLiteral("sql"), db, QStringLiteral("UPDATE ServiceCategories SET IconNo = 50 WHERE CatNo = 101")});
    RunDbTool({QStringLiteral("sql"), db, QStringLiteral("UPDATE ServiceDiffTables SET JobR19C4 = Null WHERE SerNo = 7")});
    r = RunDbTool({QStringLiteral("sample"), QStringLiteral("--check"), db});
    EXPECT_TRUE(r.err.contains(QStringLiteral("category without its department's picture: Paper\n"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("difficulty table with empty cells: 7\n"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("service without its sales department: 99\n"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("order whose status a save changes: "))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("employee numbered outside its kind's hundred: Low\n"))) << r.err.toStdString();

    // A credit invoice's items are priced below zero: none is an item
    // without a price. An item of an invoice at 0 is.
    const QString lastInvoice = QStringLiteral("(SELECT Max(JobID) FROM Jobs WHERE JobType = 3)");
    RunDbTool({QStringLiteral("sql"), db, QStringLiteral("UPDATE Items SET Price = -Price WHERE JobID = ") + lastInvoice});
    RunDbTool({QStringLiteral("sql"), db, QStringLiteral("UPDATE Jobs SET Creator = 99 WHERE JobID = ") + lastInvoice});
    r = RunDbTool({QStringLiteral("sample"), QStringLiteral("--check"), db});
    EXPECT_FALSE(r.err.contains(QStringLiteral("item without a price"))) << r.err.toStdString();
    RunDbTool({QStringLiteral("sql"), db,
               QStringLiteral("UPDATE Items SET Price = 0 WHERE SerNo = 0 AND JobID = (SELECT Min(JobID) FROM Jobs "
                              "WHERE JobType = 3)")});
    r = RunDbTool({QStringLiteral("sample"), QStringLiteral("--check"), db});
    EXPECT_TRUE(r.err.contains(QStringLiteral("item without a price: "))) << r.err.toStdString();
}

namespace {

// An amount as the tool prints it ("-1,234.5", "12.3456"), in ten-thousandths.
qint64 unitsOf(QString text)
{
    text.remove(QLatin1Char(',')).remove(QLatin1Char('$'));
    const bool negative = text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('('));
    text.remove(QLatin1Char('-')).remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    const QString whole = text.section(QLatin1Char('.'), 0, 0);
    const QString part = (text.section(QLatin1Char('.'), 1, 1) + QStringLiteral("0000")).left(4);
    const qint64 units = whole.toLongLong() * 10000 + part.toLongLong();
    return negative ? -units : units;
}

// The rows of a tool's table output (a title line, then tab-separated rows)
// as maps of column to cell.
QList<QMap<QString, QString>> tableRows(const QString &out, const QString &firstTitle)
{
    QList<QMap<QString, QString>> rows;
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const qsizetype at = lines.indexOf(QRegularExpression(firstTitle + QStringLiteral("(\t.*)?")));
    if (at < 0)
        return rows;
    const QStringList titles = lines[at].split(QLatin1Char('\t'));
    for (qsizetype i = at + 1; i < lines.size(); ++i) {
        const QStringList cells = lines[i].split(QLatin1Char('\t'));
        QMap<QString, QString> row;
        for (int c = 0; c < titles.size(); ++c)
            row.insert(titles[c], cells.value(c));
        rows << row;
    }
    return rows;
}

} // namespace

// The sample's books add up as the program keeps them: each posted invoice's
// Tax and Tax2 are what the tax table gives (worked here from the rates), and
// the posting reports and journal add exactly those.
TEST_F(DbTool, SampleShopsPostedTaxIsTheTaxTablesToTheCent)
{
    const QString db = tempPath(QStringLiteral("Sample.mdb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("300")}).exitCode, 0);
    struct Rate
    {
        QString name;
        qint64 percent = 0; // ten-thousandths of a percent
        bool shipping = false, postage = false;
    };
    QMap<int, Rate> rates;
    ToolRun r = RunDbTool({QStringLiteral("sql"), db,
                           QStringLiteral("SELECT [No], Name, TaxPercent, TaxShipping, TaxPostage FROM Taxes WHERE [No] IN (1, 2)")});
    for (const auto &row : tableRows(r.out, QStringLiteral("No")))
        rates.insert(row.value(QStringLiteral("No")).toInt(),
                     Rate{row.value(QStringLiteral("Name")), row.value(QStringLiteral("TaxPercent")).toLongLong(), row.value(QStringLiteral("TaxShipping")).toInt() != 0,
                          row.value(QStringLiteral("TaxPostage")).toInt() != 0});
    ASSERT_EQ(rates.size(), 2) << r.out.toStdString();

    // A rate's tax on the base, half a cent away from zero; nothing on a base
    // within a ten-thousandth of 0.
    const auto taxOf = [](const Rate &rate, qint64 base) -> qint64 {
        if (base >= -1 && base <= 1)
            return 0;
        const qint64 scaled = std::llabs(base) * rate.percent; // cents x 10^8
        const qint64 cents = (scaled + 50000000) / 100000000;
        return (base < 0 ? -cents : cents) * 100;
    };
    r = RunDbTool({QStringLiteral("sql"), db,
                   QStringLiteral("SELECT Jobs.JobNo, Jobs.TaxNo, Jobs.Subtotal, Jobs.Discount, Jobs.Shipping, Jobs.Postage, "
                                  "Jobs.Tax, Jobs.Tax2, (SELECT Sum(Price) FROM Items WHERE Items.JobID = Jobs.JobID AND "
                                  "Items.SerNo = 0 AND Items.Bleed = 0 AND (Items.Price > 0.0001 OR Items.Price < -0.0001)) "
                                  "AS Taxable FROM Jobs WHERE JobType = 3 AND PostingNo > 0")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    qint64 first = 0, second = 0, netSale = 0;
    int invoices = 0, bothTaxes = 0;
    QStringList off;
    for (const auto &row : tableRows(r.out, QStringLiteral("JobNo"))) {
        ++invoices;
        const int code = row.value(QStringLiteral("TaxNo")).toInt();
        const qint64 subtotal = unitsOf(row.value(QStringLiteral("Subtotal")));
        const qint64 discount = unitsOf(row.value(QStringLiteral("Discount")));
        const qint64 shipping = unitsOf(row.value(QStringLiteral("Shipping")));
        const qint64 postage = unitsOf(row.value(QStringLiteral("Postage")));
        const qint64 items = unitsOf(row.value(QStringLiteral("Taxable")));
        // The discount takes its share of the taxable items, cut toward zero.
        const qint64 base = items + (subtotal == 0 ? 0 : discount * items / subtotal);
        auto withRate = [&](int no) {
            const Rate &rate = rates[no];
            return taxOf(rate, base + (rate.shipping ? shipping : 0) + (rate.postage ? postage : 0));
        };
        const qint64 t1 = code == 1 || code == 3 ? withRate(1) : 0;
        const qint64 t2 = code == 2 || code == 3 ? withRate(2) : 0;
        bothTaxes += code == 3 && t1 != 0 ? 1 : 0;
        if (unitsOf(row.value(QStringLiteral("Tax"))) != t1 + t2 || unitsOf(row.value(QStringLiteral("Tax2"))) != t2)
            off << row.value(QStringLiteral("JobNo"));
        first += t1;
        second += t2;
        if (t1 + t2 != 0)
            netSale += subtotal + discount;
    }
    EXPECT_EQ(off, QStringList()) << "invoices whose taxes are not the tax table's";
    EXPECT_GT(invoices, 50);
    EXPECT_GT(bothTaxes, 0); // some invoices charge both taxes
    const qint64 total = first + second;

    // Report 2001 sums the posted Tax; report 2003 splits the invoices' tax
    // by rate ("Tax/" and the rate's name).
    const QStringList period = {QStringLiteral("--from"), QStringLiteral("01/01/2000"), QStringLiteral("--to"),
                                QStringLiteral("12/31/2099")};
    r = RunDbTool(QStringList{QStringLiteral("report"), db, QStringLiteral("2001")} + period);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    qint64 summaryTax = -1;
    for (const auto &row : tableRows(r.out, QStringLiteral("Flags"))) {
        if (row.value(QStringLiteral("Description/")) != QLatin1String("Tax"))
            continue;
        for (auto it = row.cbegin(); it != row.cend(); ++it)
            if (it.key().endsWith(QStringLiteral(" Invoices/As Posted")))
                summaryTax = unitsOf(it.value());
    }
    EXPECT_EQ(summaryTax, total) << r.out.toStdString();
    r = RunDbTool(QStringList{QStringLiteral("report"), db, QStringLiteral("2003")} + period);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    qint64 reported[3] = {0, 0, 0};
    for (const auto &row : tableRows(r.out, QStringLiteral("Flags"))) {
        if (row.value(QStringLiteral("Tax For")) != QLatin1String("Invoices"))
            continue;
        reported[0] += unitsOf(row.value(QStringLiteral("Tax/") + rates[1].name));
        reported[1] += unitsOf(row.value(QStringLiteral("Tax/") + rates[2].name));
        reported[2] += unitsOf(row.value(QStringLiteral("Tax/Total")));
    }
    EXPECT_EQ(reported[0], first) << r.out.toStdString();
    EXPECT_EQ(reported[1], second) << r.out.toStdString();
    EXPECT_EQ(reported[2], total) << r.out.toStdString();

    // The journal holds what posting writes: the tax and the taxable net sale.
    r = RunDbTool({QStringLiteral("sql"), db,
                   QStringLiteral("SELECT Sum(Tax) AS T, Sum(TaxableNetSale) AS N FROM PostingJournal")});
    const auto journal = tableRows(r.out, QStringLiteral("T"));
    ASSERT_EQ(journal.size(), 1) << r.out.toStdString();
    EXPECT_EQ(unitsOf(journal[0].value(QStringLiteral("T"))), total);
    EXPECT_EQ(unitsOf(journal[0].value(QStringLiteral("N"))), netSale);
}

TEST_F(DbTool, SampleShopPricesItsItemsSensibly)
{
    const QString db = tempPath(QStringLiteral("Sample.mdb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("50")}).exitCode, 0);
    QString all;
    for (int jobNo = 1001; jobNo <= 1015; ++jobNo) {
        const ToolRun r = RunDbTool({QStringLiteral("price"), db, QString::number(jobNo), QStringLiteral("1"),
                                     QStringLiteral("--type"), QStringLiteral("order")});
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
    ASSERT_EQ(RunDbTool({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("20")}).exitCode, 0);
    QString all;
    for (int jobNo = 1001; jobNo <= 1006; ++jobNo) {
        const ToolRun r = RunDbTool({QStringLiteral("price"), db, QString::number(jobNo), QStringLiteral("1"),
                                     QStringLiteral("--type"), QStringLiteral("order"), QStringLiteral("--detail")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        // Every service row opens with its quantity's derivation.
        EXPECT_EQ(r.out.count(QStringLiteral("\n=== Service ")), r.out.count(QStringLiteral("\nEqual to \t\t")))
            << r.out.toStdString();
        all += r.out;
    }
    for (const char *part : {"\nDivide by\t\t", "\nMultiply by\t", "\nRound to \t\t", "SERVICE QTY\t",
                             "Colors/Pass\t", "\nSERVICE TIME\t", "   Setup\t\t"})
        EXPECT_TRUE(all.contains(QString::fromLatin1(part))) << part;
    EXPECT_NE(RunDbTool({QStringLiteral("price"), db, QStringLiteral("1001"), QStringLiteral("1"),
                      QStringLiteral("--details")})
                  .exitCode,
              0);
}

TEST_F(DbTool, JobNewCreatesAJobAsTheJobsViewDoes)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("create"), db}).exitCode, 0);
    ASSERT_EQ(RunDbTool({QStringLiteral("sql"), db,
                      QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus, Terms, CreditLimit, BuyerNo) "
                                     "VALUES (100, 'Acme', 0, 1, 0, 0)")})
                  .exitCode,
              0);
    ToolRun r = RunDbTool({QStringLiteral("job"), db, QStringLiteral("new"), QStringLiteral("1"), QStringLiteral("100"),
                        QStringLiteral("--csr"), QStringLiteral("3"), QStringLiteral("--today"),
                        QStringLiteral("6/12/2024")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("JobID 1\nJobNo 1\n"));
    r = RunDbTool({QStringLiteral("sql"), db,
                QStringLiteral("SELECT JobType, JobNo, CusNo, CSRNo, Format(DateIn, 'mm/dd/yyyy') AS Day FROM Jobs")});
    EXPECT_EQ(r.out, QStringLiteral("JobType\tJobNo\tCusNo\tCSRNo\tDay\n1\t1\t100\t3\t06/12/2024\n"));
    EXPECT_EQ(RunDbTool({QStringLiteral("job"), db, QStringLiteral("new"), QStringLiteral("3"), QStringLiteral("100")})
                  .exitCode,
              2);
}

// A user's own query, typed the way the desktop database taught them, is
// saved as a query definition, listed, and run by name; its rows agree with
// the same question put to the file through the sqlite3 command-line shell.
TEST_F(DbTool, UsersSavedQueryRunsAndAgreesWithSqlite)
{
    const QString db = tempPath(QStringLiteral("Sample.mdb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("200")}).exitCode, 0);
    const QString sales = QStringLiteral(
        "SELECT Year(DateIn) AS Y, Month(DateIn) AS M, Format(Sum(Subtotal), 'Currency') AS Sales, "
        "Count(*) AS N, DateDiff('d', Min(DateIn), Max(DateIn)) AS Span FROM Jobs "
        "GROUP BY Year(DateIn), Month(DateIn) ORDER BY Year(DateIn), Month(DateIn)");
    ToolRun r = RunDbTool({QStringLiteral("query"), db, QStringLiteral("Monthly Sales"), sales});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = RunDbTool({QStringLiteral("query"), db, QStringLiteral("Sales Grid"),
                QStringLiteral("TRANSFORM Count(*) SELECT Year(DateIn) AS Y FROM Jobs GROUP BY Year(DateIn) PIVOT JobType")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = RunDbTool({QStringLiteral("query"), db});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Monthly Sales\t0\n"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Sales Grid\t16\n"))) << r.out.toStdString();

    // A misspelt field is refused when saved.
    r = RunDbTool({QStringLiteral("query"), db, QStringLiteral("Typo"), QStringLiteral("SELECT Year(DateInn) AS Y FROM Jobs")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Error 3061: Too few parameters. Expected 1.\n"));

    const ToolRun jet = RunDbTool({QStringLiteral("sql"), db, QStringLiteral("Monthly Sales")});
    ASSERT_EQ(jet.exitCode, 0) << jet.err.toStdString();

    // The same question in plain SQLite: dates are day counts from 12/30/1899
    // (Julian day 2415018.5), money sums exactly in ten-thousandths.
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"),
                 {QStringLiteral("-separator"), QStringLiteral("\t"), db,
                  QStringLiteral("SELECT CAST(strftime('%Y', DateIn + 2415018.5) AS INTEGER) AS Y, "
                                 "CAST(strftime('%m', DateIn + 2415018.5) AS INTEGER) AS M, "
                                 "sum(CAST(round(Subtotal * 10000) AS INTEGER)), count(*), "
                                 "CAST(max(DateIn) AS INTEGER) - CAST(min(DateIn) AS INTEGER) "
                                 "FROM Jobs GROUP BY 1, 2 ORDER BY 1, 2")});
    ASSERT_TRUE(sqlite.waitForFinished(60000));
    ASSERT_EQ(sqlite.exitCode(), 0) << sqlite.readAllStandardError().toStdString();
    QStringList expected{QStringLiteral("Y\tM\tSales\tN\tSpan")};
    const QStringList lines = QString::fromUtf8(sqlite.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 1);
    for (const QString &line : lines) {
        const QStringList f = line.split(QLatin1Char('\t'));
        ASSERT_EQ(f.size(), 5) << line.toStdString();
        // Units to dollars and cents, half a cent up, with thousands separators.
        const qint64 units = f[2].toLongLong();
        const qint64 cents = (units + (units >= 0 ? 50 : -50)) / 100;
        QString digits = QString::number(std::llabs(cents) / 100);
        for (qsizetype pos = digits.size() - 3; pos > 0; pos -= 3)
            digits.insert(pos, QLatin1Char(','));
        const QString amount = QStringLiteral("$%1.%2").arg(digits).arg(std::llabs(cents) % 100, 2, 10, QLatin1Char('0'));
        expected.append(QStringList{f[0], f[1], cents < 0 ? QLatin1Char('(') + amount + QLatin1Char(')') : amount, f[3], f[4]}
                            .join(QLatin1Char('\t')));
    }
    EXPECT_EQ(jet.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);
}

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// The check only reads: a database named like a lock file stays byte for
// byte as it was, and no lock file is left beside it.
TEST_F(DbTool, CheckLeavesADatabaseNamedLikeALockFileAlone)
{
    const QString db = tempPath(QStringLiteral("Shop.ldb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("create"), db}).exitCode, 0);
    const QByteArray before = bytesOf(db);
    const ToolRun r = RunDbTool({QStringLiteral("check"), db});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("nothing to do\n"))) << r.out.toStdString();
    EXPECT_EQ(bytesOf(db), before);
    EXPECT_FALSE(QFile::exists(db + QStringLiteral(".ldb")));
}

// What is missing from the layout and what someone added to it: a field
// gone, a trigger and a view the program never makes.
TEST_F(DbTool, CheckNamesAMissingFieldAndAnAddedTriggerOrView)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("create"), db}).exitCode, 0);
    {
        platform::Database file;
        file.open(db, true);
        file.deleteField(QStringLiteral("Jobs"), QStringLiteral("Title"));
    }
    SqliteRows(db, QStringLiteral("CREATE TRIGGER Audit AFTER DELETE ON Jobs BEGIN SELECT 1; END; "
                                  "CREATE VIEW OpenJobs AS SELECT JobNo FROM Jobs;"));
    const ToolRun r = RunDbTool({QStringLiteral("check"), db});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\nJobs: fields missing: Title Text(")) ) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\ntrigger Audit on Jobs: not part of the layout\n"
                                              "view OpenJobs: not part of the layout\n")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("3 finding(s)\n"))) << r.out.toStdString();
}

TEST_F(DbTool, CheckTellsAnInterruptedWriteAndWhatARepairWouldDo)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("create"), db}).exitCode, 0);
    const QByteArray sound = bytesOf(db);

    // A journal left by a write that stopped half way.
    {
        QFile journal(db + QStringLiteral("-journal"));
        ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
        QByteArray header = QByteArray::fromHex("d9d505f920a163d7") + QByteArray(504, '\1');
        journal.write(header);
    }
    ToolRun r = RunDbTool({QStringLiteral("check"), db});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QStringLiteral("a write was interrupted; opening the file read-write will roll it back\n"))
        << r.err.toStdString();
    EXPECT_EQ(bytesOf(db), sound);
    // Another user's journal is never rolled back: the check says which
    // file is in the way instead.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(db + QStringLiteral("-journal")).constData(), 65534, 65534), 0);
        r = RunDbTool({QStringLiteral("check"), db});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Error 3051: Cannot use the journal 'TavrelData.mdb-journal': it "
                                                  "belongs to another user.")))
            << r.err.toStdString();
        EXPECT_EQ(bytesOf(db), sound);
    }
    QFile::remove(db + QStringLiteral("-journal"));

    // One index page written over with another index's page: the rows are
    // all there, a repair rebuilds the index from them.
    {
        sqlite3 *h = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(db).constData(), &h), SQLITE_OK);
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        for (int i = 1; i <= 50; ++i) {
            const QByteArray sql = QStringLiteral("INSERT INTO Jobs (JobNo, CusNo) VALUES (%1, 10)").arg(1000 + i).toUtf8();
            ASSERT_EQ(sqlite3_exec(h, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        }
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        const auto number = [h](const char *sql) {
            sqlite3_stmt *st = nullptr;
            sqlite3_prepare_v2(h, sql, -1, &st, nullptr);
            const int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : 0;
            sqlite3_finalize(st);
            return n;
        };
        const int pageSize = number("PRAGMA page_size");
        const int jobNo = number("SELECT rootpage FROM sqlite_master WHERE name = 'Jobs_JobNo'");
        const int cusNo = number("SELECT rootpage FROM sqlite_master WHERE name = 'Jobs_CusNo'");
        sqlite3_close(h);
        ASSERT_GT(jobNo, 1);
        ASSERT_GT(cusNo, 1);
        QFile f(db);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(qint64(cusNo - 1) * pageSize);
        const QByteArray page = f.read(pageSize);
        f.seek(qint64(jobNo - 1) * pageSize);
        f.write(page);
    }
    const QByteArray damaged = bytesOf(db);
    r = RunDbTool({QStringLiteral("check"), db});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("the file is damaged\n"
                                              "a repair would rebuild every index from the rows\n"
                                              "a repair would keep every row\n")))
        << r.out.toStdString();
    EXPECT_EQ(bytesOf(db), damaged);

    // The first leaf of Jobs zeroed: the check ends and tells how many rows,
    // those of that leaf alone, a repair would leave out.
    int onLeaf = 0;
    {
        sqlite3 *h = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(db).constData(), &h), SQLITE_OK);
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        for (int i = 1; i <= 400; ++i) {
            const QByteArray sql = QStringLiteral("INSERT INTO Jobs (JobNo, WOrderNote) VALUES (%1, '%2')")
                                       .arg(2000 + i)
                                       .arg(QString(200, QLatin1Char('w')))
                                       .toUtf8();
            ASSERT_EQ(sqlite3_exec(h, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        }
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(h,
                           "SELECT pageno, ncell, (SELECT page_size FROM pragma_page_size) FROM dbstat WHERE name = 'Jobs' "
                           "AND pagetype = 'leaf' ORDER BY path LIMIT 1",
                           -1, &st, nullptr);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        const int page = sqlite3_column_int(st, 0);
        onLeaf = sqlite3_column_int(st, 1);
        const int pageSize = sqlite3_column_int(st, 2);
        sqlite3_finalize(st);
        sqlite3_close(h);
        ASSERT_GT(onLeaf, 0);
        QFile f(db);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(qint64(page - 1) * pageSize);
        f.write(QByteArray(pageSize, '\0'));
    }
    r = RunDbTool({QStringLiteral("check"), db});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("a repair would leave out %1 row(s) of Jobs that cannot be read\n").arg(onLeaf)))
        << r.out.toStdString();
}

TEST_F(DbTool, InventoryPrintsTheRowsOfAModeUnderTheGridsColumns)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("create"), db}).exitCode, 0);
    // A new file lists the cutting and padding services it comes with, each
    // under its category.
    const ToolRun fresh = RunDbTool({QStringLiteral("inventory"), db, QStringLiteral("setup")});
    ASSERT_EQ(fresh.exitCode, 0) << fresh.err.toStdString();
    QStringList listed;
    for (const QString &line : fresh.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1))
        listed << line.section(QLatin1Char('\t'), 0, 0) + QLatin1Char('|') + line.section(QLatin1Char('\t'), -1);
    EXPECT_EQ(listed.join(QLatin1Char(',')),
              QStringLiteral("Cutting: To FinSz|175,Cutting: To RunSz|174,Padding: NCR Padding|193"))
        << fresh.out.toStdString();
    for (const char *sql :
         {"INSERT INTO ServiceCategories (CatNo, DepNo, CatName, SortNo) VALUES (101, 2, 'Bond', 1)",
          "INSERT INTO Vendors ([No], Type, Name, Sort) VALUES (6, 0, 'Paper Co', 6)",
          "INSERT INTO Services (SerNo, CatNo, SortNo, Name, Size, SerStatus, VendorNo, OptInv, MinLevel, ReOrder, "
          "InStock, OnOrder, RunCost1, Unit, SKU) VALUES (10, 101, 1, '20# Bond', '8.5 x 11', 0, 6, 1, 500, 500, 300, "
          "0, 1234, 2, 'B20')",
          "INSERT INTO Jobs (JobID, JobType, JobNo, Title, Status, CusNo, Creator) VALUES (7, 0, 1001, 'Letterhead', 0, "
          "31, 0)",
          "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Status, Vendor, ActualQty, Tag2) VALUES (7, 1, 0, 0, 5, 0, "
          "0, 0)",
          "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Status, Vendor, ActualQty, Tag2) VALUES (7, 1, 0, 10, 1, 0, "
          "1200, 0)"}) {
        const ToolRun r = RunDbTool({QStringLiteral("sql"), db, QString::fromLatin1(sql)});
        ASSERT_EQ(r.exitCode, 0) << sql << r.err.toStdString();
    }
    const QString header = QStringLiteral("Service\tSize\tVendor\tSKU\tMinimum Level\tReam Quantity\tIn Stock\tOn Order\t"
                                          "Item\tNeed\t%1\tStatus\tUnit Cost\tPer\tExtended\tSerNo\n");
    ToolRun r = RunDbTool({QStringLiteral("inventory"), db, QStringLiteral("order")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, header.arg(QStringLiteral("Order")) +
                         QStringLiteral("Bond: 20# Bond\t8.5 x 11\tPaper Co\tB20\t500\t500\t300\t0\t1\t1200\t1500\tx\t"
                                        "12.34\tM\t18.51\t10\n"));
    r = RunDbTool({QStringLiteral("inventory"), db, QStringLiteral("setup")});
    EXPECT_TRUE(r.out.contains(QStringLiteral("\t300\t0\t0\t0\t0\tIn-Stock\t12.34\tM\t3.70\t10\n"))) << r.out.toStdString();
    r = RunDbTool({QStringLiteral("inventory"), db, QStringLiteral("check"), QStringLiteral("--job"), QStringLiteral("1001")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\t1200\t1500\tx\t"))) << r.out.toStdString();
    r = RunDbTool({QStringLiteral("inventory"), db, QStringLiteral("sideways")});
    EXPECT_EQ(r.exitCode, 2);
}
