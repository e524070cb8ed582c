#include "views/CViewHome.h"

#include "views/CCompanyDlg.h"

#include "app/base/CZqApp.h"
#include "app/base/HtmlText.h"
#include "app/base/SystemInfo.h"
#include "app/base/Workstations.h"
#include "controls/CHtmlCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "controls/DlgItem.h"
#include "data/SharedDatabase.h"
#include "platform/PlacedFile.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "resources/Strings.h"
#include "views/CDlgOptions.h"
#include "views/CNoteDlg.h"
#include "views/ExpertSql.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QDateTime>

#include <sqlite3.h>
#include <QtCore/QSysInfo>
#include <QtCore/QUrl>

namespace {

// The expert commands need the top level of the user rights.
bool rightsGranted()
{
    CZqApp *app = ZqApp();
    return app && app->CheckPassword(-1, QString());
}

// The outside pages of the "Information on the Internet" entries.
QString outsidePage(int code)
{
    switch (code) {
    case 201: return QStringLiteral("https://www.tavrel.com/");
    case 202: return QStringLiteral("https://www.tavrel.com/updates/");
    case 203: return QStringLiteral("https://www.tavrel.com/support/");
    case 204: return QStringLiteral("https://www.pellory.com/");
    case 205: return QStringLiteral("https://www.pellory.com/demo/");
    default: return QString();
    }
}

} // namespace

namespace {
// The entry the view opens on: About > Tavrel.
constexpr int kStartPage = 101;
// About > My Database: the page of the shop's database file.
constexpr int kDatabasePage = 102;
} // namespace

CViewHome::CViewHome(QWidget *parent) : CView0(30000, parent) {}

void CViewHome::OnInitialUpdate()
{
    CView0::OnInitialUpdate();
    m_listBar->RemoveItems(0);
    m_listBar->AddItem(30673, QString(), 0, 0, 255, 2, 0x24 | 0x800, 0, 0, 300);
    m_listBar->AddItem(59651, QStringLiteral("Back"), 0, 0, 255, 2, 2085, 0, 0, 60);
    m_listBar->RecalcLayout(0);

    m_bTreeFilling = true;
    m_tree->AddBranch(LoadResourceString(IDS_HOME_ABOUT), 100, 5, 5);
    m_tree->AddBranch(LoadResourceString(44192), 200, 5, 5);
    HTREEITEM files = m_tree->AddRootItem(QStringLiteral("File Manager"), 5);
    m_tree->AddItem(files, QStringLiteral("Send a File"), 30590, 5);
    m_tree->AddItem(files, QStringLiteral("Download a File"), 30591, 5);
    m_tree->ExpandAll(true);
    m_bTreeFilling = false;

    // The page pane takes the record list's place; its "app:" links come
    // back as commands.
    m_html = new CHtmlCtrl(this);
    m_html->CreateFromStatic(this, IDC_HTML, m_list);
    connect(m_html, &CHtmlCtrl::commandTriggered, this, [this](int id) { RunCommand(id); });
    m_list->hide();
    LayoutBars();
    m_html->show();
    // The view opens on About > Tavrel with its page shown: the tree was
    // filled without listing, so the page is built here.
    if (!ReadTreeSelection()) {
        if (HTREEITEM start = m_tree->FindItemByData(kStartPage)) {
            m_bTreeFilling = true;
            m_tree->SelectAndShow(start);
            m_bTreeFilling = false;
        }
    }
    if (ReadTreeSelection())
        ShowPage();
    else
        m_html->Navigate(QStringLiteral("about:Blank"));
}

bool CViewHome::IsCommandEnabled(int id)
{
    if (id == 30108 || id == 30262 || id == 30401 || id == kEditCompany)
        return true;
    if (id == 30121)
        return m_nShownCode == kDatabasePage;
    // Back only when there is a page to go back to (the ribbon asks again
    // after every window, an "app:" link's among them).
    if (id == 59651)
        return !m_backCodes.isEmpty();
    return CView0::IsCommandEnabled(id);
}

bool CViewHome::OnCommand(int id)
{
    switch (id) {
    case 30401:
        ShowPage();
        return true;
    case 59651:
        StepPage(true);
        return true;
    case 59650:
        StepPage(false);
        return true;
    case 30510:
        RunSqlStatement();
        return true;
    case 30519:
        DeletePractice();
        return true;
    case 30262: {
        CNoteDlg dlg(QStringLiteral("About"), QStringLiteral("Source"),
                     m_strPage.isEmpty() ? m_html->toHtml() : m_strPage, CNoteDlg::ShowText, this);
        dlg.DoModal();
        return true;
    }
    case 30108:
        MailSystemInformation();
        return true;
    case kEditCompany:
        EditCompany();
        return true;
    case 30540:
        SetCompactReminder();
        return true;
    case CHtmlCtrl::kNamedLinkCommand:
        if (!m_html->linkText().isEmpty())
            m_html->Navigate(m_html->linkText());
        return true;
    case 30572: case 30573: case 30577:
        // Backup and compact change the file the database page describes.
        CView0::OnCommand(id);
        if (m_nChosenCode == kDatabasePage && !m_strPage.isEmpty())
            ShowPage();
        return true;
    default:
        return CView0::OnCommand(id);
    }
}

void CViewHome::showEvent(QShowEvent *event)
{
    CView0::showEvent(event);
    if (m_nShownCode == kDatabasePage && !m_strPage.isEmpty())
        QMetaObject::invokeMethod(this, [this] {
            if (isVisible() && m_nShownCode == kDatabasePage)
                ShowPage();
        }, Qt::QueuedConnection);
}

void CViewHome::OnRefresh()
{
    if (m_nShownCode == kDatabasePage)
        ShowPage();
}

void CViewHome::AddHtmlElement(const QString &tag, const QString &text)
{
    if (text == QLatin1String("<"))
        m_strPage += QStringLiteral("<%1>").arg(tag);
    else if (text == QLatin1String(">"))
        m_strPage += QStringLiteral("</%1>").arg(tag);
    else
        m_strPage += QStringLiteral("<%1>%2</%1>").arg(tag, text);
}

void CViewHome::AddHtml(int kind, const QString &text)
{
    static const char *const kTags[] = {"p", "h1", "h2", "h3", "h4", "h5", "td", "li", "btnLite", "blockquote", "ul"};
    AddHtmlElement(QString::fromLatin1(kind >= 1 && kind <= 10 ? kTags[kind] : "p"), text);
}

void CViewHome::AddHtmlPair(const QString &title, const QString &text, int kind)
{
    // Titles and texts are plain text (a company named "Smith & Sons <Print>"
    // shows as typed), never markup.
    AddHtml(kind, (kind == 2 ? title.toUpper() : title).toHtmlEscaped());
    if (!text.isEmpty())
        AddHtml(5, text.toHtmlEscaped());
}

void CViewHome::AppendAppLink(int id, const QString &text, const QString &trailing)
{
    AppendHtmlAppLinkId(m_strPage, id, text, trailing);
}

void CViewHome::MailSystemInformation()
{
    CZqApp *app = ZqApp();
    if (!app)
        return;
    const QString separator = QStringLiteral("\n%1\n").arg(QString(50, QLatin1Char('-')));
    QString system;
    GetSystemInfoText(system, 0);
    QString database;
    GetDatabaseFileInfo(database);
    platform::Database &db = SharedDatabase();
    const auto connections = db.isOpen() ? db.connections() : QList<platform::Database::Connection>();
    QString computers;
    for (const auto &c : connections)
        computers += c.computer + QStringLiteral(" (") + c.user + QStringLiteral(")\n");
    QString lockFile;
    // The lock file lies in the shared folder: read through the checks, and
    // a refusal said in the mail in its place.
    constexpr qint64 kMaxLockFile = 1024 * 1024;
    QByteArray lockBytes;
    QString refusal;
    bool checked = false;
    if (platform::PlacedFile::Read(WorkstationLockFilePath(), kMaxLockFile, lockBytes, refusal, false, &checked))
        lockFile = QString::fromLatin1(lockBytes).remove(QLatin1Char('\0'));
    else if (checked)
        lockFile = QStringLiteral("Cannot use ") + WorkstationLockFilePath() + QStringLiteral(": ") + refusal +
                   QLatin1Char('.');
    const QString body = separator + app->m_company.FormatAddress(4) + QStringLiteral("\n\nMY TAVREL") + separator +
                         GetProgramFileInfo(0) + QStringLiteral("\n\nMY COMPUTER") + separator + system +
                         QStringLiteral("\n\nMY DATABASE") + separator + database +
                         QStringLiteral("\n\nWorkstations: %1\n").arg(connections.size()) + computers +
                         QStringLiteral("\nLock File: \n") + lockFile;
    app->SendMail(SupportEmailAddress(), QStringLiteral("About ") + app->m_company.m_strName, body, QString());
}

void CViewHome::StepPage(bool back)
{
    QList<int> &from = back ? m_backCodes : m_forwardCodes;
    QList<int> &to = back ? m_forwardCodes : m_backCodes;
    if (!from.isEmpty() && (back ? m_html->GoBack() : m_html->GoForward())) {
        to.append(m_nShownCode);
        m_nShownCode = from.takeLast();
        if (HTREEITEM entry = m_tree->FindItemByData(quint32(m_nShownCode))) {
            m_bTreeFilling = true;
            m_tree->SelectAndShow(entry);
            m_bTreeFilling = false;
        }
        if (ReadTreeSelection())
            m_listBar->SetItemText(30673, m_strListCaption);
        // An information page shown again is the page as it was built.
        m_strPage = (m_nShownCode >= 201 && m_nShownCode <= 205) ? QString() : m_html->currentHtml();
    }
    m_listBar->EnableItem(59651, !m_backCodes.isEmpty());
}

void CViewHome::ShowPage()
{
    if (!ReadTreeSelection())
        return;
    m_listBar->SetItemText(30673, m_strListCaption);
    m_strPage.clear();
    const int code = m_nChosenCode;
    m_forwardCodes.clear();
    if (code >= 201 && code <= 205) {
        // Back returns to the page shown before, whether it opened or not.
        if (m_nShownCode != 0)
            m_backCodes.append(m_nShownCode);
        m_nShownCode = code;
        m_html->Navigate(outsidePage(code));
        m_listBar->EnableItem(59651, !m_backCodes.isEmpty());
        return;
    }
    m_backCodes.clear();
    m_nShownCode = code;
    if (code == 30590 || code == 30591) {
        m_html->Navigate(QStringLiteral("about:Blank"));
        m_listBar->EnableItem(59651, false);
        ZqApp()->OpenFileTransfer(code);
        return;
    }
    HtmlBegin(m_strPage);
    platform::Database &db = SharedDatabase();
    if (code == kDatabasePage) {
        QString info;
        GetDatabaseFileInfo(info);
        AddHtmlPair(m_strItemText, info, 2);
        AppendHtmlMenuStart(m_strPage);
        AppendAppLink(30572, QStringLiteral("1. Backup"));
        AppendAppLink(30573, QStringLiteral("2. Compact"));
        AppendHtmlMenuEnd(m_strPage);
        AddHtmlPair(QStringLiteral("About Compacting: "),
                    QStringLiteral("As you change data, the database file and indexes can become fragmented and use "
                                   "more disk space than necessary. \t\t\t\t\tAs indexes become fragmented, you get "
                                   "slower database performance. \t\t\t\t\tPeriodically (at least once a week), you "
                                   "should compact your database to defragment the database file and rebuild the "
                                   "indexes. \t\t\t\t\tThe compacted database is usually smaller."),
                    4);
        BuildHtmlLinkMenu(m_strPage, 30540, QStringLiteral("Remind me to compact"), QString());
        const auto connections = db.isOpen() ? db.connections() : QList<platform::Database::Connection>();
        QString list;
        for (const auto &c : connections)
            list += c.computer + QStringLiteral(" (") + c.user + QStringLiteral(")\n");
        AddHtmlPair(QStringLiteral("Workstations Connected to Your Database: ") + QString::number(connections.size()),
                    QStringLiteral("The lock file shows following database connections:\n") + list, 4);
        AddHtml(4, QStringLiteral("About the Lock File: "));
        AddHtml(10, QStringLiteral("<"));
        AddHtml(7, QStringLiteral("When a user opens the database (by starting Tavrel or another program such as "
                                  "Microsoft Access), an entry is made in the lock file (TavrelData.ldb). This entry "
                                  "is NOT removed from the lock file until every user closes the database."));
        AddHtml(7, QStringLiteral("When the last user closes the database, the lock file is deleted. Exception: The "
                                  "lock file is not deleted if the last user does not have delete rights or when the "
                                  "database is marked as corrupted."));
        AddHtml(10, QStringLiteral(">"));
        m_strPage += QStringLiteral("&nbsp;");
        BuildHtmlLinkMenu(m_strPage, 30519, QStringLiteral("Delete my practice data"), QString());
        AddHtmlPair(QStringLiteral("About deleting your practice data:"),
                    QStringLiteral("Delete your practice data only when you are ready to go live with Tavrel. \nThis "
                                   "function will delete ALL your Payments, Quick Sales, Posting Journal, and Audit "
                                   "Trail."),
                    4);
    } else if (code == 103) {
        QString block;
        CZqApp *app = ZqApp();
        if (app && !(app->m_company.m_strName.trimmed().isEmpty() && app->m_company.m_strAddress.trimmed().isEmpty()))
            block = app->m_company.FormatAddress(4).trimmed();
        if (block.isEmpty())
            block = QStringLiteral("Your company's name and address are not entered yet.");
        AddHtmlPair(QStringLiteral("My Company"), block, 2);
        BuildHtmlLinkMenu(m_strPage, kEditCompany, QStringLiteral("Edit my company's name, address, phone and fax"),
                          QString());
    } else {
        // The program file's information and the system information, as the
        // mail to support carries them.
        QString system;
        GetSystemInfoText(system, 0);
        AddHtmlPair(m_strItemText, GetProgramFileInfo(0), 2);
        AddHtmlPair(QStringLiteral("My Computer"), system, 2);
        BuildHtmlLinkMenu(m_strPage, 30108, QStringLiteral("Email my system information"), QString());
    }
    HtmlEnd(m_strPage);
    m_strPage.replace(QLatin1String("\n"), QLatin1String("<br>"));
    m_html->LoadHtml(m_strPage);
    m_listBar->EnableItem(59651, false);
}

void CViewHome::EditCompany()
{
    CZqApp *app = ZqApp();
    if (!app || !rightsGranted())
        return;
    // Read when the window opens, never a copy from start-up: another
    // workstation may have saved it since.
    app->LoadCompanyInfo();
    CCompanyDlg dlg(app->m_company, this);
    if (dlg.DoModal() != IDOK_RESULT) {
        ShowPage();
        return;
    }
    // Shown at once: the page, the About box and every document read the
    // application's copy.
    app->m_company = dlg.m_company;
    ShowPage();
}

void CViewHome::RunSqlStatement()
{
    if (!rightsGranted())
        return;
    CNoteDlg dlg(QStringLiteral("Execute SQL Statement"), QStringLiteral("SQL"), QString(), CNoteDlg::EditNote, this);
    if (dlg.DoModal() != platform::IDOK)
        return;
    const QString statement = dlg.m_strNote;
    const QString refusal = CheckExpertStatement(statement);
    if (!refusal.isEmpty()) {
        platform::Prompt::messageBox(refusal, QString(), platform::MB_ICONEXCLAMATION);
        return;
    }
    if (platform::Prompt::messageBox(QStringLiteral("CAUTION - Do you want to execute this SQL?\n\n") + statement,
                                     QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES) {
        platform::Prompt::messageBox(QStringLiteral("Cancelled."));
        return;
    }
    platform::Database &db = SharedDatabase();
    try {
        QString text = statement.trimmed();
        if (text.endsWith(QLatin1Char(';')))
            text.chop(1);
        db.execute(text);
        platform::Prompt::messageBox(
            QStringLiteral("SQL is executed. Records affected: %1.").arg(db.recordsAffected()));
    } catch (const platform::DbException &e) {
        platform::Prompt::messageBox(QString::fromUtf8(e.what()), QString(), platform::MB_ICONEXCLAMATION);
    }
}

void CViewHome::DeletePractice()
{
    if (!rightsGranted())
        return;
    const QString action =
        QStringLiteral("delete ALL your Payments, Quick Sales, Posting Journal, and Audit Trail");
    const unsigned style = platform::MB_YESNO | platform::MB_ICONSTOP | platform::MB_DEFBUTTON2;
    if (platform::Prompt::messageBox(QStringLiteral("CAUTION - You are about to ") + action +
                                         QStringLiteral(".\n\nDo you want to delete?"),
                                     QString(), style) != platform::IDYES)
        return;
    if (platform::Prompt::messageBox(QStringLiteral("This is your LAST CHANCE to stop!\n\nAre you sure you want to ") +
                                         action + QStringLiteral("?\n\nClick [No] to stop."),
                                     QString(), style) != platform::IDYES)
        return;
    QString error;
    if (DeletePracticeData(SharedDatabase(), &error))
        platform::Prompt::messageBox(QStringLiteral("Practice data has been deleted."));
    else
        platform::Prompt::messageBox(QStringLiteral("Practice data was not deleted; nothing has been changed.\n\n") +
                                         error,
                                     QString(), platform::MB_ICONEXCLAMATION);
}

void CViewHome::SetCompactReminder()
{
    const QString settings = QStringLiteral("Settings");
    const int mask = platform::Settings::readInt(settings, QStringLiteral("CompactOpt"), 0);
    CDlgOptions dlg(QStringLiteral("Remind me to compact database"), QString(), 0, this);
    dlg.AddCheckGroup(QStringLiteral("On which days do you want to compact?"), 0);
    static const char *const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (int day = 0; day < 7; ++day)
        dlg.AddEntry(day + 1, QString::fromLatin1(kDays[day]), (mask >> day) & 1);
    if (dlg.DoModal() != platform::IDOK)
        return;
    int chosen = 0;
    for (int day = 0; day < 7; ++day)
        if (dlg.IsEntryChecked(day + 1))
            chosen |= 1 << day;
    platform::Settings::writeInt(settings, QStringLiteral("CompactOpt"), chosen);
    // The reminder starts afresh.
    platform::Settings::writeString(settings, QStringLiteral("CompactID"), QString());
    platform::Settings::writeString(settings, QStringLiteral("CompactDT"), QString());
}
