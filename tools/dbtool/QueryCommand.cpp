#include "QueryCommand.h"

#include "data/CXDaoSet.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"

int runQueryCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1 && args.size() != 3) {
        err << "usage: tavrel-dbtool query DB [NAME \"STATEMENT\" | NAME --delete]\n";
        return 2;
    }
    try {
        platform::Database db;
        db.open(args[0]);
        if (args.size() == 1) {
            for (const platform::Database::QueryDefInfo &q : db.queryDefs())
                out << q.name << '\t' << q.type << '\n';
            return 0;
        }
        const QString &name = args[1];
        if (args[2] == QLatin1String("--delete")) {
            CXDaoSet::DeleteQueryDef(name, &db);
            return 0;
        }
        if (CXDaoSet::QueryDefExists(name, &db))
            CXDaoSet::SetQueryDefSQL(name, args[2], &db);
        else
            CXDaoSet::CreateQueryDef(name, args[2], &db);
        return 0;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
}
