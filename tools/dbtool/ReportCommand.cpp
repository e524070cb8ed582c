#include "ReportCommand.h"

#include "app/base/DateRanges.h"
#include "platform/DateTime.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/ReportSql.h"
#include "app/base/CZqApp.h"
#include "controls/CXChartCtrl.h"
#include "controls/CXTable.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "printing/CPrintForm.h"
#include "reports/CReportRun.h"
#include "reports/ReportPrinting.h"
#include "resources/Strings.h"

#include <QtCore/QFileInfo>

namespace {

// One line of output: line breaks written as "\n".
QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

// The branch and entry texts of a Key Report code from the report tree's lists.
void treeTexts(int code, QString &branchText, QString &entryText)
{
    const int resource = 44151 + (code / 100 - 20);
    const QStringList entries = LoadResourceString(resource).split(QLatin1Char(','));
    branchText = entries.value(0);
    entryText = entries.value(code % 100);
}

int runReport(const QString &path, int code, const DateTime &from, const DateTime &to, const QString &thisPeriod,
              const QString &lastPeriod, const QString &caption, bool twoTaxes, const QString &pdfPath,
              QTextStream &out, QTextStream &err)
{
    if (code < 2000 || code >= 2700 || code / 100 == 25) {
        err << "tavrel-dbtool: " << code << " is not a Key Report laid out in a table.\n";
        return 2;
    }
    platform::TestResponder responder; // prompts are answered with OK and written to stderr
    for (int i = 0; i < 50; ++i)
        responder.answer(platform::IDOK);
    try {
        SharedDatabase().open(path);
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
    CXTable table;
    CReportRun run(SharedDatabase(), table);
    run.code = code;
    treeTexts(code, run.branchText, run.entryText);
    run.fromDate = from;
    run.toDate = to;
    run.thisPeriod = thisPeriod;
    run.lastPeriod = lastPeriod;
    run.dateRangeCaption = QStringLiteral("Date Range: ") + caption;
    GetReportDateField(code / 100, thisPeriod, run.filter);
    run.twoTaxes = twoTaxes;
    run.messageHook = [&err](const QString &text) { err << oneLine(text) << '\n'; };
    const bool ran = run.Run();
    for (const platform::PromptRecord &prompt : responder.shown())
        err << oneLine(prompt.text) << '\n';
    out << oneLine(run.title()) << '\n'
        << oneLine(run.subtitle()) << '\n'
        << oneLine(run.filterLine()) << '\n'
        << oneLine(run.note()) << '\n';
    QStringList titles;
    titles << QStringLiteral("Flags");
    for (int c = 0; c < table.GetColumnCount(); ++c)
        titles << oneLine(table.GetColumnName(c));
    out << titles.join(QLatin1Char('\t')) << '\n';
    for (int r = 0; r < table.GetRowCount(); ++r) {
        QStringList cells;
        cells << QString::number(table.GetRowFlags(r));
        for (int c = 0; c < table.GetColumnCount(); ++c)
            cells << oneLine(table.GetCellText(r, c));
        out << cells.join(QLatin1Char('\t')) << '\n';
    }
    int rc = ran ? 0 : 1;
    const qsizetype shownBefore = responder.shown().size();
    if (!pdfPath.isEmpty()) {
        CZqApp app;
        CPrintForm form;
        CXChartCtrl chart;
        chart.resize(800, 600);
        chart.LoadTable(&table, 0);
        const int printed = PrintReportTable(form, &chart, CPrint::kPrintDirect, pdfPath);
        // What the print said (a file that cannot be written, and why).
        for (const platform::PromptRecord &prompt : responder.shown().mid(shownBefore))
            err << oneLine(prompt.text) << '\n';
        if (printed != 2) {
            err << "The report was not printed.\n";
            rc = 1;
        }
    }
    out.flush();
    SharedDatabase().close();
    return rc;
}

} // namespace

int runReportCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString path, fromText, toText, pdfPath;
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
        else if (args[i] == QLatin1String("--pdf") && i + 1 < args.size())
            pdfPath = args[++i];
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
    // The PDF is named as one: any other name would be a printer's.
    const bool pdfNamed = pdfPath.isEmpty() || pdfPath.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
    if (!ok || path.isEmpty() || code == 0 || (sql && !pdfPath.isEmpty()) || !pdfNamed
        || (custom && (!from.isValid() || !to.isValid()))) {
        err << "usage: tavrel-dbtool report DB CODE [--sql] [--from MM/DD/YYYY --to MM/DD/YYYY] [--two-tax] "
               "[--pdf FILE.pdf] [--today M/D/YYYY]\n";
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
    if (!sql)
        return runReport(path, code, fromDate, toDate, thisPeriod, lastPeriod, caption, twoTaxes, pdfPath, out, err);
    const QString text = BuildReportSqlText(code, thisPeriod, lastPeriod, QString(), twoTaxes);
    if (!text.isEmpty())
        out << text << '\n';
    return 0;
}
