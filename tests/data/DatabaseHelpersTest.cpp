#include "data/DatabaseHelpers.h"

#include "app/base/SharedDatabaseHolder.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "support/TestEnvironment.h"

using namespace platform;

class DatabaseHelpersTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        m_holder = std::make_unique<SharedDatabaseHolder>();
        const QString path = tempPath(DatabaseFileName());
        Database::create(path);
        SharedDatabase().open(path);
        TableDef taxes;
        taxes.name = QStringLiteral("Taxes");
        taxes.fields = {{QStringLiteral("No"), FieldType::Byte, 1}, {QStringLiteral("Name"), FieldType::Text, 50},
                        {QStringLiteral("Rate"), FieldType::Long, 4}};
        SharedDatabase().createTable(taxes);
        SharedDatabase().execute(QStringLiteral("INSERT INTO Taxes VALUES (1, 'State', 6000)"));
        SharedDatabase().execute(QStringLiteral("INSERT INTO Taxes VALUES (2, 'County', NULL)"));
    }
    void TearDown() override
    {
        m_holder.reset();
        TavrelTest::TearDown();
    }

    std::unique_ptr<SharedDatabaseHolder> m_holder;
};

TEST_F(DatabaseHelpersTest, LookupsGiveTheFirstRowsValueOrEmpty)
{
    Value v;
    EXPECT_EQ(DbLookupValue(v, QStringLiteral("SELECT Rate FROM Taxes ORDER BY [No]"), 0).toInt(), 6000);
    EXPECT_EQ(v.type(), FieldType::Long);
    DbLookupValue(v, QStringLiteral("SELECT Rate FROM Taxes WHERE [No] = 2"), 0);
    EXPECT_TRUE(v.isNull());
    EXPECT_EQ(v.type(), FieldType::Empty); // a Null becomes the empty value
    DbLookupValue(v, QStringLiteral("SELECT Rate FROM Taxes WHERE [No] = 9"), 0);
    EXPECT_TRUE(v.isNull());

    EXPECT_EQ(DbLookupText(QStringLiteral("SELECT Name FROM Taxes ORDER BY Name")), QStringLiteral("County"));
    EXPECT_EQ(DbLookupText(QStringLiteral("SELECT Name FROM Taxes WHERE [No] = 9")), QString());
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(DatabaseHelpersTest, FailedLookupIsReportedAndGivesEmpty)
{
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    prompts().answer(IDOK);
    Value v(5);
    DbLookupValue(v, QStringLiteral("SELECT Name FROM Rates WHERE [No] = 1"), 0);
    EXPECT_TRUE(v.isNull());
    ASSERT_EQ(prompts().shown().size(), 3);
    EXPECT_TRUE(prompts().shown()[0].text.startsWith(QLatin1String("Error 3078 occured:")));
    EXPECT_EQ(prompts().shown()[1].text,
              QStringLiteral("Could not run query:\n\nSELECT Name \r\n\r\nFROM Rates \r\n\r\nWHERE [No] = 1"));
    EXPECT_EQ(prompts().shown()[2].text,
              QStringLiteral("Your database or network may be busy.\nWait a moment, and then try the operation "
                             "again.\n\nIf this error persists, re-start Tavrel."));
}

TEST_F(DatabaseHelpersTest, RunLogCollectsEntriesUntilCleared)
{
    EXPECT_FALSE(HasRunLogText());
    LogDaoError(DbException(3191, QStringLiteral("Cannot define field more than once.")), QStringLiteral("Add Field Qty"));
    LogDaoError(DbException(3280, QStringLiteral("Indexed.")), QStringLiteral("Field Name: JobNo"));
    AppendRunLog(QStringLiteral("Done"));
    EXPECT_TRUE(HasRunLogText());
    EXPECT_EQ(GetRunLog(), QStringLiteral("Error# 3191: Cannot define field more than once. Add Field Qty\n\n"
                                          "Error# 3280: Indexed. Field Name: JobNo\n\nDone\n"));
    ClearRunLog();
    EXPECT_FALSE(HasRunLogText());

    // Each holder has its own log; the outer one comes back unchanged.
    AppendRunLog(QStringLiteral("outer"));
    {
        SharedDatabaseHolder inner;
        EXPECT_FALSE(HasRunLogText());
        EXPECT_FALSE(SharedDatabase().isOpen());
    }
    EXPECT_EQ(GetRunLog(), QStringLiteral("outer\n"));
    EXPECT_TRUE(SharedDatabase().isOpen());
}
