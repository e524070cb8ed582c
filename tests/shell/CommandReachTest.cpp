// Every command a window answers can be given by a user. The program's
// command tables are its code: ribbon items, menu entries, accelerators,
// scan-code lists and the commands windows send each other all name the
// command by its number. A number that a window's OnCommand answers and that
// appears nowhere else (outside case labels, enabling rules and the calls
// that only show or enable an item) is a command nothing can send.
#include "ShellFixture.h"

#include "app/base/Paths.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "shell/CMainFrame.h"
#include "views/CDlg0.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"
#include "views/CView0.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtGui/QAction>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>

#include <QtCore/QDirIterator>
#include <QtCore/QFile>
#include <QtCore/QMap>
#include <QtCore/QRegularExpression>
#include <QtCore/QSet>
#include <QtCore/QStringList>

namespace {

// The commands that are answered without a table naming them, and why.
struct Unsent
{
    int first;
    int last;
    const char *reason;
};
const Unsent kExceptions[] = {
    // The jobs view's bar-code commands come as scanned command codes: the
    // status and date stamps, the document prints, the new jobs for a
    // scanned customer and the job lists of a scanned customer or CSR.
    {30131, 30136, "a scanned status stamp"},
    {30141, 30144, "a scanned date stamp"},
    {30321, 30326, "a scanned document print"},
    {30599, 30602, "a scanned new job"},
    {30610, 30613, "a scanned job list"},
    {29132, 29132, "answered inside the workday range 29131-29133; the tree offers 29131 and 29133"},
    {30232, 30232, "the task window's Finish button calls its handler itself"},
    {30631, 30631, "the job window answers it as 30113, which its Item menu sends"},
    {30575, 30575, "the companion data-tools program has no menu entry (the README says so)"},
    {30577, 30577, "Compact with Ctrl held runs it"},
    {30720, 30724, "the scheduler's list commands come with the scheduler's own menus"},
};

QString withoutComment(const QString &line)
{
    for (int at = line.indexOf(QLatin1String("//")); at >= 0; at = line.indexOf(QLatin1String("//"), at + 2))
        if (line.left(at).count(QLatin1Char('"')) % 2 == 0)
            return line.left(at);
    return line;
}

} // namespace

TEST(CommandReach, EveryAnsweredCommandIsSentBySomething)
{
    static const QRegularExpression function(QStringLiteral("^\\S.*::(\\w+)\\("));
    static const QRegularExpression caseLabel(QStringLiteral("case\\s+(\\d{5})\\s*:"));
    static const QRegularExpression showOnly(QStringLiteral(
        "\\b(EnableItem|SetItemText|SetItemState|ShowItem|RemoveItem|SetItemImage|isBlinking|itemRect|GetItemText|"
        "CheckItem|IsItemEnabled)\\s*\\(\\s*\\d{5}|"
        // a row of a view's command table that gives the command no menu text
        "\\{\\s*\\d{5}\\s*,\\s*nullptr"));
    static const QRegularExpression number(QStringLiteral("(?<![\\d.])(\\d{5})(?![\\d.])"));

    QMap<int, QString> answered; // command, the file that answers it
    QSet<int> sent;
    // Per folder of src/: the commands its windows answer, and those it sends.
    QMap<QString, QSet<int>> answeredIn;
    QMap<int, QSet<QString>> sentFrom;
    int files = 0;
    const QDir sourceRoot(QStringLiteral(TAVREL_TEST_DATA "/../../src"));
    QDirIterator it(QStringLiteral(TAVREL_TEST_DATA "/../../src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << qPrintable(file.fileName());
        ++files;
        QString inFunction;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        for (const QString &raw : lines) {
            if (const QRegularExpressionMatch m = function.match(raw); m.hasMatch())
                inFunction = m.captured(1);
            else if (raw.startsWith(QLatin1Char('}')))
                inFunction.clear();
            QString line = withoutComment(raw);
            const QString folder = sourceRoot.relativeFilePath(file.fileName()).section(QLatin1Char('/'), 0, 0);
            if (inFunction == QLatin1String("OnCommand"))
                for (auto m = caseLabel.globalMatch(line); m.hasNext();) {
                    const int id = m.next().captured(1).toInt();
                    answered.insert(id, file.fileName().section(QLatin1Char('/'), -2));
                    answeredIn[folder].insert(id);
                }
            if (inFunction == QLatin1String("IsCommandEnabled"))
                continue;
            line.remove(caseLabel);
            line.remove(showOnly);
            for (auto m = number.globalMatch(line); m.hasNext();) {
                const int id = m.next().captured(1).toInt();
                sent.insert(id);
                sentFrom[id].insert(folder);
            }
        }
    }
    ASSERT_GT(files, 300);
    ASSERT_GT(answered.size(), 150);

    QStringList unsent;
    for (auto a = answered.cbegin(); a != answered.cend(); ++a) {
        if (sent.contains(a.key()))
            continue;
        bool excused = false;
        for (const Unsent &e : kExceptions)
            excused = excused || (a.key() >= e.first && a.key() <= e.last);
        if (!excused)
            unsent << QStringLiteral("%1 (%2)").arg(a.key()).arg(a.value());
    }
    EXPECT_TRUE(unsent.isEmpty()) << "answered, but no ribbon, menu, key or scan code sends: "
                                  << qPrintable(unsent.join(QStringLiteral(", ")));

    // A business window's command is sent by that window's own subsystem or
    // by the shared floors (the views' base, the ribbons, the shell's menus
    // and keys): another view offering the same number (one view's "Summary"
    // button) does not make it reachable in this one.
    static const QSet<QString> shared = {QStringLiteral("platform"), QStringLiteral("app"),
                                         QStringLiteral("data"), QStringLiteral("controls"), QStringLiteral("views"),
                                         QStringLiteral("shell")};
    QStringList elsewhere;
    for (auto f = answeredIn.cbegin(); f != answeredIn.cend(); ++f) {
        if (shared.contains(f.key()))
            continue;
        for (int id : f.value()) {
            bool excused = false;
            for (const Unsent &e : kExceptions)
                excused = excused || (id >= e.first && id <= e.last);
            const QSet<QString> from = sentFrom.value(id);
            bool reached = from.contains(f.key());
            for (const QString &folder : from)
                reached = reached || shared.contains(folder);
            if (!reached && !excused)
                elsewhere << QStringLiteral("%1 (%2, sent only from %3)")
                                 .arg(id)
                                 .arg(f.key(), QStringList(from.begin(), from.end()).join(QLatin1Char('/')));
        }
    }
    elsewhere.sort();
    EXPECT_TRUE(elsewhere.isEmpty()) << "answered, but sent only by another subsystem's windows: "
                                     << qPrintable(elsewhere.join(QStringLiteral(", ")));
}

// Every export type reaches its writer from the program: Reports > Posting
// Journal > Export offers all four, and the type the user leaves selected in
// the file dialog decides the file written and its extension.
class ExportReachTest : public ShellTest
{
};

TEST_F(ExportReachTest, EveryExportTypeOfThePostingJournalWritesItsFile)
{
    makeDatabase();
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    CMainFrame *frame = shell->mainFrame();
    ASSERT_NE(frame, nullptr);
    frame->resize(1100, 760);
    const QString today = platform::Clock::today().toString(QStringLiteral("MM/dd/yyyy"));
    for (const QString &sql : {
             QStringLiteral("INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, Tax) VALUES (100, 'Acme, "
                            "Inc.', '1 Main', 'Springfield', 'IL', '62701', 1)"),
             QStringLiteral("INSERT INTO PostingJournal (PostingNo, PostingDate, Paid, QSaleSubtotal, QSaleTax) VALUES "
                            "(7, #%1#, 0, 0, 0)")
                 .arg(today),
             QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, CusNo, TaxNo, PostingNo, DateShipped, DatePayDue, "
                            "Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, Balance) VALUES (3, "
                            "1001, 'Cards', 100, 0, 7, #%1#, #%1#, 30, 0, 0, 0, 0, 0, 0, 0, 30)")
                 .arg(today),
         })
        SharedDatabase().execute(sql);
    frame->SwitchView(30005);
    QApplication::processEvents();
    auto *view = qobject_cast<CView0 *>(frame->activeView());
    ASSERT_NE(view, nullptr);
    view->tree()->setCurrentItem(view->tree()->FindItemByData(601));
    for (int i = 0; i < 4; ++i)
        QApplication::processEvents();
    ASSERT_EQ(view->list()->GetItemCount(), 1);
    view->list()->SelectItem(0);

    struct Case
    {
        QString type;
        QString typed;
        QString written;
        QByteArray starts;
    };
    const QString folder = tempPath(QStringLiteral("exports")) + QLatin1Char('/');
    QDir().mkpath(folder);
    const Case cases[] = {
        {QStringLiteral("Tab"), QStringLiteral("list"), QStringLiteral("list.txt"), "Posting"},
        {QStringLiteral("Comma"), QStringLiteral("list.txt"), QStringLiteral("list.csv"), "Posting"},
        {QStringLiteral("Quickbooks"), QStringLiteral("journal"), QStringLiteral("journal.iif"), "!TRNS\tTRNSTYPE"},
        {QStringLiteral("Peachtree"), QStringLiteral("invoices"), QStringLiteral("invoices.csv"),
         "CUST#,NAME,INVC#,INVC.DATE,PO#,DUE DATE,AR ACCT,AR AMNT,TAX CODE,#DISTRIBUTIONS,QUANTITY,DESCRIPTION,G/L "
         "ACCOUNT,UNIT PRICE,TAX TYPE,AMOUNT,TAX AUTHORITY\r\n100,\"Acme, Inc.\",1001,"},
        {QStringLiteral("Peachtree"), QStringLiteral("x.csv"), QStringLiteral("x.csv"), "CUST#,NAME,"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type.toStdString() + " " + c.typed.toStdString());
        prompts().clear();
        // Which rows: as proposed. The accounting types ask their own
        // question (which journals, which accounts): as proposed.
        onDialog<CDlgOptions>([](CDlgOptions &d) {
            d.SendCommand(1);
            return d.result();
        });
        if (c.type == QLatin1String("Quickbooks"))
            onDialog<CDlgOptions>([](CDlgOptions &d) {
                d.SendCommand(1);
                return d.result();
            });
        if (c.type == QLatin1String("Peachtree"))
            onDialog<CDlgData>([](CDlgData &d) {
                EXPECT_EQ(d.m_strValue, QStringLiteral("40000,11000,23100"));
                return int(IDOK_RESULT);
            });
        prompts().answerFile(folder + c.typed, c.type);
        prompts().answer(platform::IDNO);
        // The ribbon's Export button.
        QTest::mouseClick(view->mainBar(), Qt::LeftButton, {}, view->mainBar()->itemRect(30123).center());
        for (int i = 0; i < 4; ++i)
            QApplication::processEvents();
        EXPECT_EQ(prompts().pendingAnswers(), 0);
        // The dialog opened on the accounting program's type with its extension.
        for (const platform::PromptRecord &r : prompts().shown())
            if (r.kind == platform::PromptRecord::Kind::SaveFile) {
                EXPECT_TRUE(r.selectedFilter.startsWith(QStringLiteral("Quickbooks (.iif)"))) << r.selectedFilter.toStdString();
                EXPECT_TRUE(r.text.endsWith(QStringLiteral(".iif"))) << r.text.toStdString();
                EXPECT_EQ(r.filter.count(QStringLiteral(";;")), 3);
            }
        QFile file(folder + c.written);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QByteArray data = file.readAll();
        EXPECT_TRUE(data.startsWith(c.starts)) << data.left(200).toStdString();
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Your data has been successfully exported to:\n") +
                                            NativePath(folder + c.written) + QStringLiteral("\n\nDo you want to open it?"));
    }
}

// The jobs view's Summary is on its list menu (the list bar's menu and the
// rows' right-click menu), with the item-price check when Ctrl is held.
TEST_F(ExportReachTest, TheJobsViewsSummaryIsOnItsListMenu)
{
    makeDatabase();
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    CMainFrame *frame = shell->mainFrame();
    frame->resize(1100, 760);
    SharedDatabase().execute(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, CusNo) VALUES (0, 1001, 'Cards', 10)"));
    frame->SwitchView(30001);
    QApplication::processEvents();
    auto *view = qobject_cast<CView0 *>(frame->activeView());
    ASSERT_NE(view, nullptr);
    QStringList texts;
    int answer = 0;
    CXRibbon::SetMenuRunner([&](QMenu &menu, const QPoint &) {
        for (const QAction *action : menu.actions())
            if (action->text() == QLatin1String("Summary"))
                texts << action->text() << QString::number(action->data().toInt()) << (action->isEnabled() ? "on" : "off");
        return answer;
    });
    QTest::mouseClick(view->listBar(), Qt::LeftButton, {}, view->listBar()->itemRect(30673).center());
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Summary"), QStringLiteral("30536"), QStringLiteral("on")}));

    // Chosen, it shows the summary of jobs by type.
    QString title;
    onDialog<QDialog>([&title](QDialog &d) {
        title = d.windowTitle();
        return 1;
    });
    answer = 30536;
    QTest::mouseClick(view->listBar(), Qt::LeftButton, {}, view->listBar()->itemRect(30673).center());
    for (int i = 0; i < 4; ++i)
        QApplication::processEvents();
    CXRibbon::SetMenuRunner(nullptr);
    EXPECT_EQ(title, QStringLiteral("Summary of Jobs"));
}
