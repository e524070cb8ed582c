#include "app/base/TypedValue.h"

#include <gtest/gtest.h>

#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QWidget>

// Typed texts and the value each reading keeps of them, or refused.
struct NumberCase
{
    const char *text;
    bool reads;
    long long value; // whole: the number; fixed: the number x 100; money: ten-thousandths
};

void PrintTo(const NumberCase &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class TypedWholeTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(TypedWholeTest, ReadsTheWholeTextOrRefusesIt)
{
    std::int32_t value = -77;
    EXPECT_EQ(ReadTypedWhole(QString::fromLatin1(GetParam().text), value), GetParam().reads);
    EXPECT_EQ(value, GetParam().reads ? GetParam().value : -77);
}

INSTANTIATE_TEST_SUITE_P(Numbers, TypedWholeTest, ::testing::Values(
    NumberCase{"1,000", true, 1000}, NumberCase{" 1000 ", true, 1000}, NumberCase{"1e3", true, 1000},
    NumberCase{"1.5e3", true, 1500}, NumberCase{"1,234,567", true, 1234567}, NumberCase{"-1,250", true, -1250},
    NumberCase{"+7", true, 7}, NumberCase{"0", true, 0}, NumberCase{"007", true, 7},
    NumberCase{"2147483647", true, 2147483647}, NumberCase{"-2147483648", true, -2147483648LL},
    NumberCase{"2147483648", false, 0}, NumberCase{"1e-3", false, 0}, NumberCase{"1.5", false, 0},
    NumberCase{"1.0", true, 1}, NumberCase{"12abc", false, 0}, NumberCase{"1,00", false, 0},
    NumberCase{"10,00", false, 0}, NumberCase{"1000,000", false, 0}, NumberCase{",100", false, 0},
    NumberCase{"1,000,", false, 0}, NumberCase{"1 000", false, 0}, NumberCase{"", false, 0},
    NumberCase{"-", false, 0}, NumberCase{"e3", false, 0}, NumberCase{"1e", false, 0},
    NumberCase{"$5", false, 0}));

// A quantity is a count of 0 up to the largest count the program takes,
// 1,000,000,000 (what it makes of it stays within 32 bits).
TEST(TypedQuantity, TakesCountsUpToTheLargest)
{
    const struct
    {
        const char *text;
        long long value; // -1: refused
        const char *message;
    } rows[] = {
        {"0", 0, nullptr},
        {"1,000,000,000", 1000000000, nullptr},
        {"1e9", 1000000000, nullptr},
        {"1,000,000,001", -1, "Please enter a quantity from 0 to 1,000,000,000."},
        {"1073741824", -1, "Please enter a quantity from 0 to 1,000,000,000."},
        {"2147483648", -1, "Please enter a quantity from 0 to 1,000,000,000."},
        {"99999999999999999999", -1, "Please enter a quantity from 0 to 1,000,000,000."},
        {"-5", -1, "Please enter a quantity."},
        {"2.5", -1, "Please enter a quantity."},
        {"abc", -1, "Please enter a quantity."},
    };
    for (const auto &row : rows) {
        std::int32_t value = -77;
        const QString text = QString::fromLatin1(row.text);
        EXPECT_EQ(ReadTypedQuantity(text, value), row.value >= 0) << row.text;
        EXPECT_EQ(value, row.value >= 0 ? row.value : -77) << row.text;
        if (row.message)
            EXPECT_EQ(TypedQuantityMessage(text), QString::fromLatin1(row.message)) << row.text;
    }
}

class TypedFixedTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(TypedFixedTest, KeepsTwoDecimalsWholeOrRefuses)
{
    std::int64_t value = -77;
    EXPECT_EQ(ReadTypedFixed(QString::fromLatin1(GetParam().text), 2, value), GetParam().reads);
    EXPECT_EQ(value, GetParam().reads ? GetParam().value : -77);
}

INSTANTIATE_TEST_SUITE_P(Numbers, TypedFixedTest, ::testing::Values(
    NumberCase{"12.3", true, 1230}, NumberCase{".5", true, 50}, NumberCase{"-1.5", true, -150},
    NumberCase{"12.", true, 1200}, NumberCase{"1,234.56", true, 123456}, NumberCase{"12.340", true, 1234},
    NumberCase{"12.345", false, 0}, NumberCase{"12.3.4", false, 0}, NumberCase{"1.2e1", true, 1200},
    NumberCase{"12,34", false, 0}, NumberCase{"9999999999999999.99", true, 999999999999999999LL},
    NumberCase{"-9999999999999999.99", true, -999999999999999999LL}, NumberCase{"00000000000000012.30", true, 1230},
    NumberCase{"92233720368547758.07", false, 0}, NumberCase{"999999999999999999.99", false, 0}));

class TypedMoneyTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(TypedMoneyTest, ReadsAmountsToTheTenThousandth)
{
    Money value = Money::fromUnits(-77);
    EXPECT_EQ(ReadTypedMoney(QString::fromLatin1(GetParam().text), value), GetParam().reads);
    EXPECT_EQ(value.units(), GetParam().reads ? GetParam().value : -77);
}

INSTANTIATE_TEST_SUITE_P(Amounts, TypedMoneyTest, ::testing::Values(
    NumberCase{"$1,234.50", true, 12345000}, NumberCase{"-$5", true, -50000}, NumberCase{"$-5", true, -50000},
    NumberCase{"0.0001", true, 1}, NumberCase{"0.00015", false, 0}, NumberCase{"12.5abc", false, 0},
    NumberCase{"abc", false, 0}, NumberCase{"1,0", false, 0}, NumberCase{"922337203685477.5807", false, 0},
    // The largest amount the program takes, either way, and one
    // ten-thousandth past it; 900,000,000,000 (past 2^39, where a stored
    // amount no longer keeps every ten-thousandth) is refused.
    NumberCase{"100,000,000,000.0000", true, 1000000000000000LL},
    NumberCase{"-100000000000", true, -1000000000000000LL}, NumberCase{"100,000,000,000.0001", false, 0},
    NumberCase{"-100000000000.0001", false, 0}, NumberCase{"99,999,999,999.9999", true, 999999999999999LL},
    NumberCase{"900000000000", false, 0}, NumberCase{"92233720368547.58", false, 0},
    NumberCase{"99,999,999,999,999.99", false, 0}));

// A money field of two decimals holds cents: a third decimal is refused,
// never rounded, and each refusal says why.
TEST(TypedMoneyInCents, RefusesMoreDecimalsThanTheFieldHolds)
{
    const struct
    {
        const char *text;
        long long units; // -1: refused
        const char *message;
    } rows[] = {
        {"12.34", 123400, nullptr},
        {"12.340", 123400, nullptr},
        {"12.345", -1, "Please enter an amount with at most 2 decimals."},
        {"0.0001", -1, "Please enter an amount with at most 2 decimals."},
        {"1e3", 10000000, nullptr},
        {"$100,000,000,000.00", 1000000000000000LL, nullptr},
        {"99,999,999,999.99", 999999999999900LL, nullptr},
        {"100,000,000,000.01", -1, "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00."},
        {"900,000,000,000.00", -1, "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00."},
        {"99999999999999.99", -1, "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00."},
        {"25OO", -1, "Please enter a currency."},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        Money value = Money::fromUnits(-77);
        const QString text = QString::fromLatin1(row.text);
        EXPECT_EQ(ReadTypedMoney(text, value, 2), row.units >= 0);
        EXPECT_EQ(value.units(), row.units >= 0 ? row.units : -77);
        if (row.message)
            EXPECT_EQ(TypedMoneyMessage(text), QString::fromLatin1(row.message));
    }
}

struct TimeCase
{
    const char *text;
    int minutes; // -1: refused
};

void PrintTo(const TimeCase &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class TypedDurationTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TypedDurationTest, ReadsHoursAndMinutes)
{
    std::int32_t minutes = -7;
    EXPECT_EQ(ReadTypedDuration(QString::fromLatin1(GetParam().text), minutes), GetParam().minutes >= 0);
    EXPECT_EQ(minutes, GetParam().minutes >= 0 ? GetParam().minutes : -7);
}

INSTANTIATE_TEST_SUITE_P(Durations, TypedDurationTest, ::testing::Values(
    TimeCase{"1:30", 90}, TimeCase{"0:07", 7}, TimeCase{":45", 45}, TimeCase{"1.30", 90}, TimeCase{"3", 180},
    TimeCase{"25:00", 1500}, TimeCase{"1,000", 60000}, TimeCase{"1:59", 119}, TimeCase{"1:60", -1},
    TimeCase{"1:5", -1}, TimeCase{"1.5", -1}, TimeCase{"1:30pm", -1}, TimeCase{"abc", -1}, TimeCase{"-1:00", -1},
    TimeCase{"2:", -1}));

class TypedTimeOfDayTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TypedTimeOfDayTest, ReadsClockTimes)
{
    std::int32_t minutes = -7;
    EXPECT_EQ(ReadTypedTimeOfDay(QString::fromLatin1(GetParam().text), minutes), GetParam().minutes >= 0);
    EXPECT_EQ(minutes, GetParam().minutes >= 0 ? GetParam().minutes : -7);
}

INSTANTIATE_TEST_SUITE_P(Clock, TypedTimeOfDayTest, ::testing::Values(
    TimeCase{"14:30", 870}, TimeCase{"2:30 pm", 870}, TimeCase{"2 pm", 840}, TimeCase{"2:30 p.m.", 870},
    TimeCase{"12 am", 0}, TimeCase{"12:15 pm", 735}, TimeCase{"noon", 720}, TimeCase{"Midnight", 0},
    TimeCase{"0:00", 0}, TimeCase{"23:59", 1439}, TimeCase{"24:00", -1}, TimeCase{"25:00", -1},
    TimeCase{"10:60", -1}, TimeCase{"13 pm", -1}, TimeCase{"0 am", -1}, TimeCase{"10", -1},
    TimeCase{"10:5", -1}, TimeCase{"12:00 noon", 720}, TimeCase{"12 Midnight", 0}, TimeCase{"11:15 P. M.", 1395},
    TimeCase{"1:00 noon", -1}));

struct DateCase
{
    const char *text;
    int section;
    QDate date; // invalid: refused
};

void PrintTo(const DateCase &c, std::ostream *os)
{
    *os << '"' << c.text << "\" part " << c.section;
}

class TypedDateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(TypedDateTest, ReadsTheWholeDateOverTheOneShown)
{
    const QDate current(2025, 12, 9);
    QDate read(1999, 1, 1);
    EXPECT_EQ(ReadTypedDate(QString::fromLatin1(GetParam().text), current, GetParam().section, read),
              GetParam().date.isValid());
    EXPECT_EQ(read, GetParam().date.isValid() ? GetParam().date : QDate(1999, 1, 1));
}

INSTANTIATE_TEST_SUITE_P(Dates, TypedDateTest, ::testing::Values(
    DateCase{"11/20/2026", 0, QDate(2026, 11, 20)}, DateCase{"11/20/2026", 2, QDate(2026, 11, 20)},
    DateCase{"06/15/2026", 1, QDate(2026, 6, 15)}, DateCase{"1/5/26", 0, QDate(2026, 1, 5)},
    DateCase{"1-5-2026", 0, QDate(2026, 1, 5)}, DateCase{"1.5.2026", 0, QDate(2026, 1, 5)},
    DateCase{"11202026", 0, QDate(2026, 11, 20)}, DateCase{"112026", 0, QDate(2026, 11, 20)},
    DateCase{"3/4", 0, QDate(2025, 3, 4)}, DateCase{"2/29/2024", 0, QDate(2024, 2, 29)},
    DateCase{"2/29/2025", 0, QDate()}, DateCase{"13/13/2025", 0, QDate()}, DateCase{"0/10/2025", 0, QDate()},
    DateCase{"4/31/2025", 0, QDate()}, DateCase{"12/31/9999", 0, QDate(9999, 12, 31)},
    DateCase{"1/1/1600", 0, QDate()}, DateCase{"11/20/202", 0, QDate()}, DateCase{"11//2026", 0, QDate()},
    DateCase{"5", 0, QDate(2025, 5, 9)}, DateCase{"15", 1, QDate(2025, 12, 15)},
    DateCase{"2027", 2, QDate(2027, 12, 9)}, DateCase{"27", 2, QDate(2027, 12, 9)},
    DateCase{"15", 0, QDate()}, DateCase{"32", 1, QDate()}, DateCase{"2027", 0, QDate()},
    DateCase{"abc", 0, QDate()}, DateCase{"", 0, QDate()}));

TEST(TypedRate, KeepsAPercentWithinItsRange)
{
    double rate = -1;
    EXPECT_TRUE(ReadTypedRate(QStringLiteral("12.5"), 0, 100, rate));
    EXPECT_DOUBLE_EQ(rate, 12.5);
    EXPECT_TRUE(ReadTypedRate(QStringLiteral("0.5 %"), 0, 100, rate));
    EXPECT_DOUBLE_EQ(rate, 0.5);
    EXPECT_TRUE(ReadTypedRate(QStringLiteral("100"), 0, 100, rate));
    EXPECT_DOUBLE_EQ(rate, 100);
    rate = -1;
    EXPECT_FALSE(ReadTypedRate(QStringLiteral("101"), 0, 100, rate));
    EXPECT_FALSE(ReadTypedRate(QStringLiteral("-5"), 0, 100, rate));
    EXPECT_FALSE(ReadTypedRate(QStringLiteral("10x"), 0, 100, rate));
    EXPECT_DOUBLE_EQ(rate, -1);
}

// Refusals name the field by its label: its buddy, else the label on its row.
TEST(TypedRefusal, NamesTheFieldByItsLabel)
{
    QWidget window;
    auto *buddy = new QLabel(QStringLiteral("&Shipping:"), &window);
    buddy->setGeometry(10, 10, 80, 20);
    auto *shipping = new QLineEdit(&window);
    shipping->setGeometry(100, 10, 100, 20);
    buddy->setBuddy(shipping);
    auto *label = new QLabel(QStringLiteral("Postage"), &window);
    label->setGeometry(10, 40, 80, 20);
    auto *postage = new QLineEdit(&window);
    postage->setGeometry(100, 40, 100, 20);
    auto *free = new QLineEdit(&window);
    free->setGeometry(100, 200, 100, 20);
    EXPECT_EQ(FieldName(shipping), "Shipping");
    EXPECT_EQ(FieldName(postage), "Postage");
    EXPECT_EQ(FieldName(free), "");
    free->setProperty("fieldName", QStringLiteral("Memo"));
    EXPECT_EQ(FieldName(free), "Memo");
    EXPECT_EQ(FieldMessage(QStringLiteral("Postage"), TypedValueMessage(ValueKind::Money)),
              "Postage: Please enter a currency.");
    EXPECT_EQ(FieldMessage(QString(), TypedValueMessage(ValueKind::Money)), "Please enter a currency.");
}
