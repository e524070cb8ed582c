// The POP3 mailbox client against a real server (dovecot on 127.0.0.1), and
// the reading of a kept message's body and header lines.

#include "exchange/mail/CEmailSocket.h"
#include "support/LocalServers.h"
#include "support/TestEnvironment.h"

#include <QtCore/QEventLoop>
#include <QtCore/QProcess>
#include <QtCore/QTimer>
#include <QtNetwork/QTcpServer>
#include <QtNetwork/QTcpSocket>

#include <functional>
#include <memory>

namespace {

class RecordingOwner : public EmailSocketOwner
{
public:
    void Log(const QString &text, bool blankLineFirst) override { lines.append(blankLineFirst ? QLatin1Char('\n') + text : text); }
    void ShowProgress(int step) override { steps.append(step); }
    QStringList lines;
    QList<int> steps;
};

// An owner whose keeping of message `failAt` (from 0) fails, as a file that
// cannot be written.
class FailingOwner : public RecordingOwner
{
public:
    explicit FailingOwner(int failAt) : m_failAt(failAt) {}
    bool KeepMessage(int index) override
    {
        kept.append(index);
        return index != m_failAt;
    }
    QList<int> kept;

private:
    int m_failAt;
};

// Runs one receive to its end (or gives up after 30 s).
void receive(CEmailSocket &socket, RecordingOwner &owner, quint16 port, const QString &password, bool remove)
{
    QEventLoop loop;
    QObject::connect(&socket, &CEmailSocket::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    socket.Reset();
    if (socket.ConnectTo(&owner, QStringLiteral("127.0.0.1"), QStringLiteral("shop"), password, remove, port))
        loop.exec();
}

QByteArray mail(const QByteArray &id, const QByteArray &body)
{
    return "From: web@shop.test\r\nTo: orders@print.test\r\nSubject: Order " + id + "\r\nMessage-Id: <" + id +
           "@shop.test>\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n" + body;
}

QString curlList(quint16 port, const QString &password)
{
    QProcess curl;
    curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("pop3://127.0.0.1:%1/").arg(port),
                                        QStringLiteral("-u"), QStringLiteral("shop:") + password});
    curl.waitForFinished(20000);
    return QString::fromLatin1(curl.readAllStandardOutput()).trimmed();
}

} // namespace

class MailboxTest : public TavrelTest
{
};

TEST_F(MailboxTest, MailsArriveByteForByteAndAreDeletedOnlyWhenComplete)
{
    testservers::PopServer server(QStringLiteral("s3cret"));
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    QByteArray large;
    for (int i = 0; i < 120; ++i)
        large += "Item " + QByteArray::number(i) + ": 500 business cards, 14pt matte, two sides in full colour\r\n";
    const QList<QByteArray> sent = {
        mail("1001", "Please print 500 flyers.\r\nThanks\r\n"),
        mail("1002", large),
        mail("1003", ".starts with a dot\r\n..two dots\r\n.\r\nlast line\r\n"),
    };
    ASSERT_GT(sent[1].size(), 4096);
    for (int i = 0; i < sent.size(); ++i)
        ASSERT_TRUE(server.addMessage(QStringLiteral("%1.mail").arg(i + 1), sent[i]));

    CEmailSocket socket;
    RecordingOwner owner;
    receive(socket, owner, server.port(), QStringLiteral("s3cret"), true);
    ASSERT_EQ(socket.GetCount(), 3) << owner.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(socket.GetCurrent(), 3);
    QList<QByteArray> got;
    for (int i = 0; i < 3; ++i)
        got.append(socket.GetMessageText(i).toLatin1());
    // The server hands the messages out in its own order.
    std::sort(got.begin(), got.end());
    QList<QByteArray> expected = sent;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected);

    EXPECT_TRUE(owner.lines.contains(QStringLiteral("Sent: PASS ****")));
    EXPECT_FALSE(owner.lines.join(QString()).contains(QStringLiteral("s3cret")));
    EXPECT_TRUE(owner.lines.contains(QStringLiteral("The response is parsed as 3 messages.\r\n")));
    // Each DELE follows its complete message, and QUIT ends the run.
    const int firstDele = int(owner.lines.indexOf(QStringLiteral("Sent: DELE 1")));
    ASSERT_GE(firstDele, 0);
    EXPECT_EQ(owner.lines.at(firstDele - 1), QStringLiteral("Received email number 1"));
    EXPECT_EQ(owner.lines.last(), QStringLiteral("Sent: QUIT"));
    EXPECT_EQ(owner.steps, (QList<int>{1, 2, 4, 3, 4, 3, 4, 5}));

    // Nothing is left on the server.
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(server.messageCount(), 0);
    EXPECT_EQ(curlList(server.port(), QStringLiteral("s3cret")), QString());

    // The mailbox is closed once the run is over: deleting says so.
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(socket.DeleteMessage(0));
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("The mailbox is no longer connected")));

    // A message is deleted only once its owner has kept it: one that could
    // not be kept stays on the server with the ones after it, and the run
    // ends as failed.
    struct Case
    {
        int failAt;       // the message (from 0) that cannot be kept
        int left;         // messages still on the server
        QList<int> steps; // the progress steps of the run
    };
    const Case cases[] = {
        {0, 3, {1, 2, 6}},
        {1, 2, {1, 2, 4, 3, 6}},
        {2, 1, {1, 2, 4, 3, 4, 3, 6}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.failAt);
        testservers::PopServer box(QStringLiteral("s3cret"));
        ASSERT_TRUE(box.started()) << box.error().toStdString();
        for (int i = 0; i < sent.size(); ++i)
            ASSERT_TRUE(box.addMessage(QStringLiteral("%1.mail").arg(i + 1), sent[i]));
        CEmailSocket kept;
        FailingOwner failing(c.failAt);
        receive(kept, failing, box.port(), QStringLiteral("s3cret"), true);
        EXPECT_EQ(failing.steps, c.steps);
        EXPECT_TRUE(kept.HasFailed());
        EXPECT_EQ(kept.FailureReason(), QStringLiteral("Email %1 could not be kept: it and the ones after it were left "
                                                       "on the server.")
                                            .arg(c.failAt + 1));
        EXPECT_FALSE(failing.lines.contains(QStringLiteral("Sent: DELE %1").arg(c.failAt + 1)));
        EXPECT_EQ(failing.lines.last(), QStringLiteral("Sent: QUIT"));
        QEventLoop wait;
        QTimer::singleShot(300, &wait, &QEventLoop::quit);
        wait.exec();
        EXPECT_EQ(box.messageCount(), c.left);
    }
}

TEST_F(MailboxTest, AnEmptyMailboxAndAWrongPassword)
{
    testservers::PopServer server(QStringLiteral("right"));
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    {
        CEmailSocket socket;
        RecordingOwner owner;
        receive(socket, owner, server.port(), QStringLiteral("right"), false);
        EXPECT_EQ(socket.GetCount(), 0);
        EXPECT_TRUE(owner.lines.contains(QStringLiteral("The response is parsed as 0 messages.\r\n")));
        EXPECT_EQ(owner.steps, (QList<int>{1, 5}));
    }
    CEmailSocket socket;
    RecordingOwner owner;
    prompts().answer(platform::IDOK);
    receive(socket, owner, server.port(), QStringLiteral("wrong"), false);
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Received error message from the server:\n\n-ERR")))
        << prompts().lastText().toStdString();
    EXPECT_EQ(owner.steps.last(), 6);
    EXPECT_EQ(owner.lines.last(), QStringLiteral("Sent: QUIT"));
}

TEST_F(MailboxTest, ASilentServerTimesOutAndALongCommandIsRefused)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    CEmailSocket socket;
    socket.setTimeout(1);
    RecordingOwner owner;
    receive(socket, owner, silent.serverPort(), QStringLiteral("x"), false);
    EXPECT_EQ(owner.steps, QList<int>{6});
    EXPECT_TRUE(owner.lines.contains(QStringLiteral("\n*** The server did not answer within 1 seconds ***")));

    // A greeting, then a user name too long for one command line.
    QTcpServer greeter;
    ASSERT_TRUE(greeter.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&greeter, &QTcpServer::newConnection, [&greeter] {
        QTcpSocket *client = greeter.nextPendingConnection();
        client->write("+OK ready\r\n");
    });
    CEmailSocket longUser;
    RecordingOwner owner2;
    QEventLoop loop;
    QObject::connect(&longUser, &CEmailSocket::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    longUser.ConnectTo(&owner2, QStringLiteral("127.0.0.1"), QString(300, QLatin1Char('u')), QStringLiteral("p"),
                       false, greeter.serverPort());
    loop.exec();
    ASSERT_FALSE(owner2.lines.isEmpty());
    EXPECT_TRUE(owner2.lines.last().endsWith(QStringLiteral(". The line is longer than 255 characters.")));
    EXPECT_EQ(owner2.steps, QList<int>{6});
}

// A server that never ends a line, lists without end, or answers one byte at
// a time is stopped within the client's bounds, and the run ends in error;
// one that sends a large message steadily is waited for, however long the
// message takes against the time-out.
TEST_F(MailboxTest, AHostileServerIsStoppedWithinTheBounds)
{
    struct Case
    {
        const char *name;
        // What the server does with a new client.
        std::function<void(QTcpSocket *)> serve;
        QString logged; // "" for a run that ends normally with one message
    };
    const auto endless = [](QTcpSocket *client, const QByteArray &chunk) {
        auto *pump = new QTimer(client);
        QObject::connect(pump, &QTimer::timeout, client, [client, chunk] {
            if (client->bytesToWrite() < 1024 * 1024)
                client->write(chunk);
        });
        pump->start(0);
    };
    // A mailbox of one message whose RETR reply goes out as `chunks` pieces
    // of `chunk` octets, one every `everyMs`.
    const auto slowMessage = [](QTcpSocket *client, qsizetype chunk, int chunks, int everyMs) {
        client->write("+OK ready\r\n");
        QObject::connect(client, &QTcpSocket::readyRead, client, [=] {
            const QByteArray line = client->readAll();
            if (line.startsWith("LIST")) {
                client->write("+OK\r\n1 100\r\n.\r\n");
            } else if (line.startsWith("RETR")) {
                client->write("+OK\r\n");
                auto *drip = new QTimer(client);
                auto sent = std::make_shared<int>(0);
                QObject::connect(drip, &QTimer::timeout, client, [=] {
                    client->write(QByteArray(chunk - 2, 'x') + "\r\n");
                    if (++*sent == chunks) {
                        client->write(".\r\n");
                        drip->stop();
                    }
                });
                drip->start(everyMs);
            } else {
                client->write("+OK\r\n");
            }
        });
    };
    const Case cases[] = {
        {"no line end", [&](QTcpSocket *client) { endless(client, QByteArray(64 * 1024, 'x')); },
         QStringLiteral("\n*** The server sent a line longer than 4096 characters; receiving stopped ***")},
        {"endless listing",
         [&](QTcpSocket *client) {
             client->write("+OK ready\r\n");
             QObject::connect(client, &QTcpSocket::readyRead, client, [client, endless] {
                 const QByteArray line = client->readAll();
                 client->write("+OK\r\n");
                 if (line.startsWith("LIST"))
                     endless(client, QByteArray("1 100\r\n").repeated(8 * 1024));
             });
         },
         QStringLiteral("\n*** The server's reply is larger than 4 MB; receiving stopped ***")},
        // Each byte within the time-out, the reply never within it.
        {"a byte at a time",
         [&](QTcpSocket *client) {
             auto *drip = new QTimer(client);
             QObject::connect(drip, &QTimer::timeout, client, [client] { client->write("+"); });
             drip->start(200);
         },
         QStringLiteral("\n*** The server sent its reply slower than 64 KB in 1 seconds; receiving stopped ***")},
        // 63 KB each 0.6 s: just below the least a reply must bring.
        {"a message too slow", [&](QTcpSocket *client) { slowMessage(client, 63 * 1024, 4, 600); },
         QStringLiteral("\n*** The server sent its reply slower than 64 KB in 1 seconds; receiving stopped ***")},
        // 64 KB each 0.6 s: 2.4 s for the message, twice the time-out and more.
        {"a large message sent steadily", [&](QTcpSocket *client) { slowMessage(client, 64 * 1024, 4, 600); },
         QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [&] { c.serve(server.nextPendingConnection()); });
        CEmailSocket socket;
        socket.setTimeout(1);
        RecordingOwner owner;
        receive(socket, owner, server.serverPort(), QStringLiteral("x"), false);
        if (c.logged.isEmpty()) {
            EXPECT_EQ(owner.steps.last(), 5) << owner.lines.join(QLatin1Char('|')).left(2000).toStdString();
            ASSERT_EQ(socket.GetCount(), 1);
            EXPECT_EQ(socket.GetMessageLength(0), 4 * 64 * 1024);
            EXPECT_FALSE(socket.HasFailed());
            EXPECT_EQ(socket.GetReceivedCount(), 1);
            continue;
        }
        EXPECT_EQ(owner.steps.last(), 6);
        EXPECT_TRUE(socket.HasFailed());
        EXPECT_EQ(socket.GetReceivedCount(), 0);
        EXPECT_TRUE(owner.lines.contains(c.logged)) << owner.lines.join(QLatin1Char('|')).left(2000).toStdString();
        EXPECT_EQ(socket.GetMessageLength(0), 0); // nothing received is kept
    }
}

TEST_F(MailboxTest, ConnectionRefusedIsSaid)
{
    const quint16 closed = testservers::FreePort();
    CEmailSocket socket;
    RecordingOwner owner;
    prompts().answer(platform::IDOK);
    receive(socket, owner, closed, QStringLiteral("x"), false);
    ASSERT_FALSE(owner.lines.isEmpty());
    // The system's number and text for a refused connection (never Qt's
    // own number 0 for it).
    EXPECT_EQ(owner.lines.last(), QStringLiteral("\n*** Cannot connect due to ERROR NO: 111"));
    EXPECT_EQ(prompts().shown().size(), 1);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Error 111 occurred:\n\nConnection refused\n\n"));
    // A failure, never an empty mailbox.
    EXPECT_TRUE(socket.IsEnded());
    EXPECT_TRUE(socket.HasFailed());
    EXPECT_EQ(socket.GetReceivedCount(), 0);

    // A connection lost in the middle of a message is a failure too.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket *client = server.nextPendingConnection();
        client->write("+OK ready\r\n");
        QObject::connect(client, &QTcpSocket::readyRead, client, [client] {
            const QByteArray line = client->readAll();
            if (line.startsWith("LIST")) {
                client->write("+OK\r\n1 100\r\n.\r\n");
            } else if (line.startsWith("RETR")) {
                client->write("+OK\r\nSubject: half\r\n\r\nthe first ha");
                client->flush();
                client->disconnectFromHost();
            } else {
                client->write("+OK\r\n");
            }
        });
    });
    CEmailSocket lost;
    RecordingOwner lostOwner;
    receive(lost, lostOwner, server.serverPort(), QStringLiteral("x"), false);
    ASSERT_FALSE(lostOwner.steps.isEmpty());
    EXPECT_EQ(lostOwner.steps.last(), 6);
    EXPECT_TRUE(lost.HasFailed());
    EXPECT_EQ(lost.GetCount(), 1);
    EXPECT_EQ(lost.GetReceivedCount(), 0);
}

TEST_F(MailboxTest, BodyHeaderLinesAndMessageId)
{
    CEmailSocket socket;
    socket.AddMessage(QStringLiteral("Subject: a\r\nMessage-id: <abc@x>\r\n\r\nfirst\r\nsecond\r\n"));
    socket.AddMessage(QStringLiteral("Subject: b\r\nContent-Type: multipart/alternative; boundary=\"XYZ\"\r\n\r\n"
                                     "--XYZ\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nplain part\r\n\r\n--XYZ\r\n"
                                     "Content-Type: text/html\r\n\r\n<p>html</p>\r\n--XYZ--\r\n"));
    // No text/plain label: everything after the first blank line.
    EXPECT_EQ(socket.GetPlainText(0), QStringLiteral("first\r\nsecond\r\n"));
    EXPECT_EQ(socket.GetPlainText(1), QStringLiteral("plain part\r\n"));
    EXPECT_EQ(socket.GetPlainText(5), QString());
    EXPECT_EQ(socket.GetMessageId(0), QStringLiteral("abc@x"));
    EXPECT_TRUE(socket.GetMessageText(0).contains(QStringLiteral("Message-ID: <abc@x>")));
    EXPECT_EQ(socket.GetHeaderField(0, QStringLiteral("Subject:"), 0, 0, QString()), QStringLiteral("a"));
    EXPECT_EQ(socket.GetHeaderField(1, QString(), 0, 0, QString()), socket.GetMessageText(1));
    EXPECT_EQ(socket.GetHeaderField(2, QStringLiteral("Subject:"), 0, 0, QString()), QString());
    EXPECT_EQ(socket.GetMessageLength(0), int(socket.GetMessageText(0).size()));

    // A body is undone from its transfer encoding and read in its character
    // set; the message is kept as its bytes, one character each.
    struct Body
    {
        QByteArray message;
        QString plain;
    };
    const Body bodies[] = {
        // Quoted-printable UTF-8 in the plain part of two, its encoding
        // named before its type and in another case; a soft break joins.
        {"Subject: c\r\nContent-Type: multipart/alternative; boundary=B1\r\n"
         "Content-Transfer-Encoding: 7bit\r\n\r\n--B1\r\ncontent-transfer-encoding: Quoted-Printable\r\n"
         "Content-Type: text/plain; charset=\"UTF-8\"\r\n\r\nCustomer Name: M=C3=BCller Druck\r\nItem Description: "
         "Sch=C3=B6ne Kar=\r\nten 2+2=3D4\r\n\r\n--B1\r\nContent-Type: text/html\r\n\r\n<p>x</p>\r\n--B1--\r\n",
         QStringLiteral("Customer Name: Müller Druck\r\nItem Description: Schöne Karten 2+2=4\r\n")},
        // Base64 ISO-8859-1 in lines of 40, its type's charset on a folded line.
        {"Subject: d\r\nContent-Type: text/plain;\r\n\tcharset=iso-8859-1\r\nContent-Transfer-Encoding: base64\r\n\r\n"
         "Q3VzdG9tZXIgTmFtZTogTfxsbGVyIERydWNrDQpJ\r\ndGVtIERlc2NyaXB0aW9uOiBHcvzfZQ0K\r\n",
         QStringLiteral("Customer Name: Müller Druck\r\nItem Description: Grüße\r\n")},
        // Eight-bit UTF-8 without a transfer encoding.
        {"Subject: e\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nCustomer Name: M\xc3\xbcller Druck\r\n",
         QStringLiteral("Customer Name: Müller Druck\r\n")},
        // No character set: the bytes as they are.
        {"Subject: f\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\nName: M=FCller =3D=\r\n1\r\n",
         QStringLiteral("Name: M\u00fcller =1\r\n")},
        // The plain part's type in lower case after a preamble, quoted-printable.
        {"Subject: g\r\nContent-Type: multipart/alternative;\r\n boundary=\"=_b\"\r\n\r\nThis is a multi-part "
         "message in MIME format.\r\n\r\n--=_b\r\nContent-type: text/plain; charset=utf-8\r\n"
         "Content-Transfer-Encoding: quoted-printable\r\n\r\nJob Title: M=C3=BCller cards\r\nItem Description: A\r\n"
         "--=_b\r\nContent-Type: text/html\r\n\r\n<p>x</p>\r\n--=_b--\r\n",
         QStringLiteral("Job Title: Müller cards\r\nItem Description: A")},
        // Base64 in an alternative part inside a mixed one, after its HTML part.
        {"Subject: h\r\nContent-Type: multipart/mixed; boundary=OUT\r\n\r\n--OUT\r\nContent-Type: "
         "multipart/alternative; boundary=\"IN\"; x=y\r\n\r\n--IN\r\nContent-Type: text/html; charset=utf-8\r\n"
         "Content-Transfer-Encoding: base64\r\n\r\nPHA+eDwvcD4=\r\n--IN\r\nContent-Type: text/plain; charset=utf-8\r\n"
         "Content-Transfer-Encoding: base64\r\n\r\nSm9iIFRpdGxlOiBHcsO8w59lCkl0ZW0gRGVzY3JpcHRpb246IEI=\r\n--IN--\r\n"
         "\r\n--OUT\r\nContent-Type: application/pdf\r\nContent-Transfer-Encoding: base64\r\n\r\nJVBERi0=\r\n"
         "--OUT--\r\n",
         QStringLiteral("Job Title: Grüße\r\nItem Description: B")},
        // A mail of HTML alone: the text it shows, never its markup; its
        // head, styles, scripts and comments say nothing; references are
        // the characters they name, once ("&amp;lt;" is "&lt;").
        {"Subject: j\r\nContent-Type: text/html; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
         "<html><head><title>Order</title><style>p { color: red }</style></head><body>\r\n"
         "<p>Customer Name: A&amp;B Print</p><!-- <p>Job PO: hidden</p> -->\r\n<p>Job PO: A&amp;B-77</p>\r\n"
         "<script>var x = \"<p>Job Title: no</p>\";</script><div>Item Description: Caf=C3=A9 cards,\r\n"
         "   two&nbsp;sides<br>Item Quantity: 500</div><p>Note: 2 &lt; 3 &amp;lt; 4 &#x2013; &#8364;5 &bogus; a < b</p>"
         "</body></html>\r\n",
         QStringLiteral("Customer Name: A&B Print\r\nJob PO: A&B-77\r\nItem Description: Caf\u00e9 cards, two sides\r\n"
                        "Item Quantity: 500\r\nNote: 2 < 3 &lt; 4 \u2013 \u20ac5 &bogus; a < b\r\n")},
        // HTML alone in a multipart mail, in a table, base64: one line a row.
        {"Subject: k\r\nContent-Type: multipart/alternative; boundary=B4\r\n\r\n--B4\r\nContent-Type: text/html; "
         "charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
         + QByteArray("<table><tr><td>Job PO:</td><td>A&#38;B-77</td></tr><tr><th>Item Quantity:</th><td>2 x 50</td></tr>"
                      "</table>").toBase64()
         + "\r\n--B4--\r\n",
         QStringLiteral("Job PO: A&B-77\r\nItem Quantity: 2 x 50\r\n")},
        // A mail saved with bare line feeds, quoted-printable.
        {"Subject: i\nContent-Type: multipart/alternative; boundary=\"B3\"\n\n--B3\nContent-Type: text/plain; "
         "charset=utf-8\nContent-Transfer-Encoding: quoted-printable\n\nItem Description: Gr=C3=BC=C3=9Fe=\n karten\n"
         "Item Quantity: 500\n\n--B3--\n",
         QStringLiteral("Item Description: Grüße karten\r\nItem Quantity: 500\r\n")},
    };
    for (const Body &b : bodies) {
        SCOPED_TRACE(b.message.left(12).toStdString());
        CEmailSocket one;
        one.AddMessage(QString::fromLatin1(b.message));
        EXPECT_EQ(one.GetPlainText(0), b.plain);
    }
}

// The server puts a dot before every line of a message that starts with one,
// the message's very first line too; the client takes each such dot away.
TEST_F(MailboxTest, ADotStuffedFirstLineLosesItsExtraDot)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server, &QTcpServer::newConnection, [&server] {
        QTcpSocket *client = server.nextPendingConnection();
        client->write("+OK ready\r\n");
        QObject::connect(client, &QTcpSocket::readyRead, client, [client] {
            const QByteArray line = client->readAll();
            if (line.startsWith("LIST"))
                client->write("+OK\r\n1 30\r\n.\r\n");
            else if (line.startsWith("RETR"))
                client->write("+OK\r\n..first\r\nSubject: x\r\n\r\n..body\r\n.\r\n");
            else
                client->write("+OK\r\n");
        });
    });
    CEmailSocket socket;
    RecordingOwner owner;
    receive(socket, owner, server.serverPort(), QStringLiteral("x"), false);
    ASSERT_EQ(socket.GetCount(), 1) << owner.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(socket.GetMessageText(0), QStringLiteral(".first\r\nSubject: x\r\n\r\n.body\r\n"));
}
