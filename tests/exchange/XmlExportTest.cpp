// XML documents written by the export object: the frame and its escaping,
// jobs through stylesheet templates, lists through templates with a query;
// every document is checked by xmllint (and one by xsltproc).

#include "exchange/export/CExport.h"
#include "exchange/export/XmlText.h"
#include "platform/Clock.h"
#include "support/TestFiles.h"
#include "support/ShopTest.h"

#include <QtCore/QDate>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>

namespace {

// Files the export hands to the desktop's viewer are recorded instead.
class OpenedFiles : public QObject
{
    Q_OBJECT
public:
    QStringList paths;
public slots:
    void open(const QUrl &url) { paths.append(url.toLocalFile()); }
};

QString run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    if (exitCode)
        *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
}



} // namespace

class XmlExportTest : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        SetDataFolder(QFileInfo(m_path).absolutePath() + QDir::separator());
        platform::Clock::setFixed(QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
        exec(QStringLiteral("INSERT INTO ServiceDepartments (DepNo, DepName, IconNo, SortNo) VALUES (20, 'Paper & Stock', 0, 1)"));
        exec(QStringLiteral("INSERT INTO ServiceDepartments (DepNo, DepName, IconNo, SortNo) VALUES (50, 'Bindery & Finishing', 0, 2)"));
        exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) VALUES (101, 20, 0, 'Text Paper', 1)"));
        exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) VALUES (450, 50, 0, 'Folding', 2)"));
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, SortNo, Name, Name2, SerStatus) VALUES (700, 101, 1, 'Opaque 60#', '', 0)"));
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, SortNo, Name, Name2, SerStatus) VALUES (701, 450, 1, 'Fold & Score', '', 0)"));
        exec(QStringLiteral("DELETE FROM Vendors WHERE [No] = 3"));
        exec(QStringLiteral("INSERT INTO Vendors ([No], Name) VALUES (3, 'Paper <Mill>')"));
        exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type) VALUES (4, 'Dana', 1)"));
        exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type) VALUES (5, 'Rex', 2)"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Memo) VALUES (100, 'Smith & Sons <East>', "
                            "'first line' & Chr(13) & Chr(10) & 'second line')"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (101, 'Lee''s')"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (102, 'Lee\u2019s \u2022 Bakery')"));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Email) VALUES (900, 100, 'Al', 'Smith', 'al@smith.test')"));
        exec(QStringLiteral("INSERT INTO Shipto (ShiptoNo, CusNo, Company) VALUES (60, 100, 'Dock \"B\"')"));
        addJob(1, 1234, 100, QStringLiteral("Letterhead"));
        exec(QStringLiteral("UPDATE Jobs SET BuyerNo = 900, ShiptoNo = 60, CSRNo = 4, SRepNo = 5 WHERE JobID = 1"));
        addJob(2, 1235, 101, QStringLiteral("Cards"));
        addJob(3, 1236, 102, QStringLiteral("Menus"));
        exec(QStringLiteral("INSERT INTO Items (ItemID, JobID, SerNo, ItemNo, SubNo, SortNo, Description, ChargeQty, Price) "
                            "VALUES (10, 1, 0, 1, 0, 0, 'Letterhead 8.5 x 11', 1000, 120)"));
        exec(QStringLiteral("INSERT INTO Items (ItemID, JobID, SerNo, ItemNo, SubNo, SortNo, Description, Width, Height, "
                            "Vendor, ChargeQty, Price) VALUES (11, 1, 700, 1, 0, 1, 'Opaque', 8.5, 11, 3, 1000, 40)"));
        exec(QStringLiteral("INSERT INTO Items (ItemID, JobID, SerNo, ItemNo, SubNo, SortNo, Description, ChargeQty, Price) "
                            "VALUES (12, 1, 701, 1, 0, 2, 'Fold', 1000, 80)"));
        exec(QStringLiteral("INSERT INTO Items (ItemID, JobID, SerNo, ItemNo, SubNo, SortNo, Description, ChargeQty, Price) "
                            "VALUES (13, 1, 0, 2, 0, 0, 'Envelopes', 500, 0)"));
    }
    void TearDown() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        platform::Clock::setFixed(QDateTime());
        ShopTest::TearDown();
    }

    void addJob(int id, int no, int cus, const QString &title)
    {
        exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, Title, CusNo, Subtotal, Balance, DateIn) "
                            "VALUES (%1, 0, %2, '%3', %4, 200, 200, #12/1/2026#)")
                 .arg(id)
                 .arg(no)
                 .arg(title)
                 .arg(cus));
    }
    QString jobFile(const QString &name) const { return CExport::XmlJobFileFolder() + name; }
    // Job 1 exported through a template without a stylesheet, not opened
    // afterwards; the file written.
    QString exportPlainXml()
    {
        QDir().mkpath(CExport::XmlJobTemplateFolder());
        writeTemplate(CExport::XmlJobTemplateFolder(), QStringLiteral("XMLOnly.xslt"), "<x/>\n");
        prompts().answerFile(CExport::XmlJobTemplateFolder() + QStringLiteral("XMLOnly.xslt"));
        prompts().answer(platform::IDNO);
        CExport exporter;
        exporter.ExportJobsXml(nullptr, 1);
        return jobFile(QStringLiteral("Order1234.xml"));
    }
    static void expectWellFormed(const QString &path)
    {
        int code = -1;
        const QString out = run(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path}, &code);
        EXPECT_EQ(code, 0) << out.toStdString();
    }
    static QString xpath(const QString &path, const QString &expression)
    {
        // xmllint ends what it prints with a line feed of its own.
        QString value = run(QStringLiteral("xmllint"), {QStringLiteral("--xpath"), expression, path});
        if (value.endsWith(QLatin1Char('\n')))
            value.chop(1);
        return value;
    }
    void writeTemplate(const QString &folder, const QString &name, const QByteArray &text)
    {
        WriteTestFile(folder + name, text);
    }

    OpenedFiles opened;
};

TEST_F(XmlExportTest, ElementTextIsEscapedInOrderAndNamesAreMadeValid)
{
    struct Case
    {
        const char *in;
        const char *out;
    };
    const Case texts[] = {
        {"Smith & Sons <East>", "Smith &amp; Sons &lt;East&gt;"},
        {"Lee's", "Lee&apos;s"},
        {"Lee\u2019s", "Lee&apos;s"},
        {"\u2022 first \u00B7 second", "- first - second"},
        {"say \"hi\"", "say &quot;hi&quot;"},
        {"one\r\ntwo", "one&#13;&#10;two"},
        {"bell\x07tab\tend", "belltab\tend"},
        {"&amp;", "&amp;amp;"},
    };
    for (const Case &c : texts)
        EXPECT_EQ(XmlEscape(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;

    const Case names[] = {
        {"Date In", "DateIn"},
        {"Service/Date", "Service_Date"},
        {"DAY/IN  |", "DAY_IN_"},
        {"2nd Qty", "_2ndQty"},
        {"CusNo", "CusNo"},
        {"_Price", "_Price"},
        {"Größe", "Größe"},
    };
    for (const Case &c : names)
        EXPECT_EQ(XmlElementName(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST_F(XmlExportTest, OnlyOneSelectStatementIsRunFromATemplate)
{
    EXPECT_TRUE(IsSingleSelectStatement(QStringLiteral("SELECT * FROM Jobs WHERE JobID = ?")));
    EXPECT_TRUE(IsSingleSelectStatement(QStringLiteral("  select Name from Customers;")));
    EXPECT_TRUE(IsSingleSelectStatement(QStringLiteral("SELECT Name FROM Customers WHERE Name = 'x; DELETE'")));
    EXPECT_TRUE(IsSingleSelectStatement(QStringLiteral("TRANSFORM Sum(Price) SELECT JobID FROM Items GROUP BY JobID PIVOT SerNo")));
    EXPECT_FALSE(IsSingleSelectStatement(QStringLiteral("DELETE FROM Customers")));
    EXPECT_FALSE(IsSingleSelectStatement(QStringLiteral("SELECT * INTO Copy FROM Customers")));
    EXPECT_FALSE(IsSingleSelectStatement(QStringLiteral("SELECT 1; DELETE FROM Customers")));
    EXPECT_FALSE(IsSingleSelectStatement(QStringLiteral("UPDATE Jobs SET Paid = 0")));
    EXPECT_FALSE(IsSingleSelectStatement(QString()));
}

TEST_F(XmlExportTest, TemplateQueryHeaderLinesAndCommaLists)
{
    const QString path = tempPath(QStringLiteral("Query.xslt"));
    WriteTestFile(path, "<?xml version=\"1.0\"?>\r\n<!-- DIZUV_IZEVODOVAV: ignored on this line\r\n"
                    "SELECT Name FROM Customers\r\nWHERE CusNo = ?\r\n-->\r\n<xsl:stylesheet/>\r\n");
    EXPECT_EQ(CExport::ReadTemplateQuery(path), QStringLiteral("SELECT Name FROM Customers WHERE CusNo = ?"));
    WriteTestFile(path, "<!-- no marker -->\n");
    EXPECT_EQ(CExport::ReadTemplateQuery(path), QString());
    EXPECT_EQ(CExport::ReadTemplateQuery(tempPath(QStringLiteral("missing.xslt"))), QString());

    QString text = QStringLiteral("Subject:   Your order\r\nAttach: a.pdf\r\nDear customer");
    EXPECT_EQ(CExport::ReadHeaderLine(QStringLiteral("Subject:"), text), QStringLiteral("Your order"));
    EXPECT_EQ(text, QStringLiteral("Attach: a.pdf\r\nDear customer"));
    EXPECT_EQ(CExport::ReadHeaderLine(QStringLiteral("Attach:"), text), QStringLiteral("a.pdf"));
    EXPECT_EQ(text, QStringLiteral("Dear customer"));
    EXPECT_EQ(CExport::ReadHeaderLine(QStringLiteral("Cc:"), text), QString());
    QString noEnd = QStringLiteral("Subject: open");
    EXPECT_EQ(CExport::ReadHeaderLine(QStringLiteral("Subject:"), noEnd), QString());
    EXPECT_EQ(noEnd, QStringLiteral("Subject: open"));

    CExport exporter;
    const QString out = tempPath(QStringLiteral("list.txt"));
    ASSERT_TRUE(exporter.OpenOutput(out));
    EXPECT_EQ(exporter.WriteCommaList(QStringLiteral("A, B ,C, tail"), QStringLiteral("\n")), 3);
    EXPECT_EQ(exporter.WriteCommaList(QStringLiteral("no comma"), QStringLiteral("\n")), 0);
    EXPECT_EQ(exporter.WriteCommaList(QString(), QStringLiteral("\n")), 0);
    ASSERT_TRUE(exporter.CloseOutput());
    EXPECT_EQ(ReadTestFile(out), QByteArray("A\t B \tC\r\n"));
}

TEST_F(XmlExportTest, OrderThroughAStylesheetIsWrittenBesideItsTemplateAndOpened)
{
    writeTemplate(CExport::XmlJobTemplateFolder(), QStringLiteral("Invoice.xslt"),
                  "<?xml version=\"1.0\"?>\n"
                  "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
                  "<xsl:output method=\"text\"/>\n"
                  "<xsl:template match=\"/\">INVOICE <xsl:value-of select=\"Jobs/Job/JobNo\"/> FOR "
                  "<xsl:value-of select=\"Jobs/Job/Customer/Name\"/> ITEMS <xsl:value-of "
                  "select=\"count(Jobs/Job/Item)\"/></xsl:template>\n"
                  "</xsl:stylesheet>\n");
    prompts().answerFile(CExport::XmlJobTemplateFolder() + QStringLiteral("Invoice.xslt"));
    CExport exporter;
    exporter.ExportJobsXml(nullptr, 1);
    const QString path = jobFile(QStringLiteral("Order1234 - Invoice.xml"));
    EXPECT_EQ(exporter.m_strXmlPath, path);
    // No question: a document with a stylesheet opens at once.
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_EQ(prompts().shown().at(0).caption, QStringLiteral("Select a template"));
    EXPECT_EQ(opened.paths, QStringList{path});
    expectWellFormed(path);

    const QByteArray bytes = ReadTestFile(path);
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_GT(lines.size(), 4);
    EXPECT_EQ(lines.at(0), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r"));
    EXPECT_EQ(lines.at(1), QByteArray("<?xml-stylesheet type=\"text/xsl\" href=\"../jobtemplates/Invoice.xslt\"?>\r"));
    // Every line ends CR LF on disk.
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));

    EXPECT_EQ(run(QStringLiteral("xsltproc"), {path}), QStringLiteral("INVOICE 1234 FOR Smith & Sons <East> ITEMS 2"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Header/DocName)")), QStringLiteral("Order1234 - Invoice.xml"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Footer/DocCount)")), QStringLiteral("1"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/Customer/Memo)")), QStringLiteral("first line\r\nsecond line"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/Buyer/Email)")), QStringLiteral("al@smith.test"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/Shipto/Company)")), QStringLiteral("Dock \"B\""));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/CSR/Name)")), QStringLiteral("Dana"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/SalesRep/Name)")), QStringLiteral("Rex"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/JobName)")), QStringLiteral("Order"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/Barcode)")), QStringLiteral("*^1#*"));
    // Services stand inside their item with the department's kind.
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/Item[1]/Service[1]/@name)")), QStringLiteral("PAPER"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/Item[1]/Service[1]/@id)")), QStringLiteral("20"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/Item[1]/Service[2]/@name)")),
              QStringLiteral("Bindery & Finishing"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/Item[1]/Service[1]/SerSize)")), QStringLiteral("8.5 x 11"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/Item[1]/Service[1]/Vendor/Name)")),
              QStringLiteral("Paper <Mill>"));
    EXPECT_EQ(xpath(path, QStringLiteral("count(/Jobs/Job/Item[1]/Service[2]/SerSize)")), QStringLiteral("0"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/Item[2]/Barcode)")), QStringLiteral("*&13#*"));
    EXPECT_EQ(xpath(path, QStringLiteral("count(/Jobs/Job/Item/FileName)")), QStringLiteral("0"));
}

TEST_F(XmlExportTest, PlainXmlHasNoStylesheetAndAsksBeforeOpening)
{
    const QString path = exportPlainXml();
    ASSERT_EQ(prompts().shown().size(), 2);
    EXPECT_EQ(prompts().shown().at(1).text,
              QStringLiteral("Exported to ") + path + QStringLiteral(".\n\nDo you want to open it?"));
    EXPECT_TRUE(opened.paths.isEmpty());
    expectWellFormed(path);
    EXPECT_FALSE(ReadTestFile(path).contains("xml-stylesheet"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Header/DocHead)")), QStringLiteral("Order1234"));

    // The job-file folder is the shop's, shared by every workstation: a file
    // already at the name is replaced only when the user says so.
    const QString replace = path + QStringLiteral(" already exists.\n\nDo you want to replace it?");
    WriteTestFile(path, "kept");
    prompts().clear();
    prompts().answerFile(CExport::XmlJobTemplateFolder() + QStringLiteral("XMLOnly.xslt"));
    prompts().answer(platform::IDNO);
    {
        CExport exporter;
        exporter.ExportJobsXml(nullptr, 1);
    }
    ASSERT_EQ(prompts().shown().size(), 2);
    EXPECT_EQ(prompts().shown().at(1).text, replace);
    EXPECT_EQ(ReadTestFile(path), QByteArray("kept"));

    // A link another user put there, to this user's private file: asked
    // about, and Yes replaces the link, never the file it names.
    const PlantedLink planted{path, tempPath(QStringLiteral("home/private.txt"))};
    if (planted.plant()) {
        prompts().clear();
        prompts().answerFile(CExport::XmlJobTemplateFolder() + QStringLiteral("XMLOnly.xslt"));
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDNO);
        CExport exporter;
        exporter.ExportJobsXml(nullptr, 1);
        ASSERT_EQ(prompts().shown().size(), 3);
        EXPECT_EQ(prompts().shown().at(1).text, replace);
        EXPECT_TRUE(planted.replaced());
        EXPECT_TRUE(planted.targetKept());
        expectWellFormed(path);
    }
}

TEST_F(XmlExportTest, TheJobTotalHasTaxAndShippingButNoPayments)
{
    // 1,200.00 - 120.00 + 15.00 + 86.40 = 1,181.40; the 500.00 paid leaves a
    // balance of 681.40, which is not the total.
    exec(QStringLiteral("UPDATE Jobs SET Subtotal = 1200, Discount = -120, Shipping = 15, Tax = 86.4, Paid = -500, "
                        "Balance = 681.4 WHERE JobID = 1"));
    const QString path = exportPlainXml();
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/Total)")), QStringLiteral("1,181.40"));
}

TEST_F(XmlExportTest, SeveralJobsAskAboveOneHundredAndCountTheirJobElements)
{
    writeTemplate(CExport::XmlJobTemplateFolder(), QStringLiteral("XMLOnly.xslt"), "<x/>\n");
    // 101 selected jobs ask first; No writes nothing.
    QList<qint32> many;
    for (int i = 0; i < 101; ++i)
        many.append(1 + i % 3);
    prompts().answer(platform::IDNO);
    {
        CExport exporter;
        exporter.ExportJobIdsXml(many);
        ASSERT_EQ(prompts().shown().size(), 1);
        EXPECT_EQ(prompts().lastText(),
                  QStringLiteral("Exporting 101 jobs may take a few minutes. \n\nDo you want to continue?"));
        EXPECT_TRUE(exporter.m_strXmlPath.isEmpty());
    }
    prompts().clear();
    // 100 do not ask.
    many.removeLast();
    prompts().answerFile(CExport::XmlJobTemplateFolder() + QStringLiteral("XMLOnly.xslt"));
    prompts().answer(platform::IDNO);
    CExport exporter;
    exporter.ExportJobIdsXml(many);
    ASSERT_EQ(prompts().shown().size(), 2);
    EXPECT_EQ(prompts().shown().at(0).caption, QStringLiteral("Select a template"));
    const QString path = jobFile(QStringLiteral("Orders.xml"));
    expectWellFormed(path);
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Header/DocHead)")), QStringLiteral("Orders (100 selected)"));
    EXPECT_EQ(xpath(path, QStringLiteral("count(/Jobs/Job)")), QStringLiteral("100"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Footer/DocCount)")), QStringLiteral("100"));
    // Both apostrophes and the bullet come back as written in the file.
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job[2]/Customer/Name)")), QStringLiteral("Lee's"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job[3]/Customer/Name)")), QStringLiteral("Lee's - Bakery"));
}

TEST_F(XmlExportTest, AMissingJobIsSaid)
{
    prompts().answer(platform::IDOK);
    CExport exporter;
    exporter.ExportJobsXml(nullptr, 999);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Job not found!"));
}

TEST_F(XmlExportTest, ListExportRunsTheTemplatesQueryIntoRecords)
{
    exec(QStringLiteral("INSERT INTO Inventory (SerNo, Vendor, Action, ActionQty, Cost) VALUES (700, 3, 1, 5000, 12.5)"));
    writeTemplate(CExport::XmlOtherTemplateFolder(), QStringLiteral("Inventory Orders.xslt"),
                  "<?xml version=\"1.0\"?>\n<!-- DIZUV_IZEVODOVAV:\n"
                  "SELECT Services.Name AS [Service/Name], Inventory.ActionQty AS [DAY/IN  |], ? AS Id FROM Inventory "
                  "INNER JOIN Services ON Inventory.SerNo = Services.SerNo\n-->\n<xsl:stylesheet/>\n");
    prompts().answerFile(CExport::XmlOtherTemplateFolder() + QStringLiteral("Inventory Orders.xslt"));
    prompts().answer(platform::IDNO);
    CExport exporter;
    exporter.ExportListXml(QStringLiteral("Inventory"), QStringLiteral("InventoryOrders "),
                           QStringLiteral("Inventory Ordered"));
    const QString path = CExport::XmlOtherFileFolder() + QStringLiteral("InventoryOrders 12-06-2026.xml");
    ASSERT_EQ(exporter.m_strXmlPath, path);
    ASSERT_EQ(prompts().shown().size(), 2);
    EXPECT_EQ(prompts().shown().at(0).filter, QStringLiteral("Templates (Inventory*.xslt) (Inventory*.xslt)"));
    expectWellFormed(path);
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Records/Record/Service_Name)")), QStringLiteral("Opaque 60#"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Records/Record/DAY_IN_)")), QStringLiteral("5000"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Records/Record/Id)")), QStringLiteral("0"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Records/Footer/DocCount)")), QStringLiteral("1"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Records/Header/DocHead)")), QStringLiteral("Inventory Ordered"));
    EXPECT_TRUE(ReadTestFile(path).contains(
        QUrl::fromLocalFile(CExport::XmlOtherTemplateFolder() + QStringLiteral("Inventory Orders.xslt")).toString().toUtf8()));
}

// A template that finds nothing (one that would change data runs nothing,
// one without a query, one whose query finds no row) or whose query fails
// leaves the document at the name byte for byte, and no work file; the data
// stay as they were.
TEST_F(XmlExportTest, ATemplateThatFindsNothingOrFailsLeavesTheOldDocument)
{
    const QString path = CExport::XmlOtherFileFolder() + QStringLiteral(" 12-06-2026.xml");
    struct Case
    {
        const char *name;
        QByteArray text;
        QString said;
    };
    const Case cases[] = {
        {"Jobs Purge.xslt", "<!-- DIZUV_IZEVODOVAV:\nDELETE FROM Customers\n-->\n", QStringLiteral("No data is exported!")},
        {"Jobs Plain.xslt", "<xsl:stylesheet/>\n", QStringLiteral("No data is exported!")},
        {"Jobs None.xslt", "<!-- DIZUV_IZEVODOVAV:\nSELECT Name FROM Customers WHERE CusNo = -5\n-->\n",
         QStringLiteral("No data is exported!")},
        {"Jobs Broken.xslt", "<!-- DIZUV_IZEVODOVAV:\nSELECT NoSuchColumn FROM NoSuchTable\n-->\n",
         QStringLiteral("Cannot write: ") + path +
             QStringLiteral("\n\nThe data to export could not be read from the database; nothing was written.")},
    };
    const QString before = sqlite(QStringLiteral("SELECT count(*) FROM Customers"));
    const QByteArray old = "<?xml version=\"1.0\"?>\r\n<Records>an earlier export</Records>\r\n";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir().mkpath(CExport::XmlOtherFileFolder());
        ASSERT_TRUE(WriteTestFile(path, old));
        writeTemplate(CExport::XmlOtherTemplateFolder(), QString::fromLatin1(c.name), c.text);
        // Answers of their own: what one case leaves unasked goes with it.
        platform::TestResponder answers;
        answers.answerFile(CExport::XmlOtherTemplateFolder() + QString::fromLatin1(c.name));
        for (int i = 0; i < 3; ++i)
            answers.answer(platform::IDOK);
        {
            CExport exporter;
            exporter.ExportListXml(QStringLiteral("Jobs"), QStringLiteral(" "), QStringLiteral("Jobs Document"));
            EXPECT_EQ(exporter.m_strXmlPath, QString());
        }
        EXPECT_EQ(ReadTestFile(path), old);
        EXPECT_EQ(WorkFilesOf(path), QStringList());
        ASSERT_FALSE(answers.texts().isEmpty());
        EXPECT_EQ(answers.texts().last(), c.said);
        EXPECT_EQ(sqlite(QStringLiteral("SELECT count(*) FROM Customers")), before);
    }
}

TEST_F(XmlExportTest, QueryTemplateRunsOnceForTheFirstSelectedJob)
{
    writeTemplate(CExport::XmlJobTemplateFolder(), QStringLiteral("Query Totals.xslt"),
                  "<!-- DIZUV_IZEVODOVAV:\nSELECT JobNo, Title FROM Jobs WHERE JobID = ?\n-->\n");
    prompts().answerFile(CExport::XmlJobTemplateFolder() + QStringLiteral("Query Totals.xslt"));
    CExport exporter;
    exporter.ExportJobIdsXml({2, 1, 3});
    const QString path = jobFile(QStringLiteral("Orders - Query Totals.xml"));
    expectWellFormed(path);
    EXPECT_EQ(xpath(path, QStringLiteral("count(/Jobs/Job)")), QStringLiteral("1"));
    EXPECT_EQ(xpath(path, QStringLiteral("string(/Jobs/Job/JobNo)")), QStringLiteral("1235"));
}

#include "XmlExportTest.moc"
