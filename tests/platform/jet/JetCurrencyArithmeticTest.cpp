#include "JetTestDatabase.h"

#include <gtest/gtest.h>

using platform::FieldType;

// Sums and differences of stored amounts are exact to the ten-thousandth, as
// the engine's currency arithmetic is: comparisons against another stored
// amount see no binary noise, and a currency column stays currency.
TEST(JetCurrencyArithmetic, SumsOfStoredAmountsCompareExactly)
{
    JetTestDatabase db;
    db.addTable(QStringLiteral("Jobs"), {{QStringLiteral("JobNo"), FieldType::Long},
                                         {QStringLiteral("Subtotal"), FieldType::Currency},
                                         {QStringLiteral("Tax"), FieldType::Currency},
                                         {QStringLiteral("Paid"), FieldType::Currency},
                                         {QStringLiteral("Balance"), FieldType::Currency}});
    // 0.1 + 0.2 is not 0.3 in binary; 1234.56 + 78.91 - 1313.47 is not 0.
    db.exec(QStringLiteral("INSERT INTO Jobs VALUES (1, 0.1, 0.2, 0, 0.3)"));
    db.exec(QStringLiteral("INSERT INTO Jobs VALUES (2, 1234.56, 78.91, -1313.47, 0)"));
    db.exec(QStringLiteral("INSERT INTO Jobs VALUES (3, 10.0001, 0.0002, 0, 10.0004)"));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT JobNo FROM Jobs WHERE Balance <> Subtotal + Tax + Paid ORDER BY JobNo")),
              QStringList({QStringLiteral("3")}));
    const auto t = db.translator().translate(QStringLiteral("SELECT Subtotal - Paid AS Owed, Subtotal * 3 AS Triple FROM Jobs"));
    ASSERT_EQ(t.columns.size(), 2);
    EXPECT_EQ(t.columns[0].type, FieldType::Currency);
    EXPECT_EQ(t.columns[1].type, FieldType::Currency);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Subtotal * 3 AS Triple FROM Jobs WHERE JobNo = 1")),
              QStringList({QStringLiteral("0.3")}));
}
