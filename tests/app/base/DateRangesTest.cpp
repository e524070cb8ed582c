#include "app/base/DateRanges.h"
#include "platform/Clock.h"
#include "support/TestEnvironment.h"

#include <QtCore/QLocale>

#include <ostream>

namespace {

// Today is fixed in the afternoon, so a range that kept the time of day shows.
void setToday(int year, int month, int day)
{
    platform::Clock::setFixed(QDateTime(QDate(year, month, day), QTime(15, 30)));
}

QString text(const DateTime &d)
{
    return d.isValid() && d.toOle() == double(qint64(d.toOle())) ? d.format(QStringLiteral("%m/%d/%Y"))
                                                                   : QStringLiteral("<not a plain date>");
}

struct RangeCase
{
    const char *today; // "yyyy-MM-dd"
    int code;
    const char *from;  // "%m/%d/%Y"
    const char *to;
};

std::ostream &operator<<(std::ostream &os, const RangeCase &c)
{
    return os << "code " << c.code << " on " << c.today;
}

class DateRangesTest : public TavrelTest
{
};

class RangeForCode : public TavrelTest, public ::testing::WithParamInterface<RangeCase>
{
};

} // namespace

TEST_P(RangeForCode, GivesItsDays)
{
    const RangeCase &c = GetParam();
    const QDate today = QDate::fromString(QLatin1String(c.today), Qt::ISODate);
    setToday(today.year(), today.month(), today.day());
    DateTime from(1.5);
    DateTime to(2.5);
    GetDateRangeForCode(from, to, c.code);
    EXPECT_EQ(text(from).toStdString(), c.from);
    EXPECT_EQ(text(to).toStdString(), c.to);
}

// Wednesday 03/16/2011 unless said otherwise; weeks run Sunday to Saturday.
INSTANTIATE_TEST_SUITE_P(
    DateRanges, RangeForCode,
    ::testing::Values(
        RangeCase{"2011-03-16", 0, "03/16/2011", "03/16/2011"},
        RangeCase{"2011-03-16", 20031, "03/16/2011", "03/16/2011"},
        // Weeks
        RangeCase{"2011-03-16", 6, "03/13/2011", "03/19/2011"},
        RangeCase{"2011-03-16", 20032, "03/13/2011", "03/19/2011"},
        RangeCase{"2011-03-16", 9, "03/20/2011", "03/26/2011"},
        RangeCase{"2011-03-16", 15, "03/06/2011", "03/12/2011"},
        RangeCase{"2011-03-16", 20035, "03/06/2011", "03/12/2011"},
        RangeCase{"2011-03-16", 21, "02/27/2011", "03/05/2011"},
        RangeCase{"2011-03-13", 6, "03/13/2011", "03/19/2011"}, // a Sunday
        RangeCase{"2011-03-19", 6, "03/13/2011", "03/19/2011"}, // a Saturday
        RangeCase{"2011-01-01", 15, "12/19/2010", "12/25/2010"},
        // Months
        RangeCase{"2011-03-16", 7, "03/01/2011", "03/31/2011"},
        RangeCase{"2011-03-16", 20033, "03/01/2011", "03/31/2011"},
        RangeCase{"2011-03-16", 10, "04/01/2011", "04/30/2011"},
        RangeCase{"2011-03-16", 16, "02/01/2011", "02/28/2011"},
        RangeCase{"2011-03-16", 20036, "02/01/2011", "02/28/2011"},
        RangeCase{"2011-03-16", 22, "01/01/2011", "01/31/2011"},
        RangeCase{"2012-03-16", 16, "02/01/2012", "02/29/2012"},
        RangeCase{"2012-01-10", 16, "12/01/2011", "12/31/2011"},
        RangeCase{"2012-01-10", 22, "11/01/2011", "11/30/2011"},
        RangeCase{"2012-02-15", 22, "12/01/2011", "12/31/2011"},
        RangeCase{"2011-12-31", 10, "01/01/2012", "01/31/2012"},
        RangeCase{"2011-03-16", 20042, "01/01/2011", "01/31/2011"},
        RangeCase{"2011-03-16", 20043, "02/01/2011", "02/28/2011"},
        RangeCase{"2012-11-30", 20043, "02/01/2012", "02/29/2012"},
        RangeCase{"2000-06-01", 20043, "02/01/2000", "02/29/2000"},
        RangeCase{"2100-06-01", 20043, "02/01/2100", "02/28/2100"}, // no 29 February in 2100
        RangeCase{"2011-03-16", 20053, "12/01/2011", "12/31/2011"},
        RangeCase{"2011-03-16", 20040, "03/01/2011", "03/16/2011"},
        // Years
        RangeCase{"2011-03-16", 8, "01/01/2011", "12/31/2011"},
        RangeCase{"2011-03-16", 20034, "01/01/2011", "12/31/2011"},
        RangeCase{"2011-03-16", 11, "01/01/2012", "12/31/2012"},
        RangeCase{"2011-03-16", 17, "01/01/2010", "12/31/2010"},
        RangeCase{"2011-03-16", 20037, "01/01/2010", "12/31/2010"},
        RangeCase{"2011-03-16", 23, "01/01/2009", "12/31/2009"},
        RangeCase{"2011-03-16", 20041, "01/01/2011", "03/16/2011"},
        // Day counts: 7, 29 and 364 days, so 8, 30 and 365 calendar days
        RangeCase{"2011-03-16", 12, "03/16/2011", "03/23/2011"},
        RangeCase{"2011-03-16", 13, "03/16/2011", "04/14/2011"},
        RangeCase{"2011-03-16", 14, "03/16/2011", "03/14/2012"},
        RangeCase{"2011-03-16", 18, "03/09/2011", "03/16/2011"},
        RangeCase{"2011-03-16", 19, "02/15/2011", "03/16/2011"},
        RangeCase{"2011-03-16", 20038, "02/15/2011", "03/16/2011"},
        RangeCase{"2011-03-16", 20, "03/17/2010", "03/16/2011"},
        RangeCase{"2011-03-16", 20039, "03/17/2010", "03/16/2011"},
        RangeCase{"2012-03-01", 19, "02/01/2012", "03/01/2012"}));

TEST_F(DateRangesTest, CodesWithoutARangeLeaveTheDates)
{
    setToday(2011, 3, 16);
    for (int code : {1, 2, 3, 4, 5, 24, 35, 36, -1, 20030, 20054, 20055, 30000}) {
        DateTime from(40000.0);
        DateTime to = DateTime::invalid();
        GetDateRangeForCode(from, to, code);
        EXPECT_EQ(from, DateTime(40000.0)) << code;
        EXPECT_FALSE(to.isValid()) << code;
    }
}

TEST_F(DateRangesTest, TodayAndItsTexts)
{
    setToday(2011, 3, 16);
    EXPECT_EQ(GetToday(), DateTime(2011, 3, 16));
    EXPECT_EQ(GetToday(-16), DateTime(2011, 2, 28));
    EXPECT_EQ(GetTodayText(0, false), QStringLiteral("03/16/2011"));
    EXPECT_EQ(GetTodayText(-16, true), QStringLiteral("#02/28/2011#"));
    QString out = QStringLiteral("old");
    GetTodayTextTo(out, 1, true);
    EXPECT_EQ(out, QStringLiteral("#03/17/2011#"));

    QString fromText;
    QString toText;
    GetDateRangeTexts(fromText, toText, 7, true);
    EXPECT_EQ(fromText, QStringLiteral("#03/01/2011#"));
    EXPECT_EQ(toText, QStringLiteral("#03/31/2011#"));
    GetDateRangeTexts(fromText, toText, 15, false);
    EXPECT_EQ(fromText, QStringLiteral("03/06/2011"));
    EXPECT_EQ(toText, QStringLiteral("03/12/2011"));
    // No range: the zero date.
    GetDateRangeTexts(fromText, toText, 24, true);
    EXPECT_EQ(fromText, QStringLiteral("#12/30/1899#"));
    EXPECT_EQ(toText, QStringLiteral("#12/30/1899#"));
}

TEST_F(DateRangesTest, DateConditions)
{
    setToday(2011, 3, 16);
    const QString field = QStringLiteral("Jobs.DateDue");
    QString condition;
    const char *const expected[] = {"Jobs.DateDue = #03/15/2011#",  "Jobs.DateDue <> #03/15/2011#",
                                    "Jobs.DateDue < #03/15/2011#",  "Jobs.DateDue > #03/15/2011#",
                                    "Jobs.DateDue <= #03/15/2011#", "Jobs.DateDue >= #03/15/2011#"};
    for (int code = 0; code <= 5; ++code) {
        BuildDateCondition(condition, field, code, -1);
        EXPECT_EQ(condition.toStdString(), expected[code]);
    }
    BuildDateCondition(condition, field, 0, 0);
    EXPECT_EQ(condition, QStringLiteral("Jobs.DateDue = #03/16/2011#"));

    BuildDateCondition(condition, field, 6, 0);
    EXPECT_EQ(condition, QStringLiteral("(Jobs.DateDue between #03/13/2011# and #03/19/2011#)"));
    BuildDateCondition(condition, field, 16, 5); // the days count only for comparisons
    EXPECT_EQ(condition, QStringLiteral("(Jobs.DateDue between #02/01/2011# and #02/28/2011#)"));
    BuildDateCondition(condition, field, -2, 0);
    EXPECT_EQ(condition, QStringLiteral("(Jobs.DateDue between #12/30/1899# and #12/30/1899#)"));

    for (int code : {36, 40, 20031}) {
        condition = QStringLiteral("untouched");
        BuildDateCondition(condition, field, code, 0);
        EXPECT_EQ(condition, QStringLiteral("untouched")) << code;
    }
}

class DescribeRangeTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        m_saved = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        setToday(2011, 3, 16);
    }
    void TearDown() override
    {
        QLocale::setDefault(m_saved);
        TavrelTest::TearDown();
    }

private:
    QLocale m_saved;
};

TEST_F(DescribeRangeTest, CaptionsAndSqlText)
{
    DateTime from;
    DateTime to;
    QString sql;
    QString caption;

    DescribeDateRange(from, to, 20031, sql, caption);
    EXPECT_EQ(caption, QStringLiteral("Today (3/16/2011)"));
    EXPECT_EQ(sql, QStringLiteral(" between #03/16/2011# and #03/16/2011# "));

    DescribeDateRange(from, to, 20038, sql, caption);
    EXPECT_EQ(caption, QStringLiteral("Last 30 Days (2/15/2011 - 3/16/2011)"));
    EXPECT_EQ(sql, QStringLiteral(" between #02/15/2011# and #03/16/2011# "));

    DescribeDateRange(from, to, 20041, sql, caption);
    EXPECT_EQ(caption, QStringLiteral("Year-to-Date (1/1/2011 - 3/16/2011)"));

    DescribeDateRange(from, to, 20046, sql, caption);
    EXPECT_EQ(caption, QStringLiteral("May (5/1/2011 - 5/31/2011)"));

    // A code that is no menu command has no words, only its dates.
    DescribeDateRange(from, to, 6, sql, caption);
    EXPECT_EQ(caption, QStringLiteral(" (3/13/2011 - 3/19/2011)"));

    from = DateTime(2011, 1, 2);
    to = DateTime(2011, 2, 3);
    DescribeDateRange(from, to, 20054, sql, caption);
    EXPECT_EQ(caption, QStringLiteral("Custom Date Range (1/2/2011 - 2/3/2011)"));
    EXPECT_EQ(sql, QStringLiteral(" between #01/02/2011# and #02/03/2011# "));
    EXPECT_EQ(from, DateTime(2011, 1, 2));
    EXPECT_EQ(to, DateTime(2011, 2, 3));
}

TEST_F(DescribeRangeTest, SqlTextIsMonthDayYearInAnyLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    DateTime from;
    DateTime to;
    QString sql;
    QString caption;
    DescribeDateRange(from, to, 20036, sql, caption);
    EXPECT_EQ(caption, QStringLiteral("Last Month (01.02.2011 - 28.02.2011)"));
    EXPECT_EQ(sql, QStringLiteral(" between #02/01/2011# and #02/28/2011# "));
}

TEST_F(DateRangesTest, DateMenuTexts)
{
    EXPECT_EQ(GetDateMenuItemText(20031), QStringLiteral("Today"));
    EXPECT_EQ(GetDateMenuItemText(20039), QStringLiteral("Last &12 Months"));
    EXPECT_EQ(GetDateMenuItemText(20040), QStringLiteral("Mont&h-to-Date"));
    EXPECT_EQ(GetDateMenuItemText(20042), QStringLiteral("&January"));
    EXPECT_EQ(GetDateMenuItemText(20048), QStringLiteral("Ju&ly"));
    EXPECT_EQ(GetDateMenuItemText(20053), QStringLiteral("&December"));
    EXPECT_EQ(GetDateMenuItemText(20054), QStringLiteral("&Between..."));
    EXPECT_EQ(GetDateMenuItemText(20055), QStringLiteral("Set As Default..."));
    EXPECT_EQ(GetDateMenuItemText(0), QString());
    EXPECT_EQ(GetDateMenuItemText(20056), QString());
}

TEST_F(DateRangesTest, DateDifferenceAddedToToday)
{
    setToday(2011, 3, 16);
    DateTime result = DateTime(2000, 1, 1);
    AddDateDifferenceToToday(result, DateTime(2011, 3, 20), DateTime(2011, 3, 10));
    EXPECT_EQ(result, DateTime(2011, 3, 26));
    AddDateDifferenceToToday(result, DateTime(2011, 3, 10), DateTime(2011, 3, 20));
    EXPECT_EQ(result, DateTime(2011, 3, 16));
    result = DateTime(2000, 1, 1);
    AddDateDifferenceToToday(result, DateTime::invalid(), DateTime(2011, 3, 20));
    EXPECT_EQ(result, DateTime(2000, 1, 1));
    AddDateDifferenceToToday(result, DateTime(2011, 3, 20), DateTime::null());
    EXPECT_EQ(result, DateTime(2000, 1, 1));
}
