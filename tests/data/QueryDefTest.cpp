#include "DataTestBase.h"

#include "data/CXDaoSet.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtWidgets/QDialog>
#include <QtWidgets/QTableWidget>

#include <functional>

using platform::Value;

namespace {

class QueryDefTest : public DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Balance, Rate, Terms) VALUES (5, 'Acme', 12.5, 2.5, 3)"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Balance, Rate, Terms) VALUES (7, 'Bolt', 0, 0, 0)"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Balance, Rate, Terms) VALUES (9, 'Cord', 40, 1, 3)"));
    }

    // The engine's number and text, or 0 and "" when nothing was thrown.
    static std::pair<int, QString> errorOf(const std::function<void()> &fn)
    {
        try {
            fn();
        } catch (const platform::DbException &e) {
            return {e.number(), e.description()};
        }
        return {0, QString()};
    }
};

} // namespace

TEST_F(QueryDefTest, UsersQueriesAreCheckedWhenSavedAndListedByType)
{
    CXDaoSet::CreateQueryDef(QStringLiteral("Owing"), QStringLiteral("SELECT Name, Balance FROM Customers WHERE Balance > 0"));
    CXDaoSet::CreateQueryDef(QStringLiteral("Terms Grid"),
                             QStringLiteral("TRANSFORM Count(*) SELECT Terms FROM Customers GROUP BY Terms PIVOT Name"));
    CXDaoSet::CreateQueryDef(QStringLiteral("All Names"),
                             QStringLiteral("SELECT Name FROM Customers UNION SELECT JobName FROM Jobs"));
    // An action query is kept by the engine but is not a list the report tree shows.
    db().createQuery(QStringLiteral("Clear Rates"), QStringLiteral("UPDATE Customers SET Rate = 0"));

    EXPECT_EQ(CXDaoSet::GetQueryDefNames({0, 16, 128}),
              (QStringList{QStringLiteral("All Names"), QStringLiteral("Owing"), QStringLiteral("Terms Grid")}));
    EXPECT_EQ(CXDaoSet::GetQueryDefNames({16}), QStringList{QStringLiteral("Terms Grid")});
    EXPECT_EQ(CXDaoSet::GetQueryDefNames({48}), QStringList{QStringLiteral("Clear Rates")});

    // A misspelt field, a taken name and a syntax error are refused and nothing is kept.
    EXPECT_EQ(errorOf([] { CXDaoSet::CreateQueryDef(QStringLiteral("Bad"), QStringLiteral("SELECT Nmae FROM Customers")); }),
              std::make_pair(3061, QStringLiteral("Too few parameters. Expected 1.")));
    EXPECT_EQ(errorOf([] { CXDaoSet::CreateQueryDef(QStringLiteral("owing"), QStringLiteral("SELECT Name FROM Customers")); })
                  .first,
              3012);
    EXPECT_EQ(errorOf([] { CXDaoSet::CreateQueryDef(QStringLiteral("Bad"), QStringLiteral("SELECT Month( FROM Customers")); })
                  .first,
              3075);
    EXPECT_EQ(errorOf([] { CXDaoSet::CreateQueryDef(QStringLiteral("Bad"), QStringLiteral("SELECT Nz(Name) FROM Customers")); }),
              std::make_pair(3085, QStringLiteral("Undefined function 'Nz' in expression.")));
    EXPECT_FALSE(CXDaoSet::QueryDefExists(QStringLiteral("Bad")));

    // Setting the SQL checks it the same way and keeps the old text on failure.
    EXPECT_EQ(errorOf([] { CXDaoSet::SetQueryDefSQL(QStringLiteral("Owing"), QStringLiteral("SELECT Bogus FROM Customers")); })
                  .first,
              3061);
    EXPECT_EQ(CXDaoSet::GetQueryDefSQL(QStringLiteral("Owing")),
              QStringLiteral("SELECT Name, Balance FROM Customers WHERE Balance > 0"));
    CXDaoSet::SetQueryDefSQL(QStringLiteral("Owing"), QStringLiteral("SELECT Name FROM Customers WHERE Balance > 20"));
    EXPECT_EQ(CXDaoSet::GetQueryDefSQL(QStringLiteral("Owing")), QStringLiteral("SELECT Name FROM Customers WHERE Balance > 20"));
    EXPECT_EQ(errorOf([] { CXDaoSet::SetQueryDefSQL(QStringLiteral("Nowhere"), QStringLiteral("SELECT Name FROM Customers")); })
                  .first,
              3265);

    // A query changed into a crosstab moves to that type.
    CXDaoSet::SetQueryDefSQL(QStringLiteral("Owing"),
                             QStringLiteral("TRANSFORM Sum(Balance) SELECT Terms FROM Customers GROUP BY Terms PIVOT Name"));
    EXPECT_EQ(CXDaoSet::GetQueryDefNames({16}), (QStringList{QStringLiteral("Owing"), QStringLiteral("Terms Grid")}));

    CXDaoSet::DeleteQueryDef(QStringLiteral("Owing"));
    EXPECT_FALSE(CXDaoSet::QueryDefExists(QStringLiteral("Owing")));
    EXPECT_EQ(errorOf([] { CXDaoSet::DeleteQueryDef(QStringLiteral("Owing")); }).first, 3265);
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(QueryDefTest, RunningAsksTheDeclaredParametersAndChecksTheSchemaAgain)
{
    CXDaoSet::CreateQueryDef(QStringLiteral("Terms Owing"),
                             QStringLiteral("PARAMETERS [Least Balance] Currency, [Terms No] Short; "
                                            "SELECT Name, Rate FROM Customers WHERE Balance >= [Least Balance] "
                                            "AND Terms = [Terms No] ORDER BY Name"));
    QStringList asked;
    prompts().onDialog([&](QDialog &d) {
        auto *grid = d.findChild<QTableWidget *>(QStringLiteral("grid"));
        for (int r = 0; grid && r < grid->rowCount(); ++r)
            asked << grid->item(r, 0)->text();
        if (grid) {
            grid->item(0, 1)->setText(QStringLiteral("10"));
            grid->item(1, 1)->setText(QStringLiteral("3"));
        }
        // A picture of the prompt as the user sees it.
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/querydefs");
        QDir().mkpath(folder);
        EXPECT_TRUE(d.grab().toImage().save(folder + QStringLiteral("/query-parameters.png"), "PNG"));
        return int(QDialog::Accepted);
    });
    CXDaoSet set;
    ASSERT_TRUE(set.OpenQueryDef(QStringLiteral("Terms Owing")));
    EXPECT_EQ(asked, (QStringList{QStringLiteral("Least Balance"), QStringLiteral("Terms No")}));
    EXPECT_EQ(set.CountRecords(), 2);
    EXPECT_EQ(set.GetFieldValue(0).toString(), QStringLiteral("Acme"));

    // Cancelling the parameters runs nothing.
    prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); });
    CXDaoSet cancelled;
    EXPECT_FALSE(cancelled.OpenQueryDef(QStringLiteral("Terms Owing")));
    EXPECT_FALSE(cancelled.IsOpen());

    // A field the saved query reads is gone: running it is 3061, as users know it.
    db().deleteField(QStringLiteral("Customers"), QStringLiteral("Rate"));
    prompts().onDialog([](QDialog &d) {
        auto *grid = d.findChild<QTableWidget *>(QStringLiteral("grid"));
        grid->item(0, 1)->setText(QStringLiteral("10"));
        grid->item(1, 1)->setText(QStringLiteral("3"));
        return int(QDialog::Accepted);
    });
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(set.OpenQueryDef(QStringLiteral("Terms Owing")));
    const QStringList texts = prompts().texts();
    ASSERT_GE(texts.size(), 2);
    EXPECT_EQ(texts.at(texts.size() - 2),
              QStringLiteral("Cannot execute Query Terms Owing\n\nError 3061 occured:\n\nToo few parameters. Expected 1.\n\n"
                             "Usually caused by an error in the filter.\n\n"));
}
