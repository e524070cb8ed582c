// A shop opened for reading only: every command of the main views runs and
// ends, and a write the database refuses ends that command with the
// database's message, never the program.
#include "ShellFixture.h"

#include "app/base/Menus.h"
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
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>

#include <functional>
#include <set>
#include <string>

namespace {

constexpr int kExit = 30529;

const QString kReadOnlyError =
    QStringLiteral("Error 3027 occured:\n\nCannot update. Database or object is read-only.\n\n");

class ReadOnlyShopTest : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        makeDatabase();
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

TEST_P(ReadOnlyViewCommands, EveryCommandEndsAndTheProgramGoesOn)
{
    CView0 *view = qobject_cast<CView0 *>(shell->mainFrame()->SwitchView(GetParam()));
    ASSERT_NE(view, nullptr);
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
