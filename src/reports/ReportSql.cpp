#include "reports/ReportSql.h"

#include "app/base/CZqApp.h"
#include "app/base/Clipboard.h"
#include "app/base/TextUtil.h"
#include "reports/ReportQueries.h"
#include "reports/ReportSqlFragments.h"

#include <QtGui/QGuiApplication>

namespace {

bool twoTaxesFlag()
{
    const CZqApp *app = ZqApp();
    return app && app->UsesTwoTaxes();
}

} // namespace

QString BuildReportSqlText(int code, const QString &thisPeriod, const QString &lastPeriod, const QString &filter,
                           bool twoTaxes)
{
    const ReportSqlFragments f(thisPeriod, lastPeriod);
    switch (code / 100) {
    case 20:
        return PostingReportSql(code, f, twoTaxes);
    case 21:
        return ReceivablesReportSql(code, f);
    case 22:
        return ProfitabilityReportSql(code, f);
    case 23:
        return ComparisonReportSql(code, f);
    case 24:
    case 26:
        return ProductionReportSql(code, f, CustomerNoFromFilter(filter));
    case 29:
        return PartialReportSql(code, f);
    default:
        return QString();
    }
}

QString BuildReportSql(int code, const QString &thisPeriod, const QString &lastPeriod, const QString &filter,
                       QWidget *window)
{
    const QString sql = BuildReportSqlText(code, thisPeriod, lastPeriod, filter, twoTaxesFlag());
    CopyReportSqlWhileCtrlDown(sql, window);
    return sql;
}

void CopyReportSqlWhileCtrlDown(const QString &sql, QWidget *window)
{
    if (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier)
        CopyTextToClipboard(window, sql);
}

QString ReportDateColumn(int branch)
{
    switch (branch) {
    case 0:
        return QStringLiteral("Jobs.DateIn");
    case 1:
        return QStringLiteral("Jobs.DateShipped");
    case 2:
        return QStringLiteral("Jobs.DatePaid");
    case 3:
        return QStringLiteral("Jobs.DateReorder");
    case 5:
        return QStringLiteral("QuickSales.Date");
    case 7:
        return QStringLiteral("AuditTrail.TransDate");
    case 8:
    case 10:
        return QString();
    default:
        // 4 "Sales by", 6 "Posting Journal", 9 "Commissions" and the Key Reports.
        return QStringLiteral("PostingDate");
    }
}

void GetReportDateField(int branch, const QString &thisPeriod, QString &filter)
{
    const QString column = ReportDateColumn(branch);
    if (column.isEmpty())
        return;
    filter = QStringLiteral(" (%1 %2) ").arg(column, thisPeriod);
}

QString CustomerNoFromFilter(const QString &filter)
{
    const int at = filter.indexOf(QLatin1String("Customers.CusNo"));
    if (at < 0)
        return QString();
    const int equals = filter.indexOf(QLatin1Char('='), at);
    if (equals < 0)
        return QString();
    const int number = ToInt(filter.mid(equals + 1).trimmed());
    return number > 0 ? QString::number(number) : QString();
}
