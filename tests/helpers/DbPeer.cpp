// tavrel-db-peer: a second workstation for the tests of one shared database
// file. It reads one command per line on its input and answers each with one
// line, "ok" (and a result) or "error <number>", so a test drives it step by
// step without timing guesses.
//
//   open [exclusive]           open the database given on the command line
//   set SQL|FIELD|VALUE        edit the first row of a dynaset, store a text
//   delete SQL                 delete the first row of a dynaset
//   increment SQL|FIELD|N|US   N times: read the first row's number, wait US
//                              microseconds, add 1 through Edit and Update;
//                              answers "ok KEPT REFUSED BUSY" (refused: 3197)
//   turns N|MS                 takes the write lock N times in turn, each
//                              for MS milliseconds ending with a write (the
//                              first job's JobNo raised), and takes it again
//                              at once; answers "ok" once it holds it the
//                              first time (the turns go on before the next
//                              command is read)
//   hold MS                    holds the write lock MS milliseconds with no
//                              write ending; answers "ok" once it holds it
//   connections                the number of live entries in the lock file
//   close                      close the database
//   write PATH|BYTES           write a file of BYTES bytes through the
//                              writer of the user's files ("ok", or
//                              "failed" and why)
//   quit
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/LockFile.h"
#include "platform/db/Recordset.h"
#include "platform/UserFile.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTextStream>

#include <iostream>
#include <string>

#include <unistd.h>

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
    const int busy = args.indexOf(QStringLiteral("--busy"));
    Database::setBusyTimeout(busy > 0 ? args.value(busy + 1).toInt() : 200);
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
            } else if (verb == QLatin1String("increment")) {
                const QStringList parts = rest.split(QLatin1Char('|'));
                const int times = parts.value(2).toInt();
                const int pause = parts.value(3).toInt();
                int kept = 0, refused = 0, busyCount = 0;
                Recordset rs(db);
                rs.open(Recordset::Type::Dynaset, parts.value(0));
                for (int i = 0; i < times; ++i) {
                    try {
                        rs.requery();
                        const std::int64_t was = rs.value(parts.value(1)).toInt64();
                        if (pause > 0)
                            ::usleep(useconds_t(pause));
                        rs.edit();
                        rs.setValue(parts.value(1), Value(std::int64_t(was + 1), FieldType::Long));
                        rs.update();
                        ++kept;
                    } catch (const DbException &e) {
                        if (rs.editMode() != Recordset::EditMode::None)
                            rs.cancelUpdate();
                        if (e.number() == 3197)
                            ++refused;
                        else if (e.number() == 3260)
                            ++busyCount;
                        else
                            throw;
                    }
                }
                answer += QStringLiteral(" %1 %2 %3").arg(kept).arg(refused).arg(busyCount);
            } else if (verb == QLatin1String("turns") || verb == QLatin1String("hold")) {
                const bool turns = verb == QLatin1String("turns");
                const int times = turns ? rest.section(QLatin1Char('|'), 0, 0).toInt() : 1;
                const int ms = turns ? rest.section(QLatin1Char('|'), 1).toInt() : rest.toInt();
                for (int i = 0; i < times; ++i) {
                    Transaction transaction(db);
                    if (turns)
                        db.execute(QStringLiteral("UPDATE Jobs SET JobNo = JobNo + 1 WHERE Name = 'Cards'"));
                    if (i == 0)
                        std::cout << "ok" << std::endl;
                    ::usleep(useconds_t(ms) * 1000);
                    if (turns)
                        transaction.commit();
                }
                continue;
            } else if (verb == QLatin1String("delete")) {
                Recordset rs(db);
                rs.open(Recordset::Type::Dynaset, rest);
                rs.deleteRecord();
            } else if (verb == QLatin1String("connections")) {
                answer += QLatin1Char(' ') + QString::number(db.connections().size());
            } else if (verb == QLatin1String("write")) {
                QString error;
                if (!UserFile::Write(rest.section(QLatin1Char('|'), 0, 0),
                                     QByteArray(rest.section(QLatin1Char('|'), 1).toInt(), 'n'), error))
                    answer = QStringLiteral("failed ") + error;
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
