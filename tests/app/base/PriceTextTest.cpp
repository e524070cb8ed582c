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

TEST_F(PriceTextTest, PricesAndUnitPrices)
{
    EXPECT_EQ(FormatPrice(Money()), QStringLiteral("?"));
    EXPECT_EQ(FormatPrice(Money::fromUnits(-1)), QStringLiteral("No Charge"));
    EXPECT_EQ(FormatPrice(money("-1234.565")), QStringLiteral("-1,234.57"));
    EXPECT_EQ(CentsToCurrency(1), Money::noChargeMarker());
    EXPECT_EQ(CentsToCurrency(-1).units(), -100);
    EXPECT_EQ(FormatRate(money("30"), 30, 0, 2, true), QStringLiteral("60.00/Hr"));

    QString out = QStringLiteral("old");
    FormatUnitPrice(out, money("12"), 1000, 2);
    EXPECT_EQ(out, QStringLiteral("12.00/M"));
    // Rounded at the decimals shown, half away from zero, never truncated.
    FormatUnitPrice(out, money("74.51"), 2000, 1);
    EXPECT_EQ(out, QStringLiteral("0.0373/Ea"));
    FormatUnitPrice(out, money("193.89"), 1000, 1);
    EXPECT_EQ(out, QStringLiteral("0.1939/Ea"));
    FormatUnitPrice(out, money("-74.51"), 2000, 1);
    EXPECT_EQ(out, QStringLiteral("-0.0373/Ea"));
    FormatUnitPrice(out, money("74.51"), 2001, 1);
    EXPECT_EQ(out, QStringLiteral("0.0372/Ea"));
    // 0.25 for 2,000 is 0.125 a thousand: 0.13, half away from zero.
    FormatUnitPrice(out, money("0.25"), 2000, 2);
    EXPECT_EQ(out, QStringLiteral("0.13/M"));
    FormatUnitPrice(out, Money::noChargeMarker(), 1, 1);
    EXPECT_EQ(out, QStringLiteral("0.0001/Ea"));
    FormatUnitPrice(out, money("12"), 0, 2);
    EXPECT_EQ(out, QString());

    // Mode 0 asks the shop's setting row; without one, per each.
    FormatUnitPrice(out, money("12"), 1000, 0);
    EXPECT_EQ(out, QStringLiteral("0.0120/Ea"));
    SetSettingRowReader([](int kind, int item, const QString &defaultText) {
        return kind == 251 && item == 0 && defaultText == QLatin1String("1") ? QStringLiteral("2") : QString();
    });
    FormatUnitPrice(out, money("12"), 1000, 0);
    EXPECT_EQ(out, QStringLiteral("12.00/M"));
}

TEST_F(PriceTextTest, ElapsedTimeAndNow)
{
    const QDateTime current(QDate(2011, 3, 16), QTime(15, 5, 0));
    platform::Clock::setFixed(current);
    auto elapsed = [&](int seconds) {
        DateTime start = DateTime::fromDateTime(current.addSecs(-seconds));
        QString out;
        FormatElapsedTime(out, start);
        return out.toStdString();
    };
    EXPECT_EQ(elapsed(1), "one second");
    EXPECT_EQ(elapsed(59), "59 seconds");
    EXPECT_EQ(elapsed(61), "1 minute 1 seconds");
    EXPECT_EQ(elapsed(150), "3 minutes");
    EXPECT_EQ(elapsed(3599), "60 minutes");
    EXPECT_EQ(elapsed(2 * 86400 + 3 * 3600 + 4 * 60 + 5), "51:04:05");

    DateTime unset(0.0);
    QString out;
    FormatElapsedTime(out, unset);
    EXPECT_EQ(out, QStringLiteral("15:05:00"));
    EXPECT_EQ(unset, DateTime(2011, 3, 16, 15, 5, 0));

    EXPECT_EQ(FormatNowLong(2), QStringLiteral("Wednesday, March 16, 2011   03:05 PM"));
    EXPECT_EQ(DateToText(DateTime::null()), QString());
    // Day 0 is an empty date field's value: it shows empty, the day after not.
    EXPECT_EQ(DateToText(DateTime(0.0)), QString());
    EXPECT_EQ(DateToText(DateTime(1.0)), QStringLiteral("12/31/1899"));
}

TEST_F(PriceTextTest, FieldValuesAsListText)
{
    using platform::FieldType;
    using platform::Value;
    EXPECT_EQ(VariantToText(Value::nullOf(FieldType::Long)), QString());
    EXPECT_EQ(VariantToText(Value(std::int64_t(200), FieldType::Byte)), QStringLiteral("200"));
    EXPECT_EQ(VariantToText(Value(2.7)), QStringLiteral("3"));
    EXPECT_EQ(VariantToText(Value(money("1234.565"))), QStringLiteral("1234.57"));
    EXPECT_EQ(VariantToText(Value(QStringLiteral("Two\rOne\nThree"))), QStringLiteral("Two"));
    EXPECT_EQ(VariantToText(Value(false)), QStringLiteral("FALSE"));
    EXPECT_EQ(VariantToText(Value(QStringLiteral("x"), FieldType::Guid)), QStringLiteral("!"));
}

TEST_F(PriceTextTest, SizesAndInks)
{
    const QString letter = QStringLiteral("8.5 x 11");
    EXPECT_EQ(CompareSizes(letter, QStringLiteral("11 x 8.5"), 1), 0.0f);
    EXPECT_EQ(CompareSizes(letter, QStringLiteral("8 X 11.5"), 1), -1.0f); // one side too long
    EXPECT_EQ(CompareSizes(letter, QStringLiteral("5.5 x 8.5"), 1), 1.0f);
    EXPECT_FLOAT_EQ(CompareSizes(letter, QStringLiteral("2 x 3"), 2), 93.5f - 12.0f);

    EXPECT_EQ(GetInkColorsText(2, true), QStringLiteral("~Black+1"));
    const QString sep = QStringLiteral(" / ");
    EXPECT_EQ(FormatInkText(QStringLiteral("Front: "), 1, false, QStringLiteral("Back: Black"), sep, 0),
              QStringLiteral("Front: Black / Back: Black"));
    // Only the second code set: the first side's name is the blank of item 0.
    EXPECT_EQ(FormatInkText(QStringLiteral("F:"), 0, false, QStringLiteral("B: 1 Color"), sep, 6),
              QStringLiteral("F:  / B: 1 Color"));
    EXPECT_EQ(FormatInkText(QStringLiteral("F:"), 0, false, QStringLiteral("B"), sep, 0), QString());
}
