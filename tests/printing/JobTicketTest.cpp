#include "PrintFixture.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Recordset.h"

namespace {

// Ticket option bits as the forms dialog writes them.
constexpr int kPriceColumn = 0x10;
constexpr int kHeadersAndLines = 0x20;
constexpr int kVertical = 0x40;
constexpr int kItemPageBreak = 0x200;
constexpr int kBarcodePage = 0x8000;
constexpr int kEndWith = 0x20000;

class JobTicketTest : public PrintTest
{
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
        CreateShopDatabase(path);
        SharedDatabase().open(path);
        platform::Clock::setFixed(QDateTime(QDate(2025, 3, 14), QTime(10, 0)));
        exec("INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, Terms, Tax, Discount) "
             "VALUES (100, 'Acme Printing Co', '12 Mill Road', 'Springfield', 'IL', '62701', 0, 0, 0)");
        exec("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (3, 'Carla', 1, 1, 0, 0)");
        exec("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) VALUES (101, 0, 0, 'Paper', 1)");
        exec("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) VALUES (402, 0, 0, 'Bindery', 4)");
        exec("INSERT INTO Services (SerNo, CatNo, Name, Name2, Size) VALUES (801, 101, '80# Gloss Text', '', "
             "'19 x 25')");
        exec("INSERT INTO Services (SerNo, CatNo, Name, Name2) VALUES (901, 402, 'Folding', '')");
        app = std::make_unique<CZqApp>();
        app->m_company.m_strName = QStringLiteral("Halvane Press");
        Appearance::instance().LoadViewSettings();
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

    qint32 addJob(int jobType, int jobNo)
    {
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, CusNo, BuyerNo, CSRNo, SRepNo, ShiptoNo, PO, "
                            "TermsNo, TaxNo, Subtotal, Discount, Shipping, Postage, Tax, Tax2, Paid, Writeoff, "
                            "Latefee, Balance, InvoicePrinted, WOrderPrinted, PropID1, PrintOption, WOrderNote, "
                            "Status, Creator) VALUES (%1, %2, 'Spring Mailer', 100, 0, 3, 3, 0, 'PO-77', 0, 0, "
                            "400, 0, 0, 0, 0, 0, 0, 0, 0, 400, 0, 1, 0, 0, 'Rush: customer picks up', 0, 0)")
                 .arg(jobType)
                 .arg(jobNo));
        return scalar(QStringLiteral("SELECT Max(JobID) FROM Jobs")).toInt();
    }
    qint32 addItem(qint32 jobId, int itemNo, const QString &description, int quantity = 1000)
    {
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                            "Status, ChargeQty, Note) VALUES (%1, 0, %2, 0, '%3', 100, 0, 0, 1, 1, %4, '')")
                 .arg(jobId)
                 .arg(itemNo)
                 .arg(description)
                 .arg(quantity));
        return scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
    }
    qint32 addPaper(qint32 jobId, int itemNo, int up, int data2 = 0)
    {
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                            "Status, ChargeQty, ActualQty, [Out], Up, Data2, Side1, Side2) "
                            "VALUES (%1, 801, %2, 0, '', 50, 20, 0, 1, 1, 200, 200, 2, %3, %4, 0, 0)")
                 .arg(jobId)
                 .arg(itemNo)
                 .arg(up)
                 .arg(data2));
        return scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
    }
    qint32 addService(qint32 jobId, int itemNo)
    {
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                            "Status, ChargeQty) VALUES (%1, 901, %2, 0, '', 30, 0, 0, 1, 1, 1000)")
                 .arg(jobId)
                 .arg(itemNo));
        return scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
    }
    QString pdfText(const QString &pdf)
    {
        return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    }

    std::unique_ptr<CZqApp> app;
};

} // namespace

TEST(JobTicketRules, EndCountAndVerticalNumberHeight)
{
    const struct
    {
        qint64 finish;
        int up;
        qint64 end;
    } ends[] = {{1000, 3, 334}, {1001, 1000, 1}, {999, 3, 333}, {1000, 1, 1000}, {0, 4, 0}, {500, 0, -1}};
    for (const auto &c : ends)
        EXPECT_EQ(CPrintForm::TicketEndCount(c.finish, c.up), c.end) << c.finish << "/" << c.up;
    const std::pair<int, int> heights[] = {{1, 30}, {9999, 30}, {10000, 24}, {99999, 24}, {100000, 21}};
    for (const auto &[jobNo, height] : heights)
        EXPECT_EQ(CPrintForm::TicketNumberHeight(jobNo), height) << jobNo;
}

TEST_F(JobTicketTest, TicketAndBarcodePageReadBackAndOnlyARealPrintCounts)
{
    if (!haveTool(QStringLiteral("pdftotext")) || !haveTool(QStringLiteral("pdftoppm")))
        GTEST_SKIP() << "pdftotext or pdftoppm is not installed";
    // Job and item bar codes on the ticket of orders (form 1: bit 0).
    SaveGlobalAlertText(241, QStringLiteral("WASP 39 M,240,1,"));
    // A left margin puts the frames' left line right at the bar codes.
    exec("UPDATE Forms SET LeftMargin = 0.25, TopMargin = 0.9 WHERE [No] = 100");
    const qint32 job = addJob(0, 9001);
    const qint32 item1 = addItem(job, 1, QStringLiteral("Postcards"));
    const qint32 paper = addPaper(job, 1, 3, 250);
    const qint32 folding = addService(job, 1);
    addItem(job, 2, QStringLiteral("Envelopes"));
    addItem(job, 3, QStringLiteral("Letterheads"));
    const int options = kPriceColumn | kHeadersAndLines | kVertical | kBarcodePage | kEndWith | 0xF;
    auto printed = [&] { return scalar(QStringLiteral("SELECT WOrderPrinted FROM Jobs WHERE JobID = %1").arg(job)); };

    // A preview counts nothing and shows the stored count.
    {
        RecordingDevice device(600, 600, 5100, 6600, true);
        ASSERT_TRUE(form->LoadJobDocument(job, 1, 0, options));
        print(device, PrintInfo::Pass::Preview);
        EXPECT_EQ(printed(), QStringLiteral("1"));
        ASSERT_GE(device.pageCount(), 1);
        EXPECT_TRUE(device.pageTexts(0).contains(QStringLiteral("(print# 1)")));
    }

    ASSERT_TRUE(form->LoadJobDocument(job, 1, 0, options));
    const QString pdf = savePages(QStringLiteral("ticket"));
    EXPECT_EQ(printed(), QStringLiteral("2"));
    const QString text = pdfText(pdf);
    for (const char *part : {"Specs - This job has 3 Items", "Bill To Customer No: 100", "Ordered By", "When",
                             "End with 334 + 250 (for finishing) good sheets", "Run:", "400 sheets",
                             "Finish:", "1,000 sheets", "Special Instructions and Notes", "Rush: customer picks up",
                             "ITEM 1", "ITEM 3", "Time", "ActualT", "Quantity", "ActualQ", "Cost", "Price",
                             "(print# 2)", "SPRING MAILER", "Description", "ITEM 2: Envelopes", "Paper: 80# Gloss Text",
                             "Bindery: Folding", "9001"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part << "\n" << text.toStdString();
    if (!haveTool(QStringLiteral("zbarimg")))
        GTEST_SKIP() << "zbarimg is not installed";
    const QString png = tempPath(QStringLiteral("ticket"));
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
                                                   QStringLiteral("-png"), pdf, png});
    const QString first = runTool(QStringLiteral("zbarimg"), {QStringLiteral("-q"), png + QStringLiteral("-1.png")});
    EXPECT_TRUE(first.contains(QStringLiteral("CODE-39:%N%1/C").arg(job))) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("/F%1/C").arg(item1))) << first.toStdString();
    const QString codes = runTool(QStringLiteral("zbarimg"), {QStringLiteral("-q"), png + QStringLiteral("-2.png")});
    const QStringList expected = {QStringLiteral("/F%1/C").arg(item1), QStringLiteral("/E%1/C").arg(paper),
                                  QStringLiteral("/E%1/C").arg(folding)};
    for (const QString &code : expected)
        EXPECT_TRUE(codes.contains(code)) << code.toStdString() << "\n" << codes.toStdString();
}

TEST_F(JobTicketTest, ATimeCostedLineShowsTheItemsQuantity)
{
    // Folding's line was added with 1,000 and holds it (the price table reads
    // it); costed by time alone it counts, shows and prints the item's
    // quantity; costed by its material it shows the quantity it is priced at.
    struct Case
    {
        int costBy;
        int itemQuantity;
        int itemQuantityShown; // times the item's quantity is printed
        bool lineShown;        // the line's own "1,000" printed
    };
    const Case cases[] = {
        {1, 999999999, 2, false},
        {1, 5000, 2, false},
        {2, 999999999, 1, true},
        {3, 999999999, 1, true},
        {0, 999999999, 1, true},
    };
    int jobNo = 9401;
    for (const Case &c : cases) {
        exec(QStringLiteral("UPDATE Services SET CostBy = %1 WHERE SerNo = 901").arg(c.costBy));
        const qint32 job = addJob(0, jobNo++);
        addItem(job, 1, QStringLiteral("Postcards"), c.itemQuantity);
        const qint32 folding = addService(job, 1);
        ASSERT_TRUE(form->LoadJobDocument(job, 1, 0, kPriceColumn | kHeadersAndLines | 0xF));
        RecordingDevice device(600, 600, 5100, 6600, true);
        print(device, PrintInfo::Pass::Preview);
        ASSERT_GE(device.pageCount(), 1);
        const QStringList texts = device.pageTexts(0);
        const QString item = c.itemQuantity == 5000 ? QStringLiteral("5,000") : QStringLiteral("999,999,999");
        EXPECT_EQ(texts.count(item), c.itemQuantityShown) << c.costBy << "\n" << texts.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(texts.contains(QStringLiteral("1,000")), c.lineShown) << c.costBy;
        // The line's price and stored quantity are left as they are.
        EXPECT_TRUE(texts.contains(QStringLiteral("30.00"))) << c.costBy;
        EXPECT_EQ(scalar(QStringLiteral("SELECT ChargeQty FROM Items WHERE ItemID = %1").arg(folding)),
                  QStringLiteral("1000"));
    }
}

TEST_F(JobTicketTest, PagesByJobTypeAndOptions)
{
    const qint32 order = addJob(0, 9101);
    for (int i = 1; i <= 3; ++i) {
        addItem(order, i, QStringLiteral("Item %1").arg(i));
        addService(order, i);
    }
    const qint32 quote = addJob(1, 9102);
    addItem(quote, 1, QStringLiteral("Flyers"));
    const qint32 empty = addJob(0, 9103);
    struct Case
    {
        qint32 job;
        int options;
        int pages;
        const char *name;
    };
    const Case cases[] = {
        {order, 0, 1, "no options"},
        {order, kBarcodePage, 2, "order with the bar-code page"},
        {quote, kBarcodePage, 1, "a quote has no bar-code page"},
        {order, kItemPageBreak, 3, "a page per item"},
        {order, kItemPageBreak | kBarcodePage, 6, "a page per item on both parts"},
        {empty, kBarcodePage, 0, "a job without rows prints nothing"},
    };
    for (const Case &c : cases) {
        RecordingDevice device(600, 600, 5100, 6600, true);
        ASSERT_TRUE(form->LoadJobDocument(c.job, 1, 0, c.options));
        print(device);
        if (c.pages == 0) // the device's first sheet stays blank
            EXPECT_TRUE(device.pageCount() <= 1 && device.pageTexts(0).isEmpty()) << c.name;
        else
            EXPECT_EQ(device.pageCount(), c.pages) << c.name;
        if (c.options & kItemPageBreak) {
            for (int p = 0; p < 3; ++p) {
                const QStringList texts = device.pageTexts(p);
                EXPECT_TRUE(texts.contains(QStringLiteral("ITEM %1").arg(p + 1))) << c.name << " page " << p;
                EXPECT_EQ(texts.contains(QStringLiteral("continued...")), p < 2) << c.name << " page " << p;
            }
        }
        if (c.options == 0 && device.pageCount() == 1) {
            const QStringList texts = device.pageTexts(0);
            EXPECT_TRUE(texts.contains(QStringLiteral("Specs - This job has 3 Items")));
            EXPECT_FALSE(texts.contains(QStringLiteral("Price")));
            EXPECT_FALSE(texts.contains(QStringLiteral("Time")));
        }
    }
}

TEST_F(JobTicketTest, EndWithLineFollowsTheNumberUp)
{
    const qint32 job = addJob(0, 9201);
    addItem(job, 1, QStringLiteral("Cards"), 1001);
    addPaper(job, 1, 1000);
    addItem(job, 2, QStringLiteral("Tags"), 1000);
    addPaper(job, 2, 0);
    RecordingDevice device(600, 600, 5100, 6600, true);
    ASSERT_TRUE(form->LoadJobDocument(job, 1, 0, kEndWith));
    print(device);
    QString all;
    for (int p = 0; p < device.pageCount(); ++p)
        all += device.pageTexts(p).join(QLatin1Char('\n'));
    EXPECT_TRUE(all.contains(QStringLiteral("End with 1 good sheets"))) << all.toStdString();
    // Without a number up there is no count: one End-with line only.
    EXPECT_EQ(all.count(QStringLiteral("End with")), 1) << all.toStdString();
}
