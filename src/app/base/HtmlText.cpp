#include "app/base/HtmlText.h"

#include "platform/Settings.h"

#include "platform/DateTime.h"
#include "platform/Prompt.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFileInfo>

namespace {

// The page head. Selectors, properties and values are fixed; every page of
// the program looks alike because they all start here. A link menu is a
// class, not an id: most pages carry more than one menu, and an id may stand
// only once on a page.
const char *const kPageHead =
    "<html>\n"
    "\t<style>\n"
    "\t\t.style1 {border: 1px solid #C0C0C0;background-color: #008080;color: #FFFFFF;}\n"
    "\t\tbody {background-color: #fff; font-family: Segoe UI, Tahoma, Verdana; margin-left: 10; "
    "margin-right: 0; margin-top: 0;}\n"
    "\t\ttable.blue {padding: 0px; margin: 0px; width: '100%';}\n"
    "\t\tth {FONT-SIZE: 10pt; FONT-WEIGHT: bold; border-style: solid; border-width: 1px; padding: 2px; "
    "margin: 0px; background-color: #008080;color: #FFFFFF;}\n"
    "\t\ttd {FONT-SIZE: 8pt; FONT-WEIGHT: normal; border-style: solid; border-width: 1px; padding: 0px; "
    "margin: 0px;}\n"
    "\t\th1 {color: #717074; font-size: 14pt; font-weight: bold; margin-left:0px; margin-right:0px; "
    "margin-top:9px; margin-bottom:0px; font-family: Trebuchet MS;}\n"
    "\t\th2 {color: #cc4b00; font-size: 12pt; font-weight: bold; margin: 6px 0px 0px 0px; line-height:28px; "
    "border-bottom-width: 1px; border-bottom-style: solid; border-bottom-color: #dddddd; "
    "font-family: Trebuchet MS;}\n"
    "\t\th4 {color: #000000; font-size: 10pt; font-weight: bold; margin: 6px 0px 0px 0px;}\n"
    "\t\th5 {color: #000000; font-size: 9pt; font-weight: normal; margin: 6px 0px 0px 20px;}\n"
    "\t\th6 {color: #000000; font-size: 8pt; font-weight: normal; margin: 6px 0px 0px 0px;}\n"
    "\t\tp {color: #000000; font-size: 10pt; font-weight: normal; margin: 0px;}\n"
    "\t\tli {color: #000000; font-size: 9pt; font-weight: normal; list-style-image: square)}\n"
    "\t\ta {color: #000000; font-size: 9pt; font-weight: normal; cursor: pointer; padding: 1px 0px 2px 12px;}\n"
    "\t\ta:hover {color: #ffffff; font-size: 9pt; font-weight: normal; background-color: #EC712B; "
    "padding: 1px 6px 2px 12px; text-decoration: none;}\n"
    "\t\t.menu {color: #000000; font-size: 10pt; font-weight: normal;}\n"
    "\t\t.menu a {FONT-SIZE: 8pt; FONT-WEIGHT: bold; text-align: center; padding: 3px 12px; COLOR: #FFFFFF; "
    "BACKGROUND-COLOR: #D06426; BORDER:1px solid #D0A288; text-decoration: none;}\n"
    "\t\t.menu a:hover {text-decoration: none; color: #D06426; FONT-WEIGHT: bold; cursor: hand; "
    "BACKGROUND-COLOR: #FFFFFF;}\n"
    "\t\thr {color: #c6c6c6; height: 1px;}\n"
    "\t\tul {margin: 6px 10px 3px 30px;}\n"
    "\t</style>\n"
    "\t<body>";

} // namespace

void HtmlBegin(QString &page)
{
    page = QString::fromUtf8(kPageHead);
}

void HtmlEnd(QString &page)
{
    page += QStringLiteral("</body>\n</html>");
}

void AppendHtmlMenuStart(QString &page)
{
    page += QStringLiteral("<hr><div class=\"menu\">");
}

void AppendHtmlMenuEnd(QString &page)
{
    page += QStringLiteral("</div><br>");
}

void AppendHtmlAppLink(QString &page, const QString &target, const QString &text, const QString &trailing)
{
    page += QStringLiteral("<a href=\"app:%1\">%2</a>&nbsp;%3").arg(target, text, trailing);
}

void AppendHtmlAppLinkId(QString &page, int commandId, const QString &text, const QString &trailing)
{
    AppendHtmlAppLink(page, QString::number(commandId), text, trailing);
}

QString FormatHtmlElement(const QString &content, const QString &tag)
{
    return QStringLiteral("<%1>%2</%1>").arg(tag, content);
}

void AppendHtmlLinkMenu(QString &html, const QString &target, const QString &text, const QString &trailing)
{
    AppendHtmlMenuStart(html);
    AppendHtmlAppLink(html, target, text, trailing);
    AppendHtmlMenuEnd(html);
}

void BuildHtmlLinkMenu(QString &html, int commandId, const QString &text, const QString &trailing)
{
    AppendHtmlMenuStart(html);
    AppendHtmlAppLinkId(html, commandId, text, trailing);
    AppendHtmlMenuEnd(html);
}

QString SupportAddress()
{
    return QStringLiteral("https://www.halvane.com/tavrel/support/");
}

QString SupportEmailAddress()
{
    return platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("SupportEmail"),
                                          QStringLiteral("support@halvane.com"));
}

QString SupportCustomerNo()
{
    return platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("SupportCusNo"));
}

QString SupportFtpHost()
{
    return platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("SupportFtpHost"),
                                          QStringLiteral("ftp.halvane.com"));
}

void AddSupportLinks(QString &html, const QString &page, const QString &text1, const QString &text2)
{
    AppendHtmlLinkMenu(html, SupportAddress() + page, text1 + text2, QString());
}

void AddHtmlHeading(QString &html, const QString &title, const QString &text)
{
    if (!title.isEmpty())
        html += FormatHtmlElement(title, QStringLiteral("h2"));
    if (!text.isEmpty())
        html += FormatHtmlElement(text, QStringLiteral("p"));
}

QString GetProgramNotice(int mode)
{
    if (mode == 2)
        return QStringLiteral("Tavrel manages the estimates, jobs, customers, receivables and production "
                              "of a commercial print shop.\nCopyright \u00A9 Halvane. All rights reserved.");
    return QStringLiteral("Copyright \u00A9 Halvane");
}

QString GetProgramFileInfo(int mode)
{
    const QString path = QCoreApplication::applicationFilePath();
    const QFileInfo file(path);
    const QString modified =
        DateTime::fromDateTime(file.lastModified()).format(QStringLiteral("%B %d, %Y"));
    const QString title = platform::Prompt::defaultCaption();
    if (mode == 1)
        return QStringLiteral("%1 (modified: %2)").arg(title, modified);
    return QStringLiteral("%1\nModified: %2\nLocation: %3\n%4").arg(title, modified, path, GetProgramNotice(2));
}
