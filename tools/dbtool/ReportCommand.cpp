#include "ReportCommand.h"

#include "app/base/DateRanges.h"
#include "platform/DateTime.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/ReportSql.h"

#include <QtCore/QFileInfo>

int runReportCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString path, fromText, toText;
    int code = 0;
    bool sql = false, twoTaxes = false, ok = true;
    for (int i = 0; i < args.size() && ok; ++i) {
        if (args[i] == QLatin1String("--sql"))
            sql = true;
        else if (args[i] == QLatin1String("--two-tax"))
            twoTaxes = true;
        else if (args[i] == QLatin1String("--from") && i + 1 < args.size())
            fromText = args[++i];
        else if (args[i] == QLatin1String("--to") && i + 1 < args.size())
            toText = args[++i];
        else if (path.isEmpty())
            path = args[i];
        else if (code == 0)
            code = args[i].toInt(&ok);
        else
            ok = false;
    }
    const QDate from = QDate::fromString(fromText, QStringLiteral("MM/dd/yyyy"));
    const QDate to = QDate::fromString(toText, QStringLiteral("MM/dd/yyyy"));
    const bool custom = !fromText.isEmpty() || !toText.isEmpty();
    if (!ok || path.isEmpty() || code == 0 || !sql || (custom && (!from.isValid() || !to.isValid()))) {
        err << "usage: tavrel-dbtool report DB CODE --sql [--from MM/DD/YYYY --to MM/DD/YYYY] [--two-tax]\n";
        return 2;
    }
    if (!QFileInfo::exists(path)) {
        err << "tavrel-dbtool: " << path << " does not exist.\n";
        return 1;
    }
    try {
        platform::Database db;
        db.open(path, false, true);
        platform::Recordset taxes(db);
        taxes.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Count(*) FROM Taxes WHERE Taxes.[No] = 3"));
        twoTaxes = twoTaxes || taxes.value(0).toInt() > 0;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
    DateTime fromDate = DateTime::fromDate(from), toDate = DateTime::fromDate(to);
    QString thisPeriod, caption;
    DescribeDateRange(fromDate, toDate, custom ? DateRange::CmdBetween : DateRange::CmdYearToDate, thisPeriod, caption);
    const QString lastPeriod = PriorPeriodCondition(fromDate, toDate);
    const QString text = BuildReportSqlText(code, thisPeriod, lastPeriod, QString(), twoTaxes);
    if (!text.isEmpty())
        out << text << '\n';
    return 0;
}
