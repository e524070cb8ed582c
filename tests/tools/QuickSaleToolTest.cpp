#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

namespace {


class QuickSaleTool : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        db = tempPath(QStringLiteral("TavrelData.mdb"));
        ASSERT_EQ(RunDbTool({QStringLiteral("create"), db}).exitCode, 0);
        SqliteRows(db, QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, RunPrice1, RunCost1, Markup, "
                                  "Unit) VALUES (501, 999, 'Copies', 0, 12, 0, 0, 0)"));
        SqliteRows(db, QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, RunPrice1, RunCost1, Markup, "
                                  "Unit) VALUES (502, 999, 'Lamination', 0, 0, 7, 15, 0)"));
        SqliteRows(db, QStringLiteral("INSERT INTO Taxes ([No], Name, TaxPercent) VALUES (1, 'State', 62500)"));
    }
    QString db;
};

TEST_F(QuickSaleTool, SellsAndRefundsAsTheCounterDoes)
{
    // 3 copies at 0.1200, 100 laminations at 0.0805 (8.05), 3 at 1.2345 typed, 10.00 typed for 3.
    ToolRun r = RunDbTool({QStringLiteral("quicksale"), db, QStringLiteral("1"), QStringLiteral("50"),
                           QStringLiteral("501:3"), QStringLiteral("502:100"), QStringLiteral("501:3@1.2345"),
                           QStringLiteral("501:3=10.00"), QStringLiteral("--paid-by"), QStringLiteral("0"),
                           QStringLiteral("--today"), QStringLiteral("6/12/2024")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("QSaleID 1\nPayNo 1\n"));
    // 0.36 + 8.05 + 3.70 + 10.00 = 22.11; 6.25 % tax 1.38.
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT date([Date] + 2415018.5), Subtotal, Tax, TaxID, PayNo, Taxable FROM "
                                        "QuickSales")),
              QStringLiteral("2024-06-12|22.11|1.38|1|1|22.11"));
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT SerNo, Quantity, Price FROM QuickSalesItems ORDER BY QItemID")),
              QStringLiteral("501|3|0.36\n502|100|8.05\n501|3|3.7\n501|3|10"));
    // The payment is the total whatever more was tendered (the change goes back).
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT Amount, CusNo, PayGroup, PaidBy FROM Payments")),
              QStringLiteral("23.49|31|0|0"));

    // A refund: a negative tender reverses the whole sale.
    r = RunDbTool({QStringLiteral("quicksale"), db, QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("501:10"),
                   QStringLiteral("--paid-by"), QStringLiteral("0")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("QSaleID 2\nPayNo 2\n"));
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT Subtotal, Tax FROM QuickSales WHERE QSaleID = 2")),
              QStringLiteral("-1.2|0"));
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT Amount FROM Payments WHERE PayNo = 2")), QStringLiteral("-1.2"));

    // Nothing to sell, or a line that does not read: nothing written.
    r = RunDbTool({QStringLiteral("quicksale"), db, QStringLiteral("0"), QStringLiteral("5"), QStringLiteral("777:1")});
    EXPECT_EQ(r.exitCode, 1);
    r = RunDbTool({QStringLiteral("quicksale"), db, QStringLiteral("0"), QStringLiteral("5"), QStringLiteral("501")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT count(*) FROM Payments")), QStringLiteral("2"));
}

// Prices past 32 bits are saved and paid exactly (a 32-bit cent count kept
// 99,999,999 as 14,100,653.08 and 922,337,203,685,477 as 0.58); a price or
// tendered amount is read as the window reads it, whole cents (12.345 was
// saved as 12.34) within the largest amount the program takes; past it, the
// sale is refused naming the amount and nothing is written.
TEST_F(QuickSaleTool, AmountsPast32BitsAreSavedExactlyAndPastTheFieldsRefused)
{
    struct Case
    {
        const char *tax;
        const char *tendered;
        const char *line;
        const char *saved; // price, subtotal, tax and payment; "" refused
        int exitCode;
        const char *error;
    };
    const char *const most = "100000000000";
    const Case cases[] = {
        {"0", most, "501:1=214748.37", "214748.37|214748.37|0.00|214748.37", 0, ""},
        {"0", most, "501:1=21474836.48", "21474836.48|21474836.48|0.00|21474836.48", 0, ""},
        {"0", most, "501:1=99999999", "99999999.00|99999999.00|0.00|99999999.00", 0, ""},
        {"0", most, "501:2@300000", "600000.00|600000.00|0.00|600000.00", 0, ""},
        {"1", most, "501:3@214748.37", "644245.11|644245.11|40265.32|684510.43", 0, ""},
        {"0", most, "501:1=100000000000", "100000000000.00|100000000000.00|0.00|100000000000.00", 0, ""},
        {"0", most, "501:1=99,999,999,999.99", "99999999999.99|99999999999.99|0.00|99999999999.99", 0, ""},
        {"0", most, "501:1=12.34", "12.34|12.34|0.00|12.34", 0, ""},
        {"0", most, "501:1=100000000000.01", "", 2, "Price \"100000000000.01\": "
         "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00.\n"},
        {"0", most, "501:1=900000000000", "", 2, "Price \"900000000000\": "
         "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00.\n"},
        {"0", most, "501:1=922337203685477", "", 2, "Price \"922337203685477\": "
         "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00.\n"},
        {"0", most, "501:1=12.345", "", 2, "Price \"12.345\": Please enter an amount with at most 2 decimals.\n"},
        // A figure below 0 is refused by name, never flipped into a sale.
        {"0", most, "501:1=-10.00", "", 2, "Price \"-10.00\": cannot be below 0. "
         "A refund is taken with a negative tendered amount.\n"},
        {"0", most, "501:2@-0.0001", "", 2, "Unit price \"-0.0001\": cannot be below 0. "
         "A refund is taken with a negative tendered amount.\n"},
        {"0", most, "501:-3", "", 2, "Quantity \"-3\": cannot be below 0. "
         "A refund is taken with a negative tendered amount.\n"},
        {"0", most, "501:1@0.12345", "", 2,
         "Unit price \"0.12345\": Please enter an amount with at most 4 decimals.\n"},
        {"0", most, "501:2@100000000000", "", 2, "\"Price\" "
         "cannot be more than 100,000,000,000.00, the largest amount it holds.\n"},
        {"1", most, "501:1=100000000000", "", 1, "\"Total\" "
         "cannot be more than 100,000,000,000.00, the largest amount it holds.\n"},
        {"0", "12.345", "501:1=12.34", "", 2,
         "TENDERED \"12.345\": Please enter an amount with at most 2 decimals.\n"},
        {"0", "100000000000.01", "501:1=12.34", "", 2, "TENDERED \"100000000000.01\": "
         "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00.\n"},
    };
    int sales = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const ToolRun r = RunDbTool({QStringLiteral("quicksale"), db, QLatin1String(c.tax), QLatin1String(c.tendered),
                                     QLatin1String(c.line), QStringLiteral("--paid-by"), QStringLiteral("0")});
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        if (c.exitCode != 0) {
            EXPECT_EQ(r.err, QLatin1String(c.error));
            EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT count(*) FROM Payments")), QString::number(sales));
            continue;
        }
        ++sales;
        EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT printf('%.2f', i.Price), printf('%.2f', s.Subtotal), "
                                                "printf('%.2f', s.Tax), printf('%.2f', p.Amount) FROM QuickSales s "
                                                "JOIN QuickSalesItems i ON i.QSaleID = s.QSaleID JOIN Payments p ON "
                                                "p.PayNo = s.PayNo WHERE s.QSaleID = %1")
                                     .arg(sales)),
                  QLatin1String(c.saved));
        // Each sale on its own: a posting closes the period after it.
        SqliteRows(db, QStringLiteral("UPDATE QuickSales SET PostingNo = 1; UPDATE Payments SET PostingNo = 1"));
    }

    // Two sales of 60,000,000,000.00 in one period: the second would take
    // the period's quick sales past what the posting stores, and is refused
    // by name with nothing written; 40,000,000,000.00 fills it exactly.
    const struct
    {
        const char *line;
        int exitCode;
        const char *error;
    } period[] = {
        {"501:1=60000000000", 0, ""},
        {"501:1=60000000000", 1, "\"Posting Quick Sale Subtotal\" cannot be more than 100,000,000,000.00, the largest "
                                  "amount it holds.\n"},
        {"501:1=40000000000", 0, ""},
        {"501:1=0.01", 1, "\"Posting Quick Sale Subtotal\" cannot be more than 100,000,000,000.00, the largest amount "
                          "it holds.\n"},
    };
    for (const auto &p : period) {
        SCOPED_TRACE(p.line);
        const ToolRun r = RunDbTool({QStringLiteral("quicksale"), db, QStringLiteral("0"), QLatin1String(most),
                                     QLatin1String(p.line), QStringLiteral("--paid-by"), QStringLiteral("0")});
        EXPECT_EQ(r.exitCode, p.exitCode) << r.err.toStdString();
        EXPECT_EQ(r.err, QLatin1String(p.error));
    }
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT printf('%.2f|%.2f', (SELECT Sum(Subtotal) FROM QuickSales WHERE "
                                            "PostingNo = 0), (SELECT Sum(Amount) FROM Payments WHERE PostingNo = 0))")),
              QStringLiteral("100000000000.00|100000000000.00"));
}

TEST_F(QuickSaleTool, SellsOnlyWhatTheCounterOffersAndTakesTheChosenPaymentType)
{
    // Hidden from the counter's list (status 2), and a service of another category.
    SqliteRows(db, QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, RunPrice1) VALUES "
                                  "(503, 999, 'Old Copies', 2, 10), (504, 50, 'Folding', 0, 10)"));
    SqliteRows(db, QStringLiteral("INSERT INTO PaymentTypes ([No], Name, Sort) VALUES (41, 'Check', 41), "
                                  "(42, '~Voucher', 42)"));
    for (const char *line : {"503:1", "504:1"}) {
        const ToolRun r = RunDbTool({QStringLiteral("quicksale"), db, QStringLiteral("0"), QStringLiteral("5"),
                                     QStringLiteral("501:1"), QLatin1String(line)});
        EXPECT_EQ(r.exitCode, 1) << line;
        EXPECT_EQ(r.err, QStringLiteral("Service %1 is not sold at the counter.\n").arg(QString::fromLatin1(line).left(3)));
    }
    // A retired type is not offered.
    ToolRun r = RunDbTool({QStringLiteral("quicksale"), db, QStringLiteral("0"), QStringLiteral("5"),
                           QStringLiteral("501:1"), QStringLiteral("--paid-by"), QStringLiteral("42")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Please select a payment type.\n"));
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT count(*) FROM Payments")), QStringLiteral("0"));

    r = RunDbTool({QStringLiteral("quicksale"), db, QStringLiteral("0"), QStringLiteral("5"), QStringLiteral("501:1"),
                   QStringLiteral("--paid-by"), QStringLiteral("41")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT Amount, PaidBy FROM Payments")), QStringLiteral("0.12|41"));
}

} // namespace
