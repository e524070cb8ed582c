#include "data/DaoError.h"

#include "platform/Prompt.h"
#include "support/TestEnvironment.h"

using namespace platform;

class DaoErrorTest : public TavrelTest
{
};

TEST_F(DaoErrorTest, ContextDecidesBetweenOneBoxAndDetailsOnRequest)
{
    const DbException missing(3078, QStringLiteral("The database engine cannot find the input table or query 'Jobs'."));
    prompts().answer(IDOK);
    EXPECT_EQ(ShowDaoError(missing, QStringLiteral("Cannot requery Jobs")), 0);
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_EQ(prompts().shown()[0].text,
              QStringLiteral("Cannot requery Jobs\n\nError 3078 occured:\n\nThe database engine cannot find the input "
                             "table or query 'Jobs'.\n\nPlease try again.\n\n"));
    EXPECT_EQ(prompts().shown()[0].flags, unsigned(MB_OK));

    // No context: the engine's text alone, and 3022 gets no hint.
    prompts().clear();
    prompts().answer(IDOK);
    ShowDaoError(DbException(3022, QStringLiteral("Duplicate.")), QString());
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Error 3022 occured:\n\nDuplicate.\n\n")});

    // Any other context is offered as details; No shows nothing more.
    const DbException syntax(3075, QStringLiteral("Syntax error (missing operator) in query expression 'x ='."));
    const QString question = QStringLiteral("Error 3075 occured:\n\nSyntax error (missing operator) in query "
                                            "expression 'x ='.\n\nUsually caused by an error in the filter.\n\n"
                                            "Would you like to see more information?");
    prompts().clear();
    prompts().answer(IDNO);
    ShowDaoError(syntax, QStringLiteral("Could not run query:\n\nSELECT * FROM Jobs WHERE x ="));
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_EQ(prompts().shown()[0].text, question);
    EXPECT_EQ(prompts().shown()[0].flags, unsigned(MB_YESNO | MB_ICONQUESTION));

    prompts().clear();
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    ShowDaoError(syntax, QStringLiteral("Could not run query:\n\nSELECT * FROM Jobs WHERE x ="));
    EXPECT_EQ(prompts().texts(), (QStringList{question, QStringLiteral("Could not run query:\n\nSELECT * FROM Jobs WHERE x =")}));

    // "Cannot" counts only as written: lower case asks.
    prompts().clear();
    prompts().answer(IDNO);
    ShowDaoError(DbException(3260, QStringLiteral("Locked.")), QStringLiteral("cannot save Jobs"));
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_TRUE(prompts().shown()[0].text.endsWith(QLatin1String("Would you like to see more information?")));
}
