#include "app/base/PriceText.h"
#include "platform/Clock.h"
#include "support/TestEnvironment.h"

namespace {

class PriceTextTest : public TavrelTest
{
protected:
    void TearDown() override
    {
        SetSettingRowReader({});
        TavrelTest::TearDown();
    }
};

Money money(const char *text)
{
    return Money::fromText(QLatin1String(text));
}

} // namespace

TEST_F(PriceTextTest, PricesAndTheNoChargeMarker)
{
    EXPECT_EQ(FormatPrice(Money()), QStringLiteral("?"));
    EXPECT_EQ(FormatPrice(Money::fromUnits(-1)), QStringLiteral("No Charge"));
    EXPECT_EQ(FormatPrice(Money::fromUnits(1)), QStringLiteral("No Charge"));
    EXPECT_EQ(FormatPrice(Money::fromUnits(2)), QStringLiteral("0.00"));
    EXPECT_EQ(FormatPrice(money("-1234.565")), QStringLiteral("-1,234.57"));

    EXPECT_EQ(CentsToCurrency(1), Money::noChargeMarker());
    EXPECT_EQ(CentsToCurrency(2).units(), 200);
    EXPECT_EQ(CentsToCurrency(-1).units(), -100);
    EXPECT_EQ(CentsToCurrency(0).units(), 0);
    EXPECT_EQ(FormatCurrencyValue(123456789), QStringLiteral("12,345.68"));
}

TEST_F(PriceTextTest, RatesAndUnitPrices)
{
    EXPECT_EQ(FormatRate(money("30"), 30, 0, 2, true), QStringLiteral("60.00/Hr"));
    EXPECT_EQ(FormatRate(money("25"), 2500, 2, 2, true), QStringLiteral("10.00/M"));
    EXPECT_EQ(FormatRate(money("5"), 4, 1, 4, false), QStringLiteral("1.2500"));
    EXPECT_EQ(FormatRate(money("80"), 0, 3, 2, true), QStringLiteral("80.00 Total"));

    QString out = QStringLiteral("old");
    FormatUnitPrice(out, money("12"), 1000, 2);
    EXPECT_EQ(out, QStringLiteral("12.00/M"));
    FormatUnitPrice(out, money("12"), 1000, 1);
    EXPECT_EQ(out, QStringLiteral("0.0120/Ea"));
    FormatUnitPrice(out, money("12"), 1000, 7);
    EXPECT_EQ(out, QStringLiteral("0.0120/Ea"));
    FormatUnitPrice(out, Money::noChargeMarker(), 1, 1);
    EXPECT_EQ(out, QStringLiteral("0.0001/Ea"));
    FormatUnitPrice(out, Money(), 1000, 2);
    EXPECT_EQ(out, QString());
    out = QStringLiteral("old");
    FormatUnitPrice(out, money("12"), 0, 2);
    EXPECT_EQ(out, QString());
}

TEST_F(PriceTextTest, UnitPriceModeZeroTakesTheShopsChoice)
{
    QString out;
    // No reader (or no row): the shop default, per each.
    FormatUnitPrice(out, money("12"), 1000, 0);
    EXPECT_EQ(out, QStringLiteral("0.0120/Ea"));

    int asked = 0;
    SetSettingRowReader([&](int kind, int item, const QString &defaultText) {
        ++asked;
        EXPECT_EQ(kind, 251);
        EXPECT_EQ(item, 0);
        EXPECT_EQ(defaultText, QStringLiteral("1"));
        return QStringLiteral("2");
    });
    FormatUnitPrice(out, money("12"), 1000, 0);
    EXPECT_EQ(out, QStringLiteral("12.00/M"));
    FormatUnitPrice(out, money("12"), 1000, 1); // an explicit mode asks nothing
    EXPECT_EQ(asked, 1);
}

TEST_F(PriceTextTest, ElapsedTimeInWords)
{
    const QDateTime current(QDate(2011, 3, 16), QTime(15, 30, 0));
    platform::Clock::setFixed(current);
    auto elapsed = [&](int seconds) {
        DateTime start = DateTime::fromDateTime(current.addSecs(-seconds));
        QString out;
        FormatElapsedTime(out, start);
        return out;
    };
    EXPECT_EQ(elapsed(0), QStringLiteral("less than a second"));
    EXPECT_EQ(elapsed(1), QStringLiteral("one second"));
    EXPECT_EQ(elapsed(2), QStringLiteral("2 seconds"));
    EXPECT_EQ(elapsed(59), QStringLiteral("59 seconds"));
    EXPECT_EQ(elapsed(60), QStringLiteral("1 minute 0 seconds"));
    EXPECT_EQ(elapsed(61), QStringLiteral("1 minute 1 seconds"));
    EXPECT_EQ(elapsed(119), QStringLiteral("1 minute 59 seconds"));
    EXPECT_EQ(elapsed(120), QStringLiteral("2 minutes"));
    EXPECT_EQ(elapsed(149), QStringLiteral("2 minutes"));
    EXPECT_EQ(elapsed(150), QStringLiteral("3 minutes"));
    EXPECT_EQ(elapsed(3599), QStringLiteral("60 minutes"));
    EXPECT_EQ(elapsed(3600), QStringLiteral("01:00:00"));
    EXPECT_EQ(elapsed(2 * 86400 + 3 * 3600 + 4 * 60 + 5), QStringLiteral("51:04:05"));

    DateTime unset(0.0);
    QString out;
    FormatElapsedTime(out, unset);
    EXPECT_EQ(out, QStringLiteral("15:30:00"));
    EXPECT_EQ(unset, DateTime(2011, 3, 16, 15, 30, 0));
}

TEST_F(PriceTextTest, DatesAndNow)
{
    platform::Clock::setFixed(QDateTime(QDate(2011, 3, 16), QTime(15, 5, 0)));
    EXPECT_EQ(FormatNowLong(0), QStringLiteral("Wednesday, March 16, 2011"));
    EXPECT_EQ(FormatNowLong(1), QStringLiteral("03:05 PM"));
    EXPECT_EQ(FormatNowLong(2), QStringLiteral("Wednesday, March 16, 2011   03:05 PM"));
    EXPECT_EQ(FormatNow(QStringLiteral("%Y-%m-%d %H:%M")), QStringLiteral("2011-03-16 15:05"));

    EXPECT_EQ(DateToText(DateTime(2011, 3, 6, 13, 0)), QStringLiteral("03/06/2011"));
    EXPECT_EQ(DateToText(DateTime::invalid()), QString());
    EXPECT_EQ(DateToText(DateTime::null()), QString());
    EXPECT_TRUE(IsDateValid(DateTime(1899, 12, 30)));
    EXPECT_FALSE(IsDateValid(DateTime(2011, 2, 29)));
}

TEST_F(PriceTextTest, FieldValuesAsListText)
{
    using platform::FieldType;
    using platform::Value;
    EXPECT_EQ(VariantToText(Value()), QString());
    EXPECT_EQ(VariantToText(Value::nullOf(FieldType::Long)), QString());
    EXPECT_EQ(VariantToText(Value(std::int64_t(200), FieldType::Byte)), QStringLiteral("200"));
    EXPECT_EQ(VariantToText(Value(std::int64_t(-12), FieldType::Integer)), QStringLiteral("-12"));
    EXPECT_EQ(VariantToText(Value(-123456)), QStringLiteral("-123456"));
    EXPECT_EQ(VariantToText(Value(8.5f)), QStringLiteral("8.5"));
    EXPECT_EQ(VariantToText(Value(1234.4)), QStringLiteral("1234"));
    EXPECT_EQ(VariantToText(Value(2.7)), QStringLiteral("3"));
    EXPECT_EQ(VariantToText(Value(money("1234.565"))), QStringLiteral("1234.57"));
    EXPECT_EQ(VariantToText(Value(DateTime(2011, 3, 16, 9, 30))), QStringLiteral("03/16/2011"));
    EXPECT_EQ(VariantToText(Value(QStringLiteral("First line\r\nSecond"))), QStringLiteral("First line"));
    EXPECT_EQ(VariantToText(Value(QStringLiteral("One\nTwo\rThree"), FieldType::Memo)), QStringLiteral("One"));
    EXPECT_EQ(VariantToText(Value(QStringLiteral("Two\rOne\nThree"))), QStringLiteral("Two"));
    EXPECT_EQ(VariantToText(Value(true)), QStringLiteral("TRUE"));
    EXPECT_EQ(VariantToText(Value(false)), QStringLiteral("FALSE"));
    EXPECT_EQ(VariantToText(Value(QStringLiteral("x"), FieldType::Guid)), QStringLiteral("!"));
    EXPECT_EQ(VariantToText(Value(QStringLiteral("x"), FieldType::Binary)), QStringLiteral("!"));
}

TEST_F(PriceTextTest, SizesCompare)
{
    const QString letter = QStringLiteral("8.5 x 11");
    EXPECT_EQ(CompareSizes(letter, QStringLiteral("11 x 8.5"), 1), 0.0f);
    EXPECT_EQ(CompareSizes(letter, QStringLiteral("9 x 12"), 1), -1.0f);
    EXPECT_EQ(CompareSizes(letter, QStringLiteral("5.5 x 8.5"), 1), 1.0f);
    EXPECT_EQ(CompareSizes(letter, QStringLiteral("8 X 11.5"), 1), -1.0f); // one side too long
    EXPECT_EQ(CompareSizes(letter, QStringLiteral("8.5 x 10"), 1), 1.0f);
    EXPECT_FLOAT_EQ(CompareSizes(letter, QStringLiteral("4.25 x 5.5"), 4), 0.0f);
    EXPECT_FLOAT_EQ(CompareSizes(letter, QStringLiteral("2 x 3"), 2), 93.5f - 12.0f);
    EXPECT_FLOAT_EQ(CompareSizes(QStringLiteral("12"), letter, 0), 0.0f);
}

TEST_F(PriceTextTest, InkTexts)
{
    EXPECT_EQ(GetInkColorsText(0, false), QStringLiteral(" "));
    EXPECT_EQ(GetInkColorsText(2, false), QStringLiteral("Black + 1 Color"));
    EXPECT_EQ(GetInkColorsText(2, true), QStringLiteral("~Black+1"));
    EXPECT_EQ(GetInkColorsText(6, false), QStringLiteral("1 Color"));
    EXPECT_EQ(GetInkColorsText(4, true), QStringLiteral("Color"));
    EXPECT_EQ(GetInkColorsText(200, false), QString());

    const QString sep = QStringLiteral(" / ");
    EXPECT_EQ(FormatInkText(QStringLiteral("Front: "), 1, false, QStringLiteral("Back: Black"), sep, 0),
              QStringLiteral("Front: Black / Back: Black"));
    EXPECT_EQ(FormatInkText(QStringLiteral("Front: "), 1, true, QString(), sep, 0), QStringLiteral("Front: Black"));
    // Only the second code set: the first side's name is the blank of item 0.
    EXPECT_EQ(FormatInkText(QStringLiteral("F:"), 0, false, QStringLiteral("B: 1 Color"), sep, 6),
              QStringLiteral("F:  / B: 1 Color"));
    EXPECT_EQ(FormatInkText(QStringLiteral("F:"), 0, false, QStringLiteral("B"), sep, 0), QString());
}
