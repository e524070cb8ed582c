#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Money.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/Value.h"
#include "support/TestEnvironment.h"

#include <QtCore/QFile>

using platform::FieldType;
using platform::Value;

TEST(Money, ConversionsRoundHalfAwayFromZero)
{
    EXPECT_EQ(Money::fromDouble(2.34565).units(), 23457);
    EXPECT_EQ(Money::fromDouble(-2.34565).units(), -23457);
    EXPECT_EQ(Money::fromDouble(0.00005).units(), 1);
    EXPECT_EQ(Money::fromDouble(0.1 + 0.2).units(), 3000);
    EXPECT_EQ(Money::fromText(QStringLiteral("1,234.56789")).units(), 12345679);
    EXPECT_EQ(Money::fromText(QStringLiteral("-.5")).units(), -5000);
    EXPECT_FALSE(Money::fromText(QStringLiteral("12a")).isValid());
    EXPECT_EQ(Money::fromUnits(-125000).toPlainText(), QStringLiteral("-12.5"));
    EXPECT_EQ(Money::fromWhole(7).toPlainText(), QStringLiteral("7"));
}

TEST(Money, ExactArithmeticAndNoChargeMarker)
{
    Money sum;
    for (int i = 0; i < 1000; ++i)
        sum += Money::fromText(QStringLiteral("0.10"));
    EXPECT_EQ(sum, Money::fromWhole(100));
    EXPECT_TRUE(Money::noChargeMarker().isNoCharge());
    EXPECT_TRUE((-Money::noChargeMarker()).isNoCharge());
    EXPECT_FALSE(Money::fromUnits(2).isNoCharge());
    EXPECT_EQ(Money::fromUnits(150).roundedToCentsHalfAway().units(), 200);
    EXPECT_EQ(Money::fromUnits(-150).roundedToCentsHalfAway().units(), -200);
    EXPECT_EQ(Money::fromUnits(149).roundedToCentsHalfAway().units(), 100);
    EXPECT_EQ((Money::fromUnits(-7) / 2).units(), -3);
}

TEST(DateTime, OleDatesBothSidesOfTheEpoch)
{
    EXPECT_EQ(DateTime(2011, 3, 16).toOle(), 40618.0);
    EXPECT_EQ(DateTime(40618.5).time(), QTime(12, 0));
    EXPECT_EQ(DateTime(-1.25).date(), QDate(1899, 12, 29));
    EXPECT_EQ(DateTime(-1.25).time(), QTime(6, 0));
    EXPECT_EQ(DateTime(1899, 12, 29, 6, 0).toOle(), -1.25);
    EXPECT_EQ(DateTime(2011, 3, 16).dateText(), QStringLiteral("03/16/2011"));
    EXPECT_EQ(DateTime(2011, 3, 16).dayOfWeek(), 4); // Wednesday
    EXPECT_EQ(DateTime::fromText(QStringLiteral("2/29/2012 1:05 PM")).format(QStringLiteral("%Y-%m-%d %H:%M")),
              QStringLiteral("2012-02-29 13:05"));
    EXPECT_FALSE(DateTime::fromText(QStringLiteral("2/30/2011")).isValid());
    EXPECT_EQ(DateTime::fromDate(QDate()).isNull(), true);
}

TEST(Value, ConversionsFollowTheEngine)
{
    EXPECT_TRUE(Value().isNull());
    EXPECT_EQ(Value(2.9).toInt(), 2);
    EXPECT_EQ(Value(-2.9).toInt(), -2);
    EXPECT_EQ(Value(true).toInt(), -1);
    EXPECT_EQ(Value(QStringLiteral("12.5")).toMoney().units(), 125000);
    EXPECT_EQ(Value(Money::fromUnits(12345)).toString(), QStringLiteral("1.2345"));
    EXPECT_EQ(Value(DateTime(2011, 3, 16)).toString(), QStringLiteral("3/16/2011"));
    EXPECT_EQ(platform::fieldTypeFromName(QStringLiteral("Text(50)")), FieldType::Text);
    EXPECT_EQ(platform::fieldTypeFromName(QStringLiteral("Currency")), FieldType::Currency);
    EXPECT_EQ(platform::fieldTypeFromName(QStringLiteral("Memo")), FieldType::Memo);
}

class PlatformServices : public TavrelTest
{
};

TEST_F(PlatformServices, PromptsAreAnsweredAndRecorded)
{
    prompts().answer(platform::IDNO);
    EXPECT_EQ(platform::Prompt::messageBox(QStringLiteral("Delete?"), QString(), platform::MB_YESNO),
              platform::IDNO);
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Delete?"));
    EXPECT_EQ(prompts().shown().first().caption, QStringLiteral("Tavrel"));
    EXPECT_THROW(platform::Prompt::messageBox(QStringLiteral("Unexpected")), platform::UnansweredPrompt);
}

TEST_F(PlatformServices, SettingsLandInTheIniFileAndEmptyDeletes)
{
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("TavrelPath"), QStringLiteral("/x/TavrelData.mdb"));
    platform::Settings::writeInt(QStringLiteral("View Settings"), QStringLiteral("ShowTabID"), 30001);
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("Gone"), QStringLiteral("1"));
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("Gone"), QString());
    platform::Settings::sync();
    QFile f(platform::Settings::fileName());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString ini = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(ini.contains(QStringLiteral("[Settings]\nTavrelPath=/x/TavrelData.mdb")));
    EXPECT_TRUE(ini.contains(QStringLiteral("[View%20Settings]\nShowTabID=30001")));
    EXPECT_FALSE(ini.contains(QStringLiteral("Gone")));
    EXPECT_EQ(platform::Settings::readInt(QStringLiteral("View Settings"), QStringLiteral("ShowTabID"), 1), 30001);
}

TEST_F(PlatformServices, ClockCanBeFixed)
{
    platform::Clock::setFixed(QDateTime(QDate(2011, 3, 16), QTime(9, 30)));
    EXPECT_EQ(platform::Clock::today(), QDate(2011, 3, 16));
}
