#include "CheckCommand.h"
#include "CreateCommand.h"
#include "DbToolCommand.h"
#include "SampleCommand.h"
#include "PriceCommand.h"
#include "PrintCommand.h"
#include "SqlCommand.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QApplication>

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
    {"print", runPrintCommand},
    {"barcode", runBarcodeCommand},
    {"scan", runScanCommand},
};

} // namespace

int main(int argc, char *argv[])
{
    // Printing needs fonts and paint devices; without a display it draws offscreen.
    const bool drawing = argc >= 2 && (qstrcmp(argv[1], "print") == 0 || qstrcmp(argv[1], "barcode") == 0);
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application;
    if (drawing)
        application = std::make_unique<QApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() >= 2) {
        for (const Command &c : kCommands) {
            if (args[1] == QLatin1String(c.name))
                return c.run(args.mid(2), out, err);
        }
    }
    err << "usage: tavrel-dbtool create PATH | sample PATH [--jobs N] | sql DB \"STATEMENT\" [--translate] | price DB JOBNO ITEMNO | print DB --sql SQL --pdf FILE | barcode DIGIT NUMBER FILE.png | scan KEYS\n";
    return 2;
}
