#include "data/ShopDatabase.h"
#include "data/ShopSchema.h"
#include "platform/db/DbException.h"

#include <QtCore/QFileInfo>
#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// tavrel-dbtool create PATH: a new shop database with every table, its
// indexes, the rows new tables come with, the version row and the default
// rows. An existing file is never overwritten.
int RunCreateCommand(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (arguments.size() != 1 || arguments.first().isEmpty()) {
        err << "usage: tavrel-dbtool create PATH\n";
        return 2;
    }
    const QString path = arguments.first();
    if (QFileInfo::exists(path)) {
        err << "tavrel-dbtool: " << path << " exists already; nothing was written.\n";
        return 1;
    }
    try {
        CreateShopDatabase(path);
    } catch (const platform::DbException &e) {
        err << "tavrel-dbtool: cannot create " << path << ": Error " << e.number() << ": " << e.description()
            << "\n";
        return 1;
    }
    out << "Created " << QFileInfo(path).absoluteFilePath() << " (" << ShopSchema::tables().size()
        << " tables, version " << ShopSchema::versionText() << ").\n";
    return 0;
}
