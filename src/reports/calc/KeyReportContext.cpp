#include "reports/calc/KeyReportContext.h"

#include "app/base/CZqApp.h"
#include "controls/CXTable.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/ReportSql.h"

QString KeyReportContext::sql(int reportCode) const
{
    if (buildSql)
        return buildSql(reportCode);
    const CZqApp *app = ZqApp();
    return BuildReportSqlText(reportCode, thisPeriod, lastPeriod, filter, app && app->UsesTwoTaxes());
}

void KeyReportContext::load(int reportCode, int totalMode, int option) const
{
    if (loadReportTable) {
        loadReportTable(reportCode, totalMode, option);
        return;
    }
    table.LoadQueryWithProgress(sql(reportCode), totalMode, option, QString());
}

Money MoneyOf(const platform::Value &value)
{
    if (value.isNull())
        return Money();
    if (platform::isTextType(value.type())) {
        const Money m = Money::fromText(value.toString().remove(QLatin1Char(',')).trimmed());
        return m.isValid() ? m : Money();
    }
    if (!platform::isNumericType(value.type()))
        return Money();
    const Money m = value.toMoney();
    return m.isValid() ? m : Money();
}

QList<platform::Value> LookupRow(const QString &sql, const QList<platform::Value> &parameters)
{
    QList<platform::Value> row;
    if (sql.trimmed().isEmpty())
        return row;
    try {
        platform::Recordset set(SharedDatabase());
        set.open(platform::Recordset::Type::Snapshot, sql, parameters);
        if (!set.isEOF()) {
            for (int i = 0; i < set.fieldCount(); ++i)
                row.append(set.value(i));
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot open ") + sql);
        row.clear();
    }
    return row;
}

Money LookupMoney(const QString &sql)
{
    const QList<platform::Value> row = LookupRow(sql);
    return row.isEmpty() ? Money() : MoneyOf(row.first());
}

QString PeriodText(const QString &condition)
{
    QString text = condition;
    text.remove(QLatin1Char('#'));
    return text;
}
