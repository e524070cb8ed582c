#include "SqlCommand.h"

#include "platform/db/Database.h"
#include "platform/db/DatabaseImpl.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

namespace {

QString cellText(const platform::Value &v)
{
    if (v.isNull())
        return QString();
    QString s = v.toString();
    // One row per line: line breaks and tabs inside a value are shown escaped.
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    s.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    s.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return s;
}

} // namespace

int runSqlCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QStringList rest = args;
    const bool translateOnly = rest.removeAll(QStringLiteral("--translate")) > 0;
    if (rest.size() != 2) {
        err << "usage: tavrel-dbtool sql DB \"STATEMENT\" [--translate]\n";
        return 2;
    }
    const QString &path = rest[0];
    const QString &statement = rest[1];
    try {
        platform::Database db;
        db.open(path, false, translateOnly);
        const platform::jet::Translation t = db.impl()->translate(db.impl()->sourceText(statement));
        if (translateOnly) {
            out << (t.kind == platform::jet::Translation::Kind::Crosstab ? t.pivotValuesSql : t.sql) << '\n';
            return 0;
        }
        if (t.kind != platform::jet::Translation::Kind::Select && t.kind != platform::jet::Translation::Kind::Crosstab) {
            db.execute(statement);
            out << db.recordsAffected() << '\n';
            return 0;
        }
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, statement);
        QStringList line;
        for (int i = 0; i < rs.fieldCount(); ++i)
            line.append(rs.fieldName(i));
        out << line.join(QLatin1Char('\t')) << '\n';
        for (; !rs.isEOF(); rs.moveNext()) {
            line.clear();
            for (int i = 0; i < rs.fieldCount(); ++i)
                line.append(cellText(rs.value(i)));
            out << line.join(QLatin1Char('\t')) << '\n';
        }
        return 0;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
}
