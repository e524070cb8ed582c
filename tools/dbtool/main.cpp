#include <QtCore/QCoreApplication>
#include <QtCore/QTextStream>

#include <cstdio>

// tavrel-dbtool: the test and diagnosis harness over the shop database.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    err << "usage: tavrel-dbtool create PATH | sample PATH [--jobs N] | sql DB \"STATEMENT\" [--translate] | price DB JOBNO ITEMNO\n";
    return args.size() < 2 ? 2 : 2;
}
