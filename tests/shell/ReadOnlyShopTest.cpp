// A shop opened for reading only: every command of the main views runs and
// ends, and a write the database refuses ends that command with the
// database's message, never the program.
#include "ShellFixture.h"

#include "app/base/Menus.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "data/SharedDatabase.h"
#include "jobs/CJobNew.h"
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

    // The commands a view offers: its four bars and the list menu.
    static std::set<int> commandsOf(CView0 &view)
    {
        std::set<int> ids;
        for (CXRibbon *bar : {view.mainBar(), view.managerBar(), view.listBar(), view.statusBar()})
            for (int i = 0; bar && i < bar->GetItemCount(); ++i)
                if (const unsigned id = bar->GetItemId(i); id >= 20000 && id < 40000)
                    ids.insert(int(id));
        if (std::unique_ptr<QMenu> menu = LoadMenuResource(170)) {
            std::function<void(QMenu *)> walk = [&](QMenu *m) {
                for (QAction *a : m->actions()) {
                    if (a->menu())
                        walk(a->menu());
                    else if (const int id = a->data().toInt(); id >= 20000 && id < 40000)
                        ids.insert(id);
                }
            };
            walk(menu.get());
        }
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
    EXPECT_TRUE(prompts().texts().contains(kReadOnlyError)) << prompts().texts().join(QLatin1Char('|')).toStdString();
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
    // The service for reading, whose OK would save it.
    {30002, {{refused(QStringLiteral("Cannot edit Services")), QStringLiteral("CSerDlg")},
             {refused(QStringLiteral("Cannot add Services"))}}},
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
// reading saves nothing), every box answered OK.
QStringList shownBy(CView0 &view, int command)
{
    platform::TestResponder answers;
    QStringList windows;
    for (int i = 0; i < 6; ++i) {
        answers.answer(platform::IDOK);
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

INSTANTIATE_TEST_SUITE_P(MainViews, ReadOnlyViewCommands,
                         ::testing::Values(30000, 30001, 30002, 30003, 30004, 30005, 30006, 30007, 30008),
                         [](const ::testing::TestParamInfo<int> &info) { return std::to_string(info.param); });

} // namespace
