#include "JetTestDatabase.h"
#include "ProgramStatementSchema.h"

#include "platform/db/DbException.h"
#include "platform/db/jet/JetTokenizer.h"

#include <QtCore/QFile>
#include <QtCore/QMap>
#include <QtCore/QSet>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

using platform::FieldType;
using platform::jet::JetToken;
using platform::jet::JetTokenizer;

namespace {

QString prepareError(JetTestDatabase &db, const QString &sql)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray u = sql.toUtf8();
    QString error;
    if (sqlite3_prepare_v2(db.handle(), u.constData(), int(u.size()), &stmt, nullptr) != SQLITE_OK)
        error = QString::fromUtf8(sqlite3_errmsg(db.handle()));
    sqlite3_finalize(stmt);
    return error;
}

} // namespace

// Every statement the program's code quotes translates against the tables it
// names, and SQLite accepts what comes out.
TEST(JetProgramStatements, TranslateAndPrepare)
{
    QFile file(QStringLiteral(TAVREL_TEST_DATA "/program-statements.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList statements = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GT(statements.size(), 150);
    QStringList failures;
    for (const QString &sql : statements) {
        JetTestDatabase db;
        const NamedSchema names = namesOf(sql);
        for (const QString &table : names.tables) {
            QList<JetTestDatabase::Col> cols;
            for (const QString &c : names.columns.value(table.toLower()))
                cols.append({c, guessType(c), 255});
            if (cols.isEmpty())
                cols.append({QStringLiteral("ID"), FieldType::Long, 0});
            db.addTable(table, cols);
        }
        QString error;
        try {
            const auto t = db.translator().translate(sql);
            if (t.kind == platform::jet::Translation::Kind::Crosstab) {
                error = prepareError(db, t.pivotValuesSql);
                if (error.isEmpty())
                    error = prepareError(db, t.buildCrosstab({platform::Value(QStringLiteral("a")), platform::Value()}).sql);
            } else {
                error = prepareError(db, t.sql);
                if (!error.isEmpty())
                    error += QLatin1String("\n    ") + t.sql;
            }
        } catch (const platform::DbException &e) {
            error = QStringLiteral("%1 %2").arg(e.number()).arg(e.description());
        }
        if (!error.isEmpty()) {
            for (const QString &table : names.tables)
                error += QStringLiteral("\n    table %1: %2").arg(table, names.columns.value(table.toLower()).join(QLatin1Char(',')));
            failures.append(error + QLatin1String("\n    ") + sql);
        }
    }
    std::cout << "program statements: " << statements.size() - failures.size() << " of " << statements.size()
              << " translate and prepare" << std::endl;
    EXPECT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char('\n')).toStdString();
}
