// What the canned lists answer on a small shop: a few lists set against the
// same question asked of the file with the sqlite3 command line, and the
// rules that choose rows (default CSR, hidden customers, discontinued
// services, discrepancy checks, top lists, the posting summary, the
// production lists).

#include "ShopListFixture.h"

#include "data/CSQL.h"
#include "data/CXDaoSet.h"
#include "platform/db/Recordset.h"

#include <QtWidgets/QDialog>
#include <QtWidgets/QRadioButton>

#include <map>

using platform::Recordset;

namespace {

// The serial day number of a date, as the sqlite3 command line computes it.
QString serial(const char *isoDate)
{
    return QStringLiteral("(julianday('%1') - julianday('1899-12-30'))").arg(QLatin1String(isoDate));
}

class ListQueriesCheckTest : public ShopListTest
{
protected:
    void SetUp() override
    {
        ShopListTest::SetUp();
        fillShop();
    }

    // The named fields of every row, "|" between them; money with four
    // decimals as the command line prints it.
    QStringList pick(const QString &sql, const QStringList &fields)
    {
        Recordset rs(db);
        rs.open(Recordset::Type::Snapshot, sql);
        QStringList out;
        for (; !rs.isEOF(); rs.moveNext()) {
            QStringList values;
            for (const QString &field : fields) {
                const platform::Value v = rs.value(field);
                if (v.isNull())
                    values << QString();
                else if (v.type() == platform::FieldType::Currency)
                    values << QString::number(v.toMoney().toDouble(), 'f', 4);
                else
                    values << v.toString();
            }
            out << values.join(QLatin1Char('|'));
        }
        return out;
    }

    QString viewSql(int view, int branch, int item, const QString &filter = QString(), int option = 0)
    {
        return CSQL(view, branch, item, filter, QString(), option, false).m_strSQL;
    }
};

TEST_F(ListQueriesCheckTest, OrdersDueThisWeekMatchTheFile)
{
    // Sunday 13 to Saturday 19 March 2011.
    const QStringList expected = sqliteRows(
        QStringLiteral("SELECT JobNo, printf('%.4f', Subtotal + Discount) FROM Jobs WHERE JobType = 0 AND DateDue "
                       "BETWEEN %1 AND %2 ORDER BY JobNo DESC")
            .arg(serial("2011-03-13"), serial("2011-03-19")));
    EXPECT_EQ(expected.size(), 3);
    EXPECT_EQ(pick(viewSql(CSQL::JobsView, 0, 11), {"JobNo", "Net"}), expected);
}

TEST_F(ListQueriesCheckTest, UnpaidInvoicesAgeAsTheFileSays)
{
    const QString today = serial("2011-03-16");
    const QString unpaid = QStringLiteral("FROM Jobs j LEFT JOIN Customers c ON c.CusNo = j.CusNo "
                                          "WHERE j.JobType = 3 AND j.Balance > 0.0001");
    const QStringList expected = sqliteRows(
        QStringLiteral("SELECT j.JobNo, CAST(%1 - j.DateShipped AS INTEGER), printf('%.4f', j.Balance) %2 "
                       "ORDER BY c.Name COLLATE NOCASE, 2 DESC")
            .arg(today, unpaid));
    EXPECT_EQ(expected.size(), 2);
    const QString byCustomer = viewSql(CSQL::ReceivablesView, 1, 1);
    EXPECT_EQ(pick(byCustomer, {"JobNo", "Age", "Balance"}), expected);

    // The printed aging report of that list: its buckets add up as the
    // file's balances by days since shipping.
    const QStringList buckets = sqliteRows(
        QStringLiteral("SELECT printf('%.4f', total(CASE WHEN %1 - DateShipped < 31 THEN Balance END)), "
                       "printf('%.4f', total(CASE WHEN %1 - DateShipped BETWEEN 31 AND 60 THEN Balance END)), "
                       "printf('%.4f', total(CASE WHEN %1 - DateShipped BETWEEN 61 AND 90 THEN Balance END)), "
                       "printf('%.4f', total(CASE WHEN %1 - DateShipped > 90 THEN Balance END)) "
                       "FROM Jobs WHERE JobType = 3 AND Balance > 0.0001")
            .arg(today));
    CXDaoSet list(&db);
    list.Open(CXDaoSet::dbOpenSnapshot, byCustomer);
    const QString aging = CSQL(list, QStringLiteral("Ar"), 101, 0).m_strSQL;
    Money sums[4];
    const char *const columns[] = {"0-30", "31-60", "61-90", "Over 90"};
    Recordset rs(db);
    rs.open(Recordset::Type::Snapshot, aging);
    int rowsRead = 0;
    for (; !rs.isEOF(); rs.moveNext(), ++rowsRead) {
        for (int i = 0; i < 4; ++i)
            sums[i] += rs.value(QString::fromLatin1(columns[i])).toMoney();
    }
    EXPECT_EQ(rowsRead, 2);
    QStringList got;
    for (const Money &m : sums)
        got << QString::number(m.toDouble(), 'f', 4);
    EXPECT_EQ(QStringList(got.join(QLatin1Char('|'))), buckets);
}

TEST_F(ListQueriesCheckTest, SalesByMonthMatchTheFile)
{
    const QString period = QStringLiteral("Jobs.DateShipped between #01/01/2011# and #03/31/2011# ");
    const QStringList expected = sqliteRows(
        QStringLiteral("SELECT strftime('%Y', DateShipped + 2415018.5), strftime('%m', DateShipped + 2415018.5), "
                       "count(*), printf('%.4f', sum(Subtotal + Discount)), printf('%.4f', sum(Cost)) FROM Jobs "
                       "WHERE JobType = 3 AND DateShipped BETWEEN %1 AND %2 GROUP BY 1, 2 ORDER BY 1, 2")
            .arg(serial("2011-01-01"), serial("2011-03-31")));
    EXPECT_EQ(expected.size(), 3);

    QStringList got;
    for (const QString &row : pick(viewSql(CSQL::ReportsView, 1, 3, period),
                                   {"Year", "Month", "JobCount", "NetSale", "Cost"})) {
        QStringList f = row.split(QLatin1Char('|'));
        EXPECT_TRUE(f[1].mid(2).startsWith(QLatin1String("  "))) << row.toStdString(); // "03  March"
        f[1] = f[1].left(2);
        got << f.join(QLatin1Char('|'));
    }
    EXPECT_EQ(got, expected);
}

TEST_F(ListQueriesCheckTest, ReceivedPaymentsByGroupMatchTheFile)
{
    std::map<QString, QString> expected; // "type|group" -> amount
    for (const QString &row : sqliteRows(QStringLiteral(
             "SELECT t.Name, g.Name, printf('%.4f', sum(p.Amount)) FROM Payments p JOIN PaymentTypes t ON "
             "t.\"No\" = p.PaidBy JOIN PayGroups g ON g.PayGroup = p.PayGroup JOIN Customers c ON c.CusNo = "
             "p.CusNo GROUP BY t.Name COLLATE NOCASE, g.Name COLLATE NOCASE"))) {
        const QStringList f = row.split(QLatin1Char('|'));
        expected[f[0] + QLatin1Char('|') + f[1]] = f[2];
    }
    EXPECT_EQ(expected.size(), 4u);

    Recordset rs(db);
    rs.open(Recordset::Type::Snapshot, viewSql(CSQL::ReceivablesView, 4, 13));
    // One column per payment group, in the order Jet gives them.
    ASSERT_EQ(rs.fieldCount(), 5);
    EXPECT_EQ(rs.fieldName(2), QStringLiteral("AR"));
    EXPECT_EQ(rs.fieldName(3), QStringLiteral("Deposit"));
    EXPECT_EQ(rs.fieldName(4), QStringLiteral("Quick"));
    std::map<QString, QString> got;
    int rowCount = 0;
    for (; !rs.isEOF(); rs.moveNext(), ++rowCount) {
        Money rowTotal;
        for (int i = 2; i < rs.fieldCount(); ++i) {
            const platform::Value cell = rs.value(i);
            if (cell.isNull())
                continue;
            rowTotal += cell.toMoney();
            got[rs.value(0).toString() + QLatin1Char('|') + rs.fieldName(i)] =
                QString::number(cell.toMoney().toDouble(), 'f', 4);
        }
        EXPECT_EQ(rs.value(QStringLiteral("Amount")).toMoney(), rowTotal);
    }
    EXPECT_EQ(rowCount, 3);
    EXPECT_EQ(got, expected);
}

TEST_F(ListQueriesCheckTest, JobListsKeepToTheDefaultCsrAndTheItemFilter)
{
    app->m_nDefaultCsr = 1;
    EXPECT_EQ(pick(viewSql(CSQL::JobsView, 0, 1, QString(), 1), {"JobNo"}),
              QStringList({"1005", "1003", "1001"}));
    // Late orders of CSR 1 only.
    EXPECT_EQ(pick(viewSql(CSQL::JobsView, 0, 8, QString(), 1), {"JobNo"}), QStringList({"1003"}));
    // A filter that chooses the CSR itself gets no second condition.
    const QString other = viewSql(CSQL::JobsView, 0, 1, QStringLiteral("Jobs.CSRNo = 2"), 1);
    EXPECT_EQ(other.count(QLatin1String("CSRNo =")), 1);
    EXPECT_EQ(pick(other, {"JobNo"}), QStringList({"1004", "1002"}));
    // The walk-in customer's orders show the ship-to company.
    EXPECT_EQ(pick(viewSql(CSQL::JobsView, 0, 5), {"JobNo", "Customer"}), QStringList({"1004|* Harbor Cafe"}));
    // Templates belong to no CSR.
    EXPECT_EQ(rowCount(viewSql(CSQL::JobsView, 2, 1, QString(), 1)), 1);

    // A filter on item fields lists the items of the job type.
    const CSQL items(CSQL::JobsView, 3, 1, QStringLiteral("Items.Description Like '*card*'"), QString(), 1, false);
    EXPECT_EQ(items.m_strKey, QStringLiteral("ItemID"));
    EXPECT_EQ(pick(items.m_strSQL, {"JobNo", "Description"}), QStringList({"905|Holiday cards"}));
}

TEST_F(ListQueriesCheckTest, ServicesHideDiscontinuedOnlyWhenAsked)
{
    EXPECT_EQ(pick(viewSql(CSQL::ServicesView, 1, 1), {"Name", "Status_w_70", "RunCost"}),
              QStringList({"Bond 20#|Active|2.5000", "Bond 24#|~Discontinued|3.0000"}));
    EXPECT_EQ(pick(viewSql(CSQL::ServicesView, 1, 1, QString(), 1), {"Name"}), QStringList({"Bond 20#"}));
    // Department 0, entry 0 lists category 1, which has no services here.
    EXPECT_EQ(rowCount(viewSql(CSQL::ServicesView, 0, 0)), 0);
}

TEST_F(ListQueriesCheckTest, CustomerListsChooseTheirRows)
{
    // Customers with orders; hidden ones left out by "All (not hidden)".
    EXPECT_EQ(pick(viewSql(CSQL::CustomersView, 0, 2), {"CusNo"}), QStringList({"100", "101", "103", "31"}));
    // "All (any status)" shows hidden customers even with the view's option.
    EXPECT_EQ(pick(viewSql(CSQL::CustomersView, 2, 1, QString(), 1), {"CusNo"}).size(), 7);
    // Prospects: customers without orders.
    EXPECT_EQ(pick(viewSql(CSQL::CustomersView, 1, 1), {"CusNo"}), QStringList({"1", "102", "10"}));
    // Contacts of customers that are not hidden, with the view's option.
    EXPECT_EQ(pick(viewSql(CSQL::CustomersView, 5, 1, QString(), 1), {"ContactNo"}),
              QStringList({"2", "1", "3", "4"}));

    // Top customers ignore the user's sort: the order picks the rows.
    const CSQL top(CSQL::CustomersView, 3, 2, QString(), QStringLiteral("Customers.Name"), 0, false);
    EXPECT_EQ(top.m_nSortColumn, 3);
    EXPECT_TRUE(top.m_bDescending);
    EXPECT_EQ(pick(top.m_strSQL, {"Name", "NetSale"}),
              QStringList({"Acme Insurance|475.0001", "Birch Bakery|250.5000", "Delta Dental|150.0000",
                           "Walk-in Customer ***|45.0000"}));

    // A filter on job fields lists each contact once.
    const CSQL contacts(CSQL::CustomersView, 5, 1, QStringLiteral("Jobs.JobType = 3"), QString(), 0, false);
    EXPECT_EQ(contacts.m_strKey, QStringLiteral("ContactNo"));
    EXPECT_EQ(pick(contacts.m_strSQL, {"ContactNo"}), QStringList({"2", "1", "3", "4"}));
}

TEST_F(ListQueriesCheckTest, DiscrepancyChecksFindTheirJobs)
{
    auto check = [this](int jobType, int entry) {
        prompts().onDialog([entry](QDialog &dialog) {
            auto *button = dialog.findChild<QRadioButton *>(QStringLiteral("entry%1").arg(entry));
            EXPECT_TRUE(button != nullptr);
            if (button)
                button->setChecked(true);
            return int(QDialog::Accepted);
        });
        const CSQL q(CSQL::JobsView, jobType, jobType == 0 ? 13 : 14, QString(), QString(), 0, false);
        EXPECT_EQ(q.m_strKey, QStringLiteral("JobID"));
        QStringList jobs = pick(q.m_strSQL, {"JobNo"});
        jobs.removeDuplicates();
        return jobs;
    };
    EXPECT_EQ(check(0, 1), QStringList({"1002"}));  // subtotal 300, services 250
    EXPECT_EQ(check(0, 3), QStringList({"1005"}));  // price level 0 for a level-1 customer
    EXPECT_EQ(check(0, 4), QStringList({"1002"}));  // price edited by hand
    EXPECT_EQ(check(0, 5), QStringList({"1005"}));  // no price yet
    EXPECT_EQ(check(0, 6), QStringList({"1002"}));  // four inks, no ink in the note
    EXPECT_EQ(check(0, 7), QStringList({"1005"}));  // no services at all
    // The quote from another program is left out, edited price or not.
    EXPECT_EQ(check(1, 4), QStringList());
    EXPECT_EQ(prompts().shown().last().text, QStringLiteral("Discrepancies"));

    // The item check counts the services of the item, not its lines.
    prompts().onDialog([](QDialog &dialog) {
        dialog.findChild<QRadioButton *>(QStringLiteral("entry2"))->setChecked(true);
        return int(QDialog::Accepted);
    });
    const CSQL items(CSQL::JobsView, 0, 13, QString(), QString(), 0, false);
    EXPECT_EQ(pick(items.m_strSQL, {"JobNo", "ItemPrice", "ServiceCount", "SumServicePrice", "Difference"}),
              QStringList({"1002|300.0000|2|250.0000|50.0000"}));

    // A discount line (a negative service price) counts in the sums shown
    // as in the sums compared: services 100 + 150 - 50 = 200.
    db.execute(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Price, Cost) VALUES (2, 4001, 1, 0, -50, "
                              "-20)"));
    prompts().onDialog([](QDialog &) { return int(QDialog::Accepted); });
    const CSQL jobs(CSQL::JobsView, 0, 13, QString(), QString(), 0, false);
    EXPECT_EQ(pick(jobs.m_strSQL, {"JobNo", "ServicePrice", "\u00B1 Price"}), QStringList({"1002|200.0000|100.0000"}));
    prompts().onDialog([](QDialog &dialog) {
        dialog.findChild<QRadioButton *>(QStringLiteral("entry2"))->setChecked(true);
        return int(QDialog::Accepted);
    });
    const CSQL discounted(CSQL::JobsView, 0, 13, QString(), QString(), 0, false);
    EXPECT_EQ(pick(discounted.m_strSQL, {"JobNo", "ItemPrice", "ServiceCount", "SumServicePrice", "Difference"}),
              QStringList({"1002|300.0000|3|200.0000|100.0000"}));

    // Cancelled: no statement at all.
    prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); });
    const CSQL cancelled(CSQL::JobsView, 3, 14, QString(), QString(), 0, false);
    EXPECT_TRUE(cancelled.m_strSQL.isEmpty());
}

TEST_F(ListQueriesCheckTest, PostingSummaryNeedsAPeriodAndCountsEachPostingOnce)
{
    prompts().answer(platform::IDOK);
    EXPECT_TRUE(viewSql(CSQL::ReportsView, 6, 5).isEmpty());
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Need date range!"));

    // March holds posting 2 (two invoices as posted; a third, no-charge
    // invoice joined it later); every part covers March only.
    const QString march = QStringLiteral("PostingDate between #03/01/2011# and #03/31/2011# ");
    EXPECT_EQ(pick(viewSql(CSQL::ReportsView, 6, 5, march), {"Description", "Count", "Subtotals", "SaleTax"}),
              QStringList({"1.Regular Sales|1|295.5000|0.0000", "2.Adjustments (after posting)|3|-0.0001|0.0000",
                           "3.Quick Sales|1|12.0000|0.7200", "Job |3|295.5001|0.0000"}));
}

TEST_F(ListQueriesCheckTest, ProductionListsPlaceServicesByDay)
{
    bool weekly = false;
    int bit128 = 0;
    QString title, note;
    CSQL schedule;
    schedule.BuildProductionListSQL(101, 128, weekly, bit128, title, note);
    EXPECT_TRUE(weekly);
    EXPECT_EQ(bit128, 128);
    EXPECT_EQ(title, QStringLiteral("Orders in Progress"));
    // Each open order's number stands in the column of its due day.
    Recordset rs(db);
    rs.open(Recordset::Type::Snapshot, schedule.m_strSQL);
    EXPECT_EQ(rs.fieldName(4), QStringLiteral("Late"));
    EXPECT_EQ(rs.fieldName(5), QStringLiteral("03/16"));
    EXPECT_EQ(rs.fieldName(11), QStringLiteral("03/22"));
    EXPECT_EQ(rs.fieldName(12), QStringLiteral("Later"));
    QStringList placed;
    for (; !rs.isEOF(); rs.moveNext()) {
        for (int i = 4; i <= 12; ++i) {
            if (!rs.value(i).isNull())
                placed << rs.fieldName(i) + QLatin1Char('=') + rs.value(i).toString();
        }
    }
    EXPECT_EQ(placed, QStringList({"Late=1003", "03/16=1005", "03/17=1001"}));

    // Services to do by operator: today's and late ones, by service date.
    CSQL byOperator;
    byOperator.BuildProductionListSQL(105, 1 | 32 | 64, weekly, bit128, title, note);
    EXPECT_EQ(pick(byOperator.m_strSQL, {"ServiceDate", "Operator_w_12__PARENT", "Job", "Service", "Note"}),
              QStringList({"3/15/2011|Carl Price|1003|Digital: Color Copier|",
                           "3/16/2011|Carl Price|1001|Offset Press: Two-Color Press|Rush job"}));

    // Progress by job: one column per department in department order; "X"
    // when the department's services of the item are done.
    CSQL progress;
    progress.BuildProductionListSQL(102, 0, weekly, bit128, title, note);
    EXPECT_EQ(note, QStringLiteral("List shows how many Services To-Do in each Department. X means that all "
                                   "Services are done."));
    Recordset grid(db);
    grid.open(Recordset::Type::Snapshot, progress.m_strSQL);
    QStringList departments;
    for (int i = 5; i < grid.fieldCount(); ++i)
        departments << grid.fieldName(i);
    EXPECT_EQ(departments, QStringList({"12_>_Paper_C_w_08", "13_>_Printing_C_w_08", "14_>_Digital_C_w_08",
                                        "15_>_Finishing_C_w_08"}));
    EXPECT_EQ(pick(progress.m_strSQL, {"JobNo__PARENT", "12_>_Paper_C_w_08", "13_>_Printing_C_w_08",
                                       "15_>_Finishing_C_w_08"}).first(),
              QStringLiteral("1001|1|1|X"));

    // Papers of the next week, with the item they belong to.
    CSQL papers;
    papers.BuildProductionListSQL(106, 8 | 32, weekly, bit128, title, note);
    EXPECT_EQ(pick(papers.m_strSQL, {"Vendor_w_12", "PaperColor__PARENT", "JobNo", "UnitCost", "ItemStatus", "SKU"}),
              QStringList({"Paper Supply Co|White |1001|2.5000|4|BND20"}));
}

TEST_F(ListQueriesCheckTest, CodesWithoutAListGiveNoStatement)
{
    EXPECT_TRUE(viewSql(CSQL::ReceivablesView, 1, 7).isEmpty());
    EXPECT_TRUE(viewSql(CSQL::ReceivablesView, 9, 1).isEmpty());
    EXPECT_TRUE(viewSql(CSQL::ReportsView, 4, 17).isEmpty());
    EXPECT_TRUE(viewSql(CSQL::ReportsView, 8, 1).isEmpty());
    CSQL posting;
    posting.BuildPostingSQL(121, 2);
    EXPECT_TRUE(posting.m_strSQL.isEmpty());
    CSQL production;
    bool weekly = false;
    int bit128 = 0;
    QString title, note;
    production.BuildProductionListSQL(112, 1, weekly, bit128, title, note);
    EXPECT_TRUE(production.m_strSQL.isEmpty());
    EXPECT_FALSE(weekly);
}

} // namespace
