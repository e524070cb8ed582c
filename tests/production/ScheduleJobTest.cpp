#include "ScheduleFixture.h"

#include "app/base/CZqApp.h"
#include "app/base/DialogControls.h"
#include "app/base/PrintService.h"
#include "controls/CXChartCtrl.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "jobs/CJobWhen.h"
#include "platform/Clock.h"
#include "data/SharedDatabase.h"
#include "platform/DateTime.h"
#include "platform/db/Database.h"
#include "production/schedule/CScheduleJob.h"
#include "production/schedule/ScheduleJobGrid.h"
#include "views/CDlgData.h"

#include <QtWidgets/QLineEdit>

#include <QtCore/QLocale>
#include <QtCore/QScopeGuard>
#include <QtWidgets/QDateEdit>

namespace {

using G = ScheduleJobGrid;

// Services of the examples: preparation, proofing, paper and printing, each
// its own department in that order.
constexpr int kPrep = 951;
constexpr int kProof = 952;
constexpr int kPaper = 953;
constexpr int kPress = 954;

// What the schedule box hands the print engine.
class PrintCalls : public PrintService
{
public:
    QStringList *calls = nullptr;
    void PrintList(CXListCtrl *, const QString &, const QString &, const QString &, int) override
    {
        *calls << QStringLiteral("list");
    }
    void PrintViewList(int, CXListCtrl *list, CXChartCtrl *chart, const QString &name, const QString &caption,
                       const QString &filter, int command) override
    {
        *calls << QStringLiteral("table %1 %2 rows %3|%4|%5|%6|%7")
                      .arg(list != nullptr)
                      .arg(chart != nullptr)
                      .arg(chart && chart->table() ? chart->table()->GetRowCount() : -1)
                      .arg(name, caption, filter)
                      .arg(command);
    }
    void PrintGrid(QWidget *, CXGridCtrl *, CXGridCtrl *, const QString &, const QString &) override
    {
        *calls << QStringLiteral("grid");
    }
    void PrintScreen(QWidget *, QWidget *, const QString &, const QString &, int) override
    {
        *calls << QStringLiteral("picture of the window");
    }
    int PrintView(const ViewPrintRequest &) override { return 0; }
    int PrintReceipt(const ReceiptData &) override { return 0; }
    void PrintPostingReports(int, int, int, QWidget *) override {}
    void EditDocumentForms(QWidget *) override {}
    int EditBarCodes(QWidget *) override { return 0; }
};

class ScheduleJob : public ScheduleTest
{
protected:
    void SetUp() override
    {
        ScheduleTest::SetUp();
        exec(QStringLiteral("DELETE FROM ServiceCategories WHERE CatNo in (7, 20, 101, 201)"));
        const char *const categories[] = {"(20, 1, 'Prep', 20, 1)", "(7, 1, 'Proof', 7, 2)",
                                          "(101, 2, 'Paper', 3, 3)", "(201, 3, 'Printing', 2, 4)"};
        for (const char *c : categories)
            exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES ")
                 + QString::fromLatin1(c));
        exec(QStringLiteral("DELETE FROM Services WHERE SerNo in (951, 952, 953, 954)"));
        const char *const services[] = {"(951, 20, 'Film', 0, 0, 1)", "(952, 7, 'Proof', 0, 0, 1)",
                                        "(953, 101, 'Bond 20', 0, 0, 1)", "(954, 201, 'Press', 0, 0, 1)"};
        for (const char *s : services)
            exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, CostBy, SortNo) VALUES ")
                 + QString::fromLatin1(s));
        app->LoadServiceCategories();
        app->LoadServices(2);
    }

    // Order 500, in today (Wednesday 06/12/2024) and due Friday 06/21: an
    // item "Flyers" with film to do today, paper done yesterday... and the
    // press run on Sunday 06/23, after the due date.
    qint32 addExampleOrder()
    {
        const qint32 jobId = addOrder(500, 0, today(), today().addDays(9));
        m_item = addItem(jobId, 1, 5);
        m_film = addService(jobId, 1, kPrep, 1, 1, 30);
        m_paper = addService(jobId, 1, kPaper, 0, 2, 30);
        m_press = addService(jobId, 1, kPress, 12, 12, 60);
        return jobId;
    }

    void openGrid(CScheduleJob &dialog)
    {
        dialog.FillGrid(0);
    }

    int rowOf(CScheduleJob &dialog, qint32 itemId) { return dialog.grid().FindRowOfKey(itemId); }

    qint32 m_item = 0;
    qint32 m_film = 0;
    qint32 m_paper = 0;
    qint32 m_press = 0;
};

TEST_F(ScheduleJob, GridShowsDaysMarksAndTheLateNoteWhateverTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const qint32 jobId = addExampleOrder();
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    openGrid(dialog);
    const CXTable &t = dialog.grid().table();
    ASSERT_EQ(t.GetColumnCount(), int(G::ColumnCount));

    // Headers from fixed English names: Wednesday the 12th is today.
    const struct { int column; const char *title; } headers[] = {
        {3, "<<\r\nJun"}, {4, "To-\r\nday"}, {5, "Th\r\n13"}, {6, " F\r\n14"}, {7, " S\r\n15"},
        {8, "Su\r\n16"}, {9, " M\r\n17"}, {10, " T\r\n18"}, {11, " W\r\n19"}, {19, ">>\r\nJun"}};
    for (const auto &h : headers)
        EXPECT_EQ(t.GetColumnName(h.column), QString::fromLatin1(h.title)) << h.column;
    for (int c = 4; c <= 18; ++c)
        EXPECT_EQ(t.IsColumnFlagged(c), c == 7 || c == 8 || c == 14 || c == 15) << c;
    // Texts and codes left, dates and days centred; the actual time and
    // quantity keep the numbers' own alignment (right).
    const struct { int column; std::uint32_t format; } formats[] = {
        {G::ColStatus, 2084}, {G::ColDescription, 2084}, {G::ColDate, 2085}, {G::ColBefore, 2085},
        {G::ColFirstDay, 2085}, {G::ColAfter, 2085}, {G::ColOperator, 2084}, {G::ColPriority, 2084},
        {G::ColNote, 2084}, {G::ColActualTime, 2086}, {G::ColActualQuantity, 2086}};
    for (const auto &f : formats)
        EXPECT_EQ(t.GetColumnFormat(f.column), f.format) << f.column;

    // Rows: the item, its three services, its total row.
    ASSERT_EQ(t.GetRowCount(), 5);
    const int item = rowOf(dialog, m_item);
    const int film = rowOf(dialog, m_film);
    const int paper = rowOf(dialog, m_paper);
    const int press = rowOf(dialog, m_press);
    EXPECT_EQ(item, 0);
    EXPECT_TRUE(dialog.grid().IsItemRow(item));
    EXPECT_EQ(t.GetCellText(item, G::ColStatus), QStringLiteral("Prep"));
    EXPECT_EQ(t.GetCellFormat(item, 4), G::kDateInMark);
    EXPECT_EQ(t.GetCellFormat(item, 13), G::kDueMark);
    EXPECT_EQ(t.GetRowFlags(item) & 0xFF, 4u);

    EXPECT_EQ(t.GetCellText(film, G::ColDescription), QStringLiteral("Prep: Film"));
    EXPECT_EQ(t.GetCellText(film, G::ColDate), QStringLiteral("06/12/24"));
    EXPECT_NE(t.GetCellFormat(film, 4), 0);
    EXPECT_EQ(t.GetCellText(paper, G::ColDate), QStringLiteral("06/13/24"));
    EXPECT_NE(t.GetCellFormat(paper, 5), 0);
    EXPECT_EQ(t.GetRowFlags(paper) & 0xFF, 8u);
    EXPECT_EQ(t.GetCellText(press, G::ColDate), QStringLiteral("06/23/24"));
    EXPECT_NE(t.GetCellFormat(press, 15), 0);
    const QString dashes(45, QLatin1Char('-'));
    EXPECT_EQ(dialog.grid().lateNote(),
              dashes + QStringLiteral("\n 1 Service is scheduled after the Job Due Date.\n") + dashes);

    // A week back: no "To-/day", and the month of the first day.
    dialog.OnGridClick(-1, 3, false);
    EXPECT_EQ(dialog.grid().firstDay(), today().addDays(-7));
    EXPECT_EQ(t.GetColumnName(4), QStringLiteral(" W\r\n5"));
    EXPECT_NE(t.GetCellFormat(rowOf(dialog, m_film), 11), 0);
    // Two services after the due date give the plural.
    exec(QStringLiteral("UPDATE Items SET Status = 14, Days2 = 14 WHERE ItemID = %1").arg(m_film));
    dialog.OnGridClick(-1, 4, false);
    EXPECT_EQ(t.GetColumnName(4), QStringLiteral("To-\r\nday"));
    EXPECT_TRUE(dialog.grid().lateNote().contains(QStringLiteral(" 2 Services are scheduled after")));
    QLocale::setDefault(previous);
}

TEST_F(ScheduleJob, HeadersAcrossNewYearAndAnOrderWithoutDateIn)
{
    platform::Clock::setFixed(QDateTime(QDate(2024, 12, 30), QTime(9, 0)));
    const qint32 jobId = addOrder(501, 0, QDate(2024, 12, 30), QDate(2025, 1, 10));
    addItem(jobId, 1, 0);
    const qint32 film = addService(jobId, 1, kPrep, 3, 3, 30);
    // New services, never given a date (Days2 0): to do on day 1 (today,
    // the order's date in) and on day 3 (01/01/25).
    const qint32 fresh = addService(jobId, 1, kProof, 1, 0, 15);
    const qint32 third = addService(jobId, 1, kPress, 3, 0, 15);
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    openGrid(dialog);
    const CXTable &t = dialog.grid().table();
    EXPECT_EQ(t.GetColumnName(3), QStringLiteral("<<\r\nDec"));
    EXPECT_EQ(t.GetColumnName(5), QStringLiteral(" T\r\n31"));
    EXPECT_EQ(t.GetColumnName(6), QStringLiteral(" W\r\n1"));
    EXPECT_EQ(t.GetColumnName(19), QStringLiteral(">>\r\nJan"));
    EXPECT_NE(t.GetCellFormat(rowOf(dialog, film), 6), 0);
    const struct { qint32 item; const char *date; int column; } days[] = {
        {fresh, "12/30/24", 4}, {third, "01/01/25", 6}};
    for (const auto &d : days) {
        const int row = rowOf(dialog, d.item);
        EXPECT_EQ(t.GetCellText(row, G::ColDate), QString::fromLatin1(d.date)) << d.item;
        for (int c = 3; c <= 19; ++c)
            EXPECT_EQ(t.GetCellFormat(row, c) != 0, c == d.column) << d.item << " column " << c;
    }

    exec(QStringLiteral("UPDATE Jobs SET DateIn = Null WHERE JobID = %1").arg(jobId));
    ASSERT_TRUE(job.FindById(jobId));
    dialog.FillGrid(0);
    const int row = rowOf(dialog, film);
    EXPECT_EQ(t.GetCellText(row, G::ColDate), QStringLiteral("?"));
    EXPECT_NE(t.GetCellFormat(row, 3), 0);
}

TEST_F(ScheduleJob, AQuoteClosesAtOnce)
{
    const qint32 jobId = addOrder(502, 0, today(), today().addDays(5));
    exec(QStringLiteral("UPDATE Jobs SET JobType = 1 WHERE JobID = %1").arg(jobId));
    prompts().answer(platform::IDOK);
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    EXPECT_EQ(dialog.DoModal(), 2);
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("This is a feature for Orders.")});
}

TEST_F(ScheduleJob, ALockedOrderIsForPreviewOnly)
{
    const qint32 jobId = addExampleOrder();
    exec(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (%1, 0)").arg(-jobId));
    const QString before = sqliteRows(QStringLiteral("SELECT ItemID, Status, Days2, Note FROM Items ORDER BY ItemID"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    onDialog<CScheduleJob>([&](CScheduleJob &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Preview Only (This Order is currently open by another user. "
                                                  "Therefore, you may not schedule or edit it)"));
        // Close and Help stay usable.
        for (int i = 0; i < d.commandRibbon().GetItemCount(); ++i) {
            const struct_RIB_ITEM &item = d.commandRibbon().itemAt(i);
            EXPECT_EQ(item.state, item.id == 2 || item.id == 30418 ? struct_RIB_ITEM::Normal
                                                                   : struct_RIB_ITEM::Disabled)
                << i;
        }
        for (int i = 0; i < d.orderRibbon().GetItemCount(); ++i)
            EXPECT_EQ(d.orderRibbon().itemAt(i).state, struct_RIB_ITEM::Disabled) << i;
        snapshot(d, QStringLiteral("preview"));
        const int film = rowOf(d, m_film);
        d.OnGridClick(film, 4, true);  // ignored, nothing said
        d.OnGridClick(film, 9, true);
        d.OnGridDoubleClick(film, G::ColNote);
        d.OnGridRightClick(film, G::ColOperator, QPoint());
        d.SendCommand(31599);
        d.SendCommand(30140);
        EXPECT_TRUE(d.GetHelpText().endsWith(
            QStringLiteral("\n\n\nPLEASE NOTE \tYou may not edit this order. It is currently opened/locked by "
                           "another user.")));
        return 2;
    });
    for (int i = 0; i < 4; ++i)
        prompts().answer(platform::IDOK);
    dialog.DoModal();
    const QString refused = QStringLiteral("This Order is open for preview only. You may not make any changes.");
    EXPECT_EQ(prompts().texts().count(refused), 4);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT ItemID, Status, Days2, Note FROM Items ORDER BY ItemID")), before);
}

TEST_F(ScheduleJob, ClickingIconsMarksDoneAndTheItemFollows)
{
    const qint32 jobId = addExampleOrder();
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    openGrid(dialog);
    CXTable &t = dialog.grid().table();

    // The film's to-do icon: done; the item moves on to the press (paper is done).
    dialog.OnGridClick(rowOf(dialog, m_film), 4, false);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(m_film)).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(m_item)).toInt(), 3 + 4);
    EXPECT_EQ(t.GetCellText(rowOf(dialog, m_item), G::ColStatus), QStringLiteral("Printing"));
    EXPECT_TRUE(dialog.changed());

    // The paper's done icon: scheduled for today (day 1); the item follows it.
    dialog.OnGridClick(rowOf(dialog, m_paper), 5, false);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(m_paper)).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(m_item)).toInt(), 2 + 4);

    // An empty cell: that day (Monday 06/17, day 6).
    dialog.OnGridClick(rowOf(dialog, m_press), 9, false);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(m_press)).toInt(), 6);
    EXPECT_NE(t.GetCellFormat(rowOf(dialog, m_press), 9), 0);
    EXPECT_EQ(t.GetCellFormat(rowOf(dialog, m_press), 15), 0);

    // The last two done: the item is "Done".
    dialog.OnGridClick(rowOf(dialog, m_paper), 4, false);
    dialog.OnGridClick(rowOf(dialog, m_press), 9, false);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(m_item)).toInt(), 17);
    EXPECT_EQ(t.GetCellText(rowOf(dialog, m_item), G::ColStatus), QStringLiteral("Done"));
    EXPECT_TRUE(prompts().texts().isEmpty());
}

TEST_F(ScheduleJob, WithTheCtrlOptionOnlyACtrlClickSchedules)
{
    const qint32 jobId = addExampleOrder();
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    dialog.m_nListOptions = CScheduleJob::kCtrlOnlyOption;
    openGrid(dialog);
    dialog.OnGridClick(rowOf(dialog, m_film), 4, false);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(m_film)).toInt(), 1);
    EXPECT_TRUE(dialog.GetHelpText().contains(
        QStringLiteral("Click an empty Day box to assign a 'To-Do' date (while holding the Ctrl key down)")));
    dialog.OnGridClick(rowOf(dialog, m_film), 4, true);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(m_film)).toInt(), 0);
}

TEST_F(ScheduleJob, AutoScheduleWritesEveryDayAndReportsTheCount)
{
    // In Monday 06/10, due Friday 06/21, today Wednesday 06/12: film, paper
    // and press to do, a second preparation service done. Nothing goes
    // before today; one day per department after that.
    const qint32 jobId = addOrder(503, 0, today().addDays(-2), today().addDays(9));
    addItem(jobId, 1, 0);
    const qint32 film = addService(jobId, 1, kPrep, 1, 1, 30);
    addService(jobId, 1, kPrep, 0, 2, 30);
    const qint32 paper = addService(jobId, 1, kPaper, 40, 40, 30);
    const qint32 press = addService(jobId, 1, kPress, 6, 6, 30);
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    openGrid(dialog);
    prompts().answer(platform::IDOK);
    dialog.SendCommand(30140);
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Scheduled 3 Service(s).")});
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status, Days2 FROM Items WHERE ItemID in (%1, %2, %3) ORDER BY "
                                        "ItemID")
                             .arg(film)
                             .arg(paper)
                             .arg(press)),
              QStringLiteral("3|3\n4|4\n5|5"));
    EXPECT_NE(dialog.grid().table().GetCellFormat(dialog.grid().FindRowOfKey(paper), 5), 0);

    // Again: nothing changes, and it still says so.
    prompts().clear();
    prompts().answer(platform::IDOK);
    dialog.SendCommand(30140);
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Scheduled 0 Service(s).")});
}

TEST_F(ScheduleJob, AutoScheduleWithoutADueDateAsksForIt)
{
    const qint32 jobId = addExampleOrder();
    exec(QStringLiteral("UPDATE Jobs SET DateDue = Null WHERE JobID = %1").arg(jobId));
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    openGrid(dialog);
    prompts().answer(platform::IDNO);
    dialog.AutoSchedule();
    EXPECT_EQ(prompts().texts(),
              QStringList{QStringLiteral("To Auto-Schedule, you must set Date Due.\n\nDo you want to set date(s)?")});
}

TEST_F(ScheduleJob, AFailingRowUndoesTheWholeRun)
{
    const qint32 jobId = addOrder(504, 0, today(), today().addDays(9));
    addItem(jobId, 1, 0);
    addService(jobId, 1, kPrep, 9, 9, 30);
    const qint32 paper = addService(jobId, 1, kPaper, 9, 9, 30);
    addService(jobId, 1, kPress, 9, 9, 30);
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    openGrid(dialog);
    SharedDatabase().executeNative(
        QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Items WHEN NEW.ItemID = %1 BEGIN SELECT "
                       "RAISE(ABORT, 'refused'); END")
            .arg(paper));
    const QString before = sqliteRows(QStringLiteral(".dump"));
    for (int i = 0; i < 3; ++i)
        prompts().answer(platform::IDOK);
    // The failure is shown once the run has rolled back.
    int writesWhileShown = 0;
    writeAtOnceWhileBoxesShow(writesWhileShown);
    dialog.AutoSchedule();
    stopWritingWhileBoxesShow();
    const QStringList texts = prompts().texts();
    EXPECT_EQ(writesWhileShown, texts.size());
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("Cannot save "))) << texts[0].toStdString();
    EXPECT_EQ(texts[1], QStringLiteral("The Services could not be scheduled. Nothing was changed."));
    EXPECT_EQ(sqliteRows(QStringLiteral(".dump")), before);
}

TEST_F(ScheduleJob, ARowThatIsGoneIsSkippedAndNotCounted)
{
    const qint32 jobId = addOrder(505, 0, today(), today().addDays(9));
    addItem(jobId, 1, 0);
    addService(jobId, 1, kPrep, 9, 9, 30);
    const qint32 paper = addService(jobId, 1, kPaper, 9, 9, 30);
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    openGrid(dialog);
    exec(QStringLiteral("DELETE FROM Items WHERE ItemID = %1").arg(paper));
    prompts().answer(platform::IDOK);
    dialog.AutoSchedule();
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Scheduled 1 Service(s).")});
}

TEST_F(ScheduleJob, OnlyAChangeOfTheOrderDatesOffersAutoScheduling)
{
    const qint32 jobId = addExampleOrder();
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    openGrid(dialog);
    auto setDate = [](CJobWhen &d, unsigned id, const QDate &date) {
        auto *picker = qobject_cast<QDateEdit *>(GetDlgItem(&d, id));
        EXPECT_NE(picker, nullptr);
        if (picker)
            picker->setDate(date);
    };
    onDialog<CJobWhen>([&](CJobWhen &d) {
        setDate(d, 2404, QDate(2024, 6, 20));
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_TRUE(dialog.OnEditJobDates());
    EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT DateShipped FROM Jobs WHERE JobID = %1").arg(jobId)).toDateTime().date(),
              QDate(2024, 6, 20));

    onDialog<CJobWhen>([&](CJobWhen &d) {
        setDate(d, 2403, QDate(2024, 6, 24));
        d.SendCommand(1);
        return d.result();
    });
    prompts().answer(platform::IDNO);
    EXPECT_TRUE(dialog.OnEditJobDates());
    const QString dashes(45, QLatin1Char('-'));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("You have changed date(s).\nDo you want to Auto-Schedule?\n\n"));
    EXPECT_TRUE(dialog.grid().lateNote().isEmpty());
}

TEST_F(ScheduleJob, TheWindowAsShown)
{
    const qint32 jobId = addExampleOrder();
    exec(QStringLiteral("UPDATE Jobs SET DateProof = #06/14/2024# WHERE JobID = %1").arg(jobId));
    const qint32 second = addItem(jobId, 2, 0, QStringLiteral("Letterhead"));
    Q_UNUSED(second);
    addService(jobId, 2, kPaper, 3, 3, 30);
    addService(jobId, 2, kPress, 4, 4, 30);
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    onDialog<CScheduleJob>([&](CScheduleJob &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Schedule Job"));
        EXPECT_EQ(d.orderRibbon().GetItemTip(30406),
                  QStringLiteral("In\t06/12/2024\nProof\t06/14/2024\nDue\t06/21/2024   \nShip'd\t\nCSR\tCarla\nStatus\tIn "
                                 "Progress"));
        snapshot(d, QStringLiteral("grid"));
        // The printer button prints the order's rows from the table, with
        // the order and its customer above them, not a picture of the window.
        QStringList calls;
        auto printing = std::make_unique<PrintCalls>();
        printing->calls = &calls;
        app->setPrintService(std::move(printing));
        d.SendCommand(30330);
        EXPECT_EQ(calls, QStringList{QStringLiteral("table 0 1 rows %1|Order 500 - %2|%3||57607")
                                         .arg(d.grid().table().GetRowCount())
                                         .arg(job.m_Title, d.m_strStripText)});
        return 2;
    });
    dialog.DoModal();
}

TEST_F(ScheduleJob, HelpText)
{
    CJobSet job;
    CScheduleJob dialog(&job, nullptr);
    const QString separator = QStringLiteral("\n------------------- \t") + QString(90, QLatin1Char('-'));
    EXPECT_EQ(dialog.GetHelpText(),
              QStringLiteral("\nTO EDIT\t\tDO") + separator
                  + QStringLiteral(
                      "\nService Dates\tClick [Auto...] to schedule the Services that are not 'Done' yet\n\t\tClick an "
                      "empty Day box to assign a 'To-Do' date\n\t\tClick a 'To-Do' icon to mark it as "
                      "'Done'\n\t\tRight-click the Date field of Service(s)\n\n\t\tTo change 'Date Range', click "
                      "column headers:\n\t\t- click [<<] or [>>] to scroll one week\n\t\t- click [Service Date] "
                      "column to set the first column as DateIn\n\t\t- click the first column to set it as "
                      "Today\n\t\t- click other day columns to set the first column to that day\n\nOperator\t\tRight-"
                      "click the Operator field of Service(s)\nTags\t\tRight-click the Tag field of Item(s) or "
                      "Service(s)\nNotes\t\tDouble-click the Note field of an Item or Service\n")
                  + separator
                  + QStringLiteral("\nOrder Dates  \tClick [When]\nOrder Note   \tClick [Job Note]\nInvoice Memo "
                                   "\tClick [Memo]"));
}

} // namespace

namespace {

TEST_F(ScheduleJob, NotesOperatorsTagsAndTheItemDone)
{
    const qint32 jobId = addExampleOrder();
    exec(QStringLiteral("UPDATE Items SET Note = 'Rush \u00b7 500 used' WHERE ItemID = %1").arg(m_press));
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    openGrid(dialog);
    CXTable &t = dialog.grid().table();

    // Only the text before " · " is edited; the rest is kept behind it.
    onDialog<CDlgData>([&](CDlgData &d) {
        EXPECT_EQ(d.edit()->text(), QStringLiteral("Rush"));
        d.edit()->setText(QStringLiteral("Urgent"));
        d.SendCommand(1);
        return d.result();
    });
    dialog.OnGridDoubleClick(rowOf(dialog, m_press), G::ColNote);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Note FROM Items WHERE ItemID = %1").arg(m_press)).toString(),
              QStringLiteral("Urgent \u00b7 500 used"));
    EXPECT_EQ(t.GetCellText(rowOf(dialog, m_press), G::ColNote), QStringLiteral("Urgent \u00b7 500 used"));

    // The operator goes to the marked service rows only (the window is not
    // shown: the first marked row stands for the row the menu was opened on).
    auto mark = [&](std::initializer_list<qint32> keys) {
        t.SelectAll(false);
        for (qint32 key : keys)
            t.ToggleRowSelection(rowOf(dialog, key), 256);
    };
    mark({m_film, m_press, m_item});
    EXPECT_EQ(dialog.OnAssign(1, 5), 2);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT EmpNo FROM Items WHERE JobID = %1 ORDER BY ItemID").arg(jobId)),
              QStringLiteral("0\n5\n0\n5"));
    EXPECT_EQ(t.GetCellText(rowOf(dialog, m_film), G::ColOperator), QStringLiteral("Ben"));
    // A tag chosen on an item row goes to the item rows.
    mark({m_item, m_film});
    EXPECT_EQ(dialog.OnAssign(2, 4), 1);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Tag1 FROM Items WHERE JobID = %1 ORDER BY ItemID").arg(jobId)),
              QStringLiteral("4\n0\n0\n0"));

    // "Done" on the item finishes every service with it.
    mark({m_item});
    EXPECT_TRUE(dialog.OnItemStatus(17));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE JobID = %1 ORDER BY ItemID").arg(jobId)),
              QStringLiteral("17\n0\n0\n0"));
    EXPECT_EQ(t.GetCellText(rowOf(dialog, m_item), G::ColStatus), QStringLiteral("Done"));
    // "In Production" becomes the department of the first service to do.
    exec(QStringLiteral("UPDATE Items SET Status = 4 WHERE ItemID = %1").arg(m_paper));
    mark({m_item});
    EXPECT_TRUE(dialog.OnItemStatus(4));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(m_item)).toInt(), 2 + 4);

    // "Done" finishes the services first, the film before the paper kept in
    // stock (1,000 sheets, 250 used), and the item only when both are
    // finished: a paper refused or cancelled leaves the item "Paper" and
    // moves no stock. With the shop's inventory each row is its own write and
    // the film stays finished; without it nothing is written.
    const CItemSet::InventoryRules saved = CItemSet::GetInventoryRules();
    const auto restore = qScopeGuard([&] { CItemSet::SetInventoryRules(saved); });
    exec(QStringLiteral("UPDATE Services SET OptInv = 1 WHERE SerNo = %1").arg(kPaper));
    struct Case
    {
        const char *name;
        bool inventory;
        int paperStock; // the paper row's inventory status
        bool quantityConfirmed; // the answer of the Quantity Used window
        bool paperWriteFails; // the database refuses the paper row
        bool result;
        QString statuses; // item, film, paper as stored after
        qint64 stockAfter;
        QString message;
        QString itemShown;
    };
    const QString refusedByDatabase =
        QStringLiteral("Cannot save Items\n\nError 3000 occured:\n\nReserved error (refused); there is no message "
                       "for this error.\n\n");
    const Case cases[] = {
        {"paper not In-Stock", true, 11, true, false, false, QStringLiteral("6\n0\n2"), 1000,
         QStringLiteral("You may not finish this Service.\nIts Inventory status must be In-Stock."),
         QStringLiteral("Paper")},
        {"quantity used cancelled", true, 12, false, false, false, QStringLiteral("6\n0\n2"), 1000, QString(),
         QStringLiteral("Paper")},
        {"every service finished", true, 12, true, false, true, QStringLiteral("17\n0\n0"), 750, QString(),
         QStringLiteral("Done")},
        {"without inventory, the paper row refused", false, 12, true, true, false, QStringLiteral("6\n2\n2"), 1000,
         refusedByDatabase, QStringLiteral("Paper")},
    };
    int jobNo = 510;
    for (const Case &c : cases) {
        exec(QStringLiteral("UPDATE Services SET InStock = 1000 WHERE SerNo = %1").arg(kPaper));
        const FilmAndPaper made = addFilmAndPaper(++jobNo, 2 + 4, kPrep, kPaper, c.paperStock, c.paperWriteFails);
        const qint32 order = made.order, flyers = made.item, film = made.film, paper = made.paper;
        CItemSet::InventoryRules rules;
        rules.enabled = c.inventory;
        rules.optionBits = 8;
        rules.confirm = [&c](qint32, bool, qint32 &, qint32 &) { return c.quantityConfirmed; };
        CItemSet::SetInventoryRules(rules);

        CJobSet other;
        ASSERT_TRUE(other.FindById(order));
        CScheduleJob shown(&other, nullptr);
        openGrid(shown);
        CXTable &grid = shown.grid().table();
        grid.SelectAll(false);
        grid.ToggleRowSelection(rowOf(shown, flyers), 256);
        prompts().clear();
        if (!c.message.isEmpty())
            prompts().answer(platform::IDOK);
        EXPECT_EQ(shown.OnItemStatus(17), c.result) << c.name;
        EXPECT_EQ(prompts().lastText(), c.message) << c.name;
        EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE JobID = %1 ORDER BY ItemID").arg(order)),
                  c.statuses)
            << c.name;
        EXPECT_EQ(scalar(QStringLiteral("SELECT InStock FROM Services WHERE SerNo = %1").arg(kPaper)).toInt64(),
                  c.stockAfter)
            << c.name;
        // The grid shows what was stored.
        EXPECT_EQ(grid.GetCellText(rowOf(shown, flyers), G::ColStatus), c.itemShown) << c.name;
        const QStringList stored = c.statuses.split(QLatin1Char('\n'));
        EXPECT_EQ(grid.GetCellLong(rowOf(shown, film), G::ColHideStatus), stored.value(1).toInt()) << c.name;
        EXPECT_EQ(grid.GetCellLong(rowOf(shown, paper), G::ColHideStatus), stored.value(2).toInt()) << c.name;
        refuseNoMore();
    }
}

} // namespace

namespace {

TEST_F(ScheduleJob, ServiceDatesOfMarkedRowsChangeTogetherOrNotAtAll)
{
    const qint32 jobId = addExampleOrder();
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId));
    CScheduleJob dialog(&job, nullptr);
    openGrid(dialog);
    CXTable &t = dialog.grid().table();
    SharedDatabase().executeNative(
        QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Items WHEN NEW.ItemID = %1 BEGIN SELECT "
                       "RAISE(ABORT, 'refused'); END")
            .arg(m_press));
    const QString before = sqliteRows(QStringLiteral(".dump"));
    t.SelectAll(false);
    t.ToggleRowSelection(rowOf(dialog, m_film), 256);
    t.ToggleRowSelection(rowOf(dialog, m_press), 256);
    prompts().answer(platform::IDOK);
    int writesWhileShown = 0;
    writeAtOnceWhileBoxesShow(writesWhileShown); // the failure shown after the rollback
    EXPECT_EQ(dialog.OnServiceDates(31505), 0);
    stopWritingWhileBoxesShow();
    EXPECT_EQ(writesWhileShown, 1);
    EXPECT_EQ(sqliteRows(QStringLiteral(".dump")), before);
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot save "))) << prompts().lastText().toStdString();
    EXPECT_NE(t.GetCellFormat(rowOf(dialog, m_film), 4), 0); // shown as it still is

    SharedDatabase().executeNative(QStringLiteral("DROP TRIGGER refuse"));
    t.ToggleRowSelection(rowOf(dialog, m_film), 256);
    t.ToggleRowSelection(rowOf(dialog, m_press), 256);
    EXPECT_EQ(dialog.OnServiceDates(31505), 2);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE ItemID in (%1, %2)").arg(m_film).arg(m_press)),
              QStringLiteral("3\n3"));
}

} // namespace
