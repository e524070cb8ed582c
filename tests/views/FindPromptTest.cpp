#include "DialogsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXProgress.h"
#include "resources/Strings.h"
#include "views/CView0.h"
#include "views/FindPrompt.h"

namespace {

class FindPromptTest : public DialogsTest
{
protected:
    void TearDown() override
    {
        SetFindPrompt(nullptr);
        DialogsTest::TearDown();
    }
};

TEST_F(FindPromptTest, TargetsOfTheViews)
{
    struct Case
    {
        int view;
        int branch;
        int item;
        const char *kind;
        int listIndex;
    };
    const Case cases[] = {
        {30001, 2, 0, "Jobs", -1},      {30002, 1, 0, "Services", -1},  {30003, 0, 0, "Customers", -1},
        {30003, 3, 0, "Jobs", 3},       {30003, 4, 0, "Jobs", 3},       {30003, 5, 0, "Contacts", -1},
        {30003, 6, 0, "Shipto", -1},    {30004, 4, 0, "Payments", -1},  {30004, 5, 3, "Credits", -1},
        {30004, 5, 1, "Customers", -1}, {30004, 8, 0, "Customers", -1}, {30004, 0, 0, "Jobs", 0},
        {30004, 2, 0, "Jobs", 3},
    };
    for (const Case &c : cases) {
        int listIndex = 99;
        EXPECT_EQ(FindTargetOfView(c.view, c.branch, c.item, listIndex), QString::fromLatin1(c.kind))
            << c.view << "/" << c.branch;
        EXPECT_EQ(listIndex, c.listIndex) << c.view << "/" << c.branch;
    }
}

TEST_F(FindPromptTest, TheViewKeepsWhatTheDialogGaveAndOffersItAgain)
{
    CView0 view(30001);
    view.resize(900, 600);
    view.OnInitialUpdate();
    view.LoadTreeBranches(IDS_JOB_LISTS_ORDERS, IDS_JOB_LISTS_ORDERS, 0, 0);
    QList<FindRequest> asked;
    SetFindPrompt([&](FindRequest &request, QWidget *) {
        asked << request;
        request.filter = QStringLiteral("(Jobs.Title like \"A*\")");
        request.sort = QStringLiteral("Jobs.Title DESC");
        request.fieldIndex = 1;
        request.value1 = QStringLiteral("A");
        return asked.size() == 1 ? 1 : 2;
    });
    ASSERT_TRUE(view.RunFindDialog(QStringLiteral("Jobs"), true, true));
    EXPECT_EQ(view.filterSql(), QStringLiteral("(Jobs.Title like \"A*\")"));
    EXPECT_EQ(view.filterText(), QStringLiteral("(Title like \"A*\")")); // the searched table's name left out
    // Cancelled: nothing changes, and the last choice was offered.
    EXPECT_FALSE(view.RunFindDialog(QStringLiteral("Jobs"), true, true));
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[1].fieldIndex, 1);
    EXPECT_EQ(asked[1].value1, QStringLiteral("A"));
    EXPECT_TRUE(asked[1].showFindItems);
    EXPECT_EQ(view.filterSql(), QStringLiteral("(Jobs.Title like \"A*\")"));

    // Without the jobs area the find dialog says it is missing.
    SetFindPrompt(nullptr);
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(view.RunFindDialog(QStringLiteral("Jobs"), false, false));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("The find dialog is not yet available in this version of Tavrel."));
}

// A progress window whose user stops at once, keeping what it showed.
class StopAtOnce : public CXProgress
{
public:
    explicit StopAtOnce(QStringList &shown) : m_shown(shown) {}
    void Start(int, const QString &title, bool, bool, const QString &) override { m_shown << title; }
    bool Step(const QString &) override { return false; }
    void SetMessage(const QString &, bool) override {}
    bool IsRunning() const override { return true; }

private:
    QStringList &m_shown;
};

// A Find the user stops is said to be stopped: no miss, no question of the
// other file, no second search, no Find again; with the rows read before
// the stop it says so too.
TEST_F(FindPromptTest, AStoppedFindSaysItWasStoppedAndAsksNothingMore)
{
    {
        platform::Transaction many(SharedDatabase());
        for (int n = 1; n <= 1500; ++n)
            exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, CusNo) VALUES (0, %1, 'Job %1', 10)").arg(n));
        many.commit();
    }
    CView0 view(30001);
    view.resize(900, 600);
    view.OnInitialUpdate();
    view.LoadTreeBranches(IDS_JOB_LISTS_ORDERS, IDS_JOB_LISTS_ORDERS, 0, 0);
    view.SelectTreeCode(1);
    // A condition that keeps the engine busy for minutes and finds nothing.
    const QString slow = QStringLiteral(
        "(Jobs.JobNo > 0 AND Jobs.JobID IN (SELECT A.JobID FROM Jobs AS A, Jobs AS B, Jobs AS C WHERE (A.JobID * 7 + "
        "B.JobID * 11 + C.JobID * 13) Mod 50021 = -1))");
    int finds = 0;
    SetFindPrompt([&](FindRequest &request, QWidget *) {
        ++finds;
        request.filter = slow;
        return 1;
    });
    QStringList shown;
    CXProgress::SetFactory([&shown] { return std::make_unique<StopAtOnce>(shown); });
    prompts().answer(platform::IDOK);
    view.RunCommand(30101);
    for (int i = 0; i < 4; ++i)
        QApplication::processEvents();
    CXProgress::SetFactory(nullptr);
    EXPECT_EQ(shown, QStringList{QStringLiteral("Running the query")});
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("The search was stopped before it found anything:\n\n") +
                                              view.filterText()});
    EXPECT_EQ(finds, 1);
    EXPECT_EQ(view.list()->GetItemCount(), 0);
    EXPECT_TRUE(view.list()->WasFillStopped());

    // A search that ends by itself is no stopped one.
    SetFindPrompt([&](FindRequest &request, QWidget *) {
        request.filter = QStringLiteral("(Jobs.JobNo = 7)");
        return 1;
    });
    prompts().clear();
    view.RunCommand(30101);
    EXPECT_EQ(prompts().texts(), QStringList());
    EXPECT_EQ(view.list()->GetItemCount(), 1);
    EXPECT_FALSE(view.list()->WasFillStopped());
}

} // namespace
