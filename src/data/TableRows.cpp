#include "data/TableRows.h"

#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

QString BracketName(const QString &name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

bool HasRowWithKey(platform::Database &db, const QString &table, const QString &keyField,
                   const platform::Value &key)
{
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT %1 FROM %2 WHERE %1 = ?").arg(BracketName(keyField), BracketName(table)),
            {key});
    return !rs.isEOF();
}

void InsertTableRow(platform::Database &db, const QString &table, const QStringList &fields,
                    const QList<platform::Value> &values)
{
    Q_ASSERT(fields.size() == values.size());
    QStringList names;
    QStringList marks;
    for (const QString &f : fields) {
        names << BracketName(f);
        marks << QStringLiteral("?");
    }
    db.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                   .arg(BracketName(table), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
               values);
}
