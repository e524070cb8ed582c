#include "DialogsFixture.h"

#include "controls/CXListCtrl.h"
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

} // namespace
