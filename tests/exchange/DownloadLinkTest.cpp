// Files linked in a web-order mail, fetched from a real web server
// (python3 -m http.server on 127.0.0.1).

#include "exchange/weborders/DownloadLink.h"
#include "support/TestFiles.h"
#include "support/LocalServers.h"
#include "support/ShopTest.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QMap>
#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>

namespace {

class OpenedLinks : public QObject
{
    Q_OBJECT
public:
    QStringList urls;
public slots:
    void open(const QUrl &url) { urls.append(url.toString()); }
};


} // namespace

class DownloadLinkTest : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        root = tempPath(QStringLiteral("site"));
        QDir().mkpath(root + QStringLiteral("/orders"));
        QFile art(root + QStringLiteral("/orders/art.pdf"));
        art.open(QIODevice::WriteOnly);
        for (int i = 0; i < 3000; ++i)
            art.write(QByteArray(1, char(i % 251)));
        art.close();
        downloads = tempPath(QStringLiteral("DownloadTo"));
        QDir().mkpath(downloads);
        app->emailSettings().DownloadTo = downloads;
        app->emailSettings().AutoByCus = 1;
    }
    QString root;
    QString downloads;
};

TEST_F(DownloadLinkTest, FilesLandInTheCustomersFolderAndNeverReplaceOne)
{
    testservers::HttpServer server(root);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    const QString link = server.url() + QStringLiteral("orders/art.pdf");
    const QString first = DownloadLink(link + QStringLiteral(" (front and back)"), false, 55);
    EXPECT_EQ(first, downloads + QStringLiteral("/55/art.pdf"));
    EXPECT_EQ(ReadTestFile(first), ReadTestFile(root + QStringLiteral("/orders/art.pdf")));
    const QString second = DownloadLink(link, false, 55);
    EXPECT_EQ(second, downloads + QStringLiteral("/55/art (2).pdf"));
    EXPECT_EQ(ReadTestFile(second), ReadTestFile(first));
    EXPECT_TRUE(prompts().shown().isEmpty());

    // A missing file saves nothing, and says so.
    prompts().answer(platform::IDOK);
    EXPECT_EQ(DownloadLink(server.url() + QStringLiteral("orders/none.pdf"), false, 55), QString());
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot download: %1/55/none.pdf\n\nThe server answered 404 (Not "
                                                   "Found) for %2orders/none.pdf.")
                                        .arg(downloads, server.url()));
    EXPECT_EQ(QDir(downloads + QStringLiteral("/55")).entryList(QDir::Files).size(), 2);
    // A link ending in "/" names no file.
    EXPECT_EQ(DownloadLink(server.url() + QStringLiteral("orders/"), false, 55), QString());
}

// A link that fails on the network says which file was not saved and why,
// and leaves nothing in the folder; a server's redirection to a file of this
// computer is never followed.
TEST_F(DownloadLinkTest, ALinkThatFailsOnTheNetworkSaysWhichFileAndWhy)
{
    const QMap<QString, QString> moves{{QStringLiteral("/orders/loop.pdf"), QStringLiteral("/orders/loop.pdf")},
                                       {QStringLiteral("/orders/passwd"), QStringLiteral("file:///etc/passwd")}};
    testservers::RedirectingHttpServer server(root, moves);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    const quint16 closed = testservers::FreePort();
    struct Case
    {
        QString link;
        QString name;
        QString reason;
    };
    const Case cases[] = {
        {QStringLiteral("http://127.0.0.1:%1/orders/art.pdf").arg(closed), QStringLiteral("art.pdf"),
         QStringLiteral("The server 127.0.0.1:%1 refused the connection (no web server answers there).").arg(closed)},
        {server.url() + QStringLiteral("orders/none.pdf"), QStringLiteral("none.pdf"),
         QStringLiteral("The server answered 404 (Not Found) for %1orders/none.pdf.").arg(server.url())},
        {QStringLiteral("http://no-such-host.invalid/art.pdf"), QStringLiteral("art.pdf"),
         QStringLiteral("The server no-such-host.invalid is not known: its name cannot be found.")},
        {server.url() + QStringLiteral("orders/loop.pdf"), QStringLiteral("loop.pdf"),
         QStringLiteral("The address redirects again and again (a loop of redirections).")},
        {server.url() + QStringLiteral("orders/passwd"), QStringLiteral("passwd"),
         QStringLiteral("The address redirects to file:///etc/passwd, which is not a web address; it is not followed.")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.link.toStdString());
        prompts().clear();
        prompts().answer(platform::IDOK);
        EXPECT_EQ(DownloadLink(c.link, false, 55), QString());
        EXPECT_EQ(prompts().texts(),
                  QStringList{QStringLiteral("Cannot download: %1/55/%2\n\n%3").arg(downloads, c.name, c.reason)});
        EXPECT_EQ(QDir(downloads + QStringLiteral("/55")).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
    // The same server gives a file it has.
    EXPECT_EQ(DownloadLink(server.url() + QStringLiteral("orders/art.pdf"), false, 55),
              downloads + QStringLiteral("/55/art.pdf"));
}

TEST_F(DownloadLinkTest, OnlyWebAddressesAreFollowedAndPagesAreOffered)
{
    prompts().answer(platform::IDOK);
    EXPECT_EQ(DownloadLink(QStringLiteral("file:///etc/passwd"), false, 55), QString());
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("file:///etc/passwd\n\nis not a web address.")));
    prompts().answer(platform::IDOK);
    EXPECT_EQ(DownloadLink(QStringLiteral("C:\\Windows\\evil.exe"), false, 55), QString());
    EXPECT_TRUE(QDir(downloads).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());

    OpenedLinks opened;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &opened, "open");
    prompts().answer(platform::IDYES);
    EXPECT_EQ(DownloadLink(QStringLiteral("http://shop.test/proof.html"), false, 55), QString());
    EXPECT_EQ(prompts().lastText(), QStringLiteral("http://shop.test/proof.html is a web page.\nDo you want to open it? "
                                                   "\n\n(click Yes to open, No to download)"));
    prompts().answer(platform::IDCANCEL);
    EXPECT_EQ(DownloadLink(QStringLiteral("http://shop.test/cart.aspx?id=1"), false, 55), QString());
    EXPECT_TRUE(prompts().lastText().contains(QStringLiteral(" is a web application.")));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    EXPECT_EQ(opened.urls, QStringList{QStringLiteral("http://shop.test/proof.html")});
}

#include "DownloadLinkTest.moc"
