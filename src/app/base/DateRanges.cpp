#include "app/base/DateRanges.h"

#include "app/base/SqlText.h"
#include "platform/Clock.h"

#include <QtCore/QLocale>

namespace {

// The "Date" menu, in menu order (separators left out).
struct DateMenuEntry
{
    int id;
    const char *text;
};

constexpr DateMenuEntry kDateMenu[] = {
    {DateRange::CmdToday, "Today"},
    {DateRange::CmdThisWeek, "This Week"},
    {DateRange::CmdThisMonth, "This Month"},
    {DateRange::CmdThisYear, "This Year"},
    {DateRange::CmdLastWeek, "Last Week"},
    {DateRange::CmdLastMonth, "Last Month"},
    {DateRange::CmdLastYear, "Last Year"},
    {DateRange::CmdLast30Days, "Last &30 Days"},
    {DateRange::CmdLast12Months, "Last &12 Months"},
    {DateRange::CmdMonthToDate, "Mont&h-to-Date"},
    {DateRange::CmdYearToDate, "Yea&r-to-Date"},
    {20042, "&January"},
    {20043, "&February"},
    {20044, "&March"},
    {20045, "&April"},
    {20046, "Ma&y"},
    {20047, "J&une"},
    {20048, "Ju&ly"},
    {20049, "Au&gust"},
    {20050, "&September"},
    {20051, "&October"},
    {20052, "&November"},
    {20053, "&December"},
    {DateRange::CmdBetween, "&Between..."},
    {DateRange::CmdSetAsDefault, "Set As Default..."},
};

DateTime dayOf(int year, int month, int day)
{
    return DateTime(year, month, day);
}

// A date for the screen: the user's own order of day, month and year, with
// the year in full so that a caption never leaves the century in doubt.
QString screenDate(const DateTime &date)
{
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return locale.toString(date.date(), format);
}

// The SQL date of a range: month/day/year, whatever the user's locale.
QString sqlDate(const DateTime &date)
{
    return date.format(FormatSqlDate(false));
}

} // namespace

DateTime GetToday(int days)
{
    const DateTime today = DateTime::fromDate(platform::Clock::today());
    return days == 0 ? today : today.addDays(days);
}

QString GetTodayText(int days, bool sql)
{
    return GetToday(days).format(FormatSqlDate(sql));
}

void GetTodayTextTo(QString &out, int days, bool sql)
{
    out = GetTodayText(days, sql);
}

void GetWeekRange(DateTime &from, DateTime &to, int n)
{
    const int weekday = GetToday().dayOfWeek(); // 1 Sunday .. 7 Saturday
    from = GetToday(1 - weekday + 7 * n);
    to = GetToday(1 - weekday + 7 * n + 6);
}

void GetMonthRange(DateTime &from, DateTime &to, int n)
{
    const QDate today = platform::Clock::today();
    int year = today.year();
    int month = n < 101 ? today.month() + n : n - 100;
    while (month > 12) {
        month -= 12;
        ++year;
    }
    while (month < 1) {
        month += 12;
        --year;
    }
    from = dayOf(year, month, 1);
    // The real calendar's last day: February of 2100 ends on the 28th.
    to = dayOf(year, month, QDate(year, month, 1).daysInMonth());
}

void GetYearRange(DateTime &from, DateTime &to, int n)
{
    const int year = platform::Clock::today().year() + n;
    from = dayOf(year, 1, 1);
    to = dayOf(year, 12, 31);
}

void GetDaysRange(DateTime &from, DateTime &to, int n)
{
    from = GetToday(0);
    to = GetToday(n);
    if (n < 0)
        std::swap(from, to);
}

void GetDateRangeForCode(DateTime &from, DateTime &to, int code)
{
    using namespace DateRange;
    switch (code) {
    case CmdToday:
    case Today:
        from = GetToday(0);
        to = from;
        return;
    case CmdThisWeek:
    case ThisWeek: GetWeekRange(from, to, 0); return;
    case CmdThisMonth:
    case ThisMonth: GetMonthRange(from, to, 0); return;
    case CmdThisYear:
    case ThisYear: GetYearRange(from, to, 0); return;
    case NextWeek: GetWeekRange(from, to, 1); return;
    case NextMonth: GetMonthRange(from, to, 1); return;
    case NextYear: GetYearRange(from, to, 1); return;
    case Next7Days: GetDaysRange(from, to, 7); return;
    case Next30Days: GetDaysRange(from, to, 29); return;
    case Next365Days: GetDaysRange(from, to, 364); return;
    case CmdLastWeek:
    case LastWeek: GetWeekRange(from, to, -1); return;
    case CmdLastMonth:
    case LastMonth: GetMonthRange(from, to, -1); return;
    case CmdLastYear:
    case LastYear: GetYearRange(from, to, -1); return;
    case Last7Days: GetDaysRange(from, to, -7); return;
    case CmdLast30Days:
    case Last30Days: GetDaysRange(from, to, -29); return;
    case CmdLast12Months:
    case Last365Days: GetDaysRange(from, to, -364); return;
    case WeekBeforeLast: GetWeekRange(from, to, -2); return;
    case MonthBeforeLast: GetMonthRange(from, to, -2); return;
    case YearBeforeLast: GetYearRange(from, to, -2); return;
    case CmdMonthToDate:
        GetMonthRange(from, to, 0);
        to = GetToday(0);
        return;
    case CmdYearToDate:
        GetYearRange(from, to, 0);
        to = GetToday(0);
        return;
    default:
        break;
    }
    // January .. December of this year are months 101 .. 112.
    if (code >= CmdJanuary && code <= CmdDecember)
        GetMonthRange(from, to, code - 19941);
}

void GetDateRangeTexts(QString &fromText, QString &toText, int code, bool sql)
{
    DateTime from;
    DateTime to;
    GetDateRangeForCode(from, to, code);
    const QString format = FormatSqlDate(sql);
    fromText = from.format(format);
    toText = to.format(format);
}

void DescribeDateRange(DateTime &from, DateTime &to, int code, QString &sqlText, QString &caption)
{
    GetDateRangeForCode(from, to, code);
    QString text = GetDateMenuItemText(code);
    if (code == DateRange::CmdBetween) {
        text = QStringLiteral("Custom Date Range");
    } else {
        text.remove(QLatin1Char('&'));
        text.remove(QLatin1String("..."));
    }
    if (from == to)
        caption = QStringLiteral("%1 (%2)").arg(text, screenDate(from));
    else
        caption = QStringLiteral("%1 (%2 - %3)").arg(text, screenDate(from), screenDate(to));
    sqlText = QStringLiteral(" between #%1# and #%2# ").arg(sqlDate(from), sqlDate(to));
}

void BuildDateCondition(QString &condition, const QString &field, int code, int days)
{
    static const char *const kOperators[] = {"=", "<>", "<", ">", "<=", ">="};
    if (code >= 0 && code <= 5) {
        condition = QStringLiteral("%1 %2 %3")
                        .arg(field, QLatin1String(kOperators[code]), GetTodayText(days, true));
    } else if (code < 36) {
        QString fromText;
        QString toText;
        GetDateRangeTexts(fromText, toText, code, true);
        condition = QStringLiteral("(%1 between %2 and %3)").arg(field, fromText, toText);
    }
}

void AddDateDifferenceToToday(DateTime &result, const DateTime &a, const DateTime &b)
{
    if (!a.isValid() || !b.isValid())
        return;
    result = GetToday(0);
    if (a > b)
        result = result.addDays(a.serial() - b.serial());
}

QString GetDateMenuItemText(int commandId)
{
    for (const DateMenuEntry &entry : kDateMenu) {
        if (entry.id == commandId)
            return QString::fromLatin1(entry.text);
    }
    return QString();
}

QString PriorPeriodCondition(const DateTime &from, const DateTime &to)
{
    const int years = qMax(1, to.year() - from.year());
    const QDate priorFrom = from.date().addYears(-years);
    const QDate priorTo = to.date().addYears(-years);
    return QStringLiteral(" between #%1# and #%2#")
        .arg(priorFrom.toString(QStringLiteral("MM/dd/yyyy")), priorTo.toString(QStringLiteral("MM/dd/yyyy")));
}
