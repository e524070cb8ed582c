// A shop opened for reading only: every command of the main views runs and
// ends, and a write the database refuses ends that command with the
// database's message, never the program.
#include "ShellFixture.h"
#include "ViewCommands.h"

#include "app/base/Menus.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "data/SharedDatabase.h"
#include "controls/DlgItem.h"
#include "customers/CCusDlg.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/CItemSet.h"
#include "views/CDlgOptions.h"
#include "jobs/CJobNew.h"
#include "production/tracking/CViewTrack.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "shell/CMainFrame.h"
#include "views/CDlg0.h"
#include "views/CView0.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>

#include <functional>
#include <map>
#include <set>
#include <string>

namespace {

constexpr int kExit = 30529;

const QString kReadOnlyError =
    QStringLiteral("Error 3027 occured:\n\nCannot update. Database or object is read-only.\n\n");

// A small sample shop, made once for the run: jobs, customers, services and
// employees to open.
QString sampleShop()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("TavrelData.mdb"));
        QProcess tool;
        tool.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), file, QStringLiteral("--jobs"),
                                                   QStringLiteral("12"), QStringLiteral("--seed"), QStringLiteral("7")});
        if (!tool.waitForFinished(120000) || tool.exitCode() != 0 || !QFile::exists(file))
            return QString();
        return file;
    }();
    return path;
}

class ReadOnlyShopTest : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        ASSERT_FALSE(sampleShop().isEmpty()) << "the sample shop was not made";
        ASSERT_TRUE(QFile::copy(sampleShop(), tempPath(QStringLiteral("TavrelData.mdb"))));
        // Robin (101) paused a workday that Jordan (1) has not begun.
        QProcess sql;
        sql.start(QStringLiteral("sqlite3"), {tempPath(QStringLiteral("TavrelData.mdb")),
                                              QStringLiteral("INSERT INTO Times (TimeFor, EmpNo, ItemID, Start, Minutes, "
                                                             "Status) VALUES (0, 101, 0, 46000.25, 0, 1)")});
        ASSERT_TRUE(sql.waitForFinished(30000) && sql.exitCode() == 0);
        ASSERT_TRUE(QFile::setPermissions(tempPath(QStringLiteral("TavrelData.mdb")),
                                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        prompts().answer(platform::IDOK); // "... is marked read-only."
        answerScreenWarning();
        ASSERT_TRUE(shell->InitInstance());
        ASSERT_TRUE(SharedDatabase().isReadOnly());
    }
    void TearDown() override
    {
        QFile::setPermissions(tempPath(QStringLiteral("TavrelData.mdb")), QFile::ReadOwner | QFile::WriteOwner);
        ShellTest::TearDown();
    }

    // The commands a view offers, but Exit.
    static std::set<int> commandsOf(CView0 &view)
    {
        std::set<int> ids = OfferedCommands(view);
        ids.erase(kExit);
        return ids;
    }
};

// Every dialog is confirmed with its own OK and every question answered Yes,
// so that each command goes as far as it can towards writing.
void answerEverything(platform::TestResponder &answers)
{
    for (int i = 0; i < 12; ++i) {
        answers.answer(platform::IDYES);
        answers.onDialog([](QDialog &d) {
            if (auto *dialog = dynamic_cast<CDlg0 *>(&d)) {
                dialog->SendCommand(1);
                return dialog->result();
            }
            return 1;
        });
    }
}

TEST_F(ReadOnlyShopTest, JobsNewEndsWithTheDatabasesMessage)
{
    CView0 *jobs = qobject_cast<CView0 *>(shell->mainFrame()->SwitchView(30001));
    ASSERT_NE(jobs, nullptr);
    prompts().clear();
    onDialog<CJobNew>([](CJobNew &d) {
        d.ListChoice(CJobNew::WalkIn);
        d.list().SelectItem(0);
        d.SendCommand(1);
        return d.result();
    });
    prompts().answer(platform::IDOK);
    jobs->RunCommand(30100);
    // The refusal names what could not be added.
    EXPECT_TRUE(prompts().texts().contains(QStringLiteral("Cannot add Jobs\n\n") + kReadOnlyError))
        << prompts().texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(SharedDatabase().transactionDepth(), 0);
    // The program goes on: the view lists again.
    jobs->RunCommand(30121);
    EXPECT_TRUE(shell->mainFrame()->isVisible());
}

class ReadOnlyViewCommands : public ReadOnlyShopTest, public ::testing::WithParamInterface<int>
{
};

// What Open (on the list's first row) and New show in each main view of a
// shop opened read-only: the window opened for reading, or why not.
QString refused(const QString &what)
{
    return what + QStringLiteral("\n\n") + kReadOnlyError;
}
const std::map<int, std::pair<QStringList, QStringList>> kOpenAndNew = {
    {30000, {{}, {}}},
    // The job for reading; a new one starts with its customer.
    {30001, {{QStringLiteral("CJobDlg")}, {QStringLiteral("Please select a customer."), QStringLiteral("CJobNew")}}},
    // The service for reading, as the job and the customer.
    {30002, {{QStringLiteral("CSerDlg")}, {refused(QStringLiteral("Cannot add Services"))}}},
    {30003, {{QStringLiteral("CCusDlg")}, {refused(QStringLiteral("Cannot add Customers"))}}},
    // A payment is first asked for its customer.
    {30004,
     {{},
      {QStringLiteral("You did not specify any filter!\n(this may result in a long list)\n\nWould you like to specify a "
                      "filter?"),
       QStringLiteral("CFindDlg"), QStringLiteral("CDlgList"),
       QStringLiteral("Acme Bakery has no balance!\nIs this an advance payment?")}}},
    {30005, {{}, {}}},
    {30006, {{}, {}}},
    {30007, {{QStringLiteral("No Order is selected to open. Would you like to find one?")}, {}}},
    {30008, {{}, {QStringLiteral("Please select your name first.")}}},
};

// The windows and boxes a command shows: a window by its class, a box by
// its text. Every window is confirmed with its own OK (a window shown for
// reading saves nothing), every box answered OK (or as asked).
QStringList shownBy(CView0 &view, int command, int answer = platform::IDOK)
{
    platform::TestResponder answers;
    QStringList windows;
    for (int i = 0; i < 6; ++i) {
        answers.answer(answer);
        answers.onDialog([&windows](QDialog &d) {
            windows << QString::fromLatin1(d.metaObject()->className());
            if (auto *dialog = dynamic_cast<CDlg0 *>(&d)) {
                dialog->SendCommand(1);
                return dialog->result();
            }
            return 2;
        });
    }
    QStringList shown;
    try {
        view.RunCommand(command);
        QApplication::processEvents();
    } catch (const platform::UnansweredPrompt &) {
        shown << QStringLiteral("(more)");
    }
    for (const platform::PromptRecord &r : answers.shown()) {
        if (r.kind == platform::PromptRecord::Kind::Dialog && !windows.isEmpty())
            shown << windows.takeFirst();
        else if (r.kind == platform::PromptRecord::Kind::MessageBox)
            shown << r.text;
    }
    return shown;
}

TEST_P(ReadOnlyViewCommands, EveryCommandEndsAndTheProgramGoesOn)
{
    CView0 *view = qobject_cast<CView0 *>(shell->mainFrame()->SwitchView(GetParam()));
    ASSERT_NE(view, nullptr);
    {
        // The services are listed by category: the first category of the sample.
        if (GetParam() == 30002)
            view->SelectTreeCode(101);
        if (view->list() && view->list()->GetItemCount() > 0)
            view->list()->SelectItem(0);
        const QStringList opened = shownBy(*view, 30103);
        shell->mainFrame()->SwitchView(GetParam());
        const QStringList added = shownBy(*view, 30100);
        const auto row = kOpenAndNew.find(GetParam());
        ASSERT_NE(row, kOpenAndNew.end());
        EXPECT_EQ(opened, row->second.first) << opened.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(added, row->second.second) << added.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(SharedDatabase().transactionDepth(), 0);
    }
    const std::set<int> commands = commandsOf(*view);
    ASSERT_GT(commands.size(), 10u);
    // A pop-up menu a command opens is closed, as a user's Esc would.
    QTimer closePopups;
    QObject::connect(&closePopups, &QTimer::timeout, [] {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    });
    closePopups.start(20);
    for (int id : commands) {
        shell->mainFrame()->SwitchView(GetParam());
        platform::TestResponder answers;
        answerEverything(answers);
        try {
            view->RunCommand(id);
            QApplication::processEvents();
        } catch (const platform::UnansweredPrompt &) {
            // More questions than answered: the command stops there.
        } catch (const platform::DbException &e) {
            ADD_FAILURE() << "command " << id << " let database error " << e.number() << " escape: "
                          << e.description().toStdString();
        }
        EXPECT_TRUE(SharedDatabase().isOpen()) << id;
        EXPECT_EQ(SharedDatabase().transactionDepth(), 0) << "half-written by command " << id;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
                dialog->hide();
    }
}

// A command that would write says so once, with the database's message, and
// leaves the file open as it was; a window with refused changes closes with
// one Close.
TEST_F(ReadOnlyShopTest, EachRefusalIsSaidOnce)
{
    const QString file = SharedDatabase().name();
    const struct
    {
        int view;
        int treeCode;  // the list chosen first (0: none)
        int operatorNo; // the time clock's operator (0: none)
        int command;
        int answer;
        QStringList shown;
        bool firstRow = false; // the list's first row selected first
    } rows[] = {
        // Post Now on the orders to post.
        {30004, 1, 0, 30211, platform::IDOK, {refused(QStringLiteral("Cannot post the orders"))}},
        {30000, 0, 0, 30573, platform::IDOK, {refused(QStringLiteral("Cannot compact ") + file)}},
        {30003, 0, 0, 30573, platform::IDOK, {refused(QStringLiteral("Cannot compact ") + file)}},
        {30008, 0, 1, 29130, platform::IDYES,
         {QStringLiteral("Jordan, do you want to start a new workday?"), refused(QStringLiteral("Cannot add Times"))}},
        // A paused day: the refused resume is the end of it, not a new day.
        {30008, 0, 101, 29130, platform::IDYES,
         {QStringLiteral("Robin, do you want to resume your current workday?"),
          refused(QStringLiteral("Cannot edit Times"))}},
        // Add to Favorites: refused before the name is asked for.
        {30003, 0, 0, 30126, platform::IDOK, {refused(QStringLiteral("Cannot add to the favorites"))}},
        // Copy and paste the first job: refused before the new job's kind
        // and the customer's credit are asked about.
        {30001, 0, 0, 30111, platform::IDYES, {refused(QStringLiteral("Cannot paste the job"))}, true},
        // The scheduler's options of new items, for all computers.
        {30007, 0, 0, 30543, platform::IDOK, {QStringLiteral("CDlgOptions"), refused(QStringLiteral("Cannot save Options"))}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.command);
        CView0 *view = qobject_cast<CView0 *>(shell->mainFrame()->SwitchView(row.view));
        ASSERT_NE(view, nullptr);
        if (row.treeCode != 0)
            view->SelectTreeCode(row.treeCode);
        if (auto *clock = qobject_cast<CViewTrack *>(view); clock && row.operatorNo != 0)
            clock->SelectOperator(row.operatorNo, false);
        if (row.firstRow)
            view->list()->SelectItem(0);
        EXPECT_EQ(shownBy(*view, row.command, row.answer).join(QLatin1Char('|')).toStdString(),
                  row.shown.join(QLatin1Char('|')).toStdString());
        EXPECT_TRUE(SharedDatabase().isOpen());
        EXPECT_TRUE(SharedDatabase().isReadOnly());
        EXPECT_EQ(SharedDatabase().name(), file);
    }

    // The scheduler's inventory options changed: refused once, naming the
    // table, and the rules in use stay as they were.
    {
        CView0 *schedule = qobject_cast<CView0 *>(shell->mainFrame()->SwitchView(30007));
        ASSERT_NE(schedule, nullptr);
        const qint32 before = CItemSet::GetInventoryRules().optionBits;
        platform::TestResponder answers;
        answers.onDialog([&](QDialog &d) {
            auto *options = dynamic_cast<CDlgOptions *>(&d);
            if (!options)
                return 2;
            options->tree()->SetOptionChecked(0x20, !options->tree()->IsOptionChecked(0x20));
            options->SendCommand(1);
            return options->result();
        });
        answers.answer(platform::IDOK);
        schedule->RunCommand(30749);
        EXPECT_EQ(answers.texts().join(QLatin1Char('|')).toStdString(),
                  refused(QStringLiteral("Cannot add Options")).toStdString());
        EXPECT_EQ(CItemSet::GetInventoryRules().optionBits, before);
    }

    // A customer changed and saved with Save & Close: the save is refused
    // once, and the window closes with it.
    CView0 *customers = qobject_cast<CView0 *>(shell->mainFrame()->SwitchView(30003));
    ASSERT_NE(customers, nullptr);
    customers->list()->SelectItem(0);
    platform::TestResponder answers;
    bool closed = false;
    answers.onDialog([&](QDialog &d) {
        auto *window = dynamic_cast<CCusDlg *>(&d);
        if (!window)
            return 2;
        qobject_cast<QLineEdit *>(GetDlgItem(window, CCusDlg::IDC_NAME))->setText(QStringLiteral("Renamed Bakery"));
        window->SendCommand(30443);
        closed = window->result() != 0;
        return window->result();
    });
    answers.answer(platform::IDOK);
    customers->RunCommand(30103);
    EXPECT_TRUE(closed);
    EXPECT_EQ(answers.texts().join(QLatin1Char('|')).toStdString(),
              refused(QStringLiteral("Cannot save Customers")).toStdString());
}

INSTANTIATE_TEST_SUITE_P(MainViews, ReadOnlyViewCommands,
                         ::testing::Values(30000, 30001, 30002, 30003, 30004, 30005, 30006, 30007, 30008),
                         [](const ::testing::TestParamInfo<int> &info) { return std::to_string(info.param); });

} // namespace
