// Web orders: the key-field table and its file, text order parsing, matching
// to customer, buyer and ship-to, items copied from templates, saving as one
// change, and the reader window.

#include "exchange/mail/CMail.h"
#include "exchange/mail/CMailCompose.h"
#include "exchange/weborders/CEmailRead.h"
#include "exchange/weborders/CWebOrder.h"
#include "exchange/weborders/WebOrderKeyFields.h"
#include "exchange/xml/XmlDocument.h"
#include "customers/CShiptoDlg.h"
#include "customers/CShiptoList.h"
#include "jobs/CJobDlg.h"
#include "platform/Clock.h"
#include "support/TestFiles.h"
#include "exchange/weborders/XmlOrders.h"
#include "support/LocalServers.h"
#include "support/ProgressStopper.h"
#include "support/ShopTest.h"
#include "views/CStatusDlg.h"
#include "views/CDlgData.h"
#include "views/CDlgGrid.h"
#include "views/CDlgList.h"
#include "views/CDlgOptions.h"
#include "views/CNoteDlg.h"

#include <QtNetwork/QTcpServer>
#include <QtNetwork/QTcpSocket>
#include <QtTest/QTest>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLineEdit>

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QEventLoop>
#include <QtCore/QProcess>
#include <QtCore/QTimer>

#include <functional>
#include <iterator>
#include <random>
#include <memory>
#include <vector>

namespace {

QString Mail(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

// A shop with customers whose names hold quotes, contacts of two customers,
// ship-to addresses with and without "#", and templates 999 and 50.
class WebOrdersTest : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusID) VALUES (200, 'Quote \"Q\" Printing', 'QQP')"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusID) VALUES (201, 'O''Hara Signs', 'OHS')"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusID) VALUES (202, 'Harbor Lane Bakery', 'HLB')"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusID) VALUES (203, 'Other Co', 'OTH')"));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Email) VALUES "
                            "(3001, 203, 'Ann', 'Other', 'buyer@other.test')"));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Email) VALUES "
                            "(3002, 202, 'Nora', 'Quill', '')"));
        exec(QStringLiteral("INSERT INTO ShipTo (ShiptoNo, CusNo, Type, Address) VALUES (401, 202, 0, '12 #3 Main St')"));
        exec(QStringLiteral("INSERT INTO ShipTo (ShiptoNo, CusNo, Type, Address) VALUES (402, 202, 0, '123 Main St')"));
        exec(QStringLiteral("INSERT INTO ShipTo (ShiptoNo, CusNo, Type, Address) VALUES (403, 203, 0, '12 #3 Main St')"));
        exec(QStringLiteral("INSERT INTO ShipBy ([No], Name) VALUES (4, 'Courier 50% [fast]')"));
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name) VALUES (700, 101, 'Cover stock')"));
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name) VALUES (701, 1, 'Press run')"));
        // Template 999 item 1: 100 copies of 1 original, a paper and a press row.
        exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo, Title) VALUES (9001, 2, 999, 10, 'Any')"));
        item(9101, 9001, 0, 1, 0, "Catch-all", 100, 1, "50", "18", "From template");
        item(9102, 9001, 700, 1, 0, "Cover stock", 100, 1, "20", "8", "");
        item(9103, 9001, 701, 1, 0, "Press run", 100, 1, "30", "10", "");
        // Template 50 item 1: exactly what is ordered, one row priced 0.
        exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo, Title) VALUES (9002, 2, 50, 202, 'Cards')"));
        item(9201, 9002, 0, 1, 0, "Cards", 500, 2, "0", "0", "");
        item(9202, 9002, 701, 1, 0, "Press run", 500, 2, "0", "5", "");
    }
    void item(int id, int job, int serNo, int itemNo, int subNo, const char *description, int qty, int sheets,
              const char *price, const char *cost, const char *note)
    {
        exec(QStringLiteral("INSERT INTO Items (ItemID, JobID, SerNo, ItemNo, SubNo, Description, ChargeQty, Sheets, "
                            "Price, Cost, Note) VALUES (%1, %2, %3, %4, %5, '%6', %7, %8, %9, %10, '%11')")
                 .arg(id)
                 .arg(job)
                 .arg(serNo)
                 .arg(itemNo)
                 .arg(subNo)
                 .arg(QString::fromUtf8(description))
                 .arg(qty)
                 .arg(sheets)
                 .arg(QString::fromLatin1(price), QString::fromLatin1(cost), QString::fromUtf8(note)));
    }
    // The order read from a mail text.
    std::unique_ptr<CWebOrder> parse(const QString &text)
    {
        auto order = std::make_unique<CWebOrder>();
        order->m_today = QDate(2026, 12, 7);
        order->m_strMailText = text;
        order->ParseTextOrder();
        return order;
    }
    // The order read from an XML file of Harbor Lane Bakery with these
    // elements inside its OrderRequest (items, say).
    std::unique_ptr<CWebOrder> parseXml(const QByteArray &elements,
                                         const std::function<void(CWebOrder &)> &keys = nullptr)
    {
        const QString path = tempPath(QStringLiteral("order.xml"));
        WriteBytes(path, "<?xml version=\"1.0\"?>\n<OrderRequest>\n"
                         "<From><Credential><Identity>Harbor Lane Bakery</Identity></Credential></From>\n"
                             + elements + "</OrderRequest>\n");
        XmlDocument document;
        EXPECT_TRUE(document.Load(path));
        auto order = std::make_unique<CWebOrder>();
        order->m_today = QDate(2026, 12, 7);
        order->m_keys.keys = KeyFieldTable::DefaultKeys(true);
        if (keys)
            keys(*order);
        order->ParseXmlOrder(document);
        return order;
    }
    static QByteArray xmlItem(const QString &description, const QString &quantity)
    {
        return "<ItemOut quantity=\"" + quantity.toUtf8() + "\"><ItemDetail><Description>" + description.toUtf8()
            + "</Description></ItemDetail></ItemOut>\n";
    }
    QString dump() const { return sqlite(QStringLiteral(".dump")); }
};

// --- key fields -------------------------------------------------------------

TEST_F(WebOrdersTest, KeyFieldFilesOverlayTheDefaults)
{
    const QString path = tempPath(QStringLiteral("MyKeyFields.txt"));
    struct Case
    {
        const char *name;
        QByteArray file;
        int index;
        QString expected;
    };
    const Case cases[] = {
        {"missing file keeps the default", QByteArray(), 26, QStringLiteral("Item Description:")},
        {"short file: later entries keep defaults", "Cust #:\r\n", 46, QStringLiteral("Shipto Country:")},
        {"short file: its line is taken", "Cust #:\r\n", 0, QStringLiteral("Cust #:")},
        {"blank line keeps the default", "\r\n  \r\nKontakt:\r\n", 1, QStringLiteral("Customer Name:")},
        {"lines are trimmed", "\r\n\r\n  Kontakt: \t\r\n", 2, QStringLiteral("Kontakt:")},
        {"tilde switches a field off", "\r\n~\r\n", 1, QStringLiteral("~")},
        {"Windows-1252 bytes", "\r\nKunde f\xfcr:\r\n", 1, QStringLiteral("Kunde f\u00fcr:")},
    };
    for (const Case &c : cases) {
        QFile::remove(path);
        if (!c.file.isEmpty())
            WriteBytes(path, c.file);
        const KeyFieldTable table = KeyFieldTable::Load(path, false);
        EXPECT_EQ(table.keys.size(), 47) << c.name;
        EXPECT_EQ(table[c.index], c.expected) << c.name;
    }
    // Line 23 is the separator caption whatever the file holds there.
    QByteArray lines;
    for (int n = 0; n < 47; ++n)
        lines += "Label " + QByteArray::number(n) + ":\r\n";
    WriteBytes(path, lines + "more than 47 lines are ignored\r\n");
    const KeyFieldTable table = KeyFieldTable::Load(path, false);
    EXPECT_EQ(table[23], QStringLiteral("------- ITEM FIELDS -------"));
    EXPECT_EQ(table[24], QStringLiteral("Label 24:"));
    EXPECT_EQ(table[46], QStringLiteral("Label 46:"));
}

TEST_F(WebOrdersTest, XmlDefaultsAndTheItemStartLabel)
{
    const KeyFieldTable xml = KeyFieldTable::Load(QString(), true);
    EXPECT_EQ(xml[28], QString());
    EXPECT_EQ(xml[1], QStringLiteral("From/Credential/Identity"));
    const XmlOrderKeys keys = xml.ToXmlOrderKeys();
    EXPECT_EQ(keys.templateNo, QStringLiteral("ItemID/SupplierPartID"));
    EXPECT_EQ(keys.description, QStringLiteral("ItemDetail/Description"));
    EXPECT_EQ(keys.quantity, QStringLiteral("OrderRequest/ItemOut"));
    EXPECT_EQ(keys.price, QStringLiteral("ItemOut/UnitPrice"));

    KeyFieldTable text = KeyFieldTable::Load(QString(), false);
    EXPECT_EQ(text[17], QStringLiteral("Job Note 1:"));
    EXPECT_EQ(text[41], QStringLiteral("Item Note 12:"));
    EXPECT_EQ(text.ItemStartLabel(), QStringLiteral("Item Description:"));
    text.keys[24] = QStringLiteral("Item Description:");
    EXPECT_EQ(text.ItemStartLabel(), QStringLiteral("Item Description:"));
    text.keys[24] = QStringLiteral("== ITEM ==");
    EXPECT_EQ(text.ItemStartLabel(), QStringLiteral("== ITEM =="));
}

TEST_F(WebOrdersTest, SavedKeyFieldsAreAll47LinesInWindows1252WithCrLf)
{
    const QString path = tempPath(QStringLiteral("MyKeyFields.txt"));
    KeyFieldTable table = KeyFieldTable::Load(path, false);
    table.keys[1] = QStringLiteral("Firma f\u00fcr:");
    ASSERT_TRUE(table.Save(path));
    const QByteArray bytes = ReadBytes(path);
    EXPECT_EQ(bytes.count("\r\n"), 47);
    EXPECT_TRUE(bytes.startsWith("Customer No:\r\nFirma f\xfcr:\r\nContact Name:\r\n"));
    EXPECT_TRUE(bytes.endsWith("Shipto Country:\r\n"));
    EXPECT_EQ(KeyFieldTable::Load(path, false).keys, table.keys);

    // Past the file-size limit: false with the reason, the saved file whole.
    const QByteArray saved = ReadBytes(path);
    table.keys[1] = QStringLiteral("Company:");
    QString error;
    bool written = true;
    {
        const FileSizeLimit limit(64);
        written = table.Save(path, &error);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(error, QStringLiteral("The file would be larger than the file-size limit allows."));
    EXPECT_EQ(ReadBytes(path), saved);
    EXPECT_TRUE(WorkFilesOf(path).isEmpty());
}

// --- parsing ------------------------------------------------------------------

TEST_F(WebOrdersTest, ItemQuantitiesOriginalsAndReferences)
{
    struct Case
    {
        QStringList lines;
        int quantity;
        int originals;
        QString jobItem;
        QString xml; // the same quantity as an XML order's attribute; "" for none
    };
    const Case cases[] = {
        {{QStringLiteral("Item Quantity: 4 x 500")}, 500, 4, QStringLiteral("999-1"), QStringLiteral("4 x 500")},
        {{QStringLiteral("Item Quantity: 500x4")}, 500, 4, QStringLiteral("999-1"), QStringLiteral("500x4")},
        {{QStringLiteral("Item Quantity: 2 X 500")}, 500, 2, QStringLiteral("999-1"), QStringLiteral("2 X 500")},
        {{QStringLiteral("Item Quantity: 1,000X3")}, 1000, 3, QStringLiteral("999-1"), QStringLiteral("1,000X3")},
        {{QStringLiteral("Item Quantity: 1,000")}, 1000, 0, QStringLiteral("999-1"), QStringLiteral("1,000")},
        {{QStringLiteral("Item Quantity: 1")}, 1, 0, QStringLiteral("999-1"), QStringLiteral(" 1 ")},
        // The largest count the program takes.
        {{QStringLiteral("Item Quantity: 1,000,000,000")}, 1000000000, 0, QStringLiteral("999-1"),
         QStringLiteral("1000000000")},
        {{QStringLiteral("Item Quantity: 12,345,678 x 2")}, 12345678, 2, QStringLiteral("999-1"),
         QStringLiteral("12,345,678 x 2")},
        {{QStringLiteral("Item Quantity: 2,500 copies")}, 2500, 0, QStringLiteral("999-1"), QStringLiteral("2,500 copies")},
        {{QStringLiteral("Item Quantity: 250"), QStringLiteral("Item Originals: 1,000")}, 250, 1000,
         QStringLiteral("999-1"), QString()},
        {{QStringLiteral("Item Quantity: 250"), QStringLiteral("Item Originals: 0")}, 250, 0, QStringLiteral("999-1"),
         QString()},
        {{QStringLiteral("Item Template No: 100-1H and a long tail"), QStringLiteral("Item Quantity: 5")}, 5, 0,
         QStringLiteral("100-1H and a l"), QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.lines.join(QLatin1Char('|')).toStdString());
        QStringList lines = {QStringLiteral("Customer No: 202"), QStringLiteral("Item Description: Flyers")};
        lines += c.lines;
        const auto order = parse(Mail(lines));
        ASSERT_EQ(order->m_items.size(), 1);
        EXPECT_EQ(order->m_items[0].quantity, c.quantity);
        EXPECT_EQ(order->m_items[0].originals, c.originals);
        EXPECT_EQ(order->m_items[0].jobItem, c.jobItem);
        EXPECT_TRUE(order->m_items[0].badQuantity.isEmpty());
        if (c.xml.isEmpty())
            continue;
        const auto xml = parseXml(xmlItem(QStringLiteral("Flyers"), c.xml));
        ASSERT_EQ(xml->m_items.size(), 1);
        EXPECT_EQ(xml->m_items[0].quantity, c.quantity);
        EXPECT_EQ(xml->m_items[0].originals, c.originals);
        EXPECT_TRUE(xml->m_items[0].badQuantity.isEmpty());
    }
    // An XML item without a quantity is one copy.
    const auto order = parseXml("<ItemOut><ItemDetail><Description>Flyers</Description></ItemDetail></ItemOut>\n");
    ASSERT_EQ(order->m_items.size(), 1);
    EXPECT_EQ(order->m_items[0].quantity, 1);
    EXPECT_TRUE(order->m_items[0].badQuantity.isEmpty());
}

TEST_F(WebOrdersTest, AnOrderOfMoreItemsThanAJobHoldsIsReadToItsLimitAndSaysSo)
{
    QStringList lines = {QStringLiteral("Customer No: 202")};
    for (int n = 1; n <= 256; ++n)
        lines << QStringLiteral("Item Description: Item %1").arg(n) << QStringLiteral("Item Quantity: %1").arg(n);
    prompts().answer(platform::IDOK);
    const auto order = parse(Mail(lines));
    ASSERT_EQ(order->m_items.size(), 255);
    EXPECT_EQ(order->m_items[254].description, QStringLiteral("Item 255"));
    EXPECT_EQ(order->m_items[254].quantity, 255);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("This order lists 256 items; an order holds at most 255.\n\n"
                                                   "Only the first 255 items are read."));
}

TEST_F(WebOrdersTest, JobFieldsNotesLinksAndSoftBreaks)
{
    // A text whose lines end in CR LF as a mail's do, or in bare line feeds
    // or carriage returns (a file or a pasted text): each value is the rest
    // of its own line.
    for (const char *lineEnd : {"\r\n", "\n", "\r"}) {
    SCOPED_TRACE(QByteArray(lineEnd).toHex().toStdString());
    const auto order = parse(QStringList({
        QStringLiteral("Customer No: 202"),
        QStringLiteral("Job PO: PO-7"),
        QStringLiteral("Job Due Days: 7"),
        QStringLiteral("Job Due Time: 10 am"),
        QStringLiteral("Job Ship Via: 50% [f"),
        QStringLiteral("Job Shipping Charge: $1,234.56"),
        QStringLiteral("Job Memo: Bill monthly"),
        QStringLiteral("Job Note 2: Call first  |  then deliver"),
        QStringLiteral("Item Description: Menu cards, 4 pa="),
        QStringLiteral("ges"),
        QStringLiteral("Item Quantity: 250"),
        QStringLiteral("Item Price: 12.50"),
        QStringLiteral("Item Note 01: Gloss"),
        QStringLiteral("Art: <http://files.test/a/menu.pdf>"),
        QStringLiteral("Item Description: Poster"),
        QStringLiteral("Item Quantity: 2"),
        QStringLiteral("Download ftp://files.test/poster.tif"),
        QStringLiteral("Item Description: Stickers"),
        QStringLiteral("Shipto Phone: 555-0100"),
    }).join(QLatin1String(lineEnd)) + QLatin1String(lineEnd));
    const CJobSet &job = order->m_jobSet;
    EXPECT_EQ(job.m_CusNo, 202);
    EXPECT_EQ(job.m_PO, QStringLiteral("PO-7"));
    EXPECT_EQ(job.m_TimeDue, QStringLiteral("10 am"));
    EXPECT_EQ(job.m_DateDue.date(), QDate(2026, 12, 14));
    EXPECT_EQ(job.m_ViaDue, 4); // the LIKE takes "%" and "[" literally
    EXPECT_EQ(job.m_Shipping, Money::fromUnits(12345600));
    EXPECT_EQ(job.m_InvoiceNote, QStringLiteral("Bill monthly"));
    EXPECT_EQ(job.m_WOrderNote, QStringLiteral("Job Ship Via: 50% [f\r\nJob Due Days: 7\r\nJob Note 2: Call first\r\n-then "
                                               "deliver"));
    // No title: the first item's description, joined across the soft break.
    EXPECT_EQ(job.m_Title, QStringLiteral("Menu cards, 4 pages"));
    ASSERT_EQ(order->m_items.size(), 3);
    EXPECT_EQ(order->m_items[0].price, QStringLiteral("12.50"));
    EXPECT_EQ(order->m_items[0].link, QStringLiteral("http://files.test/a/menu.pdf"));
    EXPECT_EQ(order->m_items[0].note, QStringLiteral("Item Note 01: Gloss"));
    EXPECT_EQ(order->m_items[1].link, QStringLiteral("ftp://files.test/poster.tif"));
    EXPECT_EQ(order->m_items[1].note, QString());
    // The last item runs to the end of the text.
    EXPECT_EQ(order->m_items[2].note, QStringLiteral("Shipto Phone: 555-0100"));
    EXPECT_EQ(order->m_items[0].quantity, 250);
    EXPECT_EQ(order->m_items[1].quantity, 2);
    }

    // Due days as written, from today (12/7/2026), or refused; the line goes
    // to the note either way.
    struct Due
    {
        const char *days;
        QDate due; // null: refused
    };
    const Due dues[] = {
        {"0", QDate(2026, 12, 7)},           {"1", QDate(2026, 12, 8)},
        {"255", QDate(2027, 8, 19)},         {"256", QDate(2027, 8, 20)},
        {"365 days", QDate(2027, 12, 7)},    {"1,000", QDate(2029, 9, 2)},
        {"2912102", QDate(9999, 12, 31)},    {"2912103", QDate()},
        {"-1", QDate()},                     {"7.5", QDate()},
        {"soon", QDate()},                   {"99999999999", QDate()},
        {"7 - 10", QDate()},                 {"2 * 7", QDate()},
    };
    for (const Due &d : dues) {
        SCOPED_TRACE(d.days);
        const QString days = QString::fromLatin1(d.days);
        const auto due = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Job Due Days: ") + days}));
        EXPECT_EQ(due->m_jobSet.m_DateDue.date(), d.due);
        EXPECT_EQ(due->m_jobSet.m_WOrderNote, QStringLiteral("Job Due Days: ") + days);
        EXPECT_EQ(due->m_refusals,
                  d.due.isValid() ? QStringList()
                                  : QStringList{QStringLiteral("This order cannot be saved: \"%1\" after \"Job Due Days:\" "
                                                               "is not a number of days.\n\nCorrect the order before "
                                                               "saving it.")
                                                    .arg(days)});
    }

    // A due time is kept as written when the clock shows it and the job's
    // field (10 characters) holds it, else refused.
    const char *const clock = "a time of day";
    const char *const tooLong = "a time of day of at most 10 characters";
    const std::pair<const char *, const char *> times[] = {
        {"10 am", nullptr},   {"Noon", nullptr},     {"end of day", nullptr}, {"0:00", nullptr},
        {"23:59", nullptr},   {"12 pm", nullptr},    {"12:30:59 PM", tooLong}, {"9:15 p.m.", nullptr},
        {"14:30 Fri", nullptr}, {"14:30 Friday", tooLong}, {"99:99", clock},  {"24:00", clock},
        {"12:60", clock},     {"13 pm", clock},      {"0 am", clock},         {"10:30:60", clock},
        {"9.30", clock},      {"10:5", clock},       {"100", clock},          {"-1:00", clock},
        {"Before lunch please", tooLong}, {"end of day", nullptr}, {"end of da.", nullptr},
        {"end of day!", tooLong}, {"12:30:59 P", nullptr}, {"12:30:59 PMX", tooLong},
    };
    for (const auto &[written, refusedAs] : times) {
        SCOPED_TRACE(written);
        const QString time = QString::fromLatin1(written);
        const auto timed = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Job Due Time: ") + time}));
        EXPECT_EQ(timed->m_jobSet.m_TimeDue, refusedAs ? QString() : time);
        EXPECT_EQ(timed->m_refusals,
                  !refusedAs ? QStringList()
                             : QStringList{QStringLiteral("This order cannot be saved: \"%1\" after \"Job Due Time:\" "
                                                          "is not %2.\n\nCorrect the order before saving it.")
                                               .arg(time, QLatin1String(refusedAs))});
    }

    // The limit is the field's size in this shop's file, read afresh for
    // each order (a text and an XML order alike).
    SharedDatabase().resizeTextField(QStringLiteral("Jobs"), QStringLiteral("TimeDue"), 5);
    const std::pair<const char *, bool> shortTimes[] = {{"10 am", false}, {"10:30", false}, {"10:30 am", true}};
    for (const auto &[written, refused] : shortTimes) {
        SCOPED_TRACE(written);
        const QString time = QString::fromLatin1(written);
        std::vector<std::unique_ptr<CWebOrder>> orders;
        orders.push_back(parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Job Due Time: ") + time})));
        orders.push_back(parseXml("<DueTime>" + time.toUtf8() + "</DueTime>\n", [](CWebOrder &order) {
            order.m_keys.keys[keyfield::JobDueTime] = QStringLiteral("OrderRequest/DueTime");
        }));
        for (const auto &order : orders) {
            EXPECT_EQ(order->m_jobSet.m_TimeDue, refused ? QString() : time);
            EXPECT_EQ(order->m_refusals,
                      !refused ? QStringList()
                               : QStringList{QStringLiteral("This order cannot be saved: \"%1\" after \"%2\" is not a "
                                                            "time of day of at most 5 characters.\n\nCorrect the "
                                                            "order before saving it.")
                                                 .arg(time, order->m_keys[keyfield::JobDueTime])});
        }
    }

    // Every text the order stores is stored whole or refused by its label
    // before anything is written (a PO of 25 letters was saved as its first
    // 20, a title of 107 as its first 100); one that fits exactly is saved
    // as written.
    struct Text
    {
        QString line;
        const char *label; // nullptr: saved whole
        int size;
        const char *column; // where the whole text is stored when it fits
    };
    const QString x255 = QString(255, QLatin1Char('d'));
    const Text texts[] = {
        {QStringLiteral("Job PO: PO-2026-000123-REV-2-ACME"), "Job PO:", 20, nullptr},
        {QStringLiteral("Job PO: PO-2026-000123-REV-2"), nullptr, 0, "PO"},
        {QStringLiteral("Job Title: ") + QString(107, QLatin1Char('t')), "Job Title:", 100, nullptr},
        {QStringLiteral("Job Title: ") + QString(100, QLatin1Char('t')), nullptr, 0, "Title"},
        {QStringLiteral("Job Memo: ") + QString(256, QLatin1Char('m')), "Job Memo:", 255, nullptr},
        {QStringLiteral("Item Description: ") + x255 + QLatin1Char('d'), "Item Description:", 255, nullptr},
    };
    for (const Text &t : texts) {
        SCOPED_TRACE(t.line.left(40).toStdString());
        const QString value = t.line.section(QStringLiteral(": "), 1);
        QStringList lines = {QStringLiteral("Customer No: 202"), t.line};
        if (!t.line.startsWith(QLatin1String("Item")))
            lines << QStringLiteral("Item Description: Flyers");
        const auto order = parse(Mail(lines));
        const QString before = dump();
        prompts().clear();
        if (!t.label) {
            EXPECT_EQ(order->m_refusals, QStringList());
            ASSERT_TRUE(order->SaveOrder(0, false));
            EXPECT_EQ(sqlite(QStringLiteral("SELECT %1 FROM Jobs WHERE JobID = %2")
                                 .arg(QLatin1String(t.column))
                                 .arg(order->m_nLinkedJobId)),
                      value);
            continue;
        }
        const QString refusal = QStringLiteral("This order cannot be saved: \"%1\" after \"%2\" is not a text of at "
                                               "most %3 characters.\n\nIt has %4 characters.\n\nCorrect the order "
                                               "before saving it.")
                                    .arg(value, QLatin1String(t.label))
                                    .arg(t.size)
                                    .arg(value.size());
        EXPECT_EQ(order->m_refusals, QStringList{refusal});
        prompts().answer(platform::IDOK);
        EXPECT_FALSE(order->SaveOrder(0, false));
        EXPECT_EQ(prompts().texts(), QStringList{refusal});
        EXPECT_EQ(dump(), before);
    }
    // Notes made of several labelled lines are refused as a whole, the
    // price's line ("PRICE = 12.50" and a line end) counted with them.
    const struct
    {
        QStringList lines;
        int chars;
    } notes[] = {
        {{QStringLiteral("Item Note 01: ") + QString(242, QLatin1Char('n'))}, 256},
        {{QStringLiteral("Item Price: 12.50"), QStringLiteral("Item Note 01: ") + QString(241, QLatin1Char('n'))}, 270},
    };
    for (const auto &n : notes) {
        const auto noted = parse(Mail(QStringList{QStringLiteral("Customer No: 202"), QStringLiteral("Item Description: Flyers")}
                                      + n.lines));
        EXPECT_EQ(noted->m_refusals, QStringList{QStringLiteral("This order cannot be saved: the note lines of item 1 "
                                                                "come to %1 characters; they are stored in a note of "
                                                                "at most 255.\n\nCorrect the order before saving it.")
                                                     .arg(n.chars)});
    }
}

TEST_F(WebOrdersTest, ColonsInsideAValueAreKeptOnlyTheLabelsOwnColonGoes)
{
    // A line of the mail and what the order keeps of it. The key fields end
    // their labels with ":"; one written without it ("Job Memo") leaves the
    // mail's colon before the value, and only that colon goes.
    struct Case
    {
        const char *line;
        bool labelWithoutColon;
        const char *memo;
        const char *title;
        const char *po;
        const char *workOrderNote;
        const char *itemNote;
    };
    const Case cases[] = {
        {"Job Memo: Call Ben at 10:30", false, "Call Ben at 10:30", "", "", "", ""},
        {"Job Memo: Call Ben at 10:30", true, "Call Ben at 10:30", "", "", "", ""},
        {"Job Memo:: two colons after the label", true, "two colons after the label", "", "", "", ""},
        {"Job Memo:   : spaced", true, "spaced", "", "", "", ""},
        {"Job Title: Menu: spring", false, "", "Menu: spring", "", "", ""},
        {"Job PO: A:1", false, "", "", "A:1", "", ""},
        {"Job Note 2: Art at https://files.test/a.pdf", false, "", "", "",
         "Job Note 2: Art at https://files.test/a.pdf", ""},
        {"Job Note 2: 9:00-17:00", false, "", "", "", "Job Note 2: 9:00-17:00", ""},
        {"Item Note 01: Ratio 3:2, see ftp://files.test/b", false, "", "Card", "", "",
         "Item Note 01: Ratio 3:2, see ftp://files.test/b"},
    };
    for (const Case &c : cases) {
        auto order = std::make_unique<CWebOrder>();
        order->m_today = QDate(2026, 12, 7);
        if (c.labelWithoutColon)
            order->m_keys.keys[keyfield::JobMemo] = QStringLiteral("Job Memo");
        const QString line = QString::fromLatin1(c.line);
        QStringList lines = {QStringLiteral("Customer No: 202")};
        if (line.startsWith(QLatin1String("Item")))
            lines << QStringLiteral("Item Description: Card");
        order->m_strMailText = Mail(lines << line);
        order->ParseTextOrder();
        const CJobSet &job = order->m_jobSet;
        EXPECT_EQ(job.m_InvoiceNote, QString::fromLatin1(c.memo)) << c.line;
        EXPECT_EQ(job.m_Title, QString::fromLatin1(c.title)) << c.line;
        EXPECT_EQ(job.m_PO, QString::fromLatin1(c.po)) << c.line;
        EXPECT_EQ(job.m_WOrderNote, QString::fromLatin1(c.workOrderNote)) << c.line;
        EXPECT_EQ(order->m_items.isEmpty() ? QString() : order->m_items[0].note, QString::fromLatin1(c.itemNote))
            << c.line;
    }
}

TEST_F(WebOrdersTest, ShippingIsKeptOnlyAboveZero)
{
    // An amount is read as the program's money fields read one: whole cents
    // within the largest amount, 100,000,000,000.00.
    const char *const tooMany = "Please enter an amount with at most 2 decimals.";
    const char *const pastLargest = "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00.";
    struct Case
    {
        const char *charge;
        qint64 units;      // Shipping afterwards, in ten-thousandths
        bool refused;      // the order cannot be saved
        const char *why;   // the reason the refusal gives, if any
    };
    const Case cases[] = {
        {"$0.00", 0, false, nullptr},
        {"0", 0, false, nullptr},
        {"12.50", 125000, false, nullptr},
        {"$1,234.5", 12345000, false, nullptr},
        {".5", 5000, false, nullptr},
        {"12.50 incl. tax", 125000, false, nullptr},
        {"100,000,000,000.00", 1000000000000000LL, false, nullptr},
        {"99999999999.99", 999999999999900LL, false, nullptr},
        // A decimal the charge cannot hold, or past the largest amount, is
        // refused rather than kept (12.345, 0.0001) or stored past the bound.
        {"12.345", 0, true, tooMany},
        {"0.00005", 0, true, tooMany},
        {"100,000,000,000.01", 0, true, pastLargest},
        {"900000000000.01", 0, true, pastLargest},
        {"922,337,203,685,477.5807", 0, true, tooMany},
        {"922,337,203,685,477.58", 0, true, pastLargest},
        // Read as 1250, 12345, 0 and 0 before, or left out.
        {"12,50", 0, true, nullptr},
        {"1,2345", 0, true, nullptr},
        {"1,234,56", 0, true, nullptr},
        {"free", 0, true, nullptr},
        {"-5", 0, true, nullptr},
        {"12.", 0, true, nullptr},
        {"12.5.0", 0, true, nullptr},
        {"1e3", 0, true, nullptr},
        {"12 50", 0, true, nullptr},
        {"12.50 - 15.00", 0, true, nullptr},
        {"12.50 + tax", 0, true, nullptr},
        {"922,337,203,685,477.5808", 0, true, tooMany},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.charge);
        const QString charge = QString::fromLatin1(c.charge);
        std::vector<std::unique_ptr<CWebOrder>> orders;
        orders.push_back(parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Job Shipping Charge: ") + charge})));
        orders.push_back(parseXml("<Shipping>" + charge.toUtf8() + "</Shipping>\n", [](CWebOrder &order) {
            order.m_keys.keys[keyfield::JobShipping] = QStringLiteral("OrderRequest/Shipping");
        }));
        for (const auto &order : orders) {
            EXPECT_EQ(order->m_jobSet.m_Shipping, Money::fromUnits(c.units));
            const QString written = charge.startsWith(QLatin1Char('$')) ? charge.mid(1) : charge;
            const QString why = c.why ? QString::fromLatin1(c.why) + QStringLiteral("\n\n") : QString();
            EXPECT_EQ(order->m_refusals,
                      c.refused ? QStringList{QStringLiteral("This order cannot be saved: \"%1\" after \"%2\" is not an "
                                                             "amount.\n\n%3Correct the order before saving it.")
                                                  .arg(written, order->m_keys[keyfield::JobShipping], why)}
                                : QStringList());
        }
    }
    // A refused amount keeps the whole order out.
    for (const char *charge : {"12,50", "12.345", "900000000000.01"}) {
        SCOPED_TRACE(charge);
        prompts().clear();
        const auto order =
            parse(Mail({QStringLiteral("Customer No: 202"),
                        QStringLiteral("Job Shipping Charge: ") + QLatin1String(charge),
                        QStringLiteral("Item Description: Flyers"), QStringLiteral("Item Quantity: 500")}));
        const QString before = dump();
        prompts().answer(platform::IDOK);
        EXPECT_FALSE(order->SaveOrder(0, false));
        EXPECT_EQ(prompts().texts(), QStringList{order->m_refusals.value(0)});
        EXPECT_EQ(dump(), before);
    }
    // Template 999's item priced at the largest amount: with a cent of
    // shipping the order's total passes it and the order is kept out, naming
    // the total; without, it is saved to the cent.
    exec(QStringLiteral("UPDATE Items SET Price = 99999999970 WHERE ItemID = 9102"));
    for (const char *charge : {"0.01", "0"}) {
        SCOPED_TRACE(charge);
        prompts().clear();
        const auto order =
            parse(Mail({QStringLiteral("Customer No: 202"),
                        QStringLiteral("Job Shipping Charge: ") + QLatin1String(charge),
                        QStringLiteral("Item Description: Flyers")}));
        const QString before = dump();
        if (QByteArray(charge) == "0.01") {
            prompts().answer(platform::IDOK);
            EXPECT_FALSE(order->SaveOrder(0, false));
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("\"Total\" cannot be more than 100,000,000,000.00, the largest "
                                                 "amount it holds.\n\nThe email could not be saved as Order. Nothing "
                                                 "of it was written; the order is still here to be saved again.")});
            EXPECT_EQ(dump(), before);
            continue;
        }
        ASSERT_TRUE(order->SaveOrder(0, false));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f', Subtotal), printf('%.4f', Balance) FROM Jobs WHERE "
                                        "JobID = %1")
                             .arg(order->m_nLinkedJobId)),
                  QStringLiteral("100000000000.0000|100000000000.0000"));
    }
    // Copies of two originals on template 999's paper: at half the largest
    // count its sheets are the largest and the order is saved; one copy more
    // and they would pass it, so nothing is saved, the quantity named.
    exec(QStringLiteral("UPDATE Items SET Price = 50 WHERE ItemID = 9102"));
    for (const char *copies : {"500000001", "500000000"}) {
        SCOPED_TRACE(copies);
        prompts().clear();
        const auto order = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Item Description: Flyers"),
                                       QStringLiteral("Item Quantity: 2 x ") + QLatin1String(copies)}));
        const QString before = dump();
        if (QByteArray(copies) == "500000001") {
            prompts().answer(platform::IDOK);
            EXPECT_FALSE(order->SaveOrder(0, false));
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("Item 1, Quantity: at 500,000,001, the Finish Sheets of Cover stock "
                                                 "would be 1,000,000,002, more than 1,000,000,000, the largest count the "
                                                 "program holds.\n\nThe email could not be saved as Order. Nothing of "
                                                 "it was written; the order is still here to be saved again.")});
            EXPECT_EQ(dump(), before);
            continue;
        }
        ASSERT_TRUE(order->SaveOrder(0, false));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT ChargeQty, Sheets FROM Items WHERE JobID = %1 AND SerNo = 0")
                             .arg(order->m_nLinkedJobId)),
                  QStringLiteral("500000000|2"));
    }
}

TEST_F(WebOrdersTest, LabelRulesOfTheKeyFields)
{
    auto order = std::make_unique<CWebOrder>();
    order->m_keys.keys[keyfield::CustomerName] = QStringLiteral("~");
    order->m_keys.keys[keyfield::JobTitle] = QStringLiteral("TITLE [+]2");
    order->m_strMailText = Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Customer Name: Nobody"),
                                 QStringLiteral("TITLE"), QString(), QStringLiteral("first line"),
                                 QStringLiteral("second line"), QStringLiteral("third line")});
    order->ParseTextOrder();
    EXPECT_EQ(order->m_jobSet.m_Title, QStringLiteral("second line"));
    EXPECT_EQ(order->Field(keyfield::CustomerName), QString());
}

// --- matching -----------------------------------------------------------------

TEST_F(WebOrdersTest, CustomerMatchingBindsTheMailsValues)
{
    struct Case
    {
        QStringList lines;
        qint32 cusNo;
        QString question; // "" when none is asked
        QString refusal = QString(); // why the order cannot be saved
    };
    const QString notANumber = QStringLiteral("This order cannot be saved: \"%1\" after \"Customer No:\" is not a "
                                              "customer number.\n\nA customer number is written in digits alone.\n\n"
                                              "Correct the order before saving it.");
    const Case cases[] = {
        {{QStringLiteral("Customer No: 201"), QStringLiteral("Customer Name: Other Co")}, 201, QString()},
        // A number written otherwise is no customer's (never the shop's own
        // row 1, nor 10): the order is matched by name and refused by field.
        {{QStringLiteral("Customer No: 1e3"), QStringLiteral("Customer Name: O'Hara Signs")},
         201,
         QString(),
         notANumber.arg(QStringLiteral("1e3"))},
        {{QStringLiteral("Customer No: 10 04"), QStringLiteral("Customer Name: Nobody")},
         31,
         QStringLiteral("Could not find the customer.\nFilter used: Name = \"Nobody\"\n\nDo you want to search?"),
         notANumber.arg(QStringLiteral("10 04"))},
        {{QStringLiteral("Customer No: 202 (web)"), QStringLiteral("Customer Name: O'Hara Signs")},
         201,
         QString(),
         notANumber.arg(QStringLiteral("202 (web)"))},
        {{QStringLiteral("Customer No: 2,02"), QStringLiteral("Customer Name: O'Hara Signs")},
         201,
         QString(),
         notANumber.arg(QStringLiteral("2,02"))},
        {{QStringLiteral("Customer No: 99999999999"), QStringLiteral("Customer Name: O'Hara Signs")},
         201,
         QString(),
         QStringLiteral("This order cannot be saved: \"99999999999\" after \"Customer No:\" is not a customer "
                        "number.\n\nA customer number is at most 1,000,000,000.\n\nCorrect the order before saving it.")},
        {{QStringLiteral("Customer No: 0202"), QStringLiteral("Customer Name: Other Co")}, 202, QString()},
        {{QStringLiteral("Customer No: 202 Harbor Lane"), QStringLiteral("Customer Name: Other Co")}, 202, QString()},
        {{QStringLiteral("Customer Name: Quote \"Q\" Printing")}, 200, QString()},
        {{QStringLiteral("Customer Name: O'Hara Signs")}, 201, QString()},
        {{QStringLiteral("Customer Name: Nobody"), QStringLiteral("Contact Email: buyer@other.test")}, 203, QString()},
        // A number no customer has is as good as none: the name, then the
        // e-mail, then the question.
        {{QStringLiteral("Customer No: 777"), QStringLiteral("Customer Name: Nobody")},
         31,
         QStringLiteral("Could not find the customer.\nFilter used: Name = \"Nobody\"\n\nDo you want to search?")},
        {{QStringLiteral("Customer No: 9999"), QStringLiteral("Customer Name: O'Hara Signs")}, 201, QString()},
        {{QStringLiteral("Customer No: 9999"), QStringLiteral("Customer Name: Nobody"),
          QStringLiteral("Contact Email: buyer@other.test")},
         203,
         QString()},
        {{QStringLiteral("Customer Name: x\" or \"a\"=\"a")},
         31,
         QStringLiteral("Could not find the customer.\nFilter used: Name = 'x\" or \"a\"=\"a'\n\nDo you want to "
                        "search?")},
        {{QStringLiteral("Contact Name: Ann")},
         31,
         QStringLiteral("Could not find the customer.\nEmail does not include data for Key Field: Customer Name:\n\nDo "
                        "you want to search?")},
        {{QStringLiteral("Customer Name: Nobody"), QStringLiteral("Contact Email: who@nowhere.test")},
         31,
         QStringLiteral("Could not find the customer.\nFilter used: Name = \"Nobody\"\nEmail: who@nowhere.test\n\nDo "
                        "you want to search?")},
    };
    for (const Case &c : cases) {
        prompts().clear();
        if (!c.question.isEmpty())
            prompts().answer(platform::IDNO);
        const auto order = parse(Mail(c.lines));
        EXPECT_EQ(order->m_jobSet.m_CusNo, c.cusNo) << c.lines.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(prompts().texts(), c.question.isEmpty() ? QStringList() : QStringList{c.question});
        EXPECT_EQ(order->m_refusals, c.refusal.isEmpty() ? QStringList() : QStringList{c.refusal});
        if (c.refusal.isEmpty())
            continue;
        // Not saved until the customer is chosen by hand.
        prompts().clear();
        prompts().answer(platform::IDOK);
        EXPECT_FALSE(order->SaveOrder(0, false));
        EXPECT_EQ(prompts().texts(), QStringList{c.refusal});
        order->ChangeCustomer(201);
        EXPECT_TRUE(order->m_refusals.isEmpty());
    }
}

TEST_F(WebOrdersTest, TheCustomerPickerStartsFromAQuotedFilter)
{
    CWebOrder order;
    QString seen;
    order.pickCustomer = [&seen](qint32 &cusNo, const QString &filter) {
        seen = filter;
        cusNo = 203;
        return true;
    };
    order.m_strMailText = Mail({QStringLiteral("Customer Name: x\" or \"a\"=\"a")});
    prompts().answer(platform::IDYES);
    order.ParseTextOrder();
    EXPECT_EQ(seen, QStringLiteral("Name = 'x\" or \"a\"=\"a'"));
    EXPECT_EQ(order.m_jobSet.m_CusNo, 203);
}

TEST_F(WebOrdersTest, ShipToAndBuyerMatching)
{
    // "#" is a literal character of the address, not a digit pattern.
    auto order = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Shipto Address: #3 Main"),
                             QStringLiteral("Contact Name: Quill")}));
    EXPECT_EQ(order->m_jobSet.m_ShiptoNo, 401);
    EXPECT_EQ(order->m_shiptoSet.m_Address, QStringLiteral("12 #3 Main St"));
    // One word is a last name.
    EXPECT_EQ(order->m_jobSet.m_BuyerNo, 3002);

    // Nothing found: both are prepared, unsaved, from the mail.
    order = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Shipto Address: 9 Dock Rd"),
                        QStringLiteral("Shipto City: Port Ellis, ME 04011"), QStringLiteral("Shipto Name: Dock"),
                        QStringLiteral("Contact Name: Mary Ann Lee"), QStringLiteral("Contact Phone: 555-0199")}));
    EXPECT_EQ(order->m_jobSet.m_ShiptoNo, 0);
    EXPECT_EQ(order->m_shiptoSet.m_ShiptoNo, 0);
    EXPECT_EQ(order->m_shiptoSet.m_City, QStringLiteral("Port Ellis"));
    EXPECT_EQ(order->m_shiptoSet.m_State, QStringLiteral("ME"));
    EXPECT_EQ(order->m_shiptoSet.m_Zip, QStringLiteral("04011"));
    EXPECT_EQ(order->m_shiptoSet.m_Company, QStringLiteral("Dock"));
    EXPECT_EQ(order->m_jobSet.m_BuyerNo, 0);
    EXPECT_EQ(order->m_contactSet.m_First, QStringLiteral("Mary"));
    EXPECT_EQ(order->m_contactSet.m_Last, QStringLiteral("Ann Lee"));
    EXPECT_EQ(order->m_contactSet.m_Phone, QStringLiteral("555-0199"));
    EXPECT_EQ(prompts().texts(), QStringList());

    // Bill To another customer searches ship-to and buyer again under it.
    order = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Shipto Address: #3 Main"),
                        QStringLiteral("Contact Name: Ann Other")}));
    EXPECT_EQ(order->m_jobSet.m_ShiptoNo, 401);
    EXPECT_EQ(order->m_jobSet.m_BuyerNo, 0);
    order->ChangeCustomer(203);
    EXPECT_EQ(order->m_jobSet.m_CusNo, 203);
    EXPECT_EQ(order->m_jobSet.m_ShiptoNo, 403);
    EXPECT_EQ(order->m_jobSet.m_BuyerNo, 3001);

    // Several addresses match: the first is kept and the user is told.
    prompts().clear();
    prompts().answer(platform::IDOK);
    order = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Shipto Address: Main St")}));
    EXPECT_EQ(prompts().texts(),
              QStringList{QStringLiteral("Found more than one 'Ship to' address.\nFilter used: CusNo = 202 and Address "
                                         "LIKE \"*Main St*\"\n\nPlease verify the selected address is correct.")});
}

// --- items and saving -----------------------------------------------------------

TEST_F(WebOrdersTest, JobItemReferences)
{
    struct Case
    {
        const char *text;
        bool history;
        int type;
        int job;
        int item;
    };
    const Case cases[] = {
        {"100-1H", false, 3, 100, 1}, {"100-1t", true, 2, 100, 1}, {"100-1", false, 2, 100, 1},
        {"100-1", true, 3, 100, 1},   {"100", false, 2, 100, 1},   {"100-0", false, 2, 100, 1},
        {"7-3h", false, 3, 7, 3},     {"", false, 2, 0, 1},
    };
    for (const Case &c : cases) {
        const JobItemRef ref = CWebOrder::ParseJobItemRef(QString::fromLatin1(c.text), c.history);
        EXPECT_EQ(ref.jobType, c.type) << c.text;
        EXPECT_EQ(ref.jobNo, c.job) << c.text;
        EXPECT_EQ(ref.itemNo, c.item) << c.text;
    }
}

TEST_F(WebOrdersTest, SavingCopiesTemplatesAndReportsTheItems)
{
    auto order = parse(Mail({
        QStringLiteral("Customer No: 202"),
        QStringLiteral("Job Title: Spring menus"),
        QStringLiteral("Item Description: Menu cards"),
        QStringLiteral("Item Quantity: 250"),
        QStringLiteral("Item Originals: 4"),
        QStringLiteral("Item Price: 12.50"),
        QStringLiteral("Item Note 01: Gloss"),
        QStringLiteral("Item Description: Business cards"),
        QStringLiteral("Item Template No: 50-1T"),
        QStringLiteral("Item Quantity: 500"),
        QStringLiteral("Item Originals: 2"),
        QStringLiteral("Item Description: Stickers"),
        QStringLiteral("Item Template No: 888-1"),
    }));
    order->m_strMessageId = QStringLiteral("<m1@shop.test>");
    // Without template 999 the third item is made from scratch.
    ASSERT_TRUE(order->SaveOrder(0, false));
    EXPECT_TRUE(order->m_strStatus.startsWith(QStringLiteral("Saved the email as Order ")));
    EXPECT_TRUE(order->m_strStatus.endsWith(
        QStringLiteral(". Added 3 Item(s). IMPORTANT: Item Quantity and/or #Originals changed! ")))
        << order->m_strStatus.toStdString();
    const qint32 jobId = order->m_nLinkedJobId;
    EXPECT_EQ(order->m_strSavedJobs, QStringLiteral("JobID = %1").arg(jobId));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ItemNo, SerNo, Description, ChargeQty, Sheets, Up, replace(Note, char(13)||char(10), '|') "
                                    "FROM Items WHERE JobID = %1 ORDER BY ItemNo, SerNo")
                         .arg(jobId)),
              QStringLiteral("1|0|Menu cards|250|4|-9101|--> Quantity changed from 100 to 250|--> Originals changed "
                             "from 1 to 4|PRICE = 12.50|Item Note 01: Gloss|From template\n"
                             "1|700|Cover stock|100|4|0|\n"
                             "1|701|Press run|100|1|0|\n"
                             "2|0|Business cards|500|2|-9201||\n"
                             "2|701|Press run|500|2|0|\n"
                             "3|0|Stickers|100|1|-9101||From template\n"
                             "3|700|Cover stock|100|1|0|\n"
                             "3|701|Press run|100|1|0|"));
    // A template row priced 0 leaves the subtotal to be priced.
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobType, Title, Subtotal, Cost, CusNo, Creator, DateIn, DateDue IS NULL, "
                                    "DateProof IS NULL FROM Jobs WHERE JobID = %1")
                         .arg(jobId)),
              QStringLiteral("0|Spring menus|0|41|202|2|%1|1|1").arg(QDate(2026, 12, 7).toJulianDay() - QDate(1899, 12, 30).toJulianDay()));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT MessageID, TavrelJobID FROM EmailLink")),
              QStringLiteral("<m1@shop.test>|%1").arg(jobId));

    // Once more as a quote: the saved-jobs filter grows.
    order = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Item Description: Flyers")}));
    order->m_strSavedJobs = QStringLiteral("JobID = %1").arg(jobId);
    prompts().answer(platform::IDYES);
    ASSERT_TRUE(order->SaveOrder(1, true));
    EXPECT_EQ(prompts().texts(),
              QStringList{QStringLiteral("This email was saved before.\nDo you want to save it as a new Quote?")});
    EXPECT_EQ(order->m_strSavedJobs, QStringLiteral("JobID = %1 or JobID = %2").arg(jobId).arg(order->m_nLinkedJobId));
    // "Flyers" without reference: template 999's item 1, priced in full.
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Subtotal, Cost FROM Jobs WHERE JobID = %1").arg(order->m_nLinkedJobId)),
              QStringLiteral("50|18"));
    prompts().answer(platform::IDNO);
    EXPECT_FALSE(order->SaveOrder(0, true));
}

TEST_F(WebOrdersTest, ItemsWithoutATemplateAreMadeFromScratch)
{
    exec(QStringLiteral("DELETE FROM Items WHERE JobID = 9001"));
    auto order = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Item Description: Labels"),
                             QStringLiteral("Item Description: Business cards"),
                             QStringLiteral("Item Template No: 50-1"), QStringLiteral("Item Quantity: 500"),
                             QStringLiteral("Item Description: Stickers"), QStringLiteral("Item Quantity: 4 x 300")}));
    ASSERT_TRUE(order->SaveOrder(0, false));
    EXPECT_TRUE(order->m_strStatus.endsWith(QStringLiteral(". Added 3 Item(s). "))) << order->m_strStatus.toStdString();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ItemNo, SerNo, Description, ChargeQty, Sheets, Up FROM Items WHERE JobID = %1 "
                                    "ORDER BY ItemNo, SerNo")
                         .arg(order->m_nLinkedJobId)),
              QStringLiteral("1|0|Labels|1|1|0\n"
                             "2|0|Business cards|500|2|-9201\n"
                             "2|701|Press run|500|2|0\n"
                             "3|0|Stickers|300|4|0"));
}

TEST_F(WebOrdersTest, AFailingItemLeavesNothingBehind)
{
    SharedDatabase().executeNative(QStringLiteral(
        "CREATE TRIGGER refuse_second_item BEFORE INSERT ON Items WHEN NEW.ItemNo = 2 "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    auto order = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Item Description: One"),
                             QStringLiteral("Item Description: Two"), QStringLiteral("Item Description: Three")}));
    order->m_strMessageId = QStringLiteral("<m2@shop.test>");
    const QString before = dump();
    prompts().clear();
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(order->SaveOrder(0, false));
    // The database is byte for byte as it was: no job, item, link or job number.
    const QString after = dump();
    QStringList changed;
    const QStringList a = before.split(QLatin1Char('\n')), b = after.split(QLatin1Char('\n'));
    for (const QString &line : b)
        if (!a.contains(line))
            changed << QStringLiteral("+ ") + line;
    for (const QString &line : a)
        if (!b.contains(line))
            changed << QStringLiteral("- ") + line;
    EXPECT_EQ(changed.join(QLatin1Char('\n')), QString());
    EXPECT_EQ(after, before);
    ASSERT_FALSE(prompts().texts().isEmpty());
    EXPECT_EQ(prompts().texts().last(), QStringLiteral("The email could not be saved as Order. Nothing of it was "
                                                       "written; the order is still here to be saved again."));
    // The order is still there and can be saved once the fault is gone.
    EXPECT_EQ(order->m_items.size(), 3);
    EXPECT_EQ(order->m_jobSet.m_CusNo, 202);
    EXPECT_EQ(order->m_jobSet.m_JobNo, 0);
    SharedDatabase().executeNative(QStringLiteral("DROP TRIGGER refuse_second_item"));
    ASSERT_TRUE(order->SaveOrder(0, false));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT COUNT(*) FROM Items WHERE JobID = %1 AND SerNo = 0").arg(order->m_nLinkedJobId)),
              QStringLiteral("3"));
}

TEST_F(WebOrdersTest, QuantitiesThatAreNoCountOfCopiesAreRefusedAndControlCharactersDropped)
{
    struct Case
    {
        QStringList lines;
        QString refused;        // the quantity as the message quotes it
        bool originals = false; // the originals are refused
        bool xml = false;       // also written as an XML order's quantity
    };
    const Case cases[] = {
        {{QStringLiteral("Item Quantity: -5 x -7")}, QStringLiteral("-5 x -7"), false, true},
        {{QStringLiteral("Item Quantity: -5")}, QStringLiteral("-5"), false, true},
        {{QStringLiteral("Item Quantity: 0")}, QStringLiteral("0"), false, true},
        {{QStringLiteral("Item Quantity: 0 x 0")}, QStringLiteral("0 x 0"), false, true},
        // Copies times originals: neither may be 0 (saved before as 2 copies of 0 originals).
        {{QStringLiteral("Item Quantity: 2 x 0")}, QStringLiteral("2 x 0"), false, true},
        {{QStringLiteral("Item Quantity: 0 x 2")}, QStringLiteral("0 x 2"), false, true},
        {{QStringLiteral("Item Quantity: 500X0")}, QStringLiteral("500X0"), false, true},
        {{QStringLiteral("Item Quantity: 99999999999")}, QStringLiteral("99999999999"), false, true},
        {{QStringLiteral("Item Quantity: 2,147,483,648")}, QStringLiteral("2,147,483,648"), false, true},
        {{QStringLiteral("Item Quantity: 2147483648 x 2")}, QStringLiteral("2147483648 x 2"), false, true},
        {{QStringLiteral("Item Quantity: 2 X 500 X 3")}, QStringLiteral("2 X 500 X 3"), false, true},
        {{QStringLiteral("Item Quantity: 10"), QStringLiteral("Item Originals: -3")}, QStringLiteral("-3"), true},
        // Read as some other count before: 1, 1, 1, 0 and 1 (in XML orders
        // 1, 1, 1, 1 and 1).
        {{QStringLiteral("Item Quantity: 1.000,5")}, QStringLiteral("1.000,5"), false, true},
        {{QStringLiteral("Item Quantity: 1 000")}, QStringLiteral("1 000"), false, true},
        {{QStringLiteral("Item Quantity: 1e9")}, QStringLiteral("1e9"), false, true},
        {{QStringLiteral("Item Quantity: abc")}, QStringLiteral("abc"), false, true},
        {{QStringLiteral("Item Quantity: 1,00")}, QStringLiteral("1,00"), false, true},
        {{QStringLiteral("Item Quantity: 1000,000")}, QStringLiteral("1000,000"), false, true},
        {{QStringLiteral("Item Quantity: 10"), QStringLiteral("Item Originals: 2.5")}, QStringLiteral("2.5"), true},
        // A product, a range or a sum: read as 2, 500 and 10 before.
        {{QStringLiteral("Item Quantity: 2 * 500")}, QStringLiteral("2 * 500"), false, true},
        {{QStringLiteral("Item Quantity: 500 - 1000")}, QStringLiteral("500 - 1000"), false, true},
        {{QStringLiteral("Item Quantity: 4 x 500 + 50")}, QStringLiteral("4 x 500 + 50"), false, true},
        {{QStringLiteral("Item Quantity: 10"), QStringLiteral("Item Originals: 1 / 2")}, QStringLiteral("1 / 2"), true},
        // Past the largest count: its sheets and presses' hours would wrap.
        {{QStringLiteral("Item Quantity: 1073741824")}, QStringLiteral("1073741824"), false, true},
        {{QStringLiteral("Item Quantity: 1,000,000,001")}, QStringLiteral("1,000,000,001"), false, true},
        {{QStringLiteral("Item Quantity: 2,147,483,647")}, QStringLiteral("2,147,483,647"), false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.refused.toStdString());
        std::vector<std::unique_ptr<CWebOrder>> orders;
        orders.push_back(parse(Mail(QStringList{QStringLiteral("Customer No: 202"), QStringLiteral("Item Description: Flyers")}
                                    + c.lines + QStringList{QStringLiteral("Item Description: Cards"),
                                                            QStringLiteral("Item Quantity: 1000000000 x 0002")})));
        if (c.xml)
            orders.push_back(parseXml(xmlItem(QStringLiteral("Flyers"), c.refused)
                                      + xmlItem(QStringLiteral("Cards"), QStringLiteral("1000000000 X 0002"))));
        for (const auto &order : orders) {
            const QString before = dump();
            prompts().clear();
            prompts().answer(platform::IDOK);
            EXPECT_FALSE(order->SaveOrder(0, false));
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("Item 1 cannot be saved: \"%1\" is not a number of %2 to "
                                                 "1,000,000,000.\n\nCorrect the quantity in the order before saving it.")
                                      .arg(c.refused, c.originals ? QStringLiteral("originals from 0")
                                                                  : QStringLiteral("copies from 1"))});
            EXPECT_EQ(dump(), before);
            // The largest count there is, with its originals, stands.
            ASSERT_EQ(order->m_items.size(), 2);
            EXPECT_EQ(order->m_items[1].quantity, 1000000000);
            EXPECT_EQ(order->m_items[1].originals, 2);
            EXPECT_TRUE(order->m_items[1].badQuantity.isEmpty());
        }
    }

    // An order in which no item is found is never saved as an empty job.
    for (const auto &order : {parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Job Title: Cards")})),
                              parseXml("<Note>no items</Note>\n")}) {
        const QString before = dump();
        prompts().clear();
        prompts().answer(platform::IDOK);
        EXPECT_FALSE(order->SaveOrder(0, false));
        EXPECT_EQ(prompts().texts(),
                  QStringList{QStringLiteral("This order cannot be saved: no item was found in it (an item begins with "
                                             "\"%1\").\n\nCheck the order's text, or enter the order as a new job.")
                                  .arg(order->m_keys.ItemStartLabel())});
        EXPECT_EQ(dump(), before);
    }

    // A NUL or another control character in the text is dropped.
    auto order = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Item Description: Fly") + QChar(0)
                                                                     + QStringLiteral("ers") + QChar(7) + QChar(0x1b)}));
    ASSERT_EQ(order->m_items.size(), 1);
    EXPECT_EQ(order->m_items[0].description, QStringLiteral("Flyers"));
}

TEST_F(WebOrdersTest, AWholeOrderOnOneLineIsReadItemByItem)
{
    // Some ten thousand items on one line of a megabyte: each field ends
    // where the next item starts (and the text is read once, not once per
    // item; the time it takes is measured in the benchmarks).
    QString line = QStringLiteral("Customer No: 202 ");
    int items = 0;
    while (line.size() < 1024 * 1024) {
        ++items;
        line += QStringLiteral("Item Description: Card %1 Item Quantity: %2 Item Price: 1.50 Item Note 01: matte ")
                    .arg(items)
                    .arg(items % 900 + 100);
    }
    // An order holds 255 items: the rest are counted, said and left.
    prompts().answer(platform::IDOK);
    const auto order = parse(line);
    ASSERT_EQ(order->m_items.size(), 255);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("This order lists %1 items; an order holds at most 255.\n\n"
                                                   "Only the first 255 items are read.")
                                        .arg(items));
    // A field runs to the end of its line, colons of the labels in it kept.
    EXPECT_EQ(order->m_items[0].description,
              QStringLiteral("Card 1 Item Quantity: 101 Item Price: 1.50 Item Note 01: matte"));
    EXPECT_EQ(order->m_items[0].quantity, 101);
    EXPECT_EQ(order->m_items[0].price, QStringLiteral("1.50 Item Note 01: matte"));
    EXPECT_EQ(order->m_items[0].note, QStringLiteral("Item Note 01: matte"));
    EXPECT_EQ(order->m_items.last().quantity, 355);
    EXPECT_EQ(order->m_items.last().note, QStringLiteral("Item Note 01: matte"));
}

TEST_F(WebOrdersTest, APreparedBuyerIsNotSavedButGetsTheReply)
{
    const QString folder = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(folder);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    CMail::setAttachmentWait(0);
    app->emailSettings().Address = QStringLiteral("orders@print.test");
    app->emailSettings().Outgoing = server.url();
    app->emailSettings().AutoReply = 1;
    app->setMailSender([](const QString &to, const QString &subject, const QString &text, const QString &file) {
        CMail mail;
        return mail.Send(to, subject, text, file);
    });
    onDialog<CMailCompose>([](CMailCompose &d) {
        d.SendCommand(1);
        return 1;
    });
    auto order = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Contact Name: Zed Newman"),
                             QStringLiteral("Contact Email: zed@new.test"), QStringLiteral("Item Description: Labels")}));
    ASSERT_TRUE(order->SaveOrder(0, false));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT BuyerNo FROM Jobs WHERE JobID = %1").arg(order->m_nLinkedJobId)),
              QStringLiteral("0"));
    EXPECT_EQ(ReadBytes(folder + QStringLiteral("/1.env")), QByteArray("orders@print.test\nzed@new.test\n"));
    EXPECT_TRUE(ReadBytes(folder + QStringLiteral("/1.eml")).contains("Subject: New Email " + order->m_strLabel.toUtf8()));
}

TEST_F(WebOrdersTest, LinkedFilesAreFetchedOnlyWhenAsked)
{
    const QString root = tempPath(QStringLiteral("web"));
    QDir().mkpath(root);
    WriteBytes(root + QStringLiteral("/art.pdf"), "%PDF-1.4 artwork");
    testservers::HttpServer server(root);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    const QString downloads = tempPath(QStringLiteral("DownloadTo"));
    QDir().mkpath(downloads);
    app->emailSettings().DownloadTo = downloads;
    app->emailSettings().AutoByCus = 0;
    const QString text = Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Item Description: Poster"),
                               QStringLiteral("Artwork: <") + server.url() + QStringLiteral("art.pdf>")});

    app->emailSettings().AutoDownload = 0;
    auto order = parse(text);
    ASSERT_TRUE(order->SaveOrder(0, false));
    EXPECT_FALSE(order->m_strStatus.contains(QStringLiteral("Downloaded")));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT COUNT(*) FROM Samples")), QStringLiteral("0"));

    app->emailSettings().AutoDownload = 1;
    order = parse(text);
    ASSERT_TRUE(order->SaveOrder(0, false));
    EXPECT_TRUE(order->m_strStatus.endsWith(QStringLiteral(". Added 1 Item(s). Downloaded 1 file(s). ")))
        << order->m_strStatus.toStdString();
    const QString itemId =
        sqlite(QStringLiteral("SELECT ItemID FROM Items WHERE JobID = %1 AND SerNo = 0").arg(order->m_nLinkedJobId));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ItemID, Path FROM Samples")),
              itemId + QLatin1Char('|') + QDir(downloads).filePath(QStringLiteral("art.pdf")));
    EXPECT_EQ(ReadBytes(QDir(downloads).filePath(QStringLiteral("art.pdf"))), QByteArray("%PDF-1.4 artwork"));
}

TEST_F(WebOrdersTest, TheCatchAllTemplateGivesItsFirstItem)
{
    // Template 999 has no item 2: its item 1 is copied, not an empty item.
    auto order = parse(Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Item Description: Banner"),
                             QStringLiteral("Item Template No: 999-2")}));
    ASSERT_TRUE(order->SaveOrder(0, false));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ItemNo, SerNo, Up FROM Items WHERE JobID = %1 ORDER BY SerNo")
                         .arg(order->m_nLinkedJobId)),
              QStringLiteral("1|0|-9101\n1|700|0\n1|701|0"));
}

// --- the window -----------------------------------------------------------------

TEST_F(WebOrdersTest, DemoLogonListsTheSampleMailsAndSavedOnesShowGrey)
{
    app->emailSettings().LogonName = QStringLiteral("demo");
    app->emailSettings().Address = QStringLiteral("orders@print.test");
    app->SaveEmailSettings();
    CEmailRead reader(nullptr);
    prompts().onDialog([&](QDialog &) {
        reader.OnReceive();
        EXPECT_EQ(reader.m_listMessages.GetItemCount(), 2);
        EXPECT_EQ(reader.StatusText(), QStringLiteral("Received 2 emails"));
        EXPECT_EQ(reader.windowTitle(), QStringLiteral("Quorwin - orders@print.test"));
        EXPECT_EQ(reader.m_listMessages.GetItemText(0, 1), QStringLiteral("Harbor Lane Bakery"));
        EXPECT_EQ(reader.m_listMessages.GetItemText(1, 2), QStringLiteral("Owen Marsh"));
        EXPECT_EQ(reader.m_listMessages.GetItemText(0, 3), QStringLiteral("Order Received"));
        // Headings do not sort: row n stays message n.
        emit reader.m_listMessages.header()->sectionClicked(1);
        emit reader.m_listMessages.header()->sectionClicked(1);
        EXPECT_EQ(reader.m_listMessages.GetItemText(0, 1), QStringLiteral("Harbor Lane Bakery"));
        // A click reads the message once.
        const QRect cell = reader.m_listMessages.visualRect(reader.m_listMessages.model()->index(0, 1));
        QTest::mouseClick(reader.m_listMessages.viewport(), Qt::LeftButton, {}, cell.center());
        EXPECT_EQ(reader.m_nCurrent, 0);
        EXPECT_EQ(reader.m_order.m_jobSet.m_CusNo, 202);
        EXPECT_EQ(reader.m_order.m_items.size(), 2) ;
        EXPECT_EQ(reader.m_listItems.GetItemCount(), 4);
        EXPECT_EQ(reader.m_listItems.GetItemText(0, 6),
                  QStringLiteral("http://files.brightline-print.example/w10482/menu.pdf"));
        EXPECT_EQ(reader.m_listItems.GetItemText(2, 2), QStringLiteral("10"));
        EXPECT_EQ(reader.m_listItems.GetItemText(2, 3), QStringLiteral("2"));
        TavrelTest::SaveSnapshot(reader, QStringLiteral("exchange"), QStringLiteral("weborder-reader"));
        // The reference editor: a job that does not exist is said so.
        onDialog<CDlgData>([](CDlgData &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("How to Create Item"));
            d.m_strValue = QStringLiteral("888-1T");
            d.edit()->setText(QStringLiteral("888-1T"));
            return 1001;
        });
        prompts().answer(platform::IDOK);
        reader.OnItemListDblClk(0, 5);
        EXPECT_EQ(reader.m_listItems.GetItemText(0, 5), QStringLiteral("888-1T"));
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot find Template 888"));
        reader.m_order.m_items[0].jobItem = QStringLiteral("999-1");
        reader.SaveOrder(0);
        EXPECT_TRUE(reader.StatusText().startsWith(QStringLiteral("Saved the email as Order "))) << reader.StatusText().toStdString();
        EXPECT_EQ(reader.m_listMessages.GetItemImage(0), 216);
        // Receive again: the saved message is grey and opens its job.
        reader.OnReceive();
        EXPECT_EQ(reader.m_listMessages.GetItemImage(0), 216);
        EXPECT_EQ(reader.m_listMessages.GetItemImage(1), 215);
        reader.SelectMessage(0);
        EXPECT_NE(reader.m_order.m_nLinkedJobId, 0);
        // Open Job takes the job for this workstation while it is open.
        const qint32 jobId = reader.m_order.m_nLinkedJobId;
        onDialog<CJobDlg>([&](CJobDlg &) {
            CJobSet job;
            EXPECT_TRUE(job.FindById(jobId));
            EXPECT_TRUE(job.IsLocked());
            return 2;
        });
        // The job window's check of missing data as it opens.
        onDialog<CDlgOptions>([](CDlgOptions &) { return 2; });
        reader.OnOpenJob();
        CJobSet job;
        EXPECT_TRUE(job.FindById(jobId));
        EXPECT_FALSE(job.IsLocked());
        TavrelTest::SaveSnapshot(reader, QStringLiteral("exchange"), QStringLiteral("weborder-reader-saved"));
        return 2;
    });
    reader.DoModal();
    EXPECT_FALSE(reader.m_order.m_strSavedJobs.isEmpty());
}

TEST_F(WebOrdersTest, KeyFieldEditorWritesEveryLine)
{
    CEmailRead reader(nullptr);
    prompts().onDialog([&](QDialog &) {
        onDialog<CDlgGrid>([](CDlgGrid &grid) {
            EXPECT_EQ(grid.m_wndGrid.GetCellText(1, 0), QStringLiteral("Customer Name:"));
            grid.m_wndGrid.SetCellText(1, 1, QStringLiteral("Company:"));
            grid.m_wndGrid.SetCellText(26, 1, QStringLiteral("Product:"));
            TavrelTest::SaveSnapshot(grid, QStringLiteral("exchange"), QStringLiteral("weborder-keyfields"));
            return 1;
        });
        reader.OnKeyFields();
        EXPECT_EQ(reader.m_order.m_keys[1], QStringLiteral("Company:"));
        // A cleared cell gives its default back.
        onDialog<CDlgGrid>([](CDlgGrid &grid) {
            EXPECT_EQ(grid.m_wndGrid.GetCellText(1, 1), QStringLiteral("Company:"));
            grid.m_wndGrid.SetCellText(1, 1, QString());
            return 1;
        });
        reader.OnKeyFields();
        return 2;
    });
    reader.DoModal();
    EXPECT_EQ(reader.m_order.m_keys[1], QStringLiteral("Customer Name:"));
    EXPECT_EQ(KeyFieldFilePath(false), tempPath(QStringLiteral("MyKeyFields.txt")));
    const QByteArray file = ReadBytes(KeyFieldFilePath(false));
    EXPECT_EQ(file.count("\r\n"), 47);
    EXPECT_TRUE(file.contains("\r\nCustomer Name:\r\n"));
    EXPECT_TRUE(file.contains("\r\nProduct:\r\n"));
}

TEST_F(WebOrdersTest, AnIncomingFolderListsXmlOrders)
{
    const QString folder = tempPath(QStringLiteral("orders"));
    QDir().mkpath(folder);
    WriteBytes(folder + QStringLiteral("/order1.xml"),
               "<?xml version=\"1.0\"?>\n<OrderRequest><Note>Customer No: 202</Note>\n"
               "<ItemOut quantity=\"250\"><ItemID><SupplierPartID>50-1T</SupplierPartID></ItemID>"
               "<ItemDetail><Description>Cards</Description><URL>http://shop.test/c.pdf</URL></ItemDetail>"
               "<UnitPrice>0.10</UnitPrice></ItemOut>\n"
               "<ItemOut><ItemID><SupplierPartID/></ItemID><ItemDetail><Description>Flyers</Description></ItemDetail>"
               "</ItemOut>\n</OrderRequest>\n");
    app->emailSettings().LogonName.clear();
    app->emailSettings().Incoming = folder;
    app->SaveEmailSettings();
    CEmailRead reader(nullptr);
    prompts().onDialog([&](QDialog &) {
        EXPECT_EQ(reader.m_nSource, int(WebOrderSource::XmlFiles));
        reader.OnReceive();
        EXPECT_EQ(reader.m_listMessages.GetColumnText(0), QStringLiteral("File Name"));
        EXPECT_EQ(reader.m_listMessages.GetColumnText(3), QStringLiteral("Full Path"));
        EXPECT_EQ(reader.m_listMessages.GetItemCount(), 1);
        EXPECT_EQ(reader.m_listMessages.GetItemText(0, 0), QStringLiteral("order1.xml"));
        // A click reads the message once.
        const QRect cell = reader.m_listMessages.visualRect(reader.m_listMessages.model()->index(0, 1));
        QTest::mouseClick(reader.m_listMessages.viewport(), Qt::LeftButton, {}, cell.center());
        EXPECT_EQ(reader.m_nCurrent, 0);
        EXPECT_EQ(reader.m_order.m_jobSet.m_CusNo, 202);
        EXPECT_EQ(reader.m_order.m_jobSet.m_Title, QStringLiteral("Cards"));
        EXPECT_EQ(reader.m_listItems.GetItemCount(), 4);
        EXPECT_EQ(reader.m_listItems.GetItemText(0, 2), QStringLiteral("250"));
        EXPECT_EQ(reader.m_listItems.GetItemText(0, 4), QStringLiteral("0.10"));
        EXPECT_EQ(reader.m_listItems.GetItemText(0, 5), QStringLiteral("50-1T"));
        EXPECT_EQ(reader.m_listItems.GetItemText(0, 6), QStringLiteral("http://shop.test/c.pdf"));
        EXPECT_EQ(reader.m_listItems.GetItemText(2, 2), QStringLiteral("1"));
        EXPECT_EQ(reader.m_listItems.GetItemText(2, 5), QStringLiteral("999-1"));
        // Another source later: the columns are named for mails again.
        app->emailSettings().Incoming = QStringLiteral("mail.example.com");
        app->emailSettings().LogonName = QStringLiteral("demo-shop");
        reader.OnReceive();
        EXPECT_EQ(reader.m_listMessages.GetColumnText(0), QStringLiteral("From"));
        EXPECT_EQ(reader.m_listMessages.GetColumnText(3), QStringLiteral("Subject"));
        EXPECT_EQ(reader.m_listMessages.GetItemCount(), 2);
        return 2;
    });
    reader.DoModal();
}

TEST_F(WebOrdersTest, XmlOrdersFromAFolderAndAnFtpSiteFindCustomerBuyerAndShipTo)
{
    // The default key paths: the customer's name, the buyer's e-mail and the
    // street of the ship-to address.
    exec(QStringLiteral("UPDATE Contacts SET Email = 'nora@harbor.test' WHERE ContactNo = 3002"));
    const QByteArray xml =
        "<?xml version=\"1.0\"?>\n<OrderRequest>\n"
        "<From><Credential><Identity>Harbor Lane Bakery</Identity></Credential></From>\n"
        "<BillTo><Address><Email>nora@harbor.test</Email><Phone>555-0101</Phone>"
        "<PostalAddress><Street>123 Main St</Street></PostalAddress></Address></BillTo>\n"
        "<ItemOut quantity=\"500\"><ItemID><SupplierPartID>50-1T</SupplierPartID></ItemID>"
        "<ItemDetail><Description>Cards</Description></ItemDetail><UnitPrice>0.10</UnitPrice></ItemOut>\n"
        "</OrderRequest>\n";
    const QString site = tempPath(QStringLiteral("site"));
    // A folder and a file whose names need escaping in an address.
    QDir().mkpath(site + QStringLiteral("/web orders"));
    WriteBytes(site + QStringLiteral("/web orders/order 7.xml"), xml);
    testservers::FtpServer server(site);
    ASSERT_TRUE(server.started()) << server.error().toStdString();

    const QString folder = QDir::toNativeSeparators(site + QStringLiteral("/web orders"));
    const QString ftp = server.host() + QStringLiteral("\\web orders");
    for (const QString &incoming : {folder, ftp}) {
        SCOPED_TRACE(incoming.toStdString());
        app->emailSettings().LogonName.clear();
        app->emailSettings().Incoming = incoming;
        app->SaveEmailSettings();
        prompts().clear();
        CEmailRead reader(nullptr);
        prompts().onDialog([&](QDialog &) {
            EXPECT_EQ(reader.m_nSource, int(WebOrderSource::XmlFiles));
            reader.OnReceive();
            EXPECT_EQ(reader.m_listMessages.GetItemCount(), 1);
            reader.SelectMessage(0);
            const CJobSet &job = reader.m_order.m_jobSet;
            EXPECT_EQ(job.m_CusNo, 202);
            EXPECT_EQ(job.m_BuyerNo, 3002);
            EXPECT_EQ(job.m_ShiptoNo, 402);
            EXPECT_EQ(job.m_Title, QStringLiteral("Cards"));
            EXPECT_EQ(reader.m_listItems.GetItemText(0, 2), QStringLiteral("500"));
            EXPECT_EQ(reader.m_listItems.GetItemText(0, 5), QStringLiteral("50-1T"));
            return 2;
        });
        reader.DoModal();
        // The reader alone was shown: no question about the customer.
        EXPECT_EQ(prompts().shown().size(), 1) << prompts().lastText().toStdString();
    }
}

TEST_F(WebOrdersTest, AMailboxRunFillsTheListWhenItEnds)
{
    testservers::PopServer server(QStringLiteral("s3cret"));
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    ASSERT_TRUE(server.addMessage(QStringLiteral("1"),
                                  "From: Web Shop <web@shop.test>\r\nTo: orders@print.test\r\nSubject: Order 77\r\n"
                                  "Date: Mon, 7 Dec 2026 08:00:00 +0000\r\nMessage-Id: <77@shop.test>\r\n"
                                  "Content-Type: text/plain; charset=us-ascii\r\n\r\nCustomer No: 202\r\n"
                                  "Contact Name: Nora Quill\r\nItem Description: Door hangers\r\nItem Quantity: 1000\r\n"));
    // An order whose name is beyond ASCII, quoted-printable in UTF-8.
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusID) VALUES (204, 'Müller Druck', 'MUE')"));
    ASSERT_TRUE(server.addMessage(QStringLiteral("2"),
                                  "From: web@shop.test\r\nSubject: Order 78\r\nMessage-Id: <78@shop.test>\r\n"
                                  "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable"
                                  "\r\n\r\nCustomer Name: M=C3=BCller Druck\r\nItem Description: Gr=C3=BC=C3=9Fe=\r\n"
                                  "karten\r\nItem Quantity: 2 X 500\r\n"));
    app->emailSettings().LogonName = QStringLiteral("shop");
    app->emailSettings().LogonPass = QStringLiteral("s3cret");
    app->emailSettings().Incoming = QStringLiteral("127.0.0.1:%1").arg(server.port());
    app->SaveEmailSettings();
    CEmailRead reader(nullptr);
    prompts().onDialog([&](QDialog &) {
        EXPECT_EQ(reader.m_nSource, int(WebOrderSource::Mailbox));
        QEventLoop loop;
        QObject::connect(&reader.m_socket, &CEmailSocket::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        reader.OnReceive();
        loop.exec();
        EXPECT_EQ(reader.m_listMessages.GetItemCount(), 2);
        EXPECT_EQ(reader.m_listMessages.GetItemText(0, 0), QStringLiteral("Web Shop web@shop.test"));
        EXPECT_EQ(reader.m_listMessages.GetItemText(0, 2), QStringLiteral("Nora Quill"));
        EXPECT_EQ(reader.m_listMessages.GetItemText(0, 3), QStringLiteral("Order 77"));
        EXPECT_EQ(reader.m_listMessages.GetItemText(1, 1), QStringLiteral("Müller Druck"));
        EXPECT_TRUE(reader.m_strLog.startsWith(QStringLiteral("Receive button clicked.\r\nCreated the socket.\r\n")))
            << reader.m_strLog.toStdString();
        reader.SelectMessage(0);
        EXPECT_EQ(reader.m_order.m_jobSet.m_BuyerNo, 3002);
        EXPECT_EQ(reader.m_order.m_strMessageId, QStringLiteral("77@shop.test"));
        EXPECT_EQ(reader.m_order.m_items.size(), 1);
        if (!reader.m_order.m_items.isEmpty())
            EXPECT_EQ(reader.m_order.m_items[0].quantity, 1000);
        reader.SelectMessage(1);
        EXPECT_EQ(reader.m_order.m_jobSet.m_CusNo, 204);
        EXPECT_EQ(reader.m_order.m_jobSet.m_Title, QStringLiteral("Grüßekarten"));
        EXPECT_EQ(reader.m_order.m_items.size(), 1);
        if (!reader.m_order.m_items.isEmpty())
            EXPECT_EQ(reader.m_order.m_items[0].quantity, 500);
        reader.SelectMessage(0);
        // The status line shows the receive log.
        onDialog<CNoteDlg>([](CNoteDlg &log) {
            EXPECT_EQ(log.m_strRibbonTitle, QStringLiteral("Traced"));
            EXPECT_TRUE(log.m_strNote.startsWith(QStringLiteral("Receive button clicked.")));
            return 2;
        });
        reader.SendCommand(30282);
        // Delete on the list: the run has ended, so the mail stays and the
        // user is told why.
        prompts().clear();
        prompts().answer(platform::IDOK);
        QTest::keyClick(&reader.m_listMessages, Qt::Key_Delete);
        EXPECT_EQ(prompts().texts().value(0).left(36), QStringLiteral("The mailbox is no longer connected: "));
        EXPECT_EQ(server.messageCount(), 2);
        return 2;
    });
    reader.DoModal();
}

// With "Delete emails from the server" set, an order leaves the mailbox
// only once it is saved as a job: a second Receive, closing the window or a
// crash after receiving (the process gone, nothing saved) loses none; the
// mail of a saved order goes at the next Receive.
TEST_F(WebOrdersTest, WithDeleteSetAnOrderLeavesTheServerOnlyOnceSaved)
{
    testservers::PopServer server(QStringLiteral("s3cret"));
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    // Orders 2 and 3 come from a form mailer that writes no Message-ID.
    for (int n = 1; n <= 3; ++n)
        ASSERT_TRUE(server.addMessage(QString::number(n),
                                      QStringLiteral("From: web@shop.test\r\nSubject: Order %1\r\n%2"
                                                     "\r\nCustomer No: 202\r\nItem Description: Cards %1\r\n"
                                                     "Item Quantity: 100\r\n")
                                          .arg(n)
                                          .arg(n == 1 ? QStringLiteral("Message-Id: <1@shop.test>\r\n") : QString())
                                          .toLatin1()));
    app->emailSettings().LogonName = QStringLiteral("shop");
    app->emailSettings().LogonPass = QStringLiteral("s3cret");
    app->emailSettings().Incoming = QStringLiteral("127.0.0.1:%1").arg(server.port());
    app->emailSettings().AutoDelete = 1;
    app->SaveEmailSettings();
    const auto receive = [](CEmailRead &reader) {
        QEventLoop loop;
        QObject::connect(&reader.m_socket, &CEmailSocket::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        reader.OnReceive();
        if (!reader.m_socket.IsEnded())
            loop.exec();
        // The server takes a moment to drop what a QUIT deleted.
        QEventLoop settle;
        QTimer::singleShot(300, &settle, &QEventLoop::quit);
        settle.exec();
    };
    struct Step
    {
        const char *what;
        bool saveFirst; // the first unsaved message is saved as an order before
        int listed;     // messages in the window's list after the Receive
        int left;       // messages on the server after it
        int grey;       // of them shown as saved (-1: not looked at)
        bool deleteJob = false; // the saved order's job then deleted by another user
    };
    const Step steps[] = {
        {"first Receive", false, 3, 3, 0},
        {"a second Receive", false, 3, 3, 0},
        {"a saved order, kept until the next Receive", true, 3, 3, 0},
        {"the next Receive deletes the saved one only", false, 3, 2, 1},
        {"it is gone", false, 2, 2, 0},
        {"an order without a Message-ID saved", true, 2, 2, 0},
        {"is shown as saved and deleted at the next Receive", false, 2, 1, 1},
        {"and is gone too", false, 1, 1, 0},
        // Saved means in the shop file: a mail whose job was deleted since
        // is no saved order.
        {"the last order saved and its job deleted", true, 1, 1, -1, true},
        {"a mail whose job is gone stays on the server", false, 1, 1, -1},
    };
    QString savedId;
    CEmailRead reader(nullptr);
    prompts().onDialog([&](QDialog &) {
        for (const Step &step : steps) {
            SCOPED_TRACE(step.what);
            if (step.saveFirst) {
                reader.SelectMessage(0);
                savedId = reader.m_order.m_strMessageId;
                reader.SaveOrder(0);
                EXPECT_GT(reader.m_order.m_nLinkedJobId, 0) << reader.StatusText().toStdString();
                EXPECT_EQ(server.messageCount(), reader.m_listMessages.GetItemCount());
                if (step.deleteJob)
                    exec(QStringLiteral("DELETE FROM Jobs WHERE JobID = %1").arg(reader.m_order.m_nLinkedJobId));
                continue;
            }
            receive(reader);
            EXPECT_EQ(reader.m_listMessages.GetItemCount(), step.listed) << reader.m_strLog.toStdString();
            EXPECT_EQ(server.messageCount(), step.left);
            int grey = 0;
            for (int row = 0; row < reader.m_listMessages.GetItemCount(); ++row)
                grey += reader.m_listMessages.GetItemImage(row) == 216 ? 1 : 0;
            if (step.grey >= 0)
                EXPECT_EQ(grey, step.grey);
            if (step.left == 3)
                EXPECT_TRUE(reader.m_strLog.contains(
                    QStringLiteral("Email 1 is not saved as an order or quote yet: it stays on the server.")));
        }
        return 2;
    });
    reader.DoModal();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Jobs WHERE JobType = 0")), QStringLiteral("2"));
    EXPECT_EQ(savedId.startsWith(QLatin1String("no-id-")), true);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM EmailLink")), QStringLiteral("3"));

    // A crash right after a Receive finds every unsaved order still on the
    // server; so does closing the window.
    CEmailRead other(nullptr);
    prompts().onDialog([&](QDialog &) {
        receive(other);
        EXPECT_EQ(other.m_listMessages.GetItemCount(), 1);
        EXPECT_EQ(server.messageCount(), 1);
        return 2;
    });
    other.DoModal();
    EXPECT_EQ(server.messageCount(), 1);
}

TEST_F(WebOrdersTest, ThePanelButtonsCorrectTheLinks)
{
    CEmailRead reader(nullptr);
    prompts().onDialog([&](QDialog &) {
        reader.m_order.m_strMailText = Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Shipto Address: 9 Dock"),
                                             QStringLiteral("Contact Name: Ann Other"), QStringLiteral("Item Description: X")});
        reader.m_order.ParseTextOrder();
        reader.ShowOrder();
        EXPECT_EQ(reader.m_wndPanel.GetItemText(30408), QStringLiteral("New Ship To (click to add)..."));
        EXPECT_EQ(reader.m_wndPanel.GetItemText(30411), QStringLiteral("New Buyer (click to add)..."));
        // Ship To: the new address's dialog first, then the customer's list.
        onDialog<CShiptoDlg>([](CShiptoDlg &) { return 2; });
        onDialog<CShiptoList>([](CShiptoList &list) {
            list.m_nShiptoNo = 402;
            return 1;
        });
        reader.SendCommand(30408);
        EXPECT_EQ(reader.m_order.m_jobSet.m_ShiptoNo, 402);
        EXPECT_EQ(reader.m_wndPanel.GetItemText(30408), QStringLiteral("Ship To..."));
        // Bill To another customer: ship-to and buyer are looked up there.
        onDialog<CDlgList>([](CDlgList &picker) {
            EXPECT_EQ(picker.m_nChosenId, 202);
            picker.m_nChosenId = 203;
            return 1;
        });
        reader.SendCommand(30407);
        EXPECT_EQ(reader.m_order.m_jobSet.m_CusNo, 203);
        EXPECT_EQ(reader.m_wndPanel.GetItemText(30407), QStringLiteral("Bill to Customer No: 203..."));
        EXPECT_EQ(reader.m_order.m_jobSet.m_BuyerNo, 3001);
        EXPECT_EQ(reader.m_wndPanel.GetItemText(30411), QStringLiteral("Ordered by..."));
        return 2;
    });
    reader.DoModal();
}

// A short seeded run of odd orders through both parsers: whatever the text
// or file holds, each gives an order whose items are counts or refusals
// (never some other number), and a refused order saves nothing. The seed is
// fixed (TAVREL_FUZZ_SEED picks another) so a finding can be replayed.
TEST_F(WebOrdersTest, OddOrdersGiveAnOrderOrARefusal)
{
    const QByteArray seedText = qgetenv("TAVREL_FUZZ_SEED");
    std::mt19937 rng(seedText.isEmpty() ? 20111u : unsigned(seedText.toUInt()));
    const auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
    const QString values[] = {
        QStringLiteral("1,000"), QStringLiteral("2 X 500"), QStringLiteral("4x"), QStringLiteral("x"),
        QStringLiteral("X X"), QStringLiteral("-5"), QStringLiteral("0"), QStringLiteral("99999999999"),
        QStringLiteral("2,147,483,647"), QStringLiteral("2147483648"), QStringLiteral("12,50"),
        QStringLiteral("$1,234.5678"), QStringLiteral("."), QStringLiteral(","), QStringLiteral("1,,000"),
        QStringLiteral(" "), QStringLiteral("abc"), QStringLiteral("Müller"), QStringLiteral("Ünïcödé ✓ 𝄞"),
        QStringLiteral("=\r\n"), QStringLiteral("=0D=0A"), QStringLiteral("\r\n"), QStringLiteral("\t"),
        QString(QChar(0)), QStringLiteral("http://a.test/x>y"), QStringLiteral("ftp://"), QStringLiteral("~"),
        QStringLiteral("[+]2"), QStringLiteral("'"), QStringLiteral("\""), QStringLiteral("#*[%"),
        QStringLiteral("1e9"), QStringLiteral("256"), QStringLiteral("2912103"), QStringLiteral("+5"),
        QStringLiteral("٣"), QStringLiteral("922,337,203,685,477.5808"), QStringLiteral("202"),
        QStringLiteral("Harbor Lane Bakery"), QStringLiteral("123 Main St"), QStringLiteral("50-1T"),
        QStringLiteral("0.00005"), QStringLiteral("1 000"), QStringLiteral("500x4 copies")};
    const auto value = [&] {
        QString v;
        for (int n = pick(3); n >= 0; --n)
            v += values[pick(int(std::size(values)))];
        return v;
    };
    // Each item is a count or a refusal; the order's own refusals say why.
    const auto check = [&](CWebOrder &order, int round) {
        ASSERT_LE(order.m_items.size(), 255);
        bool refused = !order.m_refusals.isEmpty();
        for (const WebOrderItem &item : order.m_items) {
            if (!item.badQuantity.isEmpty()) {
                refused = true;
                continue;
            }
            EXPECT_GE(item.quantity, 0);
            EXPECT_GE(item.originals, 0);
        }
        for (const QString &refusal : order.m_refusals)
            EXPECT_TRUE(refusal.startsWith(QStringLiteral("This order cannot be saved: "))) << refusal.toStdString();
        if (round % 20 != 0)
            return;
        const QString before = refused ? dump() : QString();
        prompts().clear();
        const bool saved = order.SaveOrder(0, false);
        if (refused) {
            EXPECT_FALSE(saved);
            EXPECT_EQ(dump(), before);
        }
    };
    const QStringList labels = KeyFieldTable::DefaultKeys(false);
    for (int round = 0; round < 300; ++round) {
        // Enough answers for any question an order may raise.
        while (prompts().pendingAnswers() < 8)
            prompts().answer(platform::IDNO);
        QString text;
        for (int n = pick(30); n >= 0; --n)
            text += labels.at(pick(int(labels.size()))) + QLatin1Char(' ') + value() + QStringLiteral("\r\n");
        for (int n = pick(4); n > 0; --n) {
            const int at = pick(int(text.size()) + 1);
            if (pick(2) == 0)
                text.insert(at, value());
            else
                text.remove(at, pick(20));
        }
        SCOPED_TRACE(text.toStdString());
        const auto order = parse(text);
        check(*order, round);
    }
    // XML orders: odd values and attributes in a well-formed file.
    const auto escaped = [](QString v) {
        v.removeIf([](QChar c) {
            return (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n')) || c == QLatin1Char('\r');
        });
        return v.replace(QLatin1Char('&'), QLatin1String("&amp;"))
            .replace(QLatin1Char('<'), QLatin1String("&lt;"))
            .replace(QLatin1Char('>'), QLatin1String("&gt;"))
            .replace(QLatin1Char('"'), QLatin1String("&quot;"))
            .toUtf8();
    };
    for (int round = 0; round < 100; ++round) {
        while (prompts().pendingAnswers() < 8)
            prompts().answer(platform::IDNO);
        QByteArray xml = "<BillTo><Address><Email>" + escaped(value()) + "</Email><PostalAddress><Street>"
            + escaped(value()) + "</Street></PostalAddress></Address></BillTo>\n<Shipping>" + escaped(value())
            + "</Shipping><DueDays>" + escaped(value()) + "</DueDays>\n";
        for (int n = pick(5); n > 0; --n) {
            xml += pick(4) == 0 ? QByteArray("<ItemOut>") : "<ItemOut quantity=\"" + escaped(value()) + "\">";
            xml += "<ItemID><SupplierPartID>" + escaped(value()) + "</SupplierPartID></ItemID><ItemDetail><Description>"
                + (pick(6) == 0 ? QByteArray() : escaped(value())) + "</Description><URL>" + escaped(value())
                + "</URL></ItemDetail><UnitPrice>" + escaped(value()) + "</UnitPrice></ItemOut>\n";
        }
        SCOPED_TRACE(xml.toStdString());
        const auto order = parseXml(xml, [](CWebOrder &o) {
            o.m_keys.keys[keyfield::JobShipping] = QStringLiteral("OrderRequest/Shipping");
            o.m_keys.keys[keyfield::JobDueDays] = QStringLiteral("OrderRequest/DueDays");
        });
        check(*order, round);
    }
}

// A folder of XML orders on an FTP site that never answers QUIT: the
// listing and the look-up of each file's size and date go over one session,
// whose closing waits a few seconds at most without a window and not at all
// with one.
TEST_F(WebOrdersTest, AFolderOfXmlOrdersIsReadOverOneSession)
{
    const QString site = tempPath(QStringLiteral("site"));
    QDir().mkpath(site + QStringLiteral("/orders"));
    // Each file's date is the server's answer for it (at noon, so that no
    // time zone moves its day).
    const struct
    {
        const char *name;
        QDateTime when;
    } orders[] = {
        {"a.xml", QDateTime(QDate(2026, 3, 4), QTime(12, 0), Qt::UTC)},
        {"b.xml", QDateTime(QDate(2025, 12, 31), QTime(12, 0), Qt::UTC)},
        {"c.xml", QDateTime(QDate(2026, 11, 9), QTime(12, 0), Qt::UTC)},
    };
    for (const auto &o : orders) {
        QFile file(site + QStringLiteral("/orders/") + QLatin1String(o.name));
        WriteBytes(file.fileName(), "<OrderRequest/>\n");
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(o.when, QFileDevice::FileModificationTime));
    }
    for (const bool window : {false, true}) {
        SCOPED_TRACE(window ? "with a window" : "without a window");
        const QString log = tempPath(window ? QStringLiteral("log1") : QStringLiteral("log0"));
        testservers::SlowFtpServer server(site, log, 0, true, 30);
        ASSERT_TRUE(server.started()) << server.error().toStdString();
        CStatusDlg::ServeNetworkWaits(window);
        QList<XmlOrderFile> files;
        QString text;
        QString error;
        QElapsedTimer reading;
        reading.start();
        EXPECT_TRUE(ListXmlOrderFiles(server.host() + QStringLiteral("\\orders"), QString(), QString(), files, text, error))
            << error.toStdString();
        EXPECT_LT(reading.elapsed(), 10000);
        CStatusDlg::ServeNetworkWaits(false);
        QStringList names;
        for (const XmlOrderFile &f : std::as_const(files))
            names << f.name + QLatin1Char(' ') + QString::number(f.size) + QLatin1Char(' ') + f.date;
        EXPECT_EQ(names, (QStringList{QStringLiteral("a.xml 16 03/04/2026"), QStringLiteral("b.xml 16 12/31/2025"),
                                      QStringLiteral("c.xml 16 11/09/2026")}));
        // With a window the session closes beside the program.
        QTest::qWaitFor([&] { return ReadBytes(log + QStringLiteral("/log")).contains("QUIT\n"); }, 5000);
        const QByteArray said = ReadBytes(log + QStringLiteral("/log"));
        EXPECT_EQ(said.count("session\n"), 1) << said.constData();
        EXPECT_EQ(said.count("QUIT\n"), 1) << said.constData();
    }
}

// A mailbox that takes the connection and never says a word: Receive waits
// behind the progress window, whose Stop ends the run at once; left to its
// time-out the run ends as a failure, said as one and never as an empty
// mailbox.
TEST_F(WebOrdersTest, ASilentMailboxIsStoppedOrFailsNeverEmpty)
{
    testservers::SilentServer silent;
    ASSERT_TRUE(silent.started());
    app->emailSettings().LogonName = QStringLiteral("shop");
    app->emailSettings().LogonPass = QStringLiteral("s3cret");
    app->emailSettings().Incoming = QStringLiteral("127.0.0.1:%1").arg(silent.port());
    app->SaveEmailSettings();
    CStatusDlg::ServeNetworkWaits(true);
    CEmailRead reader(nullptr);
    prompts().onDialog([&](QDialog &) {
        EXPECT_EQ(reader.m_nSource, int(WebOrderSource::Mailbox));
        prompts().clear();
        {
            QElapsedTimer sinceStop;
            ProgressStopper stopper([&](const QStringList &) {
                sinceStop.start();
                return true;
            });
            prompts().answer(platform::IDYES);
            reader.OnReceive();
            EXPECT_EQ(stopper.stopped(), QStringList{QStringLiteral("Receiving orders from 127.0.0.1")});
            EXPECT_TRUE(sinceStop.isValid());
            EXPECT_LT(sinceStop.elapsed(), 10000);
            EXPECT_EQ(reader.StatusText(), QStringLiteral("Receiving was stopped."));
        }
        reader.m_socket.setTimeout(1);
        prompts().answer(platform::IDOK);
        reader.OnReceive();
        EXPECT_EQ(reader.StatusText(), QStringLiteral("ERROR. Cannot complete receiving messages."));
        EXPECT_EQ(reader.m_listMessages.GetItemCount(), 0);
        // A port that refuses the connection: the system's error, once.
        app->emailSettings().Incoming = QStringLiteral("127.0.0.1:%1").arg(testservers::FreePort());
        prompts().answer(platform::IDOK);
        reader.OnReceive();
        EXPECT_EQ(reader.StatusText(), QStringLiteral("ERROR. Cannot complete receiving messages."));
        EXPECT_EQ(reader.m_listMessages.GetItemCount(), 0);
        return 2;
    });
    reader.DoModal();
    CStatusDlg::ServeNetworkWaits(false);
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral("Do you want to stop now?"),
                           QStringLiteral("ERROR. Cannot complete receiving messages.\n\nThe server did not answer "
                                          "within 1 seconds."),
                           QStringLiteral("Error 111 occurred:\n\nConnection refused\n\n")}));
}

// A mailbox that lists two orders and then gives less than it listed: an
// error for a message, or no answer at all, stopped by the user or left to
// its time-out. The list and every count say only the messages received
// whole; nothing that did not come stands in the list.
TEST_F(WebOrdersTest, AMailboxListsAndCountsOnlyWhatItReceivedWhole)
{
    enum class Then { Error, Silent };
    struct Case
    {
        const char *name;
        bool firstArrives; // RETR 1 is answered with the message, else as the second
        Then second;       // how RETR 2 (or RETR 1) is answered
        bool stop;         // the user stops; else the time-out of 1 s ends it
        const char *status;
        int rows;
        QStringList boxes;
    };
    const QString error = QStringLiteral("Received error message from the server:\n\n-ERR no such message\r\n");
    const QString failed = QStringLiteral("ERROR. Cannot complete receiving messages.");
    const Case cases[] = {
        {"an error for the first", false, Then::Error, false, "ERROR. Cannot complete receiving messages.", 0, {error}},
        {"an error for the second", true, Then::Error, false, "ERROR. Cannot complete receiving messages.", 1, {error}},
        {"no answer to the first, stopped", false, Then::Silent, true, "Receiving was stopped.", 0,
         {QStringLiteral("Do you want to stop now?")}},
        {"no answer to the second, stopped", true, Then::Silent, true, "Receiving was stopped after 1 email.", 1,
         {QStringLiteral("Do you want to stop now?")}},
        {"no answer to the second, timed out", true, Then::Silent, false, "ERROR. Cannot complete receiving messages.",
         1,
         {failed + QStringLiteral("\n\nThe server did not answer within 1 seconds.\n\nThe 1 email received before it "
                                  "are listed.")}},
        {"no answer to the first, timed out", false, Then::Silent, false, "ERROR. Cannot complete receiving messages.",
         0, {failed + QStringLiteral("\n\nThe server did not answer within 1 seconds.")}},
    };
    const QByteArray order = "From: web@shop.test\r\nSubject: Order 7\r\nMessage-Id: <7@shop.test>\r\n\r\n"
                             "An order.\r\n";
    CStatusDlg::ServeNetworkWaits(true);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        bool askedForTheLast = false;
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            QTcpSocket *client = server.nextPendingConnection();
            client->write("+OK ready\r\n");
            QObject::connect(client, &QTcpSocket::readyRead, client, [&, client] {
                const QByteArray line = client->readAll();
                const bool last = line.startsWith(c.firstArrives ? "RETR 2" : "RETR 1");
                if (line.startsWith("LIST")) {
                    client->write("+OK 2 messages\r\n1 " + QByteArray::number(order.size()) + "\r\n2 " +
                                  QByteArray::number(order.size()) + "\r\n.\r\n");
                } else if (line.startsWith("RETR 1") && c.firstArrives) {
                    client->write("+OK\r\n" + order + ".\r\n");
                } else if (last) {
                    askedForTheLast = true;
                    if (c.second == Then::Error)
                        client->write("-ERR no such message\r\n");
                } else {
                    client->write("+OK\r\n");
                }
            });
        });
        app->emailSettings().LogonName = QStringLiteral("shop");
        app->emailSettings().LogonPass = QStringLiteral("s3cret");
        app->emailSettings().Incoming = QStringLiteral("127.0.0.1:%1").arg(server.serverPort());
        app->SaveEmailSettings();
        CEmailRead reader(nullptr);
        prompts().clear();
        prompts().onDialog([&](QDialog &) {
            std::unique_ptr<ProgressStopper> stopper;
            if (c.stop) {
                stopper = std::make_unique<ProgressStopper>([&](const QStringList &) { return askedForTheLast; });
                prompts().answer(platform::IDYES);
            } else {
                reader.m_socket.setTimeout(1);
                prompts().answer(platform::IDOK);
            }
            reader.OnReceive();
            EXPECT_EQ(reader.StatusText(), QString::fromLatin1(c.status));
            EXPECT_EQ(reader.m_listMessages.GetItemCount(), c.rows);
            if (c.rows > 0)
                EXPECT_EQ(reader.m_listMessages.GetItemText(0, 3), QStringLiteral("Order 7"));
            return 2;
        });
        reader.DoModal();
        EXPECT_EQ(prompts().texts(), c.boxes);
        while (prompts().pendingAnswers() > 0)
            prompts().takeAnswer(platform::PromptRecord());
    }
    CStatusDlg::ServeNetworkWaits(false);
}

// The box of a failed mailbox run, by how many messages came before it.
TEST_F(WebOrdersTest, AFailedMailboxRunSaysHowFarItGot)
{
    EXPECT_EQ(CEmailRead::MailboxFailureText(QStringLiteral("The server did not answer within 60 seconds."), 0),
              QStringLiteral("ERROR. Cannot complete receiving messages.\n\nThe server did not answer within 60 seconds."));
    EXPECT_EQ(CEmailRead::MailboxFailureText(QStringLiteral("The server did not answer within 60 seconds."), 1),
              QStringLiteral("ERROR. Cannot complete receiving messages.\n\nThe server did not answer within 60 seconds."
                             "\n\nThe 1 email received before it are listed."));
    EXPECT_EQ(CEmailRead::MailboxFailureText(QStringLiteral("The server's reply is larger than 64 MB."), 1200),
              QStringLiteral("ERROR. Cannot complete receiving messages.\n\nThe server's reply is larger than 64 MB."
                             "\n\nThe 1,200 emails received before it are listed."));
}

// The linked files of a saved order trickle in: Stop in the first download
// ends the batch (no other download starts), and the closing message names
// every file not fetched.
TEST_F(WebOrdersTest, StopEndsTheLinkedFileDownloadsAndNamesTheFilesLeft)
{
    const QString log = tempPath(QStringLiteral("http"));
    testservers::TricklingHttpServer server(log, 4 * 1024 * 1024, 20 * 1024, 40);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    const QString downloads = tempPath(QStringLiteral("DownloadTo"));
    QDir().mkpath(downloads);
    app->emailSettings().DownloadTo = downloads;
    app->emailSettings().AutoByCus = 0;
    app->emailSettings().AutoDownload = 1;
    const QString text = Mail({QStringLiteral("Customer No: 202"), QStringLiteral("Item Description: Poster"),
                               QStringLiteral("Artwork: <") + server.url() + QStringLiteral("front.pdf>"),
                               QStringLiteral("Item Description: Flyer"),
                               QStringLiteral("Artwork: <") + server.url() + QStringLiteral("back.pdf>"),
                               QStringLiteral("Item Description: Card"),
                               QStringLiteral("Artwork: <") + server.url() + QStringLiteral("card.pdf>")});
    auto order = parse(text);
    ASSERT_EQ(order->m_items.size(), 3);
    CStatusDlg::ServeNetworkWaits(true);
    QElapsedTimer sinceStop;
    ProgressStopper stopper([&](const QStringList &texts) {
        if (!texts.contains(QStringLiteral("20k")) && !texts.contains(QStringLiteral("40k")))
            return false;
        sinceStop.start();
        return true;
    });
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDOK);
    QElapsedTimer saving;
    saving.start();
    EXPECT_TRUE(order->SaveOrder(0, false));
    CStatusDlg::ServeNetworkWaits(false);
    EXPECT_EQ(stopper.stopped().size(), 1);
    ASSERT_TRUE(sinceStop.isValid());
    EXPECT_LT(sinceStop.elapsed(), 10000);
    EXPECT_LT(saving.elapsed(), 15000);
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral("Do you want to stop now?"),
                           QStringLiteral("Downloading the linked files was stopped.\n\nThe order is saved without these "
                                          "linked files:\n\n") +
                               server.url() + QStringLiteral("front.pdf\n") + server.url() +
                               QStringLiteral("back.pdf\n") + server.url() + QStringLiteral("card.pdf")}));
    EXPECT_EQ(ReadBytes(log + QStringLiteral("/requests")), QByteArray("/front.pdf\n"));
    EXPECT_EQ(QDir(downloads).entryList(QDir::Files), QStringList());
    EXPECT_FALSE(order->m_strStatus.contains(QStringLiteral("Downloaded")));
}
