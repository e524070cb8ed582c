#include "CheckCommand.h"
#include "CreateCommand.h"
#include "DbToolCommand.h"
#include "InventoryCommand.h"
#include "SampleCommand.h"
#include "PriceCommand.h"
#include "SqlCommand.h"

#include <QtCore/QCoreApplication>
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
    {"inventory", runInventoryCommand},
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() >= 2) {
        for (const Command &c : kCommands) {
            if (args[1] == QLatin1String(c.name))
                return c.run(args.mid(2), out, err);
        }
    }
    err << "usage: tavrel-dbtool create PATH | sample PATH [--jobs N] | sql DB \"STATEMENT\" [--translate] | price DB JOBNO ITEMNO [--detail] | inventory DB MODE [--job JOBNO | --service SERNO]\n";
    return 2;
}
