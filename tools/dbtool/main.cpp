#include <QtCore/QCoreApplication>
#include <QtCore/QTextStream>

#include <cstdio>

int RunCreateCommand(const QStringList &arguments);

// tavrel-dbtool: the test and diagnosis harness over the shop database.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() >= 2 && args.at(1) == QLatin1String("create"))
        return RunCreateCommand(args.mid(2));
    err << "usage: tavrel-dbtool create PATH | sample PATH [--jobs N] | sql DB \"STATEMENT\" [--translate] | price DB JOBNO ITEMNO\n";
    return args.size() < 2 ? 2 : 2;
}
