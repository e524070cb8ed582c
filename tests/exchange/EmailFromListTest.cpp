// E-mail from a list: the template, the recipients a choice gives, the
// placeholders, the contacts' mailing flags and dates, against a real SMTP
// server (aiosmtpd on 127.0.0.1).

#include "controls/CXListCtrl.h"
#include "data/SharedDatabase.h"
#include "exchange/export/CExport.h"
#include "exchange/mail/CMail.h"
#include "exchange/mail/CMailCompose.h"
#include "platform/Clock.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "support/TestFiles.h"
#include "support/LocalServers.h"
#include "support/ShopTest.h"
#include "views/CDlgOptions.h"
#include "controls/CXTreeOptCtrl.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>

#include <sys/stat.h>

namespace {



} // namespace

class EmailFromListTest : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        SetDataFolder(QFileInfo(m_path).absolutePath() + QDir::separator());
        platform::Clock::setFixed(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        CMail::setAttachmentWait(0);
        app->emailSettings().Address = QStringLiteral("orders@print.test");
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, BuyerNo, PayerNo) VALUES (100, 'Smith & Sons', 900, 902)"));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Email, SendEmail) VALUES "
                            "(900, 100, 'Al', 'Smith', 'al@smith.test', 1)"));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Email, SendEmail) VALUES "
                            "(901, 100, 'Bo', 'Smith', 'bo@smith.test', 0)"));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Email, SendEmail) VALUES "
                            "(902, 100, 'Cy', 'Smith', 'cy@smith.test', 1)"));
        WriteTestFile(CExport::EmailTemplateFolder() + QStringLiteral("Cus Holiday.txt"),
                  "' Sent in December: keep it short.\r\nSubject: Season's greetings, <First>\r\n"
                  "Attach: " + attachment().toUtf8() + "\r\nDear <First> <Last> of <Name>,\r\n<Nothing> stays.\r\n");
        list.FillFromSql(QStringLiteral("SELECT CusNo, Name FROM Customers WHERE CusNo = 100"), QStringLiteral("CusNo"));
        list.SelectItem(0);
    }
    void TearDown() override
    {
        CMail::setAttachmentWait(2000);
        platform::Clock::setFixed(QDateTime());
        ShopTest::TearDown();
    }
    QString attachment()
    {
        const QString path = tempPath(QStringLiteral("Price List.pdf"));
        if (!QFile::exists(path))
            WriteTestFile(path, QByteArray(3000, 'p'));
        return path;
    }
    void chooseAllContacts()
    {
        prompts().answerFile(CExport::EmailTemplateFolder() + QStringLiteral("Cus Holiday.txt"));
        onDialog<CDlgOptions>([](CDlgOptions &o) {
            EXPECT_EQ(o.GetEntryText(2), QStringLiteral("All Contacts of the customer"));
            o.m_nSelect = {2, 0, 0};
            o.tree()->SetOptionChecked(2, true);
            o.SendCommand(1);
            return o.result();
        });
    }
    void sendEachCompose(int count)
    {
        for (int i = 0; i < count; ++i)
            onDialog<CMailCompose>([](CMailCompose &d) {
                d.SendCommand(1);
                return 1;
            });
    }

    CXListCtrl list;
};

TEST_F(EmailFromListTest, AllContactsOfACustomerButThoseWhoTakeNoMail)
{
    const QString folder = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(folder);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    app->emailSettings().Outgoing = server.url();
    chooseAllContacts();
    sendEachCompose(2);
    CExport exporter;
    exporter.EmailFromList(&list, 30003, 100, QStringLiteral("Cus"), QString());
    EXPECT_EQ(prompts().pendingAnswers(), 0);

    QStringList envelopes;
    for (int i = 1; i <= 3; ++i)
        envelopes.append(QString::fromUtf8(ReadTestFile(folder + QStringLiteral("/%1.env").arg(i))));
    EXPECT_EQ(envelopes, (QStringList{QStringLiteral("orders@print.test\nal@smith.test\n"),
                                      QStringLiteral("orders@print.test\ncy@smith.test\n"), QString()}));
    const QString first = QString::fromUtf8(ReadTestFile(folder + QStringLiteral("/1.eml")));
    EXPECT_TRUE(first.contains(QStringLiteral("Subject: Season's greetings, Al"))) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("Dear Al Smith of Smith & Sons,"))) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("<Nothing> stays.")));
    EXPECT_FALSE(first.contains(QStringLiteral("keep it short")));
    EXPECT_FALSE(first.contains(QStringLiteral("Attach:")));
    EXPECT_TRUE(first.contains(QStringLiteral("filename=\"Price List.pdf\""))) << first.toStdString();

    EXPECT_EQ(sqlite(QStringLiteral("SELECT ContactNo, LastEmail FROM Contacts ORDER BY ContactNo")),
              QStringLiteral("900|46363\n901|\n902|46363"));
}

// Another workstation saves a contact while its message is being written:
// the date sent goes onto the contact as it is now, the other's change kept.
TEST_F(EmailFromListTest, TheDateSentKeepsAContactSavedMeanwhileElsewhere)
{
    const QString folder = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(folder);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    app->emailSettings().Outgoing = server.url();
    chooseAllContacts();
    platform::Database other;
    other.open(m_path);
    for (int i = 0; i < 2; ++i)
        onDialog<CMailCompose>([&other, i](CMailCompose &d) {
            other.execute(QStringLiteral("UPDATE Contacts SET Phone = '555-01%1' WHERE ContactNo = %2")
                              .arg(i)
                              .arg(i == 0 ? 900 : 902));
            d.SendCommand(1);
            return 1;
        });
    CExport exporter;
    exporter.EmailFromList(&list, 30003, 100, QStringLiteral("Cus"), QString());
    EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ContactNo, Phone, LastEmail FROM Contacts ORDER BY ContactNo")),
              QStringLiteral("900|555-010|46363\n901||\n902|555-011|46363"));
}

TEST_F(EmailFromListTest, UntouchedSendToGoesToTheDefaultAndNothingChosenSaysSo)
{
    const QString folder = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(folder);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    app->emailSettings().Outgoing = server.url();
    const QString holiday = CExport::EmailTemplateFolder() + QStringLiteral("Cus Holiday.txt");
    prompts().answerFile(holiday);
    onDialog<CDlgOptions>([](CDlgOptions &o) {
        EXPECT_TRUE(o.tree()->IsOptionChecked(4)); // "Default Payer"
        o.SendCommand(1);
        return o.result();
    });
    sendEachCompose(1);
    CExport exporter;
    exporter.EmailFromList(&list, 30003, 100, QStringLiteral("Cus"), QString());
    EXPECT_EQ(QString::fromUtf8(ReadTestFile(folder + QStringLiteral("/1.env"))),
              QStringLiteral("orders@print.test\ncy@smith.test\n"));

    prompts().answerFile(holiday);
    onDialog<CDlgOptions>([](CDlgOptions &o) {
        o.tree()->SetOptionChecked(4, false);
        o.SendCommand(1);
        return o.result();
    });
    prompts().answer(platform::IDOK);
    exporter.EmailFromList(&list, 30003, 100, QStringLiteral("Cus"), QString());
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Nothing is sent: no recipient was chosen."));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/2.env")));
}

TEST_F(EmailFromListTest, EmailRtfFillsTheTemplateIntoACopyThatNeverReplacesIt)
{
    const QString received = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(received);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    app->emailSettings().Outgoing = server.url();
    exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo, BuyerNo, ShiptoNo, Title) "
                        "VALUES (50, 0, 1234, 100, 900, 0, 'Letterhead')"));
    // The attachments go to the database folder itself: the worst case.
    const QString folder = DataFolder();
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("Path-Attachment"), folder);
    const QString letter = folder + QStringLiteral("Invoice Letter.rtf");
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\r\n"
                           "\\f0\\fs20 <PrintTitle> <JobNo>\\par\r\n<Title>\\par\r\n<MyFooter>\\par\r\n}\r\n";
    WriteTestFile(letter, rtf);

    CXListCtrl jobs;
    jobs.FillFromSql(QStringLiteral("SELECT JobID, JobNo FROM Jobs WHERE JobID = 50"), QStringLiteral("JobID"));
    jobs.SelectItem(0);
    prompts().answerFile(letter);
    onDialog<CDlgOptions>([](CDlgOptions &o) {
        o.SendCommand(1); // to the buyer who ordered the job
        return o.result();
    });
    sendEachCompose(1);
    CExport exporter;
    exporter.EmailFromList(&jobs, 30001, 50, QStringLiteral("Inv"), QStringLiteral("Invoice.rtf"));

    const QString filled = folder + QStringLiteral("Invoice Letter No 1234.rtf");
    ASSERT_TRUE(QFile::exists(filled));
    EXPECT_EQ(ReadTestFile(letter), rtf);
    QProcess unrtf;
    unrtf.start(QStringLiteral("unrtf"), {QStringLiteral("--text"), filled});
    ASSERT_TRUE(unrtf.waitForStarted()) << "unrtf is not installed";
    unrtf.waitForFinished(60000);
    const QString text = QString::fromLatin1(unrtf.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Invoice 1234"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Letterhead"))) << text.toStdString();
    const QString mail = QString::fromUtf8(ReadTestFile(received + QStringLiteral("/1.eml")));
    EXPECT_TRUE(mail.contains(QStringLiteral("filename=\"Invoice Letter No 1234.rtf\""))) << mail.toStdString();
    EXPECT_EQ(QString::fromUtf8(ReadTestFile(received + QStringLiteral("/1.env"))),
              QStringLiteral("orders@print.test\nal@smith.test\n"));
}

TEST_F(EmailFromListTest, EmailRtfWithoutAFolderOfItsOwnFillsWherePdfAttachmentsGo)
{
    const QString received = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(received);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    app->emailSettings().Outgoing = server.url();
    exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo, BuyerNo, ShiptoNo, Title) "
                        "VALUES (50, 3, 1139, 100, 900, 0, 'Letterhead')"));
    const QString letter = DataFolder() + QStringLiteral("Invoice.rtf");
    WriteTestFile(letter, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\r\n\\f0 <JobNo> <Title>\\par\r\n<MyFooter>\\par\r\n}\r\n");
    // The user's documents folder, here a folder of the test's own.
    const QByteArray home = qgetenv("HOME");
    const QString ownHome = tempPath(QStringLiteral("home"));
    QDir().mkpath(ownHome);
    qputenv("HOME", ownHome.toUtf8());
    const QString documents = ownHome + QStringLiteral("/Documents/Tavrel/");
    // No folder set, and a folder set on Windows: neither names a folder here.
    const QString windowsName = QStringLiteral("C:\\Tavrel\\Invoice No 1139.rtf");
    for (const QString &setting : {QString(), QStringLiteral("C:\\Tavrel\\")}) {
        SCOPED_TRACE(setting.toStdString());
        if (setting.isEmpty())
            platform::Settings::remove(QStringLiteral("Settings"), QStringLiteral("Path-Attachment"));
        else
            platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("Path-Attachment"), setting);
        QFile::remove(documents + QStringLiteral("Invoice No 1139.rtf"));
        CXListCtrl jobs;
        jobs.FillFromSql(QStringLiteral("SELECT JobID, JobNo FROM Jobs WHERE JobID = 50"), QStringLiteral("JobID"));
        jobs.SelectItem(0);
        prompts().answerFile(letter);
        onDialog<CDlgOptions>([](CDlgOptions &o) {
            o.SendCommand(1);
            return o.result();
        });
        sendEachCompose(1);
        CExport exporter;
        exporter.EmailFromList(&jobs, 30001, 50, QStringLiteral("Inv"), QStringLiteral("Invoice.rtf"));
        EXPECT_TRUE(QFile::exists(documents + QStringLiteral("Invoice No 1139.rtf")));
        EXPECT_FALSE(QFile::exists(windowsName));
        EXPECT_FALSE(QFile::exists(DataFolder() + windowsName));
        QFile::remove(windowsName);
    }
    qputenv("HOME", home);
    EXPECT_TRUE(QString::fromUtf8(ReadTestFile(received + QStringLiteral("/2.eml")))
                    .contains(QStringLiteral("filename=\"Invoice No 1139.rtf\"")));
}

TEST_F(EmailFromListTest, ARefusingServerLeavesTheDatesAlone)
{
    const QString folder = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(folder, true);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    app->emailSettings().Outgoing = server.url();
    chooseAllContacts();
    sendEachCompose(2);
    prompts().answer(platform::IDNO);
    prompts().answer(platform::IDNO);
    CExport exporter;
    exporter.EmailFromList(&list, 30003, 100, QStringLiteral("Cus"), QString());
    EXPECT_EQ(prompts().pendingAnswers(), 0);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT count(*) FROM Contacts WHERE LastEmail IS NOT NULL")), QStringLiteral("0"));
}

TEST_F(EmailFromListTest, ListsWithoutAKeyAndPdfNamesChooseTheirTemplate)
{
    CXListCtrl plain;
    plain.FillFromSql(QStringLiteral("SELECT Name FROM Customers"), QStringLiteral("Name"));
    prompts().answer(platform::IDOK);
    CExport exporter;
    exporter.EmailFromList(&plain, 30003, 1, QStringLiteral("Cus"), QString());
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("Sorry, you can not send email from this list.\nIt does not have a key number: JobID or CusNo."));

    // A contact list sends to the contact, with "Emailing: " and the PDF's name
    // when its template (chosen by the PDF's name) has no subject.
    const QString folder = tempPath(QStringLiteral("received"));
    testservers::SmtpServer server(folder);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    app->emailSettings().Outgoing = server.url();
    QString attachments;
    app->GetSettingFolder(attachments, QStringLiteral("Path-Attachment"), QStringLiteral("C:\\Tavrel\\"));
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("Path-Attachment"), tempPath(QStringLiteral("pdf")));
    WriteTestFile(tempPath(QStringLiteral("pdf/Invoice No 1234.pdf")), "%PDF-1.4 test");
    WriteTestFile(CExport::EmailTemplateFolder() + QStringLiteral("Invoice.txt"), "Your invoice is attached, <First>.\r\n");
    CXListCtrl contacts;
    contacts.FillFromSql(QStringLiteral("SELECT ContactNo, Last FROM Contacts WHERE CusNo = 100 ORDER BY ContactNo"),
                         QStringLiteral("ContactNo"));
    contacts.SelectItem(1);
    sendEachCompose(1);
    exporter.EmailFromList(&contacts, 30003, 901, QStringLiteral("Cus"), QStringLiteral("Invoice No 1234.pdf"));
    const QString sent = QString::fromUtf8(ReadTestFile(folder + QStringLiteral("/1.eml")));
    // A document given to the list goes to the current contact even when it
    // takes no mailings: it is not a mailing.
    EXPECT_TRUE(sent.contains(QStringLiteral("Subject: Emailing: Invoice No 1234.pdf"))) << sent.toStdString();
    EXPECT_TRUE(sent.contains(QStringLiteral("Your invoice is attached, Bo.")));
    EXPECT_EQ(QString::fromUtf8(ReadTestFile(folder + QStringLiteral("/1.env"))),
              QStringLiteral("orders@print.test\nbo@smith.test\n"));

    // A template that is a pipe is refused at once and nothing goes out. (A
    // writer opens the pipe after five seconds, so that a read waiting on it
    // still ends.)
    const QString pipe = CExport::EmailTemplateFolder() + QStringLiteral("Statement.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QProcess writer;
    writer.start(QStringLiteral("timeout"), {QStringLiteral("10"), QStringLiteral("sh"), QStringLiteral("-c"),
                                             QStringLiteral("sleep 5; exec 3>'%1'").arg(pipe)});
    WriteTestFile(tempPath(QStringLiteral("pdf/Statement No 77.pdf")), "%PDF-1.4 test");
    prompts().clear();
    prompts().answer(platform::IDOK);
    exporter.EmailFromList(&contacts, 30003, 901, QStringLiteral("Cus"), QStringLiteral("Statement No 77.pdf"));
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Cannot use the template ") + pipe +
                                             QStringLiteral(": it is not an ordinary file (it is a folder, a pipe, a "
                                                            "device or a socket).")});
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/2.eml")));
    writer.kill();
    writer.waitForFinished(2000);
}
