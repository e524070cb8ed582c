#include "customers/CustomerRecords.h"

#include "app/base/SqlText.h"
#include "data/CCusSet.h"
#include "data/CXDaoSet.h"
#include "data/DaoError.h"
#include "data/DatabaseOpening.h"
#include "data/OneValueOverNow.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/Prompt.h"

#include <functional>
#include <optional>

namespace {

constexpr int kHidden = 2;
// Customers up to the walk-in customer are the program's own.
constexpr qint32 kLastReservedCustomer = 31;

platform::Database *openShared()
{
    platform::Database &db = SharedDatabase();
    if (!db.isOpen() && !OpenDatabase(&db))
        return nullptr;
    return &db;
}

qint32 countRows(platform::Database &db, const QString &sql, qint32 key)
{
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, sql, {platform::Value(key)});
    return rs.isEOF() ? 0 : rs.value(0).toInt();
}

// Runs the work in one transaction; a database failure rolls it back and is
// shown with the context. False on failure.
bool inOneTransaction(const QString &context, const std::function<void(platform::Database &)> &work)
{
    platform::Database *db = openShared();
    if (!db)
        return false;
    std::optional<platform::DbException> failure;
    try {
        platform::Transaction transaction(*db);
        work(*db);
        transaction.commit();
    } catch (const platform::DbException &e) {
        failure = e;
    }
    if (failure) {
        ShowDaoError(*failure, context);
        return false;
    }
    return true;
}

// An empty text deletes the customer's alert row, any other text replaces or
// adds it.
void writeCustomerAlertRow(platform::Database &db, qint32 cusNo, int alertType, const QString &text)
{
    const QList<platform::Value> keys{platform::Value(cusNo), platform::Value(qint32(alertType))};
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT Count(*) FROM CustomerAlerts WHERE CusNo = ? and AlertType = ?"), keys);
    const bool exists = !rs.isEOF() && rs.value(0).toInt() > 0;
    rs.close();
    if (exists && text.isEmpty())
        db.execute(QStringLiteral("DELETE FROM CustomerAlerts WHERE CusNo = ? and AlertType = ?"), keys);
    else if (exists)
        db.execute(QStringLiteral("UPDATE CustomerAlerts SET AlertText = ? WHERE CusNo = ? and AlertType = ?"),
                   {platform::Value(text), platform::Value(cusNo), platform::Value(qint32(alertType))});
    else if (!text.isEmpty())
        db.execute(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (?, ?, ?)"),
                   {platform::Value(cusNo), platform::Value(qint32(alertType)), platform::Value(text)});
}

struct RecordTable
{
    QString table;
    QString key;
    QString status;
};

RecordTable tableOf(StatusKind kind)
{
    switch (kind) {
    case StatusKind::Contacts:
        return {QStringLiteral("Contacts"), QStringLiteral("ContactNo"), QStringLiteral("Type")};
    case StatusKind::Shiptos:
        return {QStringLiteral("Shipto"), QStringLiteral("ShiptoNo"), QStringLiteral("Type")};
    case StatusKind::Customers:
    default:
        return {QStringLiteral("Customers"), QStringLiteral("CusNo"), QStringLiteral("CusStatus")};
    }
}

// Deletes or hides each row; `usedBy` finds the jobs that keep a row, and
// `defaults` lists the customer columns that may name it.
DeleteOutcome deleteOrHide(StatusKind kind, const QList<qint32> &keys, const QString &usedBy,
                           const QStringList &defaults)
{
    const RecordTable t = tableOf(kind);
    DeleteOutcome outcome;
    const bool ok = inOneTransaction(QStringLiteral("Cannot delete ") + t.table, [&](platform::Database &db) {
        for (qint32 key : keys) {
            if (key == 0)
                continue;
            const QString where = QStringLiteral(" WHERE %1 = ?").arg(t.key);
            if (countRows(db, QStringLiteral("SELECT Count(*) FROM ") + t.table + where, key) == 0)
                continue;
            if (countRows(db, usedBy, key) > 0) {
                db.execute(QStringLiteral("UPDATE %1 SET %2 = %3").arg(t.table, t.status).arg(kHidden) + where,
                           {platform::Value(key)});
                ++outcome.hidden;
                continue;
            }
            db.execute(QStringLiteral("DELETE FROM ") + t.table + where, {platform::Value(key)});
            for (const QString &column : defaults)
                db.execute(QStringLiteral("UPDATE Customers SET %1 = 0 WHERE %1 = ?").arg(column),
                           {platform::Value(key)});
            ++outcome.deleted;
        }
    });
    if (!ok)
        return DeleteOutcome{0, 0, false};
    return outcome;
}

} // namespace

bool CustomerNameExists(qint32 cusNo, const QString &name)
{
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot,
             QStringLiteral("SELECT CusNo FROM Customers WHERE CusNo <> %1 and Name = %2").arg(cusNo).arg(QuoteText(name)));
    const bool found = set.IsOpen() && !set.IsEmptySet();
    set.Close();
    return found;
}

bool WriteCustomerAlert(qint32 cusNo, int alertType, const QString &shown, const QString &text,
                        const QString &label, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (cusNo <= 0)
        return false;
    // The alert is written only over the text as it is now; another user's
    // change to it since this window showed it, to something else, is put to
    // the user.
    platform::Database *db = nullptr;
    const OneValueOverNow settle(label, [&](const std::function<void()> &body) {
        return inOneTransaction(QStringLiteral("Cannot save CustomerAlerts"), [&](platform::Database &write) {
            db = &write;
            body();
        });
    });
    return settle.Save<QString>(
        shown, text,
        [&]() -> std::optional<QString> {
            platform::Recordset rs(*db);
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = ? and AlertType = ? "
                                   "ORDER BY AlertNo"),
                    {platform::Value(cusNo), platform::Value(qint32(alertType))});
            return rs.isEOF() || rs.value(0).isNull() ? QString() : rs.value(0).toString();
        },
        [&] { writeCustomerAlertRow(*db, cusNo, alertType, text); }, [](const QString &value) { return value; },
        cancelled);
}

bool DiscardNewCustomer(qint32 cusNo)
{
    if (cusNo <= kLastReservedCustomer)
        return false;
    CCusSet customers;
    return customers.DeleteCustomer(cusNo);
}

DeleteOutcome DeleteContacts(const QList<qint32> &contactNos)
{
    return deleteOrHide(StatusKind::Contacts, contactNos,
                        QStringLiteral("SELECT Count(*) FROM Jobs WHERE Jobs.BuyerNo = ?"),
                        {QStringLiteral("BuyerNo"), QStringLiteral("PayerNo")});
}

DeleteOutcome DeleteShiptos(const QList<qint32> &shiptoNos)
{
    return deleteOrHide(StatusKind::Shiptos, shiptoNos,
                        QStringLiteral("SELECT Count(*) FROM Jobs WHERE Jobs.ShiptoNo = ?"),
                        {QStringLiteral("ShiptoNo")});
}

int SetRecordStatus(StatusKind kind, const QList<qint32> &keys, int status, bool countUnchanged)
{
    const RecordTable t = tableOf(kind);
    int changed = 0;
    const bool ok = inOneTransaction(QStringLiteral("Cannot save ") + t.table, [&](platform::Database &db) {
        for (qint32 key : keys) {
            if (key == 0)
                continue;
            platform::Recordset rs(db);
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(t.status, t.table, t.key),
                    {platform::Value(key)});
            if (rs.isEOF())
                continue;
            const int current = rs.value(0).toInt();
            rs.close();
            if (current == status && !countUnchanged)
                continue;
            db.execute(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?").arg(t.table, t.status, t.key),
                       {platform::Value(qint32(status)), platform::Value(key)});
            ++changed;
        }
    });
    return ok ? changed : -1;
}
