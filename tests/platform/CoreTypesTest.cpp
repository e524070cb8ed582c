#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Money.h"
#include "platform/MoneyLines.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/Value.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <limits>
#include <utility>

using platform::FieldType;
using platform::Value;

TEST(Money, ConversionsRoundHalfAwayFromZero)
{
    EXPECT_EQ(Money::fromDouble(2.34565).units(), 23457);
    EXPECT_EQ(Money::fromDouble(-2.34565).units(), -23457);
    EXPECT_EQ(Money::fromDouble(0.00005).units(), 1);
    // 0.00015 is a little below the half in binary; it still rounds up.
    EXPECT_EQ(Money::fromDouble(0.00015).units(), 2);
    EXPECT_EQ(Money::fromDouble(-0.00015).units(), -2);
    EXPECT_EQ(Money::fromDouble(0.1 + 0.2).units(), 3000);
    EXPECT_EQ(Money::fromText(QStringLiteral("1,234.56789")).units(), 12345679);
    EXPECT_EQ(Money::fromText(QStringLiteral("-.5")).units(), -5000);
    EXPECT_FALSE(Money::fromText(QStringLiteral("12a")).isValid());
    EXPECT_EQ(Money::fromUnits(-125000).toPlainText(), QStringLiteral("-12.5"));
    EXPECT_EQ(Money::fromWhole(7).toPlainText(), QStringLiteral("7"));
    // Zeros inside the decimals stay, only trailing ones go; the minimum has
    // no positive twin.
    EXPECT_EQ(Money::fromUnits(500).toPlainText(), QStringLiteral("0.05"));
    EXPECT_EQ(Money::fromUnits(-100001).toPlainText(), QStringLiteral("-10.0001"));
    EXPECT_EQ(Money::fromUnits(std::numeric_limits<std::int64_t>::min()).toPlainText(),
              QStringLiteral("-922337203685477.5808"));
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

    // Lines shown in whole cents add up to their exact total, rounded; the
    // cents left over by cutting each line down go to the lines cut most.
    const struct
    {
        std::vector<std::int64_t> units, cents;
    } lines[] = {
        {{66667, 66667, 66667}, {667, 667, 666}},        // 20.0001: 6.67 + 6.67 + 6.66 = 20.00
        {{1106667, 426667, 66667}, {11067, 4267, 666}},  // 160.0001: ties go to the earlier line
        {{91644768, 100566468, 300844585, 95909184, 29475497, 3903999},
         {916448, 1005664, 3008446, 959092, 294755, 39040}}, // 62,234.4501 -> 62,234.45
        {{50}, {1}},                                     // half a cent, away from zero
        {{-50}, {-1}},
        {{-40}, {0}},
        {{-66667, -66667, -66667}, {-666, -667, -667}},  // -20.0001: each cut to -6.67
        {{12300, -4500}, {123, -45}},                    // whole cents stay
        {{}, {}},
    };
    for (const auto &c : lines) {
        std::vector<Money> in;
        for (std::int64_t u : c.units)
            in.push_back(Money::fromUnits(u));
        std::vector<std::int64_t> got;
        for (const Money &m : LinesInCentsKeepingTotal(in))
            got.push_back(m.units() / 100);
        EXPECT_EQ(got, c.cents) << c.units.size();
    }
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
    // 12 AM is the hour after midnight, 12 PM the hour after noon.
    for (const auto &[text, hours] : {std::pair{"2/29/2012 12:30 AM", "00:30"}, std::pair{"2/29/2012 12:30 PM", "12:30"},
                                      std::pair{"2/29/2012 11:59 PM", "23:59"}, std::pair{"2/29/2012 0:30", "00:30"}})
        EXPECT_EQ(DateTime::fromText(QString::fromLatin1(text)).format(QStringLiteral("%H:%M")), QString::fromLatin1(hours))
            << text;
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
    // A whole number read as money is that many dollars, never that many ten-thousandths.
    EXPECT_EQ(Value(std::int64_t(7)).toMoney().units(), 70000);
    EXPECT_EQ(Value(std::int64_t(-3)).toMoney().units(), -30000);
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

// The settings file is read as a file others may have put in place, and saved
// in one rename of a finished file: never through a link to anything but this
// user's own ordinary file.
TEST_F(PlatformServices, TheSettingsFileIsNeitherReadNorWrittenThroughWhatIsPutInItsPlace)
{
    const QString folder = tempPath(QStringLiteral("station"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString ini = folder + QStringLiteral("/Tavrel.ini");
    const auto start = [&] {
        platform::Settings::useFolder(folder);
        return platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("TavrelPath"),
                                              QStringLiteral("default"));
    };
    const auto save = [&](const QString &value) {
        platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("TavrelPath"), value);
        platform::Settings::sync();
    };
    const auto refused = [&](const QString &why) {
        return QStringList{QStringLiteral("Cannot use %1: %2.\n\nThe settings of this workstation start from their "
                                          "defaults.")
                               .arg(ini, why)};
    };
    const QString notOrdinary =
        QStringLiteral("it is not an ordinary file (it is a folder, a pipe, a device or a socket)");

    // A device: root's save would replace the device node itself. A node of
    // the test's own stands for one (a link to /dev/null otherwise).
    QString device = QStringLiteral("/dev/null");
    if (::geteuid() == 0) {
        device = tempPath(QStringLiteral("zero"));
        ASSERT_EQ(::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 5)), 0);
    }
    ASSERT_TRUE(QFile::link(device, ini));
    prompts().answer(platform::IDOK);
    EXPECT_EQ(start(), QStringLiteral("default"));
    EXPECT_EQ(prompts().texts(), refused(notOrdinary));
    save(QStringLiteral("/shop/one.mdb"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(device).constData(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    ASSERT_EQ(::lstat(QFile::encodeName(ini).constData(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(start(), QStringLiteral("/shop/one.mdb"));

    // A pipe: the start does not wait for a writer.
    prompts().clear();
    QFile::remove(ini);
    ASSERT_EQ(::mkfifo(QFile::encodeName(ini).constData(), 0600), 0);
    // A start that waited for a writer on the pipe gets one after a while.
    QProcess writer;
    writer.start(QStringLiteral("timeout"), {QStringLiteral("20"), QStringLiteral("sh"), QStringLiteral("-c"),
                                             QStringLiteral("sleep 5; : > \"$0\""), ini});
    prompts().answer(platform::IDOK);
    EXPECT_EQ(start(), QStringLiteral("default"));
    EXPECT_EQ(prompts().texts(), refused(notOrdinary));
    save(QStringLiteral("/shop/two.mdb"));
    ASSERT_EQ(::lstat(QFile::encodeName(ini).constData(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    writer.kill();
    writer.waitForFinished(5000);

    // A file of 100 MB is no settings file.
    prompts().clear();
    QFile::remove(ini);
    {
        QFile big(ini);
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        big.write("[Settings]\nTavrelPath=/shop/big.mdb\n");
        ASSERT_TRUE(big.resize(100 * 1024 * 1024));
    }
    prompts().answer(platform::IDOK);
    EXPECT_EQ(start(), QStringLiteral("default"));
    EXPECT_EQ(prompts().texts(), refused(QStringLiteral("it is larger than 4 MB, the most such a file may be")));

    // A link to this user's own settings file kept elsewhere is read and
    // saved through: the link stays.
    prompts().clear();
    QFile::remove(ini);
    const QString kept = tempPath(QStringLiteral("dotfiles/Tavrel.ini"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(kept).absolutePath()));
    WriteTestFile(kept, "[Settings]\nTavrelPath=/shop/kept.mdb\n");
    ASSERT_TRUE(QFile::link(kept, ini));
    EXPECT_EQ(start(), QStringLiteral("/shop/kept.mdb"));
    save(QStringLiteral("/shop/three.mdb"));
    EXPECT_TRUE(QFileInfo(ini).isSymLink());
    EXPECT_TRUE(ReadTestFile(kept).contains("TavrelPath=/shop/three.mdb"));
    EXPECT_TRUE(prompts().texts().isEmpty());

    // A link to another user's file: read (the link is this user's), but
    // the save replaces the link, never their file.
    if (::geteuid() == 0) {
        QFile::remove(ini);
        const QString theirs = tempPath(QStringLiteral("their.ini"));
        WriteTestFile(theirs, "[Settings]\nTavrelPath=/shop/theirs.mdb\n");
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
        ASSERT_TRUE(QFile::link(theirs, ini));
        EXPECT_EQ(start(), QStringLiteral("/shop/theirs.mdb"));
        save(QStringLiteral("/shop/four.mdb"));
        EXPECT_EQ(ReadTestFile(theirs), QByteArray("[Settings]\nTavrelPath=/shop/theirs.mdb\n"));
        EXPECT_FALSE(QFileInfo(ini).isSymLink());
        EXPECT_TRUE(ReadTestFile(ini).contains("TavrelPath=/shop/four.mdb"));
    }
}

TEST_F(PlatformServices, ClockCanBeFixed)
{
    platform::Clock::setFixed(QDateTime(QDate(2011, 3, 16), QTime(9, 30)));
    EXPECT_EQ(platform::Clock::today(), QDate(2011, 3, 16));
    // The kept day follows the clock: fixed again, and back to the system's.
    platform::Clock::setFixed(QDateTime(QDate(2012, 1, 2), QTime(23, 59)));
    EXPECT_EQ(platform::Clock::today(), QDate(2012, 1, 2));
    platform::Clock::reset();
    const QDate before = QDate::currentDate();
    const QDate today = platform::Clock::today();
    EXPECT_TRUE(today == before || today == QDate::currentDate());
    EXPECT_EQ(platform::Clock::today(), today);
}

// --- The currency range ----------------------------------------------------------

namespace {

struct MoneyTextCase
{
    const char *name;
    const char *text;
    bool valid;
    std::int64_t units;
};

void PrintTo(const MoneyTextCase &c, std::ostream *os)
{
    *os << c.name;
}

} // namespace


class MoneyTextAtTheEdges : public ::testing::TestWithParam<MoneyTextCase>
{
};

TEST_P(MoneyTextAtTheEdges, ReadsOrRefuses)
{
    const MoneyTextCase &c = GetParam();
    const Money m = Money::fromText(QString::fromLatin1(c.text));
    ASSERT_EQ(m.isValid(), c.valid);
    if (c.valid)
        EXPECT_EQ(m.units(), c.units);
}

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Money, MoneyTextAtTheEdges,
    ::testing::Values(MoneyTextCase{"Largest", "922337203685477.5807", true, kMax},
                      MoneyTextCase{"Smallest", "-922337203685477.5808", true, kMin},
                      MoneyTextCase{"OneUnitAbove", "922337203685477.5808", false, 0},
                      MoneyTextCase{"OneUnitBelow", "-922337203685477.5809", false, 0},
                      MoneyTextCase{"RoundedUpOutOfRange", "922337203685477.58074", true, kMax},
                      MoneyTextCase{"RoundedOutOfRange", "922337203685477.58075", false, 0},
                      MoneyTextCase{"WholeTooLarge", "922337203685478", false, 0},
                      MoneyTextCase{"WrapsUnsigned", "18446744073709551616", false, 0},
                      MoneyTextCase{"Grouped", "922,337,203,685,477", true, 9223372036854770000},
                      MoneyTextCase{"TwoDecimalPoints", "1.2.3", false, 0},
                      MoneyTextCase{"LeadingPlus", "+12.50", true, 125000},
                      MoneyTextCase{"DollarAndGroups", "$1,234.50", true, 12345000},
                      MoneyTextCase{"MinusBeforeDollar", "-$1,234.50", true, -12345000},
                      MoneyTextCase{"PlusAlone", "+", false, 0}),
    [](const ::testing::TestParamInfo<MoneyTextCase> &info) { return std::string(info.param.name); });

TEST(Money, ArithmeticBeyondTheRangeIsInvalidNeverWrapped)
{
    const Money max = Money::fromUnits(kMax);
    const Money min = Money::fromUnits(kMin);
    const Money unit = Money::fromUnits(1);
    EXPECT_FALSE((max + unit).isValid());
    EXPECT_FALSE((min - unit).isValid());
    EXPECT_FALSE((-min).isValid());
    EXPECT_FALSE((min / -1).isValid());
    EXPECT_FALSE((max * 2).isValid());
    EXPECT_FALSE((Money::fromWhole(1000000000) * 1000000).isValid());
    // At the edges themselves all is exact.
    EXPECT_EQ((max - unit + unit).units(), kMax);
    EXPECT_EQ((min + unit - unit).units(), kMin);
    EXPECT_EQ((-max).units(), -kMax);
    EXPECT_EQ((min * 1).units(), kMin);
    EXPECT_EQ(max.roundedToCentsHalfAway().units(), kMax - 7);
    EXPECT_EQ(min.roundedToCentsHalfAway().units(), kMin + 8);
    Money sum = max;
    sum += unit;
    EXPECT_FALSE(sum.isValid());
    sum += Money::fromWhole(-5); // stays invalid: the overflow is not forgotten
    EXPECT_FALSE(sum.isValid());
}

TEST(Money, DoublesAndTextsAtTheEdges)
{
    EXPECT_FALSE(Money::fromDouble(1e15).isValid());
    EXPECT_FALSE(Money::fromDouble(-1e15).isValid());
    EXPECT_TRUE(Money::fromDouble(9e14).isValid());
    EXPECT_EQ(Money::fromDouble(123456789.12).units(), 1234567891200); // large amounts stay exact
    EXPECT_EQ(Money::fromDouble(-98765432.1).units(), -987654321000);
    // Amounts near the largest the program takes read to their own
    // ten-thousandth, never one off.
    const std::pair<double, std::int64_t> nearTheLargest[] = {
        {100000000000.0, 1'000'000'000'000'000},       {99999999999.99, 999'999'999'999'900},
        {-99999999999.99, -999'999'999'999'900},       {100000017988.26, 1'000'000'179'882'600},
        {54321987654.3211, 543'219'876'543'211},       {-54321987654.3211, -543'219'876'543'211},
    };
    for (const auto &[value, units] : nearTheLargest)
        EXPECT_EQ(Money::fromDouble(value).units(), units) << value;
    EXPECT_EQ(Value(100000017988.26).toMoney().units(), 1'000'000'179'882'600);
    EXPECT_EQ(Money::fromUnits(kMin).toPlainText(), QStringLiteral("-922337203685477.5808"));
    EXPECT_EQ(Money::fromUnits(kMax).toPlainText(), QStringLiteral("922337203685477.5807"));
}
