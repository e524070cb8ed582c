// The job's cost chart: the statement it runs, its table with and without the
// services, the blanked zeros, the service names, the chart-type buttons and
// the refusal of a job that is not priced.
#include "PricingFixture.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/CJobSet.h"
#include "estimating/CDlgChart.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtWidgets/QApplication>

namespace {

using platform::IDCANCEL;
using platform::IDOK;

class JobCostChart : public PricingTest
{
protected:
    void SetUp() override
    {
        PricingTest::SetUp();
        app = std::make_unique<CZqApp>();
        InstallAppQueryReader(*app);
        Appearance::instance().LoadViewSettings();
        if (scalar(QStringLiteral("SELECT Count(*) FROM ServiceCategories WHERE CatNo = 0")).toInt() == 0)
            exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (0, 0, "
                                "'', 0, 0)"));
        if (scalar(QStringLiteral("SELECT Count(*) FROM Services WHERE SerNo = 0")).toInt() == 0)
            addService(0, 0, QStringLiteral(""));
        exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (50, 5, "
                            "'Finishing', 7, 50)"));
        addService(601, 50, QStringLiteral("Scoring"));
        addService(602, 50, QStringLiteral("Numbering"));
        app->LoadServiceDepartments();
        app->LoadServiceCategories();
        app->LoadServices(1);
        m_job = addJob(990);
        exec(QStringLiteral("UPDATE Jobs SET Subtotal = 100, Discount = 10, Title = 'Spring Mailing' WHERE JobID = %1")
                 .arg(m_job));
        addRow(m_job, 0, {{"Description", "'Forms'"}, {"ChargeQty", "500"}, {"Cost", "30"}, {"Price", "60"}});
        addRow(m_job, 601, {{"Cost", "10"}, {"Price", "20"}, {"SortNo", "1"}});
        addRow(m_job, 602, {{"Cost", "20"}, {"Price", "40"}, {"SortNo", "2"}});
        addRow(m_job, 0, {{"Description", "'Envelopes'"}, {"ChargeQty", "500"}, {"Cost", "20"}, {"Price", "40"}}, 2);
        addRow(m_job, 601, {{"Cost", "20"}, {"Price", "0"}, {"SortNo", "1"}}, 2);
        job.FindById(m_job);
    }
    void TearDown() override
    {
        QApplication::processEvents();
        app.reset();
        PricingTest::TearDown();
    }
    static void snapshot(QWidget &widget, const QString &name)
    {
        SaveSnapshot(widget, QStringLiteral("estimating"), name);
    }
    int dataRows(CXTable &t)
    {
        int n = 0;
        for (int r = 0; r < t.GetRowCount(); ++r)
            n += t.IsSpecialRow(r) ? 0 : 1;
        return n;
    }
    int rowOf(CXTable &t, const QString &description)
    {
        for (int r = 0; r < t.GetRowCount(); ++r)
            if (t.GetCellText(r, 2) == description)
                return r;
        return -1;
    }
    static bool enabled(CXRibbon &bar, unsigned id)
    {
        const int i = bar.FindItem(id);
        return i >= 0 && bar.itemAt(i).state != struct_RIB_ITEM::Disabled;
    }

    std::unique_ptr<CZqApp> app;
    CJobSet job;
    qint32 m_job = 0;
};

TEST_F(JobCostChart, StatementWithAndWithoutServices)
{
    const QString shown = CDlgChart::BuildQuery(123, true);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("SELECT Items.ItemNo AS [Item_w_6__PARENT], Items.SubNo as [Sub_w_4], "
                                                "Items.Description AS [Description_w_50], Items.ChargeQty AS "
                                                "[Quantity], IIF(Items.SerNo = 0, 0, Items.Cost) AS [Cost/$]")));
    EXPECT_TRUE(shown.contains(QStringLiteral("WHERE Items.JobID = 123 ORDER BY Items.ItemNo")));
    const QString hidden = CDlgChart::BuildQuery(123, false);
    EXPECT_TRUE(hidden.contains(QStringLiteral("Items.Cost AS [Cost/$], Items.Price AS [Price/$], "
                                               "CCur(Items.Price*Jobs.Discount/Jobs.Subtotal) AS [Discount/$], ")));
    EXPECT_TRUE(hidden.contains(QStringLiteral("WHERE Items.JobID = 123 and Items.SerNo = 0 ORDER BY")));
}

TEST_F(JobCostChart, TableDetailAndChartTypes)
{
    CDlgChart dialog(&job, nullptr);
    prompts().onDialog([&](QDialog &) -> int {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Job Cost, Price, Margin "));
        CXTable &t = dialog.table();
        EXPECT_EQ(dataRows(t), 5);
        EXPECT_EQ(t.m_title, QStringLiteral("Quote 990 - Spring Mailing"));
        const int scoring = rowOf(t, QStringLiteral("Finishing: Scoring"));
        EXPECT_GE(scoring, 0);
        EXPECT_EQ(t.GetCellText(scoring, 1), QString()) << "no Sub on a service row";
        EXPECT_EQ(t.GetCellFormat(scoring, 2), 7) << "the category's icon";
        EXPECT_EQ(t.GetCellText(scoring, 4), QStringLiteral("10.00"));
        const int forms = rowOf(t, QStringLiteral("Forms"));
        EXPECT_GE(forms, 0);
        EXPECT_EQ(t.GetCellText(forms, 4), QString()) << "0.00 blanked on the item row";
        EXPECT_EQ(t.GetRowFlags(forms) & 4u, 4u);
        EXPECT_EQ(dialog.buttonBar().GetItemText(CDlgChart::kDetail), QStringLiteral("Hide Services"));
        EXPECT_FALSE(enabled(dialog.buttonBar(), 3000));
        EXPECT_TRUE(enabled(dialog.buttonBar(), 3004));
        snapshot(dialog, QStringLiteral("job_chart_table"));

        dialog.SendCommand(CDlgChart::kDetail);
        EXPECT_EQ(dataRows(t), 2);
        EXPECT_EQ(t.GetCellText(rowOf(t, QStringLiteral("Forms")), 4), QStringLiteral("30.00"));
        EXPECT_EQ(dialog.buttonBar().GetItemText(CDlgChart::kDetail), QStringLiteral("Show Services"));
        dialog.SendCommand(3004);
        EXPECT_TRUE(dialog.chart().IsChartType(3004));
        EXPECT_TRUE(enabled(dialog.buttonBar(), 3000));
        EXPECT_FALSE(enabled(dialog.buttonBar(), 3004));
        snapshot(dialog, QStringLiteral("job_chart_pie"));
        dialog.SendCommand(CDlgChart::kDetail);
        EXPECT_EQ(dataRows(t), 5) << "twice returns to the same table";
        dialog.SendCommand(2);
        return dialog.result();
    });
    dialog.DoModal();
}

TEST_F(JobCostChart, UnpricedJobIsRefused)
{
    exec(QStringLiteral("UPDATE Jobs SET Subtotal = 0 WHERE JobID = %1").arg(m_job));
    CJobSet unpriced;
    unpriced.FindById(m_job);
    prompts().answer(IDOK);
    CDlgChart dialog(&unpriced, nullptr);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Subtotal is zero.\nPlease price all Items to see cost info."));
}

} // namespace
