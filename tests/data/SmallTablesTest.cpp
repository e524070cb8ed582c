#include "ShopTablesTest.h"

#include "app/base/CZqApp.h"
#include "data/CEmailLinkSet.h"
#include "data/CEmpSet.h"
#include "data/CFormsSet.h"
#include "data/CTaxSet.h"
#include "data/CTodoSet.h"

namespace {

class SmallTablesTest : public ShopTablesTest
{
};

TEST_F(SmallTablesTest, FormOptionLists)
{
    const struct
    {
        quint8 no;
        int list;
    } cases[] = {{1, 45001},  {11, 45001}, {21, 45001}, {31, 45001}, {2, 45002},  {10, 45002}, {39, 45002},
                 {40, 45041}, {49, 45041}, {99, 45099}, {50, 45100}, {98, 45100}, {255, 45100}};
    CFormsSet form;
    for (const auto &c : cases) {
        form.m_No = c.no;
        EXPECT_EQ(form.GetOptionListId(), c.list) << int(c.no);
    }
}

TEST_F(SmallTablesTest, MissingFormsAreAddedAndExistingOnesKept)
{
    CFormsSet forms;
    EXPECT_TRUE(forms.AddFormIfMissing(200, QStringLiteral("Label"), QStringLiteral("Labels"), 0x21,
                                       QStringLiteral("[Name]"), QStringLiteral("Tahoma"), 100));
    CFormsSet read;
    ASSERT_TRUE(read.FindByField(QStringLiteral("[No]"), 200));
    EXPECT_EQ(read.m_Title, QStringLiteral("Label"));
    EXPECT_EQ(read.m_FontName, QStringLiteral("Tahoma"));
    EXPECT_EQ(read.m_Options, 0x21);
    EXPECT_FLOAT_EQ(read.m_TopMargin, 0.9f);
    EXPECT_FLOAT_EQ(read.m_LeftMargin, 0.25f);
    EXPECT_EQ(read.m_ColBack, 0xFFFFFF);
    EXPECT_EQ(read.m_Printer, QString());

    exec(QStringLiteral("UPDATE Forms SET Title = 'My Labels', FontSize = 90 WHERE [No] = 200"));
    EXPECT_TRUE(forms.AddFormIfMissing(200, QStringLiteral("Label"), QStringLiteral("Labels"), 0,
                                       QStringLiteral("x"), QStringLiteral("Arial"), 100));
    EXPECT_EQ(column(QStringLiteral("SELECT Title FROM Forms WHERE [No] = 200")), QStringList({"My Labels"}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT FontSize FROM Forms WHERE [No] = 200")).toInt(), 90);

    // The empty form prints in the default font on the printer of the
    // workstation's choice.
    forms.ClearFields();
    EXPECT_EQ(forms.m_FontName, QStringLiteral("Arial"));
    EXPECT_EQ(forms.m_Printer, QString());
}

TEST_F(SmallTablesTest, ReminderListFilters)
{
    CZqApp app;
    CTodoSet todos;
    todos.SetListFilter(0, 0, CTodoSet::EveryonesReminders, false);
    EXPECT_EQ(todos.m_strFilter, QStringLiteral("ViewID > 0"));
    todos.SetListFilter(30004, 0, CTodoSet::EveryonesDone, false);
    EXPECT_EQ(todos.m_strFilter, QStringLiteral("(ViewID = 30003 or ViewID = 30004) and Status = 3"));
    todos.SetListFilter(30001, 1234, CTodoSet::MyToDo, false);
    EXPECT_EQ(todos.m_strFilter, QStringLiteral("ViewID = 30001 and RefID = 1234 and Status < 3"));

    app.m_nDefaultCsr = 5;
    todos.SetListFilter(30001, 0, CTodoSet::MyReminders, true);
    EXPECT_EQ(todos.m_strFilter,
              QStringLiteral("ViewID = 30001 and (Who = 5 or Who = 0)  and [When] <= #03/16/2026# and Status < 3"));
    todos.SetListFilter(30001, 0, CTodoSet::EveryonesReminders, false);
    EXPECT_EQ(todos.m_strFilter, QStringLiteral("ViewID = 30001"));

    // The lists as the engine runs them.
    const char *rows[] = {"30001, 10, 5, #3/15/2026#, 0", "30001, 10, 0, #3/16/2026#, 1", "30001, 10, 6, #3/10/2026#, 0",
                          "30001, 11, 5, #3/20/2026#, 0", "30001, 10, 5, #3/1/2026#, 3",  "30003, 10, 5, #3/1/2026#, 0"};
    for (const char *row : rows)
        exec(QStringLiteral("INSERT INTO Todos (ViewID, RefID, Who, [When], Status) VALUES (%1)").arg(QLatin1String(row)));
    EXPECT_EQ(todos.OpenList(30001, 0, CTodoSet::MyReminders, true), 2);
    EXPECT_EQ(todos.OpenList(30001, 10, CTodoSet::EveryonesToDo, false), 3);
    EXPECT_EQ(todos.OpenList(30004, 0, CTodoSet::EveryonesReminders, false), 1);
    EXPECT_EQ(todos.OpenList(30002, 0, CTodoSet::EveryonesReminders, false), 0);

    ASSERT_TRUE(todos.SafeAddNew());
    EXPECT_EQ(todos.m_When, DateTime(0.0));
    EXPECT_EQ(todos.m_Status, 0);
}

TEST_F(SmallTablesTest, MessageIdsAreLookedUpAsTheyAre)
{
    const QString quoted = QStringLiteral("<it's \"quoted\"@mail.example>");
    const QString injection = QStringLiteral("x' or 1=1 or MessageID='");
    CEmailLinkSet links;
    EXPECT_FALSE(links.AddLink(QString(), 10));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM EmailLink")).toInt(), 0);

    EXPECT_TRUE(links.AddLink(quoted, 11));
    EXPECT_TRUE(links.AddLink(QStringLiteral("<plain@mail.example>"), 12));
    EXPECT_EQ(links.GetJobIdOfMessage(quoted), 11);
    EXPECT_EQ(links.GetJobIdOfMessage(QStringLiteral("<plain@mail.example>")), 12);
    EXPECT_EQ(links.GetJobIdOfMessage(injection), 0);
    EXPECT_EQ(links.GetJobIdOfMessage(QStringLiteral("<unknown@mail.example>")), 0);
    EXPECT_TRUE(messages().isEmpty());
}

} // namespace
