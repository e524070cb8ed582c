#include "ArCommand.h"
#include "CheckCommand.h"
#include "CreateCommand.h"
#include "DbToolCommand.h"
#include "ExportCommand.h"
#include "JobCommand.h"
#include "MailCommand.h"
#include "LayoutCommand.h"
#include "InventoryCommand.h"
#include "SampleCommand.h"
#include "PriceCommand.h"
#include "PriceListCommand.h"
#include "PrintCommand.h"
#include "QueryCommand.h"
#include "QuickSaleCommand.h"
#include "ReportCommand.h"
#include "ScheduleCommand.h"
#include "ScheduleJobCommand.h"
#include "SqlCommand.h"
#include "TransferCommand.h"
#include "WebOrderCommand.h"
#include "XmlCommand.h"
#include "TrackCommand.h"

#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "printing/CPrint.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDate>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <iterator>
#include <memory>
#include <QtCore/QTextStream>

// tavrel-dbtool: the test and diagnosis harness over the shop database. Each
// command lives in its own file; this table dispatches to them.
namespace {

struct Command
{
    const char *name;
    DbToolCommand run;
};

const Command kCommands[] = {
    {"create", runCreateCommand},
    {"sql", runSqlCommand},
    {"sample", runSampleCommand},
    {"price", runPriceCommand},
    {"check", runCheckCommand},
    {"job", runJobCommand},
    {"ar", runArCommand},
    {"query", runQueryCommand},
    {"print", runPrintCommand},
    {"barcode", runBarcodeCommand},
    {"scan", runScanCommand},
    {"inventory", runInventoryCommand},
    {"export", runExportCommand},
    {"report", runReportCommand},
    {"schedule", runScheduleCommand},
    {"quicksale", runQuickSaleCommand},
    {"xml", runXmlCommand},
    {"mail", runMailCommand},
    {"transfer", runTransferCommand},
    {"schedule-job", runScheduleJobCommand},
    {"layout", runLayoutCommand},
    {"pricelist", runPriceListCommand},
    {"clock", runClockCommand},
    {"tracking", runTrackingCommand},
    {"weborder", runWebOrderCommand},
};

// The commands that draw (fonts, paint devices) and so need the GUI
// application; without a display they draw offscreen.
const char *const kDrawingCommands[] = {
    "print",
    "barcode",
    "schedule",
    "schedule-job",
    "export",
    "report",
    "xml",
    "mail",
    "layout",
    "clock",
    "tracking",
};

} // namespace

int main(int argc, char *argv[])
{
    // Printing needs fonts and paint devices; without a display it draws offscreen.
    const bool drawing = argc >= 2
        && std::any_of(std::begin(kDrawingCommands), std::end(kDrawingCommands),
                       [&](const char *name) { return qstrcmp(argv[1], name) == 0; });
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application;
    if (drawing)
        application = std::make_unique<QApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
    // Every PDF the tool prints gets the print engine's record of what it
    // cut beside it ("FILE.pdf.cuts"), for tests and checks to read.
    CPrint::SetRecordBesidePdf(true);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments();
    // "--today M/D/YYYY" fixes the program's clock for any command, so a
    // run can be repeated on a known day.
    const int today = args.indexOf(QStringLiteral("--today"));
    if (today >= 2) {
        const QDate day = today + 1 < args.size()
                              ? QDate::fromString(args[today + 1], QStringLiteral("M/d/yyyy"))
                              : QDate();
        if (!day.isValid()) {
            err << "--today takes a date as M/D/YYYY\n";
            return 2;
        }
        platform::Clock::setFixed(QDateTime(day, QTime(9, 0)));
        args.remove(today, 2);
    }
    if (args.size() >= 2) {
        for (const Command &c : kCommands) {
            if (args[1] == QLatin1String(c.name)) {
                int code = c.run(args.mid(2), out, err);
                // Whatever the command left open is closed, so the tool's
                // entry leaves the lock file with it.
                if (SharedDatabase().isOpen())
                    SharedDatabase().close();
                // A PDF that does not print every text whole is a failed
                // print: it and its record stay for reading, the run fails
                // saying what was cut.
                const QStringList cuts = CPrint::CutsBesidePdfs();
                if (!cuts.isEmpty()) {
                    out.flush();
                    err << "the print cut what it was to print whole:\n";
                    for (const QString &line : cuts)
                        err << "  " << line << '\n';
                    err.flush();
                    if (code == 0)
                        code = 1;
                }
                return code;
            }
        }
    }
    err << "usage: tavrel-dbtool COMMAND ... [--today M/D/YYYY]\n"
           "  create PATH\n"
           "  sample PATH [--jobs N]\n"
           "  sql DB \"STATEMENT\" [--translate]\n"
           "  check DB\n"
           "  price DB JOBNO ITEMNO [--type TYPE] [--detail]\n"
           "  job DB new TYPE CUSNO [--buyer N] [--csr N]\n"
           "  job DB copy JOBID TYPE [--customer N] [--today M/D/YYYY]\n"
           "  job DB credit JOBID [--revised] [--today M/D/YYYY]\n"
           "  job DB apply-credit JOBID AMOUNT [--today M/D/YYYY]\n"
           "  ar DB post [JOBID...] | pay CUSNO AMOUNT [JOBNO[:AMOUNT]...] [--use-credit] | latefee JOBID...\n"
           "     [--rule P,M,F] | clearfee JOBID... | writeoff JOBID... | credit CUSNO AMOUNT [REASON]\n"
           "  query DB [NAME \"STATEMENT\" | NAME --delete]\n"
           "  print DB --sql \"SELECT ...\" --pdf FILE [--pages A-B] [--preview]\n"
           "  print DB --job JOBID --kind K [--form N] [--options BITS] --pdf FILE [--paper A4] [--attach]\n"
           "  print DB --statement CUSNO --kind K [--past-due] [--options BITS] --pdf FILE [--paper A4] [--attach]\n"
           "  print DB --view V [--branch B --item I] [--list [--filter COND | --query NAME]] --kind K --key KEY [--options BITS] (--pdf FILE [--preview] | --attach DIR)\n"
           "  print DB --sheet 301-305 --pdf FILE\n"
           "  print DB --ar-summary --pdf FILE\n"
           "  barcode DIGIT NUMBER FILE.png\n"
           "  scan \"Shift 6 1 2 Shift 3\"\n"
           "  inventory DB MODE [--job JOBNO [--type TYPE] | --service SERNO]\n"
           "  export DB KIND ... FILE (run without KIND for the kinds)\n"
           "  report DB CODE [--sql] [--from MM/DD/YYYY --to MM/DD/YYYY] [--two-tax] [--pdf FILE]\n"
           "  schedule DB CODE [--options MASK] [--filter \"COND\"] [--keys K,... --command ID] [--pdf FILE.pdf]\n"
           "  schedule-job DB JOBNO [--scroll N] [--auto]\n"
           "  quicksale DB TAXNO TENDERED LINE... [--paid-by TYPE] (LINE: SERNO:QTY, SERNO:QTY@UNIT or SERNO:QTY=PRICE)\n"
           "  xml DB jobs TEMPLATE JOBNO... | xml DB list TEMPLATE NAME HEADING | xml FILE --load | xml FILE --order\n"
           "  mail receive HOST:PORT USER PASS [--delete] [--save DIR] [--timeout S]\n"
           "  mail send SMTPURL --to A --subject S --text T [--from F] [--attach FILE]\n"
           "  mail link URL FOLDER [--cusno N]\n"
           "  transfer DB send|get [NAME] --site ftp://HOST:PORT [--to DIR]\n"
           "  layout SHEET PIECE [--options N] [--trim T] [--png FILE] [--pdf FILE]\n"
           "  pricelist DB JOBNO ITEMNO [--type TYPE] [--quantity TEXT]\n"
           "  clock DB --now \"MM/DD/YYYY HH:MM\" EMPNO ACTION [ID] [--pending ID]\n"
           "  tracking DB CODE [--from MM/DD/YYYY --to MM/DD/YYYY] [--operator N] [--update | --close]\n"
           "  weborder DB FILE [--xml] [--yes] [--save order|quote] [--message-id ID]\n";
    return 2;
}
