// Every file the tool writes, written where it cannot be whole: past the
// file-size limit of a user's session (the signal at its default action, as
// a session starts a program) and on a full disk. Each command says which
// file and why, exits with 1 and leaves nothing in the folder.

#include "support/LocalServers.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"
#include "support/ToolRun.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

namespace {

class ToolWritersTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        shop = tempPath(QStringLiteral("shop.mdb"));
        ASSERT_EQ(RunDbTool({QStringLiteral("sample"), shop}).exitCode, 0);
        const ToolRun payer = RunDbTool({QStringLiteral("sql"), shop,
                                         QStringLiteral("SELECT TOP 1 CusNo FROM Jobs WHERE JobType = 3 AND Balance > "
                                                        "0.0001 ORDER BY CusNo")});
        cusNo = payer.out.trimmed().section(QLatin1Char('\n'), -1).trimmed();
        site = tempPath(QStringLiteral("site"));
        WriteTestFile(site + QStringLiteral("/art.pdf"), QByteArray(300000, 'a'));
    }

    // One command of the tool and the file it writes into `folder`.
    struct Writer
    {
        QString what;
        QStringList args;
        QString file;
    };
    QList<Writer> writers(const QString &folder, const QString &webSite, quint16 popPort) const
    {
        const QString today = QStringLiteral("--today");
        const QString date = QStringLiteral("12/10/2026");
        return {
            {QStringLiteral("barcode"),
             {QStringLiteral("barcode"), QStringLiteral("1"), QStringLiteral("12345"), folder + QStringLiteral("/b.png")},
             folder + QStringLiteral("/b.png")},
            {QStringLiteral("layout png"),
             {QStringLiteral("layout"), QStringLiteral("8.5x11"), QStringLiteral("3.5x2"), QStringLiteral("--png"),
              folder + QStringLiteral("/l.png")},
             folder + QStringLiteral("/l.png")},
            {QStringLiteral("layout pdf"),
             {QStringLiteral("layout"), QStringLiteral("8.5x11"), QStringLiteral("3.5x2"), QStringLiteral("--pdf"),
              folder + QStringLiteral("/l.pdf")},
             folder + QStringLiteral("/l.pdf")},
            {QStringLiteral("report"),
             {QStringLiteral("report"), shop, QStringLiteral("2001"), QStringLiteral("--pdf"),
              folder + QStringLiteral("/r.pdf")},
             folder + QStringLiteral("/r.pdf")},
            {QStringLiteral("A/R summary"),
             {QStringLiteral("print"), shop, QStringLiteral("--ar-summary"), QStringLiteral("--pdf"),
              folder + QStringLiteral("/a.pdf")},
             folder + QStringLiteral("/a.pdf")},
            {QStringLiteral("statement"),
             {QStringLiteral("print"), shop, QStringLiteral("--statement"), cusNo, QStringLiteral("--kind"),
              QStringLiteral("1"), QStringLiteral("--pdf"), folder + QStringLiteral("/s.pdf"), today, date},
             folder + QStringLiteral("/s.pdf")},
            {QStringLiteral("mail link"),
             {QStringLiteral("mail"), QStringLiteral("link"), webSite + QStringLiteral("art.pdf"), folder},
             folder + QStringLiteral("/art.pdf")},
            {QStringLiteral("mail receive"),
             {QStringLiteral("mail"), QStringLiteral("receive"), QStringLiteral("127.0.0.1:%1").arg(popPort),
              QStringLiteral("shop"), QStringLiteral("pw"), QStringLiteral("--save"), folder},
             folder + QStringLiteral("/1.eml")},
        };
    }

    // Runs every writer into the folder and checks what it said and left.
    void expectEachSaysWhy(const QString &folder, rlim_t limit, const QString &reason, const QStringList &kept)
    {
        testservers::HttpServer web(site);
        ASSERT_TRUE(web.started()) << web.error().toStdString();
        testservers::PopServer pop(QStringLiteral("pw"));
        ASSERT_TRUE(pop.started()) << pop.error().toStdString();
        ASSERT_TRUE(pop.addMessage(QStringLiteral("1.mail"), "From: a@b.test\r\nMessage-ID: <x1@b.test>\r\n\r\n"
                                                             + QByteArray(300000, 'm') + "\r\n"));
        for (const Writer &w : writers(folder, web.url(), pop.port())) {
            SCOPED_TRACE(w.what.toStdString());
            const ToolRun r = RunDbTool(w.args, limit, SizeLimitSignal::AsInASession);
            EXPECT_FALSE(r.crashed) << "ended by a signal";
            EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
            EXPECT_TRUE(r.err.contains(w.file)) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(reason)) << r.err.toStdString();
            EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), kept);
        }
    }

    QString shop;
    QString cusNo;
    QString site;
};

} // namespace

TEST_F(ToolWritersTest, PastTheFileSizeLimitOfTheSession)
{
    const QString folder = tempPath(QStringLiteral("out"));
    QDir().mkpath(folder);
    // Every file here is larger than 1 KB; the shop's file is only read.
    expectEachSaysWhy(folder, 1024, QStringLiteral("The file would be larger than the file-size limit allows."), {});
}

TEST_F(ToolWritersTest, OnAFullDisk)
{
    const FullDisk disk(tempPath(QStringLiteral("full")));
    if (!disk.mounted())
        GTEST_SKIP() << "a disk of its own cannot be mounted here";
    ASSERT_TRUE(disk.fill());
    expectEachSaysWhy(tempPath(QStringLiteral("full")), 0, QStringLiteral("Not enough space on disk."),
                      {QStringLiteral(".filler")});
}

// A name that holds a folder is refused, said and left as it is; nothing
// ends the tool.
TEST_F(ToolWritersTest, ANameThatIsAFolderIsRefusedAndSaid)
{
    const QString folder = tempPath(QStringLiteral("taken.pdf"));
    QDir().mkpath(folder);
    const QList<QStringList> commands = {
        {QStringLiteral("print"), shop, QStringLiteral("--ar-summary"), QStringLiteral("--pdf"), folder},
        {QStringLiteral("report"), shop, QStringLiteral("2001"), QStringLiteral("--pdf"), folder},
        {QStringLiteral("print"), shop, QStringLiteral("--statement"), cusNo, QStringLiteral("--kind"),
         QStringLiteral("1"), QStringLiteral("--pdf"), folder},
    };
    for (const QStringList &args : commands) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const ToolRun r = RunDbTool(args);
        EXPECT_FALSE(r.crashed);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(folder)) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("It is a folder, not an ordinary file; nothing was written to it.")))
            << r.err.toStdString();
        EXPECT_TRUE(QFileInfo(folder).isDir());
        EXPECT_TRUE(QDir(folder).isEmpty());
    }
}
