#include "PrintFixture.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "controls/CXChartCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXTable.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Recordset.h"
#include "printing/CPrintDlg.h"
#include "support/TestFiles.h"
#include "support/ToolRun.h"
#include "views/CPrintStatus.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>

namespace {

// A shop with customer 100, orders whose money agrees with their items, a
// posting, and the printed-documents object installed.
class PrintEntryTest : public PrintTest
{
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        path = tempPath(QStringLiteral("TavrelData.mdb"));
        CreateShopDatabase(path);
        SharedDatabase().open(path);
        platform::Clock::setFixed(QDateTime(QDate(2025, 3, 14), QTime(10, 0)));
        exec("INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, Terms, Tax, Discount, PayerNo) "
             "VALUES (100, 'Acme Printing Co', '12 Mill Road', 'Springfield', 'IL', '62701', 0, 0, 0, 0)");
        exec("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Type) "
             "VALUES (7, 100, 'Dana', 'Reyes', '555-0101', 0)");
        exec("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (3, 'Carla', 1, 1, 0, 0)");
        exec("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) VALUES (402, 0, 0, 'Bindery', 4)");
        exec("INSERT INTO Services (SerNo, CatNo, Name, Name2) VALUES (901, 402, 'Folding', '')");
        app = std::make_unique<CZqApp>();
        Appearance::instance().LoadViewSettings();
        InstallPrinting(*app);
        engine = CPrintForm::Instance();
    }
    void TearDown() override
    {
        app.reset();
        SharedDatabase().close();
        platform::Clock::reset();
        PrintTest::TearDown();
    }
    static void exec(const char *sql) { SharedDatabase().execute(QString::fromUtf8(sql)); }
    static void exec(const QString &sql) { SharedDatabase().execute(sql); }
    static QString scalar(const QString &sql)
    {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot, sql);
        return rs.isEOF() ? QString() : rs.value(0).toString();
    }
    // An order of 400.00 with one item and its service.
    qint32 addOrder(int jobNo, int jobType = 0, int postingNo = 0)
    {
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, CusNo, BuyerNo, CSRNo, SRepNo, ShiptoNo, PO, "
                            "TermsNo, TaxNo, Subtotal, Discount, Shipping, Postage, Tax, Tax2, Paid, Writeoff, "
                            "Latefee, Balance, InvoicePrinted, WOrderPrinted, PropID1, PrintOption, Status, Creator, "
                            "PostingNo, DateIn, DateDue, DateShipped) VALUES (%1, %2, 'Spring Mailer %2', 100, 7, 3, "
                            "3, 0, 'PO-77', 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, 400, 0, 1, 0, 0, 0, 0, %3, "
                            "#3/1/2025#, #3/20/2025#, #3/10/2025#)")
                 .arg(jobType)
                 .arg(jobNo)
                 .arg(postingNo));
        const qint32 id = scalar(QStringLiteral("SELECT Max(JobID) FROM Jobs")).toInt();
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                            "Status, ChargeQty) VALUES (%1, 0, 1, 0, 'Postcards', 400, 0, 0, 1, 1, 500)")
                 .arg(id));
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                            "Status, ChargeQty) VALUES (%1, 901, 1, 0, '', 400, 0, 0, 1, 1, 500)")
                 .arg(id));
        return id;
    }
    static QString pdfText(const QString &pdf)
    {
        return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    }

    std::unique_ptr<CZqApp> app;
    CPrintForm *engine = nullptr;
    QString path;
};

} // namespace

TEST(AttachmentNameTest, TheTenCharactersGoAndTheRecordIsNamed)
{
    struct Case
    {
        const char *title;
        int kind;
        int view;
        qint32 jobNo;
        qint32 cusNo;
        const char *name;
    };
    const Case cases[] = {
        {"Invoice: Spring/Summer", 5, 30001, 1234, 0, "Invoice SpringSummer No 1234.pdf"},
        {"  <Quote> \"x\" *?|.  ", 2, 30001, 7, 0, "Quote x  No 7.pdf"},
        {"Back\\slash", 1, 30001, 99999, 0, "Backslash No 99999.pdf"},
        {"Statement", 1, 30004, 0, 100, "Statement-CusNo100.pdf"},
        {"Past-Due Notice", 2, 30004, 0, 31, "Past-Due Notice-CusNo31.pdf"},
        {"Orders / All", 100, 30001, 1234, 0, "List.pdf"},
        {"Customers", 100, 30003, 0, 0, "List.pdf"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CPrintForm::AttachmentName(QString::fromUtf8(c.title), c.kind, c.view, c.jobNo, c.cusNo),
                  QString::fromUtf8(c.name))
            << c.title;
}

TEST_F(PrintEntryTest, ThreeSelectedJobsPrintOneAfterAnother)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    CXListCtrl list;
    list.AddColumn(QStringLiteral("Job No"), 80, 10, true, 0);
    const qint32 jobs[] = {addOrder(2001), addOrder(2002), addOrder(2003)};
    for (int r = 0; r < 3; ++r)
        list.InsertRow(r, QString::number(2001 + r), jobs[r]);
    list.SelectAll();
    const QStringList pdfs = {tempPath(QStringLiteral("a.pdf")), tempPath(QStringLiteral("a-2.pdf")),
                              tempPath(QStringLiteral("a-3.pdf"))};
    // The first run asks for the printer; each further document goes to the
    // same printer (a file output to a file of its own) without asking again.
    printTo(pdfs[0]);
    engine->m_nPresetCommand = CPrint::kPrintDialog;
    engine->m_nPresetKind = 5;
    engine->m_nPresetOptions = 0x627F9;
    // The current row is the middle one: it prints first, then every other
    // selected row in the list's order, the one above it included.
    ViewPrintRequest request;
    request.viewId = 30001;
    request.key = jobs[1];
    request.list = &list;
    EXPECT_EQ(engine->PrintView(request), 0);
    const int printed[] = {2002, 2001, 2003};
    for (int r = 0; r < 3; ++r) {
        ASSERT_TRUE(QFile::exists(pdfs[r])) << r;
        const QString text = pdfText(pdfs[r]);
        EXPECT_TRUE(text.contains(QString::number(printed[r]))) << r;
        for (int other : printed)
            if (other != printed[r])
                EXPECT_FALSE(text.contains(QString::number(other))) << r << " holds " << other;
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT Sum(InvoicePrinted) FROM Jobs WHERE JobNo BETWEEN 2001 AND 2003")),
              QStringLiteral("3"));
    EXPECT_EQ(prompts().pendingAnswers(), 0);

    // A preview prints no batch and marks nothing.
    prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); });
    engine->m_nPresetCommand = CPrint::kPrintPreview;
    EXPECT_EQ(engine->PrintView(request), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Sum(InvoicePrinted) FROM Jobs WHERE JobNo BETWEEN 2001 AND 2003")),
              QStringLiteral("3"));
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(PrintEntryTest, TheChoiceIsRememberedPerListAndAQuoteStartsOnItsQuote)
{
    CXListCtrl list;
    const qint32 order = addOrder(3001);
    const qint32 quote = addOrder(3002, 1);
    ViewPrintRequest request;
    request.viewId = 30001;
    request.list = &list;
    struct Step
    {
        qint32 job;
        int branch;
        int choose;   // the document the user picks (0: closes)
        int expected; // the document the dialog opens on
    };
    const Step steps[] = {
        {0, 0, 0, 100},    // no row chosen: the list on the screen, alone
        {order, 0, 4, 1},  // nothing chosen yet: the first document
        {order, 0, 0, 4},  // the same list again: the last document
        {quote, 1, 0, 2},  // another list: a quote starts on its quote
        {order, 0, 0, 1},  // and the orders' list forgot its choice
    };
    for (const Step &s : steps) {
        int opened = 0;
        onDialog<CPrintDlg>([&](CPrintDlg &d) {
            opened = d.m_nKind;
            // A job's documents are offered with its row chosen, and only then.
            EXPECT_EQ(d.documentTree()->FindOption(1) != nullptr, s.job > 0) << s.job;
            if (s.choose == 0)
                return 2;
            d.SelectDocument(s.choose);
            d.SendCommand(57609);
            return d.result();
        });
        if (s.choose != 0)
            prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); }); // the preview
        request.key = s.job;
        request.branch = s.branch;
        engine->PrintView(request);
        EXPECT_EQ(opened, s.expected) << s.job << " " << s.branch;
    }
    // A document of one job asked for by name, with no row chosen.
    prompts().answer(platform::IDOK);
    request.key = -1;
    request.preselection = -1;
    EXPECT_EQ(engine->PrintView(request), 0);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Please select the job to print."));
    request.preselection = 0;
    // A job that is gone.
    prompts().answer(platform::IDOK);
    request.key = 999999;
    request.branch = 2;
    EXPECT_EQ(engine->PrintView(request), 0);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot find the job to print!"));
}

TEST_F(PrintEntryTest, PostingPartsPrintInTurnWithThePostingsHeaderLines)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    exec("INSERT INTO PostingJournal (PostingNo, PostingDate, Invoices) VALUES (7, #3/14/2025#, 2)");
    // A customer's name of 40 letters prints whole.
    exec("UPDATE Customers SET Name = 'Harborview Commercial Printing Supply Co' WHERE CusNo = 100");
    addOrder(4001, 3, 7);
    addOrder(4002, 3, 7);
    exec("INSERT INTO Payments (CusNo, [Date], Amount, PayGroup, PaidBy, PostingNo, Appliedto) "
         "VALUES (100, #3/12/2025#, 150, 2, 0, 7, '4001 ')");
    // One printer dialog for the run: each further part goes to the same
    // printer, a file output to a file of its own beside the first.
    const QString first = tempPath(QStringLiteral("invoices.pdf"));
    const QString second = tempPath(QStringLiteral("invoices-2.pdf"));
    printTo(first);
    // Favourites: posted invoices (1), quick sales (2, none posted) and payments (3).
    engine->m_nPresetCommand = CPrint::kPrintDialog;
    engine->m_nPresetKind = 101;
    engine->m_nPresetOptions = 0x7;
    engine->PrintPostingReports(7, 2, 0, nullptr);
    ASSERT_TRUE(QFile::exists(first));
    ASSERT_TRUE(QFile::exists(second));
    const QString invoices = pdfText(first);
    EXPECT_TRUE(invoices.contains(QStringLiteral("Posted Invoices"))) << qPrintable(invoices);
    EXPECT_TRUE(invoices.contains(QStringLiteral("Posting No 7")));
    EXPECT_TRUE(invoices.contains(QStringLiteral("2 Orders and 0 QuickSales")));
    EXPECT_TRUE(invoices.contains(QStringLiteral("4001")));
    EXPECT_TRUE(invoices.contains(QStringLiteral("4002")));
    const QStringList lines = invoices.split(QLatin1Char('\n'));
    for (const char *job : {"4001", "4002"}) {
        const auto row = std::find_if(lines.begin(), lines.end(), [job](const QString &l) {
            return l.simplified().startsWith(QLatin1String(job));
        });
        ASSERT_NE(row, lines.end()) << job << qPrintable(invoices);
        EXPECT_TRUE(row->simplified().startsWith(QLatin1String(job) + QStringLiteral(" Harborview Commercial Printing Supply Co ")))
            << row->toStdString() << "\n" << qPrintable(invoices);
    }
    const QString payments = pdfText(second);
    EXPECT_TRUE(payments.contains(QStringLiteral("Payments"))) << qPrintable(payments);
    EXPECT_TRUE(payments.contains(QStringLiteral("150.00")));
    // Each part names its own size, the rows it lists without its total.
    EXPECT_TRUE(invoices.contains(QStringLiteral("List Size: 2"))) << qPrintable(invoices);
    EXPECT_TRUE(payments.contains(QStringLiteral("List Size: 1"))) << qPrintable(payments);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(PrintEntryTest, JobAmountsPrintEveryCustomerWholeAndCountTheJobsListed)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    // Thirty-two orders of 400.00; one customer's name of 40 letters.
    exec("UPDATE Customers SET Name = 'Harborview Commercial Printing Supply Co' WHERE CusNo = 100");
    qint32 first = 0;
    for (int j = 0; j < 32; ++j) {
        const qint32 id = addOrder(8001 + j);
        first = first ? first : id;
    }
    CXListCtrl jobs;
    jobs.FillFromSql(QStringLiteral("SELECT Jobs.JobNo, Jobs.Title, Jobs.JobID FROM Jobs WHERE Jobs.JobType = 0 "
                                    "ORDER BY Jobs.JobNo"),
                     QStringLiteral("JobID"));
    ASSERT_EQ(jobs.GetItemCount(), 32);
    const QString pdf = tempPath(QStringLiteral("amounts.pdf"));
    printTo(pdf);
    engine->m_nPresetCommand = CPrint::kPrintDialog;
    engine->m_nPresetKind = 102;
    engine->m_nPresetOptions = 0;
    const int command = engine->PrintJobDocument(30001, 0, 1, first, &jobs, nullptr, nullptr);
    ASSERT_GT(command, 0);
    engine->RunPrintCommand(command, QStringLiteral("Jobs / Orders"), QStringLiteral("Jobs / Orders"), QString());
    ASSERT_TRUE(QFile::exists(pdf));
    const QString text = pdfText(pdf);
    // Every job's row holds the customer's whole name, and the 12,800.00
    // total (32 x 400.00) stands whole.
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int j = 0; j < 32; ++j) {
        const QString job = QString::number(8001 + j);
        const auto row = std::find_if(lines.begin(), lines.end(),
                                      [&job](const QString &l) { return l.simplified().startsWith(job + QLatin1Char(' ')); });
        ASSERT_NE(row, lines.end()) << qPrintable(job) << qPrintable(text);
        EXPECT_TRUE(row->simplified().startsWith(job + QStringLiteral(" Harborview Commercial Printing Supply Co ")))
            << row->toStdString();
    }
    EXPECT_TRUE(text.contains(QStringLiteral("12,800.00"))) << qPrintable(text);
    // The list's size is the jobs listed, not the jobs and the total row.
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const QString &l) { return l.simplified() == QLatin1String("List Size: 32"); }))
        << qPrintable(text);

    // A document titled with a slash ("A/R / Aging", "Jobs / Orders") is
    // proposed to Print to File under a name that holds no folder, one a
    // user can write in the home folder.
    QString proposed;
    prompts().onDialog([&](QDialog &d) {
        if (auto *dialog = dynamic_cast<QPrintDialog *>(&d))
            proposed = dialog->printer()->docName();
        return int(QDialog::Rejected);
    });
    engine->PrintList(&jobs, QStringLiteral("Jobs / Orders"), QString(), QString(), 57607);
    EXPECT_FALSE(proposed.isEmpty());
    EXPECT_FALSE(proposed.contains(QLatin1Char('/'))) << qPrintable(proposed);
    const QString proposedFile = QDir::homePath() + QLatin1Char('/') + proposed + QStringLiteral(".pdf");
    EXPECT_TRUE(QFileInfo(proposedFile).dir().exists()) << qPrintable(proposedFile);
}

TEST_F(PrintEntryTest, ATablesListSizeCountsItsRecordsNotItsTotalsRows)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    // The time tracker's table: three tasks, a group's total row and the
    // list's total row.
    CXTable table;
    table.SetSize(3, 3);
    table.SetColumnName(0, QStringLiteral("Task"), 24, 10);
    table.SetColumnName(1, QStringLiteral("Operator"), 12, 10);
    table.SetColumnName(2, QStringLiteral("HIDE_KEY"), 6, 4);
    for (int r = 0; r < 3; ++r) {
        table.SetCellText(r, 0, QStringLiteral("Folding job %1").arg(r + 1));
        table.SetCellText(r, 1, QStringLiteral("Carla"));
        table.SetCellText(r, 2, QString::number(500 + r));
    }
    table.m_totalMode = CXTable::TotalsNone;
    table.SetCellText(table.AddRow(CXTable::RowSpecial), 0, QStringLiteral("3 Tasks"));
    table.SetCellText(table.AddRow(CXTable::RowSpecial | CXTable::RowGrandTotal), 0, QStringLiteral("3 Tasks"));
    CXChartCtrl chart;
    chart.LoadTable(&table, CXChartCtrl::ChartTable);
    const QString pdf = tempPath(QStringLiteral("tasks.pdf"));
    printTo(pdf);
    engine->m_nPresetCommand = CPrint::kPrintDialog;
    engine->m_nPresetKind = 100;
    engine->m_nPresetOptions = 0;
    const int command = engine->PrintJobDocument(30008, 0, 1, 0, nullptr, &chart, nullptr);
    ASSERT_GT(command, 0);
    engine->RunPrintCommand(command, QStringLiteral("Time Tracker"), QStringLiteral("Tasks"), QString());
    ASSERT_TRUE(QFile::exists(pdf));
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("List Size: 3"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Folding job 3"))) << qPrintable(text);

    // The view's quick print of its table says the same.
    const QString quick = tempPath(QStringLiteral("tasks-quick.pdf"));
    printTo(quick);
    engine->PrintViewList(30008, nullptr, &chart, QStringLiteral("Time Tracker"), QStringLiteral("Tasks"), QString(),
                          CPrint::kPrintDialog);
    ASSERT_TRUE(QFile::exists(quick));
    const QString quickText = pdfText(quick);
    EXPECT_TRUE(quickText.contains(QStringLiteral("List Size: 3"))) << qPrintable(quickText);
}

TEST_F(PrintEntryTest, EmailPdfNamesTheFileAndACancelledRunKeepsTheOldOne)
{
    const qint32 order = addOrder(5001);
    SharedDatabase().close();
    // The tool makes the attachment in the folder given and names it.
    const QString folder = tempPath(QStringLiteral("mail"));
    QDir().mkpath(folder);
    const ToolRun run = RunDbTool({QStringLiteral("print"), path, QStringLiteral("--view"), QStringLiteral("30001"),
                                   QStringLiteral("--kind"), QStringLiteral("5"), QStringLiteral("--key"),
                                   QString::number(order), QStringLiteral("--attach"), folder});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_TRUE(run.out.contains(folder + QStringLiteral("/Invoice No 5001.pdf"))) << qPrintable(run.out);
    EXPECT_EQ(runTool(QStringLiteral("ls"), {folder}).trimmed(), QStringLiteral("Invoice No 5001.pdf"));
    SharedDatabase().open(path);

    // A run that is cancelled leaves the older file as it was and mails nothing.
    const QString old = folder + QStringLiteral("/Invoice No 5001.pdf");
    QFile file(old);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("older attachment");
    file.close();
    setupRows(500);
    abortOnPage = 1;
    engine = form.get();
    engine->m_strAttachment = old;
    EXPECT_EQ(engine->RunPrintCommand(30562, QString(), QString(), QString()), 0);
    CPrintStatus::SetUserAbort(false);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("older attachment"));
    file.close();
    EXPECT_EQ(runTool(QStringLiteral("ls"), {folder}).trimmed(), QStringLiteral("Invoice No 5001.pdf"));
    // A finished run replaces it and asks for the mail.
    abortOnPage = -1;
    setupRows(5);
    engine->m_strAttachment = old;
    EXPECT_EQ(engine->RunPrintCommand(30562, QString(), QString(), QString()), 30108);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
}

// Last month's statement PDF of the same name is in the attachment folder;
// this month's cannot be written (the file-size limit, a full disk): that
// is said, with the reason and that nothing is sent, and nothing is handed
// to the mail command; the old file stays as it was.
TEST_F(PrintEntryTest, AnAttachmentThatCannotBeWrittenIsSaidAndNothingIsMailed)
{
    const QByteArray old = "last month's statement";
    const QString limited = tempPath(QStringLiteral("limited"));
    ASSERT_TRUE(QDir().mkpath(limited));
    const FullDisk disk(tempPath(QStringLiteral("full")));
    struct Way
    {
        const char *what;
        QString folder;
        rlim_t limit;
        QString reason;
    };
    std::vector<Way> ways = {{"size limit", limited, 4096,
                              QStringLiteral("The file would be larger than the file-size limit allows.")}};
    if (disk.mounted()) {
        ASSERT_TRUE(WriteTestFile(tempPath(QStringLiteral("full/Statement-CusNo100.pdf")), old));
        ASSERT_TRUE(disk.fill());
        ways.push_back({"full disk", tempPath(QStringLiteral("full")), 0, QStringLiteral("Not enough space on disk.")});
    }
    for (const Way &w : ways) {
        for (const int rows : {5, 20000}) {
            const QString path = w.folder + QStringLiteral("/Statement-CusNo100.pdf");
            SCOPED_TRACE(std::string(w.what) + " " + std::to_string(rows));
            if (w.limit > 0)
                ASSERT_TRUE(WriteTestFile(path, old));
            setupRows(rows);
            engine = form.get();
            engine->m_strAttachment = path;
            prompts().clear();
            prompts().answer(platform::IDOK);
            int next = 0;
            {
                std::unique_ptr<FileSizeLimit> limit;
                if (w.limit > 0)
                    limit = std::make_unique<FileSizeLimit>(w.limit);
                next = engine->RunPrintCommand(30562, QString(), QString(), QString());
            }
            EXPECT_EQ(next, 0);
            EXPECT_EQ(engine->TakeAttachmentName(), QString());
            EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Cannot write: ") + path + QStringLiteral("\n\n")
                                                     + w.reason
                                                     + QStringLiteral("\n\nNo e-mail is sent: the PDF to attach "
                                                                      "was not made.")});
            EXPECT_EQ(ReadTestFile(path), old);
            EXPECT_TRUE(WorkFilesOf(path).isEmpty());
        }
    }
}

TEST_F(PrintEntryTest, EmailRtfHandsTheTemplateNameToTheMailCommand)
{
    const qint32 order = addOrder(5002);
    engine->m_nPresetCommand = 30563;
    engine->m_nPresetKind = 5;
    const int command = engine->PrintJobDocument(30001, 0, 1, order, nullptr, nullptr, nullptr);
    ASSERT_EQ(command, 30563);
    EXPECT_EQ(engine->RunPrintCommand(command, QString(), QString(), QString()), 30108);
    EXPECT_EQ(engine->TakeAttachmentName(), QStringLiteral("Invoice.rtf"));
    EXPECT_EQ(engine->TakeAttachmentName(), QString()); // taken once
}

TEST_F(PrintEntryTest, AStatementNeedsAnOpenInvoiceOrCredit)
{
    exec("INSERT INTO Customers (CusNo, Name, Address, CreditDue) VALUES (300, 'Credit Only Cafe', '1 Main St', 25)");
    exec("INSERT INTO Customers (CusNo, Name, Address, CreditDue) VALUES (301, 'Square Deal', '2 Main St', 0)");
    engine->m_nPresetCommand = CPrint::kPrintPreview;
    engine->m_nPresetKind = 3;
    // Credit alone: one statement page of the credit.
    EXPECT_EQ(engine->PrintJobDocument(30004, 8, 1, 300, nullptr, nullptr, nullptr), CPrint::kPrintPreview);
    EXPECT_EQ(engine->m_nRecords, 1);
    EXPECT_EQ(engine->m_nFormNo, 43);
    // Neither invoices nor credit: nothing to print.
    prompts().answer(platform::IDOK);
    EXPECT_EQ(engine->PrintJobDocument(30004, 8, 1, 301, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Statement has no items to print!"));
    // A statement attachment is named after the customer number.
    engine->m_nPresetCommand = 30562;
    engine->m_strAttachmentFolder = tempPath(QStringLiteral("mail")) + QLatin1Char('/');
    EXPECT_EQ(engine->PrintJobDocument(30004, 8, 1, 300, nullptr, nullptr, nullptr), 30562);
    EXPECT_TRUE(engine->m_strAttachment.endsWith(QStringLiteral("/Statement-CusNo300.pdf")))
        << qPrintable(engine->m_strAttachment);
}

#include "data/CSQL.h"

TEST_F(PrintEntryTest, APrintedJobListKeepsTheScreensFilterAndShowsAJobOnceForItsItems)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    const qint32 first = addOrder(6001);
    addOrder(6002);
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, Status, "
                        "ChargeQty) VALUES (%1, 0, 2, 0, 'Envelopes', 100, 0, 0, 1, 1, 500)")
             .arg(first));
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, Status, "
                        "ChargeQty) VALUES (%1, 901, 2, 0, '', 100, 0, 0, 1, 1, 500)")
             .arg(first));
    exec(QStringLiteral("UPDATE Jobs SET Subtotal = 500, Balance = 500 WHERE JobID = %1").arg(first));
    // The orders list on the screen, narrowed to job 6001.
    CSQL orders(30001, 0, 1, QStringLiteral("Jobs.JobNo = 6001"), QString(), 0, false);
    CXListCtrl list;
    list.FillFromSql(orders.m_strSQL, orders.m_strKey);
    ASSERT_EQ(list.GetItemCount(), 1);
    const QString pdf = tempPath(QStringLiteral("items.pdf"));
    printTo(pdf);
    engine->m_nPresetCommand = CPrint::kPrintDialog;
    engine->m_nPresetKind = 103; // Item Specs
    ViewPrintRequest request;
    request.viewId = 30001;
    request.branch = 0;
    request.item = 1;
    request.key = first;
    request.list = &list;
    request.viewName = QStringLiteral("Jobs");
    request.listCaption = QStringLiteral("Orders / All");
    EXPECT_EQ(engine->PrintView(request), 0);
    ASSERT_TRUE(QFile::exists(pdf));
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Postcards"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Envelopes")));
    EXPECT_FALSE(text.contains(QStringLiteral("6002")));
    EXPECT_TRUE(text.contains(QStringLiteral("Orders / All")));
    // The job's columns show on its first row only.
    EXPECT_EQ(text.count(QStringLiteral("6001")), 1) << qPrintable(text);
    EXPECT_EQ(text.count(QStringLiteral("Acme Printing Co")), 1) << qPrintable(text);
}

#include "controls/CXTreeOptCtrl.h"

TEST_F(PrintEntryTest, AfterPostingTheDialogOffersThePrintoutsWithTheFavouritesTicked)
{
    exec("INSERT INTO Options (OptionID, OptionSum) VALUES (44351, 5)");
    onDialog<CPrintDlg>([](CPrintDlg &d) {
        EXPECT_EQ(d.m_nKind, 101);
        EXPECT_EQ(d.documentTree()->FindOption(101)->text(0), QStringLiteral("Posting Reports"));
        EXPECT_EQ(int(d.optionsTree()->GetCheckedBits()), 5);
        EXPECT_EQ(d.optionsTree()->FindOption(1)->text(0), QStringLiteral("Posted Invoices"));
        EXPECT_EQ(d.optionsTree()->FindOption(15)->text(0), QStringLiteral("Sales by Tax Type"));
        EXPECT_EQ(d.optionsTree()->topLevelItem(0)->text(0), QStringLiteral("Favorite Reports to print after posting:"));
        return 2;
    });
    engine->PrintPostingReports(3, 1, 0, nullptr);
    EXPECT_EQ(prompts().pendingAnswers(), 0);

    // The posting's printouts chosen (bits 1 and 15), then a credit invoice
    // printed from the order it made: the invoice opens with its own form's
    // options and prints its prices and totals, and its job keeps no
    // posting bits.
    engine->m_nPresetCommand = CPrint::kPrintPreview;
    engine->m_nPresetKind = 101;
    engine->m_nPresetOptions = 0x4001;
    prompts().answer(platform::IDOK);
    engine->PrintPostingReports(3, 1, 0, nullptr);
    engine->m_nPresetCommand = 0;
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Sales by Tax Type has no items to print!"));
    const qint32 credit = addOrder(5001);
    exec(QStringLiteral("UPDATE Jobs SET JobNo = -5001, Creator = 99, Subtotal = -400, Balance = 0 WHERE JobID = %1")
             .arg(credit));
    exec(QStringLiteral("UPDATE Items SET Price = -400 WHERE JobID = %1").arg(credit));
    int opened = -1;
    int options = -1;
    onDialog<CPrintDlg>([&](CPrintDlg &d) {
        opened = d.m_nKind;
        options = d.m_nOptions;
        d.EndWith(CPrint::kPrintDialog);
        return d.result();
    });
    const QString pdf = tempPath(QStringLiteral("credit.pdf"));
    printTo(pdf);
    ViewPrintRequest request;
    request.viewId = 30001;
    request.key = credit;
    request.preselection = -2;
    engine->PrintView(request);
    EXPECT_EQ(opened, 2);
    EXPECT_NE(options, 0x4001);
    EXPECT_NE(scalar(QStringLiteral("SELECT PrintOption FROM Jobs WHERE JobID = %1").arg(credit)), QStringLiteral("16385"));
    if (haveTool(QStringLiteral("pdftotext"))) {
        ASSERT_TRUE(QFile::exists(pdf));
        const QString text = pdfText(pdf).simplified();
        EXPECT_TRUE(text.contains(QStringLiteral("-400.00"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Total"))) << text.toStdString();
    }
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

// The tool prints through the program's own entry: the same title as the
// print dialog's run gives (history copies and web portal jobs named as such),
// and a preview marks nothing printed while a print does.
TEST_F(PrintEntryTest, TheToolPrintsAJobAsTheProgramsEntryDoes)
{
    const qint32 order = addOrder(6001);
    const qint32 history = addOrder(6002, 3);
    const qint32 portal = addOrder(6003, 4);
    struct Case
    {
        qint32 jobId;
        int type;
        QString prefix;
    };
    const Case cases[] = {{order, 0, QString()},
                          {history, 3, QStringLiteral("Copy of ")},
                          {portal, 4, QStringLiteral("Pell ")}};
    QStringList programTitles;
    for (const Case &c : cases) {
        prompts().onDialog([](QDialog &d) {
            auto *dialog = qobject_cast<CPrintDlg *>(&d);
            EXPECT_NE(dialog, nullptr);
            if (!dialog)
                return 2;
            dialog->SelectDocument(5);
            dialog->EndWith(CPrint::kPrintPreview);
            return dialog->result();
        });
        EXPECT_EQ(engine->PrintJobDocument(30001, c.type, 0, c.jobId, nullptr, nullptr, nullptr),
                  CPrint::kPrintPreview);
        programTitles << engine->m_strTitle;
        EXPECT_TRUE(engine->m_strTitle.startsWith(c.prefix + QStringLiteral("Invoice")))
            << qPrintable(engine->m_strTitle);
    }
    SharedDatabase().close();

    for (int i = 0; i < 3; ++i) {
        const Case &c = cases[i];
        const QString viewPdf = tempPath(QStringLiteral("view%1.pdf").arg(i));
        const ToolRun view = RunDbTool({QStringLiteral("print"), path, QStringLiteral("--view"), QStringLiteral("30001"),
                                        QStringLiteral("--branch"), QString::number(c.type), QStringLiteral("--kind"),
                                        QStringLiteral("5"), QStringLiteral("--key"), QString::number(c.jobId),
                                        QStringLiteral("--pdf"), viewPdf, QStringLiteral("--preview")});
        ASSERT_EQ(view.exitCode, 0) << qPrintable(view.err);
        EXPECT_EQ(view.out, QStringLiteral("result 2 %1 %2\n").arg(viewPdf, programTitles[i]));
        const QString jobPdf = tempPath(QStringLiteral("job%1.pdf").arg(i));
        const ToolRun job = RunDbTool({QStringLiteral("print"), path, QStringLiteral("--job"), QString::number(c.jobId),
                                       QStringLiteral("--kind"), QStringLiteral("5"), QStringLiteral("--pdf"), jobPdf,
                                       QStringLiteral("--preview")});
        ASSERT_EQ(job.exitCode, 0) << qPrintable(job.err);
        EXPECT_TRUE(pdfText(jobPdf).contains(programTitles[i])) << qPrintable(pdfText(jobPdf));
    }
    // Previews left every job unprinted; printing the order marks it once.
    EXPECT_EQ(SqliteRows(path, QStringLiteral("SELECT Sum(InvoicePrinted) FROM Jobs")), QStringLiteral("0"));
    const ToolRun printed = RunDbTool({QStringLiteral("print"), path, QStringLiteral("--view"), QStringLiteral("30001"),
                                       QStringLiteral("--kind"), QStringLiteral("5"), QStringLiteral("--key"),
                                       QString::number(order), QStringLiteral("--pdf"),
                                       tempPath(QStringLiteral("printed.pdf"))});
    ASSERT_EQ(printed.exitCode, 0) << qPrintable(printed.err);
    EXPECT_EQ(SqliteRows(path, QStringLiteral("SELECT JobNo, InvoicePrinted FROM Jobs WHERE InvoicePrinted > 0")),
              QStringLiteral("6001|1"));
    SharedDatabase().open(path);
}
