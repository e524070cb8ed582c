#include "PrintFixture.h"

#include <QtGui/QFontMetricsF>

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Database.h"
#include "jobs/JobHooks.h"
#include "platform/db/Recordset.h"
#include "printing/JobPrintEntry.h"
#include "views/CDlgOptions.h"
#include "printing/CPrintDlg.h"
#include "controls/CXTreeOptCtrl.h"
#include "views/CPrintStatus.h"
#include <QtCore/QCoreApplication>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtGui/QColor>
#include <QtGui/QImage>

namespace {

// Quote and invoice forms: 5 Standard, 6 Classic, 7 Letter (orders), 15 the
// quote; option bits as the forms dialog writes them.
constexpr int kFramed = 0x8;
constexpr int kStandardInvoice = 0x627F9 & ~kFramed; // unframed standard
constexpr int kClassic = 0x2;

class JobDocumentTest : public PrintTest
{
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
        dbPath = path;
        CreateShopDatabase(path);
        SharedDatabase().open(path);
        platform::Clock::setFixed(QDateTime(QDate(2025, 3, 14), QTime(10, 0)));
        exec("INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, Terms, Tax, Discount, PayerNo) "
             "VALUES (100, 'Acme Printing Co', '12 Mill Road', 'Springfield', 'IL', '62701', 0, 0, 10, 8)");
        exec("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Fax, Postion, Type) "
             "VALUES (7, 100, 'Dana', 'Reyes', '555-0101', '555-0199', 'Buyer', 0)");
        exec("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Fax, Type) "
             "VALUES (8, 100, 'Paul', 'Payne', '555-0300', '555-0301', 0)");
        exec("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (3, 'Carla', 1, 1, 0, 0)");
        exec("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) VALUES (402, 0, 0, 'Bindery', 4)");
        exec("INSERT INTO Services (SerNo, CatNo, Name, Name2) VALUES (901, 402, 'Folding', '')");
        exec("INSERT INTO Services (SerNo, CatNo, Name, Name2) VALUES (902, 402, 'Plate Setup', '~internal')");
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

    // An order (or quote) of customer 100 with the amounts given.
    qint32 addJob(int jobType, int jobNo, const QString &amounts = QString())
    {
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, CusNo, BuyerNo, CSRNo, SRepNo, ShiptoNo, PO, "
                            "TermsNo, TaxNo, Subtotal, Discount, Shipping, Postage, Tax, Tax2, Paid, Writeoff, "
                            "Latefee, Balance, InvoicePrinted, WOrderPrinted, PropID1, PrintOption, InvoiceNote, "
                            "Status, Creator) VALUES (%1, %2, 'Spring Mailer', 100, 7, 3, 3, 0, 'PO-77', 0, 0, "
                            "%3, 0, 0, 0, 0, 0, 0, 0, 0, %3, 0, 1, 0, 0, 'Deliver to the back door', 0, 0)")
                 .arg(jobType)
                 .arg(jobNo)
                 .arg(QStringLiteral("400")));
        const qint32 id = scalar(QStringLiteral("SELECT Max(JobID) FROM Jobs")).toInt();
        if (!amounts.isEmpty())
            exec(QStringLiteral("UPDATE Jobs SET %1 WHERE JobID = %2").arg(amounts).arg(id));
        return id;
    }
    void addItem(qint32 jobId, int itemNo, int subNo, const QString &description, const QString &price,
                 int quantity = 500, const QString &note = QString())
    {
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                            "Status, ChargeQty, Note) VALUES (%1, 0, %2, %3, '%4', %5, 0, 0, 1, 1, %6, '%7')")
                 .arg(jobId)
                 .arg(itemNo)
                 .arg(subNo)
                 .arg(description, price)
                 .arg(quantity)
                 .arg(note));
    }
    void addService(qint32 jobId, int itemNo, int serNo, const QString &price)
    {
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                            "Status, ChargeQty) VALUES (%1, %2, %3, 0, '', %4, 0, 0, 1, 1, 500)")
                 .arg(jobId)
                 .arg(serNo)
                 .arg(itemNo)
                 .arg(price));
    }

    // Prints the job's document on a recording device; all texts of all pages.
    QStringList printTexts(qint32 jobId, int kind, int options, RecordingDevice &device,
                           PrintInfo::Pass pass = PrintInfo::Pass::Print)
    {
        EXPECT_TRUE(form->LoadJobDocument(jobId, kind, 0, options));
        print(device, pass);
        QStringList all;
        for (int p = 0; p < device.pageCount(); ++p)
            all << device.pageTexts(p);
        return all;
    }
    static bool hasText(const QStringList &texts, const QString &part)
    {
        return std::any_of(texts.begin(), texts.end(), [&](const QString &t) { return t.contains(part); });
    }

    std::unique_ptr<CZqApp> app;
    QString dbPath;
};

} // namespace

TEST_F(JobDocumentTest, StylesFramesAndHeaderTexts)
{
    const qint32 job = addJob(0, 1001, QStringLiteral("Discount = -40, Balance = 360, Subtotal = 400"));
    addItem(job, 1, 0, QStringLiteral("Postcards"), QStringLiteral("400"));
    struct Case
    {
        int options;
        bool attachment;
        QStringList present;
        QStringList absent;
    };
    const Case cases[] = {
        // Standard, not framed: values without captions, the date without its label.
        {kStandardInvoice, false, {"Invoice 1001", "03/14/2025", "PO-77", "Carla", "Dana Reyes"},
         {"Date: ", "Acct.No"}},
        // The same as an e-mail attachment: framed with captions.
        {kStandardInvoice, true, {"Date: 03/14/2025", "Acct.No", "Ordered By", "P.O. No"}, {}},
        // Classic, framed: the number with its label, the totals in the price column.
        {kClassic | kFramed | 0x40000 | 0x4000 | 0x20000, false,
         {"No: 1001", "Ship Via", "Ordered by", "10.0% Discount", "BALANCE", "Terms"}, {"Over Paid"}},
        // Classic, unframed: the bare number.
        {kClassic | 0x40000 | 0x4000, false, {"1001"}, {"No: 1001", "Date: "}},
    };
    for (const Case &c : cases) {
        RecordingDevice device(600, 600, 5100, 6600, true);
        form->m_strOutputFile = c.attachment ? tempPath(QStringLiteral("doc.pdf")) : QString();
        EXPECT_TRUE(form->LoadJobDocument(job, 5, 0, c.options));
        if (c.attachment)
            form->m_strOutputFile = tempPath(QStringLiteral("doc.pdf"));
        print(device);
        const QStringList texts = device.pageTexts(0);
        for (const QString &p : c.present)
            EXPECT_TRUE(hasText(texts, p)) << c.options << " lacks " << p.toStdString();
        for (const QString &a : c.absent)
            EXPECT_FALSE(hasText(texts, a)) << c.options << " has " << a.toStdString();
    }

    // A P.O. of 20 capitals, as its field holds, prints whole in its box on
    // every document that shows it: the box widens, the names beside it wrap.
    exec(QStringLiteral("UPDATE Jobs SET PO = 'PURCHASE-ORDER-00042' WHERE JobID = %1").arg(job));
    const struct
    {
        const char *name;
        int kind;
        int options; // -1: the form's
        bool attachment;
    } documents[] = {
        {"invoice", 2, -1, false},         {"order receipt", 3, -1, false}, {"delivery ticket", 4, -1, false},
        {"booklet", 6, -1, false},         {"invoice framed", 5, -1, true}, {"classic", 5, kClassic | kFramed, false},
        {"classic unframed", 5, kClassic, false},
    };
    for (const auto &d : documents) {
        RecordingDevice device(600, 600, 5100, 6600, true);
        form->m_strOutputFile.clear();
        EXPECT_TRUE(form->LoadJobDocument(job, d.kind, 0, d.options));
        if (d.attachment)
            form->m_strOutputFile = tempPath(QStringLiteral("doc.pdf"));
        print(device);
        EXPECT_TRUE(device.pageTexts(0).contains(QStringLiteral("PURCHASE-ORDER-00042"))) << d.name;
        EXPECT_TRUE(form->cutRecord().isEmpty())
            << d.name << ": " << form->cutRecord().describe().join(QLatin1Char('\n')).toStdString();
    }

    // Every field of the shop's block and of the information row at its
    // full length in wide capitals: the shop's block takes eight lines (its
    // name and address two each), past the inch the layout gives it, and
    // the bill-to block begins under its last line instead of over it. The P.O., phone and fax boxes take their codes whole and
    // leave the boxes of names narrower than "Prepared By" and "Sales Rep":
    // those keep their captions whole (before, 359 units of "Prepared By"
    // were drawn in a box of 326).
    app->m_company.m_strName = QString(60, QLatin1Char('W'));
    app->m_company.m_strAddress = QString(60, QLatin1Char('M'));
    app->m_company.m_strCity = QString(30, QLatin1Char('M'));
    app->m_company.m_strState = QString(20, QLatin1Char('W'));
    app->m_company.m_strZip = QStringLiteral("ZIPZIPZIPZIPZIP");
    app->m_company.m_strPhone = QString(20, QLatin1Char('W'));
    app->m_company.m_strFax = QStringLiteral("FAXFAXFAXFAXFAXFAXFA");
    exec(QStringLiteral("UPDATE Contacts SET First = '%1', Last = '%2', Phone = '%3', Fax = '%4'")
             .arg(QString(30, QLatin1Char('H')), QString(30, QLatin1Char('M')), QString(20, QLatin1Char('W')),
                  QString(20, QLatin1Char('M'))));
    exec(QStringLiteral("UPDATE Employees SET Name = '%1' WHERE EmpNo = 3").arg(QString(20, QLatin1Char('M'))));
    exec(QStringLiteral("UPDATE Jobs SET PO = '%1' WHERE JobID = %2").arg(QString(20, QLatin1Char('W'))).arg(job));
    const struct
    {
        const char *name;
        int kind;
        int options; // -1: the form's
    } wide[] = {
        {"invoice", 2, -1}, {"order receipt", 3, -1}, {"delivery ticket", 4, -1}, {"invoice 5", 5, -1},
        {"booklet", 6, -1}, {"letter", 7, -1},        {"classic", 5, kClassic | kFramed | 0xE0},
    };
    const QStringList captions = {QStringLiteral("Ordered By"), QStringLiteral("Ordered by"),
                                  QStringLiteral("Prepared By"), QStringLiteral("Prepared by"),
                                  QStringLiteral("Sales Rep"), QStringLiteral("Ship Via")};
    for (const auto &d : wide) {
        RecordingDevice device(600, 600, 5100, 6600, true);
        form->m_strOutputFile.clear();
        EXPECT_TRUE(form->LoadJobDocument(job, d.kind, 0, d.options));
        form->m_strOutputFile = tempPath(QStringLiteral("doc.pdf"));
        print(device);
        for (const QString &cut : form->cutRecord().describe(100))
            for (const QString &caption : captions)
                EXPECT_FALSE(cut.contains(QLatin1Char('"') + caption + QLatin1Char('"'))) << d.name << ": " << cut.toStdString();
        // The shop's last line (its fax, or its zip where the form leaves
        // out the phone and fax) and the bill-to block's first (the
        // buyer's name) on the first page: the one a whole line of its size
        // below the other.
        const RecordingDevice::Text *shopEnd = nullptr;
        const RecordingDevice::Text *buyer = nullptr;
        for (const RecordingDevice::Text &t : device.texts()) {
            if (t.page != 0)
                continue;
            // (The footer, in the page's lower half, holds the zip too.)
            if ((t.text.contains(QLatin1String("FAXFAXFAXFAXFAXFAXFA")) || t.text.contains(QLatin1String("ZIPZIP")))
                && t.position.y() < 3300 && (!shopEnd || t.position.y() > shopEnd->position.y()))
                shopEnd = &t;
            if (t.text.startsWith(QString(20, QLatin1Char('H'))) && !buyer)
                buyer = &t;
        }
        ASSERT_NE(shopEnd, nullptr) << d.name;
        ASSERT_NE(buyer, nullptr) << d.name;
        EXPECT_GE(buyer->position.y() - buyer->pixelSize, shopEnd->position.y())
            << d.name << ": the bill-to block begins at " << buyer->position.y() << ", the shop's block ends at "
            << shopEnd->position.y();
    }
}

TEST_F(JobDocumentTest, InvoicesAreAddressedToThePayer)
{
    const qint32 job = addJob(0, 1002);
    addItem(job, 1, 0, QStringLiteral("Postcards"), QStringLiteral("400"));
    RecordingDevice invoice(600, 600, 5100, 6600, true);
    const QStringList invoiceTexts = printTexts(job, 5, kStandardInvoice, invoice);
    EXPECT_TRUE(hasText(invoiceTexts, QStringLiteral("Paul Payne")));
    // The bill-to block names the customer above its address.
    EXPECT_TRUE(hasText(invoiceTexts, QStringLiteral("Acme Printing Co")));
    EXPECT_TRUE(hasText(invoiceTexts, QStringLiteral("12 Mill Road")));
    // An order receipt (kind 3) goes to the buyer.
    exec("DELETE FROM Forms WHERE [No] = 3");
    exec("INSERT INTO Forms ([No], Title, FontName, FontSize, Options, ColBack, ColText) "
         "VALUES (3, 'Order Receipt', 'Arial', 90, 0, 16777215, 0)");
    RecordingDevice receipt(600, 600, 5100, 6600, true);
    const QStringList texts = printTexts(job, 3, kStandardInvoice, receipt);
    EXPECT_FALSE(hasText(texts, QStringLiteral("Paul Payne")));
    EXPECT_TRUE(hasText(texts, QStringLiteral("Dana Reyes")));
}

TEST_F(JobDocumentTest, AJobWithoutItsCustomerStillPrints)
{
    // No customer, customer 0, or one deleted since: the documents print
    // what they have, without a bill-to address.
    for (const char *cusNo : {"Null", "0", "999"}) {
        SCOPED_TRACE(cusNo);
        const qint32 job = addJob(0, 1003, QStringLiteral("CusNo = %1").arg(QLatin1String(cusNo)));
        addItem(job, 1, 0, QStringLiteral("Postcards"), QStringLiteral("400"));
        for (const int kind : {5, 1}) {
            RecordingDevice device(600, 600, 5100, 6600, true);
            const QStringList texts = printTexts(job, kind, kStandardInvoice, device);
            EXPECT_TRUE(hasText(texts, QStringLiteral("1003"))) << kind;
            EXPECT_FALSE(hasText(texts, QStringLiteral("12 Mill Road"))) << kind;
        }
        exec(QStringLiteral("DELETE FROM Jobs WHERE JobID = %1").arg(job));
    }
}

TEST_F(JobDocumentTest, FormTextMergesTokensAndDropsOfficeRemarks)
{
    exec("UPDATE Forms SET Text = 'Hi <First> <Last> (<Postion>), job <JobNo>: <JobTitle> for <PO>. <<office only>> "
         "<JobMemo> by <CSR> on <DocTitle> <<unclosed' WHERE [No] = 5");
    const qint32 job = addJob(0, 12345);
    addItem(job, 1, 0, QStringLiteral("Postcards"), QStringLiteral("400"));
    EXPECT_TRUE(form->LoadJobDocument(job, 5, 0, kStandardInvoice));
    QString text;
    form->MergeFormText(text);
    EXPECT_EQ(text, QStringLiteral("Hi Dana Reyes (Buyer), job 12345: Spring Mailer for PO-77.  Deliver to the back "
                                   "door by Carla on Invoice <<unclosed"));
}

TEST_F(JobDocumentTest, TotalsByJobTypeAndBalance)
{
    struct Case
    {
        int jobType;
        QString amounts;
        QStringList present;
        QStringList absent;
    };
    const Case cases[] = {
        {0, "Paid = -400, Balance = 0", {"Thank you", "Paid-in-Full", "BALANCE"}, {"Terms"}},
        {0, "Paid = -100, Balance = 300", {"Paid", "BALANCE", "300.00", "Terms"}, {"Thank you"}},
        {1, "Balance = 400", {"Subtotal", "TOTAL"}, {"Paid", "BALANCE", "Terms"}},
        // A credit invoice: the balance its invoice still owed has a line
        // of its own (-67.26 - 5.00 + 50.00 + 2.26 + 20.00 = 0), and it is
        // not paid in full.
        {0,
         "Subtotal = -67.26, Latefee = -5, Paid = 50, Writeoff = 2.26, Balance = 0, Creator = 99, FromJobNo = 1017",
         {"LateFee", "-5.00", "50.00", "Writeoff", "2.26", "Inv. 1017", "20.00", "BALANCE", "Terms"},
         {"Thank you", "Paid-in-Full"}},
    };
    int jobNo = 2000;
    for (const Case &c : cases) {
        const qint32 job = addJob(c.jobType, ++jobNo, c.amounts);
        addItem(job, 1, 0, QStringLiteral("Postcards"), QStringLiteral("400"));
        RecordingDevice device(600, 600, 5100, 6600, true);
        const QStringList texts = printTexts(job, 5, kClassic | 0x40000 | 0x4000, device, PrintInfo::Pass::Preview);
        for (const QString &p : c.present)
            EXPECT_TRUE(texts.contains(p) || hasText(texts, p)) << c.amounts.toStdString() << " lacks "
                                                                 << p.toStdString();
        for (const QString &a : c.absent)
            EXPECT_FALSE(texts.contains(a)) << c.amounts.toStdString() << " has " << a.toStdString();
    }
}

// The Classic totals name the taxes by the shop's two-tax setting, whatever
// the job's second tax holds.
TEST_F(JobDocumentTest, ClassicTaxLinesFollowTheShopsTwoTaxSetting)
{
    exec("INSERT INTO Taxes ([No], Name, TaxPercent, TaxShipping, TaxPostage, RoundUp, Sort, Type) "
         "VALUES (1, 'State 6%', 60000, 0, 0, 0, 1, 0)");
    exec("INSERT INTO Taxes ([No], Name, TaxPercent, TaxShipping, TaxPostage, RoundUp, Sort, Type) "
         "VALUES (2, 'City 8.25%', 82500, 0, 0, 0, 2, 0)");
    exec("INSERT INTO Taxes ([No], Name, TaxPercent, TaxShipping, TaxPostage, RoundUp, Sort, Type) "
         "VALUES (5, 'County 7%', 70000, 0, 0, 0, 5, 0)");
    struct Case
    {
        bool twoTaxes;
        QString amounts;
        QStringList present;
        QStringList absent;
    };
    const Case cases[] = {
        // Rate 1 of a two-tax shop: both lines, the city's at 0.00.
        {true, "TaxNo = 1, Tax = 29.49, Tax2 = 0, Balance = 429.49", {"State 6%", "29.49", "City 8.25%"}, {"Tax"}},
        {true, "TaxNo = 2, Tax = 10, Tax2 = 4, Balance = 410", {"State 6%", "6.00", "City 8.25%", "4.00"}, {"Tax"}},
        // Another rate: its own name with the whole tax.
        {true, "TaxNo = 5, Tax = 28, Tax2 = 0, Balance = 428", {"County 7%", "28.00"}, {"State 6%", "Tax"}},
        // One tax: "Tax" even when a second tax is stored.
        {false, "TaxNo = 2, Tax = 10, Tax2 = 4, Balance = 410", {"Tax", "10.00"}, {"State 6%", "City 8.25%"}},
    };
    int jobNo = 2500;
    for (const Case &c : cases) {
        app->setUsesTwoTaxes(c.twoTaxes);
        const qint32 job = addJob(0, ++jobNo, c.amounts);
        addItem(job, 1, 0, QStringLiteral("Postcards"), QStringLiteral("400"));
        RecordingDevice device(600, 600, 5100, 6600, true);
        const QStringList texts = printTexts(job, 5, kClassic | 0x40000 | 0x4000, device, PrintInfo::Pass::Preview);
        for (const QString &p : c.present)
            EXPECT_TRUE(texts.contains(p)) << c.amounts.toStdString() << " lacks " << p.toStdString();
        for (const QString &a : c.absent)
            EXPECT_FALSE(texts.contains(a)) << c.amounts.toStdString() << " has " << a.toStdString();
    }
}

// A document whose form row is missing prints on the list form but keeps the
// title the print dialog gives it.
TEST_F(JobDocumentTest, ADocumentWithoutItsFormKeepsTheDialogsTitle)
{
    exec("DELETE FROM Forms WHERE [No] IN (2, 12, 41)");
    const qint32 order = addJob(0, 2601);
    const qint32 quote = addJob(1, 2602);
    EXPECT_TRUE(form->LoadJobDocument(order, 2));
    EXPECT_EQ(form->m_strTitle, QStringLiteral("Invoice"));
    EXPECT_EQ(int(form->m_nFormNo), 100);
    EXPECT_TRUE(form->LoadJobDocument(quote, 2));
    EXPECT_EQ(form->m_strTitle, QStringLiteral("Quote"));
    EXPECT_TRUE(form->LoadJobDocument(order, 3)); // its own form: its own title
    EXPECT_EQ(form->m_strTitle, QStringLiteral("Order Receipt"));
    form->LoadStatement(100, 1, false, -1);
    EXPECT_EQ(form->m_strTitle, QStringLiteral("Statement"));
}

TEST_F(JobDocumentTest, TotalsRowBoxesFollowTheBalance)
{
    // The tax lines of a two-tax shop sit in their own cell right above the
    // row: one line when both taxes fit on it, else a line each, the second
    // right under the first and the cell's last line right above the row.
    exec("INSERT INTO Taxes ([No], Name, TaxPercent, TaxShipping, TaxPostage, RoundUp, Sort, Type) "
         "VALUES (1, 'State 6%', 60000, 0, 0, 0, 1, 0)");
    exec("INSERT INTO Taxes ([No], Name, TaxPercent, TaxShipping, TaxPostage, RoundUp, Sort, Type) "
         "VALUES (2, 'City 8.25%', 82500, 0, 0, 0, 2, 0)");
    app->setUsesTwoTaxes(true);
    struct Case
    {
        int jobType;
        QString amounts;
        QStringList present;
        QStringList absent;
        QStringList taxLines = {}; // top to bottom
        const char *taxNames[2] = {"State 6%", "City 8.25%"};
        int width = 5100; // the paper's printable width at 600 dpi (8.5 in)
        int kind = 5;
        int options = kStandardInvoice | kFramed;
    };
    // The job ticket with its Price column and lines (its options count from bit 0).
    constexpr int kTicket = 1 | 2 | 4 | 16 | 32;
    const Case cases[] = {
        {0, "Balance = 0, Paid = -400", {"Balance", "- 0 -"}, {"BALANCE", "Over Paid"}},
        {0, "Balance = -25, Paid = -425", {"Over Paid", "-25.00"}, {"BALANCE"}},
        {0, "Balance = 400", {"BALANCE"}, {"Discount"}},
        {1, "Balance = 400", {"Total"}, {"Paid", "BALANCE", "Balance"}},
        // Every amount of the row is on paper: 67.26 + 5.00 - 50.00 - 2.26 = 20.00,
        // and the credit invoice of that order, whose balance stays 0.
        {0,
         "Subtotal = 67.26, Latefee = 5, Paid = -50, Writeoff = -2.26, Balance = 20",
         {"67.26", "Late Fee", "5.00", "-50.00", "Writeoff", "-2.26", "BALANCE", "20.00"},
         {"Over Paid"}},
        // Its balance stays 0: the 20.00 the invoice still owed was
        // cancelled by the credit, not paid, and has a box of its own
        // (-67.26 - 5.00 + 50.00 + 2.26 + 20.00 = 0), as on the credited
        // invoice (67.26 + 5.00 - 50.00 - 2.26 - 20.00 = 0).
        {0,
         "Subtotal = -67.26, Latefee = -5, Paid = 50, Writeoff = 2.26, Balance = 0, Creator = 99, FromJobNo = 1017",
         {"-67.26", "Late Fee", "-5.00", "50.00", "Writeoff", "2.26", "Inv. 1017", "20.00", "- 0 -"},
         {"BALANCE", "Credited"}},
        {0,
         "Subtotal = 67.26, Latefee = 5, Paid = -50, Writeoff = -2.26, Balance = 0, Creator = 98",
         {"67.26", "Late Fee", "5.00", "-50.00", "Writeoff", "-2.26", "Credited", "-20.00", "- 0 -"},
         {"BALANCE"}},
        {0, "Paid = -100, Writeoff = -300, Balance = 0", {"Writeoff", "-300.00", "-100.00", "- 0 -"}, {"Late Fee"}},
        {1, "Latefee = 5, Writeoff = -2.26", {"Total"}, {"Late Fee", "Writeoff", "Paid"}},
        {0, "TaxNo = 2, Tax = 10, Tax2 = 4, Balance = 410", {"BALANCE"}, {}, {"State 6% $6.00,  City 8.25% $4.00"}},
        {0,
         "TaxNo = 2, Tax = 24691.34, Tax2 = 12345.67, Balance = 24691.34",
         {"BALANCE"},
         {},
         {"Metropolitan Transit $12,345.67,", "Springfield Home Tax $12,345.67"},
         {"Metropolitan Transit", "Springfield Home Tax"}},
        // The largest amount the program takes, whole in its box, on Letter
        // and on A4 as most printers print it (7.77 in wide).
        {0,
         "Subtotal = 100000000000, Paid = -20, Balance = 99999999980",
         {"100,000,000,000.00", "-20.00", "BALANCE", "99,999,999,980.00"},
         {}},
        {0,
         "Subtotal = 100000000000, Paid = -20, Balance = 99999999980",
         {"100,000,000,000.00", "-20.00", "BALANCE", "99,999,999,980.00"},
         {},
         {},
         {"State 6%", "City 8.25%"},
         4662},
        // A tax cell of two lines keeps to the two lines above the row: the
        // "Received by" line and the item lines stand above it, and so do the
        // ticket's last row. "State 6% $5,308,643,097.53,  City 8.25%
        // $1,234,567,890.12" is wider than the 3.2 in from 4.8 in to the
        // row's right.
        {0,
         "TaxNo = 2, Tax = 24691.34, Tax2 = 12345.67, Balance = 24691.34",
         {"BALANCE", "400.00"},
         {},
         {"Metropolitan Transit $12,345.67,", "Springfield Home Tax $12,345.67"},
         {"Metropolitan Transit", "Springfield Home Tax"},
         5100,
         1,
         kTicket},
        {0,
         "Subtotal = 90000000000, TaxNo = 2, Tax = 6543210987.65, Tax2 = 1234567890.12, Balance = 96543210987.65",
         {"BALANCE", "96,543,210,987.65"},
         {},
         {"State 6% $5,308,643,097.53,", "City 8.25% $1,234,567,890.12"},
         {"State 6%", "City 8.25%"},
         5100,
         1,
         kTicket},
    };
    int jobNo = 3000;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.amounts.toStdString());
        exec(QStringLiteral("UPDATE Taxes SET Name = '%1' WHERE [No] = 1").arg(QString::fromLatin1(c.taxNames[0])));
        exec(QStringLiteral("UPDATE Taxes SET Name = '%1' WHERE [No] = 2").arg(QString::fromLatin1(c.taxNames[1])));
        const qint32 job = addJob(c.jobType, ++jobNo, c.amounts);
        addItem(job, 1, 0, QStringLiteral("Postcards"), QStringLiteral("400"));
        RecordingDevice device(600, 600, c.width, 6600, true);
        const QStringList texts = printTexts(job, c.kind, c.options, device, PrintInfo::Pass::Preview);
        EXPECT_TRUE(form->cutRecord().isEmpty()) << form->cutRecord().describe().join(QLatin1Char('\n')).toStdString();
        for (const QString &p : c.present)
            EXPECT_TRUE(texts.contains(p)) << c.amounts.toStdString() << " lacks " << p.toStdString();
        for (const QString &a : c.absent)
            EXPECT_FALSE(texts.contains(a)) << c.amounts.toStdString() << " has " << a.toStdString();
        // The row's boxes stand in the order their amounts add up, the last
        // one ending at the row's right edge.
        int previous = -1;
        for (const char *caption : {"Terms", "Total", "Late Fee", "Paid", "Writeoff", "Inv. 1017", "Credited", "BALANCE",
                                    "Balance", "Over Paid"}) {
            int x = -1;
            for (const RecordingDevice::Text &t : device.texts())
                if (t.text == QLatin1String(caption))
                    x = t.position.x();
            if (x < 0)
                continue;
            EXPECT_GT(x, previous) << caption;
            previous = x;
        }
        for (const RecordingDevice::Shape &box : device.shapes()) {
            EXPECT_LE(box.rect.right(), form->m_nBodyRight + 1);
            EXPECT_LE(box.rect.right(), c.width);
        }
        if (c.taxLines.isEmpty())
            continue;
        const auto baseline = [&](const QString &text) {
            for (const RecordingDevice::Text &t : device.texts())
                if (t.text == text)
                    return t.position.y();
            return -1;
        };
        const int row = baseline(QStringLiteral("BALANCE"));
        ASSERT_GT(row, 0);
        const int lines = int(c.taxLines.size());
        const int line = form->m_nLineHeight;
        for (int k = 0; k < lines; ++k) {
            // Line k of n stands n - k lines above the row's own line (the
            // cell's and the box's texts sit a little differently in their lines).
            EXPECT_NEAR(baseline(c.taxLines[k]), row - (lines - k) * line, line / 4)
                << c.taxLines[k].toStdString() << " (the row's line at " << row << ")";
            if (k > 0)
                EXPECT_EQ(baseline(c.taxLines[k]) - baseline(c.taxLines[k - 1]), line) << c.taxLines[k].toStdString();
        }
        // The cell is white over what the page holds there: no other text
        // of the page may reach into it.
        QPoint first;
        for (const RecordingDevice::Text &t : device.texts())
            if (t.text == c.taxLines.front())
                first = t.position;
        QRect cell;
        for (const RecordingDevice::Shape &shape : device.shapes())
            if (shape.filled && shape.rect.contains(first))
                cell = shape.rect;
        ASSERT_FALSE(cell.isNull());
        for (const RecordingDevice::Text &t : device.texts()) {
            if (c.taxLines.contains(t.text) || t.text.trimmed().isEmpty())
                continue;
            QFont f = form->font(CPrint::FontBody);
            f.setPixelSize(std::max(1, t.pixelSize));
            f.setBold(t.bold);
            const QFontMetricsF fm(f);
            const QRectF extent(t.position.x(), t.position.y() - fm.ascent(), fm.horizontalAdvance(t.text),
                                fm.ascent());
            EXPECT_FALSE(extent.intersects(QRectF(cell).adjusted(2, 2, -2, -2)))
                << "\"" << t.text.toStdString() << "\" at " << t.position.x() << "," << t.position.y()
                << " reaches into the tax cell " << cell.left() << "-" << cell.right() << " x " << cell.top() << "-"
                << cell.bottom();
        }
    }
}

TEST_F(JobDocumentTest, ItemLineOptions)
{
    const qint32 job = addJob(0, 4001);
    addItem(job, 1, 1, QStringLiteral("Brochure cover"), QStringLiteral("100"));
    addItem(job, 1, 2, QStringLiteral("Brochure inside"), QStringLiteral("50"));
    addItem(job, 1, 3, QStringLiteral("Brochure insert"), QStringLiteral("25"));
    addService(job, 1, 901, QStringLiteral("10"));
    addService(job, 1, 902, QStringLiteral("5"));
    addItem(job, 2, 0, QStringLiteral("Free samples"), QStringLiteral("0.0001"));
    struct Case
    {
        int options;
        QStringList present;
        QStringList absent;
    };
    const int prices = 0x20000;
    const Case cases[] = {
        // Parts summed into the first part's line; further parts and services hidden.
        {0x1000 | prices, {"Brochure cover", "175.00", "No Charge"}, {"Brochure inside", "Folding"}},
        // Sub-items: further parts indented, without prices.
        {0x1000 | 0x800000 | prices, {"Brochure inside", "Brochure insert"}, {"50.00"}},
        // Services shown; "~" services hidden.
        {0x4000 | 0x800000 | prices, {"Folding"}, {"internal"}},
        // All services with prices: even the "~" one.
        {0x8000 | 0x800000 | prices, {"Folding", "~internal", "10.00"}, {}},
        // Title only: one line with the job's title and subtotal.
        {prices, {"Spring Mailer", "400.00"}, {"Brochure cover", "Free samples"}},
    };
    for (const Case &c : cases) {
        RecordingDevice device(600, 600, 5100, 6600, true);
        const QStringList texts = printTexts(job, 5, c.options | 0x1, device, PrintInfo::Pass::Preview);
        for (const QString &p : c.present)
            EXPECT_TRUE(hasText(texts, p)) << std::hex << c.options << " lacks " << p.toStdString();
        for (const QString &a : c.absent)
            EXPECT_FALSE(hasText(texts, a)) << std::hex << c.options << " has " << a.toStdString();
    }
}

TEST_F(JobDocumentTest, QuantityBreaksAreReadFromTheNoteAndNeverSaved)
{
    const qint32 job = addJob(1, 5001);
    addItem(job, 1, 0, QStringLiteral("Flyers"), QStringLiteral("400"), 500,
            QStringLiteral("Rush {1000, 2500 500 abc 300}"));
    const QString before = scalar(QStringLiteral("SELECT Note & '|' & Price FROM Items WHERE JobID = %1").arg(job));
    // Quote form with option 22 (quantity breaks), item notes and prices.
    const int options = 0x200000 | 0x80000 | 0x20000 | 0x40000 | 0x1000 | 0x1 | kFramed;
    RecordingDevice device(600, 600, 5100, 6600, true);
    const QStringList texts = printTexts(job, 5, options, device);
    EXPECT_EQ(form->m_quantityBreaks, QList<int>({500, 1000, 2500}));
    EXPECT_TRUE(texts.contains(QStringLiteral("2,500")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Rush")));
    EXPECT_FALSE(hasText(texts, QStringLiteral("{")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Terms")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Note & '|' & Price FROM Items WHERE JobID = %1").arg(job)), before);

    // Without option 22 the braces are an ordinary note.
    RecordingDevice plain(600, 600, 5100, 6600, true);
    const QStringList plainTexts = printTexts(job, 5, options & ~0x200000, plain);
    EXPECT_TRUE(form->m_quantityBreaks.isEmpty());
    EXPECT_TRUE(hasText(plainTexts, QStringLiteral("{1000")));

    // Each break whole, up to the largest count (never its first 8 digits);
    // one past it, left by a file written before, is left out.
    const qint32 large = addJob(1, 5002);
    addItem(large, 1, 0, QStringLiteral("Flyers"), QStringLiteral("400"), 5000,
            QStringLiteral("{123456789 999999999 1000000000 1000000001}"));
    RecordingDevice wide(600, 600, 5100, 6600, true);
    const QStringList wideTexts = printTexts(large, 5, options, wide);
    EXPECT_EQ(form->m_quantityBreaks, QList<int>({5000, 123456789, 999999999, 1000000000}));
    EXPECT_TRUE(wideTexts.contains(QStringLiteral("999,999,999")));
    EXPECT_TRUE(wideTexts.contains(QStringLiteral("1,000,000,000")));
}

TEST_F(JobDocumentTest, LongJobsContinueAndOnlyARealPrintMarksTheJob)
{
    const qint32 job = addJob(0, 6001);
    for (int i = 1; i <= 40; ++i)
        addItem(job, i, 0, QStringLiteral("Item number %1").arg(i), QStringLiteral("10"));
    auto counters = [&] {
        return scalar(QStringLiteral("SELECT InvoicePrinted & ',' & PropID1 & ',' & PrintOption FROM Jobs "
                                     "WHERE JobID = %1")
                          .arg(job));
    };
    const int options = kStandardInvoice | 0x1000;
    // A preview marks nothing.
    {
        RecordingDevice device(600, 600, 5100, 6600, true);
        printTexts(job, 5, options, device, PrintInfo::Pass::Preview);
        EXPECT_EQ(counters(), QStringLiteral("0,0,0"));
    }
    // A range that ends before the last page marks nothing.
    {
        RecordingDevice device(600, 600, 5100, 6600, true);
        form->LoadJobDocument(job, 5, 0, options);
        form->m_nFromPage = 1;
        form->m_nToPage = 1;
        form->DoPrintOn(device, [&device] { device.newPage(); return true; });
        EXPECT_EQ(device.pageCount(), 1);
        EXPECT_EQ(counters(), QStringLiteral("0,0,0"));
    }
    // A cancelled run marks nothing.
    {
        RecordingDevice device(600, 600, 5100, 6600, true);
        form->LoadJobDocument(job, 5, 0, options);
        abortOnPage = -1;
        CPrintStatus::SetUserAbort(false);
        int pages = 0;
        form->DoPrintOn(device, [&] {
            device.newPage();
            if (++pages == 1)
                CPrintStatus::SetUserAbort(true);
            return true;
        });
        CPrintStatus::SetUserAbort(false);
        EXPECT_EQ(counters(), QStringLiteral("0,0,0"));
    }
    // A real print: every page but the last says "continued...", the last
    // carries the count with this print, and the job is marked once.
    RecordingDevice device(600, 600, 5100, 6600, true);
    printTexts(job, 5, options, device);
    ASSERT_GE(device.pageCount(), 2);
    for (int p = 0; p < device.pageCount(); ++p) {
        const bool last = p + 1 == device.pageCount();
        EXPECT_EQ(device.pageTexts(p).contains(QStringLiteral("continued...")), !last) << p;
        EXPECT_EQ(device.pageTexts(p).contains(QStringLiteral("(print# 1)")), last) << p;
    }
    EXPECT_TRUE(hasText(device.pageTexts(device.pageCount() - 1), QStringLiteral("Item number 40")));
    EXPECT_EQ(counters(), QStringLiteral("1,5,%1").arg(options));
}

TEST_F(JobDocumentTest, ShippedTodayIsAskedOnceOnTheRealRun)
{
    const qint32 job = addJob(0, 7001);
    addItem(job, 1, 0, QStringLiteral("Postcards"), QStringLiteral("400"));
    const int options = kStandardInvoice | 0x200000;
    RecordingDevice preview(600, 600, 5100, 6600, true);
    printTexts(job, 5, options, preview, PrintInfo::Pass::Preview);
    EXPECT_TRUE(prompts().shown().isEmpty());
    prompts().answer(platform::IDYES);
    RecordingDevice device(600, 600, 5100, 6600, true);
    printTexts(job, 5, options, device);
    EXPECT_EQ(prompts().texts(), QStringList({QStringLiteral("Do you want to mark this order as shipped today?")}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Format(DateShipped, 'yyyy-mm-dd') FROM Jobs WHERE JobID = %1").arg(job)),
              QStringLiteral("2025-03-14"));
}

TEST_F(JobDocumentTest, DocumentsAsPdfReadBack)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    const qint32 order = addJob(0, 8001, QStringLiteral("Discount = -40, Subtotal = 400, Tax = 21.6, TaxNo = 1, "
                                                        "Balance = 381.6"));
    addItem(order, 1, 0, QStringLiteral("Postcards"), QStringLiteral("250"));
    addService(order, 1, 901, QStringLiteral("250"));
    addItem(order, 2, 0, QStringLiteral("Envelopes"), QStringLiteral("150"));
    const qint32 quote = addJob(1, 8002);
    addItem(quote, 1, 0, QStringLiteral("Flyers"), QStringLiteral("400"), 500, QStringLiteral("{1000 2000}"));
    exec("UPDATE Forms SET Options = Options + 2097152 WHERE [No] = 15");
    struct Case
    {
        qint32 job;
        int kind;
        int options;
        const char *name;
        QStringList present;
    };
    const Case cases[] = {
        {order, 5, -1, "invoice-standard", {"Invoice 8001", "Postcards", "Envelopes", "BALANCE", "381.60"}},
        {order, 6, kClassic | kFramed | 0x40000 | 0x4000 | 0x20000, "invoice-classic",
         {"No: 8001", "10.0% Discount", "381.60"}},
        {order, 7, 0x4617FC, "invoice-letter", {"Invoice 8001", "Dana"}},
        {quote, 5, -1, "quote-breaks", {"Quotation 8002", "1,000", "2,000"}},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(form->LoadJobDocument(c.job, c.kind, 0, c.options));
        const QString pdf = savePages(QString::fromLatin1(c.name));
        const QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        for (const QString &p : c.present)
            EXPECT_TRUE(text.contains(p)) << c.name << " lacks " << p.toStdString() << "\n" << text.toStdString();
    }
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/printing/");

    // The Classic header's boxes where the form puts them: the title centred
    // in its box from 4.8 to 8.0 inches, the number centred in 4.8 to 6.4, so
    // the title's centre lies 0.8 inch right of the number's; the ship-to
    // block starts at the boxes' left edge.
    const QString bbox = runTool(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-bbox"), folder + QStringLiteral("invoice-classic.pdf"), QStringLiteral("-")});
    auto word = [&bbox](const QString &text) {
        const QRegularExpression re(QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\"[^>]*>") +
                                    QRegularExpression::escape(text) + QStringLiteral("</word>"));
        const QRegularExpressionMatch m = re.match(bbox);
        return m.hasMatch() ? std::pair<double, double>(m.captured(1).toDouble(), m.captured(2).toDouble())
                            : std::pair<double, double>(-1, -1);
    };
    const auto title = word(QStringLiteral("Invoice"));
    const auto no = word(QStringLiteral("No:"));
    const auto number = word(QStringLiteral("8001"));
    const auto left = word(QStringLiteral("Fax:"));
    ASSERT_GE(title.first, 0) << bbox.toStdString();
    ASSERT_GE(no.first, 0);
    ASSERT_GE(left.first, 0);
    EXPECT_NEAR((title.first + title.second) / 2 - (no.first + number.second) / 2, 0.8 * 72, 1.5);
    EXPECT_GE(title.first, left.first);
    EXPECT_LE(title.second, left.first + 3.2 * 72);

    // The standard invoice's BALANCE band is red on the page.
    const QString page = tempPath(QStringLiteral("standard"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                                {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-f"), QStringLiteral("1"),
                                 QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-singlefile"),
                                 folder + QStringLiteral("invoice-standard.pdf"), page}),
              0);
    QImage image(page + QStringLiteral(".ppm"));
    ASSERT_FALSE(image.isNull());
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 170 && c.green() < 90 && c.blue() < 90 ? 1 : 0;
        }
    EXPECT_GT(red, 100);
}

TEST_F(JobDocumentTest, ThePrintCommandOffersTheJobsDocumentsWithItsStoredChoice)
{
    InstallPrinting(*app);
    InstallJobDocumentPrinting();
    const qint32 order = addJob(0, 9001, QStringLiteral("PropID1 = 7, PrintOption = 5, WOrderPrinted = 1"));
    addItem(order, 1, 0, QStringLiteral("Postcards"), QStringLiteral("400"));
    addService(order, 1, 901, QStringLiteral("400"));
    const qint32 quote = addJob(1, 9002);
    addItem(quote, 1, 0, QStringLiteral("Flyers"), QStringLiteral("400"));
    addService(quote, 1, 901, QStringLiteral("400"));
    struct Case
    {
        qint32 job;
        QStringList documents;
        int kind;
        int options;
    };
    const Case cases[] = {
        {order, {"Work Order", "Invoice", "Order Receipt", "Delivery Ticket", "Invoice", "Invoice (Booklet)",
                 "Invoice (Letter Style)"}, 7, 5},
        {quote, {"Estimate", "Quote", "Proposal", "Estimate", "Quotation", "Quotation (Booklet)",
                 "Quotation (Letter Style)"}, 2, 0},
    };
    for (const Case &c : cases) {
        QStringList shown;
        int kind = 0;
        int options = -1;
        onDialog<CPrintDlg>([&](CPrintDlg &d) {
            QTreeWidgetItem *root = d.documentTree()->topLevelItem(0);
            for (int i = 0; i < root->childCount(); ++i)
                if (d.documentTree()->GetOptionId(root->child(i)) != 0)
                    shown << root->child(i)->text(0);
            kind = d.m_nKind;
            options = d.m_nOptions;
            return 2;
        });
        EXPECT_EQ(GetJobHooks().printJobDocuments(0, c.job == quote ? 1 : 0, 0, c.job, nullptr, nullptr), 0);
        EXPECT_EQ(shown, c.documents);
        EXPECT_EQ(kind, c.kind);
        if (c.options != 0)
            EXPECT_EQ(options, c.options);
    }
    // Cancelled: nothing was printed or marked.
    EXPECT_EQ(scalar(QStringLiteral("SELECT InvoicePrinted FROM Jobs WHERE JobID = %1").arg(order)), QStringLiteral("0"));
    // A job that is gone.
    prompts().answer(platform::IDOK);
    EXPECT_EQ(GetJobHooks().printJobDocuments(-2, 0, 0, 999999, nullptr, nullptr), 0);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot find the job to print!"));
    GetJobHooks().printJobDocuments = nullptr;
}

TEST_F(JobDocumentTest, ARowTallerThanAnEmptyPagePrintsThereAndIsConsumed)
{
    const qint32 job = addJob(1, 9101);
    // 120 lines in the 255 characters of a note: taller than an empty page.
    addItem(job, 1, 0, QStringLiteral("Poster"), QStringLiteral("400"), 500, QStringLiteral("x\n").repeated(120));
    QString breaks = QStringLiteral("{");
    for (int q = 1; q <= 12; ++q)
        breaks += QStringLiteral("%1 ").arg(q * 1000);
    addItem(job, 2, 0, QStringLiteral("Banner"), QStringLiteral("100"), 500, breaks + QStringLiteral("}"));
    const int options = 0x80000 | 0x20000 | 0x1000 | 0x1;
    for (int withBreaks : {0, 0x200000}) {
        RecordingDevice device(600, 600, 5100, 6600, true);
        printTexts(job, 5, options | withBreaks, device);
        // The note goes on over the pages, every one of its lines printed
        // once: three pages of it, the last with the next item.
        EXPECT_LE(device.pageCount(), 4) << withBreaks;
        int lines = 0;
        for (int p = 0; p < device.pageCount(); ++p)
            lines += int(device.pageTexts(p).count(QStringLiteral("x")));
        EXPECT_EQ(lines, 120) << withBreaks;
        const QStringList last = device.pageTexts(device.pageCount() - 1);
        EXPECT_FALSE(last.contains(QStringLiteral("continued..."))) << withBreaks;
        EXPECT_TRUE(last.contains(QStringLiteral("Banner   "))) << withBreaks;
    }
    // At most ten quantities: the item's own and nine more.
    EXPECT_EQ(form->m_quantityBreaks.size(), 10);
}

TEST_F(JobDocumentTest, TheJobsBarCodeReadsBackWhenTheSettingsAskForIt)
{
    if (!haveTool(QStringLiteral("zbarimg")) || !haveTool(QStringLiteral("pdftoppm")))
        GTEST_SKIP() << "zbarimg or pdftoppm is not installed";
    const qint32 job = addJob(0, 8101);
    addItem(job, 1, 0, QStringLiteral("Postcards"), QStringLiteral("400"));
    // Bar codes on order document kind 5 (form 5: bit 4).
    SaveGlobalAlertText(241, QStringLiteral("WASP 39 M,240,16,"));
    ASSERT_TRUE(form->LoadJobDocument(job, 5, 0, kStandardInvoice));
    const QString pdf = savePages(QStringLiteral("invoice-barcode"));
    const QString png = tempPath(QStringLiteral("barcode"));
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
                                                   QStringLiteral("-png"), pdf, png});
    const QString read = runTool(QStringLiteral("zbarimg"), {QStringLiteral("-q"), png + QStringLiteral("-1.png")});
    // The BALANCE band of the totals row is red (192, 16, 16) with white text.
    const QImage page(QCoreApplication::applicationDirPath() + QStringLiteral("/printing/invoice-barcode-1.png"));
    int red = 0;
    for (int y = page.height() / 2; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (std::abs(c.red() - 192) < 12 && c.green() < 40 && c.blue() < 40)
                ++red;
        }
    EXPECT_GT(red, 100);
    // The shop's "*^<JobID>#*" as a scanner in full-ASCII mode reads it.
    EXPECT_TRUE(read.contains(QStringLiteral("CODE-39:%N%1/C").arg(job))) << read.toStdString();
}

TEST_F(JobDocumentTest, TheDiscountLineStatesTheRateOfItsAmountAndTheShipLineTheTimeTyped)
{
    // The rate the discount was worked from (typed, or the customer's) when
    // it gives the amount back to the cent; else the discount over the
    // subtotal, stated only when it gives the amount back (worked by hand).
    const struct
    {
        const char *subtotal, *discount;
        QList<qint32> workedFrom;
        const char *label;
    } labels[] = {
        {"810.30", "-81.03", {}, "10.0% Discount"}, // 10 % typed in Job Totals
        {"400", "-40", {}, "10.0% Discount"},
        {"333.33", "-25.00", {}, "7.5% Discount"},  // 333.33 x 7.5 % = 24.99975
        {"333.33", "-25.17", {}, "Discount"},       // 7.55 %: 7.6 % would be 25.33
        {"-400", "40", {}, "10.0% Discount"},       // a credit invoice
        {"-400", "40", {1000}, "10.0% Discount"},
        {"400", "40", {1000}, "Discount"},          // not taken from the subtotal
        {"0", "-5", {}, "Discount"},
        // 10 % of 8.15 is 0.815, a discount of 0.82: 10.06 % of 8.15.
        {"8.15", "-0.82", {}, "10.1% Discount"},
        {"8.15", "-0.82", {1000}, "10.0% Discount"},
        {"8.15", "-0.82", {0, 1000}, "10.0% Discount"},     // none typed, the customer's 10 %
        {"8.15", "-0.82", {1250, 1000}, "10.0% Discount"},  // 12.5 % would be 1.02
        // 0.80 of 8.15 is 9.816 %; 9.8 % gives 0.7987, 0.80.
        {"8.15", "-0.80", {1000}, "9.8% Discount"},
        {"100", "-12.47", {1247}, "12.47% Discount"},
        {"3.61", "-0.45", {1250}, "12.5% Discount"},        // 0.45125
        {"10.65", "-0.05", {50}, "0.5% Discount"},          // 0.05325
    };
    for (const auto &c : labels)
        EXPECT_EQ(CPrintForm::DiscountLabel(Money::fromText(QString::fromLatin1(c.subtotal)),
                                            Money::fromText(QString::fromLatin1(c.discount)), c.workedFrom),
                  QString::fromLatin1(c.label))
            << c.subtotal << " " << c.discount;

    // A job whose 10 % was typed in Job Totals: 10 % on 8.15.
    {
        exec("UPDATE Customers SET Discount = 0 WHERE CusNo = 100");
        const qint32 typed = addJob(0, 1102,
                                    QStringLiteral("Subtotal = 8.15, Discount = -0.82, Balance = 7.33, PrintOption2 = 1000"));
        addItem(typed, 1, 0, QStringLiteral("Labels"), QStringLiteral("8.15"));
        RecordingDevice device(600, 600, 5100, 6600, true);
        const QStringList texts = printTexts(typed, 5, kClassic | kFramed | 0x40000 | 0x4000 | 0x20000, device);
        EXPECT_TRUE(hasText(texts, QStringLiteral("10.0% Discount"))) << texts.join(QLatin1Char('|')).toStdString();
        EXPECT_FALSE(hasText(texts, QStringLiteral("10.1% Discount")));
    }

    // A job at 10 % for a customer at 0 %.
    exec("UPDATE Customers SET Discount = 0 WHERE CusNo = 100");
    const qint32 job = addJob(0, 1101, QStringLiteral("Subtotal = 810.30, Discount = -81.03, Balance = 729.27"));
    addItem(job, 1, 0, QStringLiteral("Postcards"), QStringLiteral("810.30"));
    {
        RecordingDevice device(600, 600, 5100, 6600, true);
        const QStringList texts = printTexts(job, 5, kClassic | kFramed | 0x40000 | 0x4000 | 0x20000, device);
        EXPECT_TRUE(hasText(texts, QStringLiteral("10.0% Discount")));
        EXPECT_FALSE(std::any_of(texts.begin(), texts.end(),
                                 [](const QString &t) { return t.startsWith(QLatin1String("0.0%")); }));
    }

    // The ship line: a due date without a typed time prints none; with one,
    // that time once. A due date that carries a time of its own prints it
    // when none is typed, and the typed one alone when one is.
    const struct
    {
        const char *dateDue;
        const char *timeDue;
        const char *shown;
        int times;
    } ships[] = {
        {"#12/16/2026#", "", "12/16/2026", 0},
        {"#12/16/2026#", "4:30 PM", "12/16/2026 4:30 PM", 1},
        {"#12/14/2026 2:00 PM#", "2:00 PM", "12/14/2026 2:00 PM", 1},
        {"#12/14/2026 2:00 PM#", "", "12/14/2026 02:00 PM", 1},
    };
    static const QRegularExpression time(QStringLiteral("\\d:\\d\\d [AP]M"));
    for (const auto &s : ships) {
        SCOPED_TRACE(std::string(s.dateDue) + " " + s.timeDue);
        exec(QStringLiteral("UPDATE Jobs SET DateDue = %1, TimeDue = '%2' WHERE JobID = %3")
                 .arg(QString::fromLatin1(s.dateDue), QString::fromLatin1(s.timeDue))
                 .arg(job));
        RecordingDevice device(600, 600, 5100, 6600, true);
        const QStringList texts = printTexts(job, 5, kStandardInvoice, device);
        EXPECT_TRUE(hasText(texts, QString::fromLatin1(s.shown))) << texts.join(QLatin1Char('|')).toStdString();
        EXPECT_FALSE(hasText(texts, QStringLiteral("12:00 AM")));
        EXPECT_EQ(texts.join(QLatin1Char('\n')).count(time), s.times);
    }
}

// The shop's name in the header of a work order stands between the program
// line and the page number, clear of both: at the body's size when it fits,
// smaller (never below the program line's size) when not, and wrapped at
// that size when even then it does not fit. The shop's address in an
// invoice's footer wraps clear of the print count beside it, and its last
// line ends where a single line ends: the page above gives it the room.
TEST_F(JobDocumentTest, TheShopsNameAndAddressKeepClearOfTheLinesBesideThem)
{
    const qint32 job = addJob(0, 6101);
    addItem(job, 1, 0, QStringLiteral("Letterheads"), QStringLiteral("10"));
    QString words;
    for (int k = 0; k < 8; ++k)
        words += QString(15, QLatin1Char('W')) + QLatin1Char(' ');
    const struct
    {
        const char *name;
        QString shop;
        int lines;      // of the name (0: more than one)
        bool smaller;   // than the body's size
        int footer;     // lines of the address (0: more than one)
    } cases[] = {
        {"a short name", QStringLiteral("Halvane Press"), 1, false, 1},
        {"sixty capitals", QString(60, QLatin1Char('W')), 1, true, 0},
        {"eight words of fifteen capitals", words.trimmed(), 0, true, 0},
    };
    const auto widthOf = [this](const RecordingDevice::Text &t, const RecordingDevice &device) {
        QString face = form->m_form.m_FontName.trimmed();
        QFont font = form->CreatePrintFont(face.isEmpty() ? QStringLiteral("Tahoma") : face, 90, 400, false, false);
        font.setPixelSize(t.pixelSize);
        font.setBold(t.bold);
        // A wrapped line keeps the blank it ended at: it takes no room.
        return QFontMetrics(font, &device).horizontalAdvance(t.text.trimmed());
    };
    int singleLineBottom = 0;
    for (const auto &c : cases) {
        app->m_company.m_strName = c.shop;
        app->m_company.m_strAddress = c.footer == 1 ? QStringLiteral("12 Mill Road") : c.shop;
        // The ticket's header.
        {
            RecordingDevice device(600, 600, 5100, 6600, true);
            printTexts(job, 1, 0, device);
            const RecordingDevice::Text *program = nullptr;
            QList<RecordingDevice::Text> name;
            for (const RecordingDevice::Text &t : device.texts()) {
                if (t.page != 0)
                    continue;
                if (t.text == form->m_strProgramLine)
                    program = &t;
                else if (t.position.y() < 1000 && c.shop.contains(t.text.trimmed()) && !t.text.trimmed().isEmpty())
                    name << t;
            }
            ASSERT_NE(program, nullptr) << c.name;
            ASSERT_FALSE(name.isEmpty()) << c.name;
            if (c.lines)
                EXPECT_EQ(name.size(), c.lines) << c.name;
            else
                EXPECT_GT(name.size(), 1) << c.name;
            // The body's 9 points and the program line's 7 at 600 dpi.
            const int body = 75;
            const int least = 58;
            QString letters;
            for (const RecordingDevice::Text &t : name) {
                letters += QString(t.text).remove(QLatin1Char(' '));
                EXPECT_EQ(t.pixelSize < body, c.smaller) << c.name;
                EXPECT_GE(t.pixelSize, least) << c.name;
                // Clear of the program line, and as far from the page's
                // right as from its left.
                const int right = program->position.x() + widthOf(*program, device);
                EXPECT_GT(t.position.x(), right) << c.name;
                EXPECT_LT(t.position.x() + widthOf(t, device), 5100 - right) << c.name;
            }
            EXPECT_EQ(letters, QString(c.shop).remove(QLatin1Char(' '))) << c.name;
        }
        // The invoice's footer.
        {
            RecordingDevice device(600, 600, 5100, 6600, true);
            printTexts(job, 2, kStandardInvoice, device);
            const int last = device.pageCount() - 1;
            const RecordingDevice::Text *count = nullptr;
            QList<RecordingDevice::Text> address;
            for (const RecordingDevice::Text &t : device.texts()) {
                if (t.page != last || t.position.y() < 5000)
                    continue;
                if (t.text.startsWith(QLatin1String("(print# ")))
                    count = &t;
                else if (t.text.contains(c.shop.left(10)) || t.text.contains(QLatin1String("Mill Road")))
                    address << t;
            }
            ASSERT_NE(count, nullptr) << c.name;
            ASSERT_FALSE(address.isEmpty()) << c.name;
            if (c.footer)
                EXPECT_EQ(address.size(), c.footer) << c.name;
            else
                EXPECT_GT(address.size(), 1) << c.name;
            for (const RecordingDevice::Text &t : address)
                EXPECT_LT(t.position.x() + widthOf(t, device), count->position.x()) << c.name;
            if (c.footer == 1)
                singleLineBottom = address.back().position.y();
            else
                EXPECT_NEAR(address.back().position.y(), singleLineBottom, 8) << c.name;
        }
    }
}
