// tavrel-db-peer: a second workstation for the tests of one shared database
// file. It reads one command per line on its input and answers each with one
// line, "ok" (and a result) or "error <number>", so a test drives it step by
// step without timing guesses.
//
//   open [exclusive]           open the database given on the command line
//   set SQL|FIELD|VALUE        edit the first row of a dynaset, store a text
//   delete SQL                 delete the first row of a dynaset
//   connections                the number of live entries in the lock file
//   close                      close the database
//   quit
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/LockFile.h"
#include "platform/db/Recordset.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTextStream>

#include <iostream>
#include <string>

using namespace platform;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    if (args.size() >= 4 && args[2] == QLatin1String("--as")) {
        const QStringList who = args[3].split(QLatin1Char('/'));
        LockFile::setIdentity(who.value(0), who.value(1));
    }
    Database::setBusyTimeout(200);
    Database db;
    std::string line;
    while (std::getline(std::cin, line)) {
        const QString command = QString::fromStdString(line).trimmed();
        const QString verb = command.section(QLatin1Char(' '), 0, 0);
        const QString rest = command.section(QLatin1Char(' '), 1);
        QString answer = QStringLiteral("ok");
        try {
            if (verb == QLatin1String("open")) {
                db.open(args[1], rest == QLatin1String("exclusive"));
            } else if (verb == QLatin1String("set")) {
                const QStringList parts = rest.split(QLatin1Char('|'));
                Recordset rs(db);
                rs.open(Recordset::Type::Dynaset, parts.value(0));
                rs.edit();
                rs.setValue(parts.value(1), Value(parts.value(2)));
                rs.update();
            } else if (verb == QLatin1String("delete")) {
                Recordset rs(db);
                rs.open(Recordset::Type::Dynaset, rest);
                rs.deleteRecord();
            } else if (verb == QLatin1String("connections")) {
                answer += QLatin1Char(' ') + QString::number(db.connections().size());
            } else if (verb == QLatin1String("close")) {
                db.close();
            } else if (verb == QLatin1String("quit")) {
                std::cout << "ok" << std::endl;
                return 0;
            } else {
                answer = QStringLiteral("error 0");
            }
        } catch (const DbException &e) {
            answer = QStringLiteral("error %1").arg(e.number());
        }
        std::cout << answer.toStdString() << std::endl;
    }
    return 0;
}
