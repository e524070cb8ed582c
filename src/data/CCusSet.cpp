#include "data/CCusSet.h"

#include "app/base/DateRanges.h"
#include "app/base/TextUtil.h"
#include "data/CContactSet.h"
#include "data/CustomerRows.h"
#include "data/DaoError.h"
#include "data/DatabaseOpening.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"

#include <optional>

CCusSet::CCusSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CCusSet::GetDefaultSQL() const
{
    return QStringLiteral("Customers");
}

void CCusSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_LongNoNull(pFX, QStringLiteral("CusNo"), m_CusNo);
    DFX_TextLimit(pFX, QStringLiteral("Name"), m_Name);
    DFX_TextLimit(pFX, QStringLiteral("Address"), m_Address);
    DFX_TextLimit(pFX, QStringLiteral("Address2"), m_Address2);
    DFX_TextLimit(pFX, QStringLiteral("City"), m_City);
    DFX_TextLimit(pFX, QStringLiteral("State"), m_State);
    DFX_TextLimit(pFX, QStringLiteral("Zip"), m_Zip);
    DFX_TextLimit(pFX, QStringLiteral("Country"), m_Country);
    DFX_LongNoNull(pFX, QStringLiteral("ShiptoNo"), m_ShiptoNo);
    DFX_LongNoNull(pFX, QStringLiteral("BuyerNo"), m_BuyerNo);
    DFX_LongNoNull(pFX, QStringLiteral("PayerNo"), m_PayerNo);
    DFX_Byte(pFX, QStringLiteral("Business"), m_Business);
    DFX_Byte(pFX, QStringLiteral("Source"), m_Source);
    DFX_Byte(pFX, QStringLiteral("Location"), m_Location);
    DFX_Byte(pFX, QStringLiteral("ShipVia"), m_ShipVia);
    DFX_Byte(pFX, QStringLiteral("SRepNo"), m_SRepNo);
    DFX_Byte(pFX, QStringLiteral("Tax"), m_Tax);
    DFX_Byte(pFX, QStringLiteral("Terms"), m_Terms);
    DFX_Byte(pFX, QStringLiteral("Priority"), m_Priority);
    DFX_Byte(pFX, QStringLiteral("POReq"), m_POReq);
    DFX_Byte(pFX, QStringLiteral("LateFee"), m_LateFee);
    DFX_Byte(pFX, QStringLiteral("Statement"), m_Statement);
    DFX_Byte(pFX, QStringLiteral("WebAccess"), m_WebAccess);
    DFX_Byte(pFX, QStringLiteral("AlertIf"), m_AlertIf);
    DFX_Byte(pFX, QStringLiteral("CusStatus"), m_CusStatus);
    DFX_Byte(pFX, QStringLiteral("PriceLevel"), m_PriceLevel);
    DFX_Byte(pFX, QStringLiteral("PriceRound"), m_PriceRound);
    DFX_Byte(pFX, QStringLiteral("Discount"), m_Discount);
    DFX_LongNoNull(pFX, QStringLiteral("Alert1"), m_Alert1);
    DFX_LongNoNull(pFX, QStringLiteral("Alert2"), m_Alert2);
    DFX_LongNoNull(pFX, QStringLiteral("Alert3"), m_Alert3);
    DFX_DateTime(pFX, QStringLiteral("DateCreated"), m_DateCreated);
    DFX_DateTime(pFX, QStringLiteral("DateModified"), m_DateModified);
    DFX_Currency(pFX, QStringLiteral("CreditDue"), m_CreditDue);
    DFX_Currency(pFX, QStringLiteral("CreditLimit"), m_CreditLimit);
    DFX_TextLimit(pFX, QStringLiteral("CusID"), m_CusID);
    DFX_TextLimit(pFX, QStringLiteral("GroupID"), m_GroupID);
    DFX_TextLimit(pFX, QStringLiteral("Memo"), m_Memo);
    DFX_LongNoNull(pFX, QStringLiteral("ParentNo"), m_ParentNo);
    DFX_Byte(pFX, QStringLiteral("PropID"), m_PropID);
    m_nLastDfxOp = pFX->operation();
}

bool CCusSet::FindCustomer(qint32 cusNo, bool edit)
{
    m_strFilter = QStringLiteral("CusNo = %1").arg(cusNo);
    m_strSort.clear();
    if (cusNo == 0)
        return false;
    return RequeryOrOpen(edit);
}

QString &CCusSet::GetCustomerName(QString &out, qint32 cusNo)
{
    out.clear();
    if (FindCustomer(cusNo))
        out = m_Name;
    return out;
}

QString &CCusSet::FormatAddress(QString &out) const
{
    QString cityLine = m_City + QLatin1Char(' ') + m_State + QLatin1Char(' ') + m_Zip;
    TrimText(cityLine);
    const QString lineBreak = QStringLiteral("\n");
    out.clear();
    AppendText(out, m_Address, lineBreak);
    AppendText(out, m_Address2, lineBreak);
    AppendText(out, cityLine, lineBreak);
    AppendText(out, m_Country, lineBreak);
    return out;
}

QString CCusSet::FormatBillTo() const
{
    QString address;
    FormatAddress(address);
    QString out = m_Name.trimmed();
    AppendText(out, address, QStringLiteral("\n"));
    return out;
}

QString CCusSet::FormatCustomer(qint32 cusNo, int layout)
{
    if (!FindCustomer(cusNo))
        return QString();
    QString block;
    switch (layout) {
    case 0:
        return FormatAddress(block);
    case 9:
        return m_Name;
    case 4: {
        CContactSet payer;
        return payer.GetContactCard(m_PayerNo, 4) + QLatin1Char('\n') + FormatAddress(block);
    }
    default:
        return QString();
    }
}

bool CCusSet::CopyCustomer(qint32 sourceCusNo)
{
    CCusSet source;
    if (!source.FindCustomer(sourceCusNo))
        return false;
    m_Business = source.m_Business;
    m_City = source.m_City;
    m_CusID = source.m_CusID;
    m_Discount = source.m_Discount;
    m_GroupID = source.m_GroupID;
    m_LateFee = source.m_LateFee;
    m_Location = source.m_Location;
    m_POReq = source.m_POReq;
    m_Priority = source.m_Priority;
    m_AlertIf = source.m_AlertIf;
    m_CusStatus = source.m_CusStatus;
    m_PriceLevel = source.m_PriceLevel;
    m_PriceRound = source.m_PriceRound;
    m_ShipVia = source.m_ShipVia;
    m_Source = source.m_Source;
    m_SRepNo = source.m_SRepNo;
    m_State = source.m_State;
    m_Statement = source.m_Statement;
    m_Tax = source.m_Tax;
    m_Terms = source.m_Terms;
    m_WebAccess = source.m_WebAccess;
    m_Zip = source.m_Zip;
    m_Country = source.m_Country;
    m_CreditLimit = source.m_CreditLimit;
    m_PropID = source.m_PropID;
    if (sourceCusNo != DefaultCustomer) {
        m_Name = source.m_Name.left(50) + QStringLiteral(" - Copy");
        m_Address = source.m_Address;
        m_Address2 = source.m_Address2;
        m_ParentNo = source.m_ParentNo;
    }
    return true;
}

void CCusSet::InitNewCustomer()
{
    m_Name = QStringLiteral("< new >");
    m_Address.clear();
    m_Address2.clear();
    m_City.clear();
    m_State.clear();
    m_Zip.clear();
    m_Country.clear();
    m_CusID.clear();
    m_GroupID.clear();
    m_Memo.clear();
    m_CusNo = 0;
    m_ShiptoNo = 0;
    m_BuyerNo = 0;
    m_PayerNo = 0;
    m_ParentNo = 0;
    m_Alert1 = 0;
    m_Alert2 = 0;
    m_Alert3 = 0;
    m_Business = 0;
    m_Discount = 0;
    m_LateFee = 0;
    m_Location = 0;
    m_POReq = 0;
    m_Priority = 0;
    m_AlertIf = 0;
    m_ShipVia = 0;
    m_Source = 0;
    m_SRepNo = 0;
    m_Statement = 0;
    m_Terms = 0;
    m_WebAccess = 0;
    m_PriceLevel = 0;
    m_PropID = 0;
    m_CusStatus = 1;
    m_PriceRound = 1;
    m_Tax = 1;
    m_CreditDue = Money::zero();
    m_CreditLimit = Money::zero();
    m_DateCreated = GetToday();
    m_DateModified = GetToday();
}

bool CCusSet::GetNextCusNo()
{
    const qint32 next = NextCusNo();
    if (next == 0)
        return false;
    m_CusNo = next;
    return true;
}

bool CCusSet::SaveNew(unsigned beepType)
{
    return SaveNewRecord(m_CusNo, [this] { return NextCusNo(m_pDatabase); }, beepType);
}

qint32 CCusSet::NextCusNo(platform::Database *database)
{
    const qint32 next = GetNextNumber(QStringLiteral("SELECT CusNo FROM Customers ORDER BY CusNo DESC"), database);
    if (next == 0)
        return 0;
    return next >= WalkInCustomer ? next : qint32(WalkInCustomer);
}

bool CCusSet::DeleteCustomerRows(qint32 cusNo)
{
    return ::DeleteCustomerRows(cusNo);
}

bool CCusSet::DeleteCustomer(qint32 cusNo)
{
    if (cusNo <= 0)
        return false;
    // The dependent rows are deleted on the shared database; so is the
    // customer, inside the same transaction.
    platform::Database &db = SharedDatabase();
    if (!db.isOpen() && !OpenDatabase(&db))
        return false;

    std::optional<platform::DbException> failure;
    try {
        platform::Transaction transaction(db);
        if (!::DeleteCustomerRows(cusNo))
            return false; // shown; the transaction rolls back
        db.execute(QStringLiteral("DELETE FROM Customers WHERE CusNo = ?"), {platform::Value(cusNo)});
        transaction.commit();
    } catch (const platform::DbException &e) {
        failure = e;
    }
    if (failure) {
        ShowDaoError(*failure, QStringLiteral("Cannot delete Customers"));
        return false;
    }
    return true;
}
