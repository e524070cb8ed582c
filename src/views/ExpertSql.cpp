#include "views/ExpertSql.h"

#include "platform/db/Database.h"
#include "platform/db/DbException.h"

namespace {

// The statement with a trailing ";" and blanks removed; reports whether
// another statement follows a ";" outside quoted text.
bool hasSecondStatement(const QString &text)
{
    QChar quote;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            if (!text.mid(i + 1).trimmed().isEmpty())
                return true;
        }
    }
    return false;
}

} // namespace

QString CheckExpertStatement(const QString &statement)
{
    const QString refusal = QStringLiteral("Cannot execute ") + statement;
    const QString text = statement.trimmed();
    // The keyword must open the statement, in capitals as the runner asks for.
    if (!text.startsWith(QLatin1String("UPDATE ")) && !text.startsWith(QLatin1String("INSERT INTO")))
        return refusal;
    if (hasSecondStatement(text))
        return refusal;
    return QString();
}

bool DeletePracticeData(platform::Database &db, QString *error)
{
    static const char *const kTables[] = {"AuditTrail", "PostingJournal", "QuickSales",
                                          "QuickSalesItems", "Payments", "PayApplied"};
    try {
        platform::Transaction transaction(db);
        for (const char *table : kTables)
            db.execute(QStringLiteral("DELETE FROM %1").arg(QString::fromLatin1(table)));
        transaction.commit();
    } catch (const platform::DbException &e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return false;
    }
    return true;
}
