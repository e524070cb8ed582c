// The XML reader: validating load with its retry, value lookup by tag and
// path, the viewer's tree, and web orders read from a folder or an FTP site.

#include "exchange/weborders/XmlOrders.h"
#include "exchange/xml/CDlgXML.h"
#include "exchange/xml/XmlDocument.h"
#include "controls/CXTreeCtrl.h"
#include "support/TestFiles.h"
#include "support/LocalServers.h"
#include "support/TestEnvironment.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>

#include <functional>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {


// An order of `count` items; `without` lists what an item lacks ("price",
// "quantity", "part") by its position.
QByteArray orderXml(int count, const QMap<int, QStringList> &without = {})
{
    QByteArray xml = "<?xml version=\"1.0\"?>\n<OrderRequest>\n<Header><Email/><Email>buyer@shop.test</Email></Header>\n";
    for (int i = 1; i <= count; ++i) {
        const QStringList lacks = without.value(i);
        xml += lacks.contains(QStringLiteral("quantity")) ? QByteArray("<ItemOut>")
                                                           : "<ItemOut quantity=\"" + QByteArray::number(i * 10) + "\">";
        xml += "<ItemID><SupplierPartID>" +
               (lacks.contains(QStringLiteral("part")) ? QByteArray() : "1044-" + QByteArray::number(i)) +
               "</SupplierPartID></ItemID>";
        xml += "<ItemDetail><Description>Item " + QByteArray::number(i) + " &amp; more</Description>"
               "<URL>http://shop.test/f" + QByteArray::number(i) + ".pdf</URL></ItemDetail>";
        if (!lacks.contains(QStringLiteral("price")))
            xml += "<UnitPrice>" + QByteArray::number(i) + ".50</UnitPrice>";
        xml += "</ItemOut>\n";
    }
    xml += "</OrderRequest>\n";
    return xml;
}

// This process's resident memory in KB.
qint64 ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// What a piece of work run in a child process gave back: what it wrote
// ("" when it was stopped at its time limit) and how far the child's
// resident memory rose above this process's.
struct ChildRun
{
    bool finished = false;
    QByteArray output;
    qint64 grownKb = 0;
};

// Runs the work in a child process of this one, stopped after `seconds`: a
// reader that would run for minutes or fill the memory ends the test, not
// the machine.
ChildRun RunInChild(int seconds, const std::function<QByteArray()> &work)
{
    ChildRun run;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return run;
    const qint64 before = ResidentKb();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        QByteArray out;
        try {
            out = work();
        } catch (...) {
            out = "an exception";
        }
        for (qsizetype at = 0; at < out.size();) {
            const ssize_t n = ::write(pipeEnds[1], out.constData() + at, size_t(out.size() - at));
            if (n <= 0)
                break;
            at += n;
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    QDeadlineTimer deadline(qint64(seconds) * 1000);
    bool ended = false;
    while (!ended && !deadline.hasExpired()) {
        pollfd fd{pipeEnds[0], POLLIN, 0};
        if (::poll(&fd, 1, int(qMin<qint64>(deadline.remainingTime(), 1000))) <= 0)
            continue;
        char buffer[65536];
        const ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (n > 0)
            run.output.append(buffer, n);
        else
            ended = true;
    }
    ::close(pipeEnds[0]);
    if (!ended)
        ::kill(pid, SIGKILL);
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    run.finished = ended && WIFEXITED(status);
    if (!run.finished)
        run.output.clear();
    run.grownKb = qint64(usage.ru_maxrss) - before;
    return run;
}

// Loads the file in a child process: "loaded", or the message of the refusal.
ChildRun LoadInChild(const QString &path, int seconds)
{
    return RunInChild(seconds, [&] {
        XmlDocument document;
        return document.Load(path) ? QByteArray("loaded") : document.LastErrorText().toUtf8();
    });
}

} // namespace

class XmlReaderTest : public TavrelTest
{
};

TEST_F(XmlReaderTest, AFileBreakingItsDtdLoadsAfterOneParseError)
{
    const QString path = tempPath(QStringLiteral("order.xml"));
    WriteTestFile(path, "<?xml version=\"1.0\"?>\n<!DOCTYPE Order [<!ELEMENT Order (Item)*><!ELEMENT Item (#PCDATA)>]>\n"
                    "<Order><Item>a</Item><Extra/></Order>\n");
    prompts().answer(platform::IDOK);
    XmlDocument document;
    EXPECT_TRUE(document.Load(path));
    ASSERT_EQ(prompts().shown().size(), 1);
    const platform::PromptRecord shown = prompts().shown().at(0);
    EXPECT_EQ(shown.caption, QStringLiteral("Parse Error"));
    EXPECT_TRUE(shown.text.startsWith(QStringLiteral("Error processing XML file: file://") + path)) << shown.text.toStdString();
    EXPECT_TRUE(shown.text.contains(QStringLiteral("\nError on line 3, position ")));
    EXPECT_TRUE(shown.text.endsWith(
        QStringLiteral("\nNext, Tavrel will try to load the file without validating XML parsing.")));
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("Item"), QString(), -1), QStringLiteral("a"));
}

TEST_F(XmlReaderTest, ABrokenFileShowsTwoParseErrorsAndFails)
{
    const QString path = tempPath(QStringLiteral("broken.xml"));
    WriteTestFile(path, "<Order><Item>a</Order>\n");
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    XmlDocument document;
    EXPECT_FALSE(document.Load(path));
    ASSERT_EQ(prompts().shown().size(), 2);
    EXPECT_TRUE(prompts().shown().at(0).text.endsWith(QStringLiteral("without validating XML parsing.")));
    EXPECT_TRUE(prompts().shown().at(1).text.endsWith(QStringLiteral("\n")));
    EXPECT_TRUE(prompts().shown().at(1).text.contains(QStringLiteral("Error on line 1, position ")));
    EXPECT_FALSE(document.IsLoaded());
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("Item"), QString(), -1), QString());
}

TEST_F(XmlReaderTest, ValuesByTagPathIndexAndAttribute)
{
    const QString path = tempPath(QStringLiteral("order.xml"));
    WriteTestFile(path, orderXml(3));
    XmlDocument document;
    ASSERT_TRUE(document.Load(path));
    EXPECT_TRUE(prompts().shown().isEmpty());
    // The first Email is empty: -1 goes on to the filled one, 0 takes it as it is.
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("Email"), QString(), -1), QStringLiteral("buyer@shop.test"));
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("Email"), QString(), 0), QString());
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("ItemDetail/Description"), QString(), 1),
              QStringLiteral("Item 2 & more"));
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("OrderRequest/ItemOut"), QStringLiteral("quantity"), 2),
              QStringLiteral("30"));
    // A missing attribute is empty, never its own name.
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("ItemOut"), QStringLiteral("color"), 0), QString());
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("ItemOut"), QStringLiteral("color"), -1), QString());
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("Nothing"), QString(), -1), QString());
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("ItemOut"), QString(), 7), QString());
    // Only names and paths are searched for; an expression finds nothing.
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("ItemOut[1]"), QString(), -1), QString());
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("*"), QString(), -1), QString());
    EXPECT_TRUE(document.GetXmlText().contains(QStringLiteral("<SupplierPartID>1044-2</SupplierPartID>")));
}

TEST_F(XmlReaderTest, OrderItemsAreReadInsideTheirOwnItemElement)
{
    const QString path = tempPath(QStringLiteral("order.xml"));
    // Item 2 lacks its price, its quantity and its part number.
    WriteTestFile(path, orderXml(3, {{2, {QStringLiteral("price"), QStringLiteral("quantity"), QStringLiteral("part")}}}));
    XmlDocument document;
    ASSERT_TRUE(document.Load(path));
    const QList<XmlOrderItem> items = ReadXmlOrderItems(document, XmlOrderKeys());
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].description, QStringLiteral("Item 1 & more"));
    EXPECT_EQ(items[0].quantity, 10);
    EXPECT_EQ(items[0].unitPrice, QStringLiteral("1.50"));
    EXPECT_EQ(items[0].jobItem, QStringLiteral("1044-1"));
    EXPECT_EQ(items[0].link, QStringLiteral("http://shop.test/f1.pdf"));
    // The missing price stays empty instead of taking item 3's.
    EXPECT_EQ(items[1].unitPrice, QString());
    EXPECT_EQ(items[1].quantity, 1);
    EXPECT_EQ(items[1].jobItem, QStringLiteral("999-1"));
    EXPECT_EQ(items[2].unitPrice, QStringLiteral("3.50"));
    EXPECT_EQ(items[2].quantity, 30);

    // Twelve items give twelve (orders were cut at ten before).
    WriteTestFile(path, orderXml(12));
    ASSERT_TRUE(document.Load(path));
    const QList<XmlOrderItem> twelve = ReadXmlOrderItems(document, XmlOrderKeys());
    ASSERT_EQ(twelve.size(), 12);
    EXPECT_EQ(twelve[11].jobItem, QStringLiteral("1044-12"));
}

TEST_F(XmlReaderTest, IncomingNamesAFolderOrAnFtpSite)
{
    const QString dotted = tempPath(QStringLiteral("web.orders"));
    QDir().mkpath(dotted);
    struct Case
    {
        QString incoming;
        bool valid;
        bool ftp;
        QString host;
        QString remote;
    };
    const Case cases[] = {
        {QStringLiteral("ftp://orders.shop.test/incoming/xml/"), true, true, QStringLiteral("orders.shop.test"),
         QStringLiteral("incoming/xml")},
        {QStringLiteral("orders.shop.test\\incoming"), true, true, QStringLiteral("orders.shop.test"),
         QStringLiteral("incoming")},
        {dotted, true, false, QString(), QString()},
        {QStringLiteral("\\\\server\\orders\\"), false, false, QString(), QString()},
        {QStringLiteral("\\orders"), false, false, QString(), QString()},
        {QString(), false, false, QString(), QString()},
    };
    for (const Case &c : cases) {
        const XmlOrderLocation where = ParseXmlOrderLocation(c.incoming);
        EXPECT_EQ(where.valid, c.valid) << c.incoming.toStdString();
        EXPECT_EQ(where.ftp, c.ftp) << c.incoming.toStdString();
        EXPECT_EQ(where.host, c.host) << c.incoming.toStdString();
        EXPECT_EQ(where.remote, c.remote) << c.incoming.toStdString();
    }

    // A missing folder is said in the log and the message.
    QList<XmlOrderFile> files;
    QString log;
    QString error;
    EXPECT_FALSE(ListXmlOrderFiles(QStringLiteral("C:\\orders\\"), QString(), QString(), files, log, error));
    EXPECT_EQ(log, QStringLiteral("\r\n*** XML folder does not exist ***"));
    EXPECT_EQ(error, QStringLiteral("C:\\orders\\\n\n\r\n*** XML folder does not exist ***"));

    // A folder with a dot in its name is listed as a folder.
    WriteTestFile(dotted + QStringLiteral("/a.xml"), orderXml(1));
    WriteTestFile(dotted + QStringLiteral("/note.txt"), "x");
    log.clear();
    ASSERT_TRUE(ListXmlOrderFiles(dotted, QString(), QString(), files, log, error)) << error.toStdString();
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files[0].name, QStringLiteral("a.xml"));
    EXPECT_EQ(files[0].size, QFileInfo(dotted + QStringLiteral("/a.xml")).size());
    EXPECT_EQ(files[0].date, QFileInfo(dotted + QStringLiteral("/a.xml")).lastModified().toString(QStringLiteral("MM/dd/yyyy")));
}

TEST_F(XmlReaderTest, OrdersFromAnFtpSiteAreListedFreshAndRead)
{
    const QString root = tempPath(QStringLiteral("ftproot"));
    WriteTestFile(root + QStringLiteral("/orders/web1.xml"), orderXml(2));
    WriteTestFile(root + QStringLiteral("/orders/web2.xml"), orderXml(12));
    WriteTestFile(root + QStringLiteral("/orders/readme.txt"), "not an order");
    testservers::FtpServer server(root);
    ASSERT_TRUE(server.started()) << server.error().toStdString();

    const QString incoming = QStringLiteral("ftp://") + server.host() + QStringLiteral("/orders");
    QList<XmlOrderFile> files;
    QString log;
    QString error;
    ASSERT_TRUE(ListXmlOrderFiles(incoming, QStringLiteral("anonymous"), QString(), files, log, error))
        << error.toStdString();
    EXPECT_EQ(log, QStringLiteral("\r\nConnected to ") + incoming + QStringLiteral("\r\nFound 2 files."));
    QStringList names;
    for (const XmlOrderFile &f : files)
        names.append(f.name);
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("web1.xml"), QStringLiteral("web2.xml")}));

    // curl lists the same files.
    QProcess curl;
    curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-l"), incoming + QLatin1Char('/')});
    curl.waitForFinished(20000);
    QStringList listed = QString::fromUtf8(curl.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    listed = listed.filter(QStringLiteral(".xml"));
    for (QString &name : listed)
        name = name.trimmed();
    listed.sort();
    EXPECT_EQ(listed, names);

    // A file added on the server shows in the next listing.
    WriteTestFile(root + QStringLiteral("/orders/web3.xml"), orderXml(1));
    ASSERT_TRUE(ListXmlOrderFiles(incoming, QStringLiteral("anonymous"), QString(), files, log, error));
    EXPECT_EQ(files.size(), 3);

    // The legacy form host\folder reaches the same folder.
    log.clear();
    ASSERT_TRUE(ListXmlOrderFiles(server.host() + QStringLiteral("\\orders"), QStringLiteral("anonymous"), QString(),
                                  files, log, error))
        << error.toStdString();
    EXPECT_EQ(files.size(), 3);

    for (const XmlOrderFile &f : files) {
        if (f.name != QLatin1String("web2.xml"))
            continue;
        EXPECT_EQ(f.size, QFileInfo(root + QStringLiteral("/orders/web2.xml")).size());
        QString local = tempPath(QStringLiteral("fetched.xml"));
        ASSERT_TRUE(FetchXmlOrderFile(f.fullPath, QStringLiteral("anonymous"), QString(), local, error))
            << error.toStdString();
        XmlDocument document;
        ASSERT_TRUE(document.Load(local));
        EXPECT_EQ(ReadXmlOrderItems(document, XmlOrderKeys()).size(), 12);

        // A local file that cannot be written (here past the file-size
        // limit) is said as such, not as a connection that failed; the file
        // fetched before stays whole.
        const QByteArray before = ReadTestFile(local);
        bool fetched = true;
        {
            const FileSizeLimit limit(64);
            fetched = FetchXmlOrderFile(f.fullPath, QStringLiteral("anonymous"), QString(), local, error);
        }
        EXPECT_FALSE(fetched);
        EXPECT_EQ(error, QStringLiteral("Cannot write: ") + local
                             + QStringLiteral("\n\nThe file would be larger than the file-size limit allows."));
        EXPECT_EQ(ReadTestFile(local), before);
        EXPECT_TRUE(WorkFilesOf(local).isEmpty());
    }

    // A server that is not there is said with the library's reason.
    const quint16 closed = testservers::FreePort();
    EXPECT_FALSE(ListXmlOrderFiles(QStringLiteral("ftp://127.0.0.1:%1/orders").arg(closed), QString(), QString(),
                                   files, log, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot connect to: 127.0.0.1:%1\n\nError 7: ").arg(closed)))
        << error.toStdString();
    EXPECT_TRUE(files.isEmpty());
}

TEST_F(XmlReaderTest, TheViewerShowsElementsAttributesAndTexts)
{
    const QString path = tempPath(QStringLiteral("order.xml"));
    WriteTestFile(path, "<?xml version=\"1.0\"?>\n<?xml-stylesheet type=\"text/xsl\" href=\"a.xslt\"?>\n"
                    "<OrderRequest><!-- web shop --><ItemOut quantity=\"2\" unit=\"box\">"
                    "<Description>Flyers</Description></ItemOut></OrderRequest>\n");
    CDlgXML dialog(path, nullptr);
    onDialog<CDlgXML>([](CDlgXML &d) -> int {
        CXTreeCtrl *tree = d.tree();
        QTreeWidgetItem *document = tree->topLevelItem(0);
        EXPECT_EQ(document->text(0), QStringLiteral("#document"));
        EXPECT_EQ(CXTreeCtrl::GetImage(document), 195);
        if (document->childCount() != 2) {
            ADD_FAILURE() << "the document has " << document->childCount() << " entries";
            return 2;
        }
        EXPECT_EQ(document->child(0)->text(0), QStringLiteral("xml-stylesheet"));
        EXPECT_EQ(CXTreeCtrl::GetImage(document->child(0)), 55);
        QTreeWidgetItem *order = document->child(1);
        EXPECT_EQ(order->text(0), QStringLiteral("OrderRequest"));
        EXPECT_EQ(order->child(0)->text(0), QStringLiteral("#comment - comment"));
        EXPECT_EQ(CXTreeCtrl::GetImage(order->child(0)), 56);
        QTreeWidgetItem *item = order->child(1);
        EXPECT_EQ(item->text(0), QStringLiteral("ItemOut"));
        EXPECT_EQ(item->child(0)->text(0), QStringLiteral("quantity=2"));
        EXPECT_EQ(CXTreeCtrl::GetImage(item->child(0)), 35);
        EXPECT_EQ(item->child(1)->text(0), QStringLiteral("unit=box"));
        EXPECT_EQ(item->child(2)->child(0)->text(0), QStringLiteral("Flyers"));
        EXPECT_EQ(CXTreeCtrl::GetImage(item->child(2)->child(0)), 24);
        tree->expandAll();
        TavrelTest::SaveSnapshot(d, QStringLiteral("exchange"), QStringLiteral("xml-viewer"));
        return 1;
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(dialog.windowTitle(), path);
}

// Only an ordinary file of at most kMaxBytes is read; anything else is
// refused at once with the reason, never read for ever.
TEST_F(XmlReaderTest, OnlyAnOrdinaryFileOfBoundedSizeIsRead)
{
    const QString large = tempPath(QStringLiteral("large.xml"));
    {
        QFile f(large);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(XmlDocument::kMaxBytes + 1));
    }
    const QString atLimit = tempPath(QStringLiteral("limit.xml"));
    {
        // Exactly the limit is read (and is then no XML: two parse errors).
        QFile f(atLimit);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<a>");
        ASSERT_TRUE(f.resize(XmlDocument::kMaxBytes));
    }
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("/dev/zero"), QStringLiteral("it is not an ordinary file (it is a folder, a pipe, a device or a socket)")},
        {tempPath(QString()), QStringLiteral("it is not an ordinary file (it is a folder, a pipe, a device or a socket)")},
        {large, QStringLiteral("it is larger than 64 MB, the most such a file may be")},
    };
    for (const auto &[path, why] : cases) {
        SCOPED_TRACE(path.toStdString());
        prompts().clear();
        prompts().answer(platform::IDOK);
        XmlDocument document;
        EXPECT_FALSE(document.Load(path));
        EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Cannot read the XML file %1: %2.").arg(path, why)});
    }
    prompts().clear();
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    XmlDocument document;
    EXPECT_FALSE(document.Load(atLimit));
    ASSERT_EQ(prompts().shown().size(), 2);
    EXPECT_TRUE(prompts().shown().at(0).text.startsWith(QStringLiteral("Error processing XML file: ")));
}

// An order's entities may not make its text larger than the file may be:
// the size is measured without replacing anything, and an order past it is
// refused at once, before any of it is read.
TEST_F(XmlReaderTest, EntitiesThatWouldGrowTheTextPastTheLimitAreRefusedAtOnce)
{
    const QByteArray hundredKb(100 * 1024, 'A');
    const QByteArray mb(1024 * 1024, 'B');
    QByteArray twentyThousand;
    for (int i = 0; i < 20000; ++i)
        twentyThousand += "&e;";
    QByteArray sixtyFour;
    for (int i = 0; i < 64; ++i)
        sixtyFour += "&m;";
    // 100 KB used ten times in an entity used 70 times: 70,000 KB.
    QByteArray seventy;
    for (int i = 0; i < 70; ++i)
        seventy += "&t;";
    struct Case
    {
        const char *name;
        QByteArray xml;
        bool refused;
    };
    const Case cases[] = {
        {"100 KB used 20,000 times in a description",
         "<!DOCTYPE OrderRequest [<!ENTITY e \"" + hundredKb + "\">]>\n<OrderRequest><ItemOut quantity=\"2\"><ItemDetail>"
             "<Description>" + twentyThousand + "</Description></ItemDetail></ItemOut></OrderRequest>",
         true},
        {"1 MB used 64 times: exactly 64 MB of text",
         "<!DOCTYPE Order [<!ENTITY m \"" + mb + "\">]>\n<Order><Note>" + sixtyFour + "</Note></Order>", false},
        {"one character more",
         "<!DOCTYPE Order [<!ENTITY m \"" + mb + "\">]>\n<Order><Note>" + sixtyFour + "x</Note></Order>", true},
        {"the same in an attribute",
         "<!DOCTYPE Order [<!ENTITY m \"" + mb + "\">]>\n<Order><Note text=\"x" + sixtyFour + "\"/></Order>", true},
        {"entities inside entities",
         "<!DOCTYPE Order [<!ENTITY e \"" + hundredKb + "\"><!ENTITY t \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">]>\n"
         "<Order><Note>" + seventy + "</Note></Order>",
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = tempPath(QStringLiteral("order.xml"));
        ASSERT_TRUE(WriteTestFile(path, "<?xml version=\"1.0\"?>\n" + c.xml));
        // The DTD declares no elements: the first, validating load fails and
        // the second is made without validating.
        prompts().clear();
        for (int i = 0; i < 3; ++i)
            prompts().answer(platform::IDOK);
        const ChildRun run = LoadInChild(path, 120);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(QString::fromUtf8(run.output),
                  c.refused ? QStringLiteral("Cannot read the XML file %1: with its entities replaced by what they "
                                             "stand for it would be larger than 64 MB, the most such a file may be.")
                                  .arg(path)
                            : QStringLiteral("loaded"));
        EXPECT_LT(run.grownKb, 256 * 1024);
    }
}

// The parser checks each attribute of an element against all the element's
// attributes before it: an element of more than kMaxAttributes is refused
// before parsing, in the file and in an entity's text alike. Markup that
// holds no start tag (a comment, a CDATA section, text) may hold any number
// of "=".
TEST_F(XmlReaderTest, AnElementOfTooManyAttributesIsRefusedBeforeParsing)
{
    const auto attributes = [](int count, char quote) {
        QByteArray text;
        for (int i = 0; i < count; ++i)
            text += " a" + QByteArray::number(i) + "=" + quote + "v" + QByteArray::number(i) + quote;
        return text;
    };
    // An attribute list of the DTD: each attribute with a default, which the
    // parser gives every such element.
    const auto declared = [](int from, int count) {
        QByteArray text = "<!ATTLIST ItemOut";
        for (int i = from; i < from + count; ++i)
            text += " a" + QByteArray::number(i) + " CDATA \"x\"";
        return text + ">";
    };
    const auto withDtd = [](const QByteArray &lists, const QByteArray &item) {
        return "<!DOCTYPE OrderRequest [" + lists + "]>\n<OrderRequest>" + item + "</OrderRequest>";
    };
    const QByteArray equals(1000, '=');
    enum Refused { No, Crowded, ByDtd };
    struct Case
    {
        const char *name;
        QByteArray xml;
        Refused refused;
    };
    const Case cases[] = {
        {"100,000 on one element", "<OrderRequest><ItemOut" + attributes(100000, '"') + "/></OrderRequest>", Crowded},
        {"256", "<OrderRequest><ItemOut" + attributes(256, '"') + "/></OrderRequest>", No},
        {"257", "<OrderRequest><ItemOut" + attributes(257, '\'') + "/></OrderRequest>", Crowded},
        {"257 in an entity's text",
         "<!DOCTYPE OrderRequest [<!ENTITY e \"<ItemOut" + attributes(257, '\'') + "/>\">]>\n"
         "<OrderRequest>&e;</OrderRequest>",
         Crowded},
        {"257 in an entity's text written with character references",
         "<!DOCTYPE OrderRequest [<!ENTITY e \"&#60;ItemOut" + attributes(257, '\'') + "/&#62;\">]>\n"
         "<OrderRequest>&e;</OrderRequest>",
         Crowded},
        {"= in a comment, CDATA, a value, text and the DTD",
         "<!DOCTYPE OrderRequest [<!-- " + equals + " --><!ENTITY e \"" + equals + "\">]>\n<OrderRequest><!-- " + equals
             + " --><Note a=\"" + equals + "\"><![CDATA[<x " + equals + ">]]>" + equals + "&e;</Note></OrderRequest>",
         No},
        // The DTD's attributes count with the element's own.
        {"100,000 declared in the DTD", withDtd(declared(0, 100000), "<ItemOut/><ItemOut/><ItemOut/><ItemOut/>"), ByDtd},
        {"257 declared in two lists", withDtd(declared(0, 200) + declared(200, 57), "<ItemOut/>"), ByDtd},
        {"256 declared", withDtd(declared(0, 256), "<ItemOut/>"), No},
        {"200 declared, 100 of its own of which 43 declared",
         withDtd(declared(57, 200), "<ItemOut" + attributes(100, '"') + "/>"), ByDtd},
        {"200 declared, 100 of its own of which 44 declared",
         withDtd(declared(56, 200), "<ItemOut" + attributes(100, '"') + "/>"), No},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = tempPath(QStringLiteral("order.xml"));
        ASSERT_TRUE(WriteTestFile(path, "<?xml version=\"1.0\"?>\n" + c.xml));
        prompts().clear();
        for (int i = 0; i < 3; ++i)
            prompts().answer(platform::IDOK);
        const ChildRun run = LoadInChild(path, 120);
        ASSERT_TRUE(run.finished);
        const QString expected = c.refused == Crowded
            ? QStringLiteral("Cannot read the XML file %1: an element in it has more than 256 attributes, the most "
                             "Tavrel reads.")
                  .arg(path)
            : c.refused == ByDtd ? QStringLiteral("Cannot read the XML file %1: with the attributes its DTD declares, "
                                                  "the element ItemOut has more than 256 attributes, the most Tavrel "
                                                  "reads.")
                                       .arg(path)
                                 : QStringLiteral("loaded");
        EXPECT_EQ(QString::fromUtf8(run.output), expected);
    }
    // The most is read whole.
    const QString path = tempPath(QStringLiteral("order.xml"));
    ASSERT_TRUE(WriteTestFile(path, "<OrderRequest><ItemOut" + attributes(256, '"') + "/></OrderRequest>"));
    XmlDocument document;
    ASSERT_TRUE(document.Load(path));
    EXPECT_EQ(document.GetXmlValue(QStringLiteral("ItemOut"), QStringLiteral("a255"), 0), QStringLiteral("v255"));
}

// Each path of an item is found once for the whole order, so a long order
// takes one pass: 100,000 items, their prices listed apart deep inside the
// order (read by their running count), give the 255 an order holds.
TEST_F(XmlReaderTest, AnOrderOfManyItemsIsReadInOnePass)
{
    QByteArray xml = "<?xml version=\"1.0\"?>\n<OrderRequest>\n";
    for (int i = 1; i <= 100000; ++i)
        xml += "<ItemOut quantity=\"" + QByteArray::number(i) + "\"><ItemDetail><Description>Item " + QByteArray::number(i)
            + "</Description></ItemDetail></ItemOut>\n";
    const int depth = 30;
    xml += QByteArray("<Part>").repeated(depth) + "<Prices>";
    for (int i = 1; i <= 100000; ++i)
        xml += "<Price>" + QByteArray::number(i) + ".25</Price>";
    xml += "</Prices>" + QByteArray("</Part>").repeated(depth) + "\n</OrderRequest>\n";
    const QString path = tempPath(QStringLiteral("order.xml"));
    ASSERT_TRUE(WriteTestFile(path, xml));
    const ChildRun run = RunInChild(60, [&] {
        XmlDocument document;
        if (!document.Load(path))
            return document.LastErrorText().toUtf8();
        XmlOrderKeys keys;
        keys.price = QStringLiteral("Prices/Price");
        QByteArray out;
        for (const XmlOrderItem &item : ReadXmlOrderItems(document, keys))
            out += (QStringList{item.description, QString::number(item.quantity), item.unitPrice, item.jobItem}
                        .join(QLatin1Char('|')) + QLatin1Char('\n')).toUtf8();
        return out;
    });
    ASSERT_TRUE(run.finished);
    const QStringList lines = QString::fromUtf8(run.output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 255);
    EXPECT_EQ(lines.first(), QStringLiteral("Item 1|1|1.25|999-1"));
    EXPECT_EQ(lines.last(), QStringLiteral("Item 255|255|255.25|999-1"));
}
