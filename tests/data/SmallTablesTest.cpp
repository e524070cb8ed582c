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

// An id longer than the column is linked and found again by a digest that
// fits; ids alike in their first hundreds of characters stay apart, and an
// id of exactly 124 characters is stored as it is.
TEST_F(SmallTablesTest, MessageIdsLongerThanTheColumnAreLinkedAndFound)
{
    const QString head = QStringLiteral("<") + QString(200, QLatin1Char('a'));
    const QString longA = head + QStringLiteral("1@mail.example>");
    const QString longB = head + QStringLiteral("2@mail.example>");
    const QString exact = QStringLiteral("<") + QString(122, QLatin1Char('b')) + QStringLiteral(">");
    const QString oneMore = QStringLiteral("<") + QString(123, QLatin1Char('c')) + QStringLiteral(">");
    ASSERT_EQ(exact.size(), 124);
    CEmailLinkSet links;
    EXPECT_TRUE(links.AddLink(longA, 21));
    EXPECT_TRUE(links.AddLink(longB, 22));
    EXPECT_TRUE(links.AddLink(exact, 23));
    EXPECT_TRUE(links.AddLink(oneMore, 24));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(links.GetJobIdOfMessage(longA), 21);
    EXPECT_EQ(links.GetJobIdOfMessage(longB), 22);
    EXPECT_EQ(links.GetJobIdOfMessage(exact), 23);
    EXPECT_EQ(links.GetJobIdOfMessage(oneMore), 24);
    EXPECT_EQ(links.GetJobIdOfMessage(head + QStringLiteral("3@mail.example>")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Max(Len(MessageID)) FROM EmailLink")).toInt(), 124);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM EmailLink WHERE MessageID = '%1'").arg(exact)).toInt(), 1);
    // The digest form: the id's first 59 characters, "~", the SHA-256 of the
    // whole id (hand-checked with sha256sum).
    const QString stored =
        CEmailLinkSet::StoredMessageId(QStringLiteral("<") + QString(200, QLatin1Char('x')) + QStringLiteral(">"));
    EXPECT_EQ(stored.size(), 124);
    EXPECT_EQ(stored, QStringLiteral("<") + QString(58, QLatin1Char('x')) +
                          QStringLiteral("~65b5736fe0760c73a9ffe05982d281c4b867e3de2cfc13cd525df1fbd75277f4"));
}

} // namespace
