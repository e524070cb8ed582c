// Files linked in a web-order mail, fetched from a real web server
// (python3 -m http.server on 127.0.0.1).

#include "exchange/weborders/DownloadLink.h"
#include "support/LocalServers.h"
#include "support/ShopTest.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
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

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

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
    EXPECT_EQ(readAll(first), readAll(root + QStringLiteral("/orders/art.pdf")));
    const QString second = DownloadLink(link, false, 55);
    EXPECT_EQ(second, downloads + QStringLiteral("/55/art (2).pdf"));
    EXPECT_EQ(readAll(second), readAll(first));
    EXPECT_TRUE(prompts().shown().isEmpty());

    // A missing file saves nothing.
    EXPECT_EQ(DownloadLink(server.url() + QStringLiteral("orders/none.pdf"), false, 55), QString());
    EXPECT_EQ(QDir(downloads + QStringLiteral("/55")).entryList(QDir::Files).size(), 2);
    // A link ending in "/" names no file.
    EXPECT_EQ(DownloadLink(server.url() + QStringLiteral("orders/"), false, 55), QString());
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
