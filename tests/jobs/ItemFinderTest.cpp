#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "jobs/CFindJob.h"
#include "jobs/ItemFinderQuery.h"
#include "views/CDlgList.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLineEdit>

namespace {

class ItemFinderTest : public JobsTest
{
protected:
    void addJobs()
    {
        const qint32 h1 = addJob(3, 900, QStringLiteral("Title, DateIn, DateShipped"),
                                 QStringLiteral("'Posted', #5/1/2024#, #5/5/2024#"));
        addItem(h1, 1, QStringLiteral("Letterhead"), "100");
        addItem(h1, 2, QStringLiteral("Envelopes 10"), "50");
        const qint32 credit = addJob(3, -900, QStringLiteral("Title, Creator"), QStringLiteral("'Credit', 99"));
        addItem(credit, 1, QStringLiteral("Letterhead"), "-100");
        const qint32 order = addJob(0, 901, QStringLiteral("Title"), QStringLiteral("'Open order'"));
        addItem(order, 1, QStringLiteral("Cards"), "20");
    }
    int count(const QString &sql)
    {
        return scalar(QStringLiteral("SELECT Count(*) FROM (") + sql + QStringLiteral(")")).toInt();
    }
};

TEST_F(ItemFinderTest, ConditionsOfTheFilters)
{
    ItemFinderFilter f;
    EXPECT_EQ(ItemFinderWhere(f), QStringLiteral(" WHERE Jobs.JobType = 3 and Jobs.Creator < 98 and Items.SerNo = 0"));
    f.dateRange = 2;
    f.date1 = QDate(2011, 3, 1);
    EXPECT_TRUE(ItemFinderWhere(f).endsWith(QStringLiteral(" and Jobs.DateShipped > #3/1/2011#")));
    f.dateRange = 3;
    f.dateField = QStringLiteral("DateIn");
    f.date2 = QDate(2011, 12, 31);
    EXPECT_TRUE(ItemFinderWhere(f).endsWith(QStringLiteral(" and (Jobs.DateIn between #3/1/2011# and #12/31/2011#)")));
    f.dateField = QStringLiteral("DateIn; DROP TABLE Jobs");
    EXPECT_TRUE(ItemFinderWhere(f).contains(QStringLiteral("Jobs.DateShipped between")));
    f = ItemFinderFilter();
    f.serNo = 7;
    f.description = QStringLiteral("O'Brien \"x\"");
    EXPECT_TRUE(ItemFinderFrom(f).contains(QStringLiteral("Items AS Items_1")));
    EXPECT_TRUE(ItemFinderWhere(f).contains(QStringLiteral(" and Items_1.SerNo=7")));
    EXPECT_TRUE(ItemFinderWhere(f).endsWith(QStringLiteral(" and Items.Description like '*O''Brien \"x\"*' ")));

    struct Case
    {
        const char *typed;
        const char *condition;
    };
    const Case cases[] = {
        {"1234", "Customers.CusNo = 1234 "},
        {"smi", "Customers.Name like \"smi*\" "},
        {"12-4", "Customers.Name like \"12-4*\" "},
        {"O'Brien", "Customers.Name like \"O'Brien*\" "},
        {"50% *off", "Customers.Name like \"50% [*]off*\" "},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ItemFinderCustomerCondition(QString::fromUtf8(c.typed)), QString::fromUtf8(c.condition)) << c.typed;
}

TEST_F(ItemFinderTest, ListingsRunAndCount)
{
    addJobs();
    ItemFinderFilter f;
    for (int button : {kListByProduct, kListByDescription, kListByJobNumber})
        EXPECT_EQ(count(ItemFinderSql(f, button)), 2) << button; // history items only, no credit, no service rows
    f.description = QStringLiteral("1 or 1=1");
    EXPECT_EQ(count(ItemFinderSql(f, kListByJobNumber)), 0);
    f = ItemFinderFilter();
    f.serNo = 1;
    EXPECT_EQ(count(ItemFinderSql(f, kListByJobNumber)), 2);
    f.jobType = 0;
    EXPECT_EQ(count(ItemFinderSql(f, kListByJobNumber)), 1);
}

TEST_F(ItemFinderTest, DialogListsPicksAndEnds)
{
    addJobs();
    onDialog<CFindJob>([&](CFindJob &dlg) {
        EXPECT_EQ(dlg.jobTypes()->currentText(), QStringLiteral("History Jobs"));
        EXPECT_EQ(dlg.dateFields()->currentText(), QStringLiteral("DateShipped"));
        dlg.customerEdit()->setText(QStringLiteral("Acm"));
        dlg.OnCustomerLookup();
        EXPECT_EQ(dlg.m_nCusNo, kCustomer);
        EXPECT_EQ(dlg.customerEdit()->text(), QStringLiteral("Acme Printing Co"));
        dlg.ListItems(kListByJobNumber);
        EXPECT_EQ(dlg.list()->GetItemCount(), 2);
        EXPECT_EQ(dlg.GetItemText(1903), QStringLiteral("Items Listed: 2"));
        dlg.list()->SelectItem(0);
        dlg.UpdateButtons();
        snapshot(dlg, QStringLiteral("item-finder"));
        // Clearing the customer removes its filter.
        dlg.customerEdit()->setText(QString());
        dlg.OnCustomerLookup();
        EXPECT_EQ(dlg.m_nCusNo, 0);
        dlg.SendCommand(1);
        return 1;
    });
    onDialog<CDlgList>([](CDlgList &picker) {
        EXPECT_EQ(picker.m_strFilter, QStringLiteral("Customers.Name like \"Acm*\" "));
        picker.list()->SelectItem(0);
        picker.SendCommand(1);
        return 1;
    });
    CFindJob finder(nullptr);
    ASSERT_EQ(finder.DoModal(), 1);
    EXPECT_EQ(finder.m_strResult,
              QStringLiteral("Jobs.JobID = %1").arg(scalar(QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = 900")).toInt()));
    EXPECT_EQ(finder.m_strJobTypeLabel, QStringLiteral("History Jobs"));
}

} // namespace
