#include "data/ShopDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/DatabaseImpl.h"
#include "platform/db/DbException.h"
#include "support/TestEnvironment.h"

#include <QtCore/QFile>

#include <sqlite3.h>

#include <iostream>

using namespace platform;

namespace {

QString prepareError(Database &db, const QString &sql)
{
    sqlite3_stmt *st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &st, nullptr);
    QString error;
    if (rc != SQLITE_OK)
        error = QString::fromUtf8(sqlite3_errmsg(db.handle()));
    sqlite3_finalize(st);
    return error;
}

// Tables of older files that the upgrade reads from and then deletes; the
// current schema has none of them.
const QStringList kTablesOfOldFiles = {QStringLiteral("PriceGrid"), QStringLiteral("PressDifficulties"),
                                       QStringLiteral("PriceTables"), QStringLiteral("PaperSizes")};

bool readsAnOldTable(const QString &sql)
{
    for (const QString &t : kTablesOfOldFiles)
        if (sql.contains(QStringLiteral("FROM ") + t + QLatin1Char(' '), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

class ProgramStatementsOnShopSchema : public TavrelTest
{
};

// Every statement the program runs must translate and prepare against the
// real shop schema: a misspelt table or column, or a column the schema lacks,
// shows up here long before a user opens the list that runs it.
TEST_F(ProgramStatementsOnShopSchema, EveryStatementTranslatesAndPrepares)
{
    const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(path);
    Database db;
    db.open(path);

    QFile file(QStringLiteral(TAVREL_TEST_DATA "/program-statements.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList statements = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GT(statements.size(), 150);

    QStringList failures;
    int oldFileStatements = 0;
    for (const QString &sql : statements) {
        if (readsAnOldTable(sql)) {
            ++oldFileStatements;
            continue;
        }
        QString error;
        try {
            const jet::Translation t = db.impl()->translateSavedQuery(sql);
            if (t.kind == jet::Translation::Kind::Crosstab) {
                error = prepareError(db, t.pivotValuesSql);
                if (error.isEmpty())
                    error = prepareError(db, t.buildCrosstab({Value(QStringLiteral("a")), Value()}).sql);
            } else {
                error = prepareError(db, t.sql);
            }
        } catch (const DbException &e) {
            error = QStringLiteral("%1 %2").arg(e.number()).arg(e.description());
        }
        if (!error.isEmpty())
            failures.append(error + QLatin1String("\n    ") + sql);
    }
    std::cout << "program statements on the shop schema: "
              << statements.size() - oldFileStatements - failures.size() << " of "
              << statements.size() - oldFileStatements << " translate and prepare (" << oldFileStatements
              << " read tables of older files only)" << std::endl;
    EXPECT_LE(oldFileStatements, 5);
    EXPECT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char('\n')).toStdString();
}
