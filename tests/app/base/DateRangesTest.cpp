#include "app/base/DateRanges.h"
#include "platform/Clock.h"
#include "support/TestEnvironment.h"

#include <QtCore/QLocale>

namespace {

class DateRangesTest : public TavrelTest
{
protected:
    // Today is fixed in the afternoon, so a range that kept the time of day shows.
    static void setToday(const QDate &day) { platform::Clock::setFixed(QDateTime(day, QTime(15, 30))); }

    static std::string text(const DateTime &d)
    {
        const bool plainDate = d.isValid() && d.toOle() == double(qint64(d.toOle()));
        return plainDate ? d.format(QStringLiteral("%m/%d/%Y")).toStdString() : "<not a plain date>";
    }
};

} // namespace

TEST_F(DateRangesTest, EveryKindOfRangeOnFixedDays)
{
    struct Case { const char *today; int code; const char *from; const char *to; };
    // Wednesday 03/16/2011 unless said otherwise; weeks run Sunday to Saturday.
    const Case cases[] = {
        {"2011-03-16", 20031, "03/16/2011", "03/16/2011"}, {"2011-03-16", 6, "03/13/2011", "03/19/2011"},
        {"2011-03-16", 20035, "03/06/2011", "03/12/2011"}, {"2011-03-16", 21, "02/27/2011", "03/05/2011"},
        {"2011-03-13", 6, "03/13/2011", "03/19/2011"}, // a Sunday
        {"2011-03-16", 20036, "02/01/2011", "02/28/2011"}, {"2012-03-16", 16, "02/01/2012", "02/29/2012"},
        {"2012-01-10", 16, "12/01/2011", "12/31/2011"},    {"2011-12-31", 10, "01/01/2012", "01/31/2012"},
        {"2012-11-30", 20043, "02/01/2012", "02/29/2012"},
        {"2100-06-01", 20043, "02/01/2100", "02/28/2100"}, // 2100 has no 29 February
        {"2011-03-16", 20040, "03/01/2011", "03/16/2011"}, {"2011-03-16", 20041, "01/01/2011", "03/16/2011"},
        {"2011-03-16", 23, "01/01/2009", "12/31/2009"},
        // 7, 29 and 364 days: 8, 30 and 365 calendar days
        {"2011-03-16", 14, "03/16/2011", "03/14/2012"},    {"2011-03-16", 18, "03/09/2011", "03/16/2011"},
        {"2011-03-16", 20038, "02/15/2011", "03/16/2011"},
    };
    for (const Case &c : cases) {
        setToday(QDate::fromString(QLatin1String(c.today), Qt::ISODate));
        DateTime from(1.5);
        DateTime to(2.5);
        GetDateRangeForCode(from, to, c.code);
        EXPECT_EQ(text(from), c.from) << "code " << c.code << " on " << c.today;
        EXPECT_EQ(text(to), c.to) << "code " << c.code << " on " << c.today;
    }

    // Operators, "Between..." and unknown values leave the dates alone.
    for (int code : {3, 24, -1, 20054, 20055}) {
        DateTime from(40000.0);
        DateTime to = DateTime::invalid();
        GetDateRangeForCode(from, to, code);
        EXPECT_EQ(from, DateTime(40000.0)) << code;
        EXPECT_FALSE(to.isValid()) << code;
    }
}

TEST_F(DateRangesTest, TodayTextsAndConditions)
{
    setToday(QDate(2011, 3, 16));
    EXPECT_EQ(GetToday(-16), DateTime(2011, 2, 28));
    EXPECT_EQ(GetTodayText(1, true), QStringLiteral("#03/17/2011#"));
    QString fromText;
    QString toText;
    GetDateRangeTexts(fromText, toText, 24, false); // no range: the zero date
    EXPECT_EQ(fromText + toText, QStringLiteral("12/30/189912/30/1899"));

    const QString field = QStringLiteral("Jobs.DateDue");
    QString condition;
    BuildDateCondition(condition, field, 3, -1);
    EXPECT_EQ(condition, QStringLiteral("Jobs.DateDue > #03/15/2011#"));
    BuildDateCondition(condition, field, 5, 0);
    EXPECT_EQ(condition, QStringLiteral("Jobs.DateDue >= #03/16/2011#"));
    BuildDateCondition(condition, field, 16, 5); // the days count only for comparisons
    EXPECT_EQ(condition, QStringLiteral("(Jobs.DateDue between #02/01/2011# and #02/28/2011#)"));
    for (int code : {36, 20031}) {
        BuildDateCondition(condition, field, code, 0);
        EXPECT_EQ(condition, QStringLiteral("(Jobs.DateDue between #02/01/2011# and #02/28/2011#)")) << code;
    }

    DateTime result = DateTime(2000, 1, 1);
    AddDateDifferenceToToday(result, DateTime::invalid(), DateTime(2011, 3, 20));
    EXPECT_EQ(result, DateTime(2000, 1, 1));
    AddDateDifferenceToToday(result, DateTime(2011, 3, 20), DateTime(2011, 3, 10));
    EXPECT_EQ(result, DateTime(2011, 3, 26));
}

TEST_F(DateRangesTest, CaptionsInTheUsersLocaleSqlAlwaysMonthDayYear)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    setToday(QDate(2011, 3, 16));
    DateTime from;
    DateTime to;
    QString sql;
    QString caption;
    DescribeDateRange(from, to, 20031, sql, caption);
    EXPECT_EQ(caption, QStringLiteral("Today (3/16/2011)"));
    EXPECT_EQ(sql, QStringLiteral(" between #03/16/2011# and #03/16/2011# "));
    DescribeDateRange(from, to, 20038, sql, caption);
    EXPECT_EQ(caption, QStringLiteral("Last 30 Days (2/15/2011 - 3/16/2011)"));
    DescribeDateRange(from, to, 6, sql, caption); // no menu command: dates only
    EXPECT_EQ(caption, QStringLiteral(" (3/13/2011 - 3/19/2011)"));

    from = DateTime(2011, 1, 2);
    to = DateTime(2011, 2, 3);
    DescribeDateRange(from, to, 20054, sql, caption);
    EXPECT_EQ(caption, QStringLiteral("Custom Date Range (1/2/2011 - 2/3/2011)"));

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    DescribeDateRange(from, to, 20046, sql, caption);
    EXPECT_EQ(caption, QStringLiteral("May (01.05.2011 - 31.05.2011)"));
    EXPECT_EQ(sql, QStringLiteral(" between #05/01/2011# and #05/31/2011# "));
    QLocale::setDefault(saved);
}
