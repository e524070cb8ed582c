// File transfer with the support site, against a real FTP server (vsftpd
// on 127.0.0.1): the database goes out as a consistent snapshot, downloads
// arrive whole or not at all, and Stop stops between blocks.

#include "exchange/transfer/CFileTransferDlg.h"
#include "exchange/transfer/SupportTransfer.h"
#include "platform/Settings.h"
#include "support/TestFiles.h"
#include "support/LocalServers.h"
#include "support/ProgressStopper.h"
#include "support/ShopTest.h"
#include "views/CStatusDlg.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QPushButton>

#include <memory>

namespace {



// Runs the event loop until the transfer ends; its outcome.
int waitForEnd(SupportTransfer &transfer)
{
    int outcome = -1;
    QEventLoop loop;
    QObject::connect(&transfer, &SupportTransfer::finished, &loop, [&](int o) {
        outcome = o;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    if (transfer.IsRunning())
        loop.exec();
    return outcome;
}

} // namespace

class FileTransferTest : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        CStatusDlg::ServeNetworkWaits(true);
        SetDataFolder(QFileInfo(m_path).absolutePath() + QDir::separator());
        site = tempPath(QStringLiteral("site"));
        QDir().mkpath(site + QStringLiteral("/incoming"));
        QDir().mkpath(site + QStringLiteral("/Downloads"));
        platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("SupportCusNo"), QStringLiteral("4711"));
    }
    void TearDown() override
    {
        CStatusDlg::ServeNetworkWaits(false);
        ShopTest::TearDown();
    }
    QString site;
};

TEST_F(FileTransferTest, TheDatabaseGoesOutAsAConsistentSnapshot)
{
    for (int i = 0; i < 200; ++i)
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (%1, 'Customer %1')").arg(1000 + i));
    testservers::FtpServer server(site, 300, true);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("SupportFtpHost"),
                                    QStringLiteral("ftp://") + server.host());
    EXPECT_EQ(CFileTransferDlg::SentFileName(QStringLiteral("C:\\Shop\\TavrelData.mdb")),
              QStringLiteral("PI-4711TavrelData.mdb"));

    onDialog<CFileTransferDlg>([&](CFileTransferDlg &d) {
        EXPECT_EQ(d.fileBox()->currentText(), DataFolder() + QStringLiteral("TavrelData.mdb"));
        EXPECT_EQ(d.stripText(), QStringLiteral("Select a file and click Send Now"));
        // The strip says the site is open only once the server has taken
        // the logon.
        QString whenOpened;
        QObject::connect(&d.transfer(), &SupportTransfer::opened, &d, [&] { whenOpened = d.stripText(); });
        d.SendCommand(30230);
        EXPECT_EQ(d.stripText(), QStringLiteral("Opening Ftp Site..."));
        waitForEnd(d.transfer());
        EXPECT_EQ(whenOpened, QStringLiteral("Ftp Site Opened.Transfering..."));
        EXPECT_EQ(d.stripText(), QStringLiteral("Transfered the file successfully."));
        TavrelTest::SaveSnapshot(d, QStringLiteral("exchange"), QStringLiteral("file-transfer"));
        d.SendCommand(2);
        return 2;
    });
    CFileTransferDlg dialog(CFileTransferDlg::Send, nullptr);
    dialog.DoModal();

    const QString sent = site + QStringLiteral("/incoming/PI-4711TavrelData.mdb");
    ASSERT_TRUE(QFile::exists(sent));
    QProcess check;
    check.start(QStringLiteral("sqlite3"), {sent, QStringLiteral("PRAGMA integrity_check; SELECT count(*) FROM Customers "
                                                                 "WHERE CusNo >= 1000;")});
    check.waitForFinished(20000);
    EXPECT_EQ(QString::fromUtf8(check.readAllStandardOutput()).trimmed(), QStringLiteral("ok\n200"));
}

TEST_F(FileTransferTest, DownloadsArriveWholeOrNotAtAll)
{
    QByteArray big;
    for (int i = 0; i < 3 * 1024 * 1024; ++i)
        big.append(char((i * 31) % 256));
    WriteTestFile(site + QStringLiteral("/Downloads/update.zip"), big);
    WriteTestFile(site + QStringLiteral("/Downloads/empty.txt"), QByteArray());
    testservers::FtpServer server(site);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    const QString to = tempPath(QStringLiteral("in")) + QLatin1Char('/');
    QDir().mkpath(to);

    // The window offers the site's names and chooses none of them.
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("SupportFtpHost"),
                                    QStringLiteral("ftp://") + server.host());
    onDialog<CFileTransferDlg>([&](CFileTransferDlg &d) {
        QStringList offered;
        for (int i = 0; i < d.fileBox()->count(); ++i)
            offered << d.fileBox()->itemText(i);
        offered.sort();
        EXPECT_EQ(offered, (QStringList{QStringLiteral("empty.txt"), QStringLiteral("update.zip")}));
        EXPECT_EQ(d.fileBox()->currentText(), QStringLiteral("< select a file >"));
        EXPECT_EQ(d.stripText(), QStringLiteral("Select a file and click Download Now"));
        return 2;
    });
    {
        CFileTransferDlg dialog(CFileTransferDlg::Download, nullptr);
        dialog.DoModal();
    }

    SupportTransfer transfer;
    transfer.setSite(QStringLiteral("ftp://") + server.host());
    QStringList names;
    QString error;
    ASSERT_TRUE(transfer.ListDownloads(names, error)) << error.toStdString();
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("empty.txt"), QStringLiteral("update.zip")}));

    ASSERT_TRUE(transfer.StartDownload(QStringLiteral("update.zip"), to + QStringLiteral("update.zip")));
    EXPECT_EQ(waitForEnd(transfer), SupportTransfer::Done);
    EXPECT_EQ(ReadTestFile(to + QStringLiteral("update.zip")), big);
    EXPECT_EQ(SupportTransfer::ProgressText(transfer.bytesDone(), transfer.bytesExpected()),
              QStringLiteral("3072k of 3072k (100%)"));

    // An empty file is complete, not a division by zero.
    ASSERT_TRUE(transfer.StartDownload(QStringLiteral("empty.txt"), to + QStringLiteral("empty.txt")));
    EXPECT_EQ(waitForEnd(transfer), SupportTransfer::Done);
    EXPECT_TRUE(QFile::exists(to + QStringLiteral("empty.txt")));
    EXPECT_EQ(SupportTransfer::ProgressText(0, 0), QStringLiteral("0k of 0k (100%)"));

    // A name the site does not hold creates nothing.
    EXPECT_FALSE(transfer.StartDownload(QStringLiteral("missing.zip"), to + QStringLiteral("missing.zip")));
    EXPECT_EQ(transfer.errorText(), QStringLiteral("The site has no file named missing.zip."));
    EXPECT_FALSE(QFile::exists(to + QStringLiteral("missing.zip")));

    // Stop after the first blocks: no file is left behind.
    QFile::remove(to + QStringLiteral("update.zip"));
    bool stopped = false;
    QObject::connect(&transfer, &SupportTransfer::progress, &transfer, [&](qint64 done, qint64) {
        if (!stopped && done >= 4 * SupportTransfer::kBlockSize) {
            stopped = true;
            transfer.Stop();
        }
    });
    ASSERT_TRUE(transfer.StartDownload(QStringLiteral("update.zip"), to + QStringLiteral("update.zip")));
    EXPECT_EQ(waitForEnd(transfer), SupportTransfer::Cancelled);
    EXPECT_LT(transfer.bytesDone(), qint64(big.size()));
    EXPECT_FALSE(QFile::exists(to + QStringLiteral("update.zip")));
}

TEST_F(FileTransferTest, NoServerIsSaid)
{
    SupportTransfer transfer;
    transfer.setSite(QStringLiteral("ftp://127.0.0.1:%1").arg(testservers::FreePort()));
    QStringList names;
    QString error;
    EXPECT_FALSE(transfer.ListDownloads(names, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot connect to: 127.0.0.1\n\n"))) << error.toStdString();
}

TEST_F(FileTransferTest, ARefusedLogonIsAFailureToConnect)
{
    // The test server takes anonymous logons only.
    testservers::FtpServer server(site, 300, true);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("SupportFtpHost"),
                                    QStringLiteral("ftp://shop@") + server.host());
    prompts().answer(platform::IDOK);
    onDialog<CFileTransferDlg>([&](CFileTransferDlg &d) {
        d.SendCommand(30230);
        waitForEnd(d.transfer());
        EXPECT_EQ(d.stripText(), QStringLiteral("Cannot connect! Make sure you are connected to the internet."));
        d.SendCommand(2);
        return 2;
    });
    CFileTransferDlg dialog(CFileTransferDlg::Send, nullptr);
    dialog.DoModal();
    QStringList boxes;
    for (const platform::PromptRecord &shown : prompts().shown())
        if (shown.text.startsWith(QLatin1String("Cannot")))
            boxes << shown.text;
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Cannot connect to: 127.0.0.1\n\nLogin denied")});
    EXPECT_TRUE(QDir(site + QStringLiteral("/incoming")).isEmpty());
}

// A site that takes the connection and never answers: each wait for it
// (the listing as the window opens, the look-up of Download Now) shows the
// progress window, and its Stop ends the wait at once. Nothing is said but
// the question, no name is chosen and nothing is saved.
TEST_F(FileTransferTest, AWaitForASilentSiteEndsAtStop)
{
    testservers::SilentServer silent;
    ASSERT_TRUE(silent.started());
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("SupportFtpHost"),
                                    QStringLiteral("ftp://127.0.0.1:%1").arg(silent.port()));
    const QString to = tempPath(QStringLiteral("in")) + QLatin1Char('/');
    QDir().mkpath(to);

    auto stopper = std::make_unique<ProgressStopper>();
    QStringList stoppedThere;
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDYES);
    onDialog<CFileTransferDlg>([&](CFileTransferDlg &d) {
        EXPECT_EQ(d.fileBox()->count(), 0);
        EXPECT_EQ(d.fileBox()->currentText(), QStringLiteral("< select a file >"));
        EXPECT_EQ(d.stripText(), QStringLiteral("Transfer cancelled!"));
        d.fileBox()->setEditText(QStringLiteral("update.zip"));
        d.targetBox()->setEditText(to);
        d.SendCommand(30230);
        waitForEnd(d.transfer());
        EXPECT_EQ(d.stripText(), QStringLiteral("Transfer cancelled!"));
        stoppedThere = stopper->stopped();
        stopper.reset();

        // This window's own Stop answers too while the site is waited for
        // behind the progress window: at once, and without the question.
        QTimer own;
        QObject::connect(&own, &QTimer::timeout, &d, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("CStatusDlg") && w->isVisible() && d.startButton()->text() == QLatin1String("&Stop")) {
                    own.stop();
                    QTest::mouseClick(d.startButton(), Qt::LeftButton);
                }
        });
        own.start(100);
        d.SendCommand(30230);
        waitForEnd(d.transfer());
        EXPECT_FALSE(own.isActive()) << "the progress window never showed";
        EXPECT_EQ(d.stripText(), QStringLiteral("Transfer cancelled!"));
        EXPECT_EQ(d.startButton()->text(), QStringLiteral("Download Now"));
        d.SendCommand(2);
        return 2;
    });
    CFileTransferDlg dialog(CFileTransferDlg::Download, nullptr);
    dialog.DoModal();
    EXPECT_EQ(stoppedThere, (QStringList{QStringLiteral("Opening Ftp Site..."), QStringLiteral("Opening Ftp Site...")}));
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral("Do you want to stop now?"), QStringLiteral("Do you want to stop now?")}));
    EXPECT_TRUE(QDir(to).isEmpty());
}

// A site slow to send its "226" after the listing and after a file, and
// that never answers QUIT: the window lives through every wait, Stop ends
// the wait for the listing's "226" and the one after the file's last byte
// within moments, and no closing holds the window.
TEST_F(FileTransferTest, ASiteSlowToConfirmIsStoppedAtOnce)
{
    QByteArray bytes(64 * 1024, 'z');
    WriteTestFile(site + QStringLiteral("/Downloads/update.zip"), bytes);
    const QString log = tempPath(QStringLiteral("ftplog"));
    testservers::SlowFtpServer server(site, log, 20, true, 40);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    SupportTransfer transfer;
    transfer.setSite(QStringLiteral("ftp://") + server.host());

    // The listing arrives, its "226" does not: Stop a second into the wait.
    QElapsedTimer shown;
    QElapsedTimer sinceStop;
    ProgressStopper stopper([&](const QStringList &) {
        if (!shown.isValid())
            shown.start();
        if (shown.elapsed() < 1000)
            return false;
        sinceStop.start();
        return true;
    });
    prompts().answer(platform::IDYES);
    QStringList names;
    QString error;
    EXPECT_FALSE(transfer.ListDownloads(names, error));
    ASSERT_TRUE(sinceStop.isValid()) << "the progress window was not served during the wait";
    EXPECT_LT(sinceStop.elapsed(), 10000);
    EXPECT_EQ(error, QString());
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Do you want to stop now?")});

    // The whole file is in, its "226" is not: Stop ends the transfer at
    // once, and nothing is kept of a file the site did not confirm.
    const QString to = tempPath(QStringLiteral("in")) + QLatin1Char('/');
    QDir().mkpath(to);
    QElapsedTimer looking;
    looking.start();
    ASSERT_TRUE(transfer.StartDownload(QStringLiteral("update.zip"), to + QStringLiteral("update.zip")))
        << transfer.errorText().toStdString();
    EXPECT_LT(looking.elapsed(), 10000) << "the closing of the look-up held the window";
    EXPECT_TRUE(QTest::qWaitFor([&] { return transfer.bytesDone() == bytes.size(); }, 10000));
    QTest::qWait(300);
    ASSERT_TRUE(transfer.IsRunning());
    QElapsedTimer stopping;
    stopping.start();
    int outcome = -1;
    QObject::connect(&transfer, &SupportTransfer::finished, &transfer, [&](int o) { outcome = o; });
    transfer.Stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return outcome >= 0; }, 10000));
    EXPECT_LT(stopping.elapsed(), 10000);
    EXPECT_EQ(outcome, int(SupportTransfer::Cancelled));
    EXPECT_FALSE(QFile::exists(to + QStringLiteral("update.zip")));
}
