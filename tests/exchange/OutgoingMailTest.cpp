// Outgoing mail: the compose window, SMTP delivery to a real server
// (aiosmtpd on 127.0.0.1), refusals, a missing attachment and the desktop's
// mail program.

#include "exchange/mail/CMail.h"
#include "exchange/mail/CMailCompose.h"
#include "platform/Settings.h"
#include "support/TestFiles.h"
#include "support/LocalServers.h"
#include "support/ProgressStopper.h"
#include "views/CStatusDlg.h"
#include "support/ShopTest.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QElapsedTimer>
#include <QtCore/QThread>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtWidgets/QLineEdit>

#include <algorithm>
#include <vector>

#include <unistd.h>

namespace {

const QString kStoppedText =
    QStringLiteral("Sending the email was stopped.\n\nNothing was sent: the server was given no complete message.");

// The parts of a received message as python's email package reads them.
QString parsed(const QString &eml)
{
    static const char script[] = R"(
import email, hashlib, sys
from email import policy
m = email.message_from_bytes(open(sys.argv[1], 'rb').read(), policy=policy.default)
print('Subject:', m['subject'])
print('From:', m['from'])
print('To:', m['to'])
body = m.get_body(preferencelist=('plain',))
print('Body:', body.get_content().replace('\r\n', '\n').replace('\n', '|'))
for part in m.iter_attachments():
    print('Attachment:', part.get_filename(), hashlib.md5(part.get_payload(decode=True)).hexdigest())
)";
    QProcess p;
    p.start(QFileInfo::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                   : QStringLiteral("python3"),
            {QStringLiteral("-c"), QString::fromLatin1(script), eml});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
}

// The bytes on a loopback connection to `port` that the client has handed
// to the system and the server has not read yet: what the client's side
// still holds to send and what waits in the server's side, as the system's
// table of connections says.
qint64 BytesOnTheirWay(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return 0;
    const QString hexPort = QStringLiteral(":%1").arg(port, 4, 16, QLatin1Char('0')).toUpper();
    qint64 bytes = 0;
    table.readLine(); // the headings
    for (QByteArray line = table.readLine(); !line.isEmpty(); line = table.readLine()) {
        const QStringList f = QString::fromLatin1(line).simplified().split(QLatin1Char(' '));
        if (f.size() < 5)
            continue;
        const QStringList queues = f[4].split(QLatin1Char(':'));
        if (queues.size() != 2)
            continue;
        if (f[1].endsWith(hexPort))
            bytes += queues[1].toLongLong(nullptr, 16); // the server's side: waiting to be read
        else if (f[2].endsWith(hexPort))
            bytes += queues[0].toLongLong(nullptr, 16); // the client's side: not yet sent
    }
    return bytes;
}

} // namespace

class OutgoingMailTest : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        CStatusDlg::ServeNetworkWaits(true);
        CMail::setAttachmentWait(0);
        app->emailSettings().Address = QStringLiteral("orders@print.test");
    }
    void TearDown() override
    {
        CMail::setAttachmentWait(2000);
        CStatusDlg::ServeNetworkWaits(false);
        ShopTest::TearDown();
    }
    QString attachment(const QString &name = QStringLiteral("Invoice 1234.pdf"))
    {
        const QString path = tempPath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        QByteArray bytes;
        for (int i = 0; i < 5000; ++i)
            bytes.append(char(i * 7 % 256));
        f.write(bytes);
        return path;
    }
};

TEST_F(OutgoingMailTest, AReviewedMessageGoesOutWithItsAttachmentIntact)
{
    const QString folder = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(folder);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    app->emailSettings().Outgoing = server.url();
    // A name, a subject and an attachment beyond ASCII travel in the mail
    // standards' encodings: the message itself is 7-bit.
    const QString file = attachment(QStringLiteral("Rechnung Müller – 1234.pdf"));
    onDialog<CMailCompose>([](CMailCompose &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("New Message"));
        TavrelTest::SaveSnapshot(d, QStringLiteral("exchange"), QStringLiteral("mail-compose"));
        d.SendCommand(1);
        return 1;
    });
    CMail mail;
    EXPECT_TRUE(mail.Send(QStringLiteral("Jörg Müller <joerg@customer.test>"),
                          QStringLiteral("Invoice 1234 – Müller Druck, Königstraße 12, for March and April"),
                          QStringLiteral("Dear Jörg,\r\nyour invoice is attached.\r\n.\r\n.x\r\n"), file));
    const QString eml = folder + QStringLiteral("/1.eml");
    ASSERT_TRUE(QFile::exists(eml));
    EXPECT_EQ(ReadTestFile(folder + QStringLiteral("/1.env")), QByteArray("orders@print.test\njoerg@customer.test\n"));
    const QByteArray raw = ReadTestFile(eml);
    EXPECT_TRUE(std::all_of(raw.begin(), raw.end(), [](char c) { return uchar(c) < 0x80; }));
    EXPECT_FALSE(raw.contains("=0A"));
    // A line that begins with a dot travels encoded: the data needs no dot
    // added by the library, so what was counted is what went out.
    EXPECT_TRUE(raw.contains("\r\n=2E\r\n=2Ex\r\n")) << raw.constData();
    // A header beyond ASCII is split into encoded words of at most 75 characters.
    const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?[A-Za-z0-9+/=]*\\?="));
    int words = 0;
    for (const QRegularExpressionMatch &m : word.globalMatch(QString::fromLatin1(raw))) {
        EXPECT_LE(m.capturedLength(), 75) << "an encoded word longer than 75 characters: " << m.captured().toStdString();
        ++words;
    }
    EXPECT_GE(words, 3); // the subject's two and the name's
    QFile original(file);
    original.open(QIODevice::ReadOnly);
    const QString md5 = QString::fromLatin1(QCryptographicHash::hash(original.readAll(), QCryptographicHash::Md5).toHex());
    EXPECT_EQ(parsed(eml), QStringLiteral("Subject: Invoice 1234 – Müller Druck, Königstraße 12, for March and April\nFrom: orders@print.test\nTo: Jörg Müller "
                                          "<joerg@customer.test>\nBody: Dear Jörg,|your invoice is attached.|.|.x|\n"
                                          "Attachment: Rechnung Müller – 1234.pdf ") +
                               md5 + QLatin1Char('\n'));
}

// The attachment is read once, when it is checked: a link put in its place
// while the message is reviewed (to a device, or to another user's private
// file) is never read, and the server gets the file that was checked.
TEST_F(OutgoingMailTest, AnAttachmentGoesOutAsItWasChecked)
{
    const QString folder = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(folder);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    app->emailSettings().Outgoing = server.url();
    const QString theirs = tempPath(QStringLiteral("their private.txt"));
    {
        QFile f(theirs);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("their private words\n");
    }
    ASSERT_TRUE(QFile::setPermissions(theirs, QFile::ReadOwner | QFile::WriteOwner));
    if (::geteuid() == 0)
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
    int sent = 0;
    for (const QString &target : {QStringLiteral("/dev/zero"), theirs}) {
        SCOPED_TRACE(target.toStdString());
        const QString file = attachment();
        const QByteArray checked = ReadTestFile(file);
        onDialog<CMailCompose>([&](CMailCompose &d) {
            // Swapped while the compose window is open.
            EXPECT_TRUE(QFile::remove(file));
            EXPECT_TRUE(QFile::link(target, file));
            d.SendCommand(1);
            return 1;
        });
        // A mail that read the device would never end: stopped once far
        // more than the attachment has gone out.
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        ProgressStopper runaway([](const QStringList &texts) {
            static const QRegularExpression sentK(QStringLiteral("^(\\d+)k$"));
            for (const QString &t : texts) {
                const QRegularExpressionMatch m = sentK.match(t);
                if (m.hasMatch() && m.captured(1).toInt() >= 1024)
                    return true;
            }
            return false;
        });
        CMail mail;
        EXPECT_TRUE(mail.Send(QStringLiteral("ann@customer.test"), QStringLiteral("Proof"), QStringLiteral("See it"), file));
        EXPECT_EQ(prompts().texts(), QStringList());
        prompts().clear();
        const QString eml = folder + QStringLiteral("/%1.eml").arg(++sent);
        ASSERT_TRUE(QFile::exists(eml));
        EXPECT_FALSE(ReadTestFile(eml).contains(QByteArray("their private words").toBase64().left(16)));
        EXPECT_EQ(parsed(eml), QStringLiteral("Subject: Proof\nFrom: orders@print.test\nTo: ann@customer.test\nBody: See "
                                              "it\nAttachment: Invoice 1234.pdf ") +
                                   QString::fromLatin1(QCryptographicHash::hash(checked, QCryptographicHash::Md5).toHex()) +
                                   QLatin1Char('\n'));
        QFile::remove(file);
    }
}

TEST_F(OutgoingMailTest, CancelIsSilentAndARefusalOffersToTryAgain)
{
    const QString folder = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(folder, true);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    app->emailSettings().Outgoing = server.url();
    onDialog<CMailCompose>([](CMailCompose &d) {
        d.SendCommand(2);
        return 2;
    });
    CMail mail;
    EXPECT_FALSE(mail.Send(QStringLiteral("ann@customer.test"), QStringLiteral("s"), QStringLiteral("t"), QString()));
    EXPECT_EQ(prompts().shown().size(), 1);

    prompts().clear();
    onDialog<CMailCompose>([](CMailCompose &d) {
        d.SendCommand(1);
        return 1;
    });
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDNO);
    EXPECT_FALSE(mail.Send(QStringLiteral("ann@customer.test"), QStringLiteral("s"), QStringLiteral("t"), QString()));
    ASSERT_EQ(prompts().shown().size(), 3);
    EXPECT_EQ(prompts().shown().at(1).text,
              QStringLiteral("550 5.1.1 Mailbox unavailable: ann@customer.test\nCannot send the email.\nDo you want "
                             "to try it again?"));
    EXPECT_EQ(prompts().shown().at(2).text, prompts().shown().at(1).text);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/1.eml")));

    // A server that never answers: the wait for it is stopped in its
    // progress window, and the user is told that nothing was sent.
    {
        testservers::SilentServer silent;
        ASSERT_TRUE(silent.started());
        app->emailSettings().Outgoing = QStringLiteral("smtp://127.0.0.1:%1").arg(silent.port());
        prompts().clear();
        onDialog<CMailCompose>([](CMailCompose &d) {
            d.SendCommand(1);
            return 1;
        });
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        ProgressStopper stopper;
        EXPECT_FALSE(mail.Send(QStringLiteral("ann@customer.test"), QStringLiteral("s"), QStringLiteral("t"), QString()));
        EXPECT_EQ(stopper.stopped(), QStringList{QStringLiteral("Sending the email to smtp://127.0.0.1:%1").arg(silent.port())});
        ASSERT_EQ(prompts().shown().size(), 3);
        EXPECT_EQ(prompts().shown().at(1).text, QStringLiteral("Do you want to stop now?"));
        EXPECT_EQ(prompts().shown().at(2).text, kStoppedText);
    }

    // A slow server, stopped while the data goes out: the message is left
    // unfinished (never ended with its final dot), so the server throws away
    // the part it got, and the user is told that nothing was sent. The
    // connection is reset, not closed in order: what the system still holds
    // for the server is thrown away too, so a server that keeps reading after
    // the Stop never gets the end of a message that had all been handed over
    // (the second row: the whole message, its final dot included, lies in
    // the system's buffers when Stop is pressed, and the server reads it in
    // about five seconds).
    struct Slow
    {
        const char *name;
        int attachmentBytes;
        int bytesPerSecond;
        int stopAtKilobytes; // 0: once the whole message has been handed over
    };
    const Slow slows[] = {
        {"stopped while the data goes out", 3 * 1024 * 1024, 800 * 1024, 1024},
        {"stopped once all of it is handed over", 400 * 1024, 100 * 1024, 0},
    };
    for (const Slow &row : slows) {
        SCOPED_TRACE(row.name);
        const QString slowFolder = tempPath(QStringLiteral("slow%1").arg(row.stopAtKilobytes));
        testservers::SlowSmtpServer slow(slowFolder, row.bytesPerSecond);
        ASSERT_TRUE(slow.started()) << slow.error().toStdString();
        app->emailSettings().Outgoing = slow.url();
        const QString proof = tempPath(QStringLiteral("Proof %1.pdf").arg(row.attachmentBytes));
        {
            QFile f(proof);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            QByteArray bytes(row.attachmentBytes, Qt::Uninitialized);
            quint32 x = 77;
            for (char &c : bytes) {
                x = x * 1103515245u + 12345u;
                c = char(x >> 24);
            }
            f.write(bytes);
        }
        // Base64 makes four letters of three bytes, in lines of 76 and CR LF.
        const int wholeKilobytes = int(qint64(row.attachmentBytes) * 4 / 3 * 78 / 76 / 1024);
        const int stopAt = row.stopAtKilobytes > 0 ? row.stopAtKilobytes : wholeKilobytes;
        // Stopped once all of it is handed over: not before the program has
        // written the final dot. The same message sent whole to a server on a
        // fast line gives its length; the program has written it all when the
        // bytes the slow server read, those waiting for it and those the
        // system still holds to send add up to it and its ".\r\n".
        qint64 wholeData = -1;
        if (row.stopAtKilobytes == 0) {
            const QString fastFolder = tempPath(QStringLiteral("fast%1").arg(row.attachmentBytes));
            testservers::SlowSmtpServer fast(fastFolder, 1 << 30);
            ASSERT_TRUE(fast.started()) << fast.error().toStdString();
            app->emailSettings().Outgoing = fast.url();
            onDialog<CMailCompose>([](CMailCompose &d) {
                d.SendCommand(1);
                return 1;
            });
            ASSERT_TRUE(mail.Send(QStringLiteral("ann@customer.test"), QStringLiteral("Proof"),
                                  QStringLiteral("Attached."), proof));
            wholeData = QFileInfo(fastFolder + QStringLiteral("/1.eml")).size() + 3;
            ASSERT_GT(wholeData, qint64(row.attachmentBytes));
            app->emailSettings().Outgoing = slow.url();
        }
        const quint16 slowPort = slow.port();
        const auto allWritten = [&] {
            if (wholeData < 0)
                return true;
            const qint64 got = ReadTestFile(slowFolder + QStringLiteral("/got")).trimmed().toLongLong();
            return got + BytesOnTheirWay(slowPort) >= wholeData;
        };
        prompts().clear();
        onDialog<CMailCompose>([](CMailCompose &d) {
            d.SendCommand(1);
            return 1;
        });
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        ProgressStopper late([stopAt, &allWritten](const QStringList &texts) {
            static const QRegularExpression sent(QStringLiteral("^(\\d+)k$"));
            for (const QString &t : texts) {
                const QRegularExpressionMatch m = sent.match(t);
                if (m.hasMatch() && m.captured(1).toInt() >= stopAt)
                    return allWritten();
            }
            return false;
        });
        EXPECT_FALSE(mail.Send(QStringLiteral("ann@customer.test"), QStringLiteral("Proof"), QStringLiteral("Attached."), proof));
        EXPECT_EQ(late.stopped().size(), 1);
        EXPECT_EQ(prompts().texts(), (QStringList{QStringLiteral("Do you want to stop now?"), kStoppedText}));
        // The server reads what reached it before the connection is reset (what
        // was still on its way is thrown away).
        QDeadlineTimer deadline(30000);
        while (!QFile::exists(slowFolder + QStringLiteral("/closed")) && !deadline.hasExpired())
            QThread::msleep(100);
        ASSERT_TRUE(QFile::exists(slowFolder + QStringLiteral("/closed")));
        EXPECT_FALSE(QFile::exists(slowFolder + QStringLiteral("/1.eml")));
        EXPECT_GT(ReadTestFile(slowFolder + QStringLiteral("/1.cut")).toLongLong(), 0);
    }
}

TEST_F(OutgoingMailTest, ALineBreakInAHeaderOrEnvelopeFieldIsRefusedAndNothingGoesOut)
{
    const QString folder = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(folder);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    app->emailSettings().Outgoing = server.url();
    struct Case
    {
        QString from;
        QString to;
        QString subject;
        QString attachmentName; // "" for none
        const char *field;
    };
    const QString shop = QStringLiteral("orders@print.test");
    const QString ann = QStringLiteral("ann@customer.test");
    const Case cases[] = {
        {shop + QStringLiteral(">\r\nRCPT TO:<evil@attacker.test"), ann, QStringLiteral("Proof"), QString(), "From"},
        {shop + QStringLiteral("\n"), ann, QStringLiteral("Proof"), QString(), "From"},
        {shop, ann + QStringLiteral(">\r\nRCPT TO:<evil@attacker.test"), QStringLiteral("Proof"), QString(), "To"},
        {shop, ann + QStringLiteral("\r\nBcc: evil@attacker.test"), QStringLiteral("Proof"), QString(), "To"},
        {shop, ann, QStringLiteral("Proof\r\nBcc: evil@attacker.test"), QString(), "Subject"},
        {shop, ann, QStringLiteral("Proof\r"), QString(), "Subject"},
        {shop, ann, QStringLiteral("Proof"), QStringLiteral("proof\nBcc: evil.pdf"), "Attachment"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.field);
        const QString file = c.attachmentName.isEmpty() ? QString() : attachment(c.attachmentName);
        const QString refusal =
            QStringLiteral("Cannot send the email: its %1 field holds a line break.\n\nNothing was sent.")
                .arg(QLatin1String(c.field));
        // Straight to the server: no command or header is made of the rest
        // of the field (an injected recipient would get a copy).
        QString reply;
        EXPECT_FALSE(CMail::SendSmtp(server.url(), QString(), QString(), c.from, c.to, c.subject, QStringLiteral("t"),
                                     file, file.isEmpty() ? QByteArray() : ReadTestFile(file), reply));
        EXPECT_EQ(reply, refusal);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList());
        // Through the compose window, which is never shown: the answer is
        // only the refusal.
        app->emailSettings().Address = c.from;
        prompts().clear();
        prompts().answer(platform::IDOK);
        CMail mail;
        EXPECT_FALSE(mail.Send(c.to, c.subject, QStringLiteral("t"), file));
        EXPECT_EQ(prompts().texts(), QStringList{refusal});
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList());
    }
    // The same message without the line break goes out to its one recipient.
    QString reply;
    EXPECT_TRUE(CMail::SendSmtp(server.url(), QString(), QString(), shop, ann, QStringLiteral("Proof"), QStringLiteral("t"),
                                QString(), QByteArray(), reply))
        << reply.toStdString();
    EXPECT_EQ(ReadTestFile(folder + QStringLiteral("/1.env")), QByteArray("orders@print.test\nann@customer.test\n"));
}

TEST_F(OutgoingMailTest, AfterAFreshStartTheStoredOutgoingServerTakesIt)
{
    // No other window has been opened: the mail settings are read when
    // first needed.
    const QString folder = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(folder);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    platform::Settings::writeString(QStringLiteral("Email Settings"), QStringLiteral("Outgoing"), server.url());
    platform::Settings::writeString(QStringLiteral("Email Settings"), QStringLiteral("Address"),
                                    QStringLiteral("desk@print.test"));
    app.reset();
    app = std::make_unique<CZqApp>();
    onDialog<CMailCompose>([](CMailCompose &d) {
        d.SendCommand(1);
        return 1;
    });
    CMail mail;
    EXPECT_TRUE(mail.Send(QStringLiteral("ann@customer.test"), QStringLiteral("Proof"), QStringLiteral("See it"),
                          attachment()));
    EXPECT_EQ(ReadTestFile(folder + QStringLiteral("/1.env")), QByteArray("desk@print.test\nann@customer.test\n"));
}

TEST_F(OutgoingMailTest, AMissingAttachmentIsLookedForAgainOrGivenUp)
{
    const QString missing = tempPath(QStringLiteral("later.pdf"));
    prompts().answer(platform::IDNO);
    CMail mail;
    EXPECT_FALSE(mail.Send(QStringLiteral("a@b.test"), QStringLiteral("s"), QStringLiteral("t"), missing));
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("Cannot find the attachment:\n") + missing + QStringLiteral("\n\nDo you want to check it again?"));

    // An attachment too large for a mail, or another user's link to this
    // user's file, is refused before anything goes out.
    const QString large = tempPath(QStringLiteral("Scan.pdf"));
    {
        QFile f(large);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(100 * 1024 * 1024 + 1));
    }
    std::vector<std::pair<QString, QString>> cases = {
        {large, QStringLiteral("it is larger than 100 MB, the most such a file may be")}};
    if (::geteuid() == 0) {
        const QString link = tempPath(QStringLiteral("Their link.pdf"));
        ASSERT_TRUE(QFile::link(attachment(), link));
        ASSERT_EQ(::lchown(QFile::encodeName(link).constData(), 65534, 65534), 0);
        cases.push_back({link, QStringLiteral("it is a link another user made to a file that is not theirs")});
    }
    for (const auto &[path, why] : cases) {
        SCOPED_TRACE(path.toStdString());
        prompts().clear();
        prompts().answer(platform::IDOK);
        EXPECT_FALSE(mail.Send(QStringLiteral("a@b.test"), QStringLiteral("s"), QStringLiteral("t"), path));
        EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Cannot attach %1: %2.\n\nNothing was sent.").arg(path, why)});
    }
}

TEST_F(OutgoingMailTest, WithoutAnOutgoingServerTheDesktopMailProgramTakesIt)
{
    // A recording stand-in for the desktop's mail program, first on PATH.
    const QString bin = tempPath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    const QString record = tempPath(QStringLiteral("xdg-email.args"));
    {
        QFile script(bin + QStringLiteral("/xdg-email"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + record.toUtf8() + "'; done\n"));
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8() + ':' + path);
    // The example server the settings window shows, stored by an OK that
    // nobody typed it for, is no server: a fresh start reads it as none.
    platform::Settings::writeString(QStringLiteral("Email Settings"), QStringLiteral("Outgoing"),
                                    QStringLiteral("smtp.example.com"));
    app.reset();
    app = std::make_unique<CZqApp>();
    const QString file = attachment();
    CMail mail;
    const bool sent = mail.Send(QStringLiteral("ann@customer.test"), QStringLiteral("Proof"), QStringLiteral("See it"), file);
    qputenv("PATH", path);
    EXPECT_TRUE(sent);
    EXPECT_TRUE(prompts().shown().isEmpty());
    // The mail program gets a private copy of the bytes that were checked,
    // under the attachment's own name: it never reads the checked name.
    const QStringList args = QString::fromUtf8(ReadTestFile(record)).split(QLatin1Char('\n'));
    ASSERT_EQ(args.size(), 9) << args.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(args.mid(0, 6), (QStringList{QStringLiteral("--utf8"), QStringLiteral("--subject"), QStringLiteral("Proof"),
                                           QStringLiteral("--body"), QStringLiteral("See it"), QStringLiteral("--attach")}));
    const QString copy = args[6];
    EXPECT_NE(copy, file);
    EXPECT_EQ(QFileInfo(copy).fileName(), QStringLiteral("Invoice 1234.pdf"));
    EXPECT_EQ(ReadTestFile(copy), ReadTestFile(file));
    EXPECT_EQ(QFileInfo(QFileInfo(copy).absolutePath()).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
    EXPECT_EQ(args.mid(7), (QStringList{QStringLiteral("ann@customer.test"), QString()}));
}

// What the user is told of a delivery that ended without the server's
// acceptance, by whether the whole message had reached the server.
TEST_F(OutgoingMailTest, AnUnconfirmedMessageIsSaidAsItStands)
{
    struct Row
    {
        const char *reply;
        bool whole;
        bool offerAgain;
        const char *text;
    };
    const Row rows[] = {
        {"", false, false, "Sending the email was stopped.\n\nNothing was sent: the server was given no complete message."},
        {"", true, false,
         "Sending the email was stopped after the whole message had reached the server.\n\nThe server did not confirm "
         "it, so it may have been delivered. Ask the addressee before sending it again: it would arrive twice."},
        {"550 5.1.1 Mailbox unavailable", false, true,
         "550 5.1.1 Mailbox unavailable\nCannot send the email.\nDo you want to try it again?"},
        {"Timeout was reached", true, true,
         "Timeout was reached\n\nThe whole message reached the server, but the server did not confirm it: it may have "
         "been delivered.\nDo you want to send it again? If it was delivered, the addressee receives it twice."},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.text);
        bool offerAgain = !r.offerAgain;
        EXPECT_EQ(CMail::FailureText(QString::fromUtf8(r.reply), r.whole, offerAgain), QString::fromUtf8(r.text));
        EXPECT_EQ(offerAgain, r.offerAgain);
    }
}

// A server that has the whole message but is slow to answer its final dot,
// or never answers it: the wait is stopped within moments, the user is told
// that the mail may have been delivered (no plain offer to send it again),
// and the server got it once. A server that hangs up instead is a failure
// that says the same before it offers to send again.
TEST_F(OutgoingMailTest, AMessageTheServerHasWholeIsNeverSaidUnsent)
{
    const QString stoppedWhole = QStringLiteral(
        "Sending the email was stopped after the whole message had reached the server.\n\nThe server did not confirm "
        "it, so it may have been delivered. Ask the addressee before sending it again: it would arrive twice.");
    for (const int finalReply : {20, testservers::SlowSmtpServer::kNoFinalReply}) {
        SCOPED_TRACE(finalReply);
        const QString folder = tempPath(QStringLiteral("final%1").arg(finalReply));
        testservers::SlowSmtpServer server(folder, 50 * 1024 * 1024, 40, finalReply);
        ASSERT_TRUE(server.started()) << server.error().toStdString();
        app->emailSettings().Outgoing = server.url();
        prompts().clear();
        onDialog<CMailCompose>([](CMailCompose &d) {
            d.SendCommand(1);
            return 1;
        });
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        // Stopped once the server holds the message and waits with its answer.
        QElapsedTimer sinceStop;
        ProgressStopper stopper([&](const QStringList &) {
            if (!QFile::exists(folder + QStringLiteral("/1.eml")))
                return false;
            sinceStop.start();
            return true;
        });
        QElapsedTimer sending;
        sending.start();
        CMail mail;
        EXPECT_FALSE(mail.Send(QStringLiteral("ann@customer.test"), QStringLiteral("Proof"), QStringLiteral("Attached."),
                               attachment()));
        ASSERT_TRUE(sinceStop.isValid()) << "the progress window was never served during the wait";
        EXPECT_LT(sinceStop.elapsed(), 10000) << "Stop took effect only after the server's answer";
        EXPECT_LT(sending.elapsed(), 15000);
        EXPECT_EQ(prompts().texts(), (QStringList{QStringLiteral("Do you want to stop now?"), stoppedWhole}));
        EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.eml")}, QDir::Files), QStringList{QStringLiteral("1.eml")});
        if (finalReply == testservers::SlowSmtpServer::kNoFinalReply) {
            // The connection was dropped: the silent server's session ends.
            QDeadlineTimer deadline(10000);
            while (!QFile::exists(folder + QStringLiteral("/closed")) && !deadline.hasExpired())
                QThread::msleep(50);
            EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/closed")));
        }
    }

    const QString folder = tempPath(QStringLiteral("hangup"));
    testservers::SlowSmtpServer server(folder, 50 * 1024 * 1024, 40, testservers::SlowSmtpServer::kHangUpAtFinalDot);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    app->emailSettings().Outgoing = server.url();
    prompts().clear();
    onDialog<CMailCompose>([](CMailCompose &d) {
        d.SendCommand(1);
        return 1;
    });
    prompts().answer(platform::IDNO);
    CMail mail;
    EXPECT_FALSE(mail.Send(QStringLiteral("ann@customer.test"), QStringLiteral("Proof"), QStringLiteral("t"), QString()));
    ASSERT_EQ(prompts().texts().size(), 1);
    EXPECT_TRUE(prompts().texts().at(0).endsWith(QStringLiteral(
        "\n\nThe whole message reached the server, but the server did not confirm it: it may have been delivered.\n"
        "Do you want to send it again? If it was delivered, the addressee receives it twice.")))
        << prompts().texts().at(0).toStdString();
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.eml")}, QDir::Files), QStringList{QStringLiteral("1.eml")});
}
