#include "jobs/JobCustomerChange.h"

#include "app/base/DateRanges.h"
#include "app/base/SqlText.h"
#include "data/CContactSet.h"
#include "data/CCusSet.h"
#include "data/CJobSet.h"
#include "data/CShiptoSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

namespace {

platform::Database &databaseOf(CJobSet &job)
{
    return job.m_pDatabase ? *job.m_pDatabase : SharedDatabase();
}

// A text matched literally by "like": the wildcard characters stand for
// themselves.
QString LiteralLike(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#') || c == QLatin1Char('['))
            out += QLatin1Char('[') + c + QLatin1Char(']');
        else
            out += c;
    }
    return QuoteText(out);
}

qint32 firstKey(platform::Database &db, const QString &sql)
{
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, sql);
    return rs.isEOF() || rs.value(0).isNull() ? 0 : qint32(rs.value(0).toInt());
}

} // namespace

bool AssignJobToCustomer(CJobSet &job, qint32 cusNo, int ticked, QString &report)
{
    platform::Database &db = databaseOf(job);
    CCusSet customer(job.m_pDatabase);
    const QString text = customer.FormatCustomer(cusNo, 9);
    if (text.isEmpty() || !customer.FindCustomer(cusNo))
        return false;
    report = QStringLiteral("The job is assigned to ") + text + QStringLiteral("\n\n");
    CJobSet before(job.m_pDatabase);
    before = job;
    bool done = false;
    try {
        platform::Transaction transaction(db);
        done = [&] {
        if (ticked & AssignBuyer) {
            job.m_BuyerNo = customer.m_BuyerNo;
        } else {
            CContactSet buyer(job.m_pDatabase);
            if (job.m_BuyerNo != 0 && buyer.FindContact(job.m_BuyerNo)) {
                const qint32 same = firstKey(
                    db, QStringLiteral("SELECT ContactNo FROM Contacts WHERE CusNo = %1 and First like %2 and Last like %3")
                            .arg(cusNo)
                            .arg(LiteralLike(buyer.m_First), LiteralLike(buyer.m_Last)));
                if (same != 0) {
                    job.m_BuyerNo = same;
                } else {
                    CContactSet copy(job.m_pDatabase);
                    copy.m_strFilter = QStringLiteral("ContactNo = 0");
                    if (!copy.SafeAddNew())
                        return false;
                    const qint32 key = copy.m_ContactNo;
                    copy = buyer;
                    copy.m_ContactNo = key;
                    copy.m_CusNo = cusNo;
                    if (!copy.SaveRecord())
                        return false;
                    job.m_BuyerNo = copy.m_ContactNo;
                    report += QStringLiteral("- Added the buyer to the customer's contact list.\n");
                }
            }
        }
        if (ticked & AssignShipto) {
            job.m_ShiptoNo = customer.m_ShiptoNo;
        } else {
            CShiptoSet shipto(job.m_pDatabase);
            if (job.m_ShiptoNo != 0 && shipto.FindByNo(job.m_ShiptoNo)) {
                const qint32 same = firstKey(
                    db, QStringLiteral("SELECT ShiptoNo FROM Shipto WHERE CusNo = %1 and Address like %2")
                            .arg(cusNo)
                            .arg(LiteralLike(shipto.m_Address)));
                if (same != 0) {
                    job.m_ShiptoNo = same;
                } else {
                    CShiptoSet copy(job.m_pDatabase);
                    copy.m_strFilter = QStringLiteral("ShiptoNo = 0");
                    if (!copy.SafeAddNew())
                        return false;
                    const qint32 key = copy.m_ShiptoNo;
                    copy = shipto;
                    copy.m_ShiptoNo = key;
                    copy.m_CusNo = cusNo;
                    if (!copy.SaveRecord())
                        return false;
                    job.m_ShiptoNo = copy.m_ShiptoNo;
                    report += QStringLiteral("- Added the shipto address to the customer's shipto list.\n");
                }
            }
        }
        if (ticked & AssignShipVia)
            job.m_ViaDue = customer.m_ShipVia;
        if (ticked & AssignLocation)
            job.m_Location = customer.m_Location;
        if (ticked & AssignTerms)
            job.m_TermsNo = customer.m_Terms;
        const Money discount = job.m_Discount, commission = job.m_Commission, tax = job.m_Tax,
                    subtotal = job.m_Subtotal;
        if (ticked & AssignDiscount) {
            job.ApplyDiscountRate(qint32(customer.m_Discount) * 100);
        }
        if (ticked & AssignSalesRep) {
            job.m_SRepNo = customer.m_SRepNo;
            job.LoadSalesRepCommission();
            job.CalcCommission();
        }
        if (ticked & AssignTax) {
            job.m_TaxNo = customer.m_Tax;
            job.CalcSubtotal();
        }
        job.RecalcTotals(true);
        if (job.m_Discount != discount)
            report += QStringLiteral("- Discount changed\n");
        if (job.m_Commission != commission)
            report += QStringLiteral("- Commission changed\n");
        if (job.m_Tax != tax)
            report += QStringLiteral("- Tax changed\n");
        if (job.m_Subtotal != subtotal)
            report += QStringLiteral("- Subtotal changed\n");
        if (job.m_PO.isEmpty() && customer.m_POReq)
            job.m_PO = QStringLiteral("?");
        job.m_CusNo = cusNo;
        if (job.GetEditMode() == CXDaoSet::dbEditNone && !job.SafeEdit())
            return false;
        return job.SaveRecord();
        }();
        if (done)
            transaction.commit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot assign the job"));
        done = false;
    }
    if (!done) {
        // Nothing was stored: the record points where it pointed.
        job = before;
    }
    return done;
}

qint32 ConvertWalkInCustomer(CJobSet &job)
{
    platform::Database &db = databaseOf(job);
    const qint32 shiptoBefore = job.m_ShiptoNo;
    const qint32 cusBefore = job.m_CusNo;
    const qint32 made = [&]() -> qint32 {
    try {
        platform::Transaction transaction(db);
        CCusSet customer(job.m_pDatabase);
        customer.m_strFilter = QStringLiteral("CusNo = 0");
        if (!customer.SafeAddNew())
            return 0;
        customer.InitNewCustomer();
        customer.CopyCustomer(10);
        customer.m_CusStatus = 0;
        customer.m_Tax = job.m_TaxNo;
        customer.m_Location = job.m_Location;
        customer.m_ShipVia = job.m_ViaDue;
        customer.m_Terms = job.m_TermsNo;
        customer.m_SRepNo = job.m_SRepNo;
        customer.m_DateCreated = GetToday();
        if (!customer.SaveNew())
            return 0;
        const qint32 cusNo = customer.m_CusNo;

        CShiptoSet shipto(job.m_pDatabase);
        if (job.m_ShiptoNo != 0 && shipto.FindByNo(job.m_ShiptoNo)) {
            customer.m_Name = shipto.m_Company;
            customer.m_Address = shipto.m_Address;
            customer.m_City = shipto.m_City;
            customer.m_State = shipto.m_State;
            customer.m_Zip = shipto.m_Zip;
            // Another job's address stays where it is.
            const qint32 others = firstKey(db, QStringLiteral("SELECT Count(*) FROM Jobs WHERE ShiptoNo = %1 AND JobID <> %2")
                                                   .arg(job.m_ShiptoNo)
                                                   .arg(job.m_JobID));
            shipto.Close();
            if (others == 0)
                db.execute(QStringLiteral("DELETE FROM Shipto WHERE ShiptoNo = ?"), {platform::Value(job.m_ShiptoNo)});
            job.m_ShiptoNo = 0;
        }
        CContactSet buyer(job.m_pDatabase);
        if (job.m_BuyerNo != 0 && buyer.FindContact(job.m_BuyerNo, true)) {
            buyer.m_CusNo = cusNo;
            if (!buyer.SaveRecord())
                return 0;
            customer.m_BuyerNo = job.m_BuyerNo;
        }
        if (customer.GetEditMode() == CXDaoSet::dbEditNone && !customer.SafeEdit())
            return 0;
        if (!customer.SaveRecord())
            return 0;
        job.m_CusNo = cusNo;
        if (job.GetEditMode() == CXDaoSet::dbEditNone && !job.SafeEdit())
            return 0;
        if (!job.SaveRecord(64))
            return 0;
        transaction.commit();
        return cusNo;
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot convert the walk-in customer"));
    }
    return 0;
    }();
    if (made == 0) {
        job.m_ShiptoNo = shiptoBefore;
        job.m_CusNo = cusBefore;
    }
    return made;
}
