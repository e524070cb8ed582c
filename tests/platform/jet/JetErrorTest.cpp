#include "JetShopFixture.h"

#include "platform/db/DbException.h"

// Statements the engine refuses, with its error numbers and texts.
struct ErrorCase
{
    const char *statement;
    int number;
    const char *description;   // checked when given
};

void PrintTo(const ErrorCase &c, std::ostream *os)
{
    *os << c.statement;
}

class JetError : public JetShopTest, public ::testing::WithParamInterface<ErrorCase>
{
};

TEST_P(JetError, RaisesJetsError)
{
    const ErrorCase &c = GetParam();
    try {
        db.translator().translate(QString::fromUtf8(c.statement));
        FAIL() << "no error for " << c.statement;
    } catch (const platform::DbException &e) {
        EXPECT_EQ(e.number(), c.number) << e.description().toStdString();
        if (c.description) {
            EXPECT_EQ(e.description().toStdString(), c.description);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Statements, JetError, ::testing::Values(
    ErrorCase{"SELECT Name FROM Customers;  junk", 3142, "Characters found after end of SQL statement."},
    ErrorCase{"SELECT Name FROM Customers; SELECT 1 FROM Jobs", 3142, nullptr},
    ErrorCase{"SELECT Name FROM Customers WHERE Name = = 1 ORDER BY Name", 3075,
              "Syntax error (missing operator) in query expression 'Name = = 1'."},
    ErrorCase{"SELECT Name Title FROM Customers", 3075, "Syntax error (missing operator) in query expression 'Name Title'."},
    ErrorCase{"SELECT Bogus FROM Customers", 3061, "Too few parameters. Expected 1."},
    ErrorCase{"SELECT Bogus, Customers.Other, Bogus FROM Customers", 3061, "Too few parameters. Expected 2."},
    ErrorCase{"SELECT Name FROM Nowhere", 3078, "The database engine cannot find the input table or query 'Nowhere'."},
    ErrorCase{"SELECT CusNo FROM Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo", 3079,
              "The field 'CusNo' could refer to more than one table in the FROM clause."},
    ErrorCase{"SELECT Nz(Name, '') FROM Customers", 3085, "Undefined function 'Nz' in expression."},
    ErrorCase{"SELECT Sum(Sum(Balance)) FROM Customers", 3095,
              "Cannot have aggregate function in expression (Sum(Sum(Balance)))."},
    ErrorCase{"UPDATE Customers SET Balance = Sum(Balance)", 3095,
              "Cannot have aggregate function in expression (Sum(Balance))."},
    ErrorCase{"SELECT Name FROM Customers WHERE Balance > Avg(Balance)", 3096,
              "Cannot have aggregate function in WHERE clause (Balance > Avg(Balance))."},
    ErrorCase{"SELECT Count(*) FROM Customers GROUP BY Max(Name)", 3098,
              "Cannot have aggregate function in GROUP BY clause (Max(Name))."},
    ErrorCase{"SELECT x+1 AS x FROM Customers", 3103, "Circular reference caused by alias 'x' in the SELECT list."},
    ErrorCase{"SELEC Name FROM Customers", 3129, nullptr},
    ErrorCase{"", 3129, nullptr},
    ErrorCase{"SELECT Name FROM Customers INNER JOIN", 3131, "Syntax error in FROM clause."},
    ErrorCase{"SELECT Name FROM Customers, WHERE CusNo = 1", 3131, nullptr},
    ErrorCase{"SELECT Name FROM Customers ORDER BY Name Name", 3138, "Syntax error in ORDER BY clause."},
    ErrorCase{"SELECT FROM Customers", 3141, nullptr},
    ErrorCase{"PARAMETERS [When] Whenever; SELECT Name FROM Customers", 3060, "Wrong data type for parameter 'When'."},
    ErrorCase{"SELECT Name INTO Customers FROM Customers", 3010, nullptr},
    ErrorCase{"INSERT INTO Customers (Bogus) VALUES (1)", 3127, nullptr},
    ErrorCase{"INSERT INTO Customers VALUES (1, 2)", 3346, nullptr},
    ErrorCase{"INSERT Customers VALUES (1, 2)", 3134, nullptr},
    ErrorCase{"UPDATE Customers Name = 1", 3144, nullptr},
    ErrorCase{"DELETE FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID", 3128, nullptr},
    ErrorCase{"SELECT #13/45/2011# FROM Customers", 3075, "Syntax error (missing operator) in query expression '#13/45/2011#'."},
    ErrorCase{"SELECT Mid('a') FROM Customers", 3075,
              "Wrong number of arguments used with function in query expression 'Mid('a')'."},
    ErrorCase{"SELECT 'abc FROM Customers", 3075, nullptr},
    ErrorCase{"SELECT Name FROM Customers UNION SELECT Name, CusNo FROM Customers", 3307, nullptr}));
