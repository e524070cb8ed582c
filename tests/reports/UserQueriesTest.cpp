// The user's own queries: the statement test (words and the engine's own
// reading), the query dialog's define, load, replace, rename and delete, a
// crosstab with a parameter saved and run from the tree, action statements
// refused with the data untouched, and the "Custom Queries" branch rebuilt.

#include "ReportsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "reports/CUserListDlg.h"
#include "reports/CViewReports.h"
#include "reports/UserQueries.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QTreeWidgetItem>

namespace {

class UserQueriesTest : public ReportsFixture
{
protected:
    platform::Database &db() { return SharedDatabase(); }
    // Runs the dialog in define mode with the steps of the handler.
    int runDialog(std::function<int(CUserListDlg &)> handler)
    {
        onDialog<CUserListDlg>(std::move(handler));
        CUserListDlg dlg(CUserListDlg::ModeDefine, nullptr);
        return dlg.DoModal();
    }
    static void type(CUserListDlg &d, const QString &name, const QString &sql)
    {
        d.nameEdit()->setText(name);
        d.OnNameKillFocus();
        if (!sql.isNull())
            d.sqlEdit()->setPlainText(sql);
    }
};

} // namespace

TEST_F(UserQueriesTest, OnlyStatementsThatReadDataPass)
{
    struct Case
    {
        const char *sql;
        bool words;
        bool whole;
    };
    const Case cases[] = {
        {"SELECT JobNo FROM Jobs", true, true},
        {"select JobNo from Jobs where Title = 'update me'", false, false},
        {"TRANSFORM Count(Jobs.JobNo) AS N SELECT Jobs.CusNo FROM Jobs GROUP BY Jobs.CusNo PIVOT Jobs.JobType", true, true},
        {"SELECT JobNo FROM Jobs UNION SELECT CusNo FROM Customers", true, true},
        {"SELECT", false, false},
        {"DELETE\nFROM Jobs", false, false},
        {"DELETE\nFROM Jobs WHERE JobNo IN (SELECT JobNo FROM Jobs)", true, false},
        {"UPDATE\tJobs SET Title = 'x' WHERE JobNo IN (SELECT JobNo FROM Jobs)", true, false},
        {"SELECT JobNo INTO Copy FROM Jobs", true, false},
        {"INSERT INTO Jobs (JobNo) SELECT JobNo FROM Jobs", false, false},
    };
    for (const Case &c : cases) {
        const QString sql = QString::fromUtf8(c.sql);
        EXPECT_EQ(PassesQueryWordTest(sql), c.words) << c.sql;
        EXPECT_EQ(IsReadOnlyQueryText(db(), sql), c.whole) << c.sql;
    }
}

TEST_F(UserQueriesTest, DefineLoadReplaceRenameAndDelete)
{
    // Define.
    EXPECT_EQ(runDialog([](CUserListDlg &d) {
                  EXPECT_EQ(d.windowTitle(), QStringLiteral("User Defined Query"));
                  type(d, QStringLiteral("Big Jobs"), QStringLiteral("SELECT JobNo, Subtotal FROM Jobs WHERE Subtotal > 500"));
                  SaveSnapshot(d, QStringLiteral("reports"), QStringLiteral("UserQueryDialog"));
                  d.SendCommand(1);
                  return d.result();
              }),
              platform::IDOK);
    EXPECT_EQ(db().queryText(QStringLiteral("Big Jobs")), QStringLiteral("SELECT JobNo, Subtotal FROM Jobs WHERE Subtotal > 500"));
    db().createQuery(QStringLiteral("Small Jobs"), QStringLiteral("SELECT JobNo FROM Jobs WHERE Subtotal < 10"));

    // Load by name (case as typed does not matter) and replace the text.
    runDialog([](CUserListDlg &d) {
        type(d, QStringLiteral("big jobs"), QString());
        EXPECT_EQ(d.nameEdit()->text(), QStringLiteral("Big Jobs"));
        EXPECT_EQ(d.sqlEdit()->toPlainText(), QStringLiteral("SELECT JobNo, Subtotal FROM Jobs WHERE Subtotal > 500"));
        d.sqlEdit()->setPlainText(QStringLiteral("SELECT JobNo FROM Jobs WHERE Subtotal > 900"));
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(db().queryText(QStringLiteral("Big Jobs")), QStringLiteral("SELECT JobNo FROM Jobs WHERE Subtotal > 900"));

    // Renaming onto a name that is taken is refused and keeps both queries.
    prompts().answer(platform::IDOK);
    runDialog([this](CUserListDlg &d) {
        type(d, QStringLiteral("Big Jobs"), QString());
        d.nameEdit()->setText(QStringLiteral("Small Jobs"));
        d.SendCommand(1);
        EXPECT_TRUE(prompts().lastText().startsWith(QLatin1String("Cannot create Query Small Jobs")))
            << prompts().lastText().toStdString();
        return 2;
    });
    EXPECT_EQ(db().queryText(QStringLiteral("Big Jobs")), QStringLiteral("SELECT JobNo FROM Jobs WHERE Subtotal > 900"));
    EXPECT_EQ(db().queryText(QStringLiteral("Small Jobs")), QStringLiteral("SELECT JobNo FROM Jobs WHERE Subtotal < 10"));

    // A text the engine refuses keeps the old query as it was.
    prompts().answer(platform::IDOK);
    runDialog([this](CUserListDlg &d) {
        type(d, QStringLiteral("Big Jobs"), QStringLiteral("SELECT NoSuchColumn FROM Jobs"));
        d.SendCommand(1);
        EXPECT_TRUE(prompts().lastText().startsWith(QLatin1String("Cannot execute Query Big Jobs")))
            << prompts().lastText().toStdString();
        return 2;
    });
    EXPECT_EQ(db().queryText(QStringLiteral("Big Jobs")), QStringLiteral("SELECT JobNo FROM Jobs WHERE Subtotal > 900"));

    // Renaming to a free name replaces the query.
    runDialog([](CUserListDlg &d) {
        type(d, QStringLiteral("Big Jobs"), QString());
        d.nameEdit()->setText(QStringLiteral("Huge Jobs"));
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_FALSE(db().queryExists(QStringLiteral("Big Jobs")));
    EXPECT_EQ(db().queryText(QStringLiteral("Huge Jobs")), QStringLiteral("SELECT JobNo FROM Jobs WHERE Subtotal > 900"));

    // An empty text asks before deleting: No puts the text back.
    const QString ask = QStringLiteral("SQL Statment is empty!\nDo you want to permanently delete this User Defined List?");
    prompts().answer(platform::IDNO);
    prompts().answer(platform::IDYES);
    EXPECT_EQ(runDialog([&](CUserListDlg &d) {
                  type(d, QStringLiteral("Huge Jobs"), QStringLiteral("   "));
                  d.SendCommand(1);
                  EXPECT_EQ(prompts().lastText(), ask);
                  EXPECT_EQ(d.sqlEdit()->toPlainText(), QStringLiteral("SELECT JobNo FROM Jobs WHERE Subtotal > 900"));
                  EXPECT_TRUE(db().queryExists(QStringLiteral("Huge Jobs")));
                  d.sqlEdit()->setPlainText(QString());
                  d.SendCommand(1);
                  return d.result();
              }),
              platform::IDOK);
    EXPECT_FALSE(db().queryExists(QStringLiteral("Huge Jobs")));
}

TEST_F(UserQueriesTest, ActionStatementsAreRefusedAndNeverRunAsLists)
{
    const QString jobs = sqlite(QStringLiteral("SELECT count(*) FROM Jobs"));
    ASSERT_GT(jobs.toInt(), 0);
    for (const char *text : {"DELETE\nFROM Jobs", "DELETE\nFROM Jobs WHERE JobNo IN (SELECT JobNo FROM Jobs)",
                             "update Jobs set Title = 'x'"}) {
        prompts().answer(platform::IDOK);
        runDialog([&](CUserListDlg &d) {
            type(d, QStringLiteral("Wipe"), QString::fromUtf8(text));
            d.SendCommand(1);
            EXPECT_EQ(prompts().lastText(), QStringLiteral("You can only enter a SELECT or CROSSTAB query")) << text;
            return 2;
        });
        EXPECT_FALSE(db().queryExists(QStringLiteral("Wipe"))) << text;
    }
    EXPECT_EQ(sqlite(QStringLiteral("SELECT count(*) FROM Jobs")), jobs);

    // A saved action query (written by another program) gets no tree entry
    // and, asked for by name, is refused without running.
    db().createQuery(QStringLiteral("Purge"), QStringLiteral("DELETE FROM Jobs"));
    for (const SavedQuery &q : ListSavedQueries(db()))
        EXPECT_NE(q.name, QStringLiteral("Purge"));
    QString refusal;
    EXPECT_FALSE(IsReadOnlySavedQuery(db(), QStringLiteral("Purge"), &refusal));
    EXPECT_TRUE(refusal.endsWith(QStringLiteral("You can only enter a SELECT or CROSSTAB query")));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT count(*) FROM Jobs")), jobs);
}

TEST_F(UserQueriesTest, ACrosstabWithAParameterIsSavedRunAndTheBranchRebuilt)
{
    const QString crosstab = QStringLiteral(
        "PARAMETERS [Which Type] Short; TRANSFORM Count(Jobs.JobNo) AS N SELECT Jobs.CusNo FROM Jobs WHERE "
        "Jobs.JobType = [Which Type] GROUP BY Jobs.CusNo PIVOT Jobs.Status");
    db().createQuery(QStringLiteral("First"), QStringLiteral("SELECT JobNo FROM Jobs"));
    CViewReports view;
    view.resize(1100, 700);
    view.OnInitialUpdate();
    view.show();
    for (int i = 0; i < 4; ++i)
        QApplication::processEvents();
    CXTreeCtrl &tree = *view.tree();
    auto custom = [&tree]() -> QTreeWidgetItem * {
        for (int i = 0; i < tree.topLevelItemCount(); ++i)
            if (CXTreeCtrl::GetItemData(tree.topLevelItem(i)) == 1000)
                return tree.topLevelItem(i);
        return nullptr;
    };
    // Command 30510 does nothing outside the Custom Queries branch.
    tree.setCurrentItem(tree.FindItemByData(2204));
    QApplication::processEvents();
    view.RunCommand(30510);
    EXPECT_TRUE(prompts().shown().isEmpty());
    tree.setCurrentItem(custom()->child(1)); // "First", after the sample's "Compare Sales"
    QApplication::processEvents();
    ASSERT_EQ(custom()->child(1)->text(0), QStringLiteral("First"));
    ASSERT_EQ(view.branch(), 10);
    onDialog<CUserListDlg>([&](CUserListDlg &d) {
        type(d, QStringLiteral("Jobs by Status"), crosstab);
        d.SendCommand(1);
        return d.result();
    });
    view.RunCommand(30510);
    EXPECT_EQ(db().queryText(QStringLiteral("Jobs by Status")), crosstab);
    // The branch is made again at the end of the tree with the new query.
    QTreeWidgetItem *branchItem = tree.topLevelItem(tree.topLevelItemCount() - 1);
    ASSERT_EQ(CXTreeCtrl::GetItemData(branchItem), 1000u);
    QStringList names;
    for (int c = 0; c < branchItem->childCount(); ++c)
        names << branchItem->child(c)->text(0);
    EXPECT_EQ(names, (QStringList{"Compare Sales", "First", "Jobs by Status"}));
    EXPECT_EQ(CXTreeCtrl::GetItemData(branchItem->child(2)), 1003u);

    // Running it asks for the parameter and lists one row per customer.
    prompts().onDialog([](QDialog &d) {
        auto *grid = d.findChild<QTableWidget *>(QStringLiteral("grid"));
        EXPECT_NE(grid, nullptr);
        if (grid)
            grid->item(0, 1)->setText(QStringLiteral("3"));
        return int(QDialog::Accepted);
    });
    tree.setCurrentItem(branchItem->child(2));
    QApplication::processEvents();
    const QString customers = sqlite(QStringLiteral("SELECT count(DISTINCT CusNo) FROM Jobs WHERE JobType = 3"));
    EXPECT_EQ(QString::number(view.list()->GetItemCount()), customers);
    EXPECT_EQ(view.list()->GetColumnText(0), QStringLiteral("CusNo"));

    // Saving a query runs nothing of its own accord: not the query with a
    // parameter shown last, nor, once deleted, the query shown last. The
    // rebuilt branch's heading is chosen and the list emptied. A stray
    // parameter window or message would take the answers queued here.
    const auto saveRunsNothing = [&](const QString &shown, const QString &name, const QString &sql, bool remove) {
        QTreeWidgetItem *entry = nullptr;
        for (int c = 0; c < custom()->childCount(); ++c)
            if (custom()->child(c)->text(0) == shown)
                entry = custom()->child(c);
        ASSERT_NE(entry, nullptr) << shown.toStdString();
        // Already shown, the query is not run again (and asks for nothing).
        if (shown == QLatin1String("Jobs by Status") && tree.currentItem() != entry)
            prompts().onDialog([](QDialog &d) {
                auto *grid = d.findChild<QTableWidget *>(QStringLiteral("grid"));
                EXPECT_NE(grid, nullptr);
                if (grid)
                    grid->item(0, 1)->setText(QStringLiteral("3"));
                return int(QDialog::Accepted);
            });
        tree.setCurrentItem(entry);
        QApplication::processEvents();
        ASSERT_GT(view.list()->GetItemCount(), 0) << shown.toStdString();
        prompts().clear();
        if (remove)
            prompts().answer(platform::IDYES); // "Do you want to permanently delete ..."
        onDialog<CUserListDlg>([&](CUserListDlg &d) {
            type(d, name, sql);
            d.SendCommand(1);
            return d.result();
        });
        view.RunCommand(30510);
        prompts().answer(platform::IDOK);
        prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); });
        for (int i = 0; i < 4; ++i)
            QApplication::processEvents();
        EXPECT_EQ(prompts().pendingAnswers(), 2) << shown.toStdString() << ": " << prompts().texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(view.list()->GetItemCount(), 0) << shown.toStdString();
        ASSERT_NE(tree.currentItem(), nullptr);
        EXPECT_EQ(CXTreeCtrl::GetItemData(tree.currentItem()), 1000u);
        EXPECT_EQ(db().queryExists(name), !remove);
        // Take the answers no window took.
        platform::Prompt::messageBox(QStringLiteral("taken"));
        QDialog taken;
        platform::Prompt::execDialog(taken);
    };
    saveRunsNothing(QStringLiteral("Jobs by Status"), QStringLiteral("Open Jobs"),
                    QStringLiteral("SELECT JobNo FROM Jobs WHERE Status < 5"), false);
    saveRunsNothing(QStringLiteral("First"), QStringLiteral("First"), QStringLiteral(""), true);
}

TEST_F(UserQueriesTest, QueriesBeyondTheNinetyNinthRunByTheirNames)
{
    for (int i = 1; i <= 101; ++i)
        db().createQuery(QStringLiteral("Q%1").arg(i, 3, 10, QLatin1Char('0')),
                         QStringLiteral("SELECT Count(*) AS [Count%1] FROM Jobs").arg(i));
    CViewReports view;
    view.resize(1100, 700);
    view.OnInitialUpdate();
    for (int i = 0; i < 4; ++i)
        QApplication::processEvents();
    // The sample's own query comes first ("Compare Sales"), then Q001-Q101.
    QTreeWidgetItem *branchItem = view.tree()->topLevelItem(view.tree()->topLevelItemCount() - 1);
    ASSERT_EQ(branchItem->childCount(), 102);
    ASSERT_EQ(branchItem->child(1)->text(0), QStringLiteral("Q001"));
    EXPECT_EQ(CXTreeCtrl::GetItemData(branchItem->child(1)), 1002u);
    EXPECT_EQ(CXTreeCtrl::GetItemData(branchItem->child(98)), 1099u);
    EXPECT_EQ(CXTreeCtrl::GetItemData(branchItem->child(99)), 1099u);
    EXPECT_EQ(CXTreeCtrl::GetItemData(branchItem->child(101)), 1099u);
    for (int i : {98, 99, 101}) {
        view.tree()->setCurrentItem(branchItem->child(i));
        QApplication::processEvents();
        EXPECT_EQ(view.branch(), 10);
        EXPECT_EQ(view.list()->GetColumnText(0), QStringLiteral("Count%1").arg(i));
    }
}

TEST_F(UserQueriesTest, ViewModeShowsTheStatementOnly)
{
    onDialog<CUserListDlg>([](CUserListDlg &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("SQL"));
        EXPECT_EQ(d.sqlEdit()->toPlainText(), QStringLiteral("SELECT JobNo FROM Jobs"));
        EXPECT_TRUE(d.sqlEdit()->isReadOnly());
        EXPECT_EQ(d.GetItemText(2), QStringLiteral("Close"));
        return 2;
    });
    CUserListDlg dlg(CUserListDlg::ModeView, nullptr);
    dlg.m_strSql = QStringLiteral("SELECT JobNo FROM Jobs");
    dlg.DoModal();
}
