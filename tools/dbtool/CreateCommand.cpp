#include "CreateCommand.h"

#include "data/ShopDatabase.h"
#include "data/ShopSchema.h"
#include "platform/db/DbException.h"

#include <QtCore/QFileInfo>

int runCreateCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1 || args.first().isEmpty()) {
        err << "usage: tavrel-dbtool create PATH\n";
        return 2;
    }
    const QString path = args.first();
    if (QFileInfo::exists(path)) {
        err << "tavrel-dbtool: " << path << " exists already; nothing was written.\n";
        return 1;
    }
    try {
        CreateShopDatabase(path);
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
    out << "Created " << QFileInfo(path).absoluteFilePath() << " (" << ShopSchema::tables().size()
        << " tables, version " << ShopSchema::versionText() << ").\n";
    return 0;
}
