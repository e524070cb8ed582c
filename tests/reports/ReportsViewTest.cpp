// The reports view on the sample shop: its tree of report codes, what a
// choice in the tree runs, the audit-trail deletion, the chart types and the
// captions, and pictures of a report as a table and as each chart.

#include "ReportsFixture.h"

#include "controls/CXChartCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXProgress.h"
#include "controls/CXRibbon.h"
#include "controls/CXTable.h"
#include "controls/CXTreeCtrl.h"
#include "app/base/PrintService.h"
#include "reports/CViewReports.h"
#include "views/FindPrompt.h"
#include "reports/UserQueries.h"
#include "printing/CPrintDlg.h"
#include "printing/CPrintForm.h"

#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>

#include <QtWidgets/QTreeWidgetItem>

namespace {

// Records what the view hands to the print engine.
class RecordingPrintService : public PrintService
{
public:
    QStringList *calls = nullptr;
    void PrintList(CXListCtrl *list, const QString &caption1, const QString &caption2, const QString &caption3,
                   int command) override
    {
        *calls << QStringLiteral("list %1|%2|%3|%4|%5").arg(list != nullptr).arg(caption1, caption2, caption3).arg(command);
    }
    void PrintViewList(int viewId, CXListCtrl *list, CXChartCtrl *chart, const QString &name, const QString &caption,
                       const QString &, int command) override
    {
        *calls << QStringLiteral("view %1 list %2 chart %3|%4|%5|%6")
                      .arg(viewId)
                      .arg(list != nullptr)
                      .arg(chart != nullptr)
                      .arg(name, caption)
                      .arg(command);
    }
    void PrintGrid(QWidget *, CXGridCtrl *, CXGridCtrl *, const QString &, const QString &) override {}
    void PrintScreen(QWidget *, QWidget *, const QString &, const QString &, int) override {}
    int PrintView(const ViewPrintRequest &request) override
    {
        *calls << QStringLiteral("print view %1 branch %2 list %3 chart %4|%5|%6|%7")
                      .arg(request.viewId)
                      .arg(request.branch)
                      .arg(request.list != nullptr)
                      .arg(request.chart != nullptr)
                      .arg(request.viewName, request.listCaption, request.filterText);
        return 0;
    }
    int PrintReceipt(const ReceiptData &) override { return 0; }
    void PrintPostingReports(int, int, int, QWidget *) override {}
    void EditDocumentForms(QWidget *) override {}
    int EditBarCodes(QWidget *) override { return 0; }
};

class ReportsViewTest : public ReportsFixture
{
protected:
    void SetUp() override
    {
        ReportsFixture::SetUp();
        SharedDatabase().createQuery(QStringLiteral("Alpha Jobs"), QStringLiteral("SELECT JobNo, Title FROM Jobs"));
        SharedDatabase().createQuery(QStringLiteral("Beta Purge"), QStringLiteral("DELETE FROM Jobs WHERE JobNo = 0"));
        SharedDatabase().createQuery(QStringLiteral("Gamma Types"),
                                     QStringLiteral("TRANSFORM Count(Jobs.JobNo) AS N SELECT Jobs.CusNo FROM Jobs GROUP BY "
                                                    "Jobs.CusNo PIVOT Jobs.JobType"));
        view = std::make_unique<CViewReports>();
        view->resize(1200, 800);
        view->OnInitialUpdate();
        view->show();
        settle();
    }
    // Lets the commands the view posted to itself run.
    static void settle()
    {
        for (int i = 0; i < 4; ++i)
            QApplication::processEvents();
    }
    void TearDown() override
    {
        view.reset();
        ReportsFixture::TearDown();
    }
    void choose(int code)
    {
        QTreeWidgetItem *item = view->tree()->FindItemByData(quint32(code));
        ASSERT_NE(item, nullptr) << code;
        choose(item);
    }
    void choose(QTreeWidgetItem *item)
    {
        view->tree()->setCurrentItem(nullptr);
        view->tree()->setCurrentItem(item);
        settle();
    }
    QTreeWidgetItem *topItem(const QString &text)
    {
        for (int i = 0; i < view->tree()->topLevelItemCount(); ++i)
            if (view->tree()->topLevelItem(i)->text(0) == text)
                return view->tree()->topLevelItem(i);
        return nullptr;
    }
    // Adds the row to the list's selection.
    void select(int row)
    {
        CXListCtrl &list = *view->list();
        list.selectionModel()->select(list.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    bool itemEnabled(unsigned id)
    {
        const int index = view->listBar()->FindItem(id);
        return index >= 0 && view->listBar()->itemAt(index).state != struct_RIB_ITEM::Disabled;
    }

    std::unique_ptr<CViewReports> view;
};

} // namespace

TEST_F(ReportsViewTest, TheTreeHoldsEveryReportWithItsCodeAndImage)
{
    struct Top
    {
        const char *text;
        quint32 code;
        int image;
        int children;
        quint32 firstChild;
    };
    const Top tops[] = {
        {"Key Reports", 0, 252, 0, 0},           {"Posting", 2000, 2, 9, 2001},
        {"A/R", 2100, 2, 7, 2101},              {"Profitability", 2200, 2, 12, 2201},
        {"Comparison", 2300, 2, 12, 2301},      {"Production", 2400, 2, 5, 2401},
        {"At a Glance", 2500, 2, 2, 2501},      {"Special Reports", 2600, 2, 3, 2601},
        {"More Reports", 0, 252, 0, 0},         {"Orders+Sales by Date In", 0, 6, 5, 1},
        {"Sales by Date Shipped", 100, 6, 5, 101}, {"Sales by Date Fully Paid", 200, 6, 5, 201},
        {"Sales by Date Reorder", 300, 6, 5, 301}, {"Sales by", 400, 6, 16, 401},
        {"Quick Sales", 500, 6, 4, 501},        {"Posting Journal", 600, 6, 4, 601},
        {"Audit Trail", 700, 6, 6, 701},        {"Jobs Edited After Posting", 800, 6, 12, 801},
        {"Commissions", 900, 6, 4, 901},        {"User Defined Reports", 0, 252, 0, 0},
        {"Custom Queries", 1000, 11, int(ListSavedQueries(SharedDatabase()).size()), 1001},
    };
    CXTreeCtrl &tree = *view->tree();
    ASSERT_EQ(tree.topLevelItemCount(), int(std::size(tops)));
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = tree.topLevelItem(i);
        SCOPED_TRACE(tops[i].text);
        EXPECT_EQ(item->text(0), QString::fromUtf8(tops[i].text));
        EXPECT_EQ(CXTreeCtrl::GetItemData(item), tops[i].code);
        EXPECT_EQ(CXTreeCtrl::GetImage(item), tops[i].image);
        ASSERT_EQ(item->childCount(), tops[i].children);
        for (int c = 0; c < item->childCount(); ++c) {
            EXPECT_EQ(CXTreeCtrl::GetItemData(item->child(c)), tops[i].firstChild + quint32(c));
            // The tree draws a branch's entries with the entry form of its image.
            EXPECT_EQ(CXTreeCtrl::GetImage(item->child(c)), tops[i].image + 24);
        }
    }
    // Select and crosstab queries get entries in the engine's order; the
    // action query none.
    QTreeWidgetItem *custom = topItem(QStringLiteral("Custom Queries"));
    QStringList names;
    for (int c = 0; c < custom->childCount(); ++c)
        names << custom->child(c)->text(0);
    EXPECT_EQ(names, (QStringList{"Alpha Jobs", "Compare Sales", "Gamma Types"}));
    EXPECT_EQ(topItem(QStringLiteral("Posting"))->child(7)->text(0), QStringLiteral("Changes to Earlier Invoices"));
}

TEST_F(ReportsViewTest, HeadersAndBranchesRunNothing)
{
    choose(2204);
    ASSERT_TRUE(view->isTableMode());
    const QString title = view->table()->m_title;
    const int rows = view->table()->GetRowCount();
    EXPECT_TRUE(title.startsWith(QLatin1String("Profitability / Products (")));
    for (const char *text : {"Key Reports", "Posting", "More Reports", "Audit Trail", "Custom Queries"}) {
        choose(topItem(QString::fromUtf8(text)));
        EXPECT_EQ(view->table()->m_title, title) << text;
        EXPECT_EQ(view->table()->GetRowCount(), rows) << text;
        EXPECT_TRUE(view->isTableMode()) << text;
    }
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(ReportsViewTest, EntriesEndingInDotsAskForAFilterFirst)
{
    // The find dialog is asked with the table and presets; Cancel keeps the list.
    QList<FindRequest> asked;
    SetFindPrompt([&](FindRequest &request, QWidget *) {
        asked << request;
        return 2;
    });
    choose(903);
    EXPECT_TRUE(prompts().shown().isEmpty());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].kind, QStringLiteral("Sales"));
    EXPECT_EQ(asked[0].listIndex, 3);
    EXPECT_EQ(asked[0].fieldIndex, 11);
    EXPECT_EQ(view->filterTable(), QStringLiteral("Sales"));
    EXPECT_EQ(view->findPreset(0), 3);
    EXPECT_EQ(view->findPreset(1), 11);
    // Add Filter asks again for the same table.
    view->RunCommand(30534);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(view->filterTable(), QStringLiteral("Sales"));
    SetFindPrompt(nullptr);
    choose(701);
    prompts().answer(platform::IDOK);
    view->RunCommand(30534);
    EXPECT_EQ(view->filterTable(), QStringLiteral("AuditTrail"));
}

TEST_F(ReportsViewTest, AuditTrailRowsAreDeletedOnlyFromTheDetailListAfterTheQuestion)
{
    for (int day = 1; day <= 3; ++day)
        exec(QStringLiteral("INSERT INTO AuditTrail (TransDate, JobNo, Subtotal, Discount, Shipping, Postage, Tax, "
                            "Latefee, Paid, Writeoff, Balance, JobType, PropID) VALUES (#03/0%1/2010#, %2, 10, 0, 0, 0, "
                            "0, 0, 0, 0, 10, 3, 0)")
                 .arg(day)
                 .arg(9000 + day));
    const QString count = QStringLiteral("SELECT count(*) FROM AuditTrail WHERE JobNo > 9000");
    ASSERT_EQ(sqlite(count), QStringLiteral("3"));

    choose(2204);
    EXPECT_FALSE(view->IsCommandEnabled(30113));
    choose(702);
    EXPECT_FALSE(view->IsCommandEnabled(30113));
    choose(701);
    ASSERT_GE(view->list()->GetItemCount(), 3);
    EXPECT_TRUE(view->IsCommandEnabled(30113));

    auto selectOurRows = [this](int how) {
        int picked = 0;
        for (int r = 0; r < view->list()->GetItemCount(); ++r) {
            const bool ours = sqlite(QStringLiteral("SELECT JobNo FROM AuditTrail WHERE TransNo = %1")
                                         .arg(view->list()->GetItemData(r)))
                                  .toInt() > 9001;
            if (ours && picked < how) {
                select(r);
                ++picked;
            }
        }
        return picked;
    };
    const QString question = QStringLiteral(
        "IMPORTANT: If the 'TransDate' of any selected item is within your last three fiscal years, choose No.\n\n"
        "Audit Trail includes the changes made to job amounts such as Subtotal, Discount, and Tax.\nYou may use this "
        "information to prepare your tax and royalty reports. Therefore, you should not delete\nany audit trail item "
        "created during your last three fiscal years.\n\nDo you want to delete the selected audit trail items?");
    ASSERT_EQ(selectOurRows(1), 1);
    prompts().answer(platform::IDNO);
    view->RunCommand(30113);
    EXPECT_EQ(prompts().lastText(), question);
    EXPECT_EQ(sqlite(count), QStringLiteral("3"));

    view->list()->ClearList(false);
    choose(702);
    choose(701);
    for (int r = 0; r < view->list()->GetItemCount(); ++r)
        if (sqlite(QStringLiteral("SELECT JobNo FROM AuditTrail WHERE TransNo = %1").arg(view->list()->GetItemData(r))).toInt() > 9001)
            select(r);
    prompts().answer(platform::IDYES);
    view->RunCommand(30113);
    EXPECT_EQ(prompts().lastText(), question);
    EXPECT_EQ(sqlite(count), QStringLiteral("1"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobNo FROM AuditTrail WHERE JobNo > 9000")), QStringLiteral("9001"));
}

TEST_F(ReportsViewTest, ChartTypesAndCaptions)
{
    choose(701);
    EXPECT_FALSE(view->isTableMode());
    for (unsigned id = 3000; id <= 3004; ++id)
        EXPECT_FALSE(itemEnabled(id)) << id;
    const QString caption = view->dateItemCaption();
    EXPECT_TRUE(caption.startsWith(QStringLiteral("Audit Trail / Detail: %1   ").arg(view->list()->GetItemCount())))
        << caption.toStdString();
    EXPECT_TRUE(caption.contains(QLatin1String("between 01/01/2010 and 06/15/2010")));
    EXPECT_FALSE(caption.contains(QLatin1Char('#')));
    // The status bar counts the rows on one line; the title names them.
    EXPECT_EQ(view->positionCaption(), QStringLiteral("Listed: %1").arg(view->list()->GetItemCount()));

    choose(2204);
    ASSERT_TRUE(view->isTableMode());
    ASSERT_GT(view->chart()->entryCount(), 0);
    EXPECT_TRUE(view->dateItemCaption().startsWith(QLatin1String("Date Range: Year-to-Date (")));
    EXPECT_EQ(view->dateItemCaption(), view->dateRangeCaption());
    EXPECT_TRUE(view->positionCaption().isEmpty());
    SaveSnapshot(*view, QStringLiteral("reports"), QStringLiteral("ReportsViewTable"));
    const char *names[] = {"Table", "BarChart", "ColumnChart", "LineChart", "PieChart"};
    for (unsigned type = 3001; type <= 3004; ++type) {
        view->RunCommand(int(type));
        QApplication::processEvents();
        for (unsigned id = 3000; id <= 3004; ++id)
            EXPECT_EQ(itemEnabled(id), id != type) << type << " " << id;
        SaveSnapshot(*view, QStringLiteral("reports"), QStringLiteral("ReportsView") + QLatin1String(names[type - 3000]));
    }
    view->RunCommand(3000);
    EXPECT_FALSE(itemEnabled(3000));
    EXPECT_TRUE(itemEnabled(3004));
}

TEST_F(ReportsViewTest, PrintingGoesThroughThePrintEntryWithTheChartOrTheListAndNamesThePosting)
{
    QStringList calls;
    auto service = std::make_unique<RecordingPrintService>();
    service->calls = &calls;
    app->setPrintService(std::move(service));

    choose(2204);
    view->RunCommand(30330);
    ASSERT_EQ(calls.size(), 1);
    EXPECT_TRUE(calls[0].startsWith(QLatin1String("print view 30005 branch 22 list 0 chart 1|"))) << calls[0].toStdString();

    choose(702);
    view->RunCommand(30330);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_TRUE(calls[1].startsWith(QLatin1String("print view 30005 branch 7 list 1 chart 0|Reports|Audit Trail / Summary by Job|")))
        << calls[1].toStdString();

    // A posting-journal list names the posting of its current row.
    choose(601);
    ASSERT_GT(view->list()->GetItemCount(), 0);
    view->list()->SelectItem(0);
    const qint64 posting = view->list()->GetItemData(0);
    const QString counts = sqlite(QStringLiteral("SELECT Invoices || ' Orders and ' || QSales || ' QuickSales' FROM "
                                                 "PostingJournal WHERE PostingNo = %1")
                                      .arg(posting));
    view->RunCommand(30330);
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls[2], QStringLiteral("print view 30005 branch 6 list 1 chart 0|Posting No %1|%2|").arg(posting).arg(counts));

    // "At a Glance" prints nothing.
    view->RunCommand(3000);
    prompts().onDialog([](QDialog &) { return 2; });
    choose(2502);
    view->RunCommand(30330);
    EXPECT_EQ(calls.size(), 3);
}

TEST_F(ReportsViewTest, AReportPrintsThroughThePrintDialogUnderItsOwnHeadings)
{
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).size())
        GTEST_SKIP() << "pdftotext is not installed";
    InstallPrinting(*app);
    choose(2204);
    const QString title = view->table()->m_title;
    // The print dialog offers Preview, Print Now and Print To; "Print To"
    // here writes a PDF in place of a printer.
    const QString pdf = tempPath(QStringLiteral("Products.pdf"));
    int kind = 0;
    onDialog<CPrintDlg>([&](CPrintDlg &d) {
        kind = d.m_nKind;
        d.SendCommand(CPrint::kPrintDialog);
        return d.result();
    });
    prompts().onDialog([pdf](QDialog &d) {
        auto *dialog = dynamic_cast<QPrintDialog *>(&d);
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return int(QDialog::Rejected);
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(pdf);
        return int(QDialog::Accepted);
    });
    view->RunCommand(30330);
    settle();
    EXPECT_EQ(kind, 100); // the report as shown
    ASSERT_TRUE(QFile::exists(pdf));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(text.contains(title)) << text.toStdString();
}

TEST_F(ReportsViewTest, JobsEditedAfterPostingAskForAFilterFirst)
{
    QStringList kinds;
    SetFindPrompt([&](FindRequest &request, QWidget *) {
        kinds << request.kind;
        return 2;
    });
    choose(812);
    SetFindPrompt(nullptr);
    EXPECT_FALSE(view->isTableMode());
    EXPECT_EQ(view->list()->GetItemCount(), 0);
    EXPECT_EQ(view->filterTable(), QStringLiteral("PostingMonth"));
    EXPECT_EQ(kinds, QStringList{QStringLiteral("PostingMonth")});
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(ReportsViewTest, TheDailyRegisterAsksForItsCustomerAndRuns)
{
    const QString cusNo =
        sqlite(QStringLiteral("SELECT CusNo FROM Jobs WHERE JobType = 3 AND Balance > 0.005 ORDER BY JobNo LIMIT 1"));
    ASSERT_FALSE(cusNo.isEmpty());
    QStringList kinds;
    SetFindPrompt([&](FindRequest &request, QWidget *) {
        kinds << request.kind;
        request.filter = QStringLiteral("(Customers.CusNo = %1)").arg(cusNo);
        return 1;
    });
    choose(2603);
    SetFindPrompt(nullptr);
    EXPECT_EQ(topItem(QStringLiteral("Special Reports"))->child(2)->text(0), QStringLiteral("Daily Register..."));
    EXPECT_EQ(kinds, QStringList{QStringLiteral("Customer")});
    ASSERT_TRUE(view->isTableMode());
    const CXTable &t = *view->table();
    bool openInvoices = false;
    for (int r = 0; r < t.GetRowCount(); ++r)
        openInvoices = openInvoices || t.GetCellText(r, 1).startsWith(QLatin1String("Open Invoices as of "));
    EXPECT_TRUE(openInvoices);
}

TEST_F(ReportsViewTest, AtAGlanceOpensItsDialogsAndLeavesTheTableEmpty)
{
    choose(2204);
    ASSERT_GT(view->table()->GetRowCount(), 0);
    QStringList shown;
    for (int i = 0; i < 2; ++i)
        prompts().onDialog([&shown](QDialog &d) {
            shown << QString::fromLatin1(d.metaObject()->className());
            return 2;
        });
    choose(2501);
    EXPECT_EQ(view->table()->GetRowCount(), 0);
    EXPECT_TRUE(view->table()->m_title.isEmpty());
    // Coming back to the view after rows were written elsewhere does not
    // open the window again.
    view->show();
    QApplication::processEvents();
    prompts().onDialog([&shown](QDialog &d) {
        shown << QStringLiteral("again: ") + QString::fromLatin1(d.metaObject()->className());
        return 2;
    });
    exec(QStringLiteral("UPDATE Jobs SET Title = Title WHERE JobID = (SELECT Min(JobID) FROM Jobs)"));
    view->hide();
    view->show();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(shown, QStringList{"CCompanySummary"});
    ASSERT_EQ(prompts().pendingAnswers(), 2);
    choose(2502);
    EXPECT_EQ(shown, (QStringList{"CCompanySummary", "CCompanyPie"}));
    EXPECT_EQ(prompts().pendingAnswers(), 1);
    EXPECT_EQ(view->table()->GetRowCount(), 0);
    for (unsigned id = 3000; id <= 3004; ++id)
        EXPECT_FALSE(itemEnabled(id)) << id;
}

// Sales by Date Shipped, Monthly, on three hand-made invoices: the total
// sums the amounts and counts, and leaves the averages empty on screen and on
// paper (a sum of monthly averages is no figure of the period).
TEST_F(ReportsViewTest, MonthlySalesTotalTheAmountsButNotTheAverages)
{
    exec(QStringLiteral("DELETE FROM Jobs"));
    for (const char *values : {"1, 9001, 100, 0, 60, #03/10/2010#", "2, 9002, 60.50, -10, 20.25, #03/20/2010#",
                               "3, 9003, 300, 0, 100, #04/05/2010#"})
        exec(QStringLiteral("INSERT INTO Jobs (JobID, JobNo, Subtotal, Discount, Cost, DateShipped, JobType, CusNo, "
                            "Creator, PostingNo) VALUES (%1, 3, 10, 0, 0)")
                 .arg(QLatin1String(values)));
    choose(103);
    ASSERT_FALSE(view->isTableMode());
    CXListCtrl &list = *view->list();
    ASSERT_EQ(list.GetItemCount(), 2);
    // Year, Month, Subtotal, Discount, NetSale, Cost, $ Margin, % Margin,
    // JobCount, AvgMargin, AvgPrice.
    ASSERT_EQ(list.GetColumnCount(), 11);
    // March: 100 + 50.50 net, margins 40 and 30.25; April: 300 net, 200 margin.
    EXPECT_EQ(list.GetItemText(0, 9), QStringLiteral("35.13"));
    EXPECT_EQ(list.GetItemText(0, 10), QStringLiteral("75.25"));
    EXPECT_EQ(list.GetItemText(1, 9), QStringLiteral("200.00"));
    QStringList totals;
    for (const auto &row : list.TotalsRows())
        totals << row.second;
    EXPECT_EQ(totals.mid(2), (QStringList{"460.50", "-10.00", "450.50", "180.25", "270.25", "", "3", "", ""}));

    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).size())
        GTEST_SKIP() << "pdftotext is not installed";
    InstallPrinting(*app);
    const QString pdf = tempPath(QStringLiteral("Monthly.pdf"));
    onDialog<CPrintDlg>([&](CPrintDlg &d) {
        d.SendCommand(CPrint::kPrintDialog);
        return d.result();
    });
    prompts().onDialog([pdf](QDialog &d) {
        auto *dialog = dynamic_cast<QPrintDialog *>(&d);
        if (!dialog)
            return int(QDialog::Rejected);
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(pdf);
        return int(QDialog::Accepted);
    });
    view->RunCommand(30330);
    settle();
    ASSERT_TRUE(QFile::exists(pdf));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QLatin1String("450.50"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("270.25"))) << text.toStdString();
    // What the averages summed to: 235.13 and 375.25.
    EXPECT_FALSE(text.contains(QLatin1String("235.1"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QLatin1String("375.25"))) << text.toStdString();
}

#include <QtGui/QClipboard>
#include <QtTest/QTest>

namespace {

TEST_F(ReportsViewTest, WithCtrlHeldAReportPutsItsStatementOnTheClipboard)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    choose(2204);
    ASSERT_TRUE(view->isTableMode());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

    QTest::keyPress(view->windowHandle(), Qt::Key_Control, Qt::ControlModifier);
    ASSERT_TRUE(QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier);
    choose(2305);
    QTest::keyRelease(view->windowHandle(), Qt::Key_Control, Qt::NoModifier);
    ASSERT_TRUE(view->isTableMode());
    const QString sql = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(sql.startsWith(QLatin1String("SELECT Customers.Name AS [Customer's/Name          }Pt], Sum(IIf((PostingDate")))
        << sql.toStdString();
    EXPECT_TRUE(sql.endsWith(QLatin1String("Jobs.Subtotal+Jobs.Discount, 0)) DESC"))) << sql.toStdString();
}

} // namespace

namespace {

// At the start of a slow list's progress window: what the caption and the
// tree show then. Stops at the first step.
class ReadingLook : public CXProgress
{
public:
    explicit ReadingLook(std::function<void()> look) : m_look(std::move(look)) {}
    void Start(int, const QString &, bool, bool, const QString &) override
    {
        m_running = true;
        m_look();
    }
    bool Step(const QString &) override { return m_running = false; }
    void SetMessage(const QString &, bool) override {}
    bool IsRunning() const override { return m_running; }

private:
    std::function<void()> m_look;
    bool m_running = false;
};

} // namespace

// While a saved query is read, the caption and the tree name it, not the
// list before it and that list's count.
TEST_F(ReportsViewTest, WhileASavedQueryIsReadTheCaptionAndTreeNameIt)
{
    SharedDatabase().createQuery(QStringLiteral("Slow Triples"),
                                 QStringLiteral("SELECT A.JobNo FROM Jobs AS A, Jobs AS B, Jobs AS C "
                                                "WHERE A.JobNo + B.JobNo + C.JobNo = -1"));
    view = std::make_unique<CViewReports>();
    view->resize(1200, 800);
    view->OnInitialUpdate();
    view->show();
    settle();
    QTreeWidgetItem *custom = topItem(QStringLiteral("Custom Queries"));
    ASSERT_NE(custom, nullptr);
    custom->setExpanded(true);
    QTreeWidgetItem *alpha = nullptr;
    QTreeWidgetItem *slow = nullptr;
    for (int c = 0; c < custom->childCount(); ++c) {
        if (custom->child(c)->text(0) == QLatin1String("Alpha Jobs"))
            alpha = custom->child(c);
        if (custom->child(c)->text(0) == QLatin1String("Slow Triples"))
            slow = custom->child(c);
    }
    ASSERT_NE(alpha, nullptr);
    ASSERT_NE(slow, nullptr);
    choose(alpha);
    const QString before = view->dateItemCaption();
    ASSERT_TRUE(before.contains(QLatin1String("Alpha Jobs"))) << before.toStdString();

    QString caption;
    QString position;
    QStringList chosen;
    CXProgress::SetFactory([&] {
        return std::make_unique<ReadingLook>([&] {
            caption = view->dateItemCaption();
            position = view->positionCaption();
            for (QTreeWidgetItem *item : view->tree()->selectedItems())
                chosen << item->text(0);
        });
    });
    // Clicked as the user does: the click's own selection comes after the
    // tree tells its current entry.
    view->tree()->scrollToItem(slow);
    const QRect place = view->tree()->visualItemRect(slow);
    QTest::mouseClick(view->tree()->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
    settle();
    CXProgress::SetFactory({});
    EXPECT_TRUE(caption.contains(QLatin1String("Slow Triples"))) << caption.toStdString();
    EXPECT_FALSE(caption.contains(QLatin1String("Alpha Jobs"))) << caption.toStdString();
    EXPECT_EQ(position, QString());
    EXPECT_EQ(chosen, QStringList{QStringLiteral("Slow Triples")});
}
