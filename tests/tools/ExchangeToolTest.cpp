// tavrel-dbtool's exchange commands against real servers on 127.0.0.1:
// XML, the mailbox, outgoing mail, linked downloads and the support site.

#include "support/TestFiles.h"
#include "support/LocalServers.h"
#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QEventLoop>
#include <QtCore/QProcess>
#include <QtCore/QTimer>

namespace {



} // namespace

class ExchangeToolTest : public TavrelTest
{
};

TEST_F(ExchangeToolTest, XmlJobsOfTheSampleShopAndTheirItems)
{
    const QString db = tempPath(QStringLiteral("shop/TavrelData.mdb"));
    QDir().mkpath(QFileInfo(db).absolutePath());
    ASSERT_EQ(RunDbTool({QStringLiteral("sample"), db}).exitCode, 0);
    WriteTestFile(QFileInfo(db).absolutePath() + QStringLiteral("/XML/jobtemplates/XMLOnly.xslt"), "<x/>\n");
    const ToolRun run = RunDbTool({QStringLiteral("xml"), db, QStringLiteral("jobs"), QStringLiteral("XMLOnly.xslt"),
                                   QStringLiteral("1001")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString written = run.out.trimmed();
    EXPECT_TRUE(written.endsWith(QStringLiteral("/XML/jobfiles/Order1001.xml"))) << written.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("PROMPT: Exported to ")));
    const ToolRun load = RunDbTool({QStringLiteral("xml"), written, QStringLiteral("--load")});
    EXPECT_EQ(load.exitCode, 0) << load.err.toStdString();
    EXPECT_TRUE(load.err.isEmpty() || !load.err.contains(QStringLiteral("Parse Error")));

    const QString order = tempPath(QStringLiteral("order.xml"));
    WriteTestFile(order, "<OrderRequest><ItemOut quantity=\"3\"><ItemID><SupplierPartID/></ItemID><ItemDetail>"
                     "<Description>Cards</Description><URL>http://x.test/a.pdf</URL></ItemDetail>"
                     "<UnitPrice>2.50</UnitPrice></ItemOut></OrderRequest>");
    const ToolRun items = RunDbTool({QStringLiteral("xml"), order, QStringLiteral("--order")});
    EXPECT_EQ(items.out, QStringLiteral("Cards\t3\t2.50\t999-1\thttp://x.test/a.pdf\n"));
}

// An XML list whose template's query fails, or finds nothing, leaves the
// document at the name byte for byte and no work file.
TEST_F(ExchangeToolTest, AFailedOrEmptyXmlListLeavesTheOldDocument)
{
    const QString db = tempPath(QStringLiteral("shop/TavrelData.mdb"));
    QDir().mkpath(QFileInfo(db).absolutePath());
    ASSERT_EQ(RunDbTool({QStringLiteral("create"), db}).exitCode, 0);
    const QString folder = QFileInfo(db).absolutePath() + QStringLiteral("/XML/");
    const QString document = folder + QStringLiteral("otherfiles/Customers.xml");
    QDir().mkpath(folder + QStringLiteral("otherfiles"));
    struct Case
    {
        const char *query;
        int exitCode;
        QString said;
    };
    const Case cases[] = {
        {"SELECT NoSuchColumn FROM NoSuchTable", 1, QString()},
        {"SELECT Name FROM Customers WHERE CusNo = -5", 0,
         QStringLiteral("No data is exported: ") + document + QStringLiteral(" is left as it was.")},
    };
    const QByteArray old = "<?xml version=\"1.0\"?>\r\n<Records>last week's</Records>\r\n";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.query);
        ASSERT_TRUE(WriteTestFile(folder + QStringLiteral("othertemplates/Customers List.xslt"),
                                  "<!-- DIZUV_IZEVODOVAV:\n" + QByteArray(c.query) + "\n-->\n<xsl:stylesheet/>\n"));
        ASSERT_TRUE(WriteTestFile(document, old));
        const ToolRun run = RunDbTool({QStringLiteral("xml"), db, QStringLiteral("list"),
                                       QStringLiteral("Customers List.xslt"), QStringLiteral("Customers"),
                                       QStringLiteral("Customers Document")});
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_EQ(ReadTestFile(document), old);
        EXPECT_EQ(WorkFilesOf(document), QStringList());
        if (!c.said.isEmpty())
            EXPECT_TRUE(run.err.contains(c.said)) << run.err.toStdString();
    }
}

// The tool's time-out bounds a reply that trickles in a byte at a time from a
// server of its own (a short python3 program, bounded by `timeout`).
TEST_F(ExchangeToolTest, MailReceiveStopsATricklingServerAtItsTimeout)
{
    QProcess server;
    server.start(QStringLiteral("timeout"),
                 {QStringLiteral("60"), QStringLiteral("python3"), QStringLiteral("-c"),
                  QStringLiteral("import socket, time\n"
                                 "s = socket.socket()\n"
                                 "s.bind(('127.0.0.1', 0))\n"
                                 "s.listen(1)\n"
                                 "print(s.getsockname()[1], flush=True)\n"
                                 "c, _ = s.accept()\n"
                                 "while True:\n"
                                 "    c.send(b'+')\n"
                                 "    time.sleep(0.2)\n")});
    ASSERT_TRUE(server.waitForReadyRead(20000));
    const QString port = QString::fromLatin1(server.readLine()).trimmed();
    const ToolRun receive = RunDbTool({QStringLiteral("mail"), QStringLiteral("receive"),
                                       QStringLiteral("127.0.0.1:") + port, QStringLiteral("shop"), QStringLiteral("pw"),
                                       QStringLiteral("--timeout"), QStringLiteral("2")});
    server.kill();
    server.waitForFinished(5000);
    EXPECT_EQ(receive.exitCode, 1) << receive.err.toStdString();
    EXPECT_TRUE(receive.out.contains(
        QStringLiteral("\n*** The server sent its reply slower than 64 KB in 2 seconds; receiving stopped ***\n")))
        << receive.out.toStdString();
}

TEST_F(ExchangeToolTest, MailboxLinkAndSupportSite)
{
    testservers::PopServer pop(QStringLiteral("pw"));
    ASSERT_TRUE(pop.started()) << pop.error().toStdString();
    const QByteArray mail = "From: a@b.test\r\nMessage-ID: <x1@b.test>\r\n\r\n.line\r\n";
    ASSERT_TRUE(pop.addMessage(QStringLiteral("1.mail"), mail));
    const QString saved = tempPath(QStringLiteral("saved"));
    const ToolRun receive = RunDbTool({QStringLiteral("mail"), QStringLiteral("receive"),
                                       QStringLiteral("127.0.0.1:%1").arg(pop.port()), QStringLiteral("shop"),
                                       QStringLiteral("pw"), QStringLiteral("--save"), saved, QStringLiteral("--delete")});
    ASSERT_EQ(receive.exitCode, 0) << receive.out.toStdString() << receive.err.toStdString();
    EXPECT_TRUE(receive.out.contains(QStringLiteral("Sent: PASS ****")));
    EXPECT_TRUE(receive.out.endsWith(QStringLiteral("1\t%1\tx1@b.test\n").arg(mail.size())));
    EXPECT_EQ(ReadTestFile(saved + QStringLiteral("/1.eml")), mail);

    // A message is deleted only once it is saved: one that cannot be saved
    // stays on the server with every one after it, the ones saved before it
    // are deleted, and the tool fails.
    struct Case
    {
        const char *taken;   // a folder at this name in the save folder; "" the save folder itself is a file
        int left;            // messages still on the server
        const char *listed;  // the messages listed as saved
        int message;         // the one that could not be saved
        const char *earlier = nullptr; // a message an earlier run saved at the name, instead of a folder
    };
    const Case cases[] = {
        {"1.eml", 3, "", 1},
        {"2.eml", 2, "1\t", 2},
        {"", 3, "", 1},
        {"1.eml", 3, "", 1, "From: a@b.test\r\nMessage-ID: <old@b.test>\r\n\r\nEarlier order\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.taken);
        testservers::PopServer box(QStringLiteral("pw"));
        ASSERT_TRUE(box.started()) << box.error().toStdString();
        for (int i = 1; i <= 3; ++i)
            ASSERT_TRUE(box.addMessage(QStringLiteral("%1.mail").arg(i),
                                       "From: a@b.test\r\nMessage-ID: <m" + QByteArray::number(i) + "@b.test>\r\n\r\nOrder\r\n"));
        const QString folder = tempPath(QStringLiteral("unwritable-%1%2")
                                            .arg(QLatin1String(c.taken), c.earlier ? QStringLiteral("-saved") : QString()));
        if (c.earlier)
            ASSERT_TRUE(WriteTestFile(folder + QLatin1Char('/') + QLatin1String(c.taken), c.earlier));
        else if (*c.taken)
            QDir().mkpath(folder + QLatin1Char('/') + QLatin1String(c.taken));
        else
            ASSERT_TRUE(WriteTestFile(folder, "a file, not a folder"));
        const ToolRun r = RunDbTool({QStringLiteral("mail"), QStringLiteral("receive"),
                                     QStringLiteral("127.0.0.1:%1").arg(box.port()), QStringLiteral("shop"),
                                     QStringLiteral("pw"), QStringLiteral("--save"), folder, QStringLiteral("--delete")});
        EXPECT_EQ(r.exitCode, 1) << r.out.toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Cannot write: %1/%2.eml: ").arg(folder).arg(c.message)))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Email %1 could not be kept: it and the ones after it were left on "
                                                  "the server.\n")
                                       .arg(c.message)))
            << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral("Sent: DELE %1").arg(c.message))) << r.out.toStdString();
        const QString listed = r.out.section(QStringLiteral("ERROR. Cannot complete receiving messages.\n"), 1);
        EXPECT_EQ(listed.left(int(qstrlen(c.listed))), QLatin1String(c.listed)) << r.out.toStdString();
        EXPECT_EQ(listed.count(QLatin1Char('\n')), *c.listed ? 1 : 0) << r.out.toStdString();
        QEventLoop settle;
        QTimer::singleShot(500, &settle, &QEventLoop::quit);
        settle.exec();
        EXPECT_EQ(box.messageCount(), c.left);
        // A message an earlier run saved (and deleted from the server) is
        // never written over.
        if (c.earlier)
            EXPECT_EQ(ReadTestFile(folder + QLatin1Char('/') + QLatin1String(c.taken)), QByteArray(c.earlier));
    }

    // A connection refused is said with the system's error, and the tool fails.
    const ToolRun refused = RunDbTool({QStringLiteral("mail"), QStringLiteral("receive"),
                                       QStringLiteral("127.0.0.1:%1").arg(testservers::FreePort()),
                                       QStringLiteral("shop"), QStringLiteral("pw")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.out.contains(QStringLiteral("\n*** Cannot connect due to ERROR NO: 111\n")))
        << refused.out.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("PROMPT: Error 111 occurred:\\n\\nConnection refused")))
        << refused.err.toStdString();

    const QString site = tempPath(QStringLiteral("site"));
    WriteTestFile(site + QStringLiteral("/Downloads/notes.txt"), "release notes");
    WriteTestFile(site + QStringLiteral("/art.pdf"), QByteArray(2000, 'a'));
    QDir().mkpath(site + QStringLiteral("/incoming"));
    testservers::HttpServer web(site);
    ASSERT_TRUE(web.started()) << web.error().toStdString();
    const QString into = tempPath(QStringLiteral("DownloadTo"));
    QDir().mkpath(into);
    const ToolRun link = RunDbTool({QStringLiteral("mail"), QStringLiteral("link"), web.url() + QStringLiteral("art.pdf"),
                                    into, QStringLiteral("--cusno"), QStringLiteral("55")});
    ASSERT_EQ(link.exitCode, 0) << link.err.toStdString();
    EXPECT_EQ(link.out.trimmed(), into + QStringLiteral("/55/art.pdf"));

    testservers::FtpServer ftp(site, 300, true);
    ASSERT_TRUE(ftp.started()) << ftp.error().toStdString();
    const ToolRun get = RunDbTool({QStringLiteral("transfer"), QStringLiteral("x.mdb"), QStringLiteral("get"),
                                   QStringLiteral("notes.txt"), QStringLiteral("--site"),
                                   QStringLiteral("ftp://") + ftp.host(), QStringLiteral("--to"), into});
    ASSERT_EQ(get.exitCode, 0) << get.err.toStdString();
    EXPECT_EQ(ReadTestFile(into + QStringLiteral("/notes.txt")), QByteArray("release notes"));
    EXPECT_TRUE(get.out.endsWith(QStringLiteral("Transfered the file successfully.\n")));
}

// The tool's outgoing mail checks its attachment as the program does, on the
// file it reads: a link to a device is refused and the server gets nothing.
TEST_F(ExchangeToolTest, MailSendRefusesAnAttachmentThatIsNoOrdinaryFile)
{
    const QString folder = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(folder);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    const QString link = tempPath(QStringLiteral("Proof.pdf"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), link));
    const QStringList args{QStringLiteral("mail"), QStringLiteral("send"), server.url(), QStringLiteral("--to"),
                           QStringLiteral("ann@customer.test"), QStringLiteral("--subject"), QStringLiteral("Proof"),
                           QStringLiteral("--text"), QStringLiteral("See it"), QStringLiteral("--attach")};
    const ToolRun refused = RunDbTool(args + QStringList{link});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("PROMPT: Cannot attach %1: it is not an ordinary file (it is a "
                                                    "folder, a pipe, a device or a socket).\\n\\nNothing was sent.\n")
                                         .arg(link)))
        << refused.err.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList());

    // An ordinary file goes out.
    QFile::remove(link);
    WriteTestFile(link, "%PDF-1.4 proof\n");
    const ToolRun sent = RunDbTool(args + QStringList{link});
    EXPECT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    EXPECT_TRUE(ReadTestFile(folder + QStringLiteral("/1.eml")).contains(QByteArray("%PDF-1.4 proof\n").toBase64()));
}
