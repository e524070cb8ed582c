#include "app/base/HtmlText.h"
#include "platform/Prompt.h"
#include "support/TestEnvironment.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMap>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QStandardPaths>

namespace {

// The style rules of a page head, selector -> declarations.
QMap<QString, QString> styleRules(const QString &page)
{
    QMap<QString, QString> rules;
    const qsizetype start = page.indexOf(QLatin1String("<style>"));
    const qsizetype end = page.indexOf(QLatin1String("</style>"));
    static const QRegularExpression rule(QStringLiteral(R"(\s*([^{}]+?)\s*\{([^{}]*)\})"));
    auto it = rule.globalMatch(page.mid(start + 7, end - start - 7));
    while (it.hasNext()) {
        const auto m = it.next();
        rules.insert(m.captured(1), m.captured(2));
    }
    return rules;
}

} // namespace

TEST(HtmlText, PageWithMenuHasHeadMenuAndEnding)
{
    QString page = QStringLiteral("left over from an earlier page");
    HtmlBegin(page);
    EXPECT_FALSE(page.contains(QLatin1String("left over")));
    EXPECT_TRUE(page.startsWith(QLatin1String("<html>\n\t<style>")));
    const QString head = page;

    AppendHtmlMenuStart(page);
    AppendHtmlAppLinkId(page, 30001, QStringLiteral("Jobs"), QStringLiteral(" | "));
    AppendHtmlMenuEnd(page);
    HtmlEnd(page);

    EXPECT_EQ(page, head + QStringLiteral("<hr><div class=\"menu\"><a href=\"app:30001\">Jobs</a>&nbsp; | "
                                          "</div><br></body>\n</html>"));
    const qsizetype styleEnd = head.indexOf(QLatin1String("</style>"));
    ASSERT_GT(styleEnd, 0);
    EXPECT_EQ(head.mid(styleEnd + 8).trimmed(), QStringLiteral("<body>"));
}

TEST(HtmlText, StyleSheetHoldsEveryRuleExactly)
{
    QString page;
    HtmlBegin(page);
    const QMap<QString, QString> rules = styleRules(page);
    EXPECT_EQ(rules.size(), 19);
    EXPECT_EQ(rules.value(QStringLiteral(".style1")),
              QStringLiteral("border: 1px solid #C0C0C0;background-color: #008080;color: #FFFFFF;"));
    EXPECT_EQ(rules.value(QStringLiteral("table.blue")), QStringLiteral("padding: 0px; margin: 0px; width: '100%';"));
    EXPECT_EQ(rules.value(QStringLiteral("h2")),
              QStringLiteral("color: #cc4b00; font-size: 12pt; font-weight: bold; margin: 6px 0px 0px 0px; "
                             "line-height:28px; border-bottom-width: 1px; border-bottom-style: solid; "
                             "border-bottom-color: #dddddd; font-family: Trebuchet MS;"));
    EXPECT_EQ(rules.value(QStringLiteral("li")),
              QStringLiteral("color: #000000; font-size: 9pt; font-weight: normal; list-style-image: square)"));
    EXPECT_EQ(rules.value(QStringLiteral(".menu a")),
              QStringLiteral("FONT-SIZE: 8pt; FONT-WEIGHT: bold; text-align: center; padding: 3px 12px; "
                             "COLOR: #FFFFFF; BACKGROUND-COLOR: #D06426; BORDER:1px solid #D0A288; "
                             "text-decoration: none;"));
    EXPECT_EQ(rules.value(QStringLiteral(".menu a:hover")),
              QStringLiteral("text-decoration: none; color: #D06426; FONT-WEIGHT: bold; cursor: hand; "
                             "BACKGROUND-COLOR: #FFFFFF;"));
    EXPECT_EQ(rules.value(QStringLiteral("ul")), QStringLiteral("margin: 6px 10px 3px 30px;"));
    for (const char *selector : {"body", "th", "td", "h1", "h4", "h5", "h6", "p", "a", "a:hover", ".menu", "hr"})
        EXPECT_TRUE(rules.contains(QLatin1String(selector))) << selector;
}

TEST(HtmlText, LinkBlocksAndHeadings)
{
    QString html = QStringLiteral("x");
    BuildHtmlLinkMenu(html, 30001, QStringLiteral("Jobs"), QStringLiteral("more"));
    EXPECT_EQ(html, QStringLiteral("x<hr><div class=\"menu\"><a href=\"app:30001\">Jobs</a>&nbsp;more</div><br>"));

    html.clear();
    AppendHtmlLinkMenu(html, QStringLiteral("Compact"), QStringLiteral("Compact now"), QString());
    EXPECT_EQ(html, QStringLiteral("<hr><div class=\"menu\"><a href=\"app:Compact\">Compact now</a>&nbsp;</div><br>"));

    html.clear();
    AddSupportLinks(html, QStringLiteral("faq.html"), QStringLiteral("Questions"), QStringLiteral(" and answers"));
    EXPECT_TRUE(SupportAddress().endsWith(QLatin1String("support/")));
    EXPECT_EQ(html, QStringLiteral("<hr><div class=\"menu\"><a href=\"app:%1faq.html\">Questions and answers</a>"
                                   "&nbsp;</div><br>")
                        .arg(SupportAddress()));

    // Texts holding "%1" are taken literally.
    html.clear();
    AppendHtmlAppLink(html, QStringLiteral("%2"), QStringLiteral("%1"), QStringLiteral("%3"));
    EXPECT_EQ(html, QStringLiteral("<a href=\"app:%2\">%1</a>&nbsp;%3"));

    EXPECT_EQ(FormatHtmlElement(QString(), QStringLiteral("p")), QStringLiteral("<p></p>"));
    EXPECT_EQ(FormatHtmlElement(QStringLiteral("Title"), QStringLiteral("h4")), QStringLiteral("<h4>Title</h4>"));

    html.clear();
    AddHtmlHeading(html, QString(), QStringLiteral("Only text"));
    EXPECT_EQ(html, QStringLiteral("<p>Only text</p>"));
    AddHtmlHeading(html, QString(), QString());
    EXPECT_EQ(html, QStringLiteral("<p>Only text</p>"));
    html.clear();
    AddHtmlHeading(html, QStringLiteral("Services"), QStringLiteral("All of them"));
    EXPECT_EQ(html, QStringLiteral("<h2>Services</h2><p>All of them</p>"));
}

class HtmlPageTest : public TavrelTest
{
};

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
    page += FormatHtmlElement(QStringLiteral("Program"), QStringLiteral("h4"));
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

TEST(HtmlText, ProgramFileInfoNamesTitleDateAndLocation)
{
    const QString savedCaption = platform::Prompt::defaultCaption();
    platform::Prompt::setDefaultCaption(QStringLiteral("Tavrel 2010"));
    const QString path = QCoreApplication::applicationFilePath();
    const QString date = QFileInfo(path).lastModified().toString(QStringLiteral("MMMM dd, yyyy"));

    EXPECT_EQ(GetProgramFileInfo(1), QStringLiteral("Tavrel 2010 (modified: %1)").arg(date));
    EXPECT_EQ(GetProgramFileInfo(0),
              QStringLiteral("Tavrel 2010\nModified: %1\nLocation: %2\n%3").arg(date, path, GetProgramNotice(2)));
    EXPECT_NE(GetProgramNotice(2), GetProgramNotice(1));
    platform::Prompt::setDefaultCaption(savedCaption);
}
