#include "reports/calc/ReportReading.h"

#include "data/DaoError.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/CReportRun.h"

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

QList<platform::Value> LookupRow(platform::Database &db, const QString &sql, const QList<platform::Value> &parameters)
{
    QList<platform::Value> row;
    if (sql.trimmed().isEmpty())
        return row;
    try {
        platform::Recordset set(db);
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

Money LookupMoney(platform::Database &db, const QString &sql)
{
    const QList<platform::Value> row = LookupRow(db, sql);
    return row.isEmpty() ? Money() : MoneyOf(row.first());
}

QString PeriodText(const QString &condition)
{
    QString text = condition;
    text.remove(QLatin1Char('#'));
    return text;
}

QString RunNowText(const CReportRun &run)
{
    return run.now.format(QStringLiteral("%A, %B %d, %Y   %I:%M %p"));
}
