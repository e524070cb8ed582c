#include "DataTestBase.h"

#include "data/TaxAmounts.h"

namespace {

class TaxAmountsTest : public DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        // No, Name, rate in ten-thousandths of a percent, shipping, round up, type, postage
        exec(QStringLiteral("INSERT INTO Taxes VALUES (1, 'State', 82500, 0, 0, 0, 0)"));
        exec(QStringLiteral("INSERT INTO Taxes VALUES (2, 'County', 20000, 0, 0, 0, 1)"));
        exec(QStringLiteral("INSERT INTO Taxes VALUES (4, 'Freight', 82500, 1, 1, 0, 0)"));
    }
};

Money cents(std::int64_t n)
{
    return Money::fromCents(n);
}

} // namespace

TEST_F(TaxAmountsTest, OneRate)
{
    Money taxable = cents(1234), tax, base2 = cents(5), tax2 = cents(5);
    ComputeTaxAmounts(taxable, cents(1000), cents(300), 1, tax, base2, tax2);
    EXPECT_EQ(tax, cents(102)); // 101.805 cents, half away from zero
    EXPECT_EQ(taxable, cents(1234));
    EXPECT_EQ(base2, Money());
    EXPECT_EQ(tax2, Money());

    // Shipping taxed by the rate, with round-up: 8.25 % of 110.00 = 9.075.
    taxable = cents(10000);
    ComputeTaxAmounts(taxable, cents(1000), cents(300), 4, tax, base2, tax2);
    EXPECT_EQ(taxable, cents(11000));
    EXPECT_EQ(tax, cents(908));

    // Only a No Charge amount: no tax, and no base.
    taxable = Money::noChargeMarker();
    ComputeTaxAmounts(taxable, Money(), Money(), 1, tax, base2, tax2);
    EXPECT_EQ(taxable, Money());
    EXPECT_EQ(tax, Money());

    // A code without a Taxes row.
    taxable = cents(5000);
    ComputeTaxAmounts(taxable, Money(), Money(), 9, tax, base2, tax2);
    EXPECT_EQ(taxable, Money());
    EXPECT_EQ(tax, Money());
}

TEST_F(TaxAmountsTest, SecondAndCombinedTaxes)
{
    exec(QStringLiteral("UPDATE Taxes SET TaxPercent = 50000 WHERE [No] = 1"));
    Money taxable = cents(10000), tax, base2, tax2;
    ComputeTaxAmounts(taxable, Money(), Money(), 3, tax, base2, tax2);
    EXPECT_EQ(base2, cents(10000));
    EXPECT_EQ(tax2, cents(200));
    EXPECT_EQ(tax, cents(700));

    // Each rate adds what it taxes to its own base: postage only to rate 2.
    taxable = cents(10000);
    ComputeTaxAmounts(taxable, cents(500), cents(1000), 3, tax, base2, tax2);
    EXPECT_EQ(taxable, cents(10000));
    EXPECT_EQ(base2, cents(11000));
    EXPECT_EQ(tax2, cents(220));
    EXPECT_EQ(tax, cents(720));

    taxable = cents(10000);
    ComputeTaxAmounts(taxable, Money(), cents(1000), 2, tax, base2, tax2);
    EXPECT_EQ(tax, cents(220));
    EXPECT_EQ(tax2, tax);
    EXPECT_EQ(base2, cents(11000));

    taxable = cents(10000);
    ComputeTaxAmounts(taxable, Money(), Money(), 0, tax, base2, tax2);
    EXPECT_EQ(taxable, Money());
    EXPECT_EQ(tax, Money());
    EXPECT_EQ(base2, Money());
    EXPECT_EQ(tax2, Money());

    QString name;
    GetTaxName(name, 2);
    EXPECT_EQ(name, QStringLiteral("County"));
    GetTaxName(name, 7);
    EXPECT_TRUE(name.isEmpty());
}
