#include "catalogue/ServiceUpdates.h"

#include "app/base/Codes.h"
#include "app/base/MoneyText.h"
#include "catalogue/ServiceRules.h"
#include "data/CSerSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QStringList>

#include <functional>
#include <limits>

using platform::Value;

namespace {

bool serviceExists(platform::Database &db, qint32 serNo)
{
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Count(*) FROM Services WHERE SerNo = ?"),
            {Value(serNo)});
    return !rs.isEOF() && rs.value(0).toInt() > 0;
}

// Runs the change of one row for every existing service in one transaction.
int forEachService(const QList<qint32> &serNos, const std::function<void(platform::Database &, qint32)> &change)
{
    platform::Database &db = SharedDatabase();
    int written = 0;
    try {
        platform::Transaction transaction(db);
        for (qint32 serNo : serNos) {
            if (!serviceExists(db, serNo))
                continue;
            change(db, serNo);
            ++written;
        }
        transaction.commit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Services"));
        return -1;
    }
    return written;
}

} // namespace

int SetServicesStatus(const QList<qint32> &serNos, quint8 status)
{
    return forEachService(serNos, [status](platform::Database &db, qint32 serNo) {
        db.execute(QStringLiteral("UPDATE Services SET SerStatus = ? WHERE SerNo = ?"),
                   {Value(qint32(status)), Value(serNo)});
    });
}

int SetServicesCostMultiplier(const QList<qint32> &serNos, float multiplier)
{
    return forEachService(serNos, [multiplier](platform::Database &db, qint32 serNo) {
        db.execute(QStringLiteral("UPDATE Services SET CostOH = ? WHERE SerNo = ?"),
                   {Value(double(multiplier)), Value(serNo)});
    });
}

int UpdateServicesRunCosts(const QList<qint32> &serNos, qint64 percentTenThousandths, int step, QString *refusal)
{
    platform::Database &db = SharedDatabase();
    int written = 0;
    QStringList refused;
    try {
        platform::Transaction transaction(db);
        for (qint32 serNo : serNos) {
            QString select = QStringLiteral("SELECT Name");
            for (int i = 1; i <= 9; ++i)
                select += QStringLiteral(", RunCost%1").arg(i);
            platform::Recordset rs(db);
            rs.open(platform::Recordset::Type::Snapshot, select + QStringLiteral(" FROM Services WHERE SerNo = ?"),
                    {Value(serNo)});
            if (rs.isEOF())
                continue; // gone: skipped, not counted
            const QString name = rs.value(0).isNull() ? QString() : rs.value(0).toString();
            QString update = QStringLiteral("UPDATE Services SET ");
            QList<Value> values;
            QString past;
            for (int i = 0; i < 9 && past.isEmpty(); ++i) {
                const qint32 old = rs.value(i + 1).isNull() ? 0 : qint32(rs.value(i + 1).toInt());
                qint32 raised = 0;
                if (!RaisedRunCost(old, percentTenThousandths, step, raised)) {
                    // Said as the column holds it, in dollars: never cut to fit.
                    past = QStringLiteral("\"%1\": \"RunCost%2\" cannot be more than %3, the largest it holds.")
                               .arg(name)
                               .arg(i + 1)
                               .arg(FormatFixedPoint(std::numeric_limits<qint32>::max(), 2, true));
                    break;
                }
                update += QStringLiteral("RunCost%1 = ?%2").arg(i + 1).arg(i < 8 ? QStringLiteral(", ") : QString());
                values << Value(raised);
            }
            rs.close();
            if (!past.isEmpty()) {
                refused << past;
                continue; // this service keeps every cost it had
            }
            values << Value(serNo);
            db.execute(update + QStringLiteral(" WHERE SerNo = ?"), values);
            ++written;
        }
        transaction.commit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Services"));
        return -1;
    }
    if (refusal)
        *refusal = refused.isEmpty() ? QString()
                                     : refused.join(QLatin1Char('\n'))
                                           + QStringLiteral("\n\nThe costs of these services are not updated.");
    return written;
}

int MoveServicesToCategory(const QList<qint32> &serNos, qint32 catNo)
{
    return forEachService(serNos, [catNo](platform::Database &db, qint32 serNo) {
        db.execute(QStringLiteral("UPDATE Services SET CatNo = ? WHERE SerNo = ?"), {Value(catNo), Value(serNo)});
    });
}

bool SaveServicesSortOrder(const QList<qint32> &serNosInOrder)
{
    platform::Database &db = SharedDatabase();
    try {
        platform::Transaction transaction(db);
        qint32 sortNo = 0;
        for (qint32 serNo : serNosInOrder)
            db.execute(QStringLiteral("UPDATE Services SET SortNo = ? WHERE SerNo = ?"),
                       {Value(++sortNo), Value(serNo)});
        transaction.commit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Services"));
        return false;
    }
    return true;
}

qint32 DuplicateService(qint32 serNo)
{
    platform::Database &db = SharedDatabase();
    // A failure of a row of the copy is shown once the copy has rolled back.
    DeferredDaoErrors deferred;
    try {
        platform::Transaction transaction(db);
        CSerSet source;
        if (!source.FindBySerNo(serNo) || source.IsEmptySet())
            return 0;
        CSerSet copy;
        copy.m_strFilter = QStringLiteral("SerNo = 0");
        copy.Open();
        if (!copy.IsOpen() || !copy.SafeAddNew())
            return 0;
        copy = source;
        copy.m_Name = DuplicateServiceName(source.m_Name);
        copy.m_SerNo = 0;
        if (!copy.SaveNew(1))
            return 0;
        const qint32 newNo = copy.m_SerNo;
        copy.Close();
        source.Close();

        // Price table 0 and the difficulty row go with the copy; a service
        // without them has nothing to copy.
        const struct
        {
            QString count;
            QString rows;
        } tables[] = {
            {QStringLiteral("SELECT Count(*) FROM ServicePriceTables WHERE Opt1 = 0 and SerNo = ?"),
             QStringLiteral("SELECT * FROM ServicePriceTables WHERE Opt1 = 0 and SerNo = %1")},
            {QStringLiteral("SELECT Count(*) FROM ServiceDiffTables WHERE SerNo = ?"),
             QStringLiteral("SELECT * FROM ServiceDiffTables WHERE SerNo = %1")},
        };
        for (const auto &table : tables) {
            platform::Recordset rs(db);
            rs.open(platform::Recordset::Type::Snapshot, table.count, {Value(serNo)});
            const bool present = !rs.isEOF() && rs.value(0).toInt() > 0;
            rs.close();
            if (present && !CXDaoSet::CopyRows(table.rows.arg(serNo), newNo, 0))
                return 0;
        }
        transaction.commit();
        return newNo;
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Services"));
        return 0;
    }
}

bool CanMoveServiceToCategory(qint32 serviceCatNo, qint32 targetCatNo)
{
    const bool paperFrom = IsPaperCategory(serviceCatNo);
    const bool paperTo = IsPaperCategory(targetCatNo);
    const bool printFrom = IsPrintingCategory(serviceCatNo);
    const bool printTo = IsPrintingCategory(targetCatNo);
    if ((paperFrom && paperTo) || (printFrom && printTo))
        return true;
    if (paperFrom != paperTo || printFrom != printTo)
        return false;
    return !IsCategory6(serviceCatNo);
}
