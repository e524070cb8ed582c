#include "ShopTablesTest.h"

#include "data/CCreditSet.h"
#include "data/CCusSet.h"
#include "data/CPayAppliedSet.h"
#include "data/CPaySet.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"

#include <functional>

namespace {

class ReceivablesTest : public ShopTablesTest
{
protected:
    Money creditDue(qint32 cusNo)
    {
        CCusSet set;
        EXPECT_TRUE(set.FindCustomer(cusNo));
        return set.m_CreditDue;
    }
    Money sumOfCredits(qint32 cusNo)
    {
        // Summed here as money, row by row, not by the engine in doubles.
        Money sum;
        CCreditSet set;
        set.m_strFilter = QStringLiteral("CusNo = %1").arg(cusNo);
        if (set.RequeryOrOpen(false)) {
            for (; !set.IsEOF(); set.MoveNext())
                sum += set.m_Amount;
        }
        return sum;
    }
};

TEST_F(ReceivablesTest, CreditDueFollowsTheCreditsRows)
{
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CreditDue) VALUES (40, 'Acme', 0)"));
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CreditDue) VALUES (41, 'Other', 0)"));
    CCreditSet credits;

    // An advance payment, an over-payment, credit used on two invoices, a
    // manual adjustment, a credit given by mistake and taken back again.
    EXPECT_TRUE(credits.PostCredit(40, 0, Money::fromText(QStringLiteral("50.00")), 255));
    EXPECT_TRUE(credits.PostCredit(40, 0, Money::fromText(QStringLiteral("12.3456")), 254));
    EXPECT_TRUE(credits.PostCredit(40, 1001, Money::fromText(QStringLiteral("-30.00")), 253));
    EXPECT_TRUE(credits.PostCredit(41, 0, Money::fromText(QStringLiteral("9.99")), 255));
    EXPECT_TRUE(credits.PostCredit(40, 1002, Money::fromText(QStringLiteral("-0.0456")), 252));
    EXPECT_TRUE(credits.PostCredit(40, 0, Money::fromText(QStringLiteral("0.10")), 3));
    EXPECT_TRUE(credits.PostCredit(40, 0, Money::fromText(QStringLiteral("1000.01")), 3));
    const qint32 mistake = scalar(QStringLiteral("SELECT Max(CreditID) FROM Credits")).toInt();
    EXPECT_TRUE(credits.DeleteCredit(mistake));
    EXPECT_FALSE(credits.DeleteCredit(mistake)); // already gone

    EXPECT_EQ(creditDue(40), Money::fromText(QStringLiteral("32.40")));
    EXPECT_EQ(creditDue(40), sumOfCredits(40));
    EXPECT_EQ(creditDue(41), sumOfCredits(41));
    EXPECT_EQ(scalar(QStringLiteral("SELECT ReasonID FROM Credits WHERE JobNo = 1001")).toInt(), 253);
    EXPECT_EQ(scalar(QStringLiteral("SELECT [Date] FROM Credits WHERE JobNo = 1001")).toDateTime(),
              DateTime(2026, 3, 16));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ReceivablesTest, ARefusedCreditWritesNeitherHalf)
{
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CreditDue) VALUES (40, 'Acme', 5)"));
    CCreditSet credits;

    // No such customer: nothing written, nothing to say.
    EXPECT_FALSE(credits.PostCredit(999, 0, Money::fromWhole(10), 255));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Credits")).toInt(), 0);
    EXPECT_TRUE(messages().isEmpty());

    // The customer row cannot be written: the credit row goes too.
    refuse(QStringLiteral("Customers"), QStringLiteral("UPDATE"));
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(credits.PostCredit(40, 0, Money::fromWhole(10), 255));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Credits")).toInt(), 0);
    EXPECT_EQ(creditDue(40), Money::fromWhole(5));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().value(0).contains(QStringLiteral("Cannot save [Credits]")));
    SharedDatabase().executeNative(QStringLiteral("DROP TRIGGER refuse_Customers_UPDATE"));

    // A credit due past the largest amount, either way a credit or taking
    // back a credit used moves it, is refused by name with neither half
    // written: 5.00 + 99,999,999,995.00 reaches 100,000,000,000.00 exactly.
    const QString tooLarge =
        QStringLiteral("\"Credit Due\" cannot be more than 100,000,000,000.00, the largest amount it holds.");
    EXPECT_TRUE(credits.PostCredit(40, 0, Money::fromWhole(99999999995LL), 255));
    EXPECT_EQ(creditDue(40), Money::fromWhole(100000000000LL));
    EXPECT_TRUE(credits.PostCredit(40, 1003, Money::fromText(QStringLiteral("-0.01")), 253));
    const qint32 used = scalar(QStringLiteral("SELECT Max(CreditID) FROM Credits")).toInt();
    const int rows = scalar(QStringLiteral("SELECT Count(*) FROM Credits")).toInt();
    const std::function<bool()> refused[] = {
        // A credit of 0.02 on 99,999,999,999.99.
        [&] { return credits.PostCredit(40, 0, Money::fromCents(2), 255); },
        // 0.01 more reaches the largest amount; taking back the 0.01 used
        // then would pass it.
        [&] { return credits.PostCredit(40, 0, Money::fromCents(1), 255) && credits.DeleteCredit(used); },
    };
    for (const auto &take : refused) {
        prompts().clear();
        prompts().answer(platform::IDOK);
        EXPECT_FALSE(take());
        EXPECT_EQ(messages(), QStringList{tooLarge});
    }
    // The cent of the second row was taken; its refused delete left the
    // used credit in place.
    EXPECT_EQ(creditDue(40), Money::fromWhole(100000000000LL));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Credits")).toInt(), rows + 1);
    EXPECT_EQ(creditDue(40), sumOfCredits(40) + Money::fromWhole(5)); // the 5.00 it started with
}

TEST_F(ReceivablesTest, RowsAddedByTheReceivablesSets)
{
    CCreditSet credits;
    EXPECT_TRUE(credits.AddCredit(31, 77, Money::fromText(QStringLiteral("-4.50")), 253));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Amount FROM Credits WHERE JobNo = 77")).toMoney(),
              Money::fromText(QStringLiteral("-4.50")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 31")).toMoney(), Money::zero());

    CPayAppliedSet applied;
    EXPECT_TRUE(applied.AddApplied(5, 1001, Money::fromText(QStringLiteral("19.99"))));
    EXPECT_TRUE(applied.AddApplied(5, 1002, Money::fromText(QStringLiteral("0.01"))));
    EXPECT_EQ(column(QStringLiteral("SELECT JobNo FROM PayApplied WHERE PayNo = 5 ORDER BY JobNo")),
              QStringList({"1001", "1002"}));

    CPaySet pay;
    ASSERT_TRUE(pay.SafeAddNew());
    pay.m_Date = DateTime(2026, 3, 16);
    pay.m_Amount = Money::fromText(QStringLiteral("120.00"));
    pay.m_CusNo = 31;
    pay.m_Reference = QString(40, QLatin1Char('r'));
    ASSERT_TRUE(pay.SafeUpdate());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Reference FROM Payments WHERE CusNo = 31")).toString().size(), 30);
    EXPECT_EQ(scalar(QStringLiteral("SELECT PostingNo FROM Payments WHERE CusNo = 31")).toInt(), 0);
}

} // namespace
