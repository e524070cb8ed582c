#pragma once

#include <QtCore/QString>

// The program's own HTML pages (home page, database report, service pages)
// are built as one growing text from these pieces, so every page shares the
// same style sheet, link menu look and ending. Links use the "app:" scheme:
// the hosted browser hands them back to the program as commands instead of
// loading a page. Nothing here escapes text: callers pass valid HTML.

// Replaces the page with the page head: the style sheet and the opening body tag.
void HtmlBegin(QString &page);
// Appends the closing body and html tags.
void HtmlEnd(QString &page);

// Opens and closes a menu of button-like links.
void AppendHtmlMenuStart(QString &page);
void AppendHtmlMenuEnd(QString &page);

// A link to "app:" + target, followed by a non-breaking space and the trailing text.
void AppendHtmlAppLink(QString &page, const QString &target, const QString &text, const QString &trailing);
// A link whose target is a command id (a view switch, for instance).
void AppendHtmlAppLinkId(QString &page, int commandId, const QString &text, const QString &trailing);

// "<tag>content</tag>".
QString FormatHtmlElement(const QString &content, const QString &tag);

// A menu block holding one link to a named target.
void AppendHtmlLinkMenu(QString &html, const QString &target, const QString &text, const QString &trailing);
// A menu block holding one link to a command id.
void BuildHtmlLinkMenu(QString &html, int commandId, const QString &text, const QString &trailing);
// A menu block with one link to a page of the maker's support site; the link
// text is text1 followed by text2.
void AddSupportLinks(QString &html, const QString &page, const QString &text1, const QString &text2);
// A second-level heading (when the title is not empty) and a paragraph (when
// the text is not empty).
void AddHtmlHeading(QString &html, const QString &title, const QString &text);

// The web address of the maker's support pages, ending in "support/".
QString SupportAddress();
// The maker's support services, kept in the workstation's "Settings":
// the support mail address ("SupportEmail"), the shop's customer number
// with the maker ("SupportCusNo") and the support site's FTP server
// ("SupportFtpHost").
QString SupportEmailAddress();
QString SupportCustomerNo();
QString SupportFtpHost();

// The program's notice line; mode 2 gives its long form.
QString GetProgramNotice(int mode);
// The program's title (as the application object set it for its message
// boxes) and the date of its file: one line in mode 1 (home page, view
// captions); otherwise title, date, location and the long notice (About box).
QString GetProgramFileInfo(int mode);
