#include "jobs/FindConditions.h"

#include "app/base/DateRanges.h"
#include "app/base/SqlText.h"
#include "platform/DateTime.h"
#include "platform/db/DbException.h"
#include "platform/db/jet/JetParser.h"

namespace {

QStringList splitList(const char *text)
{
    QStringList rows = QString::fromLatin1(text).split(QLatin1Char(','));
    rows.removeLast(); // the list ends with a comma
    return rows;
}

} // namespace

int FindOperatorList(int fieldType, QString *typeName)
{
    QString name;
    int list = kFindNumberOperators;
    switch (fieldType) {
    case 5: name = QStringLiteral("Currency"); break;
    case 8: name = QStringLiteral("Date"); list = kFindDateOperators; break;
    case 10:
    case 12: name = QStringLiteral("Text"); list = kFindTextOperators; break;
    default: name = QStringLiteral("Number"); break;
    }
    if (typeName)
        *typeName = name;
    return list;
}

QStringList FindOperatorRows(int listId)
{
    switch (listId) {
    case kFindTextOperators:
        return splitList("is exactly like,is not exactly like,starts with,ends with,contains,does not contain,"
                         "is between,");
    case kFindNumberOperators:
        return splitList("=     equal,<>   not equal,<     less than, >    greater than,<=   less or equal,"
                         ">=   greater or equal,is     between,");
    case kFindDateOperators:
        return splitList(
            "=      on this date,<>    not on,<      earlier than, >     later than,<=    earlier or on,>=    later or "
            "on,this   week,        month,        year,next week,        month,        year,        7 days,        30 "
            "days,        365 days,last   week,        month,        year,        7 days,        30 days,        365 "
            "days,prev week,        month,        year,in     January,        February,        March,        April,  "
            "      May,        June,        July,        August,        September,        October,        November,  "
            "      December,year  Jan 1 - Dec 31,        Feb 1 - Jan 31,        Mar 1 - Feb 28,        Apr 1 - Mar "
            "31,        May 1 - Apr 30,        Jun 1 - May 31,        Jul 1 - Jun 30,        Aug 1 - Jul 31,        "
            "Sep 1 - Aug 31,        Oct 1 - Sep 30,        Nov 1 - Oct 31,        Dec 1 - Nov 30,is between,");
    default: return {};
    }
}

int DefaultFindOperator(int listId, bool ifContains)
{
    const QStringList rows = FindOperatorRows(listId);
    QString start = QStringLiteral("=");
    if (listId == kFindTextOperators)
        start = ifContains ? QStringLiteral("contain") : QStringLiteral("starts with");
    for (int i = 0; i < rows.size(); ++i)
        if (rows.at(i).startsWith(start))
            return i;
    return 0;
}

QString CleanFindNumber(const QString &typed)
{
    QString out;
    bool dot = false;
    for (const QChar c : typed) {
        if (c == QLatin1Char('.')) {
            if (dot)
                break;
            dot = true;
        } else if (!(c.isDigit() && c.unicode() < 128) && c != QLatin1Char('-')) {
            break;
        }
        out += c;
    }
    return out;
}

bool FindDateRowRange(int row, const QDate &today, QDate &from, QDate &to)
{
    if (row >= 6 && row <= 23) {
        DateTime a = DateTime::fromDate(from.isValid() ? from : today);
        DateTime b = DateTime::fromDate(to.isValid() ? to : today);
        GetDateRangeForCode(a, b, row);
        from = a.date();
        to = b.date();
        return true;
    }
    if (row >= 24 && row <= 35) {
        from = QDate(today.year(), row - 23, 1);
        to = from.addMonths(1).addDays(-1);
        return true;
    }
    if (row >= 36 && row <= 47) {
        from = QDate(today.year(), row - 35, 1);
        to = from.addMonths(12).addDays(-1);
        return true;
    }
    return false;
}

QString FindDateLiteral(const QDate &date)
{
    return QStringLiteral("#%1/%2/%3#").arg(date.month()).arg(date.day()).arg(date.year());
}

QString BuildFindCondition(const FindChoice &c)
{
    if (c.column.isEmpty() || c.operatorRow < 0)
        return QString();
    QString symbol = c.operatorLabel.left(2);
    while (symbol.endsWith(QLatin1Char(' ')))
        symbol.chop(1);
    const bool text = c.type == 10 || c.type == 12;
    QString v1 = c.value1;
    QString v2 = c.value2;
    if (!text) {
        while (v1.startsWith(QLatin1Char(' ')))
            v1.remove(0, 1);
        while (v2.startsWith(QLatin1Char(' ')))
            v2.remove(0, 1);
    }
    auto hasDigit = [](const QString &s) {
        for (const QChar ch : s)
            if (ch.isDigit())
                return true;
        return false;
    };

    QString result;
    if (c.type == 8) {
        if (!c.date1.isValid())
            return QString();
        if (c.operatorRow <= 5) {
            result = QStringLiteral("%1 %2").arg(symbol, FindDateLiteral(c.date1));
        } else {
            if (!c.date2.isValid())
                return QString();
            result = QStringLiteral("between %1 and %2").arg(FindDateLiteral(c.date1), FindDateLiteral(c.date2));
        }
    } else if (c.operatorLabel.contains(QLatin1String("between"))) {
        if (v1.isEmpty() || v2.isEmpty())
            return QString();
        if (text) {
            result = QStringLiteral("between %1 and %2").arg(QuoteText(v1), QuoteText(v2));
        } else {
            // The numbers as typed, cleaned: 1234567 stays 1234567.
            const QString a = CleanFindNumber(v1);
            const QString b = CleanFindNumber(v2);
            if (!hasDigit(a) || !hasDigit(b))
                return QString();
            result = QStringLiteral("between %1 and %2").arg(a, b);
        }
    } else if (text) {
        if (v1.isEmpty())
            return QString();
        QString pattern = v1;
        if (c.operatorLabel.contains(QLatin1String("start")))
            pattern += QLatin1Char('*');
        else if (c.operatorLabel.contains(QLatin1String("end")))
            pattern.prepend(QLatin1Char('*'));
        else if (c.operatorLabel.contains(QLatin1String("contain")))
            pattern = QLatin1Char('*') + pattern + QLatin1Char('*');
        result = (c.operatorLabel.contains(QLatin1String("not ")) ? QStringLiteral("NOT like ")
                                                                  : QStringLiteral("like ")) +
            QuoteText(pattern);
    } else {
        const QString number = CleanFindNumber(v1);
        if (!hasDigit(number))
            return QString();
        result = QStringLiteral("%1 %2").arg(symbol, number);
    }
    return QStringLiteral("(%1 %2)").arg(c.column, result);
}

bool IsSingleFindExpression(const QString &text, QString &error)
{
    error.clear();
    if (text.trimmed().isEmpty())
        return true;
    // The condition is put into a longer statement: nothing may end it.
    if (text.trimmed().endsWith(QLatin1Char(';'))) {
        error = QStringLiteral("A filter is one condition and may not end with \";\".");
        return false;
    }
    try {
        platform::jet::JetParser parser(text);
        parser.parseStandaloneExpression();
    } catch (const platform::DbException &e) {
        error = e.description();
        return false;
    }
    return true;
}
