#include "app/base/HtmlText.h"
#include "platform/Prompt.h"
#include "support/TestEnvironment.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>

TEST(HtmlText, PageWithMenuHasHeadMenuAndEnding)
{
    QString page = QStringLiteral("left over from an earlier page");
    HtmlBegin(page);
    EXPECT_TRUE(page.startsWith(QLatin1String("<html>\n\t<style>")));
    EXPECT_TRUE(page.endsWith(QLatin1String("</style>\n\t<body>")));
    const QString head = page;

    AppendHtmlMenuStart(page);
    AppendHtmlAppLinkId(page, 30001, QStringLiteral("Jobs"), QStringLiteral(" | "));
    AppendHtmlMenuEnd(page);
    HtmlEnd(page);
    EXPECT_EQ(page, head + QStringLiteral("<hr><div class=\"menu\"><a href=\"app:30001\">Jobs</a>&nbsp; | "
                                          "</div><br></body>\n</html>"));
}

TEST(HtmlText, LinkBlocksAndHeadings)
{
    QString html;
    AddSupportLinks(html, QStringLiteral("faq.html"), QStringLiteral("Questions"), QStringLiteral(" and answers"));
    EXPECT_TRUE(SupportAddress().endsWith(QLatin1String("support/")));
    EXPECT_EQ(html, QStringLiteral("<hr><div class=\"menu\"><a href=\"app:%1faq.html\">Questions and answers</a>"
                                   "&nbsp;</div><br>")
                        .arg(SupportAddress()));

    // Texts holding "%1" are taken literally.
    html.clear();
    AppendHtmlAppLink(html, QStringLiteral("%2"), QStringLiteral("%1"), QStringLiteral("%3"));
    EXPECT_EQ(html, QStringLiteral("<a href=\"app:%2\">%1</a>&nbsp;%3"));

    html.clear();
    AddHtmlHeading(html, QString(), QString());
    AddHtmlHeading(html, QString(), QStringLiteral("Only text"));
    AddHtmlHeading(html, QStringLiteral("Services"), QString());
    EXPECT_EQ(html, QStringLiteral("<p>Only text</p><h2>Services</h2>"));
    EXPECT_EQ(FormatHtmlElement(QString(), QStringLiteral("p")), QStringLiteral("<p></p>"));
}

TEST(HtmlText, ProgramFileInfoNamesTitleDateAndLocation)
{
    const QString savedCaption = platform::Prompt::defaultCaption();
    platform::Prompt::setDefaultCaption(QStringLiteral("Tavrel 2010"));
    const QString path = QCoreApplication::applicationFilePath();
    const QString date = QFileInfo(path).lastModified().toString(QStringLiteral("MMMM dd, yyyy"));
    EXPECT_EQ(GetProgramFileInfo(1), QStringLiteral("Tavrel 2010 (modified: %1)").arg(date));
    EXPECT_EQ(GetProgramFileInfo(0),
              QStringLiteral("Tavrel 2010\nModified: %1\nLocation: %2\n%3").arg(date, path, GetProgramNotice(2)));
    platform::Prompt::setDefaultCaption(savedCaption);
}

class HtmlPageTest : public TavrelTest
{
};

// A page with several menus, headings and links must read as valid HTML.
TEST_F(HtmlPageTest, BuiltPageIsWellFormedHtml)
{
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        GTEST_SKIP() << "xmllint is not installed (package libxml2-utils); the page cannot be checked";

    QString page;
    HtmlBegin(page);
    AddHtmlHeading(page, QStringLiteral("Welcome"), QStringLiteral("Choose a view below."));
    AppendHtmlMenuStart(page);
    AppendHtmlAppLinkId(page, 30001, QStringLiteral("Jobs"), QStringLiteral(" | "));
    AppendHtmlAppLinkId(page, 30003, QStringLiteral("Customers"), QString());
    AppendHtmlMenuEnd(page);
    BuildHtmlLinkMenu(page, 30005, QStringLiteral("Reports"), QString());
    AppendHtmlLinkMenu(page, QStringLiteral("Compact"), QStringLiteral("Compact the database"), QString());
    AddSupportLinks(page, QStringLiteral("index.html"), QStringLiteral("Support"), QStringLiteral(" pages"));
    page += FormatHtmlElement(GetProgramFileInfo(1), QStringLiteral("h5"));
    HtmlEnd(page);

    const QString path = tempPath(QStringLiteral("page.html"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(page.toUtf8());
    file.close();

    QProcess lint;
    lint.start(xmllint, {QStringLiteral("--html"), QStringLiteral("--noout"), path});
    ASSERT_TRUE(lint.waitForFinished(30000));
    EXPECT_EQ(lint.exitCode(), 0);
    EXPECT_EQ(lint.readAllStandardError().toStdString(), std::string());
    EXPECT_EQ(lint.readAllStandardOutput().toStdString(), std::string());
}
